// The one-pass PL/SQL compiler: reads a unit through sql::Parser and builds executable nodes,
// resolving every name to a frame slot, a package variable, a subprogram or a bind of embedded SQL.

#include <algorithm>
#include <cmath>

#include "engine/builtins/functions.h"
#include "engine/builtins/internal.h"
#include "engine/catalog/dictionary.h"
#include "engine/plsql/conditional.h"
#include "engine/plsql/nodes.h"
#include "engine/plsql/packages/native.h"
#include "engine/sql/parser.h"
#include "engine/storage/rowid.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::plsql {

namespace {

using sql::ExprKind;
using sql::Token;
using sql::TokenKind;

// A syntax error: stops the compilation of the unit (PLS-00103).
struct SyntaxError {
  CompileError error;
};

// A name error inside one statement: recorded, the statement is skipped.
struct NameError {
  CompileError error;
};

CompileError errorAt(const sql::Position& pos, const std::string& text) { return {pos.line, pos.column, text}; }

CursorState& cursorOf(Exec& x, const ExprP& slot);
void openCursor(Exec& x, CursorState& c, std::shared_ptr<SqlStatement> sql);

[[noreturn]] void undeclared(const sql::Position& pos, const std::string& name) {
  throw NameError{errorAt(pos, "PLS-00201: identifier '" + name + "' must be declared")};
}

// ---------------------------------------------------------------------------------------------------
// Value helpers

bool isIntervalType(const TypePtr& t) {
  return t && t->kind == Type::Kind::Scalar &&
         (t->scalar == DataType::IntervalDaySecond || t->scalar == DataType::IntervalYearMonth);
}

bool isDateType(const TypePtr& t) {
  return t && t->kind == Type::Kind::Scalar && (t->scalar == DataType::Date || t->scalar == DataType::Timestamp);
}

Value fromDouble(double d) {
  if (std::isnan(d) || std::isinf(d)) raiseValueError("");
  if (std::floor(d) == d && std::fabs(d) < 9.0e15) return Value(static_cast<std::int64_t>(d));
  return Value(d);
}

Value arithmetic(char op, const Value& a0, const Value& b0) {
  if (a0.isNull() || b0.isNull()) return {};
  Value a = toNumber(a0), b = toNumber(b0);
  if (a.kind() == Value::Kind::Integer && b.kind() == Value::Kind::Integer) {
    std::int64_t x = a.asInteger(), y = b.asInteger(), r = 0;
    switch (op) {
      case '+':
        if (!__builtin_add_overflow(x, y, &r)) return Value(r);
        break;
      case '-':
        if (!__builtin_sub_overflow(x, y, &r)) return Value(r);
        break;
      case '*':
        if (!__builtin_mul_overflow(x, y, &r)) return Value(r);
        break;
      case '/':
        if (y == 0) raiseOra(1476);
        if (x % y == 0) return Value(x / y);
        break;
    }
  }
  double x = a.asDouble(), y = b.asDouble();
  switch (op) {
    case '+': return fromDouble(x + y);
    case '-': return fromDouble(x - y);
    case '*': return fromDouble(x * y);
    default:
      if (y == 0) raiseOra(1476);
      return fromDouble(x / y);
  }
}

std::string textOf(Exec& x, const Value& v) { return v.kind() == Value::Kind::Text ? v.asText() : x.session.format(v); }

// Three-way comparison as Oracle compares: numbers numerically, dates as dates, text as text; a text
// against a number or date converts to that type. NULL on either side: no answer.
std::optional<int> compareValues(Exec& x, const Value& a, const Value& b) {
  if (a.isNull() || b.isNull()) return std::nullopt;
  auto sign = [](auto l, auto r) { return l < r ? -1 : (r < l ? 1 : 0); };
  if (a.isNumber() || b.isNumber()) {
    Value l = toNumber(a), r = toNumber(b);
    if (l.kind() == Value::Kind::Integer && r.kind() == Value::Kind::Integer) return sign(l.asInteger(), r.asInteger());
    return sign(l.asDouble(), r.asDouble());
  }
  if (a.kind() == Value::Kind::Date || b.kind() == Value::Kind::Date) {
    // A TIMESTAMP on either side compares with its fraction.
    bool fraction = (a.kind() == Value::Kind::Date && a.asDate().isTimestamp()) ||
                    (b.kind() == Value::Kind::Date && b.asDate().isTimestamp());
    static const TypePtr stamp = timestampType(9);
    const Type& t = fraction ? *stamp : *scalarType(DataType::Date);
    Value l = convertScalar(x, a, t), r = convertScalar(x, b, t);
    const DateTime &ld = l.asDate(), &rd = r.asDate();
    auto zoneOf = [](const Value& v) -> std::optional<int> {
      if (v.kind() == Value::Kind::Date && v.asDate().zoned) return v.asDate().offset;
      return std::nullopt;
    };
    const std::optional<int> lz = zoneOf(a), rz = zoneOf(b);
    if (lz || rz) {
      // A value with a time zone compares by its UTC instant; a plain one is in the session's zone.
      const int session = x.session.context().timeZoneMinutes;
      auto instant = [&](const DateTime& d, std::optional<int> zone) {
        return builtins::toSeconds(d) - 60LL * zone.value_or(session);
      };
      if (int c = sign(instant(ld, lz), instant(rd, rz)); c != 0) return c;
      return sign(ld.nanos, rd.nanos);
    }
    return sign(ld, rd);
  }
  if (a.kind() == Value::Kind::Binary || b.kind() == Value::Kind::Binary) {  // RAW: bytes, text read as hex
    const Type& raw = *scalarType(DataType::Raw);
    Value l = convertScalar(x, a, raw), r = convertScalar(x, b, raw);
    if (l.isNull() || r.isNull()) return std::nullopt;
    return sign(l.asBytes(), r.asBytes());
  }
  return sign(textOf(x, a), textOf(x, b));
}

Value boolValue(std::optional<bool> b) { return b ? Value(*b ? 1 : 0) : Value(); }

// ---------------------------------------------------------------------------------------------------
// Hot nodes: arithmetic, comparison, logic, assignment, numeric FOR loop

struct ArithNode : ExprNode {
  char op;
  ExprP l, r;
  bool range32 = false;  // PLS_INTEGER with PLS_INTEGER: the result must fit 32 bits (ORA-01426)
  Value eval(Exec& x) override {
    Value a = l->eval(x), b = r->eval(x);
    if (op == '+' && a.kind() == Value::Kind::Integer && b.kind() == Value::Kind::Integer) {
      std::int64_t s;
      if (!__builtin_add_overflow(a.asInteger(), b.asInteger(), &s)) return checked(Value(s));
    }
    return checked(arithmetic(op, a, b));
  }
  Value checked(Value v) const {
    if (range32 && v.kind() == Value::Kind::Integer && (v.asInteger() < -2147483648LL || v.asInteger() > 2147483647LL))
      raiseOra(1426);
    return v;
  }
};

bool isRange32(const TypePtr& t) { return t && t->kind == Type::Kind::Scalar && t->range32; }

struct CompareNode : ExprNode {
  std::string op;
  ExprP l, r;
  Value eval(Exec& x) override {
    Value a = l->eval(x), b = r->eval(x);
    std::optional<int> c;
    if (a.kind() == Value::Kind::Integer && b.kind() == Value::Kind::Integer)
      c = a.asInteger() < b.asInteger() ? -1 : (a.asInteger() > b.asInteger() ? 1 : 0);
    else
      c = compareValues(x, a, b);
    if (!c) return {};
    int v = *c;
    bool result = op == "=" ? v == 0 : op == "!=" || op == "<>" ? v != 0 : op == "<" ? v < 0 : op == "<=" ? v <= 0
                : op == ">" ? v > 0 : v >= 0;
    return Value(result ? 1 : 0);
  }
};

struct LogicNode : ExprNode {
  bool isAnd = true;
  ExprP l, r;
  Value eval(Exec& x) override {
    Value a = l->eval(x);
    if (isAnd && a.kind() == Value::Kind::Integer && a.asInteger() == 0) return Value(0);
    if (!isAnd && isTrue(a)) return Value(1);
    Value b = r->eval(x);
    if (isAnd) {
      if (b.kind() == Value::Kind::Integer && b.asInteger() == 0) return Value(0);
      if (a.isNull() || b.isNull()) return {};
      return Value(1);
    }
    if (isTrue(b)) return Value(1);
    if (a.isNull() || b.isNull()) return {};
    return Value(0);
  }
};

struct AssignNode : StmtNode {
  ExprP target, value;
  TypePtr type;
  Flow exec(Exec& x) override {
    if (type->isScalar()) {
      Value v = value->eval(x);
      Datum* d = target->ref(x);
      // Values the type takes as they are: any number for NUMBER, an integer for INTEGER.
      if (type->kind == Type::Kind::Scalar && type->scalar == DataType::Number &&
          ((!type->integer && !type->hasScale && type->precision == 0 && v.isNumber()) ||
           (type->integer && !type->range32 && v.kind() == Value::Kind::Integer)))
        d->v = std::move(v);
      else
        d->v = convertScalar(x, v, *type);
      return Flow::Next;
    }
    Datum v = value->datum(x);
    assign(x, *target->ref(x), *type, std::move(v));
    return Flow::Next;
  }
};

Flow loopFlow(Exec& x, Flow f, const std::string& label, bool& stop) {
  stop = false;
  if (f == Flow::Return) {
    stop = true;
    return f;
  }
  if (f == Flow::Exit || f == Flow::Continue) {
    if (!x.label.empty() && x.label != label) {
      stop = true;
      return f;
    }
    x.label.clear();
    stop = f == Flow::Exit;
  }
  return Flow::Next;
}

struct ForNode : StmtNode {
  int slot = 0;
  ExprP low, high;
  bool reverse = false;
  std::string label;
  std::vector<StmtP> body;
  Flow exec(Exec& x) override {
    Value lo = toNumber(low->eval(x)), hi = toNumber(high->eval(x));
    if (lo.isNull() || hi.isNull()) raiseValueError("");
    // The bounds are PLS_INTEGER values: 32 bits.
    auto bound = [](const Value& v) {
      double d = std::round(v.asDouble());
      if (d < -2147483648.0 || d > 2147483647.0) raiseOra(1426);
      return static_cast<std::int64_t>(d);
    };
    std::int64_t a = bound(lo), b = bound(hi);
    Frame* f = x.frame;
    for (std::int64_t i = reverse ? b : a; reverse ? i >= a : i <= b; reverse ? --i : ++i) {
      f->slots[static_cast<std::size_t>(slot)].v = Value(i);
      bool stop;
      Flow r = loopFlow(x, runList(x, body), label, stop);
      if (stop) return r;
    }
    return Flow::Next;
  }
};

// ---------------------------------------------------------------------------------------------------
// Exceptions

struct Handler {
  std::vector<std::shared_ptr<ExceptionDef>> matches;  // empty: OTHERS
  std::vector<StmtP> body;
};

bool handles(const Handler& h, const PlsqlError& e) {
  if (h.matches.empty()) return true;
  for (const auto& d : h.matches) {
    if (e.user == d.get()) return true;
    if (d->code != 0 && d->code == e.code) return true;
  }
  return false;
}

struct BlockNode : StmtNode {
  std::vector<StmtP> declarations;  // initializers, in order
  std::vector<StmtP> body;
  std::vector<Handler> handlers;
  std::vector<int> cursorSlots;  // explicit cursors to close when the block ends
  Flow exec(Exec& x) override {
    struct CloseCursors {
      Frame* frame;
      const std::vector<int>& slots;
      ~CloseCursors() {
        for (int slot : slots) {
          Value& v = frame->slots[static_cast<std::size_t>(slot)].v;
          if (v.kind() == Value::Kind::Cursor) v.asCursor()->close();
        }
      }
    } closeCursors{x.frame, cursorSlots};
    try {
      Flow f = runList(x, declarations);
      if (f == Flow::Next) f = runList(x, body);
      return f;
    } catch (PlsqlError& e) {
      if (x.session.killed()) throw;
      if (const Handler* h = handlerFor(e)) return runHandler(x, *h, e);
      throw;
    } catch (const Error& e) {
      PlsqlError p = PlsqlError::from(e);
      if (x.session.killed()) throw p;
      if (const Handler* h = handlerFor(p)) return runHandler(x, *h, p);
      throw p;
    }
  }

  const Handler* handlerFor(const PlsqlError& e) const {
    for (const auto& h : handlers)
      if (handles(h, e)) return &h;
    return nullptr;
  }

  // Runs a handler with the error it handles as the current one (SQLCODE, SQLERRM, RAISE;). Its stack
  // gains the line of this frame that raised it, which completes the error's backtrace.
  static Flow runHandler(Exec& x, const Handler& h, const PlsqlError& e) {
    struct Restore {
      Exec& x;
      const PlsqlError* outer;
      ~Restore() { x.handling = outer; }
    } restore{x, x.handling};
    PlsqlError handled = e;
    handled.stack.push_back("ORA-06512: " + frameLocation(*x.frame));
    x.handling = &handled;
    return runList(x, h.body);
  }
};

const std::map<std::string, int>& predefinedExceptions() {
  static const std::map<std::string, int> names = {
      {"NO_DATA_FOUND", 1403},   {"TOO_MANY_ROWS", 1422},    {"ZERO_DIVIDE", 1476},     {"VALUE_ERROR", 6502},
      {"DUP_VAL_ON_INDEX", 1},   {"INVALID_NUMBER", 1722},   {"INVALID_CURSOR", 1001},  {"CURSOR_ALREADY_OPEN", 6511},
      {"CASE_NOT_FOUND", 6592},  {"LOGIN_DENIED", 1017},     {"PROGRAM_ERROR", 6501},   {"STORAGE_ERROR", 6500},
      {"TIMEOUT_ON_RESOURCE", 51}, {"COLLECTION_IS_NULL", 6531}, {"SUBSCRIPT_BEYOND_COUNT", 6533},
      {"SUBSCRIPT_OUTSIDE_LIMIT", 6532}, {"ROWTYPE_MISMATCH", 6504}, {"SYS_INVALID_ROWID", 1410},
      {"ACCESS_INTO_NULL", 6530}, {"NOT_LOGGED_ON", 1012}, {"SELF_IS_NULL", 30625}};
  return names;
}

std::shared_ptr<ExceptionDef> predefined(const std::string& name) {
  static std::map<std::string, std::shared_ptr<ExceptionDef>> defs = [] {
    std::map<std::string, std::shared_ptr<ExceptionDef>> m;
    for (const auto& [n, code] : predefinedExceptions()) m[n] = std::make_shared<ExceptionDef>(ExceptionDef{n, code});
    return m;
  }();
  auto it = defs.find(name);
  return it == defs.end() ? nullptr : it->second;
}

std::string messageOf(int code) { return Error::ora(code).message(); }

[[noreturn]] void raiseDef(const ExceptionDef& d) {
  PlsqlError e;
  e.user = &d;
  if (d.code == 0) {
    e.code = 6510;
    e.message = "ORA-06510: PL/SQL: unhandled user-defined exception";
  } else {
    e.code = d.code;
    e.message = d.code >= 20000 && d.code <= 20999 ? "ORA-" + std::to_string(d.code) + ": " : messageOf(d.code);
  }
  throw e;
}

CursorState& cursorOf(Exec& x, const ExprP& slot);

}  // namespace

Datum callSubprogram(Exec& x, Subprogram& sub, std::vector<Datum>& args, Frame* staticLink) {
  Subprogram& s = sub.impl ? *sub.impl : sub;
  Frame frame;
  frame.slots.resize(static_cast<std::size_t>(s.frameSize));
  frame.up = staticLink;
  frame.line = s.line;
  frame.caller = x.frame;
  frame.unit = s.unit;
  for (std::size_t i = 0; i < s.params.size() && i < args.size(); ++i)
    frame.slots[static_cast<std::size_t>(s.params[i].slot)] = args[i];
  Frame* saved = x.frame;
  x.frame = &frame;
  struct Back {
    Exec& x;
    Frame* saved;
    ~Back() { x.frame = saved; }
  } back{x, saved};
  try {
    Flow f = s.body->exec(x);
    if (s.isFunction && f != Flow::Return) {
      PlsqlError e = PlsqlError::from(Error(6503, "ORA-06503: PL/SQL: Function returned without value"));
      throw e;
    }
  } catch (PlsqlError& e) {
    e.stack.push_back("ORA-06512: " + frameLocation(frame));
    throw;
  } catch (const Error& e) {
    PlsqlError p = PlsqlError::from(e);
    p.stack.push_back("ORA-06512: " + frameLocation(frame));
    throw p;
  }
  for (std::size_t i = 0; i < s.params.size() && i < args.size(); ++i)
    if (s.params[i].mode != BindDirection::In) args[i] = frame.slots[static_cast<std::size_t>(s.params[i].slot)];
  Datum result = std::move(x.returnValue);
  x.returnValue = {};
  return result;
}

namespace {

// ---------------------------------------------------------------------------------------------------
// The compiler

class Compiler {
 public:
  Compiler(storage::SessionImpl& session, UnitLoader& loader, const std::string& owner, const std::string& text,
           Unit& unit)
      : session_(session), loader_(loader), owner_(owner), text_(text), p_(text), unit_(unit) {}

  void compile(const std::shared_ptr<Unit>& spec);
  void compileTriggerBody(const TriggerContext& trigger);

 private:
  // ---- tokens
  const Token& at(int k = 0) { return p_.peek(k); }
  bool is(const char* w, int k = 0) { return at(k).is(w); }
  // A unit's name may be written with its owner ("kade.pck"); CREATE has already placed the unit in
  // that schema, so the prefix is passed over.
  void skipOwnerPrefix() {
    if (at(1).isOp(".") && at(2).kind != TokenKind::End) {
      p_.next();
      p_.next();
    }
  }
  bool accept(const char* w) { return p_.accept(w); }
  bool acceptOp(const char* op) { return p_.acceptOp(op); }
  [[noreturn]] void syntax(const Token& t, const std::string& expecting = {}) {
    std::string sym = t.kind == TokenKind::End ? "end-of-file" : t.text;
    std::string text = "PLS-00103: Encountered the symbol \"" + sym + "\" when expecting one of the following:";
    if (!expecting.empty()) text += "\n\n   " + expecting;
    throw SyntaxError{errorAt(t.pos, text)};
  }
  void expect(const char* w) {
    if (!accept(w)) syntax(at(), w);
  }
  void expectOp(const char* op) {
    if (!acceptOp(op)) syntax(at(), op);
  }
  std::string identifier() {
    const Token& t = at();
    if (t.kind != TokenKind::Identifier) syntax(t, "an identifier");
    return p_.next().text;
  }
  sql::ExprPtr parseExpr() {
    try {
      return p_.parseExpr();
    } catch (const Error& e) {
      syntax(tokenAtOffset(e.offset()));
    }
  }
  const Token& tokenAtOffset(int offset) {
    for (int k = 0;; ++k) {
      const Token& t = at(k);
      if (t.kind == TokenKind::End || t.pos.offset >= offset) return t;
    }
  }

  // ---- scopes
  std::shared_ptr<Scope> push(int depth, int* frameSize) {
    auto s = std::make_shared<Scope>();
    s->parent = scope_;
    s->depth = depth;
    s->frameSize = frameSize;
    scope_ = s;
    return s;
  }
  void pop() { scope_ = scope_->parent; }
  int allocate() { return (*scope_->frameSize)++; }
  Symbol& declare(const std::string& name, Symbol sym, const sql::Position& pos) {
    auto [it, fresh] = scope_->names.emplace(name, std::move(sym));
    if (!fresh && it->second.kind != Symbol::Kind::Subprograms)
      record(errorAt(pos, "PLS-00410: duplicate fields in RECORD,TABLE or argument list are not permitted"));
    return it->second;
  }
  Symbol variableSymbol(TypePtr type) {
    Symbol s;
    s.kind = Symbol::Kind::Variable;
    s.type = std::move(type);
    s.depth = scope_->depth;
    s.package = scope_->package;
    s.slot = s.package ? unit_.stateSize++ + stateBase_ : allocate();
    return s;
  }
  ExprP variableRef(const Symbol& s, const sql::Position& pos) {
    if (s.package) {
      auto v = std::make_shared<PackageVar>();
      v->loader = &loader_;
      v->package = stateOwner(s.package);
      v->slot = s.slot;
      v->type = s.type;
      v->pos = pos;
      return v;
    }
    auto v = std::make_shared<FrameVar>();
    v->hops = scope_->depth - s.depth;
    v->slot = s.slot;
    v->type = s.type;
    v->pos = pos;
    return v;
  }
  // Package state lives with the specification.
  Unit* stateOwner(Unit* u) { return u->stateOwner(); }

  void record(const CompileError& e) { unit_.errors.push_back(e); }
  // Names found to be stored units that do not compile: a call through them is PLS-00905.
  std::map<std::string, std::string> invalidNames_;
  void rejectInvalidUnit(const sql::Expr& e) {
    const auto& parts = e.name.parts;
    for (std::size_t n = std::min<std::size_t>(parts.size(), 2); n >= 1; --n) {
      std::string name;
      for (std::size_t i = 0; i < n; ++i) name += (i ? "." : "") + parts[i];
      if (auto it = invalidNames_.find(name); it != invalidNames_.end())
        throw NameError{errorAt(e.pos, "PLS-00905: object " + it->second + " is invalid")};
    }
  }
  // A stored unit by name, when the compiling user may execute it (a stored unit compiles with its
  // owner's rights, a block with the session user's).
  std::shared_ptr<Unit> findUnit(const std::string& owner, const std::string& name) {
    auto unit = loader_.findUnit(owner, name);
    if (!unit) {
      if (std::string failed = loader_.invalidUnit(owner, name); !failed.empty()) {
        invalidNames_[name] = failed;
        invalidNames_[owner + "." + name] = failed;
      }
    }
    std::string user = unit_.type.empty() ? session_.currentUser() : owner_;
    if (unit && !mayExecute(session_, user, *unit)) return nullptr;
    return unit;
  }
  // Whose rights dynamic SQL runs with: a stored unit's owner, or (empty) the caller's for a block.
  std::string definer() const { return unit_.type.empty() ? std::string() : owner_; }
  // A name a package specification declares, or null.
  const Symbol* packageMember(const std::string& package, const std::string& name) {
    auto pkg = findUnit(owner_, package);
    if (!pkg || !pkg->scope) return nullptr;
    unit_.dependencies.insert({pkg->owner, pkg->name});
    auto it = pkg->scope->names.find(name);
    return it == pkg->scope->names.end() ? nullptr : &it->second;
  }

  // ---- units
  void compilePackageSpec();
  void compilePackageBody(const std::shared_ptr<Unit>& spec);
  void compileTypeSpec();
  void compileTypeBody(const std::shared_ptr<Unit>& spec);
  // MEMBER, STATIC, CONSTRUCTOR, MAP/ORDER MEMBER and their modifiers before a method; false when
  // none is there.
  bool methodPrefix();
  std::shared_ptr<Type> selfType_;     // the object type a TYPE or TYPE BODY declares
  enum class Method { None, Member, Static, Constructor } method_ = Method::None;  // the heading being read
  // A name that is an attribute of SELF inside a member method, as SELF.name; null otherwise.
  sql::ExprPtr selfAttribute(const sql::Expr& e);
  ExprP typeConstructor(const std::shared_ptr<Unit>& type, const sql::Expr& e);
  ExprP methodCall(ExprP base, const std::string& name, const sql::Expr& e, bool withArgs, bool asStatement);
  void compileStandalone();
  void compileAnonymous();
  std::shared_ptr<Subprogram> subprogramHeading(bool isFunction);
  void subprogramBody(Subprogram& sub);

  // ---- declarations and blocks
  void declarations(std::vector<StmtP>& init, std::vector<int>& cursors);
  void declaration(std::vector<StmtP>& init, std::vector<int>& cursors);
  TypePtr parseType();
  void collectionType(Type& type);
  TypePtr typeOfName(const sql::Name& name, const std::string& attribute, const sql::Position& pos,
                     const std::string& link = {});
  TypePtr rowTypeOfTable(const std::string& owner, const std::string& table, const sql::Position& pos,
                         const std::string& link = {});
  std::shared_ptr<BlockNode> blockBody(std::vector<StmtP> init, std::vector<int> cursors);
  std::vector<Handler> handlers();
  std::vector<StmtP> statements(std::initializer_list<const char*> enders);
  StmtP statement();
  StmtP statementOrError();

  // ---- statements
  StmtP ifStatement();
  StmtP caseStatement();
  StmtP loopStatement(const std::string& label);
  StmtP whileStatement(const std::string& label);
  StmtP forStatement(const std::string& label);
  StmtP exitStatement(bool isContinue);
  StmtP returnStatement();
  StmtP raiseStatement();
  StmtP sqlStatement();
  StmtP openStatement();
  StmtP fetchStatement();
  StmtP closeStatement();
  // The cursor variable after FETCH or CLOSE; anything else is PLS-00456.
  ExprP refCursorOperand() {
    const Token& t = at();
    ExprP slot = expr(*parseExpr());
    if (slot->type->kind != Type::Kind::RefCursor) throw NameError{errorAt(t.pos, "PLS-00456: item is not a cursor")};
    return slot;
  }
  StmtP executeImmediate();
  StmtP transactionStatement();
  StmtP lockStatement();
  StmtP assignmentOrCall();
  std::vector<StmtP> loopBody(const std::string& label);

  // ---- expressions
  ExprP expr(const sql::Expr& e);
  ExprP condition(const sql::ExprPtr& e);
  ExprP nameRef(const sql::Expr& e);
  ExprP callRef(const sql::Expr& e, bool asStatement);
  ExprP sqlFallback(const sql::Expr& e);
  ExprP member(ExprP base, const std::string& name, const sql::Expr& e, std::size_t partIndex, bool asStatement = false);
  ExprP cursorAttribute(const Symbol* cursor, ExprP state, const std::string& attr, const sql::Position& pos);
  ExprP implicitAttribute(const std::string& attr, const sql::Position& pos);
  ExprP builtinCall(const sql::Expr& e, bool asStatement);
  ExprP lobAppendInPlace(const Subprogram& sub, const std::vector<ExprP>& argValues,
                         const std::vector<std::optional<std::size_t>>& mapping, const sql::Expr& e);
  // With `self`, the candidates are methods and `self` is their SELF argument; `selfBack` writes an
  // IN OUT SELF back to it.
  ExprP callTo(const std::vector<std::shared_ptr<Subprogram>>& candidates, const std::shared_ptr<Unit>& package,
               const sql::Expr& e, bool asStatement, ExprP self = nullptr, bool selfBack = true);
  std::vector<sql::ExprPtr> keep_;  // expressions made while compiling (SELF.attribute, method calls)
  ExprP collectionMethod(ExprP coll, const std::string& method, const sql::Expr& e);
  ExprP elementRef(ExprP base, ExprP key, const sql::Position& pos);
  ExprP collectionConstructor(const TypePtr& type, const sql::Expr& e);
  ExprP constant(Value v, TypePtr type) {
    auto c = std::make_shared<ConstNode>();
    c->value = std::move(v);
    c->type = std::move(type);
    return c;
  }

  // ---- SQL inside PL/SQL
  struct SqlPiece {
    std::shared_ptr<SqlStatement> sql;
    std::vector<sql::ExprPtr> into;
    bool bulk = false;
    std::vector<sql::ExprPtr> returningInto;
    sql::Position pos;
  };
  SqlPiece readSql();
  void compileSql(SqlStatement& s, const sql::Position& pos);
  std::optional<sql::CompileContext::External> external(SqlStatement& s, const sql::Expr& e);
  std::optional<sql::CompileContext::CollectionRows> collectionSource(SqlStatement& s, const sql::Expr& e);
  std::vector<ExprP> targets(const std::vector<sql::ExprPtr>& list);
  std::shared_ptr<SqlStatement> queryStatement(const sql::QueryPtr& q, const std::string& text);
  StmtP intoStatement(std::shared_ptr<SqlStatement> sql, std::vector<ExprP> into, bool bulk, const sql::Position& pos);
  TypePtr rowTypeOf(const SqlStatement& s);

  storage::SessionImpl& session_;
  UnitLoader& loader_;
  std::string owner_;
  const std::string& text_;
  sql::Parser p_;
  Unit& unit_;
  std::shared_ptr<Scope> scope_;
  Subprogram* current_ = nullptr;  // the subprogram being compiled
  int stateBase_ = 0;              // package body variables follow the specification's
  int loopDepth_ = 0;
  int insideSql_ = 0;  // resolving a name for the SQL compiler
  const TriggerContext* trigger_ = nullptr;
  // :NEW.col and :OLD.col of a trigger body.
  ExprP triggerRow(const std::string& which, const std::vector<std::string>& fields, const sql::Position& pos) {
    ExprP row = variableRef(*scope_->find(which == trigger_->oldName ? "OLD$" : "NEW$"), pos);
    for (const auto& f : fields) row = member(row, f, sql::Expr{}, 0);
    return row;
  }
  // A copy of the expression with :NEW.col and :OLD.col as the columns NEW$.col and OLD$.col.
  sql::ExprPtr triggerRowsAsColumns(const sql::Expr& e) const {
    auto copy = std::make_shared<sql::Expr>(e);
    if (isTriggerRow(e) && e.name.parts.size() == 1) {
      copy->kind = ExprKind::Column;
      copy->name.parts = {e.text == trigger_->oldName ? "OLD$" : "NEW$", e.name.parts[0]};
    }
    for (auto& a : copy->args)
      if (a) a = triggerRowsAsColumns(*a);
    return copy;
  }
  bool isTriggerRow(const sql::Expr& e) const {
    return trigger_ && e.kind == ExprKind::Bind && (e.text == trigger_->oldName || e.text == trigger_->newName);
  }
  // Inside SQL a trigger's :NEW.col is the PL/SQL value, not a host bind: the text says NEW$COL.
  void markTriggerRows(std::string& text, std::size_t from, std::size_t to) {
    if (!trigger_) return;
    for (int k = 0;; ++k) {
      const Token& t = at(k);
      if (t.kind == TokenKind::End || static_cast<std::size_t>(t.pos.offset) >= to) break;
      if (static_cast<std::size_t>(t.pos.offset) < from || t.kind != TokenKind::Bind) continue;
      if ((t.text != trigger_->oldName && t.text != trigger_->newName) || !at(k + 1).isOp(".")) continue;
      std::string name = (t.text == trigger_->oldName ? "OLD$" : "NEW$");
      std::size_t length = static_cast<std::size_t>(t.endOffset - t.pos.offset);
      if (length < name.size()) continue;
      text.replace(static_cast<std::size_t>(t.pos.offset), length, std::string(length - name.size(), ' ') + name);
    }
  }
};

// ---------------------------------------------------------------------------------------------------
// Units

void Compiler::compile(const std::shared_ptr<Unit>& spec) {
  try {
    if (is("PACKAGE") && is("BODY", 1)) {
      compilePackageBody(spec);
    } else if (is("TYPE") && is("BODY", 1)) {
      compileTypeBody(spec);
    } else if (is("TYPE")) {
      compileTypeSpec();
    } else if (is("PACKAGE")) {
      compilePackageSpec();
    } else if (is("PROCEDURE") || is("FUNCTION")) {
      compileStandalone();
    } else {
      compileAnonymous();
    }
  } catch (const SyntaxError& e) {
    record(e.error);
  }
}

void Compiler::compileAnonymous() {
  unit_.main = std::make_shared<Subprogram>();
  unit_.main->unit = &unit_;
  current_ = unit_.main.get();
  push(0, &unit_.main->frameSize);
  std::vector<StmtP> init;
  std::vector<int> cursors;
  if (accept("DECLARE")) declarations(init, cursors);
  else if (!is("BEGIN")) syntax(at(), "begin declare");
  unit_.main->body = blockBody(std::move(init), std::move(cursors));
  acceptOp(";");
  if (at().kind != TokenKind::End) syntax(at(), "end-of-file");
}

void Compiler::compileStandalone() {
  bool isFunction = is("FUNCTION");
  p_.next();
  skipOwnerPrefix();
  push(0, &unit_.stateSize);
  auto sub = subprogramHeading(isFunction);
  unit_.name = sub->name;
  unit_.type = isFunction ? "FUNCTION" : "PROCEDURE";
  unit_.main = sub;
  Symbol s;
  s.kind = Symbol::Kind::Subprograms;
  s.subs = {sub};
  scope_->names[sub->name] = s;  // recursion
  if (!accept("IS") && !accept("AS")) syntax(at(), "IS AS");
  subprogramBody(*sub);
  acceptOp(";");
  if (at().kind != TokenKind::End) syntax(at(), "end-of-file");
}

void Compiler::compilePackageSpec() {
  p_.next();
  unit_.type = "PACKAGE";
  skipOwnerPrefix();
  unit_.name = identifier();
  accept("AUTHID") && (accept("DEFINER") || accept("CURRENT_USER"));
  if (!accept("IS") && !accept("AS")) syntax(at(), "IS AS");
  auto scope = push(0, &unit_.stateSize);
  scope->package = &unit_;
  unit_.scope = scope;
  std::vector<int> cursors;
  declarations(unit_.initializers, cursors);
  expect("END");
  if (at().kind == TokenKind::Identifier) p_.next();
  acceptOp(";");
  if (at().kind != TokenKind::End) syntax(at(), "end-of-file");
}

void Compiler::compilePackageBody(const std::shared_ptr<Unit>& spec) {
  p_.next();
  p_.next();
  unit_.type = "PACKAGE BODY";
  skipOwnerPrefix();
  unit_.name = identifier();
  if (!accept("IS") && !accept("AS")) syntax(at(), "IS AS");
  if (!spec) {
    // A specification that exists but does not compile makes the body's error PLS-00905, as for callers.
    auto stored = session_.catalog().findObject(owner_, unit_.name);
    if (stored && stored->type == "PACKAGE")
      record(errorAt(at().pos, "PLS-00905: object " + owner_ + "." + unit_.name + " is invalid"));
    else
      record(errorAt(at().pos, "PLS-00201: identifier '" + unit_.name + "' must be declared"));
    return;
  }
  unit_.spec = spec;
  stateBase_ = spec->stateSize;
  // The specification's names are visible in the body.
  scope_ = spec->scope;
  auto scope = push(0, &unit_.stateSize);
  scope->package = &unit_;
  unit_.scope = scope;
  std::vector<int> cursors;
  declarations(unit_.initializers, cursors);
  if (accept("BEGIN")) {
    auto initBody = statements({"END"});
    for (auto& s : initBody) unit_.initializers.push_back(s);
  }
  expect("END");
  if (at().kind == TokenKind::Identifier) p_.next();
  acceptOp(";");
  if (at().kind != TokenKind::End) syntax(at(), "end-of-file");
  // Every subprogram the specification declares needs its body.
  for (const auto& s : spec->subprograms)
    if (!s->impl)
      record(errorAt({0, s->line, 1}, "PLS-00323: subprogram or cursor '" + s->name +
                                          "' is declared in a package specification and must be defined in the package body"));
}

bool Compiler::methodPrefix() {
  bool any = false;
  method_ = Method::None;
  for (;;) {
    if (accept("NOT") || accept("OVERRIDING") || accept("FINAL") || accept("INSTANTIABLE") || accept("MAP") ||
        accept("ORDER")) {
      any = true;
    } else if (accept("MEMBER")) {
      method_ = Method::Member;
      return true;
    } else if (accept("STATIC")) {
      method_ = Method::Static;
      return true;
    } else if (accept("CONSTRUCTOR")) {
      method_ = Method::Constructor;
      return true;
    } else {
      if (any) syntax(at(), "MEMBER STATIC CONSTRUCTOR");
      return false;
    }
  }
}

// TYPE name [FORCE] AS OBJECT (attributes and method headings) [[NOT] FINAL] [[NOT] INSTANTIABLE],
// or AS TABLE OF ..., AS VARRAY(n) OF ...
void Compiler::compileTypeSpec() {
  p_.next();
  unit_.type = "TYPE";
  skipOwnerPrefix();
  unit_.name = identifier();
  accept("FORCE");
  accept("AUTHID") && (accept("DEFINER") || accept("CURRENT_USER"));
  if (is("UNDER")) syntax(at(), "IS AS");
  if (!accept("IS") && !accept("AS")) syntax(at(), "IS AS");
  auto type = std::make_shared<Type>();
  type->name = unit_.name;
  type->owner = owner_;
  type->typeUnit = &unit_;
  type->atomicNull = true;
  selfType_ = type;
  unit_.objectType = type;
  auto scope = push(0, &unit_.stateSize);
  scope->package = &unit_;
  unit_.scope = scope;
  if (is("TABLE") || is("VARRAY") || is("VARYING")) {
    const Token& start = at();
    collectionType(*type);
    if (type->indexBy) record(errorAt(start.pos, "PLS-00355: use of pl/sql table not allowed in this context"));
    type->atomicNull = true;
  } else {
    expect("OBJECT");
    type->kind = Type::Kind::Record;
    type->object = true;
    expectOp("(");
    do {
      const Token& first = at();
      if (methodPrefix()) {
        bool isFunction = is("FUNCTION");
        if (!isFunction && !is("PROCEDURE")) syntax(at(), "FUNCTION PROCEDURE");
        p_.next();
        auto sub = subprogramHeading(isFunction);
        if (sub->constructor && sub->name != unit_.name)
          record(errorAt(first.pos, "PLS-00658: constructor method name must match type name"));
        auto it = scope_->names.find(sub->name);
        if (it != scope_->names.end() && it->second.kind == Symbol::Kind::Subprograms) {
          it->second.subs.push_back(sub);
        } else {
          Symbol sym;
          sym.kind = Symbol::Kind::Subprograms;
          sym.subs = {sub};
          scope_->names[sub->name] = sym;
        }
        unit_.subprograms.push_back(sub);
        method_ = Method::None;
        continue;
      }
      std::string attribute = identifier();
      if (type->fieldIndex(attribute) >= 0)
        record(errorAt(first.pos, "PLS-00410: duplicate fields in RECORD,TABLE or argument list are not permitted"));
      type->fields.emplace_back(attribute, parseType());
    } while (acceptOp(","));
    expectOp(")");
    if (type->fields.empty()) record(errorAt(at().pos, "PLS-00589: no attributes found in object type \"" + unit_.name + "\""));
  }
  while (accept("NOT") || accept("FINAL") || accept("INSTANTIABLE")) {
  }
  acceptOp(";");
  if (at().kind != TokenKind::End) syntax(at(), "end-of-file");
}

// TYPE BODY name AS method definitions END: like a package body whose subprograms are methods.
void Compiler::compileTypeBody(const std::shared_ptr<Unit>& spec) {
  p_.next();
  p_.next();
  unit_.type = "TYPE BODY";
  skipOwnerPrefix();
  unit_.name = identifier();
  if (!accept("IS") && !accept("AS")) syntax(at(), "IS AS");
  if (!spec || !spec->objectType) {
    auto stored = session_.catalog().findObject(owner_, unit_.name);
    if (stored && stored->type == "TYPE")
      record(errorAt(at().pos, "PLS-00905: object " + owner_ + "." + unit_.name + " is invalid"));
    else
      record(errorAt(at().pos, "PLS-00201: identifier '" + unit_.name + "' must be declared"));
    return;
  }
  unit_.spec = spec;
  selfType_ = std::const_pointer_cast<Type>(spec->objectType);
  scope_ = spec->scope;
  auto scope = push(0, &unit_.stateSize);
  scope->package = &unit_;
  unit_.scope = scope;
  std::vector<StmtP> init;
  std::vector<int> cursors;
  while (!is("END") && at().kind != TokenKind::End) {
    if (!methodPrefix()) syntax(at(), "MEMBER STATIC CONSTRUCTOR END");
    declaration(init, cursors);
    method_ = Method::None;
  }
  expect("END");
  if (at().kind == TokenKind::Identifier) p_.next();
  acceptOp(";");
  if (at().kind != TokenKind::End) syntax(at(), "end-of-file");
  for (const auto& sub : spec->subprograms)
    if (!sub->impl)
      record(errorAt({0, sub->line, 1}, "PLS-00538: subprogram or cursor '" + sub->name +
                                            "' is declared in an object type specification and must be defined in the object type body"));
}

std::shared_ptr<Subprogram> Compiler::subprogramHeading(bool isFunction) {
  auto sub = std::make_shared<Subprogram>();
  unit_.owned.push_back(sub);
  sub->line = at().pos.line;
  sub->name = identifier();
  sub->isFunction = isFunction;
  sub->unit = &unit_;
  sub->depth = scope_->depth + 1;
  // Parameters live in the subprogram's own frame; the heading's scope is entered by the body.
  if (acceptOp("(")) {
    int slot = 0;
    do {
      Param prm;
      prm.name = identifier();
      if (accept("IN")) prm.mode = accept("OUT") ? BindDirection::InOut : BindDirection::In;
      else if (accept("OUT")) prm.mode = BindDirection::Out;
      accept("NOCOPY");
      prm.type = parseType();
      if (acceptOp(":=") || accept("DEFAULT")) {
        auto e = parseExpr();
        try {
          prm.defaultValue = expr(*e);
        } catch (const NameError& ne) {
          record(ne.error);
        }
      }
      prm.slot = slot++;
      sub->params.push_back(prm);
    } while (acceptOp(","));
    expectOp(")");
  }
  if (isFunction) {
    expect("RETURN");
    if (method_ == Method::Constructor && is("SELF") && is("AS", 1)) {
      p_.next();
      p_.next();
      expect("RESULT");
      sub->returnType = selfType_;
    } else {
      sub->returnType = parseType();
    }
    while (accept("DETERMINISTIC") || accept("PIPELINED") || accept("RESULT_CACHE") || accept("PARALLEL_ENABLE")) {
    }
  }
  // A member or constructor takes SELF first (IN for functions, IN OUT otherwise), unless written.
  if ((method_ == Method::Member || method_ == Method::Constructor) && selfType_) {
    sub->member = true;
    sub->constructor = method_ == Method::Constructor;
    if (sub->params.empty() || sub->params[0].name != "SELF") {
      Param self;
      self.name = "SELF";
      self.type = selfType_;
      self.mode = isFunction && !sub->constructor ? BindDirection::In : BindDirection::InOut;
      sub->params.insert(sub->params.begin(), self);
      for (std::size_t i = 0; i < sub->params.size(); ++i) sub->params[i].slot = static_cast<int>(i);
    }
  }
  sub->frameSize = static_cast<int>(sub->params.size());
  return sub;
}

void Compiler::subprogramBody(Subprogram& sub) {
  // A call specification (AS LANGUAGE JAVA / C) names code this engine cannot run.
  if (is("LANGUAGE") || is("EXTERNAL")) {
    std::string what = is("LANGUAGE") && at(1).kind == TokenKind::Identifier ? "LANGUAGE " + at(1).text : "EXTERNAL";
    record(errorAt(at().pos, "PLS-00999: implementation restriction (may be temporary) " + what));
    while (at().kind != TokenKind::End) p_.next();  // the unit stays invalid with this error alone
    return;
  }
  Subprogram* outer = current_;
  current_ = &sub;
  push(sub.depth, &sub.frameSize);
  for (const auto& prm : sub.params) {
    Symbol s;
    s.kind = Symbol::Kind::Variable;
    s.type = prm.type;
    s.depth = sub.depth;
    s.slot = prm.slot;
    s.constant = prm.mode == BindDirection::In;
    scope_->names[prm.name] = s;
  }
  std::vector<StmtP> init;
  std::vector<int> cursors;
  declarations(init, cursors);
  sub.body = blockBody(std::move(init), std::move(cursors));
  pop();
  current_ = outer;
}

// ---------------------------------------------------------------------------------------------------
// Declarations

void Compiler::declarations(std::vector<StmtP>& init, std::vector<int>& cursors) {
  while (!is("BEGIN") && !is("END") && at().kind != TokenKind::End) declaration(init, cursors);
}

void Compiler::declaration(std::vector<StmtP>& init, std::vector<int>& cursors) {
  const Token& first = at();
  if (accept("PRAGMA")) {
    if (accept("EXCEPTION_INIT")) {
      expectOp("(");
      std::string name = identifier();
      expectOp(",");
      bool negative = acceptOp("-");
      if (at().kind != TokenKind::Number) syntax(at(), "a number");
      long code = std::stol(p_.next().text);
      expectOp(")");
      const Symbol* s = scope_->find(name);
      if (!s || s->kind != Symbol::Kind::Exception) record(errorAt(first.pos, "PLS-00109: unknown exception name '" + name + "' in PRAGMA EXCEPTION_INIT"));
      else s->exception->code = static_cast<int>(negative ? code : -code);
    } else {
      while (!at().isOp(";") && at().kind != TokenKind::End) p_.next();
    }
    expectOp(";");
    return;
  }
  if (is("PROCEDURE") || is("FUNCTION")) {
    bool isFunction = is("FUNCTION");
    p_.next();
    auto sub = subprogramHeading(isFunction);
    // A specification declares; a body (or a block) defines, maybe after a forward declaration.
    Symbol* existing = nullptr;
    auto it = scope_->names.find(sub->name);
    if (it != scope_->names.end() && it->second.kind == Symbol::Kind::Subprograms) existing = &it->second;
    std::shared_ptr<Subprogram> declared;
    // Overloads differ in their parameters' types: a definition matches its declaration by names and
    // type families.
    auto family = [](const TypePtr& t) -> std::string {
      if (!t) return {};
      if (t->kind != Type::Kind::Scalar) return std::to_string(static_cast<int>(t->kind)) + t->name;
      DataType d = t->scalar == DataType::Char ? DataType::Varchar2 : t->scalar;
      return "S" + std::to_string(static_cast<int>(d));
    };
    auto sameHeading = [&](const Subprogram& a) {
      if (a.params.size() != sub->params.size() || a.isFunction != sub->isFunction) return false;
      for (std::size_t i = 0; i < a.params.size(); ++i)
        if (a.params[i].name != sub->params[i].name || family(a.params[i].type) != family(sub->params[i].type)) return false;
      return true;
    };
    if (existing) {
      for (auto& s : existing->subs)
        if (sameHeading(*s) && !s->body) declared = s;
    }
    // A body's subprogram may implement one the specification declared.
    std::shared_ptr<Subprogram> specEntry;
    if (auto spec = unit_.spec.lock(); spec && scope_->package) {
      if (const Symbol* ss = spec->scope->find(sub->name); ss && ss->kind == Symbol::Kind::Subprograms)
        for (const auto& s : ss->subs)
          if (sameHeading(*s)) specEntry = s;
    }
    if (accept("IS") || accept("AS")) {
      if (declared) {
        sub = declared;
        // Parameters were read again: keep the declared ones.
      }
      if (!existing) {
        Symbol s;
        s.kind = Symbol::Kind::Subprograms;
        s.subs = {sub};
        scope_->names[sub->name] = s;
      } else if (!declared) {
        existing->subs.push_back(sub);
      }
      if (specEntry) specEntry->impl = sub.get();
      if (scope_->package) unit_.subprograms.push_back(sub);
      subprogramBody(*sub);
      expectOp(";");
      return;
    }
    expectOp(";");
    if (!existing) {
      Symbol s;
      s.kind = Symbol::Kind::Subprograms;
      s.subs = {sub};
      scope_->names[sub->name] = s;
    } else {
      existing->subs.push_back(sub);
    }
    if (scope_->package && (unit_.type == "PACKAGE" || unit_.type == "TYPE")) unit_.subprograms.push_back(sub);
    return;
  }
  if (accept("CURSOR")) {
    std::string name = identifier();
    auto decl = std::make_shared<CursorDecl>();
    push(scope_->depth, scope_->frameSize);
    scope_->package = scope_->parent->package;
    if (acceptOp("(")) {
      do {
        Param prm;
        prm.name = identifier();
        accept("IN");
        prm.type = parseType();
        if (acceptOp(":=") || accept("DEFAULT")) prm.defaultValue = expr(*parseExpr());
        Symbol s = variableSymbol(prm.type);
        prm.slot = s.slot;
        declare(prm.name, s, first.pos);
        decl->params.push_back(prm);
      } while (acceptOp(","));
      expectOp(")");
    }
    if (accept("RETURN")) parseType();
    expect("IS");
    const Token& qstart = at();
    sql::QueryPtr q;
    try {
      q = p_.parseQuery();
    } catch (const Error& e) {
      syntax(tokenAtOffset(e.offset()));
    }
    int end = at().pos.offset;
    // A cursor FOR UPDATE carries each row's ROWID for WHERE CURRENT OF, after the visible columns.
    decl->currentOf = q->forUpdate && q->block;
    if (decl->currentOf) {
      sql::SelectItem item;
      item.expr = std::make_shared<sql::Expr>();
      item.expr->kind = ExprKind::Column;
      item.expr->name.parts = {"ROWID"};
      item.expr->pos = qstart.pos;
      item.alias = "NUVO$ROWID";
      q->block->items.push_back(item);
    }
    decl->sql = queryStatement(q, std::string(text_.substr(0, static_cast<std::size_t>(end))));
    try {
      compileSql(*decl->sql, qstart.pos);
    } catch (const NameError& ne) {
      record(ne.error);
    }
    auto rowType = std::const_pointer_cast<Type>(rowTypeOf(*decl->sql));
    if (decl->currentOf && !rowType->fields.empty()) rowType->fields.pop_back();
    decl->rowType = rowType;
    pop();
    expectOp(";");
    Symbol s = variableSymbol(refCursorType());
    decl->depth = s.depth;
    decl->slot = s.slot;
    decl->package = s.package ? stateOwner(s.package) : nullptr;
    s.kind = Symbol::Kind::Cursor;
    s.cursor = decl;
    if (!s.package) cursors.push_back(s.slot);
    declare(name, s, first.pos);
    return;
  }
  if (accept("TYPE")) {
    std::string name = identifier();
    expect("IS");
    auto type = std::make_shared<Type>();
    type->name = name;
    if (accept("RECORD")) {
      type->kind = Type::Kind::Record;
      expectOp("(");
      do {
        std::string field = identifier();
        TypePtr ft = parseType();
        if (accept("NOT")) expect("NULL");
        if (acceptOp(":=") || accept("DEFAULT")) parseExpr();
        type->fields.emplace_back(field, ft);
      } while (acceptOp(","));
      expectOp(")");
    } else if (is("TABLE") || is("VARRAY") || is("VARYING")) {
      collectionType(*type);
    } else if (accept("REF")) {
      expect("CURSOR");
      if (accept("RETURN")) parseType();
      type = std::const_pointer_cast<Type>(refCursorType());
    } else {
      syntax(at(), "RECORD TABLE VARRAY REF");
    }
    expectOp(";");
    Symbol s;
    s.kind = Symbol::Kind::Type;
    s.type = type;
    declare(name, s, first.pos);
    return;
  }
  if (accept("SUBTYPE")) {
    std::string name = identifier();
    expect("IS");
    Symbol s;
    s.kind = Symbol::Kind::Type;
    s.type = parseType();
    if (accept("NOT")) expect("NULL");
    expectOp(";");
    declare(name, s, first.pos);
    return;
  }
  // name [CONSTANT] type [NOT NULL] [:= expr] | name EXCEPTION
  std::string name = identifier();
  if (accept("EXCEPTION")) {
    expectOp(";");
    Symbol s;
    s.kind = Symbol::Kind::Exception;
    s.exception = std::make_shared<ExceptionDef>(ExceptionDef{name, 0});
    declare(name, s, first.pos);
    return;
  }
  bool constant = accept("CONSTANT");
  TypePtr type = parseType();
  bool notNull = false;
  if (accept("NOT")) {
    expect("NULL");
    notNull = true;
  }
  ExprP initial;
  if (acceptOp(":=") || accept("DEFAULT")) {
    auto e = parseExpr();
    try {
      initial = expr(*e);
    } catch (const NameError& ne) {
      record(ne.error);
    }
  } else if (constant || notNull) {
    record(errorAt(at().pos, "PLS-00218: a variable declared NOT NULL must have an initialization assignment"));
  }
  expectOp(";");
  Symbol s = variableSymbol(type);
  s.constant = constant;
  ExprP target = variableRef(s, first.pos);
  declare(name, s, first.pos);
  // The declaration (re)initialises the variable each time its block is entered.
  auto node = std::make_shared<FnStmt>();
  node->line = first.pos.line;
  node->run = [target, type, initial](Exec& x) {
    Datum* d = target->ref(x);
    *d = initialDatum(*type);
    if (initial) assign(x, *d, *type, initial->datum(x));
    return Flow::Next;
  };
  init.push_back(node);
}

// TABLE OF t [INDEX BY k] | VARRAY(n) OF t | VARYING ARRAY(n) OF t, after IS or AS.
void Compiler::collectionType(Type& type) {
  bool varray = accept("VARRAY") || (accept("VARYING") && (expect("ARRAY"), true));
  if (!varray) expect("TABLE");
  if (varray) {
    expectOp("(");
    if (at().kind != TokenKind::Number) syntax(at(), "a number");
    type.limit = std::stoll(p_.next().text);
    expectOp(")");
  }
  expect("OF");
  type.kind = Type::Kind::Collection;
  type.element = parseType();
  if (accept("NOT")) expect("NULL");
  if (!varray && accept("INDEX")) {
    expect("BY");
    TypePtr key = parseType();
    type.indexBy = true;
    type.textKeys = key->scalar != DataType::Number;
  }
  type.atomicNull = !type.indexBy;
}

TypePtr Compiler::parseType() {
  const Token& t = at();
  if (t.kind != TokenKind::Identifier) syntax(t, "a type");
  sql::Name name;
  name.pos = t.pos;
  name.parts.push_back(p_.next().text);
  while (at().isOp(".") && at(1).kind == TokenKind::Identifier) {
    p_.next();
    name.parts.push_back(p_.next().text);
  }
  // table@link%ROWTYPE, table.column@link%TYPE: described by the database behind the link.
  std::string link;
  if (acceptOp("@")) {
    link = identifier();
    while (acceptOp(".")) link += "." + identifier();
    if (!at().isOp("%")) syntax(at(), "%");
  }
  if (acceptOp("%")) {
    std::string attr = identifier();
    return typeOfName(name, attr, t.pos, link);
  }
  const std::string& n = name.parts.back();
  auto sized = [&](DataType dt) {
    auto type = std::make_shared<Type>();
    type->scalar = dt;
    type->name = n;
    if (acceptOp("(")) {
      if (at().kind != TokenKind::Number) syntax(at(), "a number");
      int first = std::stoi(p_.next().text);
      if (dt == DataType::Number) {
        type->precision = first;
        type->hasScale = true;
        if (acceptOp(",")) {
          bool neg = acceptOp("-");
          type->scale = std::stoi(p_.next().text) * (neg ? -1 : 1);
        }
      } else {
        type->length = first;
        accept("CHAR") || accept("BYTE");
      }
      expectOp(")");
    }
    return type;
  };
  if (name.parts.size() == 1) {
    if (n == "NUMBER" || n == "DECIMAL" || n == "NUMERIC" || n == "FLOAT" || n == "REAL" || n == "BINARY_DOUBLE" ||
        n == "BINARY_FLOAT" || n == "DOUBLE")
      return (n == "DOUBLE" && accept("PRECISION")), sized(DataType::Number);
    if (n == "INTEGER" || n == "INT" || n == "SMALLINT" || n == "PLS_INTEGER" || n == "BINARY_INTEGER" ||
        n == "NATURAL" || n == "POSITIVE" || n == "NATURALN" || n == "POSITIVEN" || n == "SIMPLE_INTEGER" ||
        n == "SIGNTYPE") {
      auto type = std::make_shared<Type>();
      type->scalar = DataType::Number;
      type->integer = true;
      // INTEGER, INT and SMALLINT are NUMBER(38); the others hold 32 bits (SIMPLE_INTEGER wraps instead).
      type->range32 = n != "INTEGER" && n != "INT" && n != "SMALLINT" && n != "SIMPLE_INTEGER";
      type->name = n;
      return type;
    }
    if (n == "RAW") return sized(DataType::Raw);
    if (n == "BLOB") return sized(DataType::Blob);
    if (n == "VARCHAR2" || n == "VARCHAR" || n == "NVARCHAR2" || n == "STRING" || n == "LONG" || n == "CLOB" ||
        n == "NCLOB" || n == "ROWID" || n == "UROWID")
      return (n == "LONG" && accept("RAW")), sized(n == "CLOB" || n == "NCLOB" ? DataType::Clob : DataType::Varchar2);
    if (n == "CHAR" || n == "NCHAR" || n == "CHARACTER") {
      auto type = sized(DataType::Char);
      if (type->length == 0) type->length = 1;
      return type;
    }
    if (n == "DATE") return scalarType(DataType::Date, "DATE");
    if (n == "TIMESTAMP") {
      // TIMESTAMP[(n)] [WITH [LOCAL] TIME ZONE]: n fractional digits, 6 unless given.
      int digits = 6;
      if (acceptOp("(")) {
        const std::string& text = p_.peek().text;
        digits = text.size() == 1 && text[0] >= '0' && text[0] <= '9' ? text[0] - '0' : -1;
        if (digits < 0) throw SyntaxError{errorAt(p_.peek().pos, "PLS-00103: Encountered the symbol \"" + text + "\"")};
        p_.next();
        expectOp(")");
      }
      if (accept("WITH")) {
        bool local = accept("LOCAL");
        expect("TIME");
        expect("ZONE");
        if (!local) {
          auto zoned = std::make_shared<Type>(*timestampType(digits));
          zoned->name = "TIMESTAMP WITH TIME ZONE";
          return zoned;
        }
      }
      return timestampType(digits);
    }
    if (n == "INTERVAL") {
      // INTERVAL DAY[(p)] TO SECOND[(s)], INTERVAL YEAR[(p)] TO MONTH: p leads (2), s the fraction (6).
      auto digits = [&](int fallback) {
        if (!acceptOp("(")) return fallback;
        const std::string& text = p_.peek().text;
        int v = text.size() == 1 && text[0] >= '0' && text[0] <= '9' ? text[0] - '0' : -1;
        if (v < 0) throw SyntaxError{errorAt(p_.peek().pos, "PLS-00103: Encountered the symbol \"" + text + "\"")};
        p_.next();
        expectOp(")");
        return v;
      };
      if (accept("YEAR")) {
        int years = digits(2);
        expect("TO");
        expect("MONTH");
        return intervalType(DataType::IntervalYearMonth, years, 0);
      }
      expect("DAY");
      int days = digits(2);
      expect("TO");
      expect("SECOND");
      return intervalType(DataType::IntervalDaySecond, days, digits(6));
    }
    if (n == "BOOLEAN") return booleanType();
    if (n == "SYS_REFCURSOR") return refCursorType();
  }
  // DBMS_OUTPUT's line arrays
  if (name.parts.size() == 2 && name.parts[0] == "DBMS_OUTPUT" &&
      (name.parts[1] == "CHARARR" || name.parts[1] == "DBMSOUTPUT_LINESARRAY")) {
    auto type = std::make_shared<Type>();
    type->kind = Type::Kind::Collection;
    type->name = name.parts[1];
    type->element = scalarType(DataType::Varchar2, "VARCHAR2", 32767);
    type->indexBy = name.parts[1] == "CHARARR";
    return type;
  }
  // A declared type: TYPE/SUBTYPE of this scope or of a package.
  if (name.parts.size() == 1) {
    if (const Symbol* s = scope_->find(n); s && s->kind == Symbol::Kind::Type) return s->type;
    if (selfType_ && n == selfType_->name) return selfType_;
  } else if (name.parts.size() == 2 && !findUnit(owner_, name.parts[0]) &&
             session_.catalog().findObject(name.parts[0], name.parts[1], "TYPE")) {
    // schema.type below
  } else if (name.parts.size() == 2) {
    if (auto pkg = findUnit(owner_, name.parts[0]); pkg && pkg->scope) {
      unit_.dependencies.insert({pkg->owner, pkg->name});
      if (auto it = pkg->scope->names.find(name.parts[1]); it != pkg->scope->names.end() && it->second.kind == Symbol::Kind::Type)
        return it->second.type;
      throw SyntaxError{errorAt(t.pos, "PLS-00302: component '" + n + "' must be declared")};
    }
  }
  // A schema-level type: its own name, or schema.name.
  if (name.parts.size() <= 2) {
    std::string typeOwner = name.parts.size() == 2 ? name.parts[0] : owner_;
    if (auto type = findUnit(typeOwner, n); type && type->objectType) {
      unit_.dependencies.insert({type->owner, type->name});
      return type->objectType;
    }
    if (std::string failed = loader_.invalidUnit(typeOwner, n); !failed.empty()) {
      unit_.dependencies.insert({typeOwner, n});
      throw SyntaxError{errorAt(t.pos, "PLS-00905: object " + failed + " is invalid")};
    }
  }
  // The name as written, with its qualifiers.
  std::string shown;
  for (const auto& part : name.parts) shown += (shown.empty() ? "" : ".") + part;
  throw SyntaxError{errorAt(t.pos, "PLS-00201: identifier '" + shown + "' must be declared")};
}

TypePtr Compiler::rowTypeOfTable(const std::string& owner, const std::string& table, const sql::Position& pos,
                                 const std::string& link) {
  const catalog::Catalog* cat = &session_.catalog();
  std::string schema = owner_;
  std::string own = owner;
  sql::CompileContext remote;
  if (!link.empty()) {
    // Over a link: the other database's catalog, as its link user sees it.
    try {
      remote = session_.linkContext(link);
    } catch (const Error& e) {
      throw SyntaxError{errorAt(pos, "PLS-00352: Unable to access another database '" + link + "'\n" + e.message())};
    }
    cat = remote.catalog;
    schema = remote.user;
    if (own.empty()) own = remote.user;
  }
  auto object = cat->findObject(own, table);
  if (!object && own == schema) {
    if (auto syn = cat->synonymTarget(own, table)) object = cat->findObject((*syn)[0], (*syn)[1]);
    if (!object)
      if (auto syn = cat->synonymTarget("PUBLIC", table)) object = cat->findObject((*syn)[0], (*syn)[1]);
  }
  if (object && !link.empty() && !remote.mayUse(remote.user, object->owner, object->name, "SELECT")) object.reset();
  // A dictionary view (user_tab_columns, all_objects, v$session, ...): its columns as Oracle types them.
  const catalog::DictionaryView* view = nullptr;
  if (!object && link.empty() && (owner == owner_ || owner == "SYS")) view = catalog::findDictionaryView(table);
  if (view) {
    auto type = std::make_shared<Type>();
    type->kind = Type::Kind::Record;
    type->name = table + "%ROWTYPE";
    for (const auto& c : view->columns) {
      auto ft = std::make_shared<Type>();
      ft->scalar = c.type;
      ft->name = dataTypeName(c.type);
      if (c.type == DataType::Varchar2 || c.type == DataType::Char) ft->length = c.size;
      type->fields.emplace_back(c.name, ft);
    }
    return type;
  }
  if (!object || (object->type != "TABLE" && object->type != "VIEW"))
    throw SyntaxError{errorAt(pos, "PLS-00201: identifier '" + table + (link.empty() ? "" : "@" + link) +
                                       "' must be declared")};
  if (link.empty()) unit_.dependencies.insert({object->owner, object->name});
  auto type = std::make_shared<Type>();
  type->kind = Type::Kind::Record;
  type->name = table + "%ROWTYPE";
  for (const auto& c : cat->columns(object->id)) {
    auto ft = std::make_shared<Type>();
    ft->scalar = c.type;
    ft->name = c.typeName;
    ft->length = c.charUsed ? c.charLength : c.length;
    if (c.type == DataType::Number || c.type == DataType::Timestamp || c.type == DataType::IntervalDaySecond ||
        c.type == DataType::IntervalYearMonth) {
      ft->precision = c.hasPrecision ? c.precision : 0;
      ft->scale = c.scale;
      ft->hasScale = c.hasScale;
    }
    if (c.type != DataType::Varchar2 && c.type != DataType::Char) ft->length = 0;
    type->fields.emplace_back(c.name, ft);
  }
  return type;
}

TypePtr Compiler::typeOfName(const sql::Name& name, const std::string& attribute, const sql::Position& pos,
                             const std::string& link) {
  const auto& parts = name.parts;
  if (!link.empty()) {
    if (attribute == "ROWTYPE" && parts.size() <= 2)
      return rowTypeOfTable(parts.size() == 2 ? parts[0] : "", parts.back(), pos, link);
    if (attribute == "TYPE" && (parts.size() == 2 || parts.size() == 3)) {
      TypePtr row = rowTypeOfTable(parts.size() == 3 ? parts[0] : "", parts[parts.size() - 2], pos, link);
      int f = row->fieldIndex(parts.back());
      if (f >= 0) return row->fields[static_cast<std::size_t>(f)].second;
    }
    std::string shown;
    for (const auto& p : parts) shown += (shown.empty() ? "" : ".") + p;
    throw SyntaxError{errorAt(pos, "PLS-00201: identifier '" + shown + "@" + link + "' must be declared")};
  }
  if (attribute == "ROWTYPE") {
    if (parts.size() == 1) {
      if (const Symbol* s = scope_->find(parts[0]); s && s->kind == Symbol::Kind::Cursor) return s->cursor->rowType;
      return rowTypeOfTable(owner_, parts[0], pos);
    }
    return rowTypeOfTable(parts[0], parts[1], pos);
  }
  if (attribute != "TYPE") syntax(at(), "TYPE ROWTYPE");
  // variable%TYPE, record.field%TYPE, package.variable%TYPE, table.column%TYPE, schema.table.column%TYPE
  std::size_t from = 1;
  const Symbol* s = scope_->find(parts[0]);
  if (!s && parts.size() >= 2) {
    s = packageMember(parts[0], parts[1]);
    from = 2;
  }
  if (s && s->kind == Symbol::Kind::Variable) {
    TypePtr t = s->type;
    for (std::size_t i = from; i < parts.size() && t; ++i) {
      int f = t->fieldIndex(parts[i]);
      t = f < 0 ? nullptr : t->fields[static_cast<std::size_t>(f)].second;
    }
    if (t) return t;
  }
  if (parts.size() >= 2) {
    std::string owner = parts.size() == 3 ? parts[0] : owner_;
    TypePtr row = rowTypeOfTable(owner, parts[parts.size() - 2], pos);
    int f = row->fieldIndex(parts.back());
    if (f >= 0) return row->fields[static_cast<std::size_t>(f)].second;
    throw SyntaxError{errorAt(pos, "PLS-00302: component '" + parts.back() + "' must be declared")};
  }
  std::string shown;
  for (const auto& p : parts) shown += (shown.empty() ? "" : ".") + p;
  throw SyntaxError{errorAt(pos, "PLS-00201: identifier '" + shown + "' must be declared")};
}

// ---------------------------------------------------------------------------------------------------
// Blocks and statements

std::shared_ptr<BlockNode> Compiler::blockBody(std::vector<StmtP> init, std::vector<int> cursors) {
  auto block = std::make_shared<BlockNode>();
  block->line = at().pos.line;
  block->declarations = std::move(init);
  block->cursorSlots = std::move(cursors);
  expect("BEGIN");
  block->body = statements({"EXCEPTION", "END"});
  if (accept("EXCEPTION")) block->handlers = handlers();
  expect("END");
  if (at().kind == TokenKind::Identifier && !at().isOp(";")) p_.next();
  return block;
}

std::vector<Handler> Compiler::handlers() {
  std::vector<Handler> out;
  while (accept("WHEN")) {
    Handler h;
    do {
      const Token& t = at();
      if (accept("OTHERS")) continue;
      sql::Name name;
      name.parts.push_back(identifier());
      while (acceptOp(".")) name.parts.push_back(identifier());
      std::shared_ptr<ExceptionDef> def;
      if (name.parts.size() == 1) {
        if (const Symbol* s = scope_->find(name.parts[0]); s && s->kind == Symbol::Kind::Exception) def = s->exception;
        else def = predefined(name.parts[0]);
      } else if (auto pkg = findUnit(owner_, name.parts[0]); pkg && pkg->scope) {
        auto it = pkg->scope->names.find(name.parts[1]);
        if (it != pkg->scope->names.end() && it->second.kind == Symbol::Kind::Exception) def = it->second.exception;
      }
      if (!def) record(errorAt(t.pos, "PLS-00201: identifier '" + name.parts.back() + "' must be declared"));
      else h.matches.push_back(def);
    } while (accept("OR"));
    expect("THEN");
    h.body = statements({"WHEN", "END"});
    out.push_back(std::move(h));
  }
  return out;
}

std::vector<StmtP> Compiler::statements(std::initializer_list<const char*> enders) {
  std::vector<StmtP> out;
  auto atEnd = [&] {
    if (at().kind == TokenKind::End) return true;
    for (const char* e : enders)
      if (is(e)) return true;
    return false;
  };
  bool any = false;
  while (!atEnd()) {
    if (StmtP s = statementOrError()) out.push_back(s);
    any = true;
  }
  if (!any) syntax(at(), "begin case declare exit for goto if loop mod null raise return select update while");
  return out;
}

StmtP Compiler::statementOrError() {
  const Token& first = at();
  try {
    StmtP s = statement();
    if (s && s->line == 0) s->line = first.pos.line;
    return s;
  } catch (const NameError& e) {
    record(e.error);
    if (e.error.text != "PL/SQL: SQL Statement ignored") record(errorAt(first.pos, "PL/SQL: Statement ignored"));
    // Skip to the end of the statement, unless it was read whole. A compound statement (loop, IF, CASE,
    // block) ends at its own END ...; rather than at the first ";" of its body.
    int depth = 0;
    auto opensBlock = [](const Token& t) {
      return t.kind == TokenKind::Identifier && !t.quoted &&
             (t.text == "IF" || t.text == "CASE" || t.text == "BEGIN" || t.text == "LOOP");
    };
    // A compound statement was read whole only when its "END [IF|LOOP|CASE] [label];" was.
    bool compound = opensBlock(first) || first.is("FOR") || first.is("WHILE");
    bool endRead = is("END", -2) || (is("END", -3) && at(-2).kind == TokenKind::Identifier) ||
                   (is("END", -4) && is("LOOP", -3));
    bool readWhole = at(-1).isOp(";") && at(-1).pos.offset > first.pos.offset && (!compound || endRead);
    int blocks = opensBlock(first) && first.text != "LOOP" && at().pos.offset > first.pos.offset ? 1 : 0;
    while (!readWhole && at().kind != TokenKind::End) {
      if (at().isOp("(")) ++depth;
      if (at().isOp(")")) --depth;
      if (is("END")) {
        --blocks;
        if (at(1).kind == TokenKind::Identifier && (is("LOOP", 1) || is("IF", 1) || is("CASE", 1))) p_.next();
      } else if (opensBlock(at())) {
        ++blocks;
      }
      if (at().isOp(";") && depth <= 0 && blocks <= 0) {
        p_.next();
        break;
      }
      p_.next();
    }
    return nullptr;
  }
}

StmtP Compiler::statement() {
  std::string label;
  if (at().isOp("<") && at(1).isOp("<")) {
    p_.next();
    p_.next();
    label = identifier();
    expectOp(">");
    expectOp(">");
  }
  const Token& t = at();
  if (t.kind != TokenKind::Identifier && t.kind != TokenKind::Bind) syntax(t, "begin case declare exit for if loop null raise return select");
  if (is("BEGIN") || is("DECLARE")) {
    std::vector<StmtP> init;
    std::vector<int> cursors;
    push(scope_->depth, scope_->frameSize);
    if (accept("DECLARE")) declarations(init, cursors);
    auto block = blockBody(std::move(init), std::move(cursors));
    pop();
    expectOp(";");
    return block;
  }
  if (accept("NULL")) {
    expectOp(";");
    return nullptr;
  }
  if (is("IF")) return ifStatement();
  if (is("CASE")) return caseStatement();
  if (is("LOOP")) return loopStatement(label);
  if (is("WHILE")) return whileStatement(label);
  if (is("FOR")) return forStatement(label);
  if (is("EXIT")) return exitStatement(false);
  if (is("CONTINUE")) return exitStatement(true);
  if (is("RETURN")) return returnStatement();
  if (is("RAISE")) return raiseStatement();
  if (is("OPEN")) return openStatement();
  if (is("FETCH")) return fetchStatement();
  if (is("CLOSE")) return closeStatement();
  if (is("EXECUTE") && is("IMMEDIATE", 1)) return executeImmediate();
  if (is("COMMIT") || is("ROLLBACK") || is("SAVEPOINT")) return transactionStatement();
  if (is("LOCK") && is("TABLE", 1)) return lockStatement();
  if (is("SELECT") || is("WITH") || is("INSERT") || is("UPDATE") || is("DELETE") || is("MERGE") || is("LOCK"))
    return sqlStatement();
  return assignmentOrCall();
}

StmtP Compiler::assignmentOrCall() {
  const Token& first = at();
  auto e = parseExpr();
  if (acceptOp(":=")) {
    auto valueAst = parseExpr();
    expectOp(";");
    ExprP target = expr(*e);
    auto node = std::make_shared<AssignNode>();
    node->line = first.pos.line;
    node->target = target;
    node->type = target->type;
    node->value = expr(*valueAst);
    if (auto* fv = dynamic_cast<FnExpr*>(target.get()); fv && !fv->storage)
      throw NameError{errorAt(first.pos, "PLS-00363: expression '" + std::string(text_.substr(
                                             static_cast<std::size_t>(e->pos.offset),
                                             static_cast<std::size_t>(e->endOffset - e->pos.offset))) +
                                             "' cannot be used as an assignment target")};
    if (dynamic_cast<ConstNode*>(target.get()))
      throw NameError{errorAt(first.pos, "PLS-00363: expression cannot be used as an assignment target")};
    if (e->kind == ExprKind::Column && e->name.parts.size() == 1)
      if (const Symbol* s = scope_->find(e->name.parts[0]); s && s->constant)
        throw NameError{errorAt(first.pos, "PLS-00363: expression '" + e->name.parts[0] + "' cannot be used as an assignment target")};
    return node;
  }
  expectOp(";");
  if (e->kind != ExprKind::Column && e->kind != ExprKind::Function) syntax(first);
  ExprP call = callRef(*e, true);
  auto node = std::make_shared<FnStmt>();
  node->run = [call](Exec& x) {
    call->datum(x);
    return Flow::Next;
  };
  return node;
}

ExprP Compiler::condition(const sql::ExprPtr& e) {
  ExprP c = expr(*e);
  if (c->type && c->type->kind != Type::Kind::Boolean)
    throw NameError{errorAt(e->pos, "PLS-00382: expression is of wrong type")};
  return c;
}

StmtP Compiler::ifStatement() {
  p_.next();
  struct Branch {
    ExprP cond;
    std::vector<StmtP> body;
  };
  std::vector<Branch> branches;
  std::vector<StmtP> otherwise;
  do {
    auto c = parseExpr();
    expect("THEN");
    auto body = statements({"ELSIF", "ELSE", "END"});
    branches.push_back({condition(c), std::move(body)});
  } while (accept("ELSIF"));
  if (accept("ELSE")) otherwise = statements({"END"});
  expect("END");
  expect("IF");
  expectOp(";");
  auto node = std::make_shared<FnStmt>();
  node->run = [branches = std::move(branches), otherwise = std::move(otherwise)](Exec& x) {
    for (const auto& b : branches)
      if (isTrue(b.cond->eval(x))) return runList(x, b.body);
    return runList(x, otherwise);
  };
  return node;
}

StmtP Compiler::caseStatement() {
  p_.next();
  ExprP operand;
  if (!is("WHEN")) operand = expr(*parseExpr());
  struct Branch {
    ExprP when;
    std::vector<StmtP> body;
  };
  std::vector<Branch> branches;
  std::vector<StmtP> otherwise;
  bool hasElse = false;
  while (accept("WHEN")) {
    ExprP w = expr(*parseExpr());
    expect("THEN");
    branches.push_back({w, statements({"WHEN", "ELSE", "END"})});
  }
  if (accept("ELSE")) {
    hasElse = true;
    otherwise = statements({"END"});
  }
  expect("END");
  expect("CASE");
  expectOp(";");
  auto node = std::make_shared<FnStmt>();
  node->run = [operand, branches = std::move(branches), otherwise = std::move(otherwise), hasElse](Exec& x) {
    Value v = operand ? operand->eval(x) : Value();
    for (const auto& b : branches) {
      Value w = b.when->eval(x);
      bool hit = operand ? compareValues(x, v, w).value_or(1) == 0 : isTrue(w);
      if (hit) return runList(x, b.body);
    }
    if (!hasElse) raiseOra(6592);
    return runList(x, otherwise);
  };
  return node;
}

std::vector<StmtP> Compiler::loopBody(const std::string& label) {
  expect("LOOP");
  ++loopDepth_;
  auto body = statements({"END"});
  --loopDepth_;
  expect("END");
  expect("LOOP");
  if (!label.empty() && at().kind == TokenKind::Identifier) p_.next();
  expectOp(";");
  return body;
}

StmtP Compiler::loopStatement(const std::string& label) {
  auto body = loopBody(label);
  auto node = std::make_shared<FnStmt>();
  node->run = [body = std::move(body), label](Exec& x) {
    for (;;) {
      bool stop;
      Flow r = loopFlow(x, runList(x, body), label, stop);
      if (stop) return r;
    }
  };
  return node;
}

StmtP Compiler::whileStatement(const std::string& label) {
  p_.next();
  ExprP cond = condition(parseExpr());
  auto body = loopBody(label);
  auto node = std::make_shared<FnStmt>();
  node->run = [cond, body = std::move(body), label](Exec& x) {
    while (isTrue(cond->eval(x))) {
      bool stop;
      Flow r = loopFlow(x, runList(x, body), label, stop);
      if (stop) return r;
    }
    return Flow::Next;
  };
  return node;
}

StmtP Compiler::forStatement(const std::string& label) {
  p_.next();
  const Token& varToken = at();
  std::string var = identifier();
  expect("IN");
  bool reverse = accept("REVERSE");
  push(scope_->depth, scope_->frameSize);
  struct PopScope {
    Compiler& c;
    ~PopScope() { c.pop(); }
  } popScope{*this};
  // Cursor FOR loop: FOR r IN c[(args)] LOOP / FOR r IN (SELECT ...) LOOP
  const Symbol* cursor = at().kind == TokenKind::Identifier ? scope_->find(at().text) : nullptr;
  if ((cursor && cursor->kind == Symbol::Kind::Cursor) || (at().isOp("(") && (is("SELECT", 1) || is("WITH", 1)))) {
    std::shared_ptr<SqlStatement> sql;
    std::vector<std::pair<ExprP, Param>> args;
    ExprP cursorSlot;
    TypePtr rowType;
    if (cursor && cursor->kind == Symbol::Kind::Cursor) {
      auto call = parseExpr();
      auto decl = cursor->cursor;
      Symbol slotSym = *cursor;
      cursorSlot = variableRef(slotSym, call->pos);
      sql = decl->sql;
      rowType = decl->rowType;
      for (std::size_t i = 0; i < decl->params.size(); ++i) {
        const Param& prm = decl->params[i];
        ExprP value = i < call->args.size() ? expr(*call->args[i]) : prm.defaultValue;
        Symbol ps;
        ps.kind = Symbol::Kind::Variable;
        ps.type = prm.type;
        ps.depth = decl->depth;
        ps.slot = prm.slot;
        ps.package = decl->package;
        args.emplace_back(value, prm);
        args.back().first = value;
        args.back().second.defaultValue = variableRef(ps, call->pos);
      }
    } else {
      p_.next();
      const Token& qstart = at();
      sql::QueryPtr q;
      try {
        q = p_.parseQuery();
      } catch (const Error& e) {
        syntax(tokenAtOffset(e.offset()));
      }
      int end = at().pos.offset;
      expectOp(")");
      sql = queryStatement(q, std::string(text_.substr(0, static_cast<std::size_t>(end))));
      compileSql(*sql, qstart.pos);
      rowType = rowTypeOf(*sql);
    }
    Symbol rec = variableSymbol(rowType);
    ExprP recRef = variableRef(rec, varToken.pos);
    declare(var, rec, varToken.pos);
    auto body = loopBody(label);
    auto node = std::make_shared<FnStmt>();
    node->run = [sql, args, recRef, rowType, cursorSlot, body = std::move(body), label](Exec& x) {
      for (const auto& [value, prm] : args) {
        Datum* d = prm.defaultValue->ref(x);
        d->v = convertScalar(x, value ? value->eval(x) : Value(), *prm.type);
      }
      if (cursorSlot) {
        // A declared cursor is open while the loop runs: its attributes and WHERE CURRENT OF see
        // the row the loop stands on.
        CursorState& c = cursorOf(x, cursorSlot);
        openCursor(x, c, sql);
        struct Close {
          CursorState& c;
          ~Close() { c.close(); }
        } close{c};
        while (c.next()) {
          Datum* r = recRef->ref(x);
          if (!r->record) *r = newComposite(*rowType);
          for (std::size_t i = 0; i < r->record->size() && i < c.row.size(); ++i) (*r->record)[i].v = c.row[i];
          bool stop;
          Flow f = loopFlow(x, runList(x, body), label, stop);
          if (stop) return f;
        }
        return Flow::Next;
      }
      sqlite3_stmt* s = sql->start(x);
      struct Done {
        SqlStatement& sql;
        sqlite3_stmt* s;
        ~Done() { sql.finish(s); }
      } done{*sql, s};
      while (sql->step(x.session, s)) {
        Datum* r = recRef->ref(x);
        if (!r->record) *r = newComposite(*rowType);
        for (std::size_t i = 0; i < r->record->size(); ++i) (*r->record)[i].v = sql->column(s, static_cast<int>(i));
        bool stop;
        Flow f = loopFlow(x, runList(x, body), label, stop);
        if (stop) return f;
      }
      return Flow::Next;
    };
    return node;
  }
  auto node = std::make_shared<ForNode>();
  node->reverse = reverse;
  node->label = label;
  node->low = expr(*parseExpr());
  expectOp("..");
  node->high = expr(*parseExpr());
  auto intType = std::make_shared<Type>();
  intType->scalar = DataType::Number;
  intType->integer = true;
  intType->range32 = true;
  intType->name = "PLS_INTEGER";
  Symbol s = variableSymbol(intType);
  s.constant = true;
  node->slot = s.slot;
  declare(var, s, varToken.pos);
  node->body = loopBody(label);
  return node;
}

StmtP Compiler::exitStatement(bool isContinue) {
  const Token& t = p_.next();
  if (loopDepth_ == 0) throw NameError{errorAt(t.pos, isContinue ? "PLS-01163: CONTINUE statement must be inside a loop" : "PLS-00376: illegal EXIT/CONTINUE statement; it must appear inside a loop")};
  std::string label;
  if (at().kind == TokenKind::Identifier && !is("WHEN")) label = identifier();
  ExprP cond;
  if (accept("WHEN")) cond = condition(parseExpr());
  expectOp(";");
  auto node = std::make_shared<FnStmt>();
  Flow flow = isContinue ? Flow::Continue : Flow::Exit;
  node->run = [cond, label, flow](Exec& x) {
    if (cond && !isTrue(cond->eval(x))) return Flow::Next;
    x.label = label;
    return flow;
  };
  return node;
}

StmtP Compiler::returnStatement() {
  const Token& t = p_.next();
  ExprP value;
  TypePtr type;
  if (!at().isOp(";")) {
    if (!current_ || !current_->isFunction) throw NameError{errorAt(t.pos, "PLS-00372: In a procedure, RETURN statement cannot contain an expression")};
    value = expr(*parseExpr());
    type = current_->returnType;
  } else if (current_ && current_->constructor) {
    // A constructor's RETURN gives back SELF.
    value = variableRef(*scope_->find("SELF"), t.pos);
    type = current_->returnType;
  } else if (current_ && current_->isFunction) {
    throw NameError{errorAt(t.pos, "PLS-00503: RETURN <value> statement required for this return from function")};
  }
  expectOp(";");
  auto node = std::make_shared<FnStmt>();
  node->run = [value, type](Exec& x) {
    if (value) {
      Datum d;
      assign(x, d, *type, value->datum(x));
      x.returnValue = std::move(d);
    }
    return Flow::Return;
  };
  return node;
}

StmtP Compiler::raiseStatement() {
  const Token& t = p_.next();
  if (acceptOp(";")) {
    auto node = std::make_shared<FnStmt>();
    node->run = [](Exec& x) -> Flow {
      if (!x.handling) raiseOra(6510);
      PlsqlError e = *x.handling;
      e.stack.clear();
      throw e;
    };
    return node;
  }
  sql::Name name;
  name.parts.push_back(identifier());
  while (acceptOp(".")) name.parts.push_back(identifier());
  expectOp(";");
  std::shared_ptr<ExceptionDef> def;
  if (name.parts.size() == 1) {
    if (const Symbol* s = scope_->find(name.parts[0]); s && s->kind == Symbol::Kind::Exception) def = s->exception;
    else def = predefined(name.parts[0]);
  } else if (auto pkg = findUnit(owner_, name.parts[0]); pkg && pkg->scope) {
    unit_.dependencies.insert({pkg->owner, pkg->name});
    auto it = pkg->scope->names.find(name.parts[1]);
    if (it != pkg->scope->names.end() && it->second.kind == Symbol::Kind::Exception) def = it->second.exception;
  }
  if (!def) undeclared(t.pos, name.parts.back());
  auto node = std::make_shared<FnStmt>();
  node->run = [def](Exec&) -> Flow { raiseDef(*def); };
  return node;
}

StmtP Compiler::transactionStatement() {
  std::string word = p_.next().text;
  std::string savepoint;
  accept("WORK");
  if (word == "SAVEPOINT") savepoint = identifier();
  if (word == "ROLLBACK" && accept("TO")) {
    accept("SAVEPOINT");
    savepoint = identifier();
  }
  expectOp(";");
  auto node = std::make_shared<FnStmt>();
  node->run = [word, savepoint](Exec& x) {
    try {
      if (word == "COMMIT") x.session.commit();
      else if (word == "SAVEPOINT") x.session.savepoint(savepoint);
      else if (!savepoint.empty()) x.session.rollbackToSavepoint(savepoint);
      else x.session.rollback();
    } catch (const Error& e) {
      throw PlsqlError::from(e);
    }
    return Flow::Next;
  };
  return node;
}

// LOCK TABLE ... IN mode MODE [NOWAIT]: checked now, run as the session runs it.
StmtP Compiler::lockStatement() {
  const Token& first = at();
  std::size_t start = static_cast<std::size_t>(first.pos.offset);
  int k = 0;
  while (!at(k).isOp(";") && at(k).kind != TokenKind::End) ++k;
  if (at(k).kind == TokenKind::End) syntax(at(k), ";");
  std::string text(text_.substr(start, static_cast<std::size_t>(at(k).pos.offset) - start));
  for (int i = 0; i <= k; ++i) p_.next();
  try {
    sql::Parser parser(text);
    auto stmt = parser.parseStatement();
    const auto& table = static_cast<const sql::TableStmt&>(*stmt).table;
    std::string owner = table.parts.size() == 2 ? table.parts[0] : owner_;
    auto object = session_.catalog().findObject(owner, table.last());
    bool synonym = (object && object->type == "SYNONYM") ||
                   (!object && table.parts.size() == 1 && session_.catalog().synonymTarget("PUBLIC", table.last()));
    if (!synonym && (!object || object->type != "TABLE")) throw Error::ora(942);
    if (!synonym) unit_.dependencies.insert({object->owner, object->name});
  } catch (const Error& e) {
    record(errorAt(first.pos, "PL/SQL: " + e.message().substr(0, e.message().find('\n'))));
    throw NameError{errorAt(first.pos, "PL/SQL: SQL Statement ignored")};
  }
  auto node = std::make_shared<FnStmt>();
  node->line = first.pos.line;
  node->run = [text](Exec& x) {
    try {
      x.session.prepare(text)->execute();
    } catch (const Error& e) {
      throw PlsqlError::from(e);
    }
    return Flow::Next;
  };
  return node;
}

// ---------------------------------------------------------------------------------------------------
// SQL statements

std::string padded(const std::string& text, std::size_t from, std::size_t to) {
  std::string out = text.substr(0, to);
  for (std::size_t i = 0; i < from; ++i)
    if (out[i] != '\n') out[i] = ' ';
  return out;
}

void blank(std::string& text, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to && i < text.size(); ++i)
    if (text[i] != '\n') text[i] = ' ';
}

std::vector<sql::ExprPtr> parseList(const std::string& text, std::size_t from, std::size_t to) {
  std::string t = padded(text, from, to);
  sql::Parser p(t);
  while (p.peek().pos.offset < static_cast<int>(from) && p.peek().kind != TokenKind::End) p.next();
  std::vector<sql::ExprPtr> out;
  do out.push_back(p.parseExpr());
  while (p.acceptOp(","));
  return out;
}

Compiler::SqlPiece Compiler::readSql() {
  SqlPiece piece;
  piece.pos = at().pos;
  std::size_t start = static_cast<std::size_t>(at().pos.offset);
  bool isSelect = is("SELECT") || is("WITH");
  int depth = 0, k = 0;
  int intoAt = -1, intoEnd = -1, bulkAt = -1, returningAt = -1, returningIntoAt = -1, currentOfAt = -1;
  for (;; ++k) {
    const Token& t = at(k);
    if (t.kind == TokenKind::End) syntax(t, ";");
    if (t.isOp("(")) ++depth;
    if (t.isOp(")")) --depth;
    if (depth == 0 && t.isOp(";")) break;
    if (depth != 0) continue;
    if (isSelect && intoAt < 0 && t.is("BULK") && at(k + 1).is("COLLECT")) bulkAt = k;
    if (isSelect && intoAt < 0 && t.is("INTO")) intoAt = k;
    if (isSelect && intoAt >= 0 && intoEnd < 0 && t.is("FROM")) intoEnd = k;
    if (!isSelect && (t.is("RETURNING") || t.is("RETURN"))) returningAt = k;
    if (!isSelect && returningAt >= 0 && t.is("INTO")) returningIntoAt = k;
    if (!isSelect && t.is("WHERE") && at(k + 1).is("CURRENT") && at(k + 2).is("OF")) currentOfAt = k;
  }
  std::size_t end = static_cast<std::size_t>(at(k).pos.offset);
  std::string text = padded(text_, start, end);
  markTriggerRows(text, start, end);
  if (intoAt >= 0) {
    if (intoEnd < 0) syntax(at(k), "FROM");
    std::size_t from = static_cast<std::size_t>(at(intoAt + 1).pos.offset);
    std::size_t to = static_cast<std::size_t>(at(intoEnd).pos.offset);
    piece.into = parseList(text_, from, to);
    piece.bulk = bulkAt >= 0;
    blank(text, static_cast<std::size_t>(at(bulkAt >= 0 ? bulkAt : intoAt).pos.offset), to);
  }
  // RETURNING stays in the SQL, which yields the values; its INTO targets are PL/SQL's to fill.
  if (returningAt >= 0 && returningIntoAt > returningAt)
    piece.returningInto = parseList(text_, static_cast<std::size_t>(at(returningIntoAt + 1).pos.offset), end);
  // WHERE CURRENT OF c: the row the cursor stands on, by its ROWID.
  SqlParam currentRow;
  if (currentOfAt >= 0) {
    const Token& name = at(currentOfAt + 3);
    const Symbol* cursor = scope_->find(name.text);
    if (!cursor || cursor->kind != Symbol::Kind::Cursor || !cursor->cursor->currentOf)
      throw NameError{errorAt(name.pos, "PLS-00404: cursor '" + name.text + "' must be declared with FOR UPDATE to use with CURRENT OF")};
    std::size_t from = static_cast<std::size_t>(at(currentOfAt).pos.offset);
    std::size_t to = static_cast<std::size_t>(name.endOffset);
    blank(text, from, to);
    text.replace(from, 15, "WHERE ROWID=:C$");
    ExprP slot = variableRef(*cursor, name.pos);
    auto rowid = std::make_shared<FnExpr>();
    rowid->type = scalarType(DataType::Rowid, "ROWID");
    rowid->run = [slot](Exec& x) -> Value {
      CursorState& c = cursorOf(x, slot);
      if (!c.open || !c.found || c.row.empty()) raiseOra(1001);
      return c.row.back();
    };
    currentRow.expr = rowid;
  }
  for (int i = 0; i <= k; ++i) p_.next();
  piece.sql = std::make_shared<SqlStatement>();
  if (currentRow.expr) piece.sql->paramByBind["C$"] = currentRow;
  piece.sql->text = text;
  try {
    sql::Parser sp(text);
    piece.sql->ast = sp.parseStatement();
  } catch (const Error& e) {
    int offset = e.offset() < 0 ? static_cast<int>(start) : e.offset();
    std::string t = text;
    int line = 1, col = 1;
    for (int i = 0; i < offset && i < static_cast<int>(t.size()); ++i) {
      if (t[static_cast<std::size_t>(i)] == '\n') {
        ++line;
        col = 1;
      } else {
        ++col;
      }
    }
    throw NameError{errorAt({offset, line, col}, "PL/SQL: " + e.message().substr(0, e.message().find('\n')))};
  }
  compileSql(*piece.sql, piece.pos);
  return piece;
}

std::shared_ptr<SqlStatement> Compiler::queryStatement(const sql::QueryPtr& q, const std::string& text) {
  auto s = std::make_shared<SqlStatement>();
  auto select = std::make_shared<sql::SelectStmt>();
  select->query = q;
  s->ast = select;
  s->text = text;
  return s;
}

// TABLE(expr) in a statement of PL/SQL: the collection expression is PL/SQL's, passed as its JSON text.
std::optional<sql::CompileContext::CollectionRows> Compiler::collectionSource(SqlStatement& s, const sql::Expr& e) {
  ExprP coll;
  ++insideSql_;
  try {
    coll = expr(e);
  } catch (...) {
    --insideSql_;
    throw;
  }
  --insideSql_;
  if (!coll->type || coll->type->kind != Type::Kind::Collection || coll->type->indexBy || !coll->type->element)
    return std::nullopt;
  TypePtr type = coll->type;
  auto json = std::make_shared<FnExpr>();
  json->type = scalarType(DataType::Varchar2, "VARCHAR2");
  json->run = [coll, type](Exec& x) { return Value(collectionJson(coll->datum(x), *type)); };
  SqlParam param;
  param.expr = json;
  sql::CompileContext::CollectionRows rows = collectionRows(*type);
  rows.source.bind = "#" + std::to_string(s.paramByBind.size());
  rows.source.type = DataType::Varchar2;
  s.paramByBind[rows.source.bind] = param;
  s.collections[e.pos.offset] = rows;
  return rows;
}

std::optional<sql::CompileContext::External> Compiler::external(SqlStatement& s, const sql::Expr& e) {
  SqlParam param;
  TypePtr type;
  if (e.kind == ExprKind::Bind) return std::nullopt;
  if (trigger_ && e.kind == ExprKind::Column && e.name.parts.size() == 2 &&
      (e.name.parts[0] == "NEW$" || e.name.parts[0] == "OLD$")) {
    param.expr = member(variableRef(*scope_->find(e.name.parts[0]), e.pos), e.name.parts[1], e, 1);
    sql::CompileContext::External x;
    x.bind = "#" + std::to_string(s.paramByBind.size());
    x.type = param.expr->type->scalar;
    if (isIntervalType(param.expr->type)) {
      x.leading = param.expr->type->precision;
      x.fraction = param.expr->type->scale;
    }
    s.paramByBind[x.bind] = param;
    s.externals[e.pos.offset] = x;
    return x;
  }
  if (e.kind == ExprKind::Function && e.fields.empty()) {
    // A stored function called from SQL.
    const auto& parts = e.name.parts;
    std::shared_ptr<Unit> unit;
    std::vector<std::shared_ptr<Subprogram>> subs;
    if (parts.size() == 1) {
      if (const Symbol* sym = scope_->find(parts[0]); sym && sym->kind == Symbol::Kind::Subprograms) {
        if (sym->subs[0]->unit->type == "PACKAGE" || sym->subs[0]->unit->type == "PACKAGE BODY") {
          unit = findUnit(owner_, stateOwner(sym->subs[0]->unit)->name);
          subs = sym->subs;
        } else if (sym->subs[0]->unit == &unit_ && !unit_.name.empty() && sym->subs[0]->depth == 1 &&
                   unit_.type == "FUNCTION") {
          unit = findUnit(owner_, unit_.name);
          subs = sym->subs;
        }
      }
      if (subs.empty()) {
        unit = findUnit(owner_, parts[0]);
        if (unit && unit->type == "FUNCTION") subs = {unit->main};
      }
    } else if (parts.size() == 2) {
      unit = findUnit(owner_, parts[0]);
      if (unit && unit->scope) {
        auto it = unit->scope->names.find(parts[1]);
        if (it != unit->scope->names.end() && it->second.kind == Symbol::Kind::Subprograms) subs = it->second.subs;
      }
      if (subs.empty()) {
        unit = findUnit(parts[0], parts[1]);
        if (unit && unit->type == "FUNCTION") subs = {unit->main};
      }
    } else if (parts.size() == 3) {
      // owner.package.function
      unit = findUnit(parts[0], parts[1]);
      if (unit && unit->scope) {
        auto it = unit->scope->names.find(parts[2]);
        if (it != unit->scope->names.end() && it->second.kind == Symbol::Kind::Subprograms) subs = it->second.subs;
      }
    }
    // An argument that is a record, object or collection cannot pass through SQL: the call then
    // runs in PL/SQL and SQL gets its result as a bind.
    bool composite = false;
    for (const auto& a : e.args) {
      ++insideSql_;
      try {
        ExprP v = expr(*a);
        if (v->type && !v->type->isScalar()) composite = true;
      } catch (const NameError&) {
      }
      --insideSql_;
    }
    if (composite) subs.clear();
    for (const auto& sub : subs) {
      if (!sub->isFunction || sub->params.size() < e.args.size()) continue;
      if (!unit) break;
      unit_.dependencies.insert({unit->owner, unit->name});
      sql::CompileContext::External x;
      x.function = "nuvo_plsql_call(" + std::to_string(loader_.sqlFunctionId(unit, sub.get()));
      x.type = sub->returnType->scalar;
      if (isIntervalType(sub->returnType)) {
        x.leading = sub->returnType->precision;
        x.fraction = sub->returnType->scale;
      }
      s.externals[e.pos.offset] = x;
      return x;
    }
    // A collection element: a bind.
    // Else a variable's own: an element, or a method of an object (o.method(...)).
    if (composite) {
    } else if (const Symbol* sym = scope_->find(parts[0]); !sym || sym->kind != Symbol::Kind::Variable) {
      return std::nullopt;
    }
  }
  // Inside SQL, a name PL/SQL does not know stays SQL's (no fallback back into SQL).
  ++insideSql_;
  try {
    param.expr = expr(e);
  } catch (const NameError&) {
    --insideSql_;
    return std::nullopt;
  }
  --insideSql_;
  if (!param.expr->type || !param.expr->type->isScalar()) return std::nullopt;
  sql::CompileContext::External x;
  x.bind = "#" + std::to_string(s.paramByBind.size());
  x.type = param.expr->type->kind == Type::Kind::Boolean ? DataType::Unknown : param.expr->type->scalar;
  if (x.type == DataType::Timestamp && param.expr->type->hasScale) x.fraction = param.expr->type->scale;
  if (isIntervalType(param.expr->type)) {
    x.leading = param.expr->type->precision;
    x.fraction = param.expr->type->scale;
  }
  s.paramByBind[x.bind] = param;
  s.externals[e.pos.offset] = x;
  return x;
}

void Compiler::compileSql(SqlStatement& s, const sql::Position& pos) {
  sql::CompileContext ctx = session_.compileContext();
  // Stored units run with their owner's names and rights.
  if (!unit_.type.empty()) {
    s.owner = owner_;
    ctx.user = ctx.schema = owner_;
  }
  ctx.insidePlsql = true;
  ctx.resolveExternal = [this, &s](const sql::Expr& e) { return external(s, e); };
  ctx.resolveCollection = [this, &s](const sql::Expr& e) { return collectionSource(s, e); };
  try {
    s.code = sql::compileStatement(*s.ast, ctx, s.text);
  } catch (const Error& e) {
    int offset = e.offset();
    sql::Position at = pos;
    if (offset >= 0) {
      at = {offset, 1, 1};
      for (int i = 0; i < offset && i < static_cast<int>(s.text.size()); ++i) {
        if (s.text[static_cast<std::size_t>(i)] == '\n') {
          ++at.line;
          at.column = 1;
        } else {
          ++at.column;
        }
      }
    }
    record(errorAt(at, "PL/SQL: " + e.message().substr(0, e.message().find('\n'))));
    throw NameError{errorAt(pos, "PL/SQL: SQL Statement ignored")};
  }
  s.ddlVersion = session_.impl().ddlVersion();
  // Host binds of the block keep their place; PL/SQL names are parameters already.
  for (const auto& name : s.code.bindNames) {
    if (s.paramByBind.count(name)) continue;
    auto& binds = unit_.hostBinds;
    auto it = std::find(binds.begin(), binds.end(), name);
    SqlParam prm;
    prm.hostBind = static_cast<int>(it - binds.begin());
    if (it == binds.end()) binds.push_back(name);
    s.paramByBind[name] = prm;
  }
  if (!s.code.targetTable.empty() && s.code.targetLink.empty()) unit_.dependencies.insert({s.code.targetOwner, s.code.targetTable});
  unit_.dependencies.insert(s.code.references.begin(), s.code.references.end());
}

TypePtr Compiler::rowTypeOf(const SqlStatement& s) {
  auto type = std::make_shared<Type>();
  type->kind = Type::Kind::Record;
  for (const auto& c : s.code.columns) {
    auto ft = std::make_shared<Type>();
    ft->scalar = c.type == DataType::Unknown ? DataType::Varchar2 : c.type;
    ft->name = dataTypeName(ft->scalar);
    type->fields.emplace_back(c.name, ft);
  }
  return type;
}

std::vector<ExprP> Compiler::targets(const std::vector<sql::ExprPtr>& list) {
  std::vector<ExprP> out;
  for (const auto& e : list) {
    ExprP t = expr(*e);
    if (!dynamic_cast<FrameVar*>(t.get()) && !dynamic_cast<PackageVar*>(t.get()) && !dynamic_cast<FnExpr*>(t.get()))
      throw NameError{errorAt(e->pos, "PLS-00403: expression cannot be used as an INTO-target of a SELECT/FETCH statement")};
    out.push_back(t);
  }
  return out;
}

// Fills INTO targets from a row: one record, or one scalar per column.
void assignTargets(Exec& x, const std::vector<ExprP>& into, const std::vector<Value>& row) {
  if (into.size() == 1 && into[0]->type->kind == Type::Kind::Record) {
    Datum* r = into[0]->ref(x);
    if (!r->record) *r = newComposite(*into[0]->type);
    const auto& fields = into[0]->type->fields;
    for (std::size_t i = 0; i < fields.size() && i < row.size(); ++i)
      (*r->record)[i].v = convertScalar(x, row[i], *fields[i].second);
    return;
  }
  for (std::size_t i = 0; i < into.size() && i < row.size(); ++i) {
    const Type& type = *into[i]->type;
    if (type.kind == Type::Kind::Collection) assign(x, *into[i]->ref(x), type, Datum{row[i], nullptr, nullptr});
    else into[i]->ref(x)->v = convertScalar(x, row[i], type);
  }
}

// Fills INTO targets from the current row of a query.
void fillTargets(Exec& x, const std::vector<ExprP>& into, SqlStatement& sql, sqlite3_stmt* s) {
  std::vector<Value> row;
  for (std::size_t i = 0; i < sql.code.columns.size(); ++i) row.push_back(sql.column(s, static_cast<int>(i)));
  assignTargets(x, into, row);
}

// DML ... RETURNING ... INTO: the changed row's values fill the targets (NULL when no row changed);
// more than one row is ORA-01422, and the statement is undone.
std::int64_t runReturning(Exec& x, SqlStatement& sql, const std::vector<ExprP>& into) {
  std::vector<std::vector<Value>> returned;
  std::int64_t n = 0;
  x.session.beginChange();
  x.session.undoOnFailure([&] {
    n = sql.runDml(x, &returned);
    if (returned.size() > 1) raiseOra(1422);
  });
  assignTargets(x, into, returned.empty() ? std::vector<Value>(sql.code.columns.size()) : returned[0]);
  return n;
}

StmtP Compiler::intoStatement(std::shared_ptr<SqlStatement> sql, std::vector<ExprP> into, bool bulk,
                              const sql::Position& pos) {
  std::size_t columns = sql->code.columns.size();
  bool recordTarget = into.size() == 1 && into[0]->type->kind == Type::Kind::Record;
  if (!bulk && !recordTarget && into.size() != columns)
    throw NameError{errorAt(pos, into.size() < columns ? "PLS-00394: wrong number of values in the INTO list of a FETCH statement"
                                                       : "PL/SQL: ORA-00947: not enough values")};
  auto node = std::make_shared<FnStmt>();
  node->run = [sql, into, bulk](Exec& x) {
    sqlite3_stmt* s = sql->start(x);
    struct Done {
      SqlStatement& sql;
      sqlite3_stmt* s;
      ~Done() { sql.finish(s); }
    } done{*sql, s};
    if (bulk) {
      std::vector<Datum*> colls;
      for (const auto& t : into) {
        Datum* d = t->ref(x);
        *d = newComposite(*t->type);
        colls.push_back(d);
      }
      std::int64_t n = 0;
      while (sql->step(x.session, s)) {
        ++n;
        for (std::size_t i = 0; i < into.size(); ++i) {
          const Type& element = *into[i]->type->element;
          Datum d = newComposite(element);
          if (element.kind == Type::Kind::Record) {
            for (std::size_t f = 0; f < element.fields.size(); ++f)
              (*d.record)[f].v = convertScalar(x, sql->column(s, static_cast<int>(f)), *element.fields[f].second);
          } else {
            d.v = convertScalar(x, sql->column(s, static_cast<int>(i)), element);
          }
          colls[i]->collection->ints[n] = std::move(d);
        }
      }
      x.sqlRowCount = n;
      x.sqlFound = n > 0;
      return Flow::Next;
    }
    if (!sql->step(x.session, s)) {
      x.sqlRowCount = 0;
      x.sqlFound = false;
      raiseOra(1403);
    }
    fillTargets(x, into, *sql, s);
    if (sql->step(x.session, s)) raiseOra(1422);
    x.sqlRowCount = 1;
    x.sqlFound = true;
    return Flow::Next;
  };
  return node;
}

StmtP Compiler::sqlStatement() {
  SqlPiece piece = readSql();
  auto sql = piece.sql;
  if (sql->code.isQuery) {
    if (piece.into.empty()) throw NameError{errorAt(piece.pos, "PLS-00428: an INTO clause is expected in this SELECT statement")};
    return intoStatement(sql, targets(piece.into), piece.bulk, piece.pos);
  }
  std::vector<ExprP> retInto = targets(piece.returningInto);
  auto node = std::make_shared<FnStmt>();
  node->run = [sql, retInto](Exec& x) {
    std::int64_t n = retInto.empty() ? sql->runDml(x) : runReturning(x, *sql, retInto);
    x.sqlRowCount = n;
    x.sqlFound = n > 0;
    return Flow::Next;
  };
  return node;
}

// ---------------------------------------------------------------------------------------------------
// Cursors

CursorState& cursorOf(Exec& x, const ExprP& slot) {
  Datum* d = slot->ref(x);
  if (d->v.kind() != Value::Kind::Cursor) {
    auto c = std::make_shared<CursorState>();
    c->session = &x.session;
    d->v = Value(std::shared_ptr<Cursor>(c));
  }
  return static_cast<CursorState&>(*d->v.asCursor());
}

void openCursor(Exec& x, CursorState& c, std::shared_ptr<SqlStatement> sql) {
  if (c.open) raiseOra(6511);
  c.statement = std::move(sql);
  c.stmt = c.statement->start(x);
  c.open = true;
  c.found = false;
  c.fetchedOnce = false;
  c.exhausted = false;
  c.rows = 0;
  // A cursor opened again on the statement it had keeps its columns, unless DDL recompiled it.
  if (c.colsFrom != c.statement.get() || c.colsVersion != c.statement->ddlVersion) {
    c.cols = c.statement->code.columns;
    c.colsFrom = c.statement.get();
    c.colsVersion = c.statement->ddlVersion;
  }
}

StmtP Compiler::openStatement() {
  p_.next();
  const Token& t = at();
  auto e = parseExpr();
  std::string name = e->name.parts.empty() ? std::string() : e->name.parts[0];
  const Symbol* sym = e->kind == ExprKind::Bind ? nullptr : scope_->find(name);
  if (!sym && e->name.parts.size() == 2) sym = packageMember(e->name.parts[0], e->name.parts[1]);
  if (!sym && e->kind != ExprKind::Bind) undeclared(t.pos, name);
  if (sym && sym->kind == Symbol::Kind::Cursor) {
    expectOp(";");
    auto decl = sym->cursor;
    Symbol slotSym = *sym;
    ExprP slot = variableRef(slotSym, t.pos);
    std::vector<std::pair<ExprP, ExprP>> args;  // value, parameter storage
    for (std::size_t i = 0; i < decl->params.size(); ++i) {
      const Param& prm = decl->params[i];
      Symbol ps;
      ps.kind = Symbol::Kind::Variable;
      ps.type = prm.type;
      ps.depth = decl->depth;
      ps.slot = prm.slot;
      ps.package = decl->package;
      ExprP value = i < e->args.size() ? expr(*e->args[i]) : prm.defaultValue;
      args.emplace_back(value, variableRef(ps, t.pos));
    }
    auto node = std::make_shared<FnStmt>();
    node->run = [decl, slot, args](Exec& x) {
      for (std::size_t i = 0; i < args.size(); ++i)
        args[i].second->ref(x)->v = convertScalar(x, args[i].first ? args[i].first->eval(x) : Value(), *decl->params[i].type);
      openCursor(x, cursorOf(x, slot), decl->sql);
      return Flow::Next;
    };
    return node;
  }
  // OPEN refcursor FOR query | FOR 'dynamic text' [USING ...]
  ExprP slot = expr(*e);
  if (slot->type->kind != Type::Kind::RefCursor && e->kind != ExprKind::Bind)
    throw NameError{errorAt(t.pos, "PLS-00382: expression is of wrong type")};
  expect("FOR");
  if (is("SELECT") || is("WITH")) {
    SqlPiece piece = readSql();
    auto sql = piece.sql;
    auto node = std::make_shared<FnStmt>();
    node->run = [slot, sql](Exec& x) {
      auto c = std::make_shared<CursorState>();
      c->session = &x.session;
      slot->ref(x)->v = Value(std::shared_ptr<Cursor>(c));
      openCursor(x, *c, sql);
      return Flow::Next;
    };
    return node;
  }
  ExprP textExpr = expr(*parseExpr());
  std::vector<ExprP> using_;
  if (accept("USING")) {
    do {
      accept("IN");
      using_.push_back(expr(*parseExpr()));
    } while (acceptOp(","));
  }
  expectOp(";");
  auto node = std::make_shared<FnStmt>();
  node->run = [slot, textExpr, using_, definer = definer()](Exec& x) {
    std::string text = textOf(x, textExpr->eval(x));
    auto sql = std::make_shared<SqlStatement>();
    sql->text = text;
    sql->owner = definer;
    std::optional<storage::SessionImpl::DefinerRights> rights;
    if (!definer.empty()) rights.emplace(x.session, definer);
    try {
      sql::Parser sp(text);
      sql->ast = sp.parseStatement();
      sql->code = sql::compileStatement(*sql->ast, x.session.compileContext(), text);
    } catch (const Error& e) {
      throw PlsqlError::from(e);
    }
    sql->ddlVersion = x.session.impl().ddlVersion();
    for (std::size_t i = 0; i < sql->code.bindNames.size() && i < using_.size(); ++i) {
      SqlParam p;
      p.expr = std::make_shared<ConstNode>();
      static_cast<ConstNode&>(*p.expr).value = using_[i]->eval(x);
      sql->paramByBind[sql->code.bindNames[i]] = p;
    }
    auto c = std::make_shared<CursorState>();
    c->session = &x.session;
    slot->ref(x)->v = Value(std::shared_ptr<Cursor>(c));
    openCursor(x, *c, sql);
    return Flow::Next;
  };
  return node;
}

StmtP Compiler::fetchStatement() {
  p_.next();
  ExprP slot = refCursorOperand();
  bool bulk = false;
  if (accept("BULK")) {
    expect("COLLECT");
    bulk = true;
  }
  expect("INTO");
  std::vector<sql::ExprPtr> list;
  do list.push_back(parseExpr());
  while (acceptOp(","));
  std::vector<ExprP> into = targets(list);
  expectOp(";");
  auto node = std::make_shared<FnStmt>();
  node->run = [slot, into, bulk](Exec& x) {
    CursorState& c = cursorOf(x, slot);
    if (!c.open) raiseOra(1001);
    auto fill = [&](std::vector<Datum*>& dest, const std::vector<TypePtr>& types) {
      if (dest.size() == 1 && types[0]->kind == Type::Kind::Record) {
        if (!dest[0]->record) *dest[0] = newComposite(*types[0]);
        for (std::size_t i = 0; i < dest[0]->record->size() && i < c.row.size(); ++i)
          (*dest[0]->record)[i].v = convertScalar(x, c.row[i], *types[0]->fields[i].second);
        return;
      }
      for (std::size_t i = 0; i < dest.size() && i < c.row.size(); ++i) dest[i]->v = convertScalar(x, c.row[i], *types[i]);
    };
    if (bulk) {
      std::vector<Datum*> colls;
      for (const auto& t : into) {
        Datum* d = t->ref(x);
        *d = newComposite(*t->type);
        colls.push_back(d);
      }
      std::int64_t n = 0;
      while (c.next()) {
        ++n;
        for (std::size_t i = 0; i < into.size(); ++i) {
          Datum d = initialDatum(*into[i]->type->element);
          std::vector<Datum*> dest{&d};
          std::vector<TypePtr> types{into[i]->type->element};
          if (into.size() > 1) {
            d.v = convertScalar(x, c.row[i], *into[i]->type->element);
          } else {
            fill(dest, types);
          }
          colls[i]->collection->ints[n] = std::move(d);
        }
      }
      return Flow::Next;
    }
    if (!c.next()) return Flow::Next;
    if (into.size() == 1 && into[0]->type->kind == Type::Kind::Record) {
      const Type& type = *into[0]->type;
      Datum* d = into[0]->ref(x);
      if (!d->record) *d = newComposite(type);
      // The fetched values are handed over: the cursor reads its next row afresh. A cursor FOR
      // UPDATE keeps the ROWID after the record's fields for WHERE CURRENT OF.
      for (std::size_t i = 0; i < d->record->size() && i < c.row.size(); ++i)
        (*d->record)[i].v = convertScalar(x, std::move(c.row[i]), *type.fields[i].second);
      return Flow::Next;
    }
    for (std::size_t i = 0; i < into.size() && i < c.row.size(); ++i) {
      if (i + 1 < c.row.size()) into[i]->ref(x)->v = convertScalar(x, std::move(c.row[i]), *into[i]->type);
      else into[i]->ref(x)->v = convertScalar(x, c.row[i], *into[i]->type);
    }
    return Flow::Next;
  };
  return node;
}

StmtP Compiler::closeStatement() {
  p_.next();
  ExprP slot = refCursorOperand();
  expectOp(";");
  auto node = std::make_shared<FnStmt>();
  node->run = [slot](Exec& x) {
    CursorState& c = cursorOf(x, slot);
    if (!c.open) raiseOra(1001);
    c.close();
    return Flow::Next;
  };
  return node;
}

ExprP Compiler::cursorAttribute(const Symbol*, ExprP slot, const std::string& attr, const sql::Position& pos) {
  auto node = std::make_shared<FnExpr>();
  node->pos = pos;
  node->type = attr == "%ROWCOUNT" ? scalarType(DataType::Number) : booleanType();
  if (attr != "%FOUND" && attr != "%NOTFOUND" && attr != "%ROWCOUNT" && attr != "%ISOPEN")
    throw NameError{errorAt(pos, "PLS-00208: identifier '" + attr.substr(1) + "' is not a legal cursor attribute")};
  enum class Attr { IsOpen, RowCount, Found, NotFound };
  Attr which = attr == "%ISOPEN" ? Attr::IsOpen : attr == "%ROWCOUNT" ? Attr::RowCount : attr == "%FOUND" ? Attr::Found : Attr::NotFound;
  node->run = [slot, which](Exec& x) -> Value {
    Datum* d = slot->ref(x);
    CursorState* c = d->v.kind() == Value::Kind::Cursor ? static_cast<CursorState*>(d->v.asCursor().get()) : nullptr;
    bool open = c && c->open;
    if (which == Attr::IsOpen) return Value(open ? 1 : 0);
    if (!open) raiseOra(1001);
    if (which == Attr::RowCount) return Value(c->rows);
    if (!c->fetchedOnce) return {};
    return Value((which == Attr::Found) == c->found ? 1 : 0);
  };
  return node;
}

ExprP Compiler::implicitAttribute(const std::string& attr, const sql::Position& pos) {
  auto node = std::make_shared<FnExpr>();
  node->pos = pos;
  node->type = attr == "%ROWCOUNT" ? scalarType(DataType::Number) : booleanType();
  node->run = [attr](Exec& x) -> Value {
    if (attr == "%ISOPEN") return Value(0);
    if (attr == "%ROWCOUNT") return Value(x.sqlRowCount);
    return Value((attr == "%FOUND") == x.sqlFound ? 1 : 0);
  };
  return node;
}

StmtP Compiler::executeImmediate() {
  p_.next();
  p_.next();
  ExprP textExpr = expr(*parseExpr());
  std::vector<ExprP> into;
  std::vector<std::pair<ExprP, BindDirection>> using_;
  if (accept("INTO")) {
    std::vector<sql::ExprPtr> list;
    do list.push_back(parseExpr());
    while (acceptOp(","));
    into = targets(list);
  }
  if (accept("USING")) {
    do {
      BindDirection dir = BindDirection::In;
      if (accept("IN")) dir = accept("OUT") ? BindDirection::InOut : BindDirection::In;
      else if (accept("OUT")) dir = BindDirection::Out;
      using_.emplace_back(expr(*parseExpr()), dir);
    } while (acceptOp(","));
  }
  expectOp(";");
  auto node = std::make_shared<FnStmt>();
  node->run = [textExpr, into, using_, definer = definer()](Exec& x) {
    std::string text = textOf(x, textExpr->eval(x));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\t')) text.pop_back();
    std::optional<storage::SessionImpl::DefinerRights> rights;
    if (!definer.empty()) rights.emplace(x.session, definer);
    try {
      auto stmt = x.session.prepare(text);
      const auto& names = stmt->bindNames();
      for (std::size_t i = 0; i < names.size() && i < using_.size(); ++i)
        stmt->bind(names[i], using_[i].first->eval(x), using_[i].second);
      stmt->execute();
      if (stmt->isQuery()) {
        if (!stmt->next()) raiseOra(1403);
        for (std::size_t i = 0; i < into.size(); ++i) into[i]->ref(x)->v = convertScalar(x, stmt->value(i), *into[i]->type);
        if (stmt->next()) raiseOra(1422);
        x.sqlRowCount = 1;
      } else {
        x.sqlRowCount = stmt->rowCount();
        for (std::size_t i = 0; i < names.size() && i < using_.size(); ++i)
          if (using_[i].second != BindDirection::In) {
            Datum* d = using_[i].first->ref(x);
            if (d) d->v = convertScalar(x, stmt->bindValue(names[i]), *using_[i].first->type);
          }
      }
      x.sqlFound = x.sqlRowCount > 0;
    } catch (const Error& e) {
      throw PlsqlError::from(e);
    }
    return Flow::Next;
  };
  return node;
}

// ---------------------------------------------------------------------------------------------------
// Expressions

ExprP Compiler::expr(const sql::Expr& e) {
  switch (e.kind) {
    case ExprKind::Null: return constant({}, nullptr);
    case ExprKind::Number: {
      const std::string& t = e.text;
      bool integral = t.find_first_of(".eE") == std::string::npos && t.size() < 18;
      return constant(integral ? Value(static_cast<std::int64_t>(std::stoll(t))) : builtins::parseNumber(t),
                      scalarType(DataType::Number));
    }
    case ExprKind::String:
      return constant(e.text.empty() ? Value() : Value(e.text), scalarType(DataType::Varchar2, "VARCHAR2"));
    case ExprKind::Bind: {
      if (isTriggerRow(e)) return triggerRow(e.text, e.name.parts, e.pos);
      std::string name = e.text;
      auto& binds = unit_.hostBinds;
      auto it = std::find(binds.begin(), binds.end(), name);
      int index = static_cast<int>(it - binds.begin());
      if (it == binds.end()) binds.push_back(name);
      auto host = std::make_shared<FnExpr>();
      host->pos = e.pos;
      host->type = scalarType(DataType::Unknown, "VARCHAR2");
      host->storage = [index](Exec& x) { return &(*x.binds)[static_cast<std::size_t>(index)]; };
      host->run = [index](Exec& x) { return (*x.binds)[static_cast<std::size_t>(index)].v; };
      return host;
    }
    case ExprKind::Column: return nameRef(e);
    case ExprKind::Function: {
      if (e.fields.empty()) return callRef(e, false);
      // t(i).a: a field of the record an element or call gives.
      sql::Expr call = e;
      call.fields.clear();
      ExprP base = callRef(call, false);
      for (std::size_t i = 0; i < e.fields.size(); ++i) base = member(base, e.fields[i], e, i);
      return base;
    }
    case ExprKind::Unary: {
      ExprP v = expr(*e.args[0]);
      auto node = std::make_shared<FnExpr>();
      node->pos = e.pos;
      if (e.op == "NOT") {
        node->type = booleanType();
        node->run = [v](Exec& x) -> Value {
          Value a = v->eval(x);
          if (a.isNull()) return {};
          return Value(isTrue(a) ? 0 : 1);
        };
      } else if (e.op == "-" && isIntervalType(v->type)) {
        return sqlFallback(e);
      } else if (e.op == "-") {
        node->type = scalarType(DataType::Number);
        node->run = [v](Exec& x) { return arithmetic('-', Value(0), v->eval(x)); };
      } else if (e.op == "PRIOR") {
        return sqlFallback(e);
      } else {
        return v;
      }
      return node;
    }
    case ExprKind::Binary: {
      const std::string& op = e.op;
      ExprP l = expr(*e.args[0]);
      ExprP r = expr(*e.args[1]);
      if (op == "AND" || op == "OR") {
        auto node = std::make_shared<LogicNode>();
        node->isAnd = op == "AND";
        node->l = l;
        node->r = r;
        node->type = booleanType();
        node->pos = e.pos;
        return node;
      }
      // An interval is held as its text: SQL compares and computes it.
      if (isIntervalType(l->type) || isIntervalType(r->type)) return sqlFallback(e);
      if (op == "=" || op == "!=" || op == "<" || op == "<=" || op == ">" || op == ">=") {
        auto node = std::make_shared<CompareNode>();
        node->op = op;
        node->l = l;
        node->r = r;
        node->type = booleanType();
        node->pos = e.pos;
        return node;
      }
      if (op == "||") {
        auto node = std::make_shared<FnExpr>();
        node->pos = e.pos;
        node->type = scalarType(DataType::Varchar2, "VARCHAR2");
        node->run = [l, r](Exec& x) -> Value {
          Value a = l->eval(x), b = r->eval(x);
          std::string s = a.isNull() ? std::string() : textOf(x, a);
          if (!b.isNull()) s += textOf(x, b);
          if (s.empty()) return {};
          return Value(std::move(s));
        };
        return node;
      }
      if (isDateType(l->type) || isDateType(r->type) || op == "**") return sqlFallback(e);
      auto node = std::make_shared<ArithNode>();
      node->op = op[0];
      node->l = l;
      node->r = r;
      node->type = scalarType(DataType::Number);
      if (isRange32(l->type) && isRange32(r->type) && op != "/") {
        node->range32 = true;
        auto t = std::make_shared<Type>(*l->type);
        t->name = "PLS_INTEGER";
        node->type = t;
      }
      node->pos = e.pos;
      return node;
    }
    case ExprKind::IsNull: {
      ExprP v = expr(*e.args[0]);
      bool negated = e.negated;
      auto node = std::make_shared<FnExpr>();
      node->type = booleanType();
      node->run = [v, negated](Exec& x) {
        Datum d = v->datum(x);
        bool null = d.v.isNull() && !d.record && !d.collection;
        return Value(null != negated ? 1 : 0);
      };
      return node;
    }
    case ExprKind::Case: {
      std::vector<ExprP> args;
      for (const auto& a : e.args) args.push_back(expr(*a));
      bool hasOperand = e.hasOperand, hasElse = e.hasElse;
      auto node = std::make_shared<FnExpr>();
      node->pos = e.pos;
      node->type = args.size() > (hasOperand ? 2u : 1u) ? args[hasOperand ? 2 : 1]->type : nullptr;
      node->run = [args, hasOperand, hasElse](Exec& x) -> Value {
        std::size_t i = 0;
        Value operand;
        if (hasOperand) operand = args[i++]->eval(x);
        std::size_t pairsEnd = args.size() - (hasElse ? 1 : 0);
        for (; i + 1 < pairsEnd + 1 && i < pairsEnd; i += 2) {
          Value w = args[i]->eval(x);
          bool hit = hasOperand ? compareValues(x, operand, w).value_or(1) == 0 : isTrue(w);
          if (hit) return args[i + 1]->eval(x);
        }
        return hasElse ? args.back()->eval(x) : Value();
      };
      return node;
    }
    case ExprKind::Between: {
      ExprP v = expr(*e.args[0]), lo = expr(*e.args[1]), hi = expr(*e.args[2]);
      bool negated = e.negated;
      auto node = std::make_shared<FnExpr>();
      node->type = booleanType();
      node->run = [v, lo, hi, negated](Exec& x) -> Value {
        Value a = v->eval(x);
        auto c1 = compareValues(x, a, lo->eval(x)), c2 = compareValues(x, a, hi->eval(x));
        std::optional<bool> ge = c1 ? std::optional<bool>(*c1 >= 0) : std::nullopt;
        std::optional<bool> le = c2 ? std::optional<bool>(*c2 <= 0) : std::nullopt;
        std::optional<bool> r;
        if ((ge && !*ge) || (le && !*le)) r = false;
        else if (ge && le) r = true;
        if (r && negated) r = !*r;
        return boolValue(r);
      };
      return node;
    }
    case ExprKind::InList: {
      ExprP v = expr(*e.args[0]);
      std::vector<ExprP> items;
      for (std::size_t i = 1; i < e.args.size(); ++i) items.push_back(expr(*e.args[i]));
      bool negated = e.negated;
      auto node = std::make_shared<FnExpr>();
      node->type = booleanType();
      node->run = [v, items, negated](Exec& x) -> Value {
        Value a = v->eval(x);
        bool unknown = false;
        for (const auto& it : items) {
          auto c = compareValues(x, a, it->eval(x));
          if (!c) unknown = true;
          else if (*c == 0) return Value(negated ? 0 : 1);
        }
        if (unknown) return {};
        return Value(negated ? 1 : 0);
      };
      return node;
    }
    default: return sqlFallback(e);
  }
}

// An expression of SQL's own (its functions, LIKE, subqueries, date arithmetic) runs as a one-row
// query; the PL/SQL names in it become binds.
ExprP Compiler::sqlFallback(const sql::Expr& e) {
  if (e.kind == sql::ExprKind::Column || e.kind == sql::ExprKind::Function) rejectInvalidUnit(e);
  if (insideSql_ > 0) throw NameError{errorAt(e.pos, "PLS-00201: identifier must be declared")};
  auto select = std::make_shared<sql::SelectStmt>();
  select->query = std::make_shared<sql::Query>();
  select->query->block = std::make_shared<sql::QueryBlock>();
  sql::SelectItem item;
  item.expr = trigger_ ? triggerRowsAsColumns(e) : std::make_shared<sql::Expr>(e);
  item.alias = "V";
  select->query->block->items.push_back(item);
  sql::TableRef dual;
  dual.table.parts = {"SYS", "DUAL"};
  select->query->block->from.push_back(dual);
  auto s = std::make_shared<SqlStatement>();
  s->ast = select;
  s->text = text_;
  sql::CompileContext ctx = session_.compileContext();
  if (!unit_.type.empty()) {
    s->owner = owner_;
    ctx.user = ctx.schema = owner_;
  }
  ctx.resolveExternal = [this, &s](const sql::Expr& inner) { return external(*s, inner); };
  try {
    s->code = sql::compileStatement(*s->ast, ctx, s->text);
  } catch (const Error& err) {
    if (err.code() == 904) {
      std::string name = err.message();
      auto q1 = name.find('"'), q2 = name.rfind('"');
      std::string ident = q1 != std::string::npos && q2 > q1 ? name.substr(q1 + 1, q2 - q1 - 1) : name;
      std::string shown;
      for (char c : ident)
        if (c != '"') shown += c;
      undeclared(e.pos, shown);
    }
    throw NameError{errorAt(e.pos, "PL/SQL: " + err.message().substr(0, err.message().find('\n')))};
  }
  s->ddlVersion = session_.impl().ddlVersion();
  for (const auto& name : s->code.bindNames) {
    if (s->paramByBind.count(name)) continue;
    auto& binds = unit_.hostBinds;
    auto it = std::find(binds.begin(), binds.end(), name);
    SqlParam prm;
    prm.hostBind = static_cast<int>(it - binds.begin());
    if (it == binds.end()) binds.push_back(name);
    s->paramByBind[name] = prm;
  }
  auto node = std::make_shared<FnExpr>();
  node->pos = e.pos;
  DataType t = s->code.columns.empty() ? DataType::Unknown : s->code.columns[0].type;
  // A condition of SQL's own (LIKE, REGEXP_LIKE, BETWEEN, ...) keeps its BOOLEAN type.
  if (s->code.conditionColumn) t = DataType::Boolean;
  node->type = t == DataType::Boolean ? booleanType() : scalarType(t == DataType::Unknown ? DataType::Varchar2 : t);
  if (t == DataType::IntervalDaySecond || t == DataType::IntervalYearMonth)
    node->type = intervalType(t, s->code.columns[0].precision, s->code.columns[0].scale);
  node->run = [s](Exec& x) {
    sqlite3_stmt* st = s->start(x);
    struct Done {
      SqlStatement& sql;
      sqlite3_stmt* s;
      ~Done() { sql.finish(s); }
    } done{*s, st};
    if (!s->step(x.session, st)) return Value();
    return s->column(st, 0);
  };
  return node;
}

ExprP Compiler::member(ExprP base, const std::string& name, const sql::Expr& e, std::size_t partIndex, bool asStatement) {
  const TypePtr& type = base->type;
  // The last name of a call (obj.method(args), obj.list(i)) takes the call's arguments.
  bool takesArgs = e.kind == ExprKind::Function && e.fields.empty() && partIndex + 1 == e.name.parts.size();
  if (type && type->kind == Type::Kind::Record) {
    int f = type->fieldIndex(name);
    if (f < 0 && type->object) return methodCall(base, name, e, takesArgs, asStatement);
    if (f < 0) throw NameError{errorAt(e.pos, "PLS-00302: component '" + name + "' must be declared")};
    if (takesArgs && e.args.size() == 1 && type->fields[static_cast<std::size_t>(f)].second->kind == Type::Kind::Collection) {
      sql::Expr plain = e;
      plain.kind = ExprKind::Column;
      plain.args.clear();
      return elementRef(member(base, name, plain, partIndex), expr(*e.args[0]), e.pos);
    }
    auto node = std::make_shared<FnExpr>();
    node->pos = e.pos;
    node->type = type->fields[static_cast<std::size_t>(f)].second;
    std::size_t index = static_cast<std::size_t>(f);
    TypePtr recordType = type;
    node->storage = [base, index, recordType](Exec& x) -> Datum* {
      Datum* d = base->ref(x);
      if (!d) return nullptr;
      if (!d->record && recordType->atomicNull) raiseOra(6530);
      if (!d->record) *d = initialDatum(*recordType);
      return &(*d->record)[index];
    };
    node->composite = [base, index](Exec& x) -> Datum {
      Datum d = base->datum(x);
      if (!d.record) return {};
      return (*d.record)[index];
    };
    // A field of a record variable is read in place, without a copy of the record.
    if (dynamic_cast<FrameVar*>(base.get()) || dynamic_cast<PackageVar*>(base.get())) {
      node->run = [base, index](Exec& x) -> Value {
        const Datum* d = base->ref(x);
        return d->record ? (*d->record)[index].v : Value();
      };
    } else {
      node->run = [node = node.get()](Exec& x) { return node->composite(x).v; };
    }
    return node;
  }
  if (type && type->kind == Type::Kind::Collection) {
    if (takesArgs) return collectionMethod(base, name, e);
    sql::Expr plain;
    plain.pos = e.pos;
    return collectionMethod(base, name, plain);
  }
  if (type && type->kind == Type::Kind::RefCursor && name[0] == '%') return cursorAttribute(nullptr, base, name, e.pos);
  throw NameError{errorAt(e.pos, "PLS-00302: component '" + name + "' must be declared")};
}

// obj.method(args): a member subprogram of the object's type, with obj as SELF.
ExprP Compiler::methodCall(ExprP base, const std::string& name, const sql::Expr& e, bool withArgs, bool asStatement) {
  Unit* typeUnit = base->type->typeUnit;
  std::vector<std::shared_ptr<Subprogram>> methods;
  if (typeUnit && typeUnit->scope)
    if (auto it = typeUnit->scope->names.find(name); it != typeUnit->scope->names.end() && it->second.kind == Symbol::Kind::Subprograms)
      for (const auto& sub : it->second.subs)
        if (sub->member && !sub->constructor) methods.push_back(sub);
  if (methods.empty()) throw NameError{errorAt(e.pos, "PLS-00302: component '" + name + "' must be declared")};
  if (std::none_of(methods.begin(), methods.end(), [&](const auto& m) { return m->isFunction != asStatement; }))
    throw NameError{errorAt(e.pos, asStatement ? "PLS-00221: '" + name + "' is not a procedure or is undefined"
                                               : "PLS-00222: no function with name '" + name + "' exists in this scope")};
  auto call = std::make_shared<sql::Expr>();
  keep_.push_back(call);
  call->kind = ExprKind::Function;
  call->pos = e.pos;
  call->endOffset = e.endOffset;
  call->name.parts = {name};
  if (withArgs) {
    call->args = e.args;
    call->argNames = e.argNames;
  }
  return callTo(methods, typeUnit->shared_from_this(), *call, asStatement, base, true);
}

// type_name(args): a user constructor that matches the arguments, else the attribute constructor
// (one argument per attribute, by position or name); a collection type's constructor.
ExprP Compiler::typeConstructor(const std::shared_ptr<Unit>& typeUnit, const sql::Expr& e) {
  unit_.dependencies.insert({typeUnit->owner, typeUnit->name});
  TypePtr type = typeUnit->objectType;
  if (type->kind == Type::Kind::Collection) return collectionConstructor(type, e);
  std::vector<std::shared_ptr<Subprogram>> constructors;
  if (auto it = typeUnit->scope->names.find(typeUnit->name); it != typeUnit->scope->names.end() && it->second.kind == Symbol::Kind::Subprograms)
    for (const auto& sub : it->second.subs)
      if (sub->constructor) constructors.push_back(sub);
  const auto& fields = type->fields;
  if (!constructors.empty()) {
    auto fresh = std::make_shared<FnExpr>();
    fresh->type = type;
    fresh->pos = e.pos;
    fresh->composite = [type](Exec&) { return newComposite(*type); };
    try {
      return callTo(constructors, typeUnit, e, false, fresh, false);
    } catch (const NameError&) {
      if (e.args.size() != fields.size())
        throw NameError{errorAt(e.pos, "PLS-00306: wrong number or types of arguments in call to '" + typeUnit->name + "'")};
    }
  }
  auto wrong = NameError{errorAt(e.pos, "PLS-00306: wrong number or types of arguments in call to '" + typeUnit->name + "'")};
  if (e.args.size() != fields.size()) throw wrong;
  std::vector<ExprP> values(fields.size());
  for (std::size_t i = 0; i < e.args.size(); ++i) {
    std::size_t f = i;
    if (i < e.argNames.size() && !e.argNames[i].empty()) {
      int named = type->fieldIndex(e.argNames[i]);
      if (named < 0) throw wrong;
      f = static_cast<std::size_t>(named);
    }
    if (values[f]) throw wrong;
    values[f] = expr(*e.args[i]);
  }
  auto node = std::make_shared<FnExpr>();
  node->pos = e.pos;
  node->type = type;
  node->composite = [type, values](Exec& x) {
    Datum d = newComposite(*type);
    for (std::size_t i = 0; i < values.size(); ++i) assign(x, (*d.record)[i], *type->fields[i].second, values[i]->datum(x));
    return d;
  };
  node->run = [n = node.get()](Exec& x) { return n->composite(x).v; };
  return node;
}

sql::ExprPtr Compiler::selfAttribute(const sql::Expr& e) {
  if (!selfType_ || !current_ || !current_->member || e.name.parts.empty() || selfType_->kind != Type::Kind::Record) return nullptr;
  const std::string& first = e.name.parts[0];
  if (first == "SELF" || first[0] == '%' || scope_->find(first) || selfType_->fieldIndex(first) < 0) return nullptr;
  auto copy = std::make_shared<sql::Expr>(e);
  copy->name.parts.insert(copy->name.parts.begin(), "SELF");
  keep_.push_back(copy);
  return copy;
}

// Keys of associative arrays and nested tables.
struct Key {
  bool text = false;
  std::int64_t n = 0;
  std::string s;
};

Key keyOf(Exec& x, const Value& v, bool text) {
  if (v.isNull()) raiseValueError("NULL index table key value");
  Key k;
  k.text = text;
  if (text) k.s = textOf(x, v);
  else k.n = toNumber(v).asInteger();
  return k;
}

Datum* findElement(Collection& c, const Key& k) {
  if (c.textKeys) {
    auto it = c.texts.find(k.s);
    return it == c.texts.end() ? nullptr : &it->second;
  }
  auto it = c.ints.find(k.n);
  return it == c.ints.end() ? nullptr : &it->second;
}

// list_t(a, b, ...): a collection of those elements, numbered from 1.
ExprP Compiler::collectionConstructor(const TypePtr& type, const sql::Expr& e) {
  std::vector<ExprP> items;
  for (const auto& a : e.args) items.push_back(expr(*a));
  auto node = std::make_shared<FnExpr>();
  node->pos = e.pos;
  node->type = type;
  node->composite = [items, type](Exec& x) {
    if (type->limit > 0 && static_cast<std::int64_t>(items.size()) > type->limit) raiseOra(6532);
    Datum d = newComposite(*type);
    std::int64_t i = 0;
    for (const auto& item : items) assign(x, d.collection->ints[++i], *type->element, item->datum(x));
    return d;
  };
  return node;
}

// coll(i): an element to read or assign. Associative arrays create the element on assignment;
// nested tables and varrays hold elements 1 .. their size only (ORA-06533 beyond it, ORA-06532
// below 1 or past a varray's limit), and a deleted element reads as no data.
ExprP Compiler::elementRef(ExprP base, ExprP key, const sql::Position& pos) {
  bool text = base->type->textKeys;
  bool dense = !base->type->indexBy;
  std::int64_t limit = base->type->limit;
  TypePtr element = base->type->element;
  auto node = std::make_shared<FnExpr>();
  node->pos = pos;
  node->type = element;
  auto checkRange = [dense, limit](const Collection& c, const Key& k) {
    if (!dense) return;
    if (k.n < 1 || (limit > 0 && k.n > limit)) raiseOra(6532);
    std::int64_t size = c.ints.empty() ? 0 : c.ints.rbegin()->first;
    if (k.n > size) raiseOra(6533);
  };
  node->storage = [base, key, text, element, checkRange](Exec& x) -> Datum* {
    Datum* d = base->ref(x);
    if (!d || !d->collection) raiseOra(6531);
    Key k = keyOf(x, key->eval(x), text);
    checkRange(*d->collection, k);
    Datum* found = findElement(*d->collection, k);
    if (found) return found;
    Datum fresh = initialDatum(*element);
    if (text) return &(d->collection->texts[k.s] = fresh);
    return &(d->collection->ints[k.n] = fresh);
  };
  node->composite = [base, key, text, checkRange](Exec& x) -> Datum {
    Datum d = base->datum(x);
    if (!d.collection) raiseOra(6531);
    Key k = keyOf(x, key->eval(x), text);
    checkRange(*d.collection, k);
    Datum* found = findElement(*d.collection, k);
    if (!found) raiseOra(1403);
    return *found;
  };
  node->run = [n = node.get()](Exec& x) { return n->composite(x).v; };
  return node;
}

ExprP Compiler::collectionMethod(ExprP coll, const std::string& method, const sql::Expr& e) {
  std::vector<ExprP> args;
  for (const auto& a : e.args) args.push_back(expr(*a));
  bool text = coll->type->textKeys;
  std::int64_t limit = coll->type->limit;
  bool varray = limit > 0;
  TypePtr keyType = text ? scalarType(DataType::Varchar2, "VARCHAR2") : scalarType(DataType::Number);
  auto node = std::make_shared<FnExpr>();
  node->pos = e.pos;
  auto wrongArguments = [&] {
    return NameError{errorAt(e.pos, "PLS-00306: wrong number or types of arguments in call to '" + method + "'")};
  };
  // Reading methods take the value, changing ones the variable; both fail on an atomically NULL one.
  auto read = [coll](Exec& x) -> std::shared_ptr<Collection> {
    Datum d = coll->datum(x);
    if (!d.collection) raiseOra(6531);
    return d.collection;
  };
  auto get = [coll](Exec& x) -> Collection& {
    Datum* d = coll->ref(x);
    if (!d || !d->collection) raiseOra(6531);
    return *d->collection;
  };
  if (method == "COUNT") {
    if (!args.empty()) throw wrongArguments();
    node->type = scalarType(DataType::Number);
    node->run = [read](Exec& x) { return Value(static_cast<std::int64_t>(read(x)->count())); };
  } else if (method == "LIMIT") {
    if (!args.empty()) throw wrongArguments();
    node->type = scalarType(DataType::Number);
    node->run = [read, limit](Exec& x) {
      read(x);
      return limit > 0 ? Value(limit) : Value();
    };
  } else if (method == "FIRST" || method == "LAST") {
    if (!args.empty()) throw wrongArguments();
    bool first = method == "FIRST";
    node->type = keyType;
    node->run = [read, first](Exec& x) -> Value {
      auto c = read(x);
      if (c->count() == 0) return {};
      if (c->textKeys) return Value(first ? c->texts.begin()->first : c->texts.rbegin()->first);
      return Value(first ? c->ints.begin()->first : c->ints.rbegin()->first);
    };
  } else if (method == "NEXT" || method == "PRIOR") {
    if (args.size() != 1) throw wrongArguments();
    bool next = method == "NEXT";
    ExprP arg = args[0];
    node->type = keyType;
    node->run = [read, next, arg, text](Exec& x) -> Value {
      auto c = read(x);
      Value v = arg->eval(x);
      if (v.isNull()) return {};
      Key k = keyOf(x, v, text);
      if (text) {
        auto it = next ? c->texts.upper_bound(k.s) : c->texts.lower_bound(k.s);
        if (next) return it == c->texts.end() ? Value() : Value(it->first);
        return it == c->texts.begin() ? Value() : Value(std::prev(it)->first);
      }
      auto it = next ? c->ints.upper_bound(k.n) : c->ints.lower_bound(k.n);
      if (next) return it == c->ints.end() ? Value() : Value(it->first);
      return it == c->ints.begin() ? Value() : Value(std::prev(it)->first);
    };
  } else if (method == "EXISTS") {
    if (args.size() != 1) throw wrongArguments();
    ExprP arg = args[0];
    node->type = booleanType();
    node->run = [coll, arg, text](Exec& x) -> Value {
      Datum d = coll->datum(x);
      if (!d.collection) return Value(0);
      Value v = arg->eval(x);
      if (v.isNull()) return Value(0);
      return Value(findElement(*d.collection, keyOf(x, v, text)) ? 1 : 0);
    };
  } else if (method == "DELETE" || method == "TRIM" || method == "EXTEND") {
    bool indexBy = coll->type->indexBy;
    if ((method == "DELETE" && (args.size() > 2 || (varray && !args.empty()))) ||
        (method != "DELETE" && indexBy) || (method == "TRIM" && args.size() > 1) || (method == "EXTEND" && args.size() > 2))
      throw wrongArguments();
    node->type = nullptr;
    node->run = [get, args, text, method, limit, element = coll->type->element](Exec& x) -> Value {
      Collection& c = get(x);
      std::int64_t size = c.ints.empty() ? 0 : c.ints.rbegin()->first;
      if (method == "EXTEND") {
        std::int64_t n = args.empty() ? 1 : toNumber(args[0]->eval(x)).asInteger();
        if (n < 0) raiseValueError("");
        if (limit > 0 && size + n > limit) raiseOra(6532);
        std::optional<Datum> copied;
        if (args.size() == 2) {
          Datum* from = findElement(c, keyOf(x, args[1]->eval(x), false));
          if (!from) raiseOra(6533);
          copied = *from;
        }
        for (std::int64_t i = 1; i <= n; ++i) c.ints[size + i] = copied ? copyDatum(*copied) : initialDatum(*element);
      } else if (method == "TRIM") {
        std::int64_t n = args.empty() ? 1 : toNumber(args[0]->eval(x)).asInteger();
        if (n < 0) raiseValueError("");
        if (n > static_cast<std::int64_t>(c.count())) raiseOra(6533);
        for (std::int64_t i = 0; i < n && !c.ints.empty(); ++i) c.ints.erase(std::prev(c.ints.end()));
      } else if (args.empty()) {
        c.ints.clear();
        c.texts.clear();
      } else {
        Key lo = keyOf(x, args[0]->eval(x), text);
        Key hi = args.size() > 1 ? keyOf(x, args[1]->eval(x), text) : lo;
        if (text) {
          if (lo.s <= hi.s) c.texts.erase(c.texts.lower_bound(lo.s), c.texts.upper_bound(hi.s));
        } else if (lo.n <= hi.n) {
          c.ints.erase(c.ints.lower_bound(lo.n), c.ints.upper_bound(hi.n));
        }
      }
      return {};
    };
  } else {
    throw NameError{errorAt(e.pos, "PLS-00302: component '" + method + "' must be declared")};
  }
  return node;
}

ExprP Compiler::nameRef(const sql::Expr& e) {
  if (auto attribute = selfAttribute(e)) return nameRef(*attribute);
  const auto& parts = e.name.parts;
  const std::string& first = parts[0];
  auto rest = [&](ExprP base, std::size_t from) {
    for (std::size_t i = from; i < parts.size(); ++i) base = member(base, parts[i], e, i);
    return base;
  };
  if (const Symbol* s = scope_->find(first)) {
    switch (s->kind) {
      case Symbol::Kind::Variable: return rest(variableRef(*s, e.pos), 1);
      case Symbol::Kind::Cursor:
        if (parts.size() == 2 && parts[1][0] == '%') return cursorAttribute(s, variableRef(*s, e.pos), parts[1], e.pos);
        if (parts.size() == 1) return variableRef(*s, e.pos);
        break;
      case Symbol::Kind::Subprograms: return callRef(e, false);
      default: break;
    }
  }
  if (first == "SQL" && parts.size() == 2 && parts[1][0] == '%') return implicitAttribute(parts[1], e.pos);
  if (parts.size() == 1 && (first == "TRUE" || first == "FALSE")) return constant(Value(first == "TRUE" ? 1 : 0), booleanType());
  if (parts.size() == 1 && first == "SQLCODE") {
    auto node = std::make_shared<FnExpr>();
    node->type = scalarType(DataType::Number);
    node->run = [](Exec& x) { return Value(x.handling ? x.handling->sqlcode() : 0); };
    return node;
  }
  if (parts.size() == 1 && first == "SQLERRM") return callRef(e, false);
  // package.variable, package.function
  if (parts.size() >= 2) {
    if (auto pkg = findUnit(owner_, first); pkg && pkg->scope) {
      unit_.dependencies.insert({pkg->owner, pkg->name});
      auto it = pkg->scope->names.find(parts[1]);
      if (it != pkg->scope->names.end()) {
        const Symbol& s = it->second;
        if (s.kind == Symbol::Kind::Variable) return rest(variableRef(s, e.pos), 2);
        if (s.kind == Symbol::Kind::Subprograms) return callRef(e, false);
        if (s.kind == Symbol::Kind::Cursor && parts.size() == 3) return cursorAttribute(&s, variableRef(s, e.pos), parts[2], e.pos);
        if (s.kind == Symbol::Kind::Cursor && parts.size() == 2) return variableRef(s, e.pos);
      }
      throw NameError{errorAt(e.pos, "PLS-00302: component '" + parts[1] + "' must be declared")};
    }
  }
  if (parts.size() == 1 || parts.size() == 2) {
    auto unit = parts.size() == 1 ? findUnit(owner_, first) : findUnit(parts[0], parts[1]);
    if (unit && unit->main) return callRef(e, false);
  }
  if (parts.size() >= 3) {
    if (auto pkg = findUnit(parts[0], parts[1]); pkg && pkg->scope) {
      unit_.dependencies.insert({pkg->owner, pkg->name});
      auto it = pkg->scope->names.find(parts[2]);
      if (it != pkg->scope->names.end()) {
        const Symbol& s = it->second;
        if (s.kind == Symbol::Kind::Variable) return rest(variableRef(s, e.pos), 3);
        if (s.kind == Symbol::Kind::Subprograms) return callRef(e, false);
      }
      throw NameError{errorAt(e.pos, "PLS-00302: component '" + parts[2] + "' must be declared")};
    }
  }
  return sqlFallback(e);
}

// Values of arguments, matched to parameters by position or name.
std::vector<std::optional<std::size_t>> matchArguments(const Subprogram& sub, const sql::Expr& e) {
  std::vector<std::optional<std::size_t>> byParam(sub.params.size());
  for (std::size_t i = 0; i < e.args.size(); ++i) {
    std::string named = i < e.argNames.size() ? e.argNames[i] : std::string();
    std::size_t p = i;
    if (!named.empty()) {
      p = sub.params.size();
      for (std::size_t k = 0; k < sub.params.size(); ++k)
        if (sub.params[k].name == named) p = k;
    }
    if (p >= sub.params.size()) return {};
    byParam[p] = i;
  }
  for (std::size_t k = 0; k < sub.params.size(); ++k)
    if (!byParam[k] && !sub.params[k].defaultValue) return {};
  return byParam;
}

// The storage of a variable's own value, which Value hands out only as const: the variable owns it,
// so it may grow where it is.
template <class T>
T& grownInPlace(const T& storage) {
  return const_cast<T&>(storage);
}

// DBMS_LOB.APPEND(lob, src) and WRITEAPPEND(lob, amount, buffer) on a CLOB or BLOB variable add to its
// value where it is stored, not to a copy passed in and out: a LOB built by many appends costs time
// linear in its length. Other targets take the package's own code.
ExprP Compiler::lobAppendInPlace(const Subprogram& sub, const std::vector<ExprP>& argValues,
                                 const std::vector<std::optional<std::size_t>>& mapping, const sql::Expr& e) {
  bool write = sub.name == "WRITEAPPEND";
  if ((sub.name != "APPEND" && !write) || mapping.size() != (write ? 3u : 2u)) return nullptr;
  for (const auto& m : mapping)
    if (!m) return nullptr;
  ExprP target = argValues[*mapping[0]];
  if (!dynamic_cast<FrameVar*>(target.get()) && !dynamic_cast<PackageVar*>(target.get())) return nullptr;
  if (!target->type || target->type->kind != Type::Kind::Scalar ||
      (target->type->scalar != DataType::Clob && target->type->scalar != DataType::Blob))
    return nullptr;
  bool blob = target->type->scalar == DataType::Blob;
  ExprP amount = write ? argValues[*mapping[1]] : nullptr;
  ExprP source = argValues[*mapping[write ? 2 : 1]];
  auto node = std::make_shared<FnExpr>();
  node->pos = e.pos;
  node->run = [target, amount, source, blob](Exec& x) -> Value {
    Value src = convertScalar(x, source->eval(x), *scalarType(blob ? DataType::Raw : DataType::Clob));
    std::int64_t n = -1;
    if (amount) {
      Value a = amount->eval(x);
      std::size_t have = 0;
      if (!src.isNull() && blob) have = src.asBytes().size();
      else if (!src.isNull())
        for (char ch : src.asText()) have += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
      n = a.isNull() ? -1 : toNumber(a).asInteger();
      if (n < 1 || static_cast<std::size_t>(n) > have || n > 32767) {
        PlsqlError err;
        err.code = 21560;
        err.message = "ORA-21560: argument 2 is null, invalid, or out of range";
        throw err;
      }
    }
    if (src.isNull()) return {};
    Datum& d = *target->ref(x);
    if (blob) {
      const Bytes& add = src.asBytes();
      auto end = n < 0 ? add.end() : add.begin() + n;
      if (d.v.kind() != Value::Kind::Binary) d.v = Value(Bytes(add.begin(), end));
      else grownInPlace(d.v.asBytes()).insert(grownInPlace(d.v.asBytes()).end(), add.begin(), end);
    } else {
      const std::string& add = src.asText();
      std::size_t bytes = add.size();
      if (n >= 0) {  // the first n characters
        bytes = 0;
        for (std::int64_t k = 0; k < n; ++k)
          do ++bytes;
          while (bytes < add.size() && (static_cast<unsigned char>(add[bytes]) & 0xC0) == 0x80);
      }
      if (d.v.kind() != Value::Kind::Text) d.v = Value(d.v.isNull() ? add.substr(0, bytes) : x.session.format(d.v) + add.substr(0, bytes));
      else grownInPlace(d.v.asText()).append(add, 0, bytes);
    }
    return {};
  };
  return node;
}

ExprP Compiler::callTo(const std::vector<std::shared_ptr<Subprogram>>& candidates, const std::shared_ptr<Unit>& package,
                       const sql::Expr& original, bool asStatement, ExprP self, bool selfBack) {
  // A method call: SELF becomes the first argument, by name.
  sql::Expr withSelf;
  if (self) {
    withSelf = original;
    auto placeholder = std::make_shared<sql::Expr>();
    placeholder->pos = original.pos;
    placeholder->endOffset = original.pos.offset;
    withSelf.args.insert(withSelf.args.begin(), placeholder);
    if (withSelf.argNames.size() < original.args.size()) withSelf.argNames.resize(original.args.size());
    withSelf.argNames.insert(withSelf.argNames.begin(), "SELF");
  }
  const sql::Expr& e = self ? withSelf : original;
  std::vector<ExprP> argValues;
  for (std::size_t i = 0; i < e.args.size(); ++i) argValues.push_back(self && i == 0 ? self : expr(*e.args[i]));
  std::shared_ptr<Subprogram> chosen;
  std::vector<std::optional<std::size_t>> mapping;
  int bestScore = -1;
  for (const auto& sub : candidates) {
    if (sub->isFunction == asStatement) continue;
    auto m = matchArguments(*sub, e);
    if (m.empty() && !sub->params.empty()) continue;
    if (sub->params.empty() && !e.args.empty()) continue;
    // Overloads by type: count the arguments whose type matches the parameter's. A host bind has
    // the type of the value it is run with, when that is known.
    int score = 0;
    for (std::size_t k = 0; k < sub->params.size(); ++k) {
      if (!m[k]) continue;
      TypePtr at = argValues[*m[k]]->type;
      const TypePtr& pt = sub->params[k].type;
      const sql::Expr& arg = *e.args[*m[k]];
      if (arg.kind == ExprKind::Bind && at && at->kind == Type::Kind::Scalar && at->scalar == DataType::Unknown &&
          candidates.size() > 1) {
        unit_.bindSensitive = true;
        auto known = unit_.bindTypes.find(arg.text);
        if (known != unit_.bindTypes.end()) at = scalarType(known->second);
      }
      if (at && pt && at->kind == pt->kind && (at->kind != Type::Kind::Scalar || at->scalar == pt->scalar ||
                                               ((at->scalar == DataType::Varchar2 || at->scalar == DataType::Char) &&
                                                (pt->scalar == DataType::Varchar2 || pt->scalar == DataType::Char))))
        ++score;
    }
    if (score > bestScore) {
      bestScore = score;
      chosen = sub;
      mapping = m;
    }
  }
  if (!chosen) {
    std::string name = e.name.last();
    // The only candidate is of the other kind (a function called as a procedure, or the reverse).
    if (!candidates.empty() && candidates[0]->isFunction == asStatement && candidates.size() == 1)
      throw NameError{errorAt(e.pos, asStatement ? "PLS-00221: '" + name + "' is not a procedure or is undefined"
                                                 : "PLS-00222: no function with name '" + name + "' exists in this scope")};
    throw NameError{errorAt(e.pos, "PLS-00306: wrong number or types of arguments in call to '" + name + "'")};
  }
  // OUT and IN OUT arguments must be assignable.
  bool skipSelf = self && !selfBack;
  bool checkSelf = self && chosen->member && !chosen->constructor;
  for (std::size_t k = 0; k < chosen->params.size(); ++k) {
    if (chosen->params[k].mode == BindDirection::In || !mapping[k] || (skipSelf && k == 0)) continue;
    const ExprP& a = argValues[*mapping[k]];
    bool assignable = dynamic_cast<FrameVar*>(a.get()) || dynamic_cast<PackageVar*>(a.get()) ||
                      (dynamic_cast<FnExpr*>(a.get()) && (static_cast<FnExpr*>(a.get())->storage || e.args[*mapping[k]]->kind == ExprKind::Bind));
    if (!assignable)
      throw NameError{errorAt(e.args[*mapping[k]]->pos, "PLS-00363: expression '" +
                                                            std::string(text_.substr(static_cast<std::size_t>(e.args[*mapping[k]]->pos.offset),
                                                                                     static_cast<std::size_t>(e.args[*mapping[k]]->endOffset - e.args[*mapping[k]]->pos.offset))) +
                                                            "' cannot be used as an assignment target")};
  }
  if (package && package->builtin && package->name == "DBMS_LOB" && asStatement)
    if (ExprP inPlace = lobAppendInPlace(*chosen, argValues, mapping, e)) return inPlace;
  std::vector<std::size_t> hostBinds(chosen->params.size(), static_cast<std::size_t>(-1));
  for (std::size_t k = 0; k < chosen->params.size(); ++k)
    if (mapping[k] && e.args[*mapping[k]]->kind == ExprKind::Bind) {
      auto& binds = unit_.hostBinds;
      hostBinds[k] = static_cast<std::size_t>(std::find(binds.begin(), binds.end(), e.args[*mapping[k]]->text) - binds.begin());
    }
  Subprogram* sub = chosen.get();
  int depth = scope_->depth;
  UnitLoader* loader = &loader_;
  // The package is held weakly: a package body calling its own subprograms would otherwise own
  // itself through its specification.
  std::weak_ptr<Unit> packageRef = package;
  bool inPackage = package != nullptr;
  auto node = std::make_shared<FnExpr>();
  node->pos = e.pos;
  node->type = chosen->returnType;
  if (package) unit_.dependencies.insert({package->owner, package->name});
  bool sameUnit = chosen->unit == &unit_;
  node->composite = [sub, argValues, mapping, hostBinds, depth, loader, packageRef, inPackage, sameUnit, skipSelf,
                     checkSelf](Exec& x) -> Datum {
    std::shared_ptr<Unit> pkg = packageRef.lock();  // kept alive until the call returns
    if (inPackage && !pkg) raiseOra(4068, "");
    std::vector<Datum> args(sub->params.size());
    for (std::size_t k = 0; k < sub->params.size(); ++k) {
      const Param& prm = sub->params[k];
      if (prm.mode == BindDirection::Out) {
        args[k] = initialDatum(*prm.type);
        continue;
      }
      Datum v = mapping[k] ? argValues[*mapping[k]]->datum(x) : prm.defaultValue->datum(x);
      assign(x, args[k], *prm.type, std::move(v));
    }
    if (checkSelf && !args[0].record) raiseOra(30625);
    Frame* link = nullptr;
    if (pkg) {
      Unit* spec = pkg->stateOwner();
      if (!sub->impl && !sub->body) loader->bodyOf(*spec);
      if (!spec->state) loader->instantiate(x, *spec);
      link = spec->state.get();
    } else if (sub->depth > 0 && sameUnit) {
      link = x.frame;
      for (int i = depth; i >= sub->depth; --i) link = link->up;
    }
    if (!sub->impl && !sub->body) raiseOra(6508, "");
    Datum result = callSubprogram(x, *sub, args, link);
    for (std::size_t k = 0; k < sub->params.size(); ++k) {
      if (sub->params[k].mode == BindDirection::In || !mapping[k] || (skipSelf && k == 0)) continue;
      if (hostBinds[k] != static_cast<std::size_t>(-1)) {
        (*x.binds)[hostBinds[k]].v = args[k].v;
        continue;
      }
      ExprP target = argValues[*mapping[k]];
      assign(x, *target->ref(x), *target->type, std::move(args[k]));
    }
    return result;
  };
  node->run = [n = node.get()](Exec& x) { return n->composite(x).v; };
  return node;
}

ExprP Compiler::callRef(const sql::Expr& e, bool asStatement) {
  if (auto attribute = selfAttribute(e)) return callRef(*attribute, asStatement);
  const auto& parts = e.name.parts;
  const std::string& first = parts[0];
  if (parts.size() == 1) {
    if (const Symbol* s = scope_->find(first)) {
      if (s->kind == Symbol::Kind::Subprograms && (s->subs[0]->unit->type == "TYPE" || s->subs[0]->unit->type == "TYPE BODY")) {
        // A method called by its name inside the type's body: a member's SELF is the caller's.
        std::shared_ptr<Unit> typeUnit = stateOwner(s->subs[0]->unit)->shared_from_this();
        if (s->subs[0]->constructor) {
          if (asStatement) throw NameError{errorAt(e.pos, "PLS-00221: '" + first + "' is not a procedure or is undefined")};
          return typeConstructor(typeUnit, e);
        }
        const Symbol* self = scope_->find("SELF");
        if (s->subs[0]->member && self && !s->subs[0]->constructor)
          return callTo(s->subs, typeUnit, e, asStatement, variableRef(*self, e.pos), true);
        return callTo(s->subs, typeUnit, e, asStatement);
      }
      if (s->kind == Symbol::Kind::Subprograms) {
        Unit* owner = s->subs[0]->unit;
        std::shared_ptr<Unit> pkg;
        if (owner->type == "PACKAGE" || owner->type == "PACKAGE BODY") {
          // A call inside the package: the package's state is the static link.
          pkg = owner == &unit_ ? unit_.spec.lock() : findUnit(owner_, stateOwner(owner)->name);
        }
        return callTo(s->subs, pkg, e, asStatement);
      }
      if (s->kind == Symbol::Kind::Type && s->type->kind == Type::Kind::Collection && !asStatement) {
        return collectionConstructor(s->type, e);
      }
      if (s->kind == Symbol::Kind::Variable && !asStatement) {
        ExprP base = variableRef(*s, e.pos);
        if (base->type && base->type->kind == Type::Kind::Collection && e.args.size() == 1)
          return elementRef(base, expr(*e.args[0]), e.pos);
      }
    }
    if (auto unit = findUnit(owner_, first); unit && unit->main) {
      unit_.dependencies.insert({unit->owner, unit->name});
      return callTo({unit->main}, nullptr, e, asStatement);
    } else if (unit && unit->objectType && !asStatement) {
      return typeConstructor(unit, e);
    }
    if (selfType_ && first == selfType_->name && !asStatement && unit_.spec.lock()) return typeConstructor(unit_.spec.lock(), e);
    return builtinCall(e, asStatement);
  }
  // record or collection variable: coll.EXISTS(i), coll.DELETE
  if (const Symbol* s = scope_->find(first); s && s->kind == Symbol::Kind::Variable) {
    ExprP base = variableRef(*s, e.pos);
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) base = member(base, parts[i], e, i);
    if (base->type && base->type->kind == Type::Kind::Collection) return collectionMethod(base, parts.back(), e);
    return member(base, parts.back(), e, parts.size() - 1, asStatement);
  }
  // package.subprogram or schema.unit
  if (auto pkg = findUnit(owner_, first); pkg && pkg->scope && parts.size() == 2) {
    auto it = pkg->scope->names.find(parts[1]);
    if (it == pkg->scope->names.end() || it->second.kind != Symbol::Kind::Subprograms)
      throw NameError{errorAt(e.pos, "PLS-00302: component '" + parts[1] + "' must be declared")};
    return callTo(it->second.subs, pkg, e, asStatement);
  }
  if (parts.size() == 3) {
    if (auto pkg = findUnit(first, parts[1]); pkg && pkg->scope) {
      auto it = pkg->scope->names.find(parts[2]);
      if (it == pkg->scope->names.end() || it->second.kind != Symbol::Kind::Subprograms)
        throw NameError{errorAt(e.pos, "PLS-00302: component '" + parts[2] + "' must be declared")};
      return callTo(it->second.subs, pkg, e, asStatement);
    }
  }
  if (parts.size() == 2) {
    if (auto unit = findUnit(first, parts[1]); unit && unit->main) {
      unit_.dependencies.insert({unit->owner, unit->name});
      return callTo({unit->main}, nullptr, e, asStatement);
    } else if (unit && unit->objectType && !asStatement) {
      return typeConstructor(unit, e);
    }
  }
  return builtinCall(e, asStatement);
}

// ---------------------------------------------------------------------------------------------------
// Built-in procedures and functions of STANDARD and DBMS_OUTPUT

ExprP Compiler::builtinCall(const sql::Expr& e, bool asStatement) {
  rejectInvalidUnit(e);
  const auto& parts = e.name.parts;
  std::string name;
  for (const auto& p : parts) name += (name.empty() ? "" : ".") + p;
  std::vector<ExprP> args;
  for (const auto& a : e.args) args.push_back(expr(*a));
  auto node = std::make_shared<FnExpr>();
  node->pos = e.pos;
  auto argCount = [&](std::size_t lo, std::size_t hi) {
    if (args.size() < lo || args.size() > hi)
      throw NameError{errorAt(e.pos, "PLS-00306: wrong number or types of arguments in call to '" + parts.back() + "'")};
  };
  if (parts.size() == 1 && parts[0] == "SQLERRM" && !asStatement) {
    argCount(0, 1);
    node->type = scalarType(DataType::Varchar2, "VARCHAR2");
    ExprP code = args.empty() ? nullptr : args[0];
    node->run = [code](Exec& x) -> Value {
      if (code) {
        Value c = code->eval(x);
        std::int64_t n = c.isNull() ? 0 : toNumber(c).asInteger();
        if (n == 0) return Value("ORA-0000: normal, successful completion");
        if (n == 100) return Value(messageOf(1403));
        if (n > 0) return Value("-" + std::to_string(n) + ": non-ORACLE exception ");
        return Value(messageOf(static_cast<int>(-n)));
      }
      if (!x.handling) return Value("ORA-0000: normal, successful completion");
      if (x.handling->user && x.handling->user->code == 0) return Value("User-Defined Exception");
      return Value(x.handling->message);
    };
    return node;
  }
  if (parts.size() == 1 && parts[0] == "RAISE_APPLICATION_ERROR" && asStatement) {
    argCount(2, 3);
    ExprP code = args[0], message = args[1];
    node->run = [code, message](Exec& x) -> Value {
      Value c = toNumber(code->eval(x));
      std::int64_t n = c.isNull() ? 0 : c.asInteger();
      if (n < -20999 || n > -20000) {
        PlsqlError e;
        e.code = 21000;
        e.message = "ORA-21000: error number argument to raise_application_error of " + std::to_string(n) +
                    " is out of range";
        throw e;
      }
      Value m = message->eval(x);
      PlsqlError e;
      e.code = static_cast<int>(-n);
      e.message = "ORA-" + std::to_string(-n) + ": " + (m.isNull() ? std::string() : textOf(x, m));
      throw e;
    };
    return node;
  }
  // The built-in packages' bodies (SYS) reach their native routines: NUVO$NATIVE('NAME', args...).
  if (parts.size() == 1 && parts[0] == "NUVO$NATIVE" && owner_ == "SYS" && !e.args.empty() &&
      e.args[0]->kind == sql::ExprKind::String) {
    const Native* native = findNative(e.args[0]->text);
    if (!native) throw NameError{errorAt(e.pos, "PLS-00201: identifier '" + e.args[0]->text + "' must be declared")};
    if (native->result != DataType::Unknown)
      node->type = native->result == DataType::Boolean ? booleanType() : scalarType(native->result, dataTypeName(native->result));
    std::vector<ExprP> rest(args.begin() + 1, args.end());
    node->run = [native, rest](Exec& x) -> Value {
      NativeCall call{x, {}};
      call.args.reserve(rest.size());
      for (const auto& a : rest) call.args.push_back(a->eval(x));
      return native->run(call);
    };
    return node;
  }
  if (parts.size() == 2 && parts[0] == "DBMS_OUTPUT" && asStatement) {
    const std::string& p = parts[1];
    struct Spec {
      const char* name;
      std::size_t lo, hi;
    };
    static const Spec specs[] = {{"PUT_LINE", 1, 1}, {"PUT", 1, 1}, {"NEW_LINE", 0, 0}, {"ENABLE", 0, 1},
                                 {"DISABLE", 0, 0}, {"GET_LINE", 2, 2}, {"GET_LINES", 2, 2}};
    const Spec* spec = nullptr;
    for (const auto& s : specs)
      if (p == s.name) spec = &s;
    if (!spec) throw NameError{errorAt(e.pos, "PLS-00302: component '" + p + "' must be declared")};
    argCount(spec->lo, spec->hi);
    node->run = [p, args](Exec& x) -> Value {
      dbmsOutput(x, p, args);
      return {};
    };
    return node;
  }
  if (asStatement) {
    if (parts.size() == 2 && findUnit(owner_, parts[0]) == nullptr)
      throw NameError{errorAt(e.pos, "PLS-00201: identifier '" + name + "' must be declared")};
    throw NameError{errorAt(e.pos, "PLS-00201: identifier '" + name + "' must be declared")};
  }
  return sqlFallback(e);
}

// What conditional compilation reads: the unit's owner, the flags it is compiled with, the
// database's version and the constants of package specifications.
PreprocessContext preprocessContext(storage::SessionImpl& session, const std::string& owner, const std::string* ccflags) {
  PreprocessContext c;
  c.owner = owner;
  c.ccflags = ccflags ? *ccflags : session.context().plsqlCcflags;
  {
    storage::Stmt s(session.connection(), "SELECT value FROM main.meta WHERE key='version'");
    c.version = s.step() ? s.text(0) : "19.0.0.0.0";
  }
  sqlite3* db = session.connection();
  std::string unitOwner = owner;
  c.packageConstant = [db, unitOwner](const std::string& schema, const std::string& package,
                                      const std::string& name) -> std::optional<StaticValue> {
    storage::Stmt s(db, "SELECT text FROM main.source WHERE owner=?1 AND name=?2 AND type='PACKAGE' ORDER BY line");
    s.bindAll(schema.empty() ? unitOwner : schema, package);
    std::string spec;
    while (s.step()) spec += s.text(0);
    if (spec.empty()) return std::nullopt;
    return staticConstant(spec, name);
  };
  return c;
}

}  // namespace

void Compiler::compileTriggerBody(const TriggerContext& trigger) {
  trigger_ = &trigger;
  unit_.type = "TRIGGER";
  unit_.main = std::make_shared<Subprogram>();
  unit_.main->unit = &unit_;
  current_ = unit_.main.get();
  push(0, &unit_.main->frameSize);
  TypePtr row = rowTypeOfTable(trigger.tableOwner, trigger.table, at().pos);
  unit_.rowType = row;
  declare("OLD$", variableSymbol(row), at().pos);
  declare("NEW$", variableSymbol(row), at().pos);
  if (trigger.whenOffset >= 0) {
    // WHEN names the rows without colons.
    push(0, &unit_.main->frameSize);
    scope_->names[trigger.oldName] = *scope_->parent->find("OLD$");
    scope_->names[trigger.newName] = *scope_->parent->find("NEW$");
    try {
      auto list = parseList(text_, static_cast<std::size_t>(trigger.whenOffset), static_cast<std::size_t>(trigger.whenEnd));
      unit_.when = condition(list.at(0));
    } catch (const NameError& e) {
      record(e.error);
    } catch (const Error& e) {
      record({1, 1, "PLS-00103: " + e.message().substr(0, e.message().find('\n'))});
    }
    pop();
  }
  while (at().kind != TokenKind::End && at().pos.offset < trigger.bodyOffset) p_.next();
  std::vector<StmtP> init;
  std::vector<int> cursors;
  if (accept("DECLARE")) declarations(init, cursors);
  else if (!is("BEGIN")) syntax(at(), "begin declare");
  unit_.main->body = blockBody(std::move(init), std::move(cursors));
  acceptOp(";");
  if (at().kind != TokenKind::End) syntax(at(), "end-of-file");
  if (!unit_.hostBinds.empty())
    record({1, 1, "PLS-00049: bad bind variable '" + unit_.hostBinds.front() + "'"});
}

std::shared_ptr<Unit> compileTrigger(storage::SessionImpl& session, UnitLoader& loader, const std::string& owner,
                                     const std::string& source, const TriggerContext& trigger, const std::string* ccflags) {
  auto unit = std::make_shared<Unit>();
  unit->owner = owner;
  std::string text = preprocess(source, preprocessContext(session, owner, ccflags), unit->errors);
  if (!unit->errors.empty()) return unit;
  try {
    Compiler c(session, loader, owner, text, *unit);
    c.compileTriggerBody(trigger);
  } catch (const SyntaxError& e) {
    unit->errors.push_back(e.error);
  } catch (const NameError& e) {
    unit->errors.push_back(e.error);
  } catch (const Error& e) {
    unit->errors.push_back({e.line() > 0 ? e.line() : 1, e.column() > 0 ? e.column() : 1,
                            "PLS-00103: " + e.message().substr(0, e.message().find('\n'))});
  }
  // A trigger's errors count lines from its PL/SQL block (DECLARE or BEGIN), columns on that first
  // line from the block's first character.
  int bodyLine = 1, bodyColumn = 1;
  for (int i = 0; i < trigger.bodyOffset && i < static_cast<int>(text.size()); ++i) {
    if (text[static_cast<std::size_t>(i)] == '\n') {
      ++bodyLine;
      bodyColumn = 1;
    } else {
      ++bodyColumn;
    }
  }
  for (auto& error : unit->errors) {
    if (error.line < bodyLine) continue;
    if (error.line == bodyLine) error.position = std::max(1, error.position - bodyColumn + 1);
    error.line -= bodyLine - 1;
  }
  return unit;
}

std::shared_ptr<Unit> compileUnit(storage::SessionImpl& session, UnitLoader& loader, const std::string& owner,
                                  const std::string& source, const std::shared_ptr<Unit>& spec,
                                  const std::map<std::string, DataType>& bindTypes, const std::string* ccflags) {
  auto unit = std::make_shared<Unit>();
  unit->owner = owner;
  unit->bindTypes = bindTypes;
  std::string text = preprocess(source, preprocessContext(session, owner, ccflags), unit->errors);
  if (!unit->errors.empty()) return unit;
  try {
    Compiler c(session, loader, owner, text, *unit);
    c.compile(spec);
  } catch (const Error& e) {
    unit->errors.push_back({e.line() > 0 ? e.line() : 1, e.column() > 0 ? e.column() : 1,
                            "PLS-00103: " + e.message().substr(0, e.message().find('\n'))});
  }
  return unit;
}

}  // namespace engine::plsql
