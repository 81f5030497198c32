# Deferrability of constraints: the dictionary reports it as declared, and an INITIALLY DEFERRED
# foreign key, primary key, unique key or check lets a transaction break it until COMMIT, which then
# checks it (a broken constraint rolls the whole transaction back).

CREATE TABLE dp (id NUMBER CONSTRAINT dp_pk PRIMARY KEY);
CREATE TABLE dc (id NUMBER, p NUMBER CONSTRAINT dc_fk REFERENCES dp DEFERRABLE INITIALLY DEFERRED,
  q NUMBER CONSTRAINT dc_imm_fk REFERENCES dp DEFERRABLE, r NUMBER CONSTRAINT dc_plain_fk REFERENCES dp,
  s NUMBER CONSTRAINT dc_init_fk REFERENCES dp INITIALLY DEFERRED,
  t NUMBER CONSTRAINT dc_casc_fk REFERENCES dp ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED);
SELECT constraint_name, deferrable, deferred FROM user_constraints WHERE table_name = 'DC' ORDER BY constraint_name;
> CONSTRAINT_NAME,DEFERRABLE,DEFERRED
> DC_CASC_FK,DEFERRABLE,DEFERRED
> DC_FK,DEFERRABLE,DEFERRED
> DC_IMM_FK,DEFERRABLE,IMMEDIATE
> DC_INIT_FK,DEFERRABLE,DEFERRED
> DC_PLAIN_FK,NOT DEFERRABLE,IMMEDIATE
SELECT deferrable, deferred FROM all_constraints WHERE owner = 'SYSTEM' AND constraint_name = 'DP_PK';
> DEFERRABLE,DEFERRED
> NOT DEFERRABLE,IMMEDIATE

# NOT DEFERRABLE cannot be checked late
CREATE TABLE dbad (p NUMBER CONSTRAINT dbad_fk REFERENCES dp NOT DEFERRABLE INITIALLY DEFERRED);
> ORA-02447: cannot defer a constraint that is not deferrable

# The child may come before its parent within the transaction
INSERT INTO dc (id, p) VALUES (1, 10);
> 1 rows
INSERT INTO dp VALUES (10);
> 1 rows
COMMIT;
SELECT COUNT(*) AS n FROM dc;
> N
> 1

# A parent that goes while its children stay breaks the key at COMMIT: all of the transaction is undone
INSERT INTO dp VALUES (11);
> 1 rows
DELETE FROM dp WHERE id = 10;
> 1 rows
COMMIT;
> ORA-02091: transaction rolled back
SELECT id FROM dp ORDER BY id;
> ID
> 10

# A child without a parent at COMMIT
INSERT INTO dc (id, p) VALUES (2, 99);
> 1 rows
COMMIT;
> ORA-02091: transaction rolled back
SELECT COUNT(*) AS n FROM dc;
> N
> 1

# Keys checked at once stay so; ON DELETE CASCADE still acts on the delete
INSERT INTO dc (id, q) VALUES (3, 99);
> ORA-02291: integrity constraint (SYSTEM.DC_IMM_FK) violated - parent key not found
INSERT INTO dc (id, t) VALUES (4, 10);
> 1 rows
DELETE FROM dc WHERE id = 1;
> 1 rows
DELETE FROM dp WHERE id = 10;
> 1 rows
SELECT COUNT(*) AS n FROM dc;
> N
> 0
COMMIT;

# Re-created by ALTER TABLE with its deferrability and delete rule
ALTER TABLE dc DROP CONSTRAINT dc_casc_fk;
ALTER TABLE dc ADD CONSTRAINT dc_casc_fk FOREIGN KEY (t) REFERENCES dp (id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED;
SELECT delete_rule, deferrable, deferred FROM user_constraints WHERE constraint_name = 'DC_CASC_FK';
> DELETE_RULE,DEFERRABLE,DEFERRED
> CASCADE,DEFERRABLE,DEFERRED

# A key on another schema's table is that schema's: its owner, not the session's user, must own the
# parent table or hold REFERENCES on it
CREATE USER dk_a IDENTIFIED BY dk_a;
CREATE USER dk_b IDENTIFIED BY dk_b;
CREATE TABLE dk_a.p (id NUMBER PRIMARY KEY);
CREATE TABLE dk_a.c (p NUMBER);
CREATE TABLE dk_b.c (p NUMBER);
ALTER TABLE dk_a.c ADD CONSTRAINT dk_a_fk FOREIGN KEY (p) REFERENCES dk_a.p DEFERRABLE;
ALTER TABLE dk_b.c ADD CONSTRAINT dk_b_fk FOREIGN KEY (p) REFERENCES dk_a.p;
> ORA-01031: insufficient privileges
GRANT REFERENCES ON dk_a.p TO dk_b;
ALTER TABLE dk_b.c ADD CONSTRAINT dk_b_fk FOREIGN KEY (p) REFERENCES dk_a.p;
SELECT owner, r_owner, deferrable FROM all_constraints WHERE constraint_name IN ('DK_A_FK', 'DK_B_FK') ORDER BY owner;
> OWNER,R_OWNER,DEFERRABLE
> DK_A,DK_A,DEFERRABLE
> DK_B,DK_A,NOT DEFERRABLE

# A deferred primary key takes duplicates until COMMIT; duplicates left then undo the transaction
CREATE TABLE dpk (id NUMBER CONSTRAINT dpk_pk PRIMARY KEY DEFERRABLE INITIALLY DEFERRED, v VARCHAR2(5));
INSERT INTO dpk VALUES (1, 'a');
> 1 rows
INSERT INTO dpk VALUES (1, 'b');
> 1 rows
SELECT COUNT(*) AS n FROM dpk;
> N
> 2
COMMIT;
> ORA-02091: transaction rolled back
SELECT COUNT(*) AS n FROM dpk;
> N
> 0

# Keys swapped within one transaction: a duplicate on the way, none at COMMIT
INSERT INTO dpk VALUES (1, 'a');
> 1 rows
INSERT INTO dpk VALUES (2, 'b');
> 1 rows
COMMIT;
UPDATE dpk SET id = 2 WHERE v = 'a';
> 1 rows
UPDATE dpk SET id = 1 WHERE v = 'b';
> 1 rows
COMMIT;
SELECT id, v FROM dpk ORDER BY id;
> ID,V
> 1,b
> 2,a

# A deferred primary key still takes no NULL
INSERT INTO dpk VALUES (NULL, 'n');
> ORA-01400: cannot insert NULL into ("SYSTEM"."DPK"."ID")

# A deferred unique key; rows whose key is NULL never clash
CREATE TABLE duk (k NUMBER, CONSTRAINT duk_uk UNIQUE (k) INITIALLY DEFERRED);
INSERT INTO duk VALUES (NULL);
> 1 rows
INSERT INTO duk VALUES (NULL);
> 1 rows
INSERT INTO duk VALUES (5);
> 1 rows
COMMIT;
INSERT INTO duk VALUES (5);
> 1 rows
COMMIT;
> ORA-02091: transaction rolled back
SELECT COUNT(*) AS n FROM duk;
> N
> 3

# A deferred check: a row may break it while the transaction mends it before COMMIT
CREATE TABLE dck (v NUMBER CONSTRAINT dck_ck CHECK (v > 0) DEFERRABLE INITIALLY DEFERRED,
  w NUMBER CONSTRAINT dck_imm CHECK (w > 0) DEFERRABLE);
INSERT INTO dck (v) VALUES (-1);
> 1 rows
UPDATE dck SET v = 1;
> 1 rows
COMMIT;
INSERT INTO dck (v) VALUES (-2);
> 1 rows
COMMIT;
> ORA-02091: transaction rolled back
SELECT v FROM dck;
> V
> 1

# Deferrable but initially immediate: checked by the statement, as before
INSERT INTO dck (v, w) VALUES (1, -1);
> ORA-02290: check constraint (SYSTEM.DCK_IMM) violated

# Rows already there are checked when the deferred constraint is added
INSERT INTO dck (v) VALUES (1);
> 1 rows
COMMIT;
ALTER TABLE dck ADD CONSTRAINT dck_uk UNIQUE (v) DEFERRABLE INITIALLY DEFERRED;
> ORA-02299: cannot validate (SYSTEM.DCK_UK) - duplicate keys found

# A disabled deferred constraint is not checked at COMMIT
ALTER TABLE dpk DISABLE CONSTRAINT dpk_pk;
INSERT INTO dpk VALUES (1, 'c');
> 1 rows
COMMIT;
SELECT COUNT(*) AS n FROM dpk;
> N
> 3

# SET CONSTRAINT[S] moves the check of a deferrable constraint to COMMIT for the transaction
CREATE TABLE dsc (id NUMBER CONSTRAINT dsc_pk PRIMARY KEY DEFERRABLE, p NUMBER CONSTRAINT dsc_fk REFERENCES dp);
INSERT INTO dsc (id) VALUES (1);
> 1 rows
COMMIT;
@pending SET CONSTRAINTS is not built
SET CONSTRAINT dsc_pk DEFERRED;
@pending SET CONSTRAINTS is not built
INSERT INTO dsc (id) VALUES (1);
> 1 rows
@pending SET CONSTRAINTS is not built
COMMIT;
> ORA-02091: transaction rolled back
@pending SET CONSTRAINTS is not built
SET CONSTRAINT dsc_fk DEFERRED;
> ORA-02447: cannot defer a constraint that is not deferrable
