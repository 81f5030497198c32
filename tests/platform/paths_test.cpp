#include "platform/paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "files.h"
#include "platform/appdirs.h"
#include "platform/ini_file.h"

namespace nuvo {
namespace {

using test::newTempDir;
using test::writeBytes;

TEST(PathsTest, LastSeparatorPositionCountsFromOne) {
  const std::pair<const char*, int> cases[] = {
      {"C:\\A\\B.SQL", 5}, {"/home/a/b.sql", 8}, {"a/b\\c", 4},
      {"a\\b/c", 4},       {"B.SQL", -1},        {"", -1},
      {"\\", 1},           {"C:", -1},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(desnaPozicija(path), expected) << path;
}

TEST(PathsTest, FileDirNameSplitsAtTheLastSeparator) {
  struct Case {
    QString path;
    QString fileName;
    QString directory;
  };
  const QString longName(150, 'n');
  const Case cases[] = {
      {"C:\\A\\B.SQL", "B.SQL", "C:\\A\\"},
      {"B.SQL", "B.SQL", ""},
      {"/srv/scripts/b.sql", "b.sql", "/srv/scripts/"},
      {"C:\\mixed/dir\\x.txt", "x.txt", "C:\\mixed/dir\\"},
      {"dir/", "", "dir/"},
      {"", "", ""},
      {"d\\" + longName, longName.left(100), "d\\"},
      {longName, longName, ""},  // without a separator the path is the name, whole
  };
  for (const Case& c : cases) {
    QString fileName = "stale";
    QString directory = "stale";
    FileDirName(c.path, fileName, directory);
    EXPECT_EQ(fileName, c.fileName) << c.path.toStdString();
    EXPECT_EQ(directory, c.directory) << c.path.toStdString();
  }
}

TEST(PathsTest, JoinPutsOneSeparatorBetween) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"C:\\A", "B.SQL", "C:\\A/B.SQL"},
      {"C:\\A\\", "B.SQL", "C:\\A\\B.SQL"},
      {"/a/", "b", "/a/b"},
      {"/a", "\\b", "/a/b"},
      {"/a/", "/b", "/a/b"},
      {"", "b", "b"},
      {"", "/abs", "/abs"},
      {"a", "", "a/"},
  };
  for (const auto& [directory, name, expected] : cases)
    EXPECT_EQ(joinPath(directory, name), expected) << directory << " + " << name;
}

class ResolvePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = newTempDir("resolve");
    QDir(root_).mkpath("Scripts/Ver 7");
    writeBytes(root_ + "/Scripts/Upgrade.SQL", "x");
    writeBytes(root_ + "/Scripts/Ver 7/Čšž.sql", "x");
    writeBytes(root_ + "/Scripts/Ver 7/exact.sql", "x");
    writeBytes(root_ + "/Scripts/Ver 7/EXACT.SQL", "x");
    settings_ = root_ + "/settings.ini";
  }
  QString root_;
  QString settings_;
};

TEST_F(ResolvePathTest, MatchesEachComponentIgnoringCase) {
  const IniFile ini(settings_);
  const std::pair<QString, QString> cases[] = {
      {root_ + "/Scripts/Upgrade.SQL", root_ + "/Scripts/Upgrade.SQL"},
      {root_ + "\\SCRIPTS\\upgrade.sql", root_ + "/Scripts/Upgrade.SQL"},
      {root_ + "/scripts/VER 7/čŠŽ.SQL", root_ + "/Scripts/Ver 7/Čšž.sql"},
      {root_ + "/scripts/ver 7/EXACT.SQL", root_ + "/Scripts/Ver 7/EXACT.SQL"},  // exact name wins
      {root_ + "/scripts/ver 7/exact.sql", root_ + "/Scripts/Ver 7/exact.sql"},
      {root_ + "/SCRIPTS/New.sql", root_ + "/Scripts/New.sql"},  // a file yet to be created
      {root_ + "/NoDir/SCRIPTS/x", root_ + "/NoDir/SCRIPTS/x"},  // nothing after a missing part
      {root_ + "//scripts//", root_ + "/Scripts/"},
  };
  for (const auto& [path, expected] : cases)
    EXPECT_EQ(resolvePath(path, ini), expected) << path.toStdString();
}

TEST_F(ResolvePathTest, RelativePathsStayRelative) {
  const QString saved = QDir::currentPath();
  QDir::setCurrent(root_);
  const IniFile ini(settings_);
  EXPECT_EQ(resolvePath("scripts\\UPGRADE.sql", ini), "Scripts/Upgrade.SQL");
  EXPECT_EQ(resolvePath("./SCRIPTS/upgrade.SQL", ini), "./Scripts/Upgrade.SQL");
  EXPECT_EQ(resolvePath("missing.txt", ini), "missing.txt");
  QDir::setCurrent(saved);
}

TEST_F(ResolvePathTest, DriveLettersMapThroughTheDrivesSection) {
  writeBytes(settings_,
             "[DRIVES]\r\nX = " + root_.toUtf8() + "\\Scripts\r\nW=" + root_.toUtf8() + "/\r\n");
  const IniFile ini(settings_);
  const QString drives = dataDirectory() + "/drives";
  const std::pair<QString, QString> cases[] = {
      {"X:\\UPGRADE.SQL", root_ + "/Scripts/Upgrade.SQL"},
      {"x:/ver 7/čšž.SQL", root_ + "/Scripts/Ver 7/Čšž.sql"},  // key names ignore case
      {"W:scripts\\upgrade.sql", root_ + "/Scripts/Upgrade.SQL"},
      {"X:", root_ + "/Scripts"},
      {"Q:\\TEMP\\A.TXT", drives + "/q/TEMP/A.TXT"},  // no entry: the default place
      {"q:", drives + "/q"},
  };
  for (const auto& [path, expected] : cases)
    EXPECT_EQ(resolvePath(path, ini), expected) << path.toStdString();
}

TEST_F(ResolvePathTest, UsesTheDrivesOfMonitorIni) {
  IniFile monitor(monitorIniPath());
  monitor.writeString("DRIVES", "K", root_);
  EXPECT_EQ(resolvePath("K:\\scripts\\upgrade.sql"), root_ + "/Scripts/Upgrade.SQL");
  monitor.eraseSection("DRIVES");
  EXPECT_EQ(resolvePath("K:\\A"), dataDirectory() + "/drives/k/A");
}

}  // namespace
}  // namespace nuvo
