#include "engine/storage/database.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <tuple>

#include "engine/builtins/functions.h"
#include "engine/catalog/catalog.h"
#include "engine/catalog/dictionary.h"
#include "engine/storage/constraints.h"
#include "engine/plsql/packages/job_queue.h"
#include "engine/storage/password.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace fs = std::filesystem;

namespace engine {

namespace {

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

sqlite3* openConnection(const std::string& path, bool create) {
  // SQLite's memory statistics take a process-wide mutex at every allocation and nothing reads
  // them; they can only be turned off before SQLite's first use, which a database's opening is.
  static const int noMemoryStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  (void)noMemoryStatistics;
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw Error(1034, "ORA-01034: ORACLE not available (" + path + ": " + message + ")");
  }
  sqlite3_busy_timeout(db, 5000);
  return db;
}

// The instance parameters V$PARAMETER lists, with their defaults.
const std::vector<std::pair<std::string, std::string>>& defaultParameters() {
  static const std::vector<std::pair<std::string, std::string>> params = {
      {"compatible", "19.0.0"},
      {"sec_case_sensitive_logon", "FALSE"},
      {"nls_date_format", "DD-MON-RR"},
      {"nls_language", "AMERICAN"},
      {"nls_territory", "AMERICA"},
      {"open_cursors", "300"},
      {"processes", "300"},
      {"db_block_size", "8192"},
      {"job_queue_processes", "10"},
      {"undo_management", "AUTO"},
      {"ddl_lock_timeout", "0"},
      {"nuvo_lock_wait_ms", "3000"},
  };
  return params;
}

// The roles every database has and the system privileges they carry.
const std::vector<std::pair<std::string, std::vector<std::string>>>& standardRoles() {
  static const std::vector<std::pair<std::string, std::vector<std::string>>> roles = {
      {"CONNECT", {"CREATE SESSION"}},
      {"RESOURCE", {"CREATE TABLE", "CREATE SEQUENCE", "CREATE PROCEDURE", "CREATE TRIGGER", "CREATE TYPE"}},
      {"DBA",
       {"CREATE SESSION", "CREATE TABLE", "CREATE ANY TABLE", "ALTER ANY TABLE", "DROP ANY TABLE",
        "SELECT ANY TABLE", "INSERT ANY TABLE", "UPDATE ANY TABLE", "DELETE ANY TABLE", "LOCK ANY TABLE",
        "CREATE VIEW", "CREATE ANY VIEW", "DROP ANY VIEW", "CREATE SEQUENCE", "CREATE ANY SEQUENCE",
        "DROP ANY SEQUENCE", "SELECT ANY SEQUENCE", "ALTER ANY SEQUENCE", "CREATE SYNONYM", "CREATE ANY SYNONYM",
        "DROP ANY SYNONYM", "CREATE PUBLIC SYNONYM", "DROP PUBLIC SYNONYM", "CREATE ANY INDEX", "DROP ANY INDEX",
        "ALTER ANY INDEX", "CREATE PROCEDURE", "CREATE ANY PROCEDURE", "DROP ANY PROCEDURE", "EXECUTE ANY PROCEDURE",
        "ALTER ANY PROCEDURE", "CREATE TRIGGER", "CREATE ANY TRIGGER", "ALTER ANY TRIGGER", "DROP ANY TRIGGER", "CREATE TYPE",
        "CREATE ANY TYPE", "ALTER ANY TYPE", "DROP ANY TYPE", "EXECUTE ANY TYPE", "CREATE TABLESPACE", "DROP TABLESPACE",
        "CREATE USER", "ALTER USER", "DROP USER", "CREATE ROLE", "DROP ANY ROLE", "GRANT ANY ROLE",
        "GRANT ANY PRIVILEGE", "GRANT ANY OBJECT PRIVILEGE", "ALTER SESSION", "ALTER SYSTEM", "RESTRICTED SESSION",
        "SELECT ANY DICTIONARY", "COMMENT ANY TABLE", "CREATE DATABASE LINK", "CREATE PUBLIC DATABASE LINK", "DROP PUBLIC DATABASE LINK",
        "CREATE ANY DIRECTORY", "DROP ANY DIRECTORY", "CREATE MATERIALIZED VIEW", "CREATE ANY MATERIALIZED VIEW",
        "ALTER ANY MATERIALIZED VIEW", "DROP ANY MATERIALIZED VIEW", "CREATE ANY CONTEXT",
        "DROP ANY CONTEXT",
        "UNLIMITED TABLESPACE"}},
  };
  return roles;
}

// The file of a schema in the earlier layout (one SQLite file per schema), which migration reads.
std::string fileNameOf(const std::string& schema) {
  std::string out;
  for (char c : schema) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#') {
      out += c;
    } else {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
      out += buf;
    }
  }
  return out + ".schema.db";
}

bool hasColumn(sqlite3* db, const std::string& table, const std::string& column) {
  storage::Stmt s(db, "SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2");
  s.bindAll(table, column);
  return s.step();
}

// Sessions of processes that are gone (ended without logging off) leave the registry; those of
// other running processes stay.
void removeStaleSessions(sqlite3* db) {
  storage::Stmt s(db, "SELECT DISTINCT process FROM instance.sessions");
  std::vector<std::int64_t> gone;
  while (s.step())
    if (s.isNull(0) || (::kill(static_cast<pid_t>(s.integer(0)), 0) != 0 && errno == ESRCH)) gone.push_back(s.integer(0));
  s.reset();
  for (auto pid : gone) storage::Stmt(db, "DELETE FROM instance.sessions WHERE process IS ?1").bindAll(pid).step();
  storage::exec(db, "DELETE FROM instance.sessions WHERE process IS NULL");
}

// Brings a catalog written by an earlier engine to the current layout.
// The layout EXPLAIN PLAN fills (storage/explain.cpp names the columns it writes).
constexpr const char* kPlanTableDdl = R"sql(CREATE GLOBAL TEMPORARY TABLE SYS.PLAN_TABLE$ (
  STATEMENT_ID VARCHAR2(30), PLAN_ID NUMBER, TIMESTAMP DATE, REMARKS VARCHAR2(4000), OPERATION VARCHAR2(30),
  OPTIONS VARCHAR2(255), OBJECT_NODE VARCHAR2(128), OBJECT_OWNER VARCHAR2(128), OBJECT_NAME VARCHAR2(128),
  OBJECT_ALIAS VARCHAR2(261), OBJECT_INSTANCE NUMBER(38), OBJECT_TYPE VARCHAR2(30), OPTIMIZER VARCHAR2(255),
  SEARCH_COLUMNS NUMBER, ID NUMBER(38), PARENT_ID NUMBER(38), DEPTH NUMBER(38), POSITION NUMBER(38),
  COST NUMBER(38), CARDINALITY NUMBER(38), BYTES NUMBER(38), OTHER_TAG VARCHAR2(255),
  PARTITION_START VARCHAR2(255), PARTITION_STOP VARCHAR2(255), PARTITION_ID NUMBER(38), OTHER LONG,
  DISTRIBUTION VARCHAR2(30), CPU_COST NUMBER(38), IO_COST NUMBER(38), TEMP_SPACE NUMBER(38),
  ACCESS_PREDICATES VARCHAR2(4000), FILTER_PREDICATES VARCHAR2(4000), PROJECTION VARCHAR2(4000),
  TIME NUMBER(38), QBLOCK_NAME VARCHAR2(128), OTHER_XML CLOB) ON COMMIT PRESERVE ROWS)sql";

void upgradeCatalog(sqlite3* db) {
  // The session registry lives in the instance file now.
  storage::exec(db, "DROP TABLE IF EXISTS main.sessions");
  catalog::createJobTables(db);
  bool hadMViews = hasColumn(db, "mviews", "owner");
  bool hadTablespaces = hasColumn(db, "tablespaces", "contents");
  catalog::createStorageTables(db);
  // The DBA role of an earlier catalog gets the privileges that came with tablespaces.
  if (!hadTablespaces) {
    for (const char* privilege : {"CREATE TABLESPACE", "DROP TABLESPACE"})
      storage::Stmt(db, "INSERT OR IGNORE INTO sys_privs(grantee, privilege) SELECT role, ?1 FROM roles WHERE role = 'DBA'")
          .bindAll(std::string(privilege))
          .step();
    // An earlier catalog took any tablespace name; the names its users and tables were given
    // become tablespaces, so they keep working where the names are now checked.
    storage::exec(db, R"sql(
INSERT OR IGNORE INTO tablespaces(tablespace_name, contents)
  SELECT DISTINCT upper(default_tablespace), 'PERMANENT' FROM users WHERE default_tablespace IS NOT NULL
  UNION SELECT DISTINCT upper(tablespace_name), 'PERMANENT' FROM segment_attrs WHERE tablespace_name IS NOT NULL;
INSERT OR IGNORE INTO tablespaces(tablespace_name, contents)
  SELECT DISTINCT upper(temporary_tablespace), 'TEMPORARY' FROM users WHERE temporary_tablespace IS NOT NULL;)sql");
  }
  // The DBA role of an earlier catalog gets the privileges that came with materialized views.
  if (!hadMViews)
    for (const char* privilege : {"CREATE MATERIALIZED VIEW", "CREATE ANY MATERIALIZED VIEW",
                                  "ALTER ANY MATERIALIZED VIEW", "DROP ANY MATERIALIZED VIEW"})
      storage::Stmt(db, "INSERT OR IGNORE INTO sys_privs(grantee, privilege) SELECT role, ?1 FROM roles WHERE role = 'DBA'")
          .bindAll(std::string(privilege))
          .step();
  // A link keeps what it connects with: the digests of its password, no longer the password itself.
  if (!hasColumn(db, "db_links", "password")) storage::exec(db, "ALTER TABLE db_links ADD COLUMN password TEXT");
  {
    storage::Stmt s(db, "SELECT rowid, username, password FROM db_links WHERE password IS NOT NULL AND username IS NOT NULL");
    std::vector<std::tuple<std::int64_t, std::string, std::string>> plain;
    while (s.step())
      if (!storage::isLinkCredential(s.text(2))) plain.emplace_back(s.integer(0), s.text(1), s.text(2));
    s.reset();
    for (const auto& [rowid, user, password] : plain)
      storage::Stmt(db, "UPDATE db_links SET password = ?2 WHERE rowid = ?1")
          .bindAll(rowid, storage::linkCredential(user, password))
          .step();
  }
  if (!hasColumn(db, "views", "read_only"))
    storage::exec(db, "ALTER TABLE views ADD COLUMN read_only TEXT NOT NULL DEFAULT 'N'");
  // The column names of a view created by FORCE, kept until its query compiles.
  // DEFERRABLE and DEFERRED are SQLite keywords, so the columns have names of their own.
  if (!hasColumn(db, "constraints", "deferrability")) {
    storage::exec(db, "ALTER TABLE constraints ADD COLUMN deferrability TEXT");
    storage::exec(db, "ALTER TABLE constraints ADD COLUMN check_time TEXT");
  }
  if (!hasColumn(db, "views", "column_aliases")) storage::exec(db, "ALTER TABLE views ADD COLUMN column_aliases TEXT");
  if (!hasColumn(db, "columns", "identity_column")) {
    storage::exec(db, "ALTER TABLE columns ADD COLUMN identity_column TEXT");
    storage::exec(db, "ALTER TABLE columns ADD COLUMN default_on_null TEXT");
    storage::exec(db, "ALTER TABLE columns ADD COLUMN identity_options TEXT");
  }
  if (!hasColumn(db, "columns", "char_length")) {
    storage::exec(db, "ALTER TABLE columns ADD COLUMN char_length INTEGER");
    storage::exec(db, "ALTER TABLE columns ADD COLUMN char_used TEXT");
  }
  if (!hasColumn(db, "users", "password_ci")) {
    // Earlier catalogs kept the passwords themselves: replace them by their digests.
    storage::exec(db, "ALTER TABLE users ADD COLUMN password_ci TEXT");
    storage::Stmt s(db, "SELECT username, password FROM users");
    std::vector<std::pair<std::string, std::string>> users;
    while (s.step()) users.emplace_back(s.text(0), s.text(1));
    s.reset();
    for (const auto& [name, password] : users) {
      auto digests = storage::digestPassword(name, password);
      storage::Stmt(db, "UPDATE users SET password = ?2, password_ci = ?3 WHERE username = ?1")
          .bindAll(name, digests.exact, digests.folded)
          .step();
    }
  }
  // An object privilege is one row per grantor: the same privilege granted by two users is two
  // grants, each revoked by its own grantor.
  {
    storage::Stmt s(db, "SELECT pk FROM pragma_table_info('tab_privs') WHERE name = 'grantor'");
    if (s.step() && s.integer(0) == 0) {
      s.reset();
      // The dictionary views name tab_privs: the rename leaves them alone (they are made anew after).
      storage::exec(db, "PRAGMA legacy_alter_table=ON");
      storage::exec(db, R"sql(
CREATE TABLE tab_privs_new(grantee TEXT NOT NULL, owner TEXT NOT NULL, table_name TEXT NOT NULL, grantor TEXT NOT NULL,
  privilege TEXT NOT NULL, grantable TEXT DEFAULT 'NO', PRIMARY KEY(grantee, owner, table_name, privilege, grantor));
INSERT INTO tab_privs_new SELECT grantee, owner, table_name, coalesce(grantor, owner), privilege, grantable FROM tab_privs;
DROP TABLE tab_privs;
ALTER TABLE tab_privs_new RENAME TO tab_privs;)sql");
      storage::exec(db, "PRAGMA legacy_alter_table=OFF");
      // The DBA role of such a catalog gets the privileges on other schemas' types.
      for (const char* privilege : {"CREATE ANY TYPE", "ALTER ANY TYPE", "DROP ANY TYPE", "EXECUTE ANY TYPE"})
        storage::Stmt(db, "INSERT OR IGNORE INTO sys_privs(grantee, privilege) SELECT role, ?1 FROM roles WHERE role = 'DBA'")
            .bindAll(std::string(privilege))
            .step();
    }
  }
}

constexpr const char* kEarlierCatalog = "catalog.db";
constexpr const char* kEarlierFolder = "old_layout";

// Makes the instance file when it is missing; its tables hold no transactional data.
void createInstanceFile(const std::string& directory) {
  sqlite3* db = openConnection(directory + "/" + storage::kInstanceFile, true);
  try {
    storage::exec(db, "PRAGMA journal_mode=WAL");
    storage::exec(db, R"sql(
CREATE TABLE IF NOT EXISTS sessions(sid INTEGER PRIMARY KEY, serial INTEGER, username TEXT, schemaname TEXT,
  osuser TEXT, machine TEXT, terminal TEXT, program TEXT, module TEXT, logon_time TEXT, process INTEGER);
CREATE TABLE IF NOT EXISTS counters(key TEXT PRIMARY KEY, value INTEGER);
INSERT OR IGNORE INTO counters(key, value) VALUES ('next_serial', 1);
CREATE TABLE IF NOT EXISTS sequence_marks(object_id INTEGER PRIMARY KEY, base INTEGER, mark INTEGER);
CREATE TABLE IF NOT EXISTS parameters(name TEXT PRIMARY KEY, value TEXT, type INTEGER DEFAULT 2, description TEXT);
)sql");
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  sqlite3_close(db);
}

// Reads the SQL text of a stored CREATE statement: words and names in order.
class SqlText {
 public:
  explicit SqlText(std::string text) : text_(std::move(text)) {}
  // Skips the keyword when it comes next (any case).
  bool word(const char* w) {
    space();
    std::size_t n = std::strlen(w);
    if (at_ + n > text_.size() || !std::equal(w, w + n, text_.begin() + static_cast<std::ptrdiff_t>(at_),
                                              [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) ==
                                                                          std::toupper(static_cast<unsigned char>(b)); }))
      return false;
    if (at_ + n < text_.size() && isNameChar(text_[at_ + n])) return false;
    at_ += n;
    return true;
  }
  // Replaces the name that comes next by `quoted`.
  void replaceName(const std::string& quoted) {
    space();
    std::size_t end = at_;
    if (end < text_.size() && (text_[end] == '"' || text_[end] == '`' || text_[end] == '[')) {
      char close = text_[end] == '[' ? ']' : text_[end];
      for (++end; end < text_.size(); ++end) {
        if (text_[end] != close) continue;
        if (close != ']' && end + 1 < text_.size() && text_[end + 1] == close) {
          ++end;
          continue;
        }
        ++end;
        break;
      }
    } else {
      while (end < text_.size() && isNameChar(text_[end])) ++end;
    }
    if (end == at_) throw Error(600, "ORA-00600: internal error code, arguments: [migrate], [" + text_ + "]");
    text_.replace(at_, end - at_, quoted);
    at_ += quoted.size();
  }
  const std::string& text() const { return text_; }

 private:
  static bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }
  void space() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  std::string text_;
  std::size_t at_ = 0;
};

// Copies every row with its ROWID (the engine's ROWIDs are derived from it).
void copyRows(sqlite3* db, const std::string& from, const std::string& to, const std::string& fromSchema,
              const std::string& fromName) {
  storage::Stmt cols(db, "SELECT name FROM pragma_table_info(?1, ?2)");
  cols.bindAll(fromName, fromSchema);
  std::string list;
  while (cols.step()) list += ", " + storage::quoteName(cols.text(0));
  cols.reset();
  storage::exec(db, "INSERT INTO " + to + "(rowid" + list + ") SELECT rowid" + list + " FROM " + from);
}

// Moves the files of the earlier layout into old_layout/, where they stay untouched.
void keepEarlierFiles(const fs::path& dir) {
  fs::create_directories(dir / kEarlierFolder);
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    bool earlier = name.rfind(kEarlierCatalog, 0) == 0 || name.find(".schema.db") != std::string::npos;
    if (entry.is_regular_file() && earlier) files.push_back(entry.path());
  }
  // The catalog goes last: while it is there, the move is not finished and is done again.
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    bool ca = a.filename().string().rfind(kEarlierCatalog, 0) == 0, cb = b.filename().string().rfind(kEarlierCatalog, 0) == 0;
    return ca != cb ? cb : a < b;
  });
  // Another process may be moving them at the same time: a file already moved is skipped.
  std::error_code ec;
  for (const auto& f : files) fs::rename(f, dir / kEarlierFolder / f.filename(), ec);
}

// Copies a database of the earlier layout (catalog.db and one <SCHEMA>.schema.db per schema) into
// database.db: the catalog's tables as they are, each schema's tables and indexes under their
// "SCHEMA.NAME". The copy is built under another name and renamed when complete, so a kill leaves the
// earlier files as they were (and the next open migrates again) or a whole database.db. The
// constraint triggers name their tables and are made anew on the first open (finishMigration).
void migrateEarlierLayout(const std::string& directory) {
  fs::path dir(directory);
  fs::path target = dir / (std::string(storage::kDatabaseFile) + ".migrating");
  // One process migrates; another that opens the database meanwhile waits and then finds it done.
  std::string lockPath = target.string() + ".lock";
  int lockFile = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lockFile < 0 || ::flock(lockFile, LOCK_EX) != 0) {
    if (lockFile >= 0) ::close(lockFile);
    throw Error(1034, "ORA-01034: ORACLE not available (cannot lock " + lockPath + " to migrate the database)");
  }
  struct Unlock {
    int fd;
    ~Unlock() { ::close(fd); }
  } unlock{lockFile};
  if (fs::exists(dir / storage::kDatabaseFile)) return;
  std::error_code ec;
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) fs::remove(target.string() + suffix, ec);
  sqlite3* db = openConnection(target.string(), true);
  try {
    storage::exec(db, "PRAGMA journal_mode=DELETE");
    storage::exec(db, "PRAGMA synchronous=FULL");
    storage::exec(db, "ATTACH " + storage::quoteText((dir / kEarlierCatalog).string()) + " AS old");
    // The file becomes the database only when renamed: its transactions need not span the copy.
    storage::exec(db, "BEGIN");
    std::vector<std::pair<std::string, std::string>> objects;
    storage::Stmt catalogObjects(db, "SELECT type, name, sql FROM old.sqlite_master WHERE sql IS NOT NULL AND "
                                     "type IN ('table', 'index') AND name NOT LIKE 'sqlite%' AND name <> 'sessions' "
                                     "ORDER BY type = 'index'");
    while (catalogObjects.step()) {
      storage::exec(db, catalogObjects.text(2));
      if (catalogObjects.text(0) == "table") objects.emplace_back(catalogObjects.text(1), "");
    }
    catalogObjects.reset();
    for (const auto& [name, unused] : objects)
      copyRows(db, "old." + storage::quoteName(name), "main." + storage::quoteName(name), "old", name);
    std::vector<std::string> users;
    storage::Stmt u(db, "SELECT username FROM old.users");
    while (u.step()) users.push_back(u.text(0));
    u.reset();
    storage::exec(db, "COMMIT");
    for (const auto& user : users) {
      fs::path file = dir / fileNameOf(user);
      if (!fs::exists(file)) continue;
      storage::exec(db, "ATTACH " + storage::quoteText(file.string()) + " AS schema_file");
      storage::exec(db, "BEGIN");
      struct Item {
        std::string type, name, table, sql;
      };
      std::vector<Item> items;
      storage::Stmt s(db, "SELECT type, name, tbl_name, sql FROM schema_file.sqlite_master WHERE sql IS NOT NULL AND "
                          "type IN ('table', 'index') AND name NOT LIKE 'sqlite%' AND name <> 'nuvo_schema' "
                          "ORDER BY type = 'index'");
      while (s.step()) items.push_back({s.text(0), s.text(1), s.text(2), s.text(3)});
      s.reset();
      for (const auto& item : items) {
        SqlText sql(item.sql);
        sql.word("CREATE");
        if (item.type == "table") {
          sql.word("TABLE");
          sql.replaceName(storage::tableRef(user, item.name));
          storage::exec(db, sql.text());
          copyRows(db, "schema_file." + storage::quoteName(item.name), storage::tableRef(user, item.name), "schema_file",
                   item.name);
        } else {
          sql.word("UNIQUE");
          sql.word("INDEX");
          sql.replaceName(storage::tableRef(user, item.name));
          sql.word("ON");
          sql.replaceName(storage::tableRef(user, item.table));
          storage::exec(db, sql.text());
        }
      }
      storage::exec(db, "COMMIT");
      storage::exec(db, "DETACH schema_file");
    }
    storage::exec(db, "INSERT OR REPLACE INTO main.meta(key, value) VALUES ('rebuild_constraints', 1)");
    storage::exec(db, "DETACH old");
    storage::exec(db, "PRAGMA journal_mode=WAL");
  } catch (const Error& e) {
    sqlite3_close(db);
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) fs::remove(target.string() + suffix, ec);
    throw Error(1034, "ORA-01034: ORACLE not available (the database at " + directory +
                          " has the earlier file layout and could not be migrated; its files are unchanged: " +
                          e.message() + ")");
  }
  sqlite3_close(db);
  fs::rename(target, dir / storage::kDatabaseFile);
  keepEarlierFiles(dir);
  ::unlink(lockPath.c_str());  // waiters hold it open and find database.db
}

}  // namespace

namespace storage {

void configureFile(sqlite3* db, const std::string& alias, bool durable) {
  std::string q = quoteName(alias);
  exec(db, "PRAGMA " + q + ".journal_mode=WAL");
  exec(db, "PRAGMA " + q + ".synchronous=" + (durable ? "FULL" : "OFF"));
}

DatabaseImpl::DatabaseImpl(std::string directory, sqlite3* system)
    : directory_(std::move(directory)), name_(fs::path(directory_).filename().string()), system_(system) {
  if (name_.empty()) name_ = fs::path(directory_).parent_path().filename().string();
  catalog::Catalog cat(system_);
  durable_ = cat.meta("durable", 1) != 0;
  configureFile(system_, "main", durable_);
  attachInstance(system_, directory_);
  configureFile(system_, "instance", durable_);
  // ALTER SYSTEM is no part of any transaction: the live parameters are the instance file's, which
  // start from the catalog's when the file is new.
  exec(system_, "INSERT INTO instance.parameters(name, value, type, description) SELECT name, value, type, description "
                "FROM main.parameters WHERE NOT EXISTS (SELECT 1 FROM instance.parameters)");
  loadParameters();
  try {
    removeStaleSessions(system_);
  } catch (const Error&) {
    // The rows stay until the next open; opening must not fail for them.
  }
}

void DatabaseImpl::finishMigration() {
  catalog::Catalog cat(system_);
  if (cat.meta("rebuild_constraints", 0) == 0) return;
  sqlite3* db = openConnection(databasePath(), false);
  configureFile(db, "main", durable_);
  attachInstance(db, directory_);
  auto self = std::static_pointer_cast<DatabaseImpl>(shared_from_this());
  SessionImpl session(self, db, "SYS", true, 0);
  exec(db, "BEGIN IMMEDIATE");
  try {
    std::vector<std::pair<std::string, std::string>> tables;
    Stmt s(db, "SELECT DISTINCT owner, table_name FROM constraints");
    while (s.step()) tables.emplace_back(s.text(0), s.text(1));
    s.reset();
    for (const auto& [owner, table] : tables) rebuildConstraints(session, owner, table);
    exec(db, "DELETE FROM meta WHERE key = 'rebuild_constraints'");
    exec(db, "COMMIT");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void DatabaseImpl::ensurePlanTable() {
  {
    Stmt s(system_, "SELECT 1 FROM objects WHERE owner='SYS' AND object_name='PLAN_TABLE$'");
    if (s.step()) return;
  }
  sqlite3* db = openConnection(databasePath(), false);
  configureFile(db, "main", durable_);
  attachInstance(db, directory_);
  auto self = std::static_pointer_cast<DatabaseImpl>(shared_from_this());
  SessionImpl session(self, db, "SYS", true, 0);
  session.execute(kPlanTableDdl, {});
  session.execute("CREATE PUBLIC SYNONYM PLAN_TABLE FOR SYS.PLAN_TABLE$", {});
  session.execute("GRANT SELECT, INSERT, UPDATE, DELETE ON SYS.PLAN_TABLE$ TO PUBLIC", {});
}

void DatabaseImpl::revalidateView(const std::string& owner, const std::string& name,
                                  const std::set<std::pair<std::string, std::string>>& references) {
  std::lock_guard lock(mutex_);
  {
    Stmt s(system_, "SELECT 1 FROM objects WHERE owner=?1 AND object_name=?2 AND object_type='VIEW' AND status='INVALID'");
    s.bindAll(owner, name);
    if (!s.step()) return;
  }
  sqlite3_busy_timeout(system_, 0);
  try {
    exec(system_, "BEGIN IMMEDIATE");
    try {
      Stmt(system_, "UPDATE objects SET status='VALID' WHERE owner=?1 AND object_name=?2 AND object_type='VIEW'")
          .bindAll(owner, name)
          .step();
      catalog::Catalog(system_).setDependencies(owner, name, "VIEW", references);
      Stmt(system_, "DELETE FROM errors WHERE owner=?1 AND name=?2 AND type='VIEW'").bindAll(owner, name).step();
      exec(system_, "COMMIT");
    } catch (...) {
      sqlite3_exec(system_, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  } catch (const Error&) {
    // Another session writes: a later use tries again.
  }
  sqlite3_busy_timeout(system_, 5000);
}

DatabaseImpl::~DatabaseImpl() {
  jobQueue_.reset();
  sqlite3_close(system_);
}

plsql::JobQueue& DatabaseImpl::jobQueue() {
  std::lock_guard lock(jobQueueMutex_);
  if (!jobQueue_) jobQueue_ = std::make_unique<plsql::JobQueue>(*this);
  return *jobQueue_;
}

int DatabaseImpl::runDueJobs(bool wait) { return jobQueue().runDue(wait); }
void DatabaseImpl::startJobQueue() { jobQueue().start(); }
void DatabaseImpl::stopJobQueue() {
  std::lock_guard lock(jobQueueMutex_);
  if (jobQueue_) jobQueue_->stop();
}

void attachInstance(sqlite3* db, const std::string& directory) {
  exec(db, "ATTACH " + quoteText(directory + "/" + kInstanceFile) + " AS instance");
}

void DatabaseImpl::loadParameters() {
  Stmt s(system_, "SELECT name, value FROM instance.parameters");
  while (s.step()) parameters_[s.text(0)] = s.text(1);
}

void DatabaseImpl::setParameter(const std::string& name, const std::string& value) {
  std::lock_guard lock(mutex_);
  std::string key = lower(name);
  parameters_[key] = value;
  Stmt s(system_, "INSERT INTO instance.parameters(name, value) VALUES (?1, ?2) ON CONFLICT(name) DO UPDATE SET value=?2");
  s.bindAll(key, value);
  s.step();
}

std::string DatabaseImpl::parameter(const std::string& name) const {
  std::lock_guard lock(mutex_);
  auto it = parameters_.find(lower(name));
  return it == parameters_.end() ? std::string() : it->second;
}

int DatabaseImpl::lockWaitMs() const {
  std::string v = parameter("nuvo_lock_wait_ms");
  return v.empty() ? 3000 : std::stoi(v);
}

void DatabaseImpl::setBannerVersion(const std::string& version) {
  std::lock_guard lock(mutex_);
  Stmt(system_, "INSERT OR REPLACE INTO meta(key, value) VALUES ('version', ?1)").bindAll(version).step();
  Stmt(system_, "INSERT OR REPLACE INTO meta(key, value) VALUES ('banner1', ?1)")
      .bindAll(catalog::bannerFor(version))
      .step();
  std::string compatible = version.substr(0, version.find('.')) + ".0.0";
  Stmt(system_, "INSERT INTO instance.parameters(name, value) VALUES ('compatible', ?1) ON CONFLICT(name) DO UPDATE SET value=?1")
      .bindAll(compatible)
      .step();
  parameters_["compatible"] = compatible;
}

void DatabaseImpl::setDurable(bool durable) {
  std::lock_guard lock(mutex_);
  durable_ = durable;
  Stmt(system_, "INSERT OR REPLACE INTO meta(key, value) VALUES ('durable', ?1)").bindAll(durable ? 1 : 0).step();
  configureFile(system_, "main", durable_);
  configureFile(system_, "instance", durable_);
}

void DatabaseImpl::injectFault(const std::string& textPattern, int oraCode, int count) {
  std::lock_guard lock(mutex_);
  faults_.push_back({upper(textPattern), oraCode, count});
  hasFaults_ = true;
}

void DatabaseImpl::clearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
  hasFaults_ = false;
}

void DatabaseImpl::checkFault(const std::string& sql) {
  if (!hasFaults_) return;
  std::lock_guard lock(mutex_);
  if (faults_.empty()) return;
  std::string text = upper(sql);
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (text.find(it->pattern) == std::string::npos) continue;
    int code = it->code;
    if (--it->remaining <= 0) faults_.erase(it);
    throw Error::ora(code);
  }
}

void DatabaseImpl::setClock(const DateTime* fixedNow) {
  std::lock_guard lock(mutex_);
  if (fixedNow) clock_ = *fixedNow;
  else clock_.reset();
}

DateTime DatabaseImpl::now() const {
  std::lock_guard lock(mutex_);
  return clock_ ? *clock_ : builtins::localNow();
}

DateTime DatabaseImpl::preciseNow() const {
  std::lock_guard lock(mutex_);
  return clock_ ? *clock_ : builtins::localNowPrecise();
}

std::optional<SequenceState> loadSequence(sqlite3* db, const std::string& owner, const std::string& name) {
  // The catalog's LAST_NUMBER is where DDL left the sequence; the instance file's mark, when it
  // was set from that same number, is where values were handed out to since.
  Stmt s(db, "SELECT q.min_value, q.max_value, q.increment_by, q.cycle_flag, q.cache_size, q.last_number, "
             "o.object_id, m.mark FROM main.sequences q JOIN main.objects o ON o.owner = q.sequence_owner AND "
             "o.object_name = q.sequence_name AND o.object_type = 'SEQUENCE' LEFT JOIN instance.sequence_marks m "
             "ON m.object_id = o.object_id AND m.base = q.last_number "
             "WHERE q.sequence_owner=?1 AND q.sequence_name=?2");
  s.bindAll(owner, name);
  if (!s.step()) return std::nullopt;
  SequenceState st;
  st.minValue = s.integer(0);
  st.maxValue = s.integer(1);
  st.increment = s.integer(2);
  st.cycle = s.text(3) == "Y";
  st.cache = std::max<std::int64_t>(1, s.integer(4));
  st.base = s.integer(5);
  st.objectId = s.integer(6);
  st.next = s.isNull(7) ? st.base : s.integer(7);
  st.cacheEnd = st.next;
  return st;
}

std::int64_t nextSequenceValue(sqlite3* db, SequenceState& st, const std::string& name) {
  bool ascending = st.increment > 0;
  auto beyond = [&](std::int64_t v) { return ascending ? v > st.maxValue : v < st.minValue; };
  std::int64_t value = st.next;
  // The mark goes to the instance file, outside every session's transaction: a rollback must not
  // hand the values out again, and an open transaction of another session must not hold NEXTVAL up.
  // A new block starts at the mark when another process or a link has taken values beyond this one's.
  if ((ascending ? value >= st.cacheEnd : value <= st.cacheEnd) && !beyond(value)) {
    std::int64_t block = st.increment * st.cache;
    Stmt u(db, "INSERT INTO instance.sequence_marks(object_id, base, mark) VALUES (?1, ?2, ?3 + ?4) "
               "ON CONFLICT(object_id) DO UPDATE SET mark = CASE WHEN base = excluded.base THEN "
               "(CASE WHEN ?4 > 0 THEN max(mark, ?3) ELSE min(mark, ?3) END) + ?4 ELSE excluded.mark END, "
               "base = excluded.base RETURNING mark");
    u.bindAll(st.objectId, st.base, value, block);
    if (!u.step()) throw Error::ora(2289);
    st.cacheEnd = u.integer(0);
    value = st.cacheEnd - block;
  }
  if (beyond(value)) {
    if (!st.cycle) {
      throw Error(8004, "ORA-08004: sequence " + name + ".NEXTVAL " + (ascending ? "exceeds MAXVALUE" : "goes below MINVALUE") +
                            " and cannot be instantiated");
    }
    value = ascending ? st.minValue : st.maxValue;
    st.cacheEnd = value + st.increment * st.cache;
    Stmt u(db, "INSERT OR REPLACE INTO instance.sequence_marks(object_id, base, mark) VALUES (?1, ?2, ?3)");
    u.bindAll(st.objectId, st.base, st.cacheEnd);
    u.step();
  }
  st.next = value + st.increment;
  return value;
}

std::int64_t DatabaseImpl::nextSequenceValue(const std::string& owner, const std::string& name) {
  std::lock_guard lock(mutex_);
  std::string key = owner + "." + name;
  auto it = sequences_.find(key);
  if (it == sequences_.end()) {
    auto st = loadSequence(system_, owner, name);
    if (!st) throw Error::ora(2289);
    it = sequences_.emplace(key, *st).first;
  }
  return storage::nextSequenceValue(system_, it->second, name);
}

std::optional<std::int64_t> DatabaseImpl::forgetSequence(const std::string& owner, const std::string& name) {
  std::lock_guard lock(mutex_);
  auto it = sequences_.find(owner + "." + name);
  if (it == sequences_.end()) return std::nullopt;
  std::int64_t last = it->second.next - it->second.increment;
  sequences_.erase(it);
  return last;
}

std::int64_t DatabaseImpl::registerSession(const std::string& user) {
  std::lock_guard lock(mutex_);
  // The first statement writes, so the transaction holds the instance file's write lock from its
  // start (the database file is not locked: an open transaction there never holds a logon up).
  exec(system_, "BEGIN");
  try {
    exec(system_, "UPDATE instance.counters SET value = value % 65535 + 1 WHERE key = 'next_serial'");
    // SIDs are reused as sessions end; the serial number tells the sessions of one SID apart.
    Stmt c(system_, "SELECT value FROM instance.counters WHERE key = 'next_serial'");
    std::int64_t serial = c.step() && c.integer(0) > 1 ? c.integer(0) - 1 : 65535;
    c.reset();
    Stmt s(system_, "SELECT coalesce(max(sid), 0) + 1 FROM instance.sessions");
    s.step();
    std::int64_t sid = s.integer(0);
    s.reset();
    const char* login = std::getenv("USER");
    Stmt ins(system_, "INSERT INTO instance.sessions(sid, serial, username, schemaname, osuser, machine, terminal, program, "
                      "module, logon_time, process) VALUES (?1, ?2, ?3, ?3, ?4, 'localhost', 'unknown', 'nuvo_sql', "
                      "'nuvo_sql', ?5, ?6)");
    ins.bindAll(sid, serial, user, std::string(login ? login : "nuvo"), (clock_ ? *clock_ : builtins::localNow()).toIso(),
                static_cast<std::int64_t>(::getpid()));
    ins.step();
    exec(system_, "COMMIT");
    return sid;
  } catch (...) {
    sqlite3_exec(system_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void DatabaseImpl::publishSessionIo(std::int64_t sid, const std::array<std::int64_t, 4>& counters) {
  std::lock_guard lock(mutex_);
  sessionIo_[sid] = counters;
}

std::array<std::int64_t, 4> DatabaseImpl::sessionIo(std::int64_t sid) const {
  std::lock_guard lock(mutex_);
  auto it = sessionIo_.find(sid);
  return it == sessionIo_.end() ? std::array<std::int64_t, 4>{} : it->second;
}

void DatabaseImpl::publishSessionApp(std::int64_t sid, const std::array<std::string, 4>& app) {
  std::lock_guard lock(mutex_);
  sessionApp_[sid] = app;
}

std::optional<std::array<std::string, 4>> DatabaseImpl::sessionApp(std::int64_t sid) const {
  std::lock_guard lock(mutex_);
  auto it = sessionApp_.find(sid);
  if (it == sessionApp_.end()) return std::nullopt;
  return it->second;
}

void DatabaseImpl::unregisterSession(std::int64_t sid) {
  std::lock_guard lock(mutex_);
  sessionIo_.erase(sid);
  sessionApp_.erase(sid);
  Stmt s(system_, "DELETE FROM instance.sessions WHERE sid=?1");
  s.bindAll(sid);
  try {
    s.step();
  } catch (const Error&) {
    // The row stays until the database is opened again; logoff itself must not fail.
  }
}

std::unique_ptr<Session> DatabaseImpl::logOn(const std::string& userName, const std::string& password, bool sysdba) {
  std::string user = userName.size() > 1 && userName.front() == '"' && userName.back() == '"'
                         ? userName.substr(1, userName.size() - 2)
                         : upper(userName);
  catalog::Catalog cat(system_);
  bool caseSensitive = upper(parameter("sec_case_sensitive_logon")) == "TRUE";
  {
    // The system connection serves one thread at a time.
    std::lock_guard lock(mutex_);
    auto info = cat.findUser(user);
    bool passwordOk = false;
    if (info) {
      PasswordDigests given = digestPassword(user, password);
      passwordOk = caseSensitive ? given.exact == info->passwordDigest : given.folded == info->foldedDigest;
    }
    if (!passwordOk) throw Error::ora(1017);
    if (info->status.find("LOCKED") != std::string::npos) throw Error::ora(28000);
    if (sysdba) {
      if (user != "SYS" && !cat.hasSystemPrivilege(user, "SYSDBA")) throw Error::ora(1031);
      user = "SYS";
    } else if (user == "SYS") {
      throw Error::ora(28009);
    } else {
      if (!cat.hasSystemPrivilege(user, "CREATE SESSION")) {
        throw Error(1045, "ORA-01045: user " + user + " lacks CREATE SESSION privilege; logon denied");
      }
      if (restricted_ && !cat.hasSystemPrivilege(user, "RESTRICTED SESSION")) throw Error::ora(1035);
    }
  }
  return internalSession(user, sysdba);
}

std::unique_ptr<SessionImpl> DatabaseImpl::internalSession(const std::string& user, bool sysdba) {
  sqlite3* db = openConnection(databasePath(), false);
  std::int64_t sid = 0;
  try {
    configureFile(db, "main", durable_);
    attachInstance(db, directory_);
    sid = registerSession(user);
    auto self = std::static_pointer_cast<DatabaseImpl>(shared_from_this());
    return std::make_unique<SessionImpl>(self, db, user, sysdba, sid);
  } catch (...) {
    if (sid) unregisterSession(sid);
    sqlite3_close(db);
    throw;
  }
}

}  // namespace storage

// ---------------------------------------------------------------------------------------------------
// The static entry points of engine::Database.

std::shared_ptr<Database> Database::create(const std::string& directory, const CreateOptions& options) {
  if (exists(directory)) throw Error(1501, "ORA-01501: CREATE DATABASE failed: " + directory + " exists");
  fs::create_directories(directory);
  sqlite3* db = nullptr;
  try {
    createInstanceFile(directory);
    db = openConnection(directory + "/" + storage::kDatabaseFile, true);
  } catch (...) {
    fs::remove_all(directory);
    throw;
  }
  try {
    storage::configureFile(db, "main", options.durable);
    storage::exec(db, "BEGIN");
    catalog::createCatalogTables(db);
    catalog::createDictionaryViews(db);
    catalog::Catalog cat(db);
    cat.setMeta("durable", options.durable ? 1 : 0);
    cat.setMeta("dbid", 1000000000 + static_cast<std::int64_t>(std::time(nullptr) % 1000000000));
    std::string dbName = upper(fs::path(directory).filename().string()).substr(0, 8);
    storage::Stmt(db, "INSERT INTO meta(key, value) VALUES ('db_name', ?1)").bindAll(dbName).step();
    for (const auto& [name, value] : defaultParameters()) {
      storage::Stmt(db, "INSERT INTO parameters(name, value) VALUES (?1, ?2)").bindAll(name, value).step();
    }
    std::string now = builtins::localNow().toIso();
    for (const auto& [role, privileges] : standardRoles()) {
      storage::Stmt(db, "INSERT INTO roles(role, oracle_maintained) VALUES (?1, 'Y')").bindAll(role).step();
      for (const auto& p : privileges)
        storage::Stmt(db, "INSERT INTO sys_privs(grantee, privilege) VALUES (?1, ?2)").bindAll(role, p).step();
    }
    const std::pair<const char*, const std::string*> users[] = {{"SYS", &options.sysPassword},
                                                                {"SYSTEM", &options.systemPassword}};
    std::int64_t id = 0;
    for (const auto& [name, password] : users) {
      storage::PasswordDigests digests = storage::digestPassword(name, *password);
      storage::Stmt(db, "INSERT INTO users(user_id, username, password, password_ci, created) VALUES (?1,?2,?3,?4,?5)")
          .bindAll(id, std::string(name), digests.exact, digests.folded, now)
          .step();
      id += 5;
      storage::Stmt(db, "INSERT INTO role_privs(grantee, granted_role, admin_option) VALUES (?1, 'DBA', 'YES')")
          .bindAll(std::string(name))
          .step();
    }
    storage::exec(db, "INSERT INTO sys_privs(grantee, privilege, admin_option) VALUES ('SYS', 'SYSDBA', 'YES')");
    cat.setMeta("next_user_id", 100);
    storage::exec(db, "COMMIT");
  } catch (...) {
    sqlite3_close(db);
    fs::remove_all(directory);
    throw;
  }
  auto database = std::make_shared<storage::DatabaseImpl>(directory, db);
  database->setBannerVersion(options.bannerVersion);
  database->ensurePlanTable();
  return database;
}

std::shared_ptr<Database> Database::open(const std::string& directory) {
  if (!exists(directory)) throw Error(1034, "ORA-01034: ORACLE not available (no database at " + directory + ")");
  fs::path dir(directory);
  if (!fs::exists(dir / storage::kDatabaseFile)) migrateEarlierLayout(directory);
  else if (fs::exists(dir / kEarlierCatalog)) keepEarlierFiles(dir);  // a migration ended before this step
  createInstanceFile(directory);
  sqlite3* db = openConnection(directory + "/" + storage::kDatabaseFile, false);
  try {
    // The views follow the engine's definitions, so a newer engine brings its views to older files.
    storage::exec(db, "BEGIN IMMEDIATE");
    upgradeCatalog(db);
    catalog::createDictionaryViews(db);
    storage::exec(db, "COMMIT");
  } catch (const Error& e) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    // Another process holding the database brings the catalog up itself, and a read-only file
    // opens as it is; any other failure leaves a catalog this engine cannot use, so it is refused.
    if (e.code() != 54 && sqlite3_db_readonly(db, "main") != 1) {
      sqlite3_close(db);
      throw;
    }
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    throw;
  }
  auto database = std::make_shared<storage::DatabaseImpl>(directory, db);
  database->finishMigration();
  try {
    database->ensurePlanTable();
  } catch (const Error&) {
    // Another process holds the database: the next open makes it.
  }
  return database;
}

bool Database::exists(const std::string& directory) {
  return fs::exists(fs::path(directory) / storage::kDatabaseFile) || fs::exists(fs::path(directory) / kEarlierCatalog);
}

void Database::drop(const std::string& directory) {
  if (!exists(directory)) throw Error(1034, "ORA-01034: ORACLE not available (no database at " + directory + ")");
  fs::remove_all(directory);
}

std::vector<std::string> Database::list(const std::string& dataDirectory) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dataDirectory, ec)) {
    if (entry.is_directory() && exists(entry.path().string())) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace engine
