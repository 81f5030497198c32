#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <memory>

#include "db/query.h"
#include "qstring_print.h"
#include "schema/moreInstall.h"
#include "schema/userInst.h"
#include "shell/Main.h"
#include "shell_test_support.h"

namespace {

using nuvo::test::LogonStep;

class MainCommands : public nuvo::test::DatabaseFixture {
 protected:
  void TearDown() override {
    window_.reset();
    DatabaseFixture::TearDown();
  }
  TfmMain& start() {
    window_ = std::make_unique<TfmMain>();
    return *window_;
  }
  TfmMain& loggedOn(const char* user = "kade") {
    TfmMain& w = start();
    nuvo::test::LogonDriver driver({LogonStep::connect(user, user)});
    w.tbConnectClick();
    EXPECT_TRUE(w.osOracle.connected());
    return w;
  }
  QString queryText(TfmMain& w, const QString& sql) {
    nuvo::db::Query query(&w.osOracle);
    query.setSql(sql);
    query.execute();
    return query.eof() ? QString() : query.field(0).asString();
  }

 private:
  std::unique_ptr<TfmMain> window_;
};

TEST_F(MainCommands, CommandsFollowTheLogon) {
  struct Case {
    const char* name;
    bool before;
    bool after;
  };
  const Case cases[] = {
      {"tbConnect", true, true},       {"mmConnDisc", true, true},        {"mmUserComments", true, true},
      {"mmWorkSheet", false, true},    {"mmProject", false, true},        {"mmStructures", false, true},
      {"mmCompare", false, true},      {"mmActivateLargeRB", true, true}, {"mmShowSession", true, true},
      {"mmAbout", true, true},         {"tbOkna", true, true},            {"tbExit", true, true},
      {"mmEditPL", false, true},       {"mmExecScript", false, true},     {"mmStatus", false, true},
      {"tbWorkSheet", false, true},    {"tbStructures", false, true},     {"mmLock", false, false},
      {"mmVersionCheck", true, true},  {"tbOpenProject", false, true},    {"mmCompare2", true, true},
      {"mmGrantRevokerights", true, true},
      {"mmRefreshTables", true, true},
  };
  TfmMain& w = start();
  for (const auto& c : cases) EXPECT_EQ(w.command(c.name)->isEnabled(), c.before) << c.name;
  nuvo::test::LogonDriver driver({LogonStep::connect("kade", "kade")});
  w.tbConnectClick();
  for (const auto& c : cases) EXPECT_EQ(w.command(c.name)->isEnabled(), c.after) << c.name;
  w.command("mmDisconnect")->trigger();
  for (const auto& c : cases) EXPECT_EQ(w.command(c.name)->isEnabled(), c.before) << c.name;
}

// The hidden installation items, once shown, open their windows; the hosting window is made anew
// each time and the earlier, hidden one goes.
TEST_F(MainCommands, TheInstallationItemsOpenTheirWindows) {
  TfmMain& w = loggedOn();
  const auto windows = [](const char* kind) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<QWidget*> found;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->inherits(kind)) found << top;
    return found;
  };
  for (const char* name : {"mmInstalations", "mmInstalationsformoreusers"}) {
    w.command(name)->setVisible(true);
    EXPECT_TRUE(w.command(name)->isEnabled()) << name;
  }
  w.command("mmInstalationsformoreusers")->trigger();
  const auto first = windows("TfmMoreUsers");
  ASSERT_EQ(first.size(), 1);
  QPointer<QWidget> earlier = first[0];
  earlier->close();
  EXPECT_FALSE(earlier.isNull());  // closing hides it
  w.command("mmInstalationsformoreusers")->trigger();
  const auto second = windows("TfmMoreUsers");
  ASSERT_EQ(second.size(), 1);
  EXPECT_TRUE(earlier.isNull());
  EXPECT_TRUE(second[0]->isVisible());
  w.command("mmInstalations")->trigger();
  EXPECT_EQ(windows("TfmInstUsers").size(), 1);
  qDeleteAll(windows("TfmInstUsers"));
}

TEST_F(MainCommands, CaptionsAndHintsInBothLanguages) {
  struct Case {
    const char* name;
    const char* english;
    const char* slovene;
  };
  const Case menus[] = {
      {"mmConnDisc", "&Connect/Setup", "&Prijava/Odjava"},
      {"mmUserComments", "User Comments", "Komentarji"},
      {"mmGrantRevokerights", "Grant/Revoke rigjts", "Pravice"},
      {"mmActivateLargeRB", "Large RB Online", "Velik RB Online"},
      {"mmRestrictedEnable", "Restricted Session ON", "Omejitev prijav na Oracle"},
      {"mmShowSession", "Show Unrestricted sessions", "Prikaz nedovoljenih prijav"},
      {"mmMonitor", "Monitor", "Monitor"},
      {"mmExit", "E&xit", "&Konec"},
  };
  const Case hints[] = {
      {"tbConnect", "Connect to Database", "Prijava"},
      {"tbOkna", "Select Window", "Prikaz odprtih oken"},
      {"ToolButton4", "Settings", "Nastavitve"},
  };
  for (const bool slovene : {false, true}) {
    if (slovene) writeHomeFile("MONITOR.INI", "[PL/SQL]\r\nCURR_LANGUAGE=SLO\r\n");
    TfmMain& w = start();
    for (const auto& c : menus)
      EXPECT_EQ(w.command(c.name)->text(), QString::fromUtf8(slovene ? c.slovene : c.english)) << c.name;
    for (const auto& c : hints)
      EXPECT_EQ(w.command(c.name)->toolTip(), QString::fromUtf8(slovene ? c.slovene : c.english)) << c.name;
    EXPECT_EQ(w.command("mmActivateLargeRB")->statusTip(), "Large RB ONLINE, other public RB OFFLINE");
  }
}

TEST_F(MainCommands, TheLargeRollbackSegmentSwitch) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& w = loggedOn();
  EXPECT_EQ(w.currLargeRBName, "LARGERB");  // the default of CURR_LARGERB
  auto states = [&w] {
    nuvo::db::Query query(&w.osOracle);
    query.setSql("select n.name || '=' || s.status from v$rollname n, v$rollstat s where n.usn = s.usn order by n.usn");
    QStringList result;
    for (query.execute(); !query.eof(); query.next()) result << query.field(0).asString();
    return result;
  };
  QAction* item = w.command("mmActivateLargeRB");
  item->trigger();
  EXPECT_TRUE(item->isChecked());
  EXPECT_EQ(states(), QStringList({"SYSTEM=ONLINE", "RBS01=OFFLINE", "LARGERB=ONLINE"}));
  w.declRunParam = true;  // unattended: no message
  item->trigger();
  EXPECT_FALSE(item->isChecked());
  EXPECT_EQ(states(), QStringList({"SYSTEM=ONLINE", "RBS01=ONLINE", "LARGERB=OFFLINE"}));
  EXPECT_EQ(messages.texts(), QStringList({"LARGERB :ONLINE"}));

  // The segment name is a value of the call, never part of its text: this one names no segment.
  w.declRunParam = false;
  w.currLargeRBName = "LARGERB','OFFLINE');--";
  item->trigger();
  EXPECT_FALSE(item->isChecked());
  EXPECT_EQ(messages.texts().last(), "ERROR ON PUTING LARGERB','OFFLINE');-- ONLINE");
  EXPECT_EQ(states(), QStringList({"SYSTEM=ONLINE", "RBS01=ONLINE", "LARGERB=OFFLINE"}));
  EXPECT_FALSE(w.osOracle.inTransaction());
}

TEST_F(MainCommands, TheSwitchIsSilentWhenTheServerDoesNotAllowIt) {
  sys({"ALTER SESSION SET CURRENT_SCHEMA = kade",
       "CREATE OR REPLACE PACKAGE BODY pcklogparam AS\n"
       "  g_user VARCHAR2(30);\n"
       "  PROCEDURE initparam(p_user VARCHAR2) IS BEGIN g_user := p_user; END initparam;\n"
       "  FUNCTION getuser RETURN VARCHAR2 IS BEGIN RETURN g_user; END getuser;\n"
       "  FUNCTION canuselargerb RETURN VARCHAR2 IS BEGIN RETURN 'n'; END canuselargerb;\n"
       "END pcklogparam;"});
  nuvo::test::ScriptedMessages messages;
  TfmMain& w = loggedOn();
  w.command("mmActivateLargeRB")->trigger();
  EXPECT_FALSE(w.command("mmActivateLargeRB")->isChecked());
  EXPECT_TRUE(messages.texts().isEmpty());
  EXPECT_EQ(queryText(w, "select status from v$rollstat where usn = 2"), "OFFLINE");
}

TEST_F(MainCommands, RestrictedSessionAsksAndReportsFailures) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& w = loggedOn();
  w.command("mmRestrictedEnable")->trigger();  // answered No
  EXPECT_EQ(messages.texts(), QStringList({"Si prepričan, da želiš preprečiti prijave na bazo?"}));
  messages.queueAnswer(nuvo::MessageAnswer::Yes);
  w.command("mmRestrictedDisable")->trigger();  // KADE may not alter the system
  EXPECT_EQ(messages.texts().mid(1), QStringList({"Si prepričan, da želiš omogočiti vsem uporabnikom prijavo na bazo?",
                                                  "ERROR ON RESTRICTED SESSION"}));
  EXPECT_FALSE(w.SetRestrictedSession("ENABLE RESTRICTED SESSION; --"));
  sys({"GRANT ALTER SYSTEM TO kade"});
  EXPECT_TRUE(w.SetRestrictedSession("enable"));
  EXPECT_TRUE(w.SetRestrictedSession("DISABLE"));
}

TEST_F(MainCommands, UnrestrictedSessionsLeaveOutTheRestrictedRole) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& w = loggedOn();
  nuvo::db::Session ana;
  ana.logOn("ANA", "ANA", "DEMO");  // member of DUD, which holds RESTRICTED SESSION
  QString list;
  w.ListUnrestrictedSessions("K", list);
  EXPECT_TRUE(messages.texts().isEmpty());
  const QStringList lines = list.split("\r\n", Qt::SkipEmptyParts);
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(list.endsWith("\r\n"));
  EXPECT_TRUE(lines.first().startsWith("KADE "));
  for (const QString& line : lines) EXPECT_FALSE(line.startsWith("ANA ")) << line.toStdString();
  w.command("mmShowSession")->trigger();
  EXPECT_EQ(messages.texts(), QStringList({list}));
}

TEST_F(MainCommands, ExecDynShowsTheErrorOfAStatement) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& w = loggedOn();
  EXPECT_TRUE(w.execDyn("create table kade.dyn_t (a number)"));
  EXPECT_FALSE(w.execDyn("select * from kade.no_such_table"));
  ASSERT_EQ(messages.texts().size(), 1);
  EXPECT_TRUE(messages.texts().first().startsWith("ORA-00942")) << messages.texts().first().toStdString();
  messages.queueAnswer(nuvo::MessageAnswer::Yes);
  EXPECT_TRUE(w.sporocilo("Nadaljujem?"));
  EXPECT_FALSE(w.sporocilo("Nadaljujem?"));
}

TEST_F(MainCommands, ChangeDateFormatSetsTheSessionAndTheProgram) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& w = loggedOn();
  EXPECT_TRUE(w.changeDateFormat(w.osOracle, "DD.MM.YYYY HH24:MI"));
  EXPECT_EQ(w.ShortDateFormat, "dd.MM.yyyy HH:mm");
  EXPECT_EQ(queryText(w, "select to_char(to_date('05.03.2026 14:07'), 'YYYY-MM-DD HH24:MI') from dual"),
            "2026-03-05 14:07");
  // The format stands between double quotes: one of its own is refused before the server sees it.
  EXPECT_FALSE(w.changeDateFormat(w.osOracle, "DD\" scott"));
  EXPECT_EQ(w.ShortDateFormat, "dd.MM.yyyy HH:mm");
  EXPECT_EQ(messages.texts(), QStringList({"Wrong DATE FORMAT"}));
  EXPECT_FALSE(w.osOracle.inTransaction());
}

// A worksheet as the main window sees it: its name and its answer about open transactions.
class FakeWorkSheet : public QWidget {
  Q_OBJECT
 public:
  bool open = false;
  QString askedFor;
  Q_INVOKABLE bool jeVTransakciji(const QString& database) {
    askedFor = database;
    return open;
  }
};

TEST_F(MainCommands, ChangeDateFormatRefusesAnUnknownFormat) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& w = loggedOn();
  EXPECT_FALSE(w.changeDateFormat(w.osOracle, "NOT A FORMAT"));
  EXPECT_EQ(messages.texts(), QStringList({"Wrong DATE FORMAT"}));
  EXPECT_EQ(w.ShortDateFormat, "dd.MM.yyyy");
}

TEST_F(MainCommands, SessionInTransactionAsksEveryWorksheet) {
  TfmMain& w = loggedOn();
  FakeWorkSheet first, second, other;
  first.setObjectName("WorkSheet_1");
  second.setObjectName("WorkSheet_2");
  other.setObjectName("fmEdit_1");
  other.open = true;
  EXPECT_FALSE(w.SessionInTransaction());
  EXPECT_EQ(first.askedFor, "DEMO");
  second.open = true;
  EXPECT_TRUE(w.SessionInTransaction());
}

TEST_F(MainCommands, TheChooserOffersOpenWindowsOfAKindAndNew) {
  TfmMain& w = start();
  int opened = 0;
  w.lastPMFunction = [&opened] { ++opened; };
  EXPECT_TRUE(w.ChooseOpenWindow("fmGrantAll", 10));
  EXPECT_EQ(w.trenOkna, 0);

  std::vector<std::unique_ptr<QWidget>> windows;
  for (const char* name : {"fmGrantAll_1", "fmEdit", "fmGrantAll_2", "fmgrantall_3"}) {
    windows.push_back(std::make_unique<QWidget>());
    windows.back()->setObjectName(name);
    windows.back()->setWindowTitle(QString(name) + " title");
    windows.back()->show();
  }
  EXPECT_FALSE(w.ChooseOpenWindow("fmGrantAll", 10));
  EXPECT_EQ(w.trenOkna, 2);
  QStringList items;
  for (QAction* action : w.pmOkna->actions()) items << action->objectName() + "=" + action->text();
  items.sort();
  EXPECT_EQ(items, QStringList({"New=New", "fmGrantAll_1=fmGrantAll_1 title", "fmGrantAll_2=fmGrantAll_2 title"}));
  for (QAction* action : w.pmOkna->actions())
    if (action->objectName() == "New") action->trigger();
  EXPECT_EQ(opened, 1);

  QWidget* chosen = w.aTrenOkna[1];
  chosen->showMinimized();
  for (QAction* action : w.pmOkna->actions())
    if (action->objectName() == chosen->objectName()) action->trigger();
  EXPECT_FALSE(chosen->isMinimized());

  w.pmOkna->hide();
  w.tbOknaClick();
  EXPECT_EQ(w.trenOkna, 4);
  for (QAction* action : w.pmOkna->actions()) EXPECT_NE(action->objectName(), "New");
  w.pmOkna->hide();
}

TEST_F(MainCommands, ToolbarButtonsOpenANewWindowOrOfferTheOpenOnes) {
  TfmMain& w = start();
  struct Case {
    const char* button;
    const char* prefix;
    const char* newCommand;
  };
  const Case cases[] = {
      {"tbWorkSheet", "WorkSheet_1", "mmNormal"}, {"tbEditPL", "fmEdit_1", "mmEditPL"},
      {"tbStructures", "fmTableStru", "mmTabStru"}, {"tbErrors", "fmErrors", "mmStatus"},
  };
  // The worksheets the real command opens go at once, so only the test's own window is offered.
  auto closeWorksheets = [] {
    QList<QPointer<QWidget>> sheets;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->inherits("TfmWorkSheet") || top->inherits("TfmErrors") || top->inherits("TfmEditPL") ||
          top->inherits("TfmTableStru"))
        sheets << top;
    qDeleteAll(sheets);
  };
  for (const auto& c : cases) {
    // Until their windows exist the commands are disabled; here they stand enabled for the test.
    w.command(c.button)->setEnabled(true);
    w.command(c.newCommand)->setEnabled(true);
    int created = 0;
    const auto link = QObject::connect(w.command(c.newCommand), &QAction::triggered, [&created] { ++created; });
    w.command(c.button)->trigger();
    EXPECT_EQ(created, 1) << c.button;  // none open: a new one at once
    closeWorksheets();

    QWidget open;
    open.setObjectName(c.prefix);
    open.show();
    w.command(c.button)->trigger();
    EXPECT_EQ(created, 1) << c.button;
    EXPECT_EQ(w.trenOkna, 1) << c.button;
    w.lastPMFunction();
    EXPECT_EQ(created, 2) << c.button;
    closeWorksheets();
    w.pmOkna->hide();
    QObject::disconnect(link);
  }
}

TEST_F(MainCommands, TemplatesTakeAShortClipboardText) {
  TfmMain& w = start();
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText("emp");
  EXPECT_EQ(w.getClipboard(), "emp");
  EXPECT_EQ(w.prepareInsertTemplate(false, "select * from :? where x=:?"), "select * from emp where x=Emp");
  EXPECT_EQ(w.prepareInsertTemplate(true, "a :?"), "\ra emp\r");
  clipboard->setText("more than10");
  EXPECT_EQ(w.getClipboard(), "");
  EXPECT_EQ(w.prepareInsertTemplate(false, ":? :?"), "? ?");
}

TEST_F(MainCommands, MacrosAreReadOncePerRun) {
  TfmMain& w = start();
  w.currMacros = new QPlainTextEdit(&w);
  w.currMacros->setPlainText("#s\nselect * from\n/Count rows\nselect count(*) from :?\n#\nlost\n#d\ndelete");
  QWidget editor;
  QMenu popup;
  QString clicked;
  w.preberiMacroTipke(&editor, &popup, [&clicked](QAction* item) { clicked = item->objectName(); });
  EXPECT_EQ(w.mcKeys, "sd");
  EXPECT_EQ(w.mcUkaz, 2);
  EXPECT_EQ(w.mcMacro[0], "select * from");
  EXPECT_EQ(w.mcMacro[1], "delete");
  EXPECT_EQ(w.nrMacros, 1);
  EXPECT_EQ(w.stMacro[0], "select count(*) from :?");
  ASSERT_EQ(popup.actions().size(), 1);
  EXPECT_EQ(popup.actions()[0]->objectName(), "Macro1");
  EXPECT_EQ(popup.actions()[0]->text(), "Count rows");
  popup.actions()[0]->trigger();
  EXPECT_EQ(clicked, "Macro1");

  w.currMacros->setPlainText("#x\nother");
  QMenu second;
  w.preberiMacroTipke(&editor, &second, {});
  EXPECT_EQ(w.mcKeys, "sd");
  EXPECT_EQ(second.actions().size(), 1);
}

}  // namespace

#include "main_commands_test.moc"
