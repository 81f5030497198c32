// The NULL functions, conversions, numeric, date and session functions.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "engine/builtins/internal.h"
#include "engine/builtins/library.h"

namespace engine::builtins {

namespace {

// ---- NULL handling and comparison

// Oracle compares in the type of the reference value: numerically when it is a number.
int compareAs(const Value& reference, const Args& args, int i, int j) {
  if (reference.isNumber()) {
    double a = args.real(i), b = args.real(j);
    return a < b ? -1 : a > b ? 1 : 0;
  }
  int c = args.text(i).compare(args.text(j));
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

Value nvl(const Args& a) { return a.isNull(0) ? a.raw(1) : a.raw(0); }
Value nvl2(const Args& a) { return a.isNull(0) ? a.raw(2) : a.raw(1); }

// DECODE returns its result in the type of the first result.
Value decodeResult(const Args& a, int i) {
  if (a.isNull(2) || a.isNull(i)) return a.raw(i);
  return a.isNumber(2) ? a.number(i) : textValue(a.text(i));
}

Value decode(const Args& a) {
  int n = a.size();
  Value firstSearch = a.raw(1);
  for (int i = 1; i + 1 < n; i += 2) {
    bool match = a.isNull(0) || a.isNull(i) ? a.isNull(0) && a.isNull(i) : compareAs(firstSearch, a, 0, i) == 0;
    if (match) return decodeResult(a, i + 1);
  }
  return n % 2 == 0 ? decodeResult(a, n - 1) : Value();
}

Value coalesce(const Args& a) {
  for (int i = 0; i < a.size(); ++i)
    if (!a.isNull(i)) return a.raw(i);
  return {};
}

Value nullif(const Args& a) {
  if (a.isNull(0) || a.isNull(1)) return a.raw(0);
  return compareAs(a.raw(0), a, 0, 1) == 0 ? Value() : a.raw(0);
}

// GREATEST and LEAST compare, and return, in the type of the first argument.
Value extreme(const Args& a, int wanted) {
  Value first = a.raw(0);
  int best = 0;
  for (int i = 1; i < a.size(); ++i)
    if (compareAs(first, a, i, best) == wanted) best = i;
  return first.isNumber() ? a.number(best) : textValue(a.text(best));
}
Value greatest(const Args& a) { return extreme(a, 1); }
Value least(const Args& a) { return extreme(a, -1); }

// ---- Conversions

Value toChar(const Args& a) { return textValue(a.text(0)); }

Value toCharNum(const Args& a) {
  Value n = a.number(0);
  if (a.size() < 2) return textValue(formatNumberModel(n, "TM9"));
  return textValue(formatNumberModel(n, a.text(1)));
}

Value toCharDate(const Args& a) {
  return textValue(a.session().dateFormat(a.size() > 1 ? a.text(1) : a.session().nlsDateFormat).format(a.date(0)));
}

Value toDate(const Args& a) {
  return Value(parseDate(a.text(0), a.size() > 1 ? a.text(1) : a.session().nlsDateFormat, a.now()));
}

Value toNumber(const Args& a) {
  if (a.isNumber(0)) return a.number(0);
  return a.size() > 1 ? parseNumberModel(a.text(0), a.text(1)) : parseNumber(a.text(0));
}

// Text where a DATE belongs: always through NLS_DATE_FORMAT, as Oracle converts it.
Value textToDate(const Args& a) { return Value(parseDate(a.text(0), a.session().nlsDateFormat, a.now())); }

// ---- Numbers

int places(const Args& a) {
  std::int64_t p = a.size() > 1 ? a.integer(1) : 0;
  return static_cast<int>(std::clamp<std::int64_t>(p, -200, 200));
}

// The value ROUND and TRUNC to `places` give when the number has no more decimals than that (the
// stored NUMBER(p,s) columns round every value written to them): an integer below 10^18 as it is; a
// double d whose d * 10^places is an integer r below 10^15 with r / 10^places == d is d to 15 digits
// already, an integer one as an integer.
std::optional<Value> alreadyRounded(const Value& n, int places) {
  if (places < 0) return std::nullopt;
  if (n.kind() == Value::Kind::Integer) {
    if (n.asInteger() < 1000000000000000000 && n.asInteger() > -1000000000000000000) return n;
    return std::nullopt;
  }
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  if (n.kind() != Value::Kind::Real || places > 8) return std::nullopt;
  double d = n.asDouble(), scale = kPowers[places], scaled = d * scale;
  if (!(std::fabs(scaled) < 1e15) || scaled != std::trunc(scaled) || scaled / scale != d) return std::nullopt;
  if (d == std::trunc(d)) return Value(static_cast<std::int64_t>(d));
  return n;
}

Value truncNum(const Args& a) {
  Value n = a.number(0);
  int p = places(a);
  if (auto same = alreadyRounded(n, p)) return *same;
  return Decimal::fromValue(n).truncated(p).toValue();
}
Value roundNum(const Args& a) {
  Value n = a.number(0);
  int p = places(a);
  if (auto same = alreadyRounded(n, p)) return *same;
  return Decimal::fromValue(n).rounded(p).toValue();
}

Value divide(const Args& a) {
  Value x = a.number(0), y = a.number(1);
  if (y.asDouble() == 0) raise(1476);
  if (x.kind() == Value::Kind::Integer && y.kind() == Value::Kind::Integer) {
    std::int64_t p = x.asInteger(), q = y.asInteger();
    if (!(p == std::numeric_limits<std::int64_t>::min() && q == -1) && p % q == 0) return Value(p / q);
  }
  return numberValue(x.asDouble() / y.asDouble());
}

Value mod(const Args& a) {
  Value x = a.number(0), y = a.number(1);
  if (y.asDouble() == 0) return x;  // MOD(m, 0) is m
  if (x.kind() == Value::Kind::Integer && y.kind() == Value::Kind::Integer) {
    if (y.asInteger() == -1) return Value(std::int64_t{0});
    return Value(x.asInteger() % y.asInteger());
  }
  return numberValue(std::fmod(x.asDouble(), y.asDouble()));
}

Value floorNum(const Args& a) {
  Value x = a.number(0);
  return x.kind() == Value::Kind::Integer ? x : numberValue(std::floor(x.asDouble()));
}

Value ceilNum(const Args& a) {
  Value x = a.number(0);
  return x.kind() == Value::Kind::Integer ? x : numberValue(std::ceil(x.asDouble()));
}

Value absNum(const Args& a) {
  Value x = a.number(0);
  if (x.kind() == Value::Kind::Integer && x.asInteger() != std::numeric_limits<std::int64_t>::min())
    return Value(x.asInteger() < 0 ? -x.asInteger() : x.asInteger());
  return numberValue(std::fabs(x.asDouble()));
}

Value sign(const Args& a) {
  double x = a.real(0);
  return Value(std::int64_t{x > 0 ? 1 : x < 0 ? -1 : 0});
}

Value power(const Args& a) {
  double base = a.real(0), exponent = a.real(1);
  if (base < 0 && exponent != std::trunc(exponent)) raise(1428, a.text(0));
  if (base == 0 && exponent < 0) raise(1428, a.text(1));
  return numberValue(std::pow(base, exponent));
}

Value squareRoot(const Args& a) {
  double x = a.real(0);
  if (x < 0) raise(1428, a.text(0));
  return numberValue(std::sqrt(x));
}

// Trigonometric functions on the double value; the inverse ones are defined on [-1, 1] only.
template <double (*F)(double)>
Value realFunction(const Args& a) {
  return numberValue(F(a.real(0)));
}

template <double (*F)(double)>
Value inverseTrig(const Args& a) {
  double x = a.real(0);
  if (x < -1 || x > 1) raise(1428, a.text(0));
  return numberValue(F(x));
}

Value arcTangent2(const Args& a) { return numberValue(std::atan2(a.real(0), a.real(1))); }

double sine(double x) { return std::sin(x); }
double cosine(double x) { return std::cos(x); }
double tangent(double x) { return std::tan(x); }
double arcSine(double x) { return std::asin(x); }
double arcCosine(double x) { return std::acos(x); }
double arcTangent(double x) { return std::atan(x); }
double hypSine(double x) { return std::sinh(x); }
double hypCosine(double x) { return std::cosh(x); }
double hypTangent(double x) { return std::tanh(x); }

// BITAND of the integer parts, in two's complement, so negative arguments work as Oracle's do.
Value bitAnd(const Args& a) {
  auto integer = [&a](int i) {
    double v = std::trunc(a.real(i));
    if (v < -9.2e18 || v > 9.2e18) raise(1428, a.text(i));
    return static_cast<long long>(v);
  };
  return numberValue(static_cast<double>(integer(0) & integer(1)));
}

// ---- Dates

std::string unitOrDay(const Args& a) { return a.size() > 1 ? a.text(1) : "DD"; }

Value truncDateFn(const Args& a) { return Value(truncDate(a.date(0), unitOrDay(a))); }
Value roundDateFn(const Args& a) { return Value(roundDate(a.date(0), unitOrDay(a))); }

DateTime checkedDate(std::int64_t seconds) {
  DateTime d = fromSeconds(seconds);
  if (d.year < 1 || d.year > 9999) raise(1841);
  return d;
}

// More days or months than lie between the first and the last DATE.
constexpr double kMaxDays = 3.7e6;
constexpr std::int64_t kMaxMonths = 120000;

Value dateAdd(const Args& a) {
  double days = a.real(1);
  if (std::fabs(days) > kMaxDays) raise(1841);
  // DATE + n keeps whole seconds: the fraction of a day rounds to the nearest second.
  return Value(checkedDate(toSeconds(a.date(0)) + std::llround(days * 86400.0)));
}

Value dateDiff(const Args& a) {
  std::int64_t seconds = toSeconds(a.date(0)) - toSeconds(a.date(1));
  if (seconds % 86400 == 0) return Value(seconds / 86400);
  return Value(static_cast<double>(seconds) / 86400.0);
}

Value addMonthsFn(const Args& a) {
  std::int64_t months = a.integer(1);
  if (months > kMaxMonths || months < -kMaxMonths) raise(1841);
  return Value(addMonths(a.date(0), months));
}
Value monthsBetweenFn(const Args& a) { return numberValue(monthsBetween(a.date(0), a.date(1))); }
Value lastDayFn(const Args& a) { return Value(lastDay(a.date(0))); }
Value nextDayFn(const Args& a) { return Value(nextDay(a.date(0), a.text(1))); }
Value sysdate(const Args& a) {
  DateTime d = a.now();
  d.nanos = 0;
  return Value(d);
}

// ---- Timestamps

int fractionDigits(const Args& a, int i) { return static_cast<int>(std::clamp<std::int64_t>(a.integer(i), 0, 9)); }

Value toCharTs(const Args& a) {
  DateTime d = a.timestamp(0);
  d.precision = fractionDigits(a, 1);
  const std::string& fallback = d.zoned ? a.session().nlsTimestampTzFormat : a.session().nlsTimestampFormat;
  return textValue(a.session().dateFormat(a.size() > 2 ? a.text(2) : fallback).format(d));
}

Value toTimestamp(const Args& a) {
  return Value(parseTimestamp(a.text(0), a.size() > 1 ? a.text(1) : a.session().nlsTimestampFormat, a.now()));
}

Value textToTs(const Args& a) { return Value(a.timestamp(0)); }

}  // namespace

DateTime roundFraction(DateTime d, int digits) {
  int unit = 1;
  for (int k = digits; k < 9; ++k) unit *= 10;
  int nanos = (d.nanos + unit / 2) / unit * unit;
  if (nanos < 1000000000) {
    d.nanos = nanos;
    return d;
  }
  DateTime next = fromSeconds(toSeconds(d) + 1);
  if (next.year > 9999) raise(1841);
  next.precision = d.precision;
  next.zoned = d.zoned;
  next.offset = d.offset;
  return next;
}

namespace {

Value tsFit(const Args& a) { return Value(roundFraction(a.timestamp(0), fractionDigits(a, 1))); }

Value tsToDate(const Args& a) { return Value(a.date(0)); }

Value systimestamp(const Args& a) {
  const auto& clock = a.session().preciseNow;
  DateTime d = clock ? clock() : localNowPrecise();
  return Value(roundFraction(d, a.size() > 0 ? fractionDigits(a, 0) : 6));
}

Value extractField(const Args& a) {
  std::string field = upperAscii(a.text(0));
  DateTime d = a.timestamp(1);
  if (field == "YEAR") return Value(static_cast<std::int64_t>(d.year));
  if (field == "MONTH") return Value(static_cast<std::int64_t>(d.month));
  if (field == "DAY") return Value(static_cast<std::int64_t>(d.day));
  if (field == "HOUR") return Value(static_cast<std::int64_t>(d.hour));
  if (field == "MINUTE") return Value(static_cast<std::int64_t>(d.minute));
  if (field == "SECOND") {
    if (d.nanos == 0) return Value(static_cast<std::int64_t>(d.second));
    return Value(d.second + d.nanos / 1e9);
  }
  raise(30076);
}

// ---- The session

Value user(const Args& a) { return textValue(a.session().user); }
Value uid(const Args& a) { return Value(a.session().uid); }

const char* const kLanguage = "AMERICAN_AMERICA.AL32UTF8";

Value userenv(const Args& a) {
  const SessionContext& s = a.session();
  std::string name = upperAscii(a.text(0));
  if (name == "SESSIONID" || name == "SID") return Value(s.sessionId);
  if (name == "SCHEMAID") return Value(s.schemaId);
  if (name == "TERMINAL") return textValue(s.terminal);
  if (name == "LANGUAGE") return Value(kLanguage);
  if (name == "LANG") return Value("US");
  if (name == "ISDBA") return Value(s.sysdba ? "TRUE" : "FALSE");
  if (name == "CLIENT_INFO") return {};
  if (name == "ENTRYID") return Value(std::int64_t{0});
  if (name == "INSTANCE") return Value(std::int64_t{1});
  raise(2003);
}

using ContextReader = std::string (*)(const SessionContext&);

const std::map<std::string, ContextReader>& userenvContext() {
  static const std::map<std::string, ContextReader> readers = {
      {"SESSION_USER", [](const SessionContext& s) { return s.user; }},
      {"CURRENT_USER", [](const SessionContext& s) { return s.user; }},
      {"AUTHENTICATED_IDENTITY", [](const SessionContext& s) { return s.user; }},
      {"CURRENT_SCHEMA", [](const SessionContext& s) { return s.currentSchema.empty() ? s.user : s.currentSchema; }},
      {"SESSION_USERID", [](const SessionContext& s) { return std::to_string(s.uid); }},
      {"CURRENT_USERID", [](const SessionContext& s) { return std::to_string(s.uid); }},
      {"CURRENT_SCHEMAID", [](const SessionContext& s) { return std::to_string(s.schemaId); }},
      {"HOST", [](const SessionContext& s) { return s.host; }},
      {"SERVER_HOST", [](const SessionContext& s) { return s.host; }},
      {"OS_USER", [](const SessionContext& s) { return s.osUser; }},
      {"TERMINAL", [](const SessionContext& s) { return s.terminal; }},
      {"DB_NAME", [](const SessionContext& s) { return s.dbName; }},
      {"INSTANCE_NAME", [](const SessionContext& s) { return s.dbName; }},
      {"SERVICE_NAME", [](const SessionContext& s) { return s.dbName; }},
      {"SID", [](const SessionContext& s) { return std::to_string(s.sessionId); }},
      {"SESSIONID", [](const SessionContext& s) { return std::to_string(s.sessionId); }},
      {"MODULE", [](const SessionContext& s) { return s.module; }},
      {"IP_ADDRESS", [](const SessionContext&) { return std::string("127.0.0.1"); }},
      {"LANGUAGE", [](const SessionContext&) { return std::string(kLanguage); }},
      {"LANG", [](const SessionContext&) { return std::string("US"); }},
      {"NLS_DATE_FORMAT", [](const SessionContext& s) { return s.nlsDateFormat; }},
      {"NLS_DATE_LANGUAGE", [](const SessionContext&) { return std::string("AMERICAN"); }},
      {"NLS_TERRITORY", [](const SessionContext&) { return std::string("AMERICA"); }},
      {"INSTANCE", [](const SessionContext&) { return std::string("1"); }},
      {"ISDBA", [](const SessionContext& s) { return std::string(s.sysdba ? "TRUE" : "FALSE"); }},
      {"CLIENT_PROGRAM_NAME", [](const SessionContext& s) { return s.module; }},
      {"CON_NAME", [](const SessionContext& s) { return s.dbName; }},
      {"AUTHENTICATION_METHOD", [](const SessionContext&) { return std::string("PASSWORD"); }},
      {"DATABASE_ROLE", [](const SessionContext&) { return std::string("PRIMARY"); }},
      {"NLS_CALENDAR", [](const SessionContext&) { return std::string("GREGORIAN"); }},
      {"NLS_CURRENCY", [](const SessionContext&) { return std::string("$"); }},
      {"NLS_SORT", [](const SessionContext&) { return std::string("BINARY"); }},
      {"PROXY_USER", [](const SessionContext&) { return std::string(); }},
      {"BG_JOB_ID", [](const SessionContext&) { return std::string(); }},
      {"ACTION", [](const SessionContext& s) { return s.action; }},
      {"CLIENT_INFO", [](const SessionContext& s) { return s.clientInfo; }},
      {"CLIENT_IDENTIFIER", [](const SessionContext& s) { return s.clientIdentifier; }},
      {"DB_DOMAIN", [](const SessionContext&) { return std::string(); }},
  };
  return readers;
}

Value sysContext(const Args& a) {
  // An application context's attribute that was never set reads as NULL, as does a namespace never used.
  std::string space = upperAscii(a.text(0));
  std::string value;
  if (space != "USERENV") {
    const auto& contexts = a.session().contexts;
    auto ns = contexts.find(space);
    if (ns == contexts.end()) return {};
    auto attribute = ns->second.find(upperAscii(a.text(1)));
    if (attribute == ns->second.end()) return {};
    value = attribute->second;
  } else {
    auto it = userenvContext().find(upperAscii(a.text(1)));
    if (it == userenvContext().end()) raise(2003);
    value = it->second(a.session());
  }
  if (a.size() > 2 && a.integer(2) > 0 && value.size() > static_cast<std::size_t>(a.integer(2)))
    value.resize(static_cast<std::size_t>(a.integer(2)));
  return textValue(value);
}

}  // namespace

// The conversions take Oracle's optional third argument, the NLS parameters, and ignore it: the
// session's language is always AMERICAN.
// NTILE's bucket count: truncated to a whole number, which must be at least one.
Value ntileCount(const Args& a) {
  double n = std::trunc(a.real(0));
  if (n < 1) raise(1428, a.text(0));
  return Value(static_cast<std::int64_t>(std::min(n, 9.2e18)));
}

const std::vector<Definition>& generalDefinitions() {
  static const std::vector<Definition> table = {
      // name            min max  strict deterministic
      {"ora_nvl", 2, 2, false, true, nvl},
      {"ora_nvl2", 3, 3, false, true, nvl2},
      {"ora_decode", 3, -1, false, true, decode},
      {"ora_coalesce", 1, -1, false, true, coalesce},
      {"ora_nullif", 2, 2, false, true, nullif},
      {"ora_greatest", 1, -1, true, true, greatest},
      {"ora_least", 1, -1, true, true, least},
      {"ora_to_char", 1, 1, true, true, toChar},
      {"ora_to_char_num", 1, 3, true, true, toCharNum},
      {"ora_to_char_date", 1, 3, true, false, toCharDate},
      {"ora_to_date", 1, 3, true, false, toDate},
      {"ora_to_number", 1, 3, true, true, toNumber},
      {"ora_text_to_date", 1, 1, true, false, textToDate},
      {"ora_trunc_num", 1, 2, true, true, truncNum},
      {"ora_round_num", 1, 2, true, true, roundNum},
      {"ora_div", 2, 2, true, true, divide},
      {"ora_mod", 2, 2, true, true, mod},
      {"ora_floor", 1, 1, true, true, floorNum},
      {"ora_ceil", 1, 1, true, true, ceilNum},
      {"ora_abs", 1, 1, true, true, absNum},
      {"ora_sign", 1, 1, true, true, sign},
      {"ora_power", 2, 2, true, true, power},
      {"ora_sqrt", 1, 1, true, true, squareRoot},
      {"ora_sin", 1, 1, true, true, realFunction<sine>},
      {"ora_cos", 1, 1, true, true, realFunction<cosine>},
      {"ora_tan", 1, 1, true, true, realFunction<tangent>},
      {"ora_asin", 1, 1, true, true, inverseTrig<arcSine>},
      {"ora_acos", 1, 1, true, true, inverseTrig<arcCosine>},
      {"ora_atan", 1, 1, true, true, realFunction<arcTangent>},
      {"ora_atan2", 2, 2, true, true, arcTangent2},
      {"ora_sinh", 1, 1, true, true, realFunction<hypSine>},
      {"ora_cosh", 1, 1, true, true, realFunction<hypCosine>},
      {"ora_tanh", 1, 1, true, true, realFunction<hypTangent>},
      {"ora_bitand", 2, 2, true, true, bitAnd},
      {"ora_ntile_count", 1, 1, true, true, ntileCount},
      {"ora_trunc_date", 1, 2, true, false, truncDateFn},
      {"ora_round_date", 1, 2, true, false, roundDateFn},
      {"ora_date_add", 2, 2, true, false, dateAdd},
      {"ora_date_diff", 2, 2, true, false, dateDiff},
      {"ora_add_months", 2, 2, true, false, addMonthsFn},
      {"ora_months_between", 2, 2, true, false, monthsBetweenFn},
      {"ora_last_day", 1, 1, true, false, lastDayFn},
      {"ora_next_day", 2, 2, true, false, nextDayFn},
      {"ora_sysdate", 0, 0, false, false, sysdate},
      {"ora_to_char_ts", 2, 4, true, false, toCharTs},
      {"ora_to_timestamp", 1, 3, true, false, toTimestamp},
      {"ora_text_to_ts", 1, 1, true, false, textToTs},
      {"ora_ts_fit", 2, 2, true, false, tsFit},
      {"ora_ts_to_date", 1, 1, true, false, tsToDate},
      {"ora_systimestamp", 0, 1, false, false, systimestamp},
      {"ora_extract", 2, 2, true, false, extractField},
      {"ora_user", 0, 0, false, false, user},
      {"ora_uid", 0, 0, false, false, uid},
      {"ora_userenv", 1, 1, true, false, userenv},
      {"ora_sys_context", 2, 3, true, false, sysContext},
  };
  return table;
}

const std::vector<Definition>& definitions() {
  static const std::vector<Definition> all = [] {
    std::vector<Definition> out = generalDefinitions();
    const auto& strings = stringDefinitions();
    out.insert(out.end(), strings.begin(), strings.end());
    const auto& regexps = regexpDefinitions();
    out.insert(out.end(), regexps.begin(), regexps.end());
    const auto& raws = rawDefinitions();
    out.insert(out.end(), raws.begin(), raws.end());
    const auto& intervals = intervalDefinitions();
    out.insert(out.end(), intervals.begin(), intervals.end());
    const auto& zones = timeZoneDefinitions();
    out.insert(out.end(), zones.begin(), zones.end());
    return out;
  }();
  return all;
}

}  // namespace engine::builtins
