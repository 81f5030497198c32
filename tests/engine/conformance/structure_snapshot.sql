# What a structure snapshot is built from: column types as the dictionary gives them, system-named
# constraints, index columns, trigger and source texts by line, and package state that lives from
# one call of a session to the next (a function's empty string reaches the caller as NULL).
CREATE TABLE s_t (id NUMBER(10) CONSTRAINT pk_s_t PRIMARY KEY, name VARCHAR2(30) NOT NULL,
  amount NUMBER(10,2) DEFAULT 0, code CHAR(2), note VARCHAR2(10 CHAR), n INTEGER);
CREATE INDEX s_t_i ON s_t (name, id);
SELECT column_name, data_type, data_length, char_length, data_precision, data_scale, nullable, data_default
  FROM user_tab_columns WHERE table_name = 'S_T' ORDER BY column_id;
> COLUMN_NAME,DATA_TYPE,DATA_LENGTH,CHAR_LENGTH,DATA_PRECISION,DATA_SCALE,NULLABLE,DATA_DEFAULT
> ID,NUMBER,22,0,10,0,N,
> NAME,VARCHAR2,30,30,,,N,
> AMOUNT,NUMBER,22,0,10,2,Y,0
> CODE,CHAR,2,2,,,Y,
> NOTE,VARCHAR2,40,10,,,Y,
> N,NUMBER,22,0,,0,Y,
SELECT constraint_type, search_condition, generated FROM user_constraints
 WHERE table_name = 'S_T' AND constraint_name LIKE 'SYS\_%' ESCAPE '\';
> CONSTRAINT_TYPE,SEARCH_CONDITION,GENERATED
> C,"""NAME"" IS NOT NULL",GENERATED NAME
SELECT index_name, uniqueness FROM user_indexes
 WHERE table_name = 'S_T' AND index_name NOT LIKE 'SYS\_%' ESCAPE '\' ORDER BY index_name;
> INDEX_NAME,UNIQUENESS
> PK_S_T,UNIQUE
> S_T_I,NONUNIQUE
CREATE OR REPLACE TRIGGER s_t_trg BEFORE INSERT OR UPDATE ON s_t FOR EACH ROW
BEGIN
  :new.code := 'AB';
END;
/
SELECT trigger_type, triggering_event, table_name, status, REPLACE(trigger_body, CHR(10), '|') AS body
  FROM user_triggers WHERE trigger_name = 'S_T_TRG';
> TRIGGER_TYPE,TRIGGERING_EVENT,TABLE_NAME,STATUS,BODY
> BEFORE EACH ROW,INSERT OR UPDATE,S_T,ENABLED,BEGIN|  :new.code := 'AB';|END;
CREATE OR REPLACE PACKAGE s_state AS
  FUNCTION next_line RETURN VARCHAR2;
END s_state;
/
CREATE OR REPLACE PACKAGE BODY s_state AS
  g_n PLS_INTEGER := 0;
  FUNCTION next_line RETURN VARCHAR2 IS
  BEGIN
    g_n := g_n + 1;
    IF g_n = 2 THEN
      RETURN '';
    END IF;
    RETURN 'L' || g_n;
  END next_line;
END s_state;
/
# Every line of a source text ends with its line feed, except a last line written without one.
SELECT line, REPLACE(text, CHR(10), '<LF>') AS text FROM user_source WHERE name = 'S_STATE' AND type = 'PACKAGE' ORDER BY line;
> LINE,TEXT
> 1,PACKAGE s_state AS<LF>
> 2,  FUNCTION next_line RETURN VARCHAR2;<LF>
> 3,END s_state;
SELECT NVL(s_state.next_line, 'null') AS a FROM dual;
> A
> L1
SELECT NVL(s_state.next_line, 'null') AS a FROM dual;
> A
> null
SELECT NVL(s_state.next_line, 'null') AS a FROM dual;
> A
> L3
