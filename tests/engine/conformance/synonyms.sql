# Private and public synonyms.

CREATE TABLE syn_t (id NUMBER, name VARCHAR2(10));
INSERT INTO syn_t VALUES (1, 'one');
> 1 rows
COMMIT;

# A private synonym names the table for its owner, for queries and DML alike
CREATE SYNONYM syn_p FOR syn_t;
SELECT id, name FROM syn_p;
> ID,NAME
> 1,one
INSERT INTO syn_p VALUES (2, 'two');
> 1 rows
UPDATE syn_p SET name = 'TWO' WHERE id = 2;
> 1 rows
DELETE FROM syn_p WHERE id = 2;
> 1 rows
CREATE SYNONYM syn_p FOR syn_t;
> ORA-00955: name is already used by an existing object
CREATE OR REPLACE SYNONYM syn_p FOR system.syn_t;
SELECT synonym_name, table_owner, table_name, db_link FROM user_synonyms WHERE synonym_name = 'SYN_P';
> SYNONYM_NAME,TABLE_OWNER,TABLE_NAME,DB_LINK
> SYN_P,SYSTEM,SYN_T,

# A public synonym serves every user who may read the table
CREATE PUBLIC SYNONYM syn_pub FOR system.syn_t;
SELECT owner, synonym_name, table_owner, table_name FROM all_synonyms WHERE synonym_name = 'SYN_PUB';
> OWNER,SYNONYM_NAME,TABLE_OWNER,TABLE_NAME
> PUBLIC,SYN_PUB,SYSTEM,SYN_T
CREATE USER syn_user IDENTIFIED BY syn_user;
GRANT CREATE SESSION, CREATE SYNONYM TO syn_user;
GRANT SELECT ON syn_t TO syn_user;
@connect syn_user/syn_user
SELECT id FROM syn_pub;
> ID
> 1
SELECT id FROM syn_p;
> ORA-00942: table or view does not exist

# A private synonym comes before a public one of the same name
CREATE SYNONYM syn_pub FOR sys.dual;
SELECT COUNT(*) AS n FROM syn_pub;
> N
> 1
DROP SYNONYM syn_pub;
SELECT id FROM syn_pub;
> ID
> 1

# A synonym of something that does not exist can be made, but not used
CREATE SYNONYM syn_dangling FOR system.nosuch;
SELECT * FROM syn_dangling;
> ORA-00980: synonym translation is no longer valid
DROP SYNONYM syn_dangling;

@connect SYSTEM/SYSTEM
DROP SYNONYM syn_p;
DROP SYNONYM syn_p;
> ORA-01434: private synonym to be dropped does not exist
DROP PUBLIC SYNONYM syn_pub;
DROP PUBLIC SYNONYM syn_pub;
> ORA-01432: public synonym to be dropped does not exist
SELECT * FROM syn_pub;
> ORA-00942: table or view does not exist
