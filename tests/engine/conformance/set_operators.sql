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
