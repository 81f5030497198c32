-- The application schema KADE as the tool sees it: the parameter table, the application users and
-- the audit parameters, with demo rows.

CREATE TABLE kade.pr107par (
  sifra107 NUMBER(10) NOT NULL,
  attr_007 VARCHAR2(30) NOT NULL,
  val1_107 VARCHAR2(50),
  stat_107 VARCHAR2(1) DEFAULT '1',
  sifra007 NUMBER(10),
  sifrax31 NUMBER(10),
  app__007 VARCHAR2(3),
  userdef1 VARCHAR2(30),
  wksid107 VARCHAR2(50),
  CONSTRAINT pr107par_pk PRIMARY KEY (sifra107)
);

INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (1, 'aiOrganization', 'Demo d.o.o.', '1', 1, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (2, 'aiAddress', 'Glavna cesta 1', '1', 1, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (3, 'aiCity', '1000 Ljubljana', '1', 1, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (4, 'aiPhone', '01 234 56 78', '1', 1, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (5, 'aiOrganizationBPI', '12345', '1', 1, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007, userdef1) VALUES (6, 'aiLockingMode', 'O', '1', 2, 0, 'KAD', 'ANA');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007, userdef1) VALUES (7, 'aiLockingMode', 'P', '1', 2, 0, 'KAD', 'BOR');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (8, 'LockEnabled', 'FALSE', '1', 3, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (9, 'AlarmEnabled', 'FALSE', '1', 3, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (10, 'aiLockingDurationTime', '30', '1', 3, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (11, 'aiLockingCleaningPeriod', '60', '1', 3, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (12, 'aiLockingPreserveLocks', 'FALSE', '1', 3, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (13, 'Auditing', 'FALSE', '1', 4, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (14, 'LogDirPath', 'NUVO_LOG_DIR', '1', 5, 0, 'SYS');
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (15, 'aiZZZSRegistration', 'DEMO', '1', 1, 0, 'SYS');
-- An inactive row: read by key it still gives its value, among active rows it is not seen.
INSERT INTO kade.pr107par (sifra107, attr_007, val1_107, stat_107, sifra007, sifrax31, app__007) VALUES (16, 'aiOldSetting', 'OLD', '0', 1, 0, 'SYS');

CREATE PUBLIC SYNONYM pr107par FOR kade.pr107par;
-- Everyone reads the parameters; READ, unlike SELECT, lets nobody lock them.
GRANT READ ON kade.pr107par TO PUBLIC;

-- Application users. USERADMI 1 lets a user outside the application schemas use the tool.
CREATE TABLE kade.isec_users (
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

INSERT INTO kade.isec_users (user__id, username, userpswd, userdef1, userdef2, useraccc, userenab, useradmi) VALUES (1, 'KADE', NULL, 'KADE', 'Application owner', 0, 1, 1);
INSERT INTO kade.isec_users (user__id, username, userpswd, userdef1, userdef2, useraccc, userenab, useradmi) VALUES (2, 'ANA', NULL, 'ANA', 'Administrator', 0, 1, 1);
INSERT INTO kade.isec_users (user__id, username, userpswd, userdef1, userdef2, useraccc, userenab, useradmi) VALUES (3, 'BOR', NULL, 'BOR', 'Clerk', 0, 1, 0);

GRANT READ ON kade.isec_users TO PUBLIC;

-- The audit server's parameters.
CREATE TABLE kade.audit_params (
  param_name VARCHAR2(30) NOT NULL,
  param_value VARCHAR2(100),
  CONSTRAINT audit_params_pk PRIMARY KEY (param_name)
);

INSERT INTO kade.audit_params (param_name, param_value) VALUES ('AUDIT_DAYS', '90');
INSERT INTO kade.audit_params (param_name, param_value) VALUES ('AUDIT_TABLES', 'ISEC_USERS,PR107PAR');

-- The database users of the demo application users: ANA may use the tool, BOR may not.
CREATE USER ana IDENTIFIED BY ana;
GRANT CREATE SESSION TO ana;
CREATE USER bor IDENTIFIED BY bor;
GRANT CREATE SESSION TO bor;
