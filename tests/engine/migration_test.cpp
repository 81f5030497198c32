// A database directory of the earlier layout (catalog.db and one <SCHEMA>.schema.db per schema, here
// made from the SQL text of such files in old_layout/) is migrated when it is opened.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>

#include "engine_test_support.h"

namespace fs = std::filesystem;

namespace engine {
namespace {

using test::errorCode;
using test::rows;

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Builds each file of the earlier layout from its SQL text, in WAL mode as the earlier engine kept them.
std::string earlierLayoutDatabase() {
  std::string dir = nuvo::test::makeTempDir("migration") + "/OLD";
  fs::create_directories(dir);
  for (const auto& entry : fs::directory_iterator(fs::path(NUVO_TEST_DATA_DIR) / "old_layout")) {
    std::string file = dir + "/" + entry.path().stem().string() + ".db";
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, readText(entry.path()).c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }
  return dir;
}

// A database of this engine's layout, with what `statements` make, run by SYSTEM.
std::string currentDatabase(const std::string& name, std::initializer_list<const char*> statements = {}) {
  std::string dir = nuvo::test::makeTempDir(name) + "/DB";
  CreateOptions options;
  options.durable = false;
  auto db = Database::create(dir, options);
  auto system = db->logOn("SYSTEM", "SYSTEM");
  for (const char* sql : statements) system->execute(sql);
  return dir;
}

// Runs `sql` on the database's file itself, as an earlier engine would have left it; SQLite's result code.
int runOnFile(const std::string& dir, const std::string& sql) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2((dir + "/database.db").c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  return rc;
}

TEST(MigrationTest, OpeningAnEarlierLayoutKeepsDataConstraintsAndSequences) {
  std::string dir = earlierLayoutDatabase();
  ASSERT_TRUE(Database::exists(dir));
  {
    auto db = Database::open(dir);
    auto kade = db->logOn("KADE", "KADE");
    EXPECT_EQ(rows(*kade, "SELECT id, name FROM parent ORDER BY id"), (std::vector<std::string>{"1|one", "2|two"}));
    EXPECT_EQ(rows(*kade, "SELECT * FROM v_child ORDER BY id"), (std::vector<std::string>{"100|one", "101|two"}));
    EXPECT_EQ(rows(*kade, "SELECT x FROM \"mixed Case\""), std::vector<std::string>{"42"});
    auto zozuro = db->logOn("ZOZURO", "ZOZURO");
    EXPECT_EQ(rows(*zozuro, "SELECT TO_CHAR(d, 'YYYY-MM-DD'), t FROM z"),
              std::vector<std::string>{"2024-02-29|it's \"quoted\""});
    // Primary key, unique key, foreign key (both ways) and check constraints are enforced.
    EXPECT_EQ(errorCode(*kade, "INSERT INTO parent VALUES (1, 'uno')"), 1);
    EXPECT_EQ(errorCode(*kade, "INSERT INTO parent VALUES (3, 'one')"), 1);
    EXPECT_EQ(errorCode(*kade, "INSERT INTO child VALUES (102, 9, 1)"), 2291);
    EXPECT_EQ(errorCode(*kade, "DELETE FROM parent WHERE id = 1"), 2292);
    EXPECT_EQ(errorCode(*kade, "INSERT INTO child VALUES (103, 1, -1)"), 2290);
    EXPECT_EQ(rows(*kade, "SELECT index_name FROM user_indexes WHERE table_name = 'CHILD'"),
              std::vector<std::string>{"CHILD_QTY"});
    // The sequence handed out 10 before: it goes on after its cached range, never back.
    EXPECT_GT(std::stoll(rows(*kade, "SELECT seq1.NEXTVAL FROM dual")[0]), 10);
    // DDL and DML on migrated tables.
    EXPECT_EQ(errorCode(*kade, "ALTER TABLE child ADD (note VARCHAR2(10))"), 0);
    EXPECT_EQ(errorCode(*kade, "INSERT INTO child (id, parent_id, qty, note) VALUES (104, 2, 3, 'n')"), 0);
    kade->commit();
    EXPECT_EQ(errorCode(*kade, "DROP TABLE \"mixed Case\""), 0);
  }
  EXPECT_TRUE(fs::exists(dir + "/database.db"));
  EXPECT_FALSE(fs::exists(dir + "/catalog.db"));
  EXPECT_TRUE(fs::exists(dir + "/old_layout/catalog.db"));
  EXPECT_TRUE(fs::exists(dir + "/old_layout/KADE.schema.db"));
  EXPECT_FALSE(fs::exists(dir + "/database.db.migrating.lock"));
  // Opened again: the migrated database as it was left.
  auto db = Database::open(dir);
  auto kade = db->logOn("KADE", "KADE");
  EXPECT_EQ(rows(*kade, "SELECT count(*) FROM child"), std::vector<std::string>{"3"});
  EXPECT_EQ(errorCode(*kade, "INSERT INTO child (id, parent_id, qty) VALUES (105, 9, 1)"), 2291);
  EXPECT_EQ(errorCode(*kade, "SELECT * FROM \"mixed Case\""), 942);
}

TEST(MigrationTest, ADatabaseThatCannotBeMigratedIsRefusedAndLeftAsItWas) {
  std::string dir = earlierLayoutDatabase();
  {
    std::ofstream damaged(dir + "/KADE.schema.db", std::ios::binary | std::ios::trunc);
    damaged << std::string(4096, 'x');
  }
  std::string catalogBefore = readText(dir + "/catalog.db");
  try {
    Database::open(dir);
    FAIL() << "a database whose schema file is no database opened";
  } catch (const Error& e) {
    EXPECT_EQ(e.code(), 1034);
    EXPECT_NE(e.message().find("could not be migrated"), std::string::npos) << e.message();
  }
  EXPECT_EQ(readText(dir + "/catalog.db"), catalogBefore);
  EXPECT_FALSE(fs::exists(dir + "/database.db"));
  EXPECT_FALSE(fs::exists(dir + "/database.db.migrating"));
  EXPECT_TRUE(Database::exists(dir));
}

// A catalog whose object grants had one row per grantee and privilege gets one row per grantor; a
// grant without its grantor is taken as the owner's.
TEST(MigrationTest, ObjectGrantsOfAnEarlierCatalogKeepTheirGrantors) {
  std::string dir = currentDatabase("grantors", {"CREATE USER g_own IDENTIFIED BY pw", "CREATE USER g_mid IDENTIFIED BY pw",
                                                  "CREATE USER g_end IDENTIFIED BY pw",
                                                  "GRANT CREATE SESSION TO g_own, g_mid, g_end", "CREATE TABLE g_own.t (a NUMBER)"});
  EXPECT_EQ(runOnFile(dir,
                      "DROP TABLE tab_privs;"
                      "CREATE TABLE tab_privs(grantee TEXT NOT NULL, owner TEXT NOT NULL, table_name TEXT NOT NULL, grantor TEXT,"
                      "  privilege TEXT NOT NULL, grantable TEXT DEFAULT 'NO', PRIMARY KEY(grantee, owner, table_name, privilege));"
                      "INSERT INTO tab_privs VALUES ('G_MID', 'G_OWN', 'T', NULL, 'SELECT', 'YES');"
                      "INSERT INTO tab_privs VALUES ('G_END', 'G_OWN', 'T', 'G_MID', 'SELECT', 'NO');"),
            SQLITE_OK);

  auto db = Database::open(dir);
  auto owner = db->logOn("G_OWN", "PW");
  EXPECT_EQ(rows(*owner, "SELECT grantor, grantee, grantable FROM user_tab_privs ORDER BY grantee"),
            (std::vector<std::string>{"G_MID|G_END|NO", "G_OWN|G_MID|YES"}));
  // The owner's own grant to G_END is a second grant beside G_MID's, revoked on its own.
  EXPECT_EQ(errorCode(*owner, "GRANT SELECT ON t TO g_end"), 0);
  EXPECT_EQ(errorCode(*owner, "REVOKE SELECT ON t FROM g_end"), 0);
  EXPECT_EQ(errorCode(*owner, "REVOKE SELECT ON t FROM g_end"), 1927);
  EXPECT_EQ(errorCode(*owner, "REVOKE SELECT ON t FROM g_mid"), 0);
  EXPECT_EQ(rows(*owner, "SELECT grantor, grantee FROM user_tab_privs"), std::vector<std::string>{});
}

// A catalog from before tablespaces were kept took any name; the names its users and tables were
// given stay usable once names are checked, and other names are refused.
TEST(MigrationTest, TablespaceNamesAnEarlierCatalogUsedStayUsable) {
  std::string dir = currentDatabase("tablespaces", {"CREATE USER t_old IDENTIFIED BY pw"});
  EXPECT_EQ(runOnFile(dir, "DROP TABLE tablespaces;"
                           "UPDATE users SET default_tablespace = 'kade_pr', temporary_tablespace = 'KADE_TMP' "
                           "WHERE username = 'T_OLD';"),
            SQLITE_OK);

  auto db = Database::open(dir);
  auto system = db->logOn("SYSTEM", "SYSTEM");
  EXPECT_EQ(rows(*system, "SELECT tablespace_name, contents FROM dba_tablespaces WHERE tablespace_name LIKE 'KADE%' "
                          "ORDER BY 1"),
            (std::vector<std::string>{"KADE_PR|PERMANENT", "KADE_TMP|TEMPORARY"}));
  EXPECT_EQ(errorCode(*system, "CREATE USER t_new IDENTIFIED BY pw DEFAULT TABLESPACE kade_pr TEMPORARY TABLESPACE kade_tmp"), 0);
  EXPECT_EQ(errorCode(*system, "CREATE USER t_bad IDENTIFIED BY pw DEFAULT TABLESPACE kade_inx"), 959);
}

// A catalog the upgrade at opening cannot bring up is refused with the reason, not opened as it is,
// and the upgrade's partial work is undone.
TEST(MigrationTest, ACatalogThatCannotBeUpgradedIsRefusedWithTheReason) {
  std::string dir = currentDatabase("broken_catalog");
  // An earlier catalog without tablespaces, and without the roles the upgrade grants to.
  EXPECT_EQ(runOnFile(dir, "DROP TABLE tablespaces; DROP TABLE roles;"), SQLITE_OK);

  try {
    Database::open(dir);
    ADD_FAILURE() << "opened";
  } catch (const Error& e) {
    EXPECT_NE(e.message().find("roles"), std::string::npos) << e.message();
  }
  EXPECT_EQ(runOnFile(dir, "SELECT * FROM tablespaces"), SQLITE_ERROR);  // the upgrade that makes it was undone
}

}  // namespace
}  // namespace engine
