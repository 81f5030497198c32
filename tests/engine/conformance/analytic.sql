# Analytic functions: window frames, ranking without an order, LISTAGG, grouping sets.

CREATE TABLE w (id NUMBER, g VARCHAR2(1), v NUMBER, d DATE);
INSERT INTO w VALUES (1, 'a', 10, DATE '2024-01-01');
> 1 rows
INSERT INTO w VALUES (2, 'a', 20, DATE '2024-01-02');
> 1 rows
INSERT INTO w VALUES (3, 'a', 20, DATE '2024-01-04');
> 1 rows
INSERT INTO w VALUES (4, 'b', 5, DATE '2024-01-01');
> 1 rows
INSERT INTO w VALUES (5, 'b', NULL, DATE '2024-01-03');
> 1 rows
INSERT INTO w VALUES (6, 'b', 30, DATE '2024-01-10');
> 1 rows

# ROWS frames: physical offsets around the current row; the short form ends at the current row;
# NULLs are skipped by SUM and COUNT, and an empty frame sums to NULL and counts 0
SELECT id, SUM(v) OVER (ORDER BY id ROWS BETWEEN 1 PRECEDING AND 1 FOLLOWING) AS s1,
       SUM(v) OVER (ORDER BY id ROWS UNBOUNDED PRECEDING) AS s2,
       SUM(v) OVER (ORDER BY id ROWS BETWEEN CURRENT ROW AND UNBOUNDED FOLLOWING) AS s3,
       COUNT(v) OVER (ORDER BY id ROWS BETWEEN 2 PRECEDING AND 1 PRECEDING) AS c4,
       SUM(v) OVER (ORDER BY id ROWS 1 PRECEDING) AS s5,
       SUM(v) OVER (ORDER BY id ROWS BETWEEN 1 FOLLOWING AND 2 FOLLOWING) AS s6
FROM w ORDER BY id;
> ID,S1,S2,S3,C4,S5,S6
> 1,30,10,85,0,10,40
> 2,50,30,75,1,30,25
> 3,45,50,55,2,40,5
> 4,25,55,35,2,25,30
> 5,35,55,30,2,5,30
> 6,30,85,30,1,30,

# The default frame: the whole partition without ORDER BY; with it RANGE UNBOUNDED PRECEDING to the
# current row, peers included (so LAST_VALUE gives the current row's last peer, not the partition's last)
SELECT id, v, SUM(v) OVER (ORDER BY v) AS dflt, SUM(v) OVER (ORDER BY v, id ROWS BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW) AS rws,
       SUM(v) OVER () AS tot, SUM(v) OVER (PARTITION BY g) AS grp, LAST_VALUE(id) OVER (ORDER BY v, id) AS lv,
       LAST_VALUE(id) OVER (ORDER BY v, id ROWS BETWEEN CURRENT ROW AND UNBOUNDED FOLLOWING) AS lv_all,
       FIRST_VALUE(id) OVER (PARTITION BY g ORDER BY id) AS fv
FROM w WHERE v IS NOT NULL AND id <> 3 ORDER BY id;
> ID,V,DFLT,RWS,TOT,GRP,LV,LV_ALL,FV
> 1,10,15,15,65,30,1,6,1
> 2,20,35,35,65,30,2,6,1
> 4,5,5,5,65,35,4,6,4
> 6,30,65,65,65,35,6,6,4
SELECT id, SUM(v) OVER (ORDER BY v) AS peers FROM w WHERE v IS NOT NULL ORDER BY id;
> ID,PEERS
> 1,15
> 2,55
> 3,55
> 4,5
> 6,85

# RANGE frames with offsets: a range of values of the single ORDER BY key; descending, PRECEDING
# means greater values; a NULL key's frame holds the NULL keys
SELECT id, v, COUNT(*) OVER (ORDER BY v RANGE BETWEEN 10 PRECEDING AND CURRENT ROW) AS c,
       SUM(v) OVER (ORDER BY v RANGE BETWEEN 5 PRECEDING AND 5 FOLLOWING) AS s,
       COUNT(*) OVER (ORDER BY v DESC RANGE 10 PRECEDING) AS cd,
       COUNT(v) OVER (ORDER BY v RANGE BETWEEN 0.5 FOLLOWING AND UNBOUNDED FOLLOWING) AS above
FROM w ORDER BY id;
> ID,V,C,S,CD,ABOVE
> 1,10,2,15,3,3
> 2,20,3,40,3,1
> 3,20,3,40,3,1
> 4,5,1,15,2,4
> 5,,1,,1,0
> 6,30,3,30,1,0
# Over a DATE key the offset counts days
SELECT id, COUNT(*) OVER (PARTITION BY g ORDER BY d RANGE BETWEEN 2 PRECEDING AND CURRENT ROW) AS c,
       MIN(id) OVER (ORDER BY d DESC RANGE BETWEEN CURRENT ROW AND 1 FOLLOWING) AS m
FROM w ORDER BY id;
> ID,C,M
> 1,1,1
> 2,2,1
> 3,2,3
> 4,1,1
> 5,2,2
> 6,1,6

# Frames Oracle refuses: RANGE with an offset over several keys or a text key, an end before the start,
# UNBOUNDED the wrong way round, a negative offset, a frame without ORDER BY or on a ranking function
SELECT SUM(v) OVER (ORDER BY v, id RANGE BETWEEN 1 PRECEDING AND CURRENT ROW) FROM w;
> ORA-30486: invalid window aggregation group in the window specification
SELECT SUM(v) OVER (ORDER BY v, id RANGE BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW) AS s FROM w WHERE id = 1;
> S
> 10
SELECT SUM(v) OVER (ORDER BY g RANGE 1 PRECEDING) FROM w;
> ORA-30486: invalid window aggregation group in the window specification
SELECT SUM(v) OVER (ORDER BY id ROWS BETWEEN CURRENT ROW AND 1 PRECEDING) FROM w;
> ORA-30486: invalid window aggregation group in the window specification
SELECT SUM(v) OVER (ORDER BY id ROWS BETWEEN 1 FOLLOWING AND CURRENT ROW) FROM w;
> ORA-30486: invalid window aggregation group in the window specification
SELECT SUM(v) OVER (ORDER BY id ROWS BETWEEN UNBOUNDED FOLLOWING AND CURRENT ROW) FROM w;
> ORA-30486: invalid window aggregation group in the window specification
SELECT SUM(v) OVER (ORDER BY id ROWS BETWEEN CURRENT ROW AND UNBOUNDED PRECEDING) FROM w;
> ORA-30486: invalid window aggregation group in the window specification
SELECT SUM(v) OVER (ORDER BY id ROWS BETWEEN -1 PRECEDING AND CURRENT ROW) FROM w;
> ORA-01428: argument '-1' is out of range
SELECT SUM(v) OVER (ROWS BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW) FROM w;
> ORA-00907: missing right parenthesis
SELECT ROW_NUMBER() OVER (ORDER BY id ROWS UNBOUNDED PRECEDING) FROM w;
> ORA-00907: missing right parenthesis

# Ranking and offset functions need an ORDER BY in their window
SELECT ROW_NUMBER() OVER (PARTITION BY g) FROM w;
> ORA-30485: missing ORDER BY expression in the window specification
SELECT RANK() OVER () FROM w;
> ORA-30485: missing ORDER BY expression in the window specification
SELECT DENSE_RANK() OVER (PARTITION BY g) FROM w;
> ORA-30485: missing ORDER BY expression in the window specification
SELECT LAG(v) OVER (PARTITION BY g) FROM w;
> ORA-30485: missing ORDER BY expression in the window specification
SELECT LEAD(v, 1) OVER () FROM w;
> ORA-30485: missing ORDER BY expression in the window specification
SELECT NTILE(2) OVER () FROM w;
> ORA-30485: missing ORDER BY expression in the window specification

# LAG and LEAD with an offset and a default; RANK and DENSE_RANK over ties
SELECT id, LAG(v, 2, -1) OVER (ORDER BY id) AS l2, LEAD(v, 1, 0) OVER (PARTITION BY g ORDER BY id) AS n1,
       RANK() OVER (ORDER BY v NULLS FIRST) AS r, DENSE_RANK() OVER (ORDER BY v NULLS FIRST) AS dr
FROM w ORDER BY id;
> ID,L2,N1,R,DR
> 1,-1,20,3,3
> 2,-1,20,4,4
> 3,10,0,4,4
> 4,20,,2,2
> 5,20,30,1,1
> 6,5,0,6,5

# NTILE's count: below one it is out of range; NULL gives NULL buckets
SELECT NTILE(0) OVER (ORDER BY id) FROM w;
> ORA-01428: argument '0' is out of range
SELECT NTILE(-2) OVER (ORDER BY id) FROM w;
> ORA-01428: argument '-2' is out of range
SELECT id, NTILE(NULL) OVER (ORDER BY id) AS n FROM w WHERE id < 3 ORDER BY id;
> ID,N
> 1,
> 2,

# LISTAGG: values as text in the WITHIN GROUP order, NULLs left out, no delimiter by default
SELECT g, LISTAGG(id, ',') WITHIN GROUP (ORDER BY id DESC) AS ids, LISTAGG(v, '; ') WITHIN GROUP (ORDER BY v NULLS FIRST) AS vs,
       LISTAGG(v) WITHIN GROUP (ORDER BY id) AS nodelim, LISTAGG(TO_CHAR(d, 'DD'), '/') WITHIN GROUP (ORDER BY d DESC, id) AS days
FROM w GROUP BY g ORDER BY g;
> G,IDS,VS,NODELIM,DAYS
> a,"3,2,1",10; 20; 20,102020,04/02/01
> b,"6,5,4",5; 30,530,10/03/01
# DISTINCT drops repeated values; a group of NULLs gives NULL
SELECT LISTAGG(DISTINCT v, '-') WITHIN GROUP (ORDER BY v) AS dv,
       LISTAGG(CASE WHEN id > 10 THEN 'x' END, ',') WITHIN GROUP (ORDER BY id) AS nothing FROM w;
> DV,NOTHING
> 5-10-20-30,
SELECT LISTAGG(id, ',') FROM w;
> ORA-02000: missing WITHIN keyword
SELECT g, LISTAGG(id) WITHIN GROUP (ORDER BY v) FROM w;
> ORA-00937: not a single-group group function
# The result is a VARCHAR2(4000): 4000 bytes fit, one more is ORA-01489 (also ON OVERFLOW ERROR);
# ON OVERFLOW TRUNCATE keeps whole values, then the delimiter, the indicator ('...') and the count
SELECT LENGTH(LISTAGG(RPAD(id, 1000, 'x')) WITHIN GROUP (ORDER BY id)) AS len FROM w WHERE id <= 4;
> LEN
> 4000
SELECT LISTAGG(RPAD(id, 1000, 'x'), ',') WITHIN GROUP (ORDER BY id) FROM w WHERE id <= 4;
> ORA-01489: result of string concatenation is too long
SELECT LISTAGG(RPAD(id, 999, 'x'), ',' ON OVERFLOW ERROR) WITHIN GROUP (ORDER BY id) FROM w;
> ORA-01489: result of string concatenation is too long
SELECT LENGTH(l) AS len, SUBSTR(l, 1, 2) AS head, SUBSTR(l, -10) AS tail
FROM (SELECT LISTAGG(RPAD(id, 999, 'x'), ',' ON OVERFLOW TRUNCATE) WITHIN GROUP (ORDER BY id) AS l FROM w);
> LEN,HEAD,TAIL
> 3006,1x,"xxx,...(3)"
SELECT LENGTH(l) AS len, SUBSTR(l, -10) AS tail
FROM (SELECT LISTAGG(RPAD(id, 999, 'x'), ';' ON OVERFLOW TRUNCATE '[more]' WITHOUT COUNT) WITHIN GROUP (ORDER BY id DESC) AS l FROM w);
> LEN,TAIL
> 3006,xxx;[more]
SELECT SUBSTR(l, -12) AS tail
FROM (SELECT LISTAGG(RPAD(id, 999, 'x'), ',' ON OVERFLOW TRUNCATE '~' WITH COUNT) WITHIN GROUP (ORDER BY id) AS l FROM w);
> TAIL
> "xxxxxxx,~(3)"
# LISTAGG over a window: the whole partition in the WITHIN GROUP order; the window takes no ORDER BY
SELECT id, LISTAGG(id, ',') WITHIN GROUP (ORDER BY id DESC) OVER (PARTITION BY g) AS grp,
       LISTAGG(g) WITHIN GROUP (ORDER BY id) OVER () AS total
FROM w ORDER BY id;
> ID,GRP,TOTAL
> 1,"3,2,1",aaabbb
> 2,"3,2,1",aaabbb
> 3,"3,2,1",aaabbb
> 4,"6,5,4",aaabbb
> 5,"6,5,4",aaabbb
> 6,"6,5,4",aaabbb
SELECT LISTAGG(id, ',') WITHIN GROUP (ORDER BY id) OVER (ORDER BY id) FROM w;
> ORA-30487: ORDER BY not allowed here

# IGNORE NULLS: LAG and LEAD count only the rows whose value is not NULL, before or after the
# current row (the null treatment may follow the call or the value); the default stands in when
# there are too few; RESPECT NULLS is the plain function
CREATE TABLE ig (id NUMBER, g VARCHAR2(1), v NUMBER);
INSERT INTO ig SELECT 1, 'a', 10 FROM dual UNION ALL SELECT 2, 'a', NULL FROM dual UNION ALL SELECT 3, 'a', NULL FROM dual
  UNION ALL SELECT 4, 'a', 40 FROM dual UNION ALL SELECT 5, 'b', NULL FROM dual UNION ALL SELECT 6, 'b', 60 FROM dual
  UNION ALL SELECT 7, 'b', NULL FROM dual;
> 7 rows
SELECT id, LAG(v) IGNORE NULLS OVER (ORDER BY id) AS l1, LAG(v, 2) IGNORE NULLS OVER (ORDER BY id) AS l2,
       LAG(v IGNORE NULLS, 1, -1) OVER (PARTITION BY g ORDER BY id) AS lp,
       LEAD(v) IGNORE NULLS OVER (ORDER BY id) AS n1, LEAD(v, 1, 0) IGNORE NULLS OVER (PARTITION BY g ORDER BY id) AS np,
       LAG(v) RESPECT NULLS OVER (ORDER BY id) AS r1
FROM ig ORDER BY id;
> ID,L1,L2,LP,N1,NP,R1
> 1,,,-1,40,40,
> 2,10,,10,40,40,10
> 3,10,,10,40,40,
> 4,10,,10,60,0,
> 5,40,10,-1,60,60,40
> 6,40,10,-1,,0,
> 7,60,40,60,,0,60
# FIRST_VALUE and LAST_VALUE IGNORE NULLS: the first or last value of the frame that is not NULL
SELECT id, FIRST_VALUE(v IGNORE NULLS) OVER (PARTITION BY g ORDER BY id) AS fv,
       LAST_VALUE(v) IGNORE NULLS OVER (PARTITION BY g ORDER BY id) AS lv,
       LAST_VALUE(v IGNORE NULLS) OVER (PARTITION BY g ORDER BY id ROWS BETWEEN CURRENT ROW AND UNBOUNDED FOLLOWING) AS lva,
       FIRST_VALUE(v) OVER (PARTITION BY g ORDER BY id DESC) AS plain
FROM ig ORDER BY id;
> ID,FV,LV,LVA,PLAIN
> 1,10,10,40,40
> 2,10,10,40,40
> 3,10,10,40,40
> 4,10,40,40,40
> 5,,,60,
> 6,60,60,60,
> 7,60,60,,
# Text: an empty string is NULL and skipped too; the value keeps its type
SELECT id, LAG(TO_CHAR(v)) IGNORE NULLS OVER (ORDER BY id) || '!' AS t FROM ig WHERE id <= 3 ORDER BY id;
> ID,T
> 1,!
> 2,10!
> 3,10!
SELECT LAG(v) IGNORE NULLS FROM ig;
> ORA-30484: missing window specification for this function
