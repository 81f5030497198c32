# GROUP BY ROLLUP, CUBE and GROUPING SETS.

# GROUP BY ROLLUP, CUBE and GROUPING SETS: the rows of every grouping set; a GROUP BY expression
# outside a row's set is NULL there, and GROUPING / GROUPING_ID tell such NULLs from stored ones
CREATE TABLE sales (region VARCHAR2(1), prod VARCHAR2(1), amt NUMBER);
INSERT INTO sales VALUES ('N', 'a', 10);
> 1 rows
INSERT INTO sales VALUES ('N', 'b', 20);
> 1 rows
INSERT INTO sales VALUES ('S', 'a', 5);
> 1 rows
INSERT INTO sales VALUES ('S', 'a', 7);
> 1 rows
SELECT region, prod, SUM(amt) AS total, GROUPING(region) AS gr, GROUPING(prod) AS gp, GROUPING_ID(region, prod) AS gid
FROM sales GROUP BY ROLLUP(region, prod) ORDER BY region, prod;
> REGION,PROD,TOTAL,GR,GP,GID
> N,a,10,0,0,0
> N,b,20,0,0,0
> N,,30,0,1,1
> S,a,12,0,0,0
> S,,12,0,1,1
> ,,42,1,1,3
SELECT region, prod, SUM(amt) AS total, GROUPING_ID(region, prod) AS gid FROM sales
GROUP BY CUBE(region, prod) ORDER BY gid, region, prod;
> REGION,PROD,TOTAL,GID
> N,a,10,0
> N,b,20,0
> S,a,12,0
> N,,30,1
> S,,12,1
> ,a,22,2
> ,b,20,2
> ,,42,3
# GROUPING SETS with the empty set; ORDER BY an expression that is not in the select list
SELECT region, prod, COUNT(*) AS n FROM sales GROUP BY GROUPING SETS (region, prod, ()) ORDER BY GROUPING(region), region, prod;
> REGION,PROD,N
> N,,2
> S,,2
> ,a,3
> ,b,1
> ,,4
# A plain column with ROLLUP; a composite column rolls up as one
SELECT region, prod, SUM(amt) AS s FROM sales GROUP BY region, ROLLUP(prod) ORDER BY 1, 2;
> REGION,PROD,S
> N,a,10
> N,b,20
> N,,30
> S,a,12
> S,,12
SELECT region, prod, SUM(amt) AS s FROM sales GROUP BY ROLLUP((region, prod)) ORDER BY 1, 2;
> REGION,PROD,S
> N,a,10
> N,b,20
> S,a,12
> ,,42
# HAVING and expressions over the grouping columns see the NULLs of the higher levels
SELECT DECODE(GROUPING(region), 1, 'Total', region) AS label, NVL(region, 'all') AS r, SUM(amt) AS s FROM sales
GROUP BY ROLLUP(region) HAVING GROUPING(region) = 1 OR SUM(amt) > 20 ORDER BY 1;
> LABEL,R,S
> N,N,30
> Total,all,42
# A set repeated: GROUP_ID numbers the copies
SELECT region, SUM(amt) AS s, GROUP_ID() AS gi FROM sales GROUP BY region, ROLLUP(region) ORDER BY gi, region;
> REGION,S,GI
> N,30,0
> S,12,0
> N,30,1
> S,12,1
SELECT COUNT(*) AS n FROM sales GROUP BY ();
> N
> 4
SELECT region, amt FROM sales GROUP BY ROLLUP(region);
> ORA-00979: not a GROUP BY expression
SELECT region, GROUPING(amt) FROM sales GROUP BY CUBE(region);
> ORA-00979: not a GROUP BY expression
