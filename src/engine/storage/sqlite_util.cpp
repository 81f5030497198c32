#include "engine/storage/sqlite_util.h"

#include <cstdlib>

namespace engine::storage {

int oraCodeOf(const std::string& message) {
  auto at = message.find("ORA-");
  if (at == std::string::npos || at + 9 > message.size() || message[at + 9] != ':') return 0;
  int code = 0;
  for (std::size_t i = at + 4; i < at + 9; ++i) {
    if (message[i] < '0' || message[i] > '9') return 0;
    code = code * 10 + (message[i] - '0');
  }
  return code;
}

void throwSqlite(sqlite3* db, int rc) {
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  int primary = rc & 0xff;
  if (int code = oraCodeOf(message)) throw Error(code, message.substr(message.find("ORA-")));
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) throw Error::ora(54);
  if (primary == SQLITE_INTERRUPT) throw Error::ora(1013);
  throw Error(600, "ORA-00600: internal error code, arguments: [sqlite], [" + message + "]");
}

void exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    sqlite3_free(error);
    throwSqlite(db, rc);
  }
}

Stmt::Stmt(sqlite3* db, const std::string& sql) : db_(db) {
  int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), 0, &s_, nullptr);
  if (rc != SQLITE_OK) throwSqlite(db, rc);
}

Stmt& Stmt::operator=(Stmt&& o) noexcept {
  if (this != &o) {
    giveBack();
    db_ = o.db_;
    s_ = o.s_;
    lent_ = o.lent_;
    o.s_ = nullptr;
    o.lent_ = nullptr;
  }
  return *this;
}

Stmt::~Stmt() { giveBack(); }

void Stmt::giveBack() {
  if (lent_) {
    sqlite3_reset(s_);
    sqlite3_clear_bindings(s_);
    *lent_ = false;
    lent_ = nullptr;
  } else {
    sqlite3_finalize(s_);
  }
  s_ = nullptr;
}

StatementCache::~StatementCache() {
  for (auto& [sql, e] : entries_) sqlite3_finalize(e.stmt);
}

Stmt StatementCache::statement(const std::string& sql) {
  Entry& e = entries_[sql];
  if (e.lent) return Stmt(db_, sql);  // a nested use of the same text
  if (!e.stmt) {
    int rc = sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &e.stmt,
                                nullptr);
    if (rc != SQLITE_OK) {
      e.stmt = nullptr;
      throwSqlite(db_, rc);
    }
  }
  Stmt s;
  s.db_ = db_;
  s.s_ = e.stmt;
  s.lent_ = &e.lent;
  e.lent = true;
  return s;
}

Stmt& Stmt::bind(int index, const std::string& v) {
  sqlite3_bind_text(s_, index, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  return *this;
}

Stmt& Stmt::bind(int index, std::int64_t v) {
  sqlite3_bind_int64(s_, index, v);
  return *this;
}

Stmt& Stmt::bindNull(int index) {
  sqlite3_bind_null(s_, index);
  return *this;
}

bool Stmt::step() {
  int rc = sqlite3_step(s_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(s_);
  throwSqlite(db_, rc);
}

void Stmt::reset() {
  sqlite3_reset(s_);
  sqlite3_clear_bindings(s_);
}

std::string Stmt::text(int column) const {
  const unsigned char* t = sqlite3_column_text(s_, column);
  return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(s_, column)))
           : std::string();
}

std::int64_t Stmt::integer(int column) const { return sqlite3_column_int64(s_, column); }
bool Stmt::isNull(int column) const { return sqlite3_column_type(s_, column) == SQLITE_NULL; }

std::string quoteName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

std::string quoteText(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + '\'';
}

namespace {

void appendNamePart(std::string& out, const std::string& part) {
  for (char c : part) {
    if (c == '.') out += "%2E";
    else if (c == '%') out += "%25";
    else if (c >= 'a' && c <= 'z') out += {'%', static_cast<char>(c - 'a' + 'A')};
    else out += c;
  }
}

}  // namespace

std::string sqliteName(const std::string& schema, const std::string& object) {
  std::string out;
  out.reserve(schema.size() + object.size() + 1);
  appendNamePart(out, schema);
  out += '.';
  appendNamePart(out, object);
  return out;
}

std::string tableRef(const std::string& schema, const std::string& object) {
  return quoteName(sqliteName(schema, object));
}

}  // namespace engine::storage
