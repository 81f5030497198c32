// The C++ API beyond plain statements: fault injection, the statement cache, ROWIDs, values and
// their types, restricted session, databases on disk.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/storage/password.h"
#include "engine_test_support.h"

using engine::test::errorCode;
using engine::test::rows;

namespace engine {
namespace {

TEST(ApiTest, InjectedFaultsFailTheNextMatchingExecutions) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE t (id NUMBER)");
  db->injectFault("insert into T", 4068, 2);
  EXPECT_EQ(errorCode(*s, "SELECT * FROM t"), 0);  // does not match
  EXPECT_EQ(errorCode(*s, "INSERT INTO t VALUES (1)"), 4068);
  EXPECT_EQ(errorCode(*s, "INSERT INTO t VALUES (1)"), 4068);
  EXPECT_EQ(errorCode(*s, "INSERT INTO t VALUES (1)"), 0);
  db->injectFault("FROM t", 1555, 5);
  db->clearFaults();
  EXPECT_EQ(errorCode(*s, "SELECT * FROM t"), 0);
  try {
    db->injectFault("t", 1555, 1);
    s->execute("SELECT * FROM t");
    FAIL() << "no fault";
  } catch (const Error& e) {
    EXPECT_EQ(e.message().substr(0, 10), "ORA-01555:");
  }
}

TEST(ApiTest, CachedStatementsFollowSchemaChanges) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE t (a NUMBER)");
  s->execute("INSERT INTO t VALUES (1)");
  auto q = s->prepare("SELECT * FROM t");
  q->execute();
  EXPECT_EQ(q->columns().size(), 1u);
  s->execute("ALTER TABLE t ADD (b VARCHAR2(5) DEFAULT 'z')");
  q->execute();
  ASSERT_EQ(q->columns().size(), 2u);
  ASSERT_TRUE(q->next());
  EXPECT_EQ(q->value(1), Value("z"));
}

TEST(ApiTest, TwoOpenCursorsOfTheSameTextAreIndependent) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE t (a NUMBER)");
  for (int i = 1; i <= 3; ++i) s->execute("INSERT INTO t VALUES (:a)", {{"a", i}});
  auto outer = s->prepare("SELECT a FROM t ORDER BY a");
  auto inner = s->prepare("SELECT a FROM t ORDER BY a");
  outer->execute();
  std::vector<std::string> pairs;
  while (outer->next()) {
    inner->execute();
    while (inner->next()) pairs.push_back(s->format(outer->value(0)) + s->format(inner->value(0)));
  }
  EXPECT_EQ(pairs.size(), 9u);
  EXPECT_EQ(pairs.front(), "11");
  EXPECT_EQ(pairs.back(), "33");
}

TEST(ApiTest, RowidRoundTripsThroughABind) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE t (a NUMBER, b VARCHAR2(5))");
  s->execute("INSERT INTO t VALUES (1, 'x')");
  s->execute("INSERT INTO t VALUES (2, 'y')");
  auto q = s->prepare("SELECT t.rowid, a FROM t WHERE a = 2");
  q->execute();
  ASSERT_TRUE(q->next());
  Value rowid = q->value(0);
  ASSERT_EQ(rowid.kind(), Value::Kind::Text);
  EXPECT_EQ(rowid.asText().size(), 18u);
  EXPECT_EQ(s->execute("UPDATE t SET b = 'z' WHERE rowid = :r", {{"R", rowid}}), 1);
  EXPECT_EQ(rows(*s, "SELECT b FROM t ORDER BY a"), (std::vector<std::string>{"x", "z"}));
  EXPECT_EQ(errorCode(*s, "SELECT a FROM t WHERE rowid = :r", {{"r", "not a rowid"}}), 1410);
}

// Plain DML ... RETURNING ... INTO :binds: the out binds hold the changed row's values after execute.
TEST(ApiTest, DmlReturningFillsOutBinds) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE t (a NUMBER, b VARCHAR2(5))");
  s->execute("CREATE TRIGGER t_bi BEFORE INSERT ON t FOR EACH ROW BEGIN :NEW.b := UPPER(:NEW.b); END;");

  auto ins = s->prepare("INSERT INTO t VALUES (:a, :b) RETURNING ROWID, b, a * 10 INTO :rid, :out_b, :out_a");
  EXPECT_EQ(ins->bindNames(), (std::vector<std::string>{"A", "B", "RID", "OUT_B", "OUT_A"}));
  ins->bind("a", 1);
  ins->bind("b", "x");
  ins->bindOut(":RID", DataType::Rowid);
  ins->execute();
  EXPECT_EQ(ins->rowCount(), 1);
  Value rowid = ins->bindValue("rid");
  ASSERT_EQ(rowid.kind(), Value::Kind::Text);
  EXPECT_EQ(ins->bindValue("out_b"), Value("X"));  // as the trigger wrote it
  EXPECT_EQ(ins->bindValue("OUT_A"), Value(10));
  EXPECT_EQ(rows(*s, "SELECT a FROM t WHERE rowid = :r", {{"r", rowid}}), std::vector<std::string>{"1"});
  // The cached statement runs again with new values.
  ins->bind("a", 2);
  ins->bind("b", "y");
  ins->execute();
  EXPECT_NE(ins->bindValue("rid"), rowid);
  EXPECT_EQ(ins->bindValue("out_b"), Value("Y"));

  auto upd = s->prepare("UPDATE t SET a = a + 100 WHERE b = :b RETURNING a INTO :a");
  upd->bind("b", "X");
  upd->execute();
  EXPECT_EQ(upd->bindValue("a"), Value(101));
  upd->bind("b", "none");
  upd->execute();
  EXPECT_EQ(upd->rowCount(), 0);
  EXPECT_TRUE(upd->bindValue("a").isNull());

  auto del = s->prepare("DELETE FROM t WHERE a = 2 RETURNING b INTO :b");
  del->execute();
  EXPECT_EQ(del->bindValue("b"), Value("Y"));
  EXPECT_EQ(rows(*s, "SELECT COUNT(*) FROM t"), std::vector<std::string>{"1"});

  // Several rows into scalar binds: ORA-01422, the statement undone, the transaction kept.
  s->execute("INSERT INTO t VALUES (3, 'z')");
  EXPECT_EQ(errorCode(*s, "UPDATE t SET a = 0 RETURNING a INTO :a"), 1422);
  EXPECT_EQ(rows(*s, "SELECT a FROM t ORDER BY a"), (std::vector<std::string>{"3", "101"}));
  EXPECT_TRUE(s->inTransaction());
  EXPECT_EQ(errorCode(*s, "UPDATE t SET a = 0 RETURNING a INTO a"), 904);
  EXPECT_EQ(errorCode(*s, "UPDATE t SET a = 0 RETURNING a, b INTO :a"), 913);
}

TEST(ApiTest, ValuesComeBackTyped) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  auto q = s->prepare("SELECT 7 / 2 AS half, 6 / 3 AS whole, 'x' AS t, DATE '2024-02-29' AS d, NULL AS n FROM dual");
  q->execute();
  ASSERT_TRUE(q->next());
  EXPECT_EQ(q->value(0), Value(3.5));
  EXPECT_EQ(q->value(1), Value(2));
  EXPECT_EQ(q->value(2), Value("x"));
  EXPECT_EQ(q->value(3), Value(DateTime{2024, 2, 29}));
  EXPECT_TRUE(q->value(4).isNull());
  EXPECT_EQ(q->columns()[3].type, DataType::Date);
  EXPECT_EQ(s->format(q->value(0)), "3.5");
}

// BLOB and RAW hold bytes: bound as Binary, read back as Binary, printed in hex as Oracle prints RAW.
TEST(ApiTest, BinaryValuesRoundTripThroughBlobAndRawColumns) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE bin (id NUMBER, r RAW(4), b BLOB)");
  const Bytes bytes{0x00, 0x7f, 0xab, 0xff};  // a zero byte and bytes that are no UTF-8
  s->execute("INSERT INTO bin VALUES (1, :r, :b)", {{"r", bytes}, {"b", Bytes{0x10}}});
  s->execute("INSERT INTO bin VALUES (2, :r, :b)", {{"r", Bytes{}}, {"b", Value()}});  // an empty RAW is NULL

  auto q = s->prepare("SELECT r, b FROM bin ORDER BY id");
  q->execute();
  EXPECT_EQ(q->columns()[0].type, DataType::Raw);
  EXPECT_EQ(q->columns()[1].type, DataType::Blob);
  ASSERT_TRUE(q->next());
  ASSERT_EQ(q->value(0).kind(), Value::Kind::Binary);
  EXPECT_EQ(q->value(0).asBytes(), bytes);
  EXPECT_EQ(q->value(1), Value(Bytes{0x10}));
  EXPECT_EQ(s->format(q->value(0)), "007FABFF");
  ASSERT_TRUE(q->next());
  EXPECT_TRUE(q->value(0).isNull());
  EXPECT_TRUE(q->value(1).isNull());

  // Bytes compare as bytes and come back through RETURNING as well.
  EXPECT_EQ(rows(*s, "SELECT id FROM bin WHERE r = :r", {{"r", bytes}}), std::vector<std::string>{"1"});
  auto upd = s->prepare("UPDATE bin SET b = :b WHERE id = 2 RETURNING b INTO :out");
  upd->bind("b", Bytes{0xca, 0xfe});
  upd->execute();
  EXPECT_EQ(s->format(upd->bindValue("out")), "CAFE");

  // PL/SQL RAW and BLOB variables keep the bytes; a RAW longer than its variable is ORA-06502.
  auto block = s->prepare("DECLARE v RAW(4); w BLOB; BEGIN SELECT r, b INTO v, w FROM bin WHERE id = 1; :out := v; "
                          "INSERT INTO bin VALUES (3, v, w); END;");
  block->bindOut("out", DataType::Raw);
  block->execute();
  EXPECT_EQ(block->bindValue("out"), Value(bytes));
  EXPECT_EQ(rows(*s, "SELECT r, b FROM bin WHERE id = 3"), std::vector<std::string>{"007FABFF|10"});
  EXPECT_EQ(errorCode(*s, "DECLARE v RAW(2); BEGIN SELECT r INTO v FROM bin WHERE id = 1; END;"), 6502);
}

TEST(ApiTest, TextBindsConvertToTheColumnType) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE t (n NUMBER, d DATE, v VARCHAR2(10))");
  s->execute("INSERT INTO t VALUES (:n, :d, :v)", {{"n", "42"}, {"d", "05-MAR-24"}, {"v", 17}});
  EXPECT_EQ(rows(*s, "SELECT n + 1, d + 1, v FROM t"), std::vector<std::string>{"43|06-MAR-24|17"});
  EXPECT_EQ(errorCode(*s, "INSERT INTO t (n) VALUES (:n)", {{"n", "4x"}}), 1722);
  // '' is NULL
  s->execute("INSERT INTO t (n, v) VALUES (1, :v)", {{"v", ""}});
  EXPECT_EQ(rows(*s, "SELECT COUNT(*) FROM t WHERE v IS NULL"), std::vector<std::string>{"1"});
}

TEST(ApiTest, RestrictedSessionRefusesUsersWithoutThePrivilege) {
  auto db = test::freshDatabase();
  auto sys = db->logOn("SYS", "SYS", true);
  EXPECT_TRUE(sys->isSysdba());
  EXPECT_EQ(sys->user(), "SYS");
  sys->execute("CREATE USER u IDENTIFIED BY u");
  sys->execute("GRANT CREATE SESSION TO u");
  sys->execute("ALTER SYSTEM ENABLE RESTRICTED SESSION");
  try {
    db->logOn("U", "U");
    FAIL() << "logon in restricted mode";
  } catch (const Error& e) {
    EXPECT_EQ(e.code(), 1035);
  }
  EXPECT_NO_THROW(db->logOn("SYSTEM", "SYSTEM"));  // DBA holds RESTRICTED SESSION
  sys->execute("ALTER SYSTEM DISABLE RESTRICTED SESSION");
  EXPECT_NO_THROW(db->logOn("U", "U"));
}

TEST(ApiTest, DatabasesPersistAndAreListedAndDropped) {
  std::string root = nuvo::test::makeTempDir("dbs");
  CreateOptions options;
  options.durable = false;
  options.bannerVersion = "11.2.0.4.0";
  {
    auto db = Database::create(root + "/ONE", options);
    auto s = db->logOn("SYSTEM", "SYSTEM");
    s->execute("CREATE TABLE keep (a NUMBER)");
    s->execute("INSERT INTO keep VALUES (5)");
    s->commit();
    s->execute("INSERT INTO keep VALUES (6)");  // not committed: gone with the session
  }
  Database::create(root + "/TWO", options);
  EXPECT_EQ(Database::list(root), (std::vector<std::string>{"ONE", "TWO"}));
  EXPECT_THROW(Database::create(root + "/ONE", options), Error);
  auto db = Database::open(root + "/ONE");
  auto s = db->logOn("SYSTEM", "SYSTEM");
  EXPECT_EQ(rows(*s, "SELECT a FROM keep"), std::vector<std::string>{"5"});
  EXPECT_EQ(rows(*s, "SELECT banner FROM v$version"),
            std::vector<std::string>{"Oracle Database 11g Enterprise Edition Release 11.2.0.4.0 - Production"});
  s.reset();
  db.reset();
  Database::drop(root + "/TWO");
  EXPECT_FALSE(Database::exists(root + "/TWO"));
  EXPECT_EQ(Database::list(root), std::vector<std::string>{"ONE"});
}

TEST(ApiTest, UsersCreatedAfterReopeningGetTheirSchema) {
  std::string root = nuvo::test::makeTempDir("reopen");
  CreateOptions options;
  options.durable = false;
  Database::create(root + "/DB", options);
  auto db = Database::open(root + "/DB");
  auto system = db->logOn("SYSTEM", "SYSTEM");
  system->execute("CREATE USER late IDENTIFIED BY late");
  system->execute("GRANT CREATE SESSION, CREATE TABLE TO late");
  auto late = db->logOn("LATE", "LATE");
  late->execute("CREATE TABLE t (a NUMBER)");
  late->execute("INSERT INTO t VALUES (1)");
  EXPECT_EQ(rows(*late, "SELECT a FROM t"), std::vector<std::string>{"1"});
}

TEST(ApiTest, SyntaxErrorsCarryThePosition) {
  auto db = test::freshDatabase();
  auto s = db->logOn("SYSTEM", "SYSTEM");
  struct Case {
    const char* sql;
    int code, line, column;
  } cases[] = {
      {"SELECT * FROM dual;", 911, 1, 19},
      {"SELECT a b c FROM dual", 923, 1, 12},
      {"SELECT *\nFROM dual\nWHERE nosuch = 1", 904, 3, 7},
      {"SELECT (1 FROM dual", 907, 1, 11},
      {"SELEC 1 FROM dual", 900, 1, 1},
      {"SELECT 1 FROM dual x y", 933, 1, 22},
  };
  for (const auto& c : cases) {
    try {
      s->execute(c.sql);
      ADD_FAILURE() << c.sql << " succeeded";
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), c.code) << c.sql << ": " << e.message();
      EXPECT_EQ(e.line(), c.line) << c.sql;
      EXPECT_EQ(e.column(), c.column) << c.sql;
    }
  }
}

}  // namespace
}  // namespace engine

namespace engine {
namespace {

TEST(PasswordTest, DigestIsSha256AndTheCatalogHoldsNoPassword) {
  EXPECT_EQ(storage::sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(storage::sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(storage::sha256Hex(std::string(1000, 'a')).size(), 64u);

  std::string dir = nuvo::test::makeTempDir("pw") + "/DB";
  CreateOptions options;
  options.durable = false;
  auto db = Database::create(dir, options);
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE USER pw IDENTIFIED BY \"Secret#42xyz\"");
  s->execute("GRANT CREATE SESSION TO pw");
  EXPECT_NO_THROW(db->logOn("PW", "SECRET#42XYZ"));
  db->setParameter("sec_case_sensitive_logon", "TRUE");
  EXPECT_THROW(db->logOn("PW", "SECRET#42XYZ"), Error);
  EXPECT_NO_THROW(db->logOn("PW", "Secret#42xyz"));
  s->execute("ALTER USER pw IDENTIFIED BY other");
  EXPECT_THROW(db->logOn("PW", "Secret#42xyz"), Error);
  EXPECT_NO_THROW(db->logOn("PW", "other"));
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content.find("Secret#42xyz"), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace engine

namespace engine {
namespace {

TEST(PasswordTest, OpeningACatalogOfPlainPasswordsReplacesThemByDigests) {
  std::string dir = nuvo::test::makeTempDir("upgrade") + "/DB";
  CreateOptions options;
  options.durable = false;
  Database::create(dir, options);
  // The layout of an earlier engine: the password itself, no digest of the folded one.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open((dir + "/database.db").c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw, "ALTER TABLE users DROP COLUMN password_ci; UPDATE users SET password = 'Old' "
                              "WHERE username = 'SYSTEM'",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  auto db = Database::open(dir);
  EXPECT_NO_THROW(db->logOn("SYSTEM", "OLD"));
  EXPECT_THROW(db->logOn("SYSTEM", "SYSTEM"), Error);
}

}  // namespace
}  // namespace engine

namespace engine {
namespace {

// Two openings of one directory stand for two processes: each takes its block of cached values from
// the mark in the instance file, past what the other took.
TEST(SequenceTest, TwoProcessesOnOneDatabaseNeverHandOutTheSameValue) {
  std::string dir = nuvo::test::makeTempDir("sequences") + "/DB";
  CreateOptions options;
  options.durable = false;
  auto first = Database::create(dir, options);
  auto a = first->logOn("system", "SYSTEM", false);
  a->execute("CREATE SEQUENCE s CACHE 3");
  auto second = Database::open(dir);
  auto b = second->logOn("system", "SYSTEM", false);
  auto next = [](Session& s) { return test::rows(s, "SELECT s.NEXTVAL FROM dual").at(0); };
  std::vector<std::string> taken;
  for (int i = 0; i < 4; ++i) {
    taken.push_back(next(*a));
    taken.push_back(next(*b));
  }
  EXPECT_EQ(taken, (std::vector<std::string>{"1", "4", "2", "5", "3", "6", "7", "10"}));
}

TEST(SessionRegistryTest, OpeningTheDatabaseAgainKeepsTheSessionsOfLiveProcesses) {
  std::string dir = nuvo::test::makeTempDir("registry") + "/DB";
  CreateOptions options;
  options.durable = false;
  auto first = Database::create(dir, options);
  auto a = first->logOn("SYSTEM", "SYSTEM");
  auto second = Database::open(dir);
  auto b = second->logOn("SYSTEM", "SYSTEM");
  EXPECT_NE(a->sessionId(), b->sessionId());
  EXPECT_EQ(rows(*b, "SELECT COUNT(*) FROM v$session WHERE username = 'SYSTEM'"), std::vector<std::string>{"2"});
  a.reset();
  EXPECT_EQ(rows(*b, "SELECT COUNT(*) FROM v$session"), std::vector<std::string>{"1"});
}

}  // namespace
}  // namespace engine
