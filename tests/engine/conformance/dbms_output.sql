# DBMS_OUTPUT is on in every session the cases run; its lines come before the statement's own result.

BEGIN
  DBMS_OUTPUT.PUT_LINE('first');
  DBMS_OUTPUT.PUT('sec');
  DBMS_OUTPUT.PUT_LINE('ond');
END;
/
> first
> second

# A block that writes nothing shows nothing
BEGIN
  NULL;
END;
/

# Output is per session and starts on again after a new logon
@connect SYSTEM/SYSTEM
DECLARE
  n NUMBER := 2;
BEGIN
  DBMS_OUTPUT.PUT_LINE('n=' || n);
END;
/
> n=2

# GET_LINE hands the lines out one by one; with none left its status is 1 and the line NULL (the
# Oracle driver reads a session's output this way)
DECLARE
  a VARCHAR2(100);
  sa NUMBER;
  b VARCHAR2(100);
  sb NUMBER;
  c VARCHAR2(100);
  sc NUMBER;
BEGIN
  DBMS_OUTPUT.PUT_LINE('only');
  DBMS_OUTPUT.PUT_LINE(NULL);
  DBMS_OUTPUT.GET_LINE(a, sa);
  DBMS_OUTPUT.GET_LINE(b, sb);
  DBMS_OUTPUT.GET_LINE(c, sc);
  DBMS_OUTPUT.PUT_LINE(a || ':' || sa || ':' || NVL(b, 'null') || ':' || sb || ':' || NVL(c, 'null') || ':' || sc);
END;
/
> only:0:null:0:null:1
