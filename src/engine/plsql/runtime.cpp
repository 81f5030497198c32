#include "engine/plsql/runtime.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <functional>

#include "engine/builtins/functions.h"
#include "engine/plsql/plsql.h"
#include "engine/plsql/triggers.h"
#include "engine/plsql/unit.h"
#include "engine/storage/session.h"

namespace engine::plsql {

int Type::fieldIndex(const std::string& field) const {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].first == field) return static_cast<int>(i);
  return -1;
}

TypePtr scalarType(DataType t, const std::string& name, int length) {
  auto type = std::make_shared<Type>();
  type->scalar = t;
  type->name = name.empty() ? dataTypeName(t) : name;
  type->length = length;
  return type;
}

TypePtr timestampType(int digits) {
  auto type = std::make_shared<Type>();
  type->scalar = DataType::Timestamp;
  type->name = "TIMESTAMP";
  type->scale = digits;
  type->hasScale = true;
  return type;
}

TypePtr intervalType(DataType t, int leading, int fraction) {
  auto type = std::make_shared<Type>();
  type->scalar = t;
  type->name = t == DataType::IntervalYearMonth ? "INTERVAL YEAR TO MONTH" : "INTERVAL DAY TO SECOND";
  type->precision = leading;
  type->scale = t == DataType::IntervalYearMonth ? 0 : fraction;
  type->hasScale = true;
  return type;
}

TypePtr booleanType() {
  static const TypePtr t = [] {
    auto b = std::make_shared<Type>();
    b->kind = Type::Kind::Boolean;
    b->scalar = DataType::Boolean;
    b->name = "BOOLEAN";
    return b;
  }();
  return t;
}

TypePtr refCursorType() {
  static const TypePtr t = [] {
    auto c = std::make_shared<Type>();
    c->kind = Type::Kind::RefCursor;
    c->scalar = DataType::Cursor;
    c->name = "REF CURSOR";
    return c;
  }();
  return t;
}

Datum initialDatum(const Type& type) {
  if (type.atomicNull) return {};
  return newComposite(type);
}

Datum newComposite(const Type& type) {
  Datum d;
  if (type.kind == Type::Kind::Record) {
    d.record = std::make_shared<std::vector<Datum>>();
    for (const auto& f : type.fields) d.record->push_back(initialDatum(*f.second));
  } else if (type.kind == Type::Kind::Collection) {
    d.collection = std::make_shared<Collection>();
    d.collection->textKeys = type.textKeys;
  }
  return d;
}

namespace {

void jsonValue(std::string& out, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: out += "null"; return;
    case Value::Kind::Integer: out += std::to_string(v.asInteger()); return;
    case Value::Kind::Real: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.17g", v.asDouble());
      out += buffer;
      return;
    }
    default: break;
  }
  std::string text = v.kind() == Value::Kind::Date ? v.asDate().toIso() : v.kind() == Value::Kind::Text ? v.asText() : std::string();
  out += '"';
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

}  // namespace

std::string collectionJson(const Datum& d, const Type& type) {
  std::string out = "[";
  if (d.collection) {
    bool first = true;
    for (const auto& [key, element] : d.collection->ints) {
      if (!first) out += ',';
      first = false;
      if (type.element && type.element->kind == Type::Kind::Record) {
        if (!element.record) {
          out += "null";
          continue;
        }
        out += '[';
        for (std::size_t i = 0; i < element.record->size(); ++i) {
          if (i) out += ',';
          jsonValue(out, (*element.record)[i].v);
        }
        out += ']';
      } else {
        jsonValue(out, element.v);
      }
    }
  }
  return out + "]";
}

Datum collectionFromJson(Exec& x, const Value& json, const Type& type) {
  if (json.isNull()) return {};
  Datum out = newComposite(type);
  sqlite3* db = x.session.connection();
  // Each element: its JSON type and value; object elements are arrays of attribute values.
  auto read = [&](const std::string& text, const std::function<void(const std::string&, const Value&)>& each) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT type, value FROM json_each(?1)", -1, &s, nullptr) != SQLITE_OK) {
      sqlite3_finalize(s);
      raiseValueError("");
    }
    sqlite3_bind_text(s, 1, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      std::string kind = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
      Value v;
      if (kind == "integer") v = Value(static_cast<std::int64_t>(sqlite3_column_int64(s, 1)));
      else if (kind == "real") v = Value(sqlite3_column_double(s, 1));
      else if (kind != "null") v = Value(std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 1))));
      each(kind, v);
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE) raiseValueError("");
  };
  auto scalar = [&](const Value& v, const Type& t) {
    if (t.kind == Type::Kind::Scalar && (t.scalar == DataType::Date || t.scalar == DataType::Timestamp) &&
        v.kind() == Value::Kind::Text) {
      DateTime d;
      if (DateTime::fromIso(v.asText(), d)) return Value(d);
    }
    return convertScalar(x, v, t);
  };
  const Type& element = *type.element;
  std::int64_t n = 0;
  read(json.asText(), [&](const std::string& kind, const Value& v) {
    Datum& d = out.collection->ints[++n];
    if (element.kind != Type::Kind::Record) {
      d.v = scalar(v, element);
      return;
    }
    if (kind != "array") return;  // a NULL object
    d = newComposite(element);
    std::size_t i = 0;
    read(v.asText(), [&](const std::string&, const Value& field) {
      if (i < element.fields.size()) (*d.record)[i].v = scalar(field, *element.fields[i].second);
      ++i;
    });
  });
  if (type.limit > 0 && n > type.limit) raiseOra(6532);
  return out;
}

sql::CompileContext::CollectionRows collectionRows(const Type& type) {
  sql::CompileContext::CollectionRows rows;
  auto column = [](const std::string& name, const Type& t) {
    Column c;
    c.name = name;
    c.type = t.kind == Type::Kind::Scalar ? t.scalar : DataType::Unknown;
    if (c.type == DataType::Varchar2 || c.type == DataType::Char) c.size = t.length;
    if (c.type == DataType::Number && t.hasScale) {
      c.precision = t.precision;
      c.scale = t.scale;
    }
    return c;
  };
  const Type& element = *type.element;
  if (element.kind == Type::Kind::Record) {
    rows.objects = true;
    for (const auto& [name, t] : element.fields) rows.columns.push_back(column(name, *t));
  } else {
    rows.columns.push_back(column("COLUMN_VALUE", element));
  }
  return rows;
}

Datum copyDatum(const Datum& d) {
  Datum out{d.v, nullptr, nullptr};
  if (d.record) {
    out.record = std::make_shared<std::vector<Datum>>();
    for (const auto& f : *d.record) out.record->push_back(copyDatum(f));
  }
  if (d.collection) {
    out.collection = std::make_shared<Collection>();
    out.collection->textKeys = d.collection->textKeys;
    for (const auto& [k, v] : d.collection->ints) out.collection->ints[k] = copyDatum(v);
    for (const auto& [k, v] : d.collection->texts) out.collection->texts[k] = copyDatum(v);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------------
// Errors

int PlsqlError::sqlcode() const {
  if (user && user->code == 0) return 1;
  if (code == 1403) return 100;
  return -code;
}

PlsqlError PlsqlError::from(const Error& e) {
  PlsqlError p;
  p.code = e.code();
  const std::string& m = e.message();
  std::size_t nl = m.find('\n');
  p.message = m.substr(0, nl);
  // Lines of a stack gathered below (a call through SQL) stay with the error.
  while (nl != std::string::npos) {
    std::size_t next = m.find('\n', nl + 1);
    p.stack.push_back(m.substr(nl + 1, next == std::string::npos ? std::string::npos : next - nl - 1));
    nl = next;
  }
  return p;
}

Error PlsqlError::toError() const {
  std::string text = message;
  for (const auto& s : stack) text += "\n" + s;
  return Error(code, text);
}

std::string frameLocation(const Frame& frame) {
  if (frame.unit && !frame.unit->name.empty())
    return "at " + frame.unit->qualified() + ", line " + std::to_string(frame.line);
  return "at line " + std::to_string(frame.line);
}

void raiseOra(int code, const std::string& detail) {
  // PL/SQL's own run-time errors; the rest have their text in Error::ora.
  static const std::map<int, const char*> texts = {
      {1001, "invalid cursor"},
      {6511, "PL/SQL: cursor already open"},
      {6592, "CASE not found while executing CASE statement"},
      {6531, "Reference to uninitialized collection"},
      {6530, "Reference to uninitialized composite"},
      {6532, "Subscript outside of limit"},
      {6533, "Subscript beyond count"},
      {30625, "method dispatch on NULL SELF argument is disallowed"},
      {6508, "PL/SQL: could not find program unit being called"},
      {6510, "PL/SQL: unhandled user-defined exception"},
      {4067, "%s"},
  };
  auto it = texts.find(code);
  if (it == texts.end()) throw PlsqlError::from(Error::ora(code, detail));
  char number[16];
  std::snprintf(number, sizeof number, "ORA-%05d: ", code);
  std::string text = it->second;
  if (text == "%s") text = detail;
  throw PlsqlError::from(Error(code, number + text));
}

void raiseValueError(const std::string& what) {
  PlsqlError e;
  e.code = 6502;
  e.message = "ORA-06502: PL/SQL: numeric or value error" + (what.empty() ? std::string() : ": " + what);
  throw e;
}

// ---------------------------------------------------------------------------------------------------
// Conversion and assignment

namespace {

std::size_t charCount(const std::string& t) {
  std::size_t n = 0;
  for (char c : t)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

bool fitsRange32(double v) { return v >= -2147483648.0 && v <= 2147483647.0; }

Value roundNumber(const Value& v, const Type& type) {
  if (v.isNull()) return v;
  if (type.integer) {
    Value n = v.kind() == Value::Kind::Integer ? v : Value(static_cast<std::int64_t>(std::llround(v.asDouble())));
    if (type.range32 && !fitsRange32(v.kind() == Value::Kind::Integer ? static_cast<double>(v.asInteger()) : std::round(v.asDouble())))
      raiseOra(1426);
    return n;
  }
  if (!type.hasScale && type.precision == 0) return v;
  double d = v.asDouble();
  if (type.hasScale || type.precision > 0) {
    double f = std::pow(10.0, type.scale);
    d = std::round(d * f) / f;
    if (type.precision > 0 && std::fabs(d) >= std::pow(10.0, type.precision - type.scale))
      raiseValueError("number precision too large");
  }
  if (std::floor(d) == d && std::fabs(d) < 9.0e15) return Value(static_cast<std::int64_t>(d));
  return Value(d);
}

}  // namespace

Value toNumber(const Value& v) {
  if (v.isNumber() || v.isNull()) return v;
  if (v.kind() == Value::Kind::Text) {
    try {
      return builtins::parseNumber(v.asText());
    } catch (const Error&) {
      raiseValueError("character to number conversion error");
    }
  }
  raiseOra(932, "inconsistent datatypes: expected NUMBER got DATE");
}

Value convertScalar(Exec& x, const Value& v, const Type& type) {
  if (v.isNull() || type.kind != Type::Kind::Scalar) return v;
  // RAW keeps bytes as bytes, its length counted in bytes.
  if (type.scalar == DataType::Raw || (type.scalar == DataType::Blob && v.kind() == Value::Kind::Text)) {
    Value raw = v;
    if (v.kind() != Value::Kind::Binary) {  // text is read as hex digits
      Bytes bytes;
      if (!builtins::parseHex(v.kind() == Value::Kind::Text ? v.asText() : x.session.format(v), bytes))
        raiseValueError("hex to raw conversion error");
      if (bytes.empty()) return {};
      raw = Value(std::move(bytes));
    } else if (type.scalar == DataType::Raw && v.asBytes().empty()) {
      return {};  // a RAW of no bytes is NULL
    }
    if (type.length > 0 && raw.asBytes().size() > static_cast<std::size_t>(type.length))
      raiseValueError("raw variable length too long");
    return raw;
  }
  switch (type.scalar) {
    case DataType::Number: return roundNumber(toNumber(v), type);
    case DataType::Varchar2:
    case DataType::Char:
    case DataType::Long:
    case DataType::Clob:
    case DataType::Rowid: {
      std::string text = v.kind() == Value::Kind::Text ? v.asText() : x.session.format(v);
      // An empty CLOB stays a value; an empty string of the other types is NULL.
      if (text.empty()) return type.scalar == DataType::Clob && v.kind() == Value::Kind::Text ? v : Value();
      if (type.length > 0 && charCount(text) > static_cast<std::size_t>(type.length))
        raiseValueError("character string buffer too small");
      if (type.scalar == DataType::Char && type.length > 0) text.append(type.length - charCount(text), ' ');
      return Value(std::move(text));
    }
    case DataType::Timestamp: {
      // Rounded to the variable's fractional digits.
      DateTime d;
      if (v.kind() == Value::Kind::Date) {
        d = v.asDate();
      } else if (v.kind() == Value::Kind::Text) {
        try {
          if (!DateTime::fromIso(v.asText(), d))
            d = builtins::parseTimestamp(v.asText(), x.session.context().nlsTimestampFormat, builtins::localNow());
        } catch (const Error& e) {
          throw PlsqlError::from(e);
        }
      } else {
        raiseOra(932, "inconsistent datatypes: expected TIMESTAMP got NUMBER");
      }
      int digits = type.hasScale ? type.scale : 6;
      d = builtins::roundFraction(d, digits);
      d.precision = digits;
      // A WITH TIME ZONE variable gives a plain value the session's zone; a plain one drops a zone.
      bool zoned = type.name == "TIMESTAMP WITH TIME ZONE";
      if (zoned && !d.zoned) d.offset = x.session.context().timeZoneMinutes;
      if (!zoned) d.offset = 0;
      d.zoned = zoned;
      return Value(d);
    }
    case DataType::IntervalDaySecond:
    case DataType::IntervalYearMonth: {
      // Held as the text Oracle shows, with the variable's precisions; SQL hands over an interval
      // as its count of nanoseconds or months.
      bool months = type.scalar == DataType::IntervalYearMonth;
      int leading = type.hasScale ? type.precision : 2;
      if (v.kind() != Value::Kind::Integer && v.kind() != Value::Kind::Text)
        raiseOra(932, std::string("inconsistent datatypes: expected ") + dataTypeName(type.scalar) + " got " +
                          (v.kind() == Value::Kind::Date ? "DATE" : "NUMBER"));
      try {
        std::int64_t n = v.kind() == Value::Kind::Integer ? v.asInteger()
                         : months                          ? builtins::yearMonthFromText(v.asText())
                                                           : builtins::daySecondFromText(v.asText());
        if (months) return Value(builtins::formatYearMonth(builtins::fitYearMonth(n, leading), leading));
        int fraction = type.hasScale ? type.scale : 6;
        return Value(builtins::formatDaySecond(builtins::fitDaySecond(n, leading, fraction), leading, fraction));
      } catch (const Error& e) {
        throw PlsqlError::from(e);
      }
    }
    case DataType::Date:
      if (v.kind() == Value::Kind::Date) {
        if (!v.asDate().isTimestamp() && v.asDate().nanos == 0) return v;
        const DateTime& t = v.asDate();  // a TIMESTAMP loses its fraction
        return Value(DateTime{t.year, t.month, t.day, t.hour, t.minute, t.second});
      }
      if (v.kind() == Value::Kind::Text) {
        try {
          return Value(builtins::parseDate(v.asText(), x.session.context().nlsDateFormat));
        } catch (const Error& e) {
          throw PlsqlError::from(e);
        }
      }
      raiseOra(932, "inconsistent datatypes: expected DATE got NUMBER");
    default: return v;
  }
}

Value convertScalar(Exec& x, Value&& v, const Type& type) {
  if (v.isNull() || type.kind != Type::Kind::Scalar) return std::move(v);
  switch (type.scalar) {
    case DataType::Number:
      if ((v.isNumber() && !type.integer && !type.hasScale && type.precision == 0) ||
          (v.kind() == Value::Kind::Integer && type.integer && !type.range32))
        return std::move(v);
      break;
    case DataType::Varchar2:
    case DataType::Long:
      // Never more characters than bytes: the characters are counted only when the bytes exceed.
      if (v.kind() == Value::Kind::Text && !v.asText().empty() &&
          (type.length == 0 || v.asText().size() <= static_cast<std::size_t>(type.length)))
        return std::move(v);
      break;
    case DataType::Date:
      if (v.kind() == Value::Kind::Date && !v.asDate().isTimestamp() && v.asDate().nanos == 0) return std::move(v);
      break;
    default: break;
  }
  return convertScalar(x, static_cast<const Value&>(v), type);
}

void assign(Exec& x, Datum& target, const Type& type, Datum value) {
  if (type.kind == Type::Kind::Record || type.kind == Type::Kind::Collection) {
    // CAST(MULTISET(...) AS type) comes from SQL as the collection's JSON text.
    if (type.kind == Type::Kind::Collection && !type.indexBy && value.v.kind() == Value::Kind::Text) {
      target = collectionFromJson(x, value.v, type);
      return;
    }
    if (!value.record && !value.collection) {
      // An object or a nested table may be NULL as a whole.
      if (type.atomicNull) {
        target = Datum{};
        return;
      }
      raiseOra(6530, "Reference to uninitialized composite");
    }
    target = copyDatum(value);
    return;
  }
  target.v = convertScalar(x, value.v, type);
}

Flow runList(Exec& x, const std::vector<StmtP>& list) {
  for (const auto& s : list) {
    x.frame->line = s->line;
    Flow f = s->exec(x);
    if (f != Flow::Next) return f;
  }
  return Flow::Next;
}

// ---------------------------------------------------------------------------------------------------
// SQL inside PL/SQL

SqlStatement::~SqlStatement() { sqlite3_finalize(stmt); }

void SqlStatement::compile(Exec& x) {
  sql::CompileContext ctx = x.session.compileContext();
  if (!owner.empty()) ctx.user = ctx.schema = owner;
  ctx.insidePlsql = true;
  ctx.resolveExternal = [this](const sql::Expr& e) -> std::optional<sql::CompileContext::External> {
    auto it = externals.find(e.pos.offset);
    if (it == externals.end()) return std::nullopt;
    return it->second;
  };
  ctx.resolveCollection = [this](const sql::Expr& e) -> std::optional<sql::CompileContext::CollectionRows> {
    auto it = collections.find(e.pos.offset);
    if (it == collections.end()) return std::nullopt;
    return it->second;
  };
  sqlite3_finalize(stmt);
  stmt = nullptr;
  try {
    code = sql::compileStatement(*ast, ctx, text);
  } catch (const Error& e) {
    throw PlsqlError::from(e);
  }
  ddlVersion = x.session.impl().ddlVersion();
}

namespace {

// An expression of type CLOB or BLOB whose value has no characters or bytes: an empty LOB.
bool isEmptyLob(const ExprP& e, const Value& v) {
  if (!e || !e->type || e->type->kind != Type::Kind::Scalar) return false;
  if (e->type->scalar == DataType::Clob) return v.kind() == Value::Kind::Text && v.asText().empty();
  if (e->type->scalar == DataType::Blob) return v.kind() == Value::Kind::Binary && v.asBytes().empty();
  return false;
}

}  // namespace

void SqlStatement::bindAll(Exec& x, sqlite3_stmt* s) {
  // Each SQLite parameter's source, looked up by name once per compilation rather than per run.
  if (paramsNames_ != code.bindNames || paramsKnown_ != paramByBind.size()) {
    paramsFound_.clear();
    for (const auto& name : code.bindNames) {
      auto it = paramByBind.find(name);
      paramsFound_.push_back(it == paramByBind.end() ? nullptr : &it->second);
    }
    paramsNames_ = code.bindNames;
    paramsKnown_ = paramByBind.size();
  }
  // The cached statement's values are kept until its next binding, so SQLite reads their texts in
  // place; a statement prepared for one run copies them.
  const bool stable = s == stmt;
  if (stable) bound_.resize(code.bindNames.size());
  for (std::size_t i = 0; i < code.bindNames.size(); ++i) {
    const SqlParam* p = paramsFound_[i];
    Value own;
    Value& v = stable ? bound_[i] : own;
    if (!p) v = Value();
    else if (p->hostBind >= 0) v = (*x.binds)[static_cast<std::size_t>(p->hostBind)].v;
    else v = p->expr->eval(x);
    if (isEmptyLob(p ? p->expr : nullptr, v)) {
      // Bound as the zero-length value it is; a bind of '' is NULL otherwise.
      if (v.kind() == Value::Kind::Text) sqlite3_bind_text(s, static_cast<int>(i + 1), "", 0, SQLITE_STATIC);
      else sqlite3_bind_zeroblob(s, static_cast<int>(i + 1), 0);
      continue;
    }
    try {
      x.session.bindParameter(s, static_cast<int>(i + 1), v, code.bindTargets[i], stable);
    } catch (const Error& e) {
      throw PlsqlError::from(e);
    }
  }
}

sqlite3_stmt* SqlStatement::start(Exec& x) {
  if (ddlVersion != x.session.impl().ddlVersion() && !busy) compile(x);
  if (busy) return startOwn(x);
  try {
    x.session.checkInterrupt();
    if (code.isQuery && code.forUpdate) x.session.lockDatabase(code.noWait, true, code.links);
    else if (!code.isQuery) x.session.beginChange();
    if (!code.isQuery || code.forUpdate) x.session.noteChange(code);
    if (!stmt) {
      int rc = sqlite3_prepare_v3(x.session.connection(), code.sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
      if (rc != SQLITE_OK) x.session.throwMapped(rc, nullptr);
    }
  } catch (const Error& e) {
    throw PlsqlError::from(e);
  }
  sqlite3_reset(stmt);
  bindAll(x, stmt);
  busy = true;
  return stmt;
}

sqlite3_stmt* SqlStatement::startOwn(Exec& x) {
  sqlite3_stmt* s = nullptr;
  try {
    int rc = sqlite3_prepare_v3(x.session.connection(), code.sql.c_str(), -1, 0, &s, nullptr);
    if (rc != SQLITE_OK) x.session.throwMapped(rc, nullptr);
  } catch (const Error& e) {
    throw PlsqlError::from(e);
  }
  bindAll(x, s);
  return s;
}

bool SqlStatement::step(storage::SessionImpl& session, sqlite3_stmt* s) {
  int rc = sqlite3_step(s);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  try {
    sqlite3_reset(s);
    session.throwMapped(rc, &code);
  } catch (const Error& e) {
    throw PlsqlError::from(e);
  }
}

Value SqlStatement::column(sqlite3_stmt* s, int i) const {
  const Column& c = code.columns[static_cast<std::size_t>(i)];
  return storage::SessionImpl::columnOf(s, i, c.type, c.scale, c.precision);
}

void SqlStatement::finish(sqlite3_stmt* s) {
  if (s == stmt) {
    sqlite3_reset(stmt);
    busy = false;
  } else {
    sqlite3_finalize(s);
  }
}

std::int64_t SqlStatement::runDml(Exec& x, std::vector<std::vector<Value>>* returned) {
  if (!internal && firesTriggers(x.session, code)) {
    if (ddlVersion != x.session.impl().ddlVersion()) compile(x);
    try {
      return runTriggered(x, *ast, *this, returned);
    } catch (const Error& e) {
      throw PlsqlError::from(e);
    }
  }
  sqlite3_stmt* s = start(x);
  struct Done {
    SqlStatement& self;
    sqlite3_stmt* s;
    ~Done() { self.finish(s); }
  } done{*this, s};
  while (step(x.session, s)) {
    if (!returned) continue;
    std::vector<Value> row;
    for (std::size_t i = 0; i < code.columns.size(); ++i) row.push_back(column(s, static_cast<int>(i)));
    returned->push_back(std::move(row));
  }
  return sqlite3_changes64(x.session.connection());
}

// ---------------------------------------------------------------------------------------------------
// Cursors

bool CursorState::next() {
  if (!open || exhausted) return false;
  if (statement->step(*session, stmt)) {
    row.resize(cols.size());
    for (std::size_t i = 0; i < cols.size(); ++i) row[i] = statement->column(stmt, static_cast<int>(i));
    ++rows;
    found = true;
  } else {
    found = false;
    exhausted = true;
    // The statement lets its table cursors go now rather than at CLOSE: a row written while the
    // cursor stays open (the insert after a lookup that found nothing) then has no cursor to save.
    sqlite3_reset(stmt);
  }
  fetchedOnce = true;
  return found;
}

const Value& CursorState::value(std::size_t column) const {
  static const Value null;
  return column < row.size() && found ? row[column] : null;
}

void CursorState::close() {
  if (open && statement) statement->finish(stmt);
  open = false;
  stmt = nullptr;
}

CursorState::~CursorState() { close(); }

}  // namespace engine::plsql
