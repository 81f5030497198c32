# The windows of disabled foreign keys and triggers: their lists, the key columns in position order,
# the rows that break a two-column key (correlated NOT EXISTS), and the quoted ENABLE statements.

CREATE TABLE dk_parent (k2 NUMBER, k1 NUMBER, CONSTRAINT dk_parent_pk PRIMARY KEY (k1, k2));
CREATE TABLE dk_child (id NUMBER, a1 NUMBER, a2 NUMBER, CONSTRAINT dk_child_fk FOREIGN KEY (a1, a2) REFERENCES dk_parent (k1, k2));
INSERT INTO dk_parent (k1, k2) VALUES (1, 2);
> 1 rows
ALTER TABLE dk_child DISABLE CONSTRAINT dk_child_fk;
INSERT INTO dk_child VALUES (1, 1, 2);
> 1 rows
INSERT INTO dk_child VALUES (2, 2, 1);
> 1 rows
INSERT INTO dk_child VALUES (3, NULL, 5);
> 1 rows
COMMIT;
select table_name,constraint_name,r_constraint_name, owner, r_owner
from all_constraints
where ('SYSTEM' is null or owner='SYSTEM') and status='DISABLED' and constraint_type='R'
order by table_name;
> TABLE_NAME,CONSTRAINT_NAME,R_CONSTRAINT_NAME,OWNER,R_OWNER
> DK_CHILD,DK_CHILD_FK,DK_PARENT_PK,SYSTEM,SYSTEM
select column_name,position  from ALL_CONS_COLUMNS
where owner='SYSTEM'  and constraint_name='DK_PARENT_PK'
order by position;
> COLUMN_NAME,POSITION
> K1,1
> K2,2
select table_name from all_constraints
where owner='SYSTEM' and constraint_name='DK_PARENT_PK';
> TABLE_NAME
> DK_PARENT
select * from "SYSTEM"."DK_CHILD" tbl  where "A1"  is not null and "A2"  is not null and not exists   (select * from "SYSTEM"."DK_PARENT" where  "K1"=tbl."A1" and "K2"=tbl."A2");
> ID,A1,A2
> 2,2,1
alter table "SYSTEM"."DK_CHILD" ENABLE constraint "DK_CHILD_FK";
> ORA-02298: cannot validate (SYSTEM.DK_CHILD_FK) - parent keys not found
DELETE FROM dk_child WHERE id = 2;
> 1 rows
alter table "SYSTEM"."DK_CHILD" ENABLE constraint "DK_CHILD_FK";
SELECT status FROM all_constraints WHERE owner = 'SYSTEM' AND constraint_name = 'DK_CHILD_FK';
> STATUS
> ENABLED

CREATE TABLE dk_tt (a NUMBER);
CREATE OR REPLACE TRIGGER dk_tt_a BEFORE INSERT ON dk_tt FOR EACH ROW BEGIN :new.a := 1; END;
/
alter trigger "SYSTEM"."DK_TT_A" DISABLE;
select table_owner,table_name ,trigger_name, owner
 from all_triggers
where owner='SYSTEM' and  status='DISABLED';
> TABLE_OWNER,TABLE_NAME,TRIGGER_NAME,OWNER
> SYSTEM,DK_TT,DK_TT_A,SYSTEM
alter trigger "SYSTEM"."DK_TT_A" ENABLE;
SELECT status FROM all_triggers WHERE owner = 'SYSTEM' AND trigger_name = 'DK_TT_A';
> STATUS
> ENABLED
