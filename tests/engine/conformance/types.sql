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
    RETURN;
  END;
END;
/
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
END;
/
> 3,4 a 25
> 4,5 41
> 13
> 1,1 named
> origin 0
