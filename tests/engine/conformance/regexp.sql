# Regular expressions: REGEXP_LIKE, REGEXP_SUBSTR, REGEXP_INSTR, REGEXP_REPLACE, REGEXP_COUNT.

CREATE TABLE rx (id NUMBER, s VARCHAR2(40));
INSERT INTO rx VALUES (1, 'abc123def456');
> 1 rows
INSERT INTO rx VALUES (2, 'John Smith');
> 1 rows
INSERT INTO rx VALUES (3, NULL);
> 1 rows
INSERT INTO rx VALUES (4, 'ABC');
> 1 rows

# REGEXP_LIKE is a condition; NULL text matches nothing, NOT included
SELECT id FROM rx WHERE REGEXP_LIKE(s, '^[A-Z][a-z]+ [A-Z]') ORDER BY id;
> ID
> 2
SELECT id FROM rx WHERE NOT REGEXP_LIKE(s, '[0-9]') ORDER BY id;
> ID
> 2
> 4
SELECT id FROM rx WHERE REGEXP_LIKE(s, 'abc', 'i') ORDER BY id;
> ID
> 1
> 4

# REGEXP_SUBSTR: position, occurrence, subexpression; no match is NULL
SELECT REGEXP_SUBSTR(s, '[0-9]+') AS a, REGEXP_SUBSTR(s, '[0-9]+', 1, 2) AS b, REGEXP_SUBSTR(s, '[a-z]+', 4) AS c,
       REGEXP_SUBSTR(s, 'x') AS d, REGEXP_SUBSTR(s, '([a-z]+)([0-9]+)', 1, 2, 'c', 1) AS e
FROM rx WHERE id = 1;
> A,B,C,D,E
> 123,456,def,,def
SELECT REGEXP_SUBSTR('2024-03-15', '(\d{4})-(\d{2})-(\d{2})', 1, 1, NULL, 2) AS m,
       REGEXP_SUBSTR('2024-03-15', '(\d{4})-(\d{2})', 1, 1, 'c', 3) AS none FROM dual;
> M,NONE
> 03,
# Matching backtracks as Perl does: the first alternative that matches wins; *? +? ?? are lazy
SELECT REGEXP_SUBSTR('abcd', 'a|ab') AS alt, REGEXP_SUBSTR('<a><b>', '<.+?>') AS lazy, REGEXP_SUBSTR('<a><b>', '<.+>') AS greedy,
       REGEXP_SUBSTR('aaa', 'a{2,}?') AS lazy2, REGEXP_SUBSTR('hello', '(.)\1') AS twice FROM dual;
> ALT,LAZY,GREEDY,LAZY2,TWICE
> a,<a>,<a><b>,aa,ll

# Match parameters: i and c (the last one counts), n lets . match a newline, m makes ^ and $ work
# per line, x ignores blanks in the pattern
SELECT CASE WHEN REGEXP_LIKE('ABC', 'abc') THEN 1 ELSE 0 END AS plain,
       CASE WHEN REGEXP_LIKE('ABC', 'abc', 'ic') THEN 1 ELSE 0 END AS ic,
       CASE WHEN REGEXP_LIKE('ABC', 'abc', 'ci') THEN 1 ELSE 0 END AS ci,
       CASE WHEN REGEXP_LIKE('a' || CHR(10) || 'b', '^a.b$') THEN 1 ELSE 0 END AS dot,
       CASE WHEN REGEXP_LIKE('a' || CHR(10) || 'b', '^a.b$', 'n') THEN 1 ELSE 0 END AS dot_n,
       REGEXP_COUNT('ab' || CHR(10) || 'ac', '^a') AS lines, REGEXP_COUNT('ab' || CHR(10) || 'ac', '^a', 1, 'm') AS lines_m,
       REGEXP_SUBSTR('abc', 'a b c', 1, 1, 'x') AS x
FROM dual;
> PLAIN,IC,CI,DOT,DOT_N,LINES,LINES_M,X
> 0,0,1,0,1,1,2,abc

# Bracket expressions: ] first and - last are members, POSIX classes, negation
SELECT REGEXP_SUBSTR('price: $42.50', '[[:digit:].]+') AS num, REGEXP_REPLACE('a]b-c', '[]-]', '_') AS br,
       REGEXP_SUBSTR('x-y', '[^[:alpha:]]') AS neg, REGEXP_COUNT('a1 b2_c3', '\w') AS words,
       REGEXP_REPLACE('a b' || CHR(9) || 'c', '\s', '') AS nospace FROM dual;
> NUM,BR,NEG,WORDS,NOSPACE
> 42.50,a_b_c,-,7,abc

# REGEXP_INSTR: the start, or with return option 1 the position after the match; 0 without a match
SELECT REGEXP_INSTR('hello world', 'o', 1, 2) AS second, REGEXP_INSTR('hello world', 'wor', 1, 1, 1) AS after,
       REGEXP_INSTR('abc', 'z') AS none, REGEXP_INSTR('ab12cd', '([a-z]+)(\d+)', 1, 1, 0, 'c', 2) AS sub,
       REGEXP_INSTR('čšž abc', 'a') AS chars FROM dual;
> SECOND,AFTER,NONE,SUB,CHARS
> 8,10,0,3,5

# REGEXP_REPLACE: every match by default, or only the n-th; from a position; back references
SELECT REGEXP_REPLACE(s, '(\w+) (\w+)', '\2, \1') AS swapped FROM rx WHERE id = 2;
> SWAPPED
> "Smith, John"
SELECT REGEXP_REPLACE('a1b22c333', '\d+', '#') AS every, REGEXP_REPLACE('a1b22c333', '\d+', '#', 1, 2) AS second,
       REGEXP_REPLACE('a1b22c333', '\d', 'X', 4) AS later, REGEXP_REPLACE('a-b-c', '-') AS removed,
       REGEXP_REPLACE('abc', 'x*', '-') AS empty FROM dual;
> EVERY,SECOND,LATER,REMOVED,EMPTY
> a#b#c#,a1b#c333,a1bXXcXXX,abc,-a-b-c-

# REGEXP_COUNT counts matches that do not overlap
SELECT REGEXP_COUNT('banana', 'an') AS an, REGEXP_COUNT('banana', 'a', 3) AS from3, REGEXP_COUNT('aaa', 'aa') AS pairs FROM dual;
> AN,FROM3,PAIRS
> 2,2,1

# NULL text or pattern gives NULL, except REGEXP_REPLACE with a NULL pattern, which leaves the text
SELECT REGEXP_SUBSTR(NULL, 'a') AS s, REGEXP_REPLACE('abc', NULL) AS r, REGEXP_COUNT('abc', NULL) AS c,
       REGEXP_INSTR(NULL, 'a') AS i FROM dual;
> S,R,C,I
> ,abc,,

# Malformed patterns and arguments
SELECT COUNT(*) FROM rx WHERE REGEXP_LIKE(s, '(a');
> ORA-12725: unmatched parentheses in regular expression
SELECT REGEXP_SUBSTR('a', 'a)') FROM dual;
> ORA-12725: unmatched parentheses in regular expression
SELECT REGEXP_SUBSTR('a', '[a') FROM dual;
> ORA-12726: unmatched bracket in regular expression
SELECT REGEXP_SUBSTR('a', '(a)\2') FROM dual;
> ORA-12727: invalid back reference in regular expression
SELECT REGEXP_SUBSTR('a', '[z-a]') FROM dual;
> ORA-12728: invalid range in regular expression
SELECT REGEXP_SUBSTR('a', '[[:letter:]]') FROM dual;
> ORA-12729: invalid character class in regular expression
SELECT REGEXP_SUBSTR('a', 'a{3,1}') FROM dual;
> ORA-12732: invalid interval value in regular expression
SELECT REGEXP_SUBSTR('a', 'a', 1, 1, 'q') FROM dual;
> ORA-01760: illegal argument for function
SELECT REGEXP_SUBSTR('a', 'a', 0) FROM dual;
> ORA-01428: argument '0' is out of range
SELECT REGEXP_INSTR('a', 'a', 1, 0) FROM dual;
> ORA-01428: argument '0' is out of range

# Long text: a repeated group over 4000 characters, a lazy scan to the end
SELECT REGEXP_COUNT(RPAD('ab', 4000, 'ab'), '(ab)+') AS groups, LENGTH(REGEXP_SUBSTR(RPAD('x', 3999, 'x') || 'y', 'x+?y')) AS lazy
FROM dual;
> GROUPS,LAZY
> 1,4000
