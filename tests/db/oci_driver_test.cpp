// The Oracle driver's suite. It runs over the stand-in client library built with the tests, opened
// through the same run-time path as a real client; when NUVO_ORACLE_TEST names a real database as
// user/password@connect, the suite runs there instead (it creates and drops NUVO_OCI_T).

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <atomic>
#include <thread>

#include "db/dataset.h"
#include "db/default_driver.h"
#include "db/oci/oci_driver.h"
#include "db_fixture.h"
#include "support/temp_env.h"

namespace nuvo::db::test {
namespace {

const QString kStandinHome = QStringLiteral(NUVO_STANDIN_HOME);

oci::ClientLocation standinLocation() { return {QString(), kStandinHome, false}; }

// The stand-in's count of fetch calls that asked for rows.
unsigned long standinRowFetches() {
  void* library = dlopen((kStandinHome + "/lib/libclntsh.so").toUtf8().constData(), RTLD_NOW | RTLD_NOLOAD);
  if (!library) return 0;
  auto count = reinterpret_cast<unsigned long (*)()>(dlsym(library, "nuvo_standin_row_fetches"));
  const unsigned long n = count ? count() : 0;
  dlclose(library);
  return n;
}

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QString& value) : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
    qputenv(name, value.toUtf8());
  }
  ~ScopedEnv() {
    if (had_) qputenv(name_, old_);
    else qunsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  QByteArray old_;
  bool had_;
};

class OciTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString target = qEnvironmentVariable("NUVO_ORACLE_TEST");
    if (target.isEmpty()) {
      driver = std::make_unique<OciDriver>(standinLocation());
      database = createDatabase("oci");
      user = password = QStringLiteral("SYSTEM");
    } else {
      real = true;
      driver = std::make_unique<OciDriver>();
      const qsizetype at = target.lastIndexOf(u'@');
      const QString credentials = target.left(at);
      database = target.mid(at + 1);
      user = credentials.section(u'/', 0, 0);
      password = credentials.section(u'/', 1);
    }
    session = std::make_unique<Session>(driver.get());
    session->logOn(user, password, database);
    dropTable();
  }

  void TearDown() override {
    if (session && session->connected()) {
      session->rollback();
      dropTable();
    }
  }

  void dropTable() {
    try {
      exec({"DROP TABLE nuvo_oci_t"});
    } catch (const Error&) {
      // not there
    }
  }

  void exec(std::initializer_list<const char*> statements) {
    Query q(session.get());
    for (const char* sql : statements) {
      q.setSql(QString::fromUtf8(sql));
      q.execute();
    }
  }

  qint64 scalar(const QString& sql) {
    Query q(session.get());
    q.setSql(sql);
    q.execute();
    return q.field(0).asInteger();
  }

  // Rows 1..n in nuvo_oci_t (id, name), in doublings.
  void fillRows(int doublings) {
    exec({"CREATE TABLE nuvo_oci_t (id NUMBER(10), name VARCHAR2(40))", "INSERT INTO nuvo_oci_t VALUES (1, 'row 1')"});
    for (int i = 0, n = 1; i < doublings; ++i, n *= 2) {
      Query q(session.get());
      q.setSql(QStringLiteral("INSERT INTO nuvo_oci_t SELECT id + %1, 'row ' || (id + %1) FROM nuvo_oci_t").arg(n));
      q.execute();
    }
  }

  std::unique_ptr<OciDriver> driver;
  std::unique_ptr<Session> session;
  QString database, user, password;
  bool real = false;
};

TEST_F(OciTest, LogsOnWithUserVersionAndRefusesBadCredentials) {
  EXPECT_TRUE(session->connected());
  EXPECT_EQ(session->user(), user.toUpper());
  EXPECT_FALSE(session->serverVersion().isEmpty());

  Session other(driver.get());
  EXPECT_EQ(errorOf([&] { other.logOn(user, password + "x", database); }).code(), 1017);
  const Error unknown = errorOf([&] { other.logOn(user, password, "NO_SUCH_ALIAS_NUVO"); });
  EXPECT_EQ(unknown.code(), 12154);
  EXPECT_TRUE(unknown.message().startsWith("ORA-12154: ")) << unknown.message().toStdString();
  EXPECT_FALSE(other.connected());
  session->logOff();
  EXPECT_FALSE(session->connected());
  EXPECT_EQ(errorOf([&] { session->commit(); }).code(), 3114);
}

// SYS logs on only as SYSDBA, and the mode reaches the server.
TEST_F(OciTest, SysdbaModeReachesTheServer) {
  if (real) GTEST_SKIP() << "needs the SYS password of the stand-in's databases";
  Session sys(driver.get());
  EXPECT_EQ(errorOf([&] { sys.logOn("SYS", "SYS", database); }).code(), 28009);
  sys.logOn("SYS", "SYS", database, true);
  EXPECT_TRUE(sys.sysdba());
  EXPECT_EQ(sys.user(), "SYS");
  Query q(&sys);
  q.setSql("SELECT SYS_CONTEXT('USERENV', 'ISDBA') FROM dual");
  q.execute();
  EXPECT_EQ(q.field(0).asString(), "TRUE");
}

TEST_F(OciTest, BindsOfEveryTypeRoundTripThroughABlock) {
  struct Case {
    const char* name;
    DataType type;
    QVariant in;
    QVariant expected;
  };
  const QDateTime when(QDate(1999, 12, 31), QTime(23, 59, 58), Qt::UTC);
  const Case cases[] = {
      {"string", DataType::String, QStringLiteral("čevapčiči 'x'"), QStringLiteral("čevapčiči 'x'")},
      {"empty string is null", DataType::String, QString(""), QVariant()},
      {"null", DataType::String, QVariant(), QVariant()},
      {"integer", DataType::Integer, qlonglong(-123456789012345678), qlonglong(-123456789012345678)},
      {"integer from text", DataType::Integer, QStringLiteral("42"), qlonglong(42)},
      {"integer rounds a float", DataType::Integer, 2.5, qlonglong(3)},
      {"float", DataType::Float, -0.000125, -0.000125},
      {"large float", DataType::Float, 1.5e20, 1.5e20},
      {"long of 32000 bytes", DataType::Long, QString(16000, u'ž'), QString(16000, u'ž')},
      {"date", DataType::Date, when, when},
      {"date from text", DataType::Date, QStringLiteral("2024-02-29T06:07:08"),
       QDateTime(QDate(2024, 2, 29), QTime(6, 7, 8), Qt::UTC)},
  };
  for (const Case& c : cases) {
    Query q(session.get());
    q.setSql("BEGIN :o := :i; :io := :io; END;");
    q.declareVariable("i", c.type);
    q.declareVariable("o", c.type);
    q.declareVariable("io", c.type);
    q.setVariable("i", c.in);
    q.setVariable("io", c.in);
    q.execute();
    EXPECT_EQ(q.getVariable("o"), c.expected) << c.name << ": " << q.getVariable("o").toString().toStdString();
    EXPECT_EQ(q.getVariable("io"), c.expected) << c.name;
  }

  Query bad(session.get());
  bad.setSql("BEGIN :o := :i; END;");
  bad.declareVariable("i", DataType::Integer);
  bad.declareVariable("o", DataType::Integer);
  bad.setVariable("i", "twelve");
  EXPECT_EQ(errorOf([&] { bad.execute(); }).code(), 1722);

  // A value longer than PL/SQL gives back is an error, never a shorter value.
  Query beyond(session.get());
  beyond.setSql("BEGIN :o := :i; END;");
  beyond.declareVariable("i", DataType::Long);
  beyond.declareVariable("o", DataType::Long);
  beyond.setVariable("i", QString(20000, u'ž'));
  EXPECT_NE(errorOf([&] { beyond.execute(); }).code(), 0);

  // A value too long for the client to give back is refused, not cut.
  Query tooLong(session.get());
  tooLong.setSql("BEGIN :v := :v; END;");
  tooLong.declareVariable("v", DataType::Long);
  tooLong.setVariable("v", QString(70000, u'x'));
  const Error e = errorOf([&] { tooLong.execute(); });
  EXPECT_EQ(e.code(), 0);
  EXPECT_TRUE(e.message().contains(":V is too long")) << e.message().toStdString();
}

TEST_F(OciTest, ColumnsOfEveryTypeComeBackAsInserted) {
  exec({"CREATE TABLE nuvo_oci_t (s VARCHAR2(40), c CHAR(3), i NUMBER(18), f NUMBER, d DATE, r RAW(16), "
        "l LONG)"});
  Query ins(session.get());
  ins.setSql("INSERT INTO nuvo_oci_t VALUES (:s, :c, :i, :f, :d, :r, :l)");
  const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
  const QString body = QString(200000, u'x') + QStringLiteral("ščž end");  // several pieces
  const QVariant values[] = {QStringLiteral("Šumnik"), QStringLiteral("ab"), qlonglong(123456789012345678), 1234.5,
                             when, QByteArray("\x00\x01\xff", 3), body};
  const char* names[] = {"s", "c", "i", "f", "d", "r", "l"};
  const DataType types[] = {DataType::String, DataType::String, DataType::Integer, DataType::Float,
                            DataType::Date,   DataType::Binary, DataType::Long};
  for (int k = 0; k < 7; ++k) {
    ins.declareVariable(names[k], types[k]);
    ins.setVariable(names[k], values[k]);
  }
  ins.execute();
  EXPECT_EQ(ins.rowsProcessed(), 1);
  for (int k = 0; k < 7; ++k) ins.setVariable(names[k], QVariant());
  ins.execute();  // a row of NULLs

  Query q(session.get());
  q.setSql("SELECT s, c, i, f, d, r, l FROM nuvo_oci_t ORDER BY s");
  q.execute();
  ASSERT_EQ(q.fieldCount(), 7);
  EXPECT_EQ(q.field("s").asString(), "Šumnik");
  EXPECT_EQ(q.field("c").asString(), "ab ");  // CHAR is blank-padded
  EXPECT_EQ(q.field("i").value(), QVariant(qlonglong(123456789012345678)));
  EXPECT_EQ(q.field("i").type(), DataType::Integer);
  EXPECT_DOUBLE_EQ(q.field("f").asFloat(), 1234.5);
  EXPECT_EQ(q.field("f").type(), DataType::Float);
  EXPECT_EQ(q.field("d").asDate(), when);
  EXPECT_EQ(q.field("d").type(), DataType::Date);
  EXPECT_EQ(q.field("r").value().toByteArray(), QByteArray("\x00\x01\xff", 3));
  EXPECT_EQ(q.field("l").type(), DataType::Long);
  EXPECT_EQ(q.field("l").asString(), body);
  EXPECT_EQ(q.field("s").column().typeName, "VARCHAR2");
  q.next();
  ASSERT_FALSE(q.eof());
  for (int k = 0; k < 7; ++k) EXPECT_TRUE(q.field(k).isNull()) << names[k];
  q.next();
  EXPECT_TRUE(q.eof());
}

// Rows come in packets of the dataset's fetch size, one round trip each; every row arrives once,
// in order, whatever the size.
TEST_F(OciTest, DatasetFetchesInPacketsOfItsSize) {
  fillRows(8);  // 256 rows
  struct Case {
    int fetchSize;
    const char* sql;
  };
  const Case cases[] = {{100, "SELECT id, name FROM nuvo_oci_t ORDER BY id"},
                        {1, "SELECT id, name FROM nuvo_oci_t ORDER BY id"},
                        {7, "SELECT id, name FROM nuvo_oci_t ORDER BY id"},
                        {1000, "SELECT id, name FROM nuvo_oci_t ORDER BY id"}};
  for (const Case& c : cases) {
    Dataset ds(session.get());
    ds.setSql(QString::fromUtf8(c.sql));
    ds.setFetchSize(c.fetchSize);
    const unsigned long fetchesBefore = standinRowFetches();
    ds.open();
    EXPECT_EQ(ds.recordCount(), qMin(c.fetchSize, 256)) << c.fetchSize;
    ds.fetchAll();
    ASSERT_EQ(ds.recordCount(), 256) << c.fetchSize;
    for (int row = 0; row < 256; ++row) {
      ASSERT_EQ(ds.value(row, 0).toLongLong(), row + 1) << c.fetchSize;
      ASSERT_EQ(ds.value(row, 1).toString(), QStringLiteral("row %1").arg(row + 1)) << c.fetchSize;
    }
    // Full packets, then the one that finds the end.
    if (!real) {
      EXPECT_EQ(standinRowFetches() - fetchesBefore, 256UL / c.fetchSize + 1) << c.fetchSize;
    }
  }
}

// Text computed by the query has no declared size: it still comes back whole.
TEST_F(OciTest, ComputedTextColumnsComeBackWhole) {
  Query q(session.get());
  q.setSql("SELECT RPAD('x', 3000, 'y') a, 'abc' || RPAD('d', 40, 'e') b, USER c FROM dual");
  q.execute();
  EXPECT_EQ(q.field("a").asString(), "x" + QString(2999, u'y'));
  EXPECT_EQ(q.field("b").asString(), "abcd" + QString(39, u'e'));
  EXPECT_EQ(q.field("c").asString(), user.toUpper());
}

TEST_F(OciTest, LongColumnsOfSeveralRowsAreReadWhole) {
  exec({"CREATE TABLE nuvo_oci_t (id NUMBER(10), body LONG)"});
  Query ins(session.get());
  ins.setSql("INSERT INTO nuvo_oci_t VALUES (:id, :body)");
  ins.declareVariable("id", DataType::Integer);
  ins.declareVariable("body", DataType::Long);
  const QString texts[] = {QString(65536, u'a'), QString(), QStringLiteral("short"), QString(150001, u'č')};
  for (int i = 0; i < 4; ++i) {
    ins.setVariable("id", i);
    ins.setVariable("body", texts[i]);
    ins.execute();
  }
  Query q(session.get());
  q.setSql("SELECT id, body FROM nuvo_oci_t ORDER BY id");
  q.execute();
  for (int i = 0; i < 4; ++i) {
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.field("id").asInteger(), i);
    EXPECT_EQ(q.field("body").isNull(), texts[i].isEmpty()) << i;
    EXPECT_EQ(q.field("body").asString(), texts[i]) << i;
    q.next();
  }
  EXPECT_TRUE(q.eof());
  EXPECT_EQ(q.rowsProcessed(), 4);
}

TEST_F(OciTest, CursorVariableGivesItsRows) {
  fillRows(2);  // 4 rows
  Query block(session.get());
  block.setSql(QStringList{"BEGIN", "  OPEN :c FOR SELECT id, name FROM nuvo_oci_t WHERE id > :low ORDER BY id;", "END;"});
  block.declareVariable("c", DataType::Cursor);
  block.declareVariable("low", DataType::Integer);
  block.setVariable("low", 1);
  block.execute();
  Query rows(session.get());
  rows.openResultSet(block.cursorVariable("C"));
  QStringList names;
  for (; !rows.eof(); rows.next()) names << rows.field("NAME").asString();
  EXPECT_EQ(names, QStringList({"row 2", "row 3", "row 4"}));
  EXPECT_EQ(rows.field(0).type(), DataType::Integer);
}

// Errors carry the server's code and message and the position in the caller's lines.
TEST_F(OciTest, ErrorsCarryCodeMessageLineAndPosition) {
  exec({"CREATE TABLE nuvo_oci_t (id NUMBER)"});
  struct Case {
    QStringList sql;
    int code, line, position;
  };
  const Case cases[] = {
      {{"SELECT * FROM nuvo_oci_missing"}, 942, 1, 15},
      {{"SELECT id,", "       nosuch", "  FROM nuvo_oci_t"}, 904, 2, 8},
      {{"SELECT id", "  FROM nuvo_oci_t", " WHERE čč = 1"}, 904, 3, 8},
  };
  for (const Case& c : cases) {
    Query q(session.get());
    q.setSql(c.sql);
    const Error e = errorOf([&] { q.execute(); });
    EXPECT_EQ(e.code(), c.code) << c.sql.join("|").toStdString();
    EXPECT_TRUE(e.message().startsWith(QStringLiteral("ORA-%1: ").arg(c.code, 5, 10, QLatin1Char('0'))))
        << e.message().toStdString();
    EXPECT_FALSE(e.message().endsWith(u'\n'));
    EXPECT_EQ(e.line(), c.line) << c.sql.join("|").toStdString();
    EXPECT_EQ(e.position(), c.position) << c.sql.join("|").toStdString();
  }
  // A failed DML statement leaves the session usable.
  Query q(session.get());
  q.setSql("INSERT INTO nuvo_oci_t VALUES ('x')");
  EXPECT_EQ(errorOf([&] { q.execute(); }).code(), 1722);
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM nuvo_oci_t"), 0);
}

// A unit created with compilation errors: ORA-24344 as the embedded driver reports it, and the unit
// exists with its errors.
TEST_F(OciTest, UnitWithCompilationErrorsGivesOra24344) {
  const QString sql = QStringLiteral("CREATE OR REPLACE PROCEDURE nuvo_oci_p IS BEGIN nosuch := 1; END;");
  Query q(session.get());
  q.setSql(sql);
  const Error e = errorOf([&] { q.execute(); });
  EXPECT_EQ(e.code(), 24344);
  EXPECT_EQ(e.message(), "ORA-24344: success with compilation error");
  if (!real) {
    Session embedded;
    embedded.logOn("SYSTEM", "SYSTEM", createDatabase("emb"));
    Query same(&embedded);
    same.setSql(sql);
    const Error expected = errorOf([&] { same.execute(); });
    EXPECT_EQ(e.code(), expected.code());
    EXPECT_EQ(e.message(), expected.message());
    EXPECT_EQ(e.line(), expected.line());
  }
  EXPECT_GT(scalar("SELECT COUNT(*) FROM user_errors WHERE name = 'NUVO_OCI_P'"), 0);
  exec({"DROP PROCEDURE nuvo_oci_p"});
}

TEST_F(OciTest, BreakFromAnotherThreadEndsTheCallWithOra01013) {
  fillRows(10);  // 1024 rows: the triple join runs for minutes
  std::atomic<int> code{-1};
  std::thread worker([&] {
    Query q(session.get());
    q.setSql("SELECT COUNT(*) FROM nuvo_oci_t a, nuvo_oci_t b, nuvo_oci_t c");
    try {
      q.execute();
      code = 0;
    } catch (const Error& e) {
      code = e.code();
    }
  });
  while (!session->executing() && code.load() < 0) std::this_thread::yield();
  session->breakExecution();
  worker.join();
  EXPECT_EQ(code.load(), 1013);
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM nuvo_oci_t"), 1024);
}

TEST_F(OciTest, CommitRollbackAndTransactionState) {
  exec({"CREATE TABLE nuvo_oci_t (id NUMBER)"});
  EXPECT_FALSE(session->inTransaction());
  exec({"INSERT INTO nuvo_oci_t VALUES (1)"});
  EXPECT_TRUE(session->inTransaction());
  session->rollback();
  EXPECT_FALSE(session->inTransaction());
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM nuvo_oci_t"), 0);

  exec({"INSERT INTO nuvo_oci_t VALUES (2)"});
  session->savepoint("NUVO_SP");
  exec({"INSERT INTO nuvo_oci_t VALUES (3)"});
  session->rollbackToSavepoint("NUVO_SP");
  session->commit();
  EXPECT_FALSE(session->inTransaction());
  EXPECT_EQ(errorOf([&] { session->savepoint("x; DROP TABLE nuvo_oci_t"); }).code(), 0);

  Session other(driver.get());
  other.logOn(user, password, database);
  Query q(&other);
  q.setSql("SELECT id FROM nuvo_oci_t");
  q.execute();
  EXPECT_EQ(q.field(0).asInteger(), 2);
  q.next();
  EXPECT_TRUE(q.eof());
}

TEST_F(OciTest, RowsProcessedAndRowidAddressARow) {
  fillRows(2);
  Query upd(session.get());
  upd.setSql("UPDATE nuvo_oci_t SET name = 'x' WHERE id > 1");
  upd.execute();
  EXPECT_EQ(upd.rowsProcessed(), 3);

  Query q(session.get());
  q.setSql("SELECT rowid, id FROM nuvo_oci_t WHERE id = 3");
  q.execute();
  EXPECT_EQ(q.field(0).type(), DataType::Rowid);
  const QString rowid = q.field(0).asString();
  EXPECT_FALSE(rowid.isEmpty());
  Query del(session.get());
  del.setSql("DELETE FROM nuvo_oci_t WHERE rowid = :r");
  del.declareVariable("r", DataType::Rowid);
  del.setVariable("r", rowid);
  del.execute();
  EXPECT_EQ(del.rowsProcessed(), 1);
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM nuvo_oci_t WHERE id = 3"), 0);
}

TEST_F(OciTest, OutputLinesOfDbmsOutputAreTaken) {
  exec({"BEGIN DBMS_OUTPUT.ENABLE(100000); END;",
        "BEGIN DBMS_OUTPUT.PUT_LINE('first'); DBMS_OUTPUT.PUT_LINE(NULL); DBMS_OUTPUT.PUT_LINE('čž'); END;"});
  EXPECT_EQ(session->takeOutput(), QStringList({"first", "", "čž"}));
  EXPECT_TRUE(session->takeOutput().isEmpty());
}

// Worker threads share the session; the session serialises their calls.
TEST_F(OciTest, CallsFromSeveralThreadsAreSerialised) {
  exec({"CREATE TABLE nuvo_oci_t (id NUMBER, thread NUMBER)"});
  constexpr int kThreads = 4, kRows = 25;
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      try {
        Query ins(session.get());
        ins.setSql("INSERT INTO nuvo_oci_t VALUES (:id, :thread)");
        ins.declareVariable("id", DataType::Integer);
        ins.declareVariable("thread", DataType::Integer);
        ins.setVariable("thread", t);
        for (int i = 0; i < kRows; ++i) {
          ins.setVariable("id", i);
          ins.execute();
        }
      } catch (const Error&) {
        ++failures;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM nuvo_oci_t"), kThreads * kRows);
}


// ---- finding the client library ---------------------------------------------------------------------

TEST(OciLibraryTest, MissingLibraryGivesTheClearMessageAndNoAliases) {
  const QString home = QString::fromStdString(nuvo::test::makeTempDir("nohome"));
  OciDriver missing(oci::ClientLocation{home + "/nothing/libclntsh.so", home, false});
  EXPECT_FALSE(missing.available());
  EXPECT_TRUE(missing.aliases().isEmpty());
  const Error e = errorOf([&] { missing.logOn("SCOTT", "TIGER", "PROD", false); });
  EXPECT_EQ(e.code(), 0);
  EXPECT_TRUE(e.message().startsWith("Oracle client library not found: ")) << e.message().toStdString();
  EXPECT_TRUE(e.message().contains(home + "/lib/libclntsh.so")) << e.message().toStdString();
}

TEST(OciLibraryTest, LibraryIsFoundThroughEachPlace) {
  struct Case {
    const char* name;
    oci::ClientLocation location;
  };
  const Case cases[] = {
      {"configured file", {kStandinHome + "/lib/libclntsh.so", QString(), false}},
      {"configured directory", {kStandinHome + "/lib", QString(), false}},
      {"ORACLE_HOME", {QString(), kStandinHome, false}},
      {"configured first", {kStandinHome + "/lib", "/no/such/home", false}},
  };
  for (const Case& c : cases) {
    QString why;
    EXPECT_TRUE(OciDriver(c.location).available(&why)) << c.name << ": " << why.toStdString();
  }
  EXPECT_EQ(oci::clientLibraryCandidates({"/opt/client", "/u01/home", true}),
            QStringList({"/opt/client", "/u01/home/lib/libclntsh.so", "libclntsh.so"}));
}

// Without a client library, the embedded databases work as before, an unknown name is ORA-12154
// and a name only a client can reach says why it cannot be reached.
TEST(OciLibraryTest, DefaultDriverWithoutClientKeepsEmbeddedDatabases) {
  ScopedEnv home("ORACLE_HOME", QString::fromStdString(nuvo::test::makeTempDir("emptyhome")));
  if (ociDriver().available()) GTEST_SKIP() << "an Oracle client library is installed on this machine";
  Session session;
  session.logOn("SYSTEM", "SYSTEM", createDatabase());
  Query q(&session);
  q.setSql("SELECT 1 AS x FROM dual");
  q.execute();
  EXPECT_EQ(q.field(0).asInteger(), 1);
  Session other;
  EXPECT_EQ(errorOf([&] { other.logOn("SYSTEM", "SYSTEM", "NO_SUCH_DATABASE"); }).code(), 12154);
  for (const char* target : {"dbhost:1521/ORCL", "//dbhost/ORCL"}) {
    const Error e = errorOf([&] { other.logOn("SCOTT", "TIGER", target); });
    EXPECT_EQ(e.code(), 0) << target;
    EXPECT_TRUE(e.message().startsWith("Oracle client library not found: ")) << e.message().toStdString();
  }
}

}  // namespace
}  // namespace nuvo::db::test
