// PL/SQL through the C++ API: binds in and out, REF CURSORs returned to the client, package state
// per session and ORA-04068 after another session recompiles the package.

#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace {

using engine::Value;
using engine::test::freshDatabase;
using engine::test::rows;

class PlsqlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = freshDatabase("plsql");
    session = db->logOn("SYSTEM", "SYSTEM");
  }
  std::shared_ptr<engine::Database> db;
  std::unique_ptr<engine::Session> session;
};

TEST_F(PlsqlTest, InOutAndInOutBindsAreReadAndWritten) {
  auto stmt = session->prepare("BEGIN :r := :a * 2; :io := :io || 'x'; :unset := NULL; END;");
  EXPECT_EQ(stmt->bindNames(), (std::vector<std::string>{"R", "A", "IO", "UNSET"}));
  stmt->bindOut("r", engine::DataType::Number);
  stmt->bind(":A", Value(21));
  stmt->bind("io", Value("y"), engine::BindDirection::InOut);
  stmt->bind("unset", Value("old"), engine::BindDirection::InOut);
  stmt->execute();
  EXPECT_EQ(stmt->bindValue("R"), Value(42));
  EXPECT_EQ(stmt->bindValue("io"), Value("yx"));
  EXPECT_TRUE(stmt->bindValue("unset").isNull());
  // The same statement runs again with new values.
  stmt->bind("a", Value(5));
  stmt->bind("io", Value("z"), engine::BindDirection::InOut);
  stmt->execute();
  EXPECT_EQ(stmt->bindValue("r"), Value(10));
  EXPECT_EQ(stmt->bindValue("io"), Value("zx"));
}

TEST_F(PlsqlTest, OutParameterOfAStoredProcedureReachesTheBind) {
  session->execute(
      "CREATE OR REPLACE PROCEDURE split_name(full_name IN VARCHAR2, first_part OUT VARCHAR2, n IN OUT NUMBER) IS\n"
      "BEGIN\n  first_part := SUBSTR(full_name, 1, INSTR(full_name, ' ') - 1);\n  n := n + 1;\nEND;");
  auto stmt = session->prepare("BEGIN split_name(:full, :first, :n); END;");
  stmt->bind("full", Value("Ann Lee"));
  stmt->bindOut("first", engine::DataType::Varchar2);
  stmt->bind("n", Value(1), engine::BindDirection::InOut);
  stmt->execute();
  EXPECT_EQ(stmt->bindValue("first"), Value("Ann"));
  EXPECT_EQ(stmt->bindValue("n"), Value(2));
}

TEST_F(PlsqlTest, RefCursorIsReturnedThroughAnOutBind) {
  session->execute("CREATE TABLE t (id NUMBER, name VARCHAR2(10))");
  session->execute("INSERT INTO t VALUES (1, 'one')");
  session->execute("INSERT INTO t VALUES (2, 'two')");
  auto stmt = session->prepare("BEGIN OPEN :c FOR SELECT id, name FROM t WHERE id >= :lo ORDER BY id; END;");
  stmt->bindOut("c", engine::DataType::Cursor);
  stmt->bind("lo", Value(1));
  stmt->execute();
  Value c = stmt->bindValue("c");
  ASSERT_EQ(c.kind(), Value::Kind::Cursor);
  auto cursor = c.asCursor();
  ASSERT_EQ(cursor->columns().size(), 2u);
  EXPECT_EQ(cursor->columns()[1].name, "NAME");
  std::vector<std::string> seen;
  while (cursor->next()) seen.push_back(session->format(cursor->value(0)) + ":" + session->format(cursor->value(1)));
  EXPECT_EQ(seen, (std::vector<std::string>{"1:one", "2:two"}));
  EXPECT_EQ(cursor->rowCount(), 2);
  cursor->close();
  // The statement is free for the next block once the cursor is closed.
  stmt->execute();
  EXPECT_TRUE(stmt->bindValue("c").asCursor()->next());
}

TEST_F(PlsqlTest, PackageStateIsPerSessionAndDiscardedAfterARecompile) {
  session->execute("CREATE OR REPLACE PACKAGE st IS n NUMBER := 0; PROCEDURE bump; END;");
  session->execute("CREATE OR REPLACE PACKAGE BODY st IS PROCEDURE bump IS BEGIN n := n + 1; END; END;");
  auto other = db->logOn("SYSTEM", "SYSTEM");
  session->execute("BEGIN st.bump; st.bump; END;");
  other->execute("BEGIN st.bump; END;");
  auto value = [](engine::Session& s) {
    auto stmt = s.prepare("BEGIN :v := st.n; END;");
    stmt->bindOut("v", engine::DataType::Number);
    stmt->execute();
    return stmt->bindValue("v");
  };
  EXPECT_EQ(value(*session), Value(2));
  EXPECT_EQ(value(*other), Value(1));
  // Another session compiles the package again: this session's state goes, once, with ORA-04068.
  other->execute("CREATE OR REPLACE PACKAGE BODY st IS PROCEDURE bump IS BEGIN n := n + 10; END; END;");
  EXPECT_EQ(engine::test::errorCode(*session, "BEGIN st.bump; END;"), 4068);
  session->execute("BEGIN st.bump; END;");
  EXPECT_EQ(value(*session), Value(10));
}

// A list filtered through a standalone function stays open in one window while another window of the
// same session, or another session, runs DDL: the next refresh of the same query answers, never
// ORA-04068 (a function has no state to discard), and the open cursor reads on.
TEST_F(PlsqlTest, DdlBesideAnOpenCursorOfTheSameQueryRaisesNoStateError) {
  session->execute("CREATE TABLE items (id NUMBER, name VARCHAR2(10))");
  session->execute("INSERT INTO items SELECT LEVEL, 'n' || LEVEL FROM dual CONNECT BY LEVEL <= 5");
  session->commit();
  session->execute("CREATE OR REPLACE FUNCTION keep(p VARCHAR2) RETURN NUMBER IS BEGIN RETURN 1; END;");
  const std::string query = "SELECT id FROM items WHERE keep(name) = 1 ORDER BY id";
  auto other = db->logOn("SYSTEM", "SYSTEM");
  struct Case {
    const char* what;
    engine::Session* ddlSession;
    const char* ddl;
  } cases[] = {
      {"DDL in the same session", session.get(), "CREATE TABLE side1 (a NUMBER)"},
      {"DDL in another session", other.get(), "CREATE TABLE side2 (a NUMBER)"},
      {"the function replaced", other.get(),
       "CREATE OR REPLACE FUNCTION keep(p VARCHAR2) RETURN NUMBER IS BEGIN RETURN 1; END;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto open = session->prepare(query);
    open->execute();
    ASSERT_TRUE(open->next());
    EXPECT_EQ(open->value(0), Value(1));
    c.ddlSession->execute(c.ddl);
    for (int refresh = 0; refresh < 3; ++refresh)
      EXPECT_EQ(rows(*session, query), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    std::vector<std::string> rest;
    while (open->next()) rest.push_back(session->format(open->value(0)));
    EXPECT_EQ(rest, (std::vector<std::string>{"2", "3", "4", "5"}));
    // The open statement runs again on the new compile.
    open->execute();
    EXPECT_TRUE(open->next());
  }
}

TEST_F(PlsqlTest, DdlInsideACallLeavesTheRunningUnitsIntact) {
  session->execute("CREATE OR REPLACE PACKAGE maker IS n NUMBER := 0; PROCEDURE make(t VARCHAR2); END;");
  session->execute(
      "CREATE OR REPLACE PACKAGE BODY maker IS PROCEDURE make(t VARCHAR2) IS BEGIN\n"
      "  EXECUTE IMMEDIATE 'CREATE TABLE ' || t || ' (a NUMBER)';\n  n := n + 1;\n"
      "  EXECUTE IMMEDIATE 'INSERT INTO ' || t || ' VALUES (' || n || ')';\nEND; END;");
  session->execute("BEGIN maker.make('t1'); maker.make('t2'); END;");
  EXPECT_EQ(rows(*session, "SELECT a FROM t1 UNION ALL SELECT a FROM t2"), (std::vector<std::string>{"1", "2"}));
}

TEST_F(PlsqlTest, TriggersFireForTheDmlOfEverySessionWithItsBinds) {
  session->execute("CREATE TABLE acct (id NUMBER PRIMARY KEY, balance NUMBER NOT NULL)");
  session->execute("CREATE TABLE acct_log (id NUMBER, delta NUMBER)");
  session->execute("GRANT SELECT, INSERT, UPDATE ON acct TO PUBLIC");
  session->execute(
      "CREATE OR REPLACE TRIGGER acct_bu BEFORE UPDATE OF balance ON acct FOR EACH ROW\n"
      "BEGIN\n  IF :NEW.balance < 0 THEN\n    :NEW.balance := 0;\n  END IF;\n"
      "  INSERT INTO acct_log VALUES (:OLD.id, :NEW.balance - :OLD.balance);\nEND;");
  session->execute("INSERT INTO acct VALUES (1, 10)");
  session->execute("INSERT INTO acct VALUES (2, 20)");
  session->commit();
  // Another session's UPDATE with binds: BEFORE ROW clamps :NEW, the log sees the final values.
  auto other = db->logOn("SYSTEM", "SYSTEM");
  EXPECT_EQ(other->execute("UPDATE acct SET balance = balance - :d WHERE id <= :top", {{"d", Value(15)}, {"top", Value(2)}}), 2);
  EXPECT_EQ(rows(*other, "SELECT id, balance FROM acct ORDER BY id"), (std::vector<std::string>{"1|0", "2|5"}));
  EXPECT_EQ(rows(*other, "SELECT id, delta FROM acct_log ORDER BY id"), (std::vector<std::string>{"1|-10", "2|-15"}));
  // Rolling back the transaction undoes the trigger's work with the statement's.
  other->rollback();
  EXPECT_EQ(rows(*other, "SELECT COUNT(*) FROM acct_log"), (std::vector<std::string>{"0"}));
}

TEST_F(PlsqlTest, RunErrorsCarryThePlsqlStack) {
  session->execute("CREATE OR REPLACE PROCEDURE inner_p IS\nBEGIN\n  RAISE_APPLICATION_ERROR(-20007, 'deep');\nEND;");
  session->execute("CREATE OR REPLACE PROCEDURE outer_p IS\nBEGIN\n  NULL;\n  inner_p;\nEND;");
  try {
    session->execute("BEGIN\n  outer_p;\nEND;");
    FAIL() << "no error";
  } catch (const engine::Error& e) {
    EXPECT_EQ(e.code(), 20007);
    EXPECT_EQ(e.message(),
              "ORA-20007: deep\nORA-06512: at \"SYSTEM.INNER_P\", line 3\nORA-06512: at \"SYSTEM.OUTER_P\", line 4\n"
              "ORA-06512: at line 2");
  }
}

TEST_F(PlsqlTest, CompileErrorsOfABlockNameLineAndColumn) {
  try {
    session->execute("DECLARE\n  n NUMBER;\nBEGIN\n  n := missing_var;\nEND;");
    FAIL() << "no error";
  } catch (const engine::Error& e) {
    EXPECT_EQ(e.code(), 6550);
    EXPECT_EQ(e.line(), 4);
    EXPECT_EQ(e.column(), 8);
    EXPECT_NE(e.message().find("PLS-00201: identifier 'MISSING_VAR' must be declared"), std::string::npos);
  }
}

}  // namespace

namespace {

// DBMS_DB_VERSION follows the database's own banner version, both in $IF and at run time.
TEST(PlsqlConditionalTest, DbVersionConstantsFollowTheDatabaseVersion) {
  engine::CreateOptions options;
  options.durable = false;
  options.bannerVersion = "11.2.0.4.0";
  auto db = engine::Database::create(nuvo::test::makeTempDir("ccver") + "/DB", options);
  auto session = db->logOn("SYSTEM", "SYSTEM");
  session->execute("BEGIN DBMS_OUTPUT.ENABLE; END;");
  session->execute(
      "BEGIN\n"
      "  $IF DBMS_DB_VERSION.VER_LE_11_1 $THEN DBMS_OUTPUT.PUT_LINE('11.1');\n"
      "  $ELSIF DBMS_DB_VERSION.VER_LE_11_2 $THEN DBMS_OUTPUT.PUT_LINE('11.2');\n"
      "  $END\n"
      "  DBMS_OUTPUT.PUT_LINE(DBMS_DB_VERSION.VERSION || '/' || DBMS_DB_VERSION.RELEASE);\n"
      "END;");
  EXPECT_EQ(session->takeOutput(), (std::vector<std::string>{"11.2", "11/2"}));
  // A later release's constant does not exist in an older database.
  EXPECT_EQ(engine::test::errorCode(*session, "BEGIN $IF DBMS_DB_VERSION.VER_LE_12 $THEN NULL; $END END;"), 6550);
}

TEST(PlsqlConditionalTest, MalformedCcflagsAreRefusedAndTheOldOnesKept) {
  auto db = engine::test::freshDatabase("ccflags");
  auto session = db->logOn("SYSTEM", "SYSTEM");
  session->execute("ALTER SESSION SET PLSQL_CCFLAGS = 'a:1'");
  for (const char* bad : {"a", "a:", "a:yes", "1a:true", "a:true,", "a:1.5"})
    EXPECT_EQ(engine::test::errorCode(*session, std::string("ALTER SESSION SET PLSQL_CCFLAGS = '") + bad + "'"), 2097)
        << bad;
  session->execute("BEGIN DBMS_OUTPUT.ENABLE; END;");
  session->execute("BEGIN DBMS_OUTPUT.PUT_LINE($$a); END;");
  EXPECT_EQ(session->takeOutput(), (std::vector<std::string>{"1"}));
}

}  // namespace
