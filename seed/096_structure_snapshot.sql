-- Structure snapshots: GETALLSTRUCTURE(owner, name pattern, type) collects the lines of a snapshot
-- of the owner's objects in the package's session state; GETFROMTABLE then hands them out one per
-- call and answers 'NULL' once none is left.
--
-- A snapshot is a header line "###TYPE#NAME#" per object, followed by its body, and the end line
-- "###END##". A table's body is one line per column (name, type, NOT NULL, DEFAULT), then "#CON"
-- and a line per constraint, then "#IND" and a line per index (name, columns, UNIQUE for a unique
-- index). Other objects carry their definition or source text. Objects come by type, then name;
-- columns in table order, constraints and indexes by name. System-named indexes and sequences are
-- no objects of their own here: their names differ from one database to the next. No body line
-- ever holds "###", and no line is the bare word NULL, so neither can pass for a header or the end.

ALTER SESSION SET CURRENT_SCHEMA = nuvo_util;

CREATE OR REPLACE PACKAGE pckstrukture AS
  PROCEDURE getallstructure(p_owner VARCHAR2, p_pattern VARCHAR2, p_type VARCHAR2);
  FUNCTION getfromtable RETURN VARCHAR2;
END pckstrukture;
/

CREATE OR REPLACE PACKAGE BODY pckstrukture AS
  TYPE t_lines IS TABLE OF VARCHAR2(32767) INDEX BY PLS_INTEGER;
  g_lines t_lines;
  g_count PLS_INTEGER := 0;
  g_next PLS_INTEGER := 1;

  PROCEDURE put(p_line VARCHAR2) IS
    v_line VARCHAR2(32767) := p_line;
  BEGIN
    g_count := g_count + 1;
    g_lines(g_count) := v_line;
  END put;

  -- A body line: "###" is broken up, and a bare NULL gets a trailing blank.
  PROCEDURE put_body(p_line VARCHAR2) IS
    v_line VARCHAR2(32767) := REPLACE(p_line, CHR(13));
  BEGIN
    WHILE INSTR(v_line, '###') > 0 LOOP
      v_line := REPLACE(v_line, '###', '# #');
    END LOOP;
    IF v_line = 'NULL' THEN
      v_line := 'NULL ';
    END IF;
    put(v_line);
  END put_body;

  -- A text of several lines, one body line each; a final line break adds no empty line.
  PROCEDURE put_text(p_text CLOB) IS
    v_start PLS_INTEGER := 1;
    v_end PLS_INTEGER;
    v_length PLS_INTEGER := NVL(LENGTH(p_text), 0);
  BEGIN
    WHILE v_start <= v_length LOOP
      v_end := INSTR(p_text, CHR(10), v_start);
      IF v_end = 0 THEN
        v_end := v_length + 1;
      END IF;
      put_body(SUBSTR(p_text, v_start, v_end - v_start));
      v_start := v_end + 1;
    END LOOP;
  END put_text;

  FUNCTION wanted(p_wanted VARCHAR2, p_type VARCHAR2) RETURN BOOLEAN IS
  BEGIN
    RETURN p_wanted IS NULL OR p_wanted = p_type;
  END wanted;

  FUNCTION one_line(p_text VARCHAR2) RETURN VARCHAR2 IS
  BEGIN
    RETURN TRIM(REPLACE(REPLACE(p_text, CHR(13), ' '), CHR(10), ' '));
  END one_line;

  FUNCTION column_type(p_type VARCHAR2, p_length NUMBER, p_char_length NUMBER, p_precision NUMBER,
                       p_scale NUMBER) RETURN VARCHAR2 IS
  BEGIN
    IF p_type IN ('VARCHAR2', 'NVARCHAR2', 'CHAR', 'NCHAR') THEN
      RETURN p_type || '(' || NVL(NULLIF(p_char_length, 0), p_length) || ')';
    ELSIF p_type = 'RAW' THEN
      RETURN p_type || '(' || p_length || ')';
    ELSIF p_type = 'NUMBER' AND p_precision IS NOT NULL THEN
      IF NVL(p_scale, 0) = 0 THEN
        RETURN 'NUMBER(' || p_precision || ')';
      END IF;
      RETURN 'NUMBER(' || p_precision || ',' || p_scale || ')';
    ELSIF p_type = 'NUMBER' AND p_scale = 0 THEN
      RETURN 'INTEGER';
    END IF;
    RETURN p_type;
  END column_type;

  FUNCTION constraint_columns(p_owner VARCHAR2, p_name VARCHAR2) RETURN VARCHAR2 IS
    v_list VARCHAR2(32767);
  BEGIN
    FOR c IN (SELECT column_name FROM dba_cons_columns WHERE owner = p_owner AND constraint_name = p_name
              ORDER BY position) LOOP
      v_list := v_list || CASE WHEN v_list IS NOT NULL THEN ',' END || c.column_name;
    END LOOP;
    RETURN '(' || v_list || ')';
  END constraint_columns;

  FUNCTION index_columns(p_owner VARCHAR2, p_name VARCHAR2) RETURN VARCHAR2 IS
    v_list VARCHAR2(32767);
  BEGIN
    FOR c IN (SELECT column_name, descend FROM dba_ind_columns WHERE index_owner = p_owner AND index_name = p_name
              ORDER BY column_position) LOOP
      v_list := v_list || CASE WHEN v_list IS NOT NULL THEN ',' END || c.column_name
                || CASE WHEN c.descend = 'DESC' THEN ' DESC' END;
    END LOOP;
    RETURN '(' || v_list || ')';
  END index_columns;

  PROCEDURE put_table(p_owner VARCHAR2, p_table VARCHAR2) IS
    v_line VARCHAR2(32767);
  BEGIN
    put('###TABLE#' || p_table || '#');
    FOR c IN (SELECT column_name, data_type, data_length, char_length, data_precision, data_scale, nullable,
                     data_default
                FROM dba_tab_columns WHERE owner = p_owner AND table_name = p_table ORDER BY column_id) LOOP
      v_line := c.column_name || ' '
                || column_type(c.data_type, c.data_length, c.char_length, c.data_precision, c.data_scale);
      IF c.nullable = 'N' THEN
        v_line := v_line || ' NOT NULL';
      END IF;
      IF TRIM(c.data_default) IS NOT NULL THEN
        v_line := v_line || ' DEFAULT ' || one_line(c.data_default);
      END IF;
      put_body(v_line);
    END LOOP;
    put('#CON');
    FOR c IN (SELECT constraint_name, constraint_type, search_condition, r_owner, r_constraint_name, delete_rule,
                     status
                FROM dba_constraints WHERE owner = p_owner AND table_name = p_table
               ORDER BY constraint_name) LOOP
      v_line := c.constraint_name || ' ';
      IF c.constraint_type = 'P' THEN
        v_line := v_line || 'PRIMARY KEY ' || constraint_columns(p_owner, c.constraint_name);
      ELSIF c.constraint_type = 'U' THEN
        v_line := v_line || 'UNIQUE ' || constraint_columns(p_owner, c.constraint_name);
      ELSIF c.constraint_type = 'R' THEN
        v_line := v_line || 'FOREIGN KEY ' || constraint_columns(p_owner, c.constraint_name) || ' REFERENCES '
                  || CASE WHEN c.r_owner <> p_owner THEN c.r_owner || '.' END || c.r_constraint_name;
        IF c.delete_rule IS NOT NULL AND c.delete_rule <> 'NO ACTION' THEN
          v_line := v_line || ' ON DELETE ' || c.delete_rule;
        END IF;
      ELSIF c.constraint_type = 'C' THEN
        v_line := v_line || 'CHECK (' || one_line(c.search_condition) || ')';
      ELSE
        v_line := v_line || c.constraint_type;
      END IF;
      IF c.status = 'DISABLED' THEN
        v_line := v_line || ' DISABLED';
      END IF;
      put_body(v_line);
    END LOOP;
    put('#IND');
    FOR i IN (SELECT index_name, uniqueness FROM dba_indexes WHERE table_owner = p_owner AND table_name = p_table
              ORDER BY index_name) LOOP
      put_body(i.index_name || ' ' || index_columns(p_owner, i.index_name)
               || CASE WHEN i.uniqueness = 'UNIQUE' THEN ' UNIQUE' END);
    END LOOP;
  END put_table;

  PROCEDURE getallstructure(p_owner VARCHAR2, p_pattern VARCHAR2, p_type VARCHAR2) IS
    v_owner VARCHAR2(128) := UPPER(TRIM(p_owner));
    v_pattern VARCHAR2(4000) := NVL(UPPER(TRIM(p_pattern)), '%');
    v_type VARCHAR2(30) := UPPER(TRIM(p_type));
  BEGIN
    g_lines.DELETE;
    g_count := 0;
    g_next := 1;
    IF v_type = 'ALL' THEN
      v_type := NULL;
    END IF;
    IF wanted(v_type, 'TABLE') THEN
      FOR t IN (SELECT table_name FROM dba_tables WHERE owner = v_owner AND table_name LIKE v_pattern
                ORDER BY table_name) LOOP
        put_table(v_owner, t.table_name);
      END LOOP;
    END IF;
    IF wanted(v_type, 'VIEW') THEN
      FOR v IN (SELECT view_name, text FROM dba_views WHERE owner = v_owner AND view_name LIKE v_pattern
                ORDER BY view_name) LOOP
        put('###VIEW#' || v.view_name || '#');
        put_text(v.text);
      END LOOP;
    END IF;
    IF wanted(v_type, 'INDEX') THEN
      FOR i IN (SELECT index_name, table_name, uniqueness FROM dba_indexes
                 WHERE owner = v_owner AND index_name LIKE v_pattern AND index_name NOT LIKE 'SYS\_%' ESCAPE '\'
                 ORDER BY index_name) LOOP
        put('###INDEX#' || i.index_name || '#');
        put_body(i.table_name || ' ' || index_columns(v_owner, i.index_name) || ' ' || i.uniqueness);
      END LOOP;
    END IF;
    IF wanted(v_type, 'SEQUENCE') THEN
      FOR s IN (SELECT sequence_name, min_value, max_value, increment_by, cycle_flag, order_flag, cache_size
                  FROM dba_sequences WHERE sequence_owner = v_owner AND sequence_name LIKE v_pattern
                   AND sequence_name NOT LIKE 'ISEQ$$%'
                 ORDER BY sequence_name) LOOP
        put('###SEQUENCE#' || s.sequence_name || '#');
        put_body('INCREMENT BY ' || s.increment_by || ' MINVALUE ' || s.min_value || ' MAXVALUE ' || s.max_value
                 || ' CYCLE ' || s.cycle_flag || ' ORDER ' || s.order_flag || ' CACHE ' || s.cache_size);
      END LOOP;
    END IF;
    IF wanted(v_type, 'TRIGGER') THEN
      FOR t IN (SELECT trigger_name, trigger_type, triggering_event, table_owner, table_name, status, when_clause,
                       trigger_body
                  FROM dba_triggers WHERE owner = v_owner AND trigger_name LIKE v_pattern
                 ORDER BY trigger_name) LOOP
        put('###TRIGGER#' || t.trigger_name || '#');
        put_body(t.trigger_type || ' ' || t.triggering_event || ' ON '
                 || CASE WHEN t.table_owner <> v_owner THEN t.table_owner || '.' END || t.table_name || ' '
                 || t.status);
        IF t.when_clause IS NOT NULL THEN
          put_body('WHEN (' || one_line(t.when_clause) || ')');
        END IF;
        put_text(t.trigger_body);
      END LOOP;
    END IF;
    FOR o IN (SELECT object_type, object_name FROM dba_objects
               WHERE owner = v_owner AND object_name LIKE v_pattern
                 AND object_type IN ('PROCEDURE', 'FUNCTION', 'PACKAGE', 'PACKAGE BODY', 'TYPE', 'TYPE BODY')
                 AND (v_type IS NULL OR object_type = v_type)
               ORDER BY DECODE(object_type, 'PROCEDURE', 1, 'FUNCTION', 2, 'PACKAGE', 3, 'PACKAGE BODY', 4,
                               'TYPE', 5, 6), object_name) LOOP
      put('###' || o.object_type || '#' || o.object_name || '#');
      FOR s IN (SELECT text FROM dba_source WHERE owner = v_owner AND name = o.object_name AND type = o.object_type
                ORDER BY line) LOOP
        put_body(RTRIM(s.text, CHR(10)));
      END LOOP;
    END LOOP;
    put('###END##');
  END getallstructure;

  FUNCTION getfromtable RETURN VARCHAR2 IS
    v_line VARCHAR2(32767);
  BEGIN
    IF g_next > g_count THEN
      g_lines.DELETE;
      g_count := 0;
      g_next := 1;
      RETURN 'NULL';
    END IF;
    v_line := g_lines(g_next);
    g_next := g_next + 1;
    RETURN v_line;
  END getfromtable;
END pckstrukture;
/

GRANT EXECUTE ON nuvo_util.pckstrukture TO PUBLIC;

ALTER SESSION SET CURRENT_SCHEMA = sys;
