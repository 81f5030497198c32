// DBMS_SQL: dynamic SQL through numbered cursors of the session. PARSE runs DDL at once, as Oracle
// does; queries, DML and PL/SQL blocks wait for EXECUTE. Binds are kept by name until EXECUTE, a
// query's row by FETCH_ROWS until COLUMN_VALUE reads it.

#include <cctype>
#include <map>
#include <memory>

#include "engine/plsql/packages/native.h"
#include "engine/storage/session.h"

namespace engine::plsql {

namespace {

struct DynamicCursor {
  std::unique_ptr<Statement> statement;
  bool isQuery = false, isBlock = false, executed = false, ddlDone = false;
  std::map<std::string, Value> binds;   // upper case, without the colon
  std::vector<Value> row;               // the row FETCH_ROWS fetched
  bool hasRow = false;
};

struct Cursors {
  std::map<std::int64_t, DynamicCursor> open;
  std::int64_t next = 1;
  std::int64_t lastErrorPosition = 0;
};

Cursors& cursorsOf(NativeCall& c) { return c.state<Cursors>("DBMS_SQL"); }

DynamicCursor& cursorOf(NativeCall& c) {
  auto& all = cursorsOf(c);
  auto it = c.isNull(0) ? all.open.end() : all.open.find(c.integer(0));
  if (it == all.open.end()) raiseNative(29471, "ORA-29471: DBMS_SQL access denied");
  return it->second;
}

std::string firstWord(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (std::isspace(static_cast<unsigned char>(text[i]))) {
      ++i;
    } else if (text.compare(i, 2, "--") == 0) {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if (text.compare(i, 2, "/*") == 0) {
      auto end = text.find("*/", i + 2);
      i = end == std::string::npos ? text.size() : end + 2;
    } else {
      break;
    }
  }
  std::string word;
  while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
    word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
  return word;
}

std::string bindKey(std::string name) {
  if (!name.empty() && name[0] == ':') name.erase(0, 1);
  return upperCase(name);
}

// Errors of the statement itself pass through with their own code and text.
[[noreturn]] void rethrow(const Error& e) {
  PlsqlError p = PlsqlError::from(e);
  throw p;
}

Value openCursor(NativeCall& c) {
  auto& all = cursorsOf(c);
  std::int64_t id = all.next++;
  all.open[id];
  return Value(id);
}

Value isOpen(NativeCall& c) {
  auto& all = cursorsOf(c);
  return Value(!c.isNull(0) && all.open.count(c.integer(0)) ? 1 : 0);
}

Value closeCursor(NativeCall& c) {
  auto& all = cursorsOf(c);
  if (c.isNull(0) || !all.open.erase(c.integer(0))) raiseNative(29471, "ORA-29471: DBMS_SQL access denied");
  return {};
}

Value parse(NativeCall& c) {
  auto& all = cursorsOf(c);
  DynamicCursor& cur = cursorOf(c);
  std::string text = c.text(1);
  // A trailing ";" ends a PL/SQL block but not a SQL statement.
  std::string word = firstWord(text);
  cur = DynamicCursor{};
  cur.isBlock = word == "BEGIN" || word == "DECLARE";
  if (!cur.isBlock) {
    while (!text.empty() && (std::isspace(static_cast<unsigned char>(text.back())) || text.back() == ';')) text.pop_back();
  }
  all.lastErrorPosition = 0;
  try {
    cur.statement = c.session().prepare(text);
    cur.isQuery = cur.statement->isQuery();
    bool deferred = cur.isQuery || cur.isBlock || word == "INSERT" || word == "UPDATE" || word == "DELETE" ||
                    word == "MERGE" || word == "CALL" || word == "LOCK";
    if (!deferred) {
      cur.statement->execute();
      cur.ddlDone = true;
    }
  } catch (const Error& e) {
    all.lastErrorPosition = e.offset() >= 0 ? e.offset() : 0;
    cur.statement.reset();
    rethrow(e);
  }
  return {};
}

Value bindVariable(NativeCall& c) {
  DynamicCursor& cur = cursorOf(c);
  if (!cur.statement) raiseNative(1003, "ORA-01003: no statement parsed");
  std::string key = bindKey(c.text(1));
  const auto& names = cur.statement->bindNames();
  if (std::find(names.begin(), names.end(), key) == names.end())
    raiseNative(1006, "ORA-01006: bind variable does not exist");
  cur.binds[key] = c.arg(2);
  return {};
}

Value defineColumn(NativeCall& c) {
  DynamicCursor& cur = cursorOf(c);
  if (!cur.statement || !cur.isQuery) raiseNative(1007, "ORA-01007: variable not in select list");
  std::int64_t pos = c.integer(1);
  if (pos < 1 || pos > static_cast<std::int64_t>(cur.statement->columns().size()))
    raiseNative(1007, "ORA-01007: variable not in select list");
  return {};
}

Value execute(NativeCall& c) {
  DynamicCursor& cur = cursorOf(c);
  if (!cur.statement) raiseNative(1003, "ORA-01003: no statement parsed");
  if (cur.ddlDone) return Value(0);
  try {
    for (const auto& [name, value] : cur.binds)
      cur.statement->bind(name, value, cur.isBlock ? BindDirection::InOut : BindDirection::In);
    cur.statement->execute();
  } catch (const Error& e) {
    rethrow(e);
  }
  cur.executed = true;
  cur.hasRow = false;
  return Value(cur.isQuery ? 0 : cur.statement->rowCount());
}

Value fetchRows(NativeCall& c) {
  DynamicCursor& cur = cursorOf(c);
  if (!cur.statement || !cur.isQuery || !cur.executed) raiseNative(1002, "ORA-01002: fetch out of sequence");
  try {
    cur.hasRow = cur.statement->next();
  } catch (const Error& e) {
    rethrow(e);
  }
  cur.row.clear();
  if (cur.hasRow)
    for (std::size_t i = 0; i < cur.statement->columns().size(); ++i) cur.row.push_back(cur.statement->value(i));
  return Value(cur.hasRow ? 1 : 0);
}

Value columnValue(NativeCall& c) {
  DynamicCursor& cur = cursorOf(c);
  std::int64_t pos = c.integer(1);
  if (!cur.isQuery || pos < 1 || pos > static_cast<std::int64_t>(cur.statement->columns().size()))
    raiseNative(1007, "ORA-01007: variable not in select list");
  if (!cur.hasRow) raiseNative(1002, "ORA-01002: fetch out of sequence");
  return cur.row[static_cast<std::size_t>(pos - 1)];
}

Value variableValue(NativeCall& c) {
  DynamicCursor& cur = cursorOf(c);
  std::string key = bindKey(c.text(1));
  if (!cur.statement || !cur.binds.count(key)) raiseNative(1006, "ORA-01006: bind variable does not exist");
  return cur.executed && cur.isBlock ? cur.statement->bindValue(key) : cur.binds[key];
}

Value lastErrorPosition(NativeCall& c) { return Value(cursorsOf(c).lastErrorPosition); }

}  // namespace

const std::vector<Native>& sqlNatives() {
  static const std::vector<Native> natives = {
      {"SQL.OPEN", DataType::Number, openCursor},
      {"SQL.IS_OPEN", DataType::Boolean, isOpen},
      {"SQL.CLOSE", DataType::Unknown, closeCursor},
      {"SQL.PARSE", DataType::Unknown, parse},
      {"SQL.BIND", DataType::Unknown, bindVariable},
      {"SQL.DEFINE", DataType::Unknown, defineColumn},
      {"SQL.EXECUTE", DataType::Number, execute},
      {"SQL.FETCH", DataType::Number, fetchRows},
      {"SQL.COLUMN_NUMBER", DataType::Number, columnValue},
      {"SQL.COLUMN_VARCHAR2", DataType::Varchar2, columnValue},
      {"SQL.COLUMN_DATE", DataType::Date, columnValue},
      {"SQL.VARIABLE_NUMBER", DataType::Number, variableValue},
      {"SQL.VARIABLE_VARCHAR2", DataType::Varchar2, variableValue},
      {"SQL.VARIABLE_DATE", DataType::Date, variableValue},
      {"SQL.LAST_ERROR_POSITION", DataType::Number, lastErrorPosition},
  };
  return natives;
}

const BuiltinPackage dbmsSqlPackage = {"DBMS_SQL", R"(PACKAGE dbms_sql AS
  v6 CONSTANT INTEGER := 0;
  native CONSTANT INTEGER := 1;
  v7 CONSTANT INTEGER := 2;
  foreign_syntax CONSTANT INTEGER := 4294967295;
  FUNCTION open_cursor RETURN INTEGER;
  FUNCTION is_open(c IN INTEGER) RETURN BOOLEAN;
  PROCEDURE close_cursor(c IN OUT INTEGER);
  PROCEDURE parse(c IN INTEGER, statement IN VARCHAR2, language_flag IN INTEGER);
  PROCEDURE bind_variable(c IN INTEGER, name IN VARCHAR2, value IN NUMBER);
  PROCEDURE bind_variable(c IN INTEGER, name IN VARCHAR2, value IN VARCHAR2);
  PROCEDURE bind_variable(c IN INTEGER, name IN VARCHAR2, value IN VARCHAR2, out_value_size IN INTEGER);
  PROCEDURE bind_variable(c IN INTEGER, name IN VARCHAR2, value IN DATE);
  PROCEDURE define_column(c IN INTEGER, position IN INTEGER, column IN NUMBER);
  PROCEDURE define_column(c IN INTEGER, position IN INTEGER, column IN VARCHAR2, column_size IN INTEGER);
  PROCEDURE define_column(c IN INTEGER, position IN INTEGER, column IN DATE);
  FUNCTION execute(c IN INTEGER) RETURN INTEGER;
  FUNCTION fetch_rows(c IN INTEGER) RETURN INTEGER;
  FUNCTION execute_and_fetch(c IN INTEGER, exact IN BOOLEAN DEFAULT FALSE) RETURN INTEGER;
  PROCEDURE column_value(c IN INTEGER, position IN INTEGER, value OUT NUMBER);
  PROCEDURE column_value(c IN INTEGER, position IN INTEGER, value OUT VARCHAR2);
  PROCEDURE column_value(c IN INTEGER, position IN INTEGER, value OUT DATE);
  PROCEDURE variable_value(c IN INTEGER, name IN VARCHAR2, value OUT NUMBER);
  PROCEDURE variable_value(c IN INTEGER, name IN VARCHAR2, value OUT VARCHAR2);
  PROCEDURE variable_value(c IN INTEGER, name IN VARCHAR2, value OUT DATE);
  FUNCTION last_error_position RETURN INTEGER;
END;)",
                                       R"(PACKAGE BODY dbms_sql AS
  FUNCTION open_cursor RETURN INTEGER IS BEGIN RETURN nuvo$native('SQL.OPEN'); END;
  FUNCTION is_open(c IN INTEGER) RETURN BOOLEAN IS BEGIN RETURN nuvo$native('SQL.IS_OPEN', c); END;
  PROCEDURE close_cursor(c IN OUT INTEGER) IS BEGIN nuvo$native('SQL.CLOSE', c); c := NULL; END;
  PROCEDURE parse(c IN INTEGER, statement IN VARCHAR2, language_flag IN INTEGER) IS
  BEGIN nuvo$native('SQL.PARSE', c, statement); END;
  PROCEDURE bind_variable(c IN INTEGER, name IN VARCHAR2, value IN NUMBER) IS
  BEGIN nuvo$native('SQL.BIND', c, name, value); END;
  PROCEDURE bind_variable(c IN INTEGER, name IN VARCHAR2, value IN VARCHAR2) IS
  BEGIN nuvo$native('SQL.BIND', c, name, value); END;
  PROCEDURE bind_variable(c IN INTEGER, name IN VARCHAR2, value IN VARCHAR2, out_value_size IN INTEGER) IS
  BEGIN nuvo$native('SQL.BIND', c, name, value); END;
  PROCEDURE bind_variable(c IN INTEGER, name IN VARCHAR2, value IN DATE) IS
  BEGIN nuvo$native('SQL.BIND', c, name, value); END;
  PROCEDURE define_column(c IN INTEGER, position IN INTEGER, column IN NUMBER) IS
  BEGIN nuvo$native('SQL.DEFINE', c, position); END;
  PROCEDURE define_column(c IN INTEGER, position IN INTEGER, column IN VARCHAR2, column_size IN INTEGER) IS
  BEGIN nuvo$native('SQL.DEFINE', c, position); END;
  PROCEDURE define_column(c IN INTEGER, position IN INTEGER, column IN DATE) IS
  BEGIN nuvo$native('SQL.DEFINE', c, position); END;
  FUNCTION execute(c IN INTEGER) RETURN INTEGER IS BEGIN RETURN nuvo$native('SQL.EXECUTE', c); END;
  FUNCTION fetch_rows(c IN INTEGER) RETURN INTEGER IS BEGIN RETURN nuvo$native('SQL.FETCH', c); END;
  FUNCTION execute_and_fetch(c IN INTEGER, exact IN BOOLEAN DEFAULT FALSE) RETURN INTEGER IS
    n INTEGER;
  BEGIN
    n := nuvo$native('SQL.EXECUTE', c);
    n := nuvo$native('SQL.FETCH', c);
    IF exact AND (n = 0 OR nuvo$native('SQL.FETCH', c) = 1) THEN
      RAISE TOO_MANY_ROWS;
    END IF;
    RETURN n;
  END;
  PROCEDURE column_value(c IN INTEGER, position IN INTEGER, value OUT NUMBER) IS
  BEGIN value := nuvo$native('SQL.COLUMN_NUMBER', c, position); END;
  PROCEDURE column_value(c IN INTEGER, position IN INTEGER, value OUT VARCHAR2) IS
  BEGIN value := nuvo$native('SQL.COLUMN_VARCHAR2', c, position); END;
  PROCEDURE column_value(c IN INTEGER, position IN INTEGER, value OUT DATE) IS
  BEGIN value := nuvo$native('SQL.COLUMN_DATE', c, position); END;
  PROCEDURE variable_value(c IN INTEGER, name IN VARCHAR2, value OUT NUMBER) IS
  BEGIN value := nuvo$native('SQL.VARIABLE_NUMBER', c, name); END;
  PROCEDURE variable_value(c IN INTEGER, name IN VARCHAR2, value OUT VARCHAR2) IS
  BEGIN value := nuvo$native('SQL.VARIABLE_VARCHAR2', c, name); END;
  PROCEDURE variable_value(c IN INTEGER, name IN VARCHAR2, value OUT DATE) IS
  BEGIN value := nuvo$native('SQL.VARIABLE_DATE', c, name); END;
  FUNCTION last_error_position RETURN INTEGER IS BEGIN RETURN nuvo$native('SQL.LAST_ERROR_POSITION'); END;
END;)"};

}  // namespace engine::plsql
