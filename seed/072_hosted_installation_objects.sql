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

-- The role every account of an installation gets, IGRUPA (the schema users of a new installation
-- also hold DUD while it is set up). An installation's own role, "G" and its KADE user from the second
-- character, is made by the hosting window's rights block.
CREATE ROLE igrupa;
GRANT CREATE SESSION TO igrupa;
-- The KADE users make their installation's role and hand out the roles, as the schema users of a
-- hosted installation do.
GRANT CREATE ROLE, GRANT ANY ROLE TO izas1, izas2;

-- Each installation's own copy of the application users (its KADE user's ISEC_USERS). The
-- hosting window copies them as accounts "I" + the installation's number + the name.
CREATE TABLE izas1.isec_users (
  user__id NUMBER(10),
  username VARCHAR2(30) NOT NULL,
  userpswd VARCHAR2(30),
  userdef1 VARCHAR2(30),
  userdef2 VARCHAR2(30),
  userlacc DATE,
  useraccc NUMBER(10),
  userenab NUMBER(1) DEFAULT 1,
  useradmi NUMBER(1) DEFAULT 0
);
CREATE TABLE izas2.isec_users (
  user__id NUMBER(10),
  username VARCHAR2(30) NOT NULL,
  userpswd VARCHAR2(30),
  userdef1 VARCHAR2(30),
  userdef2 VARCHAR2(30),
  userlacc DATE,
  useraccc NUMBER(10),
  userenab NUMBER(1) DEFAULT 1,
  useradmi NUMBER(1) DEFAULT 0
);
INSERT INTO izas1.isec_users (user__id, username, userdef1, userdef2, useradmi) VALUES (1, 'KADE', 'KADE', 'Application owner', 1);
INSERT INTO izas1.isec_users (user__id, username, userdef1, userdef2, useradmi) VALUES (2, 'MARKO', 'MARKO', 'Clerk', 0);
INSERT INTO izas1.isec_users (user__id, username, userdef1, userdef2, useradmi) VALUES (3, 'nina', 'NINA', 'Clerk', 0);
INSERT INTO izas2.isec_users (user__id, username, userdef1, userdef2, useradmi) VALUES (1, 'KADE', 'KADE', 'Application owner', 1);
INSERT INTO izas2.isec_users (user__id, username, userdef1, userdef2, useradmi) VALUES (2, 'PETRA', 'PETRA', 'Clerk', 0);
COMMIT;

-- The KADE user of an installation lists its own application users when it copies them.
GRANT INSERT ON nuvo_util.nuvo_inst_users TO izas1, izas2;
