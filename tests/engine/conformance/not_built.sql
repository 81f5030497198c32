# XMLTYPE, JSON, spatial types and Java are not built: each fails with an Oracle error
CREATE TABLE nb_xml (id NUMBER, doc XMLTYPE);
> ORA-00902: invalid datatype
CREATE TABLE nb_geo (id NUMBER, shape SDO_GEOMETRY);
> ORA-00902: invalid datatype
SELECT XMLTYPE('<a/>') FROM dual;
> ORA-00904: "XMLTYPE": invalid identifier
SELECT JSON_VALUE('{"a":1}', '$.a') FROM dual;
> ORA-00904: "JSON_VALUE": invalid identifier
SELECT * FROM JSON_TABLE('[1,2]', '$[*]' COLUMNS (n NUMBER PATH '$'));
> ORA-03001: unimplemented feature
SELECT * FROM XMLTABLE('/a' PASSING XMLTYPE('<a/>'));
> ORA-03001: unimplemented feature
SELECT 1 FROM dual WHERE '{}' IS JSON;
> ORA-03001: unimplemented feature
SELECT 1 FROM dual WHERE '{}' IS NOT JSON;
> ORA-03001: unimplemented feature
DECLARE
  x XMLTYPE;
BEGIN
  NULL;
END;
/
> ORA-06550: line 2, column 5:
CREATE OR REPLACE AND COMPILE JAVA SOURCE NAMED "Hello" AS public class Hello { }
/
> ORA-03001: unimplemented feature
CREATE JAVA CLASS USING BFILE (bfile_dir, 'Hello.class');
> ORA-03001: unimplemented feature
CREATE FUNCTION nb_java RETURN VARCHAR2 AS LANGUAGE JAVA NAME 'Hello.x() return java.lang.String';
/
> ORA-24344: success with compilation error
SELECT text FROM user_errors WHERE name = 'NB_JAVA';
> TEXT
> PLS-00999: implementation restriction (may be temporary) LANGUAGE JAVA
SELECT SDO_GEOMETRY(2001, NULL, NULL, NULL, NULL) FROM dual;
> ORA-00904: "SDO_GEOMETRY": invalid identifier
