#include <gtest/gtest.h>

#include "db/error.h"
#include "db/sql_text.h"

namespace nuvo::db {
namespace {

TEST(SqlText, FirstFromTableOfTheOutermostQuery) {
  struct Case {
    const char* sql;
    const char* table;
  };
  const Case cases[] = {
      {"SELECT * FROM emp", "emp"},
      {"select e.*, e.rowid from KADE.PR107PAR e where x = 1", "KADE.PR107PAR"},
      {"SELECT (SELECT MAX(id) FROM other) m, t.rowid\n  FROM\n  nuvo_util.nuvo_exs t", "nuvo_util.nuvo_exs"},
      {"SELECT 'from x' AS s, a.rowid FROM \"Mixed\" a", "\"Mixed\""},
      {"-- from comment\nSELECT /* from c */ 1 FROM dual", "dual"},
      {"SELECT * FROM (SELECT * FROM emp) e", ""},
      {"SELECT 1", ""},
      {"UPDATE emp SET x = 1", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(firstFromTable(c.sql), c.table) << c.sql;
}

TEST(SqlText, PlsqlBlocksAreToldByTheirFirstWord) {
  struct Case {
    const char* sql;
    bool block;
  };
  const Case cases[] = {
      {"BEGIN NULL; END;", true},
      {"  -- note\n declare v number; begin null; end;", true},
      {"/* c */ Begin x; end;", true},
      {"SELECT begin FROM t", false},
      {"beginning", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isPlsqlBlock(c.sql), c.block) << c.sql;
  EXPECT_EQ(skipLeadingComments("  -- a\n /* b */ SELECT 1"), "SELECT 1");
}

TEST(SqlText, OnlyPlainOrQuotedNamesArePasted) {
  struct Case {
    const char* name;
    bool safe;
  };
  const Case cases[] = {
      {"EMP", true},         {"kade.pr107par", true}, {"\"My Table\"", true}, {"A$B#C_1", true},
      {"", false},           {"1abc", false},         {"emp e", false},       {"emp;drop", false},
      {"a.b.c", false},      {"\"x", false},          {"emp--", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isSafeObjectName(c.name), c.safe) << c.name;
  EXPECT_EQ(quoteColumn("NAME"), "NAME");
  EXPECT_EQ(quoteColumn("name"), "\"name\"");
  EXPECT_EQ(quoteColumn("A\"B"), "\"A\"\"B\"");
}

TEST(ErrorPlace, OffsetBecomesLineAndPosition) {
  struct Case {
    int offset, line, position;
  };
  const QStringList lines{"ab", "čde", "", "x"};  // "č" is two UTF-8 bytes
  const Case cases[] = {{0, 1, 1}, {2, 1, 3}, {3, 2, 1}, {5, 2, 2}, {7, 2, 4}, {8, 3, 1}, {9, 4, 1}, {50, 0, 0}, {-1, 0, 0}};
  for (const Case& c : cases) {
    Error e(904, "ORA-00904: x", c.offset);
    e.locate(lines);
    EXPECT_EQ(e.line(), c.line) << c.offset;
    EXPECT_EQ(e.position(), c.position) << c.offset;
  }
  EXPECT_EQ(Error::ora(54, "resource busy").message(), "ORA-00054: resource busy");
}

}  // namespace
}  // namespace nuvo::db
