# The dynamic performance views: V$VERSION, V$PARAMETER, V$SESSION, GV$SESSION and V$DATABASE.

# The banner carries the database's version (19.0.0.0.0 unless set otherwise)
SELECT COUNT(*) AS n FROM v$version WHERE banner LIKE 'Oracle Database %19.0.0.0.0%';
> N
> 1

# Instance parameters by lower-case name; logon passwords ignore case
SELECT name, value FROM v$parameter WHERE name = 'sec_case_sensitive_logon';
> NAME,VALUE
> sec_case_sensitive_logon,FALSE

# The session sees itself in V$SESSION, running
SELECT username, schemaname, status, type FROM v$session WHERE sid = SYS_CONTEXT('USERENV', 'SID');
> USERNAME,SCHEMANAME,STATUS,TYPE
> SYSTEM,SYSTEM,ACTIVE,USER
SELECT inst_id, username FROM gv$session WHERE sid = SYS_CONTEXT('USERENV', 'SID');
> INST_ID,USERNAME
> 1,SYSTEM
SELECT CASE WHEN COUNT(*) >= 1 THEN 'listed' END AS r FROM v$session WHERE username = 'SYSTEM' AND audsid = USERENV('SESSIONID');
> R
> listed

# V$DATABASE names the database and its state
SELECT name, open_mode FROM v$database;
> NAME,OPEN_MODE
> CONF,READ WRITE

# Plain users do not see the V$ views
CREATE USER v_user IDENTIFIED BY v_user;
GRANT CREATE SESSION TO v_user;
@connect v_user/v_user
SELECT username FROM v$session;
> ORA-00942: table or view does not exist
