#pragma once
// What the structure compare does without its window: the structure snapshot of a schema (lines of
// NUVO_UTIL.PCKSTRUKTURE), snapshot files, the comparison of a reference snapshot with a current
// one, and the difference report.
//
// A snapshot is a list of objects, each a header line "###TYPE#NAME#..." and the body lines up to
// the next line holding "###"; the line beginning "###END##" ends it. A table's body holds its
// columns, then "#CON" and its constraints, then "#IND" and its indexes, one per line with the name
// as first word; names of system-named objects begin "SYS_".

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace nuvo::db {
class Session;
}

namespace nuvo::schema {

// The first this many differences are kept; a compare that finds more stops there.
inline constexpr int kMaxDifferences = 500;

// One object of a snapshot.
struct SnapshotObject {
  QString header;  // the header line from its "###"
  QString type;
  QString name;
  QStringList body;
};

// A difference of one object: its lines joined by CR LF.
struct SnapshotDifference {
  QString type;
  QString name;
  QString text;
  bool operator==(const SnapshotDifference&) const = default;
};

// The texts a comparison writes into its differences.
struct CompareTexts {
  QString notExists;  // an object, column, constraint or index that is missing
  QString notEqual;   // a changed object other than a table or index, before the two lengths
};

struct CompareResult {
  std::vector<SnapshotDifference> differences;
  bool tooMany = false;  // more than the maximum were found; the compare stopped there
};

// The lines of a text, whatever its line ends (CR LF, CR or LF); a final line end adds no line.
QStringList textLines(const QString& text);

// The type and name of a header: the text between "###" and the next "#", and the text between that
// "#" and the following one (at most 100 characters).
QString headerType(const QString& header);
QString headerName(const QString& header);

// The objects of a snapshot's text up to its end line; lines before the first header are ignored.
std::vector<SnapshotObject> parseSnapshot(const QString& text);

// The difference lines of a table whose bodies differ, reference against current. A reference line
// matches a whole current line of the same section (columns, constraints, indexes) once; otherwise
// a current line of that section beginning with the same first word makes "line  -->  current
// line", and none makes "WORD  <notExists>". Lines only in the current table, system-named
// constraints and indexes, and a primary key's trailing UNIQUE do not count. Constraint lines get
// the prefix "CNS:", index lines "IDX:".
QStringList tableDifferences(const QStringList& reference, const QStringList& current, const QString& notExists);

// Compares every object of the reference snapshot with the current one, in the reference's order.
// An object whose header line is not in the current snapshot is missing; equal bodies (leading blank
// lines and blanks aside) give nothing; a table gives its difference lines (none: no difference), an
// index its two bodies, any other object its two lengths. Objects only in the current snapshot are
// not looked for.
CompareResult compareSnapshots(const QString& reference, const QString& current, const CompareTexts& texts,
                               int maxDifferences = kMaxDifferences);

// The grid's text of a difference: its first line, with " ....." when more follow.
QString differenceGridText(const SnapshotDifference& difference);

// The lines of a difference report: the header lines, then per difference "TYPE NAME  " and its
// lines, each after six blanks.
QStringList differenceReportLines(const QStringList& header, const std::vector<SnapshotDifference>& differences);

// The snapshot of `owner`'s objects whose names match the LIKE `pattern`, of one type (empty or
// "ALL": every type), as the server package delivers it. `progress` is called now and then with the
// number of lines fetched so far. Throws db::Error.
QStringList takeSnapshot(db::Session& session, const QString& owner, const QString& pattern, const QString& type,
                         const std::function<void(int)>& progress = {});

// A snapshot or report file: the lines with CR LF after each, in the file code page (UTF-8 when a
// character has no place in it). Replaces the file at once; throws PlatformError.
void writeLinesFile(const QString& path, const QStringList& lines);
// A snapshot file's text, in whatever encoding it was written; throws PlatformError.
QString readSnapshotFile(const QString& path);

}  // namespace nuvo::schema
