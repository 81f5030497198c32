#include <QFile>
#include <gtest/gtest.h>

#include "platform/appdirs.h"
#include "platform/ini_file.h"
#include "qstring_print.h"
#include "shell/Main.h"
#include "shell/tabUtil.h"
#include "shell_test_support.h"

namespace {

using nuvo::shell::lastVersion;
using nuvo::shell::storeLastVersion;

// Entries of 19 characters: "#P/Unn/SCRIPT_00nn#".
QString entries(int count) {
  QString text;
  for (int i = 0; i < count; ++i) text += QStringLiteral("#P/U%1/SCRIPT_%2#").arg(i, 2, 10, QChar(u'0')).arg(i, 4, 10, QChar(u'0'));
  return text;
}

TEST(LastVersionStore, RecordsOneEntryPerServerAndUser) {
  struct Case {
    const char* label;
    QString before, server, user, ver;
    std::optional<QString> after;
  };
  const Case cases[] = {
      {"empty store", "", "prod", "admin", "S12", QString("#PROD/ADMIN/S12#")},
      {"same again", "#PROD/ADMIN/S12#", "prod", "admin", "S12", std::nullopt},
      {"new spelling", "#PROD/ADMIN/S12#", "prod", "admin", "s12", QString("#PROD/ADMIN/s12#")},
      {"moves behind the others", "#Q/X/Y##P/A/V1##P/B/W1#", "P", "A", "V2", QString("#Q/X/Y##P/B/W1##P/A/V2#")},
      {"no closing mark", "#P/B/W##P/A/V1", "P", "A", "V2", QString("#P/B/W##P/A/V2#")},
      {"ends with the key", "#P/B/W##P/A/", "P", "A", "V", QString("#P/B/W##P/A/V#")},
      {"new key keeps the case", "#p/b/w#", "P", "C", "v", QString("#p/b/w##P/C/v#")},
      {"user A is not user AB", "#P/AB/X#", "P", "A", "V", QString("#P/AB/X##P/A/V#")},
      {"not logged on", "#P/A/V#", "", "", "W", std::nullopt},
      {"no user", "#P/A/V#", "P", "", "W", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(storeLastVersion(c.before, c.server, c.user, c.ver), c.after) << c.label;
}

TEST(LastVersionStore, DropsAnEntryTheBoundCutsWhole) {
  // 11 entries of 19 characters follow the replaced one: the 200-character bound cuts the last.
  const auto stored = storeLastVersion("#P/A/V1#" + entries(11), "P", "A", "V2");
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, entries(10) + "#P/A/V2#");
  EXPECT_EQ(lastVersion(*stored, "P", "U09"), "SCRIPT_0009");
  EXPECT_EQ(lastVersion(*stored, "P", "U10"), "");
  // A tail of exactly 200 characters stays whole; one more character cuts its last entry.
  const QString whole = entries(10) + "#P/Z/1234#";
  ASSERT_EQ(whole.size(), 200);
  EXPECT_EQ(*storeLastVersion("#P/A/V#" + whole, "P", "A", "W"), whole + "#P/A/W#");
  EXPECT_EQ(*storeLastVersion("#P/A/V#" + entries(10) + "#P/Z/12345#", "P", "A", "W"), entries(10) + "#P/A/W#");
}

TEST(LastVersionStore, ReadsTheScriptOfServerAndUser) {
  const std::tuple<QString, QString, QString, QString> cases[] = {
      {"#PROD/ADMIN/S12#", "prod", "admin", "S12"},
      {"#PROD/ADMIN/s12#", "PROD", "ADMIN", "S12"},
      {"#PROD/ADMIN/#", "prod", "admin", ""},
      {"#P/B/W##P/A/V1", "P", "A", "V1"},
      {"#P/B/W##P/A/", "P", "A", ""},
      {"#P/AB/X#", "P", "A", ""},
      {"#Q/A/X#", "P", "A", ""},
      {"#P/A/skript_š#", "p", "a", "SKRIPT_š"},
      {"", "P", "A", ""},
  };
  for (const auto& [text, server, user, expected] : cases)
    EXPECT_EQ(lastVersion(text, server, user), expected) << text.toStdString();
}

class LastVersionWindow : public nuvo::test::HomeDirFixture {};

TEST_F(LastVersionWindow, StoresInTheSettingsFileOnlyWhenItChanges) {
  TfmMain w;
  w.connServer = "prod";
  w.connUser = "admin";
  TfmtableUtil::ShraniLastVer("S12");
  EXPECT_EQ(w.currLastVer, "#PROD/ADMIN/S12#");
  EXPECT_EQ(nuvo::IniFile(nuvo::monitorIniPath()).readString("PL/SQL", "VER_LAST"), "#PROD/ADMIN/S12#");
  EXPECT_EQ(TfmtableUtil::GetLastVer(), "S12");

  ASSERT_TRUE(QFile::remove(nuvo::monitorIniPath()));
  TfmtableUtil::ShraniLastVer("S12");
  EXPECT_FALSE(QFile::exists(nuvo::monitorIniPath()));

  w.connServer.clear();
  w.connUser.clear();
  TfmtableUtil::ShraniLastVer("S13");
  EXPECT_EQ(w.currLastVer, "#PROD/ADMIN/S12#");
  EXPECT_FALSE(QFile::exists(nuvo::monitorIniPath()));
  EXPECT_EQ(TfmtableUtil::GetLastVer(), "");
}

}  // namespace
