// The windows of disabled foreign keys and triggers against a seeded database: the rows that break
// a two-column key, enabling it, and switching triggers without touching the wrong ones.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "admin/disabled.h"
#include "admin/disabled_logic.h"
#include "db/query.h"
#include "qstring_print.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell_test_support.h"

namespace {

using nuvo::admin::ForeignKey;

TEST(ViolatingRowsQuery, PairsTheKeyColumnsByPositionAndTestsEachForNull) {
  const struct {
    ForeignKey key;
    const char* query;
  } cases[] = {
      {{"O", "CHILD", "FK", {"PID"}, "O", "PARENT", {"ID"}},
       "select * from \"O\".\"CHILD\" tbl  where \"PID\"  is not null and not exists   (select * from "
       "\"O\".\"PARENT\" where  \"ID\"=tbl.\"PID\")"},
      {{"O", "C", "FK", {"A1", "A2"}, "P", "PT", {"K1", "K2"}},
       "select * from \"O\".\"C\" tbl  where \"A1\"  is not null and \"A2\"  is not null and not exists   (select * "
       "from \"P\".\"PT\" where  \"K1\"=tbl.\"A1\" and \"K2\"=tbl.\"A2\")"},
      // No referenced key found, or keys that do not pair: no query rather than a wrong one.
      {{"O", "C", "FK", {"A1"}, "", "", {}}, ""},
      {{"O", "C", "FK", {"A1", "A2"}, "O", "PT", {"K1"}}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(nuvo::admin::violatingRowsQuery(c.key), QString::fromUtf8(c.query));
}

TEST(TriggerStatements, AlterStopsAtTheFirstFailure) {
  EXPECT_EQ(nuvo::admin::alterTriggerStatement("O", "TRG", true), "alter trigger \"O\".\"TRG\" ENABLE");
  EXPECT_EQ(nuvo::admin::alterTriggerStatement("O", "TRG", false), "alter trigger \"O\".\"TRG\" DISABLE");
  QStringList run;
  EXPECT_THROW(nuvo::admin::alterTriggers({{"O", "A"}, {"O", "B"}, {"O", "C"}}, true,
                                          [&run](const QString& statement) {
                                            run << statement;
                                            if (statement.contains("\"B\"")) throw std::runtime_error("fails");
                                          }),
               std::runtime_error);
  EXPECT_EQ(run.size(), 2);
}

class DisabledWindows : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    // The parent's key columns are declared in the other order than the table's columns.
    sys({"CREATE USER dis IDENTIFIED BY dis", "GRANT CREATE SESSION TO dis",
         "CREATE TABLE dis.parent (k2 NUMBER, k1 NUMBER, CONSTRAINT parent_pk PRIMARY KEY (k1, k2))",
         "CREATE TABLE dis.child (id NUMBER, a1 NUMBER, a2 NUMBER, CONSTRAINT child_fk FOREIGN KEY (a1, a2) "
         "REFERENCES dis.parent (k1, k2))",
         "INSERT INTO dis.parent (k1, k2) VALUES (1, 2)", "INSERT INTO dis.child VALUES (1, 1, 2)",
         "ALTER TABLE dis.child DISABLE CONSTRAINT child_fk",
         // (2, 1) has no parent although (1, 2) has one; a NULL in the key is never checked.
         "INSERT INTO dis.child VALUES (2, 2, 1)", "INSERT INTO dis.child VALUES (3, NULL, 5)",
         "INSERT INTO dis.child VALUES (4, 1, 9)",
         "CREATE TABLE dis.tt (a NUMBER)",
         "CREATE OR REPLACE TRIGGER dis.tt_a BEFORE INSERT ON dis.tt FOR EACH ROW BEGIN :new.a := 1; END;",
         "CREATE OR REPLACE TRIGGER dis.tt_b BEFORE UPDATE ON dis.tt FOR EACH ROW BEGIN :new.a := 2; END;",
         "ALTER TRIGGER dis.tt_a DISABLE", "ALTER TRIGGER dis.tt_b DISABLE",
         "CREATE USER dis2 IDENTIFIED BY dis2", "CREATE TABLE dis2.tt (a NUMBER)",
         "CREATE OR REPLACE TRIGGER dis2.tt_a BEFORE INSERT ON dis2.tt FOR EACH ROW BEGIN :new.a := 1; END;",
         "ALTER TRIGGER dis2.tt_a DISABLE"});
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("SYSTEM", "SYSTEM", "DEMO");
    main_->connUser = QStringLiteral("SYSTEM");
    main_->currOwner = QStringLiteral("DIS");
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }
  QString scalar(const QString& sql) {
    nuvo::db::Query q(&main_->osOracle);
    q.setSql(sql);
    q.execute();
    return q.eof() ? QString() : q.field(0).asString();
  }
  static QStringList column(nuvo::db::Dataset& dataset, const char* field) {
    dataset.fetchAll();
    QStringList values;
    for (int row = 0; row < dataset.recordCount(); ++row) values << dataset.value(row, field).toString();
    values.sort();
    return values;
  }
  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

TEST_F(DisabledWindows, ViolatingRowsOfATwoColumnKeyAndEnabling) {
  TfmDisRef w(main_.get());
  EXPECT_EQ(w.edUser->text(), "DIS");
  EXPECT_EQ(column(w.quConsNap, "CONSTRAINT_NAME"), QStringList{"CHILD_FK"});
  EXPECT_EQ(w.laTabela->text(), "DIS.CHILD");
  EXPECT_EQ(w.laKolone->text(), " A1 A2 ");
  EXPECT_EQ(w.currentKey().parentColumns, (QStringList{"K1", "K2"}));
  w.btNapakeClick();
  EXPECT_TRUE(w.dbgNapake->isVisibleTo(&w));
  EXPECT_EQ(column(w.quNapake, "ID"), (QStringList{"2", "4"}));
  w.spCaptureClick();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), w.queryText());

  // Enabling fails while rows break the key; the key stays listed. The owner typed since does not
  // redirect the statement.
  w.edUser->setText("DIS2");
  w.btEnableClick();
  ASSERT_EQ(messages_->texts().size(), 1);
  EXPECT_TRUE(messages_->texts()[0].startsWith("ORA-02298")) << messages_->texts()[0].toStdString();
  EXPECT_EQ(w.laStat->text(), "");
  scalar("delete from dis.child where id in (2, 4)");
  w.edUser->setText("DIS");
  w.btRefrNapClick();
  w.btEnableClick();
  EXPECT_EQ(scalar("select status from all_constraints where owner = 'DIS' and constraint_name = 'CHILD_FK'"),
            "ENABLED");
  EXPECT_EQ(w.quConsNap.recordCount(), 0);
  EXPECT_EQ(w.queryText(), "");
}

TEST_F(DisabledWindows, KeysOfTheDialogNeverSwitchTriggers) {
  TfmDisTrigg w(main_.get());
  EXPECT_EQ(w.edOwner->text(), "DIS");
  w.btRefreshClick();
  EXPECT_EQ(column(w.quTrigg, "TRIGGER_NAME"), (QStringList{"TT_A", "TT_B"}));
  w.cbAll->setChecked(true);
  w.show();
  QTest::keyClick(w.edOwner, Qt::Key_Return);
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_EQ(scalar("select count(*) from all_triggers where owner = 'DIS' and status = 'DISABLED'"), "2");
}

TEST_F(DisabledWindows, EnableOneOrAllListedTriggersOfTheListedOwner) {
  // As the owner: the embedded server grants no ALTER ANY TRIGGER yet, so an ALTER aimed at the
  // typed owner DIS2 would fail here.
  main_->osOracle.logOff();
  main_->osOracle.logOn("DIS", "DIS", "DEMO");
  TfmDisTrigg w(main_.get());
  w.btRefreshClick();
  w.edOwner->setText("DIS2");  // typed, not listed
  w.quTrigg.fetchAll();
  for (int row = 0; row < w.quTrigg.recordCount(); ++row)
    if (w.quTrigg.value(row, "TRIGGER_NAME").toString() == "TT_A") w.quTrigg.setCurrentRow(row);
  w.btEnableClick();
  EXPECT_EQ(scalar("select status from all_triggers where owner = 'DIS' and trigger_name = 'TT_A'"), "ENABLED");
  EXPECT_EQ(w.quTrigg.recordCount(), 2);  // one trigger: the list is not read again
  w.edOwner->setText("DIS");
  w.btRefreshClick();
  w.cbAll->setChecked(true);
  w.btEnableClick();
  EXPECT_EQ(scalar("select count(*) from all_triggers where owner = 'DIS' and status = 'DISABLED'"), "0");
  EXPECT_EQ(w.quTrigg.recordCount(), 0);
  w.cbShowMemo->setChecked(true);
  w.rbEnabled->setChecked(true);
  w.btRefreshClick();
  EXPECT_TRUE(w.DBMemo->toPlainText().contains(":new.a")) << w.DBMemo->toPlainText().toStdString();
}

}  // namespace
