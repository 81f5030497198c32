// The structure compare against GNU diff on the same two snapshot files, in one run: two snapshots
// of 10,000 tables with one difference in each hundred (a changed column, a dropped column or a
// dropped constraint, in turn). The compare reads both files, compares them and writes the
// difference report; diff reads both and writes its output to a file. Best of three runs on each
// side (the machine may be busy). Target: ratio <= 2.0.
// Usage: compare_bench [tables]

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "schema/compare_logic.h"

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

constexpr int kRuns = 3;

// A snapshot of `tables` tables; `changed` makes one difference in each hundredth table.
QString snapshot(int tables, bool changed) {
  QString text;
  text.reserve(tables * 400);
  for (int t = 0; t < tables; ++t) {
    const QString name = QStringLiteral("TABLE_%1").arg(t, 5, 10, QLatin1Char('0'));
    const int kind = changed && t % 100 == 50 ? (t / 100) % 3 + 1 : 0;
    text += QStringLiteral("###TABLE#") + name + QStringLiteral("#\r\n");
    text += QStringLiteral("ID NUMBER(10) NOT NULL\r\n");
    text += kind == 2 ? QString() : QStringLiteral("CLIENT_ID NUMBER(10)\r\n");
    text += kind == 1 ? QStringLiteral("NAME VARCHAR2(60) NOT NULL\r\n") : QStringLiteral("NAME VARCHAR2(30) NOT NULL\r\n");
    for (int c = 0; c < 5; ++c) text += QStringLiteral("COL_%1 VARCHAR2(%2)\r\n").arg(c).arg(10 + c);
    text += QStringLiteral("#CON\r\n");
    text += QStringLiteral("PK_") + name + QStringLiteral(" PRIMARY KEY (ID)\r\n");
    if (kind != 3) text += name + QStringLiteral("_FK FOREIGN KEY (CLIENT_ID) REFERENCES PK_CLIENTS\r\n");
    text += QStringLiteral("SYS_C%1 CHECK (\"NAME\" IS NOT NULL)\r\n").arg(t + (changed ? 7 : 0));
    text += QStringLiteral("#IND\r\n");
    text += QStringLiteral("PK_") + name + QStringLiteral(" (ID) UNIQUE\r\n");
    text += name + QStringLiteral("_I (CLIENT_ID,NAME)\r\n");
  }
  text += QStringLiteral("###END##\r\n");
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int tables = argc > 1 ? std::max(100, std::atoi(argv[1])) : 10000;
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  const QString reference = dir.filePath(QStringLiteral("ref.sfg"));
  const QString current = dir.filePath(QStringLiteral("cur.sfg"));
  nuvo::schema::writeLinesFile(reference, nuvo::schema::textLines(snapshot(tables, false)));
  nuvo::schema::writeLinesFile(current, nuvo::schema::textLines(snapshot(tables, true)));

  double compareTime = 1e9;
  size_t found = 0;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const QString referenceText = nuvo::schema::readSnapshotFile(reference);
    const QString currentText = nuvo::schema::readSnapshotFile(current);
    const auto result = nuvo::schema::compareSnapshots(referenceText, currentText, {"DOES NOT EXISTS", "NOT EQUAL"},
                                                       tables);
    nuvo::schema::writeLinesFile(dir.filePath(QStringLiteral("report.dfr")),
                                 nuvo::schema::differenceReportLines({}, result.differences));
    compareTime = std::min(compareTime, seconds(start));
    found = result.differences.size();
  }

  double diffTime = 1e9;
  const std::string command = "diff '" + reference.toStdString() + "' '" + current.toStdString() + "' > '" +
                              dir.filePath(QStringLiteral("diff.txt")).toStdString() + "'";
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    diffTime = std::min(diffTime, seconds(start));
    if (status == -1) {
      std::fprintf(stderr, "diff cannot be run\n");
      return 1;
    }
  }

  std::printf("%d tables, %zu differences (expected %d)\n", tables, found, tables / 100);
  std::printf("compare  %.3f s\ndiff     %.3f s\nratio    %.2f (target <= 2.0)\n", compareTime, diffTime,
              compareTime / diffTime);
  return 0;
}
