-- Which views mention a table: pckNuvoMemo.instrAllViews(owner, view, table) is greater than 0
-- when the text of the view (or materialized view) of an owner matching the pattern names the
-- table as a whole word, ignoring case. The structure window lists a table's views with it.

ALTER SESSION SET CURRENT_SCHEMA = kade;

CREATE OR REPLACE PACKAGE pcknuvomemo AS
  FUNCTION instrallviews(p_owner VARCHAR2, p_view VARCHAR2, p_table VARCHAR2) RETURN NUMBER;
END pcknuvomemo;
/

CREATE OR REPLACE PACKAGE BODY pcknuvomemo AS
  -- Position of the first occurrence of p_word in p_text that is not part of a longer name, 0 when none.
  FUNCTION wordat(p_text VARCHAR2, p_word VARCHAR2) RETURN NUMBER IS
    v_pos NUMBER := 1;
    v_before VARCHAR2(1);
    v_after VARCHAR2(1);
  BEGIN
    IF p_text IS NULL OR p_word IS NULL THEN
      RETURN 0;
    END IF;
    LOOP
      v_pos := INSTR(p_text, p_word, v_pos);
      EXIT WHEN v_pos = 0;
      v_before := SUBSTR(p_text, v_pos - 1, 1);
      v_after := SUBSTR(p_text, v_pos + LENGTH(p_word), 1);
      IF (v_pos = 1 OR INSTR('ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$#', v_before) = 0)
         AND (v_after IS NULL OR INSTR('ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$#', v_after) = 0) THEN
        RETURN v_pos;
      END IF;
      v_pos := v_pos + 1;
    END LOOP;
    RETURN 0;
  END wordat;

  FUNCTION instrallviews(p_owner VARCHAR2, p_view VARCHAR2, p_table VARCHAR2) RETURN NUMBER IS
    v_found NUMBER := 0;
  BEGIN
    FOR v IN (SELECT text FROM all_views WHERE owner LIKE p_owner AND view_name = p_view) LOOP
      v_found := wordat(UPPER(v.text), UPPER(p_table));
      IF v_found > 0 THEN
        RETURN v_found;
      END IF;
    END LOOP;
    FOR m IN (SELECT query FROM all_mviews WHERE owner LIKE p_owner AND mview_name = p_view) LOOP
      v_found := wordat(UPPER(m.query), UPPER(p_table));
      IF v_found > 0 THEN
        RETURN v_found;
      END IF;
    END LOOP;
    RETURN 0;
  END instrallviews;
END pcknuvomemo;
/

GRANT EXECUTE ON kade.pcknuvomemo TO PUBLIC;

ALTER SESSION SET CURRENT_SCHEMA = sys;
