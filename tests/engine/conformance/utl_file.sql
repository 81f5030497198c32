# Directory objects: created by a user with CREATE ANY DIRECTORY, listed in ALL_DIRECTORIES for those
# granted READ or WRITE. Reading and writing files: engine_tests UtlFile*.
CREATE DIRECTORY nuvo_logs AS '/var/log/nuvo';
CREATE DIRECTORY nuvo_logs AS '/tmp';
> ORA-00955: name is already used by an existing object
CREATE OR REPLACE DIRECTORY nuvo_logs AS 'C:\nuvo\log';
SELECT owner, directory_name, directory_path FROM all_directories WHERE directory_name = 'NUVO_LOGS';
> OWNER,DIRECTORY_NAME,DIRECTORY_PATH
> SYS,NUVO_LOGS,C:\nuvo\log
CREATE USER dir_u IDENTIFIED BY u;
GRANT CREATE SESSION TO dir_u;
GRANT READ, WRITE ON DIRECTORY nuvo_logs TO dir_u;
GRANT SELECT ON DIRECTORY nuvo_logs TO dir_u;
> ORA-22928: invalid privilege on directories
GRANT READ ON DIRECTORY no_such_dir TO dir_u;
> ORA-00942: table or view does not exist

@connect dir_u/u
SELECT directory_name FROM all_directories;
> DIRECTORY_NAME
> NUVO_LOGS
CREATE DIRECTORY mine AS '/tmp';
> ORA-01031: insufficient privileges
DECLARE
  f UTL_FILE.FILE_TYPE;
BEGIN
  f := UTL_FILE.FOPEN('NO_SUCH_DIR', 'a.log', 'r');
EXCEPTION
  WHEN UTL_FILE.INVALID_PATH THEN
    DBMS_OUTPUT.PUT_LINE('invalid path ' || SQLCODE);
END;
/
> invalid path -29280

@connect SYSTEM/SYSTEM
REVOKE READ, WRITE ON DIRECTORY nuvo_logs FROM dir_u;
DROP DIRECTORY nuvo_logs;
DROP DIRECTORY nuvo_logs;
> ORA-04043: object NUVO_LOGS does not exist
SELECT COUNT(*) AS n FROM dba_directories;
> N
> 0
