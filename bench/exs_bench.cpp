// The script executor's lists of the statement table (NUVO_UTIL.NUVO_EXS) as the table grows: the
// statistics of one script, finding one script, and the LIKE filter of scripts, each with the binds
// the window gives them, at 2,000 and at 100,000 rows (scripts of 20 statements). Prints the time of
// each query at both sizes and their ratio (target: <= 1.5, the time stays flat).
// The table, its index and the filter function come from the seed script that creates them.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "engine/engine.h"
#include "engine/script.h"

namespace {

constexpr int kStatements = 20;  // per script
constexpr int kRuns = 200;       // of each query

// The executor's texts (sqlwork/script_lists.cpp).
const char* const kStat =
    " select /*+ INDEX(nuvo_exs, NUVO_EX1)*/ null script_owner,script_name,max(script_date) script_date,"
    "script_stat,count(*) stevec from nuvo_util.nuvo_exs   where (:skripta='A' or script_name like :skripta)"
    "    group by script_name,script_stat  order by nvl(max(script_date),to_date('01.01.2000','DD.MM.YYYY')) desc,"
    "script_name desc,script_stat desc";
const char* const kFind =
    "SELECT exs.*,exs.rowid FROM NUVO_UTIL.NUVO_EXS exs\n"
    "    WHERE (:skripte='A' or script_name like :skripte) and\n"
    "           (:stat ='A' or SCRIPT_STAT=:stat) AND\n"
    "           (:napaka='A' or  instr(script_err,:napaka)<>0 )   AND \n"
    "           (:filter='A' or nuvo_util.getMemoFiltExs(rowid,:filter) ='T')\n"
    "ORDER BY SCRIPT_NAME,SCRIPT_COUNTER";
const char* const kFilter =
    "SELECT  script_name FROM NUVO_UTIL.NUVO_EXS exs\n"
    "    WHERE \n"
    "           SCRIPT_NAME  like :SKRIPTA and\n"
    "           (:stat='A' or SCRIPT_STAT=:stat) and\n"
    "           ( :napaka ='A' or  instr( upper(script_err),:napaka)<>0)  and \n"
    "           ( :filter ='A' or  nuvo_util.getMemoFiltExs(rowid,:filter) ='T' )\n"
    "\n"
    "GROUP  BY SCRIPT_NAME";

std::string scriptName(int i) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%05d", i);
  return std::string("UPG") + digits + ".SQL";
}

struct Times {
  double stat = 0, find = 0, filter = 0;
};

double runQuery(engine::Session& s, const char* text, const std::vector<std::pair<std::string, engine::Value>>& binds,
                std::size_t expectedRows) {
  auto q = s.prepare(text);
  auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < kRuns; ++r) {
    for (const auto& [name, value] : binds) q->bind(name, value);
    q->execute();
    std::size_t rows = 0;
    while (q->next()) ++rows;
    if (rows != expectedRows) std::fprintf(stderr, "%zu rows instead of %zu\n", rows, expectedRows);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kRuns;
}

Times measure(const std::filesystem::path& dir, int rows) {
  engine::CreateOptions options;
  options.durable = false;
  auto db = engine::Database::create(dir.string(), options);
  auto sys = db->logOn("SYS", "SYS", true);
  // The owner, and the application users the seed script grants the table to.
  for (const char* user : {"nuvo_util", "kade", "zozuro", "ana"})
    sys->execute(std::string("CREATE USER ") + user + " IDENTIFIED BY " + user);
  std::ifstream seed(std::string(NUVO_SEED_DIR) + "/060_nuvo_exs.sql");
  std::stringstream text;
  text << seed.rdbuf();
  for (const auto& st : engine::splitScript(text.str())) sys->execute(st.text);
  auto s = db->logOn("SYSTEM", "SYSTEM");
  auto insert = s->prepare(
      "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_err, "
      "script_owner, script_date) VALUES (:n, :c, :s, :t, :e, 'KADE', :d)");
  for (int i = 0; i < rows; ++i) {
    insert->bind("n", scriptName(i / kStatements + 1));
    insert->bind("c", i % kStatements + 1);
    insert->bind("s", i % 3 == 0 ? "E" : "X");
    insert->bind("t", "UPDATE kade.table_" + std::to_string(i % 97) + " SET x = 1");
    insert->bind("e", i % 3 == 0 ? engine::Value("ORA-00942: table or view does not exist") : engine::Value());
    insert->bind("d", engine::DateTime{2026, 1 + i % 12, 1 + i % 28, 10, 0, 0});
    insert->execute();
  }
  s->commit();
  // Script 12 exists at every size; the filter UPG0001% takes scripts 10 to 19.
  Times t;
  t.stat = runQuery(*s, kStat, {{"skripta", scriptName(12)}}, 2);
  t.find = runQuery(*s, kFind, {{"skripte", scriptName(12)}, {"stat", "A"}, {"napaka", "A"}, {"filter", "A"}},
                    kStatements);
  t.filter = runQuery(*s, kFilter, {{"SKRIPTA", "UPG0001%"}, {"stat", "A"}, {"napaka", "A"}, {"filter", "A"}}, 10);
  return t;
}

}  // namespace

int main() {
  auto base = std::filesystem::temp_directory_path() / ("nuvo_exs_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(base);
  Times small = measure(base / "small", 2000);
  Times large = measure(base / "large", 100000);
  std::filesystem::remove_all(base);
  auto row = [](const char* what, double a, double b) {
    double ratio = b / a;
    std::printf("%-34s 2,000 rows %8.3f ms  100,000 rows %8.3f ms  ratio %5.2f  (target <= 1.5)%s\n", what, a * 1e3,
                b * 1e3, ratio, ratio <= 1.5 ? "" : "  OVER");
  };
  row("statistics of one script", small.stat, large.stat);
  row("find one script", small.find, large.find);
  row("LIKE filter of scripts", small.filter, large.filter);
  return 0;
}
