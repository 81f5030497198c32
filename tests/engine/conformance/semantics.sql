# The core semantics every statement relies on.

# '' is NULL: in functions, comparisons and concatenation
SELECT NVL('', 'empty') AS v, LENGTH('') AS n FROM dual;
> V,N
> empty,
SELECT CASE WHEN '' IS NULL THEN 'null' ELSE 'not null' END AS r FROM dual;
> R
> null
SELECT CASE WHEN '' = '' THEN 'equal' ELSE 'unknown' END AS r FROM dual;
> R
> unknown
SELECT 'a' || NULL || 'b' || '' AS r FROM dual;
> R
> ab
CREATE TABLE sem (id NUMBER PRIMARY KEY, name VARCHAR2(10));
INSERT INTO sem VALUES (1, '');
> 1 rows
SELECT COUNT(*) AS nulls FROM sem WHERE name IS NULL;
> NULLS
> 1

# "/" divides exactly: no integer division
SELECT 7/2 AS a, -7/2 AS b, 10/4 AS c, 6/3 AS d, 1/8 AS e FROM dual;
> A,B,C,D,E
> 3.5,-3.5,2.5,2,.125
SELECT 1/0 AS r FROM dual;
> ORA-01476: divisor is equal to zero

# Numbers print as Oracle prints them: no leading zero, no trailing zeros
SELECT 0.5 AS a, -0.5 AS b, 1.50 AS c, 100 AS d, 3.0 AS e, -12.25 AS f FROM dual;
> A,B,C,D,E,F
> .5,-.5,1.5,100,3,-12.25

# Large and small numbers print in full, not in scientific notation
SELECT 12345678901234 AS a, TO_CHAR(POWER(10, 20)) AS b, 0.000001 AS c FROM dual;
> A,B,C
> 12345678901234,100000000000000000000,.000001

# Comparing text with a number converts the text to a number
SELECT CASE WHEN '010' = 10 THEN 'numeric' ELSE 'textual' END AS r FROM dual;
> R
> numeric

# Text sorts by its binary code: upper case before lower case
SELECT c FROM (SELECT 'b' AS c FROM dual UNION ALL SELECT 'B' FROM dual UNION ALL SELECT 'a' FROM dual) ORDER BY c;
> C
> B
> a
> b

# LIKE is case-sensitive; % and _ are wildcards; ESCAPE makes them plain
SELECT CASE WHEN 'ABC' LIKE 'a%' THEN 'match' ELSE 'no match' END AS r FROM dual;
> R
> no match
SELECT CASE WHEN 'abc' LIKE 'a_c' THEN 'match' ELSE 'no match' END AS r FROM dual;
> R
> match
SELECT CASE WHEN 'a%b' LIKE 'a\%b' ESCAPE '\' THEN 'match' END AS r1,
       CASE WHEN 'axb' LIKE 'a\%b' ESCAPE '\' THEN 'match' ELSE 'no match' END AS r2 FROM dual;
> R1,R2
> match,no match
SELECT COUNT(*) AS n FROM sem WHERE name LIKE '%';
> N
> 0

# Unquoted names are upper case, result column names included; quoted names keep their case
SELECT 1 AS one, 2 two, 3 AS "Three" FROM dual;
> ONE,TWO,Three
> 1,2,3
SELECT id FROM sem;
> ID
> 1
SELECT dummy FROM dual;
> DUMMY
> X
SELECT COUNT(*) FROM dual;
> COUNT(*)
> 1
CREATE TABLE MixedCase (SomeColumn NUMBER);
CREATE TABLE "quoted" ("lower" NUMBER);
SELECT table_name FROM user_tables WHERE UPPER(table_name) IN ('MIXEDCASE', 'QUOTED') ORDER BY table_name;
> TABLE_NAME
> MIXEDCASE
> quoted
SELECT somecolumn FROM mixedcase;
> SOMECOLUMN
SELECT * FROM quoted;
> ORA-00942: table or view does not exist
SELECT "lower" FROM "quoted";
> lower

# A trailing ";" sent with plain SQL is an invalid character
SELECT 1 AS a FROM dual;
/
> ORA-00911: invalid character

# DDL commits the open transaction, even when the DDL then fails on a name in use
INSERT INTO sem VALUES (2, 'kept');
> 1 rows
CREATE TABLE sem_other (a NUMBER);
ROLLBACK;
SELECT id FROM sem ORDER BY id;
> ID
> 1
> 2
INSERT INTO sem VALUES (3, 'kept too');
> 1 rows
CREATE TABLE sem (a NUMBER);
> ORA-00955: name is already used by an existing object
ROLLBACK;
SELECT COUNT(*) AS n FROM sem;
> N
> 3

# DUAL has one row and one column
SELECT * FROM dual;
> DUMMY
> X
