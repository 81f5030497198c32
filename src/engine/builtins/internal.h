#pragma once
// Pieces the function library shares between its files: errors, UTF-8 text, decimal numbers and the
// calendar. Not part of the engine's API.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/builtins/functions.h"

namespace engine::builtins {

// Throws engine::Error with Oracle's text for the code; detail fills the text's placeholder.
[[noreturn]] void raise(int code, const std::string& detail = {});

// ---- UTF-8 text: functions count characters, so they work on code points.
std::u32string decodeUtf8(std::string_view text);
std::string encodeUtf8(std::u32string_view text);
char32_t toUpper(char32_t c);
char32_t toLower(char32_t c);
bool isAlphanumeric(char32_t c);
std::string upperAscii(std::string_view text);

// ---- Decimal numbers. A NUMBER travels as int64 or double; rounding, truncation and printing work on
// its decimal digits, so 2.675 rounds to 2.68 as in Oracle. Doubles carry 15 significant digits.
struct Decimal {
  bool negative = false;
  std::string digits;  // significant digits without leading or trailing zeros; empty for zero
  int exponent = 0;    // value = 0.digits * 10^exponent

  static Decimal fromValue(const Value& number);  // Integer or Real
  bool isZero() const { return digits.empty(); }
  // Rounds (half away from zero) or truncates to `places` digits after the point (negative: before it).
  Decimal rounded(int places) const;
  Decimal truncated(int places) const;
  int integerDigits() const { return exponent > 0 ? exponent : 0; }
  std::string integerPart() const;            // "0" when below one
  std::string fractionPart(int places) const;  // exactly `places` digits
  Value toValue() const;                       // Integer when integral and within 64 bits
};

// A double as a NUMBER value: Integer when integral and within 64 bits; ORA-01426 when not finite.
Value numberValue(double value);

// Number format models of TO_CHAR and TO_NUMBER.
std::string formatNumberModel(const Value& number, const std::string& format);
Value parseNumberModel(const std::string& text, const std::string& format);

// ---- The calendar (proleptic Gregorian).
// English names in upper case: January to December, Sunday to Saturday.
const std::array<std::string_view, 12>& monthNames();
const std::array<std::string_view, 7>& dayNames();

std::int64_t daysFromCivil(int year, int month, int day);  // 0 = 1970-01-01
void civilFromDays(std::int64_t days, int& year, int& month, int& day);
int daysInMonth(int year, int month);
int dayOfWeek(const DateTime& d);  // 1 = Sunday ... 7 = Saturday
int dayOfYear(const DateTime& d);
int isoWeek(const DateTime& d);
std::int64_t julianDay(const DateTime& d);  // Oracle's J: days since 1 January 4712 BC
std::int64_t toSeconds(const DateTime& d);  // seconds since 1970-01-01 00:00:00
DateTime fromSeconds(std::int64_t seconds);
bool isValidDate(const DateTime& d);

DateTime addMonths(const DateTime& d, std::int64_t months);
double monthsBetween(const DateTime& a, const DateTime& b);
DateTime lastDay(const DateTime& d);
DateTime nextDay(const DateTime& d, const std::string& dayName);
DateTime truncDate(const DateTime& d, const std::string& unit);
DateTime roundDate(const DateTime& d, const std::string& unit);

// ---- Aggregates with state of their own.
void registerListagg(sqlite3* db);  // ora_listagg: LISTAGG ... WITHIN GROUP, also over a window
void registerIgnoreNulls(sqlite3* db);  // ora_nonnull_value: LAG, LEAD, FIRST_VALUE, LAST_VALUE with IGNORE NULLS


}  // namespace engine::builtins
