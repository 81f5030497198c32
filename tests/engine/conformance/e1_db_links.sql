# Database links: recorded in the dictionary; the remote side is out of reach here.
CREATE DATABASE LINK nuvoaudt CONNECT TO aud IDENTIFIED BY aud USING 'audhost';
SELECT db_link, username, host FROM user_db_links;
> DB_LINK,USERNAME,HOST
> NUVOAUDT,AUD,audhost
SELECT COUNT(*) AS n FROM user_db_links WHERE db_link = 'NUVOAUDT' AND user = 'SYSTEM';
> N
> 1
CREATE DATABASE LINK nuvoaudt USING 'other';
> ORA-02011: duplicate database link name

# A query over an existing link cannot connect; over an unknown link the link is missing
SELECT COUNT(*) FROM all_tables@nuvoaudt WHERE owner = 'KADE';
> ORA-12154: TNS:could not resolve the connect identifier specified
SELECT COUNT(*) FROM all_tables@nosuch;
> ORA-02019: connection description for remote database not found

DROP DATABASE LINK nuvoaudt;
DROP DATABASE LINK nuvoaudt;
> ORA-02024: database link not found
SELECT COUNT(*) AS n FROM user_db_links;
> N
> 0

# Group functions of statistics
SELECT VARIANCE(x) AS v, STDDEV(x) AS s FROM (SELECT 0 AS x FROM dual UNION ALL SELECT 2 FROM dual UNION ALL SELECT 4 FROM dual);
> V,S
> 4,2

# Undo segments as the dynamic views list them (the script runner asks for a large one by name)
SELECT COUNT(*) AS n FROM v$rollstat WHERE usn IN (SELECT usn FROM v$rollname WHERE name = 'SYSTEM');
> N
> 1
SELECT status FROM v$rollstat WHERE usn IN (SELECT usn FROM v$rollname WHERE name = 'NOSUCH');
> STATUS
