# SQL's own conditions used as PL/SQL conditions, and PLS_INTEGER arithmetic, which holds 32 bits.
CREATE TABLE cond_t (code VARCHAR2(10));
INSERT INTO cond_t VALUES ('012');
> 1 rows
INSERT INTO cond_t VALUES ('A12');
> 1 rows
INSERT INTO cond_t VALUES (NULL);
> 1 rows
DECLARE
  n NUMBER := 5;
BEGIN
  FOR r IN (SELECT code FROM cond_t ORDER BY code NULLS LAST) LOOP
    IF r.code LIKE '0%' THEN
      DBMS_OUTPUT.PUT_LINE(r.code || ' like');
    ELSIF REGEXP_LIKE(r.code, '^[A-Z][0-9]+$') THEN
      DBMS_OUTPUT.PUT_LINE(r.code || ' regexp');
    ELSIF NOT (r.code LIKE '%') OR r.code IS NULL THEN
      DBMS_OUTPUT.PUT_LINE('null is neither');
    END IF;
  END LOOP;
  IF n BETWEEN 1 AND 10 AND n NOT IN (1, 2) THEN
    DBMS_OUTPUT.PUT_LINE('between');
  END IF;
  WHILE n > 0 AND NOT REGEXP_LIKE(TO_CHAR(n), '^[0-2]$') LOOP
    n := n - 1;
  END LOOP;
  DBMS_OUTPUT.PUT_LINE(n);
END;
/
> 012 like
> A12 regexp
> null is neither
> between
> 2
# A condition assigned to a BOOLEAN
DECLARE
  b BOOLEAN := 'abc' LIKE 'a%';
BEGIN
  IF b THEN DBMS_OUTPUT.PUT_LINE('true'); END IF;
  b := REGEXP_LIKE('abc', '^b');
  IF NOT b THEN DBMS_OUTPUT.PUT_LINE('false'); END IF;
END;
/
> true
> false
# PLS_INTEGER with PLS_INTEGER overflows past 2147483647, even into a NUMBER
DECLARE
  p1 PLS_INTEGER := 2147483647;
  p2 PLS_INTEGER := 1;
  n NUMBER;
BEGIN
  n := p1 + p2;
END;
/
> ORA-01426: numeric overflow
# INTEGER is a NUMBER: no overflow there
DECLARE
  p1 PLS_INTEGER := 2147483647;
  p2 INTEGER := 1;
  i INTEGER := 2147483647;
  n NUMBER;
BEGIN
  n := p1 + p2;
  DBMS_OUTPUT.PUT_LINE(n);
  i := i * 4;
  DBMS_OUTPUT.PUT_LINE(i);
END;
/
> 2147483648
> 8589934588
# Each way out of the 32 bits: a sum, a difference, a product, an assignment, a loop bound
DECLARE
  lo PLS_INTEGER := -2147483648;
  hi BINARY_INTEGER := 2147483647;
  two PLS_INTEGER := 2;
  one PLS_INTEGER := 1;
  k NATURAL;
  PROCEDURE try(what VARCHAR2, n NUMBER) IS
  BEGIN
    DBMS_OUTPUT.PUT_LINE(what || ' ' || n);
  END;
BEGIN
  BEGIN try('sum', hi + one); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('sum ' || SQLERRM); END;
  BEGIN try('difference', lo - one); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('difference ' || SQLERRM); END;
  BEGIN try('product', hi * two); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('product ' || SQLERRM); END;
  BEGIN try('edge', lo + hi + one - one); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('edge ' || SQLERRM); END;
  BEGIN k := 2147483648; EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('assignment ' || SQLERRM); END;
  BEGIN
    FOR i IN POWER(2, 31) .. POWER(2, 31) + 1 LOOP
      NULL;
    END LOOP;
  EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('loop ' || SQLERRM);
  END;
END;
/
> sum ORA-01426: numeric overflow
> difference ORA-01426: numeric overflow
> product ORA-01426: numeric overflow
> edge -1
> assignment ORA-01426: numeric overflow
> loop ORA-01426: numeric overflow
