# SQL inside PL/SQL: SELECT INTO, DML with variables, SQL%ROWCOUNT, RETURNING INTO, transactions.
CREATE TABLE emp (id NUMBER PRIMARY KEY, name VARCHAR2(20), salary NUMBER, hired DATE);
INSERT INTO emp VALUES (1, 'Ann', 1000, DATE '2020-01-01');
> 1 rows
INSERT INTO emp VALUES (2, 'Bob', 1500, DATE '2021-06-15');
> 1 rows
COMMIT;
DECLARE
  v_name emp.name%TYPE;
  v_sal NUMBER;
  id NUMBER := 2;
BEGIN
  SELECT name, salary INTO v_name, v_sal FROM emp WHERE emp.id = 1;
  DBMS_OUTPUT.PUT_LINE(v_name || ' ' || v_sal);
  SELECT name INTO v_name FROM emp WHERE id = id AND salary > 1200;
  DBMS_OUTPUT.PUT_LINE(v_name);
END;
/
> Ann 1000
> Bob
# Columns win over variables of the same name; variables become binds
DECLARE
  raise_by NUMBER := 100;
  n NUMBER;
BEGIN
  UPDATE emp SET salary = salary + raise_by WHERE salary < 1200;
  DBMS_OUTPUT.PUT_LINE('updated ' || SQL%ROWCOUNT);
  INSERT INTO emp (id, name, salary) VALUES (3, 'Cy', raise_by * 9) RETURNING id INTO n;
  DBMS_OUTPUT.PUT_LINE('new ' || n);
  DELETE FROM emp WHERE id = 99;
  IF SQL%NOTFOUND THEN
    DBMS_OUTPUT.PUT_LINE('nothing deleted');
  END IF;
END;
/
> updated 1
> new 3
> nothing deleted
SELECT id, salary FROM emp ORDER BY id;
> ID,SALARY
> 1,1100
> 2,1500
> 3,900
# NO_DATA_FOUND and TOO_MANY_ROWS, handled and not
DECLARE
  v NUMBER;
BEGIN
  SELECT salary INTO v FROM emp WHERE id = 42;
EXCEPTION
  WHEN NO_DATA_FOUND THEN
    DBMS_OUTPUT.PUT_LINE('none: ' || SQLCODE || ' ' || SQLERRM);
END;
/
> none: 100 ORA-01403: no data found
DECLARE
  v NUMBER;
BEGIN
  SELECT salary INTO v FROM emp;
END;
/
> ORA-01422: exact fetch returns more than requested number of rows
# A failing block undoes its own changes, not the transaction's earlier ones
INSERT INTO emp (id, name) VALUES (10, 'Kept');
> 1 rows
BEGIN
  INSERT INTO emp (id, name) VALUES (11, 'Undone');
  INSERT INTO emp (id, name) VALUES (1, 'Duplicate');
END;
/
> ORA-00001: unique constraint (SYSTEM.SYS_C0011) violated
SELECT id FROM emp WHERE id >= 10 ORDER BY id;
> ID
> 10
ROLLBACK;
# EXECUTE IMMEDIATE: DDL, DML with USING, a query INTO
DECLARE
  n NUMBER;
BEGIN
  EXECUTE IMMEDIATE 'CREATE TABLE dyn (a NUMBER)';
  EXECUTE IMMEDIATE 'INSERT INTO dyn VALUES (:1)' USING 41;
  EXECUTE IMMEDIATE 'SELECT a + 1 FROM dyn' INTO n;
  DBMS_OUTPUT.PUT_LINE(n);
END;
/
> 42
# Unknown tables in embedded SQL are compile errors of the block
BEGIN
  DELETE FROM nosuch_table;
END;
/
> ORA-06550: line 2, column 15:
# Transactions inside PL/SQL: SAVEPOINT and ROLLBACK TO, COMMIT
CREATE TABLE tx (n NUMBER);
BEGIN
  INSERT INTO tx VALUES (1);
  SAVEPOINT one;
  INSERT INTO tx VALUES (2);
  ROLLBACK TO one;
  INSERT INTO tx VALUES (3);
  COMMIT;
END;
/
ROLLBACK;
SELECT n FROM tx ORDER BY n;
> N
> 1
> 3
