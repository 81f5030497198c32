# DDL without a schema prefix acts in the session's CURRENT_SCHEMA, also when the very same
# statement text ran before in another schema.

CREATE USER cs_one IDENTIFIED BY cs_one;
CREATE USER cs_two IDENTIFIED BY cs_two;
CREATE FUNCTION cs_which RETURN VARCHAR2 IS BEGIN RETURN 'SYSTEM'; END;
/
BEGIN DBMS_OUTPUT.PUT_LINE(cs_which); END;
/
> SYSTEM

ALTER SESSION SET CURRENT_SCHEMA = cs_one;
CREATE FUNCTION cs_which RETURN VARCHAR2 IS BEGIN RETURN 'CS_ONE'; END;
/
CREATE PROCEDURE cs_proc IS BEGIN NULL; END;
/
CREATE PACKAGE cs_pkg IS n NUMBER := 1; END;
/
CREATE PACKAGE BODY cs_pkg IS BEGIN n := 2; END;
/
CREATE TYPE cs_list AS TABLE OF NUMBER;
/
CREATE TABLE cs_tab (a NUMBER);
CREATE VIEW cs_view AS SELECT a FROM cs_tab;
CREATE SEQUENCE cs_seq;
CREATE SYNONYM cs_syn FOR cs_tab;
CREATE INDEX cs_ix ON cs_tab (a);
CREATE TRIGGER cs_trg BEFORE INSERT ON cs_tab FOR EACH ROW BEGIN NULL; END;
/
# An anonymous block resolves its names anew in the schema now current
BEGIN DBMS_OUTPUT.PUT_LINE(cs_which); END;
/
> CS_ONE

ALTER SESSION SET CURRENT_SCHEMA = cs_two;
CREATE PROCEDURE cs_proc IS BEGIN NULL; END;
/
CREATE TABLE cs_tab (a NUMBER);
ALTER SESSION SET CURRENT_SCHEMA = system;
SELECT owner, object_type, object_name FROM dba_objects WHERE object_name LIKE 'CS\_%' ESCAPE '\' ORDER BY 1, 2, 3;
> OWNER,OBJECT_TYPE,OBJECT_NAME
> CS_ONE,FUNCTION,CS_WHICH
> CS_ONE,INDEX,CS_IX
> CS_ONE,PACKAGE,CS_PKG
> CS_ONE,PACKAGE BODY,CS_PKG
> CS_ONE,PROCEDURE,CS_PROC
> CS_ONE,SEQUENCE,CS_SEQ
> CS_ONE,SYNONYM,CS_SYN
> CS_ONE,TABLE,CS_TAB
> CS_ONE,TRIGGER,CS_TRG
> CS_ONE,TYPE,CS_LIST
> CS_ONE,VIEW,CS_VIEW
> CS_TWO,PROCEDURE,CS_PROC
> CS_TWO,TABLE,CS_TAB
> SYSTEM,FUNCTION,CS_WHICH
SELECT table_owner, table_name FROM dba_synonyms WHERE synonym_name = 'CS_SYN';
> TABLE_OWNER,TABLE_NAME
> CS_ONE,CS_TAB

# ALTER and DROP too
ALTER SESSION SET CURRENT_SCHEMA = cs_two;
ALTER PROCEDURE cs_proc COMPILE;
DROP PROCEDURE cs_proc;
DROP TABLE cs_tab;
ALTER SESSION SET CURRENT_SCHEMA = cs_one;
ALTER PROCEDURE cs_proc COMPILE;
DROP PROCEDURE cs_proc;
DROP TRIGGER cs_trg;
DROP INDEX cs_ix;
DROP SYNONYM cs_syn;
DROP SEQUENCE cs_seq;
DROP VIEW cs_view;
DROP TABLE cs_tab;
DROP TYPE cs_list;
DROP PACKAGE cs_pkg;
DROP FUNCTION cs_which;
DROP PROCEDURE cs_proc;
> ORA-04043: object CS_PROC does not exist
ALTER SESSION SET CURRENT_SCHEMA = system;
SELECT owner, object_type, object_name FROM dba_objects WHERE object_name LIKE 'CS\_%' ESCAPE '\' ORDER BY 1, 2, 3;
> OWNER,OBJECT_TYPE,OBJECT_NAME
> SYSTEM,FUNCTION,CS_WHICH

# A user with the ANY privileges creates a view in another schema: the query is checked with the
# rights of the view's owner, who owns its table
CREATE USER cs_dev IDENTIFIED BY cs_dev;
GRANT CREATE SESSION, CREATE ANY TABLE, CREATE ANY VIEW TO cs_dev;
@connect cs_dev/cs_dev
ALTER SESSION SET CURRENT_SCHEMA = cs_two;
CREATE TABLE cs_base (a NUMBER);
CREATE VIEW cs_over AS SELECT a FROM cs_base;
@connect SYSTEM/SYSTEM
SELECT owner, view_name FROM dba_views WHERE view_name = 'CS_OVER';
> OWNER,VIEW_NAME
> CS_TWO,CS_OVER
