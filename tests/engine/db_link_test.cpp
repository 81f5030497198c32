// Database links between two embedded databases beside each other in one data directory: HOME
// holds the links, AUDT is the database behind them. Names over a link resolve in AUDT as the link's
// user, with that user's privileges there.

#include <gtest/gtest.h>
#include <sqlite3.h>

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
  // Views of the instance (sessions, jobs, pipes) are not offered over a link.
  EXPECT_EQ(errorCode(*session_, "SELECT COUNT(*) FROM v$session@audit_dba"), 3001);
  EXPECT_EQ(errorCode(*session_, "SELECT COUNT(*) FROM dba_jobs_running@audit_dba"), 3001);
}

TEST_F(DbLinkTest, SequencesOverALinkHandOutTheOtherDatabasesValues) {
  remote_->logOn("system", "SYSTEM", false)->execute("GRANT CREATE SEQUENCE TO aud");
  auto aud = remote_->logOn("aud", "Secret1", false);
  aud->execute("CREATE SEQUENCE ids START WITH 10 CACHE 5");
  auto own = [&] { return rows(*aud, "SELECT ids.NEXTVAL FROM dual").at(0); };
  // The other database's session holds 10 to 14; the link takes the next value after them, and the
  // other session's next block starts after the link's value.
  EXPECT_EQ(own(), "10");
  EXPECT_EQ(rows(*session_, "SELECT ids.NEXTVAL@audit_link, aud.ids.CURRVAL@audit_link FROM dual"),
            (std::vector<std::string>{"15|15"}));
  for (const char* expected : {"11", "12", "13", "14", "16"}) EXPECT_EQ(own(), expected);
  EXPECT_EQ(session_->execute("INSERT INTO events@audit_link VALUES (aud.ids.NEXTVAL@audit_link, 'seq')"), 1);
  EXPECT_EQ(rows(*session_, "SELECT id FROM events@audit_link WHERE what = 'seq'"), (std::vector<std::string>{"21"}));
  session_->commit();
  // NEXTVAL named twice in a row advances once; CURRVAL of another sequence over the link is not yet defined.
  EXPECT_EQ(rows(*session_, "SELECT ids.NEXTVAL@audit_link - ids.NEXTVAL@audit_link FROM dual"),
            (std::vector<std::string>{"0"}));
  remote_->logOn("system", "SYSTEM", false)->execute("CREATE SEQUENCE aud.other_ids");
  EXPECT_EQ(errorCode(*session_, "SELECT other_ids.CURRVAL@audit_link FROM dual"), 8002);
  // A sequence the link user cannot see, and an unknown link.
  EXPECT_EQ(errorCode(*session_, "SELECT nosuch.NEXTVAL@audit_link FROM dual"), 2289);
  EXPECT_EQ(errorCode(*session_, "SELECT ids.NEXTVAL@nosuch FROM dual"), 2019);
}

TEST_F(DbLinkTest, SelectForUpdateOverALinkLocksTheOtherDatabaseUntilTheTransactionEnds) {
  auto aud = remote_->logOn("aud", "Secret1", false);
  const char* lockThere = "SELECT id FROM events WHERE id = 1 FOR UPDATE NOWAIT";
  EXPECT_EQ(rows(*session_, "SELECT what FROM events@audit_link WHERE id = 1 FOR UPDATE"),
            (std::vector<std::string>{"logon"}));
  EXPECT_EQ(errorCode(*aud, lockThere), 54);
  session_->commit();
  EXPECT_EQ(rows(*aud, lockThere), (std::vector<std::string>{"1"}));
  // Held by the other database's session, the rows cannot be locked over the link either.
  EXPECT_EQ(errorCode(*session_, "SELECT id FROM events@audit_link FOR UPDATE NOWAIT"), 54);
  aud->rollback();
}

TEST_F(DbLinkTest, SessionViewsOverALinkAnswerForTheLinkUser) {
  // ALL_ views: AUD's own tables and what was granted to AUD there, not the local user's.
  EXPECT_EQ(rows(*session_, "SELECT owner, table_name FROM all_tables@audit_link WHERE owner IN ('AUD', 'OTHER', "
                            "'SYSTEM') ORDER BY 1, 2"),
            (std::vector<std::string>{"AUD|EVENTS", "OTHER|SHARED"}));
  EXPECT_EQ(rows(*session_, "SELECT table_name FROM user_tables@audit_link"), (std::vector<std::string>{"EVENTS"}));
  EXPECT_EQ(rows(*session_, "SELECT username FROM user_users@audit_link"), (std::vector<std::string>{"AUD"}));
  EXPECT_EQ(rows(*session_, "SELECT column_name, data_type, data_length FROM user_tab_columns@audit_link "
                            "WHERE table_name = 'EVENTS' ORDER BY column_id"),
            (std::vector<std::string>{"ID|NUMBER|22", "WHAT|VARCHAR2|20"}));
  EXPECT_EQ(rows(*session_, "SELECT table_name, privilege FROM user_tab_privs@audit_link"),
            (std::vector<std::string>{"SHARED|SELECT"}));
  // Joined with a local view, each side answers for its own user.
  EXPECT_EQ(rows(*session_, "SELECT u.username, r.username FROM user_users u, user_users@audit_link r"),
            (std::vector<std::string>{"SYSTEM|AUD"}));
  // A link back to this database answers as the link's user too.
  session_->execute("CREATE USER loop IDENTIFIED BY loop");
  session_->execute("GRANT CREATE SESSION TO loop");
  session_->execute("CREATE DATABASE LINK self_link CONNECT TO loop IDENTIFIED BY loop USING 'HOME'");
  EXPECT_EQ(rows(*session_, "SELECT username FROM user_users@self_link"), (std::vector<std::string>{"LOOP"}));
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM user_tables@self_link"), (std::vector<std::string>{"0"}));
}

TEST_F(DbLinkTest, ChangesOverALinkBelongToTheLocalTransaction) {
  session_->execute("CREATE TABLE local_log(n NUMBER)");
  auto watcher = remote_->logOn("aud", "Secret1", false);
  auto remoteRows = [&] { return rows(*watcher, "SELECT id || ':' || what FROM events ORDER BY id"); };
  auto change = [&] {
    EXPECT_EQ(session_->execute("INSERT INTO events@audit_link VALUES (3, 'audit')"), 1);
    EXPECT_EQ(session_->execute("UPDATE aud.events@audit_link e SET what = upper(what) WHERE e.id = 1"), 1);
    EXPECT_EQ(session_->execute("DELETE FROM aud.events@audit_link WHERE what = 'logoff'"), 1);
    session_->execute("INSERT INTO local_log VALUES (1)");
    EXPECT_EQ(rows(*session_, "SELECT id || ':' || what FROM events@audit_link ORDER BY id"),
              (std::vector<std::string>{"1:LOGON", "3:audit"}));
    // The other database's own sessions do not see uncommitted changes.
    EXPECT_EQ(remoteRows(), (std::vector<std::string>{"1:logon", "2:logoff"}));
  };
  change();
  session_->rollback();
  EXPECT_EQ(remoteRows(), (std::vector<std::string>{"1:logon", "2:logoff"}));
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM local_log"), (std::vector<std::string>{"0"}));
  change();
  session_->commit();
  EXPECT_EQ(remoteRows(), (std::vector<std::string>{"1:LOGON", "3:audit"}));
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM local_log"), (std::vector<std::string>{"1"}));

  // A session that ends without COMMIT leaves both sides as they were.
  {
    auto other = home_->logOn("system", "SYSTEM", false);
    other->execute("INSERT INTO local_log VALUES (2)");
    other->execute("INSERT INTO events@audit_link VALUES (4, 'lost')");
  }
  EXPECT_EQ(remoteRows(), (std::vector<std::string>{"1:LOGON", "3:audit"}));
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM local_log"), (std::vector<std::string>{"1"}));

  // A rollback to a savepoint undoes the remote change made after it.
  session_->execute("INSERT INTO events@audit_link VALUES (5, 'kept')");
  session_->savepoint("s1");
  session_->execute("INSERT INTO events@audit_link VALUES (6, 'undone')");
  session_->rollbackToSavepoint("s1");
  session_->commit();
  EXPECT_EQ(remoteRows(), (std::vector<std::string>{"1:LOGON", "3:audit", "5:kept"}));
}

TEST_F(DbLinkTest, InsertSelectRunsBothWaysAcrossTheLink) {
  session_->execute("CREATE TABLE archive(id NUMBER, what VARCHAR2(20))");
  session_->execute("INSERT INTO archive VALUES (10, 'ten')");
  session_->execute("INSERT INTO archive VALUES (11, NULL)");
  EXPECT_EQ(session_->execute("INSERT INTO events@audit_link (id, what) SELECT id, nvl(what, 'none') FROM archive"), 2);
  EXPECT_EQ(session_->execute("INSERT INTO archive SELECT id, what FROM aud.events@audit_link WHERE id < 10"), 2);
  // An UPDATE over the link reading a local table, and a DELETE over the link by a local subquery.
  EXPECT_EQ(session_->execute("UPDATE events@audit_link e SET what = (SELECT 'x' || a.what FROM archive a WHERE "
                              "a.id = e.id) WHERE e.id >= 10"),
            2);
  EXPECT_EQ(session_->execute("DELETE FROM events@audit_link WHERE id IN (SELECT id FROM archive WHERE what = 'logoff')"),
            1);
  session_->commit();
  auto aud = remote_->logOn("aud", "Secret1", false);
  EXPECT_EQ(rows(*aud, "SELECT id || ':' || what FROM events ORDER BY id"),
            (std::vector<std::string>{"1:logon", "10:xten", "11:x"}));
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM archive"), (std::vector<std::string>{"4"}));
}

TEST_F(DbLinkTest, ChangesOverALinkFollowTheOtherDatabasesRules) {
  auto aud = remote_->logOn("aud", "Secret1", false);
  aud->execute("CREATE TABLE audited(n NUMBER NOT NULL, CONSTRAINT audited_pk PRIMARY KEY (n))");
  auto sys = remote_->logOn("system", "SYSTEM", false);
  sys->execute("CREATE TRIGGER aud.events_bi BEFORE INSERT ON aud.events FOR EACH ROW BEGIN NULL; END;");
  // This database's own table of the same name, with a trigger that refuses every row: it is not the target.
  session_->execute("CREATE USER aud IDENTIFIED BY x");
  session_->execute("CREATE TABLE aud.audited(n NUMBER, CONSTRAINT local_pk PRIMARY KEY (n))");
  session_->execute("CREATE TRIGGER aud.audited_bi BEFORE INSERT ON aud.audited FOR EACH ROW "
                    "BEGIN raise_application_error(-20001, 'local trigger'); END;");
  EXPECT_EQ(session_->execute("INSERT INTO audited@audit_link VALUES (1)"), 1);
  struct Case {
    const char* sql;
    int code;
    const char* message;
  } cases[] = {
      // The remote constraint, by its name there.
      {"INSERT INTO aud.audited@audit_link VALUES (1)", 1, "AUD.AUDITED_PK"},
      {"INSERT INTO audited@audit_link VALUES (NULL)", 1400, "\"AUD\".\"AUDITED\".\"N\""},
      // The link user's rights in the other database.
      {"INSERT INTO other.shared@audit_link VALUES (1)", 1031, nullptr},
      {"DELETE FROM other.hidden@audit_link", 942, nullptr},
      {"UPDATE nosuch@audit_link SET x = 1", 942, nullptr},
      {"INSERT INTO events@nosuch VALUES (3, 'x')", 2019, nullptr},
      // What is not done over a link.
      {"INSERT INTO events@audit_link VALUES (3, 'x')", 3001, nullptr},
      {"DELETE FROM audited@audit_link WHERE n = 1 RETURNING n INTO :n", 22816, nullptr},
  };
  for (const auto& c : cases) {
    try {
      if (std::string(c.sql).find(":n") != std::string::npos) session_->execute(c.sql, {{"n", Value()}});
      else session_->execute(c.sql);
      EXPECT_EQ(c.code, 0) << c.sql;
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), c.code) << c.sql << ": " << e.message();
      if (c.message) {
        EXPECT_NE(e.message().find(c.message), std::string::npos) << e.message();
      }
    }
  }
  // A failed statement undoes only itself.
  session_->commit();
  EXPECT_EQ(rows(*aud, "SELECT COUNT(*) FROM audited"), (std::vector<std::string>{"1"}));
}

TEST_F(DbLinkTest, PlsqlTypesOfRemoteTables) {
  errorCode(*session_,
      "CREATE OR REPLACE FUNCTION first_event RETURN VARCHAR2 IS\n"
      "  r events@audit_link%ROWTYPE;\n"
      "  w aud.events.what@audit_link%TYPE;\n"
      "BEGIN\n"
      "  SELECT * INTO r FROM events@audit_link WHERE id = 1;\n"
      "  w := r.what;\n"
      "  r.id := 9; r.what := 'copy';\n"
      "  INSERT INTO events@audit_link VALUES (r.id, r.what);\n"
      "  RETURN r.id || ' ' || w;\n"
      "END;");
  EXPECT_EQ(rows(*session_, "SELECT line || ': ' || text FROM user_errors WHERE name = 'FIRST_EVENT'"),
            std::vector<std::string>{});
  EXPECT_EQ(rows(*session_, "SELECT status FROM user_objects WHERE object_name = 'FIRST_EVENT'"),
            (std::vector<std::string>{"VALID"}));
  session_->execute("DECLARE s VARCHAR2(100); BEGIN s := first_event; IF s <> '9 logon' THEN "
                    "raise_application_error(-20001, s); END IF; END;");
  EXPECT_EQ(rows(*session_, "SELECT what FROM events@audit_link WHERE id = 9"), (std::vector<std::string>{"copy"}));
  // The remote column's length holds: VARCHAR2(20).
  EXPECT_EQ(errorCode(*session_, "DECLARE w events.what@audit_link%TYPE; BEGIN w := rpad('x', 21, 'x'); END;"), 6502);
  struct Case {
    const char* declaration;
    const char* error;
  } cases[] = {
      {"r nosuch@audit_link%ROWTYPE", "PLS-00201"},
      {"r events@nosuch%ROWTYPE", "PLS-00352"},
      {"r other.hidden@audit_link%ROWTYPE", "PLS-00201"},
      {"w events.nosuch@audit_link%TYPE", "PLS-00201"},
  };
  for (const auto& c : cases) {
    try {
      session_->execute(std::string("DECLARE ") + c.declaration + "; BEGIN NULL; END;");
      ADD_FAILURE() << c.declaration;
    } catch (const Error& e) {
      EXPECT_NE(e.message().find(c.error), std::string::npos) << c.declaration << ": " << e.message();
    }
  }
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
      {"INSERT INTO events@nowhere VALUES (3, 'x')", 12154},
      {"DELETE FROM events@badpass", 1017},
  };
  for (const auto& c : cases) EXPECT_EQ(errorCode(*session_, c.sql), c.code) << c.sql;
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM aud.events@audit_link"), (std::vector<std::string>{"2"}));
}

TEST_F(DbLinkTest, TheCatalogKeepsNoLinkPasswordAndOpeningReplacesAnEarlierOne) {
  std::string dir = home_->directory();
  auto stored = [&] {
    sqlite3* raw = nullptr;
    EXPECT_EQ(sqlite3_open((dir + "/database.db").c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "SELECT password FROM db_links WHERE db_link = 'AUDIT_LINK'", -1, &st, nullptr);
    std::string value = sqlite3_step(st) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0)) : "";
    sqlite3_finalize(st);
    sqlite3_close(raw);
    return value;
  };
  std::string kept = stored();
  EXPECT_FALSE(kept.empty());
  EXPECT_EQ(kept.find("Secret1"), std::string::npos) << kept;
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM events@audit_link"), (std::vector<std::string>{"2"}));
  // An earlier engine kept the password itself: opening the database replaces it by its digests.
  session_.reset();
  home_.reset();
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open((dir + "/database.db").c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw, "UPDATE db_links SET password = 'Secret1'", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  home_ = Database::open(dir);
  session_ = home_->logOn("system", "SYSTEM", false);
  EXPECT_EQ(stored(), kept);
  EXPECT_EQ(rows(*session_, "SELECT COUNT(*) FROM events@audit_link"), (std::vector<std::string>{"2"}));
  // A wrong password stays wrong when only its digests are kept.
  session_->execute("CREATE DATABASE LINK wrong_case CONNECT TO aud IDENTIFIED BY \"secret1\" USING 'AUDT'");
  EXPECT_EQ(errorCode(*session_, "SELECT COUNT(*) FROM events@wrong_case"), 0);  // logons ignore case by default
  // The other instance's rule as it stands at the link's logon (a session's link stays logged on).
  remote_->setParameter("sec_case_sensitive_logon", "TRUE");
  auto later = home_->logOn("system", "SYSTEM", false);
  EXPECT_EQ(errorCode(*later, "SELECT COUNT(*) FROM events@wrong_case"), 1017);
  EXPECT_EQ(rows(*later, "SELECT COUNT(*) FROM events@audit_link"), (std::vector<std::string>{"2"}));
}

// One statement on a database file of its own connection; the first column of the first row.
std::string rawValue(const std::string& file, const std::string& sql) {
  sqlite3* raw = nullptr;
  EXPECT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(raw, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
  std::string value;
  if (st && sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
    value = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  sqlite3_finalize(st);
  sqlite3_close(raw);
  return value;
}

TEST_F(DbLinkTest, ACommitWhoseOtherHalfWasLostIsReported) {
  std::string here = home_->directory() + "/database.db", there = remote_->directory() + "/database.db";
  session_->execute("INSERT INTO events@audit_link VALUES (3, 'x')");
  session_->commit();
  // A whole commit leaves no record on either side.
  EXPECT_EQ(rawValue(here, "SELECT COUNT(*) FROM link_commits"), "0");
  EXPECT_EQ(rawValue(there, "SELECT COUNT(*) FROM link_commit_marks"), "0");
  // What a crash between the two files' commits leaves: the record here and no mark there. Beside
  // it a record whose mark is there: a whole commit whose records were not yet cleared.
  rawValue(here, "INSERT INTO link_commits(txn_id, db_link, db_user, created) VALUES ('7.1.1', 'AUDIT_LINK', "
                 "'SYSTEM', 0), ('7.2.1', 'AUDIT_LINK', 'SYSTEM', 0)");
  rawValue(there, "INSERT INTO link_commit_marks VALUES ('7.2.1')");
  auto later = home_->logOn("system", "SYSTEM", false);  // opens the link anew
  EXPECT_EQ(rows(*later, "SELECT COUNT(*) FROM events@audit_link"), (std::vector<std::string>{"3"}));
  EXPECT_EQ(rows(*later, "SELECT local_tran_id, state, mixed, db_user FROM dba_2pc_pending"),
            (std::vector<std::string>{"7.1.1|committed|yes|SYSTEM"}));
  EXPECT_EQ(rawValue(there, "SELECT COUNT(*) FROM link_commit_marks"), "0");
  // A record this young may be another session's commit between its two writes: not judged yet.
  rawValue(here, "INSERT INTO link_commits(txn_id, db_link, db_user, created) VALUES ('7.3.1', 'AUDIT_LINK', "
                 "'SYSTEM', strftime('%s', 'now'))");
  auto third = home_->logOn("system", "SYSTEM", false);
  EXPECT_EQ(rows(*third, "SELECT COUNT(*) FROM events@audit_link"), (std::vector<std::string>{"3"}));
  EXPECT_EQ(rows(*third, "SELECT COUNT(*) FROM dba_2pc_pending"), (std::vector<std::string>{"1"}));
}

TEST_F(DbLinkTest, StatementsOverALinkFollowChangesOfTheOtherDatabasesTables) {
  const std::string query = "SELECT * FROM events@audit_link WHERE id = 1";
  EXPECT_EQ(rows(*session_, query), (std::vector<std::string>{"1|logon"}));
  auto aud = remote_->logOn("aud", "Secret1", false);
  aud->execute("ALTER TABLE events ADD (origin VARCHAR2(10) DEFAULT 'local')");
  EXPECT_EQ(rows(*session_, query), (std::vector<std::string>{"1|logon|local"}));
  aud->execute("DROP TABLE events");
  EXPECT_EQ(errorCode(*session_, query), 942);
  EXPECT_EQ(errorCode(*session_, "INSERT INTO events@audit_link VALUES (1, 'x', 'y')"), 942);
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
