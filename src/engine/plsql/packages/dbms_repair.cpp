// DBMS_REPAIR, as far as the table-repair window calls it. The engine's storage has no blocks to mark:
// CHECK_OBJECT runs the storage's own integrity check and reports each problem it finds as one
// corrupt block; FIX_CORRUPT_BLOCKS then has nothing it could mark (0); SKIP_CORRUPT_BLOCKS and
// REBUILD_FREELISTS check that the object exists and change nothing. ADMIN_TABLES creates and drops
// the repair and orphan key tables in the caller's schema.

#include <cctype>
#include <cstdio>

#include "engine/plsql/packages/native.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace engine::plsql {

namespace {

// The number of problems the storage's integrity check reports (0 when all is well).
Value integrityProblems(NativeCall& c) {
  std::int64_t problems = 0;
  storage::Stmt databases(c.session().connection(), "SELECT name FROM pragma_database_list");
  std::vector<std::string> names;
  while (databases.step()) names.push_back(databases.text(0));
  for (const auto& name : names) {
    storage::Stmt check(c.session().connection(), "PRAGMA " + storage::quoteName(name) + ".quick_check");
    while (check.step())
      if (check.text(0) != "ok") ++problems;
  }
  return Value(problems);
}

std::string upperName(NativeCall& c, std::size_t i) { return upperCase(c.text(i)); }

// ORA-00942 unless the object exists and the session may see it.
Value mustExist(NativeCall& c) {
  std::string owner = upperName(c, 0), name = upperName(c, 1);
  auto object = c.session().catalog().findObject(owner, name);
  if (!object || (object->type != "TABLE" && object->type != "INDEX") ||
      (owner != c.session().user() && !c.session().mayUse(owner, name, "SELECT") && !c.session().hasPrivilege("SELECT ANY TABLE")))
    raiseNative(942, Error::ora(942).message());
  return {};
}

// Oracle's own DBMS_REPAIR errors (ORA-24124 ...), beyond RAISE_APPLICATION_ERROR's range.
Value fail(NativeCall& c) { raiseOraText(static_cast<int>(c.integer(0)), c.text(1)); }

// A table name as it goes into DDL: a plain identifier, upper case (ORA-44003 otherwise).
Value plainName(NativeCall& c) {
  std::string name = upperName(c, 0);
  bool ok = !name.empty() && name.size() <= 128 && std::isalpha(static_cast<unsigned char>(name[0]));
  for (char ch : name) ok = ok && (std::isalnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '$' || ch == '#');
  if (!ok) raiseNative(44003, "ORA-44003: invalid SQL name");
  return Value(name);
}

}  // namespace

const std::vector<Native>& repairNatives() {
  static const std::vector<Native> natives = {{"REPAIR.CHECK", DataType::Number, integrityProblems},
                                              {"REPAIR.EXISTS", DataType::Unknown, mustExist},
                                              {"REPAIR.NAME", DataType::Varchar2, plainName},
                                              {"REPAIR.FAIL", DataType::Unknown, fail}};
  return natives;
}

const BuiltinPackage dbmsRepairPackage = {"DBMS_REPAIR", R"(PACKAGE dbms_repair AS
  table_object CONSTANT BINARY_INTEGER := 1;
  index_object CONSTANT BINARY_INTEGER := 2;
  cluster_object CONSTANT BINARY_INTEGER := 4;
  skip_flag CONSTANT BINARY_INTEGER := 1;
  noskip_flag CONSTANT BINARY_INTEGER := 2;
  create_action CONSTANT BINARY_INTEGER := 1;
  purge_action CONSTANT BINARY_INTEGER := 2;
  drop_action CONSTANT BINARY_INTEGER := 3;
  repair_table CONSTANT BINARY_INTEGER := 1;
  orphan_table CONSTANT BINARY_INTEGER := 2;
  all_free_list CONSTANT BINARY_INTEGER := 0;
  PROCEDURE admin_tables(table_name IN VARCHAR2 DEFAULT 'GENERIC_REPAIR_TABLE', table_type IN BINARY_INTEGER,
                         action IN BINARY_INTEGER, tablespace IN VARCHAR2 DEFAULT NULL);
  PROCEDURE check_object(schema_name IN VARCHAR2, object_name IN VARCHAR2, partition_name IN VARCHAR2 DEFAULT NULL,
                         object_type IN BINARY_INTEGER DEFAULT 1, repair_table_name IN VARCHAR2 DEFAULT 'REPAIR_TABLE',
                         flags IN BINARY_INTEGER DEFAULT NULL, relative_fno IN BINARY_INTEGER DEFAULT NULL,
                         block_start IN BINARY_INTEGER DEFAULT NULL, block_end IN BINARY_INTEGER DEFAULT NULL,
                         corrupt_count OUT BINARY_INTEGER);
  PROCEDURE fix_corrupt_blocks(schema_name IN VARCHAR2, object_name IN VARCHAR2, partition_name IN VARCHAR2 DEFAULT NULL,
                               object_type IN BINARY_INTEGER DEFAULT 1, repair_table_name IN VARCHAR2 DEFAULT 'REPAIR_TABLE',
                               flags IN BINARY_INTEGER DEFAULT NULL, fix_count OUT BINARY_INTEGER);
  PROCEDURE skip_corrupt_blocks(schema_name IN VARCHAR2, object_name IN VARCHAR2, object_type IN BINARY_INTEGER DEFAULT 1,
                                flags IN BINARY_INTEGER DEFAULT 1);
  PROCEDURE rebuild_freelists(schema_name IN VARCHAR2, object_name IN VARCHAR2, partition_name IN VARCHAR2 DEFAULT NULL,
                              object_type IN BINARY_INTEGER DEFAULT 1, freelist_group IN BINARY_INTEGER DEFAULT 0);
END;)",
                                          R"(PACKAGE BODY dbms_repair AS
  PROCEDURE must_exist(schema_name IN VARCHAR2, object_name IN VARCHAR2) IS
  BEGIN
    nuvo$native('REPAIR.EXISTS', schema_name, object_name);
  END;
  PROCEDURE admin_tables(table_name IN VARCHAR2 DEFAULT 'GENERIC_REPAIR_TABLE', table_type IN BINARY_INTEGER,
                         action IN BINARY_INTEGER, tablespace IN VARCHAR2 DEFAULT NULL) IS
    name VARCHAR2(128) := nuvo$native('REPAIR.NAME', table_name);
  BEGIN
    IF table_type = repair_table AND name NOT LIKE 'REPAIR\_%' ESCAPE '\' THEN
      nuvo$native('REPAIR.FAIL', 24129, 'table name ' || name || ' does not start with REPAIR_ prefix');
    ELSIF table_type = orphan_table AND name NOT LIKE 'ORPHAN\_%' ESCAPE '\' THEN
      nuvo$native('REPAIR.FAIL', 24129, 'table name ' || name || ' does not start with ORPHAN_ prefix');
    ELSIF table_type NOT IN (repair_table, orphan_table) THEN
      nuvo$native('REPAIR.FAIL', 24124, 'invalid TABLE_TYPE parameter passed to DBMS_REPAIR.ADMIN_TABLES');
    END IF;
    IF action = create_action AND table_type = repair_table THEN
      EXECUTE IMMEDIATE 'CREATE TABLE ' || name || ' (object_id NUMBER NOT NULL, tablespace_id NUMBER NOT NULL, '
        || 'relative_file_id NUMBER NOT NULL, block_id NUMBER NOT NULL, corrupt_type NUMBER NOT NULL, '
        || 'schema_name VARCHAR2(128) NOT NULL, object_name VARCHAR2(128) NOT NULL, baseobj_name VARCHAR2(128), '
        || 'partition_name VARCHAR2(128), corrupt_description VARCHAR2(2000), repair_description VARCHAR2(200), '
        || 'marked_corrupt VARCHAR2(10) NOT NULL, check_timestamp DATE NOT NULL, fix_timestamp DATE, '
        || 'reformat_timestamp DATE)';
    ELSIF action = create_action THEN
      EXECUTE IMMEDIATE 'CREATE TABLE ' || name || ' (schema_name VARCHAR2(128) NOT NULL, index_name VARCHAR2(128) NOT NULL, '
        || 'ipart_name VARCHAR2(128), index_id NUMBER NOT NULL, table_name VARCHAR2(128) NOT NULL, '
        || 'part_name VARCHAR2(128), table_id NUMBER NOT NULL, keyrowid ROWID NOT NULL, key ROWID NOT NULL, '
        || 'dump_timestamp DATE NOT NULL)';
    ELSIF action = purge_action THEN
      EXECUTE IMMEDIATE 'DELETE FROM ' || name;
    ELSIF action = drop_action THEN
      EXECUTE IMMEDIATE 'DROP TABLE ' || name;
    ELSE
      nuvo$native('REPAIR.FAIL', 24125, 'invalid ACTION parameter passed to DBMS_REPAIR.ADMIN_TABLES');
    END IF;
  END;
  PROCEDURE check_object(schema_name IN VARCHAR2, object_name IN VARCHAR2, partition_name IN VARCHAR2 DEFAULT NULL,
                         object_type IN BINARY_INTEGER DEFAULT 1, repair_table_name IN VARCHAR2 DEFAULT 'REPAIR_TABLE',
                         flags IN BINARY_INTEGER DEFAULT NULL, relative_fno IN BINARY_INTEGER DEFAULT NULL,
                         block_start IN BINARY_INTEGER DEFAULT NULL, block_end IN BINARY_INTEGER DEFAULT NULL,
                         corrupt_count OUT BINARY_INTEGER) IS
  BEGIN
    must_exist(schema_name, object_name);
    corrupt_count := nuvo$native('REPAIR.CHECK');
  END;
  PROCEDURE fix_corrupt_blocks(schema_name IN VARCHAR2, object_name IN VARCHAR2, partition_name IN VARCHAR2 DEFAULT NULL,
                               object_type IN BINARY_INTEGER DEFAULT 1, repair_table_name IN VARCHAR2 DEFAULT 'REPAIR_TABLE',
                               flags IN BINARY_INTEGER DEFAULT NULL, fix_count OUT BINARY_INTEGER) IS
  BEGIN
    must_exist(schema_name, object_name);
    fix_count := 0;
  END;
  PROCEDURE skip_corrupt_blocks(schema_name IN VARCHAR2, object_name IN VARCHAR2, object_type IN BINARY_INTEGER DEFAULT 1,
                                flags IN BINARY_INTEGER DEFAULT 1) IS
  BEGIN
    must_exist(schema_name, object_name);
  END;
  PROCEDURE rebuild_freelists(schema_name IN VARCHAR2, object_name IN VARCHAR2, partition_name IN VARCHAR2 DEFAULT NULL,
                              object_type IN BINARY_INTEGER DEFAULT 1, freelist_group IN BINARY_INTEGER DEFAULT 0) IS
  BEGIN
    must_exist(schema_name, object_name);
  END;
END;)"};

}  // namespace engine::plsql
