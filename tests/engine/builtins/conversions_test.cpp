// Implicit and explicit conversions between text, numbers and dates, and comparisons by type.
#include "sql_fixture.h"

namespace engine::builtins::test {
namespace {

using Conversions = SqlFixture;

TEST_F(Conversions, TextNumbersAndDatesConvertAsOracleConvertsThem) {
  check({
      {"ora_to_char('abc')", "abc"},
      {"ora_to_char(100)", "100"},
      {"ora_to_char_date('2026-03-05 14:07:09', 'YYYY')", "2026"},
      {"ora_text_to_date('05-MAR-26')", "2026-03-05 00:00:00"},
      {"ora_text_to_date('2026-03-05 01:02:03')", "ORA-01861"},
      {"ora_add_months('2026-03-05 01:02:03', 1)", "2026-04-05 01:02:03"},
      {"ora_text_to_date('2026-03-05')", "ORA-01861: literal does not match format string"},
      {"ora_text_to_date('2026-02-30 00:00:00')", "ORA-01861"},
      {"ora_length(0.5)", "2"},
      {"ora_substr(-1.25, 1, 2)", "-1"},
      {"ora_lpad(7, 3, 0)", "007"},
  });
}

TEST_F(Conversions, GreatestAndLeastCompareInTheTypeOfTheFirstArgument) {
  check({
      {"ora_greatest(1, '3', 2)", "3"},
      {"typeof(ora_greatest(1, '3', 2))", "integer"},
      {"ora_greatest('a', 'b', 'B')", "b"},
      {"ora_least(3, 1.5)", "1.5"},
      {"ora_greatest('10', 9)", "9"},
      {"ora_least('2026-03-05 00:00:00', '2025-12-31 23:59:59')", "2025-12-31 23:59:59"},
      {"ora_greatest(1, 'x')", "ORA-01722"},
  });
}

}  // namespace
}  // namespace engine::builtins::test
