# CREATE, ALTER, RENAME, COMMENT and DROP of tables.

# Oracle's types; storage and tablespace clauses are accepted
CREATE TABLE typed (n NUMBER, n10 NUMBER(10), n52 NUMBER(5,2), i INTEGER, v VARCHAR2(20 BYTE) NOT NULL,
  c CHAR(3), d DATE, l LONG, cl CLOB, v2 VARCHAR2(5 CHAR))
  TABLESPACE users PCTFREE 10 INITRANS 1 STORAGE (INITIAL 64K NEXT 1M MINEXTENTS 1 MAXEXTENTS UNLIMITED) LOGGING NOCOMPRESS;
SELECT column_name, data_type, data_length, data_precision, data_scale, nullable, column_id
  FROM user_tab_columns WHERE table_name = 'TYPED' ORDER BY column_id;
> COLUMN_NAME,DATA_TYPE,DATA_LENGTH,DATA_PRECISION,DATA_SCALE,NULLABLE,COLUMN_ID
> N,NUMBER,22,,,Y,1
> N10,NUMBER,22,10,0,Y,2
> N52,NUMBER,22,5,2,Y,3
> I,NUMBER,22,,0,Y,4
> V,VARCHAR2,20,,,N,5
> C,CHAR,3,,,Y,6
> D,DATE,7,,,Y,7
> L,LONG,0,,,Y,8
> CL,CLOB,4000,,,Y,9
> V2,VARCHAR2,20,,,Y,10
# CHAR pads with blanks to its length; INTEGER rounds
INSERT INTO typed (v, c, i) VALUES ('x', 'ab', 2.6);
> 1 rows
SELECT '[' || c || ']' AS c, i FROM typed;
> C,I
> [ab ],3
# CHAR compares with text blank-padded
SELECT COUNT(*) AS n FROM typed WHERE c = 'ab';
> N
> 1

CREATE TABLE typed (a NUMBER);
> ORA-00955: name is already used by an existing object
CREATE TABLE dup_cols (a NUMBER, a NUMBER);
> ORA-00957: duplicate column name
CREATE TABLE bad_type (a NOSUCHTYPE);
> ORA-00902: invalid datatype

# Column defaults
CREATE TABLE defaults (id NUMBER, status VARCHAR2(10) DEFAULT 'new', made DATE DEFAULT SYSDATE);
INSERT INTO defaults (id) VALUES (1);
> 1 rows
INSERT INTO defaults (id, status) VALUES (2, NULL);
> 1 rows
SELECT id, status, CASE WHEN made IS NOT NULL THEN 'set' END AS made FROM defaults ORDER BY id;
> ID,STATUS,MADE
> 1,new,set
> 2,,set

# CREATE TABLE AS SELECT copies the columns and rows; expressions need an alias
CREATE TABLE copied AS SELECT id, status FROM defaults WHERE id = 1;
SELECT id, status FROM copied;
> ID,STATUS
> 1,new
SELECT column_name, data_type, data_length FROM user_tab_columns WHERE table_name = 'COPIED' ORDER BY column_id;
> COLUMN_NAME,DATA_TYPE,DATA_LENGTH
> ID,NUMBER,22
> STATUS,VARCHAR2,10
CREATE TABLE copied2 AS SELECT id + 1 FROM defaults;
> ORA-00998: must name this expression with a column alias
CREATE TABLE empty_copy AS SELECT * FROM defaults WHERE 1 = 0;
SELECT COUNT(*) AS n FROM empty_copy;
> N
> 0

# ALTER TABLE ADD: a new column with a default fills the existing rows
ALTER TABLE copied ADD (note VARCHAR2(10));
ALTER TABLE copied ADD flag CHAR(1) DEFAULT 'Y' NOT NULL;
SELECT id, note, flag FROM copied;
> ID,NOTE,FLAG
> 1,,Y
ALTER TABLE copied ADD (note NUMBER);
> ORA-01430: column being added already exists in table

# ALTER TABLE MODIFY: length, NOT NULL and NULL
ALTER TABLE copied MODIFY (note VARCHAR2(30));
INSERT INTO copied (id, note) VALUES (2, 'a note longer than ten');
> 1 rows
ALTER TABLE copied MODIFY note VARCHAR2(5);
> ORA-01441: cannot decrease column length because some value is too big
ALTER TABLE copied MODIFY (status NOT NULL);
> ORA-02296: cannot enable (SYSTEM.) - null values found
ALTER TABLE copied MODIFY (id NOT NULL);
INSERT INTO copied (id) VALUES (NULL);
> ORA-01400: cannot insert NULL into ("SYSTEM"."COPIED"."ID")
ALTER TABLE copied MODIFY (id NULL);
INSERT INTO copied (id) VALUES (NULL);
> 1 rows
SELECT column_name, data_length, nullable FROM user_tab_columns WHERE table_name = 'COPIED' ORDER BY column_id;
> COLUMN_NAME,DATA_LENGTH,NULLABLE
> ID,22,Y
> STATUS,10,Y
> NOTE,30,Y
> FLAG,1,N

# ALTER TABLE DROP COLUMN, one or several
ALTER TABLE copied DROP COLUMN note;
ALTER TABLE copied DROP (status, flag);
SELECT column_name FROM user_tab_columns WHERE table_name = 'COPIED';
> COLUMN_NAME
> ID
ALTER TABLE copied DROP COLUMN nosuch;
> ORA-00904: "NOSUCH": invalid identifier
ALTER TABLE copied DROP COLUMN id;
> ORA-12983: cannot drop all columns in a table

# RENAME and ALTER TABLE RENAME TO keep the rows
RENAME copied TO renamed;
SELECT COUNT(*) AS n FROM renamed;
> N
> 3
SELECT * FROM copied;
> ORA-00942: table or view does not exist
ALTER TABLE renamed RENAME TO renamed_again;
SELECT COUNT(*) AS n FROM renamed_again;
> N
> 3

# COMMENT ON TABLE and COLUMN
COMMENT ON TABLE defaults IS 'Rows with defaults';
COMMENT ON COLUMN defaults.status IS 'Where it stands';
SELECT comments FROM user_tab_comments WHERE table_name = 'DEFAULTS';
> COMMENTS
> Rows with defaults
SELECT column_name, comments FROM user_col_comments WHERE table_name = 'DEFAULTS' ORDER BY column_name;
> COLUMN_NAME,COMMENTS
> ID,
> MADE,
> STATUS,Where it stands
COMMENT ON COLUMN defaults.nosuch IS 'x';
> ORA-00904: "NOSUCH": invalid identifier

# DROP TABLE, with PURGE; a dropped table is gone
DROP TABLE empty_copy;
DROP TABLE renamed_again PURGE;
SELECT * FROM empty_copy;
> ORA-00942: table or view does not exist
DROP TABLE empty_copy;
> ORA-00942: table or view does not exist
