-- The schemas of the two installations hosted in the demo database (NUVO_UTIL.NUVO_INSTALATIONS):
-- IZAS1/FZAS1 and IZAS2/FZAS2, each an administrator of the tool, so an unattended run can log on
-- to every installation and record its last script status.

CREATE USER izas1 IDENTIFIED BY izas1;
CREATE USER fzas1 IDENTIFIED BY fzas1;
CREATE USER izas2 IDENTIFIED BY izas2;
CREATE USER fzas2 IDENTIFIED BY fzas2;
GRANT CREATE SESSION, CREATE TABLE, SELECT ANY DICTIONARY TO izas1;
GRANT CREATE SESSION, CREATE TABLE, SELECT ANY DICTIONARY TO fzas1;
GRANT CREATE SESSION, CREATE TABLE, SELECT ANY DICTIONARY TO izas2;
GRANT CREATE SESSION, CREATE TABLE, SELECT ANY DICTIONARY TO fzas2;
GRANT nuvo_exs_writer TO izas1, fzas1, izas2, fzas2;

INSERT INTO kade.isec_users (user__id, username, userpswd, userdef1, userdef2, useraccc, userenab, useradmi) VALUES (11, 'IZAS1', NULL, 'IZAS1', 'Installation 1', 0, 1, 1);
INSERT INTO kade.isec_users (user__id, username, userpswd, userdef1, userdef2, useraccc, userenab, useradmi) VALUES (12, 'FZAS1', NULL, 'FZAS1', 'Installation 1', 0, 1, 1);
INSERT INTO kade.isec_users (user__id, username, userpswd, userdef1, userdef2, useraccc, userenab, useradmi) VALUES (21, 'IZAS2', NULL, 'IZAS2', 'Installation 2', 0, 1, 1);
INSERT INTO kade.isec_users (user__id, username, userpswd, userdef1, userdef2, useraccc, userenab, useradmi) VALUES (22, 'FZAS2', NULL, 'FZAS2', 'Installation 2', 0, 1, 1);
COMMIT;

-- The runner records each installation's last script status from that installation's session.
GRANT UPDATE ON nuvo_util.nuvo_instalations TO PUBLIC;

-- The audit database's link name, set when the audit server is set up (empty until then).
ALTER TABLE kade.audit_params ADD (dblink_n VARCHAR2(30));
