# Schema-level object types: attributes, methods, constructors, and the dictionary's rows of them.
CREATE TYPE point_t AS OBJECT (
  x NUMBER,
  y NUMBER,
  label VARCHAR2(20),
  MEMBER FUNCTION norm2 RETURN NUMBER,
  MEMBER FUNCTION shifted(dx NUMBER, dy NUMBER) RETURN point_t,
  MEMBER PROCEDURE move(dx NUMBER),
  STATIC FUNCTION origin RETURN point_t,
  CONSTRUCTOR FUNCTION point_t(label VARCHAR2) RETURN SELF AS RESULT
);
/
CREATE TYPE BODY point_t AS
  MEMBER FUNCTION norm2 RETURN NUMBER IS
  BEGIN
    RETURN x * x + SELF.y * SELF.y;
  END;
  MEMBER FUNCTION shifted(dx NUMBER, dy NUMBER) RETURN point_t IS
  BEGIN
    RETURN point_t(x + dx, y + dy, label);
  END;
  MEMBER PROCEDURE move(dx NUMBER) IS
  BEGIN
    x := x + dx;
  END;
  STATIC FUNCTION origin RETURN point_t IS
  BEGIN
    RETURN point_t(0, 0, 'origin');
  END;
  CONSTRUCTOR FUNCTION point_t(label VARCHAR2) RETURN SELF AS RESULT IS
  BEGIN
    SELF.label := label;
    x := 1;
    y := 1;
    y := norm2();
    RETURN;
  END;
END;
/
# The attribute constructor (by position and by name), a user constructor, members, a static function
DECLARE
  p point_t := point_t(3, 4, 'a');
  q point_t;
BEGIN
  DBMS_OUTPUT.PUT_LINE(p.x || ',' || p.y || ' ' || p.label || ' ' || p.norm2());
  q := p.shifted(1, 1);
  DBMS_OUTPUT.PUT_LINE(q.x || ',' || q.y || ' ' || q.norm2);
  p.move(10);
  DBMS_OUTPUT.PUT_LINE(p.x);
  q := point_t('named');
  DBMS_OUTPUT.PUT_LINE(q.x || ',' || q.y || ' ' || q.label);
  q := point_t.origin();
  DBMS_OUTPUT.PUT_LINE(q.label || ' ' || q.norm2());
  q := point_t(label => 'b', y => 2, x => 1);
  DBMS_OUTPUT.PUT_LINE(q.x || ',' || q.y || ' ' || q.label);
  IF q IS NOT NULL THEN
    q := NULL;
  END IF;
  DBMS_OUTPUT.PUT_LINE(CASE WHEN q IS NULL THEN 'null' END);
END;
/
> 3,4 a 25
> 4,5 41
> 13
> 1,2 named
> origin 0
> 1,2 b
> null
# Wrong constructor calls and unknown members are compile errors
CREATE PROCEDURE wrong_calls IS
  p point_t := point_t(1, 2);
BEGIN
  DBMS_OUTPUT.PUT_LINE(p.z);
  p.norm2;
END;
/
> ORA-24344: success with compilation error
SELECT line, text FROM user_errors WHERE name = 'WRONG_CALLS' AND text LIKE 'PLS%' ORDER BY line;
> LINE,TEXT
> 2,PLS-00306: wrong number or types of arguments in call to 'POINT_T'
> 4,PLS-00302: component 'Z' must be declared
> 5,PLS-00221: 'NORM2' is not a procedure or is undefined
CREATE TYPE num_list AS TABLE OF NUMBER;
/
CREATE TYPE name_arr AS VARRAY(3) OF VARCHAR2(10);
/
CREATE TYPE point_list AS TABLE OF point_t;
/
SELECT object_name, object_type, status FROM user_objects ORDER BY 1, 2;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> NAME_ARR,TYPE,VALID
> NUM_LIST,TYPE,VALID
> POINT_LIST,TYPE,VALID
> POINT_T,TYPE,VALID
> POINT_T,TYPE BODY,VALID
> WRONG_CALLS,PROCEDURE,INVALID
SELECT type_name, typecode, attributes, methods FROM user_types ORDER BY 1;
> TYPE_NAME,TYPECODE,ATTRIBUTES,METHODS
> NAME_ARR,COLLECTION,0,0
> NUM_LIST,COLLECTION,0,0
> POINT_LIST,COLLECTION,0,0
> POINT_T,OBJECT,3,5
SELECT owner, attr_name, attr_type_name, length, precision, scale, attr_no FROM all_type_attrs WHERE type_name = 'POINT_T' ORDER BY attr_no;
> OWNER,ATTR_NAME,ATTR_TYPE_NAME,LENGTH,PRECISION,SCALE,ATTR_NO
> SYSTEM,X,NUMBER,,,,1
> SYSTEM,Y,NUMBER,,,,2
> SYSTEM,LABEL,VARCHAR2,20,,,3
SELECT type_name, coll_type, upper_bound, elem_type_owner, elem_type_name, length FROM user_coll_types ORDER BY 1;
> TYPE_NAME,COLL_TYPE,UPPER_BOUND,ELEM_TYPE_OWNER,ELEM_TYPE_NAME,LENGTH
> NAME_ARR,VARYING ARRAY,3,,VARCHAR2,10
> NUM_LIST,TABLE,,,NUMBER,
> POINT_LIST,TABLE,,SYSTEM,POINT_T,
SELECT type, COUNT(*) AS lines FROM user_source WHERE name = 'POINT_T' GROUP BY type ORDER BY type;
> TYPE,LINES
> TYPE,10
> TYPE BODY,26
SELECT text FROM user_source WHERE name = 'NAME_ARR';
> TEXT
> TYPE name_arr AS VARRAY(3) OF VARCHAR2(10);
# Collections: NULL until constructed, bounds, and every method
DECLARE
  l num_list;
  a name_arr := name_arr('a', 'b');
  n NUMBER;
BEGIN
  DBMS_OUTPUT.PUT_LINE(CASE WHEN l IS NULL THEN 'null' END || ' ' || CASE WHEN l.EXISTS(1) THEN 'x' ELSE 'no' END);
  BEGIN l.EXTEND; EXCEPTION WHEN COLLECTION_IS_NULL THEN DBMS_OUTPUT.PUT_LINE('extend ' || SQLERRM); END;
  BEGIN n := l.COUNT; EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('count ' || SQLERRM); END;
  BEGIN n := l(1); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('read ' || SQLERRM); END;
  l := num_list(10, 20, 30);
  BEGIN n := l(4); EXCEPTION WHEN SUBSCRIPT_BEYOND_COUNT THEN DBMS_OUTPUT.PUT_LINE('beyond ' || SQLERRM); END;
  BEGIN l(4) := 40; EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('assign beyond ' || SQLERRM); END;
  BEGIN l(0) := 1; EXCEPTION WHEN SUBSCRIPT_OUTSIDE_LIMIT THEN DBMS_OUTPUT.PUT_LINE('zero ' || SQLERRM); END;
  BEGIN l.TRIM(4); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('trim ' || SQLERRM); END;
  l.DELETE(2);
  BEGIN n := l(2); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('deleted ' || SQLERRM); END;
  DBMS_OUTPUT.PUT_LINE(l.COUNT || ' ' || l.FIRST || ' ' || l.LAST || ' ' || l.NEXT(1) || ' ' || l.PRIOR(3) || ' ' ||
                       NVL(TO_CHAR(l.LIMIT), 'none'));
  l.EXTEND(2, 1);
  DBMS_OUTPUT.PUT_LINE(l.COUNT || ' ' || l(5));
  a.EXTEND;
  a(3) := 'c';
  BEGIN a.EXTEND; EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('limit ' || SQLERRM); END;
  BEGIN a := name_arr('1', '2', '3', '4'); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('constructor ' || SQLERRM); END;
  DBMS_OUTPUT.PUT_LINE(a.COUNT || ' ' || a.LIMIT || ' ' || a(3));
  a.TRIM;
  DBMS_OUTPUT.PUT_LINE(a.COUNT || ' ' || a.LAST);
  a.DELETE;
  DBMS_OUTPUT.PUT_LINE(a.COUNT || ' ' || NVL(TO_CHAR(a.FIRST), 'none'));
END;
/
> null no
> extend ORA-06531: Reference to uninitialized collection
> count ORA-06531: Reference to uninitialized collection
> read ORA-06531: Reference to uninitialized collection
> beyond ORA-06533: Subscript beyond count
> assign beyond ORA-06533: Subscript beyond count
> zero ORA-06532: Subscript outside of limit
> trim ORA-06533: Subscript beyond count
> deleted ORA-01403: no data found
> 2 1 3 3 1 none
> 4 10
> limit ORA-06532: Subscript outside of limit
> constructor ORA-06532: Subscript outside of limit
> 3 3 c
> 2 2
> 0 none
# An uninitialized collection, unhandled
DECLARE
  l num_list;
BEGIN
  l(1) := 5;
END;
/
> ORA-06531: Reference to uninitialized collection
# Objects: NULL until constructed; a method on NULL SELF, an attribute assigned of a NULL object
DECLARE
  p point_t;
  n NUMBER;
BEGIN
  DBMS_OUTPUT.PUT_LINE('attribute ' || NVL(TO_CHAR(p.x), 'null'));
  BEGIN n := p.norm2(); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('member ' || SQLERRM); END;
  BEGIN p.move(1); EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('procedure ' || SQLERRM); END;
  BEGIN p.x := 1; EXCEPTION WHEN ACCESS_INTO_NULL THEN DBMS_OUTPUT.PUT_LINE('assign ' || SQLERRM); END;
END;
/
> attribute null
> member ORA-30625: method dispatch on NULL SELF argument is disallowed
> procedure ORA-30625: method dispatch on NULL SELF argument is disallowed
> assign ORA-06530: Reference to uninitialized composite
# Nested tables of objects: attributes and members of elements, EXTEND copying an element
DECLARE
  pl point_list := point_list(point_t(1, 2, 'p'), point_t(3, 4, 'q'));
BEGIN
  FOR i IN 1 .. pl.COUNT LOOP
    DBMS_OUTPUT.PUT_LINE(pl(i).label || ' ' || pl(i).x || ' ' || pl(i).norm2);
  END LOOP;
  pl.EXTEND(2, 1);
  pl(3).x := 7;
  DBMS_OUTPUT.PUT_LINE(pl.COUNT || ' ' || pl(3).x || ' ' || pl(1).x || ' ' || pl(4).label);
  pl.EXTEND;
  DBMS_OUTPUT.PUT_LINE(CASE WHEN pl(5) IS NULL THEN 'null element' END);
END;
/
> p 1 5
> q 3 25
> 4 7 1 p
> null element
# Local nested tables and varrays follow the same rules
DECLARE
  TYPE codes_t IS VARRAY(2) OF NUMBER;
  TYPE words_t IS TABLE OF VARCHAR2(10);
  c codes_t := codes_t(1);
  w words_t;
BEGIN
  c.EXTEND;
  DBMS_OUTPUT.PUT_LINE(c.COUNT || ' ' || c.LIMIT);
  BEGIN c.EXTEND; EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE(SQLERRM); END;
  BEGIN w.EXTEND; EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE(SQLERRM); END;
END;
/
> 2 2
> ORA-06532: Subscript outside of limit
> ORA-06531: Reference to uninitialized collection
