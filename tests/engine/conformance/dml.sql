# INSERT, UPDATE, DELETE, TRUNCATE and LOCK TABLE.

CREATE TABLE items (id NUMBER PRIMARY KEY, name VARCHAR2(10), qty NUMBER(3) DEFAULT 1, price NUMBER(5,2));

# INSERT with VALUES, with a column list (the rest take their default or NULL), and with a query
INSERT INTO items VALUES (1, 'apple', 5, 1.5);
> 1 rows
INSERT INTO items (id, name) VALUES (2, 'pear');
> 1 rows
INSERT INTO items (name, id, price) SELECT 'plum' || n, 10 + n, n FROM (SELECT 1 AS n FROM dual UNION ALL SELECT 2 FROM dual UNION ALL SELECT 3 FROM dual);
> 3 rows
INSERT INTO items SELECT * FROM items WHERE 1 = 0;
> 0 rows
SELECT id, name, qty, price FROM items ORDER BY id;
> ID,NAME,QTY,PRICE
> 1,apple,5,1.5
> 2,pear,1,
> 11,plum1,1,1
> 12,plum2,1,2
> 13,plum3,1,3
INSERT INTO items (id, name) VALUES (3, 'fig', 1);
> ORA-00913: too many values
INSERT INTO items VALUES (3, 'fig');
> ORA-00947: not enough values
INSERT INTO items (id, nosuch) VALUES (3, 1);
> ORA-00904: "NOSUCH": invalid identifier

# Values must fit the column: precision and length
INSERT INTO items (id, qty) VALUES (4, 1000);
> ORA-01438: value larger than specified precision allowed for this column
INSERT INTO items (id, name) VALUES (4, 'elevenchars');
> ORA-12899: value too large for column "SYSTEM"."ITEMS"."NAME" (actual: 11, maximum: 10)
# NUMBER(5,2) rounds to its scale
INSERT INTO items (id, price) VALUES (5, 2.345);
> 1 rows
SELECT price FROM items WHERE id = 5;
> PRICE
> 2.35
INSERT INTO items (id, name) VALUES ('x', 'bad');
> ORA-01722: invalid number

# UPDATE sets one or more columns, also from a subquery; the count is of rows matched
UPDATE items SET qty = qty + 1 WHERE id IN (1, 2);
> 2 rows
UPDATE items SET qty = 0, price = NULL WHERE id = 99;
> 0 rows
UPDATE items i SET price = (SELECT MAX(price) FROM items WHERE id > 10) WHERE i.id = 2;
> 1 rows
SELECT id, qty, price FROM items WHERE id IN (1, 2) ORDER BY id;
> ID,QTY,PRICE
> 1,6,1.5
> 2,2,3
UPDATE items SET nosuch = 1;
> ORA-00904: "NOSUCH": invalid identifier

# DELETE with and without FROM
DELETE FROM items WHERE id = 13;
> 1 rows
DELETE items WHERE id > 10;
> 2 rows
DELETE items i WHERE i.name = 'nothing';
> 0 rows
SELECT COUNT(*) AS n FROM items;
> N
> 3

# TRUNCATE removes every row and commits
INSERT INTO items (id) VALUES (7);
> 1 rows
CREATE TABLE scratch (a NUMBER);
INSERT INTO scratch VALUES (1);
> 1 rows
TRUNCATE TABLE scratch;
ROLLBACK;
SELECT COUNT(*) AS n FROM scratch;
> N
> 0
SELECT COUNT(*) AS n FROM items;
> N
> 4
TRUNCATE TABLE nosuch;
> ORA-00942: table or view does not exist

# LOCK TABLE in the modes Oracle knows
LOCK TABLE items IN EXCLUSIVE MODE;
LOCK TABLE items IN ROW EXCLUSIVE MODE NOWAIT;
LOCK TABLE items IN SHARE MODE;
COMMIT;
LOCK TABLE nosuch IN EXCLUSIVE MODE;
> ORA-00942: table or view does not exist

# The LONG type holds long text whole; a table may have only one LONG column
CREATE TABLE notes (id NUMBER, body LONG);
INSERT INTO notes VALUES (1, 'first line
second line, with a comma and "quotes"');
> 1 rows
SELECT body FROM notes;
> BODY
> "first line
> second line, with a comma and ""quotes"""
CREATE TABLE two_longs (a LONG, b LONG);
> ORA-01754: a table may contain only one column of type LONG
