#include <gtest/gtest.h>

#include "shell/connect.h"
#include "shell_test_support.h"

namespace {

TEST(OracleVersionText, TakesTheDigitsBeforeTheFirstPoint) {
  struct Case {
    const char* text;
    const char* major;
    const char* dod;
  };
  const Case cases[] = {{"8.1", "8", "1"},         {"19.3", "19", "."},    {"10.2.0.4", "10", "."},
                        {"9.2.0", "9", "2"},       {"19.0.0", "19", "."},  {"8", "8", ""},
                        {"x.y", "x", "y"},         {"", "", ""}};
  for (const auto& c : cases) {
    const OracleVersion v = versionFromText(c.text);
    EXPECT_EQ(v.major, c.major) << c.text;
    EXPECT_EQ(v.dod, c.dod) << c.text;
    EXPECT_EQ(v.all, c.text) << c.text;
  }
}

TEST(OracleVersionBanner, ReadsTheReleaseNumber) {
  struct Case {
    const char* banner;
    bool found;
    const char* major;
    const char* dod;
    const char* all;
  };
  const Case cases[] = {
      {"Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production", true, "19", ".", "19.0.0.0.0"},
      {"Oracle8i Enterprise Edition Release 8.1.7.0.0 - Production", true, "8", "1", "8.1.7.0.0"},
      {"Oracle Database 11g Release   11.2.0.4.0 - 64bit", true, "11", ".", "11.2.0.4.0"},
      {"oracle database release 9.2.0.1.0", true, "9", "2", "9.2.0.1.0"},
      // Without a point in the first three characters the major version is one character.
      {"Oracle Release 1234", true, "1", "3", "1234"},
      {"Oracle Database 23ai Free", false, "8", "0", "8.xxx"},
  };
  for (const auto& c : cases) {
    OracleVersion v = defaultOracleVersion();
    EXPECT_EQ(versionFromBanner(c.banner, v), c.found) << c.banner;
    EXPECT_EQ(v.major, c.major) << c.banner;
    EXPECT_EQ(v.dod, c.dod) << c.banner;
    EXPECT_EQ(v.all, c.all) << c.banner;
  }
}

TEST(AuditHostMode, FromTheTableCounts) {
  struct Case {
    int remote;
    int local;
    const char* mode;
  };
  const Case cases[] = {{6, 0, "Z"}, {6, 9, "Z"}, {5, 6, "L"}, {5, 5, "N"}, {0, 6, "L"}, {0, 0, "N"}};
  for (const auto& c : cases)
    EXPECT_EQ(auditModeFromCounts(c.remote, c.local), c.mode) << c.remote << "/" << c.local;
}

TEST(PrivilegedSchemas, AreMatchedWholeInAnyCase) {
  for (const char* user : {"SYS", "sys", "System", "KADE", "zozuro", "NUVO_UTIL", "NUVO_SERVIS", "NUVO_AUDIT", "BLOB"})
    EXPECT_TRUE(isPrivilegedSchema(user)) << user;
  for (const char* user : {"ANA", "SYSX", "KAD", "NUVO", "", "KADE "}) EXPECT_FALSE(isPrivilegedSchema(user)) << user;
}

TEST(DefaultOwner, AfterLogon) {
  struct Case {
    const char* owner;
    const char* typed;
    const char* result;
  };
  const Case cases[] = {{"", "ana", "ana"},         {"KADE", "ZOZURO", "ZOZURO"}, {"KADE", "zozuro", "KADE"},
                        {"ZOZURO", "NUVO_UTIL", "NUVO_UTIL"}, {"ZOZURO", "ANA", "ZOZURO"},
                        // The test is a substring test of "KADE,ZOZURO,NUVO_UTIL,".
                        {"ZOZURO", "ADE", "ADE"}};
  for (const auto& c : cases) EXPECT_EQ(ownerAfterLogon(c.owner, c.typed), c.result) << c.owner << " " << c.typed;
}

class ConnectAlias : public nuvo::test::HomeDirFixture {};

TEST_F(ConnectAlias, ComesFromTnsnamesBesideTheDirectoryText) {
  const QString dir = QString::fromStdString(home()) + u'/';
  EXPECT_EQ(connectAlias(dir, "DEMO"), "DEMO");
  writeHomeFile("TNSNAMES.INI", "[ALIAS]\r\nDEMO=TESTDB\r\n");
  EXPECT_EQ(connectAlias(dir, "DEMO"), "TESTDB");
  EXPECT_EQ(connectAlias(dir, "demo"), "TESTDB");
  EXPECT_EQ(connectAlias(dir, "OTHER"), "OTHER");
  // A directory without its trailing separator names a file "<dir>TNSNAMES.INI" beside it.
  EXPECT_EQ(connectAlias(QString::fromStdString(home()), "DEMO"), "DEMO");
  writeHomeFile("../" + QString::fromStdString(home()).section(u'/', -1) + "TNSNAMES.INI",
                "[ALIAS]\r\nDEMO=GLUED\r\n");
  EXPECT_EQ(connectAlias(QString::fromStdString(home()), "DEMO"), "GLUED");
}

}  // namespace
