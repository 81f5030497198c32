#include "engine/catalog/dictionary.h"

#include <map>
#include <sstream>

#include "engine/storage/sqlite_util.h"

namespace engine::catalog {

namespace {

// Column lists are written compactly: "NAME:TYPE" separated by commas, where TYPE is V<n> (VARCHAR2),
// N (NUMBER), D (DATE) or L (LONG).
std::vector<Column> parseColumns(const std::string& spec) {
  std::vector<Column> out;
  std::stringstream in(spec);
  std::string item;
  while (std::getline(in, item, ',')) {
    auto colon = item.find(':');
    Column c;
    c.name = item.substr(0, colon);
    std::string type = item.substr(colon + 1);
    switch (type[0]) {
      case 'V':
        c.type = DataType::Varchar2;
        c.size = std::stoi(type.substr(1));
        break;
      case 'N': c.type = DataType::Number; break;
      case 'D': c.type = DataType::Date; break;
      case 'L': c.type = DataType::Long; break;
    }
    out.push_back(c);
  }
  return out;
}

struct Family {
  std::string suffix;        // TABLES -> ALL_TABLES, DBA_TABLES, USER_TABLES
  std::string columns;       // of the DBA_ and ALL_ views; the first is the owner
  std::string select;        // SELECT producing those columns, from alias-free catalog tables
  std::string ownerColumn;   // the DBA_ view's owner column, for the ALL_/USER_ filters
  std::string nameColumn;    // the object the row belongs to, for ALL_ visibility
  bool userKeepsOwner = false;
  bool instanceState = false;  // reads the instance file (DictionaryView::instanceState)
};

const char* kObjectsTypes = "('TABLE','VIEW','SEQUENCE','SYNONYM','INDEX','PROCEDURE','FUNCTION','PACKAGE',"
                            "'PACKAGE BODY','TRIGGER','TYPE','TYPE BODY','MATERIALIZED VIEW')";

std::vector<Family> families() {
  return {
      // Physical attributes as the DDL gave them, else the defaults of a table in a locally managed
      // tablespace; a partitioned table keeps them on its partitions.
      {"TABLES",
       "OWNER:V128,TABLE_NAME:V128,TABLESPACE_NAME:V30,CLUSTER_NAME:V128,IOT_NAME:V128,STATUS:V8,PCT_FREE:N,"
       "PCT_USED:N,INI_TRANS:N,MAX_TRANS:N,INITIAL_EXTENT:N,NEXT_EXTENT:N,MIN_EXTENTS:N,MAX_EXTENTS:N,"
       "LOGGING:V3,NUM_ROWS:N,BLOCKS:N,AVG_ROW_LEN:N,LAST_ANALYZED:D,PARTITIONED:V3,TEMPORARY:V1,NESTED:V3,"
       "COMPRESSION:V8,DROPPED:V3",
       "SELECT o.owner, o.object_name, CASE WHEN o.temporary = 'Y' OR p.object_id IS NOT NULL THEN NULL ELSE "
       "coalesce(a.tablespace_name, 'USERS') END, NULL, NULL, 'VALID', "
       "CASE WHEN p.object_id IS NULL THEN coalesce(a.pct_free, 10) END, a.pct_used, "
       "CASE WHEN p.object_id IS NULL THEN coalesce(a.ini_trans, 1) END, "
       "CASE WHEN p.object_id IS NULL THEN coalesce(a.max_trans, 255) END, "
       "CASE WHEN p.object_id IS NULL THEN coalesce(a.initial_extent, 65536) END, "
       "CASE WHEN p.object_id IS NULL THEN coalesce(a.next_extent, 1048576) END, "
       "CASE WHEN p.object_id IS NULL THEN coalesce(a.min_extents, 1) END, "
       "CASE WHEN p.object_id IS NULL THEN coalesce(a.max_extents, 2147483645) END, "
       "CASE WHEN p.object_id IS NULL THEN coalesce(a.logging, 'YES') END, s.num_rows, s.blocks, s.avg_row_len, "
       "s.last_analyzed, "
       "CASE WHEN p.object_id IS NULL THEN 'NO' ELSE 'YES' END, o.temporary, 'NO', "
       "CASE WHEN p.object_id IS NULL THEN coalesce(a.compression, 'DISABLED') END, 'NO' "
       "FROM objects o LEFT JOIN segment_attrs a ON a.object_id = o.object_id "
       "LEFT JOIN part_tables p ON p.object_id = o.object_id LEFT JOIN table_stats s ON s.object_id = o.object_id "
       "WHERE o.object_type = 'TABLE'",
       "OWNER", "TABLE_NAME"},
      {"TAB_PARTITIONS",
       "TABLE_OWNER:V128,TABLE_NAME:V128,COMPOSITE:V3,PARTITION_NAME:V128,SUBPARTITION_COUNT:N,HIGH_VALUE:L,"
       "HIGH_VALUE_LENGTH:N,PARTITION_POSITION:N,TABLESPACE_NAME:V30,PCT_FREE:N,INI_TRANS:N,LOGGING:V7,"
       "COMPRESSION:V8,NUM_ROWS:N",
       "SELECT o.owner, o.object_name, 'NO', t.partition_name, 0, t.high_value, coalesce(length(t.high_value), 0), "
       "t.partition_position, coalesce(t.tablespace_name, a.tablespace_name, 'USERS'), "
       "coalesce(t.pct_free, a.pct_free, 10), coalesce(t.ini_trans, a.ini_trans, 1), "
       "coalesce(t.logging, a.logging, 'YES'), coalesce(t.compression, a.compression, 'DISABLED'), NULL "
       "FROM tab_partitions t JOIN objects o ON o.object_id = t.object_id "
       "LEFT JOIN segment_attrs a ON a.object_id = t.object_id",
       "TABLE_OWNER", "TABLE_NAME"},
      {"PART_TABLES",
       "OWNER:V128,TABLE_NAME:V128,PARTITIONING_TYPE:V9,SUBPARTITIONING_TYPE:V9,PARTITION_COUNT:N,"
       "DEF_SUBPARTITION_COUNT:N,PARTITIONING_KEY_COUNT:N,SUBPARTITIONING_KEY_COUNT:N,STATUS:V8,"
       "DEF_TABLESPACE_NAME:V30,DEF_PCT_FREE:N,DEF_INI_TRANS:N,DEF_LOGGING:V7,DEF_COMPRESSION:V8",
       "SELECT o.owner, o.object_name, p.partitioning_type, 'NONE', (SELECT count(*) FROM tab_partitions t WHERE "
       "t.object_id = p.object_id), 0, (SELECT count(*) FROM part_key_columns k WHERE k.object_id = p.object_id), "
       "0, 'VALID', coalesce(a.tablespace_name, 'USERS'), coalesce(a.pct_free, 10), coalesce(a.ini_trans, 1), "
       "coalesce(a.logging, 'NONE'), coalesce(a.compression, 'NONE') FROM part_tables p "
       "JOIN objects o ON o.object_id = p.object_id LEFT JOIN segment_attrs a ON a.object_id = p.object_id",
       "OWNER", "TABLE_NAME"},
      {"PART_KEY_COLUMNS", "OWNER:V128,NAME:V128,OBJECT_TYPE:V18,COLUMN_NAME:V4000,COLUMN_POSITION:N",
       "SELECT o.owner, o.object_name, 'TABLE', k.column_name, k.column_position FROM part_key_columns k "
       "JOIN objects o ON o.object_id = k.object_id",
       "OWNER", "NAME"},
      // STALENESS: UNUSABLE until a deferred build is first refreshed; whether the base tables changed
      // since a refresh is not tracked (UNKNOWN).
      {"MVIEWS",
       "OWNER:V128,MVIEW_NAME:V128,CONTAINER_NAME:V128,QUERY:L,QUERY_LEN:N,UPDATABLE:V1,REWRITE_ENABLED:V1,"
       "REFRESH_MODE:V6,REFRESH_METHOD:V8,BUILD_MODE:V9,FAST_REFRESHABLE:V18,LAST_REFRESH_TYPE:V8,"
       "LAST_REFRESH_DATE:D,STALENESS:V19,STALE_SINCE:D,COMPILE_STATE:V19",
       "SELECT owner, mview_name, mview_name, query, length(query), 'N', 'N', refresh_mode, refresh_method, "
       "build_mode, 'NO', coalesce(last_refresh_type, 'NA'), last_refresh_date, "
       "CASE WHEN last_refresh_date IS NULL THEN 'UNUSABLE' ELSE 'UNKNOWN' END, NULL, 'VALID' FROM mviews",
       "OWNER", "MVIEW_NAME", true},
      {"TAB_COLUMNS",
       "OWNER:V128,TABLE_NAME:V128,COLUMN_NAME:V128,DATA_TYPE:V128,DATA_TYPE_MOD:V3,DATA_TYPE_OWNER:V128,"
       "DATA_LENGTH:N,DATA_PRECISION:N,DATA_SCALE:N,NULLABLE:V1,COLUMN_ID:N,DEFAULT_LENGTH:N,DATA_DEFAULT:L,"
       "CHAR_LENGTH:N,CHAR_USED:V1,DEFAULT_ON_NULL:V3,IDENTITY_COLUMN:V3",
       "SELECT o.owner, o.object_name, c.column_name, c.data_type, NULL, NULL, c.data_length, c.data_precision, "
       "c.data_scale, c.nullable, c.column_id, length(c.data_default), c.data_default, "
       "coalesce(c.char_length, 0), c.char_used, coalesce(c.default_on_null, 'NO'), "
       "CASE WHEN c.identity_column IS NULL THEN 'NO' ELSE 'YES' END "
       "FROM objects o JOIN columns c ON c.object_id = o.object_id WHERE o.object_type IN ('TABLE','VIEW')",
       "OWNER", "TABLE_NAME"},
      {"TAB_IDENTITY_COLS",
       "OWNER:V128,TABLE_NAME:V128,COLUMN_NAME:V128,GENERATION_TYPE:V10,SEQUENCE_NAME:V128,IDENTITY_OPTIONS:V298",
       "SELECT o.owner, o.object_name, c.column_name, c.identity_column, 'ISEQ$$_' || o.object_id, c.identity_options "
       "FROM objects o JOIN columns c ON c.object_id = o.object_id WHERE o.object_type = 'TABLE' AND "
       "c.identity_column IS NOT NULL",
       "OWNER", "TABLE_NAME"},
      {"SOURCE", "OWNER:V128,NAME:V128,TYPE:V12,LINE:N,TEXT:V4000",
       "SELECT owner, name, type, line, text FROM source", "OWNER", "NAME"},
      {"ERRORS",
       "OWNER:V128,NAME:V128,TYPE:V12,SEQUENCE:N,LINE:N,POSITION:N,TEXT:V4000,ATTRIBUTE:V9,MESSAGE_NUMBER:N",
       "SELECT owner, name, type, sequence, line, position, text, attribute, message_number FROM errors", "OWNER",
       "NAME"},
      {"TRIGGERS",
       "OWNER:V128,TRIGGER_NAME:V128,TRIGGER_TYPE:V16,TRIGGERING_EVENT:V246,TABLE_OWNER:V128,BASE_OBJECT_TYPE:V18,"
       "TABLE_NAME:V128,COLUMN_NAME:V4000,REFERENCING_NAMES:V422,WHEN_CLAUSE:V4000,STATUS:V8,DESCRIPTION:V4000,"
       "ACTION_TYPE:V11,TRIGGER_BODY:L",
       "SELECT owner, trigger_name, trigger_type, triggering_event, table_owner, 'TABLE', table_name, column_name, "
       "referencing_names, when_clause, status, description, 'PL/SQL', trigger_body FROM triggers",
       "OWNER", "TRIGGER_NAME"},
      {"PROCEDURES",
       "OWNER:V128,OBJECT_NAME:V128,PROCEDURE_NAME:V128,OBJECT_ID:N,SUBPROGRAM_ID:N,OVERLOAD:V40,OBJECT_TYPE:V13",
       "SELECT owner, object_name, procedure_name, object_id, subprogram_id, overload, object_type FROM procedures",
       "OWNER", "OBJECT_NAME"},
      {"ARGUMENTS",
       "OWNER:V128,OBJECT_NAME:V128,PACKAGE_NAME:V128,OBJECT_ID:N,OVERLOAD:V40,SUBPROGRAM_ID:N,ARGUMENT_NAME:V128,"
       "POSITION:N,SEQUENCE:N,DATA_LEVEL:N,DATA_TYPE:V30,DEFAULTED:V1,DEFAULT_VALUE:L,DEFAULT_LENGTH:N,IN_OUT:V9",
       "SELECT owner, object_name, package_name, object_id, overload, subprogram_id, argument_name, position, "
       "sequence, 0, data_type, defaulted, NULL, NULL, in_out FROM arguments",
       "OWNER", "OBJECT_NAME"},
      {"DEPENDENCIES",
       "OWNER:V128,NAME:V128,TYPE:V18,REFERENCED_OWNER:V128,REFERENCED_NAME:V128,REFERENCED_TYPE:V18,"
       "REFERENCED_LINK_NAME:V128,DEPENDENCY_TYPE:V4",
       "SELECT owner, name, type, referenced_owner, referenced_name, referenced_type, NULL, 'HARD' FROM dependencies",
       "OWNER", "NAME"},
      {"OBJECTS",
       "OWNER:V128,OBJECT_NAME:V128,SUBOBJECT_NAME:V128,OBJECT_ID:N,DATA_OBJECT_ID:N,OBJECT_TYPE:V23,CREATED:D,"
       "LAST_DDL_TIME:D,TIMESTAMP:V19,STATUS:V7,TEMPORARY:V1,GENERATED:V1,SECONDARY:V1",
       std::string("SELECT owner, object_name, NULL, object_id, CASE WHEN object_type IN ('TABLE','INDEX') THEN "
                   "object_id END, object_type, created, last_ddl_time, "
                   "strftime('%Y-%m-%d:%H:%M:%S', last_ddl_time), status, temporary, generated, 'N' FROM objects "
                   "WHERE object_type IN ") + kObjectsTypes,
       "OWNER", "OBJECT_NAME"},
      {"CONSTRAINTS",
       "OWNER:V128,CONSTRAINT_NAME:V128,CONSTRAINT_TYPE:V1,TABLE_NAME:V128,SEARCH_CONDITION:L,R_OWNER:V128,"
       "R_CONSTRAINT_NAME:V128,DELETE_RULE:V9,STATUS:V8,DEFERRABLE:V14,DEFERRED:V9,VALIDATED:V13,GENERATED:V14,"
       "BAD:V3,RELY:V4,LAST_CHANGE:D,INDEX_OWNER:V128,INDEX_NAME:V128",
       "SELECT c.owner, c.constraint_name, c.constraint_type, c.table_name, c.search_condition, c.r_owner, "
       "c.r_constraint_name, c.delete_rule, c.status, coalesce(c.deferrability, 'NOT DEFERRABLE'), "
       "coalesce(c.check_time, 'IMMEDIATE'), c.validated, c.generated, "
       "NULL, NULL, c.last_change, CASE WHEN c.constraint_type IN ('P','U') THEN c.owner END, "
       "CASE WHEN c.constraint_type IN ('P','U') THEN c.constraint_name END FROM constraints c",
       "OWNER", "TABLE_NAME"},
      {"CONS_COLUMNS", "OWNER:V128,CONSTRAINT_NAME:V128,TABLE_NAME:V128,COLUMN_NAME:V4000,POSITION:N",
       "SELECT owner, constraint_name, table_name, column_name, position FROM cons_columns", "OWNER", "TABLE_NAME",
       true},
      {"INDEXES",
       "OWNER:V128,INDEX_NAME:V128,INDEX_TYPE:V27,TABLE_OWNER:V128,TABLE_NAME:V128,TABLE_TYPE:V11,UNIQUENESS:V9,"
       "COMPRESSION:V13,TABLESPACE_NAME:V30,STATUS:V8,NUM_ROWS:N,LAST_ANALYZED:D,TEMPORARY:V1,GENERATED:V1,"
       "VISIBILITY:V9,INI_TRANS:N,MAX_TRANS:N,INITIAL_EXTENT:N,NEXT_EXTENT:N,PCT_FREE:N,LOGGING:V3,PARTITIONED:V3",
       "SELECT i.owner, i.index_name, 'NORMAL', i.table_owner, i.table_name, 'TABLE', i.uniqueness, "
       "coalesce(a.compression, 'DISABLED'), coalesce(a.tablespace_name, 'USERS'), i.status, NULL, NULL, 'N', "
       "CASE WHEN i.constraint_name IS NULL THEN 'N' ELSE 'Y' END, 'VISIBLE', coalesce(a.ini_trans, 2), "
       "coalesce(a.max_trans, 255), coalesce(a.initial_extent, 65536), coalesce(a.next_extent, 1048576), "
       "coalesce(a.pct_free, 10), coalesce(a.logging, 'YES'), 'NO' FROM indexes i "
       "LEFT JOIN objects o ON o.owner = i.owner AND o.object_name = i.index_name AND o.object_type = 'INDEX' "
       "LEFT JOIN segment_attrs a ON a.object_id = o.object_id",
       "OWNER", "TABLE_NAME"},
      {"IND_COLUMNS",
       "INDEX_OWNER:V128,INDEX_NAME:V128,TABLE_OWNER:V128,TABLE_NAME:V128,COLUMN_NAME:V4000,COLUMN_POSITION:N,"
       "COLUMN_LENGTH:N,CHAR_LENGTH:N,DESCEND:V4",
       "SELECT i.index_owner, i.index_name, i.table_owner, i.table_name, i.column_name, i.column_position, "
       "coalesce(c.data_length, 22), CASE WHEN c.data_type IN ('VARCHAR2','CHAR') THEN c.data_length ELSE 0 END, "
       "i.descend FROM ind_columns i LEFT JOIN objects o ON o.owner = i.table_owner AND o.object_name = "
       "i.table_name AND o.object_type = 'TABLE' LEFT JOIN columns c ON c.object_id = o.object_id AND "
       "c.column_name = i.column_name",
       "INDEX_OWNER", "TABLE_NAME"},
      {"VIEWS", "OWNER:V128,VIEW_NAME:V128,TEXT_LENGTH:N,TEXT:L,READ_ONLY:V1",
       "SELECT owner, view_name, length(text), text, read_only FROM views", "OWNER", "VIEW_NAME"},
      {"SEQUENCES",
       "SEQUENCE_OWNER:V128,SEQUENCE_NAME:V128,MIN_VALUE:N,MAX_VALUE:N,INCREMENT_BY:N,CYCLE_FLAG:V1,ORDER_FLAG:V1,"
       "CACHE_SIZE:N,LAST_NUMBER:N",
       // LAST_NUMBER: where the sequence has handed out values to (the instance file's mark, when it
       // was set from the catalog's number), else where DDL left it.
       "SELECT q.sequence_owner, q.sequence_name, q.min_value, q.max_value, q.increment_by, q.cycle_flag, "
       "q.order_flag, q.cache_size, coalesce(m.mark, q.last_number) FROM main.sequences q LEFT JOIN main.objects o "
       "ON o.owner = q.sequence_owner AND o.object_name = q.sequence_name AND o.object_type = 'SEQUENCE' "
       "LEFT JOIN instance.sequence_marks m ON m.object_id = o.object_id AND m.base = q.last_number",
       "SEQUENCE_OWNER", "SEQUENCE_NAME", false, true},
      {"SYNONYMS", "OWNER:V128,SYNONYM_NAME:V128,TABLE_OWNER:V128,TABLE_NAME:V128,DB_LINK:V128",
       "SELECT owner, synonym_name, table_owner, table_name, db_link FROM synonyms", "OWNER", "SYNONYM_NAME"},
      {"TAB_COMMENTS", "OWNER:V128,TABLE_NAME:V128,TABLE_TYPE:V11,COMMENTS:V4000",
       "SELECT o.owner, o.object_name, o.object_type, t.comments FROM objects o LEFT JOIN tab_comments t ON "
       "t.owner = o.owner AND t.table_name = o.object_name WHERE o.object_type IN ('TABLE','VIEW')",
       "OWNER", "TABLE_NAME"},
      {"COL_COMMENTS", "OWNER:V128,TABLE_NAME:V128,COLUMN_NAME:V128,COMMENTS:V4000",
       "SELECT o.owner, o.object_name, c.column_name, k.comments FROM objects o JOIN columns c ON c.object_id = "
       "o.object_id LEFT JOIN col_comments k ON k.owner = o.owner AND k.table_name = o.object_name AND "
       "k.column_name = c.column_name WHERE o.object_type IN ('TABLE','VIEW')",
       "OWNER", "TABLE_NAME"},
      {"DB_LINKS", "OWNER:V128,DB_LINK:V128,USERNAME:V128,HOST:V2000,CREATED:D",
       "SELECT owner, db_link, username, host, created FROM db_links", "OWNER", "DB_LINK"},
      // Schema-level object and collection types (rows written when a type compiles).
      {"TYPES",
       "OWNER:V128,TYPE_NAME:V128,TYPE_OID:V32,TYPECODE:V128,ATTRIBUTES:N,METHODS:N,PREDEFINED:V3,INCOMPLETE:V3,"
       "FINAL:V3,INSTANTIABLE:V3,PERSISTABLE:V3,SUPERTYPE_OWNER:V128,SUPERTYPE_NAME:V128,LOCAL_ATTRIBUTES:N,"
       "LOCAL_METHODS:N",
       "SELECT t.owner, t.type_name, printf('%032X', o.object_id), t.typecode, t.attributes, t.methods, 'NO', 'NO', "
       "'YES', 'YES', 'YES', NULL, NULL, NULL, NULL FROM types t JOIN objects o ON o.owner = t.owner AND "
       "o.object_name = t.type_name AND o.object_type = 'TYPE'",
       "OWNER", "TYPE_NAME"},
      {"TYPE_ATTRS",
       "OWNER:V128,TYPE_NAME:V128,ATTR_NAME:V128,ATTR_TYPE_MOD:V7,ATTR_TYPE_OWNER:V128,ATTR_TYPE_NAME:V128,"
       "LENGTH:N,PRECISION:N,SCALE:N,CHARACTER_SET_NAME:V44,ATTR_NO:N,INHERITED:V3",
       "SELECT owner, type_name, attr_name, NULL, attr_type_owner, attr_type_name, length, precision, scale, "
       "CASE WHEN attr_type_name IN ('VARCHAR2','CHAR','CLOB') THEN 'CHAR_CS' END, attr_no, 'NO' FROM type_attrs",
       "OWNER", "TYPE_NAME"},
      {"COLL_TYPES",
       "OWNER:V128,TYPE_NAME:V128,COLL_TYPE:V128,UPPER_BOUND:N,ELEM_TYPE_MOD:V7,ELEM_TYPE_OWNER:V128,"
       "ELEM_TYPE_NAME:V128,LENGTH:N,PRECISION:N,SCALE:N,CHARACTER_SET_NAME:V44,ELEM_STORAGE:V7,NULLS_STORED:V3",
       "SELECT owner, type_name, coll_type, upper_bound, NULL, elem_type_owner, elem_type_name, length, precision, "
       "scale, CASE WHEN elem_type_name IN ('VARCHAR2','CHAR','CLOB') THEN 'CHAR_CS' END, NULL, 'YES' FROM coll_types",
       "OWNER", "TYPE_NAME"},
  };
}

std::vector<DictionaryView> buildViews() {
  std::vector<DictionaryView> views;
  for (const Family& f : families()) {
    std::vector<Column> all = parseColumns(f.columns);
    std::string dba = storage::quoteName("DBA_" + f.suffix);
    std::string owner = storage::quoteName(f.ownerColumn), name = storage::quoteName(f.nameColumn);
    std::string visible = "nuvo_can_see(" + owner + ", " + name + ")";
    if (f.suffix == "SYNONYMS") visible = "(" + owner + " = 'PUBLIC' OR " + visible + ")";
    views.push_back({"DBA_" + f.suffix, all, f.select, true, f.instanceState});
    if (f.instanceState) dba = instanceViewSql(views.back());
    views.push_back({"ALL_" + f.suffix, all, "SELECT * FROM " + dba + " WHERE " + visible, false, f.instanceState});
    // USER_ views show the session user's objects and, except a few, have no owner column.
    std::vector<Column> userCols = all;
    if (!f.userKeepsOwner) userCols.erase(userCols.begin());
    std::string list;
    for (const auto& c : userCols) list += (list.empty() ? "" : ", ") + storage::quoteName(c.name);
    views.push_back({"USER_" + f.suffix, userCols, "SELECT " + list + " FROM " + dba + " WHERE " + owner + " = nuvo_user()",
                     false, f.instanceState});
  }
  auto add = [&](const std::string& name, const std::string& cols, const std::string& sql, bool dba = false) {
    views.push_back({name, parseColumns(cols), sql, dba});
  };
  add("DBA_USERS",
      "USERNAME:V128,USER_ID:N,PASSWORD:V4000,ACCOUNT_STATUS:V32,LOCK_DATE:D,EXPIRY_DATE:D,DEFAULT_TABLESPACE:V30,"
      "TEMPORARY_TABLESPACE:V30,CREATED:D,PROFILE:V128",
      "SELECT username, user_id, NULL, account_status, lock_date, NULL, default_tablespace, temporary_tablespace, "
      "created, profile FROM users",
      true);
  add("ALL_USERS", "USERNAME:V128,USER_ID:N,CREATED:D", "SELECT username, user_id, created FROM users");
  add("USER_USERS",
      "USERNAME:V128,USER_ID:N,ACCOUNT_STATUS:V32,LOCK_DATE:D,EXPIRY_DATE:D,DEFAULT_TABLESPACE:V30,"
      "TEMPORARY_TABLESPACE:V30,CREATED:D",
      "SELECT username, user_id, account_status, lock_date, NULL, default_tablespace, temporary_tablespace, created "
      "FROM users WHERE username = nuvo_user()");
  add("DBA_TAB_PRIVS", "GRANTEE:V128,OWNER:V128,TABLE_NAME:V128,GRANTOR:V128,PRIVILEGE:V40,GRANTABLE:V3,HIERARCHY:V3",
      "SELECT grantee, owner, table_name, grantor, privilege, grantable, 'NO' FROM tab_privs", true);
  add("ALL_TAB_PRIVS",
      "GRANTOR:V128,GRANTEE:V128,TABLE_SCHEMA:V128,TABLE_NAME:V128,PRIVILEGE:V40,GRANTABLE:V3,HIERARCHY:V3",
      "SELECT grantor, grantee, owner, table_name, privilege, grantable, 'NO' FROM tab_privs WHERE grantee IN "
      "(nuvo_user(), 'PUBLIC') OR owner = nuvo_user() OR grantor = nuvo_user()");
  add("USER_TAB_PRIVS", "GRANTEE:V128,OWNER:V128,TABLE_NAME:V128,GRANTOR:V128,PRIVILEGE:V40,GRANTABLE:V3,HIERARCHY:V3",
      "SELECT grantee, owner, table_name, grantor, privilege, grantable, 'NO' FROM tab_privs WHERE grantee = "
      "nuvo_user() OR owner = nuvo_user() OR grantor = nuvo_user()");
  add("DBA_ROLE_PRIVS", "GRANTEE:V128,GRANTED_ROLE:V128,ADMIN_OPTION:V3,DEFAULT_ROLE:V3",
      "SELECT grantee, granted_role, admin_option, default_role FROM role_privs", true);
  add("USER_ROLE_PRIVS", "USERNAME:V128,GRANTED_ROLE:V128,ADMIN_OPTION:V3,DEFAULT_ROLE:V3,OS_GRANTED:V3",
      "SELECT grantee, granted_role, admin_option, default_role, 'NO' FROM role_privs WHERE grantee IN "
      "(nuvo_user(), 'PUBLIC')");
  add("DBA_SYS_PRIVS", "GRANTEE:V128,PRIVILEGE:V40,ADMIN_OPTION:V3",
      "SELECT grantee, privilege, admin_option FROM sys_privs", true);
  add("USER_SYS_PRIVS", "USERNAME:V128,PRIVILEGE:V40,ADMIN_OPTION:V3",
      "SELECT grantee, privilege, admin_option FROM sys_privs WHERE grantee IN (nuvo_user(), 'PUBLIC')");
  // What the session holds: the roles granted to its user or to PUBLIC, through other roles too, and
  // the system privileges of the user, PUBLIC and those roles.
  const std::string sessionGrantees =
      "WITH RECURSIVE g(name) AS (SELECT nuvo_user() UNION SELECT 'PUBLIC' UNION "
      "SELECT granted_role FROM role_privs JOIN g ON role_privs.grantee = g.name) ";
  add("SESSION_ROLES", "ROLE:V128",
      sessionGrantees + "SELECT name FROM g WHERE name IN (SELECT role FROM roles) AND name <> 'PUBLIC'");
  add("SESSION_PRIVS", "PRIVILEGE:V40",
      sessionGrantees + "SELECT DISTINCT privilege FROM sys_privs WHERE grantee IN (SELECT name FROM g)");
  add("DBA_ROLES", "ROLE:V128,ROLE_ID:N,PASSWORD_REQUIRED:V8,AUTHENTICATION_TYPE:V11",
      "SELECT role, role_id, 'NO', 'NONE' FROM roles", true);
  add("V$VERSION", "BANNER:V80,CON_ID:N",
      "SELECT value, 0 FROM meta WHERE key LIKE 'banner%' ORDER BY key");
  // The dynamic views need SELECT ANY DICTIONARY, except V$VERSION, which every user may read.
  add("V$PARAMETER", "NUM:N,NAME:V80,TYPE:N,VALUE:V4000,DISPLAY_VALUE:V4000,ISDEFAULT:V9,DESCRIPTION:V255",
      "SELECT rowid, name, type, value, value, 'FALSE', description FROM instance.parameters WHERE name NOT LIKE 'nuvo%'",
      true);
  views.back().instanceState = true;
  const std::string sessionCols =
      "SADDR:V16,SID:N,SERIAL#:N,AUDSID:N,USERNAME:V128,STATUS:V8,SCHEMANAME:V128,OSUSER:V128,MACHINE:V64,"
      "TERMINAL:V30,PROGRAM:V84,TYPE:V10,MODULE:V64,LOGON_TIME:D,USER#:N,LAST_CALL_ET:N,ACTION:V64,CLIENT_INFO:V64,"
      "CLIENT_IDENTIFIER:V64";
  const std::string sessionSelect =
      "SELECT printf('%016X', sid), sid, serial, sid, username, CASE WHEN sid = nuvo_sid() THEN 'ACTIVE' ELSE "
      "'INACTIVE' END, schemaname, osuser, machine, terminal, program, 'USER', nuvo_sess_app(sid, 0, module), logon_time, "
      "(SELECT u.user_id FROM main.users u WHERE u.username = s.username), CASE WHEN sid = nuvo_sid() THEN 0 "
      "ELSE max(0, CAST(round((julianday(ora_sysdate()) - julianday(logon_time)) * 86400) AS INTEGER)) END, "
      "nuvo_sess_app(sid, 1, NULL), nuvo_sess_app(sid, 2, NULL), nuvo_sess_app(sid, 3, NULL) "
      "FROM instance.sessions s";
  add("V$SESSION", sessionCols, sessionSelect, true);
  views.back().instanceState = true;
  add("GV$SESSION", "INST_ID:N," + sessionCols, "SELECT 1, * FROM (" + sessionSelect + ")", true);
  views.back().instanceState = true;
  const std::string jobCols =
      "JOB:N,LOG_USER:V128,PRIV_USER:V128,SCHEMA_USER:V128,LAST_DATE:D,LAST_SEC:V8,THIS_DATE:D,THIS_SEC:V8,"
      "NEXT_DATE:D,NEXT_SEC:V8,TOTAL_TIME:N,BROKEN:V1,INTERVAL:V200,FAILURES:N,WHAT:V4000,NLS_ENV:V4000,"
      "MISC_ENV:V4000,INSTANCE:N";
  // The running jobs come from the job queue as a JSON array (nuvo_jobs_running).
  const std::string running =
      "(SELECT json_extract(value, '$.job') AS job, json_extract(value, '$.sid') AS sid, "
      "json_extract(value, '$.this_date') AS this_date FROM json_each(nuvo_jobs_running()))";
  const std::string jobSelect =
      "SELECT j.job, log_user, priv_user, schema_user, last_date, substr(last_date, 12), r.this_date, "
      "substr(r.this_date, 12), next_date, substr(next_date, 12), CAST(round(total_time) AS INTEGER), broken, "
      "interval, failures, what, nls_env, NULL, instance FROM jobs j LEFT JOIN " + running + " r ON r.job = j.job";
  add("DBA_JOBS", jobCols, jobSelect, true);
  // ALL_JOBS and USER_JOBS alike show the jobs the user submitted.
  add("ALL_JOBS", jobCols, jobSelect + " WHERE log_user = nuvo_user() OR priv_user = nuvo_user()");
  add("USER_JOBS", jobCols, jobSelect + " WHERE log_user = nuvo_user() OR priv_user = nuvo_user()");
  add("DBA_JOBS_RUNNING", "SID:N,JOB:N,FAILURES:N,LAST_DATE:D,LAST_SEC:V8,THIS_DATE:D,THIS_SEC:V8,INSTANCE:N",
      "SELECT r.sid, r.job, j.failures, j.last_date, substr(j.last_date, 12), r.this_date, substr(r.this_date, 12), "
      "0 FROM " + running + " r LEFT JOIN jobs j ON j.job = r.job",
      true);
  // Scheduler jobs: RUNNING while the job queue runs one (keyed by the job's negative id).
  const std::string schedulerCols =
      "OWNER:V128,JOB_NAME:V128,JOB_CREATOR:V128,JOB_TYPE:V16,JOB_ACTION:V4000,START_DATE:D,REPEAT_INTERVAL:V4000,"
      "END_DATE:D,JOB_CLASS:V128,ENABLED:V5,AUTO_DROP:V5,RESTARTABLE:V5,STATE:V15,RUN_COUNT:N,FAILURE_COUNT:N,"
      "MAX_FAILURES:N,LAST_START_DATE:D,LAST_RUN_DURATION:N,NEXT_RUN_DATE:D,LOGGING_LEVEL:V11,COMMENTS:V240";
  const std::string schedulerSelect =
      "SELECT owner, job_name, job_creator, job_type, job_action, start_date, repeat_interval, end_date, job_class, "
      "enabled, auto_drop, restartable, CASE WHEN r.job IS NOT NULL THEN 'RUNNING' ELSE state END, run_count, "
      "failure_count, max_failures, last_start_date, last_run_duration, next_run_date, logging_level, comments "
      "FROM scheduler_jobs j LEFT JOIN " + running + " r ON r.job = -j.id";
  add("DBA_SCHEDULER_JOBS", schedulerCols, schedulerSelect, true);
  add("ALL_SCHEDULER_JOBS", schedulerCols, schedulerSelect + " WHERE owner = nuvo_user()");
  add("USER_SCHEDULER_JOBS", schedulerCols, schedulerSelect + " WHERE owner = nuvo_user()");
  const std::string schedulerRunning =
      "SELECT j.owner, j.job_name, r.sid, r.this_date FROM " + running + " r JOIN scheduler_jobs j ON -j.id = r.job";
  add("DBA_SCHEDULER_RUNNING_JOBS", "OWNER:V128,JOB_NAME:V128,SESSION_ID:N,START_DATE:D", schedulerRunning, true);
  add("ALL_SCHEDULER_RUNNING_JOBS", "OWNER:V128,JOB_NAME:V128,SESSION_ID:N,START_DATE:D",
      schedulerRunning + " WHERE j.owner = nuvo_user()");
  const std::string detailCols =
      "LOG_ID:N,LOG_DATE:D,OWNER:V128,JOB_NAME:V128,STATUS:V30,ERROR#:N,ACTUAL_START_DATE:D,RUN_DURATION:N,"
      "SESSION_ID:N,ADDITIONAL_INFO:V4000";
  const std::string detailSelect =
      "SELECT log_id, log_date, owner, job_name, status, error_number, actual_start_date, run_duration, session_id, "
      "additional_info FROM scheduler_job_log";
  add("DBA_SCHEDULER_JOB_RUN_DETAILS", detailCols, detailSelect, true);
  add("ALL_SCHEDULER_JOB_RUN_DETAILS", detailCols, detailSelect + " WHERE owner = nuvo_user()");
  add("USER_SCHEDULER_JOB_RUN_DETAILS", detailCols, detailSelect + " WHERE owner = nuvo_user()");
  add("DBA_CONTEXT", "NAMESPACE:V128,SCHEMA:V128,PACKAGE:V128,TYPE:V22,ORIGIN_CON_ID:N",
      "SELECT namespace, schema, package, 'ACCESSED LOCALLY', 0 FROM contexts", true);
  add("DBA_DIRECTORIES", "OWNER:V128,DIRECTORY_NAME:V128,DIRECTORY_PATH:V4000,ORIGIN_CON_ID:N",
      "SELECT 'SYS', directory_name, directory_path, 0 FROM directories", true);
  add("ALL_DIRECTORIES", "OWNER:V128,DIRECTORY_NAME:V128,DIRECTORY_PATH:V4000,ORIGIN_CON_ID:N",
      "SELECT 'SYS', directory_name, directory_path, 0 FROM directories d WHERE nuvo_user() = 'SYS' OR EXISTS "
      "(SELECT 1 FROM tab_privs p WHERE p.owner = 'SYS' AND p.table_name = d.directory_name AND "
      "p.grantee IN (nuvo_user(), 'PUBLIC'))");
  add("V$DB_PIPES", "OWNERID:N,NAME:V1000,TYPE:V7,PIPE_SIZE:N",
      "SELECT u.user_id, json_extract(p.value, '$.name'), json_extract(p.value, '$.type'), "
      "json_extract(p.value, '$.size') FROM json_each(nuvo_db_pipes()) p "
      "LEFT JOIN users u ON u.username = json_extract(p.value, '$.owner')", true);
  add("V$DATABASE", "DBID:N,NAME:V9,CREATED:D,LOG_MODE:V12,OPEN_MODE:V20,DATABASE_ROLE:V16,PLATFORM_NAME:V101",
      "SELECT (SELECT value FROM meta WHERE key='dbid'), (SELECT value FROM meta WHERE key='db_name'), "
      "(SELECT created FROM users WHERE username='SYS'), 'NOARCHIVELOG', 'READ WRITE', 'PRIMARY', 'Linux x86 64-bit'", true);
  // Undo segments: the engine has none of its own; these rows show a system segment and ten online ones.
  const std::string segments =
      "WITH RECURSIVE seg(usn) AS (SELECT 0 UNION ALL SELECT usn + 1 FROM seg WHERE usn < 10) SELECT usn FROM seg";
  add("V$ROLLNAME", "USN:N,NAME:V128,CON_ID:N",
      "SELECT usn, CASE usn WHEN 0 THEN 'SYSTEM' ELSE '_SYSSMU' || usn || '$' END, 0 FROM (" + segments + ")", true);
  add("V$ROLLSTAT",
      "USN:N,LATCH:N,EXTENTS:N,RSSIZE:N,WRITES:N,XACTS:N,GETS:N,WAITS:N,OPTSIZE:N,HWMSIZE:N,SHRINKS:N,WRAPS:N,"
      "EXTENDS:N,AVESHRINK:N,AVEACTIVE:N,STATUS:V15,CUREXT:N,CURBLK:N,CON_ID:N",
      "SELECT usn, 0, 8, 4194304, 0, 0, 0, 0, NULL, 4194304, 0, 0, 0, 0, 0, 'ONLINE', 0, 0, 0 FROM (" + segments + ")",
      true);
  // The SYS tables some tools read directly: objects with their type codes, and compile errors.
  add("OBJ$", "OBJ#:N,DATAOBJ#:N,OWNER#:N,NAME:V128,NAMESPACE:N,TYPE#:N,CTIME:D,MTIME:D,STIME:D,STATUS:N",
      "SELECT o.object_id, o.object_id, u.user_id, o.object_name, o.namespace, CASE o.object_type WHEN 'INDEX' THEN 1 "
      "WHEN 'TABLE' THEN 2 WHEN 'VIEW' THEN 4 WHEN 'SYNONYM' THEN 5 WHEN 'SEQUENCE' THEN 6 WHEN 'PROCEDURE' THEN 7 "
      "WHEN 'FUNCTION' THEN 8 WHEN 'PACKAGE' THEN 9 WHEN 'PACKAGE BODY' THEN 11 WHEN 'TRIGGER' THEN 12 "
      "WHEN 'TYPE' THEN 13 WHEN 'TYPE BODY' THEN 14 ELSE 0 END, o.created, o.last_ddl_time, o.last_ddl_time, "
      "CASE o.status WHEN 'VALID' THEN 1 ELSE 5 END FROM objects o JOIN users u ON u.username = o.owner",
      true);
  add("ERROR$", "OBJ#:N,SEQUENCE#:N,LINE:N,POSITION#:N,TEXTLENGTH:N,TEXT:V4000,PROPERTY:N,ERROR#:N",
      "SELECT o.object_id, e.sequence, e.line, e.position, length(e.text), e.text, 0, e.message_number "
      "FROM errors e JOIN objects o ON o.owner = e.owner AND o.object_name = e.name AND o.object_type = e.type",
      true);
  // Commits over database links whose changes in the other database were lost (a crash between the
  // two files' commits): this side committed.
  add("DBA_2PC_PENDING",
      "LOCAL_TRAN_ID:V22,GLOBAL_TRAN_ID:V169,STATE:V16,MIXED:V3,ADVICE:V1,TRAN_COMMENT:V255,FAIL_TIME:D,"
      "FORCE_TIME:D,RETRY_TIME:D,OS_USER:V64,OS_TERMINAL:V255,HOST:V128,DB_USER:V128,COMMIT#:V16",
      "SELECT txn_id, txn_id || '.' || db_link, 'committed', 'yes', NULL, 'changes over ' || db_link || ' lost', "
      "fail_time, NULL, NULL, NULL, NULL, NULL, db_user, NULL FROM link_commits WHERE state = 'MIXED'",
      true);
  // Storage: the database's file is the USERS tablespace (the tables' own), the instance file
  // SYSTEM; TEMP and tablespaces made by CREATE TABLESPACE have no data file. Free space is the
  // file's unused pages.
  add("DBA_TABLESPACES",
      "TABLESPACE_NAME:V30,BLOCK_SIZE:N,INITIAL_EXTENT:N,NEXT_EXTENT:N,MIN_EXTENTS:N,MAX_EXTENTS:N,STATUS:V9,"
      "CONTENTS:V9,LOGGING:V9,EXTENT_MANAGEMENT:V10,ALLOCATION_TYPE:V9,SEGMENT_SPACE_MANAGEMENT:V6,BIGFILE:V3",
      "SELECT tablespace_name, (SELECT page_size FROM pragma_page_size), 65536, NULL, 1, 2147483645, 'ONLINE', contents, "
      "CASE contents WHEN 'TEMPORARY' THEN 'NOLOGGING' ELSE 'LOGGING' END, 'LOCAL', "
      "CASE contents WHEN 'TEMPORARY' THEN 'UNIFORM' ELSE 'SYSTEM' END, "
      "CASE contents WHEN 'TEMPORARY' THEN 'MANUAL' ELSE 'AUTO' END, 'NO' FROM tablespaces",
      true);
  const std::string dataFiles =
      "SELECT d.file AS file_name, CASE d.name WHEN 'main' THEN 4 ELSE 1 END AS file_id, "
      "CASE d.name WHEN 'main' THEN 'USERS' ELSE 'SYSTEM' END AS tablespace_name, "
      "nuvo_file_size(d.file) / (SELECT page_size FROM pragma_page_size) AS blocks, "
      "CASE d.name WHEN 'main' THEN (SELECT freelist_count FROM pragma_freelist_count) ELSE 0 END AS free_blocks, "
      "(SELECT page_size FROM pragma_page_size) AS block_size "
      "FROM pragma_database_list d WHERE d.name IN ('main', 'instance')";
  add("DBA_DATA_FILES",
      "FILE_NAME:V513,FILE_ID:N,TABLESPACE_NAME:V30,BYTES:N,BLOCKS:N,STATUS:V9,RELATIVE_FNO:N,AUTOEXTENSIBLE:V3,"
      "MAXBYTES:N,MAXBLOCKS:N,INCREMENT_BY:N,USER_BYTES:N,USER_BLOCKS:N,ONLINE_STATUS:V7",
      "SELECT file_name, file_id, tablespace_name, blocks * block_size, blocks, 'AVAILABLE', file_id, 'YES', "
      "34359721984, 34359721984 / block_size, 1, blocks * block_size, blocks, CASE tablespace_name WHEN 'SYSTEM' "
      "THEN 'SYSTEM' ELSE 'ONLINE' END FROM (" + dataFiles + ")",
      true);
  add("DBA_FREE_SPACE", "TABLESPACE_NAME:V30,FILE_ID:N,BLOCK_ID:N,BYTES:N,BLOCKS:N,RELATIVE_FNO:N",
      "SELECT tablespace_name, file_id, blocks - free_blocks + 1, free_blocks * block_size, free_blocks, file_id "
      "FROM (" + dataFiles + ") WHERE free_blocks > 0",
      true);
  // I/O of each session: cache hits, misses and writes of its connection, and rows read.
  add("V$SESS_IO",
      "SID:N,BLOCK_GETS:N,CONSISTENT_GETS:N,PHYSICAL_READS:N,BLOCK_CHANGES:N,CONSISTENT_CHANGES:N,CON_ID:N",
      "SELECT sid, nuvo_sess_io(sid, 0), nuvo_sess_io(sid, 1), nuvo_sess_io(sid, 2), nuvo_sess_io(sid, 3), 0, 0 "
      "FROM instance.sessions",
      true);
  views.back().instanceState = true;
  // The locks of the sessions of this process (nuvo_locks): TX and TM of the session that holds the
  // database's write lock, TX requested by those that wait for it, and DBMS_LOCK's UL locks.
  // A view stored in the file names its tables unqualified (the file may be attached under another
  // name); a view compiled inline names main's.
  auto lockRows = [](const std::string& objects) {
    return "(SELECT key, json_extract(value, '$.sid') AS sid, json_extract(value, '$.type') AS type, "
      "CASE json_extract(value, '$.type') WHEN 'TM' THEN (SELECT o.object_id FROM " + objects + " o WHERE "
      "o.owner = json_extract(value, '$.owner') AND o.object_name = json_extract(value, '$.name') AND "
      "o.object_type = 'TABLE') ELSE json_extract(value, '$.id1') END AS id1, json_extract(value, '$.id2') AS id2, "
      "json_extract(value, '$.lmode') AS lmode, json_extract(value, '$.request') AS request, "
      "json_extract(value, '$.ctime') AS ctime, json_extract(value, '$.block') AS block "
      "FROM json_each(nuvo_locks()))";
  };
  const std::string locks = lockRows("objects"), inlineLocks = lockRows("main.objects");
  add("V$LOCK", "ADDR:V16,KADDR:V16,SID:N,TYPE:V2,ID1:N,ID2:N,LMODE:N,REQUEST:N,CTIME:N,BLOCK:N",
      "SELECT printf('%016X', 65536 + sid * 256 + key), printf('%016X', 65536 + sid * 256 + key + 16), sid, type, "
      "id1, id2, lmode, request, ctime, block FROM " + locks + " WHERE id1 IS NOT NULL",
      true);
  add("V$LOCKED_OBJECT",
      "XIDUSN:N,XIDSLOT:N,XIDSQN:N,OBJECT_ID:N,SESSION_ID:N,ORACLE_USERNAME:V128,OS_USER_NAME:V128,PROCESS:V24,"
      "LOCKED_MODE:N",
      "SELECT l.sid, 0, (SELECT x.id2 FROM " + inlineLocks + " x WHERE x.sid = l.sid AND x.type = 'TX' AND "
      "x.lmode = 6), l.id1, l.sid, s.username, s.osuser, s.process, l.lmode FROM " + inlineLocks + " l JOIN "
      "instance.sessions s ON "
      "s.sid = l.sid WHERE l.type = 'TM' AND l.id1 IS NOT NULL",
      true);
  views.back().instanceState = true;
  add("V$INSTANCE", "INSTANCE_NUMBER:N,INSTANCE_NAME:V16,HOST_NAME:V64,VERSION:V17,STARTUP_TIME:D,STATUS:V12,LOGINS:V10",
      "SELECT 1, (SELECT value FROM meta WHERE key='db_name'), 'localhost', (SELECT value FROM meta WHERE "
      "key='version'), (SELECT created FROM users WHERE username='SYS'), 'OPEN', nuvo_logins()", true);
  return views;
}

}  // namespace

const std::vector<DictionaryView>& dictionaryViews() {
  static const std::vector<DictionaryView> views = buildViews();
  return views;
}

const DictionaryView* findDictionaryView(const std::string& name) {
  static const std::map<std::string, const DictionaryView*> index = [] {
    std::map<std::string, const DictionaryView*> m;
    for (const auto& v : dictionaryViews()) m[v.name] = &v;
    return m;
  }();
  auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

namespace {

std::string columnNames(const DictionaryView& v) {
  std::string cols;
  for (const auto& c : v.columns) cols += (cols.empty() ? "" : ", ") + storage::quoteName(c.name);
  return cols;
}

}  // namespace

void createDictionaryViews(sqlite3* db) {
  for (const auto& v : dictionaryViews()) {
    storage::exec(db, "DROP VIEW IF EXISTS main." + storage::quoteName(v.name));
    if (!v.instanceState)
      storage::exec(db, "CREATE VIEW " + storage::quoteName(v.name) + "(" + columnNames(v) + ") AS " + v.sql);
  }
}

bool answersOverLink(const DictionaryView& view) {
  if (view.instanceState) return false;
  auto ownFunctionsOnly = [](std::string sql) {
    for (const char* allowed : {"nuvo_user()", "nuvo_can_see("})
      for (std::size_t at; (at = sql.find(allowed)) != std::string::npos;) sql.erase(at, std::string(allowed).size());
    return sql.find("nuvo_") == std::string::npos;
  };
  if (!ownFunctionsOnly(view.sql)) return false;
  // The ALL_ and USER_ views read their DBA_ view.
  for (const auto& other : dictionaryViews())
    if (&other != &view && view.sql.find(storage::quoteName(other.name)) != std::string::npos &&
        (other.instanceState || !ownFunctionsOnly(other.sql)))
      return false;
  return true;
}

std::string instanceViewSql(const DictionaryView& v) {
  return "(WITH nuvo_view(" + columnNames(v) + ") AS (" + v.sql + ") SELECT * FROM nuvo_view)";
}

std::string bannerFor(const std::string& version) {
  int major = std::stoi(version.substr(0, version.find('.')));
  std::string edition = std::to_string(major) + (major >= 12 ? "c" : "g");
  return "Oracle Database " + edition + " Enterprise Edition Release " + version + " - Production";
}

}  // namespace engine::catalog
