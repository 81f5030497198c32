#pragma once
// The engine's implementation of engine::Session and engine::Statement (see storage/database.h for
// the module map).
//
// Transactions: a session's SQLite connection runs in autocommit mode until the first change (DML,
// SELECT FOR UPDATE, LOCK TABLE); that opens a transaction, which COMMIT or ROLLBACK (or DDL, which
// commits first) closes. SQLite keeps one writer per file, and a database is one file: a session that
// must write while another session holds the write lock waits up to the lock wait and then fails
// with ORA-00054 (ORA-01013 when interrupted). Readers never wait.

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "engine/builtins/functions.h"
#include "engine/catalog/catalog.h"
#include "engine/engine.h"
#include "engine/sql/ast.h"
#include "engine/sql/compiler.h"
#include "engine/storage/database.h"
#include "engine/storage/locks.h"

namespace engine::plsql {
struct Block;
struct SessionState;
}  // namespace engine::plsql

namespace engine::storage {

// A parsed statement, shared by the cache: its AST and, for queries and DML, the compiled SQL.
struct Prepared {
  std::string text;
  sql::StatementPtr ast;
  bool compiled = false;  // queries and DML
  sql::Compiled code;
  std::uint64_t ddlVersion = 0;
  std::string compiledSchema;  // CURRENT_SCHEMA it was compiled for
  std::string compiledUser;    // the user whose privileges it was checked with
  // The schema version of each database reached over a link when compiled (SessionImpl::linksChanged).
  std::map<std::string, std::int64_t> linkVersions;
  // The SQLite statement, kept for reuse by the next Statement of the same text.
  sqlite3_stmt* stmt = nullptr;
  bool stmtInUse = false;
  // PL/SQL blocks and statements about PL/SQL units run in plsql/ instead.
  std::shared_ptr<plsql::Block> block;
  // Shared by texts of one shape (their literals as parameters): the literals of `ast` that may become
  // parameters, and the literals that stayed inline with their source text, which a text must repeat.
  std::unordered_map<const sql::Expr*, int> literals;
  std::vector<std::pair<int, std::string>> inlineLiterals;
  std::string shape;  // the key it has among the session's shapes
  // A query with bind tests (sql::Compiled::bindTests): its SQL and SQLite statement per outcome.
  struct Variant {
    std::string sql;
    sqlite3_stmt* stmt = nullptr;
    bool inUse = false;
    ~Variant() { sqlite3_finalize(stmt); }
  };
  std::map<std::string, std::unique_ptr<Variant>> variants;
  // True while a Statement runs one of its SQLite statements.
  bool busy() const {
    return stmtInUse || std::any_of(variants.begin(), variants.end(), [](const auto& v) { return v.second->inUse; });
  }
  ~Prepared() { sqlite3_finalize(stmt); }
};

class SessionImpl : public Session {
 public:
  SessionImpl(std::shared_ptr<DatabaseImpl> database, sqlite3* db, std::string user, bool sysdba, std::int64_t sid);
  ~SessionImpl() override;

  // Session
  std::unique_ptr<Statement> prepare(const std::string& sql) override;
  std::int64_t execute(const std::string& sql, const std::vector<std::pair<std::string, Value>>& binds) override;
  void commit() override;
  void rollback() override;
  void savepoint(const std::string& name) override;
  void rollbackToSavepoint(const std::string& name) override;
  bool inTransaction() const override { return inTransaction_; }
  void interrupt() override;
  std::string user() const override { return user_; }
  std::string currentSchema() const override { return schema_; }
  bool isSysdba() const override { return sysdba_; }
  std::int64_t sessionId() const override { return sid_; }
  Database& database() override { return *database_; }
  std::string format(const Value& value) const override;
  std::vector<std::string> takeOutput() override;

  // For statements and the executor.
  sqlite3* connection() const { return db_; }
  DatabaseImpl& impl() { return *database_; }
  catalog::Catalog& catalog() { return catalog_; }
  builtins::SessionContext& context() { return context_; }
  void setCurrentSchema(const std::string& schema);
  // The user whose privileges statements run with: the logon user, or a stored unit's owner while
  // the unit runs dynamic SQL (definer's rights). USER stays the logon user.
  const std::string& currentUser() const { return currentUser_; }
  // Runs statements with the owner's privileges and schema until it goes out of scope.
  class DefinerRights {
   public:
    DefinerRights(SessionImpl& session, const std::string& owner);
    ~DefinerRights();
    DefinerRights(const DefinerRights&) = delete;
    DefinerRights& operator=(const DefinerRights&) = delete;

   private:
    SessionImpl& session_;
    std::string user_, schema_;
  };
  // Opens the transaction for a change, if none is open; ORA-01456 in a READ ONLY transaction.
  void beginChange();
  // Opens the transaction, if none is open, without changing anything (SAVEPOINT, LOCK TABLE).
  void openTransaction();
  // SET TRANSACTION: starts the transaction (ORA-01453 when one is open); READ ONLY refuses changes
  // and reads one snapshot until COMMIT or ROLLBACK.
  void setTransaction(bool readOnly);
  bool readOnlyTransaction() const { return readOnly_; }
  // V$LOCK: the tables a change or SELECT FOR UPDATE of `code` locks (TM, row exclusive), and the
  // write lock it takes; noteLocks() publishes what the connection really holds after a statement.
  void noteChange(const sql::Compiled& code);
  void noteTableLock(const std::string& owner, const std::string& table, int mode);
  void noteLocks();
  LockRegistry& locks() { return *locks_; }
  // Runs `change` in the open transaction inside a savepoint: when it throws, its changes are undone.
  void undoOnFailure(const std::function<void()>& change);
  // Takes the database's write lock (SELECT FOR UPDATE, LOCK TABLE), waiting or not; `change`: a
  // SELECT FOR UPDATE, which a READ ONLY transaction refuses (LOCK TABLE it allows).
  // Takes the write lock of the database file, and of the other databases of the links named (a
  // SELECT ... FOR UPDATE over a link locks the rows there too).
  void lockDatabase(bool noWait, bool change = true, const std::set<std::string>& links = {});
  // Throws ORA-01013 when interrupt() was called since the last check.
  void checkInterrupt();
  // The compiled statement of a text and the values of its literal tokens (for one that shares the
  // compilation of its shape; see sql::Compiled::literalParams).
  std::shared_ptr<Prepared> compile(const std::string& text, std::vector<Value>& literals);
  // The text compiled on its own with every literal inline (triggered DML rebuilds it row by row).
  std::shared_ptr<Prepared> compileInline(const std::string& text);
  void compileStatement(Prepared& p);
  // A new compile of `p` for the current DDL version and schema, cached in its place.
  std::shared_ptr<Prepared> recompile(const std::shared_ptr<Prepared>& p);
  // May the current user (or `user`, e.g. a view's owner) use owner.name for the privilege? A READ
  // grant allows "SELECT" but not "LOCK" (SELECT FOR UPDATE, LOCK TABLE).
  bool mayUse(const std::string& owner, const std::string& name, const std::string& privilege);
  bool mayUseAs(const std::string& user, const std::string& owner, const std::string& name, const std::string& privilege);
  bool hasPrivilege(const std::string& privilege);
  // DDL on an object of `owner`: in the current user's own schema `own` (none when empty) or `any`,
  // elsewhere `any`. Throws ORA-01031 without it.
  void requirePrivilege(const std::string& owner, const std::string& own, const std::string& any);
  // The statement text of a DDL failure or a constraint: maps a SQLite failure to Oracle's error.
  [[noreturn]] void throwMapped(int rc, const sql::Compiled* code);
  std::int64_t currval(const std::string& owner, const std::string& name) const;
  // NEXTVAL of a sequence of the database behind a link the session has opened.
  std::int64_t linkNextval(const std::string& link, const std::string& owner, const std::string& name);
  void setCurrval(const std::string& owner, const std::string& name, std::int64_t v) { currvals_[owner + "." + name] = v; }
  std::atomic<bool>& interruptFlag() { return interrupted_; }
  // Runs `hook` after every COMMIT and ROLLBACK of the session (the one registered under `key`).
  void onTransactionEnd(const std::string& key, std::function<void()> hook) { transactionEndHooks_[key] = std::move(hook); }
  // Ends the running call as a forced stop of a job does: cancelled, and no exception handler of the
  // call catches it, until revive().
  void kill() {
    killed_ = true;
    interrupt();
  }
  bool killed() const { return killed_.load(); }
  void revive() { killed_ = false; }
  // V$SESS_IO: block gets (page cache hits), consistent gets (rows read), physical reads (cache
  // misses) and block changes (pages written) of this session's connection.
  std::array<std::int64_t, 4> ioCounters();
  void publishIo() { database_->publishSessionIo(sid_, ioCounters()); }
  void countRowRead() { ++rowsRead_; }
  // The context the SQL compiler needs for this session (PL/SQL adds its name resolution to it).
  sql::CompileContext compileContext();
  // The context of the database behind a database link, logged on as the link's user; the other
  // database is attached to this session's connection, so one COMMIT or ROLLBACK ends both sides.
  sql::CompileContext linkContext(const std::string& link);
  // The rows of a dictionary view as the database behind an opened link answers it for the link's
  // user, as a JSON array of arrays.
  std::string linkViewRows(const std::string& link, const std::string& view);
  // The SQLite schema version of the database behind an opened link (-1 when not open): it changes
  // with every table, column, index and constraint change there.
  std::int64_t linkSchemaVersion(const std::string& link);
  bool linksChanged(const std::map<std::string, std::int64_t>& versions);
  // The session's PL/SQL state: compiled units, package state, DBMS_OUTPUT (plsql/plsql.h).
  plsql::SessionState& plsql();
  // Values across the SQLite boundary, as statements bind and read them.
  // `stable`: `value` stays unchanged until `stmt` is reset and bound again (SQLite then reads its
  // text in place).
  void bindParameter(sqlite3_stmt* stmt, int index, const Value& value, DataType target, bool stable = false);
  static Value columnOf(sqlite3_stmt* stmt, int index, DataType type, int fraction = 6, int leading = 2);

 private:
  void registerEngineFunctions();
  // SQLite's busy handler: waits in small steps up to the lock wait, unless interrupted.
  void registerBusyHandler();
  void endTransaction(const char* sql);

  std::shared_ptr<DatabaseImpl> database_;
  sqlite3* db_;
  catalog::Catalog catalog_;
  mutable builtins::SessionContext context_;  // format() compiles date formats into it
  std::string user_;
  std::string schema_;
  std::string currentUser_;
  bool sysdba_;
  std::int64_t sid_;
  std::int64_t rowsRead_ = 0;
  bool inTransaction_ = false;
  bool readOnly_ = false;
  std::shared_ptr<LockRegistry> locks_;
  // What this transaction already published to locks_, so that a statement run row after row does
  // not publish it again: the write lock, and each table with the strongest mode noted.
  bool writingNoted_ = false;
  std::vector<std::tuple<std::string, std::string, int>> notedTables_;
  void noteTransaction(bool writing);
  std::atomic<bool> interrupted_{false};
  std::map<std::string, std::function<void()>> transactionEndHooks_;
  std::atomic<bool> killed_{false};
  std::unordered_map<std::string, std::shared_ptr<Prepared>> cache_;
  // Statements with literals by shape (the text with each literal replaced by a mark of its kind).
  std::unordered_map<std::string, std::vector<std::shared_ptr<Prepared>>> shapes_;
  std::size_t shapeCount_ = 0;
  std::map<std::string, bool> privilegeCache_;
  std::uint64_t privilegeVersion_ = 0;
  std::map<std::string, std::int64_t> currvals_;
  std::chrono::steady_clock::time_point busySince_;
  std::shared_ptr<plsql::SessionState> plsql_;
  // Databases reached over links, by link name: a connection for their catalog, the user, and the
  // SQLite schema they are attached as.
  struct LinkedDatabase {
    sqlite3* db = nullptr;
    std::unique_ptr<catalog::Catalog> catalog;
    std::string user;
    std::string attached;
  };
  std::map<std::string, LinkedDatabase> links_;
  void registerLinkFunctions(LinkedDatabase& linked);
  // Commits of changes over links left half done by a crash: judged when the link is opened.
  void checkLinkCommits(const std::string& link, const std::string& attached);
  std::int64_t linkCommits_ = 0;
};

}  // namespace engine::storage
