// DBMS_LOCK between sessions on different threads: a request waits for another session's lock and
// times out, gets it once the holder releases it or commits, sees a deadlock, and a cancel ends a wait.

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <functional>
#include <future>
#include <thread>

#include "engine_test_support.h"

using engine::test::errorCode;
using engine::test::rows;

namespace engine {
namespace {

class LockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = test::freshDatabase();
    a_ = db_->logOn("SYSTEM", "SYSTEM");
    b_ = db_->logOn("SYSTEM", "SYSTEM");
  }

  // REQUEST of lock `id`; returns its status.
  static std::int64_t request(Session& s, int id, int mode, double timeout, bool releaseOnCommit = false) {
    auto st = s.prepare(std::string("BEGIN :r := DBMS_LOCK.REQUEST(:i, :m, :t, ") + (releaseOnCommit ? "TRUE" : "FALSE") +
                        "); END;");
    st->bind("i", Value(id));
    st->bind("m", Value(mode));
    st->bind("t", Value(timeout));
    st->bindOut("r", DataType::Number);
    st->execute();
    return st->bindValue("r").asInteger();
  }

  static std::int64_t release(Session& s, int id) {
    auto st = s.prepare("BEGIN :r := DBMS_LOCK.RELEASE(:i); END;");
    st->bind("i", Value(id));
    st->bindOut("r", DataType::Number);
    st->execute();
    return st->bindValue("r").asInteger();
  }

  static std::string handle(Session& s, const std::string& name) {
    auto st = s.prepare("BEGIN DBMS_LOCK.ALLOCATE_UNIQUE(:n, :h); END;");
    st->bind("n", Value(name));
    st->bindOut("h", DataType::Varchar2);
    st->execute();
    return st->bindValue("h").asText();
  }

  std::shared_ptr<Database> db_;
  std::unique_ptr<Session> a_, b_;
};

constexpr int X = 6, S = 4, SS = 2;

TEST_F(LockTest, ARequestTimesOutWhileAnotherSessionHoldsTheLockAndGetsItAfterTheRelease) {
  ASSERT_EQ(request(*a_, 10, X, 0), 0);
  EXPECT_EQ(request(*b_, 10, X, 0.2), 1);
  EXPECT_EQ(release(*b_, 10), 4);  // B does not own it
  auto waiter = std::async(std::launch::async, [&] { return request(*b_, 10, X, 30); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(release(*a_, 10), 0);
  EXPECT_EQ(waiter.get(), 0);
  EXPECT_EQ(request(*a_, 10, X, 0), 1);
}

TEST_F(LockTest, ModesShareAsTheCompatibilityRulesSay) {
  struct Case {
    int held, wanted;
    std::int64_t status;
  } cases[] = {{S, S, 0}, {S, X, 1}, {X, SS, 1}, {SS, 3, 0}, {SS, X, 1}, {1, X, 0}, {3, S, 1}, {5, SS, 0}};
  int id = 100;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.held) + " then " + std::to_string(c.wanted));
    ASSERT_EQ(request(*a_, id, c.held, 0), 0);
    EXPECT_EQ(request(*b_, id, c.wanted, 0), c.status);
    ++id;
  }
}

TEST_F(LockTest, ReleaseOnCommitFreesTheLockForTheOtherSessionAtCommitAndRollback) {
  a_->execute("CREATE TABLE work_t (v NUMBER)");
  ASSERT_EQ(request(*a_, 20, X, 0, true), 0);
  ASSERT_EQ(request(*a_, 21, X, 0, false), 0);
  a_->execute("INSERT INTO work_t VALUES (1)");
  auto waiter = std::async(std::launch::async, [&] { return request(*b_, 20, X, 30); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  a_->execute("COMMIT");
  EXPECT_EQ(waiter.get(), 0);
  EXPECT_EQ(request(*b_, 21, X, 0), 1);  // kept: not released on commit
  ASSERT_EQ(request(*a_, 22, S, 0, true), 0);
  a_->rollback();
  EXPECT_EQ(request(*b_, 22, X, 0), 0);
}

TEST_F(LockTest, AWaitingRequestHoldsNoDatabaseLock) {
  a_->execute("CREATE TABLE log_t (v VARCHAR2(10))");
  ASSERT_EQ(request(*a_, 30, X, 0), 0);
  b_->execute("INSERT INTO log_t VALUES ('b')");  // B holds a write transaction while it waits
  auto waiter = std::async(std::launch::async, [&] { return request(*b_, 30, X, 30); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(release(*a_, 30), 0);
  EXPECT_EQ(waiter.get(), 0);
  b_->commit();
  EXPECT_EQ(rows(*a_, "SELECT v FROM log_t"), std::vector<std::string>{"b"});
}

TEST_F(LockTest, TwoSessionsWaitingOnEachOtherGetDeadlock) {
  ASSERT_EQ(request(*a_, 40, X, 0), 0);
  ASSERT_EQ(request(*b_, 41, X, 0), 0);
  auto waiter = std::async(std::launch::async, [&] { return request(*a_, 41, X, 10); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(request(*b_, 40, X, 10), 2);
  EXPECT_EQ(release(*b_, 41), 0);
  EXPECT_EQ(waiter.get(), 0);
}

TEST_F(LockTest, ACancelEndsAWaitWithOra01013AndLogoffReleasesTheSessionsLocks) {
  std::string h = handle(*a_, "NUVO_NIGHTLY");
  EXPECT_EQ(handle(*b_, "NUVO_NIGHTLY"), h);  // one name, one lock, in every session
  // The handle in a VARCHAR2 variable, as the applications keep it, picks the handle overload.
  auto st = a_->prepare("DECLARE h VARCHAR2(128) := :h; BEGIN :r := DBMS_LOCK.REQUEST(h, DBMS_LOCK.X_MODE, 0); END;");
  st->bind("h", Value(h));
  st->bindOut("r", DataType::Number);
  st->execute();
  ASSERT_EQ(st->bindValue("r").asInteger(), 0);
  auto canceller = std::async(std::launch::async, [&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    b_->interrupt();
  });
  EXPECT_EQ(errorCode(*b_, "DECLARE s INTEGER; BEGIN s := DBMS_LOCK.REQUEST('" + h + "'); END;"), 1013);
  canceller.get();
  a_.reset();  // logoff
  auto again = b_->prepare("DECLARE h VARCHAR2(128) := :h; BEGIN :r := DBMS_LOCK.REQUEST(h, DBMS_LOCK.X_MODE, 0); END;");
  again->bind("h", Value(h));
  again->bindOut("r", DataType::Number);
  again->execute();
  EXPECT_EQ(again->bindValue("r").asInteger(), 0);
}

TEST_F(LockTest, AClientBindChoosesTheOverloadByTheTypeOfItsValue) {
  std::string h = handle(*a_, "NUVO_BOUND");
  // One statement, run with a handle and then with a number: each value picks its own overload.
  auto st = a_->prepare("BEGIN :r := DBMS_LOCK.REQUEST(:h, DBMS_LOCK.X_MODE, 0); END;");
  st->bind("h", Value(h));
  st->bindOut("r", DataType::Number);
  st->execute();
  EXPECT_EQ(st->bindValue("r").asInteger(), 0);
  auto other = b_->prepare("BEGIN :r := DBMS_LOCK.RELEASE(:h); END;");
  other->bind("h", Value(h));
  other->bindOut("r", DataType::Number);
  other->execute();
  EXPECT_EQ(other->bindValue("r").asInteger(), 4);  // B does not own A's lock
  st->bind("h", Value(77));
  st->execute();
  EXPECT_EQ(st->bindValue("r").asInteger(), 0);
  EXPECT_EQ(request(*b_, 77, X, 0), 1);  // lock 77 is A's now
  EXPECT_EQ(release(*a_, 77), 0);
}

TEST_F(LockTest, AllocateUniqueCommitsTheSessionsTransaction) {
  a_->execute("CREATE TABLE work_done(n NUMBER)");
  a_->execute("INSERT INTO work_done VALUES (1)");
  handle(*a_, "NUVO_COMMITS");
  a_->rollback();
  EXPECT_EQ(rows(*a_, "SELECT COUNT(*) FROM work_done"), (std::vector<std::string>{"1"}));
}

// V$LOCK as another session sees it: polls (bounded) until `done` holds for its rows, which are
// "SID|TYPE|ID1|ID2|LMODE|REQUEST|BLOCK" ordered by SID, TYPE, REQUEST.
std::vector<std::string> locksWhen(Session& viewer, const std::function<bool(const std::vector<std::string>&)>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::vector<std::string> seen;
  while (std::chrono::steady_clock::now() < deadline) {
    seen = rows(viewer, "SELECT sid, type, id1, id2, lmode, request, block FROM v$lock WHERE type IN ('TX','UL') "
                        "ORDER BY sid, type, request");
    if (done(seen)) return seen;
    std::this_thread::yield();
  }
  ADD_FAILURE() << "V$LOCK never showed the expected rows";
  return seen;
}

std::string sidOf(Session& s) { return std::to_string(s.sessionId()); }

TEST_F(LockTest, VLockShowsTheWriterBlockingASessionThatWaitsForTheDatabaseLock) {
  db_->setParameter("nuvo_lock_wait_ms", "20000");
  auto viewer = db_->logOn("SYSTEM", "SYSTEM");
  a_->execute("CREATE TABLE vl_t (n NUMBER)", {});
  a_->execute("INSERT INTO vl_t VALUES (1)", {});
  const std::string a = sidOf(*a_), b = sidOf(*b_);
  auto waiter = std::async(std::launch::async, [&] { return b_->execute("INSERT INTO vl_t VALUES (2)", {}); });
  auto seen = locksWhen(*viewer, [&](const std::vector<std::string>& r) {
    return std::any_of(r.begin(), r.end(), [&](const std::string& l) { return l.rfind(b + "|TX|", 0) == 0; });
  });
  ASSERT_EQ(seen.size(), 2u) << ::testing::PrintToString(seen);
  // The holder's TX in exclusive mode, blocking; the waiter requests the same TX in exclusive mode.
  auto fields = [](const std::string& l) {
    std::vector<std::string> f;
    std::size_t at = 0;
    for (std::size_t bar; (bar = l.find('|', at)) != std::string::npos; at = bar + 1) f.push_back(l.substr(at, bar - at));
    f.push_back(l.substr(at));
    return f;
  };
  auto holder = fields(seen[0]), waiting = fields(seen[1]);
  EXPECT_EQ(holder[0], a);
  EXPECT_EQ((std::vector<std::string>{holder[4], holder[5], holder[6]}), (std::vector<std::string>{"6", "0", "1"}));
  EXPECT_EQ(waiting[0], b);
  EXPECT_EQ((std::vector<std::string>{waiting[4], waiting[5], waiting[6]}), (std::vector<std::string>{"0", "6", "0"}));
  EXPECT_EQ(waiting[2], holder[2]);
  EXPECT_EQ(waiting[3], holder[3]);
  // Both hold their TM lock on the table.
  EXPECT_EQ(rows(*viewer, "SELECT l.sid, l.lmode FROM v$lock l JOIN all_objects o ON o.object_id = l.id1 "
                          "WHERE l.type = 'TM' AND o.object_name = 'VL_T' ORDER BY l.sid"),
            (std::vector<std::string>{a + "|3", b + "|3"}));
  a_->commit();
  EXPECT_EQ(waiter.get(), 1);
  seen = locksWhen(*viewer, [](const std::vector<std::string>& r) { return r.size() == 1; });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(fields(seen[0])[0], b);
  EXPECT_EQ(fields(seen[0])[6], "0");  // nobody waits now
  b_->rollback();
  EXPECT_TRUE(rows(*viewer, "SELECT sid FROM v$lock").empty());
}

// A statement run again and again notes its table lock once per transaction: after a COMMIT or a
// ROLLBACK the next run shows it again, in PL/SQL loops as in single statements.
TEST_F(LockTest, VLockShowsATablesLockAgainInEachNewTransaction) {
  auto viewer = db_->logOn("SYSTEM", "SYSTEM");
  a_->execute("CREATE TABLE vl_n (n NUMBER)", {});
  const std::string a = sidOf(*a_);
  const std::string tm = "SELECT l.sid, l.lmode FROM v$lock l JOIN all_objects o ON o.object_id = l.id1 "
                         "WHERE l.type = 'TM' AND o.object_name = 'VL_N'";
  const std::string loop = "BEGIN FOR i IN 1 .. 3 LOOP INSERT INTO vl_n VALUES (i); END LOOP; END;";
  for (const char* end : {"COMMIT", "ROLLBACK"}) {
    a_->execute(loop, {});
    EXPECT_EQ(rows(*viewer, tm), (std::vector<std::string>{a + "|3"})) << end;
    a_->execute(end, {});
    EXPECT_TRUE(rows(*viewer, tm).empty()) << end;
  }
  a_->execute(loop, {});
  EXPECT_EQ(rows(*viewer, tm), (std::vector<std::string>{a + "|3"}));
  a_->execute("INSERT INTO vl_n VALUES (9)", {});
  a_->commit();
  a_->execute("INSERT INTO vl_n VALUES (9)", {});
  EXPECT_EQ(rows(*viewer, tm), (std::vector<std::string>{a + "|3"}));
  a_->rollback();
}

TEST_F(LockTest, VLockShowsAUserLockHeldBlockingAndRequested) {
  ASSERT_EQ(request(*a_, 77, X, 0), 0);
  const std::string a = sidOf(*a_), b = sidOf(*b_);
  auto waiter = std::async(std::launch::async, [&] { return request(*b_, 77, S, 30); });
  auto seen = locksWhen(*a_, [&](const std::vector<std::string>& r) { return r.size() == 2; });
  EXPECT_EQ(seen, (std::vector<std::string>{a + "|UL|77|0|6|0|1", b + "|UL|77|0|0|4|0"}));
  EXPECT_EQ(release(*a_, 77), 0);
  EXPECT_EQ(waiter.get(), 0);
  seen = locksWhen(*a_, [&](const std::vector<std::string>& r) { return r.size() == 1; });
  EXPECT_EQ(seen, (std::vector<std::string>{b + "|UL|77|0|4|0|0"}));
}

TEST_F(LockTest, AReadOnlyTransactionReadsOneSnapshotUntilItEnds) {
  a_->execute("CREATE TABLE ro_t (n NUMBER)", {});
  a_->execute("SET TRANSACTION READ ONLY", {});
  EXPECT_EQ(rows(*a_, "SELECT COUNT(*) FROM ro_t"), (std::vector<std::string>{"0"}));
  b_->execute("INSERT INTO ro_t VALUES (1)", {});
  b_->commit();
  EXPECT_EQ(rows(*a_, "SELECT COUNT(*) FROM ro_t"), (std::vector<std::string>{"0"}));
  EXPECT_TRUE(a_->inTransaction());
  a_->commit();
  EXPECT_EQ(rows(*a_, "SELECT COUNT(*) FROM ro_t"), (std::vector<std::string>{"1"}));
  // A plain transaction reads each statement's committed state.
  b_->execute("INSERT INTO ro_t VALUES (2)", {});
  b_->commit();
  EXPECT_EQ(rows(*a_, "SELECT COUNT(*) FROM ro_t"), (std::vector<std::string>{"2"}));
}

}  // namespace
}  // namespace engine
