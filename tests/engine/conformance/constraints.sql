# Constraints: primary key, unique, NOT NULL, check and foreign key, each disabled and enabled on its own.

CREATE TABLE parent (id NUMBER CONSTRAINT parent_pk PRIMARY KEY, code VARCHAR2(5) CONSTRAINT parent_code_uk UNIQUE,
  name VARCHAR2(10) NOT NULL, qty NUMBER CONSTRAINT parent_qty_ck CHECK (qty >= 0));
CREATE TABLE child (id NUMBER, parent_id NUMBER,
  CONSTRAINT child_pk PRIMARY KEY (id), CONSTRAINT child_parent_fk FOREIGN KEY (parent_id) REFERENCES parent (id));
INSERT INTO parent VALUES (1, 'A', 'one', 1);
> 1 rows
INSERT INTO parent VALUES (2, 'B', 'two', 0);
> 1 rows

# Primary key and unique keys reject duplicates; a unique key takes any number of NULLs
INSERT INTO parent VALUES (1, 'C', 'dup', 1);
> ORA-00001: unique constraint (SYSTEM.PARENT_PK) violated
INSERT INTO parent VALUES (3, 'A', 'dup', 1);
> ORA-00001: unique constraint (SYSTEM.PARENT_CODE_UK) violated
INSERT INTO parent VALUES (3, NULL, 'three', 1);
> 1 rows
INSERT INTO parent VALUES (4, NULL, 'four', 1);
> 1 rows
UPDATE parent SET id = 2 WHERE id = 1;
> ORA-00001: unique constraint (SYSTEM.PARENT_PK) violated
INSERT INTO parent (code, name) VALUES ('E', 'no id');
> ORA-01400: cannot insert NULL into ("SYSTEM"."PARENT"."ID")

# NOT NULL: ORA-01400 on insert, ORA-01407 on update; '' is NULL too
INSERT INTO parent (id, name) VALUES (5, '');
> ORA-01400: cannot insert NULL into ("SYSTEM"."PARENT"."NAME")
UPDATE parent SET name = NULL WHERE id = 1;
> ORA-01407: cannot update ("SYSTEM"."PARENT"."NAME") to NULL

# A check fails only when false; NULL passes
INSERT INTO parent VALUES (5, 'E', 'neg', -1);
> ORA-02290: check constraint (SYSTEM.PARENT_QTY_CK) violated
INSERT INTO parent VALUES (5, 'E', 'null qty', NULL);
> 1 rows
UPDATE parent SET qty = -5 WHERE id = 5;
> ORA-02290: check constraint (SYSTEM.PARENT_QTY_CK) violated

# Foreign keys: the parent must exist (a NULL key needs none), and a parent with children stays
INSERT INTO child VALUES (10, 1);
> 1 rows
INSERT INTO child VALUES (11, NULL);
> 1 rows
INSERT INTO child VALUES (12, 99);
> ORA-02291: integrity constraint (SYSTEM.CHILD_PARENT_FK) violated - parent key not found
UPDATE child SET parent_id = 98 WHERE id = 10;
> ORA-02291: integrity constraint (SYSTEM.CHILD_PARENT_FK) violated - parent key not found
DELETE FROM parent WHERE id = 1;
> ORA-02292: integrity constraint (SYSTEM.CHILD_PARENT_FK) violated - child record found
UPDATE parent SET id = 100 WHERE id = 1;
> ORA-02292: integrity constraint (SYSTEM.CHILD_PARENT_FK) violated - child record found
DELETE FROM parent WHERE id = 2;
> 1 rows
DROP TABLE parent;
> ORA-02449: unique/primary keys in table referenced by foreign keys
# a failed statement changes nothing
SELECT COUNT(*) AS n FROM parent;
> N
> 4

# A foreign key must reference a primary or unique key
CREATE TABLE bad_fk (p NUMBER REFERENCES parent (name));
> ORA-02270: no matching unique or primary key for this column-list

# Unnamed constraints get SYS_C names, NOT NULL ones included
CREATE TABLE unnamed (id NUMBER PRIMARY KEY, v VARCHAR2(5) NOT NULL UNIQUE, CHECK (id > 0));
SELECT constraint_type, COUNT(*) AS n FROM user_constraints
  WHERE table_name = 'UNNAMED' AND constraint_name LIKE 'SYS\_C%' ESCAPE '\' GROUP BY constraint_type ORDER BY constraint_type;
> CONSTRAINT_TYPE,N
> C,2
> P,1
> U,1

# A table has one primary key; constraint names are unique in the schema
ALTER TABLE unnamed ADD PRIMARY KEY (v);
> ORA-02260: table can have only one primary key
ALTER TABLE child ADD CONSTRAINT parent_pk UNIQUE (parent_id);
> ORA-02264: name already used by an existing constraint

# ON DELETE CASCADE and ON DELETE SET NULL
CREATE TABLE casc (id NUMBER, parent_id NUMBER REFERENCES parent ON DELETE CASCADE);
CREATE TABLE setn (id NUMBER, parent_id NUMBER CONSTRAINT setn_fk REFERENCES parent (id) ON DELETE SET NULL);
INSERT INTO casc VALUES (1, 4);
> 1 rows
INSERT INTO setn VALUES (1, 4);
> 1 rows
DELETE FROM parent WHERE id = 4;
> 1 rows
SELECT (SELECT COUNT(*) FROM casc) AS cascaded, (SELECT COUNT(*) FROM setn WHERE parent_id IS NULL) AS nulled FROM dual;
> CASCADED,NULLED
> 0,1

# Disabled constraints check nothing; ENABLE checks the rows first
ALTER TABLE child DISABLE CONSTRAINT child_parent_fk;
INSERT INTO child VALUES (12, 99);
> 1 rows
ALTER TABLE child ENABLE CONSTRAINT child_parent_fk;
> ORA-02298: cannot validate (SYSTEM.CHILD_PARENT_FK) - parent keys not found
SELECT status FROM user_constraints WHERE constraint_name = 'CHILD_PARENT_FK';
> STATUS
> DISABLED
DELETE FROM child WHERE id = 12;
> 1 rows
ALTER TABLE child ENABLE CONSTRAINT child_parent_fk;
SELECT status FROM user_constraints WHERE constraint_name = 'CHILD_PARENT_FK';
> STATUS
> ENABLED

ALTER TABLE parent DISABLE CONSTRAINT parent_qty_ck;
INSERT INTO parent VALUES (6, 'F', 'neg', -1);
> 1 rows
ALTER TABLE parent ENABLE CONSTRAINT parent_qty_ck;
> ORA-02293: cannot validate (SYSTEM.PARENT_QTY_CK) - check constraint violated
DELETE FROM parent WHERE id = 6;
> 1 rows
ALTER TABLE parent ENABLE CONSTRAINT parent_qty_ck;

ALTER TABLE parent DISABLE CONSTRAINT parent_code_uk;
INSERT INTO parent VALUES (7, 'A', 'dup code', 1);
> 1 rows
ALTER TABLE parent ENABLE CONSTRAINT parent_code_uk;
> ORA-02299: cannot validate (SYSTEM.PARENT_CODE_UK) - duplicate keys found
DELETE FROM parent WHERE id = 7;
> 1 rows
ALTER TABLE parent ENABLE CONSTRAINT parent_code_uk;

ALTER TABLE child DISABLE CONSTRAINT child_pk;
INSERT INTO child VALUES (10, 1);
> 1 rows
ALTER TABLE child ENABLE CONSTRAINT child_pk;
> ORA-02437: cannot validate (SYSTEM.CHILD_PK) - primary key violated
DELETE FROM child WHERE id = 10 AND ROWNUM = 1;
> 1 rows
ALTER TABLE child ENABLE CONSTRAINT child_pk;
INSERT INTO child VALUES (10, 1);
> ORA-00001: unique constraint (SYSTEM.CHILD_PK) violated

# A primary key with children cannot be disabled alone
ALTER TABLE parent DISABLE CONSTRAINT parent_pk;
> ORA-02297: cannot disable constraint (SYSTEM.PARENT_PK) - dependencies exist

# ADD and DROP CONSTRAINT; adding checks the rows already there
ALTER TABLE child ADD CONSTRAINT child_id_ck CHECK (id < 12);
ALTER TABLE child ADD CONSTRAINT child_small_ck CHECK (id < 11);
> ORA-02293: cannot validate (SYSTEM.CHILD_SMALL_CK) - check constraint violated
INSERT INTO child VALUES (20, NULL);
> ORA-02290: check constraint (SYSTEM.CHILD_ID_CK) violated
ALTER TABLE child DROP CONSTRAINT child_id_ck;
INSERT INTO child VALUES (20, 1);
> 1 rows
ALTER TABLE child ADD CONSTRAINT child_parent_uk UNIQUE (parent_id);
> ORA-02299: cannot validate (SYSTEM.CHILD_PARENT_UK) - duplicate keys found

# DROP TABLE ... CASCADE CONSTRAINTS drops the foreign keys that point at it
DROP TABLE parent CASCADE CONSTRAINTS;
SELECT COUNT(*) AS n FROM user_constraints WHERE table_name IN ('CHILD', 'CASC', 'SETN') AND constraint_type = 'R';
> N
> 0
INSERT INTO child VALUES (30, 12345);
> 1 rows
