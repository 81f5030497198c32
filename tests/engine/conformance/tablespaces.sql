# Tablespaces: SYSTEM and USERS hold the data, TEMP is the users' temporary one; CREATE USER and
# ALTER USER name only tablespaces that exist, each of the kind its clause wants.

SELECT tablespace_name, contents FROM dba_tablespaces ORDER BY 1;
> TABLESPACE_NAME,CONTENTS
> SYSTEM,PERMANENT
> TEMP,TEMPORARY
> USERS,PERMANENT
CREATE USER ts_a IDENTIFIED BY pw DEFAULT TABLESPACE users TEMPORARY TABLESPACE temp QUOTA UNLIMITED ON users;
SELECT username, default_tablespace, temporary_tablespace FROM dba_users WHERE username = 'TS_A';
> USERNAME,DEFAULT_TABLESPACE,TEMPORARY_TABLESPACE
> TS_A,USERS,TEMP

CREATE USER ts_b IDENTIFIED BY pw default tablespace kade_pr  temporary tablespace temp;
> ORA-00959: tablespace 'KADE_PR' does not exist
CREATE USER ts_b IDENTIFIED BY pw TEMPORARY TABLESPACE temp_two;
> ORA-00959: tablespace 'TEMP_TWO' does not exist
CREATE USER ts_b IDENTIFIED BY pw QUOTA 10M ON nowhere;
> ORA-00959: tablespace 'NOWHERE' does not exist
CREATE USER ts_b IDENTIFIED BY pw DEFAULT TABLESPACE temp;
> ORA-12910: cannot specify temporary tablespace as default tablespace
CREATE USER ts_b IDENTIFIED BY pw TEMPORARY TABLESPACE users;
> ORA-12911: permanent tablespace cannot be temporary tablespace
CREATE USER ts_b IDENTIFIED BY pw QUOTA UNLIMITED ON temp;
> ORA-30041: Cannot grant quota on the tablespace
SELECT COUNT(*) AS n FROM dba_users WHERE username = 'TS_B';
> N
> 0
ALTER USER ts_a DEFAULT TABLESPACE nowhere;
> ORA-00959: tablespace 'NOWHERE' does not exist
ALTER USER ts_a QUOTA UNLIMITED ON nowhere;
> ORA-00959: tablespace 'NOWHERE' does not exist
SELECT default_tablespace FROM dba_users WHERE username = 'TS_A';
> DEFAULT_TABLESPACE
> USERS

# CREATE TABLESPACE makes a name that users and tables may be given; its files and sizes are not kept
CREATE TABLESPACE kade_pr DATAFILE '/u01/oradata/kade_pr01.dbf' SIZE 100M AUTOEXTEND ON NEXT 10M MAXSIZE UNLIMITED;
CREATE TEMPORARY TABLESPACE temp_two TEMPFILE '/u01/oradata/temp_two.dbf' SIZE 50M;
CREATE TABLESPACE kade_pr DATAFILE '/u01/oradata/other.dbf' SIZE 1M;
> ORA-01543: tablespace 'KADE_PR' already exists
CREATE USER ts_b IDENTIFIED BY pw default tablespace kade_pr  temporary tablespace temp;
ALTER USER ts_b TEMPORARY TABLESPACE temp_two QUOTA UNLIMITED ON kade_pr;
SELECT username, default_tablespace, temporary_tablespace FROM dba_users WHERE username = 'TS_B';
> USERNAME,DEFAULT_TABLESPACE,TEMPORARY_TABLESPACE
> TS_B,KADE_PR,TEMP_TWO
SELECT tablespace_name, contents FROM dba_tablespaces WHERE tablespace_name IN ('KADE_PR', 'TEMP_TWO') ORDER BY 1;
> TABLESPACE_NAME,CONTENTS
> KADE_PR,PERMANENT
> TEMP_TWO,TEMPORARY

# DROP TABLESPACE; the database's own three stay
DROP TABLESPACE temp_two INCLUDING CONTENTS AND DATAFILES;
DROP TABLESPACE temp_two;
> ORA-00959: tablespace 'TEMP_TWO' does not exist
DROP TABLESPACE system;
> ORA-01550: cannot drop system tablespace
DROP TABLESPACE users;
> ORA-12919: Can not drop the default permanent tablespace
DROP TABLESPACE temp;
> ORA-12906: cannot drop default temporary tablespace

# Both need their system privilege
CREATE USER ts_c IDENTIFIED BY pw;
GRANT CREATE SESSION TO ts_c;
@connect ts_c/pw
CREATE TABLESPACE mine DATAFILE '/u01/oradata/mine.dbf' SIZE 1M;
> ORA-01031: insufficient privileges
DROP TABLESPACE kade_pr;
> ORA-01031: insufficient privileges
