// The scheduler's repeat intervals: Oracle's calendar syntax (FREQ=DAILY; INTERVAL=2; BYHOUR=6,18;
// BYMINUTE=30; BYSECOND=0) or a PL/SQL date expression, as DBMS_SCHEDULER's jobs use them.

#include "engine/plsql/packages/schedule.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

#include "engine/plsql/packages/native.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::plsql {

namespace {

[[noreturn]] void invalid(const std::string& text) {
  throw Error(27465, "ORA-27465: invalid value " + text + " for attribute REPEAT_INTERVAL");
}

std::vector<int> numbers(const std::string& list, int lo, int hi, const std::string& text) {
  std::vector<int> out;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    item = trimmed(item);
    if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos) invalid(text);
    int n = std::stoi(item);
    if (n < lo || n > hi) invalid(text);
    out.push_back(n);
  }
  std::sort(out.begin(), out.end());
  return out;
}

struct Calendar {
  std::string freq;  // YEARLY ... SECONDLY
  int interval = 1;
  std::vector<int> hours, minutes, seconds;
};

std::optional<Calendar> parseCalendar(const std::string& text) {
  std::string t = upperCase(trimmed(text));
  if (t.rfind("FREQ", 0) != 0) return std::nullopt;
  Calendar c;
  std::stringstream in(t);
  std::string part;
  while (std::getline(in, part, ';')) {
    part = trimmed(part);
    if (part.empty()) continue;
    auto eq = part.find('=');
    if (eq == std::string::npos) invalid(text);
    std::string key = trimmed(part.substr(0, eq)), value = trimmed(part.substr(eq + 1));
    if (key == "FREQ") {
      static const char* const freqs[] = {"YEARLY", "MONTHLY", "WEEKLY", "DAILY", "HOURLY", "MINUTELY", "SECONDLY"};
      if (std::find(std::begin(freqs), std::end(freqs), value) == std::end(freqs)) invalid(text);
      c.freq = value;
    } else if (key == "INTERVAL") {
      auto n = numbers(value, 1, 999, text);
      if (n.size() != 1) invalid(text);
      c.interval = n[0];
    } else if (key == "BYHOUR") {
      c.hours = numbers(value, 0, 23, text);
    } else if (key == "BYMINUTE") {
      c.minutes = numbers(value, 0, 59, text);
    } else if (key == "BYSECOND") {
      c.seconds = numbers(value, 0, 59, text);
    } else {
      invalid(text);  // BYDAY, BYMONTHDAY, ...: not used by the applications
    }
  }
  if (c.freq.empty()) invalid(text);
  return c;
}

std::string shift(sqlite3* db, const std::string& iso, const std::string& modifier) {
  storage::Stmt s(db, "SELECT datetime(?1, ?2)");
  s.bindAll(iso, modifier);
  s.step();
  return s.text(0);
}

// The first time after `after` the calendar names, counting periods from `start`.
std::string nextByCalendar(sqlite3* db, const Calendar& c, const std::string& start, const std::string& after) {
  static const std::map<std::string, std::string> units = {
      {"YEARLY", "years"}, {"MONTHLY", "months"}, {"WEEKLY", "days"}, {"DAILY", "days"},
      {"HOURLY", "hours"}, {"MINUTELY", "minutes"}, {"SECONDLY", "seconds"}};
  const std::string& u = units.at(c.freq);
  int step = c.interval * (c.freq == "WEEKLY" ? 7 : 1);
  // Fields finer than the frequency come from the BY lists, else from the start date.
  auto field = [&](const std::string& iso, int from, int len) { return std::stoi(iso.substr(from, len)); };
  bool dayOrMore = c.freq == "YEARLY" || c.freq == "MONTHLY" || c.freq == "WEEKLY" || c.freq == "DAILY";
  std::vector<int> hours = c.hours.empty() || !dayOrMore ? std::vector<int>{-1} : c.hours;
  std::vector<int> minutes = c.minutes.empty() || c.freq == "MINUTELY" || c.freq == "SECONDLY" ? std::vector<int>{-1} : c.minutes;
  std::vector<int> seconds = c.seconds.empty() || c.freq == "SECONDLY" ? std::vector<int>{-1} : c.seconds;
  // Periods counted from the start; a start long past begins at the last period before `after`.
  std::string first = start;
  if (first < after && c.interval == 1) first = after.substr(0, 11) + start.substr(11);
  if (first > after && start < after) first = shift(db, first, "-" + std::to_string(step) + " " + u);
  for (int k = 0; k < 10000; ++k) {
    std::string base = k == 0 ? first : shift(db, first, "+" + std::to_string(k * step) + " " + u);
    for (int h : hours)
      for (int m : minutes)
        for (int s : seconds) {
          char buf[32];
          std::snprintf(buf, sizeof buf, "%s %02d:%02d:%02d", base.substr(0, 10).c_str(), h < 0 ? field(base, 11, 2) : h,
                        m < 0 ? field(base, 14, 2) : m, s < 0 ? field(base, 17, 2) : s);
          if (std::string(buf) > after) return buf;
        }
  }
  return {};
}

}  // namespace

void checkRepeatInterval(storage::SessionImpl& session, const std::string& interval) {
  if (trimmed(interval).empty()) return;
  if (parseCalendar(interval)) return;
  try {
    auto st = session.prepare("SELECT " + interval + " FROM dual");
    st->execute();
    if (st->next() && !st->value(0).isNull() && st->value(0).kind() != Value::Kind::Date) invalid(interval);
  } catch (const Error&) {
    invalid(interval);
  }
}

std::string nextRunDate(storage::SessionImpl& session, const std::string& interval, const std::string& start,
                        const std::string& after) {
  if (trimmed(interval).empty()) return {};
  if (auto c = parseCalendar(interval)) return nextByCalendar(session.connection(), *c, start.empty() ? after : start, after);
  auto st = session.prepare("SELECT " + interval + " FROM dual");
  st->execute();
  if (!st->next() || st->value(0).isNull()) return {};
  if (st->value(0).kind() != Value::Kind::Date) invalid(interval);
  return st->value(0).asDate().toIso();
}

}  // namespace engine::plsql
