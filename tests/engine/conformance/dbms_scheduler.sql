# DBMS_SCHEDULER as the job windows call it: named arguments, BOOLEAN actuals, the package's constants
# under SYS.; each call commits. Runs by the job queue, STOP_JOB: engine_tests Scheduler*.
CREATE TABLE sched_log (txt VARCHAR2(40));
BEGIN
  SYS.DBMS_SCHEDULER.CREATE_JOB(job_name => 'SYSTEM.LOCK_JOB', start_date => SYSDATE, repeat_interval => NULL,
    end_date => NULL, job_class => 'DEFAULT_JOB_CLASS', job_type => 'PLSQL_BLOCK',
    job_action => 'BEGIN INSERT INTO system.sched_log VALUES (''ran''); END;', comments => 'Runs all the time.');
  SYS.DBMS_SCHEDULER.SET_ATTRIBUTE(name => 'SYSTEM.LOCK_JOB', attribute => 'RESTARTABLE', value => TRUE);
  SYS.DBMS_SCHEDULER.SET_ATTRIBUTE(name => 'SYSTEM.LOCK_JOB', attribute => 'LOGGING_LEVEL', value => SYS.DBMS_SCHEDULER.LOGGING_RUNS);
  SYS.DBMS_SCHEDULER.SET_ATTRIBUTE(name => 'SYSTEM.LOCK_JOB', attribute => 'MAX_FAILURES', value => 10);
  SYS.DBMS_SCHEDULER.SET_ATTRIBUTE(name => 'SYSTEM.LOCK_JOB', attribute => 'AUTO_DROP', value => FALSE);
  SYS.DBMS_SCHEDULER.SET_ATTRIBUTE(name => 'SYSTEM.LOCK_JOB', attribute => 'RESTART_ON_RECOVERY', value => TRUE);
  SYS.DBMS_SCHEDULER.SET_ATTRIBUTE(name => 'SYSTEM.LOCK_JOB', attribute => 'RESTART_ON_FAILURE', value => FALSE);
  SYS.DBMS_SCHEDULER.SET_ATTRIBUTE(name => 'SYSTEM.LOCK_JOB', attribute => 'STOP_ON_WINDOW_CLOSE', value => FALSE);
END;
/
SELECT owner, job_name, job_type, enabled, auto_drop, restartable, state, max_failures, logging_level, comments
  FROM all_scheduler_jobs WHERE job_name = 'LOCK_JOB';
> OWNER,JOB_NAME,JOB_TYPE,ENABLED,AUTO_DROP,RESTARTABLE,STATE,MAX_FAILURES,LOGGING_LEVEL,COMMENTS
> SYSTEM,LOCK_JOB,PLSQL_BLOCK,FALSE,FALSE,TRUE,DISABLED,10,RUNS,Runs all the time.

# ENABLE schedules it; DISABLE takes it back
BEGIN
  DBMS_SCHEDULER.ENABLE('system.lock_job');
END;
/
SELECT enabled, state, CASE WHEN next_run_date IS NOT NULL THEN 'next' END AS next FROM user_scheduler_jobs;
> ENABLED,STATE,NEXT
> TRUE,SCHEDULED,next
BEGIN
  DBMS_SCHEDULER.DISABLE('LOCK_JOB');
END;
/
SELECT enabled, state FROM user_scheduler_jobs;
> ENABLED,STATE
> FALSE,DISABLED

# RUN_JOB in the current session: the action runs, a disabled job stays disabled, the run is logged
BEGIN
  DBMS_SCHEDULER.RUN_JOB('LOCK_JOB');
END;
/
SELECT txt FROM sched_log;
> TXT
> ran
SELECT state, run_count, failure_count FROM user_scheduler_jobs;
> STATE,RUN_COUNT,FAILURE_COUNT
> DISABLED,1,0
SELECT job_name, status, error# FROM user_scheduler_job_run_details;
> JOB_NAME,STATUS,ERROR#
> LOCK_JOB,SUCCEEDED,0

# A stored procedure as the action; a failing run counts a failure and raises its error
CREATE PROCEDURE sched_fail IS
BEGIN
  RAISE_APPLICATION_ERROR(-20005, 'does not work');
END;
/
BEGIN
  DBMS_SCHEDULER.CREATE_JOB('FAILING', 'STORED_PROCEDURE', 'sched_fail', auto_drop => FALSE);
  DBMS_SCHEDULER.RUN_JOB('FAILING', TRUE);
END;
/
> ORA-20005: does not work
SELECT state, failure_count FROM user_scheduler_jobs WHERE job_name = 'FAILING';
> STATE,FAILURE_COUNT
> DISABLED,1
SELECT status, error# FROM user_scheduler_job_run_details WHERE job_name = 'FAILING';
> STATUS,ERROR#
> FAILED,20005

# Errors: a job that exists, one that does not, a bad interval or attribute, stopping a job not running
BEGIN
  DBMS_SCHEDULER.CREATE_JOB('LOCK_JOB', 'PLSQL_BLOCK', 'BEGIN NULL; END;');
END;
/
> ORA-27477: "SYSTEM"."LOCK_JOB" already exists
BEGIN
  DBMS_SCHEDULER.ENABLE('NO_SUCH_JOB');
END;
/
> ORA-27475: unknown job "SYSTEM"."NO_SUCH_JOB"
BEGIN
  DBMS_SCHEDULER.CREATE_JOB('BAD', 'PLSQL_BLOCK', 'BEGIN NULL; END;', repeat_interval => 'FREQ=FORTNIGHTLY');
END;
/
> ORA-27465: invalid value FREQ=FORTNIGHTLY for attribute REPEAT_INTERVAL
BEGIN
  DBMS_SCHEDULER.CREATE_JOB('BAD', 'EXECUTABLE', '/bin/true');
END;
/
> ORA-27465: invalid value EXECUTABLE for attribute JOB_TYPE
BEGIN
  DBMS_SCHEDULER.SET_ATTRIBUTE('LOCK_JOB', 'COLOUR', 'red');
END;
/
> ORA-27469: COLOUR is not a valid job attribute
BEGIN
  DBMS_SCHEDULER.STOP_JOB('LOCK_JOB', force => TRUE);
END;
/
> ORA-27366: job "SYSTEM"."LOCK_JOB" is not running

# A repeat interval in the calendar syntax or as a date expression
BEGIN
  DBMS_SCHEDULER.CREATE_JOB('DAILY', 'PLSQL_BLOCK', 'BEGIN NULL; END;',
    start_date => TO_DATE('2030-05-01 00:00', 'YYYY-MM-DD HH24:MI'), repeat_interval => 'FREQ=DAILY; BYHOUR=6,18; BYMINUTE=30',
    enabled => TRUE);
  DBMS_SCHEDULER.CREATE_JOB('HOURLY', 'PLSQL_BLOCK', 'BEGIN NULL; END;', repeat_interval => 'SYSDATE + 1/24');
END;
/
SELECT job_name, repeat_interval, TO_CHAR(next_run_date, 'YYYY-MM-DD HH24:MI') AS next FROM user_scheduler_jobs
 WHERE job_name IN ('DAILY', 'HOURLY') ORDER BY 1;
> JOB_NAME,REPEAT_INTERVAL,NEXT
> DAILY,"FREQ=DAILY; BYHOUR=6,18; BYMINUTE=30",2030-05-01 00:00
> HOURLY,SYSDATE + 1/24,

# DROP_JOB removes jobs, a list of them at once
BEGIN
  DBMS_SCHEDULER.DROP_JOB('LOCK_JOB, FAILING');
  DBMS_SCHEDULER.DROP_JOB('DAILY');
  DBMS_SCHEDULER.DROP_JOB('HOURLY');
END;
/
SELECT COUNT(*) AS n FROM user_scheduler_jobs;
> N
> 0
