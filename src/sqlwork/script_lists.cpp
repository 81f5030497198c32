#include "sqlwork/script_lists.h"

#include <QHash>

namespace nuvo::sqlwork {

namespace {

// The column of a status among the counts: X, N, E, D; -1 for any other.
int statusColumn(QChar status) {
  static const QString order = QStringLiteral("XNED");
  return static_cast<int>(order.indexOf(status));
}

bool kept(const StatLine& line, const StatFilter& filter) {
  if (!filter.notExecuted && !filter.errors && !filter.deleted) return true;
  return (filter.notExecuted && !line.counts[1].isEmpty()) || (filter.errors && !line.counts[2].isEmpty()) ||
         (filter.deleted && !line.counts[3].isEmpty());
}

}  // namespace

QVector<StatLine> statisticsLines(const QVector<StatGroup>& groups, const StatFilter& filter) {
  QVector<StatLine> lines;
  QHash<QString, qsizetype> lineOf;  // script name and owner -> index in lines
  for (const StatGroup& g : groups) {
    const QString key = g.name + QChar(0) + g.owner;
    auto it = lineOf.find(key);
    if (it == lineOf.end()) {
      it = lineOf.insert(key, lines.size());
      lines.push_back({g.name, g.owner, g.date, {}});
    }
    const int column = statusColumn(g.status);
    if (column < 0) continue;
    QString& cell = lines[*it].counts[column];
    cell = QString::number(cell.toLongLong() + g.count);
  }
  QVector<StatLine> result;
  for (const StatLine& line : lines)
    if (kept(line, filter)) result.push_back(line);
  return result;
}

}  // namespace nuvo::sqlwork
