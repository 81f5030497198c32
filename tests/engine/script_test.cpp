#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/script.h"

namespace engine {
void PrintTo(const ScriptStatement& s, std::ostream* os) { *os << s.line << ": [" << s.text << "]"; }
}  // namespace engine

namespace {

using engine::ScriptStatement;

struct SplitCase {
  const char* name;
  const char* script;
  std::vector<ScriptStatement> expected;
};

// A case prints as its name (in test listings too), not as the bytes of the structure.
void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }

class SplitScript : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitScript, SplitsAsSqlPlusDoes) {
  EXPECT_EQ(engine::splitScript(GetParam().script), GetParam().expected);
}

const SplitCase splitCases[] = {
    {"SemicolonEndsPlainSqlAndIsDropped", "SELECT 1 FROM dual;\nSELECT 2\n  FROM dual;\n",
     {{"SELECT 1 FROM dual", 1}, {"SELECT 2\n  FROM dual", 2}}},
    {"SemicolonInsideLineDoesNotEnd", "SELECT ';' AS a,\n 1 FROM dual; \n", {{"SELECT ';' AS a,\n 1 FROM dual", 1}}},
    {"SlashEndsPlainSql", "UPDATE t SET a = 1\n/\n", {{"UPDATE t SET a = 1", 1}}},
    {"SlashWithEmptyBufferSendsNothing", "/\nSELECT 1 FROM dual;\n/\n  /  \n", {{"SELECT 1 FROM dual", 2}}},
    {"BlockEndsOnlyAtSlash", "BEGIN\n  x := 1;\n  y := 2;\nEND;\n/\nSELECT 1 FROM dual;\n",
     {{"BEGIN\n  x := 1;\n  y := 2;\nEND;", 1}, {"SELECT 1 FROM dual", 6}}},
    {"DeclareIsABlock", "declare\n  n number;\nbegin\n  null;\nend;\n/\n",
     {{"declare\n  n number;\nbegin\n  null;\nend;", 1}}},
    {"CreateOrReplaceUnits",
     "CREATE OR REPLACE PROCEDURE p IS BEGIN NULL; END;\n/\n"
     "create function f return number is begin return 1; end;\n/\n"
     "CREATE OR REPLACE EDITIONABLE PACKAGE BODY pk AS\n  x NUMBER;\nEND;\n/\n"
     "CREATE TRIGGER trg BEFORE INSERT ON t FOR EACH ROW BEGIN NULL; END;\n/\n"
     "CREATE OR REPLACE\n  TYPE ty AS OBJECT (a NUMBER);\n/\n",
     {{"CREATE OR REPLACE PROCEDURE p IS BEGIN NULL; END;", 1},
      {"create function f return number is begin return 1; end;", 3},
      {"CREATE OR REPLACE EDITIONABLE PACKAGE BODY pk AS\n  x NUMBER;\nEND;", 5},
      {"CREATE TRIGGER trg BEFORE INSERT ON t FOR EACH ROW BEGIN NULL; END;", 9},
      {"CREATE OR REPLACE\n  TYPE ty AS OBJECT (a NUMBER);", 11}}},
    {"OtherCreatesArePlainSql", "CREATE OR REPLACE VIEW v AS SELECT 1 AS a FROM dual;\nCREATE TABLE t (a NUMBER);\n",
     {{"CREATE OR REPLACE VIEW v AS SELECT 1 AS a FROM dual", 1}, {"CREATE TABLE t (a NUMBER)", 2}}},
    {"LineCommentHidesSemicolon", "SELECT 1 -- not the end;\nFROM dual; -- the end\n",
     {{"SELECT 1 -- not the end;\nFROM dual", 1}}},
    {"BlockCommentHidesSemicolonAndSlash", "SELECT 1 /* a;\n/\n*/ FROM dual;\n", {{"SELECT 1 /* a;\n/\n*/ FROM dual", 1}}},
    {"StringSpanningLinesHidesSlash", "INSERT INTO t VALUES ('a;\n/\nb');\n", {{"INSERT INTO t VALUES ('a;\n/\nb')", 1}}},
    {"DoubledQuoteStaysInString", "SELECT 'it''s;' FROM dual;\n", {{"SELECT 'it''s;' FROM dual", 1}}},
    {"QQuoteHidesQuotesAndSemicolons", "SELECT q'[it's;]' , nq'{x';}' FROM dual;\n",
     {{"SELECT q'[it's;]' , nq'{x';}' FROM dual", 1}}},
    {"QuotedNameHidesSemicolon", "SELECT 1 AS \"a;\n\" FROM dual;\n", {{"SELECT 1 AS \"a;\n\" FROM dual", 1}}},
    {"CommentsAndBlankLinesBetweenStatementsAreSkipped",
     "-- heading\n\n/* a\n   b */\nSELECT 1 FROM dual;\n\n-- trailer\n", {{"SELECT 1 FROM dual", 5}}},
    {"CommentBeforeCodeOnOneLineIsDropped", "/* note */ BEGIN NULL; END;\n/\n", {{"BEGIN NULL; END;", 1}}},
    {"ClientCommandsAreSkipped",
     "REM a remark;\nrem\nPROMPT Creating;\npro x\nSET SERVEROUTPUT ON\nset define off;\nSELECT 1 FROM dual;\n",
     {{"SELECT 1 FROM dual", 7}}},
    {"SqlSetStatementsAreSent", "SET TRANSACTION READ ONLY;\nSET ROLE ALL;\nSET CONSTRAINTS ALL DEFERRED;\n",
     {{"SET TRANSACTION READ ONLY", 1}, {"SET ROLE ALL", 2}, {"SET CONSTRAINTS ALL DEFERRED", 3}}},
    {"WordsStartingLikeCommandsAreSql", "REMOVE_ME;\nSETTINGS;\n", {{"REMOVE_ME", 1}, {"SETTINGS", 2}}},
    {"ClientCommandInsideStatementIsText", "BEGIN\nset_value(1);\nREM := 2;\nEND;\n/\n",
     {{"BEGIN\nset_value(1);\nREM := 2;\nEND;", 1}}},
    {"CarriageReturnsAreDropped", "SELECT 1 FROM dual;\r\nBEGIN NULL; END;\r\n/\r\n",
     {{"SELECT 1 FROM dual", 1}, {"BEGIN NULL; END;", 2}}},
    {"UnendedStatementIsReturnedAtTheEnd", "SELECT 1 FROM dual;\nSELECT 2 FROM dual", {{"SELECT 1 FROM dual", 1}, {"SELECT 2 FROM dual", 2}}},
    {"UnendedBlockIsReturnedAtTheEnd", "BEGIN\n  NULL;\nEND;\n", {{"BEGIN\n  NULL;\nEND;", 1}}},
    {"EmptyScript", "\n\n-- nothing\n", {}},
    {"ExecIsAOneCallBlock", "exec pk.run(1, 'a;b');\nEXECUTE   p\nexec\nSELECT 1 FROM dual;\n",
     {{"BEGIN pk.run(1, 'a;b'); END;", 1}, {"BEGIN p; END;", 2}, {"SELECT 1 FROM dual", 4}}},
    {"ExecInsideAStatementIsText", "BEGIN\nexec_it;\nEND;\n/\nEXECUTED;\n",
     {{"BEGIN\nexec_it;\nEND;", 1}, {"EXECUTED", 5}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, SplitScript, testing::ValuesIn(splitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptSplitter, ReportsWhetherAStatementIsBeingCollected) {
  engine::ScriptSplitter splitter;
  EXPECT_FALSE(splitter.collecting());
  EXPECT_FALSE(splitter.addLine("BEGIN", 1));
  EXPECT_TRUE(splitter.collecting());
  EXPECT_FALSE(splitter.addLine("  NULL;", 2));
  auto statement = splitter.addLine("END;", 3);
  EXPECT_FALSE(statement);
  statement = splitter.addLine("/", 4);
  ASSERT_TRUE(statement);
  EXPECT_EQ(statement->text, "BEGIN\n  NULL;\nEND;");
  EXPECT_FALSE(splitter.collecting());
  EXPECT_FALSE(splitter.finish());
}

TEST(ErrorReport, PrintsTheFaultPositionAndEveryLineAsSqlPlusDoes) {
  struct Case {
    const char* what;
    std::string statement;
    engine::Error error;
    std::vector<std::string> expected;
  } cases[] = {
      {"position from line and column", "SELECT *\n  FROM nosuch",
       engine::Error(942, "ORA-00942: table or view does not exist", 16, 2, 8),
       {"  FROM nosuch", "       *", "ERROR at line 2:", "ORA-00942: table or view does not exist"}},
      {"position from the offset alone", "SELECT a\n\tFROM t", engine::Error(904, "ORA-00904: \"A\": invalid identifier", 7),
       {"SELECT a", "       *", "ERROR at line 1:", "ORA-00904: \"A\": invalid identifier"}},
      {"a tab before the fault keeps the marker aligned", "\tSELECT x FROM t",
       engine::Error(904, "ORA-00904: \"X\": invalid identifier", 8, 1, 9),
       {"\tSELECT x FROM t", "\t       *", "ERROR at line 1:", "ORA-00904: \"X\": invalid identifier"}},
      {"a block: all lines of the message", "BEGIN\n  nosuch;\nEND;",
       engine::Error(6550, "ORA-06550: line 2, column 3:\nPLS-00201: identifier 'NOSUCH' must be declared\n"
                           "ORA-06550: line 2, column 3:\nPL/SQL: Statement ignored", -1, 2, 3),
       {"ERROR at line 1:", "ORA-06550: line 2, column 3:", "PLS-00201: identifier 'NOSUCH' must be declared",
        "ORA-06550: line 2, column 3:", "PL/SQL: Statement ignored"}},
      {"no position known", "COMMIT", engine::Error(1013, "ORA-01013: user requested cancel of current operation"),
       {"ORA-01013: user requested cancel of current operation"}},
  };
  for (const auto& c : cases) EXPECT_EQ(engine::errorReport(c.statement, c.error), c.expected) << c.what;
}

TEST(LeadingKeyword, SkipsBlanksCommentsAndParentheses) {
  EXPECT_EQ(engine::leadingKeyword("  insert into t values (1)"), "INSERT");
  EXPECT_EQ(engine::leadingKeyword("-- c\n/* d */ ((select 1 from dual))"), "SELECT");
  EXPECT_EQ(engine::leadingKeyword("/* open"), "");
  EXPECT_EQ(engine::leadingKeyword(""), "");
}

TEST(IsDml, CountsRowsOnlyForDataChanges) {
  for (const char* sql : {"INSERT INTO t VALUES (1)", "update t set a = 1", " DELETE t", "MERGE INTO t USING s ON (1=1)"})
    EXPECT_TRUE(engine::isDml(sql)) << sql;
  for (const char* sql : {"SELECT * FROM t", "CREATE TABLE t (a NUMBER)", "BEGIN NULL; END;", "INSERTX"})
    EXPECT_FALSE(engine::isDml(sql)) << sql;
}

TEST(CsvField, QuotesAsRfc4180) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain", "plain"},       {"", ""},
      {"a,b", "\"a,b\""},       {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""}, {"cr\r", "\"cr\r\""},
      {" padded ", " padded "},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(engine::csvField(in), out) << in;
}

}  // namespace
