#pragma once
// PL/SQL: anonymous blocks, stored procedures, functions and packages, compiled and run inside a
// session. This header is what the session layer calls; the rest of src/engine/plsql is private.
//
// Design:
// - One front end. PL/SQL text is read with the shared SQL lexer through sql::Parser: its token
//   functions drive the PL/SQL grammar and its parseExpr/parseQuery read every expression and query.
//   SQL inside PL/SQL (SELECT INTO, DML, cursors, fallback expressions) is compiled by the shared SQL
//   compiler; names it cannot resolve as columns are handed to PL/SQL (CompileContext::resolveExternal),
//   which turns variables, parameters and record fields into binds, as Oracle does. No SQL semantics
//   are written twice: SQL functions inside PL/SQL expressions run as a one-row SQLite statement.
// - One pass. The compiler reads the text and builds executable nodes at once (compiler.cpp). Names
//   resolve at compile time to frame slots (depth, slot); nodes hold those, so a loop body never looks
//   a name up or parses again. Integer and text arithmetic, comparisons and assignments run natively.
// - Stored units are kept as source in the catalog (the SOURCE table, lines from the type keyword on),
//   compiled when created and stored VALID or INVALID with their errors (line and position as Oracle
//   counts them from the type keyword). CREATE with errors is ORA-24344; a block with errors ORA-06550.
// - Each session compiles the units it uses from their source (units.cpp) and keeps them with the
//   package state. Dependencies are recorded in the catalog (the units a unit calls, and the tables,
//   views and sequences its static SQL names; views record theirs too); DROP, DROP/MODIFY/RENAME
//   COLUMN, RENAME and a replaced view or unit mark the dependants INVALID in cascade (ADD COLUMN does
//   not), and they compile again at their next use. A unit that still fails is PLS-00905 to a PL/SQL
//   caller, ORA-06575 to SQL. A session whose package state was made before the package's last compile
//   gets ORA-04068 once, then runs with fresh state (a unit without variables or cursors has none
//   to lose). A trigger's errors count lines from its block.
// - Schema-level types are stored units too: TYPE (an object type's attributes and method headings,
//   or a nested table or varray) and TYPE BODY (the methods), compiled like a package and its body.
//   Objects, nested tables and varrays are atomically NULL until constructed (ORA-06530/06531);
//   a member's SELF is its first parameter (ORA-30625 on NULL). Replacing or dropping a type that
//   other types use is ORA-02303 unless FORCE; PL/SQL users are invalidated as for any unit.
// - Triggers (triggers.cpp) are the engine's own, kept in the catalog. DML on a table with enabled
//   triggers runs row by row: the statement's rows are read first (ROWID, :OLD, the new values, from
//   the statement's own syntax tree so its names resolve as before), BEFORE ROW triggers may change
//   :NEW, each row is then written by ROWID through the shared compiler (column checks and constraints
//   see the final values), AFTER ROW triggers follow; statement triggers run before and after. All of
//   it runs in a savepoint, so a failing trigger undoes its statement.
// - DML RETURNING ... INTO: the SQL compiler emits SQLite's own RETURNING clause (values after an INSERT
//   or UPDATE, before a DELETE); plain SQL's targets are out binds, PL/SQL fills its variables from the
//   rows. On tables with triggers the values are read with the rows (DELETE) or back by ROWID once the
//   rows are written. More than one row into scalars is ORA-01422, the statement undone.
// - Conditional compilation (conditional.h) rewrites a unit's text before the compiler reads it,
//   keeping every line in place; a stored unit keeps the PLSQL_CCFLAGS it was compiled with, so every
//   session compiles it alike.
// - Run errors carry the ORA-06512 stack lines after the first line.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "engine/sql/compiler.h"

namespace engine::storage {
class SessionImpl;
}

namespace engine::plsql {

struct SessionState;
struct Block;

// True when the text is PL/SQL or a statement about a PL/SQL unit: DECLARE, BEGIN, a label,
// CREATE [OR REPLACE] PROCEDURE/FUNCTION/PACKAGE [BODY]/TRIGGER, DROP and ALTER of those.
bool isPlsqlText(std::string_view text);

// The PL/SQL state of one session: compiled units, package state, DBMS_OUTPUT.
std::shared_ptr<SessionState> newSessionState(storage::SessionImpl& session);

// Compiles the text (see isPlsqlText) for the session. Throws ORA-06550 for a block with errors.
std::shared_ptr<Block> prepareBlock(storage::SessionImpl& session, const std::string& text);
// The host binds of a prepared block, upper case, in order of first use.
const std::vector<std::string>& bindNamesOf(const Block& block);
// Runs a prepared block with its binds (in place: out binds are written back).
void runBlock(storage::SessionImpl& session, Block& block, std::vector<Value>& binds);

// Stored functions called from the session's SQL: the SQLite call that runs one, or nothing.
std::optional<sql::CompileContext::External> resolveInSql(storage::SessionImpl& session, const sql::Expr& e);
// TABLE(f(...)) in the session's SQL: a stored function returning a nested table or varray.
std::optional<sql::CompileContext::CollectionRows> collectionInSql(storage::SessionImpl& session, const sql::Expr& e);
// A schema-level nested table or varray type by [owner.]name, for CAST(MULTISET(...) AS type).
std::optional<sql::CompileContext::CollectionRows> collectionTypeInSql(storage::SessionImpl& session,
                                                                        const std::string& owner, const std::string& name);

// Triggers: true when DML on the statement's target table has enabled triggers to fire; then
// runTriggeredDml runs the statement row by row with them and returns the rows processed.
bool firesTriggers(storage::SessionImpl& session, const sql::Compiled& code);
// With `returned`, it also collects the values of the statement's RETURNING clause, a row per row.
std::int64_t runTriggeredDml(storage::SessionImpl& session, const sql::Statement& ast, const std::string& text,
                             const sql::Compiled& code, const std::vector<std::string>& bindNames,
                             const std::vector<Value>& bindValues,
                             std::vector<std::vector<Value>>* returned = nullptr);

// DBMS_OUTPUT lines buffered since the last call, when DBMS_OUTPUT is enabled.
std::vector<std::string> takeOutput(SessionState& state);

}  // namespace engine::plsql
