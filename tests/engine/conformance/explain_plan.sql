# EXPLAIN PLAN: the plan the engine runs a statement with, as rows of a plan table (a tree by ID and
# PARENT_ID). The engine keeps no statistics: COST, CARDINALITY and BYTES stay empty.

CREATE TABLE ep_dept (deptno NUMBER CONSTRAINT ep_dept_pk PRIMARY KEY, dname VARCHAR2(20));
CREATE TABLE ep_emp (empno NUMBER CONSTRAINT ep_emp_pk PRIMARY KEY, ename VARCHAR2(20), deptno NUMBER,
  sal NUMBER);
CREATE INDEX ep_emp_dept ON ep_emp (deptno);
CREATE UNIQUE INDEX ep_emp_name ON ep_emp (ename, deptno);
INSERT INTO ep_dept VALUES (10, 'SALES');
> 1 rows
INSERT INTO ep_emp VALUES (1, 'ANA', 10, 100);
> 1 rows
COMMIT;

# the default plan table: the public synonym PLAN_TABLE of SYS.PLAN_TABLE$, open to every user
SELECT table_owner, table_name FROM all_synonyms WHERE owner = 'PUBLIC' AND synonym_name = 'PLAN_TABLE';
> TABLE_OWNER,TABLE_NAME
> SYS,PLAN_TABLE$
SELECT temporary FROM all_tables WHERE owner = 'SYS' AND table_name = 'PLAN_TABLE$';
> TEMPORARY
> Y

# a full scan under the statement; the first row has no parent, the optimizer and no position
EXPLAIN PLAN SET STATEMENT_ID = 'full' FOR SELECT * FROM ep_emp;
SELECT id, parent_id, depth, position, operation, options, object_owner, object_name, object_type,
  object_alias, object_instance, optimizer, cost, cardinality, bytes, qblock_name
  FROM plan_table WHERE statement_id = 'full' ORDER BY id;
> ID,PARENT_ID,DEPTH,POSITION,OPERATION,OPTIONS,OBJECT_OWNER,OBJECT_NAME,OBJECT_TYPE,OBJECT_ALIAS,OBJECT_INSTANCE,OPTIMIZER,COST,CARDINALITY,BYTES,QBLOCK_NAME
> 0,,0,,SELECT STATEMENT,,,,,,,ALL_ROWS,,,,
> 1,0,1,1,TABLE ACCESS,FULL,SYSTEM,EP_EMP,TABLE,EP_EMP@SEL$1,1,,,,,SEL$1
# the statement's rows are in the open transaction; the table is DML's, not DDL's
SELECT COUNT(*) AS n, COUNT(DISTINCT plan_id) AS plans, COUNT(timestamp) AS stamped FROM plan_table
  WHERE statement_id = 'full';
> N,PLANS,STAMPED
> 2,1,2
ROLLBACK;
SELECT COUNT(*) AS n FROM plan_table WHERE statement_id = 'full';
> N
> 0

# the access path: unique scan of a key, range scan of a non-unique or partly compared index, rowid
EXPLAIN PLAN SET STATEMENT_ID = 'paths' FOR SELECT ename FROM ep_emp e WHERE empno = :id;
EXPLAIN PLAN SET STATEMENT_ID = 'paths' FOR SELECT ename FROM ep_emp e WHERE deptno = 10;
EXPLAIN PLAN SET STATEMENT_ID = 'paths' FOR SELECT sal FROM ep_emp WHERE ename = 'ANA' AND deptno = 10;
EXPLAIN PLAN SET STATEMENT_ID = 'paths' FOR SELECT sal FROM ep_emp WHERE ename > 'A';
EXPLAIN PLAN SET STATEMENT_ID = 'paths' FOR SELECT sal FROM ep_emp WHERE ROWID = :r;
SELECT plan_id, id, parent_id, operation, options, object_name, object_type, object_alias, search_columns
  FROM plan_table WHERE statement_id = 'paths' ORDER BY plan_id, id;
> PLAN_ID,ID,PARENT_ID,OPERATION,OPTIONS,OBJECT_NAME,OBJECT_TYPE,OBJECT_ALIAS,SEARCH_COLUMNS
> 1,0,,SELECT STATEMENT,,,,,
> 1,1,0,TABLE ACCESS,BY INDEX ROWID,EP_EMP,TABLE,E@SEL$1,
> 1,2,1,INDEX,UNIQUE SCAN,EP_EMP_PK,INDEX (UNIQUE),,1
> 2,0,,SELECT STATEMENT,,,,,
> 2,1,0,TABLE ACCESS,BY INDEX ROWID,EP_EMP,TABLE,E@SEL$1,
> 2,2,1,INDEX,RANGE SCAN,EP_EMP_DEPT,INDEX,,1
> 3,0,,SELECT STATEMENT,,,,,
> 3,1,0,TABLE ACCESS,BY INDEX ROWID,EP_EMP,TABLE,EP_EMP@SEL$1,
> 3,2,1,INDEX,UNIQUE SCAN,EP_EMP_NAME,INDEX (UNIQUE),,2
> 4,0,,SELECT STATEMENT,,,,,
> 4,1,0,TABLE ACCESS,BY INDEX ROWID,EP_EMP,TABLE,EP_EMP@SEL$1,
> 4,2,1,INDEX,RANGE SCAN,EP_EMP_NAME,INDEX (UNIQUE),,1
> 5,0,,SELECT STATEMENT,,,,,
> 5,1,0,TABLE ACCESS,BY USER ROWID,EP_EMP,TABLE,EP_EMP@SEL$1,
ROLLBACK;

# a join is nested loops over the tables in the order the engine reads them; sorts wrap the block
EXPLAIN PLAN SET STATEMENT_ID = 'join' FOR
  SELECT d.dname, COUNT(*) FROM ep_emp e, ep_dept d WHERE e.deptno = d.deptno AND e.sal > 10
  GROUP BY d.dname ORDER BY 2 DESC;
SELECT LPAD(' ', 2 * depth) || operation || ' ' || options || ' ' || object_name AS step
  FROM plan_table WHERE statement_id = 'join' ORDER BY id;
> STEP
> SELECT STATEMENT  
>   SORT ORDER BY 
>     SORT GROUP BY 
>       NESTED LOOPS  
>         TABLE ACCESS FULL EP_EMP
>         TABLE ACCESS BY INDEX ROWID EP_DEPT
>           INDEX UNIQUE SCAN EP_DEPT_PK
EXPLAIN PLAN SET STATEMENT_ID = 'outer' FOR
  SELECT d.dname, e.ename FROM ep_dept d LEFT JOIN ep_emp e ON e.deptno = d.deptno;
SELECT LPAD(' ', 2 * depth) || operation || ' ' || options || ' ' || object_name AS step
  FROM plan_table WHERE statement_id = 'outer' ORDER BY id;
> STEP
> SELECT STATEMENT  
>   NESTED LOOPS OUTER 
>     TABLE ACCESS FULL EP_DEPT
>     TABLE ACCESS BY INDEX ROWID EP_EMP
>       INDEX RANGE SCAN EP_EMP_DEPT
ROLLBACK;

# an aggregate over all rows, DISTINCT, set operators, subqueries, an inline view, a hierarchical
# query and DUAL
EXPLAIN PLAN SET STATEMENT_ID = 'shapes' FOR SELECT MAX(sal) FROM ep_emp;
EXPLAIN PLAN SET STATEMENT_ID = 'shapes' FOR SELECT DISTINCT sal FROM ep_emp;
EXPLAIN PLAN SET STATEMENT_ID = 'shapes' FOR SELECT deptno FROM ep_emp UNION ALL SELECT deptno FROM ep_dept;
EXPLAIN PLAN SET STATEMENT_ID = 'shapes' FOR SELECT deptno FROM ep_emp MINUS SELECT deptno FROM ep_dept;
EXPLAIN PLAN SET STATEMENT_ID = 'shapes' FOR
  SELECT ename FROM ep_emp e WHERE sal > (SELECT AVG(sal) FROM ep_emp x WHERE x.deptno = e.deptno);
EXPLAIN PLAN SET STATEMENT_ID = 'shapes' FOR
  SELECT ename FROM ep_emp WHERE deptno IN (SELECT deptno FROM ep_dept WHERE dname LIKE 'S%');
EXPLAIN PLAN SET STATEMENT_ID = 'shapes' FOR
  SELECT * FROM (SELECT deptno, COUNT(*) c FROM ep_emp GROUP BY deptno) v WHERE c > 1;
EXPLAIN PLAN SET STATEMENT_ID = 'shapes' FOR
  SELECT LEVEL, ename FROM ep_emp START WITH empno = 1 CONNECT BY PRIOR empno = deptno;
EXPLAIN PLAN SET STATEMENT_ID = 'shapes' FOR SELECT * FROM dual;
SELECT plan_id, LPAD(' ', 2 * depth) || operation || ' ' || options || ' ' || object_name AS step
  FROM plan_table WHERE statement_id = 'shapes' ORDER BY plan_id, id;
> PLAN_ID,STEP
> 1,SELECT STATEMENT  
> 1,  SORT AGGREGATE 
> 1,    TABLE ACCESS FULL EP_EMP
> 2,SELECT STATEMENT  
> 2,  SORT UNIQUE 
> 2,    TABLE ACCESS FULL EP_EMP
> 3,SELECT STATEMENT  
> 3,  UNION-ALL  
> 3,    INDEX FULL SCAN EP_EMP_DEPT
> 3,    INDEX FULL SCAN EP_DEPT_PK
> 4,SELECT STATEMENT  
> 4,  MINUS  
> 4,    SORT UNIQUE 
> 4,      INDEX FULL SCAN EP_EMP_DEPT
> 4,    SORT UNIQUE 
> 4,      INDEX FULL SCAN EP_DEPT_PK
> 5,SELECT STATEMENT  
> 5,  FILTER  
> 5,    TABLE ACCESS FULL EP_EMP
> 5,    TABLE ACCESS BY INDEX ROWID EP_EMP
> 5,      INDEX RANGE SCAN EP_EMP_DEPT
> 6,SELECT STATEMENT  
> 6,  FILTER  
> 6,    TABLE ACCESS BY INDEX ROWID EP_EMP
> 6,      INDEX RANGE SCAN EP_EMP_DEPT
> 6,    TABLE ACCESS FULL EP_DEPT
> 7,SELECT STATEMENT  
> 7,  VIEW  
> 7,    SORT GROUP BY NOSORT 
> 7,      INDEX FULL SCAN EP_EMP_DEPT
> 8,SELECT STATEMENT  
> 8,  SORT ORDER BY 
> 8,    CONNECT BY WITH FILTERING 
> 8,      TABLE ACCESS BY INDEX ROWID EP_EMP
> 8,        INDEX UNIQUE SCAN EP_EMP_PK
> 8,      NESTED LOOPS  
> 8,        CONNECT BY PUMP  
> 8,        TABLE ACCESS BY INDEX ROWID EP_EMP
> 8,          INDEX RANGE SCAN EP_EMP_DEPT
> 9,SELECT STATEMENT  
> 9,  FAST DUAL  
ROLLBACK;

# DML: the statement, the change of the target table, and how its rows are found
EXPLAIN PLAN SET STATEMENT_ID = 'dml' FOR UPDATE ep_emp SET sal = sal + 1 WHERE empno = 1;
EXPLAIN PLAN SET STATEMENT_ID = 'dml' FOR DELETE FROM ep_emp WHERE deptno = 10;
EXPLAIN PLAN SET STATEMENT_ID = 'dml' FOR INSERT INTO ep_emp VALUES (2, 'BOB', 10, 1);
EXPLAIN PLAN SET STATEMENT_ID = 'dml' FOR INSERT INTO ep_emp SELECT empno + 10, ename, deptno, sal FROM ep_emp;
SELECT plan_id, LPAD(' ', 2 * depth) || operation || ' ' || options || ' ' || object_name AS step
  FROM plan_table WHERE statement_id = 'dml' ORDER BY plan_id, id;
> PLAN_ID,STEP
> 1,UPDATE STATEMENT  
> 1,  UPDATE  EP_EMP
> 1,    TABLE ACCESS BY INDEX ROWID EP_EMP
> 1,      INDEX UNIQUE SCAN EP_EMP_PK
> 2,DELETE STATEMENT  
> 2,  DELETE  EP_EMP
> 2,    TABLE ACCESS BY INDEX ROWID EP_EMP
> 2,      INDEX RANGE SCAN EP_EMP_DEPT
> 3,INSERT STATEMENT  
> 3,  LOAD TABLE CONVENTIONAL EP_EMP
> 4,INSERT STATEMENT  
> 4,  LOAD TABLE CONVENTIONAL EP_EMP
> 4,    TABLE ACCESS FULL EP_EMP
# the explained statement never runs
SELECT empno, sal FROM ep_emp ORDER BY empno;
> EMPNO,SAL
> 1,100
ROLLBACK;

# without STATEMENT_ID the rows have none; INTO names another table of the layout
CREATE TABLE my_plan AS SELECT * FROM plan_table WHERE 1 = 0;
EXPLAIN PLAN INTO my_plan FOR SELECT * FROM ep_dept;
SELECT statement_id, id, operation, options, object_name FROM my_plan ORDER BY id;
> STATEMENT_ID,ID,OPERATION,OPTIONS,OBJECT_NAME
> ,0,SELECT STATEMENT,,
> ,1,TABLE ACCESS,FULL,EP_DEPT
ROLLBACK;

# errors: a missing plan table, a missing or hidden object, a malformed statement
EXPLAIN PLAN INTO no_such_plan FOR SELECT * FROM ep_dept;
> ORA-02404: specified plan table not found
EXPLAIN PLAN FOR SELECT * FROM no_such_table;
> ORA-00942: table or view does not exist
EXPLAIN PLAN FOR SELECT nothing FROM ep_dept;
> ORA-00904: "NOTHING": invalid identifier
EXPLAIN PLAN SET STATEMENT_ID = 1 FOR SELECT * FROM ep_dept;
> ORA-01780: string literal required
EXPLAIN PLAN SELECT * FROM ep_dept;
> ORA-00905: missing keyword
CREATE USER ep_other IDENTIFIED BY ep_other;
GRANT CREATE SESSION TO ep_other;
GRANT SELECT ON ep_dept TO ep_other;
@connect ep_other/ep_other
EXPLAIN PLAN FOR SELECT * FROM system.ep_emp;
> ORA-00942: table or view does not exist
EXPLAIN PLAN FOR DELETE FROM system.ep_dept;
> ORA-01031: insufficient privileges
EXPLAIN PLAN FOR SELECT * FROM system.ep_dept;
# any user writes into the default plan table
EXPLAIN PLAN SET STATEMENT_ID = 'other' FOR SELECT * FROM dual;
SELECT COUNT(*) AS n FROM plan_table WHERE statement_id = 'other';
> N
> 2
