// Literal SQL, as upgrade and seed scripts send it: every statement a new text with its values
// written in. The engine against the SQLite library running the same texts (prepare, step, finalize
// per statement, as SQLite's shell does), in one run, non-durable on both sides:
//   100,000 literal INSERTs in one transaction, 10,000 literal key lookups, 50,000 single-row literal
//   UPDATEs, one UPDATE of 50,000 rows (target: ratio <= 3.0 each), and 1,000,000 rows fetched and
//   printed as CSV (target: ratio <= 1.5; the best of three runs on each side).
// Both sides keep rows in a rowid table with a unique index on the key, the engine's storage shape.
// Usage: literal_bench [scale]   (scale 0.1 runs a tenth of every workload)

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <unistd.h>

#include "engine/engine.h"
#include "engine/script.h"

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

constexpr int kFetchRuns = 3;  // the fetch counts its best run: the machine may be busy

int scaled(int n, double scale) { return std::max(1, static_cast<int>(n * scale)); }

std::string insertText(int i) {
  return "INSERT INTO lit (id, name, amount) VALUES (" + std::to_string(i) + ", 'name " + std::to_string(i) + "', " +
         std::to_string(i % 1000) + ".25)";
}
std::string lookupText(int i) { return "SELECT name, amount FROM lit WHERE id = " + std::to_string(i); }
std::string updateText(int i) {
  return "UPDATE lit SET name = 'renamed " + std::to_string(i) + "' WHERE id = " + std::to_string(i);
}
std::string bulkUpdateText(int n) { return "UPDATE lit SET amount = amount + 1 WHERE id < " + std::to_string(n); }

struct Work {
  int inserts, lookups, updates, bulk, fetch;
};

// The times of the five workloads.
struct Times {
  double insert = 0, lookup = 0, update = 0, bulk = 0, fetch = 0;
};

// Every workload through the session's prepare and execute, texts as scripts send them.
Times runEngine(const std::string& dir, const Work& w) {
  engine::CreateOptions options;
  options.durable = false;
  auto db = engine::Database::create(dir, options);
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE lit (id NUMBER PRIMARY KEY, name VARCHAR2(40), amount NUMBER(12,2))");
  s->execute("CREATE TABLE big (id NUMBER PRIMARY KEY, name VARCHAR2(40), amount NUMBER(12,2), created DATE)");
  Times t;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < w.inserts; ++i) s->execute(insertText(i));
  s->commit();
  t.insert = seconds(start);

  start = std::chrono::steady_clock::now();
  long long found = 0;
  for (int i = 0; i < w.lookups; ++i) {
    auto q = s->prepare(lookupText((i * 7919) % w.inserts));
    q->execute();
    while (q->next()) ++found;
  }
  t.lookup = seconds(start);
  if (found != w.lookups) std::fprintf(stderr, "engine: %lld of %d rows found\n", found, w.lookups);

  start = std::chrono::steady_clock::now();
  for (int i = 0; i < w.updates; ++i) s->execute(updateText((i * 7919) % w.inserts));
  s->commit();
  t.update = seconds(start);

  start = std::chrono::steady_clock::now();
  s->execute(bulkUpdateText(w.bulk));
  s->commit();
  t.bulk = seconds(start);

  // The fetch table is filled through binds: only its fetch is measured.
  auto fill = s->prepare("INSERT INTO big (id, name, amount, created) VALUES (:id, :name, :amount, :created)");
  for (int i = 0; i < w.fetch; ++i) {
    fill->bind("id", i);
    fill->bind("name", "row " + std::to_string(i));
    fill->bind("amount", (i % 100000) / 100.0);
    fill->bind("created", engine::DateTime{2020 + i % 5, 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60});
    fill->execute();
  }
  s->commit();
  t.fetch = 1e9;
  for (int run = 0; run < kFetchRuns; ++run) {
    start = std::chrono::steady_clock::now();
    std::FILE* out = std::fopen("/dev/null", "w");
    auto q = s->prepare("SELECT id, name, amount, created FROM big");
    q->execute();
    std::fputs((engine::csvHeader(*q) + "\n").c_str(), out);
    std::string line;
    while (q->next()) {
      line = engine::csvRow(*q, *s);
      line += '\n';
      std::fwrite(line.data(), 1, line.size(), out);
    }
    std::fclose(out);
    t.fetch = std::min(t.fetch, seconds(start));
  }
  return t;
}

void check(int rc, sqlite3* db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    std::exit(1);
  }
}

// One statement as SQLite's shell runs it: prepare, step through the rows, finalize.
long long runText(sqlite3* db, const std::string& text) {
  sqlite3_stmt* stmt = nullptr;
  check(sqlite3_prepare_v2(db, text.c_str(), -1, &stmt, nullptr), db);
  long long rows = 0;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) ++rows;
  check(rc, db);
  sqlite3_finalize(stmt);
  return rows;
}

// A CSV field as the shell's csv mode writes it.
void csvAppend(std::string& line, const char* text) {
  if (!text) return;
  bool quote = false;
  for (const char* p = text; *p; ++p)
    if (*p == ',' || *p == '"' || *p == '\n' || *p == '\r') quote = true;
  if (!quote) {
    line += text;
    return;
  }
  line += '"';
  for (const char* p = text; *p; ++p) {
    if (*p == '"') line += '"';
    line += *p;
  }
  line += '"';
}

Times runSqlite(const std::string& file, const Work& w) {
  sqlite3* db = nullptr;
  check(sqlite3_open(file.c_str(), &db), db);
  check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr), db);
  check(sqlite3_exec(db,
                     "CREATE TABLE lit (id NUMERIC, name TEXT, amount NUMERIC); CREATE UNIQUE INDEX lit_pk ON lit(id);"
                     "CREATE TABLE big (id NUMERIC, name TEXT, amount NUMERIC, created TEXT);"
                     "CREATE UNIQUE INDEX big_pk ON big(id)",
                     nullptr, nullptr, nullptr),
        db);
  Times t;
  auto start = std::chrono::steady_clock::now();
  runText(db, "BEGIN");
  for (int i = 0; i < w.inserts; ++i) runText(db, insertText(i));
  runText(db, "COMMIT");
  t.insert = seconds(start);

  start = std::chrono::steady_clock::now();
  long long found = 0;
  for (int i = 0; i < w.lookups; ++i) found += runText(db, lookupText((i * 7919) % w.inserts));
  t.lookup = seconds(start);
  if (found != w.lookups) std::fprintf(stderr, "sqlite: %lld of %d rows found\n", found, w.lookups);

  start = std::chrono::steady_clock::now();
  runText(db, "BEGIN");
  for (int i = 0; i < w.updates; ++i) runText(db, updateText((i * 7919) % w.inserts));
  runText(db, "COMMIT");
  t.update = seconds(start);

  start = std::chrono::steady_clock::now();
  runText(db, bulkUpdateText(w.bulk));
  t.bulk = seconds(start);

  runText(db, "BEGIN");
  sqlite3_stmt* fill = nullptr;
  check(sqlite3_prepare_v2(db, "INSERT INTO big VALUES (?1, ?2, ?3, ?4)", -1, &fill, nullptr), db);
  for (int i = 0; i < w.fetch; ++i) {
    char created[32];
    std::snprintf(created, sizeof created, "%04d-%02d-%02d %02d:%02d:%02d", 2020 + i % 5, 1 + i % 12, 1 + i % 28,
                  i % 24, i % 60, (i * 7) % 60);
    std::string name = "row " + std::to_string(i);
    sqlite3_bind_int64(fill, 1, i);
    sqlite3_bind_text(fill, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(fill, 3, (i % 100000) / 100.0);
    sqlite3_bind_text(fill, 4, created, -1, SQLITE_TRANSIENT);
    check(sqlite3_step(fill), db);
    sqlite3_reset(fill);
  }
  sqlite3_finalize(fill);
  runText(db, "COMMIT");
  t.fetch = 1e9;
  for (int run = 0; run < kFetchRuns; ++run) {
    start = std::chrono::steady_clock::now();
    std::FILE* out = std::fopen("/dev/null", "w");
    sqlite3_stmt* q = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT id, name, amount, created FROM big", -1, &q, nullptr), db);
    std::string line;
    int columns = sqlite3_column_count(q);
    for (int i = 0; i < columns; ++i) {
      if (i) line += ',';
      csvAppend(line, sqlite3_column_name(q, i));
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
    while (sqlite3_step(q) == SQLITE_ROW) {
      line.clear();
      for (int i = 0; i < columns; ++i) {
        if (i) line += ',';
        csvAppend(line, reinterpret_cast<const char*>(sqlite3_column_text(q, i)));
      }
      line += '\n';
      std::fwrite(line.data(), 1, line.size(), out);
    }
    sqlite3_finalize(q);
    std::fclose(out);
    t.fetch = std::min(t.fetch, seconds(start));
  }
  sqlite3_close(db);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
  Work w{scaled(100000, scale), scaled(10000, scale), scaled(50000, scale), scaled(50000, scale),
         scaled(1000000, scale)};
  auto base = std::filesystem::temp_directory_path() / ("nuvo_literal_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(base);
  Times e = runEngine((base / "engine").string(), w);
  Times q = runSqlite((base / "sqlite.db").string(), w);
  std::filesystem::remove_all(base);
  auto row = [](const char* what, double engine, double sqlite, double target) {
    double ratio = engine / sqlite;
    std::printf("%-44s engine %8.3f s  sqlite %8.3f s  ratio %5.2f  (target <= %.1f)%s\n", what, engine, sqlite, ratio,
                target, ratio <= target ? "" : "  OVER");
  };
  std::printf("literal SQL, scale %.2f\n", scale);
  row(("literal INSERTs (" + std::to_string(w.inserts) + ", one transaction)").c_str(), e.insert, q.insert, 3.0);
  row(("literal key lookups (" + std::to_string(w.lookups) + ")").c_str(), e.lookup, q.lookup, 3.0);
  row(("single-row literal UPDATEs (" + std::to_string(w.updates) + ")").c_str(), e.update, q.update, 3.0);
  row(("one UPDATE of " + std::to_string(w.bulk) + " rows").c_str(), e.bulk, q.bulk, 3.0);
  row(("CSV fetch of " + std::to_string(w.fetch) + " rows").c_str(), e.fetch, q.fetch, 1.5);
  return 0;
}
