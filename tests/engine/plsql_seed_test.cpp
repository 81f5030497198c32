// The applications' server packages of seed/: they compile VALID and answer their callers' statements
// as the tool sends them (binds, calls from PL/SQL and from SQL, package state per session).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/script.h"
#include "engine_test_support.h"

namespace {

namespace fs = std::filesystem;
using engine::Value;

// A database made as `nuvo_db create` makes it: the application users, then the seed scripts in order.
std::shared_ptr<engine::Database> seededDatabase() {
  auto db = engine::test::freshDatabase("seed");
  auto sys = db->logOn("SYS", "SYS", true);
  for (const char* user : {"KADE", "ZOZURO", "NUVO_UTIL"}) {
    sys->execute(std::string("CREATE USER ") + user + " IDENTIFIED BY " + user);
    sys->execute(std::string("GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM TO ") + user);
  }
  std::vector<fs::path> scripts;
  for (const auto& entry : fs::directory_iterator(fs::path(NUVO_SOURCE_DIR) / "seed"))
    if (entry.path().extension() == ".sql") scripts.push_back(entry.path());
  std::sort(scripts.begin(), scripts.end());
  for (const auto& script : scripts) {
    std::ifstream in(script);
    std::stringstream text;
    text << in.rdbuf();
    for (const auto& statement : engine::splitScript(text.str())) {
      try {
        sys->execute(statement.text);
      } catch (const engine::Error& e) {
        ADD_FAILURE() << script.filename() << ":" << statement.line << ": " << e.message();
      }
    }
    sys->commit();
  }
  return db;
}

TEST(PlsqlSeedTest, SeedPackagesCompileValidAndAnswerTheirCallers) {
  auto db = seededDatabase();
  auto session = db->logOn("KADE", "KADE");
  EXPECT_EQ(engine::test::rows(*session,
                               "SELECT object_name || ' ' || object_type || ' ' || status FROM user_objects WHERE "
                               "object_type IN ('PACKAGE', 'PACKAGE BODY', 'PROCEDURE', 'FUNCTION') AND status <> 'VALID'"),
            std::vector<std::string>{});
  EXPECT_EQ(engine::test::rows(*session, "SELECT name FROM user_errors"), std::vector<std::string>{});

  // The tool's logon sets the application user, then reads it back and checks users.
  auto other = db->logOn("SYSTEM", "SYSTEM");
  other->execute("BEGIN KADE.pckLogParam.initParam(:u); END;", {{"u", Value("ANA")}});
  EXPECT_EQ(engine::test::rows(*other, "SELECT KADE.pckLogParam.getUser FROM dual"), std::vector<std::string>{"ANA"});
  EXPECT_EQ(engine::test::rows(*session, "SELECT KADE.pckLogParam.getUser FROM dual"), std::vector<std::string>{""});
  EXPECT_EQ(engine::test::rows(*other, "SELECT KADE.pckNuvoLog.userIsValid(:u) FROM dual", {{"u", Value("BOR")}}),
            std::vector<std::string>{"1"});
  EXPECT_EQ(engine::test::rows(*other, "SELECT KADE.pckNuvoLog.userIsValid(:u) FROM dual", {{"u", Value("NOBODY")}}),
            std::vector<std::string>{"0"});
  EXPECT_EQ(engine::test::rows(*other, "SELECT KADE.pckLogParam.canUseLargeRB FROM dual"), std::vector<std::string>{"D"});
}

// The statement table is written by the tool's users only (the role of the seed); anyone else may read
// it but not plant or change a row. PR107PAR is readable by everyone and lockable by no one but its
// owner's writers.
TEST(PlsqlSeedTest, StatementTableIsWrittenByTheToolsUsersOnlyAndParametersCannotBeLocked) {
  auto db = seededDatabase();
  struct Case {
    const char* user;
    const char* statement;
    int expected;  // ORA code, 0 for success
  };
  const Case cases[] = {
      {"BOR", "SELECT COUNT(*) FROM nuvo_util.nuvo_exs", 0},
      {"BOR", "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat) VALUES ('UPG9', 1, 'X')", 1031},
      {"BOR", "UPDATE nuvo_util.nuvo_exs SET script_stat = 'X'", 1031},
      {"BOR", "DELETE FROM nuvo_util.nuvo_exs", 1031},
      {"BOR", "SELECT val1_107 FROM kade.pr107par WHERE sifra107 = 1", 0},
      {"BOR", "SELECT val1_107 FROM pr107par WHERE sifra107 = 1 FOR UPDATE", 1031},
      {"BOR", "LOCK TABLE kade.pr107par IN EXCLUSIVE MODE", 1031},
      {"BOR", "SELECT username FROM kade.isec_users FOR UPDATE", 1031},
      {"ZOZURO", "SELECT val1_107 FROM pr107par WHERE sifra107 = 1 FOR UPDATE", 1031},
  };
  for (const auto& c : cases) {
    auto session = db->logOn(c.user, c.user);
    EXPECT_EQ(engine::test::errorCode(*session, c.statement), c.expected) << c.user << ": " << c.statement;
    session->rollback();
  }
  for (const char* user : {"KADE", "ZOZURO", "ANA", "IZAS1", "FZAS1", "IZAS2", "FZAS2"}) {
    auto session = db->logOn(user, user);
    for (const char* statement :
         {"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat) VALUES ('UPG9', 1, 'N')",
          "UPDATE nuvo_util.nuvo_exs SET script_stat = 'X' WHERE script_name = 'UPG9'",
          "SELECT script_stat FROM nuvo_util.nuvo_exs WHERE script_name = 'UPG9' FOR UPDATE",
          "DELETE FROM nuvo_util.nuvo_exs WHERE script_name = 'UPG9'"})
      EXPECT_EQ(engine::test::errorCode(*session, statement), 0) << user << ": " << statement;
    session->rollback();
  }
}

}  // namespace
