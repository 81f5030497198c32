# NULL handling and choice functions.

SELECT NVL(NULL, 'x') AS a, NVL('y', 'x') AS b, NVL(NULL, 0) + 1 AS c FROM dual;
> A,B,C
> x,y,1
SELECT NVL2(NULL, 'a', 'b') AS a, NVL2('z', 'a', 'b') AS b FROM dual;
> A,B
> b,a

# DECODE compares in order, NULL matches NULL, and without a default the result is NULL
SELECT DECODE(2, 1, 'one', 2, 'two', 'other') AS a, DECODE(5, 1, 'one', 'other') AS b, DECODE(3, 1, 'one') AS c,
       DECODE(NULL, NULL, 'null matches', 'no') AS d FROM dual;
> A,B,C,D
> two,other,,null matches

# CASE, simple and searched; NULL never equals NULL in a simple CASE
SELECT CASE 2 WHEN 1 THEN 'one' WHEN 2 THEN 'two' END AS a, CASE WHEN 1 > 2 THEN 'yes' ELSE 'no' END AS b,
       CASE NULL WHEN NULL THEN 'matched' ELSE 'not matched' END AS c, CASE WHEN 1 = 2 THEN 'x' END AS d FROM dual;
> A,B,C,D
> two,no,not matched,

SELECT COALESCE(NULL, NULL, 3, 4) AS a, COALESCE(NULL, 'b') AS b, NULLIF(1, 1) AS c, NULLIF(1, 2) AS d FROM dual;
> A,B,C,D
> 3,b,,1

# GREATEST and LEAST: NULL when any argument is NULL
SELECT GREATEST(1, 3, 2) AS a, LEAST(1, 3, 2) AS b, GREATEST('b', 'a', 'c') AS c, LEAST('b', 'a') AS d,
       GREATEST(1, NULL) AS e FROM dual;
> A,B,C,D,E
> 3,1,c,a,

# An empty LOB is no NULL: the NULL functions tell it from a NULL one, in SQL and in PL/SQL
CREATE TABLE nl_lob (id NUMBER, c CLOB, b BLOB);
INSERT INTO nl_lob VALUES (1, EMPTY_CLOB(), EMPTY_BLOB());
> 1 rows
INSERT INTO nl_lob VALUES (2, NULL, NULL);
> 1 rows
SELECT id, NVL(c, 'x') AS nv, NVL2(c, 'set', 'null') AS nv2, NVL2(b, 'set', 'null') AS nvb, COALESCE(c, 'x') AS co,
       DECODE(c, NULL, 'null', 'set') AS de, CASE WHEN c IS NULL THEN 'null' ELSE 'set' END AS isn,
       DBMS_LOB.GETLENGTH(NVL(c, TO_CLOB('abc'))) AS len
  FROM nl_lob ORDER BY id;
> ID,NV,NV2,NVB,CO,DE,ISN,LEN
> 1,,set,set,,set,set,0
> 2,x,null,null,x,null,null,3
SELECT NVL2(EMPTY_CLOB(), 'set', 'null') AS a, COALESCE(NULL, EMPTY_CLOB(), TO_CLOB('x')) AS b FROM dual;
> A,B
> set,
DECLARE
  c CLOB;
BEGIN
  SELECT c INTO c FROM nl_lob WHERE id = 1;
  DBMS_OUTPUT.PUT_LINE(CASE WHEN c IS NULL THEN 'null' ELSE 'set' END || ' [' || NVL(c, 'x') || '] ' || NVL2(c, 'set', 'null'));
  SELECT c INTO c FROM nl_lob WHERE id = 2;
  DBMS_OUTPUT.PUT_LINE(CASE WHEN c IS NULL THEN 'null' ELSE 'set' END || ' [' || NVL(c, 'x') || '] ' || NVL2(c, 'set', 'null'));
END;
/
> set [] set
> null [x] null
