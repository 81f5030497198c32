# Rules the engine enforces in the DML it compiles: NOT NULL on every path, column fitting,
# ROWNUM before sorting and grouping, hierarchical loops, CHAR comparison.

CREATE TABLE nn (id NUMBER CONSTRAINT nn_pk PRIMARY KEY, code VARCHAR2(3) CONSTRAINT nn_code NOT NULL, note VARCHAR2(5));

# A NOT NULL column left out of the column list is NULL, and refused
INSERT INTO nn (id, note) VALUES (1, 'x');
> ORA-01400: cannot insert NULL into ("SYSTEM"."NN"."CODE")
INSERT INTO nn (code) VALUES ('a');
> ORA-01400: cannot insert NULL into ("SYSTEM"."NN"."ID")
INSERT INTO nn VALUES (1, 'a', NULL);
> 1 rows
UPDATE nn SET code = NULL;
> ORA-01407: cannot update ("SYSTEM"."NN"."CODE") to NULL
UPDATE nn SET code = '';
> ORA-01407: cannot update ("SYSTEM"."NN"."CODE") to NULL

# INSERT ... SELECT checks every row, and a statement that touches no row checks nothing
INSERT INTO nn (id, code) SELECT 2, NULL FROM dual;
> ORA-01400: cannot insert NULL into ("SYSTEM"."NN"."CODE")
INSERT INTO nn (id, code) SELECT 2, NULL FROM dual WHERE 1 = 0;
> 0 rows
INSERT INTO nn (id, code, note) SELECT 3, 'b', 'toolong' FROM dual WHERE 1 = 0;
> 0 rows

# Disabled, the constraint lets NULL in; enabling it again checks the rows
ALTER TABLE nn DISABLE CONSTRAINT nn_code;
INSERT INTO nn (id) VALUES (2);
> 1 rows
ALTER TABLE nn ENABLE CONSTRAINT nn_code;
> ORA-02296: cannot enable (SYSTEM.NN_CODE) - null values found
DELETE FROM nn WHERE code IS NULL;
> 1 rows
ALTER TABLE nn ENABLE CONSTRAINT nn_code;
INSERT INTO nn (id) VALUES (2);
> ORA-01400: cannot insert NULL into ("SYSTEM"."NN"."CODE")

# ROWNUM numbers rows before ORDER BY, GROUP BY and DISTINCT
CREATE TABLE rn (n NUMBER, g VARCHAR2(1));
INSERT INTO rn SELECT LEVEL, CASE WHEN MOD(LEVEL, 2) = 0 THEN 'e' ELSE 'o' END FROM dual CONNECT BY LEVEL <= 6;
> 6 rows
SELECT COUNT(*) AS c FROM rn WHERE ROWNUM <= 4;
> C
> 4
SELECT COUNT(DISTINCT g) AS d FROM rn WHERE ROWNUM < 2;
> D
> 1
SELECT n FROM (SELECT n FROM rn ORDER BY n DESC) WHERE ROWNUM <= 2;
> N
> 6
> 5
UPDATE rn SET g = 'x' WHERE ROWNUM <= 2;
> 2 rows
SELECT COUNT(*) AS x FROM rn WHERE g = 'x';
> X
> 2

# A hierarchy that loops is an error, unless NOCYCLE
CREATE TABLE tree (id NUMBER, parent NUMBER);
INSERT INTO tree VALUES (1, 3);
> 1 rows
INSERT INTO tree VALUES (2, 1);
> 1 rows
INSERT INTO tree VALUES (3, 2);
> 1 rows
SELECT id FROM tree START WITH id = 1 CONNECT BY PRIOR id = parent;
> ORA-01436: CONNECT BY loop in user data
SELECT id, LEVEL AS lv FROM tree START WITH id = 1 CONNECT BY NOCYCLE PRIOR id = parent;
> ID,LV
> 1,1
> 2,2
> 3,3

# CHAR compares blank-padded with CHAR and literals
CREATE TABLE ch (c CHAR(4), v VARCHAR2(4));
INSERT INTO ch VALUES ('ab', 'ab');
> 1 rows
SELECT COUNT(*) AS n FROM ch WHERE c = 'ab' AND v = 'ab';
> N
> 1
SELECT LENGTH(c) AS lc, LENGTH(v) AS lv FROM ch;
> LC,LV
> 4,2

# ANY and ALL over a subquery and a list; ALL over no rows is true
SELECT n FROM rn WHERE n > ALL (SELECT n FROM rn WHERE n > 4) OR n < ANY (1, 2) ORDER BY n;
> N
> 1
SELECT COUNT(*) AS c FROM rn WHERE n > ALL (SELECT n FROM rn WHERE n > 100);
> C
> 6

# SELECT * with ROWNUM and ORDER BY: the limit comes first, then the sort
SELECT * FROM rn WHERE n > 2 AND ROWNUM <= 2 ORDER BY n DESC;
> N,G
> 4,e
> 3,o

# Analytic functions over partitions
SELECT n, g, ROW_NUMBER() OVER (PARTITION BY g ORDER BY n DESC) AS rn, COUNT(*) OVER (PARTITION BY g) AS c,
       SUM(n) OVER (ORDER BY n) AS running, LAG(n) OVER (ORDER BY n) AS prev
FROM rn WHERE g <> 'x' ORDER BY n;
> N,G,RN,C,RUNNING,PREV
> 3,o,2,2,3,
> 4,e,2,2,7,3
> 5,o,1,2,12,4
> 6,e,1,2,18,5
SELECT n FROM rn WHERE ROW_NUMBER() OVER (ORDER BY n) = 1;
> ORA-30483: window  functions are not allowed here
# NTILE: buckets differ by at most one row, the first buckets take the remainder; a fractional count
# is truncated; more buckets than rows fill one bucket per row
SELECT n, NTILE(3) OVER (ORDER BY n) AS q, NTILE(2.9) OVER (PARTITION BY MOD(n, 2) ORDER BY n) AS h,
       NTILE(10) OVER (PARTITION BY MOD(n, 2) ORDER BY n DESC) AS t
FROM (SELECT LEVEL AS n FROM dual CONNECT BY LEVEL <= 7) ORDER BY n;
> N,Q,H,T
> 1,1,1,4
> 2,1,1,3
> 3,1,1,3
> 4,2,1,2
> 5,2,2,2
> 6,3,2,1
> 7,3,2,1
SELECT NTILE(2) OVER (PARTITION BY n) AS q FROM rn;
> ORA-30485: missing ORDER BY expression in the window specification


# WITH: named subqueries, also with column names, read like tables
WITH odd AS (SELECT n FROM rn WHERE g = 'o'), big (v) AS (SELECT n * 10 FROM rn WHERE n > 4)
SELECT odd.n, big.v FROM odd, big WHERE big.v = odd.n * 10 ORDER BY 1;
> N,V
> 5,50
WITH t AS (SELECT 1 AS a FROM dual) SELECT COUNT(*) AS c FROM t, (WITH t AS (SELECT 2 AS a FROM dual) SELECT a FROM t) u WHERE u.a = 2;
> C
> 1
WITH x AS (SELECT 1 AS a FROM dual) DELETE FROM rn;
> ORA-00928: missing SELECT keyword
