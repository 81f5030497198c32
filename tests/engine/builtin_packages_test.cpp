// The built-in packages' state that crosses sessions or the API: what DBMS_APPLICATION_INFO sets in one
// session is what another sees in V$SESSION; application contexts stay with their session; RAW travels
// as bytes through binds and results.

#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace {

using engine::test::rows;

TEST(BuiltinPackages, ApplicationInfoOfOneSessionShowsInAnothersVSession) {
  auto db = engine::test::freshDatabase("appinfo");
  auto a = db->logOn("SYSTEM", "SYSTEM");
  auto b = db->logOn("SYSTEM", "SYSTEM");
  std::string sid = std::to_string(a->sessionId());
  const std::string query = "SELECT NVL(module, '-'), NVL(action, '-'), NVL(client_info, '-') FROM v$session WHERE sid = " + sid;
  EXPECT_EQ(rows(*b, query), std::vector<std::string>{"nuvo_sql|-|-"});

  a->execute("BEGIN DBMS_APPLICATION_INFO.SET_MODULE('import', 'step 1'); "
             "DBMS_APPLICATION_INFO.SET_CLIENT_INFO('file a.csv'); END;");
  EXPECT_EQ(rows(*b, query), std::vector<std::string>{"import|step 1|file a.csv"});
  a->execute("BEGIN DBMS_APPLICATION_INFO.SET_ACTION('step 2'); END;");
  EXPECT_EQ(rows(*b, query), std::vector<std::string>{"import|step 2|file a.csv"});

  a.reset();  // logoff: the session and what it set are gone
  EXPECT_TRUE(rows(*b, query).empty());
}

TEST(BuiltinPackages, ApplicationContextValuesBelongToTheirSession) {
  auto db = engine::test::freshDatabase("context");
  auto a = db->logOn("SYSTEM", "SYSTEM");
  a->execute("CREATE CONTEXT shop_ctx USING shop_ctx_pkg");
  a->execute("CREATE PACKAGE shop_ctx_pkg AS PROCEDURE set_shop(s VARCHAR2); END;");
  a->execute("CREATE PACKAGE BODY shop_ctx_pkg AS PROCEDURE set_shop(s VARCHAR2) IS "
             "BEGIN DBMS_SESSION.SET_CONTEXT('SHOP_CTX', 'SHOP', s); END; END;");
  auto b = db->logOn("SYSTEM", "SYSTEM");
  a->execute("BEGIN shop_ctx_pkg.set_shop('north'); END;");
  b->execute("BEGIN shop_ctx_pkg.set_shop('south'); END;");
  const std::string query = "SELECT SYS_CONTEXT('SHOP_CTX', 'SHOP') FROM dual";
  EXPECT_EQ(rows(*a, query), std::vector<std::string>{"north"});
  EXPECT_EQ(rows(*b, query), std::vector<std::string>{"south"});
}

TEST(BuiltinPackages, RawTravelsAsBytesThroughBindsAndResults) {
  auto db = engine::test::freshDatabase("raw");
  auto s = db->logOn("SYSTEM", "SYSTEM");
  s->execute("CREATE TABLE raw_b (id NUMBER, r RAW(8))");
  const engine::Bytes bytes{0x00, 0xFF, 0x10};
  s->execute("INSERT INTO raw_b VALUES (1, :r)", {{"R", engine::Value(bytes)}});
  s->execute("INSERT INTO raw_b VALUES (2, HEXTORAW(:r))", {{"R", engine::Value("c0ffee")}});
  auto stmt = s->prepare("SELECT r, UTL_RAW.LENGTH(r) FROM raw_b ORDER BY id");
  stmt->execute();
  ASSERT_EQ(stmt->columns()[0].type, engine::DataType::Raw);
  ASSERT_TRUE(stmt->next());
  ASSERT_EQ(stmt->value(0).kind(), engine::Value::Kind::Binary);
  EXPECT_EQ(stmt->value(0).asBytes(), bytes);
  ASSERT_TRUE(stmt->next());
  EXPECT_EQ(stmt->value(0).asBytes(), (engine::Bytes{0xC0, 0xFF, 0xEE}));
  EXPECT_EQ(s->format(stmt->value(1)), "3");
}

}  // namespace
