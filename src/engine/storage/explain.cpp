// EXPLAIN PLAN: the plan SQLite chooses for the compiled statement (EXPLAIN QUERY PLAN), written as
// rows of a plan table in the usual layout. The engine's planner has no statistics, so COST,
// CARDINALITY and BYTES stay empty; the operations, the objects they read and the tree are the ones
// the statement really runs with:
//   SCAN t                         TABLE ACCESS FULL
//   SCAN t USING [COVERING] INDEX  [TABLE ACCESS BY INDEX ROWID over] INDEX FULL SCAN
//   SEARCH t USING [COVERING] INDEX  [TABLE ACCESS BY INDEX ROWID over] INDEX UNIQUE SCAN (every key
//                                  column of a unique index compared with =) or INDEX RANGE SCAN
//   SEARCH t USING INTEGER PRIMARY KEY  TABLE ACCESS BY USER ROWID
//   SEARCH t USING AUTOMATIC INDEX a temporary index built on t for the join: HASH JOIN over a full scan
//   second and later tables      NESTED LOOPS [OUTER] joining them to what comes before
//   TEMP B-TREE FOR GROUP BY / DISTINCT / ORDER BY   SORT GROUP BY / SORT UNIQUE / SORT ORDER BY
//   subqueries                     FILTER over the block and each subquery's plan
//   compound queries               UNION-ALL (UNION adds SORT UNIQUE), MINUS, INTERSECTION
//   inline views, WITH, views that are not merged   VIEW over their plan
//   recursive WITH (CONNECT BY)    CONNECT BY WITH FILTERING
// The explained statement is compiled (names, privileges) but never run.

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/sql/ast.h"
#include "engine/sql/compiler.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::storage {

namespace {

// One line of SQLite's EXPLAIN QUERY PLAN.
struct EqpNode {
  int id = 0;
  std::string detail;
  std::vector<EqpNode*> children;
};

struct PlanNode {
  std::string operation, options, owner, name, alias, objectType, qblock, optimizer;
  int instance = 0;
  int searchColumns = -1;
  std::vector<PlanNode> children;
};

bool startsWith(const std::string& s, std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// The schema and object of a SQLite name made by sqliteName ("KADE.%T%A%B" is KADE and "tab").
std::pair<std::string, std::string> oracleName(const std::string& stored) {
  std::string parts[2];
  int k = 0;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    char c = stored[i];
    if (c == '.' && k == 0) {
      k = 1;
    } else if (c == '%' && stored.compare(i, 3, "%2E") == 0) {
      parts[k] += '.';
      i += 2;
    } else if (c == '%' && stored.compare(i, 3, "%25") == 0) {
      parts[k] += '%';
      i += 2;
    } else if (c == '%' && i + 1 < stored.size()) {
      parts[k] += static_cast<char>(stored[++i] - 'A' + 'a');
    } else {
      parts[k] += c;
    }
  }
  if (k == 0) return {"", parts[0]};
  return {parts[0], parts[1]};
}

std::string quoteParts(const sql::Name& name) {
  std::string out;
  for (const auto& p : name.parts) out += (out.empty() ? "" : ".") + quoteName(p);
  return out;
}

class Explainer {
 public:
  Explainer(SessionImpl& session, const sql::Compiled& code) : s_(session), code_(code) {}

  // The plan of one SQLite statement of the compiled statement.
  std::vector<PlanNode> planOf(const std::string& sqliteSql, const sql::QueryBlock* topBlock) {
    sqlite3_stmt* raw = nullptr;
    std::string text = "EXPLAIN QUERY PLAN " + sqliteSql;
    int rc = sqlite3_prepare_v2(s_.connection(), text.c_str(), -1, &raw, nullptr);
    if (rc != SQLITE_OK) s_.throwMapped(rc, &code_);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(raw, sqlite3_finalize);
    nodes_.clear();
    std::map<int, EqpNode*> byId;
    EqpNode root;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
      auto node = std::make_unique<EqpNode>();
      node->id = sqlite3_column_int(raw, 0);
      int parent = sqlite3_column_int(raw, 1);
      const unsigned char* d = sqlite3_column_text(raw, 3);
      node->detail = d ? reinterpret_cast<const char*>(d) : "";
      auto it = byId.find(parent);
      (it == byId.end() ? root : *it->second).children.push_back(node.get());
      byId[node->id] = node.get();
      nodes_.push_back(std::move(node));
    }
    if (rc != SQLITE_DONE) s_.throwMapped(rc, &code_);
    return block(root.children, topBlock, "SEL$1");
  }

 private:
  struct IndexFacts {
    std::string owner, name;
    bool unique = false;
    int columns = 0;
  };

  // The Oracle index behind a SQLite index: I$name of CREATE INDEX, C$name of a key constraint.
  IndexFacts index(const std::string& stored) {
    auto [schema, object] = oracleName(stored);
    IndexFacts f{schema, object, false, 0};
    if (startsWith(object, "I$")) {
      f.name = object.substr(2);
      Stmt s(s_.connection(), "SELECT i.owner, i.uniqueness, (SELECT count(*) FROM ind_columns c WHERE "
                              "c.index_owner=i.owner AND c.index_name=i.index_name) FROM indexes i "
                              "WHERE i.table_owner=?1 AND i.index_name=?2");
      s.bindAll(schema, f.name);
      if (s.step()) {
        f.owner = s.text(0);
        f.unique = s.text(1) == "UNIQUE";
        f.columns = static_cast<int>(s.integer(2));
      }
    } else if (startsWith(object, "C$")) {
      f.name = object.substr(2);
      f.unique = true;
      Stmt s(s_.connection(), "SELECT count(*) FROM cons_columns WHERE owner=?1 AND constraint_name=?2");
      s.bindAll(schema, f.name);
      if (s.step()) f.columns = static_cast<int>(s.integer(0));
    }
    return f;
  }

  // The source a SQLite alias or table name stands for; nullopt for a name of the SQL the compiler
  // wrapped around the statement's own (an internal subquery, a WITH of a hierarchical query).
  std::optional<sql::Compiled::PlanSource> source(const std::string& name) {
    auto it = code_.planSources.find(name);
    if (it != code_.planSources.end()) return it->second;
    auto [owner, object] = oracleName(name);
    if (owner.empty()) {
      // A table of the dictionary's own, or an alias inside a dictionary view: the view names it.
      Stmt s(s_.connection(), "SELECT 1 FROM main.sqlite_schema WHERE type = 'table' AND name = ?1");
      s.bindAll(object);
      std::string upper;
      for (char c : object) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (s.step()) return sql::Compiled::PlanSource{"SYS", upper, upper, "FIXED TABLE", 0};
      for (const auto& [alias, src] : code_.planSources)
        if (src.owner == "SYS" && src.type == "VIEW") return sql::Compiled::PlanSource{"SYS", src.name, src.alias, "FIXED TABLE", 0};
      return std::nullopt;
    }
    for (const auto& [alias, src] : code_.planSources)
      if (src.owner == owner && src.name == object && src.type == "TABLE") return src;
    return sql::Compiled::PlanSource{owner, object, object, "TABLE", 0};
  }

  // SCAN/SEARCH <name> [USING ...] [(terms)] [LEFT-JOIN]
  PlanNode access(const std::string& detail, std::map<std::string, PlanNode>& views, bool& automatic,
                  bool& outer, const std::string& qblock) {
    bool search = startsWith(detail, "SEARCH ");
    std::string rest = detail.substr(search ? 7 : 5);
    outer = false;
    automatic = false;
    if (rest.size() > 10 && rest.compare(rest.size() - 10, 10, " LEFT-JOIN") == 0) {
      outer = true;
      rest.resize(rest.size() - 10);
    }
    std::string terms;
    if (!rest.empty() && rest.back() == ')') {
      auto open = rest.find(" (");
      if (open != std::string::npos) {
        terms = rest.substr(open + 2, rest.size() - open - 3);
        rest.resize(open);
      }
    }
    std::string name = rest, using_;
    if (auto u = rest.find(" USING "); u != std::string::npos) {
      name = rest.substr(0, u);
      using_ = rest.substr(u + 7);
    }
    if (name == "CONSTANT ROW") return node("FAST DUAL", "");
    if (auto v = views.find(name); v != views.end()) {
      PlanNode view = std::move(v->second);
      views.erase(v);
      return view;
    }
    auto found = source(name);
    if (!found) {
      // The recursive step reads the rows of the level before; another wrapped name reads the one
      // body not yet read.
      if (recursiveStep_) return node("CONNECT BY PUMP", "");
      if (!views.empty()) {
        PlanNode view = std::move(views.begin()->second);
        views.erase(views.begin());
        return view;
      }
      return node("VIEW", "");
    }
    const auto& src = *found;
    if (src.type == "DUAL") return node("FAST DUAL", "");
    PlanNode table = node("TABLE ACCESS", "FULL");
    if (src.type == "FIXED TABLE") table.operation = "FIXED TABLE";
    if (src.type == "VIEW") table = node("VIEW", "");
    setObject(table, src, qblock);
    if (using_.empty()) return table;
    if (startsWith(using_, "INTEGER PRIMARY KEY") || startsWith(using_, "PRIMARY KEY")) {
      table.options = search ? "BY USER ROWID" : "FULL";
      return table;
    }
    if (startsWith(using_, "AUTOMATIC")) {
      automatic = true;
      return table;
    }
    bool covering = startsWith(using_, "COVERING INDEX ");
    std::string stored = using_.substr(using_.find("INDEX ") + 6);
    IndexFacts f = index(stored);
    int equal = 0, used = 0;
    for (std::size_t at = 0; at < terms.size();) {
      auto end = terms.find(" AND ", at);
      std::string term = terms.substr(at, end == std::string::npos ? std::string::npos : end - at);
      ++used;
      if (term.find("=?") != std::string::npos && term.find_first_of("<>") == std::string::npos) ++equal;
      if (end == std::string::npos) break;
      at = end + 5;
    }
    PlanNode ix = node("INDEX", !search ? "FULL SCAN" : (f.unique && equal == f.columns && f.columns > 0) ? "UNIQUE SCAN" : "RANGE SCAN");
    ix.owner = f.owner;
    ix.name = f.name;
    ix.objectType = f.unique ? "INDEX (UNIQUE)" : "INDEX";
    ix.qblock = qblock;
    ix.searchColumns = search ? used : 0;
    if (covering) return ix;
    table.options = "BY INDEX ROWID";
    table.children.push_back(std::move(ix));
    return table;
  }

  static PlanNode node(std::string operation, std::string options) {
    PlanNode n;
    n.operation = std::move(operation);
    n.options = std::move(options);
    return n;
  }

  static void setObject(PlanNode& n, const sql::Compiled::PlanSource& src, const std::string& qblock) {
    n.owner = src.owner;
    n.name = src.name;
    n.alias = src.alias.empty() ? "" : src.alias + "@" + qblock;
    n.objectType = src.type == "FIXED TABLE" ? "TABLE" : src.type;
    n.instance = src.instance;
    n.qblock = qblock;
  }

  static PlanNode wrap(std::string operation, std::string options, PlanNode child) {
    PlanNode n = node(std::move(operation), std::move(options));
    n.children.push_back(std::move(child));
    return n;
  }

  // The plan of one query block from its EXPLAIN QUERY PLAN lines; `top` tells what SQLite does not
  // show (grouping or DISTINCT done without a sort, an aggregate over all rows).
  std::vector<PlanNode> block(const std::vector<EqpNode*>& items, const sql::QueryBlock* top, const std::string& qblock,
                              const sql::Compiled::PlanSource* view = nullptr) {
    std::map<std::string, PlanNode> views;
    for (const EqpNode* item : items) {
      const std::string& d = item->detail;
      if (startsWith(d, "CO-ROUTINE ") || startsWith(d, "MATERIALIZE ")) {
        std::string name = d.substr(d.find(' ') + 1);
        auto known = code_.planSources.find(name);
        if (known != code_.planSources.end() && known->second.type == "DUAL") {
          views[name] = node("FAST DUAL", "");
          continue;
        }
        auto body = known == code_.planSources.end() ? viewBody(item->children, qblock)
                                                     : viewBody(item->children, nextBlock(), &known->second);
        if (known == code_.planSources.end()) {
          // SQL the compiler wrapped around the statement's own: its plan, without a VIEW of its own.
          if (body.size() == 1) views[name] = std::move(body[0]);
          else if (!body.empty()) {
            PlanNode v = node("VIEW", "");
            v.children = std::move(body);
            views[name] = std::move(v);
          }
          continue;
        }
        PlanNode view = node("VIEW", "");
        setObject(view, known->second, qblock);
        view.children = std::move(body);
        views[name] = std::move(view);
      }
    }
    std::vector<PlanNode> subplans;
    std::optional<PlanNode> plan;
    bool sortGroup = false, sortDistinct = false, sortOrder = false;
    for (const EqpNode* item : items) {
      const std::string& d = item->detail;
      if (startsWith(d, "SCAN ") || startsWith(d, "SEARCH ")) {
        bool automatic = false, outer = false;
        PlanNode a = access(d, views, automatic, outer, qblock);
        if (!plan) plan = std::move(a);
        else {
          PlanNode join = node(automatic ? "HASH JOIN" : "NESTED LOOPS", outer ? "OUTER" : "");
          join.children.push_back(std::move(*plan));
          join.children.push_back(std::move(a));
          plan = std::move(join);
        }
      } else if (startsWith(d, "COMPOUND QUERY") || startsWith(d, "MERGE (")) {
        PlanNode c = compound(*item);
        if (!plan) plan = std::move(c);
        else subplans.push_back(std::move(c));
      } else if (startsWith(d, "MULTI-INDEX OR")) {
        PlanNode c = node("CONCATENATION", "");
        for (const EqpNode* part : item->children)
          for (auto& p : block(part->children, nullptr, qblock)) c.children.push_back(std::move(p));
        if (!plan) plan = std::move(c);
        else subplans.push_back(std::move(c));
      } else if (d.find("SUBQUERY") != std::string::npos && !startsWith(d, "LEFT-MOST")) {
        for (auto& p : block(item->children, nullptr, nextBlock())) subplans.push_back(std::move(p));
      } else if (startsWith(d, "USE TEMP B-TREE FOR GROUP BY")) {
        sortGroup = true;
      } else if (startsWith(d, "USE TEMP B-TREE FOR DISTINCT")) {
        sortDistinct = true;
      } else if (startsWith(d, "USE TEMP B-TREE FOR") && d.find("ORDER BY") != std::string::npos) {
        sortOrder = true;
      }
    }
    if (!plan) {
      // No table read at all: a query of DUAL, or a block SQLite answers from its views alone.
      if (views.size() == 1) plan = std::move(views.begin()->second);
      else if (!subplans.empty() || top) plan = node("FAST DUAL", "");
      else return {};
    }
    if (!subplans.empty()) {
      PlanNode filter = node("FILTER", "");
      filter.children.push_back(std::move(*plan));
      for (auto& p : subplans) filter.children.push_back(std::move(p));
      plan = std::move(filter);
    }
    bool grouped = top ? !top->groupBy.empty() : view && view->grouped;
    bool distinct = top ? top->distinct : view && view->distinct;
    if (sortGroup) plan = wrap("SORT", "GROUP BY", std::move(*plan));
    else if (grouped) plan = wrap("SORT", "GROUP BY NOSORT", std::move(*plan));
    else if (top && aggregates(*top)) plan = wrap("SORT", "AGGREGATE", std::move(*plan));
    if (sortDistinct) plan = wrap("SORT", "UNIQUE", std::move(*plan));
    else if (distinct) plan = wrap("SORT", "UNIQUE NOSORT", std::move(*plan));
    if (sortOrder) plan = wrap("SORT", "ORDER BY", std::move(*plan));
    return {std::move(*plan)};
  }

  // A CO-ROUTINE or MATERIALIZE body: a recursive WITH (SETUP, RECURSIVE STEP) is a CONNECT BY.
  std::vector<PlanNode> viewBody(const std::vector<EqpNode*>& items, const std::string& qblock,
                                 const sql::Compiled::PlanSource* view = nullptr) {
    const EqpNode *setup = nullptr, *step = nullptr;
    for (const EqpNode* item : items) {
      if (item->detail == "SETUP") setup = item;
      if (item->detail == "RECURSIVE STEP") step = item;
    }
    if (!setup || !step) return block(items, nullptr, qblock, view);
    PlanNode connect = node("CONNECT BY", "WITH FILTERING");
    for (auto& p : block(setup->children, nullptr, qblock)) connect.children.push_back(std::move(p));
    recursiveStep_ = true;
    for (auto& p : block(step->children, nullptr, qblock)) connect.children.push_back(std::move(p));
    recursiveStep_ = false;
    return {std::move(connect)};
  }

  // COMPOUND QUERY (LEFT-MOST SUBQUERY, UNION ALL, UNION USING TEMP B-TREE, EXCEPT ..., INTERSECT ...)
  // or MERGE (op) with LEFT and RIGHT.
  PlanNode compound(const EqpNode& item) {
    std::string op;
    std::vector<PlanNode> branches;
    for (const EqpNode* part : item.children) {
      const std::string& d = part->detail;
      if (startsWith(d, "UNION ALL") || startsWith(d, "UNION") || startsWith(d, "EXCEPT") || startsWith(d, "INTERSECT"))
        op = d;
      for (auto& p : block(part->children, nullptr, nextBlock())) branches.push_back(std::move(p));
    }
    if (startsWith(item.detail, "MERGE (")) op = item.detail.substr(7, item.detail.size() - 8);
    PlanNode c = node("UNION-ALL", "");
    bool unique = false;
    if (startsWith(op, "EXCEPT")) c.operation = "MINUS";
    else if (startsWith(op, "INTERSECT")) c.operation = "INTERSECTION";
    else if (!startsWith(op, "UNION ALL")) unique = true;
    if (c.operation != "UNION-ALL") {
      for (auto& b : branches) c.children.push_back(wrap("SORT", "UNIQUE", std::move(b)));
      return c;
    }
    c.children = std::move(branches);
    return unique ? wrap("SORT", "UNIQUE", std::move(c)) : c;
  }

  static bool isAggregate(const sql::Expr& e) {
    static const char* const names[] = {"COUNT", "SUM", "MIN", "MAX", "AVG", "STDDEV", "VARIANCE", "LISTAGG"};
    if (e.kind == sql::ExprKind::Function && !e.window && e.name.parts.size() == 1)
      for (const char* n : names)
        if (e.name.parts[0] == n) return true;
    for (const auto& a : e.args)
      if (a && isAggregate(*a)) return true;
    return false;
  }

  static bool aggregates(const sql::QueryBlock& b) {
    for (const auto& item : b.items)
      if (item.expr && isAggregate(*item.expr)) return true;
    return false;
  }

  std::string nextBlock() { return "SEL$" + std::to_string(++blocks_); }

  SessionImpl& s_;
  const sql::Compiled& code_;
  std::vector<std::unique_ptr<EqpNode>> nodes_;
  int blocks_ = 1;
  bool recursiveStep_ = false;
};

// The columns of the plan table the rows go to (older layouts lack some): ORA-02404 when missing.
std::vector<std::string> planTableColumns(SessionImpl& session, const std::string& table) {
  std::vector<std::string> names;
  try {
    auto probe = session.prepare("SELECT * FROM " + table + " WHERE 1 = 0");
    for (const auto& c : probe->columns()) names.push_back(c.name);
  } catch (const Error& e) {
    if (e.code() == 942 || e.code() == 980) throw Error::ora(2404);
    throw;
  }
  return names;
}

struct PlanRow {
  const PlanNode* node;
  int id, parent, depth, position;
};

void number(const PlanNode& n, int parent, int depth, int position, std::vector<PlanRow>& out) {
  int id = static_cast<int>(out.size());
  out.push_back({&n, id, parent, depth, position});
  int k = 0;
  for (const auto& c : n.children) number(c, id, depth + 1, ++k, out);
}

}  // namespace

std::int64_t explainPlan(SessionImpl& session, const sql::ExplainStmt& stmt, const std::string& text) {
  std::string table = stmt.into.parts.empty() ? "PLAN_TABLE" : quoteParts(stmt.into);
  std::vector<std::string> columns = planTableColumns(session, table);

  const sql::Statement& explained = *stmt.explained;
  sql::CompileContext ctx = session.compileContext();
  sql::Compiled code;
  {
    catalog::Catalog::Compiling compiling(session.catalog());
    code = sql::compileStatement(explained, ctx, text);
  }
  Explainer explainer(session, code);
  const sql::QueryBlock* top = nullptr;
  if (explained.kind == sql::StmtKind::Select) {
    auto& q = *static_cast<const sql::SelectStmt&>(explained).query;
    if (q.block) top = q.block.get();
  }
  std::vector<PlanNode> body = explainer.planOf(code.sql, top);
  if (!code.nextSql.empty())
    for (auto& n : explainer.planOf(code.nextSql, nullptr)) body.push_back(std::move(n));

  PlanNode root;
  root.optimizer = "ALL_ROWS";
  auto targetNode = [&](const char* operation, const char* options) {
    PlanNode t;
    t.operation = operation;
    t.options = options;
    t.owner = code.targetOwner;
    t.name = code.targetTable;
    t.objectType = "TABLE";
    for (auto& n : body) t.children.push_back(std::move(n));
    body.clear();
    return t;
  };
  switch (explained.kind) {
    case sql::StmtKind::Insert:
      root.operation = "INSERT STATEMENT";
      root.children.push_back(targetNode("LOAD TABLE", "CONVENTIONAL"));
      break;
    case sql::StmtKind::Update:
      root.operation = "UPDATE STATEMENT";
      root.children.push_back(targetNode("UPDATE", ""));
      break;
    case sql::StmtKind::Delete:
      root.operation = "DELETE STATEMENT";
      root.children.push_back(targetNode("DELETE", ""));
      break;
    case sql::StmtKind::Merge:
      root.operation = "MERGE STATEMENT";
      root.children.push_back(targetNode("MERGE", ""));
      break;
    default:
      root.operation = "SELECT STATEMENT";
      if (code.forUpdate && !body.empty()) {
        PlanNode f;
        f.operation = "FOR UPDATE";
        for (auto& n : body) f.children.push_back(std::move(n));
        body.clear();
        body.push_back(std::move(f));
      }
      for (auto& n : body) root.children.push_back(std::move(n));
      break;
  }
  std::vector<PlanRow> rows;
  number(root, -1, 0, 0, rows);

  // One INSERT per row, through the session: the plan table's privileges, triggers and transaction
  // apply as to any insert.
  static const std::vector<std::string> known = {
      "STATEMENT_ID", "PLAN_ID",   "TIMESTAMP", "OPERATION", "OPTIONS",  "OBJECT_OWNER",   "OBJECT_NAME",
      "OBJECT_ALIAS", "OBJECT_INSTANCE", "OBJECT_TYPE", "OPTIMIZER", "SEARCH_COLUMNS", "ID", "PARENT_ID",
      "DEPTH",        "POSITION",  "QBLOCK_NAME"};
  std::vector<std::string> used;
  for (const auto& k : known)
    if (std::find(columns.begin(), columns.end(), k) != columns.end()) used.push_back(k);
  std::int64_t planId = 1;
  if (std::find(used.begin(), used.end(), "PLAN_ID") != used.end()) {
    auto q = session.prepare("SELECT NVL(MAX(PLAN_ID), 0) + 1 FROM " + table);
    q->execute();
    if (q->next()) planId = q->value(0).asInteger();
    q->close();
  }
  std::string insert = "INSERT INTO " + table + " (";
  std::string values;
  for (std::size_t i = 0; i < used.size(); ++i) {
    insert += (i ? ", " : "") + used[i];
    values += (i ? ", " : "") + (used[i] == "TIMESTAMP" ? std::string("SYSDATE") : ":" + used[i]);
  }
  insert += ") VALUES (" + values + ")";
  for (const auto& r : rows) {
    const PlanNode& n = *r.node;
    auto text = [](const std::string& s) { return s.empty() ? Value() : Value(s); };
    std::map<std::string, Value> v = {
        {"STATEMENT_ID", stmt.hasStatementId && !stmt.statementId.empty() ? Value(stmt.statementId) : Value()},
        {"PLAN_ID", Value(planId)},
        {"OPERATION", text(n.operation)},
        {"OPTIONS", text(n.options)},
        {"OBJECT_OWNER", text(n.owner)},
        {"OBJECT_NAME", text(n.name)},
        {"OBJECT_ALIAS", text(n.alias)},
        {"OBJECT_INSTANCE", n.instance > 0 ? Value(n.instance) : Value()},
        {"OBJECT_TYPE", text(n.objectType)},
        {"OPTIMIZER", text(n.optimizer)},
        {"SEARCH_COLUMNS", n.searchColumns >= 0 ? Value(n.searchColumns) : Value()},
        {"ID", Value(r.id)},
        {"PARENT_ID", r.parent >= 0 ? Value(r.parent) : Value()},
        {"DEPTH", Value(r.depth)},
        // The first row's POSITION is the statement's cost, which the engine does not estimate.
        {"POSITION", r.parent >= 0 ? Value(r.position) : Value()},
        {"QBLOCK_NAME", text(n.qblock)}};
    auto ins = session.prepare(insert);
    for (const auto& c : used)
      if (c != "TIMESTAMP") ins->bind(c, v[c]);
    ins->execute();
  }
  return 0;
}

}  // namespace engine::storage
