-- DODELIPRAVICE in each application schema: runs one GRANT or REVOKE statement with the rights of
-- the schema that owns it, so that a tool user who is not the owner can give or take the rights on
-- the owner's objects (the tool's grant window). Any other statement is refused, and a statement
-- that fails raises its error to the caller.

CREATE OR REPLACE PROCEDURE kade.dodelipravice(p_stavek VARCHAR2) IS
  v_zacetek VARCHAR2(7) := UPPER(SUBSTR(LTRIM(p_stavek), 1, 7));
BEGIN
  IF v_zacetek IS NULL OR (v_zacetek NOT LIKE 'GRANT %' AND v_zacetek <> 'REVOKE ') THEN
    raise_application_error(-20001, 'DODELIPRAVICE runs only GRANT and REVOKE statements');
  END IF;
  EXECUTE IMMEDIATE p_stavek;
END dodelipravice;
/

CREATE OR REPLACE PROCEDURE zozuro.dodelipravice(p_stavek VARCHAR2) IS
  v_zacetek VARCHAR2(7) := UPPER(SUBSTR(LTRIM(p_stavek), 1, 7));
BEGIN
  IF v_zacetek IS NULL OR (v_zacetek NOT LIKE 'GRANT %' AND v_zacetek <> 'REVOKE ') THEN
    raise_application_error(-20001, 'DODELIPRAVICE runs only GRANT and REVOKE statements');
  END IF;
  EXECUTE IMMEDIATE p_stavek;
END dodelipravice;
/

-- The demo administrator grants on the application's objects.
GRANT EXECUTE ON kade.dodelipravice TO ana;
GRANT EXECUTE ON zozuro.dodelipravice TO ana;
