// The C++ formatting and parsing functions the engine and its tools share.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/builtins/functions.h"

namespace engine::builtins {
namespace {

TEST(FormatNumber, PrintsNumbersAsOracleDoes) {
  struct DoubleCase {
    double value;
    const char* expected;
  };
  const DoubleCase doubles[] = {
      {0.5, ".5"},      {-0.25, "-.25"},         {100.0, "100"},        {-0.0, "0"},
      {1e20, "100000000000000000000"},           {123.456, "123.456"},  {1.5e-5, ".000015"},
      {2.0 / 3, ".666666666666667"},             {-1234.5, "-1234.5"},  {1e-10, ".0000000001"},
  };
  for (const auto& c : doubles) EXPECT_EQ(formatNumber(c.value), c.expected) << c.value;
  EXPECT_EQ(formatNumber(std::int64_t{0}), "0");
  EXPECT_EQ(formatNumber(std::int64_t{-42}), "-42");
  EXPECT_EQ(formatNumber(INT64_MIN), "-9223372036854775808");
}

TEST(FormatDate, FormatsByTheModel) {
  DateTime d{2026, 3, 5, 14, 7, 9};
  EXPECT_EQ(formatDate(d, "DD.MM.YYYY HH24:MI:SS"), "05.03.2026 14:07:09");
  EXPECT_EQ(formatDate(d, "YYYY-MM-DD:HH24:MI:SS"), "2026-03-05:14:07:09");
  EXPECT_EQ(formatDate(d, "FMDD. Month YYYY"), "5. March 2026");
}

TEST(ParseDate, ReadsTextAndThrowsOraclesErrors) {
  EXPECT_EQ(parseDate("05.03.2026 14:07:09", "DD.MM.YYYY HH24:MI:SS"), (DateTime{2026, 3, 5, 14, 7, 9}));
  EXPECT_EQ(parseDate("2026-03-05:14:07:09", "YYYY-MM-DD:HH24:MI:SS"), (DateTime{2026, 3, 5, 14, 7, 9}));
  struct ErrorCase {
    const char* text;
    const char* format;
    int code;
  };
  const ErrorCase errors[] = {
      {"2026-13-01", "YYYY-MM-DD", 1843},
      {"2026-01-32", "YYYY-MM-DD", 1847},
      {"x", "YYYY", 1858},
      {"2026-01-01 1", "YYYY-MM-DD", 1830},
  };
  for (const auto& e : errors) {
    try {
      parseDate(e.text, e.format);
      ADD_FAILURE() << e.text << " was accepted";
    } catch (const Error& error) {
      EXPECT_EQ(error.code(), e.code) << e.text;
    }
  }
}

TEST(ParseNumber, ReadsOraclesNumberLiteralsAndRejectsTheRest) {
  EXPECT_EQ(parseNumber("42"), Value(std::int64_t{42}));
  EXPECT_EQ(parseNumber(" -1.5 "), Value(-1.5));
  EXPECT_EQ(parseNumber("2.50E2"), Value(std::int64_t{250}));
  EXPECT_EQ(parseNumber("99999999999999999999"), Value(1e20));
  for (const char* bad : {"", "abc", "1-", "1e", "0x10"}) {
    try {
      parseNumber(bad);
      ADD_FAILURE() << bad << " was accepted";
    } catch (const Error& error) {
      EXPECT_EQ(error.code(), 1722) << bad;
    }
  }
}

}  // namespace
}  // namespace engine::builtins
