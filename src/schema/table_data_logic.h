#pragma once
// What the table-structure window's data page, saved selections and foreign-key scripts decide
// without widgets: the data statement and its filter, the title-click filter helper, the selections
// kept in the settings file, and the scripts that take down and restore the foreign keys that
// reference a table.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace nuvo {
class IniFile;
}
namespace nuvo::db {
class Session;
}

namespace nuvo::schema {

// "select <columns> from OWNER.TABLE XX" in upper case. Without a link the columns carry the alias
// and the row identifier (every column when none is marked) and a line break follows each seventh;
// over a link they are plain names ("*" when none is marked) and the table is read over the link.
QString dataStatement(const QStringList& markedColumns, const QString& owner, const QString& table,
                      const QString& link);
// The filter in upper case outside single-quoted literals, which keep their letters.
QString upperOutsideLiterals(const QString& filter);
// Whether a column of this type is a large object (CLOB, BLOB or LOB), which a link cannot read.
bool isLobType(const QString& dataType);
// The message of a data statement that failed: the statement, the error, and where it stands.
QString dataErrorText(const QString& statement, const QString& error, int line, int position);

// What a click on a column title does with the filter: the filter extended by the column (an
// ORDER BY list or a WHERE condition), or nothing when the column is named there already or the
// filter is empty, in which case the column's value is shown instead.
std::optional<QString> filterWithColumn(const QString& filter, const QString& column);

// A saved selection: a table of an owner with its marked columns and its filter.
struct Selection {
  QString table;
  QString owner;
  QString columns;  // names joined by ","
  QString filter;

  QString rootText() const { return owner.isEmpty() ? table : table + u'.' + owner; }
  bool operator==(const Selection&) const = default;
};
// A root text "TABLE.OWNER" split; without "." all of it is the table. The owner is at most 30
// characters.
Selection splitRoot(const QString& text);
// Whether the column is one of the comma-separated names (whole names, not a part of one).
bool isMarked(const QString& columns, const QString& column);

// The selections of the section SELECTED, and writing them back: the count, then the table, columns
// and filter of each. Keys beyond the count (from a longer earlier list) are not read.
QList<Selection> readSelections(const IniFile& ini);
void writeSelections(IniFile& ini, const QList<Selection>& selections);

// A foreign key that references a table's primary key, as the dictionary keeps it.
struct ReferencingKey {
  QString owner;
  QString table;
  QString name;
  QStringList columns;  // in position order
  QString deleteRule;   // NO ACTION, CASCADE, SET NULL
  QString deferrable;   // DEFERRABLE, NOT DEFERRABLE
  QString deferred;     // IMMEDIATE, DEFERRED
  QString status;       // ENABLED, DISABLED
};
// Rows (owner, table, name, rule, deferrable, deferred, status, column) in key and position order
// gathered into keys.
struct ReferencingKeyRow {
  QString owner, table, name, deleteRule, deferrable, deferred, status, column;
};
QList<ReferencingKey> gatherReferencingKeys(const QList<ReferencingKeyRow>& rows);

struct KeyScripts {
  QStringList takeDown;  // each statement followed by a line "/"
  QStringList restore;
};
// Disabling and enabling, or dropping and re-creating, the keys that reference owner.table (whose
// primary key columns are given). A re-created key keeps its columns, delete rule, deferrability
// and state. Every name is quoted.
KeyScripts keyScripts(const QList<ReferencingKey>& keys, const QString& owner, const QString& table,
                      const QStringList& keyColumns, bool drop);

// The keys that reference the primary key of owner.table, whatever schema they are kept in, and
// that key's columns.
QList<ReferencingKeyRow> readReferencingKeyRows(db::Session& session, const QString& owner, const QString& table);
QStringList readPrimaryKeyColumns(db::Session& session, const QString& owner, const QString& table);

// The restore file of a table: OWNER.TABLE.SQL in the directory.
QString restoreFileName(const QString& directory, const QString& owner, const QString& table);

// Runs every line that does not begin with "/" through `execute`, which returns an error text or an
// empty one on success. The run failed when any line failed; `errors` gathers each failed line with
// its error.
struct ScriptRun {
  bool failed = false;
  QString errors;
};
ScriptRun runScript(const QStringList& lines, const std::function<QString(const QString&)>& execute);

}  // namespace nuvo::schema
