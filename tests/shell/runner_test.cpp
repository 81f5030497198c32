#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include "admin/version_check_logic.h"
#include "db/query.h"
#include "engine/engine.h"
#include "platform/paths.h"
#include "qstring_print.h"
#include "shell/Main.h"
#include "shell/iKript.h"
#include "shell/main_context.h"
#include "shell/runner.h"
#include "shell_test_support.h"
#include "sqlwork/execScr.h"
#include "widgets/message_facade.h"

namespace {

using nuvo::shell::WindowOpener;
using nuvo::shell::WindowRequest;

TEST(ResultFileName, DirectoryPrefixAndOrganisation) {
  struct Case {
    const char* path;
    const char* prefix;
    const char* name;
    const char* directory;
  };
  const Case cases[] = {
      {"C:\\DATA\\X.SQL", "QU", "C:\\DATA\\QU12345", "C:\\DATA\\"},
      {"a:\\razlike.txt", "DF", "a:\\DF12345!.txt", "a:\\"},
      {"a:\\sistem.txt", "SI", "a:\\SI12345", "a:\\"},
      {"/srv/out/diff.txt", "DF", "/srv/out/DF12345!.txt", "/srv/out/"},
      {"c:/mixed\\dir/file.txt", "QU", "c:/mixed\\dir/QU12345", "c:/mixed\\dir/"},
      {"c:\\dir/sub\\file.txt", "SI", "c:\\dir/sub\\SI12345", "c:\\dir/sub\\"},
      {"REPORT.TXT", "SI", "a:\\SI12345", "a:\\"},
      {"", "DF", "a:\\DF12345!.txt", "a:\\"},
  };
  for (const auto& c : cases) {
    const auto result = nuvo::shell::resultFileName(c.path, c.prefix, "12345");
    EXPECT_EQ(result.name, c.name) << c.path;
    EXPECT_EQ(result.directory, c.directory) << c.path;
  }
}

TEST(ResultFileName, TheHistoryNameReplacesThePrefixAndKeepsTwentyCharacters) {
  struct Case {
    const char* si;
    const char* directory;
    const char* sh;
  };
  const Case cases[] = {
      {"a:\\SI12345", "a:\\", "a:\\SH12345"},
      {"C:\\OUT\\SI", "C:\\OUT\\", "C:\\OUT\\SH"},
      {"/r/SI123456789012345678901234", "/r/", "/r/SH12345678901234567890"},
  };
  for (const auto& c : cases) EXPECT_EQ(nuvo::shell::backupHistoryFileName(c.si, c.directory), c.sh) << c.si;
}

// The password of a CONNECT line with fake stored passwords and logon data.
TEST(ConnectPassword, CodesAuditPrefixAndPlainPasswords) {
  struct Case {
    const char* password;
    bool usePlain;
    const char* stored;
    const char* expected;
    bool audit;
  };
  const std::string code3 = TKript::builtInPassword("3").toStdString();
  ASSERT_FALSE(code3.empty());
  const Case cases[] = {
      {"3", false, "", code3.c_str(), false},
      {"3", false, "STORED", "STORED", false},
      {"Y", false, "", "UTIL_PW", false},
      {"A3", false, "", code3.c_str(), true},
      {"A", false, "", "FROM_LOGIN_DATA", true},  // "A" alone leaves the password empty
      {"SECRET", false, "", "OLD", false},  // the runner does not use a plain password
      {"SECRET", true, "", "SECRET", false},
      {"", false, "", "FROM_LOGIN_DATA", false},
  };
  for (const auto& c : cases) {
    TMainContext context;
    context.connUser = "KADE";
    context.connServer = "DEMO";
    context.connPassword = "OLD";
    context.connPasswordUtil = "UTIL_PW";
    context.bUseLoginData = true;
    const QString stored = c.stored;
    const StartupIo io{{}, [&](const QString&, const QString&) { return stored; },
                       [](TMainContext& t) { t.connPassword = "FROM_LOGIN_DATA"; }};
    applyConnectPassword(context, c.password, io, c.usePlain);
    EXPECT_EQ(context.connPassword, c.expected) << c.password << " stored " << c.stored;
    EXPECT_EQ(context.p_ScriptAudit, c.audit) << c.password;
  }
}

class Runner : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    TKript::ClearLoginData();
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    window_.reset();
    messages_.reset();
    DatabaseFixture::TearDown();
  }

  // The main window started with `parameters` and logged on as KADE, as after the start-up logon.
  TfmMain& start(const QStringList& parameters) {
    window_ = std::make_unique<TfmMain>(parameters);
    TfmMain& w = *window_;
    w.osOracle.logOn("KADE", "KADE", "DEMO");
    w.connUser = "KADE";
    w.connPassword = "KADE";
    w.connServer = "DEMO";
    return w;
  }
  // A run of the command file RUN.CMD with these lines.
  TfmMain& startFile(const QStringList& lines) {
    writeHomeFile("RUN.CMD", lines.join("\r\n") + "\r\n");
    return start({"@RUN.CMD"});
  }
  // Replaces the window of `action` by a fake that records the requests.
  void fakeWindow(TfmMain& w, const QString& action, const WindowOpener& extra = {}) {
    w.runner().openers[action] = [this, extra](TfmMain& main, const WindowRequest& request) {
      requests_ << request;
      return extra ? extra(main, request) : true;
    };
  }

  QString scalar(const QString& sql) {
    nuvo::db::Query q(&window_->osOracle);
    q.setSql(sql);
    q.execute();
    return q.eof() ? QString() : q.field(0).asString();
  }
  QStringList column(const QString& sql) {
    nuvo::db::Query q(&window_->osOracle);
    q.setSql(sql);
    QStringList result;
    for (q.execute(); !q.eof(); q.next()) result << q.field(0).asString();
    return result;
  }
  // A count read as SYS (the installations' own tables).
  std::string sysScalar(const char* sql) const {
    auto session = database()->logOn("SYS", "SYS", true);
    auto query = session->prepare(sql);
    query->execute();
    return query->next() ? std::to_string(query->value(0).asInteger()) : std::string();
  }
  QString largeRBState() { return scalar("select status from v$rollstat where usn = 2"); }
  bool closing() const { return window_->tiCloseForm->isActive(); }
  const QStringList& messages() const { return messages_->texts(); }

  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
  std::unique_ptr<TfmMain> window_;
  QList<WindowRequest> requests_;
};

TEST_F(Runner, ReadsTheOrganisationParametersByBoundName) {
  TfmMain& w = start({"OWNER", "X"});
  EXPECT_EQ(w.GetParam107("aiOrganizationBPI"), "12345");
  EXPECT_EQ(w.GetParam107("aiOrganization' or 'a'='a"), "");
  EXPECT_EQ(w.GetParam107("noSuchName"), "");
  QString path = "C:\\DATA\\X.SQL", directory;
  w.BuildResultFileName(path, directory, "QU");
  EXPECT_EQ(path, "C:\\DATA\\QU12345");
  EXPECT_EQ(directory, "C:\\DATA\\");

  w.userVhodniParametri();
  EXPECT_EQ(w.meVhod->toPlainText().split('\n'),
            QStringList({QString(48, '*'), "DEMO D.O.O.", "Glavna cesta 1,1000 Ljubljana", "01 234 56 78",
                         QString(48, '*'), "", "", ""}));

  // Without the table the values are empty and the names carry no code.
  sys({"DROP TABLE kade.pr107par"});
  path = "a:\\sistem.txt";
  w.BuildResultFileName(path, directory, "SI");
  EXPECT_EQ(path, "a:\\SI");
}

TEST_F(Runner, AScriptLineStoresAndRunsTheScriptAndTheProgramCloses) {
  writeHomeFile("UPG_R.sql", "create table kade.run_t (id number)\r\n/\r\ninsert into kade.run_t values (7)\r\n/\r\n");
  TfmMain& w = start({"SCRIPT", "upg_r", QString::fromStdString(home())});
  w.show();
  w.FormActivate();
  EXPECT_EQ(column("select script_counter || script_stat from nuvo_util.nuvo_exs where script_name='UPG_R' "
                   "order by script_counter"),
            QStringList({"1X", "2X"}));
  EXPECT_EQ(scalar("select sum(id) from kade.run_t"), "7");
  EXPECT_FALSE(w.pExecuteScriptNapaka);
  EXPECT_FALSE(w.prvicNaFormi);
  EXPECT_TRUE(closing());
  EXPECT_TRUE(QTest::qWaitFor([&w] { return w.programEnding(); }, 5000));
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_F(Runner, TwoScriptLinesRunBothScripts) {
  writeHomeFile("UPG_A.sql", "create table kade.a_t (id number)\r\n/\r\n");
  writeHomeFile("UPG_B.sql", "create table kade.b_t (id number)\r\n/\r\ninsert into kade.b_t values (1)\r\n/\r\n");
  const QString dir = QString::fromStdString(home());
  TfmMain& w = startFile({"SCRIPT UPG_A " + dir, "SCRIPT UPG_B " + dir});
  w.IzvediCeloSkripto();
  EXPECT_EQ(column("select script_name || script_counter || script_stat from nuvo_util.nuvo_exs "
                   "where script_name like 'UPG__' order by script_name, script_counter"),
            QStringList({"UPG_A1X", "UPG_B1X", "UPG_B2X"}));
  EXPECT_EQ(w.currentScript, "UPG_B");
  EXPECT_TRUE(closing());
}

TEST_F(Runner, AScriptThatStopsOnAnErrorHoldsTheListUntilItsWindowIsClosed) {
  writeHomeFile("UPG_F.sql", "insert into kade.no_such_table values (1)\r\n/\r\n");
  TfmMain& w = startFile({"SCRIPT UPG_F " + QString::fromStdString(home()), "OWNER AFTER"});
  // Stands in for the user who reads the failed script and closes its window.
  bool closedAfterFailure = false;
  int polls = 0;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    TfmScript* script = TfmScript::fmScript;
    if (!script || !script->isVisible()) return;
    closedAfterFailure = w.pExecuteScriptNapaka && w.currOwner != "AFTER";
    if (closedAfterFailure || ++polls > 200) script->close();
  });
  user.start(20);
  w.IzvediCeloSkripto();
  EXPECT_TRUE(closedAfterFailure);
  EXPECT_TRUE(w.pExecuteScriptNapaka);
  EXPECT_EQ(column("select script_stat from nuvo_util.nuvo_exs where script_name = 'UPG_F'"), QStringList{"E"});
  // The list goes on whatever the script's outcome.
  EXPECT_EQ(w.currOwner, "AFTER");
  EXPECT_TRUE(closing());
}

// An unattended SCRIPT that cannot run its script says why and fails the run; the list goes on.
TEST_F(Runner, AScriptThatCannotRunIsReportedAndTheRunFails) {
  struct Case {
    const char* name;
    QStringList storedRows;  // counter:status of rows stored before the run
    bool file;
    const char* report;  // the start of the report
    QStringList rowsAfter;
  };
  const Case cases[] = {
      {"file missing", {}, false, "SCRIPT FILE CANNOT BE READ: ", {}},
      {"stored, a run killed half-way", {"1X", "2N", "3N"}, true,
       "SCRIPT UPG_K IS STORED ALREADY AND 2 OF ITS STATEMENTS ARE NOT EXECUTED OR FAILED", {"1X", "2N", "3N"}},
      {"stored, a failed row", {"1X", "2E", "3D"}, true,
       "SCRIPT UPG_K IS STORED ALREADY AND 1 OF ITS STATEMENTS", {"1X", "2E", "3D"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sys({"DELETE FROM nuvo_util.nuvo_exs WHERE script_name = 'UPG_K'", "COMMIT"});
    for (const QString& row : c.storedRows)
      sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner) "
           "VALUES ('UPG_K', " + row.left(1) + ", '" + row.mid(1) + "', 'insert into kade.k_t values (1)', 'KADE')",
           "COMMIT"});
    QFile::remove(QString::fromStdString(home()) + "/UPG_K.sql");
    if (c.file) writeHomeFile("UPG_K.sql", "insert into kade.k_t values (1)\r\n/\r\n");
    TfmMain& w = startFile({"SCRIPT UPG_K " + QString::fromStdString(home()), "OWNER AFTER"});
    messages_.reset();
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
    // Closes a script window that would wait for ever, so a fault fails the test instead of hanging it.
    bool heldOpen = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&heldOpen] {
      if (TfmScript::fmScript && TfmScript::fmScript->isVisible()) {
        heldOpen = true;
        TfmScript::fmScript->close();
      }
    });
    guard.start(5000);
    w.IzvediCeloSkripto();
    EXPECT_FALSE(heldOpen) << "the script window did not close by itself";
    ASSERT_EQ(w.runner().log.size(), 1) << w.runner().log.join('|').toStdString();
    EXPECT_TRUE(w.runner().log[0].startsWith(c.report)) << w.runner().log[0].toStdString();
    // Shown in the program's window without waiting, and the program stays open as after any failure.
    EXPECT_EQ(messages(), w.runner().log);
    EXPECT_TRUE(w.pExecuteScriptNapaka);
    EXPECT_EQ(w.currOwner, "AFTER");
    EXPECT_FALSE(w.mayClose);
    EXPECT_FALSE(closing());
    EXPECT_EQ(column("select script_counter || script_stat from nuvo_util.nuvo_exs where script_name = 'UPG_K' "
                     "order by script_counter"),
              c.rowsAfter);
    window_.reset();
  }
}

TEST_F(Runner, AScriptRunToItsEndBeforeIsNotRunAgainAndTheRunSucceeds) {
  sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner) "
       "VALUES ('UPG_DONE', 1, 'X', 'insert into kade.done_t values (1)', 'KADE')",
       "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner) "
       "VALUES ('UPG_DONE', 2, 'D', 'insert into kade.done_t values (2)', 'KADE')",
       "COMMIT"});
  writeHomeFile("UPG_DONE.sql", "insert into kade.done_t values (1)\r\n/\r\n");
  TfmMain& w = startFile({"SCRIPT UPG_DONE " + QString::fromStdString(home())});
  w.IzvediCeloSkripto();
  EXPECT_TRUE(w.runner().log.isEmpty()) << w.runner().log.join('|').toStdString();
  EXPECT_FALSE(w.pExecuteScriptNapaka);
  EXPECT_TRUE(closing());
}

TEST_F(Runner, APlainPasswordOnALaterConnectIsReportedAsNotUsed) {
  TKript::shraniGeslo("DEMO", "KADE", "KADE", "");
  TfmMain& w = startFile({"CONNECT KADE KADE DEMO", "OWNER A", "CONNECT kade secret DEMO", "CONNECT KADE 3 DEMO",
                          "OWNER AFTER"});
  w.IzvediCeloSkripto();
  // Password codes are what the runner uses; the plain password is named as not used.
  EXPECT_EQ(w.runner().log,
            QStringList({"CONNECT on line 3: the password given is not used; KADE logs on with the password held for it"}));
  EXPECT_EQ(w.osOracle.user(), "KADE");
  EXPECT_EQ(w.currOwner, "AFTER");
}

TEST_F(Runner, ConnectLinesRunFromTheThirdLineWithPasswordCodes) {
  TKript::shraniGeslo("DEMO", "ZOZURO", "ZOZURO", "");
  TfmMain& w = startFile({"CONNECT KADE KADE DEMO",
                          "CONNECT ZOZURO ZOZURO NUVOAUDT",  // never carried out: no audit check, no logon
                          "OWNER FIRST", "CONNECT zozuro 3 DEMO", "OWNER SECOND"});
  int terminated = 0;
  w.runner().terminate = [&terminated] { ++terminated; };
  w.IzvediCeloSkripto();
  EXPECT_EQ(terminated, 0);
  EXPECT_EQ(w.osOracle.user(), "ZOZURO");
  EXPECT_EQ(w.connUser, "ZOZURO");
  EXPECT_EQ(w.connServer, "DEMO");
  EXPECT_EQ(w.connPassword, "ZOZURO");  // the stored password of the code
  EXPECT_EQ(w.currOwner, "SECOND");
  EXPECT_FALSE(w.pAutoG);
  EXPECT_TRUE(closing());
}

TEST_F(Runner, AConnectToAnIncompleteAuditSetupEndsTheProgram) {
  TfmMain& w = startFile({"OWNER A", "OWNER B", "CONNECT KADE KADE NUVOAUDT", "OWNER AFTER"});
  int terminated = 0;
  w.runner().terminate = [&terminated] { ++terminated; };
  w.IzvediCeloSkripto();
  EXPECT_EQ(terminated, 1);
  EXPECT_EQ(w.currOwner, "B");
  EXPECT_EQ(w.connServer, "DEMO");
  EXPECT_EQ(w.osOracle.user(), "KADE");
}

TEST_F(Runner, AConnectToACompleteAuditSetupLogsOnToTheAuditDatabase) {
  sys({"GRANT CREATE DATABASE LINK TO kade"});
  TfmMain& w = startFile({"OWNER A", "OWNER B", "CONNECT KADE KADE NUVOAUDT", "OWNER AFTER"});
  nuvo::db::Query setup(&w.osOracle);
  setup.setSql("create database link NUVOAUDT connect to kade identified by kade using 'DEMO'");
  setup.execute();
  setup.setSql("update kade.audit_params set dblink_n = 'NUVOAUDT' where param_name = 'AUDIT_DAYS'");
  setup.execute();
  w.osOracle.commit();
  int terminated = 0;
  w.runner().terminate = [&terminated] { ++terminated; };
  // The logon to the audit database presses Connect by itself; it has no database here, so the
  // dialog stays open and is answered by hand.
  nuvo::test::LogonDriver driver({nuvo::test::LogonStep::waitForTimer(), nuvo::test::LogonStep::connect("kade", "kade")});
  w.IzvediCeloSkripto();
  EXPECT_EQ(terminated, 0);
  ASSERT_FALSE(driver.seen().isEmpty());
  EXPECT_TRUE(driver.seen()[0].autoConnect);
  EXPECT_EQ(driver.unexpected(), 0);
  // The dialog looked for the database NUVOAUDT, which is not among the aliases.
  EXPECT_EQ(driver.seen()[0].database, "");
  EXPECT_EQ(messages(), QStringList({"Prazno geslo ali baza!"}));
  EXPECT_EQ(w.currOwner, "AFTER");
}

TEST_F(Runner, CheckLastVersionMatchesWholeNames) {
  sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat) VALUES ('S12', 1, 'X')",
       "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat) VALUES ('S13', 1, 'N')",
       "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat) VALUES ('S13', 2, 'E')",
       "COMMIT"});
  TfmMain& w = start({"OWNER", "X"});
  const struct {
    const char* list;
    bool found;
  } cases[] = {{"S12,", true}, {"A,S12,", true}, {"S12,B,", true}, {"XS12,", false},
               {"S1,", false}, {"S13,", false}, {",", false},     {"S13,S12,", true}};
  for (const auto& c : cases) EXPECT_EQ(w.CheckLastVersion(c.list), c.found) << c.list;
}

TEST_F(Runner, AFailedLastVersionCheckWritesTheErrorFileStopsTheListAndCloses) {
  sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat) VALUES ('S12', 1, 'X')", "COMMIT"});
  const QString errorFile = nuvo::resolvePath(nuvo::shell::kErrorFile);
  QFile::remove(errorFile);
  {
    TfmMain& w = startFile({"LASTVERSIONCHECK S1,S12", "OWNER PASSED"});
    w.IzvediCeloSkripto();
    EXPECT_EQ(w.currOwner, "PASSED");
    EXPECT_FALSE(QFile::exists(errorFile));
  }
  TfmMain& w = startFile({"IMPORT 3", "LASTVERSIONCHECK XS12,S1", "OWNER AFTER"});
  w.currLoader = "/bin/sh -c 'exit $0'";
  w.IzvediCeloSkripto();
  EXPECT_NE(w.currOwner, "AFTER");
  QFile file(errorFile);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "XS12,S1\r\n");
  // The failed import before it no longer holds the program open.
  EXPECT_FALSE(w.importFailed);
  EXPECT_TRUE(closing());
}

TEST_F(Runner, AnErrorFileThatCannotBeWrittenKeepsTheProgramOpen) {
  // Drive C maps to a plain file, so the error file's directory cannot exist.
  writeHomeFile("not_a_directory", "x");
  writeHomeFile("MONITOR.INI", "[DRIVES]\r\nC=" + homePath("not_a_directory") + "\r\n");
  TfmMain& w = startFile({"LASTVERSIONCHECK NONE", "OWNER AFTER"});
  w.IzvediCeloSkripto();
  EXPECT_NE(w.currOwner, "AFTER");  // the list stops all the same
  ASSERT_EQ(messages().size(), 1);
  EXPECT_TRUE(messages()[0].startsWith("Cannot write ")) << messages()[0].toStdString();
  EXPECT_EQ(w.runner().log, messages());
  EXPECT_FALSE(closing());
}

TEST_F(Runner, AMissingCommandFileIsReportedAndKeepsTheProgramOpen) {
  TfmMain& w = start({"@NO_SUCH.CMD", "KADE", "KADE", "DEMO"});
  w.IzvediCeloSkripto();
  EXPECT_EQ(w.runner().log, QStringList({"Command file NO_SUCH.CMD cannot be read"}));
  EXPECT_FALSE(w.mayClose);
  EXPECT_FALSE(closing());
}

TEST_F(Runner, ImportRunsTheLoaderAndOnlyTheLastImportDecides) {
  const struct {
    QStringList lines;
    QStringList messages;
    bool closes;
  } cases[] = {
      {{"IMPORT 0"}, {}, true},
      {{"IMPORT 3"}, {"NAPAČEN LOAD UKAZ: /bin/sh -c 'exit $0' 3"}, false},
      {{"IMPORT 3", "IMPORT 0"}, {"NAPAČEN LOAD UKAZ: /bin/sh -c 'exit $0' 3"}, true},
      {{"IMPORT 0", "IMPORT 4"}, {"NAPAČEN LOAD UKAZ: /bin/sh -c 'exit $0' 4"}, false},
  };
  for (const auto& c : cases) {
    messages_.reset();
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
    TfmMain& w = startFile(c.lines);
    w.currLoader = "/bin/sh -c 'exit $0'";
    w.IzvediCeloSkripto();
    EXPECT_EQ(messages(), c.messages) << c.lines.join('|').toStdString();
    EXPECT_EQ(closing(), c.closes) << c.lines.join('|').toStdString();
  }
}

TEST_F(Runner, AMissingLoaderIsAFailedImport) {
  TfmMain& w = startFile({"IMPORT X"});
  w.currLoader = "/no/such/loader";
  w.IzvediCeloSkripto();
  EXPECT_TRUE(w.importFailed);
  EXPECT_EQ(messages(), QStringList({"NAPAČEN LOAD UKAZ: /no/such/loader X"}));
  EXPECT_FALSE(closing());
}

TEST_F(Runner, LargeRBHoldsTheSegmentOnlineForTheListOnly) {
  TfmMain& w = startFile({"LARGERB ON", "GRANT KADE ANA", "LARGERB OFF", "GRANT KADE BOR", "LARGERB ON LARGERB"});
  QStringList seen;
  fakeWindow(w, "GRANT", [&](TfmMain& main, const WindowRequest&) {
    seen << largeRBState() + "/" + main.currLargeRB;
    return true;
  });
  w.IzvediCeloSkripto();
  EXPECT_EQ(seen, QStringList({"ONLINE/D", "OFFLINE/N"}));
  EXPECT_EQ(largeRBState(), "OFFLINE");  // switched off after the list
  EXPECT_EQ(w.currLargeRB, "N");
  EXPECT_FALSE(w.command("mmActivateLargeRB")->isChecked());
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_F(Runner, AStoppedListGivesTheLargeSegmentBack) {
  TfmMain& w = startFile({"LARGERB ON", "LASTVERSIONCHECK NONE", "LARGERB OFF"});
  w.IzvediCeloSkripto();
  EXPECT_EQ(largeRBState(), "OFFLINE");  // the list's own OFF was never reached
  EXPECT_EQ(w.currLargeRB, "N");
  EXPECT_TRUE(closing());
}

TEST_F(Runner, ClosingTheProgramGivesTheLargeSegmentBack) {
  TfmMain& w = start({"OWNER", "X"});
  w.command("mmActivateLargeRB")->setChecked(false);
  w.mmActivateLargeRBClick();
  ASSERT_EQ(largeRBState(), "ONLINE");
  w.currLargeRB = "D";
  w.close();
  EXPECT_EQ(largeRBState(), "OFFLINE");
  EXPECT_EQ(w.currLargeRB, "N");
}

TEST_F(Runner, TheRunStartsWhenShownEvenIfNothingActivatesTheWindow) {
  TfmMain& w = start({"OWNER", "X"});
  nuvo::test::NoActivation noActivation;
  w.installEventFilter(&noActivation);
  w.show();
  EXPECT_TRUE(QTest::qWaitFor([this] { return closing(); }, 5000));
  EXPECT_EQ(w.currOwner, "X");
  EXPECT_FALSE(w.prvicNaFormi);
}

TEST_F(Runner, TheEndOfARunEndsTheProgramWhileAnotherWindowIsOpen) {
  TfmMain& w = start({"OWNER", "X"});
  QWidget other;
  other.setObjectName("other");
  other.show();
  w.show();
  w.FormActivate();
  ASSERT_TRUE(closing());
  ASSERT_TRUE(other.isVisible());
  // Ends the event loop should the program not end by itself.
  bool endedByGuard = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&endedByGuard] {
    endedByGuard = true;
    QCoreApplication::quit();
  });
  guard.start(10000);
  QApplication::exec();
  EXPECT_FALSE(endedByGuard);
  EXPECT_TRUE(w.programEnding());
}

TEST_F(Runner, RestrictedLoginAsksUntilTheUserStopsTheList) {
  sys({"GRANT ALTER SYSTEM TO kade"});
  // KADE's own session is one without the restricted-session right: asked No, then Yes.
  messages_->queueAnswer(nuvo::MessageAnswer::No);
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  TfmMain& w = startFile({"RESTRICTEDLOGIN ENABLE STOP", "OWNER AFTER"});
  w.IzvediCeloSkripto();
  ASSERT_EQ(messages().size(), 2);
  for (const QString& text : messages()) {
    EXPECT_TRUE(text.startsWith(w.nizRestricted + "\r\n\r\nKADE ")) << text.toStdString();
  }
  EXPECT_TRUE(w.stopList);
  EXPECT_NE(w.currOwner, "AFTER");
  EXPECT_EQ(scalar("select logins from v$instance"), "ALLOWED");
}

TEST_F(Runner, RestrictedLoginAcceptsOnlyEnableAndDisable) {
  sys({"GRANT ALTER SYSTEM TO kade"});
  TfmMain& w = startFile({"RESTRICTEDLOGIN ENABLE", "RESTRICTEDLOGIN \"DISABLE RESTRICTED SESSION; --\"",
                          "GRANT KADE ANA", "RESTRICTEDLOGIN disable", "OWNER AFTER"});
  // The logons while the list is between the rejected line and the DISABLE.
  QStringList logins;
  fakeWindow(w, "GRANT", [&](TfmMain&, const WindowRequest&) {
    logins << scalar("select logins from v$instance");
    return true;
  });
  w.IzvediCeloSkripto();
  EXPECT_EQ(logins, QStringList({"RESTRICTED"}));  // the rejected line reached no server
  EXPECT_EQ(messages(), QStringList({w.napakaRestricted}));
  EXPECT_FALSE(w.stopList);
  EXPECT_EQ(w.currOwner, "AFTER");
  EXPECT_EQ(scalar("select logins from v$instance"), "ALLOWED");
  EXPECT_TRUE(closing());
}

TEST_F(Runner, AFailedRestrictedSessionStillAsksBeforeTheListGoesOn) {
  // KADE may not alter the system: ENABLE fails, KADE's own session is listed, the user stops.
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  TfmMain& w = startFile({"RESTRICTEDLOGIN ENABLE STOP", "OWNER AFTER"});
  w.IzvediCeloSkripto();
  ASSERT_EQ(messages().size(), 3) << messages().join('|').toStdString();
  EXPECT_EQ(messages()[0], w.napakaRestricted);
  EXPECT_TRUE(messages()[1].startsWith(w.nizRestricted + "\r\n\r\nKADE ")) << messages()[1].toStdString();
  EXPECT_EQ(messages()[2], w.napakaRestricted);  // the DISABLE fails the same way
  EXPECT_TRUE(w.stopList);
  EXPECT_NE(w.currOwner, "AFTER");
}

TEST_F(Runner, AnActionWithoutItsWindowIsSkippedAndKeepsTheProgramOpen) {
  for (const char* action :
       {"CHECK_TABLES", "SISTEM", "IZVEDISQL", "SHOWLOG"}) {
    TfmMain& w = startFile({QString(action) + " P1", "OWNER AFTER"});
    w.IzvediCeloSkripto();
    ASSERT_EQ(w.runner().log.size(), 1) << action;
    EXPECT_TRUE(w.runner().log[0].contains(QString(action) + " skipped")) << w.runner().log[0].toStdString();
    EXPECT_EQ(w.currOwner, "AFTER") << action;  // the list goes on
    EXPECT_TRUE(w.mayClose) << action;
    EXPECT_FALSE(closing()) << action;
  }
}

TEST_F(Runner, WindowActionsGetTheirResultFilesAndOwners) {
  // Absolute paths of 300 characters reach the window whole.
  QString deep = "/srv";
  while (deep.size() < 290) deep += "/snapshots_of_the_installation";
  const QByteArray longRef = (deep + "/ref.snp").toUpper().toUtf8(), longCur = (deep + "/cur.snp").toUpper().toUtf8(),
                   longResult = (deep.toUpper() + "/DF12345!.txt").toUtf8();
  ASSERT_GE(longResult.size(), 300);
  TfmMain& w = startFile({"COMPARE REF.SNP CUR.SNP", "SISTEM", "IZVEDISQL C:\\DATA\\X.SQL extra",
                          "COMPARE A B /tmp/out/diff.txt", "ERRORS AUDIT", "ERRORS SCOTT", "GRANT KADE DUD",
                          "COMPARE " + deep + "/ref.snp " + deep + "/cur.snp " + deep + "/diff.txt"});
  for (const char* action : {"COMPARE", "SISTEM", "IZVEDISQL", "ERRORS", "GRANT"}) fakeWindow(w, action);
  w.IzvediCeloSkripto();
  const struct {
    const char* action;
    const char* p1;
    const char* p2;
    const char* result;
    const char* history;
  } expected[] = {
      {"COMPARE", "REF.SNP", "CUR.SNP", "a:\\DF12345!.txt", ""},
      {"SISTEM", "", "", "a:\\SI12345", "a:\\SH12345"},
      {"IZVEDISQL", "C:\\DATA\\X.SQL", "EXTRA", "C:\\DATA\\QU12345.txt", ""},
      {"COMPARE", "A", "B", "/TMP/OUT/DF12345!.txt", ""},
      {"ERRORS", "KADE", "", "", ""},
      {"ERRORS", "SCOTT", "", "", ""},
      {"GRANT", "KADE", "DUD", "", ""},  // the grantee is renamed only for an installation
      {"COMPARE", longRef.constData(), longCur.constData(), longResult.constData(), ""},
  };
  ASSERT_EQ(requests_.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const WindowRequest& r = requests_[int(i)];
    EXPECT_EQ(r.line.action, expected[i].action) << i;
    EXPECT_EQ(r.line.p1, expected[i].p1) << i;
    EXPECT_EQ(r.line.p2, expected[i].p2) << i;
    EXPECT_EQ(r.resultFile, expected[i].result) << i;
    EXPECT_EQ(r.historyFile, expected[i].history) << i;
    EXPECT_FALSE(r.multiInstallation);
  }
  EXPECT_TRUE(w.meVhod->toPlainText().startsWith(QString(48, '*') + "\nDEMO D.O.O.\n"));
  EXPECT_TRUE(closing());
}

TEST_F(Runner, VersionAndErrorsOutcomesDecideWhetherTheProgramCloses) {
  const struct {
    const char* action;
    bool ok;
    const char* base;  // the name of the version files on disk
    bool withVersion;  // whether the checked <base>.VER exists
    bool closes;
    bool renamed;
  } cases[] = {
      {"VERSION", true, "V1", true, true, true},
      {"VERSION", false, "V1", true, false, false},
      {"VERSION", true, "v1", true, true, true},     // the line's upper case finds lower-case files
      {"VERSION", true, "V1", false, false, false},  // nothing to rename: the copy is kept
      {"ERRORS", true, "V1", true, true, false},
      {"ERRORS", false, "V1", true, false, false},
  };
  for (const auto& c : cases) {
    for (const char* name : {"V1.VER", "V1.COP", "v1.ver", "v1.cop"}) QFile::remove(homePath(name));
    const QString base = c.base;
    const QString label = QString("%1 ok=%2 %3 withVersion=%4").arg(c.action).arg(c.ok).arg(base).arg(c.withVersion);
    const QString version = homePath(base + (base == "v1" ? ".ver" : ".VER"));
    const QString copy = homePath(base + (base == "v1" ? ".cop" : ".COP"));
    if (c.withVersion) writeHomeFile(QFileInfo(version).fileName(), "new");
    writeHomeFile(QFileInfo(copy).fileName(), "old");
    TfmMain& w = startFile({QString(c.action) + " " + homePath("v1")});
    fakeWindow(w, c.action, [&c](TfmMain& main, const WindowRequest&) {
      main.VersionOK = c.ok;
      return c.ok;
    });
    w.IzvediCeloSkripto();
    EXPECT_EQ(closing(), c.closes) << label.toStdString();
    QFile cop(copy);
    ASSERT_TRUE(cop.open(QIODevice::ReadOnly)) << label.toStdString();
    EXPECT_EQ(cop.readAll(), c.renamed ? "new" : "old") << label.toStdString();
    EXPECT_EQ(QFile::exists(version), c.withVersion && !c.renamed) << label.toStdString();
  }
}

// The real version check from a command file: a file written from the schema becomes the copy and
// the program closes; a file with a different version stays, the run ends at once and says why.
TEST_F(Runner, VersionRunsUnattendedFromACommandFile) {
  {
    TfmMain& w = start({});
    nuvo::admin::writeVersionFile(
        homePath("KV.VER"), nuvo::admin::readVersionRecords(w.osOracle, "KADE", nuvo::admin::kAllVersionTypes));
  }
  TfmMain& w = startFile({"VERSION " + homePath("KV") + " KADE", "OWNER AFTER"});
  w.IzvediCeloSkripto();
  EXPECT_TRUE(w.runner().log.isEmpty()) << w.runner().log.join('\n').toStdString();
  EXPECT_TRUE(closing());
  EXPECT_EQ(w.currOwner, "AFTER");
  EXPECT_FALSE(QFile::exists(homePath("KV.VER")));
  ASSERT_TRUE(QFile::exists(homePath("KV.COP")));

  writeHomeFile("KV.VER", "PROCEDURE#NO_SUCH_PROCEDURE#V01.00#2021-03-15:08:30:00#\r\n");
  TfmMain& again = startFile({"VERSION " + homePath("KV") + " KADE", "OWNER AFTER"});
  again.IzvediCeloSkripto();
  ASSERT_EQ(again.runner().log.size(), 1);
  EXPECT_TRUE(again.runner().log[0].contains("differ")) << again.runner().log[0].toStdString();
  EXPECT_EQ(again.currOwner, "AFTER");  // the list goes on
  EXPECT_FALSE(again.mayClose);
  EXPECT_FALSE(closing());
  EXPECT_TRUE(QFile::exists(homePath("KV.VER")));
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
  // The first window closes itself; the one with the difference stays.
  const auto shown = [] {
    QList<QPointer<QWidget>> windows;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->inherits("TfmCheckVersion") && top->isVisible()) windows << top;
    return windows;
  };
  EXPECT_TRUE(QTest::qWaitFor([&shown] { return shown().size() == 1; }, 5000));
  qDeleteAll(shown());
}

// The real grant window from a command file: rights on KADE's objects are given to BOR and taken
// again; a grantee that does not exist is reported with the server's error, and as GRANT always
// closes its window, the list goes on and the program closes at its end.
TEST_F(Runner, GrantRunsUnattendedFromACommandFile) {
  const auto borRights = [this] {
    auto bor = database()->logOn("BOR", "BOR");
    auto query = bor->prepare("SELECT COUNT(*) FROM all_tab_privs WHERE grantee = 'BOR' AND table_schema = 'KADE'");
    query->execute();
    return query->next() ? query->value(0).asInteger() : -1;
  };
  ASSERT_EQ(borRights(), 0);
  TfmMain& w = startFile({"GRANT KADE BOR", "GRANT KADE NO_SUCH_GRANTEE", "OWNER AFTER"});
  w.IzvediCeloSkripto();
  EXPECT_GT(borRights(), 0);
  ASSERT_EQ(w.runner().log.size(), 1) << w.runner().log.join('\n').toStdString();
  EXPECT_TRUE(w.runner().log[0].startsWith("GRANT KADE NO_SUCH_GRANTEE: ")) << w.runner().log[0].toStdString();
  EXPECT_TRUE(w.runner().log[0].contains("ORA-01917")) << w.runner().log[0].toStdString();
  EXPECT_EQ(w.currOwner, "AFTER");
  EXPECT_TRUE(w.mayClose);
  EXPECT_TRUE(closing());
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_F(Runner, TheListRunsOncePerInstanceAndOnlyTheLastPassDecides) {
  writeHomeFile("instance.txt", "DEMO\r\nDEMO\r\nDEMO\r\n");
  for (const bool lastFails : {false, true}) {
    nuvo::test::LogonDriver driver({nuvo::test::LogonStep::connect("kade", "kade"),
                                    nuvo::test::LogonStep::connect("kade", "kade"),
                                    nuvo::test::LogonStep::connect("kade", "kade")});
    TfmMain& w = startFile({"ERRORS KADE"});
    int pass = 0;
    fakeWindow(w, "ERRORS", [&pass, lastFails](TfmMain& main, const WindowRequest&) {
      ++pass;
      EXPECT_EQ(main.connServer, "DEMO");
      // Invalid objects remain in the first pass, or in the last one.
      return lastFails ? pass < 3 : pass > 1;
    });
    w.IzvediCeloSkripto();
    EXPECT_EQ(pass, 3);
    EXPECT_EQ(driver.seen().size(), 3);  // each instance's logon dialog waited for Connect
    for (const auto& seen : driver.seen()) EXPECT_FALSE(seen.autoConnect);
    EXPECT_EQ(driver.unexpected(), 0);
    EXPECT_EQ(closing(), !lastFails);
  }
}

TEST_F(Runner, AtMostTwentyInstancesAreUsedAndOneLeftOutKeepsTheProgramOpen) {
  const struct {
    int databases;
    QStringList log;
    bool closes;
  } cases[] = {
      {nuvo::shell::kMaxInstances, {}, true},
      {nuvo::shell::kMaxInstances + 1, {"instance.txt: only the first 20 of 21 databases are used"}, false},
  };
  for (const auto& c : cases) {
    requests_.clear();
    writeHomeFile("instance.txt", QStringList(c.databases, "DEMO").join("\r\n"));
    QList<nuvo::test::LogonStep> steps;
    for (int i = 0; i < nuvo::shell::kMaxInstances; ++i) steps << nuvo::test::LogonStep::connect("kade", "kade");
    nuvo::test::LogonDriver driver(steps);
    TfmMain& w = startFile({"ERRORS KADE"});
    fakeWindow(w, "ERRORS");
    w.IzvediCeloSkripto();
    EXPECT_EQ(requests_.size(), nuvo::shell::kMaxInstances) << c.databases;
    EXPECT_EQ(driver.unexpected(), 0) << c.databases;
    EXPECT_EQ(w.runner().log, c.log) << c.databases;
    EXPECT_EQ(closing(), c.closes) << c.databases;
  }
}

class MultiInstallationRun : public Runner {
 protected:
  void SetUp() override {
    Runner::SetUp();
    writeHomeFile("vecInstalacij", "DEMO TRUE\r\n");
  }
  TfmMain& startMulti(const QStringList& lines) {
    writeHomeFile("MU_RUN.CMD", lines.join("\r\n") + "\r\n");
    TfmMain& w = start({"@MU_RUN.CMD"});
    EXPECT_TRUE(w.currMoreInstall);
    return w;
  }
  QStringList statuses() {
    return column("select userindex || ':' || lastscriptstatus || ':' || "
                  "decode(trunc(lastscriptdate), trunc(sysdate), 'today', 'other') "
                  "from nuvo_util.nuvo_instalations order by userindex");
  }
};

TEST_F(MultiInstallationRun, RunsTheScriptInEveryInstallationAndLogsOnAgain) {
  writeHomeFile("MU_S.sql", "create table kade.mu_t (id number)\r\n/\r\ninsert into kade.mu_t values (1)\r\n/\r\n");
  TfmMain& w = startMulti({"SCRIPT MU_S " + QString::fromStdString(home())});
  w.show();
  w.FormActivate();
  EXPECT_EQ(statuses(), QStringList({"1:X:today", "2:X:today"}));
  EXPECT_EQ(column("select script_owner || ':' || script_stat from nuvo_util.nuvo_exs where script_name = 'MU_S' "
                   "order by script_owner, script_counter"),
            QStringList({"IZAS1:X", "IZAS1:X", "IZAS2:X", "IZAS2:X"}));
  EXPECT_EQ(sysScalar("select count(*) from izas1.mu_t"), "1");
  EXPECT_EQ(sysScalar("select count(*) from izas2.mu_t"), "1");
  // Back on the original logon, password included; the run never closes the program.
  EXPECT_EQ(w.osOracle.user(), "KADE");
  EXPECT_EQ(w.connUser, "KADE");
  EXPECT_EQ(w.connPassword, "KADE");
  EXPECT_EQ(w.connServer, "DEMO");
  EXPECT_FALSE(closing());
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_F(MultiInstallationRun, ImportsAndLastVersionChecksOnlyReportAndGranteesKeepTenCharacters) {
  const QString errorFile = nuvo::resolvePath(nuvo::shell::kErrorFile);
  QFile::remove(errorFile);
  TfmMain& w = startMulti({"GRANT LONGOWNERNAME1 DUD", "IMPORT 3", "LASTVERSIONCHECK NONE", "OWNER AFTER"});
  w.currLoader = "/bin/sh -c 'exit $0'";
  fakeWindow(w, "GRANT");
  w.FormActivate();
  QStringList grantees;
  for (const WindowRequest& r : requests_) grantees << r.line.p2;
  // "G" and at most nine characters of the owner from its second one.
  EXPECT_EQ(grantees, QStringList({"GONGOWNERN", "GONGOWNERN"}));
  const QString failedImport = "NAPAČEN LOAD UKAZ: /bin/sh -c 'exit $0' 3";
  EXPECT_EQ(messages(), QStringList({failedImport, failedImport}));
  QFile file(errorFile);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "NONE\r\n");
  // Each installation's list stopped there; the run's own state is untouched and it never closes.
  EXPECT_NE(w.currOwner, "AFTER");
  EXPECT_FALSE(w.importFailed);
  EXPECT_FALSE(w.mayClose);
  EXPECT_EQ(statuses(), QStringList({"1:X:today", "2:X:today"}));
  EXPECT_FALSE(closing());
}

TEST_F(MultiInstallationRun, AFailedLogonAndInstallationsBeyondTheLimitAreReported) {
  sys({"UPDATE nuvo_util.nuvo_instalations SET pass_kade = 'WRONG', lastscriptstatus = 'X', "
       "lastscriptdate = DATE '2020-01-01' WHERE userindex = 1",
       "INSERT INTO nuvo_util.nuvo_instalations (userindex, username, instance, user_kade, pass_kade, user_zozuro, "
       "pass_zozuro) VALUES (3, 'IZAS3', 'DEMO', 'IZAS3', 'IZAS3', 'FZAS3', 'FZAS3')",
       "COMMIT"});
  TfmMain& w = startMulti({"OWNER X"});
  w.runner().maxInstallations = 2;
  w.FormActivate();
  const QStringList& log = w.runner().log;
  ASSERT_EQ(log.size(), 2) << log.join('|').toStdString();
  EXPECT_EQ(log[0], "Installations: only the first 2 of 3 are run");
  EXPECT_TRUE(log[1].startsWith("Installation 1 (IZAS1 on DEMO): the logon failed, nothing was run: ORA-01017"))
      << log[1].toStdString();
  // No logon dialog waited for a person.
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
  // Its older status no longer stands; the installation beyond the limit keeps none.
  EXPECT_EQ(statuses(), QStringList({"1:E:today", "2:X:today", "3::other"}));
  EXPECT_EQ(w.osOracle.user(), "KADE");
}

TEST_F(MultiInstallationRun, RenamesLinesRunsAStoredScriptOnceAndRecordsFailures) {
  sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_owner) "
       "VALUES ('DONE_S', 1, 'X', 'IZAS2')",
       "COMMIT"});
  TfmMain& w = startMulti({"OWNER KADE", "GRANT KADE DUD", "SCRIPT DONE_S DIR", "CONNECT KADE", "COMPARE X Y",
                           "ERRORS KADE", "CONNECT ZOZURO", "ERRORS AUDIT"});
  QStringList owners;
  fakeWindow(w, "GRANT", [&owners](TfmMain& main, const WindowRequest&) {
    owners << main.currOwner;
    return true;
  });
  fakeWindow(w, "ERRORS");
  fakeWindow(w, "COMPARE");
  // The first installation's script fails; the second has run it already.
  fakeWindow(w, "SCRIPT", [](TfmMain& main, const WindowRequest&) {
    main.pExecuteScriptNapaka = true;
    return true;
  });
  w.FormActivate();
  EXPECT_EQ(owners, QStringList({"IZAS1", "IZAS2"}));
  QStringList seen;
  for (const WindowRequest& r : requests_) {
    EXPECT_TRUE(r.multiInstallation);
    seen << r.line.action + " " + r.line.p1 + " " + r.line.p2;
  }
  EXPECT_EQ(seen, QStringList({"GRANT IZAS1 GZAS1", "SCRIPT DONE_S DIR", "ERRORS IZAS1 ", "ERRORS FZAS1 ",
                               "GRANT IZAS2 GZAS2", "ERRORS IZAS2 ", "ERRORS FZAS2 "}));
  EXPECT_EQ(statuses(), QStringList({"1:E:today", "2:X:today"}));
  EXPECT_EQ(w.osOracle.user(), "KADE");
}

}  // namespace
