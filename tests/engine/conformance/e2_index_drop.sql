# The index-drop utility: the indexes of an owner that back no constraint, by optional prefix
# filters (an empty filter is NULL), and quoted DROP INDEX; an index that enforces a key is refused.

CREATE TABLE ix_t1 (id NUMBER CONSTRAINT ix_t1_pk PRIMARY KEY, a NUMBER, b NUMBER, u NUMBER CONSTRAINT ix_t1_uk UNIQUE);
CREATE INDEX ix_t1_a ON ix_t1 (a);
CREATE INDEX "ix low" ON ix_t1 (b);
select table_name,index_name,owner from all_indexes
where ('SYSTEM' is null or owner= 'SYSTEM' )and 
('IX%' is null or index_name like 'IX%' )and
(NULL is null or table_name like NULL )

and NOT EXISTS (select constraint_name from all_constraints
where owner=all_indexes.owner and
constraint_name=all_indexes.index_name)
and NOT EXISTS (select constraint_name from all_constraints
where index_owner=all_indexes.owner and index_name=all_indexes.index_name)
order by table_name,index_name;
> TABLE_NAME,INDEX_NAME,OWNER
> IX_T1,IX_T1_A,SYSTEM
select index_name from all_indexes
where owner='SYSTEM' and table_name='IX_T1' and index_name like 'ix%';
> INDEX_NAME
> ix low
select index_owner, index_name from all_constraints
where owner='SYSTEM' and table_name='IX_T1' order by constraint_name;
> INDEX_OWNER,INDEX_NAME
> SYSTEM,IX_T1_PK
> SYSTEM,IX_T1_UK
drop index "SYSTEM"."IX_T1_PK";
> ORA-02429: cannot drop index used for enforcement of unique/primary key
drop index "SYSTEM"."ix low";
drop index "SYSTEM"."ix low";
> ORA-01418: specified index does not exist
select index_name from all_indexes where owner='SYSTEM' and table_name='IX_T1' order by index_name;
> INDEX_NAME
> IX_T1_A
> IX_T1_PK
> IX_T1_UK
