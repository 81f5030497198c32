# INTERVAL values: literals of every qualifier, the conversion functions, datetime arithmetic,
# comparison and sorting, columns, EXTRACT, TO_CHAR and CAST. A literal shows its own precisions (the
# fraction only when it runs to SECOND); the functions and arithmetic give nine digits in each place.
SELECT INTERVAL '5' DAY AS a, INTERVAL '2' HOUR AS b, INTERVAL '90' SECOND AS c, INTERVAL '1:30' MINUTE TO SECOND AS d FROM dual;
> A,B,C,D
> +05 00:00:00,+00 02:00:00,+00 00:01:30.000000,+00 00:01:30.000000
SELECT INTERVAL '4 5:12:10.222' DAY TO SECOND(3) AS a, INTERVAL '400 5' DAY(3) TO HOUR AS b, INTERVAL '11:20' HOUR TO MINUTE AS c FROM dual;
> A,B,C
> +04 05:12:10.222,+400 05:00:00,+00 11:20:00
SELECT INTERVAL '30.12345' SECOND(2,4) AS a, INTERVAL '-1 2:34:56' DAY TO SECOND AS b, INTERVAL '300' HOUR AS c FROM dual;
> A,B,C
> +00 00:00:30.1235,-01 02:34:56.000000,+12 12:00:00
SELECT INTERVAL '1-6' YEAR TO MONTH AS a, INTERVAL '20' MONTH AS b, INTERVAL '123-2' YEAR(3) TO MONTH AS c, INTERVAL '-3' YEAR AS d FROM dual;
> A,B,C,D
> +01-06,+01-08,+123-02,-03-00
# Literals out of range
SELECT INTERVAL '90' DAY(1) FROM dual;
> ORA-01873: the leading precision of the interval is too small
SELECT INTERVAL '123-2' YEAR TO MONTH FROM dual;
> ORA-01873: the leading precision of the interval is too small
SELECT INTERVAL '0:90' MINUTE TO SECOND FROM dual;
> ORA-01852: seconds must be between 0 and 59
SELECT INTERVAL '1 24' DAY TO HOUR FROM dual;
> ORA-01850: hour must be between 0 and 23
SELECT INTERVAL '1-12' YEAR TO MONTH FROM dual;
> ORA-01843: not a valid month
SELECT INTERVAL '1 2' DAY TO SECOND FROM dual;
> ORA-01867: the interval is invalid
SELECT INTERVAL '1' HOUR TO DAY FROM dual;
> ORA-30089: missing or invalid <datetime field>
# NUMTODSINTERVAL, NUMTOYMINTERVAL, TO_DSINTERVAL, TO_YMINTERVAL
SELECT NUMTODSINTERVAL(90, 'second') AS a, NUMTODSINTERVAL(1.5, 'MINUTE') AS b, NUMTODSINTERVAL(36, ' Hour ') AS c FROM dual;
> A,B,C
> +000000000 00:01:30.000000000,+000000000 00:01:30.000000000,+000000001 12:00:00.000000000
SELECT NUMTOYMINTERVAL(18, 'MONTH') AS a, NUMTOYMINTERVAL(1.5, 'year') AS b FROM dual;
> A,B
> +000000001-06,+000000001-06
SELECT NUMTODSINTERVAL(1, 'WEEK') FROM dual;
> ORA-01760: illegal argument for function
SELECT TO_DSINTERVAL('+0 00:01:30') AS a, TO_DSINTERVAL('-2 03:04:05.5') AS b, TO_DSINTERVAL('P1DT2H3M4.25S') AS c FROM dual;
> A,B,C
> +000000000 00:01:30.000000000,-000000002 03:04:05.500000000,+000000001 02:03:04.250000000
SELECT TO_DSINTERVAL('90') FROM dual;
> ORA-01867: the interval is invalid
SELECT TO_YMINTERVAL('01-02') AS a, TO_YMINTERVAL('-5-11') AS b, TO_YMINTERVAL('P2Y3M') AS c FROM dual;
> A,B,C
> +000000001-02,-000000005-11,+000000002-03
SELECT TO_YMINTERVAL('1 year') FROM dual;
> ORA-01867: the interval is invalid
# The ISO form: a negative duration, days and time left out of a YEAR TO MONTH, years refused in a
# DAY TO SECOND, a fraction only on the seconds
SELECT TO_DSINTERVAL('-PT90M') AS a, TO_YMINTERVAL('P1Y14MT3H') AS b FROM dual;
> A,B
> -000000000 01:30:00.000000000,+000000002-02
SELECT TO_DSINTERVAL('P1Y') FROM dual;
> ORA-01867: the interval is invalid
SELECT TO_DSINTERVAL('PT1.5H') FROM dual;
> ORA-01867: the interval is invalid
SELECT TO_DSINTERVAL('P') FROM dual;
> ORA-01867: the interval is invalid
# Datetime plus or minus an interval keeps the datetime's type; a DATE minus a DATE stays days
SELECT TO_CHAR(DATE '2024-01-31' + INTERVAL '1 12' DAY TO HOUR, 'YYYY-MM-DD HH24:MI:SS') AS a,
  TO_CHAR(DATE '2024-03-31' - INTERVAL '1' MONTH * 2, 'YYYY-MM-DD') AS b,
  TO_CHAR(TIMESTAMP '2024-01-01 00:00:00.25' + INTERVAL '0.5' SECOND, 'YYYY-MM-DD HH24:MI:SS.FF2') AS c,
  DATE '2024-03-02' - DATE '2024-03-01' AS d FROM dual;
> A,B,C,D
> 2024-02-01 12:00:00,2024-01-31,2024-01-01 00:00:00.75,1
SELECT DATE '2024-01-31' + INTERVAL '1' MONTH FROM dual;
> ORA-01839: date not valid for month specified
SELECT TO_CHAR(INTERVAL '1-1' YEAR TO MONTH + DATE '2023-01-29', 'YYYY-MM-DD') AS a FROM dual;
> A
> 2024-02-29
# A TIMESTAMP minus a datetime is an INTERVAL DAY TO SECOND
SELECT TIMESTAMP '2024-03-02 10:00:00.5' - TIMESTAMP '2024-03-01 08:30:00' AS a,
  DATE '2024-03-01' - TIMESTAMP '2024-03-02 00:00:00' AS b FROM dual;
> A,B
> +000000001 01:30:00.500000000,-000000001 00:00:00.000000000
# Intervals of one kind add, subtract, scale and negate
SELECT INTERVAL '20' DAY - INTERVAL '240' HOUR AS a, INTERVAL '1' YEAR - INTERVAL '1' MONTH AS b,
  INTERVAL '1' HOUR * 2.5 AS c, 3 * INTERVAL '1' MONTH AS d, INTERVAL '1' DAY / 4 AS e, - INTERVAL '2' DAY AS f FROM dual;
> A,B,C,D,E,F
> +000000010 00:00:00.000000000,+000000000-11,+000000000 02:30:00.000000000,+000000000-03,+000000000 06:00:00.000000000,-02 00:00:00
SELECT INTERVAL '1' DAY + INTERVAL '1' MONTH FROM dual;
> ORA-30081: invalid data type for datetime/interval arithmetic
SELECT INTERVAL '1' DAY + 1 FROM dual;
> ORA-30081: invalid data type for datetime/interval arithmetic
SELECT INTERVAL '1' DAY - SYSDATE FROM dual;
> ORA-30081: invalid data type for datetime/interval arithmetic
SELECT INTERVAL '1' DAY / 0 FROM dual;
> ORA-01476: divisor is equal to zero
# Comparison (text is read as an interval) and the wrong kind
SELECT CASE WHEN INTERVAL '36' HOUR > INTERVAL '1' DAY THEN 'yes' ELSE 'no' END AS a,
  CASE WHEN INTERVAL '-1' DAY < INTERVAL '1' SECOND THEN 'yes' ELSE 'no' END AS b,
  CASE WHEN INTERVAL '1' DAY = '1 00:00:00' THEN 'yes' ELSE 'no' END AS c,
  CASE WHEN INTERVAL '12' MONTH = INTERVAL '1' YEAR THEN 'yes' ELSE 'no' END AS d FROM dual;
> A,B,C,D
> yes,yes,yes,yes
SELECT 1 FROM dual WHERE INTERVAL '1' DAY = INTERVAL '1' MONTH;
> ORA-00932: inconsistent datatypes: expected INTERVAL DAY TO SECOND got INTERVAL YEAR TO MONTH
# EXTRACT carries the sign; a YEAR TO MONTH has no days
SELECT EXTRACT(DAY FROM INTERVAL '-3 04:05:06.5' DAY TO SECOND) AS d, EXTRACT(HOUR FROM INTERVAL '-3 04:05:06.5' DAY TO SECOND) AS h,
  EXTRACT(MINUTE FROM INTERVAL '3 04:05:06.5' DAY TO SECOND) AS mi, EXTRACT(SECOND FROM INTERVAL '3 04:05:06.5' DAY TO SECOND) AS s,
  EXTRACT(YEAR FROM INTERVAL '2-7' YEAR TO MONTH) AS y, EXTRACT(MONTH FROM INTERVAL '2-7' YEAR TO MONTH) AS m FROM dual;
> D,H,MI,S,Y,M
> -3,-4,5,6.5,2,7
SELECT EXTRACT(DAY FROM INTERVAL '2-7' YEAR TO MONTH) FROM dual;
> ORA-30076: invalid extract field for extract source
# TO_CHAR, concatenation and CAST
SELECT TO_CHAR(INTERVAL '1 2:3:4.5' DAY TO SECOND(2)) AS a, 'took ' || INTERVAL '90' MINUTE AS b,
  CAST(INTERVAL '1-6' YEAR TO MONTH AS VARCHAR2(20)) AS c FROM dual;
> A,B,C
> +01 02:03:04.50,took +00 01:30:00,+01-06
SELECT CAST('3 04:05:06.123456789' AS INTERVAL DAY(1) TO SECOND(3)) AS a, CAST(NUMTOYMINTERVAL(30, 'MONTH') AS INTERVAL YEAR(4) TO MONTH) AS b FROM dual;
> A,B
> +3 04:05:06.123,+0002-06
SELECT CAST(5 AS INTERVAL DAY TO SECOND) FROM dual;
> ORA-00932: inconsistent datatypes: expected INTERVAL DAY TO SECOND got NUMBER
# Columns keep their precisions, round the fraction, refuse a leading field too long, and sort
CREATE TABLE iv_t (id NUMBER, ds INTERVAL DAY TO SECOND, ds3 INTERVAL DAY(3) TO SECOND(2), ym INTERVAL YEAR TO MONTH);
INSERT INTO iv_t VALUES (1, INTERVAL '1 02:03:04.5' DAY TO SECOND, INTERVAL '100 0:0:1.126' DAY(3) TO SECOND(3), INTERVAL '1-6' YEAR TO MONTH);
> 1 rows
INSERT INTO iv_t VALUES (2, NUMTODSINTERVAL(-30, 'MINUTE'), '5 06:00:00', '2-0');
> 1 rows
INSERT INTO iv_t VALUES (3, INTERVAL '3' HOUR, NULL, INTERVAL '-1' MONTH);
> 1 rows
INSERT INTO iv_t (id, ds) VALUES (4, INTERVAL '100' DAY(3));
> ORA-01873: the leading precision of the interval is too small
INSERT INTO iv_t (id, ym) VALUES (4, INTERVAL '1' DAY);
> ORA-00932: inconsistent datatypes: expected INTERVAL YEAR TO MONTH got INTERVAL DAY TO SECOND
SELECT id, ds, ds3, ym FROM iv_t ORDER BY ds;
> ID,DS,DS3,YM
> 2,-00 00:30:00.000000,+005 06:00:00.00,+02-00
> 3,+00 03:00:00.000000,,-00-01
> 1,+01 02:03:04.500000,+100 00:00:01.13,+01-06
SELECT id FROM iv_t WHERE ds > INTERVAL '1' HOUR AND ym < INTERVAL '2' YEAR ORDER BY id;
> ID
> 1
> 3
SELECT SUM(ds) AS s, MAX(ym) AS m, AVG(ym) AS a FROM iv_t;
> S,M,A
> +000000001 04:33:04.500000000,+02-00,+000000001-01
UPDATE iv_t SET ds = ds + INTERVAL '1' DAY WHERE id = 2;
> 1 rows
SELECT ds, TIMESTAMP '2024-01-01 00:00:00' + ds AS t FROM iv_t WHERE id = 2;
> DS,T
> +00 23:30:00.000000,01-JAN-24 11.30.00.000000000 PM
SELECT column_name, data_type FROM user_tab_columns WHERE table_name = 'IV_T' AND column_name <> 'ID' ORDER BY column_id;
> COLUMN_NAME,DATA_TYPE
> DS,INTERVAL DAY(2) TO SECOND(6)
> DS3,INTERVAL DAY(3) TO SECOND(2)
> YM,INTERVAL YEAR(2) TO MONTH
# A view and a table made from a query keep the interval
CREATE VIEW iv_v AS SELECT id, ds3 FROM iv_t;
SELECT ds3 FROM iv_v WHERE id = 1;
> DS3
> +100 00:00:01.13
# PL/SQL variables of INTERVAL types
DECLARE
  d INTERVAL DAY TO SECOND := INTERVAL '1' HOUR;
  y INTERVAL YEAR(3) TO MONTH;
  s INTERVAL DAY(1) TO SECOND(0);
  t TIMESTAMP := TIMESTAMP '2024-05-01 10:00:00';
BEGIN
  d := d * 3 + INTERVAL '15' MINUTE;
  dbms_output.put_line(d);
  y := NUMTOYMINTERVAL(100, 'MONTH');
  dbms_output.put_line('y ' || y);
  IF d > INTERVAL '3' HOUR THEN dbms_output.put_line('longer'); END IF;
  dbms_output.put_line(TO_CHAR(t + d, 'HH24:MI'));
  SELECT ds INTO d FROM iv_t WHERE id = 1;
  dbms_output.put_line(d || ' ' || EXTRACT(SECOND FROM d));
  s := INTERVAL '2 3:4:5.6' DAY TO SECOND;
  dbms_output.put_line(s);
  s := INTERVAL '20' DAY;
END;
/
> +00 03:15:00.000000
> y +008-04
> longer
> 13:15
> +01 02:03:04.500000 4.5
> +2 03:04:06
> ORA-01873: the leading precision of the interval is too small
# (a - b) DAY TO SECOND / YEAR TO MONTH: a datetime difference as an interval of the kind named,
# with the precisions given (2 leading digits and 6 fractional unless stated)
SELECT (TIMESTAMP '2024-03-02 12:00:00' - TIMESTAMP '2024-03-01 10:30:00') DAY TO SECOND AS a, (DATE '2024-03-02' - DATE '2024-02-27') DAY(3) TO SECOND(0) AS b, (DATE '2024-01-01' - TIMESTAMP '2024-01-01 00:00:01.5') DAY TO SECOND(1) AS c FROM dual;
> A,B,C
> +01 01:30:00.000000,+004 00:00:00,-00 00:00:01.5
SELECT (TIMESTAMP '2024-01-01 00:00:00.123456789' - TIMESTAMP '2024-01-01 00:00:00') DAY TO SECOND(3) AS a, (NULL - DATE '2024-01-01') DAY TO SECOND AS b FROM dual;
> A,B
> +00 00:00:00.123,
SELECT (DATE '2024-05-20' - DATE '2023-02-10') YEAR TO MONTH AS a, (DATE '2023-02-10' - DATE '2024-05-20') YEAR(1) TO MONTH AS b, (DATE '2024-01-31' - DATE '2024-01-01') YEAR TO MONTH AS c, (TIMESTAMP '2030-06-15 00:00:00' - DATE '2024-06-15') YEAR(3) TO MONTH AS d FROM dual;
> A,B,C,D
> +01-03,-1-03,+00-01,+006-00
# An interval in the parentheses is refitted; DAY or YEAR alone is still an alias
SELECT (INTERVAL '1' DAY + INTERVAL '90' MINUTE) DAY TO SECOND(0) AS a, (DATE '2024-03-02' - DATE '2024-03-01') day FROM dual;
> A,DAY
> +01 01:30:00,1
# The leading field too long for its precision, and expressions that give no interval of the kind
SELECT (DATE '2024-12-31' - DATE '2024-01-01') DAY TO SECOND FROM dual;
> ORA-01873: the leading precision of the interval is too small
SELECT (DATE '2150-01-01' - DATE '2000-01-01') YEAR TO MONTH FROM dual;
> ORA-01873: the leading precision of the interval is too small
SELECT (5 - 3) DAY TO SECOND FROM dual;
> ORA-30083: syntax error was found in interval value expression
SELECT (INTERVAL '1' YEAR) DAY TO SECOND FROM dual;
> ORA-30081: invalid data type for datetime/interval arithmetic
SELECT (DATE '2024-03-02' - DATE '2024-03-01') DAY TO MONTH FROM dual;
> ORA-30089: missing or invalid <datetime field>
SELECT (DATE '2024-03-02' - DATE '2024-03-01') DAY(10) TO SECOND FROM dual;
> ORA-30088: datetime/interval precision is out of range
# Stored, filtered and in PL/SQL
CREATE TABLE iv_span (id NUMBER, s TIMESTAMP, e TIMESTAMP);
INSERT INTO iv_span VALUES (1, TIMESTAMP '2024-01-01 08:00:00', TIMESTAMP '2024-01-01 17:30:00');
> 1 rows
INSERT INTO iv_span VALUES (2, TIMESTAMP '2024-01-01 08:00:00', TIMESTAMP '2024-01-03 09:00:00');
> 1 rows
SELECT id, (e - s) DAY TO SECOND(0) AS took FROM iv_span WHERE (e - s) DAY TO SECOND > INTERVAL '1' DAY ORDER BY id;
> ID,TOOK
> 2,+02 01:00:00
# A table made from the query keeps the precisions (nine digits each for plain arithmetic)
CREATE TABLE iv_took AS SELECT id, (e - s) DAY(3) TO SECOND(0) AS took, e - s AS raw, NUMTOYMINTERVAL(id, 'YEAR') AS ym FROM iv_span;
SELECT column_name, data_type FROM user_tab_columns WHERE table_name = 'IV_TOOK' AND column_name <> 'ID' ORDER BY column_id;
> COLUMN_NAME,DATA_TYPE
> TOOK,INTERVAL DAY(3) TO SECOND(0)
> RAW,INTERVAL DAY(9) TO SECOND(9)
> YM,INTERVAL YEAR(9) TO MONTH
SELECT took, ym FROM iv_took WHERE id = 2;
> TOOK,YM
> +002 01:00:00,+000000002-00
DECLARE
  a DATE := DATE '2024-03-01';
  b DATE := DATE '2024-04-15';
BEGIN
  dbms_output.put_line((b - a) DAY TO SECOND);
  dbms_output.put_line((b - a) YEAR TO MONTH);
END;
/
> +45 00:00:00.000000
> +00-01
