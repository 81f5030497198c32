// PL/SQL speed: a block looping 1,000,000 times over integer arithmetic, and a block running 100,000
// cursor iterations over a table. Prints PL/SQL loop iterations per second.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/engine.h"

namespace {

std::shared_ptr<engine::Database> benchDatabase() {
  auto dir = std::filesystem::temp_directory_path() / ("nuvo_plsql_bench_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  engine::CreateOptions options;
  options.durable = false;
  return engine::Database::create(dir.string(), options);
}

void IntegerLoop(benchmark::State& state) {
  auto db = benchDatabase();
  auto session = db->logOn("SYSTEM", "SYSTEM");
  auto block = session->prepare(
      "DECLARE\n  total PLS_INTEGER := 0;\nBEGIN\n  FOR i IN 1 .. 1000000 LOOP\n"
      "    total := total + MOD(i, 7) * 2 - 1;\n  END LOOP;\n  :result := total;\nEND;");
  block->bindOut("result", engine::DataType::Number);
  for (auto _ : state) block->execute();
  state.counters["iterations/s"] =
      benchmark::Counter(1000000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  std::filesystem::remove_all(db->directory());
}

void CursorLoop(benchmark::State& state) {
  auto db = benchDatabase();
  auto session = db->logOn("SYSTEM", "SYSTEM");
  session->execute("CREATE TABLE items (id NUMBER PRIMARY KEY, amount NUMBER)");
  session->execute(
      "BEGIN\n  FOR i IN 1 .. 100000 LOOP\n    INSERT INTO items VALUES (i, MOD(i, 100));\n  END LOOP;\n  COMMIT;\nEND;");
  auto block = session->prepare(
      "DECLARE\n  total NUMBER := 0;\nBEGIN\n  FOR r IN (SELECT id, amount FROM items) LOOP\n"
      "    total := total + r.amount;\n  END LOOP;\n  :result := total;\nEND;");
  block->bindOut("result", engine::DataType::Number);
  for (auto _ : state) block->execute();
  state.counters["iterations/s"] =
      benchmark::Counter(100000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  std::filesystem::remove_all(db->directory());
}

BENCHMARK(IntegerLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(CursorLoop)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
