#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

#include "db/query.h"
#include "engine/engine.h"
#include "platform/appdirs.h"
#include "platform/ini_file.h"
#include "shell/Main.h"
#include "shell/connect.h"
#include "shell/iKript.h"
#include "shell_test_support.h"

namespace {

using nuvo::test::LogonStep;

// Counts the close requests a window receives.
class CloseWatcher : public QObject {
 public:
  explicit CloseWatcher(QWidget* window) { window->installEventFilter(this); }
  int closes = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close) ++closes;
    return false;
  }
};

class LogonWindow : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    TKript::ClearLoginData();
  }
  void TearDown() override {
    window_.reset();
    DatabaseFixture::TearDown();
  }

  TfmMain& start(const QStringList& parameters = {}) {
    window_ = std::make_unique<TfmMain>(parameters);
    watcher_ = std::make_unique<CloseWatcher>(window_.get());
    return *window_;
  }
  int closes() const { return watcher_->closes; }

  // The logon check selects KADE.PCKNUVOLOG.USERISVALID and the logon calls KADE.PCKLOGPARAM.
  bool packageIsValid(const char* name) const {
    auto session = database()->logOn("SYS", "SYS", true);
    auto query = session->prepare(
        "select count(*) from all_objects where owner='KADE' and object_name=:name and status='VALID'");
    query->bind("name", engine::Value(name));
    query->execute();
    return query->next() && query->value(0).asInteger() > 0;
  }
  bool logonCheckPackageExists() const { return packageIsValid("PCKNUVOLOG"); }

  QString queryText(TfmMain& w, const QString& sql) {
    nuvo::db::Query query(&w.osOracle);
    query.setSql(sql);
    query.execute();
    return query.eof() ? QString() : query.field(0).asString();
  }

  nuvo::test::ScriptedMessages messages;

 private:
  std::unique_ptr<TfmMain> window_;
  std::unique_ptr<CloseWatcher> watcher_;
};

TEST_F(LogonWindow, APrivilegedUserLogsOnAndTheCommandsFollow) {
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
  w.tbConnectClick();

  ASSERT_TRUE(w.osOracle.connected());
  EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();
  ASSERT_EQ(driver.seen().size(), 1);
  EXPECT_TRUE(driver.seen()[0].databases.contains("DEMO"));
  EXPECT_TRUE(driver.seen()[0].saveEnabled);
  EXPECT_FALSE(driver.seen()[0].autoConnect);
  EXPECT_EQ(w.connUser, "KADE");
  EXPECT_EQ(w.connPassword, "kade");
  EXPECT_EQ(w.connServer, "DEMO");
  EXPECT_EQ(w.currOwner, "kade");
  EXPECT_EQ(w.ORACLEVersion, "19");
  EXPECT_EQ(w.ORACLEVersionAll, "19.0.0.0.0");
  EXPECT_EQ(w.ORACLEVersionDod, ".");
  EXPECT_EQ(w.p_hostAudit, "N");
  EXPECT_FALSE(w.command("tbConnect")->isChecked());
  for (const char* name :
       {"mmWorkSheet", "mmProject", "mmStructures", "mmCompare", "tbWorkSheet", "mmNormal", "mmStatus", "tbErrors",
        "mmEditPL", "tbEditPL", "tbStructures", "mmTabStru"})
    EXPECT_TRUE(w.command(name)->isEnabled()) << name;
  // Commands whose windows do not exist yet stay disabled.
  for (const char* name : {"tbPLBlocks"})
    EXPECT_FALSE(w.command(name)->isEnabled()) << name;
  EXPECT_EQ(w.command("miVersion")->text(), "Version : 19.0.0.0.0(.)");
  EXPECT_EQ(w.command("miServer")->text(), "Server  : DEMO");
  EXPECT_EQ(w.command("miUser")->text(), "User    : KADE");
  EXPECT_FALSE(w.command("mmSistemskiParametri")->isVisible());

  w.FormActivate();
  EXPECT_EQ(w.windowTitle(), "PL/SQL Editor  KADE@DEMO  Oracle:19.0.0.0.0" + w.p_verzijaPLSQL);
  EXPECT_TRUE(w.p_verzijaPLSQL.startsWith("     Ver.0.1.0"));
  EXPECT_EQ(closes(), 0);
}

TEST_F(LogonWindow, TheDialogShowsTheConfiguredUserAndDatabase) {
  writeHomeFile("MONITOR.INI", "[PL/SQL]\r\nCURR_USER=nuvo_util\r\nCURR_SERVER=demo\r\n");
  TfmMain& w = start();
  w.connPasswordUtil = "utilpw";
  nuvo::test::LogonDriver driver({LogonStep::exit()});
  w.tbConnectClick();
  ASSERT_EQ(driver.seen().size(), 1);
  EXPECT_EQ(driver.seen()[0].user, "NUVO_UTIL");
  EXPECT_EQ(driver.seen()[0].password, "utilpw");
  EXPECT_EQ(driver.seen()[0].database, "DEMO");
  EXPECT_EQ(closes(), 1);
}

TEST_F(LogonWindow, LogonErrorsKeepTheDialogOpen) {
  struct Case {
    LogonStep step;
    const char* message;
  };
  const Case cases[] = {
      {LogonStep::connect("kade", ""), "Prazno geslo ali baza!"},
      {LogonStep::connect("kade", "wrong"),
       "ACCESS DENIED \r\n\r\nORA-01017: invalid username/password; logon denied"},
  };
  for (const auto& c : cases) {
    TfmMain& w = start();
    nuvo::test::LogonDriver driver({c.step, LogonStep::exit()});
    w.tbConnectClick();
    EXPECT_EQ(driver.unexpected(), 0);
    EXPECT_TRUE(driver.done());
    EXPECT_FALSE(w.osOracle.connected());
    EXPECT_EQ(messages.texts().last(), c.message);
    EXPECT_EQ(closes(), 1);
  }
}

TEST_F(LogonWindow, WithoutTheUsersTableTheErrorIsShownAndTheLogonStands) {
  sys({"DROP TABLE kade.isec_users"});
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::connect("bor", "bor")});
  w.tbConnectClick();
  ASSERT_EQ(messages.texts().size(), 1);
  EXPECT_TRUE(messages.texts()[0].startsWith("ACCESS DENIED \r\n\r\nORA-")) << messages.texts()[0].toStdString();
  EXPECT_TRUE(w.osOracle.connected());
  EXPECT_EQ(w.connUser, "BOR");
}

TEST_F(LogonWindow, AnAdministratorLogsOn) {
  ASSERT_TRUE(logonCheckPackageExists());
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::connect("ana", "ana")});
  w.tbConnectClick();
  EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();
  EXPECT_TRUE(w.osOracle.connected());
  EXPECT_EQ(w.connUser, "ANA");
}

TEST_F(LogonWindow, ARefusedUserIsLoggedOffAndStaysInTheDialog) {
  ASSERT_TRUE(logonCheckPackageExists());
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::connect("bor", "bor"), LogonStep::close()});
  w.tbConnectClick();
  ASSERT_FALSE(messages.texts().isEmpty());
  EXPECT_EQ(messages.texts()[0], "ACCESS DENIED \r\n\r\nUporabnik BOR nima pravice za dostop.");
  EXPECT_FALSE(w.osOracle.connected());
  EXPECT_FALSE(w.command("mmCompare")->isEnabled());
}

TEST_F(LogonWindow, AFailingRightsProbeEndsTheProgram) {
  // The process keeps the database object only while something uses it.
  const auto db = database();
  db->injectFault("select * from all_tables", 1031, 1);
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
  w.tbConnectClick();
  db->clearFaults();
  EXPECT_EQ(messages.texts(), QStringList{w.nizMissingRights});
  EXPECT_EQ(closes(), 1);
}

TEST_F(LogonWindow, ADialogClosedWithoutLogonLeavesTheProgramUnconnected) {
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::close()});
  w.tbConnectClick();
  EXPECT_FALSE(w.osOracle.connected());
  EXPECT_EQ(messages.texts(), QStringList{w.nizMissingRights});
  EXPECT_EQ(closes(), 1);
}

TEST_F(LogonWindow, TheSaveBoxStoresUserDatabaseAndPassword) {
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade", true)});
  w.tbConnectClick();
  ASSERT_TRUE(w.osOracle.connected());
  const nuvo::IniFile ini(nuvo::monitorIniPath());
  EXPECT_EQ(ini.readString("PL/SQL", "CURR_USER"), "kade");
  EXPECT_EQ(ini.readString("PL/SQL", "CURR_SERVER"), "DEMO");
  EXPECT_EQ(TKript::vzemiGeslo("DEMO", "KADE"), "KADE");
}

TEST_F(LogonWindow, DisconnectDisablesTheSessionCommands) {
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
  w.tbConnectClick();
  ASSERT_TRUE(w.command("mmCompare")->isEnabled());
  w.mmDisconnectClick();
  EXPECT_FALSE(w.osOracle.connected());
  EXPECT_FALSE(w.command("mmCompare")->isEnabled());
  EXPECT_FALSE(w.command("mmWorkSheet")->isEnabled());
}

TEST_F(LogonWindow, TheServerVersionComesFromParameterBannerOrCompatible) {
  struct Case {
    const char* label;
    std::function<void(engine::Database&)> setUp;
    const char* major;
    const char* all;
    const char* dod;
  };
  const Case cases[] = {
      {"banner", [](engine::Database&) {}, "19", "19.0.0.0.0", "."},
      {"other banner", [](engine::Database& db) { db.setBannerVersion("12.2.0.1.0"); }, "12", "12.2.0.1.0", "."},
      {"parameter 8.1", [this](engine::Database&) {
         sys({"INSERT INTO nuvo_util.velmorasys VALUES ('OracleVersion', '8.1', 'set by hand')"});
       }, "8", "8.1", "1"},
      {"parameter 19.3", [this](engine::Database&) {
         sys({"UPDATE nuvo_util.velmorasys SET sysvred = '19.3' WHERE syssprem = 'OracleVersion'"});
       }, "19", "19.3", "."},
      {"compatible", [this](engine::Database& db) {
         sys({"DELETE FROM nuvo_util.velmorasys WHERE syssprem = 'OracleVersion'"});
         db.setBannerVersion("19.0.0.0.0");
         db.injectFault("V$VERSION", 942, 1);
       }, "19", "19.0.0", "."},
      {"nothing readable", [](engine::Database& db) {
         db.injectFault("V$VERSION", 942, 1);
         db.injectFault("v$parameter", 942, 1);
       }, "8", "8.xxx", "0"},
  };
  TfmMain& w = start();
  w.osOracle.logOn("KADE", "KADE", "DEMO");
  for (const auto& c : cases) {
    c.setUp(*database());
    QString dod;
    EXPECT_EQ(w.getOracleVersion(w.osOracle, dod), c.major) << c.label;
    EXPECT_EQ(w.ORACLEVersionAll, c.all) << c.label;
    EXPECT_EQ(dod, c.dod) << c.label;
    database()->clearFaults();
  }
}

TEST_F(LogonWindow, TheAuditHostIsLocalFromSixAuditTables) {
  TfmMain& w = start();
  w.osOracle.logOn("KADE", "KADE", "DEMO");
  QString mode;
  // LIKE 'AUD_%' also matches the seed's KADE.AUDIT_PARAMS: one table to begin with.
  for (int tables = 2; tables <= 6; ++tables) {
    sys({QStringLiteral("CREATE TABLE kade.aud_%1 (x NUMBER)").arg(tables)});
    w.CheckAuditHost(mode);
    EXPECT_EQ(mode, tables < 6 ? "N" : "L") << tables;
  }
  EXPECT_EQ(w.p_hostAuditUpor, "");
  EXPECT_FALSE(w.osOracle.inTransaction());
}

TEST_F(LogonWindow, TheLogonAppliesTheSessionDateFormat) {
  writeHomeFile("MONITOR.INI", "[PL/SQL]\r\nCURR_DATE_FORMAT=YYYY/MM/DD\r\n");
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
  w.tbConnectClick();
  ASSERT_TRUE(w.osOracle.connected());
  EXPECT_EQ(queryText(w, "select to_char(to_date('2020/12/31'), 'DD.MM.YYYY') from dual"), "31.12.2020");
}

TEST_F(LogonWindow, SystemParametersAreOfferedWhenTheirTableExists) {
  sys({"CREATE TABLE nuvo_util.sistemski_parametri (ime VARCHAR2(30))",
       "GRANT SELECT ON nuvo_util.sistemski_parametri TO kade"});
  TfmMain& w = start();
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
  w.tbConnectClick();
  EXPECT_TRUE(w.TableExists("NUVO_UTIL", "SISTEMSKI_PARAMETRI"));
  EXPECT_FALSE(w.TableExists("NUVO_UTIL", "NO_SUCH_TABLE"));
  EXPECT_TRUE(w.command("mmSistemskiParametri")->isVisible());
}

TEST_F(LogonWindow, TheInstallationOfTheLoggedOnUserIsFound) {
  struct Case {
    const char* user;
    int index;
    const char* kadeUser;
  };
  const Case cases[] = {{"ANA", 1, "IZAS1"}, {"IZAS2", 2, "IZAS2"}, {"FZAS1", 1, "IZAS1"}, {"KADE", 0, ""}};
  TfmMain& w = start();
  w.osOracle.logOn("KADE", "KADE", "DEMO");
  w.currMoreInstall = true;
  for (const auto& c : cases) {
    w.currUserIndex = 0;
    w.currUserAsKade.clear();
    w.connUser = c.user;
    w.najdiglavnegaUserja();
    EXPECT_EQ(w.currUserIndex, c.index) << c.user;
    EXPECT_EQ(w.currUserAsKade, c.kadeUser) << c.user;
  }
  EXPECT_EQ(w.currInstanceAs, "DEMO");
}

TEST_F(LogonWindow, AHostingDatabaseIsMarkedInTheCaption) {
  writeHomeFile("vecInstalacij", "OTHER FALSE\r\nDEMO TRUE\r\n");
  TfmMain& w = start();
  w.connServer = "DEMO";
  w.connUser = "KADE";
  w.osOracle.logOn("KADE", "KADE", "DEMO");
  w.updateMainCaption();
  EXPECT_TRUE(w.windowTitle().contains("Oracle:  (MULTIUSER)")) << w.windowTitle().toStdString();
  EXPECT_TRUE(w.command("mmInstalationsformoreusers")->isVisible());

  sys({"REVOKE SELECT ON nuvo_util.nuvo_instalations FROM PUBLIC"});
  w.osOracle.logOn("KADE", "KADE", "DEMO");
  w.updateMainCaption();
  EXPECT_FALSE(w.windowTitle().contains("MULTIUSER"));
  EXPECT_FALSE(w.command("mmInstalationsformoreusers")->isVisible());
}

TEST_F(LogonWindow, CaptionsInEnglishAndSlovene) {
  struct Case {
    const char* ini;
    QStringList parameters;
    bool slovene;
  };
  const Case cases[] = {
      {"", {}, false},
      {"[PL/SQL]\r\nCURR_LANGUAGE=SLO\r\n", {}, true},
      {"[PL/SQL]\r\nCURR_LANGUAGE=slo\r\n", {}, false},
      {"", {"LANGUAGE", "slo"}, true},
  };
  struct Caption {
    const char* name;
    const char* english;
    const char* slovene;
  };
  const Caption captions[] = {{"mmConnDisc", "&Connect/Setup", "&Prijava/Odjava"},
                              {"mmWorkSheet", "&WorkSheet", "P&oizvedbe"},
                              {"mmGrantRevokerights", "Grant/Revoke rigjts", "Pravice"},
                              {"mmTablesreccount", "Tables-reccount", "Tabele-pomožni progami"},
                              {"mmMonitor", "Monitor", "Monitor"},
                              {"mmAnalyzeTable", "Analyze table", "Analyze table"},
                              {"mmExit", "E&xit", "&Konec"}};
  for (const auto& c : cases) {
    writeHomeFile("MONITOR.INI", c.ini);
    TfmMain& w = start(c.parameters);
    const std::string label = std::string(c.ini) + c.parameters.join(' ').toStdString();
    EXPECT_EQ(w.windowTitle(), (c.slovene ? "PL/SQL urejevalnik    " : "PL/SQL Editor    ") + w.p_verzijaPLSQL) << label;
    for (const auto& caption : captions)
      EXPECT_EQ(w.command(caption.name)->text(), QString::fromUtf8(c.slovene ? caption.slovene : caption.english))
          << label << caption.name;
    EXPECT_EQ(w.command("tbConnect")->toolTip(), c.slovene ? "Prijava" : "Connect to Database") << label;
    EXPECT_EQ(w.command("mmRefreshTables")->isVisible(), !c.slovene) << label;
    TfmConnect dialog(&w);
    EXPECT_EQ(dialog.napakaConn, c.slovene ? "NEDOVOLJEN DOSTOP " : "ACCESS DENIED ") << label;
    EXPECT_EQ(dialog.laUser->text(), c.slovene ? "Uporabnik:" : "User:") << label;
    EXPECT_EQ(dialog.btExit->text(), c.slovene ? "Izhod" : "&Exit") << label;
  }
}

TEST_F(LogonWindow, SaveLoginDataSavesTheFirstLogon) {
  writeHomeFile("save.txt", "SAVELOGINDATA\r\nCONNECT\r\n");
  TfmMain& w = start({"@save.txt"});
  EXPECT_TRUE(w.pAutoG);
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
  w.tbConnectClick();
  ASSERT_TRUE(w.osOracle.connected());
  ASSERT_EQ(driver.seen().size(), 1);
  EXPECT_FALSE(driver.seen()[0].saveEnabled);
  EXPECT_TRUE(driver.seen()[0].autoConnect);
  EXPECT_TRUE(driver.seen()[0].saveLoginData);
  EXPECT_FALSE(w.bHaveToSaveLoginData);
  const LoginData saved = TKript::ReadLoginData();
  EXPECT_EQ(saved.user, "kade");
  EXPECT_EQ(saved.password, "kade");
  EXPECT_EQ(saved.alias, "DEMO");
}

TEST_F(LogonWindow, UseLoginDataLogsOnByItself) {
  TKript::SaveLoginData("kade", "kade", "DEMO");
  writeHomeFile("use.txt", "USELOGINDATA\r\nCONNECT\r\n");
  TfmMain& w = start({"@use.txt"});
  EXPECT_EQ(w.connUser, "kade");
  EXPECT_EQ(w.connPassword, "kade");
  EXPECT_EQ(w.connServer, "DEMO");
  nuvo::test::LogonDriver driver({LogonStep::waitForTimer()});
  w.tbConnectClick();
  EXPECT_TRUE(w.osOracle.connected());
  EXPECT_EQ(w.connUser, "KADE");
  EXPECT_EQ(driver.unexpected(), 0);
}

TEST_F(LogonWindow, ClearLoginDataClearsWhenTheWindowCloses) {
  TKript::SaveLoginData("kade", "kade", "DEMO");
  TfmMain& w = start({"CLEARLOGINDATA"});
  EXPECT_EQ(TKript::ReadLoginData().user, "kade");
  w.close();
  EXPECT_EQ(TKript::ReadLoginData().user, "");
}

TEST_F(LogonWindow, AnAuditLogonWithoutAuditTablesEndsTheProgram) {
  TfmMain& w = start({"CONNECT", "kade", "A", "DEMO"});
  EXPECT_TRUE(w.p_ScriptAudit);
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
  w.tbConnectClick();
  EXPECT_EQ(w.p_hostAudit, "N");
  EXPECT_EQ(closes(), 1);
}

TEST_F(LogonWindow, AnAuditLogonWithLocalAuditTablesLogsOnAgain) {
  for (int i = 1; i <= 6; ++i) sys({QStringLiteral("CREATE TABLE kade.aud_%1 (x NUMBER)").arg(i)});
  TfmMain& w = start({"CONNECT", "kade", "A", "DEMO"});
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade"), LogonStep::waitForTimer()});
  w.tbConnectClick();
  EXPECT_EQ(w.p_hostAudit, "L");
  EXPECT_EQ(driver.seen().size(), 2);
  EXPECT_TRUE(driver.seen()[1].autoConnect);
  EXPECT_TRUE(w.osOracle.connected());
  EXPECT_EQ(closes(), 0);
}

TEST_F(LogonWindow, TheFirstActivationLoadsTheMacrosAndShowsTheCubeOnlyForACompany) {
  writeHomeFile("NUVO_SQL.MCR", "*A\r\nselect 1 from dual\r\n");
  for (const char* company : {"", "DEMO"}) {
    writeHomeFile("MONITOR.INI", QStringLiteral("[PL/SQL]\r\nCURR_CUBECOMPANY=%1\r\n").arg(company));
    TfmMain& w = start({"OWNER", "x"});
    EXPECT_TRUE(w.declRunParam);
    nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
    w.FormActivate();
    EXPECT_FALSE(w.prvicNaFormi);
    EXPECT_FALSE(w.declRunParam);
    ASSERT_NE(w.currMacros, nullptr);
    EXPECT_EQ(w.currMacros->toPlainText(), "*A\nselect 1 from dual");
    EXPECT_EQ(w.command("mmKocka")->isVisible(), QString(company) != "") << company;
    EXPECT_EQ(w.windowTitle(), "PL/SQL Editor  KADE@DEMO  Oracle:19.0.0.0.0" + w.p_verzijaPLSQL);
  }
}

TEST_F(LogonWindow, MenuConnectAsksForThePasswordAgain) {
  TfmMain& w = start();
  w.connUser = "KADE";
  w.connPassword = "remembered";
  nuvo::test::LogonDriver driver({LogonStep::exit()});
  w.mmConnectClick();
  ASSERT_EQ(driver.seen().size(), 1);
  EXPECT_EQ(driver.seen()[0].user, "KADE");
  EXPECT_EQ(driver.seen()[0].password, "");
}

TEST_F(LogonWindow, AWorksheetSessionLogsOnWithoutTouchingTheProgramContext) {
  TfmMain& w = start();
  w.connUser = "ZOZURO";
  QWidget worksheet;
  worksheet.setProperty("sCaption", "WorkSheet 1");
  nuvo::db::Session own;
  {
    auto* dialog = new TfmConnect(&w);
    dialog->doaOracle = &own;
    dialog->connForm = &worksheet;
    nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
    dialog->exec();
  }
  EXPECT_TRUE(own.connected());
  EXPECT_FALSE(w.osOracle.connected());
  EXPECT_EQ(worksheet.windowTitle(), "WorkSheet 1  (kade@DEMO)");
  EXPECT_EQ(w.connUser, "ZOZURO");
  {
    auto* dialog = new TfmConnect(&w);
    dialog->doaOracle = &own;
    dialog->connForm = &worksheet;
    nuvo::test::LogonDriver driver({LogonStep::exit()});
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
  }
  EXPECT_EQ(closes(), 0);
}

TEST_F(LogonWindow, TheLogonSetsTheApplicationUserOfTheSession) {
  ASSERT_TRUE(packageIsValid("PCKLOGPARAM"));
  // The setting goes to the server as a bind, so a quote in it is just a character.
  for (const char* user : {"ANA", "O'BRIEN"}) {
    writeHomeFile("MONITOR.INI", QStringLiteral("[PL/SQL]\r\nCURR_USERIPL=%1\r\n").arg(user));
    TfmMain& w = start();
    nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
    w.tbConnectClick();
    ASSERT_TRUE(w.osOracle.connected());
    EXPECT_EQ(queryText(w, "select kade.pckLogParam.getUser from dual"), user);
  }
}

}  // namespace
