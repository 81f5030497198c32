// The engine's conformance tables: every tests/engine/conformance/*.sql file is one test, run on a
// fresh database (users SYS/SYS and SYSTEM/SYSTEM) starting as SYSTEM.
//
// The case format, line by line:
//   # text                          a comment
//   @connect USER/PASSWORD [AS SYSDBA]
//                                   closes the session and logs on anew; "> " lines after it give the
//                                   logon error expected (the statements then have no session)
//   @pending reason                 the next statement is known not to work yet: a mismatch is reported
//                                   as pending, a match fails (the marker must go)
//   statement lines                 split as nuvo_db splits scripts (";" at a line end, or a "/" line);
//                                   a one-line statement ending in ";" followed by a "/" line is sent
//                                   with its ";"
//   > line  (or a lone ">")         the expected output of the statement above: DBMS_OUTPUT lines, then
//                                   a query's header and rows as nuvo_db --csv prints them, "N rows" for
//                                   DML, or the first line of the error. No lines: success, no output.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "engine/engine.h"
#include "engine/script.h"
#include "support/temp_env.h"

namespace fs = std::filesystem;

namespace {

struct Logon {
  std::string user, password;
  bool sysdba = false;
};

// One step of a case file: a statement to run or a logon, with the output expected of it.
struct Step {
  int line = 0;
  std::optional<Logon> logon;  // set for @connect
  std::string sql;
  std::vector<std::string> expected;
  std::optional<std::string> pendingReason;
};

struct CaseFile {
  std::vector<Step> steps;
  std::vector<std::string> formatErrors;
};

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::optional<Logon> parseLogon(std::string_view spec) {
  std::istringstream words{std::string(spec)};
  std::string credentials, as, sysdba, extra;
  words >> credentials >> as >> sysdba >> extra;
  auto slash = credentials.find('/');
  if (slash == std::string::npos || !extra.empty()) return std::nullopt;
  bool isSysdba = !as.empty();
  if (isSysdba && (as != "AS" || sysdba != "SYSDBA")) return std::nullopt;
  return Logon{credentials.substr(0, slash), credentials.substr(slash + 1), isSysdba};
}

CaseFile parseCaseFile(const std::vector<std::string>& lines) {
  CaseFile file;
  engine::ScriptSplitter splitter;
  std::optional<std::string> pending;
  bool canExpect = false;  // the last step may still take "> " lines
  auto formatError = [&](int line, const std::string& what) {
    file.formatErrors.push_back("line " + std::to_string(line) + ": " + what);
  };
  auto addStep = [&](int line, std::optional<Logon> logon, std::string sql) {
    Step step;
    step.line = line;
    step.logon = std::move(logon);
    step.sql = std::move(sql);
    step.pendingReason = std::exchange(pending, std::nullopt);
    file.steps.push_back(std::move(step));
    canExpect = true;
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    int number = static_cast<int>(i) + 1;
    bool directive = line.starts_with("#") || line.starts_with(">") || line.starts_with("@connect") ||
                     line.starts_with("@pending");
    if (directive && splitter.collecting()) {
      formatError(number, "the statement above has no end (\";\" or \"/\")");
      splitter.finish();
    }
    if (line.starts_with("#")) continue;
    if (line.starts_with(">")) {
      if (line != ">" && !line.starts_with("> ")) formatError(number, "expected lines start with \"> \"");
      if (!canExpect) formatError(number, "expected lines without a statement");
      else file.steps.back().expected.push_back(line.size() > 2 ? line.substr(2) : std::string());
      continue;
    }
    canExpect = canExpect && trimmed(line).empty();
    if (line.starts_with("@connect")) {
      auto logon = parseLogon(std::string_view(line).substr(8));
      if (!logon) formatError(number, "write @connect USER/PASSWORD [AS SYSDBA]");
      else addStep(number, logon, {});
    } else if (line.starts_with("@pending")) {
      pending = std::string(trimmed(std::string_view(line).substr(8)));
    } else if (!splitter.collecting() && i + 1 < lines.size() && trimmed(lines[i + 1]) == "/" &&
               trimmed(line).ends_with(";")) {
      addStep(number, std::nullopt, std::string(trimmed(line)));
      ++i;
    } else if (auto statement = splitter.addLine(line, number)) {
      addStep(statement->line, std::nullopt, statement->text);
    }
  }
  if (splitter.finish()) formatError(static_cast<int>(lines.size()), "the last statement has no end");
  if (pending) formatError(static_cast<int>(lines.size()), "@pending without a statement");
  return file;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// Adds text as lines: a quoted CSV field may hold line breaks.
void addLines(std::vector<std::string>& lines, const std::string& text) {
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
}

// Runs one statement and returns what the case format shows of it.
std::vector<std::string> run(engine::Session& session, const std::string& sql) {
  std::vector<std::string> result;
  try {
    auto statement = session.prepare(sql);
    statement->execute();
    if (statement->isQuery()) {
      addLines(result, engine::csvHeader(*statement));
      while (statement->next()) addLines(result, engine::csvRow(*statement, session));
    } else if (engine::isDml(sql)) {
      result.push_back(std::to_string(statement->rowCount()) + " rows");
    }
  } catch (const engine::Error& e) {
    result = {firstLine(e.message())};
  } catch (const std::exception& e) {
    result = {std::string("unexpected exception: ") + e.what()};
  }
  auto output = session.takeOutput();
  result.insert(result.begin(), output.begin(), output.end());
  return result;
}

std::vector<std::string> logOn(engine::Database& database, const Logon& logon,
                               std::unique_ptr<engine::Session>& session) {
  session.reset();
  try {
    session = database.logOn(logon.user, logon.password, logon.sysdba);
    engine::enableServerOutput(*session);
    return {};
  } catch (const engine::Error& e) {
    return {firstLine(e.message())};
  }
}

std::string describe(const std::vector<std::string>& lines) {
  if (lines.empty()) return "    (nothing)\n";
  std::string text;
  for (const auto& line : lines) text += "    > " + line + "\n";
  return text;
}

std::vector<std::string> readLines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

fs::path caseDirectory() { return fs::path(NUVO_TEST_DATA_DIR) / "conformance"; }

std::vector<std::string> caseFiles() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(caseDirectory(), ec))
    if (entry.path().extension() == ".sql") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// What running a case file found: mismatches, and the pending cases that still fail.
struct Findings {
  std::vector<std::string> failures;
  std::vector<std::string> pending;
};

// Runs the steps of a case file on a fresh database, starting as SYSTEM.
Findings runCaseFile(const std::string& name, const CaseFile& file) {
  Findings findings;
  engine::CreateOptions options;
  options.durable = false;
  auto database = engine::Database::create(nuvo::test::makeTempDir("conformance") + "/CONF", options);
  std::unique_ptr<engine::Session> session;
  if (!logOn(*database, {"SYSTEM", "SYSTEM"}, session).empty()) return {{"SYSTEM cannot log on"}, {}};

  for (const Step& step : file.steps) {
    std::vector<std::string> actual;
    if (step.logon) actual = logOn(*database, *step.logon, session);
    else if (session) actual = run(*session, step.sql);
    else actual = {"no session: the @connect above failed"};

    const bool matches = actual == step.expected;
    const std::string where = name + ":" + std::to_string(step.line);
    const std::string what = step.logon ? "@connect " + step.logon->user : step.sql;
    if (step.pendingReason && matches) {
      findings.failures.push_back(where + ": passes now; remove its @pending marker (" + *step.pendingReason +
                                  ")\n  " + what);
    } else if (step.pendingReason) {
      findings.pending.push_back(where + ": " + *step.pendingReason);
    } else if (!matches) {
      findings.failures.push_back(where + ":\n  " + what + "\n  expected:\n" + describe(step.expected) +
                                  "  actual:\n" + describe(actual));
    }
  }
  return findings;
}

class Conformance : public testing::TestWithParam<std::string> {};

TEST_P(Conformance, MatchesOracle) {
  const std::string name = GetParam();
  CaseFile file = parseCaseFile(readLines(caseDirectory() / name));
  for (const auto& error : file.formatErrors) ADD_FAILURE() << name << ": " << error;
  Findings findings = runCaseFile(name, file);
  for (const auto& failure : findings.failures) ADD_FAILURE() << failure;
  for (const auto& pending : findings.pending) std::cout << "[ PENDING  ] " << pending << "\n";
}

INSTANTIATE_TEST_SUITE_P(Files, Conformance, testing::ValuesIn(caseFiles()), [](const auto& info) {
  std::string name = fs::path(info.param).stem().string();
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
});
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Conformance);

// The driver's own reading of the case format.
TEST(ConformanceFormat, ReadsStatementsExpectationsAndDirectives) {
  CaseFile file = parseCaseFile({
      "# a comment",
      "SELECT 1 AS a",
      "  FROM dual;",
      "> A",
      "> 1",
      "",
      "@pending not built yet",
      "BEGIN NULL; END;",
      "/",
      ">",
      "SELECT 1 FROM dual;",
      "/",
      "> ORA-00911: invalid character",
      "@connect scott/tiger AS SYSDBA",
      "> ORA-01017: invalid username/password; logon denied",
      "DROP TABLE t;",
  });
  EXPECT_TRUE(file.formatErrors.empty());
  ASSERT_EQ(file.steps.size(), 5u);
  EXPECT_EQ(file.steps[0].sql, "SELECT 1 AS a\n  FROM dual");
  EXPECT_EQ(file.steps[0].line, 2);
  EXPECT_EQ(file.steps[0].expected, (std::vector<std::string>{"A", "1"}));
  EXPECT_EQ(file.steps[1].sql, "BEGIN NULL; END;");
  EXPECT_EQ(file.steps[1].pendingReason, "not built yet");
  EXPECT_EQ(file.steps[1].expected, std::vector<std::string>{""});
  EXPECT_EQ(file.steps[2].sql, "SELECT 1 FROM dual;");
  EXPECT_FALSE(file.steps[2].pendingReason);
  ASSERT_TRUE(file.steps[3].logon);
  EXPECT_EQ(file.steps[3].logon->user, "scott");
  EXPECT_EQ(file.steps[3].logon->password, "tiger");
  EXPECT_TRUE(file.steps[3].logon->sysdba);
  EXPECT_EQ(file.steps[3].expected.size(), 1u);
  EXPECT_EQ(file.steps[4].sql, "DROP TABLE t");
  EXPECT_TRUE(file.steps[4].expected.empty());
}

TEST(ConformanceFormat, ReportsMalformedFiles) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"SELECT 1 FROM dual", "> 1"}, "line 2: the statement above has no end"},
      {{"> 1"}, "line 1: expected lines without a statement"},
      {{"SELECT 1 FROM dual;", ">1"}, "line 2: expected lines start with"},
      {{"SELECT 1 FROM dual;", "", "DROP TABLE t;", "# c", "> 1"}, ""},
      {{"SELECT 1 FROM dual;", "# c", "CREATE TABLE t (a NUMBER);", "", "> 1"}, ""},
      {{"@connect scott"}, "line 1: write @connect"},
      {{"@pending later"}, "line 1: @pending without a statement"},
      {{"BEGIN NULL; END;"}, "line 1: the last statement has no end"},
  };
  for (const auto& [lines, error] : cases) {
    CaseFile file = parseCaseFile(lines);
    if (error.empty()) {
      EXPECT_TRUE(file.formatErrors.empty()) << lines.front();
    } else {
      ASSERT_FALSE(file.formatErrors.empty()) << lines.front();
      EXPECT_TRUE(file.formatErrors[0].starts_with(error)) << file.formatErrors[0];
    }
  }
}

// The driver's verdicts: a mismatch fails with its place, a pending mismatch is only reported, and a
// pending case that passes fails so that its marker goes.
TEST(ConformanceDriver, JudgesMismatchesAndPendingCases) {
  CaseFile file = parseCaseFile({
      "SELECT 1 AS a FROM dual;",
      "> A",
      "> 2",
      "@pending not there yet",
      "SELECT * FROM nosuch;",
      "> A",
      "@pending fixed meanwhile",
      "SELECT 1 AS a FROM dual;",
      "> A",
      "> 1",
      "@connect nobody/nothing",
      "SELECT 1 AS a FROM dual;",
      "> A",
      "> 1",
  });
  ASSERT_TRUE(file.formatErrors.empty());
  Findings findings = runCaseFile("t.sql", file);
  ASSERT_EQ(findings.failures.size(), 4u);
  EXPECT_TRUE(findings.failures[0].starts_with("t.sql:1:\n")) << findings.failures[0];
  EXPECT_NE(findings.failures[0].find("    > 2\n  actual:\n    > A\n    > 1\n"), std::string::npos) << findings.failures[0];
  EXPECT_TRUE(findings.failures[1].starts_with("t.sql:8: passes now; remove its @pending marker")) << findings.failures[1];
  EXPECT_NE(findings.failures[2].find("ORA-01017"), std::string::npos) << findings.failures[2];
  EXPECT_NE(findings.failures[3].find("no session"), std::string::npos) << findings.failures[3];
  EXPECT_EQ(findings.pending, std::vector<std::string>{"t.sql:5: not there yet"});
}

}  // namespace
