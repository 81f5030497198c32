# Aggregate functions, GROUP BY and HAVING.

CREATE TABLE sales (region VARCHAR2(5), amount NUMBER, sold DATE);
INSERT INTO sales VALUES ('east', 10, TO_DATE('2024-01-05', 'YYYY-MM-DD'));
> 1 rows
INSERT INTO sales VALUES ('east', 20, TO_DATE('2024-02-05', 'YYYY-MM-DD'));
> 1 rows
INSERT INTO sales VALUES ('west', 5, TO_DATE('2024-03-05', 'YYYY-MM-DD'));
> 1 rows
INSERT INTO sales VALUES ('west', NULL, NULL);
> 1 rows
INSERT INTO sales VALUES (NULL, 1, NULL);
> 1 rows

# COUNT(*) counts rows, COUNT(expr) the non-NULL values; the others skip NULLs
SELECT COUNT(*) AS n, COUNT(amount) AS na, COUNT(DISTINCT region) AS nr, SUM(amount) AS s, AVG(amount) AS a,
       MIN(amount) AS mi, MAX(amount) AS ma FROM sales;
> N,NA,NR,S,A,MI,MA
> 5,4,2,36,9,1,20
SELECT MIN(region) AS mi, MAX(region) AS ma, TO_CHAR(MIN(sold), 'YYYY-MM-DD') AS first, TO_CHAR(MAX(sold), 'YYYY-MM-DD') AS last FROM sales;
> MI,MA,FIRST,LAST
> east,west,2024-01-05,2024-03-05
SELECT AVG(x) AS a FROM (SELECT 1 AS x FROM dual UNION ALL SELECT 2 FROM dual);
> A
> 1.5

# Without GROUP BY an aggregate gives one row even for no rows; with GROUP BY, none
SELECT COUNT(*) AS n, SUM(amount) AS s, MAX(region) AS m FROM sales WHERE 1 = 0;
> N,S,M
> 0,,
SELECT region, COUNT(*) AS n FROM sales WHERE 1 = 0 GROUP BY region;
> REGION,N

# GROUP BY makes one group of the NULLs; HAVING filters groups
SELECT region, COUNT(*) AS n, SUM(amount) AS s FROM sales GROUP BY region ORDER BY region;
> REGION,N,S
> east,2,30
> west,2,5
> ,1,1
SELECT region, SUM(amount) AS s FROM sales GROUP BY region HAVING SUM(amount) > 4 ORDER BY s DESC;
> REGION,S
> east,30
> west,5
SELECT TO_CHAR(sold, 'YYYY') AS y, COUNT(*) AS n FROM sales WHERE sold IS NOT NULL GROUP BY TO_CHAR(sold, 'YYYY');
> Y,N
> 2024,3

# Errors of grouping
SELECT region, COUNT(*) FROM sales;
> ORA-00937: not a single-group group function
SELECT region, amount, COUNT(*) FROM sales GROUP BY region;
> ORA-00979: not a GROUP BY expression
SELECT region FROM sales WHERE COUNT(*) > 1;
> ORA-00934: group function is not allowed here
