#include "sqlwork/script_parse.h"

#include <gtest/gtest.h>

#include <QMap>
#include <QRegularExpression>

#include "qstring_print.h"

namespace {

using nuvo::sqlwork::ConditionAnswer;
using nuvo::sqlwork::ParseEffects;
using nuvo::sqlwork::parseScript;
using nuvo::sqlwork::scriptLines;

// A condition answers by the first key of `answers` that its query contains; any other query fails.
struct ParseCase {
  const char* name;
  const char* script;  // lines end with "\n"; the test also runs the script with CR LF line ends
  QMap<QString, ConditionAnswer> answers;
  QStringList rows;  // stored texts with "\n" for line breaks, numbered 1, 2, ...
};

// A case prints as its name (in test listings too), not as the bytes of the structure.
void PrintTo(const ParseCase& c, std::ostream* out) { *out << c.name; }

ParseEffects conditionsFrom(const QMap<QString, ConditionAnswer>& answers, QStringList* queries) {
  ParseEffects effects;
  effects.condition = [answers, queries](const QString& query) {
    *queries << query;
    for (auto it = answers.begin(); it != answers.end(); ++it)
      if (query.contains(it.key())) return it.value();
    return ConditionAnswer::failure();
  };
  return effects;
}

QStringList storedTexts(const QString& script, const ParseEffects& effects) {
  QStringList texts;
  const auto rows = parseScript(scriptLines(script), effects);
  for (int i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].counter, i + 1);
    texts << QString(rows[i].text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  }
  return texts;
}

const ConditionAnswer kNoRow = ConditionAnswer::noRow();
ConditionAnswer v(qint64 value) { return ConditionAnswer::value(value); }

const ParseCase kCases[] = {
    {"no separator stores nothing", "create table a (x number)\n", {}, {}},
    {"text after the last separator is ignored", "create table a (x number)\n/\ncreate table b (y number)\n", {},
     {"create table a (x number)"}},
    {"separator with blanks and text after the slash", "drop table a\n   / anything here\n", {}, {"drop table a"}},
    {"a block comment line ends the statement", "drop table a\n/* comment */\ndrop table b\n/\n", {},
     {"drop table a", "drop table b"}},
    {"dashes in column 1 dropped, indented dashes kept",
     "-- header\nselect 1\n  -- kept\nfrom dual\n/\n", {}, {"select 1\n  -- kept\nfrom dual"}},
    {"doubled separators give nothing", "drop table a\n/\n/\n/\n", {}, {"drop table a"}},
    {"five characters are dropped, six stored", "abcde\n/\nabcdef\n/\n", {}, {"abcdef"}},
    {"blank lines and tabs trimmed at both ends", "\n\t\n  drop table a  \n\n/\n", {}, {"drop table a"}},
    {"a slash inside PL/SQL on a line with text stays",
     "begin\n  x := a / b;\nend;\n/\n", {}, {"begin\n  x := a / b;\nend;"}},
    {"a package spec and body need their own separators",
     "create package p is\n procedure a;\nend p;\n/\ncreate package body p is\n procedure a is begin null; end;\nend p;\n/\n",
     {}, {"create package p is\n procedure a;\nend p;",
          "create package body p is\n procedure a is begin null; end;\nend p;"}},
    {"a doubled semicolon after END stays in the text", "begin\n null;\nend;;\n/\n", {}, {"begin\n null;\nend;;"}},
    {"lower-case declaration in quotes; lower-case only placeholder not replaced",
     "#declare var_enota \"E 01\"\n/\nupdate t set e=':var_enota:'\n/\nupdate t set e=':VAR_ENOTA:', f=':var_enota:'\n/\n",
     {}, {"update t set e=':var_enota:'", "update t set e='E 01', f='E 01'"}},
    {"declaration without quotes takes the rest of the line", "#DECLARE VAR_X some value\n/\nselect ':VAR_X:' from dual\n/\n",
     {}, {"select 'some value' from dual"}},
    {"declaration without value: empty name, value is the name", "#DECLARE VAR_X\n/\nselect ':VAR_Y:' from dual\n/\n",
     {}, {"select ':VAR_Y:' from dual"}},
    {"a name declared twice keeps its first value",
     "#DECLARE VAR_A \"one\"\n/\n#DECLARE VAR_A \"two\"\n/\nselect ':VAR_A:' from dual\n/\n", {},
     {"select 'one' from dual"}},
    {"a value holding its own placeholder ends", "#DECLARE VAR_A \"x:VAR_A:y\"\n/\nselect ':VAR_A:' from dual\n/\n", {},
     {"select 'x:VAR_A:y' from dual"}},
    {"a variable not starting with VAR_ only in a statement that has :VAR_",
     "#DECLARE ENOTA \"E1\"\n/\n#DECLARE VAR_B \"B\"\n/\nselect ':ENOTA:' from dual\n/\nselect ':ENOTA:', ':VAR_B:' from dual\n/\n",
     {}, {"select ':ENOTA:' from dual", "select 'E1', 'B' from dual"}},
    {"#IF 2 that fails skips two statements, the third is stored",
     "#IF2 select 1 from nothing #ENDIF\ndrop table a\n/\ndrop table b\n/\ndrop table c\n/\n", {},
     {"drop table c"}},
    {"declarations and empty statements count in the governed range",
     "#IF2 select 1 from nothing #ENDIF\ndrop table a\n/\n/\ndrop table c\n/\n", {}, {"drop table c"}},
    {"#IFNOT with REZULTAT 0 stores",
     "#IFNOT select count(*) rezultat from user_tables where table_name='T' #ENDIF\ncreate table t (x number)\n/\n",
     {{"rezultat", v(0)}}, {"create table t (x number)"}},
    {"#IF with REZULTAT non-zero stores, NULL or no row does not",
     "#IF select 5 rezultat from a #ENDIF\ndrop table a\n/\n#IF select null rezultat from b #ENDIF\ndrop table b\n/\n"
     "#IF select rezultat from c #ENDIF\ndrop table c\n/\n",
     {{"from a", v(5)}, {"from b", v(0)}, {"from c", kNoRow}}, {"drop table a"}},
    {"without REZULTAT: no rows is true, failure is false",
     "#IF select 1 from empty_t #ENDIF\ndrop table a\n/\n#IF select 1 from missing #ENDIF\ndrop table b\n/\n",
     {{"empty_t", kNoRow}}, {"drop table a"}},
    {"count 0 runs the query but stores anyway", "#IF0 select 1 from missing #ENDIF\ndrop table a\n/\n", {},
     {"drop table a"}},
    {"a new #IF inside a range starts a new range",
     "#IF3 select 1 from missing #ENDIF\ndrop table a\n/\n#IF select 1 from present #ENDIF\ndrop table b\n/\n"
     "drop table c\n/\ndrop table d\n/\n",
     {{"present", kNoRow}}, {"drop table b", "drop table c", "drop table d"}},
    {"#IF that ends right after its keyword", "#IF\n/\n#IFNOT7\n/\ndrop table a\n/\n", {}, {"drop table a"}},
    {"#IF without #ENDIF is false", "#IF select 1 from present\ndrop table a\n/\ndrop table b\n/\n",
     {{"present", kNoRow}}, {"drop table b"}},
    {"#ENDIF in any case, placeholders in the condition",
     "#DECLARE VAR_T \"T1\"\n/\n#if select 1 from ':VAR_T:' #endif\ndrop table t1\n/\n", {{"'T1'", kNoRow}},
     {"drop table t1"}},
    {"directives stored as written", "#PL/SQL#C:\\SQL\\PCK.SQL\n/\n#ENABLE#KADE.ISEC_USERS\n/\n", {},
     {"#PL/SQL#C:\\SQL\\PCK.SQL", "#ENABLE#KADE.ISEC_USERS"}},
};

class ParseTable : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, StoresTheExpectedRows) {
  const ParseCase& c = GetParam();
  for (const QString& lineEnd : {QStringLiteral("\n"), QStringLiteral("\r\n")}) {
    SCOPED_TRACE(lineEnd.size() == 2 ? "CR LF" : "LF");
    QStringList queries;
    const QString script = QString::fromUtf8(c.script).replace(QStringLiteral("\n"), lineEnd);
    EXPECT_EQ(storedTexts(script, conditionsFrom(c.answers, &queries)), c.rows);
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, ParseTable, testing::ValuesIn(kCases), [](const auto& info) {
  QString name = QString::fromUtf8(info.param.name);
  name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("_"));
  return name.toStdString();
});

TEST(ScriptParse, StoredTextsUseCrLfAndKeepTheSourceLines) {
  const auto rows = parseScript(scriptLines(QStringLiteral("-- c\nselect 1\nfrom dual\n/\n")), {});
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0].text, QStringLiteral("select 1\r\nfrom dual"));
  EXPECT_EQ(rows[0].sourceLines, QStringLiteral("select 1\r\nfrom dual"));
}

TEST(ScriptParse, ConditionQueryIsTheTextBetweenCountAndEndif) {
  QStringList queries;
  parseScript(scriptLines(QStringLiteral("#IFNOT3 select 1 from dual #ENDIF\ndrop table a\n/\n")),
              conditionsFrom({}, &queries));
  EXPECT_EQ(queries, QStringList{QStringLiteral(" select 1 from dual ")});
}

TEST(ScriptParse, RenamingRunsBeforeDirectivesAndAuditSeesPlsqlFiles) {
  ParseEffects effects;
  effects.rename = [](const QString& text) { return QString(text).replace(QStringLiteral("KADE."), QStringLiteral("IZAS1.")); };
  QStringList audited;
  effects.auditPlsqlFile = [&audited](const QString& file) { audited << file; };
  const auto rows = parseScript(
      scriptLines(QStringLiteral("update KADE.t set x=1\n/\n#PL/SQL#  /sql/pck.sql  \n/\n")), effects);
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[0].text, QStringLiteral("update IZAS1.t set x=1"));
  EXPECT_EQ(audited, QStringList{QStringLiteral("/sql/pck.sql")});
}

}  // namespace
