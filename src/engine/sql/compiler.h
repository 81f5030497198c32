#pragma once
// Name resolution, type inference and emission of SQLite SQL for queries and DML.
//
// The compiler walks the AST of a SELECT, INSERT, UPDATE or DELETE with a scope of the tables in
// reach, resolves every name against the catalog (own schema, CURRENT_SCHEMA, private and public
// synonyms, the dictionary views, sequences, pseudo-columns), infers each expression's Oracle type,
// and writes SQLite SQL that calls the ora_xxx functions where Oracle's semantics differ from SQLite's
// ('' is NULL, exact division, DATE arithmetic, case-sensitive LIKE, ...). Binds become numbered
// SQLite parameters; a name used twice maps to one parameter.

#include <functional>
#include <memory>
#include <optional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/catalog/catalog.h"
#include "engine/engine.h"
#include "engine/sql/ast.h"

namespace engine::sql {

// What the compiler needs to know about the session it compiles for.
struct CompileContext {
  catalog::Catalog* catalog = nullptr;
  std::string user;
  std::string schema;  // CURRENT_SCHEMA
  // True when the user may use owner.name for privilege (SELECT, INSERT, UPDATE, DELETE, ...), by
  // ownership, an object grant, an ANY system privilege or a role that carries one of those.
  std::function<bool(const std::string& user, const std::string& owner, const std::string& name,
                     const std::string& privilege)>
      mayUse;
  // True when the user holds the system privilege (directly, through a role or PUBLIC).
  std::function<bool(const std::string& privilege)> hasPrivilege;
  // The SQLite schema that holds the tables ("main" when empty): another database reached over a
  // link is attached to the session's connection.
  std::string attached;
  // The link (upper case) that leads to this database; empty for the session's own.
  std::string link;
  // The context of the database behind a link, as the link's user sees it: throws ORA-02019 for an
  // unknown link, ORA-12154 for a database that does not exist, ORA-01017 for a refused logon.
  std::function<CompileContext(const std::string& link)> remote;
  // Names the SQL does not resolve itself (no column, pseudo-column or sequence) and calls of functions
  // that are not SQL's own: PL/SQL resolves its variables as binds and its stored functions as calls.
  struct External {
    std::string bind;      // a bind of this name
    std::string function;  // else: an SQLite call, its leading arguments written ("f(1"); the compiler adds the rest
    DataType type = DataType::Unknown;
    int fraction = -1;  // a TIMESTAMP's or INTERVAL's fractional digits, when known
    int leading = -1;   // an INTERVAL's leading precision, when known
  };
  std::function<std::optional<External>(const Expr& e)> resolveExternal;
  // A view marked INVALID whose query compiled again while a statement used it, with what it reads:
  // it is VALID from now on (recompiled on use, as Oracle does).
  std::function<void(const std::string& owner, const std::string& name,
                     const std::set<std::pair<std::string, std::string>>& references)>
      viewCompiled;
  // TABLE(expr) in FROM: `source` gives the collection as a JSON array (a bind or a call, as for
  // externals); its rows have one column per attribute of an object element, else COLUMN_VALUE.
  struct CollectionRows {
    External source;
    std::vector<Column> columns;
    bool objects = false;  // each element is a JSON array of attribute values (null: a NULL object)
  };
  std::function<std::optional<CollectionRows>(const Expr& e)> resolveCollection;
  // A schema-level nested table or varray type by [owner.]name (CAST(MULTISET(...) AS type)): its rows.
  std::function<std::optional<CollectionRows>(const std::string& owner, const std::string& name)> collectionType;
  // SQL inside PL/SQL: RETURNING INTO targets are PL/SQL's own, not out binds.
  bool insidePlsql = false;
  // The statement's own literals (Parser::literals) that may become parameters, so that statements
  // differing only in those literals share one compilation; null: every literal is written inline.
  const std::unordered_map<const Expr*, int>* literals = nullptr;
  // A query the session runs itself: a WHERE conjunct (:b = 'text' OR other) may be decided once the
  // bind is known (Compiled::bindTests).
  bool bindTests = false;
  // The engine writes whole rows it has made itself (DML on a table with triggers): identity columns
  // take the values given, as the statement's own checks were made when the rows were read.
  bool rowWrite = false;
};

// The result of compiling one statement.
struct Compiled {
  std::string sql;                      // SQLite SQL
  std::string nextSql;                  // MERGE: its INSERT, run after `sql` (its UPDATE)
  std::vector<Column> columns;          // result columns of a query, or a DML's RETURNING values
  bool conditionColumn = false;         // the query's first column is a condition (LIKE, REGEXP_LIKE, ...),
                                        // reported as VARCHAR2; PL/SQL reads it as a BOOLEAN
  std::vector<std::string> returningInto;  // plain SQL's RETURNING INTO: the out bind of each value
  std::vector<std::string> bindNames;   // parameter ?N is bindNames[N-1]
  std::vector<DataType> bindTargets;    // the type a bind is converted to (Unknown: as given)
  // Literals that became parameters: ?(bindNames.size() + 1 + k) takes the value of the literal token
  // numbered literalParams[k] in the text. A literal whose value shapes the SQL (select list,
  // GROUP BY, HAVING, ORDER BY, ROWNUM limits, DATE '...', hierarchical and analytic clauses) stays inline.
  std::vector<int> literalParams;
  // WHERE conjuncts (:bind = 'text' OR otherwise) of a query, written ?@k@ in `sql`. Once the bind is
  // known the conjunct becomes "1" when the test holds, else `otherwise`, whose index may then be used;
  // `whole` is the conjunct as it stands, for a bind whose outcome is not known beforehand.
  struct BindTest {
    std::string bind, text;
    std::string whole, otherwise;
  };
  std::vector<BindTest> bindTests;
  bool isQuery = false;
  bool forUpdate = false;
  bool noWait = false;
  // The table a DML statement changes, for mapping constraint failures to their names.
  std::string targetOwner, targetTable;
  // The database link (upper case) the target is reached over; empty for a table of this database.
  std::string targetLink;
  // Every link (upper case) the statement reads or writes over: its compilation holds while the
  // other databases' schemas stay as they were.
  std::set<std::string> links;
  // The tables, views and sequences the statement names (owner, name): what it depends on. A view
  // counts as itself, not as the objects of its query.
  std::set<std::pair<std::string, std::string>> references;
  // What each alias of the emitted SQL reads, in the order the statement names them (EXPLAIN PLAN
  // maps SQLite's plan back to Oracle's objects with it). Inline views and WITH names have no owner.
  struct PlanSource {
    std::string owner, name;  // the table or view; a WITH name has no owner, an inline view no name
    std::string alias;        // the Oracle alias, or the object's name
    std::string type;         // TABLE, VIEW, DUAL
    int instance = 0;         // 1, 2, ... in the order the statement names them
    bool grouped = false, distinct = false;  // an inline view's block has GROUP BY, DISTINCT
  };
  std::map<std::string, PlanSource> planSources;
};

// Compiles a query or DML statement. Throws engine::Error (ORA-00904, 00942, 00918, 01031, ...).
Compiled compileStatement(const Statement& stmt, const CompileContext& context, std::string_view text);

// Compiles one condition or value over the columns of one table, as CHECK constraints and column
// defaults need it; `rowPrefix` ("NEW." in triggers, or a table alias) qualifies the columns.
std::string compileTableExpr(const Expr& expr, const std::vector<catalog::ColumnInfo>& columns,
                             const std::string& rowPrefix, const CompileContext& context);

// Copies compiled SQL to `out`, passing each marker ?<mark>k<mark> outside quoted text to `replace`
// (literal parameters are marked '#', bind tests '@').
void replaceMarkers(std::string& out, std::string_view sql, char mark,
                    const std::function<void(std::string& out, std::size_t k)>& replace);

// The SQLite column type that stores an Oracle type: NUMERIC, TEXT or BLOB.
const char* storageTypeOf(DataType type);

}  // namespace engine::sql
