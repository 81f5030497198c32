// The "Start Parameters" help of the About window shows what the program accepts: its calls, its
// action lines and its example script are run through the start-up parameters, the runner's line
// parser and the script parser.

#include <gtest/gtest.h>

#include <QTreeWidget>

#include "qstring_print.h"
#include "shell/Main.h"
#include "shell/about.h"
#include "shell/command_line.h"
#include "shell/runner.h"
#include "shell_test_support.h"
#include "sqlwork/script_parse.h"

namespace {

class StartParametersHelp : public nuvo::test::HomeDirFixture {};

TEST_F(StartParametersHelp, EveryActionLineIsOneTheRunnerCarriesOut) {
  TfmMain main;
  const QStringList words = main.runner().actionWords();
  const QStringList examples = TfmAbout::startActionExamples();
  ASSERT_GE(examples.size(), 16);
  QStringList covered;
  for (const QString& line : examples) {
    const ParsedLine parsed = ParseCommandLine(line);
    EXPECT_TRUE(words.contains(parsed.action)) << line.toStdString();
    EXPECT_FALSE(parsed.p1.isEmpty()) << line.toStdString();
    // Parameters are separated by blanks; only the script list of LASTVERSIONCHECK holds commas.
    if (parsed.action != u"LASTVERSIONCHECK") {
      for (const QString& p : {parsed.p1, parsed.p2, parsed.p3}) EXPECT_FALSE(p.contains(u',')) << line.toStdString();
    }
    covered << parsed.action;
  }
  // Every action of the runner has its example.
  for (const QString& word : words) EXPECT_TRUE(covered.contains(word)) << word.toStdString();
  // A quoted parameter keeps its blank.
  EXPECT_TRUE(examples.contains("SCRIPT \"UPG 701\" C:\\SQL"));
  EXPECT_EQ(ParseCommandLine("SCRIPT \"UPG 701\" C:\\SQL").p1, "UPG 701");
}

TEST_F(StartParametersHelp, EveryCallGivesACommandFileOrAnActionLine) {
  TfmMain main;
  const QStringList words = main.runner().actionWords();
  const QStringList calls = TfmAbout::startCallExamples();
  ASSERT_FALSE(calls.isEmpty());
  for (const QString& call : calls) {
    QStringList parameters = call.split(u' ', Qt::SkipEmptyParts);
    const std::string text = call.toStdString();
    ASSERT_EQ(parameters.takeFirst(), "nuvo_sql") << text;
    ASSERT_FALSE(parameters.isEmpty()) << text;
    ASSERT_LE(parameters.size(), 4) << text;
    if (parameters.first().startsWith(u'@')) {
      EXPECT_EQ(parameters.size(), 4) << text << ": a command file, user, password and database";
    } else {
      EXPECT_TRUE(words.contains(ParseCommandLine(parameters.join(u' ')).action)) << text;
    }
  }
}

TEST(StartParametersHelpScript, TheExampleScriptStoresWhatItsDirectivesSay) {
  const QStringList script = TfmAbout::exampleScript();
  for (const bool present : {true, false}) {
    SCOPED_TRACE(present ? "table present" : "table missing");
    nuvo::sqlwork::ParseEffects effects;
    QStringList queries;
    effects.condition = [&](const QString& query) {
      queries << query.trimmed();
      return nuvo::sqlwork::ConditionAnswer::value(present ? 1 : 0);
    };
    QStringList stored;
    for (const auto& row : nuvo::sqlwork::parseScript(script, effects)) stored << row.text;
    QStringList expected{"update kade.pr107par set val1_107 = '01.01.2026' where attr_007 = 'aiDatum'"};
    if (present) expected << "create index pr107par_i1 on kade.pr107par (val1_107)";
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(queries, QStringList{"select count(*) rezultat from all_tables where table_name = 'PR107PAR'"});
  }
}

TEST(StartParametersHelpScript, TheWindowShowsTheExamplesAndNoDirectiveAfterDashes) {
  TfmAbout about;
  QStringList shown;
  std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
    shown << item->text(0);
    for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
  };
  for (int i = 0; i < about.twStart->topLevelItemCount(); ++i) walk(about.twStart->topLevelItem(i));
  for (const QStringList& lines : {TfmAbout::startActionExamples(), TfmAbout::startCallExamples(),
                                   TfmAbout::exampleScript()})
    for (const QString& line : lines) EXPECT_TRUE(shown.contains(line)) << line.toStdString();
  for (const QString& line : shown) {
    EXPECT_FALSE(line.contains("--#")) << line.toStdString();
    EXPECT_FALSE(line.contains(",parameter")) << line.toStdString();
  }
}

}  // namespace
