// The table-structure window's data page, saved selections and foreign-key scripts against a
// seeded database: two installation schemas whose names share a prefix hold tables of the same
// name, and a key of one references the other's table.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

#include "db/query.h"
#include "engine/engine.h"
#include "db/session.h"
#include "platform/appdirs.h"
#include "platform/ini_file.h"
#include "qstring_print.h"
#include "schema/tabStru.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell_test_support.h"
#include "widgets/dataset_model.h"

namespace {

class TableData : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE USER inst1 IDENTIFIED BY inst1", "CREATE USER inst12 IDENTIFIED BY inst12",
         "GRANT ALTER ANY TABLE, SELECT ANY TABLE, INSERT ANY TABLE, UPDATE ANY TABLE, DELETE ANY TABLE TO system",
         "CREATE TABLE inst1.orders (id NUMBER(9), no NUMBER(3), note VARCHAR2(40), "
         "CONSTRAINT orders_pk PRIMARY KEY (id, no))",
         "INSERT INTO inst1.orders VALUES (1, 1, 'Ana')", "INSERT INTO inst1.orders VALUES (2, 1, 'ana')",
         "INSERT INTO inst1.orders VALUES (3, 2, NULL)",
         "CREATE TABLE inst12.orders (id NUMBER(9) PRIMARY KEY, amount NUMBER(12,2), amount_due NUMBER)",
         "INSERT INTO inst12.orders VALUES (7, 10, 1)",
         "GRANT REFERENCES ON inst1.orders TO inst12",
         // A key of the other installation, of two columns, with a delete rule, checked at commit.
         "CREATE TABLE inst12.lines (id NUMBER PRIMARY KEY, ord_id NUMBER, ord_no NUMBER, "
         "CONSTRAINT lines_fk FOREIGN KEY (ord_id, ord_no) REFERENCES inst1.orders ON DELETE CASCADE "
         "DEFERRABLE INITIALLY DEFERRED)",
         "INSERT INTO inst12.lines VALUES (1, 1, 1)",
         // A key of the same name in the referenced table's schema, on other columns.
         "CREATE TABLE inst1.parts (part_no NUMBER PRIMARY KEY)",
         "CREATE TABLE inst1.lines (part NUMBER CONSTRAINT lines_fk REFERENCES inst1.parts)",
         // A key that was disabled before.
         "CREATE TABLE inst1.notes (ord_id NUMBER, ord_no NUMBER, "
         "CONSTRAINT notes_fk FOREIGN KEY (ord_id, ord_no) REFERENCES inst1.orders DISABLE)"});
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("SYSTEM", "SYSTEM", "DEMO");
    main_->currOwner = "inst1";
    main_->currCommentsFile = QString::fromStdString(home()) + "/";
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }
  // The first column of each row of a statement, read on a session of its own (what is committed).
  QStringList committed(const QString& sql) const {
    nuvo::db::Session other;
    other.logOn("SYSTEM", "SYSTEM", "DEMO");
    nuvo::db::Query q(&other);
    q.setSql(sql);
    QStringList out;
    for (q.execute(); !q.eof(); q.next()) out << q.field(0).asString();
    return out;
  }
  static QStringList column(const QTableWidget& grid, int c) {
    QStringList out;
    for (int r = 0; r < grid.rowCount(); ++r) out << (grid.item(r, c) ? grid.item(r, c)->text() : QString());
    return out;
  }
  static QStringList values(const nuvo::db::Dataset& d, const char* field) {
    QStringList out;
    for (int r = 0; r < d.recordCount(); ++r) out << d.value(r, field).toString();
    return out;
  }
  QString lastMessage() const { return messages_->texts().isEmpty() ? QString() : messages_->texts().last(); }
  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

TEST_F(TableData, DataPageShowsTheMarkedColumnsOfTheChosenOwnersTableFilteredAndSorted) {
  TfmTableStru w;
  w.chooseTable("INST12", "ORDERS");
  w.pcTable->setCurrentWidget(w.tabData);
  EXPECT_EQ(w.quData.sql().value(0), "SELECT XX.*,ROWID FROM INST12.ORDERS XX");
  w.quData.fetchAll();
  EXPECT_EQ(values(w.quData, "ID"), (QStringList{"7"}));

  w.chooseTable("INST1", "ORDERS");
  // Mark NOTE on the columns page: the data page then reads it alone.
  w.pcTable->setCurrentWidget(w.TabColumns);
  w.toggleMark(int(column(*w.sgColumns, 1).indexOf("NOTE")));
  EXPECT_EQ(column(*w.sgColumns, 0), (QStringList{" ", " ", "+"}));
  w.pcTable->setCurrentWidget(w.tabData);
  EXPECT_EQ(w.quData.sql().value(0), "SELECT XX.NOTE ,ROWID FROM INST1.ORDERS XX");
  EXPECT_EQ(w.quData.fieldCount(), 2);

  // The filter is upper-cased outside its literal.
  w.edFilter->setText("where note = 'Ana'");
  w.btWhereClick();
  EXPECT_EQ(w.edFilter->text(), "WHERE NOTE = 'Ana'");
  w.quData.fetchAll();
  EXPECT_EQ(values(w.quData, "NOTE"), (QStringList{"Ana"}));

  // A title click sorts: it extends an ORDER BY text, which the filter button then runs.
  w.edFilter->setText("ORDER BY NO");
  w.dbgDataTitleClick(0);
  EXPECT_EQ(w.edFilter->text(), "ORDER BY NO ,NOTE");
  w.btWhereClick();
  w.quData.fetchAll();
  EXPECT_EQ(values(w.quData, "NOTE"), (QStringList{"Ana", "ana", ""}));
  // Named already: the title shows the cell's value instead.
  w.quData.setCurrentRow(1);
  w.dbgDataTitleClick(0);
  EXPECT_TRUE(w.dbCelMemo->isVisibleTo(&w));
  EXPECT_EQ(w.dbCelMemo->toPlainText(), "ana");
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
}

TEST_F(TableData, ARowChangedInTheGridIsKeptAndABadFilterSaysWhereItFailed) {
  TfmTableStru w;
  w.chooseTable("INST1", "ORDERS");
  w.pcTable->setCurrentWidget(w.tabData);
  w.edFilter->setText("WHERE ID = 2");
  w.btWhereClick();
  ASSERT_EQ(w.quData.recordCount(), 1);
  const int note = w.quData.fieldIndex("NOTE");
  ASSERT_TRUE(w.dsData->setData(w.dsData->index(0, note), "Bea"));
  EXPECT_EQ(committed("SELECT note FROM inst1.orders WHERE id = 2"), (QStringList{"Bea"}));

  w.edFilter->setText("WHERE NOPE = 1");
  w.btWhereClick();
  ASSERT_EQ(messages_->texts().size(), 1);
  EXPECT_TRUE(lastMessage().startsWith("SQL :\r\nSELECT XX.*,ROWID FROM INST1.ORDERS XX\nWHERE NOPE = 1\r\n\r\n"))
      << lastMessage().toStdString();
  EXPECT_TRUE(lastMessage().contains("Line : 2")) << lastMessage().toStdString();
  EXPECT_FALSE(w.quData.isOpen());
}

TEST_F(TableData, SelectionsKeepMarksAndFiltersOfTheRowsOwnerAndRoundTripThroughTheSettingsFile) {
  {
    TfmTableStru w;
    w.cbUser->setCurrentText("INST1");
    w.edTabela->setText("ORDERS");
    w.btStruClick();
    w.quTables.fetchAll();
    ASSERT_EQ(w.quTables.recordCount(), 2);
    // The owner box is a prefix; the selection takes the owner of the row.
    w.quTables.setCurrentRow(1);
    w.spInsertClick();
    w.quTables.setCurrentRow(0);
    w.spInsertClick();
    ASSERT_EQ(w.tvSelected->topLevelItemCount(), 2);
    EXPECT_EQ(w.tvSelected->topLevelItem(0)->text(0), "ORDERS.INST12");
    EXPECT_TRUE(w.paSelected->isVisibleTo(&w));

    w.tvSelectedClick(w.tvSelected->topLevelItem(0));
    EXPECT_EQ(w.currOwner(), "INST12");
    w.pcTable->setCurrentWidget(w.TabColumns);
    w.toggleMark(int(column(*w.sgColumns, 1).indexOf("AMOUNT")));
    w.pcTable->setCurrentWidget(w.tabData);
    w.edFilter->setText("where amount > 1");
    w.btWhereClick();
    EXPECT_EQ(w.tvSelected->topLevelItem(0)->child(0)->text(0), "AMOUNT");
    EXPECT_EQ(w.tvSelected->topLevelItem(0)->child(1)->text(0), "WHERE AMOUNT > 1");
    // The same table of the other owner does not take them.
    EXPECT_EQ(w.tvSelected->topLevelItem(1)->child(0)->text(0), "");

    // Deleting a child removes its whole selection; the others keep their shape.
    w.quTables.setCurrentRow(0);
    w.spInsertClick();
    w.tvSelected->setCurrentItem(w.tvSelected->topLevelItem(2)->child(1));
    w.spDeleteClick();
    ASSERT_EQ(w.tvSelected->topLevelItemCount(), 2);
    w.btSaveSelectedClick();
  }
  const nuvo::IniFile ini(nuvo::monitorIniPath());
  EXPECT_EQ(ini.readString("SELECTED", "S_STEVILO"), "2");
  EXPECT_EQ(ini.readString("SELECTED", "S_TAB2"), "ORDERS.INST1");

  TfmTableStru w;
  ASSERT_EQ(w.tvSelected->topLevelItemCount(), 2);
  w.pcTable->setCurrentWidget(w.TabColumns);
  w.tvSelectedClick(w.tvSelected->topLevelItem(0));
  EXPECT_EQ(w.currOwner(), "INST12");
  EXPECT_EQ(w.edFilter->text(), "WHERE AMOUNT > 1");
  // Whole names: AMOUNT_DUE is not marked by AMOUNT.
  EXPECT_EQ(column(*w.sgColumns, 1), (QStringList{"ID", "AMOUNT", "AMOUNT_DUE"}));
  EXPECT_EQ(column(*w.sgColumns, 0), (QStringList{" ", "+", " "}));
  w.pcTable->setCurrentWidget(w.tabData);
  EXPECT_EQ(w.quData.sql(), (QStringList{"SELECT XX.AMOUNT ,ROWID FROM INST12.ORDERS XX", "WHERE AMOUNT > 1"}));
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
}

TEST_F(TableData, DroppedKeysComeBackFromTheirScriptWithRuleColumnsAndState) {
  TfmTableStru w;
  w.chooseTable("INST1", "ORDERS");
  w.pcTable->setCurrentWidget(w.tabEnDis);
  w.cbDrop->setChecked(true);
  EXPECT_EQ(w.btDisable->text(), "Drop References");
  w.btPrepareClick();
  const QString file = QString::fromStdString(home()) + "/INST1.ORDERS.SQL";
  EXPECT_EQ(lastMessage(), "Script is saved into " + file + "!");
  const QStringList restore = w.meNazaj->toPlainText().split('\n');
  EXPECT_EQ(restore,
            (QStringList{"alter table \"INST1\".\"NOTES\" add constraint \"NOTES_FK\" foreign key (\"ORD_ID\",\"ORD_NO\") "
                         "references \"INST1\".\"ORDERS\" (\"ID\",\"NO\") disable",
                         "/",
                         "alter table \"INST12\".\"LINES\" add constraint \"LINES_FK\" foreign key (\"ORD_ID\",\"ORD_NO\") "
                         "references \"INST1\".\"ORDERS\" (\"ID\",\"NO\") on delete cascade "
                         "deferrable initially deferred",
                         "/"}));
  QFile saved(file);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(saved.readAll()), restore.join("\r\n") + "\r\n");
  saved.close();

  ASSERT_TRUE(w.btDisable->isEnabled());
  w.btDisableClick();
  EXPECT_EQ(lastMessage(), "Drop References  SUCCESFULL");
  EXPECT_TRUE(committed("SELECT constraint_name FROM all_constraints WHERE r_owner = 'INST1' AND "
                        "r_constraint_name = 'ORDERS_PK'")
                  .isEmpty());
  // Choosing another table keeps the script that brings the keys back.
  w.chooseTable("INST12", "LINES");
  EXPECT_EQ(w.meNazaj->toPlainText().split('\n'), restore);
  EXPECT_FALSE(w.btPrepare->isEnabled());
  w.btEnableClick();
  EXPECT_EQ(lastMessage(), "Create References  SUCCESFULL") << messages_->texts().join("\n").toStdString();
  EXPECT_EQ(committed("SELECT delete_rule || ' ' || deferrable || ' ' || deferred || ' ' || status "
                      "FROM all_constraints WHERE owner = 'INST12' AND constraint_name = 'LINES_FK'"),
            (QStringList{"CASCADE DEFERRABLE DEFERRED ENABLED"}));
  EXPECT_EQ(committed("SELECT status FROM all_constraints WHERE owner = 'INST1' AND constraint_name = 'NOTES_FK'"),
            (QStringList{"DISABLED"}));
  sys({"DELETE FROM inst1.orders WHERE id = 1"});
  EXPECT_TRUE(committed("SELECT id FROM inst12.lines").isEmpty());
  EXPECT_TRUE(w.btPrepare->isEnabled());
}

TEST_F(TableData, AnExistingRestoreFileIsReplacedOnlyWhenTheUserSaysSo) {
  const QString file = QString::fromStdString(home()) + "/INST1.ORDERS.SQL";
  {
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the only copy\r\n");
  }
  TfmTableStru w;
  w.chooseTable("INST1", "ORDERS");
  w.cbDrop->setChecked(true);
  w.btPrepareClick();  // answered No
  EXPECT_EQ(lastMessage(), "The script is not saved.");
  EXPECT_FALSE(w.btDisable->isEnabled());
  QFile kept(file);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "the only copy\r\n");
  kept.close();
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w.btPrepareClick();
  EXPECT_TRUE(w.btDisable->isEnabled());
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_TRUE(kept.readAll().contains("LINES_FK"));
}

TEST_F(TableData, ARunWhoseEarlierLineFailedIsReportedAsFailed) {
  TfmTableStru w;
  w.chooseTable("INST1", "ORDERS");
  w.btPrepareClick();
  // Disable: NOTES_FK is disabled already and stays so; LINES_FK is switched.
  EXPECT_EQ(w.meBrisi->toPlainText().split('\n').size(), 4);
  EXPECT_EQ(w.meNazaj->toPlainText(), "alter table \"INST12\".\"LINES\" enable constraint \"LINES_FK\"\n/");
  // The first line fails, the last one runs.
  w.meBrisi->setPlainText("alter table \"INST1\".\"NOPE\" disable constraint \"X\"\n/\n" +
                          w.meBrisi->toPlainText());
  w.btDisableClick();
  ASSERT_GE(messages_->texts().size(), 2);
  EXPECT_TRUE(messages_->texts()[messages_->texts().size() - 2].startsWith(
      "alter table \"INST1\".\"NOPE\" disable constraint \"X\"\r\nORA-"))
      << messages_->texts()[messages_->texts().size() - 2].toStdString();
  EXPECT_EQ(lastMessage(), "Disable References  UNSUCCESFULL");
  EXPECT_EQ(committed("SELECT status FROM all_constraints WHERE owner = 'INST12' AND constraint_name = 'LINES_FK'"),
            (QStringList{"DISABLED"}));
  EXPECT_TRUE(w.btEnable->isEnabled());
}

TEST_F(TableData, QueryByExampleNarrowsTheRowsWhichStayTheTablesOwnUntilTheFilterRunsAgain) {
  TfmTableStru w;
  w.chooseTable("INST1", "ORDERS");
  w.pcTable->setCurrentWidget(w.tabData);
  w.edFilter->setText("WHERE NO = 1");
  w.btWhereClick();
  w.qbeEnterClick();
  ASSERT_TRUE(w.sgDataQbe->isVisibleTo(&w));
  QStringList titles;
  for (int c = 0; c < w.sgDataQbe->columnCount(); ++c) titles << w.sgDataQbe->horizontalHeaderItem(c)->text();
  EXPECT_EQ(titles, (QStringList{"ID", "NO", "NOTE"}));  // no row identifier to type under
  // The example and the filter both hold: NO = 1 and a name beginning with a small letter.
  w.sgDataQbe->setItem(0, 2, new QTableWidgetItem("a%"));
  w.qbeRunClick();
  w.quData.fetchAll();
  EXPECT_EQ(values(w.quData, "ID"), (QStringList{"2"}));
  // A row found by example is written back to its table.
  ASSERT_TRUE(w.dsData->setData(w.dsData->index(0, w.quData.fieldIndex("NOTE")), "amy"));
  EXPECT_EQ(committed("SELECT note FROM inst1.orders WHERE id = 2"), (QStringList{"amy"}));
  // A second run keeps the typed values and starts again from the filter's rows.
  w.qbeEnterClick();
  EXPECT_EQ(w.sgDataQbe->item(0, 2)->text(), "a%");
  w.sgDataQbe->setItem(0, 0, new QTableWidgetItem(">2"));
  w.qbeRunClick();
  w.quData.fetchAll();
  EXPECT_TRUE(values(w.quData, "ID").isEmpty());
  // The filter button ends the example: its statement and filter are back.
  w.btWhereClick();
  EXPECT_FALSE(w.sgDataQbe->isVisibleTo(&w));
  EXPECT_EQ(w.quData.sql(), (QStringList{"SELECT XX.*,ROWID FROM INST1.ORDERS XX", "WHERE NO = 1"}));
  w.quData.fetchAll();
  EXPECT_EQ(values(w.quData, "ID"), (QStringList{"1", "2"}));
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
}

// Rows are kept as they are posted; a cancel keeps nothing, not even what the session holds from
// elsewhere, and a commit that fails says so and shows what the table still holds.
TEST_F(TableData, OnlyAPostedRowCommitsAndAFailedCommitShowsTheTableAsItIs) {
  sys({"CREATE TABLE inst1.stock (id NUMBER, qty NUMBER CONSTRAINT stock_qty_ck CHECK (qty >= 0) "
       "DEFERRABLE INITIALLY DEFERRED)",
       "INSERT INTO inst1.stock VALUES (1, 5)", "COMMIT"});
  TfmTableStru w;
  w.chooseTable("INST1", "STOCK");
  w.pcTable->setCurrentWidget(w.tabData);
  ASSERT_EQ(w.quData.recordCount(), 1);
  const int qty = w.quData.fieldIndex("QTY");

  // Work of another window on the same session, not yet committed.
  nuvo::db::Query pending(&main_->osOracle);
  pending.setSql("INSERT INTO inst1.parts VALUES (42)");
  pending.execute();
  w.quData.edit(0);
  w.quData.setValue(qty, 6);
  w.navCancel->trigger();
  EXPECT_TRUE(committed("SELECT part_no FROM inst1.parts WHERE part_no = 42").isEmpty());
  EXPECT_EQ(committed("SELECT qty FROM inst1.stock"), (QStringList{"5"}));
  main_->osOracle.rollback();

  // A quantity below zero passes the statement and fails at commit: the row is not kept.
  ASSERT_TRUE(w.dsData->setData(w.dsData->index(0, qty), -1));
  ASSERT_EQ(messages_->texts().size(), 1);
  EXPECT_TRUE(lastMessage().contains("ORA-02091")) << lastMessage().toStdString();
  EXPECT_TRUE(lastMessage().contains("STOCK_QTY_CK")) << lastMessage().toStdString();
  EXPECT_EQ(committed("SELECT qty FROM inst1.stock"), (QStringList{"5"}));
  EXPECT_EQ(values(w.quData, "QTY"), (QStringList{"5"}));

  ASSERT_TRUE(w.dsData->setData(w.dsData->index(0, qty), 7));
  EXPECT_EQ(committed("SELECT qty FROM inst1.stock"), (QStringList{"7"}));
  EXPECT_EQ(messages_->texts().size(), 1);
}

// Against a second database reached over a link: its owner holds a table of the same name as a
// local one, with other columns and rows.
TEST_F(TableData, OverALinkTheDataPageReadsTheRemoteRowsAndWritesNothing) {
  sys({"CREATE USER remo IDENTIFIED BY remo", "CREATE TABLE remo.orders (local_only NUMBER)",
       "INSERT INTO remo.orders VALUES (1)", "COMMIT",
       "CREATE PUBLIC DATABASE LINK remo_link CONNECT TO remo IDENTIFIED BY remo USING 'REMO'"});
  auto remote = addDatabase("REMO");
  auto sys = remote->logOn("SYS", "SYS", true);
  for (const char* statement :
       {"CREATE USER remo IDENTIFIED BY remo", "GRANT CREATE SESSION, CREATE TABLE, UNLIMITED TABLESPACE TO remo",
        "CREATE TABLE remo.orders (remote_id NUMBER(5), remote_name VARCHAR2(20))",
        "INSERT INTO remo.orders VALUES (1, 'far')", "INSERT INTO remo.orders VALUES (2, 'away')",
        "INSERT INTO remo.orders VALUES (3, 'Far')", "COMMIT"})
    sys->execute(statement);

  TfmTableStru w;
  w.cbDBLink->setCurrentText("REMO_LINK");
  ASSERT_EQ(w.cbUser->currentText(), "REMO");
  w.edTabela->setText("ORDERS");
  w.btStruClick();
  w.quTables.fetchAll();
  ASSERT_EQ(w.quTables.recordCount(), 1);
  w.pcTable->setCurrentWidget(w.TabColumns);
  w.quTables.setCurrentRow(0);
  w.pcTable->setCurrentWidget(w.tabData);
  EXPECT_EQ(w.quData.sql().value(0), "SELECT * FROM REMO.ORDERS@REMO_LINK XX");
  w.quData.fetchAll();
  EXPECT_EQ(values(w.quData, "REMOTE_NAME"), (QStringList{"far", "away", "Far"}));

  // Marked columns are read without alias or row identifier; the filter keeps its literal.
  w.pcTable->setCurrentWidget(w.TabColumns);
  w.toggleMark(int(column(*w.sgColumns, 1).indexOf("REMOTE_NAME")));
  w.pcTable->setCurrentWidget(w.tabData);
  EXPECT_EQ(w.quData.sql().value(0), "SELECT REMOTE_NAME FROM REMO.ORDERS@REMO_LINK XX");
  w.edFilter->setText("where remote_name like 'f%'");
  w.btWhereClick();
  w.quData.fetchAll();
  EXPECT_EQ(values(w.quData, "REMOTE_NAME"), (QStringList{"far"}));
  // By example too.
  w.edFilter->clear();
  w.btWhereClick();
  w.qbeEnterClick();
  w.sgDataQbe->setItem(0, 0, new QTableWidgetItem("%a%"));
  w.qbeRunClick();
  w.quData.fetchAll();
  EXPECT_EQ(values(w.quData, "REMOTE_NAME"), (QStringList{"far", "away", "Far"}));
  w.sgDataQbe->setItem(0, 0, new QTableWidgetItem("F%"));
  w.qbeRunClick();
  w.quData.fetchAll();
  EXPECT_EQ(values(w.quData, "REMOTE_NAME"), (QStringList{"Far"}));

  // Rows over a link carry no row identifier: the grid changes nothing, here or there.
  EXPECT_FALSE(w.quData.canModify());
  EXPECT_FALSE(w.dsData->setData(w.dsData->index(0, 0), "near"));
  w.navInsert->trigger();
  w.navDelete->trigger();
  EXPECT_EQ(w.quData.recordCount(), 1);
  auto check = remote->logOn("SYS", "SYS", true);
  auto rows = check->prepare("SELECT COUNT(*) FROM remo.orders WHERE remote_name IN ('far', 'away', 'Far')");
  rows->execute();
  ASSERT_TRUE(rows->next());
  EXPECT_EQ(rows->value(0).asInteger(), 3);
  EXPECT_EQ(committed("SELECT local_only FROM remo.orders"), (QStringList{"1"}));
}

}  // namespace
