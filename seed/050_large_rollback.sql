-- Rollback segments and the large rollback segment switch of the tool's Utilities menu. The
-- embedded server has no rollback segments of its own: their names and states are kept in a table
-- of NUVO_UTIL and shown through V$ROLLNAME and V$ROLLSTAT. NUVO_UTIL.activateLARGERB puts the
-- named segment ONLINE and the other public segments OFFLINE, or the reverse; like the ALTER
-- ROLLBACK SEGMENT statements it stands for, it ends the session's transaction.
-- The role DUD: its members that hold the RESTRICTED SESSION privilege themselves may log on while
-- logons are restricted (ANA is one).

CREATE TABLE nuvo_util.nuvo_rollback_segments (
  usn          NUMBER PRIMARY KEY,
  segment_name VARCHAR2(30) NOT NULL UNIQUE,
  status       VARCHAR2(16) NOT NULL
);
INSERT INTO nuvo_util.nuvo_rollback_segments (usn, segment_name, status) VALUES (0, 'SYSTEM', 'ONLINE');
INSERT INTO nuvo_util.nuvo_rollback_segments (usn, segment_name, status) VALUES (1, 'RBS01', 'ONLINE');
INSERT INTO nuvo_util.nuvo_rollback_segments (usn, segment_name, status) VALUES (2, 'LARGERB', 'OFFLINE');
COMMIT;
-- Granted before the procedure is compiled: a later grant on the table would invalidate it.
GRANT SELECT ON nuvo_util.nuvo_rollback_segments TO PUBLIC;

CREATE VIEW sys.v_$rollname AS SELECT usn, segment_name name FROM nuvo_util.nuvo_rollback_segments;
CREATE VIEW sys.v_$rollstat AS SELECT usn, status, 0 xacts FROM nuvo_util.nuvo_rollback_segments;
GRANT SELECT ON sys.v_$rollname TO PUBLIC;
GRANT SELECT ON sys.v_$rollstat TO PUBLIC;
CREATE PUBLIC SYNONYM v$rollname FOR sys.v_$rollname;
CREATE PUBLIC SYNONYM v$rollstat FOR sys.v_$rollstat;

ALTER SESSION SET CURRENT_SCHEMA = nuvo_util;

CREATE OR REPLACE PROCEDURE activatelargerb(p_name VARCHAR2, p_mode VARCHAR2) IS
  v_others VARCHAR2(16);
BEGIN
  IF p_mode IS NULL OR p_mode NOT IN ('ONLINE', 'OFFLINE') THEN
    raise_application_error(-20001, 'Mode must be ONLINE or OFFLINE');
  END IF;
  UPDATE nuvo_util.nuvo_rollback_segments SET status = p_mode
   WHERE segment_name = UPPER(p_name) AND segment_name <> 'SYSTEM';
  IF SQL%ROWCOUNT = 0 THEN
    raise_application_error(-20002, 'rollback segment ''' || p_name || ''' doesn''t exist');
  END IF;
  IF p_mode = 'ONLINE' THEN
    v_others := 'OFFLINE';
  ELSE
    v_others := 'ONLINE';
  END IF;
  UPDATE nuvo_util.nuvo_rollback_segments SET status = v_others
   WHERE segment_name NOT IN (UPPER(p_name), 'SYSTEM');
  COMMIT;
END activatelargerb;
/

ALTER SESSION SET CURRENT_SCHEMA = sys;

GRANT EXECUTE ON nuvo_util.activatelargerb TO kade;
GRANT EXECUTE ON nuvo_util.activatelargerb TO ana;
-- The embedded server checks a stored procedure's statements against its caller's privileges, so
-- the callers also need the table's changes.
GRANT UPDATE ON nuvo_util.nuvo_rollback_segments TO kade;
GRANT UPDATE ON nuvo_util.nuvo_rollback_segments TO ana;

CREATE ROLE dud;
GRANT RESTRICTED SESSION TO dud;
GRANT dud TO ana;
GRANT RESTRICTED SESSION TO ana;
