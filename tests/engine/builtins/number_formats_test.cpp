// Number format models of TO_CHAR and TO_NUMBER.
#include "sql_fixture.h"

namespace engine::builtins::test {
namespace {

using NumberFormats = SqlFixture;

TEST_F(NumberFormats, DigitsSeparatorsAndTheSignPosition) {
  check({
      {"ora_to_char_num(1234.5, '9,999.99')", " 1,234.50"},
      {"ora_to_char_num(-1234.5, '9G999D99')", "-1,234.50"},
      {"ora_to_char_num(5, '9,999')", "     5"},
      {"ora_to_char_num(123.456, '999.999')", " 123.456"},
      {"ora_to_char_num(-123.456, '999.999')", "-123.456"},
      {"ora_to_char_num(0, '9999')", "    0"},
      {"ora_to_char_num(0, '99.99')", "   .00"},
      {"ora_to_char_num(0.1, '99.99')", "   .10"},
      {"ora_to_char_num(-0.2, '99.99')", "  -.20"},
      {"ora_to_char_num(0, '90.99')", "  0.00"},
      {"ora_to_char_num(-0.2, '90.99')", " -0.20"},
      {"ora_to_char_num(7, '000')", " 007"},
      {"ora_to_char_num(-7, 'FM000')", "-007"},
      {"ora_to_char_num(1234.567, '9999')", " 1235"},
  });
}

TEST_F(NumberFormats, ANumberThatDoesNotFitFillsTheFieldWithHashes) {
  check({
      {"ora_to_char_num(12345, '999')", "####"},
      {"ora_to_char_num(10000, '9,999.99')", "#########"},
      {"ora_to_char_num(999.996, '999.99')", "#######"},
  });
}

TEST_F(NumberFormats, FillModeTrimsBlanksAndTrailingZerosOfNines) {
  check({
      {"ora_to_char_num(123.456, 'FM999.009')", "123.456"},
      {"ora_to_char_num(123.45, 'FM999.009')", "123.45"},
      {"ora_to_char_num(123, 'FM999.009')", "123.00"},
      {"ora_to_char_num(148, 'FM999.999')", "148."},
      {"ora_to_char_num(1234.567, 'FM9999.99')", "1234.57"},
      {"ora_to_char_num(5, 'FM9,999')", "5"},
  });
}

TEST_F(NumberFormats, SignElementsCurrencyBlankAndShift) {
  check({
      {"ora_to_char_num(-1234567890, '9999999999S')", "1234567890-"},
      {"ora_to_char_num(1234567890, '9999999999S')", "1234567890+"},
      {"ora_to_char_num(5, 'S999')", "  +5"},
      {"ora_to_char_num(-5, 'S999')", "  -5"},
      {"ora_to_char_num(-5, '999MI')", "  5-"},
      {"ora_to_char_num(5, '999MI')", "  5 "},
      {"ora_to_char_num(5, 'FM999MI')", "5"},
      {"ora_to_char_num(-5, '999PR')", "  <5>"},
      {"ora_to_char_num(5, '999PR')", "   5 "},
      {"ora_to_char_num(123.45, 'FML999.99')", "$123.45"},
      {"ora_to_char_num(1234, '$9,999')", " $1,234"},
      {"ora_to_char_num(0, 'B9999')", "     "},
      {"ora_to_char_num(1, 'B9999')", "    1"},
      {"ora_to_char_num(12.345, '99V99')", " 1235"},
  });
}

TEST_F(NumberFormats, ScientificHexAndTextMinimum) {
  check({
      {"ora_to_char_num(123.456, '9.9EEEE')", " 1.2E+02"},
      {"ora_to_char_num(123.456, 'FM9.9EEEE')", "1.2E+02"},
      {"ora_to_char_num(1234567, '9.99EEEE')", " 1.23E+06"},
      {"ora_to_char_num(0.00012, '9.9EEEE')", " 1.2E-04"},
      {"ora_to_char_num(255, 'XX')", " FF"},
      {"ora_to_char_num(255, '0XXX')", "00FF"},
      {"ora_to_char_num(255, 'FMxxxx')", "ff"},
      {"ora_to_char_num(256, 'XX')", "###"},
      {"ora_to_char_num(0.5, 'TM9')", ".5"},
      {"ora_to_char_num(1, 'TM')", "1"},
  });
}

TEST_F(NumberFormats, AModelWithUnknownElementsIsRejected) {
  check({
      {"ora_to_char_num(1, '9A9')", "ORA-01481: invalid number format model"},
      {"ora_to_char_num(1, '9.9.9')", "ORA-01481"},
      {"ora_to_char_num(1, '9MI9')", "ORA-01481"},
      {"ora_to_char_num(1, '.9,9')", "ORA-01481"},
  });
}

TEST_F(NumberFormats, ToNumberReadsTextByTheModel) {
  check({
      {"ora_to_number('$1,234.50', '$9,999.99')", "1234.5"},
      {"ora_to_number('1,234', '9G999')", "1234"},
      {"ora_to_number('FF', 'XX')", "255"},
      {"ora_to_number('<12>', '99PR')", "-12"},
      {"ora_to_number('12-', '99MI')", "-12"},
      {"ora_to_number('-12.5', '99.9')", "-12.5"},
      {"ora_to_number('1234', '99')", "ORA-01722"},
      {"ora_to_number('12.345', '99.99')", "ORA-01722"},
      {"ora_to_number('1x', '99')", "ORA-01722"},
      {"ora_to_number('GG', 'XX')", "ORA-01722"},
  });
}

TEST_F(NumberFormats, ToNumberWithoutAModel) {
  check({
      {"ora_to_number('-12.5')", "-12.5"},
      {"ora_to_number(' 12 ')", "12"},
      {"typeof(ora_to_number('12'))", "integer"},
      {"typeof(ora_to_number('1.50'))", "real"},
      {"ora_to_number('1e3')", "1000"},
      {"ora_to_number('+5')", "5"},
      {"ora_to_number('.5')", "0.5"},
      {"ora_to_number(7)", "7"},
      {"ora_to_number('12a')", "ORA-01722: invalid number"},
      {"ora_to_number('1,234')", "ORA-01722"},
      {"ora_to_number('-')", "ORA-01722"},
      {"ora_to_number('1.2.3')", "ORA-01722"},
  });
}

}  // namespace
}  // namespace engine::builtins::test
