#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/builtins/functions.h"
#include "engine/engine.h"

namespace engine {

namespace {

// Appends v in at least `width` characters (the sign counts), zero-padded after a minus sign.
void appendPadded(std::string& out, int v, int width) {
  if (v < 0) out += '-';
  builtins::appendDigits(out, v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v), v < 0 ? width - 1 : width);
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Reads an integer of at most `width` characters (a sign counts), after optional blanks.
bool readInt(std::string_view s, std::size_t& i, int width, int& out) {
  while (i < s.size() && isBlank(s[i])) ++i;
  std::size_t end = std::min(s.size(), i + static_cast<std::size_t>(width));
  bool negative = false;
  if (i < end && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  std::size_t start = i;
  int v = 0;
  for (; i < end && s[i] >= '0' && s[i] <= '9'; ++i) v = v * 10 + (s[i] - '0');
  if (i == start) return false;
  out = negative ? -v : v;
  return true;
}

}  // namespace

bool DateTime::toIso19(char* out) const {
  if (nanos != 0 || zoned || year < 0 || year > 9999 || month < 0 || month > 99 || day < 0 || day > 99 || hour < 0 ||
      hour > 99 || minute < 0 || minute > 99 || second < 0 || second > 99)
    return false;
  const char b[19] = {char('0' + year / 1000), char('0' + year / 100 % 10), char('0' + year / 10 % 10),
                      char('0' + year % 10),   '-',  char('0' + month / 10), char('0' + month % 10), '-',
                      char('0' + day / 10),    char('0' + day % 10), ' ', char('0' + hour / 10), char('0' + hour % 10),
                      ':', char('0' + minute / 10), char('0' + minute % 10), ':', char('0' + second / 10),
                      char('0' + second % 10)};
  std::memcpy(out, b, sizeof b);
  return true;
}

std::string DateTime::toIso() const {
  if (char b[19]; toIso19(b)) return std::string(b, sizeof b);
  std::string out;
  out.reserve(19);
  appendPadded(out, year, 4);
  out += '-';
  appendPadded(out, month, 2);
  out += '-';
  appendPadded(out, day, 2);
  out += ' ';
  appendPadded(out, hour, 2);
  out += ':';
  appendPadded(out, minute, 2);
  out += ':';
  appendPadded(out, second, 2);
  if (nanos > 0) {
    out += '.';
    std::size_t start = out.size();
    builtins::appendDigits(out, static_cast<unsigned>(nanos), 9);
    std::size_t end = out.size();
    while (end > start && out[end - 1] == '0') --end;
    out.resize(end);
  }
  if (zoned) {
    int m = offset < 0 ? -offset : offset;
    out += offset < 0 ? " -" : " +";
    appendPadded(out, m / 60, 2);
    out += ':';
    appendPadded(out, m % 60, 2);
  }
  return out;
}

namespace {

// ".d..." at text[i] (1 to 9 digits) as nanoseconds; i moves past it.
bool readFraction(std::string_view text, std::size_t& i, int& nanos) {
  if (i >= text.size() || text[i] != '.') return true;
  std::size_t start = ++i;
  int v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (i - start >= 9) return false;
    v = v * 10 + (text[i] - '0');
  }
  std::size_t digits = i - start;
  if (digits == 0) return false;
  for (std::size_t k = digits; k < 9; ++k) v *= 10;
  nanos = v;
  return true;
}

}  // namespace

// "YYYY-MM-DD HH:MM:SS", read as the pattern "%4d-%2d-%2d %2d:%2d:%2d" of the C library reads it
// (blanks before a number, a sign, the blank between date and time optional), and nothing after.
bool DateTime::fromIso(std::string_view text, DateTime& out) {
  // The form the files hold, read directly.
  auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9'; };
  auto two = [&](std::size_t i) { return (text[i] - '0') * 10 + (text[i + 1] - '0'); };
  if (text.size() == 19 && text[4] == '-' && text[7] == '-' && text[10] == ' ' && text[13] == ':' && text[16] == ':' &&
      digit(0) && digit(1) && digit(2) && digit(3) && digit(5) && digit(6) && digit(8) && digit(9) && digit(11) &&
      digit(12) && digit(14) && digit(15) && digit(17) && digit(18)) {
    out = DateTime{two(0) * 100 + two(2), two(5), two(8), two(11), two(14), two(17)};
    return true;
  }
  // A zoned value: the local form, then " +HH:MM".
  if (std::size_t n = text.size(); n >= 26 && text[n - 7] == ' ' && (text[n - 6] == '+' || text[n - 6] == '-') &&
                                   text[n - 3] == ':' && digit(n - 5) && digit(n - 4) && digit(n - 2) && digit(n - 1)) {
    DateTime d;
    if (!fromIso(text.substr(0, n - 7), d)) return false;
    d.zoned = true;
    d.offset = (two(n - 5) * 60 + two(n - 2)) * (text[n - 6] == '-' ? -1 : 1);
    out = d;
    return true;
  }
  if (text.size() > 20 && text[19] == '.') {
    DateTime d;
    std::size_t i = 19;
    if (fromIso(text.substr(0, 19), d)) {
      if (!readFraction(text, i, d.nanos) || i != text.size()) return false;
      out = d;
      return true;
    }
  }
  DateTime d;
  std::size_t i = 0;
  auto literal = [&](char c) {
    if (i >= text.size() || text[i] != c) return false;
    ++i;
    return true;
  };
  if (!readInt(text, i, 4, d.year) || !literal('-') || !readInt(text, i, 2, d.month) || !literal('-') ||
      !readInt(text, i, 2, d.day))
    return false;
  while (i < text.size() && isBlank(text[i])) ++i;
  if (!readInt(text, i, 2, d.hour) || !literal(':') || !readInt(text, i, 2, d.minute) || !literal(':') ||
      !readInt(text, i, 2, d.second) || !readFraction(text, i, d.nanos) || i != text.size())
    return false;
  out = d;
  return true;
}

std::int64_t Value::asInteger() const {
  if (kind() == Kind::Integer) return std::get<std::int64_t>(v_);
  if (kind() == Kind::Real) return static_cast<std::int64_t>(std::get<double>(v_));
  throw std::logic_error("value is not a number");
}

double Value::asDouble() const {
  if (kind() == Kind::Real) return std::get<double>(v_);
  if (kind() == Kind::Integer) return static_cast<double>(std::get<std::int64_t>(v_));
  throw std::logic_error("value is not a number");
}

const std::string& Value::asText() const { return std::get<std::string>(v_); }
const DateTime& Value::asDate() const { return std::get<DateTime>(v_); }
const std::shared_ptr<Cursor>& Value::asCursor() const { return std::get<std::shared_ptr<Cursor>>(v_); }
const Bytes& Value::asBytes() const { return std::get<Bytes>(v_); }

const char* dataTypeName(DataType t) {
  switch (t) {
    case DataType::Number: return "NUMBER";
    case DataType::Varchar2: return "VARCHAR2";
    case DataType::Char: return "CHAR";
    case DataType::Date: return "DATE";
    case DataType::Long: return "LONG";
    case DataType::Clob: return "CLOB";
    case DataType::Blob: return "BLOB";
    case DataType::Raw: return "RAW";
    case DataType::Rowid: return "ROWID";
    case DataType::Cursor: return "REF CURSOR";
    case DataType::Boolean: return "BOOLEAN";
    case DataType::Timestamp: return "TIMESTAMP";
    case DataType::IntervalDaySecond: return "INTERVAL DAY TO SECOND";
    case DataType::IntervalYearMonth: return "INTERVAL YEAR TO MONTH";
    case DataType::Unknown: break;
  }
  return "UNDEFINED";
}

}  // namespace engine
