#pragma once
// Compiled PL/SQL units and subprograms, the session's registry of them, and the compiler's entry
// points.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/plsql/runtime.h"

namespace engine::plsql {

struct Unit;

struct Param {
  std::string name;
  TypePtr type;
  BindDirection mode = BindDirection::In;
  ExprP defaultValue;
  int slot = 0;
};

struct Subprogram {
  std::string name;
  bool isFunction = false;
  std::vector<Param> params;
  TypePtr returnType;
  int depth = 0;      // depth of its frame
  int frameSize = 0;
  StmtP body;         // declarations, statements and handlers
  Unit* unit = nullptr;
  Subprogram* impl = nullptr;  // a package specification's entry: the body's subprogram
  int line = 0;
  // Methods of an object type: a member's first parameter is SELF; a constructor returns SELF.
  bool member = false, constructor = false;
};

struct CompileError {
  int line = 0, position = 0;
  std::string text;  // "PLS-00201: identifier 'X' must be declared"
};

struct Symbol;
struct Scope;

// One compiled unit: an anonymous block, a procedure, a function, a package specification or body.
// The session's table of units owns the specifications, procedures and functions; a specification
// owns its body. References back (a body to its specification, a call to its package) are weak, so
// units that call each other form no cycle.
struct Unit : std::enable_shared_from_this<Unit> {
  std::string owner, name, type;  // type: PROCEDURE, FUNCTION, PACKAGE, PACKAGE BODY, TYPE, TYPE BODY, or empty (block)
  TypePtr objectType;             // a TYPE: the object or collection type it declares
  std::shared_ptr<Scope> scope;   // names a package specification (and its body) declares
  std::shared_ptr<Subprogram> main;                    // procedure, function, or the block itself
  std::vector<std::shared_ptr<Subprogram>> subprograms;  // declared in the package
  std::vector<std::shared_ptr<Subprogram>> owned;        // every subprogram compiled here (calls point at them)
  std::vector<StmtP> initializers;                    // package declarations and initialization
  int stateSize = 0;                                  // package variables
  std::vector<std::string> hostBinds;                 // anonymous blocks
  // A block whose choice among overloads depended on the type of a host bind's value: the types it
  // was compiled for (by bind name), so a run with values of other types compiles it again.
  std::map<std::string, DataType> bindTypes;
  bool bindSensitive = false;
  std::set<std::pair<std::string, std::string>> dependencies;  // owner, name
  std::vector<CompileError> errors;
  std::string stamp;  // the catalog's LAST_DDL_TIME and id when compiled
  // Package state (per session): the frame of package variables.
  std::unique_ptr<Frame> state;
  std::weak_ptr<Unit> spec;    // a body's specification
  std::shared_ptr<Unit> body;  // a specification's body, once loaded
  // The unit whose frame holds the package state: the specification of a body, else the unit.
  Unit* stateOwner() {
    auto s = spec.lock();
    return s ? s.get() : this;
  }
  ExprP when;           // a trigger's WHEN condition
  TypePtr rowType;      // a trigger's :OLD and :NEW
  bool builtin = false;  // a built-in package (packages/native.h): compiled from the engine's text
  std::string qualified() const { return "\"" + owner + "." + name + "\""; }
};

// What the compiler needs from the session: other units by name.
class UnitLoader {
 public:
  virtual ~UnitLoader() = default;
  // The compiled specification of a stored procedure, function or package, or null.
  virtual std::shared_ptr<Unit> findUnit(const std::string& owner, const std::string& name) = 0;
  // After findUnit found nothing: "OWNER.NAME" when the name is a stored unit that does not compile.
  virtual std::string invalidUnit(const std::string& owner, const std::string& name) = 0;
  // The body of a package, compiled on first use (ORA-04067 / ORA-06508 when missing or invalid).
  virtual std::shared_ptr<Unit> bodyOf(Unit& spec) = 0;
  // Makes sure a package's state exists (runs its initialization on first use).
  virtual void instantiate(Exec& x, Unit& spec) = 0;
  // The SQLite function id under which SQL calls this stored function.
  virtual int sqlFunctionId(const std::shared_ptr<Unit>& unit, Subprogram* sub) = 0;
};

// What a trigger body is compiled against: its table and the names of :OLD and :NEW.
struct TriggerContext {
  std::string tableOwner, table;
  std::string oldName = "OLD", newName = "NEW";
  int bodyOffset = 0;                 // where DECLARE/BEGIN starts in the text
  int whenOffset = -1, whenEnd = -1;  // the WHEN condition, without its parentheses
};

// Compiles a trigger: slots 0 and 1 of its frame hold the :OLD and :NEW records; unit->when holds
// the WHEN condition (or null).
// `ccflags`: the PLSQL_CCFLAGS its conditional compilation reads; null for the session's own.
std::shared_ptr<Unit> compileTrigger(storage::SessionImpl& session, UnitLoader& loader, const std::string& owner,
                                     const std::string& text, const TriggerContext& trigger,
                                     const std::string* ccflags = nullptr);

// Compiles the text of a unit. `text` starts at the type keyword (PROCEDURE, FUNCTION, PACKAGE) or
// at DECLARE/BEGIN for a block; errors are collected in the unit.
// bindTypes: the types of the host binds' values, where known (a block about to run), which choose
// among overloads that a bind's type alone tells apart. ccflags: the PLSQL_CCFLAGS its conditional
// compilation reads; null for the session's own.
std::shared_ptr<Unit> compileUnit(storage::SessionImpl& session, UnitLoader& loader, const std::string& owner,
                                  const std::string& text, const std::shared_ptr<Unit>& spec,
                                  const std::map<std::string, DataType>& bindTypes = {},
                                  const std::string* ccflags = nullptr);

// The PLSQL_CCFLAGS a stored unit was compiled with ("" for none), and storing them at its compile.
std::string storedCcflags(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type);
void storeCcflags(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                  const std::string& ccflags);

// EXECUTE on another user's unit: a grant to the user or PUBLIC, or EXECUTE ANY PROCEDURE.
bool mayExecute(storage::SessionImpl& session, const std::string& user, const Unit& unit);

// DBMS_OUTPUT's procedures (units.cpp).
void dbmsOutput(Exec& x, const std::string& procedure, const std::vector<ExprP>& args);

// Calls a subprogram with argument values already converted; returns the function result.
Datum callSubprogram(Exec& x, Subprogram& sub, std::vector<Datum>& args, Frame* staticLink);

}  // namespace engine::plsql
