#include <QSignalSpy>

#include "db/dataset.h"
#include "db/query.h"
#include "db_fixture.h"

namespace nuvo::db::test {
namespace {

class DatasetTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    exec({"CREATE TABLE emp (id NUMBER(10) PRIMARY KEY, name VARCHAR2(20), salary NUMBER DEFAULT 100)"});
    for (int i = 1; i <= 5; ++i) {
      Query q(&session);
      q.setSql("INSERT INTO emp VALUES (:id, :name, :salary)");
      q.declareVariable("id", DataType::Integer);
      q.declareVariable("name", DataType::String);
      q.declareVariable("salary", DataType::Float);
      q.setVariable("id", i);
      q.setVariable("name", QStringLiteral("n%1").arg(i));
      q.setVariable("salary", i * 10.5);
      q.execute();
    }
    session.commit();
    other.logOn("SYSTEM", "SYSTEM", directory);
  }

  // The table as another session sees it after our commit: "id:name:salary" per row.
  QStringList committedRows() {
    session.commit();
    Query q(&other);
    q.setSql("SELECT id, name, salary FROM emp ORDER BY id");
    q.execute();
    QStringList rows;
    for (; !q.eof(); q.next())
      rows << QStringLiteral("%1:%2:%3").arg(q.field(0).asString(), q.field(1).asString(), q.field(2).asString());
    return rows;
  }

  void openEmp(Dataset& ds, bool cached = false) {
    ds.setSql("SELECT e.id, e.name, e.salary, e.rowid FROM emp e ORDER BY e.id");
    ds.setCachedUpdates(cached);
    ds.open();
  }

  Session other{testDriver()};
};

const QStringList kInitial{"1:n1:10.5", "2:n2:21", "3:n3:31.5", "4:n4:42", "5:n5:52.5"};

TEST_F(DatasetTest, FetchesInPacketsAndKeepsRows) {
  Dataset ds(&session);
  ds.setFetchSize(2);
  QSignalSpy fetched(&ds, &Dataset::rowsFetched);
  openEmp(ds);
  EXPECT_EQ(ds.recordCount(), 2);
  EXPECT_FALSE(ds.allFetched());
  EXPECT_EQ(ds.fetchMore(), 2);
  EXPECT_EQ(ds.fetchMore(), 1);
  EXPECT_TRUE(ds.allFetched());
  EXPECT_EQ(ds.fetchMore(), 0);
  ASSERT_EQ(fetched.size(), 3);
  EXPECT_EQ(fetched[2][0].toInt(), 4);
  EXPECT_EQ(fetched[2][1].toInt(), 4);
  EXPECT_EQ(ds.value(0, "NAME").toString(), "n1");  // rows stay as fetched
  EXPECT_EQ(ds.value(4, 0).toLongLong(), 5);
  EXPECT_EQ(ds.currentRow(), 0);

  Dataset all(&session);
  all.setFetchSize(2);
  all.setQueryAllRecords(true);
  openEmp(all);
  EXPECT_EQ(all.recordCount(), 5);
  EXPECT_TRUE(all.allFetched());
}

// Texts that repeat down a column are kept once; every row still reads its own value, and an edit
// of one row leaves the rows that shared its text as they were.
TEST_F(DatasetTest, RepeatedTextsShareStorageAndStayTheirRowsOwn) {
  exec({"CREATE TABLE rep (id NUMBER, kind VARCHAR2(20))"});
  QStringList expected;
  for (int i = 0; i < 40; ++i) {
    // Four kinds in turn, then twelve: more than the texts remembered per column.
    const QString kind = QStringLiteral("kind_%1").arg(i < 20 ? i % 4 : i % 12);
    exec({QStringLiteral("INSERT INTO rep VALUES (%1, '%2')").arg(i).arg(kind).toUtf8().constData()});
    expected << kind;
  }
  exec({"INSERT INTO rep VALUES (40, 'kind_0')", "INSERT INTO rep VALUES (41, 'kind_0')"});
  expected << "kind_0" << "kind_0";
  Dataset ds(&session);
  ds.setFetchSize(7);  // rows meet their equals across packets
  ds.setSql("SELECT r.id, r.kind, r.rowid FROM rep r ORDER BY r.id");
  ds.open();
  ds.fetchAll();
  ASSERT_EQ(ds.recordCount(), expected.size());
  for (int row = 0; row < ds.recordCount(); ++row) EXPECT_EQ(ds.value(row, "KIND").toString(), expected[row]) << row;
  const auto storage = [&](int row) { return ds.value(row, "KIND").toString().constData(); };
  EXPECT_EQ(storage(40), storage(41));
  EXPECT_EQ(storage(9), storage(1));  // "kind_1" again eight rows later

  ds.edit(41);
  ds.setValue("KIND", "changed");
  ds.post();
  EXPECT_EQ(ds.value(41, "KIND").toString(), "changed");
  EXPECT_EQ(ds.value(40, "KIND").toString(), "kind_0");
}

TEST_F(DatasetTest, NullIsKeptDistinctFromEmptyRow) {
  exec({"UPDATE emp SET name = NULL WHERE id = 2"});
  Dataset ds(&session);
  openEmp(ds);
  EXPECT_TRUE(ds.isNull(1, 1));
  EXPECT_FALSE(ds.isNull(0, 1));
  EXPECT_TRUE(ds.isNull(99, 1));  // no such row
}

TEST_F(DatasetTest, EditPostsByRowidAtOnceWithoutCachedUpdates) {
  Dataset ds(&session);
  openEmp(ds);
  ds.edit(1);
  EXPECT_EQ(ds.state(), Dataset::State::Edit);
  ds.setValue("name", "changed");
  ds.setValue(2, "99");  // text for a NUMBER column
  EXPECT_EQ(ds.value(1, "name").toString(), "changed");  // the edit buffer shows
  ds.post();
  EXPECT_EQ(ds.state(), Dataset::State::Browse);
  EXPECT_EQ(ds.rowState(1), Dataset::RowState::Unchanged);
  EXPECT_EQ(ds.value(1, "salary").toDouble(), 99.0);
  EXPECT_EQ(committedRows(), (QStringList{"1:n1:10.5", "2:changed:99", "3:n3:31.5", "4:n4:42", "5:n5:52.5"}));
}

TEST_F(DatasetTest, InsertAndDeleteWithoutCachedUpdates) {
  Dataset ds(&session);
  openEmp(ds);
  ds.insert(5);
  EXPECT_EQ(ds.state(), Dataset::State::Insert);
  ds.setValue("id", 6);
  ds.setValue("name", "new");
  ds.post();  // salary takes the column's default
  ds.remove(0);
  EXPECT_EQ(ds.recordCount(), 5);
  EXPECT_EQ(ds.value(4, "name").toString(), "new");
  EXPECT_EQ(committedRows(), (QStringList{"2:n2:21", "3:n3:31.5", "4:n4:42", "5:n5:52.5", "6:new:100"}));
}

TEST_F(DatasetTest, InsertedRowGetsItsRowidWhereTheServerReturnsIt) {
  Dataset ds(&session);
  openEmp(ds);
  ds.insert(0);
  ds.setValue("id", 7);
  ds.post();
  ASSERT_FALSE(ds.rowid(0).isEmpty());
  ds.edit(0);
  ds.setValue("name", "seven");
  ds.post();
  EXPECT_TRUE(committedRows().contains("7:seven:100"));
}

// BLOB and RAW fields are QByteArray both ways: posted by insert and by update, read back as bytes.
TEST_F(DatasetTest, BinaryFieldsRoundTripAsByteArrays) {
  exec({"CREATE TABLE pics (id NUMBER(10), tag RAW(8), pic BLOB)"});
  const QByteArray image("\x89PNG\0\r\n\xff\xfe", 9);  // a zero byte, bytes that are no UTF-8
  Dataset ds(&session);
  ds.setSql("SELECT p.id, p.tag, p.pic, p.rowid FROM pics p ORDER BY p.id");
  ds.open();
  EXPECT_EQ(ds.columns()[ds.fieldIndex("PIC")].type, DataType::Binary);
  EXPECT_EQ(ds.columns()[ds.fieldIndex("TAG")].type, DataType::Binary);
  ds.insert(0);
  ds.setValue("id", 1);
  ds.setValue("tag", QByteArray("\x01\x02", 2));
  ds.setValue("pic", image);
  ds.post();
  ds.edit(0);
  ds.setValue("pic", image + image);
  ds.post();
  session.commit();

  ds.requery();
  ASSERT_EQ(ds.recordCount(), 1);
  const QVariant pic = ds.value(0, "PIC");
  EXPECT_EQ(pic.typeId(), QMetaType::QByteArray);
  EXPECT_EQ(pic.toByteArray(), image + image);
  EXPECT_EQ(ds.value(0, "TAG").toByteArray(), QByteArray("\x01\x02", 2));
}

TEST_F(DatasetTest, CachedUpdatesAreWrittenOnlyByApplyUpdates) {
  Dataset ds(&session);
  openEmp(ds, true);
  ds.edit(0);
  ds.setValue("salary", 1);
  ds.post();
  ds.remove(1);
  ds.insert(ds.recordCount());
  ds.setValue("id", 8);
  ds.setValue("name", "eight");
  ds.post();
  EXPECT_EQ(ds.rowState(0), Dataset::RowState::Modified);
  EXPECT_EQ(ds.rowState(4), Dataset::RowState::Inserted);
  EXPECT_TRUE(ds.updatesPending());
  EXPECT_EQ(committedRows(), kInitial);  // nothing written yet

  ds.applyUpdates();
  EXPECT_FALSE(ds.updatesPending());
  EXPECT_EQ(ds.rowState(0), Dataset::RowState::Unchanged);
  EXPECT_EQ(committedRows(), (QStringList{"1:n1:1", "3:n3:31.5", "4:n4:42", "5:n5:52.5", "8:eight:100"}));
}

TEST_F(DatasetTest, CancelUpdatesRestoresTheRowsAsFetched) {
  Dataset ds(&session);
  openEmp(ds, true);
  ds.edit(2);
  ds.setValue("name", "x");
  ds.post();
  ds.remove(0);
  ds.insert(1);
  ds.setValue("id", 9);
  ds.post();
  ds.edit(3);
  ds.setValue("name", "in progress");
  ds.cancelUpdates();
  EXPECT_FALSE(ds.updatesPending());
  EXPECT_EQ(ds.state(), Dataset::State::Browse);
  ASSERT_EQ(ds.recordCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ds.value(i, "name").toString(), QStringLiteral("n%1").arg(i + 1));
  ds.applyUpdates();
  EXPECT_EQ(committedRows(), kInitial);
}

// A failing apply writes nothing and keeps the cache, so the user can fix the row and apply again.
TEST_F(DatasetTest, FailedApplyKeepsCacheAndUndoesItsWrites) {
  Dataset ds(&session);
  openEmp(ds, true);
  ds.edit(0);
  ds.setValue("name", "first");
  ds.post();
  ds.insert(5);
  ds.setValue("id", 2);  // duplicate primary key
  ds.post();
  const Error e = errorOf([&] { ds.applyUpdates(); });
  EXPECT_EQ(e.code(), 1);
  EXPECT_EQ(e.line(), 0);  // the failing statement is the dataset's own, not the caller's SQL
  EXPECT_TRUE(ds.updatesPending());
  EXPECT_EQ(ds.rowState(0), Dataset::RowState::Modified);
  EXPECT_EQ(committedRows(), kInitial);

  ds.edit(5);
  ds.setValue("id", 10);
  ds.post();
  ds.applyUpdates();
  EXPECT_EQ(committedRows(), (QStringList{"1:first:10.5", "2:n2:21", "3:n3:31.5", "4:n4:42", "5:n5:52.5", "10::100"}));
}

TEST_F(DatasetTest, SessionAppliesSeveralDatasetsAndCommits) {
  exec({"CREATE TABLE dept (id NUMBER, name VARCHAR2(10))", "INSERT INTO dept VALUES (1, 'a')"});
  session.commit();
  Dataset emp(&session), dept(&session);
  openEmp(emp, true);
  dept.setSql("SELECT d.rowid, d.* FROM dept d");
  dept.setCachedUpdates(true);
  dept.open();
  EXPECT_EQ(dept.updatingTable(), "dept");
  emp.edit(0);
  emp.setValue("name", "e");
  dept.edit(0);
  dept.setValue("NAME", "d");  // both still in edit: applying posts them first
  session.applyUpdates({&emp, &dept}, true);
  EXPECT_FALSE(session.inTransaction());
  Query q(&other);
  q.setSql("SELECT (SELECT name FROM emp WHERE id = 1) || (SELECT name FROM dept) AS x FROM dual");
  q.execute();
  EXPECT_EQ(q.field(0).asString(), "ed");
}

TEST_F(DatasetTest, CancelDropsTheEditOrTheInsertedRow) {
  Dataset ds(&session);
  openEmp(ds);
  ds.edit(0);
  ds.setValue("name", "x");
  ds.cancel();
  EXPECT_EQ(ds.value(0, "name").toString(), "n1");
  ds.insert(2);
  EXPECT_EQ(ds.recordCount(), 6);
  ds.cancel();
  EXPECT_EQ(ds.recordCount(), 5);
  EXPECT_EQ(ds.value(2, "name").toString(), "n3");
  EXPECT_EQ(committedRows(), kInitial);
}

TEST_F(DatasetTest, EditLocksTheRowAgainstAnotherSession) {
  Dataset mine(&session), theirs(&other);
  openEmp(mine);
  openEmp(theirs);
  mine.edit(0);
  const Error e = errorOf([&] { theirs.edit(0); });
  EXPECT_EQ(e.code(), 54) << e.message().toStdString();
  EXPECT_EQ(theirs.state(), Dataset::State::Browse);
  mine.cancel();
  session.rollback();  // ends the lock
  theirs.edit(0);
  EXPECT_EQ(theirs.state(), Dataset::State::Edit);
}

TEST_F(DatasetTest, EditStartsFromTheValuesTheTableHoldsNow) {
  Dataset ds(&session);
  openEmp(ds);
  Query q(&other);
  q.setSql("UPDATE emp SET name = 'theirs' WHERE id = 3");
  q.execute();
  other.commit();
  EXPECT_EQ(ds.value(2, "name").toString(), "n3");
  ds.edit(2);
  EXPECT_EQ(ds.value(2, "name").toString(), "theirs");
}

TEST_F(DatasetTest, RefreshReadsOneRowAgainOrDropsItWhenGone) {
  Dataset ds(&session);
  openEmp(ds);
  Query q(&other);
  q.setSql("UPDATE emp SET salary = 1 WHERE id = 2");
  q.execute();
  q.setSql("DELETE FROM emp WHERE id = 4");
  q.execute();
  other.commit();
  EXPECT_TRUE(ds.refreshRow(1));
  EXPECT_EQ(ds.value(1, "salary").toDouble(), 1.0);
  EXPECT_EQ(ds.value(2, "salary").toDouble(), 31.5);  // other rows untouched
  EXPECT_FALSE(ds.refreshRow(3));
  EXPECT_EQ(ds.recordCount(), 4);
  EXPECT_EQ(ds.value(3, "id").toLongLong(), 5);
}

TEST_F(DatasetTest, RowsWithoutRowidOrFromExpressionsAreReadOnly) {
  Dataset ds(&session);
  ds.setSql("SELECT id, name FROM emp");
  ds.open();
  EXPECT_FALSE(ds.canModify());
  EXPECT_EQ(errorOf([&] { ds.edit(0); }).code(), 0);

  Dataset mixed(&session);
  mixed.setSql("SELECT e.rowid, e.name, e.salary * 2 AS double_pay FROM emp e");
  mixed.open();
  EXPECT_TRUE(mixed.isFieldWritable(1));
  EXPECT_FALSE(mixed.isFieldWritable(0));  // ROWID
  EXPECT_FALSE(mixed.isFieldWritable(2));  // not a column of the table
  mixed.edit(0);
  EXPECT_EQ(errorOf([&] { mixed.setValue("double_pay", 1); }).code(), 0);

  Dataset readOnly(&session);
  readOnly.setReadOnly(true);
  openEmp(readOnly);
  EXPECT_FALSE(readOnly.canModify());
}

TEST_F(DatasetTest, UpdatingTableCanBeSetAndMustBeAName) {
  exec({"CREATE TABLE extra (id NUMBER, note VARCHAR2(10))", "INSERT INTO extra VALUES (1, 'x')"});
  Dataset ds(&session);
  ds.setSql("SELECT x.note, x.rowid FROM (SELECT * FROM emp) e, extra x WHERE e.id = x.id");
  EXPECT_EQ(ds.updatingTable(), "");  // a subquery comes first
  ds.setUpdatingTable("extra");
  ds.open();
  ds.edit(0);
  ds.setValue("note", "y");
  ds.post();
  Query q(&session);
  q.setSql("SELECT note FROM extra");
  q.execute();
  EXPECT_EQ(q.field(0).asString(), "y");

  Dataset bad(&session);
  bad.setSql("SELECT e.rowid, e.name FROM emp e");
  bad.setUpdatingTable("emp; DROP TABLE emp");
  bad.open();
  EXPECT_FALSE(bad.canModify());
}

TEST_F(DatasetTest, DetailFollowsTheCurrentRowOfItsMaster) {
  exec({"CREATE TABLE task (emp_id NUMBER, title VARCHAR2(10))", "INSERT INTO task VALUES (1, 'a')",
        "INSERT INTO task VALUES (1, 'b')", "INSERT INTO task VALUES (2, 'c')"});
  Dataset master(&session), detail(&session);
  detail.setSql("SELECT title FROM task WHERE emp_id = :id ORDER BY title");
  detail.declareVariable("id", DataType::Integer);
  detail.setMaster(&master, {"ID"});
  openEmp(master);
  ASSERT_TRUE(detail.isOpen());
  EXPECT_EQ(detail.recordCount(), 2);
  master.setCurrentRow(1);
  ASSERT_EQ(detail.recordCount(), 1);
  EXPECT_EQ(detail.value(0, "title").toString(), "c");
  master.setCurrentRow(4);
  EXPECT_EQ(detail.recordCount(), 0);

  exec({"INSERT INTO task VALUES (5, 'd')"});
  detail.requery();
  EXPECT_EQ(detail.recordCount(), 1);
  master.close();
  EXPECT_FALSE(detail.isOpen());
}

TEST_F(DatasetTest, DetailFollowsWhenTheMastersCurrentRowGoes) {
  exec({"CREATE TABLE task (emp_id NUMBER, title VARCHAR2(10))", "INSERT INTO task VALUES (1, 'a')",
        "INSERT INTO task VALUES (2, 'c')"});
  Dataset master(&session), detail(&session);
  detail.setSql("SELECT title FROM task WHERE emp_id = :id");
  detail.setMaster(&master, {"ID"});
  openEmp(master);
  ASSERT_EQ(detail.value(0, 0).toString(), "a");
  master.remove(0);  // the row of id 2 takes the current place
  EXPECT_EQ(master.currentRow(), 0);
  ASSERT_EQ(detail.recordCount(), 1);
  EXPECT_EQ(detail.value(0, 0).toString(), "c");

  master.setSqlLine(0, "SELECT e.id, e.rowid FROM emp e WHERE e.id > 100");
  master.open();  // no rows: the detail is queried with NULL links
  EXPECT_EQ(master.currentRow(), -1);
  EXPECT_TRUE(detail.isOpen());
  EXPECT_EQ(detail.recordCount(), 0);
}

TEST_F(DatasetTest, NonQueryCannotBeOpened) {
  Dataset ds(&session);
  ds.setSql("UPDATE emp SET name = name");
  EXPECT_EQ(errorOf([&] { ds.open(); }).code(), 0);
  EXPECT_FALSE(ds.isOpen());
}

}  // namespace
}  // namespace nuvo::db::test
