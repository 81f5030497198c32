#include "platform/IFileInfo.h"

#include <QFileInfo>
#include <QLocale>

#ifndef NUVO_VERSION
#error "NUVO_VERSION must name the build's version"
#endif

namespace nuvo {

namespace {

bool isThisExecutable(const QString& fileName) {
  const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
  const QString named = QFileInfo(fileName).canonicalFilePath();
  return !named.isEmpty() && named == self;
}

}  // namespace

const QString TIFileInfo::kNoFileInfo = QStringLiteral("No file info.");

QString fileVersionOf(const QString& version) {
  QStringList parts = version.split('.');
  while (parts.size() < 4) parts.append(QStringLiteral("0"));
  return parts.join('.');
}

QString buildFileVersion() { return fileVersionOf(QStringLiteral(NUVO_VERSION)); }

TIFileInfo::TIFileInfo(const QString& AFileName) : FsFileName(AFileName) {
  const QFileInfo file(AFileName);
  if (file.exists()) fileDate_ = file.lastModified();
  hasVersionInfo_ = isThisExecutable(AFileName);
  if (!hasVersionInfo_) {
    for (QString* field :
         {&FsCompanyName, &FsFileDescription, &FsFileVersion, &FsInternalName, &FsLegalCopyright,
          &FsLegalTrademarks, &FsOriginalFilename, &FsProductName, &FsProductVersion, &FsComments})
      *field = kNoFileInfo;
    return;
  }
  FsCompanyName = QStringLiteral("DRXVelmora");
  FsFileDescription = QStringLiteral("Nuvo_Sql");
  FsFileVersion = buildFileVersion();
  FsInternalName = file.completeBaseName();
  FsOriginalFilename = file.fileName();
  FsProductName = QStringLiteral("Nuvo_Sql");
  FsProductVersion = FsFileVersion;
}

QString TIFileInfo::versionPart(qsizetype index) const {
  if (!hasVersionInfo_) return kNoFileInfo;
  return FsFileVersion.split('.').value(index);
}

QString TIFileInfo::aiVersion() const {
  const QString major = versionPart(0);
  const QString minor = versionPart(1);
  if (major.isEmpty() || minor.isEmpty()) return {};
  return major + '.' + minor.rightJustified(2, '0');
}

QString TIFileInfo::aiRelease() const { return versionPart(2); }

QString TIFileInfo::aiBuild() const { return versionPart(3); }

QString TIFileInfo::aiFileDateString() const {
  return fileDate_.isValid() ? QLocale().toString(fileDate_.date(), QLocale::ShortFormat)
                             : QString();
}

QString TIFileInfo::aiFileTimeString() const {
  return fileDate_.isValid() ? QLocale().toString(fileDate_.time(), QLocale::ShortFormat)
                             : QString();
}

}  // namespace nuvo
