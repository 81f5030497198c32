# RAW columns: HEXTORAW/RAWTOHEX, text read as hex digits, lengths in bytes, comparisons by bytes
CREATE TABLE raw_t (id NUMBER, r RAW(4), b BLOB);
INSERT INTO raw_t VALUES (1, HEXTORAW('0aFF'), HEXTORAW('00'));
> 1 rows
INSERT INTO raw_t (id, r) VALUES (2, 'abc');
> 1 rows
INSERT INTO raw_t (id, r) VALUES (3, 'xyz');
> ORA-01465: invalid hex number
INSERT INTO raw_t (id, r) VALUES (4, '0102030405');
> ORA-12899: value too large for column "SYSTEM"."RAW_T"."R" (actual: 5, maximum: 4)
SELECT id, r, RAWTOHEX(r) h, LENGTH(r) len, b, LENGTH(RAWTOHEX(r)) hex_len FROM raw_t ORDER BY id;
> ID,R,H,LEN,B,HEX_LEN
> 1,0AFF,0AFF,2,00,4
> 2,0ABC,0ABC,2,,4
SELECT id FROM raw_t WHERE r = HEXTORAW('0AFF');
> ID
> 1
SELECT id FROM raw_t WHERE r = '0abc';
> ID
> 2
SELECT id FROM raw_t WHERE r > HEXTORAW('0AC0') ORDER BY id;
> ID
> 1
SELECT r || '-' || id t, UPPER(r) u FROM raw_t WHERE id = 1;
> T,U
> 0AFF-1,0AFF
SELECT HEXTORAW('abc') a, RAWTOHEX('0a') b, HEXTORAW(NULL) c FROM dual;
> A,B,C
> 0ABC,0A,
SELECT HEXTORAW('0g') FROM dual;
> ORA-01465: invalid hex number
UPDATE raw_t SET r = UTL_RAW.CAST_TO_RAW('AB') WHERE id = 2;
> 1 rows
SELECT r FROM raw_t WHERE id = 2;
> R
> 4142
# RAW variables in PL/SQL: text assigned as hex, byte length limits, comparisons
DECLARE
  v RAW(4) := HEXTORAW('4142');
  w RAW(4) := '4142';
  t VARCHAR2(20);
BEGIN
  t := v;
  DBMS_OUTPUT.PUT_LINE(v || ' ' || t || ' ' || LENGTH(v) || ' ' || RAWTOHEX(v));
  DBMS_OUTPUT.PUT_LINE(CASE WHEN v = w THEN 'equal' END || ' ' || CASE WHEN v = '4142' THEN 'equal text' END ||
                       ' ' || CASE WHEN v < HEXTORAW('42') THEN 'less' END);
  SELECT r INTO w FROM raw_t WHERE id = 1;
  DBMS_OUTPUT.PUT_LINE(w);
END;
/
> 4142 4142 2 4142
> equal equal text less
> 0AFF
DECLARE
  v RAW(2);
BEGIN
  v := HEXTORAW('010203');
END;
/
> ORA-06502: PL/SQL: numeric or value error: raw variable length too long
DECLARE
  v RAW(2);
BEGIN
  v := 'zz';
END;
/
> ORA-06502: PL/SQL: numeric or value error: hex to raw conversion error

# UTL_RAW: casts, lengths, pieces, concatenation
DECLARE
  r RAW(100) := UTL_RAW.CAST_TO_RAW('Hello');
BEGIN
  DBMS_OUTPUT.PUT_LINE(r || ' ' || UTL_RAW.LENGTH(r) || ' ' || UTL_RAW.CAST_TO_VARCHAR2(r));
  DBMS_OUTPUT.PUT_LINE(UTL_RAW.SUBSTR(r, 2, 3) || ' ' || UTL_RAW.SUBSTR(r, -2) || ' ' || UTL_RAW.SUBSTR(r, 5));
  DBMS_OUTPUT.PUT_LINE(UTL_RAW.CONCAT(r, HEXTORAW('20'), UTL_RAW.CAST_TO_RAW('you')) || ' ' ||
                       NVL(RAWTOHEX(UTL_RAW.CAST_TO_RAW(NULL)), 'null') || ' ' || NVL(UTL_RAW.CONCAT(NULL, NULL), 'null'));
  DBMS_OUTPUT.PUT_LINE(UTL_RAW.REVERSE(HEXTORAW('010203')) || ' ' || UTL_RAW.COPIES(HEXTORAW('AB'), 3));
END;
/
> 48656C6C6F 5 Hello
> 656C6C 6C6F 6F
> 48656C6C6F20796F75 null null
> 030201 ABABAB
SELECT UTL_RAW.CAST_TO_VARCHAR2(UTL_RAW.CAST_TO_RAW('Šola')) s, UTL_RAW.LENGTH(UTL_RAW.CAST_TO_RAW('Šola')) n FROM dual;
> S,N
> Šola,5
BEGIN
  DBMS_OUTPUT.PUT_LINE(UTL_RAW.SUBSTR(HEXTORAW('0102'), 0, 1));
END;
/
> ORA-06502: PL/SQL: numeric or value error
BEGIN
  DBMS_OUTPUT.PUT_LINE(UTL_RAW.SUBSTR(HEXTORAW('0102'), 2, 2));
END;
/
> ORA-06502: PL/SQL: numeric or value error
BEGIN
  DBMS_OUTPUT.PUT_LINE(UTL_RAW.REVERSE(NULL));
END;
/
> ORA-06502: PL/SQL: numeric or value error

# UTL_RAW bit operations: the shorter operand combines with the start of the longer, whose rest is kept
DECLARE
  a RAW(10) := HEXTORAW('0F0F');
  b RAW(10) := HEXTORAW('F0');
BEGIN
  DBMS_OUTPUT.PUT_LINE(UTL_RAW.BIT_AND(a, b) || ' ' || UTL_RAW.BIT_OR(a, b) || ' ' || UTL_RAW.BIT_XOR(a, b) || ' ' ||
                       UTL_RAW.BIT_XOR(b, a) || ' ' || UTL_RAW.BIT_COMPLEMENT(a));
  DBMS_OUTPUT.PUT_LINE(NVL(UTL_RAW.BIT_AND(a, NULL), 'null') || ' ' || UTL_RAW.BIT_AND(HEXTORAW('FF'), HEXTORAW('3C')));
END;
/
> 000F FF0F FF0F FF0F F0F0
> null 3C

# UTL_RAW.COMPARE: 0 when equal (the shorter padded), else where they first differ
SELECT UTL_RAW.COMPARE(HEXTORAW('0102'), HEXTORAW('0102')) same,
       UTL_RAW.COMPARE(HEXTORAW('0102'), HEXTORAW('0103')) second,
       UTL_RAW.COMPARE(HEXTORAW('01'), HEXTORAW('0100')) padded,
       UTL_RAW.COMPARE(HEXTORAW('01'), HEXTORAW('01FF'), HEXTORAW('FF')) pad_ff,
       UTL_RAW.COMPARE(HEXTORAW('01'), HEXTORAW('0101')) longer
  FROM dual;
> SAME,SECOND,PADDED,PAD_FF,LONGER
> 0,2,0,0,2

# Integers and numbers as bytes
SELECT UTL_RAW.CAST_FROM_BINARY_INTEGER(1) big, UTL_RAW.CAST_FROM_BINARY_INTEGER(1, 2) little,
       UTL_RAW.CAST_FROM_BINARY_INTEGER(-2) neg, UTL_RAW.CAST_TO_BINARY_INTEGER(HEXTORAW('FFFFFFFE')) back,
       UTL_RAW.CAST_TO_BINARY_INTEGER(HEXTORAW('0100')) short, UTL_RAW.CAST_TO_BINARY_INTEGER(HEXTORAW('0100'), 2) le
  FROM dual;
> BIG,LITTLE,NEG,BACK,SHORT,LE
> 00000001,01000000,FFFFFFFE,-2,256,1
BEGIN
  DBMS_OUTPUT.PUT_LINE(UTL_RAW.CAST_TO_BINARY_INTEGER(HEXTORAW('0102030405')));
END;
/
> ORA-06502: PL/SQL: numeric or value error
SELECT UTL_RAW.CAST_FROM_NUMBER(0) zero, UTL_RAW.CAST_FROM_NUMBER(1) one, UTL_RAW.CAST_FROM_NUMBER(100) hundred,
       UTL_RAW.CAST_FROM_NUMBER(123.45) dec, UTL_RAW.CAST_FROM_NUMBER(0.0005) small, UTL_RAW.CAST_FROM_NUMBER(-1) neg,
       UTL_RAW.CAST_FROM_NUMBER(-123.45) neg_dec
  FROM dual;
> ZERO,ONE,HUNDRED,DEC,SMALL,NEG,NEG_DEC
> 80,C102,C202,C202182E,BF06,3E6466,3D644E3866
SELECT UTL_RAW.CAST_TO_NUMBER(HEXTORAW('C202182E')) a, UTL_RAW.CAST_TO_NUMBER(HEXTORAW('3D644E3866')) b,
       UTL_RAW.CAST_TO_NUMBER(HEXTORAW('80')) c, UTL_RAW.CAST_TO_NUMBER(UTL_RAW.CAST_FROM_NUMBER(98765.4321)) d
  FROM dual;
> A,B,C,D
> 123.45,-123.45,0,98765.4321

# UTL_I18N: text to the bytes of a character set and back
SELECT UTL_I18N.STRING_TO_RAW('Šola', 'AL32UTF8') utf8, UTL_I18N.STRING_TO_RAW('Šola', 'EE8MSWIN1250') cp1250,
       UTL_I18N.RAW_TO_CHAR(HEXTORAW('8A6F6C61'), 'EE8MSWIN1250') back
  FROM dual;
> UTF8,CP1250,BACK
> C5A06F6C61,8A6F6C61,Šola
