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

}  // namespace
