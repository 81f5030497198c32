// The engine against SQLite directly, on the same work: 100,000 single-row inserts in one
// transaction, then 100,000 primary-key lookups, each through a prepared statement with binds
// (the engine's statement cache on its side). Prints the times and their ratios (target: <= 2.0).
//
// The baseline table has the engine's storage shape: an Oracle NUMBER key is no SQLite integer key,
// so both keep rows in a rowid table with a unique index on the key. For reference the ratios are
// also printed against a SQLite table keyed by INTEGER PRIMARY KEY (one b-tree instead of two).

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "engine/engine.h"

namespace {

constexpr int kRows = 100000;

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Times {
  double insert = 0, lookup = 0;
};

std::string nameOf(int i) { return "name " + std::to_string(i); }

Times runEngine(const std::string& dir) {
  engine::CreateOptions options;
  options.durable = false;
  auto db = engine::Database::create(dir, options);
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE bench (id NUMBER PRIMARY KEY, name VARCHAR2(40))");
  Times t;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRows; ++i) {
    // Prepared by text each time: the statement cache makes that cheap.
    auto insert = s->prepare("INSERT INTO bench (id, name) VALUES (:id, :name)");
    insert->bind("id", i);
    insert->bind("name", nameOf(i));
    insert->execute();
  }
  s->commit();
  t.insert = seconds(start);
  start = std::chrono::steady_clock::now();
  long long found = 0;
  for (int i = 0; i < kRows; ++i) {
    auto lookup = s->prepare("SELECT name FROM bench WHERE id = :id");
    lookup->bind("id", (i * 7919) % kRows);
    lookup->execute();
    if (lookup->next()) ++found;
  }
  t.lookup = seconds(start);
  if (found != kRows) std::fprintf(stderr, "engine: %lld rows found\n", found);
  return t;
}

void check(int rc, sqlite3* db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    std::exit(1);
  }
}

Times runSqlite(const std::string& file, const char* table) {
  sqlite3* db = nullptr;
  check(sqlite3_open(file.c_str(), &db), db);
  check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr), db);
  check(sqlite3_exec(db, table, nullptr, nullptr, nullptr), db);
  Times t;
  auto start = std::chrono::steady_clock::now();
  check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
  sqlite3_stmt* insert = nullptr;
  check(sqlite3_prepare_v2(db, "INSERT INTO bench (id, name) VALUES (?1, ?2)", -1, &insert, nullptr), db);
  for (int i = 0; i < kRows; ++i) {
    std::string name = nameOf(i);
    sqlite3_bind_int64(insert, 1, i);
    sqlite3_bind_text(insert, 2, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    check(sqlite3_step(insert), db);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
  t.insert = seconds(start);
  start = std::chrono::steady_clock::now();
  sqlite3_stmt* lookup = nullptr;
  check(sqlite3_prepare_v2(db, "SELECT name FROM bench WHERE id = ?1", -1, &lookup, nullptr), db);
  long long found = 0;
  for (int i = 0; i < kRows; ++i) {
    sqlite3_bind_int64(lookup, 1, (i * 7919) % kRows);
    if (sqlite3_step(lookup) == SQLITE_ROW) {
      std::string name(reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0)));
      ++found;
    }
    sqlite3_reset(lookup);
  }
  sqlite3_finalize(lookup);
  t.lookup = seconds(start);
  sqlite3_close(db);
  if (found != kRows) std::fprintf(stderr, "sqlite: %lld rows found\n", found);
  return t;
}

void report(const char* baseline, const Times& sqlite, const Times& eng) {
  std::printf("against %s\n", baseline);
  std::printf("  %-26s %10s %10s %8s\n", "work (100,000 each)", "SQLite s", "engine s", "ratio");
  std::printf("  %-26s %10.3f %10.3f %8.2f\n", "inserts, one transaction", sqlite.insert, eng.insert,
              eng.insert / sqlite.insert);
  std::printf("  %-26s %10.3f %10.3f %8.2f\n", "primary-key lookups", sqlite.lookup, eng.lookup,
              eng.lookup / sqlite.lookup);
}

}  // namespace

int main() {
  auto root = std::filesystem::temp_directory_path() / ("nuvo_engine_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(root);
  Times same = runSqlite((root / "same.db").string(), "CREATE TABLE bench (id NUMERIC NOT NULL PRIMARY KEY, name TEXT)");
  Times rowid = runSqlite((root / "rowid.db").string(), "CREATE TABLE bench (id INTEGER NOT NULL PRIMARY KEY, name TEXT)");
  Times eng = runEngine((root / "ENGINE").string());
  std::filesystem::remove_all(root);
  report("SQLite, the same storage (rowid table + unique key index)", same, eng);
  report("SQLite, INTEGER PRIMARY KEY (reference)", rowid, eng);
  return 0;
}
