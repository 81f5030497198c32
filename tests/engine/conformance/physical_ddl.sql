# Physical clauses of tables and indexes are recorded as given; the defaults are a locally managed
# tablespace's.
CREATE TABLE phys_t(id NUMBER, name VARCHAR2(10))
  TABLESPACE tools PCTFREE 20 INITRANS 4 STORAGE (INITIAL 128K NEXT 2M MINEXTENTS 1 MAXEXTENTS UNLIMITED) NOLOGGING COMPRESS;
CREATE TABLE phys_plain(id NUMBER);
SELECT table_name, tablespace_name, pct_free, ini_trans, max_trans, initial_extent, next_extent, max_extents, logging, compression, partitioned
  FROM user_tables WHERE table_name LIKE 'PHYS%' ORDER BY table_name;
> TABLE_NAME,TABLESPACE_NAME,PCT_FREE,INI_TRANS,MAX_TRANS,INITIAL_EXTENT,NEXT_EXTENT,MAX_EXTENTS,LOGGING,COMPRESSION,PARTITIONED
> PHYS_PLAIN,USERS,10,1,255,65536,1048576,2147483645,YES,DISABLED,NO
> PHYS_T,TOOLS,20,4,255,131072,2097152,2147483645,NO,ENABLED,NO
CREATE INDEX phys_i ON phys_t(name) TABLESPACE indx PCTFREE 5 INITRANS 3 NOLOGGING COMPRESS 1;
CREATE INDEX phys_j ON phys_t(id);
SELECT index_name, tablespace_name, pct_free, ini_trans, logging, compression FROM user_indexes
  WHERE table_name = 'PHYS_T' ORDER BY index_name;
> INDEX_NAME,TABLESPACE_NAME,PCT_FREE,INI_TRANS,LOGGING,COMPRESSION
> PHYS_I,INDX,5,3,NO,ENABLED
> PHYS_J,USERS,10,2,YES,DISABLED
# A rename keeps them
RENAME phys_t TO phys_r;
SELECT tablespace_name, pct_free FROM user_tables WHERE table_name = 'PHYS_R';
> TABLESPACE_NAME,PCT_FREE
> TOOLS,20
CREATE TABLE phys_bad(id NUMBER) PCTFREE 100;
> ORA-02211: invalid value for PCTFREE or PCTUSED
CREATE TABLE phys_bad(id NUMBER) INITRANS 0;
> ORA-02207: invalid INITRANS option value
CREATE TABLE phys_bad(id NUMBER) STORAGE (COLOUR 1);
> ORA-02143: invalid STORAGE option

# Partitioned tables: the partitions are recorded, the rows live in one table
CREATE TABLE sales_r(id NUMBER, sold DATE, region VARCHAR2(2))
  PARTITION BY RANGE (id) (
    PARTITION p_low VALUES LESS THAN (100) TABLESPACE tools,
    PARTITION p_mid VALUES LESS THAN (1000) PCTFREE 30,
    PARTITION p_max VALUES LESS THAN (MAXVALUE));
INSERT INTO sales_r VALUES (5, DATE '2024-01-01', 'N');
> 1 rows
INSERT INTO sales_r VALUES (5000, DATE '2024-01-02', 'S');
> 1 rows
SELECT COUNT(*) AS n FROM sales_r;
> N
> 2
SELECT partition_name, partition_position, high_value, tablespace_name, pct_free FROM user_tab_partitions
  WHERE table_name = 'SALES_R' ORDER BY partition_position;
> PARTITION_NAME,PARTITION_POSITION,HIGH_VALUE,TABLESPACE_NAME,PCT_FREE
> P_LOW,1,100,TOOLS,10
> P_MID,2,1000,USERS,30
> P_MAX,3,MAXVALUE,USERS,10
SELECT table_name, partitioning_type, subpartitioning_type, partition_count, partitioning_key_count, status
  FROM user_part_tables ORDER BY table_name;
> TABLE_NAME,PARTITIONING_TYPE,SUBPARTITIONING_TYPE,PARTITION_COUNT,PARTITIONING_KEY_COUNT,STATUS
> SALES_R,RANGE,NONE,3,1,VALID
SELECT tablespace_name, pct_free, partitioned FROM user_tables WHERE table_name = 'SALES_R';
> TABLESPACE_NAME,PCT_FREE,PARTITIONED
> ,,YES
CREATE TABLE sales_l(id NUMBER, region VARCHAR2(2))
  PARTITION BY LIST (region) (PARTITION p_north VALUES ('N', 'NE'), PARTITION p_rest VALUES (DEFAULT));
CREATE TABLE sales_h(id NUMBER) PARTITION BY HASH (id) PARTITIONS 4;
SELECT t.table_name, t.partitioning_type, t.partition_count, k.column_name
  FROM all_part_tables t JOIN all_part_key_columns k ON k.owner = t.owner AND k.name = t.table_name
  WHERE t.owner = USER ORDER BY t.table_name;
> TABLE_NAME,PARTITIONING_TYPE,PARTITION_COUNT,COLUMN_NAME
> SALES_H,HASH,4,ID
> SALES_L,LIST,2,REGION
> SALES_R,RANGE,3,ID
SELECT partition_name, high_value FROM all_tab_partitions WHERE table_name = 'SALES_L' ORDER BY partition_position;
> PARTITION_NAME,HIGH_VALUE
> P_NORTH,"'N', 'NE'"
> P_REST,DEFAULT
SELECT COUNT(*) AS n, MAX(high_value_length) AS bounds FROM all_tab_partitions WHERE table_name = 'SALES_H';
> N,BOUNDS
> 4,0
CREATE TABLE sales_bad(id NUMBER) PARTITION BY RANGE (nosuch) (PARTITION p VALUES LESS THAN (1));
> ORA-00904: "NOSUCH": invalid identifier
CREATE TABLE sales_bad(id NUMBER, r VARCHAR2(1)) PARTITION BY LIST (id, r) (PARTITION p VALUES (1));
> ORA-14304: List partitioning method expects a single partitioning column
DROP TABLE sales_r;
SELECT COUNT(*) AS n FROM user_tab_partitions WHERE table_name = 'SALES_R';
> N
> 0

# CREATE FORCE VIEW: created INVALID while its table is missing, VALID once the table exists
CREATE FORCE VIEW fv(a, b) AS SELECT id, name FROM fv_base;
> ORA-24344: success with compilation error
SELECT status FROM user_objects WHERE object_name = 'FV';
> STATUS
> INVALID
SELECT line, position, text FROM user_errors WHERE name = 'FV';
> LINE,POSITION,TEXT
> 0,0,ORA-00942: table or view does not exist
SELECT * FROM fv;
> ORA-04063: view "SYSTEM.FV" has errors
CREATE VIEW nv AS SELECT id FROM fv_base;
> ORA-00942: table or view does not exist
CREATE TABLE fv_base(id NUMBER, name VARCHAR2(10));
INSERT INTO fv_base VALUES (1, 'one');
> 1 rows
ALTER VIEW fv COMPILE;
SELECT a, b FROM fv;
> A,B
> 1,one
SELECT status FROM user_objects WHERE object_name = 'FV';
> STATUS
> VALID
SELECT column_name, data_type FROM user_tab_columns WHERE table_name = 'FV' ORDER BY column_id;
> COLUMN_NAME,DATA_TYPE
> A,NUMBER
> B,VARCHAR2
SELECT COUNT(*) AS n FROM user_errors WHERE name = 'FV';
> N
> 0
# A view whose query compiles needs no FORCE and gets none of its effects
CREATE OR REPLACE FORCE VIEW fv2 AS SELECT id FROM fv_base;
SELECT status FROM user_objects WHERE object_name = 'FV2';
> STATUS
> VALID

# Materialized views: a table of the query's rows, filled again by DBMS_MVIEW.REFRESH
CREATE TABLE mv_base(id NUMBER, amount NUMBER);
INSERT INTO mv_base VALUES (1, 10);
> 1 rows
INSERT INTO mv_base VALUES (2, 20);
> 1 rows
COMMIT;
CREATE MATERIALIZED VIEW mv_sum BUILD IMMEDIATE REFRESH COMPLETE ON DEMAND AS SELECT COUNT(*) AS n, SUM(amount) AS total FROM mv_base;
CREATE MATERIALIZED VIEW mv_later TABLESPACE tools BUILD DEFERRED REFRESH FORCE ON DEMAND AS SELECT id FROM mv_base;
SELECT n, total FROM mv_sum;
> N,TOTAL
> 2,30
SELECT COUNT(*) AS n FROM mv_later;
> N
> 0
SELECT mview_name, container_name, refresh_mode, refresh_method, build_mode, last_refresh_type, query
  FROM user_mviews ORDER BY mview_name;
> MVIEW_NAME,CONTAINER_NAME,REFRESH_MODE,REFRESH_METHOD,BUILD_MODE,LAST_REFRESH_TYPE,QUERY
> MV_LATER,MV_LATER,DEMAND,FORCE,DEFERRED,NA,SELECT id FROM mv_base
> MV_SUM,MV_SUM,DEMAND,COMPLETE,IMMEDIATE,COMPLETE,"SELECT COUNT(*) AS n, SUM(amount) AS total FROM mv_base"
SELECT object_type FROM user_objects WHERE object_name = 'MV_SUM' ORDER BY object_type;
> OBJECT_TYPE
> MATERIALIZED VIEW
> TABLE
INSERT INTO mv_base VALUES (3, 30);
> 1 rows
BEGIN
  dbms_mview.refresh('mv_sum, system.mv_later', 'C?');
END;
/
SELECT n, total FROM mv_sum;
> N,TOTAL
> 3,60
SELECT COUNT(*) AS n FROM mv_later;
> N
> 3
# The refresh committed the open insert
ROLLBACK;
SELECT COUNT(*) AS n FROM mv_base;
> N
> 3
SELECT mview_name, last_refresh_type, tablespace_name FROM user_mviews JOIN user_tables ON table_name = mview_name
  ORDER BY mview_name;
> MVIEW_NAME,LAST_REFRESH_TYPE,TABLESPACE_NAME
> MV_LATER,COMPLETE,TOOLS
> MV_SUM,COMPLETE,USERS
BEGIN
  dbms_mview.refresh('mv_sum', 'F');
END;
/
> ORA-12004: REFRESH FAST cannot be used for materialized view "SYSTEM"."MV_SUM"
BEGIN
  dbms_mview.refresh('nosuch_mv');
END;
/
> ORA-12003: materialized view "SYSTEM"."NOSUCH_MV" does not exist
DELETE FROM mv_sum;
> ORA-01732: data manipulation operation not legal on this view
CREATE MATERIALIZED VIEW mv_fast REFRESH FAST ON DEMAND AS SELECT id FROM mv_base;
> ORA-23413: table "SYSTEM"."MV_BASE" does not have a materialized view log
CREATE MATERIALIZED VIEW mv_sum AS SELECT id FROM mv_base;
> ORA-00955: name is already used by an existing object
DROP TABLE mv_sum;
> ORA-12083: must use DROP MATERIALIZED VIEW to drop "SYSTEM"."MV_SUM"
DROP MATERIALIZED VIEW mv_sum;
SELECT COUNT(*) AS n FROM user_objects WHERE object_name = 'MV_SUM';
> N
> 0
DROP MATERIALIZED VIEW mv_sum;
> ORA-12003: materialized view "SYSTEM"."MV_SUM" does not exist
