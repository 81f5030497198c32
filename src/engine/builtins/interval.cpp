// INTERVAL values. Inside SQLite an INTERVAL DAY TO SECOND is an INTEGER of nanoseconds and an
// INTERVAL YEAR TO MONTH an INTEGER of months, so they compare, sort and add up as numbers; the
// compiler knows each one's precisions and asks for the text Oracle shows ("+01 02:03:04.500000",
// "+02-03") where a value leaves SQL.
#include <cmath>
#include <limits>

#include "engine/builtins/internal.h"
#include "engine/builtins/library.h"

namespace engine::builtins {

namespace {

constexpr std::int64_t kSecond = 1000000000;
constexpr std::int64_t kMinute = 60 * kSecond;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr std::int64_t kDay = 24 * kHour;
constexpr std::int64_t kFieldUnits[] = {kDay, kHour, kMinute, kSecond};

std::uint64_t magnitude(std::int64_t v) {
  return v < 0 ? 0ULL - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

int digitCount(std::uint64_t v) {
  int n = 1;
  while (v >= 10) {
    v /= 10;
    ++n;
  }
  return n;
}

// Reads the text of an interval: blanks, a sign, then numbers separated as the fields require.
class IntervalText {
 public:
  explicit IntervalText(const std::string& text) : text_(text) {
    while (!text_.empty() && text_.back() == ' ') text_.pop_back();
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) negative_ = text_[pos_++] == '-';
  }

  bool negative() const { return negative_; }
  bool atEnd() const { return pos_ == text_.size(); }

  // Digits (at least one); false when there are none.
  bool number(std::uint64_t& out) {
    out = 0;
    int digits = 0;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      if (digits >= 18) raise(1873);
      out = out * 10 + static_cast<std::uint64_t>(text_[pos_] - '0');
      ++digits;
      ++pos_;
    }
    return digits > 0;
  }

  bool separator(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  // ".digits" as nanoseconds (rounded to nine digits); 0 when there is no point.
  std::int64_t fraction() {
    if (!separator('.')) return 0;
    std::int64_t nanos = 0;
    int digits = 0;
    bool roundUp = false;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      if (digits < 9) nanos = nanos * 10 + (text_[pos_] - '0');
      else if (digits == 9) roundUp = text_[pos_] >= '5';
      ++digits;
      ++pos_;
    }
    for (int k = digits; k < 9; ++k) nanos *= 10;
    return nanos + (roundUp ? 1 : 0);
  }

 private:
  std::string text_;
  std::size_t pos_ = 0;
  bool negative_ = false;
};

// Fields after the leading one stay within their unit.
void checkTrailing(int field, std::uint64_t v) {
  if (field == 1 && v > 23) raise(1850);
  if (field == 2 && v > 59) raise(1851);
  if (field == 3 && v > 59) raise(1852);
}

bool isIsoDuration(const std::string& upper, std::size_t p) {
  if (p == std::string::npos) return false;
  if (upper[p] == '-' || upper[p] == '+') ++p;
  return p < upper.size() && upper[p] == 'P';
}

std::int64_t checkedAdd(std::int64_t a, std::int64_t b) {
  std::int64_t out = 0;
  if (__builtin_add_overflow(a, b, &out)) raise(1873);
  return out;
}

std::int64_t checkedTimes(std::int64_t v, std::int64_t unit) {
  std::int64_t out = 0;
  if (__builtin_mul_overflow(v, unit, &out)) raise(1873);
  return out;
}

}  // namespace

std::string formatDaySecond(std::int64_t nanos, int dayDigits, int fraction) {
  std::uint64_t n = magnitude(nanos);
  std::string out(1, nanos < 0 ? '-' : '+');
  appendDigits(out, n / kDay, dayDigits);
  n %= kDay;
  out += ' ';
  appendDigits(out, n / kHour, 2);
  n %= kHour;
  out += ':';
  appendDigits(out, n / kMinute, 2);
  n %= kMinute;
  out += ':';
  appendDigits(out, n / kSecond, 2);
  if (fraction > 0) {
    std::string digits;
    appendDigits(digits, n % kSecond, 9);
    out += '.';
    out += digits.substr(0, static_cast<std::size_t>(std::min(fraction, 9)));
  }
  return out;
}

std::string formatYearMonth(std::int64_t months, int yearDigits) {
  std::uint64_t m = magnitude(months);
  std::string out(1, months < 0 ? '-' : '+');
  appendDigits(out, m / 12, yearDigits);
  out += '-';
  appendDigits(out, m % 12, 2);
  return out;
}

std::int64_t parseDaySecond(const std::string& text, int leading, int trailing) {
  IntervalText in(text);
  static const char separators[] = {' ', ':', ':'};  // before HOUR, MINUTE, SECOND
  std::int64_t total = 0;
  for (int field = leading; field <= trailing; ++field) {
    if (field > leading && !in.separator(separators[field - 1])) raise(1867);
    std::uint64_t v = 0;
    if (!in.number(v)) raise(1867);
    if (field > leading) checkTrailing(field, v);
    total = checkedAdd(total, checkedTimes(static_cast<std::int64_t>(v), kFieldUnits[field]));
  }
  if (trailing == 3) total = checkedAdd(total, in.fraction());
  if (!in.atEnd()) raise(1867);
  return in.negative() ? -total : total;
}

std::int64_t parseYearMonth(const std::string& text, int leading, int trailing) {
  IntervalText in(text);
  std::uint64_t v = 0;
  if (!in.number(v)) raise(1867);
  std::int64_t months = checkedTimes(static_cast<std::int64_t>(v), leading == 0 ? 12 : 1);
  if (leading == 0 && trailing == 1) {
    if (!in.separator('-') || !in.number(v)) raise(1867);
    if (v > 11) raise(1843);
    months += static_cast<std::int64_t>(v);
  }
  if (!in.atEnd()) raise(1867);
  return in.negative() ? -months : months;
}

std::int64_t fitDaySecond(std::int64_t nanos, int leading, int fraction) {
  std::int64_t unit = 1;
  for (int k = fraction; k < 9; ++k) unit *= 10;
  std::int64_t rest = nanos % unit;
  std::int64_t out = nanos - rest;
  if (rest * 2 >= unit) out = checkedAdd(out, unit);
  else if (rest * 2 <= -unit) out = checkedAdd(out, -unit);
  std::uint64_t days = magnitude(out) / kDay;
  if (days > 0 && digitCount(days) > leading) raise(1873);
  return out;
}

std::int64_t fitYearMonth(std::int64_t months, int leading) {
  std::uint64_t years = magnitude(months) / 12;
  if (years > 0 && digitCount(years) > leading) raise(1873);
  return months;
}

namespace {

// The ISO form of a duration, "[-]P[nY][nM][nD][T[nH][nM][n[.f]S]]", read into its fields; only the
// seconds may have a fraction. A malformed text raises ORA-01867.
struct IsoDuration {
  bool negative = false;
  bool yearMonth = false;  // Y or M given before the T
  std::int64_t years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0, fraction = 0;
};

IsoDuration readIsoDuration(std::string t, std::size_t p) {
  while (!t.empty() && t.back() == ' ') t.pop_back();
  IsoDuration d;
  d.negative = t[p] == '-';
  if (t[p] != 'P') ++p;
  ++p;
  bool time = false, any = false;
  while (p < t.size()) {
    if (t[p] == 'T' && !time) {
      time = true;
      ++p;
      continue;
    }
    std::size_t start = p;
    std::int64_t v = 0;
    while (p < t.size() && t[p] >= '0' && t[p] <= '9') {
      if (p - start >= 18) raise(1873);
      v = v * 10 + (t[p++] - '0');
    }
    if (p == start || p >= t.size()) raise(1867);
    if (t[p] == '.') {
      std::size_t end = p + 1;
      while (end < t.size() && t[end] >= '0' && t[end] <= '9') ++end;
      d.fraction = IntervalText(t.substr(p, end - p)).fraction();
      p = end;
      if (p >= t.size() || t[p] != 'S' || !time) raise(1867);
    }
    char unit = t[p++];
    any = true;
    if (!time && unit == 'Y') d.years = v, d.yearMonth = true;
    else if (!time && unit == 'M') d.months = v, d.yearMonth = true;
    else if (!time && unit == 'D') d.days = v;
    else if (time && unit == 'H') d.hours = v;
    else if (time && unit == 'M') d.minutes = v;
    else if (time && unit == 'S') d.seconds = v;
    else raise(1867);
  }
  if (!any) raise(1867);
  return d;
}

}  // namespace

// TO_DSINTERVAL: "[+|-]D HH:MI:SS[.f]", or the ISO form "[-]P[nD][T[nH][nM][n[.f]S]]".
std::int64_t daySecondFromText(const std::string& text) {
  std::string t = upperAscii(text);
  std::size_t p = t.find_first_not_of(' ');
  if (!isIsoDuration(t, p)) return parseDaySecond(text, 0, 3);
  IsoDuration d = readIsoDuration(t, p);
  if (d.yearMonth) raise(1867);
  std::int64_t total = checkedTimes(d.days, kDay);
  total = checkedAdd(total, checkedTimes(d.hours, kHour));
  total = checkedAdd(total, checkedTimes(d.minutes, kMinute));
  total = checkedAdd(total, checkedAdd(checkedTimes(d.seconds, kSecond), d.fraction));
  return d.negative ? -total : total;
}

// TO_YMINTERVAL: "[+|-]Y-M", or the ISO form "[-]P[nY][nM]" (days and time, if given, are ignored).
std::int64_t yearMonthFromText(const std::string& text) {
  std::string t = upperAscii(text);
  std::size_t p = t.find_first_not_of(' ');
  if (!isIsoDuration(t, p)) return parseYearMonth(text, 0, 1);
  IsoDuration d = readIsoDuration(t, p);
  std::int64_t months = checkedAdd(checkedTimes(d.years, 12), d.months);
  return d.negative ? -months : months;
}

namespace {

// A value that should be an interval: the number it travels as, or its text in Oracle's form.
std::int64_t daySecondArg(const Args& a, int i) {
  if (a.isNumber(i)) {
    Value v = a.raw(i);
    return v.kind() == Value::Kind::Integer ? v.asInteger() : std::llround(v.asDouble());
  }
  return daySecondFromText(a.text(i));
}

std::int64_t yearMonthArg(const Args& a, int i) {
  if (a.isNumber(i)) return a.integer(i);
  return yearMonthFromText(a.text(i));
}

int digitsArg(const Args& a, int i) {
  std::int64_t v = a.integer(i);
  return static_cast<int>(v < 0 ? 0 : v > 9 ? 9 : v);
}

std::string unitOf(const Args& a, int i) {
  std::string unit = upperAscii(a.text(i));
  std::size_t b = unit.find_first_not_of(' '), e = unit.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : unit.substr(b, e - b + 1);
}

Value dsIn(const Args& a) { return Value(daySecondArg(a, 0)); }
Value ymIn(const Args& a) { return Value(yearMonthArg(a, 0)); }
Value toDsInterval(const Args& a) { return Value(daySecondFromText(a.text(0))); }
Value toYmInterval(const Args& a) { return Value(yearMonthFromText(a.text(0))); }

Value numToDs(const Args& a) {
  std::string unit = unitOf(a, 1);
  std::int64_t scale = unit == "DAY" ? kDay : unit == "HOUR" ? kHour : unit == "MINUTE" ? kMinute : unit == "SECOND" ? kSecond : 0;
  if (scale == 0) raise(1760);
  Value n = a.number(0);
  if (n.kind() == Value::Kind::Integer) return Value(checkedTimes(n.asInteger(), scale));
  double nanos = n.asDouble() * static_cast<double>(scale);
  if (!(std::fabs(nanos) < 9.2e18)) raise(1873);
  return Value(static_cast<std::int64_t>(std::llround(nanos)));
}

Value numToYm(const Args& a) {
  std::string unit = unitOf(a, 1);
  int scale = unit == "YEAR" ? 12 : unit == "MONTH" ? 1 : 0;
  if (scale == 0) raise(1760);
  double months = a.real(0) * scale;
  if (!(std::fabs(months) < 9.2e18)) raise(1873);
  return Value(static_cast<std::int64_t>(std::trunc(months)));
}

Value dsText(const Args& a) { return textValue(formatDaySecond(daySecondArg(a, 0), digitsArg(a, 1), digitsArg(a, 2))); }
Value ymText(const Args& a) { return textValue(formatYearMonth(yearMonthArg(a, 0), digitsArg(a, 1))); }
Value dsFit(const Args& a) { return Value(fitDaySecond(daySecondArg(a, 0), digitsArg(a, 1), digitsArg(a, 2))); }
Value ymFit(const Args& a) { return Value(fitYearMonth(yearMonthArg(a, 0), digitsArg(a, 1))); }

DateTime checkedYear(const DateTime& d) {
  if (d.year < 1 || d.year > 9999) raise(1841);
  return d;
}

// A DATE or TIMESTAMP plus nanoseconds; the third argument keeps the fraction (a TIMESTAMP) or
// drops it (a DATE).
Value addDaySecond(const Args& a) {
  DateTime d = a.timestamp(0);
  std::int64_t nanos = daySecondArg(a, 1);
  std::int64_t total = d.nanos + nanos % kSecond;
  std::int64_t seconds = toSeconds(d) + nanos / kSecond;
  if (total >= kSecond) {
    total -= kSecond;
    ++seconds;
  } else if (total < 0) {
    total += kSecond;
    --seconds;
  }
  DateTime out = checkedYear(fromSeconds(seconds));
  out.nanos = a.integer(2) ? static_cast<int>(total) : 0;
  out.zoned = d.zoned;
  out.offset = d.offset;
  return Value(out);
}

// A datetime plus months keeps its day, which must exist in the month reached (ORA-01839).
Value addYearMonth(const Args& a) {
  DateTime d = a.timestamp(0);
  std::int64_t index = d.year * 12LL + (d.month - 1) + yearMonthArg(a, 1);
  if (index < 12 || index >= 10000 * 12) raise(1841);
  d.year = static_cast<int>(index / 12);
  d.month = static_cast<int>(index % 12) + 1;
  if (d.day > daysInMonth(d.year, d.month)) raise(1839);
  if (!a.integer(2)) d.nanos = 0;
  return Value(d);
}

Value timestampDiff(const Args& a) {
  DateTime x = a.timestamp(0), y = a.timestamp(1);
  if (x.zoned || y.zoned) {  // by the UTC instant; a plain value is in the session's time zone
    x = toUtc(x, a.session().timeZoneMinutes);
    y = toUtc(y, a.session().timeZoneMinutes);
  }
  std::int64_t seconds = toSeconds(x) - toSeconds(y);
  return Value(checkedAdd(checkedTimes(seconds, kSecond), static_cast<std::int64_t>(x.nanos) - y.nanos));
}

// interval * factor, or interval / divisor (fourth argument 1): DAY TO SECOND rounds to the
// nanosecond, YEAR TO MONTH drops the part of a month (third argument 1).
Value scaleInterval(const Args& a) {
  double factor = a.real(1);
  bool divide = a.integer(3) != 0;
  bool months = a.integer(2) != 0;
  if (divide && factor == 0) raise(1476);
  double base = static_cast<double>(months ? yearMonthArg(a, 0) : daySecondArg(a, 0));
  double v = divide ? base / factor : base * factor;
  if (!(std::fabs(v) < 9.2e18)) raise(1873);
  return Value(static_cast<std::int64_t>(months ? std::trunc(v) : std::llround(v)));
}

// EXTRACT(field FROM interval): each field carries the interval's sign.
Value extractInterval(const Args& a) {
  std::string field = upperAscii(a.text(0));
  bool months = a.integer(2) != 0;
  std::int64_t v = months ? yearMonthArg(a, 1) : daySecondArg(a, 1);
  std::int64_t sign = v < 0 ? -1 : 1;
  std::uint64_t m = magnitude(v);
  if (months) {
    if (field == "YEAR") return Value(sign * static_cast<std::int64_t>(m / 12));
    if (field == "MONTH") return Value(sign * static_cast<std::int64_t>(m % 12));
    raise(30076);
  }
  if (field == "DAY") return Value(sign * static_cast<std::int64_t>(m / kDay));
  if (field == "HOUR") return Value(sign * static_cast<std::int64_t>(m % kDay / kHour));
  if (field == "MINUTE") return Value(sign * static_cast<std::int64_t>(m % kHour / kMinute));
  if (field == "SECOND") {
    std::uint64_t rest = m % kMinute;
    if (rest % kSecond == 0) return Value(sign * static_cast<std::int64_t>(rest / kSecond));
    return numberValue(static_cast<double>(sign) * static_cast<double>(rest) / static_cast<double>(kSecond));
  }
  raise(30076);
}

}  // namespace

const std::vector<Definition>& intervalDefinitions() {
  static const std::vector<Definition> table = {
      // name                   min max strict deterministic
      {"ora_ds_in", 1, 1, true, true, dsIn},
      {"ora_ym_in", 1, 1, true, true, ymIn},
      {"ora_to_dsinterval", 1, 2, true, true, toDsInterval},
      {"ora_to_yminterval", 1, 2, true, true, toYmInterval},
      {"ora_numtods", 2, 2, true, true, numToDs},
      {"ora_numtoym", 2, 2, true, true, numToYm},
      {"ora_ds_text", 3, 3, true, true, dsText},
      {"ora_ym_text", 2, 2, true, true, ymText},
      {"ora_ds_fit", 3, 3, true, true, dsFit},
      {"ora_ym_fit", 2, 2, true, true, ymFit},
      {"ora_dt_add_ds", 3, 3, true, false, addDaySecond},
      {"ora_dt_add_ym", 3, 3, true, false, addYearMonth},
      {"ora_ts_diff", 2, 2, true, false, timestampDiff},
      {"ora_interval_scale", 4, 4, true, true, scaleInterval},
      {"ora_interval_extract", 3, 3, true, true, extractInterval},
  };
  return table;
}

}  // namespace engine::builtins
