// Opens the table-structure window on an owner of 2,000 tables (8 columns each): the time to the
// first painted table list, and to the owner's whole column list (every column of every table
// fetched into the grid), against the dictionary queries alone (the same statements and binds on
// the client layer, rows kept), three rounds each. Prints the best times, their ratio (target: at
// most 1.5) and the heap: the window's own (its widgets, shown before any query: a fixed cost) and
// what the rows add to it, set against the heap the query's rows take.
//
//   QT_QPA_PLATFORM=offscreen build/bin/structure_bench

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <memory>

#include "db/dataset.h"
#include "engine/engine.h"
#include "schema/tabStru.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"

namespace {

constexpr int kTables = 2000;
constexpr int kColumnsPerTable = 8;

void fill(engine::Session& s) {
  s.execute("CREATE USER bench_own IDENTIFIED BY bench_own");
  for (int t = 0; t < kTables; ++t)
    s.execute("CREATE TABLE bench_own.t" + std::to_string(t) +
              " (id NUMBER(10) PRIMARY KEY, name VARCHAR2(40), amount NUMBER(12,2), created DATE, "
              "note VARCHAR2(200) DEFAULT 'x', code CHAR(3), qty NUMBER, flag VARCHAR2(1))");
  s.commit();
}

double heapMb() { return static_cast<double>(mallinfo2().uordblks) / (1024 * 1024); }

double since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The statement and string binds of a dataset, run again on a session of its own.
struct Query {
  QStringList sql;
  QList<std::pair<QString, QString>> binds;
};

Query copyOf(const nuvo::db::Dataset& d, const QStringList& names) {
  Query q{d.sql(), {}};
  for (const QString& name : names) q.binds.append({name, d.getVariable(name).toString()});
  return q;
}

// Opens the query and reads `all` rows or the first packet; the dataset keeps the rows read.
std::unique_ptr<nuvo::db::Dataset> run(nuvo::db::Session& session, const Query& q, bool all) {
  auto d = std::make_unique<nuvo::db::Dataset>(&session);
  d->setReadOnly(true);
  d->setSql(q.sql);
  for (const auto& [name, value] : q.binds) {
    d->declareVariable(name, nuvo::db::DataType::String);
    d->setVariable(name, value);
  }
  d->open();
  if (all) d->fetchAll();
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir dir;
  qputenv("NUVO_SQL_HOME", dir.path().toUtf8());
  qputenv("NUVO_SQL_DATA", dir.path().toUtf8());
  QApplication app(argc, argv);
  const std::string path = dir.filePath("BENCH").toStdString();
  engine::CreateOptions options;
  options.durable = false;
  {
    auto database = engine::Database::create(path, options);
    fill(*database->logOn("SYSTEM", "SYSTEM"));
  }
  const QString database = QString::fromStdString(path);
  nuvo::setMessageAnswerer([](const nuvo::MessageRequest&) { return nuvo::MessageAnswer::Ok; });
  TfmMain main;
  main.osOracle.logOn("SYSTEM", "SYSTEM", database);
  main.connUser = QStringLiteral("SYSTEM");
  main.currOwner = QStringLiteral("BENCH_OWN");

  double paintTime = 1e9, expandTime = 1e9, tablesTime = 1e9, columnsTime = 1e9, windowMb = 0, fixedMb = 0, queryMb = 0;
  Query tables, columns;
  int columnRows = 0;
  for (int round = 0; round < 3; ++round) {
    {
      const double before = heapMb();
      auto* w = new TfmTableStru;
      w->resize(1366, 768);
      w->show();
      app.processEvents();
      fixedMb = heapMb() - before;
      w->cbUser->setCurrentText(QStringLiteral("BENCH_OWN"));
      auto start = std::chrono::steady_clock::now();
      w->btStruClick();
      app.processEvents();
      w->dbgTables->viewport()->grab();
      paintTime = std::min(paintTime, since(start));
      tables = copyOf(w->quTables, {"upor", "tabela"});

      w->cbCol->setChecked(true);
      start = std::chrono::steady_clock::now();
      w->btStruClick();
      nuvo::widgets::DatasetModel* model = w->dbgKolone->datasetModel();
      while (model->canFetchMore()) {
        w->dbgKolone->scrollToBottom();
        app.processEvents();
      }
      w->dbgKolone->viewport()->grab();
      expandTime = std::min(expandTime, since(start));
      columnRows = model->rowCount();
      columns = copyOf(w->quColumns, {"upor", "tabela", "kolona"});
      windowMb = heapMb() - before;
      delete w;
    }
    {
      nuvo::db::Session session;
      session.logOn("SYSTEM", "SYSTEM", database);
      const double before = heapMb();
      auto start = std::chrono::steady_clock::now();
      auto tableRows = run(session, tables, false);
      tablesTime = std::min(tablesTime, since(start));
      start = std::chrono::steady_clock::now();
      auto columnRowsRead = run(session, columns, true);
      columnsTime = std::min(columnsTime, since(start));
      queryMb = heapMb() - before;
      const int rows = columnRowsRead->recordCount();
      if (rows != columnRows) std::printf("the query read %d columns, the window %d\n", rows, columnRows);
    }
  }

  std::printf("tables listed, first paint:  %.3f s (query alone %.3f s), ratio %.2f\n", paintTime, tablesTime,
              paintTime / tablesTime);
  std::printf("owner's %d columns fetched:  %.3f s (query alone %.3f s), ratio %.2f (target at most 1.5)\n",
              columnRows, expandTime, columnsTime, expandTime / columnsTime);
  // The window's widgets take the same heap whatever the owner holds; what grows with the rows is
  // the rest, and that is what the query's rows are set against.
  const double rowsMb = windowMb - fixedMb;
  std::printf("heap: window %.1f MB = %.1f MB its widgets, empty + %.1f MB with the rows; query alone %.1f MB; "
              "rows ratio %.2f (target at most 1.5)\n",
              windowMb, fixedMb, rowsMb, queryMb, rowsMb / queryMb);
  return 0;
}
