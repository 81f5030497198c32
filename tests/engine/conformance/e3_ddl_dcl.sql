# DDL and DCL of install scripts: several constraints in one ADD, object privileges per object
# kind, SET TRANSACTION.

CREATE TABLE dept (id NUMBER, code VARCHAR2(5));
CREATE TABLE emp (id NUMBER, dept_id NUMBER, name VARCHAR2(10));

# One ADD may carry several constraints
ALTER TABLE dept ADD (CONSTRAINT dept_pk PRIMARY KEY (id), CONSTRAINT dept_code_uk UNIQUE (code));
ALTER TABLE emp ADD (CONSTRAINT emp_pk PRIMARY KEY (id),
  CONSTRAINT emp_dept_fk FOREIGN KEY (dept_id) REFERENCES dept (id), CONSTRAINT emp_name_ck CHECK (name IS NOT NULL));
SELECT table_name, constraint_name, constraint_type FROM user_constraints
  WHERE table_name IN ('DEPT', 'EMP') ORDER BY table_name, constraint_name;
> TABLE_NAME,CONSTRAINT_NAME,CONSTRAINT_TYPE
> DEPT,DEPT_CODE_UK,U
> DEPT,DEPT_PK,P
> EMP,EMP_DEPT_FK,R
> EMP,EMP_NAME_CK,C
> EMP,EMP_PK,P
INSERT INTO dept VALUES (1, 'A');
> 1 rows
INSERT INTO dept VALUES (2, 'A');
> ORA-00001: unique constraint (SYSTEM.DEPT_CODE_UK) violated
INSERT INTO emp VALUES (1, 9, 'X');
> ORA-02291: integrity constraint (SYSTEM.EMP_DEPT_FK) violated - parent key not found
# A failing constraint adds none of the others
ALTER TABLE emp ADD (CONSTRAINT emp_name_uk UNIQUE (name), CONSTRAINT emp_dept_fk FOREIGN KEY (dept_id) REFERENCES dept (id));
> ORA-02264: name already used by an existing constraint
SELECT COUNT(*) AS n FROM user_constraints WHERE constraint_name = 'EMP_NAME_UK';
> N
> 0

# Each kind of object takes its own privileges
CREATE USER grantee_u IDENTIFIED BY pw;
CREATE SEQUENCE emp_seq;
CREATE OR REPLACE PROCEDURE noop IS BEGIN NULL; END;
/
GRANT EXECUTE ON emp TO grantee_u;
> ORA-02224: EXECUTE privilege not allowed for tables
GRANT INSERT ON emp_seq TO grantee_u;
> ORA-02205: only SELECT and ALTER privileges are valid for sequences
GRANT SELECT ON noop TO grantee_u;
> ORA-02225: only EXECUTE and DEBUG privileges are valid for procedures
GRANT SELECT ON emp_seq TO grantee_u;
GRANT EXECUTE ON noop TO grantee_u;
SELECT table_name, privilege FROM user_tab_privs WHERE grantee = 'GRANTEE_U' ORDER BY table_name;
> TABLE_NAME,PRIVILEGE
> EMP_SEQ,SELECT
> NOOP,EXECUTE

# SET TRANSACTION starts a transaction; undo is managed automatically, so a rollback segment is
# accepted and changes nothing
COMMIT;
SET TRANSACTION USE ROLLBACK SEGMENT rbs_big;
INSERT INTO dept VALUES (3, 'C');
> 1 rows
SET TRANSACTION USE ROLLBACK SEGMENT rbs_big;
> ORA-01453: SET TRANSACTION must be first statement of transaction
ROLLBACK;
SET TRANSACTION READ WRITE;
ROLLBACK;
SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
ROLLBACK;
SET TRANSACTION NAME 'nightly load';
SELECT COUNT(*) AS n FROM dept;
> N
> 1
