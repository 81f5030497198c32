# Explicit cursors with parameters, attributes, cursor FOR loops, %ROWTYPE, records, associative arrays.
CREATE TABLE dept (id NUMBER PRIMARY KEY, name VARCHAR2(20));
INSERT INTO dept VALUES (10, 'Sales');
> 1 rows
INSERT INTO dept VALUES (20, 'Ops');
> 1 rows
INSERT INTO dept VALUES (30, 'IT');
> 1 rows
DECLARE
  CURSOR c(min_id NUMBER) IS SELECT id, name FROM dept WHERE id >= min_id ORDER BY id;
  r c%ROWTYPE;
BEGIN
  IF NOT c%ISOPEN THEN
    OPEN c(20);
  END IF;
  LOOP
    FETCH c INTO r;
    EXIT WHEN c%NOTFOUND;
    DBMS_OUTPUT.PUT_LINE(c%ROWCOUNT || ': ' || r.id || ' ' || r.name);
  END LOOP;
  CLOSE c;
  FOR d IN (SELECT name FROM dept WHERE id < 30 ORDER BY name) LOOP
    DBMS_OUTPUT.PUT_LINE(d.name);
  END LOOP;
  FOR d IN c(30) LOOP
    DBMS_OUTPUT.PUT_LINE('from c: ' || d.name);
  END LOOP;
END;
/
> 1: 20 Ops
> 2: 30 IT
> Ops
> Sales
> from c: IT
DECLARE
  CURSOR c IS SELECT id FROM dept;
BEGIN
  CLOSE c;
END;
/
> ORA-01001: invalid cursor
DECLARE
  row dept%ROWTYPE;
  TYPE pair IS RECORD (a NUMBER, b VARCHAR2(10));
  p pair;
  q pair;
BEGIN
  SELECT * INTO row FROM dept WHERE id = 10;
  p.a := row.id;
  p.b := row.name;
  q := p;
  p.a := 0;
  DBMS_OUTPUT.PUT_LINE(q.a || ' ' || q.b || ' ' || p.a);
END;
/
> 10 Sales 0
DECLARE
  TYPE names_t IS TABLE OF VARCHAR2(20) INDEX BY PLS_INTEGER;
  TYPE ages_t IS TABLE OF NUMBER INDEX BY VARCHAR2(20);
  names names_t;
  ages ages_t;
  i PLS_INTEGER;
  k VARCHAR2(20);
BEGIN
  names(3) := 'c';
  names(1) := 'a';
  names(2) := 'b';
  i := names.FIRST;
  WHILE i IS NOT NULL LOOP
    DBMS_OUTPUT.PUT(names(i));
    i := names.NEXT(i);
  END LOOP;
  DBMS_OUTPUT.NEW_LINE;
  names.DELETE(2);
  DBMS_OUTPUT.PUT_LINE(names.COUNT || ' ' || names.LAST || ' ' || CASE WHEN names.EXISTS(2) THEN 'y' ELSE 'n' END);
  ages('bob') := 40;
  ages('al') := 30;
  k := ages.FIRST;
  DBMS_OUTPUT.PUT_LINE(k || '=' || ages(k));
  DBMS_OUTPUT.PUT_LINE(ages('zed'));
EXCEPTION
  WHEN NO_DATA_FOUND THEN
    DBMS_OUTPUT.PUT_LINE('no element zed');
END;
/
> abc
> 2 3 n
> al=30
> no element zed
# BULK COLLECT and a REF CURSOR opened for a query
DECLARE
  TYPE ids_t IS TABLE OF NUMBER INDEX BY PLS_INTEGER;
  ids ids_t;
  rc SYS_REFCURSOR;
  n VARCHAR2(20);
BEGIN
  SELECT id BULK COLLECT INTO ids FROM dept ORDER BY id DESC;
  DBMS_OUTPUT.PUT_LINE(ids.COUNT || ' ' || ids(1));
  OPEN rc FOR SELECT name FROM dept WHERE id = 20;
  FETCH rc INTO n;
  CLOSE rc;
  DBMS_OUTPUT.PUT_LINE(n);
END;
/
> 3 30
> Ops
# FOR UPDATE cursors and WHERE CURRENT OF
DECLARE
  CURSOR c IS SELECT id, name FROM dept WHERE id <= 20 FOR UPDATE;
  r c%ROWTYPE;
BEGIN
  OPEN c;
  LOOP
    FETCH c INTO r;
    EXIT WHEN c%NOTFOUND;
    UPDATE dept SET name = name || '!' WHERE CURRENT OF c;
  END LOOP;
  CLOSE c;
END;
/
SELECT id, name FROM dept ORDER BY id;
> ID,NAME
> 10,Sales!
> 20,Ops!
> 30,IT
DECLARE
  CURSOR c IS SELECT id FROM dept;
BEGIN
  FOR r IN c LOOP
    DELETE FROM dept WHERE CURRENT OF c;
  END LOOP;
END;
/
> ORA-06550: line 5, column 39:
# A cursor declared in a block is closed when the block ends
DECLARE
  n NUMBER := 0;
BEGIN
  FOR i IN 1 .. 2 LOOP
    DECLARE
      CURSOR c IS SELECT id FROM dept;
      v NUMBER;
    BEGIN
      OPEN c;
      FETCH c INTO v;
      n := n + 1;
    END;
  END LOOP;
  DBMS_OUTPUT.PUT_LINE('opened ' || n || ' times');
END;
/
> opened 2 times
# Values fetched into scalars leave the row's ROWID for WHERE CURRENT OF; a statement run row after
# row binds each row's own texts, long ones too
CREATE TABLE cur_txt (id NUMBER PRIMARY KEY, name VARCHAR2(60));
CREATE TABLE cur_copy (id NUMBER PRIMARY KEY, name VARCHAR2(60));
INSERT INTO cur_txt VALUES (1, 'a');
> 1 rows
INSERT INTO cur_txt VALUES (2, 'bb');
> 1 rows
INSERT INTO cur_txt VALUES (3, 'ccc');
> 1 rows
DECLARE
  CURSOR c IS SELECT id, name FROM cur_txt ORDER BY id FOR UPDATE;
  i NUMBER;
  n VARCHAR2(60);
BEGIN
  OPEN c;
  LOOP
    FETCH c INTO i, n;
    EXIT WHEN c%NOTFOUND;
    UPDATE cur_txt SET name = n || ' ' || RPAD('x', i * 10, 'x') WHERE CURRENT OF c;
    INSERT INTO cur_copy VALUES (i, RPAD(n, 20 + i, '-'));
  END LOOP;
  CLOSE c;
END;
/
SELECT id, name FROM cur_txt ORDER BY id;
> ID,NAME
> 1,a xxxxxxxxxx
> 2,bb xxxxxxxxxxxxxxxxxxxx
> 3,ccc xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx
SELECT id, name FROM cur_copy ORDER BY id;
> ID,NAME
> 1,a--------------------
> 2,bb--------------------
> 3,ccc--------------------
