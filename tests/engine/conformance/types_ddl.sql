# DDL of types: replacing and dropping with dependants, FORCE, compile errors, ALTER TYPE COMPILE.
CREATE TYPE money_t AS OBJECT (amount NUMBER(12,2), currency CHAR(3), MEMBER FUNCTION show RETURN VARCHAR2);
/
CREATE TYPE BODY money_t AS
  MEMBER FUNCTION show RETURN VARCHAR2 IS
  BEGIN
    RETURN TO_CHAR(amount, 'FM9990.00') || ' ' || currency;
  END;
END;
/
CREATE TYPE money_list AS TABLE OF money_t;
/
CREATE TYPE id_list AS TABLE OF NUMBER(10);
/
CREATE OR REPLACE PACKAGE ledger AS
  FUNCTION total(l money_list) RETURN NUMBER;
  FUNCTION ids(n PLS_INTEGER) RETURN id_list;
END ledger;
/
CREATE OR REPLACE PACKAGE BODY ledger AS
  FUNCTION total(l money_list) RETURN NUMBER IS
    s NUMBER := 0;
  BEGIN
    FOR i IN 1 .. l.COUNT LOOP
      s := s + l(i).amount;
    END LOOP;
    RETURN s;
  END;
  FUNCTION ids(n PLS_INTEGER) RETURN id_list IS
    r id_list := id_list();
  BEGIN
    FOR i IN 1 .. n LOOP
      r.EXTEND;
      r(r.LAST) := i * 10;
    END LOOP;
    RETURN r;
  END;
END ledger;
/
BEGIN
  DBMS_OUTPUT.PUT_LINE(ledger.total(money_list(money_t(1.5, 'EUR'), money_t(2, 'EUR'))) || ' ' ||
                       ledger.ids(3).COUNT || ' ' || money_t(3, 'USD').show);
END;
/
> 3.5 3 3.00 USD
SELECT name, type, referenced_name, referenced_type FROM user_dependencies WHERE referenced_type = 'TYPE' ORDER BY 1, 2, 3;
> NAME,TYPE,REFERENCED_NAME,REFERENCED_TYPE
> LEDGER,PACKAGE,ID_LIST,TYPE
> LEDGER,PACKAGE,MONEY_LIST,TYPE
> LEDGER,PACKAGE BODY,ID_LIST,TYPE
> LEDGER,PACKAGE BODY,MONEY_LIST,TYPE
> MONEY_LIST,TYPE,MONEY_T,TYPE
# A type other types depend on is neither replaced nor dropped without FORCE
CREATE OR REPLACE TYPE money_t AS OBJECT (amount NUMBER, currency CHAR(3));
/
> ORA-02303: cannot drop or replace a type with type or table dependents
DROP TYPE money_t;
> ORA-02303: cannot drop or replace a type with type or table dependents
CREATE TYPE money_t AS OBJECT (a NUMBER);
/
> ORA-00955: name is already used by an existing object
# Dropping a type a package uses invalidates the package; the type back, the package compiles at its next call
DROP TYPE id_list;
SELECT object_name, object_type, status FROM user_objects WHERE object_name IN ('LEDGER', 'ID_LIST') ORDER BY 1, 2;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> LEDGER,PACKAGE,INVALID
> LEDGER,PACKAGE BODY,INVALID
BEGIN
  DBMS_OUTPUT.PUT_LINE(ledger.total(NULL));
END;
/
> ORA-06550: line 2, column 24:
CREATE TYPE id_list AS TABLE OF NUMBER(10);
/
BEGIN
  DBMS_OUTPUT.PUT_LINE(ledger.ids(2).LAST);
END;
/
> 2
SELECT object_name, object_type, status FROM user_objects WHERE object_name IN ('LEDGER', 'ID_LIST') ORDER BY 1, 2;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> ID_LIST,TYPE,VALID
> LEDGER,PACKAGE,VALID
> LEDGER,PACKAGE BODY,VALID
# Replacing a type with only PL/SQL dependants invalidates them and its body
CREATE OR REPLACE TYPE id_list AS VARRAY(5) OF NUMBER(10);
/
SELECT object_name, object_type, status FROM user_objects WHERE object_name = 'LEDGER' ORDER BY 2;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> LEDGER,PACKAGE,INVALID
> LEDGER,PACKAGE BODY,INVALID
ALTER PACKAGE ledger COMPILE;
SELECT object_name, object_type, status FROM user_objects WHERE object_name = 'LEDGER' ORDER BY 2;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> LEDGER,PACKAGE,VALID
> LEDGER,PACKAGE BODY,VALID
SELECT object_name, argument_name, data_type FROM user_arguments WHERE package_name = 'LEDGER' AND data_type IN ('TABLE', 'VARRAY', 'OBJECT') ORDER BY 1, 2;
> OBJECT_NAME,ARGUMENT_NAME,DATA_TYPE
> IDS,,VARRAY
> TOTAL,L,TABLE
# FORCE drops a type with dependants; they become invalid and report why when compiled
DROP TYPE money_t FORCE;
SELECT object_name, object_type, status FROM user_objects WHERE object_name LIKE 'MONEY%' ORDER BY 1, 2;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> MONEY_LIST,TYPE,INVALID
ALTER TYPE money_list COMPILE;
> ORA-24344: success with compilation error
SELECT name, type, line, position, text FROM user_errors WHERE name = 'MONEY_LIST';
> NAME,TYPE,LINE,POSITION,TEXT
> MONEY_LIST,TYPE,1,29,PLS-00201: identifier 'MONEY_T' must be declared
# Compile errors of a specification and of a body
CREATE TYPE bad_t AS OBJECT (a NUMBER, b no_such_type);
/
> ORA-24344: success with compilation error
CREATE TYPE shape_t AS OBJECT (sides NUMBER, MEMBER FUNCTION area RETURN NUMBER, MEMBER FUNCTION name RETURN VARCHAR2);
/
CREATE TYPE BODY shape_t AS
  MEMBER FUNCTION area RETURN NUMBER IS
  BEGIN
    RETURN sides * undefined_thing;
  END;
END;
/
> ORA-24344: success with compilation error
SELECT name, type, line, text FROM user_errors WHERE name IN ('BAD_T', 'SHAPE_T') AND text LIKE 'PLS%' ORDER BY 1, 2, 3;
> NAME,TYPE,LINE,TEXT
> BAD_T,TYPE,1,PLS-00201: identifier 'NO_SUCH_TYPE' must be declared
> SHAPE_T,TYPE BODY,1,PLS-00538: subprogram or cursor 'NAME' is declared in an object type specification and must be defined in the object type body
> SHAPE_T,TYPE BODY,4,PLS-00201: identifier 'UNDEFINED_THING' must be declared
SELECT object_name, object_type, status FROM user_objects WHERE object_name IN ('BAD_T', 'SHAPE_T') ORDER BY 1, 2;
> OBJECT_NAME,OBJECT_TYPE,STATUS
> BAD_T,TYPE,INVALID
> SHAPE_T,TYPE,VALID
> SHAPE_T,TYPE BODY,INVALID
DECLARE
  s shape_t := shape_t(4);
BEGIN
  DBMS_OUTPUT.PUT_LINE(s.area);
END;
/
> ORA-04063: type body "SYSTEM.SHAPE_T" has errors
DROP TYPE BODY shape_t;
SELECT object_name, object_type FROM user_objects WHERE object_name = 'SHAPE_T';
> OBJECT_NAME,OBJECT_TYPE
> SHAPE_T,TYPE
DECLARE
  s shape_t := shape_t(4);
BEGIN
  DBMS_OUTPUT.PUT_LINE(s.area);
END;
/
> ORA-04067: not executed, type body "SYSTEM.SHAPE_T" does not exist
CREATE TYPE BODY nothing_t AS
  MEMBER FUNCTION f RETURN NUMBER IS BEGIN RETURN 1; END;
END;
/
> ORA-24344: success with compilation error
# Columns of object and collection types are not supported
CREATE TABLE accounts (id NUMBER, balance money_list);
> ORA-03001: unimplemented feature
CREATE TABLE accounts (id NUMBER, balance money_typo);
> ORA-00902: invalid datatype
