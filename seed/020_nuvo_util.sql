-- The tool's own schema NUVO_UTIL: program parameters and the installations of a hosting database.

CREATE TABLE nuvo_util.velmorasys (
  syssprem VARCHAR2(30) NOT NULL,
  sysvred VARCHAR2(100),
  sysopis VARCHAR2(200),
  CONSTRAINT velmorasys_pk PRIMARY KEY (syssprem)
);

INSERT INTO nuvo_util.velmorasys (syssprem, sysvred, sysopis) VALUES ('DemoDatabase', 'D', 'This database is the demo database');

GRANT SELECT ON nuvo_util.velmorasys TO PUBLIC;
-- The tool's users keep the system parameters from the settings window's Special page.
GRANT INSERT, UPDATE ON nuvo_util.velmorasys TO kade;
GRANT INSERT, UPDATE ON nuvo_util.velmorasys TO zozuro;
GRANT INSERT, UPDATE ON nuvo_util.velmorasys TO ana;

CREATE TABLE nuvo_util.nuvo_instalations (
  userindex NUMBER(10) NOT NULL,
  username VARCHAR2(40),
  fullname VARCHAR2(40),
  instance VARCHAR2(20),
  user_kade VARCHAR2(20),
  pass_kade VARCHAR2(20),
  user_zozuro VARCHAR2(20),
  pass_zozuro VARCHAR2(20),
  lastscriptdate DATE,
  lastscriptstatus VARCHAR2(1),
  lastscripterrors NUMBER(10),
  CONSTRAINT nuvo_instalations_pk PRIMARY KEY (userindex)
);

INSERT INTO nuvo_util.nuvo_instalations (userindex, username, fullname, instance, user_kade, pass_kade, user_zozuro, pass_zozuro) VALUES (1, 'IZAS1', 'First hosted installation', 'DEMO', 'IZAS1', 'IZAS1', 'FZAS1', 'FZAS1');
INSERT INTO nuvo_util.nuvo_instalations (userindex, username, fullname, instance, user_kade, pass_kade, user_zozuro, pass_zozuro) VALUES (2, 'IZAS2', 'Second hosted installation', 'DEMO', 'IZAS2', 'IZAS2', 'FZAS2', 'FZAS2');

CREATE TABLE nuvo_util.nuvo_inst_users (
  userindex NUMBER(10) NOT NULL,
  username VARCHAR2(30) NOT NULL,
  CONSTRAINT nuvo_inst_users_pk PRIMARY KEY (username)
);

INSERT INTO nuvo_util.nuvo_inst_users (userindex, username) VALUES (1, 'ANA');
INSERT INTO nuvo_util.nuvo_inst_users (userindex, username) VALUES (2, 'BOR');

GRANT SELECT ON nuvo_util.nuvo_instalations TO PUBLIC;
GRANT READ ON nuvo_util.nuvo_inst_users TO PUBLIC;
