#include <QDateTime>

#include "db/query.h"
#include "db_fixture.h"

namespace nuvo::db::test {
namespace {

class QueryTest : public DbTest {};

TEST_F(QueryTest, ReadsRowsAndFieldsByNameAndIndex) {
  exec({"CREATE TABLE t (id NUMBER(10), name VARCHAR2(20), amount NUMBER, born DATE)",
        "INSERT INTO t VALUES (1, 'one', 1.5, TO_DATE('2024-02-29 13:14:15', 'YYYY-MM-DD HH24:MI:SS'))",
        "INSERT INTO t VALUES (2, NULL, NULL, NULL)"});
  Query q(&session);
  q.setSql(QStringList{"SELECT id, name, amount, born", "  FROM t ORDER BY id"});
  q.execute();
  ASSERT_TRUE(q.isQuery());
  ASSERT_EQ(q.fieldCount(), 4);
  ASSERT_FALSE(q.eof());
  EXPECT_EQ(q.field("Id").type(), DataType::Integer);
  EXPECT_EQ(q.field("amount").type(), DataType::Float);
  EXPECT_EQ(q.field("BORN").type(), DataType::Date);
  EXPECT_EQ(q.field(0).asInteger(), 1);
  EXPECT_EQ(q.field("name").asString(), "one");
  EXPECT_DOUBLE_EQ(q.field("amount").asFloat(), 1.5);
  EXPECT_EQ(q.field("amount").asString(), "1.5");
  EXPECT_EQ(q.field("born").asDate().date(), QDate(2024, 2, 29));
  EXPECT_EQ(q.field("born").asDate().time(), QTime(13, 14, 15));
  EXPECT_EQ(q.field("born").asString(), "2024-02-29 13:14:15");
  q.next();
  ASSERT_FALSE(q.eof());
  EXPECT_TRUE(q.field("name").isNull());
  EXPECT_EQ(q.field("name").asString(), "");
  EXPECT_EQ(q.field("amount").asInteger(), 0);
  EXPECT_FALSE(q.field("born").asDate().isValid());
  q.next();
  EXPECT_TRUE(q.eof());
  EXPECT_EQ(q.rowsProcessed(), 2);
  EXPECT_EQ(errorOf([&] { q.field("missing"); }).code(), 0);
}

// An empty LOB is a value of no characters or bytes, not NULL, both in the table and in the client.
TEST_F(QueryTest, EmptyLobsReadBackAsEmptyValuesNotNull) {
  exec({"CREATE TABLE lobs (id NUMBER(10), c CLOB, b BLOB)", "INSERT INTO lobs VALUES (1, EMPTY_CLOB(), EMPTY_BLOB())",
        "INSERT INTO lobs VALUES (2, NULL, NULL)"});
  Query q(&session);
  q.setSql("SELECT c, b, CASE WHEN c IS NULL THEN 'null' ELSE 'set' END AS state FROM lobs ORDER BY id");
  q.execute();
  ASSERT_FALSE(q.eof());
  EXPECT_FALSE(q.field("C").isNull());
  EXPECT_EQ(q.field("C").asString(), "");
  EXPECT_FALSE(q.field("B").isNull());
  EXPECT_TRUE(q.field("B").value().toByteArray().isEmpty());
  EXPECT_EQ(q.field("STATE").asString(), "set");
  q.next();
  ASSERT_FALSE(q.eof());
  EXPECT_TRUE(q.field("C").isNull());
  EXPECT_TRUE(q.field("B").isNull());
  EXPECT_EQ(q.field("STATE").asString(), "null");
}

TEST_F(QueryTest, MovedToAnotherSessionRunsThere) {
  Session other;
  other.logOn("SYS", "SYS", directory, true);
  Query q(&session);
  q.setSql("SELECT user FROM dual");
  q.execute();
  EXPECT_EQ(q.field(0).asString(), "SYSTEM");
  q.setSession(&other);
  q.execute();
  EXPECT_EQ(q.field(0).asString(), "SYS");
}

TEST_F(QueryTest, EmptyResultIsEofAtOnce) {
  Query q(&session);
  q.setSql("SELECT 1 AS x FROM dual WHERE 1 = 0");
  q.execute();
  EXPECT_TRUE(q.eof());
  EXPECT_EQ(q.fieldCount(), 1);
}

TEST_F(QueryTest, LinesArePatchedOneByOne) {
  exec({"CREATE TABLE t (id NUMBER)", "INSERT INTO t VALUES (1)", "INSERT INTO t VALUES (2)"});
  Query q(&session);
  q.setSql("SELECT COUNT(*) AS n FROM t\r\nWHERE id = 1");
  ASSERT_EQ(q.sqlLineCount(), 2);
  EXPECT_EQ(q.sqlLine(1), "WHERE id = 1");
  q.execute();
  EXPECT_EQ(q.field("N").asInteger(), 1);

  q.setSqlLine(1, "WHERE id >= 1");
  q.execute();
  EXPECT_EQ(q.field("N").asInteger(), 2);

  // Beyond the end, the text grows with empty lines; a line may be added and all cleared.
  q.setSqlLine(3, "AND id = 2");
  EXPECT_EQ(q.sql(), (QStringList{"SELECT COUNT(*) AS n FROM t", "WHERE id >= 1", "", "AND id = 2"}));
  q.execute();
  EXPECT_EQ(q.field("N").asInteger(), 1);
  EXPECT_EQ(q.sqlLine(9), "");
  q.clearSql();
  q.addSql("SELECT 7 AS n FROM dual");
  q.execute();
  EXPECT_EQ(q.field("n").asInteger(), 7);
}

// A TIMESTAMP column is a date to the grid; the embedded driver keeps its milliseconds, the Oracle
// driver fetches it as a DATE.
TEST_F(QueryTest, TimestampColumnsArriveAsDates) {
  exec({"CREATE TABLE ts (t TIMESTAMP(3))", "INSERT INTO ts VALUES (TIMESTAMP '2024-02-29 13:14:15.678')"});
  Query q(&session);
  q.setSql("SELECT t FROM ts WHERE t > :after");
  q.declareVariable("after", DataType::Date);
  q.setVariable("after", QDateTime(QDate(2024, 2, 29), QTime(13, 14, 15, 600), Qt::UTC));
  q.execute();
  ASSERT_FALSE(q.eof());
  EXPECT_EQ(q.field("t").type(), DataType::Date);
  EXPECT_EQ(q.field("t").asDate().date(), QDate(2024, 2, 29));
  QTime time = q.field("t").asDate().time();
  EXPECT_EQ(time.second(), 15);
  if (!testDriver()) {
    EXPECT_EQ(time.msec(), 678);
  }
}

// INTERVAL columns reach the grid as the text Oracle shows, each with its column's precisions, and a
// text variable binds into one.
TEST_F(QueryTest, IntervalColumnsArriveAsText) {
  exec({"CREATE TABLE iv (d INTERVAL DAY(3) TO SECOND(2), y INTERVAL YEAR TO MONTH)"});
  Query ins(&session);
  ins.setSql("INSERT INTO iv VALUES (:d, INTERVAL '1-6' YEAR TO MONTH)");
  ins.declareVariable("d", DataType::String);
  ins.setVariable("d", "-100 02:03:04.567");
  ins.execute();
  Query q(&session);
  q.setSql("SELECT d, y, d + INTERVAL '1' DAY AS n FROM iv");
  q.execute();
  ASSERT_FALSE(q.eof());
  EXPECT_EQ(q.field("d").type(), DataType::String);
  EXPECT_EQ(q.field("d").asString(), "-100 02:03:04.57");
  EXPECT_EQ(q.field("y").asString(), "+01-06");
  EXPECT_EQ(q.field("n").asString(), "-000000099 02:03:04.570000000");
}

TEST_F(QueryTest, VariablesOfEveryTypeBindByCaseInsensitiveName) {
  exec({"CREATE TABLE t (s VARCHAR2(20), i NUMBER(10), f NUMBER, d DATE)"});
  Query ins(&session);
  ins.setSql("INSERT INTO t VALUES (:S, :i, :F, :d)");
  ins.declareVariable("s", DataType::String);
  ins.declareVariable(":I", DataType::Integer);
  ins.declareVariable("f", DataType::Float);
  ins.declareVariable("D", DataType::Date);
  ins.setVariable("S", "text");
  ins.setVariable("i", "42");  // converted to the declared type
  ins.setVariable(":f", 2.25);
  ins.setVariable("d", QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58)));
  ins.execute();
  EXPECT_EQ(ins.rowsProcessed(), 1);
  EXPECT_EQ(ins.getVariable("s").toString(), "text");

  Query q(&session);
  q.setSql("SELECT COUNT(*) AS n FROM t WHERE s = :s AND i = :i AND f = :f AND d = :d");
  q.declareVariable("s", DataType::String);
  q.declareVariable("i", DataType::Integer);
  q.declareVariable("f", DataType::Float);
  q.declareVariable("d", DataType::Date);
  q.setVariable("s", "text");
  q.setVariable("i", 42);
  q.setVariable("f", 2.25);
  q.setVariable("d", QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58), Qt::UTC));
  q.execute();
  EXPECT_EQ(q.field("n").asInteger(), 1);

  EXPECT_EQ(q.variableType("S"), DataType::String);
  EXPECT_EQ(errorOf([&] { q.setVariable("nope", 1); }).code(), 0);
  EXPECT_EQ(q.variableNames().size(), 4);
  q.deleteVariable(":F");
  EXPECT_FALSE(q.hasVariable("f"));
}

TEST_F(QueryTest, NullVariableIsDistinctFromEmptyString) {
  Query q(&session);
  q.setSql("SELECT NVL2(:v, 'set', 'null') AS r FROM dual");
  q.declareVariable("v", DataType::String);
  EXPECT_FALSE(q.getVariable("v").isValid());  // a new variable is NULL

  struct Case {
    QVariant value;
    const char* expected;
  };
  // '' is NULL on the server, as in Oracle.
  for (const Case& c : {Case{QVariant(), "null"}, Case{QString(""), "null"}, Case{QString("x"), "set"}}) {
    q.setVariable("v", c.value);
    q.execute();
    EXPECT_EQ(q.field("r").asString(), c.expected) << c.value.toString().toStdString();
  }
  q.setVariable("v", QString(""));
  EXPECT_TRUE(q.getVariable("v").isValid());  // the variable keeps what was set
}

// Text bound for a RAW column is hex digits, stored as the bytes they spell, whatever type the
// variable was declared with and whichever statement writes it.
TEST_F(QueryTest, TextBoundForARawColumnIsStoredAsItsBytes) {
  exec({"CREATE TABLE r (id NUMBER(10), tag RAW(8))"});
  struct Case {
    const char* sql;
    DataType declared;
    QVariant value;
    QByteArray stored;
  };
  const Case cases[] = {
      {"INSERT INTO r VALUES (1, :v)", DataType::String, QString("0aff"), QByteArray("\x0a\xff", 2)},
      {"INSERT INTO r VALUES (2, :v)", DataType::Binary, QString("0AFF10"), QByteArray("\x0a\xff\x10", 3)},
      {"INSERT INTO r VALUES (3, :v)", DataType::Unknown, QString("abc"), QByteArray("\x0a\xbc", 2)},
      {"INSERT INTO r SELECT 4, :v FROM dual", DataType::String, QString("01"), QByteArray("\x01", 1)},
      {"BEGIN INSERT INTO r VALUES (5, :v); END;", DataType::Binary, QString("7f"), QByteArray("\x7f", 1)},
      {"INSERT INTO r VALUES (6, :v)", DataType::Binary, QByteArray("\x00\x01", 2), QByteArray("\x00\x01", 2)},
  };
  for (const Case& c : cases) {
    Query ins(&session);
    ins.setSql(c.sql);
    ins.declareVariable("v", c.declared);
    ins.setVariable("v", c.value);
    ins.execute();
  }
  Query upd(&session);
  upd.setSql("UPDATE r SET tag = :v WHERE id = 6");
  upd.declareVariable("v", DataType::Binary);
  upd.setVariable("v", QString("FFFE"));
  upd.execute();

  Query q(&session);
  q.setSql("SELECT id, tag, RAWTOHEX(tag) AS hex FROM r ORDER BY id");
  q.execute();
  QList<QByteArray> stored;
  for (; !q.eof(); q.next()) stored.push_back(q.field("tag").value().toByteArray());
  QList<QByteArray> expected;
  for (const Case& c : cases) expected.push_back(c.stored);
  expected.back() = QByteArray("\xff\xfe", 2);
  EXPECT_EQ(stored, expected);

  Query bad(&session);
  bad.setSql("INSERT INTO r VALUES (7, :v)");
  bad.declareVariable("v", DataType::Binary);
  bad.setVariable("v", QString("0x12"));
  EXPECT_EQ(errorOf([&] { bad.execute(); }).code(), 1465);
}

TEST_F(QueryTest, LongValueOfHundredThousandCharactersRoundTrips) {
  exec({"CREATE TABLE t (id NUMBER, body LONG)"});
  QString text;
  for (int i = 0; text.size() < 100000; ++i) text += QStringLiteral("line %1 čšž\r\n").arg(i);
  text.truncate(100000);
  Query ins(&session);
  ins.setSql("INSERT INTO t VALUES (1, :body)");
  ins.declareVariable("body", DataType::Long);
  ins.setVariable("body", text);
  ins.execute();

  Query q(&session);
  q.setSql("SELECT body FROM t");
  q.execute();
  EXPECT_EQ(q.field("body").asString().size(), 100000);
  EXPECT_EQ(q.field("body").asString(), text);
}

TEST_F(QueryTest, RowsProcessedCountsDml) {
  exec({"CREATE TABLE t (id NUMBER)"});
  Query q(&session);
  exec({"INSERT INTO t VALUES (1)", "INSERT INTO t VALUES (2)", "INSERT INTO t VALUES (3)"});
  q.setSql("INSERT INTO t SELECT id + 3 FROM t");
  q.execute();
  EXPECT_EQ(q.rowsProcessed(), 3);
  q.setSql("UPDATE t SET id = id + 1 WHERE id > 2");
  q.execute();
  EXPECT_EQ(q.rowsProcessed(), 4);
  q.setSql("DELETE FROM t WHERE id = 99");
  q.execute();
  EXPECT_EQ(q.rowsProcessed(), 0);
}

// The error's line and position point into the lines as the caller wrote them.
TEST_F(QueryTest, ErrorsCarryCodeMessageLineAndPosition) {
  exec({"CREATE TABLE t (id NUMBER)"});
  struct Case {
    QStringList sql;
    int code, line, position;
  };
  const Case cases[] = {
      {{"SELECT * FROM missing_table"}, 942, 1, 15},
      {{"SELECT id,", "       nosuch", "  FROM t"}, 904, 2, 8},
      {{"SELECT id", "  FROM t", " WHERE čč = 1 AND bad = 2"}, 904, 3, 8},
      {{"SELECT id FROM t;"}, 911, 1, 17},
  };
  for (const Case& c : cases) {
    Query q(&session);
    q.setSql(c.sql);
    const Error e = errorOf([&] { q.execute(); });
    EXPECT_EQ(e.code(), c.code) << c.sql.join("|").toStdString();
    EXPECT_TRUE(e.message().startsWith(QStringLiteral("ORA-%1: ").arg(c.code, 5, 10, QLatin1Char('0'))))
        << e.message().toStdString();
    EXPECT_EQ(e.line(), c.line) << c.sql.join("|").toStdString();
    EXPECT_EQ(e.position(), c.position) << c.sql.join("|").toStdString();
  }
}

TEST_F(QueryTest, UndeclaredVariableIsNotBound) {
  Query q(&session);
  q.setSql("SELECT :a AS a, :b AS b FROM dual");
  q.declareVariable("a", DataType::Integer);
  const Error e = errorOf([&] { q.execute(); });
  EXPECT_EQ(e.code(), 1008) << e.message().toStdString();
  q.declareVariable("B", DataType::Integer);
  q.setVariable("b", 5);
  q.execute();
  EXPECT_TRUE(q.field("a").isNull());
  EXPECT_EQ(q.field("b").asInteger(), 5);
}

TEST_F(QueryTest, OutVariablesOfBlockComeBack) {
  Query q(&session);
  q.setSql(QStringList{"DECLARE", "  v VARCHAR2(30000);", "BEGIN", "  :n := :n * 2;", "  :s := RPAD('x', 100000 / 10, 'y');",
                       "  :d := TO_DATE('2020-01-02', 'YYYY-MM-DD');", "END;"});
  q.declareVariable("n", DataType::Integer);
  q.declareVariable("s", DataType::String);
  q.declareVariable("d", DataType::Date);
  q.setVariable("n", 21);
  q.execute();
  EXPECT_EQ(q.getVariable("n").toLongLong(), 42);
  EXPECT_EQ(q.getVariable("s").toString().size(), 10000);
  EXPECT_EQ(q.getVariable("d").toDateTime().date(), QDate(2020, 1, 2));
}

TEST_F(QueryTest, CursorVariableOpensAsResultSet) {
  exec({"CREATE TABLE t (id NUMBER, name VARCHAR2(10))", "INSERT INTO t VALUES (1, 'a')", "INSERT INTO t VALUES (2, 'b')"});
  Query block(&session);
  block.setSql(QStringList{"BEGIN", "  OPEN :c FOR SELECT id, name FROM t ORDER BY id;", "END;"});
  block.declareVariable("c", DataType::Cursor);
  block.execute();
  Query rows(&session);
  rows.openResultSet(block.cursorVariable("C"));
  ASSERT_FALSE(rows.eof());
  EXPECT_EQ(rows.field("name").asString(), "a");
  rows.next();
  EXPECT_EQ(rows.field("ID").asInteger(), 2);
  rows.next();
  EXPECT_TRUE(rows.eof());
}

TEST_F(QueryTest, QueryWithoutSessionOrConnectionFails) {
  Query q;
  q.setSql("SELECT 1 FROM dual");
  EXPECT_EQ(errorOf([&] { q.execute(); }).code(), 0);
  session.logOff();
  q.setSession(&session);
  EXPECT_EQ(errorOf([&] { q.execute(); }).code(), 3114);
}

}  // namespace
}  // namespace nuvo::db::test
