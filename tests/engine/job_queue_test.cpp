// The job queue driven by a fixed clock: due jobs run on their own sessions as their owners, the
// interval sets the next date, failures count up to broken, job_queue_processes bounds the runs,
// DBA_JOBS_RUNNING shows a running job, and stopping the queue cancels it.

#include <gtest/gtest.h>

#include <future>

#include "engine_test_support.h"

using engine::test::rows;

namespace engine {
namespace {

class JobQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = test::freshDatabase();
    db_->setClock(&t0_);
    auto sys = db_->logOn("SYSTEM", "SYSTEM");
    sys->execute("CREATE USER jq IDENTIFIED BY jq");
    sys->execute("GRANT CREATE SESSION, CREATE TABLE, CREATE PROCEDURE TO jq");
    owner_ = db_->logOn("JQ", "jq");
    owner_->execute("CREATE TABLE ran (who VARCHAR2(30), at DATE, job_no NUMBER)");
  }

  void TearDown() override { db_->stopJobQueue(); }

  void at(const DateTime& t) {
    now_ = t;
    db_->setClock(&now_);
  }

  // Submits a job as JQ and commits; returns its number.
  std::int64_t submit(const std::string& what, const std::string& next, const std::string& interval) {
    auto st = owner_->prepare("BEGIN DBMS_JOB.SUBMIT(:j, :what, TO_DATE(:next, 'YYYY-MM-DD HH24:MI'), :interval); END;");
    st->bindOut("j", DataType::Number);
    st->bind("what", Value(what));
    st->bind("next", Value(next));
    st->bind("interval", Value(interval));
    st->execute();
    owner_->commit();
    return st->bindValue("j").asInteger();
  }

  std::string job(std::int64_t n, const std::string& columns) {
    auto r = rows(*owner_, "SELECT " + columns + " FROM user_jobs WHERE job = :n", {{"n", Value(n)}});
    return r.empty() ? "(none)" : r[0];
  }

  DateTime t0_{2030, 1, 1, 8, 0, 0};
  DateTime now_;
  std::shared_ptr<Database> db_;
  std::unique_ptr<Session> owner_;
};

TEST_F(JobQueueTest, ADueJobRunsAsItsOwnerAndItsIntervalGivesTheNextDate) {
  auto n = submit("INSERT INTO ran VALUES (USER, SYSDATE, job);", "2030-01-01 09:00", "SYSDATE + 1/24");
  EXPECT_EQ(db_->runDueJobs(), 0);  // not due before 09:00
  at({2030, 1, 1, 9, 0, 0});
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(rows(*owner_, "SELECT who, TO_CHAR(at, 'HH24:MI'), job_no FROM ran"),
            std::vector<std::string>{"JQ|09:00|" + std::to_string(n)});
  EXPECT_EQ(job(n, "TO_CHAR(last_date, 'HH24:MI'), TO_CHAR(next_date, 'HH24:MI'), this_date, failures, broken"),
            "09:00|10:00||0|N");
  EXPECT_EQ(db_->runDueJobs(), 0);  // ran: next at 10:00
  at({2030, 1, 1, 10, 30, 0});
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(job(n, "TO_CHAR(next_date, 'HH24:MI')"), "11:30");
}

TEST_F(JobQueueTest, TheQueueSeesASubmitOnlyOnceItIsCommitted) {
  owner_->execute("DECLARE j BINARY_INTEGER; BEGIN DBMS_JOB.SUBMIT(j, 'INSERT INTO ran (who) VALUES (''x'');'); END;");
  EXPECT_EQ(db_->runDueJobs(), 0);
  owner_->commit();
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(rows(*owner_, "SELECT who FROM ran"), std::vector<std::string>{"x"});
}

TEST_F(JobQueueTest, AJobWithoutIntervalLeavesTheQueueAfterASuccessfulRun) {
  auto n = submit("INSERT INTO ran (who) VALUES ('once');", "2030-01-01 08:00", "null");
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(job(n, "job"), "(none)");
}

TEST_F(JobQueueTest, SixteenFailuresInARowMarkAJobBroken) {
  auto n = submit("RAISE_APPLICATION_ERROR(-20001, 'fails');", "2030-01-01 08:00", "SYSDATE + 1");
  EXPECT_EQ(db_->runDueJobs(), 1);
  // Tried again a minute later, then after 2, 4, ... minutes.
  EXPECT_EQ(job(n, "failures, broken, TO_CHAR(next_date, 'HH24:MI')"), "1|N|08:01");
  for (int i = 2; i <= 16; ++i) {
    at({2030 + i, 1, 1, 8, 0, 0});
    EXPECT_EQ(db_->runDueJobs(), 1) << i;
    EXPECT_EQ(job(n, "failures"), std::to_string(i));
  }
  EXPECT_EQ(job(n, "broken, TO_CHAR(next_date, 'YYYY-MM-DD')"), "Y|4000-01-01");
  at({2040, 1, 1, 8, 0, 0});
  EXPECT_EQ(db_->runDueJobs(), 0);
  // BROKEN(FALSE) puts it back with no failures counted.
  owner_->execute("BEGIN DBMS_JOB.BROKEN(:n, FALSE); COMMIT; END;", {{"n", Value(n)}});
  EXPECT_EQ(job(n, "failures, broken"), "0|N");
  EXPECT_EQ(db_->runDueJobs(), 1);
}

TEST_F(JobQueueTest, JobQueueProcessesBoundsTheRunsAndZeroStopsThem) {
  for (int i = 0; i < 3; ++i) submit("INSERT INTO ran (who) VALUES ('r');", "2030-01-01 08:00", "null");
  db_->setParameter("job_queue_processes", "0");
  EXPECT_EQ(db_->runDueJobs(), 0);
  db_->setParameter("job_queue_processes", "2");
  EXPECT_EQ(db_->runDueJobs(), 2);
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(rows(*owner_, "SELECT COUNT(*) FROM ran"), std::vector<std::string>{"3"});
}

// A job that reports its start on a pipe and then waits for a go.
const char* kWaitingJob =
    "DECLARE s INTEGER; BEGIN DBMS_PIPE.PACK_MESSAGE('started'); s := DBMS_PIPE.SEND_MESSAGE('JQ_STARTED'); "
    "s := DBMS_PIPE.RECEIVE_MESSAGE('JQ_GO', 60); INSERT INTO ran (who) VALUES ('after ' || s); END;";

std::int64_t receiveStatus(Session& s, const std::string& pipe) {
  auto st = s.prepare("BEGIN :r := DBMS_PIPE.RECEIVE_MESSAGE(:p, 60); END;");
  st->bind("p", Value(pipe));
  st->bindOut("r", DataType::Number);
  st->execute();
  return st->bindValue("r").asInteger();
}

TEST_F(JobQueueTest, ARunningJobIsListedInDbaJobsRunningWithItsSession) {
  auto n = submit(kWaitingJob, "2030-01-01 08:00", "null");
  auto runner = std::async(std::launch::async, [&] { return db_->runDueJobs(); });
  auto sys = db_->logOn("SYSTEM", "SYSTEM");
  ASSERT_EQ(receiveStatus(*sys, "JQ_STARTED"), 0);
  EXPECT_EQ(rows(*sys, "SELECT r.job, s.username, TO_CHAR(r.this_date, 'HH24:MI') FROM dba_jobs_running r "
                       "JOIN v$session s ON s.sid = r.sid"),
            std::vector<std::string>{std::to_string(n) + "|JQ|08:00"});
  EXPECT_EQ(job(n, "TO_CHAR(this_date, 'HH24:MI')"), "08:00");
  sys->execute("DECLARE s INTEGER; BEGIN s := DBMS_PIPE.SEND_MESSAGE('JQ_GO'); END;");
  EXPECT_EQ(runner.get(), 1);
  EXPECT_EQ(rows(*sys, "SELECT COUNT(*) FROM dba_jobs_running"), std::vector<std::string>{"0"});
  EXPECT_EQ(rows(*owner_, "SELECT who FROM ran"), std::vector<std::string>{"after 0"});
}

TEST_F(JobQueueTest, TheQueueThreadStartsDueJobsAndStoppingItCancelsThem) {
  auto n = submit(kWaitingJob, "2030-01-01 08:00", "SYSDATE + 1");
  db_->startJobQueue();
  auto sys = db_->logOn("SYSTEM", "SYSTEM");
  ASSERT_EQ(receiveStatus(*sys, "JQ_STARTED"), 0);
  db_->stopJobQueue();
  // Cancelled with ORA-01013: a failure, nothing of it committed, no longer running.
  EXPECT_EQ(job(n, "failures, this_date"), "1|");
  EXPECT_EQ(rows(*owner_, "SELECT COUNT(*) FROM ran"), std::vector<std::string>{"0"});
  EXPECT_EQ(rows(*sys, "SELECT COUNT(*) FROM dba_jobs_running"), std::vector<std::string>{"0"});
}

}  // namespace
}  // namespace engine
