# DATE arithmetic, NLS_DATE_FORMAT and the date functions.

# The default NLS_DATE_FORMAT is DD-MON-RR
SELECT TO_DATE('2024-01-05', 'YYYY-MM-DD') AS d FROM dual;
> D
> 05-JAN-24
# RR puts 00-49 in this century and 50-99 in the last
SELECT TO_CHAR(TO_DATE('05-JAN-49', 'DD-MON-RR'), 'YYYY') AS a, TO_CHAR(TO_DATE('05-JAN-50', 'DD-MON-RR'), 'YYYY') AS b FROM dual;
> A,B
> 2049,1950

# ALTER SESSION SET NLS_DATE_FORMAT changes how dates print and how text converts to dates
ALTER SESSION SET NLS_DATE_FORMAT = 'YYYY-MM-DD HH24:MI:SS';
SELECT TO_DATE('2024-01-31 13:45:10', 'YYYY-MM-DD HH24:MI:SS') AS d, DATE '2024-02-29' AS l FROM dual;
> D,L
> 2024-01-31 13:45:10,2024-02-29 00:00:00
CREATE TABLE dt (id NUMBER, d DATE);
INSERT INTO dt VALUES (1, '2024-03-01 08:30:00');
> 1 rows
SELECT id FROM dt WHERE d = '2024-03-01 08:30:00';
> ID
> 1
SELECT TO_CHAR(d) AS t FROM dt;
> T
> 2024-03-01 08:30:00
SELECT 'd=' || d AS t FROM dt;
> T
> d=2024-03-01 08:30:00
# the value may stand in double quotes
ALTER SESSION SET NLS_DATE_FORMAT = "DD.MM.YYYY";
SELECT d FROM dt;
> D
> 01.03.2024
INSERT INTO dt VALUES (2, 'March 1st');
> ORA-01858: a non-numeric character was found where a numeric was expected
# an unknown format is refused and the session keeps the one it had
ALTER SESSION SET NLS_DATE_FORMAT = "NOT A FORMAT";
> ORA-01821: date format not recognized
SELECT d FROM dt;
> D
> 01.03.2024
ALTER SESSION SET NLS_DATE_FORMAT = 'YYYY-MM-DD HH24:MI:SS';

# DATE + number adds days and fractions of a day; DATE - DATE is a number of days
SELECT TO_DATE('2024-01-31', 'YYYY-MM-DD') + 1 AS a, TO_DATE('2024-01-31', 'YYYY-MM-DD') + 0.5 AS b,
       TO_DATE('2024-01-31', 'YYYY-MM-DD') + 1/24 AS c, TO_DATE('2024-03-01', 'YYYY-MM-DD') - 1 AS d FROM dual;
> A,B,C,D
> 2024-02-01 00:00:00,2024-01-31 12:00:00,2024-01-31 01:00:00,2024-02-29 00:00:00
SELECT TO_DATE('2024-03-01', 'YYYY-MM-DD') - TO_DATE('2024-02-01', 'YYYY-MM-DD') AS days,
       TO_DATE('2024-01-01 18:00', 'YYYY-MM-DD HH24:MI') - TO_DATE('2024-01-01 06:00', 'YYYY-MM-DD HH24:MI') AS half,
       (TO_DATE('2024-01-02', 'YYYY-MM-DD') - TO_DATE('2024-01-01', 'YYYY-MM-DD')) * 24 AS hours FROM dual;
> DAYS,HALF,HOURS
> 29,.5,24
SELECT SYSDATE + SYSDATE AS x FROM dual;
> ORA-00975: date + date not allowed

# SYSDATE is a DATE of today
SELECT CASE WHEN SYSDATE - TRUNC(SYSDATE) >= 0 AND SYSDATE - TRUNC(SYSDATE) < 1 THEN 'today' END AS r FROM dual;
> R
> today

# ADD_MONTHS keeps the day, or gives the last day when the month is shorter or the date is a last day
SELECT ADD_MONTHS(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 1) AS a, ADD_MONTHS(TO_DATE('2024-02-29', 'YYYY-MM-DD'), 12) AS b,
       ADD_MONTHS(TO_DATE('2024-02-29', 'YYYY-MM-DD'), 1) AS c, ADD_MONTHS(TO_DATE('2024-03-15 10:00', 'YYYY-MM-DD HH24:MI'), -3) AS d FROM dual;
> A,B,C,D
> 2024-02-29 00:00:00,2025-02-28 00:00:00,2024-03-31 00:00:00,2023-12-15 10:00:00

# MONTHS_BETWEEN: whole months for the same day or two last days, else a fraction of a 31-day month
SELECT MONTHS_BETWEEN(TO_DATE('2024-03-15', 'YYYY-MM-DD'), TO_DATE('2024-01-15', 'YYYY-MM-DD')) AS a,
       MONTHS_BETWEEN(TO_DATE('2024-01-01', 'YYYY-MM-DD'), TO_DATE('2024-03-01', 'YYYY-MM-DD')) AS b,
       MONTHS_BETWEEN(TO_DATE('2024-03-31', 'YYYY-MM-DD'), TO_DATE('2024-02-29', 'YYYY-MM-DD')) AS c,
       ROUND(MONTHS_BETWEEN(TO_DATE('2024-02-16', 'YYYY-MM-DD'), TO_DATE('2024-01-01', 'YYYY-MM-DD')), 4) AS d FROM dual;
> A,B,C,D
> 2,-2,1,1.4839

# LAST_DAY keeps the time of day
SELECT LAST_DAY(TO_DATE('2024-02-10 13:45:00', 'YYYY-MM-DD HH24:MI:SS')) AS a, LAST_DAY(TO_DATE('2023-12-01', 'YYYY-MM-DD')) AS b FROM dual;
> A,B
> 2024-02-29 13:45:00,2023-12-31 00:00:00

# TRUNC of dates: to the day by default, or to a format's unit
SELECT TRUNC(TO_DATE('2024-01-31 13:45:10', 'YYYY-MM-DD HH24:MI:SS')) AS dd,
       TRUNC(TO_DATE('2024-01-31 13:45:10', 'YYYY-MM-DD HH24:MI:SS'), 'MM') AS mm,
       TRUNC(TO_DATE('2024-05-31 13:45:10', 'YYYY-MM-DD HH24:MI:SS'), 'YYYY') AS yyyy FROM dual;
> DD,MM,YYYY
> 2024-01-31 00:00:00,2024-01-01 00:00:00,2024-01-01 00:00:00
SELECT TRUNC(TO_DATE('2024-01-31 13:45:10', 'YYYY-MM-DD HH24:MI:SS'), 'HH24') AS hh,
       TRUNC(TO_DATE('2024-01-31 13:45:10', 'YYYY-MM-DD HH24:MI:SS'), 'MI') AS mi,
       TRUNC(TO_DATE('2024-01-31 13:45:10', 'YYYY-MM-DD HH24:MI:SS'), 'IW') AS iw,
       TRUNC(TO_DATE('2024-05-31', 'YYYY-MM-DD'), 'Q') AS q FROM dual;
> HH,MI,IW,Q
> 2024-01-31 13:00:00,2024-01-31 13:45:00,2024-01-29 00:00:00,2024-04-01 00:00:00

# ROUND of dates: noon rounds up to the next day, the 16th to the next month, July to the next year
SELECT ROUND(TO_DATE('2024-01-31 12:00:00', 'YYYY-MM-DD HH24:MI:SS')) AS a,
       ROUND(TO_DATE('2024-01-31 11:59:59', 'YYYY-MM-DD HH24:MI:SS')) AS b,
       ROUND(TO_DATE('2024-01-16', 'YYYY-MM-DD'), 'MM') AS c, ROUND(TO_DATE('2024-01-15 23:00', 'YYYY-MM-DD HH24:MI'), 'MM') AS d FROM dual;
> A,B,C,D
> 2024-02-01 00:00:00,2024-01-31 00:00:00,2024-02-01 00:00:00,2024-01-01 00:00:00
SELECT ROUND(TO_DATE('2024-07-01', 'YYYY-MM-DD'), 'YYYY') AS a, ROUND(TO_DATE('2024-06-30', 'YYYY-MM-DD'), 'YYYY') AS b FROM dual;
> A,B
> 2025-01-01 00:00:00,2024-01-01 00:00:00

# TO_CHAR date format models
SELECT TO_CHAR(TO_DATE('2024-01-31 13:05:09', 'YYYY-MM-DD HH24:MI:SS'), 'DD.MM.YYYY HH24:MI:SS') AS a,
       TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'DD-MON-YYYY') AS b,
       TO_CHAR(TO_DATE('2024-01-31 13:05:09', 'YYYY-MM-DD HH24:MI:SS'), 'HH:MI AM') AS c,
       TO_CHAR(TO_DATE('2024-01-31 00:05:09', 'YYYY-MM-DD HH24:MI:SS'), 'HH12 PM') AS d FROM dual;
> A,B,C,D
> 31.01.2024 13:05:09,31-JAN-2024,01:05 PM,12 AM
SELECT '[' || TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'Month') || ']' AS a,
       TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'FMMonth DD, YYYY') AS b,
       TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'DY Dy Day') AS c, TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'MON mon') AS d FROM dual;
> A,B,C,D
> [January  ],"January 31, 2024",WED Wed Wednesday,JAN jan
SELECT TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'DDD') AS ddd, TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'IW') AS iw,
       TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'Q') AS q, TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'YY') AS yy,
       TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'J') AS j, TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), 'D') AS d FROM dual;
> DDD,IW,Q,YY,J,D
> 031,05,1,24,2460341,4
SELECT TO_CHAR(TO_DATE('2024-01-31', 'YYYY-MM-DD'), '"Day "DD" of "FMMonth') AS r FROM dual;
> R
> Day 31 of January

# TO_DATE is lenient about punctuation but checks every value
SELECT TO_DATE('31/01/2024', 'DD-MM-YYYY') AS a, TO_DATE('2024-1-5', 'YYYY-MM-DD') AS b FROM dual;
> A,B
> 2024-01-31 00:00:00,2024-01-05 00:00:00
SELECT TO_DATE('2024-13-01', 'YYYY-MM-DD') AS d FROM dual;
> ORA-01843: not a valid month
SELECT TO_DATE('2024-02-30', 'YYYY-MM-DD') AS d FROM dual;
> ORA-01839: date not valid for month specified
SELECT TO_DATE('2024-01-32', 'YYYY-MM-DD') AS d FROM dual;
> ORA-01847: day of month must be between 1 and last day of month
SELECT TO_DATE('24:00', 'HH24:MI') AS d FROM dual;
> ORA-01850: hour must be between 0 and 23
SELECT TO_DATE('2024-01-01 12:00', 'YYYY-MM-DD') AS d FROM dual;
> ORA-01830: date format picture ends before converting entire input string
SELECT TO_DATE('ab', 'DD') AS d FROM dual;
> ORA-01858: a non-numeric character was found where a numeric was expected
ALTER SESSION SET NLS_DATE_FORMAT = 'DD-MON-RR';
SELECT TO_DATE('2024-01-31') AS d FROM dual;
> ORA-01861: literal does not match format string
