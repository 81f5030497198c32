# The table refresh: the block a refresh generates, with a ten-column key, against two tables of
# one schema, and its progress read back through the pipe procedures. Over a link and between two
# sessions: schema_tests RefreshWindow.*.
CREATE TABLE rf_src (k1 NUMBER, k2 VARCHAR2(5), k3 NUMBER, k4 NUMBER, k5 NUMBER, k6 NUMBER, k7 NUMBER, k8 NUMBER, k9 NUMBER, k10 NUMBER, val VARCHAR2(10), CONSTRAINT rf_src_pk PRIMARY KEY (k1, k2, k3, k4, k5, k6, k7, k8, k9, k10));
INSERT INTO rf_src SELECT LEVEL, 'a', 1, 1, 1, 1, 1, 1, 1, 1, 'v' || LEVEL FROM dual CONNECT BY LEVEL <= 3;
> 3 rows
CREATE TABLE rf_dst (k1 NUMBER, k2 VARCHAR2(5), k3 NUMBER, k4 NUMBER, k5 NUMBER, k6 NUMBER, k7 NUMBER, k8 NUMBER, k9 NUMBER, k10 NUMBER, val VARCHAR2(10), CONSTRAINT rf_dst_pk PRIMARY KEY (k1, k2, k3, k4, k5, k6, k7, k8, k9, k10));
INSERT INTO rf_dst VALUES (1, 'a', 1, 1, 1, 1, 1, 1, 1, 1, 'old');
> 1 rows
INSERT INTO rf_dst VALUES (7, 'a', 1, 1, 1, 1, 1, 1, 1, 1, 'gone');
> 1 rows
# The pipe procedures of the table refresh as the seed makes them (there in NUVO_UTIL)
CREATE OR REPLACE PROCEDURE sendtopipe(p_pipe IN VARCHAR2, p_text IN VARCHAR2) IS
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
CREATE OR REPLACE PROCEDURE readpipe(p_pipe IN VARCHAR2, p_nowait IN INTEGER, p_text OUT VARCHAR2) IS
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
# The refresh block: cursors with ten key parameters (sUnique10 a valid name), rows read and
# written through cursors FOR UPDATE with WHERE CURRENT OF, the destination locked NOWAIT, and the
# progress pipe opened with a message without items
DECLARE
  CURSOR cPrava is select * from RF_SRC;
  rS RF_SRC%ROWTYPE;
 CURSOR cOrig(sUnique1 NUMBER,sUnique2 VARCHAR2,sUnique3 NUMBER,sUnique4 NUMBER,sUnique5 NUMBER,sUnique6 NUMBER,sUnique7 NUMBER,sUnique8 NUMBER,sUnique9 NUMBER,sUnique10 NUMBER) is select * from RF_DST
    where K1=sUnique1 and K2=sUnique2 and K3=sUnique3 and K4=sUnique4 and K5=sUnique5 and K6=sUnique6 and K7=sUnique7 and K8=sUnique8 and K9=sUnique9 and K10=sUnique10 for update;
  rD RF_DST%ROWTYPE;
 CURSOR cOrigDelete is select * from RF_DST for update;
 CURSOR cPravaDelete(sUnique1 NUMBER,sUnique2 VARCHAR2,sUnique3 NUMBER,sUnique4 NUMBER,sUnique5 NUMBER,sUnique6 NUMBER,sUnique7 NUMBER,sUnique8 NUMBER,sUnique9 NUMBER,sUnique10 NUMBER) is select * from RF_SRC
    where K1=sUnique1 and K2=sUnique2 and K3=sUnique3 and K4=sUnique4 and K5=sUnique5 and K6=sUnique6 and K7=sUnique7 and K8=sUnique8 and K9=sUnique9 and K10=sUnique10 for update;
  popr INTEGER:=0;
  ni INTEGER:=0;
  st INTEGER:=0;
  pipe INTEGER;
  stDel INTEGER:=0;
  intSt INTEGER:=0;
  rt INTEGER;
  iError INTEGER:=0;
BEGIN
  Pipe:=dbms_pipe.create_pipe('REFRESH',20000);
  dbms_pipe.purge('REFRESH');
  dbms_pipe.reset_buffer;
  rt:=dbms_pipe.send_message('REFRESH');
  LOCK TABLE RF_DST IN EXCLUSIVE MODE NOWAIT;
  open cPrava;
  LOOP
    FETCH cPrava into rS;
    EXIT when cPrava%NOTFOUND;
    st:=st+1;
    open cOrig(rS.K1,rS.K2,rS.K3,rS.K4,rS.K5,rS.K6,rS.K7,rS.K8,rS.K9,rS.K10);
    FETCH cOrig INTO rD;
    IF cOrig%FOUND THEN
      IF ((rS.VAL<> rD.VAL) or ( ( rS.VAL is null or rD.VAL is null) and not (rS.VAL is null and rD.VAL is null)) )
             THEN
         popr:=popr+1;
         update RF_DST set 
         VAL=rS.VAL
         where current of cOrig;
      END if;  
    ELSE 
      BEGIN
       INSERT INTO RF_DST
              (K1,K2,K3,K4,K5,K6
       ,K7,K8,K9,K10,VAL)
    values 
     (rS.K1,rS.K2,rS.K3,rS.K4,rS.K5,rS.K6
       ,rS.K7,rS.K8,rS.K9,rS.K10,rS.VAL);
        ni:=ni+1;
      EXCEPTION
        WHEN OTHERS THEN
            iError:=iError+1;
            sendtoPipe('REFRESH','# ?+'||substr(to_char(rS.K1)||'  '||rS.K2||chr(13)||chr(10)||'    '||SQLERRM,1,95)||'?');
      END;
    END if;
    close cOrig;
  END LOOP;
  close cPrava;
  open cOrigDelete;
  LOOP
    FETCH cOrigDelete INTO rD;
    EXIT WHEN cOrigDelete%NOTFOUND;
    st:=st+1;
    open cPravaDelete(rD.K1,rD.K2,rD.K3,rD.K4,rD.K5,rD.K6,rD.K7,rD.K8,rD.K9,rD.K10);
    FETCH cPravaDelete INTO rS;
    IF cPravaDelete%NOTFOUND THEN
      BEGIN
        DELETE RF_DST where current of cOrigDelete;
        stDel:=stDel+1;
      END;
    END if;
    close cPravaDelete;
  END loop;
  close cOrigDelete;
  sendtoPipe('REFRESH','#/?S'||to_char(st)||'?U'||to_char(popr)||'?I'||to_char(ni)||'?D'||to_char(stDel)||'?');
END;
/
# readPipe passes over the opening message without items; a leading "#" never reaches the reader
DECLARE
  t VARCHAR2(200);
BEGIN
  FOR i IN 1 .. 2 LOOP
    readpipe('REFRESH', 1, t);
    DBMS_OUTPUT.PUT_LINE(i || ':' || NVL(t, '(none)'));
  END LOOP;
END;
/
> 1:/?S7?U1?I2?D1?
> 2:(none)
SELECT k1, val FROM rf_dst ORDER BY k1;
> K1,VAL
> 1,v1
> 2,v2
> 3,v3
# the block never commits: its changes go with the transaction
ROLLBACK;
SELECT k1, val FROM rf_dst ORDER BY k1;
> K1,VAL
> 1,old
> 7,gone
