// Stored units in the catalog, the session's registry of compiled units and package state, anonymous
// blocks, DBMS_OUTPUT, and the bridge that lets SQL call stored functions.

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "engine/plsql/conditional.h"
#include "engine/plsql/nodes.h"
#include "engine/plsql/packages/native.h"
#include "engine/plsql/plsql.h"
#include "engine/plsql/triggers.h"
#include "engine/sql/lexer.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::plsql {

using storage::Stmt;

// The body of a specification: PACKAGE BODY or TYPE BODY.
std::string bodyTypeOf(const std::string& specType) { return specType == "TYPE" ? "TYPE BODY" : "PACKAGE BODY"; }

namespace {

// Catalog tables of PL/SQL that databases made before them lack.
void ensureDependencyTable(sqlite3* db) {
  storage::exec(db,
                "CREATE TABLE IF NOT EXISTS main.dependencies(owner TEXT NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL, "
                "referenced_owner TEXT, referenced_name TEXT, referenced_type TEXT);"
                "CREATE TABLE IF NOT EXISTS main.procedures(owner TEXT NOT NULL, object_name TEXT NOT NULL, "
                "procedure_name TEXT, object_id INTEGER, subprogram_id INTEGER, overload TEXT, object_type TEXT);"
                "CREATE TABLE IF NOT EXISTS main.arguments(owner TEXT NOT NULL, object_name TEXT, package_name TEXT, "
                "object_id INTEGER, subprogram_id INTEGER, overload TEXT, argument_name TEXT, position INTEGER, "
                "sequence INTEGER, data_type TEXT, in_out TEXT, defaulted TEXT);"
                "CREATE TABLE IF NOT EXISTS main.plsql_settings(owner TEXT NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL, "
                "plsql_ccflags TEXT, PRIMARY KEY(owner, name, type))");
}

std::string argumentType(const Type& t) {
  switch (t.kind) {
    case Type::Kind::Boolean: return "PL/SQL BOOLEAN";
    case Type::Kind::Record: return t.object ? "OBJECT" : "PL/SQL RECORD";
    case Type::Kind::Collection: return t.indexBy ? "PL/SQL TABLE" : t.limit > 0 ? "VARRAY" : "TABLE";
    case Type::Kind::RefCursor: return "REF CURSOR";
    default:
      if (t.integer) return t.name == "INTEGER" || t.name == "INT" ? "NUMBER" : "PL/SQL INTEGER";
      return dataTypeName(t.scalar);
  }
}

// USER_PROCEDURES and USER_ARGUMENTS rows of a procedure, function or package specification. A
// procedure without arguments has no USER_ARGUMENTS row; a function has its RETURN row (POSITION 0).
void storeSubprograms(sqlite3* db, const Unit& unit, const std::string& type) {
  if (type == "PACKAGE BODY") return;
  Stmt(db, "DELETE FROM main.procedures WHERE owner=?1 AND object_name=?2").bindAll(unit.owner, unit.name).step();
  Stmt(db, "DELETE FROM main.arguments WHERE owner=?1 AND (package_name=?2 OR (package_name IS NULL AND object_name=?2))")
      .bindAll(unit.owner, unit.name)
      .step();
  if (type != "PROCEDURE" && type != "FUNCTION" && type != "PACKAGE") return;
  Stmt idq(db, "SELECT object_id FROM main.objects WHERE owner=?1 AND object_name=?2 AND object_type=?3");
  idq.bindAll(unit.owner, unit.name, type);
  if (!idq.step()) return;
  std::int64_t id = idq.integer(0);
  bool package = type == "PACKAGE";
  Stmt(db, "INSERT INTO main.procedures VALUES (?1, ?2, NULL, ?3, ?4, NULL, ?5)")
      .bindAll(unit.owner, unit.name, id, package ? 0 : 1, type)
      .step();
  std::vector<std::shared_ptr<Subprogram>> subs = package ? unit.subprograms : std::vector<std::shared_ptr<Subprogram>>{unit.main};
  int subId = 0;
  for (const auto& sub : subs) {
    if (!sub) continue;
    ++subId;
    int same = 0, index = 0;
    for (const auto& other : subs) {
      if (other->name != sub->name) continue;
      ++same;
      if (other == sub) index = same;
    }
    std::string overload = same > 1 ? std::to_string(index) : std::string();
    auto bindOverload = [&](Stmt& st, int i) {
      if (overload.empty()) st.bindNull(i);
      else st.bind(i, overload);
    };
    if (package) {
      Stmt st(db, "INSERT INTO main.procedures VALUES (?1, ?2, ?3, ?4, ?5, ?6, 'PACKAGE')");
      st.bindAll(unit.owner, unit.name, sub->name, id, subId);
      bindOverload(st, 6);
      st.step();
    }
    auto addArgument = [&](const std::string& name, int position, const Type& t, const std::string& mode, bool defaulted) {
      Stmt st(db, "INSERT INTO main.arguments VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
      st.bind(1, unit.owner).bind(2, package ? sub->name : unit.name);
      if (package) st.bind(3, unit.name);
      else st.bindNull(3);
      st.bind(4, id).bind(5, static_cast<std::int64_t>(package ? subId : 1));
      bindOverload(st, 6);
      if (name.empty()) st.bindNull(7);
      else st.bind(7, name);
      st.bind(8, static_cast<std::int64_t>(position)).bind(9, static_cast<std::int64_t>(position + (sub->isFunction ? 1 : 0)));
      st.bind(10, argumentType(t)).bind(11, mode).bind(12, std::string(defaulted ? "Y" : "N"));
      st.step();
    };
    if (sub->isFunction && sub->returnType) addArgument({}, 0, *sub->returnType, "OUT", false);
    for (std::size_t i = 0; i < sub->params.size(); ++i) {
      const Param& p = sub->params[i];
      const char* mode = p.mode == BindDirection::In ? "IN" : p.mode == BindDirection::Out ? "OUT" : "IN/OUT";
      addArgument(p.name, static_cast<int>(i + 1), *p.type, mode, p.defaultValue != nullptr);
    }
  }
}

// A type that other types depend on can be neither dropped nor replaced without FORCE.
void requireNoTypeDependants(sqlite3* db, const std::string& owner, const std::string& name) {
  ensureDependencyTable(db);
  Stmt s(db, "SELECT 1 FROM main.dependencies WHERE referenced_owner=?1 AND referenced_name=?2 AND "
             "referenced_type='TYPE' AND type='TYPE' AND NOT (owner=?1 AND name=?2)");
  s.bindAll(owner, name);
  if (s.step()) throw Error(2303, "ORA-02303: cannot drop or replace a type with type or table dependents");
}

// The rows of ALL_TYPES, ALL_TYPE_ATTRS and ALL_COLL_TYPES for a type (none for one without a
// compiled declaration, or a dropped one).
void storeTypeDescription(sqlite3* db, const Unit& unit) {
  for (const char* table : {"types", "type_attrs", "coll_types"})
    Stmt(db, std::string("DELETE FROM main.") + table + " WHERE owner=?1 AND type_name=?2").bindAll(unit.owner, unit.name).step();
  if (!unit.objectType) return;
  const Type& t = *unit.objectType;
  // How a scalar or a type appears in the views: its name, owner (types only), length, precision, scale.
  auto describe = [](Stmt& st, int at, const TypePtr& described) {
    // A type that failed to compile may lack its element or an attribute's type.
    static const Type unknown;
    const Type& item = described ? *described : unknown;
    bool scalar = item.isScalar();
    if (!scalar && !item.owner.empty()) st.bind(at, item.owner);
    else st.bindNull(at);
    std::string name = scalar ? (item.integer ? std::string("INTEGER") : dataTypeName(item.scalar)) : item.name;
    if (item.kind == Type::Kind::Boolean) name = "PL/SQL BOOLEAN";
    st.bind(at + 1, name);
    if (scalar && item.length > 0) st.bind(at + 2, static_cast<std::int64_t>(item.length));
    else st.bindNull(at + 2);
    if (scalar && item.hasScale) st.bind(at + 3, static_cast<std::int64_t>(item.precision)).bind(at + 4, static_cast<std::int64_t>(item.scale));
    else if (scalar && item.integer) st.bindNull(at + 3).bind(at + 4, static_cast<std::int64_t>(0));
    else st.bindNull(at + 3).bindNull(at + 4);
  };
  std::int64_t methods = 0;
  for (const auto& sub : unit.subprograms)
    if (sub) ++methods;
  Stmt(db, "INSERT INTO main.types(owner, type_name, typecode, attributes, methods) VALUES (?1, ?2, ?3, ?4, ?5)")
      .bindAll(unit.owner, unit.name, std::string(t.kind == Type::Kind::Collection ? "COLLECTION" : "OBJECT"),
               static_cast<std::int64_t>(t.fields.size()), methods)
      .step();
  if (t.kind == Type::Kind::Collection) {
    Stmt st(db, "INSERT INTO main.coll_types(owner, type_name, coll_type, upper_bound, elem_type_owner, elem_type_name, "
                "length, precision, scale) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    st.bindAll(unit.owner, unit.name, std::string(t.limit > 0 ? "VARYING ARRAY" : "TABLE"));
    if (t.limit > 0) st.bind(4, t.limit);
    else st.bindNull(4);
    describe(st, 5, t.element);
    st.step();
    return;
  }
  std::int64_t position = 0;
  for (const auto& [attribute, type] : t.fields) {
    Stmt st(db, "INSERT INTO main.type_attrs(owner, type_name, attr_name, attr_type_owner, attr_type_name, length, "
                "precision, scale, attr_no) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    st.bindAll(unit.owner, unit.name, attribute);
    describe(st, 4, type);
    st.bind(9, ++position);
    st.step();
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// The session's PL/SQL state

struct Block {
  enum class Kind { Anonymous, Create, Drop, AlterCompile };
  Kind kind = Kind::Anonymous;
  std::string text;
  std::shared_ptr<Unit> unit;
  std::uint64_t generation = 0;
  std::vector<std::string> binds;
  // DDL of units
  std::string owner, name, type, source;
  bool ownerGiven = false;  // schema.name; else the unit goes to the CURRENT_SCHEMA of each run
  std::string schema;       // an anonymous block: the CURRENT_SCHEMA its names were resolved in
  bool orReplace = false;
  bool body = false;  // ALTER PACKAGE ... COMPILE BODY
  std::string action;  // ALTER: COMPILE, ENABLE, DISABLE
  bool specificationOnly = false;  // ALTER PACKAGE ... COMPILE SPECIFICATION
  bool force = false;              // DROP TYPE ... FORCE, CREATE TYPE ... FORCE
  bool reuseSettings = false;      // ... COMPILE REUSE SETTINGS: the stored PLSQL_CCFLAGS, not the session's
};

struct SessionState : UnitLoader {
  explicit SessionState(storage::SessionImpl& s) : session(s) {}

  storage::SessionImpl& session;
  std::map<std::string, std::shared_ptr<Unit>> units;   // OWNER.NAME: specifications, procedures, functions
  std::set<std::string> loading;
  std::uint64_t generation = 1;     // bumped whenever compiled units are discarded
  std::uint64_t validatedAt = 0;    // the DDL version last checked
  std::vector<std::pair<std::shared_ptr<Unit>, Subprogram*>> sqlFunctions;
  bool outputEnabled = false;
  std::vector<std::string> output;
  std::string partialLine;

  std::shared_ptr<Unit> findUnit(const std::string& owner, const std::string& name) override;
  std::string invalidUnit(const std::string& owner, const std::string& name) override {
    auto it = invalid.find(owner + "." + name);
    return it == invalid.end() ? std::string() : it->second;
  }
  std::map<std::string, std::string> invalid;  // OWNER.NAME looked up -> the unit that failed to compile
  std::shared_ptr<Unit> bodyOf(Unit& spec) override;
  void instantiate(Exec& x, Unit& spec) override;
  int sqlFunctionId(const std::shared_ptr<Unit>& unit, Subprogram* sub) override {
    for (std::size_t i = 0; i < sqlFunctions.size(); ++i)
      if (sqlFunctions[i].second == sub) return static_cast<int>(i);
    sqlFunctions.emplace_back(unit, sub);
    return static_cast<int>(sqlFunctions.size() - 1);
  }

  // Drops compiled units whose catalog entry changed; sets stateDiscarded when one held package state.
  void validate();
  // Drops one compiled unit after DDL on it. Code still running in this call keeps it until the call ends.
  void forget(const std::string& key) {
    if (auto it = units.find(key); it != units.end()) {
      retired.push_back(it->second);
      units.erase(it);
    }
    ++generation;
  }
  bool stateDiscarded = false;  // reported once, as ORA-04068, at the session's next call
  std::shared_ptr<TriggerCache> triggers;
  std::vector<std::shared_ptr<Unit>> retired;  // dropped from `units` during the running call
  int calls = 0;                               // top-level and nested runBlock calls running
  std::shared_ptr<Unit> compileStored(const std::string& owner, const std::string& name, const std::string& type,
                                      const std::shared_ptr<Unit>& spec);
  std::string stampOf(const std::string& owner, const std::string& name, const std::string& type);
  // A built-in package's specification (spec null) or body, compiled from the engine's text.
  std::shared_ptr<Unit> compileBuiltin(const BuiltinPackage& package, const std::shared_ptr<Unit>& spec);
  std::map<std::string, std::shared_ptr<void>> natives;  // the built-in packages' session state
};

std::shared_ptr<Unit> SessionState::compileBuiltin(const BuiltinPackage& package, const std::shared_ptr<Unit>& spec) {
  static const std::string noFlags;
  auto unit = compileUnit(session, *this, "SYS", spec ? package.body : package.spec, spec, {}, &noFlags);
  unit->owner = "SYS";
  unit->name = package.name;
  unit->builtin = true;
  if (!unit->errors.empty()) {
    const auto& e = unit->errors.front();
    raiseNative(6508, "ORA-06508: PL/SQL: could not find program unit being called: \"SYS." + unit->name + "\" (" +
                          std::to_string(e.line) + "/" + std::to_string(e.position) + " " + e.text + ")");
  }
  return unit;
}

std::shared_ptr<void>& NativeCall::stateSlot(const std::string& key) { return x.state.natives[key]; }

std::string sourceOf(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type) {
  Stmt s(db, "SELECT text FROM main.source WHERE owner=?1 AND name=?2 AND type=?3 ORDER BY line");
  s.bindAll(owner, name, type);
  std::string text;
  while (s.step()) text += s.text(0);
  return text;
}

// What identifies one compile of a unit: its object, its LAST_DDL_TIME and its source (a replacement
// within the same second still counts).
std::string SessionState::stampOf(const std::string& owner, const std::string& name, const std::string& type) {
  Stmt s(session.connection(), "SELECT object_id || '/' || last_ddl_time FROM main.objects WHERE owner=?1 AND object_name=?2 AND object_type=?3");
  s.bindAll(owner, name, type);
  if (!s.step()) return {};
  return s.text(0) + "/" + std::to_string(std::hash<std::string>{}(sourceOf(session.connection(), owner, name, type)));
}

// Stores status and errors of a compile (outside a user transaction only: the compile happens anyway).
void storeCompileResult(sqlite3* db, const Unit& unit, const std::string& type, bool inTransaction) {
  if (inTransaction) return;
  std::string status = unit.errors.empty() ? "VALID" : "INVALID";
  storage::exec(db, "BEGIN IMMEDIATE");
  try {
    Stmt(db, "UPDATE main.objects SET status=?4 WHERE owner=?1 AND object_name=?2 AND object_type=?3")
        .bindAll(unit.owner, unit.name, type, status)
        .step();
    Stmt(db, "DELETE FROM main.errors WHERE owner=?1 AND name=?2 AND type=?3").bindAll(unit.owner, unit.name, type).step();
    int seq = 0;
    for (const auto& e : unit.errors)
      Stmt(db, "INSERT INTO main.errors(owner, name, type, sequence, line, position, text, attribute, message_number) "
               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 'ERROR', ?8)")
          .bindAll(unit.owner, unit.name, type, ++seq, e.line, e.position, e.text,
                   e.text.rfind("PLS-", 0) == 0 ? std::stoi(e.text.substr(4, 5)) : 0)
          .step();
    ensureDependencyTable(db);
    storeSubprograms(db, unit, type);
    if (type == "TYPE") storeTypeDescription(db, unit);
    Stmt(db, "DELETE FROM main.dependencies WHERE owner=?1 AND name=?2 AND type=?3").bindAll(unit.owner, unit.name, type).step();
    for (const auto& [rowner, rname] : unit.dependencies) {
      if (rowner == unit.owner && rname == unit.name) continue;
      Stmt(db, "INSERT INTO main.dependencies SELECT ?1, ?2, ?3, owner, object_name, object_type FROM main.objects "
               "WHERE owner=?4 AND object_name=?5 AND namespace=1")
          .bindAll(unit.owner, unit.name, type, rowner, rname)
          .step();
    }
    storage::exec(db, "COMMIT");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::shared_ptr<Unit> SessionState::compileStored(const std::string& owner, const std::string& name,
                                                  const std::string& type, const std::shared_ptr<Unit>& spec) {
  std::string key = owner + "." + name + "." + type;
  if (loading.count(key)) return nullptr;
  loading.insert(key);
  struct Done {
    std::set<std::string>& s;
    std::string k;
    ~Done() { s.erase(k); }
  } done{loading, key};
  std::string stamp = stampOf(owner, name, type);
  if (stamp.empty()) return nullptr;
  Stmt st(session.connection(), "SELECT status FROM main.objects WHERE owner=?1 AND object_name=?2 AND object_type=?3");
  st.bindAll(owner, name, type);
  std::string status = st.step() ? st.text(0) : "INVALID";
  std::string ccflags = storedCcflags(session.connection(), owner, name, type);
  auto unit = compileUnit(session, *this, owner, sourceOf(session.connection(), owner, name, type), spec, {}, &ccflags);
  unit->owner = owner;
  unit->name = name;
  unit->stamp = stampOf(owner, name, type);
  bool valid = unit->errors.empty();
  // A unit that stays invalid may fail for other reasons now (what it uses changed): its errors are
  // stored when they differ from those recorded.
  bool newErrors = false;
  if (!valid) {
    Stmt stored(session.connection(), "SELECT text FROM main.errors WHERE owner=?1 AND name=?2 AND type=?3 ORDER BY sequence");
    stored.bindAll(owner, name, type);
    std::vector<std::string> before, now;
    while (stored.step()) before.push_back(stored.text(0));
    for (const auto& e : unit->errors) now.push_back(e.text);
    newErrors = before != now;
  }
  if ((status == "VALID") != valid || newErrors) storeCompileResult(session.connection(), *unit, type, session.inTransaction());
  if (!valid) return nullptr;
  return unit;
}

std::shared_ptr<Unit> SessionState::findUnit(const std::string& owner, const std::string& name) {
  std::string key = owner + "." + name;
  auto it = units.find(key);
  if (it != units.end()) return it->second;
  invalid.erase(key);
  auto object = session.catalog().findObject(owner, name);
  if (!object) {
    // A private or public synonym of a unit.
    auto target = session.catalog().synonymTarget(owner, name);
    if (!target) target = session.catalog().synonymTarget("PUBLIC", name);
    if (target && !(*target)[0].empty() && !((*target)[0] == owner && (*target)[1] == name)) {
      auto unit = findUnit((*target)[0], (*target)[1]);
      if (auto failed = invalidUnit((*target)[0], (*target)[1]); !unit && !failed.empty()) invalid[key] = failed;
      return unit;
    }
    if (name == "DBMS_DB_VERSION") {
      if (owner != "SYS") return findUnit("SYS", name);
      Stmt s(session.connection(), "SELECT value FROM main.meta WHERE key='version'");
      static const std::string noFlags;
      auto unit = compileUnit(session, *this, "SYS", dbVersionPackage(s.step() ? s.text(0) : "19.0.0.0.0"), nullptr, {}, &noFlags);
      unit->owner = "SYS";
      units[key] = unit;
      return unit;
    }
    const BuiltinPackage* builtin = findBuiltinPackage(name);
    if (!builtin) return nullptr;
    if (owner != "SYS") return findUnit("SYS", name);
    auto unit = compileBuiltin(*builtin, nullptr);
    units[key] = unit;
    return unit;
  }
  if (object->type != "PROCEDURE" && object->type != "FUNCTION" && object->type != "PACKAGE" && object->type != "TYPE")
    return nullptr;
  bool recursive = loading.count(owner + "." + name + "." + object->type) > 0;
  auto unit = compileStored(owner, name, object->type, nullptr);
  if (unit) units[key] = unit;
  else if (!recursive) invalid[key] = key;
  return unit;
}

std::shared_ptr<Unit> SessionState::bodyOf(Unit& spec) {
  if (spec.body) return spec.body;
  std::shared_ptr<Unit> specPtr = spec.shared_from_this();
  if (spec.builtin) {
    auto body = compileBuiltin(*findBuiltinPackage(spec.name), specPtr);
    body->spec = specPtr;
    spec.body = body;
    return body;
  }
  std::string bodyType = bodyTypeOf(spec.type);
  std::string kind = spec.type == "TYPE" ? "type body" : "package body";
  if (stampOf(spec.owner, spec.name, bodyType).empty()) {
    if (spec.subprograms.empty()) return nullptr;
    raiseOra(4067, "not executed, " + kind + " \"" + spec.owner + "." + spec.name + "\" does not exist");
  }
  auto body = compileStored(spec.owner, spec.name, bodyType, specPtr);
  if (!body) {
    PlsqlError e;
    e.code = 4063;
    e.message = "ORA-04063: " + kind + " \"" + spec.owner + "." + spec.name + "\" has errors";
    throw e;
  }
  body->spec = specPtr;
  spec.body = body;
  return body;
}

void SessionState::instantiate(Exec& x, Unit& spec) {
  if (spec.state) return;
  std::shared_ptr<Unit> body = bodyOf(spec);
  spec.state = std::make_unique<Frame>();
  spec.state->slots.resize(static_cast<std::size_t>(spec.stateSize + (body ? body->stateSize : 0)));
  spec.state->unit = &spec;
  Frame* saved = x.frame;
  spec.state->caller = saved;
  x.frame = spec.state.get();
  struct Back {
    Exec& x;
    Frame* saved;
    Unit& spec;
    ~Back() {
      x.frame = saved;
      if (spec.state) spec.state->caller = nullptr;  // the caller's frame does not outlive this call
    }
  } back{x, saved, spec};
  try {
    runList(x, spec.initializers);
    if (body) runList(x, body->initializers);
  } catch (PlsqlError& e) {
    spec.state.reset();
    e.stack.push_back("ORA-06512: at " + spec.qualified() + ", line " + std::to_string(x.frame->line));
    throw;
  }
}

void SessionState::validate() {
  std::uint64_t version = session.impl().ddlVersion();
  if (version == validatedAt) return;
  validatedAt = version;
  bool anyChanged = false;
  for (const auto& [key, unit] : units) {
    Unit& u = *unit;
    bool changed = stampOf(u.owner, u.name, u.type) != u.stamp ||
                   (u.body && stampOf(u.owner, u.name, bodyTypeOf(u.type)) != u.body->stamp);
    Stmt st(session.connection(), "SELECT status FROM main.objects WHERE owner=?1 AND object_name=?2 AND object_type=?3");
    st.bindAll(u.owner, u.name, u.type);
    if (!changed && st.step() && st.text(0) != "VALID") changed = true;
    // Only a unit with variables or cursors has state to lose (a type never has).
    if (changed && u.state && !u.state->slots.empty()) stateDiscarded = true;
    anyChanged = anyChanged || changed;
  }
  if (!anyChanged) return;
  // Compiled units point at each other: all of them compile again. Code that may still run in this
  // call keeps them alive until the call ends.
  for (auto& [key, unit] : units) retired.push_back(unit);
  units.clear();
  ++generation;
}

bool mayExecute(storage::SessionImpl& session, const std::string& user, const Unit& unit) {
  if (unit.owner == user || user == "SYS" || unit.builtin) return true;
  auto& catalog = session.catalog();
  return catalog.hasObjectPrivilege(user, unit.owner, unit.name, "EXECUTE") ||
         catalog.hasSystemPrivilege(user, "EXECUTE ANY PROCEDURE");
}

UnitLoader& loaderOf(SessionState& state) { return state; }
std::shared_ptr<TriggerCache>& triggerCacheOf(SessionState& state) { return state.triggers; }
void storeUnitErrors(sqlite3* db, const Unit& unit, const std::string& type) { storeCompileResult(db, unit, type, false); }

// ---------------------------------------------------------------------------------------------------
// DBMS_OUTPUT

void dbmsOutput(Exec& x, const std::string& procedure, const std::vector<ExprP>& args) {
  SessionState& s = x.state;
  auto text = [&](std::size_t i) {
    Value v = args[i]->eval(x);
    return v.isNull() ? std::string() : (v.kind() == Value::Kind::Text ? v.asText() : x.session.format(v));
  };
  if (procedure == "ENABLE") {
    s.outputEnabled = true;
  } else if (procedure == "DISABLE") {
    s.outputEnabled = false;
    s.output.clear();
    s.partialLine.clear();
  } else if (procedure == "PUT_LINE") {
    if (!s.outputEnabled) return;
    s.output.push_back(s.partialLine + text(0));
    s.partialLine.clear();
  } else if (procedure == "PUT") {
    if (s.outputEnabled) s.partialLine += text(0);
  } else if (procedure == "NEW_LINE") {
    if (!s.outputEnabled) return;
    s.output.push_back(s.partialLine);
    s.partialLine.clear();
  } else if (procedure == "GET_LINE") {
    Datum* line = args[0]->ref(x);
    Datum* status = args[1]->ref(x);
    if (!line || !status) raiseValueError("");
    if (s.output.empty()) {
      line->v = Value();
      status->v = Value(1);
    } else {
      line->v = s.output.front().empty() ? Value() : Value(s.output.front());
      s.output.erase(s.output.begin());
      status->v = Value(0);
    }
  } else if (procedure == "GET_LINES") {
    Datum* lines = args[0]->ref(x);
    Datum* count = args[1]->ref(x);
    if (!lines || !count) raiseValueError("");
    std::int64_t wanted = count->v.isNull() ? 0 : count->v.asInteger();
    *lines = initialDatum(*args[0]->type);
    if (!lines->collection) lines->collection = std::make_shared<Collection>();
    std::int64_t n = 0;
    while (n < wanted && !s.output.empty()) {
      ++n;
      lines->collection->ints[n] = Datum{s.output.front().empty() ? Value() : Value(s.output.front()), nullptr, nullptr};
      s.output.erase(s.output.begin());
    }
    count->v = Value(n);
  }
}

std::vector<std::string> takeOutput(SessionState& state) {
  std::vector<std::string> out;
  if (!state.outputEnabled) return out;
  out.swap(state.output);
  return out;
}

// ---------------------------------------------------------------------------------------------------
// Stored functions called from SQL

namespace {

Value valueOf(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return Value(static_cast<std::int64_t>(sqlite3_value_int64(v)));
    case SQLITE_FLOAT: return Value(sqlite3_value_double(v));
    case SQLITE_BLOB: {
      const auto* b = static_cast<const std::uint8_t*>(sqlite3_value_blob(v));
      return Value(Bytes(b, b + sqlite3_value_bytes(v)));
    }
    default:
      return Value(std::string(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                               static_cast<std::size_t>(sqlite3_value_bytes(v))));
  }
}

void resultOf(sqlite3_context* c, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: sqlite3_result_null(c); return;
    case Value::Kind::Integer: sqlite3_result_int64(c, v.asInteger()); return;
    case Value::Kind::Real: sqlite3_result_double(c, v.asDouble()); return;
    case Value::Kind::Text: sqlite3_result_text(c, v.asText().c_str(), static_cast<int>(v.asText().size()), SQLITE_TRANSIENT); return;
    case Value::Kind::Date: {
      std::string iso = v.asDate().toIso();
      sqlite3_result_text(c, iso.c_str(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
      return;
    }
    case Value::Kind::Binary: sqlite3_result_blob64(c, v.asBytes().data(), v.asBytes().size(), SQLITE_TRANSIENT); return;
    case Value::Kind::Cursor: sqlite3_result_error(c, "ORA-00932: inconsistent datatypes: expected - got CURSOR", -1); return;
  }
}

void callFromSql(sqlite3_context* c, int argc, sqlite3_value** argv) {
  auto* state = static_cast<SessionState*>(sqlite3_user_data(c));
  std::size_t id = static_cast<std::size_t>(sqlite3_value_int64(argv[0]));
  if (id >= state->sqlFunctions.size()) {
    sqlite3_result_error(c, "ORA-04068: existing state of packages has been discarded", -1);
    return;
  }
  auto [unit, sub] = state->sqlFunctions[id];
  Exec x(state->session, *state);
  std::vector<Datum> binds;
  x.binds = &binds;
  // SQL does not tell a built-in package's CLOB overload from its BLOB one (DBMS_LOB, DBMS_CRYPTO):
  // a first argument of bytes takes the overload whose first parameter is a BLOB or RAW.
  if (unit->builtin && argc > 1 && sqlite3_value_type(argv[1]) == SQLITE_BLOB && !sub->params.empty() &&
      sub->params[0].type->scalar != DataType::Blob && sub->params[0].type->scalar != DataType::Raw && unit->scope) {
    auto it = unit->scope->names.find(sub->name);
    if (it != unit->scope->names.end() && it->second.kind == Symbol::Kind::Subprograms)
      for (const auto& other : it->second.subs)
        if (other->isFunction && other->params.size() == sub->params.size() &&
            (other->params[0].type->scalar == DataType::Blob || other->params[0].type->scalar == DataType::Raw)) {
          sub = other.get();
          break;
        }
  }
  try {
    std::vector<Datum> args(sub->params.size());
    for (std::size_t i = 0; i < sub->params.size(); ++i) {
      const Param& p = sub->params[i];
      Value v;
      if (static_cast<int>(i) + 1 < argc) v = valueOf(argv[i + 1]);
      else if (p.defaultValue) v = p.defaultValue->eval(x);
      if ((p.type->scalar == DataType::Date || p.type->scalar == DataType::Timestamp) && v.kind() == Value::Kind::Text) {
        DateTime d;
        if (DateTime::fromIso(v.asText(), d)) v = Value(d);
      }
      assign(x, args[i], *p.type, Datum{v, nullptr, nullptr});
    }
    Frame* link = nullptr;
    if (unit->type == "PACKAGE" || unit->type == "TYPE") {
      state->bodyOf(*unit);
      state->instantiate(x, *unit);
      link = unit->state.get();
    }
    Datum r = callSubprogram(x, *sub, args, link);
    if (sub->returnType && sub->returnType->kind == Type::Kind::Collection) {
      std::string json = collectionJson(r, *sub->returnType);
      sqlite3_result_text(c, json.c_str(), static_cast<int>(json.size()), SQLITE_TRANSIENT);
      return;
    }
    resultOf(c, r.v);
  } catch (const PlsqlError& e) {
    sqlite3_result_error(c, e.toError().message().c_str(), -1);
  } catch (const Error& e) {
    sqlite3_result_error(c, e.message().c_str(), -1);
  }
}

}  // namespace

namespace {

// The stored function a call in SQL names: [schema.]function, [schema.]package.function; with
// `collection`, only one returning a nested table or varray (for TABLE(...)), else a scalar one.
std::optional<sql::CompileContext::External> sqlFunction(storage::SessionImpl& session, const sql::Expr& e, bool collection) {
  if (e.kind != sql::ExprKind::Function && e.kind != sql::ExprKind::Column) return std::nullopt;
  const auto& parts = e.name.parts;
  if (parts.empty() || parts.size() > 3) return std::nullopt;
  SessionState& state = session.plsql();
  state.validate();
  std::string schema = session.currentSchema();
  std::shared_ptr<Unit> unit;
  Subprogram* sub = nullptr;
  auto inPackage = [&](const std::shared_ptr<Unit>& pkg, const std::string& name) {
    if (!pkg || !pkg->scope) return false;
    auto it = pkg->scope->names.find(name);
    if (it == pkg->scope->names.end() || it->second.kind != Symbol::Kind::Subprograms) return false;
    for (const auto& s : it->second.subs)
      if (s->isFunction && s->params.size() >= e.args.size()) {
        unit = pkg;
        sub = s.get();
        return true;
      }
    return false;
  };
  auto standalone = [&](const std::shared_ptr<Unit>& u) {
    if (!u || u->type != "FUNCTION") return false;
    unit = u;
    sub = u->main.get();
    return true;
  };
  if (parts.size() == 1) standalone(state.findUnit(schema, parts[0]));
  else if (parts.size() == 2) inPackage(state.findUnit(schema, parts[0]), parts[1]) || standalone(state.findUnit(parts[0], parts[1]));
  else inPackage(state.findUnit(parts[0], parts[1]), parts[2]);
  if (!sub) {
    // The name is a stored unit that does not compile.
    std::string failed = parts.size() == 1 ? state.invalidUnit(schema, parts[0]) : state.invalidUnit(parts[0], parts[1]);
    if (failed.empty() && parts.size() == 2) failed = state.invalidUnit(schema, parts[0]);
    if (!failed.empty())
      throw Error(6575, "ORA-06575: Package or function " + failed.substr(failed.find('.') + 1) + " is in an invalid state",
                  e.pos.offset, e.pos.line, e.pos.column);
  }
  if (!sub || !sub->returnType) return std::nullopt;
  bool isCollection = sub->returnType->kind == Type::Kind::Collection && !sub->returnType->indexBy;
  if (collection ? !isCollection : !sub->returnType->isScalar()) return std::nullopt;
  if (!mayExecute(session, session.currentUser(), *unit)) return std::nullopt;
  sql::CompileContext::External x;
  x.function = "nuvo_plsql_call(" + std::to_string(state.sqlFunctionId(unit, sub));
  x.type = sub->returnType->kind == Type::Kind::Boolean ? DataType::Unknown : sub->returnType->scalar;
  if (collection) x.type = DataType::Varchar2;
  if (x.type == DataType::IntervalDaySecond || x.type == DataType::IntervalYearMonth) {
    x.leading = sub->returnType->precision;
    x.fraction = sub->returnType->scale;
  }
  return x;
}

}  // namespace

std::optional<sql::CompileContext::External> resolveInSql(storage::SessionImpl& session, const sql::Expr& e) {
  return sqlFunction(session, e, false);
}

std::optional<sql::CompileContext::CollectionRows> collectionTypeInSql(storage::SessionImpl& session,
                                                                        const std::string& owner, const std::string& name) {
  SessionState& state = session.plsql();
  state.validate();
  auto unit = state.findUnit(owner.empty() ? session.currentSchema() : owner, name);
  if (!unit || !unit->objectType || unit->objectType->kind != Type::Kind::Collection) return std::nullopt;
  if (!mayExecute(session, session.currentUser(), *unit)) return std::nullopt;
  return collectionRows(*unit->objectType);
}

std::optional<sql::CompileContext::CollectionRows> collectionInSql(storage::SessionImpl& session, const sql::Expr& e) {
  auto call = sqlFunction(session, e, true);
  if (!call) return std::nullopt;
  SessionState& state = session.plsql();
  std::size_t id = static_cast<std::size_t>(std::stoll(call->function.substr(call->function.find('(') + 1)));
  sql::CompileContext::CollectionRows rows = collectionRows(*state.sqlFunctions[id].second->returnType);
  rows.source = *call;
  return rows;
}

std::shared_ptr<SessionState> newSessionState(storage::SessionImpl& session) {
  auto state = std::make_shared<SessionState>(session);
  sqlite3_create_function_v2(session.connection(), "nuvo_plsql_call", -1, SQLITE_UTF8, state.get(), callFromSql,
                             nullptr, nullptr, nullptr);
  return state;
}

// ---------------------------------------------------------------------------------------------------
// Recognising PL/SQL text and the statements about units

namespace {

struct Words {
  std::vector<sql::Token> tokens;
  bool is(std::size_t i, const char* w) const { return i < tokens.size() && tokens[i].is(w); }
};

Words firstWords(std::string_view text) {
  Words w;
  try {
    auto tokens = sql::tokenize(text);
    std::size_t n = std::min<std::size_t>(tokens.size(), 12);
    w.tokens.assign(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(n));
  } catch (const Error&) {
  }
  return w;
}

bool isUnitType(const Words& w, std::size_t i) {
  return w.is(i, "PROCEDURE") || w.is(i, "FUNCTION") || w.is(i, "PACKAGE") || w.is(i, "TRIGGER") || w.is(i, "TYPE");
}

std::string errorList(const Unit& unit) {
  std::string text;
  for (const auto& e : unit.errors)
    text += std::string(text.empty() ? "" : "\n") + "ORA-06550: line " + std::to_string(e.line) + ", column " +
            std::to_string(e.position) + ":\n" + e.text;
  return text;
}

}  // namespace

bool isPlsqlText(std::string_view text) {
  Words w = firstWords(text);
  if (w.tokens.empty()) return false;
  if (w.is(0, "DECLARE") || w.is(0, "BEGIN") || (w.tokens[0].isOp("<") && w.tokens.size() > 1 && w.tokens[1].isOp("<")))
    return true;
  std::size_t i = 1;
  if (w.is(0, "CREATE")) {
    if (w.is(i, "OR") && w.is(i + 1, "REPLACE")) i += 2;
    if (w.is(i, "EDITIONABLE") || w.is(i, "NONEDITIONABLE")) ++i;
    return isUnitType(w, i);
  }
  if (w.is(0, "DROP") || w.is(0, "ALTER")) return isUnitType(w, 1);
  return false;
}

std::shared_ptr<Block> prepareBlock(storage::SessionImpl& session, const std::string& text) {
  auto block = std::make_shared<Block>();
  block->text = text;
  Words w = firstWords(text);
  SessionState& state = session.plsql();
  auto nameAt = [&](std::size_t& i) {
    std::string first = i < w.tokens.size() ? w.tokens[i].text : std::string();
    if (i + 2 < w.tokens.size() && w.tokens[i + 1].isOp(".")) {
      block->owner = first;
      block->ownerGiven = true;
      i += 2;
      first = w.tokens[i].text;
    } else {
      block->owner = session.currentSchema();
    }
    ++i;
    return first;
  };
  if (w.is(0, "CREATE")) {
    block->kind = Block::Kind::Create;
    std::size_t i = 1;
    if (w.is(i, "OR")) {
      block->orReplace = true;
      i += 2;
    }
    if (w.is(i, "EDITIONABLE") || w.is(i, "NONEDITIONABLE")) ++i;
    block->source = text.substr(static_cast<std::size_t>(w.tokens[i].pos.offset));
    block->type = w.tokens[i].text;
    ++i;
    if ((block->type == "PACKAGE" || block->type == "TYPE") && w.is(i, "BODY")) {
      block->type += " BODY";
      ++i;
    }
    block->name = nameAt(i);
    block->force = block->type == "TYPE" && w.is(i, "FORCE");
    return block;
  }
  if (w.is(0, "DROP") || w.is(0, "ALTER")) {
    block->kind = w.is(0, "DROP") ? Block::Kind::Drop : Block::Kind::AlterCompile;
    std::size_t i = 1;
    block->type = w.tokens[i++].text;
    if ((block->type == "PACKAGE" || block->type == "TYPE") && w.is(i, "BODY")) {
      block->type += " BODY";
      ++i;
    }
    block->name = nameAt(i);
    if (block->kind == Block::Kind::Drop) {
      block->force = w.is(i, "FORCE");
      if (block->force || w.is(i, "VALIDATE")) ++i;
    }
    if (block->kind == Block::Kind::AlterCompile) {
      bool enableDisable = block->type == "TRIGGER" && (w.is(i, "ENABLE") || w.is(i, "DISABLE"));
      if (!w.is(i, "COMPILE") && !enableDisable) throw Error::ora(922, "missing or invalid option");
      block->action = w.tokens[i].text;
      block->body = w.is(i + 1, "BODY");
      block->specificationOnly = w.is(i + 1, "SPECIFICATION");
      for (std::size_t k = i + 1; k + 1 < w.tokens.size(); ++k)
        block->reuseSettings = block->reuseSettings || (w.is(k, "REUSE") && w.is(k + 1, "SETTINGS"));
    }
    return block;
  }
  state.validate();
  block->schema = session.currentSchema();
  block->unit = compileUnit(session, state, block->schema, text, nullptr);
  block->generation = state.generation;
  if (!block->unit->errors.empty()) {
    const auto& first = block->unit->errors.front();
    throw Error(6550, errorList(*block->unit), -1, first.line, first.position);
  }
  block->binds = block->unit->hostBinds;
  return block;
}

const std::vector<std::string>& bindNamesOf(const Block& block) { return block.binds; }

// ---------------------------------------------------------------------------------------------------
// CREATE, DROP and ALTER ... COMPILE of units

namespace {

std::string nowText(storage::SessionImpl& session) { return session.impl().now().toIso(); }

// Marks the units that depend on owner.name INVALID (and theirs in turn).
void invalidateDependants(sqlite3* db, const std::string& owner, const std::string& name) {
  ensureDependencyTable(db);
  catalog::Catalog(db).invalidateDependants(owner, name);
}

}  // namespace

std::string storedCcflags(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type) {
  Stmt exists(db, "SELECT 1 FROM main.sqlite_master WHERE name='plsql_settings'");
  if (!exists.step()) return {};
  Stmt s(db, "SELECT plsql_ccflags FROM main.plsql_settings WHERE owner=?1 AND name=?2 AND type=?3");
  s.bindAll(owner, name, type);
  return s.step() ? s.text(0) : std::string();
}

void storeCcflags(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                  const std::string& ccflags) {
  ensureDependencyTable(db);
  Stmt(db, "DELETE FROM main.plsql_settings WHERE owner=?1 AND name=?2 AND type=?3").bindAll(owner, name, type).step();
  if (!ccflags.empty())
    Stmt(db, "INSERT INTO main.plsql_settings(owner, name, type, plsql_ccflags) VALUES (?1, ?2, ?3, ?4)")
        .bindAll(owner, name, type, ccflags)
        .step();
}

void storeUnitSource(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                     const std::string& source) {
  Stmt(db, "DELETE FROM main.source WHERE owner=?1 AND name=?2 AND type=?3").bindAll(owner, name, type).step();
  std::size_t start = 0;
  int line = 0;
  while (start < source.size()) {
    std::size_t nl = source.find('\n', start);
    std::size_t end = nl == std::string::npos ? source.size() : nl + 1;
    Stmt(db, "INSERT INTO main.source(owner, name, type, line, text) VALUES (?1, ?2, ?3, ?4, ?5)")
        .bindAll(owner, name, type, ++line, source.substr(start, end - start))
        .step();
    start = end;
  }
}

namespace {

void runDdl(storage::SessionImpl& session, const std::function<void(sqlite3*)>& work) {
  session.commit();
  sqlite3* db = session.connection();
  storage::exec(db, "BEGIN IMMEDIATE");
  try {
    work(db);
    storage::exec(db, "COMMIT");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  session.impl().bumpDdlVersion();
}

DdlRunner ddlRunner(storage::SessionImpl& session) {
  return [&session](sqlite3*, const std::function<void(sqlite3*)>& work) { runDdl(session, work); };
}

// ALTER or DROP of an existing unit: its owner, or the ANY privilege. A unit the user holds no
// privilege on stays hidden (ORA-04043), as in a lookup of it.
void requireUnitPrivilege(storage::SessionImpl& session, const std::string& owner, const std::string& name,
                          const std::string& any) {
  const std::string& user = session.currentUser();
  if (owner == user || user == "SYS" || session.hasPrivilege(any)) return;
  if (session.catalog().hasAnyObjectPrivilege(user, owner, name) || session.hasPrivilege("EXECUTE ANY PROCEDURE"))
    throw Error::ora(1031);
  throw Error::ora(4043, name);
}

void createUnit(storage::SessionImpl& session, Block& block) {
  if (block.type == "TRIGGER") return createTrigger(session, block.owner, block.source, block.orReplace, ddlRunner(session));
  SessionState& state = session.plsql();
  auto& catalog = session.catalog();
  bool isType = block.type == "TYPE" || block.type == "TYPE BODY";
  bool isBody = block.type == "PACKAGE BODY" || block.type == "TYPE BODY";
  if (isType) session.requirePrivilege(block.owner, "CREATE TYPE", "CREATE ANY TYPE");
  else session.requirePrivilege(block.owner, "CREATE PROCEDURE", "CREATE ANY PROCEDURE");
  auto existing = isBody ? catalog.findObject(block.owner, block.name, block.type) : catalog.findObject(block.owner, block.name);
  if (existing && (existing->type != block.type || !block.orReplace)) throw Error::ora(955);
  if (existing && block.type == "TYPE" && !block.force) requireNoTypeDependants(session.connection(), block.owner, block.name);
  state.validate();
  // Compile against the current specification (a body) or nothing.
  std::shared_ptr<Unit> spec;
  if (isBody) spec = state.findUnit(block.owner, block.name);
  auto unit = compileUnit(session, state, block.owner, block.source, spec);
  unit->owner = block.owner;
  unit->name = block.name;
  runDdl(session, [&](sqlite3* db) {
    std::string now = nowText(session);
    if (existing) catalog.touchObject(existing->id, now);
    else catalog.addObject(block.owner, block.name, block.type, now);
    storeUnitSource(db, block.owner, block.name, block.type, block.source);
    storeCcflags(db, block.owner, block.name, block.type, session.context().plsqlCcflags);
    // A new specification invalidates its body and every dependant.
    if (!isBody) invalidateDependants(db, block.owner, block.name);
    if (block.type == "PACKAGE" || block.type == "TYPE")
      Stmt(db, "UPDATE main.objects SET status='INVALID' WHERE owner=?1 AND object_name=?2 AND object_type=?3")
          .bindAll(block.owner, block.name, bodyTypeOf(block.type))
          .step();
  });
  storeCompileResult(session.connection(), *unit, block.type, false);
  state.forget(block.owner + "." + block.name);
  if (!unit->errors.empty()) throw Error::ora(24344);
}

void dropUnit(storage::SessionImpl& session, Block& block) {
  if (block.type == "TRIGGER") return dropTrigger(session, block.owner, block.name, ddlRunner(session));
  auto& catalog = session.catalog();
  auto object = catalog.findObject(block.owner, block.name, block.type);
  if (!object) throw Error::ora(4043, block.name);
  bool isType = block.type == "TYPE" || block.type == "TYPE BODY";
  requireUnitPrivilege(session, block.owner, block.name, isType ? "DROP ANY TYPE" : "DROP ANY PROCEDURE");
  if (block.type == "TYPE" && !block.force) requireNoTypeDependants(session.connection(), block.owner, block.name);
  runDdl(session, [&](sqlite3* db) {
    std::vector<std::string> types{block.type};
    if (block.type == "PACKAGE" || block.type == "TYPE") types.push_back(bodyTypeOf(block.type));
    for (const auto& type : types) {
      if (auto o = catalog.findObject(block.owner, block.name, type)) catalog.removeObject(o->id);
      for (const char* table : {"source", "errors"})
        Stmt(db, std::string("DELETE FROM main.") + table + " WHERE owner=?1 AND name=?2 AND type=?3")
            .bindAll(block.owner, block.name, type)
            .step();
      ensureDependencyTable(db);
      Stmt(db, "DELETE FROM main.dependencies WHERE owner=?1 AND name=?2 AND type=?3").bindAll(block.owner, block.name, type).step();
      storeCcflags(db, block.owner, block.name, type, {});
      if (type != "PACKAGE BODY" && type != "TYPE BODY") {
        Unit gone;
        gone.owner = block.owner;
        gone.name = block.name;
        storeSubprograms(db, gone, "DROPPED");
        storeTypeDescription(db, gone);
      }
    }
    if (block.type != "PACKAGE BODY" && block.type != "TYPE BODY") invalidateDependants(db, block.owner, block.name);
  });
  session.plsql().forget(block.owner + "." + block.name);
}

void alterCompile(storage::SessionImpl& session, Block& block) {
  if (block.type == "TRIGGER") return alterTrigger(session, block.owner, block.name, block.action, ddlRunner(session));
  SessionState& state = session.plsql();
  std::string type = block.body ? bodyTypeOf(block.type) : block.type;
  bool isBody = type == "PACKAGE BODY" || type == "TYPE BODY";
  auto object = session.catalog().findObject(block.owner, block.name, type);
  if (!object) throw Error::ora(4043, block.name);
  requireUnitPrivilege(session, block.owner, block.name, block.type == "TYPE" ? "ALTER ANY TYPE" : "ALTER ANY PROCEDURE");
  std::shared_ptr<Unit> spec;
  if (isBody) spec = state.findUnit(block.owner, block.name);
  // The unit compiles with the session's PLSQL_CCFLAGS, which it keeps (or, with REUSE SETTINGS, its own).
  std::string ccflags = block.reuseSettings ? storedCcflags(session.connection(), block.owner, block.name, type)
                                            : session.context().plsqlCcflags;
  auto unit = compileUnit(session, state, block.owner, sourceOf(session.connection(), block.owner, block.name, type), spec,
                          {}, &ccflags);
  unit->owner = block.owner;
  unit->name = block.name;
  session.commit();
  auto keepFlags = [&](const std::string& unitType) {
    if (block.reuseSettings) return;
    runDdl(session, [&](sqlite3* db) { storeCcflags(db, block.owner, block.name, unitType, ccflags); });
  };
  keepFlags(type);
  storeCompileResult(session.connection(), *unit, type, false);
  bool withBody = (block.type == "PACKAGE" || block.type == "TYPE") && !block.body && !block.specificationOnly;
  std::string bodyType = bodyTypeOf(block.type);
  if (withBody && session.catalog().findObject(block.owner, block.name, bodyType) && unit->errors.empty()) {
    auto specUnit = std::shared_ptr<Unit>(unit);
    if (!block.reuseSettings) keepFlags(bodyType);
    else ccflags = storedCcflags(session.connection(), block.owner, block.name, bodyType);
    auto bodyUnit = compileUnit(session, state, block.owner,
                                sourceOf(session.connection(), block.owner, block.name, bodyType), specUnit, {}, &ccflags);
    bodyUnit->owner = block.owner;
    bodyUnit->name = block.name;
    storeCompileResult(session.connection(), *bodyUnit, bodyType, false);
    if (!bodyUnit->errors.empty()) throw Error(24344, "ORA-24344: success with compilation error");
  }
  state.forget(block.owner + "." + block.name);
  if (!unit->errors.empty()) throw Error::ora(24344);
}

}  // namespace

void runBlock(storage::SessionImpl& session, Block& block, std::vector<Value>& binds) {
  SessionState& state = session.plsql();
  // A prepared statement may run again after ALTER SESSION SET CURRENT_SCHEMA.
  if (block.kind != Block::Kind::Anonymous && !block.ownerGiven) block.owner = session.currentSchema();
  if (block.kind == Block::Kind::Anonymous && block.schema != session.currentSchema()) block.generation = 0;
  switch (block.kind) {
    case Block::Kind::Create: return createUnit(session, block);
    case Block::Kind::Drop: return dropUnit(session, block);
    case Block::Kind::AlterCompile: return alterCompile(session, block);
    case Block::Kind::Anonymous: break;
  }
  state.validate();
  if (std::exchange(state.stateDiscarded, false)) {
    Error e(4068, "ORA-04068: existing state of packages has been discarded");
    block.generation = 0;
    throw e;
  }
  // The types of the values the binds carry now, which may choose among overloads.
  std::map<std::string, DataType> bindTypes;
  if (block.unit && block.unit->bindSensitive) {
    for (std::size_t i = 0; i < binds.size() && i < block.binds.size(); ++i) {
      switch (binds[i].kind()) {
        case Value::Kind::Text: bindTypes[block.binds[i]] = DataType::Varchar2; break;
        case Value::Kind::Integer:
        case Value::Kind::Real: bindTypes[block.binds[i]] = DataType::Number; break;
        case Value::Kind::Date:
          bindTypes[block.binds[i]] = binds[i].asDate().isTimestamp() ? DataType::Timestamp : DataType::Date;
          break;
        default: break;
      }
    }
    if (bindTypes != block.unit->bindTypes) block.generation = 0;
  }
  if (block.generation != state.generation) {
    block.schema = session.currentSchema();
    block.unit = compileUnit(session, state, block.schema, block.text, nullptr, bindTypes);
    block.generation = state.generation;
    if (!block.unit->errors.empty()) {
      const auto& first = block.unit->errors.front();
      throw Error(6550, errorList(*block.unit), -1, first.line, first.position);
    }
  }
  std::shared_ptr<Unit> running = block.unit;
  Unit& unit = *running;
  if (state.calls == 0) state.retired.clear();
  ++state.calls;
  struct CallEnd {
    SessionState& state;
    ~CallEnd() { --state.calls; }
  } callEnd{state};
  Exec x(session, state);
  Frame frame;
  frame.slots.resize(static_cast<std::size_t>(unit.main->frameSize));
  frame.unit = &unit;
  x.frame = &frame;
  std::vector<Datum> hostBinds;
  for (const auto& v : binds) hostBinds.push_back(Datum{v, nullptr, nullptr});
  hostBinds.resize(unit.hostBinds.size());
  x.binds = &hostBinds;
  sqlite3* db = session.connection();
  bool hadTransaction = !sqlite3_get_autocommit(db);
  if (hadTransaction) storage::exec(db, "SAVEPOINT nuvo_block");
  auto undo = [&] {
    if (hadTransaction) {
      if (sqlite3_exec(db, "ROLLBACK TO nuvo_block", nullptr, nullptr, nullptr) == SQLITE_OK)
        sqlite3_exec(db, "RELEASE nuvo_block", nullptr, nullptr, nullptr);
    } else if (!sqlite3_get_autocommit(db)) {
      session.rollback();
    }
  };
  try {
    unit.main->body->exec(x);
  } catch (PlsqlError& e) {
    undo();
    e.stack.push_back("ORA-06512: " + frameLocation(frame));
    throw e.toError();
  } catch (const Error& e) {
    undo();
    PlsqlError p = PlsqlError::from(e);
    p.stack.push_back("ORA-06512: " + frameLocation(frame));
    throw p.toError();
  }
  if (hadTransaction && !sqlite3_get_autocommit(db)) sqlite3_exec(db, "RELEASE nuvo_block", nullptr, nullptr, nullptr);
  for (std::size_t i = 0; i < binds.size() && i < hostBinds.size(); ++i) binds[i] = hostBinds[i].v;
}

}  // namespace engine::plsql
