# UNION, UNION ALL, MINUS and INTERSECT.

CREATE TABLE a (n NUMBER);
CREATE TABLE b (m NUMBER);
INSERT INTO a SELECT 1 FROM dual UNION ALL SELECT 2 FROM dual UNION ALL SELECT 2 FROM dual UNION ALL SELECT 3 FROM dual;
> 4 rows
INSERT INTO b SELECT 2 FROM dual UNION ALL SELECT 3 FROM dual UNION ALL SELECT 4 FROM dual;
> 3 rows

# UNION removes duplicates, UNION ALL keeps them; the first query names the columns
SELECT n FROM a UNION SELECT m FROM b ORDER BY 1;
> N
> 1
> 2
> 3
> 4
SELECT n FROM a UNION ALL SELECT m FROM b ORDER BY n;
> N
> 1
> 2
> 2
> 2
> 3
> 3
> 4
# Chains of many branches, as upgrade scripts fill code tables
SELECT COUNT(*) AS n, SUM(x) AS total FROM (SELECT 1 AS x FROM dual UNION ALL SELECT 2 FROM dual UNION ALL SELECT 3 FROM dual UNION ALL SELECT 4 FROM dual UNION ALL SELECT 5 FROM dual UNION ALL SELECT 6 FROM dual UNION ALL SELECT 7 FROM dual UNION ALL SELECT 8 FROM dual UNION ALL SELECT 9 FROM dual UNION ALL SELECT 10 FROM dual UNION ALL SELECT 11 FROM dual UNION ALL SELECT 12 FROM dual UNION ALL SELECT 13 FROM dual UNION ALL SELECT 14 FROM dual UNION ALL SELECT 15 FROM dual);
> N,TOTAL
> 15,120
SELECT n FROM a MINUS SELECT m FROM b;
> N
> 1
SELECT n AS common FROM a INTERSECT SELECT m FROM b ORDER BY common;
> COMMON
> 2
> 3
SELECT COUNT(*) AS n FROM (SELECT n FROM a UNION SELECT m FROM b);
> N
> 4
# evaluated left to right
SELECT n FROM a UNION SELECT m FROM b MINUS SELECT 4 FROM dual ORDER BY 1;
> N
> 1
> 2
> 3

# The branches must agree in number and type of columns
SELECT n, n FROM a UNION SELECT m FROM b;
> ORA-01789: query block has incorrect number of result columns
SELECT 1 AS x FROM dual UNION SELECT 'a' FROM dual;
> ORA-01790: expression must have same datatype as corresponding expression
