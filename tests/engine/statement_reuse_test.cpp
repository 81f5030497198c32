// Compilations a session reuses: texts that differ only in literals, and queries whose conditions on
// a bind alone are decided once the bind is known. Each must answer as its own text would.

#include <gtest/gtest.h>

#include "engine_test_support.h"

using engine::test::rows;

namespace engine {
namespace {

class StatementReuse : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = test::freshDatabase();
    s_ = db_->logOn("system", "system");
    s_->execute("CREATE TABLE scripts (name VARCHAR2(30) NOT NULL, counter NUMBER(10) NOT NULL, stat VARCHAR2(1), "
                "code CHAR(4))");
    s_->execute("CREATE INDEX scripts_ix ON scripts (name, counter)");
    const char* names[] = {"abc", "abd", "ab", "a_c", "xabc", "žaba", "žab", "zz%", "b"};
    int counter = 0;
    for (const char* n : names) {
      for (const char* stat : {"N", "X"}) {
        s_->execute("INSERT INTO scripts VALUES (:n, :c, :s, :k)",
                    {{"n", n}, {"c", ++counter}, {"s", stat}, {"k", std::string(n).substr(0, 2)}});
      }
    }
    s_->commit();
  }

  std::shared_ptr<Database> db_;
  std::unique_ptr<Session> s_;
};

// One statement run again and again with other binds gives what a query without the shortcuts
// gives: NOT NOT keeps the OR whole, and name || '' is no column an index could serve.
TEST_F(StatementReuse, BindTestsAndLikeRangesAnswerAsThePlainQuery) {
  auto fast = s_->prepare(
      "SELECT name, counter FROM scripts WHERE (:skr = 'A' OR name LIKE :skr) AND (:stat = 'A' OR stat = :stat) "
      "ORDER BY name, counter");
  auto plain = s_->prepare(
      "SELECT name, counter FROM scripts WHERE NOT (NOT (:skr = 'A' OR name || '' LIKE :skr)) AND "
      "NOT (NOT (:stat = 'A' OR stat = :stat)) ORDER BY name, counter");
  auto collect = [](Statement& q) {
    q.execute();
    std::vector<std::string> out;
    while (q.next()) out.push_back(q.value(0).asText() + "/" + std::to_string(q.value(1).asInteger()));
    return out;
  };
  struct Case {
    Value skr, stat;
    std::size_t expected;  // rows
  };
  const Case cases[] = {
      {"A", "A", 18},      {"ab%", "A", 6},    {"ab%", "X", 3},    {"abc", "A", 2},   {"ab", "N", 1},
      {"a_c", "A", 4},     {"%c", "A", 6},     {"_b%", "A", 6},    {"ž%", "X", 2},    {"žab%", "A", 4},
      {"zz%", "A", 2},     {Value(), "A", 0},  {"", "A", 0},       {"A", Value(), 0}, {"A", "", 0},
      {"a", "A", 0},       {"%", "N", 9},      {"b", "A", 2},      {5, "A", 0},       {"A", "B", 0},
  };
  for (const auto& c : cases) {
    for (auto* q : {fast.get(), plain.get()}) {
      q->bind("skr", c.skr);
      q->bind("stat", c.stat);
    }
    auto got = collect(*fast);
    EXPECT_EQ(got, collect(*plain)) << s_->format(c.skr) << " " << s_->format(c.stat);
    EXPECT_EQ(got.size(), c.expected) << s_->format(c.skr) << " " << s_->format(c.stat);
  }
}

TEST_F(StatementReuse, LikeOnACharColumnAndWithAnEscapeKeepsOraclesAnswer) {
  EXPECT_EQ(rows(*s_, "SELECT COUNT(*) FROM scripts WHERE code LIKE :p", {{"p", "ab%"}}), std::vector<std::string>{"6"});
  EXPECT_EQ(rows(*s_, "SELECT COUNT(*) FROM scripts WHERE code LIKE 'ab'"), std::vector<std::string>{"0"});
  EXPECT_EQ(rows(*s_, "SELECT COUNT(*) FROM scripts WHERE name LIKE 'a\\_c' ESCAPE '\\'"),
            std::vector<std::string>{"2"});
  EXPECT_EQ(rows(*s_, "SELECT COUNT(*) FROM scripts WHERE name NOT LIKE 'ab%'"), std::vector<std::string>{"12"});
}

// A query of one shape read in two cursors at once: each keeps its own values and position.
TEST_F(StatementReuse, OpenCursorsOfOneShapeKeepTheirOwnLiterals) {
  auto first = s_->prepare("SELECT counter FROM scripts WHERE counter <= 3 ORDER BY counter");
  first->execute();
  ASSERT_TRUE(first->next());
  EXPECT_EQ(first->value(0), Value(1));
  auto second = s_->prepare("SELECT counter FROM scripts WHERE counter <= 2 ORDER BY counter");
  second->execute();
  std::vector<Value> seen;
  while (second->next()) seen.push_back(second->value(0));
  EXPECT_EQ(seen, (std::vector<Value>{1, 2}));
  ASSERT_TRUE(first->next());
  EXPECT_EQ(first->value(0), Value(2));
  ASSERT_TRUE(first->next());
  EXPECT_EQ(first->value(0), Value(3));
  EXPECT_FALSE(first->next());
}

// Number literals bind the value SQLite reads from the text: integers, decimals, and numbers beyond a
// double (infinity, or zero below it).
TEST_F(StatementReuse, NumberLiteralsKeepTheirValues) {
  struct Case {
    const char* bound;
    const char* count;
  };
  const Case cases[] = {{"5", "4"},      {"5.5", "5"},   {"5.", "4"},    {".5", "0"},
                        {"2E1", "18"},    {"1e400", "18"}, {"1e-400", "0"}, {"9223372036854775808", "18"}};
  for (const auto& c : cases)
    EXPECT_EQ(rows(*s_, std::string("SELECT COUNT(*) FROM scripts WHERE counter < ") + c.bound),
              std::vector<std::string>{c.count})
        << c.bound;
}

// After DDL, a shape whose compilation an open cursor still reads is compiled again for the others.
TEST_F(StatementReuse, DdlWhileACursorOfTheShapeIsOpenCompilesAgain) {
  auto open = s_->prepare("SELECT counter FROM scripts WHERE counter <= 3 ORDER BY counter");
  open->execute();
  ASSERT_TRUE(open->next());
  s_->execute("ALTER TABLE scripts ADD (note VARCHAR2(5) DEFAULT 'n')");
  EXPECT_EQ(rows(*s_, "SELECT counter FROM scripts WHERE counter <= 2 ORDER BY counter"),
            (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(rows(*s_, "SELECT counter FROM scripts WHERE counter <= 1 ORDER BY counter"), std::vector<std::string>{"1"});
  EXPECT_EQ(rows(*s_, "SELECT note FROM scripts WHERE counter = 4"), std::vector<std::string>{"n"});
}

// Table definitions a session keeps between compilations give way to another session's DDL.
TEST_F(StatementReuse, AnotherSessionsDdlIsSeenByTheNextCompilation) {
  auto other = db_->logOn("system", "system");
  EXPECT_EQ(rows(*s_, "SELECT COUNT(*) FROM scripts WHERE stat = 'N'"), std::vector<std::string>{"9"});
  s_->execute("INSERT INTO scripts (name, counter, stat) VALUES ('q', 900, 'N')");
  s_->commit();
  other->execute("ALTER TABLE scripts ADD (extra NUMBER DEFAULT 7)");
  other->execute("ALTER TABLE scripts MODIFY (stat NOT NULL)");
  EXPECT_EQ(rows(*s_, "SELECT extra FROM scripts WHERE counter = 900"), std::vector<std::string>{"7"});
  try {
    s_->execute("INSERT INTO scripts (name, counter) VALUES ('q', 901)");
    FAIL() << "NULL went into a NOT NULL column";
  } catch (const Error& e) {
    EXPECT_EQ(e.code(), 1400);
  }
  s_->rollback();  // the failed INSERT opened a transaction
  other->execute("DROP TABLE scripts");
  try {
    s_->execute("SELECT name FROM scripts WHERE counter = 900");
    FAIL() << "a dropped table was found";
  } catch (const Error& e) {
    EXPECT_EQ(e.code(), 942);
  }
}

// Literals that became parameters are numbered after the binds, also with RETURNING INTO.
TEST_F(StatementReuse, LiteralsAndBindsInOneStatementKeepTheirPlaces) {
  for (int i = 0; i < 2; ++i) {
    std::string name = i == 0 ? "'new1'" : "'new22'";
    auto insert = s_->prepare("INSERT INTO scripts (name, counter, stat) VALUES (" + name + ", :c, '" +
                              std::string(1, "PQ"[i]) + "') RETURNING LENGTH(name) INTO :len");
    insert->bind("c", 100 + i);
    insert->bindOut("len", DataType::Number);
    insert->execute();
    EXPECT_EQ(insert->bindValue("len"), Value(i == 0 ? 4 : 5));
  }
  EXPECT_EQ(rows(*s_, "SELECT name, counter, stat FROM scripts WHERE counter >= 100 ORDER BY counter"),
            (std::vector<std::string>{"new1|100|P", "new22|101|Q"}));
  EXPECT_EQ(rows(*s_, "SELECT name FROM scripts WHERE counter = :c AND stat = 'Q'", {{"c", 101}}),
            std::vector<std::string>{"new22"});
  EXPECT_EQ(rows(*s_, "SELECT name FROM scripts WHERE counter = :c AND stat = 'P'", {{"c", 101}}),
            std::vector<std::string>{});
}

// A compile error reports the position in its own text, however like a compiled text it looks.
TEST_F(StatementReuse, ErrorsReportTheirOwnPositions) {
  s_->execute("SELECT name FROM scripts WHERE counter = 1");
  for (const char* text : {"SELECT nosuch FROM scripts WHERE counter = 1", "SELECT name FROM scripts WHERE counter = 22 AND nosuch = 1"}) {
    try {
      s_->execute(text);
      FAIL() << text;
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), 904);
      EXPECT_EQ(e.offset(), static_cast<int>(std::string(text).find("nosuch"))) << text;
    }
  }
}

}  // namespace
}  // namespace engine
