# PIVOT and UNPIVOT after a FROM item.

CREATE TABLE pv (region VARCHAR2(1), q NUMBER, amt NUMBER);
INSERT INTO pv VALUES ('N', 1, 10);
> 1 rows
INSERT INTO pv VALUES ('N', 2, 20);
> 1 rows
INSERT INTO pv VALUES ('S', 1, 5);
> 1 rows
INSERT INTO pv VALUES ('S', 1, 7);
> 1 rows
INSERT INTO pv VALUES ('S', 3, NULL);
> 1 rows

# PIVOT groups by the columns it does not name; a value's column takes its alias
SELECT * FROM pv PIVOT (SUM(amt) FOR q IN (1 AS q1, 2 AS q2, 3 AS q3)) ORDER BY region;
> REGION,Q1,Q2,Q3
> N,10,20,
> S,12,,
# Several aggregates: value name, underscore, aggregate alias; an unaliased value is named by its text
SELECT * FROM (SELECT region, q, amt FROM pv) PIVOT (SUM(amt) AS s, COUNT(*) AS n FOR region IN ('N', 'S')) ORDER BY q;
> Q,'N'_S,'N'_N,'S'_S,'S'_N
> 1,10,1,12,2
> 2,20,1,,0
> 3,,0,,1
SELECT p.region, p.q1 + NVL(p.q2, 0) AS early FROM pv PIVOT (MAX(amt) FOR q IN (1 AS q1, 2 AS q2)) p ORDER BY 1;
> REGION,EARLY
> N,30
> S,7
# Several FOR columns: each value is a tuple, a row counts where every column equals its part;
# an unaliased tuple is named by its values' texts joined by underscores
SELECT * FROM pv PIVOT (SUM(amt) AS s, COUNT(amt) AS c FOR (region, q) IN (('N', 1) AS n1, ('S', 1) AS s1, ('S', 3) AS s3));
> N1_S,N1_C,S1_S,S1_C,S3_S,S3_C
> 10,1,12,2,,0
SELECT * FROM pv PIVOT (MAX(amt) FOR (region, q) IN (('N', 2), ('S', 1)));
> 'N'_2,'S'_1
> 20,7
SELECT * FROM (SELECT region, q, amt, MOD(q, 2) AS odd FROM pv) PIVOT (SUM(amt) FOR (region, q) IN (('N', 1) AS a, ('N', 2) AS b, ('S', 1) AS c)) ORDER BY odd;
> ODD,A,B,C
> 0,,20,
> 1,10,,12
SELECT * FROM pv PIVOT (amt FOR q IN (1));
> ORA-56902: expect aggregate function inside pivot operation

# UNPIVOT: a row per column named in IN, rows with NULL left out unless INCLUDE NULLS
CREATE TABLE up (id NUMBER, a NUMBER, b NUMBER, c VARCHAR2(5));
INSERT INTO up VALUES (1, 10, 20, 'x');
> 1 rows
INSERT INTO up VALUES (2, NULL, 30, 'y');
> 1 rows
SELECT * FROM up UNPIVOT (val FOR col IN (a, b)) ORDER BY id, col;
> ID,C,COL,VAL
> 1,x,A,10
> 1,x,B,20
> 2,y,B,30
SELECT id, col, val FROM up UNPIVOT INCLUDE NULLS (val FOR col IN (a AS 'first', b AS 'second')) ORDER BY id, col;
> ID,COL,VAL
> 1,first,10
> 1,second,20
> 2,first,
> 2,second,30
SELECT * FROM up UNPIVOT (val FOR col IN (a, c));
> ORA-01790: expression must have same datatype as corresponding expression
SELECT id, col, val FROM up UNPIVOT EXCLUDE NULLS (val FOR col IN (a, b)) WHERE id = 2;
> ID,COL,VAL
> 2,B,30
