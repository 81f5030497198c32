#pragma once
// Triggers (triggers.cpp) and what they need of the session's PL/SQL state (units.cpp).

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/plsql/unit.h"

namespace engine::plsql {

struct TriggerCache;

UnitLoader& loaderOf(SessionState& state);
std::shared_ptr<TriggerCache>& triggerCacheOf(SessionState& state);
void storeUnitSource(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                     const std::string& source);
// Status and errors of a compiled unit in the catalog.
void storeUnitErrors(sqlite3* db, const Unit& unit, const std::string& type);

// Runs catalog changes as DDL: commit first, one transaction of their own, the DDL version bumped.
using DdlRunner = std::function<void(sqlite3*, const std::function<void(sqlite3*)>&)>;

// The values of a DML's RETURNING clause, one row per changed row.
using ReturnedRows = std::vector<std::vector<Value>>;

// Runs an INSERT, UPDATE or DELETE of PL/SQL or of the client row by row with its table's triggers;
// with `returned`, also collects its RETURNING values.
std::int64_t runTriggered(Exec& x, const sql::Statement& ast, const SqlStatement& dml, ReturnedRows* returned = nullptr);

void createTrigger(storage::SessionImpl& session, const std::string& owner, const std::string& source, bool orReplace,
                   const DdlRunner& runDdl);
void dropTrigger(storage::SessionImpl& session, const std::string& owner, const std::string& name, const DdlRunner& runDdl);
// action: ENABLE, DISABLE or COMPILE
void alterTrigger(storage::SessionImpl& session, const std::string& owner, const std::string& name,
                  const std::string& action, const DdlRunner& runDdl);

}  // namespace engine::plsql
