// DBMS_MVIEW.REFRESH: a complete refresh of each materialized view in the list (the storage keeps
// no materialized view logs, so FAST is refused and FORCE refreshes completely). Each refresh
// commits what the session has open first and commits when done, as Oracle's does.

#include "engine/plsql/packages/native.h"
#include "engine/storage/executor.h"
#include "engine/storage/session.h"

namespace engine::plsql {

namespace {

// One name of the list: [owner.]name, quoted parts keep their case; the owner defaults to the user.
std::pair<std::string, std::string> viewName(const std::string& item, const std::string& user) {
  std::vector<std::string> parts;
  std::string part;
  bool quoted = false, wasQuoted = false;
  for (char ch : item) {
    if (ch == '"') {
      quoted = !quoted;
      wasQuoted = true;
    } else if (ch == '.' && !quoted) {
      parts.push_back(wasQuoted ? part : upperCase(trimmed(part)));
      part.clear();
      wasQuoted = false;
    } else {
      part += ch;
    }
  }
  parts.push_back(wasQuoted ? part : upperCase(trimmed(part)));
  if (parts.size() == 1) return {user, parts[0]};
  if (parts.size() == 2) return {parts[0], parts[1]};
  raiseNative(12003, "ORA-12003: materialized view \"" + item + "\" does not exist");
}

Value refresh(NativeCall& c) {
  std::string list = c.text(0), methods = trimmed(c.text(1));
  std::size_t index = 0;
  for (std::size_t start = 0; start <= list.size(); ++index) {
    std::size_t comma = list.find(',', start);
    std::string item = trimmed(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    start = comma == std::string::npos ? list.size() + 1 : comma + 1;
    if (item.empty()) continue;
    auto [owner, name] = viewName(item, c.session().user());
    // The methods go with the views in order; views beyond them use their own.
    std::string method = index < methods.size() ? std::string(1, methods[index]) : std::string();
    try {
      storage::refreshMaterializedView(c.session(), owner, name, method);
    } catch (const Error& e) {
      raiseNative(e.code(), e.message());
    }
  }
  return {};
}

}  // namespace

const std::vector<Native>& mviewNatives() {
  static const std::vector<Native> natives = {{"MVIEW.REFRESH", DataType::Unknown, refresh}};
  return natives;
}

const BuiltinPackage dbmsMviewPackage = {"DBMS_MVIEW", R"(PACKAGE dbms_mview AS
  PROCEDURE refresh(list IN VARCHAR2, method IN VARCHAR2 DEFAULT NULL, rollback_seg IN VARCHAR2 DEFAULT NULL,
                    push_deferred_rpc IN BOOLEAN DEFAULT TRUE, refresh_after_errors IN BOOLEAN DEFAULT FALSE,
                    purge_option IN BINARY_INTEGER DEFAULT 1, parallelism IN BINARY_INTEGER DEFAULT 0,
                    heap_size IN BINARY_INTEGER DEFAULT 0, atomic_refresh IN BOOLEAN DEFAULT TRUE,
                    nested IN BOOLEAN DEFAULT FALSE, out_of_place IN BOOLEAN DEFAULT FALSE,
                    skip_ext_data IN BOOLEAN DEFAULT FALSE);
END;)",
                                         R"(PACKAGE BODY dbms_mview AS
  PROCEDURE refresh(list IN VARCHAR2, method IN VARCHAR2 DEFAULT NULL, rollback_seg IN VARCHAR2 DEFAULT NULL,
                    push_deferred_rpc IN BOOLEAN DEFAULT TRUE, refresh_after_errors IN BOOLEAN DEFAULT FALSE,
                    purge_option IN BINARY_INTEGER DEFAULT 1, parallelism IN BINARY_INTEGER DEFAULT 0,
                    heap_size IN BINARY_INTEGER DEFAULT 0, atomic_refresh IN BOOLEAN DEFAULT TRUE,
                    nested IN BOOLEAN DEFAULT FALSE, out_of_place IN BOOLEAN DEFAULT FALSE,
                    skip_ext_data IN BOOLEAN DEFAULT FALSE) IS
  BEGIN
    nuvo$native('MVIEW.REFRESH', list, method);
  END;
END;)"};

}  // namespace engine::plsql
