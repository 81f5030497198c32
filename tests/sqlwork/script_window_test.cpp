#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QStackedWidget>
#include <QTimer>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QWidget>
#include <QFile>
#include <gtest/gtest.h>

#include <memory>

#include "db/query.h"
#include "engine/engine.h"
#include "qstring_print.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell/tabUtil.h"
#include "shell_test_support.h"
#include "sqlwork/execScr.h"
#include "widgets/message_facade.h"

namespace {

const char* kUpgrade =
    "-- upgrade 1\n"
    "create table kade.upg_t (id number)\n"
    "/\n"
    "insert into kade.upg_t values (1)\n"
    "/\n"
    "insert into kade.no_such_table values (2)\n"
    "/\n"
    "insert into kade.upg_t values (3)\n"
    "/\n";

class ScriptWindow : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("KADE", "KADE", "DEMO");
    main_->connUser = QStringLiteral("KADE");
    main_->connServer = QStringLiteral("DEMO");
    main_->currentScriptDir = QString::fromStdString(home());
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
    previousRunner_ = nuvo::setModalRunner([this](QDialog& dialog) {
      ++dialogs_;
      dialog.reject();
      return static_cast<int>(QDialog::Rejected);
    });
  }
  void TearDown() override {
    delete window_.data();
    nuvo::setModalRunner(std::move(previousRunner_));
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }

  TfmScript& open() {
    window_ = new TfmScript;
    return *window_;
  }
  // The window with a script file of that name loaded, as the user picks it by name and directory.
  TfmScript& loaded(const QString& name, const char* text) {
    writeHomeFile(name + ".sql", QString::fromUtf8(text).replace("\n", "\r\n"));
    TfmScript& w = open();
    w.edSkripta->setText(name);
    w.btOpenFileClick();
    return w;
  }
  QStringList rows(const QString& script) {
    nuvo::db::Query q(&main_->osOracle);
    q.setSql("select script_counter || ':' || script_stat || ':' || script_err from nuvo_util.nuvo_exs"
             " where script_name = :n order by script_counter");
    q.declareVariable("n", nuvo::db::DataType::String);
    q.setVariable("n", script);
    QStringList result;
    for (q.execute(); !q.eof(); q.next()) result << q.field(0).asString();
    return result;
  }
  QString scalar(const QString& sql) {
    nuvo::db::Query q(&main_->osOracle);
    q.setSql(sql);
    q.execute();
    return q.eof() ? QString() : q.field(0).asString();
  }
  const QStringList& messages() const { return messages_->texts(); }

  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
  QPointer<TfmScript> window_;
  nuvo::ModalRunner previousRunner_;
  int dialogs_ = 0;
};

TEST_F(ScriptWindow, PutIntoTableStoresUnderTheUpperCasedNameAndRecordsTheLastVersion) {
  TfmScript& w = loaded("upg_one", kUpgrade);
  EXPECT_TRUE(w.btScriptPut->isEnabled());
  w.edSkripta->setText("upg_one");
  w.btScriptPutClick();
  EXPECT_EQ(rows("UPG_ONE"), (QStringList{"1:N:", "2:N:", "3:N:", "4:N:"}));
  EXPECT_EQ(TfmtableUtil::GetLastVer(), "UPG_ONE");
  EXPECT_EQ(w.pcExec->currentWidget(), w.tabExec);
  EXPECT_EQ(w.dbgSkripte->model()->rowCount(), 4);
  EXPECT_EQ(w.meLong->toPlainText(), "create table kade.upg_t (id number)");

  // Stored already: the count is reported, nothing changes.
  w.btScriptPutClick();
  EXPECT_EQ(messages().last(), "SCRIPT IS NOT EMPTY :4 RECORDS");
  EXPECT_EQ(rows("UPG_ONE").size(), 4);
}

TEST_F(ScriptWindow, AWindows1250ScriptWhoseLettersFormUtf8IsStoredAsWritten) {
  // "čšž" in Windows-1250 is E8 9A 9E, which is also UTF-8 for one CJK character.
  QFile file(QString::fromStdString(home()) + "/UPG_CP.sql");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("update kade.isec_users set username = 'mo\xE8\x9A\x9E' where 1 = 0\r\n/\r\n");
  file.close();
  TfmScript& w = open();
  w.edSkripta->setText("UPG_CP");
  w.btOpenFileClick();
  w.btScriptPutClick();
  EXPECT_EQ(scalar("select script_cont from nuvo_util.nuvo_exs where script_name = 'UPG_CP'"),
            QString::fromUtf8("update kade.isec_users set username = 'močšž' where 1 = 0"));
}

TEST_F(ScriptWindow, TheTypedScriptDirectoryIsRememberedWholeAsTheFieldShowsIt) {
  TfmScript& w = open();
  w.edDir->clear();
  QTest::keyClicks(w.edDir, "c:\\sql\\trig");
  EXPECT_EQ(w.edDir->text(), "C:\\SQL\\TRIG");
  EXPECT_EQ(main_->currentScriptDir, "C:\\SQL\\TRIG");
  QTest::keyClick(w.edDir, Qt::Key_Backspace);
  EXPECT_EQ(main_->currentScriptDir, "C:\\SQL\\TRI");
}

TEST_F(ScriptWindow, AnInsertErrorStoresNothingNamesTheStatementAndRecordsNoVersion) {
  sys({"CREATE TRIGGER nuvo_util.exs_no2 BEFORE INSERT ON nuvo_util.nuvo_exs FOR EACH ROW "
       "WHEN (new.script_counter = 2) BEGIN raise_application_error(-20002, 'refused'); END;"});
  TfmScript& w = loaded("UPG_BAD", kUpgrade);
  w.btScriptPutClick();
  EXPECT_TRUE(rows("UPG_BAD").isEmpty());
  ASSERT_FALSE(messages().isEmpty());
  EXPECT_TRUE(messages().last().startsWith("ERROR ON ADDING SCRIPT   Number:2\r\ninsert into kade.upg_t values (1)\r\n"
                                           "ORA-20002"))
      << messages().last().toStdString();
  EXPECT_EQ(TfmtableUtil::GetLastVer(), "");
}

TEST_F(ScriptWindow, RunWithoutBreakOnErrorGoesOnAndReportsFailure) {
  TfmScript& w = loaded("UPG_RUN", kUpgrade);
  w.btScriptPutClick();
  w.cbStopOnError->setChecked(false);
  w.spExecAllScriptClick();
  const QStringList r = rows("UPG_RUN");
  ASSERT_EQ(r.size(), 4);
  EXPECT_EQ(r[0], "1:X:");
  EXPECT_EQ(r[1], "2:X:");
  EXPECT_TRUE(r[2].startsWith("3:E:ORA-00942")) << r[2].toStdString();
  EXPECT_EQ(r[3], "4:X:");
  EXPECT_EQ(scalar("select count(*) from kade.upg_t"), "2");
  EXPECT_EQ(messages().last(), "SCRIPTS EXECUTED NOK");
  EXPECT_FALSE(main_->pExecuteScriptNapaka);
  EXPECT_FALSE(main_->osOracle.inTransaction());
  EXPECT_FALSE(w.paStat->isVisibleTo(&w));
}

TEST_F(ScriptWindow, BreakOnErrorStopsWithOrWithoutTheDialog) {
  for (const bool mess : {true, false}) {
    SCOPED_TRACE(mess ? "Mess" : "no Mess");
    const QString name = mess ? "UPG_MESS" : "UPG_QUIET";
    TfmScript& w = loaded(name, kUpgrade);
    w.btScriptPutClick();
    w.cbMess->setChecked(mess);
    const qsizetype before = messages().size();
    w.spExecAllScriptClick();
    const QStringList r = rows(name);
    ASSERT_EQ(r.size(), 4);
    EXPECT_TRUE(r[2].startsWith("3:E:")) << r[2].toStdString();
    EXPECT_EQ(r[3], "4:N:");
    EXPECT_TRUE(w.p_napaka);
    EXPECT_TRUE(main_->pExecuteScriptNapaka);
    if (mess) {
      ASSERT_EQ(messages().size(), before + 1);
      EXPECT_TRUE(messages().last().endsWith(":\r\n\r\ninsert into kade.no_such_table values (2)"));
    } else {
      EXPECT_EQ(messages().size(), before);
    }
    sys({"DROP TABLE kade.upg_t"});
    delete window_.data();
  }
}

TEST_F(ScriptWindow, ThreadedRunsKeepNoErrorsAndTheWindowStaysOpenWhileAThreadRuns) {
  TfmScript& w = loaded("UPG_THR", "create table kade.thr_t (id number)\n/\ndrop index kade.no_index\n/\n");
  w.btScriptPutClick();
  w.cbThread->setChecked(true);
  w.spExecAllScriptClick();
  const QStringList r = rows("UPG_THR");
  ASSERT_EQ(r.size(), 2);
  EXPECT_EQ(r[0], "1:X:NO ERRORS");
  EXPECT_TRUE(r[1].startsWith("2:X:ORA-")) << r[1].toStdString();  // a tolerated drop becomes X in a thread
  EXPECT_TRUE(w.threadNadaljuj);
  EXPECT_EQ(messages().last(), "SCRIPTS EXECUTED OK");

  w.threadNadaljuj = false;
  EXPECT_FALSE(w.close());
  w.threadNadaljuj = true;
}

TEST_F(ScriptWindow, ALongStatementIsStoredShownAndRunWhole) {
  sys({"CREATE TABLE kade.long_t (x NUMBER)"});
  const QString statement =
      "insert into kade.long_t /* " + QString(40000, QLatin1Char('x')) + " */ values (7)";
  TfmScript& w = loaded("UPG_LONGTEXT", (statement + "\n/\n").toUtf8().constData());
  w.btScriptPutClick();
  EXPECT_EQ(scalar("select script_cont from nuvo_util.nuvo_exs where script_name='UPG_LONGTEXT'"), statement);
  EXPECT_EQ(w.meLong->toPlainText(), statement);
  w.spExecAllScriptClick();
  EXPECT_EQ(rows("UPG_LONGTEXT"), QStringList{"1:X:"});
  EXPECT_EQ(scalar("select sum(x) from kade.long_t"), "7");
}

TEST_F(ScriptWindow, ExecuteAllWithNothingLeftToRunEndsAtOnce) {
  TfmScript& w = loaded("UPG_DONE", "create table kade.done_t (id number)\n/\n");
  w.btScriptPutClick();
  w.spExecAllScriptClick();
  main_->pExecuteScriptNapaka = true;
  w.tbRunClick();
  w.spExecAllScriptClick();
  EXPECT_EQ(rows("UPG_DONE"), QStringList{"1:X:"});
  EXPECT_EQ(messages(), (QStringList{"SCRIPTS EXECUTED OK", "SCRIPTS EXECUTED OK"}));
  EXPECT_FALSE(main_->pExecuteScriptNapaka);
  EXPECT_EQ(w.laStevec->text(), "0");
}

TEST_F(ScriptWindow, StopEndsTheRunBeforeTheNextRow) {
  TfmScript& w = loaded("UPG_HALT", "create table kade.halt_t (id number)\n/\ninsert into kade.halt_t values (1)\n/\n");
  w.btScriptPutClick();
  main_->pExecuteScriptNapaka = true;
  // Messages are processed once before the first row and once as each row begins: the first click
  // ends the run at once, the second after the row it came with.
  const struct {
    bool whileTheFirstRowBegins;
    QStringList rows;
  } cases[] = {{false, {"1:N:", "2:N:"}}, {true, {"1:X:", "2:N:"}}};
  for (const auto& c : cases) {
    const auto stop = [&w] { w.btStop->click(); };
    QTimer::singleShot(0, &w, [&w, stop, later = c.whileTheFirstRowBegins] {
      if (later)
        QTimer::singleShot(0, &w, stop);
      else
        stop();
    });
    w.spExecAllScriptClick();
    EXPECT_EQ(rows("UPG_HALT"), c.rows) << c.whileTheFirstRowBegins;
  }
  EXPECT_EQ(messages(), (QStringList{"SCRIPTS EXECUTED OK", "SCRIPTS EXECUTED OK"}));
  EXPECT_FALSE(main_->pExecuteScriptNapaka);
  EXPECT_FALSE(w.p_napaka);
  EXPECT_FALSE(w.btStop->isEnabled());
}

TEST_F(ScriptWindow, ExitAndExecuteAllDoNothingDuringARun) {
  TfmScript& w = loaded("UPG_BUSY", "create table kade.busy_t (id number)\n/\ninsert into kade.busy_t values (1)\n/\n");
  w.btScriptPutClick();
  bool closed = true;
  // Clicked while the first row runs.
  QTimer::singleShot(0, &w, [&w, &closed] {
    w.spExecAllScript->click();
    w.spExecOne->click();
    closed = w.close();
  });
  w.spExecAllScriptClick();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_TRUE(window_);
  EXPECT_FALSE(closed);
  EXPECT_EQ(rows("UPG_BUSY"), (QStringList{"1:X:", "2:X:"}));
  EXPECT_EQ(scalar("select count(*) from kade.busy_t"), "1");
  EXPECT_EQ(messages(), QStringList{"SCRIPTS EXECUTED OK"});
  EXPECT_TRUE(w.spExecAllScript->isEnabled());
  EXPECT_TRUE(w.close());  // after the run
}

TEST_F(ScriptWindow, AFailedStatusWriteEndsTheRunAsFailed) {
  TfmScript& w = loaded("UPG_LOST", kUpgrade);
  w.btScriptPutClick();
  database()->injectFault("update nuvo_util.nuvo_exs set script_stat", 3113, 1);
  w.spExecAllScriptClick();
  database()->clearFaults();
  EXPECT_TRUE(w.p_napaka);
  EXPECT_TRUE(main_->pExecuteScriptNapaka);
  EXPECT_FALSE(w.paStat->isVisibleTo(&w));
  EXPECT_TRUE(messages().last().contains("ORA-03113")) << messages().last().toStdString();
  EXPECT_EQ(rows("UPG_LOST")[1], "2:N:");
  // The insert whose status was not written is not kept either: the row runs again next time.
  EXPECT_FALSE(main_->osOracle.inTransaction());
  EXPECT_EQ(scalar("select count(*) from kade.upg_t"), "0");
}

TEST_F(ScriptWindow, DirectivesAreEvaluatedAgainstTheDatabase) {
  sys({"CREATE TABLE kade.there_t (x NUMBER)"});
  TfmScript& w = loaded("UPG_DIR",
                        "#DECLARE VAR_TAB \"NEW_T\"\n/\n"
                        "#IFNOT select count(*) rezultat from user_tables where table_name='THERE_T' #ENDIF\n"
                        "create table kade.there_t (x number)\n/\n"
                        "#IFNOT select count(*) rezultat from user_tables where table_name=':VAR_TAB:' #ENDIF\n"
                        "create table kade.:VAR_TAB: (x number)\n/\n"
                        "#IF2 select x from kade.missing_t #ENDIF\ndrop table kade.there_t\n/\ndrop table kade.new_t\n/\n"
                        "#IF select null rezultat from dual #ENDIF\ndrop table kade.x_t\n/\n");
  w.btScriptPutClick();
  nuvo::db::Query q(&main_->osOracle);
  q.setSql("select script_cont from nuvo_util.nuvo_exs where script_name='UPG_DIR' order by script_counter");
  QStringList texts;
  for (q.execute(); !q.eof(); q.next()) texts << q.field(0).asString();
  EXPECT_EQ(texts, QStringList{"create table kade.NEW_T (x number)"});
  EXPECT_FALSE(main_->osOracle.inTransaction());
}

TEST_F(ScriptWindow, MultiInstallationStoresTheInstallationsSchemaAndOwner) {
  main_->currMoreInstall = true;
  main_->currUserAsKade = "IZAS1";
  main_->currUserAsZozuro = "FZAS1";
  TfmScript& w = loaded("UPG_INST", "update KADE.isec_users set userdef2 = 'x'\n/\n");
  w.btScriptPutClick();
  EXPECT_EQ(scalar("select script_owner || ':' || script_cont from nuvo_util.nuvo_exs where script_name='UPG_INST'"),
            "KADE:update IZAS1.isec_users set userdef2 = 'x'");
}

class UnattendedRun : public ScriptWindow {
 protected:
  TfmScript& unattended(const QString& name) {
    TfmScript& w = open();
    w.pcExec->setCurrentWidget(w.tabOpenFile);
    w.edSkripta->setText(name);
    w.cbAllScripts->setEditText(name);
    main_->currentScript = name;
    w.edDir->setText(QString::fromStdString(home()));
    w.p_auto = true;
    return w;
  }
  bool closesByItself() { return QTest::qWaitFor([this] { return window_.isNull(); }, 3000); }
};

TEST_F(UnattendedRun, StoresRunsRecordsAndCloses) {
  writeHomeFile("UPG_AUTO.sql", "create table kade.auto_t (id number)\r\n/\r\ninsert into kade.auto_t values (1)\r\n/\r\n");
  TfmScript& w = unattended("UPG_AUTO");
  w.FormActivate();
  EXPECT_EQ(rows("UPG_AUTO"), (QStringList{"1:X:", "2:X:"}));
  EXPECT_EQ(scalar("select count(*) from kade.auto_t"), "1");
  EXPECT_EQ(TfmtableUtil::GetLastVer(), "UPG_AUTO");
  EXPECT_FALSE(main_->pExecuteScriptNapaka);
  EXPECT_TRUE(messages().isEmpty());
  EXPECT_TRUE(closesByItself());
}

TEST_F(UnattendedRun, StartsWhenShownEvenIfNothingActivatesTheWindow) {
  writeHomeFile("UPG_SHOWN.sql", "create table kade.shown_t (id number)\r\n/\r\n");
  TfmScript& w = unattended("UPG_SHOWN");
  // As under an X server without a window manager: the window is shown but never activated.
  nuvo::test::NoActivation noActivation;
  w.installEventFilter(&noActivation);
  w.show();
  EXPECT_TRUE(closesByItself());
  EXPECT_EQ(rows("UPG_SHOWN"), QStringList{"1:X:"});
}

TEST_F(UnattendedRun, AScriptAlreadyRunClosesWithoutRunning) {
  writeHomeFile("UPG_TWICE.sql", "insert into kade.isec_users (user__id, username) values (99, 'X')\r\n/\r\n");
  sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner)"
       " VALUES ('UPG_TWICE', 1, 'X', 'insert into kade.isec_users (user__id, username) values (99, ''X'')', 'KADE')"});
  unattended("UPG_TWICE").FormActivate();
  EXPECT_TRUE(closesByItself());
  EXPECT_EQ(rows("UPG_TWICE"), QStringList{"1:X:"});
  EXPECT_FALSE(main_->pExecuteScriptNapaka);
  EXPECT_TRUE(messages().isEmpty());
}

TEST_F(UnattendedRun, AStoredScriptWithRowsLeftIsNotRunButFailsAndCloses) {
  sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner)"
       " VALUES ('UPG_HALF', 1, 'X', 'select 1 from dual', 'KADE')",
       "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner)"
       " VALUES ('UPG_HALF', 2, 'N', 'insert into kade.isec_users (user__id, username) values (98, ''Y'')', 'KADE')"});
  TfmScript& w = unattended("UPG_HALF");
  QStringList signalled;
  QObject::connect(&w, &TfmScript::unattendedFailed, [&signalled](const QString& text) { signalled << text; });
  w.FormActivate();
  EXPECT_TRUE(main_->pExecuteScriptNapaka);
  EXPECT_EQ(signalled, QStringList{"SCRIPT UPG_HALF IS STORED ALREADY AND 1 OF ITS STATEMENTS ARE NOT EXECUTED OR "
                                   "FAILED; THEY ARE NOT RUN AGAIN UNATTENDED"});
  EXPECT_EQ(messages(), signalled);
  EXPECT_TRUE(closesByItself());
  EXPECT_EQ(rows("UPG_HALF"), (QStringList{"1:X:", "2:N:"}));
}

TEST_F(UnattendedRun, AnUnreadableFileIsAFailureThatIsShownAndClosesTheWindow) {
  TfmScript& w = unattended("UPG_MISSING");
  w.FormActivate();
  EXPECT_EQ(dialogs_, 0);  // no open dialog waits for a person
  EXPECT_TRUE(w.p_napaka);
  EXPECT_TRUE(main_->pExecuteScriptNapaka);
  EXPECT_EQ(TfmtableUtil::GetLastVer(), "");
  ASSERT_EQ(messages().size(), 1);
  EXPECT_TRUE(messages()[0].startsWith("SCRIPT FILE CANNOT BE READ: ")) << messages()[0].toStdString();
  EXPECT_TRUE(messages()[0].endsWith("UPG_MISSING.sql")) << messages()[0].toStdString();
  EXPECT_TRUE(closesByItself());
}

TEST_F(UnattendedRun, BreakOnErrorKeepsTheWindowOpen) {
  writeHomeFile("UPG_STOP.sql", "insert into kade.nothing_here values (1)\r\n/\r\n");
  TfmScript& w = unattended("UPG_STOP");
  w.FormActivate();
  EXPECT_TRUE(w.p_napaka);
  EXPECT_TRUE(main_->pExecuteScriptNapaka);
  EXPECT_FALSE(w.tiClose->isActive());
  EXPECT_EQ(messages().size(), 1);  // the Mess dialog
  w.FormActivate();  // activated again after the dialog: the window stays open, the failure stays
  EXPECT_FALSE(w.tiClose->isActive());
  EXPECT_TRUE(w.p_napaka);
  EXPECT_EQ(rows("UPG_STOP").size(), 1);
}

TEST_F(ScriptWindow, TextsFollowTheProgramLanguage) {
  // Captions, and hints (which buttons without pictures also show as their text).
  const struct {
    const char* widget;
    bool hint;
    const char* english;
    const char* slovene;
  } texts[] = {
      {"btScriptPut", false, "&Put into Table", "Shrani v tabelo"},
      {"cbStopOnError", false, "Break on error", "Stop na nap."},
      {"laFltErr", false, "Filt./Error:", "Flt/Napaka"},
      {"LabelType", false, "Type: ", " Tip:"},
      {"Label5", false, "Type:", " Tip:"},
      {"Label7", false, "Filter:", "Filter:"},
      {"laError", false, "Errors:", "Napaka"},
      {"Label12", false, "Script filter :", "Filter za ime skripte:"},
      {"cbE", false, "Script with Errors", "Skripte z ukazi z napakami"},
      {"tbOpenF", true, "Open script from file", "Odpri datoteko"},
      {"tbExit", true, "Exit", "Izhod"},
      {"cbAllScripts", true, "Delete - delete script", "Delete - brisanje izbrane skripte"},
      {"edFilter", true, "Filter on skripts", "Filter na skripte"},
      {"edNapaka", true, "filter on errors", "Filter na napake"},
      {"spExecAllScript", true, "Execute All", "Izvedi vse skripte"},
      {"sbNeizvedeno", true, "Set status \"NOT EXECUTED\" on choosen scripts",
       "Postavi status neizvedeno na vseh izbranih skriptah"},
      {"spDelete", true, "Set status to deleted (on current script)", "Postavi status brisan na trenutni skripti"},
      {"spDeleteAll", true, "Delete choosen scripts(permanet)", "Postavi status brisan na vse izbranih skriptah"},
  };
  const struct {
    QString TfmScript::*field;
    const char* english;
    const char* slovene;
  } fields[] = {
      {&TfmScript::nizErrorAdd, "ERROR ON ADDING SCRIPT   Number:", "NAPAKA PRI DODAJANJU SKRIPTE   Številka:"},
      {&TfmScript::nizSkrPrazna, "SCRIPT IS NOT EMPTY :", "SKRIPTA NI PRAZNA :"},
      {&TfmScript::nizDoesntExist, " DOESN'T  EXISTS !", " NE OBSTAJA !"},
      {&TfmScript::nizNeuspesno, "SCRIPTS EXECUTED NOK", "NEUSPEŠNO IZVEDENE SKRIPTE"},
      {&TfmScript::nizdelPerm, "DELETE (PERMANENT)?", "BRISANJE (DOKONČNO)?"},
      {&TfmScript::nizChange, "CHANGE STATUS TO NOT EXECUTED?", "SPREMENI STATUS NA NEIZVRŠENO?"},
  };
  for (const bool slo : {false, true}) {
    SCOPED_TRACE(slo ? "SLO" : "ENG");
    main_->currLanguage = slo ? "SLO" : "ENG";
    TfmScript& w = open();
    EXPECT_EQ(w.windowTitle(), slo ? "IZVAJANJE SKRIPT" : "EXECUTE SCRIPT  (KADE@DEMO)");
    for (const auto& t : texts) {
      const QWidget* widget = w.findChild<QWidget*>(t.widget);
      ASSERT_NE(widget, nullptr) << t.widget;
      const QString expected = QString::fromUtf8(slo ? t.slovene : t.english);
      const auto* label = qobject_cast<const QLabel*>(widget);
      const auto* button = qobject_cast<const QAbstractButton*>(widget);
      if (t.hint) {
        EXPECT_EQ(widget->toolTip(), expected) << t.widget;
      }
      if (label) {
        EXPECT_EQ(label->text(), expected) << t.widget;
      }
      if (button && !t.hint) {
        EXPECT_EQ(button->text(), expected) << t.widget;
      }
      if (button && t.hint) {  // a short caption beside the picture; the long text is the hint
        EXPECT_FALSE(button->text().isEmpty()) << t.widget;
        EXPECT_LE(button->text().size(), 14) << t.widget;
        EXPECT_FALSE(button->icon().isNull()) << t.widget;
      }
    }
    for (const auto& f : fields) EXPECT_EQ(w.*f.field, QString::fromUtf8(slo ? f.slovene : f.english));
    EXPECT_EQ(w.cbShowType->itemText(4), slo ? "A - VSI" : "A - ALL");
    delete window_.data();
  }
}

TEST_F(ScriptWindow, DeletePageDeletesTheChosenScripts) {
  sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont) VALUES ('S_A', 1, 'N', 'x')",
       "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont) VALUES ('S_B', 1, 'N', 'x')"});
  TfmScript& w = open();
  w.tbDeleteMoreClick();
  ASSERT_EQ(w.lbSkripte->count(), 2);
  w.btDeleteClick();
  EXPECT_EQ(messages().last(), "THERE ARE NO CHOOSEN SCRIPTS !");
  w.lbSkripte->findItems("S_A", Qt::MatchExactly).first()->setSelected(true);
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w.btDeleteClick();
  EXPECT_EQ(messages().last(), "DELETE CHOOSEN SCRIPTS : 1 ?");
  EXPECT_EQ(scalar("select count(*) from nuvo_util.nuvo_exs"), "1");
  EXPECT_EQ(w.lbSkripte->count(), 1);
}

}  // namespace

namespace {

class ScriptCommands : public nuvo::test::DatabaseFixture {};

TEST_F(ScriptCommands, TheMenuAndTheToolbarOpenTheWindowOnceConnected) {
  TfmMain main;
  EXPECT_FALSE(main.command("mmExecScript")->isEnabled());
  nuvo::test::LogonDriver driver({nuvo::test::LogonStep::connect("kade", "kade")});
  main.tbConnectClick();
  ASSERT_TRUE(main.command("mmExecScript")->isEnabled());
  ASSERT_TRUE(main.command("tbExecScript")->isEnabled());
  main.command("mmExecScript")->trigger();
  QPointer<TfmScript> first = TfmScript::fmScript;
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->isVisible());
  EXPECT_FALSE(first->p_auto);
  // The toolbar offers the open window first; with none open it opens a new one.
  first->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(first);
  main.command("tbExecScript")->trigger();
  ASSERT_TRUE(TfmScript::fmScript);
  EXPECT_TRUE(TfmScript::fmScript->isVisible());
  delete TfmScript::fmScript.data();
}

}  // namespace
