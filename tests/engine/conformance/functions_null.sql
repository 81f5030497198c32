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
