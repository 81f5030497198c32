// NULL in, NULL out, except where Oracle says otherwise; '' is NULL everywhere.
#include "sql_fixture.h"

namespace engine::builtins::test {
namespace {

using NullRules = SqlFixture;

TEST_F(NullRules, NullFunctionsChooseTheFirstValueThatIsNotNull) {
  check({
      {"ora_nvl(NULL, 5)", "5"},
      {"ora_nvl('', 'x')", "x"},
      {"ora_nvl('a', 'b')", "a"},
      {"ora_nvl(NULL, NULL)", "NULL"},
      {"ora_nvl2(NULL, 'a', 'b')", "b"},
      {"ora_nvl2(0, 'a', 'b')", "a"},
      {"ora_nvl2('', 'a', 'b')", "b"},
      {"ora_coalesce(NULL, '', 3, 4)", "3"},
      {"ora_coalesce(NULL, '')", "NULL"},
      {"ora_nullif(1, 1)", "NULL"},
      {"ora_nullif(1, 2)", "1"},
      {"ora_nullif('a', NULL)", "a"},
      {"ora_nullif(NULL, 'a')", "NULL"},
  });
}

TEST_F(NullRules, DecodeMatchesNullWithNullAndConvertsToItsFirstSearchAndFirstResult) {
  check({
      {"ora_decode(NULL, NULL, 'null matched', 'other')", "null matched"},
      {"ora_decode('', NULL, 'empty is null', 'other')", "empty is null"},
      {"ora_decode(2, 1, 'one', 2, 'two')", "two"},
      {"ora_decode(3, 1, 'one', 2, 'two')", "NULL"},
      {"ora_decode(3, 1, 'one', 'default')", "default"},
      {"ora_decode(NULL, 1, 'one', 'default')", "default"},
      {"ora_decode('02', 2, 'numeric', 'no')", "numeric"},
      {"ora_decode(2, '02', 'yes', 'no')", "no"},
      {"ora_decode('x', 2, 'numeric', 'no')", "ORA-01722"},
      {"typeof(ora_decode(2, 1, 'one', 2, 2))", "text"},
      {"typeof(ora_decode(2, 1, 10, 2, '20'))", "integer"},
      {"ora_decode(3, 1, 10, 'x')", "ORA-01722"},
  });
}

TEST_F(NullRules, ConcatenationAndReplaceTreatNullAsEmpty) {
  check({
      {"ora_concat(NULL, NULL)", "NULL"},
      {"ora_concat('a', NULL)", "a"},
      {"ora_concat(NULL, 1.5)", "1.5"},
      {"ora_concat('x', 0.5)", "x.5"},
      {"ora_replace('abc', NULL)", "abc"},
      {"ora_replace('abc', 'b')", "ac"},
      {"ora_replace('abc', 'b', NULL)", "ac"},
      {"ora_replace(NULL, 'a', 'b')", "NULL"},
      {"ora_replace('aaa', 'a')", "NULL"},
  });
}

TEST_F(NullRules, OtherFunctionsGiveNullForANullArgumentAndNeverAnEmptyString) {
  check({
      {"ora_upper(NULL)", "NULL"},
      {"ora_length('')", "NULL"},
      {"ora_substr('abc', 5)", "NULL"},
      {"ora_substr(NULL, 1)", "NULL"},
      {"ora_ltrim('xxx', 'x')", "NULL"},
      {"ora_trim('   ')", "NULL"},
      {"ora_instr(NULL, 'a')", "NULL"},
      {"ora_instr('abc', '')", "NULL"},
      {"ora_translate('abc', 'abc', NULL)", "NULL"},
      {"ora_translate('abc', 'abc', 'x')", "x"},
      {"ora_greatest(1, NULL, 3)", "NULL"},
      {"ora_to_char(NULL)", "NULL"},
      {"ora_to_char_num(1, NULL)", "NULL"},
      {"ora_to_date(NULL, 'YYYY')", "NULL"},
      {"ora_add_months(NULL, 1)", "NULL"},
      {"ora_abs(NULL)", "NULL"},
      {"ora_div(1, NULL)", "NULL"},
      {"ora_like(NULL, '%')", "NULL"},
  });
}

TEST_F(NullRules, AWrongNumberOfArgumentsIsAnError) {
  check({
      {"ora_substr('a')", "ORA-00909: invalid number of arguments"},
      {"ora_nvl(1, 2, 3)", "ORA-00909"},
  });
}

}  // namespace
}  // namespace engine::builtins::test
