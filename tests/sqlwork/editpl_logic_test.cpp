#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/ini_file.h"
#include "qstring_print.h"
#include "shell/main_helpers.h"
#include "sqlwork/editpl_logic.h"

namespace {

using namespace nuvo::sqlwork;

QStringList lines(const char* text) { return QString::fromUtf8(text).split(u'\n'); }

TEST(EditPlHeader, TheCreateHeaderNamesOwnerNameAndType) {
  struct Case {
    const char* text;
    BlockObject expected;
  };
  const Case cases[] = {
      {"CREATE OR REPLACE PACKAGE BODY KADE.PCKX IS", {"KADE", "PCKX", "PACKAGE BODY", 0}},
      {"create or replace package kade.pck_a is", {"KADE", "PCK_A", "PACKAGE", 0}},
      {"CREATE PROCEDURE p_x(a NUMBER) IS", {"", "P_X", "PROCEDURE", 0}},
      {"-- header comment\n/* more */\nCREATE OR REPLACE\nFUNCTION zozuro.f RETURN NUMBER", {"ZOZURO", "F", "FUNCTION", 3}},
      {"CREATE OR REPLACE TRIGGER \"Kade\".\"trg\" BEFORE INSERT ON t", {"Kade", "trg", "TRIGGER", 0}},
      {"CREATE OR REPLACE FORCE VIEW kade.v AS SELECT 1 x FROM dual", {"KADE", "V", "VIEW", 0}},
      {"CREATE OR REPLACE EDITIONABLE TYPE BODY kade.t_obj AS", {"KADE", "T_OBJ", "TYPE BODY", 0}},
      // No stored code: nothing named.
      {"CREATE TABLE kade.t (a NUMBER)", {}},
      {"BEGIN kade.p; END;", {}},
      {"ALTER PACKAGE kade.pck_a COMPILE", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(blockObject(lines(c.text)), c.expected);
  }
}

TEST(EditPlBlocks, SlashLinesEndBlocksAndBlankLinesAreLeftOut) {
  const QStringList source = lines(
      "CREATE OR REPLACE PACKAGE kade.pck_a IS\n"  // 0
      "\n"                                         // 1
      "  PROCEDURE p;\n"                           // 2
      "/* a comment line stays */\n"               // 3
      "END;\n"                                     // 4
      "/\n"                                        // 5
      "\n"                                         // 6
      "   \n"                                      // 7
      "CREATE OR REPLACE PACKAGE BODY kade.pck_a IS\n"  // 8
      "  PROCEDURE p IS BEGIN NULL; END;\n"        // 9
      "END;\n"                                     // 10
      "/ trailing words end it too\n"              // 11
      "/\n"                                        // 12: an empty block
      "CREATE TABLE kade.t (a NUMBER)");           // 13: the last block needs no slash
  const QList<CompileBlock> blocks = splitBlocks(source);
  ASSERT_EQ(blocks.size(), 4);
  EXPECT_EQ(blocks[0].text,
            "CREATE OR REPLACE PACKAGE kade.pck_a IS\r\n  PROCEDURE p;\r\n/* a comment line stays */\r\nEND;\r\n");
  EXPECT_EQ(blocks[0].lines, (QList<int>{0, 2, 3, 4}));
  EXPECT_EQ(blocks[0].object.type, "PACKAGE");
  EXPECT_EQ(blocks[1].lines, (QList<int>{8, 9, 10}));
  EXPECT_EQ(blocks[1].object.type, "PACKAGE BODY");
  EXPECT_TRUE(blocks[2].empty());
  EXPECT_EQ(blocks[3].lines, (QList<int>{13}));
  EXPECT_FALSE(blocks[3].object.valid());
}

TEST(EditPlBlocks, ServerLinesLandOnTheirOwnEditorLines) {
  const QStringList source = lines(
      "CREATE OR REPLACE PROCEDURE kade.p1 IS\n"  // 0
      "BEGIN\n"                                   // 1
      "\n"                                        // 2
      "  NULL;\n"                                 // 3
      "END;\n"                                    // 4
      "/\n"                                       // 5
      "\n"                                        // 6
      "-- the second unit\n"                      // 7
      "CREATE OR REPLACE PROCEDURE kade.p2 IS\n"  // 8
      "  v NUMBER;\n"                             // 9
      "\n"                                        // 10
      "BEGIN\n"                                   // 11
      "  v := nosuch;\n"                          // 12
      "END;\n"                                    // 13
      "/\n"                                       // 14
      "CREATE OR REPLACE TRIGGER kade.trg\n"      // 15
      "  BEFORE INSERT ON kade.t\n"               // 16
      "\n"                                        // 17
      "  FOR EACH ROW\n"                          // 18
      "DECLARE\n"                                 // 19
      "  n NUMBER;\n"                             // 20
      "BEGIN\n"                                   // 21
      "  n := nosuch;\n"                          // 22
      "END;\n"                                    // 23
      "/\n"                                       // 24
      "CREATE OR REPLACE FORCE VIEW kade.v AS\n"  // 25
      "  SELECT nosuch FROM dual");               // 26
  const QList<CompileBlock> blocks = splitBlocks(source);
  ASSERT_EQ(blocks.size(), 4);
  struct Case {
    int block;
    int serverLine;
    int position;
    bool bodyOffset;
    EditorPlace expected;
  };
  const Case cases[] = {
      {0, 1, 1, false, {0, 0}},    // the header line
      {0, 3, 3, false, {3, 2}},    // after a blank line inside the block
      {1, 1, 29, false, {8, 28}},  // counted from the header, not from the comment before it
      {1, 4, 8, false, {12, 7}},   // after the first block and blank lines
      {2, 4, 8, true, {22, 7}},    // a trigger counts from its DECLARE
      {2, 1, 1, true, {19, 0}},
      {3, 0, 0, false, {25, 0}},   // line 0: the object as a whole, on its header
      {1, 99, 5, false, {13, 4}},  // beyond the block: its last line, within the line
      {1, 2, 500, false, {9, 11}}, // beyond the line: its end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "block " << c.block << " line " << c.serverLine);
    EXPECT_EQ(errorPlace(blocks[c.block], c.serverLine, c.position, c.bodyOffset), c.expected);
  }
  EXPECT_EQ(blocks[0].bodyOffset, -1);
  EXPECT_EQ(blocks[2].bodyOffset, 3);
}

TEST(EditPlBlocks, TheTriggerBodyOffsetTakesTheFirstBeginAfterTheTriggerLine) {
  const QList<CompileBlock> blocks = splitBlocks(lines(
      "CREATE OR REPLACE TRIGGER kade.begin_log BEFORE INSERT ON kade.t\n"
      "FOR EACH ROW\n"
      "BEGIN\n"
      "  NULL;\n"
      "END;\n"
      "/\n"
      "CREATE OR REPLACE TRIGGER kade.t2 BEFORE INSERT ON kade.t FOR EACH ROW BEGIN NULL; END;"));
  ASSERT_EQ(blocks.size(), 2);
  EXPECT_EQ(blocks[0].bodyOffset, 2);  // BEGIN_LOG is a name, not the keyword
  EXPECT_EQ(blocks[1].bodyOffset, 0);
}

TEST(EditPlBlocks, OwnerFromTheFirstTwoLines) {
  struct Case {
    const char* line0;
    const char* line1;
    const char* owner;
  };
  const Case cases[] = {
      {"CREATE OR REPLACE PACKAGE BODY KADE.PCKX IS", "", "KADE"},
      {"-- no point here", "CREATE OR REPLACE PROCEDURE ZOZURO.P IS", "ZOZURO"},
      {"CREATE OR REPLACE PROCEDURE P IS", "BEGIN", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ownerFromHeader(c.line0, c.line1), c.owner) << c.line0;
}

TEST(EditPlBlocks, ColumnsOfARenamedLineAreTheSourcesColumns) {
  const auto rename = [](const QString& text) {
    return nuvo::shell::zamenjave(text, QStringLiteral("SKRIPTA"), QStringLiteral("KADE_07"), QStringLiteral("ZOZURO_07"));
  };
  const QString line = QStringLiteral("KADE.pck_a.p(x); y := zozuro.f;");
  // In the renamed line "KADE_07.pck_a.p(x); y := ZOZURO_07.f;" the "f" of zozuro.f stands at 35.
  ASSERT_EQ(rename(u'\n' + line).mid(1).indexOf(u'f', 20), 35);
  EXPECT_EQ(originalColumn(line, 35, rename), line.indexOf(u'f', 20));
  EXPECT_EQ(originalColumn(line, 0, rename), 0);
  EXPECT_EQ(originalColumn(line, 10, rename), 7);  // after the renamed owner
  EXPECT_EQ(originalColumn(line, 12, {}), 12);
}

TEST(EditPlErrors, AtMostAHundredErrorsAreCountedAndKept) {
  EditorErrorList list;
  for (int i = 0; i < 130; ++i) list.add({"P", i, 0, i + 1, 1, QStringLiteral("e%1").arg(i)});
  EXPECT_EQ(list.count(), EditorErrorList::kMax);
  EXPECT_EQ(list.at(EditorErrorList::kMax - 1).text, "e99");
  EXPECT_FALSE(list.add({"P", 0, 0, 1, 1, "late"}));
  EXPECT_EQ(errorPaneText(list.at(4)), "5/1   e4");
}

TEST(EditPlTwin, FindsTheClosingTwin) {
  const QStringList text = lines(
      "BEGIN\n"                        // 0
      "  IF a THEN\n"                  // 1
      "    BEGIN x; END;\n"            // 2
      "  ELSE IF b THEN NULL; END IF;\n"  // 3
      "  ELSIF c THEN NULL;\n"         // 4
      "  END IF;\n"                    // 5
      "  FOR r IN c LOOP\n"            // 6
      "    OPEN cur;\n"                // 7
      "    CLOSE cur;\n"               // 8
      "    CLOSE;\n"                   // 9
      "  END LOOP;\n"                  // 10
      "  x := f(a, (b + c),\n"         // 11
      "         d);\n"                 // 12
      "  APPEND;\n"                    // 13
      "END proc;\n"                    // 14
      "END;");                         // 15
  struct Case {
    const char* word;
    int line;
    int column;  // after the selected word
    std::optional<TwinPlace> expected;
  };
  const Case cases[] = {
      {"BEGIN", 0, 5, TwinPlace{15, 0, 3}},   // nested BEGIN END; skipped, END IF;, END LOOP;, END proc; are not twins
      {"IF", 1, 4, TwinPlace{5, 2, 6}},       // IF after ELSE nests, ELSIF does not
      {"FOR", 6, 5, TwinPlace{10, 2, 8}},
      {"OPEN", 7, 8, TwinPlace{9, 4, 5}},      // "CLOSE cur;" is not followed by ";"
      {"(", 11, 9, TwinPlace{12, 10, 1}},
      {"begin", 0, 5, std::nullopt},           // the lines are upper-cased, the selection is not
      {"WHILE", 0, 5, std::nullopt},
      {"LOOP", 10, 10, std::nullopt},          // the end of the text comes first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(findTwin(text, c.line, c.column, QString::fromUtf8(c.word)), c.expected);
  }
}

class EditPlHistory : public testing::Test {
 protected:
  QTemporaryDir dir_;
  QString iniPath() const { return dir_.filePath("PL_SQL.INI"); }
};

TEST_F(EditPlHistory, TouchRenewsAddsAndReplacesTheOldest) {
  FileHistory h;
  for (int i = 1; i <= FileHistory::kMax; ++i)
    h.touch(QStringLiteral("f%1.sql").arg(i), "/src/", QStringLiteral("2026.01.%1 10:00:00").arg(i, 2, 10, QChar(u'0')));
  EXPECT_EQ(h.entries().first().name, "f25.sql");  // newest first
  // Opening a listed file only renews its time and moves it to the top.
  h.touch("f3.sql", "/src/", "2026.02.01 09:00:00");
  ASSERT_EQ(h.entries().size(), FileHistory::kMax);
  EXPECT_EQ(h.entries().first().name, "f3.sql");
  // The 26th different file replaces the oldest one (f1).
  h.touch("new.sql", "/other/", "2026.02.02 09:00:00");
  ASSERT_EQ(h.entries().size(), FileHistory::kMax);
  EXPECT_EQ(h.entries().first(), (HistoryFile{"new.sql", "/other/", "2026.02.02 09:00:00"}));
  for (const HistoryFile& e : h.entries()) EXPECT_NE(e.name, "f1.sql");
  // The same name in another directory is another file.
  h.touch("f3.sql", "/else/", "2026.02.03 09:00:00");
  EXPECT_EQ(h.entries().first().dir, "/else/");
  EXPECT_EQ(h.entries().at(2).name, "f3.sql");
}

TEST_F(EditPlHistory, SavedHistoryReadsBackWithLongAndSlashedDirectories) {
  const QString longDir = "/home/dev/" + QString(150, u'x') + "/sources/";
  FileHistory h;
  h.touch("a.sql", longDir, "2026.03.01 10:00:00");
  h.touch("b.pkb", "C:\\Velmora\\src\\", "2026.03.02 10:00:00");
  h.touch("c.sql", "/tmp/", "2026.03.01 10:00:00");
  nuvo::IniFile ini(iniPath());
  h.save(ini);
  EXPECT_EQ(ini.readString("EDITPL", "HFILE1"), "b.pkb/C:\\Velmora\\src\\/2026.03.02 10:00:00");
  FileHistory back;
  back.load(ini);
  ASSERT_EQ(back.entries().size(), 3);
  EXPECT_EQ(back.entries()[0].name, "b.pkb");
  EXPECT_EQ(back.entries()[1], (HistoryFile{"a.sql", longDir, "2026.03.01 10:00:00"}));  // not cut
  EXPECT_EQ(back.entries()[2].name, "c.sql");  // equal times keep their order
  EXPECT_EQ(FileHistory::path(back.entries()[1]), longDir + "a.sql");
  EXPECT_EQ(back.listLines()[0], "B" + QString(9, u' ') + "C:\\Velmora\\src\\");
  // Removing the only entries leaves an empty section.
  while (back.remove(0)) {
  }
  back.save(ini);
  FileHistory empty;
  empty.load(ini);
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_FALSE(back.remove(0));
}

TEST_F(EditPlHistory, ReadingStopsAtTheFirstMissingKeyAndSkipsForeignValues) {
  nuvo::IniFile ini(iniPath());
  ini.writeString("EDITPL", "HFILE1", "a.sql/d/2026.01.01 00:00:00");
  ini.writeString("EDITPL", "HFILE2", "garbage");
  ini.writeString("EDITPL", "HFILE3", "b.sql/d/2026.01.02 00:00:00");
  ini.writeString("EDITPL", "HFILE5", "c.sql/d/2026.01.03 00:00:00");
  FileHistory h;
  h.load(ini);
  ASSERT_EQ(h.entries().size(), 2);
  EXPECT_EQ(h.entries()[0].name, "b.sql");
  EXPECT_EQ(h.entries()[1].name, "a.sql");
}

TEST(EditPlHistoryTime, TheTimeTextSortsInTimeOrderWhateverTheLocale) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(historyTime(QDateTime(QDate(2026, 12, 3), QTime(7, 5, 9))), "2026.12.03 07:05:09");
  EXPECT_LT(historyTime(QDateTime(QDate(2026, 9, 30), QTime(23, 0))), historyTime(QDateTime(QDate(2026, 10, 1), QTime(1, 0))));
  QLocale::setDefault(QLocale::c());
}

TEST(EditPlTools, ColumnTextAndTemplateModes) {
  EXPECT_EQ(columnsInsertText("t.", {"A", "B"}), "t.A, t.B");
  EXPECT_EQ(columnsInsertText("", {"ID"}), "ID");
  EXPECT_EQ(columnInsertText("x.", "NAME"), "x.NAME,");
  EXPECT_EQ(templateControls(TemplateMode::Browse), (TemplateControls{true, true, true, false, true}));
  EXPECT_EQ(templateControls(TemplateMode::New), (TemplateControls{false, true, false, true, true}));
  // Changing a template keeps its code, the row's key.
  EXPECT_EQ(templateControls(TemplateMode::Update), (TemplateControls{false, false, true, true, false}));
}

}  // namespace
