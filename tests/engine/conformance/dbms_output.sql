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
