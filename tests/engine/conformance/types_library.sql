# A small library written the way public PL/SQL libraries are: a string list type, a key/value
# object type with a body and constructor, a list of those, and a package that uses all of them.
CREATE OR REPLACE TYPE t_str_list AS TABLE OF VARCHAR2(4000);
/
CREATE OR REPLACE TYPE t_key_value FORCE AS OBJECT (
  key_name  VARCHAR2(100),
  key_value VARCHAR2(4000),
  CONSTRUCTOR FUNCTION t_key_value(p_pair IN VARCHAR2, p_separator IN VARCHAR2 DEFAULT '=')
    RETURN SELF AS RESULT,
  MEMBER FUNCTION to_string RETURN VARCHAR2,
  MEMBER PROCEDURE set_value(p_value IN VARCHAR2)
) NOT FINAL;
/
CREATE OR REPLACE TYPE BODY t_key_value AS
  CONSTRUCTOR FUNCTION t_key_value(p_pair IN VARCHAR2, p_separator IN VARCHAR2 DEFAULT '=')
    RETURN SELF AS RESULT
  IS
    l_at PLS_INTEGER := INSTR(p_pair, p_separator);
  BEGIN
    IF l_at = 0 THEN
      self.key_name := TRIM(p_pair);
    ELSE
      self.key_name := TRIM(SUBSTR(p_pair, 1, l_at - 1));
      self.key_value := TRIM(SUBSTR(p_pair, l_at + LENGTH(p_separator)));
    END IF;
    RETURN;
  END t_key_value;

  MEMBER FUNCTION to_string RETURN VARCHAR2 IS
  BEGIN
    RETURN key_name || '=' || NVL(key_value, '(null)');
  END to_string;

  MEMBER PROCEDURE set_value(p_value IN VARCHAR2) IS
  BEGIN
    key_value := p_value;
  END set_value;
END;
/
CREATE OR REPLACE TYPE t_key_value_list AS TABLE OF t_key_value;
/
CREATE OR REPLACE PACKAGE str_util AUTHID DEFINER AS
  FUNCTION split(p_text IN VARCHAR2, p_separator IN VARCHAR2 := ',') RETURN t_str_list;
  FUNCTION join(p_list IN t_str_list, p_separator IN VARCHAR2 := ',') RETURN VARCHAR2;
  FUNCTION parse_pairs(p_text IN VARCHAR2) RETURN t_key_value_list;
  FUNCTION get_value(p_pairs IN t_key_value_list, p_key IN VARCHAR2) RETURN VARCHAR2;
END str_util;
/
CREATE OR REPLACE PACKAGE BODY str_util AS
  FUNCTION split(p_text IN VARCHAR2, p_separator IN VARCHAR2 := ',') RETURN t_str_list IS
    l_result t_str_list := t_str_list();
    l_start  PLS_INTEGER := 1;
    l_at     PLS_INTEGER;
  BEGIN
    IF p_text IS NULL THEN
      RETURN l_result;
    END IF;
    LOOP
      l_at := INSTR(p_text, p_separator, l_start);
      l_result.EXTEND;
      IF l_at = 0 THEN
        l_result(l_result.LAST) := SUBSTR(p_text, l_start);
        EXIT;
      END IF;
      l_result(l_result.LAST) := SUBSTR(p_text, l_start, l_at - l_start);
      l_start := l_at + LENGTH(p_separator);
    END LOOP;
    RETURN l_result;
  END split;

  FUNCTION join(p_list IN t_str_list, p_separator IN VARCHAR2 := ',') RETURN VARCHAR2 IS
    l_result VARCHAR2(32767);
    l_index  PLS_INTEGER;
  BEGIN
    IF p_list IS NULL THEN
      RETURN NULL;
    END IF;
    l_index := p_list.FIRST;
    WHILE l_index IS NOT NULL LOOP
      l_result := l_result || CASE WHEN l_index > p_list.FIRST THEN p_separator END || p_list(l_index);
      l_index := p_list.NEXT(l_index);
    END LOOP;
    RETURN l_result;
  END join;

  FUNCTION parse_pairs(p_text IN VARCHAR2) RETURN t_key_value_list IS
    l_parts t_str_list := split(p_text, ';');
    l_pairs t_key_value_list := t_key_value_list();
  BEGIN
    FOR i IN 1 .. l_parts.COUNT LOOP
      l_pairs.EXTEND;
      l_pairs(l_pairs.COUNT) := t_key_value(l_parts(i));
    END LOOP;
    RETURN l_pairs;
  END parse_pairs;

  FUNCTION get_value(p_pairs IN t_key_value_list, p_key IN VARCHAR2) RETURN VARCHAR2 IS
  BEGIN
    FOR i IN 1 .. p_pairs.COUNT LOOP
      IF p_pairs(i).key_name = p_key THEN
        RETURN p_pairs(i).key_value;
      END IF;
    END LOOP;
    RETURN NULL;
  END get_value;
END str_util;
/
SELECT object_name, object_type, status FROM user_objects ORDER BY object_name, object_type;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> STR_UTIL,PACKAGE,VALID
> STR_UTIL,PACKAGE BODY,VALID
> T_KEY_VALUE,TYPE,VALID
> T_KEY_VALUE,TYPE BODY,VALID
> T_KEY_VALUE_LIST,TYPE,VALID
> T_STR_LIST,TYPE,VALID
SELECT COUNT(*) AS errors FROM user_errors;
> ERRORS
> 0
DECLARE
  l_list  t_str_list := str_util.split('a,bb,,ccc');
  l_pairs t_key_value_list := str_util.parse_pairs('host = db1; port=1521;flag');
  l_pair  t_key_value := t_key_value('x:1', ':');
BEGIN
  DBMS_OUTPUT.PUT_LINE(l_list.COUNT || ' [' || l_list(3) || '] ' || str_util.join(l_list, '|'));
  l_list.DELETE(2);
  DBMS_OUTPUT.PUT_LINE(str_util.join(l_list, '+') || ' ' || NVL(str_util.join(NULL), 'null'));
  DBMS_OUTPUT.PUT_LINE(l_pairs.COUNT || ' ' || str_util.get_value(l_pairs, 'port') || ' ' ||
                       NVL(str_util.get_value(l_pairs, 'user'), '-'));
  FOR i IN 1 .. l_pairs.COUNT LOOP
    DBMS_OUTPUT.PUT_LINE(l_pairs(i).to_string);
  END LOOP;
  l_pair.set_value('2');
  DBMS_OUTPUT.PUT_LINE(l_pair.to_string() || ' ' || t_key_value('k', 'v').to_string);
  DBMS_OUTPUT.PUT_LINE(str_util.split(NULL).COUNT);
END;
/
> 4 [] a|bb||ccc
> a++ccc null
> 3 1521 -
> host=db1
> port=1521
> flag=(null)
> x=2 k=(null)
> 0
# A method called with empty parentheses on an element, and a method's result as an argument of a
# built-in function
DECLARE
  l_pairs t_key_value_list := t_key_value_list(t_key_value('a=1'), t_key_value('b'));
  l_pair t_key_value := t_key_value('k=v');
BEGIN
  FOR i IN 1 .. l_pairs.COUNT LOOP
    DBMS_OUTPUT.PUT_LINE(i || ' ' || l_pairs(i).to_string());
  END LOOP;
  DBMS_OUTPUT.PUT_LINE(UPPER(l_pair.to_string()) || ' ' || LENGTH(l_pairs(2).to_string()));
END;
/
> 1 a=1
> 2 b=(null)
> K=V 8
