# Anonymous blocks: declarations, control flow, expressions and DBMS_OUTPUT.
BEGIN
  NULL;
END;
/
DECLARE
  n NUMBER := 10;
  s VARCHAR2(20) := 'x';
  total PLS_INTEGER := 0;
BEGIN
  FOR i IN 1 .. n LOOP
    total := total + i;
  END LOOP;
  DBMS_OUTPUT.PUT_LINE('total ' || total || s);
  IF total > 50 THEN
    DBMS_OUTPUT.PUT_LINE('big');
  ELSIF total > 10 THEN
    DBMS_OUTPUT.PUT_LINE('medium');
  ELSE
    DBMS_OUTPUT.PUT_LINE('small');
  END IF;
END;
/
> total 55x
> big
