# Sequences: NEXTVAL, CURRVAL and their options.

CREATE SEQUENCE seq;
SELECT seq.NEXTVAL AS n FROM dual;
> N
> 1
SELECT seq.NEXTVAL AS n FROM dual;
> N
> 2
SELECT seq.CURRVAL AS c FROM dual;
> C
> 2
# NEXTVAL advances once per row, however often the row names it
SELECT seq.NEXTVAL AS a, seq.NEXTVAL AS b, seq.CURRVAL AS c FROM dual;
> A,B,C
> 3,3,3

# NEXTVAL in INSERT, once per row inserted
CREATE TABLE numbered (id NUMBER, name VARCHAR2(5));
CREATE TABLE names (name VARCHAR2(5));
INSERT INTO names VALUES ('b1');
> 1 rows
INSERT INTO names VALUES ('b2');
> 1 rows
INSERT INTO numbered VALUES (seq.NEXTVAL, 'a');
> 1 rows
INSERT INTO numbered SELECT seq.NEXTVAL, name FROM names;
> 2 rows
SELECT id, name FROM numbered ORDER BY id;
> ID,NAME
> 4,a
> 5,b1
> 6,b2

# START WITH, INCREMENT BY, MAXVALUE, CYCLE
CREATE SEQUENCE by_five START WITH 10 INCREMENT BY 5;
SELECT by_five.NEXTVAL AS a FROM dual;
> A
> 10
SELECT by_five.NEXTVAL AS a FROM dual;
> A
> 15
ALTER SEQUENCE by_five INCREMENT BY 100;
SELECT by_five.NEXTVAL AS a FROM dual;
> A
> 115
CREATE SEQUENCE down START WITH -1 INCREMENT BY -1;
SELECT down.NEXTVAL AS a FROM dual;
> A
> -1
CREATE SEQUENCE small MAXVALUE 2 NOCACHE;
SELECT small.NEXTVAL AS a FROM dual;
> A
> 1
SELECT small.NEXTVAL AS a FROM dual;
> A
> 2
SELECT small.NEXTVAL AS a FROM dual;
> ORA-08004: sequence SMALL.NEXTVAL exceeds MAXVALUE and cannot be instantiated
CREATE SEQUENCE ring MINVALUE 1 MAXVALUE 2 CYCLE NOCACHE;
SELECT ring.NEXTVAL AS a FROM dual;
> A
> 1
SELECT ring.NEXTVAL AS a FROM dual;
> A
> 2
SELECT ring.NEXTVAL AS a FROM dual;
> A
> 1
CREATE SEQUENCE tight MINVALUE 1 MAXVALUE 5 CYCLE;
> ORA-04013: number to CACHE must be less than one cycle

SELECT sequence_name, min_value, increment_by, cycle_flag, order_flag, cache_size FROM user_sequences WHERE sequence_name <> 'DOWN' ORDER BY sequence_name;
> SEQUENCE_NAME,MIN_VALUE,INCREMENT_BY,CYCLE_FLAG,ORDER_FLAG,CACHE_SIZE
> BY_FIVE,1,100,N,N,20
> RING,1,1,Y,N,0
> SEQ,1,1,N,N,20
> SMALL,1,1,N,N,0

# CURRVAL needs a NEXTVAL in the same session; a sequence survives rollback
@connect SYSTEM/SYSTEM
SELECT seq.CURRVAL AS c FROM dual;
> ORA-08002: sequence SEQ.CURRVAL is not yet defined in this session
SELECT seq.NEXTVAL AS n FROM dual;
> N
> 7
ROLLBACK;
SELECT seq.NEXTVAL AS n FROM dual;
> N
> 8

# Errors
CREATE SEQUENCE seq;
> ORA-00955: name is already used by an existing object
SELECT nosuch.NEXTVAL FROM dual;
> ORA-02289: sequence does not exist
DROP SEQUENCE seq;
DROP SEQUENCE seq;
> ORA-02289: sequence does not exist
