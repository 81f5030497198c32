-- The table refresh's server side. The refresh block reports its progress with sendtoPipe on the
-- pipe REFRESH, and the refresh window reads it with readPipe from its other session of the same
-- user (the pipe is private to that user). A block generated with the pipe off writes its errors
-- into NUVO_ERR.

CREATE TABLE nuvo_util.nuvo_err (
  error_type VARCHAR2(30),
  error_cont VARCHAR2(4000),
  error_date DATE DEFAULT SYSDATE,
  error_user VARCHAR2(30) DEFAULT USER
);
GRANT SELECT, INSERT ON nuvo_util.nuvo_err TO PUBLIC;

-- Sends the text as one message; a leading "#" is left out. A pipe nobody reads for five seconds
-- drops the message rather than hold the refresh up.
CREATE OR REPLACE PROCEDURE nuvo_util.sendtopipe(p_pipe IN VARCHAR2, p_text IN VARCHAR2) IS
  v_status INTEGER;
BEGIN
  DBMS_PIPE.RESET_BUFFER;
  IF SUBSTR(p_text, 1, 1) = '#' THEN
    DBMS_PIPE.PACK_MESSAGE(SUBSTR(p_text, 2));
  ELSE
    DBMS_PIPE.PACK_MESSAGE(p_text);
  END IF;
  v_status := DBMS_PIPE.SEND_MESSAGE(p_pipe, 5);
END;
/

-- The next text message of the pipe in p_text, NULL when none waits; messages without a text item
-- (the block opens the pipe with one) are passed over. p_nowait = 1 returns at once; any other
-- value waits up to a second for a message.
CREATE OR REPLACE PROCEDURE nuvo_util.readpipe(p_pipe IN VARCHAR2, p_nowait IN INTEGER, p_text OUT VARCHAR2) IS
  v_status INTEGER;
BEGIN
  p_text := NULL;
  LOOP
    v_status := DBMS_PIPE.RECEIVE_MESSAGE(p_pipe, CASE WHEN p_nowait = 1 THEN 0 ELSE 1 END);
    EXIT WHEN v_status <> 0;
    IF DBMS_PIPE.NEXT_ITEM_TYPE = 9 THEN
      DBMS_PIPE.UNPACK_MESSAGE(p_text);
      EXIT;
    END IF;
  END LOOP;
END;
/

GRANT EXECUTE ON nuvo_util.sendtopipe TO PUBLIC;
GRANT EXECUTE ON nuvo_util.readpipe TO PUBLIC;
CREATE PUBLIC SYNONYM sendtopipe FOR nuvo_util.sendtopipe;
CREATE PUBLIC SYNONYM readpipe FOR nuvo_util.readpipe;
