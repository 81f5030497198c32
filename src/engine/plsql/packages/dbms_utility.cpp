// DBMS_UTILITY (error backtraces and stacks, the call stack, clocks, name lists, COMPILE_SCHEMA),
// DBMS_APPLICATION_INFO (module, action and client info, shown in V$SESSION) and DBMS_SESSION
// (application contexts set by their trusted package, NLS settings, roles, the session's id).

#include <chrono>
#include <cstdio>
#include <ctime>

#include "engine/plsql/packages/native.h"
#include "engine/plsql/unit.h"
#include "engine/storage/database.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::plsql {

namespace {

using storage::Stmt;

// ---- DBMS_UTILITY

// The ORA-06512 lines from where the error being handled was raised to the handler: NULL outside one.
Value errorBacktrace(NativeCall& c) {
  if (!c.x.handling) return {};
  std::string text;
  for (const auto& line : c.x.handling->stack) text += line + "\n";
  return text.empty() ? Value() : Value(text);
}

Value errorStack(NativeCall& c) {
  if (!c.x.handling) return {};
  return Value(c.x.handling->message + "\n");
}

// The frames of the running PL/SQL, innermost first, without those of built-in packages.
std::string callStackLine(const Frame& frame) {
  const Unit* unit = frame.unit;
  std::string what = "anonymous block";
  if (unit && !unit->name.empty()) {
    std::string type = unit->type.empty() ? "PACKAGE BODY" : unit->type;
    if (type == "PACKAGE" && unit->body) type = "PACKAGE BODY";
    for (auto& ch : type) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    what = type + " " + unit->owner + "." + unit->name;
  }
  char line[64];
  std::snprintf(line, sizeof line, "0x%08llx%10d  ",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(unit) & 0xffffffffffull),
                frame.line);
  return line + what + "\n";
}

Value callStack(NativeCall& c) {
  std::string text = "----- PL/SQL Call Stack -----\n  object      line  object\n  handle    number  name\n";
  for (const Frame* f = c.x.frame; f; f = f->caller)
    if (!(f->unit && f->unit->builtin)) text += callStackLine(*f);
  return Value(text);
}

// Hundredths of a second from an arbitrary point, wrapping as a 32-bit count does.
Value getTime(NativeCall&) {
  auto hundredths = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch()).count() / 10;
  return Value(static_cast<std::int64_t>(hundredths % 2147483648LL));
}

Value getCpuTime(NativeCall&) {
  return Value(static_cast<std::int64_t>(static_cast<double>(std::clock()) * 100 / CLOCKS_PER_SEC));
}

// COMMA_TO_TABLE's list: names (a, "quoted", a.b.c, name@link) between commas, each kept as written.
// Returns the items, or throws ORA-20001 naming where the list went wrong.
std::vector<std::string> splitNames(const std::string& list) {
  std::vector<std::string> items;
  std::size_t i = 0, n = list.size();
  auto isSpace = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r'; };
  auto bad = [&](std::size_t at) {
    std::size_t end = list.find(',', at);
    raiseOraText(20001, "comma-separated list invalid near " + trimmed(list.substr(at, end == std::string::npos ? end : end - at)));
  };
  while (true) {
    std::size_t start = i;
    while (i < n && isSpace(list[i])) ++i;
    // One name: parts joined by dots, then an optional @link of the same kind.
    bool inLink = false;
    while (true) {
      if (i < n && list[i] == '"') {
        std::size_t close = list.find('"', i + 1);
        if (close == std::string::npos || close == i + 1) bad(i);
        i = close + 1;
      } else if (i < n && std::isalpha(static_cast<unsigned char>(list[i]))) {
        while (i < n && (std::isalnum(static_cast<unsigned char>(list[i])) || list[i] == '_' || list[i] == '$' ||
                         list[i] == '#'))
          ++i;
      } else {
        bad(i < n ? i : start);
      }
      if (i < n && list[i] == '.') {
        ++i;
        continue;
      }
      if (i < n && list[i] == '@' && !inLink) {
        inLink = true;
        ++i;
        continue;
      }
      break;
    }
    while (i < n && isSpace(list[i])) ++i;
    items.push_back(list.substr(start, i - start));
    if (i == n) break;
    if (list[i] != ',') bad(start);
    ++i;
  }
  return items;
}

struct NameList {
  std::string list;
  std::vector<std::string> items;
};

Value commaCount(NativeCall& c) {
  auto& cache = c.state<NameList>("DBMS_UTILITY.COMMA");
  cache.list = c.text(0);
  if (c.isNull(0)) raiseOraText(20001, "comma-separated list invalid near ");
  cache.items = splitNames(cache.list);
  return Value(static_cast<std::int64_t>(cache.items.size()));
}

// Item i (from 1) of the list COMMA_COUNT split last.
Value commaItem(NativeCall& c) {
  auto& cache = c.state<NameList>("DBMS_UTILITY.COMMA");
  std::int64_t i = c.integer(0);
  if (i < 1 || i > static_cast<std::int64_t>(cache.items.size())) return {};
  const std::string& item = cache.items[static_cast<std::size_t>(i - 1)];
  return item.empty() ? Value() : Value(item);
}

// COMPILE_SCHEMA's check: the schema exists, and another user's needs ALTER ANY PROCEDURE.
Value checkSchema(NativeCall& c) {
  std::string schema = c.text(0);
  Stmt s(c.session().connection(), "SELECT 1 FROM main.users WHERE username = ?1");
  s.bindAll(schema);
  if (schema.empty() || !s.step()) raiseOraText(20000, "Schema \"" + schema + "\" does not exist or insufficient privileges");
  std::string user = c.session().user();
  if (schema != user && user != "SYS" && !c.session().hasPrivilege("ALTER ANY PROCEDURE"))
    raiseOraText(20000, "Schema \"" + schema + "\" does not exist or insufficient privileges");
  return {};
}

Value dbVersion(NativeCall& c) {
  Stmt s(c.session().connection(), "SELECT value FROM main.meta WHERE key = 'version'");
  std::string version = s.step() ? s.text(0) : "19.0.0.0.0";
  return Value(version);
}

Value compatibility(NativeCall& c) { return Value(c.session().impl().parameter("compatible")); }

// ---- DBMS_APPLICATION_INFO

void publishApp(NativeCall& c) {
  auto& ctx = c.session().context();
  c.session().impl().publishSessionApp(c.session().sessionId(),
                                      {ctx.module, ctx.action, ctx.clientInfo, ctx.clientIdentifier});
}

// Values longer than the session's field are cut, as the server cuts them.
std::string fitted(NativeCall& c, std::size_t i, std::size_t max) {
  std::string text = c.text(i);
  if (text.size() > max) text.resize(max);
  return text;
}

Value setModule(NativeCall& c) {
  auto& ctx = c.session().context();
  ctx.module = fitted(c, 0, 64);
  ctx.action = fitted(c, 1, 64);
  publishApp(c);
  return {};
}

Value setAction(NativeCall& c) {
  c.session().context().action = fitted(c, 0, 64);
  publishApp(c);
  return {};
}

Value setClientInfo(NativeCall& c) {
  c.session().context().clientInfo = fitted(c, 0, 64);
  publishApp(c);
  return {};
}

Value setIdentifier(NativeCall& c) {
  c.session().context().clientIdentifier = fitted(c, 0, 64);
  publishApp(c);
  return {};
}

template <int which>
Value readApp(NativeCall& c) {
  auto& ctx = c.session().context();
  const std::string& text = which == 0 ? ctx.module : which == 1 ? ctx.action : ctx.clientInfo;
  return text.empty() ? Value() : Value(text);
}

// ---- DBMS_SESSION

// The namespace may be set only from inside the package its CREATE CONTEXT named: the innermost
// frame outside the built-in packages must run that package's code.
std::string trustedNamespace(NativeCall& c) {
  std::string space = upperCase(trimmed(c.text(0)));
  Stmt s(c.session().connection(), "SELECT schema, package FROM main.contexts WHERE namespace = ?1");
  s.bindAll(space);
  if (space.empty() || !s.step()) raiseNative(1031, Error::ora(1031).message());
  std::string schema = s.text(0), package = s.text(1);
  const Frame* f = c.x.frame;
  while (f && f->unit && f->unit->builtin) f = f->caller;
  if (!f || !f->unit || f->unit->owner != schema || f->unit->name != package)
    raiseNative(1031, Error::ora(1031).message());
  return space;
}

Value setContext(NativeCall& c) {
  std::string space = trustedNamespace(c);
  std::string attribute = upperCase(trimmed(c.text(1)));
  if (attribute.empty() || attribute.size() > 30) raiseValueError("");
  std::string value = c.text(2);
  if (value.size() > 4000) raiseValueError("character string buffer too small");
  c.session().context().contexts[space][attribute] = value;
  return {};
}

Value clearContext(NativeCall& c) {
  std::string space = trustedNamespace(c);
  auto& contexts = c.session().context().contexts;
  if (c.isNull(1)) {
    contexts.erase(space);
  } else {
    auto it = contexts.find(space);
    if (it != contexts.end()) it->second.erase(upperCase(trimmed(c.text(1))));
  }
  return {};
}

Value uniqueSessionId(NativeCall& c) {
  std::int64_t sid = c.session().sessionId();
  Stmt s(c.session().connection(), "SELECT serial FROM instance.sessions WHERE sid = ?1");
  s.bindAll(sid);
  std::int64_t serial = s.step() ? s.integer(0) : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%04llX%04llX0001", static_cast<unsigned long long>(sid & 0xffff),
                static_cast<unsigned long long>(serial & 0xffff));
  return Value(std::string(text));
}

// Roles granted to the session's user, directly or through other roles, and to PUBLIC.
bool roleGranted(NativeCall& c, const std::string& role) {
  Stmt s(c.session().connection(),
         "WITH RECURSIVE g(name) AS (SELECT ?1 UNION SELECT 'PUBLIC' UNION SELECT granted_role FROM main.role_privs "
         "JOIN g ON role_privs.grantee = g.name) SELECT 1 FROM g WHERE name = ?2 AND name IN (SELECT role FROM main.roles)");
  s.bindAll(c.session().user(), role);
  return s.step();
}

Value isRoleEnabled(NativeCall& c) {
  if (c.isNull(0)) return Value(0);
  return Value(roleGranted(c, upperCase(trimmed(c.text(0)))) ? 1 : 0);
}

// SET ROLE's list: ALL, NONE, or roles the user holds (every role granted stays enabled).
Value setRole(NativeCall& c) {
  std::string list = upperCase(trimmed(c.text(0)));
  if (list == "ALL" || list == "NONE" || list.rfind("ALL EXCEPT", 0) == 0) return {};
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    std::string role = trimmed(list.substr(start, comma == std::string::npos ? comma : comma - start));
    if (auto sp = role.find(' '); sp != std::string::npos) role.resize(sp);  // IDENTIFIED BY ...
    if (role.empty() || !roleGranted(c, role))
      raiseOraText(1924, "role '" + role + "' not granted or does not exist");
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return {};
}

}  // namespace

const std::vector<Native>& utilityNatives() {
  static const std::vector<Native> natives = {
      {"UTILITY.BACKTRACE", DataType::Varchar2, errorBacktrace},
      {"UTILITY.ERROR_STACK", DataType::Varchar2, errorStack},
      {"UTILITY.CALL_STACK", DataType::Varchar2, callStack},
      {"UTILITY.GET_TIME", DataType::Number, getTime},
      {"UTILITY.GET_CPU_TIME", DataType::Number, getCpuTime},
      {"UTILITY.COMMA_COUNT", DataType::Number, commaCount},
      {"UTILITY.COMMA_ITEM", DataType::Varchar2, commaItem},
      {"UTILITY.CHECK_SCHEMA", DataType::Unknown, checkSchema},
      {"UTILITY.DB_VERSION", DataType::Varchar2, dbVersion},
      {"UTILITY.COMPATIBILITY", DataType::Varchar2, compatibility},
      {"APPINFO.SET_MODULE", DataType::Unknown, setModule},
      {"APPINFO.SET_ACTION", DataType::Unknown, setAction},
      {"APPINFO.SET_CLIENT_INFO", DataType::Unknown, setClientInfo},
      {"APPINFO.MODULE", DataType::Varchar2, readApp<0>},
      {"APPINFO.ACTION", DataType::Varchar2, readApp<1>},
      {"APPINFO.CLIENT_INFO", DataType::Varchar2, readApp<2>},
      {"SESSION.SET_IDENTIFIER", DataType::Unknown, setIdentifier},
      {"SESSION.SET_CONTEXT", DataType::Unknown, setContext},
      {"SESSION.CLEAR_CONTEXT", DataType::Unknown, clearContext},
      {"SESSION.UNIQUE_ID", DataType::Varchar2, uniqueSessionId},
      {"SESSION.IS_ROLE_ENABLED", DataType::Boolean, isRoleEnabled},
      {"SESSION.SET_ROLE", DataType::Unknown, setRole},
  };
  return natives;
}

const BuiltinPackage dbmsUtilityPackage = {"DBMS_UTILITY", R"(PACKAGE dbms_utility AS
  TYPE uncl_array IS TABLE OF VARCHAR2(227) INDEX BY BINARY_INTEGER;
  TYPE name_array IS TABLE OF VARCHAR2(30) INDEX BY BINARY_INTEGER;
  TYPE lname_array IS TABLE OF VARCHAR2(4000) INDEX BY BINARY_INTEGER;
  TYPE number_array IS TABLE OF NUMBER INDEX BY BINARY_INTEGER;
  FUNCTION format_error_backtrace RETURN VARCHAR2;
  FUNCTION format_error_stack RETURN VARCHAR2;
  FUNCTION format_call_stack RETURN VARCHAR2;
  FUNCTION get_time RETURN NUMBER;
  FUNCTION get_cpu_time RETURN NUMBER;
  PROCEDURE comma_to_table(list IN VARCHAR2, tablen OUT BINARY_INTEGER, tab OUT uncl_array);
  PROCEDURE comma_to_table(list IN VARCHAR2, tablen OUT BINARY_INTEGER, tab OUT lname_array);
  PROCEDURE table_to_comma(tab IN uncl_array, tablen OUT BINARY_INTEGER, list OUT VARCHAR2);
  PROCEDURE table_to_comma(tab IN lname_array, tablen OUT BINARY_INTEGER, list OUT VARCHAR2);
  PROCEDURE compile_schema(schema IN VARCHAR2, compile_all IN BOOLEAN DEFAULT TRUE, reuse_settings IN BOOLEAN DEFAULT FALSE);
  PROCEDURE db_version(version OUT VARCHAR2, compatibility OUT VARCHAR2);
END;)",
                                           R"(PACKAGE BODY dbms_utility AS
  FUNCTION format_error_backtrace RETURN VARCHAR2 IS BEGIN RETURN nuvo$native('UTILITY.BACKTRACE'); END;
  FUNCTION format_error_stack RETURN VARCHAR2 IS BEGIN RETURN nuvo$native('UTILITY.ERROR_STACK'); END;
  FUNCTION format_call_stack RETURN VARCHAR2 IS BEGIN RETURN nuvo$native('UTILITY.CALL_STACK'); END;
  FUNCTION get_time RETURN NUMBER IS BEGIN RETURN nuvo$native('UTILITY.GET_TIME'); END;
  FUNCTION get_cpu_time RETURN NUMBER IS BEGIN RETURN nuvo$native('UTILITY.GET_CPU_TIME'); END;
  PROCEDURE comma_to_table(list IN VARCHAR2, tablen OUT BINARY_INTEGER, tab OUT uncl_array) IS
  BEGIN
    tablen := nuvo$native('UTILITY.COMMA_COUNT', list);
    FOR i IN 1 .. tablen LOOP
      tab(i) := nuvo$native('UTILITY.COMMA_ITEM', i);
    END LOOP;
    tab(tablen + 1) := NULL;
  END;
  PROCEDURE comma_to_table(list IN VARCHAR2, tablen OUT BINARY_INTEGER, tab OUT lname_array) IS
  BEGIN
    tablen := nuvo$native('UTILITY.COMMA_COUNT', list);
    FOR i IN 1 .. tablen LOOP
      tab(i) := nuvo$native('UTILITY.COMMA_ITEM', i);
    END LOOP;
    tab(tablen + 1) := NULL;
  END;
  PROCEDURE table_to_comma(tab IN uncl_array, tablen OUT BINARY_INTEGER, list OUT VARCHAR2) IS
    i BINARY_INTEGER := 1;
  BEGIN
    tablen := 0;
    WHILE tab.EXISTS(i) AND tab(i) IS NOT NULL LOOP
      list := CASE WHEN i > 1 THEN list || ',' END || tab(i);
      tablen := i;
      i := i + 1;
    END LOOP;
  END;
  PROCEDURE table_to_comma(tab IN lname_array, tablen OUT BINARY_INTEGER, list OUT VARCHAR2) IS
    i BINARY_INTEGER := 1;
  BEGIN
    tablen := 0;
    WHILE tab.EXISTS(i) AND tab(i) IS NOT NULL LOOP
      list := CASE WHEN i > 1 THEN list || ',' END || tab(i);
      tablen := i;
      i := i + 1;
    END LOOP;
  END;
  PROCEDURE compile_schema(schema IN VARCHAR2, compile_all IN BOOLEAN DEFAULT TRUE, reuse_settings IN BOOLEAN DEFAULT FALSE) IS
    owner_name VARCHAR2(128) := UPPER(schema);
  BEGIN
    nuvo$native('UTILITY.CHECK_SCHEMA', owner_name);
    FOR o IN (SELECT object_name, object_type FROM dba_objects
               WHERE owner = owner_name
                 AND object_type IN ('PROCEDURE', 'FUNCTION', 'PACKAGE', 'PACKAGE BODY', 'TRIGGER', 'VIEW')
                 AND (compile_all OR status <> 'VALID')
               ORDER BY DECODE(object_type, 'VIEW', 1, 'PACKAGE', 2, 'PROCEDURE', 3, 'FUNCTION', 3, 'PACKAGE BODY', 4, 5),
                        object_name) LOOP
      BEGIN
        IF o.object_type = 'PACKAGE BODY' THEN
          EXECUTE IMMEDIATE 'ALTER PACKAGE "' || owner_name || '"."' || o.object_name || '" COMPILE BODY';
        ELSE
          EXECUTE IMMEDIATE 'ALTER ' || o.object_type || ' "' || owner_name || '"."' || o.object_name || '" COMPILE';
        END IF;
      EXCEPTION
        WHEN OTHERS THEN NULL;  -- the unit stays INVALID with its errors, as ALTER ... COMPILE leaves it
      END;
    END LOOP;
  END;
  PROCEDURE db_version(version OUT VARCHAR2, compatibility OUT VARCHAR2) IS
  BEGIN
    version := nuvo$native('UTILITY.DB_VERSION');
    compatibility := nuvo$native('UTILITY.COMPATIBILITY');
  END;
END;)"};

const BuiltinPackage dbmsApplicationInfoPackage = {"DBMS_APPLICATION_INFO", R"(PACKAGE dbms_application_info AS
  PROCEDURE set_module(module_name IN VARCHAR2, action_name IN VARCHAR2);
  PROCEDURE set_action(action_name IN VARCHAR2);
  PROCEDURE set_client_info(client_info IN VARCHAR2);
  PROCEDURE read_module(module_name OUT VARCHAR2, action_name OUT VARCHAR2);
  PROCEDURE read_client_info(client_info OUT VARCHAR2);
END;)",
                                                   R"(PACKAGE BODY dbms_application_info AS
  PROCEDURE set_module(module_name IN VARCHAR2, action_name IN VARCHAR2) IS
  BEGIN nuvo$native('APPINFO.SET_MODULE', module_name, action_name); END;
  PROCEDURE set_action(action_name IN VARCHAR2) IS BEGIN nuvo$native('APPINFO.SET_ACTION', action_name); END;
  PROCEDURE set_client_info(client_info IN VARCHAR2) IS BEGIN nuvo$native('APPINFO.SET_CLIENT_INFO', client_info); END;
  PROCEDURE read_module(module_name OUT VARCHAR2, action_name OUT VARCHAR2) IS
  BEGIN
    module_name := nuvo$native('APPINFO.MODULE');
    action_name := nuvo$native('APPINFO.ACTION');
  END;
  PROCEDURE read_client_info(client_info OUT VARCHAR2) IS BEGIN client_info := nuvo$native('APPINFO.CLIENT_INFO'); END;
END;)"};

const BuiltinPackage dbmsSessionPackage = {"DBMS_SESSION", R"(PACKAGE dbms_session AS
  PROCEDURE set_context(namespace IN VARCHAR2, attribute IN VARCHAR2, value IN VARCHAR2, username IN VARCHAR2 DEFAULT NULL, client_id IN VARCHAR2 DEFAULT NULL);
  PROCEDURE clear_context(namespace IN VARCHAR2, client_id IN VARCHAR2 DEFAULT NULL, attribute IN VARCHAR2 DEFAULT NULL);
  PROCEDURE clear_all_context(namespace IN VARCHAR2);
  PROCEDURE set_identifier(client_id IN VARCHAR2);
  PROCEDURE clear_identifier;
  PROCEDURE set_nls(param IN VARCHAR2, value IN VARCHAR2);
  FUNCTION unique_session_id RETURN VARCHAR2;
  FUNCTION is_role_enabled(rolename IN VARCHAR2) RETURN BOOLEAN;
  PROCEDURE set_role(role_cmd IN VARCHAR2);
END;)",
                                           R"(PACKAGE BODY dbms_session AS
  PROCEDURE set_context(namespace IN VARCHAR2, attribute IN VARCHAR2, value IN VARCHAR2, username IN VARCHAR2 DEFAULT NULL, client_id IN VARCHAR2 DEFAULT NULL) IS
  BEGIN nuvo$native('SESSION.SET_CONTEXT', namespace, attribute, value); END;
  PROCEDURE clear_context(namespace IN VARCHAR2, client_id IN VARCHAR2 DEFAULT NULL, attribute IN VARCHAR2 DEFAULT NULL) IS
  BEGIN nuvo$native('SESSION.CLEAR_CONTEXT', namespace, attribute); END;
  PROCEDURE clear_all_context(namespace IN VARCHAR2) IS BEGIN nuvo$native('SESSION.CLEAR_CONTEXT', namespace, NULL); END;
  PROCEDURE set_identifier(client_id IN VARCHAR2) IS BEGIN nuvo$native('SESSION.SET_IDENTIFIER', client_id); END;
  PROCEDURE clear_identifier IS BEGIN nuvo$native('SESSION.SET_IDENTIFIER', NULL); END;
  PROCEDURE set_nls(param IN VARCHAR2, value IN VARCHAR2) IS
  BEGIN EXECUTE IMMEDIATE 'ALTER SESSION SET ' || param || ' = ' || value; END;
  FUNCTION unique_session_id RETURN VARCHAR2 IS BEGIN RETURN nuvo$native('SESSION.UNIQUE_ID'); END;
  FUNCTION is_role_enabled(rolename IN VARCHAR2) RETURN BOOLEAN IS BEGIN RETURN nuvo$native('SESSION.IS_ROLE_ENABLED', rolename); END;
  PROCEDURE set_role(role_cmd IN VARCHAR2) IS BEGIN nuvo$native('SESSION.SET_ROLE', role_cmd); END;
END;)"};

}  // namespace engine::plsql
