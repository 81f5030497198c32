# A foreign key may reference a key of another schema's table when its owner holds REFERENCES on it:
# it is enforced both ways, listed in the dictionary with the other owner, and a drop of the parent
# table needs CASCADE CONSTRAINTS.

CREATE USER fo_p IDENTIFIED BY fo_p;
CREATE USER fo_c IDENTIFIED BY fo_c;
GRANT CREATE SESSION, CREATE TABLE TO fo_c;
ALTER USER fo_c QUOTA UNLIMITED ON users;
CREATE TABLE fo_p.parent (k1 NUMBER, k2 NUMBER, CONSTRAINT fo_parent_pk PRIMARY KEY (k1, k2));
INSERT INTO fo_p.parent VALUES (1, 2);
> 1 rows
COMMIT;
GRANT SELECT ON fo_p.parent TO fo_c;
@connect fo_c/fo_c
CREATE TABLE child (id NUMBER, a1 NUMBER, a2 NUMBER, CONSTRAINT fo_child_fk FOREIGN KEY (a1, a2) REFERENCES fo_p.parent);
> ORA-01031: insufficient privileges
@connect SYSTEM/SYSTEM
GRANT REFERENCES ON fo_p.parent TO fo_c;
@connect fo_c/fo_c
CREATE TABLE child (id NUMBER, a1 NUMBER, a2 NUMBER, CONSTRAINT fo_child_fk FOREIGN KEY (a1, a2) REFERENCES fo_p.parent);
INSERT INTO child VALUES (1, 1, 2);
> 1 rows
INSERT INTO child VALUES (2, 2, 1);
> ORA-02291: integrity constraint (FO_C.FO_CHILD_FK) violated - parent key not found
INSERT INTO child VALUES (3, NULL, 1);
> 1 rows
COMMIT;
SELECT owner, constraint_name, r_owner, r_constraint_name FROM all_constraints WHERE constraint_name = 'FO_CHILD_FK';
> OWNER,CONSTRAINT_NAME,R_OWNER,R_CONSTRAINT_NAME
> FO_C,FO_CHILD_FK,FO_P,FO_PARENT_PK
@connect SYSTEM/SYSTEM
DELETE FROM fo_p.parent;
> ORA-02292: integrity constraint (FO_C.FO_CHILD_FK) violated - child record found
UPDATE fo_p.parent SET k2 = 3;
> ORA-02292: integrity constraint (FO_C.FO_CHILD_FK) violated - child record found
DROP TABLE fo_p.parent;
> ORA-02449: unique/primary keys in table referenced by foreign keys
DROP TABLE fo_p.parent CASCADE CONSTRAINTS;
SELECT count(*) AS n FROM all_constraints WHERE constraint_name = 'FO_CHILD_FK';
> N
> 0
INSERT INTO fo_c.child VALUES (4, 7, 7);
> 1 rows
COMMIT;
