# User exceptions, PRAGMA EXCEPTION_INIT, RAISE_APPLICATION_ERROR, re-raise, OTHERS, the ORA-06512 stack.
DECLARE
  my_error EXCEPTION;
BEGIN
  RAISE my_error;
EXCEPTION
  WHEN my_error THEN
    DBMS_OUTPUT.PUT_LINE('caught ' || SQLCODE || ' ' || SQLERRM);
END;
/
> caught 1 User-Defined Exception
DECLARE
  my_error EXCEPTION;
BEGIN
  RAISE my_error;
END;
/
> ORA-06510: PL/SQL: unhandled user-defined exception
DECLARE
  bad_thing EXCEPTION;
  PRAGMA EXCEPTION_INIT(bad_thing, -20123);
BEGIN
  RAISE_APPLICATION_ERROR(-20123, 'custom text');
EXCEPTION
  WHEN bad_thing THEN
    DBMS_OUTPUT.PUT_LINE(SQLCODE || ': ' || SQLERRM);
END;
/
> -20123: ORA-20123: custom text
BEGIN
  RAISE_APPLICATION_ERROR(-20001, 'stop here');
END;
/
> ORA-20001: stop here
BEGIN
  RAISE_APPLICATION_ERROR(-1, 'out of range');
END;
/
> ORA-21000: error number argument to raise_application_error of -1 is out of range
DECLARE
  n NUMBER;
BEGIN
  BEGIN
    n := 1 / 0;
  EXCEPTION
    WHEN ZERO_DIVIDE THEN
      DBMS_OUTPUT.PUT_LINE('inner');
      RAISE;
  END;
EXCEPTION
  WHEN OTHERS THEN
    DBMS_OUTPUT.PUT_LINE('outer ' || SQLERRM);
END;
/
> inner
> outer ORA-01476: divisor is equal to zero
DECLARE
  n NUMBER;
BEGIN
  n := TO_NUMBER('abc');
EXCEPTION
  WHEN INVALID_NUMBER OR VALUE_ERROR THEN
    DBMS_OUTPUT.PUT_LINE('not a number');
END;
/
> not a number
