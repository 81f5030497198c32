// Scheduler jobs on the job queue, driven by a fixed clock: the job windows' start block, repeat
// intervals, RUN_JOB in another session, STOP_JOB of a running job.

#include <gtest/gtest.h>

#include <future>

#include "engine_test_support.h"

using engine::test::errorCode;
using engine::test::rows;

namespace engine {
namespace {

class SchedulerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = test::freshDatabase();
    db_->setClock(&now_);
    s_ = db_->logOn("SYSTEM", "SYSTEM");
    s_->execute("CREATE TABLE ran (txt VARCHAR2(40), at DATE)");
  }
  void TearDown() override { db_->stopJobQueue(); }

  void at(const DateTime& t) {
    now_ = t;
    db_->setClock(&now_);
  }
  std::string job(const std::string& name, const std::string& columns) {
    auto r = rows(*s_, "SELECT " + columns + " FROM user_scheduler_jobs WHERE job_name = :n", {{"n", Value(name)}});
    return r.empty() ? "(none)" : r[0];
  }

  DateTime now_{2030, 5, 1, 5, 0, 0};
  std::shared_ptr<Database> db_;
  std::unique_ptr<Session> s_;
};

TEST_F(SchedulerTest, AnEnabledOneTimeJobRunsOnceAndIsDroppedWhenAutoDrop) {
  s_->execute("BEGIN DBMS_SCHEDULER.CREATE_JOB('ONCE', 'PLSQL_BLOCK', "
              "'BEGIN INSERT INTO ran VALUES (''once'', SYSDATE); END;', enabled => TRUE); END;");
  s_->execute("BEGIN DBMS_SCHEDULER.CREATE_JOB('KEPT', 'PLSQL_BLOCK', "
              "'BEGIN INSERT INTO ran VALUES (''kept'', SYSDATE); END;', enabled => TRUE, auto_drop => FALSE); END;");
  EXPECT_EQ(db_->runDueJobs(), 2);
  EXPECT_EQ(rows(*s_, "SELECT txt, TO_CHAR(at, 'HH24:MI') FROM ran ORDER BY txt"),
            (std::vector<std::string>{"kept|05:00", "once|05:00"}));
  EXPECT_EQ(job("ONCE", "state"), "(none)");
  EXPECT_EQ(job("KEPT", "state, enabled, run_count, TO_CHAR(last_start_date, 'HH24:MI')"), "SUCCEEDED|FALSE|1|05:00");
  EXPECT_EQ(db_->runDueJobs(), 0);
}

TEST_F(SchedulerTest, ACalendarIntervalGivesTheNextRuns) {
  s_->execute("BEGIN DBMS_SCHEDULER.CREATE_JOB('TWICE_A_DAY', 'PLSQL_BLOCK', "
              "'BEGIN INSERT INTO ran VALUES (''r'', SYSDATE); END;', start_date => SYSDATE, "
              "repeat_interval => 'FREQ=DAILY; BYHOUR=6,18; BYMINUTE=30', enabled => TRUE); END;");
  EXPECT_EQ(db_->runDueJobs(), 1);  // due at its start date
  EXPECT_EQ(job("TWICE_A_DAY", "state, TO_CHAR(next_run_date, 'YYYY-MM-DD HH24:MI')"), "SCHEDULED|2030-05-01 06:30");
  at({2030, 5, 1, 6, 30, 0});
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(job("TWICE_A_DAY", "TO_CHAR(next_run_date, 'YYYY-MM-DD HH24:MI')"), "2030-05-01 18:30");
  at({2030, 5, 1, 18, 31, 0});
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(job("TWICE_A_DAY", "TO_CHAR(next_run_date, 'YYYY-MM-DD HH24:MI'), run_count"), "2030-05-02 06:30|3");
}

TEST_F(SchedulerTest, RunJobInAnotherSessionRunsADisabledJobThroughTheQueue) {
  s_->execute("BEGIN DBMS_SCHEDULER.CREATE_JOB('LATER', 'PLSQL_BLOCK', 'BEGIN INSERT INTO ran VALUES (USER, SYSDATE); END;', "
              "auto_drop => FALSE); DBMS_SCHEDULER.RUN_JOB('LATER', use_current_session => FALSE); END;");
  EXPECT_EQ(rows(*s_, "SELECT COUNT(*) FROM ran"), std::vector<std::string>{"0"});
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(rows(*s_, "SELECT txt FROM ran"), std::vector<std::string>{"SYSTEM"});
  EXPECT_EQ(job("LATER", "state, run_count"), "DISABLED|1");
  EXPECT_EQ(db_->runDueJobs(), 0);
}

TEST_F(SchedulerTest, StopJobCancelsARunningJobEvenOneThatCatchesTheCancel) {
  // The job waits for a pipe message and goes on waiting whatever happens to the wait.
  s_->execute(
      "BEGIN DBMS_SCHEDULER.CREATE_JOB('SERVER', 'PLSQL_BLOCK', 'DECLARE s INTEGER; BEGIN "
      "DBMS_PIPE.PACK_MESSAGE(''up''); s := DBMS_PIPE.SEND_MESSAGE(''SERVER_UP''); "
      "LOOP BEGIN s := DBMS_PIPE.RECEIVE_MESSAGE(''SERVER_STOP'', 60); EXIT WHEN s = 0; "
      "EXCEPTION WHEN OTHERS THEN NULL; END; END LOOP; END;', enabled => TRUE, auto_drop => FALSE); END;");
  auto runner = std::async(std::launch::async, [&] { return db_->runDueJobs(); });
  auto other = db_->logOn("SYSTEM", "SYSTEM");
  auto up = other->prepare("BEGIN :r := DBMS_PIPE.RECEIVE_MESSAGE('SERVER_UP', 60); END;");
  up->bindOut("r", DataType::Number);
  up->execute();
  ASSERT_EQ(up->bindValue("r").asInteger(), 0);
  EXPECT_EQ(rows(*other, "SELECT job_name FROM all_scheduler_running_jobs"), std::vector<std::string>{"SERVER"});
  EXPECT_EQ(job("SERVER", "state"), "RUNNING");
  EXPECT_EQ(errorCode(*other, "BEGIN DBMS_SCHEDULER.DISABLE('SERVER'); END;"), 27478);
  EXPECT_EQ(errorCode(*other, "BEGIN DBMS_SCHEDULER.STOP_JOB('SERVER', force => TRUE); END;"), 0);
  EXPECT_EQ(runner.get(), 1);
  EXPECT_EQ(job("SERVER", "state, enabled"), "STOPPED|FALSE");
  EXPECT_EQ(rows(*s_, "SELECT status, error# FROM user_scheduler_job_run_details WHERE job_name = 'SERVER'"),
            std::vector<std::string>{"STOPPED|1013"});
  EXPECT_EQ(errorCode(*other, "BEGIN DBMS_SCHEDULER.DISABLE('SERVER'); DBMS_SCHEDULER.DROP_JOB('SERVER'); END;"), 0);
}

TEST_F(SchedulerTest, MaxFailuresMakesARepeatingJobBroken) {
  s_->execute("BEGIN DBMS_SCHEDULER.CREATE_JOB('BAD', 'PLSQL_BLOCK', 'BEGIN RAISE_APPLICATION_ERROR(-20001, ''no''); END;', "
              "start_date => SYSDATE, repeat_interval => 'FREQ=HOURLY', enabled => TRUE); "
              "DBMS_SCHEDULER.SET_ATTRIBUTE('BAD', 'MAX_FAILURES', 2); END;");
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(job("BAD", "state, failure_count, TO_CHAR(next_run_date, 'HH24:MI')"), "SCHEDULED|1|06:00");
  at({2030, 5, 1, 6, 0, 0});
  EXPECT_EQ(db_->runDueJobs(), 1);
  EXPECT_EQ(job("BAD", "state, enabled, failure_count"), "BROKEN|FALSE|2");
  EXPECT_EQ(rows(*s_, "SELECT status, error# FROM user_scheduler_job_run_details ORDER BY log_id"),
            (std::vector<std::string>{"FAILED|20001", "FAILED|20001"}));
}

}  // namespace
}  // namespace engine
