-- The SQL worksheet's statement history: per user a pointer row (slot 0, the last used slot as
-- text) and the ring rows 1 to 100, created together on the user's first save. The columns are
-- inserted without a column list, so their order stays as it is.
CREATE TABLE nuvo_util.nuvo_hist (
  hist_zpst NUMBER(3) NOT NULL,
  hist_ukaz VARCHAR2(4000),
  hist_user VARCHAR2(30) NOT NULL
);

CREATE UNIQUE INDEX nuvo_util.nuvo_hist_pk ON nuvo_util.nuvo_hist (hist_user, hist_zpst);

GRANT SELECT, INSERT, UPDATE ON nuvo_util.nuvo_hist TO PUBLIC;

-- The worksheet's execution plans, in the layout EXPLAIN PLAN INTO fills.
CREATE TABLE nuvo_util.nuvo_plan_table (
  statement_id VARCHAR2(30),
  plan_id NUMBER,
  timestamp DATE,
  remarks VARCHAR2(4000),
  operation VARCHAR2(30),
  options VARCHAR2(255),
  object_node VARCHAR2(128),
  object_owner VARCHAR2(128),
  object_name VARCHAR2(128),
  object_alias VARCHAR2(261),
  object_instance NUMBER,
  object_type VARCHAR2(30),
  optimizer VARCHAR2(255),
  search_columns NUMBER,
  id NUMBER,
  parent_id NUMBER,
  depth NUMBER,
  position NUMBER,
  cost NUMBER,
  cardinality NUMBER,
  bytes NUMBER,
  other_tag VARCHAR2(255),
  partition_start VARCHAR2(255),
  partition_stop VARCHAR2(255),
  partition_id NUMBER,
  distribution VARCHAR2(30),
  cpu_cost NUMBER,
  io_cost NUMBER,
  temp_space NUMBER,
  access_predicates VARCHAR2(4000),
  filter_predicates VARCHAR2(4000),
  projection VARCHAR2(4000),
  time NUMBER,
  qblock_name VARCHAR2(128)
);

GRANT SELECT, INSERT, UPDATE, DELETE ON nuvo_util.nuvo_plan_table TO PUBLIC;
