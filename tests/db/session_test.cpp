#include <QDir>
#include <atomic>
#include <thread>

#include "db/embedded/embedded_driver.h"
#include "db/query.h"
#include "db_fixture.h"
#include "platform/appdirs.h"

namespace nuvo::db::test {
namespace {

class SessionTest : public DbTest {
 protected:
  // A table of 2^doublings rows.
  void fillRows(const char* table, int doublings) {
    exec({"INSERT INTO t VALUES (1)"});
    for (int i = 0; i < doublings; ++i) {
      Query q(&session);
      q.setSql(QStringLiteral("INSERT INTO %1 SELECT id + (SELECT COUNT(*) FROM %1) FROM %1").arg(table));
      q.execute();
    }
  }

  qint64 count(Session& s, const char* table) {
    Query q(&s);
    q.setSql(QStringLiteral("SELECT COUNT(*) AS n FROM %1").arg(table));
    q.execute();
    return q.field(0).asInteger();
  }
};

TEST_F(SessionTest, LogOnReportsUserDatabaseAndVersion) {
  EXPECT_TRUE(session.connected());
  EXPECT_EQ(session.user(), "SYSTEM");
  EXPECT_EQ(session.database(), directory);
  EXPECT_TRUE(session.serverVersion().contains("19.0.0.0.0")) << session.serverVersion().toStdString();
  session.logOff();
  EXPECT_FALSE(session.connected());
  EXPECT_EQ(session.user(), "");
  EXPECT_EQ(session.serverVersion(), "");
}

TEST_F(SessionTest, LogOnFailuresLeaveTheSessionDisconnected) {
  struct Case {
    const char *user, *password;
    QString database;
    int code;
  };
  const Case cases[] = {
      {"SYSTEM", "wrong", directory, 1017},
      {"NOBODY", "x", directory, 1017},
      {"SYSTEM", "SYSTEM", "NO_SUCH_DATABASE", 12154},
      {"SYSTEM", "SYSTEM", "/no/such/dir", 12154},
  };
  for (const Case& c : cases) {
    Session s(testDriver());
    EXPECT_EQ(errorOf([&] { s.logOn(c.user, c.password, c.database); }).code(), c.code) << c.user;
    EXPECT_FALSE(s.connected());
  }
}

TEST_F(SessionTest, AliasesAreTheDatabasesOfTheDataDirectoryInAnyCase) {
  engine::CreateOptions options;
  options.durable = false;
  engine::Database::create(QDir(nuvo::dataDirectory()).filePath("DEMO_ALIAS").toStdString(), options);
  EXPECT_TRUE(embeddedDriver().aliases().contains("DEMO_ALIAS"));
  Session s;
  s.logOn("system", "SYSTEM", "demo_alias");
  EXPECT_EQ(s.user(), "SYSTEM");
  EXPECT_EQ(s.database(), "demo_alias");
}

TEST_F(SessionTest, SessionsShareOneDatabaseObjectPerDirectory) {
  const auto shared = EmbeddedDriver::openShared(directory);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(EmbeddedDriver::openShared(directory + "/."), shared);
  // A fault injected through the shared object reaches every session on that directory.
  shared->injectFault("FROM dual", 1555, 1);
  Query q(&session);
  q.setSql("SELECT 1 AS x FROM dual");
  EXPECT_EQ(errorOf([&] { q.execute(); }).code(), 1555);
  q.execute();
  EXPECT_EQ(q.field(0).asInteger(), 1);
}

TEST_F(SessionTest, CommitRollbackAndSavepointsFollowTheTransaction) {
  exec({"CREATE TABLE t (id NUMBER)"});
  Session other(testDriver());
  other.logOn("SYSTEM", "SYSTEM", directory);
  EXPECT_FALSE(session.inTransaction());

  exec({"INSERT INTO t VALUES (1)"});
  EXPECT_TRUE(session.inTransaction());
  EXPECT_EQ(count(other, "t"), 0);  // not yet committed
  session.commit();
  EXPECT_FALSE(session.inTransaction());
  EXPECT_EQ(count(other, "t"), 1);

  exec({"INSERT INTO t VALUES (2)"});
  session.savepoint("A");
  exec({"INSERT INTO t VALUES (3)"});
  session.rollbackToSavepoint("a");
  EXPECT_EQ(count(session, "t"), 2);
  session.rollback();
  EXPECT_EQ(count(session, "t"), 1);
  EXPECT_FALSE(session.inTransaction());
}

TEST_F(SessionTest, LogOffClosesQueriesAndAnotherLogOnServesThemAgain) {
  const QString second = createDatabase("second");
  {
    Session s(testDriver());
    s.logOn("SYSTEM", "SYSTEM", second);
    Query create(&s);
    create.setSql("CREATE TABLE marker AS SELECT 'second' AS u FROM dual");
    create.execute();
  }
  exec({"CREATE TABLE marker AS SELECT 'first' AS u FROM dual"});
  Query q(&session);
  q.setSql("SELECT u FROM marker");
  q.execute();
  EXPECT_FALSE(q.eof());
  session.logOff();
  EXPECT_TRUE(q.eof());
  EXPECT_EQ(errorOf([&] { q.execute(); }).code(), 3114);
  session.logOn("SYSTEM", "SYSTEM", second);
  q.execute();
  EXPECT_EQ(q.field("u").asString(), "second");
}

TEST_F(SessionTest, QueryOutlivingItsSessionFailsCleanly) {
  Query q;
  {
    Session s(testDriver());
    s.logOn("SYSTEM", "SYSTEM", directory);
    q.setSession(&s);
    q.setSql("SELECT 1 AS x FROM dual");
    q.execute();
  }
  EXPECT_EQ(q.session(), nullptr);
  EXPECT_EQ(errorOf([&] { q.execute(); }).code(), 0);
}

// A statement runs on a worker thread while the main thread waits; breakExecution from the main
// thread ends it with ORA-01013, and the session serves the next statement normally.
TEST_F(SessionTest, BreakExecutionEndsTheStatementOfAWorkerThread) {
  exec({"CREATE TABLE t (id NUMBER)"});
  fillRows("t", 10);  // 1024 rows: the triple join below runs for minutes
  std::atomic<int> code{-1};
  std::thread worker([&] {
    Query q(&session);
    q.setSql("SELECT COUNT(*) FROM t a, t b, t c");
    try {
      q.execute();
      code = 0;
    } catch (const Error& e) {
      code = e.code();
    }
  });
  while (!session.executing() && code.load() < 0) std::this_thread::yield();
  session.breakExecution();
  worker.join();
  EXPECT_EQ(code.load(), 1013);
  EXPECT_EQ(count(session, "t"), 1024);
}

TEST_F(SessionTest, BreakWhileIdleDoesNotHitTheNextStatement) {
  session.breakExecution();
  Query q(&session);
  q.setSql("SELECT 1 AS x FROM dual");
  q.execute();
  EXPECT_EQ(q.field(0).asInteger(), 1);
}

TEST_F(SessionTest, CallsFromSeveralThreadsAreSerialised) {
  exec({"CREATE TABLE t (id NUMBER, thread NUMBER)"});
  constexpr int kThreads = 4, kRows = 40;
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      Query ins(&session);
      ins.setSql("INSERT INTO t VALUES (:id, :thread)");
      ins.declareVariable("id", DataType::Integer);
      ins.declareVariable("thread", DataType::Integer);
      ins.setVariable("thread", t);
      Query sel(&session);
      sel.setSql("SELECT COUNT(*) AS n FROM t WHERE thread = :thread");
      sel.declareVariable("thread", DataType::Integer);
      sel.setVariable("thread", t);
      for (int i = 0; i < kRows; ++i) {
        try {
          ins.setVariable("id", i);
          ins.execute();
          sel.execute();
          if (sel.field("n").asInteger() != i + 1) ++failures;
        } catch (const Error&) {
          ++failures;
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(count(session, "t"), kThreads * kRows);
}

}  // namespace
}  // namespace nuvo::db::test
