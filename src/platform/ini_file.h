#pragma once

#include <QString>
#include <QStringList>

namespace nuvo {

// A settings file with the semantics of the Windows profile functions:
// - "[name]" starts a section, "key=value" is an entry; blanks around names and values are dropped;
//   lines starting with ";" and lines without "=" are comments for lookups;
// - section and key names compare case-insensitively; of duplicate sections or keys the first wins;
// - values are returned as they stand (no unquoting, no escapes); a missing file, section or key
// gives
//   the default.
// Every call goes to the file: reads see what is on disk now, and each write replaces the file at
// once (temporary file, then rename), so no write is lost and no reader sees half a file. A write
// keeps every other line byte for byte (comments, order, blank lines, unknown sections, spelling,
// line ends), changes a key's value in place, appends a new key at the end of its section (before
// the blank lines that close it) and a new section at the end of the file. The file keeps its
// encoding (UTF-8 with or without BOM, or Windows-1250) and its line ends; a new file is UTF-8 with
// CR LF. Writes that cannot be done throw PlatformError and leave the file as it was.
class IniFile {
 public:
  explicit IniFile(QString fileName);

  const QString& fileName() const { return fileName_; }

  QString readString(const QString& section, const QString& key,
                     const QString& defaultValue = {}) const;
  // A decimal integer (optional sign); anything else gives the default.
  int readInteger(const QString& section, const QString& key, int defaultValue) const;
  bool sectionExists(const QString& section) const;
  bool valueExists(const QString& section, const QString& key) const;
  // The key names of a section in file order (the first spelling of each), empty when missing.
  QStringList readSection(const QString& section) const;
  // The section names in file order (the first spelling of each).
  QStringList readSections() const;

  void writeString(const QString& section, const QString& key, const QString& value);
  void writeInteger(const QString& section, const QString& key, int value);
  // Removes the first entry of the key, or the first section with its entries; nothing when
  // missing.
  void eraseKey(const QString& section, const QString& key);
  void eraseSection(const QString& section);

 private:
  QString fileName_;
};

}  // namespace nuvo
