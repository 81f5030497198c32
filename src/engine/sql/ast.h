#pragma once
// The syntax tree of Oracle SQL. Every node keeps the source position of its first token (and the
// offset just past its last one), so errors point at the fault and headings can quote the source.
// PL/SQL reuses Expr, Query and the DML statements; its own statements will be added beside them.

#include <memory>
#include <string>
#include <vector>

#include "engine/sql/lexer.h"

namespace engine::sql {

struct Query;
struct Expr;
struct Window;
struct WithinGroup;
using ExprPtr = std::shared_ptr<Expr>;
using QueryPtr = std::shared_ptr<Query>;

// A possibly qualified name: schema.object, table.column, seq.NEXTVAL, pkg.func ...
struct Name {
  std::vector<std::string> parts;  // upper case unless quoted
  Position pos;
  std::string last() const { return parts.empty() ? std::string() : parts.back(); }
};

enum class ExprKind {
  Null,        // NULL
  Number,      // text = the literal
  String,      // text = contents ('' stays an empty string here; the emitter makes it NULL)
  Column,      // name: column, table.column, schema.table.column, pseudo-columns, seq.NEXTVAL
  Bind,        // text = bind name, upper case
  Star,        // * or t.* inside a function call (COUNT(*))
  Unary,       // op: "-", "+", "NOT", "PRIOR"; args[0]
  Binary,      // op: "+", "-", "*", "/", "||", "=", "!=", "<", "<=", ">", ">=", "AND", "OR"; args[0..1]
  Function,    // name: the function (maybe qualified); args; distinct
  Case,        // args: [operand] when1, then1, ..., [else]; hasOperand, hasElse
  Subquery,    // query: a scalar subquery
  Exists,      // query
  InList,      // args[0] IN (args[1..]); negated
  InSubquery,  // args[0] IN (query); negated; args[0] may be a Row for (a, b) IN (...)
  Between,     // args[0] BETWEEN args[1] AND args[2]; negated
  Like,        // args[0] LIKE args[1] [ESCAPE args[2]]; negated
  IsNull,      // args[0] IS [NOT] NULL; negated
  Row,         // (a, b, ...) on the left of IN or in a comparison
  Any,         // args[0] op ANY/ALL (query or list); op, all
};

struct Expr {
  ExprKind kind = ExprKind::Null;
  Position pos;
  int endOffset = 0;
  std::string text;
  std::string op;
  Name name;
  std::vector<ExprPtr> args;
  QueryPtr query;
  bool negated = false;
  bool distinct = false;
  bool outerJoin = false;  // column followed by (+)
  bool hasOperand = false;
  bool hasElse = false;
  bool all = false;
  // PL/SQL: the names of named arguments (name => value), one per argument, empty for positional
  // ones; attributes such as c%ROWCOUNT end the name as a part "%ROWCOUNT"; :NEW.col keeps "COL" in
  // name for a Bind.
  std::vector<std::string> argNames;
  std::shared_ptr<Window> window;  // FUNC(...) OVER (...): an analytic function
  std::shared_ptr<WithinGroup> withinGroup;  // LISTAGG(...) WITHIN GROUP (ORDER BY ...)
  std::vector<std::string> fields;  // PL/SQL: t(i).a.b, the fields read from what a call returns
  std::string dbLink;               // seq.NEXTVAL@link: the sequence of the database behind a link
};

struct SelectItem {
  ExprPtr expr;           // null for * and t.*
  std::string starTable;  // "T" for t.*, empty for a bare *
  bool star = false;
  std::string alias;
  bool aliasQuoted = false;
  std::string heading;  // the source text of the expression, for the column name without alias
};

enum class JoinKind { Comma, Inner, Left, Right, Full, Cross };

// PIVOT (agg(x) [AS a], ... FOR col IN (value [AS name], ...)) or
// UNPIVOT [INCLUDE | EXCLUDE NULLS] (measure FOR name IN (column [AS literal], ...)) after a FROM item.
struct PivotClause {
  struct Aggregate {
    ExprPtr call;
    std::string alias;
  };
  struct InItem {
    ExprPtr value;         // PIVOT: the value of the FOR column; UNPIVOT: the literal for the name column
    std::vector<ExprPtr> values;  // PIVOT over several FOR columns: one value per column
    std::string column;    // UNPIVOT: the column unpivoted
    std::string alias;     // PIVOT: the name the value's columns take
    Position pos;
  };
  bool unpivot = false;
  bool includeNulls = false;
  std::vector<Aggregate> aggregates;
  std::string forColumn;      // PIVOT: the column whose values spread; UNPIVOT: the new name column
  std::vector<std::string> forColumns;  // PIVOT FOR (a, b): the columns whose value combinations spread
  std::string measureColumn;  // UNPIVOT: the new value column
  std::vector<InItem> in;
  Position pos;
};

struct TableRef {
  Name table;        // schema.name
  std::string dbLink;
  QueryPtr subquery; // an inline view instead of a table
  ExprPtr collection;  // TABLE(expr): the elements of a nested table or varray
  std::shared_ptr<PivotClause> pivot;
  std::string alias;
  JoinKind join = JoinKind::Comma;  // how this item joins the ones before it
  ExprPtr on;
  std::vector<std::string> usingColumns;
  Position pos;
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
  int nulls = 0;  // 0 default, 1 NULLS FIRST, 2 NULLS LAST
};

// LISTAGG's order and its ON OVERFLOW clause.
struct WithinGroup {
  std::vector<OrderItem> orderBy;
  bool truncate = false;       // ON OVERFLOW TRUNCATE (else ERROR)
  ExprPtr indicator;           // the truncation indicator ('...' when absent)
  bool withCount = true;       // WITH COUNT / WITHOUT COUNT
};

// One end of a window frame: UNBOUNDED PRECEDING, n PRECEDING, CURRENT ROW, n FOLLOWING, UNBOUNDED FOLLOWING.
struct FrameBound {
  enum class Kind { UnboundedPreceding, Preceding, CurrentRow, Following, UnboundedFollowing };
  Kind kind = Kind::CurrentRow;
  ExprPtr offset;  // n for Preceding and Following
  Position pos;
};

// The OVER clause of an analytic function.
struct Window {
  std::vector<ExprPtr> partitionBy;
  std::vector<OrderItem> orderBy;
  std::string frameUnit;  // "ROWS" or "RANGE"; empty: the default frame
  FrameBound frameStart, frameEnd;
  Position framePos;
  bool ignoreNulls = false;  // LAG, LEAD, FIRST_VALUE, LAST_VALUE ... IGNORE NULLS
};

// One element of GROUP BY: an expression (or a composite (a, b)), ROLLUP (...), CUBE (...) or
// GROUPING SETS (...), whose elements are again composites, () or ROLLUP / CUBE.
struct GroupingTerm {
  enum class Kind { Plain, Rollup, Cube, Sets };
  Kind kind = Kind::Plain;
  std::vector<std::vector<ExprPtr>> columns;  // Plain: one composite; Rollup, Cube: their composites
  std::vector<GroupingTerm> sets;             // Sets: its elements
};

struct QueryBlock {
  bool distinct = false;
  std::vector<SelectItem> items;
  std::vector<TableRef> from;
  ExprPtr where;
  ExprPtr startWith;
  ExprPtr connectBy;
  bool noCycle = false;
  std::vector<ExprPtr> groupBy;  // every GROUP BY expression once
  std::vector<GroupingTerm> grouping;  // set when GROUP BY has ROLLUP, CUBE or GROUPING SETS
  ExprPtr having;
};

// WITH name [(columns)] AS (query): a named subquery the query after it may read like a table.
struct CommonTable {
  std::string name;
  std::vector<std::string> columns;
  QueryPtr query;
  Position pos;
};

// A query: one block, or two queries joined by a set operator; ORDER BY and FOR UPDATE apply to the whole.
struct Query {
  std::vector<CommonTable> with;      // WITH clauses in front of it
  std::shared_ptr<QueryBlock> block;  // set when this is a simple block
  std::string setOp;                  // "UNION", "UNION ALL", "MINUS", "INTERSECT"
  QueryPtr left, right;
  std::vector<OrderItem> orderBy;
  bool orderSiblings = false;         // ORDER SIBLINGS BY: orders the rows under each parent
  ExprPtr offset, fetchFirst;         // OFFSET n ROWS, FETCH FIRST n ROWS ONLY (after ORDER BY)
  bool fetchPercent = false;          // FETCH FIRST n PERCENT ROWS
  bool withTies = false;              // ... WITH TIES: the rows that sort equal to the last one too
  bool forUpdate = false;
  bool noWait = false;
  int waitSeconds = -1;
  Position pos;
  int endOffset = 0;
};

// ---------------------------------------------------------------------------------------------------
// Statements

enum class StmtKind {
  Select, Insert, Update, Delete, Merge,
  CreateTable, AlterTable, AlterObject, DropObject, CreateIndex, CreateView, CreateSequence, AlterSequence, CreateSynonym,
  Comment, Rename, Truncate, LockTable,
  CreateUser, AlterUser, DropUser, CreateRole, Grant, Revoke, CreateDbLink, CreateDirectory, CreateContext,
  CreateTablespace,
  AlterSession, AlterSystem,
  Commit, Rollback, Savepoint, SetTransaction,
  CreateMView,
  ExplainPlan, Analyze,
};

struct Statement {
  explicit Statement(StmtKind k) : kind(k) {}
  virtual ~Statement() = default;
  StmtKind kind;
  Position pos;
};
using StatementPtr = std::shared_ptr<Statement>;

struct SelectStmt : Statement {
  SelectStmt() : Statement(StmtKind::Select) {}
  QueryPtr query;
};

// RETURNING expr, ... INTO target, ...: values of the rows a DML statement changed (UPDATE: after the
// change, DELETE: before it). Plain SQL's targets are out binds; PL/SQL's are its variables.
struct ReturningClause {
  std::vector<ExprPtr> values;
  std::vector<ExprPtr> into;
  Position pos;
};

struct InsertStmt : Statement {
  InsertStmt() : Statement(StmtKind::Insert) {}
  TableRef table;
  std::vector<std::string> columns;
  std::vector<Position> columnPos;
  std::vector<ExprPtr> values;  // VALUES (...)
  QueryPtr query;               // INSERT ... SELECT
  ReturningClause returning;
};

struct Assignment {
  std::vector<std::string> columns;  // (a, b) = (subquery) sets several
  std::vector<Position> columnPos;
  ExprPtr value;
};

struct UpdateStmt : Statement {
  UpdateStmt() : Statement(StmtKind::Update) {}
  TableRef table;
  std::vector<Assignment> sets;
  ExprPtr where;
  ReturningClause returning;
};

struct DeleteStmt : Statement {
  DeleteStmt() : Statement(StmtKind::Delete) {}
  TableRef table;
  ExprPtr where;
  ReturningClause returning;
};

// MERGE INTO target USING source ON (cond) WHEN MATCHED THEN UPDATE ... WHEN NOT MATCHED THEN INSERT ...
struct MergeStmt : Statement {
  MergeStmt() : Statement(StmtKind::Merge) {}
  TableRef target;
  TableRef source;
  ExprPtr on;
  std::vector<Assignment> sets;  // WHEN MATCHED THEN UPDATE SET (empty: no such branch)
  ExprPtr updateWhere;
  std::vector<std::string> insertColumns;
  std::vector<Position> insertColumnPos;
  std::vector<ExprPtr> insertValues;  // WHEN NOT MATCHED THEN INSERT (empty: no such branch)
  ExprPtr insertWhere;
};

struct TypeSpec {
  std::string name;  // NUMBER, VARCHAR2, CHAR, DATE, LONG, CLOB, BLOB, RAW, INTEGER, ...
  int length = 0;
  int precision = 0;
  int scale = 0;
  bool hasPrecision = false;
  bool charSemantics = false;  // VARCHAR2(n CHAR)
  std::string typeOwner;       // a name that is no built-in type: [owner.]name, maybe a user type
  bool userDefined = false;
};

enum class ConstraintType { PrimaryKey, Unique, Check, ForeignKey, NotNull };

struct ConstraintDef {
  std::string name;  // empty: a SYS_C name is generated
  ConstraintType type = ConstraintType::Check;
  std::vector<std::string> columns;
  ExprPtr check;
  std::string checkText;
  Name refTable;
  std::vector<std::string> refColumns;
  bool onDeleteCascade = false;
  bool onDeleteSetNull = false;
  bool disabled = false;
  bool deferrable = false;         // DEFERRABLE
  bool notDeferrable = false;      // NOT DEFERRABLE given
  bool initiallyDeferred = false;  // INITIALLY DEFERRED: checked at commit
  Position pos;
};

struct SequenceOptions {
  bool hasStart = false, hasIncrement = false, hasMin = false, hasMax = false, hasCycle = false, hasCache = false;
  long long start = 1, increment = 1, minValue = 1, maxValue = 0;
  bool cycle = false;
  long long cache = 20;
  bool startWithLimit = false;  // START WITH LIMIT VALUE (an identity column's sequence, in ALTER TABLE)
};

struct ColumnDef {
  std::string name;
  TypeSpec type;
  ExprPtr defaultValue;
  std::string defaultText;
  // GENERATED ... AS IDENTITY: "ALWAYS" or "BY DEFAULT" (empty: not an identity column), with ON NULL
  // and the options of its sequence; ALTER TABLE ... MODIFY col DROP IDENTITY sets dropIdentity.
  std::string identity;
  bool identityOnNull = false;
  SequenceOptions identityOptions;
  bool dropIdentity = false;
  std::vector<ConstraintDef> constraints;  // inline constraints (their columns are this column)
  Position pos;
};

// Physical clauses of a table, index or partition (TABLESPACE, PCTFREE, INITRANS, STORAGE, LOGGING,
// COMPRESS): recorded for the dictionary, without effect on storage. -1 / empty: not given.
struct PhysicalAttributes {
  std::string tablespace;
  long long pctFree = -1, pctUsed = -1, iniTrans = -1, maxTrans = -1;
  long long initialExtent = -1, nextExtent = -1, minExtents = -1, maxExtents = -1;
  std::string logging;      // YES, NO
  std::string compression;  // ENABLED, DISABLED
  bool any() const {
    return !tablespace.empty() || pctFree >= 0 || pctUsed >= 0 || iniTrans >= 0 || maxTrans >= 0 ||
           initialExtent >= 0 || nextExtent >= 0 || minExtents >= 0 || maxExtents >= 0 || !logging.empty() ||
           !compression.empty();
  }
};

struct PartitionDef {
  std::string name;       // empty: named by the system
  std::string highValue;  // RANGE: the bound list, LIST: the value list, as written; HASH: empty
  PhysicalAttributes physical;
  Position pos;
};

// PARTITION BY RANGE / LIST / HASH: the rows stay in one table; the partitions are recorded.
struct Partitioning {
  std::string type;  // RANGE, LIST, HASH
  std::vector<std::string> columns;
  std::vector<Position> columnPos;
  std::vector<PartitionDef> partitions;
};

struct CreateTableStmt : Statement {
  CreateTableStmt() : Statement(StmtKind::CreateTable) {}
  Name name;
  std::vector<ColumnDef> columns;
  std::vector<ConstraintDef> constraints;
  QueryPtr asQuery;
  bool temporary = false;
  PhysicalAttributes physical;
  std::shared_ptr<Partitioning> partitioning;
};

enum class AlterTableAction {
  AddColumns, ModifyColumns, DropColumns, AddConstraint, DropConstraint, DropPrimaryKey,
  EnableConstraint, DisableConstraint, RenameColumn, RenameTo,
};

struct AlterTableStmt : Statement {
  AlterTableStmt() : Statement(StmtKind::AlterTable) {}
  Name name;
  AlterTableAction action = AlterTableAction::AddColumns;
  std::vector<ColumnDef> columns;         // ADD / MODIFY
  std::vector<std::string> names;         // DROP columns; constraint name; RENAME COLUMN old, new; RENAME TO new
  ConstraintDef constraint;               // ADD CONSTRAINT
  std::vector<ConstraintDef> moreConstraints;  // ADD (CONSTRAINT ..., CONSTRAINT ...): the ones after the first
  bool cascade = false;
};

struct AlterObjectStmt : Statement {  // ALTER INDEX ... REBUILD, ALTER VIEW ... COMPILE
  AlterObjectStmt() : Statement(StmtKind::AlterObject) {}
  std::string objectType;  // INDEX, VIEW
  Name name;
  std::string action;      // REBUILD, COMPILE, ...
};

struct DropStmt : Statement {
  DropStmt() : Statement(StmtKind::DropObject) {}
  std::string objectType;  // TABLE, VIEW, INDEX, SEQUENCE, SYNONYM, PUBLIC SYNONYM, ROLE, ...
  Name name;
  bool cascadeConstraints = false;
};

struct CreateIndexStmt : Statement {
  CreateIndexStmt() : Statement(StmtKind::CreateIndex) {}
  bool unique = false;
  Name name;
  Name table;
  std::vector<std::string> columns;
  std::vector<bool> descending;
  PhysicalAttributes physical;
};

struct CreateViewStmt : Statement {
  CreateViewStmt() : Statement(StmtKind::CreateView) {}
  bool orReplace = false;
  Name name;
  std::vector<std::string> columnAliases;
  QueryPtr query;
  std::string queryText;
  bool readOnly = false;  // WITH READ ONLY: no DML through the view
  bool force = false;     // CREATE FORCE VIEW: created INVALID when its query does not compile
};

// CREATE MATERIALIZED VIEW: a table of the query's rows, filled again by DBMS_MVIEW.REFRESH.
struct CreateMViewStmt : Statement {
  CreateMViewStmt() : Statement(StmtKind::CreateMView) {}
  Name name;
  PhysicalAttributes physical;
  bool deferred = false;         // BUILD DEFERRED: no rows until the first refresh
  std::string method = "FORCE";  // REFRESH COMPLETE / FORCE / FAST
  std::string mode = "DEMAND";   // ON DEMAND / ON COMMIT; NEVER for NEVER REFRESH
  bool scheduled = false;        // START WITH / NEXT
  QueryPtr query;
  std::string queryText;
  Position pos;
};

struct SequenceStmt : Statement {
  explicit SequenceStmt(StmtKind k) : Statement(k) {}
  Name name;
  SequenceOptions options;
};

struct CreateSynonymStmt : Statement {
  CreateSynonymStmt() : Statement(StmtKind::CreateSynonym) {}
  bool orReplace = false;
  bool isPublic = false;
  Name name;
  Name target;
  std::string dbLink;
};

struct CreateDbLinkStmt : Statement {  // CREATE [PUBLIC] DATABASE LINK name CONNECT TO u IDENTIFIED BY p USING 'x'
  CreateDbLinkStmt() : Statement(StmtKind::CreateDbLink) {}
  bool isPublic = false;
  std::string name;  // as written, dots included
  std::string user, password, host;
};

struct CommentStmt : Statement {
  CommentStmt() : Statement(StmtKind::Comment) {}
  bool onColumn = false;
  Name target;  // table, or table.column
  std::string text;
};

struct RenameStmt : Statement {
  RenameStmt() : Statement(StmtKind::Rename) {}
  Name from, to;
};

struct TableStmt : Statement {  // TRUNCATE TABLE, LOCK TABLE
  explicit TableStmt(StmtKind k) : Statement(k) {}
  Name table;
  bool noWait = false;
  int lockMode = 6;  // LOCK TABLE: 2 ROW SHARE / SHARE UPDATE, 3 ROW EXCLUSIVE, 4 SHARE, 5 SHARE ROW EXCLUSIVE, 6 EXCLUSIVE
};

struct UserStmt : Statement {  // CREATE / ALTER / DROP USER, CREATE ROLE
  explicit UserStmt(StmtKind k) : Statement(k) {}
  std::string name;
  std::string password;
  bool hasPassword = false;
  int lock = 0;  // 1 ACCOUNT LOCK, -1 ACCOUNT UNLOCK
  bool cascade = false;
  std::string defaultTablespace, temporaryTablespace;  // DEFAULT / TEMPORARY TABLESPACE, empty when not given
  std::vector<std::string> quotaTablespaces;           // QUOTA ... ON each
};

struct GrantStmt : Statement {  // GRANT and REVOKE
  explicit GrantStmt(StmtKind k) : Statement(k) {}
  std::vector<std::string> privileges;  // system privileges, roles or object privileges ("ALL" for ALL PRIVILEGES)
  bool onObject = false;
  bool onDirectory = false;  // ON DIRECTORY name
  Name object;
  std::vector<std::string> grantees;
  bool withOption = false;  // WITH ADMIN OPTION / WITH GRANT OPTION
};

struct CreateTablespaceStmt : Statement {  // CREATE [BIGFILE | SMALLFILE] [TEMPORARY] TABLESPACE name ...
  CreateTablespaceStmt() : Statement(StmtKind::CreateTablespace) {}
  std::string name;
  bool temporary = false;  // its files, sizes and storage clauses are accepted and not kept
};

struct CreateDirectoryStmt : Statement {  // CREATE [OR REPLACE] DIRECTORY name AS 'path'
  CreateDirectoryStmt() : Statement(StmtKind::CreateDirectory) {}
  bool orReplace = false;
  std::string name;
  std::string path;
};

struct CreateContextStmt : Statement {  // CREATE [OR REPLACE] CONTEXT namespace USING [schema.]package
  CreateContextStmt() : Statement(StmtKind::CreateContext) {}
  bool orReplace = false;
  std::string name;
  Name package;
};

struct AlterSessionStmt : Statement {
  AlterSessionStmt() : Statement(StmtKind::AlterSession) {}
  std::string parameter;
  std::string value;
};

struct AlterSystemStmt : Statement {
  AlterSystemStmt() : Statement(StmtKind::AlterSystem) {}
  int restricted = 0;  // 1 ENABLE RESTRICTED SESSION, -1 DISABLE
  std::string parameter;
  std::string value;
};

struct TransactionStmt : Statement {  // COMMIT, ROLLBACK [TO [SAVEPOINT] name], SAVEPOINT name
  explicit TransactionStmt(StmtKind k) : Statement(k) {}
  std::string savepoint;
  bool readOnly = false;  // SET TRANSACTION READ ONLY
};

// EXPLAIN PLAN [SET STATEMENT_ID = 'id'] [INTO [schema.]table] FOR statement
struct ExplainStmt : Statement {
  ExplainStmt() : Statement(StmtKind::ExplainPlan) {}
  std::string statementId;
  bool hasStatementId = false;
  Name into;                  // empty: PLAN_TABLE
  StatementPtr explained;     // a query or DML statement
};

// ANALYZE TABLE|INDEX name COMPUTE|ESTIMATE|DELETE STATISTICS, or VALIDATE STRUCTURE [CASCADE]
struct AnalyzeStmt : Statement {
  AnalyzeStmt() : Statement(StmtKind::Analyze) {}
  bool index = false;
  Name name;
  enum class Action { Compute, Delete, Validate } action = Action::Compute;
  bool cascade = false;
};

}  // namespace engine::sql
