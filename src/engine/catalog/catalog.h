#pragma once
// The catalog: the data dictionary's base tables in the database file (the "main" database of every
// session connection), and typed lookups over them. Every name is stored as Oracle stores it (upper
// case unless it was quoted). The dictionary views (dictionary.cpp) are SQL views over these tables.
//
//   users, roles, sys_privs, role_privs, tab_privs      who may log on and do what
//   objects                                             every named object: tables, views, indexes,
//                                                       sequences, synonyms (and later PL/SQL units)
//   columns, constraints, cons_columns, indexes, ind_columns, views, sequences, synonyms, comments
//   source, errors                                      PL/SQL source lines and compile errors
//   db_links, parameters, meta                          links, instance parameters, counters
//
// A table T of schema S lives in the same file as "S.T" (storage/sqlite_util.h sqliteName), so every
// commit and every DDL is one SQLite transaction; the emitted SQL names it tableRef(S, T).

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/storage/sqlite_util.h"

namespace engine::catalog {

struct ObjectInfo {
  std::int64_t id = 0;
  std::string owner, name, type, status;
};

struct ColumnInfo {
  std::string name;
  std::string typeName;  // NUMBER, VARCHAR2, CHAR, DATE, LONG, CLOB, BLOB, RAW, ...
  DataType type = DataType::Unknown;
  int length = 0, precision = 0, scale = 0;
  bool hasPrecision = false, hasScale = false;
  bool nullable = true;
  bool charUsed = false;  // length in characters (VARCHAR2(n CHAR)); else bytes
  int charLength = 0;
  std::string defaultText;
  int position = 0;
  std::string identity;        // an identity column: "ALWAYS" or "BY DEFAULT"; else empty
  bool defaultOnNull = false;  // BY DEFAULT ON NULL: an explicit NULL takes the default too
};

struct ConstraintInfo {
  std::string owner, name, table;
  char type = 'C';  // P, U, C (check and NOT NULL), R
  std::vector<std::string> columns;
  std::string searchCondition;
  std::string rOwner, rName;
  std::string deleteRule = "NO ACTION";
  bool enabled = true;
  bool generatedName = false;
  bool deferrable = false;
  bool deferred = false;  // INITIALLY DEFERRED: checked at commit
};

struct UserInfo {
  std::int64_t id = 0;
  std::string name;
  std::string passwordDigest;  // storage/password.h: of the password as given
  std::string status;
  std::string foldedDigest;    // of the password in upper case
};

// Creates the catalog tables in a new catalog file.
void createCatalogTables(sqlite3* db);
// The tables added since the first catalog layout (the job queue, directories, schema-level types),
// also added to catalogs of earlier engines when opened.
void createJobTables(sqlite3* db);
// The tables of physical clauses, partitions and materialized views (also added to earlier catalogs).
void createStorageTables(sqlite3* db);

// The Oracle type of a catalog type name ("VARCHAR2" -> DataType::Varchar2).
DataType dataTypeOf(const std::string& typeName);

class Catalog {
 public:
  explicit Catalog(sqlite3* db);

  // Table definitions (columns, constraints, the TABLE objects found) kept between statements of a
  // session: read through the cache only inside a Compiling scope, and dropped when `generation`
  // (the database's DDL version, bumped after every DDL commits) changes or this catalog writes.
  void keepDefinitions(std::function<std::uint64_t()> generation);
  class Compiling {
   public:
    explicit Compiling(const Catalog& c);
    ~Compiling();
    Compiling(const Compiling&) = delete;
    Compiling& operator=(const Compiling&) = delete;

   private:
    const Catalog& c_;
  };

  // Objects of the table namespace: TABLE, VIEW, SEQUENCE, SYNONYM (and PL/SQL units later).
  std::optional<ObjectInfo> findObject(const std::string& owner, const std::string& name) const;
  std::optional<ObjectInfo> findObject(const std::string& owner, const std::string& name, const std::string& type) const;
  std::vector<ColumnInfo> columns(std::int64_t objectId) const;
  std::vector<ConstraintInfo> constraints(const std::string& owner, const std::string& table) const;
  std::optional<ConstraintInfo> constraint(const std::string& owner, const std::string& name) const;
  // Constraints of other tables that reference owner.table.
  std::vector<ConstraintInfo> referencingConstraints(const std::string& owner, const std::string& table) const;
  // The enabled foreign keys checked at commit.
  std::vector<ConstraintInfo> deferredConstraints() const;  // enabled and INITIALLY DEFERRED
  std::optional<std::string> viewText(const std::string& owner, const std::string& name) const;
  // Whether the view was created WITH READ ONLY.
  bool viewReadOnly(const std::string& owner, const std::string& name) const;
  // Target of a synonym: owner, name, db link.
  std::optional<std::vector<std::string>> synonymTarget(const std::string& owner, const std::string& name) const;

  std::int64_t addObject(const std::string& owner, const std::string& name, const std::string& type,
                         const std::string& now);
  void touchObject(std::int64_t id, const std::string& now);
  void removeObject(std::int64_t id);
  void addColumn(std::int64_t objectId, const ColumnInfo& c);
  void addConstraint(const ConstraintInfo& c);
  void removeConstraint(const std::string& owner, const std::string& name);
  void setConstraintEnabled(const std::string& owner, const std::string& name, bool enabled);
  // What an object depends on, replacing what was recorded before (objects that do not exist are
  // left out).
  void setDependencies(const std::string& owner, const std::string& name, const std::string& type,
                       const std::set<std::pair<std::string, std::string>>& referenced);
  // Marks INVALID whatever depends on owner.name, and whatever depends on that in turn.
  void invalidateDependants(const std::string& owner, const std::string& name);
  std::string newConstraintName();
  std::int64_t meta(const std::string& key, std::int64_t fallback) const;
  void setMeta(const std::string& key, std::int64_t value);

  std::optional<UserInfo> findUser(const std::string& name) const;
  // A private link of the user or a public link of that name (names compare upper case).
  bool dbLinkExists(const std::string& user, const std::string& link) const;
  // True when an enabled trigger fires on the table.
  bool hasTriggers(const std::string& owner, const std::string& table) const;
  bool roleExists(const std::string& name) const;
  // Direct grants, grants through roles (recursively) and grants to PUBLIC.
  bool hasSystemPrivilege(const std::string& user, const std::string& privilege) const;
  bool hasRole(const std::string& user, const std::string& role) const;
  bool hasObjectPrivilege(const std::string& user, const std::string& owner, const std::string& name,
                          const std::string& privilege) const;
  bool hasAnyObjectPrivilege(const std::string& user, const std::string& owner, const std::string& name) const;

  sqlite3* db() const { return db_; }

 private:
  struct Definitions;
  // The definitions to read and fill, when a Compiling scope is open and the generation is known.
  Definitions* definitions() const;
  void forgetDefinitions();
  // A prepared statement of the catalog's kept ones (storage::StatementCache).
  storage::Stmt read(const std::string& sql) const;

  sqlite3* db_;
  std::shared_ptr<storage::StatementCache> statements_;
  std::shared_ptr<Definitions> definitions_;
};

}  // namespace engine::catalog
