#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>

#include "db/dataset.h"
#include "db/query.h"
#include "engine/engine.h"
#include "support/temp_env.h"
#include "widgets/dataset_model.h"

namespace nuvo::widgets {
namespace {

using nuvo::db::Dataset;
using nuvo::db::Query;
using Role = DatasetModel::Role;

// Fails the test when the model tester reported a broken model contract.
class ModelTesterFailures {
 public:
  ModelTesterFailures() {
    count() = 0;
    previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
      if (context.category && QByteArray(context.category) == "qt.modeltest" && text.contains("FAIL")) ++count();
    });
  }
  ~ModelTesterFailures() {
    qInstallMessageHandler(previous_);
    EXPECT_EQ(count(), 0) << "the model tester found faults";
  }

 private:
  static int& count() {
    static int failures = 0;
    return failures;
  }
  QtMessageHandler previous_;
};

class DatasetModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = nuvo::test::makeTempDir("model") + "/DB";
    engine::CreateOptions options;
    options.durable = false;
    engine::Database::create(dir, options);
    session.logOn("SYSTEM", "SYSTEM", QString::fromStdString(dir));
    exec("CREATE TABLE t (id NUMBER(10) NOT NULL, name VARCHAR2(20))");
    exec("INSERT INTO t VALUES (1, 'a')");
    exec("INSERT INTO t VALUES (2, NULL)");
    exec("INSERT INTO t VALUES (3, 'c')");
    for (int i = 0; i < 6; ++i) exec("INSERT INTO t SELECT id + (SELECT MAX(id) FROM t), name FROM t");  // 192 rows
    session.commit();
    dataset.setSql("SELECT t.id, t.name, t.rowid FROM t ORDER BY t.id");
    dataset.setFetchSize(20);
  }

  void exec(const char* sql) {
    Query q(&session);
    q.setSql(sql);
    q.execute();
  }

  QString committedName(int id) {
    session.commit();
    Query q(&session);
    q.setSql(QStringLiteral("SELECT NVL(name, '<null>') FROM t WHERE id = %1").arg(id));
    q.execute();
    return q.field(0).asString();
  }

  nuvo::db::Session session;
  Dataset dataset{&session};
  DatasetModel model;
  QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Warning};
  ModelTesterFailures failures;
};

TEST_F(DatasetModelTest, ViewFetchesPacketsAsItScrolls) {
  model.setDataset(&dataset);
  dataset.open();
  EXPECT_EQ(model.rowCount(), 20);
  EXPECT_EQ(model.columnCount(), 3);
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "NAME");
  EXPECT_TRUE(model.canFetchMore());

  QTableView view;
  view.setModel(&model);
  view.resize(400, 300);
  view.show();
  for (int i = 0; i < 3; ++i) {
    view.scrollToBottom();
    QApplication::processEvents();
  }
  EXPECT_GT(model.rowCount(), 20);
  EXPECT_EQ(model.rowCount(), dataset.recordCount());
  while (model.canFetchMore()) model.fetchMore();
  EXPECT_EQ(model.rowCount(), 192);
  EXPECT_EQ(model.data(model.index(191, 0)).toString(), "192");
}

TEST_F(DatasetModelTest, OneFetchRequestReadsSeveralPacketsAndTellsTheViewOnce) {
  model.setDataset(&dataset);
  dataset.open();
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  model.fetchMore();
  // 192 small rows are read well within one request's time.
  EXPECT_EQ(model.rowCount(), 192);
  EXPECT_FALSE(model.canFetchMore());
  ASSERT_EQ(inserted.size(), 1);
  EXPECT_EQ(inserted[0][1].toInt(), 20);
  EXPECT_EQ(inserted[0][2].toInt(), 191);
}

TEST_F(DatasetModelTest, NullIsToldApartFromEmptyText) {
  model.setDataset(&dataset);
  dataset.open();
  const QModelIndex null = model.index(1, 1), text = model.index(0, 1);
  EXPECT_TRUE(model.data(null, Role::NullRole).toBool());
  EXPECT_FALSE(model.data(text, Role::NullRole).toBool());
  EXPECT_FALSE(model.data(null, Qt::EditRole).isValid());
  EXPECT_EQ(model.data(null).toString(), "");
  model.setNullText("(null)");
  EXPECT_EQ(model.data(null).toString(), "(null)");
  EXPECT_EQ(model.data(text).toString(), "a");
}

TEST_F(DatasetModelTest, SetDataPostsThroughTheDataset) {
  model.setDataset(&dataset);
  dataset.open();
  EXPECT_TRUE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);  // ROWID
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  ASSERT_TRUE(model.setData(model.index(0, 1), "edited"));
  EXPECT_FALSE(changed.isEmpty());
  EXPECT_EQ(model.data(model.index(0, 1)).toString(), "edited");
  EXPECT_EQ(committedName(1), "edited");
  EXPECT_FALSE(model.setData(model.index(0, 2), "x"));
}

TEST_F(DatasetModelTest, FailedPostIsReportedAndTheCellKeepsTheTableValue) {
  model.setDataset(&dataset);
  dataset.open();
  QSignalSpy errors(&model, &DatasetModel::errorOccurred);
  EXPECT_FALSE(model.setData(model.index(0, 0), QVariant()));  // id is NOT NULL
  ASSERT_EQ(errors.size(), 1);
  EXPECT_NE(errors[0][0].value<nuvo::db::Error>().code(), 0);
  EXPECT_EQ(model.data(model.index(0, 0)).toString(), "1");
  EXPECT_EQ(dataset.state(), Dataset::State::Browse);
}

TEST_F(DatasetModelTest, RowStatesFollowCachedEdits) {
  dataset.setCachedUpdates(true);
  model.setDataset(&dataset);
  dataset.open();
  using S = DatasetModel::RowState;
  ASSERT_TRUE(model.setData(model.index(2, 1), "x"));
  EXPECT_EQ(model.data(model.index(2, 0), Role::RowStateRole).value<S>(), S::Modified);
  EXPECT_EQ(model.headerData(2, Qt::Vertical, Role::RowStateRole).value<S>(), S::Modified);
  EXPECT_EQ(model.data(model.index(1, 0), Role::RowStateRole).value<S>(), S::Unchanged);

  const int fetched = model.rowCount();
  ASSERT_TRUE(model.insertRows(0, 1));
  EXPECT_EQ(model.rowCount(), fetched + 1);
  EXPECT_EQ(model.data(model.index(0, 0), Role::RowStateRole).value<S>(), S::Editing);
  ASSERT_TRUE(model.setData(model.index(0, 0), 500));
  ASSERT_TRUE(model.submit());
  EXPECT_EQ(model.data(model.index(0, 0), Role::RowStateRole).value<S>(), S::Inserted);

  ASSERT_TRUE(model.removeRows(1, 2));
  EXPECT_EQ(model.rowCount(), fetched - 1);
  EXPECT_EQ(model.data(model.index(1, 1)).toString(), "x");
  EXPECT_EQ(committedName(1), "a");  // nothing written before applyUpdates

  dataset.cancelUpdates();
  EXPECT_EQ(model.rowCount(), fetched);
  EXPECT_EQ(model.data(model.index(0, 1)).toString(), "a");
  EXPECT_TRUE(model.data(model.index(1, 1), Role::NullRole).toBool());
  EXPECT_EQ(model.data(model.index(2, 1)).toString(), "c");
  EXPECT_EQ(model.data(model.index(2, 0), Role::RowStateRole).value<S>(), S::Unchanged);
}

TEST_F(DatasetModelTest, ReopenAndCloseResetTheModel) {
  model.setDataset(&dataset);
  dataset.open();
  dataset.fetchAll();
  EXPECT_EQ(model.rowCount(), 192);
  dataset.setSqlLine(0, "SELECT t.id FROM t WHERE t.id < 5");
  dataset.open();
  EXPECT_EQ(model.rowCount(), 4);
  EXPECT_EQ(model.columnCount(), 1);
  dataset.close();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(model.canFetchMore());
}

}  // namespace
}  // namespace nuvo::widgets
