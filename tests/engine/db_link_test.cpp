// Database links between two embedded databases beside each other in one data directory: HOME
// holds the links, AUDT is the database behind them. Names over a link resolve in AUDT as the link's
// user, with that user's privileges there.

#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace engine {
namespace {

using test::errorCode;
using test::rows;

class DbLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string data = nuvo::test::makeTempDir("links");
    CreateOptions options;
    options.durable = false;
    home_ = Database::create(data + "/HOME", options);
    remote_ = Database::create(data + "/AUDT", options);

    auto sys = remote_->logOn("system", "SYSTEM", false);
    sys->execute("CREATE USER aud IDENTIFIED BY Secret1");
    sys->execute("GRANT CREATE SESSION, CREATE TABLE, CREATE VIEW, UNLIMITED TABLESPACE TO aud");
    sys->execute("CREATE USER other IDENTIFIED BY other");
    sys->execute("GRANT CREATE SESSION, CREATE TABLE, UNLIMITED TABLESPACE TO other");
    auto aud = remote_->logOn("aud", "Secret1", false);
    aud->execute("CREATE TABLE events(id NUMBER PRIMARY KEY, what VARCHAR2(20))");
    aud->execute("INSERT INTO events VALUES (1, 'logon')");
    aud->execute("INSERT INTO events VALUES (2, 'logoff')");
    aud->execute("CREATE VIEW logons AS SELECT id FROM events WHERE what = 'logon'");
    aud->execute("COMMIT");
    auto other = remote_->logOn("other", "other", false);
    other->execute("CREATE TABLE hidden(x NUMBER)");
    other->execute("CREATE TABLE shared(x NUMBER)");
    other->execute("INSERT INTO shared VALUES (7)");
    other->execute("GRANT SELECT ON shared TO aud");
    other->execute("COMMIT");

    session_ = home_->logOn("system", "SYSTEM", false);
    session_->execute("CREATE DATABASE LINK audit_link CONNECT TO aud IDENTIFIED BY Secret1 USING 'AUDT'");
  }

  std::shared_ptr<Database> home_, remote_;
  std::unique_ptr<Session> session_;
};

TEST_F(DbLinkTest, QueriesReadTheOtherDatabaseAsTheLinkUser) {
  EXPECT_EQ(rows(*session_, "SELECT id, what FROM aud.events@audit_link ORDER BY id"),
            (std::vector<std::string>{"1|logon", "2|logoff"}));
  // Unqualified names are the link user's own; a view resolves there too.
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM events@audit_link"), (std::vector<std::string>{"2"}));
  EXPECT_EQ(rows(*session_, "SELECT id FROM logons@audit_link"), (std::vector<std::string>{"1"}));
  // A grant to the link user opens another schema of the remote database; without one it is missing.
  EXPECT_EQ(rows(*session_, "SELECT x FROM other.shared@audit_link"), (std::vector<std::string>{"7"}));
  EXPECT_EQ(errorCode(*session_, "SELECT x FROM other.hidden@audit_link"), 942);
  // A join of a local table with a remote one, and the link user's own dictionary.
  session_->execute("CREATE TABLE names(id NUMBER, label VARCHAR2(20))");
  session_->execute("INSERT INTO names VALUES (2, 'second')");
  EXPECT_EQ(rows(*session_, "SELECT n.label, e.what FROM names n JOIN aud.events@audit_link e ON e.id = n.id"),
            (std::vector<std::string>{"second|logoff"}));
}

TEST_F(DbLinkTest, DictionaryOverALinkIsTheOtherDatabases) {
  session_->execute("CREATE DATABASE LINK audit_dba CONNECT TO system IDENTIFIED BY SYSTEM USING 'AUDT'");
  EXPECT_EQ(rows(*session_, "SELECT owner, table_name FROM dba_tables@audit_dba WHERE owner IN ('AUD', 'OTHER') "
                            "ORDER BY table_name"),
            (std::vector<std::string>{"AUD|EVENTS", "OTHER|HIDDEN", "OTHER|SHARED"}));
  // The link user's own rights decide: AUD may not read the DBA_ views.
  EXPECT_EQ(errorCode(*session_, "SELECT COUNT(*) FROM dba_tables@audit_link"), 942);
  // Views that answer for this session (its user, its instance) are not offered over a link.
  EXPECT_EQ(errorCode(*session_, "SELECT COUNT(*) FROM all_tables@audit_dba"), 3001);
  EXPECT_EQ(errorCode(*session_, "SELECT COUNT(*) FROM v$session@audit_dba"), 3001);
}

TEST_F(DbLinkTest, InsertSelectCopiesRowsAcrossTheLinkAndRollbackUndoesIt) {
  session_->execute("CREATE TABLE copied(id NUMBER, what VARCHAR2(20))");
  session_->execute("INSERT INTO copied SELECT id, what FROM aud.events@audit_link WHERE id > 1");
  EXPECT_EQ(rows(*session_, "SELECT id, what FROM copied"), (std::vector<std::string>{"2|logoff"}));
  session_->rollback();
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM copied"), (std::vector<std::string>{"0"}));
  // The remote rows were only read.
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM aud.events@audit_link"), (std::vector<std::string>{"2"}));
}

TEST_F(DbLinkTest, LinkFailuresAreOraclesErrors) {
  session_->execute("CREATE DATABASE LINK nowhere CONNECT TO aud IDENTIFIED BY Secret1 USING 'NOSUCHDB'");
  session_->execute("CREATE DATABASE LINK badpass CONNECT TO aud IDENTIFIED BY wrong USING 'AUDT'");
  session_->execute("CREATE DATABASE LINK nouser CONNECT TO nobody IDENTIFIED BY x USING 'AUDT'");
  session_->execute("CREATE DATABASE LINK escape CONNECT TO aud IDENTIFIED BY Secret1 USING '../AUDT'");
  struct Case {
    const char* sql;
    int code;
  } cases[] = {
      {"SELECT * FROM events@nosuch", 2019},
      {"SELECT * FROM events@nowhere", 12154},
      {"SELECT * FROM events@escape", 12154},
      {"SELECT * FROM events@badpass", 1017},
      {"SELECT * FROM events@nouser", 1017},
      {"SELECT * FROM nosuch_table@audit_link", 942},
      // Changes over a link are refused, after the link's own errors.
      {"INSERT INTO events@nosuch VALUES (3, 'x')", 2019},
      {"INSERT INTO events@audit_link VALUES (3, 'x')", 3001},
      {"DELETE FROM events@audit_link", 3001},
  };
  for (const auto& c : cases) EXPECT_EQ(errorCode(*session_, c.sql), c.code) << c.sql;
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM aud.events@audit_link"), (std::vector<std::string>{"2"}));
}

TEST_F(DbLinkTest, LinksAreTheirOwnersAndPublicOnes) {
  session_->execute("CREATE USER u IDENTIFIED BY u");
  session_->execute("GRANT CREATE SESSION TO u");
  session_->execute("CREATE PUBLIC DATABASE LINK pub_link CONNECT TO other IDENTIFIED BY other USING 'audt'");
  auto u = home_->logOn("u", "u", false);
  // SYSTEM's private link is not U's; the public link is, and connects as its own user.
  EXPECT_EQ(errorCode(*u, "SELECT * FROM aud.events@audit_link"), 2019);
  EXPECT_EQ(rows(*u, "SELECT x FROM shared@pub_link"), (std::vector<std::string>{"7"}));
  EXPECT_EQ(rows(*u, "SELECT owner, db_link, username, host FROM all_db_links ORDER BY db_link"),
            (std::vector<std::string>{"PUBLIC|PUB_LINK|OTHER|audt"}));
  EXPECT_EQ(rows(*session_, "SELECT owner, db_link, username, host FROM all_db_links ORDER BY db_link"),
            (std::vector<std::string>{"SYSTEM|AUDIT_LINK|AUD|AUDT", "PUBLIC|PUB_LINK|OTHER|audt"}));
  session_->execute("DROP DATABASE LINK audit_link");
  EXPECT_EQ(errorCode(*session_, "SELECT * FROM aud.events@audit_link"), 2019);
}

}  // namespace
}  // namespace engine
