# What the hosting of several installations relies on: roles made and granted by an installation
# user, a grant that never takes an admin option away, trigger and view texts that recreate them,
# and the statements of its script lists.

CREATE USER hz1 IDENTIFIED BY hz1;
CREATE USER hf1 IDENTIFIED BY hf1;
CREATE USER happ IDENTIFIED BY happ;
CREATE ROLE hgrp;
GRANT CREATE SESSION, CREATE ROLE, CREATE TABLE, CREATE TRIGGER, CREATE VIEW TO hz1;
GRANT hgrp TO hz1 WITH ADMIN OPTION;
# Granting again without the option keeps it (only REVOKE takes it away)
GRANT hgrp TO hz1;
SELECT granted_role, admin_option FROM dba_role_privs WHERE grantee = 'HZ1' ORDER BY granted_role;
> GRANTED_ROLE,ADMIN_OPTION
> HGRP,YES
GRANT CREATE ROLE TO hz1;
SELECT privilege, admin_option FROM dba_sys_privs WHERE grantee = 'HZ1' AND privilege = 'CREATE ROLE';
> PRIVILEGE,ADMIN_OPTION
> CREATE ROLE,NO
GRANT CREATE ROLE TO hz1 WITH ADMIN OPTION;
GRANT CREATE ROLE TO hz1;
SELECT privilege, admin_option FROM dba_sys_privs WHERE grantee = 'HZ1' AND privilege = 'CREATE ROLE';
> PRIVILEGE,ADMIN_OPTION
> CREATE ROLE,YES

# The creator of a role holds it with the admin option, also after granting it to itself again
@connect hz1/hz1
CREATE ROLE gz1;
GRANT gz1 TO hz1;
GRANT gz1 TO hf1;
GRANT hgrp TO hf1;
GRANT gz1 TO happ;
SELECT granted_role, admin_option FROM user_role_privs ORDER BY granted_role;
> GRANTED_ROLE,ADMIN_OPTION
> GZ1,YES
> HGRP,YES
CREATE TABLE t (a NUMBER, b NUMBER);
GRANT ALL ON t TO gz1;
@connect SYSTEM/SYSTEM
SELECT grantee, granted_role FROM dba_role_privs WHERE grantee IN ('HF1', 'HAPP') ORDER BY grantee, granted_role;
> GRANTEE,GRANTED_ROLE
> HAPP,GZ1
> HF1,GZ1
> HF1,HGRP
SELECT privilege FROM dba_tab_privs WHERE grantee = 'GZ1' AND table_name = 'T' AND privilege IN ('SELECT', 'DELETE') ORDER BY privilege;
> PRIVILEGE
> DELETE
> SELECT
REVOKE hgrp FROM hz1;
GRANT hgrp TO hz1;
SELECT admin_option FROM dba_role_privs WHERE grantee = 'HZ1' AND granted_role = 'HGRP';
> ADMIN_OPTION
> NO

# A trigger's WHEN clause stands apart from its description; a view keeps its column names
@connect hz1/hz1
CREATE OR REPLACE TRIGGER trg_t BEFORE INSERT ON t FOR EACH ROW WHEN (new.a > 5)
BEGIN
  :new.b := 1;
END;
/
SELECT when_clause, replace(trigger_body, chr(10), '|') AS body, instr(upper(description), 'WHEN') AS w
  FROM user_triggers WHERE trigger_name = 'TRG_T';
> WHEN_CLAUSE,BODY,W
> new.a > 5,BEGIN|  :new.b := 1;|END;,0
CREATE VIEW v_t (first_col, second_col) AS SELECT a, b FROM t;
SELECT column_name FROM user_tab_columns WHERE table_name = 'V_T' ORDER BY column_id;
> COLUMN_NAME
> FIRST_COL
> SECOND_COL
SELECT text FROM user_views WHERE view_name = 'V_T';
> TEXT
> "SELECT a, b FROM t"

# The script lists: an empty status list matches no row; DELETE without FROM; MINUS
INSERT INTO t (a) VALUES (9);
> 1 rows
SELECT COUNT(*) AS n FROM t WHERE instr('', 'X') > 0;
> N
> 0
SELECT b FROM t;
> B
> 1
SELECT a FROM t MINUS SELECT 9 FROM dual;
> A
DELETE t WHERE a = 9;
> 1 rows
