#include "engine/storage/executor.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

#include "engine/builtins/functions.h"
#include "engine/plsql/conditional.h"
#include "engine/sql/compiler.h"
#include "engine/sql/parser.h"
#include "engine/storage/constraints.h"
#include "engine/storage/password.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::storage {

using catalog::ColumnInfo;
using catalog::ConstraintInfo;
using namespace sql;

namespace {

[[noreturn]] void fail(int code, const Position& at, const std::string& detail = {}) {
  Error e = Error::ora(code, detail, at.offset);
  throw Error(e.code(), e.message(), at.offset, at.line, at.column);
}

class Executor {
 public:
  Executor(SessionImpl& s, const std::string& text) : s_(s), db_(s.connection()), cat_(s.catalog()), text_(text) {}

  std::int64_t run(const sql::Statement& stmt) {
    switch (stmt.kind) {
      case StmtKind::Commit: s_.commit(); return 0;
      case StmtKind::Rollback: {
        auto& t = static_cast<const TransactionStmt&>(stmt);
        if (t.savepoint.empty()) s_.rollback();
        else s_.rollbackToSavepoint(t.savepoint);
        return 0;
      }
      case StmtKind::Savepoint: s_.savepoint(static_cast<const TransactionStmt&>(stmt).savepoint); return 0;
      case StmtKind::SetTransaction:
        s_.setTransaction(static_cast<const TransactionStmt&>(stmt).readOnly);
        return 0;
      case StmtKind::AlterSession: alterSession(static_cast<const AlterSessionStmt&>(stmt)); return 0;
      case StmtKind::AlterSystem: alterSystem(static_cast<const AlterSystemStmt&>(stmt)); return 0;
      case StmtKind::LockTable: lockTable(static_cast<const TableStmt&>(stmt)); return 0;
      case StmtKind::ExplainPlan: return explainPlan(s_, static_cast<const sql::ExplainStmt&>(stmt), text_);
      default: break;
    }
    // Everything else is DDL: it commits what is open, then runs as a transaction of its own.
    s_.commit();
    exec(db_, "BEGIN");
    try {
      ddl(stmt);
      exec(db_, "COMMIT");
    } catch (...) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      s_.impl().bumpDdlVersion();
      throw;
    }
    s_.impl().bumpDdlVersion();
    // Created, but with compilation errors (CREATE FORCE VIEW over what does not exist yet).
    if (createdWithErrors_) throw Error::ora(24344);
    return 0;
  }

  // DBMS_MVIEW.REFRESH of one materialized view: commits what is open, then fills the container
  // table anew from the query in a transaction of its own.
  void refresh(const std::string& owner, const std::string& name, const std::string& method) {
    s_.commit();
    exec(db_, "BEGIN");
    try {
      refreshMView(owner, name, method);
      exec(db_, "COMMIT");
    } catch (...) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  }

 private:
  bool createdWithErrors_ = false;
  void ddl(const sql::Statement& stmt) {
    dispatch(stmt);
    const sql::Name* compiled = nullptr;
    if (stmt.kind == StmtKind::AlterObject && static_cast<const AlterObjectStmt&>(stmt).objectType == "VIEW")
      compiled = &static_cast<const AlterObjectStmt&>(stmt).name;
    refreshViewStatus(compiled);
  }

  // Views whose query no longer compiles are INVALID. One that was made INVALID and compiles stays
  // so until a statement uses it (SessionImpl's compile context marks it VALID then) or ALTER VIEW
  // ... COMPILE, as Oracle recompiles it on use.
  void refreshViewStatus(const sql::Name* compiledView) {
    std::pair<std::string, std::string> recompiled;
    if (compiledView) recompiled = target(*compiledView);
    Stmt s(db_, "SELECT o.object_id, o.owner, o.object_name, v.text, o.status FROM objects o JOIN views v ON "
                "v.owner = o.owner AND v.view_name = o.object_name WHERE o.object_type = 'VIEW'");
    std::vector<std::tuple<std::int64_t, std::string, std::string, std::string, std::string>> views;
    while (s.step()) views.emplace_back(s.integer(0), s.text(1), s.text(2), s.text(3), s.text(4));
    for (const auto& [id, owner, name, text, status] : views) {
      std::string now = "VALID";
      Compiled compiled;
      try {
        SelectStmt select;
        Parser p(text);
        select.query = p.parseQuery();
        CompileContext ctx = compileContext();
        ctx.user = owner;
        ctx.schema = owner;
        compiled = compileStatement(select, ctx, text);
      } catch (const Error&) {
        now = "INVALID";
      }
      if (now == status) continue;
      // A view made INVALID by a change stays so until it is used or compiled, though its query
      // compiles; one created by FORCE without its columns gets them, and VALID, once it compiles,
      // and the names given in CREATE must then match the query's columns.
      bool described = !cat_.columns(id).empty();
      if (now == "VALID" && described && recompiled != std::make_pair(owner, name)) continue;
      std::vector<std::string> aliases;
      if (now == "VALID" && !described) {
        aliases = viewAliases(owner, name);
        if (!aliases.empty() && aliases.size() != compiled.columns.size()) now = "INVALID";
        if (now == status) continue;
      }
      Stmt(db_, "UPDATE objects SET status=?2 WHERE object_id=?1").bindAll(id, now).step();
      if (now != "VALID") continue;
      // Valid again (its table made anew): what it reads is recorded anew.
      cat_.setDependencies(owner, name, "VIEW", compiled.references);
      Stmt(db_, "DELETE FROM errors WHERE owner=?1 AND name=?2 AND type='VIEW'").bindAll(owner, name).step();
      if (!described) recordViewColumns(id, compiled.columns, aliases);
    }
  }

  // The column names a CREATE FORCE VIEW gave, kept until its query compiles.
  std::vector<std::string> viewAliases(const std::string& owner, const std::string& name) {
    Stmt s(db_, "SELECT column_aliases FROM views WHERE owner=?1 AND view_name=?2");
    s.bindAll(owner, name);
    std::vector<std::string> out;
    if (!s.step() || s.isNull(0)) return out;
    std::string list = s.text(0);
    for (std::size_t start = 0; start <= list.size();) {
      std::size_t end = list.find('\n', start);
      out.push_back(list.substr(start, end == std::string::npos ? std::string::npos : end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return out;
  }

  void recordViewColumns(std::int64_t id, const std::vector<Column>& columns, const std::vector<std::string>& aliases) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const Column& qc = columns[i];
      ColumnInfo c;
      c.name = aliases.empty() ? qc.name : aliases[i];
      c.position = static_cast<int>(i + 1);
      c.type = qc.type;
      c.typeName = dataTypeName(qc.type == DataType::Unknown ? DataType::Varchar2 : qc.type);
      c.length = qc.type == DataType::Number ? 22 : qc.type == DataType::Date ? 7 : qc.size;
      c.hasPrecision = qc.precision > 0;
      c.precision = qc.precision;
      c.hasScale = c.hasPrecision;
      c.scale = qc.scale;
      c.nullable = qc.nullable;
      timestampColumn(c, qc);
      cat_.addColumn(id, c);
    }
  }

  void dispatch(const sql::Statement& stmt) {
    switch (stmt.kind) {
      case StmtKind::CreateTable: createTable(static_cast<const CreateTableStmt&>(stmt)); break;
      case StmtKind::AlterTable: alterTable(static_cast<const AlterTableStmt&>(stmt)); break;
      case StmtKind::AlterObject: alterObject(static_cast<const AlterObjectStmt&>(stmt)); break;
      case StmtKind::DropObject: drop(static_cast<const DropStmt&>(stmt)); break;
      case StmtKind::CreateIndex: createIndex(static_cast<const CreateIndexStmt&>(stmt)); break;
      case StmtKind::CreateView: createView(static_cast<const CreateViewStmt&>(stmt)); break;
      case StmtKind::CreateMView: createMView(static_cast<const CreateMViewStmt&>(stmt)); break;
      case StmtKind::CreateSequence:
      case StmtKind::AlterSequence: sequence(static_cast<const SequenceStmt&>(stmt)); break;
      case StmtKind::CreateSynonym: createSynonym(static_cast<const CreateSynonymStmt&>(stmt)); break;
      case StmtKind::Comment: comment(static_cast<const CommentStmt&>(stmt)); break;
      case StmtKind::Rename: rename(static_cast<const RenameStmt&>(stmt)); break;
      case StmtKind::Truncate: truncate(static_cast<const TableStmt&>(stmt)); break;
      case StmtKind::CreateUser: createUser(static_cast<const UserStmt&>(stmt)); break;
      case StmtKind::AlterUser: alterUser(static_cast<const UserStmt&>(stmt)); break;
      case StmtKind::CreateRole: createRole(static_cast<const UserStmt&>(stmt)); break;
      case StmtKind::Grant:
      case StmtKind::Revoke: grant(static_cast<const GrantStmt&>(stmt)); break;
      case StmtKind::CreateDbLink: createDbLink(static_cast<const CreateDbLinkStmt&>(stmt)); break;
      case StmtKind::CreateDirectory: createDirectory(static_cast<const CreateDirectoryStmt&>(stmt)); break;
      case StmtKind::Analyze: analyze(static_cast<const AnalyzeStmt&>(stmt)); break;
      case StmtKind::CreateContext: createContext(static_cast<const CreateContextStmt&>(stmt)); break;
      case StmtKind::CreateTablespace: createTablespace(static_cast<const CreateTablespaceStmt&>(stmt)); break;
      default: throw Error::ora(900);
    }
  }

  std::string now() { return s_.impl().now().toIso(); }

  // owner and name of a DDL target: schema.name or the current schema.
  std::pair<std::string, std::string> target(const Name& n) {
    if (n.parts.size() > 2) fail(903, n.pos);
    if (n.parts.size() == 2) return {n.parts[0], n.parts[1]};
    return {s_.currentSchema(), n.parts[0]};
  }

  void requirePrivilege(const std::string& owner, const std::string& own, const std::string& any) {
    s_.requirePrivilege(owner, own, any);
  }

  // Another schema's table, view or sequence is visible through some privilege on it; otherwise it
  // fails as missing (ORA-00942, ORA-02289 for a sequence).
  void requireVisible(const std::string& owner, const std::string& name, const Position& pos) {
    if (s_.currentUser() == "SYS" || cat_.hasAnyObjectPrivilege(s_.currentUser(), owner, name) ||
        s_.mayUse(owner, name, "SELECT"))
      return;
    auto o = cat_.findObject(owner, name);
    fail(o && o->type == "SEQUENCE" ? 2289 : 942, pos);
  }

  void requireNewName(const std::string& owner, const std::string& name, const Position& pos) {
    if (cat_.findObject(owner, name)) fail(955, pos);
  }

  catalog::ObjectInfo requireTable(const Name& n, std::string* ownerOut = nullptr) {
    auto [owner, name] = target(n);
    auto o = cat_.findObject(owner, name, "TABLE");
    if (!o) fail(942, n.pos);
    if (owner != s_.currentUser() && s_.currentUser() != "SYS" && !s_.mayUse(owner, name, "ALTER") &&
        !s_.hasPrivilege("ALTER ANY TABLE")) {
      if (cat_.hasAnyObjectPrivilege(s_.currentUser(), owner, name)) throw Error::ora(1031);
      fail(942, n.pos);
    }
    if (ownerOut) *ownerOut = owner;
    return *o;
  }

  ColumnInfo columnInfo(const ColumnDef& d, int position) {
    ColumnInfo c;
    c.name = d.name;
    c.position = position;
    c.defaultText = d.defaultText;
    const TypeSpec& t = d.type;
    std::string n = t.name;
    if (n == "INTEGER" || n == "INT" || n == "SMALLINT") {
      c.typeName = "NUMBER";
      c.hasScale = true;
      c.length = 22;
    } else if (n == "NUMBER" || n == "DECIMAL" || n == "NUMERIC") {
      c.typeName = "NUMBER";
      c.length = 22;
      c.hasPrecision = t.hasPrecision;
      c.precision = t.precision;
      c.hasScale = t.hasPrecision || n != "NUMBER";
      c.scale = t.scale;
    } else if (n == "FLOAT" || n == "REAL" || n == "BINARY_DOUBLE" || n == "BINARY_FLOAT") {
      c.typeName = n == "FLOAT" || n == "REAL" ? "FLOAT" : n;
      c.length = 22;
      c.hasPrecision = true;
      c.precision = t.hasPrecision ? t.precision : 126;
    } else if (n == "VARCHAR2" || n == "VARCHAR" || n == "NVARCHAR2" || n == "CHARACTER") {
      if (t.length == 0) fail(906, d.pos);
      c.typeName = n == "NVARCHAR2" ? "NVARCHAR2" : "VARCHAR2";
      c.length = t.length;
    } else if (n == "CHAR" || n == "NCHAR") {
      c.typeName = n;
      c.length = t.length ? t.length : 1;
    } else if (n == "DATE") {
      c.typeName = "DATE";
      c.length = 7;
    } else if (n.rfind("TIMESTAMP", 0) == 0) {
      // As the dictionary names them: TIMESTAMP(6), TIMESTAMP(3) WITH TIME ZONE, ...
      c.typeName = "TIMESTAMP(" + std::to_string(t.scale) + ")" + n.substr(9);
      c.length = n == "TIMESTAMP WITH TIME ZONE" ? 13 : t.scale == 0 ? 7 : 11;
      c.hasScale = true;
      c.scale = t.scale;
    } else if (n == "INTERVAL YEAR TO MONTH") {
      c.typeName = "INTERVAL YEAR(" + std::to_string(t.precision) + ") TO MONTH";
      c.length = 5;
      c.hasPrecision = c.hasScale = true;
      c.precision = t.precision;
      c.scale = 0;
    } else if (n == "INTERVAL DAY TO SECOND") {
      c.typeName = "INTERVAL DAY(" + std::to_string(t.precision) + ") TO SECOND(" + std::to_string(t.scale) + ")";
      c.length = 11;
      c.hasPrecision = c.hasScale = true;
      c.precision = t.precision;
      c.scale = t.scale;
    } else if (n == "LONG") {
      c.typeName = "LONG";
    } else if (n == "CLOB" || n == "NCLOB" || n == "BLOB") {
      c.typeName = n;
      c.length = 4000;
    } else if (n == "RAW") {
      c.typeName = "RAW";
      c.length = t.length;
    } else if (n == "LONG RAW") {
      c.typeName = "LONG RAW";
    } else if (n == "ROWID") {
      c.typeName = "ROWID";
      c.length = 10;
    } else if (t.userDefined && cat_.findObject(t.typeOwner.empty() ? s_.currentSchema() : t.typeOwner, n, "TYPE")) {
      // Columns of object and collection types are not supported.
      fail(3001, d.pos);
    } else {
      fail(902, d.pos);
    }
    if (t.charSemantics && c.length > 0) {
      // Characters of up to 4 bytes each, as in a database of the AL32UTF8 character set.
      c.charUsed = true;
      c.charLength = c.length;
      c.length *= 4;
    }
    c.type = catalog::dataTypeOf(c.typeName);
    if (c.typeName == "FLOAT" || c.typeName == "BINARY_DOUBLE" || c.typeName == "BINARY_FLOAT") c.type = DataType::Number;
    return c;
  }

  // A query's TIMESTAMP column as a view or a new table describes it: TIMESTAMP(n).
  // A TIMESTAMP or INTERVAL column made from a query keeps the precisions of the query's column.
  static void timestampColumn(ColumnInfo& c, const Column& qc) {
    if (qc.type == DataType::IntervalYearMonth || qc.type == DataType::IntervalDaySecond) {
      bool months = qc.type == DataType::IntervalYearMonth;
      c.typeName = months ? "INTERVAL YEAR(" + std::to_string(qc.precision) + ") TO MONTH"
                          : "INTERVAL DAY(" + std::to_string(qc.precision) + ") TO SECOND(" + std::to_string(qc.scale) + ")";
      c.length = months ? 5 : 11;
      c.hasPrecision = c.hasScale = true;
      c.precision = qc.precision;
      c.scale = months ? 0 : qc.scale;
      return;
    }
    if (qc.type != DataType::Timestamp) return;
    c.typeName = "TIMESTAMP(" + std::to_string(qc.scale) + ")" + (qc.zone == 1 ? " WITH TIME ZONE" : "");
    c.length = qc.scale == 0 ? 7 : 11;
    c.hasPrecision = false;
    c.precision = 0;
    c.hasScale = true;
  }

  static std::string sqliteColumn(const ColumnInfo& c) {
    return quoteName(c.name) + " " + sql::storageTypeOf(c.type);
  }

  // Fills in the generated name and checks the name is free; the constraint is recorded and applied.
  void addConstraint(const std::string& owner, const std::string& table, ConstraintDef def,
                     const std::vector<ColumnInfo>& columns) {
    ConstraintInfo c;
    c.owner = owner;
    c.table = table;
    c.generatedName = def.name.empty();
    c.name = def.name.empty() ? cat_.newConstraintName() : def.name;
    if (cat_.constraint(owner, c.name)) fail(2264, def.pos);
    c.enabled = !def.disabled;
    // INITIALLY DEFERRED alone makes a constraint deferrable; with NOT DEFERRABLE it is refused.
    if (def.initiallyDeferred && def.notDeferrable) fail(2447, def.pos);
    c.deferrable = def.deferrable || def.initiallyDeferred;
    c.deferred = def.initiallyDeferred;
    c.columns = def.columns;
    for (const auto& col : c.columns) {
      if (std::none_of(columns.begin(), columns.end(), [&](const ColumnInfo& i) { return i.name == col; }))
        fail(904, def.pos, "\"" + col + "\"");
    }
    switch (def.type) {
      case ConstraintType::PrimaryKey:
        c.type = 'P';
        for (const auto& existing : cat_.constraints(owner, table))
          if (existing.type == 'P') fail(2260, def.pos);
        break;
      case ConstraintType::Unique: c.type = 'U'; break;
      case ConstraintType::NotNull:
        c.type = 'C';
        c.searchCondition = "\"" + c.columns[0] + "\" IS NOT NULL";
        Stmt(db_, "UPDATE columns SET nullable='N' WHERE object_id=(SELECT object_id FROM objects WHERE owner=?1 AND "
                  "object_name=?2 AND object_type='TABLE') AND column_name=?3")
            .bindAll(owner, table, c.columns[0])
            .step();
        break;
      case ConstraintType::Check: c.type = 'C'; c.searchCondition = def.checkText; c.columns.clear(); break;
      case ConstraintType::ForeignKey: {
        c.type = 'R';
        auto [rOwner, rTable] = target(def.refTable);
        if (!cat_.findObject(rOwner, rTable, "TABLE")) fail(942, def.refTable.pos);
        // The table's owner, whoever runs the statement, must own the parent or hold REFERENCES on it.
        if (rOwner != owner && !s_.mayUseAs(owner, rOwner, rTable, "REFERENCES")) throw Error::ora(1031);
        const ConstraintInfo* key = nullptr;
        auto parentKeys = cat_.constraints(rOwner, rTable);
        for (const auto& k : parentKeys) {
          if (k.type != 'P' && k.type != 'U') continue;
          if (def.refColumns.empty() ? k.type == 'P' : k.columns == def.refColumns) key = &k;
        }
        if (!key || key->columns.size() != c.columns.size()) fail(2270, def.pos);
        c.rOwner = key->owner;
        c.rName = key->name;
        c.deleteRule = def.onDeleteCascade ? "CASCADE" : def.onDeleteSetNull ? "SET NULL" : "NO ACTION";
        break;
      }
    }
    if (c.type == 'C' && c.columns.empty()) {
      // A check names the columns it reads, for ALL_CONS_COLUMNS.
      for (const auto& col : columns)
        if (def.checkText.find(col.name) != std::string::npos ||
            def.checkText.find(lower(col.name)) != std::string::npos)
          c.columns.push_back(col.name);
    }
    if (c.type == 'P') {
      for (const auto& col : c.columns)
        Stmt(db_, "UPDATE columns SET nullable='N' WHERE object_id=(SELECT object_id FROM objects WHERE owner=?1 AND "
                  "object_name=?2 AND object_type='TABLE') AND column_name=?3")
            .bindAll(owner, table, col)
            .step();
    }
    cat_.addConstraint(c);
    Stmt(db_, "UPDATE constraints SET last_change=?3 WHERE owner=?1 AND constraint_name=?2").bindAll(owner, c.name, now()).step();
    if (c.type == 'P' || c.type == 'U') {
      // The index that enforces the key, as Oracle creates it, under the constraint's name.
      Stmt(db_, "INSERT OR IGNORE INTO indexes(owner, index_name, table_owner, table_name, uniqueness, constraint_name) "
                "VALUES (?1, ?2, ?1, ?3, 'UNIQUE', ?2)")
          .bindAll(owner, c.name, table)
          .step();
      int position = 0;
      for (const auto& col : c.columns)
        Stmt(db_, "INSERT INTO ind_columns(index_owner, index_name, table_owner, table_name, column_name, "
                  "column_position) VALUES (?1, ?2, ?1, ?3, ?4, ?5)")
            .bindAll(owner, c.name, table, col, ++position)
            .step();
      if (!cat_.findObject(owner, c.name, "INDEX")) cat_.addObject(owner, c.name, "INDEX", now());
    }
    if (c.enabled) applyConstraint(s_, c);
  }

  // An unaliased expression's heading ("ID+1") cannot name a column.
  static bool isPlainName(const std::string& name) {
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    return std::all_of(name.begin(), name.end(), [](char ch) {
      return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '$' || ch == '#' ||
             static_cast<unsigned char>(ch) >= 0x80;
    });
  }

  static std::string lower(std::string s) {
    for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  }

  CompileContext compileContext() {
    CompileContext ctx;
    ctx.catalog = &cat_;
    ctx.user = s_.currentUser();
    ctx.schema = s_.currentSchema();
    ctx.mayUse = [this](const std::string& u, const std::string& o, const std::string& n, const std::string& p) {
      return s_.mayUseAs(u, o, n, p);
    };
    ctx.hasPrivilege = [this](const std::string& p) { return s_.hasPrivilege(p); };
    return ctx;
  }

  // An identity column is numeric and takes no DEFAULT of its own.
  void checkIdentity(const ColumnDef& d, const ColumnInfo& c) {
    if (c.type != DataType::Number) throw Error(30675, "ORA-30675: identity column must be a numeric type");
    if (d.defaultValue)
      throw Error(30665, "ORA-30665: invalid NOT NULL constraint specified on a DEFAULT ON NULL column");
  }

  static long long identityStart(const SequenceOptions& o) {
    return o.hasStart ? o.start : o.hasMin ? o.minValue : o.increment > 0 ? 1 : -1;
  }

  static std::string identitySequence(std::int64_t tableId) { return "ISEQ$$_" + std::to_string(tableId); }

  // Makes the sequence of identity column `c` of table `tableId` (ISEQ$$_<table id>, in the table's
  // schema) and the column's default that draws from it; returns the NOT NULL constraint it carries.
  ConstraintDef addIdentity(const std::string& owner, std::int64_t tableId, const ColumnDef& d, ColumnInfo& c) {
    std::string sequence = identitySequence(tableId);
    createSequence(owner, sequence, d.identityOptions);
    c.identity = d.identity;
    c.defaultOnNull = d.identityOnNull;
    c.defaultText = "\"" + owner + "\".\"" + sequence + "\".nextval";
    ConstraintDef notNull;
    notNull.type = ConstraintType::NotNull;
    notNull.columns = {c.name};
    notNull.pos = d.pos;
    return notNull;
  }

  // The sequence row of CREATE SEQUENCE (or of an identity column) with its options checked.
  void createSequence(const std::string& owner, const std::string& name, const SequenceOptions& o) {
    if (o.increment == 0) throw Error(4002, "ORA-04002: INCREMENT must be a non-zero integer");
    bool up = o.increment > 0;
    double minValue = o.hasMin ? static_cast<double>(o.minValue) : up ? 1 : -9.999999999999999e26;
    double maxValue = o.hasMax ? static_cast<double>(o.maxValue) : up ? 9.999999999999999e27 : -1;
    long long start = o.hasStart ? o.start : static_cast<long long>(up ? minValue : maxValue);
    if (minValue >= maxValue) throw Error(4021, "ORA-04021: MINVALUE must be less than MAXVALUE");
    double cycleLength = (maxValue - minValue) / static_cast<double>(o.increment > 0 ? o.increment : -o.increment);
    if (o.cycle && o.cache > 0 && static_cast<double>(o.cache) > cycleLength)
      throw Error(4013, "ORA-04013: number to CACHE must be less than one cycle");
    Stmt s(db_, "INSERT INTO sequences(sequence_owner, sequence_name, min_value, max_value, increment_by, cycle_flag, "
                "cache_size, last_number) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    s.bindAll(owner, name);
    sqlite3_bind_double(s.get(), 3, minValue);
    sqlite3_bind_double(s.get(), 4, maxValue);
    s.bind(5, static_cast<std::int64_t>(o.increment));
    s.bind(6, std::string(o.cycle ? "Y" : "N"));
    s.bind(7, static_cast<std::int64_t>(o.cache));
    s.bind(8, static_cast<std::int64_t>(start));
    s.step();
    cat_.addObject(owner, name, "SEQUENCE", now());
  }

  // True for the sequence of an identity column, which only its table's DDL changes.
  bool isIdentitySequence(const std::string& owner, const std::string& name) {
    if (name.rfind("ISEQ$$_", 0) != 0) return false;
    Stmt s(db_, "SELECT 1 FROM columns c JOIN objects o ON o.object_id = c.object_id WHERE o.owner=?1 AND "
                "c.object_id=?2 AND c.identity_column IS NOT NULL");
    s.bindAll(owner, name.substr(7));
    return s.step();
  }

  // ALTER TABLE ... MODIFY of an identity column: its kind and the options of its sequence.
  void modifyIdentity(const std::string& owner, const std::string& table, std::int64_t tableId, const ColumnDef& d,
                      const ColumnInfo& existing) {
    if (existing.identity.empty())
      throw Error(30673, "ORA-30673: column to be modified is not an identity column");
    std::string sequence = identitySequence(tableId);
    if (d.dropIdentity) {
      Stmt(db_, "UPDATE columns SET identity_column=NULL, default_on_null='NO', data_default=NULL WHERE object_id=?1 AND "
                "column_name=?2")
          .bindAll(tableId, d.name)
          .step();
      dropSequenceRow(owner, sequence);
      return;
    }
    Stmt(db_, "UPDATE columns SET identity_column=?3, default_on_null=?4 WHERE object_id=?1 AND column_name=?2")
        .bindAll(tableId, d.name, d.identity, std::string(d.identityOnNull ? "YES" : "NO"))
        .step();
    const SequenceOptions& o = d.identityOptions;
    forgetSequence(owner, sequence, o.hasIncrement ? std::optional<std::int64_t>(o.increment) : std::nullopt);
    auto set = [&](const char* column, std::int64_t value) {
      Stmt(db_, std::string("UPDATE sequences SET ") + column + "=?3 WHERE sequence_owner=?1 AND sequence_name=?2")
          .bindAll(owner, sequence, value)
          .step();
    };
    if (o.increment == 0) throw Error(4002, "ORA-04002: INCREMENT must be a non-zero integer");
    if (o.hasIncrement) set("increment_by", o.increment);
    if (o.hasMin) set("min_value", o.minValue);
    if (o.hasMax) set("max_value", o.maxValue);
    if (o.hasCache) set("cache_size", o.cache);
    if (o.hasCycle) {
      Stmt(db_, "UPDATE sequences SET cycle_flag=?3 WHERE sequence_owner=?1 AND sequence_name=?2")
          .bindAll(owner, sequence, std::string(o.cycle ? "Y" : "N"))
          .step();
    }
    if (o.hasStart) set("last_number", o.start);
    if (o.startWithLimit) {
      // The next value follows the highest (or, counting down, the lowest) value the column holds.
      Stmt inc(db_, "SELECT increment_by FROM sequences WHERE sequence_owner=?1 AND sequence_name=?2");
      inc.bindAll(owner, sequence);
      std::int64_t increment = inc.step() ? inc.integer(0) : 1;
      inc.reset();
      Stmt limit(db_, std::string("SELECT ") + (increment > 0 ? "max" : "min") + "(" + quoteName(d.name) + ") FROM " +
                          tableRef(owner, table));
      if (limit.step() && !limit.isNull(0)) set("last_number", limit.integer(0) + increment);
    }
    Stmt start(db_, "SELECT identity_options FROM columns WHERE object_id=?1 AND column_name=?2");
    start.bindAll(tableId, d.name);
    long long first = 1;
    if (start.step()) {
      std::string text = start.text(0);
      std::size_t at = text.find("START WITH: ");
      if (at != std::string::npos) first = std::atoll(text.c_str() + at + 12);
    }
    start.reset();
    Stmt next(db_, "SELECT last_number FROM sequences WHERE sequence_owner=?1 AND sequence_name=?2");
    next.bindAll(owner, sequence);
    if ((o.hasStart || o.startWithLimit) && next.step()) first = next.integer(0);
    next.reset();
    recordIdentityOptions(owner, tableId, d.name, first);
  }

  // The IDENTITY_OPTIONS text of *_TAB_IDENTITY_COLS, from the sequence as it now is.
  void recordIdentityOptions(const std::string& owner, std::int64_t tableId, const std::string& column,
                             std::int64_t start) {
    Stmt s(db_, "SELECT increment_by, max_value, min_value, cycle_flag, cache_size FROM sequences WHERE "
                "sequence_owner=?1 AND sequence_name=?2");
    s.bindAll(owner, identitySequence(tableId));
    if (!s.step()) return;
    auto number = [&](int i) {
      double d = sqlite3_column_double(s.get(), i);
      if (std::fabs(d) >= 1e27) return std::string(d < 0 ? "-" : "") + std::string(d < 0 ? 27 : 28, '9');
      return std::to_string(s.integer(i));
    };
    std::string text = "START WITH: " + std::to_string(start) + ", INCREMENT BY: " + std::to_string(s.integer(0)) +
                       ", MAX_VALUE: " + number(1) + ", MIN_VALUE: " + number(2) + ", CYCLE_FLAG: " + s.text(3) +
                       ", CACHE_SIZE: " + std::to_string(s.integer(4)) +
                       ", ORDER_FLAG: N, SCALE_FLAG: N, EXTEND_FLAG: N, SESSION_FLAG: N, KEEP_VALUE: N";
    s.reset();
    Stmt(db_, "UPDATE columns SET identity_options=?3 WHERE object_id=?1 AND column_name=?2")
        .bindAll(tableId, column, text)
        .step();
  }

  // A new identity column numbers the rows already there, in ROWID order, from its sequence (which
  // this DDL made, so it is read here rather than through NEXTVAL).
  void numberRows(const std::string& owner, const std::string& table, std::int64_t tableId, const std::string& column) {
    std::string sequence = identitySequence(tableId);
    Stmt seq(db_, "SELECT last_number, increment_by FROM sequences WHERE sequence_owner=?1 AND sequence_name=?2");
    seq.bindAll(owner, sequence);
    if (!seq.step()) return;
    std::int64_t next = seq.integer(0), increment = seq.integer(1);
    seq.reset();
    std::vector<std::int64_t> rowids;
    Stmt rows(db_, "SELECT rowid FROM " + tableRef(owner, table) + " ORDER BY rowid");
    while (rows.step()) rowids.push_back(rows.integer(0));
    rows.reset();
    Stmt set(db_, "UPDATE " + tableRef(owner, table) + " SET " + quoteName(column) + " = ?1 WHERE rowid = ?2");
    for (auto rowid : rowids) {
      set.bindAll(next, rowid);
      set.step();
      set.reset();
      next += increment;
    }
    Stmt(db_, "UPDATE sequences SET last_number=?3 WHERE sequence_owner=?1 AND sequence_name=?2")
        .bindAll(owner, sequence, next)
        .step();
  }

  void dropSequenceRow(const std::string& owner, const std::string& name) {
    if (auto o = cat_.findObject(owner, name, "SEQUENCE")) cat_.removeObject(o->id);
    Stmt(db_, "DELETE FROM sequences WHERE sequence_owner=?1 AND sequence_name=?2").bindAll(owner, name).step();
    s_.impl().forgetSequence(owner, name);
  }

  // querySchema: the schema the AS query's names resolve in (the current one when empty).
  Compiled createTable(const CreateTableStmt& st, const std::string& querySchema = {}, bool withRows = true) {
    auto [owner, name] = target(st.name);
    requirePrivilege(owner, "CREATE TABLE", "CREATE ANY TABLE");
    if (!cat_.findUser(owner)) fail(1918, st.name.pos, owner);
    requireNewName(owner, name, st.name.pos);
    std::vector<ColumnInfo> columns;
    Compiled query;
    if (st.asQuery) {
      SelectStmt select;
      select.query = st.asQuery;
      CompileContext ctx = compileContext();
      if (!querySchema.empty()) ctx.schema = querySchema;
      query = compileStatement(select, ctx, text_);
      for (std::size_t i = 0; i < query.columns.size(); ++i) {
        const Column& qc = query.columns[i];
        ColumnInfo c;
        c.name = i < st.columns.size() ? st.columns[i].name : qc.name;
        if (!isPlainName(c.name)) throw Error::ora(998);
        c.position = static_cast<int>(i + 1);
        c.type = qc.type == DataType::Unknown ? DataType::Varchar2 : qc.type;
        c.typeName = dataTypeName(c.type);
        c.length = c.type == DataType::Number ? 22 : c.type == DataType::Date ? 7 : qc.size ? qc.size : 4000;
        c.hasPrecision = c.type == DataType::Number && qc.precision > 0;
        c.precision = qc.precision;
        c.hasScale = c.hasPrecision;
        c.scale = qc.scale;
        c.nullable = qc.nullable;
        timestampColumn(c, qc);
        columns.push_back(c);
      }
    } else {
      int position = 0;
      std::set<std::string> seen;
      int identities = 0;
      for (const auto& d : st.columns) {
        if (!seen.insert(d.name).second) fail(957, d.pos);
        columns.push_back(columnInfo(d, ++position));
        if (!d.identity.empty()) {
          if (++identities > 1) throw Error(30669, "ORA-30669: table can have only one identity column");
          checkIdentity(d, columns.back());
        }
      }
      if (std::count_if(columns.begin(), columns.end(), [](const ColumnInfo& c) { return c.typeName == "LONG"; }) > 1)
        throw Error(1754, "ORA-01754: a table may contain only one column of type LONG");
    }
    std::string ddlText = "CREATE TABLE " + tableRef(owner, name) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) ddlText += (i ? ", " : "") + sqliteColumn(columns[i]);
    exec(db_, ddlText + ")");
    std::int64_t id = cat_.addObject(owner, name, "TABLE", now());
    if (st.temporary) Stmt(db_, "UPDATE objects SET temporary='Y' WHERE object_id=?1").bindAll(id).step();
    std::vector<ConstraintDef> identityNotNull;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      ColumnInfo& c = columns[i];
      if (st.asQuery) c.nullable = true;
      if (!st.asQuery && !st.columns[i].identity.empty()) identityNotNull.push_back(addIdentity(owner, id, st.columns[i], c));
      cat_.addColumn(id, c);
      if (!c.identity.empty()) recordIdentityOptions(owner, id, c.name, identityStart(st.columns[i].identityOptions));
    }
    for (const auto& k : identityNotNull) addConstraint(owner, name, k, columns);
    if (st.asQuery && withRows) {
      Stmt insert(db_, "INSERT INTO " + tableRef(owner, name) + " SELECT * FROM (" + query.sql + ")");
      insert.step();
    }
    for (const auto& d : st.columns)
      for (const auto& c : d.constraints) addConstraint(owner, name, c, columns);
    for (const auto& c : st.constraints) addConstraint(owner, name, c, columns);
    recordPhysical(id, st.physical);
    if (st.partitioning) recordPartitions(id, *st.partitioning, columns);
    return query;
  }

  // NULL for what the DDL did not give.
  static void bindText(Stmt& s, int i, const std::string& v) {
    if (v.empty()) s.bindNull(i);
    else s.bind(i, v);
  }
  static void bindCount(Stmt& s, int i, long long v) {
    if (v < 0) s.bindNull(i);
    else s.bind(i, static_cast<std::int64_t>(v));
  }

  // The physical clauses of a table or index, for the dictionary.
  void recordPhysical(std::int64_t id, const PhysicalAttributes& p) {
    if (!p.any()) return;
    Stmt s(db_, "INSERT OR REPLACE INTO segment_attrs(object_id, tablespace_name, pct_free, pct_used, ini_trans, "
                "max_trans, initial_extent, next_extent, min_extents, max_extents, logging, compression) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
    s.bindAll(id);
    bindText(s, 2, p.tablespace);
    bindCount(s, 3, p.pctFree);
    bindCount(s, 4, p.pctUsed);
    bindCount(s, 5, p.iniTrans);
    bindCount(s, 6, p.maxTrans);
    bindCount(s, 7, p.initialExtent);
    bindCount(s, 8, p.nextExtent);
    bindCount(s, 9, p.minExtents);
    bindCount(s, 10, p.maxExtents);
    bindText(s, 11, p.logging);
    bindText(s, 12, p.compression);
    s.step();
  }

  void recordPartitions(std::int64_t id, const Partitioning& part, const std::vector<ColumnInfo>& columns) {
    for (std::size_t i = 0; i < part.columns.size(); ++i) {
      bool known = std::any_of(columns.begin(), columns.end(), [&](const ColumnInfo& c) { return c.name == part.columns[i]; });
      if (!known) fail(904, part.columnPos[i], "\"" + part.columns[i] + "\"");
      Stmt(db_, "INSERT INTO part_key_columns(object_id, column_name, column_position) VALUES (?1, ?2, ?3)")
          .bindAll(id, part.columns[i], static_cast<std::int64_t>(i + 1))
          .step();
    }
    if (part.type == "LIST" && part.columns.size() > 1)
      throw Error(14304, "ORA-14304: List partitioning method expects a single partitioning column");
    Stmt(db_, "INSERT INTO part_tables(object_id, partitioning_type) VALUES (?1, ?2)").bindAll(id, part.type).step();
    std::set<std::string> names;
    std::int64_t position = 0;
    for (const auto& p : part.partitions) {
      std::string pname = p.name;
      if (pname.empty()) {
        std::int64_t n = cat_.meta("next_partition", 1);
        cat_.setMeta("next_partition", n + 1);
        pname = "SYS_P" + std::to_string(n);
      }
      if (!names.insert(pname).second) throw Error(14024, "ORA-14024: duplicate partition name");
      Stmt s(db_, "INSERT INTO tab_partitions(object_id, partition_name, partition_position, high_value, "
                  "tablespace_name, pct_free, ini_trans, logging, compression) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
      s.bindAll(id, pname, ++position);
      bindText(s, 4, p.highValue);
      bindText(s, 5, p.physical.tablespace);
      bindCount(s, 6, p.physical.pctFree);
      bindCount(s, 7, p.physical.iniTrans);
      bindText(s, 8, p.physical.logging);
      bindText(s, 9, p.physical.compression);
      s.step();
    }
  }

  void alterTable(const AlterTableStmt& st) {
    std::string owner;
    auto object = requireTable(st.name, &owner);
    const std::string& table = object.name;
    std::string qtable = tableRef(owner, table);
    auto columns = cat_.columns(object.id);
    auto findColumn = [&](const std::string& n) -> ColumnInfo* {
      for (auto& c : columns)
        if (c.name == n) return &c;
      return nullptr;
    };
    switch (st.action) {
      case AlterTableAction::AddColumns: {
        for (const auto& d : st.columns) {
          if (findColumn(d.name)) fail(1430, d.pos);
          ColumnInfo c = columnInfo(d, static_cast<int>(columns.size()) + 1);
          std::optional<ConstraintDef> identityNotNull;
          if (!d.identity.empty()) {
            if (std::any_of(columns.begin(), columns.end(), [](const ColumnInfo& k) { return !k.identity.empty(); }))
              throw Error(30669, "ORA-30669: table can have only one identity column");
            checkIdentity(d, c);
            identityNotNull = addIdentity(owner, object.id, d, c);
          }
          exec(db_, "ALTER TABLE " + qtable + " ADD COLUMN " + sqliteColumn(c));
          cat_.addColumn(object.id, c);
          if (!c.identity.empty()) recordIdentityOptions(owner, object.id, c.name, identityStart(d.identityOptions));
          columns.push_back(c);
          if (!c.identity.empty()) {
            numberRows(owner, table, object.id, c.name);
          } else if (!c.defaultText.empty()) {
            Parser p(c.defaultText);
            std::string value = compileTableExpr(*p.parseExpr(), {}, "", compileContext());
            exec(db_, "UPDATE " + qtable + " SET " + quoteName(c.name) + " = " + value);
          }
          if (identityNotNull) addConstraint(owner, table, *identityNotNull, columns);
          for (const auto& k : d.constraints) addConstraint(owner, table, k, columns);
        }
        break;
      }
      case AlterTableAction::ModifyColumns: {
        for (const auto& d : st.columns) {
          ColumnInfo* existing = findColumn(d.name);
          if (!existing) fail(904, d.pos, "\"" + d.name + "\"");
          if (!d.identity.empty() || d.dropIdentity) modifyIdentity(owner, table, object.id, d, *existing);
          if (!d.type.name.empty()) {
            ColumnInfo c = columnInfo(d, existing->position);
            if (c.type == existing->type && c.length < existing->length && c.length > 0) {
              Stmt check(db_, "SELECT 1 FROM " + qtable + " WHERE length(" + quoteName(c.name) + ") > ?1");
              check.bindAll(c.length);
              bool tooBig = check.step();
              check.reset();
              if (tooBig) throw Error(1441, "ORA-01441: cannot decrease column length because some value is too big");
            }
            bool newStorage = std::string(sql::storageTypeOf(c.type)) != sql::storageTypeOf(existing->type);
            Stmt(db_, "UPDATE columns SET data_type=?3, data_length=?4, data_precision=?5, data_scale=?6 WHERE "
                      "object_id=?1 AND column_name=?2")
                .bindAll(object.id, c.name, c.typeName, c.length)
                .step();
            Stmt u(db_, "UPDATE columns SET data_precision=?3, data_scale=?4 WHERE object_id=?1 AND column_name=?2");
            u.bindAll(object.id, c.name);
            if (c.hasPrecision) u.bind(3, static_cast<std::int64_t>(c.precision));
            if (c.hasScale) u.bind(4, static_cast<std::int64_t>(c.scale));
            u.step();
            // After the catalog has the new type: the constraints are made again against it.
            if (newStorage) changeStorage(owner, table, c);
          }
          if (!d.defaultText.empty())
            Stmt(db_, "UPDATE columns SET data_default=?3 WHERE object_id=?1 AND column_name=?2")
                .bindAll(object.id, d.name, d.defaultText)
                .step();
          for (const auto& k : d.constraints) {
            if (k.type == ConstraintType::NotNull && !existing->nullable)
              throw Error(1442, "ORA-01442: column to be modified to NOT NULL is already NOT NULL");
            try {
              addConstraint(owner, table, k, columns);
            } catch (const Error& e) {
              // Oracle names no constraint here when the statement gave it none.
              if (e.code() != 2296 || !k.name.empty()) throw;
              throw Error(2296, "ORA-02296: cannot enable (" + owner + ".) - null values found");
            }
          }
          bool toNullable = d.constraints.empty() && text_.find("NULL") != std::string::npos && d.type.name.empty() &&
                            d.defaultText.empty() && d.identity.empty() && !d.dropIdentity;
          if (toNullable) makeNullable(owner, table, object.id, *existing);
        }
        break;
      }
      case AlterTableAction::DropColumns: {
        for (const auto& n : st.names)
          if (!findColumn(n)) fail(904, st.pos, "\"" + n + "\"");
        if (st.names.size() >= columns.size()) throw Error::ora(12983);
        for (const auto& n : st.names) {
          if (!findColumn(n)) fail(904, st.pos, "\"" + n + "\"");
          for (const auto& c : cat_.constraints(owner, table)) {
            if (std::find(c.columns.begin(), c.columns.end(), n) == c.columns.end()) continue;
            dropConstraint(c, true);
          }
          dropIndexesOn(owner, table, n);
          exec(db_, "ALTER TABLE " + qtable + " DROP COLUMN " + quoteName(n));
          Stmt(db_, "DELETE FROM columns WHERE object_id=?1 AND column_name=?2").bindAll(object.id, n).step();
          Stmt(db_, "DELETE FROM col_comments WHERE owner=?1 AND table_name=?2 AND column_name=?3")
              .bindAll(owner, table, n)
              .step();
        }
        renumberColumns(object.id);
        break;
      }
      case AlterTableAction::AddConstraint:
        addConstraint(owner, table, st.constraint, columns);
        for (const auto& more : st.moreConstraints) addConstraint(owner, table, more, columns);
        break;
      case AlterTableAction::DropConstraint:
      case AlterTableAction::DropPrimaryKey: {
        auto c = findConstraint(owner, table, st);
        dropConstraint(*c, st.cascade);
        break;
      }
      case AlterTableAction::EnableConstraint:
      case AlterTableAction::DisableConstraint: {
        auto c = findConstraint(owner, table, st);
        bool enable = st.action == AlterTableAction::EnableConstraint;
        if (c->enabled == enable) break;
        if (!enable) {
          for (const auto& child : cat_.referencingConstraints(owner, table)) {
            if (child.rName != c->name || !child.enabled) continue;
            if (!st.cascade)
              throw Error(2297, "ORA-02297: cannot disable constraint (" + c->owner + "." + c->name + ") - dependencies exist");
            removeConstraintObjects(s_, child);
            cat_.setConstraintEnabled(child.owner, child.name, false);
          }
          removeConstraintObjects(s_, *c);
        } else {
          c->enabled = true;
          applyConstraint(s_, *c);
        }
        cat_.setConstraintEnabled(owner, c->name, enable);
        break;
      }
      case AlterTableAction::RenameColumn: {
        const std::string& from = st.names[0];
        const std::string& to = st.names[1];
        if (!findColumn(from)) fail(904, st.pos, "\"" + from + "\"");
        if (findColumn(to)) fail(957, st.pos);
        exec(db_, "ALTER TABLE " + qtable + " RENAME COLUMN " + quoteName(from) + " TO " + quoteName(to));
        Stmt(db_, "UPDATE columns SET column_name=?3 WHERE object_id=?1 AND column_name=?2").bindAll(object.id, from, to).step();
        for (const char* t : {"cons_columns", "col_comments"})
          Stmt(db_, std::string("UPDATE ") + t + " SET column_name=?4 WHERE owner=?1 AND table_name=?2 AND column_name=?3")
              .bindAll(owner, table, from, to)
              .step();
        Stmt(db_, "UPDATE ind_columns SET column_name=?4 WHERE table_owner=?1 AND table_name=?2 AND column_name=?3")
            .bindAll(owner, table, from, to)
            .step();
        rebuildConstraints(s_, owner, table);
        break;
      }
      case AlterTableAction::RenameTo: renameTable(owner, table, st.names[0], st.pos); break;
    }
    // Whatever uses the table must compile again, except after ADD COLUMN (as Oracle since 11g).
    bool reshaped = st.action == AlterTableAction::DropColumns || st.action == AlterTableAction::ModifyColumns ||
                    st.action == AlterTableAction::RenameColumn || st.action == AlterTableAction::RenameTo;
    if (reshaped) cat_.invalidateDependants(owner, table);
    cat_.touchObject(object.id, now());
  }

  // ALTER INDEX (REBUILD, ...) has nothing to do here; ALTER VIEW COMPILE is the view status refresh
  // every DDL ends with. Both check that the object exists and may be altered.
  void alterObject(const AlterObjectStmt& st) {
    auto [owner, name] = target(st.name);
    auto o = cat_.findObject(owner, name, st.objectType);
    if (!o) {
      if (st.objectType == "INDEX") throw Error(1418, "ORA-01418: specified index does not exist");
      fail(942, st.name.pos);
    }
    requirePrivilege(owner, "", st.objectType == "INDEX" ? "ALTER ANY INDEX" : "ALTER ANY TABLE");
    if (st.objectType == "INDEX" && st.action != "REBUILD" && st.action != "COALESCE" && st.action != "NOPARALLEL" &&
        st.action != "PARALLEL" && st.action != "LOGGING" && st.action != "NOLOGGING" && st.action != "MONITORING" &&
        st.action != "NOMONITORING")
      throw Error::ora(940);
    if (st.objectType == "VIEW" && st.action != "COMPILE") throw Error::ora(940);
  }

  // A column whose values are stored differently now (text and number): Oracle allows the change
  // only while the column is empty (ORA-01439). SQLite keeps a column's storage type, so the
  // column is made anew under its name; indexes and constraints on the table are made again.
  void changeStorage(const std::string& owner, const std::string& table, const ColumnInfo& column) {
    std::string qtable = tableRef(owner, table);
    Stmt values(db_, "SELECT 1 FROM " + qtable + " WHERE " + quoteName(column.name) + " IS NOT NULL LIMIT 1");
    bool hasValues = values.step();
    values.reset();
    if (hasValues) throw Error(1439, "ORA-01439: column to be modified must be empty to change datatype");
    struct IndexDef {
      std::string owner, name, sql;
    };
    std::vector<IndexDef> indexes;
    Stmt s(db_, "SELECT DISTINCT i.owner, i.index_name FROM indexes i JOIN ind_columns c ON c.index_owner = i.owner AND "
                "c.index_name = i.index_name WHERE i.table_owner = ?1 AND i.table_name = ?2 AND c.column_name = ?3 AND "
                "i.constraint_name IS NULL");
    s.bindAll(owner, table, column.name);
    while (s.step()) indexes.push_back({s.text(0), s.text(1), {}});
    s.reset();
    for (auto& index : indexes) {
      Stmt def(db_, "SELECT sql FROM main.sqlite_master WHERE type = 'index' AND name = ?1");
      def.bindAll(sqliteName(owner, "I$" + index.name));
      if (def.step()) index.sql = def.text(0);
      def.reset();
      exec(db_, "DROP INDEX IF EXISTS " + tableRef(owner, "I$" + index.name));
    }
    auto own = cat_.constraints(owner, table);
    auto referencing = cat_.referencingConstraints(owner, table);
    for (const auto* list : {&own, &referencing})
      for (const auto& c : *list) removeConstraintObjects(s_, c);
    std::string fresh = "__NUVO_NEW__";
    exec(db_, "ALTER TABLE " + qtable + " ADD COLUMN " + quoteName(fresh) + " " + sql::storageTypeOf(column.type));
    exec(db_, "ALTER TABLE " + qtable + " DROP COLUMN " + quoteName(column.name));
    exec(db_, "ALTER TABLE " + qtable + " RENAME COLUMN " + quoteName(fresh) + " TO " + quoteName(column.name));
    for (const auto& index : indexes)
      if (!index.sql.empty()) exec(db_, index.sql);
    rebuildConstraints(s_, owner, table);
  }

  void makeNullable(const std::string& owner, const std::string& table, std::int64_t id, const ColumnInfo& column) {
    bool found = false;
    for (const auto& c : cat_.constraints(owner, table)) {
      if (c.type != 'C' || c.searchCondition != "\"" + column.name + "\" IS NOT NULL") continue;
      dropConstraint(c, false);
      found = true;
    }
    if (!found) throw Error(1451, "ORA-01451: column to be modified to NULL cannot be modified to NULL");
    Stmt(db_, "UPDATE columns SET nullable='Y' WHERE object_id=?1 AND column_name=?2").bindAll(id, column.name).step();
  }

  void renumberColumns(std::int64_t id) {
    Stmt s(db_, "SELECT column_id FROM columns WHERE object_id=?1 ORDER BY column_id");
    s.bindAll(id);
    std::vector<std::int64_t> ids;
    while (s.step()) ids.push_back(s.integer(0));
    for (std::size_t i = 0; i < ids.size(); ++i)
      Stmt(db_, "UPDATE columns SET column_id=?3 WHERE object_id=?1 AND column_id=?2")
          .bindAll(id, ids[i], static_cast<std::int64_t>(i + 1))
          .step();
  }

  std::optional<ConstraintInfo> findConstraint(const std::string& owner, const std::string& table,
                                               const AlterTableStmt& st) {
    if (st.action == AlterTableAction::DropPrimaryKey || (!st.names.empty() && st.names[0].empty())) {
      for (const auto& c : cat_.constraints(owner, table))
        if (c.type == 'P') return c;
      throw Error(2441, "ORA-02441: Cannot drop nonexistent primary key");
    }
    auto c = cat_.constraint(owner, st.names[0]);
    if (!c || c->table != table) {
      if (st.action == AlterTableAction::EnableConstraint)
        throw Error(2430, "ORA-02430: cannot enable constraint (" + st.names[0] + ") - no such constraint");
      if (st.action == AlterTableAction::DisableConstraint)
        throw Error(2431, "ORA-02431: cannot disable constraint (" + st.names[0] + ") - no such constraint");
      throw Error(2443, "ORA-02443: Cannot drop constraint  - nonexistent constraint");
    }
    return c;
  }

  void dropConstraint(const ConstraintInfo& c, bool cascade) {
    if (c.type == 'P' || c.type == 'U') {
      for (const auto& child : cat_.referencingConstraints(c.owner, c.table)) {
        if (child.rName != c.name) continue;
        if (!cascade) throw Error(2273, "ORA-02273: this unique/primary key is referenced by some foreign keys");
        dropConstraint(child, false);
      }
      Stmt(db_, "DELETE FROM ind_columns WHERE index_owner=?1 AND index_name=?2").bindAll(c.owner, c.name).step();
      Stmt(db_, "DELETE FROM indexes WHERE owner=?1 AND index_name=?2 AND constraint_name=?2").bindAll(c.owner, c.name).step();
      if (auto index = cat_.findObject(c.owner, c.name, "INDEX")) cat_.removeObject(index->id);
    }
    removeConstraintObjects(s_, c);
    if (c.type == 'C' && c.searchCondition == "\"" + (c.columns.empty() ? "" : c.columns[0]) + "\" IS NOT NULL") {
      Stmt(db_, "UPDATE columns SET nullable='Y' WHERE object_id=(SELECT object_id FROM objects WHERE owner=?1 AND "
                "object_name=?2 AND object_type='TABLE') AND column_name=?3")
          .bindAll(c.owner, c.table, c.columns[0])
          .step();
    }
    cat_.removeConstraint(c.owner, c.name);
  }

  void dropIndexesOn(const std::string& owner, const std::string& table, const std::string& column) {
    Stmt s(db_, "SELECT DISTINCT index_owner, index_name FROM ind_columns WHERE table_owner=?1 AND table_name=?2 AND "
                "column_name=?3");
    s.bindAll(owner, table, column);
    std::vector<std::pair<std::string, std::string>> found;
    while (s.step()) found.emplace_back(s.text(0), s.text(1));
    for (const auto& [o, n] : found) dropIndex(o, n);
  }

  void dropIndex(const std::string& owner, const std::string& name) {
    Stmt s(db_, "SELECT table_owner FROM indexes WHERE owner=?1 AND index_name=?2");
    s.bindAll(owner, name);
    std::string tableOwner = s.step() ? s.text(0) : std::string();
    s.reset();
    if (!tableOwner.empty()) exec(db_, "DROP INDEX IF EXISTS " + tableRef(tableOwner, "I$" + name));
    Stmt(db_, "DELETE FROM ind_columns WHERE index_owner=?1 AND index_name=?2").bindAll(owner, name).step();
    Stmt(db_, "DELETE FROM indexes WHERE owner=?1 AND index_name=?2").bindAll(owner, name).step();
    if (auto o = cat_.findObject(owner, name, "INDEX")) cat_.removeObject(o->id);
  }

  void renameTable(const std::string& owner, const std::string& from, const std::string& to, const Position& pos) {
    requireNewName(owner, to, pos);
    exec(db_, "ALTER TABLE " + tableRef(owner, from) + " RENAME TO " + tableRef(owner, to));
    Stmt(db_, "UPDATE objects SET object_name=?3 WHERE owner=?1 AND object_name=?2 AND namespace=1").bindAll(owner, from, to).step();
    for (const char* t : {"constraints", "cons_columns", "tab_comments", "col_comments"})
      Stmt(db_, std::string("UPDATE ") + t + " SET table_name=?3 WHERE owner=?1 AND table_name=?2").bindAll(owner, from, to).step();
    for (const char* t : {"indexes", "ind_columns"})
      Stmt(db_, std::string("UPDATE ") + t + " SET table_name=?3 WHERE table_owner=?1 AND table_name=?2")
          .bindAll(owner, from, to)
          .step();
    Stmt(db_, "UPDATE tab_privs SET table_name=?3 WHERE owner=?1 AND table_name=?2").bindAll(owner, from, to).step();
    rebuildConstraints(s_, owner, to);
  }

  void rename(const RenameStmt& st) {
    if (st.from.parts.size() != 1 || st.to.parts.size() != 1) fail(1765, st.pos);
    std::string owner = s_.currentSchema();
    auto o = cat_.findObject(owner, st.from.parts[0]);
    if (!o) fail(4043, st.from.pos, st.from.parts[0]);
    cat_.invalidateDependants(owner, o->name);
    if (o->type == "TABLE") {
      renameTable(owner, o->name, st.to.parts[0], st.to.pos);
      return;
    }
    requireNewName(owner, st.to.parts[0], st.to.pos);
    Stmt(db_, "UPDATE objects SET object_name=?2, last_ddl_time=?3 WHERE object_id=?1").bindAll(o->id, st.to.parts[0], now()).step();
    const char* table = o->type == "VIEW" ? "views" : o->type == "SEQUENCE" ? "sequences" : "synonyms";
    const char* ownerCol = o->type == "SEQUENCE" ? "sequence_owner" : "owner";
    const char* nameCol = o->type == "VIEW" ? "view_name" : o->type == "SEQUENCE" ? "sequence_name" : "synonym_name";
    Stmt(db_, std::string("UPDATE ") + table + " SET " + nameCol + "=?3 WHERE " + ownerCol + "=?1 AND " + nameCol + "=?2")
        .bindAll(owner, o->name, st.to.parts[0])
        .step();
    if (o->type == "SEQUENCE") forgetSequence(owner, o->name);
  }

  void drop(const DropStmt& st) {
    const std::string& type = st.objectType;
    if (type == "USER") return dropUser(st);
    if (type == "DATABASE LINK" || type == "PUBLIC DATABASE LINK") return dropDbLink(st);
    if (type == "DIRECTORY") return dropDirectory(st);
    if (type == "CONTEXT") return dropContext(st);
    if (type == "TABLESPACE") return dropTablespace(st);
    if (type == "ROLE") {
      const std::string& role = st.name.parts[0];
      if (!cat_.roleExists(role)) fail(1919, st.name.pos, role);
      if (!s_.hasPrivilege("DROP ANY ROLE")) throw Error::ora(1031);
      for (const char* sql : {"DELETE FROM roles WHERE role=?1", "DELETE FROM role_privs WHERE granted_role=?1 OR grantee=?1",
                              "DELETE FROM sys_privs WHERE grantee=?1", "DELETE FROM tab_privs WHERE grantee=?1"})
        Stmt(db_, sql).bindAll(role).step();
      return;
    }
    if (type == "MATERIALIZED VIEW") return dropMView(st);
    auto [owner, name] = type == "PUBLIC SYNONYM" ? std::make_pair(std::string("PUBLIC"), st.name.last()) : target(st.name);
    std::string objectType = type == "PUBLIC SYNONYM" ? "SYNONYM" : type;
    auto o = cat_.findObject(owner, name, objectType);
    if (o && type == "TABLE" && cat_.findObject(owner, name, "MATERIALIZED VIEW"))
      throw Error(12083, "ORA-12083: must use DROP MATERIALIZED VIEW to drop \"" + owner + "\".\"" + name + "\"");
    if (!o) {
      if (type == "TABLE" || type == "VIEW") fail(942, st.name.pos);
      if (type == "SEQUENCE") fail(2289, st.name.pos);
      if (type == "INDEX") throw Error(1418, "ORA-01418: specified index does not exist");
      if (type == "PUBLIC SYNONYM") throw Error(1432, "ORA-01432: public synonym to be dropped does not exist");
      throw Error(1434, "ORA-01434: private synonym to be dropped does not exist");
    }
    static const std::map<std::string, std::string> anyPrivilege = {
        {"TABLE", "DROP ANY TABLE"},       {"VIEW", "DROP ANY VIEW"},       {"SEQUENCE", "DROP ANY SEQUENCE"},
        {"SYNONYM", "DROP ANY SYNONYM"},   {"INDEX", "DROP ANY INDEX"},     {"PUBLIC SYNONYM", "DROP PUBLIC SYNONYM"}};
    if (type == "PUBLIC SYNONYM") {
      requirePrivilege("", "", "DROP PUBLIC SYNONYM");
    } else if (owner != s_.currentUser() && !s_.hasPrivilege(anyPrivilege.at(type))) {
      // Another user's table, view or sequence the user cannot see does not exist for the user.
      if (type == "TABLE" || type == "VIEW" || type == "SEQUENCE") requireVisible(owner, name, st.name.pos);
      requirePrivilege(owner, "", anyPrivilege.at(type));
    }
    if (type != "INDEX") {
      // Dependants go INVALID; their dependencies on the object go with it.
      cat_.invalidateDependants(owner, name);
      Stmt(db_, "DELETE FROM dependencies WHERE referenced_owner=?1 AND referenced_name=?2 AND referenced_type=?3")
          .bindAll(owner, name, objectType)
          .step();
      Stmt(db_, "DELETE FROM dependencies WHERE owner=?1 AND name=?2 AND type=?3").bindAll(owner, name, objectType).step();
    }
    if (type == "SEQUENCE" && isIdentitySequence(owner, name))
      throw Error(32794, "ORA-32794: cannot drop a system-generated sequence");
    if (type == "TABLE") dropTable(owner, name, o->id, st.cascadeConstraints);
    else if (type == "INDEX") {
      Stmt s(db_, "SELECT constraint_name FROM indexes WHERE owner=?1 AND index_name=?2");
      s.bindAll(owner, name);
      bool enforcing = s.step() && !s.isNull(0);
      s.reset();
      if (enforcing) throw Error(2429, "ORA-02429: cannot drop index used for enforcement of unique/primary key");
      dropIndex(owner, name);
    } else {
      cat_.removeObject(o->id);
      if (type == "VIEW") {
        Stmt(db_, "DELETE FROM views WHERE owner=?1 AND view_name=?2").bindAll(owner, name).step();
        Stmt(db_, "DELETE FROM tab_comments WHERE owner=?1 AND table_name=?2").bindAll(owner, name).step();
        Stmt(db_, "DELETE FROM col_comments WHERE owner=?1 AND table_name=?2").bindAll(owner, name).step();
        Stmt(db_, "DELETE FROM tab_privs WHERE owner=?1 AND table_name=?2").bindAll(owner, name).step();
      } else if (type == "SEQUENCE") {
        Stmt(db_, "DELETE FROM sequences WHERE sequence_owner=?1 AND sequence_name=?2").bindAll(owner, name).step();
        s_.impl().forgetSequence(owner, name);
      } else {
        Stmt(db_, "DELETE FROM synonyms WHERE owner=?1 AND synonym_name=?2").bindAll(owner, name).step();
      }
    }
  }

  void dropMView(const DropStmt& st) {
    auto [owner, name] = target(st.name);
    auto mview = cat_.findObject(owner, name, "MATERIALIZED VIEW");
    if (!mview) throw Error(12003, "ORA-12003: materialized view \"" + owner + "\".\"" + name + "\" does not exist");
    requirePrivilege(owner, "", "DROP ANY MATERIALIZED VIEW");
    cat_.invalidateDependants(owner, name);
    for (const char* type : {"MATERIALIZED VIEW", "TABLE"})
      Stmt(db_, "DELETE FROM dependencies WHERE (owner=?1 AND name=?2 AND type=?3) OR (referenced_owner=?1 AND "
                "referenced_name=?2 AND referenced_type=?3)")
          .bindAll(owner, name, std::string(type))
          .step();
    if (auto container = cat_.findObject(owner, name, "TABLE")) dropTable(owner, name, container->id, false);
    cat_.removeObject(mview->id);
    Stmt(db_, "DELETE FROM mviews WHERE owner=?1 AND mview_name=?2").bindAll(owner, name).step();
  }

  void dropTable(const std::string& owner, const std::string& name, std::int64_t id, bool cascade) {
    for (const auto& child : cat_.referencingConstraints(owner, name)) {
      if (child.table == name && child.owner == owner) continue;
      if (!cascade) throw Error(2449, "ORA-02449: unique/primary keys in table referenced by foreign keys");
      dropConstraint(child, false);
    }
    for (const auto& c : cat_.constraints(owner, name)) {
      removeConstraintObjects(s_, c);
      cat_.removeConstraint(owner, c.name);
    }
    Stmt idx(db_, "SELECT owner, index_name FROM indexes WHERE table_owner=?1 AND table_name=?2");
    idx.bindAll(owner, name);
    std::vector<std::pair<std::string, std::string>> indexes;
    while (idx.step()) indexes.emplace_back(idx.text(0), idx.text(1));
    for (const auto& [o, n] : indexes) {
      Stmt(db_, "DELETE FROM ind_columns WHERE index_owner=?1 AND index_name=?2").bindAll(o, n).step();
      Stmt(db_, "DELETE FROM indexes WHERE owner=?1 AND index_name=?2").bindAll(o, n).step();
      if (auto io = cat_.findObject(o, n, "INDEX")) cat_.removeObject(io->id);
    }
    exec(db_, "DROP TABLE " + tableRef(owner, name));
    bool hasIdentity = false;
    for (const auto& c : cat_.columns(id)) hasIdentity = hasIdentity || !c.identity.empty();
    if (hasIdentity) dropSequenceRow(owner, identitySequence(id));
    cat_.removeObject(id);
    for (const char* t : {"tab_comments", "col_comments", "tab_privs"})
      Stmt(db_, std::string("DELETE FROM ") + t + " WHERE owner=?1 AND table_name=?2").bindAll(owner, name).step();
  }

  void createIndex(const CreateIndexStmt& st) {
    auto [owner, name] = target(st.name);
    std::string tableOwner;
    auto table = requireTable(st.table, &tableOwner);
    requirePrivilege(tableOwner, "", "CREATE ANY INDEX");
    if (cat_.findObject(owner, name, "INDEX") || cat_.findObject(owner, name)) fail(955, st.name.pos);
    auto columns = cat_.columns(table.id);
    if (indexedAlready(tableOwner, table.name, st.columns))
      throw Error(1408, "ORA-01408: such column list already indexed");
    std::string list;
    for (std::size_t i = 0; i < st.columns.size(); ++i) {
      const std::string& col = st.columns[i];
      if (std::none_of(columns.begin(), columns.end(), [&](const ColumnInfo& c) { return c.name == col; }))
        fail(904, st.pos, "\"" + col + "\"");
      list += (i ? ", " : "") + quoteName(col) + (st.descending[i] ? " DESC" : "");
    }
    try {
      exec(db_, std::string("CREATE ") + (st.unique ? "UNIQUE " : "") + "INDEX " + tableRef(tableOwner, "I$" + name) +
                    " ON " + tableRef(tableOwner, table.name) + "(" + list + ")");
    } catch (const Error&) {
      if (st.unique && sqlite3_extended_errcode(db_) == SQLITE_CONSTRAINT_UNIQUE) throw Error::ora(1452);
      throw;
    }
    Stmt(db_, "INSERT INTO indexes(owner, index_name, table_owner, table_name, uniqueness) VALUES (?1,?2,?3,?4,?5)")
        .bindAll(owner, name, tableOwner, table.name, std::string(st.unique ? "UNIQUE" : "NONUNIQUE"))
        .step();
    for (std::size_t i = 0; i < st.columns.size(); ++i)
      Stmt(db_, "INSERT INTO ind_columns(index_owner, index_name, table_owner, table_name, column_name, "
                "column_position, descend) VALUES (?1,?2,?3,?4,?5,?6,?7)")
          .bindAll(owner, name, tableOwner, table.name, st.columns[i], static_cast<int>(i + 1),
                   std::string(st.descending[i] ? "DESC" : "ASC"))
          .step();
    recordPhysical(cat_.addObject(owner, name, "INDEX", now()), st.physical);
  }

  // ANALYZE: statistics (NUM_ROWS, BLOCKS, AVG_ROW_LEN, LAST_ANALYZED of the table) or a check of
  // the stored structure: SQLite's quick_check of the table's pages, with CASCADE its integrity_check,
  // which also compares every index with the rows. ANALYZE INDEX checks the index against its table.
  void analyze(const AnalyzeStmt& st) {
    auto [owner, name] = target(st.name);
    std::string tableOwner = owner, table = name, index;
    if (st.index) {
      Stmt s(db_, "SELECT table_owner, table_name, constraint_name FROM indexes WHERE owner=?1 AND index_name=?2");
      s.bindAll(owner, name);
      if (s.step()) {
        tableOwner = s.text(0);
        table = s.text(1);
        index = s.isNull(2) ? sqliteName(tableOwner, "I$" + name) : sqliteName(owner, "C$" + s.text(2));
      } else if (auto c = cat_.constraint(owner, name); c && (c->type == 'P' || c->type == 'U')) {
        table = c->table;
        index = sqliteName(owner, "C$" + name);
      } else {
        throw Error::ora(1418);
      }
    } else if (!cat_.findObject(owner, name, "TABLE")) {
      fail(942, st.name.pos);
    }
    if (tableOwner != s_.currentUser() && s_.currentUser() != "SYS" && !s_.hasPrivilege("ANALYZE ANY")) {
      if (cat_.hasAnyObjectPrivilege(s_.currentUser(), tableOwner, table)) throw Error::ora(1031);
      if (st.index) throw Error::ora(1418);
      fail(942, st.name.pos);
    }
    auto object = cat_.findObject(tableOwner, table, "TABLE");
    if (!object) fail(942, st.name.pos);
    if (st.action == AnalyzeStmt::Action::Validate) {
      validate(tableOwner, table, index, st.cascade || st.index);
      return;
    }
    if (st.index) return;  // an index's statistics are not kept: accepted
    Stmt(db_, "DELETE FROM table_stats WHERE object_id=?1").bindAll(object->id).step();
    if (st.action == AnalyzeStmt::Action::Delete) return;
    std::string ref = tableRef(tableOwner, table);
    Stmt count(db_, "SELECT count(*), (SELECT page_size FROM pragma_page_size) FROM " + ref);
    count.step();
    std::int64_t rows = count.integer(0), pageSize = count.integer(1);
    // The pages the table takes, from SQLite's page map where it is compiled in, else from the rows.
    std::int64_t pages = 0;
    if (sqlite3_exec(db_, "SELECT 1 FROM dbstat LIMIT 0", nullptr, nullptr, nullptr) == SQLITE_OK) {
      Stmt p(db_, "SELECT count(*) FROM dbstat WHERE name=?1");
      p.bindAll(sqliteName(tableOwner, table));
      if (p.step()) pages = p.integer(0);
    }
    std::int64_t avgLen = 0;
    {
      // Average row length: the bytes of every column's value, as the table stores them.
      std::string sum;
      for (const auto& c : cat_.columns(object->id))
        sum += (sum.empty() ? "" : " + ") + std::string("coalesce(length(CAST(") + quoteName(c.name) + " AS BLOB)), 0)";
      if (!sum.empty() && rows > 0) {
        Stmt a(db_, "SELECT CAST(round(avg(" + sum + ")) AS INTEGER) FROM " + ref);
        if (a.step()) avgLen = a.integer(0);
      }
    }
    if (pages == 0 && rows > 0) pages = (rows * std::max<std::int64_t>(avgLen, 1) + pageSize - 1) / pageSize;
    Stmt(db_, "INSERT INTO table_stats(object_id, num_rows, blocks, avg_row_len, last_analyzed) VALUES (?1,?2,?3,?4,?5)")
        .bindAll(object->id, rows, pages, avgLen, now())
        .step();
  }

  // ORA-01498 for damaged pages or rows of the table, ORA-01499 for an index that does not match them.
  void validate(const std::string& owner, const std::string& table, const std::string& index, bool withIndexes) {
    std::string pragma = withIndexes ? "integrity_check" : "quick_check";
    std::vector<std::string> faults;
    try {
      Stmt s(db_, "PRAGMA main." + pragma + "(" + quoteName(sqliteName(owner, table)) + ")");
      while (s.step()) {
        std::string line = s.text(0);
        if (line != "ok") faults.push_back(line);
      }
    } catch (const Error&) {
      throw Error::ora(1498);
    }
    bool indexFault = false;
    for (const auto& f : faults) {
      bool aboutIndex = f.find("index") != std::string::npos;
      if (!index.empty() && aboutIndex && f.find(index) == std::string::npos) continue;  // another index
      if (aboutIndex) indexFault = true;
      else throw Error::ora(1498);
    }
    if (indexFault) throw Error::ora(1499);
  }

  bool indexedAlready(const std::string& owner, const std::string& table, const std::vector<std::string>& columns) {
    Stmt s(db_, "SELECT index_owner, index_name, group_concat(column_name, ',') FROM (SELECT * FROM ind_columns "
                "WHERE table_owner=?1 AND table_name=?2 ORDER BY column_position) GROUP BY index_owner, index_name");
    s.bindAll(owner, table);
    std::string wanted;
    for (const auto& c : columns) wanted += (wanted.empty() ? "" : ",") + c;
    while (s.step())
      if (s.text(2) == wanted) return true;
    return false;
  }

  void createView(const CreateViewStmt& st) {
    auto [owner, name] = target(st.name);
    requirePrivilege(owner, "CREATE VIEW", "CREATE ANY VIEW");
    auto existing = cat_.findObject(owner, name);
    if (existing && (!st.orReplace || existing->type != "VIEW")) fail(955, st.name.pos);
    // The view's query must compile now, in the owner's schema and with the owner's rights.
    SelectStmt select;
    select.query = st.query;
    CompileContext ctx = compileContext();
    ctx.schema = owner;
    if (owner != s_.currentUser()) {
      ctx.user = owner;
      ctx.hasPrivilege = [this, owner](const std::string& p) { return owner == "SYS" || cat_.hasSystemPrivilege(owner, p); };
    }
    // The query's positions count from the start of the whole statement, so the compiler reads that text.
    // FORCE: a query that does not compile (its tables missing, no privilege yet) leaves the view INVALID.
    Compiled q;
    std::optional<Error> failure;
    try {
      q = compileStatement(select, ctx, text_);
      if (!st.columnAliases.empty() && st.columnAliases.size() != q.columns.size()) {
        throw Error::ora(st.columnAliases.size() < q.columns.size() ? 1730 : 1731);
      }
      std::set<std::string> seen;
      for (const auto& c : q.columns)
        if (!seen.insert(c.name).second && st.columnAliases.empty()) throw Error::ora(957);
    } catch (const Error& e) {
      if (!st.force) throw;
      failure = e;
    }
    std::int64_t id;
    if (existing) {
      id = existing->id;
      cat_.touchObject(id, now());
      Stmt(db_, "DELETE FROM columns WHERE object_id=?1").bindAll(id).step();
      Stmt(db_, "DELETE FROM views WHERE owner=?1 AND view_name=?2").bindAll(owner, name).step();
    } else {
      id = cat_.addObject(owner, name, "VIEW", now());
    }
    std::string aliases;
    for (const auto& a : st.columnAliases) aliases += (aliases.empty() ? "" : "\n") + a;
    Stmt insert(db_, "INSERT INTO views(owner, view_name, text, read_only, column_aliases) VALUES (?1, ?2, ?3, ?4, ?5)");
    insert.bindAll(owner, name, st.queryText, std::string(st.readOnly ? "Y" : "N"));
    bindText(insert, 5, aliases);
    insert.step();
    if (existing) cat_.invalidateDependants(owner, name);
    Stmt(db_, "DELETE FROM errors WHERE owner=?1 AND name=?2 AND type='VIEW'").bindAll(owner, name).step();
    if (failure) {
      Stmt(db_, "UPDATE objects SET status='INVALID' WHERE object_id=?1").bindAll(id).step();
      Stmt(db_, "INSERT INTO errors(owner, name, type, sequence, line, position, text, attribute, message_number) "
                "VALUES (?1, ?2, 'VIEW', 1, 0, 0, ?3, 'ERROR', ?4)")
          .bindAll(owner, name, failure->message(), static_cast<std::int64_t>(failure->code()))
          .step();
      cat_.setDependencies(owner, name, "VIEW", {});
      createdWithErrors_ = true;
      return;
    }
    cat_.setDependencies(owner, name, "VIEW", q.references);
    recordViewColumns(id, q.columns, st.columnAliases);
  }

  void createMView(const CreateMViewStmt& st) {
    auto [owner, name] = target(st.name);
    requirePrivilege(owner, "CREATE MATERIALIZED VIEW", "CREATE ANY MATERIALIZED VIEW");
    // Refreshes that run by themselves (ON COMMIT, START WITH / NEXT) are not done here.
    if (st.mode == "COMMIT" || st.scheduled) throw Error::ora(3001);
    CreateTableStmt table;
    table.name = st.name;
    table.asQuery = st.query;
    table.physical = st.physical;
    Compiled q = createTable(table, owner, !st.deferred);
    if (st.method == "FAST") {
      // Fast refresh reads materialized view logs, which no table has here.
      auto base = q.references.empty() ? std::make_pair(owner, name) : *q.references.begin();
      throw Error(23413, "ORA-23413: table \"" + base.first + "\".\"" + base.second +
                             "\" does not have a materialized view log");
    }
    cat_.addObject(owner, name, "MATERIALIZED VIEW", now());
    cat_.setDependencies(owner, name, "MATERIALIZED VIEW", q.references);
    Stmt insert(db_, "INSERT INTO mviews(owner, mview_name, query, refresh_mode, refresh_method, build_mode, "
                     "last_refresh_type, last_refresh_date) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    insert.bindAll(owner, name, st.queryText, st.mode, st.method, std::string(st.deferred ? "DEFERRED" : "IMMEDIATE"));
    bindText(insert, 7, st.deferred ? "" : "COMPLETE");
    bindText(insert, 8, st.deferred ? "" : now());
    insert.step();
  }

  void refreshMView(const std::string& owner, const std::string& name, const std::string& method) {
    Stmt s(db_, "SELECT query, refresh_method FROM mviews WHERE owner=?1 AND mview_name=?2");
    s.bindAll(owner, name);
    if (!s.step() || (owner != s_.currentUser() && !s_.hasPrivilege("ALTER ANY MATERIALIZED VIEW") &&
                      !s_.mayUse(owner, name, "SELECT")))
      throw Error(12003, "ORA-12003: materialized view \"" + owner + "\".\"" + name + "\" does not exist");
    std::string text = s.text(0), defined = s.text(1);
    s.reset();
    if (owner != s_.currentUser() && !s_.hasPrivilege("ALTER ANY MATERIALIZED VIEW")) throw Error::ora(1031);
    if (defined == "NEVER")
      throw Error(23538, "ORA-23538: cannot explicitly refresh a NEVER REFRESH materialized view (\"" + name + "\")");
    std::string m = method;
    for (auto& ch : m) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (m.empty()) m = defined == "COMPLETE" ? "C" : "?";
    if (m == "F")
      throw Error(12004, "ORA-12004: REFRESH FAST cannot be used for materialized view \"" + owner + "\".\"" + name + "\"");
    if (m != "C" && m != "?" && m != "A")
      throw Error(12048, "ORA-12048: error encountered while refreshing materialized view \"" + owner + "\".\"" + name + "\"");
    // A complete refresh: the query again, in its owner's schema.
    SelectStmt select;
    Parser p(text);
    select.query = p.parseQuery();
    CompileContext ctx = compileContext();
    ctx.schema = owner;
    Compiled q = compileStatement(select, ctx, text);
    exec(db_, "DELETE FROM " + tableRef(owner, name));
    exec(db_, "INSERT INTO " + tableRef(owner, name) + " SELECT * FROM (" + q.sql + ")");
    Stmt(db_, "UPDATE mviews SET last_refresh_type='COMPLETE', last_refresh_date=?3 WHERE owner=?1 AND mview_name=?2")
        .bindAll(owner, name, now())
        .step();
  }

  void sequence(const SequenceStmt& st) {
    auto [owner, name] = target(st.name);
    const SequenceOptions& o = st.options;
    if (o.increment == 0) throw Error(4002, "ORA-04002: INCREMENT must be a non-zero integer");
    if (st.kind == StmtKind::CreateSequence) {
      requirePrivilege(owner, "CREATE SEQUENCE", "CREATE ANY SEQUENCE");
      requireNewName(owner, name, st.name.pos);
      createSequence(owner, name, o);
      return;
    }
    if (isIdentitySequence(owner, name)) throw Error(32793, "ORA-32793: cannot alter a system-generated sequence");
    auto existing = cat_.findObject(owner, name, "SEQUENCE");
    if (!existing) fail(2289, st.name.pos);
    if (!s_.mayUse(owner, name, "ALTER") && !s_.hasPrivilege("ALTER ANY SEQUENCE")) {
      requireVisible(owner, name, st.name.pos);
      throw Error::ora(1031);
    }
    if (o.hasStart) throw Error(2283, "ORA-02283: cannot alter starting sequence number");
    forgetSequence(owner, name, o.hasIncrement ? std::optional<std::int64_t>(o.increment) : std::nullopt);
    auto set = [&](const char* column, std::int64_t value) {
      Stmt(db_, std::string("UPDATE sequences SET ") + column + "=?3 WHERE sequence_owner=?1 AND sequence_name=?2")
          .bindAll(owner, name, value)
          .step();
    };
    if (o.hasIncrement) set("increment_by", o.increment);
    if (o.hasMin) set("min_value", o.minValue);
    if (o.hasMax) set("max_value", o.maxValue);
    if (o.hasCache) set("cache_size", o.cache);
    if (o.hasCycle)
      Stmt(db_, "UPDATE sequences SET cycle_flag=?3 WHERE sequence_owner=?1 AND sequence_name=?2")
          .bindAll(owner, name, std::string(o.cycle ? "Y" : "N"))
          .step();
    cat_.touchObject(existing->id, now());
  }

  // Drops the database's cached state of a sequence; what was handed out stays handed out, and the
  // next value follows the last one by the (new) increment.
  void forgetSequence(const std::string& owner, const std::string& name,
                      std::optional<std::int64_t> newIncrement = std::nullopt) {
    auto last = s_.impl().forgetSequence(owner, name);
    if (!last) return;
    Stmt s(db_, "SELECT increment_by FROM sequences WHERE sequence_owner=?1 AND sequence_name=?2");
    s.bindAll(owner, name);
    std::int64_t increment = s.step() ? s.integer(0) : 1;
    s.reset();
    Stmt(db_, "UPDATE sequences SET last_number=?3 WHERE sequence_owner=?1 AND sequence_name=?2")
        .bindAll(owner, name, *last + newIncrement.value_or(increment))
        .step();
  }

  void createSynonym(const CreateSynonymStmt& st) {
    std::string owner, name;
    if (st.isPublic) {
      if (st.name.parts.size() != 1) fail(933, st.name.pos);
      owner = "PUBLIC";
      name = st.name.parts[0];
      requirePrivilege("", "", "CREATE PUBLIC SYNONYM");
    } else {
      std::tie(owner, name) = target(st.name);
      requirePrivilege(owner, "CREATE SYNONYM", "CREATE ANY SYNONYM");
    }
    auto [tOwner, tName] = target(st.target);
    auto existing = cat_.findObject(owner, name);
    if (existing) {
      if (!st.orReplace || existing->type != "SYNONYM") fail(955, st.name.pos);
      cat_.touchObject(existing->id, now());
      Stmt(db_, "DELETE FROM synonyms WHERE owner=?1 AND synonym_name=?2").bindAll(owner, name).step();
    } else {
      cat_.addObject(owner, name, "SYNONYM", now());
    }
    Stmt s(db_, "INSERT INTO synonyms(owner, synonym_name, table_owner, table_name, db_link) VALUES (?1,?2,?3,?4,?5)");
    s.bindAll(owner, name, tOwner, tName);
    if (!st.dbLink.empty()) s.bind(5, st.dbLink);
    s.step();
  }

  void comment(const CommentStmt& st) {
    Name tableName = st.target;
    std::string column;
    if (st.onColumn) {
      if (tableName.parts.size() < 2) fail(904, st.target.pos);
      column = tableName.parts.back();
      tableName.parts.pop_back();
    }
    auto [owner, name] = target(tableName);
    auto o = cat_.findObject(owner, name);
    if (!o || (o->type != "TABLE" && o->type != "VIEW")) fail(942, st.target.pos);
    requirePrivilege(owner, "", "COMMENT ANY TABLE");
    std::optional<std::string> text;
    if (!st.text.empty()) text = st.text;
    if (st.onColumn) {
      auto cols = cat_.columns(o->id);
      if (std::none_of(cols.begin(), cols.end(), [&](const ColumnInfo& c) { return c.name == column; }))
        fail(904, st.target.pos, "\"" + column + "\"");
      Stmt s(db_, "INSERT OR REPLACE INTO col_comments(owner, table_name, column_name, comments) VALUES (?1,?2,?3,?4)");
      s.bindAll(owner, name, column);
      if (text) s.bind(4, *text);
      s.step();
    } else {
      Stmt s(db_, "INSERT OR REPLACE INTO tab_comments(owner, table_name, comments) VALUES (?1,?2,?3)");
      s.bindAll(owner, name);
      if (text) s.bind(3, *text);
      s.step();
    }
  }

  void truncate(const TableStmt& st) {
    std::string owner;
    auto o = requireTable(st.table, &owner);
    requirePrivilege(owner, "", "DROP ANY TABLE");
    for (const auto& child : cat_.referencingConstraints(owner, o.name))
      if (child.enabled && !(child.owner == owner && child.table == o.name))
        throw Error(2266, "ORA-02266: unique/primary keys in table referenced by enabled foreign keys");
    exec(db_, "DELETE FROM " + tableRef(owner, o.name));
  }

  void lockTable(const TableStmt& st) {
    auto [owner, name] = target(st.table);
    auto o = cat_.findObject(owner, name, "TABLE");
    if (!o) fail(942, st.table.pos);
    // The owner, LOCK ANY TABLE, or an object privilege other than READ.
    bool allowed = owner == s_.currentUser() || s_.hasPrivilege("LOCK ANY TABLE");
    for (const char* p : {"LOCK", "INSERT", "UPDATE", "DELETE"}) allowed = allowed || s_.mayUse(owner, name, p);
    if (!allowed) {
      if (cat_.hasAnyObjectPrivilege(s_.currentUser(), owner, name)) throw Error::ora(1031);
      fail(942, st.table.pos);
    }
    s_.noteTableLock(owner, name, st.lockMode);
    s_.lockDatabase(st.noWait, false);
  }

  // ------------------------------------------------------------------------------------------------
  // Users, roles and grants

  // The contents (PERMANENT, TEMPORARY) of a tablespace; ORA-00959 when there is none of the name.
  std::string tablespaceContents(const std::string& name) {
    Stmt s(db_, "SELECT contents FROM tablespaces WHERE tablespace_name = ?1");
    s.bindAll(name);
    if (!s.step()) throw Error(959, "ORA-00959: tablespace '" + name + "' does not exist");
    return s.text(0);
  }

  // The tablespaces CREATE and ALTER USER name must exist and be of the kind their clause wants.
  void checkUserTablespaces(const UserStmt& st) {
    if (!st.defaultTablespace.empty() && tablespaceContents(st.defaultTablespace) == "TEMPORARY")
      throw Error(12910, "ORA-12910: cannot specify temporary tablespace as default tablespace");
    if (!st.temporaryTablespace.empty() && tablespaceContents(st.temporaryTablespace) != "TEMPORARY")
      throw Error(12911, "ORA-12911: permanent tablespace cannot be temporary tablespace");
    for (const auto& name : st.quotaTablespaces)
      if (tablespaceContents(name) == "TEMPORARY") throw Error(30041, "ORA-30041: Cannot grant quota on the tablespace");
  }

  void storeUserTablespaces(const UserStmt& st) {
    if (!st.defaultTablespace.empty())
      Stmt(db_, "UPDATE users SET default_tablespace=?2 WHERE username=?1").bindAll(st.name, st.defaultTablespace).step();
    if (!st.temporaryTablespace.empty())
      Stmt(db_, "UPDATE users SET temporary_tablespace=?2 WHERE username=?1").bindAll(st.name, st.temporaryTablespace).step();
  }

  void createTablespace(const CreateTablespaceStmt& st) {
    requirePrivilege("", "", "CREATE TABLESPACE");
    Stmt exists(db_, "SELECT 1 FROM tablespaces WHERE tablespace_name = ?1");
    exists.bindAll(st.name);
    if (exists.step()) throw Error(1543, "ORA-01543: tablespace '" + st.name + "' already exists");
    Stmt(db_, "INSERT INTO tablespaces(tablespace_name, contents, created) VALUES (?1, ?2, ?3)")
        .bindAll(st.name, std::string(st.temporary ? "TEMPORARY" : "PERMANENT"), now())
        .step();
  }

  void dropTablespace(const DropStmt& st) {
    const std::string& name = st.name.parts.back();
    requirePrivilege("", "", "DROP TABLESPACE");
    tablespaceContents(name);
    if (name == "SYSTEM") throw Error(1550, "ORA-01550: cannot drop system tablespace");
    if (name == "USERS") throw Error(12919, "ORA-12919: Can not drop the default permanent tablespace");
    if (name == "TEMP") throw Error(12906, "ORA-12906: cannot drop default temporary tablespace");
    Stmt(db_, "DELETE FROM tablespaces WHERE tablespace_name = ?1").bindAll(name).step();
  }

  void createUser(const UserStmt& st) {
    if (!s_.hasPrivilege("CREATE USER")) throw Error::ora(1031);
    if (cat_.findUser(st.name) || cat_.roleExists(st.name) || st.name == "PUBLIC")
      throw Error(1920, "ORA-01920: user name '" + st.name + "' conflicts with another user or role name");
    if (!st.hasPassword) throw Error::ora(988);
    checkUserTablespaces(st);
    std::int64_t id = cat_.meta("next_user_id", 100);
    cat_.setMeta("next_user_id", id + 1);
    PasswordDigests digests = digestPassword(st.name, st.password);
    Stmt(db_, "INSERT INTO users(user_id, username, password, password_ci, account_status, created) VALUES "
              "(?1,?2,?3,?4,?5,?6)")
        .bindAll(id, st.name, digests.exact, digests.folded, std::string(st.lock > 0 ? "LOCKED" : "OPEN"), now())
        .step();
    storeUserTablespaces(st);
  }

  void alterUser(const UserStmt& st) {
    auto user = cat_.findUser(st.name);
    if (!user) throw Error(1918, "ORA-01918: user '" + st.name + "' does not exist");
    bool ownPassword = st.name == s_.user() && st.lock == 0;
    if (!ownPassword && !s_.hasPrivilege("ALTER USER")) throw Error::ora(1031);
    checkUserTablespaces(st);
    storeUserTablespaces(st);
    if (st.hasPassword) {
      PasswordDigests digests = digestPassword(st.name, st.password);
      Stmt(db_, "UPDATE users SET password=?2, password_ci=?3 WHERE username=?1")
          .bindAll(st.name, digests.exact, digests.folded)
          .step();
    }
    if (st.lock > 0) Stmt(db_, "UPDATE users SET account_status='LOCKED', lock_date=?2 WHERE username=?1").bindAll(st.name, now()).step();
    if (st.lock < 0) Stmt(db_, "UPDATE users SET account_status='OPEN', lock_date=NULL WHERE username=?1").bindAll(st.name).step();
  }

  void dropUser(const DropStmt& st) {
    const std::string& name = st.name.parts[0];
    if (!cat_.findUser(name)) throw Error(1918, "ORA-01918: user '" + name + "' does not exist");
    if (!s_.hasPrivilege("DROP USER")) throw Error::ora(1031);
    if (name == s_.user()) throw Error(1940, "ORA-01940: cannot drop a user that is currently connected");
    Stmt count(db_, "SELECT count(*) FROM objects WHERE owner=?1");
    count.bindAll(name);
    count.step();
    std::int64_t owned = count.integer(0);
    count.reset();
    if (owned > 0 && !st.cascadeConstraints)
      throw Error(1922, "ORA-01922: CASCADE must be specified to drop '" + name + "'");
    // The schema's tables (with their indexes and constraint triggers) and the user's indexes on
    // other schemas' tables go in the same transaction as the dictionary rows.
    std::vector<std::string> drops;
    Stmt tables(db_, "SELECT name FROM main.sqlite_master WHERE type = 'table' AND substr(name, 1, length(?1)) = ?1");
    tables.bindAll(sqliteName(name, ""));
    while (tables.step()) drops.push_back("DROP TABLE " + quoteName(tables.text(0)));
    tables.reset();
    Stmt foreign(db_, "SELECT table_owner, index_name FROM indexes WHERE owner = ?1 AND table_owner <> ?1");
    foreign.bindAll(name);
    while (foreign.step()) drops.push_back("DROP INDEX IF EXISTS " + tableRef(foreign.text(0), "I$" + foreign.text(1)));
    foreign.reset();
    for (const auto& sql : drops) exec(db_, sql);
    for (const char* sql : {
             "DELETE FROM columns WHERE object_id IN (SELECT object_id FROM objects WHERE owner=?1)",
             "DELETE FROM objects WHERE owner=?1", "DELETE FROM constraints WHERE owner=?1",
             "DELETE FROM cons_columns WHERE owner=?1", "DELETE FROM indexes WHERE owner=?1 OR table_owner=?1",
             "DELETE FROM ind_columns WHERE index_owner=?1 OR table_owner=?1", "DELETE FROM views WHERE owner=?1",
             "DELETE FROM sequences WHERE sequence_owner=?1", "DELETE FROM synonyms WHERE owner=?1",
             "DELETE FROM tab_comments WHERE owner=?1", "DELETE FROM col_comments WHERE owner=?1",
             "DELETE FROM source WHERE owner=?1", "DELETE FROM errors WHERE owner=?1",
             "DELETE FROM tab_privs WHERE owner=?1 OR grantee=?1", "DELETE FROM sys_privs WHERE grantee=?1",
             "DELETE FROM role_privs WHERE grantee=?1", "DELETE FROM db_links WHERE owner=?1",
             "DELETE FROM users WHERE username=?1"})
      Stmt(db_, sql).bindAll(name).step();
  }

  void createDbLink(const CreateDbLinkStmt& st) {
    std::string owner = st.isPublic ? "PUBLIC" : s_.currentUser();
    requirePrivilege("", "", st.isPublic ? "CREATE PUBLIC DATABASE LINK" : "CREATE DATABASE LINK");
    if (cat_.dbLinkExists(owner, st.name) && (st.isPublic || !cat_.dbLinkExists("PUBLIC", st.name)))
      throw Error(2011, "ORA-02011: duplicate database link name");
    Stmt(db_, "INSERT INTO db_links(owner, db_link, username, host, created, password) VALUES (?1, ?2, ?3, ?4, ?5, ?6)")
        .bindAll(owner, st.name, st.user, st.host, now(), st.user.empty() ? std::string() : linkCredential(st.user, st.password))
        .step();
  }

  void dropDbLink(const DropStmt& st) {
    std::string name;
    for (const auto& p : st.name.parts) name += (name.empty() ? "" : ".") + p;
    std::string owner = st.objectType == "PUBLIC DATABASE LINK" ? "PUBLIC" : s_.currentUser();
    if (owner == "PUBLIC") requirePrivilege("", "", "DROP PUBLIC DATABASE LINK");
    Stmt(db_, "DELETE FROM db_links WHERE owner=?1 AND upper(db_link)=upper(?2)").bindAll(owner, name).step();
    if (sqlite3_changes(db_) == 0) throw Error(2024, "ORA-02024: database link not found");
  }

  // Directory objects belong to SYS; their creator may read and write them and grant both on.
  void createDirectory(const CreateDirectoryStmt& st) {
    requirePrivilege("", "", "CREATE ANY DIRECTORY");
    Stmt exists(db_, "SELECT 1 FROM directories WHERE directory_name = ?1");
    exists.bindAll(st.name);
    if (exists.step() && !st.orReplace) throw Error(955, "ORA-00955: name is already used by an existing object");
    Stmt(db_, "INSERT INTO directories(directory_name, directory_path, created) VALUES (?1, ?2, ?3) "
              "ON CONFLICT(directory_name) DO UPDATE SET directory_path = ?2")
        .bindAll(st.name, st.path, now())
        .step();
    if (s_.user() == "SYS") return;
    for (const char* p : {"READ", "WRITE"})
      Stmt(db_, "INSERT OR IGNORE INTO tab_privs(grantee, owner, table_name, grantor, privilege, grantable) "
                "VALUES (?1, 'SYS', ?2, 'SYS', ?3, 'YES')")
          .bindAll(s_.user(), st.name, std::string(p))
          .step();
  }

  void dropDirectory(const DropStmt& st) {
    const std::string& name = st.name.parts.back();
    requirePrivilege("", "", "DROP ANY DIRECTORY");
    Stmt(db_, "DELETE FROM directories WHERE directory_name = ?1").bindAll(name).step();
    if (sqlite3_changes(db_) == 0) fail(4043, st.name.pos, name);
    Stmt(db_, "DELETE FROM tab_privs WHERE owner = 'SYS' AND table_name = ?1 AND privilege IN ('READ', 'WRITE', 'EXECUTE')")
        .bindAll(name)
        .step();
  }

  // Application contexts belong to SYS; only the package named by USING may set their attributes
  // (DBMS_SESSION.SET_CONTEXT), whether or not it exists yet.
  void createContext(const CreateContextStmt& st) {
    requirePrivilege("", "", "CREATE ANY CONTEXT");
    std::string schema = st.package.parts.size() == 2 ? st.package.parts[0] : s_.currentSchema();
    Stmt exists(db_, "SELECT 1 FROM contexts WHERE namespace = ?1");
    exists.bindAll(st.name);
    if (exists.step() && !st.orReplace) throw Error(955, "ORA-00955: name is already used by an existing object");
    Stmt(db_, "INSERT INTO contexts(namespace, schema, package, created) VALUES (?1, ?2, ?3, ?4) "
              "ON CONFLICT(namespace) DO UPDATE SET schema = ?2, package = ?3")
        .bindAll(st.name, schema, st.package.parts.back(), now())
        .step();
  }

  void dropContext(const DropStmt& st) {
    const std::string& name = st.name.parts.back();
    requirePrivilege("", "", "DROP ANY CONTEXT");
    Stmt(db_, "DELETE FROM contexts WHERE namespace = ?1").bindAll(name).step();
    if (sqlite3_changes(db_) == 0) fail(4043, st.name.pos, name);
  }

  void directoryGrant(const GrantStmt& st, bool isGrant) {
    const std::string& name = st.object.parts.back();
    Stmt exists(db_, "SELECT 1 FROM directories WHERE directory_name = ?1");
    exists.bindAll(name);
    if (!exists.step()) fail(942, st.object.pos);
    std::vector<std::string> privileges;
    for (const auto& p : st.privileges) {
      if (p == "ALL") privileges.insert(privileges.end(), {"READ", "WRITE"});
      else if (p == "READ" || p == "WRITE" || p == "EXECUTE") privileges.push_back(p);
      else throw Error(22928, "ORA-22928: invalid privilege on directories");
    }
    for (const auto& p : privileges) {
      // Directories belong to SYS: see objectGrant for the grantor recorded.
      std::string grantor;
      if (s_.currentUser() == "SYS" || holdsGrantOption("SYS", name, p)) grantor = s_.currentUser();
      else if (s_.hasPrivilege("GRANT ANY OBJECT PRIVILEGE")) grantor = "SYS";
      if (grantor.empty()) throw Error::ora(1031);
      for (const auto& grantee : st.grantees) {
        if (isGrant) {
          Stmt(db_, "INSERT INTO tab_privs(grantee, owner, table_name, grantor, privilege, grantable) VALUES "
                    "(?1,'SYS',?2,?3,?4,?5) ON CONFLICT DO UPDATE SET grantable=?5")
              .bindAll(grantee, name, grantor, p, std::string(st.withOption ? "YES" : "NO"))
              .step();
        } else {
          revokeGranted(grantee, "SYS", name, p);
        }
      }
    }
  }

  void createRole(const UserStmt& st) {
    if (!s_.hasPrivilege("CREATE ROLE")) throw Error::ora(1031);
    if (cat_.findUser(st.name) || cat_.roleExists(st.name))
      throw Error(1921, "ORA-01921: role name '" + st.name + "' conflicts with another user or role name");
    Stmt(db_, "INSERT INTO roles(role) VALUES (?1)").bindAll(st.name).step();
    Stmt(db_, "INSERT INTO role_privs(grantee, granted_role, admin_option) VALUES (?1, ?2, 'YES')")
        .bindAll(s_.currentUser(), st.name)
        .step();
  }

  void grant(const GrantStmt& st) {
    bool isGrant = st.kind == StmtKind::Grant;
    for (const auto& grantee : st.grantees) {
      if (grantee != "PUBLIC" && !cat_.findUser(grantee) && !cat_.roleExists(grantee))
        throw Error(1917, "ORA-01917: user or role '" + grantee + "' does not exist");
    }
    if (st.onDirectory) return directoryGrant(st, isGrant);
    if (st.onObject) return objectGrant(st, isGrant);
    for (const auto& priv : st.privileges) {
      bool isRole = cat_.roleExists(priv);
      if (isRole) {
        bool allowed = s_.hasPrivilege("GRANT ANY ROLE") || adminOption("role_privs", "granted_role", priv);
        if (!allowed) throw Error::ora(1031);
      } else if (!s_.hasPrivilege("GRANT ANY PRIVILEGE") && !adminOption("sys_privs", "privilege", priv)) {
        throw Error::ora(1031);
      }
      if (!isRole && !knownSystemPrivilege(priv)) {
        // A single word that is no privilege names a role that does not exist.
        if (priv.find(' ') == std::string::npos) throw Error(1919, "ORA-01919: role '" + priv + "' does not exist");
        throw Error::ora(990);
      }
      for (const auto& grantee : st.grantees) {
        if (isRole) {
          if (isGrant) {
            // A grant adds the admin option but never takes it away: only REVOKE does.
            Stmt(db_, "INSERT INTO role_privs(grantee, granted_role, admin_option) VALUES (?1,?2,?3) ON CONFLICT DO "
                      "UPDATE SET admin_option=CASE WHEN ?3='YES' THEN 'YES' ELSE admin_option END")
                .bindAll(grantee, priv, std::string(st.withOption ? "YES" : "NO"))
                .step();
          } else if (!deleted("DELETE FROM role_privs WHERE grantee=?1 AND granted_role=?2", grantee, priv)) {
            throw Error(1951, "ORA-01951: ROLE '" + priv + "' not granted to '" + grantee + "'");
          }
        } else if (isGrant) {
          Stmt(db_, "INSERT INTO sys_privs(grantee, privilege, admin_option) VALUES (?1,?2,?3) ON CONFLICT DO UPDATE "
                    "SET admin_option=CASE WHEN ?3='YES' THEN 'YES' ELSE admin_option END")
              .bindAll(grantee, priv, std::string(st.withOption ? "YES" : "NO"))
              .step();
        } else if (!deleted("DELETE FROM sys_privs WHERE grantee=?1 AND privilege=?2", grantee, priv)) {
          throw Error(1952, "ORA-01952: system privileges not granted to '" + grantee + "'");
        }
      }
    }
  }

  bool deleted(const std::string& sql, const std::string& a, const std::string& b) {
    Stmt(db_, sql).bindAll(a, b).step();
    return sqlite3_changes(db_) > 0;
  }

  bool adminOption(const char* table, const char* column, const std::string& value) {
    Stmt s(db_, std::string("SELECT 1 FROM ") + table + " WHERE grantee=?1 AND " + column + "=?2 AND admin_option='YES'");
    s.bindAll(s_.currentUser(), value);
    return s.step();
  }

  static bool knownSystemPrivilege(const std::string& p) {
    static const std::set<std::string> extra = {"SYSDBA", "SYSOPER", "CREATE SESSION", "RESTRICTED SESSION",
                                                "UNLIMITED TABLESPACE", "ALTER SESSION", "ALTER SYSTEM"};
    if (extra.count(p)) return true;
    for (const char* verb : {"CREATE ", "ALTER ", "DROP ", "SELECT ", "INSERT ", "UPDATE ", "DELETE ", "EXECUTE ",
                             "LOCK ", "COMMENT ", "GRANT ", "BECOME ", "DEBUG ", "ANALYZE "})
      if (p.rfind(verb, 0) == 0) return true;
    return false;
  }

  void objectGrant(const GrantStmt& st, bool isGrant) {
    auto [owner, name] = target(st.object);
    auto o = cat_.findObject(owner, name);
    if (!o) fail(942, st.object.pos);
    if (o->type == "SYNONYM") {
      auto t = cat_.synonymTarget(owner, name);
      owner = (*t)[0];
      name = (*t)[1];
      o = cat_.findObject(owner, name);
      if (!o) fail(942, st.object.pos);
    }
    std::vector<std::string> privileges;
    for (const auto& p : st.privileges) {
      if (p == "ALL") {
        if (o->type == "SEQUENCE") privileges.insert(privileges.end(), {"ALTER", "SELECT"});
        else if (o->type == "VIEW") privileges.insert(privileges.end(), {"DELETE", "INSERT", "SELECT", "UPDATE"});
        else if (o->type == "TABLE")
          privileges.insert(privileges.end(), {"ALTER", "DELETE", "INDEX", "INSERT", "REFERENCES", "SELECT", "UPDATE"});
        else privileges.push_back("EXECUTE");
      } else {
        privileges.push_back(p);
      }
    }
    for (const auto& p : privileges) {
      // Each kind of object takes its own privileges.
      bool isUnit = o->type == "PROCEDURE" || o->type == "FUNCTION" || o->type == "PACKAGE" || o->type == "TYPE";
      if ((o->type == "TABLE" || o->type == "VIEW") && p == "EXECUTE") throw Error::ora(2224);
      if (o->type == "SEQUENCE" && p != "SELECT" && p != "ALTER") throw Error::ora(2205);
      if (isUnit && p != "EXECUTE" && p != "DEBUG") throw Error::ora(2225);
      // The grantor recorded: the owner, a holder of the grant option, or (GRANT ANY OBJECT
      // PRIVILEGE) the owner on whose behalf the grant is made.
      std::string grantor;
      if (owner == s_.currentUser() || holdsGrantOption(owner, name, p)) grantor = s_.currentUser();
      else if (s_.hasPrivilege("GRANT ANY OBJECT PRIVILEGE")) grantor = owner;
      if (grantor.empty()) {
        if (cat_.hasAnyObjectPrivilege(s_.currentUser(), owner, name)) {
          if (!isGrant) throw Error(1927, "ORA-01927: cannot REVOKE privileges you did not grant");
          throw Error::ora(1031);
        }
        fail(942, st.object.pos);
      }
      for (const auto& grantee : st.grantees) {
        if (isGrant) {
          Stmt(db_, "INSERT INTO tab_privs(grantee, owner, table_name, grantor, privilege, grantable) VALUES "
                    "(?1,?2,?3,?4,?5,?6) ON CONFLICT DO UPDATE SET grantable=?6")
              .bindAll(grantee, owner, name, grantor, p, std::string(st.withOption ? "YES" : "NO"))
              .step();
        } else {
          revokeGranted(grantee, owner, name, p);
        }
      }
    }
  }

  bool holdsGrantOption(const std::string& owner, const std::string& name, const std::string& privilege) {
    Stmt g(db_, "SELECT 1 FROM tab_privs WHERE grantee=?1 AND owner=?2 AND table_name=?3 AND privilege=?4 AND "
                "grantable='YES'");
    g.bindAll(s_.currentUser(), owner, name, privilege);
    return g.step();
  }

  // REVOKE takes back the grant the current user made; with GRANT ANY OBJECT PRIVILEGE, also one
  // made by (or on behalf of) the owner. Any other grant is not the user's to revoke.
  void revokeGranted(const std::string& grantee, const std::string& owner, const std::string& name,
                     const std::string& privilege) {
    if (revokeObjectPrivilege(grantee, owner, name, privilege, s_.currentUser())) return;
    if (owner != s_.currentUser() && s_.hasPrivilege("GRANT ANY OBJECT PRIVILEGE") &&
        revokeObjectPrivilege(grantee, owner, name, privilege, owner))
      return;
    throw Error(1927, "ORA-01927: cannot REVOKE privileges you did not grant");
  }

  // Revokes one grantor's grant of an object privilege. When the grantee is left without the
  // grant option, every grant of it the grantee made in turn goes too, as Oracle does.
  bool revokeObjectPrivilege(const std::string& grantee, const std::string& owner, const std::string& name,
                             const std::string& privilege, const std::string& grantor) {
    Stmt(db_, "DELETE FROM tab_privs WHERE grantee=?1 AND owner=?2 AND table_name=?3 AND privilege=?4 AND grantor=?5")
        .bindAll(grantee, owner, name, privilege, grantor)
        .step();
    if (sqlite3_changes(db_) == 0) return false;
    Stmt kept(db_, "SELECT 1 FROM tab_privs WHERE grantee=?1 AND owner=?2 AND table_name=?3 AND privilege=?4 AND "
                   "grantable='YES'");
    kept.bindAll(grantee, owner, name, privilege);
    if (kept.step()) return true;
    Stmt s(db_, "SELECT grantee FROM tab_privs WHERE grantor=?1 AND owner=?2 AND table_name=?3 AND privilege=?4");
    s.bindAll(grantee, owner, name, privilege);
    std::vector<std::string> further;
    while (s.step()) further.push_back(s.text(0));
    for (const auto& g : further)
      if (g != grantee) revokeObjectPrivilege(g, owner, name, privilege, grantee);
    return true;
  }

  // ------------------------------------------------------------------------------------------------
  // Session and system

  void alterSession(const AlterSessionStmt& st) {
    if (st.parameter == "NLS_DATE_FORMAT") {
      builtins::formatDate(DateTime{}, st.value);  // ORA-01821 for a format it does not know
      s_.context().nlsDateFormat = st.value;
    } else if (st.parameter == "NLS_TIMESTAMP_FORMAT") {
      DateTime probe;
      probe.precision = 6;
      builtins::formatDate(probe, st.value);
      s_.context().nlsTimestampFormat = st.value;
    } else if (st.parameter == "NLS_TIMESTAMP_TZ_FORMAT") {
      DateTime probe;
      probe.precision = 6;
      probe.zoned = true;
      builtins::formatDate(probe, st.value);
      s_.context().nlsTimestampTzFormat = st.value;
    } else if (st.parameter == "TIME_ZONE") {
      // An offset, LOCAL (the machine's), DBTIMEZONE or UTC; a region name is ORA-01882.
      std::string zone = st.value;
      for (auto& c : zone) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      s_.context().timeZoneMinutes = zone == "LOCAL"        ? builtins::localOffsetMinutes()
                                     : zone == "DBTIMEZONE" ? 0
                                                            : builtins::parseZone(st.value);
    } else if (st.parameter == "PLSQL_CCFLAGS") {
      plsql::parseCcflags(st.value);  // ORA-02097 for text that is not 'name:value, ...'
      s_.context().plsqlCcflags = st.value;
    } else if (st.parameter == "CURRENT_SCHEMA") {
      std::string schema = st.value;
      for (auto& c : schema) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (!cat_.findUser(schema)) throw Error(1435, "ORA-01435: user does not exist");
      s_.setCurrentSchema(schema);
    }
    // Other session parameters (NLS_LANGUAGE, OPTIMIZER_MODE, ...) are accepted and have no effect here.
  }

  void alterSystem(const AlterSystemStmt& st) {
    if (!s_.hasPrivilege("ALTER SYSTEM")) throw Error::ora(1031);
    if (st.restricted) {
      s_.impl().setRestricted(st.restricted > 0);
      return;
    }
    std::string name = st.parameter;
    for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    s_.impl().setParameter(name, st.value);
  }

  SessionImpl& s_;
  sqlite3* db_;
  catalog::Catalog& cat_;
  const std::string& text_;
};

}  // namespace

std::int64_t runStatement(SessionImpl& session, const sql::Statement& stmt, const std::string& text) {
  return Executor(session, text).run(stmt);
}

void refreshMaterializedView(SessionImpl& session, const std::string& owner, const std::string& name,
                             const std::string& method) {
  Executor(session, {}).refresh(owner, name, method);
}

std::string uniqueConstraintName(const catalog::Catalog& catalog, const std::string& owner, const std::string& table,
                                 const std::vector<std::string>& columns) {
  for (const auto& c : catalog.constraints(owner, table))
    if ((c.type == 'P' || c.type == 'U') && c.columns == columns) return owner + "." + c.name;
  Stmt s(catalog.db(), "SELECT owner, index_name FROM indexes WHERE table_owner=?1 AND table_name=?2 AND "
                       "uniqueness='UNIQUE' AND constraint_name IS NULL");
  s.bindAll(owner, table);
  while (s.step()) {
    Stmt cols(catalog.db(),
              "SELECT column_name FROM ind_columns WHERE index_owner=?1 AND index_name=?2 ORDER BY column_position");
    cols.bindAll(s.text(0), s.text(1));
    std::vector<std::string> names;
    while (cols.step()) names.push_back(cols.text(0));
    if (names == columns) return s.text(0) + "." + s.text(1);
  }
  return owner + "." + table;
}

}  // namespace engine::storage
