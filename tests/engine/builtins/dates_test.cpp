// DATE arithmetic, month functions, TRUNC and ROUND of dates. The session clock reads 2026-03-15 10:20:30.
#include "sql_fixture.h"

namespace engine::builtins::test {
namespace {

using Dates = SqlFixture;

TEST_F(Dates, AddingDaysAndFractionsKeepsWholeSeconds) {
  check({
      {"ora_date_add('2026-01-31 00:00:00', 1)", "2026-02-01 00:00:00"},
      {"ora_date_add('2026-01-31 00:00:00', 0.5)", "2026-01-31 12:00:00"},
      {"ora_date_add('2026-01-31 00:00:00', 1.0/24)", "2026-01-31 01:00:00"},
      {"ora_date_add('2026-01-31 00:00:00', 0.6/86400)", "2026-01-31 00:00:01"},
      {"ora_date_add('2026-03-01 00:00:00', -1)", "2026-02-28 00:00:00"},
      {"ora_date_add('9999-12-31 00:00:00', 1)", "ORA-01841"},
      {"ora_date_add('2026-01-01 00:00:00', 1e300)", "ORA-01841"},
  });
}

TEST_F(Dates, SubtractingDatesGivesDaysAndFractions) {
  check({
      {"ora_date_diff('2026-03-02 12:00:00', '2026-03-01 00:00:00')", "1.5"},
      {"ora_date_diff('2026-03-01 00:00:00', '2026-02-01 00:00:00')", "28"},
      {"typeof(ora_date_diff('2026-03-01 00:00:00', '2026-02-01 00:00:00'))", "integer"},
      {"ora_date_diff('2026-01-01 00:00:00', '2026-01-02 06:00:00')", "-1.25"},
  });
}

TEST_F(Dates, AddMonthsKeepsTheEndOfTheMonth) {
  check({
      {"ora_add_months('2026-01-31 10:00:00', 1)", "2026-02-28 10:00:00"},
      {"ora_add_months('2024-02-29 00:00:00', 12)", "2025-02-28 00:00:00"},
      {"ora_add_months('2026-02-28 00:00:00', 1)", "2026-03-31 00:00:00"},
      {"ora_add_months('2026-01-15 00:00:00', -2)", "2025-11-15 00:00:00"},
      {"ora_add_months('2026-01-15 00:00:00', 1.9)", "2026-02-15 00:00:00"},
      {"ora_add_months('15-MAR-26', 1)", "2026-04-15 00:00:00"},
      {"ora_add_months('2026-01-15 00:00:00', 9000000000000000000)", "ORA-01841"},
  });
}

TEST_F(Dates, MonthsBetweenUsesWholeMonthsOrThirtyOneDayMonths) {
  check({
      {"ora_months_between('1995-02-02 00:00:00', '1995-01-01 00:00:00')", "1.03225806451613"},
      {"ora_months_between('2026-03-31 00:00:00', '2026-02-28 00:00:00')", "1"},
      {"ora_months_between('2026-01-15 08:00:00', '2026-03-15 00:00:00')", "-2"},
      {"ora_months_between('2026-01-16 12:00:00', '2026-01-01 00:00:00')", "0.5"},
  });
}

TEST_F(Dates, LastDayNextDayAndSysdate) {
  check({
      {"ora_last_day('2024-02-10 08:00:00')", "2024-02-29 08:00:00"},
      {"ora_last_day('2026-12-01 00:00:00')", "2026-12-31 00:00:00"},
      {"ora_next_day('2026-03-15 10:20:30', 'TUESDAY')", "2026-03-17 10:20:30"},
      {"ora_next_day('2026-03-15 10:20:30', 'sun')", "2026-03-22 10:20:30"},
      {"ora_next_day('2026-03-15 10:20:30', 'Wednesdayish')", "2026-03-18 10:20:30"},
      {"ora_next_day('2026-03-15 10:20:30', 'XYZ')", "ORA-01846: not a valid day of the week"},
      {"ora_sysdate()", "2026-03-15 10:20:30"},
      {"ora_last_day(5)", "ORA-00932"},
  });
}

TEST_F(Dates, TruncCutsToTheStartOfTheUnit) {
  check({
      {"ora_trunc_date('2026-03-15 10:20:30')", "2026-03-15 00:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'MM')", "2026-03-01 00:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'mon')", "2026-03-01 00:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'YYYY')", "2026-01-01 00:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'YEAR')", "2026-01-01 00:00:00"},
      {"ora_trunc_date('2026-05-15 10:20:30', 'Q')", "2026-04-01 00:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'HH24')", "2026-03-15 10:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'MI')", "2026-03-15 10:20:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'IW')", "2026-03-09 00:00:00"},
      {"ora_trunc_date('2026-03-14 10:20:30', 'D')", "2026-03-08 00:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'WW')", "2026-03-12 00:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'W')", "2026-03-15 00:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'CC')", "2001-01-01 00:00:00"},
      {"ora_trunc_date('2026-03-15 10:20:30', 'XX')", "ORA-01821"},
  });
}

TEST_F(Dates, RoundGoesUpFromTheMiddleOfTheUnit) {
  check({
      {"ora_round_date('2026-03-15 12:00:00')", "2026-03-16 00:00:00"},
      {"ora_round_date('2026-03-15 11:59:59')", "2026-03-15 00:00:00"},
      {"ora_round_date('2026-03-16 00:00:00', 'MM')", "2026-04-01 00:00:00"},
      {"ora_round_date('2026-03-15 23:59:59', 'MM')", "2026-03-01 00:00:00"},
      {"ora_round_date('2000-10-27 00:00:00', 'YEAR')", "2001-01-01 00:00:00"},
      {"ora_round_date('2026-07-01 00:00:00', 'YYYY')", "2027-01-01 00:00:00"},
      {"ora_round_date('2026-06-30 23:59:59', 'YYYY')", "2026-01-01 00:00:00"},
      {"ora_round_date('2026-02-16 00:00:00', 'Q')", "2026-04-01 00:00:00"},
      {"ora_round_date('2026-02-15 00:00:00', 'Q')", "2026-01-01 00:00:00"},
      {"ora_round_date('2026-03-15 10:30:00', 'HH')", "2026-03-15 11:00:00"},
      {"ora_round_date('2026-03-15 10:20:30', 'MI')", "2026-03-15 10:21:00"},
  });
}

}  // namespace
}  // namespace engine::builtins::test
