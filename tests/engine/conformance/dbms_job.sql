# DBMS_JOB: the queue is transactional, a user handles only the jobs the user submitted, RUN runs a job
# in the calling session. The job runner itself (due jobs, intervals, failures): engine_tests JobQueue*.
CREATE USER job_a IDENTIFIED BY a;
GRANT CREATE SESSION, CREATE TABLE, CREATE PROCEDURE TO job_a;
ALTER USER job_a QUOTA UNLIMITED ON users;
@connect job_a/a
CREATE TABLE runs (n NUMBER, job_no NUMBER);
CREATE PROCEDURE note_run(j NUMBER) IS
BEGIN
  INSERT INTO runs VALUES ((SELECT COUNT(*) + 1 FROM runs), j);
END;
/

# A submitted job is the user's, with its text, interval and the next date it was given
DECLARE
  k BINARY_INTEGER;
BEGIN
  DBMS_JOB.SUBMIT(k, 'note_run(job);', TO_DATE('2030-01-01 08:00', 'YYYY-MM-DD HH24:MI'), 'TRUNC(SYSDATE) + 1');
  DBMS_OUTPUT.PUT_LINE('job ' || k);
END;
/
> job 1
SELECT log_user, priv_user, schema_user, what, interval, broken, failures,
       TO_CHAR(next_date, 'YYYY-MM-DD HH24:MI') AS next, next_sec, last_date, this_date
  FROM user_jobs WHERE job = 1;
> LOG_USER,PRIV_USER,SCHEMA_USER,WHAT,INTERVAL,BROKEN,FAILURES,NEXT,NEXT_SEC,LAST_DATE,THIS_DATE
> JOB_A,JOB_A,JOB_A,note_run(job);,TRUNC(SYSDATE) + 1,N,0,2030-01-01 08:00,08:00:00,,
COMMIT;

# A rollback takes a submit back
DECLARE
  k BINARY_INTEGER;
BEGIN
  DBMS_JOB.SUBMIT(k, 'NULL;');
END;
/
ROLLBACK;
SELECT COUNT(*) AS n FROM user_jobs;
> N
> 1

# BROKEN, CHANGE, WHAT, NEXT_DATE and INTERVAL change the job
BEGIN
  DBMS_JOB.BROKEN(1, TRUE);
END;
/
SELECT broken, TO_CHAR(next_date, 'YYYY-MM-DD') AS next FROM user_jobs WHERE job = 1;
> BROKEN,NEXT
> Y,4000-01-01
BEGIN
  DBMS_JOB.BROKEN(1, FALSE, TO_DATE('2031-02-03', 'YYYY-MM-DD'));
  DBMS_JOB.CHANGE(1, NULL, NULL, 'SYSDATE + 1/24');
  DBMS_JOB.WHAT(1, 'note_run(job); note_run(-job);');
END;
/
SELECT broken, TO_CHAR(next_date, 'YYYY-MM-DD') AS next, interval, what FROM user_jobs WHERE job = 1;
> BROKEN,NEXT,INTERVAL,WHAT
> N,2031-02-03,SYSDATE + 1/24,note_run(job); note_run(-job);
BEGIN
  DBMS_JOB.NEXT_DATE(1, TO_DATE('2032-01-01', 'YYYY-MM-DD'));
  DBMS_JOB.INTERVAL(1, 'SYSDATE + 7');
END;
/
SELECT TO_CHAR(next_date, 'YYYY-MM-DD') AS next, interval FROM user_jobs WHERE job = 1;
> NEXT,INTERVAL
> 2032-01-01,SYSDATE + 7

# RUN runs the job in this session and commits; its next date comes from the interval
BEGIN
  DBMS_JOB.RUN(1);
END;
/
SELECT n, job_no AS job_no FROM runs ORDER BY n;
> N,JOB_NO
> 1,1
> 2,-1
SELECT COUNT(*) AS n FROM user_jobs WHERE job = 1 AND next_date > SYSDATE + 6 AND last_date IS NOT NULL AND failures = 0;
> N
> 1

# Bad intervals, bad job text, unknown jobs
DECLARE
  k BINARY_INTEGER;
BEGIN
  DBMS_JOB.SUBMIT(k, 'NULL;', SYSDATE, 'SYSDATE - 1');
END;
/
> ORA-23420: interval must evaluate to a time in the future
DECLARE
  k BINARY_INTEGER;
BEGIN
  DBMS_JOB.SUBMIT(k, 'no_such_proc;');
END;
/
> ORA-06550: line 1, column 95:
BEGIN
  DBMS_JOB.REMOVE(999999);
END;
/
> ORA-23421: job number 999999 is not a job in the job queue

# A failing RUN counts a failure and reports it
DECLARE
  k BINARY_INTEGER;
BEGIN
  DBMS_JOB.SUBMIT(k, 'RAISE_APPLICATION_ERROR(-20001, ''boom'');', SYSDATE, 'SYSDATE + 1');
  DBMS_OUTPUT.PUT_LINE('job ' || k);
  COMMIT;
  DBMS_JOB.RUN(k);
END;
/
> job 2
> ORA-12011: execution of 1 jobs failed
SELECT failures, broken FROM user_jobs WHERE what LIKE 'RAISE%';
> FAILURES,BROKEN
> 1,N

# Another user does not see or touch these jobs; DBA_JOBS shows them all
@connect SYSTEM/SYSTEM
SELECT COUNT(*) AS n FROM user_jobs;
> N
> 0
SELECT COUNT(*) AS n FROM dba_jobs WHERE log_user = 'JOB_A';
> N
> 2
DECLARE
  k NUMBER;
BEGIN
  SELECT MIN(job) INTO k FROM dba_jobs WHERE log_user = 'JOB_A';
  DBMS_JOB.REMOVE(k);
END;
/
> ORA-23421: job number 1 is not a job in the job queue

@connect job_a/a
BEGIN
  FOR j IN (SELECT job FROM user_jobs) LOOP
    DBMS_JOB.REMOVE(j.job);
  END LOOP;
  COMMIT;
END;
/
SELECT COUNT(*) AS n FROM user_jobs;
> N
> 0
