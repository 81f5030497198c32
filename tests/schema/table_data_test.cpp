// The data statement and its filter, saved selections in the settings file, and the scripts that
// take down and restore the foreign keys referencing a table.

#include <QDir>
#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "qstring_print.h"
#include "schema/table_data_logic.h"
#include "support/temp_env.h"

namespace {

using nuvo::schema::ReferencingKey;
using nuvo::schema::Selection;

TEST(DataStatement, MarkedColumnsAliasRowidLinkAndLineBreaks) {
  const QStringList eight{"a", "b", "c", "d", "e", "f", "g", "h"};
  const struct {
    QStringList columns;
    const char* link;
    const char* expected;
  } cases[] = {
      {{}, "", "SELECT XX.*,ROWID FROM KADE.T XX"},
      {{"id", "name"}, "", "SELECT XX.ID ,XX.NAME ,ROWID FROM KADE.T XX"},
      {eight, "", "SELECT XX.A ,XX.B ,XX.C ,XX.D ,XX.E ,XX.F ,XX.G \r\n,XX.H ,ROWID FROM KADE.T XX"},
      {{}, "remo", "SELECT * FROM KADE.T@REMO XX"},
      {{"id", "name"}, "remo", "SELECT ID,NAME FROM KADE.T@REMO XX"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nuvo::schema::dataStatement(c.columns, "kade", "t", c.link), QString(c.expected)) << c.expected;
}

TEST(DataFilter, UpperCaseOutsideLiteralsOnly) {
  EXPECT_EQ(nuvo::schema::upperOutsideLiterals("where name = 'Ana' and x like 'b%' order by id"),
            "WHERE NAME = 'Ana' AND X LIKE 'b%' ORDER BY ID");
  // An unclosed literal keeps the rest as typed.
  EXPECT_EQ(nuvo::schema::upperOutsideLiterals("where n = 'it''s mine"), "WHERE N = 'it''s mine");
}

TEST(DataFilter, TitleClickExtendsTheFilterOrShowsTheValue) {
  const struct {
    const char* filter;
    const char* column;
    const char* expected;  // nullptr: the value is shown
  } cases[] = {
      {"WHERE ", "ID", "WHERE  ID="},
      {"WHERE X=1", "ID", "WHERE X=1 AND ID="},
      {"WHERE X=1 AND", "ID", "WHERE X=1 AND ID="},
      {"ORDER BY NAME", "ID", "ORDER BY NAME ,ID"},
      {"WHERE X=1 ORDER BY NAME,", "ID", "WHERE X=1 ORDER BY NAME, ID"},
      // Named already, also in another case; a longer name containing it does not count.
      {"WHERE ID=1", "ID", nullptr},
      {"where id = 1", "ID", nullptr},
      {"WHERE PARTNER_ID=1", "ID", "WHERE PARTNER_ID=1 AND ID="},
      {"", "ID", nullptr},
  };
  for (const auto& c : cases) {
    const auto got = nuvo::schema::filterWithColumn(c.filter, c.column);
    if (c.expected)
      EXPECT_EQ(got.value_or("<value shown>"), QString(c.expected)) << c.filter;
    else
      EXPECT_FALSE(got.has_value()) << c.filter << " gave " << got->toStdString();
  }
}

TEST(Selections, RootTextsSplitIntoTableAndOwner) {
  EXPECT_EQ(nuvo::schema::splitRoot("PARTNER.KADE"), (Selection{"PARTNER", "KADE", "", ""}));
  EXPECT_EQ(nuvo::schema::splitRoot("PARTNER"), (Selection{"PARTNER", "", "", ""}));
  EXPECT_EQ(nuvo::schema::splitRoot("T." + QString(40, 'O')).owner, QString(30, 'O'));
}

TEST(Selections, MarksCompareWholeColumnNames) {
  EXPECT_TRUE(nuvo::schema::isMarked("PARTNER_ID,NAME", "NAME"));
  EXPECT_TRUE(nuvo::schema::isMarked("PARTNER_ID, NAME", "name"));
  EXPECT_FALSE(nuvo::schema::isMarked("PARTNER_ID,NAME", "ID"));
  EXPECT_FALSE(nuvo::schema::isMarked("", "ID"));
}

TEST(Selections, RoundTripThroughTheSettingsFile) {
  const QString dir = QString::fromStdString(nuvo::test::makeTempDir("selections"));
  const QString file = dir + "/MONITOR.INI";
  {
    nuvo::IniFile ini(file);
    ini.writeString("PL/SQL", "CURR_LANGUAGE", "SLO");
    // A longer list saved before.
    nuvo::schema::writeSelections(
        ini, {{"A", "KADE", "", ""}, {"B", "KADE", "", ""}, {"C", "KADE", "", ""}, {"D", "KADE", "", ""}});
  }
  const QList<Selection> saved{{"PARTNER", "KADE", "PARTNER_ID,NAME", "WHERE NAME LIKE 'Ana%'"},
                               {"ORDERS", "ZOZURO", "", ""},
                               {"", "", "X", "lost"},  // no root text: not kept
                               {"LOOSE", "", "ID", "WHERE ID=1"}};
  nuvo::IniFile ini(file);
  nuvo::schema::writeSelections(ini, saved);
  const QList<Selection> read = nuvo::schema::readSelections(nuvo::IniFile(file));
  EXPECT_EQ(read, (QList<Selection>{saved[0], saved[1], saved[3]}));
  // Other sections are untouched.
  EXPECT_EQ(ini.readString("PL/SQL", "CURR_LANGUAGE"), "SLO");
  EXPECT_TRUE(nuvo::schema::readSelections(nuvo::IniFile(dir + "/missing.ini")).isEmpty());
}

TEST(KeyScripts, RowsGatherIntoKeysOfTheirOwnOwner) {
  const auto keys = nuvo::schema::gatherReferencingKeys({
      {"KADE", "LINES", "FK", "CASCADE", "NOT DEFERRABLE", "IMMEDIATE", "ENABLED", "A"},
      {"KADE", "LINES", "FK", "CASCADE", "NOT DEFERRABLE", "IMMEDIATE", "ENABLED", "B"},
      // A key of the same name in another schema is another key.
      {"ZOZURO", "LINES", "FK", "NO ACTION", "NOT DEFERRABLE", "IMMEDIATE", "ENABLED", "C"},
  });
  ASSERT_EQ(keys.size(), 2);
  EXPECT_EQ(keys[0].columns, (QStringList{"A", "B"}));
  EXPECT_EQ(keys[1].owner, "ZOZURO");
  EXPECT_EQ(keys[1].columns, (QStringList{"C"}));
}

TEST(KeyScripts, DropAndRecreateKeepRuleDeferrabilityStateAndEveryColumn) {
  QStringList many;
  for (int i = 1; i <= 12; ++i) many << QString("A_RATHER_LONG_COLUMN_%1").arg(i);
  const QList<ReferencingKey> keys{
      {"KADE", "LINES", "LINES_FK", {"ORD_ID", "ORD_NO"}, "CASCADE", "DEFERRABLE", "DEFERRED", "ENABLED"},
      {"ZOZURO", "Line item", "li fk", many, "SET NULL", "NOT DEFERRABLE", "IMMEDIATE", "DISABLED"},
  };
  const auto scripts = nuvo::schema::keyScripts(keys, "KADE", "ORDERS", {"ID", "NO"}, true);
  EXPECT_EQ(scripts.takeDown, (QStringList{"alter table \"KADE\".\"LINES\" drop constraint \"LINES_FK\"", "/",
                                           "alter table \"ZOZURO\".\"Line item\" drop constraint \"li fk\"", "/"}));
  ASSERT_EQ(scripts.restore.size(), 4);
  EXPECT_EQ(scripts.restore[0],
            "alter table \"KADE\".\"LINES\" add constraint \"LINES_FK\" foreign key (\"ORD_ID\",\"ORD_NO\") "
            "references \"KADE\".\"ORDERS\" (\"ID\",\"NO\") on delete cascade deferrable initially deferred");
  EXPECT_TRUE(scripts.restore[2].endsWith("on delete set null disable")) << scripts.restore[2].toStdString();
  EXPECT_TRUE(scripts.restore[2].contains("\"A_RATHER_LONG_COLUMN_1\",") &&
              scripts.restore[2].contains("\"A_RATHER_LONG_COLUMN_12\")"))
      << scripts.restore[2].toStdString();
}

TEST(KeyScripts, DisableAndEnableLeaveADisabledKeyDisabled) {
  const QList<ReferencingKey> keys{{"KADE", "A", "A_FK", {"X"}, "NO ACTION", "NOT DEFERRABLE", "IMMEDIATE", "ENABLED"},
                                   {"KADE", "B", "B_FK", {"X"}, "NO ACTION", "NOT DEFERRABLE", "IMMEDIATE", "DISABLED"}};
  const auto scripts = nuvo::schema::keyScripts(keys, "KADE", "T", {"ID"}, false);
  EXPECT_EQ(scripts.takeDown, (QStringList{"alter table \"KADE\".\"A\" disable constraint \"A_FK\"", "/",
                                           "alter table \"KADE\".\"B\" disable constraint \"B_FK\"", "/"}));
  EXPECT_EQ(scripts.restore, (QStringList{"alter table \"KADE\".\"A\" enable constraint \"A_FK\"", "/"}));
  EXPECT_TRUE(nuvo::schema::keyScripts({}, "KADE", "T", {"ID"}, true).restore.isEmpty());
}

TEST(KeyScripts, RestoreFilesAreNamedByOwnerAndWholeTable) {
  EXPECT_EQ(nuvo::schema::restoreFileName("/d/", "KADE", "PARTNER_ADDRESSES"), "/d/KADE.PARTNER_ADDRESSES.SQL");
  EXPECT_NE(nuvo::schema::restoreFileName("/d/", "KADE", "PARTNER_ADDRESSES"),
            nuvo::schema::restoreFileName("/d/", "KADE", "PARTNER_ACCOUNTS"));
  EXPECT_EQ(nuvo::schema::restoreFileName("/d/", "KADE", "A/B"), "/d/KADE.A_B.SQL");
}

TEST(KeyScripts, ARunWithAnyFailedLineFails) {
  QStringList ran;
  const auto run = nuvo::schema::runScript({"bad one", "/", "", "good", "/"}, [&ran](const QString& line) {
    ran << line;
    return line.startsWith("bad") ? QString("ORA-00942: table or view does not exist") : QString();
  });
  EXPECT_EQ(ran, (QStringList{"bad one", "good"}));
  EXPECT_TRUE(run.failed);
  EXPECT_TRUE(run.errors.startsWith("bad one\r\nORA-00942")) << run.errors.toStdString();
  EXPECT_FALSE(nuvo::schema::runScript({"good", "/"}, [](const QString&) { return QString(); }).failed);
}

}  // namespace
