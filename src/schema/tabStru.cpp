#include "schema/tabStru.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <stdexcept>

#include "db/error.h"
#include "db/query.h"
#include "platform/appdirs.h"
#include "platform/ini_file.h"
#include "schema/structure_logic.h"
#include "schema/table_data_logic.h"
#include "shell/CThemedDBGrid.h"
#include "shell/IGridUtils.h"
#include "shell/Main.h"
#include "shell/sql_catalog.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"
#include "widgets/window_commands.h"

using nuvo::shell::cell;
using nuvo::shell::gridOver;
using nuvo::shell::named;
using nuvo::widgets::guarded;
using nuvo::widgets::upperCaseEdit;

namespace {

const nuvo::SqlText kUsers{"tabStru.quUsers", {"SELECT USERNAME FROM ALL_USERS ORDER BY USERNAME"}};
const nuvo::SqlText kTables{"tabStru.quTables",
                            {"select owner, table_name, tablespace_name from ALL_TABLES",
                             "where OWNER like :upor and TABLE_NAME like :tabela", "order by owner, table_name"}};
const nuvo::SqlText kColumns{
    "tabStru.quColumns",
    {"select OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE,",
     "decode(DATA_TYPE,'NUMBER',DATA_PRECISION,DATA_LENGTH) DATA_LENGTH,",
     "decode(DATA_TYPE,'NUMBER',DATA_SCALE,DATA_PRECISION) DATA_PRECISION, NULLABLE, COLUMN_ID, DATA_DEFAULT",
     "from ALL_TAB_COLUMNS", "where OWNER like :upor and TABLE_NAME like :tabela and COLUMN_NAME like :kolona",
     "order by owner, table_name, column_id"}};
// Every column, with or without a comment.
const nuvo::SqlText kTabCol{"tabStru.quTabCol",
                            {"SELECT tabCol.*, tabCom.COMMENTS FROM ALL_TAB_COLUMNS tabCol",
                             "LEFT JOIN ALL_COL_COMMENTS tabCom ON tabCom.OWNER = tabCol.OWNER",
                             "AND tabCom.TABLE_NAME = tabCol.TABLE_NAME AND tabCom.COLUMN_NAME = tabCol.COLUMN_NAME",
                             "WHERE tabCol.OWNER = :upor AND tabCol.TABLE_NAME = :tabela",
                             "ORDER BY tabCol.COLUMN_ID"}};
// Triggers of the table whatever their own owner; OWNER is the trigger's, which alter trigger names.
const nuvo::SqlText kTrigg{"tabStru.quTrigg",
                           {"select trigger_name, status, trigger_type, triggering_event, referencing_names,",
                            "when_clause, description, trigger_body, owner from ALL_TRIGGERS",
                            "where table_owner = :upor and table_name = :tabela order by trigger_name"}};
const nuvo::SqlText kViews{"tabStru.quViews",
                           {"select * from ALL_VIEWS where owner like :upor and",
                            "(:tabela = '*' or kade.pckNuvoMemo.instrAllViews(:upor, ALL_VIEWS.view_name, :tabela) > 0)",
                            "order by owner, view_name"}};
const nuvo::SqlText kMViews{"tabStru.quMViews",
                            {"select * from ALL_MVIEWS where owner like :upor and",
                             "(:tabela = '*' or kade.pckNuvoMemo.instrAllViews(:upor, ALL_MVIEWS.mview_name, :tabela) > 0)",
                             "order by owner, mview_name"}};
const nuvo::SqlText kDBLinks{"tabStru.quDBLinks", {"select db_link, username from ALL_DB_LINKS order by db_link"}};

TfmMain& context() { return *fmMain(); }


QTableWidget* stringGrid(QWidget* parent, const char* name, int columns) {
  auto* grid = named(new QTableWidget(0, columns, parent), name);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  return grid;
}

void fillGrid(QTableWidget* grid, const QList<QStringList>& rows) {
  grid->setRowCount(0);
  grid->setRowCount(rows.size());
  for (int r = 0; r < rows.size(); ++r)
    for (int c = 0; c < rows[r].size() && c < grid->columnCount(); ++c)
      grid->setItem(r, c, new QTableWidgetItem(rows[r][c]));
  grid->resizeColumnsToContents();
}

// The statement of the text, over the link when one is given.
QString statement(const nuvo::SqlText& text, const QString& link) {
  try {
    return nuvo::schema::overLink(text.lines().join(u'\n'), link);
  } catch (const std::invalid_argument&) {
    throw nuvo::db::Error::client(QStringLiteral("Not a database link name: ") + link);
  }
}

}  // namespace

TfmTableStru::TfmTableStru(QWidget* parent)
    : QDialog(parent),
      quUsers(&context().osOracle),
      quTables(&context().osOracle),
      quColumns(&context().osOracle),
      quDBLinks(&context().osOracle),
      quTrigg(&context().osOracle),
      quViews(&context().osOracle),
      quMViews(&context().osOracle),
      quData(&context().osOracle) {
  setObjectName(QStringLiteral("fmTableStru"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  for (nuvo::db::Dataset* d : {&quUsers, &quTables, &quColumns, &quDBLinks, &quTrigg, &quViews, &quMViews})
    d->setReadOnly(true);
  quViews.setSql(kViews);
  quMViews.setSql(kMViews);
  for (nuvo::db::Dataset* d : {&quTrigg, &quViews, &quMViews}) {
    d->declareVariable("upor", nuvo::db::DataType::String);
    d->declareVariable("tabela", nuvo::db::DataType::String);
  }
  quUsers.setSql(kUsers);
  quDBLinks.setSql(kDBLinks);
  for (nuvo::db::Dataset* d : {&quTables, &quColumns}) {
    d->declareVariable("upor", nuvo::db::DataType::String);
    d->declareVariable("tabela", nuvo::db::DataType::String);
  }
  quColumns.declareVariable("kolona", nuvo::db::DataType::String);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  laOwner = named(new QLabel(this), "laOwner");
  cbUser = named(new QComboBox(this), "cbUser");
  cbUser->setEditable(true);
  cbUser->setMinimumWidth(150);
  upperCaseEdit(cbUser->lineEdit());
  laTable = named(new QLabel(this), "laTable");
  edTabela = named(new QLineEdit(this), "edTabela");
  edTabela->setMinimumWidth(150);
  upperCaseEdit(edTabela);
  cbCol = named(new QCheckBox(this), "cbCol");
  laCol = named(new QLabel(this), "laCol");
  edKolona = named(new QLineEdit(this), "edKolona");
  edKolona->setMinimumWidth(100);
  upperCaseEdit(edKolona);
  laLink = named(new QLabel(QStringLiteral("@"), this), "laLink");
  cbDBLink = named(new QComboBox(this), "cbDBLink");
  cbDBLink->setEditable(true);
  cbDBLink->setMinimumWidth(120);
  upperCaseEdit(cbDBLink->lineEdit());
  btStru = named(new QPushButton(QStringLiteral("..."), this), "btStru");
  btStru->setDefault(true);
  btRefresh = named(new QPushButton(this), "btRefresh");
  btExit = named(new QPushButton(this), "btExit");
  for (QPushButton* b : {btRefresh, btExit}) b->setAutoDefault(false);
  for (QWidget* w : std::initializer_list<QWidget*>{laOwner, cbUser, laTable, edTabela, cbCol, laCol, edKolona, laLink,
                                                    cbDBLink, btStru})
    top->addWidget(w);
  top->addStretch(1);
  top->addWidget(btRefresh);
  top->addWidget(btExit);
  layout->addLayout(top);
  laCurrTable = named(new QLabel(this), "laCurrTable");
  laCurrTable->setStyleSheet(QStringLiteral("color: blue; font-weight: bold"));
  layout->addWidget(laCurrTable);

  pcTable = named(new QTabWidget(this), "pcTable");
  tabTables = named(new QWidget, "tabTables");
  auto* tablesLayout = new QVBoxLayout(tabTables);
  dbgTables = gridOver(&quTables, tabTables, "dbgTables", {});
  dbgKolone = gridOver(&quColumns, tabTables, "dbgKolone", {"OWNER", "DATA_DEFAULT", "COLUMN_ID"});
  dbmCol = named(new QPlainTextEdit(tabTables), "dbmCol");
  dbmCol->setReadOnly(true);
  dbmCol->setMaximumHeight(80);
  tablesLayout->addWidget(dbgTables);
  tablesLayout->addWidget(dbgKolone);
  tablesLayout->addWidget(dbmCol);
  pcTable->addTab(tabTables, QString());
  buildDataPage();

  TabColumns = named(new QWidget, "TabColumns");
  auto* columnsLayout = new QVBoxLayout(TabColumns);
  auto* orderRow = new QHBoxLayout;
  laOrder = named(new QLabel(TabColumns), "laOrder");
  cbColOrder = named(new QComboBox(TabColumns), "cbColOrder");
  for (const auto& order : nuvo::schema::columnOrders()) cbColOrder->addItem(QString::fromLatin1(order.title));
  cbColOrder->setCurrentIndex(1);
  orderRow->addWidget(laOrder);
  orderRow->addWidget(cbColOrder);
  orderRow->addStretch(1);
  columnsLayout->addLayout(orderRow);
  sgColumns = stringGrid(TabColumns, "sgColumns", 9);
  columnsLayout->addWidget(sgColumns);
  pcTable->addTab(TabColumns, QString());

  const auto popup = [this](QWidget* grid, const char* name) {
    auto* action = new QAction(this);
    action->setObjectName(QString::fromLatin1(name));
    grid->addAction(action);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    return action;
  };
  tabIndexs = named(new QWidget, "tabIndexs");
  auto* indexLayout = new QVBoxLayout(tabIndexs);
  sgIndex = stringGrid(tabIndexs, "sgIndex", 2);
  indexLayout->addWidget(sgIndex);
  pmDrop = popup(sgIndex, "pmDrop");
  pcTable->addTab(tabIndexs, QString());

  tabConstr = named(new QWidget, "tabConstr");
  auto* constrLayout = new QVBoxLayout(tabConstr);
  sgConstraint = stringGrid(tabConstr, "sgConstraint", 4);
  constrLayout->addWidget(sgConstraint);
  pmDelete = popup(sgConstraint, "pmDelete");
  pmEnDis = popup(sgConstraint, "pmEnDis");
  pcTable->addTab(tabConstr, QString());

  tabTrigg = named(new QWidget, "tabTrigg");
  auto* triggLayout = new QVBoxLayout(tabTrigg);
  auto* triggSplit = new QSplitter(Qt::Vertical, tabTrigg);
  dbgTrigger = gridOver(&quTrigg, triggSplit, "dbgTrigger", {"TRIGGER_BODY", "OWNER"});
  DBMemo1 = named(new QPlainTextEdit(triggSplit), "DBMemo1");
  DBMemo1->setReadOnly(true);
  triggLayout->addWidget(triggSplit);
  mmDisableTrigger = popup(dbgTrigger, "mmDisableTrigger");
  mmEnableTrigger = popup(dbgTrigger, "mmEnableTrigger");
  pcTable->addTab(tabTrigg, QString());

  tabRef = named(new QWidget, "tabRef");
  auto* refLayout = new QVBoxLayout(tabRef);
  tvRef = named(new QTreeWidget(tabRef), "tvRef");
  tvRef->setHeaderHidden(true);
  refLayout->addWidget(tvRef);
  pcTable->addTab(tabRef, QString());

  tabDep = named(new QWidget, "tabDep");
  auto* depLayout = new QVBoxLayout(tabDep);
  tvDep = named(new QTreeWidget(tabDep), "tvDep");
  tvDep->setHeaderHidden(true);
  depLayout->addWidget(tvDep);
  pcTable->addTab(tabDep, QString());
  buildScriptPage();
  pcTable->addTab(tabEnDis, QString());

  tabView = named(new QWidget, "tabView");
  auto* viewLayout = new QVBoxLayout(tabView);
  cbMaterlaizedView = named(new QCheckBox(tabView), "cbMaterlaizedView");
  viewLayout->addWidget(cbMaterlaizedView);
  auto* viewSplit = new QSplitter(Qt::Vertical, tabView);
  dbgViews = gridOver(&quViews, viewSplit, "dbgViews", {"TEXT"});
  DBMemo2 = named(new QPlainTextEdit(viewSplit), "DBMemo2");
  DBMemo2->setReadOnly(true);
  viewLayout->addWidget(viewSplit);
  pcTable->addTab(tabView, QString());

  spUpdate = named(new QToolButton(this), "spUpdate");
  // The desktop's fonts may lack a symbol glyph: the style's icon instead.
  spUpdate->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  spUpdate->setCheckable(true);
  top->insertWidget(top->count() - 2, spUpdate);
  buildSelectionPanel();
  top->insertWidget(top->count() - 2, SpeedButton1);
  auto* body = new QHBoxLayout;
  body->addWidget(paSelected);
  body->addWidget(pcTable, 1);
  layout->addLayout(body, 1);
  resize(1100, 640);

  connect(btStru, &QPushButton::clicked, this, guarded(this, &TfmTableStru::btStruClick));
  connect(btRefresh, &QPushButton::clicked, this, guarded(this, &TfmTableStru::btRefreshClick));
  connect(btExit, &QPushButton::clicked, this, &QWidget::close);
  connect(cbCol, &QCheckBox::toggled, this, &TfmTableStru::cbColClick);
  connect(pcTable, &QTabWidget::currentChanged, this, guarded(this, &TfmTableStru::pcTableChange));
  connect(cbDBLink, &QComboBox::currentTextChanged, this, &TfmTableStru::cbDBLinkChange);
  connect(&quTables, &nuvo::db::Dataset::currentRowChanged, this, guarded(this, &TfmTableStru::tableRowChanged));
  connect(&quColumns, &nuvo::db::Dataset::currentRowChanged, this, guarded(this, &TfmTableStru::columnRowChanged));
  connect(cbColOrder, &QComboBox::currentIndexChanged, this, [this] {
    cache_.remove(TabColumns);
    guarded(this, &TfmTableStru::pcTableChange)();
  });
  connect(cbUser, &QComboBox::currentTextChanged, this, [this] { clearCache(); });
  connect(pmDrop, &QAction::triggered, this, guarded(this, &TfmTableStru::pmDropClick));
  connect(pmDelete, &QAction::triggered, this, guarded(this, &TfmTableStru::pmDeleteClick));
  connect(pmEnDis, &QAction::triggered, this, guarded(this, &TfmTableStru::pmEnDisClick));
  connect(mmDisableTrigger, &QAction::triggered, this, guarded(this, &TfmTableStru::mmDisableTriggerClick));
  connect(mmEnableTrigger, &QAction::triggered, this, guarded(this, &TfmTableStru::mmEnableTriggerClick));
  connect(spUpdate, &QToolButton::clicked, this, &TfmTableStru::spUpdateClick);
  connect(sgConstraint, &QTableWidget::currentCellChanged, this, &TfmTableStru::updateActions);
  connect(&quTrigg, &nuvo::db::Dataset::currentRowChanged, this, [this] {
    DBMemo1->setPlainText(cell(quTrigg, "TRIGGER_BODY"));
    updateActions();
  });
  connect(&quViews, &nuvo::db::Dataset::currentRowChanged, this,
          [this] { DBMemo2->setPlainText(cell(quViews, "TEXT")); });
  connect(&quMViews, &nuvo::db::Dataset::currentRowChanged, this,
          [this] { DBMemo2->setPlainText(cell(quMViews, "QUERY")); });
  connect(cbMaterlaizedView, &QCheckBox::toggled, this, [this](bool materialized) {
    dbgViews->setModel(new nuvo::widgets::DatasetModel(materialized ? &quMViews : &quViews, dbgViews));
    connect(dbgViews->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) {
              if (index.isValid()) (cbMaterlaizedView->isChecked() ? quMViews : quViews).setCurrentRow(index.row());
            });
    DBMemo2->clear();
    guarded(this, &TfmTableStru::btRefreshClick)();
  });

  connectDataPage();

  SetLanguageTexts();
  const TfmMain& m = context();
  paSelected->setVisible(m.CurrStructureSelected == u"D");
  SpeedButton1->setChecked(paSelected->isVisible());
  for (const nuvo::schema::Selection& s : nuvo::schema::readSelections(nuvo::IniFile(nuvo::monitorIniPath())))
    addSelection(s.table, s.owner, s.columns, s.filter);
  if (m.osOracle.connected())
    setWindowTitle(windowTitle() + QStringLiteral("  (") + m.connUser + u'@' + m.connServer + u')');
  cbColClick();
  edTabela->setFocus();

  QStringList users;
  QStringList links;
  if (m.osOracle.connected()) {
    try {
      quUsers.open();
      quUsers.fetchAll();
      for (int row = 0; row < quUsers.recordCount(); ++row) users << quUsers.value(row, 0).toString();
      quUsers.close();
      quDBLinks.open();
      quDBLinks.fetchAll();
      for (int row = 0; row < quDBLinks.recordCount(); ++row) {
        const QString name = quDBLinks.value(row, 0).toString();
        links << name;
        linkUsers.insert(name, quDBLinks.value(row, 1).toString());
      }
      quDBLinks.close();
    } catch (const nuvo::db::Error& e) {
      nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    }
  }
  {
    const QSignalBlocker block(cbUser);
    cbUser->addItems(nuvo::schema::ownerList(users));
    cbUser->setCurrentText(m.currOwner.toUpper());
  }
  {
    const QSignalBlocker block(cbDBLink);
    cbDBLink->addItem(QString());
    cbDBLink->addItems(links);
    cbDBLink->setCurrentIndex(0);
  }
}

TfmTableStru::~TfmTableStru() = default;

void TfmTableStru::SetLanguageTexts() {
  const bool slo = context().slovene();
  const auto t = [slo](const char* english, const char* slovene) {
    return QString::fromUtf8(slo ? slovene : english);
  };
  setWindowTitle(t("Table structure", "TABELE-strukture,podatki..."));
  laOwner->setText(t("Owner:", "Upor.:"));
  laCol->setText(t("Column:", "Polje:"));
  laTable->setText(t("Table:", "Tabela:"));
  cbCol->setText(t("Search columns", "Iskanje kolon"));
  btRefresh->setText(t("&Refresh", "&Osveži"));
  btExit->setText(t("E&xit", "&Izhod"));
  btStru->setToolTip(t("Search", "Išči"));
  laLink->setToolTip(t("Database link", "Povezava na bazo"));
  laOrder->setText(t("Order:", "Vrstni red:"));
  pcTable->setTabText(pcTable->indexOf(tabTables), t("Tables", "Tabele"));
  pcTable->setTabText(pcTable->indexOf(TabColumns), t("Columns", "Struktura"));
  pcTable->setTabText(pcTable->indexOf(tabIndexs), t("Indexes", "Indeksi"));
  pcTable->setTabText(pcTable->indexOf(tabConstr), t("Constraints", "Konstrainti"));
  pcTable->setTabText(pcTable->indexOf(tabTrigg), t("Triggers", "Trigerji"));
  pcTable->setTabText(pcTable->indexOf(tabRef), t("References", "Reference"));
  pcTable->setTabText(pcTable->indexOf(tabDep), t("Dependencies", "Odvisnosti"));
  pcTable->setTabText(pcTable->indexOf(tabView), t("VIEWS", "POGLEDI"));
  cbMaterlaizedView->setText(t("Materialized view", "Materializirani pogled"));
  sgIndex->setHorizontalHeaderLabels(slo ? QStringList{"Indeks", "Polje"} : QStringList{"Index Name", "Columns"});
  sgConstraint->setHorizontalHeaderLabels(
      slo ? QStringList{"Konstraint", "Primarni ključ /Vrednost", "Tip", "Status"}
          : QStringList{"Constraint Name", "Primary Key / Value", "Type", "Status"});
  pmDrop->setText(t("Drop", "Briši"));
  pmDelete->setText(t("Drop", "Briši"));
  mmDisableTrigger->setText(t("Disable", "Izklopi"));
  mmEnableTrigger->setText(t("Enable", "Vklopi"));
  spUpdate->setToolTip(t("Select cells to copy / whole rows", "Izbira celic za kopiranje / celih vrstic"));
  updateActions();
  sgColumns->setHorizontalHeaderLabels(
      slo ? QStringList{"Prik.", "Ime polja", "Tip", "Dol", "Dec", "Prazno", "Komentar", "Zap.št", "Prednast."}
          : QStringList{"Show", "Column name", "Type", "Len", "Prec", "Null", "Comment", "id", "Default"});
  setDataLanguageTexts(slo);
}

QString TfmTableStru::link() const { return cbDBLink->currentText().trimmed(); }

void TfmTableStru::cbColClick() {
  const bool columns = cbCol->isChecked();
  edKolona->setEnabled(columns);
  dbgKolone->setVisible(columns);
  dbmCol->setVisible(columns);
  dbgTables->setVisible(!columns);
  if (!columns) edKolona->clear();
}

void TfmTableStru::btStruClick() {
  pcTable->setCurrentWidget(tabTables);
  quTables.close();
  quTables.setSql(statement(kTables, link()));
  quTables.setVariable("upor", cbUser->currentText() + u'%');
  quTables.setVariable("tabela", edTabela->text() + u'%');
  cbColClick();
  if (cbCol->isChecked()) {
    quColumns.close();
    quColumns.setSql(statement(kColumns, link()));
    quColumns.setVariable("upor", cbUser->currentText() + u'%');
    quColumns.setVariable("tabela", edTabela->text() + u'%');
    quColumns.setVariable("kolona", edKolona->text() + u'%');
    quColumns.open();
    dbgKolone->setFocus();
  } else {
    quTables.open();
    dbgTables->setFocus();
  }
}

void TfmTableStru::chooseTable(const QString& owner, const QString& table, const QString& filter) {
  currOwner_ = owner;
  currTableName_ = table;
  laCurrTable->setText(owner.isEmpty() ? table : owner + u'.' + table);
  edFilter->setText(filter);
  // While keys are down, the script that brings them back stays (and Prepare waits for it).
  if (!restorePending_) {
    meBrisi->clear();
    meNazaj->clear();
    laScriptFile->clear();
    btDisable->setEnabled(false);
    btPrepare->setEnabled(!table.isEmpty());
  }
  pcTableChange();
}

void TfmTableStru::tableRowChanged() {
  if (quTables.currentRow() < 0) return;
  // The pages read the owner of the row chosen, not the pattern in the owner box.
  chooseTable(cell(quTables, "OWNER"), cell(quTables, "TABLE_NAME"));
}

void TfmTableStru::columnRowChanged() {
  dbmCol->setPlainText(cell(quColumns, "DATA_DEFAULT"));
  if (quColumns.currentRow() < 0) return;
  chooseTable(cell(quColumns, "OWNER"), cell(quColumns, "TABLE_NAME"));
}

void TfmTableStru::clearCache() { cache_.clear(); }

void TfmTableStru::btRefreshClick() {
  clearCache();
  pcTableChange();
}

void TfmTableStru::pcTableChange() {
  QWidget* page = pcTable->currentWidget();
  if (page == tabTables || (currTableName_.isEmpty() && page != tabView)) return;
  // Keyed by link, owner and table: a page loaded over a link is not shown for the local table.
  const QString key = currTableName_.isEmpty() ? QString() : link() + u'@' + currOwner_ + u'.' + currTableName_;
  if (!key.isEmpty() && cache_.value(page) == key) return;
  // The key is set before loading: a page that failed is not retried for the table until Refresh.
  cache_.insert(page, key);
  if (page == tabData) {
    // The data page shows the columns marked on the columns page, so that page is read first.
    cache_.remove(tabData);
    if (cache_.value(TabColumns) != key) {
      cache_.insert(TabColumns, key);
      loadColumns();
    }
    loadData();
    return;
  }
  if (page == TabColumns) loadColumns();
  else if (page == tabIndexs) loadIndexes();
  else if (page == tabConstr) loadConstraints();
  else if (page == tabTrigg) loadTriggers();
  else if (page == tabRef) loadReferences();
  else if (page == tabDep) loadDependencies();
  else if (page == tabView) loadViews();
}

void TfmTableStru::cbDBLinkChange() {
  const QString l = link();
  // These pages read the local dictionary only.
  for (QWidget* page : {tabConstr, tabDep, tabRef, tabEnDis, tabView})
    pcTable->setTabVisible(pcTable->indexOf(page), l.isEmpty());
  if (l.isEmpty())
    cbUser->setCurrentText(QString());
  else if (linkUsers.contains(l))
    cbUser->setCurrentText(linkUsers.value(l));
  clearCache();
  updateActions();
}

void TfmTableStru::updateActions() {
  const bool allowed = nuvo::schema::schemaChangesAllowed(link());
  for (QAction* action : {pmDrop, pmDelete, pmEnDis, mmDisableTrigger, mmEnableTrigger}) action->setEnabled(allowed);
  const int row = sgConstraint->currentRow();
  const bool enabled = row >= 0 && sgConstraint->item(row, 3) && sgConstraint->item(row, 3)->text() == u"ENABLED";
  const bool slo = context().slovene();
  pmEnDis->setText(enabled ? (slo ? QStringLiteral("Izklopi") : QStringLiteral("Disable"))
                           : (slo ? QStringLiteral("Vklopi") : QStringLiteral("Enable")));
}

bool TfmTableStru::execDyn(const QString& statement) {
  if (!nuvo::schema::schemaChangesAllowed(link())) return false;
  return context().execDyn(statement);
}

void TfmTableStru::pmDropClick() {
  const int row = sgIndex->currentRow();
  if (row < 0 || row >= indexes_.size()) return;
  const nuvo::schema::Index& index = indexes_[row];
  if (execDyn(nuvo::schema::dropIndexStatement(index.owner, index.name))) btRefreshClick();
}

void TfmTableStru::pmDeleteClick() {
  const int row = sgConstraint->currentRow();
  if (row < 0 || row >= constraintOfRow_.size()) return;
  if (execDyn(nuvo::schema::dropConstraintStatement(currOwner_, currTableName_, constraintOfRow_[row])))
    btRefreshClick();
}

void TfmTableStru::pmEnDisClick() {
  const int row = sgConstraint->currentRow();
  if (row < 0 || row >= constraintOfRow_.size() || !sgConstraint->item(row, 3)) return;
  const bool enable = sgConstraint->item(row, 3)->text() != u"ENABLED";
  if (!execDyn(nuvo::schema::switchConstraintStatement(currOwner_, currTableName_, constraintOfRow_[row], enable)))
    return;
  // Every row of the constraint shows its new state.
  for (int r = 0; r < constraintOfRow_.size(); ++r)
    if (constraintOfRow_[r] == constraintOfRow_[row] && sgConstraint->item(r, 3))
      sgConstraint->item(r, 3)->setText(enable ? QStringLiteral("ENABLED") : QStringLiteral("DISABLED"));
  updateActions();
}

void TfmTableStru::switchTrigger(bool enable) {
  if (quTrigg.currentRow() < 0) return;
  if (execDyn(nuvo::schema::switchTriggerStatement(cell(quTrigg, "OWNER"), cell(quTrigg, "TRIGGER_NAME"), enable)))
    btRefreshClick();
}

void TfmTableStru::spUpdateClick() {
  const bool cells = sgIndex->selectionBehavior() == QAbstractItemView::SelectRows;
  for (QTableWidget* grid : {sgIndex, sgConstraint})
    grid->setSelectionBehavior(cells ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
  spUpdate->setChecked(cells);
}

void TfmTableStru::loadIndexes() {
  indexes_ = nuvo::schema::readIndexes(context().osOracle, currOwner_, currTableName_, link());
  fillGrid(sgIndex, nuvo::schema::indexRows(indexes_));
}

void TfmTableStru::loadConstraints() {
  constraints_ = nuvo::schema::readConstraints(context().osOracle, currOwner_, currTableName_);
  const QList<QStringList> rows = nuvo::schema::constraintRows(constraints_);
  constraintOfRow_.clear();
  for (const QStringList& row : rows) constraintOfRow_ << row[0];
  fillGrid(sgConstraint, rows);
  updateActions();
}

void TfmTableStru::loadTriggers() {
  quTrigg.close();
  quTrigg.setSql(statement(kTrigg, link()));
  quTrigg.setVariable("upor", currOwner_);
  quTrigg.setVariable("tabela", currTableName_);
  quTrigg.open();
  DBMemo1->setPlainText(cell(quTrigg, "TRIGGER_BODY"));
}

namespace {
void addReferenceNodes(QTreeWidgetItem* parent, QTreeWidget* tree, const QList<nuvo::schema::ReferenceNode>& nodes) {
  for (const auto& node : nodes) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, nuvo::schema::referenceNodeText(node));
    addReferenceNodes(item, tree, node.children);
  }
}
}  // namespace

void TfmTableStru::loadReferences() {
  tvRef->clear();
  addReferenceNodes(nullptr, tvRef, nuvo::schema::readReferenceTree(context().osOracle, currOwner_, currTableName_));
  tvRef->expandAll();
}

void TfmTableStru::loadDependencies() {
  tvDep->clear();
  for (const auto& dependence : nuvo::schema::readDependences(context().osOracle, currOwner_, currTableName_)) {
    auto* key = new QTreeWidgetItem(tvDep);
    key->setText(0, nuvo::schema::dependenceNodeText(dependence));
    for (const QString& table : dependence.tables) (new QTreeWidgetItem(key))->setText(0, table);
  }
  tvDep->expandAll();
}

void TfmTableStru::loadViews() {
  nuvo::db::Dataset& views = cbMaterlaizedView->isChecked() ? quMViews : quViews;
  views.close();
  // Without a table every view of the owner is listed.
  const QString owner = currTableName_.isEmpty() ? cbUser->currentText() + u'%' : currOwner_;
  views.setVariable("upor", owner);
  views.setVariable("tabela", currTableName_.isEmpty() ? QStringLiteral("*") : currTableName_);
  views.open();
  DBMemo2->setPlainText(cell(views, cbMaterlaizedView->isChecked() ? "QUERY" : "TEXT"));
}

void TfmTableStru::loadColumns() {
  nuvo::db::Query query(&context().osOracle);
  query.setSql(statement(kTabCol, link()));
  query.declareVariable("upor", nuvo::db::DataType::String);
  query.declareVariable("tabela", nuvo::db::DataType::String);
  query.setVariable("upor", currOwner_);
  query.setVariable("tabela", currTableName_);
  QList<nuvo::schema::ColumnInfo> columns;
  for (query.execute(); !query.eof(); query.next()) {
    nuvo::schema::ColumnInfo c;
    c.name = query.field("COLUMN_NAME").asString();
    c.dataType = query.field("DATA_TYPE").asString();
    c.dataLength = query.field("DATA_LENGTH").value();
    c.dataPrecision = query.field("DATA_PRECISION").value();
    c.dataScale = query.field("DATA_SCALE").value();
    c.nullable = query.field("NULLABLE").asString();
    c.comments = query.field("COMMENTS").asString();
    c.columnId = int(query.field("COLUMN_ID").asInteger());
    c.dataDefault = query.field("DATA_DEFAULT").asString();
    columns << c;
  }
  const int order = qBound(0, cbColOrder->currentIndex(), int(nuvo::schema::columnOrders().size()) - 1);
  // Marks come from the selection of this owner and table when it is the one selected.
  const QTreeWidgetItem* root = currentSelectionRoot();
  const QString marks = root && root->childCount() > 0 ? root->child(0)->text(0) : QString();
  QList<QStringList> rows;
  for (const auto& c : nuvo::schema::sortedColumns(columns, QString::fromLatin1(nuvo::schema::columnOrders()[order].column)))
    rows << nuvo::schema::columnCells(c, root && nuvo::schema::isMarked(marks, c.name));
  fillGrid(sgColumns, rows);
}
