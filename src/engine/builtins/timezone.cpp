// Time zones. A TIMESTAMP WITH TIME ZONE is its local fields plus an offset from UTC; inside SQLite
// it is the text "YYYY-MM-DD HH:MM:SS[.fraction] +HH:MM" (DateTime::toIso of a zoned value), so it
// keeps the offset it was given, and two such values compare by their UTC instant (ora_tz_utc). A
// TIMESTAMP WITH LOCAL TIME ZONE is stored as UTC text marked "+00:00" (the database time zone) and
// read in the session's time zone; a value without the mark, written before time zones were kept,
// reads as it was written. Zones are offsets; UTC, GMT and Z stand for +00:00.
#include <ctime>

#include "engine/builtins/internal.h"
#include "engine/builtins/library.h"

namespace engine::builtins {

int localOffsetMinutes() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return static_cast<int>(parts.tm_gmtoff / 60);
}

std::string formatZone(int minutes) {
  std::string out(1, minutes < 0 ? '-' : '+');
  int m = minutes < 0 ? -minutes : minutes;
  appendDigits(out, static_cast<std::uint64_t>(m / 60), 2);
  out += ':';
  appendDigits(out, static_cast<std::uint64_t>(m % 60), 2);
  return out;
}

int parseZone(const std::string& text) {
  std::string t = upperAscii(text);
  std::size_t b = t.find_first_not_of(' '), e = t.find_last_not_of(' ');
  if (b == std::string::npos) raise(1882);
  t = t.substr(b, e - b + 1);
  if (t == "UTC" || t == "GMT" || t == "Z") return 0;
  std::size_t i = 0;
  int sign = 1;
  if (t[i] == '+' || t[i] == '-') sign = t[i++] == '-' ? -1 : 1;
  else raise(1882);  // a region name: only offsets are known here
  auto number = [&]() {
    int v = 0, digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9' && digits < 2) {
      v = v * 10 + (t[i++] - '0');
      ++digits;
    }
    if (digits == 0) raise(1857);
    return v;
  };
  int hours = number();
  int minutes = 0;
  if (i < t.size()) {
    if (t[i++] != ':') raise(1857);
    minutes = number();
  }
  if (i != t.size()) raise(1857);
  if (hours > 14) raise(1874);
  if (minutes > 59) raise(1875);
  return sign * (hours * 60 + minutes);
}

DateTime shiftMinutes(const DateTime& d, std::int64_t minutes) {
  DateTime out = fromSeconds(toSeconds(d) + minutes * 60);
  if (out.year < 1 || out.year > 9999) raise(1841);
  out.nanos = d.nanos;
  out.precision = d.precision;
  return out;
}

DateTime toUtc(const DateTime& d, int sessionZone) {
  DateTime out = shiftMinutes(d, -(d.zoned ? d.offset : sessionZone));
  out.zoned = false;
  out.offset = 0;
  return out;
}

DateTime inZone(const DateTime& d, int sessionZone, int zone) {
  DateTime out = shiftMinutes(toUtc(d, sessionZone), zone);
  out.zoned = true;
  out.offset = zone;
  return out;
}

namespace {

int sessionZone(const Args& a) { return a.session().timeZoneMinutes; }

// A value where a TIMESTAMP WITH TIME ZONE belongs: a plain one takes the session's zone.
Value attach(const Args& a) {
  DateTime d = a.timestamp(0);
  if (!d.zoned) {
    d.zoned = true;
    d.offset = sessionZone(a);
  }
  return Value(d);
}

// A value with a time zone where a plain TIMESTAMP belongs keeps its fields and drops the zone.
Value strip(const Args& a) {
  DateTime d = a.timestamp(0);
  d.zoned = false;
  d.offset = 0;
  return Value(d);
}

// FROM_TZ(timestamp, zone): the same fields in the zone given.
Value fromTz(const Args& a) {
  DateTime d = a.timestamp(0);
  d.zoned = true;
  d.offset = parseZone(a.text(1));
  return Value(d);
}

// AT TIME ZONE zone (AT LOCAL without the second argument): the same instant seen in another zone.
Value atZone(const Args& a) {
  int zone = a.size() > 1 ? parseZone(a.text(1)) : sessionZone(a);
  return Value(inZone(a.timestamp(0), sessionZone(a), zone));
}

// SYS_EXTRACT_UTC, and the key two zoned values compare by.
Value utc(const Args& a) { return Value(toUtc(a.timestamp(0), sessionZone(a))); }

// A value for a TIMESTAMP WITH LOCAL TIME ZONE column: the instant in UTC, marked as such.
Value toDatabaseZone(const Args& a) {
  DateTime d = toUtc(a.timestamp(0), sessionZone(a));
  d.zoned = true;
  return Value(d);
}

// A TIMESTAMP WITH LOCAL TIME ZONE as the session sees it: its UTC fields moved to the session's zone.
Value fromDatabaseZone(const Args& a) {
  DateTime d = a.timestamp(0);
  if (!d.zoned) return Value(d);
  d = shiftMinutes(d, sessionZone(a));
  d.zoned = false;
  d.offset = 0;
  return Value(d);
}

Value extractZone(const Args& a) {
  std::string field = upperAscii(a.text(0));
  DateTime d = a.timestamp(1);
  if (!d.zoned) raise(30076);
  if (field == "TIMEZONE_HOUR") return Value(static_cast<std::int64_t>(d.offset / 60));
  if (field == "TIMEZONE_MINUTE") return Value(static_cast<std::int64_t>(d.offset % 60));
  if (field == "TIMEZONE_REGION" || field == "TIMEZONE_ABBR") return Value("UNKNOWN");
  raise(30076);
}

Value sessionTimeZone(const Args& a) { return Value(formatZone(sessionZone(a))); }
Value dbTimeZone(const Args&) { return Value("+00:00"); }

int digits(const Args& a, int i) {
  std::int64_t v = a.size() > i ? a.integer(i) : 6;
  return static_cast<int>(v < 0 ? 0 : v > 9 ? 9 : v);
}

// The wall clock the session reads (a fixed one in tests) is the machine's local time.
DateTime machineNow(const Args& a) {
  const auto& clock = a.session().preciseNow;
  DateTime d = clock ? clock() : localNowPrecise();
  d.zoned = true;
  d.offset = localOffsetMinutes();
  return d;
}

// SYSTIMESTAMP: the machine's time with its offset.
Value systemTimestamp(const Args& a) { return Value(roundFraction(machineNow(a), digits(a, 0))); }

// CURRENT_TIMESTAMP: now in the session's time zone, with its offset; LOCALTIMESTAMP without it.
Value currentTimestamp(const Args& a) {
  return Value(roundFraction(inZone(machineNow(a), sessionZone(a), sessionZone(a)), digits(a, 0)));
}

Value localTimestamp(const Args& a) {
  DateTime d = roundFraction(inZone(machineNow(a), sessionZone(a), sessionZone(a)), digits(a, 0));
  d.zoned = false;
  d.offset = 0;
  return Value(d);
}

}  // namespace

const std::vector<Definition>& timeZoneDefinitions() {
  static const std::vector<Definition> table = {
      // name                     min max strict deterministic
      {"ora_tz_attach", 1, 1, true, false, attach},
      {"ora_tz_strip", 1, 1, true, true, strip},
      {"ora_from_tz", 2, 2, true, true, fromTz},
      {"ora_at_zone", 1, 2, true, false, atZone},
      {"ora_tz_utc", 1, 1, true, false, utc},
      {"ora_tz_to_db", 1, 1, true, false, toDatabaseZone},
      {"ora_tz_from_db", 1, 1, true, false, fromDatabaseZone},
      {"ora_extract_tz", 2, 2, true, true, extractZone},
      {"ora_sessiontimezone", 0, 0, false, false, sessionTimeZone},
      {"ora_dbtimezone", 0, 0, false, true, dbTimeZone},
      {"ora_systimestamp_tz", 0, 1, false, false, systemTimestamp},
      {"ora_current_timestamp", 0, 1, false, false, currentTimestamp},
      {"ora_localtimestamp", 0, 1, false, false, localTimestamp},
  };
  return table;
}

}  // namespace engine::builtins
