// Numeric functions, exact division, decimal rounding, and numbers printed as Oracle prints them.
#include "sql_fixture.h"

namespace engine::builtins::test {
namespace {

using Numbers = SqlFixture;

TEST_F(Numbers, DivisionIsExactAndAnIntegralQuotientStaysAnInteger) {
  check({
      {"ora_div(7, 2)", "3.5"},
      {"ora_div(6, 3)", "2"},
      {"typeof(ora_div(6, 3))", "integer"},
      {"typeof(ora_div(7.5, 2.5))", "integer"},
      {"ora_div(-7, 2)", "-3.5"},
      {"ora_div('9', '3')", "3"},
      {"ora_div(1, 0)", "ORA-01476: divisor is equal to zero"},
      {"ora_div(1.5, 0.0)", "ORA-01476"},
  });
}

TEST_F(Numbers, ArithmeticFunctionsFollowOracle) {
  check({
      {"ora_mod(11, 4)", "3"},
      {"ora_mod(-11, 4)", "-3"},
      {"ora_mod(11, -4)", "3"},
      {"ora_mod(11, 0)", "11"},
      {"ora_mod(5.5, 2)", "1.5"},
      {"ora_floor(-1.5)", "-2"},
      {"ora_ceil(1.2)", "2"},
      {"ora_ceil(-1.2)", "-1"},
      {"ora_abs(-3)", "3"},
      {"ora_abs(-2.5)", "2.5"},
      {"ora_sign(-0.5)", "-1"},
      {"ora_sign(0)", "0"},
      {"ora_sign(7)", "1"},
      {"ora_power(2, 10)", "1024"},
      {"ora_power(2, -1)", "0.5"},
      {"ora_power(-8, 0.5)", "ORA-01428: argument '-8' is out of range"},
      {"ora_sqrt(16)", "4"},
      {"ora_sqrt(-1)", "ORA-01428: argument '-1' is out of range"},
  });
}

TEST_F(Numbers, TruncAndRoundWorkOnDecimalDigits) {
  check({
      {"ora_trunc_num(15.79, 1)", "15.7"},
      {"ora_trunc_num(15.79, -1)", "10"},
      {"ora_trunc_num(-1.9)", "-1"},
      {"ora_round_num(15.193, 1)", "15.2"},
      {"ora_round_num(15.193, -1)", "20"},
      {"ora_round_num(2.675, 2)", "2.68"},
      {"ora_round_num(1.005, 2)", "1.01"},
      {"ora_round_num(-2.5)", "-3"},
      {"ora_round_num(0.5)", "1"},
      {"ora_round_num(0.4)", "0"},
      {"ora_round_num(999.96, 1)", "1000"},
      {"ora_round_num(1234, -2)", "1200"},
      {"ora_round_num(1250, -2)", "1300"},
      {"ora_round_num(15.5, 1.9)", "15.5"},
  });
}

TEST_F(Numbers, TextArgumentsAreConvertedAndBadTextIsInvalidNumber) {
  check({
      {"ora_abs('-12')", "12"},
      {"ora_mod(' 7 ', 2)", "1"},
      {"ora_abs('1e3')", "1000"},
      {"ora_abs('x')", "ORA-01722: invalid number"},
      {"ora_round_num('1.2.3')", "ORA-01722"},
      {"ora_floor('--1')", "ORA-01722"},
  });
}

TEST_F(Numbers, ToCharPrintsNumbersAsOracleDoes) {
  check({
      {"ora_to_char(0.5)", ".5"},
      {"ora_to_char(-0.25)", "-.25"},
      {"ora_to_char(-1.25)", "-1.25"},
      {"ora_to_char(100)", "100"},
      {"ora_to_char(0)", "0"},
      {"ora_to_char(1e20)", "100000000000000000000"},
      {"ora_to_char(0.000015)", ".000015"},
      {"ora_to_char(1.0/3)", ".333333333333333"},
      {"ora_to_char(0.1 + 0.2)", ".3"},
      {"ora_to_char(9223372036854775807)", "9223372036854775807"},
      {"ora_to_char_num(123.456)", "123.456"},
      {"ora_to_char_num('012')", "12"},
  });
}

TEST_F(Numbers, VarianceAndStddevAreTheSampleVariants) {
  ASSERT_EQ(query("CREATE TABLE t(x)"), "");
  ASSERT_EQ(query("INSERT INTO t VALUES (1), (2), (3), (4), (NULL)"), "");
  EXPECT_EQ(query("SELECT round(ora_variance(x), 6) FROM t"), "1.666667");
  EXPECT_EQ(query("SELECT round(ora_stddev(x), 6) FROM t"), "1.290994");
  EXPECT_EQ(query("SELECT ora_variance(x) FROM t WHERE x = 2"), "0");
  EXPECT_EQ(query("SELECT ora_stddev(x) FROM t WHERE x IS NULL"), "NULL");
}

}  // namespace
}  // namespace engine::builtins::test
