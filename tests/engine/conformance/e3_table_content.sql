# The table-content and references windows: a table's triggers, constraints with their columns in
# position order, indexes with their columns, the foreign keys of the references tree with the keys
# they reference, and the tables that reference a primary key. Owner and table are binds there.

CREATE TABLE tc_parent (k2 NUMBER, k1 NUMBER, CONSTRAINT tc_parent_pk PRIMARY KEY (k1, k2));
CREATE TABLE tc_child (id NUMBER CONSTRAINT tc_child_pk PRIMARY KEY, a1 NUMBER, a2 NUMBER NOT NULL,
  code VARCHAR2(5) CONSTRAINT tc_child_uk UNIQUE,
  CONSTRAINT tc_child_fk FOREIGN KEY (a1, a2) REFERENCES tc_parent (k1, k2) ON DELETE CASCADE,
  CONSTRAINT tc_child_ck CHECK (id > 0));
CREATE INDEX tc_child_ix ON tc_child (a2, a1);
CREATE TABLE tc_grand (id NUMBER, child_id NUMBER CONSTRAINT tc_grand_fk REFERENCES tc_child);
CREATE OR REPLACE TRIGGER tc_child_trg BEFORE INSERT ON tc_child FOR EACH ROW BEGIN NULL; END;
/
select owner,trigger_name from all_triggers
where table_owner='SYSTEM' and table_name='TC_CHILD'
order by owner,trigger_name;
> OWNER,TRIGGER_NAME
> SYSTEM,TC_CHILD_TRG
select constraint_name,column_name from all_cons_columns
where table_name='TC_CHILD' and owner='SYSTEM' and constraint_name like 'TC%'
order by constraint_name,position;
> CONSTRAINT_NAME,COLUMN_NAME
> TC_CHILD_CK,ID
> TC_CHILD_FK,A1
> TC_CHILD_FK,A2
> TC_CHILD_PK,ID
> TC_CHILD_UK,CODE
select constraint_type,constraint_name,r_constraint_name,delete_rule,search_condition from all_constraints
where owner='SYSTEM' and table_name='TC_CHILD' and constraint_name like 'TC%'
order by constraint_type,constraint_name;
> CONSTRAINT_TYPE,CONSTRAINT_NAME,R_CONSTRAINT_NAME,DELETE_RULE,SEARCH_CONDITION
> C,TC_CHILD_CK,,,id > 0
> P,TC_CHILD_PK,,,
> R,TC_CHILD_FK,TC_PARENT_PK,CASCADE,
> U,TC_CHILD_UK,,,
select search_condition from all_constraints
where owner='SYSTEM' and table_name='TC_CHILD' and constraint_type='C' and constraint_name not like 'TC%';
> SEARCH_CONDITION
> """A2"" IS NOT NULL"
select index_owner,index_name,column_name from all_ind_columns
where table_name='TC_CHILD' and table_owner='SYSTEM'
order by index_owner,index_name,column_position;
> INDEX_OWNER,INDEX_NAME,COLUMN_NAME
> SYSTEM,TC_CHILD_IX,A2
> SYSTEM,TC_CHILD_IX,A1
> SYSTEM,TC_CHILD_PK,ID
> SYSTEM,TC_CHILD_UK,CODE
select owner,index_name,uniqueness from all_indexes
where table_owner='SYSTEM' and table_name='TC_CHILD' order by owner,index_name;
> OWNER,INDEX_NAME,UNIQUENESS
> SYSTEM,TC_CHILD_IX,NONUNIQUE
> SYSTEM,TC_CHILD_PK,UNIQUE
> SYSTEM,TC_CHILD_UK,UNIQUE

# References: the foreign keys, then each referenced key's table and columns.
select constraint_name, r_owner, r_constraint_name from all_constraints
where owner= 'SYSTEM' and table_name= 'TC_GRAND' and constraint_type='R'
order by constraint_name;
> CONSTRAINT_NAME,R_OWNER,R_CONSTRAINT_NAME
> TC_GRAND_FK,SYSTEM,TC_CHILD_PK
select owner,table_name from all_constraints
where owner= 'SYSTEM' and constraint_name= 'TC_PARENT_PK';
> OWNER,TABLE_NAME
> SYSTEM,TC_PARENT
select column_name from all_cons_columns
where owner= 'SYSTEM' and constraint_name= 'TC_PARENT_PK'
order by position;
> COLUMN_NAME
> K1
> K2
select owner,constraint_name from all_constraints
where owner= 'SYSTEM' and table_name= 'TC_PARENT' and constraint_type='P';
> OWNER,CONSTRAINT_NAME
> SYSTEM,TC_PARENT_PK
select owner,table_name from all_constraints
where r_owner= 'SYSTEM' and r_constraint_name= 'TC_PARENT_PK'
order by table_name,owner;
> OWNER,TABLE_NAME
> SYSTEM,TC_CHILD

# A cycle of references is an ordinary dictionary state.
CREATE TABLE tc_c1 (id NUMBER CONSTRAINT tc_c1_pk PRIMARY KEY, c2 NUMBER);
CREATE TABLE tc_c2 (id NUMBER CONSTRAINT tc_c2_pk PRIMARY KEY, c1 NUMBER CONSTRAINT tc_c2_fk REFERENCES tc_c1);
ALTER TABLE tc_c1 ADD CONSTRAINT tc_c1_fk FOREIGN KEY (c2) REFERENCES tc_c2;
select constraint_name, r_constraint_name from all_constraints
where owner= 'SYSTEM' and table_name like 'TC\_C_' escape '\' and constraint_type='R'
order by constraint_name;
> CONSTRAINT_NAME,R_CONSTRAINT_NAME
> TC_C1_FK,TC_C2_PK
> TC_C2_FK,TC_C1_PK
