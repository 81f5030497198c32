#pragma once
// The statistics of the statement table: one line per script with its row counts per status.

#include <QString>
#include <QVector>
#include <array>

namespace nuvo::sqlwork {

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

}  // namespace nuvo::sqlwork
