# Rights on an owner's objects given and taken by statement: the owner's own statements through
# DBMS_SQL, statements handed to the owner's procedure (run with its rights, so the owner is the
# grantor), quoted qualified names, and the errors a grant run lists per object.

CREATE USER go_own IDENTIFIED BY pw;
GRANT CREATE SESSION, CREATE TABLE, CREATE PROCEDURE TO go_own;
CREATE USER go_user IDENTIFIED BY pw;
GRANT CREATE SESSION TO go_user;
CREATE ROLE go_role;
CREATE TABLE go_own.t (a NUMBER);
CREATE OR REPLACE PACKAGE go_own.pck IS PROCEDURE x; END pck;
/
CREATE OR REPLACE PACKAGE BODY go_own.pck IS PROCEDURE x IS BEGIN NULL; END; END pck;
/
CREATE OR REPLACE PROCEDURE go_own.dodelipravice(s VARCHAR2) IS BEGIN EXECUTE IMMEDIATE s; END;
/
GRANT EXECUTE ON go_own.dodelipravice TO go_user;

# ALL on a table is each of the table's privileges; a package takes EXECUTE; names quoted
@connect go_own/pw
GRANT ALL ON "GO_OWN"."T" TO go_role;
GRANT EXECUTE ON "GO_OWN"."PCK" TO go_role;
SELECT table_name, privilege, grantor FROM user_tab_privs WHERE grantee = 'GO_ROLE' ORDER BY table_name, privilege;
> TABLE_NAME,PRIVILEGE,GRANTOR
> PCK,EXECUTE,GO_OWN
> T,ALTER,GO_OWN
> T,DELETE,GO_OWN
> T,INDEX,GO_OWN
> T,INSERT,GO_OWN
> T,REFERENCES,GO_OWN
> T,SELECT,GO_OWN
> T,UPDATE,GO_OWN

# A package and its body are one object to grant on: the second revoke finds nothing granted
REVOKE EXECUTE ON "GO_OWN"."PCK" FROM go_role;
REVOKE EXECUTE ON "GO_OWN"."PCK" FROM go_role;
> ORA-01927: cannot REVOKE privileges you did not grant
REVOKE ALL ON "GO_OWN"."T" FROM go_role;
SELECT COUNT(*) AS n FROM user_tab_privs WHERE grantee = 'GO_ROLE';
> N
> 0

# A grantee that does not exist; EXECUTE on a table
GRANT SELECT ON "GO_OWN"."T" TO no_such_grantee;
> ORA-01917: user or role 'NO_SUCH_GRANTEE' does not exist
GRANT EXECUTE ON "GO_OWN"."T" TO go_role;
> ORA-02224: EXECUTE privilege not allowed for tables

# DBMS_SQL.PARSE runs a GRANT at once
DECLARE
  c INTEGER := DBMS_SQL.OPEN_CURSOR;
BEGIN
  DBMS_SQL.PARSE(c, 'GRANT SELECT ON "GO_OWN"."T" TO go_role', DBMS_SQL.V7);
  DBMS_SQL.CLOSE_CURSOR(c);
END;
/
SELECT table_name, privilege FROM user_tab_privs WHERE grantee = 'GO_ROLE';
> TABLE_NAME,PRIVILEGE
> T,SELECT

# Another user hands the statement to the owner's procedure: it runs with the owner's rights, and
# the owner is the grantor
@connect go_user/pw
BEGIN
  EXECUTE IMMEDIATE 'BEGIN "GO_OWN".DODELIPRAVICE(:s); END;' USING 'GRANT INSERT ON "GO_OWN"."T" TO go_role';
END;
/
@connect SYSTEM/SYSTEM
SELECT grantor, grantee, owner, table_name, privilege FROM dba_tab_privs WHERE grantee = 'GO_ROLE' ORDER BY privilege;
> GRANTOR,GRANTEE,OWNER,TABLE_NAME,PRIVILEGE
> GO_OWN,GO_ROLE,GO_OWN,T,INSERT
> GO_OWN,GO_ROLE,GO_OWN,T,SELECT
@connect go_user/pw
# Its own statement fails: the error reaches the caller
BEGIN
  EXECUTE IMMEDIATE 'BEGIN "GO_OWN".DODELIPRAVICE(:s); END;' USING 'GRANT SELECT ON "GO_OWN"."T" TO no_such_grantee';
END;
/
> ORA-01917: user or role 'NO_SUCH_GRANTEE' does not exist
# A procedure the owner does not have fails to compile, before anything runs
BEGIN
  EXECUTE IMMEDIATE 'BEGIN IF 1 = 0 THEN "GO_USER".DODELIPRAVICE(NULL); END IF; END;';
END;
/
> ORA-06550: line 1, column 21:
# The user grants nothing of the owner's by itself
GRANT SELECT ON "GO_OWN"."T" TO go_role;
> ORA-00942: table or view does not exist
