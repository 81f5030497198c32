BEGIN TRANSACTION;
CREATE TABLE arguments(owner TEXT NOT NULL, object_name TEXT, package_name TEXT, object_id INTEGER,
  subprogram_id INTEGER, overload TEXT, argument_name TEXT, position INTEGER, sequence INTEGER, data_type TEXT,
  in_out TEXT, defaulted TEXT);
CREATE TABLE col_comments(owner TEXT NOT NULL, table_name TEXT NOT NULL, column_name TEXT NOT NULL,
  comments TEXT, PRIMARY KEY(owner, table_name, column_name));
CREATE TABLE columns(object_id INTEGER NOT NULL, column_id INTEGER NOT NULL, column_name TEXT NOT NULL,
  data_type TEXT NOT NULL, data_length INTEGER, data_precision INTEGER, data_scale INTEGER,
  nullable TEXT NOT NULL DEFAULT 'Y', data_default TEXT, char_length INTEGER, char_used TEXT,
  PRIMARY KEY(object_id, column_id));
INSERT INTO "columns" VALUES(70000,1,'ID','NUMBER',22,NULL,NULL,'N',NULL,0,NULL);
INSERT INTO "columns" VALUES(70000,2,'NAME','VARCHAR2',20,NULL,NULL,'N',NULL,20,'B');
INSERT INTO "columns" VALUES(70003,1,'ID','NUMBER',22,NULL,NULL,'Y',NULL,0,NULL);
INSERT INTO "columns" VALUES(70003,2,'PARENT_ID','NUMBER',22,NULL,NULL,'Y',NULL,0,NULL);
INSERT INTO "columns" VALUES(70003,3,'QTY','NUMBER',22,NULL,NULL,'Y',NULL,0,NULL);
INSERT INTO "columns" VALUES(70006,1,'X','NUMBER',22,NULL,NULL,'Y',NULL,0,NULL);
INSERT INTO "columns" VALUES(70007,1,'ID','NUMBER',22,NULL,NULL,'Y',NULL,0,NULL);
INSERT INTO "columns" VALUES(70007,2,'NAME','VARCHAR2',20,NULL,NULL,'N',NULL,20,'B');
INSERT INTO "columns" VALUES(70008,1,'D','DATE',7,NULL,NULL,'Y',NULL,0,NULL);
INSERT INTO "columns" VALUES(70008,2,'T','VARCHAR2',30,NULL,NULL,'Y',NULL,30,'B');
CREATE TABLE cons_columns(owner TEXT NOT NULL, constraint_name TEXT NOT NULL, table_name TEXT NOT NULL,
  column_name TEXT NOT NULL, position INTEGER);
INSERT INTO "cons_columns" VALUES('KADE','SYS_C0011','PARENT','ID',1);
INSERT INTO "cons_columns" VALUES('KADE','SYS_C0012','PARENT','NAME',NULL);
INSERT INTO "cons_columns" VALUES('KADE','PARENT_NAME_UK','PARENT','NAME',1);
INSERT INTO "cons_columns" VALUES('KADE','SYS_C0013','CHILD','PARENT_ID',1);
INSERT INTO "cons_columns" VALUES('KADE','SYS_C0014','CHILD','QTY',NULL);
CREATE TABLE constraints(owner TEXT NOT NULL, constraint_name TEXT NOT NULL, constraint_type TEXT NOT NULL,
  table_name TEXT NOT NULL, search_condition TEXT, r_owner TEXT, r_constraint_name TEXT, delete_rule TEXT,
  status TEXT NOT NULL DEFAULT 'ENABLED', validated TEXT DEFAULT 'VALIDATED', generated TEXT,
  last_change TEXT, PRIMARY KEY(owner, constraint_name));
INSERT INTO "constraints" VALUES('KADE','SYS_C0011','P','PARENT',NULL,NULL,NULL,NULL,'ENABLED','VALIDATED','GENERATED NAME','2026-12-11 04:08:42');
INSERT INTO "constraints" VALUES('KADE','SYS_C0012','C','PARENT','"NAME" IS NOT NULL',NULL,NULL,NULL,'ENABLED','VALIDATED','GENERATED NAME','2026-12-11 04:08:42');
INSERT INTO "constraints" VALUES('KADE','PARENT_NAME_UK','U','PARENT',NULL,NULL,NULL,NULL,'ENABLED','VALIDATED','USER NAME','2026-12-11 04:08:42');
INSERT INTO "constraints" VALUES('KADE','SYS_C0013','R','CHILD',NULL,'KADE','SYS_C0011','NO ACTION','ENABLED','VALIDATED','GENERATED NAME','2026-12-11 04:08:42');
INSERT INTO "constraints" VALUES('KADE','SYS_C0014','C','CHILD','qty > 0',NULL,NULL,NULL,'ENABLED','VALIDATED','GENERATED NAME','2026-12-11 04:08:42');
CREATE TABLE db_links(owner TEXT NOT NULL, db_link TEXT NOT NULL, username TEXT, host TEXT, created TEXT,
  PRIMARY KEY(owner, db_link));
CREATE TABLE dependencies(owner TEXT NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL, referenced_owner TEXT,
  referenced_name TEXT, referenced_type TEXT);
CREATE TABLE errors(owner TEXT NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL, sequence INTEGER,
  line INTEGER, position INTEGER, text TEXT, attribute TEXT DEFAULT 'ERROR', message_number INTEGER);
CREATE TABLE ind_columns(index_owner TEXT NOT NULL, index_name TEXT NOT NULL, table_owner TEXT NOT NULL,
  table_name TEXT NOT NULL, column_name TEXT NOT NULL, column_position INTEGER, descend TEXT DEFAULT 'ASC');
INSERT INTO "ind_columns" VALUES('KADE','SYS_C0011','KADE','PARENT','ID',1,'ASC');
INSERT INTO "ind_columns" VALUES('KADE','PARENT_NAME_UK','KADE','PARENT','NAME',1,'ASC');
INSERT INTO "ind_columns" VALUES('KADE','CHILD_QTY','KADE','CHILD','QTY',1,'DESC');
CREATE TABLE indexes(owner TEXT NOT NULL, index_name TEXT NOT NULL, table_owner TEXT NOT NULL,
  table_name TEXT NOT NULL, uniqueness TEXT NOT NULL, status TEXT DEFAULT 'VALID', constraint_name TEXT,
  PRIMARY KEY(owner, index_name));
INSERT INTO "indexes" VALUES('KADE','SYS_C0011','KADE','PARENT','UNIQUE','VALID','SYS_C0011');
INSERT INTO "indexes" VALUES('KADE','PARENT_NAME_UK','KADE','PARENT','UNIQUE','VALID','PARENT_NAME_UK');
INSERT INTO "indexes" VALUES('KADE','CHILD_QTY','KADE','CHILD','NONUNIQUE','VALID',NULL);
CREATE TABLE meta(key TEXT PRIMARY KEY, value);
INSERT INTO "meta" VALUES('durable',1);
INSERT INTO "meta" VALUES('dbid',1796962122);
INSERT INTO "meta" VALUES('db_name','OLD');
INSERT INTO "meta" VALUES('version','19.0.0.0.0');
INSERT INTO "meta" VALUES('banner1','Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production');
INSERT INTO "meta" VALUES('next_user_id',103);
INSERT INTO "meta" VALUES('next_constraint',15);
INSERT INTO "meta" VALUES('next_serial',4);
INSERT INTO "meta" VALUES('next_object_id',70009);
CREATE TABLE objects(object_id INTEGER PRIMARY KEY, owner TEXT NOT NULL, object_name TEXT NOT NULL,
  object_type TEXT NOT NULL, namespace INTEGER NOT NULL, status TEXT NOT NULL DEFAULT 'VALID',
  created TEXT NOT NULL, last_ddl_time TEXT NOT NULL, temporary TEXT DEFAULT 'N', generated TEXT DEFAULT 'N');
INSERT INTO "objects" VALUES(70000,'KADE','PARENT','TABLE',1,'VALID','2026-12-11 04:08:42','2026-12-11 04:08:42','N','N');
INSERT INTO "objects" VALUES(70001,'KADE','SYS_C0011','INDEX',4,'VALID','2026-12-11 04:08:42','2026-12-11 04:08:42','N','N');
INSERT INTO "objects" VALUES(70002,'KADE','PARENT_NAME_UK','INDEX',4,'VALID','2026-12-11 04:08:42','2026-12-11 04:08:42','N','N');
INSERT INTO "objects" VALUES(70003,'KADE','CHILD','TABLE',1,'VALID','2026-12-11 04:08:42','2026-12-11 04:08:42','N','N');
INSERT INTO "objects" VALUES(70004,'KADE','CHILD_QTY','INDEX',4,'VALID','2026-12-11 04:08:42','2026-12-11 04:08:42','N','N');
INSERT INTO "objects" VALUES(70005,'KADE','SEQ1','SEQUENCE',1,'VALID','2026-12-11 04:08:42','2026-12-11 04:08:42','N','N');
INSERT INTO "objects" VALUES(70006,'KADE','mixed Case','TABLE',1,'VALID','2026-12-11 04:08:42','2026-12-11 04:08:42','N','N');
INSERT INTO "objects" VALUES(70007,'KADE','V_CHILD','VIEW',1,'VALID','2026-12-11 04:08:42','2026-12-11 04:08:42','N','N');
INSERT INTO "objects" VALUES(70008,'ZOZURO','Z','TABLE',1,'VALID','2026-12-11 04:08:43','2026-12-11 04:08:43','N','N');
CREATE TABLE parameters(name TEXT PRIMARY KEY, value TEXT, type INTEGER DEFAULT 2, description TEXT);
INSERT INTO "parameters" VALUES('sec_case_sensitive_logon','FALSE',2,NULL);
INSERT INTO "parameters" VALUES('nls_date_format','DD-MON-RR',2,NULL);
INSERT INTO "parameters" VALUES('nls_language','AMERICAN',2,NULL);
INSERT INTO "parameters" VALUES('nls_territory','AMERICA',2,NULL);
INSERT INTO "parameters" VALUES('open_cursors','300',2,NULL);
INSERT INTO "parameters" VALUES('processes','300',2,NULL);
INSERT INTO "parameters" VALUES('db_block_size','8192',2,NULL);
INSERT INTO "parameters" VALUES('job_queue_processes','10',2,NULL);
INSERT INTO "parameters" VALUES('undo_management','AUTO',2,NULL);
INSERT INTO "parameters" VALUES('ddl_lock_timeout','0',2,NULL);
INSERT INTO "parameters" VALUES('nuvo_lock_wait_ms','3000',2,NULL);
INSERT INTO "parameters" VALUES('compatible','19.0.0',2,NULL);
CREATE TABLE procedures(owner TEXT NOT NULL, object_name TEXT NOT NULL, procedure_name TEXT, object_id INTEGER,
  subprogram_id INTEGER, overload TEXT, object_type TEXT);
CREATE TABLE role_privs(grantee TEXT NOT NULL, granted_role TEXT NOT NULL, admin_option TEXT DEFAULT 'NO',
  default_role TEXT DEFAULT 'YES', PRIMARY KEY(grantee, granted_role));
INSERT INTO "role_privs" VALUES('SYS','DBA','YES','YES');
INSERT INTO "role_privs" VALUES('SYSTEM','DBA','YES','YES');
INSERT INTO "role_privs" VALUES('KADE','CONNECT','NO','YES');
INSERT INTO "role_privs" VALUES('KADE','RESOURCE','NO','YES');
INSERT INTO "role_privs" VALUES('ZOZURO','CONNECT','NO','YES');
INSERT INTO "role_privs" VALUES('ZOZURO','RESOURCE','NO','YES');
INSERT INTO "role_privs" VALUES('NUVO_UTIL','CONNECT','NO','YES');
INSERT INTO "role_privs" VALUES('NUVO_UTIL','RESOURCE','NO','YES');
CREATE TABLE roles(role TEXT PRIMARY KEY, role_id INTEGER, oracle_maintained TEXT DEFAULT 'N');
INSERT INTO "roles" VALUES('CONNECT',NULL,'Y');
INSERT INTO "roles" VALUES('RESOURCE',NULL,'Y');
INSERT INTO "roles" VALUES('DBA',NULL,'Y');
CREATE TABLE sequences(sequence_owner TEXT NOT NULL, sequence_name TEXT NOT NULL, min_value, max_value,
  increment_by, cycle_flag TEXT, order_flag TEXT DEFAULT 'N', cache_size, last_number,
  PRIMARY KEY(sequence_owner, sequence_name));
INSERT INTO "sequences" VALUES('KADE','SEQ1',1.0,1.0e+28,1,'N','N',20,30);
CREATE TABLE sessions(sid INTEGER PRIMARY KEY, serial INTEGER, username TEXT, schemaname TEXT, osuser TEXT,
  machine TEXT, terminal TEXT, program TEXT, module TEXT, logon_time TEXT, process INTEGER);
CREATE TABLE source(owner TEXT NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL, line INTEGER NOT NULL,
  text TEXT, PRIMARY KEY(owner, name, type, line));
CREATE TABLE synonyms(owner TEXT NOT NULL, synonym_name TEXT NOT NULL, table_owner TEXT, table_name TEXT,
  db_link TEXT, PRIMARY KEY(owner, synonym_name));
CREATE TABLE sys_privs(grantee TEXT NOT NULL, privilege TEXT NOT NULL, admin_option TEXT DEFAULT 'NO',
  PRIMARY KEY(grantee, privilege));
INSERT INTO "sys_privs" VALUES('CONNECT','CREATE SESSION','NO');
INSERT INTO "sys_privs" VALUES('RESOURCE','CREATE TABLE','NO');
INSERT INTO "sys_privs" VALUES('RESOURCE','CREATE SEQUENCE','NO');
INSERT INTO "sys_privs" VALUES('RESOURCE','CREATE PROCEDURE','NO');
INSERT INTO "sys_privs" VALUES('RESOURCE','CREATE TRIGGER','NO');
INSERT INTO "sys_privs" VALUES('RESOURCE','CREATE TYPE','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE SESSION','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE ANY TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','ALTER ANY TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP ANY TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','SELECT ANY TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','INSERT ANY TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','UPDATE ANY TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','DELETE ANY TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','LOCK ANY TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE VIEW','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE ANY VIEW','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP ANY VIEW','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE SEQUENCE','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE ANY SEQUENCE','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP ANY SEQUENCE','NO');
INSERT INTO "sys_privs" VALUES('DBA','SELECT ANY SEQUENCE','NO');
INSERT INTO "sys_privs" VALUES('DBA','ALTER ANY SEQUENCE','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE SYNONYM','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE ANY SYNONYM','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP ANY SYNONYM','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE PUBLIC SYNONYM','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP PUBLIC SYNONYM','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE ANY INDEX','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP ANY INDEX','NO');
INSERT INTO "sys_privs" VALUES('DBA','ALTER ANY INDEX','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE PROCEDURE','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE ANY PROCEDURE','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP ANY PROCEDURE','NO');
INSERT INTO "sys_privs" VALUES('DBA','EXECUTE ANY PROCEDURE','NO');
INSERT INTO "sys_privs" VALUES('DBA','ALTER ANY PROCEDURE','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE TRIGGER','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE ANY TRIGGER','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP ANY TRIGGER','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE TYPE','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE USER','NO');
INSERT INTO "sys_privs" VALUES('DBA','ALTER USER','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP USER','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE ROLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP ANY ROLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','GRANT ANY ROLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','GRANT ANY PRIVILEGE','NO');
INSERT INTO "sys_privs" VALUES('DBA','GRANT ANY OBJECT PRIVILEGE','NO');
INSERT INTO "sys_privs" VALUES('DBA','ALTER SESSION','NO');
INSERT INTO "sys_privs" VALUES('DBA','ALTER SYSTEM','NO');
INSERT INTO "sys_privs" VALUES('DBA','RESTRICTED SESSION','NO');
INSERT INTO "sys_privs" VALUES('DBA','SELECT ANY DICTIONARY','NO');
INSERT INTO "sys_privs" VALUES('DBA','COMMENT ANY TABLE','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE DATABASE LINK','NO');
INSERT INTO "sys_privs" VALUES('DBA','CREATE PUBLIC DATABASE LINK','NO');
INSERT INTO "sys_privs" VALUES('DBA','DROP PUBLIC DATABASE LINK','NO');
INSERT INTO "sys_privs" VALUES('DBA','UNLIMITED TABLESPACE','NO');
INSERT INTO "sys_privs" VALUES('SYS','SYSDBA','YES');
INSERT INTO "sys_privs" VALUES('KADE','CREATE VIEW','NO');
INSERT INTO "sys_privs" VALUES('KADE','CREATE SYNONYM','NO');
INSERT INTO "sys_privs" VALUES('ZOZURO','CREATE VIEW','NO');
INSERT INTO "sys_privs" VALUES('ZOZURO','CREATE SYNONYM','NO');
INSERT INTO "sys_privs" VALUES('NUVO_UTIL','CREATE VIEW','NO');
INSERT INTO "sys_privs" VALUES('NUVO_UTIL','CREATE SYNONYM','NO');
CREATE TABLE tab_comments(owner TEXT NOT NULL, table_name TEXT NOT NULL, comments TEXT,
  PRIMARY KEY(owner, table_name));
CREATE TABLE tab_privs(grantee TEXT NOT NULL, owner TEXT NOT NULL, table_name TEXT NOT NULL, grantor TEXT,
  privilege TEXT NOT NULL, grantable TEXT DEFAULT 'NO', PRIMARY KEY(grantee, owner, table_name, privilege));
CREATE TABLE triggers(owner TEXT NOT NULL, trigger_name TEXT NOT NULL, trigger_type TEXT, triggering_event TEXT,
  table_owner TEXT, table_name TEXT, column_name TEXT, referencing_names TEXT, when_clause TEXT, status TEXT,
  description TEXT, trigger_body TEXT, timing TEXT, row_level INTEGER, events INTEGER, update_columns TEXT,
  old_name TEXT, new_name TEXT, body_offset INTEGER, when_offset INTEGER, when_end INTEGER,
  PRIMARY KEY(owner, trigger_name));
CREATE TABLE users(user_id INTEGER PRIMARY KEY, username TEXT UNIQUE NOT NULL, password TEXT, password_ci TEXT,
  account_status TEXT NOT NULL DEFAULT 'OPEN', lock_date TEXT, created TEXT NOT NULL,
  default_tablespace TEXT DEFAULT 'USERS', temporary_tablespace TEXT DEFAULT 'TEMP', profile TEXT DEFAULT 'DEFAULT');
INSERT INTO "users" VALUES(0,'SYS','08d1c3f58abda98c874db409f8ee4e399fe5656dae64081a18be5454819bd6de','08d1c3f58abda98c874db409f8ee4e399fe5656dae64081a18be5454819bd6de','OPEN',NULL,'2026-12-11 04:08:42','USERS','TEMP','DEFAULT');
INSERT INTO "users" VALUES(5,'SYSTEM','d45c0fcd05bfa6eeb06774806da3bdd85df1f837d9e81f1065d1acd6419e2c78','d45c0fcd05bfa6eeb06774806da3bdd85df1f837d9e81f1065d1acd6419e2c78','OPEN',NULL,'2026-12-11 04:08:42','USERS','TEMP','DEFAULT');
INSERT INTO "users" VALUES(100,'KADE','6e60f707776f501de6b01125ad1319bd04d7b8ddc2f1c7439ad4660ca3e9782e','6e60f707776f501de6b01125ad1319bd04d7b8ddc2f1c7439ad4660ca3e9782e','OPEN',NULL,'2026-12-11 04:08:42','USERS','TEMP','DEFAULT');
INSERT INTO "users" VALUES(101,'ZOZURO','7dd93862bca340c4ed3c3c770beda8028e8c7bcc70639bc3e8473690c7602bff','7dd93862bca340c4ed3c3c770beda8028e8c7bcc70639bc3e8473690c7602bff','OPEN',NULL,'2026-12-11 04:08:42','USERS','TEMP','DEFAULT');
INSERT INTO "users" VALUES(102,'NUVO_UTIL','ed316e03230d76d1e9303466b5e4355f4b3f4ae1b54a8f72811b723227979637','ed316e03230d76d1e9303466b5e4355f4b3f4ae1b54a8f72811b723227979637','OPEN',NULL,'2026-12-11 04:08:42','USERS','TEMP','DEFAULT');
CREATE TABLE views(owner TEXT NOT NULL, view_name TEXT NOT NULL, text TEXT, PRIMARY KEY(owner, view_name));
INSERT INTO "views" VALUES('KADE','V_CHILD','select c.id, p.name from kade.child c join kade.parent p on p.id = c.parent_id');
CREATE UNIQUE INDEX objects_name ON objects(owner, object_name, namespace);
COMMIT;
