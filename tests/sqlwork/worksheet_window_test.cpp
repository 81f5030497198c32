#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <algorithm>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QComboBox>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

#include "db/query.h"
#include "qstring_print.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell_test_support.h"
#include "sqlwork/workshet.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"

namespace {

using nuvo::test::LogonStep;

// A query that runs until it is broken.
const char* kLongQuery =
    "select count(*) from (select level a from dual connect by level <= 100000000)";

class WorksheetWindow : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE TABLE kade.ws_t (id NUMBER PRIMARY KEY, v VARCHAR2(20))",
         "BEGIN FOR i IN 1..250 LOOP INSERT INTO kade.ws_t VALUES (i, 'v' || i); END LOOP; COMMIT; END;",
         "GRANT SELECT, UPDATE ON kade.ws_t TO zozuro"});
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("KADE", "KADE", "DEMO");
    main_->connUser = QStringLiteral("KADE");
    main_->connPassword = QStringLiteral("KADE");
    main_->connServer = QStringLiteral("DEMO");
    main_->currOwner = QStringLiteral("KADE");
    // As the logon does: the server's version picks the compile-error query.
    main_->ORACLEVersion = main_->getOracleVersion(main_->osOracle, main_->ORACLEVersionDod);
    main_->CurrentEditInitDir = QString::fromStdString(home());
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

  TfmWorkSheet& open() {
    window_ = new TfmWorkSheet;
    return *window_;
  }
  // Types the text and presses Execute; waits for the finishing step.
  void run(TfmWorkSheet& w, const QString& text) {
    w.setEditorText(text);
    w.spExe->click();
    waitIdle(w);
  }
  static void waitIdle(TfmWorkSheet& w) {
    QElapsedTimer timer;
    timer.start();
    while (w.running() && timer.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    ASSERT_FALSE(w.running());
  }
  QString scalar(const QString& sql) {
    nuvo::db::Session other;
    other.logOn("KADE", "KADE", "DEMO");
    nuvo::db::Query q(&other);
    q.setSql(sql);
    q.execute();
    return q.eof() ? QString() : q.field(0).asString();
  }
  const QStringList& messages() const { return messages_->texts(); }

  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
  QPointer<TfmWorkSheet> window_;
  nuvo::ModalRunner previousRunner_;
  int dialogs_ = 0;
};

TEST_F(WorksheetWindow, QueryFillsTheGridInPacketsOffTheMainThread) {
  TfmWorkSheet& w = open();
  run(w, "\r\n  select id, v from kade.ws_t order by id");
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespGrid);
  EXPECT_EQ(w.dsDynWork->rowCount(), 100);
  EXPECT_TRUE(w.dsDynWork->canFetchMore());
  w.dsDynWork->fetchMore();
  EXPECT_GT(w.dsDynWork->rowCount(), 100);
  EXPECT_EQ(w.dsDynWork->data(w.dsDynWork->index(0, 1)).toString(), "v1");
  EXPECT_FALSE(w.laTime->text().isEmpty());
  EXPECT_FALSE(w.spExe->isChecked());
  EXPECT_FALSE(w.lError);
  // The run is in the ring: Previous after another run brings it back.
  run(w, "select 1 from dual");
  w.spBackClick();
  EXPECT_EQ(w.editorText(), "\r\n  select id, v from kade.ws_t order by id");
}

TEST_F(WorksheetWindow, DmlReportsRowsAndWaitsForCommitOrRollback) {
  TfmWorkSheet& w = open();
  run(w, "update kade.ws_t set v='x' where id<=3");
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespSQL);
  EXPECT_TRUE(w.meRespSQL->toPlainText().contains("3 rows processed")) << w.meRespSQL->toPlainText().toStdString();
  EXPECT_FALSE(w.meRespSQL->toPlainText().contains("Statement processed"));
  EXPECT_TRUE(w.btCommit->isEnabled());
  EXPECT_TRUE(w.jeVTransakciji("demo"));
  EXPECT_TRUE(main_->SessionInTransaction());
  EXPECT_EQ(scalar("select v from kade.ws_t where id=1"), "v1");
  w.btRollbackClick();
  EXPECT_FALSE(w.btCommit->isEnabled());
  EXPECT_FALSE(w.jeVTransakciji("DEMO"));

  run(w, "delete from kade.ws_t where id>248");
  EXPECT_TRUE(w.meRespSQL->toPlainText().contains("2 rows processed"));
  w.btCommitClick();
  EXPECT_EQ(scalar("select count(*) from kade.ws_t"), "248");
}

TEST_F(WorksheetWindow, GridEditsByRowidReachTheTableOnlyWithCommit) {
  TfmWorkSheet& w = open();
  run(w, "select id, v, rowid from kade.ws_t where id<=2 order by id");
  ASSERT_TRUE(w.quDynWork.cachedUpdates());
  ASSERT_TRUE(w.dsDynWork->setData(w.dsDynWork->index(0, 1), "changed"));
  EXPECT_TRUE(w.btCommit->isEnabled());
  EXPECT_EQ(scalar("select v from kade.ws_t where id=1"), "v1");
  w.btRollbackClick();
  EXPECT_EQ(scalar("select v from kade.ws_t where id=1"), "v1");

  run(w, "select id, v, ROWID from kade.ws_t where id<=2 order by id");
  ASSERT_TRUE(w.dsDynWork->setData(w.dsDynWork->index(1, 1), "kept"));
  w.btCommitClick();
  EXPECT_EQ(scalar("select v from kade.ws_t where id=2"), "kept");
}

TEST_F(WorksheetWindow, QueryByExampleRestrictsTheResultAndKeepsItEditable) {
  TfmWorkSheet& w = open();
  w.mmQueryByExample->trigger();
  EXPECT_TRUE(w.navQbeEnter->isVisible());
  run(w, "select id, v, rowid from kade.ws_t order by id");
  w.navQbeEnter->trigger();
  ASSERT_FALSE(w.sgQbe->isHidden());
  ASSERT_EQ(w.sgQbe->columnCount(), 3);
  w.sgQbe->setItem(0, 0, new QTableWidgetItem("<=12"));
  w.sgQbe->setItem(0, 1, new QTableWidgetItem("v1%"));
  w.navQbeRun->trigger();
  waitIdle(w);
  ASSERT_EQ(w.pcResp->currentWidget(), w.TabRespGrid) << w.meRespError->toPlainText().toStdString();
  ASSERT_EQ(w.dsDynWork->rowCount(), 4);
  EXPECT_EQ(w.dsDynWork->data(w.dsDynWork->index(3, 1)).toString(), "v12");
  ASSERT_TRUE(w.dsDynWork->setData(w.dsDynWork->index(3, 1), "found"));
  w.btCommitClick();
  EXPECT_EQ(scalar("select v from kade.ws_t where id=12"), "found");
}

TEST_F(WorksheetWindow, ErrorIsMarkedAtItsEditorLineBelowStrippedComments) {
  TfmWorkSheet& w = open();
  run(w, "-- a comment\r\n\r\nselect *\r\n  from kade.nothere");
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespError);
  const QStringList pane = w.meRespError->toPlainText().split('\n');
  const qsizetype at = pane.indexOf("  from kade.nothere");
  ASSERT_GE(at, 0) << w.meRespError->toPlainText().toStdString();
  EXPECT_EQ(pane.value(at + 1), "       ************");
  EXPECT_TRUE(w.meRespError->toPlainText().contains("ORA-00942"));
  EXPECT_TRUE(w.lError);

  // A failed statement leaves no done text in the output pane.
  run(w, "insert into kade.nothere values (1)");
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespError);
  EXPECT_FALSE(w.meRespSQL->toPlainText().contains("Statement processed"));
  EXPECT_FALSE(w.meRespSQL->toPlainText().contains(main_->nizDone));
}

TEST_F(WorksheetWindow, ServerOutputGoesToTheOutputPane) {
  TfmWorkSheet& w = open();
  run(w, "begin\r\n  dbms_output.put_line('hello');\r\n  dbms_output.put_line('world');\r\nend;");
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespSQL);
  EXPECT_TRUE(w.meRespSQL->toPlainText().endsWith("hello\nworld")) << w.meRespSQL->toPlainText().toStdString();

  // Switched off, the lines are not collected.
  w.mmDBMS_Output->trigger();
  ASSERT_FALSE(w.mmDBMS_Output->isChecked());
  run(w, "begin dbms_output.put_line('quiet'); end;");
  EXPECT_FALSE(w.meRespSQL->toPlainText().contains("quiet"));
}

TEST_F(WorksheetWindow, ExecutePressedAgainBreaksALongQuery) {
  TfmWorkSheet& w = open();
  w.setEditorText(kLongQuery);
  w.spExe->click();
  ASSERT_TRUE(w.running());
  EXPECT_TRUE(w.spExe->isChecked());
  EXPECT_EQ(w.spExe->toolTip(), "Break");
  QTest::qWait(300);
  // F9 while it runs starts nothing more.
  QTest::keyClick(w.meWork, Qt::Key_F9);
  EXPECT_TRUE(w.running());
  w.spExe->click();
  waitIdle(w);
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespError);
  EXPECT_TRUE(w.meRespError->toPlainText().contains("ORA-01013")) << w.meRespError->toPlainText().toStdString();
  EXPECT_FALSE(w.spExe->isChecked());
  EXPECT_EQ(w.spExe->toolTip(), "Execute");
  EXPECT_TRUE(w.laTime->text().count(':') >= 1);
  // The session works on.
  run(w, "select 1 from dual");
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespGrid);
}

TEST_F(WorksheetWindow, ClosingWhileAQueryRunsBreaksItAndWaits) {
  TfmWorkSheet& w = open();
  w.setEditorText(kLongQuery);
  w.spExe->click();
  ASSERT_TRUE(w.running());
  QTest::qWait(100);
  EXPECT_TRUE(w.close());
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window_.isNull());
  QTest::qWait(50);
  // The main session is free again.
  nuvo::db::Query q(&main_->osOracle);
  q.setSql("select 1 from dual");
  q.execute();
  EXPECT_FALSE(q.eof());
}

TEST_F(WorksheetWindow, OnlyBlankAndCommentLinesRunNothing) {
  TfmWorkSheet& w = open();
  w.setEditorText("  \r\n-- nothing here\r\n");
  w.spExe->click();
  EXPECT_FALSE(w.running());
  EXPECT_TRUE(w.spExe->isChecked());  // stays down: the next press takes the break path
  w.spExe->click();
  EXPECT_FALSE(w.spExe->isChecked());
  w.setEditorText("   ");
  w.spExe->click();
  EXPECT_FALSE(w.spExe->isChecked());
}

TEST_F(WorksheetWindow, DescListsTheColumns) {
  TfmWorkSheet& w = open();
  run(w, "desc kade.ws_t");
  ASSERT_EQ(w.pcResp->currentWidget(), w.TabRespGrid) << w.meRespError->toPlainText().toStdString();
  ASSERT_EQ(w.dsDynWork->rowCount(), 2);
  EXPECT_EQ(w.dsDynWork->data(w.dsDynWork->index(0, 0)).toString(), "ID");
  EXPECT_EQ(w.dsDynWork->data(w.dsDynWork->index(1, 0)).toString(), "V");
  run(w, "DESC ws_t");
  EXPECT_EQ(w.dsDynWork->rowCount(), 2);
}

TEST_F(WorksheetWindow, PrivateLogonKeepsTheProgramPasswordAndReadsItsOwnSession) {
  TfmWorkSheet& w = open();
  EXPECT_GT(w.ORACLESid, 0);
  w.ORACLESid = -1;
  nuvo::test::LogonDriver driver({LogonStep::connect("ZOZURO", "ZOZURO")});
  w.mmConnectClick();
  ASSERT_TRUE(driver.done());
  ASSERT_EQ(driver.seen().size(), 1);
  EXPECT_EQ(driver.seen().first().password, "");  // the dialog shows no password
  EXPECT_EQ(main_->connPassword, "KADE");         // the program keeps its own
  ASSERT_EQ(w.currDataBase, w.tmpDataBase.get());
  EXPECT_EQ(w.currDataBase->user(), "ZOZURO");
  EXPECT_TRUE(w.windowTitle().endsWith("(ZOZURO@DEMO)")) << w.windowTitle().toStdString();
  {
    nuvo::db::Query sid(w.tmpDataBase.get());
    sid.setSql("select sys_context('USERENV','SID') from dual");
    sid.execute();
    EXPECT_EQ(w.ORACLESid, sid.field(0).asInteger());  // read again on the private session
  }
  EXPECT_TRUE(w.mmDisconnect->isEnabled());

  run(w, "select user from dual");
  EXPECT_EQ(w.dsDynWork->data(w.dsDynWork->index(0, 0)).toString(), "ZOZURO");
  // The private session's transaction counts for its database.
  run(w, "update kade.ws_t set v='z' where id=1");
  EXPECT_TRUE(w.jeVTransakciji("DEMO"));

  messages_->queueAnswer(nuvo::MessageAnswer::No);
  w.Disconnect();
  EXPECT_FALSE(w.tmpDataBase->connected());
  EXPECT_TRUE(main_->osOracle.connected());
  EXPECT_FALSE(w.paSQLLeft->isEnabled());
  EXPECT_EQ(scalar("select v from kade.ws_t where id=1"), "v1");
}

TEST_F(WorksheetWindow, DisconnectLeavesTheMainSessionAlone) {
  TfmWorkSheet& w = open();
  EXPECT_FALSE(w.mmDisconnect->isEnabled());
  w.Disconnect();
  EXPECT_TRUE(main_->osOracle.connected());
}

TEST_F(WorksheetWindow, ClosingWithAnOpenTransactionAsksAndNeverLogsOffTheMainSession) {
  struct Case {
    nuvo::MessageAnswer answer;
    const char* value;
  };
  for (const Case& c : {Case{nuvo::MessageAnswer::Yes, "x"}, Case{nuvo::MessageAnswer::No, "v1"}}) {
    sys({"UPDATE kade.ws_t SET v='v1' WHERE id=1", "COMMIT"});
    TfmWorkSheet& w = open();
    run(w, "update kade.ws_t set v='x' where id=1");
    messages_->queueAnswer(c.answer);
    w.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(messages().contains("Commit current transaction"));
    EXPECT_TRUE(main_->osOracle.connected());
    EXPECT_FALSE(main_->osOracle.inTransaction());
    EXPECT_EQ(scalar("select v from kade.ws_t where id=1"), c.value);
  }
}

TEST_F(WorksheetWindow, CompileErrorsAreListedForTheUnitOnly) {
  TfmWorkSheet& w = open();
  run(w, "create or replace procedure kade.ws_bad is\r\nbegin\r\n  x := 1;\r\nend;");
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespError);
  EXPECT_TRUE(w.lError);
  EXPECT_FALSE(w.meRespSQL->toPlainText().contains(main_->nizDone));
  EXPECT_FALSE(messages().contains("SELECT ANY DICTIONARY privileg is missing")) << messages().join('|').toStdString();
  const QStringList pane = w.meRespError->toPlainText().split('\n');
  ASSERT_GE(pane.size(), 2);
  EXPECT_TRUE(pane[0].startsWith("3/")) << pane.join('|').toStdString();
  EXPECT_TRUE(w.lError);
  EXPECT_FALSE(w.meRespSQL->toPlainText().contains(main_->nizDone));
}

TEST_F(WorksheetWindow, WindowTextsInSlovene) {
  main_->currLanguage = QStringLiteral("SLO");
  TfmWorkSheet& w = open();
  EXPECT_TRUE(w.windowTitle().startsWith("SQL Poizvedbe")) << w.windowTitle().toStdString();
  EXPECT_EQ(w.mmConnect->text(), "&Prijava");
  EXPECT_EQ(w.nizComCur, "Shrani trenutno transakcijo?");
  EXPECT_EQ(w.spExe->toolTip(), "izvedi");
}

TEST_F(WorksheetWindow, MainWindowOpensNumberedWorksheets) {
  main_->command("mmNormal")->trigger();
  main_->command("mmNormal")->trigger();
  QList<TfmWorkSheet*> sheets;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* s = qobject_cast<TfmWorkSheet*>(top)) sheets << s;
  ASSERT_EQ(sheets.size(), 2);
  std::sort(sheets.begin(), sheets.end(),
            [](const TfmWorkSheet* a, const TfmWorkSheet* b) { return a->objectName() < b->objectName(); });
  EXPECT_EQ(sheets[0]->objectName(), "WorkSheet_1");
  EXPECT_EQ(sheets[1]->objectName(), "WorkSheet_2");
  EXPECT_EQ(sheets[1]->WorkStevec, 2);
  for (TfmWorkSheet* s : sheets) s->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(main_->workSheetStevec, 1);  // only the newest number is given back
}

// ---------------------------------------------------------------------------------------------
// History table

class WorksheetHistory : public WorksheetWindow {
 protected:
  QStringList ring(const QString& user) {
    QStringList rows;
    nuvo::db::Query q(&main_->osOracle);
    q.setSql("select hist_zpst || '=' || hist_ukaz from nuvo_util.nuvo_hist where hist_user=:u order by hist_zpst");
    q.declareVariable("u", nuvo::db::DataType::String);
    q.setVariable("u", user);
    for (q.execute(); !q.eof(); q.next()) rows << q.field(0).asString();
    return rows;
  }
  // A full ring of `user` with entry n in slot n and the pointer at `pointer`.
  void fullRing(const QString& user, const QString& pointer) {
    sys({"INSERT INTO nuvo_util.nuvo_hist VALUES (0, '" + pointer + "', '" + user + "')",
         "BEGIN FOR i IN 1..100 LOOP INSERT INTO nuvo_util.nuvo_hist VALUES (i, 'entry ' || i, '" + user +
             "'); END LOOP; COMMIT; END;"});
  }
};

TEST_F(WorksheetHistory, SavesCreateTheRingAndWrapAround) {
  TfmWorkSheet& w = open();
  w.setEditorText("select 'first' from dual");
  w.spSaveHistClick();
  QStringList rows = ring("KADE");
  ASSERT_EQ(rows.size(), 101);
  EXPECT_EQ(rows[0], "0=1");
  EXPECT_EQ(rows[1], "1=select 'first' from dual");
  EXPECT_EQ(rows[2], "2=");
  sys({"UPDATE nuvo_util.nuvo_hist SET hist_ukaz='100' WHERE hist_user='KADE' AND hist_zpst=0", "COMMIT"});
  w.setEditorText("select 'wrapped' from dual");
  w.spSaveHistClick();
  rows = ring("KADE");
  EXPECT_EQ(rows[0], "0=1");
  EXPECT_EQ(rows[1], "1=select 'wrapped' from dual");
  // A corrupt pointer starts again at slot 1 instead of writing outside the ring.
  sys({"UPDATE nuvo_util.nuvo_hist SET hist_ukaz='abc' WHERE hist_user='KADE' AND hist_zpst=0", "COMMIT"});
  w.setEditorText("select 'again' from dual");
  w.spSaveHistClick();
  EXPECT_EQ(ring("KADE")[1], "1=select 'again' from dual");
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_F(WorksheetHistory, SaveIsRefusedInATransaction) {
  TfmWorkSheet& w = open();
  run(w, "update kade.ws_t set v='x' where id=1");
  w.spSaveHistClick();
  EXPECT_TRUE(messages().contains("FIRST CLOSE CURRENT TRANSACTION!"));
  EXPECT_TRUE(ring("KADE").isEmpty());
}

TEST_F(WorksheetHistory, FullTableLoadsIntoTheRingAtCreation) {
  fullRing("KADE", "37");
  TfmWorkSheet& w = open();
  EXPECT_EQ(w.ring.slot(100), "entry 37");
  EXPECT_EQ(w.ring.slot(63), "entry 100");
  w.spBackClick();
  EXPECT_EQ(w.editorText(), "entry 37");
}

TEST_F(WorksheetHistory, DeleteInAWrappedRingShiftsAroundTheEnd) {
  fullRing("KADE", "37");
  TfmWorkSheet& w = open();
  w.mmHistoryClick();
  ASSERT_EQ(w.pcResp->currentWidget(), w.tabHist);
  // Slot 50 holds an older entry than the pointer's: the newer ones move back over it.
  int row = -1;
  for (int r = 0; r < w.quHistory.recordCount(); ++r)
    if (w.quHistory.value(r, "HIST_ZPST").toInt() == 50) row = r;
  ASSERT_GE(row, 0);
  w.quHistory.setCurrentRow(row);
  w.spDeleteHistClick();
  w.btCommitClick();
  QStringList rows = ring("KADE");
  EXPECT_EQ(rows[0], "0=36");
  EXPECT_EQ(rows[50], "50=entry 51");
  EXPECT_EQ(rows[100], "100=entry 1");
  EXPECT_EQ(rows[36], "36=entry 37");
  EXPECT_EQ(rows[37], "37=");
  // Loading it again gives 99 entries, newest last, without a gap.
  delete window_.data();
  TfmWorkSheet& again = open();
  EXPECT_EQ(again.ring.slot(100), "entry 37");
  EXPECT_EQ(again.ring.slot(2), "entry 38");
  EXPECT_EQ(again.ring.slot(1), "");
}

TEST_F(WorksheetHistory, DeletingSlot1OfAFullRingMovesThePointerTo100) {
  fullRing("KADE", "1");
  TfmWorkSheet& w = open();
  w.mmHistoryClick();
  w.quHistory.setCurrentRow(0);
  ASSERT_EQ(w.quHistory.value(0, "HIST_ZPST").toInt(), 1);
  w.spDeleteHistClick();
  w.btCommitClick();
  const QStringList rows = ring("KADE");
  EXPECT_EQ(rows[0], "0=100");
  EXPECT_EQ(rows[1], "1=");
  delete window_.data();
  EXPECT_EQ(open().ring.slot(100), "entry 100");
}

TEST_F(WorksheetHistory, AnotherUsersHistoryIsListedButNeverChanged) {
  fullRing("ZOZURO", "5");
  fullRing("KADE", "3");
  TfmWorkSheet& w = open();
  w.edOwner->setText("ZOZURO");
  EXPECT_FALSE(w.spDeleteHist->isEnabled());
  EXPECT_FALSE(w.spUpdateHist->isEnabled());
  w.mmHistoryClick();
  ASSERT_EQ(w.quHistory.recordCount(), 100);
  w.quHistory.setCurrentRow(0);
  w.setEditorText("select 'mine' from dual");
  w.spUpdateHistClick();
  w.spDeleteHistClick();
  EXPECT_EQ(ring("KADE")[1], "1=entry 1");
  EXPECT_EQ(ring("KADE")[0], "0=3");
  EXPECT_EQ(ring("ZOZURO")[0], "0=5");
}

TEST_F(WorksheetHistory, BrokenPointerOfTheListedOwnerIsRepairedOnlyThere) {
  sys({"INSERT INTO nuvo_util.nuvo_hist VALUES (0, 'x', 'ZOZURO')",
       "BEGIN FOR i IN 1..100 LOOP INSERT INTO nuvo_util.nuvo_hist VALUES (i, CASE WHEN i <= 4 THEN 'z' || i END, "
       "'ZOZURO'); END LOOP; COMMIT; END;"});
  fullRing("KADE", "3");
  TfmWorkSheet& w = open();
  w.edOwner->setText("ZOZURO");
  w.ring.clear();
  w.LoadHistory();
  EXPECT_EQ(ring("ZOZURO")[0], "0=4");
  EXPECT_EQ(ring("KADE")[0], "0=3");
  EXPECT_EQ(w.ring.slot(100), "z4");
  // A full ring with a broken pointer cannot be repaired: the load ends.
  sys({"UPDATE nuvo_util.nuvo_hist SET hist_ukaz='y' WHERE hist_user='KADE' AND hist_zpst=0", "COMMIT"});
  w.edOwner->setText("KADE");
  w.ring.clear();
  w.LoadHistory();
  EXPECT_EQ(w.ring.slot(100), "");
}

TEST_F(WorksheetWindow, SaveWithTheOutputFocusedNeverOverwritesTheSqlFile) {
  const QString path = homePath("mine.sql");
  writeHomeFile("mine.sql", "select 1 from dual");
  TfmWorkSheet& w = open();
  w.show();
  w.SetCurrentFile(path);
  EXPECT_TRUE(w.windowTitle().endsWith("FILE:" + path.toLower()));
  w.meRespSQL->setPlainText("result text");
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.meRespSQL->setFocus();
  QCoreApplication::processEvents();
  ASSERT_TRUE(w.meRespSQL->hasFocus());
  w.Save2Click();  // asks for a file of its own; the test cancels the dialog
  EXPECT_EQ(dialogs_, 1);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "select 1 from dual");
  EXPECT_EQ(w.currentFile, path);

  // The editor saves to its file.
  w.setEditorText("select 2 from dual");
  w.meWork->setFocus();
  w.Save2Click();
  file.close();
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "select 2 from dual");
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------------
// Tools around the editor

TEST_F(WorksheetWindow, SelectBuilderWritesTheStatementOfTheChosenTable) {
  TfmWorkSheet& w = open();
  w.PrepareSelectStatement1->trigger();
  ASSERT_EQ(w.pcResp->currentWidget(), w.tabTabela);
  EXPECT_EQ(w.edUserTabela->text(), "KADE");
  w.edFilterTabela->setText("WS_");
  w.cbTabelaEnter();
  ASSERT_EQ(w.cbTabela->findText("WS_T"), 0);
  w.cbTabela->setCurrentIndex(0);
  w.cbTabelaChoose();
  ASSERT_FALSE(w.sgColumns->isHidden());
  ASSERT_EQ(w.sgColumns->rowCount(), 2);
  EXPECT_EQ(w.sgColumns->item(1, 1)->text(), "V");
  EXPECT_EQ(w.sgColumns->item(1, 2)->text(), "VARCHAR2");
  // A click on the show mark toggles it; the filter column takes a condition.
  emit w.sgColumns->cellClicked(1, 0);
  EXPECT_EQ(w.sgColumns->item(1, 0)->text(), "+");
  w.sgColumns->setItem(0, 8, new QTableWidgetItem(">5"));
  w.btStavekClick();
  EXPECT_EQ(w.editorText(), "select xxx.v,rowid\r\n from KADE.WS_T xxx\r\nwhere ID>5");
  // The live form runs as an editable result.
  run(w, w.editorText());
  EXPECT_EQ(w.dsDynWork->rowCount(), 100);
  EXPECT_TRUE(w.quDynWork.cachedUpdates());
}

TEST_F(WorksheetWindow, CallBuilderListsUnitsAndWritesTheirCall) {
  sys({"CREATE OR REPLACE PROCEDURE kade.ws_proc(p_id IN NUMBER) IS BEGIN NULL; END;",
       "CREATE OR REPLACE FUNCTION kade.ws_func RETURN NUMBER IS BEGIN RETURN 1; END;"});
  TfmWorkSheet& w = open();
  w.ExecuteFunction1->trigger();
  ASSERT_EQ(w.pcResp->currentWidget(), w.tabProcFunc);
  EXPECT_EQ(w.edUser->text(), "KADE");
  QStringList procedures, functions;
  for (int i = 0; i < w.tnProc->childCount(); ++i) procedures << w.tnProc->child(i)->text(0);
  for (int i = 0; i < w.tnFunc->childCount(); ++i) functions << w.tnFunc->child(i)->text(0);
  EXPECT_TRUE(procedures.contains("kade.WS_PROC")) << procedures.join(',').toStdString();
  EXPECT_TRUE(functions.contains("kade.WS_FUNC")) << functions.join(',').toStdString();
  // A top node names no unit: no argument grid.
  w.tvSQLClick(w.tnProc);
  EXPECT_TRUE(w.sgParams->isHidden());
  QTreeWidgetItem* proc = w.tnProc->child(static_cast<int>(procedures.indexOf("kade.WS_PROC")));
  ASSERT_NE(proc, nullptr);
  w.tvSQLClick(proc);
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
  ASSERT_EQ(w.sgParams->rowCount(), 1);
  w.sgParams->item(0, 3)->setText("7");
  w.btInsertClick();
  // The block's lone CR line breaks are lines in the editor, so the comment line ends before the call.
  EXPECT_EQ(w.editorText(), "-- kade.WS_PROC\r\nbegin \r\n  kade.WS_PROC(\r\n        P_ID=> 7);\r\nend;");
  run(w, w.editorText());
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespSQL) << w.meRespError->toPlainText().toStdString();
}

TEST_F(WorksheetWindow, CallBuilderCallsAPackagedFunctionWithOutAndInOutArgumentsFromTheDictionary) {
  sys({"CREATE OR REPLACE PACKAGE kade.ws_pck IS FUNCTION calc(p_in IN NUMBER, p_name OUT VARCHAR2, "
       "p_acc IN OUT NUMBER) RETURN NUMBER; END;",
       "CREATE OR REPLACE PACKAGE BODY kade.ws_pck IS FUNCTION calc(p_in IN NUMBER, p_name OUT VARCHAR2, "
       "p_acc IN OUT NUMBER) RETURN NUMBER IS BEGIN p_name := 'n' || p_in; p_acc := p_acc + p_in; "
       "RETURN p_acc * 2; END; END;"});
  TfmWorkSheet& w = open();
  w.ExecuteFunction1->trigger();
  QTreeWidgetItem* calc = nullptr;
  for (int i = 0; i < w.tnPck->childCount(); ++i)
    if (w.tnPck->child(i)->text(0) == "kade.WS_PCK")
      for (int j = 0; j < w.tnPck->child(i)->childCount(); ++j)
        if (w.tnPck->child(i)->child(j)->text(0) == "CALC") calc = w.tnPck->child(i)->child(j);
  ASSERT_NE(calc, nullptr);
  w.tvSQLClick(calc);
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
  // The function's result first, then its arguments in order, with their directions.
  QStringList rows;
  for (int r = 0; r < w.sgParams->rowCount(); ++r)
    rows << w.sgParams->item(r, 0)->text() + u' ' + w.sgParams->item(r, 1)->text() + u' ' + w.sgParams->item(r, 2)->text();
  ASSERT_EQ(rows, (QStringList{" number OUT", "P_IN number IN", "P_NAME varchar2 OUT", "P_ACC number IN/OUT"}));
  w.sgParams->item(1, 3)->setText("5");
  w.sgParams->item(3, 3)->setText("10");
  w.btInsertClick();
  EXPECT_EQ(w.editorText(),
            "-- kade.WS_PCK.CALC\r\nDECLARE \r\n  P_NAME VARCHAR2(200):='' ;\r\n  P_ACC number :=10;\r\n"
            "begin \r\n  dbms_output.put_line( to_char(kade.WS_PCK.CALC(\r\n        P_IN=> 5,\r\n"
            "        P_NAME=> P_NAME,\r\n        P_ACC=> P_ACC  )));\r\nend;");
  run(w, w.editorText());
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespSQL) << w.meRespError->toPlainText().toStdString();
  // (10 + 5) * 2
  EXPECT_TRUE(w.meRespSQL->toPlainText().endsWith("30")) << w.meRespSQL->toPlainText().toStdString();
}

TEST_F(WorksheetWindow, ExplainShowsItsOwnPlanTreeIsRefusedInATransactionAndNamesAFailingStatement) {
  TfmWorkSheet& w = open();
  run(w, "update kade.ws_t set v='x' where id=1");
  w.btRollbackClick();
  run(w, "update kade.ws_t set v='x' where id=1");
  w.SetTransactionButtons(false);
  w.spExplainClick();
  EXPECT_TRUE(messages().contains("FIRST CLOSE CURRENT TRANSACTION!"));
  EXPECT_TRUE(w.btCommit->isEnabled());  // so the user can end it
  w.btRollbackClick();

  // The plan of the editor's statement as a tree; the worksheet's rows are gone afterwards, another
  // explain's rows stay.
  sys({"INSERT INTO nuvo_util.nuvo_plan_table (statement_id, id, operation) VALUES ('OTHER', 0, 'SELECT STATEMENT')",
       "COMMIT"});
  w.setEditorText("select v\r\n  from kade.ws_t where id = 5");
  w.spExplainClick();
  ASSERT_TRUE(messages().isEmpty() || !messages().last().startsWith("ERROR ON:")) << messages().last().toStdString();
  EXPECT_EQ(w.meExplain->toPlainText(),
            "      SELECT STATEMENT  Cost=  \n"
            "            TABLE ACCESS BY INDEX ROWID WS_T\n"
            "                  INDEX UNIQUE SCAN " + scalar("select constraint_name from all_constraints where "
                                                          "table_name='WS_T' and constraint_type='P'"));
  EXPECT_FALSE(main_->osOracle.inTransaction());
  EXPECT_EQ(scalar("select count(*) from nuvo_util.nuvo_plan_table"), "1");
  EXPECT_EQ(scalar("select statement_id from nuvo_util.nuvo_plan_table"), "OTHER");
  // The next explain reads only its own plan.
  w.setEditorText("select count(*) from kade.ws_t");
  w.spExplainClick();
  EXPECT_TRUE(w.meExplain->toPlainText().startsWith("      SELECT STATEMENT  Cost=  \n            SORT AGGREGATE"))
      << w.meExplain->toPlainText().toStdString();

  // A first line comment swallows the one-line EXPLAIN statement: it fails and is named.
  w.setEditorText("-- plan of\r\nselect * from kade.ws_t");
  w.spExplainClick();
  EXPECT_EQ(w.pcResp->currentWidget(), w.tabExplain);
  ASSERT_FALSE(messages().isEmpty());
  EXPECT_TRUE(messages().last().startsWith("ERROR ON:EXPLAIN PLAN SET STATEMENT_ID = 'WS"))
      << messages().last().toStdString();
  EXPECT_TRUE(messages().last().contains("INTO NUVO_UTIL.NUVO_PLAN_TABLE FOR  -- plan of select * from kade.ws_t"))
      << messages().last().toStdString();
  EXPECT_FALSE(main_->osOracle.inTransaction());
}

TEST_F(WorksheetWindow, ResultAsTextGoesToTheOutputPane) {
  TfmWorkSheet& w = open();
  main_->currDescriptor = QStringLiteral("#59");
  run(w, "select id, v, null n from kade.ws_t where id<=3 order by id");
  w.spConvertToAsciiClick();
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespSQL);
  EXPECT_EQ(w.meRespSQL->toPlainText().split('\n'),
            (QStringList{">>>", "ID   V   N   ", QString(80, '-'), "1;v1;", "2;v2;", "3;v3;"}));
}

TEST_F(WorksheetWindow, ProgramStringLiteralIsConvertedOrRefused) {
  TfmWorkSheet& w = open();
  w.setEditorText("'select 1 from dual'");
  w.CovertDelphiStringClick();
  EXPECT_EQ(messages().value(0), "String is not DELPHI Query like string");
  EXPECT_EQ(w.editorText(), "'select 1 from dual'");
  w.setEditorText("'select *'#$D#$A'from dual'");
  w.CovertDelphiStringClick();
  EXPECT_EQ(w.editorText(), "select *\r\nfrom dual");
}

TEST_F(WorksheetWindow, EditorKeysOfTheWorksheet) {
  main_->currLargeRBName = QStringLiteral("RB_BIG");
  main_->mcKeys = QStringLiteral("§");
  main_->mcMacro[0] = QStringLiteral("select * from ");
  TfmWorkSheet& w = open();
  w.show();
  w.meWork->setFocus();
  // A short press of a macro key types its character when released.
  QTest::keyClick(w.meWork, Qt::Key_A, Qt::NoModifier);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_section, Qt::NoModifier, QStringLiteral("§"));
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_section, Qt::NoModifier, QStringLiteral("§"));
  QApplication::sendEvent(w.meWork, &press);
  QApplication::sendEvent(w.meWork, &release);
  EXPECT_EQ(w.editorText(), "a§");
  // Ctrl+T writes the large rollback segment's statement, Ctrl+D clears.
  QTest::keyClick(w.meWork, Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(w.editorText(), "SET TRANSACTION USE ROLLBACK SEGMENT RB_BIG\r\n");
  QTest::keyClick(w.meWork, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(w.editorText(), "");
  // Ctrl+Enter runs; Ctrl+P brings the statement before the last one back.
  w.setEditorText("select 4 from dual");
  QTest::keyClick(w.meWork, Qt::Key_Return, Qt::ControlModifier);
  waitIdle(w);
  w.setEditorText("select 5 from dual");
  QTest::keyClick(w.meWork, Qt::Key_Return, Qt::ControlModifier);
  waitIdle(w);
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespGrid);
  w.setEditorText("");
  QTest::keyClick(w.meWork, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(w.editorText(), "select 4 from dual");
  QTest::keyClick(w.meWork, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(w.editorText(), "select 5 from dual");
}

TEST_F(WorksheetWindow, StatisticsScreenToggle) {
  TfmWorkSheet& w = open();
  run(w, "select 1 from dual");
  w.mmStatistics->setEnabled(true);
  w.mmStatistics->trigger();  // ticked: the statistics page
  EXPECT_EQ(w.pcResp->currentWidget(), w.tabSesStat);
  w.mmStatistics->trigger();  // unticked on the statistics page: back to the last result
  EXPECT_EQ(w.pcResp->currentWidget(), w.TabRespGrid);
  w.mmStatistics->trigger();
  w.showPage(w.TabRespSQL);
  w.mmStatistics->trigger();  // unticked on another page: the statistics page
  EXPECT_EQ(w.pcResp->currentWidget(), w.tabSesStat);
}

TEST_F(WorksheetWindow, DoubleClickOnATextFieldOpensTheViewer) {
  sys({"CREATE TABLE kade.ws_doc (id NUMBER, body CLOB)", "INSERT INTO kade.ws_doc VALUES (1, 'long text')", "COMMIT"});
  TfmWorkSheet& w = open();
  run(w, "select id, body, rowid from kade.ws_doc");
  w.dbgSelect->setCurrentIndex(w.dsDynWork->index(0, 0));
  w.dbgSelectDblClick();
  EXPECT_EQ(dialogs_, 0);  // a number: nothing
  w.dbgSelect->setCurrentIndex(w.dsDynWork->index(0, 1));
  w.dbgSelectDblClick();
  EXPECT_EQ(dialogs_, 1);
}

}  // namespace

namespace {

TEST_F(WorksheetWindow, FindAndReplaceInTheEditor) {
  TfmWorkSheet& w = open();
  w.setEditorText("select a from t\r\nwhere a = 'From'\r\nfrom");
  QTest::keyClick(w.meWork, Qt::Key_F, Qt::ControlModifier);
  EXPECT_FALSE(w.paFind->isHidden());
  w.edFind->setText("from");
  w.show();
  ASSERT_TRUE(w.findNext());
  QCoreApplication::processEvents();
  int line = -1, index = -1;
  w.meWork->getCursorPosition(&line, &index);
  EXPECT_EQ(line, 0);
  EXPECT_EQ(w.laCaret->text(), QString("1:%1").arg(index + 1));
  w.edReplace->setText("FROM");
  w.replaceFound();  // the found one is replaced, the next one found
  EXPECT_EQ(w.editorText(), "select a FROM t\r\nwhere a = 'From'\r\nfrom");
  EXPECT_EQ(w.replaceAll(), 3);  // every occurrence, each once, in any case
  EXPECT_EQ(w.editorText(), "select a FROM t\r\nwhere a = 'FROM'\r\nFROM");
  w.edFind->setText("nothing");
  EXPECT_FALSE(w.findNext());
  QTest::keyClick(w.edFind, Qt::Key_Escape);
  EXPECT_TRUE(w.paFind->isHidden());
}

}  // namespace

namespace {

using nuvo::test::choosingFile;

TEST_F(WorksheetWindow, FilesOpenIntoTheEditorAndTheOutputIsSavedApart) {
  writeHomeFile("in.sql", "select 1\r\nfrom dual");
  TfmWorkSheet& w = open();
  nuvo::setModalRunner(choosingFile(homePath("in.sql")));
  w.Open2Click();
  EXPECT_EQ(w.editorText(), "select 1\r\nfrom dual");
  EXPECT_EQ(w.currentFile, homePath("in.sql"));

  // Save As of the editor names a new current file.
  nuvo::setModalRunner(choosingFile(homePath("out.sql")));
  w.SaveAs1Click();
  EXPECT_EQ(w.currentFile, homePath("out.sql"));
  QFile out(homePath("out.sql"));
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));
  EXPECT_EQ(out.readAll(), "select 1\r\nfrom dual");

  // The output pane, with Unicode on, as UTF-16 little-endian without a byte order mark.
  main_->currUnicode = true;
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.meRespSQL->setPlainText("Ž1");
  w.meRespSQL->setFocus();
  QCoreApplication::processEvents();
  nuvo::setModalRunner(choosingFile(homePath("result.txt")));
  w.Save2Click();
  QFile result(homePath("result.txt"));
  ASSERT_TRUE(result.open(QIODevice::ReadOnly));
  EXPECT_EQ(result.readAll(), QByteArray("\x7d\x01\x31\x00", 4));
  EXPECT_EQ(w.currentFile, homePath("out.sql"));
}

}  // namespace
