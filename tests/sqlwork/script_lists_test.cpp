#include "sqlwork/script_lists.h"

#include <gtest/gtest.h>

#include "qstring_print.h"

namespace {

using namespace nuvo::sqlwork;

QStringList shown(const QVector<StatLine>& lines) {
  QStringList result;
  for (const StatLine& l : lines)
    result << QStringList{l.name, l.owner, l.date, l.counts[0], l.counts[1], l.counts[2], l.counts[3]}.join('|');
  return result;
}

const QVector<StatGroup> kGroups = {
    {"UPG3", "KADE", "2026-01-03", 'X', 3},
    {"UPG3", "KADE", "2026-01-03", 'E', 1},
    {"UPG2", "KADE", "2026-01-02", 'X', 2},
    {"UPG2", "KADE", "2026-01-02", 'D', 1},
    {"UPG1", "ANA", "2026-01-01", 'N', 4},
    {"UPG3", "KADE", "2026-01-01", 'X', 5},  // the same script stored over two dates
};

TEST(ScriptStatistics, OneLinePerScriptWithCountsPerStatus) {
  const struct {
    const char* label;
    StatFilter filter;
    QStringList lines;
  } cases[] = {
      {"no filter", {}, {"UPG3|KADE|2026-01-03|8||1|", "UPG2|KADE|2026-01-02|2|||1", "UPG1|ANA|2026-01-01||4||"}},
      {"errors only", {false, true, false}, {"UPG3|KADE|2026-01-03|8||1|"}},
      {"not executed or deleted", {true, false, true},
       {"UPG2|KADE|2026-01-02|2|||1", "UPG1|ANA|2026-01-01||4||"}},
  };
  for (const auto& c : cases) EXPECT_EQ(shown(statisticsLines(kGroups, c.filter)), c.lines) << c.label;
}

TEST(ScriptStatistics, NoGroupsNoLines) { EXPECT_TRUE(statisticsLines({}, {true, true, true}).isEmpty()); }

}  // namespace
