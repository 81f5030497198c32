// Copies a table of 100,000 rows from one database into an empty twin in another, across a
// database link, twice in one run: once as INSERT ... SELECT through nuvo_db, once by the refresh
// window (its generated block on the worker thread, progress read through the pipe). Both runs end
// with a COMMIT of the rows, each into a table of its own. Prints both times and their ratio.
// Target: the refresh at most 2.0 times nuvo_db's time.

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <optional>

#include "db/query.h"
#include "schema/refresh.h"
#include "shell/Main.h"

namespace {

constexpr int kRows = 100000;

double since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool nuvoDb(const QStringList& arguments, const QByteArray& input = {}) {
  QProcess process;
  process.setProgram(QStringLiteral(NUVO_DB_PATH));
  process.setArguments(arguments);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start();
  if (!process.waitForStarted(-1)) return false;
  process.write(input);
  process.closeWriteChannel();
  return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

qint64 count(nuvo::db::Session& session) {
  nuvo::db::Query q(&session);
  q.setSql(QStringLiteral("select count(*) from kade.bench_r"));
  q.execute();
  return q.field(0).asInteger();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir dir;
  qputenv("NUVO_SQL_DATA", dir.filePath(QStringLiteral("data")).toUtf8());
  qputenv("NUVO_SQL_HOME", dir.filePath(QStringLiteral("home")).toUtf8());
  QDir().mkpath(dir.filePath(QStringLiteral("data")));
  QDir().mkpath(dir.filePath(QStringLiteral("home")));
  QApplication app(argc, argv);

  auto table = [](const QByteArray& name) {
    return "create table kade." + name + " (id number primary key, name varchar2(40), amount number, changed date);\n";
  };
  const bool made =
      nuvoDb({"create", "BENCH_SRC"}) && nuvoDb({"create", "BENCH_DST"}) &&
      nuvoDb({"sql", "BENCH_SRC", "KADE/KADE"},
             table("bench_r") + "insert into kade.bench_r select level, 'row ' || level, level * 1.5, sysdate from dual "
                     "connect by level <= " + QByteArray::number(kRows) + ";\ncommit;\n") &&
      nuvoDb({"sql", "BENCH_DST", "SYS/SYS", "--sysdba"}, "grant create database link to kade;\n") &&
      nuvoDb({"sql", "BENCH_DST", "KADE/KADE"},
             table("bench_r") + table("bench_c") +
                 "create database link srcl connect to kade identified by KADE using 'BENCH_SRC';\n");
  if (!made) {
    std::printf("the databases cannot be made\n");
    return 1;
  }

  auto start = std::chrono::steady_clock::now();
  const bool copied = nuvoDb({"sql", "BENCH_DST", "KADE/KADE"},
                             "insert into kade.bench_c select * from kade.bench_r@srcl;\ncommit;\n");
  const double plain = since(start);

  TfmMain main;
  main.osOracle.logOn(QStringLiteral("KADE"), QStringLiteral("KADE"), QStringLiteral("BENCH_DST"));
  main.connUser = QStringLiteral("KADE");
  main.connPassword = QStringLiteral("KADE");
  main.connServer = QStringLiteral("BENCH_DST");
  auto* window = new TfmRefresh;
  nuvo::schema::RefreshDefinition d = window->definition();
  d.sourceUser = d.destUser = QStringLiteral("KADE");
  d.sourceTable = d.destTable = QStringLiteral("BENCH_R");
  d.link = QStringLiteral("SRCL");
  nuvo::schema::loadRefreshColumns(main.osOracle, d);
  window->showDefinition(d);

  std::optional<bool> ended;
  QEventLoop wait;
  QObject::connect(window, &TfmRefresh::runFinished, window, [&ended, &wait](bool ok) {
    ended = ok;
    wait.quit();
  });
  start = std::chrono::steady_clock::now();
  window->btRefreshClick();
  if (!ended) wait.exec();
  window->btCommitClick();
  const double refresh = since(start);
  const bool ok = copied && *ended && count(main.osOracle) == kRows;
  delete window;

  std::printf("%d rows across a link%s\n", kRows, ok ? "" : " (a run failed)");
  std::printf("  nuvo_db INSERT ... SELECT: %.3f s\n  refresh window:           %.3f s\n  ratio: %.2f (target at most 2.0)\n",
              plain, refresh, refresh / plain);
  return ok ? 0 : 1;
}
