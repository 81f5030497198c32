// DBMS_SCHEDULER, as far as the job windows use it: jobs of a PL/SQL block or a stored procedure,
// run once or by a repeat interval, on the same job queue as DBMS_JOB. Like DDL, each call commits
// the caller's transaction and its own change.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <sstream>
#include <thread>

#include "engine/plsql/packages/job_queue.h"
#include "engine/plsql/packages/native.h"
#include "engine/plsql/packages/schedule.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::plsql {

using storage::Stmt;

namespace {

struct JobName {
  std::string owner, name;
  std::string quoted() const { return "\"" + owner + "\".\"" + name + "\""; }
};

// "[schema.]name", each part upper case unless quoted; the schema defaults to the current one.
JobName jobName(NativeCall& c, const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  bool quoted = false, wasQuoted = false;
  auto flush = [&] {
    parts.push_back(wasQuoted ? part : upperCase(trimmed(part)));
    part.clear();
    wasQuoted = false;
  };
  for (char ch : text) {
    if (ch == '"') {
      quoted = !quoted;
      wasQuoted = true;
    } else if (ch == '.' && !quoted) {
      flush();
    } else {
      part += ch;
    }
  }
  flush();
  if (parts.size() > 2 || parts.back().empty() || (parts.size() == 2 && parts[0].empty()))
    raiseNative(27452, "ORA-27452: \"" + text + "\" is an invalid name for a database object.");
  return parts.size() == 2 ? JobName{parts[0], parts[1]} : JobName{c.session().currentSchema(), parts[0]};
}

std::vector<JobName> jobNames(NativeCall& c, std::size_t i) {
  std::vector<JobName> out;
  std::stringstream in(c.text(i));
  std::string item;
  while (std::getline(in, item, ','))
    if (!trimmed(item).empty()) out.push_back(jobName(c, trimmed(item)));
  if (out.empty()) raiseNative(27452, "ORA-27452: \"\" is an invalid name for a database object.");
  return out;
}

// The job's id; ORA-27475 when there is none or the user may not handle it.
std::int64_t jobId(NativeCall& c, const JobName& j) {
  Stmt s(c.session().connection(), "SELECT id FROM main.scheduler_jobs WHERE owner = ?1 AND job_name = ?2");
  s.bindAll(j.owner, j.name);
  if (!s.step()) raiseNative(27475, "ORA-27475: unknown job " + j.quoted());
  std::int64_t id = s.integer(0);
  auto& session = c.session();
  if (j.owner != session.user() && !session.hasPrivilege("CREATE ANY JOB"))
    raiseNative(27486, "ORA-27486: insufficient privileges");
  return id;
}

std::string dateText(NativeCall& c, std::size_t i) {
  const Value& v = c.arg(i);
  return v.kind() == Value::Kind::Date ? v.asDate().toIso() : std::string();
}

// A change of the scheduler: the caller's transaction is committed first and the change at once.
template <class Change>
void committed(NativeCall& c, Change change) {
  auto& s = c.session();
  s.commit();
  s.beginChange();
  try {
    change(s.connection());
  } catch (...) {
    s.rollback();
    throw;
  }
  s.commit();
}

// ENABLE schedules the job again: at its start date, or now when that has passed or is missing.
void enable(sqlite3* db, std::int64_t id, const std::string& now) {
  Stmt(db, "UPDATE main.scheduler_jobs SET enabled = 'TRUE', state = 'SCHEDULED', "
           "next_run_date = CASE WHEN start_date > ?2 THEN start_date ELSE ?2 END WHERE id = ?1")
      .bindAll(id, now)
      .step();
}

Value createJob(NativeCall& c) {
  auto& s = c.session();
  JobName j = jobName(c, c.text(0));
  std::string type = upperCase(c.text(1));
  if (type != "PLSQL_BLOCK" && type != "STORED_PROCEDURE")
    raiseNative(27465, "ORA-27465: invalid value " + c.text(1) + " for attribute JOB_TYPE");
  if (c.text(2).empty()) raiseNative(27465, "ORA-27465: invalid value for attribute JOB_ACTION");
  std::string interval = c.text(4);
  try {
    checkRepeatInterval(s, interval);
  } catch (const Error& e) {
    raiseNative(e.code(), e.message());
  }
  if (j.owner != s.user() && !s.hasPrivilege("CREATE ANY JOB")) raiseNative(27486, "ORA-27486: insufficient privileges");
  if (!s.catalog().findUser(j.owner)) raiseNative(1435, "ORA-01435: user does not exist");
  std::string now = s.impl().now().toIso();
  committed(c, [&](sqlite3* db) {
    Stmt exists(db, "SELECT 1 FROM main.scheduler_jobs WHERE owner = ?1 AND job_name = ?2");
    exists.bindAll(j.owner, j.name);
    if (exists.step()) raiseNative(27477, "ORA-27477: " + j.quoted() + " already exists");
    Stmt(db, "INSERT INTO main.scheduler_jobs(owner, job_name, job_creator, job_type, job_action, start_date, "
             "repeat_interval, end_date, job_class, enabled, auto_drop, state, comments) "
             "VALUES (?1, ?2, ?3, ?4, ?5, nullif(?6, ''), nullif(?7, ''), nullif(?8, ''), ?9, 'FALSE', ?10, 'DISABLED', "
             "nullif(?11, ''))")
        .bindAll(j.owner, j.name, s.user(), type, c.text(2), dateText(c, 3), interval, dateText(c, 5),
                 c.isNull(6) ? std::string("DEFAULT_JOB_CLASS") : upperCase(c.text(6)),
                 std::string(c.flag(8, true) ? "TRUE" : "FALSE"), c.text(9))
        .step();
    if (c.flag(7)) {
      Stmt id(db, "SELECT id FROM main.scheduler_jobs WHERE owner = ?1 AND job_name = ?2");
      id.bindAll(j.owner, j.name);
      id.step();
      enable(db, id.integer(0), now);
    }
  });
  return {};
}

Value setAttribute(NativeCall& c) {
  auto& s = c.session();
  JobName j = jobName(c, c.text(0));
  std::int64_t id = jobId(c, j);
  std::string attribute = upperCase(trimmed(c.text(1)));
  const Value& v = c.arg(2);
  // Columns of the job; the other attributes Oracle knows are accepted and have no effect here.
  static const char* const booleans[] = {"AUTO_DROP", "RESTARTABLE"};
  static const char* const ignored[] = {"RESTART_ON_RECOVERY", "RESTART_ON_FAILURE", "STOP_ON_WINDOW_CLOSE", "JOB_PRIORITY",
                                        "MAX_RUNS", "RAISE_EVENTS", "INSTANCE_STICKINESS", "SCHEDULE_LIMIT", "JOB_WEIGHT",
                                        "MAX_RUN_DURATION", "FOLLOW_DEFAULT_TIMEZONE", "PARALLEL_INSTANCES"};
  std::string column, text;
  if (std::find(std::begin(booleans), std::end(booleans), attribute) != std::end(booleans)) {
    column = attribute == "AUTO_DROP" ? "auto_drop" : "restartable";
    text = c.flag(2) ? "TRUE" : "FALSE";
  } else if (attribute == "LOGGING_LEVEL") {
    static const std::map<std::int64_t, const char*> levels = {{32, "OFF"}, {64, "RUNS"}, {128, "FAILED RUNS"}, {256, "FULL"}};
    auto it = levels.find(c.integer(2));
    if (it == levels.end()) raiseNative(27465, "ORA-27465: invalid value " + c.text(2) + " for attribute LOGGING_LEVEL");
    column = "logging_level";
    text = it->second;
  } else if (attribute == "MAX_FAILURES") {
    column = "max_failures";
    text = c.isNull(2) ? std::string() : std::to_string(c.integer(2));
  } else if (attribute == "REPEAT_INTERVAL") {
    try {
      checkRepeatInterval(s, c.text(2));
    } catch (const Error& e) {
      raiseNative(e.code(), e.message());
    }
    column = "repeat_interval";
    text = c.text(2);
  } else if (attribute == "START_DATE" || attribute == "END_DATE") {
    column = attribute == "START_DATE" ? "start_date" : "end_date";
    text = dateText(c, 2);
  } else if (attribute == "JOB_ACTION" || attribute == "COMMENTS" || attribute == "JOB_CLASS") {
    column = attribute == "JOB_ACTION" ? "job_action" : attribute == "COMMENTS" ? "comments" : "job_class";
    text = c.text(2);
  } else if (attribute == "JOB_TYPE") {
    text = upperCase(c.text(2));
    if (text != "PLSQL_BLOCK" && text != "STORED_PROCEDURE")
      raiseNative(27465, "ORA-27465: invalid value " + c.text(2) + " for attribute JOB_TYPE");
    column = "job_type";
  } else if (std::find(std::begin(ignored), std::end(ignored), attribute) == std::end(ignored)) {
    raiseNative(27469, "ORA-27469: " + attribute + " is not a valid job attribute");
  }
  (void)v;
  if (column.empty()) return {};
  committed(c, [&](sqlite3* db) {
    Stmt(db, "UPDATE main.scheduler_jobs SET " + column + " = nullif(?2, '') WHERE id = ?1").bindAll(id, text).step();
  });
  return {};
}

Value enableJobs(NativeCall& c) {
  auto names = jobNames(c, 0);
  std::vector<std::int64_t> ids;
  for (const auto& j : names) ids.push_back(jobId(c, j));
  std::string now = c.session().impl().now().toIso();
  committed(c, [&](sqlite3* db) {
    for (auto id : ids) enable(db, id, now);
  });
  return {};
}

void mustNotRun(NativeCall& c, std::int64_t id, const JobName& j) {
  if (isJobRunning(c.session().impl().directory(), -id))
    raiseNative(27478, "ORA-27478: job " + j.quoted() + " is running");
}

Value disableJobs(NativeCall& c) {
  auto names = jobNames(c, 0);
  bool force = c.flag(1);
  std::vector<std::int64_t> ids;
  for (const auto& j : names) {
    ids.push_back(jobId(c, j));
    if (!force) mustNotRun(c, ids.back(), j);
  }
  committed(c, [&](sqlite3* db) {
    for (auto id : ids)
      Stmt(db, "UPDATE main.scheduler_jobs SET enabled = 'FALSE', state = 'DISABLED', next_run_date = NULL WHERE id = ?1")
          .bindAll(id)
          .step();
  });
  return {};
}

Value runJobNow(NativeCall& c) {
  JobName j = jobName(c, c.text(0));
  std::int64_t id = jobId(c, j);
  mustNotRun(c, id, j);
  bool currentSession = c.flag(1, true);
  auto& s = c.session();
  if (currentSession) {
    s.commit();
    if (auto error = runSchedulerJob(s, id, true)) raiseNative(error->code(), error->message());
    return {};
  }
  // Another session of the job queue runs it, at its next look at the queue.
  committed(c, [&](sqlite3* db) { Stmt(db, "UPDATE main.scheduler_jobs SET run_now = 1 WHERE id = ?1").bindAll(id).step(); });
  return {};
}

Value stopJobs(NativeCall& c) {
  auto names = jobNames(c, 0);
  bool force = c.flag(1);
  for (const auto& j : names) {
    std::int64_t id = jobId(c, j);
    if (!stopRunningJob(c.session().impl().directory(), -id, force))
      raiseNative(27366, "ORA-27366: job " + j.quoted() + " is not running");
  }
  return {};
}

Value dropJobs(NativeCall& c) {
  auto names = jobNames(c, 0);
  bool force = c.flag(1);
  std::vector<std::int64_t> ids;
  for (const auto& j : names) {
    ids.push_back(jobId(c, j));
    if (force) stopRunningJob(c.session().impl().directory(), -ids.back(), true);
    else mustNotRun(c, ids.back(), j);
  }
  committed(c, [&](sqlite3* db) {
    for (auto id : ids) Stmt(db, "DELETE FROM main.scheduler_jobs WHERE id = ?1").bindAll(id).step();
  });
  return {};
}

}  // namespace

const std::vector<Native>& schedulerNatives() {
  static const std::vector<Native> natives = {
      {"SCHED.CREATE", DataType::Unknown, createJob}, {"SCHED.SET", DataType::Unknown, setAttribute},
      {"SCHED.ENABLE", DataType::Unknown, enableJobs}, {"SCHED.DISABLE", DataType::Unknown, disableJobs},
      {"SCHED.RUN", DataType::Unknown, runJobNow},     {"SCHED.STOP", DataType::Unknown, stopJobs},
      {"SCHED.DROP", DataType::Unknown, dropJobs},
  };
  return natives;
}

const BuiltinPackage dbmsSchedulerPackage = {"DBMS_SCHEDULER", R"(PACKAGE dbms_scheduler AS
  logging_off CONSTANT PLS_INTEGER := 32;
  logging_runs CONSTANT PLS_INTEGER := 64;
  logging_failed_runs CONSTANT PLS_INTEGER := 128;
  logging_full CONSTANT PLS_INTEGER := 256;
  PROCEDURE create_job(job_name IN VARCHAR2, job_type IN VARCHAR2, job_action IN VARCHAR2,
                       number_of_arguments IN PLS_INTEGER DEFAULT 0, start_date IN DATE DEFAULT NULL,
                       repeat_interval IN VARCHAR2 DEFAULT NULL, end_date IN DATE DEFAULT NULL,
                       job_class IN VARCHAR2 DEFAULT 'DEFAULT_JOB_CLASS', enabled IN BOOLEAN DEFAULT FALSE,
                       auto_drop IN BOOLEAN DEFAULT TRUE, comments IN VARCHAR2 DEFAULT NULL,
                       credential_name IN VARCHAR2 DEFAULT NULL, destination_name IN VARCHAR2 DEFAULT NULL);
  PROCEDURE set_attribute(name IN VARCHAR2, attribute IN VARCHAR2, value IN BOOLEAN);
  PROCEDURE set_attribute(name IN VARCHAR2, attribute IN VARCHAR2, value IN VARCHAR2);
  PROCEDURE set_attribute(name IN VARCHAR2, attribute IN VARCHAR2, value IN NUMBER);
  PROCEDURE set_attribute(name IN VARCHAR2, attribute IN VARCHAR2, value IN DATE);
  PROCEDURE enable(name IN VARCHAR2, commit_semantics IN VARCHAR2 DEFAULT 'STOP_ON_FIRST_ERROR');
  PROCEDURE disable(name IN VARCHAR2, force IN BOOLEAN DEFAULT FALSE, commit_semantics IN VARCHAR2 DEFAULT 'STOP_ON_FIRST_ERROR');
  PROCEDURE run_job(job_name IN VARCHAR2, use_current_session IN BOOLEAN DEFAULT TRUE);
  PROCEDURE stop_job(job_name IN VARCHAR2, force IN BOOLEAN DEFAULT FALSE, commit_semantics IN VARCHAR2 DEFAULT 'STOP_ON_FIRST_ERROR');
  PROCEDURE drop_job(job_name IN VARCHAR2, force IN BOOLEAN DEFAULT FALSE, defer IN BOOLEAN DEFAULT FALSE,
                     commit_semantics IN VARCHAR2 DEFAULT 'STOP_ON_FIRST_ERROR');
END;)",
                                             R"(PACKAGE BODY dbms_scheduler AS
  PROCEDURE create_job(job_name IN VARCHAR2, job_type IN VARCHAR2, job_action IN VARCHAR2,
                       number_of_arguments IN PLS_INTEGER DEFAULT 0, start_date IN DATE DEFAULT NULL,
                       repeat_interval IN VARCHAR2 DEFAULT NULL, end_date IN DATE DEFAULT NULL,
                       job_class IN VARCHAR2 DEFAULT 'DEFAULT_JOB_CLASS', enabled IN BOOLEAN DEFAULT FALSE,
                       auto_drop IN BOOLEAN DEFAULT TRUE, comments IN VARCHAR2 DEFAULT NULL,
                       credential_name IN VARCHAR2 DEFAULT NULL, destination_name IN VARCHAR2 DEFAULT NULL) IS
  BEGIN
    nuvo$native('SCHED.CREATE', job_name, job_type, job_action, start_date, repeat_interval, end_date, job_class,
                enabled, auto_drop, comments);
  END;
  PROCEDURE set_attribute(name IN VARCHAR2, attribute IN VARCHAR2, value IN BOOLEAN) IS
  BEGIN nuvo$native('SCHED.SET', name, attribute, value); END;
  PROCEDURE set_attribute(name IN VARCHAR2, attribute IN VARCHAR2, value IN VARCHAR2) IS
  BEGIN nuvo$native('SCHED.SET', name, attribute, value); END;
  PROCEDURE set_attribute(name IN VARCHAR2, attribute IN VARCHAR2, value IN NUMBER) IS
  BEGIN nuvo$native('SCHED.SET', name, attribute, value); END;
  PROCEDURE set_attribute(name IN VARCHAR2, attribute IN VARCHAR2, value IN DATE) IS
  BEGIN nuvo$native('SCHED.SET', name, attribute, value); END;
  PROCEDURE enable(name IN VARCHAR2, commit_semantics IN VARCHAR2 DEFAULT 'STOP_ON_FIRST_ERROR') IS
  BEGIN nuvo$native('SCHED.ENABLE', name); END;
  PROCEDURE disable(name IN VARCHAR2, force IN BOOLEAN DEFAULT FALSE, commit_semantics IN VARCHAR2 DEFAULT 'STOP_ON_FIRST_ERROR') IS
  BEGIN nuvo$native('SCHED.DISABLE', name, force); END;
  PROCEDURE run_job(job_name IN VARCHAR2, use_current_session IN BOOLEAN DEFAULT TRUE) IS
  BEGIN nuvo$native('SCHED.RUN', job_name, use_current_session); END;
  PROCEDURE stop_job(job_name IN VARCHAR2, force IN BOOLEAN DEFAULT FALSE, commit_semantics IN VARCHAR2 DEFAULT 'STOP_ON_FIRST_ERROR') IS
  BEGIN nuvo$native('SCHED.STOP', job_name, force); END;
  PROCEDURE drop_job(job_name IN VARCHAR2, force IN BOOLEAN DEFAULT FALSE, defer IN BOOLEAN DEFAULT FALSE,
                     commit_semantics IN VARCHAR2 DEFAULT 'STOP_ON_FIRST_ERROR') IS
  BEGIN nuvo$native('SCHED.DROP', job_name, force); END;
END;)"};

}  // namespace engine::plsql
