// Runs a script of 10,000 simple statements twice against one new database: once through nuvo_db
// (the engine's own script runner) and once stored and run unattended through the script executor
// window, which stores a row per statement and writes and commits a status per statement. Prints
// both times and their ratio, on a non-durable database (the work itself) and on a durable one (every
// commit waits for the disk: nuvo_db commits once, the executor once per statement). Target: on the
// non-durable database the executor at most 3.0 times nuvo_db's time; the durable figure shows what
// the disk adds.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

#include "db/embedded/embedded_driver.h"
#include "db/query.h"
#include "engine/engine.h"
#include "shell/Main.h"
#include "sqlwork/execScr.h"

namespace {

constexpr int kStatements = 10000;

double since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool nuvoDb(const QStringList& arguments) {
  QProcess process;
  process.setProgram(QStringLiteral(NUVO_DB_PATH));
  process.setArguments(arguments);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start();
  return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct Times {
  double nuvoDb = 0;
  double executor = 0;
  bool ok = false;
};

// Creates database `name`, runs the script through nuvo_db, then drops the table and stores and
// runs the script unattended through the executor window.
Times runBoth(TfmMain& main, const QString& name, bool durable, const QString& scriptDir, const QString& scriptFile) {
  Times times;
  if (!nuvoDb({QStringLiteral("create"), name})) return times;
  nuvo::db::EmbeddedDriver::openShared(nuvo::db::EmbeddedDriver::resolve(name))->setDurable(durable);

  auto start = std::chrono::steady_clock::now();
  if (!nuvoDb({QStringLiteral("sql"), name, QStringLiteral("KADE/KADE"), QStringLiteral("-f"), scriptFile})) return times;
  times.nuvoDb = since(start);

  main.osOracle.logOn(QStringLiteral("KADE"), QStringLiteral("KADE"), name);
  main.connUser = QStringLiteral("KADE");
  main.connServer = name;
  nuvo::db::Query drop(&main.osOracle);
  drop.setSql(QStringLiteral("drop table kade.bench_t"));
  drop.execute();

  start = std::chrono::steady_clock::now();
  auto* window = new TfmScript;
  window->edSkripta->setText(QStringLiteral("BENCH_SCRIPT"));
  window->edDir->setText(scriptDir);
  main.currentScript = QStringLiteral("BENCH_SCRIPT");
  window->p_auto = true;
  window->FormActivate();
  times.executor = since(start);
  const bool failed = window->p_napaka || main.pExecuteScriptNapaka;
  delete window;

  nuvo::db::Query count(&main.osOracle);
  count.setSql(QStringLiteral("select count(*) from nuvo_util.nuvo_exs where script_name='BENCH_SCRIPT' and script_stat='X'"));
  count.execute();
  times.ok = !failed && count.field(0).asInteger() == kStatements;
  main.osOracle.logOff();
  return times;
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

  QFile script(dir.filePath(QStringLiteral("BENCH_SCRIPT.sql")));
  if (!script.open(QIODevice::WriteOnly)) return 1;
  script.write("create table kade.bench_t (id number, name varchar2(40))\r\n/\r\n");
  for (int i = 1; i <= kStatements - 1; ++i)
    script.write(QStringLiteral("insert into kade.bench_t values (%1, 'row %1')\r\n/\r\n").arg(i).toUtf8());
  script.close();

  TfmMain main;
  bool ok = true;
  for (const bool durable : {false, true}) {
    const Times t = runBoth(main, durable ? QStringLiteral("BENCH_DURABLE") : QStringLiteral("BENCH_FAST"), durable,
                            dir.path(), script.fileName());
    ok = ok && t.ok;
    std::printf("%s database, %d statements%s\n", durable ? "durable" : "non-durable", kStatements,
                t.ok ? "" : " (a run failed)");
    std::printf("  nuvo_db:  %.3f s\n  executor: %.3f s\n  ratio: %.2f%s\n", t.nuvoDb, t.executor,
                t.executor / t.nuvoDb, durable ? " (one disk wait per statement)" : " (target at most 3.0)");
  }
  return ok ? 0 : 1;
}
