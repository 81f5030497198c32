# Character functions. Oracle returns NULL wherever the result would be ''.

# SUBSTR: position 0 counts as 1, negative positions count from the end
SELECT SUBSTR('abcdef', 2, 3) AS a, SUBSTR('abcdef', -2) AS b, SUBSTR('abcdef', 0, 2) AS c,
       SUBSTR('abcdef', 4) AS d FROM dual;
> A,B,C,D
> bcd,ef,ab,def
SELECT SUBSTR('abc', 5) AS a, SUBSTR('abc', 2, 0) AS b, SUBSTR('abc', 2, -1) AS c, SUBSTR(NULL, 1) AS d FROM dual;
> A,B,C,D
> ,,,

# INSTR with 2, 3 and 4 arguments; a negative start searches backwards
SELECT INSTR('hello world', 'o') AS a, INSTR('hello world', 'o', 6) AS b, INSTR('hello world', 'o', 1, 2) AS c,
       INSTR('hello world', 'o', -1) AS d, INSTR('hello', 'z') AS e, INSTR('hello', '') AS f FROM dual;
> A,B,C,D,E,F
> 5,8,8,8,0,
SELECT INSTR('abcabcabc', 'bc', -1, 2) AS a, INSTR('abcabc', 'abc', 2) AS b, INSTR('aaa', 'a', 1, 4) AS c FROM dual;
> A,B,C
> 5,4,0

# LENGTH counts characters
SELECT LENGTH('abc') AS a, LENGTH('') AS b, LENGTH(' ') AS c, LENGTH('příliš') AS d FROM dual;
> A,B,C,D
> 3,,1,6

# Case
SELECT UPPER('mIxEd 1') AS u, LOWER('MiXeD 1') AS l, INITCAP('hello wORLD-foo bar_baz') AS i FROM dual;
> U,L,I
> MIXED 1,mixed 1,Hello World-Foo Bar_Baz

# Trimming: blanks by default, or the characters of a set; a fully trimmed string is NULL
SELECT '[' || LTRIM('  ab  ') || ']' AS l, '[' || RTRIM('  ab  ') || ']' AS r, '[' || TRIM('  ab  ') || ']' AS t FROM dual;
> L,R,T
> [ab  ],[  ab],[ab]
SELECT LTRIM('xxabx', 'x') AS l, RTRIM('xxabx', 'x') AS r, LTRIM('abcba', 'ab') AS l2, TRIM('   ') AS t FROM dual;
> L,R,L2,T
> abx,xxab,cba,
SELECT TRIM(LEADING 'x' FROM 'xxaxx') AS l, TRIM(TRAILING 'x' FROM 'xxaxx') AS t, TRIM(BOTH 'x' FROM 'xxaxx') AS b,
       TRIM('x' FROM 'xxaxx') AS d FROM dual;
> L,T,B,D
> axx,xxa,a,a

# Padding cuts to the length as well
SELECT '[' || LPAD('ab', 5) || ']' AS a, LPAD('ab', 5, 'xy') AS b, LPAD('abcdef', 3) AS c, RPAD('ab', 5, '*') AS d,
       RPAD('abcdef', 2) AS e, LPAD('ab', 0) AS f FROM dual;
> A,B,C,D,E,F
> [   ab],xyxab,abc,ab***,ab,

# REPLACE without a replacement removes; TRANSLATE drops characters without a counterpart
SELECT REPLACE('banana', 'an', 'AN') AS a, REPLACE('banana', 'a') AS b, REPLACE('abc', '', 'x') AS c,
       REPLACE('aaa', 'a') AS d FROM dual;
> A,B,C,D
> bANANa,bnn,abc,
SELECT TRANSLATE('abcabc', 'ab', 'x') AS a, TRANSLATE('123-456', '0123456789-', '0123456789') AS b FROM dual;
> A,B
> xcxc,123456

# CHR and ASCII
SELECT CHR(65) AS c, ASCII('a') AS a, ASCII('abc') AS b, ASCII('') AS n FROM dual;
> C,A,B,N
> A,97,97,
SELECT 'a' || CHR(10) || 'b' AS two_lines, 'x,y' AS comma, 'say "hi"' AS quoted FROM dual;
> TWO_LINES,COMMA,QUOTED
> "a
> b","x,y","say ""hi"""

# || concatenates numbers and dates through their text forms
SELECT 'n=' || 0.5 || ',' || 10 AS r FROM dual;
> R
> "n=.5,10"

# Alternative quoting q'<d>...<d>': brackets close with their partner, any other character with itself;
# quotes inside are plain characters; nq'...' too
SELECT q'[it's]' AS a, Q'{a}b}' AS b, q'(x(y))' AS c, q'<don't>' AS d, q'!a'b!' AS e, q'#'#' AS f,
       nq'[n]' AS g, q'[]' || 'x' AS h, q'[:x -- /*]' AS i FROM dual;
> A,B,C,D,E,F,G,H,I
> it's,a}b,x(y),don't,a'b,',n,x,:x -- /*
DECLARE s VARCHAR2(20) := q'[it's ok]'; BEGIN DBMS_OUTPUT.PUT_LINE(s || q'~;~'); END;
/
> it's ok;
BEGIN EXECUTE IMMEDIATE 'SELECT q''[never closed'' FROM dual'; END;
/
> ORA-01756: quoted string not properly terminated
