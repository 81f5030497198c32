// The table refresh: its checks, the block it generates, the pipe messages and refresh files, and
// the window against two embedded databases, the source reached over a database link.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "db/query.h"
#include "engine/engine.h"
#include "qstring_print.h"
#include "schema/refresh.h"
#include "schema/refresh_logic.h"
#include "shell/Main.h"
#include "shell/runner.h"
#include "shell_test_support.h"

namespace {

using nuvo::schema::RefreshColumn;
using nuvo::schema::RefreshDefinition;
using nuvo::schema::RefreshRefusal;

RefreshDefinition twoTables() {
  RefreshDefinition d;
  d.sourceUser = "KADE";
  d.sourceTable = "SRC";
  d.destUser = "KADE";
  d.destTable = "DST";
  d.keys = {"ID NUMBER"};
  d.columns = {{"ID", "NUMBER"}, {"NAME", "VARCHAR2"}, {"DATUMIPL", "DATE"}, {"USER_IPL", "VARCHAR2"}};
  return d;
}

TEST(RefreshCheck, RefusalsComeInTheOrderTheWindowShowsThem) {
  const struct {
    const char* label;
    std::function<void(RefreshDefinition&)> change;
    std::vector<RefreshRefusal> expected;
  } cases[] = {
      {"ready", [](RefreshDefinition&) {}, {}},
      {"no key", [](RefreshDefinition& d) { d.keys.clear(); }, {RefreshRefusal::KeyMissing, RefreshRefusal::DataMissing}},
      {"no destination table", [](RefreshDefinition& d) { d.destTable = " "; }, {RefreshRefusal::DataMissing}},
      // Case and blanks do not make another table of the same one.
      {"same table", [](RefreshDefinition& d) { d.destTable = "src "; d.destUser = "kade"; }, {RefreshRefusal::SameTables}},
      {"same table, no key",
       [](RefreshDefinition& d) {
         d.destTable = "SRC";
         d.keys.clear();
       },
       {RefreshRefusal::KeyMissing, RefreshRefusal::SameTables}},
      {"same table over a link", [](RefreshDefinition& d) { d.destTable = "SRC"; d.link = "REMOTE"; }, {}},
      {"only audit columns marked",
       [](RefreshDefinition& d) { d.columns[2].marked = d.columns[3].marked = true; },
       {RefreshRefusal::NothingToUpdate}},
      {"only audit columns marked, no updates",
       [](RefreshDefinition& d) {
         d.columns[2].marked = true;
         d.update = false;
       },
       {}},
      {"only the sequence column marked",
       [](RefreshDefinition& d) {
         d.sequence = true;
         d.sequenceField = "NAME";
         d.sequenceName = "S";
         d.columns[1].marked = true;
       },
       {RefreshRefusal::NothingToUpdate}},
  };
  for (const auto& c : cases) {
    RefreshDefinition d = twoTables();
    c.change(d);
    EXPECT_EQ(nuvo::schema::refreshCheck(d), c.expected) << c.label;
  }
}

TEST(RefreshBlock, KeysBeyondNineGetValidBindNamesAndTheirTexts) {
  RefreshDefinition d = twoTables();
  d.keys.clear();
  d.columns.clear();
  for (int k = 1; k <= 10; ++k) {
    d.keys << QString("K%1 %2").arg(k).arg(k == 2 ? "VARCHAR2" : "NUMBER");
    d.columns.push_back({QString("K%1").arg(k), "NUMBER"});
  }
  const QString block = nuvo::schema::refreshBlock(d, true);
  EXPECT_TRUE(block.contains("sUnique9 NUMBER,sUnique10 NUMBER) is select * from KADE.DST")) << block.toStdString();
  EXPECT_TRUE(block.contains("K9=sUnique9 and K10=sUnique10 for update;")) << block.toStdString();
  EXPECT_FALSE(block.contains("sUnique:"));
  // Character keys go into error items as they are, others through to_char, joined by two blanks.
  EXPECT_TRUE(block.contains("substr(to_char(rS.K1)||'  '||rS.K2||'  '||to_char(rS.K3)")) << block.toStdString();
  EXPECT_TRUE(block.contains("open cOrig(rS.K1,rS.K2,rS.K3,rS.K4,rS.K5,rS.K6,rS.K7,rS.K8,rS.K9,rS.K10);"));
}

TEST(RefreshBlock, ListsBreakEverySeventhColumnAndEveryThirdUpdate) {
  const auto withColumns = [](int n) {
    RefreshDefinition d = twoTables();
    d.columns.clear();
    for (int i = 1; i <= n; ++i) d.columns.push_back({QString("C%1").arg(i), "NUMBER"});
    return d;
  };
  const QString brk = "\n       ";
  QString block = nuvo::schema::refreshBlock(withColumns(13), true);
  EXPECT_TRUE(block.contains("(C1,C2,C3,C4,C5,C6" + brk + ",C7,C8,C9,C10,C11,C12,C13)")) << block.toStdString();
  block = nuvo::schema::refreshBlock(withColumns(14), true);
  EXPECT_TRUE(block.contains("C12,C13" + brk + ",C14)")) << block.toStdString();
  EXPECT_TRUE(block.contains("(rS.C1,rS.C2,rS.C3,rS.C4,rS.C5,rS.C6" + brk + ",rS.C7")) << block.toStdString();
  block = nuvo::schema::refreshBlock(withColumns(7), true);
  EXPECT_TRUE(block.contains("C1=rS.C1,C2=rS.C2,C3=rS.C3," + brk + "C4=rS.C4,C5=rS.C5,C6=rS.C6," + brk +
                             "C7=rS.C7\n         where current of cOrig;"))
      << block.toStdString();
}

TEST(RefreshBlock, MarksAuditColumnsAndTheSequenceShapeTheUpdate) {
  RefreshDefinition d = twoTables();
  // Nothing marked: every column but the audit ones is set, with no condition.
  QString block = nuvo::schema::refreshBlock(d, true);
  EXPECT_TRUE(block.contains("update KADE.DST set \n         ID=rS.ID,NAME=rS.NAME\n")) << block.toStdString();
  EXPECT_FALSE(block.contains("IF ((rS."));
  EXPECT_TRUE(block.contains("(ID,NAME,DATUMIPL,USER_IPL)"));
  // A marked column is compared with NULL counting as a difference; marked audit columns are not.
  d.columns[1].marked = d.columns[2].marked = true;
  block = nuvo::schema::refreshBlock(d, true);
  EXPECT_TRUE(block.contains("      IF ((rS.NAME<> rD.NAME) or ( ( rS.NAME is null or rD.NAME is null) and not "
                             "(rS.NAME is null and rD.NAME is null)) )\n             THEN"))
      << block.toStdString();
  EXPECT_FALSE(block.contains("DATUMIPL=rS"));
  EXPECT_FALSE(block.contains("rS.DATUMIPL<>"));
  // The sequence column takes a drawn value on insert and keeps its own on update.
  d.columns[1].marked = d.columns[2].marked = false;
  d.sequence = true;
  d.sequenceField = "ID";
  d.sequenceName = "KADE.SEQ_DST";
  block = nuvo::schema::refreshBlock(d, true);
  EXPECT_TRUE(block.contains("(iSeq,rS.NAME,rS.DATUMIPL,rS.USER_IPL);")) << block.toStdString();
  EXPECT_TRUE(block.contains("cursor cSeq is select KADE.SEQ_DST.nextval from dual;"));
  EXPECT_FALSE(block.contains("ID=rS.ID")) << block.toStdString();
  // Without updates found rows stay as they are.
  d.update = false;
  block = nuvo::schema::refreshBlock(d, false);
  EXPECT_TRUE(block.contains("  dovoliUpdate BOOLEAN:=false;"));
  EXPECT_TRUE(block.contains("    IF cOrig%FOUND THEN\n      null;\n    ELSE "));
  EXPECT_TRUE(block.contains("insert into nuvo_util.nuvo_err")) << block.toStdString();
  EXPECT_FALSE(block.contains("sendtoPipe"));
}

TEST(RefreshPipe, MessagesSetTheLabelsAndListErrors) {
  nuvo::schema::RefreshProgress progress;
  QStringList errors;
  nuvo::schema::applyPipeMessage(" ?S101?U5?I3?", progress, errors);
  EXPECT_EQ(progress, (nuvo::schema::RefreshProgress{"101", "5", "3", ""}));
  nuvo::schema::applyPipeMessage(" ?S201?D7?", progress, errors);
  EXPECT_EQ(progress, (nuvo::schema::RefreshProgress{"201", "5", "3", "7"}));
  nuvo::schema::applyPipeMessage(" ?+42\r\n    ORA-00001: unique constraint violated?", progress, errors);
  nuvo::schema::applyPipeMessage(" ?-A  7\r\n    ORA-02292: child record found?", progress, errors);
  EXPECT_EQ(errors, (QStringList{"ERROR ON INSERTING:   42\r\n    ORA-00001: unique constraint violated",
                                 "ERROR ON DELETING:   A  7\r\n    ORA-02292: child record found"}));
  EXPECT_TRUE(nuvo::schema::isEndMessage("/?S7?U1?I2?D1?"));
  EXPECT_FALSE(nuvo::schema::isEndMessage(" ?S7?"));
  nuvo::schema::applyPipeMessage("/?S7?U1?I2?D1?", progress, errors);
  EXPECT_EQ(progress, (nuvo::schema::RefreshProgress{"7", "1", "2", "1"}));
  // A message without items, or with unknown kinds, changes nothing.
  nuvo::schema::applyPipeMessage(" ?X9?no question mark", progress, errors);
  EXPECT_EQ(progress, (nuvo::schema::RefreshProgress{"7", "1", "2", "1"}));
  EXPECT_EQ(errors.size(), 2);
}

TEST(RefreshErrors, TheErrorIsListedUnderItsTable) {
  EXPECT_EQ(nuvo::schema::blockErrorLines("DST", "ORA-00054: resource busy\nORA-06512: at line 40"),
            (QStringList{"ERROR ON REFRESHING TABLE DST", QString(37, '-'), "ORA-00054: resource busy",
                         "ORA-06512: at line 40"}));
}

// A loader that gives every table the same three columns and key.
void loadThree(RefreshDefinition& d) {
  d.columns = {{"ID", "NUMBER"}, {"NAME", "VARCHAR2"}, {"PRICE", "NUMBER"}};
  d.keys = {"ID NUMBER"};
}

TEST(RefreshFile, TablesEndAtHashLinesAndSettingsCarryOver) {
  nuvo::schema::RefreshFileReader reader({
      "#comment",
      "# another comment",
      "owners=kade",
      "TABLES=a",
      "OWNERD=KADE",
      "TABLED=B",
      "FIELDS=NAME,NOPE,",
      "DELETE=true",
      "COMMIT=TRUE",
      "SEQUENCE=ID  ,   KADE.SEQ_B",
      "#",
      "OWNERS =X",  // a blank before "=": an unknown key
      "TABLED=C",
      "UNIQUE= ID NUMBER,",
      "#end",
      "",
  });
  RefreshDefinition d;
  d.destUser = "STAYS?";
  bool commit = false;
  ASSERT_TRUE(reader.nextTable(d, commit, loadThree));
  EXPECT_EQ(d.sourceUser, "KADE");
  EXPECT_EQ(d.sourceTable, "A");
  EXPECT_EQ(d.destTable, "B");
  EXPECT_EQ(d.keys, QStringList{"ID NUMBER"});
  EXPECT_TRUE(d.columns[1].marked);
  EXPECT_FALSE(d.columns[0].marked || d.columns[2].marked);
  EXPECT_TRUE(d.update);  // not in the file: as the window had it
  EXPECT_TRUE(d.deleteRows);
  EXPECT_TRUE(commit);
  EXPECT_TRUE(d.sequence);
  EXPECT_EQ(d.sequenceField, "ID");
  EXPECT_EQ(d.sequenceName, "KADE.SEQ_B");

  ASSERT_TRUE(reader.nextTable(d, commit, loadThree));
  // The names start empty; marks, options and the commit setting carry over.
  EXPECT_EQ(d.sourceUser, "");
  EXPECT_EQ(d.sourceTable, "");
  EXPECT_EQ(d.destUser, "");
  EXPECT_EQ(d.destTable, "C");
  EXPECT_EQ(d.keys, (QStringList{" ID NUMBER", ""}));
  EXPECT_TRUE(d.columns[1].marked);
  EXPECT_TRUE(d.deleteRows);
  EXPECT_TRUE(commit);

  // The empty last line empties the names and nothing runs.
  EXPECT_FALSE(reader.nextTable(d, commit, loadThree));
  EXPECT_EQ(d.destTable, "");
}

TEST(RefreshFile, ATableWithoutItsClosingLineIsNotRun) {
  nuvo::schema::RefreshFileReader reader({"OWNERS=KADE", "TABLES=A", "OWNERD=KADE", "TABLED=B"});
  RefreshDefinition d;
  bool commit = false;
  EXPECT_FALSE(reader.nextTable(d, commit, loadThree));
}

// ---------------------------------------------------------------------------------------------
// Against two databases: DEMO holds the destinations and a link SRCL to SRC, which holds the
// sources. The columns are read from DEMO's dictionary, so each source has its twin there.

class RefreshWindow : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
    source_ = addDatabase("SRC");
    sys({"GRANT CREATE DATABASE LINK TO kade"});
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("KADE", "KADE", "DEMO");
    main_->connUser = "KADE";
    main_->connPassword = "KADE";
    main_->connServer = "DEMO";
    local("CREATE DATABASE LINK srcl CONNECT TO kade IDENTIFIED BY KADE USING 'SRC'");
  }
  void TearDown() override {
    QList<QPointer<TfmRefresh>> windows;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* w = qobject_cast<TfmRefresh*>(top)) windows << w;
    qDeleteAll(windows);
    main_.reset();
    messages_.reset();
    DatabaseFixture::TearDown();
  }

  void local(const QString& sql) {
    nuvo::db::Query q(&main_->osOracle);
    q.setSql(sql);
    q.execute();
  }
  // Runs statements on SRC as KADE and commits.
  void remote(const QStringList& statements) {
    auto session = source_->logOn("KADE", "KADE", false);
    for (const QString& s : statements) session->execute(s.toStdString());
    session->commit();
  }
  // Runs statements on DEMO in a session of their own and commits.
  void demo(const QStringList& statements) {
    auto session = database()->logOn("KADE", "KADE", false);
    for (const QString& s : statements) session->execute(s.toStdString());
    session->commit();
  }
  QStringList rowsOf(const QString& sql) {
    nuvo::db::Query q(&main_->osOracle);
    q.setSql(sql);
    QStringList rows;
    for (q.execute(); !q.eof(); q.next()) {
      QStringList fields;
      for (int i = 0; i < q.fieldCount(); ++i) fields << q.field(i).asString();
      rows << fields.join('|');
    }
    return rows;
  }

  // A window with the source over the link and the destination here.
  TfmRefresh* open(const QString& table, bool link = true) {
    auto* w = new TfmRefresh;
    w->show();
    RefreshDefinition d = w->definition();
    d.sourceUser = "KADE";
    d.sourceTable = table;
    d.link = link ? "SRCL" : "";
    d.destUser = "KADE";
    d.destTable = table;
    nuvo::schema::loadRefreshColumns(main_->osOracle, d);
    w->showDefinition(d);
    return w;
  }
  // Starts the refresh and waits until it ends; true when it ran through.
  bool run(TfmRefresh* w) {
    std::optional<bool> result;
    QObject::connect(w, &TfmRefresh::runFinished, w, [&result](bool ok) { result = ok; });
    w->btRefreshClick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 30000));
    return result.value_or(false);
  }
  // True when another session can change the table at once (nothing holds its lock).
  bool unlocked(const QString& table) {
    auto session = database()->logOn("KADE", "KADE", false);
    try {
      session->execute(("LOCK TABLE kade." + table + " IN EXCLUSIVE MODE NOWAIT").toStdString());
      session->rollback();
      return true;
    } catch (const engine::Error&) {
      return false;
    }
  }

  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
  std::shared_ptr<engine::Database> source_;
  std::unique_ptr<TfmMain> main_;
};

TEST_F(RefreshWindow, ATableWithATenColumnKeyIsRefreshedOverTheLink) {
  const QString create =
      "CREATE TABLE wide (k1 NUMBER, k2 VARCHAR2(5), k3 NUMBER, k4 NUMBER, k5 NUMBER, k6 NUMBER, k7 NUMBER, "
      "k8 NUMBER, k9 NUMBER, k10 NUMBER, val VARCHAR2(20), datumipl DATE, "
      "CONSTRAINT wide_pk PRIMARY KEY (k1, k2, k3, k4, k5, k6, k7, k8, k9, k10))";
  remote({create, "INSERT INTO wide VALUES (1,'a',1,1,1,1,1,1,1,1,'one',NULL)",
          "INSERT INTO wide VALUES (1,'a',1,1,1,1,1,1,1,2,'two',NULL)",
          "INSERT INTO wide VALUES (2,'b',1,1,1,1,1,1,1,1,'three',NULL)"});
  demo({create, "INSERT INTO wide VALUES (1,'a',1,1,1,1,1,1,1,1,'old',NULL)",
        "INSERT INTO wide VALUES (9,'z',1,1,1,1,1,1,1,1,'gone',NULL)"});
  TfmRefresh* w = open("WIDE");
  ASSERT_EQ(w->lbUnique->count(), 10);
  EXPECT_EQ(w->lbUnique->item(9)->text(), "K10 NUMBER");
  w->cbDelete->setChecked(true);
  ASSERT_TRUE(run(w)) << w->meErr->toPlainText().toStdString();
  EXPECT_EQ(w->laCounter->text(), "7");  // three source rows, then the four destination rows
  EXPECT_EQ(w->laUpdated->text(), "1");
  EXPECT_EQ(w->laInserted->text(), "2");
  EXPECT_EQ(w->laDeleted->text(), "1");
  // Not committed yet: the user decides.
  EXPECT_TRUE(w->btCommit->isEnabled());
  w->btCommitClick();
  EXPECT_FALSE(w->btCommit->isEnabled());
  EXPECT_EQ(rowsOf("select k1, k10, val from kade.wide order by k1, k10"),
            (QStringList{"1|1|one", "1|2|two", "2|1|three"}));
  EXPECT_TRUE(unlocked("WIDE"));
}

TEST_F(RefreshWindow, ARefreshThatFailsHalfWayLeavesTheDestinationUntouched) {
  remote({"CREATE TABLE prices (id NUMBER PRIMARY KEY, price NUMBER)", "INSERT INTO prices VALUES (1, 10)",
          "INSERT INTO prices VALUES (2, 20)", "INSERT INTO prices VALUES (3, 500)", "INSERT INTO prices VALUES (4, 40)"});
  // Here prices stay below 100: the update of row 3 fails after rows 1 and 2 were changed.
  demo({"CREATE TABLE prices (id NUMBER PRIMARY KEY, price NUMBER CHECK (price < 100))",
        "INSERT INTO prices VALUES (1, 1)", "INSERT INTO prices VALUES (2, 2)", "INSERT INTO prices VALUES (3, 3)"});
  TfmRefresh* w = open("PRICES");
  EXPECT_FALSE(run(w));
  EXPECT_TRUE(w->meErr->toPlainText().startsWith("ERROR ON REFRESHING TABLE PRICES\n" + QString(37, '-') + "\nORA-02290"))
      << w->meErr->toPlainText().toStdString();
  EXPECT_EQ(rowsOf("select id, price from kade.prices order by id"), (QStringList{"1|1", "2|2", "3|3"}));
  EXPECT_FALSE(w->osOracleThread.inTransaction());
  EXPECT_TRUE(unlocked("PRICES"));

  // A refresh the user has not committed yet stays when the next one fails.
  remote({"CREATE TABLE tags (id NUMBER PRIMARY KEY, tag VARCHAR2(10))", "INSERT INTO tags VALUES (1, 'new')"});
  demo({"CREATE TABLE tags (id NUMBER PRIMARY KEY, tag VARCHAR2(10))"});
  RefreshDefinition tags = w->definition();
  tags.sourceTable = tags.destTable = "TAGS";
  nuvo::schema::loadRefreshColumns(main_->osOracle, tags);
  w->showDefinition(tags);
  ASSERT_TRUE(run(w));
  RefreshDefinition prices = tags;
  prices.sourceTable = prices.destTable = "PRICES";
  nuvo::schema::loadRefreshColumns(main_->osOracle, prices);
  w->showDefinition(prices);
  EXPECT_FALSE(run(w));
  ASSERT_TRUE(w->btCommit->isEnabled());
  w->btCommitClick();
  EXPECT_EQ(rowsOf("select id, tag from kade.tags"), QStringList{"1|new"});
  EXPECT_EQ(rowsOf("select id, price from kade.prices order by id"), (QStringList{"1|1", "2|2", "3|3"}));
}

// A failed insert is listed and the run goes on; a "?" in the row's key does not cut its line.
TEST_F(RefreshWindow, AFailedInsertIsListedWholeAndTheRunGoesOn) {
  remote({"CREATE TABLE codes (code VARCHAR2(10) PRIMARY KEY, n NUMBER)", "INSERT INTO codes VALUES ('A?B', 1)",
          "INSERT INTO codes VALUES ('OK', 2)"});
  demo({"CREATE TABLE codes (code VARCHAR2(10) PRIMARY KEY, n NUMBER CHECK (n <> 1))"});
  TfmRefresh* w = open("CODES");
  ASSERT_TRUE(run(w)) << w->meErr->toPlainText().toStdString();
  const QString errors = w->meErr->toPlainText();
  EXPECT_TRUE(errors.startsWith("ERROR ON INSERTING:   A B")) << errors.toStdString();
  EXPECT_TRUE(errors.contains("ORA-02290")) << errors.toStdString();
  EXPECT_EQ(errors.count("ERROR ON"), 1) << errors.toStdString();
  EXPECT_EQ(w->laInserted->text(), "1");
  w->btCommitClick();
  EXPECT_EQ(rowsOf("select code, n from kade.codes"), QStringList{"OK|2"});
}

TEST_F(RefreshWindow, TheSameTableIsRefusedWhateverItsCaseAndNothingRuns) {
  demo({"CREATE TABLE same_t (id NUMBER PRIMARY KEY)"});
  TfmRefresh* w = open("SAME_T", false);
  w->cbTableDest->setEditText("same_t ");
  w->btRefreshClick();
  EXPECT_EQ(messages_->texts(), QStringList{"Same tables!"});
  EXPECT_FALSE(w->running());
  EXPECT_FALSE(w->osOracleThread.inTransaction());
}

// A destination trigger holds the refresh at row 500 until the test opens the gate (a pipe
// message), so the run is known to be under way while it is looked at.
class GatedRefresh : public RefreshWindow {
 protected:
  void SetUp() override {
    RefreshWindow::SetUp();
    remote({"CREATE TABLE big (id NUMBER PRIMARY KEY, name VARCHAR2(20))",
            "INSERT INTO big SELECT level, 'row ' || level FROM dual CONNECT BY level <= 1000"});
    demo({"CREATE TABLE big (id NUMBER PRIMARY KEY, name VARCHAR2(20))",
          "CREATE TRIGGER big_gate BEFORE INSERT ON big FOR EACH ROW WHEN (new.id = 500) "
          "DECLARE s INTEGER; BEGIN s := DBMS_PIPE.RECEIVE_MESSAGE('GATE', 60); END;"});
  }
  void openGate() {
    auto session = database()->logOn("KADE", "KADE", false);
    session->execute("DECLARE s INTEGER; BEGIN DBMS_PIPE.PACK_MESSAGE('go'); s := DBMS_PIPE.SEND_MESSAGE('GATE'); END;");
  }
};

TEST_F(GatedRefresh, ProgressArrivesWhileTheWorkerRuns) {
  TfmRefresh* w = open("BIG");
  std::optional<bool> result;
  QObject::connect(w, &TfmRefresh::runFinished, w, [&result](bool ok) { result = ok; });
  w->btRefreshClick();
  ASSERT_TRUE(w->running());
  // Rows 1 to 499 went through: the progress of rows 101 to 401 is shown while the block waits.
  ASSERT_TRUE(QTest::qWaitFor([w] { return w->laCounter->text() == "401"; }, 30000)) << w->laCounter->text().toStdString();
  EXPECT_EQ(w->laStatus->text(), "RUNNING");
  EXPECT_FALSE(result.has_value());
  // One refresh at a time in the program.
  auto* second = open("BIG");
  second->btRefreshClick();
  EXPECT_FALSE(second->running());
  EXPECT_TRUE(messages_->texts().contains("Another refresh is running; one refresh at a time"))
      << messages_->texts().join('|').toStdString();
  openGate();
  ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 30000));
  EXPECT_TRUE(*result) << w->meErr->toPlainText().toStdString();
  EXPECT_EQ(w->laCounter->text(), "1000");
  EXPECT_EQ(w->laInserted->text(), "1000");
  w->btCommitClick();
  EXPECT_EQ(rowsOf("select count(*) from kade.big"), QStringList{"1000"});
}

TEST_F(GatedRefresh, CancelEndsTheRunAndLeavesNothingBehind) {
  TfmRefresh* w = open("BIG");
  std::optional<bool> result;
  QObject::connect(w, &TfmRefresh::runFinished, w, [&result](bool ok) { result = ok; });
  w->btRefreshClick();
  ASSERT_TRUE(QTest::qWaitFor([w] { return w->laCounter->text() == "401"; }, 30000));
  EXPECT_TRUE(w->btCancel->isEnabled());
  w->btCancelClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 30000));
  EXPECT_FALSE(*result);
  EXPECT_TRUE(w->meErr->toPlainText().contains("ORA-01013")) << w->meErr->toPlainText().toStdString();
  EXPECT_EQ(rowsOf("select count(*) from kade.big"), QStringList{"0"});
  EXPECT_TRUE(unlocked("BIG"));
  // Closing a window whose run is under way cancels it; the window goes when the worker has returned.
  QPointer<TfmRefresh> closing = open("BIG");
  closing->btRefreshClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return closing->laCounter->text() == "401"; }, 30000));
  closing->close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return closing.isNull(); }, 30000));
  EXPECT_TRUE(unlocked("BIG"));
}

TEST_F(RefreshWindow, AStoredProcedureRunEndsWithoutAnEndMessage) {
  remote({"CREATE TABLE proc_t (id NUMBER PRIMARY KEY, name VARCHAR2(10))", "INSERT INTO proc_t VALUES (1, 'a')"});
  demo({"CREATE TABLE proc_t (id NUMBER PRIMARY KEY, name VARCHAR2(10))"});
  TfmRefresh* w = open("PROC_T");
  w->cbProc->setChecked(true);
  w->edProcedure->setText("KADE.REFRESH_PROC_T");
  ASSERT_TRUE(run(w)) << w->meErr->toPlainText().toStdString();
  EXPECT_EQ(rowsOf("select status from all_objects where owner='KADE' and object_name='REFRESH_PROC_T'"),
            QStringList{"VALID"});
  EXPECT_EQ(rowsOf("select count(*) from kade.proc_t"), QStringList{"0"});
}

// A refresh file run by the runner's REFRESH: every table is refreshed before the run goes on;
// the first table commits, the second fails and is rolled back, and a file without COMMIT=TRUE
// is rolled back at its end, which the run reports.
TEST_F(RefreshWindow, ARefreshFileRunsUnattendedFromTheRunner) {
  remote({"CREATE TABLE t_one (id NUMBER PRIMARY KEY, name VARCHAR2(10))", "INSERT INTO t_one VALUES (1, 'one')",
          "CREATE TABLE t_two (id NUMBER PRIMARY KEY, name VARCHAR2(10))", "INSERT INTO t_two VALUES (2, 'two')",
          "CREATE TABLE t_three (id NUMBER PRIMARY KEY, name VARCHAR2(10))", "INSERT INTO t_three VALUES (3, 'three')"});
  demo({"CREATE TABLE t_one (id NUMBER PRIMARY KEY, name VARCHAR2(10))",
        "CREATE TABLE t_two (id NUMBER PRIMARY KEY, name VARCHAR2(10) CHECK (name <> 'two'))",
        "CREATE TABLE t_three (id NUMBER PRIMARY KEY, name VARCHAR2(10))", "INSERT INTO t_two VALUES (2, 'old')"});
  writeHomeFile("NIGHT.RFS",
                "#nightly refresh\r\nOWNERS=kade\r\nTABLES=t_one\r\nDBLD=srcl\r\nOWNERD=kade\r\nTABLED=t_one\r\n"
                "COMMIT=TRUE\r\n#\r\nOWNERS=KADE\r\nTABLES=T_TWO\r\nDBLD=SRCL\r\nOWNERD=KADE\r\nTABLED=T_TWO\r\n#\r\n");
  writeHomeFile("NOCOMMIT.RFS",
                "OWNERS=KADE\r\nTABLES=T_THREE\r\nDBLD=SRCL\r\nOWNERD=KADE\r\nTABLED=T_THREE\r\n#\r\n");
  const auto opener = nuvo::shell::defaultWindowOpeners().at("REFRESH");
  nuvo::shell::WindowRequest request;
  request.line.action = "REFRESH";
  request.line.p1 = homePath("NIGHT.RFS");
  EXPECT_TRUE(opener(*main_, request));
  EXPECT_EQ(rowsOf("select id, name from kade.t_one"), QStringList{"1|one"});
  EXPECT_EQ(rowsOf("select id, name from kade.t_two"), QStringList{"2|old"});
  ASSERT_EQ(main_->runner().log.size(), 1) << main_->runner().log.join('\n').toStdString();
  EXPECT_TRUE(main_->runner().log[0].contains("ERROR ON REFRESHING TABLE T_TWO: ORA-02290"))
      << main_->runner().log[0].toStdString();
  EXPECT_TRUE(main_->runFailed);  // the program is to end with a failure
  main_->runFailed = false;

  request.line.p1 = homePath("NOCOMMIT.RFS");
  EXPECT_TRUE(opener(*main_, request));
  ASSERT_EQ(main_->runner().log.size(), 2);
  EXPECT_TRUE(main_->runner().log[1].contains("ROLLED BACK")) << main_->runner().log[1].toStdString();
  EXPECT_FALSE(main_->runFailed);  // a rollback at the end is said, and is no failure
  EXPECT_EQ(rowsOf("select count(*) from kade.t_three"), QStringList{"0"});
  EXPECT_TRUE(unlocked("T_THREE"));
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('|').toStdString();
}

}  // namespace
