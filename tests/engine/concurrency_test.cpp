// Several sessions at once: the bounded wait for another session's write (ORA-00054), interrupt
// from another thread (ORA-01013), SELECT FOR UPDATE NOWAIT.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "engine_test_support.h"

using engine::test::errorCode;
using engine::test::rows;

namespace engine {
namespace {

class ConcurrencyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = test::freshDatabase();
    db_->setParameter("nuvo_lock_wait_ms", "200");
    a_ = db_->logOn("SYSTEM", "SYSTEM");
    b_ = db_->logOn("SYSTEM", "SYSTEM");
    a_->execute("CREATE TABLE t (id NUMBER PRIMARY KEY, v VARCHAR2(10))");
    a_->execute("INSERT INTO t VALUES (1, 'a')");
    a_->commit();
  }

  std::shared_ptr<Database> db_;
  std::unique_ptr<Session> a_, b_;
};

TEST_F(ConcurrencyTest, WriteWaitsForAnotherSessionsOpenWriteThenFails) {
  a_->execute("UPDATE t SET v = 'x' WHERE id = 1");
  EXPECT_EQ(errorCode(*b_, "INSERT INTO t VALUES (2, 'b')"), 54);
  // The failed statement leaves B usable; once A commits, B's write goes through.
  a_->commit();
  EXPECT_EQ(errorCode(*b_, "INSERT INTO t VALUES (2, 'b')"), 0);
  b_->commit();
  EXPECT_EQ(rows(*a_, "SELECT v FROM t ORDER BY id"), (std::vector<std::string>{"x", "b"}));
}

TEST_F(ConcurrencyTest, WriteSucceedsWhenTheOtherCommitsWithinTheWait) {
  db_->setParameter("nuvo_lock_wait_ms", "10000");
  a_->execute("UPDATE t SET v = 'x' WHERE id = 1");
  auto committer = std::async(std::launch::async, [&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    a_->commit();
  });
  EXPECT_EQ(errorCode(*b_, "UPDATE t SET v = 'y' WHERE id = 1"), 0);
  committer.get();
  b_->commit();
  EXPECT_EQ(rows(*a_, "SELECT v FROM t"), std::vector<std::string>{"y"});
}

// A database has one writer at a time, whatever schema the write goes to; what lives outside
// transactions (logon, NEXTVAL, ALTER SYSTEM) does not wait for it.
TEST_F(ConcurrencyTest, AWriteToAnotherSchemaWaitsButLogonNextvalAndAlterSystemDoNot) {
  a_->execute("CREATE USER other IDENTIFIED BY other");
  a_->execute("GRANT CREATE SESSION TO other");
  a_->execute("CREATE TABLE other.k (id NUMBER)");
  a_->execute("CREATE SEQUENCE s");
  a_->execute("UPDATE t SET v = 'x' WHERE id = 1");
  EXPECT_EQ(errorCode(*b_, "INSERT INTO other.k VALUES (1)"), 54);
  EXPECT_NO_THROW(db_->logOn("OTHER", "OTHER"));
  EXPECT_EQ(rows(*b_, "SELECT s.NEXTVAL FROM dual"), std::vector<std::string>{"1"});
  EXPECT_EQ(rows(*a_, "SELECT s.NEXTVAL FROM dual"), std::vector<std::string>{"2"});
  EXPECT_EQ(errorCode(*a_, "ALTER SYSTEM SET nuvo_lock_wait_ms = 150"), 0);
  EXPECT_EQ(db_->parameter("nuvo_lock_wait_ms"), "150");
  a_->rollback();
  EXPECT_EQ(errorCode(*b_, "INSERT INTO other.k VALUES (1)"), 0);
  b_->commit();
}

TEST_F(ConcurrencyTest, ReadersAreNotBlockedByAnOpenWrite) {
  a_->execute("UPDATE t SET v = 'x' WHERE id = 1");
  EXPECT_EQ(rows(*b_, "SELECT v FROM t"), std::vector<std::string>{"a"});
}

TEST_F(ConcurrencyTest, SelectForUpdateNowaitFailsAtOnceWhileAnotherHoldsTheRows) {
  db_->setParameter("nuvo_lock_wait_ms", "60000");
  EXPECT_EQ(rows(*a_, "SELECT v FROM t WHERE id = 1 FOR UPDATE"), std::vector<std::string>{"a"});
  EXPECT_TRUE(a_->inTransaction());
  EXPECT_EQ(errorCode(*b_, "SELECT v FROM t WHERE id = 1 FOR UPDATE NOWAIT"), 54);
  a_->rollback();
  EXPECT_EQ(errorCode(*b_, "SELECT v FROM t WHERE id = 1 FOR UPDATE NOWAIT"), 0);
}

TEST_F(ConcurrencyTest, InterruptCancelsARunningQuery) {
  a_->execute("INSERT INTO t SELECT LEVEL + 1, 'r' FROM dual CONNECT BY LEVEL < 2000");
  a_->commit();
  auto canceller = std::async(std::launch::async, [&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    a_->interrupt();
  });
  // Eight billion combinations: it runs until interrupted.
  EXPECT_EQ(errorCode(*a_, "SELECT COUNT(*) FROM t x, t y, t z"), 1013);
  canceller.get();
  // The interrupt is spent: the next statement runs.
  EXPECT_EQ(rows(*a_, "SELECT COUNT(*) FROM t"), std::vector<std::string>{"2000"});
}

TEST_F(ConcurrencyTest, InterruptEndsTheWaitForALock) {
  db_->setParameter("nuvo_lock_wait_ms", "60000");
  a_->execute("UPDATE t SET v = 'x' WHERE id = 1");
  auto canceller = std::async(std::launch::async, [&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    b_->interrupt();
  });
  EXPECT_EQ(errorCode(*b_, "UPDATE t SET v = 'y' WHERE id = 1"), 1013);
  canceller.get();
  EXPECT_EQ(errorCode(*b_, "SELECT 1 FROM dual"), 0);
}

TEST_F(ConcurrencyTest, InterruptBeforeAStatementCancelsTheNextOne) {
  a_->interrupt();
  EXPECT_EQ(errorCode(*a_, "SELECT 1 FROM dual"), 1013);
  EXPECT_EQ(errorCode(*a_, "SELECT 1 FROM dual"), 0);
}

TEST_F(ConcurrencyTest, SessionsOnSeveralThreadsAllCommitTheirRows) {
  db_->setParameter("nuvo_lock_wait_ms", "20000");
  std::vector<std::future<void>> workers;
  for (int w = 0; w < 4; ++w) {
    workers.push_back(std::async(std::launch::async, [this, w] {
      auto s = db_->logOn("SYSTEM", "SYSTEM");
      for (int i = 0; i < 25; ++i) {
        s->execute("INSERT INTO t VALUES (:id, :v)", {{"id", 1000 * (w + 1) + i}, {"v", "w" + std::to_string(w)}});
        s->commit();
      }
    }));
  }
  for (auto& f : workers) f.get();
  EXPECT_EQ(rows(*a_, "SELECT COUNT(*), COUNT(DISTINCT v) FROM t WHERE id >= 1000"), std::vector<std::string>{"100|4"});
}

}  // namespace
}  // namespace engine
