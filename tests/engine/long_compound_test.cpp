// Set operator chains as long as upgrade scripts write them: code tables are filled by INSERT ...
// SELECT with hundreds of UNION ALL branches.

#include <gtest/gtest.h>

#include <functional>

#include "engine_test_support.h"

using engine::test::rows;

namespace engine {
namespace {

// "SELECT <value(i)> FROM dual <op> ..." for i = 1..count.
std::string chain(int count, const std::string& op, const std::function<std::string(int)>& value) {
  std::string sql;
  for (int i = 1; i <= count; ++i) sql += (i > 1 ? " " + op + " " : "") + "SELECT " + value(i) + " FROM dual";
  return sql;
}

TEST(LongCompound, InsertSelectOfAThousandUnionAllBranches) {
  auto db = test::freshDatabase();
  auto s = db->logOn("system", "system");
  s->execute("CREATE TABLE codes (id NUMBER PRIMARY KEY, label VARCHAR2(10))");
  auto branch = [](int i) { return std::to_string(i) + ", 'C" + std::to_string(i) + "'"; };
  EXPECT_EQ(s->execute("INSERT INTO codes (id, label) " + chain(1000, "UNION ALL", branch)), 1000);
  EXPECT_EQ(rows(*s, "SELECT COUNT(*), SUM(id), MIN(label), MAX(id) FROM codes"),
            (std::vector<std::string>{"1000|500500|C1|1000"}));
  EXPECT_EQ(rows(*s, "SELECT label FROM codes WHERE id = 777"), (std::vector<std::string>{"C777"}));
}

// Set operators associate to the left, however many branches the chain has.
TEST(LongCompound, ManyBranchesKeepLeftToRightMeaning) {
  auto db = test::freshDatabase();
  auto s = db->logOn("system", "system");
  struct Case {
    std::string sql;
    std::vector<std::string> expected;
  };
  auto modSeven = [](int i) { return std::to_string(i % 7); };
  auto one = [](int) { return std::string("1"); };
  const Case cases[] = {
      // UNION removes duplicates across the whole chain, also between far apart branches
      {"SELECT COUNT(*) FROM (" + chain(1000, "UNION", modSeven) + ")", {"7"}},
      // MINUS at the end applies to everything before it
      {"SELECT COUNT(*) FROM (" + chain(999, "UNION ALL", one) + " MINUS SELECT 1 FROM dual)", {"0"}},
      // rows added after a MINUS survive it
      {"SELECT COUNT(*) FROM (SELECT 1 FROM dual MINUS SELECT 1 FROM dual UNION ALL " +
           chain(600, "UNION ALL", one) + ")",
       {"600"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rows(*s, c.sql), c.expected) << c.sql.substr(0, 120);
  }
  // ORDER BY sorts the whole chain
  auto sorted = rows(*s, "SELECT n FROM (" +
                             chain(900, "UNION ALL", [](int i) { return std::to_string(i) + " AS n"; }) +
                             " ORDER BY n DESC) WHERE ROWNUM <= 2");
  EXPECT_EQ(sorted, (std::vector<std::string>{"900", "899"}));
}

}  // namespace
}  // namespace engine
