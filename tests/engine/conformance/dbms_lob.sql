# DBMS_LOB over CLOB values: lengths and positions count characters
CREATE TABLE lob_t (id NUMBER, c CLOB, b BLOB);
INSERT INTO lob_t VALUES (1, 'Šola in šolar', HEXTORAW('00FF10'));
> 1 rows
SELECT DBMS_LOB.GETLENGTH(c) len, DBMS_LOB.SUBSTR(c, 3, 2) sub, DBMS_LOB.INSTR(c, 'ola', 1, 2) second,
       DBMS_LOB.INSTR(c, 'x') none FROM lob_t;
> LEN,SUB,SECOND,NONE
> 13,ola,10,0
DECLARE
  c CLOB;
  l CLOB;
BEGIN
  SELECT c INTO l FROM lob_t WHERE id = 1;
  DBMS_LOB.CREATETEMPORARY(c, TRUE);
  DBMS_LOB.OPEN(c, DBMS_LOB.LOB_READWRITE);
  DBMS_LOB.APPEND(c, l);
  DBMS_LOB.WRITEAPPEND(c, 3, '!?#');
  DBMS_LOB.CLOSE(c);
  DBMS_OUTPUT.PUT_LINE(c || ' ' || DBMS_LOB.GETLENGTH(c) || ' ' || DBMS_LOB.ISTEMPORARY(c));
  DBMS_OUTPUT.PUT_LINE(NVL(DBMS_LOB.SUBSTR(c, 5, 100), 'null') || ' ' || NVL(DBMS_LOB.SUBSTR(c, 0, 1), 'null') || ' ' ||
                       DBMS_LOB.SUBSTR(c, 100, 14));
  DBMS_LOB.FREETEMPORARY(c);
  DBMS_OUTPUT.PUT_LINE(NVL(DBMS_LOB.GETLENGTH(c), -1) || ' ' || DBMS_LOB.ISTEMPORARY(c));
END;
/
> Šola in šolar!?# 16 1
> null null !?#
> -1 0
# WRITE overwrites from an offset and pads a gap with blanks; ERASE blanks; TRIM cuts; COPY overwrites
DECLARE
  c CLOB := 'abcdef';
  n INTEGER := 2;
BEGIN
  DBMS_LOB.WRITE(c, 2, 3, 'XYZ');
  DBMS_OUTPUT.PUT_LINE('[' || c || ']');
  DBMS_LOB.WRITE(c, 1, 9, 'Q');
  DBMS_OUTPUT.PUT_LINE('[' || c || ']');
  DBMS_LOB.ERASE(c, n, 2);
  DBMS_OUTPUT.PUT_LINE('[' || c || '] ' || n);
  n := 100;
  DBMS_LOB.ERASE(c, n, 8);
  DBMS_OUTPUT.PUT_LINE('[' || c || '] ' || n);
  DBMS_LOB.TRIM(c, 4);
  DBMS_OUTPUT.PUT_LINE('[' || c || ']');
  DBMS_LOB.COPY(c, 'hello', 3, 3, 2);
  DBMS_OUTPUT.PUT_LINE('[' || c || ']');
END;
/
> [abXYef]
> [abXYef  Q]
> [a  Yef  Q] 2
> [a  Yef   ] 2
> [a  Y]
> [a ell]
DECLARE
  c CLOB := 'abc';
BEGIN
  DBMS_LOB.TRIM(c, 4);
END;
/
> ORA-22926: specified trim length is greater than current LOB value's length
DECLARE
  c CLOB := 'abc';
BEGIN
  DBMS_LOB.WRITEAPPEND(c, 5, 'xy');
END;
/
> ORA-21560: argument 2 is null, invalid, or out of range
DECLARE
  c CLOB := 'abc';
BEGIN
  DBMS_LOB.WRITE(c, 1, 0, 'x');
END;
/
> ORA-21560: argument 3 is null, invalid, or out of range
# COMPARE: 0 when equal over the amount, else -1 or 1; NULL for a NULL LOB
SELECT DBMS_LOB.COMPARE(TO_CLOB('abc'), TO_CLOB('abc')) eq, DBMS_LOB.COMPARE(TO_CLOB('abc'), TO_CLOB('abd')) lt,
       DBMS_LOB.COMPARE(TO_CLOB('abd'), TO_CLOB('abc')) gt, DBMS_LOB.COMPARE(TO_CLOB('abc'), TO_CLOB('abd'), 2) first_two,
       DBMS_LOB.COMPARE(TO_CLOB('xabc'), TO_CLOB('abc'), 3, 2, 1) offsets, NVL(DBMS_LOB.COMPARE(TO_CLOB('a'), NULL), -9) nul
  FROM dual;
> EQ,LT,GT,FIRST_TWO,OFFSETS,NUL
> 0,-1,1,0,0,-9
# The constants
BEGIN
  DBMS_OUTPUT.PUT_LINE(DBMS_LOB.LOB_READONLY || ' ' || DBMS_LOB.LOB_READWRITE || ' ' || DBMS_LOB.CALL || ' ' ||
                       DBMS_LOB.SESSION);
END;
/
> 0 1 12 10

# DBMS_LOB over BLOB values: bytes
DECLARE
  b BLOB;
  r RAW(10);
BEGIN
  SELECT b INTO b FROM lob_t WHERE id = 1;
  DBMS_LOB.APPEND(b, HEXTORAW('AA'));
  DBMS_LOB.WRITEAPPEND(b, 1, HEXTORAW('BBCC'));
  DBMS_OUTPUT.PUT_LINE(RAWTOHEX(b) || ' ' || DBMS_LOB.GETLENGTH(b) || ' ' || DBMS_LOB.SUBSTR(b, 2, 2) || ' ' ||
                       DBMS_LOB.INSTR(b, HEXTORAW('AA')));
  DBMS_LOB.WRITE(b, 1, 8, HEXTORAW('EE'));
  DBMS_OUTPUT.PUT_LINE(RAWTOHEX(b));
  DBMS_LOB.TRIM(b, 2);
  DBMS_OUTPUT.PUT_LINE(RAWTOHEX(b) || ' ' || DBMS_LOB.COMPARE(b, TO_BLOB(HEXTORAW('00FF'))));
END;
/
> 00FF10AABB 5 FF10 4
> 00FF10AABB0000EE
> 00FF 0
UPDATE lob_t SET c = 'x', b = HEXTORAW('01') WHERE id = 1;
> 1 rows
SELECT DBMS_LOB.GETLENGTH(c) lc, DBMS_LOB.GETLENGTH(b) lb FROM lob_t;
> LC,LB
> 1,1
# A CLOB built by appends in a loop, in a package variable and in a local one
CREATE PACKAGE lob_buf AS
  buf CLOB;
  PROCEDURE add(s VARCHAR2);
END;
/
CREATE PACKAGE BODY lob_buf AS
  PROCEDURE add(s VARCHAR2) IS
  BEGIN
    DBMS_LOB.WRITEAPPEND(buf, LENGTH(s), s);
  END;
END;
/
DECLARE
  c CLOB;
BEGIN
  FOR i IN 1 .. 1000 LOOP
    DBMS_LOB.APPEND(c, TO_CHAR(MOD(i, 10)));
    lob_buf.add('ab');
  END LOOP;
  DBMS_OUTPUT.PUT_LINE(DBMS_LOB.GETLENGTH(c) || ' ' || DBMS_LOB.SUBSTR(c, 12, 1) || ' ' ||
                       DBMS_LOB.GETLENGTH(lob_buf.buf) || ' ' || DBMS_LOB.SUBSTR(lob_buf.buf, 4, 1997));
END;
/
> 1000 123456789012 2000 abab

# An empty LOB has no characters or bytes and is not NULL: stored, read back and measured; '' is NULL
CREATE TABLE lob_e (id NUMBER, c CLOB, b BLOB, n CLOB NOT NULL);
INSERT INTO lob_e VALUES (1, EMPTY_CLOB(), EMPTY_BLOB(), EMPTY_CLOB());
> 1 rows
INSERT INTO lob_e VALUES (2, NULL, NULL, 'x');
> 1 rows
INSERT INTO lob_e VALUES (3, '', NULL, 'y');
> 1 rows
SELECT id, CASE WHEN c IS NULL THEN 'null' ELSE 'empty' END AS c, CASE WHEN b IS NOT NULL THEN 'empty' ELSE 'null' END AS b,
       DBMS_LOB.GETLENGTH(c) AS lc, DBMS_LOB.GETLENGTH(b) AS lb, LENGTH(c) AS len, LENGTH(n) AS ln FROM lob_e ORDER BY id;
> ID,C,B,LC,LB,LEN,LN
> 1,empty,empty,0,0,0,0
> 2,null,null,,,,1
> 3,null,null,,,,1
SELECT DBMS_LOB.GETLENGTH(EMPTY_CLOB()) AS c, DBMS_LOB.GETLENGTH(EMPTY_BLOB()) AS b FROM dual;
> C,B
> 0,0
UPDATE lob_e SET c = EMPTY_CLOB(), b = EMPTY_BLOB() WHERE id = 2;
> 1 rows
SELECT id FROM lob_e WHERE c IS NULL;
> ID
> 3
INSERT INTO lob_e (id, n) VALUES (4, NULL);
> ORA-01400: cannot insert NULL into ("SYSTEM"."LOB_E"."N")
# In PL/SQL: EMPTY_CLOB(), a new temporary LOB and a LOB trimmed to nothing are empty, not NULL, and
# go into a table as empty LOBs; an empty BLOB made a RAW is NULL, as a RAW of no bytes is
DECLARE
  c CLOB := EMPTY_CLOB();
  b BLOB;
  t CLOB;
  r RAW(4) := HEXTORAW('AB');
BEGIN
  DBMS_LOB.CREATETEMPORARY(t, TRUE);
  b := EMPTY_BLOB();
  DBMS_OUTPUT.PUT_LINE(CASE WHEN c IS NULL THEN 'null' ELSE 'empty' END || ' ' || DBMS_LOB.GETLENGTH(c) || ' ' ||
                       CASE WHEN t IS NULL THEN 'null' ELSE 'empty' END || ' ' || DBMS_LOB.GETLENGTH(t) || ' ' ||
                       CASE WHEN b IS NULL THEN 'null' ELSE 'empty' END || ' ' || DBMS_LOB.GETLENGTH(b));
  SELECT c INTO c FROM lob_e WHERE id = 1;
  INSERT INTO lob_e VALUES (5, t, b, c);
  r := b;
  DBMS_LOB.WRITEAPPEND(t, 2, 'ab');
  DBMS_LOB.TRIM(t, 0);
  DBMS_OUTPUT.PUT_LINE(CASE WHEN c IS NULL THEN 'null' ELSE 'empty' END || ' ' || NVL(DBMS_LOB.GETLENGTH(t), -1) || ' ' ||
                       CASE WHEN r IS NULL THEN 'raw null' ELSE 'raw ' || RAWTOHEX(r) END);
END;
/
> empty 0 empty 0 empty 0
> empty 0 raw null
SELECT COUNT(*) AS n FROM lob_e WHERE id = 5 AND c IS NOT NULL AND b IS NOT NULL AND DBMS_LOB.GETLENGTH(n) = 0;
> N
> 1
