#pragma once
// Oracle's SQL functions as SQLite application functions, and the value formats they share with the
// rest of the engine.
//
// Value conventions inside SQLite (the emitter and the storage rely on them):
//   NUMBER    INTEGER when integral and within 64 bits, else REAL
//   VARCHAR2, CHAR, LONG, CLOB   TEXT; the empty string never appears: Oracle's '' is NULL, so every
//             function returns NULL where it would return ''
//   DATE      TEXT "YYYY-MM-DD HH:MM:SS" (sorts and compares as dates)
//   ROWID     TEXT, opaque (made by the storage layer)
//
// Every Oracle function FOO is registered as ora_foo (lower case), so SQLite's own functions of the
// same name stay available to the emitter. Where Oracle dispatches on the argument's type, the emitter
// knows the type and calls the typed variant:
//
//   ora_nvl(a,b) ora_nvl2(a,b,c) ora_decode(x, s1,r1, ..., [default]) (NULL matches NULL; compares in
//                                  the type of s1, numerically when s1 is a number)
//   ora_coalesce(...) ora_nullif(a,b) ora_greatest(...) ora_least(...)  (compare and return in the type
//                                  of the first argument)
//   ora_to_char(x)                 text or number to text (numbers as Oracle prints them: .5, -1.25)
//   ora_to_char_num(n[, fmt])      number format models (999G990D00, FM, 0, 9, ., ,, S, MI, PR, $, L, B,
//                                  V, EEEE, X, TM ...); "###..." when the number does not fit
//   ora_to_char_date(d[, fmt])     date format models; without fmt the session's NLS_DATE_FORMAT
//   ora_to_date(text[, fmt])       ORA-01858/01861/01843/01847/01830 ... on mismatch; without fmt the
//                                  session's NLS_DATE_FORMAT
//   ora_to_number(text[, fmt])     ORA-01722 on bad text (also where the text does not fit fmt)
//                                  (the four conversions accept and ignore a third argument, the NLS
//                                  parameters: the language is AMERICAN)
//   ora_text_to_date(text)         implicit conversion through NLS_DATE_FORMAT (text in the stored
//                                  form too: '2024-03-01 08:30:00' is ORA-01861 under DD-MON-RR)
//   ora_trunc_num(n[, digits]) ora_round_num(n[, digits])
//   ora_trunc_date(d[, fmt]) ora_round_date(d[, fmt])  fmt: DD (default), MM, MON, YYYY, YEAR, Q, IW, HH, MI ...
//                                  (ORA-01821 for an unknown unit)
//   ora_date_add(d, days)          DATE + number (fractions of a day)
//   ora_date_diff(d1, d2)          DATE - DATE in days (may be fractional)
//   ora_add_months(d, n) ora_months_between(d1, d2) ora_last_day(d) ora_next_day(d, dayname)
//   ora_sysdate()                  the session clock, to the second
//   TIMESTAMP  TEXT "YYYY-MM-DD HH:MM:SS[.fraction]", the fraction without trailing zeros, so a
//              TIMESTAMP and a DATE compare and sort as text; the precision is the compiler's
//   ora_to_char_ts(ts, digits[, fmt])  TIMESTAMP format models (FF, FF1-FF9, X); without fmt the
//                                  session's NLS_TIMESTAMP_FORMAT; FF shows `digits` digits
//   ora_to_timestamp(text[, fmt])  ora_text_to_ts(text)  as TO_DATE, through NLS_TIMESTAMP_FORMAT
//   ora_ts_fit(ts, digits)         rounded to `digits` fractional digits (a TIMESTAMP(n) column)
//   ora_ts_to_date(ts)             the fraction dropped
//   ora_systimestamp(digits)       the session clock with the fraction
//   ora_extract(field, ts)         YEAR, MONTH, DAY, HOUR, MINUTE, SECOND (with the fraction)
//   INTERVAL   INTEGER: DAY TO SECOND in nanoseconds, YEAR TO MONTH in months (interval.cpp);
//              ora_ds_in(v) ora_ym_in(v)   a number as it is, text as TO_DSINTERVAL / TO_YMINTERVAL reads it
//   ora_ds_text(n, days, fraction) ora_ym_text(n, years)   the text Oracle shows; ora_ds_fit, ora_ym_fit
//   ora_numtods(n, unit) ora_numtoym(n, unit) ora_to_dsinterval(text) ora_to_yminterval(text)
//   ora_dt_add_ds(dt, n, keepFraction) ora_dt_add_ym(dt, n, keepFraction)   datetime + interval
//   ora_ts_diff(a, b)              a - b of two datetimes in nanoseconds
//   ora_interval_scale(n, factor, isYearMonth, divide) ora_interval_extract(field, n, isYearMonth)
//   ora_div(a, b)                  exact division: integral quotient as INTEGER; b = 0 is ORA-01476
//   ora_mod(a,b) ora_floor(n) ora_ceil(n) ora_abs(n) ora_power(a,b) ora_sign(n) ora_sqrt(n)
//   ora_concat(a, b)               the || operator: NULL counts as ''
//   ora_substr(s, pos[, len]) ora_instr(s, sub[, pos[, occurrence]]) ora_length(s)
//   ora_upper ora_lower ora_initcap ora_ltrim(s[, set]) ora_rtrim(s[, set]) ora_trim(s) ora_trim3(mode, ch, s)
//   ora_lpad(s, n[, pad]) ora_rpad(s, n[, pad]) ora_replace(s, from[, to]) ora_translate(s, from, to)
//                                  (trim3 mode: 'LEADING', 'TRAILING' or 'BOTH'; ch one character)
//   ora_chr(n) ora_ascii(s)
//   ora_like(s, pattern[, escape]) case-sensitive LIKE with % and _
//   ora_user() ora_uid() ora_userenv(name) ora_sys_context(namespace, name[, length])
//   ora_variance(x) ora_stddev(x)  aggregates: Oracle's sample variants (0 for a single row)
//
// Arguments convert as Oracle converts implicitly: text to a number through TO_NUMBER (ORA-01722), a
// number to text as TO_CHAR prints it, text to a DATE through NLS_DATE_FORMAT unless it already has the
// stored "YYYY-MM-DD HH:MM:SS" form; a number where a DATE belongs is ORA-00932. A DATE must go through
// ora_to_char_date before it takes part in ora_concat or a string function.
//
// Errors are raised with sqlite3_result_error(ctx, "ORA-nnnnn: text", -1); the engine turns such a
// SQLite error message back into an engine::Error with that code.

#include <functional>
#include <memory>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>

#include "engine/engine.h"

struct sqlite3;

namespace engine::builtins {

// What the functions of one session need to know about it. The session owns it and keeps it alive
// as long as its SQLite connection; fields may change between statements (ALTER SESSION).
// A date format model tokenised once, to format many dates with it.
class DateFormat {
 public:
  // Throws engine::Error ORA-01821 for an element it does not know.
  explicit DateFormat(const std::string& format);
  std::string format(const DateTime& d) const;

 private:
  struct Elements;
  std::shared_ptr<const Elements> elements_;
};

// The machine's offset from UTC now, in minutes: a new session's time zone.
int localOffsetMinutes();

struct SessionContext {
  std::string user;                           // USER
  std::int64_t uid = 0;                       // UID
  std::int64_t schemaId = 0;                  // USERENV('SCHEMAID'): the user id of the current schema
  std::int64_t sessionId = 0;                 // USERENV('SESSIONID'), SYS_CONTEXT SID
  std::string currentSchema;                  // SYS_CONTEXT('USERENV','CURRENT_SCHEMA')
  std::string nlsDateFormat = "DD-MON-RR";
  std::string nlsTimestampFormat = "DD-MON-RR HH.MI.SSXFF AM";
  std::string nlsTimestampTzFormat = "DD-MON-RR HH.MI.SSXFF AM TZR";
  int timeZoneMinutes = localOffsetMinutes();  // SESSIONTIMEZONE (ALTER SESSION SET TIME_ZONE)
  std::string plsqlCcflags;                   // PLSQL_CCFLAGS: what PL/SQL compiled now is compiled with
  std::string terminal = "unknown";
  std::string host = "localhost";
  std::string osUser;
  std::string dbName;                         // SYS_CONTEXT('USERENV','DB_NAME')
  std::string module = "nuvo_sql";           // DBMS_APPLICATION_INFO: MODULE, ACTION, CLIENT_INFO
  std::string action;
  std::string clientInfo;
  std::string clientIdentifier;               // DBMS_SESSION.SET_IDENTIFIER
  // Application contexts set by DBMS_SESSION.SET_CONTEXT: namespace -> attribute -> value (upper-case keys).
  std::map<std::string, std::map<std::string, std::string>> contexts;
  bool sysdba = false;                        // logged on AS SYSDBA: USERENV('ISDBA') is TRUE
  std::function<DateTime()> now;              // SYSDATE; when empty, the local wall clock
  std::function<DateTime()> preciseNow;       // SYSTIMESTAMP (with the fraction); when empty, the local wall clock
  // The date formats the session uses (NLS_DATE_FORMAT, TO_CHAR's models), each compiled once.
  const DateFormat& dateFormat(const std::string& format);
  std::unordered_map<std::string, DateFormat> dateFormats;
};

// Registers every function above on the connection.
void registerFunctions(sqlite3* db, SessionContext* context);

// The local wall clock, to the second: SYSDATE when no clock is set.
DateTime localNow();
// The local wall clock to the microsecond: SYSTIMESTAMP when no clock is set.
DateTime localNowPrecise();

// Formatting and parsing shared with the engine and its tools.
// Appends the decimal digits of `magnitude`, zero-padded to at least `minDigits`.
void appendDigits(std::string& out, std::uint64_t magnitude, int minDigits);
// As Oracle prints a NUMBER: ".5", "-1.25", "100", "100000000000000000000"; doubles with at most 15
// significant digits; scientific notation only past 64 characters.
std::string formatNumber(double value);
std::string formatNumber(std::int64_t value);
// Oracle date format model; throws engine::Error ORA-01821 for an element it does not know.
std::string formatDate(const DateTime& d, const std::string& format);
// Parses text by an Oracle date format model; throws engine::Error (ORA-01858, 01861, ...) on mismatch.
// What the text leaves out comes from the local clock: the current year and month, day 1, midnight.
DateTime parseDate(const std::string& text, const std::string& format);
DateTime parseDate(const std::string& text, const std::string& format, const DateTime& now);  // another clock
// The same for a TIMESTAMP model, which may also hold FF (the fraction) and X (the radix character).
DateTime parseTimestamp(const std::string& text, const std::string& format, const DateTime& now);
// A TIMESTAMP's fraction rounded to `digits` digits, carrying into the seconds (ORA-01841 past 9999).
DateTime roundFraction(DateTime d, int digits);
// Oracle's TO_NUMBER of text without a format; throws ORA-01722.
Value parseNumber(const std::string& text);
// RAW as text: two upper-case hex digits a byte.
std::string hexText(const Bytes& bytes);
// Text as RAW (HEXTORAW): hex digits of either case, an odd count as if led by a 0; false when the
// text holds anything else.
bool parseHex(const std::string& text, Bytes& out);

// INTERVAL values: a DAY TO SECOND is a count of nanoseconds, a YEAR TO MONTH a count of months.
// Fields are numbered DAY 0, HOUR 1, MINUTE 2, SECOND 3 and YEAR 0, MONTH 1; `leading` and
// `trailing` name the first and last field a literal's text holds. Errors: ORA-01867 (not an
// interval), ORA-01873 (leading precision too small), ORA-01850/01851/01852 (a field out of range).
std::int64_t parseDaySecond(const std::string& text, int leading, int trailing);
std::int64_t parseYearMonth(const std::string& text, int leading, int trailing);
// TO_DSINTERVAL and TO_YMINTERVAL: Oracle's form ("1 02:03:04.5", "2-3") or the ISO form ("P1DT2H").
std::int64_t daySecondFromText(const std::string& text);
std::int64_t yearMonthFromText(const std::string& text);
// As Oracle shows them: "+01 02:03:04.500000" (day digits, fractional digits), "+02-03" (year digits).
std::string formatDaySecond(std::int64_t nanos, int dayDigits, int fraction);
std::string formatYearMonth(std::int64_t months, int yearDigits);
// Rounded to `fraction` digits and checked against the leading precision (ORA-01873).
std::int64_t fitDaySecond(std::int64_t nanos, int leading, int fraction);
std::int64_t fitYearMonth(std::int64_t months, int leading);

// Time zones (timezone.cpp): offsets in minutes east of UTC. parseZone reads "+02:00", "-5:30",
// UTC, GMT or Z (ORA-01882 for a region name, ORA-01874/01875 out of range); formatZone writes "+02:00".
int parseZone(const std::string& text);
std::string formatZone(int minutes);
// A datetime as UTC (a plain one is taken in `sessionZone`), and the same instant seen in `zone`.
DateTime toUtc(const DateTime& d, int sessionZone);
DateTime inZone(const DateTime& d, int sessionZone, int zone);

}  // namespace engine::builtins
