// LAG, LEAD, FIRST_VALUE and LAST_VALUE with IGNORE NULLS as one SQLite window function, since SQLite's
// own versions always count NULL rows:
//   ora_nonnull_value(mode, value, offset, default)
// mode 0 (LAG): the frame ends at the current row; the offset-th non-NULL value before it.
// mode 1 (LEAD): the frame starts at the current row; the offset-th non-NULL value after it.
// mode 2 (FIRST_VALUE), 3 (LAST_VALUE): the first or last non-NULL value of the frame.
// An offset of 0 gives the current row's value; when no value is found the current row's default.
// An empty string is NULL, as everywhere in the engine.
#include <sqlite3.h>

#include <deque>
#include <string>

#include "engine/builtins/internal.h"

namespace engine::builtins {

namespace {

struct Row {
  sqlite3_value* value = nullptr;  // null pointer: a NULL value
  sqlite3_value* fallback = nullptr;
  long long offset = 1;
  bool offsetNull = false;
};

struct State {
  std::deque<Row> rows;
  int mode = 0;
  ~State() {
    for (auto& r : rows) release(r);
  }
  static void release(Row& r) {
    sqlite3_value_free(r.value);
    sqlite3_value_free(r.fallback);
  }
};

bool isNull(sqlite3_value* v) {
  int type = sqlite3_value_type(v);
  return type == SQLITE_NULL || (type == SQLITE_TEXT && sqlite3_value_bytes(v) == 0);
}

State*& slot(sqlite3_context* ctx, bool create) {
  static State* none = nullptr;
  auto** p = static_cast<State**>(sqlite3_aggregate_context(ctx, create ? sizeof(State*) : 0));
  return p ? *p : none;
}

void step(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  State*& s = slot(ctx, true);
  if (!s) s = new State;
  s->mode = sqlite3_value_int(argv[0]);
  Row r;
  if (!isNull(argv[1])) r.value = sqlite3_value_dup(argv[1]);
  if (argc > 2) {
    r.offsetNull = sqlite3_value_type(argv[2]) == SQLITE_NULL;
    r.offset = sqlite3_value_int64(argv[2]);
  }
  if (argc > 3 && sqlite3_value_type(argv[3]) != SQLITE_NULL) r.fallback = sqlite3_value_dup(argv[3]);
  s->rows.push_back(r);
}

void inverse(sqlite3_context* ctx, int, sqlite3_value**) {
  State* s = slot(ctx, false);
  if (!s || s->rows.empty()) return;
  State::release(s->rows.front());
  s->rows.pop_front();
}

void result(sqlite3_context* ctx, State* s) {
  if (!s || s->rows.empty()) return sqlite3_result_null(ctx);
  const auto& rows = s->rows;
  sqlite3_value* found = nullptr;
  const Row* current = nullptr;
  switch (s->mode) {
    case 0:
    case 1: {
      current = s->mode == 0 ? &rows.back() : &rows.front();
      if (current->offsetNull) return sqlite3_result_null(ctx);
      if (current->offset < 0) {
        std::string text = "ORA-01428: argument '" + std::to_string(current->offset) + "' is out of range";
        return sqlite3_result_error(ctx, text.c_str(), -1);
      }
      if (current->offset == 0) {
        found = current->value;
        break;
      }
      long long left = current->offset;
      std::size_t n = rows.size();
      for (std::size_t k = 1; k < n && !found; ++k) {
        const Row& r = s->mode == 0 ? rows[n - 1 - k] : rows[k];
        if (r.value && --left == 0) found = r.value;
      }
      if (!found) {
        if (current->fallback) return sqlite3_result_value(ctx, current->fallback);
        return sqlite3_result_null(ctx);
      }
      break;
    }
    case 2:
      for (auto it = rows.begin(); it != rows.end() && !found; ++it) found = it->value;
      break;
    default:
      for (auto it = rows.rbegin(); it != rows.rend() && !found; ++it) found = it->value;
      break;
  }
  if (found) sqlite3_result_value(ctx, found);
  else sqlite3_result_null(ctx);
}

void value(sqlite3_context* ctx) { result(ctx, slot(ctx, false)); }

void final(sqlite3_context* ctx) {
  State*& s = slot(ctx, false);
  result(ctx, s);
  delete s;
  s = nullptr;
}

}  // namespace

void registerIgnoreNulls(sqlite3* db) {
  sqlite3_create_window_function(db, "ora_nonnull_value", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, step, final,
                                 value, inverse, nullptr);
}

}  // namespace engine::builtins
