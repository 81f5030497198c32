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
      {0.1 + 0.2, ".3"},                         {123456789012345.67, "123456789012346"},
      {-9.87654321e-30, "-.00000000000000000000000000000987654321"},
      {3e-7, ".0000003"},                        {1e15 + 0.5, "1000000000000000"},
      {-7.0, "-7"},                              {123456789.012345, "123456789.012345"},
      {9746.62, "9746.62"},                      {-1068305.546, "-1068305.546"},
      {0.00000001, ".00000001"},                 {999999999999999.9, "1000000000000000"},
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

TEST(FormatDate, ACompiledFormatPrintsAsTheModelDoes) {
  const DateTime dates[] = {{2026, 3, 5, 14, 7, 9}, {1999, 12, 31, 0, 0, 0}, {2024, 2, 29, 23, 59, 59}, {1, 1, 1, 12, 0, 0}};
  const char* formats[] = {"DD-MON-RR", "DD.MM.YYYY HH24:MI:SS", "FMDD. Month YYYY", "Day, DDTH \"of\" MONTH",
                           "HH:MI:SS AM", "J SSSSS Q WW IW D DDD"};
  for (const char* f : formats) {
    DateFormat compiled(f);
    for (const auto& d : dates) EXPECT_EQ(compiled.format(d), formatDate(d, f)) << f << " " << d.toIso();
  }
  EXPECT_THROW(DateFormat("DD-XX-YYYY"), Error);
}

TEST(IsoDate, ReadsWhatItWritesAndTheFormsTheFilesMayHold) {
  struct Case {
    const char* text;
    bool ok;
    DateTime expected;
  };
  const Case cases[] = {
      {"2026-03-05 14:07:09", true, {2026, 3, 5, 14, 7, 9}},
      {"0001-01-01 00:00:00", true, {1, 1, 1, 0, 0, 0}},
      {"2026-3-5 4:7:9", true, {2026, 3, 5, 4, 7, 9}},      // digits need no padding
      {" 2026-03-05  14:07:09", true, {2026, 3, 5, 14, 7, 9}},  // blanks before numbers
      {"2026-03-0514:07:09", true, {2026, 3, 5, 14, 7, 9}},  // the blank between date and time may be missing
      {"-044-03-15 00:00:00", true, {-44, 3, 15, 0, 0, 0}},
      {"2026-03-05", false, {}},
      {"2026-03-05 14:07:09x", false, {}},
      {"2026-03-05 14:07", false, {}},
      {"20260-03-05 14:07:09", false, {}},
      {"2026/03/05 14:07:09", false, {}},
      {"", false, {}},
  };
  for (const auto& c : cases) {
    DateTime d{9, 9, 9, 9, 9, 9};
    EXPECT_EQ(DateTime::fromIso(c.text, d), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(d, c.expected) << c.text;
    }
  }
  const DateTime written[] = {{2026, 3, 5, 14, 7, 9}, {1, 1, 1, 0, 0, 0}, {9999, 12, 31, 23, 59, 59}};
  for (const auto& w : written) {
    DateTime back;
    ASSERT_TRUE(DateTime::fromIso(w.toIso(), back)) << w.toIso();
    EXPECT_EQ(back, w);
  }
  EXPECT_EQ((DateTime{2026, 3, 5, 4, 7, 9}).toIso(), "2026-03-05 04:07:09");
  EXPECT_EQ((DateTime{-44, 3, 15, 0, 0, 0}).toIso(), "-044-03-15 00:00:00");
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
