// Sessions through the C++ API: logon, binds, transactions and isolation between sessions.

#include <gtest/gtest.h>

#include "engine_test_support.h"

using engine::test::errorCode;
using engine::test::rows;

namespace engine {
namespace {

TEST(SessionTest, CreateInsertWithBindsSelectCommit) {
  auto db = test::freshDatabase();
  auto s = db->logOn("system", "system");
  EXPECT_EQ(s->user(), "SYSTEM");
  s->execute("CREATE TABLE t (id NUMBER PRIMARY KEY, name VARCHAR2(10), born DATE)");
  auto insert = s->prepare("INSERT INTO t (id, name, born) VALUES (:id, :Name, :born)");
  EXPECT_EQ(insert->bindNames(), (std::vector<std::string>{"ID", "NAME", "BORN"}));
  for (int i = 1; i <= 3; ++i) {
    insert->bind("ID", i);
    insert->bind(":name", "n" + std::to_string(i));
    insert->bind("born", DateTime{2020, 1, i});
    insert->execute();
    EXPECT_EQ(insert->rowCount(), 1);
  }
  EXPECT_TRUE(s->inTransaction());
  s->commit();
  EXPECT_FALSE(s->inTransaction());
  EXPECT_EQ(rows(*s, "SELECT name, born FROM t WHERE id >= :lo ORDER BY id", {{"lo", 2}}),
            (std::vector<std::string>{"n2|02-JAN-20", "n3|03-JAN-20"}));
  auto query = s->prepare("select id, name n from t where id = 1");
  query->execute();
  ASSERT_EQ(query->columns().size(), 2u);
  EXPECT_EQ(query->columns()[0].name, "ID");
  EXPECT_EQ(query->columns()[0].type, DataType::Number);
  EXPECT_EQ(query->columns()[1].name, "N");
  ASSERT_TRUE(query->next());
  EXPECT_EQ(query->value(0), Value(1));
  EXPECT_FALSE(query->next());
}

// A statement may name tables of any number of schemas, and one transaction may change them all.
TEST(SessionTest, AStatementNamesTablesOfManySchemas) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  std::string all;
  for (int i = 1; i <= 14; ++i) {
    std::string user = "U" + std::to_string(i);
    s->execute("CREATE USER " + user + " IDENTIFIED BY x");
    s->execute("CREATE TABLE " + user + ".t (n NUMBER)");
    s->execute("INSERT INTO " + user + ".t VALUES (" + std::to_string(i) + ")");
    all += (all.empty() ? "" : " UNION ALL ") + std::string("SELECT n FROM ") + user + ".t";
  }
  s->commit();
  EXPECT_EQ(rows(*s, "SELECT SUM(n) FROM (" + all + ")"), std::vector<std::string>{"105"});
}

// Names that differ only in case are different tables, schemas and constraints.
TEST(SessionTest, NamesThatDifferOnlyInCaseStayApart) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  for (const char* user : {"\"low\"", "LOW"}) {
    s->execute(std::string("CREATE USER ") + user + " IDENTIFIED BY x");
    s->execute(std::string("CREATE TABLE ") + user + ".t (n NUMBER CONSTRAINT ck CHECK (n > 0))");
  }
  s->execute("ALTER TABLE LOW.t DROP CONSTRAINT ck");
  EXPECT_EQ(errorCode(*s, "INSERT INTO LOW.t VALUES (-1)"), 0);
  EXPECT_EQ(errorCode(*s, "INSERT INTO \"low\".t VALUES (-1)"), 2290);
  s->execute("CREATE TABLE LOW.\"t\" (s VARCHAR2(5))");
  s->execute("INSERT INTO LOW.\"t\" VALUES ('small')");
  EXPECT_EQ(rows(*s, "SELECT n FROM LOW.t"), std::vector<std::string>{"-1"});
  EXPECT_EQ(rows(*s, "SELECT s FROM LOW.\"t\""), std::vector<std::string>{"small"});
}

// COMMIT of a transaction that leaves a deferred constraint broken rolls it back and names the
// constraint and its own error on the second line.
TEST(SessionTest, CommitNamesTheBrokenDeferredConstraint) {
  struct Case {
    const char* table;
    const char* breaking;
    const char* cause;
  };
  const Case cases[] = {
      {"CREATE TABLE d (id NUMBER CONSTRAINT d_key PRIMARY KEY INITIALLY DEFERRED)",
       "INSERT INTO d SELECT 1 FROM dual CONNECT BY LEVEL <= 2", "ORA-00001: unique constraint (SYSTEM.D_KEY) violated"},
      {"CREATE TABLE d (id NUMBER CONSTRAINT d_key UNIQUE DEFERRABLE INITIALLY DEFERRED)",
       "INSERT INTO d SELECT 7 FROM dual CONNECT BY LEVEL <= 2", "ORA-00001: unique constraint (SYSTEM.D_KEY) violated"},
      {"CREATE TABLE d (id NUMBER CONSTRAINT d_key CHECK (id < 5) INITIALLY DEFERRED)", "INSERT INTO d VALUES (9)",
       "ORA-02290: check constraint (SYSTEM.D_KEY) violated"},
      {"CREATE TABLE d (id NUMBER CONSTRAINT d_key REFERENCES p INITIALLY DEFERRED)", "INSERT INTO d VALUES (9)",
       "ORA-02291: integrity constraint (SYSTEM.D_KEY) violated - parent key not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    auto db = test::freshDatabase();
    auto s = db->logOn("system", "system");
    s->execute("CREATE TABLE p (id NUMBER PRIMARY KEY)");
    s->execute(c.table);
    s->execute("INSERT INTO p VALUES (1)");
    s->execute(c.breaking);
    try {
      s->commit();
      ADD_FAILURE() << "the commit went through";
    } catch (const Error& e) {
      EXPECT_EQ(e.message(), std::string("ORA-02091: transaction rolled back\n") + c.cause);
    }
    EXPECT_FALSE(s->inTransaction());
    EXPECT_EQ(rows(*s, "SELECT (SELECT COUNT(*) FROM p) || '/' || (SELECT COUNT(*) FROM d) FROM dual"),
              (std::vector<std::string>{"0/0"}));
  }
}

TEST(SessionTest, LogonChecksPasswordAndUser) {
  auto db = test::freshDatabase();
  EXPECT_NO_THROW(db->logOn("SYSTEM", "system"));  // case-insensitive by default
  try {
    db->logOn("SYSTEM", "wrong");
    FAIL() << "logon with a wrong password succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(e.code(), 1017);
    EXPECT_EQ(e.message(), "ORA-01017: invalid username/password; logon denied");
  }
  EXPECT_THROW(db->logOn("NOBODY", "x"), Error);
  db->setParameter("sec_case_sensitive_logon", "TRUE");
  EXPECT_THROW(db->logOn("SYSTEM", "system"), Error);
  EXPECT_NO_THROW(db->logOn("SYSTEM", "SYSTEM"));
}

TEST(SessionTest, RollbackDiscardsAndSavepointsKeepEarlierWork) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE t (id NUMBER)");
  s->execute("INSERT INTO t VALUES (1)");
  s->savepoint("a");
  s->execute("INSERT INTO t VALUES (2)");
  s->rollbackToSavepoint("A");
  EXPECT_TRUE(s->inTransaction());
  s->commit();
  s->execute("INSERT INTO t VALUES (3)");
  s->rollback();
  EXPECT_EQ(rows(*s, "SELECT id FROM t"), std::vector<std::string>{"1"});
  EXPECT_EQ(errorCode(*s, "ROLLBACK TO SAVEPOINT nosuch"), 1086);
}

TEST(SessionTest, UncommittedRowsAreInvisibleToOtherSessions) {
  auto db = test::freshDatabase();
  auto a = db->logOn("SYSTEM", "SYSTEM");
  auto b = db->logOn("SYSTEM", "SYSTEM");
  EXPECT_NE(a->sessionId(), b->sessionId());
  a->execute("CREATE TABLE t (id NUMBER)");
  a->execute("INSERT INTO t VALUES (1)");
  EXPECT_EQ(rows(*b, "SELECT count(*) FROM t"), std::vector<std::string>{"0"});
  a->commit();
  EXPECT_EQ(rows(*b, "SELECT count(*) FROM t"), std::vector<std::string>{"1"});
}

TEST(SessionTest, DdlCommitsTheOpenTransaction) {
  auto db = test::freshDatabase();
  auto a = db->logOn("SYSTEM", "SYSTEM");
  a->execute("CREATE TABLE t (id NUMBER)");
  a->execute("INSERT INTO t VALUES (1)");
  a->execute("CREATE TABLE u (id NUMBER)");
  EXPECT_FALSE(a->inTransaction());
  a->rollback();
  EXPECT_EQ(rows(*a, "SELECT count(*) FROM t"), std::vector<std::string>{"1"});
}

// V$SESS_IO: a session's rows read grow with what it fetches, and another session sees the
// counters it published with its last statement.
TEST(SessionTest, SessionIoCountsWhatEachSessionReads) {
  auto db = test::freshDatabase();
  auto reader = db->logOn("system", "system");
  auto watcher = db->logOn("system", "system");
  reader->execute("CREATE TABLE big (n NUMBER)");
  reader->execute("INSERT INTO big SELECT LEVEL FROM dual CONNECT BY LEVEL <= 500");
  reader->commit();
  const std::string sid = std::to_string(reader->sessionId());
  auto gets = [&](Session& s) {
    return std::stoll(rows(s, "SELECT consistent_gets FROM v$sess_io WHERE sid = " + sid).at(0));
  };
  std::int64_t before = gets(*reader);
  EXPECT_EQ(rows(*reader, "SELECT n FROM big").size(), 500u);
  std::int64_t after = gets(*reader);
  EXPECT_GE(after - before, 500);
  EXPECT_GE(gets(*watcher), before + 500);
  EXPECT_EQ(rows(*watcher, "SELECT COUNT(*) FROM v$sess_io WHERE sid = " + std::to_string(watcher->sessionId())),
            (std::vector<std::string>{"1"}));
}

}  // namespace
}  // namespace engine
