// The table-structure window against a seeded database: two installation schemas whose names share
// a prefix and hold tables of the same name, and a second database reached over a link whose user
// is named like a local schema.

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "qstring_print.h"
#include "schema/structure_logic.h"
#include "engine/engine.h"
#include "schema/tabStru.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell_test_support.h"

namespace {

using nuvo::schema::ColumnInfo;

TEST(StructureOwners, InstallationSchemasFirstThenTheOthersOnce) {
  const QStringList users{"ALPHA", "kade", "HVK", "ZED", "Nuvo_Util"};
  EXPECT_EQ(nuvo::schema::ownerList(users),
            (QStringList{"KADE", "ZOZURO", "VELMORA_PRENOS", "NUVO_SERVIS", "NUVO_UTIL", "NUVO_AUDIT", "HVK", "ALPHA",
                         "ZED"}));
}

TEST(StructureOverLink, DictionaryViewsAreReadOverTheLink) {
  const struct {
    const char* statement;
    const char* link;
    const char* expected;
  } cases[] = {
      {"select * from ALL_TABLES where x=1", "", "select * from ALL_TABLES where x=1"},
      {"select * from ALL_TABLES t , all_col_comments c", "REMO",
       "select * from ALL_TABLES@REMO t , all_col_comments@REMO c"},
      // Columns, names that merely contain a view's name, and views already over a link stay as they are.
      {"select all_tables_x, my_all_tables from dba_users@OTHER", "REMO",
       "select all_tables_x, my_all_tables from dba_users@OTHER"},
      {"SELECT c.* FROM\nALL_TAB_COLUMNS c LEFT JOIN ALL_COL_COMMENTS m ON m.x = c.x", "L",
       "SELECT c.* FROM\nALL_TAB_COLUMNS@L c LEFT JOIN ALL_COL_COMMENTS@L m ON m.x = c.x"},
      {"select * from USER_INDEXES", "REMO.WORLD", "select * from USER_INDEXES@REMO.WORLD"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nuvo::schema::overLink(c.statement, c.link), QString(c.expected)) << c.statement;
  for (const char* bad : {"REMO x", "REMO;drop table t", "1REMO", "REMO--", "\"REMO\""})
    EXPECT_THROW(nuvo::schema::overLink("select * from all_tables", bad), std::invalid_argument) << bad;
}

TEST(StructureDdl, IdentifiersAreQuoted) {
  EXPECT_EQ(nuvo::schema::qualified("KADE", "Line item"), "\"KADE\".\"Line item\"");
  EXPECT_EQ(nuvo::schema::quoted("A\"B"), "\"A\"\"B\"");
  EXPECT_TRUE(nuvo::schema::schemaChangesAllowed(""));
  EXPECT_FALSE(nuvo::schema::schemaChangesAllowed("REMO"));
}

TEST(StructureColumns, NumbersShowPrecisionAndScaleOthersLengthAndPrecision) {
  ColumnInfo number{"AMOUNT", "NUMBER", 22, 12, 2, "Y", "Sum", 3, "0"};
  ColumnInfo text{"NAME", "VARCHAR2", 40, QVariant(), QVariant(), "N", "", 1, ""};
  EXPECT_EQ(nuvo::schema::columnCells(number, true), (QStringList{"+", "AMOUNT", "NUMBER", "12", "2", "Y", "Sum", "3", "0"}));
  EXPECT_EQ(nuvo::schema::columnCells(text, false), (QStringList{" ", "NAME", "VARCHAR2", "40", "", "N", "", "1", ""}));
}

TEST(StructureColumns, SortedByTheChosenColumnThenColumnId) {
  const QList<ColumnInfo> columns{{"C", "NUMBER", 22, 5, 0, "Y", "", 1, ""},
                                  {"A", "DATE", 7, QVariant(), QVariant(), "N", "", 2, ""},
                                  {"B", "VARCHAR2", 100, QVariant(), QVariant(), "Y", "", 3, ""}};
  const struct {
    const char* order;
    QStringList names;
  } cases[] = {
      {"COLUMN_NAME", {"A", "B", "C"}}, {"COLUMN_ID", {"C", "A", "B"}}, {"DATA_LENGTH", {"A", "C", "B"}},
      {"DATA_TYPE", {"A", "C", "B"}},   {"NULLABLE", {"A", "C", "B"}},
  };
  for (const auto& c : cases) {
    QStringList names;
    for (const auto& column : nuvo::schema::sortedColumns(columns, c.order)) names << column.name;
    EXPECT_EQ(names, c.names) << c.order;
  }
}

TEST(StructureConstraints, KeysChecksAndReferencesAsRows) {
  using nuvo::schema::Constraint;
  const QList<Constraint> constraints{
      {"O", "T_PK", "P", "", "", "", "", "ENABLED", {"K1", "K2"}},
      {"O", "T_FK", "R", "O", "P_PK", "CASCADE", "", "DISABLED", {"A1", "A2"}},
      {"O", "T_CK", "C", "", "", "", "x > 0", "ENABLED", {"X"}},
      {"O", "T_UK", "U", "", "", "", "", "ENABLED", {"CODE"}},
  };
  EXPECT_EQ(nuvo::schema::constraintRows(constraints),
            (QList<QStringList>{{"T_PK", "K1,K2", "PK", "ENABLED"},
                                {"T_FK", "P_PK  -  A1", "Ref.", "DISABLED"},
                                {"T_FK", "P_PK  -  A2", "Ref.", "DISABLED"},
                                {"T_CK", "x > 0", "Cons.", "ENABLED"},
                                {"T_UK", "  -  CODE", "U", "ENABLED"}}));
}

TEST(StructureDdl, StatementsNameTheObjectQuoted) {
  EXPECT_EQ(nuvo::schema::dropIndexStatement("INST12", "ORD IX"), "drop index \"INST12\".\"ORD IX\"");
  EXPECT_EQ(nuvo::schema::dropConstraintStatement("O", "T", "C"), "alter table \"O\".\"T\" drop constraint \"C\"");
  EXPECT_EQ(nuvo::schema::switchConstraintStatement("O", "T", "C", false),
            "alter table \"O\".\"T\" disable constraint \"C\"");
  EXPECT_EQ(nuvo::schema::switchTriggerStatement("O", "TRG", true), "alter trigger \"O\".\"TRG\" enable");
}

class Structures : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE USER inst1 IDENTIFIED BY inst1", "CREATE USER inst12 IDENTIFIED BY inst12",
         // The window's session changes other schemas.
         "GRANT DROP ANY INDEX, ALTER ANY TABLE, ALTER ANY TRIGGER TO system",
         "CREATE TABLE inst1.orders (id NUMBER(9) PRIMARY KEY, note VARCHAR2(40))",
         "CREATE TABLE inst12.orders (id NUMBER(9) PRIMARY KEY, amount NUMBER(12,2), created DATE)",
         "COMMENT ON COLUMN inst12.orders.amount IS 'Sum due'",
         "CREATE TABLE inst1.items (id NUMBER)",
         "CREATE INDEX inst1.ord_ix ON inst1.orders (note)", "CREATE INDEX inst12.ord_ix ON inst12.orders (amount, created)",
         "CREATE TABLE inst12.lines (id NUMBER CONSTRAINT lines_pk PRIMARY KEY, ord NUMBER CONSTRAINT lines_ord_fk "
         "REFERENCES inst12.orders, up NUMBER CONSTRAINT lines_up_fk REFERENCES inst12.lines, "
         "CONSTRAINT lines_ck CHECK (id > 0))",
         "CREATE OR REPLACE TRIGGER inst12.lines_trg BEFORE INSERT ON inst12.lines FOR EACH ROW BEGIN NULL; END;",
         "CREATE VIEW inst12.big_orders AS SELECT id FROM inst12.orders WHERE amount > 100",
         // Names the table only inside a longer name.
         "CREATE TABLE inst12.xorders (id NUMBER)", "CREATE VIEW inst12.old_orders AS SELECT id FROM inst12.xorders",
         // The link's user exists here too, with a table of the same name.
         "CREATE USER remo IDENTIFIED BY remo", "CREATE TABLE remo.orders (local_only NUMBER)",
         "CREATE PUBLIC DATABASE LINK remo_link CONNECT TO remo IDENTIFIED BY remo USING 'REMO'"});
    auto remote = addDatabase("REMO");
    auto sys = remote->logOn("SYS", "SYS", true);
    for (const char* statement :
         {"CREATE USER remo IDENTIFIED BY remo", "GRANT CREATE SESSION, CREATE TABLE, UNLIMITED TABLESPACE TO remo",
          "CREATE TABLE remo.orders (remote_id NUMBER(5), remote_name VARCHAR2(20))",
          "CREATE INDEX remo.ord_ix ON remo.orders (remote_id)", "COMMIT"})
      sys->execute(statement);
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("SYSTEM", "SYSTEM", "DEMO");
    main_->currOwner = "inst1";
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }
  static QStringList column(const QTableWidget& grid, int c) {
    QStringList out;
    for (int r = 0; r < grid.rowCount(); ++r) out << (grid.item(r, c) ? grid.item(r, c)->text() : QString());
    return out;
  }
  static QStringList tables(const nuvo::db::Dataset& dataset) {
    QStringList out;
    for (int r = 0; r < dataset.recordCount(); ++r)
      out << dataset.value(r, "OWNER").toString() + u'.' + dataset.value(r, "TABLE_NAME").toString();
    return out;
  }
  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

TEST_F(Structures, OwnersAndLinksAreOfferedAndTheOwnerBoxStartsAtTheCurrentOwner) {
  TfmTableStru w;
  EXPECT_EQ(w.cbUser->itemText(0), "KADE");
  EXPECT_EQ(w.cbUser->currentText(), "INST1");
  EXPECT_GE(w.cbUser->findText("INST12"), 7);
  EXPECT_EQ(w.cbDBLink->itemText(0), "");
  EXPECT_GE(w.cbDBLink->findText("REMO_LINK"), 1);
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
}

TEST_F(Structures, PagesReadTheOwnerOfTheChosenRowNotTheOwnerPattern) {
  TfmTableStru w;
  w.cbUser->setCurrentText("INST1");
  w.edTabela->setText("ORD");
  w.btStruClick();
  w.quTables.fetchAll();
  // The owner box is a prefix: both installations' ORDERS are listed.
  EXPECT_EQ(tables(w.quTables), (QStringList{"INST1.ORDERS", "INST12.ORDERS"}));
  w.pcTable->setCurrentWidget(w.TabColumns);
  w.quTables.setCurrentRow(1);
  EXPECT_EQ(w.currOwner(), "INST12");
  EXPECT_EQ(w.currTableName(), "ORDERS");
  EXPECT_EQ(column(*w.sgColumns, 1), (QStringList{"ID", "AMOUNT", "CREATED"}));
  EXPECT_EQ(column(*w.sgColumns, 6), (QStringList{"", "Sum due", ""}));
  EXPECT_EQ(column(*w.sgColumns, 3), (QStringList{"9", "12", "7"}));
  EXPECT_EQ(column(*w.sgColumns, 4), (QStringList{"0", "2", ""}));
  // Another order reloads the page at once.
  w.cbColOrder->setCurrentText("Column_name");
  EXPECT_EQ(column(*w.sgColumns, 1), (QStringList{"AMOUNT", "CREATED", "ID"}));
  w.quTables.setCurrentRow(0);
  EXPECT_EQ(column(*w.sgColumns, 1), (QStringList{"ID", "NOTE"}));
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
}

TEST_F(Structures, ColumnSearchListsMatchingColumnsAndChoosesTheirTable) {
  TfmTableStru w;
  w.cbCol->setChecked(true);
  w.cbUser->setCurrentText("INST");
  w.edKolona->setText("AM");
  w.btStruClick();
  w.quColumns.fetchAll();
  ASSERT_EQ(w.quColumns.recordCount(), 1);
  EXPECT_EQ(w.quColumns.value(0, "COLUMN_NAME").toString(), "AMOUNT");
  EXPECT_TRUE(w.dbgKolone->isVisibleTo(&w));
  EXPECT_FALSE(w.dbgTables->isVisibleTo(&w));
  w.quColumns.setCurrentRow(0);
  EXPECT_EQ(w.currOwner(), "INST12");
}

TEST_F(Structures, OverALinkTheOtherDatabaseIsBrowsedAsTheLinkUser) {
  TfmTableStru w;
  w.cbDBLink->setCurrentText("REMO_LINK");
  EXPECT_EQ(w.cbUser->currentText(), "REMO");
  w.edTabela->setText("ORDERS");
  w.btStruClick();
  w.quTables.fetchAll();
  EXPECT_EQ(tables(w.quTables), (QStringList{"REMO.ORDERS"}));
  w.pcTable->setCurrentWidget(w.TabColumns);
  w.quTables.setCurrentRow(0);
  // The remote table's columns, not those of the local table of the same owner and name.
  EXPECT_EQ(column(*w.sgColumns, 1), (QStringList{"REMOTE_ID", "REMOTE_NAME"}));
  // Back without a link the same owner and table are the local ones.
  w.cbDBLink->setCurrentText("");
  w.btRefreshClick();
  EXPECT_EQ(column(*w.sgColumns, 1), (QStringList{"LOCAL_ONLY"}));
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
}

TEST_F(Structures, PagesShowIndexesConstraintsTriggersReferencesAndViewsOfTheChosenTable) {
  TfmTableStru w;
  w.chooseTable("INST12", "LINES");
  w.pcTable->setCurrentWidget(w.tabConstr);
  EXPECT_EQ(column(*w.sgConstraint, 0), (QStringList{"LINES_CK", "LINES_PK", "LINES_ORD_FK", "LINES_UP_FK"}));
  EXPECT_EQ(column(*w.sgConstraint, 2), (QStringList{"Cons.", "PK", "Ref.", "Ref."}));
  w.pcTable->setCurrentWidget(w.tabTrigg);
  w.quTrigg.fetchAll();
  ASSERT_EQ(w.quTrigg.recordCount(), 1);
  EXPECT_EQ(w.quTrigg.value(0, "TRIGGER_NAME").toString(), "LINES_TRG");
  // The table references itself: shown once, marked, and not followed.
  w.pcTable->setCurrentWidget(w.tabRef);
  QStringList refs;
  for (int i = 0; i < w.tvRef->topLevelItemCount(); ++i) {
    refs << w.tvRef->topLevelItem(i)->text(0);
    EXPECT_EQ(w.tvRef->topLevelItem(i)->childCount(), 0);
  }
  refs.sort();
  ASSERT_EQ(refs.size(), 2);
  EXPECT_TRUE(refs[0].startsWith("  ")) << refs[0].toStdString();  // ORDERS, shown first here
  EXPECT_TRUE(refs[1].startsWith("* ")) << refs[1].toStdString();  // LINES itself
  w.chooseTable("INST12", "ORDERS");
  w.pcTable->setCurrentWidget(w.tabIndexs);
  const int ordIx = column(*w.sgIndex, 0).indexOf("ORD_IX");
  ASSERT_GE(ordIx, 0);
  EXPECT_EQ(column(*w.sgIndex, 1)[ordIx], "AMOUNT, CREATED");
  w.pcTable->setCurrentWidget(w.tabDep);
  ASSERT_EQ(w.tvDep->topLevelItemCount(), 1);
  ASSERT_EQ(w.tvDep->topLevelItem(0)->childCount(), 1);
  EXPECT_EQ(w.tvDep->topLevelItem(0)->child(0)->text(0), "LINES");
  // Only the view that names the table as a whole word.
  w.pcTable->setCurrentWidget(w.tabView);
  w.quViews.fetchAll();
  ASSERT_EQ(w.quViews.recordCount(), 1);
  EXPECT_EQ(w.quViews.value(0, "VIEW_NAME").toString(), "BIG_ORDERS");
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
}

TEST_F(Structures, PopUpsChangeTheObjectOfTheChosenOwner) {
  TfmTableStru w;
  w.chooseTable("INST12", "ORDERS");
  w.pcTable->setCurrentWidget(w.tabIndexs);
  const int row = column(*w.sgIndex, 0).indexOf("ORD_IX");
  ASSERT_GE(row, 0);
  w.sgIndex->setCurrentCell(row, 0);
  w.pmDropClick();
  EXPECT_FALSE(column(*w.sgIndex, 0).contains("ORD_IX"));
  // The other installation's index of the same name is still there.
  w.chooseTable("INST1", "ORDERS");
  EXPECT_TRUE(column(*w.sgIndex, 0).contains("ORD_IX"));

  w.chooseTable("INST12", "LINES");
  w.pcTable->setCurrentWidget(w.tabConstr);
  const int fk = column(*w.sgConstraint, 0).indexOf("LINES_ORD_FK");
  w.sgConstraint->setCurrentCell(fk, 0);
  EXPECT_EQ(w.pmEnDis->text(), "Disable");
  w.pmEnDisClick();
  EXPECT_EQ(w.sgConstraint->item(fk, 3)->text(), "DISABLED");
  w.btRefreshClick();
  EXPECT_EQ(w.sgConstraint->item(column(*w.sgConstraint, 0).indexOf("LINES_ORD_FK"), 3)->text(), "DISABLED");
  w.pcTable->setCurrentWidget(w.tabTrigg);
  w.quTrigg.setCurrentRow(0);
  w.mmDisableTriggerClick();
  EXPECT_EQ(w.quTrigg.value(0, "STATUS").toString(), "DISABLED");
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
}

TEST_F(Structures, OverALinkNoPopUpChangesTheLocalObjectOfTheSameName) {
  sys({"CREATE INDEX remo.ord_ix ON remo.orders (local_only)"});
  TfmTableStru w;
  w.cbDBLink->setCurrentText("REMO_LINK");
  // The pages that read only the local dictionary are hidden.
  for (QWidget* page : {w.tabConstr, w.tabDep, w.tabRef, w.tabView})
    EXPECT_FALSE(w.pcTable->isTabVisible(w.pcTable->indexOf(page))) << page->objectName().toStdString();
  for (QAction* action : {w.pmDrop, w.pmDelete, w.pmEnDis, w.mmDisableTrigger, w.mmEnableTrigger})
    EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
  w.chooseTable("REMO", "ORDERS");
  w.pcTable->setCurrentWidget(w.tabIndexs);
  // The remote index is listed; dropping it all the same (a shortcut) runs nothing here.
  EXPECT_EQ(column(*w.sgIndex, 0), (QStringList{"ORD_IX"}));
  EXPECT_EQ(column(*w.sgIndex, 1), (QStringList{"REMOTE_ID"}));
  w.sgIndex->setCurrentCell(0, 0);
  w.pmDropClick();
  w.cbDBLink->setCurrentText("");
  for (QAction* action : {w.pmDrop, w.pmDelete, w.mmDisableTrigger}) EXPECT_TRUE(action->isEnabled());
  w.chooseTable("REMO", "ORDERS");
  w.btRefreshClick();
  EXPECT_EQ(column(*w.sgIndex, 0), (QStringList{"ORD_IX"}));
  EXPECT_EQ(column(*w.sgIndex, 1), (QStringList{"LOCAL_ONLY"}));
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
}

TEST_F(Structures, ALinkNameThatIsNoNameIsRefusedWithAMessage) {
  TfmTableStru w;
  w.cbDBLink->setCurrentText("REMO_LINK x");
  w.btStru->click();
  ASSERT_EQ(messages_->texts().size(), 1);
  EXPECT_TRUE(messages_->texts()[0].contains("REMO_LINK x")) << messages_->texts()[0].toStdString();
}

}  // namespace
