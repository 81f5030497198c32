# Privileges: without a grant another schema's objects are invisible (ORA-00942); with some grant on
# an object, the missing ones are ORA-01031; system privileges and roles likewise.

CREATE TABLE pt (id NUMBER, v VARCHAR2(5));
INSERT INTO pt VALUES (1, 'a');
> 1 rows
COMMIT;
CREATE VIEW pt_v AS SELECT id FROM pt;
CREATE USER pu IDENTIFIED BY pu;
CREATE USER pu2 IDENTIFIED BY pu2;
GRANT CREATE SESSION TO pu, pu2;

# No grant: nothing to see or change
@connect pu/pu
SELECT * FROM system.pt;
> ORA-00942: table or view does not exist
INSERT INTO system.pt VALUES (2, 'b');
> ORA-00942: table or view does not exist
DELETE FROM system.pt;
> ORA-00942: table or view does not exist
SELECT COUNT(*) AS n FROM all_tables WHERE owner = 'SYSTEM' AND table_name = 'PT';
> N
> 0
CREATE TABLE mine (a NUMBER);
> ORA-01031: insufficient privileges
CREATE USER pu3 IDENTIFIED BY pu3;
> ORA-01031: insufficient privileges

# SELECT granted: reading works, changing is ORA-01031; the own schema is searched first
@connect SYSTEM/SYSTEM
GRANT SELECT ON pt TO pu;
@connect pu/pu
SELECT id, v FROM system.pt;
> ID,V
> 1,a
SELECT COUNT(*) AS n FROM all_tables WHERE owner = 'SYSTEM' AND table_name = 'PT';
> N
> 1
INSERT INTO system.pt VALUES (2, 'b');
> ORA-01031: insufficient privileges
UPDATE system.pt SET v = 'x';
> ORA-01031: insufficient privileges
DELETE FROM system.pt;
> ORA-01031: insufficient privileges
SELECT * FROM pt;
> ORA-00942: table or view does not exist
SELECT grantee, owner, table_name, grantor, privilege, grantable FROM user_tab_privs;
> GRANTEE,OWNER,TABLE_NAME,GRANTOR,PRIVILEGE,GRANTABLE
> PU,SYSTEM,PT,SYSTEM,SELECT,NO
# without the grant option the privilege cannot be passed on
GRANT SELECT ON system.pt TO pu2;
> ORA-01031: insufficient privileges

# INSERT and UPDATE granted, and the grant option
@connect SYSTEM/SYSTEM
GRANT INSERT, UPDATE ON pt TO pu WITH GRANT OPTION;
@connect pu/pu
INSERT INTO system.pt VALUES (2, 'b');
> 1 rows
UPDATE system.pt SET v = 'c' WHERE id = 2;
> 1 rows
DELETE FROM system.pt WHERE id = 2;
> ORA-01031: insufficient privileges
COMMIT;
GRANT INSERT ON system.pt TO pu2;
@connect pu2/pu2
INSERT INTO system.pt VALUES (3, 'd');
> 1 rows
SELECT * FROM system.pt;
> ORA-01031: insufficient privileges
ROLLBACK;

# REVOKE takes the grant away
@connect SYSTEM/SYSTEM
REVOKE SELECT ON pt FROM pu;
REVOKE INSERT, UPDATE ON pt FROM pu;
@connect pu/pu
SELECT * FROM system.pt;
> ORA-00942: table or view does not exist
@connect pu2/pu2
INSERT INTO system.pt VALUES (3, 'd');
> ORA-00942: table or view does not exist
@connect SYSTEM/SYSTEM
REVOKE SELECT ON pt FROM pu;
> ORA-01927: cannot REVOKE privileges you did not grant

# A view reads its tables with its owner's rights
GRANT SELECT ON pt_v TO pu;
@connect pu/pu
SELECT id FROM system.pt_v ORDER BY id;
> ID
> 1
> 2
SELECT * FROM system.pt;
> ORA-00942: table or view does not exist

# System privileges: ANY privileges reach every schema
@connect SYSTEM/SYSTEM
GRANT SELECT ANY TABLE TO pu2;
GRANT CREATE TABLE, UNLIMITED TABLESPACE TO pu2;
@connect pu2/pu2
SELECT COUNT(*) AS n FROM system.pt;
> N
> 2
UPDATE system.pt SET v = 'z';
> ORA-01031: insufficient privileges
CREATE TABLE mine (a NUMBER);
INSERT INTO mine VALUES (1);
> 1 rows
COMMIT;
SELECT privilege FROM user_sys_privs ORDER BY privilege;
> PRIVILEGE
> CREATE SESSION
> CREATE TABLE
> SELECT ANY TABLE
> UNLIMITED TABLESPACE
@connect SYSTEM/SYSTEM
REVOKE SELECT ANY TABLE FROM pu2;
REVOKE SELECT ANY TABLE FROM pu2;
> ORA-01952: system privileges not granted to 'PU2'
@connect pu2/pu2
SELECT COUNT(*) AS n FROM system.pt;
> ORA-00942: table or view does not exist
# the owner of a table may do everything with it
SELECT a FROM mine;
> A
> 1

# Roles carry privileges to the users they are granted to
@connect SYSTEM/SYSTEM
CREATE ROLE pt_reader;
GRANT SELECT ON pt TO pt_reader;
GRANT pt_reader TO pu;
# the creator of a role holds it with the admin option
SELECT grantee, granted_role, admin_option FROM dba_role_privs WHERE granted_role = 'PT_READER' ORDER BY grantee;
> GRANTEE,GRANTED_ROLE,ADMIN_OPTION
> PU,PT_READER,NO
> SYSTEM,PT_READER,YES
@connect pu/pu
SELECT COUNT(*) AS n FROM system.pt;
> N
> 2
SELECT granted_role, admin_option, default_role FROM user_role_privs;
> GRANTED_ROLE,ADMIN_OPTION,DEFAULT_ROLE
> PT_READER,NO,YES
@connect SYSTEM/SYSTEM
CREATE ROLE pt_reader;
> ORA-01921: role name 'PT_READER' conflicts with another user or role name
GRANT nosuch_role TO pu;
> ORA-01919: role 'NOSUCH_ROLE' does not exist
REVOKE pt_reader FROM pu;
@connect pu/pu
SELECT COUNT(*) AS n FROM system.pt;
> ORA-00942: table or view does not exist

# DBA holds every system privilege
@connect SYSTEM/SYSTEM
GRANT DBA TO pu;
@connect pu/pu
SELECT COUNT(*) AS n FROM system.pt;
> N
> 2
CREATE TABLE system.made_by_pu (a NUMBER);
DROP TABLE system.made_by_pu;

# READ allows queries but no locks: SELECT ... FOR UPDATE and LOCK TABLE are refused; SELECT allows both
@connect SYSTEM/SYSTEM
CREATE USER pr IDENTIFIED BY pr;
GRANT CREATE SESSION TO pr;
GRANT READ ON pt TO pr;
SELECT grantee, owner, table_name, privilege, grantable FROM dba_tab_privs WHERE grantee = 'PR';
> GRANTEE,OWNER,TABLE_NAME,PRIVILEGE,GRANTABLE
> PR,SYSTEM,PT,READ,NO
@connect pr/pr
SELECT COUNT(*) AS n FROM system.pt;
> N
> 2
SELECT privilege FROM user_tab_privs WHERE table_name = 'PT';
> PRIVILEGE
> READ
SELECT id FROM system.pt WHERE id = 1 FOR UPDATE;
> ORA-01031: insufficient privileges
LOCK TABLE system.pt IN EXCLUSIVE MODE;
> ORA-01031: insufficient privileges
UPDATE system.pt SET v = 'r';
> ORA-01031: insufficient privileges
@connect SYSTEM/SYSTEM
GRANT SELECT ON pt TO pr;
@connect pr/pr
SELECT id FROM system.pt WHERE id = 1 FOR UPDATE;
> ID
> 1
LOCK TABLE system.pt IN EXCLUSIVE MODE;
ROLLBACK;
@connect SYSTEM/SYSTEM
REVOKE READ ON pt FROM pr;
REVOKE SELECT ON pt FROM pr;
@connect pr/pr
SELECT COUNT(*) AS n FROM system.pt;
> ORA-00942: table or view does not exist

# Stored units and triggers need CREATE PROCEDURE / CREATE TRIGGER; another schema's table takes
# CREATE ANY TRIGGER, another schema's unit DROP ANY PROCEDURE
CREATE TABLE pr_t (a NUMBER);
> ORA-01031: insufficient privileges
@connect SYSTEM/SYSTEM
CREATE TABLE pr.pr_t (a NUMBER);
CREATE PROCEDURE pt_proc IS BEGIN NULL; END;
/
@connect pr/pr
CREATE PROCEDURE pr_proc IS BEGIN NULL; END;
/
> ORA-01031: insufficient privileges
CREATE TRIGGER pr_trg BEFORE INSERT ON pr_t BEGIN NULL; END;
/
> ORA-01031: insufficient privileges
DROP PROCEDURE system.pt_proc;
> ORA-04043: object PT_PROC does not exist
@connect SYSTEM/SYSTEM
GRANT CREATE PROCEDURE, CREATE TRIGGER TO pr;
GRANT EXECUTE ON pt_proc TO pr;
@connect pr/pr
CREATE PROCEDURE pr_proc IS BEGIN NULL; END;
/
CREATE TRIGGER pr_trg BEFORE INSERT ON pr_t BEGIN NULL; END;
/
CREATE TRIGGER pr_trg2 BEFORE INSERT ON system.pt BEGIN NULL; END;
/
> ORA-01031: insufficient privileges
DROP PROCEDURE system.pt_proc;
> ORA-01031: insufficient privileges
SELECT object_name, object_type FROM user_objects ORDER BY object_name;
> OBJECT_NAME,OBJECT_TYPE
> PR_PROC,PROCEDURE
> PR_T,TABLE
> PR_TRG,TRIGGER
ALTER TRIGGER pr_trg DISABLE;
# A DBA switches and drops another schema's trigger (the DBA role holds ALTER ANY TRIGGER)
@connect SYSTEM/SYSTEM
ALTER TRIGGER pr.pr_trg ENABLE;
SELECT status FROM dba_triggers WHERE owner = 'PR' AND trigger_name = 'PR_TRG';
> STATUS
> ENABLED
DROP TRIGGER pr.pr_trg;

# SESSION_ROLES lists the roles the session holds, through other roles too; SESSION_PRIVS the system
# privileges of the user and of those roles, each once
@connect SYSTEM/SYSTEM
CREATE USER ps IDENTIFIED BY ps;
CREATE ROLE ps_inner;
CREATE ROLE ps_outer;
GRANT CREATE VIEW, CREATE SESSION TO ps_inner;
GRANT ps_inner TO ps_outer;
GRANT ps_outer TO ps;
GRANT CREATE SESSION, CREATE TABLE TO ps;
@connect ps/ps
SELECT role FROM session_roles ORDER BY role;
> ROLE
> PS_INNER
> PS_OUTER
SELECT privilege FROM session_privs ORDER BY privilege;
> PRIVILEGE
> CREATE SESSION
> CREATE TABLE
> CREATE VIEW
@connect SYSTEM/SYSTEM
REVOKE ps_outer FROM ps;
@connect ps/ps
SELECT COUNT(*) AS n FROM session_roles;
> N
> 0
SELECT privilege FROM session_privs ORDER BY privilege;
> PRIVILEGE
> CREATE SESSION
> CREATE TABLE

# Every grant keeps its grantor; the same privilege granted by two users is two grants. A grant made
# with GRANT ANY OBJECT PRIVILEGE is recorded as the owner's.
@connect SYSTEM/SYSTEM
CREATE USER gr_own IDENTIFIED BY pw;
CREATE USER gr_mid IDENTIFIED BY pw;
CREATE USER gr_end IDENTIFIED BY pw;
CREATE USER gr_any IDENTIFIED BY pw;
GRANT CREATE SESSION TO gr_own, gr_mid, gr_end, gr_any;
GRANT GRANT ANY OBJECT PRIVILEGE TO gr_any;
CREATE TABLE gr_own.t (a NUMBER);
GRANT SELECT ON gr_own.t TO gr_mid WITH GRANT OPTION;
@connect gr_mid/pw
GRANT SELECT ON gr_own.t TO gr_end;
@connect gr_own/pw
GRANT SELECT ON t TO gr_end;
SELECT grantor, grantee, privilege, grantable FROM user_tab_privs ORDER BY grantee, grantor;
> GRANTOR,GRANTEE,PRIVILEGE,GRANTABLE
> GR_MID,GR_END,SELECT,NO
> GR_OWN,GR_END,SELECT,NO
> GR_OWN,GR_MID,SELECT,YES

# A user revokes only what he granted, the owner too: the grant that is left is GR_MID's
REVOKE SELECT ON t FROM gr_end;
REVOKE SELECT ON t FROM gr_end;
> ORA-01927: cannot REVOKE privileges you did not grant
@connect gr_end/pw
SELECT COUNT(*) AS n FROM gr_own.t;
> N
> 0
REVOKE SELECT ON gr_own.t FROM gr_mid;
> ORA-01927: cannot REVOKE privileges you did not grant

# GRANT ANY OBJECT PRIVILEGE revokes what was granted by or for the owner; what the grantee passed
# on goes with it
@connect gr_any/pw
REVOKE SELECT ON gr_own.t FROM gr_mid;
@connect gr_end/pw
SELECT COUNT(*) AS n FROM gr_own.t;
> ORA-00942: table or view does not exist
@connect SYSTEM/SYSTEM
SELECT COUNT(*) AS n FROM dba_tab_privs WHERE owner = 'GR_OWN';
> N
> 0
