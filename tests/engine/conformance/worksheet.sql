# The SQL worksheet's statements: its session id, its history ring blocks run by a user on the
# utility schema's table, the plan walk and the output of a unit created with errors.

SELECT CASE WHEN SYS_CONTEXT('USERENV','SID') > 0 THEN 'sid' END AS r FROM dual;
> R
> sid

CREATE USER nuvo_util IDENTIFIED BY nuvo_util;
CREATE USER wsu IDENTIFIED BY wsu;
GRANT CREATE SESSION, CREATE PROCEDURE TO wsu;
CREATE TABLE nuvo_util.nuvo_hist (hist_zpst NUMBER(3) NOT NULL, hist_ukaz VARCHAR2(4000), hist_user VARCHAR2(30) NOT NULL);
GRANT SELECT, INSERT, UPDATE ON nuvo_util.nuvo_hist TO wsu;
CREATE TABLE nuvo_util.nuvo_plan_table (id NUMBER, parent_id NUMBER, operation VARCHAR2(30), options VARCHAR2(255), object_name VARCHAR2(128), position NUMBER);
GRANT SELECT, INSERT, UPDATE, DELETE ON nuvo_util.nuvo_plan_table TO wsu;

@connect WSU/WSU
# The first save creates the pointer row and 100 empty ('' is NULL) ring rows, then stores slot 1
declare
  cursor cPointer is select hist_ukaz from nuvo_util.nuvo_hist
    where hist_user=user and hist_zpst=0 for update;
  vLast varchar2(4000);
  vSlot number;
begin
  open cPointer;
  fetch cPointer into vLast;
  if cPointer%notfound then
    close cPointer;
    insert into nuvo_util.nuvo_hist values (0,'0',user);
    for i in 1..100 loop
      insert into nuvo_util.nuvo_hist values (i,'',user);
    end loop;
    open cPointer;
    fetch cPointer into vLast;
  end if;
  close cPointer;
  begin
    vSlot := to_number(rtrim(substr(vLast,1,3)));
  exception when others then
    vSlot := 0;
  end;
  if vSlot is null or vSlot < 0 or vSlot >= 100 then
    vSlot := 1;
  else
    vSlot := vSlot + 1;
  end if;
  update nuvo_util.nuvo_hist set hist_ukaz=to_char(vSlot) where hist_user=user and hist_zpst=0;
  update nuvo_util.nuvo_hist set hist_ukaz='select 1'||chr(13)||chr(10)||'from dual' where hist_user=user and hist_zpst=vSlot;
  commit;
end;
/
SELECT COUNT(*) AS n, COUNT(hist_ukaz) AS filled FROM nuvo_util.nuvo_hist WHERE hist_user = 'WSU';
> N,FILLED
> 101,2
# The history list: the first line of a statement and "  ..." when it has more
select decode(instr(hist_ukaz,chr(10)),0,hist_ukaz,
         rtrim(substr(hist_ukaz,1,instr(hist_ukaz,chr(10))-1),chr(13))||'  ...') sql,
       hist_zpst
  from nuvo_util.nuvo_hist
 where hist_user='WSU' and hist_zpst>0 and length(hist_ukaz)>5
 order by hist_zpst;
> SQL,HIST_ZPST
> select 1  ...,1
# A wrapped ring: deleting an entry older than the pointer walks around the end of the ring
UPDATE nuvo_util.nuvo_hist SET hist_ukaz = 'e' || hist_zpst WHERE hist_user = 'WSU' AND hist_zpst > 0;
> 100 rows
UPDATE nuvo_util.nuvo_hist SET hist_ukaz = '3' WHERE hist_user = 'WSU' AND hist_zpst = 0;
> 1 rows
declare
  vLast number;
  vSlot number;
  vNext number;
  vFull number;
  vText varchar2(4000);
begin
  select to_number(rtrim(substr(hist_ukaz,1,3))) into vLast from nuvo_util.nuvo_hist
   where hist_user=user and hist_zpst=0 for update;
  if 99 between 1 and 100 and vLast between 1 and 100 then
    vSlot := 99;
    while vSlot <> vLast loop
      vNext := mod(vSlot,100)+1;
      select hist_ukaz into vText from nuvo_util.nuvo_hist where hist_user=user and hist_zpst=vNext;
      update nuvo_util.nuvo_hist set hist_ukaz=vText where hist_user=user and hist_zpst=vSlot;
      vSlot := vNext;
    end loop;
    update nuvo_util.nuvo_hist set hist_ukaz='' where hist_user=user and hist_zpst=vLast;
    vLast := vLast-1;
    if vLast = 0 then
      select count(*) into vFull from nuvo_util.nuvo_hist
       where hist_user=user and hist_zpst=100 and hist_ukaz is not null;
      if vFull > 0 then
        vLast := 100;
      end if;
    end if;
    update nuvo_util.nuvo_hist set hist_ukaz=to_char(vLast) where hist_user=user and hist_zpst=0;
  end if;
end;
/
SELECT hist_zpst, hist_ukaz FROM nuvo_util.nuvo_hist WHERE hist_user = 'WSU' AND hist_zpst IN (0, 1, 2, 3, 98, 99, 100) ORDER BY 1;
> HIST_ZPST,HIST_UKAZ
> 0,2
> 1,e2
> 2,e3
> 3,
> 98,e98
> 99,e100
> 100,e1
ROLLBACK;

# The plan walk: six blanks per level, the cost on the first line
INSERT INTO nuvo_util.nuvo_plan_table VALUES (0, NULL, 'SELECT STATEMENT', NULL, NULL, 3);
> 1 rows
INSERT INTO nuvo_util.nuvo_plan_table VALUES (1, 0, 'TABLE ACCESS', 'FULL', 'ARTIKLI', 1);
> 1 rows
select substr(lpad(' ',6*level)||operation||rtrim(decode(id,0,'  Cost='||position))
       ||' '||rtrim(options)||' '||object_name,1,300) zaporedje
  from nuvo_util.nuvo_plan_table
 connect by prior id=parent_id start with id=0;
> ZAPOREDJE
>       SELECT STATEMENT  Cost=3  
>             TABLE ACCESS FULL ARTIKLI
ROLLBACK;

# A unit created with compile errors exists: the worksheet lists its errors instead of failing
create or replace procedure ws_bad is
begin
  x := 1;
end;
/
> ORA-24344: success with compilation error
SELECT object_name, status FROM user_objects WHERE object_name = 'WS_BAD';
> OBJECT_NAME,STATUS
> WS_BAD,INVALID
