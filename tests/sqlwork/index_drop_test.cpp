// The index-drop utility against a seeded database: which indexes it lists, that it drops each by
// the owner it was listed with, and that it stops at the first index the server refuses.

#include <QLineEdit>
#include <QStackedWidget>
#include <gtest/gtest.h>

#include <memory>

#include "db/error.h"
#include "db/query.h"
#include "qstring_print.h"
#include "shell/Main.h"
#include "shell_test_support.h"
#include "sqlwork/index_drop_logic.h"
#include "sqlwork/sqlUtl.h"

namespace {

class IndexDrop : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE USER idx IDENTIFIED BY idx", "CREATE USER idx2 IDENTIFIED BY idx2",
         "CREATE TABLE idx.t1 (id NUMBER CONSTRAINT t1_pk PRIMARY KEY, a NUMBER, b NUMBER, u NUMBER CONSTRAINT t1_uk "
         "UNIQUE)",
         "CREATE INDEX idx.idx_a ON idx.t1 (a)", "CREATE INDEX idx.idx_b ON idx.t1 (b)",
         "CREATE TABLE idx.t2 (x NUMBER, y NUMBER)", "CREATE INDEX idx.ix_t2 ON idx.t2 (x)",
         "CREATE INDEX idx.\"idx low\" ON idx.t2 (y)",
         "CREATE TABLE idx2.t1 (a NUMBER)", "CREATE INDEX idx2.idx_a ON idx2.t1 (a)"});
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("SYSTEM", "SYSTEM", "DEMO");
    main_->connUser = QStringLiteral("IDX");
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }
  // "OWNER.INDEX" of every index of the two users, sorted.
  QStringList indexes() {
    nuvo::db::Query q(&main_->osOracle);
    q.setSql(QStringLiteral("select owner || '.' || index_name from all_indexes where owner in ('IDX', 'IDX2') "
                            "order by 1"));
    QStringList names;
    for (q.execute(); !q.eof(); q.next()) names << q.field(0).asString();
    return names;
  }
  static QStringList listed(nuvo::db::Dataset& list) {
    list.fetchAll();
    QStringList rows;
    for (int row = 0; row < list.recordCount(); ++row)
      rows << list.value(row, "TABLE_NAME").toString() + u' ' + list.value(row, "INDEX_NAME").toString();
    return rows;
  }
  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

TEST_F(IndexDrop, ListsTheIndexesWithoutAConstraintByPrefixes) {
  auto* w = new TfmSQLUtl(main_.get());
  EXPECT_EQ(w->pcSQLUtil->currentWidget(), w->tabNull);
  w->mmDropindexesClick();
  EXPECT_EQ(w->pcSQLUtil->currentWidget(), w->tabDropIndexes);
  EXPECT_EQ(w->edOwner->text(), "IDX");
  const struct {
    const char* owner;
    const char* index;
    const char* table;
    QStringList expected;
  } cases[] = {
      // The key indexes T1_PK and T1_UK are not listed.
      {"IDX", "", "", {"T1 IDX_A", "T1 IDX_B", "T2 IX_T2", "T2 idx low"}},
      {"IDX", "IDX", "", {"T1 IDX_A", "T1 IDX_B"}},
      {"IDX", "", "T2", {"T2 IX_T2", "T2 idx low"}},
      {"IDX", "idx", "", {"T2 idx low"}},
      {"", "IDX_A", "", {"T1 IDX_A", "T1 IDX_A"}},
      {"NOBODY", "", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.owner) + "/" + c.index + "/" + c.table);
    w->edOwner->setText(c.owner);
    w->edIdxFilter->setText(c.index);
    w->edTabFilter->setText(c.table);
    w->btRefreshClick();
    EXPECT_EQ(listed(w->quDropIndexes), c.expected);
  }
  w->close();
}

TEST_F(IndexDrop, DropsTheListedIndexesOfTheListedOwnerOnly) {
  TfmSQLUtl w(main_.get());
  w.setAttribute(Qt::WA_DeleteOnClose, false);
  w.btRefreshClick();
  // No: nothing is dropped.
  w.btDropClick();
  EXPECT_EQ(messages_->texts(), QStringList{"Are you sure"});
  EXPECT_EQ(indexes().size(), 7);
  // An owner typed after listing does not redirect the drop.
  w.edOwner->setText("IDX2");
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w.btDropClick();
  EXPECT_EQ(indexes(), (QStringList{"IDX.T1_PK", "IDX.T1_UK", "IDX2.IDX_A"}));
  EXPECT_EQ(messages_->texts().size(), 2);
  // The list is not read again: dropping it once more fails at its first index and stops.
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w.btDropClick();
  ASSERT_EQ(messages_->texts().size(), 4);
  EXPECT_TRUE(messages_->texts()[3].startsWith("ERROR ON DELETING INDEX :IDX_A\n\nORA-01418"))
      << messages_->texts()[3].toStdString();
}

TEST_F(IndexDrop, AListOfEveryOwnerIsNotDropped) {
  TfmSQLUtl w(main_.get());
  w.setAttribute(Qt::WA_DeleteOnClose, false);
  w.edOwner->setText("");
  w.edIdxFilter->setText("IDX_A");
  w.btRefreshClick();
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w.btDropClick();
  ASSERT_EQ(messages_->texts().size(), 2);
  EXPECT_TRUE(messages_->texts()[1].startsWith("ERROR ON DELETING INDEX :IDX_A")) << messages_->texts()[1].toStdString();
  EXPECT_EQ(indexes().size(), 7);
}

TEST_F(IndexDrop, AnIndexThatEnforcesAKeyIsRefusedAndTheDropStopsThere) {
  QStringList run;
  const auto outcome = nuvo::sqlwork::dropIndexes(
      {{"IDX", "T2", "IX_T2"}, {"IDX", "T1", "T1_PK"}, {"IDX", "T1", "IDX_B"}}, [&](const QString& statement) {
        run << statement;
        nuvo::db::Query drop(&main_->osOracle);
        drop.setSql(statement);
        drop.execute();
      });
  EXPECT_EQ(run, (QStringList{"drop index \"IDX\".\"IX_T2\"", "drop index \"IDX\".\"T1_PK\""}));
  EXPECT_EQ(outcome.dropped, 1);
  EXPECT_EQ(outcome.failedIndex, "T1_PK");
  EXPECT_TRUE(outcome.error.startsWith("ORA-02429")) << outcome.error.toStdString();
  const QStringList left = indexes();
  EXPECT_FALSE(left.contains("IDX.IX_T2"));
  EXPECT_TRUE(left.contains("IDX.T1_PK"));
  EXPECT_TRUE(left.contains("IDX.IDX_B"));
}

}  // namespace
