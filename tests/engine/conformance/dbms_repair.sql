# DBMS_REPAIR as the table-repair window calls it: named arguments and the package's constants; the
# engine's own integrity check finds nothing wrong in a sound table. The repair and orphan key tables
# belong to SYS, whoever calls ADMIN_TABLES.
BEGIN
  DBMS_REPAIR.ADMIN_TABLES(table_name => 'REPAIR_TABLE', table_type => DBMS_REPAIR.REPAIR_TABLE,
                           action => DBMS_REPAIR.CREATE_ACTION, tablespace => 'USERS');
  DBMS_REPAIR.ADMIN_TABLES(table_name => 'ORPHAN_KEY_TABLE', table_type => DBMS_REPAIR.ORPHAN_TABLE,
                           action => DBMS_REPAIR.CREATE_ACTION, tablespace => 'USERS');
END;
/
SELECT table_name FROM dba_tables WHERE owner = 'SYS' AND table_name IN ('REPAIR_TABLE', 'ORPHAN_KEY_TABLE') ORDER BY 1;
> TABLE_NAME
> ORPHAN_KEY_TABLE
> REPAIR_TABLE
BEGIN
  DBMS_REPAIR.ADMIN_TABLES('REPAIR_TABLE', DBMS_REPAIR.REPAIR_TABLE, DBMS_REPAIR.CREATE_ACTION, 'USERS');
END;
/
> ORA-00955: name is already used by an existing object
BEGIN
  DBMS_REPAIR.ADMIN_TABLES('MY_TABLE', DBMS_REPAIR.REPAIR_TABLE, DBMS_REPAIR.CREATE_ACTION, 'USERS');
END;
/
> ORA-24129: table name MY_TABLE does not start with REPAIR_ prefix
BEGIN
  DBMS_REPAIR.ADMIN_TABLES('REPAIR_X; DROP TABLE x', DBMS_REPAIR.REPAIR_TABLE, DBMS_REPAIR.CREATE_ACTION);
END;
/
> ORA-44003: invalid SQL name

CREATE TABLE rt (a NUMBER);
INSERT INTO rt SELECT LEVEL FROM dual CONNECT BY LEVEL <= 50;
> 50 rows
COMMIT;
DECLARE
  n BINARY_INTEGER;
  f BINARY_INTEGER;
BEGIN
  DBMS_REPAIR.CHECK_OBJECT(schema_name => 'SYSTEM', object_name => 'RT', repair_table_name => 'REPAIR_TABLE',
                           corrupt_count => n);
  DBMS_REPAIR.FIX_CORRUPT_BLOCKS(schema_name => 'SYSTEM', object_name => 'RT', object_type => DBMS_REPAIR.TABLE_OBJECT,
                                 repair_table_name => 'REPAIR_TABLE', fix_count => f);
  DBMS_REPAIR.SKIP_CORRUPT_BLOCKS(schema_name => 'SYSTEM', object_name => 'RT', object_type => DBMS_REPAIR.TABLE_OBJECT,
                                  flags => DBMS_REPAIR.SKIP_FLAG);
  DBMS_REPAIR.REBUILD_FREELISTS(schema_name => 'SYSTEM', object_name => 'RT', object_type => DBMS_REPAIR.TABLE_OBJECT);
  DBMS_OUTPUT.PUT_LINE('corrupt ' || n || ', fixed ' || f);
END;
/
> corrupt 0, fixed 0
SELECT COUNT(*) AS n FROM rt;
> N
> 50
DECLARE
  n BINARY_INTEGER;
BEGIN
  DBMS_REPAIR.CHECK_OBJECT(schema_name => 'SYSTEM', object_name => 'NO_SUCH', corrupt_count => n);
END;
/
> ORA-00942: table or view does not exist

BEGIN
  DBMS_REPAIR.ADMIN_TABLES('REPAIR_TABLE', DBMS_REPAIR.REPAIR_TABLE, DBMS_REPAIR.DROP_ACTION);
  DBMS_REPAIR.ADMIN_TABLES('ORPHAN_KEY_TABLE', DBMS_REPAIR.ORPHAN_TABLE, DBMS_REPAIR.DROP_ACTION);
END;
/
SELECT COUNT(*) AS n FROM dba_tables WHERE table_name IN ('REPAIR_TABLE', 'ORPHAN_KEY_TABLE');
> N
> 0
