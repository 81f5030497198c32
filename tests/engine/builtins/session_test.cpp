// USER, UID, USERENV and SYS_CONTEXT read the session's context.
#include "sql_fixture.h"

namespace engine::builtins::test {
namespace {

using Session = SqlFixture;

TEST_F(Session, UserUidAndUserenv) {
  check({
      {"ora_user()", "KADE"},
      {"ora_uid()", "42"},
      {"ora_userenv('SESSIONID')", "17"},
      {"ora_userenv('terminal')", "unknown"},
      {"ora_userenv('LANGUAGE')", "AMERICAN_AMERICA.AL32UTF8"},
      {"ora_userenv('LANG')", "US"},
      {"ora_userenv('ISDBA')", "FALSE"},
      {"ora_userenv('nonsense')", "ORA-02003: invalid USERENV parameter"},
  });
}

TEST_F(Session, SysContextReadsTheUserenvNamespace) {
  check({
      {"ora_sys_context('USERENV', 'SESSION_USER')", "KADE"},
      {"ora_sys_context('userenv', 'current_schema')", "KADE"},
      {"ora_sys_context('USERENV', 'HOST')", "localhost"},
      {"ora_sys_context('USERENV', 'OS_USER')", "installer"},
      {"ora_sys_context('USERENV', 'TERMINAL')", "unknown"},
      {"ora_sys_context('USERENV', 'DB_NAME')", "DEMO"},
      {"ora_sys_context('USERENV', 'SID')", "17"},
      {"typeof(ora_sys_context('USERENV', 'SID'))", "text"},
      {"ora_sys_context('USERENV', 'MODULE')", "nuvo_sql"},
      {"ora_sys_context('USERENV', 'IP_ADDRESS')", "127.0.0.1"},
      {"ora_sys_context('USERENV', 'DB_NAME', 2)", "DE"},
      {"ora_sys_context('MY_CONTEXT', 'ANYTHING')", "NULL"},
      {"ora_sys_context('USERENV', 'BOGUS')", "ORA-02003"},
  });
}

TEST_F(Session, ChangesToTheContextShowInTheNextStatement) {
  context_.currentSchema = "ZOZURO";
  context_.sysdba = true;
  context_.user = "SYSTEM";
  context_.now = [] { return DateTime{2060, 1, 2, 3, 4, 5}; };
  check({
      {"ora_sys_context('USERENV', 'CURRENT_SCHEMA')", "ZOZURO"},
      {"ora_user()", "SYSTEM"},
      {"ora_sys_context('USERENV', 'ISDBA')", "TRUE"},
      {"ora_sysdate()", "2060-01-02 03:04:05"},
      {"ora_to_date('01-JAN-80')", "2080-01-01 00:00:00"},
      {"ora_to_date('01-JAN-10')", "2110-01-01 00:00:00"},
  });
}

}  // namespace
}  // namespace engine::builtins::test
