#pragma once
// Conditional compilation of PL/SQL: the preprocessor that runs over a unit's text before the
// compiler reads it.
//
// $IF cond $THEN ... [$ELSIF cond $THEN ...] [$ELSE ...] $END keeps the text of the first branch whose
// static boolean condition is TRUE; $ERROR expr $END in kept text fails the compile (PLS-00179);
// $$NAME is an inquiry directive: PLSQL_UNIT, PLSQL_LINE, PLSQL_UNIT_OWNER, PLSQL_UNIT_TYPE and the
// other compiler settings, else a flag of PLSQL_CCFLAGS (NULL when undefined). Conditions may read the
// constants of DBMS_DB_VERSION (from the database's banner version) and the BOOLEAN and PLS_INTEGER
// constants of package specifications.
//
// The result keeps every line where it was: dropped text and the directives become blanks (line
// ends stay), so errors and $$PLSQL_LINE count lines of the text as written; an inquiry directive
// becomes its value as a literal. Text without a '$' directive comes back unchanged.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/plsql/unit.h"

namespace engine::plsql {

// A static value: BOOLEAN (Integer 0/1 with isBoolean), PLS_INTEGER (Integer), VARCHAR2 (Text) or NULL.
struct StaticValue {
  Value value;
  bool isBoolean = false;
};

// PLSQL_CCFLAGS 'name:value, ...' as flags by upper-case name (the last of a repeated name wins).
// Throws ORA-02097 when the text does not follow that form.
std::map<std::string, StaticValue> parseCcflags(const std::string& text);

struct PreprocessContext {
  std::string owner;  // the unit's owner; empty for an anonymous block
  std::string ccflags;
  std::string version;  // the database's banner version, "19.0.0.0.0"
  // A constant of a package specification (BOOLEAN or PLS_INTEGER, with a literal value), or nothing.
  std::function<std::optional<StaticValue>(const std::string& owner, const std::string& package,
                                           const std::string& name)>
      packageConstant;
};

// Returns the text to compile; a fault of the directives themselves adds an error and the text up to
// it is returned.
std::string preprocess(const std::string& text, const PreprocessContext& context, std::vector<CompileError>& errors);

// The specification of DBMS_DB_VERSION for a banner version: VERSION, RELEASE and VER_LE_n[_r].
std::string dbVersionPackage(const std::string& version);

// The static value of constant `name` declared in a package specification's text: BOOLEAN or
// PLS_INTEGER with a literal value; nothing for any other declaration.
std::optional<StaticValue> staticConstant(const std::string& specText, const std::string& name);

}  // namespace engine::plsql
