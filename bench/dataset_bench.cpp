// Fetches 1,000,000 rows of four columns (NUMBER, VARCHAR2, NUMBER with decimals, DATE) once
// through the engine's own cursor and once through Dataset (packets of 100 rows, rows kept), and
// prints the times and their ratio. Target: Dataset at most 1.5 times the engine's time.

#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>

#include "db/dataset.h"
#include "db/query.h"
#include "engine/engine.h"

namespace {

constexpr int kRows = 1000000;
const char* kSelect = "SELECT id, name, amount, d FROM b";

// The best of three runs; `after` runs untimed after each (freeing what the run kept).
double seconds(const std::function<void()>& run, const std::function<void()>& after = [] {}) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    after();
  }
  return best;
}

void fill(engine::Session& s) {
  s.execute("CREATE TABLE b (id NUMBER(10), name VARCHAR2(40), amount NUMBER(12,2), d DATE)");
  s.execute("INSERT INTO b VALUES (1, 'name of row 1', 10.25, TO_DATE('2020-01-01', 'YYYY-MM-DD'))");
  for (std::int64_t n = 1; n < kRows; n *= 2)
    s.execute("INSERT INTO b SELECT id + :n, 'name of row ' || (id + :n), amount + 1.5, d + 1 FROM b", {{"n", n}});
  s.execute("DELETE FROM b WHERE id > :n", {{"n", kRows}});
  s.commit();
}

}  // namespace

int main() {
  QTemporaryDir dir;
  const std::string path = dir.filePath("BENCH").toStdString();
  engine::CreateOptions options;
  options.durable = false;
  auto database = engine::Database::create(path, options);
  auto engineSession = database->logOn("SYSTEM", "SYSTEM");
  fill(*engineSession);

  std::int64_t engineRows = 0;
  const double engineTime = seconds([&] {
    auto statement = engineSession->prepare(kSelect);
    statement->execute();
    engineRows = 0;
    std::size_t touched = 0;
    while (statement->next()) {
      ++engineRows;
      for (std::size_t c = 0; c < 4; ++c) touched += static_cast<std::size_t>(statement->value(c).kind());
    }
    if (touched == 0) std::puts("no values");
  });
  engineSession.reset();
  database.reset();

  nuvo::db::Session session;
  session.logOn("SYSTEM", "SYSTEM", QString::fromStdString(path));
  nuvo::db::Dataset dataset(&session);
  dataset.setSql(kSelect);
  int datasetRows = 0;
  const double datasetTime = seconds([&] {
    dataset.open();
    dataset.fetchAll();
    datasetRows = dataset.recordCount();
  }, [&] { dataset.close(); });

  std::printf("rows: engine %lld, dataset %d\n", static_cast<long long>(engineRows), datasetRows);
  std::printf("engine fetch:  %.3f s\n", engineTime);
  std::printf("dataset fetch: %.3f s\n", datasetTime);
  std::printf("ratio: %.2f (target at most 1.5)\n", datasetTime / engineTime);
  return engineRows == kRows && datasetRows == kRows ? 0 : 1;
}
