# FORMAT_ERROR_BACKTRACE: from the line that raised to the handler's own frame; NULL outside a handler
CREATE PROCEDURE util_inner IS
  n NUMBER;
BEGIN
  n := 1 / 0;
END;
/
CREATE PROCEDURE util_outer IS
BEGIN
  util_inner;
END;
/
BEGIN
  DBMS_OUTPUT.PUT_LINE(NVL(DBMS_UTILITY.FORMAT_ERROR_BACKTRACE, 'none'));
  util_outer;
EXCEPTION
  WHEN OTHERS THEN
    DBMS_OUTPUT.PUT_LINE(REPLACE(DBMS_UTILITY.FORMAT_ERROR_BACKTRACE, CHR(10), '|'));
    DBMS_OUTPUT.PUT_LINE(REPLACE(DBMS_UTILITY.FORMAT_ERROR_STACK, CHR(10), '|'));
END;
/
> none
> ORA-06512: at "SYSTEM.UTIL_INNER", line 4|ORA-06512: at "SYSTEM.UTIL_OUTER", line 3|ORA-06512: at line 3|
> ORA-01476: divisor is equal to zero|
# An error raised and handled in one block: only that line
DECLARE
  x NUMBER;
BEGIN
  x := 1;
  RAISE_APPLICATION_ERROR(-20042, 'custom failure');
EXCEPTION
  WHEN OTHERS THEN
    DBMS_OUTPUT.PUT_LINE(REPLACE(DBMS_UTILITY.FORMAT_ERROR_BACKTRACE || DBMS_UTILITY.FORMAT_ERROR_STACK, CHR(10), '|'));
END;
/
> ORA-06512: at line 5|ORA-20042: custom failure|
# A handler in a package catches what a nested call raised
CREATE PACKAGE util_pkg AS
  PROCEDURE run;
END;
/
CREATE PACKAGE BODY util_pkg AS
  PROCEDURE fail IS
  BEGIN
    RAISE NO_DATA_FOUND;
  END;
  PROCEDURE run IS
  BEGIN
    fail;
  EXCEPTION
    WHEN NO_DATA_FOUND THEN
      DBMS_OUTPUT.PUT_LINE(REPLACE(DBMS_UTILITY.FORMAT_ERROR_BACKTRACE, CHR(10), '|'));
  END;
END;
/
BEGIN
  util_pkg.run;
END;
/
> ORA-06512: at "SYSTEM.UTIL_PKG", line 4|ORA-06512: at "SYSTEM.UTIL_PKG", line 8|

# FORMAT_CALL_STACK: the header, then each frame innermost first (the handle differs per run)
CREATE PROCEDURE util_show IS
  stack VARCHAR2(4000) := DBMS_UTILITY.FORMAT_CALL_STACK;
  line VARCHAR2(400);
  nl PLS_INTEGER;
BEGIN
  WHILE stack IS NOT NULL LOOP
    nl := INSTR(stack, CHR(10));
    line := SUBSTR(stack, 1, nl - 1);
    stack := SUBSTR(stack, nl + 1);
    IF SUBSTR(line, 1, 2) = '0x' THEN
      line := 'HANDLE' || SUBSTR(line, INSTR(line, ' '));
    END IF;
    DBMS_OUTPUT.PUT_LINE(line);
  END LOOP;
END;
/
CREATE PROCEDURE util_caller IS
BEGIN
  util_show;
END;
/
BEGIN
  util_caller;
END;
/
> ----- PL/SQL Call Stack -----
>   object      line  object
>   handle    number  name
> HANDLE         2  procedure SYSTEM.UTIL_SHOW
> HANDLE         3  procedure SYSTEM.UTIL_CALLER
> HANDLE         2  anonymous block

# GET_TIME and GET_CPU_TIME count hundredths of a second and never go back
DECLARE
  t0 NUMBER := DBMS_UTILITY.GET_TIME;
  c0 NUMBER := DBMS_UTILITY.GET_CPU_TIME;
BEGIN
  DBMS_OUTPUT.PUT_LINE(CASE WHEN DBMS_UTILITY.GET_TIME - t0 BETWEEN 0 AND 1000 THEN 'ok' END || ' ' ||
                       CASE WHEN DBMS_UTILITY.GET_CPU_TIME >= c0 AND c0 >= 0 THEN 'ok' END);
END;
/
> ok ok

# COMMA_TO_TABLE keeps each name as written and leaves a NULL entry after the last;
# TABLE_TO_COMMA joins up to the first NULL
DECLARE
  tab DBMS_UTILITY.UNCL_ARRAY;
  n BINARY_INTEGER;
  list VARCHAR2(200);
BEGIN
  DBMS_UTILITY.COMMA_TO_TABLE('emp, scott.dept ,"Mixed Case",a.b.c@far', n, tab);
  DBMS_OUTPUT.PUT_LINE(n || ' ' || tab.COUNT || ' ' || NVL(tab(n + 1), 'null'));
  FOR i IN 1 .. n LOOP
    DBMS_OUTPUT.PUT_LINE('[' || tab(i) || ']');
  END LOOP;
  DBMS_UTILITY.TABLE_TO_COMMA(tab, n, list);
  DBMS_OUTPUT.PUT_LINE(n || ' ' || list);
END;
/
> 4 5 null
> [emp]
> [ scott.dept ]
> ["Mixed Case"]
> [a.b.c@far]
> 4 emp, scott.dept ,"Mixed Case",a.b.c@far
DECLARE
  tab DBMS_UTILITY.UNCL_ARRAY;
  n BINARY_INTEGER;
BEGIN
  DBMS_UTILITY.COMMA_TO_TABLE('a,1b', n, tab);
END;
/
> ORA-20001: comma-separated list invalid near 1b
DECLARE
  tab DBMS_UTILITY.UNCL_ARRAY;
  n BINARY_INTEGER;
BEGIN
  DBMS_UTILITY.COMMA_TO_TABLE('a, b c', n, tab);
END;
/
> ORA-20001: comma-separated list invalid near b c
DECLARE
  tab DBMS_UTILITY.UNCL_ARRAY;
  n BINARY_INTEGER;
  list VARCHAR2(200);
BEGIN
  DBMS_UTILITY.TABLE_TO_COMMA(tab, n, list);
  DBMS_OUTPUT.PUT_LINE(n || ' [' || list || ']');
END;
/
> 0 []

# DB_VERSION gives the release and the COMPATIBLE parameter
DECLARE
  v VARCHAR2(100);
  c VARCHAR2(100);
BEGIN
  DBMS_UTILITY.DB_VERSION(v, c);
  DBMS_OUTPUT.PUT_LINE(v || ' ' || c);
END;
/
> 19.0.0.0.0 19.0.0

# COMPILE_SCHEMA compiles the invalid units again; an unknown schema is an error
CREATE TABLE util_t (n NUMBER);
CREATE PROCEDURE util_uses IS
  c NUMBER;
BEGIN
  SELECT COUNT(*) INTO c FROM util_t;
END;
/
DROP TABLE util_t;
CREATE TABLE util_t (n NUMBER);
SELECT status FROM user_objects WHERE object_name = 'UTIL_USES';
> STATUS
> INVALID
BEGIN
  DBMS_UTILITY.COMPILE_SCHEMA('system', FALSE);
END;
/
SELECT status FROM user_objects WHERE object_name = 'UTIL_USES';
> STATUS
> VALID
BEGIN
  DBMS_UTILITY.COMPILE_SCHEMA('NO_SUCH_USER');
END;
/
> ORA-20000: Schema "NO_SUCH_USER" does not exist or insufficient privileges
