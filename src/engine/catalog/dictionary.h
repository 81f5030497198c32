#pragma once
// The data dictionary and dynamic performance views (ALL_TABLES, USER_OBJECTS, V$SESSION, ...):
// SQLite views in the catalog file over the catalog tables, with the column names and Oracle types
// that Oracle's views have. Views that depend on the session call the connection's functions
// nuvo_user() (the session user) and nuvo_can_see(owner, name) (may the session see the object).

#include <sqlite3.h>

#include <string>
#include <vector>

#include "engine/engine.h"

namespace engine::catalog {

struct DictionaryView {
  std::string name;             // e.g. ALL_TABLES, V$SESSION
  std::vector<Column> columns;  // Oracle names and types
  std::string sql;              // SQLite SELECT over the catalog tables
  bool needsDba = false;        // DBA_ views: SELECT ANY DICTIONARY or the DBA role
  // Over the instance file (the session registry, the parameters): no SQLite view, since a view in
  // the database file cannot read another file; queries name it as instanceViewSql.
  bool instanceState = false;
};

// The view of that name, or nullptr.
const DictionaryView* findDictionaryView(const std::string& name);
const std::vector<DictionaryView>& dictionaryViews();

// (Re)creates every view in the catalog file (on create, and on open when the engine's set changed).
void createDictionaryViews(sqlite3* db);
// True when the view reads only the catalog file and the session's user and rights (nuvo_user,
// nuvo_can_see): another database can answer it for the user of a link.
bool answersOverLink(const DictionaryView& view);
// A view over the instance file as a subquery for FROM: its columns carry the view's column names.
std::string instanceViewSql(const DictionaryView& view);

// The text V$VERSION shows for a version such as "19.0.0.0.0".
std::string bannerFor(const std::string& version);

}  // namespace engine::catalog
