# Hierarchical queries: CONNECT BY, START WITH, PRIOR and LEVEL.

CREATE TABLE staff (id NUMBER PRIMARY KEY, mgr NUMBER, name VARCHAR2(10));
INSERT INTO staff VALUES (1, NULL, 'KING');
> 1 rows
INSERT INTO staff VALUES (2, 1, 'JONES');
> 1 rows
INSERT INTO staff VALUES (3, 1, 'BLAKE');
> 1 rows
INSERT INTO staff VALUES (4, 2, 'SCOTT');
> 1 rows
INSERT INTO staff VALUES (5, 4, 'ADAMS');
> 1 rows

# Top down from the root: LEVEL counts from 1
SELECT LEVEL AS lvl, name FROM staff START WITH mgr IS NULL CONNECT BY PRIOR id = mgr ORDER BY lvl, name;
> LVL,NAME
> 1,KING
> 2,BLAKE
> 2,JONES
> 3,SCOTT
> 4,ADAMS
# Bottom up along one chain: rows come depth first
SELECT LEVEL AS lvl, name FROM staff START WITH id = 5 CONNECT BY PRIOR mgr = id;
> LVL,NAME
> 1,ADAMS
> 2,SCOTT
> 3,JONES
> 4,KING
SELECT LPAD(' ', 2 * (LEVEL - 1)) || name AS tree FROM staff START WITH id = 2 CONNECT BY PRIOR id = mgr;
> TREE
> JONES
>   SCOTT
>     ADAMS
# WHERE filters after the hierarchy is built
SELECT name FROM staff WHERE LEVEL > 2 START WITH mgr IS NULL CONNECT BY PRIOR id = mgr ORDER BY name;
> NAME
> ADAMS
> SCOTT

# Without START WITH every row is a root; CONNECT BY LEVEL generates rows
SELECT COUNT(*) AS n FROM staff CONNECT BY PRIOR id = mgr;
> N
> 12
SELECT LEVEL AS n FROM dual CONNECT BY LEVEL <= 3;
> N
> 1
> 2
> 3
# A generator of many levels is one chain: every level's row is the child of the one before and
# only the last is a leaf
SELECT COUNT(*) AS n, MAX(LEVEL) AS top, SUM(CONNECT_BY_ISLEAF) AS leaves, SUM(LEVEL) AS total FROM dual CONNECT BY LEVEL <= 100000;
> N,TOP,LEAVES,TOTAL
> 100000,100000,1,5000050000
# Over several rows every row of a level has the same children: the rows of the last level are the leaves
SELECT LEVEL AS l, CONNECT_BY_ISLEAF AS leaf, COUNT(*) AS n FROM (SELECT 1 AS a FROM dual UNION ALL SELECT 2 FROM dual) CONNECT BY LEVEL <= 2 GROUP BY LEVEL, CONNECT_BY_ISLEAF ORDER BY l;
> L,LEAF,N
> 1,0,2
> 2,1,4

# GROUP BY groups the hierarchy's rows, here by their level
SELECT LEVEL AS lvl, COUNT(*) AS n FROM staff START WITH mgr IS NULL CONNECT BY PRIOR id = mgr GROUP BY LEVEL ORDER BY lvl;
> LVL,N
> 1,1
> 2,2
> 3,1
> 4,1
SELECT COUNT(*) AS n FROM staff START WITH mgr IS NULL CONNECT BY PRIOR id = mgr HAVING COUNT(*) > 3;
> N
> 5
# ROWNUM numbers the rows WHERE keeps, in hierarchy order (depth first)
SELECT LEVEL AS lvl, name FROM staff WHERE LEVEL = 2 AND ROWNUM < 2 START WITH mgr IS NULL CONNECT BY PRIOR id = mgr;
> LVL,NAME
> 2,JONES
SELECT name FROM staff WHERE ROWNUM <= 3 START WITH mgr IS NULL CONNECT BY PRIOR id = mgr;
> NAME
> KING
> JONES
> SCOTT

# SYS_CONNECT_BY_PATH joins the values from the root down, each after the separator;
# CONNECT_BY_ISLEAF is 1 for a row with nothing below it
SELECT name, SYS_CONNECT_BY_PATH(name, '/') AS path, CONNECT_BY_ISLEAF AS leaf FROM staff
  START WITH mgr IS NULL CONNECT BY PRIOR id = mgr ORDER BY path;
> NAME,PATH,LEAF
> KING,/KING,0
> BLAKE,/KING/BLAKE,1
> JONES,/KING/JONES,0
> SCOTT,/KING/JONES/SCOTT,0
> ADAMS,/KING/JONES/SCOTT/ADAMS,1
SELECT name FROM staff WHERE CONNECT_BY_ISLEAF = 1 START WITH mgr IS NULL CONNECT BY PRIOR id = mgr ORDER BY name;
> NAME
> ADAMS
> BLAKE
SELECT LEVEL AS l, SYS_CONNECT_BY_PATH(LEVEL, '-') AS p FROM dual CONNECT BY LEVEL <= 3;
> L,P
> 1,-1
> 2,-1-2
> 3,-1-2-3
SELECT SYS_CONNECT_BY_PATH(name, '/') AS p FROM staff;
> ORA-30002: SYS_CONNECT_BY_PATH function is not allowed here
# CONNECT_BY_ROOT gives the root row's value; it binds to its operand like PRIOR
SELECT name, CONNECT_BY_ROOT name AS root, CONNECT_BY_ROOT id + 100 AS r FROM staff
  START WITH mgr = 1 CONNECT BY PRIOR id = mgr ORDER BY name;
> NAME,ROOT,R
> ADAMS,JONES,102
> BLAKE,BLAKE,103
> JONES,JONES,102
> SCOTT,JONES,102
SELECT name FROM staff WHERE CONNECT_BY_ROOT name = 'JONES' START WITH mgr = 1 CONNECT BY PRIOR id = mgr ORDER BY name;
> NAME
> ADAMS
> JONES
> SCOTT

# ORDER SIBLINGS BY orders the rows under each parent and keeps each subtree under its parent
SELECT LEVEL AS lvl, name FROM staff START WITH mgr IS NULL CONNECT BY PRIOR id = mgr ORDER SIBLINGS BY name;
> LVL,NAME
> 1,KING
> 2,BLAKE
> 2,JONES
> 3,SCOTT
> 4,ADAMS
SELECT name FROM staff START WITH mgr IS NULL CONNECT BY PRIOR id = mgr ORDER SIBLINGS BY id DESC;
> NAME
> KING
> BLAKE
> JONES
> SCOTT
> ADAMS
SELECT name FROM staff WHERE id < 5 START WITH mgr IS NULL CONNECT BY PRIOR id = mgr ORDER SIBLINGS BY mgr NULLS FIRST, name DESC;
> NAME
> KING
> JONES
> SCOTT
> BLAKE
SELECT name FROM staff ORDER SIBLINGS BY name;
> ORA-30929: ORDER SIBLINGS BY clause not allowed here
# Over a subquery in FROM siblings are ordered as over a table
SELECT LEVEL AS lvl, name FROM (SELECT * FROM staff) START WITH mgr IS NULL CONNECT BY PRIOR id = mgr ORDER SIBLINGS BY name;
> LVL,NAME
> 1,KING
> 2,BLAKE
> 2,JONES
> 3,SCOTT
> 4,ADAMS
SELECT v.name FROM (SELECT s.id, s.mgr, LOWER(s.name) AS name FROM staff s WHERE s.id <> 4) v
  START WITH v.mgr IS NULL CONNECT BY PRIOR v.id = v.mgr ORDER SIBLINGS BY v.name DESC;
> NAME
> king
> jones
> blake
# A row generator over a subquery: no PRIOR, so no loop
SELECT LEVEL AS n FROM (SELECT 'x' AS x FROM dual) CONNECT BY LEVEL <= 3 ORDER SIBLINGS BY x;
> N
> 1
> 2
> 3

# A cycle in the data is an error
UPDATE staff SET mgr = 5 WHERE id = 1;
> 1 rows
SELECT name FROM staff START WITH id = 1 CONNECT BY PRIOR id = mgr;
> ORA-01436: CONNECT BY loop in user data
# NOCYCLE stops where a row would repeat one on its path; CONNECT_BY_ISCYCLE marks the row whose
# child is its own ancestor
SELECT name, LEVEL AS lvl, CONNECT_BY_ISCYCLE AS cyc FROM staff START WITH id = 1 CONNECT BY NOCYCLE PRIOR id = mgr ORDER SIBLINGS BY name;
> NAME,LVL,CYC
> KING,1,0
> BLAKE,2,0
> JONES,2,0
> SCOTT,3,0
> ADAMS,4,1
SELECT name, CONNECT_BY_ISCYCLE AS cyc FROM staff WHERE CONNECT_BY_ISCYCLE = 1 START WITH id = 3 CONNECT BY NOCYCLE PRIOR mgr = id;
> NAME,CYC
> JONES,1
SELECT name, CONNECT_BY_ISCYCLE FROM staff START WITH id = 1 CONNECT BY PRIOR id = mgr;
> ORA-30930: NOCYCLE keyword is required with CONNECT_BY_ISCYCLE pseudocolumn
# Over a subquery a loop is found as over a table
SELECT name, CONNECT_BY_ISCYCLE AS cyc FROM (SELECT * FROM staff) START WITH id = 1 CONNECT BY NOCYCLE PRIOR id = mgr ORDER SIBLINGS BY name;
> NAME,CYC
> KING,0
> BLAKE,0
> JONES,0
> SCOTT,0
> ADAMS,1
SELECT COUNT(*) FROM (SELECT * FROM staff) START WITH id = 1 CONNECT BY PRIOR id = mgr;
> ORA-01436: CONNECT BY loop in user data
# CONNECT BY LEVEL over a table of several rows repeats every row under every row: no loop (WHERE
# filters after the hierarchy: 5 rows under each of the 5)
SELECT LEVEL AS lvl, COUNT(*) AS n FROM staff WHERE id <= 3 CONNECT BY LEVEL <= 2 GROUP BY LEVEL ORDER BY lvl;
> LVL,N
> 1,3
> 2,15
