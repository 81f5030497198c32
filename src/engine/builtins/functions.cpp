// Registration of Oracle's SQL functions on a SQLite connection, and the conversions of their arguments.
#include "engine/builtins/functions.h"

#include <sqlite3.h>

#include <cmath>

#include "engine/builtins/internal.h"
#include "engine/builtins/library.h"

namespace engine::builtins {

// ---- Args

bool Args::isNull(int i) const {
  if (i >= argc_) return true;
  int type = sqlite3_value_type(argv_[i]);
  return type == SQLITE_NULL || (type == SQLITE_TEXT && sqlite3_value_bytes(argv_[i]) == 0);
}

bool Args::isNumber(int i) const {
  int type = i < argc_ ? sqlite3_value_type(argv_[i]) : SQLITE_NULL;
  return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

Value Args::raw(int i) const {
  if (isNull(i)) return {};
  switch (sqlite3_value_type(argv_[i])) {
    case SQLITE_INTEGER: return Value(static_cast<std::int64_t>(sqlite3_value_int64(argv_[i])));
    case SQLITE_FLOAT: return Value(sqlite3_value_double(argv_[i]));
    case SQLITE_BLOB: return Value(bytes(i));
    default: return Value(rawText(i));
  }
}

std::string Args::rawText(int i) const {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(argv_[i]));
  return bytes ? std::string(bytes, sqlite3_value_bytes(argv_[i])) : std::string();
}

Value Args::number(int i) const {
  if (isNull(i)) return {};
  switch (sqlite3_value_type(argv_[i])) {
    case SQLITE_INTEGER: return Value(static_cast<std::int64_t>(sqlite3_value_int64(argv_[i])));
    case SQLITE_FLOAT: return Value(sqlite3_value_double(argv_[i]));
    default: return parseNumber(rawText(i));
  }
}

double Args::real(int i) const { return number(i).asDouble(); }

std::int64_t Args::integer(int i) const {
  Value v = number(i);
  if (v.kind() == Value::Kind::Integer) return v.asInteger();
  double d = std::trunc(v.asDouble());
  if (std::fabs(d) > 9.2e18) raise(1426);
  return static_cast<std::int64_t>(d);
}

std::string Args::text(int i) const {
  if (isNull(i)) return {};
  switch (sqlite3_value_type(argv_[i])) {
    case SQLITE_INTEGER: return formatNumber(static_cast<std::int64_t>(sqlite3_value_int64(argv_[i])));
    case SQLITE_FLOAT: return formatNumber(sqlite3_value_double(argv_[i]));
    case SQLITE_BLOB: return hexText(bytes(i));
    default: return rawText(i);
  }
}

bool Args::isBinary(int i) const { return i < argc_ && sqlite3_value_type(argv_[i]) == SQLITE_BLOB; }

Bytes Args::bytes(int i) const {
  if (isNull(i)) return {};
  if (isBinary(i)) {
    const auto* b = static_cast<const std::uint8_t*>(sqlite3_value_blob(argv_[i]));
    return Bytes(b, b + sqlite3_value_bytes(argv_[i]));
  }
  Bytes out;
  if (!parseHex(text(i), out)) raise(1465);
  return out;
}

std::string hexText(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

bool parseHex(const std::string& text, Bytes& out) {
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  out.clear();
  out.reserve(text.size() / 2 + 1);
  std::size_t i = 0;
  if (text.size() % 2) {
    int d = digit(text[0]);
    if (d < 0) return false;
    out.push_back(static_cast<std::uint8_t>(d));
    i = 1;
  }
  for (; i < text.size(); i += 2) {
    int hi = digit(text[i]), lo = digit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return true;
}

DateTime Args::date(int i) const {
  if (isNumber(i)) raise(932, "DATE got NUMBER");
  std::string value = rawText(i);
  DateTime d;
  if (DateTime::fromIso(value, d) && isValidDate(d)) {
    d.nanos = 0;  // a TIMESTAMP where a DATE belongs loses its fraction, and its time zone
    d.zoned = false;
    d.offset = 0;
    return d;
  }
  return parseDate(value, session_.nlsDateFormat, now());
}

DateTime Args::timestamp(int i) const {
  if (isNumber(i)) raise(932, "TIMESTAMP got NUMBER");
  std::string value = rawText(i);
  DateTime d;
  if (DateTime::fromIso(value, d) && isValidDate(d)) return d;
  return parseTimestamp(value, session_.nlsTimestampFormat, now());
}

DateTime Args::now() const { return session_.now ? session_.now() : localNow(); }

Value textValue(std::string text) { return text.empty() ? Value() : Value(std::move(text)); }

namespace {

void setResult(sqlite3_context* ctx, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: sqlite3_result_null(ctx); return;
    case Value::Kind::Integer: sqlite3_result_int64(ctx, v.asInteger()); return;
    case Value::Kind::Real: {
      double d = v.asDouble();
      if (d == std::trunc(d) && std::fabs(d) < 9.2e18)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
      else
        sqlite3_result_double(ctx, d);
      return;
    }
    case Value::Kind::Text:
      if (v.asText().empty())
        sqlite3_result_null(ctx);
      else
        sqlite3_result_text(ctx, v.asText().data(), static_cast<int>(v.asText().size()), SQLITE_TRANSIENT);
      return;
    case Value::Kind::Date: {
      std::string iso = v.asDate().toIso();
      sqlite3_result_text(ctx, iso.data(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
      return;
    }
    case Value::Kind::Binary:
      if (v.asBytes().empty()) sqlite3_result_null(ctx);
      else sqlite3_result_blob64(ctx, v.asBytes().data(), v.asBytes().size(), SQLITE_TRANSIENT);
      return;
    case Value::Kind::Cursor: break;
  }
  sqlite3_result_error(ctx, "ORA-00932: inconsistent datatypes", -1);
}

void reportError(sqlite3_context* ctx, const std::string& message) {
  sqlite3_result_error(ctx, message.c_str(), static_cast<int>(message.size()));
}

struct Binding {
  const Definition* definition;
  SessionContext* session;
};

void invoke(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* binding = static_cast<const Binding*>(sqlite3_user_data(ctx));
  const Definition& def = *binding->definition;
  try {
    if (argc < def.minArgs || (def.maxArgs >= 0 && argc > def.maxArgs)) raise(909);
    Args args(argc, argv, *binding->session);
    if (def.nullInNullOut)
      for (int i = 0; i < argc; ++i)
        if (args.isNull(i)) return sqlite3_result_null(ctx);
    setResult(ctx, def.impl(args));
  } catch (const Error& e) {
    reportError(ctx, e.message());
  } catch (const std::exception& e) {
    reportError(ctx, std::string("ORA-00600: internal error code, arguments: [") + e.what() + "]");
  }
}

// Oracle's sample VARIANCE and STDDEV (0 for a single row), by Welford's running mean.
struct VarianceState {
  std::int64_t count;
  double mean;
  double squares;
};

void varianceStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* state = static_cast<VarianceState*>(sqlite3_aggregate_context(ctx, sizeof(VarianceState)));
  if (!state) return sqlite3_result_error_nomem(ctx);
  int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL || (type == SQLITE_TEXT && sqlite3_value_bytes(argv[0]) == 0)) return;
  double x = 0;
  try {
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
      x = sqlite3_value_double(argv[0]);
    } else {
      const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
      x = parseNumber(bytes ? bytes : "").asDouble();
    }
  } catch (const Error& e) {
    return reportError(ctx, e.message());
  }
  state->count += 1;
  double delta = x - state->mean;
  state->mean += delta / static_cast<double>(state->count);
  state->squares += delta * (x - state->mean);
}

void varianceResult(sqlite3_context* ctx, bool root) {
  auto* state = static_cast<VarianceState*>(sqlite3_aggregate_context(ctx, 0));
  if (!state || state->count == 0) return sqlite3_result_null(ctx);
  double variance = state->count == 1 ? 0 : state->squares / static_cast<double>(state->count - 1);
  setResult(ctx, Value(root ? std::sqrt(variance) : variance));
}

void varianceFinal(sqlite3_context* ctx) { varianceResult(ctx, false); }
void stddevFinal(sqlite3_context* ctx) { varianceResult(ctx, true); }

}  // namespace

void registerFunctions(sqlite3* db, SessionContext* context) {
  for (const Definition& def : definitions()) {
    int flags = SQLITE_UTF8 | (def.deterministic ? SQLITE_DETERMINISTIC : 0);
    auto* binding = new Binding{&def, context};
    sqlite3_create_function_v2(db, def.name, -1, flags, binding, invoke, nullptr, nullptr,
                               [](void* p) { delete static_cast<Binding*>(p); });
  }
  int aggregateFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  sqlite3_create_function_v2(db, "ora_variance", 1, aggregateFlags, nullptr, nullptr, varianceStep, varianceFinal,
                             nullptr);
  sqlite3_create_function_v2(db, "ora_stddev", 1, aggregateFlags, nullptr, nullptr, varianceStep, stddevFinal,
                             nullptr);
  registerListagg(db);
  registerIgnoreNulls(db);
}

}  // namespace engine::builtins
