# PL/SQL the applications' packages use: owner.package.function inside built-ins, fields of
# collection-of-record elements, LOCK TABLE, cursor FOR loops with WHERE CURRENT OF.

CREATE TABLE pt (id NUMBER, name VARCHAR2(10));
INSERT INTO pt VALUES (1, 'a');
> 1 rows
INSERT INTO pt VALUES (2, 'b');
> 1 rows
COMMIT;
CREATE OR REPLACE PACKAGE pck IS FUNCTION f(n NUMBER) RETURN NUMBER; END;
/
CREATE OR REPLACE PACKAGE BODY pck IS FUNCTION f(n NUMBER) RETURN NUMBER IS BEGIN RETURN n * 2; END; END;
/

# owner.package.function as the argument of a built-in
BEGIN
  DBMS_OUTPUT.PUT_LINE(TO_CHAR(system.pck.f(1)) || '/' || NVL(system.pck.f(NULL), -1) || '/' || LENGTH(system.pck.f(50)));
END;
/
> 2/-1/3
SELECT TO_CHAR(system.pck.f(21)) AS v FROM dual;
> V
> 42
BEGIN DBMS_OUTPUT.PUT_LINE(TO_CHAR(system.pck.nosuch(1))); END;
/
> ORA-06550: line 1, column 36:

# Fields of elements of a collection of records: written, read, read in SQL
DECLARE
  TYPE rec IS RECORD (a VARCHAR2(10), b NUMBER);
  TYPE tab IS TABLE OF rec INDEX BY PLS_INTEGER;
  t tab;
  n NUMBER;
BEGIN
  t(1).a := 'x';
  t(1).b := 5;
  t(2).a := t(1).a || 'y';
  SELECT COUNT(*) INTO n FROM dual WHERE t(2).a = 'xy';
  DBMS_OUTPUT.PUT_LINE(t(1).a || ',' || t(2).a || ',' || t(1).b || ',' || NVL(t(2).b, -1) || ',' || n || ',' || t.COUNT);
END;
/
> x,xy,5,-1,1,2
DECLARE
  TYPE rec IS RECORD (a VARCHAR2(10));
  TYPE tab IS TABLE OF rec INDEX BY PLS_INTEGER;
  t tab;
BEGIN
  DBMS_OUTPUT.PUT_LINE(t(3).a);
END;
/
> ORA-01403: no data found

# LOCK TABLE inside PL/SQL
BEGIN LOCK TABLE pt IN EXCLUSIVE MODE NOWAIT; DBMS_OUTPUT.PUT_LINE('locked'); END;
/
> locked
ROLLBACK;
BEGIN LOCK TABLE nosuch IN SHARE MODE; END;
/
> ORA-06550: line 1, column 7:

# A cursor FOR loop over a FOR UPDATE cursor: WHERE CURRENT OF and the cursor's attributes
DECLARE
  CURSOR c IS SELECT id, name FROM pt ORDER BY id FOR UPDATE;
BEGIN
  FOR r IN c LOOP
    IF r.id = 1 THEN
      UPDATE pt SET name = 'z' WHERE CURRENT OF c;
    ELSE
      DELETE FROM pt WHERE CURRENT OF c;
    END IF;
    DBMS_OUTPUT.PUT_LINE(r.id || ':' || c%ROWCOUNT || ':' || SQL%ROWCOUNT);
  END LOOP;
  DBMS_OUTPUT.PUT_LINE(CASE WHEN c%ISOPEN THEN 'open' ELSE 'closed' END);
END;
/
> 1:1:1
> 2:2:1
> closed
SELECT id, name FROM pt;
> ID,NAME
> 1,z
ROLLBACK;
DECLARE
  CURSOR c IS SELECT id FROM pt;
BEGIN
  OPEN c;
  FOR r IN c LOOP NULL; END LOOP;
END;
/
> ORA-06511: PL/SQL: cursor already open
