# Local procedures and functions: recursion, IN OUT parameters, defaults, overloading by type,
# functions without parentheses; package constants, types and cursors used from outside.
DECLARE
  total NUMBER := 0;
  FUNCTION fact(n PLS_INTEGER) RETURN NUMBER IS
  BEGIN
    IF n <= 1 THEN
      RETURN 1;
    END IF;
    RETURN n * fact(n - 1);
  END;
  PROCEDURE add_to(acc IN OUT NUMBER, amount NUMBER DEFAULT 1) IS
  BEGIN
    acc := acc + amount;
  END;
  FUNCTION describe(x NUMBER) RETURN VARCHAR2 IS
  BEGIN
    RETURN 'number';
  END;
  FUNCTION describe(x DATE) RETURN VARCHAR2 IS
  BEGIN
    RETURN 'date';
  END;
  FUNCTION seven RETURN NUMBER IS
  BEGIN
    RETURN 7;
  END;
BEGIN
  add_to(total, fact(5));
  add_to(total);
  add_to(amount => seven, acc => total);
  DBMS_OUTPUT.PUT_LINE(total);
  DBMS_OUTPUT.PUT_LINE(describe(1) || ' ' || describe(SYSDATE));
END;
/
> 128
> number date
DECLARE
  FUNCTION no_return(x NUMBER) RETURN NUMBER IS
  BEGIN
    NULL;
  END;
BEGIN
  DBMS_OUTPUT.PUT_LINE(no_return(1));
END;
/
> ORA-06503: PL/SQL: Function returned without value
DECLARE
  PROCEDURE p(a NUMBER) IS
  BEGIN
    NULL;
  END;
BEGIN
  p(1, 2);
END;
/
> ORA-06550: line 7, column 3:
CREATE TABLE cfg (k VARCHAR2(10), v NUMBER);
INSERT INTO cfg VALUES ('a', 1);
> 1 rows
INSERT INTO cfg VALUES ('b', 2);
> 1 rows
CREATE OR REPLACE PACKAGE settings IS
  default_factor CONSTANT NUMBER := 10;
  TYPE kv IS RECORD (k VARCHAR2(10), v NUMBER);
  CURSOR all_cfg IS SELECT k, v FROM cfg ORDER BY k;
  FUNCTION scaled(k_in VARCHAR2) RETURN NUMBER;
END settings;
/
CREATE OR REPLACE PACKAGE BODY settings IS
  FUNCTION scaled(k_in VARCHAR2) RETURN NUMBER IS
    result cfg.v%TYPE;
  BEGIN
    SELECT v INTO result FROM cfg WHERE k = k_in;
    RETURN result * default_factor;
  END scaled;
END settings;
/
DECLARE
  item settings.kv;
  f settings.default_factor%TYPE;
BEGIN
  f := settings.default_factor;
  OPEN settings.all_cfg;
  FETCH settings.all_cfg INTO item;
  DBMS_OUTPUT.PUT_LINE(item.k || '=' || item.v || ' ' || settings.scaled('b') || ' ' || f);
  CLOSE settings.all_cfg;
  FOR r IN (SELECT k FROM cfg WHERE settings.scaled(k) > 15) LOOP
    DBMS_OUTPUT.PUT_LINE('big ' || r.k);
  END LOOP;
END;
/
> a=1 20 10
> big b
SELECT k, settings.scaled(k) AS s FROM cfg ORDER BY k;
> K,S
> a,10
> b,20
# A package body that leaves out a declared subprogram is INVALID
CREATE OR REPLACE PACKAGE half IS
  PROCEDURE one;
  PROCEDURE two;
END;
/
CREATE OR REPLACE PACKAGE BODY half IS
  PROCEDURE one IS
  BEGIN
    NULL;
  END;
END;
/
> ORA-24344: success with compilation error
SELECT type, line, text FROM user_errors WHERE name = 'HALF';
> TYPE,LINE,TEXT
> PACKAGE BODY,3,PLS-00323: subprogram or cursor 'TWO' is declared in a package specification and must be defined in the package body
# A call no subprogram matches: wrong arguments, or a procedure and a function confused
CREATE OR REPLACE PROCEDURE one_arg(a NUMBER) IS BEGIN NULL; END;
/
CREATE OR REPLACE FUNCTION one_fn(a NUMBER) RETURN NUMBER IS BEGIN RETURN a; END;
/
CREATE OR REPLACE PROCEDURE confused IS
  n NUMBER;
BEGIN
  one_arg(1, 2);
  n := one_arg(1);
  one_fn(1);
END;
/
> ORA-24344: success with compilation error
SELECT line, text FROM user_errors WHERE name = 'CONFUSED' AND text LIKE 'PLS%' ORDER BY line;
> LINE,TEXT
> 4,PLS-00306: wrong number or types of arguments in call to 'ONE_ARG'
> 5,PLS-00222: no function with name 'ONE_ARG' exists in this scope
> 6,PLS-00221: 'ONE_FN' is not a procedure or is undefined
