# DBMS_APPLICATION_INFO: what a session sets is read back and shown in V$SESSION and USERENV
BEGIN
  DBMS_APPLICATION_INFO.SET_MODULE('payroll', 'load');
  DBMS_APPLICATION_INFO.SET_CLIENT_INFO('batch 7');
END;
/
SELECT module, action, client_info FROM v$session WHERE sid = SYS_CONTEXT('USERENV', 'SID');
> MODULE,ACTION,CLIENT_INFO
> payroll,load,batch 7
SELECT SYS_CONTEXT('USERENV', 'MODULE') m, SYS_CONTEXT('USERENV', 'ACTION') a,
       SYS_CONTEXT('USERENV', 'CLIENT_INFO') c FROM dual;
> M,A,C
> payroll,load,batch 7
DECLARE
  m VARCHAR2(64);
  a VARCHAR2(64);
  c VARCHAR2(64);
BEGIN
  DBMS_APPLICATION_INFO.SET_ACTION('check');
  DBMS_APPLICATION_INFO.READ_MODULE(m, a);
  DBMS_APPLICATION_INFO.READ_CLIENT_INFO(c);
  DBMS_OUTPUT.PUT_LINE(m || '/' || a || '/' || c);
  DBMS_APPLICATION_INFO.SET_MODULE(NULL, NULL);
  DBMS_APPLICATION_INFO.READ_MODULE(m, a);
  DBMS_OUTPUT.PUT_LINE(NVL(m, 'null') || '/' || NVL(a, 'null'));
  -- values longer than the session keeps are cut
  DBMS_APPLICATION_INFO.SET_CLIENT_INFO(RPAD('x', 80, 'x'));
  DBMS_APPLICATION_INFO.READ_CLIENT_INFO(c);
  DBMS_OUTPUT.PUT_LINE(LENGTH(c));
END;
/
> payroll/check/batch 7
> null/null
> 64
SELECT NVL(module, 'null') module, NVL(action, 'null') action FROM v$session WHERE sid = SYS_CONTEXT('USERENV', 'SID');
> MODULE,ACTION
> null,null

# Application contexts: only the package named by CREATE CONTEXT may set them
CREATE CONTEXT app_ctx USING app_ctx_pkg;
CREATE CONTEXT app_ctx USING other_pkg;
> ORA-00955: name is already used by an existing object
SELECT namespace, schema, package, type FROM dba_context WHERE namespace = 'APP_CTX';
> NAMESPACE,SCHEMA,PACKAGE,TYPE
> APP_CTX,SYSTEM,APP_CTX_PKG,ACCESSED LOCALLY
CREATE PACKAGE app_ctx_pkg AS
  PROCEDURE set_value(attr VARCHAR2, val VARCHAR2);
  PROCEDURE clear_value(attr VARCHAR2);
  PROCEDURE clear_all;
END;
/
CREATE PACKAGE BODY app_ctx_pkg AS
  PROCEDURE set_value(attr VARCHAR2, val VARCHAR2) IS
  BEGIN
    DBMS_SESSION.SET_CONTEXT('app_ctx', attr, val);
  END;
  PROCEDURE clear_value(attr VARCHAR2) IS
  BEGIN
    DBMS_SESSION.CLEAR_CONTEXT('APP_CTX', NULL, attr);
  END;
  PROCEDURE clear_all IS
  BEGIN
    DBMS_SESSION.CLEAR_ALL_CONTEXT('APP_CTX');
  END;
END;
/
BEGIN
  app_ctx_pkg.set_value('tenant', 'T42');
  app_ctx_pkg.set_value('Region', 'north');
END;
/
SELECT SYS_CONTEXT('APP_CTX', 'TENANT') t, SYS_CONTEXT('app_ctx', 'region') r,
       NVL(SYS_CONTEXT('APP_CTX', 'MISSING'), 'null') m, NVL(SYS_CONTEXT('NO_CTX', 'X'), 'null') n FROM dual;
> T,R,M,N
> T42,north,null,null
BEGIN
  DBMS_SESSION.SET_CONTEXT('APP_CTX', 'TENANT', 'hacked');
END;
/
> ORA-01031: insufficient privileges
BEGIN
  DBMS_SESSION.SET_CONTEXT('NO_SUCH_CTX', 'A', 'B');
END;
/
> ORA-01031: insufficient privileges
CREATE PROCEDURE app_ctx_intruder IS
BEGIN
  DBMS_SESSION.SET_CONTEXT('APP_CTX', 'TENANT', 'hacked');
END;
/
BEGIN
  app_ctx_intruder;
END;
/
> ORA-01031: insufficient privileges
DECLARE
  v VARCHAR2(100);
BEGIN
  app_ctx_pkg.clear_value('tenant');
  DBMS_OUTPUT.PUT_LINE(NVL(SYS_CONTEXT('APP_CTX', 'TENANT'), 'null') || ' ' || SYS_CONTEXT('APP_CTX', 'REGION'));
  app_ctx_pkg.clear_all;
  DBMS_OUTPUT.PUT_LINE(NVL(SYS_CONTEXT('APP_CTX', 'REGION'), 'null'));
END;
/
> null north
> null
# Contexts are the session's own: a new session starts without values
BEGIN
  app_ctx_pkg.set_value('tenant', 'T42');
END;
/
@connect SYSTEM/SYSTEM
SELECT NVL(SYS_CONTEXT('APP_CTX', 'TENANT'), 'null') t FROM dual;
> T
> null
DROP CONTEXT app_ctx;
DROP CONTEXT app_ctx;
> ORA-04043: object APP_CTX does not exist
CREATE USER ctx_user IDENTIFIED BY ctx_user;
GRANT CREATE SESSION TO ctx_user;
@connect CTX_USER/CTX_USER
CREATE CONTEXT user_ctx USING some_pkg;
> ORA-01031: insufficient privileges
@connect SYSTEM/SYSTEM

# USERENV's common parameters
SELECT SYS_CONTEXT('USERENV', 'SESSION_USER') su, SYS_CONTEXT('USERENV', 'CURRENT_SCHEMA') cs,
       SYS_CONTEXT('USERENV', 'ISDBA') dba, SYS_CONTEXT('USERENV', 'LANGUAGE') lang FROM dual;
> SU,CS,DBA,LANG
> SYSTEM,SYSTEM,FALSE,AMERICAN_AMERICA.AL32UTF8
SELECT SYS_CONTEXT('USERENV', 'NO_SUCH_PARAMETER') FROM dual;
> ORA-02003: invalid USERENV parameter
BEGIN
  DBMS_SESSION.SET_IDENTIFIER('web-user-9');
END;
/
SELECT SYS_CONTEXT('USERENV', 'CLIENT_IDENTIFIER') ci FROM v$session WHERE sid = SYS_CONTEXT('USERENV', 'SID');
> CI
> web-user-9
SELECT client_identifier FROM v$session WHERE sid = SYS_CONTEXT('USERENV', 'SID');
> CLIENT_IDENTIFIER
> web-user-9

# DBMS_SESSION: NLS settings, the session's unique id, roles
BEGIN
  DBMS_SESSION.SET_NLS('nls_date_format', '''YYYY-MM-DD''');
END;
/
SELECT TO_CHAR(DATE '2024-02-29') d FROM dual;
> D
> 2024-02-29
DECLARE
  a VARCHAR2(30) := DBMS_SESSION.UNIQUE_SESSION_ID;
BEGIN
  DBMS_OUTPUT.PUT_LINE(CASE WHEN a = DBMS_SESSION.UNIQUE_SESSION_ID AND LENGTH(a) = 12 THEN 'stable' END);
  DBMS_OUTPUT.PUT_LINE(CASE WHEN DBMS_SESSION.IS_ROLE_ENABLED('DBA') THEN 'dba' ELSE 'no dba' END || ' ' ||
                       CASE WHEN DBMS_SESSION.IS_ROLE_ENABLED('NO_SUCH_ROLE') THEN 'yes' ELSE 'no' END);
  DBMS_SESSION.SET_ROLE('DBA');
  DBMS_SESSION.SET_ROLE('ALL');
END;
/
> stable
> dba no
BEGIN
  DBMS_SESSION.SET_ROLE('NO_SUCH_ROLE');
END;
/
> ORA-01924: role 'NO_SUCH_ROLE' not granted or does not exist
