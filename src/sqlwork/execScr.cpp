#include "sqlwork/execScr.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "admin/errors.h"
#include "db/dataset.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "shell/CThemedDBGrid.h"
#include "shell/IDialogs.h"
#include "shell/Main.h"
#include "shell/sql_catalog.h"
#include "shell/tabUtil.h"
#include "sqlwork/script_lists.h"
#include "widgets/dataset_model.h"
#include "widgets/icons.h"
#include "widgets/message_facade.h"
#include "shell/IGridUtils.h"

QPointer<TfmScript> TfmScript::fmScript;

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr qint64 kProgressInterval = 100;  // ms
// A key no row has, so the first row shown always loads its text.
const QString kNoRowShown = QStringLiteral("\"#$%&/");

const nuvo::SqlText kLargerb{"execScr.quLargerb",
                             {"select * from v$rollstat  where usn in",
                              " (select usn  from v$rollname where name=:largeRB)"}};

TfmMain& context() { return *fmMain(); }

using nuvo::shell::named;

// Upper-cases what the user types, as the form's upper-case fields do.
void upperCaseAsTyped(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const QString upper = text.toUpper();
    if (upper == text) return;
    const int cursor = edit->cursorPosition();
    edit->setText(upper);
    edit->setCursorPosition(cursor);
  });
}

QPushButton* button(const char* name, QWidget* parent) { return named(new QPushButton(parent), name); }
QLabel* label(const char* name, QWidget* parent) { return named(new QLabel(parent), name); }

// The status code of a status box; a box with nothing chosen yet shows the not-executed rows.
QString firstCharacter(const QComboBox* box) {
  return box->currentIndex() < 0 ? QStringLiteral("N") : box->currentText().left(1);
}

// "A" stands for "no filter" in the list queries.
QString orAll(const QString& text) { return text.isEmpty() ? QStringLiteral("A") : text; }
QString orAllTrimmed(const QString& text) { return text.trimmed().isEmpty() ? QStringLiteral("A") : text; }

// A dataset model whose column titles may differ from the field names, and whose cells show a
// text on one line: a statement's line breaks become blanks, and a long one shows its beginning.
class TitledDatasetModel : public nuvo::widgets::DatasetModel {
 public:
  static constexpr int kCellCharacters = 300;

  TitledDatasetModel(nuvo::db::Dataset* dataset, QHash<QString, QString> titles, QObject* parent)
      : DatasetModel(dataset, parent), titles_(std::move(titles)) {}
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    const QVariant title = DatasetModel::headerData(section, orientation, role);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return title;
    return titles_.value(title.toString(), title.toString());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const QVariant value = DatasetModel::data(index, role);
    if (role != Qt::DisplayRole || value.typeId() != QMetaType::QString) return value;
    QString text = value.toString();
    if (text.size() > kCellCharacters) text = text.left(kCellCharacters) + QChar(0x2026);
    return text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
  }
  // Titles follow the program's language.
  void setTitle(const QString& field, const QString& title) {
    titles_.insert(field, title);
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
  }

 private:
  QHash<QString, QString> titles_;
};

// Shows `dataset` in `grid` with only the columns of `fields` (field name -> title). The grid's
// current row and the dataset's follow each other; `onCurrent` runs whenever the dataset's changes.
void bindGrid(TThemedDBGrid* grid, nuvo::db::Dataset* dataset, const QList<std::pair<QString, QString>>& fields,
              const std::function<void()>& onCurrent) {
  QHash<QString, QString> titles;
  for (const auto& [field, title] : fields) titles.insert(field, title);
  grid->setModel(new TitledDatasetModel(dataset, titles, grid));
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QObject::connect(dataset, &nuvo::db::Dataset::opened, grid, [grid, dataset, titles] {
    for (int column = 0; column < dataset->fieldCount(); ++column)
      grid->setColumnHidden(column, !titles.contains(dataset->columns()[column].name.toUpper()));
  });
  QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, dataset,
                   [dataset](const QModelIndex& current) {
                     if (current.isValid()) dataset->setCurrentRow(current.row());
                   });
  QObject::connect(dataset, &nuvo::db::Dataset::currentRowChanged, grid, [grid, dataset, onCurrent](int row) {
    if (row >= 0 && grid->currentRow() != row) {
      int column = 0;
      while (column < dataset->fieldCount() - 1 && grid->isColumnHidden(column)) ++column;
      grid->setCurrentIndex(grid->model()->index(row, column));
    }
    onCurrent();
  });
}

QString textOf(const nuvo::db::Dataset* dataset, const char* field) {
  const int row = dataset->currentRow();
  return row < 0 ? QString() : dataset->value(row, QLatin1String(field)).toString();
}

const QStringList kStatHeader = {"Script", "User", "Date", "OK", "Not Executed", "Errors", "Deleted"};
const QStringList kStatHeaderSlo = {"Skripta", "Uporabnik", "Datum", "OK", "Neizvedene", "Napake", "Brisane"};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TExecSqlThread

TExecSqlThread::TExecSqlThread(TfmScript* AForm, const QString& sql)
    : AFormT(AForm), osOracleThreadT(&context().osOracle), sql_(sql) {
  connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TExecSqlThread::run() {
  bool failed = false;
  QString error;
  try {
    nuvo::db::Query quDynT(osOracleThreadT);
    quDynT.setSql(sql_);
    quDynT.execute();
  } catch (const nuvo::db::Error& e) {
    failed = true;
    error = e.message();
  }
  // The window refuses to close while a statement thread runs, so it is still there.
  TfmScript* form = AFormT.data();
  if (form)
    QMetaObject::invokeMethod(form, [form, failed, error] { form->DeloKoncano(failed, error); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------------------------
// TfmScript: creation and layout

TfmScript::TfmScript(QWidget* parent) : QDialog(parent), quDyn(&context().osOracle) {
  setObjectName(QStringLiteral("fmScript"));
  setAttribute(Qt::WA_DeleteOnClose);
  fmScript = this;
  buildWidgets();
  if (const QScreen* screen = this->screen()) {
    const QRect available = screen->availableGeometry();
    resize(std::min(1200, available.width()), std::min(720, available.height() - 40));
  }
  zadnjaSkripta = kNoRowShown;

  TfmMain& m = context();
  edDir->setText(m.currentScriptDir);
  laLargeRBStat->setText(QStringLiteral("OFFLINE"));
  try {
    nuvo::db::Query quLargerb(&m.osOracle);
    quLargerb.setSql(kLargerb.lines());
    quLargerb.declareVariable(QStringLiteral("largeRB"), nuvo::db::DataType::String);
    quLargerb.setVariable(QStringLiteral("largeRB"), m.currLargeRBName);
    quLargerb.execute();
    if (!quLargerb.eof() && quLargerb.field(QStringLiteral("STATUS")).asString() == u"ONLINE")
      laLargeRBStat->setText(QStringLiteral("ONLINE"));
  } catch (const nuvo::db::Error&) {
    // No rollback-segment views on this server: the segment counts as offline.
  }
  laVerzija->setText(TfmtableUtil::GetLastVer());
  p_owner = m.aliJeVecInstacijNaTrenutniInstanci(m.connServer);
  try {
    p_scriptDateOwner = nuvo::sqlwork::hasOwnerColumns(m.osOracle);
  } catch (const nuvo::db::Error&) {
    p_scriptDateOwner = false;
  }
  FillScriptList();
  SetLanguageTexts();
}

TfmScript::~TfmScript() = default;

void TfmScript::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  auto* toolbar = named(new QToolBar(this), "ToolBar1");
  const auto tool = [this, toolbar](const char* name, const char* icon, QStyle::StandardPixmap fallback) {
    auto* b = named(new QToolButton(this), name);
    b->setIcon(nuvo::widgets::themedIcon(icon, fallback));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar->addWidget(b);
    return b;
  };
  tbOpenF = tool("tbOpenF", "document-open", QStyle::SP_DialogOpenButton);
  tbRun = tool("tbRun", "system-run", QStyle::SP_MediaPlay);
  tbSearch = tool("tbSearch", "edit-find", QStyle::SP_FileDialogContentsView);
  tbStat = tool("tbStat", "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView);
  tbLargeRB = tool("tbLargeRB", "drive-harddisk", QStyle::SP_DriveHDIcon);
  tbLargeRB->setCheckable(true);
  ToolButton2 = tool("ToolButton2", "dialog-error", QStyle::SP_MessageBoxCritical);
  tbDeleteMore = tool("tbDeleteMore", "edit-delete", QStyle::SP_TrashIcon);
  tbExit = tool("tbExit", "application-exit", QStyle::SP_DialogCloseButton);
  connect(ToolButton2, &QToolButton::clicked, this, [] { TfmErrors::openNew(); });
  laLastVersion = label("laLastVersion", this);
  laVerzija = label("laVerzija", this);
  toolbar->addWidget(laLastVersion);
  toolbar->addWidget(laVerzija);
  layout->addWidget(toolbar);

  paGlava = named(new QWidget(this), "paGlava");
  auto* header = new QHBoxLayout(paGlava);
  laSkripta = label("laSkripta", paGlava);
  LabelType = label("LabelType", paGlava);
  Label7 = label("Label7", paGlava);
  Label7->setText(QStringLiteral("Filter:"));
  laFltErr = label("laFltErr", paGlava);
  cbAllScripts = named(new QComboBox(paGlava), "cbAllScripts");
  cbAllScripts->setEditable(true);
  cbAllScripts->setMaxVisibleItems(25);
  // Wide enough for a whole script name (at most 30 characters).
  cbAllScripts->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbAllScripts->setMinimumContentsLength(30);
  upperCaseAsTyped(cbAllScripts->lineEdit());
  cbStat = named(new QComboBox(paGlava), "cbStat");
  edFilter = named(new QLineEdit(paGlava), "edFilter");
  edNapaka = named(new QLineEdit(paGlava), "edNapaka");
  upperCaseAsTyped(edNapaka);
  spFltScript = button("spFltScript", paGlava);
  btRefresh = button("btRefresh", paGlava);
  btRefresh->hide();
  for (QWidget* w : std::initializer_list<QWidget*>{laSkripta, cbAllScripts, LabelType, cbStat, Label7, edFilter,
                                                    laFltErr, edNapaka, spFltScript})
    header->addWidget(w);
  layout->addWidget(paGlava);

  pcExec = named(new QStackedWidget(this), "pcExec");
  tabEmpty = named(new QWidget, "tabEmpty");
  tabOpenFile = buildOpenFilePage();
  tabExec = buildExecPage();
  TabDeleteMore = buildDeletePage();
  TabSearch = buildSearchPage();
  tabStat = buildStatPage();
  for (QWidget* page : {tabEmpty, tabOpenFile, tabExec, TabDeleteMore, TabSearch, tabStat}) pcExec->addWidget(page);
  pcExec->setCurrentWidget(tabEmpty);
  layout->addWidget(pcExec, 1);

  tiClose = named(new QTimer(this), "tiClose");
  tiClose->setInterval(1000);
  tiClose->setSingleShot(true);
  connect(tiClose, &QTimer::timeout, this, &QWidget::close);

  connect(tbOpenF, &QToolButton::clicked, this, &TfmScript::tbOpenFClick);
  connect(tbRun, &QToolButton::clicked, this, &TfmScript::tbRunClick);
  connect(tbDeleteMore, &QToolButton::clicked, this, &TfmScript::tbDeleteMoreClick);
  connect(tbExit, &QToolButton::clicked, this, &QWidget::close);
  connect(tbLargeRB, &QToolButton::clicked, this, [this] {
    context().mmActivateLargeRBClick();
    tbLargeRB->setChecked(context().command(QStringLiteral("mmActivateLargeRB"))->isChecked());
  });
  connect(tbSearch, &QToolButton::clicked, this, &TfmScript::tbSearchClick);
  connect(tbStat, &QToolButton::clicked, this, &TfmScript::tbStatClick);
  connect(spFltScript, &QPushButton::clicked, this, &TfmScript::spFltScriptClick);
  connect(cbAllScripts, &QComboBox::editTextChanged, this, [this](const QString& text) { p_zadVnosFilterSkripta = text; });
  cbAllScripts->installEventFilter(this);
  cbAllScripts->lineEdit()->installEventFilter(this);
  connect(btRefresh, &QPushButton::clicked, this, &TfmScript::btRefreshClick);
  connect(cbAllScripts, &QComboBox::activated, this, &TfmScript::cbAllScriptsClick);
  for (QComboBox* box : {cbShowType, cbStat, cbFIndStat})
    connect(box, &QComboBox::currentIndexChanged, this, &TfmScript::cbShowTypeChange);

  pmScripts = named(new QMenu(cbAllScripts), "pmScripts");
  connect(named(pmScripts->addAction(QStringLiteral("Delete")), "Delete1"), &QAction::triggered, this,
          &TfmScript::Delete1Click);
  for (QWidget* w : {static_cast<QWidget*>(cbAllScripts), static_cast<QWidget*>(cbAllScripts->lineEdit())}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& at) { pmScripts->popup(w->mapToGlobal(at)); });
  }
}

QWidget* TfmScript::buildOpenFilePage() {
  auto* page = named(new QWidget, "tabOpenFile");
  auto* layout = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  laSkriptName = label("laSkriptName", page);
  edSkripta = named(new QLineEdit(page), "edSkripta");
  edDir = named(new QLineEdit(page), "edDir");
  btOpenFile = button("btOpenFile", page);
  btOpenFile->setText(QStringLiteral("."));
  btScriptPut = button("btScriptPut", page);
  btScriptPut->setEnabled(false);
  btSaveScript = button("btSaveScript", page);
  btSaveScript->setEnabled(false);
  Label9 = label("Label9", page);
  Label9->setText(QStringLiteral("LARGERB:"));
  laLargeRBStat = label("laLargeRBStat", page);
  for (QWidget* w : std::initializer_list<QWidget*>{laSkriptName, edSkripta, edDir, btOpenFile, btScriptPut,
                                                    btSaveScript, Label9, laLargeRBStat})
    row->addWidget(w);
  layout->addLayout(row);
  meVse = named(new QPlainTextEdit(page), "meVse");
  meVse->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(meVse, 1);

  upperCaseAsTyped(edSkripta);
  upperCaseAsTyped(edDir);
  connect(btOpenFile, &QPushButton::clicked, this, &TfmScript::btOpenFileClick);
  connect(btScriptPut, &QPushButton::clicked, this, &TfmScript::btScriptPutClick);
  connect(btSaveScript, &QPushButton::clicked, this, &TfmScript::btSaveScriptClick);
  connect(edSkripta, &QLineEdit::editingFinished, this, [this] { context().currentScript = edSkripta->text(); });
  // The field's text as it stands: upper-casing a typed character sets the text again from within
  // the change, after which the change itself reports the character as typed.
  connect(edDir, &QLineEdit::textChanged, this, [this] { context().currentScriptDir = edDir->text(); });
  connect(meVse, &QPlainTextEdit::textChanged, this, [this] {
    btSaveScript->setEnabled(true);
    btScriptPut->setEnabled(!meVse->toPlainText().isEmpty());
  });
  return page;
}

QWidget* TfmScript::buildExecPage() {
  auto* page = named(new QWidget, "tabExec");
  auto* layout = new QHBoxLayout(page);
  auto* splitter = named(new QSplitter(Qt::Horizontal, page), "spExec");
  layout->addWidget(splitter);
  quSkripte = named(new nuvo::db::Dataset(&context().osOracle, this), "quSkripte");
  dbgSkripte = named(new TThemedDBGrid(page), "dbgSkripte");
  bindGrid(dbgSkripte, quSkripte,
           {{"SCRIPT_COUNTER", "COUNTER"}, {"SCRIPT_STAT", "Stat"}, {"SCRIPT_CONT", "Statement"},
            {"SCRIPT_ERR", "Error"}},
           [this] { napolniSkriptoIzTabele(); });
  dbgSkripte->setSelectionMode(QAbstractItemView::ExtendedSelection);
  dbgSkripte->setWordWrap(false);
  dbgSkripte->horizontalHeader()->setStretchLastSection(true);
  // Counter and status as wide as their titles, the statement wider than the error.
  connect(quSkripte, &nuvo::db::Dataset::opened, dbgSkripte, [this] {
    for (int column = 0; column < quSkripte->fieldCount(); ++column) {
      const QString field = quSkripte->columns()[column].name.toUpper();
      if (field == u"SCRIPT_COUNTER" || field == u"SCRIPT_STAT") dbgSkripte->resizeColumnToContents(column);
      if (field == u"SCRIPT_CONT") dbgSkripte->setColumnWidth(column, 240);
    }
  });
  splitter->addWidget(dbgSkripte);

  auto* rightPane = new QWidget(splitter);
  auto* right = new QVBoxLayout(rightPane);
  right->setContentsMargins(0, 0, 0, 0);
  const auto runButton = [page](const char* name, const char* icon, QStyle::StandardPixmap fallback) {
    QPushButton* b = button(name, page);
    b->setIcon(nuvo::widgets::themedIcon(icon, fallback));
    return b;
  };
  spExecOne = runButton("spExecOne", "media-playback-start", QStyle::SP_MediaPlay);
  spExecAllScript = runButton("spExecAllScript", "media-seek-forward", QStyle::SP_MediaSeekForward);
  sbNeizvedeno = runButton("sbNeizvedeno", "edit-undo", QStyle::SP_BrowserReload);
  spDelete = runButton("spDelete", "list-remove", QStyle::SP_DialogDiscardButton);
  spDeleteAll = runButton("spDeleteAll", "edit-delete", QStyle::SP_TrashIcon);
  cbStopOnError = named(new QCheckBox(page), "cbStopOnError");
  cbStopOnError->setChecked(true);
  cbThread = named(new QCheckBox(page), "cbThread");
  cbMess = named(new QCheckBox(page), "cbMess");
  cbMess->setChecked(true);
  btStop = button("btStop", page);
  btCommit = button("btCommit", page);
  btRollback = button("btRollback", page);
  for (QPushButton* b : {btStop, btCommit, btRollback}) b->setEnabled(false);
  Label5 = label("Label5", page);
  cbShowType = named(new QComboBox(page), "cbShowType");
  cbShowType->setPlaceholderText(QStringLiteral("NOT EXECUTED"));
  // Two rows: running and marking the rows, then how a run goes and its transaction.
  auto* controls = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{spExecOne, spExecAllScript, sbNeizvedeno, spDelete, spDeleteAll,
                                                    Label5, cbShowType})
    controls->addWidget(w);
  controls->addStretch();
  right->addLayout(controls);
  auto* runControls = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{cbStopOnError, cbThread, cbMess, btStop, btCommit, btRollback})
    runControls->addWidget(w);
  runControls->addStretch();
  right->addLayout(runControls);

  paStat = named(new QWidget(page), "paStat");
  auto* stat = new QHBoxLayout(paStat);
  laCurrent = label("laCurrent", paStat);
  laStevec = label("laStevec", paStat);
  Label1 = label("Label1", paStat);
  laSkriptNumber = label("laSkriptNumber", paStat);
  laError = label("laError", paStat);
  laErrors = label("laErrors", paStat);
  auto* currentTitle = new QLabel(QStringLiteral("Current :"), paStat);
  auto* stevecTitle = new QLabel(QStringLiteral("To execute:"), paStat);
  for (QWidget* w : std::initializer_list<QWidget*>{currentTitle, laCurrent, stevecTitle, laStevec, Label1,
                                                    laSkriptNumber, laError, laErrors})
    stat->addWidget(w);
  paStat->hide();
  right->addWidget(paStat);
  meTekocaSkripta = named(new QPlainTextEdit(page), "meTekocaSkripta");
  meTekocaSkripta->setReadOnly(true);
  meTekocaSkripta->hide();
  meLong = named(new QPlainTextEdit(page), "meLong");
  dbmError = named(new QPlainTextEdit(page), "dbmError");
  dbmError->setReadOnly(true);
  right->addWidget(meTekocaSkripta, 1);
  right->addWidget(meLong, 1);
  right->addWidget(dbmError);
  splitter->addWidget(rightPane);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);

  connect(spExecAllScript, &QPushButton::clicked, this, &TfmScript::spExecAllScriptClick);
  connect(spExecOne, &QPushButton::clicked, this, &TfmScript::spExecOneClick);
  connect(btStop, &QPushButton::clicked, this, &TfmScript::btStopClick);
  connect(btCommit, &QPushButton::clicked, this, &TfmScript::btCommitClick);
  connect(btRollback, &QPushButton::clicked, this, &TfmScript::btRollbackClick);
  connect(dbgSkripte, &QAbstractItemView::doubleClicked, this, &TfmScript::spDeleteClick);
  connect(spDelete, &QPushButton::clicked, this, &TfmScript::spDeleteClick);
  connect(sbNeizvedeno, &QPushButton::clicked, this, &TfmScript::sbNeizvedenoClick);
  connect(spDeleteAll, &QPushButton::clicked, this, &TfmScript::spDeleteAllClick);
  meLong->installEventFilter(this);
  return page;
}

QWidget* TfmScript::buildDeletePage() {
  auto* page = named(new QWidget, "TabDeleteMore");
  auto* layout = new QVBoxLayout(page);
  lbSkripte = named(new QListWidget(page), "lbSkripte");
  lbSkripte->setSelectionMode(QAbstractItemView::MultiSelection);
  btDelete = button("btDelete", page);
  layout->addWidget(lbSkripte, 1);
  layout->addWidget(btDelete);
  connect(btDelete, &QPushButton::clicked, this, &TfmScript::btDeleteClick);
  return page;
}

QWidget* TfmScript::buildSearchPage() {
  auto* page = named(new QWidget, "TabSearch");
  auto* layout = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  edFindScript = named(new QLineEdit(page), "edFindScript");
  edFindFlt = named(new QLineEdit(page), "edFindFlt");
  edFindErr = named(new QLineEdit(page), "edFindErr");
  cbFIndStat = named(new QComboBox(page), "cbFIndStat");
  btFind = button("btFind", page);
  btFind->setText(QStringLiteral("&Refresh"));
  const std::pair<const char*, QWidget*> fields[] = {{"Script filter:", edFindScript}, {"Text filter:", edFindFlt},
                                                     {"Filt./Error:", edFindErr}, {"Type:", cbFIndStat}};
  for (const auto& [text, field] : fields) {
    row->addWidget(new QLabel(QString::fromUtf8(text), page));
    row->addWidget(field);
  }
  row->addWidget(btFind);
  layout->addLayout(row);
  quFind = named(new nuvo::db::Dataset(&context().osOracle, this), "quFind");
  quFind->setReadOnly(true);
  dbgSearch = named(new TThemedDBGrid(page), "dbgSearch");
  bindGrid(dbgSearch, quFind,
           {{"SCRIPT_NAME", "SCRIPT_NAME"}, {"SCRIPT_COUNTER", "SCRIPT_COUNTER"}, {"SCRIPT_STAT", "SCRIPT_STAT"}},
           [this] { showFoundRow(); });
  layout->addWidget(dbgSearch, 1);
  dbmFindCont = named(new QPlainTextEdit(page), "dbmFindCont");
  dbmFindErr = named(new QPlainTextEdit(page), "dbmFindErr");
  for (QPlainTextEdit* memo : {dbmFindCont, dbmFindErr}) {
    memo->setReadOnly(true);
    layout->addWidget(memo);
  }
  connect(btFind, &QPushButton::clicked, this, &TfmScript::btFindClick);
  // Enter in a filter searches (and presses no other button of the window).
  for (QLineEdit* edit : {edFindScript, edFindFlt, edFindErr}) edit->installEventFilter(this);
  connect(dbgSearch, &QAbstractItemView::doubleClicked, this, &TfmScript::dbgSearchDblClick);
  return page;
}

void TfmScript::showFoundRow() {
  dbmFindCont->setPlainText(nuvo::crlfToLf(textOf(quFind, "SCRIPT_CONT")));
  dbmFindErr->setPlainText(textOf(quFind, "SCRIPT_ERR"));
}

QWidget* TfmScript::buildStatPage() {
  auto* page = named(new QWidget, "tabStat");
  auto* layout = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  edStatScript = named(new QLineEdit(page), "edStatScript");
  cbN = named(new QCheckBox(page), "cbN");
  cbE = named(new QCheckBox(page), "cbE");
  cbD = named(new QCheckBox(page), "cbD");
  btStatRefresh = button("btStatRefresh", page);
  btStatRefresh->setDefault(true);
  btShowScript = button("btShowScript", page);
  row->addWidget(label("Label12", page));
  for (QWidget* w : std::initializer_list<QWidget*>{edStatScript, cbN, cbE, cbD, btStatRefresh, btShowScript})
    row->addWidget(w);
  layout->addLayout(row);
  sgStat = named(new QTableWidget(1, 7, page), "sgStat");
  sgStat->setSelectionBehavior(QAbstractItemView::SelectRows);
  sgStat->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgStat->verticalHeader()->hide();
  sgStat->setWordWrap(false);
  layout->addWidget(sgStat, 1);
  connect(btStatRefresh, &QPushButton::clicked, this, &TfmScript::btStatRefreshClick);
  connect(btShowScript, &QPushButton::clicked, this, &TfmScript::btShowScriptClick);
  connect(sgStat, &QTableWidget::cellDoubleClicked, this, &TfmScript::btShowScriptClick);
  return page;
}

void TfmScript::SetLanguageTexts() {
  TfmMain& m = context();
  const bool slo = m.slovene();
  const auto t = [slo](const char* english, const char* slovene) {
    return QString::fromUtf8(slo ? slovene : english);
  };
  setWindowTitle(slo ? t("", "IZVAJANJE SKRIPT")
                     : QStringLiteral("EXECUTE SCRIPT  (%1@%2)").arg(m.connUser, m.connServer));
  nizErrorAdd = t("ERROR ON ADDING SCRIPT   Number:", "NAPAKA PRI DODAJANJU SKRIPTE   Številka:");
  nizActScript = t("ENTER ACTIVE SCRIPT", "VNESI AKTIVNO SKRIPTO");
  nizSkrPrazna = t("SCRIPT IS NOT EMPTY :", "SKRIPTA NI PRAZNA :");
  nizRec = t("RECORDS", "ZAPISOV");
  nizNoFile = t("No file defined!", "Definiraj datoteko!");
  nizUspesno = t("SCRIPTS EXECUTED OK", "USPEŠNO IZVEDENE SKRIPTE");
  nizNeuspesno = t("SCRIPTS EXECUTED NOK", "NEUSPEŠNO IZVEDENE SKRIPTE");
  nizEnaUspesno = t("SCRIPT EXECUTED OK", "USPEŠNO IZVEDENA SKRIPTA");
  nizEnaNeUspesno = t("SCRIPT EXECUTED NOK", "NEUSPEŠNO IZVEDENA SKRIPTA");
  nizDoesntExist = t(" DOESN'T  EXISTS !", " NE OBSTAJA !");
  nizdelPerm = t("DELETE (PERMANENT)?", "BRISANJE (DOKONČNO)?");
  nizChange = t("CHANGE STATUS TO NOT EXECUTED?", "SPREMENI STATUS NA NEIZVRŠENO?");
  nizNi = t("THERE ARE NO CHOOSEN SCRIPTS !", "NI IZBRANIH SKRIPT !");
  nizDelete = t("DELETE CHOOSEN SCRIPTS", "BRISANJE IZBRANIH SKRIPT");
  nizAll = t("ALL", "VSI");
  nizFileMissing = t("SCRIPT FILE CANNOT BE READ: ", "DATOTEKE SKRIPTE NI MOGOČE PREBRATI: ");
  nizStoredUnfinished = t("SCRIPT %1 IS STORED ALREADY AND %2 OF ITS STATEMENTS ARE NOT EXECUTED OR FAILED; "
                          "THEY ARE NOT RUN AGAIN UNATTENDED",
                          "SKRIPTA %1 JE ŽE SHRANJENA IN %2 NJENIH UKAZOV NI IZVEDENIH ALI SO NAPAČNI; "
                          "BREZ UPORABNIKA SE NE IZVEDEJO");
  nizNotStored = t("SCRIPT %1 WAS NOT STORED", "SKRIPTA %1 NI SHRANJENA");
  nizStoppedWaits = t("SCRIPT %1 STOPPED AT STATEMENT %2: %3; THE SCRIPT WINDOW WAITS FOR THE USER",
                      "SKRIPTA %1 SE JE USTAVILA PRI UKAZU %2: %3; OKNO SKRIPTE ČAKA NA UPORABNIKA");
  nizFailedWaits = t("SCRIPT %1 RAN WITH %2 FAILED STATEMENTS; THE SCRIPT WINDOW WAITS FOR THE USER",
                     "SKRIPTA %1 SE JE IZVEDLA S %2 NAPAČNIMI UKAZI; OKNO SKRIPTE ČAKA NA UPORABNIKA");

  const struct {
    QWidget* widget;
    const char* english;
    const char* slovene;
  } captions[] = {
      {laSkriptName, "Script:", "Skripta:"},
      {btScriptPut, "&Put into Table", "Shrani v tabelo"},
      {btSaveScript, "&Save Script", "Shrani skripto"},
      {laLastVersion, "Last version:", "Zadnja verzija:"},
      {laSkripta, "ACTIVE SCRIPT:", "Aktivna skripta:"},
      {laFltErr, "Filt./Error:", "Flt/Napaka"},
      {spFltScript, "Refresh", "Osveži"},
      {LabelType, "Type: ", " Tip:"},
      {Label5, "Type:", " Tip:"},
      {cbStopOnError, "Break on error", "Stop na nap."},
      {cbThread, "Thread", "ozadje"},
      {cbMess, "Mess", "Spor"},
      {laError, "Errors:", "Napaka"},
      {Label1, "Script number:", "Številka skripte:"},
      {btDelete, "DELETE CHOSEN SCRIPTS", "BRISANJE IZBRANIH SKRIPT"},
      {btStatRefresh, "&Refresh", "&Osveži"},
      {btShowScript, "&Show Script", "Prikaži skripto"},
      {cbN, "Scripts with Not Executed", "Skripte z neizvršenimi ukazi"},
      {cbE, "Script with Errors", "Skripte z ukazi z napakami"},
      {cbD, "Script with Deleted", "Skripte z brisanimi ukazi"},
      {findChild<QLabel*>(QStringLiteral("Label12")), "Script filter :", "Filter za ime skripte:"},
  };
  for (const auto& c : captions) {
    const QString text = t(c.english, c.slovene);
    if (auto* l = qobject_cast<QLabel*>(c.widget)) l->setText(text);
    if (auto* b = qobject_cast<QAbstractButton*>(c.widget)) b->setText(text);
  }
  btStop->setText(slo ? m.nizStop : QStringLiteral("&Stop"));
  btCommit->setText(slo ? m.nizCommit : QStringLiteral("&Commit"));
  btRollback->setText(slo ? m.nizRollback : QStringLiteral("&Rollback"));
  sgStat->setHorizontalHeaderLabels(slo ? kStatHeaderSlo : kStatHeader);
  // Short captions beside the pictures; the long texts are the hints below.
  const struct {
    QAbstractButton* button;
    const char* english;
    const char* slovene;
  } shortCaptions[] = {
      {tbOpenF, "Open", "Odpri"},
      {tbRun, "Execute", "Izvedi"},
      {tbSearch, "Search", "Iskanje"},
      {tbStat, "Statistics", "Statistika"},
      {tbLargeRB, "Large RB", "Velik RB"},
      {ToolButton2, "Errors", "Napake"},
      {tbDeleteMore, "Delete", "Briši"},
      {tbExit, "Exit", "Izhod"},
      {spExecOne, "Current", "Trenutna"},
      {spExecAllScript, "All", "Vse"},
      {sbNeizvedeno, "Not executed", "Neizvedeno"},
      {spDelete, "Deleted", "Brisan"},
      {spDeleteAll, "Delete", "Briši"},
  };
  for (const auto& c : shortCaptions) c.button->setText(t(c.english, c.slovene));
  if (auto* model = dynamic_cast<TitledDatasetModel*>(dbgSkripte->model())) {
    model->setTitle(QStringLiteral("SCRIPT_CONT"), t("Statement", "Ukaz"));
    model->setTitle(QStringLiteral("SCRIPT_ERR"), t("Error", "Napaka"));
  }
  const struct {
    QWidget* widget;
    const char* english;
    const char* slovene;
  } hints[] = {
      {tbOpenF, "Open script from file", "Odpri datoteko"},
      {tbRun, "Execute script", "Izvedi"},
      {tbSearch, "Search", "Iskanje"},
      {tbStat, "Statistics", "Statistika"},
      {tbLargeRB, "Large RB ONLINE", "Velik RB ONLINE"},
      {ToolButton2, "Errors", "Napake"},
      {tbDeleteMore, "Delete scripts", "Brisanje skript"},
      {tbExit, "Exit", "Izhod"},
      {cbAllScripts, "Delete - delete script", "Delete - brisanje izbrane skripte"},
      {edFilter, "Filter on skripts", "Filter na skripte"},
      {edNapaka, "filter on errors", "Filter na napake"},
      {spExecOne, "Execute Current Script", "Izvedi trenutno skripto"},
      {spExecAllScript, "Execute All", "Izvedi vse skripte"},
      {sbNeizvedeno, "Set status \"NOT EXECUTED\" on choosen scripts",
       "Postavi status neizvedeno na vseh izbranih skriptah"},
      {spDelete, "Set status to deleted (on current script)", "Postavi status brisan na trenutni skripti"},
      {spDeleteAll, "Delete choosen scripts(permanet)", "Postavi status brisan na vse izbranih skriptah"},
  };
  for (const auto& h : hints) h.widget->setToolTip(t(h.english, h.slovene));
  const QStringList types = slo ? QStringList{QStringLiteral("N - NEIZVRŠENI"), QStringLiteral("X - IZVRŠENI"),
                                              QStringLiteral("D - BRISANI"), QStringLiteral("E - NAPAKE")}
                                : QStringList{QStringLiteral("N - NOT EXECUTED"), QStringLiteral("X - EXECUTED"),
                                              QStringLiteral("D - DELETED"), QStringLiteral("E - ERRORS")};
  const QSignalBlocker block(cbShowType);
  const int shown = cbShowType->currentIndex();  // -1 until a status is chosen: not executed
  cbShowType->clear();
  cbShowType->addItems(types + QStringList{QStringLiteral("A - ") + nizAll});
  cbShowType->setCurrentIndex(shown);
  const QStringList designTypes = {QStringLiteral("N - NOT EXECUTED"), QStringLiteral("X - EXECUTED"),
                                   QStringLiteral("D - DELETED"), QStringLiteral("E - ERRORS"), QStringLiteral("ALL")};
  for (QComboBox* box : {cbStat, cbFIndStat}) {
    const QSignalBlocker blockBox(box);
    box->clear();
    box->addItems(designTypes);
  }
  cbStat->setCurrentIndex(4);
  cbFIndStat->setCurrentIndex(0);
}

// ---------------------------------------------------------------------------------------------
// Pages and the statement list

void TfmScript::showPage(QWidget* page, bool header) {
  paGlava->setVisible(header);
  pcExec->setCurrentWidget(page);
}

void TfmScript::tbOpenFClick() { showPage(tabOpenFile, true); }

void TfmScript::tbRunClick() {
  showPage(tabExec, true);
  btRefreshClick();
}

nuvo::sqlwork::ScriptScope TfmScript::scope() const {
  nuvo::sqlwork::ScriptScope s;
  s.ownerColumns = p_scriptDateOwner;
  if (p_scriptDateOwner && (p_owner || context().currMoreInstall)) s.owner = context().connUser.toUpper();
  return s;
}

void TfmScript::FillScriptList() {
  currFile.clear();
  const QString typed = cbAllScripts->currentText();
  const QSignalBlocker block(cbAllScripts);
  cbAllScripts->clear();
  try {
    cbAllScripts->addItems(nuvo::sqlwork::scriptNames(context().osOracle, scope()));
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  cbAllScripts->setEditText(typed);
}

void TfmScript::cbAllScriptsClick() {
  const QString name = cbAllScripts->currentText().trimmed().toUpper();
  cbAllScripts->setEditText(name);
  context().currentScript = name;
  if (pcExec->currentWidget() != tabOpenFile) {
    if (cbShowType->currentIndex() < 0) {
      const QSignalBlocker block(cbShowType);
      cbShowType->setCurrentIndex(4);
    }
    tbRunClick();
  }
}

void TfmScript::btRefreshClick() {
  listedScript_ = context().currentScript.toUpper();
  zadnjaSkripta = kNoRowShown;
  quSkripte->close();
  if (!listedScript_.isEmpty()) {
    listFilter_ = {firstCharacter(cbShowType), orAll(edNapaka->text().toUpper()), orAllTrimmed(edFilter->text())};
    try {
      nuvo::sqlwork::setScriptList(*quSkripte, listedScript_, scope(), listFilter_);
      quSkripte->open();
    } catch (const nuvo::db::Error& e) {
      nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    }
  }
  napolniSkriptoIzTabele();
}

int TfmScript::currentCounter() const { return textOf(quSkripte, "SCRIPT_COUNTER").toInt(); }

int TfmScript::listRowOf(int counter) {
  for (int row = 0;; ++row) {
    if (row == quSkripte->recordCount() && (quSkripte->allFetched() || quSkripte->fetchMore() == 0)) return -1;
    if (quSkripte->value(row, QStringLiteral("SCRIPT_COUNTER")).toInt() == counter) return row;
  }
}

void TfmScript::napolniSkriptoIzTabele() {
  dbmError->setPlainText(textOf(quSkripte, "SCRIPT_ERR"));
  const int row = quSkripte->currentRow();
  if (row < 0) {
    meLong->clear();
    zadnjaSkripta = kNoRowShown;
    shownCounter_ = 0;
    return;
  }
  const int counter = currentCounter();
  const QString key = textOf(quSkripte, "SCRIPT_NAME") + QString::number(counter);
  if (key == zadnjaSkripta) return;
  zadnjaSkripta = key;
  shownCounter_ = counter;
  meLong->setPlainText(nuvo::crlfToLf(textOf(quSkripte, "SCRIPT_CONT")));
}

void TfmScript::cbShowTypeChange() {
  restoreListDisplay();
  btRefreshClick();
}

void TfmScript::restoreListDisplay() {
  dbgSkripte->show();
  meLong->show();
  dbmError->show();
  meTekocaSkripta->hide();
  paStat->hide();
  btStop->setEnabled(false);
  QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------------------------------------
// Loading and storing

void TfmScript::LoadScriptFile() {
  btScriptPut->setEnabled(false);
  currFile = edDir->text() + QLatin1Char('\\') + edSkripta->text();
  bool loaded = false;
  if (!edDir->text().isEmpty() && !edSkripta->text().isEmpty()) {
    try {
      const QString path = nuvo::resolvePath(currFile + QStringLiteral(".sql"));
      meVse->setPlainText(nuvo::crlfToLf(nuvo::readTextFile(path).text));
      currFile = path;
      loaded = true;
    } catch (const std::exception&) {
      // Not readable: the open dialog is offered below.
    }
  }
  // An unattended run never waits for a person: an unreadable script is its failure.
  if (!loaded && !p_auto) {
    QFileDialog dialog(this, QString(), nuvo::resolvePath(edDir->text()), QStringLiteral("*.sql"));
    dialog.setDefaultSuffix(QStringLiteral("sql"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (nuvo::execModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      const QString chosen = dialog.selectedFiles().first();
      try {
        meVse->setPlainText(nuvo::crlfToLf(nuvo::readTextFile(chosen).text));
        currFile = chosen;
        loaded = true;
        TfmMain& m = context();
        m.FileDirName(chosen, m.currentScript, m.currentScriptDir);
        const int p = nuvo::desnaPozicija(chosen);
        if (p < 0) {
          edSkripta->setText(chosen);
        } else {
          edDir->setText(chosen.left(p - 1).toUpper());
          QString name = chosen.mid(p, 100);
          name.chop(4);
          edSkripta->setText(name.toUpper());
        }
        m.currentScript = edSkripta->text();
      } catch (const std::exception& e) {
        nuvo::showMessage(QString::fromUtf8(e.what()), nuvo::MessageKind::Error, this);
      }
    }
  }
  if (!loaded) currFile.clear();
  btScriptPut->setEnabled(loaded);
}

void TfmScript::btOpenFileClick() {
  LoadScriptFile();
  btSaveScript->setEnabled(false);
}

void TfmScript::btSaveScriptClick() {
  if (currFile.isEmpty()) {
    nuvo::showMessage(nizNoFile, nuvo::MessageKind::Information, this);
    return;
  }
  try {
    nuvo::TextEncoding encoding = nuvo::TextEncoding::Utf8;
    try {
      encoding = nuvo::readTextFile(currFile).encoding;
    } catch (const std::exception&) {
      // A file that is gone is written anew in UTF-8.
    }
    nuvo::writeTextFile(currFile, nuvo::lfToCrlf(meVse->toPlainText()), encoding);
    nuvo::showMessage(context().nizDone, nuvo::MessageKind::Information, this);
    btSaveScript->setEnabled(false);
  } catch (const std::exception& e) {
    nuvo::showMessage(QString::fromUtf8(e.what()), nuvo::MessageKind::Error, this);
  }
}

void TfmScript::btScriptPutClick() { storeLoadedScript(); }

TfmScript::StoreResult TfmScript::storeLoadedScript() {
  TfmMain& m = context();
  const QString name = edSkripta->text().trimmed().toUpper();
  if (name.isEmpty()) {
    nuvo::showMessage(nizActScript, nuvo::MessageKind::Information, this);
    return StoreResult::Failed;
  }
  edSkripta->setText(name);
  m.currentScript = name;
  int count = 0;
  try {
    count = nuvo::sqlwork::countScriptRows(m.osOracle, name, scope());
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    return StoreResult::Failed;
  }
  if (count > 0) {
    if (!p_auto)
      nuvo::showMessage(nizSkrPrazna + QString::number(count) + QLatin1Char(' ') + nizRec,
                        nuvo::MessageKind::Information, this);
    return StoreResult::AlreadyStored;
  }
  const bool stored = shraniVTabelo();
  FillScriptList();
  cbAllScripts->setEditText(name);
  zadnjaSkripta.clear();
  tbRunClick();
  if (!stored) return StoreResult::Failed;
  TfmtableUtil::ShraniLastVer(name);
  laVerzija->setText(TfmtableUtil::GetLastVer());
  return StoreResult::Stored;
}

bool TfmScript::shraniVTabelo() {
  TfmMain& m = context();
  nuvo::sqlwork::ParseEffects effects;
  effects.condition = [&m](const QString& query) {
    try {
      nuvo::db::Query q(&m.osOracle);
      q.setSql(query);
      q.execute();
      std::optional<qint64> first;
      if (q.isQuery() && !q.eof() && q.fieldCount() > 0) first = q.field(0).asInteger();
      m.osOracle.commit();
      return nuvo::sqlwork::ConditionAnswer{false, first};
    } catch (const std::exception&) {
      return nuvo::sqlwork::ConditionAnswer::failure();
    }
  };
  if (m.currMoreInstall)
    effects.rename = [&m](const QString& text) { return m.zamenjave(text, QStringLiteral("SKRIPTA")); };
  if (m.p_hostAudit != u"N") {
    effects.auditPlsqlFile = [&m](const QString& file) {
      try {
        const QString path = nuvo::resolvePath(file);
        const nuvo::DecodedText text = nuvo::readTextFile(path);
        nuvo::writeTextFile(path, m.f_venPodpicje(text.text), text.encoding);
      } catch (const std::exception&) {
        // The audit rewrite is best effort.
      }
    };
  }
  const QStringList lines = meVse->toPlainText().split(QLatin1Char('\n'));
  const auto rows = nuvo::sqlwork::parseScript(lines, effects);
  const auto error = nuvo::sqlwork::storeScript(m.osOracle, edSkripta->text(), rows, scope(), m.connUser);
  if (!error) return true;
  nuvo::showMessage(nizErrorAdd + QString::number(error->counter) + kCrLf + error->sourceLines + kCrLf +
                        error->message,
                    nuvo::MessageKind::Error, this);
  return false;
}

// ---------------------------------------------------------------------------------------------
// Running the rows

nuvo::sqlwork::RowContext TfmScript::rowContext() {
  TfmMain& m = context();
  nuvo::sqlwork::RowContext c;
  c.user = m.connUser.toUpper();
  c.doesntExist = nizDoesntExist;
  c.readFile = [](const QString& file) { return nuvo::readTextFile(nuvo::resolvePath(file)).text; };
  if (m.currMoreInstall)
    c.rename = [&m](const QString& text) { return m.zamenjave(text, QStringLiteral("SKRIPTA")); };
  if (cbThread->isChecked()) c.threaded = [this](const QString& sql) { return runExecSQL(sql); };
  return c;
}

bool TfmScript::execRow(int counter, const QString& text, nuvo::sqlwork::RowStatusWriter& status) {
  const auto outcome = nuvo::sqlwork::runRowStatement(quDyn, text, rowContext());
  status.write(counter, outcome);
  lastRowError_ = outcome.error;
  return outcome.goOn;
}

bool TfmScript::ExecScript() {
  const int row = quSkripte->currentRow();
  const int counter = currentCounter();
  if (counter == 0) return true;
  napolniSkriptoIzTabele();
  nuvo::sqlwork::RowStatusWriter status(context().osOracle, listedScript_, scope());
  const bool goOn = execRow(counter, nuvo::lfToCrlf(meLong->toPlainText()), status);
  quSkripte->refreshRow(row);
  napolniSkriptoIzTabele();
  return goOn;
}

QString TfmScript::runExecSQL(const QString& sql) {
  threadNadaljuj = false;
  enDisButtons(false);
  auto* thread = new TExecSqlThread(this, sql);
  thread->start(QThread::LowestPriority);
  while (!threadNadaljuj) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  if (!running_) enDisButtons(true);
  return threadsqlNapaka ? threadSQLErr : QString();
}

void TfmScript::DeloKoncano(bool failed, const QString& error) {
  threadsqlNapaka = failed;
  threadSQLErr = error;
  threadNadaljuj = true;
}

void TfmScript::enDisButtons(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{spExecOne, spExecAllScript, btRefresh, cbShowType, sbNeizvedeno,
                                                    spDelete, spDeleteAll, cbAllScripts, dbgSkripte})
    w->setEnabled(enabled);
}

void TfmScript::showMessagePoSQL(const QString& text) {
  QApplication::restoreOverrideCursor();
  nuvo::showMessage(text, nuvo::MessageKind::Information, this);
}

void TfmScript::spExecOneClick() {
  try {
    showMessagePoSQL(ExecScript() ? nizEnaUspesno : nizEnaNeUspesno);
  } catch (const nuvo::db::Error& e) {
    showMessagePoSQL(context().nizError + QStringLiteral(": ") + e.message());
  }
  btCommitClick();
}

void TfmScript::spExecAllScriptClick() {
  if (running_) return;
  TfmMain& m = context();
  // Window messages are processed between rows: nothing that runs, resets or deletes rows may start
  // meanwhile, and the window stays open.
  const QScopedValueRollback running(running_, true);
  enDisButtons(false);
  const auto enable = qScopeGuard([this] { enDisButtons(true); });
  dbgSkripte->hide();
  for (QLabel* l : {laCurrent, laSkriptNumber, laErrors}) l->clear();
  paStat->show();
  meLong->hide();
  meTekocaSkripta->show();
  dbmError->hide();
  konec = false;
  btStop->setEnabled(true);

  QVector<nuvo::sqlwork::StoredRow> rows;
  try {
    rows = nuvo::sqlwork::pendingRows(m.osOracle, listedScript_, scope(), listFilter_.napaka, listFilter_.filter);
  } catch (const nuvo::db::Error& e) {
    restoreListDisplay();
    p_napaka = true;
    m.pExecuteScriptNapaka = true;
    showMessagePoSQL(e.message());
    return;
  }
  laStevec->setText(QString::number(rows.size()));
  {
    const QSignalBlocker block(cbShowType);
    cbShowType->setCurrentIndex(0);
  }
  QCoreApplication::processEvents();

  nuvo::sqlwork::RowStatusWriter status(m.osOracle, listedScript_, scope());
  int done = 0;
  int failures = 0;
  bool ok = true;
  // The running row is shown at most every kProgressInterval: laying out each row's text would
  // cost more than running a simple statement.
  QElapsedTimer lastShown;
  const auto showProgress = [&](const nuvo::sqlwork::StoredRow& row) {
    meTekocaSkripta->setPlainText(nuvo::crlfToLf(row.text));
    laCurrent->setText(QString::number(done));
    laSkriptNumber->setText(QString::number(row.counter));
    lastShown.start();
  };
  for (const auto& row : rows) {
    if (konec) break;
    ++done;
    if (!lastShown.isValid() || lastShown.elapsed() >= kProgressInterval) showProgress(row);
    QCoreApplication::processEvents();  // Stop, clicked now, is taken before the next row
    bool goOn = false;
    try {
      goOn = execRow(row.counter, row.text, status);
    } catch (const nuvo::db::Error& e) {
      // The status could not be written: the run ends as failed, never half-way.
      restoreListDisplay();
      p_napaka = true;
      m.pExecuteScriptNapaka = true;
      showMessagePoSQL(m.nizError + QStringLiteral(": ") + e.message());
      btRefreshClick();
      return;
    }
    if (goOn) continue;
    showProgress(row);  // the failing row stays in view
    laErrors->setText(QString::number(++failures));
    if (cbStopOnError->isChecked()) {
      konec = true;
      // An unattended run says at once why it waits, before a message box or the open window holds it.
      if (p_auto) emit unattendedWaits(nizStoppedWaits.arg(listedScript_).arg(row.counter).arg(lastRowError_.trimmed()));
      if (cbMess->isChecked())
        MessageDialog(m.nizError + QStringLiteral(":") + kCrLf + kCrLf + row.text, TMsgDlgType::mtConfirmation, mbYes, 0);
      restoreListDisplay();
      p_napaka = true;
      m.pExecuteScriptNapaka = true;
      btRefreshClick();
      return;
    }
    ok = false;
  }
  restoreListDisplay();
  btCommitClick();
  m.pExecuteScriptNapaka = false;
  if (!ok) {
    if (p_auto) emit unattendedWaits(nizFailedWaits.arg(listedScript_).arg(failures));
    p_auto = false;
    showMessagePoSQL(nizNeuspesno);
  } else if (!p_auto) {
    showMessagePoSQL(nizUspesno);
  }
  edSkripta->clear();
  btRefreshClick();
}

void TfmScript::btCommitClick() {
  try {
    context().osOracle.commit();
  } catch (const nuvo::db::Error& e) {
    showMessagePoSQL(e.message());
  }
  btCommit->setEnabled(false);
  btRollback->setEnabled(false);
}

void TfmScript::btRollbackClick() {
  try {
    context().osOracle.rollback();
  } catch (const nuvo::db::Error& e) {
    showMessagePoSQL(e.message());
  }
  btCommit->setEnabled(false);
  btRollback->setEnabled(false);
  btRefreshClick();
}

// ---------------------------------------------------------------------------------------------
// Deleting scripts

void TfmScript::tbDeleteMoreClick() {
  showPage(TabDeleteMore, false);
  FillScriptList();
  lbSkripte->clear();
  for (int i = 0; i < cbAllScripts->count(); ++i) lbSkripte->addItem(cbAllScripts->itemText(i));
}

void TfmScript::btDeleteClick() {
  const auto selected = lbSkripte->selectedItems();
  if (selected.isEmpty()) {
    nuvo::showMessage(nizNi, nuvo::MessageKind::Information, this);
  } else if (MessageDialog(nizDelete + QStringLiteral(" : ") + QString::number(selected.size()) + QStringLiteral(" ?"),
                           TMsgDlgType::mtConfirmation, mbYes | mbNo, 0) == mrYes) {
    try {
      for (const QListWidgetItem* item : selected) {
        nuvo::sqlwork::deleteScript(context().osOracle, item->text(), scope());
        context().osOracle.commit();
      }
    } catch (const nuvo::db::Error& e) {
      showMessagePoSQL(e.message());
    }
  }
  tbDeleteMoreClick();
}

// ---------------------------------------------------------------------------------------------
// Marking and deleting rows of the listed script

void TfmScript::spFltScriptClick() {
  currFile.clear();
  QStringList names;
  try {
    names = nuvo::sqlwork::filteredScriptNames(
        context().osOracle, cbAllScripts->currentText() + QLatin1Char('%'), scope(),
        {firstCharacter(cbStat), orAll(edNapaka->text().toUpper()), orAll(edFilter->text())});
  } catch (const nuvo::db::Error& e) {
    showMessagePoSQL(e.message());
    return;
  }
  {
    const QSignalBlocker block(cbAllScripts);
    cbAllScripts->clear();
    cbAllScripts->addItems(names);
    cbAllScripts->setEditText(names.isEmpty() ? QString() : names.first());
  }
  if (!cbStat->currentText().isEmpty()) {
    const int index = cbShowType->findText(cbStat->currentText().left(1), Qt::MatchStartsWith);
    const QSignalBlocker block(cbShowType);
    cbShowType->setCurrentIndex(index < 0 ? 4 : index);
  }
  cbAllScriptsClick();
}

bool TfmScript::writeListField(int row, const QString& field, const QVariant& value) {
  try {
    quSkripte->edit(row);
    quSkripte->setValue(field, value);
    quSkripte->post();
    context().osOracle.commit();
    quSkripte->refreshRow(row);
    return true;
  } catch (const nuvo::db::Error& e) {
    quSkripte->cancel();
    showMessagePoSQL(e.message());
    return false;
  }
}

void TfmScript::spDeleteClick() {
  const int row = quSkripte->currentRow();
  if (row < 0) return;
  napolniSkriptoIzTabele();
  const bool deleted = textOf(quSkripte, "SCRIPT_STAT") == u"D";
  writeListField(row, QStringLiteral("SCRIPT_STAT"), deleted ? QStringLiteral("N") : QStringLiteral("D"));
  btCommit->setEnabled(true);
  btRollback->setEnabled(true);
}

void TfmScript::sbNeizvedenoClick() {
  if (MessageDialog(nizChange, TMsgDlgType::mtConfirmation, mbYes | mbNo, 0) == mrNo) return;
  try {
    nuvo::sqlwork::resetScript(context().osOracle, cbAllScripts->currentText(), scope());
  } catch (const nuvo::db::Error& e) {
    showMessagePoSQL(e.message());
  }
  btCommit->setEnabled(true);
  btRollback->setEnabled(true);
  tbRunClick();
}

void TfmScript::spDeleteAllClick() {
  if (!brezVprasanja && MessageDialog(nizdelPerm, TMsgDlgType::mtConfirmation, mbYes | mbNo, 0) != mrYes) return;
  edFilter->clear();
  const bool listedOnly = firstCharacter(cbShowType) != u"A";
  try {
    if (listedOnly) {
      // The rows the list shows, one by one from its first.
      quSkripte->fetchAll();
      while (quSkripte->recordCount() > 0) quSkripte->remove(0);
    } else {
      nuvo::sqlwork::deleteScript(context().osOracle, context().currentScript, scope());
    }
  } catch (const nuvo::db::Error& e) {
    showMessagePoSQL(e.message());
  }
  btRefreshClick();
  btCommitClick();
  if (listedOnly) return;
  FillScriptList();
  cbAllScripts->setFocus();
}

void TfmScript::deleteChosenScript() {
  brezVprasanja = true;
  {
    const QSignalBlocker block(cbShowType);
    cbShowType->setCurrentIndex(4);
  }
  const QString typed = p_zadVnosFilterSkripta;
  if (cbAllScripts->currentIndex() < 0) {
    nuvo::showMessage(QStringLiteral("NI IZBRANEGA"), nuvo::MessageKind::Information, this);
  } else {
    const QString chosen = cbAllScripts->itemText(cbAllScripts->currentIndex()).toUpper();
    context().currentScript = chosen;
    cbAllScripts->setEditText(chosen);
    spDeleteAllClick();
    cbAllScripts->setEditText(typed);
  }
  brezVprasanja = false;
}

void TfmScript::Delete1Click() {
  const int chosen = cbAllScripts->currentIndex();
  nuvo::showMessage(chosen < 0 ? QStringLiteral("NI IZBRANEGA") : cbAllScripts->itemText(chosen),
                    nuvo::MessageKind::Information, this);
}

void TfmScript::meLongExit() {
  if (meLong->toPlainText() == tekocaScr || shownCounter_ == 0) return;
  // The row whose text the memo shows, also when the list has moved on meanwhile.
  const int row = listRowOf(shownCounter_);
  if (row < 0) return;
  if (writeListField(row, QStringLiteral("SCRIPT_CONT"), nuvo::lfToCrlf(meLong->toPlainText())))
    tekocaScr = meLong->toPlainText();
}

// ---------------------------------------------------------------------------------------------
// Search and statistics

void TfmScript::tbSearchClick() {
  showPage(TabSearch, false);
  if (!quFind->isOpen()) btFindClick();
}

void TfmScript::btFindClick() {
  const QString pattern =
      edFindScript->text().isEmpty() ? QStringLiteral("A") : edFindScript->text() + QLatin1Char('%');
  try {
    nuvo::sqlwork::setSearch(*quFind, pattern, scope(),
                             {firstCharacter(cbFIndStat), orAll(edFindErr->text()), orAllTrimmed(edFindFlt->text())});
    quFind->open();
  } catch (const nuvo::db::Error& e) {
    showMessagePoSQL(e.message());
  }
  showFoundRow();
}

void TfmScript::dbgSearchDblClick() {
  if (quFind->currentRow() < 0) return;
  const QString name = textOf(quFind, "SCRIPT_NAME");
  const int counter = textOf(quFind, "SCRIPT_COUNTER").toInt();
  cbAllScripts->setEditText(name);
  {
    const QSignalBlocker block(cbShowType);
    cbShowType->setCurrentIndex(4);
  }
  context().currentScript = name;
  tbRunClick();
  if (const int row = listRowOf(counter); row >= 0) quSkripte->setCurrentRow(row);
}

void TfmScript::tbStatClick() {
  showPage(tabStat, false);
  if (sgStat->item(0, 0) == nullptr || sgStat->item(0, 0)->text().isEmpty()) btStatRefreshClick();
}

void TfmScript::btStatRefreshClick() {
  QVector<nuvo::sqlwork::StatGroup> groups;
  try {
    groups = nuvo::sqlwork::statisticsGroups(
        context().osOracle,
        edStatScript->text().isEmpty() ? QStringLiteral("A") : edStatScript->text() + QLatin1Char('%'), scope());
  } catch (const nuvo::db::Error& e) {
    showMessagePoSQL(e.message());
    return;
  }
  const auto lines =
      nuvo::sqlwork::statisticsLines(groups, {cbN->isChecked(), cbE->isChecked(), cbD->isChecked()});
  sgStat->setRowCount(std::max<int>(1, static_cast<int>(lines.size())));
  sgStat->clearContents();
  for (int row = 0; row < lines.size(); ++row) {
    const auto& line = lines[row];
    const QStringList cells = {line.name, line.owner, line.date, line.counts[0], line.counts[1], line.counts[2],
                               line.counts[3]};
    for (int column = 0; column < cells.size(); ++column)
      sgStat->setItem(row, column, new QTableWidgetItem(cells[column]));
  }
  sgStat->resizeColumnsToContents();
}

void TfmScript::btShowScriptClick() {
  const int row = sgStat->currentRow();
  const QTableWidgetItem* item = row < 0 ? nullptr : sgStat->item(row, 0);
  if (item == nullptr) return;
  showPage(tabExec, true);
  cbAllScripts->setEditText(item->text());
  // The last ticked status that applies wins: D, then N, then E; the header's status box, when it
  // holds a status, decides after all (spFltScriptClick).
  int status = -1;
  if (cbD->isChecked()) status = 2;
  if (cbN->isChecked()) status = 0;
  if (cbE->isChecked()) status = 3;
  if (status >= 0) {
    const QSignalBlocker block(cbShowType);
    cbShowType->setCurrentIndex(status);
  }
  spFltScriptClick();
}

bool TfmScript::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == edFindScript || watched == edFindFlt || watched == edFindErr) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      btFindClick();
      return true;
    }
  }
  if (watched == meLong && event->type() == QEvent::FocusIn) tekocaScr = meLong->toPlainText();
  if (watched == meLong && event->type() == QEvent::FocusOut) meLongExit();
  if ((watched == cbAllScripts || watched == cbAllScripts->lineEdit()) && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    deleteChosenScript();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Activation, the unattended path and closing

bool TfmScript::event(QEvent* event) {
  const bool handled = QDialog::event(event);
  if (event->type() == QEvent::WindowActivate) FormActivate();
  // Without a window manager a window is never activated: an unattended run then starts once the
  // window is shown, so it cannot wait for ever.
  if (event->type() == QEvent::Show && p_auto && !autoStarted_)
    QTimer::singleShot(nuvo::kActivationFallbackMs, this, [this] {
      if (!autoStarted_) FormActivate();
    });
  return handled;
}

void TfmScript::FormActivate() {
  TfmMain& m = context();
  // A message box of the unattended run activates the window again; its failure must stay set so
  // the window stays open.
  if (!autoStarted_) p_napaka = false;
  if (QAction* largeRB = m.command(QStringLiteral("mmActivateLargeRB"))) tbLargeRB->setChecked(largeRB->isChecked());
  if (p_auto && !autoStarted_) {
    autoStarted_ = true;
    runUnattended();
  }
  napolniSkriptoIzTabele();
}

void TfmScript::runUnattended() {
  TfmMain& m = context();
  const QString name = m.currentScript.toUpper();
  int count = 0;
  int unfinished = 0;
  try {
    count = nuvo::sqlwork::countScriptRows(m.osOracle, name, scope());
    if (count > 0) unfinished = nuvo::sqlwork::countUnfinishedRows(m.osOracle, name, scope());
  } catch (const nuvo::db::Error& e) {
    failUnattended(QStringLiteral("SCRIPT ") + name + QStringLiteral(": ") + e.message());
    return;
  }
  // A stored script runs no more unattended: rows left N or E (a run killed half-way, or one that
  // failed) would otherwise stay so for good while the run ends as a success.
  if (unfinished > 0) {
    failUnattended(nizStoredUnfinished.arg(name).arg(unfinished));
    return;
  }
  if (count > 0) {
    tiClose->start();
    return;
  }
  LoadScriptFile();
  if (currFile.isEmpty()) {
    failUnattended(nizFileMissing + nuvo::resolvePath(edDir->text() + QLatin1Char('\\') + edSkripta->text() +
                                                      QStringLiteral(".sql")));
    return;
  }
  if (storeLoadedScript() != StoreResult::Stored) {
    failUnattended(nizNotStored.arg(name));
    return;
  }
  tbRunClick();
  spExecAllScriptClick();
  if (!p_napaka) tiClose->start();
}

void TfmScript::failUnattended(const QString& text) {
  p_napaka = true;
  context().pExecuteScriptNapaka = true;
  // Shown over the main window, which stays open after a failed run; this window closes.
  nuvo::showNotice(text, nuvo::MessageKind::Error, &context());
  emit unattendedFailed(text);
  tiClose->start();
}

void TfmScript::closeEvent(QCloseEvent* event) {
  // The run goes on after each processing of window messages: the window must still be there.
  if (!threadNadaljuj || running_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}
