// An install script in the style of public PL/SQL libraries (install/event_log.sql: object types with
// bodies, a package with conditional compilation, an identity column, timestamps, a partitioned
// table, a materialized view, a trigger), run as it stands through the script splitter by the
// library's owner: every statement succeeds, every object is VALID, and the library works.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/script.h"
#include "engine_test_support.h"

namespace {

namespace fs = std::filesystem;
using engine::test::errorCode;
using engine::test::rows;
using Rows = std::vector<std::string>;

std::string readScript(const std::string& name) {
  std::ifstream in(fs::path(NUVO_TEST_DATA_DIR) / "install" / name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class InstallScript : public testing::Test {
 protected:
  void SetUp() override {
    db_ = engine::test::freshDatabase("install");
    auto system = db_->logOn("SYSTEM", "SYSTEM");
    system->execute("CREATE USER evlog IDENTIFIED BY evlog");
    system->execute(
        "GRANT CREATE SESSION, CREATE TABLE, CREATE PROCEDURE, CREATE TYPE, CREATE VIEW, CREATE TRIGGER, "
        "CREATE SEQUENCE, CREATE MATERIALIZED VIEW TO evlog");
    owner_ = db_->logOn("EVLOG", "EVLOG");
  }

  // Runs the script statement by statement as nuvo_db does; every failure is reported with its line.
  void install(const std::string& name) {
    std::string text = readScript(name);
    ASSERT_FALSE(text.empty()) << name << " is missing";
    for (const auto& statement : engine::splitScript(text)) {
      try {
        owner_->execute(statement.text);
      } catch (const engine::Error& e) {
        ADD_FAILURE() << name << ":" << statement.line << ": " << e.message();
      }
    }
  }

  std::shared_ptr<engine::Database> db_;
  std::unique_ptr<engine::Session> owner_;
};

TEST_F(InstallScript, EventLogInstallsEveryObjectValid) {
  install("event_log.sql");
  EXPECT_EQ(rows(*owner_, "SELECT name || ' ' || type || ' ' || line || ': ' || text FROM user_errors"), Rows{});
  EXPECT_EQ(rows(*owner_,
                 "SELECT object_type || ' ' || object_name || ' ' || status FROM user_objects "
                 "WHERE object_type NOT IN ('INDEX', 'SEQUENCE') ORDER BY object_type, object_name"),
            (Rows{"MATERIALIZED VIEW EVL_DAILY_MV VALID", "PACKAGE EVL VALID", "PACKAGE BODY EVL VALID",
                  "TABLE EVL_DAILY_MV VALID", "TABLE EVL_ENTRIES VALID", "TABLE EVL_LEVELS VALID",
                  "TABLE EVL_PREFS VALID", "TRIGGER EVL_ENTRIES_BI VALID", "TYPE EVL_PARAM VALID",
                  "TYPE EVL_PARAMS VALID", "TYPE BODY EVL_PARAM VALID", "VIEW EVL_RECENT VALID"}));
  // The identity column's sequence and the indexes of the keys and of the script.
  EXPECT_EQ(rows(*owner_, "SELECT object_type, COUNT(*) FROM user_objects WHERE object_type IN ('INDEX', 'SEQUENCE') "
                          "GROUP BY object_type ORDER BY 1"),
            (Rows{"INDEX|5", "SEQUENCE|1"}));
  EXPECT_EQ(rows(*owner_, "SELECT table_name, column_name, generation_type FROM user_tab_identity_cols"),
            Rows{"EVL_ENTRIES|ID|ALWAYS"});
  EXPECT_EQ(rows(*owner_, "SELECT partition_name || ' ' || high_value FROM user_tab_partitions "
                          "WHERE table_name = 'EVL_ENTRIES' ORDER BY partition_position"),
            (Rows{"EVL_P2023 TIMESTAMP '2024-01-01 00:00:00'", "EVL_P2024 TIMESTAMP '2025-01-01 00:00:00'",
                  "EVL_PMAX MAXVALUE"}));
  EXPECT_EQ(rows(*owner_, "SELECT table_name, column_name, data_type FROM user_tab_columns "
                          "WHERE data_type LIKE 'TIMESTAMP%' ORDER BY table_name, column_name"),
            (Rows{"EVL_ENTRIES|LOGGED_AT|TIMESTAMP(6)", "EVL_PREFS|CHANGED_AT|TIMESTAMP(3)",
                  "EVL_RECENT|LOGGED_AT|TIMESTAMP(6)"}));
  EXPECT_EQ(rows(*owner_, "SELECT level_id || ' ' || level_name FROM evl_levels ORDER BY level_id"),
            (Rows{"1 ERROR", "2 WARNING", "3 INFO", "4 DEBUG"}));
}

TEST_F(InstallScript, EventLogWritesReadsAndPurges) {
  install("event_log.sql");
  engine::DateTime clock{2024, 7, 15, 8, 30, 0};
  clock.nanos = 125000000;
  db_->setClock(&clock);
  owner_->execute("INSERT INTO evl_entries (logged_at, level_id, text) VALUES (TIMESTAMP '2023-06-01 10:00:00.250', 1, 'old')");
  owner_->execute(
      "INSERT INTO evl_entries (logged_at, level_id, scope, text) "
      "VALUES (TIMESTAMP '2024-02-29 23:59:59.999999', 2, 'batch.night', 'leap')");
  owner_->execute(
      "BEGIN\n"
      "  evl.error('disk full', 'storage');\n"
      "  evl.info('started', 'app.main', evl_params(evl_param('user'), evl_param('mode')));\n"
      "  evl.debug('below the level: not written');\n"
      "  evl.log(evl.c_warning, 'careful');\n"
      "END;");
  owner_->execute("COMMIT");
  EXPECT_EQ(rows(*owner_, "SELECT id, level_name, scope, text, TO_CHAR(logged_at, 'YYYY-MM-DD HH24:MI:SS.FF3') "
                          "FROM evl_recent ORDER BY id"),
            (Rows{"1|ERROR|anonymous|old|2023-06-01 10:00:00.250",
                  "2|WARNING|batch.night|leap|2024-02-29 23:59:59.999",
                  "3|ERROR|storage|disk full|2024-07-15 08:30:00.125",
                  "4|INFO|app.main|started|2024-07-15 08:30:00.125",
                  "5|WARNING|anonymous|careful|2024-07-15 08:30:00.125"}));
  EXPECT_EQ(rows(*owner_, "SELECT params FROM evl_entries WHERE params IS NOT NULL"), Rows{"user=NULL, mode=NULL"});
  EXPECT_EQ(rows(*owner_, "SELECT evl.format_time(TIMESTAMP '2024-02-29 23:59:59.999999'), "
                          "evl.seconds_between(TIMESTAMP '2024-02-29 23:59:58.75', TIMESTAMP '2024-03-01 00:00:01.25') "
                          "FROM dual"),
            Rows{"2024-02-29T23:59:59.999|2.5"});

  // The materialized view holds what its query gave at the last refresh.
  EXPECT_EQ(rows(*owner_, "SELECT COUNT(*) FROM evl_daily_mv"), Rows{"0"});
  owner_->execute("BEGIN DBMS_MVIEW.REFRESH('EVL_DAILY_MV'); END;");
  EXPECT_EQ(rows(*owner_, "SELECT TO_CHAR(day, 'YYYY-MM-DD') || ' ' || level_id || ' ' || entries FROM evl_daily_mv "
                          "ORDER BY day, level_id"),
            (Rows{"2023-06-01 1 1", "2024-02-29 2 1", "2024-07-15 1 1", "2024-07-15 2 1", "2024-07-15 3 1"}));

  EXPECT_EQ(errorCode(*owner_, "INSERT INTO evl_entries (id, level_id, text) VALUES (100, 1, 'x')"), 32795);
  EXPECT_EQ(errorCode(*owner_, "BEGIN evl.log(1, 'bad', 'not a scope'); END;"), 20001);
  EXPECT_EQ(rows(*owner_, "SELECT COUNT(*) FROM evl_entries"), Rows{"5"});

  owner_->execute(
      "DECLARE n PLS_INTEGER; BEGIN n := evl.purge(TIMESTAMP '2024-02-29 23:59:59.999999'); "
      "IF n <> 1 THEN RAISE_APPLICATION_ERROR(-20000, 'purged ' || n); END IF; END;");
  EXPECT_EQ(rows(*owner_, "SELECT MIN(id) FROM evl_entries"), Rows{"2"});
}

}  // namespace
