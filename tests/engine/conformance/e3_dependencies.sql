# Dependencies: what static SQL in units and what views read is recorded; changes invalidate the
# dependants in cascade; a call recompiles an invalid unit, and one that does not compile is
# PLS-00905 for its caller.

CREATE TABLE dt (a NUMBER, b NUMBER);
INSERT INTO dt VALUES (1, 2);
> 1 rows
COMMIT;
CREATE OR REPLACE FUNCTION f_sel RETURN NUMBER IS n NUMBER; BEGIN SELECT a INTO n FROM dt WHERE ROWNUM = 1; RETURN n; END;
/
CREATE OR REPLACE PROCEDURE p_call IS BEGIN DBMS_OUTPUT.PUT_LINE('f_sel=' || f_sel); END;
/
CREATE OR REPLACE PROCEDURE p_dml IS BEGIN UPDATE dt SET b = b + 1; END;
/
CREATE OR REPLACE FUNCTION f_cur RETURN NUMBER IS
  CURSOR c IS SELECT b FROM dt;
  n NUMBER := 0;
BEGIN
  FOR r IN c LOOP n := n + r.b; END LOOP;
  RETURN n;
END;
/
CREATE OR REPLACE VIEW dv AS SELECT a FROM dt;
CREATE OR REPLACE FUNCTION f_view RETURN NUMBER IS n NUMBER; BEGIN SELECT COUNT(*) INTO n FROM dv; RETURN n; END;
/
SELECT name, type, referenced_name, referenced_type FROM user_dependencies
  WHERE name IN ('F_SEL', 'P_CALL', 'P_DML', 'F_CUR', 'DV', 'F_VIEW') AND referenced_owner = 'SYSTEM' ORDER BY 1, 3;
> NAME,TYPE,REFERENCED_NAME,REFERENCED_TYPE
> DV,VIEW,DT,TABLE
> F_CUR,FUNCTION,DT,TABLE
> F_SEL,FUNCTION,DT,TABLE
> F_VIEW,FUNCTION,DV,VIEW
> P_CALL,PROCEDURE,F_SEL,FUNCTION
> P_DML,PROCEDURE,DT,TABLE

# ADD COLUMN leaves the dependants valid
ALTER TABLE dt ADD (c NUMBER);
SELECT object_name, status FROM user_objects WHERE object_name IN ('F_SEL', 'P_CALL', 'P_DML', 'F_CUR', 'DV', 'F_VIEW') ORDER BY 1;
> OBJECT_NAME,STATUS
> DV,VALID
> F_CUR,VALID
> F_SEL,VALID
> F_VIEW,VALID
> P_CALL,VALID
> P_DML,VALID

# DROP COLUMN invalidates every dependant of the table, and theirs in cascade
ALTER TABLE dt DROP COLUMN a;
SELECT object_name, status FROM user_objects WHERE object_name IN ('F_SEL', 'P_CALL', 'P_DML', 'F_CUR', 'DV', 'F_VIEW') ORDER BY 1;
> OBJECT_NAME,STATUS
> DV,INVALID
> F_CUR,INVALID
> F_SEL,INVALID
> F_VIEW,INVALID
> P_CALL,INVALID
> P_DML,INVALID
# A call recompiles: what still compiles is valid again and runs
SELECT f_cur AS total FROM dual;
> TOTAL
> 2
BEGIN p_dml; END;
/
COMMIT;
SELECT object_name, status FROM user_objects WHERE object_name IN ('F_CUR', 'P_DML') ORDER BY 1;
> OBJECT_NAME,STATUS
> F_CUR,VALID
> P_DML,VALID
# What does not compile stays invalid; its callers fail with PLS-00905, never PLS-00201
BEGIN p_call; END;
/
> ORA-06550: line 1, column 7:
SELECT text FROM user_errors WHERE name = 'P_CALL' ORDER BY sequence;
> TEXT
> PLS-00905: object SYSTEM.F_SEL is invalid
> PL/SQL: Statement ignored
SELECT object_name, status FROM user_objects WHERE object_name IN ('F_SEL', 'P_CALL') ORDER BY 1;
> OBJECT_NAME,STATUS
> F_SEL,INVALID
> P_CALL,INVALID
DECLARE n NUMBER; BEGIN n := system.f_sel; END;
/
> ORA-06550: line 1, column 30:

# The column comes back: the next call compiles the chain again
ALTER TABLE dt ADD (a NUMBER);
BEGIN p_call; END;
/
> f_sel=
SELECT object_name, status FROM user_objects WHERE object_name IN ('F_SEL', 'P_CALL') ORDER BY 1;
> OBJECT_NAME,STATUS
> F_SEL,VALID
> P_CALL,VALID

# DROP TABLE invalidates the dependants; the dropped table's dependency rows go with it
DROP TABLE dt;
SELECT object_name, status FROM user_objects WHERE object_name IN ('F_SEL', 'P_DML', 'F_CUR', 'DV', 'F_VIEW') ORDER BY 1;
> OBJECT_NAME,STATUS
> DV,INVALID
> F_CUR,INVALID
> F_SEL,INVALID
> F_VIEW,INVALID
> P_DML,INVALID
SELECT COUNT(*) AS n FROM user_dependencies WHERE referenced_name = 'DT';
> N
> 0
SELECT f_view AS n FROM dual;
> ORA-06575: Package or function F_VIEW is in an invalid state

# A replaced view or unit invalidates its dependants
CREATE TABLE dt2 (x NUMBER);
CREATE OR REPLACE VIEW dv2 AS SELECT x FROM dt2;
CREATE OR REPLACE FUNCTION f_v2 RETURN NUMBER IS n NUMBER; BEGIN SELECT COUNT(*) INTO n FROM dv2; RETURN n; END;
/
CREATE OR REPLACE PROCEDURE p_v2 IS BEGIN DBMS_OUTPUT.PUT_LINE(f_v2); END;
/
CREATE OR REPLACE VIEW dv2 AS SELECT x, x + 1 AS y FROM dt2;
SELECT object_name, status FROM user_objects WHERE object_name IN ('F_V2', 'P_V2') ORDER BY 1;
> OBJECT_NAME,STATUS
> F_V2,INVALID
> P_V2,INVALID
BEGIN p_v2; END;
/
> 0
SELECT object_name, status FROM user_objects WHERE object_name IN ('F_V2', 'P_V2') ORDER BY 1;
> OBJECT_NAME,STATUS
> F_V2,VALID
> P_V2,VALID

# A trigger's compile errors count lines from its PL/SQL block, not from CREATE
CREATE TABLE tg (a NUMBER);
CREATE OR REPLACE TRIGGER tg_bi
  BEFORE INSERT ON tg
  FOR EACH ROW
DECLARE
  n NUMBER;
BEGIN
  n := nosuch_fn(1);
END;
/
> ORA-24344: success with compilation error
SELECT line, position, text FROM user_errors WHERE name = 'TG_BI' ORDER BY sequence;
> LINE,POSITION,TEXT
> 4,8,PLS-00201: identifier 'NOSUCH_FN' must be declared
> 4,3,PL/SQL: Statement ignored
CREATE OR REPLACE TRIGGER tg_bu BEFORE UPDATE ON tg FOR EACH ROW BEGIN :new.a := nosuch; END;
/
> ORA-24344: success with compilation error
SELECT line, position, text FROM user_errors WHERE name = 'TG_BU' ORDER BY sequence;
> LINE,POSITION,TEXT
> 1,17,PLS-00201: identifier 'NOSUCH' must be declared
> 1,7,PL/SQL: Statement ignored
