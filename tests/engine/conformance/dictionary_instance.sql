# What the administration windows read of the instance: tablespaces, their files and free space, the
# user's number, the base tables of objects and errors, and procedures' arguments.

# Tablespaces are online; the permanent ones of the database's files each have a data file of some
# size that is available (TEMP has none), and free space is counted only in tablespaces that exist
SELECT tablespace_name, status, contents FROM dba_tablespaces WHERE tablespace_name IN ('SYSTEM', 'USERS', 'TEMP') ORDER BY 1;
> TABLESPACE_NAME,STATUS,CONTENTS
> SYSTEM,ONLINE,PERMANENT
> TEMP,ONLINE,TEMPORARY
> USERS,ONLINE,PERMANENT
SELECT COUNT(*) AS n FROM dba_tablespaces t
 WHERE t.contents = 'PERMANENT' AND NOT EXISTS (SELECT 1 FROM dba_data_files f WHERE f.tablespace_name = t.tablespace_name AND f.bytes > 0 AND f.status = 'AVAILABLE');
> N
> 0
SELECT COUNT(*) AS n FROM dba_free_space s
 WHERE s.bytes < 0 OR NOT EXISTS (SELECT 1 FROM dba_tablespaces t WHERE t.tablespace_name = s.tablespace_name);
> N
> 0
# No materialized view: ALL_MVIEWS is empty
SELECT COUNT(*) AS n FROM all_mviews;
> N
> 0

# The user's number: USERENV('SCHEMAID'), GV$SESSION.USER# and ALL_USERS.USER_ID agree (SYSTEM is 5);
# LAST_CALL_ET counts seconds and is never negative
SELECT USERENV('SCHEMAID') AS id FROM dual;
> ID
> 5
SELECT COUNT(*) AS n FROM gv$session s JOIN all_users u ON u.user_id = s.user#
 WHERE s.audsid = USERENV('SESSIONID') AND u.username = USER AND s.last_call_et >= 0;
> N
> 1

# SYS.OBJ$ and SYS.ERROR$: a unit's compile errors by object number, positions in its source
# (which starts at PROCEDURE), the cause before the statement it stopped
CREATE PROCEDURE broken_p IS BEGIN x := 1; END;
/
> ORA-24344: success with compilation error
SELECT o.name, o.type#, e.line, e.position#, e.text FROM sys.obj$ o JOIN sys.error$ e ON e.obj# = o.obj#
 WHERE o.name = 'BROKEN_P' AND o.owner# = USERENV('SCHEMAID') ORDER BY e.sequence#;
> NAME,TYPE#,LINE,POSITION#,TEXT
> BROKEN_P,7,1,29,PLS-00201: identifier 'X' must be declared
> BROKEN_P,7,1,29,PL/SQL: Statement ignored

# ALL_ARGUMENTS: DEFAULTED says which arguments have a default; DEFAULT_VALUE is not filled in, as
# in Oracle
CREATE PROCEDURE with_def(a NUMBER DEFAULT 5, b VARCHAR2 := 'x', c DATE) IS BEGIN NULL; END;
/
SELECT argument_name, position, data_type, defaulted, NVL(TO_CHAR(default_value), '-') AS dv FROM all_arguments
 WHERE owner = USER AND object_name = 'WITH_DEF' ORDER BY position;
> ARGUMENT_NAME,POSITION,DATA_TYPE,DEFAULTED,DV
> A,1,NUMBER,Y,-
> B,2,VARCHAR2,Y,-
> C,3,DATE,N,-
