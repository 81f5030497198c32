#include "engine/catalog/catalog.h"

#include <cstdio>
#include <map>

#include "engine/storage/sqlite_util.h"

namespace engine::catalog {

using storage::Stmt;

void createCatalogTables(sqlite3* db) {
  storage::exec(db, R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value);
CREATE TABLE parameters(name TEXT PRIMARY KEY, value TEXT, type INTEGER DEFAULT 2, description TEXT);
CREATE TABLE users(user_id INTEGER PRIMARY KEY, username TEXT UNIQUE NOT NULL, password TEXT, password_ci TEXT,
  account_status TEXT NOT NULL DEFAULT 'OPEN', lock_date TEXT, created TEXT NOT NULL,
  default_tablespace TEXT DEFAULT 'USERS', temporary_tablespace TEXT DEFAULT 'TEMP', profile TEXT DEFAULT 'DEFAULT');
CREATE TABLE roles(role TEXT PRIMARY KEY, role_id INTEGER, oracle_maintained TEXT DEFAULT 'N');
CREATE TABLE sys_privs(grantee TEXT NOT NULL, privilege TEXT NOT NULL, admin_option TEXT DEFAULT 'NO',
  PRIMARY KEY(grantee, privilege));
CREATE TABLE role_privs(grantee TEXT NOT NULL, granted_role TEXT NOT NULL, admin_option TEXT DEFAULT 'NO',
  default_role TEXT DEFAULT 'YES', PRIMARY KEY(grantee, granted_role));
CREATE TABLE tab_privs(grantee TEXT NOT NULL, owner TEXT NOT NULL, table_name TEXT NOT NULL, grantor TEXT NOT NULL,
  privilege TEXT NOT NULL, grantable TEXT DEFAULT 'NO', PRIMARY KEY(grantee, owner, table_name, privilege, grantor));
CREATE TABLE objects(object_id INTEGER PRIMARY KEY, owner TEXT NOT NULL, object_name TEXT NOT NULL,
  object_type TEXT NOT NULL, namespace INTEGER NOT NULL, status TEXT NOT NULL DEFAULT 'VALID',
  created TEXT NOT NULL, last_ddl_time TEXT NOT NULL, temporary TEXT DEFAULT 'N', generated TEXT DEFAULT 'N');
CREATE UNIQUE INDEX objects_name ON objects(owner, object_name, namespace);
CREATE TABLE columns(object_id INTEGER NOT NULL, column_id INTEGER NOT NULL, column_name TEXT NOT NULL,
  data_type TEXT NOT NULL, data_length INTEGER, data_precision INTEGER, data_scale INTEGER,
  nullable TEXT NOT NULL DEFAULT 'Y', data_default TEXT, char_length INTEGER, char_used TEXT,
  identity_column TEXT, default_on_null TEXT, identity_options TEXT, PRIMARY KEY(object_id, column_id));
CREATE TABLE constraints(owner TEXT NOT NULL, constraint_name TEXT NOT NULL, constraint_type TEXT NOT NULL,
  table_name TEXT NOT NULL, search_condition TEXT, r_owner TEXT, r_constraint_name TEXT, delete_rule TEXT,
  status TEXT NOT NULL DEFAULT 'ENABLED', validated TEXT DEFAULT 'VALIDATED', generated TEXT,
  last_change TEXT, deferrability TEXT, check_time TEXT, PRIMARY KEY(owner, constraint_name));
CREATE TABLE cons_columns(owner TEXT NOT NULL, constraint_name TEXT NOT NULL, table_name TEXT NOT NULL,
  column_name TEXT NOT NULL, position INTEGER);
CREATE TABLE indexes(owner TEXT NOT NULL, index_name TEXT NOT NULL, table_owner TEXT NOT NULL,
  table_name TEXT NOT NULL, uniqueness TEXT NOT NULL, status TEXT DEFAULT 'VALID', constraint_name TEXT,
  PRIMARY KEY(owner, index_name));
CREATE TABLE ind_columns(index_owner TEXT NOT NULL, index_name TEXT NOT NULL, table_owner TEXT NOT NULL,
  table_name TEXT NOT NULL, column_name TEXT NOT NULL, column_position INTEGER, descend TEXT DEFAULT 'ASC');
CREATE TABLE views(owner TEXT NOT NULL, view_name TEXT NOT NULL, text TEXT, read_only TEXT NOT NULL DEFAULT 'N',
  column_aliases TEXT, PRIMARY KEY(owner, view_name));
CREATE TABLE sequences(sequence_owner TEXT NOT NULL, sequence_name TEXT NOT NULL, min_value, max_value,
  increment_by, cycle_flag TEXT, order_flag TEXT DEFAULT 'N', cache_size, last_number,
  PRIMARY KEY(sequence_owner, sequence_name));
CREATE TABLE synonyms(owner TEXT NOT NULL, synonym_name TEXT NOT NULL, table_owner TEXT, table_name TEXT,
  db_link TEXT, PRIMARY KEY(owner, synonym_name));
CREATE TABLE tab_comments(owner TEXT NOT NULL, table_name TEXT NOT NULL, comments TEXT,
  PRIMARY KEY(owner, table_name));
CREATE TABLE col_comments(owner TEXT NOT NULL, table_name TEXT NOT NULL, column_name TEXT NOT NULL,
  comments TEXT, PRIMARY KEY(owner, table_name, column_name));
CREATE TABLE source(owner TEXT NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL, line INTEGER NOT NULL,
  text TEXT, PRIMARY KEY(owner, name, type, line));
CREATE TABLE errors(owner TEXT NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL, sequence INTEGER,
  line INTEGER, position INTEGER, text TEXT, attribute TEXT DEFAULT 'ERROR', message_number INTEGER);
CREATE TABLE dependencies(owner TEXT NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL, referenced_owner TEXT,
  referenced_name TEXT, referenced_type TEXT);
CREATE TABLE triggers(owner TEXT NOT NULL, trigger_name TEXT NOT NULL, trigger_type TEXT, triggering_event TEXT,
  table_owner TEXT, table_name TEXT, column_name TEXT, referencing_names TEXT, when_clause TEXT, status TEXT,
  description TEXT, trigger_body TEXT, timing TEXT, row_level INTEGER, events INTEGER, update_columns TEXT,
  old_name TEXT, new_name TEXT, body_offset INTEGER, when_offset INTEGER, when_end INTEGER,
  PRIMARY KEY(owner, trigger_name));
CREATE TABLE procedures(owner TEXT NOT NULL, object_name TEXT NOT NULL, procedure_name TEXT, object_id INTEGER,
  subprogram_id INTEGER, overload TEXT, object_type TEXT);
CREATE TABLE arguments(owner TEXT NOT NULL, object_name TEXT, package_name TEXT, object_id INTEGER,
  subprogram_id INTEGER, overload TEXT, argument_name TEXT, position INTEGER, sequence INTEGER, data_type TEXT,
  in_out TEXT, defaulted TEXT);
CREATE TABLE db_links(owner TEXT NOT NULL, db_link TEXT NOT NULL, username TEXT, host TEXT, created TEXT, password TEXT,
  PRIMARY KEY(owner, db_link));
)sql");
  createJobTables(db);
  createStorageTables(db);
}

void createStorageTables(sqlite3* db) {
  // The tablespaces: the database's file is USERS, the instance file SYSTEM, TEMP the users'
  // temporary one; CREATE TABLESPACE adds names that tables and users may be given.
  storage::exec(db, R"sql(
CREATE TABLE IF NOT EXISTS tablespaces(tablespace_name TEXT PRIMARY KEY, contents TEXT NOT NULL, created TEXT);
INSERT OR IGNORE INTO tablespaces(tablespace_name, contents) VALUES ('SYSTEM', 'PERMANENT'), ('USERS', 'PERMANENT'),
  ('TEMP', 'TEMPORARY');)sql");
  // Physical clauses, partitions and materialized views, as the DDL gave them; by object id, so a
  // rename keeps them. The rows of a partitioned table live in its one table. link_commits: commits
  // over database links until they are whole (SessionImpl::commit).
  storage::exec(db, R"sql(
CREATE TABLE IF NOT EXISTS segment_attrs(object_id INTEGER PRIMARY KEY, tablespace_name TEXT, pct_free INTEGER,
  pct_used INTEGER, ini_trans INTEGER, max_trans INTEGER, initial_extent INTEGER, next_extent INTEGER,
  min_extents INTEGER, max_extents INTEGER, logging TEXT, compression TEXT);
CREATE TABLE IF NOT EXISTS part_tables(object_id INTEGER PRIMARY KEY, partitioning_type TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS part_key_columns(object_id INTEGER NOT NULL, column_name TEXT NOT NULL,
  column_position INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS tab_partitions(object_id INTEGER NOT NULL, partition_name TEXT NOT NULL,
  partition_position INTEGER NOT NULL, high_value TEXT, tablespace_name TEXT, pct_free INTEGER, ini_trans INTEGER,
  logging TEXT, compression TEXT, PRIMARY KEY(object_id, partition_name));
CREATE TABLE IF NOT EXISTS link_commits(txn_id TEXT NOT NULL, db_link TEXT NOT NULL, db_user TEXT,
  created INTEGER, state TEXT, fail_time TEXT, PRIMARY KEY(txn_id, db_link));
CREATE TABLE IF NOT EXISTS mviews(owner TEXT NOT NULL, mview_name TEXT NOT NULL, query TEXT NOT NULL,
  refresh_mode TEXT NOT NULL, refresh_method TEXT NOT NULL, build_mode TEXT NOT NULL, last_refresh_type TEXT,
  last_refresh_date TEXT, staleness TEXT, PRIMARY KEY(owner, mview_name));
)sql");
}

void createJobTables(sqlite3* db) {
  // The job queue; dates as ISO text, as DATE columns are kept. Which jobs run now is the running
  // process's knowledge (plsql/packages/job_queue.h), not stored.
  storage::exec(db, R"sql(
CREATE TABLE IF NOT EXISTS jobs(job INTEGER PRIMARY KEY, log_user TEXT NOT NULL, priv_user TEXT NOT NULL,
  schema_user TEXT NOT NULL, last_date TEXT, next_date TEXT NOT NULL, total_time REAL DEFAULT 0,
  broken TEXT DEFAULT 'N', interval TEXT, failures INTEGER DEFAULT 0, what TEXT NOT NULL, nls_env TEXT,
  instance INTEGER DEFAULT 0);
CREATE TABLE IF NOT EXISTS scheduler_jobs(id INTEGER PRIMARY KEY, owner TEXT NOT NULL, job_name TEXT NOT NULL,
  job_creator TEXT, job_type TEXT, job_action TEXT, start_date TEXT, repeat_interval TEXT, end_date TEXT,
  job_class TEXT, enabled TEXT DEFAULT 'FALSE', auto_drop TEXT DEFAULT 'TRUE', restartable TEXT DEFAULT 'FALSE',
  state TEXT DEFAULT 'DISABLED', run_count INTEGER DEFAULT 0, failure_count INTEGER DEFAULT 0, max_failures INTEGER,
  last_start_date TEXT, last_run_duration REAL, next_run_date TEXT, logging_level TEXT DEFAULT 'RUNS',
  comments TEXT, run_now INTEGER DEFAULT 0, UNIQUE(owner, job_name));
CREATE TABLE IF NOT EXISTS table_stats(object_id INTEGER PRIMARY KEY, num_rows INTEGER, blocks INTEGER,
  avg_row_len INTEGER, last_analyzed TEXT);
CREATE TABLE IF NOT EXISTS directories(directory_name TEXT PRIMARY KEY, directory_path TEXT NOT NULL, created TEXT);
CREATE TABLE IF NOT EXISTS types(owner TEXT NOT NULL, type_name TEXT NOT NULL, typecode TEXT, attributes INTEGER,
  methods INTEGER, PRIMARY KEY(owner, type_name));
CREATE TABLE IF NOT EXISTS type_attrs(owner TEXT NOT NULL, type_name TEXT NOT NULL, attr_name TEXT NOT NULL,
  attr_type_owner TEXT, attr_type_name TEXT, length INTEGER, precision INTEGER, scale INTEGER, attr_no INTEGER);
CREATE TABLE IF NOT EXISTS coll_types(owner TEXT NOT NULL, type_name TEXT NOT NULL, coll_type TEXT,
  upper_bound INTEGER, elem_type_owner TEXT, elem_type_name TEXT, length INTEGER, precision INTEGER, scale INTEGER);
CREATE TABLE IF NOT EXISTS contexts(namespace TEXT PRIMARY KEY, schema TEXT NOT NULL, package TEXT NOT NULL, created TEXT);
CREATE TABLE IF NOT EXISTS scheduler_job_log(log_id INTEGER PRIMARY KEY, log_date TEXT, owner TEXT, job_name TEXT,
  status TEXT, error_number INTEGER, actual_start_date TEXT, run_duration REAL, session_id INTEGER,
  additional_info TEXT);
)sql");
}

DataType dataTypeOf(const std::string& t) {
  static const std::map<std::string, DataType> types = {
      {"NUMBER", DataType::Number},   {"FLOAT", DataType::Number},   {"VARCHAR2", DataType::Varchar2},
      {"NVARCHAR2", DataType::Varchar2}, {"CHAR", DataType::Char},   {"NCHAR", DataType::Char},
      {"DATE", DataType::Date},       {"LONG", DataType::Long},      {"CLOB", DataType::Clob},
      {"NCLOB", DataType::Clob},      {"BLOB", DataType::Blob},      {"RAW", DataType::Raw},
      {"LONG RAW", DataType::Raw},    {"ROWID", DataType::Rowid},    {"TIMESTAMP", DataType::Timestamp}};
  auto it = types.find(t);
  if (it != types.end()) return it->second;
  // TIMESTAMP(n) [WITH [LOCAL] TIME ZONE]
  if (t.rfind("TIMESTAMP", 0) == 0) return DataType::Timestamp;
  if (t.rfind("INTERVAL DAY", 0) == 0) return DataType::IntervalDaySecond;
  if (t.rfind("INTERVAL YEAR", 0) == 0) return DataType::IntervalYearMonth;
  return DataType::Unknown;
}

namespace {

// Objects of the table namespace share one name space; indexes have their own (4), like Oracle's.
int namespaceOf(const std::string& type) {
  if (type == "INDEX") return 4;
  if (type == "PACKAGE BODY" || type == "TYPE BODY") return 2;
  if (type == "TRIGGER") return 3;
  if (type == "MATERIALIZED VIEW") return 19;  // beside its container table of the same name
  return 1;
}

ObjectInfo readObject(const Stmt& s) {
  return ObjectInfo{s.integer(0), s.text(1), s.text(2), s.text(3), s.text(4)};
}

ConstraintInfo readConstraint(storage::StatementCache& statements, const Stmt& s) {
  ConstraintInfo c;
  c.owner = s.text(0);
  c.name = s.text(1);
  c.type = s.text(2).empty() ? 'C' : s.text(2)[0];
  c.table = s.text(3);
  c.searchCondition = s.text(4);
  c.rOwner = s.text(5);
  c.rName = s.text(6);
  c.deleteRule = s.text(7);
  c.enabled = s.text(8) == "ENABLED";
  c.generatedName = s.text(9) == "GENERATED NAME";
  c.deferrable = s.text(10) == "DEFERRABLE";
  c.deferred = s.text(11) == "DEFERRED";
  Stmt cols = statements.statement("SELECT column_name FROM cons_columns WHERE owner=?1 AND constraint_name=?2 ORDER BY position");
  cols.bindAll(c.owner, c.name);
  while (cols.step()) c.columns.push_back(cols.text(0));
  return c;
}

const char* kConstraintColumns =
    "SELECT owner, constraint_name, constraint_type, table_name, search_condition, r_owner, r_constraint_name, "
    "delete_rule, status, generated, deferrability, check_time FROM constraints ";

}  // namespace

struct Catalog::Definitions {
  std::function<std::uint64_t()> generationOf;
  std::uint64_t generation = 0;
  int compiling = 0;
  std::map<std::pair<std::string, std::string>, ObjectInfo> tables;
  std::map<std::int64_t, std::vector<ColumnInfo>> columns;
  std::map<std::pair<std::string, std::string>, std::vector<ConstraintInfo>> constraints;
};

Catalog::Catalog(sqlite3* db) : db_(db), statements_(std::make_shared<storage::StatementCache>(db)) {}

void Catalog::keepDefinitions(std::function<std::uint64_t()> generation) {
  definitions_ = std::make_shared<Definitions>();
  definitions_->generationOf = std::move(generation);
  definitions_->generation = definitions_->generationOf();
}

Catalog::Compiling::Compiling(const Catalog& c) : c_(c) {
  if (c_.definitions_) ++c_.definitions_->compiling;
}

Catalog::Compiling::~Compiling() {
  if (c_.definitions_) --c_.definitions_->compiling;
}

Catalog::Definitions* Catalog::definitions() const {
  Definitions* d = definitions_.get();
  if (!d || d->compiling == 0) return nullptr;
  std::uint64_t now = d->generationOf();
  if (now != d->generation) {
    d->tables.clear();
    d->columns.clear();
    d->constraints.clear();
    d->generation = now;
  }
  return d;
}

void Catalog::forgetDefinitions() {
  if (!definitions_) return;
  definitions_->tables.clear();
  definitions_->columns.clear();
  definitions_->constraints.clear();
}

Stmt Catalog::read(const std::string& sql) const { return statements_->statement(sql); }

std::optional<ObjectInfo> Catalog::findObject(const std::string& owner, const std::string& name) const {
  Definitions* d = definitions();
  if (d) {
    auto it = d->tables.find({owner, name});
    if (it != d->tables.end()) return it->second;
  }
  Stmt s = read("SELECT object_id, owner, object_name, object_type, status FROM objects "
              "WHERE owner=?1 AND object_name=?2 AND namespace=1");
  s.bindAll(owner, name);
  if (!s.step()) return std::nullopt;
  ObjectInfo o = readObject(s);
  // Only tables: the status of views and units changes as they compile.
  if (d && o.type == "TABLE") d->tables[{owner, name}] = o;
  return o;
}

std::optional<ObjectInfo> Catalog::findObject(const std::string& owner, const std::string& name,
                                              const std::string& type) const {
  Stmt s = read("SELECT object_id, owner, object_name, object_type, status FROM objects "
              "WHERE owner=?1 AND object_name=?2 AND object_type=?3");
  s.bindAll(owner, name, type);
  if (!s.step()) return std::nullopt;
  return readObject(s);
}

std::vector<ColumnInfo> Catalog::columns(std::int64_t objectId) const {
  Definitions* d = definitions();
  if (d) {
    auto it = d->columns.find(objectId);
    if (it != d->columns.end()) return it->second;
  }
  Stmt s = read("SELECT column_name, data_type, data_length, data_precision, data_scale, nullable, data_default, "
              "column_id, char_length, char_used, identity_column, default_on_null FROM columns WHERE object_id=?1 "
              "ORDER BY column_id");
  s.bindAll(objectId);
  std::vector<ColumnInfo> out;
  while (s.step()) {
    ColumnInfo c;
    c.name = s.text(0);
    c.typeName = s.text(1);
    c.type = dataTypeOf(c.typeName);
    c.length = static_cast<int>(s.integer(2));
    c.hasPrecision = !s.isNull(3);
    c.precision = static_cast<int>(s.integer(3));
    c.hasScale = !s.isNull(4);
    c.scale = static_cast<int>(s.integer(4));
    c.nullable = s.text(5) == "Y";
    c.defaultText = s.text(6);
    c.position = static_cast<int>(s.integer(7));
    c.charLength = static_cast<int>(s.integer(8));
    c.charUsed = s.text(9) == "C";
    c.identity = s.text(10);
    c.defaultOnNull = s.text(11) == "YES";
    out.push_back(std::move(c));
  }
  if (d) d->columns[objectId] = out;
  return out;
}

std::vector<ConstraintInfo> Catalog::constraints(const std::string& owner, const std::string& table) const {
  Definitions* d = definitions();
  if (d) {
    auto it = d->constraints.find({owner, table});
    if (it != d->constraints.end()) return it->second;
  }
  Stmt s = read(std::string(kConstraintColumns) + "WHERE owner=?1 AND table_name=?2 ORDER BY rowid");
  s.bindAll(owner, table);
  std::vector<ConstraintInfo> out;
  while (s.step()) out.push_back(readConstraint(*statements_, s));
  if (d) d->constraints[{owner, table}] = out;
  return out;
}

std::optional<ConstraintInfo> Catalog::constraint(const std::string& owner, const std::string& name) const {
  Stmt s = read(std::string(kConstraintColumns) + "WHERE owner=?1 AND constraint_name=?2");
  s.bindAll(owner, name);
  if (!s.step()) return std::nullopt;
  return readConstraint(*statements_, s);
}

std::vector<ConstraintInfo> Catalog::referencingConstraints(const std::string& owner, const std::string& table) const {
  Stmt s = read(std::string(kConstraintColumns) +
                  "WHERE constraint_type='R' AND (r_owner, r_constraint_name) IN "
                  "(SELECT owner, constraint_name FROM constraints WHERE owner=?1 AND table_name=?2 "
                  "AND constraint_type IN ('P','U'))");
  s.bindAll(owner, table);
  std::vector<ConstraintInfo> out;
  while (s.step()) out.push_back(readConstraint(*statements_, s));
  return out;
}

std::vector<ConstraintInfo> Catalog::deferredConstraints() const {
  Stmt s = read(std::string(kConstraintColumns) + "WHERE status='ENABLED' AND check_time='DEFERRED'");
  std::vector<ConstraintInfo> out;
  while (s.step()) out.push_back(readConstraint(*statements_, s));
  return out;
}

std::optional<std::string> Catalog::viewText(const std::string& owner, const std::string& name) const {
  Stmt s = read("SELECT text FROM views WHERE owner=?1 AND view_name=?2");
  s.bindAll(owner, name);
  if (!s.step()) return std::nullopt;
  return s.text(0);
}

bool Catalog::viewReadOnly(const std::string& owner, const std::string& name) const {
  Stmt s = read("SELECT read_only FROM views WHERE owner=?1 AND view_name=?2");
  s.bindAll(owner, name);
  return s.step() && s.text(0) == "Y";
}

std::optional<std::vector<std::string>> Catalog::synonymTarget(const std::string& owner, const std::string& name) const {
  Stmt s = read("SELECT table_owner, table_name, db_link FROM synonyms WHERE owner=?1 AND synonym_name=?2");
  s.bindAll(owner, name);
  if (!s.step()) return std::nullopt;
  return std::vector<std::string>{s.text(0), s.text(1), s.text(2)};
}

std::int64_t Catalog::addObject(const std::string& owner, const std::string& name, const std::string& type,
                                const std::string& now) {
  forgetDefinitions();
  std::int64_t id = meta("next_object_id", 70000);
  setMeta("next_object_id", id + 1);
  Stmt s(db_, "INSERT INTO objects(object_id, owner, object_name, object_type, namespace, created, last_ddl_time) "
              "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?6)");
  s.bindAll(id, owner, name, type, namespaceOf(type), now);
  s.step();
  return id;
}

void Catalog::touchObject(std::int64_t id, const std::string& now) {
  forgetDefinitions();
  Stmt s(db_, "UPDATE objects SET last_ddl_time=?2 WHERE object_id=?1");
  s.bindAll(id, now);
  s.step();
}

void Catalog::removeObject(std::int64_t id) {
  forgetDefinitions();
  Stmt(db_, "DELETE FROM columns WHERE object_id=?1").bindAll(id).step();
  for (const char* table : {"segment_attrs", "part_tables", "part_key_columns", "tab_partitions"})
    Stmt(db_, std::string("DELETE FROM ") + table + " WHERE object_id=?1").bindAll(id).step();
  Stmt(db_, "DELETE FROM objects WHERE object_id=?1").bindAll(id).step();
  Stmt(db_, "DELETE FROM table_stats WHERE object_id=?1").bindAll(id).step();
}

void Catalog::setDependencies(const std::string& owner, const std::string& name, const std::string& type,
                              const std::set<std::pair<std::string, std::string>>& referenced) {
  forgetDefinitions();
  Stmt(db_, "DELETE FROM dependencies WHERE owner=?1 AND name=?2 AND type=?3").bindAll(owner, name, type).step();
  for (const auto& [rowner, rname] : referenced) {
    if (rowner == owner && rname == name) continue;
    Stmt(db_, "INSERT INTO dependencies SELECT ?1, ?2, ?3, owner, object_name, object_type FROM objects "
              "WHERE owner=?4 AND object_name=?5 AND object_type IN ('TABLE', 'VIEW', 'SEQUENCE', 'SYNONYM')")
        .bindAll(owner, name, type, rowner, rname)
        .step();
  }
}

void Catalog::invalidateDependants(const std::string& owner, const std::string& name) {
  forgetDefinitions();
  std::vector<std::pair<std::string, std::string>> todo{{owner, name}};
  std::set<std::pair<std::string, std::string>> seen;
  while (!todo.empty()) {
    auto [o, n] = todo.back();
    todo.pop_back();
    if (!seen.insert({o, n}).second) continue;
    Stmt s(db_, "SELECT DISTINCT owner, name, type FROM dependencies WHERE referenced_owner=?1 AND referenced_name=?2");
    s.bindAll(o, n);
    while (s.step()) {
      Stmt(db_, "UPDATE objects SET status='INVALID' WHERE owner=?1 AND object_name=?2 AND object_type=?3")
          .bindAll(s.text(0), s.text(1), s.text(2))
          .step();
      todo.emplace_back(s.text(0), s.text(1));
    }
  }
}

void Catalog::addColumn(std::int64_t objectId, const ColumnInfo& c) {
  forgetDefinitions();
  Stmt s(db_, "INSERT INTO columns(object_id, column_id, column_name, data_type, data_length, data_precision, "
              "data_scale, nullable, data_default, char_length, char_used, identity_column, default_on_null) VALUES (?1, "
              "?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
  s.bindAll(objectId, c.position, c.name, c.typeName, c.length);
  if (c.hasPrecision) s.bind(6, static_cast<std::int64_t>(c.precision));
  if (c.hasScale) s.bind(7, static_cast<std::int64_t>(c.scale));
  s.bind(8, std::string(c.nullable ? "Y" : "N"));
  if (!c.defaultText.empty()) s.bind(9, c.defaultText);
  bool isChar = c.type == DataType::Varchar2 || c.type == DataType::Char;
  s.bind(10, static_cast<std::int64_t>(isChar ? (c.charUsed ? c.charLength : c.length) : 0));
  if (isChar) s.bind(11, std::string(c.charUsed ? "C" : "B"));
  if (!c.identity.empty()) s.bind(12, c.identity);
  s.bind(13, std::string(c.defaultOnNull ? "YES" : "NO"));
  s.step();
}

void Catalog::addConstraint(const ConstraintInfo& c) {
  forgetDefinitions();
  Stmt s(db_, "INSERT INTO constraints(owner, constraint_name, constraint_type, table_name, search_condition, "
              "r_owner, r_constraint_name, delete_rule, status, generated, deferrability, check_time) "
              "VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12)");
  s.bindAll(c.owner, c.name, std::string(1, c.type), c.table);
  if (!c.searchCondition.empty()) s.bind(5, c.searchCondition);
  if (c.type == 'R') {
    s.bind(6, c.rOwner);
    s.bind(7, c.rName);
    s.bind(8, c.deleteRule);
  }
  s.bind(9, std::string(c.enabled ? "ENABLED" : "DISABLED"));
  s.bind(10, std::string(c.generatedName ? "GENERATED NAME" : "USER NAME"));
  s.bind(11, std::string(c.deferrable ? "DEFERRABLE" : "NOT DEFERRABLE"));
  s.bind(12, std::string(c.deferred ? "DEFERRED" : "IMMEDIATE"));
  s.step();
  int position = 0;
  for (const auto& col : c.columns) {
    Stmt cc(db_, "INSERT INTO cons_columns(owner, constraint_name, table_name, column_name, position) "
                 "VALUES (?1,?2,?3,?4,?5)");
    cc.bindAll(c.owner, c.name, c.table, col);
    if (c.type != 'C') cc.bind(5, static_cast<std::int64_t>(++position));
    cc.step();
  }
}

void Catalog::removeConstraint(const std::string& owner, const std::string& name) {
  forgetDefinitions();
  Stmt(db_, "DELETE FROM cons_columns WHERE owner=?1 AND constraint_name=?2").bindAll(owner, name).step();
  Stmt(db_, "DELETE FROM constraints WHERE owner=?1 AND constraint_name=?2").bindAll(owner, name).step();
}

void Catalog::setConstraintEnabled(const std::string& owner, const std::string& name, bool enabled) {
  forgetDefinitions();
  Stmt s(db_, "UPDATE constraints SET status=?3, validated=?4 WHERE owner=?1 AND constraint_name=?2");
  s.bindAll(owner, name, std::string(enabled ? "ENABLED" : "DISABLED"),
            std::string(enabled ? "VALIDATED" : "NOT VALIDATED"));
  s.step();
}

std::string Catalog::newConstraintName() {
  forgetDefinitions();
  std::int64_t n = meta("next_constraint", 11);
  setMeta("next_constraint", n + 1);
  char buf[32];
  std::snprintf(buf, sizeof buf, "SYS_C%04lld", static_cast<long long>(n));
  return buf;
}

std::int64_t Catalog::meta(const std::string& key, std::int64_t fallback) const {
  Stmt s = read("SELECT value FROM meta WHERE key=?1");
  s.bindAll(key);
  return s.step() ? s.integer(0) : fallback;
}

void Catalog::setMeta(const std::string& key, std::int64_t value) {
  forgetDefinitions();
  Stmt(db_, "INSERT OR REPLACE INTO meta(key, value) VALUES (?1, ?2)").bindAll(key, value).step();
}

std::optional<UserInfo> Catalog::findUser(const std::string& name) const {
  Stmt s = read("SELECT user_id, username, password, account_status, password_ci FROM users WHERE username=?1");
  s.bindAll(name);
  if (!s.step()) return std::nullopt;
  return UserInfo{s.integer(0), s.text(1), s.text(2), s.text(3), s.text(4)};
}

bool Catalog::dbLinkExists(const std::string& user, const std::string& link) const {
  Stmt s = read("SELECT 1 FROM db_links WHERE owner IN (?1, 'PUBLIC') AND upper(db_link) = upper(?2)");
  s.bindAll(user, link);
  return s.step();
}

bool Catalog::hasTriggers(const std::string& owner, const std::string& table) const {
  Stmt s = read("SELECT 1 FROM triggers WHERE table_owner=?1 AND table_name=?2 AND status='ENABLED'");
  s.bindAll(owner, table);
  return s.step();
}

bool Catalog::roleExists(const std::string& name) const {
  Stmt s = read("SELECT 1 FROM roles WHERE role=?1");
  s.bindAll(name);
  return s.step();
}

namespace {
// The grantee itself, PUBLIC, and every role granted to either, recursively.
const char* kGrantees =
    "WITH RECURSIVE g(name) AS (SELECT ?1 UNION SELECT 'PUBLIC' UNION "
    "SELECT granted_role FROM role_privs JOIN g ON role_privs.grantee = g.name) ";
}  // namespace

bool Catalog::hasSystemPrivilege(const std::string& user, const std::string& privilege) const {
  Stmt s = read(std::string(kGrantees) + "SELECT 1 FROM sys_privs WHERE grantee IN (SELECT name FROM g) AND privilege=?2");
  s.bindAll(user, privilege);
  return s.step();
}

bool Catalog::hasRole(const std::string& user, const std::string& role) const {
  Stmt s = read(std::string(kGrantees) + "SELECT 1 FROM g WHERE name=?2");
  s.bindAll(user, role);
  return s.step();
}

bool Catalog::hasObjectPrivilege(const std::string& user, const std::string& owner, const std::string& name,
                                 const std::string& privilege) const {
  Stmt s = read(std::string(kGrantees) +
                  "SELECT 1 FROM tab_privs WHERE grantee IN (SELECT name FROM g) AND owner=?2 AND table_name=?3 "
                  "AND privilege=?4");
  s.bindAll(user, owner, name, privilege);
  return s.step();
}

bool Catalog::hasAnyObjectPrivilege(const std::string& user, const std::string& owner, const std::string& name) const {
  Stmt s = read(std::string(kGrantees) +
                  "SELECT 1 FROM tab_privs WHERE grantee IN (SELECT name FROM g) AND owner=?2 AND table_name=?3");
  s.bindAll(user, owner, name);
  return s.step();
}

}  // namespace engine::catalog
