#pragma once
// Thin RAII helpers over the SQLite C API, and the mapping of SQLite failures to Oracle errors.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <unordered_map>

#include "engine/engine.h"

namespace engine::storage {

// Turns a failed SQLite call into an engine::Error: messages the engine's own functions and
// triggers raise ("ORA-nnnnn: text") keep their code; busy is ORA-00054, interrupt ORA-01013.
[[noreturn]] void throwSqlite(sqlite3* db, int rc);
// The code of an "ORA-nnnnn: ..." message, 0 when the text is no Oracle message.
int oraCodeOf(const std::string& message);

// Runs SQL without results; throws on failure.
void exec(sqlite3* db, const std::string& sql);

// A prepared statement that finalizes itself.
class Stmt {
 public:
  Stmt() = default;
  Stmt(sqlite3* db, const std::string& sql);
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  Stmt(Stmt&& o) noexcept : db_(o.db_), s_(o.s_), lent_(o.lent_) {
    o.s_ = nullptr;
    o.lent_ = nullptr;
  }
  Stmt& operator=(Stmt&& o) noexcept;
  ~Stmt();

  sqlite3_stmt* get() const { return s_; }
  Stmt& bind(int index, const std::string& v);
  Stmt& bind(int index, std::int64_t v);
  Stmt& bindNull(int index);
  // Binds the arguments 1..n in order and returns the statement.
  template <typename... Args>
  Stmt& bindAll(const Args&... args) {
    int i = 0;
    (bindOne(++i, args), ...);
    return *this;
  }
  bool step();  // true: a row is ready; false: done. Throws on failure.
  void reset();
  std::string text(int column) const;
  std::int64_t integer(int column) const;
  bool isNull(int column) const;

 private:
  void bindOne(int i, const std::string& v) { bind(i, v); }
  void bindOne(int i, const char* v) { bind(i, std::string(v)); }
  void bindOne(int i, std::int64_t v) { bind(i, v); }
  void bindOne(int i, int v) { bind(i, static_cast<std::int64_t>(v)); }

  // A statement lent by a StatementCache: reset and given back at the end instead of finalized.
  void giveBack();
  friend class StatementCache;

  sqlite3* db_ = nullptr;
  sqlite3_stmt* s_ = nullptr;
  bool* lent_ = nullptr;
};

// Prepared statements of one connection kept for reuse: statement(sql) lends the kept statement of
// that text (reset, its binds cleared, when the Stmt ends), or a fresh one while it is lent out.
class StatementCache {
 public:
  explicit StatementCache(sqlite3* db) : db_(db) {}
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;
  ~StatementCache();
  Stmt statement(const std::string& sql);

 private:
  struct Entry {
    sqlite3_stmt* stmt = nullptr;
    bool lent = false;
  };
  sqlite3* db_;
  std::unordered_map<std::string, Entry> entries_;
};

// Quotes a name for SQLite: "NAME" with inner quotes doubled.
std::string quoteName(const std::string& name);
// Quotes a text literal: 'text' with inner quotes doubled.
std::string quoteText(const std::string& text);

// The SQLite name of object (a table, an index, a constraint's trigger) of an Oracle schema: every
// schema's objects live in the database's one file as "SCHEMA.OBJECT". SQLite compares names without
// regard to case, Oracle with it: a lower-case letter is written '%' and its capital ("low" is
// "%L%O%W"), '.' and '%' are written %2E and %25. So the first '.' ends the schema and no two pairs
// of Oracle names share a SQLite name.
std::string sqliteName(const std::string& schema, const std::string& object);
// sqliteName, quoted for SQL text.
std::string tableRef(const std::string& schema, const std::string& object);

}  // namespace engine::storage
