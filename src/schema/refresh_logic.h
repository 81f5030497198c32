#pragma once
// What the table refresh does without its window: the checks of a refresh, the PL/SQL block that
// brings a destination table in line with a source table, the progress messages the block sends
// through the pipe REFRESH, the refresh files (.RFS) and the dictionary reads.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace nuvo::db {
class Session;
}

namespace nuvo::schema {

// The pipe the block reports on; it belongs to the logged-on user, so one refresh at a time.
inline constexpr const char* kRefreshPipe = "REFRESH";

// A column of the source table; `marked`: compared and updated.
struct RefreshColumn {
  QString name;
  QString type;
  bool marked = false;
};

// Everything one refresh is made of.
struct RefreshDefinition {
  QString sourceUser, sourceTable, link, destUser, destTable;
  QStringList keys;  // "NAME TYPE" entries in key order
  std::vector<RefreshColumn> columns;
  bool update = true;
  bool deleteRows = false;
  bool sequence = false;
  QString sequenceField, sequenceName;
  bool procedure = false;
  QString procedureName;
  bool saveErrors = true;
};

// OWNER.TABLE of the source, with "@LINK" when a link is given; OWNER.TABLE of the destination.
QString refreshSource(const RefreshDefinition& d);
QString refreshDest(const RefreshDefinition& d);

// Why a refresh may not run, in the order the window says so.
enum class RefreshRefusal {
  KeyMissing,       // the key list is empty
  SameTables,       // source and destination are one table
  DataMissing,      // a user or table field is empty (or the key is missing)
  NothingToUpdate,  // updating is on but no column is left to set
};
// Empty when the refresh may run. Source and destination are compared upper-cased and trimmed.
// The columns set by an update are those of refreshSetColumns.
std::vector<RefreshRefusal> refreshCheck(const RefreshDefinition& d);

// The audit columns: inserted from the source, never compared, never updated.
bool isAuditColumn(const QString& name);
// The columns an update sets: the marked ones (every one when none is marked), less the audit
// columns and the sequence column, whose value belongs to the row it was drawn for.
QStringList refreshSetColumns(const RefreshDefinition& d);
// The bind name of key entry `k` (1-based) in the block's cursors: sUnique1, ..., sUnique10, ...
QString keyParameterName(int k);

// The block (or stored procedure) of a refresh that passed refreshCheck, lines joined by "\n".
// `pipe`: progress goes to the pipe REFRESH; otherwise errors go to f_error and the summary to the
// server output.
QString refreshBlock(const RefreshDefinition& d, bool pipe);

// The progress labels of a run.
struct RefreshProgress {
  QString read, updated, inserted, deleted;
  bool operator==(const RefreshProgress&) const = default;
};
// A message as readPipe gives it: the end message begins with "/".
bool isEndMessage(const QString& message);
// Applies the items of a message (its text after the first two characters, at most 100 of them)
// to the labels; error items add their lines to `errors`.
void applyPipeMessage(const QString& message, RefreshProgress& progress, QStringList& errors);

// The error memo's lines for a run that ended with `error` on `destTable`.
QStringList blockErrorLines(const QString& destTable, const QString& error);

// A refresh file, read one table at a time. Each line is upper-cased before it is interpreted; a
// "#" line ends a table when a parameter line came since the start or the last end, otherwise it
// is a comment; every other line is KEY=VALUE (a line without "=" has an empty key). The first
// parameter line of a table empties the five name fields; everything else carries over.
class RefreshFileReader {
 public:
  // Fills the columns and key of the definition's source table (TABLES= loads them at once).
  using ColumnLoader = std::function<void(RefreshDefinition&)>;

  explicit RefreshFileReader(QStringList lines) : lines_(std::move(lines)) {}
  // Applies lines until a table is complete (true: refresh `d` now) or the file ends (false).
  // `commit` is the COMMIT key's setting.
  bool nextTable(RefreshDefinition& d, bool& commit, const ColumnLoader& load);
  int lineNumber() const { return next_; }

 private:
  QStringList lines_;
  int next_ = 0;
  bool parameters_ = false;
};

// The lines of a refresh file; throws PlatformError when it cannot be read.
QStringList readRefreshFile(const QString& path);

// The help page's text on the structure of a refresh file.
QString refreshFileHelp();

// Dictionary reads of the window (main session). Throw db::Error; a link that is no link name
// throws std::invalid_argument.
QStringList readRefreshUsers(db::Session& session, const QString& link);
QStringList readRefreshTables(db::Session& session, const QString& owner, const QString& link);
std::vector<RefreshColumn> readRefreshColumns(db::Session& session, const QString& owner, const QString& table);
// "NAME TYPE" of the primary key's columns in key order.
QStringList readRefreshKey(db::Session& session, const QString& owner, const QString& table);
// The logged-on user's links, each name cut before its first ".".
QStringList readRefreshLinks(db::Session& session);
// The owner's sequences whose name is like `pattern`, or all of them for "ALL".
QStringList readRefreshSequences(db::Session& session, const QString& owner, const QString& pattern);
// The next message of the pipe REFRESH, empty when none waits.
QString readRefreshPipe(db::Session& session);
// Fills the columns and key of d's source table from the logged-on database's dictionary: the
// columns unmarked in column order; the key replaced only when the table has columns.
void loadRefreshColumns(db::Session& session, RefreshDefinition& d);

}  // namespace nuvo::schema
