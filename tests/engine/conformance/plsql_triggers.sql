# Triggers: BEFORE/AFTER, row and statement level, INSERT/UPDATE [OF]/DELETE, WHEN, :NEW/:OLD,
# BEFORE ROW changes to :NEW, ENABLE/DISABLE, atomicity of a failing trigger, the dictionary.
CREATE SEQUENCE item_seq;
CREATE TABLE items (id NUMBER PRIMARY KEY, name VARCHAR2(20) NOT NULL, price NUMBER, changed VARCHAR2(20));
CREATE TABLE audit_log (what VARCHAR2(100));
CREATE OR REPLACE TRIGGER items_bi
BEFORE INSERT ON items
FOR EACH ROW
WHEN (new.id IS NULL)
BEGIN
  :NEW.id := item_seq.NEXTVAL;
  :NEW.name := UPPER(:NEW.name);
END;
/
CREATE OR REPLACE TRIGGER items_au
AFTER UPDATE OF price ON items
FOR EACH ROW
BEGIN
  INSERT INTO audit_log VALUES (:OLD.name || ': ' || :OLD.price || ' -> ' || :NEW.price);
END;
/
CREATE OR REPLACE TRIGGER items_ad
AFTER DELETE ON items
BEGIN
  INSERT INTO audit_log VALUES ('deleted some');
END;
/
INSERT INTO items (name, price) VALUES ('pen', 2);
> 1 rows
INSERT INTO items (id, name, price) VALUES (100, 'ink', 5);
> 1 rows
SELECT id, name, price FROM items ORDER BY id;
> ID,NAME,PRICE
> 1,PEN,2
> 100,ink,5
UPDATE items SET price = price * 2;
> 2 rows
UPDATE items SET changed = 'x' WHERE id = 1;
> 1 rows
DELETE FROM items WHERE id = 100;
> 1 rows
SELECT what FROM audit_log ORDER BY what;
> WHAT
> PEN: 2 -> 4
> deleted some
> ink: 5 -> 10
# A trigger that fails undoes its statement and reports the trigger
CREATE OR REPLACE TRIGGER items_guard
BEFORE UPDATE ON items
FOR EACH ROW
BEGIN
  IF :NEW.price > 100 THEN
    RAISE_APPLICATION_ERROR(-20010, 'too expensive');
  END IF;
END;
/
UPDATE items SET price = 1000;
> ORA-20010: too expensive
SELECT price FROM items;
> PRICE
> 4
ALTER TRIGGER items_guard DISABLE;
UPDATE items SET price = 1000;
> 1 rows
ALTER TRIGGER items_guard ENABLE;
UPDATE items SET price = 2000;
> ORA-20010: too expensive
# DML inside PL/SQL fires triggers too
BEGIN
  INSERT INTO items (name) VALUES ('cup');
END;
/
SELECT id, name FROM items WHERE name = 'CUP';
> ID,NAME
> 2,CUP
SELECT trigger_name, trigger_type, triggering_event, table_name, when_clause, status FROM user_triggers ORDER BY trigger_name;
> TRIGGER_NAME,TRIGGER_TYPE,TRIGGERING_EVENT,TABLE_NAME,WHEN_CLAUSE,STATUS
> ITEMS_AD,AFTER STATEMENT,DELETE,ITEMS,,ENABLED
> ITEMS_AU,AFTER EACH ROW,UPDATE,ITEMS,,ENABLED
> ITEMS_BI,BEFORE EACH ROW,INSERT,ITEMS,new.id IS NULL,ENABLED
> ITEMS_GUARD,BEFORE EACH ROW,UPDATE,ITEMS,,ENABLED
# A trigger with errors is stored INVALID
CREATE OR REPLACE TRIGGER items_bad
BEFORE INSERT ON items
FOR EACH ROW
BEGIN
  :NEW.nosuch := 1;
END;
/
> ORA-24344: success with compilation error
SELECT status FROM user_objects WHERE object_name = 'ITEMS_BAD';
> STATUS
> INVALID
DROP TRIGGER items_bad;
DROP TRIGGER items_bad;
> ORA-04080: trigger 'ITEMS_BAD' does not exist
# INSERT ... SELECT fires the row triggers for each row it inserts
INSERT INTO items (name, price) SELECT 'copy', price FROM items WHERE name = 'PEN';
> 1 rows
SELECT id, name, price FROM items WHERE name = 'COPY';
> ID,NAME,PRICE
> 3,COPY,1000
