# The status window of stored code: its object list (short name, padded type, last change rewritten
# from the TIMESTAMP text, compile-order key), compiles and drops of quoted owner.name, and the
# errors a compile leaves.

CREATE TABLE sw_t (a NUMBER, b NUMBER);
CREATE OR REPLACE FUNCTION getsequence RETURN NUMBER IS n NUMBER; BEGIN SELECT COUNT(*) INTO n FROM sw_t; RETURN n; END;
/
CREATE OR REPLACE FUNCTION sw_bad RETURN NUMBER IS n NUMBER; BEGIN SELECT b INTO n FROM sw_t; RETURN n; END;
/
CREATE OR REPLACE PACKAGE sw_pck IS FUNCTION f RETURN NUMBER; END sw_pck;
/
CREATE OR REPLACE PACKAGE BODY sw_pck IS FUNCTION f RETURN NUMBER IS n NUMBER; BEGIN SELECT b INTO n FROM sw_t; RETURN n; END; END sw_pck;
/
CREATE OR REPLACE VIEW sw_v AS SELECT b FROM sw_t;
ALTER TABLE sw_t DROP COLUMN b;
SELECT object_name, object_type||'     ' AS object_type, status,
  decode(object_name,'GETSEQUENCE','@',decode(object_type,'PACKAGE','A','PACKAGE BODY','B','C')) poz
  FROM all_objects
  WHERE owner = 'SYSTEM' AND ('INVALID' like 'ALL' or status='INVALID' ) AND ('%' is null  or object_name like '%')
    AND object_type in ('FUNCTION','PACKAGE','PACKAGE BODY','PROCEDURE','TRIGGER','VIEW')
    AND (object_name IN ('SW_BAD', 'SW_V') OR object_name = 'GETSEQUENCE')
  order by Poz,object_type,object_name;
> OBJECT_NAME,OBJECT_TYPE,STATUS,POZ
> GETSEQUENCE,FUNCTION     ,INVALID,@
> SW_BAD,FUNCTION     ,INVALID,C
> SW_V,VIEW     ,INVALID,C
# The TIMESTAMP text is YYYY-MM-DD:HH24:MI:SS; the list shows DD.MM.YYYY  HH:MI and 16 blanks
SELECT length(timestamp) AS len, substr(timestamp,5,1)||substr(timestamp,8,1)||substr(timestamp,11,1)||substr(timestamp,14,1) AS seps,
  length(substr(timestamp,9,2)||'.'||substr(timestamp,6,2)||'.'||substr(timestamp,1,4)||'  '||substr(timestamp,12,5)||'                ') AS shown
  FROM all_objects WHERE owner = 'SYSTEM' AND object_name = 'SW_BAD';
> LEN,SEPS,SHOWN
> 19,--::,33
# A compile that leaves errors warns (ORA-24344), keeps the object invalid and records its errors
ALTER FUNCTION "SYSTEM"."SW_BAD" COMPILE ;
> ORA-24344: success with compilation error
ALTER FUNCTION "SYSTEM"."GETSEQUENCE" COMPILE ;
ALTER PACKAGE "SYSTEM"."SW_PCK" COMPILE PACKAGE;
> ORA-24344: success with compilation error
ALTER PACKAGE "SYSTEM"."SW_PCK" COMPILE BODY;
> ORA-24344: success with compilation error
ALTER VIEW "SYSTEM"."SW_V" COMPILE ;
select object_name from all_objects
where owner='SYSTEM' and object_name='SW_BAD' and object_type='FUNCTION' and status='INVALID';
> OBJECT_NAME
> SW_BAD
SELECT object_name, object_type, status FROM all_objects WHERE owner = 'SYSTEM' AND (object_name LIKE 'SW%' OR object_name = 'GETSEQUENCE') ORDER BY 1, 2;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> GETSEQUENCE,FUNCTION,VALID
> SW_BAD,FUNCTION,INVALID
> SW_PCK,PACKAGE,VALID
> SW_PCK,PACKAGE BODY,INVALID
> SW_T,TABLE,VALID
> SW_V,VIEW,INVALID
SELECT name, type, line, position, text FROM all_errors WHERE owner = 'SYSTEM' AND name LIKE 'SW%' ORDER BY name, type, sequence;
> NAME,TYPE,LINE,POSITION,TEXT
> SW_BAD,FUNCTION,1,57,"PL/SQL: ORA-00904: ""B"": invalid identifier"
> SW_BAD,FUNCTION,1,50,PL/SQL: SQL Statement ignored
> SW_PCK,PACKAGE BODY,1,75,"PL/SQL: ORA-00904: ""B"": invalid identifier"
> SW_PCK,PACKAGE BODY,1,68,PL/SQL: SQL Statement ignored
# Drops of the quoted owner.name; a body goes alone
DROP PACKAGE BODY "SYSTEM"."SW_PCK";
DROP FUNCTION "SYSTEM"."SW_BAD";
SELECT object_name, object_type FROM all_objects WHERE owner = 'SYSTEM' AND object_name LIKE 'SW%' AND object_type <> 'TABLE' ORDER BY 1, 2;
> OBJECT_NAME,OBJECT_TYPE
> SW_PCK,PACKAGE
> SW_V,VIEW
