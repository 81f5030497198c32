#include "engine/plsql/packages/job_queue.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "engine/plsql/packages/native.h"
#include "engine/plsql/packages/schedule.h"
#include "engine/storage/database.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::plsql {

using storage::Stmt;

namespace {

constexpr int kBrokenAfter = 16;  // failures in a row that mark a job broken
const char* const kNever = "4000-01-01 00:00:00";

struct JobRow {
  std::string privUser, schemaUser, what, interval, nextDate;
  std::int64_t failures = 0;
};

std::optional<JobRow> readJob(sqlite3* db, std::int64_t job) {
  Stmt s(db, "SELECT priv_user, schema_user, what, interval, next_date, failures FROM main.jobs WHERE job = ?1");
  s.bindAll(job);
  if (!s.step()) return std::nullopt;
  return JobRow{s.text(0), s.text(1), s.text(2), s.isNull(3) ? std::string() : s.text(3), s.text(4), s.integer(5)};
}


// The interval expression's next date (ISO), evaluated in the session; empty when it is NULL.
std::string evaluateInterval(storage::SessionImpl& s, const std::string& interval) {
  if (isNullInterval(interval)) return {};
  auto st = s.prepare("SELECT " + interval + " FROM dual");
  st->execute();
  if (!st->next() || st->value(0).isNull()) return {};
  Value v = st->value(0);
  if (v.kind() != Value::Kind::Date) throw Error::ora(932, "inconsistent datatypes: expected DATE got NUMBER");
  return v.asDate().toIso();
}

std::string plusMinutes(sqlite3* db, const std::string& iso, std::int64_t minutes) {
  Stmt s(db, "SELECT datetime(?1, ?2)");
  s.bindAll(iso, "+" + std::to_string(minutes) + " minutes");
  s.step();
  return s.text(0);
}

struct Registry {
  std::mutex mutex;
  std::map<std::int64_t, RunningJob> jobs;
};

// Writes the job's row after a run; retried while another session holds the catalog.
template <class Write>
void writeJobRow(storage::SessionImpl& s, Write write) {
  for (int attempt = 0;; ++attempt) {
    try {
      write();
      return;
    } catch (const Error&) {
      if (attempt >= 100 || s.interruptFlag().load()) throw;
    }
  }
}

// Marks a job running in the registry for the length of a run.
class Claim {
 public:
  Claim(std::shared_ptr<Registry> r, std::int64_t job, storage::SessionImpl& s, const std::string& now)
      : r_(std::move(r)), job_(job) {
    std::lock_guard lock(r_->mutex);
    auto& entry = r_->jobs[job];
    if (entry.job == 0) {
      entry = {job, s.sessionId(), now};
      owned_ = true;
    }
    entry.sid = s.sessionId();
    entry.session = &s;
  }
  ~Claim() {
    std::lock_guard lock(r_->mutex);
    auto it = r_->jobs.find(job_);
    if (it == r_->jobs.end()) return;
    it->second.session = nullptr;
    if (owned_) r_->jobs.erase(it);
  }
  bool stopped() const {
    std::lock_guard lock(r_->mutex);
    auto it = r_->jobs.find(job_);
    return it != r_->jobs.end() && it->second.stopped;
  }

 private:
  std::shared_ptr<Registry> r_;
  std::int64_t job_;
  bool owned_ = false;
};

}  // namespace

bool isNullInterval(const std::string& interval) {
  std::string t = upperCase(trimmed(interval));
  return t.empty() || t == "NULL";
}

std::vector<RunningJob> runningJobs(const std::string& directory) {
  auto r = sharedPerDatabase<Registry>(directory);
  std::lock_guard lock(r->mutex);
  std::vector<RunningJob> out;
  for (const auto& [job, entry] : r->jobs) out.push_back(entry);
  return out;
}

bool isJobRunning(const std::string& directory, std::int64_t key) {
  auto r = sharedPerDatabase<Registry>(directory);
  std::lock_guard lock(r->mutex);
  return r->jobs.count(key) > 0;
}

bool stopRunningJob(const std::string& directory, std::int64_t key, bool force) {
  auto r = sharedPerDatabase<Registry>(directory);
  {
    std::lock_guard lock(r->mutex);
    auto it = r->jobs.find(key);
    if (it == r->jobs.end()) return false;
    it->second.stopped = true;
    if (it->second.session) it->second.session->interrupt();
  }
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < until) {
    {
      std::lock_guard lock(r->mutex);
      auto it = r->jobs.find(key);
      if (it == r->jobs.end()) return true;
      if (force && it->second.session) it->second.session->kill();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::optional<Error> runSchedulerJob(storage::SessionImpl& s, std::int64_t id, bool manual) {
  sqlite3* db = s.connection();
  Stmt read(db, "SELECT owner, job_name, job_type, job_action, repeat_interval, end_date, enabled, auto_drop, "
                "failure_count, max_failures, start_date, logging_level, run_now FROM main.scheduler_jobs WHERE id = ?1");
  read.bindAll(id);
  if (!read.step()) return std::nullopt;
  std::string owner = read.text(0), name = read.text(1), type = read.text(2), action = read.text(3);
  std::string interval = read.isNull(4) ? std::string() : read.text(4);
  std::string endDate = read.isNull(5) ? std::string() : read.text(5);
  bool enabled = read.text(6) == "TRUE", autoDrop = read.text(7) == "TRUE";
  std::int64_t failures = read.integer(8);
  std::int64_t maxFailures = read.isNull(9) ? 0 : read.integer(9);
  std::string startDate = read.isNull(10) ? std::string() : read.text(10);
  std::string logging = read.isNull(11) ? std::string("RUNS") : read.text(11);
  manual = manual || read.integer(12) == 1;  // RUN_JOB through the queue
  read.reset();
  std::string started = s.impl().now().toIso();
  Claim claim(sharedPerDatabase<Registry>(s.impl().directory()), -id, s, started);
  auto clockStart = std::chrono::steady_clock::now();
  std::optional<Error> failure;
  try {
    std::string text = type == "STORED_PROCEDURE" ? "BEGIN " + action + "; END;" : action;
    s.prepare(text)->execute();
    s.commit();
  } catch (const Error& e) {
    failure = e;
    try {
      s.rollback();
    } catch (const Error&) {
    }
  }
  bool stopped = claim.stopped();
  s.revive();
  s.interruptFlag().store(false);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - clockStart).count();
  std::string next;
  if (!interval.empty() && !stopped) {
    try {
      next = nextRunDate(s, interval, startDate, s.impl().now().toIso());
      s.rollback();
    } catch (const Error& e) {
      if (!failure) failure = e;
    }
    if (!endDate.empty() && next > endDate) next.clear();
  }
  if (failure && !stopped) ++failures;
  std::string state;
  bool keepEnabled = enabled;
  if (stopped) {
    state = "STOPPED";
    keepEnabled = false;
  } else if (failure && maxFailures > 0 && failures >= maxFailures) {
    state = "BROKEN";
    keepEnabled = false;
  } else if (!next.empty()) {
    state = enabled ? "SCHEDULED" : "DISABLED";
  } else if (manual && !enabled) {
    state = "DISABLED";
  } else {
    state = failure ? "FAILED" : "SUCCEEDED";
    keepEnabled = false;
  }
  std::string status = stopped ? "STOPPED" : failure ? "FAILED" : "SUCCEEDED";
  std::int64_t errorNumber = stopped ? 1013 : failure ? failure->code() : 0;
  bool drop = autoDrop && !keepEnabled && next.empty() && !manual && !stopped && !failure;
  writeJobRow(s, [&] {
    storage::exec(db, "BEGIN IMMEDIATE");
    try {
      if (drop) {
        Stmt(db, "DELETE FROM main.scheduler_jobs WHERE id = ?1").bindAll(id).step();
      } else {
        Stmt(db, "UPDATE main.scheduler_jobs SET run_count = run_count + 1, failure_count = ?2, state = ?3, "
                 "enabled = ?4, last_start_date = ?5, last_run_duration = ?6 / 1000.0, next_run_date = nullif(?7, ''), "
                 "run_now = 0 WHERE id = ?1")
            .bindAll(id, failures, state, std::string(keepEnabled ? "TRUE" : "FALSE"), started,
                     static_cast<std::int64_t>(std::llround(seconds * 1000)), next)
            .step();
      }
      if (logging != "OFF" && (logging != "FAILED RUNS" || status != "SUCCEEDED"))
        Stmt(db, "INSERT INTO main.scheduler_job_log(log_date, owner, job_name, status, error_number, actual_start_date, "
                 "run_duration, session_id, additional_info) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7 / 1000.0, ?8, nullif(?9, ''))")
            .bindAll(s.impl().now().toIso(), owner, name, status, errorNumber, started,
                     static_cast<std::int64_t>(std::llround(seconds * 1000)), s.sessionId(),
                     failure && !stopped ? failure->message().substr(0, 4000) : std::string())
            .step();
      storage::exec(db, "COMMIT");
    } catch (...) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  });
  if (stopped) return std::nullopt;
  return failure;
}

std::optional<Error> runJob(storage::SessionImpl& s, std::int64_t job) {
  sqlite3* db = s.connection();
  auto row = readJob(db, job);
  if (!row) return std::nullopt;
  std::string started = s.impl().now().toIso();
  Claim claim(sharedPerDatabase<Registry>(s.impl().directory()), job, s, started);
  auto clockStart = std::chrono::steady_clock::now();
  // The job's block sees JOB, NEXT_DATE and BROKEN as Oracle's job queue declares them.
  std::string text = "DECLARE job BINARY_INTEGER := :job; next_date DATE := :mydate; broken BOOLEAN := FALSE; BEGIN " +
                     row->what + "\n:mydate := next_date; IF broken THEN :b := 1; ELSE :b := 0; END IF; END;";
  std::optional<Error> failure;
  Value jobNext;
  bool markBroken = false;
  DateTime before;
  DateTime::fromIso(row->nextDate, before);
  try {
    auto st = s.prepare(text);
    st->bind("job", Value(job));
    st->bind("mydate", Value(before), BindDirection::InOut);
    st->bindOut("b", DataType::Number);
    st->execute();
    s.commit();
    jobNext = st->bindValue("mydate");
    markBroken = st->bindValue("b").isNull() ? false : st->bindValue("b").asInteger() != 0;
  } catch (const Error& e) {
    failure = e;
    try {
      s.rollback();
    } catch (const Error&) {
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - clockStart).count();
  auto ms = static_cast<std::int64_t>(std::llround(seconds * 1000));
  if (!failure) {
    std::string next;
    try {
      next = evaluateInterval(s, row->interval);
      s.rollback();
    } catch (const Error& e) {
      failure = e;
    }
    // A next date the job set itself wins over the interval's.
    if (jobNext.kind() == Value::Kind::Date && !(jobNext.asDate() == before)) next = jobNext.asDate().toIso();
    if (!failure) {
      writeJobRow(s, [&] {
        if (next.empty() && !markBroken) {
          Stmt(db, "DELETE FROM main.jobs WHERE job = ?1").bindAll(job).step();
        } else {
          Stmt(db, "UPDATE main.jobs SET last_date = ?2, next_date = ?3, failures = 0, total_time = total_time + "
                   "?4 / 1000.0, broken = CASE WHEN ?5 THEN 'Y' ELSE broken END WHERE job = ?1")
              .bindAll(job, started, markBroken ? std::string(kNever) : next, ms, std::int64_t(markBroken ? 1 : 0))
              .step();
        }
      });
      return std::nullopt;
    }
  }
  // A failed job is tried again after 1, 2, 4, ... minutes (never later than its interval's next
  // date), until the 16th failure in a row marks it broken.
  std::int64_t failures = row->failures + 1;
  std::string now = s.impl().now().toIso();
  std::string next;
  if (failures >= kBrokenAfter) {
    next = kNever;
  } else {
    next = plusMinutes(db, now, std::int64_t(1) << std::min<std::int64_t>(failures - 1, 20));
    try {
      std::string byInterval = evaluateInterval(s, row->interval);
      if (!byInterval.empty() && byInterval < next) next = byInterval;
      s.rollback();
    } catch (const Error&) {
    }
  }
  // A cancelled job still has its failure written.
  s.interruptFlag().store(false);
  writeJobRow(s, [&] {
    Stmt(db, "UPDATE main.jobs SET next_date = ?2, failures = ?3, total_time = total_time + ?4 / 1000.0, "
             "broken = CASE WHEN ?3 >= ?5 THEN 'Y' ELSE broken END WHERE job = ?1")
        .bindAll(job, next, failures, ms, std::int64_t(kBrokenAfter))
        .step();
  });
  return failure;
}

JobQueue::JobQueue(storage::DatabaseImpl& database) : database_(database) {
  int rc = sqlite3_open_v2(database_.databasePath().c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw Error(1034, "ORA-01034: ORACLE not available (" + message + ")");
  }
  sqlite3_busy_timeout(db_, 5000);
}

JobQueue::~JobQueue() {
  stop();
  sqlite3_close(db_);
}

void JobQueue::reap() {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->done && !it->awaited) {
      it->thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

int JobQueue::runDue(bool wait) {
  std::vector<Worker*> started;
  {
    std::lock_guard lock(mutex_);
    reap();
    std::string limitText = database_.parameter("job_queue_processes");
    std::int64_t limit = limitText.empty() ? 0 : std::stoll(limitText);
    if (limit <= 0) return 0;
    std::string now = database_.now().toIso();
    auto registry = sharedPerDatabase<Registry>(database_.directory());
    std::vector<std::int64_t> jobs;
    {
      // Claims are made under the registry's lock: two runners of the process never take one job.
      std::lock_guard claims(registry->mutex);
      std::int64_t free = limit - static_cast<std::int64_t>(registry->jobs.size());
      // DBMS_JOB jobs by number, scheduler jobs by negative id; a RUN_JOB request comes first.
      Stmt due(db_, "SELECT job, next_date FROM jobs WHERE broken = 'N' AND next_date <= ?1 UNION ALL "
                    "SELECT -id, CASE WHEN run_now = 1 THEN '' ELSE next_run_date END FROM scheduler_jobs "
                    "WHERE run_now = 1 OR (enabled = 'TRUE' AND state = 'SCHEDULED' AND next_run_date <= ?1) "
                    "ORDER BY 2, 1");
      due.bindAll(now);
      while (free > 0 && due.step()) {
        std::int64_t job = due.integer(0);
        if (registry->jobs.count(job)) continue;
        registry->jobs[job] = {job, 0, now};
        jobs.push_back(job);
        --free;
      }
    }
    // A running job keeps its database open.
    std::shared_ptr<Database> self;
    try {
      self = database_.shared_from_this();
    } catch (const std::bad_weak_ptr&) {
      // The database is closing.
    }
    for (auto job : jobs) {
      if (!self) {
        std::lock_guard claims(registry->mutex);
        registry->jobs.erase(job);
        continue;
      }
      workers_.emplace_back();
      Worker& w = workers_.back();
      w.awaited = wait;
      w.thread = std::thread([this, &w, job, registry, self] {
        work(w, job);
        std::lock_guard lock(registry->mutex);
        registry->jobs.erase(job);
      });
      started.push_back(&w);
    }
  }
  if (wait) {
    for (Worker* w : started) w->thread.join();
    std::lock_guard lock(mutex_);
    workers_.remove_if([&](const Worker& w) { return std::find(started.begin(), started.end(), &w) != started.end(); });
  }
  return static_cast<int>(started.size());
}

void JobQueue::work(Worker& worker, std::int64_t job) {
  std::unique_ptr<storage::SessionImpl> session;
  try {
    std::string user;
    std::string schema;
    {
      std::lock_guard lock(mutex_);
      if (job > 0) {
        if (auto row = readJob(db_, job)) {
          user = row->privUser;
          schema = row->schemaUser;
        }
      } else {
        Stmt owner(db_, "SELECT owner FROM scheduler_jobs WHERE id = ?1");
        owner.bindAll(-job);
        if (owner.step()) user = schema = owner.text(0);
      }
    }
    if (!user.empty()) {
      session = database_.internalSession(user);
      if (schema != user) session->setCurrentSchema(schema);
      {
        std::lock_guard lock(mutex_);
        worker.session = session.get();
        if (stopping_) session->interrupt();
      }
      if (job > 0) runJob(*session, job);
      else runSchedulerJob(*session, -job, false);
      std::lock_guard lock(mutex_);
      worker.session = nullptr;
    }
  } catch (const std::exception&) {
    // The job could not start or its row could not be written (its owner is gone, the catalog stayed
    // busy): it is due again at the next tick.
    std::lock_guard lock(mutex_);
    worker.session = nullptr;
  }
  {
    std::lock_guard lock(mutex_);
    worker.session = nullptr;
  }
  session.reset();
  std::lock_guard lock(mutex_);
  worker.done = true;
}

void JobQueue::start() {
  std::lock_guard lock(mutex_);
  if (ticker_.joinable()) return;
  stopping_ = false;
  ticker_ = std::thread([this] {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
      // One process runs a database's queue: the one holding the lock file (taken over when it ends).
      if (lockFile_ < 0) {
        int fd = ::open((database_.directory() + "/jobqueue.lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) lockFile_ = fd;
        else if (fd >= 0) ::close(fd);
      }
      lock.unlock();
      try {
        if (lockFile_ >= 0) runDue(false);
      } catch (const std::exception&) {
        // A busy catalog: the next tick tries again.
      }
      lock.lock();
      wake_.wait_for(lock, std::chrono::seconds(1), [this] { return stopping_; });
    }
  });
}

void JobQueue::stop() {
  std::thread ticker;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    ticker.swap(ticker_);
    for (auto& w : workers_)
      if (w.session) w.session->interrupt();
  }
  wake_.notify_all();
  if (ticker.joinable()) ticker.join();
  if (lockFile_ >= 0) {
    ::close(lockFile_);  // releases the lock
    lockFile_ = -1;
  }
  for (;;) {
    std::unique_lock lock(mutex_);
    auto it = std::find_if(workers_.begin(), workers_.end(), [](const Worker& w) { return w.thread.joinable(); });
    if (it == workers_.end()) break;
    std::thread t = std::move(it->thread);
    lock.unlock();
    // The last session of a job may close the database on the job's own thread.
    if (t.get_id() == std::this_thread::get_id()) t.detach();
    else t.join();
    lock.lock();
    workers_.erase(std::find_if(workers_.begin(), workers_.end(), [](const Worker& w) { return !w.thread.joinable(); }));
  }
  std::lock_guard lock(mutex_);
  stopping_ = false;
}

}  // namespace engine::plsql
