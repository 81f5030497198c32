# Changing a column's type: allowed while the column is empty, and the values then behave as the
# new type (numbers compare and add as numbers), with indexes and constraints still in force.
CREATE TABLE retype (id NUMBER CONSTRAINT retype_pk PRIMARY KEY, code VARCHAR2(10), amount VARCHAR2(10) CHECK (amount <> '13'));
CREATE INDEX retype_code ON retype (code, amount);
INSERT INTO retype (id, code) VALUES (1, 'a');
> 1 rows
ALTER TABLE retype MODIFY (code NUMBER);
> ORA-01439: column to be modified must be empty to change datatype
ALTER TABLE retype MODIFY (amount NUMBER(6,1));
UPDATE retype SET amount = '2.25';
> 1 rows
SELECT amount + 1 AS a, data_type FROM retype, user_tab_columns WHERE table_name = 'RETYPE' AND column_name = 'AMOUNT';
> A,DATA_TYPE
> 3.3,NUMBER
INSERT INTO retype VALUES (1, 'b', 5);
> ORA-00001: unique constraint (SYSTEM.RETYPE_PK) violated
INSERT INTO retype VALUES (2, 'b', 13);
> ORA-02290: check constraint (SYSTEM.SYS_C0011) violated
SELECT index_name, column_name FROM user_ind_columns WHERE index_name = 'RETYPE_CODE' ORDER BY column_position;
> INDEX_NAME,COLUMN_NAME
> RETYPE_CODE,CODE
> RETYPE_CODE,AMOUNT
