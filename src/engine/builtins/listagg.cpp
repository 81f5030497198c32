// LISTAGG as an SQLite aggregate and window function. SQLite's aggregates take no ORDER BY of their
// own here, so the compiler passes the WITHIN GROUP keys as arguments and the rows are sorted at the end:
//   ora_listagg(value, delimiter, truncate, indicator, with_count, distinct, key1, how1, key2, how2, ...)
// how: bit 0 descending, bit 1 NULLs first. The result is a VARCHAR2 of at most 4000 bytes: longer is
// ORA-01489, or with ON OVERFLOW TRUNCATE the whole values that fit, the delimiter, the indicator and
// (WITH COUNT) the number of values left out in parentheses.
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "engine/builtins/internal.h"

namespace engine::builtins {

namespace {

constexpr std::size_t kMaxBytes = 4000;

struct Key {
  int type = SQLITE_NULL;  // SQLITE_NULL, SQLITE_FLOAT (numbers) or SQLITE_TEXT
  double number = 0;
  std::string text;
};

struct Item {
  std::string value;
  std::vector<Key> keys;
  long long seq = 0;  // arrival order: ties keep it
};

struct State {
  std::vector<Item> items;
  std::vector<int> how;
  std::string delimiter, indicator = "...";
  bool truncate = false, withCount = true, distinct = false, configured = false;
  long long seq = 0;
};

bool isNullValue(sqlite3_value* v) {
  int type = sqlite3_value_type(v);
  return type == SQLITE_NULL || (type == SQLITE_TEXT && sqlite3_value_bytes(v) == 0);
}

std::string textOf(sqlite3_value* v) {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string();
}

State*& statePointer(sqlite3_context* ctx, bool create) {
  static State* none = nullptr;
  auto** slot = static_cast<State**>(sqlite3_aggregate_context(ctx, create ? sizeof(State*) : 0));
  return slot ? *slot : none;
}

State* state(sqlite3_context* ctx) {
  State*& s = statePointer(ctx, true);
  if (!s) s = new State;
  return s;
}

void step(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc < 6 || argc % 2 != 0) return sqlite3_result_error(ctx, "ORA-00909: invalid number of arguments", -1);
  State* s = state(ctx);
  if (!s->configured) {
    s->configured = true;
    s->delimiter = isNullValue(argv[1]) ? std::string() : textOf(argv[1]);
    s->truncate = sqlite3_value_int(argv[2]) != 0;
    if (!isNullValue(argv[3])) s->indicator = textOf(argv[3]);
    else if (sqlite3_value_type(argv[3]) != SQLITE_NULL) s->indicator.clear();
    s->withCount = sqlite3_value_int(argv[4]) != 0;
    s->distinct = sqlite3_value_int(argv[5]) != 0;
    for (int i = 7; i < argc; i += 2) s->how.push_back(sqlite3_value_int(argv[i]));
  }
  if (isNullValue(argv[0])) return;  // NULL values are left out
  Item item;
  item.value = textOf(argv[0]);
  item.seq = s->seq++;
  for (int i = 6; i < argc; i += 2) {
    Key k;
    int type = sqlite3_value_type(argv[i]);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
      k.type = SQLITE_FLOAT;
      k.number = sqlite3_value_double(argv[i]);
    } else if (!isNullValue(argv[i])) {
      k.type = SQLITE_TEXT;
      k.text = textOf(argv[i]);
    }
    item.keys.push_back(std::move(k));
  }
  s->items.push_back(std::move(item));
}

// The window's frame lost its first row.
void inverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
  State* s = state(ctx);
  if (isNullValue(argv[0]) || s->items.empty()) return;
  auto oldest = std::min_element(s->items.begin(), s->items.end(),
                                 [](const Item& a, const Item& b) { return a.seq < b.seq; });
  s->items.erase(oldest);
}

// -1, 0, 1 as a sorts before, with or after b under one key's direction and NULL placement.
int compareKeys(const Key& a, const Key& b, int how) {
  bool descending = how & 1;
  bool nullsFirst = how & 2;
  if (a.type == SQLITE_NULL || b.type == SQLITE_NULL) {
    if (a.type == b.type) return 0;
    return (a.type == SQLITE_NULL) == nullsFirst ? -1 : 1;
  }
  int c;
  if (a.type == SQLITE_FLOAT && b.type == SQLITE_FLOAT) c = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
  else if (a.type != b.type) c = a.type == SQLITE_FLOAT ? -1 : 1;  // numbers before text, as SQLite sorts
  else c = a.text.compare(b.text) < 0 ? -1 : a.text.compare(b.text) > 0 ? 1 : 0;
  return descending ? -c : c;
}

void result(sqlite3_context* ctx, State* s) {
  if (!s || s->items.empty()) return sqlite3_result_null(ctx);
  std::vector<const Item*> order;
  order.reserve(s->items.size());
  for (const auto& item : s->items) order.push_back(&item);
  std::stable_sort(order.begin(), order.end(), [s](const Item* a, const Item* b) {
    for (std::size_t k = 0; k < s->how.size() && k < a->keys.size(); ++k)
      if (int c = compareKeys(a->keys[k], b->keys[k], s->how[k])) return c < 0;
    return a->seq < b->seq;
  });
  if (s->distinct) {
    std::set<std::string> seen;
    std::vector<const Item*> unique;
    for (const Item* item : order)
      if (seen.insert(item->value).second) unique.push_back(item);
    order.swap(unique);
  }
  std::string out;
  std::size_t taken = 0;
  for (; taken < order.size(); ++taken) {
    std::size_t extra = (taken ? s->delimiter.size() : 0) + order[taken]->value.size();
    if (out.size() + extra > kMaxBytes) break;
    if (taken) out += s->delimiter;
    out += order[taken]->value;
  }
  if (taken < order.size()) {
    if (!s->truncate) return sqlite3_result_error(ctx, "ORA-01489: result of string concatenation is too long", -1);
    // Drop whole values until the delimiter, the indicator and the count fit behind them.
    std::vector<std::size_t> ends;  // out's length after each value taken
    std::size_t length = 0;
    for (std::size_t i = 0; i < taken; ++i) {
      length += (i ? s->delimiter.size() : 0) + order[i]->value.size();
      ends.push_back(length);
    }
    for (;;) {
      std::string tail = s->delimiter + s->indicator;
      if (s->withCount) tail += "(" + std::to_string(order.size() - taken) + ")";
      std::size_t kept = taken ? ends[taken - 1] : 0;
      if (kept + tail.size() <= kMaxBytes || taken == 0) {
        out.resize(kept);
        out += tail;
        break;
      }
      --taken;
    }
  }
  if (out.empty()) return sqlite3_result_null(ctx);
  sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void value(sqlite3_context* ctx) { result(ctx, statePointer(ctx, false)); }

void final(sqlite3_context* ctx) {
  State*& s = statePointer(ctx, false);
  result(ctx, s);
  delete s;
  s = nullptr;
}

}  // namespace

void registerListagg(sqlite3* db) {
  sqlite3_create_window_function(db, "ora_listagg", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, step, final, value,
                                 inverse, nullptr);
}

}  // namespace engine::builtins
