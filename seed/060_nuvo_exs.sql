-- The statement table of the script executor: one row per stored statement of an upgrade script,
-- with its status (N stored, X executed, E failed, D set aside) and the error of its last run.
-- SCRIPT_OWNER and SCRIPT_DATE are optional for the tool; this database has both.

CREATE TABLE nuvo_util.nuvo_exs (
  script_name VARCHAR2(30) NOT NULL,
  script_counter NUMBER(10) NOT NULL,
  script_stat VARCHAR2(1),
  script_cont LONG,
  script_err VARCHAR2(2000),
  script_owner VARCHAR2(30),
  script_date DATE
);

CREATE INDEX nuvo_util.nuvo_ex1 ON nuvo_util.nuvo_exs (script_name, script_counter);

-- Only the tool's users write the statement table, through a role: a row another user planted could
-- mark a future script executed or hand its statements to whoever runs it next. Others may read it.
CREATE ROLE nuvo_exs_writer;
GRANT SELECT, INSERT, UPDATE, DELETE ON nuvo_util.nuvo_exs TO nuvo_exs_writer;
GRANT nuvo_exs_writer TO kade, zozuro, ana;
GRANT READ ON nuvo_util.nuvo_exs TO PUBLIC;

-- 'T' when the text of the row holds the filter (ignoring case), else 'F'. Created from the
-- utility schema's own session; the session returns to SYS at the end.
ALTER SESSION SET CURRENT_SCHEMA = nuvo_util;

-- The text is compared where it is stored, not in a PL/SQL variable (at most 32,767 characters),
-- so that statements of any length answer: a large package body must not make every text filter
-- of the table fail.
CREATE OR REPLACE FUNCTION getMemoFiltExs(p_rowid IN ROWID, p_filter IN VARCHAR2) RETURN VARCHAR2 IS
  v_found NUMBER;
BEGIN
  SELECT count(*) INTO v_found FROM nuvo_util.nuvo_exs
   WHERE rowid = p_rowid AND instr(upper(script_cont), upper(p_filter)) > 0;
  IF v_found > 0 THEN
    RETURN 'T';
  END IF;
  RETURN 'F';
END;
/

ALTER SESSION SET CURRENT_SCHEMA = sys;

GRANT EXECUTE ON nuvo_util.getMemoFiltExs TO PUBLIC;
