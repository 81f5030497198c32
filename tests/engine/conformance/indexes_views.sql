# Indexes and views.

CREATE TABLE ix (id NUMBER CONSTRAINT ix_pk PRIMARY KEY, code VARCHAR2(5), name VARCHAR2(10));
INSERT INTO ix VALUES (1, 'a', 'one');
> 1 rows
INSERT INTO ix VALUES (2, 'b', 'two');
> 1 rows

# CREATE INDEX, plain, composite, unique; storage clauses are accepted
CREATE INDEX ix_name ON ix (name) TABLESPACE users PCTFREE 10 STORAGE (INITIAL 64K);
CREATE INDEX ix_code_name ON ix (code, name);
CREATE UNIQUE INDEX ix_code_uq ON ix (code);
INSERT INTO ix VALUES (3, 'a', 'three');
> ORA-00001: unique constraint (SYSTEM.IX_CODE_UQ) violated
SELECT index_name, uniqueness FROM user_indexes WHERE table_name = 'IX' ORDER BY index_name;
> INDEX_NAME,UNIQUENESS
> IX_CODE_NAME,NONUNIQUE
> IX_CODE_UQ,UNIQUE
> IX_NAME,NONUNIQUE
> IX_PK,UNIQUE
SELECT column_name, column_position FROM user_ind_columns WHERE index_name = 'IX_CODE_NAME' ORDER BY column_position;
> COLUMN_NAME,COLUMN_POSITION
> CODE,1
> NAME,2

# Errors of indexes
CREATE INDEX ix_again ON ix (name);
> ORA-01408: such column list already indexed
CREATE INDEX ix ON ix (code, id);
> ORA-00955: name is already used by an existing object
CREATE INDEX ix_bad ON ix (nosuch);
> ORA-00904: "NOSUCH": invalid identifier
CREATE INDEX ix_missing ON nosuch (a);
> ORA-00942: table or view does not exist
CREATE TABLE ix_dup (a NUMBER);
INSERT INTO ix_dup SELECT 1 FROM dual UNION ALL SELECT 1 FROM dual;
> 2 rows
CREATE UNIQUE INDEX ix_dup_uq ON ix_dup (a);
> ORA-01452: cannot CREATE UNIQUE INDEX; duplicate keys found
DROP INDEX ix_pk;
> ORA-02429: cannot drop index used for enforcement of unique/primary key
ALTER INDEX ix_name REBUILD;
DROP INDEX ix_name;
DROP INDEX ix_name;
> ORA-01418: specified index does not exist

# Views: columns named by the query or by a list; CREATE OR REPLACE
CREATE VIEW ix_v AS SELECT id, UPPER(name) AS big FROM ix;
SELECT id, big FROM ix_v ORDER BY id;
> ID,BIG
> 1,ONE
> 2,TWO
CREATE VIEW ix_v AS SELECT id FROM ix;
> ORA-00955: name is already used by an existing object
CREATE OR REPLACE VIEW ix_v (n, label) AS SELECT id, code || '-' || name FROM ix WHERE id > 1;
SELECT * FROM ix_v;
> N,LABEL
> 2,b-two
SELECT view_name, text FROM user_views WHERE view_name = 'IX_V';
> VIEW_NAME,TEXT
> IX_V,"SELECT id, code || '-' || name FROM ix WHERE id > 1"
CREATE VIEW ix_bad_v AS SELECT * FROM nosuch;
> ORA-00942: table or view does not exist

# A view over a dropped table is INVALID and fails when used
CREATE TABLE ix_base (a NUMBER);
CREATE VIEW ix_base_v AS SELECT a FROM ix_base;
DROP TABLE ix_base;
SELECT status FROM user_objects WHERE object_name = 'IX_BASE_V';
> STATUS
> INVALID
SELECT * FROM ix_base_v;
> ORA-04063: view "SYSTEM.IX_BASE_V" has errors
# once the table is back the view compiles again, on use or by ALTER VIEW ... COMPILE
CREATE TABLE ix_base (a NUMBER);
ALTER VIEW ix_base_v COMPILE;
SELECT status FROM user_objects WHERE object_name = 'IX_BASE_V';
> STATUS
> VALID
SELECT a FROM ix_base_v;
> A

DROP VIEW ix_v;
SELECT * FROM ix_v;
> ORA-00942: table or view does not exist
DROP VIEW ix_v;
> ORA-00942: table or view does not exist

# A view over a grouped query checks its grouping as the query itself does: qualified keys match
CREATE TABLE ix_grp (n NUMBER, m NUMBER);
INSERT INTO ix_grp SELECT MOD(LEVEL, 2), LEVEL FROM dual CONNECT BY LEVEL <= 5;
> 5 rows
CREATE VIEW ix_grp_v AS SELECT p.n, COUNT(*) c, SUM(p.m) s FROM ix_grp p GROUP BY p.n;
SELECT n, c, s FROM ix_grp_v ORDER BY n;
> N,C,S
> 0,2,6
> 1,3,9
CREATE VIEW ix_grp_bad AS SELECT p.n, p.m, COUNT(*) c FROM ix_grp p GROUP BY p.n;
> ORA-00979: not a GROUP BY expression

# WITH READ ONLY: every DML through the view fails and leaves the rows as they were; READ_ONLY in the
# dictionary; CREATE OR REPLACE without the clause makes the view writable again
CREATE TABLE ix_ro (id NUMBER, name VARCHAR2(10));
INSERT INTO ix_ro VALUES (1, 'one');
> 1 rows
CREATE VIEW ix_ro_v AS SELECT id, name FROM ix_ro WITH READ ONLY;
CREATE VIEW ix_rw_v AS SELECT id, name FROM ix_ro;
INSERT INTO ix_ro_v VALUES (2, 'two');
> ORA-42399: cannot perform a DML operation on a read-only view
UPDATE ix_ro_v SET name = 'uno';
> ORA-42399: cannot perform a DML operation on a read-only view
DELETE FROM ix_ro_v;
> ORA-42399: cannot perform a DML operation on a read-only view
DELETE FROM system.ix_ro_v WHERE id = 1;
> ORA-42399: cannot perform a DML operation on a read-only view
MERGE INTO ix_ro_v v USING dual ON (v.id = 1) WHEN MATCHED THEN UPDATE SET v.name = 'uno';
> ORA-42399: cannot perform a DML operation on a read-only view
SELECT id, name FROM ix_ro_v;
> ID,NAME
> 1,one
SELECT view_name, read_only FROM user_views WHERE view_name LIKE 'IX_R%' ORDER BY view_name;
> VIEW_NAME,READ_ONLY
> IX_RO_V,Y
> IX_RW_V,N
CREATE OR REPLACE VIEW ix_ro_v AS SELECT id, name FROM ix_ro WITH CHECK OPTION;
SELECT read_only FROM all_views WHERE owner = 'SYSTEM' AND view_name = 'IX_RO_V';
> READ_ONLY
> N
CREATE OR REPLACE VIEW ix_ro_v AS SELECT id FROM ix_ro WITH READ ONLY CONSTRAINT ix_ro_c;
UPDATE ix_ro_v SET id = 2;
> ORA-42399: cannot perform a DML operation on a read-only view
CREATE VIEW ix_ro_bad AS SELECT id FROM ix_ro WITH READ WRITE;
> ORA-00905: missing keyword
