// Triggers: CREATE, DROP, ALTER ... ENABLE/DISABLE/COMPILE, and firing. DML on a table with enabled
// triggers runs row by row here: the rows are read first (their ROWID, :OLD and the statement's new
// values), BEFORE ROW triggers may change :NEW, then each row is written by ROWID through the shared
// SQL compiler (so column checks and constraints apply to the final values), then AFTER ROW triggers
// run. Statement triggers run before and after. The whole statement runs inside a savepoint: a failing
// trigger undoes the statement's changes.

#include <algorithm>

#include "engine/plsql/nodes.h"
#include "engine/plsql/plsql.h"
#include "engine/plsql/triggers.h"
#include "engine/sql/parser.h"
#include "engine/storage/rowid.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::plsql {

using sql::Token;
using sql::TokenKind;
using storage::Stmt;

namespace {

constexpr int kInsert = 1, kUpdate = 2, kDelete = 4;

void ensureTriggerTable(sqlite3* db) {
  storage::exec(db,
                "CREATE TABLE IF NOT EXISTS main.triggers(owner TEXT NOT NULL, trigger_name TEXT NOT NULL, "
                "trigger_type TEXT, triggering_event TEXT, table_owner TEXT, table_name TEXT, column_name TEXT, "
                "referencing_names TEXT, when_clause TEXT, status TEXT, description TEXT, trigger_body TEXT, "
                "timing TEXT, row_level INTEGER, events INTEGER, update_columns TEXT, old_name TEXT, new_name TEXT, "
                "body_offset INTEGER, when_offset INTEGER, when_end INTEGER, PRIMARY KEY(owner, trigger_name))");
}

// The heading of CREATE TRIGGER, read from its source (from the TRIGGER keyword on).
struct TriggerHeading {
  std::string owner, name, timing;  // BEFORE, AFTER
  int events = 0;
  std::vector<std::string> updateColumns;
  std::string tableOwner, table;
  bool rowLevel = false;
  bool enabled = true;
  TriggerContext context;
  std::string whenText, description, body;
};

TriggerHeading readHeading(const std::string& source, const std::string& defaultOwner) {
  TriggerHeading h;
  sql::Parser p(source);
  auto fail = [&](const Token& t) -> void {
    throw Error(969, "ORA-00969: missing ON keyword", t.pos.offset, t.pos.line, t.pos.column);
  };
  p.expect("TRIGGER");
  std::size_t nameStart = static_cast<std::size_t>(p.peek().pos.offset);
  std::string first = p.next().text;
  if (p.acceptOp(".")) {
    h.owner = first;
    h.name = p.next().text;
  } else {
    h.owner = defaultOwner;
    h.name = first;
  }
  if (p.accept("BEFORE")) h.timing = "BEFORE";
  else if (p.accept("AFTER")) h.timing = "AFTER";
  else throw Error::ora(3001, "unimplemented feature");
  do {
    if (p.accept("INSERT")) h.events |= kInsert;
    else if (p.accept("DELETE")) h.events |= kDelete;
    else if (p.accept("UPDATE")) {
      h.events |= kUpdate;
      if (p.accept("OF")) {
        do h.updateColumns.push_back(p.next().text);
        while (p.acceptOp(","));
      }
    } else {
      fail(p.peek());
    }
  } while (p.accept("OR"));
  if (!p.accept("ON")) fail(p.peek());
  std::string t = p.next().text;
  if (p.acceptOp(".")) {
    h.tableOwner = t;
    h.table = p.next().text;
  } else {
    h.tableOwner = h.owner;
    h.table = t;
  }
  if (p.accept("REFERENCING")) {
    while (p.peek().is("OLD") || p.peek().is("NEW")) {
      bool isOld = p.next().text == "OLD";
      p.accept("AS");
      (isOld ? h.context.oldName : h.context.newName) = p.next().text;
    }
  }
  if (p.accept("FOR")) {
    p.expect("EACH");
    p.expect("ROW");
    h.rowLevel = true;
  }
  if (p.accept("DISABLE")) h.enabled = false;
  else p.accept("ENABLE");
  std::size_t headEnd = static_cast<std::size_t>(p.peek().pos.offset);
  if (p.accept("WHEN")) {
    const Token& open = p.peek();
    p.expectOp("(", 906);
    int depth = 1;
    while (depth > 0 && p.peek().kind != TokenKind::End) {
      if (p.peek().isOp("(")) ++depth;
      if (p.peek().isOp(")")) --depth;
      if (depth > 0) p.next();
    }
    h.context.whenOffset = open.endOffset;
    h.context.whenEnd = p.peek().pos.offset;
    h.whenText = source.substr(static_cast<std::size_t>(h.context.whenOffset),
                               static_cast<std::size_t>(h.context.whenEnd - h.context.whenOffset));
    p.expectOp(")", 907);
  }
  h.context.bodyOffset = p.peek().pos.offset;
  h.context.tableOwner = h.tableOwner;
  h.context.table = h.table;
  h.description = source.substr(nameStart, headEnd - nameStart);
  h.body = source.substr(static_cast<std::size_t>(h.context.bodyOffset));
  return h;
}

std::string triggerType(const TriggerHeading& h) {
  return h.timing + (h.rowLevel ? " EACH ROW" : " STATEMENT");
}

std::string eventName(int events) {
  std::string out;
  for (auto [bit, name] : {std::pair{kInsert, "INSERT"}, std::pair{kUpdate, "UPDATE"}, std::pair{kDelete, "DELETE"}})
    if (events & bit) out += (out.empty() ? "" : " OR ") + std::string(name);
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// The session's view of the triggers: by table, compiled on first use.

struct TriggerDef {
  std::string owner, name, timing;
  bool rowLevel = false;
  int events = 0;
  std::vector<std::string> updateColumns;
  TriggerContext context;
  std::string source;
  std::shared_ptr<Unit> unit;  // compiled on first firing
};

struct TriggerCache {
  std::uint64_t version = 0;
  std::map<std::string, std::vector<std::shared_ptr<TriggerDef>>> byTable;  // "OWNER.TABLE"
};

namespace {

TriggerCache& cacheOf(storage::SessionImpl& session) {
  auto& cache = triggerCacheOf(session.plsql());
  if (!cache) cache = std::make_shared<TriggerCache>();
  std::uint64_t version = session.impl().ddlVersion();
  if (cache->version == version) return *cache;
  cache->version = version;
  cache->byTable.clear();
  sqlite3* db = session.connection();
  Stmt exists(db, "SELECT 1 FROM main.sqlite_master WHERE name='triggers'");
  if (!exists.step()) return *cache;
  Stmt s(db, "SELECT owner, trigger_name, timing, row_level, events, update_columns, table_owner, table_name, "
             "old_name, new_name, body_offset, when_offset, when_end FROM main.triggers WHERE status='ENABLED'");
  while (s.step()) {
    auto d = std::make_shared<TriggerDef>();
    d->owner = s.text(0);
    d->name = s.text(1);
    d->timing = s.text(2);
    d->rowLevel = s.integer(3) != 0;
    d->events = static_cast<int>(s.integer(4));
    std::string cols = s.text(5);
    for (std::size_t start = 0; start < cols.size();) {
      std::size_t comma = cols.find(',', start);
      d->updateColumns.push_back(cols.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      start = comma == std::string::npos ? cols.size() : comma + 1;
    }
    d->context.tableOwner = s.text(6);
    d->context.table = s.text(7);
    d->context.oldName = s.text(8);
    d->context.newName = s.text(9);
    d->context.bodyOffset = static_cast<int>(s.integer(10));
    d->context.whenOffset = s.isNull(11) ? -1 : static_cast<int>(s.integer(11));
    d->context.whenEnd = s.isNull(12) ? -1 : static_cast<int>(s.integer(12));
    cache->byTable[d->context.tableOwner + "." + d->context.table].push_back(d);
  }
  return *cache;
}

std::string sourceText(sqlite3* db, const std::string& owner, const std::string& name) {
  Stmt s(db, "SELECT text FROM main.source WHERE owner=?1 AND name=?2 AND type='TRIGGER' ORDER BY line");
  s.bindAll(owner, name);
  std::string text;
  while (s.step()) text += s.text(0);
  return text;
}

Unit& compiled(storage::SessionImpl& session, TriggerDef& d) {
  if (!d.unit) {
    std::string ccflags = storedCcflags(session.connection(), d.owner, d.name, "TRIGGER");
    d.unit = compileTrigger(session, loaderOf(session.plsql()), d.owner, sourceText(session.connection(), d.owner, d.name),
                            d.context, &ccflags);
    if (!d.unit->errors.empty()) {
      d.unit.reset();
      throw Error(4098, "ORA-04098: trigger '" + d.owner + "." + d.name + "' is invalid and failed re-validation");
    }
  }
  return *d.unit;
}

// Runs one trigger with the rows given; returns the :NEW row as the trigger left it.
void fire(storage::SessionImpl& session, TriggerDef& d, Datum* oldRow, Datum* newRow) {
  Unit& unit = compiled(session, d);
  Exec x(session, session.plsql());
  std::vector<Datum> noBinds;
  x.binds = &noBinds;
  if (unit.name.empty()) {  // names the trigger in backtraces and call stacks
    unit.owner = d.owner;
    unit.name = d.name;
  }
  Frame frame;
  frame.slots.resize(static_cast<std::size_t>(unit.main->frameSize));
  frame.unit = &unit;
  frame.slots[0] = oldRow ? *oldRow : initialDatum(*unit.rowType);
  frame.slots[1] = newRow ? *newRow : initialDatum(*unit.rowType);
  x.frame = &frame;
  try {
    if (unit.when && !isTrue(unit.when->eval(x))) return;
    unit.main->body->exec(x);
  } catch (PlsqlError& e) {
    e.stack.push_back("ORA-06512: at \"" + d.owner + "." + d.name + "\", line " + std::to_string(frame.line));
    e.stack.push_back("ORA-04088: error during execution of trigger '" + d.owner + "." + d.name + "'");
    throw e.toError();
  }
  if (newRow) *newRow = frame.slots[1];
}

// A write of trigger processing, compiled once per statement run; its binds are set per row.
struct Query {
  std::shared_ptr<SqlStatement> sql;
  Query(storage::SessionImpl& session, const std::string& text, bool rowWrite = false) {
    sql = std::make_shared<SqlStatement>();
    sql->text = text;
    sql::Parser p(text);
    sql->ast = p.parseStatement();
    sql::CompileContext ctx = session.compileContext();
    ctx.rowWrite = rowWrite;
    sql->code = sql::compileStatement(*sql->ast, ctx, text);
    sql->ddlVersion = session.impl().ddlVersion();
    sql->internal = true;
    for (const auto& name : sql->code.bindNames) set(name, Value());
  }
  void set(const std::string& name, const Value& v) {
    auto c = std::make_shared<ConstNode>();
    c->value = v;
    SqlParam p;
    p.expr = c;
    sql->paramByBind[name] = p;
  }
};

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

bool firesTriggers(storage::SessionImpl& session, const sql::Compiled& code) {
  // A table over a link is the other database's: this database's triggers are not its own.
  if (code.isQuery || code.targetTable.empty() || !code.targetLink.empty()) return false;
  TriggerCache& cache = cacheOf(session);
  return !cache.byTable.empty() && cache.byTable.count(code.targetOwner + "." + code.targetTable) > 0;
}

namespace {

sql::ExprPtr columnExpr(const std::string& name) {
  auto e = std::make_shared<sql::Expr>();
  e->kind = sql::ExprKind::Column;
  e->name.parts = {name};
  e->pos.offset = -1;
  return e;
}

// ROWID = :NUVO$RID, to read a written row back.
sql::ExprPtr rowidMatch() {
  auto bind = std::make_shared<sql::Expr>();
  bind->kind = sql::ExprKind::Bind;
  bind->text = "NUVO$RID";
  bind->pos.offset = -1;
  auto e = std::make_shared<sql::Expr>();
  e->kind = sql::ExprKind::Binary;
  e->op = "=";
  e->args = {columnExpr("ROWID"), bind};
  e->pos.offset = -1;
  return e;
}

const sql::ReturningClause& returningOf(const sql::Statement& ast) {
  static const sql::ReturningClause none;
  switch (ast.kind) {
    case sql::StmtKind::Insert: return static_cast<const sql::InsertStmt&>(ast).returning;
    case sql::StmtKind::Update: return static_cast<const sql::UpdateStmt&>(ast).returning;
    case sql::StmtKind::Delete: return static_cast<const sql::DeleteStmt&>(ast).returning;
    default: return none;
  }
}

// The RETURNING values of one written row, read by its ROWID.
std::vector<Value> readBack(Exec& x, SqlStatement& back, const Value& rowid) {
  auto c = std::make_shared<ConstNode>();
  c->value = rowid;
  back.paramByBind["NUVO$RID"].expr = c;
  sqlite3_stmt* s = back.start(x);
  struct Done {
    SqlStatement& q;
    sqlite3_stmt* s;
    ~Done() { q.finish(s); }
  } done{back, s};
  std::vector<Value> values;
  if (back.step(x.session, s))
    for (std::size_t i = 0; i < back.code.columns.size(); ++i) values.push_back(back.column(s, static_cast<int>(i)));
  return values;
}

}  // namespace

std::int64_t runTriggeredDml(storage::SessionImpl& session, const sql::Statement& ast, const std::string& text,
                             const sql::Compiled& code, const std::vector<std::string>& bindNames,
                             const std::vector<Value>& bindValues, ReturnedRows* returned) {
  SqlStatement dml;
  dml.text = text;
  dml.code = code;
  for (std::size_t i = 0; i < bindNames.size() && i < bindValues.size(); ++i) {
    auto c = std::make_shared<ConstNode>();
    c->value = bindValues[i];
    dml.paramByBind[bindNames[i]].expr = c;
  }
  Exec x(session, session.plsql());
  std::vector<Datum> noBinds;
  x.binds = &noBinds;
  return runTriggered(x, ast, dml, returned);
}

std::int64_t runTriggered(Exec& x, const sql::Statement& ast, const SqlStatement& dml, ReturnedRows* returned) {
  storage::SessionImpl& session = x.session;
  const sql::Compiled& code = dml.code;
  auto triggers = cacheOf(session).byTable[code.targetOwner + "." + code.targetTable];
  auto object = session.catalog().findObject(code.targetOwner, code.targetTable, "TABLE");
  if (!object) throw Error::ora(942);
  auto columns = session.catalog().columns(object->id);
  std::string table = quoted(code.targetOwner) + "." + quoted(code.targetTable);

  if (ast.kind != sql::StmtKind::Insert && ast.kind != sql::StmtKind::Update && ast.kind != sql::StmtKind::Delete)
    throw Error::ora(3001, "unimplemented feature: this statement on a table with triggers");
  int event = ast.kind == sql::StmtKind::Insert ? kInsert : ast.kind == sql::StmtKind::Update ? kUpdate : kDelete;
  std::vector<std::string> setColumns;
  // The rows query, built from the statement's own syntax tree so that its names resolve as they did:
  // ROWID and the old columns (UPDATE, DELETE), then the new values (INSERT, UPDATE).
  auto select = std::make_shared<sql::SelectStmt>();
  select->query = std::make_shared<sql::Query>();
  select->query->block = std::make_shared<sql::QueryBlock>();
  sql::QueryBlock& block = *select->query->block;
  auto item = [&](const sql::ExprPtr& e) {
    sql::SelectItem it;
    it.expr = e;
    it.alias = "C" + std::to_string(block.items.size());
    block.items.push_back(it);
  };
  if (event == kInsert) {
    const auto& ins = static_cast<const sql::InsertStmt&>(ast);
    std::vector<std::string> named = ins.columns;
    if (named.empty())
      for (const auto& c : columns) named.push_back(c.name);
    // Identity columns as the statement names them: GENERATED ALWAYS takes no value, ON NULL turns
    // NULL into the next value.
    auto identityOf = [&](const std::string& name) -> const catalog::ColumnInfo* {
      for (const auto& c : columns)
        if (c.name == name && !c.identity.empty()) return &c;
      return nullptr;
    };
    for (const auto& n : named)
      if (const auto* c = identityOf(n); c && c->identity == "ALWAYS") throw Error::ora(32795);
    for (std::size_t i = 0; i < ins.values.size(); ++i) {
      const auto* c = i < named.size() ? identityOf(named[i]) : nullptr;
      if (c && c->defaultOnNull) {
        auto call = std::make_shared<sql::Expr>();
        call->kind = sql::ExprKind::Function;
        call->name.parts = {"COALESCE"};
        call->pos = ins.values[i]->pos;
        sql::Parser dp(c->defaultText);
        call->args = {ins.values[i], dp.parseExpr()};
        item(call);
      } else {
        item(ins.values[i]);
      }
    }
    // Columns the statement leaves out start with their defaults (after the query's own columns).
    for (const auto& c : columns) {
      if (std::find(named.begin(), named.end(), c.name) != named.end()) continue;
      named.push_back(c.name);
      if (c.defaultText.empty()) {
        item(std::make_shared<sql::Expr>());
      } else {
        sql::Parser dp(c.defaultText);
        item(dp.parseExpr());
      }
    }
    setColumns = named;
    sql::TableRef dual;
    dual.table.parts = {"SYS", "DUAL"};
    if (ins.query) {
      // INSERT ... SELECT: the query's rows, with the defaults beside them.
      sql::TableRef rowsOf;
      rowsOf.subquery = ins.query;
      rowsOf.alias = "Q$";
      block.from.push_back(rowsOf);
      std::vector<sql::SelectItem> defaults(block.items.begin(), block.items.end());
      block.items.clear();
      sql::SelectItem all;
      all.star = true;
      all.starTable = "Q$";
      block.items.push_back(all);
      for (auto& d : defaults) block.items.push_back(d);
    } else {
      block.from.push_back(dual);
    }
  } else {
    const sql::TableRef& ref = event == kUpdate ? static_cast<const sql::UpdateStmt&>(ast).table
                                                : static_cast<const sql::DeleteStmt&>(ast).table;
    block.from.push_back(ref);
    block.where = event == kUpdate ? static_cast<const sql::UpdateStmt&>(ast).where
                                   : static_cast<const sql::DeleteStmt&>(ast).where;
    item(columnExpr("ROWID"));
    for (const auto& c : columns) item(columnExpr(c.name));
    if (event == kUpdate) {
      for (const auto& a : static_cast<const sql::UpdateStmt&>(ast).sets) {
        if (a.columns.size() != 1) throw Error::ora(3001, "unimplemented feature: multi-column SET on a table with triggers");
        for (const auto& c : columns)
          if (c.name == a.columns[0] && c.identity == "ALWAYS") throw Error::ora(32796);
        setColumns.push_back(a.columns[0]);
        item(a.value);
      }
    }
  }
  // RETURNING: a DELETE's values are read with its rows, before the delete; an INSERT's or UPDATE's
  // are read back by ROWID once the rows are written.
  const sql::ReturningClause& returning = returningOf(ast);
  bool wantReturned = returned && !returning.values.empty();
  if (wantReturned && event == kDelete)
    for (const auto& v : returning.values) item(v);
  // A query over the statement's own syntax tree, its names resolving as in the statement.
  auto internalQuery = [&](const std::shared_ptr<sql::SelectStmt>& query, SqlStatement& out) {
    out.text = dml.text;
    out.ast = query;
    out.owner = dml.owner;
    out.internal = true;
    sql::CompileContext ctx = session.compileContext();
    if (!dml.owner.empty()) ctx.user = ctx.schema = dml.owner;
    ctx.resolveExternal = [&dml](const sql::Expr& e) -> std::optional<sql::CompileContext::External> {
      auto it = dml.externals.find(e.pos.offset);
      if (e.pos.offset < 0 || it == dml.externals.end()) return std::nullopt;
      return it->second;
    };
    out.code = sql::compileStatement(*query, ctx, dml.text);
    out.ddlVersion = session.impl().ddlVersion();
    for (const auto& name : out.code.bindNames) {
      auto it = dml.paramByBind.find(name);
      auto c = std::make_shared<ConstNode>();
      if (it != dml.paramByBind.end())
        c->value = it->second.hostBind >= 0 ? (*x.binds)[static_cast<std::size_t>(it->second.hostBind)].v
                                             : it->second.expr->eval(x);
      out.paramByBind[name].expr = c;
    }
  };
  SqlStatement rowsSql;
  internalQuery(select, rowsSql);
  SqlStatement backSql;
  if (wantReturned && event != kDelete) {
    auto back = std::make_shared<sql::SelectStmt>();
    back->query = std::make_shared<sql::Query>();
    back->query->block = std::make_shared<sql::QueryBlock>();
    back->query->block->from.push_back(event == kInsert ? static_cast<const sql::InsertStmt&>(ast).table
                                                         : static_cast<const sql::UpdateStmt&>(ast).table);
    back->query->block->where = rowidMatch();
    for (const auto& v : returning.values) {
      sql::SelectItem it;
      it.expr = v;
      it.alias = "R" + std::to_string(back->query->block->items.size());
      back->query->block->items.push_back(it);
    }
    internalQuery(back, backSql);
  }

  // Triggers of this event, in order of creation, by kind.
  auto matching = [&](const std::string& timing, bool rowLevel) {
    std::vector<std::shared_ptr<TriggerDef>> out;
    for (const auto& t : triggers) {
      if (t->timing != timing || t->rowLevel != rowLevel || !(t->events & event)) continue;
      if (event == kUpdate && !t->updateColumns.empty() &&
          std::none_of(t->updateColumns.begin(), t->updateColumns.end(), [&](const std::string& c) {
            return std::find(setColumns.begin(), setColumns.end(), c) != setColumns.end();
          }))
        continue;
      out.push_back(t);
    }
    return out;
  };

  sqlite3* db = session.connection();
  session.beginChange();
  storage::exec(db, "SAVEPOINT nuvo_dml");
  std::int64_t count = 0;
  try {
    for (const auto& t : matching("BEFORE", false)) fire(session, *t, nullptr, nullptr);
    // Read the rows first: the writes below must not change what the statement selects.
    struct Row {
      Value rowid;
      Datum oldRow, newRow;
      std::vector<Value> returned;  // a DELETE's RETURNING values
    };
    std::vector<Row> rows;
    {
      sqlite3_stmt* s = rowsSql.start(x);
      struct Done {
        SqlStatement& q;
        sqlite3_stmt* s;
        ~Done() { q.finish(s); }
      } done{rowsSql, s};
      while (rowsSql.step(session, s)) {
        Row r;
        auto record = [&] {
          Datum d;
          d.record = std::make_shared<std::vector<Datum>>(columns.size());
          return d;
        };
        int i = 0;
        if (event != kInsert) {
          r.rowid = rowsSql.column(s, i++);
          r.oldRow = record();
          for (auto& f : *r.oldRow.record) f.v = rowsSql.column(s, i++);
          r.newRow = event == kUpdate ? copyDatum(r.oldRow) : record();
        } else {
          r.newRow = record();
        }
        for (const auto& name : setColumns) {
          Value v = rowsSql.column(s, i++);
          for (std::size_t c = 0; c < columns.size(); ++c)
            if (columns[c].name == name) (*r.newRow.record)[c].v = v;
        }
        while (i < static_cast<int>(rowsSql.code.columns.size())) r.returned.push_back(rowsSql.column(s, i++));
        rows.push_back(std::move(r));
      }
    }
    // Writes by ROWID, through the SQL compiler's column checks.
    std::string writeSql;
    if (event == kDelete) {
      writeSql = "DELETE FROM " + table + " WHERE ROWID = :RID";
    } else if (event == kUpdate) {
      writeSql = "UPDATE " + table + " SET ";
      for (std::size_t c = 0; c < columns.size(); ++c)
        writeSql += (c ? ", " : "") + quoted(columns[c].name) + " = :V" + std::to_string(c);
      writeSql += " WHERE ROWID = :RID";
    } else {
      writeSql = "INSERT INTO " + table + " (";
      std::string values;
      for (std::size_t c = 0; c < columns.size(); ++c) {
        writeSql += (c ? ", " : "") + quoted(columns[c].name);
        values += (c ? ", :V" : ":V") + std::to_string(c);
      }
      writeSql += ") VALUES (" + values + ")";
    }
    Query write(session, writeSql, true);
    auto rowTriggersBefore = matching("BEFORE", true);
    auto rowTriggersAfter = matching("AFTER", true);
    for (auto& r : rows) {
      Datum* oldRow = event == kInsert ? nullptr : &r.oldRow;
      Datum* newRow = event == kDelete ? nullptr : &r.newRow;
      for (const auto& t : rowTriggersBefore) fire(session, *t, oldRow, newRow);
      if (event != kInsert) write.set("RID", r.rowid);
      if (newRow)
        for (std::size_t c = 0; c < columns.size(); ++c) write.set("V" + std::to_string(c), (*r.newRow.record)[c].v);
      count += write.sql->runDml(x);
      if (event == kInsert) r.rowid = storage::encodeRowid(object->id, sqlite3_last_insert_rowid(db));
      for (const auto& t : rowTriggersAfter) fire(session, *t, oldRow, newRow);
    }
    for (const auto& t : matching("AFTER", false)) fire(session, *t, nullptr, nullptr);
    if (wantReturned) {
      for (auto& r : rows) {
        if (event != kDelete) r.returned = readBack(x, backSql, r.rowid);
        returned->push_back(std::move(r.returned));
      }
    }
  } catch (const PlsqlError& e) {
    sqlite3_exec(db, "ROLLBACK TO nuvo_dml; RELEASE nuvo_dml", nullptr, nullptr, nullptr);
    throw e.toError();
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK TO nuvo_dml; RELEASE nuvo_dml", nullptr, nullptr, nullptr);
    throw;
  }
  storage::exec(db, "RELEASE nuvo_dml");
  return count;
}

// ---------------------------------------------------------------------------------------------------
// DDL

void createTrigger(storage::SessionImpl& session, const std::string& owner, const std::string& source, bool orReplace,
                   const DdlRunner& runDdl) {
  TriggerHeading h = readHeading(source, owner);
  auto& catalog = session.catalog();
  if (!catalog.findObject(h.tableOwner, h.table, "TABLE")) throw Error::ora(942);
  // CREATE TRIGGER covers a trigger of one's own on one's own table; anything else needs CREATE ANY TRIGGER.
  session.requirePrivilege(h.tableOwner == h.owner ? h.owner : std::string(), "CREATE TRIGGER", "CREATE ANY TRIGGER");
  auto existing = catalog.findObject(h.owner, h.name, "TRIGGER");
  if (existing && !orReplace) throw Error::ora(955);
  auto unit = compileTrigger(session, loaderOf(session.plsql()), h.owner, source, h.context);
  unit->owner = h.owner;
  unit->name = h.name;
  unit->type = "TRIGGER";
  runDdl(session.connection(), [&](sqlite3* db) {
    ensureTriggerTable(db);
    std::string now = session.impl().now().toIso();
    if (existing) catalog.touchObject(existing->id, now);
    else catalog.addObject(h.owner, h.name, "TRIGGER", now);
    storeUnitSource(db, h.owner, h.name, "TRIGGER", source);
    storeCcflags(db, h.owner, h.name, "TRIGGER", session.context().plsqlCcflags);
    Stmt(db, "DELETE FROM main.triggers WHERE owner=?1 AND trigger_name=?2").bindAll(h.owner, h.name).step();
    std::string cols;
    for (const auto& c : h.updateColumns) cols += (cols.empty() ? "" : ",") + c;
    Stmt ins(db, "INSERT INTO main.triggers VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, "
                 "?16, ?17, ?18, ?19, ?20, ?21)");
    ins.bind(1, h.owner).bind(2, h.name).bind(3, triggerType(h)).bind(4, eventName(h.events));
    ins.bind(5, h.tableOwner).bind(6, h.table);
    if (cols.empty()) ins.bindNull(7);
    else ins.bind(7, cols);
    ins.bind(8, "REFERENCING NEW AS " + h.context.newName + " OLD AS " + h.context.oldName);
    if (h.whenText.empty()) ins.bindNull(9);
    else ins.bind(9, h.whenText);
    ins.bind(10, std::string(h.enabled ? "ENABLED" : "DISABLED")).bind(11, h.description).bind(12, h.body);
    ins.bind(13, h.timing).bind(14, static_cast<std::int64_t>(h.rowLevel ? 1 : 0)).bind(15, static_cast<std::int64_t>(h.events));
    ins.bind(16, cols).bind(17, h.context.oldName).bind(18, h.context.newName);
    ins.bind(19, static_cast<std::int64_t>(h.context.bodyOffset));
    if (h.context.whenOffset < 0) ins.bindNull(20).bindNull(21);
    else ins.bind(20, static_cast<std::int64_t>(h.context.whenOffset)).bind(21, static_cast<std::int64_t>(h.context.whenEnd));
    ins.step();
  });
  storeUnitErrors(session.connection(), *unit, "TRIGGER");
  if (!unit->errors.empty()) throw Error::ora(24344);
}

void dropTrigger(storage::SessionImpl& session, const std::string& owner, const std::string& name,
                 const DdlRunner& runDdl) {
  auto object = session.catalog().findObject(owner, name, "TRIGGER");
  if (!object) throw Error(4080, "ORA-04080: trigger '" + name + "' does not exist");
  session.requirePrivilege(owner, "", "DROP ANY TRIGGER");
  runDdl(session.connection(), [&](sqlite3* db) {
    session.catalog().removeObject(object->id);
    ensureTriggerTable(db);
    Stmt(db, "DELETE FROM main.triggers WHERE owner=?1 AND trigger_name=?2").bindAll(owner, name).step();
    for (const char* t : {"source", "errors"})
      Stmt(db, std::string("DELETE FROM main.") + t + " WHERE owner=?1 AND name=?2 AND type='TRIGGER'").bindAll(owner, name).step();
    storeCcflags(db, owner, name, "TRIGGER", {});
  });
}

void alterTrigger(storage::SessionImpl& session, const std::string& owner, const std::string& name,
                  const std::string& action,
                  const DdlRunner& runDdl) {
  auto object = session.catalog().findObject(owner, name, "TRIGGER");
  if (!object) throw Error(4080, "ORA-04080: trigger '" + name + "' does not exist");
  session.requirePrivilege(owner, "", "ALTER ANY TRIGGER");
  if (action == "COMPILE") {
    std::string source = sourceText(session.connection(), owner, name);
    TriggerHeading h = readHeading(source, owner);
    auto unit = compileTrigger(session, loaderOf(session.plsql()), owner, source, h.context);
    unit->owner = owner;
    unit->name = name;
    runDdl(session.connection(), [&](sqlite3* db) { storeCcflags(db, owner, name, "TRIGGER", session.context().plsqlCcflags); });
    storeUnitErrors(session.connection(), *unit, "TRIGGER");
    if (!unit->errors.empty()) throw Error::ora(24344);
    return;
  }
  runDdl(session.connection(), [&](sqlite3* db) {
    ensureTriggerTable(db);
    Stmt(db, "UPDATE main.triggers SET status=?3 WHERE owner=?1 AND trigger_name=?2")
        .bindAll(owner, name, std::string(action == "ENABLE" ? "ENABLED" : "DISABLED"))
        .step();
  });
}

}  // namespace engine::plsql
