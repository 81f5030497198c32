-- What the hosting window needs of the hosted installations' schemas: the installation users
-- recreate their own stored code, and installation 2 still holds the statement table it was
-- imported with (NUVO_EXS of its own schema), which the window copies into NUVO_UTIL.NUVO_EXS.

GRANT CREATE PROCEDURE, CREATE VIEW, CREATE TRIGGER, CREATE SEQUENCE TO izas1, fzas1, izas2, fzas2;

CREATE TABLE izas2.nuvo_exs (
  script_name VARCHAR2(30) NOT NULL,
  script_counter NUMBER(10) NOT NULL,
  script_stat VARCHAR2(1),
  script_cont LONG,
  script_err VARCHAR2(2000)
);
INSERT INTO izas2.nuvo_exs (script_name, script_counter, script_stat, script_cont)
  VALUES ('AU001', 1, 'X', 'select 1 from dual');
COMMIT;
