# Types in SQL: TABLE(collection) in FROM, BULK COLLECT into schema-level collections, and %TYPE /
# %ROWTYPE anchored on dictionary views.
CREATE TYPE num_list AS TABLE OF NUMBER;
/
CREATE TYPE pair_t AS OBJECT (k VARCHAR2(10), v NUMBER);
/
CREATE TYPE pair_list AS TABLE OF pair_t;
/
CREATE OR REPLACE FUNCTION upto(n NUMBER) RETURN num_list IS
  r num_list := num_list();
BEGIN
  FOR i IN 1 .. n LOOP
    r.EXTEND;
    r(i) := i;
  END LOOP;
  RETURN r;
END;
/
CREATE OR REPLACE PACKAGE pairs_pkg AS
  FUNCTION pairs RETURN pair_list;
END;
/
CREATE OR REPLACE PACKAGE BODY pairs_pkg AS
  FUNCTION pairs RETURN pair_list IS
  BEGIN
    RETURN pair_list(pair_t('b', 2), pair_t('a', 1), NULL, pair_t('it''s "q"', NULL));
  END;
END;
/
SELECT column_value FROM TABLE(upto(3));
> COLUMN_VALUE
> 1
> 2
> 3
SELECT SUM(t.column_value) AS s, COUNT(*) AS n FROM TABLE(upto(10)) t WHERE t.column_value > 5;
> S,N
> 40,5
SELECT k, v FROM TABLE(pairs_pkg.pairs) ORDER BY k NULLS LAST;
> K,V
> a,1
> b,2
> "it's ""q""",
> ,
SELECT COUNT(*) AS n FROM TABLE(upto(0));
> N
> 0
SELECT p.k, u.column_value FROM TABLE(pairs_pkg.pairs()) p JOIN TABLE(upto(2)) u ON u.column_value = p.v ORDER BY 2;
> K,COLUMN_VALUE
> a,1
> b,2
SELECT * FROM TABLE(42);
> ORA-22905: cannot access rows from a non-nested table item
SELECT * FROM TABLE(no_such_function(1));
> ORA-00904: "NO_SUCH_FUNCTION": invalid identifier
CREATE TABLE items (id NUMBER, name VARCHAR2(10));
INSERT INTO items SELECT column_value, 'item' || column_value FROM TABLE(upto(4));
> 4 rows
# PL/SQL variables in TABLE(...), and BULK COLLECT into a schema-level nested table
DECLARE
  l num_list := num_list(5, 3, 9);
  none num_list;
  total NUMBER;
  sorted num_list;
BEGIN
  SELECT SUM(column_value) INTO total FROM TABLE(l);
  SELECT column_value BULK COLLECT INTO sorted FROM TABLE(l) ORDER BY column_value DESC;
  DBMS_OUTPUT.PUT_LINE(total || ' ' || sorted(1) || sorted(2) || sorted(3) || ' ' || sorted.COUNT);
  FOR r IN (SELECT k, v FROM TABLE(pairs_pkg.pairs) WHERE v IS NOT NULL ORDER BY v) LOOP
    DBMS_OUTPUT.PUT_LINE(r.k || r.v);
  END LOOP;
  SELECT id BULK COLLECT INTO sorted FROM items WHERE id > 2 ORDER BY id;
  DBMS_OUTPUT.PUT_LINE(sorted.COUNT || ' ' || sorted(sorted.LAST));
  SELECT COUNT(*) INTO total FROM items WHERE id IN (SELECT column_value FROM TABLE(l));
  DBMS_OUTPUT.PUT_LINE(total);
  SELECT COUNT(*) INTO total FROM TABLE(none);
  DBMS_OUTPUT.PUT_LINE(total);
END;
/
> 17 953 3
> a1
> b2
> 2 4
> 1
> 0
# %TYPE and %ROWTYPE anchored on dictionary views
CREATE OR REPLACE PROCEDURE describe_column(p_table IN VARCHAR2, p_column IN VARCHAR2) IS
  l_nullable user_tab_columns.nullable%TYPE;
  l_object all_objects%ROWTYPE;
BEGIN
  SELECT nullable INTO l_nullable FROM user_tab_columns WHERE table_name = p_table AND column_name = p_column;
  SELECT * INTO l_object FROM all_objects WHERE owner = USER AND object_name = p_table;
  DBMS_OUTPUT.PUT_LINE(l_object.object_type || ' ' || l_object.object_name || '.' || p_column || ' ' || l_nullable);
  l_nullable := 'NO';
EXCEPTION
  WHEN VALUE_ERROR THEN
    DBMS_OUTPUT.PUT_LINE(SQLERRM);
END;
/
SELECT status FROM user_objects WHERE object_name = 'DESCRIBE_COLUMN';
> STATUS
> VALID
BEGIN
  describe_column('ITEMS', 'ID');
END;
/
> TABLE ITEMS.ID Y
> ORA-06502: PL/SQL: numeric or value error: character string buffer too small
CREATE OR REPLACE PROCEDURE bad_anchor IS
  n sys.all_objects.object_name%TYPE := 'x';
  v user_views.no_such_column%TYPE;
BEGIN
  NULL;
END;
/
> ORA-24344: success with compilation error
SELECT line, text FROM user_errors WHERE name = 'BAD_ANCHOR' AND text LIKE 'PLS%';
> LINE,TEXT
> 3,PLS-00302: component 'NO_SUCH_COLUMN' must be declared
# CAST(MULTISET(query) AS type): the rows of a query as a collection, in SQL and into PL/SQL
CREATE TYPE dated_t AS OBJECT (name VARCHAR2(10), made DATE);
/
CREATE TYPE dated_arr AS VARRAY(4) OF dated_t;
/
UPDATE items SET name = NULL WHERE id = 3;
> 1 rows
UPDATE items SET name = NULL, id = NULL WHERE id = 4;
> 1 rows
SELECT * FROM TABLE(CAST(MULTISET(SELECT id FROM items WHERE id IS NOT NULL ORDER BY id DESC) AS num_list));
> COLUMN_VALUE
> 3
> 2
> 1
SELECT name, TO_CHAR(made, 'YYYY-MM-DD') AS made FROM TABLE(CAST(MULTISET(SELECT name, DATE '2020-01-01' + id FROM items ORDER BY id) AS dated_arr));
> NAME,MADE
> item1,2020-01-02
> item2,2020-01-03
> ,2020-01-04
> ,
SELECT * FROM TABLE(CAST(MULTISET(SELECT id, name FROM items) AS num_list));
> ORA-00913: too many values
SELECT * FROM TABLE(CAST(MULTISET(SELECT id FROM items) AS dated_t));
> ORA-22907: invalid CAST to a type that is not a nested table or VARRAY
DECLARE
  l num_list;
  d dated_arr;
BEGIN
  SELECT CAST(MULTISET(SELECT id * 10 FROM items WHERE id IS NOT NULL ORDER BY id) AS num_list) INTO l FROM dual;
  DBMS_OUTPUT.PUT_LINE(l.COUNT || ' ' || l(1) || ' ' || l(3));
  l := CAST(MULTISET(SELECT id FROM items WHERE id > 1 ORDER BY id) AS num_list);
  DBMS_OUTPUT.PUT_LINE(l.COUNT || ' ' || l(2));
  SELECT CAST(MULTISET(SELECT name, DATE '2020-01-01' + id FROM items WHERE id < 4 ORDER BY id) AS dated_arr) INTO d FROM dual;
  DBMS_OUTPUT.PUT_LINE(d.COUNT || ' ' || d(1).name || ' ' || TO_CHAR(d(3).made, 'DD.MM.YYYY') || ' ' || NVL(d(3).name, '-'));
  INSERT INTO items VALUES (5, 'x');
  INSERT INTO items VALUES (6, 'y');
  SELECT CAST(MULTISET(SELECT name, NULL FROM items) AS dated_arr) INTO d FROM dual;
EXCEPTION
  WHEN OTHERS THEN
    DBMS_OUTPUT.PUT_LINE(SQLERRM);
END;
/
> 3 10 30
> 2 3
> 3 item1 04.01.2020 -
> ORA-06532: Subscript outside of limit
