#include "platform/appdirs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

#include "files.h"

namespace nuvo {
namespace {

using test::newTempDir;

// Points NUVO_SQL_HOME elsewhere for one test.
class HomeOverride {
 public:
  explicit HomeOverride(const QString& home) : saved_(qgetenv("NUVO_SQL_HOME")) {
    qputenv("NUVO_SQL_HOME", home.toLocal8Bit());
  }
  ~HomeOverride() { qputenv("NUVO_SQL_HOME", saved_); }

 private:
  QByteArray saved_;
};

TEST(AppDirsTest, MonitorIniSitsInTheHomeDirectoryWhenWritable) {
  const QString home = newTempDir("home");
  HomeOverride override(home);
  EXPECT_EQ(homeDirectory(), home);
  EXPECT_EQ(monitorIniPath(), home + "/MONITOR.INI");
}

TEST(AppDirsTest, MonitorIniFoundInAnyCase) {
  const QString home = newTempDir("home_case");
  test::writeBytes(home + "/Monitor.ini", "[MONITOR]\n");
  HomeOverride override(home);
  EXPECT_EQ(monitorIniPath(), home + "/Monitor.ini");
}

TEST(AppDirsTest, MonitorIniMovesToTheConfigHomeWhenTheHomeCannotTakeIt) {
  const QString base = newTempDir("nohome");
  test::writeBytes(base + "/a_file", "x");
  const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + "/nuvo_sql";
  for (const QString& home : {base + "/missing", base + "/a_file"}) {
    HomeOverride override(home);
    EXPECT_EQ(monitorIniPath(), config + "/MONITOR.INI") << home.toStdString();
    EXPECT_TRUE(QFileInfo(config).isDir());
  }
}

}  // namespace
}  // namespace nuvo
