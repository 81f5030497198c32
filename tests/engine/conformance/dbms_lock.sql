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
