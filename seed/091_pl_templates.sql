-- The PL/SQL editor's text templates: a code (upper case, the key), a description and the text
-- that the editor inserts at the caret, ":?" marks filled from the clipboard.
CREATE TABLE nuvo_util.nuvo_pl_tpl (
  tpl_sifra VARCHAR2(30) NOT NULL,
  tpl_desc VARCHAR2(100),
  tpl_cont VARCHAR2(200),
  CONSTRAINT nuvo_pl_tpl_pk PRIMARY KEY (tpl_sifra)
);

GRANT SELECT, INSERT, UPDATE ON nuvo_util.nuvo_pl_tpl TO PUBLIC;

INSERT INTO nuvo_util.nuvo_pl_tpl (tpl_sifra, tpl_desc, tpl_cont)
  VALUES ('CUR', 'Cursor FOR loop', 'FOR r IN (SELECT * FROM :?) LOOP' || CHR(13) || CHR(10) || '  NULL;' || CHR(13) || CHR(10) || 'END LOOP;');
INSERT INTO nuvo_util.nuvo_pl_tpl (tpl_sifra, tpl_desc, tpl_cont)
  VALUES ('EXC', 'Exception handler', 'EXCEPTION' || CHR(13) || CHR(10) || '  WHEN OTHERS THEN' || CHR(13) || CHR(10) || '    RAISE;');
COMMIT;
