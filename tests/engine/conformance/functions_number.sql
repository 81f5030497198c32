# Numeric functions, TO_NUMBER and number format models.

# ROUND and TRUNC of numbers, with negative digits; ROUND goes half away from zero, on the decimal value
SELECT ROUND(2.5) AS a, ROUND(-2.5) AS b, ROUND(1.2345, 2) AS c, ROUND(1.235, 2) AS d, ROUND(1234.5, -2) AS e,
       ROUND(1250, -2) AS f FROM dual;
> A,B,C,D,E,F
> 3,-3,1.23,1.24,1200,1300
SELECT TRUNC(1.999, 2) AS a, TRUNC(-1.5) AS b, TRUNC(1299.9, -2) AS c, TRUNC(5) AS d, ROUND(NULL) AS e FROM dual;
> A,B,C,D,E
> 1.99,-1,1200,5,

# MOD takes the sign of the dividend and returns the dividend for a zero divisor
SELECT MOD(10, 3) AS a, MOD(-10, 3) AS b, MOD(10, -3) AS c, MOD(10, 0) AS d, MOD(7.5, 2) AS e FROM dual;
> A,B,C,D,E
> 1,-1,1,10,1.5

SELECT FLOOR(-1.5) AS a, FLOOR(1.5) AS b, CEIL(-1.5) AS c, CEIL(1.2) AS d, ABS(-3) AS e, ABS(2.5) AS f FROM dual;
> A,B,C,D,E,F
> -2,1,-1,2,3,2.5
SELECT POWER(2, 10) AS a, POWER(2, -1) AS b, POWER(-2, 3) AS c, SIGN(-5) AS d, SIGN(0) AS e, SIGN(0.1) AS f FROM dual;
> A,B,C,D,E,F
> 1024,.5,-8,-1,0,1

# TO_NUMBER, with and without a format; text in arithmetic converts implicitly
SELECT TO_NUMBER('12.50') AS a, TO_NUMBER('-.5') AS b, TO_NUMBER('1,234.5', '9,999.9') AS c, '5' + 3 AS d FROM dual;
> A,B,C,D
> 12.5,-.5,1234.5,8
SELECT TO_NUMBER('abc') AS a FROM dual;
> ORA-01722: invalid number
SELECT 'x' + 1 AS a FROM dual;
> ORA-01722: invalid number

# TO_CHAR of numbers: without a format as Oracle prints them
SELECT TO_CHAR(0.5) AS a, TO_CHAR(-0.25) AS b, TO_CHAR(100) AS c, TO_CHAR(1.10) AS d FROM dual;
> A,B,C,D
> .5,-.25,100,1.1

# Number format models: a leading blank holds the sign; FM drops the padding; # when too wide
SELECT '[' || TO_CHAR(1234.5, '9999.99') || ']' AS a, '[' || TO_CHAR(1234.5, 'FM9999.99') || ']' AS b,
       '[' || TO_CHAR(0.5, '0.00') || ']' AS c, '[' || TO_CHAR(-1234.5, '9,999.00') || ']' AS d FROM dual;
> A,B,C,D
> [ 1234.50],[1234.5],[ 0.50],"[-1,234.50]"
SELECT '[' || TO_CHAR(5, '000') || ']' AS a, '[' || TO_CHAR(12345, '999') || ']' AS b,
       '[' || TO_CHAR(0.5, '9.99') || ']' AS c, '[' || TO_CHAR(1234.567, 'FM9G999D99') || ']' AS d FROM dual;
> A,B,C,D
> [ 005],[####],[  .50],"[1,234.57]"
SELECT '[' || TO_CHAR(-5, 'FM990MI') || ']' AS a, '[' || TO_CHAR(5, 'S9') || ']' AS b, '[' || TO_CHAR(12, '$99') || ']' AS c FROM dual;
> A,B,C
> [5-],[+5],[ $12]

# ROUND and TRUNC of integers: unchanged at any number of places, rounded at negative places
SELECT ROUND(123456789012345678, 2) AS a, TRUNC(-17, 1) AS b, ROUND(15, -1) AS c, TRUNC(-15, -1) AS d,
       ROUND(-2.5) AS e, TRUNC(2.75, 1) AS f FROM dual;
> A,B,C,D,E,F
> 123456789012345678,-17,20,-10,-3,2.7
SELECT ROUND(12.25, 2) AS a, ROUND(12.255, 2) AS b, TRUNC(2.5) AS c, ROUND(0.1 + 0.2, 1) AS d,
       TRUNC(-7.125, 2) AS e, ROUND(1.005, 2) AS f, ROUND(7.5, 3) AS g FROM dual;
> A,B,C,D,E,F,G
> 12.25,12.26,2,.3,-7.12,1.01,7.5

# Hexadecimal format elements: 0 before X prints leading zeros, also under FM; without 0 and FM one leading
# blank and blank padding; x prints lower case; a value too wide or negative fills the field with #
SELECT TO_CHAR(255, 'fm0XXX') AS a, TO_CHAR(10, 'fm0X') AS b, TO_CHAR(255, '0XXX') AS c, TO_CHAR(255, 'FMXXXX') AS d,
       '[' || TO_CHAR(255, 'XXXX') || ']' AS e, TO_CHAR(255, 'fm0xxx') AS f, TO_CHAR(0, 'fm00X') AS g FROM dual;
> A,B,C,D,E,F,G
> 00FF,0A,00FF,FF,[   FF],00ff,000
SELECT TO_CHAR(4096, 'fm0XX') AS a, TO_CHAR(4096, 'XX') AS b, TO_CHAR(-1, 'XX') AS c, TO_CHAR(10.5, 'fm0X') AS d FROM dual;
> A,B,C,D
> ####,###,###,0B
SELECT TO_CHAR(255, '9XX') AS a FROM dual;
> ORA-01481: invalid number format model

# BITAND of integers, negative ones in two's complement; NULL in, NULL out
SELECT BITAND(12, 10) AS a, BITAND(6, 3) AS b, BITAND(-1, 5) AS c, BITAND(0, 7) AS d, BITAND(NULL, 1) AS e,
       BITAND(255, 4096 + 15) AS f FROM dual;
> A,B,C,D,E,F
> 8,2,5,0,,15

# Trigonometric functions in radians; ASIN and ACOS outside [-1, 1] are out of range
SELECT SIN(0) AS a, COS(0) AS b, TAN(0) AS c, ROUND(ACOS(-1), 10) AS d, ROUND(ASIN(1) * 2, 10) AS e,
       ROUND(ATAN(1) * 4, 10) AS f, ROUND(ATAN2(1, 1) * 4, 10) AS g FROM dual;
> A,B,C,D,E,F,G
> 0,1,0,3.1415926536,3.1415926536,3.1415926536,3.1415926536
SELECT SINH(0) AS a, COSH(0) AS b, TANH(0) AS c, ROUND(SIN(ACOS(-1) / 2), 10) AS d, SIN(NULL) AS e FROM dual;
> A,B,C,D,E
> 0,1,0,1,
SELECT ASIN(2) AS a FROM dual;
> ORA-01428: argument '2' is out of range
