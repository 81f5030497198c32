# Commit, rollback and savepoints of one session.

CREATE TABLE tx (id NUMBER);

# ROLLBACK undoes what was not committed; COMMIT keeps it
INSERT INTO tx VALUES (1);
> 1 rows
COMMIT;
INSERT INTO tx VALUES (2);
> 1 rows
ROLLBACK;
SELECT id FROM tx;
> ID
> 1

# ROLLBACK TO a savepoint undoes only what followed it; the transaction stays open
INSERT INTO tx VALUES (2);
> 1 rows
SAVEPOINT before_three;
INSERT INTO tx VALUES (3);
> 1 rows
ROLLBACK TO SAVEPOINT before_three;
INSERT INTO tx VALUES (4);
> 1 rows
ROLLBACK TO before_three;
COMMIT;
SELECT id FROM tx ORDER BY id;
> ID
> 1
> 2

# A savepoint that does not exist
ROLLBACK TO SAVEPOINT nosuch;
> ORA-01086: savepoint 'NOSUCH' never established in this session or is invalid

# Logging off rolls back what was not committed
INSERT INTO tx VALUES (5);
> 1 rows
@connect SYSTEM/SYSTEM
SELECT COUNT(*) AS n FROM tx;
> N
> 2
