// The data page, the selection panel and the foreign-key scripts of the table-structure window.

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

#include "db/error.h"
#include "db/query.h"
#include "platform/appdirs.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "schema/structure_logic.h"
#include "schema/tabStru.h"
#include "schema/table_data_logic.h"
#include "shell/CThemedDBGrid.h"
#include "shell/IGridUtils.h"
#include "shell/Main.h"
#include "shell/settings_io.h"
#include "sqlwork/worksheet_logic.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"
#include "widgets/window_commands.h"

using nuvo::shell::cell;
using nuvo::shell::named;
using nuvo::widgets::guarded;

namespace {

TfmMain& context() { return *fmMain(); }

// The cell memo grows by this much while it has the focus.
constexpr int kMemoGrowth = 140;

// Runs the call; a database error ends it with its text shown.
template <typename F>
void attempt(QWidget* window, F&& call) {
  try {
    call();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, window);
  }
}

}  // namespace

void TfmTableStru::buildDataPage() {
  tabData = named(new QWidget, "tabData");
  auto* layout = new QVBoxLayout(tabData);
  auto* filterRow = new QHBoxLayout;
  edFilter = named(new QLineEdit(tabData), "edFilter");
  btWhere = named(new QPushButton(QStringLiteral("WHERE"), tabData), "btWhere");
  btWhere->setAutoDefault(false);
  navData = named(new QToolBar(tabData), "navData");
  const auto nav = [this](const char* name, QStyle::StandardPixmap icon) {
    QAction* action = navData->addAction(style()->standardIcon(icon), QString());
    action->setObjectName(QString::fromLatin1(name));
    return action;
  };
  navInsert = nav("navInsert", QStyle::SP_FileDialogNewFolder);
  navDelete = nav("navDelete", QStyle::SP_TrashIcon);
  navEdit = nav("navEdit", QStyle::SP_FileDialogDetailedView);
  navPost = nav("navPost", QStyle::SP_DialogApplyButton);
  navCancel = nav("navCancel", QStyle::SP_DialogCancelButton);
  navQbeEnter = nav("navQbeEnter", QStyle::SP_FileDialogContentsView);
  navQbeRun = nav("navQbeRun", QStyle::SP_MediaPlay);
  navRefresh = nav("navRefresh", QStyle::SP_BrowserReload);
  filterRow->addWidget(edFilter, 1);
  filterRow->addWidget(btWhere);
  filterRow->addWidget(navData);
  layout->addLayout(filterRow);
  sgDataQbe = named(new QTableWidget(0, 0, tabData), "sgDataQbe");
  sgDataQbe->setMaximumHeight(60);
  sgDataQbe->verticalHeader()->hide();
  sgDataQbe->hide();
  layout->addWidget(sgDataQbe);
  dbgData = named(new TThemedDBGrid(tabData), "dbgData");
  dsData = new nuvo::widgets::DatasetModel(&quData, dbgData);
  dsData->setNullText(QString());
  dbgData->setModel(dsData);
  miAdjustColumns = new QAction(this);
  miAdjustColumns->setObjectName(QStringLiteral("miAdjustColumns"));
  dbgData->addAction(miAdjustColumns);
  dbgData->setContextMenuPolicy(Qt::ActionsContextMenu);
  layout->addWidget(dbgData, 1);
  dbCelMemo = named(new QPlainTextEdit(tabData), "dbCelMemo");
  dbCelMemo->setReadOnly(true);
  dbCelMemo->setFixedHeight(svHeightCelMemo);
  dbCelMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  dbCelMemo->hide();
  dbCelMemo->installEventFilter(this);
  dbCelMemo->viewport()->installEventFilter(this);
  layout->addWidget(dbCelMemo);
  pcTable->addTab(tabData, QString());
  quData.setFetchSize(50);
  quData.setLockOnEdit(false);
}

void TfmTableStru::buildSelectionPanel() {
  paSelected = named(new QWidget(this), "paSelected");
  auto* layout = new QVBoxLayout(paSelected);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* buttons = new QHBoxLayout;
  laSelection = named(new QLabel(paSelected), "laSelection");
  spInsert = named(new QToolButton(paSelected), "spInsert");
  spInsert->setText(QStringLiteral("+"));
  spDelete = named(new QToolButton(paSelected), "spDelete");
  spDelete->setText(QStringLiteral("-"));
  spDelete->setEnabled(false);
  buttons->addWidget(laSelection, 1);
  buttons->addWidget(spInsert);
  buttons->addWidget(spDelete);
  layout->addLayout(buttons);
  tvSelected = named(new QTreeWidget(paSelected), "tvSelected");
  tvSelected->setHeaderHidden(true);
  tvSelected->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(tvSelected, 1);
  btSaveSelected = named(new QPushButton(paSelected), "btSaveSelected");
  btSaveSelected->setAutoDefault(false);
  layout->addWidget(btSaveSelected);
  paSelected->setFixedWidth(200);
  SpeedButton1 = named(new QToolButton(this), "SpeedButton1");
  SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
  SpeedButton1->setCheckable(true);
}

void TfmTableStru::buildScriptPage() {
  tabEnDis = named(new QWidget, "tabEnDis");
  auto* layout = new QVBoxLayout(tabEnDis);
  auto* buttons = new QHBoxLayout;
  cbDrop = named(new QCheckBox(tabEnDis), "cbDrop");
  btPrepare = named(new QPushButton(tabEnDis), "btPrepare");
  btDisable = named(new QPushButton(tabEnDis), "btDisable");
  btEnable = named(new QPushButton(tabEnDis), "btEnable");
  for (QPushButton* b : {btPrepare, btDisable, btEnable}) b->setAutoDefault(false);
  btPrepare->setEnabled(false);
  btDisable->setEnabled(false);
  btEnable->setEnabled(false);
  buttons->addWidget(cbDrop);
  buttons->addWidget(btPrepare);
  buttons->addWidget(btDisable);
  buttons->addWidget(btEnable);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  meBrisi = named(new QPlainTextEdit(tabEnDis), "meBrisi");
  meNazaj = named(new QPlainTextEdit(tabEnDis), "meNazaj");
  for (QPlainTextEdit* memo : {meBrisi, meNazaj}) {
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(memo, 1);
  }
  laScriptFile = named(new QLabel(tabEnDis), "laScriptFile");
  laScriptFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(laScriptFile);
}

void TfmTableStru::connectDataPage() {
  connect(btWhere, &QPushButton::clicked, this, guarded(this, &TfmTableStru::btWhereClick));
  connect(edFilter, &QLineEdit::returnPressed, this, guarded(this, &TfmTableStru::btWhereClick));
  connect(dbgData->horizontalHeader(), &QHeaderView::sectionClicked, this, &TfmTableStru::dbgDataTitleClick);
  connect(miAdjustColumns, &QAction::triggered, this, &TfmTableStru::miAdjustColumnsClick);
  auto* adjust = new QShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)), dbgData);
  adjust->setContext(Qt::WidgetShortcut);
  connect(adjust, &QShortcut::activated, this, &TfmTableStru::miAdjustColumnsClick);
  connect(dsData, &nuvo::widgets::DatasetModel::errorOccurred, this, [this](const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  });
  // Every row posted or deleted from the grid is kept at once; a cancel commits nothing.
  connect(&quData, &nuvo::db::Dataset::written, this, &TfmTableStru::commitData);
  connect(navInsert, &QAction::triggered, this, [this] {
    if (!quData.isOpen() || !quData.canModify()) return;
    dsData->insertRows(quData.recordCount() == 0 ? 0 : qMax(0, dbgData->currentRow()), 1);
  });
  connect(navDelete, &QAction::triggered, this, [this] {
    const int row = dbgData->currentRow();
    if (row >= 0 && quData.canModify()) dsData->removeRows(row, 1);
  });
  connect(navEdit, &QAction::triggered, this, [this] {
    if (dbgData->currentIndex().isValid()) dbgData->edit(dbgData->currentIndex());
  });
  connect(navPost, &QAction::triggered, this, [this] { dsData->submit(); });
  connect(navQbeEnter, &QAction::triggered, this, &TfmTableStru::qbeEnterClick);
  connect(navQbeRun, &QAction::triggered, this, guarded(this, &TfmTableStru::qbeRunClick));
  connect(navCancel, &QAction::triggered, this, [this] { dsData->revert(); });
  connect(navRefresh, &QAction::triggered, this, [this] {
    attempt(this, [this] {
      if (quData.isOpen()) quData.requery();
    });
  });
  connect(pcTable, &QTabWidget::currentChanged, this, [this] {
    if (pcTable->currentWidget() != tabData) dbCelMemo->hide();
  });

  connect(sgColumns, &QTableWidget::cellClicked, this, [this](int row, int column) {
    if (column == 0) toggleMark(row);
  });
  sgColumns->installEventFilter(this);

  connect(SpeedButton1, &QToolButton::clicked, this, &TfmTableStru::SpeedButton1Click);
  connect(spInsert, &QToolButton::clicked, this, &TfmTableStru::spInsertClick);
  connect(spDelete, &QToolButton::clicked, this, &TfmTableStru::spDeleteClick);
  connect(btSaveSelected, &QPushButton::clicked, this, &TfmTableStru::btSaveSelectedClick);
  connect(tvSelected, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { attempt(this, [this, item] { tvSelectedClick(item); }); });
  connect(tvSelected, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { spDelete->setEnabled(current != nullptr); });
  connect(dbgKolone, &QAbstractItemView::doubleClicked, this, &TfmTableStru::dbgKoloneDblClick);
  // A click in the table list shows that table's data.
  connect(dbgTables, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    if (!index.isValid()) return;
    quTables.setCurrentRow(index.row());
    const TfmMain& m = context();
    setWindowTitle(currTableName_ + QStringLiteral("  (") + m.connUser + u'@' + m.connServer + u')');
    attempt(this, [this] { pcTable->setCurrentWidget(tabData); });
  });

  connect(btPrepare, &QPushButton::clicked, this, guarded(this, &TfmTableStru::btPrepareClick));
  connect(cbDrop, &QCheckBox::toggled, this, &TfmTableStru::cbDropClick);
  connect(btDisable, &QPushButton::clicked, this, guarded(this, &TfmTableStru::btDisableClick));
  connect(btEnable, &QPushButton::clicked, this, guarded(this, &TfmTableStru::btEnableClick));
}

void TfmTableStru::setDataLanguageTexts(bool slo) {
  const auto t = [slo](const char* english, const char* slovene) {
    return QString::fromUtf8(slo ? slovene : english);
  };
  pcTable->setTabText(pcTable->indexOf(tabData), t("D A T A", "P O D A T K I"));
  pcTable->setTabText(pcTable->indexOf(tabEnDis), t("Enable/Disable", "Ukini/Dovoli"));
  btWhere->setToolTip(t("Run the filter", "Izvedi filter"));
  edFilter->setToolTip(t("WHERE / ORDER BY", "WHERE / ORDER BY"));
  navInsert->setText(t("Insert", "Dodaj"));
  navDelete->setText(t("Delete", "Briši"));
  navEdit->setText(t("Edit", "Uredi"));
  navPost->setText(t("Post", "Shrani"));
  navCancel->setText(t("Cancel", "Prekliči"));
  navQbeEnter->setText(t("Query by example", "Poizvedba po vzorcu"));
  navQbeRun->setText(t("Run the query by example", "Izvedi poizvedbo po vzorcu"));
  navRefresh->setText(t("Refresh", "Osveži"));
  miAdjustColumns->setText(t("Adjust columns", "Prilagodi stolpce"));
  laSelection->setText(t("Selection", "Izbira"));
  SpeedButton1->setToolTip(t("Selection ON/OFF", "Izbira VKLOP/IZKLOP"));
  spInsert->setToolTip(t("Add the chosen table", "Dodaj izbrano tabelo"));
  spDelete->setToolTip(t("Remove the selection", "Odstrani izbiro"));
  btSaveSelected->setText(context().nizSave.isEmpty() ? t("Save", "Shrani") : context().nizSave);
  cbDrop->setText(t("Drop option", "Tip brisanja"));
  btPrepare->setText(t("Prepare Script", "Pripravi skripto"));
  nizDrop = t("Drop References", "Briši reference");
  nizCreate = t("Create References", "Kreiraj reference");
  nizDisable = t("Disable References", "Izklopi reference");
  nizEnable = t("Enable References", "Vklopi reference");
  nizBack = t("Script is saved into ", "Skripta je shranjena v datoteko ");
  nizSucc = t("SUCCESFULL", "USPEŠNO");
  nizUnSucc = t("UNSUCCESFULL", "NEUSPEŠNO");
  cbDropClick();
}

bool TfmTableStru::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dbCelMemo || watched == dbCelMemo->viewport()) {
    if (event->type() == QEvent::FocusIn && watched == dbCelMemo) {
      svHeightCelMemo = dbCelMemo->height();
      dbCelMemo->setFixedHeight(svHeightCelMemo + kMemoGrowth);
    } else if (event->type() == QEvent::FocusOut && watched == dbCelMemo) {
      dbCelMemo->setFixedHeight(svHeightCelMemo);
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      dbCelMemo->hide();
      return true;
    }
  } else if (watched == sgColumns && event->type() == QEvent::KeyPress) {
    if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && sgColumns->currentRow() >= 0) {
      toggleMark(sgColumns->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Data page

QStringList TfmTableStru::markedColumns() const {
  QStringList marked;
  for (int row = 0; row < sgColumns->rowCount(); ++row)
    if (sgColumns->item(row, 0) && sgColumns->item(row, 0)->text() == u"+" && sgColumns->item(row, 1))
      marked << sgColumns->item(row, 1)->text();
  return marked;
}

bool TfmTableStru::hasLobColumn() const {
  for (int row = 0; row < sgColumns->rowCount(); ++row)
    if (sgColumns->item(row, 2) && nuvo::schema::isLobType(sgColumns->item(row, 2)->text())) return true;
  return false;
}

void TfmTableStru::loadData() {
  if (currTableName_.isEmpty()) return;
  const QString statement = nuvo::schema::dataStatement(markedColumns(), currOwner_, currTableName_, link());
  if (!nuvo::schema::isLinkName(link()) && !link().isEmpty())
    throw nuvo::db::Error::client(QStringLiteral("Not a database link name: ") + link());
  const QStringList& shown = qbeBase_.isEmpty() ? quData.sql() : qbeBase_;
  if (shown.isEmpty() || shown.first() != statement || !quData.isOpen()) {
    endQbe();
    quData.close();
    // The statement stays one line (its column list may break lines); the filter is the second.
    quData.setSql(QStringList{statement});
    btWhereClick();
  }
  dbgData->setFocus();
  AdjustGridColumns(dbgData, 100, 33);
}

void TfmTableStru::btWhereClick() {
  endQbe();
  if (quData.sql().isEmpty()) return;
  const QString filter = nuvo::schema::upperOutsideLiterals(edFilter->text());
  edFilter->setText(filter);
  dbCelMemo->hide();
  quData.close();
  QStringList lines = quData.sql();
  if (lines.size() < 2) lines << filter;
  else lines[1] = filter;
  quData.setSql(lines);
  bool failed = false;
  try {
    quData.open();
  } catch (const nuvo::db::Error& e) {
    failed = true;
    nuvo::showMessage(nuvo::schema::dataErrorText(quData.sqlText(), e.message(), e.line(), e.position()),
                      nuvo::MessageKind::Error, this);
  }
  if (QTreeWidgetItem* root = currentSelectionRoot(); root && root->childCount() >= 2) root->child(1)->setText(0, filter);
  if (failed && hasLobColumn()) {
    // Over a link a large object cannot be read: show every other column.
    for (int row = 0; row < sgColumns->rowCount(); ++row) {
      if (!sgColumns->item(row, 0) || !sgColumns->item(row, 2)) continue;
      if (!nuvo::schema::isLobType(sgColumns->item(row, 2)->text())) sgColumns->item(row, 0)->setText(QStringLiteral("+"));
    }
    loadData();
  }
}

void TfmTableStru::commitData() {
  try {
    if (context().osOracle.connected() && context().osOracle.inTransaction()) context().osOracle.commit();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    attempt(this, [this] {
      if (quData.isOpen()) quData.requery();
    });
  }
}

void TfmTableStru::endQbe() {
  if (qbeBase_.isEmpty()) return;
  quData.close();
  quData.deleteVariables();
  quData.setUpdatingTable(QString());
  quData.setSql(qbeBase_);
  qbeBase_.clear();
  sgDataQbe->hide();
}

void TfmTableStru::qbeEnterClick() {
  if (!quData.isOpen()) return;
  QStringList names;
  for (const nuvo::db::Column& c : quData.columns())
    if (c.name != QLatin1String("ROWID")) names << c.name;
  // Values typed before stay under their columns.
  QMap<QString, QString> typed;
  for (int c = 0; c < sgDataQbe->columnCount(); ++c)
    if (sgDataQbe->horizontalHeaderItem(c) && sgDataQbe->item(0, c))
      typed[sgDataQbe->horizontalHeaderItem(c)->text()] = sgDataQbe->item(0, c)->text();
  sgDataQbe->clear();
  sgDataQbe->setColumnCount(names.size());
  sgDataQbe->setRowCount(1);
  sgDataQbe->setHorizontalHeaderLabels(names);
  for (int c = 0; c < names.size(); ++c)
    if (typed.contains(names[c])) sgDataQbe->setItem(0, c, new QTableWidgetItem(typed[names[c]]));
  sgDataQbe->show();
  sgDataQbe->setFocus();
}

void TfmTableStru::qbeRunClick() {
  if (sgDataQbe->isHidden() || (qbeBase_.isEmpty() && quData.sql().isEmpty())) return;
  QList<nuvo::sqlwork::QbeCondition> conditions;
  for (int c = 0; c < sgDataQbe->columnCount(); ++c)
    conditions << nuvo::sqlwork::QbeCondition{sgDataQbe->horizontalHeaderItem(c)->text(),
                                               sgDataQbe->item(0, c) ? sgDataQbe->item(0, c)->text() : QString()};
  const QStringList base = qbeBase_.isEmpty() ? quData.sql() : qbeBase_;
  const nuvo::sqlwork::QbeQuery query = nuvo::sqlwork::qbeQuery(base.join(u'\n'), conditions);
  quData.close();
  quData.deleteVariables();
  quData.setSql(QStringList{query.sql});
  for (int i = 0; i < query.values.size(); ++i) {
    const QString name = QStringLiteral("qbe%1").arg(i + 1);
    quData.declareVariable(name, nuvo::db::DataType::String);
    quData.setVariable(name, query.values[i]);
  }
  // The rows found are still the table's own, written back by their row identifier.
  quData.setUpdatingTable(link().isEmpty() ? currOwner_ + u'.' + currTableName_ : QString());
  qbeBase_ = base;
  try {
    quData.open();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(nuvo::schema::dataErrorText(quData.sqlText(), e.message(), e.line(), e.position()),
                      nuvo::MessageKind::Error, this);
  }
}

void TfmTableStru::dbgDataTitleClick(int column) {
  if (dbCelMemo->isVisible()) {
    dbCelMemo->hide();
    return;
  }
  if (!quData.isOpen() || column < 0 || column >= quData.fieldCount()) return;
  const QString field = quData.columns()[column].name;
  if (const auto extended = nuvo::schema::filterWithColumn(edFilter->text(), field)) {
    edFilter->setText(*extended);
    return;
  }
  const int row = quData.currentRow() >= 0 ? quData.currentRow() : dbgData->currentRow();
  dbCelMemo->setPlainText(row >= 0 && row < quData.recordCount() ? quData.value(row, column).toString() : QString());
  dbCelMemo->show();
}

void TfmTableStru::miAdjustColumnsClick() { AdjustGridColumns(dbgData, 100, 33); }

void TfmTableStru::toggleMark(int row) {
  QTableWidgetItem* item = sgColumns->item(row, 0);
  if (!item) return;
  item->setText(item->text() == u" " ? QStringLiteral("+") : QStringLiteral(" "));
  storeMarks();
}

void TfmTableStru::storeMarks() {
  if (QTreeWidgetItem* root = currentSelectionRoot(); root && root->childCount() >= 1)
    root->child(0)->setText(0, markedColumns().join(u','));
}

// ---------------------------------------------------------------------------------------------
// Selection panel

QTreeWidgetItem* TfmTableStru::selectedRoot() const {
  QTreeWidgetItem* item = tvSelected->currentItem();
  while (item && item->parent()) item = item->parent();
  return item;
}

QTreeWidgetItem* TfmTableStru::currentSelectionRoot() const {
  QTreeWidgetItem* item = tvSelected->currentItem();
  // A selected child is not the selection's choice of table.
  if (!item || item->parent()) return nullptr;
  const nuvo::schema::Selection s = nuvo::schema::splitRoot(item->text(0));
  if (s.table != currTableName_) return nullptr;
  if (!s.owner.isEmpty() && s.owner != currOwner_) return nullptr;
  return item;
}

void TfmTableStru::addSelection(const QString& table, const QString& owner, const QString& columns,
                                const QString& filter) {
  auto* root = new QTreeWidgetItem(tvSelected);
  root->setText(0, nuvo::schema::Selection{table, owner, {}, {}}.rootText());
  (new QTreeWidgetItem(root))->setText(0, columns);
  (new QTreeWidgetItem(root))->setText(0, filter);
}

void TfmTableStru::SpeedButton1Click() {
  paSelected->setVisible(!paSelected->isVisible());
  context().CurrStructureSelected = paSelected->isVisible() ? QStringLiteral("D") : QStringLiteral("N");
  SpeedButton1->setChecked(paSelected->isVisible());
}

void TfmTableStru::spInsertClick() {
  if (quTables.currentRow() < 0) return;
  // The owner of the row, not the owner pattern typed in the box.
  addSelection(cell(quTables, "TABLE_NAME"), cell(quTables, "OWNER"), {}, {});
  paSelected->show();
  SpeedButton1->setChecked(true);
}

void TfmTableStru::dbgKoloneDblClick() {
  if (quColumns.currentRow() < 0) return;
  addSelection(cell(quColumns, "TABLE_NAME"), cell(quColumns, "OWNER"), {}, {});
  paSelected->show();
  SpeedButton1->setChecked(true);
}

void TfmTableStru::spDeleteClick() {
  // A child goes with its whole selection, so every selection keeps its two children.
  delete selectedRoot();
  spDelete->setEnabled(tvSelected->currentItem() != nullptr);
}

void TfmTableStru::btSaveSelectedClick() {
  QList<nuvo::schema::Selection> selections;
  for (int i = 0; i < tvSelected->topLevelItemCount(); ++i) {
    QTreeWidgetItem* root = tvSelected->topLevelItem(i);
    nuvo::schema::Selection s = nuvo::schema::splitRoot(root->text(0));
    s.columns = root->childCount() > 0 ? root->child(0)->text(0) : QString();
    s.filter = root->childCount() > 1 ? root->child(1)->text(0) : QString();
    selections << s;
  }
  nuvo::IniFile ini(nuvo::monitorIniPath());
  nuvo::schema::writeSelections(ini, selections);
}

void TfmTableStru::tvSelectedClick(QTreeWidgetItem* item) {
  if (!item || item->parent()) return;
  tvSelected->setCurrentItem(item);
  const nuvo::schema::Selection s = nuvo::schema::splitRoot(item->text(0));
  const QString filter = item->childCount() > 1 ? item->child(1)->text(0) : QString();
  chooseTable(s.owner.isEmpty() ? currOwner_ : s.owner, s.table, filter);
}

// ---------------------------------------------------------------------------------------------
// Foreign-key scripts

void TfmTableStru::cbDropClick() {
  btDisable->setText(cbDrop->isChecked() ? nizDrop : nizDisable);
  btEnable->setText(cbDrop->isChecked() ? nizCreate : nizEnable);
}

void TfmTableStru::btPrepareClick() {
  if (restorePending_ || currTableName_.isEmpty() || !nuvo::schema::schemaChangesAllowed(link())) return;
  meBrisi->clear();
  meNazaj->clear();
  laScriptFile->clear();
  btDisable->setEnabled(false);
  auto& session = context().osOracle;
  const auto keys =
      nuvo::schema::gatherReferencingKeys(nuvo::schema::readReferencingKeyRows(session, currOwner_, currTableName_));
  const auto scripts = nuvo::schema::keyScripts(
      keys, currOwner_, currTableName_, nuvo::schema::readPrimaryKeyColumns(session, currOwner_, currTableName_),
      cbDrop->isChecked());
  meBrisi->setPlainText(scripts.takeDown.join(u'\n'));
  meNazaj->setPlainText(scripts.restore.join(u'\n'));

  // The restore script is the only copy of dropped definitions: never replaced without asking,
  // and the take-down is offered only once it is saved.
  const QString file = nuvo::resolvePath(
      nuvo::schema::restoreFileName(nuvo::shell::withClosingSeparator(context().currCommentsFile), currOwner_,
                                    currTableName_));
  const bool slo = context().slovene();
  if (QFile::exists(file) &&
      !nuvo::askYesNo((slo ? QStringLiteral("Datoteka %1 že obstaja. Jo prepišem?")
                           : QStringLiteral("The file %1 exists already. Replace it?"))
                          .arg(file),
                      this)) {
    nuvo::showMessage(slo ? QStringLiteral("Skripta ni shranjena.") : QStringLiteral("The script is not saved."),
                      nuvo::MessageKind::Warning, this);
    return;
  }
  QSaveFile out(file);
  QByteArray text;
  for (const QString& line : scripts.restore) text += line.toUtf8() + "\r\n";
  if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
    nuvo::showMessage((slo ? QStringLiteral("Skripte ni mogoče shraniti v %1: %2")
                           : QStringLiteral("The script cannot be saved into %1: %2"))
                          .arg(file, out.errorString()),
                      nuvo::MessageKind::Error, this);
    return;
  }
  laScriptFile->setText(file);
  btDisable->setEnabled(!keys.isEmpty());
  nuvo::showMessage(nizBack + file + u'!', nuvo::MessageKind::Information, this);
}

bool TfmTableStru::runScript(const QPlainTextEdit* memo, const QString& caption) {
  auto& session = context().osOracle;
  const nuvo::schema::ScriptRun run =
      nuvo::schema::runScript(memo->toPlainText().split(u'\n'), [&session](const QString& line) {
        try {
          nuvo::db::Query query(&session);
          query.setSql(line);
          query.execute();
          return QString();
        } catch (const nuvo::db::Error& e) {
          return e.message().isEmpty() ? QStringLiteral("error") : e.message();
        }
      });
  if (!run.errors.isEmpty()) nuvo::showMessage(run.errors, nuvo::MessageKind::Error, this);
  nuvo::showMessage(caption + QStringLiteral("  ") + (run.failed ? nizUnSucc : nizSucc),
                    run.failed ? nuvo::MessageKind::Warning : nuvo::MessageKind::Information, this);
  return !run.failed;
}

void TfmTableStru::btDisableClick() {
  if (!btDisable->isEnabled() || !nuvo::schema::schemaChangesAllowed(link())) return;
  btDisable->setEnabled(false);
  btPrepare->setEnabled(false);
  restorePending_ = true;
  runScript(meBrisi, btDisable->text());
  btEnable->setEnabled(true);
}

void TfmTableStru::btEnableClick() {
  if (!btEnable->isEnabled() || !nuvo::schema::schemaChangesAllowed(link())) return;
  const bool ok = runScript(meNazaj, btEnable->text());
  // After a failed restore the script stays for another try (it is in its file as well).
  if (!ok) return;
  restorePending_ = false;
  btEnable->setEnabled(false);
  btPrepare->setEnabled(!currTableName_.isEmpty());
}
