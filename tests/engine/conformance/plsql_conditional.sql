# Conditional compilation: selection and error directives, inquiry directives, PLSQL_CCFLAGS kept
# with each unit, DBMS_DB_VERSION (this database reports version 19.0.0.0.0), package constants.
BEGIN
  $IF TRUE $THEN
  DBMS_OUTPUT.PUT_LINE('kept');
  $ELSE
  DBMS_OUTPUT.PUT_LINE('dropped');
  this is not even PL/SQL;
  $END
  DBMS_OUTPUT.PUT_LINE(NVL($$PLSQL_UNIT, '(null)') || ' ' || $$PLSQL_UNIT_TYPE || ' line ' || $$PLSQL_LINE);
END;
/
> kept
> (null) ANONYMOUS BLOCK line 8
# Branches are tried in order; the first TRUE one wins, a NULL condition (an undefined flag) is not TRUE
BEGIN
  $IF $$undefined_flag $THEN
  DBMS_OUTPUT.PUT_LINE('undefined is true');
  $ELSIF 1 > 2 OR NOT (2 = 2) $THEN
  DBMS_OUTPUT.PUT_LINE('second');
  $ELSIF $$undefined_flag IS NULL AND 'a' || 'b' = 'ab' $THEN
  DBMS_OUTPUT.PUT_LINE('third');
  $ELSE
  DBMS_OUTPUT.PUT_LINE('else');
  $END
END;
/
> third
# Directives nest; the text of a branch not taken is never read, $ERROR in it included
BEGIN
  $IF FALSE $THEN
    $IF TRUE $THEN $ERROR 'never' $END $END
  $ELSE
    $IF DBMS_DB_VERSION.VER_LE_11 $THEN
    DBMS_OUTPUT.PUT_LINE('old');
    $ELSIF DBMS_DB_VERSION.VERSION >= 12 AND SYS.DBMS_DB_VERSION.VER_LE_19 $THEN
    DBMS_OUTPUT.PUT_LINE('12 to 19');
    $END
  $END
END;
/
> 12 to 19
BEGIN
  DBMS_OUTPUT.PUT_LINE(dbms_db_version.version || '.' || dbms_db_version.release);
  IF dbms_db_version.ver_le_12_2 THEN
    DBMS_OUTPUT.PUT_LINE('le 12.2');
  ELSIF dbms_db_version.ver_le_19 THEN
    DBMS_OUTPUT.PUT_LINE('le 19');
  END IF;
END;
/
> 19.0
> le 19
CREATE OR REPLACE PROCEDURE where_am_i IS
BEGIN
  DBMS_OUTPUT.PUT_LINE($$PLSQL_UNIT_OWNER || '.' || $$PLSQL_UNIT || ' ' || $$PLSQL_UNIT_TYPE || ' ' || $$PLSQL_LINE);
END;
/
EXEC where_am_i
> SYSTEM.WHERE_AM_I PROCEDURE 3
# The dictionary keeps the source as written
SELECT REPLACE(text, CHR(10)) AS text FROM user_source WHERE name = 'WHERE_AM_I' AND line = 3;
> TEXT
>   DBMS_OUTPUT.PUT_LINE($$PLSQL_UNIT_OWNER || '.' || $$PLSQL_UNIT || ' ' || $$PLSQL_UNIT_TYPE || ' ' || $$PLSQL_LINE);
# A package is compiled with the session's PLSQL_CCFLAGS and keeps them: other sessions and later
# settings do not change it until it is compiled again
ALTER SESSION SET PLSQL_CCFLAGS = 'Trace:TRUE, level:2, level:3';
CREATE OR REPLACE PACKAGE cc_pkg IS
  PROCEDURE show;
END cc_pkg;
/
CREATE OR REPLACE PACKAGE BODY cc_pkg IS
  PROCEDURE show IS
  BEGIN
    $IF $$trace $THEN
    DBMS_OUTPUT.PUT_LINE('trace on, level ' || $$level);
    $ELSE
    DBMS_OUTPUT.PUT_LINE('trace off');
    $END
  END show;
END cc_pkg;
/
ALTER SESSION SET PLSQL_CCFLAGS = '';
EXEC cc_pkg.show
> trace on, level 3
@connect SYSTEM/SYSTEM
EXEC cc_pkg.show
> trace on, level 3
ALTER PACKAGE cc_pkg COMPILE;
EXEC cc_pkg.show
> trace off
ALTER SESSION SET PLSQL_CCFLAGS = 'trace:true';
ALTER PACKAGE cc_pkg COMPILE BODY REUSE SETTINGS;
EXEC cc_pkg.show
> trace off
# Constants of a package specification are static
CREATE OR REPLACE PACKAGE cc_cfg IS
  debug CONSTANT BOOLEAN := FALSE;
  depth CONSTANT PLS_INTEGER := 3;
END cc_cfg;
/
CREATE OR REPLACE FUNCTION cc_depth RETURN VARCHAR2 IS
BEGIN
  $IF cc_cfg.debug $THEN
  RETURN 'debug';
  $ELSIF cc_cfg.depth > 2 $THEN
  RETURN 'deep';
  $ELSE
  RETURN 'shallow';
  $END
END;
/
SELECT cc_depth AS d FROM dual;
> D
> deep
# $ERROR fails the compile with PLS-00179 at the directive
CREATE OR REPLACE PROCEDURE needs_flag IS
BEGIN
  $IF $$mode IS NULL $THEN
    $ERROR 'compile ' || $$PLSQL_UNIT || ' with mode set, line ' || $$PLSQL_LINE $END
  $END
  NULL;
END;
/
> ORA-24344: success with compilation error
SELECT line, position, text FROM user_errors WHERE name = 'NEEDS_FLAG' ORDER BY sequence;
> LINE,POSITION,TEXT
> 4,5,"PLS-00179: $ERROR: compile NEEDS_FLAG with mode set, line 4"
BEGIN
  $ERROR 'stop here' $END
END;
/
> ORA-06550: line 2, column 3:
# A condition must be a static boolean expression
BEGIN
  $IF 1 $THEN NULL; $END
END;
/
> ORA-06550: line 2, column 7:
DECLARE
  v BOOLEAN := TRUE;
BEGIN
  $IF v $THEN NULL; $END
END;
/
> ORA-06550: line 4, column 7:
# An $IF needs its $END: the text ends first
BEGIN
  $IF TRUE $THEN NULL;
END;
/
> ORA-06550: line 3, column 5:
# Outside PL/SQL a preprocessor token is an invalid character
SELECT $$plsql_unit FROM dual;
> ORA-00911: invalid character
