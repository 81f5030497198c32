// DATE arithmetic: the civil calendar, ADD_MONTHS, MONTHS_BETWEEN, LAST_DAY, NEXT_DAY, TRUNC and ROUND.
#include <ctime>

#include "engine/builtins/internal.h"

namespace engine::builtins {

const std::array<std::string_view, 12>& monthNames() {
  static const std::array<std::string_view, 12> names = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",
                                                         "MAY",     "JUNE",     "JULY",      "AUGUST",
                                                         "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
  return names;
}

const std::array<std::string_view, 7>& dayNames() {
  static const std::array<std::string_view, 7> names = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                                        "THURSDAY", "FRIDAY", "SATURDAY"};
  return names;
}

std::int64_t daysFromCivil(int year, int month, int day) {
  std::int64_t y = year - (month <= 2 ? 1 : 0);
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  std::int64_t yoe = y - era * 400;
  std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t days, int& year, int& month, int& day) {
  days += 719468;
  std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  std::int64_t doe = days - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int daysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

bool isValidDate(const DateTime& d) {
  return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= daysInMonth(d.year, d.month) && d.hour >= 0 && d.hour < 24 && d.minute >= 0 && d.minute < 60 &&
         d.second >= 0 && d.second < 60;
}

namespace {

std::int64_t dayNumber(const DateTime& d) { return daysFromCivil(d.year, d.month, d.day); }

DateTime fromDayNumber(std::int64_t days) {
  DateTime d;
  civilFromDays(days, d.year, d.month, d.day);
  return d;
}

DateTime dateOnly(int year, int month, int day) { return DateTime{year, month, day, 0, 0, 0}; }

// Monday of ISO week 1 of the year: the week that holds 4 January.
std::int64_t isoYearStart(int year) {
  std::int64_t jan4 = daysFromCivil(year, 1, 4);
  std::int64_t weekday = ((jan4 + 3) % 7 + 7) % 7;  // 0 = Monday
  return jan4 - weekday;
}

int isoYear(const DateTime& d) {
  std::int64_t days = dayNumber(d);
  if (days >= isoYearStart(d.year + 1)) return d.year + 1;
  if (days < isoYearStart(d.year)) return d.year - 1;
  return d.year;
}

}  // namespace

int dayOfWeek(const DateTime& d) {
  std::int64_t days = dayNumber(d);  // 1970-01-01 was a Thursday
  return static_cast<int>(((days + 4) % 7 + 7) % 7) + 1;
}

int dayOfYear(const DateTime& d) { return static_cast<int>(dayNumber(d) - daysFromCivil(d.year, 1, 1)) + 1; }

int isoWeek(const DateTime& d) {
  return static_cast<int>((dayNumber(d) - isoYearStart(isoYear(d))) / 7) + 1;
}

std::int64_t julianDay(const DateTime& d) { return dayNumber(d) + 2440588; }

std::int64_t toSeconds(const DateTime& d) {
  return dayNumber(d) * 86400 + d.hour * 3600 + d.minute * 60 + d.second;
}

DateTime fromSeconds(std::int64_t seconds) {
  std::int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  std::int64_t rest = seconds - days * 86400;
  DateTime d = fromDayNumber(days);
  d.hour = static_cast<int>(rest / 3600);
  d.minute = static_cast<int>(rest / 60 % 60);
  d.second = static_cast<int>(rest % 60);
  return d;
}

DateTime localNow() {
  std::time_t t = std::time(nullptr);
  std::tm parts{};
  localtime_r(&t, &parts);
  return DateTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

DateTime localNowPrecise() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm parts{};
  localtime_r(&ts.tv_sec, &parts);
  DateTime d{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
  d.nanos = static_cast<int>(ts.tv_nsec / 1000 * 1000);
  return d;
}

DateTime addMonths(const DateTime& d, std::int64_t months) {
  std::int64_t index = d.year * 12LL + (d.month - 1) + months;
  DateTime out = d;
  out.year = static_cast<int>(index / 12);
  out.month = static_cast<int>(index % 12) + 1;
  if (out.year < 1 || out.year > 9999) raise(1841);
  int last = daysInMonth(out.year, out.month);
  // The last day of a month maps to the last day of the target month.
  if (d.day == daysInMonth(d.year, d.month) || d.day > last) out.day = last;
  return out;
}

double monthsBetween(const DateTime& a, const DateTime& b) {
  double months = (a.year - b.year) * 12.0 + (a.month - b.month);
  bool bothLast = a.day == daysInMonth(a.year, a.month) && b.day == daysInMonth(b.year, b.month);
  if (a.day == b.day || bothLast) return months;
  // Otherwise the rest counts in months of 31 days, time of day included.
  double secondsA = a.day * 86400.0 + a.hour * 3600 + a.minute * 60 + a.second;
  double secondsB = b.day * 86400.0 + b.hour * 3600 + b.minute * 60 + b.second;
  return months + (secondsA - secondsB) / (31 * 86400.0);
}

DateTime lastDay(const DateTime& d) {
  DateTime out = d;
  out.day = daysInMonth(d.year, d.month);
  return out;
}

DateTime nextDay(const DateTime& d, const std::string& dayName) {
  std::string name = upperAscii(dayName);
  for (int i = 0; i < 7; ++i) {
    std::string_view full = dayNames()[i];
    // The abbreviation is the minimum; what follows it is ignored.
    if (name.size() >= 3 && name.compare(0, 3, full.substr(0, 3)) == 0) {
      int ahead = (i + 1 - dayOfWeek(d) + 7) % 7;
      DateTime out = fromDayNumber(dayNumber(d) + (ahead == 0 ? 7 : ahead));
      out.hour = d.hour;
      out.minute = d.minute;
      out.second = d.second;
      return out;
    }
  }
  raise(1846);
}

namespace {

enum class Unit { Century, Year, IsoYear, Quarter, Month, Week, IsoWeek, MonthWeek, Day, WeekStart, Hour, Minute };

Unit unitOf(const std::string& format) {
  struct Entry {
    const char* name;
    Unit unit;
  };
  static const Entry units[] = {
      {"CC", Unit::Century},  {"SCC", Unit::Century},  {"SYYYY", Unit::Year},     {"YYYY", Unit::Year},
      {"YEAR", Unit::Year},   {"SYEAR", Unit::Year},   {"YYY", Unit::Year},       {"YY", Unit::Year},
      {"Y", Unit::Year},      {"IYYY", Unit::IsoYear}, {"IYY", Unit::IsoYear},    {"IY", Unit::IsoYear},
      {"I", Unit::IsoYear},   {"Q", Unit::Quarter},    {"MONTH", Unit::Month},    {"MON", Unit::Month},
      {"MM", Unit::Month},    {"RM", Unit::Month},     {"WW", Unit::Week},        {"IW", Unit::IsoWeek},
      {"W", Unit::MonthWeek}, {"DDD", Unit::Day},      {"DD", Unit::Day},         {"J", Unit::Day},
      {"DAY", Unit::WeekStart}, {"DY", Unit::WeekStart}, {"D", Unit::WeekStart}, {"HH", Unit::Hour},
      {"HH12", Unit::Hour},   {"HH24", Unit::Hour},    {"MI", Unit::Minute},
  };
  std::string key = upperAscii(format);
  for (const auto& e : units)
    if (key == e.name) return e.unit;
  raise(1821);
}

DateTime truncTo(const DateTime& d, Unit unit) {
  switch (unit) {
    case Unit::Century: return dateOnly((d.year - 1) / 100 * 100 + 1, 1, 1);
    case Unit::Year: return dateOnly(d.year, 1, 1);
    case Unit::IsoYear: return fromDayNumber(isoYearStart(isoYear(d)));
    case Unit::Quarter: return dateOnly(d.year, (d.month - 1) / 3 * 3 + 1, 1);
    case Unit::Month: return dateOnly(d.year, d.month, 1);
    case Unit::Week: return fromDayNumber(dayNumber(d) - (dayOfYear(d) - 1) % 7);
    case Unit::IsoWeek: return fromDayNumber(dayNumber(d) - (dayOfWeek(d) + 5) % 7);
    case Unit::MonthWeek: return dateOnly(d.year, d.month, d.day - (d.day - 1) % 7);
    case Unit::Day: return dateOnly(d.year, d.month, d.day);
    case Unit::WeekStart: return fromDayNumber(dayNumber(d) - (dayOfWeek(d) - 1));
    case Unit::Hour: return DateTime{d.year, d.month, d.day, d.hour, 0, 0};
    case Unit::Minute: return DateTime{d.year, d.month, d.day, d.hour, d.minute, 0};
  }
  return d;
}

}  // namespace

DateTime truncDate(const DateTime& d, const std::string& unit) { return truncTo(d, unitOf(unit)); }

DateTime roundDate(const DateTime& d, const std::string& format) {
  Unit unit = unitOf(format);
  switch (unit) {
    case Unit::Century: return dateOnly(((d.year - 1) / 100 + ((d.year - 1) % 100 >= 50 ? 1 : 0)) * 100 + 1, 1, 1);
    case Unit::Year: return dateOnly(d.year + (d.month >= 7 ? 1 : 0), 1, 1);
    case Unit::Quarter: {
      DateTime start = truncTo(d, unit);
      bool up = d.month > start.month + 1 || (d.month == start.month + 1 && d.day >= 16);
      return up ? addMonths(start, 3) : start;
    }
    case Unit::Month: return d.day >= 16 ? addMonths(dateOnly(d.year, d.month, 1), 1) : dateOnly(d.year, d.month, 1);
    case Unit::IsoYear: {
      std::int64_t start = isoYearStart(isoYear(d)), next = isoYearStart(isoYear(d) + 1);
      return fromDayNumber(dayNumber(d) - start >= (next - start) / 2 ? next : start);
    }
    default: break;
  }
  // Units of fixed length round up from their midpoint.
  std::int64_t half = unit == Unit::Hour ? 1800 : unit == Unit::Minute ? 30 : unit == Unit::Day ? 43200 : 302400;
  return truncTo(fromSeconds(toSeconds(d) + half), unit);
}

}  // namespace engine::builtins
