// The built-in packages' costs, run by hand:
// - the job queue's overhead per run: 1,000 runs of a job whose block does nothing (claim, logon of
//   the owner's session, the block, the job row's update), against the same block run directly;
// - a pipe's round trip between two sessions on two threads: a message out and its answer back;
// - a CLOB built by 25,000, 50,000 and 100,000 DBMS_LOB.WRITEAPPEND and APPEND calls: the time per
//   call stays the same as the CLOB grows (linear, not quadratic).

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include <unistd.h>

#include "engine/engine.h"

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void jobQueue(engine::Database& db) {
  constexpr int kRuns = 1000;
  auto s = db.logOn("SYSTEM", "SYSTEM");
  s->execute("DECLARE j BINARY_INTEGER; BEGIN DBMS_JOB.SUBMIT(j, 'NULL;', SYSDATE, 'SYSDATE + 1'); COMMIT; END;");
  engine::DateTime t{2030, 1, 1, 0, 0, 0};
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRuns; ++i) {
    t.year = 2030 + i;  // each run is due a year after the last
    db.setClock(&t);
    db.runDueJobs(true);
  }
  double queued = seconds(start);
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRuns; ++i) s->execute("DECLARE job BINARY_INTEGER := 1; BEGIN NULL; END;");
  double direct = seconds(start);
  std::printf("job queue: %d runs in %.3f s: %.3f ms per run (the block alone: %.4f ms)\n", kRuns, queued,
              queued * 1000 / kRuns, direct * 1000 / kRuns);
}

void pipeRoundTrip(engine::Database& db) {
  constexpr int kTrips = 2000;
  auto a = db.logOn("SYSTEM", "SYSTEM");
  std::thread echo([&db] {
    auto b = db.logOn("SYSTEM", "SYSTEM");
    b->execute("DECLARE s INTEGER; t VARCHAR2(100); BEGIN FOR i IN 1 .. " + std::to_string(kTrips) +
               " LOOP s := DBMS_PIPE.RECEIVE_MESSAGE('PING', 60); DBMS_PIPE.UNPACK_MESSAGE(t); "
               "DBMS_PIPE.PACK_MESSAGE(t); s := DBMS_PIPE.SEND_MESSAGE('PONG'); END LOOP; END;");
  });
  auto start = std::chrono::steady_clock::now();
  a->execute("DECLARE s INTEGER; t VARCHAR2(100); BEGIN FOR i IN 1 .. " + std::to_string(kTrips) +
             " LOOP DBMS_PIPE.PACK_MESSAGE('ping ' || i); s := DBMS_PIPE.SEND_MESSAGE('PING'); "
             "s := DBMS_PIPE.RECEIVE_MESSAGE('PONG', 60); DBMS_PIPE.UNPACK_MESSAGE(t); END LOOP; END;");
  double total = seconds(start);
  echo.join();
  std::printf("pipe: %d round trips in %.3f s: %.1f us per round trip\n", kTrips, total, total * 1e6 / kTrips);
}

void lobAppends(engine::Database& db) {
  auto s = db.logOn("SYSTEM", "SYSTEM");
  for (int n : {25000, 50000, 100000}) {
    for (const char* call : {"DBMS_LOB.WRITEAPPEND(c, 10, '0123456789')", "DBMS_LOB.APPEND(c, '0123456789')"}) {
      auto start = std::chrono::steady_clock::now();
      s->execute("DECLARE c CLOB; BEGIN DBMS_LOB.CREATETEMPORARY(c, TRUE); FOR i IN 1 .. " + std::to_string(n) +
                 " LOOP " + call + "; END LOOP; IF DBMS_LOB.GETLENGTH(c) <> " + std::to_string(n * 10) +
                 " THEN RAISE PROGRAM_ERROR; END IF; END;");
      double total = seconds(start);
      std::printf("lob: %6d x %-40s %.3f s: %.2f us per call\n", n, call, total, total * 1e6 / n);
    }
  }
}

}  // namespace

int main() {
  std::string dir = std::filesystem::temp_directory_path().string() + "/packages_bench_" + std::to_string(::getpid());
  engine::CreateOptions options;
  options.durable = false;
  {
    auto db = engine::Database::create(dir + "/DB", options);
    jobQueue(*db);
    pipeRoundTrip(*db);
    lobAppends(*db);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
