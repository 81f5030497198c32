#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace nuvo {

// The version information of an executable. This program's own executable carries the build's
// version (four parts, a missing fourth part "0"), company "DRXVelmora" and product "Nuvo_Sql";
// any other file has none, so each of its texts is "No file info.". The file time is read for
// every file.
class TIFileInfo {
 public:
  explicit TIFileInfo(const QString& AFileName);

  QString FsFileName;
  QString FsCompanyName;
  QString FsFileDescription;
  QString FsFileVersion;
  QString FsInternalName;
  QString FsLegalCopyright;
  QString FsLegalTrademarks;
  QString FsOriginalFilename;
  QString FsProductName;
  QString FsProductVersion;
  QString FsComments;

  const QString& aiCompanyName() const { return FsCompanyName; }
  const QString& aiFileDescription() const { return FsFileDescription; }
  const QString& aiFileVersion() const { return FsFileVersion; }
  const QString& aiInternalName() const { return FsInternalName; }
  const QString& aiLegalCopyright() const { return FsLegalCopyright; }
  const QString& aiLegalTrademarks() const { return FsLegalTrademarks; }
  const QString& aiOriginalFilename() const { return FsOriginalFilename; }
  const QString& aiProductName() const { return FsProductName; }
  const QString& aiProductVersion() const { return FsProductVersion; }
  const QString& aiComments() const { return FsComments; }

  // The first two parts of the file version, the second padded with zeros to two digits
  // (7.0.3.15 gives "7.00"); empty when either is missing.
  QString aiVersion() const;
  QString aiRelease() const;  // third part
  QString aiBuild() const;    // fourth part

  // The file's modification time (invalid when the file does not exist) and the same as short
  // local date and time texts.
  const QDateTime& aiFileDate() const { return fileDate_; }
  QString aiFileDateString() const;
  QString aiFileTimeString() const;

  static const QString kNoFileInfo;

 private:
  QString versionPart(qsizetype index) const;

  bool hasVersionInfo_ = false;
  QDateTime fileDate_;
};

// A version as four dot-separated parts, missing parts "0" ("0.1.0" gives "0.1.0.0").
QString fileVersionOf(const QString& version);

// The build's version (the project version) as a file version.
QString buildFileVersion();

}  // namespace nuvo
