#include "engine/storage/session.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <string_view>
#include <thread>

#include "engine/plsql/packages/job_queue.h"
#include "engine/plsql/packages/pipes.h"
#include "engine/plsql/packages/user_locks.h"
#include "engine/plsql/plsql.h"
#include "engine/sql/lexer.h"
#include "engine/sql/parser.h"
#include "engine/storage/constraints.h"
#include "engine/storage/executor.h"
#include "engine/storage/password.h"
#include "engine/storage/rowid.h"
#include "engine/storage/sqlite_util.h"

namespace engine::storage {

namespace {

constexpr std::size_t kMaxCachedStatements = 256;

// ---------------------------------------------------------------------------------------------------
// Values across the SQLite boundary

// `stable`: the value stays as it is until the statement is bound again, so SQLite may read a text
// or bytes bound unchanged in place instead of copying them.
void bindValue(SessionImpl& session, sqlite3_stmt* stmt, int index, const Value& v, DataType target, bool stable = false) {
  const std::string& nls = session.context().nlsDateFormat;
  switch (v.kind()) {
    case Value::Kind::Null:
      sqlite3_bind_null(stmt, index);
      return;
    case Value::Kind::Integer:
      if (target == DataType::Varchar2 || target == DataType::Char || target == DataType::Long) {
        std::string t = builtins::formatNumber(v.asInteger());
        sqlite3_bind_text(stmt, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
      } else {
        sqlite3_bind_int64(stmt, index, v.asInteger());
      }
      return;
    case Value::Kind::Real: {
      double d = v.asDouble();
      if (target == DataType::Varchar2 || target == DataType::Char || target == DataType::Long) {
        std::string t = builtins::formatNumber(d);
        sqlite3_bind_text(stmt, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
      } else if (std::floor(d) == d && std::fabs(d) < 9.0e15) {
        sqlite3_bind_int64(stmt, index, static_cast<std::int64_t>(d));
      } else {
        sqlite3_bind_double(stmt, index, d);
      }
      return;
    }
    case Value::Kind::Text: {
      const std::string& t = v.asText();
      if (t.empty()) {
        sqlite3_bind_null(stmt, index);
      } else if (target == DataType::Number) {
        bindValue(session, stmt, index, builtins::parseNumber(t), target);
      } else if (target == DataType::Timestamp) {
        DateTime d;
        if (!DateTime::fromIso(t, d))
          d = builtins::parseTimestamp(t, session.context().nlsTimestampFormat, builtins::localNow());
        std::string iso = d.toIso();
        sqlite3_bind_text(stmt, index, iso.data(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
      } else if (target == DataType::Date) {
        std::string iso = builtins::parseDate(t, nls).toIso();
        sqlite3_bind_text(stmt, index, iso.data(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
      } else if (target == DataType::Raw || target == DataType::Blob) {
        // Text for a RAW or BLOB is hex digits, stored as the bytes they spell (HEXTORAW).
        Bytes bytes;
        if (!builtins::parseHex(t, bytes)) throw Error::ora(1465);
        sqlite3_bind_blob64(stmt, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
      } else {
        sqlite3_bind_text(stmt, index, t.data(), static_cast<int>(t.size()), stable ? SQLITE_STATIC : SQLITE_TRANSIENT);
      }
      return;
    }
    case Value::Kind::Date: {
      const DateTime& d = v.asDate();
      if (char iso[19]; target != DataType::Varchar2 && d.toIso19(iso)) {
        sqlite3_bind_text(stmt, index, iso, sizeof iso, SQLITE_TRANSIENT);
        return;
      }
      std::string t = target == DataType::Varchar2
                          ? session.context()
                                .dateFormat(d.zoned ? session.context().nlsTimestampTzFormat
                                            : d.isTimestamp() ? session.context().nlsTimestampFormat
                                                              : nls)
                                .format(d)
                          : target == DataType::Date && d.nanos ? DateTime{d.year, d.month, d.day, d.hour, d.minute, d.second}.toIso()
                                                                : d.toIso();
      sqlite3_bind_text(stmt, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
      return;
    }
    case Value::Kind::Cursor:
      throw Error::ora(932, "inconsistent datatypes: expected - got CURSOR");
    case Value::Kind::Binary: {
      const Bytes& b = v.asBytes();
      if (b.empty()) sqlite3_bind_null(stmt, index);  // an empty RAW is NULL
      else sqlite3_bind_blob64(stmt, index, b.data(), b.size(), SQLITE_TRANSIENT);
      return;
    }
  }
}

// An INTERVAL column as Oracle shows it; text kept by an earlier engine is read as an interval's text.
Value intervalValue(sqlite3_stmt* stmt, int i, DataType type, int fraction, int leading) {
  std::int64_t n = 0;
  if (sqlite3_column_type(stmt, i) == SQLITE_INTEGER || sqlite3_column_type(stmt, i) == SQLITE_FLOAT) {
    n = sqlite3_column_int64(stmt, i);
  } else {
    std::string text(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                     static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)));
    try {
      n = type == DataType::IntervalDaySecond ? builtins::daySecondFromText(text) : builtins::yearMonthFromText(text);
    } catch (const Error&) {
      return Value(std::move(text));
    }
  }
  return Value(type == DataType::IntervalDaySecond ? builtins::formatDaySecond(n, leading, fraction)
                                                   : builtins::formatYearMonth(n, leading));
}

Value columnValue(sqlite3_stmt* stmt, int i, DataType type, int fraction, int leading) {
  if ((type == DataType::IntervalDaySecond || type == DataType::IntervalYearMonth) &&
      sqlite3_column_type(stmt, i) != SQLITE_NULL)
    return intervalValue(stmt, i, type, fraction, leading);
  switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return Value(static_cast<std::int64_t>(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT: {
      double d = sqlite3_column_double(stmt, i);
      if (std::floor(d) == d && std::fabs(d) < 9.0e15) return Value(static_cast<std::int64_t>(d));
      return Value(d);
    }
    case SQLITE_BLOB: {
      const auto* b = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt, i));
      return Value(Bytes(b, b + sqlite3_column_bytes(stmt, i)));
    }
    default: {
      const char* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
      std::string_view text(t, static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)));
      if (type == DataType::Date || type == DataType::Timestamp) {
        DateTime d;
        if (DateTime::fromIso(text, d)) {
          if (type == DataType::Timestamp) d.precision = fraction;
          return Value(d);
        }
      }
      return Value(std::string(text));
    }
  }
}

// A number literal's value as SQLite reads it: an integer when it has only digits and fits, else a
// double. (std::from_chars: the process's locale never changes the decimal point.)
Value literalNumber(const std::string& text) {
  const char* end = text.data() + text.size();
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    std::int64_t i = 0;
    auto r = std::from_chars(text.data(), end, i);
    if (r.ec == std::errc() && r.ptr == end) return Value(i);
  }
  double d = 0;
  std::string digits = text;
  if (!digits.empty() && digits.back() == '.') digits.pop_back();  // "1." reads as 1.0
  if (!digits.empty() && digits.front() == '.') digits.insert(digits.begin(), '0');
  if (std::from_chars(digits.data(), digits.data() + digits.size(), d).ec == std::errc::result_out_of_range) {
    // Beyond a double, SQLite reads infinity, or zero for a negative exponent.
    std::size_t e = digits.find('E');
    bool tiny = e != std::string::npos && e + 1 < digits.size() && digits[e + 1] == '-';
    d = tiny ? 0.0 : HUGE_VAL;
  }
  return Value(d);
}

// The literal tokens of a statement text: its shape (the text with each literal replaced by a mark of
// its kind), each literal as written, and its value.
struct LiteralScan {
  std::string shape;
  std::vector<std::string> sources;
  std::vector<Value> values;
};

// False when the text has no literal or does not lex (the parser then reports the error).
bool scanLiterals(const std::string& text, LiteralScan& out) {
  std::vector<sql::Token> tokens;
  try {
    tokens = sql::tokenize(text);
  } catch (const Error&) {
    return false;
  }
  std::size_t last = 0;
  for (const auto& t : tokens) {
    if (!sql::isLiteralToken(t)) continue;
    auto begin = static_cast<std::size_t>(t.pos.offset), end = static_cast<std::size_t>(t.endOffset);
    out.shape.append(text, last, begin - last);
    out.shape += '\0';
    // '' is NULL, compiled as such: it never shares the compilation of a non-empty string.
    out.shape += t.kind == sql::TokenKind::Number ? 'n' : t.text.empty() ? 'e' : 's';
    last = end;
    out.sources.emplace_back(text, begin, end - begin);
    out.values.push_back(t.kind == sql::TokenKind::String ? Value(t.text) : literalNumber(t.text));
  }
  if (out.sources.empty()) return false;
  out.shape.append(text, last, std::string::npos);
  return true;
}

// Binds the literals that became parameters, after the statement's own binds.
void bindLiterals(sqlite3_stmt* stmt, const sql::Compiled& code, const std::vector<Value>& literals) {
  int first = static_cast<int>(code.bindNames.size()) + 1;
  for (std::size_t k = 0; k < code.literalParams.size(); ++k) {
    const Value& v = literals[static_cast<std::size_t>(code.literalParams[k])];
    int index = first + static_cast<int>(k);
    switch (v.kind()) {
      case Value::Kind::Integer: sqlite3_bind_int64(stmt, index, v.asInteger()); break;
      case Value::Kind::Real: sqlite3_bind_double(stmt, index, v.asDouble()); break;
      default: {
        const std::string& t = v.asText();
        sqlite3_bind_text(stmt, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
      }
    }
  }
}

// The fixed prefix of a LIKE pattern: up to the first % or _.
std::string likePrefix(sqlite3_value* v) {
  const char* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  std::string_view pattern(p, static_cast<std::size_t>(sqlite3_value_bytes(v)));
  return std::string(pattern.substr(0, std::min(pattern.find('%'), pattern.find('_'))));
}

// RAW and BLOB as Oracle prints them: two upper-case hex digits a byte.
std::string hexOf(const Bytes& bytes) { return builtins::hexText(bytes); }

std::string upperName(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c == ':') continue;
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return out;
}

// ---------------------------------------------------------------------------------------------------

class StatementImpl : public Statement {
 public:
  StatementImpl(SessionImpl& session, std::shared_ptr<Prepared> prepared, const std::string& text,
                std::vector<Value> literals)
      : session_(session), p_(std::move(prepared)), text_(text), literals_(std::move(literals)) {
    values_.resize(p_->code.bindNames.size());
  }

  ~StatementImpl() override { release(); }

  const std::vector<std::string>& bindNames() const override { return p_->code.bindNames; }

  void bind(const std::string& name, const Value& value, BindDirection) override {
    values_[slot(name)] = value;
  }

  void bindOut(const std::string& name, DataType) override { slot(name); }

  Value bindValue(const std::string& name) const override { return values_[slot(name)]; }

  bool isQuery() const override { return p_->compiled && p_->code.isQuery; }

  const std::vector<Column>& columns() const override { return p_->code.columns; }

  void execute() override {
    try {
      run();
      session_.noteLocks();
      session_.publishIo();
    } catch (const Error& e) {
      session_.noteLocks();
      // An interrupt is spent by the statement it cancels, also one that was waiting for a lock.
      bool interrupted = session_.interruptFlag().exchange(false);
      if (e.code() == 1013 || (e.code() == 54 && interrupted)) throw Error::ora(1013);
      throw;
    }
  }

 private:
  void run() {
    session_.impl().checkFault(text_);
    session_.checkInterrupt();
    rows_ = 0;
    hasRow_ = false;
    done_ = false;
    if (p_->block) {
      plsql::runBlock(session_, *p_->block, values_);
      done_ = true;
      return;
    }
    if (!p_->compiled) {
      release();
      rows_ = runStatement(session_, *p_->ast, p_->text);
      done_ = true;
      return;
    }
    if (p_->ddlVersion != session_.impl().ddlVersion() || p_->compiledSchema != session_.currentSchema() ||
        p_->compiledUser != session_.currentUser() ||
        (!p_->linkVersions.empty() && session_.linksChanged(p_->linkVersions))) {
      release();
      p_ = session_.recompile(p_);
    }
    const sql::Compiled& code = p_->code;
    if (!code.isQuery || code.forUpdate) session_.noteChange(code);
    if (!code.returningInto.empty()) {
      session_.beginChange();
      session_.undoOnFailure([&] { runReturning(code); });
      done_ = true;
      return;
    }
    if (plsql::firesTriggers(session_, code)) {
      release();
      auto own = ownCompilation();
      rows_ = plsql::runTriggeredDml(session_, *own->ast, text_, own->code, own->code.bindNames, values_);
      done_ = true;
      return;
    }
    if (!code.bindTests.empty()) {
      std::string outcome = testOutcomes(code);
      if (outcome != variantKey_) {
        release();
        variantKey_ = std::move(outcome);
      }
    }
    if (code.isQuery && code.forUpdate) session_.lockDatabase(code.noWait, true, code.links);
    else if (!code.isQuery) session_.beginChange();
    acquire();
    sqlite3_reset(stmt_);
    for (std::size_t i = 0; i < values_.size(); ++i)
      storage::bindValue(session_, stmt_, static_cast<int>(i + 1), values_[i], code.bindTargets[i]);
    bindLiterals(stmt_, code, literals_);
    // A MERGE's second statement runs with the same values, which bind() may change meanwhile.
    if (!code.nextSql.empty()) bound_ = values_;
    if (code.isQuery) {
      fetched_ = false;
      return;
    }
    int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
      sqlite3_reset(stmt_);
      session_.throwMapped(rc, &code);
    }
    rows_ = sqlite3_changes64(session_.connection());
    sqlite3_reset(stmt_);
    if (!code.nextSql.empty()) rows_ += runNext(code);
  }

  // DML ... RETURNING ... INTO :binds: the changed row's values go to the out binds (NULL when no row
  // changed). Scalar binds take one row: more is ORA-01422.
  void runReturning(const sql::Compiled& code) {
    std::vector<std::vector<Value>> returned;
    if (plsql::firesTriggers(session_, code)) {
      release();
      auto own = ownCompilation();
      rows_ = plsql::runTriggeredDml(session_, *own->ast, text_, own->code, own->code.bindNames, values_, &returned);
    } else {
      acquire();
      sqlite3_reset(stmt_);
      for (std::size_t i = 0; i < values_.size(); ++i)
        storage::bindValue(session_, stmt_, static_cast<int>(i + 1), values_[i], code.bindTargets[i]);
      bindLiterals(stmt_, code, literals_);
      int rc;
      while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
        std::vector<Value> row;
        for (std::size_t i = 0; i < code.columns.size(); ++i)
          row.push_back(columnValue(stmt_, static_cast<int>(i), code.columns[i].type, code.columns[i].scale,
                                    code.columns[i].precision));
        returned.push_back(std::move(row));
      }
      sqlite3_reset(stmt_);
      if (rc != SQLITE_DONE) session_.throwMapped(rc, &code);
      rows_ = static_cast<std::int64_t>(returned.size());
    }
    if (returned.size() > 1) throw Error::ora(1422);
    for (std::size_t i = 0; i < code.returningInto.size(); ++i)
      values_[slot(code.returningInto[i])] = returned.empty() ? Value() : returned[0][i];
  }

  // The second SQLite statement of a MERGE, with the same binds.
  std::int64_t runNext(const sql::Compiled& code) {
    sqlite3* db = session_.connection();
    sqlite3_stmt* next = nullptr;
    int rc = sqlite3_prepare_v3(db, code.nextSql.c_str(), -1, 0, &next, nullptr);
    if (rc != SQLITE_OK) session_.throwMapped(rc, &code);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(next, sqlite3_finalize);
    int count = sqlite3_bind_parameter_count(next);
    for (std::size_t i = 0; i < bound_.size() && static_cast<int>(i) < count; ++i)
      storage::bindValue(session_, next, static_cast<int>(i + 1), bound_[i], code.bindTargets[i]);
    bindLiterals(next, code, literals_);
    rc = sqlite3_step(next);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) session_.throwMapped(rc, &code);
    return sqlite3_changes64(db);
  }


 public:
  bool next() override {
    if (!isQuery() || done_ || !stmt_) return false;
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
      const auto& cols = p_->code.columns;
      row_.resize(cols.size());
      for (std::size_t i = 0; i < cols.size(); ++i) row_[i] = columnValue(stmt_, static_cast<int>(i), cols[i].type, cols[i].scale, cols[i].precision);
      ++rows_;
      session_.countRowRead();
      hasRow_ = true;
      return true;
    }
    hasRow_ = false;
    done_ = true;
    if (rc != SQLITE_DONE) {
      sqlite3_reset(stmt_);
      session_.throwMapped(rc, &p_->code);
    }
    sqlite3_reset(stmt_);
    return false;
  }

  const Value& value(std::size_t column) const override {
    static const Value null;
    if (!hasRow_ || column >= row_.size()) return null;
    return row_[column];
  }

  std::int64_t rowCount() const override { return rows_; }

  void close() override {
    done_ = true;
    hasRow_ = false;
    if (stmt_) sqlite3_reset(stmt_);
  }

 private:
  // The bind's index: names compare case-insensitively, a leading colon ignored.
  std::size_t slot(std::string_view name) const {
    if (!name.empty() && name.front() == ':') name.remove_prefix(1);
    auto& names = p_->code.bindNames;
    for (std::size_t i = 0; i < names.size(); ++i)
      if (std::equal(name.begin(), name.end(), names[i].begin(), names[i].end(), [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
          }))
        return i;
    throw Error(1006, "ORA-01006: bind variable does not exist");
  }

  // This text's own compilation for triggered DML, which rebuilds the statement from its syntax tree:
  // a compilation shared by texts of one shape has another text's tree.
  std::shared_ptr<Prepared> ownCompilation() {
    if (p_->code.literalParams.empty()) return p_;
    return session_.compileInline(text_);
  }

  // Per bind test, with the values bound now: '1' it holds, '0' it does not (NULL included: a WHERE
  // conjunct), '?' not known here (a conversion SQLite makes).
  std::string testOutcomes(const sql::Compiled& code) const {
    std::string key;
    for (const auto& t : code.bindTests) {
      auto it = std::find(code.bindNames.begin(), code.bindNames.end(), t.bind);
      std::size_t i = static_cast<std::size_t>(it - code.bindNames.begin());
      const Value& v = values_[i];
      DataType target = code.bindTargets[i];
      char outcome = '?';
      if (target == DataType::Varchar2 || target == DataType::Unknown) {
        if (v.isNull() || (v.kind() == Value::Kind::Text && v.asText().empty())) outcome = '0';
        else if (v.kind() == Value::Kind::Text) outcome = v.asText() == t.text ? '1' : '0';
        else if (target == DataType::Varchar2 && v.kind() == Value::Kind::Integer)
          outcome = builtins::formatNumber(v.asInteger()) == t.text ? '1' : '0';
      }
      key += outcome;
    }
    return key;
  }

  // The SQL of the variant for the outcomes: each test marker replaced, also inside a replacement.
  static void appendVariant(std::string& out, const std::string& sql, const sql::Compiled& code, const std::string& key) {
    sql::replaceMarkers(out, sql, '@', [&](std::string& o, std::size_t k) {
      const auto& t = code.bindTests[k];
      if (key[k] == '1') o += "1";
      else appendVariant(o, key[k] == '0' ? t.otherwise : t.whole, code, key);
    });
  }

  // Uses the cached SQLite statement when it is free, else prepares one of its own.
  void acquire() {
    if (stmt_) return;
    if (!p_->code.bindTests.empty()) {
      auto& v = p_->variants[variantKey_];
      if (!v) {
        v = std::make_unique<Prepared::Variant>();
        appendVariant(v->sql, p_->code.sql, p_->code, variantKey_);
      }
      const char* sql = v->sql.c_str();
      if (!v->inUse) {
        if (!v->stmt) {
          int rc = sqlite3_prepare_v3(session_.connection(), sql, -1, SQLITE_PREPARE_PERSISTENT, &v->stmt, nullptr);
          if (rc != SQLITE_OK) session_.throwMapped(rc, nullptr);
        }
        v->inUse = true;
        variant_ = v.get();
        stmt_ = v->stmt;
        owned_ = false;
        return;
      }
      int rc = sqlite3_prepare_v3(session_.connection(), sql, -1, 0, &stmt_, nullptr);
      if (rc != SQLITE_OK) session_.throwMapped(rc, nullptr);
      owned_ = true;
      return;
    }
    if (!p_->stmtInUse) {
      if (!p_->stmt) {
        int rc = sqlite3_prepare_v3(session_.connection(), p_->code.sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                    &p_->stmt, nullptr);
        if (rc != SQLITE_OK) session_.throwMapped(rc, nullptr);
      }
      p_->stmtInUse = true;
      stmt_ = p_->stmt;
      owned_ = false;
      return;
    }
    int rc = sqlite3_prepare_v3(session_.connection(), p_->code.sql.c_str(), -1, 0, &stmt_, nullptr);
    if (rc != SQLITE_OK) session_.throwMapped(rc, nullptr);
    owned_ = true;
  }

  void release() {
    if (!stmt_) return;
    if (owned_) {
      sqlite3_finalize(stmt_);
    } else {
      // Every execution binds all parameters again, so the bindings need no clearing.
      sqlite3_reset(stmt_);
      if (variant_) variant_->inUse = false;
      else p_->stmtInUse = false;
    }
    stmt_ = nullptr;
    variant_ = nullptr;
  }

  SessionImpl& session_;
  std::shared_ptr<Prepared> p_;
  std::string text_;
  std::vector<Value> literals_;  // the values of the text's literal tokens
  std::string variantKey_;       // the outcomes of the bind tests the statement was acquired for
  Prepared::Variant* variant_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  bool owned_ = false;
  std::vector<Value> values_;
  std::vector<Value> bound_;
  std::vector<Value> row_;
  bool hasRow_ = false, done_ = false, fetched_ = false;
  std::int64_t rows_ = 0;
};

}  // namespace

// ---------------------------------------------------------------------------------------------------

SessionImpl::SessionImpl(std::shared_ptr<DatabaseImpl> database, sqlite3* db, std::string user, bool sysdba,
                         std::int64_t sid)
    : database_(std::move(database)), db_(db), catalog_(db), user_(std::move(user)), schema_(user_),
      currentUser_(user_), sysdba_(sysdba), sid_(sid) {
  context_.user = user_;
  context_.sessionId = sid_;
  context_.currentSchema = schema_;
  context_.dbName = database_->name();
  context_.sysdba = sysdba_;
  if (auto info = catalog_.findUser(user_)) context_.uid = context_.schemaId = info->id;
  std::string nls = database_->parameter("nls_date_format");
  if (!nls.empty()) context_.nlsDateFormat = nls;
  DatabaseImpl* dbi = database_.get();
  locks_ = lockRegistry(database_->directory());
  context_.now = [dbi] { return dbi->now(); };
  context_.preciseNow = [dbi] { return dbi->preciseNow(); };
  catalog_.keepDefinitions([dbi] { return dbi->ddlVersion(); });
  builtins::registerFunctions(db_, &context_);
  registerEngineFunctions();
  sqlite3_progress_handler(
      db_, 1000, [](void* p) -> int { return static_cast<SessionImpl*>(p)->interruptFlag().load() ? 1 : 0; }, this);
  registerBusyHandler();
  // A page cache of 32 MB keeps the working set of lookups in memory.
  exec(db_, "PRAGMA main.cache_size=-32768");
}

SessionImpl::~SessionImpl() {
  cache_.clear();
  shapes_.clear();
  plsql_.reset();
  if (inTransaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  for (auto& [name, linked] : links_) {
    linked.catalog.reset();
    sqlite3_close_v2(linked.db);
  }
  sqlite3_close_v2(db_);
  locks_->forget(sid_);
  database_->unregisterSession(sid_);
}

void SessionImpl::undoOnFailure(const std::function<void()>& change) {
  exec(db_, "SAVEPOINT nuvo_statement");
  try {
    change();
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK TO nuvo_statement; RELEASE nuvo_statement", nullptr, nullptr, nullptr);
    throw;
  }
  exec(db_, "RELEASE nuvo_statement");
}

std::array<std::int64_t, 4> SessionImpl::ioCounters() {
  auto status = [this](int op) {
    int current = 0, highwater = 0;
    sqlite3_db_status(db_, op, &current, &highwater, 0);
    return static_cast<std::int64_t>(current);
  };
  return {status(SQLITE_DBSTATUS_CACHE_HIT), rowsRead_, status(SQLITE_DBSTATUS_CACHE_MISS),
          status(SQLITE_DBSTATUS_CACHE_WRITE)};
}

namespace {

std::string jsonText(const char* text, std::size_t size) {
  std::string out = "\"";
  for (std::size_t i = 0; i < size; ++i) {
    char ch = text[i];
    if (ch == '"' || ch == '\\') out += '\\';
    if (static_cast<unsigned char>(ch) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", ch);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string argText(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
}

}  // namespace

void SessionImpl::registerEngineFunctions() {
  // Functions that may raise an error are not deterministic, so SQLite never evaluates them ahead of
  // the rows (a constant argument would otherwise fail a statement that touches no row).
  auto fn = [this](const char* name, int args, void (*impl)(sqlite3_context*, int, sqlite3_value**), bool deterministic) {
    sqlite3_create_function_v2(db_, name, args, SQLITE_UTF8 | (deterministic ? SQLITE_DETERMINISTIC : 0), this, impl,
                               nullptr, nullptr, nullptr);
  };
  fn("nuvo_rowid", 2, [](sqlite3_context* c, int, sqlite3_value** v) {
    if (sqlite3_value_type(v[1]) == SQLITE_NULL) return sqlite3_result_null(c);
    std::string r = encodeRowid(sqlite3_value_int64(v[0]), sqlite3_value_int64(v[1]));
    sqlite3_result_text(c, r.c_str(), static_cast<int>(r.size()), SQLITE_TRANSIENT);
  }, true);
  fn("nuvo_rowid_num", 1, [](sqlite3_context* c, int, sqlite3_value** v) {
    if (sqlite3_value_type(v[0]) == SQLITE_NULL) return sqlite3_result_null(c);
    std::int64_t objectId, rowid;
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(v[0]));
    if (!decodeRowid(text, objectId, rowid)) return sqlite3_result_error(c, "ORA-01410: invalid ROWID", -1);
    sqlite3_result_int64(c, rowid);
  }, true);
  // nuvo_file_size(path): the size of a database file in bytes, 0 when it cannot be read.
  fn("nuvo_file_size", 1, [](sqlite3_context* c, int, sqlite3_value** v) {
    const unsigned char* path = sqlite3_value_text(v[0]);
    std::error_code ec;
    auto size = path ? std::filesystem::file_size(reinterpret_cast<const char*>(path), ec) : 0;
    sqlite3_result_int64(c, ec ? 0 : static_cast<std::int64_t>(size));
  }, false);
  // nuvo_sess_io(sid, n): counter n of V$SESS_IO, read live for this session.
  fn("nuvo_sess_io", 2, [](sqlite3_context* c, int, sqlite3_value** v) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    std::int64_t sid = sqlite3_value_int64(v[0]);
    auto counters = sid == self->sid_ ? self->ioCounters() : self->database_->sessionIo(sid);
    int which = sqlite3_value_int(v[1]);
    sqlite3_result_int64(c, which >= 0 && which < 4 ? counters[static_cast<std::size_t>(which)] : 0);
  }, false);
  // nuvo_sess_app(sid, n, stored): MODULE, ACTION, CLIENT_INFO or CLIENT_IDENTIFIER of V$SESSION as the session set them
  // last, else the value stored at logon.
  fn("nuvo_sess_app", 3, [](sqlite3_context* c, int, sqlite3_value** v) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    std::int64_t sid = sqlite3_value_int64(v[0]);
    int which = sqlite3_value_int(v[1]);
    auto app = self->database_->sessionApp(sid);
    if (!app || which < 0 || which > 3) return sqlite3_result_value(c, v[2]);
    const std::string& text = (*app)[static_cast<std::size_t>(which)];
    if (text.empty()) return sqlite3_result_null(c);
    sqlite3_result_text(c, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }, false);
  fn("nuvo_error", 1, [](sqlite3_context* c, int, sqlite3_value** v) {
    sqlite3_result_error(c, Error::ora(sqlite3_value_int(v[0])).message().c_str(), -1);
  }, false);
  fn("nuvo_not_null", 3, [](sqlite3_context* c, int, sqlite3_value** v) {
    if (sqlite3_value_type(v[0]) != SQLITE_NULL) return sqlite3_result_value(c, v[0]);
    std::string column = reinterpret_cast<const char*>(sqlite3_value_text(v[2]));
    std::string message = sqlite3_value_int(v[1]) == 1407 ? "ORA-01407: cannot update (" + column + ") to NULL"
                                                          : "ORA-01400: cannot insert NULL into (" + column + ")";
    sqlite3_result_error(c, message.c_str(), -1);
  }, false);
  fn("nuvo_fit_num", 3, [](sqlite3_context* c, int, sqlite3_value** v) {
    int type = sqlite3_value_type(v[0]);
    if (type == SQLITE_NULL) return sqlite3_result_null(c);
    double limit = std::pow(10.0, sqlite3_value_int(v[1]) - sqlite3_value_int(v[2]));
    if (type != SQLITE_TEXT && std::fabs(sqlite3_value_double(v[0])) >= limit)
      return sqlite3_result_error(c, Error::ora(1438).message().c_str(), -1);
    sqlite3_result_value(c, v[0]);
  }, false);
  // nuvo_fit_raw(value, max bytes, column): a RAW that fits its column, else ORA-12899.
  fn("nuvo_fit_raw", 3, [](sqlite3_context* c, int, sqlite3_value** v) {
    if (sqlite3_value_type(v[0]) == SQLITE_NULL) return sqlite3_result_null(c);
    int bytes = sqlite3_value_bytes(v[0]);
    int max = sqlite3_value_int(v[1]);
    if (bytes > max) {
      std::string message = "ORA-12899: value too large for column " +
                            std::string(reinterpret_cast<const char*>(sqlite3_value_text(v[2]))) + " (actual: " +
                            std::to_string(bytes) + ", maximum: " + std::to_string(max) + ")";
      return sqlite3_result_error(c, message.c_str(), -1);
    }
    sqlite3_result_value(c, v[0]);
  }, false);
  fn("nuvo_fit_text", 5, [](sqlite3_context* c, int, sqlite3_value** v) {
    if (sqlite3_value_type(v[0]) == SQLITE_NULL) return sqlite3_result_null(c);
    const char* data = reinterpret_cast<const char*>(sqlite3_value_text(v[0]));
    int bytes = sqlite3_value_bytes(v[0]);
    int max = sqlite3_value_int(v[1]);
    bool pad = sqlite3_value_int(v[2]) != 0;
    // Characters are counted only when it matters: never more characters than bytes.
    bool inChars = sqlite3_value_int(v[3]) != 0 && (bytes > max || pad);
    int actual = inChars ? static_cast<int>(std::count_if(data, data + bytes, [](char ch) {
                             return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
                           }))
                         : bytes;
    if (actual > max) {
      std::string message = "ORA-12899: value too large for column " +
                            std::string(reinterpret_cast<const char*>(sqlite3_value_text(v[4]))) + " (actual: " +
                            std::to_string(actual) + ", maximum: " + std::to_string(max) + ")";
      return sqlite3_result_error(c, message.c_str(), -1);
    }
    if (!pad || actual >= max) return sqlite3_result_value(c, v[0]);
    std::string padded(data, static_cast<std::size_t>(bytes));
    padded.append(static_cast<std::size_t>(max - actual), ' ');
    sqlite3_result_text(c, padded.data(), static_cast<int>(padded.size()), SQLITE_TRANSIENT);
  }, false);
  // The index range of LIKE with a pattern known before the rows: values from the pattern's fixed
  // prefix (up to the first % or _) to just past it; without a prefix, every text (a BLOB sorts
  // after all text).
  fn("nuvo_like_low", 1, [](sqlite3_context* c, int, sqlite3_value** v) {
    if (sqlite3_value_type(v[0]) == SQLITE_NULL) return sqlite3_result_null(c);
    std::string prefix = likePrefix(v[0]);
    sqlite3_result_text(c, prefix.data(), static_cast<int>(prefix.size()), SQLITE_TRANSIENT);
  }, true);
  fn("nuvo_like_high", 1, [](sqlite3_context* c, int, sqlite3_value** v) {
    if (sqlite3_value_type(v[0]) == SQLITE_NULL) return sqlite3_result_null(c);
    std::string prefix = likePrefix(v[0]);
    while (!prefix.empty() && static_cast<unsigned char>(prefix.back()) == 0xFF) prefix.pop_back();
    if (prefix.empty()) return sqlite3_result_zeroblob(c, 0);
    prefix.back() = static_cast<char>(static_cast<unsigned char>(prefix.back()) + 1);
    sqlite3_result_text(c, prefix.data(), static_cast<int>(prefix.size()), SQLITE_TRANSIENT);
  }, true);
  fn("nuvo_user", 0, [](sqlite3_context* c, int, sqlite3_value**) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    sqlite3_result_text(c, self->user().c_str(), -1, SQLITE_TRANSIENT);
  }, false);
  fn("nuvo_sid", 0, [](sqlite3_context* c, int, sqlite3_value**) {
    sqlite3_result_int64(c, static_cast<SessionImpl*>(sqlite3_user_data(c))->sessionId());
  }, false);
  // V$DB_PIPES reads the database's pipes as a JSON array.
  fn("nuvo_db_pipes", 0, [](sqlite3_context* c, int, sqlite3_value**) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    std::string json = "[";
    auto quoted = [](const std::string& text) { return jsonText(text.data(), text.size()); };
    for (const auto& p : plsql::listPipes(self->impl().directory())) {
      if (json.size() > 1) json += ",";
      json += "{\"name\":" + quoted(p.name) + ",\"owner\":" + (p.isPrivate ? quoted(p.owner) : "null") +
              ",\"type\":\"" + (p.isPrivate ? "PRIVATE" : "PUBLIC") + "\",\"size\":" + std::to_string(p.size) + "}";
    }
    json += "]";
    sqlite3_result_text(c, json.c_str(), static_cast<int>(json.size()), SQLITE_TRANSIENT);
  }, false);
  // V$LOCK and V$LOCKED_OBJECT read the locks of the database's sessions in this process as a JSON
  // array: the write lock as TX and TM locks, and DBMS_LOCK's user locks (UL).
  fn("nuvo_locks", 0, [](sqlite3_context* c, int, sqlite3_value**) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    auto quoted = [](const std::string& text) {
      std::string out = "\"";
      for (char ch : text) {
        if (ch == '"' || ch == '\\') out += '\\';
        if (static_cast<unsigned char>(ch) >= 0x20) out += ch;
      }
      return out + "\"";
    };
    std::string json = "[";
    auto add = [&](const LockRow& r) {
      if (json.size() > 1) json += ",";
      json += "{\"sid\":" + std::to_string(r.sid) + ",\"type\":\"" + r.type + "\",\"owner\":" + quoted(r.owner) +
              ",\"name\":" + quoted(r.name) + ",\"id1\":" + std::to_string(r.id1) + ",\"id2\":" +
              std::to_string(r.id2) + ",\"lmode\":" + std::to_string(r.lmode) + ",\"request\":" +
              std::to_string(r.request) + ",\"ctime\":" + std::to_string(r.ctime) + ",\"block\":" +
              std::to_string(r.block) + "}";
    };
    for (const auto& r : self->locks_->rows()) add(r);
    for (const auto& u : plsql::listUserLocks(self->impl().directory())) {
      LockRow r;
      r.sid = u.sid;
      r.type = "UL";
      r.id1 = u.id;
      r.lmode = u.mode;
      r.request = u.request;
      r.ctime = u.seconds;
      r.block = u.blocking ? 1 : 0;
      add(r);
    }
    json += "]";
    sqlite3_result_text(c, json.c_str(), static_cast<int>(json.size()), SQLITE_TRANSIENT);
  }, false);
  // DBA_JOBS_RUNNING and THIS_DATE read the jobs running in this process as a JSON array.
  fn("nuvo_jobs_running", 0, [](sqlite3_context* c, int, sqlite3_value**) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    std::string json = "[";
    for (const auto& j : plsql::runningJobs(self->impl().directory())) {
      if (json.size() > 1) json += ",";
      json += "{\"job\":" + std::to_string(j.job) + ",\"sid\":" + (j.sid ? std::to_string(j.sid) : "null") +
              ",\"this_date\":\"" + j.thisDate + "\"}";
    }
    json += "]";
    sqlite3_result_text(c, json.c_str(), static_cast<int>(json.size()), SQLITE_TRANSIENT);
  }, false);
  fn("nuvo_logins", 0, [](sqlite3_context* c, int, sqlite3_value**) {
    bool restricted = static_cast<SessionImpl*>(sqlite3_user_data(c))->impl().restricted();
    sqlite3_result_text(c, restricted ? "RESTRICTED" : "ALLOWED", -1, SQLITE_STATIC);
  }, false);
  // A dictionary view answered by the database behind a link (compiler: dictionary views over links).
  fn("nuvo_link_view", 2, [](sqlite3_context* c, int, sqlite3_value** v) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    try {
      std::string json = self->linkViewRows(argText(v[0]), argText(v[1]));
      sqlite3_result_text(c, json.c_str(), static_cast<int>(json.size()), SQLITE_TRANSIENT);
    } catch (const Error& e) {
      sqlite3_result_error(c, e.message().c_str(), -1);
    }
  }, false);
  fn("nuvo_can_see", 2, [](sqlite3_context* c, int, sqlite3_value** v) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    auto text = [&](int i) {
      const unsigned char* t = sqlite3_value_text(v[i]);
      return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
    };
    std::string owner = text(0), name = text(1);
    bool visible = owner == self->currentUser() || owner == "PUBLIC" || self->mayUse(owner, name, "SELECT") ||
                   self->catalog().hasAnyObjectPrivilege(self->currentUser(), owner, name);
    sqlite3_result_int(c, visible ? 1 : 0);
  }, false);
  fn("nuvo_nextval", 2, [](sqlite3_context* c, int, sqlite3_value** v) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    std::string owner = reinterpret_cast<const char*>(sqlite3_value_text(v[0]));
    std::string name = reinterpret_cast<const char*>(sqlite3_value_text(v[1]));
    try {
      std::int64_t value = self->impl().nextSequenceValue(owner, name);
      self->setCurrval(owner, name, value);
      sqlite3_result_int64(c, value);
    } catch (const Error& e) {
      sqlite3_result_error(c, e.message().c_str(), -1);
    }
  }, false);
  fn("nuvo_link_nextval", 3, [](sqlite3_context* c, int, sqlite3_value** v) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    try {
      sqlite3_result_int64(c, self->linkNextval(argText(v[0]), argText(v[1]), argText(v[2])));
    } catch (const Error& e) {
      sqlite3_result_error(c, e.message().c_str(), -1);
    }
  }, false);
  fn("nuvo_link_currval", 3, [](sqlite3_context* c, int, sqlite3_value** v) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    try {
      sqlite3_result_int64(c, self->currval(argText(v[1]) + "@" + argText(v[0]), argText(v[2])));
    } catch (const Error& e) {
      sqlite3_result_error(c, e.message().c_str(), -1);
    }
  }, false);
  fn("nuvo_currval", 2, [](sqlite3_context* c, int, sqlite3_value** v) {
    auto* self = static_cast<SessionImpl*>(sqlite3_user_data(c));
    std::string owner = reinterpret_cast<const char*>(sqlite3_value_text(v[0]));
    std::string name = reinterpret_cast<const char*>(sqlite3_value_text(v[1]));
    try {
      sqlite3_result_int64(c, self->currval(owner, name));
    } catch (const Error& e) {
      sqlite3_result_error(c, e.message().c_str(), -1);
    }
  }, false);
}

std::int64_t SessionImpl::linkNextval(const std::string& link, const std::string& owner, const std::string& name) {
  auto it = links_.find(link);
  if (it == links_.end()) throw Error::ora(2019);
  // Values are taken one at a time from the other database's mark, which its own sessions (in any
  // process) take their blocks from too.
  auto st = loadSequence(it->second.db, owner, name);
  if (!st) throw Error::ora(2289);
  st->cache = 1;
  std::int64_t value = storage::nextSequenceValue(it->second.db, *st, name);
  setCurrval(owner + "@" + link, name, value);
  return value;
}

std::int64_t SessionImpl::currval(const std::string& owner, const std::string& name) const {
  auto it = currvals_.find(owner + "." + name);
  if (it == currvals_.end())
    throw Error(8002, "ORA-08002: sequence " + name + ".CURRVAL is not yet defined in this session");
  return it->second;
}

void SessionImpl::registerBusyHandler() {
  sqlite3_busy_handler(
      db_,
      [](void* p, int count) -> int {
        auto* self = static_cast<SessionImpl*>(p);
        auto now = std::chrono::steady_clock::now();
        if (count == 0) {
          self->busySince_ = now;
          self->locks_->noteWaiting(self->sid_, true);
          self->writingNoted_ = false;  // the next change notes the lock again, which ends the wait
        }
        if (self->interruptFlag().load()) return 0;
        if (now - self->busySince_ >= std::chrono::milliseconds(self->impl().lockWaitMs())) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return 1;
      },
      this);
}

void SessionImpl::setCurrentSchema(const std::string& schema) {
  schema_ = schema;
  context_.currentSchema = schema;
  if (auto info = catalog_.findUser(schema)) context_.schemaId = info->id;
}

SessionImpl::DefinerRights::DefinerRights(SessionImpl& session, const std::string& owner)
    : session_(session), user_(session.currentUser_), schema_(session.schema_) {
  session_.currentUser_ = owner;
  session_.setCurrentSchema(owner);
}

SessionImpl::DefinerRights::~DefinerRights() {
  session_.currentUser_ = user_;
  session_.setCurrentSchema(schema_);
}

void SessionImpl::openTransaction() {
  if (sqlite3_get_autocommit(db_)) exec(db_, "BEGIN");
  inTransaction_ = true;
}

void SessionImpl::beginChange() {
  if (readOnly_) throw Error::ora(1456);
  openTransaction();
}

void SessionImpl::noteChange(const sql::Compiled& code) {
  if (!code.isQuery && !code.targetTable.empty()) noteTableLock(code.targetOwner, code.targetTable, 3);
  if (code.isQuery && code.forUpdate)
    for (const auto& [owner, name] : code.references) noteTableLock(owner, name, 3);
  // The session holds the transaction lock only once its connection has the write lock; a statement
  // that has yet to take it may wait for it, and is shown waiting, never holding, meanwhile.
  if (!writingNoted_ && sqlite3_txn_state(db_, "main") == SQLITE_TXN_WRITE) noteTransaction(true);
}

void SessionImpl::noteTableLock(const std::string& owner, const std::string& table, int mode) {
  for (auto& [o, t, m] : notedTables_)
    if (t == table && o == owner) {
      if (m >= mode) return;
      m = mode;
      locks_->noteTable(sid_, owner, table, mode);
      return;
    }
  locks_->noteTable(sid_, owner, table, mode);
  if (notedTables_.size() < 64) notedTables_.emplace_back(owner, table, mode);
}

void SessionImpl::noteLocks() { noteTransaction(sqlite3_txn_state(db_, "main") == SQLITE_TXN_WRITE); }

void SessionImpl::noteTransaction(bool writing) {
  locks_->noteTransaction(sid_, writing);
  writingNoted_ = writing;
  if (!writing) notedTables_.clear();  // the registry forgets the tables with the transaction
}

void SessionImpl::setTransaction(bool readOnly) {
  if (inTransaction_) throw Error::ora(1453);
  openTransaction();
  readOnly_ = readOnly;
  // A read inside the open SQLite transaction fixes the snapshot every later query of it reads.
  if (readOnly) exec(db_, "SELECT count(*) FROM main.meta");
}

void SessionImpl::lockDatabase(bool noWait, bool change, const std::set<std::string>& links) {
  if (change) beginChange();
  else openTransaction();
  // The files whose write lock is still to be taken; a transaction keeps the lock it has until it
  // ends, so a cursor FOR UPDATE opened row after row takes it once.
  auto held = [this](const std::string& schema) { return sqlite3_txn_state(db_, schema.c_str()) == SQLITE_TXN_WRITE; };
  std::vector<std::string> toLock;
  if (!held("main")) toLock.push_back("main");
  for (const auto& link : links) {
    auto it = links_.find(link);
    if (it != links_.end() && it->second.attached != "main" && !held(it->second.attached))
      toLock.push_back(it->second.attached);
  }
  if (toLock.empty()) return;
  if (noWait) sqlite3_busy_timeout(db_, 0);
  try {
    // A write that changes nothing takes the database file's write lock.
    for (const auto& schema : toLock) exec(db_, "DELETE FROM " + quoteName(schema) + ".meta WHERE 0");
  } catch (...) {
    if (noWait) registerBusyHandler();
    throw;
  }
  if (noWait) registerBusyHandler();
}

void SessionImpl::checkInterrupt() {
  if (interrupted_.exchange(false)) throw Error::ora(1013);
}

void SessionImpl::interrupt() { interrupted_ = true; }

std::shared_ptr<Prepared> SessionImpl::compile(const std::string& text, std::vector<Value>& literals) {
  // Dynamic SQL of a stored unit resolves names and rights as its owner: it stays out of the caches.
  bool cached = currentUser_ == user_;
  if (auto it = cache_.find(text); cached && it != cache_.end()) return it->second;
  // A text of a known shape shares its compilation when it repeats the literals that stayed inline.
  LiteralScan scan;
  bool shaped = cached && !plsql::isPlsqlText(text) && scanLiterals(text, scan);
  if (shaped) {
    auto s = shapes_.find(scan.shape);
    if (s != shapes_.end()) {
      for (const auto& p : s->second) {
        bool same = std::all_of(p->inlineLiterals.begin(), p->inlineLiterals.end(), [&](const auto& pinned) {
          return scan.sources[static_cast<std::size_t>(pinned.first)] == pinned.second;
        });
        if (!same) continue;
        literals = std::move(scan.values);
        return p;
      }
    }
  }
  auto p = std::make_shared<Prepared>();
  p->text = text;
  if (plsql::isPlsqlText(text)) {
    p->block = plsql::prepareBlock(*this, text);
    p->code.bindNames = plsql::bindNamesOf(*p->block);
    p->code.bindTargets.assign(p->code.bindNames.size(), DataType::Unknown);
    if (cached) cache_[text] = p;
    return p;
  }
  sql::Parser parser(text);
  p->ast = parser.parseStatement();
  auto kind = p->ast->kind;
  p->compiled = kind == sql::StmtKind::Select || kind == sql::StmtKind::Insert || kind == sql::StmtKind::Update ||
                kind == sql::StmtKind::Delete || kind == sql::StmtKind::Merge;
  if (shaped && p->compiled) p->literals.insert(parser.literals().begin(), parser.literals().end());
  if (p->compiled) compileStatement(*p);
  if (!p->code.literalParams.empty()) {
    std::vector<bool> isParam(scan.sources.size());
    for (int n : p->code.literalParams) isParam[static_cast<std::size_t>(n)] = true;
    for (std::size_t n = 0; n < isParam.size(); ++n)
      if (!isParam[n]) p->inlineLiterals.emplace_back(static_cast<int>(n), scan.sources[n]);
    if (shapeCount_ >= kMaxCachedStatements) {
      for (auto& [shape, list] : shapes_) {
        auto gone = std::remove_if(list.begin(), list.end(), [](const std::shared_ptr<Prepared>& q) { return !q->busy(); });
        shapeCount_ -= static_cast<std::size_t>(list.end() - gone);
        list.erase(gone, list.end());
      }
    }
    p->shape = scan.shape;
    shapes_[scan.shape].push_back(p);
    ++shapeCount_;
    literals = std::move(scan.values);
    return p;
  }
  p->literals.clear();  // nothing to share: later compilations keep every literal inline too
  if (!cached) return p;
  if (cache_.size() >= kMaxCachedStatements) {
    for (auto c = cache_.begin(); c != cache_.end();) {
      if (!c->second->busy()) c = cache_.erase(c);
      else ++c;
    }
  }
  cache_[text] = p;
  return p;
}

std::shared_ptr<Prepared> SessionImpl::compileInline(const std::string& text) {
  auto p = std::make_shared<Prepared>();
  p->text = text;
  sql::Parser parser(text);
  p->ast = parser.parseStatement();
  p->compiled = true;
  compileStatement(*p);
  return p;
}

sql::CompileContext SessionImpl::compileContext() {
  sql::CompileContext ctx;
  ctx.catalog = &catalog_;
  ctx.user = currentUser_;
  ctx.schema = schema_;
  ctx.mayUse = [this](const std::string& user, const std::string& owner, const std::string& name,
                      const std::string& privilege) { return mayUseAs(user, owner, name, privilege); };
  ctx.hasPrivilege = [this](const std::string& privilege) { return hasPrivilege(privilege); };
  ctx.resolveExternal = [this](const sql::Expr& e) { return plsql::resolveInSql(*this, e); };
  ctx.resolveCollection = [this](const sql::Expr& e) { return plsql::collectionInSql(*this, e); };
  ctx.collectionType = [this](const std::string& owner, const std::string& name) {
    return plsql::collectionTypeInSql(*this, owner, name);
  };
  ctx.remote = [this](const std::string& link) { return linkContext(link); };
  ctx.viewCompiled = [this](const std::string& owner, const std::string& name,
                            const std::set<std::pair<std::string, std::string>>& references) {
    database_->revalidateView(owner, name, references);
  };
  return ctx;
}

std::shared_ptr<Prepared> SessionImpl::recompile(const std::shared_ptr<Prepared>& p) {
  // Other statements of the same text (an open cursor of another window) may still read through the
  // old compile: this execution gets a compile of its own, which the cache keeps from now on.
  auto fresh = std::make_shared<Prepared>();
  fresh->text = p->text;
  fresh->ast = p->ast;
  fresh->compiled = p->compiled;
  fresh->literals = p->literals;
  fresh->shape = p->shape;
  compileStatement(*fresh);
  // What stays inline depends on the syntax alone: a shared compilation keeps the same literals inline.
  if (!p->shape.empty()) fresh->inlineLiterals = p->inlineLiterals;
  if (currentUser_ != user_) return fresh;  // a stored unit's dynamic SQL: the caches keep the caller's
  auto it = cache_.find(p->text);
  if (it != cache_.end() && it->second == p) it->second = fresh;
  if (!p->shape.empty()) {
    // The texts of its shape use the new compilation.
    auto s = shapes_.find(p->shape);
    if (s != shapes_.end())
      for (auto& entry : s->second)
        if (entry == p) entry = fresh;
  }
  return fresh;
}

void SessionImpl::compileStatement(Prepared& p) {
  sql::CompileContext ctx = compileContext();
  if (p.stmt) {
    sqlite3_finalize(p.stmt);
    p.stmt = nullptr;
  }
  p.variants.clear();
  p.ddlVersion = database_->ddlVersion();
  p.compiledSchema = schema_;
  p.compiledUser = currentUser_;
  if (!p.literals.empty()) ctx.literals = &p.literals;
  ctx.bindTests = p.ast->kind == sql::StmtKind::Select;
  catalog::Catalog::Compiling compiling(catalog_);
  p.code = sql::compileStatement(*p.ast, ctx, p.text);
  p.linkVersions.clear();
  for (const auto& link : p.code.links) p.linkVersions[link] = linkSchemaVersion(link);
}

bool SessionImpl::hasPrivilege(const std::string& privilege) {
  if (currentUser_ == "SYS") return true;
  std::string key = currentUser_ + "#" + privilege;
  if (privilegeVersion_ != database_->ddlVersion()) {
    privilegeCache_.clear();
    privilegeVersion_ = database_->ddlVersion();
  }
  auto it = privilegeCache_.find(key);
  if (it != privilegeCache_.end()) return it->second;
  bool ok = catalog_.hasSystemPrivilege(currentUser_, privilege);
  privilegeCache_[key] = ok;
  return ok;
}

void SessionImpl::requirePrivilege(const std::string& owner, const std::string& own, const std::string& any) {
  if (currentUser_ == "SYS") return;
  bool ok = owner == currentUser_ ? own.empty() || hasPrivilege(own) || hasPrivilege(any) : hasPrivilege(any);
  if (!ok) throw Error::ora(1031);
}

namespace {

// A user's rights on owner.name as a catalog records them (uncached).
bool userMayUse(const catalog::Catalog& cat, const std::string& user, const std::string& owner, const std::string& name,
                const std::string& privilege) {
  if (owner == user || user == "SYS" || cat.hasObjectPrivilege(user, owner, name, privilege)) return true;
  if (privilege == "SELECT" && cat.hasObjectPrivilege(user, owner, name, "READ")) return true;
  auto object = cat.findObject(owner, name);
  std::string kind = object && object->type == "SEQUENCE" ? "SEQUENCE" : "TABLE";
  return cat.hasSystemPrivilege(user, (privilege == "LOCK" ? "SELECT" : privilege) + " ANY " + kind);
}

// The directory of the embedded database a link names: a database beside this one, its name
// compared without regard to case; empty when there is none.
std::string linkedDirectory(const std::string& ownDirectory, const std::string& name) {
  std::filesystem::path data = std::filesystem::path(ownDirectory).parent_path();
  if (name.empty() || name.find('/') != std::string::npos || name.find('\\') != std::string::npos || name == "." ||
      name == "..")
    return {};
  auto same = [](const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
  };
  if (Database::exists((data / name).string())) return (data / name).string();
  for (const std::string& candidate : Database::list(data.string()))
    if (same(candidate, name)) return (data / candidate).string();
  return {};
}

}  // namespace

bool SessionImpl::mayUseAs(const std::string& user, const std::string& owner, const std::string& name,
                           const std::string& privilege) {
  if (user == currentUser_) return mayUse(owner, name, privilege);
  // Another user's rights (a view's owner): read from the catalog, uncached.
  return userMayUse(catalog_, user, owner, name, privilege);
}

sql::CompileContext SessionImpl::linkContext(const std::string& link) {
  std::string key;
  for (char c : link) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  auto it = links_.find(key);
  if (it == links_.end()) {
    // A private link of the user comes before a public one of the same name.
    Stmt s(db_,
           "SELECT username, password, host FROM main.db_links WHERE owner IN (?1, 'PUBLIC') AND upper(db_link) = ?2 "
           "ORDER BY owner = 'PUBLIC'");
    s.bindAll(currentUser_, key);
    if (!s.step()) throw Error::ora(2019);
    std::string user = s.text(0), password = s.text(1), host = s.text(2);
    std::string directory = linkedDirectory(database_->directory(), host);
    if (directory.empty()) throw Error::ora(12154);
    // A link without CONNECT TO would log on with the user's own password, which is not known here.
    if (user.empty()) throw Error::ora(1017);

    LinkedDatabase linked;
    std::string path = directory + "/" + kDatabaseFile;
    if (sqlite3_open_v2(path.c_str(), &linked.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
      sqlite3_close(linked.db);
      throw Error::ora(12154);
    }
    sqlite3_busy_timeout(linked.db, 5000);
    try {
      linked.catalog = std::make_unique<catalog::Catalog>(linked.db);
      // The other instance's logon rule as it stands now (its instance file), else as created.
      bool caseSensitive = false;
      try {
        attachInstance(linked.db, directory);
        Stmt p(linked.db, "SELECT upper(value) FROM instance.parameters WHERE name = 'sec_case_sensitive_logon' "
                          "UNION ALL SELECT upper(value) FROM main.parameters WHERE name = 'sec_case_sensitive_logon'");
        caseSensitive = p.step() && p.text(0) == "TRUE";
      } catch (const Error&) {
      }
      auto info = linked.catalog->findUser(user);
      PasswordDigests given = linkDigests(user, password);
      if (!info || (caseSensitive ? given.exact != info->passwordDigest : given.folded != info->foldedDigest))
        throw Error::ora(1017);
      if (info->status.find("LOCKED") != std::string::npos) throw Error::ora(28000);
      if (user == "SYS") throw Error::ora(28009);
      if (!linked.catalog->hasSystemPrivilege(user, "CREATE SESSION"))
        throw Error(1045, "ORA-01045: user " + user + " lacks CREATE SESSION privilege; logon denied");
      linked.user = user;
      std::error_code ec;
      if (std::filesystem::equivalent(directory, database_->directory(), ec)) {
        linked.attached = "main";  // a link back to this database
      } else {
        linked.attached = "link " + key;
        exec(db_, "ATTACH " + quoteText(path) + " AS " + quoteName(linked.attached));
        checkLinkCommits(key, linked.attached);
      }
    } catch (...) {
      linked.catalog.reset();
      sqlite3_close_v2(linked.db);
      throw;
    }
    it = links_.emplace(key, std::move(linked)).first;
    registerLinkFunctions(it->second);
  }
  LinkedDatabase& linked = it->second;
  sql::CompileContext ctx;
  ctx.link = key;
  ctx.catalog = linked.catalog.get();
  ctx.user = linked.user;
  ctx.schema = linked.user;
  ctx.attached = linked.attached;
  const catalog::Catalog* cat = linked.catalog.get();
  ctx.mayUse = [cat](const std::string& user, const std::string& owner, const std::string& name,
                     const std::string& privilege) { return userMayUse(*cat, user, owner, name, privilege); };
  std::string user = linked.user;
  ctx.hasPrivilege = [cat, user](const std::string& privilege) { return cat->hasSystemPrivilege(user, privilege); };
  return ctx;
}

void SessionImpl::registerLinkFunctions(LinkedDatabase& linked) {
  // The other database's dictionary views answer for the link's user: its name and its rights.
  sqlite3_create_function_v2(linked.db, "nuvo_user", 0, SQLITE_UTF8, &linked, [](sqlite3_context* c, int, sqlite3_value**) {
    auto* l = static_cast<LinkedDatabase*>(sqlite3_user_data(c));
    sqlite3_result_text(c, l->user.c_str(), -1, SQLITE_TRANSIENT);
  }, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(linked.db, "nuvo_can_see", 2, SQLITE_UTF8, &linked, [](sqlite3_context* c, int, sqlite3_value** v) {
    auto* l = static_cast<LinkedDatabase*>(sqlite3_user_data(c));
    std::string owner = argText(v[0]), name = argText(v[1]);
    bool visible = owner == l->user || owner == "PUBLIC" || userMayUse(*l->catalog, l->user, owner, name, "SELECT") ||
                   l->catalog->hasAnyObjectPrivilege(l->user, owner, name);
    sqlite3_result_int(c, visible ? 1 : 0);
  }, nullptr, nullptr, nullptr);
}

std::int64_t SessionImpl::linkSchemaVersion(const std::string& link) {
  auto it = links_.find(link);
  if (it == links_.end()) return -1;
  Stmt s(db_, "PRAGMA " + quoteName(it->second.attached) + ".schema_version");
  return s.step() ? s.integer(0) : -1;
}

bool SessionImpl::linksChanged(const std::map<std::string, std::int64_t>& versions) {
  for (const auto& [link, version] : versions)
    if (linkSchemaVersion(link) != version) return true;
  return false;
}

std::string SessionImpl::linkViewRows(const std::string& link, const std::string& view) {
  auto it = links_.find(link);
  if (it == links_.end()) throw Error::ora(2019);
  Stmt s(it->second.db, "SELECT * FROM main." + quoteName(view));
  std::string json = "[";
  while (s.step()) {
    json += json.size() > 1 ? ",[" : "[";
    sqlite3_stmt* st = s.get();
    for (int i = 0, n = sqlite3_column_count(st); i < n; ++i) {
      if (i) json += ",";
      switch (sqlite3_column_type(st, i)) {
        case SQLITE_NULL: json += "null"; break;
        case SQLITE_INTEGER: json += std::to_string(sqlite3_column_int64(st, i)); break;
        case SQLITE_FLOAT: {
          char buf[32];
          std::snprintf(buf, sizeof buf, "%.17g", sqlite3_column_double(st, i));
          json += buf;
          break;
        }
        default:
          json += jsonText(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                           static_cast<std::size_t>(sqlite3_column_bytes(st, i)));
      }
    }
    json += "]";
  }
  return json + "]";
}

bool SessionImpl::mayUse(const std::string& owner, const std::string& name, const std::string& privilege) {
  if (owner == currentUser_ || currentUser_ == "SYS") return true;
  if (privilegeVersion_ != database_->ddlVersion()) {
    privilegeCache_.clear();
    privilegeVersion_ = database_->ddlVersion();
  }
  std::string key = currentUser_ + ":" + owner + "." + name + "." + privilege;
  auto it = privilegeCache_.find(key);
  if (it != privilegeCache_.end()) return it->second;
  // A lock needs SELECT itself; READ allows queries only.
  std::string granted = privilege == "LOCK" ? "SELECT" : privilege;
  bool ok = catalog_.hasObjectPrivilege(currentUser_, owner, name, granted) ||
            (privilege == "SELECT" && catalog_.hasObjectPrivilege(currentUser_, owner, name, "READ"));
  if (!ok) {
    auto object = catalog_.findObject(owner, name);
    std::string kind = object && object->type == "SEQUENCE" ? "SEQUENCE" : "TABLE";
    if (granted == "SELECT" || granted == "INSERT" || granted == "UPDATE" || granted == "DELETE")
      ok = hasPrivilege(granted + " ANY " + kind);
    if (!ok && granted == "SELECT" && kind == "TABLE") ok = hasPrivilege("SELECT ANY DICTIONARY") && owner == "SYS";
  }
  privilegeCache_[key] = ok;
  return ok;
}

void SessionImpl::throwMapped(int rc, const sql::Compiled* code) {
  std::string message = sqlite3_errmsg(db_);
  if (sqlite3_get_autocommit(db_)) inTransaction_ = false;
  if ((rc & 0xff) == SQLITE_INTERRUPT) interrupted_ = false;
  if ((rc & 0xff) == SQLITE_CONSTRAINT && code && message.rfind("UNIQUE constraint failed: ", 0) == 0) {
    // "UNIQUE constraint failed: S.T.A, S.T.B": find the constraint or unique index over those columns.
    std::vector<std::string> columns;
    std::string list = message.substr(26);
    std::string table = sqliteName(code->targetOwner, code->targetTable) + ".";
    std::size_t start = 0;
    while (start <= list.size()) {
      std::size_t comma = list.find(", ", start);
      std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      columns.push_back(item.rfind(table, 0) == 0 ? item.substr(table.size()) : item.substr(item.rfind('.') + 1));
      if (comma == std::string::npos) break;
      start = comma + 2;
    }
    // A table over a link has its constraints in the other database's catalog.
    const catalog::Catalog* cat = &catalog_;
    auto link = code->targetLink.empty() ? links_.end() : links_.find(code->targetLink);
    if (link != links_.end()) cat = link->second.catalog.get();
    std::string name = uniqueConstraintName(*cat, code->targetOwner, code->targetTable, columns);
    throw Error::ora(1, name);
  }
  throwSqlite(db_, rc);
}

std::unique_ptr<Statement> SessionImpl::prepare(const std::string& sql) {
  std::vector<Value> literals;
  auto p = compile(sql, literals);
  return std::make_unique<StatementImpl>(*this, std::move(p), sql, std::move(literals));
}

std::int64_t SessionImpl::execute(const std::string& sql, const std::vector<std::pair<std::string, Value>>& binds) {
  auto stmt = prepare(sql);
  for (const auto& [name, value] : binds) stmt->bind(name, value);
  stmt->execute();
  if (stmt->isQuery()) {
    while (stmt->next()) {
    }
  }
  return stmt->rowCount();
}

void SessionImpl::endTransaction(const char* sql) {
  if (!sqlite3_get_autocommit(db_)) {
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throwSqlite(db_, rc);
  }
  inTransaction_ = false;
  readOnly_ = false;
  noteTransaction(false);
  for (auto& [key, hook] : transactionEndHooks_) hook();
}

namespace {

std::int64_t epochSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

// Changes over links commit in one SQLite commit of both files, this database's first, each atomic
// on its own but not the pair. So that a crash between the two writes does not pass unnoticed, such
// a commit records its id here and marks it in the other database, in the same transaction; both go
// once the commit is whole. A record left here whose mark the other database lacks is a transaction
// whose changes there were lost (checkLinkCommits, DBA_2PC_PENDING).
void SessionImpl::commit() {
  // Deferred constraints hold at commit or the whole transaction goes.
  if (!sqlite3_get_autocommit(db_)) {
    const std::string broken = deferredViolation(*this);
    if (!broken.empty()) {
      rollback();
      throw Error(2091, "ORA-02091: transaction rolled back\n" + broken);
    }
  }
  std::vector<std::pair<std::string, std::string>> written;  // link, attached schema
  if (!sqlite3_get_autocommit(db_))
    for (const auto& [key, linked] : links_)
      if (linked.attached != "main" && sqlite3_txn_state(db_, linked.attached.c_str()) == SQLITE_TXN_WRITE)
        written.emplace_back(key, linked.attached);
  std::string txn;
  if (!written.empty()) {
    txn = std::to_string(sid_) + "." + std::to_string(++linkCommits_) + "." + std::to_string(epochSeconds());
    for (const auto& [link, attached] : written) {
      std::string marks = quoteName(attached) + ".link_commit_marks";
      exec(db_, "CREATE TABLE IF NOT EXISTS " + marks + "(txn_id TEXT PRIMARY KEY)");
      Stmt(db_, "INSERT INTO " + marks + "(txn_id) VALUES (?1)").bindAll(txn).step();
      Stmt(db_, "INSERT INTO main.link_commits(txn_id, db_link, db_user, created) VALUES (?1, ?2, ?3, ?4)")
          .bindAll(txn, link, user_, epochSeconds())
          .step();
    }
  }
  endTransaction("COMMIT");
  if (written.empty()) return;
  // Whole: the records go. A crash now leaves at most a mark in the other database, which is harmless.
  if (sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return;
  try {
    for (const auto& [link, attached] : written) {
      Stmt(db_, "DELETE FROM main.link_commits WHERE txn_id = ?1").bindAll(txn).step();
      Stmt(db_, "DELETE FROM " + quoteName(attached) + ".link_commit_marks WHERE txn_id = ?1").bindAll(txn).step();
    }
    exec(db_, "COMMIT");
  } catch (const Error&) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void SessionImpl::checkLinkCommits(const std::string& link, const std::string& attached) {
  try {
    // A record younger than a minute may be a commit of another session still between its two writes.
    Stmt s(db_, "SELECT txn_id FROM main.link_commits WHERE db_link = ?1 AND state IS NULL AND created < ?2");
    s.bindAll(link, epochSeconds() - 60);
    std::vector<std::string> pending;
    while (s.step()) pending.push_back(s.text(0));
    s.reset();
    if (pending.empty()) return;
    Stmt marked(db_, "SELECT 1 FROM " + quoteName(attached) + ".sqlite_master WHERE name = 'link_commit_marks'");
    bool hasMarks = marked.step();
    marked.reset();
    for (const auto& txn : pending) {
      bool whole = false;
      if (hasMarks) {
        Stmt m(db_, "SELECT 1 FROM " + quoteName(attached) + ".link_commit_marks WHERE txn_id = ?1");
        m.bindAll(txn);
        whole = m.step();
      }
      if (whole) {
        Stmt(db_, "DELETE FROM main.link_commits WHERE txn_id = ?1 AND db_link = ?2").bindAll(txn, link).step();
        Stmt(db_, "DELETE FROM " + quoteName(attached) + ".link_commit_marks WHERE txn_id = ?1").bindAll(txn).step();
      } else {
        Stmt(db_, "UPDATE main.link_commits SET state = 'MIXED', fail_time = ?3 WHERE txn_id = ?1 AND db_link = ?2")
            .bindAll(txn, link, database_->now().toIso())
            .step();
      }
    }
  } catch (const Error&) {
    // The check never stands in the way of the link itself.
  }
}

void SessionImpl::rollback() { endTransaction("ROLLBACK"); }

void SessionImpl::savepoint(const std::string& name) {
  openTransaction();
  exec(db_, "SAVEPOINT " + quoteName(upperName(name)));
}

void SessionImpl::rollbackToSavepoint(const std::string& name) {
  std::string sp = quoteName(upperName(name));
  if (sqlite3_get_autocommit(db_)) throw Error(1086, "ORA-01086: savepoint '" + upperName(name) + "' never established in this session or is invalid");
  int rc = sqlite3_exec(db_, ("ROLLBACK TO " + sp).c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw Error(1086, "ORA-01086: savepoint '" + upperName(name) + "' never established in this session or is invalid");
}

std::string SessionImpl::format(const Value& value) const {
  switch (value.kind()) {
    case Value::Kind::Null: return {};
    case Value::Kind::Integer: return builtins::formatNumber(value.asInteger());
    case Value::Kind::Real: return builtins::formatNumber(value.asDouble());
    case Value::Kind::Text: return value.asText();
    case Value::Kind::Date:
      return context_
          .dateFormat(value.asDate().zoned         ? context_.nlsTimestampTzFormat
                      : value.asDate().isTimestamp() ? context_.nlsTimestampFormat
                                                     : context_.nlsDateFormat)
          .format(value.asDate());
    case Value::Kind::Cursor: return "CURSOR";
    case Value::Kind::Binary: return hexOf(value.asBytes());
  }
  return {};
}

std::vector<std::string> SessionImpl::takeOutput() { return plsql::takeOutput(plsql()); }

plsql::SessionState& SessionImpl::plsql() {
  if (!plsql_) plsql_ = plsql::newSessionState(*this);
  return *plsql_;
}

void SessionImpl::bindParameter(sqlite3_stmt* stmt, int index, const Value& value, DataType target, bool stable) {
  storage::bindValue(*this, stmt, index, value, target, stable);
}

Value SessionImpl::columnOf(sqlite3_stmt* stmt, int index, DataType type, int fraction, int leading) {
  return columnValue(stmt, index, type, fraction, leading);
}

}  // namespace engine::storage
