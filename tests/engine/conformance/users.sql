# Users and logon: passwords, locks, SYSDBA and restricted session.

CREATE USER u1 IDENTIFIED BY Secret1;
GRANT CREATE SESSION TO u1;

# Passwords compare without regard to case; wrong passwords and unknown users get the same error
@connect u1/secret1
SELECT USER AS u FROM dual;
> U
> U1
@connect U1/SECRET1
@connect u1/wrong
> ORA-01017: invalid username/password; logon denied
@connect nosuch/nosuch
> ORA-01017: invalid username/password; logon denied

# CREATE SESSION is needed to log on
@connect SYSTEM/SYSTEM
CREATE USER u2 IDENTIFIED BY u2;
@connect u2/u2
> ORA-01045: user U2 lacks CREATE SESSION privilege; logon denied

# ALTER USER: a new password, a locked and an unlocked account
@connect SYSTEM/SYSTEM
ALTER USER u1 IDENTIFIED BY other;
@connect u1/secret1
> ORA-01017: invalid username/password; logon denied
@connect SYSTEM/SYSTEM
ALTER USER u1 ACCOUNT LOCK;
SELECT username, account_status FROM dba_users WHERE username = 'U1';
> USERNAME,ACCOUNT_STATUS
> U1,LOCKED
@connect u1/other
> ORA-28000: The account is locked.
@connect SYSTEM/SYSTEM
ALTER USER u1 ACCOUNT UNLOCK;
SELECT account_status FROM dba_users WHERE username = 'U1';
> ACCOUNT_STATUS
> OPEN
@connect u1/other

# SYS logs on AS SYSDBA only; others lack SYSDBA
@connect SYS/SYS AS SYSDBA
SELECT USER AS u FROM dual;
> U
> SYS
@connect SYS/SYS
> ORA-28009: connection as SYS should be as SYSDBA or SYSOPER
@connect SYSTEM/SYSTEM AS SYSDBA
> ORA-01031: insufficient privileges

# In restricted session only users with RESTRICTED SESSION log on
@connect SYSTEM/SYSTEM
ALTER SYSTEM ENABLE RESTRICTED SESSION;
@connect u1/other
> ORA-01035: ORACLE only available to users with RESTRICTED SESSION privilege
@connect SYSTEM/SYSTEM
GRANT RESTRICTED SESSION TO u1;
@connect u1/other
@connect SYSTEM/SYSTEM
REVOKE RESTRICTED SESSION FROM u1;
ALTER SYSTEM DISABLE RESTRICTED SESSION;
@connect u1/other

# Creating and dropping users
@connect SYSTEM/SYSTEM
CREATE USER u1 IDENTIFIED BY x;
> ORA-01920: user name 'U1' conflicts with another user or role name
CREATE TABLE u1.owned (a NUMBER);
DROP USER u1;
> ORA-01922: CASCADE must be specified to drop 'U1'
DROP USER u1 CASCADE;
SELECT COUNT(*) AS n FROM all_users WHERE username = 'U1';
> N
> 0
SELECT * FROM u1.owned;
> ORA-00942: table or view does not exist
DROP USER nosuch;
> ORA-01918: user 'NOSUCH' does not exist
ALTER USER nosuch IDENTIFIED BY x;
> ORA-01918: user 'NOSUCH' does not exist
@connect u1/other
> ORA-01017: invalid username/password; logon denied

# Users are listed in ALL_USERS and DBA_USERS
@connect SYSTEM/SYSTEM
SELECT username FROM all_users WHERE username IN ('SYS', 'SYSTEM', 'U2') ORDER BY username;
> USERNAME
> SYS
> SYSTEM
> U2
SELECT username, account_status FROM dba_users WHERE username = 'U2';
> USERNAME,ACCOUNT_STATUS
> U2,OPEN
SELECT username FROM user_users;
> USERNAME
> SYSTEM
