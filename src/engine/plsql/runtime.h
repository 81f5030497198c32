#pragma once
// The run-time pieces of PL/SQL: types, values, frames, the executable nodes the compiler builds, and
// the exception that carries a PL/SQL error up the call stack.

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/sql/ast.h"
#include "engine/sql/compiler.h"

namespace engine::storage {
class SessionImpl;
}

namespace engine::plsql {

struct SessionState;
struct Unit;

// ---------------------------------------------------------------------------------------------------
// Types

struct Type;
using TypePtr = std::shared_ptr<const Type>;

struct Type {
  enum class Kind { Scalar, Boolean, Record, Collection, RefCursor, Exception };
  Kind kind = Kind::Scalar;
  DataType scalar = DataType::Unknown;  // Scalar: NUMBER, VARCHAR2, DATE, ...
  std::string name;                     // as written (for messages and USER_ARGUMENTS)
  int length = 0;                       // VARCHAR2/CHAR maximum, 0 for none
  int precision = 0, scale = 0;
  bool hasScale = false;
  bool integer = false;                 // PLS_INTEGER, INTEGER, ...
  bool range32 = false;                 // PLS_INTEGER and its subtypes: 32 bits, ORA-01426 beyond
  std::vector<std::pair<std::string, TypePtr>> fields;  // Record
  TypePtr element;                      // Collection
  bool textKeys = false;                // INDEX BY VARCHAR2
  bool indexBy = false;                 // associative array (else a nested table or varray)
  std::int64_t limit = 0;               // a VARRAY's maximum size (0: a nested table)
  // Object types and nested tables/varrays start atomically NULL; records and associative arrays
  // always exist.
  bool atomicNull = false;
  bool object = false;                  // a schema-level object type: a record with methods
  std::string owner;                    // schema-level types: their schema (name holds the type name)
  Unit* typeUnit = nullptr;             // schema-level types: the compiled TYPE unit (its methods)

  bool isScalar() const { return kind == Kind::Scalar || kind == Kind::Boolean; }
  int fieldIndex(const std::string& field) const;
};

TypePtr scalarType(DataType t, const std::string& name = {}, int length = 0);
TypePtr booleanType();
TypePtr timestampType(int digits);  // TIMESTAMP(digits)
// INTERVAL DAY(leading) TO SECOND(fraction), INTERVAL YEAR(leading) TO MONTH: values are their text.
TypePtr intervalType(DataType t, int leading, int fraction);
TypePtr refCursorType();

// ---------------------------------------------------------------------------------------------------
// Values: a scalar (engine::Value; BOOLEAN as 1/0/NULL; a REF CURSOR as Value::Cursor) or a composite.

struct Datum;

struct Collection {
  bool textKeys = false;
  std::map<std::int64_t, Datum> ints;
  std::map<std::string, Datum> texts;
  std::size_t count() const { return textKeys ? texts.size() : ints.size(); }
};

struct Datum {
  Value v;
  std::shared_ptr<std::vector<Datum>> record;
  std::shared_ptr<Collection> collection;
};

// A fresh value of the type: NULL scalars, records of NULL fields, empty associative arrays; objects,
// nested tables and varrays atomically NULL.
Datum initialDatum(const Type& type);
// A constructed value: a record or object of NULL fields, an empty collection of any kind.
Datum newComposite(const Type& type);
// A deep copy: records and collections are values in PL/SQL.
Datum copyDatum(const Datum& d);
// A nested table or varray as SQL reads it in TABLE(...): a JSON array of its elements in order,
// each an array of attribute values for object elements (sql::CompileContext::CollectionRows).
std::string collectionJson(const Datum& d, const Type& type);
// The columns of TABLE(...) over a collection of this type: COLUMN_VALUE, or the attributes.
sql::CompileContext::CollectionRows collectionRows(const Type& type);

// ---------------------------------------------------------------------------------------------------
// Errors

// A PL/SQL exception in flight: Oracle's code and message, the user exception it is (if any), and the
// ORA-06512 lines gathered while it leaves units.
struct ExceptionDef {
  std::string name;
  int code = 0;  // 0: user-defined without PRAGMA EXCEPTION_INIT (SQLCODE 1)
};

struct PlsqlError {
  int code = 0;
  std::string message;                 // the first line: "ORA-01403: no data found"
  const ExceptionDef* user = nullptr;  // a user-defined exception raised by name
  std::vector<std::string> stack;      // "ORA-06512: at ..." lines
  int sqlcode() const;                 // SQLCODE: -code, +100 for no data found, 1 for user exceptions
  static PlsqlError from(const Error& e);
  Error toError() const;
};

[[noreturn]] void raiseOra(int code, const std::string& detail = {});
[[noreturn]] void raiseValueError(const std::string& what);  // ORA-06502
// A number as it is, text converted as Oracle converts it implicitly (ORA-06502 when it is no number).
Value toNumber(const Value& v);

// ---------------------------------------------------------------------------------------------------
// Frames and execution

struct Frame {
  std::vector<Datum> slots;
  Frame* up = nullptr;      // the frame of the enclosing unit or subprogram (static link)
  int line = 0;             // the statement now running, for ORA-06512
  Frame* caller = nullptr;  // the frame that called this one (dynamic link), for the call stack
  const Unit* unit = nullptr;  // the unit whose code runs in this frame; null or unnamed: a block
};

// Where a frame runs, as ORA-06512 names it: "at \"OWNER.NAME\", line 3" or "at line 3".
std::string frameLocation(const Frame& frame);

struct CursorState;

struct Exec {
  Exec(storage::SessionImpl& s, SessionState& st) : session(s), state(st) {}
  storage::SessionImpl& session;
  SessionState& state;
  Frame* frame = nullptr;
  std::vector<Datum>* binds = nullptr;  // host binds of the running block
  const PlsqlError* handling = nullptr; // the exception of the innermost running handler
  std::int64_t sqlRowCount = 0;         // SQL%ROWCOUNT
  bool sqlFound = false, sqlIsOpen = false, sqlUsed = false;
  Datum returnValue;
  std::string label;                    // EXIT/CONTINUE target, empty for the innermost loop
};

struct ExprNode {
  virtual ~ExprNode() = default;
  TypePtr type;
  sql::Position pos;
  virtual Value eval(Exec& x) = 0;
  // Composite-valued expressions override this; scalars wrap eval.
  virtual Datum datum(Exec& x) { return Datum{eval(x), nullptr, nullptr}; }
  // Assignable expressions (variables, fields, elements) return their storage.
  virtual Datum* ref(Exec&) { return nullptr; }
};
using ExprP = std::shared_ptr<ExprNode>;

enum class Flow { Next, Exit, Continue, Return };

struct StmtNode {
  virtual ~StmtNode() = default;
  int line = 0;
  virtual Flow exec(Exec& x) = 0;
};
using StmtP = std::shared_ptr<StmtNode>;

// Runs statements in order; stops at EXIT, CONTINUE or RETURN.
Flow runList(Exec& x, const std::vector<StmtP>& list);

// Assigns a value to storage of the given type, converting as Oracle does (ORA-06502 on overflow).
void assign(Exec& x, Datum& target, const Type& type, Datum value);
Value convertScalar(Exec& x, const Value& v, const Type& type);
// The same for a value no longer needed: one the type takes as it is is moved, not copied.
Value convertScalar(Exec& x, Value&& v, const Type& type);
// The other way, for CAST(MULTISET(...) AS type) fetched into PL/SQL: the collection that JSON text holds.
Datum collectionFromJson(Exec& x, const Value& json, const Type& type);
// Truth of a BOOLEAN value: NULL counts as false.
inline bool isTrue(const Value& v) { return v.kind() == Value::Kind::Integer && v.asInteger() != 0; }

// ---------------------------------------------------------------------------------------------------
// SQL inside PL/SQL

// Where the value of one SQLite parameter comes from: a PL/SQL expression or a host bind.
struct SqlParam {
  ExprP expr;
  int hostBind = -1;
};

// One SQL statement inside PL/SQL, compiled by the shared compiler with PL/SQL names as binds.
struct SqlStatement {
  std::string text;           // the statement text, positions as in the unit
  std::string owner;          // a stored unit's owner: its names and rights; empty for blocks
  bool internal = false;      // a write of trigger processing itself: fires no triggers
  sql::StatementPtr ast;
  sql::Compiled code;
  std::uint64_t ddlVersion = 0;
  std::map<int, sql::CompileContext::External> externals;  // by source offset, for recompiles
  std::map<int, sql::CompileContext::CollectionRows> collections;  // TABLE(...) items, likewise
  std::vector<SqlParam> params;                             // by SQLite parameter, from externals
  std::map<std::string, SqlParam> paramByBind;
  sqlite3_stmt* stmt = nullptr;
  bool busy = false;
  ~SqlStatement();

  // Compiles again when DDL ran since; prepares, binds and, for DML, runs. Returns the rows changed.
  sqlite3_stmt* start(Exec& x);
  // With `returned`, also collects the values of a RETURNING clause, one row per changed row.
  std::int64_t runDml(Exec& x, std::vector<std::vector<Value>>* returned = nullptr);
  // Steps a started query: true when a row is ready.
  bool step(storage::SessionImpl& session, sqlite3_stmt* s);
  Value column(sqlite3_stmt* s, int i) const;
  void finish(sqlite3_stmt* s);
  // Prepares the statement on a fresh SQLite handle (a cursor open while another uses the cached one).
  sqlite3_stmt* startOwn(Exec& x);

 private:
  void bindAll(Exec& x, sqlite3_stmt* s);
  void compile(Exec& x);
  // paramByBind's entry for each of code.bindNames (null: none), valid while the names are
  // paramsNames_ and paramByBind has paramsKnown_ entries (its entries never move).
  std::vector<const SqlParam*> paramsFound_;
  std::vector<Value> bound_;  // the values `stmt` is bound to, until it is bound again
  std::vector<std::string> paramsNames_;
  std::size_t paramsKnown_ = 0;
};

// An open cursor: explicit cursors, cursor FOR loops and REF CURSORs returned to the client.
struct CursorState : Cursor {
  storage::SessionImpl* session = nullptr;
  std::shared_ptr<SqlStatement> statement;
  sqlite3_stmt* stmt = nullptr;
  bool open = false, found = false, fetchedOnce = false, exhausted = false;
  std::int64_t rows = 0;
  std::vector<Value> row;
  std::vector<Column> cols;
  const SqlStatement* colsFrom = nullptr;  // the statement and compilation `cols` were taken from
  std::uint64_t colsVersion = 0;

  const std::vector<Column>& columns() const override { return cols; }
  bool next() override;
  const Value& value(std::size_t column) const override;
  std::int64_t rowCount() const override { return rows; }
  void close() override;
  ~CursorState() override;
};

}  // namespace engine::plsql
