# Stored procedures, functions and packages: calls, named and default arguments, overloading, package
# state, functions in SQL, compile errors in USER_ERRORS, invalidation and recompilation.
CREATE TABLE log_t (msg VARCHAR2(100));
CREATE OR REPLACE PROCEDURE log_it(p_msg IN VARCHAR2, p_times IN NUMBER DEFAULT 1) IS
BEGIN
  FOR i IN 1 .. p_times LOOP
    INSERT INTO log_t VALUES (p_msg);
  END LOOP;
END;
/
BEGIN
  log_it('a');
  log_it(p_times => 2, p_msg => 'b');
END;
/
SELECT msg, COUNT(*) AS n FROM log_t GROUP BY msg ORDER BY msg;
> MSG,N
> a,1
> b,2
CREATE OR REPLACE FUNCTION twice(x NUMBER) RETURN NUMBER IS
BEGIN
  RETURN x * 2;
END twice;
/
SELECT twice(21) AS v FROM dual;
> V
> 42
SELECT msg FROM log_t WHERE twice(LENGTH(msg)) = 2 AND msg = 'a';
> MSG
> a
CREATE OR REPLACE PACKAGE counter IS
  total NUMBER := 0;
  PROCEDURE add(n NUMBER);
  PROCEDURE add(s VARCHAR2, n NUMBER);
  FUNCTION current_total RETURN NUMBER;
END counter;
/
CREATE OR REPLACE PACKAGE BODY counter IS
  calls NUMBER := 0;
  PROCEDURE add(n NUMBER) IS
  BEGIN
    total := total + n;
    calls := calls + 1;
  END;
  PROCEDURE add(s VARCHAR2, n NUMBER) IS
  BEGIN
    add(n * 10);
  END;
  FUNCTION current_total RETURN NUMBER IS
  BEGIN
    RETURN total + calls / 100;
  END;
END counter;
/
BEGIN
  counter.add(1);
  counter.add('x', 2);
  DBMS_OUTPUT.PUT_LINE(counter.current_total || ' ' || counter.total);
END;
/
> 21.02 21
BEGIN
  counter.add(5);
  DBMS_OUTPUT.PUT_LINE(counter.current_total);
END;
/
> 26.03
SELECT counter.current_total AS t FROM dual;
> T
> 26.03
SELECT object_name, object_type, status FROM user_objects WHERE object_type IN ('PROCEDURE','FUNCTION','PACKAGE','PACKAGE BODY') ORDER BY object_name, object_type;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> COUNTER,PACKAGE,VALID
> COUNTER,PACKAGE BODY,VALID
> LOG_IT,PROCEDURE,VALID
> TWICE,FUNCTION,VALID
SELECT line, text FROM user_source WHERE name = 'TWICE' ORDER BY line;
> LINE,TEXT
> 1,"FUNCTION twice(x NUMBER) RETURN NUMBER IS
> "
> 2,"BEGIN
> "
> 3,"  RETURN x * 2;
> "
> 4,END twice;
# A unit with errors is stored INVALID with its errors; CREATE says ORA-24344
CREATE OR REPLACE PROCEDURE broken IS
  v NUMBER;
BEGIN
  v := undefined_thing + 1;
END;
/
> ORA-24344: success with compilation error
SELECT status FROM user_objects WHERE object_name = 'BROKEN';
> STATUS
> INVALID
SELECT line, position, text FROM user_errors WHERE name = 'BROKEN' ORDER BY sequence;
> LINE,POSITION,TEXT
> 4,8,PLS-00201: identifier 'UNDEFINED_THING' must be declared
> 4,3,PL/SQL: Statement ignored
BEGIN
  broken;
END;
/
> ORA-06550: line 2, column 3:
# Changing a referenced unit invalidates its dependants; they compile again at their next use
CREATE OR REPLACE PROCEDURE uses_twice IS
BEGIN
  DBMS_OUTPUT.PUT_LINE(twice(4));
END;
/
CREATE OR REPLACE FUNCTION twice(x NUMBER) RETURN NUMBER IS
BEGIN
  RETURN x + x + 0;
END;
/
SELECT status FROM user_objects WHERE object_name = 'USES_TWICE';
> STATUS
> INVALID
BEGIN
  uses_twice;
END;
/
> 8
SELECT status FROM user_objects WHERE object_name = 'USES_TWICE';
> STATUS
> VALID
DROP PROCEDURE uses_twice;
DROP PROCEDURE uses_twice;
> ORA-04043: object USES_TWICE does not exist
# USER_PROCEDURES and USER_ARGUMENTS describe the subprograms, overloads included
SELECT object_name, procedure_name, subprogram_id, overload, object_type FROM user_procedures WHERE object_name IN ('COUNTER', 'TWICE') ORDER BY object_name, subprogram_id;
> OBJECT_NAME,PROCEDURE_NAME,SUBPROGRAM_ID,OVERLOAD,OBJECT_TYPE
> COUNTER,,0,,PACKAGE
> COUNTER,ADD,1,1,PACKAGE
> COUNTER,ADD,2,2,PACKAGE
> COUNTER,CURRENT_TOTAL,3,,PACKAGE
> TWICE,,1,,FUNCTION
SELECT object_name, package_name, argument_name, position, data_type, in_out, defaulted FROM user_arguments WHERE object_name IN ('LOG_IT', 'TWICE') ORDER BY object_name, position;
> OBJECT_NAME,PACKAGE_NAME,ARGUMENT_NAME,POSITION,DATA_TYPE,IN_OUT,DEFAULTED
> LOG_IT,,P_MSG,1,VARCHAR2,IN,N
> LOG_IT,,P_TIMES,2,NUMBER,IN,Y
> TWICE,,,0,NUMBER,OUT,N
> TWICE,,X,1,NUMBER,IN,N
# A procedure without arguments has no row, standalone or in a package; a function without
# arguments keeps its RETURN row
CREATE PROCEDURE no_args IS BEGIN NULL; END;
/
CREATE FUNCTION no_args_fn RETURN DATE IS BEGIN RETURN SYSDATE; END;
/
CREATE PACKAGE no_args_pkg IS PROCEDURE p; FUNCTION f RETURN NUMBER; PROCEDURE q(a NUMBER); END;
/
SELECT object_name, NVL(package_name, '-') AS pkg, NVL(argument_name, '-') AS arg, position, data_type, in_out
  FROM user_arguments WHERE object_name LIKE 'NO_ARGS%' OR package_name = 'NO_ARGS_PKG' ORDER BY 2, 1, 4;
> OBJECT_NAME,PKG,ARG,POSITION,DATA_TYPE,IN_OUT
> NO_ARGS_FN,-,-,0,DATE,OUT
> F,NO_ARGS_PKG,-,0,NUMBER,OUT
> Q,NO_ARGS_PKG,A,1,NUMBER,IN
SELECT name, type, referenced_name, referenced_type FROM user_dependencies WHERE name = 'LOG_IT';
> NAME,TYPE,REFERENCED_NAME,REFERENCED_TYPE
> LOG_IT,PROCEDURE,LOG_T,TABLE
# ALTER ... COMPILE recompiles from the stored source and reports the outcome
ALTER PROCEDURE broken COMPILE;
> ORA-24344: success with compilation error
CREATE OR REPLACE PACKAGE needs_body IS PROCEDURE p; END;
/
ALTER PACKAGE needs_body COMPILE;
SELECT status FROM user_objects WHERE object_name = 'NEEDS_BODY';
> STATUS
> VALID
BEGIN
  needs_body.p;
END;
/
> ORA-04067: not executed, package body "SYSTEM.NEEDS_BODY" does not exist
# COMPILE SPECIFICATION leaves the body alone; COMPILE BODY compiles only the body
CREATE OR REPLACE PACKAGE spec_only IS PROCEDURE p; END;
/
CREATE OR REPLACE PACKAGE BODY spec_only IS PROCEDURE p IS BEGIN missing_call; END; END;
/
> ORA-24344: success with compilation error
ALTER PACKAGE spec_only COMPILE SPECIFICATION;
ALTER PACKAGE spec_only COMPILE BODY;
> ORA-24344: success with compilation error
SELECT object_type, status FROM user_objects WHERE object_name = 'SPEC_ONLY' ORDER BY object_type;
> OBJECT_TYPE,STATUS
> PACKAGE,VALID
> PACKAGE BODY,INVALID

# A unit's name may carry its owner: the unit is created in that schema and compiles as written
CREATE USER app IDENTIFIED BY app;
CREATE OR REPLACE PACKAGE app.pck IS FUNCTION f RETURN NUMBER; END pck;
/
CREATE OR REPLACE PACKAGE BODY app.pck IS FUNCTION f RETURN NUMBER IS BEGIN RETURN 7; END; END pck;
/
CREATE OR REPLACE FUNCTION app.twice (n NUMBER) RETURN NUMBER IS BEGIN RETURN 2 * n; END;
/
SELECT object_type, status FROM all_objects WHERE owner = 'APP' ORDER BY object_type;
> OBJECT_TYPE,STATUS
> FUNCTION,VALID
> PACKAGE,VALID
> PACKAGE BODY,VALID
SELECT app.twice(app.pck.f) AS v FROM dual;
> V
> 14

# A package body whose specification does not compile is PLS-00905 with the owner-qualified name; a body
# without any specification is PLS-00201
CREATE OR REPLACE PACKAGE bad_spec IS
  v no_such_type;
END;
/
> ORA-24344: success with compilation error
CREATE OR REPLACE PACKAGE BODY bad_spec IS
  PROCEDURE p IS BEGIN NULL; END;
END;
/
> ORA-24344: success with compilation error
SELECT text FROM user_errors WHERE name = 'BAD_SPEC' AND type = 'PACKAGE BODY' ORDER BY sequence;
> TEXT
> PLS-00905: object SYSTEM.BAD_SPEC is invalid
CREATE OR REPLACE PACKAGE BODY no_spec_at_all IS
  PROCEDURE p IS BEGIN NULL; END;
END;
/
> ORA-24344: success with compilation error
SELECT text FROM user_errors WHERE name = 'NO_SPEC_AT_ALL' ORDER BY sequence;
> TEXT
> PLS-00201: identifier 'NO_SPEC_AT_ALL' must be declared

# A cursor FOR loop over a missing table, or an IF on an undeclared name, reports that error once and
# nothing for the statements after it
CREATE OR REPLACE PROCEDURE loop_missing IS
  n NUMBER := 0;
BEGIN
  FOR r IN (SELECT a FROM no_such_table) LOOP
    n := n + 1;
    IF n > 1 THEN n := 0; END IF;
  END LOOP;
  IF no_such_flag > 0 THEN
    n := 1;
    n := 2;
  END IF;
  n := n + 1;
END;
/
> ORA-24344: success with compilation error
SELECT line, text FROM user_errors WHERE name = 'LOOP_MISSING' ORDER BY sequence;
> LINE,TEXT
> 4,PL/SQL: ORA-00942: table or view does not exist
> 4,PL/SQL: SQL Statement ignored
> 8,PLS-00201: identifier 'NO_SUCH_FLAG' must be declared
> 8,PL/SQL: Statement ignored

# A type named with a qualifier keeps it in the message; a package's missing member is PLS-00302
CREATE OR REPLACE PROCEDURE bad_types IS
  a no_pkg.t_row;
BEGIN
  NULL;
END;
/
> ORA-24344: success with compilation error
SELECT text FROM user_errors WHERE name = 'BAD_TYPES' AND text LIKE 'PLS-%' ORDER BY sequence;
> TEXT
> PLS-00201: identifier 'NO_PKG.T_ROW' must be declared
CREATE OR REPLACE PROCEDURE bad_member IS
  a counter.no_such_type;
BEGIN
  NULL;
END;
/
> ORA-24344: success with compilation error
SELECT text FROM user_errors WHERE name = 'BAD_MEMBER' AND text LIKE 'PLS-%' ORDER BY sequence;
> TEXT
> PLS-00302: component 'NO_SUCH_TYPE' must be declared
