#include "engine/sql/compiler.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

#include "engine/builtins/functions.h"
#include "engine/catalog/dictionary.h"
#include "engine/sql/parser.h"
#include "engine/storage/sqlite_util.h"

namespace engine::sql {

using catalog::ColumnInfo;
using storage::quoteName;
using storage::tableRef;
using storage::quoteText;

const char* storageTypeOf(DataType type) {
  switch (type) {
    case DataType::Number: return "NUMERIC";
    case DataType::IntervalDaySecond:
    case DataType::IntervalYearMonth: return "INTEGER";  // nanoseconds, months
    case DataType::Blob:
    case DataType::Raw: return "BLOB";
    default: return "TEXT";
  }
}

namespace {

bool isText(DataType t) {
  return t == DataType::Varchar2 || t == DataType::Char || t == DataType::Long || t == DataType::Clob ||
         t == DataType::Rowid;
}

// One compiled expression: its SQLite text and Oracle type.
struct Typed {
  Typed() = default;
  Typed(std::string s, DataType t, std::string raw = {}) : sql(std::move(s)), type(t), rawRowid(std::move(raw)) {}
  std::string sql;
  DataType type = DataType::Unknown;
  std::string rawRowid;  // for ROWID: the SQLite rowid expression, to compare without decoding
  int fraction = -1;     // for TIMESTAMP and INTERVAL: its fractional digits (-1: the default)
  int leading = -1;      // for INTERVAL: the leading field's precision (-1: the default, 9)
  int zone = 0;          // for TIMESTAMP: 1 when the value carries its time zone (WITH TIME ZONE)
};

Typed zonedOf(std::string sql, int fraction) {
  Typed t(std::move(sql), DataType::Timestamp);
  t.fraction = fraction;
  t.zone = 1;
  return t;
}

// A TIMESTAMP column's time zone from its type's name: 1 WITH TIME ZONE, 2 WITH LOCAL TIME ZONE.
int zoneOfType(const std::string& typeName) {
  if (typeName.find("LOCAL TIME ZONE") != std::string::npos) return 2;
  return typeName.find("TIME ZONE") != std::string::npos ? 1 : 0;
}

Typed timestampOf(std::string sql, int fraction) {
  Typed t(std::move(sql), DataType::Timestamp);
  t.fraction = fraction;
  return t;
}

int digitsOf(const Typed& t) { return t.fraction >= 0 ? t.fraction : 6; }

bool isDatetime(DataType t) { return t == DataType::Date || t == DataType::Timestamp; }

// INTERVAL values are INTEGERs in SQLite: nanoseconds (DAY TO SECOND) or months (YEAR TO MONTH).
bool isInterval(DataType t) { return t == DataType::IntervalDaySecond || t == DataType::IntervalYearMonth; }

Typed intervalOf(std::string sql, DataType type, int leading, int fraction) {
  Typed t(std::move(sql), type);
  t.leading = leading;
  t.fraction = type == DataType::IntervalYearMonth ? 0 : fraction;
  return t;
}

// What an interval computed here shows: Oracle gives such results nine digits in each place.
int leadingOf(const Typed& t) { return t.leading >= 0 ? t.leading : 9; }
int intervalFractionOf(const Typed& t) {
  return t.type == DataType::IntervalYearMonth ? 0 : t.fraction >= 0 ? t.fraction : 9;
}

// The text Oracle shows for an interval: "+01 02:03:04.500000", "+02-03".
std::string intervalText(const Typed& v) {
  if (v.type == DataType::IntervalYearMonth) return "ora_ym_text(" + v.sql + ", " + std::to_string(leadingOf(v)) + ")";
  return "ora_ds_text(" + v.sql + ", " + std::to_string(leadingOf(v)) + ", " + std::to_string(intervalFractionOf(v)) + ")";
}

// A value given as text (or a bind) where an interval belongs, read as TO_DSINTERVAL / TO_YMINTERVAL do.
std::string intervalIn(const std::string& sql, DataType type) {
  return (type == DataType::IntervalDaySecond ? "ora_ds_in(" : "ora_ym_in(") + sql + ")";
}

void describeInterval(Column& c, const Typed& t) {
  if (!isInterval(t.type)) return;
  c.precision = leadingOf(t);
  c.scale = intervalFractionOf(t);
}

[[noreturn]] void fail(int code, const Position& at, const std::string& detail = {}) {
  Error e = Error::ora(code, detail, at.offset);
  throw Error(e.code(), e.message(), at.offset, at.line, at.column);
}

std::string quotedIdentifier(const Name& n) {
  std::string out;
  for (const auto& p : n.parts) {
    if (!out.empty()) out += '.';
    out += '"' + p + '"';
  }
  return out;
}

// A column a scope offers: its Oracle name and type, and how the SQL reaches it.
struct SourceColumn {
  SourceColumn(std::string n, Column m, std::string s = {}) : name(std::move(n)), meta(std::move(m)), sql(std::move(s)) {}
  std::string name;
  Column meta;
  std::string sql;  // how the SQL reaches it when not as <source alias>."NAME"
};

// One item of a FROM clause, as the names in its block see it.
struct Source {
  std::string alias;       // the Oracle name the block uses: alias, or table name
  std::string tableName;   // the table's own name (for schema.table.column)
  std::string owner;
  std::string sqlAlias;    // the alias in the emitted SQL
  std::vector<SourceColumn> columns;
  std::int64_t objectId = 0;  // base tables: ROWID is available
  bool isTable = false;
  std::string rowidSql;       // the SQLite rowid when not <source alias>.rowid
};

struct Scope {
  std::vector<Source> sources;
  const Scope* parent = nullptr;
  bool aggregateAllowed = true;
  bool inConnectBy = false;      // PRIOR allowed
  std::string priorAlias;        // the recursive CTE alias PRIOR refers to
  std::string levelSql;          // LEVEL in a hierarchical query
  std::string isLeafSql;         // CONNECT_BY_ISLEAF in a hierarchical query
  std::string isCycleSql;        // CONNECT_BY_ISCYCLE (with NOCYCLE) in a hierarchical query
  bool cycleUnsupported = false;  // CONNECT_BY_ISCYCLE over a source without rowids
  const std::map<const Expr*, std::string>* paths = nullptr;  // SYS_CONNECT_BY_PATH calls: their column
  const std::map<const Expr*, Typed>* roots = nullptr;         // CONNECT_BY_ROOT operands: their column
};

struct FunctionSpec {
  const char* sqlName;
  const char* args;   // per argument: N number, S text, D date, A any (last letter repeats)
  DataType result;    // Unknown: the type of the first argument that has one
  int minArgs, maxArgs;
};

const std::map<std::string, FunctionSpec>& functionTable() {
  using D = DataType;
  static const std::map<std::string, FunctionSpec> table = {
      {"NVL", {"ora_nvl", "A", D::Unknown, 2, 2}},
      {"NVL2", {"ora_nvl2", "A", D::Unknown, 3, 3}},
      {"COALESCE", {"ora_coalesce", "A", D::Unknown, 1, 255}},
      {"NULLIF", {"ora_nullif", "A", D::Unknown, 2, 2}},
      {"GREATEST", {"ora_greatest", "A", D::Unknown, 1, 255}},
      {"LEAST", {"ora_least", "A", D::Unknown, 1, 255}},
      {"TO_NUMBER", {"ora_to_number", "SS", D::Number, 1, 2}},
      {"TO_DATE", {"ora_to_date", "SS", D::Date, 1, 3}},
      {"TO_TIMESTAMP", {"ora_to_timestamp", "SS", D::Timestamp, 1, 3}},
      {"ADD_MONTHS", {"ora_add_months", "DN", D::Date, 2, 2}},
      {"MONTHS_BETWEEN", {"ora_months_between", "DD", D::Number, 2, 2}},
      {"LAST_DAY", {"ora_last_day", "D", D::Date, 1, 1}},
      {"NEXT_DAY", {"ora_next_day", "DS", D::Date, 2, 2}},
      {"SUBSTR", {"ora_substr", "SNN", D::Varchar2, 2, 3}},
      {"INSTR", {"ora_instr", "SSNN", D::Number, 2, 4}},
      {"LENGTH", {"ora_length", "S", D::Number, 1, 1}},
      {"HEXTORAW", {"ora_hextoraw", "A", D::Raw, 1, 1}},
      {"RAWTOHEX", {"ora_rawtohex", "A", D::Varchar2, 1, 1}},
      {"STANDARD_HASH", {"ora_standard_hash", "AS", D::Raw, 1, 2}},
      {"ORA_HASH", {"ora_hash", "ANN", D::Number, 1, 3}},
      {"TO_CLOB", {"ora_to_clob", "S", D::Clob, 1, 1}},
      {"TO_BLOB", {"ora_hextoraw", "A", D::Blob, 1, 1}},
      {"UPPER", {"ora_upper", "S", D::Varchar2, 1, 1}},
      {"LOWER", {"ora_lower", "S", D::Varchar2, 1, 1}},
      {"INITCAP", {"ora_initcap", "S", D::Varchar2, 1, 1}},
      {"LTRIM", {"ora_ltrim", "SS", D::Varchar2, 1, 2}},
      {"RTRIM", {"ora_rtrim", "SS", D::Varchar2, 1, 2}},
      {"TRIM", {"ora_trim", "S", D::Varchar2, 1, 1}},
      {"TRIM3", {"ora_trim3", "SSS", D::Varchar2, 3, 3}},
      {"LPAD", {"ora_lpad", "SNS", D::Varchar2, 2, 3}},
      {"RPAD", {"ora_rpad", "SNS", D::Varchar2, 2, 3}},
      {"REPLACE", {"ora_replace", "SSS", D::Varchar2, 2, 3}},
      {"TRANSLATE", {"ora_translate", "SSS", D::Varchar2, 3, 3}},
      {"CHR", {"ora_chr", "N", D::Varchar2, 1, 1}},
      {"ASCII", {"ora_ascii", "S", D::Number, 1, 1}},
      {"ABS", {"ora_abs", "N", D::Number, 1, 1}},
      {"MOD", {"ora_mod", "NN", D::Number, 2, 2}},
      {"FLOOR", {"ora_floor", "N", D::Number, 1, 1}},
      {"CEIL", {"ora_ceil", "N", D::Number, 1, 1}},
      {"POWER", {"ora_power", "NN", D::Number, 2, 2}},
      {"SIGN", {"ora_sign", "N", D::Number, 1, 1}},
      {"SQRT", {"ora_sqrt", "N", D::Number, 1, 1}},
      {"SIN", {"ora_sin", "N", D::Number, 1, 1}},
      {"COS", {"ora_cos", "N", D::Number, 1, 1}},
      {"TAN", {"ora_tan", "N", D::Number, 1, 1}},
      {"ASIN", {"ora_asin", "N", D::Number, 1, 1}},
      {"ACOS", {"ora_acos", "N", D::Number, 1, 1}},
      {"ATAN", {"ora_atan", "N", D::Number, 1, 1}},
      {"ATAN2", {"ora_atan2", "NN", D::Number, 2, 2}},
      {"SINH", {"ora_sinh", "N", D::Number, 1, 1}},
      {"COSH", {"ora_cosh", "N", D::Number, 1, 1}},
      {"TANH", {"ora_tanh", "N", D::Number, 1, 1}},
      {"BITAND", {"ora_bitand", "NN", D::Number, 2, 2}},
      {"USERENV", {"ora_userenv", "S", D::Varchar2, 1, 1}},
      {"SYS_CONTEXT", {"ora_sys_context", "SS", D::Varchar2, 2, 3}},
      {"DECODE", {"ora_decode", "A", D::Unknown, 3, 255}},
      {"REGEXP_LIKE", {"ora_regexp_like", "SSS", D::Boolean, 2, 3}},
      {"REGEXP_SUBSTR", {"ora_regexp_substr", "SSNNSN", D::Varchar2, 2, 6}},
      {"REGEXP_INSTR", {"ora_regexp_instr", "SSNNNSN", D::Number, 2, 7}},
      {"REGEXP_REPLACE", {"ora_regexp_replace", "SSSNNS", D::Varchar2, 2, 6}},
      {"REGEXP_COUNT", {"ora_regexp_count", "SSNS", D::Number, 2, 4}},
  };
  return table;
}

const std::set<std::string>& aggregateNames() {
  static const std::set<std::string> names = {"COUNT", "SUM", "AVG", "MIN", "MAX", "VARIANCE", "STDDEV", "LISTAGG"};
  return names;
}

// The heading Oracle gives an unaliased expression: its text in upper case without blanks
// (literals keep their case and blanks).
std::string headingOf(const std::string& text) {
  std::string out;
  bool inString = false;
  for (char c : text) {
    if (c == '\'') inString = !inString;
    if (inString || c == '\'') {
      out += c;
    } else if (!std::isspace(static_cast<unsigned char>(c))) {
      out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return out;
}

// Oracle's families for set operators: character, number, date.
int typeFamily(DataType t) {
  if (isText(t)) return 1;
  if (t == DataType::Number) return 2;
  if (t == DataType::Date || t == DataType::Timestamp) return 3;
  return 0;
}

bool containsOuterJoinMark(const Expr& e) {
  if (e.outerJoin) return true;
  for (const auto& a : e.args)
    if (a && containsOuterJoinMark(*a)) return true;
  return false;
}

bool containsAggregate(const Expr& e) {
  if (e.kind == ExprKind::Function && e.window) return false;
  if (e.kind == ExprKind::Function && e.name.parts.size() == 1 && aggregateNames().count(e.name.last())) return true;
  if (e.kind == ExprKind::Subquery || e.kind == ExprKind::Exists || e.kind == ExprKind::InSubquery) {
    return e.kind == ExprKind::InSubquery && e.args[0] && containsAggregate(*e.args[0]);
  }
  for (const auto& a : e.args)
    if (a && containsAggregate(*a)) return true;
  return false;
}

void splitConjuncts(const ExprPtr& e, std::vector<ExprPtr>& out) {
  if (e->kind == ExprKind::Binary && e->op == "AND") {
    splitConjuncts(e->args[0], out);
    splitConjuncts(e->args[1], out);
  } else {
    out.push_back(e);
  }
}

class Compiler {
 public:
  Compiler(const CompileContext& ctx, std::string_view text, Compiled& out) : ctx_(ctx), text_(text), out_(out) {}

  void compileSelect(const SelectStmt& s) {
    std::vector<Column> cols;
    out_.sql = query(*s.query, nullptr, cols);
    out_.conditionColumn = !cols.empty() && cols[0].type == DataType::Boolean;
    for (auto& c : cols)
      if (c.type == DataType::Unknown || c.type == DataType::Boolean) c.type = DataType::Varchar2;
    out_.columns = std::move(cols);
    out_.isQuery = true;
    out_.forUpdate = s.query->forUpdate;
    out_.noWait = s.query->noWait;
  }

  // Where an INSERT names its i-th column (the statement, when it names none).
  static Position columnAt(const InsertStmt& s, std::size_t i) { return i < s.columnPos.size() ? s.columnPos[i] : s.pos; }

  void compileInsert(const InsertStmt& s) {
    Source target = resolveTarget(s.table, "INSERT");
    std::vector<const SourceColumn*> cols;
    if (s.columns.empty()) {
      for (const auto& c : target.columns) cols.push_back(&c);
    } else {
      for (std::size_t i = 0; i < s.columns.size(); ++i) {
        const SourceColumn* c = findColumn(target, s.columns[i]);
        if (!c) fail(904, s.columnPos[i], "\"" + s.columns[i] + "\"");
        cols.push_back(c);
      }
    }
    std::string sql = "INSERT INTO " + targetSql_ + " (";
    std::vector<std::string> names;
    for (const auto* c : cols) names.push_back(quoteName(c->name));
    // Columns not named that have a default get it, compiled like any expression.
    std::vector<std::string> defaults;
    for (const auto& info : targetInfo_) {
      bool named = std::any_of(cols.begin(), cols.end(), [&](const SourceColumn* c) { return c->name == info.name; });
      if (named) continue;
      if (info.defaultText.empty()) {
        if (notNull_.count(info.name)) {
          names.push_back(quoteName(info.name));
          defaults.push_back(fit(Typed("NULL", info.type), target, info.name));
        }
        continue;
      }
      Parser p(info.defaultText);
      Scope empty;
      Typed d = expr(*p.parseExpr(), empty);
      names.push_back(quoteName(info.name));
      defaults.push_back(fit(coerce(d, info.type), target, info.name));
    }
    sql += join(names) + ") ";
    Scope scope;
    if (!s.values.empty()) {
      if (s.values.size() < cols.size()) fail(947, s.pos);
      if (s.values.size() > cols.size()) fail(913, s.values[cols.size()]->pos);
      std::vector<std::string> values;
      for (std::size_t i = 0; i < cols.size(); ++i) {
        Typed v = insertedValue(cols[i]->name, expr(*s.values[i], scope), columnAt(s, i));
        values.push_back(fit(coerce(v, cols[i]->meta.type, *s.values[i]), target, cols[i]->name));
      }
      for (auto& d : defaults) values.push_back(d);
      sql += "VALUES (" + join(values) + ")";
    } else {
      std::vector<Column> qcols;
      std::string q = query(*s.query, nullptr, qcols);
      if (qcols.size() < cols.size()) fail(947, s.query->pos);
      if (qcols.size() > cols.size()) fail(913, s.query->pos);
      std::vector<std::string> values;
      for (std::size_t i = 0; i < cols.size(); ++i) {
        Typed v = insertedValue(cols[i]->name, Typed{"q0." + quoteName(qcols[i].name), qcols[i].type}, columnAt(s, i));
        values.push_back(fit(coerce(v, cols[i]->meta.type), target, cols[i]->name));
      }
      for (auto& d : defaults) values.push_back(d);
      sql += "SELECT " + join(values) + " FROM (" + q + ") AS q0";
    }
    out_.sql = sql;
    returning(s.returning, target);
  }

  void compileUpdate(const UpdateStmt& s) {
    Source target = resolveTarget(s.table, "UPDATE");
    inUpdate_ = true;
    Scope scope;
    scope.sources.push_back(target);
    std::string sql = "UPDATE " + targetSql_ + " AS " +
                      target.sqlAlias + " SET ";
    std::vector<std::string> sets;
    for (const auto& a : s.sets) {
      std::vector<const SourceColumn*> cols;
      for (std::size_t i = 0; i < a.columns.size(); ++i) {
        const SourceColumn* c = findColumn(target, a.columns[i]);
        if (!c) fail(904, a.columnPos[i], "\"" + a.columns[i] + "\"");
        checkUpdatable(c->name, a.columnPos[i]);
        cols.push_back(c);
      }
      Typed v = expr(*a.value, scope);
      if (cols.size() == 1) {
        sets.push_back(quoteName(cols[0]->name) + " = " + fit(coerce(v, cols[0]->meta.type, *a.value), target, cols[0]->name));
      } else {
        std::vector<std::string> names;
        for (const auto* c : cols) names.push_back(quoteName(c->name));
        sets.push_back("(" + join(names) + ") = " + v.sql);
      }
    }
    sql += join(sets);
    if (s.where) sql += " WHERE " + dmlCondition(*s.where, scope, target);
    out_.sql = sql;
    returning(s.returning, target);
  }

  void compileDelete(const DeleteStmt& s) {
    Source target = resolveTarget(s.table, "DELETE");
    Scope scope;
    scope.sources.push_back(target);
    out_.sql = "DELETE FROM " + targetSql_ + " AS " + target.sqlAlias;
    if (s.where) out_.sql += " WHERE " + dmlCondition(*s.where, scope, target);
    returning(s.returning, target);
  }

  // RETURNING as SQLite's own clause: one result row per changed row, with the values after an
  // INSERT or UPDATE and before a DELETE. SQLite names the row there only by its table name.
  void returning(const ReturningClause& r, Source target) {
    if (r.values.empty()) return;
    // Rows changed in another database return nothing.
    if (!out_.targetLink.empty()) fail(22816, r.values[0]->pos);
    // One PL/SQL record may take all the values; PL/SQL checks its fields.
    bool recordTarget = ctx_.insidePlsql && r.into.size() == 1;
    if (r.into.size() > r.values.size()) fail(947, r.into[r.values.size()]->pos);
    if (r.into.size() < r.values.size() && !recordTarget) fail(913, r.values[r.into.size()]->pos);
    target.sqlAlias = tableRef(target.owner, target.tableName);
    target.rowidSql = "rowid";
    Scope scope;
    scope.sources.push_back(target);
    std::vector<std::string> values;
    for (const auto& v : r.values) {
      lastColumnMeta_ = nullptr;
      Typed t = expr(*v, scope);
      Column c;
      if (v->kind == ExprKind::Column && lastColumnMeta_) c = *lastColumnMeta_;
      c.name = v->kind == ExprKind::Column ? v->name.last() : "RETURNING" + std::to_string(values.size() + 1);
      c.type = t.type == DataType::Unknown ? DataType::Varchar2 : t.type;
      if (t.type == DataType::Timestamp) c.scale = digitsOf(t);
      describeInterval(c, t);
      out_.columns.push_back(c);
      values.push_back(t.sql);
    }
    out_.sql += " RETURNING " + join(values);
    // Plain SQL returns into out binds; PL/SQL assigns its own targets from the rows.
    for (const auto& t : r.into) {
      if (t->kind == ExprKind::Bind) {
        bind(*t);
        out_.returningInto.push_back(t->text);
      } else if (!ctx_.insidePlsql) {
        fail(904, t->pos, "\"" + (t->name.parts.empty() ? t->text : t->name.last()) + "\"");
      }
    }
  }

  // MERGE as SQLite's UPDATE ... FROM for the matched rows, then INSERT ... SELECT of the source rows
  // that match none: the ON condition may not change in between (Oracle forbids updating its columns).
  void compileMerge(const MergeStmt& s) {
    Source target = resolveTarget(s.target, s.sets.empty() ? "INSERT" : "UPDATE");
    if (!s.insertValues.empty() && !s.sets.empty()) {
      Resolved r{target.owner, target.tableName, "TABLE", target.objectId};
      if (out_.targetLink.empty()) {
        checked(r, "INSERT", s.target.pos);
      } else {
        CompileContext rc = remote(s.target.dbLink, s.target.pos);
        Compiled inner;
        Compiler(rc, text_, inner).checked(r, "INSERT", s.target.pos);
      }
    }
    Source source;
    std::string sourceSql = fromItem(s.source, nullptr, source);
    Scope scope;
    scope.sources.push_back(target);
    scope.sources.push_back(source);
    std::string on = condition(*s.on, scope);
    std::string table = targetSql_;
    std::string update, insert;
    if (!s.sets.empty()) {
      inUpdate_ = true;
      std::vector<std::string> sets;
      for (const auto& a : s.sets) {
        const SourceColumn* c = findColumn(target, a.columns[0]);
        if (!c) fail(904, a.columnPos[0], "\"" + a.columns[0] + "\"");
        checkUpdatable(c->name, a.columnPos[0]);
        if (on.find(target.sqlAlias + "." + quoteName(c->name)) != std::string::npos)
          throw Error(38104, "ORA-38104: Columns referenced in the ON Clause cannot be updated: \"" + target.alias +
                                 "\".\"" + c->name + "\"");
        sets.push_back(quoteName(c->name) + " = " + fit(coerce(expr(*a.value, scope), c->meta.type, *a.value), target, c->name));
      }
      update = "UPDATE " + table + " AS " + target.sqlAlias + " SET " + join(sets) + " FROM " + sourceSql + " WHERE " + on;
      if (s.updateWhere) update += " AND " + condition(*s.updateWhere, scope);
      inUpdate_ = false;
    }
    if (!s.insertValues.empty()) {
      std::vector<const SourceColumn*> cols;
      if (s.insertColumns.empty()) {
        for (const auto& c : target.columns) cols.push_back(&c);
      } else {
        for (std::size_t i = 0; i < s.insertColumns.size(); ++i) {
          const SourceColumn* c = findColumn(target, s.insertColumns[i]);
          if (!c) fail(904, s.insertColumnPos[i], "\"" + s.insertColumns[i] + "\"");
          cols.push_back(c);
        }
      }
      if (s.insertValues.size() < cols.size()) fail(947, s.pos);
      if (s.insertValues.size() > cols.size()) fail(913, s.insertValues[cols.size()]->pos);
      Scope sourceOnly;
      sourceOnly.sources.push_back(source);
      std::vector<std::string> names, values;
      for (std::size_t i = 0; i < cols.size(); ++i) {
        names.push_back(quoteName(cols[i]->name));
        Typed v = insertedValue(cols[i]->name, expr(*s.insertValues[i], sourceOnly),
                                i < s.insertColumnPos.size() ? s.insertColumnPos[i] : s.pos);
        values.push_back(fit(coerce(v, cols[i]->meta.type, *s.insertValues[i]), target, cols[i]->name));
      }
      for (const auto& info : targetInfo_) {
        bool named = std::any_of(cols.begin(), cols.end(), [&](const SourceColumn* c) { return c->name == info.name; });
        if (named || (!notNull_.count(info.name) && info.defaultText.empty())) continue;
        names.push_back(quoteName(info.name));
        if (info.defaultText.empty()) {
          values.push_back(fit(Typed("NULL", info.type), target, info.name));
        } else {
          Parser p(info.defaultText);
          Scope empty;
          values.push_back(fit(coerce(expr(*p.parseExpr(), empty), info.type), target, info.name));
        }
      }
      insert = "INSERT INTO " + table + " (" + join(names) + ") SELECT " + join(values) + " FROM " + sourceSql +
               " WHERE NOT EXISTS (SELECT 1 FROM " + table + " AS " + target.sqlAlias + " WHERE " + on + ")";
      if (s.insertWhere) insert += " AND " + condition(*s.insertWhere, sourceOnly);
    }
    out_.sql = update.empty() ? insert : update;
    if (!update.empty()) out_.nextSql = insert;
  }

  // The WHERE of UPDATE and DELETE; ROWNUM limits pick the rows by rowid in a subquery.
  std::string dmlCondition(const Expr& where, const Scope& scope, const Source& target) {
    std::vector<ExprPtr> conjuncts;
    splitConjuncts(std::make_shared<Expr>(where), conjuncts);
    std::string limit;
    std::vector<std::string> conditions;
    for (const auto& c : conjuncts)
      if (!rownumLimit(*c, scope, limit)) conditions.push_back(condition(*c, scope));
    std::string sql = conditions.empty() ? "1" : join(conditions, " AND ");
    if (limit.empty()) return sql;
    std::string table = targetSql_;
    return target.sqlAlias + ".rowid IN (SELECT " + target.sqlAlias + ".rowid FROM " + table + " AS " +
           target.sqlAlias + " WHERE " + sql + " LIMIT " + limit + ")";
  }

  const ColumnInfo* targetColumn(const std::string& name) const {
    for (const auto& c : targetInfo_)
      if (c.name == name) return &c;
    return nullptr;
  }

  // The value an INSERT writes to an identity column: a GENERATED ALWAYS column takes none
  // (ORA-32795); BY DEFAULT ON NULL takes the sequence's next value in place of NULL.
  Typed insertedValue(const std::string& column, Typed v, const Position& at) {
    const ColumnInfo* info = targetColumn(column);
    if (!info || info->identity.empty() || ctx_.rowWrite) return v;
    if (info->identity == "ALWAYS") fail(32795, at);
    if (!info->defaultOnNull) return v;
    Parser p(info->defaultText);
    Scope empty;
    Typed next = expr(*p.parseExpr(), empty);
    return Typed("coalesce(" + v.sql + ", " + next.sql + ")", v.type);
  }

  // An UPDATE may not set a GENERATED ALWAYS identity column (ORA-32796).
  void checkUpdatable(const std::string& column, const Position& at) {
    const ColumnInfo* info = targetColumn(column);
    if (info && info->identity == "ALWAYS" && !ctx_.rowWrite) fail(32796, at);
  }

  // Makes a value fit its column as Oracle stores it: numbers rounded to the scale and checked against
  // the precision (ORA-01438), text checked against the length (ORA-12899), CHAR padded.
  std::string fit(const Typed& v, const Source& target, const std::string& column) {
    const ColumnInfo* info = nullptr;
    for (const auto& c : targetInfo_)
      if (c.name == column) info = &c;
    if (!info) return v.sql;
    std::string where = quoteText("\"" + target.owner + "\".\"" + target.tableName + "\".\"" + column + "\"");
    if (notNull_.count(column)) {
      Typed fitted(fitValue(v, info, where), v.type);
      return "nuvo_not_null(" + fitted.sql + ", " + (inUpdate_ ? "1407" : "1400") + ", " + where + ")";
    }
    return fitValue(v, info, where);
  }

  std::string fitValue(const Typed& v, const ColumnInfo* infoPtr, const std::string& where) {
    const ColumnInfo* info = infoPtr;
    if (v.sql == "NULL") return v.sql;
    if (info->type == DataType::Number && info->typeName == "NUMBER") {
      std::string sql = v.sql;
      if (info->hasScale) sql = "ora_round_num(" + sql + ", " + std::to_string(info->scale) + ")";
      if (info->hasPrecision)
        sql = "nuvo_fit_num(" + sql + ", " + std::to_string(info->precision) + ", " + std::to_string(info->scale) + ")";
      return sql;
    }
    if (info->type == DataType::Timestamp) {
      // Rounded to the column's fractional digits, unless the value cannot have more.
      // WITH TIME ZONE keeps the value's offset (the session's for a plain value); WITH LOCAL TIME
      // ZONE stores the instant in UTC.
      std::string sql = v.sql;
      if (!(v.type == DataType::Date || (v.type == DataType::Timestamp && v.fraction >= 0 && v.fraction <= info->scale)))
        sql = "ora_ts_fit(" + v.sql + ", " + std::to_string(info->scale) + ")";
      int zone = zoneOfType(info->typeName);
      if (zone == 1 && v.zone == 0) return "ora_tz_attach(" + sql + ")";
      if (zone == 0 && v.zone == 1) return "ora_tz_strip(" + sql + ")";
      if (zone == 2) return "ora_tz_to_db(" + sql + ")";
      return sql;
    }
    if (isInterval(info->type)) {
      // Text (or a bind) goes in as TO_DSINTERVAL / TO_YMINTERVAL read it; fractions are rounded to
      // the column's digits and the leading field checked against its precision (ORA-01873).
      if ((isInterval(v.type) && v.type != info->type) || v.type == DataType::Number || isDatetime(v.type))
        throw Error::ora(932, "inconsistent datatypes: expected " + std::string(dataTypeName(info->type)) + " got " +
                                  dataTypeName(v.type));
      std::string in = isInterval(v.type) ? v.sql : intervalIn(v.sql, info->type);
      if (info->type == DataType::IntervalYearMonth) return "ora_ym_fit(" + in + ", " + std::to_string(info->precision) + ")";
      return "ora_ds_fit(" + in + ", " + std::to_string(info->precision) + ", " + std::to_string(info->scale) + ")";
    }
    if (info->type == DataType::Raw) {
      // Text (or a bind of unknown type) goes in as hex digits; the length counts bytes.
      std::string sql = v.type == DataType::Raw || v.type == DataType::Blob ? v.sql : "ora_hextoraw(" + v.sql + ")";
      if (info->length <= 0) return sql;
      return "nuvo_fit_raw(" + sql + ", " + std::to_string(info->length) + ", " + where + ")";
    }
    if (info->type == DataType::Blob && isText(v.type)) return "ora_hextoraw(" + v.sql + ")";
    if ((info->type == DataType::Varchar2 || info->type == DataType::Char) && info->length > 0) {
      int max = info->charUsed ? info->charLength : info->length;
      return "nuvo_fit_text(" + v.sql + ", " + std::to_string(max) + ", " + (info->type == DataType::Char ? "1" : "0") +
             ", " + (info->charUsed ? "1" : "0") + ", " + where + ")";
    }
    return v.sql;
  }

  std::string tableExpr(const Expr& e, const std::vector<ColumnInfo>& columns, const std::string& prefix) {
    Scope scope;
    Source src;
    src.sqlAlias = prefix;
    for (const auto& c : columns) src.columns.push_back({c.name, columnMeta(c)});
    scope.sources.push_back(src);
    return expr(e, scope).sql;
  }

 private:
  static std::string join(const std::vector<std::string>& parts, const char* sep = ", ") {
    std::string out;
    for (const auto& p : parts) {
      if (!out.empty()) out += sep;
      out += p;
    }
    return out;
  }

  static Column columnMeta(const ColumnInfo& c) {
    Column m;
    m.name = c.name;
    m.type = c.type;
    m.size = c.length;
    m.precision = c.precision;
    m.scale = c.scale;
    m.nullable = c.nullable;
    if (c.type == DataType::Timestamp) m.zone = zoneOfType(c.typeName);
    return m;
  }

  std::string newAlias() { return "q" + std::to_string(++aliasCounter_); }

  static const SourceColumn* findColumn(const Source& s, const std::string& name) {
    for (const auto& c : s.columns)
      if (c.name == name) return &c;
    return nullptr;
  }

  // ------------------------------------------------------------------------------------------------
  // Name resolution of tables

  struct Resolved {
    std::string owner, name, type;
    std::int64_t id = 0;
    bool dictionary = false;
  };

  // Resolves schema.name or name to a table, view or dictionary view, following synonyms.
  Resolved resolveObject(const Name& n, const std::string& privilege) {
    std::string owner, name = n.last();
    if (n.parts.size() > 2) fail(942, n.pos);
    if (n.parts.size() == 2) owner = n.parts[0];
    bool viaSynonym = false;
    for (int depth = 0; depth < 10; ++depth) {
      if (!owner.empty()) {
        if (auto o = ctx_.catalog->findObject(owner, name)) {
          if (o->type == "SYNONYM") {
            auto t = ctx_.catalog->synonymTarget(owner, name);
            if (!(*t)[2].empty()) remote((*t)[2], n.pos);
            owner = (*t)[0];
            name = (*t)[1];
            viaSynonym = true;
            continue;
          }
          return checked({o->owner, o->name, o->type, o->id}, privilege, n.pos);
        }
        if (owner == "SYS" || owner == "PUBLIC") {
          if (name == "DUAL") return {"SYS", "DUAL", "DUAL", 0, false};
          if (catalog::findDictionaryView(name)) return dictionary(name, n.pos);
        }
        if (viaSynonym) fail(980, n.pos);
        fail(942, n.pos);
      }
      // Unqualified: the current schema, then a public synonym, then the dictionary.
      if (auto o = ctx_.catalog->findObject(ctx_.schema, name)) {
        owner = ctx_.schema;
        continue;
      }
      if (auto t = ctx_.catalog->synonymTarget("PUBLIC", name)) {
        owner = (*t)[0];
        name = (*t)[1];
        viaSynonym = true;
        continue;
      }
      if (name == "DUAL") return {"SYS", "DUAL", "DUAL", 0, false};
      if (catalog::findDictionaryView(name)) return dictionary(name, n.pos);
      fail(942, n.pos);
    }
    fail(1775, n.pos);
  }

  // The context of the database behind a link; without a way to reach one, a link that exists leads
  // nowhere (ORA-12154).
  CompileContext remote(const std::string& link, const Position& pos) {
    if (!ctx_.remote) {
      if (ctx_.catalog->dbLinkExists(ctx_.user, link)) fail(12154, pos);
      fail(2019, pos);
    }
    std::string key;
    for (char c : link) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    out_.links.insert(key);
    try {
      CompileContext rc = ctx_.remote(link);
      rc.literals = nullptr;
      rc.bindTests = false;
      rc.insidePlsql = ctx_.insidePlsql;
      rc.resolveExternal = ctx_.resolveExternal;
      return rc;
    } catch (const Error& e) {
      fail(e.code(), pos);
    }
  }

  // A table or view of a schema, in the SQLite schema that holds it.
  std::string storedRef(const std::string& owner, const std::string& name) const {
    return (ctx_.attached.empty() ? "" : quoteName(ctx_.attached) + ".") + tableRef(owner, name);
  }

  // DBA_ views need SELECT ANY DICTIONARY (the DBA role has it).
  Resolved dictionary(const std::string& name, const Position& pos) {
    if (catalog::findDictionaryView(name)->needsDba && ctx_.hasPrivilege && !ctx_.hasPrivilege("SELECT ANY DICTIONARY"))
      fail(942, pos);
    return {"SYS", name, "VIEW", 0, true};
  }

  Resolved checked(Resolved r, const std::string& privilege, const Position& pos) {
    if (r.type != "TABLE" && r.type != "VIEW" && r.type != "SEQUENCE") fail(942, pos);
    if (r.owner == ctx_.user || !ctx_.mayUse || ctx_.mayUse(ctx_.user, r.owner, r.name, privilege)) {
      out_.references.insert({r.owner, r.name});
      return r;
    }
    // Some grant on the object makes it visible: the missing one is then "insufficient privileges".
    if (ctx_.catalog->hasAnyObjectPrivilege(ctx_.user, r.owner, r.name) ||
        (privilege != "SELECT" && ctx_.mayUse(ctx_.user, r.owner, r.name, "SELECT")))
      fail(1031, pos);
    fail(942, pos);
  }

  Source resolveTarget(const TableRef& ref, const std::string& privilege) {
    if (ref.subquery) fail(903, ref.pos);
    if (ref.collection) fail(3001, ref.pos);
    if (!ref.dbLink.empty()) {
      // A table over a link: resolved, checked and described by the other database as the link's
      // user; the statement writes it in the SQLite schema the other database is attached as.
      CompileContext rc = remote(ref.dbLink, ref.pos);
      Compiled inner;
      Compiler sub(rc, text_, inner);
      sub.aliasCounter_ = aliasCounter_ + 1000;
      TableRef there = ref;
      there.dbLink.clear();
      Source s = sub.resolveTarget(there, privilege);
      aliasCounter_ = sub.aliasCounter_;
      // The other database's triggers would have to run in its own session: not done here.
      if (rc.catalog->hasTriggers(s.owner, s.tableName)) fail(3001, ref.pos);
      targetInfo_ = std::move(sub.targetInfo_);
      notNull_ = std::move(sub.notNull_);
      targetSql_ = sub.targetSql_;
      std::string link;
      for (char c : ref.dbLink) link += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      out_.targetLink = link;
      out_.targetOwner = s.owner;
      out_.targetTable = s.tableName;
      return s;
    }
    Resolved r = resolveObject(ref.table, privilege);
    if (r.type == "VIEW" && !r.dictionary && ctx_.catalog->viewReadOnly(r.owner, r.name)) fail(42399, ref.pos);
    if (r.type != "TABLE") fail(r.dictionary ? 1031 : 1732, ref.pos);
    // A materialized view's rows change only by its refresh.
    if (ctx_.catalog->findObject(r.owner, r.name, "MATERIALIZED VIEW")) fail(1732, ref.pos);
    Source s = tableSource(r, ref.alias);
    targetInfo_ = ctx_.catalog->columns(r.id);
    // NOT NULL constraints (and primary keys) that are enabled are checked by the DML itself.
    for (const auto& c : ctx_.catalog->constraints(r.owner, r.name)) {
      if (!c.enabled) continue;
      if (c.type == 'P') notNull_.insert(c.columns.begin(), c.columns.end());
      if (c.type == 'C' && c.columns.size() == 1 && c.searchCondition == "\"" + c.columns[0] + "\" IS NOT NULL")
        notNull_.insert(c.columns[0]);
    }
    out_.targetOwner = r.owner;
    out_.targetTable = r.name;
    targetSql_ = storedRef(r.owner, r.name);
    return s;
  }

  Source tableSource(const Resolved& r, const std::string& alias) {
    Source s;
    s.owner = r.owner;
    s.tableName = r.name;
    s.alias = alias.empty() ? r.name : alias;
    s.sqlAlias = newAlias();
    s.objectId = r.id;
    s.isTable = true;
    for (const auto& c : ctx_.catalog->columns(r.id)) s.columns.push_back({c.name, columnMeta(c)});
    planSource(s.sqlAlias, r.owner, r.name, s.alias, "TABLE");
    return s;
  }

  void planSource(const std::string& sqlAlias, const std::string& owner, const std::string& name,
                  const std::string& alias, const char* type) {
    int instance = static_cast<int>(out_.planSources.size()) + 1;
    out_.planSources[sqlAlias] = {owner, name, alias, type, instance};
  }

  // The sources a nested compilation (a view's query, a table over a link) read, as this statement's.
  void adoptPlanSources(const Compiled& inner) {
    for (const auto& [sqlAlias, source] : inner.planSources)
      if (!out_.planSources.count(sqlAlias)) planSource(sqlAlias, source.owner, source.name, source.alias, source.type.c_str());
  }

  // A FROM item: its SQL and the source it adds to the scope.
  std::string fromItem(const TableRef& ref, const Scope* outer, Source& src) {
    if (ref.pivot) return pivotItem(ref, outer, src);
    if (!ref.dbLink.empty()) {
      // Names over the link resolve in the other database, with the link user's rights.
      CompileContext rc = remote(ref.dbLink, ref.pos);
      Compiled inner;
      Compiler sub(rc, text_, inner);
      sub.aliasCounter_ = aliasCounter_ + 1000;
      TableRef there = ref;
      there.dbLink.clear();
      std::string sql = sub.fromItem(there, nullptr, src);
      aliasCounter_ = sub.aliasCounter_;
      adoptPlanSources(inner);
      return sql;
    }
    if (ref.collection) {
      // The rows of a collection: its JSON text read by json_each, in element order.
      std::optional<CompileContext::CollectionRows> rows;
      std::string cast;
      if (isMultiset(*ref.collection)) {
        Scope none;
        none.parent = outer;
        rows.emplace();
        cast = multiset(*ref.collection, none, &*rows).sql;
      } else if (ctx_.resolveCollection) {
        rows = ctx_.resolveCollection(*ref.collection);
      }
      if (!rows) {
        // Not a collection: a name or call nobody knows is ORA-00904, anything else ORA-22905.
        Scope none;
        none.parent = outer;
        expr(*ref.collection, none);
        fail(22905, ref.collection->pos);
      }
      std::string source = cast;
      if (!cast.empty()) {
      } else if (!rows->source.bind.empty()) {
        Expr b;
        b.kind = ExprKind::Bind;
        b.text = rows->source.bind;
        source = bind(b).sql;
      } else {
        Scope none;
        none.parent = outer;
        source = rows->source.function;
        for (const auto& a : ref.collection->args) source += ", " + expr(*a, none).sql;
        source += ")";
      }
      std::string cols;
      for (std::size_t i = 0; i < rows->columns.size(); ++i) {
        const Column& c = rows->columns[i];
        std::string value = rows->objects ? "json_extract(value, '$[" + std::to_string(i) + "]')" : "value";
        cols += (i ? ", " : "") + value + " AS " + quoteName(c.name);
        src.columns.push_back({c.name, c});
      }
      src.alias = ref.alias;
      src.sqlAlias = newAlias();
      return "(SELECT " + cols + " FROM json_each(" + source + ")) AS " + src.sqlAlias;
    }
    if (ref.subquery) {
      std::vector<Column> cols;
      std::string sql = "(" + query(*ref.subquery, outer, cols) + ")";
      src.alias = ref.alias;
      src.sqlAlias = newAlias();
      planSource(src.sqlAlias, "", "", ref.alias, "VIEW");
      if (const auto& b = ref.subquery->block) {
        out_.planSources[src.sqlAlias].grouped = !b->groupBy.empty();
        out_.planSources[src.sqlAlias].distinct = b->distinct;
      }
      for (auto& c : cols) src.columns.push_back({c.name, c});
      return sql + " AS " + src.sqlAlias;
    }
    if (ref.table.parts.size() == 1) {
      for (auto it = ctes_.rbegin(); it != ctes_.rend(); ++it) {
        if (it->name != ref.table.parts[0]) continue;
        src.alias = ref.alias.empty() ? it->name : ref.alias;
        src.tableName = it->name;
        src.sqlAlias = newAlias();
        planSource(src.sqlAlias, "", it->name, src.alias, "VIEW");
        for (const auto& c : it->columns) src.columns.push_back({c.name, c});
        return it->sqlName + " AS " + src.sqlAlias;
      }
    }
    bool plainDual = ref.table.parts.size() == 1 && ref.table.parts[0] == "DUAL";
    Resolved r = plainDual ? Resolved{"SYS", "DUAL", "DUAL", 0, false} : resolveObject(ref.table, locking_ ? "LOCK" : "SELECT");
    if (r.type == "DUAL") {
      src.alias = ref.alias.empty() ? ref.table.last() : ref.alias;
      src.tableName = "DUAL";
      src.sqlAlias = newAlias();
      planSource(src.sqlAlias, "SYS", "DUAL", src.alias, "DUAL");
      Column dummy;
      dummy.name = "DUMMY";
      dummy.type = DataType::Varchar2;
      dummy.size = 1;
      src.columns.push_back({"DUMMY", dummy});
      return "(SELECT 'X' AS \"DUMMY\") AS " + src.sqlAlias;
    }
    if (r.dictionary) {
      const catalog::DictionaryView* view = catalog::findDictionaryView(r.name);
      bool sessionState = view->instanceState || view->sql.find("nuvo_") != std::string::npos;
      // Over a link, a view that reads the session's state answers for the link's user in the other
      // database (nuvo_link_view runs it there, as rows in JSON); one that reads the instance (V$
      // views of sessions, jobs, pipes) is not offered.
      if (!ctx_.link.empty() && sessionState && !catalog::answersOverLink(*view)) fail(3001, ref.pos);
      src.alias = ref.alias.empty() ? r.name : ref.alias;
      src.tableName = r.name;
      src.owner = "SYS";
      src.sqlAlias = newAlias();
      planSource(src.sqlAlias, "SYS", r.name, src.alias, "VIEW");
      for (const auto& c : view->columns) src.columns.push_back({c.name, c});
      if (!ctx_.link.empty() && sessionState) {
        std::vector<std::string> cols;
        for (std::size_t i = 0; i < view->columns.size(); ++i)
          cols.push_back("json_extract(value, '$[" + std::to_string(i) + "]') AS " + quoteName(view->columns[i].name));
        return "(SELECT " + join(cols) + " FROM json_each(nuvo_link_view(" + quoteText(ctx_.link) + ", " +
               quoteText(view->name) + "))) AS " + src.sqlAlias;
      }
      if (view->instanceState) return catalog::instanceViewSql(*view) + " AS " + src.sqlAlias;
      return quoteName(ctx_.attached.empty() ? "main" : ctx_.attached) + "." + quoteName(view->name) + " AS " + src.sqlAlias;
    }
    if (r.type == "VIEW") {
      auto text = ctx_.catalog->viewText(r.owner, r.name);
      Parser p(*text);
      QueryPtr q = p.parseQuery();
      // The view's names resolve in its owner's schema, with its owner's rights.
      CompileContext viewCtx = ctx_;
      viewCtx.literals = nullptr;
      viewCtx.schema = r.owner;
      viewCtx.user = r.owner;
      Compiled inner;
      Compiler sub(viewCtx, *text, inner);
      sub.aliasCounter_ = aliasCounter_ + 1000;
      std::vector<Column> cols;
      std::string sql;
      try {
        sql = sub.query(*q, nullptr, cols);
      } catch (const Error&) {
        throw Error(4063, "ORA-04063: view \"" + r.owner + "." + r.name + "\" has errors");
      }
      if (ctx_.viewCompiled && ctx_.attached.empty()) {
        auto object = ctx_.catalog->findObject(r.owner, r.name, "VIEW");
        if (object && object->status == "INVALID") ctx_.viewCompiled(r.owner, r.name, inner.references);
      }
      aliasCounter_ = sub.aliasCounter_;
      out_.links.insert(inner.links.begin(), inner.links.end());
      auto stored = ctx_.catalog->columns(r.id);
      src.alias = ref.alias.empty() ? r.name : ref.alias;
      src.tableName = r.name;
      src.owner = r.owner;
      src.sqlAlias = newAlias();
      planSource(src.sqlAlias, r.owner, r.name, src.alias, "VIEW");
      adoptPlanSources(inner);
      std::vector<std::string> renamed;
      for (std::size_t i = 0; i < cols.size(); ++i) {
        Column c = cols[i];
        if (i < stored.size()) c.name = stored[i].name;
        renamed.push_back("v." + quoteName(cols[i].name) + " AS " + quoteName(c.name));
        src.columns.push_back({c.name, c});
      }
      return "(SELECT " + join(renamed) + " FROM (" + sql + ") AS v) AS " + src.sqlAlias;
    }
    src = tableSource(r, ref.alias);
    return storedRef(r.owner, r.name) + " AS " + src.sqlAlias;
  }

  static void collectColumnNames(const Expr& e, std::set<std::string>& out) {
    if (e.kind == ExprKind::Column) out.insert(e.name.last());
    for (const auto& a : e.args)
      if (a) collectColumnNames(*a, out);
  }

  // PIVOT and UNPIVOT: the FROM item is compiled as it stands and the clause becomes an inline view
  // over its columns. PIVOT groups by the columns neither the aggregates nor FOR name, with one
  // aggregate of CASE WHEN for_column = value THEN argument END per value and aggregate. UNPIVOT
  // joins each row with the numbers of the IN columns, row by row, and picks the column by number.
  std::string pivotItem(const TableRef& ref, const Scope* outer, Source& src) {
    TableRef base = ref;
    base.pivot.reset();
    base.alias.clear();
    Scope inner;
    inner.parent = outer;
    inner.sources.emplace_back();
    std::string from = fromItem(base, outer, inner.sources.back());
    const Source& s0 = inner.sources.back();
    const PivotClause& p = *ref.pivot;
    InlineLiterals keep(*this);
    auto columnSql = [&](const SourceColumn& c) { return c.sql.empty() ? s0.sqlAlias + "." + quoteName(c.name) : c.sql; };
    src.alias = ref.alias;
    src.sqlAlias = newAlias();
    std::vector<std::string> items;
    if (p.unpivot) {
      std::set<std::string> used;
      for (const auto& item : p.in) {
        if (!findColumn(s0, item.column)) fail(904, item.pos, "\"" + item.column + "\"");
        used.insert(item.column);
      }
      for (const auto& c : s0.columns) {
        if (used.count(c.name)) continue;
        items.push_back(columnSql(c) + " AS " + quoteName(c.name));
        src.columns.push_back({c.name, c.meta});
      }
      std::string names = "CASE k.n", values = "CASE k.n";
      std::vector<std::string> numbers;
      Column nameMeta, valueMeta;
      nameMeta.name = p.forColumn;
      nameMeta.type = DataType::Varchar2;
      for (std::size_t i = 0; i < p.in.size(); ++i) {
        const auto& item = p.in[i];
        const SourceColumn* c = findColumn(s0, item.column);
        std::string n = std::to_string(i + 1);
        Typed label = item.value ? expr(*item.value, inner) : Typed(quoteText(item.column), DataType::Varchar2);
        if (i == 0) nameMeta.type = label.type == DataType::Unknown ? DataType::Varchar2 : label.type;
        if (i == 0) {
          valueMeta = c->meta;
        } else if (typeFamily(valueMeta.type) != typeFamily(c->meta.type)) {
          fail(1790, item.pos);
        }
        names += " WHEN " + n + " THEN " + label.sql;
        values += " WHEN " + n + " THEN " + columnSql(*c);
        numbers.push_back("SELECT " + n + " AS n");
      }
      names += " END";
      values += " END";
      valueMeta.name = p.measureColumn;
      items.push_back(names + " AS " + quoteName(p.forColumn));
      items.push_back(values + " AS " + quoteName(p.measureColumn));
      src.columns.push_back({p.forColumn, nameMeta});
      src.columns.push_back({p.measureColumn, valueMeta});
      std::string sql = "(SELECT " + join(items) + " FROM " + from + " CROSS JOIN (" + join(numbers, " UNION ALL ") + ") AS k";
      if (!p.includeNulls) sql += " WHERE (" + values + ") IS NOT NULL";
      return sql + ") AS " + src.sqlAlias;
    }
    std::set<std::string> used(p.forColumns.begin(), p.forColumns.end());
    for (const auto& a : p.aggregates) {
      const Expr& call = *a.call;
      if (call.kind != ExprKind::Function || call.window || call.name.parts.size() != 1 ||
          !aggregateNames().count(call.name.last()) || call.args.size() != 1)
        fail(56902, call.pos);
      collectColumnNames(call, used);
    }
    for (const auto& name : p.forColumns)
      if (!findColumn(s0, name)) fail(904, p.pos, "\"" + name + "\"");
    std::vector<std::string> groups;
    for (const auto& c : s0.columns) {
      if (used.count(c.name)) continue;
      items.push_back(columnSql(c) + " AS " + quoteName(c.name));
      groups.push_back(columnSql(c));
      src.columns.push_back({c.name, c.meta});
    }
    for (const auto& item : p.in) {
      // An unaliased value is named by its text; a tuple by its values' texts joined by underscores.
      std::string valueName = item.alias;
      if (valueName.empty())
        for (const auto& v : item.values) valueName += (valueName.empty() ? "" : "_") + headingOf(sourceOf(*v));
      // The row belongs to the value when every FOR column equals its part of the tuple.
      ExprPtr test;
      for (std::size_t k = 0; k < p.forColumns.size(); ++k) {
        auto forColumn = std::make_shared<Expr>();
        forColumn->kind = ExprKind::Column;
        forColumn->name.parts = {p.forColumns[k]};
        auto equal = std::make_shared<Expr>();
        equal->kind = ExprKind::Binary;
        equal->op = "=";
        equal->args = {forColumn, item.values[k]};
        if (!test) {
          test = equal;
        } else {
          auto both = std::make_shared<Expr>();
          both->kind = ExprKind::Binary;
          both->op = "AND";
          both->args = {test, equal};
          test = both;
        }
      }
      for (const auto& a : p.aggregates) {
        Expr call = *a.call;
        ExprPtr argument = call.args[0];
        if (argument->kind == ExprKind::Star) {
          argument = std::make_shared<Expr>();
          argument->kind = ExprKind::Number;
          argument->text = "1";
        }
        auto picked = std::make_shared<Expr>();
        picked->kind = ExprKind::Case;
        picked->args = {test, argument};
        call.args[0] = picked;
        Typed t = expr(call, inner);
        std::string name = a.alias.empty() ? valueName : valueName + "_" + a.alias;
        Column meta;
        meta.name = name;
        meta.type = t.type;
        items.push_back(t.sql + " AS " + quoteName(name));
        src.columns.push_back({name, meta});
      }
    }
    std::string sql = "(SELECT " + join(items) + " FROM " + from;
    if (!groups.empty()) sql += " GROUP BY " + join(groups);
    return sql + ") AS " + src.sqlAlias;
  }

  // ------------------------------------------------------------------------------------------------
  // Queries

  std::string query(const Query& q, const Scope* outer, std::vector<Column>& cols) {
    // The tables a FOR UPDATE query reads are locked: that needs more than the READ privilege.
    bool outerLocking = locking_;
    locking_ = q.forUpdate;
    std::size_t visible = ctes_.size();
    std::string with = commonTables(q, outer);
    std::string sql = queryBody(q, outer, cols);
    ctes_.resize(visible);
    locking_ = outerLocking;
    if (q.fetchPercent || q.withTies) {
      sql = rankedFetch(q, outer, sql, cols);
    } else if (q.offset || q.fetchFirst) {
      // The row limit applies to the sorted rows; fractions are cut, negative counts are zero.
      Scope none;
      none.parent = outer;
      auto count = [&](const ExprPtr& e) {
        return "max(0, CAST(" + coerce(expr(*e, none), DataType::Number, *e).sql + " AS INTEGER))";
      };
      sql = "SELECT * FROM (" + sql + ") LIMIT " + (q.fetchFirst ? count(q.fetchFirst) : std::string("-1"));
      if (q.offset) sql += " OFFSET " + count(q.offset);
    }
    if (with.empty()) return sql;
    // A hierarchical query brings a WITH of its own: it goes one level down.
    if (sql.rfind("WITH ", 0) == 0) sql = "SELECT * FROM (" + sql + ")";
    return with + sql;
  }

  // FETCH ... PERCENT and WITH TIES number the sorted rows with row_number() and rank() over the
  // ORDER BY and keep those after the offset up to the count (PERCENT: of all rows, rounded up);
  // WITH TIES also keeps the rows that rank with the last one. A plain block sorts on hidden key
  // columns (rankedKeys); other queries sort on their output columns.
  std::string rankedFetch(const Query& q, const Scope* outer, const std::string& inner, const std::vector<Column>& cols) {
    std::vector<std::string> keys;
    bool positional = false;
    if (!rankedBlockKeys_.empty() || (q.block && !q.block->connectBy && q.block->grouping.empty())) {
      keys.swap(rankedBlockKeys_);
      positional = true;
    } else {
      for (const auto& item : q.orderBy) {
        const Expr& o = *item.expr;
        std::string term;
        if (o.kind == ExprKind::Number) {
          std::size_t n = static_cast<std::size_t>(std::stoll(o.text));
          if (n < 1 || n > cols.size()) fail(1785, o.pos);
          term = "r." + quoteName(cols[n - 1].name);
        } else if (o.kind == ExprKind::Column && o.name.parts.size() == 1 &&
                   std::any_of(cols.begin(), cols.end(), [&](const Column& c) { return c.name == o.name.last(); })) {
          term = "r." + quoteName(o.name.last());
        } else {
          fail(1785, o.pos);
        }
        term += item.descending ? " DESC" : " ASC";
        term += (item.nulls == 1 || (item.nulls == 0 && item.descending)) ? " NULLS FIRST" : " NULLS LAST";
        keys.push_back(term);
      }
    }
    Scope none;
    none.parent = outer;
    auto number = [&](const ExprPtr& e) { return coerce(expr(*e, none), DataType::Number, *e).sql; };
    std::string offset = q.offset ? "max(0, CAST(" + number(q.offset) + " AS INTEGER))" : "0";
    std::string count = q.fetchPercent ? "ora_ceil(f.\"__CNT\" * (" + number(q.fetchFirst) + ") / 100.0)"
                                       : "CAST(" + number(q.fetchFirst) + " AS INTEGER)";
    std::string order = keys.empty() ? "" : "ORDER BY " + join(keys);
    // Without an order there are no ties: every row ranks by its number.
    std::string bound = q.withTies && !keys.empty() ? "f.\"__RK\"" : "f.\"__RN\"";
    std::vector<std::string> names;
    for (std::size_t i = 0; i < cols.size(); ++i)
      names.push_back((positional ? "f.g" + std::to_string(i) : "f." + quoteName(cols[i].name)) + " AS " + quoteName(cols[i].name));
    return "SELECT " + join(names) + " FROM (SELECT r.*, rank() OVER (" + order + ") AS \"__RK\", row_number() OVER (" +
           order + ") AS \"__RN\", count(*) OVER () AS \"__CNT\" FROM (" + inner + ") AS r) AS f WHERE f.\"__RN\" > " +
           offset + " AND " + bound + " <= " + offset + " + " + count + " ORDER BY f.\"__RN\"";
  }

  // The ORDER BY of a block whose rows FETCH ... PERCENT or WITH TIES counts: as terms over the
  // block's positional columns (g<i>) and hidden key columns (k<i>), which this returns for the select list.
  std::string rankedKeys(const QueryBlock& b, const Scope& scope, const std::vector<Column>& cols, const Query& q) {
    InlineLiterals keep(*this);
    std::string hidden;
    std::vector<std::string> terms;
    for (std::size_t k = 0; k < q.orderBy.size(); ++k) {
      const OrderItem& item = q.orderBy[k];
      const Expr& o = *item.expr;
      std::string term;
      if (o.kind == ExprKind::Number) {
        std::size_t n = static_cast<std::size_t>(std::stoll(o.text));
        if (n < 1 || n > cols.size()) fail(1785, o.pos);
        term = "r.g" + std::to_string(n - 1);
      } else if (o.kind == ExprKind::Column && o.name.parts.size() == 1 && isOutputName(o.name.last(), cols, &b.items)) {
        for (std::size_t i = 0; i < b.items.size(); ++i)
          if (b.items[i].alias == o.name.last()) term = "r.g" + std::to_string(i);
      } else {
        hidden += ", " + expr(o, scope).sql + " AS k" + std::to_string(k);
        term = "r.k" + std::to_string(k);
      }
      term += item.descending ? " DESC" : " ASC";
      term += (item.nulls == 1 || (item.nulls == 0 && item.descending)) ? " NULLS FIRST" : " NULLS LAST";
      terms.push_back(term);
    }
    rankedBlockKeys_ = std::move(terms);
    return hidden;
  }

  // The WITH clauses of a query, made visible to the FROM items after them.
  std::string commonTables(const Query& q, const Scope* outer) {
    std::vector<std::string> defs;
    for (const auto& t : q.with) {
      std::vector<Column> cols;
      std::string body = query(*t.query, outer, cols);
      if (!t.columns.empty()) {
        if (t.columns.size() != cols.size()) fail(t.columns.size() < cols.size() ? 1730 : 1731, t.pos);
        std::vector<std::string> renamed;
        for (std::size_t i = 0; i < cols.size(); ++i) {
          renamed.push_back("c." + quoteName(cols[i].name) + " AS " + quoteName(t.columns[i]));
          cols[i].name = t.columns[i];
        }
        body = "SELECT " + join(renamed) + " FROM (" + body + ") AS c";
      }
      std::string sqlName = "w" + std::to_string(++aliasCounter_);
      defs.push_back(sqlName + " AS (" + body + ")");
      ctes_.push_back({t.name, sqlName, cols});
    }
    return defs.empty() ? std::string() : "WITH " + join(defs) + " ";
  }

  std::string queryBody(const Query& q, const Scope* outer, std::vector<Column>& cols) {
    std::string sql;
    if (q.orderSiblings && !(q.block && q.block->connectBy)) fail(30929, q.orderBy.front().expr->pos);
    if (q.block) {
      sql = block(*q.block, outer, cols, q);
    } else {
      sql = compound(q, outer, cols);
      if (!q.orderBy.empty()) sql += orderBy(q.orderBy, cols);
    }
    return sql;
  }

  // A chain of set operators, emitted as one flat compound: set operators associate to the left,
  // so "a op b op c" needs no nesting, and nesting each branch one level deeper overflows SQLite's
  // parser at a dozen branches. SQLite caps the terms of one compound, so every kMaxTerms terms
  // the compound so far becomes the first term of the next.
  std::string compound(const Query& q, const Scope* outer, std::vector<Column>& cols) {
    constexpr int kMaxTerms = 400;
    std::vector<const Query*> rights;
    const Query* first = &q;
    while (!first->block && first->with.empty() && (first == &q || first->orderBy.empty())) {
      rights.push_back(first);
      first = first->left.get();
    }
    std::string sql = "SELECT * FROM (" + query(*first, outer, cols) + ")";
    int terms = 1;
    for (auto it = rights.rbegin(); it != rights.rend(); ++it) {
      const Query& step = **it;
      std::vector<Column> right;
      std::string r = query(*step.right, outer, right);
      if (cols.size() != right.size()) fail(1789, step.right->pos);
      for (std::size_t i = 0; i < cols.size(); ++i) {
        if (cols[i].type == DataType::Unknown) cols[i].type = right[i].type;
        if (typeFamily(cols[i].type) != typeFamily(right[i].type) && right[i].type != DataType::Unknown &&
            cols[i].type != DataType::Unknown)
          fail(1790, step.right->pos);
      }
      if (terms == kMaxTerms) {
        sql = "SELECT * FROM (" + sql + ")";
        terms = 1;
      }
      std::string op = step.setOp == "MINUS" ? "EXCEPT" : step.setOp;
      sql += " " + op + " SELECT * FROM (" + r + ")";
      ++terms;
    }
    return sql;
  }

  std::string orderBy(const std::vector<OrderItem>& items, const std::vector<Column>& cols, const Scope* scope = nullptr,
                      const std::vector<SelectItem>* selectItems = nullptr) {
    InlineLiterals keep(*this);
    std::vector<std::string> parts;
    for (const auto& item : items) {
      std::string term;
      const Expr& e = *item.expr;
      // Values WITH TIME ZONE sort by their UTC instant, as they compare. A compound's ORDER BY
      // (no scope) can name only its result columns, so it keeps the plain term.
      auto byInstant = [&](const std::string& sql, bool zoned) { return zoned && scope ? "ora_tz_utc(" + sql + ")" : sql; };
      auto zonedColumn = [&](const std::string& name) {
        auto c = std::find_if(cols.begin(), cols.end(), [&](const Column& col) { return col.name == name; });
        return c != cols.end() && c->zone == 1;
      };
      if (e.kind == ExprKind::Number) {
        std::size_t n = static_cast<std::size_t>(std::stoll(e.text));
        if (n < 1 || n > cols.size()) fail(1785, e.pos);
        term = cols[n - 1].zone == 1 ? byInstant(quoteName(cols[n - 1].name), true) : e.text;
      } else if (e.kind == ExprKind::Column && e.name.parts.size() == 1 && isOutputName(e.name.last(), cols, selectItems)) {
        term = byInstant(quoteName(e.name.last()), zonedColumn(e.name.last()));
      } else if (scope) {
        Typed key = expr(e, *scope);
        term = byInstant(key.sql, key.zone == 1 && isDatetime(key.type));
      } else {
        fail(904, e.pos, "\"" + e.name.last() + "\"");
      }
      term += item.descending ? " DESC" : " ASC";
      if (item.nulls == 1 || (item.nulls == 0 && item.descending)) term += " NULLS FIRST";
      else term += " NULLS LAST";
      parts.push_back(term);
    }
    return " ORDER BY " + join(parts);
  }

  static bool isOutputName(const std::string& name, const std::vector<Column>& cols,
                           const std::vector<SelectItem>* items) {
    if (!items) return std::any_of(cols.begin(), cols.end(), [&](const Column& c) { return c.name == name; });
    // In a block, only real aliases win over the FROM columns.
    for (const auto& i : *items)
      if (!i.alias.empty() && i.alias == name) return true;
    return false;
  }

  // The FROM clause with Oracle's (+) outer joins rewritten as LEFT JOINs; returns the SQL and
  // leaves the conjuncts that stay in WHERE in `rest`.
  std::string fromClause(const QueryBlock& b, Scope& scope, const Scope* outer, std::vector<ExprPtr>& rest) {
    std::vector<std::string> itemSql;
    for (const auto& ref : b.from) {
      Source src;
      // ANSI joins see the items before them; inline views see only the outer scope.
      itemSql.push_back(fromItem(ref, outer, src));
      scope.sources.push_back(std::move(src));
    }
    std::vector<ExprPtr> conjuncts;
    if (b.where) splitConjuncts(b.where, conjuncts);
    // Conjuncts with (+) belong to the ON clause of the table their marked columns come from.
    std::map<std::size_t, std::vector<ExprPtr>> onOuter;
    for (const auto& c : conjuncts) {
      if (!containsOuterJoinMark(*c)) {
        rest.push_back(c);
        continue;
      }
      std::size_t index = markedSource(*c, scope);
      onOuter[index].push_back(c);
    }
    std::string sql;
    std::vector<std::size_t> deferred;
    for (std::size_t i = 0; i < b.from.size(); ++i) {
      const TableRef& ref = b.from[i];
      if (ref.join == JoinKind::Comma && onOuter.count(i)) {
        deferred.push_back(i);
        continue;
      }
      if (i == 0 || sql.empty()) {
        sql = itemSql[i];
        continue;
      }
      switch (ref.join) {
        case JoinKind::Comma: sql += ", " + itemSql[i]; break;
        case JoinKind::Cross: sql += " CROSS JOIN " + itemSql[i]; break;
        case JoinKind::Inner: sql += " JOIN " + itemSql[i]; break;
        case JoinKind::Left: sql += " LEFT JOIN " + itemSql[i]; break;
        case JoinKind::Right: sql += " RIGHT JOIN " + itemSql[i]; break;
        case JoinKind::Full: sql += " FULL JOIN " + itemSql[i]; break;
      }
      if (ref.on) sql += " ON " + condition(*ref.on, scope);
      if (!ref.usingColumns.empty()) {
        std::vector<std::string> eq;
        for (const auto& col : ref.usingColumns) {
          const Source& right = scope.sources[i];
          const Source* left = nullptr;
          for (std::size_t k = 0; k < i && !left; ++k)
            if (findColumn(scope.sources[k], col)) left = &scope.sources[k];
          if (!left || !findColumn(right, col)) fail(904, ref.pos, "\"" + col + "\"");
          eq.push_back(left->sqlAlias + "." + quoteName(col) + " = " + right.sqlAlias + "." + quoteName(col));
        }
        sql += " ON " + join(eq, " AND ");
      }
    }
    for (std::size_t i : deferred) {
      std::vector<std::string> on;
      for (const auto& c : onOuter[i]) on.push_back(condition(*c, scope));
      sql += (sql.empty() ? "" : " LEFT JOIN ") + itemSql[i] + " ON " + join(on, " AND ");
    }
    return sql;
  }

  // The FROM item whose columns carry (+) in a conjunct.
  std::size_t markedSource(const Expr& e, const Scope& scope) {
    if (e.kind == ExprKind::Column && e.outerJoin) {
      for (std::size_t i = 0; i < scope.sources.size(); ++i) {
        const Source& s = scope.sources[i];
        if (e.name.parts.size() >= 2 ? e.name.parts[e.name.parts.size() - 2] == s.alias : findColumn(s, e.name.last()) != nullptr)
          return i;
      }
      fail(904, e.pos, "\"" + e.name.last() + "\"");
    }
    for (const auto& a : e.args)
      if (a && containsOuterJoinMark(*a)) return markedSource(*a, scope);
    fail(936, e.pos);
  }

  std::string block(const QueryBlock& b, const Scope* outer, std::vector<Column>& cols, const Query& q) {
    checkGrouping(b, q);
    if (b.connectBy) return hierarchical(b, outer, cols, q);
    GroupingContext ownGrouping(*this);  // a subquery's block has grouping sets of its own
    Scope scope;
    scope.parent = outer;
    std::vector<ExprPtr> where;
    std::string from = fromClause(b, scope, outer, where);
    std::string limit;
    std::vector<std::string> conditions;
    for (const auto& c : where) {
      if (rownumLimit(*c, scope, limit)) continue;
      conditions.push_back(whereConjunct(*c, scope));
    }
    if (!limit.empty() && (isGrouped(b) || b.distinct || !q.orderBy.empty())) {
      // ROWNUM counts rows before grouping, DISTINCT and sorting: limit them in an inner query.
      from = limitedRows(scope, from, conditions, limit);
      conditions.clear();
      limit.clear();
    }
    if (!b.grouping.empty()) return groupingSets(b, scope, from, conditions, cols, q);
    bool ranked = q.fetchPercent || q.withTies;
    bool outerPositional = positionalAliases_;
    positionalAliases_ = ranked;
    std::string items = selectList(b, scope, cols);
    positionalAliases_ = outerPositional;
    if (ranked) items += rankedKeys(b, scope, cols, q);
    std::string sql = std::string("SELECT ") + (b.distinct ? "DISTINCT " : "") + items + " FROM " + from;
    if (!conditions.empty()) sql += " WHERE " + join(conditions, " AND ");
    InlineLiterals keep(*this);
    if (!b.groupBy.empty()) {
      std::vector<std::string> g;
      for (const auto& e : b.groupBy) g.push_back(expr(*e, scope).sql);
      sql += " GROUP BY " + join(g);
    }
    if (b.having) sql += " HAVING " + condition(*b.having, scope);
    if (!q.orderBy.empty() && !ranked) sql += orderBy(q.orderBy, cols, &scope, &b.items);
    if (!limit.empty()) sql += " LIMIT " + limit;
    return sql;
  }

  // Saves the grouping sets' state of the enclosing block and starts empty; restores it at the end.
  struct GroupingContext {
    explicit GroupingContext(Compiler& c) : c_(c) {
      all_.swap(c.groupingAll_);
      nulled_.swap(c.groupingNulled_);
      std::swap(groupId_, c.groupId_);
      std::swap(depth_, c.aggregateDepth_);
    }
    ~GroupingContext() {
      all_.swap(c_.groupingAll_);
      nulled_.swap(c_.groupingNulled_);
      std::swap(groupId_, c_.groupId_);
      std::swap(depth_, c_.aggregateDepth_);
    }
    Compiler& c_;
    std::set<std::string> all_, nulled_;
    int groupId_ = 0, depth_ = 0;
  };

  // The grouping sets of one GROUP BY element, each a list of expressions.
  std::vector<std::vector<const Expr*>> expandTerm(const GroupingTerm& t) {
    using K = GroupingTerm::Kind;
    std::vector<std::vector<const Expr*>> sets;
    auto flat = [](const std::vector<std::vector<ExprPtr>>& composites, std::size_t n, std::uint64_t mask) {
      std::vector<const Expr*> set;
      for (std::size_t i = 0; i < n; ++i)
        if (mask & (std::uint64_t{1} << i))
          for (const auto& e : composites[i]) set.push_back(e.get());
      return set;
    };
    std::size_t n = t.columns.size();
    switch (t.kind) {
      case K::Plain: sets.push_back(flat(t.columns, n, ~std::uint64_t{0})); break;
      case K::Rollup:
        // (a, b, c), (a, b), (a), ()
        for (std::size_t k = n + 1; k-- > 0;) sets.push_back(flat(t.columns, k, ~std::uint64_t{0}));
        break;
      case K::Cube: {
        if (n > 12) fail(1467, Position{});
        // Every subset, the larger ones first.
        std::uint64_t all = (std::uint64_t{1} << n) - 1;
        for (std::uint64_t m = all + 1; m-- > 0;) {
          std::uint64_t mask = 0;  // the bits of m in reverse, so (a, b) comes before (a) before (b)
          for (std::size_t i = 0; i < n; ++i)
            if (m & (std::uint64_t{1} << i)) mask |= std::uint64_t{1} << (n - 1 - i);
          sets.push_back(flat(t.columns, n, mask));
        }
        break;
      }
      case K::Sets:
        for (const auto& sub : t.sets) {
          auto more = expandTerm(sub);
          sets.insert(sets.end(), more.begin(), more.end());
        }
        break;
    }
    return sets;
  }

  // GROUP BY with ROLLUP, CUBE or GROUPING SETS: one grouped query per grouping set, joined by
  // UNION ALL. In each, a GROUP BY expression outside the set reads NULL (outside group functions),
  // GROUPING() and GROUPING_ID() tell which are outside, GROUP_ID() numbers repeated sets. ORDER BY
  // terms other than positions and aliases travel as hidden columns.
  std::string groupingSets(const QueryBlock& b, Scope& scope, const std::string& from,
                           const std::vector<std::string>& conditions, std::vector<Column>& cols, const Query& q) {
    InlineLiterals keep(*this);
    std::vector<std::vector<const Expr*>> sets = {{}};
    for (const auto& t : b.grouping) {
      std::vector<std::vector<const Expr*>> product;
      for (const auto& own : expandTerm(t)) {
        for (const auto& left : sets) {
          product.push_back(left);
          product.back().insert(product.back().end(), own.begin(), own.end());
        }
      }
      if (product.size() > 4096) fail(1467, b.groupBy.empty() ? q.pos : b.groupBy.front()->pos);
      sets.swap(product);
    }
    std::set<std::string> all;
    for (const auto& g : b.groupBy) all.insert(headingOf(sourceOf(*g)));
    groupingAll_ = all;
    std::map<std::string, int> repeats;
    std::vector<std::string> branches;
    for (const auto& set : sets) {
      std::set<std::string> in;
      std::vector<std::string> keys;
      for (const Expr* e : set) in.insert(headingOf(sourceOf(*e)));
      groupingNulled_.clear();
      std::set_difference(all.begin(), all.end(), in.begin(), in.end(),
                          std::inserter(groupingNulled_, groupingNulled_.end()));
      std::string canonical;
      for (const auto& h : in) canonical += h + '\n';
      groupId_ = repeats[canonical]++;
      std::vector<Column> branchCols;
      bool outerPositional = positionalAliases_;
      positionalAliases_ = true;
      std::string items = selectList(b, scope, branchCols);
      positionalAliases_ = outerPositional;
      for (std::size_t k = 0; k < q.orderBy.size(); ++k) {
        const Expr& o = *q.orderBy[k].expr;
        if (o.kind == ExprKind::Number) continue;
        if (o.kind == ExprKind::Column && o.name.parts.size() == 1 && isOutputName(o.name.last(), branchCols, &b.items))
          continue;
        items += ", " + expr(o, scope).sql + " AS o" + std::to_string(k);
      }
      items += ", count(*) AS total";  // the empty set gives one row even without group functions
      std::string sql = "SELECT " + items + " FROM " + from;
      if (!conditions.empty()) sql += " WHERE " + join(conditions, " AND ");
      if (!set.empty()) {
        std::vector<std::string> g;
        for (const Expr* e : set) g.push_back(expr(*e, scope).sql);
        sql += " GROUP BY " + join(g);
      }
      if (b.having) sql += " HAVING " + condition(*b.having, scope);
      branches.push_back(std::move(sql));
      if (cols.empty()) {
        cols = branchCols;
      } else {
        for (std::size_t i = 0; i < cols.size() && i < branchCols.size(); ++i)
          if (cols[i].type == DataType::Unknown) cols[i].type = branchCols[i].type;
      }
    }
    groupingNulled_.clear();
    // SQLite caps the terms of one compound: every 400 the union so far becomes one term.
    std::string unionSql;
    for (std::size_t i = 0; i < branches.size(); ++i) {
      if (i && i % 400 == 0) unionSql = "SELECT * FROM (" + unionSql + ")";
      unionSql += (i ? " UNION ALL " : "") + branches[i];
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < cols.size(); ++i) names.push_back("u.g" + std::to_string(i) + " AS " + quoteName(cols[i].name));
    std::string sql = std::string("SELECT ") + (b.distinct ? "DISTINCT " : "") + join(names) + " FROM (" + unionSql + ") AS u";
    if (!q.orderBy.empty()) {
      std::vector<std::string> terms;
      for (std::size_t k = 0; k < q.orderBy.size(); ++k) {
        const OrderItem& item = q.orderBy[k];
        const Expr& o = *item.expr;
        std::string term;
        if (o.kind == ExprKind::Number) {
          std::size_t n = static_cast<std::size_t>(std::stoll(o.text));
          if (n < 1 || n > cols.size()) fail(1785, o.pos);
          term = "u.g" + std::to_string(n - 1);
        } else if (o.kind == ExprKind::Column && o.name.parts.size() == 1 && isOutputName(o.name.last(), cols, &b.items)) {
          for (std::size_t i = 0; i < b.items.size(); ++i)
            if (b.items[i].alias == o.name.last()) term = "u.g" + std::to_string(i);
        } else {
          term = "u.o" + std::to_string(k);
        }
        term += item.descending ? " DESC" : " ASC";
        term += (item.nulls == 1 || (item.nulls == 0 && item.descending)) ? " NULLS FIRST" : " NULLS LAST";
        terms.push_back(term);
      }
      sql += " ORDER BY " + join(terms);
    }
    return sql;
  }

  // GROUPING(e): 1 where e is outside the row's grouping set; GROUPING_ID(a, b, ...): those bits as a
  // number, the first argument highest; GROUP_ID(): how many times the row's set came before.
  Typed groupingFunction(const Expr& e) {
    const std::string& name = e.name.last();
    if (name == "GROUP_ID") {
      if (!e.args.empty()) fail(909, e.pos);
      return {std::to_string(groupId_), DataType::Number};
    }
    if (e.args.empty() || (name == "GROUPING" && e.args.size() != 1)) fail(909, e.pos);
    long long value = 0;
    for (const auto& a : e.args) {
      std::string h = headingOf(sourceOf(*a));
      if (!groupingAll_.empty() && !groupingAll_.count(h)) fail(979, a->pos);
      value = value * 2 + (groupingNulled_.count(h) ? 1 : 0);
    }
    return {std::to_string(value), DataType::Number};
  }

  // A WHERE conjunct; (:b = 'text' OR other) becomes a bind test (Compiled::bindTests).
  std::string whereConjunct(const Expr& c, const Scope& scope) {
    if (!ctx_.bindTests || c.kind != ExprKind::Binary || c.op != "OR") return condition(c, scope);
    auto isTest = [](const Expr& e) {
      if (e.kind != ExprKind::Binary || e.op != "=") return false;
      const Expr& l = *e.args[0];
      const Expr& r = *e.args[1];
      return l.kind == ExprKind::Bind && l.name.parts.empty() && r.kind == ExprKind::String && !r.text.empty();
    };
    bool testFirst = isTest(*c.args[0]);
    if (!testFirst && !isTest(*c.args[1])) return condition(c, scope);
    const Expr& test = *c.args[testFirst ? 0 : 1];
    std::string testSql, otherSql;
    if (testFirst) {
      InlineLiterals keep(*this);  // the test's text is read here: it stays in the SQL as written
      testSql = condition(test, scope);
    }
    otherSql = condition(*c.args[testFirst ? 1 : 0], scope);
    if (!testFirst) {
      InlineLiterals keep(*this);
      testSql = condition(test, scope);
    }
    Compiled::BindTest t;
    t.bind = test.args[0]->text;
    t.text = test.args[1]->text;
    t.whole = "(" + (testFirst ? testSql + " OR " + otherSql : otherSql + " OR " + testSql) + ")";
    t.otherwise = otherSql;
    out_.bindTests.push_back(std::move(t));
    return "?@" + std::to_string(out_.bindTests.size() - 1) + "@";
  }

  static bool isGrouped(const QueryBlock& b) {
    return !b.groupBy.empty() || !b.grouping.empty() || b.having || std::any_of(b.items.begin(), b.items.end(), [](const SelectItem& i) {
             return i.expr && containsAggregate(*i.expr);
           });
  }

  // The FROM rows filtered and limited in a subquery; the scope's columns are re-pointed at it.
  std::string limitedRows(Scope& scope, const std::string& from, const std::vector<std::string>& conditions,
                          const std::string& limit) {
    std::string w = newAlias();
    std::vector<std::string> inner;
    // ROWNUM counts rows as they are stored; unordered, SQLite may pick others to suit the outer sort.
    std::string storageOrder;
    if (!scope.sources.empty() && scope.sources[0].isTable) {
      const Source& first = scope.sources[0];
      storageOrder = " ORDER BY " + (first.rowidSql.empty() ? first.sqlAlias + ".rowid" : first.rowidSql);
    }
    for (auto& src : scope.sources) {
      for (auto& c : src.columns) {
        std::string name = "c" + std::to_string(inner.size());
        inner.push_back((c.sql.empty() ? src.sqlAlias + "." + quoteName(c.name) : c.sql) + " AS " + name);
        c.sql = w + "." + name;
      }
      if (src.isTable) {
        std::string name = "c" + std::to_string(inner.size());
        inner.push_back((src.rowidSql.empty() ? src.sqlAlias + ".rowid" : src.rowidSql) + " AS " + name);
        src.rowidSql = w + "." + name;
      }
    }
    std::string sql = "(SELECT " + join(inner) + " FROM " + from;
    if (!conditions.empty()) sql += " WHERE " + join(conditions, " AND ");
    return sql + storageOrder + " LIMIT " + limit + ") AS " + w;
  }

  // ROWNUM <= n, ROWNUM < n, ROWNUM = 1 (and the forms that are never true) in WHERE become a LIMIT.
  bool rownumLimit(const Expr& e, const Scope& scope, std::string& limit) {
    if (e.kind != ExprKind::Binary || e.args.size() != 2) return false;
    const Expr& l = *e.args[0];
    const Expr& r = *e.args[1];
    if (l.kind != ExprKind::Column || l.name.parts.size() != 1 || l.name.last() != "ROWNUM") return false;
    if (r.kind == ExprKind::Number) {
      double n = 0;
      std::from_chars(r.text.data(), r.text.data() + r.text.size(), n);  // not by the process's locale
      double value;
      if (e.op == "<=") value = std::floor(n);
      else if (e.op == "<") value = std::ceil(n) - 1;
      else if (e.op == "=") value = n == 1 ? 1 : 0;
      else if (e.op == ">") value = n < 1 ? -1 : 0;
      else if (e.op == ">=") value = n <= 1 ? -1 : 0;
      else return false;
      if (value >= 0) limit = std::to_string(static_cast<long long>(std::max(0.0, value)));
      return true;
    }
    if (e.op != "<=" && e.op != "<") return false;
    std::string bound = coerce(expr(r, scope), DataType::Number, r).sql;
    limit = e.op == "<" ? "max(0, ceil(" + bound + ") - 1)" : "max(0, floor(" + bound + "))";
    return true;
  }

  // Oracle's rules for group functions: none in WHERE (ORA-00934); with grouping, every column the
  // select list, HAVING and ORDER BY name outside a group function is a GROUP BY expression
  // (ORA-00937 without GROUP BY, ORA-00979 with it).
  void checkGrouping(const QueryBlock& b, const Query& q) {
    if (b.where) {
      if (const Expr* agg = findAggregate(*b.where)) {
        if (agg->window) throw Error(30483, "ORA-30483: window  functions are not allowed here", agg->pos.offset,
                                     agg->pos.line, agg->pos.column);
        fail(934, agg->pos);
      }
    }
    if (!isGrouped(b)) return;
    std::set<std::string> keys;
    for (const auto& g : b.groupBy) keys.insert(headingOf(sourceOf(*g)));
    int code = b.groupBy.empty() ? 937 : 979;
    for (const auto& item : b.items) {
      if (item.star) fail(code, q.pos);
      checkGrouped(*item.expr, keys, code);
    }
    if (b.having) checkGrouped(*b.having, keys, code);
    std::set<std::string> aliases;
    for (const auto& item : b.items)
      if (!item.alias.empty()) aliases.insert(item.alias);
    for (const auto& o : q.orderBy) {
      const Expr& e = *o.expr;
      bool alias = e.kind == ExprKind::Column && e.name.parts.size() == 1 && aliases.count(e.name.last());
      if (e.kind != ExprKind::Number && !alias) checkGrouped(e, keys, code);
    }
  }

  std::string sourceOf(const Expr& e) const {
    if (e.endOffset <= e.pos.offset || static_cast<std::size_t>(e.endOffset) > text_.size()) return {};
    return std::string(text_.substr(static_cast<std::size_t>(e.pos.offset), static_cast<std::size_t>(e.endOffset - e.pos.offset)));
  }

  void checkGrouped(const Expr& e, const std::set<std::string>& keys, int code) {
    std::string source = sourceOf(e);
    if (!source.empty() && keys.count(headingOf(source))) return;
    switch (e.kind) {
      case ExprKind::Function:
        if (e.name.parts.size() == 1 && aggregateNames().count(e.name.last()) && !e.window) return;
        break;
      case ExprKind::Column: {
        static const std::set<std::string> pseudo = {"SYSDATE", "USER", "UID", "ROWNUM", "LEVEL", "SYSTIMESTAMP",
                                                     "CURRENT_TIMESTAMP", "LOCALTIMESTAMP", "CURRENT_DATE"};
        if (e.name.parts.size() == 1 && pseudo.count(e.name.last())) return;
        if (e.name.last() == "NEXTVAL" || e.name.last() == "CURRVAL") return;
        fail(code, e.pos);
      }
      case ExprKind::Subquery:
      case ExprKind::Exists: return;
      default: break;
    }
    for (const auto& a : e.args)
      if (a) checkGrouped(*a, keys, code);
  }

  static const Expr* findAggregate(const Expr& e) {
    if (e.kind == ExprKind::Function && e.window) return &e;  // analytic functions are no more allowed in WHERE
    if (e.kind == ExprKind::Function && e.name.parts.size() == 1 && aggregateNames().count(e.name.last())) return &e;
    if (e.kind == ExprKind::Subquery || e.kind == ExprKind::Exists) return nullptr;
    for (const auto& a : e.args)
      if (a)
        if (const Expr* found = findAggregate(*a)) return found;
    return nullptr;
  }

  // A select item's name in the SQL: its own, or g<position> in a branch of grouping sets.
  std::string outputAlias(const std::string& name, std::size_t position) const {
    return positionalAliases_ ? "g" + std::to_string(position) : quoteName(name);
  }

  std::string selectList(const QueryBlock& b, Scope& scope, std::vector<Column>& cols) {
    InlineLiterals keep(*this);
    std::vector<std::string> parts;
    for (const auto& item : b.items) {
      if (item.star) {
        bool found = false;
        for (const auto& s : scope.sources) {
          if (!item.starTable.empty() && s.alias != item.starTable) continue;
          found = true;
          for (const auto& c : s.columns) {
            parts.push_back((c.sql.empty() ? s.sqlAlias + "." + quoteName(c.name) : c.sql) + " AS " +
                            outputAlias(c.name, parts.size()));
            cols.push_back(c.meta);
          }
        }
        if (!found) fail(904, b.items.front().expr ? b.items.front().expr->pos : Position{}, "\"" + item.starTable + "\"");
        continue;
      }
      Typed t = expr(*item.expr, scope);
      Column c;
      if (!item.alias.empty()) c.name = item.alias;
      else if (item.expr->kind == ExprKind::Column && !item.expr->outerJoin) c.name = item.expr->name.last();
      else c.name = headingOf(item.heading);
      c.type = t.type;  // Unknown for NULL: a set operator may take the other side's type
      if (item.expr->kind == ExprKind::Column) {
        if (const Column* m = lastColumnMeta_) {
          c.size = m->size;
          c.precision = m->precision;
          c.scale = m->scale;
          c.nullable = m->nullable;
        }
      }
      if (t.type == DataType::Timestamp) {
        c.scale = digitsOf(t);
        c.zone = t.zone;
      }
      describeInterval(c, t);
      parts.push_back(t.sql + " AS " + outputAlias(c.name, parts.size()));
      cols.push_back(c);
    }
    return join(parts);
  }

  // START WITH / CONNECT BY as a recursive common table expression over the single FROM item.
  // Whether a PRIOR in the condition reads a column (rather than a generator's PRIOR of a function).
  static bool priorOfColumn(const Expr& e) {
    std::function<bool(const Expr&)> hasColumn = [&](const Expr& x) {
      if (x.kind == ExprKind::Column) return true;
      if (x.kind == ExprKind::Subquery || x.kind == ExprKind::Exists) return false;
      for (const auto& a : x.args)
        if (a && hasColumn(*a)) return true;
      return false;
    };
    if (e.kind == ExprKind::Unary && e.op == "PRIOR") return !e.args.empty() && e.args[0] && hasColumn(*e.args[0]);
    if (e.kind == ExprKind::Subquery || e.kind == ExprKind::Exists) return false;
    for (const auto& a : e.args)
      if (a && priorOfColumn(*a)) return true;
    return false;
  }

  std::string hierarchical(const QueryBlock& b, const Scope* outer, std::vector<Column>& cols, const Query& q) {
    InlineLiterals keep(*this);
    if (b.from.size() != 1) fail(1437, b.from[1].pos);
    Source base;
    std::string baseSql = fromItem(b.from[0], outer, base);
    std::string cte = newAlias();
    std::string prior = newAlias();
    // A row's identity: a table's rowid; the rows of an inline view whose columns PRIOR connects are
    // numbered once (a materialized common table) so that loops are found and siblings can be
    // ordered as over a table. A row generator (CONNECT BY LEVEL <= n, PRIOR of no column) has none.
    std::string rowKey;
    std::string numbered;
    if (base.isTable) {
      rowKey = base.sqlAlias + ".rowid";
    } else if (base.tableName != "DUAL" && priorOfColumn(*b.connectBy)) {
      std::string name = newAlias();
      numbered = name + " AS MATERIALIZED (SELECT *, row_number() OVER () AS \"__RN\" FROM " + baseSql + "), ";
      baseSql = name + " AS " + base.sqlAlias;
      rowKey = base.sqlAlias + ".\"__RN\"";
    }
    bool keyed = !rowKey.empty();
    // Rows of the hierarchy: the base columns plus the level and a path for pre-order sorting.
    std::vector<std::string> baseCols;
    for (const auto& c : base.columns) baseCols.push_back(base.sqlAlias + "." + quoteName(c.name));
    std::string rowidSql = base.isTable ? rowKey : "NULL";
    // The path of row identities from the root orders rows depth-first and finds loops.
    // Rows without one: every row of a level has the same children, so depth-first order is level
    // order and the path is the level alone (a path that grew by a level per row would make
    // CONNECT BY LEVEL <= n quadratic in n).
    std::string me = keyed ? "printf('%010d', " + rowKey + ")" : "printf('%010d', 1)";
    std::string stepMe = keyed ? me : "printf('%010d', " + prior + ".\"__LEVEL\" + 1)";
    auto extend = [&](const std::string& column, const std::string& item) {
      return keyed ? prior + "." + column + " || '/' || " + item : item;
    };
    Scope startScope;
    startScope.parent = outer;
    startScope.sources.push_back(base);
    startScope.levelSql = "1";
    std::string anchor = "SELECT " + join(baseCols) + ", " + rowidSql + " AS \"__RID\", 1 AS \"__LEVEL\", " + me +
                         " AS \"__PATH\" FROM " + baseSql;
    if (b.startWith) anchor += " WHERE " + condition(*b.startWith, startScope);
    Scope stepScope = startScope;
    stepScope.inConnectBy = true;
    stepScope.priorAlias = prior;
    stepScope.levelSql = "(" + prior + ".\"__LEVEL\" + 1)";
    std::string step = "SELECT " + join(baseCols) + ", " + rowidSql + ", " + prior + ".\"__LEVEL\" + 1, " +
                       extend("\"__PATH\"", stepMe) + " FROM " + baseSql + " JOIN " + cte + " AS " + prior + " ON " +
                       condition(*b.connectBy, stepScope);
    // A loop is a row that comes again on its own path; only a condition with PRIOR of a column can
    // make one (CONNECT BY LEVEL <= n repeats the rows on purpose).
    if (keyed && priorOfColumn(*b.connectBy)) {
      std::string seen = "instr(" + prior + ".\"__PATH\", " + me + ") > 0";
      step += b.noCycle ? " AND NOT " + seen : " AND CASE WHEN " + seen + " THEN nuvo_error(1436) ELSE 1 END";
    }
    std::vector<std::string> cteCols;
    for (const auto& c : base.columns) cteCols.push_back(quoteName(c.name));
    cteCols.push_back("\"__RID\"");
    cteCols.push_back("\"__LEVEL\"");
    cteCols.push_back("\"__PATH\"");
    // SYS_CONNECT_BY_PATH(value, separator): a column of the hierarchy that grows row by row.
    std::vector<const Expr*> pathCalls, rootCalls;
    std::function<void(const Expr&)> findPaths = [&](const Expr& x) {
      if (x.kind == ExprKind::Function && x.name.parts.size() == 1 && x.name.last() == "SYS_CONNECT_BY_PATH") {
        if (x.args.size() != 2) fail(909, x.pos);
        pathCalls.push_back(&x);
      }
      if (x.kind == ExprKind::Unary && x.op == "CONNECT_BY_ROOT") rootCalls.push_back(&x);
      for (const auto& a : x.args)
        if (a) findPaths(*a);
    };
    for (const auto& item : b.items)
      if (item.expr) findPaths(*item.expr);
    for (const auto& o : q.orderBy) findPaths(*o.expr);
    if (b.where) findPaths(*b.where);
    std::map<const Expr*, std::string> paths;
    for (std::size_t k = 0; k < pathCalls.size(); ++k) {
      const Expr& call = *pathCalls[k];
      std::string name = "\"__CBP" + std::to_string(k) + "\"";
      auto piece = [&](const Scope& s) {
        return "ifnull(" + coerce(expr(*call.args[1], s), DataType::Varchar2).sql + ", '') || ifnull(" +
               coerce(expr(*call.args[0], s), DataType::Varchar2).sql + ", '')";
      };
      std::size_t from = anchor.find(" FROM ");
      anchor.insert(from, ", " + piece(startScope));
      std::size_t stepFrom = step.find(" FROM ");
      step.insert(stepFrom, ", " + prior + "." + name + " || " + piece(stepScope));
      cteCols.push_back(name);
      paths[&call] = name;
    }
    // CONNECT_BY_ROOT value: the root row's value, handed down the hierarchy.
    std::map<const Expr*, Typed> rootValues;
    for (std::size_t k = 0; k < rootCalls.size(); ++k) {
      const Expr& call = *rootCalls[k];
      std::string name = "\"__CBR" + std::to_string(k) + "\"";
      Typed value = expr(*call.args[0], startScope);
      anchor.insert(anchor.find(" FROM "), ", " + value.sql);
      step.insert(step.find(" FROM "), ", " + prior + "." + name);
      cteCols.push_back(name);
      rootValues[&call] = Typed{name, value.type};
    }
    // ORDER SIBLINGS BY: each row's rank among all base rows by the sort keys orders it among its
    // siblings too; a second path of ranks sorts the hierarchy instead of the path of rowids.
    std::string ranks;
    std::string sortPathCol = "\"__PATH\"";
    if (q.orderSiblings) {
      std::vector<std::string> keys;
      for (const auto& o : q.orderBy) {
        bool nullsFirst = o.nulls == 1 || (o.nulls == 0 && o.descending);
        keys.push_back(expr(*o.expr, startScope).sql + (o.descending ? " DESC" : "") +
                       (nullsFirst ? " NULLS FIRST" : " NULLS LAST"));
      }
      std::string rank;
      if (keyed) {
        ranks = newAlias();
        keys.push_back(rowKey);
        rank = "printf('%010d', (SELECT " + ranks + ".\"__N\" FROM " + ranks + " WHERE " + ranks + ".\"__R\" = " +
               rowKey + "))";
        ranks += " AS (SELECT " + rowKey + " AS \"__R\", row_number() OVER (ORDER BY " + join(keys) +
                 ") AS \"__N\" FROM " + baseSql + "), ";
      } else {
        // Rows of a generator are one row repeated: siblings are equal, their path is their level.
        rank = me;
      }
      // Added last: the columns above are inserted before the first FROM, which this one contains.
      anchor.insert(anchor.find(" FROM "), ", " + rank);
      step.insert(step.find(" FROM "), ", " + extend("\"__SPATH\"", keyed ? rank : stepMe));
      cteCols.push_back("\"__SPATH\"");
      sortPathCol = "\"__SPATH\"";
    }
    Source rows = base;
    rows.sqlAlias = newAlias();
    rows.rowidSql = rows.sqlAlias + ".\"__RID\"";
    Scope scope;
    scope.parent = outer;
    scope.levelSql = rows.sqlAlias + ".\"__LEVEL\"";
    scope.paths = &paths;
    for (auto& [call, value] : rootValues) value.sql = rows.sqlAlias + "." + value.sql;
    scope.roots = &rootValues;
    // A leaf has no row below it: no row's path continues its own. Without row identities the
    // levels run from 1 without a gap, and a row has children when a deeper level exists.
    std::string below = newAlias();
    if (keyed)
      scope.isLeafSql = "CASE WHEN EXISTS (SELECT 1 FROM " + cte + " AS " + below + " WHERE substr(" + below +
                        ".\"__PATH\", 1, length(" + rows.sqlAlias + ".\"__PATH\") + 1) = " + rows.sqlAlias +
                        ".\"__PATH\" || '/') THEN 0 ELSE 1 END";
    else
      scope.isLeafSql = "CASE WHEN " + rows.sqlAlias + ".\"__LEVEL\" < (SELECT max(" + below + ".\"__LEVEL\") FROM " + cte +
                        " AS " + below + ") THEN 0 ELSE 1 END";
    // A row is a cycle row when a row it connects to is already on its path.
    if (b.noCycle) {
      scope.isCycleSql = "0";
      // Without row identities there is no path to find the cycle with: the pseudocolumn is refused.
      scope.cycleUnsupported = !keyed;
      if (keyed) {
        Scope cycleScope = startScope;
        cycleScope.inConnectBy = true;
        cycleScope.priorAlias = rows.sqlAlias;
        cycleScope.levelSql = "(" + rows.sqlAlias + ".\"__LEVEL\" + 1)";
        scope.isCycleSql = "CASE WHEN EXISTS (SELECT 1 FROM " + baseSql + " WHERE " +
                           condition(*b.connectBy, cycleScope) + " AND instr(" + rows.sqlAlias + ".\"__PATH\", " + me +
                           ") > 0) THEN 1 ELSE 0 END";
      }
    }
    scope.sources.push_back(rows);
    // WHERE filters the hierarchy's rows; ROWNUM then numbers them in hierarchy order, before
    // grouping and sorting, so a ROWNUM limit takes the first rows depth-first in a subquery
    // (under the same alias, so the names compiled against the scope still reach its columns).
    std::string from = cte + " AS " + rows.sqlAlias;
    std::string path = rows.sqlAlias + "." + sortPathCol;
    std::vector<ExprPtr> where;
    if (b.where) splitConjuncts(b.where, where);
    std::vector<std::string> conditions;
    std::string limit;
    for (const auto& c : where) {
      if (rownumLimit(*c, scope, limit)) continue;
      conditions.push_back(condition(*c, scope));
    }
    if (!limit.empty()) {
      from = "(SELECT * FROM " + from + (conditions.empty() ? "" : " WHERE " + join(conditions, " AND ")) +
             " ORDER BY " + path + " LIMIT " + limit + ") AS " + rows.sqlAlias;
      conditions.clear();
    }
    std::string items = selectList(b, scope, cols);
    std::string sql = "WITH RECURSIVE " + numbered + ranks + cte + "(" + join(cteCols) + ") AS (" + anchor + " UNION ALL " + step +
                      ") SELECT " + (b.distinct ? "DISTINCT " : "") + items + " FROM " + from;
    if (!conditions.empty()) sql += " WHERE " + join(conditions, " AND ");
    if (!b.groupBy.empty()) {
      std::vector<std::string> g;
      for (const auto& e : b.groupBy) g.push_back(expr(*e, scope).sql);
      sql += " GROUP BY " + join(g);
    }
    if (b.having) sql += " HAVING " + condition(*b.having, scope);
    if (!q.orderBy.empty() && !q.orderSiblings) sql += orderBy(q.orderBy, cols, &scope, &b.items);
    else if (!isGrouped(b)) sql += " ORDER BY " + path;
    return sql;
  }

  // ------------------------------------------------------------------------------------------------
  // Expressions

  std::string condition(const Expr& e, const Scope& scope) { return expr(e, scope).sql; }

  // A name or call the context resolves (PL/SQL variables as binds, stored functions as calls).
  std::optional<Typed> external(const Expr& e, const Scope& scope) {
    if (!ctx_.resolveExternal) return std::nullopt;
    auto x = ctx_.resolveExternal(e);
    if (!x) return std::nullopt;
    if (!x->bind.empty()) {
      Expr b;
      b.kind = ExprKind::Bind;
      b.text = x->bind;
      Typed t{bind(b).sql, x->type};
      t.fraction = x->fraction;
      // PL/SQL holds an interval as its text.
      if (isInterval(x->type)) return intervalOf(intervalIn(t.sql, x->type), x->type, x->leading, x->fraction);
      return t;
    }
    std::string sql = x->function;
    for (const auto& a : e.args) sql += ", " + expr(*a, scope).sql;
    if (isInterval(x->type)) return intervalOf(intervalIn(sql + ")", x->type), x->type, x->leading, x->fraction);
    return Typed{sql + ")", x->type};
  }

  // A literal of the statement's own text as a parameter, when nothing here depends on its value:
  // written as ?#k# and numbered after the binds once the statement is compiled.
  std::optional<std::string> literalParam(const Expr& e) {
    if (!ctx_.literals || inlineLiterals_ > 0) return std::nullopt;
    auto it = ctx_.literals->find(&e);
    if (it == ctx_.literals->end()) return std::nullopt;
    out_.literalParams.push_back(it->second);
    return "?#" + std::to_string(out_.literalParams.size() - 1) + "#";
  }

  // Keeps literals inline while it lives: their text shapes headings, grouping and sorting.
  struct InlineLiterals {
    explicit InlineLiterals(Compiler& c) : c_(c) { ++c_.inlineLiterals_; }
    ~InlineLiterals() { --c_.inlineLiterals_; }
    Compiler& c_;
  };

  Typed bind(const Expr& e) {
    std::string name = e.text;
    auto it = std::find(out_.bindNames.begin(), out_.bindNames.end(), name);
    std::size_t index;
    if (it == out_.bindNames.end()) {
      out_.bindNames.push_back(name);
      out_.bindTargets.push_back(DataType::Unknown);
      index = out_.bindNames.size();
    } else {
      index = static_cast<std::size_t>(it - out_.bindNames.begin()) + 1;
    }
    return {"?" + std::to_string(index), DataType::Unknown};
  }

  // Converts a value to the type a column or operand needs, as Oracle's implicit conversion does.
  Typed coerce(const Typed& v, DataType target, const Expr& source) {
    if (source.kind == ExprKind::Bind) {
      auto it = std::find(out_.bindNames.begin(), out_.bindNames.end(), source.text);
      auto& slot = out_.bindTargets[static_cast<std::size_t>(it - out_.bindNames.begin())];
      if (slot == DataType::Unknown) slot = target;
      return {v.sql, target};
    }
    return coerce(v, target);
  }

  Typed coerce(const Typed& v, DataType target) {
    if (v.type == DataType::Unknown || v.type == target) return v;
    if (isInterval(target) && isText(v.type)) return intervalOf(intervalIn(v.sql, target), target, 9, 9);
    if (isInterval(v.type) && isText(target)) return {intervalText(v), target};
    if (target == DataType::Timestamp) {
      if (isText(v.type)) return timestampOf("ora_text_to_ts(" + v.sql + ")", -1);
      if (v.type == DataType::Date) return timestampOf(v.sql, 0);  // a DATE's text is a TIMESTAMP's too
    }
    if (v.type == DataType::Timestamp) {
      if (target == DataType::Date) return {"ora_ts_to_date(" + v.sql + ")", target};
      if (isText(target)) return {"ora_to_char_ts(" + v.sql + ", " + std::to_string(digitsOf(v)) + ")", target};
    }
    if (target == DataType::Number && isText(v.type)) return {"ora_to_number(" + v.sql + ")", target};
    if (target == DataType::Date && isText(v.type)) return {"ora_text_to_date(" + v.sql + ")", target};
    if (isText(target) && v.type == DataType::Number) return {"ora_to_char(" + v.sql + ")", target};
    if (isText(target) && v.type == DataType::Date) return {"ora_to_char_date(" + v.sql + ")", target};
    if (target == DataType::Raw && isText(v.type)) return {"ora_hextoraw(" + v.sql + ")", target};
    if (isText(target) && v.type == DataType::Raw) return {"ora_rawtohex(" + v.sql + ")", target};
    return v;
  }

  Typed expr(const Expr& e, const Scope& scope) {
    lastColumnMeta_ = nullptr;
    if (!groupingNulled_.empty() && aggregateDepth_ == 0 && e.kind != ExprKind::Null && e.kind != ExprKind::Number &&
        e.kind != ExprKind::String && groupingNulled_.count(headingOf(sourceOf(e)))) {
      // A GROUP BY expression outside this grouping set: NULL, of its own type.
      std::set<std::string> held;
      held.swap(groupingNulled_);
      Typed t = expr(e, scope);
      held.swap(groupingNulled_);
      return {"NULL", t.type};
    }
    switch (e.kind) {
      case ExprKind::Null: return {"NULL", DataType::Unknown};
      case ExprKind::Number:
        if (auto p = literalParam(e)) return {*p, DataType::Number};
        return {e.text, DataType::Number};
      case ExprKind::String:
        if (e.text.empty()) return {"NULL", DataType::Unknown};
        if (auto p = literalParam(e)) return {*p, DataType::Varchar2};
        return {quoteText(e.text), DataType::Varchar2};
      case ExprKind::Bind: return bind(e);
      case ExprKind::Column: return column(e, scope);
      case ExprKind::Star: fail(936, e.pos);
      case ExprKind::Unary: return unary(e, scope);
      case ExprKind::Binary: return binary(e, scope);
      case ExprKind::Function: return function(e, scope);
      case ExprKind::Case: return caseExpr(e, scope);
      case ExprKind::Subquery: {
        std::vector<Column> cols;
        std::string sql = query(*e.query, &scope, cols);
        if (cols.size() != 1) fail(913, e.pos);
        // More than one row is ORA-01427; SQLite would take the first.
        return {"(SELECT CASE WHEN count(*) > 1 THEN nuvo_error(1427) ELSE max(v." + quoteName(cols[0].name) +
                    ") END FROM (SELECT * FROM (" + sql + ") LIMIT 2) AS v)",
                cols[0].type};
      }
      case ExprKind::Exists: {
        std::vector<Column> cols;
        return {"EXISTS (" + query(*e.query, &scope, cols) + ")", DataType::Boolean};
      }
      case ExprKind::InList: {
        Typed left = expr(*e.args[0], scope);
        std::vector<std::string> items;
        for (std::size_t i = 1; i < e.args.size(); ++i) {
          Typed v = expr(*e.args[i], scope);
          items.push_back(coerce(v, left.type, *e.args[i]).sql);
        }
        return {"(" + left.sql + (e.negated ? " NOT IN (" : " IN (") + join(items) + "))", DataType::Boolean};
      }
      case ExprKind::InSubquery: {
        Typed left = expr(*e.args[0], scope);
        std::vector<Column> cols;
        std::string q = query(*e.query, &scope, cols);
        std::size_t want = e.args[0]->kind == ExprKind::Row ? e.args[0]->args.size() : 1;
        if (cols.size() < want) fail(947, e.pos);
        if (cols.size() > want) fail(913, e.pos);
        return {"(" + left.sql + (e.negated ? " NOT IN (" : " IN (") + q + "))", DataType::Boolean};
      }
      case ExprKind::Row: {
        std::vector<std::string> items;
        for (const auto& a : e.args) items.push_back(expr(*a, scope).sql);
        return {"(" + join(items) + ")", DataType::Unknown};
      }
      case ExprKind::Between: {
        Typed v = expr(*e.args[0], scope);
        Typed lo = expr(*e.args[1], scope);
        Typed hi = expr(*e.args[2], scope);
        DataType t = v.type != DataType::Unknown ? v.type : lo.type;
        return {"(" + coerce(v, t, *e.args[0]).sql + (e.negated ? " NOT BETWEEN " : " BETWEEN ") +
                    coerce(lo, t, *e.args[1]).sql + " AND " + coerce(hi, t, *e.args[2]).sql + ")",
                DataType::Boolean};
      }
      case ExprKind::Like: {
        lastTableColumn_ = false;
        Typed v = coerce(expr(*e.args[0], scope), DataType::Varchar2);
        bool tableText = lastTableColumn_ && e.args[0]->kind == ExprKind::Column;
        Typed p = coerce(expr(*e.args[1], scope), DataType::Varchar2);
        std::string sql = "ora_like(" + v.sql + ", " + p.sql;
        if (e.args.size() > 2) sql += ", " + expr(*e.args[2], scope).sql;
        sql += ")";
        // A text column of a table against a pattern known before the rows: the pattern's fixed
        // prefix bounds the values (an index range); LIKE itself still decides.
        bool knownPattern = e.args[1]->kind == ExprKind::Bind || e.args[1]->kind == ExprKind::String;
        if (tableText && knownPattern && !e.negated && e.args.size() == 2)
          sql = "(" + sql + " AND " + v.sql + " >= nuvo_like_low(" + p.sql + ") AND " + v.sql + " < nuvo_like_high(" +
                p.sql + "))";
        return {e.negated ? "(NOT " + sql + ")" : sql, DataType::Boolean};
      }
      case ExprKind::IsNull: {
        Typed v = expr(*e.args[0], scope);
        return {"(" + v.sql + (e.negated ? " IS NOT NULL)" : " IS NULL)"), DataType::Boolean};
      }
      case ExprKind::Any: {
        Typed left = expr(*e.args[0], scope);
        std::string inner;
        std::string column = "C";
        if (e.query) {
          std::vector<Column> cols;
          inner = query(*e.query, &scope, cols);
          if (cols.size() != 1) fail(cols.size() > 1 ? 913 : 947, e.pos);
          column = cols[0].name;
        } else {
          std::vector<std::string> items;
          for (std::size_t i = 1; i < e.args.size(); ++i)
            items.push_back("SELECT " + coerce(expr(*e.args[i], scope), left.type).sql + " AS \"C\"");
          inner = join(items, " UNION ALL ");
        }
        // x op ANY (q): some row satisfies; x op ALL (q): no row fails (a NULL comparison fails it too).
        std::string test = "(" + left.sql + ") " + e.op + " v." + quoteName(column);
        std::string sql = e.all ? "NOT EXISTS (SELECT 1 FROM (" + inner + ") AS v WHERE (" + test + ") IS NOT 1)"
                                : "EXISTS (SELECT 1 FROM (" + inner + ") AS v WHERE " + test + ")";
        return {sql, DataType::Boolean};
      }
    }
    fail(936, e.pos);
  }

  Typed unary(const Expr& e, const Scope& scope) {
    if (e.op == "CONNECT_BY_ROOT") {
      for (const Scope* s = &scope; s; s = s->parent)
        if (s->roots && s->roots->count(&e)) return s->roots->at(&e);
      fail(30007, e.pos);
    }
    if (e.op == "PRIOR") {
      if (!scope.inConnectBy) fail(976, e.pos);
      const Expr& c = *e.args[0];
      if (c.kind != ExprKind::Column) fail(976, e.pos);
      Scope priorScope = scope;
      priorScope.inConnectBy = false;
      for (auto& s : priorScope.sources) s.sqlAlias = scope.priorAlias;
      return column(c, priorScope);
    }
    Typed v = expr(*e.args[0], scope);
    if (e.op == "NOT") return {"(NOT " + v.sql + ")", DataType::Boolean};
    if (isInterval(v.type)) {
      if (e.op == "-") v.sql = "(- " + v.sql + ")";
      return v;
    }
    Typed n = coerce(v, DataType::Number);
    if (e.op == "-") return {"(- " + n.sql + ")", DataType::Number};
    return n;
  }

  Typed binary(const Expr& e, const Scope& scope) {
    const std::string& op = e.op;
    if (op == "AND" || op == "OR") {
      return {"(" + expr(*e.args[0], scope).sql + " " + op + " " + expr(*e.args[1], scope).sql + ")", DataType::Boolean};
    }
    Typed l = expr(*e.args[0], scope);
    Typed r = expr(*e.args[1], scope);
    if (op == "||") {
      return {"ora_concat(" + concatOperand(l) + ", " + concatOperand(r) + ")", DataType::Varchar2};
    }
    if (op == "=" || op == "!=" || op == "<" || op == "<=" || op == ">" || op == ">=") {
      if (!l.rawRowid.empty() && r.type != DataType::Rowid) return {"(" + l.rawRowid + " " + op + " nuvo_rowid_num(" + r.sql + "))", DataType::Boolean};
      if (!r.rawRowid.empty() && l.type != DataType::Rowid) return {"(nuvo_rowid_num(" + l.sql + ") " + op + " " + r.rawRowid + ")", DataType::Boolean};
      // Oracle converts text to the other side's number or date.
      DataType t = l.type;
      if (t == DataType::Unknown ||
          (isText(t) && (r.type == DataType::Number || isDatetime(r.type) || r.type == DataType::Raw || isInterval(r.type))) ||
          (t == DataType::Date && r.type == DataType::Timestamp))
        t = r.type;
      // An interval compares only with an interval of its kind (or text read as one).
      if ((isInterval(l.type) || isInterval(r.type)) && l.type != r.type && !isText(l.type) && !isText(r.type) &&
          l.type != DataType::Unknown && r.type != DataType::Unknown)
        fail(932, e.pos, "inconsistent datatypes: expected " + std::string(dataTypeName(l.type)) + " got " + dataTypeName(r.type));
      l = coerce(l, t, *e.args[0]);
      r = coerce(r, t, *e.args[1]);
      // Datetimes with a time zone compare by their UTC instant.
      if ((l.zone || r.zone) && isDatetime(l.type) && isDatetime(r.type)) {
        l.sql = "ora_tz_utc(" + l.sql + ")";
        r.sql = "ora_tz_utc(" + r.sql + ")";
      }
      // CHAR against CHAR or a literal compares blank-padded: trailing blanks do not count.
      auto padded = [](const Typed& v, const Expr& x) { return v.type == DataType::Char || x.kind == ExprKind::String; };
      if ((l.type == DataType::Char || r.type == DataType::Char) && padded(l, *e.args[0]) && padded(r, *e.args[1])) {
        l.sql = "rtrim(" + l.sql + ", ' ')";
        r.sql = "rtrim(" + r.sql + ", ' ')";
      }
      return {"(" + l.sql + " " + op + " " + r.sql + ")", DataType::Boolean};
    }
    if (isInterval(l.type) || isInterval(r.type) ||
        (op == "-" && isDatetime(l.type) && isDatetime(r.type) && (l.type == DataType::Timestamp || r.type == DataType::Timestamp)))
      return intervalArithmetic(e, l, r);
    // Arithmetic, with DATE arithmetic in days.
    // A TIMESTAMP with a number of days gives a DATE, as in Oracle.
    if (isDatetime(l.type) || isDatetime(r.type)) {
      if (op == "+") {
        const Typed& d = isDatetime(l.type) ? l : r;
        const Typed& n = isDatetime(l.type) ? r : l;
        if (isDatetime(n.type)) fail(975, e.pos);
        return {"ora_date_add(" + d.sql + ", " + coerce(n, DataType::Number).sql + ")", DataType::Date};
      }
      if (op == "-" && isDatetime(l.type)) {
        if (isDatetime(r.type)) return {"ora_date_diff(" + l.sql + ", " + r.sql + ")", DataType::Number};
        return {"ora_date_add(" + l.sql + ", -(" + coerce(r, DataType::Number).sql + "))", DataType::Date};
      }
      fail(932, e.pos, "inconsistent datatypes: expected NUMBER got DATE");
    }
    l = coerce(l, DataType::Number, *e.args[0]);
    r = coerce(r, DataType::Number, *e.args[1]);
    if (op == "/") return {"ora_div(" + l.sql + ", " + r.sql + ")", DataType::Number};
    return {"(" + l.sql + " " + op + " " + r.sql + ")", DataType::Number};
  }

  // Datetimes and intervals: datetime +/- interval is a datetime of the same type (a YEAR TO MONTH
  // keeps the day of the month, ORA-01839 when that month lacks it); datetime - datetime with a
  // TIMESTAMP among them is an INTERVAL DAY TO SECOND (DATE - DATE stays a number of days);
  // intervals of one kind add and subtract, and scale by a number. Anything else is ORA-30081.
  Typed intervalArithmetic(const Expr& e, const Typed& l, const Typed& r) {
    const std::string& op = e.op;
    bool li = isInterval(l.type), ri = isInterval(r.type);
    if ((isDatetime(l.type) && ri && (op == "+" || op == "-")) || (li && isDatetime(r.type) && op == "+")) {
      const Typed& d = li ? r : l;
      const Typed& i = li ? l : r;
      bool stamp = d.type == DataType::Timestamp;
      std::string sql = std::string(i.type == DataType::IntervalDaySecond ? "ora_dt_add_ds(" : "ora_dt_add_ym(") + d.sql +
                        ", " + (op == "-" ? "-(" + i.sql + ")" : i.sql) + ", " + (stamp ? "1" : "0") + ")";
      Typed out = stamp ? timestampOf(sql, d.fraction) : Typed{sql, DataType::Date};
      out.zone = stamp ? d.zone : 0;
      return out;
    }
    if (isDatetime(l.type) && isDatetime(r.type) && op == "-")
      return intervalOf("ora_ts_diff(" + l.sql + ", " + r.sql + ")", DataType::IntervalDaySecond, 9, 9);
    if (li && ri) {
      if (l.type == r.type && (op == "+" || op == "-"))
        return intervalOf("(" + l.sql + " " + op + " " + r.sql + ")", l.type, 9, 9);
      fail(30081, e.pos);
    }
    const Typed& i = li ? l : r;
    const Typed& n = li ? r : l;
    if (!isDatetime(n.type) && (op == "*" || (op == "/" && li))) {
      Typed factor = coerce(n, DataType::Number, li ? *e.args[1] : *e.args[0]);
      return intervalOf("ora_interval_scale(" + i.sql + ", " + factor.sql + ", " +
                            (i.type == DataType::IntervalYearMonth ? "1" : "0") + ", " + (op == "/" ? "1" : "0") + ")",
                        i.type, 9, 9);
    }
    fail(30081, e.pos);
  }

  std::string concatOperand(const Typed& v) {
    if (v.type == DataType::Date) return "ora_to_char_date(" + v.sql + ")";
    if (v.type == DataType::Timestamp) return coerce(v, DataType::Varchar2).sql;
    if (isInterval(v.type)) return intervalText(v);
    if (v.type == DataType::Number) return "ora_to_char(" + v.sql + ")";
    if (v.type == DataType::Raw || v.type == DataType::Blob) return "ora_rawtohex(" + v.sql + ")";
    return v.sql;
  }

  Typed caseExpr(const Expr& e, const Scope& scope) {
    std::string sql = "CASE";
    std::size_t i = 0;
    Typed operand;
    if (e.hasOperand) {
      operand = expr(*e.args[0], scope);
      sql += " " + operand.sql;
      i = 1;
    }
    DataType result = DataType::Unknown;
    std::size_t pairsEnd = e.args.size() - (e.hasElse ? 1 : 0);
    std::vector<Typed> results;
    for (; i + 1 < pairsEnd + 1 && i < pairsEnd; i += 2) {
      Typed when = expr(*e.args[i], scope);
      if (e.hasOperand) when = coerce(when, operand.type, *e.args[i]);
      Typed then = expr(*e.args[i + 1], scope);
      if (result == DataType::Unknown) result = then.type;
      sql += " WHEN " + when.sql + " THEN " + coerce(then, result, *e.args[i + 1]).sql;
    }
    if (e.hasElse) {
      Typed other = expr(*e.args.back(), scope);
      if (result == DataType::Unknown) result = other.type;
      sql += " ELSE " + coerce(other, result, *e.args.back()).sql;
    }
    return {sql + " END", result};
  }

  Typed column(const Expr& e, const Scope& scope) {
    const auto& parts = e.name.parts;
    std::string name = parts.back();
    // table.column (or schema.table.column) and plain column, searched from the innermost scope out.
    for (const Scope* s = &scope; s; s = s->parent) {
      const Source* found = nullptr;
      const SourceColumn* col = nullptr;
      bool qualified = parts.size() >= 2;
      for (const auto& src : s->sources) {
        if (qualified) {
          const std::string& table = parts[parts.size() - 2];
          if (src.alias != table) continue;
          if (parts.size() == 3 && src.owner != parts[0]) continue;
        }
        if (name == "ROWID" && src.isTable) {
          if (qualified || s->sources.size() == 1) {
            std::string raw = src.rowidSql.empty() ? src.sqlAlias + ".rowid" : src.rowidSql;
            return {"nuvo_rowid(" + std::to_string(src.objectId) + ", " + raw + ")", DataType::Rowid, raw};
          }
        }
        if (const SourceColumn* c = findColumn(src, name)) {
          if (found) fail(918, e.pos);
          found = &src;
          col = c;
        }
      }
      if (found) {
        lastColumnMeta_ = &col->meta;
        // Values of a VARCHAR2 or CHAR column of a table are stored as text.
        lastTableColumn_ = found->isTable && col->sql.empty() &&
                           (col->meta.type == DataType::Varchar2 || col->meta.type == DataType::Char);
        std::string sql = col->sql.empty() ? found->sqlAlias + "." + quoteName(col->name) : col->sql;
        if (col->meta.type == DataType::Timestamp) {
          // WITH LOCAL TIME ZONE is read in the session's time zone, as a plain TIMESTAMP.
          if (col->meta.zone == 2) return timestampOf("ora_tz_from_db(" + sql + ")", col->meta.scale);
          Typed t = timestampOf(sql, col->meta.scale);
          t.zone = col->meta.zone;
          return t;
        }
        if (isInterval(col->meta.type)) return intervalOf(sql, col->meta.type, col->meta.precision, col->meta.scale);
        return {sql, col->meta.type};
      }
      if (!s->levelSql.empty() && parts.size() == 1 && name == "LEVEL") return {s->levelSql, DataType::Number};
      if (!s->isLeafSql.empty() && parts.size() == 1 && name == "CONNECT_BY_ISLEAF")
        return {s->isLeafSql, DataType::Number};
      if (!s->isLeafSql.empty() && parts.size() == 1 && name == "CONNECT_BY_ISCYCLE") {
        if (s->cycleUnsupported) fail(3001, e.pos);
        if (s->isCycleSql.empty()) fail(30930, e.pos);
        return {s->isCycleSql, DataType::Number};
      }
    }
    if (parts.size() == 1) {
      if (name == "SYSDATE" || name == "CURRENT_DATE") return {"ora_sysdate()", DataType::Date};
      if (name == "SYSTIMESTAMP") return zonedOf("ora_systimestamp_tz()", 6);
      if (name == "CURRENT_TIMESTAMP") return zonedOf("ora_current_timestamp()", 6);
      if (name == "LOCALTIMESTAMP") return timestampOf("ora_localtimestamp()", 6);
      if (name == "SESSIONTIMEZONE") return {"ora_sessiontimezone()", DataType::Varchar2};
      if (name == "DBTIMEZONE") return {"ora_dbtimezone()", DataType::Varchar2};
      if (name == "USER") return {"ora_user()", DataType::Varchar2};
      if (name == "UID") return {"ora_uid()", DataType::Number};
      if (name == "ROWNUM") return {"row_number() OVER ()", DataType::Number};
      if (name == "LEVEL") fail(976, e.pos);
    }
    if (parts.size() >= 2 && (name == "NEXTVAL" || name == "CURRVAL")) return sequence(e);
    if (auto x = external(e, scope)) return *x;
    std::string shown;
    for (const auto& p : parts) shown += (shown.empty() ? "\"" : ".\"") + p + "\"";
    fail(904, e.pos, shown);
  }

  Typed sequence(const Expr& e) {
    // Over a link the sequence is resolved and checked in the other database as the link's user,
    // and its values are taken there.
    std::string link;
    for (char c : e.dbLink) link += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    Resolved r;
    if (!link.empty()) {
      CompileContext rc = remote(e.dbLink, e.pos);
      Compiled inner;
      Compiler sub(rc, text_, inner);
      r = sub.resolveSequence(e);
    } else {
      r = resolveSequence(e);
    }
    // NEXTVAL advances once per row however often the statement names it: the later ones read CURRVAL.
    bool first = e.name.last() == "NEXTVAL" && advanced_.insert(link + "@" + r.owner + "." + r.name).second;
    std::string fn = std::string(link.empty() ? "nuvo_" : "nuvo_link_") + (first ? "nextval" : "currval");
    std::string args = (link.empty() ? "" : quoteText(link) + ", ") + quoteText(r.owner) + ", " + quoteText(r.name);
    return {fn + "(" + args + ")", DataType::Number};
  }

  Resolved resolveSequence(const Expr& e) {
    Name seqName;
    seqName.parts.assign(e.name.parts.begin(), e.name.parts.end() - 1);
    seqName.pos = e.pos;
    Resolved r;
    try {
      r = resolveObject(seqName, "SELECT");
    } catch (const Error& err) {
      if (err.code() == 942) fail(2289, e.pos);
      throw;
    }
    if (r.type != "SEQUENCE") fail(2289, e.pos);
    return r;
  }

  Typed function(const Expr& e, const Scope& scope) {
    const std::string& name = e.name.last();
    // f(x).field: only PL/SQL has values with fields.
    if (!e.fields.empty()) {
      if (auto x = external(e, scope)) return *x;
      fail(904, e.pos, "\"" + e.fields.back() + "\"");
    }
    if (e.name.parts.size() != 1) {
      if (auto x = external(e, scope)) return *x;
      fail(904, e.pos, quotedIdentifier(e.name));
    }
    if (e.window) return analytic(e, scope);
    if (aggregateNames().count(name)) {
      ++aggregateDepth_;
      struct Leave {
        int& depth;
        ~Leave() { --depth; }
      } leave{aggregateDepth_};
      return aggregate(e, scope);
    }
    if (name == "GROUPING" || name == "GROUPING_ID" || name == "GROUP_ID") return groupingFunction(e);
    if (name == "DATE") return dateLiteral(e);
    if (name == "INTERVAL" && (e.op == "DS" || e.op == "YM")) return intervalLiteral(e);
    if (name == "INTERVAL" && (e.op == "DSOF" || e.op == "YMOF")) return intervalOfDifference(e, scope);
    if (name == "NUMTODSINTERVAL" || name == "NUMTOYMINTERVAL" || name == "TO_DSINTERVAL" || name == "TO_YMINTERVAL")
      return intervalFunction(e, scope);
    if (name == "TIMESTAMP" && e.args.size() == 1 && e.args[0]->kind == ExprKind::String) return timestampLiteral(e);
    if (isClockName(name) && name != "SYSTIMESTAMP" && name != "CURRENT_DATE" && e.args.size() == 1 &&
        e.args[0]->kind == ExprKind::Number) {
      // CURRENT_TIMESTAMP(n), LOCALTIMESTAMP(n): the fraction's digits, 0 to 9.
      if (e.args[0]->text.find_first_not_of("0123456789") != std::string::npos || std::stoi(e.args[0]->text) > 9)
        fail(30088, e.args[0]->pos);
      int digits = std::stoi(e.args[0]->text);
      if (name == "CURRENT_TIMESTAMP") return zonedOf("ora_current_timestamp(" + e.args[0]->text + ")", digits);
      return timestampOf("ora_localtimestamp(" + e.args[0]->text + ")", digits);
    }
    if (name == "FROM_TZ" || name == "AT_TIME_ZONE" || name == "SYS_EXTRACT_UTC") return timeZoneFunction(e, scope);
    if (name == "TO_CHAR") return toChar(e, scope);
    if (name == "TRUNC" || name == "ROUND") return truncRound(e, scope);
    if (name == "CAST") return cast(e, scope);
    if (name == "SYS_CONNECT_BY_PATH") {
      for (const Scope* s = &scope; s; s = s->parent)
        if (s->paths && s->paths->count(&e)) return {s->paths->at(&e), DataType::Varchar2};
      fail(30002, e.pos);
    }
    if (name == "EXTRACT" && e.args.size() == 2 && e.args[0]->kind == ExprKind::String) {
      // A DATE holds year, month and day to extract; its time fields need a TIMESTAMP.
      static const std::map<std::string, std::string> fields = {{"YEAR", "%Y"}, {"MONTH", "%m"}, {"DAY", "%d"}};
      static const std::set<std::string> timeFields = {"HOUR", "MINUTE", "SECOND"};
      const std::string& fieldName = e.args[0]->text;
      Typed source = expr(*e.args[1], scope);
      if (isInterval(source.type)) {
        // Each field of an interval, with the interval's sign; a YEAR TO MONTH has no day or time.
        static const std::set<std::string> daySecond = {"DAY", "HOUR", "MINUTE", "SECOND"};
        bool months = source.type == DataType::IntervalYearMonth;
        if (months ? fieldName != "YEAR" && fieldName != "MONTH" : !daySecond.count(fieldName)) fail(30076, e.args[0]->pos);
        return {"ora_interval_extract('" + fieldName + "', " + source.sql + ", " + (months ? "1" : "0") + ")",
                DataType::Number};
      }
      if (fieldName.rfind("TIMEZONE_", 0) == 0) {
        if (source.type != DataType::Timestamp || !source.zone) fail(30076, e.args[0]->pos);
        return {"ora_extract_tz('" + fieldName + "', " + source.sql + ")",
                fieldName == "TIMEZONE_REGION" || fieldName == "TIMEZONE_ABBR" ? DataType::Varchar2 : DataType::Number};
      }
      // The fields of a value with a time zone are its UTC fields.
      if (source.zone) source.sql = "ora_tz_utc(" + source.sql + ")";
      if (source.type == DataType::Timestamp) {
        if (!fields.count(fieldName) && !timeFields.count(fieldName)) fail(30076, e.args[0]->pos);
        return {"ora_extract('" + fieldName + "', " + source.sql + ")", DataType::Number};
      }
      auto field = fields.find(fieldName);
      if (field == fields.end()) fail(30076, e.args[0]->pos);
      source = coerce(source, DataType::Date, *e.args[1]);
      return {"CAST(strftime('" + field->second + "', " + source.sql + ") AS INTEGER)", DataType::Number};
    }
    if (name == "SYSDATE" || name == "USER") fail(904, e.pos, "\"" + name + "\"");
    // An empty LOB is a value of no characters or bytes, which unlike '' is not NULL.
    if (name == "EMPTY_CLOB" || name == "EMPTY_BLOB") {
      if (!e.args.empty()) fail(909, e.pos);
      return name == "EMPTY_CLOB" ? Typed{"''", DataType::Clob} : Typed{"x''", DataType::Blob};
    }
    auto it = functionTable().find(name);
    if (it == functionTable().end()) {
      if (auto x = external(e, scope)) return *x;
      fail(904, e.pos, "\"" + name + "\"");
    }
    const FunctionSpec& spec = it->second;
    int n = static_cast<int>(e.args.size());
    if (n < spec.minArgs || n > spec.maxArgs) fail(909, e.pos);
    std::vector<std::string> args;
    std::vector<DataType> argTypes(e.args.size(), DataType::Unknown);
    DataType result = spec.result;
    std::string kinds = spec.args;
    for (std::size_t i = 0; i < e.args.size(); ++i) {
      if (!e.args[i]) {
        args.push_back("NULL");
        continue;
      }
      Typed v = expr(*e.args[i], scope);
      argTypes[i] = v.type;
      char k = kinds[std::min(i, kinds.size() - 1)];
      bool rawLength = name == "LENGTH" && (v.type == DataType::Raw || v.type == DataType::Blob);  // counts bytes
      // The length of an empty CLOB is 0 (ora_length reads '' as NULL).
      if (name == "LENGTH" && v.type == DataType::Clob)
        return {"CASE WHEN " + v.sql + " = '' THEN 0 ELSE ora_length(" + v.sql + ") END", DataType::Number};
      if (k == 'N') v = coerce(v, DataType::Number, *e.args[i]);
      else if (k == 'D') v = coerce(v, DataType::Date, *e.args[i]);
      else if (k == 'S' && !rawLength) v = coerce(v, DataType::Varchar2, *e.args[i]);
      else if (k != 'S' && result == DataType::Unknown && v.type != DataType::Unknown) {
        // DECODE's type is that of its first result; NVL's that of its first argument.
        bool decodeSearch = name == "DECODE" && (i == 0 || (i % 2 == 1 && i + 1 < e.args.size()));
        bool nvl2Test = name == "NVL2" && i == 0;
        if (!decodeSearch && !nvl2Test) result = v.type;
      }
      args.push_back(v.sql);
    }
    if (result == DataType::Unknown) result = DataType::Varchar2;
    // An empty LOB is no NULL, though the ora_ functions read '' as one: with a LOB to test, SQLite's
    // own NULL tests decide.
    if (name == "NVL" || name == "NVL2" || name == "COALESCE" || name == "DECODE") {
      auto isLob = [&](std::size_t i) { return argTypes[i] == DataType::Clob || argTypes[i] == DataType::Blob; };
      if ((name == "NVL" || name == "NVL2" || name == "DECODE") && isLob(0)) {
        if (name == "NVL") return {"ifnull(" + args[0] + ", " + args[1] + ")", result};
        if (name == "NVL2") return {"iif((" + args[0] + ") IS NOT NULL, " + args[1] + ", " + args[2] + ")", result};
        std::string sql = "CASE";
        for (std::size_t i = 1; i + 1 < args.size(); i += 2)
          sql += " WHEN " + (e.args[i] && e.args[i]->kind == ExprKind::Null ? "(" + args[0] + ") IS NULL" : "(" + args[0] + ") = (" + args[i] + ")") +
                 " THEN " + args[i + 1];
        sql += args.size() % 2 == 0 ? " ELSE " + args.back() + " END" : " END";
        return {sql, result};
      }
      if (name == "COALESCE") {
        bool anyLob = false;
        for (std::size_t i = 0; i < e.args.size(); ++i) anyLob = anyLob || isLob(i);
        if (anyLob) return {"coalesce(" + join(args) + (args.size() == 1 ? ", NULL)" : ")"), result};
      }
    }
    if (name == "TO_TIMESTAMP") return timestampOf(std::string(spec.sqlName) + "(" + join(args) + ")", 9);
    return {std::string(spec.sqlName) + "(" + join(args) + ")", result};
  }

  Typed aggregate(const Expr& e, const Scope& scope) {
    const std::string& name = e.name.last();
    if (name == "LISTAGG") return listagg(e, scope);
    if (e.args.size() != 1) fail(909, e.pos);
    std::string distinct = e.distinct ? "DISTINCT " : "";
    if (e.args[0]->kind == ExprKind::Star) {
      if (name != "COUNT") fail(936, e.args[0]->pos);
      return {"count(*)", DataType::Number};
    }
    Typed v = expr(*e.args[0], scope);
    if (name == "COUNT") return {"count(" + distinct + v.sql + ")", DataType::Number};
    if (name == "MIN" || name == "MAX") {
      Typed out = v;
      out.sql = std::string(name == "MIN" ? "min(" : "max(") + distinct + v.sql + ")";
      // Values WITH TIME ZONE are ranked by their UTC instant: each is keyed by it, ahead of a
      // separator that sorts below every character of the key, and the key is cut off again.
      if (v.zone == 1 && isDatetime(v.type)) {
        const std::string keyed = std::string(name == "MIN" ? "min(" : "max(") + "ora_tz_utc(" + v.sql + ") || char(1) || " + v.sql + ")";
        out.sql = "substr(" + keyed + ", instr(" + keyed + ", char(1)) + 1)";
      }
      return out;
    }
    if (isInterval(v.type) && (name == "SUM" || name == "AVG")) {
      // The sum or mean of intervals is an interval (a mean of DAY TO SECOND to the nanosecond).
      std::string sql = name == "SUM" ? "sum(" + distinct + v.sql + ")"
                                      : "ora_interval_scale(sum(" + distinct + v.sql + "), count(" + distinct + v.sql + "), " +
                                            (v.type == DataType::IntervalYearMonth ? "1" : "0") + ", 1)";
      return intervalOf(sql, v.type, 9, 9);
    }
    v = coerce(v, DataType::Number, *e.args[0]);
    if (name == "SUM") return {"sum(" + distinct + v.sql + ")", DataType::Number};
    if (name == "VARIANCE" || name == "STDDEV")
      return {std::string(name == "VARIANCE" ? "ora_variance(" : "ora_stddev(") + distinct + v.sql + ")", DataType::Number};
    return {"ora_div(sum(" + distinct + v.sql + "), count(" + distinct + v.sql + "))", DataType::Number};
  }

  // LISTAGG: the values as text, the WITHIN GROUP keys and the overflow handling go to ora_listagg,
  // which sorts the rows itself.
  Typed listagg(const Expr& e, const Scope& scope) {
    if (!e.withinGroup || e.args.empty() || e.args.size() > 2) fail(909, e.pos);
    const WithinGroup& g = *e.withinGroup;
    InlineLiterals keep(*this);
    std::vector<std::string> args;
    args.push_back(coerce(expr(*e.args[0], scope), DataType::Varchar2, *e.args[0]).sql);
    args.push_back(e.args.size() > 1 ? coerce(expr(*e.args[1], scope), DataType::Varchar2, *e.args[1]).sql : "NULL");
    args.push_back(g.truncate ? "1" : "0");
    args.push_back(g.indicator ? coerce(expr(*g.indicator, scope), DataType::Varchar2, *g.indicator).sql : "NULL");
    args.push_back(g.withCount ? "1" : "0");
    args.push_back(e.distinct ? "1" : "0");
    for (const auto& item : g.orderBy) {
      args.push_back(expr(*item.expr, scope).sql);
      bool nullsFirst = item.nulls == 1 || (item.nulls == 0 && item.descending);
      args.push_back(std::to_string((item.descending ? 1 : 0) | (nullsFirst ? 2 : 0)));
    }
    return {"ora_listagg(" + join(args) + ")", DataType::Varchar2};
  }

  // FUNC(...) OVER (PARTITION BY ... ORDER BY ... [ROWS | RANGE ...]): SQLite's window functions.
  // Both databases default to the whole partition without ORDER BY and to RANGE BETWEEN UNBOUNDED
  // PRECEDING AND CURRENT ROW with it.
  Typed analytic(const Expr& e, const Scope& scope) {
    InlineLiterals keep(*this);
    const std::string& name = e.name.last();
    const Window& w = *e.window;
    static const std::map<std::string, std::pair<const char*, int>> ranking = {
        {"ROW_NUMBER", {"row_number", 0}}, {"RANK", {"rank", 0}}, {"DENSE_RANK", {"dense_rank", 0}},
        {"LAG", {"lag", -1}}, {"LEAD", {"lead", -1}}, {"FIRST_VALUE", {"first_value", 1}},
        {"LAST_VALUE", {"last_value", 1}}};
    bool framed = aggregateNames().count(name) || name == "FIRST_VALUE" || name == "LAST_VALUE";
    if (!framed && !w.frameUnit.empty()) fail(907, w.framePos);
    if (!framed && w.orderBy.empty()) fail(30485, e.pos);
    // LISTAGG's order is its WITHIN GROUP: its window is a whole partition.
    if (name == "LISTAGG" && !w.orderBy.empty()) fail(30487, w.orderBy.front().expr->pos);
    if (w.ignoreNulls && name != "LAG" && name != "LEAD" && name != "FIRST_VALUE" && name != "LAST_VALUE")
      fail(907, e.pos);
    Typed call;
    std::string frame;      // a frame the function itself needs
    std::string nullCount;  // NTILE(NULL) answers NULL for every row
    if (aggregateNames().count(name)) {
      Expr plain = e;
      plain.window.reset();
      call = aggregate(plain, scope);
    } else if (name == "NTILE") {
      // The bucket count is truncated to a whole number; below one it is out of range.
      if (e.args.size() != 1) fail(909, e.pos);
      Typed n = coerce(expr(*e.args[0], scope), DataType::Number, *e.args[0]);
      nullCount = n.sql;
      call = {"ntile(ifnull(ora_ntile_count(" + n.sql + "), 1))", DataType::Number};
    } else if (auto it = ranking.find(name); it != ranking.end()) {
      int arity = it->second.second;
      if (arity >= 0 && static_cast<int>(e.args.size()) != arity) fail(909, e.pos);
      if (arity < 0 && (e.args.empty() || e.args.size() > 3)) fail(909, e.pos);
      std::vector<std::string> args;
      DataType type = DataType::Number;
      for (std::size_t i = 0; i < e.args.size(); ++i) {
        Typed a = expr(*e.args[i], scope);
        if (i == 0 && arity != 0) type = a.type;
        if (i == 1) a = coerce(a, DataType::Number, *e.args[i]);
        if (i == 2) a = coerce(a, type, *e.args[i]);
        args.push_back(a.sql);
      }
      if (w.ignoreNulls && arity != 0) {
        // Rows whose value is NULL are skipped: LAG looks back from the current row over a frame that
        // ends there, LEAD forward over one that starts there.
        int mode = name == "LAG" ? 0 : name == "LEAD" ? 1 : name == "FIRST_VALUE" ? 2 : 3;
        args.insert(args.begin(), std::to_string(mode));
        if (mode == 0) frame = "ROWS BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW";
        if (mode == 1) frame = "ROWS BETWEEN CURRENT ROW AND UNBOUNDED FOLLOWING";
        call = {"ora_nonnull_value(" + join(args) + ")", type};
      } else {
        call = {std::string(it->second.first) + "(" + join(args) + ")", type};
      }
    } else {
      fail(904, e.pos, "\"" + name + "\"");
    }
    std::string over;
    if (!w.partitionBy.empty()) {
      std::vector<std::string> parts;
      for (const auto& p : w.partitionBy) parts.push_back(expr(*p, scope).sql);
      over = "PARTITION BY " + join(parts);
    }
    if (!w.orderBy.empty()) {
      std::vector<Column> none;
      over += (over.empty() ? "" : " ") + windowOrder(w, scope);
    }
    if (!frame.empty()) over += " " + frame;
    else if (!w.frameUnit.empty()) over += " " + frameClause(w, scope);
    std::string sql = call.sql + " OVER (" + over + ")";
    if (!nullCount.empty()) sql = "CASE WHEN (" + nullCount + ") IS NULL THEN NULL ELSE " + sql + " END";
    return {sql, call.type};
  }

  // The ORDER BY of a window. A RANGE frame with an offset measures it on its single key: a DATE key
  // in days.
  std::string windowOrder(const Window& w, const Scope& scope) {
    auto hasOffset = [](const FrameBound& b) { return b.offset != nullptr; };
    bool rangeOffset = w.frameUnit == "RANGE" && (hasOffset(w.frameStart) || hasOffset(w.frameEnd));
    if (!rangeOffset) {
      std::vector<Column> none;
      return orderBy(w.orderBy, none, &scope).substr(1);
    }
    if (w.orderBy.size() != 1) fail(30486, w.framePos);
    const OrderItem& item = w.orderBy.front();
    Typed key = expr(*item.expr, scope);
    if (key.type == DataType::Date) key.sql = "julianday(" + key.sql + ")";
    else if (key.type != DataType::Number && key.type != DataType::Unknown) fail(30486, w.framePos);
    std::string term = key.sql + (item.descending ? " DESC" : " ASC");
    term += (item.nulls == 1 || (item.nulls == 0 && item.descending)) ? " NULLS FIRST" : " NULLS LAST";
    return "ORDER BY " + term;
  }

  // ROWS / RANGE BETWEEN start AND end. The end may not come before the start in the order UNBOUNDED
  // PRECEDING, n PRECEDING, CURRENT ROW, n FOLLOWING, UNBOUNDED FOLLOWING (two offsets on the same side
  // may still give an empty frame).
  std::string frameClause(const Window& w, const Scope& scope) {
    using K = FrameBound::Kind;
    const FrameBound& start = w.frameStart;
    const FrameBound& end = w.frameEnd;
    if (start.kind == K::UnboundedFollowing) fail(30486, start.pos);
    if (end.kind == K::UnboundedPreceding) fail(30486, end.pos);
    if (static_cast<int>(end.kind) < static_cast<int>(start.kind)) fail(30486, end.pos);
    auto text = [&](const FrameBound& b) -> std::string {
      switch (b.kind) {
        case K::UnboundedPreceding: return "UNBOUNDED PRECEDING";
        case K::UnboundedFollowing: return "UNBOUNDED FOLLOWING";
        case K::CurrentRow: return "CURRENT ROW";
        case K::Preceding:
        case K::Following: break;
      }
      // The offset is a constant: a negative one is out of range; ROWS counts whole rows.
      const Expr* x = b.offset.get();
      bool negative = false;
      while (x->kind == ExprKind::Unary && (x->op == "-" || x->op == "+")) {
        if (x->op == "-") negative = !negative;
        x = x->args[0].get();
      }
      if (x->kind == ExprKind::Null) fail(30486, b.pos);
      std::string n;
      if (x->kind != ExprKind::Number) {
        n = "(" + coerce(expr(*b.offset, scope), DataType::Number, *b.offset).sql + ")";
      } else {
        double v = 0;
        std::from_chars(x->text.data(), x->text.data() + x->text.size(), v);
        if (negative && v != 0) fail(1428, b.pos, "-" + x->text);
        n = w.frameUnit == "ROWS" ? std::to_string(static_cast<long long>(v)) : x->text;
      }
      return n + (b.kind == K::Preceding ? " PRECEDING" : " FOLLOWING");
    };
    return w.frameUnit + " BETWEEN " + text(start) + " AND " + text(end);
  }

  // The clock's other names. Datetime values hold whole seconds here, so each reads what SYSDATE does.
  static bool isClockName(const std::string& name) {
    return name == "SYSTIMESTAMP" || name == "CURRENT_TIMESTAMP" || name == "LOCALTIMESTAMP" || name == "CURRENT_DATE";
  }

  // TIMESTAMP 'YYYY-MM-DD HH24:MI:SS[.fraction]': a TIMESTAMP(9).
  Typed timestampLiteral(const Expr& e) {
    std::string text = e.args[0]->text;
    // 'yyyy-mm-dd hh:mi:ss[.f] +hh:mi' (or UTC): a TIMESTAMP WITH TIME ZONE.
    std::optional<int> zone;
    std::size_t blank = text.find_last_of(' ');
    if (blank != std::string::npos && blank > 10) {
      std::string tail = text.substr(blank + 1);
      if (tail[0] == '+' || tail[0] == '-' || std::isalpha(static_cast<unsigned char>(tail[0]))) {
        try {
          zone = builtins::parseZone(tail);
        } catch (const Error& err) {
          fail(err.code(), e.pos, err.message().substr(err.message().find(": ") + 2));
        }
        text.resize(blank);
      }
    }
    if (zone) {
      Expr plain = e;
      auto lit = std::make_shared<Expr>(*e.args[0]);
      lit->text = text;
      plain.args = {lit};
      Typed t = timestampLiteral(plain);
      DateTime d;
      DateTime::fromIso(t.sql.substr(1, t.sql.size() - 2), d);
      d.zoned = true;
      d.offset = *zone;
      return zonedOf(quoteText(d.toIso()), 9);
    }
    std::string fraction;
    std::size_t dot = text.find('.');
    if (dot != std::string::npos) {
      fraction = text.substr(dot);
      if (fraction.size() < 2 || fraction.size() > 10 || fraction.find_first_not_of("0123456789", 1) != std::string::npos)
        fail(1861, e.pos);
      text.resize(dot);
    }
    DateTime d;
    if (text.size() <= 10) text += " 00:00:00";
    if (!DateTime::fromIso(text + fraction, d)) fail(1861, e.pos);
    checkFields(d, e);
    return timestampOf(quoteText(d.toIso()), 9);
  }

  // A literal's fields must make a real date and time.
  void checkFields(const DateTime& d, const Expr& e) {
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.month < 1 || d.month > 12) fail(1843, e.pos);
    bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    if (d.day < 1 || d.day > days[d.month - 1] || (d.month == 2 && d.day == 29 && !leap)) fail(1847, e.pos);
    if (d.hour > 23) fail(1850, e.pos);
    if (d.minute > 59) fail(1851, e.pos);
    if (d.second > 59) fail(1852, e.pos);
  }

  Typed dateLiteral(const Expr& e) {
    DateTime d;
    const std::string& text = e.args[0]->text;
    if (!DateTime::fromIso(text + " 00:00:00", d)) fail(1861, e.pos);
    checkFields(d, e);
    return {quoteText(d.toIso()), DataType::Date};
  }

  Typed toChar(const Expr& e, const Scope& scope) {
    if (e.args.empty() || e.args.size() > 3) fail(909, e.pos);
    Typed v = expr(*e.args[0], scope);
    std::string fmt = e.args.size() > 1 ? ", " + coerce(expr(*e.args[1], scope), DataType::Varchar2).sql : "";
    if (v.type == DataType::Date) return {"ora_to_char_date(" + v.sql + fmt + ")", DataType::Varchar2};
    if (v.type == DataType::Timestamp)
      return {"ora_to_char_ts(" + v.sql + ", " + std::to_string(digitsOf(v)) + fmt + ")", DataType::Varchar2};
    if (isInterval(v.type)) return {intervalText(v), DataType::Varchar2};  // a format model does not apply
    if (v.type == DataType::Number || !fmt.empty()) return {"ora_to_char_num(" + v.sql + fmt + ")", DataType::Varchar2};
    return {"ora_to_char(" + v.sql + ")", DataType::Varchar2};
  }

  Typed truncRound(const Expr& e, const Scope& scope) {
    if (e.args.empty() || e.args.size() > 2) fail(909, e.pos);
    Typed v = expr(*e.args[0], scope);
    bool isDate = isDatetime(v.type);  // TRUNC and ROUND of a TIMESTAMP give a DATE
    std::string fn = std::string(e.name.last() == "TRUNC" ? "ora_trunc_" : "ora_round_") + (isDate ? "date" : "num");
    std::string sql = fn + "(" + (isDate ? v.sql : coerce(v, DataType::Number, *e.args[0]).sql);
    if (e.args.size() == 2) {
      Typed second = expr(*e.args[1], scope);
      sql += ", " + (isDate ? coerce(second, DataType::Varchar2) : coerce(second, DataType::Number)).sql;
    }
    return {sql + ")", isDate ? DataType::Date : DataType::Number};
  }

  // CAST(MULTISET(query) AS type): the query's rows as the JSON text of a collection (see
  // CompileContext::CollectionRows), in the query's order.
  Typed multiset(const Expr& e, const Scope& scope, CompileContext::CollectionRows* rowsOut = nullptr) {
    const Expr& type = *e.args[1];
    std::optional<CompileContext::CollectionRows> rows;
    if (ctx_.collectionType) rows = ctx_.collectionType(type.op, type.text);
    if (!rows) fail(22907, type.pos);
    std::vector<Column> cols;
    std::string sql = query(*e.args[0]->query, &scope, cols);
    if (cols.size() > rows->columns.size()) fail(913, e.args[0]->pos);
    if (cols.size() < rows->columns.size()) fail(947, e.args[0]->pos);
    std::string element;
    for (std::size_t i = 0; i < cols.size(); ++i) element += (i ? ", " : "") + std::string("v.") + quoteName(cols[i].name);
    if (rows->objects) element = "json_array(" + element + ")";
    if (rowsOut) *rowsOut = *rows;
    return {"(SELECT json_group_array(" + element + ") FROM (" + sql + ") AS v)", DataType::Varchar2};
  }

  static bool isMultiset(const Expr& e) {
    return e.kind == ExprKind::Function && e.name.parts.size() == 1 && e.name.parts[0] == "CAST" && e.args.size() == 2 &&
           e.args[0]->kind == ExprKind::Subquery && e.args[0]->op == "MULTISET";
  }

  Typed cast(const Expr& e, const Scope& scope) {
    if (isMultiset(e)) return multiset(e, scope);
    Typed v = expr(*e.args[0], scope);
    DataType target = catalog::dataTypeOf(e.args[1]->text);
    if (e.args[1]->text == "INTEGER" || e.args[1]->text == "INT") target = DataType::Number;
    if (e.args[1]->text == "VARCHAR") target = DataType::Varchar2;
    if (isInterval(target) || isInterval(v.type)) return castInterval(e, v, target);
    if (target == DataType::Timestamp) {
      // TIMESTAMP[(n)]: the value rounded to n digits (6 unless given).
      int digits = e.args[1]->text.size() > 10 && e.args[1]->text[9] == '(' ? e.args[1]->text[10] - '0' : 6;
      if (v.type != DataType::Date && v.type != DataType::Timestamp && !isText(v.type) && v.type != DataType::Unknown)
        fail(932, e.pos, "inconsistent datatypes: expected TIMESTAMP got " + std::string(dataTypeName(v.type)));
      Typed t = coerce(v, target);
      std::string sql = "ora_ts_fit(" + t.sql + ", " + std::to_string(digits) + ")";
      if (zoneOfType(e.args[1]->text) == 1) return zonedOf(v.zone ? sql : "ora_tz_attach(" + sql + ")", digits);
      return timestampOf(v.zone ? "ora_tz_strip(" + sql + ")" : sql, digits);
    }
    return coerce(v, target);
  }

  // CAST to INTERVAL DAY(p) TO SECOND(s) / YEAR(p) TO MONTH from text or an interval of the kind;
  // CAST of an interval to text.
  Typed castInterval(const Expr& e, const Typed& v, DataType target) {
    const std::string& type = e.args[1]->text;
    if (isText(target) && isInterval(v.type)) return {intervalText(v), target};
    bool ok = isInterval(target) && (v.type == target || isText(v.type) || v.type == DataType::Unknown);
    if (!ok)
      fail(932, e.pos, "inconsistent datatypes: expected " + std::string(dataTypeName(target)) + " got " + dataTypeName(v.type));
    auto digitAfter = [&](const std::string& word, int fallback) {
      std::size_t at = type.find(word + "(");
      return at == std::string::npos ? fallback : type[at + word.size() + 1] - '0';
    };
    std::string in = isInterval(v.type) ? v.sql : intervalIn(v.sql, target);
    if (target == DataType::IntervalYearMonth) {
      int years = digitAfter("YEAR", 2);
      return intervalOf("ora_ym_fit(" + in + ", " + std::to_string(years) + ")", target, years, 0);
    }
    int days = digitAfter("DAY", 2), fraction = digitAfter("SECOND", 6);
    return intervalOf("ora_ds_fit(" + in + ", " + std::to_string(days) + ", " + std::to_string(fraction) + ")", target, days,
                      fraction);
  }

  // FROM_TZ(timestamp, zone), datetime AT TIME ZONE zone / AT LOCAL, SYS_EXTRACT_UTC(datetime).
  Typed timeZoneFunction(const Expr& e, const Scope& scope) {
    const std::string& name = e.name.last();
    std::size_t wanted = name == "SYS_EXTRACT_UTC" ? 1 : 2;
    if (e.args.size() != wanted && !(name == "AT_TIME_ZONE" && e.args.size() == 1)) fail(909, e.pos);
    Typed v = expr(*e.args[0], scope);
    if (!isDatetime(v.type) && !isText(v.type) && v.type != DataType::Unknown)
      fail(932, e.pos, "inconsistent datatypes: expected TIMESTAMP got " + std::string(dataTypeName(v.type)));
    if (v.type != DataType::Timestamp) v = coerce(v, DataType::Timestamp);
    std::string zone = e.args.size() > 1 ? ", " + coerce(expr(*e.args[1], scope), DataType::Varchar2).sql : "";
    if (name == "FROM_TZ") {
      if (v.zone) fail(932, e.pos, "inconsistent datatypes: expected TIMESTAMP got TIMESTAMP WITH TIME ZONE");
      return zonedOf("ora_from_tz(" + v.sql + zone + ")", v.fraction);
    }
    if (name == "SYS_EXTRACT_UTC") return timestampOf("ora_tz_utc(" + v.sql + ")", v.fraction);
    return zonedOf("ora_at_zone(" + v.sql + zone + ")", v.fraction);
  }

  // INTERVAL 'text' qualifier: its value is worked out here, errors and all, and written inline.
  Typed intervalLiteral(const Expr& e) {
    int leading = 0, trailing = 0, precision = 2, fraction = 0;
    std::sscanf(e.text.c_str(), "%d %d %d %d", &leading, &trailing, &precision, &fraction);
    bool months = e.op == "YM";
    std::int64_t v = 0;
    try {
      if (months) {
        v = builtins::fitYearMonth(builtins::parseYearMonth(e.args[0]->text, leading, trailing), precision);
      } else {
        v = builtins::fitDaySecond(builtins::parseDaySecond(e.args[0]->text, leading, trailing), precision,
                                   trailing == 3 ? fraction : 9);
      }
    } catch (const Error& err) {
      fail(err.code(), e.pos, err.message().substr(err.message().find(": ") + 2));
    }
    return intervalOf(std::to_string(v), months ? DataType::IntervalYearMonth : DataType::IntervalDaySecond, precision,
                      fraction);
  }

  // (a - b) DAY[(p)] TO SECOND[(s)], (a - b) YEAR[(p)] TO MONTH: the difference of two datetimes (DATEs
  // too) as an interval of that kind, or an interval of the kind refitted. YEAR TO MONTH counts the
  // months between them rounded to whole months. The leading field keeps p digits (ORA-01873 beyond).
  Typed intervalOfDifference(const Expr& e, const Scope& scope) {
    int precision = 2, fraction = 0;
    std::sscanf(e.text.c_str(), "%d %d", &precision, &fraction);
    bool months = e.op == "YMOF";
    DataType kind = months ? DataType::IntervalYearMonth : DataType::IntervalDaySecond;
    const Expr& inner = *e.args[0];
    std::string value;
    bool difference = false;
    if (inner.kind == ExprKind::Binary && inner.op == "-") {
      Typed l = expr(*inner.args[0], scope);
      Typed r = expr(*inner.args[1], scope);
      bool ld = isDatetime(l.type), rd = isDatetime(r.type);
      if ((ld || l.type == DataType::Unknown) && (rd || r.type == DataType::Unknown) && (ld || rd)) {
        difference = true;
        if (months) {
          value = "CAST(round(ora_months_between(" + coerce(l, DataType::Date, *inner.args[0]).sql + ", " +
                  coerce(r, DataType::Date, *inner.args[1]).sql + ")) AS INTEGER)";
        } else {
          value = "ora_ts_diff(" + l.sql + ", " + r.sql + ")";
        }
      }
    }
    if (!difference) {
      Typed v = expr(inner, scope);
      if (isInterval(v.type) && v.type != kind) fail(30081, e.pos);
      if (!isInterval(v.type) && v.type != DataType::Unknown) fail(30083, e.pos);
      value = v.sql;
    }
    if (months) return intervalOf("ora_ym_fit(" + value + ", " + std::to_string(precision) + ")", kind, precision, 0);
    return intervalOf("ora_ds_fit(" + value + ", " + std::to_string(precision) + ", " + std::to_string(fraction) + ")",
                      kind, precision, fraction);
  }

  // NUMTODSINTERVAL(n, unit), NUMTOYMINTERVAL(n, unit), TO_DSINTERVAL(text), TO_YMINTERVAL(text).
  Typed intervalFunction(const Expr& e, const Scope& scope) {
    const std::string& name = e.name.last();
    bool fromNumber = name.rfind("NUM", 0) == 0;
    if (e.args.size() != (fromNumber ? 2u : 1u) && !(!fromNumber && e.args.size() == 2)) fail(909, e.pos);
    std::string sql;
    if (fromNumber) {
      sql = std::string(name == "NUMTODSINTERVAL" ? "ora_numtods(" : "ora_numtoym(") +
            coerce(expr(*e.args[0], scope), DataType::Number, *e.args[0]).sql + ", " +
            coerce(expr(*e.args[1], scope), DataType::Varchar2, *e.args[1]).sql + ")";
    } else {
      sql = std::string(name == "TO_DSINTERVAL" ? "ora_to_dsinterval(" : "ora_to_yminterval(") +
            coerce(expr(*e.args[0], scope), DataType::Varchar2, *e.args[0]).sql + ")";
    }
    bool ds = name == "NUMTODSINTERVAL" || name == "TO_DSINTERVAL";
    return intervalOf(sql, ds ? DataType::IntervalDaySecond : DataType::IntervalYearMonth, 9, 9);
  }

  const CompileContext& ctx_;
  std::string_view text_;
  Compiled& out_;
  int aliasCounter_ = 0;
  bool locking_ = false;  // compiling the FROM of a FOR UPDATE query
  const Column* lastColumnMeta_ = nullptr;
  std::vector<ColumnInfo> targetInfo_;
  std::string targetSql_;  // the DML target as SQLite names it (in an attached schema over a link)
  std::set<std::string> advanced_;  // sequences whose NEXTVAL the statement already names
  struct CommonTableInfo {
    std::string name, sqlName;
    std::vector<Column> columns;
  };
  std::vector<CommonTableInfo> ctes_;  // WITH clauses in reach, innermost last
  std::set<std::string> notNull_;   // columns of the DML target that must not become NULL
  bool inUpdate_ = false;
  int inlineLiterals_ = 0;  // > 0: literals are written inline
  // Grouping sets: the headings of every GROUP BY expression, of those outside the set compiled now,
  // the set's GROUP_ID, and how deep in group functions the compiler is (their arguments are not NULLed).
  std::set<std::string> groupingAll_, groupingNulled_;
  int groupId_ = 0;
  int aggregateDepth_ = 0;
  bool positionalAliases_ = false;
  std::vector<std::string> rankedBlockKeys_;  // the sort of a block FETCH ... PERCENT / WITH TIES counts  // select items are named g0, g1, ... (a branch of grouping sets)
  bool lastTableColumn_ = false;  // the last column resolved is a text column of a table
};

// Numbers the literal parameters ?#k# after the binds: ?(binds + 1 + k). Quoted text is left alone.
void numberLiteralParams(std::string& sql, std::size_t binds) {
  std::string out;
  out.reserve(sql.size() + 16);
  replaceMarkers(out, sql, '#', [binds](std::string& o, std::size_t k) { o += "?" + std::to_string(binds + 1 + k); });
  sql = std::move(out);
}

}  // namespace

void replaceMarkers(std::string& out, std::string_view sql, char mark,
                    const std::function<void(std::string& out, std::size_t k)>& replace) {
  char quote = 0;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    char c = sql[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '?' && i + 1 < sql.size() && sql[i + 1] == mark) {
      std::size_t end = sql.find(mark, i + 2);
      std::size_t k = 0;
      std::from_chars(sql.data() + i + 2, sql.data() + end, k);
      replace(out, k);
      i = end;
      continue;
    }
    out += c;
  }
}

Compiled compileStatement(const Statement& stmt, const CompileContext& context, std::string_view text) {
  Compiled out;
  Compiler c(context, text, out);
  switch (stmt.kind) {
    case StmtKind::Select: c.compileSelect(static_cast<const SelectStmt&>(stmt)); break;
    case StmtKind::Insert: c.compileInsert(static_cast<const InsertStmt&>(stmt)); break;
    case StmtKind::Update: c.compileUpdate(static_cast<const UpdateStmt&>(stmt)); break;
    case StmtKind::Delete: c.compileDelete(static_cast<const DeleteStmt&>(stmt)); break;
    case StmtKind::Merge: c.compileMerge(static_cast<const MergeStmt&>(stmt)); break;
    default: throw Error::ora(900);
  }
  if (!out.literalParams.empty()) {
    numberLiteralParams(out.sql, out.bindNames.size());
    numberLiteralParams(out.nextSql, out.bindNames.size());
    for (auto& t : out.bindTests) {
      numberLiteralParams(t.whole, out.bindNames.size());
      numberLiteralParams(t.otherwise, out.bindNames.size());
    }
  }
  return out;
}

std::string compileTableExpr(const Expr& expr, const std::vector<catalog::ColumnInfo>& columns,
                             const std::string& rowPrefix, const CompileContext& context) {
  Compiled out;
  Compiler c(context, {}, out);
  return c.tableExpr(expr, columns, rowPrefix);
}

}  // namespace engine::sql
