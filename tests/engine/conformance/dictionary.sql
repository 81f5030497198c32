# The data dictionary: ALL_, DBA_ and USER_ views with Oracle's column names and values.

CREATE TABLE d_parent (id NUMBER(6) CONSTRAINT d_parent_pk PRIMARY KEY, name VARCHAR2(20) NOT NULL);
CREATE TABLE d_child (id NUMBER, parent_id NUMBER, note VARCHAR2(10),
  CONSTRAINT d_child_pk PRIMARY KEY (id, parent_id),
  CONSTRAINT d_child_fk FOREIGN KEY (parent_id) REFERENCES d_parent (id) ON DELETE CASCADE,
  CONSTRAINT d_child_ck CHECK (id > 0));
CREATE INDEX d_child_note_ix ON d_child (note, parent_id);
CREATE VIEW d_view AS SELECT id, name FROM d_parent;
CREATE SEQUENCE d_seq START WITH 5 INCREMENT BY 2;
CREATE SYNONYM d_syn FOR d_parent;
COMMENT ON TABLE d_parent IS 'Parents';
COMMENT ON COLUMN d_parent.name IS 'Their name';

# TABLES
SELECT table_name FROM user_tables WHERE table_name LIKE 'D\_%' ESCAPE '\' ORDER BY table_name;
> TABLE_NAME
> D_CHILD
> D_PARENT
SELECT owner, table_name FROM all_tables WHERE table_name = 'D_PARENT';
> OWNER,TABLE_NAME
> SYSTEM,D_PARENT
SELECT owner, table_name FROM dba_tables WHERE owner = 'SYSTEM' AND table_name = 'D_CHILD';
> OWNER,TABLE_NAME
> SYSTEM,D_CHILD

# TAB_COLUMNS
SELECT table_name, column_name, data_type, data_length, data_precision, data_scale, nullable, column_id
  FROM user_tab_columns WHERE table_name = 'D_PARENT' ORDER BY column_id;
> TABLE_NAME,COLUMN_NAME,DATA_TYPE,DATA_LENGTH,DATA_PRECISION,DATA_SCALE,NULLABLE,COLUMN_ID
> D_PARENT,ID,NUMBER,22,6,0,N,1
> D_PARENT,NAME,VARCHAR2,20,,,N,2
SELECT owner, column_name FROM all_tab_columns WHERE table_name = 'D_VIEW' ORDER BY column_id;
> OWNER,COLUMN_NAME
> SYSTEM,ID
> SYSTEM,NAME
SELECT COUNT(*) AS n FROM dba_tab_columns WHERE owner = 'SYSTEM' AND table_name = 'D_CHILD';
> N
> 3

# OBJECTS: every kind, VALID, with CREATED, LAST_DDL_TIME and TIMESTAMP ('YYYY-MM-DD:HH24:MI:SS')
SELECT object_name, object_type, status FROM user_objects WHERE object_name LIKE 'D\_%' ESCAPE '\' ORDER BY object_name, object_type;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> D_CHILD,TABLE,VALID
> D_CHILD_NOTE_IX,INDEX,VALID
> D_CHILD_PK,INDEX,VALID
> D_PARENT,TABLE,VALID
> D_PARENT_PK,INDEX,VALID
> D_SEQ,SEQUENCE,VALID
> D_SYN,SYNONYM,VALID
> D_VIEW,VIEW,VALID
SELECT CASE WHEN timestamp = TO_CHAR(created, 'YYYY-MM-DD:HH24:MI:SS') THEN 'same' END AS ts,
       CASE WHEN last_ddl_time >= created AND created <= SYSDATE AND created > SYSDATE - 1 THEN 'ok' END AS times
  FROM user_objects WHERE object_name = 'D_SEQ';
> TS,TIMES
> same,ok
SELECT owner, object_type FROM all_objects WHERE object_name = 'D_VIEW';
> OWNER,OBJECT_TYPE
> SYSTEM,VIEW
SELECT COUNT(*) AS n FROM dba_objects WHERE owner = 'SYSTEM' AND object_name LIKE 'D\_%' ESCAPE '\';
> N
> 8

# CONSTRAINTS and CONS_COLUMNS; NOT NULL is a check constraint with its condition
SELECT constraint_name, constraint_type, r_constraint_name, delete_rule, status, validated, generated
  FROM user_constraints WHERE table_name = 'D_CHILD' ORDER BY constraint_name;
> CONSTRAINT_NAME,CONSTRAINT_TYPE,R_CONSTRAINT_NAME,DELETE_RULE,STATUS,VALIDATED,GENERATED
> D_CHILD_CK,C,,,ENABLED,VALIDATED,USER NAME
> D_CHILD_FK,R,D_PARENT_PK,CASCADE,ENABLED,VALIDATED,USER NAME
> D_CHILD_PK,P,,,ENABLED,VALIDATED,USER NAME
SELECT constraint_type, search_condition, generated FROM user_constraints WHERE table_name = 'D_PARENT' AND constraint_type = 'C';
> CONSTRAINT_TYPE,SEARCH_CONDITION,GENERATED
> C,"""NAME"" IS NOT NULL",GENERATED NAME
SELECT search_condition FROM user_constraints WHERE constraint_name = 'D_CHILD_CK';
> SEARCH_CONDITION
> id > 0
SELECT constraint_name, column_name, position FROM user_cons_columns WHERE table_name = 'D_CHILD' AND constraint_name <> 'D_CHILD_CK'
  ORDER BY constraint_name, position;
> CONSTRAINT_NAME,COLUMN_NAME,POSITION
> D_CHILD_FK,PARENT_ID,1
> D_CHILD_PK,ID,1
> D_CHILD_PK,PARENT_ID,2
SELECT owner, constraint_name FROM all_constraints WHERE table_name = 'D_PARENT' AND constraint_type = 'P';
> OWNER,CONSTRAINT_NAME
> SYSTEM,D_PARENT_PK
SELECT owner, column_name FROM dba_cons_columns WHERE constraint_name = 'D_PARENT_PK';
> OWNER,COLUMN_NAME
> SYSTEM,ID

# INDEXES and IND_COLUMNS: a primary key's index carries the constraint's name
SELECT index_name, index_type, table_name, uniqueness, status FROM user_indexes WHERE table_name = 'D_CHILD' ORDER BY index_name;
> INDEX_NAME,INDEX_TYPE,TABLE_NAME,UNIQUENESS,STATUS
> D_CHILD_NOTE_IX,NORMAL,D_CHILD,NONUNIQUE,VALID
> D_CHILD_PK,NORMAL,D_CHILD,UNIQUE,VALID
SELECT index_name, column_name, column_position, descend FROM user_ind_columns WHERE table_name = 'D_CHILD' ORDER BY index_name, column_position;
> INDEX_NAME,COLUMN_NAME,COLUMN_POSITION,DESCEND
> D_CHILD_NOTE_IX,NOTE,1,ASC
> D_CHILD_NOTE_IX,PARENT_ID,2,ASC
> D_CHILD_PK,ID,1,ASC
> D_CHILD_PK,PARENT_ID,2,ASC
SELECT owner, index_name FROM all_indexes WHERE table_name = 'D_PARENT';
> OWNER,INDEX_NAME
> SYSTEM,D_PARENT_PK
SELECT index_owner, column_name FROM dba_ind_columns WHERE index_name = 'D_PARENT_PK';
> INDEX_OWNER,COLUMN_NAME
> SYSTEM,ID

# VIEWS keep the query's text
SELECT view_name, text_length, text FROM user_views WHERE view_name = 'D_VIEW';
> VIEW_NAME,TEXT_LENGTH,TEXT
> D_VIEW,29,"SELECT id, name FROM d_parent"
SELECT owner, view_name FROM all_views WHERE view_name = 'D_VIEW';
> OWNER,VIEW_NAME
> SYSTEM,D_VIEW

# SEQUENCES
SELECT sequence_name, min_value, increment_by, cycle_flag, order_flag, cache_size, last_number FROM user_sequences WHERE sequence_name = 'D_SEQ';
> SEQUENCE_NAME,MIN_VALUE,INCREMENT_BY,CYCLE_FLAG,ORDER_FLAG,CACHE_SIZE,LAST_NUMBER
> D_SEQ,1,2,N,N,20,5
# After a NEXTVAL, LAST_NUMBER is the first value past the cached range
SELECT d_seq.NEXTVAL AS n FROM dual;
> N
> 5
SELECT last_number FROM user_sequences WHERE sequence_name = 'D_SEQ';
> LAST_NUMBER
> 45
SELECT sequence_owner, sequence_name FROM all_sequences WHERE sequence_name = 'D_SEQ';
> SEQUENCE_OWNER,SEQUENCE_NAME
> SYSTEM,D_SEQ

# SYNONYMS
SELECT synonym_name, table_owner, table_name, db_link FROM user_synonyms WHERE synonym_name LIKE 'D\_%' ESCAPE '\';
> SYNONYM_NAME,TABLE_OWNER,TABLE_NAME,DB_LINK
> D_SYN,SYSTEM,D_PARENT,
SELECT owner, synonym_name FROM dba_synonyms WHERE synonym_name = 'D_SYN';
> OWNER,SYNONYM_NAME
> SYSTEM,D_SYN

# USERS
SELECT username FROM user_users;
> USERNAME
> SYSTEM
SELECT username FROM all_users WHERE username = 'SYS';
> USERNAME
> SYS
SELECT username, account_status FROM dba_users WHERE username = 'SYSTEM';
> USERNAME,ACCOUNT_STATUS
> SYSTEM,OPEN

# TAB_COMMENTS and COL_COMMENTS: a row for every table and column, NULL where none was made
SELECT table_name, table_type, comments FROM user_tab_comments WHERE table_name LIKE 'D\_%' ESCAPE '\' ORDER BY table_name;
> TABLE_NAME,TABLE_TYPE,COMMENTS
> D_CHILD,TABLE,
> D_PARENT,TABLE,Parents
> D_VIEW,VIEW,
SELECT table_name, column_name, comments FROM user_col_comments WHERE table_name = 'D_PARENT' ORDER BY column_name;
> TABLE_NAME,COLUMN_NAME,COMMENTS
> D_PARENT,ID,
> D_PARENT,NAME,Their name
SELECT owner, comments FROM all_tab_comments WHERE table_name = 'D_PARENT';
> OWNER,COMMENTS
> SYSTEM,Parents
SELECT owner, comments FROM dba_col_comments WHERE table_name = 'D_PARENT' AND column_name = 'NAME';
> OWNER,COMMENTS
> SYSTEM,Their name

# DB_LINKS: none
SELECT db_link, username, host, created FROM user_db_links;
> DB_LINK,USERNAME,HOST,CREATED
SELECT owner, db_link FROM all_db_links;
> OWNER,DB_LINK
SELECT owner, db_link FROM dba_db_links;
> OWNER,DB_LINK

# TAB_PRIVS, ROLE_PRIVS and SYS_PRIVS
CREATE USER d_user IDENTIFIED BY d_user;
GRANT CREATE SESSION TO d_user;
GRANT CONNECT TO d_user;
GRANT SELECT, UPDATE ON d_parent TO d_user WITH GRANT OPTION;
SELECT grantee, owner, table_name, grantor, privilege, grantable FROM dba_tab_privs WHERE grantee = 'D_USER' ORDER BY privilege;
> GRANTEE,OWNER,TABLE_NAME,GRANTOR,PRIVILEGE,GRANTABLE
> D_USER,SYSTEM,D_PARENT,SYSTEM,SELECT,YES
> D_USER,SYSTEM,D_PARENT,SYSTEM,UPDATE,YES
SELECT grantee, privilege FROM user_tab_privs WHERE table_name = 'D_PARENT' ORDER BY privilege;
> GRANTEE,PRIVILEGE
> D_USER,SELECT
> D_USER,UPDATE
SELECT grantor, grantee, table_schema, table_name, privilege FROM all_tab_privs WHERE grantee = 'D_USER' AND privilege = 'SELECT';
> GRANTOR,GRANTEE,TABLE_SCHEMA,TABLE_NAME,PRIVILEGE
> SYSTEM,D_USER,SYSTEM,D_PARENT,SELECT
SELECT grantee, granted_role, admin_option, default_role FROM dba_role_privs WHERE grantee = 'D_USER';
> GRANTEE,GRANTED_ROLE,ADMIN_OPTION,DEFAULT_ROLE
> D_USER,CONNECT,NO,YES
SELECT grantee, privilege, admin_option FROM dba_sys_privs WHERE grantee = 'D_USER';
> GRANTEE,PRIVILEGE,ADMIN_OPTION
> D_USER,CREATE SESSION,NO
SELECT granted_role FROM user_role_privs WHERE granted_role = 'DBA';
> GRANTED_ROLE
> DBA
@connect d_user/d_user
SELECT username, granted_role FROM user_role_privs;
> USERNAME,GRANTED_ROLE
> D_USER,CONNECT
SELECT username, privilege, admin_option FROM user_sys_privs;
> USERNAME,PRIVILEGE,ADMIN_OPTION
> D_USER,CREATE SESSION,NO
SELECT owner, table_name, privilege FROM user_tab_privs ORDER BY privilege;
> OWNER,TABLE_NAME,PRIVILEGE
> SYSTEM,D_PARENT,SELECT
> SYSTEM,D_PARENT,UPDATE

# USER_ views show the user's own objects only; ALL_ views what the user may reach
SELECT COUNT(*) AS n FROM user_tables;
> N
> 0
SELECT owner, table_name FROM all_tables WHERE table_name LIKE 'D\_%' ESCAPE '\';
> OWNER,TABLE_NAME
> SYSTEM,D_PARENT
SELECT * FROM dba_users;
> ORA-00942: table or view does not exist
