# DBMS_SQL: DDL runs at PARSE; DML and PL/SQL blocks with binds run at EXECUTE; a query's rows come
# through DEFINE_COLUMN, FETCH_ROWS and COLUMN_VALUE.
DECLARE
  c INTEGER;
BEGIN
  c := DBMS_SQL.OPEN_CURSOR;
  DBMS_SQL.PARSE(c, 'CREATE TABLE dyn_t (id NUMBER, name VARCHAR2(20), d DATE)', DBMS_SQL.V7);
  DBMS_SQL.CLOSE_CURSOR(c);
END;
/
SELECT table_name FROM user_tables WHERE table_name = 'DYN_T';
> TABLE_NAME
> DYN_T

# DML with binds named with or without the colon; EXECUTE returns the rows processed
DECLARE
  c INTEGER;
  n INTEGER;
BEGIN
  c := DBMS_SQL.OPEN_CURSOR;
  DBMS_SQL.PARSE(c, 'INSERT INTO dyn_t VALUES (:id, :name, :d)', DBMS_SQL.NATIVE);
  FOR i IN 1 .. 3 LOOP
    DBMS_SQL.BIND_VARIABLE(c, ':id', i);
    DBMS_SQL.BIND_VARIABLE(c, 'name', 'row ' || i);
    DBMS_SQL.BIND_VARIABLE(c, ':D', TO_DATE('2024-01-0' || i, 'YYYY-MM-DD'));
    n := DBMS_SQL.EXECUTE(c);
  END LOOP;
  DBMS_OUTPUT.PUT_LINE('inserted ' || n);
  DBMS_SQL.PARSE(c, 'UPDATE dyn_t SET name = UPPER(name) WHERE id >= :lo', DBMS_SQL.NATIVE);
  DBMS_SQL.BIND_VARIABLE(c, 'lo', 2);
  DBMS_OUTPUT.PUT_LINE('updated ' || DBMS_SQL.EXECUTE(c));
  DBMS_SQL.CLOSE_CURSOR(c);
  DBMS_OUTPUT.PUT_LINE(NVL(TO_CHAR(c), 'closed'));
END;
/
> inserted 1
> updated 2
> closed

# A query, row by row
DECLARE
  c INTEGER;
  n INTEGER;
  id NUMBER;
  name VARCHAR2(20);
  d DATE;
BEGIN
  c := DBMS_SQL.OPEN_CURSOR;
  DBMS_SQL.PARSE(c, 'SELECT id, name, d FROM dyn_t WHERE id > :x ORDER BY id', DBMS_SQL.V7);
  DBMS_SQL.BIND_VARIABLE(c, 'x', 1);
  DBMS_SQL.DEFINE_COLUMN(c, 1, id);
  DBMS_SQL.DEFINE_COLUMN(c, 2, name, 20);
  DBMS_SQL.DEFINE_COLUMN(c, 3, d);
  n := DBMS_SQL.EXECUTE(c);
  WHILE DBMS_SQL.FETCH_ROWS(c) > 0 LOOP
    DBMS_SQL.COLUMN_VALUE(c, 1, id);
    DBMS_SQL.COLUMN_VALUE(c, 2, name);
    DBMS_SQL.COLUMN_VALUE(c, 3, d);
    DBMS_OUTPUT.PUT_LINE(id || ' ' || name || ' ' || TO_CHAR(d, 'YYYY-MM-DD'));
  END LOOP;
  IF DBMS_SQL.IS_OPEN(c) THEN
    DBMS_OUTPUT.PUT_LINE('still open');
  END IF;
  DBMS_SQL.CLOSE_CURSOR(c);
END;
/
> 2 ROW 2 2024-01-02
> 3 ROW 3 2024-01-03
> still open

# A PL/SQL block: its out bind read with VARIABLE_VALUE
DECLARE
  c INTEGER;
  n INTEGER;
  r NUMBER;
BEGIN
  c := DBMS_SQL.OPEN_CURSOR;
  DBMS_SQL.PARSE(c, 'BEGIN :r := :a * 2; END;', DBMS_SQL.NATIVE);
  DBMS_SQL.BIND_VARIABLE(c, 'a', 21);
  DBMS_SQL.BIND_VARIABLE(c, 'r', 0);
  n := DBMS_SQL.EXECUTE(c);
  DBMS_SQL.VARIABLE_VALUE(c, 'r', r);
  DBMS_OUTPUT.PUT_LINE(r);
  DBMS_SQL.CLOSE_CURSOR(c);
END;
/
> 42

# A statement that does not parse reports where; the cursor stays open for the handler to close
DECLARE
  c INTEGER;
BEGIN
  c := DBMS_SQL.OPEN_CURSOR;
  DBMS_SQL.PARSE(c, 'SELECT * FROM no_such_table', DBMS_SQL.V7);
EXCEPTION
  WHEN OTHERS THEN
    DBMS_OUTPUT.PUT_LINE(SQLERRM || ' at ' || DBMS_SQL.LAST_ERROR_POSITION);
    IF DBMS_SQL.IS_OPEN(c) THEN
      DBMS_SQL.CLOSE_CURSOR(c);
      DBMS_OUTPUT.PUT_LINE('closed');
    END IF;
END;
/
> ORA-00942: table or view does not exist at 14
> closed

# Cursor numbers that are not open, binds the statement lacks, fetching before EXECUTE
DECLARE
  n INTEGER;
BEGIN
  n := DBMS_SQL.EXECUTE(12345);
END;
/
> ORA-29471: DBMS_SQL access denied
DECLARE
  c INTEGER := DBMS_SQL.OPEN_CURSOR;
BEGIN
  DBMS_SQL.PARSE(c, 'DELETE FROM dyn_t WHERE id = :id', DBMS_SQL.NATIVE);
  DBMS_SQL.BIND_VARIABLE(c, 'other', 1);
END;
/
> ORA-01006: bind variable does not exist
DECLARE
  c INTEGER := DBMS_SQL.OPEN_CURSOR;
  n INTEGER;
BEGIN
  DBMS_SQL.PARSE(c, 'SELECT id FROM dyn_t', DBMS_SQL.NATIVE);
  n := DBMS_SQL.FETCH_ROWS(c);
END;
/
> ORA-01002: fetch out of sequence
