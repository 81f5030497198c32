--------------------------------------------------------------------------------
-- Event log: a small logging library for PL/SQL applications.
-- Install as the owner of the library:  @event_log.sql
--------------------------------------------------------------------------------
SET DEFINE OFF
SET SERVEROUTPUT ON SIZE UNLIMITED
PROMPT Event log: installing

ALTER SESSION SET PLSQL_CCFLAGS = 'evl_debug:false, evl_trace_level:2';

PROMPT ... types
CREATE OR REPLACE TYPE evl_param FORCE AS OBJECT (
  name  VARCHAR2(30),
  value VARCHAR2(4000),
  CONSTRUCTOR FUNCTION evl_param(name VARCHAR2) RETURN SELF AS RESULT,
  MEMBER FUNCTION as_text RETURN VARCHAR2
);
/
CREATE OR REPLACE TYPE BODY evl_param AS
  CONSTRUCTOR FUNCTION evl_param(name VARCHAR2) RETURN SELF AS RESULT IS
  BEGIN
    SELF.name := name;
    SELF.value := NULL;
    RETURN;
  END;

  MEMBER FUNCTION as_text RETURN VARCHAR2 IS
  BEGIN
    RETURN name || '=' || NVL(value, 'NULL');
  END;
END;
/
CREATE OR REPLACE TYPE evl_params AS TABLE OF evl_param;
/

PROMPT ... tables
CREATE TABLE evl_levels (
  level_id   NUMBER(2)    CONSTRAINT evl_levels_pk PRIMARY KEY,
  level_name VARCHAR2(10) CONSTRAINT evl_levels_name_nn NOT NULL,
  CONSTRAINT evl_levels_uk UNIQUE (level_name)
);

CREATE TABLE evl_entries (
  id           NUMBER GENERATED ALWAYS AS IDENTITY (START WITH 1 INCREMENT BY 1)
                 CONSTRAINT evl_entries_pk PRIMARY KEY,
  logged_at    TIMESTAMP(6) DEFAULT SYSTIMESTAMP CONSTRAINT evl_entries_at_nn NOT NULL,
  level_id     NUMBER(2) CONSTRAINT evl_entries_level_fk REFERENCES evl_levels (level_id),
  scope        VARCHAR2(100),
  text         VARCHAR2(4000),
  params       VARCHAR2(4000),
  logged_by    VARCHAR2(30) DEFAULT USER
)
PCTFREE 10 TABLESPACE users
PARTITION BY RANGE (logged_at) (
  PARTITION evl_p2023 VALUES LESS THAN (TIMESTAMP '2024-01-01 00:00:00'),
  PARTITION evl_p2024 VALUES LESS THAN (TIMESTAMP '2025-01-01 00:00:00'),
  PARTITION evl_pmax  VALUES LESS THAN (MAXVALUE)
);

CREATE INDEX evl_entries_at_ix ON evl_entries (logged_at, level_id);

COMMENT ON TABLE evl_entries IS 'Entries of the event log';
COMMENT ON COLUMN evl_entries.logged_at IS q'[When the entry was written (the session's clock, to the microsecond)]';

CREATE TABLE evl_prefs (
  pref_name  VARCHAR2(30) CONSTRAINT evl_prefs_pk PRIMARY KEY,
  pref_value VARCHAR2(255),
  changed_at TIMESTAMP(3) DEFAULT LOCALTIMESTAMP
);

INSERT INTO evl_levels (level_id, level_name) VALUES (1, 'ERROR');
INSERT INTO evl_levels (level_id, level_name) VALUES (2, 'WARNING');
INSERT INTO evl_levels (level_id, level_name) VALUES (3, 'INFO');
INSERT INTO evl_levels (level_id, level_name) VALUES (4, 'DEBUG');
INSERT INTO evl_prefs (pref_name, pref_value) VALUES ('LEVEL', 'INFO');
INSERT INTO evl_prefs (pref_name, pref_value) VALUES ('TIME_FORMAT', q'{YYYY-MM-DD"T"HH24:MI:SS.FF3}');
COMMIT;

PROMPT ... packages
CREATE OR REPLACE PACKAGE evl AUTHID DEFINER AS
  c_version CONSTANT VARCHAR2(10) := '2.1.0';

  c_error   CONSTANT PLS_INTEGER := 1;
  c_warning CONSTANT PLS_INTEGER := 2;
  c_info    CONSTANT PLS_INTEGER := 3;
  c_debug   CONSTANT PLS_INTEGER := 4;

$IF DBMS_DB_VERSION.VERSION >= 12 $THEN
  c_text_max CONSTANT PLS_INTEGER := 32767;
$ELSE
  c_text_max CONSTANT PLS_INTEGER := 4000;
$END

  SUBTYPE scope_t IS VARCHAR2(100);

  PROCEDURE log(p_level PLS_INTEGER, p_text VARCHAR2, p_scope scope_t DEFAULT NULL,
                p_params evl_params DEFAULT NULL);
  PROCEDURE error(p_text VARCHAR2, p_scope scope_t DEFAULT NULL);
  PROCEDURE info(p_text VARCHAR2, p_scope scope_t DEFAULT NULL, p_params evl_params DEFAULT NULL);
  PROCEDURE debug(p_text VARCHAR2, p_scope scope_t DEFAULT NULL);

  FUNCTION level_of(p_name VARCHAR2) RETURN PLS_INTEGER;
  FUNCTION format_time(p_at TIMESTAMP) RETURN VARCHAR2;
  FUNCTION seconds_between(p_from TIMESTAMP, p_to TIMESTAMP) RETURN NUMBER;
  FUNCTION purge(p_before TIMESTAMP) RETURN PLS_INTEGER;
  FUNCTION is_valid_scope(p_scope VARCHAR2) RETURN BOOLEAN;
END evl;
/
CREATE OR REPLACE PACKAGE BODY evl AS
  g_level PLS_INTEGER;
  g_time_format evl_prefs.pref_value%TYPE;

  FUNCTION pref(p_name VARCHAR2) RETURN VARCHAR2 IS
    l_value evl_prefs.pref_value%TYPE;
  BEGIN
    SELECT pref_value INTO l_value FROM evl_prefs WHERE pref_name = UPPER(p_name);
    RETURN l_value;
  EXCEPTION
    WHEN NO_DATA_FOUND THEN
      RETURN NULL;
  END pref;

  FUNCTION level_of(p_name VARCHAR2) RETURN PLS_INTEGER IS
    l_id evl_levels.level_id%TYPE;
  BEGIN
    SELECT level_id INTO l_id FROM evl_levels WHERE level_name = UPPER(p_name);
    RETURN l_id;
  EXCEPTION
    WHEN NO_DATA_FOUND THEN
      RETURN NULL;
  END level_of;

  FUNCTION params_text(p_params evl_params) RETURN VARCHAR2 IS
    l_text VARCHAR2(4000);
  BEGIN
    IF p_params IS NULL THEN
      RETURN NULL;
    END IF;
    FOR i IN 1 .. p_params.COUNT LOOP
      l_text := l_text || CASE WHEN i > 1 THEN ', ' END || p_params(i).as_text();
    END LOOP;
    RETURN l_text;
  END params_text;

  FUNCTION is_valid_scope(p_scope VARCHAR2) RETURN BOOLEAN IS
  BEGIN
    RETURN p_scope IS NULL OR REGEXP_LIKE(p_scope, '^[a-z_][a-z0-9_.]*$', 'i');
  END is_valid_scope;

  PROCEDURE log(p_level PLS_INTEGER, p_text VARCHAR2, p_scope scope_t DEFAULT NULL,
                p_params evl_params DEFAULT NULL) IS
  BEGIN
    $IF $$evl_debug $THEN
    DBMS_OUTPUT.PUT_LINE('evl.log ' || p_level || ' ' || p_text);
    $END
    IF p_level > g_level THEN
      RETURN;
    END IF;
    IF NOT is_valid_scope(p_scope) THEN
      RAISE_APPLICATION_ERROR(-20001, 'Invalid scope: ' || p_scope);
    END IF;
    INSERT INTO evl_entries (level_id, scope, text, params)
    VALUES (p_level, p_scope, SUBSTR(p_text, 1, 4000), params_text(p_params));
  END log;

  PROCEDURE error(p_text VARCHAR2, p_scope scope_t DEFAULT NULL) IS
  BEGIN
    log(c_error, p_text, p_scope);
  END error;

  PROCEDURE info(p_text VARCHAR2, p_scope scope_t DEFAULT NULL, p_params evl_params DEFAULT NULL) IS
  BEGIN
    log(c_info, p_text, p_scope, p_params);
  END info;

  PROCEDURE debug(p_text VARCHAR2, p_scope scope_t DEFAULT NULL) IS
  BEGIN
    log(c_debug, p_text, p_scope);
  END debug;

  FUNCTION format_time(p_at TIMESTAMP) RETURN VARCHAR2 IS
  BEGIN
    RETURN TO_CHAR(p_at, g_time_format);
  END format_time;

  FUNCTION seconds_between(p_from TIMESTAMP, p_to TIMESTAMP) RETURN NUMBER IS
  BEGIN
    RETURN (CAST(p_to AS DATE) - CAST(p_from AS DATE)) * 86400
           + (EXTRACT(SECOND FROM p_to) - TRUNC(EXTRACT(SECOND FROM p_to)))
           - (EXTRACT(SECOND FROM p_from) - TRUNC(EXTRACT(SECOND FROM p_from)));
  END seconds_between;

  FUNCTION purge(p_before TIMESTAMP) RETURN PLS_INTEGER IS
  BEGIN
    DELETE FROM evl_entries WHERE logged_at < p_before;
    RETURN SQL%ROWCOUNT;
  END purge;

BEGIN
  g_level := NVL(level_of(pref('LEVEL')), c_debug);
  g_time_format := NVL(pref('TIME_FORMAT'), 'YYYY-MM-DD HH24:MI:SS.FF');
END evl;
/

PROMPT ... views
CREATE OR REPLACE VIEW evl_recent AS
  SELECT e.id, l.level_name, e.logged_at, e.scope, e.text
    FROM evl_entries e
    JOIN evl_levels l ON l.level_id = e.level_id;

CREATE MATERIALIZED VIEW evl_daily_mv
  BUILD IMMEDIATE
  REFRESH COMPLETE ON DEMAND
AS
  SELECT TRUNC(logged_at) AS day, level_id, COUNT(*) AS entries
    FROM evl_entries
   GROUP BY TRUNC(logged_at), level_id;

PROMPT ... triggers
CREATE OR REPLACE TRIGGER evl_entries_bi
  BEFORE INSERT ON evl_entries
  FOR EACH ROW
BEGIN
  :NEW.scope := NVL(:NEW.scope, 'anonymous');
END evl_entries_bi;
/

ALTER PACKAGE evl COMPILE;
ALTER PACKAGE evl COMPILE BODY;

PROMPT Event log: installed
