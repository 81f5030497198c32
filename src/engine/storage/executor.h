#pragma once
// Runs the statements that are not compiled to one SQLite statement: DDL, users, roles and grants,
// ALTER SESSION and ALTER SYSTEM, COMMIT/ROLLBACK/SAVEPOINT, LOCK TABLE, TRUNCATE, EXPLAIN PLAN and
// ANALYZE. DDL commits
// the open transaction first and runs in a transaction of its own, as Oracle's DDL does.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/catalog/catalog.h"
#include "engine/sql/ast.h"

namespace engine::storage {

class SessionImpl;

// Runs one statement; returns the rows processed (0 for most).
std::int64_t runStatement(SessionImpl& session, const sql::Statement& stmt, const std::string& text);

// A complete refresh of owner.name, a materialized view (DBMS_MVIEW.REFRESH): commits what the
// session has open, then fills the view anew and commits. method: C, ?, A or F (refused), empty for
// the view's own.
void refreshMaterializedView(SessionImpl& session, const std::string& owner, const std::string& name,
                             const std::string& method);

// EXPLAIN PLAN (storage/explain.cpp): writes the plan of the explained statement into the plan
// table in the open transaction, without running the statement.
std::int64_t explainPlan(SessionImpl& session, const sql::ExplainStmt& stmt, const std::string& text);

// The name ORA-00001 reports for a unique failure on owner.table over `columns`: OWNER.CONSTRAINT
// (or OWNER.INDEX for a unique index).
std::string uniqueConstraintName(const catalog::Catalog& catalog, const std::string& owner, const std::string& table,
                                 const std::vector<std::string>& columns);

}  // namespace engine::storage
