-- The large rollback segment switch of the tool's Utilities menu: NUVO_UTIL.activateLARGERB puts
-- the named segment ONLINE or OFFLINE. The embedded server has no rollback segments, so the
-- segment's state is kept in a table of NUVO_UTIL; like the statement it stands for, the switch
-- ends the session's transaction.
-- The role DUD: its members that hold the RESTRICTED SESSION privilege themselves may log on while
-- logons are restricted (ANA is one).

CREATE TABLE nuvo_util.nuvo_rollback_segments (
  segment_name VARCHAR2(30) PRIMARY KEY,
  status       VARCHAR2(10) NOT NULL
);
-- Granted before the procedure is compiled: a later grant on the table would invalidate it.
GRANT SELECT ON nuvo_util.nuvo_rollback_segments TO PUBLIC;

ALTER SESSION SET CURRENT_SCHEMA = nuvo_util;

CREATE OR REPLACE PROCEDURE activatelargerb(p_name VARCHAR2, p_mode VARCHAR2) IS
BEGIN
  IF p_mode IS NULL OR p_mode NOT IN ('ONLINE', 'OFFLINE') THEN
    raise_application_error(-20001, 'Mode must be ONLINE or OFFLINE');
  END IF;
  IF p_name IS NULL THEN
    raise_application_error(-20002, 'No rollback segment named');
  END IF;
  UPDATE nuvo_util.nuvo_rollback_segments SET status = p_mode WHERE segment_name = UPPER(p_name);
  IF SQL%ROWCOUNT = 0 THEN
    INSERT INTO nuvo_util.nuvo_rollback_segments (segment_name, status) VALUES (UPPER(p_name), p_mode);
  END IF;
  COMMIT;
END activatelargerb;
/

ALTER SESSION SET CURRENT_SCHEMA = sys;

GRANT EXECUTE ON nuvo_util.activatelargerb TO kade;
GRANT EXECUTE ON nuvo_util.activatelargerb TO ana;
-- The embedded server checks a stored procedure's statements against its caller's privileges, so
-- the callers also need the table's changes.
GRANT INSERT, UPDATE ON nuvo_util.nuvo_rollback_segments TO kade;
GRANT INSERT, UPDATE ON nuvo_util.nuvo_rollback_segments TO ana;

CREATE ROLE dud;
GRANT RESTRICTED SESSION TO dud;
GRANT dud TO ana;
GRANT RESTRICTED SESSION TO ana;
