// DBMS_JOB: the job queue's jobs, kept in the catalog's jobs table inside the caller's transaction,
// so a submitted or changed job reaches the queue with the caller's COMMIT. A user handles only the
// jobs the user submitted (ORA-23421 for any other number).

#include <cctype>

#include "engine/plsql/packages/job_queue.h"
#include "engine/plsql/packages/native.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::plsql {

using storage::Stmt;

namespace {

[[noreturn]] void notAJob(std::int64_t job) {
  raiseNative(23421, "ORA-23421: job number " + std::to_string(job) + " is not a job in the job queue");
}

// Raises ORA-23421 unless the session's user submitted the job.
void checkOwner(NativeCall& c, std::int64_t job) {
  Stmt s(c.session().connection(), "SELECT 1 FROM main.jobs WHERE job = ?1 AND log_user = ?2");
  s.bindAll(job, c.session().user());
  if (!s.step()) notAJob(job);
}

std::string dateText(NativeCall& c, std::size_t i) {
  const Value& v = c.arg(i);
  if (v.kind() == Value::Kind::Date) return v.asDate().toIso();
  if (v.isNull()) return {};
  raiseValueError("");
}

// The interval must evaluate to NULL or a date after now (ORA-23420).
void checkInterval(NativeCall& c, const std::string& interval) {
  if (isNullInterval(interval)) return;
  Value v;
  try {
    auto st = c.session().prepare("SELECT " + interval + " FROM dual");
    st->execute();
    if (st->next()) v = st->value(0);
  } catch (const Error& e) {
    raiseNative(23319, "ORA-23319: parameter value \"" + interval + "\" is not appropriate");
  }
  if (v.isNull()) return;
  if (v.kind() != Value::Kind::Date)
    raiseNative(23319, "ORA-23319: parameter value \"" + interval + "\" is not appropriate");
  if (v.asDate() < c.session().impl().now())
    raiseNative(23420, "ORA-23420: interval must evaluate to a time in the future");
}

// Compiles the job's block as the queue will run it (the check SUBMIT makes unless no_parse).
void checkWhat(NativeCall& c, const std::string& what) {
  if (what.empty()) raiseNative(23319, "ORA-23319: parameter value \"\" is not appropriate");
  std::string text = "DECLARE job BINARY_INTEGER := :job; next_date DATE := :mydate; broken BOOLEAN := FALSE; BEGIN " +
                     what + "\n:mydate := next_date; IF broken THEN :b := 1; ELSE :b := 0; END IF; END;";
  try {
    c.session().prepare(text);
  } catch (const Error& e) {
    raiseNative(e.code(), e.message());
  }
}

Value submit(NativeCall& c) {
  auto& s = c.session();
  std::string what = c.text(0);
  std::string next = dateText(c, 1);
  if (next.empty()) next = s.impl().now().toIso();
  std::string interval = c.isNull(2) ? std::string("null") : c.text(2);
  bool noParse = c.flag(3);
  std::int64_t job = c.integer(4, 0);  // ISUBMIT names its number
  checkInterval(c, interval);
  if (!noParse) checkWhat(c, what);
  s.beginChange();
  sqlite3* db = s.connection();
  if (job == 0) {
    Stmt(db, "INSERT INTO main.meta(key, value) VALUES ('last_job', (SELECT coalesce(max(job), 0) + 1 FROM main.jobs)) "
             "ON CONFLICT(key) DO UPDATE SET value = max(value + 1, (SELECT coalesce(max(job), 0) + 1 FROM main.jobs))")
        .step();
    Stmt n(db, "SELECT value FROM main.meta WHERE key = 'last_job'");
    n.step();
    job = n.integer(0);
  } else {
    Stmt exists(db, "SELECT 1 FROM main.jobs WHERE job = ?1");
    exists.bindAll(job);
    if (exists.step()) raiseNative(1, "ORA-00001: unique constraint (SYS.I_JOB_JOB) violated");
  }
  Stmt(db, "INSERT INTO main.jobs(job, log_user, priv_user, schema_user, next_date, interval, what, nls_env) "
           "VALUES (?1, ?2, ?2, ?3, ?4, ?5, ?6, ?7)")
      .bindAll(job, s.user(), s.currentSchema(), next, interval, what,
               std::string("NLS_LANGUAGE='AMERICAN' NLS_TERRITORY='AMERICA'"))
      .step();
  return Value(job);
}

Value remove(NativeCall& c) {
  std::int64_t job = c.integer(0);
  checkOwner(c, job);
  c.session().beginChange();
  Stmt(c.session().connection(), "DELETE FROM main.jobs WHERE job = ?1").bindAll(job).step();
  return {};
}

Value broken(NativeCall& c) {
  std::int64_t job = c.integer(0);
  bool isBroken = c.flag(1);
  std::string next = dateText(c, 2);
  if (next.empty()) next = c.session().impl().now().toIso();
  checkOwner(c, job);
  c.session().beginChange();
  if (isBroken)
    Stmt(c.session().connection(), "UPDATE main.jobs SET broken = 'Y', next_date = '4000-01-01 00:00:00' WHERE job = ?1")
        .bindAll(job)
        .step();
  else
    Stmt(c.session().connection(), "UPDATE main.jobs SET broken = 'N', failures = 0, next_date = ?2 WHERE job = ?1")
        .bindAll(job, next)
        .step();
  return {};
}

// CHANGE, WHAT, NEXT_DATE, INTERVAL: the values given (not NULL) replace the job's.
Value change(NativeCall& c) {
  std::int64_t job = c.integer(0);
  checkOwner(c, job);
  std::string what = c.text(1), next = dateText(c, 2), interval = c.text(3);
  if (!c.isNull(3)) checkInterval(c, interval);
  if (!c.isNull(1)) checkWhat(c, what);
  c.session().beginChange();
  sqlite3* db = c.session().connection();
  if (!c.isNull(1)) Stmt(db, "UPDATE main.jobs SET what = ?2 WHERE job = ?1").bindAll(job, what).step();
  if (!next.empty()) Stmt(db, "UPDATE main.jobs SET next_date = ?2 WHERE job = ?1").bindAll(job, next).step();
  if (!c.isNull(3)) Stmt(db, "UPDATE main.jobs SET interval = ?2 WHERE job = ?1").bindAll(job, interval).step();
  return {};
}

// RUN: the job runs now in the caller's session, which commits; a broken job is no longer broken.
Value run(NativeCall& c) {
  std::int64_t job = c.integer(0);
  checkOwner(c, job);
  auto& s = c.session();
  s.commit();
  Stmt(s.connection(), "UPDATE main.jobs SET broken = 'N' WHERE job = ?1").bindAll(job).step();
  if (auto error = runJob(s, job)) {
    PlsqlError e;
    e.code = 12011;
    e.message = "ORA-12011: execution of 1 jobs failed";
    e.stack.push_back(error->message().substr(0, error->message().find('\n')));
    throw e;
  }
  return {};
}

}  // namespace

const std::vector<Native>& jobNatives() {
  static const std::vector<Native> natives = {
      {"JOB.SUBMIT", DataType::Number, submit}, {"JOB.REMOVE", DataType::Unknown, remove},
      {"JOB.BROKEN", DataType::Unknown, broken}, {"JOB.CHANGE", DataType::Unknown, change},
      {"JOB.RUN", DataType::Unknown, run},
  };
  return natives;
}

const BuiltinPackage dbmsJobPackage = {"DBMS_JOB", R"(PACKAGE dbms_job AS
  any_instance CONSTANT BINARY_INTEGER := 0;
  PROCEDURE submit(job OUT BINARY_INTEGER, what IN VARCHAR2, next_date IN DATE DEFAULT SYSDATE,
                   interval IN VARCHAR2 DEFAULT 'null', no_parse IN BOOLEAN DEFAULT FALSE,
                   instance IN BINARY_INTEGER DEFAULT 0, force IN BOOLEAN DEFAULT FALSE);
  PROCEDURE isubmit(job IN BINARY_INTEGER, what IN VARCHAR2, next_date IN DATE,
                    interval IN VARCHAR2 DEFAULT 'null', no_parse IN BOOLEAN DEFAULT FALSE);
  PROCEDURE remove(job IN BINARY_INTEGER);
  PROCEDURE change(job IN BINARY_INTEGER, what IN VARCHAR2, next_date IN DATE, interval IN VARCHAR2,
                   instance IN BINARY_INTEGER DEFAULT NULL, force IN BOOLEAN DEFAULT FALSE);
  PROCEDURE what(job IN BINARY_INTEGER, what IN VARCHAR2);
  PROCEDURE next_date(job IN BINARY_INTEGER, next_date IN DATE);
  PROCEDURE interval(job IN BINARY_INTEGER, interval IN VARCHAR2);
  PROCEDURE broken(job IN BINARY_INTEGER, broken IN BOOLEAN, next_date IN DATE DEFAULT SYSDATE);
  PROCEDURE run(job IN BINARY_INTEGER, force IN BOOLEAN DEFAULT FALSE);
  PROCEDURE instance(job IN BINARY_INTEGER, instance IN BINARY_INTEGER, force IN BOOLEAN DEFAULT FALSE);
END;)",
                                       R"(PACKAGE BODY dbms_job AS
  PROCEDURE submit(job OUT BINARY_INTEGER, what IN VARCHAR2, next_date IN DATE DEFAULT SYSDATE,
                   interval IN VARCHAR2 DEFAULT 'null', no_parse IN BOOLEAN DEFAULT FALSE,
                   instance IN BINARY_INTEGER DEFAULT 0, force IN BOOLEAN DEFAULT FALSE) IS
  BEGIN
    job := nuvo$native('JOB.SUBMIT', what, next_date, interval, no_parse, 0);
  END;
  PROCEDURE isubmit(job IN BINARY_INTEGER, what IN VARCHAR2, next_date IN DATE,
                    interval IN VARCHAR2 DEFAULT 'null', no_parse IN BOOLEAN DEFAULT FALSE) IS
    n BINARY_INTEGER;
  BEGIN
    n := nuvo$native('JOB.SUBMIT', what, next_date, interval, no_parse, job);
  END;
  PROCEDURE remove(job IN BINARY_INTEGER) IS BEGIN nuvo$native('JOB.REMOVE', job); END;
  PROCEDURE change(job IN BINARY_INTEGER, what IN VARCHAR2, next_date IN DATE, interval IN VARCHAR2,
                   instance IN BINARY_INTEGER DEFAULT NULL, force IN BOOLEAN DEFAULT FALSE) IS
  BEGIN
    nuvo$native('JOB.CHANGE', job, what, next_date, interval);
  END;
  PROCEDURE what(job IN BINARY_INTEGER, what IN VARCHAR2) IS
  BEGIN
    nuvo$native('JOB.CHANGE', job, what, NULL, NULL);
  END;
  PROCEDURE next_date(job IN BINARY_INTEGER, next_date IN DATE) IS
  BEGIN
    nuvo$native('JOB.CHANGE', job, NULL, next_date, NULL);
  END;
  PROCEDURE interval(job IN BINARY_INTEGER, interval IN VARCHAR2) IS
  BEGIN
    nuvo$native('JOB.CHANGE', job, NULL, NULL, NVL(interval, 'null'));
  END;
  PROCEDURE broken(job IN BINARY_INTEGER, broken IN BOOLEAN, next_date IN DATE DEFAULT SYSDATE) IS
  BEGIN
    nuvo$native('JOB.BROKEN', job, broken, next_date);
  END;
  PROCEDURE run(job IN BINARY_INTEGER, force IN BOOLEAN DEFAULT FALSE) IS
  BEGIN
    nuvo$native('JOB.RUN', job);
  END;
  PROCEDURE instance(job IN BINARY_INTEGER, instance IN BINARY_INTEGER, force IN BOOLEAN DEFAULT FALSE) IS
  BEGIN
    nuvo$native('JOB.CHANGE', job, NULL, NULL, NULL);
  END;
END;)"};

}  // namespace engine::plsql
