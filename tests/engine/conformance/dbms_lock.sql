# DBMS_LOCK.SLEEP and the lock mode constants
BEGIN
  DBMS_LOCK.SLEEP(0);
  DBMS_LOCK.SLEEP(0.01);
  DBMS_OUTPUT.PUT_LINE(DBMS_LOCK.X_MODE || ' ' || DBMS_LOCK.S_MODE || ' ' || DBMS_LOCK.MAXWAIT);
END;
/
> 6 4 32767
BEGIN
  DBMS_LOCK.SLEEP(NULL);
END;
/
> ORA-06502: PL/SQL: numeric or value error

# A unit of the user's own named like a built-in package comes first
CREATE PACKAGE dbms_lock AS
  PROCEDURE sleep(seconds IN NUMBER);
END;
/
CREATE PACKAGE BODY dbms_lock AS
  PROCEDURE sleep(seconds IN NUMBER) IS
  BEGIN
    DBMS_OUTPUT.PUT_LINE('own sleep ' || seconds);
  END;
END;
/
BEGIN
  dbms_lock.sleep(5);
  sys.dbms_lock.sleep(0);
END;
/
> own sleep 5
DROP PACKAGE dbms_lock;

# User locks in one session: request, own, convert, release, and the return codes
DECLARE
  h1 VARCHAR2(128);
  h2 VARCHAR2(128);
  h3 VARCHAR2(128);
BEGIN
  DBMS_LOCK.ALLOCATE_UNIQUE('NUVO_BATCH', h1);
  DBMS_LOCK.ALLOCATE_UNIQUE('NUVO_BATCH', h2);
  DBMS_LOCK.ALLOCATE_UNIQUE('nuvo_batch', h3);
  DBMS_OUTPUT.PUT_LINE(CASE WHEN h1 = h2 THEN 'same' ELSE 'differs' END || ' ' ||
                       CASE WHEN h1 = h3 THEN 'same' ELSE 'differs' END);
  DBMS_OUTPUT.PUT_LINE('request ' || DBMS_LOCK.REQUEST(h1, DBMS_LOCK.X_MODE, 0));
  DBMS_OUTPUT.PUT_LINE('again ' || DBMS_LOCK.REQUEST(h1, DBMS_LOCK.X_MODE, 0));
  DBMS_OUTPUT.PUT_LINE('convert ' || DBMS_LOCK.CONVERT(h1, DBMS_LOCK.S_MODE, 0));
  DBMS_OUTPUT.PUT_LINE('release ' || DBMS_LOCK.RELEASE(h1));
  DBMS_OUTPUT.PUT_LINE('release again ' || DBMS_LOCK.RELEASE(h1));
  DBMS_OUTPUT.PUT_LINE('convert unheld ' || DBMS_LOCK.CONVERT(h1, DBMS_LOCK.X_MODE, 0));
END;
/
> same differs
> request 0
> again 4
> convert 0
> release 0
> release again 4
> convert unheld 4
BEGIN
  DBMS_OUTPUT.PUT_LINE('id ' || DBMS_LOCK.REQUEST(4711, DBMS_LOCK.SX_MODE, 0, FALSE));
  DBMS_OUTPUT.PUT_LINE('named ' || DBMS_LOCK.REQUEST(id => 4712));
  DBMS_OUTPUT.PUT_LINE('release ' || DBMS_LOCK.RELEASE(4711) || DBMS_LOCK.RELEASE(id => 4712));
  DBMS_OUTPUT.PUT_LINE('bad mode ' || DBMS_LOCK.REQUEST(4711, 7, 0) || DBMS_LOCK.REQUEST(4711, 0, 0) ||
                       DBMS_LOCK.CONVERT(4711, NULL, 0));
  DBMS_OUTPUT.PUT_LINE('bad id ' || DBMS_LOCK.REQUEST(-1) || DBMS_LOCK.REQUEST(2000000000) || DBMS_LOCK.RELEASE(-5));
  DBMS_OUTPUT.PUT_LINE('bad handle ' || DBMS_LOCK.REQUEST('not a handle') || DBMS_LOCK.RELEASE('12345') ||
                       DBMS_LOCK.CONVERT('1073741824107374182499', 6));
END;
/
> id 0
> named 0
> release 00
> bad mode 333
> bad id 333
> bad handle 555

# release_on_commit: COMMIT and ROLLBACK release such a lock, and only such a lock
BEGIN
  DBMS_OUTPUT.PUT_LINE(DBMS_LOCK.REQUEST(100, DBMS_LOCK.X_MODE, 0, TRUE) || DBMS_LOCK.REQUEST(101, DBMS_LOCK.X_MODE, 0, FALSE));
  COMMIT;
  DBMS_OUTPUT.PUT_LINE('after commit ' || DBMS_LOCK.RELEASE(100) || DBMS_LOCK.RELEASE(101));
  DBMS_OUTPUT.PUT_LINE(DBMS_LOCK.REQUEST(102, DBMS_LOCK.S_MODE, 0, TRUE));
  ROLLBACK;
  DBMS_OUTPUT.PUT_LINE('after rollback ' || DBMS_LOCK.RELEASE(102));
END;
/
> 00
> after commit 40
> 0
> after rollback 4

# A NULL lock name is a value error
DECLARE
  h VARCHAR2(128);
BEGIN
  DBMS_LOCK.ALLOCATE_UNIQUE(NULL, h);
END;
/
> ORA-06502: PL/SQL: numeric or value error
