# TIMESTAMP and INTERVAL columns as the dictionary describes them; the clock's names and TIMESTAMP
# literals.
CREATE TABLE dt_types (a TIMESTAMP, b TIMESTAMP(3), c TIMESTAMP WITH TIME ZONE, d TIMESTAMP(9) WITH LOCAL TIME ZONE,
  e INTERVAL YEAR TO MONTH, f INTERVAL DAY(3) TO SECOND(0), g INTERVAL DAY TO SECOND, h INTERVAL YEAR(4) TO MONTH);
SELECT column_name, data_type, data_length, data_precision, data_scale FROM user_tab_columns
 WHERE table_name = 'DT_TYPES' ORDER BY column_id;
> COLUMN_NAME,DATA_TYPE,DATA_LENGTH,DATA_PRECISION,DATA_SCALE
> A,TIMESTAMP(6),11,,6
> B,TIMESTAMP(3),11,,3
> C,TIMESTAMP(6) WITH TIME ZONE,13,,6
> D,TIMESTAMP(9) WITH LOCAL TIME ZONE,11,,9
> E,INTERVAL YEAR(2) TO MONTH,5,2,0
> F,INTERVAL DAY(3) TO SECOND(0),11,3,0
> G,INTERVAL DAY(2) TO SECOND(6),11,2,6
> H,INTERVAL YEAR(4) TO MONTH,5,4,0
CREATE TABLE dt_bad (a TIMESTAMP(10));
> ORA-30088: datetime/interval precision is out of range
CREATE TABLE dt_bad (a INTERVAL DAY(12) TO SECOND);
> ORA-30088: datetime/interval precision is out of range
# A timestamp column defaults to the clock and compares with dates
CREATE TABLE dt_log (id NUMBER, at TIMESTAMP DEFAULT SYSTIMESTAMP, local_at TIMESTAMP(0) DEFAULT LOCALTIMESTAMP);
INSERT INTO dt_log (id) VALUES (1);
> 1 rows
INSERT INTO dt_log (id, at) VALUES (2, TIMESTAMP '2020-02-29 13:14:15');
> 1 rows
INSERT INTO dt_log (id, at) VALUES (3, TIMESTAMP '2021-01-01 00:00:00.000');
> 1 rows
SELECT id FROM dt_log WHERE at >= SYSDATE - 1 AND local_at - 1 <= CURRENT_TIMESTAMP ORDER BY id;
> ID
> 1
SELECT id, TO_CHAR(at, 'YYYY-MM-DD HH24:MI:SS') AS at FROM dt_log WHERE id > 1 ORDER BY id;
> ID,AT
> 2,2020-02-29 13:14:15
> 3,2021-01-01 00:00:00
SELECT COUNT(*) AS n FROM dt_log WHERE at < TIMESTAMP '2021-01-01' AND at > DATE '2020-02-29';
> N
> 1
SELECT TO_CHAR(TRUNC(CURRENT_TIMESTAMP(3)) - TRUNC(SYSDATE)) AS d FROM dual;
> D
> 0
# A literal keeps its fraction, shown to nine digits
SELECT TIMESTAMP '2020-01-01 10:00:00.5' AS t FROM dual;
> T
> 01-JAN-20 10.00.00.500000000 AM
# Datetime literals name real dates and times
SELECT TIMESTAMP '2020-13-01 10:00:00' FROM dual;
> ORA-01843: not a valid month
SELECT DATE '2021-02-29' FROM dual;
> ORA-01847: day of month must be between 1 and last day of month
SELECT TIMESTAMP '2020-01-01 24:00:00' FROM dual;
> ORA-01850: hour must be between 0 and 23
SELECT TIMESTAMP '2020-01-01 10:60:00' FROM dual;
> ORA-01851: minutes must be between 0 and 59
SELECT TO_CHAR(DATE '2024-02-29', 'YYYY-MM-DD') AS d FROM dual;
> D
> 2024-02-29
DECLARE
  t TIMESTAMP WITH TIME ZONE := SYSTIMESTAMP;
  l TIMESTAMP(3) WITH LOCAL TIME ZONE := LOCALTIMESTAMP;
BEGIN
  IF t >= SYSDATE - 1 AND l <= SYSDATE + 1 THEN
    DBMS_OUTPUT.PUT_LINE('now');
  END IF;
END;
/
> now
