# SELECT: joins, subqueries, inline views, ordering, DISTINCT, ROWNUM and FOR UPDATE.

CREATE TABLE dept (id NUMBER PRIMARY KEY, name VARCHAR2(10));
CREATE TABLE emp (id NUMBER PRIMARY KEY, name VARCHAR2(10), dept_id NUMBER, salary NUMBER);
INSERT INTO dept SELECT 10, 'SALES' FROM dual UNION ALL SELECT 20, 'IT' FROM dual UNION ALL SELECT 30, 'EMPTY' FROM dual;
> 3 rows
INSERT INTO emp VALUES (1, 'ANNA', 10, 300);
> 1 rows
INSERT INTO emp VALUES (2, 'BOB', 20, 200);
> 1 rows
INSERT INTO emp VALUES (3, 'CYRIL', 20, 250);
> 1 rows
INSERT INTO emp VALUES (4, 'DORA', NULL, 100);
> 1 rows

# ANSI joins: inner, left, right and full outer
SELECT e.name, d.name AS dept FROM emp e JOIN dept d ON d.id = e.dept_id ORDER BY e.id;
> NAME,DEPT
> ANNA,SALES
> BOB,IT
> CYRIL,IT
SELECT d.name, e.name AS emp FROM dept d LEFT JOIN emp e ON e.dept_id = d.id ORDER BY d.id, e.id;
> NAME,EMP
> SALES,ANNA
> IT,BOB
> IT,CYRIL
> EMPTY,
SELECT e.name, d.name AS dept FROM dept d RIGHT OUTER JOIN emp e ON e.dept_id = d.id ORDER BY e.id;
> NAME,DEPT
> ANNA,SALES
> BOB,IT
> CYRIL,IT
> DORA,
SELECT COUNT(*) AS n FROM emp e FULL OUTER JOIN dept d ON d.id = e.dept_id;
> N
> 5
SELECT COUNT(*) AS n FROM emp CROSS JOIN dept;
> N
> 12

# Oracle's (+) outer join, also with a condition on the outer-joined table
SELECT d.name, e.name AS emp FROM dept d, emp e WHERE d.id = e.dept_id(+) ORDER BY d.id, e.id;
> NAME,EMP
> SALES,ANNA
> IT,BOB
> IT,CYRIL
> EMPTY,
SELECT d.name, e.name AS emp FROM dept d, emp e WHERE e.dept_id(+) = d.id AND e.salary(+) > 220 ORDER BY d.id;
> NAME,EMP
> SALES,ANNA
> IT,CYRIL
> EMPTY,

# Subqueries: IN, EXISTS, scalar, correlated
SELECT name FROM emp WHERE dept_id IN (SELECT id FROM dept WHERE name = 'IT') ORDER BY name;
> NAME
> BOB
> CYRIL
SELECT name FROM dept d WHERE NOT EXISTS (SELECT 1 FROM emp e WHERE e.dept_id = d.id);
> NAME
> EMPTY
SELECT name, (SELECT d.name FROM dept d WHERE d.id = e.dept_id) AS dept FROM emp e ORDER BY id;
> NAME,DEPT
> ANNA,SALES
> BOB,IT
> CYRIL,IT
> DORA,
SELECT name FROM emp e WHERE salary > (SELECT AVG(salary) FROM emp x WHERE x.dept_id = e.dept_id);
> NAME
> CYRIL
# NOT IN with a NULL in the list selects nothing
SELECT name FROM dept WHERE id NOT IN (SELECT dept_id FROM emp);
> NAME
SELECT name FROM emp WHERE salary = (SELECT salary FROM emp WHERE dept_id = 20);
> ORA-01427: single-row subquery returns more than one row

# Inline views and their column names
SELECT v.dept_name, v.total FROM (SELECT d.name AS dept_name, SUM(e.salary) AS total FROM dept d JOIN emp e ON e.dept_id = d.id GROUP BY d.name) v ORDER BY v.total;
> DEPT_NAME,TOTAL
> SALES,300
> IT,450

# ORDER BY: ascending puts NULLs last, descending first; by position and alias; NULLS FIRST/LAST
SELECT dept_id FROM emp ORDER BY dept_id;
> DEPT_ID
> 10
> 20
> 20
>
SELECT dept_id FROM emp ORDER BY dept_id DESC;
> DEPT_ID
>
> 20
> 20
> 10
SELECT name, salary * 2 AS double_pay FROM emp ORDER BY 2 DESC, name;
> NAME,DOUBLE_PAY
> ANNA,600
> CYRIL,500
> BOB,400
> DORA,200
SELECT dept_id AS d FROM emp ORDER BY d NULLS FIRST;
> D
>
> 10
> 20
> 20

# DISTINCT
SELECT DISTINCT dept_id FROM emp WHERE dept_id IS NOT NULL ORDER BY dept_id;
> DEPT_ID
> 10
> 20

# ROWNUM numbers rows as they are produced, before ORDER BY; ROWNUM > 1 or = 2 selects nothing
SELECT id FROM (SELECT id FROM emp ORDER BY salary DESC) WHERE ROWNUM <= 2;
> ID
> 1
> 3
SELECT ROWNUM AS rn, name FROM (SELECT name FROM emp ORDER BY name DESC);
> RN,NAME
> 1,DORA
> 2,CYRIL
> 3,BOB
> 4,ANNA
SELECT COUNT(*) AS n FROM emp WHERE ROWNUM = 2;
> N
> 0
SELECT COUNT(*) AS n FROM emp WHERE ROWNUM > 1;
> N
> 0
SELECT COUNT(*) AS n FROM emp WHERE ROWNUM < 10;
> N
> 4

# Expressions and operators
SELECT name FROM emp WHERE salary BETWEEN 200 AND 250 ORDER BY name;
> NAME
> BOB
> CYRIL
SELECT name FROM emp WHERE dept_id IS NULL OR name LIKE 'A%' ORDER BY name;
> NAME
> ANNA
> DORA
SELECT name FROM emp WHERE (dept_id, salary) IN (SELECT 20, 200 FROM dual);
> NAME
> BOB
SELECT -salary + 1 AS a, salary / 3 * 3 AS b FROM emp WHERE id = 1;
> A,B
> -299,300

# FOR UPDATE locks the rows and returns them
SELECT name FROM emp WHERE id = 1 FOR UPDATE;
> NAME
> ANNA
SELECT name FROM emp WHERE id = 2 FOR UPDATE NOWAIT;
> NAME
> BOB
SELECT e.name FROM emp e WHERE e.id = 3 FOR UPDATE OF e.salary;
> NAME
> CYRIL
COMMIT;

# Errors of the front end, with Oracle's texts
SELECT nosuch FROM dual;
> ORA-00904: "NOSUCH": invalid identifier
SELECT e.nosuch FROM emp e;
> ORA-00904: "E"."NOSUCH": invalid identifier
SELECT * FROM nosuch;
> ORA-00942: table or view does not exist
SELECT id FROM emp, dept;
> ORA-00918: column ambiguously defined
SELECT 1 dual;
> ORA-00923: FROM keyword not found where expected
SELECT 1 FROM dual extra words;
> ORA-00933: SQL command not properly ended
SELECT FROM dual;
> ORA-00936: missing expression
SELECT (1 FROM dual;
> ORA-00907: missing right parenthesis
SELEKT 1 FROM dual;
> ORA-00900: invalid SQL statement
