# MERGE: matched rows are updated, the others inserted; the count is of both.
CREATE TABLE stock (item VARCHAR2(10) PRIMARY KEY, qty NUMBER(5) NOT NULL, note VARCHAR2(10) DEFAULT 'new');
INSERT INTO stock (item, qty) VALUES ('apple', 5);
> 1 rows
INSERT INTO stock (item, qty) VALUES ('pear', 1);
> 1 rows
CREATE TABLE delivery (item VARCHAR2(10), qty NUMBER);
INSERT INTO delivery VALUES ('apple', 3);
> 1 rows
INSERT INTO delivery VALUES ('plum', 7);
> 1 rows
MERGE INTO stock s USING delivery d ON (s.item = d.item)
WHEN MATCHED THEN UPDATE SET s.qty = s.qty + d.qty, s.note = 'more'
WHEN NOT MATCHED THEN INSERT (item, qty) VALUES (d.item, d.qty);
> 2 rows
SELECT item, qty, note FROM stock ORDER BY item;
> ITEM,QTY,NOTE
> apple,8,more
> pear,1,new
> plum,7,new

# From a subquery with binds, only one branch, and a condition on each branch
MERGE INTO stock s USING (SELECT :item AS item, :qty AS qty FROM dual) d ON (s.item = d.item)
WHEN MATCHED THEN UPDATE SET s.qty = d.qty WHERE s.qty < d.qty;
> 0 rows
MERGE INTO stock s USING (SELECT 'kiwi' AS item, 2 AS qty FROM dual) d ON (s.item = d.item)
WHEN NOT MATCHED THEN INSERT VALUES (d.item, d.qty, 'k') WHERE d.qty > 1;
> 1 rows

# The rules of the columns hold, and ON columns cannot be updated
MERGE INTO stock s USING delivery d ON (s.item = d.item)
WHEN MATCHED THEN UPDATE SET s.item = 'x';
> ORA-38104: Columns referenced in the ON Clause cannot be updated: "S"."ITEM"
MERGE INTO stock s USING (SELECT 'fig' AS item FROM dual) d ON (s.item = d.item)
WHEN NOT MATCHED THEN INSERT (item) VALUES (d.item);
> ORA-01400: cannot insert NULL into ("SYSTEM"."STOCK"."QTY")
MERGE INTO stock s USING (SELECT 'apple' AS item FROM dual) d ON (s.item = d.item)
WHEN MATCHED THEN UPDATE SET s.qty = 123456;
> ORA-01438: value larger than specified precision allowed for this column
