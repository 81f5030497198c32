# DBMS_PIPE within one session and between users: items keep their order and types, a message is
# received once, private pipes serve only their owner. Waiting between sessions: engine_tests Pipe*.
CREATE USER pipe_a IDENTIFIED BY a;
CREATE USER pipe_b IDENTIFIED BY b;
GRANT CREATE SESSION TO pipe_a, pipe_b;

# A message of three items of three types, sent and received by the same session
DECLARE
  s INTEGER;
  t VARCHAR2(100);
  n NUMBER;
  d DATE;
BEGIN
  DBMS_PIPE.PACK_MESSAGE('hello');
  DBMS_PIPE.PACK_MESSAGE(42.5);
  DBMS_PIPE.PACK_MESSAGE(TO_DATE('2024-03-01 10:20:30', 'YYYY-MM-DD HH24:MI:SS'));
  s := DBMS_PIPE.SEND_MESSAGE('P1');
  DBMS_OUTPUT.PUT_LINE('send ' || s);
  s := DBMS_PIPE.RECEIVE_MESSAGE('P1', 0);
  DBMS_OUTPUT.PUT_LINE('receive ' || s || ' next ' || DBMS_PIPE.NEXT_ITEM_TYPE);
  DBMS_PIPE.UNPACK_MESSAGE(t);
  DBMS_OUTPUT.PUT_LINE(t || ' next ' || DBMS_PIPE.NEXT_ITEM_TYPE);
  DBMS_PIPE.UNPACK_MESSAGE(n);
  DBMS_OUTPUT.PUT_LINE(n || ' next ' || DBMS_PIPE.NEXT_ITEM_TYPE);
  DBMS_PIPE.UNPACK_MESSAGE(d);
  DBMS_OUTPUT.PUT_LINE(TO_CHAR(d, 'YYYY-MM-DD HH24:MI:SS') || ' next ' || DBMS_PIPE.NEXT_ITEM_TYPE);
END;
/
> send 0
> receive 0 next 9
> hello next 6
> 42.5 next 12
> 2024-03-01 10:20:30 next 0

# A message is received once; an empty pipe times out (1); a fractional timeout rounds as INTEGER does
DECLARE
  s INTEGER;
  t VARCHAR2(10);
BEGIN
  DBMS_PIPE.PACK_MESSAGE('once');
  s := DBMS_PIPE.SEND_MESSAGE('P2', 0);
  s := DBMS_PIPE.RECEIVE_MESSAGE('P2', 0);
  DBMS_PIPE.UNPACK_MESSAGE(t);
  DBMS_OUTPUT.PUT_LINE(s || ' ' || t);
  DBMS_OUTPUT.PUT_LINE(DBMS_PIPE.RECEIVE_MESSAGE('P2', 0));
  DBMS_OUTPUT.PUT_LINE(DBMS_PIPE.RECEIVE_MESSAGE('P2', 0.1));
END;
/
> 0 once
> 1
> 1

# Messages arrive first in, first out; an item-less message unpacks nothing
DECLARE
  s INTEGER;
  t VARCHAR2(10);
BEGIN
  DBMS_PIPE.RESET_BUFFER;
  s := DBMS_PIPE.SEND_MESSAGE('P3');
  DBMS_PIPE.PACK_MESSAGE('second');
  s := DBMS_PIPE.SEND_MESSAGE('P3');
  s := DBMS_PIPE.RECEIVE_MESSAGE('P3', 0);
  DBMS_OUTPUT.PUT_LINE('first has ' || DBMS_PIPE.NEXT_ITEM_TYPE);
  s := DBMS_PIPE.RECEIVE_MESSAGE('P3', 0);
  DBMS_PIPE.UNPACK_MESSAGE(t);
  DBMS_OUTPUT.PUT_LINE(t);
END;
/
> first has 0
> second

# Unpacking past the end, or as another type, is an error
DECLARE
  s INTEGER;
  t VARCHAR2(10);
BEGIN
  s := DBMS_PIPE.RECEIVE_MESSAGE('P3', 0);
  DBMS_PIPE.UNPACK_MESSAGE(t);
END;
/
> ORA-06556: the pipe is empty, cannot fulfill the unpack_message request
DECLARE
  s INTEGER;
  n NUMBER;
BEGIN
  DBMS_PIPE.PACK_MESSAGE('text');
  s := DBMS_PIPE.SEND_MESSAGE('P4');
  s := DBMS_PIPE.RECEIVE_MESSAGE('P4', 0);
  DBMS_PIPE.UNPACK_MESSAGE(n);
END;
/
> ORA-06559: wrong datatype requested, NUMBER, actual datatype is VARCHAR2

# The session's buffer holds 4096 bytes
BEGIN
  FOR i IN 1 .. 100 LOOP
    DBMS_PIPE.PACK_MESSAGE(RPAD('x', 100, 'x'));
  END LOOP;
END;
/
> ORA-06558: buffer in dbms_pipe package is full. No more items allowed
BEGIN
  DBMS_PIPE.RESET_BUFFER;
END;
/

# A NULL pipe name is refused
DECLARE
  s INTEGER;
BEGIN
  s := DBMS_PIPE.SEND_MESSAGE(NULL);
END;
/
> ORA-23321: Pipename may not be null

# V$DB_PIPES: a private pipe shows its owner, a public one none; PURGE empties a pipe, REMOVE_PIPE drops it
DECLARE
  s INTEGER;
BEGIN
  s := DBMS_PIPE.CREATE_PIPE('PRIV_SYSTEM', 20000);
  s := DBMS_PIPE.CREATE_PIPE('PUB_SYSTEM', 8192, FALSE);
  DBMS_PIPE.PACK_MESSAGE('left over');
  s := DBMS_PIPE.SEND_MESSAGE('PUB_SYSTEM');
END;
/
SELECT p.name, p.type, u.username FROM v$db_pipes p LEFT JOIN all_users u ON u.user_id = p.ownerid WHERE p.name LIKE '%_SYSTEM' ORDER BY p.name;
> NAME,TYPE,USERNAME
> PRIV_SYSTEM,PRIVATE,SYSTEM
> PUB_SYSTEM,PUBLIC,
BEGIN
  DBMS_PIPE.PURGE('PUB_SYSTEM');
  DBMS_OUTPUT.PUT_LINE(DBMS_PIPE.RECEIVE_MESSAGE('PUB_SYSTEM', 0));
END;
/
> 1

# Another user may use the public pipe but not the private one
@connect pipe_a/a
DECLARE
  s INTEGER;
BEGIN
  DBMS_PIPE.PACK_MESSAGE('from a');
  s := DBMS_PIPE.SEND_MESSAGE('PUB_SYSTEM', 0);
  DBMS_OUTPUT.PUT_LINE(s);
END;
/
> 0
DECLARE
  s INTEGER;
BEGIN
  s := DBMS_PIPE.REMOVE_PIPE('PRIV_SYSTEM');
END;
/
> ORA-23322: Privilege error accessing pipe
DECLARE
  s INTEGER;
BEGIN
  s := DBMS_PIPE.RECEIVE_MESSAGE('PRIV_SYSTEM', 0);
END;
/
> ORA-23322: Privilege error accessing pipe
SELECT COUNT(*) AS n FROM dual WHERE DBMS_PIPE.UNIQUE_SESSION_NAME LIKE 'ORA$PIPE$%';
> N
> 1

@connect SYSTEM/SYSTEM
DECLARE
  s INTEGER;
  t VARCHAR2(10);
BEGIN
  s := DBMS_PIPE.RECEIVE_MESSAGE('PUB_SYSTEM', 0);
  DBMS_PIPE.UNPACK_MESSAGE(t);
  DBMS_OUTPUT.PUT_LINE(t);
  DBMS_OUTPUT.PUT_LINE(DBMS_PIPE.REMOVE_PIPE('PRIV_SYSTEM') || DBMS_PIPE.REMOVE_PIPE('PUB_SYSTEM') || DBMS_PIPE.REMOVE_PIPE('NEVER_MADE'));
END;
/
> from a
> 000
SELECT COUNT(*) AS n FROM v$db_pipes WHERE name LIKE '%_SYSTEM';
> N
> 0
