# ROWID: opaque, one per row, stable, and usable to find the row again.

CREATE TABLE r (id NUMBER, name VARCHAR2(10));
INSERT INTO r SELECT 1, 'row1' FROM dual UNION ALL SELECT 2, 'row2' FROM dual UNION ALL SELECT 3, 'row3' FROM dual;
> 3 rows

SELECT COUNT(DISTINCT rowid) AS n, COUNT(*) AS c FROM r;
> N,C
> 3,3
SELECT id FROM r WHERE rowid = (SELECT rowid FROM r WHERE id = 2);
> ID
> 2
# qualified by the table's alias
SELECT x.id FROM r x WHERE x.rowid = (SELECT y.rowid FROM r y WHERE y.name = 'row3');
> ID
> 3

# UPDATE and DELETE by ROWID; an update keeps the row's ROWID
CREATE TABLE kept (rid VARCHAR2(100), id NUMBER);
INSERT INTO kept SELECT ROWID, id FROM r;
> 3 rows
UPDATE r SET name = 'changed' WHERE rowid = (SELECT rid FROM kept WHERE id = 1);
> 1 rows
SELECT COUNT(*) AS n FROM r, kept WHERE r.rowid = kept.rid AND r.id = kept.id;
> N
> 3
DELETE FROM r WHERE rowid IN (SELECT rid FROM kept WHERE id >= 2);
> 2 rows
SELECT id, name FROM r;
> ID,NAME
> 1,changed

# A join reads each table's ROWID through its alias
SELECT COUNT(*) AS n FROM r a JOIN r b ON a.rowid = b.rowid;
> N
> 1

# Text that is no ROWID
SELECT id FROM r WHERE rowid = 'not a rowid';
> ORA-01410: invalid ROWID
