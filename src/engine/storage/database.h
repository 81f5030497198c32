#pragma once
// The engine's implementation of engine::Database: the database directory, its files, instance
// state shared by all sessions (parameters, restricted mode, sequences, fault injection, clock) and
// logon.
//
// A database directory holds two SQLite files, both in WAL mode:
//   database.db   the catalog and every schema's tables, indexes and constraint triggers (table T of
//                 schema S is "S.T", see storage/sqlite_util.h sqliteName). Every commit and every DDL
//                 is one SQLite transaction of this file, atomic and durable across schemas. SQLite
//                 keeps one writer per file: one session writes at a time per database, readers
//                 never wait.
//   instance.db   state outside every transaction: the session registry (V$SESSION), the instance
//                 parameters (ALTER SYSTEM, V$PARAMETER) and how far sequences have handed out values. Only the database's own connection writes it,
//                 so no session's open transaction holds a logon or a NEXTVAL up.
// A directory of the earlier layout (catalog.db and one <SCHEMA>.schema.db per schema) is migrated
// when it is opened (Database::open); its files are kept in old_layout/.
//
// Module map of the engine (how a statement flows):
//   storage/database   Database: directory, files, instance state, logon            (this file)
//   storage/session    Session: its SQLite connection (database.db as "main", instance.db attached
//                      as "instance"), transactions, locks, interrupt, statement cache, Statement objects,
//                      the engine's own SQL functions (nuvo_rowid, nuvo_nextval, nuvo_fit_*, ...)
//   sql/lexer, parser  text -> tokens -> AST (sql/ast.h), with positions and Oracle's syntax errors
//   sql/compiler       AST of SELECT/INSERT/UPDATE/DELETE/MERGE -> SQLite SQL + result columns +
//                      binds, resolving names against catalog/catalog; it also enforces what
//                      SQLite cannot switch off per constraint: NOT NULL, precision, length
//   storage/executor   DDL, users and grants, ALTER SESSION/SYSTEM, transaction statements: run
//                      directly against the catalog and the schemas' tables
//   storage/constraints  PRIMARY KEY/UNIQUE as unique indexes, CHECK and FOREIGN KEY as triggers
//   storage/password   password digests
//   catalog/catalog    the dictionary's base tables and lookups; catalog/dictionary the views
//   builtins/          the ora_xxx SQL functions (registered on every session connection)
//   plsql/             PL/SQL blocks and stored units (on top of the same parser and compiler)
// Session::prepare(text) looks the text up in the cache, else parses it; queries and DML are compiled
// and prepared on the session's connection; the rest runs in the executor when executed. Every DDL
// bumps the database's DDL version, and a cached statement of an older version is compiled again.
//
// To add a statement: an AST node (sql/ast.h), its parse (sql/parser.cpp), then either its
// compilation (sql/compiler.cpp, when it is one SQLite statement over tables) or its execution
// (storage/executor.cpp). To add a dictionary view: one entry in catalog/dictionary.cpp.

#include <sqlite3.h>

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace engine::plsql {
class JobQueue;
}

namespace engine::storage {

inline constexpr const char* kDatabaseFile = "database.db";
inline constexpr const char* kInstanceFile = "instance.db";

class SessionImpl;

// A sequence as the catalog defines it and where this process has handed its values out to.
struct SequenceState {
  std::int64_t next = 0, cacheEnd = 0, increment = 1, minValue = 1, maxValue = 0, cache = 20;
  std::int64_t objectId = 0, base = 0;  // the sequence's object and its catalog LAST_NUMBER
  bool cycle = false;
};

// Reads a sequence of the database open on `db` (its catalog as main, its instance file attached as
// "instance"); nothing when there is no such sequence. next is where values were handed out to.
std::optional<SequenceState> loadSequence(sqlite3* db, const std::string& owner, const std::string& name);
// Hands out the next value of a sequence and moves its mark in the instance file past the cached
// values (count values when a new block is taken). Every process, and every link, that takes values
// of the sequence takes its block from the mark in one statement, so no two get the same values.
std::int64_t nextSequenceValue(sqlite3* db, SequenceState& st, const std::string& name);

class DatabaseImpl : public Database {
 public:
  DatabaseImpl(std::string directory, sqlite3* system);
  ~DatabaseImpl() override;

  // Database
  std::string name() const override { return name_; }
  std::string directory() const override { return directory_; }
  std::unique_ptr<Session> logOn(const std::string& user, const std::string& password, bool sysdba) override;
  void setParameter(const std::string& name, const std::string& value) override;
  std::string parameter(const std::string& name) const override;
  void setBannerVersion(const std::string& version) override;
  void setDurable(bool durable) override;
  void injectFault(const std::string& textPattern, int oraCode, int count) override;
  void clearFaults() override;
  void setClock(const DateTime* fixedNow) override;

  // For sessions.
  std::string databasePath() const { return directory_ + "/" + kDatabaseFile; }
  bool durable() const { return durable_; }
  int lockWaitMs() const;
  DateTime now() const;
  DateTime preciseNow() const;  // with the fraction of the second (a set clock: as set)
  // Throws the injected error when the statement text matches a fault that has executions left.
  void checkFault(const std::string& sql);
  bool restricted() const { return restricted_; }
  void setRestricted(bool on) { restricted_ = on; }
  // Sequences are not transactional: NEXTVAL allocates under the database's lock and persists the
  // cache boundary through the system connection.
  std::int64_t nextSequenceValue(const std::string& owner, const std::string& name);
  // Drops the cached state of a sequence; returns the last value it handed out (none when it handed
  // out none here), from which the caller (DDL, in its own transaction) sets the sequence's LAST_NUMBER.
  std::optional<std::int64_t> forgetSequence(const std::string& owner, const std::string& name);
  // Bumped by every DDL and grant: compiled statements of an older version are compiled again.
  std::uint64_t ddlVersion() const { return ddlVersion_.load(); }
  void bumpDdlVersion() { ++ddlVersion_; }
  void unregisterSession(std::int64_t sid);
  // The I/O counters a session of this process last published (V$SESS_IO), zeros when unknown.
  void publishSessionIo(std::int64_t sid, const std::array<std::int64_t, 4>& counters);
  std::array<std::int64_t, 4> sessionIo(std::int64_t sid) const;
  // What DBMS_APPLICATION_INFO set in a session (module, action, client info, client identifier), for V$SESSION; sessions
  // that set nothing have no entry.
  void publishSessionApp(std::int64_t sid, const std::array<std::string, 4>& app);
  std::optional<std::array<std::string, 4>> sessionApp(std::int64_t sid) const;
  // Makes the constraint triggers of a migrated database anew (see Database::open).
  void finishMigration();
  // The default plan table of EXPLAIN PLAN: SYS.PLAN_TABLE$ with the public synonym PLAN_TABLE, made
  // when the database lacks it (a new database, or one made by an earlier engine).
  void ensurePlanTable();
  // Marks an INVALID view VALID after a statement compiled its query, with what it reads, outside
  // every session's transaction; when another session holds the database's write lock the view stays
  // INVALID until a later use.
  void revalidateView(const std::string& owner, const std::string& name,
                      const std::set<std::pair<std::string, std::string>>& references);

  // A session of `user` opened without a password (the job queue's sessions run as a job's owner).
  std::unique_ptr<class SessionImpl> internalSession(const std::string& user, bool sysdba = false);
  // The job queue of this database in this process (plsql/packages/job_queue.h).
  plsql::JobQueue& jobQueue();
  int runDueJobs(bool wait) override;
  void startJobQueue() override;
  void stopJobQueue() override;

 private:
  struct Fault {
    std::string pattern;  // upper case
    int code;
    int remaining;
  };
  std::int64_t registerSession(const std::string& user);
  void loadParameters();

  std::string directory_;
  std::string name_;
  sqlite3* system_;  // the database's own connection: sequences, session registry, parameters
  mutable std::mutex mutex_;
  std::map<std::string, std::string> parameters_;
  std::vector<Fault> faults_;
  std::atomic<bool> hasFaults_{false};  // lets checkFault skip the lock when there is none
  std::map<std::string, SequenceState> sequences_;
  std::map<std::int64_t, std::array<std::int64_t, 4>> sessionIo_;
  std::map<std::int64_t, std::array<std::string, 4>> sessionApp_;
  std::optional<DateTime> clock_;
  std::atomic<bool> restricted_{false};
  std::atomic<std::uint64_t> ddlVersion_{1};
  bool durable_ = true;
  std::unique_ptr<plsql::JobQueue> jobQueue_;
  std::mutex jobQueueMutex_;
};

// Applies the durability setting and the pragmas every connection needs to one attached file.
void configureFile(sqlite3* db, const std::string& schemaAlias, bool durable);
// Attaches the database's instance file as "instance".
void attachInstance(sqlite3* db, const std::string& directory);

}  // namespace engine::storage
