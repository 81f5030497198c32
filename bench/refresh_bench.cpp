// Copies a table of 100,000 rows from one database into an empty twin in another, across a
// database link, both ways in one run: as INSERT ... SELECT through nuvo_db, and by the refresh
// window (its generated block on the worker thread, progress read through the pipe). Each copy ends
// with a COMMIT of the rows into an empty table of its own. The machine's other load makes single times
// spread, so each way runs three times; the best times and their ratio are printed.
// Target: the refresh at most 2.0 times nuvo_db's time.

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

#include "db/query.h"
#include "schema/refresh.h"
#include "shell/Main.h"
#include "widgets/message_facade.h"

namespace {

constexpr int kRows = 100000;
constexpr int kTrials = 3;

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

qint64 count(nuvo::db::Session& session, const QByteArray& table) {
  nuvo::db::Query q(&session);
  q.setSql(QStringLiteral("select count(*) from kade.") + QString::fromLatin1(table));
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
             table("bench_r") + table("bench_c") + "create database link srcl connect to kade identified by KADE using 'BENCH_SRC';\n");
  if (!made) {
    std::printf("the databases cannot be made\n");
    return 1;
  }

  // A refusal or question of the window is printed and answered No rather than waited on.
  nuvo::setMessageAnswerer([](const nuvo::MessageRequest& r) {
    std::fprintf(stderr, "the window says: %s\n", qPrintable(r.text));
    return nuvo::MessageAnswer::No;
  });
  TfmMain main;
  main.osOracle.logOn(QStringLiteral("KADE"), QStringLiteral("KADE"), QStringLiteral("BENCH_DST"));
  main.connUser = QStringLiteral("KADE");
  main.connPassword = QStringLiteral("KADE");
  main.connServer = QStringLiteral("BENCH_DST");

  bool ok = true;
  double plain = 1e9, refresh = 1e9;
  QString plainTimes, refreshTimes;
  for (int k = 1; k <= kTrials; ++k) {
    // Each trial starts from empty tables: BENCH_C for nuvo_db, BENCH_R for the window.
    nuvo::db::Query empty(&main.osOracle);
    for (const char* t : {"bench_c", "bench_r"}) {
      empty.setSql(QStringLiteral("truncate table kade.") + QString::fromLatin1(t));
      empty.execute();
    }
    auto start = std::chrono::steady_clock::now();
    ok = nuvoDb({"sql", "BENCH_DST", "KADE/KADE"}, "insert into kade.bench_c select * from kade.bench_r@srcl;\ncommit;\n") && ok;
    const double p = since(start);

    auto* window = new TfmRefresh;
    nuvo::schema::RefreshDefinition d = window->definition();
    d.sourceUser = d.destUser = QStringLiteral("KADE");
    d.sourceTable = d.destTable = QStringLiteral("BENCH_R");
    d.link = QStringLiteral("SRCL");
    nuvo::schema::loadRefreshColumns(main.osOracle, d);
    window->showDefinition(d);
    std::optional<bool> ended;
    QEventLoop wait;
    QObject::connect(window, &TfmRefresh::runFinished, window, [&ended, &wait](bool done) {
      ended = done;
      wait.quit();
    });
    start = std::chrono::steady_clock::now();
    window->btRefreshClick();
    QTimer::singleShot(600000, &wait, &QEventLoop::quit);  // a run that never ends fails the benchmark
    if (!ended && window->running()) wait.exec();
    window->btCommitClick();
    const double r = since(start);
    ok = ok && ended && *ended && count(main.osOracle, "bench_r") == kRows && count(main.osOracle, "bench_c") == kRows;
    delete window;

    plain = std::min(plain, p);
    refresh = std::min(refresh, r);
    plainTimes += QStringLiteral(" %1").arg(p, 0, 'f', 3);
    refreshTimes += QStringLiteral(" %1").arg(r, 0, 'f', 3);
  }

  std::printf("%d rows across a link, best of %d trials%s\n", kRows, kTrials, ok ? "" : " (a run failed)");
  std::printf("  nuvo_db INSERT ... SELECT: %.3f s  (%s )\n  refresh window:           %.3f s  (%s )\n"
              "  ratio: %.2f (target at most 2.0)\n",
              plain, qPrintable(plainTimes), refresh, qPrintable(refreshTimes), refresh / plain);
  return ok ? 0 : 1;
}
