#pragma once
// What the version check does without its window: the version tags of stored code, the version
// file's lines, and the comparison of a schema's objects with a version file.

#include <QString>
#include <QStringList>
#include <vector>

namespace nuvo::db {
class Session;
}

namespace nuvo::admin {

// The type list of a new window and of "ALL".
inline constexpr const char* kAllVersionTypes = "PROCEDURE,FUNCTION,PACKAGE,PACKAGE BODY,TRIGGER";
// The version of an object without a tag: six blanks.
QString noVersion();

// An object of the owner as the database gives it. `matched`: a line of the version file named it.
struct VersionRecord {
  QString type;
  QString name;
  QString version;  // six characters, six blanks without a tag
  QString timestamp;
  bool matched = false;
};

// A line of the version file, TYPE#NAME#VERSION#TIMESTAMP#.
struct VersionFileLine {
  QString type;
  QString name;
  QString version;
  QString timestamp;
};

// A row of the result grid: the object, what the file expects and what the database has.
struct VersionRow {
  QString type;
  QString name;
  QString expected;
  QString found;
  bool operator==(const VersionRow&) const = default;
};

// Whether `type` is a whole entry of the comma-separated list ("PACKAGE" is not in "PACKAGE BODY").
bool typeInList(const QString& type, const QString& list);
// The tag of a source line: the six characters from the "V" of the first "'V"; a line without
// "'V" gives its first six characters.
QString versionOfLine(const QString& line);
// The tag of a trigger body: the line rule applied to the 50 characters from NUVO_VERSION; empty
// when the body has no NUVO_VERSION.
QString versionOfTriggerBody(const QString& body);

// The line of a record in the version file (without its line end).
QString versionFileLine(const VersionRecord& record);
// The fields up to each "#", each remainder cut to 100 characters. A line without "#" gives
// empty fields.
VersionFileLine parseVersionFileLine(const QString& line);
// The lines of a version file's text, whatever its line ends.
QStringList splitVersionFile(const QString& text);

// The texts a comparison writes into its rows.
inline constexpr const char* kNotExist = "not EXIST";

// Compares the records with the lines of a version file and marks the records the file names.
// Rows: a differing version (file's, database's); with `compareTimestamp`, an equal version whose
// database timestamp is older than the file's (file's, database's timestamp); an object of the file
// the database lacks, unless its version is blank or V00.00 ("not EXIST"); and an object with a
// version that the file does not name (`notInFile`, database version). Types outside `typeList` are
// ignored on both sides; a line without type or name (a blank line) is skipped.
std::vector<VersionRow> compareVersions(std::vector<VersionRecord>& records, const QStringList& fileLines,
                                        const QString& typeList, bool compareTimestamp, const QString& notInFile);
// The rows of "Show Version": the type only in the first row of each type, no expected version.
std::vector<VersionRow> versionListRows(const std::vector<VersionRecord>& records, const QString& typeList);

// The stored PL/SQL objects of `owner` whose type is in `typeList`, in type and name order, with
// the tags of their source and trigger bodies (a later tag line of an object overrides an earlier
// one). Throws db::Error.
std::vector<VersionRecord> readVersionRecords(db::Session& session, const QString& owner, const QString& typeList);

// The version file's lines, in whatever encoding and line ends it was written; throws
// PlatformError when it cannot be read.
QStringList readVersionFile(const QString& path);
// Replaces the file with the records' lines, CR LF after each, in the file code page; throws
// PlatformError.
void writeVersionFile(const QString& path, const std::vector<VersionRecord>& records);

}  // namespace nuvo::admin
