# SET TRANSACTION, the locks V$LOCK and V$LOCKED_OBJECT show for this session, and ANALYZE.

CREATE TABLE st_t (id NUMBER CONSTRAINT st_t_pk PRIMARY KEY, v VARCHAR2(10));
INSERT INTO st_t VALUES (1, 'a');
> 1 rows
COMMIT;

# SET TRANSACTION begins the transaction it sets: another one before COMMIT or ROLLBACK is refused
SET TRANSACTION READ ONLY;
SET TRANSACTION READ WRITE;
> ORA-01453: SET TRANSACTION must be first statement of transaction
# a READ ONLY transaction reads, locks tables and sets savepoints, but changes nothing
SELECT v FROM st_t;
> V
> a
INSERT INTO st_t VALUES (2, 'b');
> ORA-01456: may not perform insert/delete/update operation inside a READ ONLY transaction
UPDATE st_t SET v = 'x';
> ORA-01456: may not perform insert/delete/update operation inside a READ ONLY transaction
DELETE FROM st_t;
> ORA-01456: may not perform insert/delete/update operation inside a READ ONLY transaction
MERGE INTO st_t t USING (SELECT 1 AS id FROM dual) s ON (t.id = s.id) WHEN MATCHED THEN UPDATE SET v = 'm';
> ORA-01456: may not perform insert/delete/update operation inside a READ ONLY transaction
SELECT v FROM st_t FOR UPDATE;
> ORA-01456: may not perform insert/delete/update operation inside a READ ONLY transaction
BEGIN UPDATE st_t SET v = 'p'; END;
/
> ORA-01456: may not perform insert/delete/update operation inside a READ ONLY transaction
SAVEPOINT ro;
LOCK TABLE st_t IN SHARE MODE;
SELECT v FROM st_t;
> V
> a
# COMMIT ends it: the next transaction changes again, and is one SET TRANSACTION cannot start
COMMIT;
UPDATE st_t SET v = 'b';
> 1 rows
SET TRANSACTION READ ONLY;
> ORA-01453: SET TRANSACTION must be first statement of transaction
ROLLBACK;
SET TRANSACTION READ ONLY;
ROLLBACK;
INSERT INTO st_t VALUES (2, 'b');
> 1 rows
ROLLBACK;

# a change holds the transaction's TX lock (exclusive) and a row exclusive TM lock on its table
SELECT COUNT(*) AS n FROM v$lock WHERE sid = SYS_CONTEXT('USERENV', 'SID');
> N
> 0
UPDATE st_t SET v = 'c' WHERE id = 1;
> 1 rows
SELECT l.type, l.lmode, l.request, l.block, l.id2 - l.id2 AS zero_tm_id2, o.object_name
  FROM v$lock l LEFT JOIN all_objects o ON l.type = 'TM' AND o.object_id = l.id1
  WHERE l.sid = SYS_CONTEXT('USERENV', 'SID') ORDER BY l.type;
> TYPE,LMODE,REQUEST,BLOCK,ZERO_TM_ID2,OBJECT_NAME
> TM,3,0,0,0,ST_T
> TX,6,0,0,0,
SELECT o.object_name, lo.locked_mode, lo.oracle_username
  FROM v$locked_object lo JOIN all_objects o ON o.object_id = lo.object_id
  WHERE lo.session_id = SYS_CONTEXT('USERENV', 'SID');
> OBJECT_NAME,LOCKED_MODE,ORACLE_USERNAME
> ST_T,3,SYSTEM
COMMIT;
SELECT COUNT(*) AS n FROM v$lock WHERE sid = SYS_CONTEXT('USERENV', 'SID');
> N
> 0
# LOCK TABLE holds the TM lock in the mode it names
LOCK TABLE st_t IN EXCLUSIVE MODE;
SELECT l.lmode FROM v$lock l WHERE l.sid = SYS_CONTEXT('USERENV', 'SID') AND l.type = 'TM';
> LMODE
> 6
ROLLBACK;
LOCK TABLE st_t IN ROW SHARE MODE;
SELECT l.lmode FROM v$lock l WHERE l.sid = SYS_CONTEXT('USERENV', 'SID') AND l.type = 'TM';
> LMODE
> 2
ROLLBACK;
# DBMS_LOCK's user locks are UL locks with the lock id in ID1
DECLARE r INTEGER; BEGIN r := DBMS_LOCK.REQUEST(4711, DBMS_LOCK.S_MODE); END;
/
SELECT type, id1, id2, lmode, request, block FROM v$lock
  WHERE sid = SYS_CONTEXT('USERENV', 'SID') AND type = 'UL';
> TYPE,ID1,ID2,LMODE,REQUEST,BLOCK
> UL,4711,0,4,0,0
DECLARE r INTEGER; BEGIN r := DBMS_LOCK.RELEASE(4711); END;
/
SELECT COUNT(*) AS n FROM v$lock WHERE sid = SYS_CONTEXT('USERENV', 'SID');
> N
> 0

# ANALYZE ... STATISTICS fills NUM_ROWS, BLOCKS, AVG_ROW_LEN and LAST_ANALYZED; DELETE empties them
CREATE TABLE an_t (id NUMBER CONSTRAINT an_t_pk PRIMARY KEY, v VARCHAR2(10));
CREATE INDEX an_t_v ON an_t (v);
INSERT INTO an_t SELECT LEVEL, 'v' || LEVEL FROM dual CONNECT BY LEVEL <= 50;
> 50 rows
SELECT num_rows, blocks, avg_row_len, last_analyzed FROM user_tables WHERE table_name = 'AN_T';
> NUM_ROWS,BLOCKS,AVG_ROW_LEN,LAST_ANALYZED
> ,,,
ANALYZE TABLE an_t COMPUTE STATISTICS;
SELECT num_rows, CASE WHEN blocks > 0 THEN 'Y' END AS b, CASE WHEN avg_row_len > 0 THEN 'Y' END AS l,
  CASE WHEN last_analyzed > SYSDATE - 1 THEN 'Y' END AS d FROM user_tables WHERE table_name = 'AN_T';
> NUM_ROWS,B,L,D
> 50,Y,Y,Y
# ANALYZE is DDL: it commits what is open
INSERT INTO an_t VALUES (51, 'x');
> 1 rows
ANALYZE TABLE an_t ESTIMATE STATISTICS SAMPLE 10 PERCENT;
ROLLBACK;
SELECT num_rows FROM all_tables WHERE owner = 'SYSTEM' AND table_name = 'AN_T';
> NUM_ROWS
> 51
ANALYZE TABLE an_t DELETE STATISTICS;
SELECT num_rows, last_analyzed FROM user_tables WHERE table_name = 'AN_T';
> NUM_ROWS,LAST_ANALYZED
> ,
# VALIDATE STRUCTURE of a sound table and index passes
ANALYZE TABLE an_t VALIDATE STRUCTURE;
ANALYZE TABLE an_t VALIDATE STRUCTURE CASCADE;
ANALYZE TABLE an_t VALIDATE STRUCTURE CASCADE FAST;
ANALYZE INDEX an_t_v VALIDATE STRUCTURE;
ANALYZE INDEX an_t_pk VALIDATE STRUCTURE;
ANALYZE INDEX an_t_pk COMPUTE STATISTICS;
ANALYZE TABLE no_such_table COMPUTE STATISTICS;
> ORA-00942: table or view does not exist
ANALYZE INDEX no_such_index VALIDATE STRUCTURE;
> ORA-01418: specified index does not exist
ANALYZE TABLE an_t COMPUTE;
> ORA-00905: missing keyword
CREATE USER an_other IDENTIFIED BY an_other;
GRANT CREATE SESSION TO an_other;
GRANT SELECT ON an_t TO an_other;
@connect an_other/an_other
ANALYZE TABLE system.an_t COMPUTE STATISTICS;
> ORA-01031: insufficient privileges
ANALYZE TABLE system.st_t VALIDATE STRUCTURE;
> ORA-00942: table or view does not exist
