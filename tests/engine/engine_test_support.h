#pragma once
// Small helpers for the engine's C++ tests: a fresh database per test and query shortcuts.

#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "support/temp_env.h"

namespace engine::test {

// A new database in its own temporary directory (not durable: tests need no fsync).
inline std::shared_ptr<Database> freshDatabase(const std::string& prefix = "db") {
  CreateOptions options;
  options.durable = false;
  return Database::create(nuvo::test::makeTempDir(prefix) + "/DB", options);
}

// The rows of a query, each value as the session prints it, fields joined by "|".
inline std::vector<std::string> rows(Session& session, const std::string& sql,
                                     const std::vector<std::pair<std::string, Value>>& binds = {}) {
  auto stmt = session.prepare(sql);
  for (const auto& [name, value] : binds) stmt->bind(name, value);
  stmt->execute();
  std::vector<std::string> out;
  while (stmt->next()) {
    std::string line;
    for (std::size_t i = 0; i < stmt->columns().size(); ++i) line += (i ? "|" : "") + session.format(stmt->value(i));
    out.push_back(line);
  }
  return out;
}

// The ORA code a statement fails with, 0 when it succeeds.
inline int errorCode(Session& session, const std::string& sql,
                     const std::vector<std::pair<std::string, Value>>& binds = {}) {
  try {
    session.execute(sql, binds);
    return 0;
  } catch (const Error& e) {
    return e.code();
  }
}

}  // namespace engine::test
