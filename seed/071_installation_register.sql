-- The register of customer installations (the hidden "Instalations" window): one row per
-- installation with its instance, versions and free-text notes.

CREATE TABLE nuvo_util.nuvo_inst (
  inst_desc VARCHAR2(50) NOT NULL,
  inst_instance VARCHAR2(4) NOT NULL,
  inst_version VARCHAR2(50),
  inst_os VARCHAR2(2000),
  inst_files VARCHAR2(2000),
  inst_save VARCHAR2(2000),
  inst_last DATE,
  inst_current VARCHAR2(30),
  inst_hints VARCHAR2(2000),
  inst_init LONG
);

INSERT INTO nuvo_util.nuvo_inst (inst_desc, inst_instance, inst_version, inst_current, inst_last)
  VALUES ('DEMO', 'DEMO', 'V01.00', 'V01.00', DATE '2026-01-15');
COMMIT;

GRANT SELECT, INSERT, UPDATE, DELETE ON nuvo_util.nuvo_inst TO kade;
GRANT SELECT, INSERT, UPDATE, DELETE ON nuvo_util.nuvo_inst TO zozuro;
GRANT SELECT, INSERT, UPDATE, DELETE ON nuvo_util.nuvo_inst TO ana;
