# Anonymous blocks: declarations, control flow, expressions and DBMS_OUTPUT.
BEGIN
  NULL;
END;
/
DECLARE
  n NUMBER := 10;
  s VARCHAR2(20) := 'x';
  total PLS_INTEGER := 0;
BEGIN
  FOR i IN 1 .. n LOOP
    total := total + i;
  END LOOP;
  DBMS_OUTPUT.PUT_LINE('total ' || total || s);
  IF total > 50 THEN
    DBMS_OUTPUT.PUT_LINE('big');
  ELSIF total > 10 THEN
    DBMS_OUTPUT.PUT_LINE('medium');
  ELSE
    DBMS_OUTPUT.PUT_LINE('small');
  END IF;
END;
/
> total 55x
> big
# WHILE, EXIT WHEN, CONTINUE, labels, CASE statement and expression, booleans
DECLARE
  i PLS_INTEGER := 0;
  odd VARCHAR2(100);
  done BOOLEAN := FALSE;
BEGIN
  WHILE NOT done LOOP
    i := i + 1;
    CONTINUE WHEN MOD(i, 2) = 0;
    odd := odd || i;
    done := i >= 7;
  END LOOP;
  DBMS_OUTPUT.PUT_LINE(odd);
  <<outer>>
  LOOP
    i := i - 1;
    EXIT outer WHEN i < 5;
  END LOOP;
  CASE i
    WHEN 4 THEN DBMS_OUTPUT.PUT_LINE('four');
    ELSE DBMS_OUTPUT.PUT_LINE('other');
  END CASE;
  DBMS_OUTPUT.PUT_LINE(CASE WHEN i BETWEEN 1 AND 4 THEN 'in' ELSE 'out' END);
  FOR k IN REVERSE 1 .. 3 LOOP
    DBMS_OUTPUT.PUT(k);
  END LOOP;
  DBMS_OUTPUT.NEW_LINE;
END;
/
> 1357
> four
> in
> 321
# Arithmetic: exact division, NULL propagation, SQL functions inside PL/SQL, dates
DECLARE
  a NUMBER := 7;
  b NUMBER;
  d DATE := DATE '2024-01-31';
BEGIN
  DBMS_OUTPUT.PUT_LINE(a / 2);
  DBMS_OUTPUT.PUT_LINE(NVL(TO_CHAR(a + b), 'null'));
  DBMS_OUTPUT.PUT_LINE(UPPER(SUBSTR('hello', 2, 3)) || LENGTH('abc'));
  DBMS_OUTPUT.PUT_LINE(TO_CHAR(ADD_MONTHS(d, 1), 'YYYY-MM-DD'));
  DBMS_OUTPUT.PUT_LINE(TO_CHAR(d + 1, 'YYYY-MM-DD'));
  IF b IS NULL AND a > 1 THEN
    DBMS_OUTPUT.PUT_LINE('b is null');
  END IF;
END;
/
> 3.5
> null
> ELL3
> 2024-02-29
> 2024-02-01
> b is null
# Nested blocks and scope
DECLARE
  x NUMBER := 1;
BEGIN
  DECLARE
    x NUMBER := 2;
  BEGIN
    DBMS_OUTPUT.PUT_LINE('inner ' || x);
  END;
  DBMS_OUTPUT.PUT_LINE('outer ' || x);
END;
/
> inner 2
> outer 1
# Constants cannot be assigned; undeclared names are PLS-00201 at their place
DECLARE
  c CONSTANT NUMBER := 1;
BEGIN
  c := 2;
END;
/
> ORA-06550: line 4, column 3:
BEGIN
  DBMS_OUTPUT.PUT_LINE(nosuch);
END;
/
> ORA-06550: line 2, column 24:
BEGIN
  x := ;
END;
/
> ORA-06550: line 2, column 8:
# A string too long for its variable is ORA-06502
DECLARE
  s VARCHAR2(3);
BEGIN
  s := 'abcd';
END;
/
> ORA-06502: PL/SQL: numeric or value error: character string buffer too small
# DBMS_OUTPUT.GET_LINE and GET_LINES read back what was put; DISABLE drops the buffer
DECLARE
  line VARCHAR2(100);
  status NUMBER;
  lines DBMS_OUTPUT.CHARARR;
  n NUMBER := 5;
BEGIN
  DBMS_OUTPUT.PUT_LINE('first');
  DBMS_OUTPUT.PUT_LINE('second');
  DBMS_OUTPUT.PUT_LINE('third');
  DBMS_OUTPUT.GET_LINE(line, status);
  DBMS_OUTPUT.GET_LINES(lines, n);
  DBMS_OUTPUT.PUT_LINE(line || ' ' || status || ' ' || n || ' ' || lines(2));
END;
/
> first 0 2 third
BEGIN
  DBMS_OUTPUT.DISABLE;
  DBMS_OUTPUT.PUT_LINE('lost');
  DBMS_OUTPUT.ENABLE;
  DBMS_OUTPUT.PUT_LINE('kept');
END;
/
> kept
# Nested tables grow with EXTEND
DECLARE
  TYPE list_t IS TABLE OF NUMBER;
  l list_t := list_t();
BEGIN
  l.EXTEND(2);
  l(1) := 10;
  l(2) := 20;
  l.EXTEND;
  l(3) := l(1) + l(2);
  DBMS_OUTPUT.PUT_LINE(l.COUNT || ' ' || l(l.LAST));
END;
/
> 3 30
