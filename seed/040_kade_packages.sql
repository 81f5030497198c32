-- The application's logging context and user check as the tool calls them: the session's
-- application user (pckLogParam) and the validity of an application user (pckNuvoLog).
-- Created from KADE's own schema; the session returns to SYS at the end.

ALTER SESSION SET CURRENT_SCHEMA = kade;

CREATE OR REPLACE PACKAGE pcklogparam AS
  -- Sets the application user of this session.
  PROCEDURE initparam(p_user VARCHAR2);
  -- The application user of this session, NULL when none was set.
  FUNCTION getuser RETURN VARCHAR2;
  -- 'D' when the large rollback segment may be switched.
  FUNCTION canuselargerb RETURN VARCHAR2;
END pcklogparam;
/

CREATE OR REPLACE PACKAGE BODY pcklogparam AS
  g_user VARCHAR2(30);

  PROCEDURE initparam(p_user VARCHAR2) IS
  BEGIN
    g_user := p_user;
  END initparam;

  FUNCTION getuser RETURN VARCHAR2 IS
  BEGIN
    RETURN g_user;
  END getuser;

  FUNCTION canuselargerb RETURN VARCHAR2 IS
  BEGIN
    RETURN 'D';
  END canuselargerb;
END pcklogparam;
/

CREATE OR REPLACE PACKAGE pcknuvolog AS
  -- 1 when the application user exists and is enabled, else 0.
  FUNCTION userisvalid(p_user VARCHAR2) RETURN NUMBER;
END pcknuvolog;
/

CREATE OR REPLACE PACKAGE BODY pcknuvolog AS
  FUNCTION userisvalid(p_user VARCHAR2) RETURN NUMBER IS
    v_count NUMBER;
  BEGIN
    SELECT COUNT(*) INTO v_count FROM kade.isec_users WHERE userdef1 = p_user AND userenab = 1;
    IF v_count > 0 THEN
      RETURN 1;
    END IF;
    RETURN 0;
  END userisvalid;
END pcknuvolog;
/

GRANT EXECUTE ON kade.pcklogparam TO PUBLIC;
GRANT EXECUTE ON kade.pcknuvolog TO PUBLIC;

ALTER SESSION SET CURRENT_SCHEMA = sys;
