# Changes over a database link (here a link back to this database, as another user): the link
# user's rights decide, and the changes belong to this session's transaction.
CREATE USER lnk IDENTIFIED BY lnk;
GRANT CREATE SESSION, CREATE TABLE, UNLIMITED TABLESPACE TO lnk;
CREATE TABLE lnk.items(id NUMBER CONSTRAINT items_pk PRIMARY KEY, name VARCHAR2(10) NOT NULL);
CREATE TABLE lnk_copy(id NUMBER, name VARCHAR2(10));
CREATE DATABASE LINK back CONNECT TO lnk IDENTIFIED BY lnk USING 'CONF';
INSERT INTO items@back VALUES (1, 'one');
> 1 rows
UPDATE lnk.items@back SET name = 'uno' WHERE id = 1;
> 1 rows
SELECT id, name FROM items@back;
> ID,NAME
> 1,uno
ROLLBACK;
SELECT COUNT(*) AS n FROM lnk.items;
> N
> 0
INSERT INTO items@back SELECT level, 'n' || level FROM dual CONNECT BY level <= 3;
> 3 rows
DELETE FROM items@back WHERE id = 2;
> 1 rows
INSERT INTO lnk_copy SELECT id, name FROM items@back;
> 2 rows
COMMIT;
SELECT i.id, i.name, c.name AS copied FROM lnk.items i JOIN lnk_copy c ON c.id = i.id ORDER BY i.id;
> ID,NAME,COPIED
> 1,n1,n1
> 3,n3,n3

# MERGE into a table over the link from a local table
CREATE TABLE lnk_src(id NUMBER, name VARCHAR2(10));
INSERT INTO lnk_src VALUES (3, 'three');
> 1 rows
INSERT INTO lnk_src VALUES (5, 'five');
> 1 rows
MERGE INTO items@back t USING lnk_src s ON (t.id = s.id)
  WHEN MATCHED THEN UPDATE SET t.name = s.name
  WHEN NOT MATCHED THEN INSERT (id, name) VALUES (s.id, s.name);
> 2 rows
SELECT id, name FROM items@back ORDER BY id;
> ID,NAME
> 1,n1
> 3,three
> 5,five
ROLLBACK;
SELECT id, name FROM lnk.items ORDER BY id;
> ID,NAME
> 1,n1
> 3,n3

# The other side's constraints and the link user's rights
INSERT INTO items@back VALUES (1, 'dup');
> ORA-00001: unique constraint (LNK.ITEMS_PK) violated
INSERT INTO items@back (id) VALUES (4);
> ORA-01400: cannot insert NULL into ("LNK"."ITEMS"."NAME")
UPDATE items@back SET name = 'much too long' WHERE id = 1;
> ORA-12899: value too large for column "LNK"."ITEMS"."NAME" (actual: 13, maximum: 10)
DELETE FROM system.lnk_copy@back;
> ORA-00942: table or view does not exist
UPDATE items@nosuch SET name = 'x';
> ORA-02019: connection description for remote database not found

# RETURNING does not reach a remote table
DELETE FROM items@back WHERE id = 1 RETURNING id INTO :id;
> ORA-22816: unsupported feature with RETURNING clause

# Dictionary views that depend on the session answer for the link's user
SELECT username FROM user_users@back;
> USERNAME
> LNK
SELECT table_name FROM user_tables@back;
> TABLE_NAME
> ITEMS
SELECT COUNT(*) AS n FROM all_tables@back WHERE table_name = 'LNK_COPY';
> N
> 0

# PL/SQL types of remote tables
DECLARE
  r items@back%ROWTYPE;
  n lnk.items.name@back%TYPE;
BEGIN
  SELECT * INTO r FROM items@back WHERE id = 3;
  n := r.name;
  dbms_output.put_line(r.id || ' ' || n);
  n := 'eleven chars';
END;
/
> 3 n3
> ORA-06502: PL/SQL: numeric or value error: character string buffer too small
