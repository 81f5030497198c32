# A view made INVALID by a change of what it reads stays INVALID, also when its query still compiles,
# until a statement uses it or ALTER VIEW ... COMPILE compiles it; ADD COLUMN leaves it VALID.

CREATE TABLE vs_t (a NUMBER, b VARCHAR2(10));
CREATE VIEW vs_v AS SELECT a, b FROM vs_t;
CREATE VIEW vs_w AS SELECT a FROM vs_v;
ALTER TABLE vs_t ADD (c NUMBER);
SELECT object_name, status FROM user_objects WHERE object_name IN ('VS_V', 'VS_W') ORDER BY 1;
> OBJECT_NAME,STATUS
> VS_V,VALID
> VS_W,VALID
ALTER TABLE vs_t MODIFY (b VARCHAR2(20));
SELECT object_name, status FROM user_objects WHERE object_name IN ('VS_V', 'VS_W') ORDER BY 1;
> OBJECT_NAME,STATUS
> VS_V,INVALID
> VS_W,INVALID
# using a view compiles it; a view that uses it stays as it was
SELECT COUNT(*) AS n FROM vs_v;
> N
> 0
SELECT object_name, status FROM user_objects WHERE object_name IN ('VS_V', 'VS_W') ORDER BY 1;
> OBJECT_NAME,STATUS
> VS_V,VALID
> VS_W,INVALID
ALTER VIEW vs_w COMPILE;
SELECT object_name, status FROM user_objects WHERE object_name IN ('VS_V', 'VS_W') ORDER BY 1;
> OBJECT_NAME,STATUS
> VS_V,VALID
> VS_W,VALID

# a view whose query no longer compiles fails when used and stays INVALID
ALTER TABLE vs_t DROP COLUMN b;
SELECT * FROM vs_v;
> ORA-04063: view "SYSTEM.VS_V" has errors
SELECT object_name, status FROM user_objects WHERE object_name IN ('VS_V', 'VS_W') ORDER BY 1;
> OBJECT_NAME,STATUS
> VS_V,INVALID
> VS_W,INVALID
# once what it reads is back, its next use makes it VALID; through the other view, both
ALTER TABLE vs_t ADD (b VARCHAR2(10));
SELECT object_name, status FROM user_objects WHERE object_name IN ('VS_V', 'VS_W') ORDER BY 1;
> OBJECT_NAME,STATUS
> VS_V,INVALID
> VS_W,INVALID
SELECT COUNT(*) AS n FROM vs_w;
> N
> 0
SELECT object_name, status FROM user_objects WHERE object_name IN ('VS_V', 'VS_W') ORDER BY 1;
> OBJECT_NAME,STATUS
> VS_V,VALID
> VS_W,VALID
