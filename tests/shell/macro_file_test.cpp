#include <gtest/gtest.h>

#include "qstring_print.h"
#include "shell/macro_file.h"
#include "shell/main_helpers.h"

namespace {

using nuvo::shell::MacroEntry;
using nuvo::shell::MacroFile;
using nuvo::shell::MacroKind;

QString repeated(QChar c, int count) { return QString(count, c); }

// Two shortcuts and three pop-up macros, after a line that belongs to no entry.
QStringList sampleLines() {
  return {"stray line before any header",
          "#a",
          "select * from dual",
          "#b",
          "begin",
          "  null;",
          "end;",
          "/Count rows",
          "select count(*) from :?",
          "/" + repeated(u'c', 60),
          "first",
          "",
          "third",
          "/Empty",
          ""};
}

TEST(MacroFile, ReadsShortcutsAndPopupsInFileOrder) {
  MacroFile file;
  EXPECT_EQ(file.read(sampleLines()), 0);
  const QList<MacroEntry> shortcuts = {{"a", "select * from dual"}, {"b", "begin\r\n  null;\r\nend;"}};
  const QList<MacroEntry> popups = {{"Count rows", "select count(*) from :?"},
                                    {repeated(u'c', 50), "first\r\n\r\nthird"},
                                    {"Empty", ""}};
  EXPECT_EQ(file.rows(MacroKind::Shortcut), shortcuts);
  EXPECT_EQ(file.rows(MacroKind::Popup), popups);
}

TEST(MacroFile, SavingWhatWasReadGivesTheSameLinesAgain) {
  MacroFile first;
  first.read(sampleLines());
  QStringList expected = sampleLines().mid(1);
  expected[8] = "/" + repeated(u'c', 50);  // the caption is cut on reading
  EXPECT_EQ(first.lines(), expected);

  // A file the editor wrote reads back to the same file, byte for byte.
  const QString text = nuvo::shell::joinFileLines(first.lines());
  MacroFile second;
  second.read(nuvo::shell::splitFileLines(text));
  EXPECT_EQ(nuvo::shell::joinFileLines(second.lines()), text);
}

TEST(MacroFile, AHeaderWithoutItsKeyKeepsItsBody) {
  MacroFile file;
  file.read({"#", "kept body", "/"});
  EXPECT_EQ(file.rows(MacroKind::Shortcut), QList<MacroEntry>({{"", "kept body"}}));
  EXPECT_EQ(file.lines(), QStringList({"#", "kept body", "/", ""}));
}

TEST(MacroFile, AKindTheFileLacksKeepsItsRowsAndSavesAnEmptyHeader) {
  MacroFile file;
  EXPECT_EQ(file.lines(), QStringList({"#", "", "/", ""}));  // one empty row of each kind
  file.read({"/Only popup", "text"});
  EXPECT_EQ(file.lines(), QStringList({"#", "", "/Only popup", "text"}));
  file.read({"#k", "value"});
  EXPECT_EQ(file.lines(), QStringList({"#k", "value", "/Only popup", "text"}));
}

TEST(MacroFile, PopupsBeyondTheListAreDroppedWithTheirBodies) {
  QStringList lines;
  for (int i = 1; i <= nuvo::shell::kMaxPopupMacros + 2; ++i) lines << QStringLiteral("/p%1").arg(i) << QStringLiteral("body %1").arg(i);
  lines << "#z" << "after the dropped ones";
  MacroFile file;
  EXPECT_EQ(file.read(lines), 2);
  const auto& popups = file.rows(MacroKind::Popup);
  ASSERT_EQ(popups.size(), nuvo::shell::kMaxPopupMacros);
  EXPECT_EQ(popups.last(), (MacroEntry{"p25", "body 25"}));
  EXPECT_EQ(file.rows(MacroKind::Shortcut), QList<MacroEntry>({{"z", "after the dropped ones"}}));
}

TEST(MacroFile, NewRowsStopAtTheEndOfThePopupList) {
  MacroFile file;
  for (int i = 1; i < nuvo::shell::kMaxPopupMacros; ++i) EXPECT_EQ(file.addRow(MacroKind::Popup), i);
  EXPECT_EQ(file.addRow(MacroKind::Popup), -1);
  EXPECT_EQ(file.rows(MacroKind::Popup).size(), nuvo::shell::kMaxPopupMacros);
  EXPECT_EQ(file.addRow(MacroKind::Shortcut), 1);  // shortcuts have no such list
}

TEST(MacroFile, DeleteMovesTheFollowingRowsUpAndKeepsTheLastRow) {
  MacroFile file;
  file.read({"/a", "ta", "/b", "tb", "/c", "tc"});
  EXPECT_FALSE(file.deleteRow(MacroKind::Popup, 3));
  EXPECT_FALSE(file.deleteRow(MacroKind::Popup, -1));
  EXPECT_TRUE(file.deleteRow(MacroKind::Popup, 0));
  EXPECT_EQ(file.rows(MacroKind::Popup), QList<MacroEntry>({{"b", "tb"}, {"c", "tc"}}));
  EXPECT_TRUE(file.deleteRow(MacroKind::Popup, 1));
  EXPECT_FALSE(file.deleteRow(MacroKind::Popup, 0));  // the only row stays
  EXPECT_EQ(file.rows(MacroKind::Popup), QList<MacroEntry>({{"b", "tb"}}));
}

TEST(MacroFile, AMovedPopupRowTakesItsTextAlong) {
  struct Case {
    int from, to;
    QStringList keys;
  };
  const Case cases[] = {{0, 2, {"b", "c", "a"}}, {2, 0, {"c", "a", "b"}}, {1, 1, {"a", "b", "c"}}, {0, 3, {"a", "b", "c"}}};
  for (const Case& c : cases) {
    MacroFile file;
    file.read({"/a", "ta", "/b", "tb", "/c", "tc"});
    file.moveRow(MacroKind::Popup, c.from, c.to);
    QStringList keys;
    for (const MacroEntry& row : file.rows(MacroKind::Popup)) {
      keys << row.key;
      EXPECT_EQ(row.text, "t" + row.key) << c.from << "->" << c.to;
    }
    EXPECT_EQ(keys, c.keys) << c.from << "->" << c.to;
  }
}

TEST(MacroFile, FindsATextLineTheFileWouldReadAsAHeader) {
  using RowRef = MacroFile::RowRef;
  struct Case {
    const char* label;
    QStringList lines;
    std::optional<RowRef> found;
  };
  const Case cases[] = {
      {"plain texts", sampleLines(), std::nullopt},
      {"pop-ups one after another", {"/a", "ok", "/b", "x"}, std::nullopt},
      {"headers alone", {"#", "/"}, std::nullopt},
      {"'#' or '/' inside a line", {"#k", "select 1 # 2 / 3", "/p", "a /* b */"}, std::nullopt},
  };
  for (const Case& c : cases) {
    MacroFile file;
    file.read(c.lines);
    EXPECT_EQ(file.rowWithHeaderLine(), c.found) << c.label;
  }
  const struct {
    const char* label;
    MacroKind kind;
    int row;
    QString text;
  } edits[] = {
      {"pop-up line starting a comment", MacroKind::Popup, 1, "select 1\r\n/* why */\r\nfrom dual"},
      {"pop-up text starting with '/'", MacroKind::Popup, 0, "/"},
      {"shortcut line starting with '#'", MacroKind::Shortcut, 1, "#define"},
  };
  for (const auto& edit : edits) {
    MacroFile file;
    file.read(sampleLines());
    file.rows(edit.kind)[edit.row].text = edit.text;
    EXPECT_EQ(file.rowWithHeaderLine(), (RowRef{edit.kind, edit.row})) << edit.label;
  }
}

TEST(MacroFileLines, SplitAndJoinAsALineListDoes) {
  struct Case {
    QString text;
    QStringList lines;
  };
  const Case cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\n\r\n", {"a", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(nuvo::shell::splitFileLines(c.text), c.lines) << c.text.toStdString();
  EXPECT_EQ(nuvo::shell::joinFileLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

}  // namespace
