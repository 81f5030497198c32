#pragma once
// An in-memory SQLite connection with the function library registered on a session whose clock is
// fixed at 2026-03-15 10:20:30 (a Sunday).

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "engine/builtins/functions.h"

namespace engine::builtins::test {

// One row of a table of cases: a SQL expression and what it gives. Expected values are written as
// text: numbers as SQLite prints them ("3.5", "2"), "NULL" for NULL, and an error as its message or
// its leading "ORA-nnnnn".
struct Case {
  const char* expression;
  const char* expected;
};

class SqlFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    context_.user = "KADE";
    context_.uid = 42;
    context_.sessionId = 17;
    context_.dbName = "DEMO";
    context_.osUser = "installer";
    context_.now = [] { return DateTime{2026, 3, 15, 10, 20, 30}; };
    registerFunctions(db_, &context_);
  }
  void TearDown() override { sqlite3_close(db_); }

  // The value of SELECT <expression>, or the error message.
  std::string eval(const std::string& expression) { return query("SELECT " + expression); }

  std::string query(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return sqlite3_errmsg(db_);
    std::string result;
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
      result = sqlite3_column_type(stmt, 0) == SQLITE_NULL ? "NULL" : std::string(text, sqlite3_column_bytes(stmt, 0));
    } else if (rc != SQLITE_DONE) {
      result = sqlite3_errmsg(db_);
    }
    sqlite3_finalize(stmt);
    return result;
  }

  void check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      std::string actual = eval(c.expression);
      std::string expected = c.expected;
      if (expected.rfind("ORA-", 0) == 0 && expected.size() == 9)
        EXPECT_EQ(actual.substr(0, 9), expected) << c.expression << " gave " << actual;
      else
        EXPECT_EQ(actual, expected) << c.expression;
    }
  }

  sqlite3* db_ = nullptr;
  SessionContext context_;
};

}  // namespace engine::builtins::test
