# DML RETURNING ... INTO inside PL/SQL: INSERT and UPDATE return the values after the change, DELETE
# the values before it; ROWID is the changed row's; no row leaves NULL; more rows are ORA-01422.
CREATE TABLE acct (id NUMBER PRIMARY KEY, owner VARCHAR2(10), balance NUMBER, opened DATE);
INSERT INTO acct VALUES (1, 'ann', 100, DATE '2020-01-01');
> 1 rows
INSERT INTO acct VALUES (2, 'bob', 250, DATE '2021-02-03');
> 1 rows
DECLARE
  v_bal NUMBER;
  v_owner VARCHAR2(10);
  v_rid ROWID;
BEGIN
  UPDATE acct SET balance = balance * 2 WHERE id = 1 RETURNING balance, UPPER(owner), ROWID INTO v_bal, v_owner, v_rid;
  DBMS_OUTPUT.PUT_LINE(v_bal || ' ' || v_owner || ' ' || SQL%ROWCOUNT);
  SELECT owner INTO v_owner FROM acct WHERE ROWID = v_rid;
  DBMS_OUTPUT.PUT_LINE('by rowid ' || v_owner);
  DELETE FROM acct WHERE id = 2 RETURNING balance + 1, owner INTO v_bal, v_owner;
  DBMS_OUTPUT.PUT_LINE(v_bal || ' ' || v_owner || ' ' || SQL%ROWCOUNT);
  UPDATE acct SET balance = 0 WHERE id = 99 RETURNING balance INTO v_bal;
  DBMS_OUTPUT.PUT_LINE('none [' || v_bal || '] ' || SQL%ROWCOUNT);
END;
/
> 200 ANN 1
> by rowid ann
> 251 bob 1
> none [] 0
# A record takes the whole returned row
DECLARE
  r acct%ROWTYPE;
BEGIN
  INSERT INTO acct VALUES (3, 'cy', 5, DATE '2022-03-04') RETURNING id, owner, balance, opened INTO r;
  DBMS_OUTPUT.PUT_LINE(r.id || ' ' || r.owner || ' ' || r.balance || ' ' || TO_CHAR(r.opened, 'YYYY-MM-DD'));
END;
/
> 3 cy 5 2022-03-04
# More than one row into scalars: ORA-01422, and the statement is undone
DECLARE
  v NUMBER;
BEGIN
  UPDATE acct SET balance = -1 RETURNING id INTO v;
END;
/
> ORA-01422: exact fetch returns more than requested number of rows
SELECT id, balance FROM acct ORDER BY id;
> ID,BALANCE
> 1,200
> 3,5
# The caller's handler sees ORA-01422 with the statement's changes undone
DECLARE
  v NUMBER;
BEGIN
  DELETE FROM acct RETURNING id INTO v;
EXCEPTION
  WHEN TOO_MANY_ROWS THEN
    DBMS_OUTPUT.PUT_LINE('too many');
END;
/
> too many
SELECT COUNT(*) AS n FROM acct;
> N
> 2
# Values and targets must pair up
DECLARE
  a NUMBER;
  b NUMBER;
BEGIN
  UPDATE acct SET balance = 1 WHERE id = 1 RETURNING id INTO a, b;
END;
/
> ORA-06550: line 5, column 65:
# On a table with triggers: the values are the ones written, :NEW changes included
CREATE TABLE audited (id NUMBER, name VARCHAR2(10), stamp VARCHAR2(10));
CREATE TRIGGER audited_bi BEFORE INSERT OR UPDATE ON audited FOR EACH ROW
BEGIN
  :NEW.stamp := 'T' || :NEW.id;
END;
/
DECLARE
  v_stamp VARCHAR2(10);
  v_name VARCHAR2(10);
BEGIN
  INSERT INTO audited (id, name) VALUES (7, 'x') RETURNING stamp INTO v_stamp;
  DBMS_OUTPUT.PUT_LINE('insert ' || v_stamp);
  UPDATE audited SET id = 8 WHERE id = 7 RETURNING stamp, name INTO v_stamp, v_name;
  DBMS_OUTPUT.PUT_LINE('update ' || v_stamp || ' ' || v_name);
  DELETE FROM audited WHERE id = 8 RETURNING stamp INTO v_stamp;
  DBMS_OUTPUT.PUT_LINE('delete ' || v_stamp || ' ' || SQL%ROWCOUNT);
END;
/
> insert T7
> update T8 x
> delete T8 1
# Plain SQL needs INTO after RETURNING
UPDATE acct SET balance = 1 RETURNING balance;
> ORA-00925: missing INTO keyword
