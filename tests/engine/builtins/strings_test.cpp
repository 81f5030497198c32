// String functions: Oracle's position rules, padding, trimming, case, and characters rather than bytes.
#include "sql_fixture.h"

namespace engine::builtins::test {
namespace {

using Strings = SqlFixture;

TEST_F(Strings, SubstrCountsFromOneFromZeroAndFromTheEnd) {
  check({
      {"ora_substr('ABCDEFG', 3, 4)", "CDEF"},
      {"ora_substr('ABCDEFG', -5, 4)", "CDEF"},
      {"ora_substr('ABCDEFG', 0, 2)", "AB"},
      {"ora_substr('ABCDEFG', 5)", "EFG"},
      {"ora_substr('ABC', -4)", "NULL"},
      {"ora_substr('ABC', 2, 0)", "NULL"},
      {"ora_substr('ABC', 2, -1)", "NULL"},
      {"ora_substr('ABCDEF', 2.7, 2.9)", "BC"},
      {"ora_substr('žluťoučký', 2, 3)", "luť"},
      {"ora_substr(12345, 2, 2)", "23"},
  });
}

TEST_F(Strings, InstrSearchesForwardOrBackwardForTheNthOccurrence) {
  check({
      {"ora_instr('CORPORATE FLOOR', 'OR', 3, 2)", "14"},
      {"ora_instr('CORPORATE FLOOR', 'OR', -3, 2)", "2"},
      {"ora_instr('CORPORATE FLOOR', 'OR')", "2"},
      {"ora_instr('CORPORATE FLOOR', 'OR', -1)", "14"},
      {"ora_instr('ABC', 'C', 0)", "0"},
      {"ora_instr('ABC', 'X')", "0"},
      {"ora_instr('AAA', 'AA', 1, 2)", "2"},
      {"ora_instr('čšž', 'ž')", "3"},
      {"ora_instr('ABC', 'B', 1, 0)", "ORA-01428: argument '0' is out of range"},
  });
}

TEST_F(Strings, LengthCaseAndInitcapWorkOnCharacters) {
  check({
      {"ora_length('žluť')", "4"},
      {"ora_length(123.5)", "5"},
      {"ora_upper('čeština abc')", "ČEŠTINA ABC"},
      {"ora_lower('ŽLUŤOUČKÝ KŮŇ')", "žluťoučký kůň"},
      {"ora_initcap('the soap')", "The Soap"},
      {"ora_initcap('hello-WORLD o''neil 2nd')", "Hello-World O'Neil 2nd"},
      {"ora_initcap('ŠKODA auto')", "Škoda Auto"},
  });
}

TEST_F(Strings, TrimFunctionsRemoveCharactersOfTheSetFromTheirSide) {
  check({
      {"ora_ltrim('<=====>BROWNING<=====>', '<>=')", "BROWNING<=====>"},
      {"ora_rtrim('BROWNING: ./=./=./=./=./=.=', '/=.')", "BROWNING: "},
      {"ora_ltrim('   x ')", "x "},
      {"ora_rtrim(' x   ')", " x"},
      {"ora_trim('  a b  ')", "a b"},
      {"ora_trim3('LEADING', '0', '000120')", "120"},
      {"ora_trim3('TRAILING', '1', '1211')", "12"},
      {"ora_trim3('BOTH', 'x', 'xxaxx')", "a"},
      {"ora_trim3('BOTH', 'xy', 'a')", "ORA-30001: trim set should have only one character"},
  });
}

TEST_F(Strings, PaddingRepeatsThePadAndCutsTooLongText) {
  check({
      {"ora_lpad('Page 1', 15, '*.')", "*.*.*.*.*Page 1"},
      {"ora_rpad('MORRISON', 12, 'ab')", "MORRISONabab"},
      {"ora_lpad('abcdef', 3)", "abc"},
      {"ora_rpad('abcdef', 3)", "abc"},
      {"ora_rpad('ab', 4)", "ab  "},
      {"ora_lpad('č', 3, 'ž')", "žžč"},
      {"ora_lpad('x', 0)", "NULL"},
      {"ora_lpad('x', 3, NULL)", "NULL"},
      {"ora_length(ora_rpad('x', 1000000000))", "32767"},
  });
}

TEST_F(Strings, ReplaceTranslateChrAndAscii) {
  check({
      {"ora_replace('JACK and JUE', 'J', 'BL')", "BLACK and BLUE"},
      {"ora_translate('SQL*Plus User''s Guide', ' */''', '___')", "SQL_Plus_Users_Guide"},
      {"ora_translate('2KRW229', '0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ', "
       "'9999999999XXXXXXXXXXXXXXXXXXXXXXXXXX')",
       "9XXX999"},
      {"ora_translate('abcabc', 'aa', 'xy')", "xbcxbc"},
      {"ora_chr(67) || ora_chr(65) || ora_chr(84)", "CAT"},
      {"ora_ascii('A')", "65"},
      {"ora_ascii('ABC')", "65"},
      {"ora_ascii('é')", "50089"},
      {"ora_chr(50089)", "é"},
  });
}

TEST_F(Strings, LikeIsCaseSensitiveAndHonoursTheEscapeCharacter) {
  check({
      {"ora_like('Abc', 'a%')", "0"},
      {"ora_like('abc', 'a%')", "1"},
      {"ora_like('abc', '_b_')", "1"},
      {"ora_like('abcd', '_b_')", "0"},
      {"ora_like('abc', '%')", "1"},
      {"ora_like('mississippi', '%iss%ppi')", "1"},
      {"ora_like('mississippi', '%iss%ppx')", "0"},
      {"ora_like('čaj', '_aj')", "1"},
      {"ora_like('a_c', 'a\\_c', '\\')", "1"},
      {"ora_like('abc', 'a\\_c', '\\')", "0"},
      {"ora_like('50%', '50\\%', '\\')", "1"},
      {"ora_like('x', 'a\\b', '\\')", "ORA-01424"},
      {"ora_like('x', 'x', 'ab')", "ORA-01425"},
  });
}

}  // namespace
}  // namespace engine::builtins::test
