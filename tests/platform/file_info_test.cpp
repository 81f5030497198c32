#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>

#include "files.h"
#include "platform/IFileInfo.h"

namespace nuvo {
namespace {

using test::newTempDir;
using test::writeBytes;

TEST(FileInfoTest, ThisExecutableCarriesTheBuildVersion) {
  const QString executable = QCoreApplication::applicationFilePath();
  const TIFileInfo info(executable);
  EXPECT_EQ(info.FsFileName, executable);
  EXPECT_EQ(info.aiCompanyName(), "DRXVelmora");
  EXPECT_EQ(info.aiProductName(), "Nuvo_Sql");
  const QStringList parts = info.aiFileVersion().split('.');
  ASSERT_EQ(parts.size(), 4) << info.aiFileVersion().toStdString();
  EXPECT_TRUE(info.aiFileVersion().startsWith(QStringLiteral(NUVO_VERSION) + '.'));
  EXPECT_EQ(info.aiRelease(), parts[2]);
  EXPECT_EQ(info.aiBuild(), parts[3]);
  EXPECT_EQ(info.aiOriginalFilename(), QFileInfo(executable).fileName());
  EXPECT_EQ(info.aiFileDate(), QFileInfo(executable).lastModified());
  EXPECT_FALSE(info.aiFileDateString().isEmpty());
  EXPECT_FALSE(info.aiFileTimeString().isEmpty());
}

TEST(FileInfoTest, BuildVersionHasFourParts) {
  const std::pair<const char*, const char*> cases[] = {
      {"0.1.0", "0.1.0.0"}, {"7.0.3.15", "7.0.3.15"}, {"2", "2.0.0.0"}};
  for (const auto& [version, expected] : cases)
    EXPECT_EQ(fileVersionOf(version), expected) << version;
  EXPECT_EQ(buildFileVersion(), fileVersionOf(NUVO_VERSION));
}

TEST(FileInfoTest, VersionPartsOfTheFileVersion) {
  struct Case {
    const char* fileVersion;
    const char* version;
    const char* release;
    const char* build;
  };
  const Case cases[] = {
      {"7.0.3.15", "7.00", "3", "15"},
      {"7.12.0.1", "7.12", "0", "1"},
      {"10.5.1.0", "10.05", "1", "0"},
      {"8.123.4.5", "8.123", "4", "5"},
      {"7.1", "7.01", "", ""},
      {"7", "", "", ""},
      {"", "", "", ""},
  };
  TIFileInfo info(QCoreApplication::applicationFilePath());
  for (const Case& c : cases) {
    info.FsFileVersion = c.fileVersion;
    EXPECT_EQ(info.aiVersion(), c.version) << c.fileVersion;
    EXPECT_EQ(info.aiRelease(), c.release) << c.fileVersion;
    EXPECT_EQ(info.aiBuild(), c.build) << c.fileVersion;
  }
}

TEST(FileInfoTest, OtherFilesHaveNoVersionInformation) {
  const QString dir = newTempDir("fileinfo");
  const QString other = dir + "/other.exe";
  writeBytes(other, "MZ");
  const QString missing = dir + "/missing.exe";
  for (const QString& name : {other, missing}) {
    const TIFileInfo info(name);
    EXPECT_EQ(info.FsFileName, name);
    for (const QString& field :
         {info.FsCompanyName, info.FsFileDescription, info.FsFileVersion, info.FsInternalName,
          info.FsLegalCopyright, info.FsLegalTrademarks, info.FsOriginalFilename,
          info.FsProductName, info.FsProductVersion, info.FsComments})
      EXPECT_EQ(field, "No file info.") << name.toStdString();
    EXPECT_EQ(info.aiVersion(), "No file info..No file info.");
    EXPECT_EQ(info.aiRelease(), "No file info.");
    EXPECT_EQ(info.aiBuild(), "No file info.");
  }
  EXPECT_EQ(TIFileInfo(other).aiFileDate(), QFileInfo(other).lastModified());
  EXPECT_FALSE(TIFileInfo(missing).aiFileDate().isValid());
  EXPECT_EQ(TIFileInfo(missing).aiFileDateString(), "");
  EXPECT_EQ(TIFileInfo(missing).aiFileTimeString(), "");
}

}  // namespace
}  // namespace nuvo
