# Statements that differ only in their literals, one after another in one session, as scripts send
# them: each gives the result and the error of its own values, also where a literal decides the
# statement's shape (headings, sorting, grouping, ROWNUM, DATE literals, '' as NULL).

CREATE TABLE shp (id NUMBER CONSTRAINT shp_pk PRIMARY KEY, name VARCHAR2(5) NOT NULL, code CHAR(3), qty NUMBER(3), price NUMBER(5,2), born DATE);

# INSERTs of one shape: each value is checked as its own literal would be
INSERT INTO shp (id, name, code, qty, price) VALUES (1, 'ab', 'x', 10, 1.5);
> 1 rows
INSERT INTO shp (id, name, code, qty, price) VALUES (2, 'cde', 'yz', 20, 2.345);
> 1 rows
INSERT INTO shp (id, name, code, qty, price) VALUES (3, 'toolong', 'y', 30, 3);
> ORA-12899: value too large for column "SYSTEM"."SHP"."NAME" (actual: 7, maximum: 5)
INSERT INTO shp (id, name, code, qty, price) VALUES (3, 'sixsix', 'y', 30, 3);
> ORA-12899: value too large for column "SYSTEM"."SHP"."NAME" (actual: 6, maximum: 5)
INSERT INTO shp (id, name, code, qty, price) VALUES (3, 'f', 'abcd', 30, 3);
> ORA-12899: value too large for column "SYSTEM"."SHP"."CODE" (actual: 4, maximum: 3)
INSERT INTO shp (id, name, code, qty, price) VALUES (3, 'f', 'y', 1000, 3);
> ORA-01438: value larger than specified precision allowed for this column
INSERT INTO shp (id, name, code, qty, price) VALUES ('x', 'f', 'y', 30, 3);
> ORA-01722: invalid number
INSERT INTO shp (id, name, code, qty, price) VALUES (3, '', 'y', 30, 3);
> ORA-01400: cannot insert NULL into ("SYSTEM"."SHP"."NAME")
INSERT INTO shp (id, name, code, qty, price) VALUES (1, 'dup', 'y', 30, 3);
> ORA-00001: unique constraint (SYSTEM.SHP_PK) violated
INSERT INTO shp (id, name, code, qty, price) VALUES ('4', 'gh', '', 40, 12345678901234567890);
> ORA-01438: value larger than specified precision allowed for this column
INSERT INTO shp (id, name, code, qty, price) VALUES ('4', 'gh', '', 40, .5);
> 1 rows
SELECT id, name, code, qty, price FROM shp ORDER BY id;
> ID,NAME,CODE,QTY,PRICE
> 1,ab,x  ,10,1.5
> 2,cde,yz ,20,2.35
> 4,gh,,40,.5

# Lookups of one shape, with numbers, text compared as numbers, blank-padded CHAR
SELECT name FROM shp WHERE id = 1;
> NAME
> ab
SELECT name FROM shp WHERE id = 2;
> NAME
> cde
SELECT name FROM shp WHERE id = '4';
> NAME
> gh
SELECT name FROM shp WHERE id = 'four';
> ORA-01722: invalid number
SELECT name FROM shp WHERE id = 4.0;
> NAME
> gh
SELECT id FROM shp WHERE code = 'x';
> ID
> 1
SELECT id FROM shp WHERE code = 'yz ';
> ID
> 2
SELECT id FROM shp WHERE name LIKE 'a%' OR name LIKE '_d_';
> ID
> 1
> 2
SELECT id FROM shp WHERE name LIKE 'g%' OR name LIKE 'zz';
> ID
> 4
SELECT id FROM shp WHERE id IN (1, 4) ORDER BY id;
> ID
> 1
> 4
SELECT id FROM shp WHERE id IN (2, 3) ORDER BY id;
> ID
> 2

# A literal in the select list is its own value
SELECT 'a' AS t, 1 AS n FROM dual;
> T,N
> a,1
SELECT 'bb' AS t, 22 AS n FROM dual;
> T,N
> bb,22

# ORDER BY a position, ROWNUM limits, GROUP BY expressions
SELECT id, name FROM shp ORDER BY 1;
> ID,NAME
> 1,ab
> 2,cde
> 4,gh
SELECT id, name FROM shp ORDER BY 2 DESC;
> ID,NAME
> 4,gh
> 2,cde
> 1,ab
SELECT id, name FROM shp ORDER BY 3;
> ORA-01785: ORDER BY item must be the number of a SELECT-list expression
SELECT id FROM shp WHERE ROWNUM <= 1;
> ID
> 1
SELECT id FROM shp WHERE ROWNUM <= 2;
> ID
> 1
> 2
SELECT SUBSTR(name, 1, 1), COUNT(*) FROM shp GROUP BY SUBSTR(name, 1, 1) ORDER BY 1;
> "SUBSTR(NAME,1,1)",COUNT(*)
> a,1
> c,1
> g,1
SELECT SUBSTR(name, 1, 1), COUNT(*) FROM shp GROUP BY SUBSTR(name, 1, 2) ORDER BY 1;
> ORA-00979: not a GROUP BY expression

# DATE literals
UPDATE shp SET born = DATE '2020-02-29' WHERE id = 1;
> 1 rows
UPDATE shp SET born = DATE '2021-03-01' WHERE id = 2;
> 1 rows
SELECT id, TO_CHAR(born, 'YYYY-MM-DD') AS d FROM shp WHERE born IS NOT NULL ORDER BY id;
> ID,D
> 1,2020-02-29
> 2,2021-03-01

# UPDATEs of one shape, and '' as NULL
UPDATE shp SET name = 'new', qty = 11 WHERE id = 1;
> 1 rows
UPDATE shp SET name = 'newer', qty = 12 WHERE id = 2;
> 1 rows
UPDATE shp SET name = 'newest', qty = 13 WHERE id = 4;
> ORA-12899: value too large for column "SYSTEM"."SHP"."NAME" (actual: 6, maximum: 5)
UPDATE shp SET name = '', qty = 13 WHERE id = 4;
> ORA-01407: cannot update ("SYSTEM"."SHP"."NAME") to NULL
UPDATE shp SET name = 'n4', qty = 14 WHERE id = 99;
> 0 rows
SELECT id, name, qty FROM shp ORDER BY id;
> ID,NAME,QTY
> 1,new,11
> 2,newer,12
> 4,gh,40
DELETE FROM shp WHERE id = 2;
> 1 rows
DELETE FROM shp WHERE id = 2;
> 0 rows
DELETE FROM shp WHERE name = 'gh';
> 1 rows
SELECT COUNT(*) FROM shp;
> COUNT(*)
> 1

# Statements of one shape on a table with a trigger: the trigger sees each statement's own values
CREATE TABLE shp_log (line VARCHAR2(40));
CREATE OR REPLACE TRIGGER shp_ai
AFTER INSERT OR UPDATE ON shp
FOR EACH ROW
BEGIN
  INSERT INTO shp_log VALUES (:NEW.id || ' ' || :NEW.name || ' ' || :NEW.qty);
END;
/
INSERT INTO shp (id, name, qty) VALUES (5, 'five', 50);
> 1 rows
INSERT INTO shp (id, name, qty) VALUES (6, 'six', 60);
> 1 rows
UPDATE shp SET qty = 51 WHERE id = 5;
> 1 rows
UPDATE shp SET qty = 61 WHERE id = 6;
> 1 rows
SELECT line FROM shp_log ORDER BY line;
> LINE
> 5 five 50
> 5 five 51
> 6 six 60
> 6 six 61
DROP TRIGGER shp_ai;

# After a change of the table, the same shapes see its new definition
ALTER TABLE shp ADD (note VARCHAR2(3) DEFAULT 'def');
INSERT INTO shp (id, name, qty) VALUES (7, 'seven', 70);
> 1 rows
INSERT INTO shp (id, name, qty) VALUES (8, 'eight', 80);
> 1 rows
SELECT id, note FROM shp WHERE id = 8;
> ID,NOTE
> 8,def
SELECT id, note FROM shp WHERE id = 7;
> ID,NOTE
> 7,def

# MERGE of one shape runs its UPDATE and its INSERT with its own values
MERGE INTO shp s USING (SELECT 7 AS id FROM dual) d ON (s.id = d.id)
WHEN MATCHED THEN UPDATE SET s.qty = 71
WHEN NOT MATCHED THEN INSERT (id, name, qty) VALUES (d.id, 'new', 1);
> 1 rows
MERGE INTO shp s USING (SELECT 9 AS id FROM dual) d ON (s.id = d.id)
WHEN MATCHED THEN UPDATE SET s.qty = 91
WHEN NOT MATCHED THEN INSERT (id, name, qty) VALUES (d.id, 'nine', 9);
> 1 rows
SELECT id, name, qty FROM shp WHERE id IN (7, 9) ORDER BY id;
> ID,NAME,QTY
> 7,seven,71
> 9,nine,9
