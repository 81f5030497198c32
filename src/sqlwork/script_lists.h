#pragma once
// The lists over the statement table: the statement list of one script, the search over all
// scripts, the script names, and the statistics with one line per script and its row counts per
// status; and the statements that reset or delete a whole script.

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

#include "sqlwork/script_table.h"

namespace nuvo::db {
class Dataset;
}

namespace nuvo::sqlwork {

// How a list is narrowed: a status code, an error text and a statement text filter; "A" for each
// means no narrowing.
struct ListFilter {
  QString stat = QStringLiteral("A");
  QString napaka = QStringLiteral("A");
  QString filter = QStringLiteral("A");
};

// Sets `list` up (not opened) as the rows of script `name` with their ROWID, in counter order; the
// error filter is compared with the upper-cased error text.
void setScriptList(db::Dataset& list, const QString& name, const ScriptScope& scope, const ListFilter& filter);
// Sets `found` up (not opened) as the rows of the scripts whose names are like `pattern` ("A" for
// every script), in name and counter order; the error filter is compared with the error as stored.
void setSearch(db::Dataset& found, const QString& pattern, const ScriptScope& scope, const ListFilter& filter);

// The names of the stored scripts, the last name first.
QStringList scriptNames(db::Session& session, const ScriptScope& scope);
// The names like `pattern` of the scripts that have rows passing the filter (error filter in upper case).
QStringList filteredScriptNames(db::Session& session, const QString& pattern, const ScriptScope& scope,
                                const ListFilter& filter);

// Sets every row of the script back to N without an error; not committed.
void resetScript(db::Session& session, const QString& name, const ScriptScope& scope);
// Deletes every row of the script; not committed.
void deleteScript(db::Session& session, const QString& name, const ScriptScope& scope);

// One group of the statistics query: a script's rows of one owner, date and status.
struct StatGroup {
  QString name;
  QString owner;
  QString date;
  QChar status;
  qint64 count = 0;
};

// A line of the statistics grid: script, user, date and the counts under OK (X), Not Executed (N),
// Errors (E) and Deleted (D); a status without rows has an empty cell.
struct StatLine {
  QString name;
  QString owner;
  QString date;
  std::array<QString, 4> counts;
};

// Which scripts stay: when any of the three is set, only scripts with rows of a set status.
struct StatFilter {
  bool notExecuted = false;
  bool errors = false;
  bool deleted = false;
};

// Folds the groups into one line per script, in the order scripts first appear; counts of a status
// stored at different times add up. The first group of a script gives its owner and date.
QVector<StatLine> statisticsLines(const QVector<StatGroup>& groups, const StatFilter& filter);

// The statistics groups of the scripts like `pattern` ("A" for every script): per script, owner and
// status the newest storing date and the row count; owner and date are empty without those columns.
QVector<StatGroup> statisticsGroups(db::Session& session, const QString& pattern, const ScriptScope& scope);

}  // namespace nuvo::sqlwork
