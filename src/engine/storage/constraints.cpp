#include "engine/storage/constraints.h"

#include "engine/sql/compiler.h"
#include "engine/sql/parser.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::storage {

using catalog::ConstraintInfo;

namespace {

std::string qualified(const ConstraintInfo& c) { return c.owner + "." + c.name; }

std::string triggerName(const ConstraintInfo& c, const char* suffix) {
  return tableRef(c.owner, "K$" + c.name + "$" + suffix);
}

std::string columnList(const std::vector<std::string>& cols, const std::string& prefix = {}) {
  std::string out;
  for (const auto& c : cols) out += (out.empty() ? "" : ", ") + prefix + quoteName(c);
  return out;
}

// "a = b AND ..." over two column lists.
std::string matchColumns(const std::vector<std::string>& left, const std::string& leftPrefix,
                         const std::vector<std::string>& right, const std::string& rightPrefix) {
  std::string out;
  for (std::size_t i = 0; i < left.size(); ++i)
    out += (i ? " AND " : "") + leftPrefix + quoteName(left[i]) + " = " + rightPrefix + quoteName(right[i]);
  return out;
}

std::string allNotNull(const std::vector<std::string>& cols, const std::string& prefix) {
  std::string out;
  for (std::size_t i = 0; i < cols.size(); ++i) out += (i ? " AND " : "") + prefix + quoteName(cols[i]) + " IS NOT NULL";
  return out;
}

std::string anyChanged(const std::vector<std::string>& cols) {
  std::string out;
  for (std::size_t i = 0; i < cols.size(); ++i)
    out += (i ? " OR " : "") + std::string("OLD.") + quoteName(cols[i]) + " IS NOT NEW." + quoteName(cols[i]);
  return out;
}

// `table` is the quoted SQLite name (tableRef).
void createTrigger(sqlite3* db, const std::string& name, const std::string& event, const std::string& table,
                   const std::string& when, const std::string& body) {
  exec(db, "CREATE TRIGGER " + name + " BEFORE " + event + " ON " + table + " FOR EACH ROW WHEN " + when +
               " BEGIN " + body + "; END");
}

std::string raise(const std::string& message) { return "SELECT RAISE(ABORT, " + quoteText(message) + ")"; }

bool anyRow(sqlite3* db, const std::string& sql) {
  Stmt s(db, sql);
  return s.step();
}

// The column a NOT NULL constraint is on ('"COL" IS NOT NULL'), or empty.
bool isNotNull(const ConstraintInfo& c) {
  return c.type == 'C' && c.columns.size() == 1 && c.searchCondition == "\"" + c.columns[0] + "\" IS NOT NULL";
}

std::string checkSql(SessionImpl& session, const ConstraintInfo& c, const std::string& prefix) {
  auto object = session.catalog().findObject(c.owner, c.table, "TABLE");
  sql::Parser parser(c.searchCondition);
  sql::ExprPtr e = parser.parseExpr();
  sql::CompileContext ctx;
  ctx.catalog = &session.catalog();
  ctx.user = c.owner;
  ctx.schema = c.owner;
  return sql::compileTableExpr(*e, session.catalog().columns(object->id), prefix, ctx);
}

}  // namespace

void applyConstraint(SessionImpl& session, const ConstraintInfo& c) {
  sqlite3* db = session.connection();
  std::string table = tableRef(c.owner, c.table);
  switch (c.type) {
    case 'P':
    case 'U': {
      std::string keys = columnList(c.columns);
      if (c.type == 'P' && anyRow(db, "SELECT 1 FROM " + table + " WHERE NOT (" + allNotNull(c.columns, "") + ")"))
        throw Error(2437, "ORA-02437: cannot validate (" + qualified(c) + ") - primary key violated");
      if (anyRow(db, "SELECT 1 FROM " + table + " WHERE " + allNotNull(c.columns, "") + " GROUP BY " + keys +
                         " HAVING count(*) > 1"))
        throw Error(c.type == 'P' ? 2437 : 2299, c.type == 'P'
                                                     ? "ORA-02437: cannot validate (" + qualified(c) + ") - primary key violated"
                                                     : "ORA-02299: cannot validate (" + qualified(c) + ") - duplicate keys found");
      // A deferred key may hold duplicates until commit (deferredViolation): its index only finds them.
      exec(db, std::string(c.deferred ? "CREATE INDEX " : "CREATE UNIQUE INDEX ") + tableRef(c.owner, "C$" + c.name) +
                   " ON " + table + "(" + keys + ")");
      return;
    }
    case 'C': {
      if (isNotNull(c)) {
        if (anyRow(db, "SELECT 1 FROM " + table + " WHERE " + quoteName(c.columns[0]) + " IS NULL"))
          throw Error(2296, "ORA-02296: cannot enable (" + qualified(c) + ") - null values found");
        return;
      }
      if (anyRow(db, "SELECT 1 FROM " + table + " AS t WHERE NOT (" + checkSql(session, c, "t") + ")"))
        throw Error(2293, "ORA-02293: cannot validate (" + qualified(c) + ") - check constraint violated");
      if (c.deferred) return;  // checked at commit (deferredViolation)
      std::string cond = checkSql(session, c, "NEW");
      std::string message = raise("ORA-02290: check constraint (" + qualified(c) + ") violated");
      createTrigger(db, triggerName(c, "I"), "INSERT", table, "NOT (" + cond + ")", message);
      createTrigger(db, triggerName(c, "U"), "UPDATE", table, "NOT (" + cond + ")", message);
      return;
    }
    case 'R': {
      auto parent = session.catalog().constraint(c.rOwner, c.rName);
      if (!parent) throw Error::ora(2270);
      std::string parentTable = tableRef(parent->owner, parent->table);
      std::string exists = "EXISTS (SELECT 1 FROM " + parentTable + " AS p WHERE " +
                           matchColumns(parent->columns, "p.", c.columns, "NEW.") + ")";
      std::string orphan = "SELECT 1 FROM " + table + " AS c WHERE " + allNotNull(c.columns, "c.") +
                           " AND NOT EXISTS (SELECT 1 FROM " + parentTable + " AS p WHERE " +
                           matchColumns(parent->columns, "p.", c.columns, "c.") + ")";
      if (anyRow(db, orphan))
        throw Error(2298, "ORA-02298: cannot validate (" + qualified(c) + ") - parent keys not found");
      std::string missing = raise("ORA-02291: integrity constraint (" + qualified(c) + ") violated - parent key not found");
      std::string when = allNotNull(c.columns, "NEW.") + " AND NOT " + exists;
      // A deferred key is checked at commit (deferredViolation); only its delete actions run at once.
      if (!c.deferred) {
        createTrigger(db, triggerName(c, "I"), "INSERT", table, when, missing);
        createTrigger(db, triggerName(c, "U"), "UPDATE OF " + columnList(c.columns), table, when, missing);
      }
      std::string children = "EXISTS (SELECT 1 FROM " + table + " AS c WHERE " +
                             matchColumns(c.columns, "c.", parent->columns, "OLD.") + ")";
      std::string childFound = raise("ORA-02292: integrity constraint (" + qualified(c) + ") violated - child record found");
      std::string childMatch = matchColumns(c.columns, "", parent->columns, "OLD.");
      if (c.deleteRule == "CASCADE") {
        createTrigger(db, triggerName(c, "D"), "DELETE", parentTable, "1", "DELETE FROM " + table + " WHERE " + childMatch);
      } else if (c.deleteRule == "SET NULL") {
        std::string sets;
        for (const auto& col : c.columns) sets += (sets.empty() ? "" : ", ") + quoteName(col) + " = NULL";
        createTrigger(db, triggerName(c, "D"), "DELETE", parentTable, "1",
                      "UPDATE " + table + " SET " + sets + " WHERE " + childMatch);
      } else if (!c.deferred) {
        createTrigger(db, triggerName(c, "D"), "DELETE", parentTable, children, childFound);
      }
      if (!c.deferred)
        createTrigger(db, triggerName(c, "P"), "UPDATE OF " + columnList(parent->columns), parentTable,
                      "(" + anyChanged(parent->columns) + ") AND " + children, childFound);
      return;
    }
  }
}

std::string deferredViolation(SessionImpl& session) {
  sqlite3* db = session.connection();
  for (const ConstraintInfo& c : session.catalog().deferredConstraints()) {
    const std::string table = tableRef(c.owner, c.table);
    switch (c.type) {
      case 'P':
      case 'U':
        if (anyRow(db, "SELECT 1 FROM " + table + " WHERE " + allNotNull(c.columns, "") + " GROUP BY " +
                           columnList(c.columns) + " HAVING count(*) > 1"))
          return "ORA-00001: unique constraint (" + qualified(c) + ") violated";
        break;
      case 'C':
        if (isNotNull(c)) break;  // NOT NULL is checked by each statement
        if (anyRow(db, "SELECT 1 FROM " + table + " AS t WHERE NOT (" + checkSql(session, c, "t") + ")"))
          return "ORA-02290: check constraint (" + qualified(c) + ") violated";
        break;
      case 'R': {
        auto parent = session.catalog().constraint(c.rOwner, c.rName);
        if (!parent) break;
        if (anyRow(db, "SELECT 1 FROM " + table + " AS c WHERE " + allNotNull(c.columns, "c.") +
                           " AND NOT EXISTS (SELECT 1 FROM " + tableRef(parent->owner, parent->table) + " AS p WHERE " +
                           matchColumns(parent->columns, "p.", c.columns, "c.") + ")"))
          return "ORA-02291: integrity constraint (" + qualified(c) + ") violated - parent key not found";
        break;
      }
    }
  }
  return {};
}

void removeConstraintObjects(SessionImpl& session, const ConstraintInfo& c) {
  sqlite3* db = session.connection();
  // The unique index C$name and the triggers K$name$x, names compared as stored (case and all).
  Stmt s(db, "SELECT type, name FROM main.sqlite_master WHERE name = ?1 OR substr(name, 1, length(?2)) = ?2");
  s.bindAll(sqliteName(c.owner, "C$" + c.name), sqliteName(c.owner, "K$" + c.name + "$"));
  std::vector<std::pair<std::string, std::string>> objects;
  while (s.step()) objects.emplace_back(s.text(0), s.text(1));
  for (const auto& [type, name] : objects) {
    if (type != "index" && type != "trigger") continue;
    exec(db, "DROP " + std::string(type == "index" ? "INDEX " : "TRIGGER ") + quoteName(name));
  }
}

void rebuildConstraints(SessionImpl& session, const std::string& owner, const std::string& table) {
  auto own = session.catalog().constraints(owner, table);
  auto referencing = session.catalog().referencingConstraints(owner, table);
  for (const auto* list : {&own, &referencing})
    for (const auto& c : *list) removeConstraintObjects(session, c);
  for (const auto* list : {&own, &referencing})
    for (const auto& c : *list)
      if (c.enabled) applyConstraint(session, c);
}

}  // namespace engine::storage
