// Privileges as a table of (privileges held, statement, expected result). Every row runs three ways:
// sent directly by the user, through EXECUTE IMMEDIATE in the user's anonymous block, and through
// EXECUTE IMMEDIATE inside a procedure the user owns, called by another user. In the procedure the
// owner's privileges count and the caller's never do: a caller holding only EXECUTE on it succeeds
// where the owner may, a caller holding DBA fails where the owner may not.

#include <gtest/gtest.h>

#include <sstream>

#include "engine_test_support.h"

namespace engine {
namespace {

struct PrivilegeCase {
  const char* name;
  const char* held;       // privileges granted to the user, ";" between grants, "" for none
  const char* statement;  // {u} stands for the user's name
  const char* expected;   // "" for success, else a text the error contains
};

// Another schema, OWNR, holds a table with a row and a trigger, a view, a procedure, a function and
// a sequence. The user U holds CREATE SESSION, a table OWN_T and a view OWN_V of its own, and `held`.
const PrivilegeCase kCases[] = {
    // Creating stored units and objects in one's own schema
    {"ProcedureWithoutPrivilege", "", "CREATE PROCEDURE pr_{u} IS BEGIN NULL; END;", "ORA-01031"},
    {"ProcedureWithPrivilege", "CREATE PROCEDURE", "CREATE PROCEDURE pr_{u} IS BEGIN NULL; END;", ""},
    {"FunctionWithoutPrivilege", "", "CREATE FUNCTION fn_{u} RETURN NUMBER IS BEGIN RETURN 1; END;", "ORA-01031"},
    {"PackageWithoutPrivilege", "", "CREATE PACKAGE pk_{u} IS x NUMBER; END;", "ORA-01031"},
    {"PackageWithPrivilege", "CREATE PROCEDURE", "CREATE PACKAGE pk_{u} IS x NUMBER; END;", ""},
    {"TriggerWithoutPrivilege", "", "CREATE TRIGGER tr_{u} BEFORE INSERT ON own_t BEGIN NULL; END;", "ORA-01031"},
    {"TriggerWithPrivilege", "CREATE TRIGGER", "CREATE TRIGGER tr_{u} BEFORE INSERT ON own_t BEGIN NULL; END;", ""},
    {"ViewWithoutPrivilege", "", "CREATE VIEW v_{u} AS SELECT id FROM own_t", "ORA-01031"},
    {"ViewWithPrivilege", "CREATE VIEW", "CREATE VIEW v_{u} AS SELECT id FROM own_t", ""},
    {"SequenceWithoutPrivilege", "", "CREATE SEQUENCE s_{u}", "ORA-01031"},
    {"SequenceWithPrivilege", "CREATE SEQUENCE", "CREATE SEQUENCE s_{u}", ""},
    {"SynonymWithoutPrivilege", "", "CREATE SYNONYM syn_{u} FOR own_t", "ORA-01031"},
    {"SynonymWithPrivilege", "CREATE SYNONYM", "CREATE SYNONYM syn_{u} FOR own_t", ""},
    {"OwnerDropsOwnViewWithoutPrivileges", "", "DROP VIEW own_v", ""},
    // Another schema needs the ANY privilege; a trigger on another schema's table too
    {"TriggerOnOthersTableWithOwnPrivilege", "CREATE TRIGGER",
     "CREATE TRIGGER tr_{u} BEFORE INSERT ON ownr.t BEGIN NULL; END;", "ORA-01031"},
    {"TriggerOnOthersTableWithAnyPrivilege", "CREATE ANY TRIGGER",
     "CREATE TRIGGER tr_{u} BEFORE INSERT ON ownr.t BEGIN NULL; END;", ""},
    {"TriggerInOthersSchemaWithOwnPrivilege", "CREATE TRIGGER",
     "CREATE TRIGGER ownr.tr_{u} BEFORE INSERT ON ownr.t BEGIN NULL; END;", "ORA-01031"},
    {"TriggerInOthersSchemaWithAnyPrivilege", "CREATE ANY TRIGGER",
     "CREATE TRIGGER ownr.tr_{u} BEFORE INSERT ON ownr.t BEGIN NULL; END;", ""},
    {"ProcedureInOthersSchemaWithOwnPrivilege", "CREATE PROCEDURE",
     "CREATE PROCEDURE ownr.pr_{u} IS BEGIN NULL; END;", "ORA-01031"},
    {"ProcedureInOthersSchemaWithAnyPrivilege", "CREATE ANY PROCEDURE",
     "CREATE PROCEDURE ownr.pr_{u} IS BEGIN NULL; END;", ""},
    {"SynonymInOthersSchemaWithOwnPrivilege", "CREATE SYNONYM", "CREATE SYNONYM ownr.syn_{u} FOR ownr.t",
     "ORA-01031"},
    {"SynonymInOthersSchemaWithAnyPrivilege", "CREATE ANY SYNONYM", "CREATE SYNONYM ownr.syn_{u} FOR ownr.t", ""},
    // ALTER and DROP of another schema's objects: the ANY privilege; an object without any
    // privilege on it is missing
    {"DropOthersProcedureUnseen", "", "DROP PROCEDURE ownr.p", "ORA-04043"},
    {"DropOthersProcedureWithExecute", "EXECUTE ON ownr.p", "DROP PROCEDURE ownr.p", "ORA-01031"},
    {"DropOthersProcedureWithAnyPrivilege", "DROP ANY PROCEDURE", "DROP PROCEDURE ownr.p", ""},
    {"AlterOthersProcedureUnseen", "", "ALTER PROCEDURE ownr.p COMPILE", "ORA-04043"},
    {"AlterOthersProcedureWithAnyPrivilege", "ALTER ANY PROCEDURE", "ALTER PROCEDURE ownr.p COMPILE", ""},
    {"DropOthersTrigger", "CREATE ANY TRIGGER", "DROP TRIGGER ownr.t_trg", "ORA-01031"},
    {"DropOthersTriggerWithAnyPrivilege", "DROP ANY TRIGGER", "DROP TRIGGER ownr.t_trg", ""},
    {"DisableOthersTrigger", "", "ALTER TRIGGER ownr.t_trg DISABLE", "ORA-01031"},
    {"DisableOthersTriggerWithAnyPrivilege", "ALTER ANY TRIGGER", "ALTER TRIGGER ownr.t_trg DISABLE", ""},
    {"DropOthersSequenceUnseen", "", "DROP SEQUENCE ownr.s", "ORA-02289"},
    {"DropOthersSequenceWithSelect", "SELECT ON ownr.s", "DROP SEQUENCE ownr.s", "ORA-01031"},
    {"DropOthersSequenceWithAnyPrivilege", "DROP ANY SEQUENCE", "DROP SEQUENCE ownr.s", ""},
    {"AlterOthersSequenceUnseen", "", "ALTER SEQUENCE ownr.s INCREMENT BY 2", "ORA-02289"},
    {"AlterOthersSequenceWithAlterGrant", "ALTER ON ownr.s", "ALTER SEQUENCE ownr.s INCREMENT BY 2", ""},
    {"AlterOthersViewWithCreateAnyView", "CREATE ANY VIEW", "ALTER VIEW ownr.v COMPILE", "ORA-01031"},
    {"AlterOthersViewWithAlterAnyTable", "ALTER ANY TABLE", "ALTER VIEW ownr.v COMPILE", ""},
    {"DropOthersTableUnseen", "", "DROP TABLE ownr.t", "ORA-00942"},
    {"DropOthersTableWithSelect", "SELECT ON ownr.t", "DROP TABLE ownr.t", "ORA-01031"},
    // Calls need EXECUTE
    {"CallWithoutExecute", "", "BEGIN ownr.p; END;", "PLS-00201"},
    {"CallWithExecute", "EXECUTE ON ownr.p", "BEGIN ownr.p; END;", ""},
    {"CallWithExecuteAnyProcedure", "EXECUTE ANY PROCEDURE", "BEGIN ownr.p; END;", ""},
    {"FunctionInSqlWithoutExecute", "", "SELECT ownr.f FROM dual", "ORA-00904"},
    {"FunctionInSqlWithExecute", "EXECUTE ON ownr.f", "SELECT ownr.f FROM dual", ""},
    // READ allows queries and no locks; SELECT allows both
    {"QueryWithRead", "READ ON ownr.t", "SELECT COUNT(*) FROM ownr.t", ""},
    {"ForUpdateWithRead", "READ ON ownr.t", "SELECT id FROM ownr.t FOR UPDATE", "ORA-01031"},
    {"LockTableWithRead", "READ ON ownr.t", "LOCK TABLE ownr.t IN EXCLUSIVE MODE", "ORA-01031"},
    {"InsertWithRead", "READ ON ownr.t", "INSERT INTO ownr.t VALUES (2)", "ORA-01031"},
    {"ForUpdateWithSelect", "SELECT ON ownr.t", "SELECT id FROM ownr.t FOR UPDATE", ""},
    {"LockTableWithSelect", "SELECT ON ownr.t", "LOCK TABLE ownr.t IN EXCLUSIVE MODE", ""},
    {"LockTableWithoutPrivilege", "", "LOCK TABLE ownr.t IN EXCLUSIVE MODE", "ORA-00942"},
    {"ReadThroughRole", "ROLE READ ON ownr.t", "SELECT COUNT(*) FROM ownr.t", ""},
    {"ForUpdateWithReadThroughRole", "ROLE READ ON ownr.t", "SELECT id FROM ownr.t FOR UPDATE", "ORA-01031"},
};

std::string withUser(std::string text, const std::string& user) {
  for (auto at = text.find("{u}"); at != std::string::npos; at = text.find("{u}")) text.replace(at, 3, user);
  return text;
}

std::vector<std::string> split(const std::string& list) {
  std::vector<std::string> out;
  std::stringstream in(list);
  for (std::string item; std::getline(in, item, ';');)
    if (!item.empty()) out.push_back(item);
  return out;
}

// The database of one run: OWNR's objects, the user U with `held`, the procedure U.RUN_IT that runs
// its argument, and two callers of it.
std::shared_ptr<Database> prepared(const PrivilegeCase& c) {
  auto db = test::freshDatabase("priv");
  auto sys = db->logOn("SYSTEM", "SYSTEM");
  for (const char* sql : {
           "CREATE USER ownr IDENTIFIED BY ownr",
           "GRANT CREATE SESSION, CREATE TABLE, CREATE PROCEDURE, CREATE TRIGGER, CREATE SEQUENCE TO ownr",
           "CREATE TABLE ownr.t (id NUMBER)",
           "INSERT INTO ownr.t VALUES (1)",
           "COMMIT",
           "CREATE SEQUENCE ownr.s",
           "CREATE VIEW ownr.v AS SELECT id FROM ownr.t",
           "CREATE PROCEDURE ownr.p IS BEGIN NULL; END;",
           "CREATE FUNCTION ownr.f RETURN NUMBER IS BEGIN RETURN 7; END;",
           "CREATE TRIGGER ownr.t_trg BEFORE INSERT ON ownr.t BEGIN NULL; END;",
           "CREATE USER u IDENTIFIED BY u",
           "GRANT CREATE SESSION TO u",
           "CREATE TABLE u.own_t (id NUMBER)",
           "CREATE VIEW u.own_v AS SELECT id FROM u.own_t",
           "CREATE PROCEDURE u.run_it(text VARCHAR2) IS BEGIN EXECUTE IMMEDIATE text; END;",
           "CREATE USER plain_caller IDENTIFIED BY c",
           "GRANT CREATE SESSION TO plain_caller",
           "GRANT EXECUTE ON u.run_it TO plain_caller",
           "CREATE USER dba_caller IDENTIFIED BY c",
           "GRANT CREATE SESSION, DBA TO dba_caller",
           "GRANT EXECUTE ON u.run_it TO dba_caller",
       })
    sys->execute(sql);
  for (const auto& grant : split(c.held)) {
    if (grant.rfind("ROLE ", 0) == 0) {
      sys->execute("CREATE ROLE case_role");
      sys->execute("GRANT " + grant.substr(5) + " TO case_role");
      sys->execute("GRANT case_role TO u");
    } else {
      sys->execute("GRANT " + grant + " TO u");
    }
  }
  return db;
}

// The outcome of a statement: "" when it succeeds, else the error's whole text.
std::string outcome(Session& session, const std::string& sql, const std::vector<std::pair<std::string, Value>>& binds) {
  try {
    auto stmt = session.prepare(sql);
    for (const auto& [name, value] : binds) stmt->bind(name, value);
    stmt->execute();
    while (stmt->isQuery() && stmt->next()) {
    }
    return {};
  } catch (const Error& e) {
    return e.message().empty() ? "error " + std::to_string(e.code()) : e.message();
  }
}

void expectOutcome(const std::string& actual, const PrivilegeCase& c, const char* way) {
  if (*c.expected == '\0') EXPECT_EQ(actual, "") << way << ": " << c.statement;
  else EXPECT_NE(actual.find(c.expected), std::string::npos) << way << ": " << c.statement << "\n  got: " << actual;
}

class PrivilegeTable : public ::testing::TestWithParam<PrivilegeCase> {};

TEST_P(PrivilegeTable, HoldsDirectlyInBlocksAndInDefinersUnits) {
  const PrivilegeCase& c = GetParam();
  std::string text = withUser(c.statement, "U");
  {
    auto db = prepared(c);
    auto u = db->logOn("U", "U");
    expectOutcome(outcome(*u, text, {}), c, "directly");
  }
  {
    auto db = prepared(c);
    auto u = db->logOn("U", "U");
    expectOutcome(outcome(*u, "BEGIN EXECUTE IMMEDIATE :t; END;", {{"t", Value(text)}}), c, "EXECUTE IMMEDIATE");
  }
  {
    auto db = prepared(c);
    // Where the owner may, a caller with nothing but EXECUTE on the unit succeeds; where the owner may
    // not, even a DBA calling it fails.
    const char* caller = *c.expected == '\0' ? "PLAIN_CALLER" : "DBA_CALLER";
    auto s = db->logOn(caller, "C");
    expectOutcome(outcome(*s, "BEGIN u.run_it(:t); END;", {{"t", Value(text)}}), c, caller);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PrivilegeTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PrivilegeCase>& info) { return info.param.name; });

// A definer's-rights unit does not lend its owner's rights to the caller's own statements, and the
// statement cache does not either: the text the unit ran is checked again for the caller.
TEST(PrivilegeTest, RightsOfAUnitEndWithTheCall) {
  auto db = prepared({"", "READ ON ownr.t", "", ""});
  auto sys = db->logOn("SYSTEM", "SYSTEM");
  sys->execute("GRANT CREATE PROCEDURE TO u");
  auto caller = db->logOn("PLAIN_CALLER", "C");
  const std::string create = "CREATE PROCEDURE pr_x IS BEGIN NULL; END;";
  EXPECT_EQ(outcome(*caller, "BEGIN u.run_it(:t); END;", {{"t", Value(create)}}), "");
  EXPECT_EQ(test::rows(*sys, "SELECT owner FROM dba_objects WHERE object_name = 'PR_X'"),
            std::vector<std::string>{"U"});
  EXPECT_NE(outcome(*caller, create, {}).find("ORA-01031"), std::string::npos);
  const std::string query = "SELECT COUNT(*) FROM ownr.t";
  EXPECT_EQ(outcome(*caller, "BEGIN u.run_it(:t); END;", {{"t", Value(query)}}), "");
  EXPECT_NE(outcome(*caller, query, {}).find("ORA-00942"), std::string::npos);
  EXPECT_EQ(test::rows(*caller, "SELECT USER FROM dual"), std::vector<std::string>{"PLAIN_CALLER"});
}

}  // namespace
}  // namespace engine
