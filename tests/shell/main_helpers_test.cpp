#include <QDate>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "shell/iNuvoSQLUtils.h"
#include "shell/main_helpers.h"
#include "qstring_print.h"

namespace {

using namespace nuvo::shell;

struct RenameCase {
  const char* mode;
  QString text;
  QString expected;
};

TEST(Zamenjave, RenamesTheSchemasOfAnInstallation) {
  const RenameCase cases[] = {
      {"SKRIPTA", "select * from KADE.T where owner='KADE'", "select * from IZAS7.T where owner='IZAS7'"},
      {"SKRIPTA", "select * from XKADE.T", "select * from XKADE.T"},
      {"SKRIPTA", "KADE.T", "KADE.T"},  // the start of the text is no boundary
      {"SKRIPTA", "select * from kade.t,zozuro.u", "select * from IZAS7.t,ZIZAS7.u"},
      {"SKRIPTA", "x=(ZOZURO.A+KADE.B)/'ZOZURO'", "x=(ZIZAS7.A+IZAS7.B)/'ZIZAS7'"},
      {"SKRIPTA", "GRANT SELECT ON T TO DUD", "GRANT SELECT ON T TO GZAS7"},
      {"SKRIPTA", "GRANT SELECT ON T TO DUDEK", "GRANT SELECT ON T TO GZAS7EK"},
      {"SKRIPTA", "select KADE from t", "select KADE from t"},
      {"UKAZ", "GRANT KADE ZOZURO ", "GRANT IZAS7 ZIZAS7 "},
      {"UKAZ", "select * from KADE.T", "select * from KADE.T"},
      {"SKRIPTA", "", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(zamenjave(c.text, c.mode, "IZAS7", "ZIZAS7"), c.expected) << c.text.toStdString();
}

TEST(Zamenjave, KeepsTheWholeOfALongScript) {
  const QString filler(1'000'000, u'x');
  const QString renamed = zamenjave(filler + " KADE.T" + filler + " KADE.U", "SKRIPTA", "IZAS7", "Z");
  EXPECT_EQ(renamed, filler + " IZAS7.T" + filler + " IZAS7.U");
}

TEST(PostaviLiveQuery, AddsTheRowIdentifier) {
  const std::pair<QString, QString> cases[] = {
      {"select ENAME from EMP E where E.SAL>0", "select E.rowid,ENAME from EMP E where E.SAL>0"},
      {"select ENAME, SAL from EMP where EMP.SAL>0", "select xxx.ENAME, xxx.SAL,rowid from EMP xxx where xxx.SAL>0"},
      {"select * from emp", "select xxx.*,rowid from emp xxx"},
      {"select * from emp e", "select e.rowid,e.* from emp e"},
      {"select ENAME\r\nfrom EMP\r\nwhere EMP.SAL>0", "select xxx.ENAME,rowid\r\nfrom EMP xxx\r\nwhere xxx.SAL>0"},
      {"select ENAME\nfrom EMP\nwhere EMP.SAL>0", "select xxx.ENAME,rowid\nfrom EMP xxx\nwhere xxx.SAL>0"},
      // Only references "EMP." are qualified: never a part of another name, never inside a literal.
      {"select EMPNO from EMP where EMPNO>0 and ENAME='EMP.X' and EMP.SAL>0",
       "select xxx.EMPNO,rowid from EMP xxx where EMPNO>0 and ENAME='EMP.X' and xxx.SAL>0"},
      {"select a from t join u on t.id=u.id", "select xxx.a,rowid from t xxx join u on xxx.id=u.id"},
      {"select a from t for update", "select xxx.a,rowid from t xxx for update"},
      {"select a from t connect by prior a=b", "select xxx.a,rowid from t xxx connect by prior a=b"},
      {"select a from t order by a", "select xxx.a,rowid from t xxx order by a"},
      {"select rowid, a from t", "select rowid, a from t"},
      {"update t set a=1", "update t set a=1"},
      {"select xxx.a from t xxx", "select xxx.rowid,xxx.a from t xxx"},
      {"select xxx.a from t", "select xxx.a from t"},
  };
  for (const auto& [statement, expected] : cases) {
    const LiveQuery live = postaviLiveQuery(statement);
    EXPECT_EQ(live.text, expected) << statement.toStdString();
    EXPECT_FALSE(live.refused);
  }
}

TEST(PostaviLiveQuery, RefusesGroupByAndKeepsLongStatementsWhole) {
  const LiveQuery grouped = postaviLiveQuery("select a, count(*) from t group by a");
  EXPECT_TRUE(grouped.refused);
  EXPECT_EQ(grouped.text, "select a, count(*) from t group by a");

  const QString list = QString("'v',").repeated(5000) + "'w'";
  const LiveQuery aliased = postaviLiveQuery("select a from t x where x.b in (" + list + ")");
  EXPECT_EQ(aliased.text, "select x.rowid,a from t x where x.b in (" + list + ")");
  const LiveQuery plain = postaviLiveQuery("select a from t where t.b in (" + list + ")");
  EXPECT_EQ(plain.text, "select xxx.a,rowid from t xxx where xxx.b in (" + list + ")");
}

TEST(FVenPodpicje, StripsTheSemicolonOfPlainSqlOnly) {
  const std::pair<QString, QString> cases[] = {
      {"select 1 from dual;", "select 1 from dual"},
      {"select 1 from dual;\r\n  \n", "select 1 from dual\r\n  \n"},
      {"select legend from t;", "select legend from t"},
      {"select 1 from dual", "select 1 from dual"},
      {"begin null; end;", "begin null; end;"},
      {"BEGIN\n  x;\nEND pck_with_a_long_name;\n", "BEGIN\n  x;\nEND pck_with_a_long_name;\n"},
      {"create or replace package body p is\nprocedure q is begin null; end;\nend p;",
       "create or replace package body p is\nprocedure q is begin null; end;\nend p;"},
      {"CREATE TRIGGER t before insert on x begin null; end;", "CREATE TRIGGER t before insert on x begin null; end;"},
      {"-- set up\n/* block */ declare x number; begin null; end;",
       "-- set up\n/* block */ declare x number; begin null; end;"},
      {"create table t (a number);", "create table t (a number)"},
      {"", ""},
      {" \r\n", " \r\n"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(f_venPodpicje(text), expected) << text.toStdString();
}

TEST(PrepareInsertTemplate, FillsTheMarksWithTheClipboard) {
  struct Case {
    QString frame, text, clipboard, expected;
  };
  const Case cases[] = {
      {"", "select * from :? where x=:?", "emp", "select * from emp where x=Emp"},
      {"", "select * from :? where x=:?", "", "select * from ? where x=?"},
      {"", "select * from :? where x=:?", "12345678901", "select * from ? where x=?"},
      {"\r", ":?x", "ab", "\rAbx\r"},
      {"", "a:?:?", "q", "aQQ"},  // a filled value is not scanned again
      {"", "no marks", "q", "no marks"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(prepareInsertTemplate(c.frame, c.text, c.clipboard), c.expected) << c.text.toStdString();
  const QString longText(25'000, u'a');
  EXPECT_EQ(prepareInsertTemplate("", longText + " :? b", "v"), longText + " v b");
}

TEST(TextHelpers, LineBreaksAndSeparators) {
  EXPECT_EQ(brezNL("a\r\nb\r\n"), "a\rb\r");
  EXPECT_EQ(brezNL("a\nb\r\r\n"), "a\nb\r\r");
  const QString longText = QString("x\r\n").repeated(20'000);
  EXPECT_EQ(brezNL(longText), QString("x\r").repeated(20'000));

  const std::pair<QString, QString> separators[] = {
      {"#59", ";"}, {"#9", "\t"}, {",", ","}, {"#x", "#x"}, {"", ""}, {";", ";"}};
  for (const auto& [setting, expected] : separators) EXPECT_EQ(pretvoriDescriptor(setting), expected);
}

TEST(ClientDateFormat, TranslatesOracleFormatElements) {
  const std::pair<QString, QString> cases[] = {
      {"DD.MM.YYYY", "dd.MM.yyyy"},
      {"DD.MM.YYYY HH24:MI:SS", "dd.MM.yyyy HH:mm:ss"},
      {"dd-mon-rr", "dd-MMM-yy"},
      {"YYYY/MM/DD", "yyyy/MM/dd"},
      {"DD \"of\" MONTH YYYY", "dd 'of' MMMM yyyy"},
      {"FMDD.MM.RRRR", "dd.MM.yyyy"},
  };
  for (const auto& [oracle, client] : cases) EXPECT_EQ(clientDateFormat(oracle), client) << oracle.toStdString();
  const QDateTime moment(QDate(2026, 3, 5), QTime(14, 7, 9));
  EXPECT_EQ(moment.toString(clientDateFormat("DD.MM.YYYY HH24:MI:SS")), "05.03.2026 14:07:09");
}

TEST(ParseMacros, ReadsKeyboardAndPopupMacros) {
  const Macros macros = parseMacros({"stray line before any header", "#a", "line1", "line2",
                                     "/" + QString(60, u'C'), "body", "#", "lost with its header", "#b", "bee"});
  EXPECT_EQ(macros.keys, "ab");
  EXPECT_EQ(macros.keyboard, QStringList({"line1\r\nline2", "bee"}));
  EXPECT_EQ(macros.popupHeaders, QStringList({QString(50, u'C')}));
  EXPECT_EQ(macros.popup, QStringList({"body"}));
}

TEST(ParseMacros, HoldsAtMostFiftyKeyboardAndTwentyFivePopupMacros) {
  QStringList lines;
  for (int i = 0; i < 52; ++i) lines << QString("#") + QChar(u'!' + i) << QString("key %1").arg(i);
  for (int i = 0; i < 27; ++i) lines << QString("/Pop %1").arg(i) << QString("pop %1").arg(i);
  lines << "#z" << "after";
  const Macros macros = parseMacros(lines);
  ASSERT_EQ(macros.keys.size(), kMaxKeyboardMacros);
  EXPECT_EQ(macros.keyboard.last(), "key 49");
  ASSERT_EQ(macros.popup.size(), kMaxPopupMacros);
  EXPECT_EQ(macros.popup.last(), "pop 24");
  EXPECT_EQ(macros.popupHeaders.last(), "Pop 24");
}

TEST(WindowsWithPrefix, MatchesTheNamePrefixCaseSensitively) {
  std::vector<std::unique_ptr<QWidget>> owned;
  QList<QWidget*> windows;
  for (const char* name : {"WorkSheet_1", "fmEdit", "worksheet_2", "WorkSheet_3", "fmEditor"}) {
    owned.push_back(std::make_unique<QWidget>());
    owned.back()->setObjectName(name);
    windows << owned.back().get();
  }
  auto names = [](const QList<QWidget*>& chosen) {
    QStringList result;
    for (QWidget* w : chosen) result << w->objectName();
    return result;
  };
  EXPECT_EQ(names(windowsWithPrefix(windows, "WorkSheet")), QStringList({"WorkSheet_1", "WorkSheet_3"}));
  EXPECT_EQ(names(windowsWithPrefix(windows, "fmEdit")), QStringList({"fmEdit", "fmEditor"}));
  EXPECT_TRUE(windowsWithPrefix(windows, "fmScript").isEmpty());

  QList<QWidget*> many;
  for (int i = 0; i < 120; ++i) many << windows[0];
  EXPECT_EQ(windowsWithPrefix(many, "Work").size(), kMaxChooserWindows);
}

TEST(String2SQlString, QuotesEveryItemOfADelimitedList) {
  const std::pair<QString, QString> cases[] = {
      {"A,B,C", "'A','B','C'"},
      {"", ""},
      {"A B", "'A','B'"},
      {"O'B,C", "'O''B','C'"},
      {"x' OR '1'='1", "'x''','OR','''1''=''1'"},
      {"\"A B\",C", "'A B','C'"},
      {"\"say \"\"hi\"\"\"", "'say \"hi\"'"},
      {"A,,B", "'A','','B'"},
      {"A,", "'A',''"},
      {"  A , B ", "'A','B'"},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(TNuvoSqlHelper::String2SQlString(text, u','), expected) << text.toStdString();
  EXPECT_EQ(TNuvoSqlHelper::String2SQlString("A;B", u';'), "'A';'B'");
}

TEST(KeptOnScreen, MovesAWindowUpAndLeftUntilItLiesWhole) {
  const QRect screen(0, 0, 1366, 768);
  const struct {
    QPoint wanted;
    QSize frame;
    QPoint placed;
  } cases[] = {
      {{100, 40}, {900, 130}, {100, 40}},     // on the screen: stays
      {{431, 658}, {900, 151}, {431, 617}},   // 41 pixels below the bottom: up by as much
      {{800, 700}, {900, 130}, {466, 638}},   // beyond the right and the bottom
      {{-50, -10}, {900, 130}, {0, 0}},       // above and left of the screen
      {{10, 10}, {1500, 900}, {0, 0}},        // larger than the screen: its top left corner shows
  };
  for (const auto& c : cases)
    EXPECT_EQ(nuvo::shell::keptOnScreen(c.wanted, c.frame, screen), c.placed) << c.wanted.x() << "," << c.wanted.y();
}

}  // namespace
