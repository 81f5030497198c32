#pragma once
// The job queue of one database in this process: claims the DBMS_JOB jobs that are due by the
// database's clock and runs each on a session of its own as the job's owner. The queue itself is the
// catalog's jobs table (transactional: a job exists once its SUBMIT is committed). The jobs running
// are kept in memory per database directory: a claim writes nothing, so an uncommitted change of
// another session never holds the queue up, and every runner of the process sees the claims. Across
// processes, the queue thread of only one process runs (a lock file in the database directory).

#include <sqlite3.h>

#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine.h"

namespace engine::storage {
class DatabaseImpl;
class SessionImpl;
}  // namespace engine::storage

namespace engine::plsql {

// A job running in this process: the session that runs it (0 until it has one) and when it started.
// DBMS_JOB jobs by their number, scheduler jobs by their negative id.
struct RunningJob {
  std::int64_t job = 0, sid = 0;
  std::string thisDate;  // ISO
  storage::SessionImpl* session = nullptr;
  bool stopped = false;  // STOP_JOB cancelled it
};
std::vector<RunningJob> runningJobs(const std::string& directory);
bool isJobRunning(const std::string& directory, std::int64_t key);
// Cancels a running job and waits (up to half a minute) for it to end; with `force` the job's
// session is cancelled again until it does. False when the job is not running.
bool stopRunningJob(const std::string& directory, std::int64_t key, bool force);

class JobQueue {
 public:
  explicit JobQueue(storage::DatabaseImpl& database);
  ~JobQueue();

  // Starts the due jobs (within job_queue_processes); with `wait`, returns when they have ended.
  int runDue(bool wait);
  void start();
  // Stops the ticking thread, cancels running jobs and waits for them.
  void stop();

 private:
  struct Worker {
    std::thread thread;
    bool done = false;
    bool awaited = false;  // runDue(wait) joins it itself
    storage::SessionImpl* session = nullptr;  // while the job runs, for stop()'s cancel
  };
  void work(Worker& worker, std::int64_t job);
  void reap();  // joins workers that have ended (mutex_ held)

  storage::DatabaseImpl& database_;
  sqlite3* db_ = nullptr;  // the queue's own connection to the catalog
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread ticker_;
  int lockFile_ = -1;  // held while this process's queue thread runs the database's jobs
  std::list<Worker> workers_;
};

// Runs one job on `session` (the runner's session or, for DBMS_JOB.RUN, the caller's): the job's
// block, a commit (or a rollback on failure), then the job's row: LAST_DATE, NEXT_DATE from its
// interval, FAILURES (16 make it broken), TOTAL_TIME. Returns the error that ended the job, if any.
std::optional<Error> runJob(storage::SessionImpl& session, std::int64_t job);
// A DBMS_JOB interval that means "run once": empty or NULL.
bool isNullInterval(const std::string& interval);
// Runs a scheduler job on `session`: its action, a commit, then the job's run count, state, next run
// and a row of its run details. `manual`: RUN_JOB, which leaves a disabled job disabled.
std::optional<Error> runSchedulerJob(storage::SessionImpl& session, std::int64_t id, bool manual);

}  // namespace engine::plsql
