#pragma once
// The embedded Oracle-compatible server: its public C++ API.
//
// A database is a directory (a catalog file and one SQLite file per schema). Sessions log on to it
// with a user and password, prepare and execute Oracle SQL and PL/SQL, and fetch results. Errors are
// thrown as engine::Error carrying Oracle's code, message and the position of the fault.
//
// Thread use: one Session is used by one thread at a time; Session::interrupt() may be called from any
// thread. Several sessions of one Database may run on different threads at once.
//
// The implementation and how a statement flows through it: see the module map at the top of
// engine/storage/database.h (storage/, catalog/, sql/, builtins/).

#include <compare>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace engine {

// Oracle's DATE, a date and time of day to the second, and TIMESTAMP, which adds a fraction of a
// second (precision: its digits, 0 to 9; -1 for a DATE). Values compare by the instant they name.
struct DateTime {
  int year = 1, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  int nanos = 0;       // the fraction of the second, in nanoseconds
  int precision = -1;  // a TIMESTAMP's fractional digits; -1: a DATE
  // A TIMESTAMP WITH TIME ZONE: the fields are local to `offset` minutes east of UTC. The ordering
  // below compares fields; SQL compares zoned values by their UTC instant.
  bool zoned = false;
  int offset = 0;
  bool isTimestamp() const { return precision >= 0; }
  std::strong_ordering operator<=>(const DateTime& o) const {
    if (auto c = year <=> o.year; c != 0) return c;
    if (auto c = month <=> o.month; c != 0) return c;
    if (auto c = day <=> o.day; c != 0) return c;
    if (auto c = hour <=> o.hour; c != 0) return c;
    if (auto c = minute <=> o.minute; c != 0) return c;
    if (auto c = second <=> o.second; c != 0) return c;
    return nanos <=> o.nanos;
  }
  bool operator==(const DateTime& o) const { return (*this <=> o) == 0; }
  // "YYYY-MM-DD HH:MM:SS[.fraction]" (the fraction without trailing zeros, left out when zero): also
  // the form a DATE or TIMESTAMP has inside the SQLite files, so such texts sort as the instants do.
  // A zoned value adds " +HH:MM".
  std::string toIso() const;
  // A date without fraction or zone, years 0 to 9999, as the 19 characters of its ISO text; false
  // (and nothing written) for any other value.
  bool toIso19(char* out) const;
  // Reads that form; the fraction (1 to 9 digits) and the offset are optional. The precision is left at -1.
  static bool fromIso(std::string_view text, DateTime& out);
};

class Cursor;

// The contents of a BLOB or RAW value.
using Bytes = std::vector<std::uint8_t>;

// One value of a column, a bind or a result. NUMBER values are Integer or Real; BLOB and RAW are Binary.
class Value {
 public:
  enum class Kind { Null, Integer, Real, Text, Date, Cursor, Binary };

  Value() = default;
  Value(std::int64_t v) : v_(v) {}
  Value(int v) : v_(static_cast<std::int64_t>(v)) {}
  Value(double v) : v_(v) {}
  Value(std::string v) : v_(std::move(v)) {}
  Value(const char* v) : v_(std::string(v)) {}
  Value(DateTime v) : v_(v) {}
  Value(std::shared_ptr<Cursor> v) : v_(std::move(v)) {}
  Value(Bytes v) : v_(std::move(v)) {}

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool isNull() const { return kind() == Kind::Null; }
  bool isNumber() const { return kind() == Kind::Integer || kind() == Kind::Real; }

  std::int64_t asInteger() const;         // Integer, or Real truncated
  double asDouble() const;                // Integer or Real
  const std::string& asText() const;      // Text only
  const DateTime& asDate() const;         // Date only
  const std::shared_ptr<Cursor>& asCursor() const;
  const Bytes& asBytes() const;           // Binary only

  bool operator==(const Value& o) const { return v_ == o.v_; }

 private:
  std::variant<std::monostate, std::int64_t, double, std::string, DateTime, std::shared_ptr<Cursor>, Bytes> v_;
};

// The Oracle data types the engine reports for columns and binds.
// A TIMESTAMP's values are DateTime values with a precision. An INTERVAL's values are text as Oracle
// shows them ("+01 02:03:04.500000", "+02-03"); a Column gives its leading precision in `precision`
// and its fractional digits in `scale`.
enum class DataType {
  Unknown, Number, Varchar2, Char, Date, Long, Clob, Blob, Raw, Rowid, Cursor, Boolean, Timestamp,
  IntervalDaySecond, IntervalYearMonth
};
const char* dataTypeName(DataType t);  // "NUMBER", "VARCHAR2", ...

// An Oracle error: code 942 is "ORA-00942"; message() is the whole text, starting "ORA-00942: ".
// offset is the 0-based byte offset (UTF-8) of the fault in the statement text (-1 when unknown);
// line and column are 1-based (0 when unknown).
class Error : public std::runtime_error {
 public:
  Error(int code, const std::string& message, int offset = -1, int line = 0, int column = 0);
  int code() const { return code_; }
  const std::string& message() const { return message_; }
  int offset() const { return offset_; }
  int line() const { return line_; }
  int column() const { return column_; }

  // Builds "ORA-nnnnn: text" with Oracle's standard text for the code, with optional arguments
  // substituted for the code's placeholders (e.g. the constraint name of ORA-00001).
  static Error ora(int code, const std::string& detail = {}, int offset = -1);

 private:
  int code_;
  std::string message_;
  int offset_, line_, column_;
};

struct Column {
  std::string name;  // as Oracle names it: unquoted names and expressions upper case
  DataType type = DataType::Unknown;
  int size = 0;       // VARCHAR2/CHAR length, 0 when not applicable
  int precision = 0;  // NUMBER precision, 0 when unspecified
  int scale = 0;
  bool nullable = true;
  int zone = 0;  // a TIMESTAMP column: 1 WITH TIME ZONE, 2 WITH LOCAL TIME ZONE
};

enum class BindDirection { In, Out, InOut };

// A result set: a query's rows, or a REF CURSOR returned by PL/SQL.
class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual const std::vector<Column>& columns() const = 0;
  // Moves to the next row; false at the end.
  virtual bool next() = 0;
  virtual const Value& value(std::size_t column) const = 0;
  virtual std::int64_t rowCount() const = 0;  // rows fetched so far
  virtual void close() = 0;
};

class Session;

// One parsed statement of a session, executed as often as wanted with new binds. A query's rows are
// read through the statement itself after execute().
class Statement : public Cursor {
 public:
  // Distinct bind names in order of first use, upper case, without the colon ("1" for ":1").
  virtual const std::vector<std::string>& bindNames() const = 0;
  // Names are case-insensitive, with or without the colon.
  virtual void bind(const std::string& name, const Value& value, BindDirection dir = BindDirection::In) = 0;
  virtual void bindOut(const std::string& name, DataType type) = 0;
  // The value of a bind after execute (out and in-out binds of PL/SQL blocks).
  virtual Value bindValue(const std::string& name) const = 0;

  virtual bool isQuery() const = 0;
  // Runs the statement; a query is then positioned before its first row. Throws engine::Error.
  virtual void execute() = 0;
  // Rows inserted, updated or deleted by the last execute (DML), or fetched so far (query).
  std::int64_t rowCount() const override = 0;
};

// Options of a new database.
struct CreateOptions {
  std::string sysPassword = "SYS";
  std::string systemPassword = "SYSTEM";
  std::string bannerVersion = "19.0.0.0.0";  // the version V$VERSION reports
  bool durable = true;                         // false: commits skip fsync (tests, benchmarks)
};

class Database : public std::enable_shared_from_this<Database> {
 public:
  virtual ~Database() = default;

  static std::shared_ptr<Database> create(const std::string& directory, const CreateOptions& options = {});
  static std::shared_ptr<Database> open(const std::string& directory);
  static bool exists(const std::string& directory);
  static void drop(const std::string& directory);
  // Names of the databases that are subdirectories of dataDirectory.
  static std::vector<std::string> list(const std::string& dataDirectory);

  virtual std::string name() const = 0;
  virtual std::string directory() const = 0;

  // Throws ORA-01017 (wrong user or password), ORA-28000 (locked), ORA-01035 (restricted), ...
  virtual std::unique_ptr<Session> logOn(const std::string& user, const std::string& password,
                                         bool sysdba = false) = 0;

  // Instance parameters as V$PARAMETER shows them (names lower case). The engine's own parameter
  // nuvo_lock_wait_ms (default 3000, hidden from V$PARAMETER) bounds how long a session waits for
  // another session's write before ORA-00054.
  virtual void setParameter(const std::string& name, const std::string& value) = 0;
  virtual std::string parameter(const std::string& name) const = 0;
  virtual void setBannerVersion(const std::string& version) = 0;
  virtual void setDurable(bool durable) = 0;

  // Fault injection for tests: the next `count` executions of statements whose text contains
  // `textPattern` (case-insensitive) fail with ORA-`oraCode` before they run.
  virtual void injectFault(const std::string& textPattern, int oraCode, int count) = 0;
  virtual void clearFaults() = 0;

  // The clock SYSDATE reads; tests may fix it. nullptr returns to the real clock.
  virtual void setClock(const DateTime* fixedNow) = 0;

  // The job queue (DBMS_JOB): starts the jobs due by the database's clock, each on a session of its
  // own as the job's owner, at most job_queue_processes at once (none when it is 0); returns how many
  // it started. With `wait` it returns once they have ended (tests, with a fixed clock).
  virtual int runDueJobs(bool wait = true) = 0;
  // A thread that starts due jobs every second while the database is open in this process (the tool,
  // nuvo_db's prompt). stopJobQueue stops it, cancels the running jobs and waits for them.
  virtual void startJobQueue() = 0;
  virtual void stopJobQueue() = 0;
};

class Session {
 public:
  virtual ~Session() = default;

  virtual std::unique_ptr<Statement> prepare(const std::string& sql) = 0;
  // Prepares and executes one statement with in-binds; returns the rows processed.
  virtual std::int64_t execute(const std::string& sql,
                               const std::vector<std::pair<std::string, Value>>& binds = {}) = 0;

  virtual void commit() = 0;
  virtual void rollback() = 0;
  virtual void savepoint(const std::string& name) = 0;
  virtual void rollbackToSavepoint(const std::string& name) = 0;
  virtual bool inTransaction() const = 0;

  // Any thread: the statement now running (or the next one) fails with ORA-01013.
  virtual void interrupt() = 0;

  virtual std::string user() const = 0;           // the logged-on user, upper case
  virtual std::string currentSchema() const = 0;  // ALTER SESSION SET CURRENT_SCHEMA
  virtual bool isSysdba() const = 0;
  virtual std::int64_t sessionId() const = 0;     // V$SESSION.SID
  virtual Database& database() = 0;

  // A value as Oracle prints it in this session: numbers in Oracle's form (".5"), dates through
  // NLS_DATE_FORMAT, NULL as the empty string.
  virtual std::string format(const Value& value) const = 0;

  // Lines written through DBMS_OUTPUT since the last call (when enabled).
  virtual std::vector<std::string> takeOutput() = 0;
};

}  // namespace engine
