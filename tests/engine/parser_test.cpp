// The SQL front end on its own: tokens with positions, and the statement each text parses to.

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/sql/lexer.h"
#include "engine/sql/parser.h"

namespace engine::sql {
namespace {

TEST(LexerTest, TokensCarryKindTextAndPosition) {
  auto tokens = tokenize("select \"Mixed\", :Name, 'it''s' -- note\n  /*+ hint */ FROM t WHERE x >= 1.5E3 AND i IN (1..2)");
  struct Expected {
    TokenKind kind;
    const char* text;
    int line, column;
  } expected[] = {
      {TokenKind::Identifier, "SELECT", 1, 1}, {TokenKind::Identifier, "Mixed", 1, 8},
      {TokenKind::Operator, ",", 1, 15},       {TokenKind::Bind, "NAME", 1, 17},
      {TokenKind::Operator, ",", 1, 22},       {TokenKind::String, "it's", 1, 24},
      {TokenKind::Identifier, "FROM", 2, 15},  {TokenKind::Identifier, "T", 2, 20},
      {TokenKind::Identifier, "WHERE", 2, 22}, {TokenKind::Identifier, "X", 2, 28},
      {TokenKind::Operator, ">=", 2, 30},      {TokenKind::Number, "1.5E3", 2, 33},
      {TokenKind::Identifier, "AND", 2, 39},   {TokenKind::Identifier, "I", 2, 43},
      {TokenKind::Identifier, "IN", 2, 45},    {TokenKind::Operator, "(", 2, 48},
      {TokenKind::Number, "1", 2, 49},         {TokenKind::Operator, "..", 2, 50},
      {TokenKind::Number, "2", 2, 52},         {TokenKind::Operator, ")", 2, 53},
  };
  ASSERT_EQ(tokens.size(), std::size(expected) + 1);
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(tokens[i].kind, expected[i].kind) << i;
    EXPECT_EQ(tokens[i].text, expected[i].text) << i;
    EXPECT_EQ(tokens[i].pos.line, expected[i].line) << tokens[i].text;
    EXPECT_EQ(tokens[i].pos.column, expected[i].column) << tokens[i].text;
  }
  EXPECT_TRUE(tokens[1].quoted);
  EXPECT_EQ(tokens.back().kind, TokenKind::End);
}

TEST(LexerTest, UnterminatedLiteralsAndStrayCharactersAreErrors) {
  struct Case {
    const char* text;
    int code;
  } cases[] = {{"select 'abc", 1756}, {"select \"abc", 1740}, {"select \"\" from t", 1741}, {"select 1 ? 2", 911}};
  for (const auto& c : cases) {
    try {
      tokenize(c.text);
      ADD_FAILURE() << c.text;
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), c.code) << c.text;
    }
  }
}

TEST(ParserTest, EachStatementKind) {
  struct Case {
    const char* text;
    StmtKind kind;
  } cases[] = {
      {"SELECT * FROM t", StmtKind::Select},
      {"(SELECT 1 FROM dual) UNION SELECT 2 FROM dual ORDER BY 1", StmtKind::Select},
      {"INSERT INTO t (a) SELECT b FROM u", StmtKind::Insert},
      {"UPDATE t x SET (a, b) = (SELECT 1, 2 FROM dual) WHERE x.rowid = :r", StmtKind::Update},
      {"DELETE t WHERE a = 1", StmtKind::Delete},
      {"CREATE GLOBAL TEMPORARY TABLE g (a NUMBER) ON COMMIT PRESERVE ROWS", StmtKind::CreateTable},
      {"CREATE TABLE t (a NUMBER(5,2) DEFAULT 0 NOT NULL, CONSTRAINT pk PRIMARY KEY (a) USING INDEX TABLESPACE x) "
       "TABLESPACE users STORAGE (INITIAL 64K NEXT 1M) PCTFREE 10",
       StmtKind::CreateTable},
      {"ALTER TABLE t MODIFY CONSTRAINT c DISABLE", StmtKind::AlterTable},
      {"ALTER TABLE t ADD CONSTRAINT fk FOREIGN KEY (a) REFERENCES p (b) ON DELETE CASCADE", StmtKind::AlterTable},
      {"DROP TABLE t CASCADE CONSTRAINTS PURGE", StmtKind::DropObject},
      {"DROP PUBLIC SYNONYM s", StmtKind::DropObject},
      {"CREATE UNIQUE INDEX i ON t (a DESC, b) NOLOGGING", StmtKind::CreateIndex},
      {"CREATE OR REPLACE FORCE VIEW v (x) AS SELECT a FROM t WITH READ ONLY", StmtKind::CreateView},
      {"CREATE SEQUENCE s START WITH 10 INCREMENT BY -1 MAXVALUE 10 NOCYCLE NOCACHE", StmtKind::CreateSequence},
      {"CREATE OR REPLACE PUBLIC SYNONYM s FOR u.t", StmtKind::CreateSynonym},
      {"COMMENT ON COLUMN t.a IS 'text'", StmtKind::Comment},
      {"RENAME a TO b", StmtKind::Rename},
      {"TRUNCATE TABLE t REUSE STORAGE", StmtKind::Truncate},
      {"LOCK TABLE t IN ROW EXCLUSIVE MODE NOWAIT", StmtKind::LockTable},
      {"CREATE USER u IDENTIFIED BY \"Pw\" DEFAULT TABLESPACE users QUOTA UNLIMITED ON users", StmtKind::CreateUser},
      {"ALTER USER u ACCOUNT UNLOCK", StmtKind::AlterUser},
      {"GRANT SELECT, UPDATE (a) ON t TO u, r WITH GRANT OPTION", StmtKind::Grant},
      {"REVOKE CREATE ANY TABLE FROM u", StmtKind::Revoke},
      {"ALTER SESSION SET NLS_DATE_FORMAT = \"DD.MM.YYYY\"", StmtKind::AlterSession},
      {"ALTER SYSTEM ENABLE RESTRICTED SESSION", StmtKind::AlterSystem},
      {"ROLLBACK TO SAVEPOINT a", StmtKind::Rollback},
      {"CREATE DATABASE LINK l CONNECT TO u IDENTIFIED BY p USING 'h'", StmtKind::CreateDbLink},
  };
  for (const auto& c : cases) {
    try {
      EXPECT_EQ(Parser(c.text).parseStatement()->kind, c.kind) << c.text;
    } catch (const Error& e) {
      ADD_FAILURE() << c.text << ": " << e.message();
    }
  }
}

TEST(ParserTest, ExpressionsKeepTheirSourceSpan) {
  const std::string text = "SELECT NVL(a, 'x') || b AS c, COUNT(*) FROM t";
  auto stmt = Parser(text).parseStatement();
  const auto& block = *static_cast<const SelectStmt&>(*stmt).query->block;
  ASSERT_EQ(block.items.size(), 2u);
  EXPECT_EQ(block.items[0].heading, "NVL(a, 'x') || b");
  EXPECT_EQ(block.items[0].alias, "C");
  EXPECT_EQ(block.items[1].heading, "COUNT(*)");
  const Expr& concat = *block.items[0].expr;
  EXPECT_EQ(concat.kind, ExprKind::Binary);
  EXPECT_EQ(concat.op, "||");
  EXPECT_EQ(concat.args[0]->kind, ExprKind::Function);
  EXPECT_EQ(concat.args[0]->pos.column, 8);
}

TEST(ParserTest, OuterJoinMarksAndPriorAreKept) {
  auto stmt = Parser("SELECT 1 FROM a, b WHERE a.x = b.y(+) CONNECT BY PRIOR id = parent").parseStatement();
  const auto& block = *static_cast<const SelectStmt&>(*stmt).query->block;
  EXPECT_TRUE(block.where->args[1]->outerJoin);
  EXPECT_EQ(block.connectBy->args[0]->op, "PRIOR");
}

}  // namespace
}  // namespace engine::sql
