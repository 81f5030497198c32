# Stored units run with their owner's names: another user calls them by schema.package.name, from
# PL/SQL and from SQL, with package state of the caller's session.
CREATE USER owner1 IDENTIFIED BY o;
GRANT CREATE SESSION, CREATE TABLE, CREATE PROCEDURE TO owner1;
@connect owner1/o
CREATE TABLE names_t (n VARCHAR2(10));
INSERT INTO names_t VALUES ('Ada');
> 1 rows
COMMIT;
CREATE OR REPLACE PACKAGE p IS
  PROCEDURE set_it(v VARCHAR2);
  FUNCTION get_it RETURN VARCHAR2;
  FUNCTION first_name RETURN VARCHAR2;
END p;
/
CREATE OR REPLACE PACKAGE BODY p IS
  g VARCHAR2(10);
  PROCEDURE set_it(v VARCHAR2) IS
  BEGIN
    g := v;
  END;
  FUNCTION get_it RETURN VARCHAR2 IS
  BEGIN
    RETURN g;
  END;
  FUNCTION first_name RETURN VARCHAR2 IS
    r names_t.n%TYPE;
  BEGIN
    SELECT MIN(n) INTO r FROM names_t;
    RETURN r;
  END;
END p;
/
@connect SYSTEM/SYSTEM
BEGIN
  owner1.p.set_it('x');
  DBMS_OUTPUT.PUT_LINE(owner1.p.get_it || ' ' || owner1.p.first_name);
END;
/
> x Ada
SELECT owner1.p.first_name AS f FROM dual;
> F
> Ada
# Calling another user's unit needs EXECUTE on it (SYSTEM has EXECUTE ANY PROCEDURE through DBA)
CREATE USER user2 IDENTIFIED BY u;
GRANT CREATE SESSION TO user2;
@connect user2/u
BEGIN
  owner1.p.set_it('y');
END;
/
> ORA-06550: line 2, column 3:
SELECT owner1.p.first_name AS f FROM dual;
> ORA-00904: "OWNER1"."P"."FIRST_NAME": invalid identifier
@connect owner1/o
GRANT EXECUTE ON p TO user2;
@connect user2/u
BEGIN
  owner1.p.set_it('y');
  DBMS_OUTPUT.PUT_LINE(owner1.p.get_it);
END;
/
> y
# Definer's rights: the unit's SQL runs with its owner's privileges, so a caller with EXECUTE changes
# and reads the owner's table through it while the table itself stays closed to the caller
@connect owner1/o
CREATE TABLE counter_t (k VARCHAR2(10), n NUMBER);
INSERT INTO counter_t VALUES ('calls', 0);
> 1 rows
COMMIT;
CREATE OR REPLACE PROCEDURE bump(by_n NUMBER) IS
BEGIN
  UPDATE counter_t SET n = n + by_n WHERE k = 'calls';
  INSERT INTO counter_t VALUES ('by ' || USER, by_n);
END;
/
CREATE OR REPLACE FUNCTION calls RETURN NUMBER IS
  r NUMBER;
BEGIN
  SELECT n INTO r FROM counter_t WHERE k = 'calls';
  RETURN r;
END;
/
GRANT EXECUTE ON bump TO user2;
GRANT EXECUTE ON calls TO user2;
@connect user2/u
UPDATE owner1.counter_t SET n = 100;
> ORA-00942: table or view does not exist
BEGIN
  owner1.bump(5);
  owner1.bump(2);
  DBMS_OUTPUT.PUT_LINE('calls ' || owner1.calls);
END;
/
> calls 7
SELECT owner1.calls AS c FROM dual;
> C
> 7
SELECT n FROM owner1.counter_t;
> ORA-00942: table or view does not exist
# The same SQL in an anonymous block runs with the caller's rights (USER in the unit is still the caller)
BEGIN
  UPDATE owner1.counter_t SET n = 0;
END;
/
> ORA-06550: line 2, column 10:
COMMIT;
@connect owner1/o
SELECT k, n FROM counter_t ORDER BY k, n;
> K,N
> by USER2,2
> by USER2,5
> calls,7
