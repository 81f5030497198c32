#include "sqlwork/editpl.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "admin/errors.h"
#include "db/error.h"
#include "platform/appdirs.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "schema/tabConte.h"
#include "schema/tableRef.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell/main_helpers.h"
#include "shell/sql_catalog.h"
#include "sqlwork/editpl_compile.h"
#include "sqlwork/sql_editor.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"
#include "widgets/window_commands.h"
#include "shell/IGridUtils.h"

using nuvo::sqlwork::TemplateMode;

using nuvo::widgets::guarded;

namespace {

const nuvo::SqlText kUsers{"editpl.quUsers", {"SELECT USERNAME FROM ALL_USERS", "order by USERNAME"}};
const nuvo::SqlText kTables{"editpl.quTables",
                            {"SELECT OWNER,TABLE_NAME FROM ALL_TABLES", " WHERE OWNER=:UPOR", "ORDER BY TABLE_NAME"}};
const nuvo::SqlText kColumns{"editpl.quColumns",
                             {"SELECT COLUMN_NAME,DATA_TYPE,DATA_LENGTH ", " FROM  ALL_TAB_COLUMNS",
                              "WHERE OWNER=:upor AND TABLE_NAME=:tabela", "order by column_id"}};
const nuvo::SqlText kTemplate{"editpl.quTemplate",
                              {"select * from nuvo_util.nuvo_pl_tpl", "where tpl_sifra like :template"}};
const nuvo::SqlText kInsertTemplate{"editpl.quUpdate.insert",
                                    {"insert into nuvo_util.nuvo_pl_tpl (tpl_sifra,tpl_desc,tpl_cont)",
                                     " values(:sifra,:desc,:cont)"}};
const nuvo::SqlText kUpdateTemplate{"editpl.quUpdate.update",
                                    {"update nuvo_util.nuvo_pl_tpl set tpl_desc=:desc,tpl_cont=:cont ",
                                     " where tpl_sifra=:sifra"}};

constexpr int kTemplateLength = 200;
int g_editorCount = 0;

using nuvo::shell::named;

TfmMain& context() { return *fmMain(); }

QToolButton* toolButton(const char* name, const QString& text, QWidget* parent) {
  auto* b = named(new QToolButton(parent), name);
  b->setText(text);
  b->setToolTip(text);
  b->setAutoRaise(true);
  return b;
}


}  // namespace

TfmEditPL::TfmEditPL(QWidget* parent)
    : QMainWindow(parent),
      quUsers(&context().osOracle),
      quTables(&context().osOracle),
      quColumns(&context().osOracle),
      quUpdate(&context().osOracle),
      quTemplate(&context().osOracle) {
  setObjectName(QStringLiteral("fmEditPL_%1").arg(++g_editorCount));
  setAttribute(Qt::WA_DeleteOnClose);
  quUsers.setSql(kUsers);
  quTables.setSql(kTables);
  quTables.declareVariable("UPOR", nuvo::db::DataType::String);
  quColumns.setSql(kColumns);
  quColumns.declareVariable("upor", nuvo::db::DataType::String);
  quColumns.declareVariable("tabela", nuvo::db::DataType::String);
  quTemplate.setSql(kTemplate);
  quTemplate.declareVariable("template", nuvo::db::DataType::String);
  quTemplate.setReadOnly(true);
  for (const char* name : {"sifra", "desc", "cont"}) quUpdate.declareVariable(name, nuvo::db::DataType::String);
  buildWidgets();
  FormCreate();
}

TfmEditPL::~TfmEditPL() = default;

// ---------------------------------------------------------------------------------------------
// Creation and layout

void TfmEditPL::buildWidgets() {
  auto* central = new QWidget(this);
  auto* outer = new QHBoxLayout(central);
  outer->setContentsMargins(2, 2, 2, 2);
  auto* left = new QWidget(central);
  auto* column = new QVBoxLayout(left);
  column->setContentsMargins(0, 0, 0, 0);

  auto* top = new QHBoxLayout;
  spCompile = toolButton("spCompile", QStringLiteral("Compile"), left);
  spExit = toolButton("spExit", QStringLiteral("Exit"), left);
  spDataBase = toolButton("spDataBase", QStringLiteral("Tools"), left);
  spErrors = toolButton("spErrors", QStringLiteral("Status of objects"), left);
  spLoad = toolButton("spLoad", QStringLiteral("Load"), left);
  spSave = toolButton("spSave", QStringLiteral("Save"), left);
  spSaveAs = toolButton("spSaveAs", QStringLiteral("Save As"), left);
  spNew = toolButton("spNew", QStringLiteral("New"), left);
  spFindEQ = toolButton("spFindEQ", QStringLiteral("Twin"), left);
  spFindEQ->setToolTip(QString::fromUtf8("Išči \"dvojčka\" - pri BEGIN.LOOP dodaj še nekaj unikatnega v vrstici"));
  for (QToolButton* b : {spCompile, spLoad, spSave, spSaveAs, spNew, spFindEQ, spDataBase, spErrors, spExit})
    top->addWidget(b);
  edStatus = named(new QLineEdit(left), "edStatus");
  edStatus->setReadOnly(true);
  edStatus->setMaximumWidth(60);
  top->addWidget(edStatus);
  cbTranslate = named(new QCheckBox(QStringLiteral("Menja"), left), "cbTranslate");
  top->addWidget(cbTranslate);
  top->addStretch();
  column->addLayout(top);

  WPToolBar1 = named(new QToolBar(left), "WPToolBar1");
  column->addWidget(WPToolBar1);
  mePLSQL = named(new TSqlEditor(left), "mePLSQL");
  column->addWidget(mePLSQL, 1);
  const auto editAction = [this](const char* name, const QString& text, auto call) {
    QAction* a = named(WPToolBar1->addAction(text), name);
    connect(a, &QAction::triggered, this, call);
    return a;
  };
  acUndo = editAction("acUndo", QStringLiteral("Undo"), [this] { mePLSQL->undo(); });
  acCut = editAction("acCut", QStringLiteral("Cut"), [this] { mePLSQL->cut(); });
  acCopy = editAction("acCopy", QStringLiteral("Copy"), [this] { mePLSQL->copy(); });
  acPaste = editAction("acPaste", QStringLiteral("Paste"), [this] { mePLSQL->paste(); });
  acSelectAll = editAction("acSelectAll", QStringLiteral("Select all"), [this] { mePLSQL->selectAll(); });
  acFind = editAction("acFind", QStringLiteral("Find"), [this] {
    paFind->show();
    edFind->setFocus();
  });
  editAction("acZoomIn", QStringLiteral("A+"), [this] { mePLSQL->zoomIn(); });
  editAction("acZoomOut", QStringLiteral("A-"), [this] { mePLSQL->zoomOut(); });

  paFind = named(new QWidget(left), "paFind");
  auto* findRow = new QHBoxLayout(paFind);
  findRow->setContentsMargins(0, 0, 0, 0);
  edFind = named(new QLineEdit(paFind), "edFind");
  edReplace = named(new QLineEdit(paFind), "edReplace");
  btFindNext = named(new QPushButton(QStringLiteral("Find"), paFind), "btFindNext");
  btReplace = named(new QPushButton(QStringLiteral("Replace"), paFind), "btReplace");
  btReplaceAll = named(new QPushButton(QStringLiteral("Replace all"), paFind), "btReplaceAll");
  for (QWidget* w : std::initializer_list<QWidget*>{edFind, btFindNext, edReplace, btReplace, btReplaceAll})
    findRow->addWidget(w);
  paFind->hide();
  column->addWidget(paFind);
  connect(btFindNext, &QPushButton::clicked, this, [this] { mePLSQL->findNextText(edFind->text()); });
  connect(edFind, &QLineEdit::returnPressed, this, [this] { mePLSQL->findNextText(edFind->text()); });
  connect(btReplace, &QPushButton::clicked, this,
          [this] { mePLSQL->replaceFoundText(edFind->text(), edReplace->text()); });
  connect(btReplaceAll, &QPushButton::clicked, this,
          [this] { mePLSQL->replaceAllText(edFind->text(), edReplace->text()); });

  column->addWidget(buildErrorPanel());
  outer->addWidget(left, 1);
  paPLUtil = buildToolsPanel();
  outer->addWidget(paPLUtil);
  paPLUtil->hide();
  setCentralWidget(central);

  laLine = named(new QLabel(this), "laLine");
  laLine->setMinimumWidth(90);
  laFileName = named(new QLabel(this), "laFileName");
  statusBar()->setObjectName(QStringLiteral("sbEdit"));
  statusBar()->addWidget(laLine);
  statusBar()->addWidget(laFileName, 1);

  // The file history: a list over the editor that hides itself when it loses the focus.
  lbHistFile = named(new QListWidget(mePLSQL), "lbHistFile");
  lbHistFile->hide();
  lbHistFile->setContextMenuPolicy(Qt::CustomContextMenu);
  pmHistFile = named(new QMenu(lbHistFile), "pmHistFile");
  miHistFileDelete = named(pmHistFile->addAction(QStringLiteral("Delete")), "miHistFileDelete");
  connect(lbHistFile, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pmHistFile->popup(lbHistFile->mapToGlobal(at)); });
  connect(miHistFileDelete, &QAction::triggered, this, &TfmEditPL::miHistFileDeleteClick);
  connect(lbHistFile, &QListWidget::itemActivated, this, [this] { lbHistFileDblClick(); });
  lbHistFile->installEventFilter(this);

  connect(spCompile, &QToolButton::clicked, this, &TfmEditPL::spCompileClick);
  connect(spExit, &QToolButton::clicked, this, &QWidget::close);
  connect(spDataBase, &QToolButton::clicked, this, guarded(this, &TfmEditPL::spDataBaseClick));
  connect(spErrors, &QToolButton::clicked, this, &TfmEditPL::spErrorsClick);
  connect(spLoad, &QToolButton::clicked, this, &TfmEditPL::spLoadClick);
  connect(spSave, &QToolButton::clicked, this, &TfmEditPL::spSaveClick);
  connect(spSaveAs, &QToolButton::clicked, this, &TfmEditPL::spSaveAsClick);
  connect(spNew, &QToolButton::clicked, this, &TfmEditPL::spNewClick);
  connect(spFindEQ, &QToolButton::clicked, this, &TfmEditPL::spFindEQClick);
  connect(mePLSQL, &TSqlEditor::macroText, this, [this](const QString& text) { InsertMacroText(false, text); });
  connect(mePLSQL, &QsciScintilla::cursorPositionChanged, this, [this] { updateStatus(); });
  mePLSQL->installEventFilter(this);
  edFind->installEventFilter(this);
  edReplace->installEventFilter(this);
}

QWidget* TfmEditPL::buildErrorPanel() {
  paPLSQLError = named(new QWidget(this), "paPLSQLError");
  auto* grid = new QVBoxLayout(paPLSQLError);
  grid->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout;
  laError = named(new QLabel(paPLSQLError), "laError");
  laError->setMinimumWidth(120);
  spbNazaj = toolButton("spbNazaj", QStringLiteral("<"), paPLSQLError);
  spbNaprej = toolButton("spbNaprej", QStringLiteral(">"), paPLSQLError);
  btErrCodeNr = named(new QPushButton(paPLSQLError), "btErrCodeNr");
  btErrCodeNr->setMaximumWidth(50);
  laStErr = named(new QLabel(QStringLiteral("Errors:"), paPLSQLError), "laStErr");
  laAllErr = named(new QLabel(paPLSQLError), "laAllErr");
  spDebug = toolButton("spDebug", QStringLiteral("Debug"), paPLSQLError);
  spDebug->setCheckable(true);
  btCloseErrorScreen = named(new QPushButton(QStringLiteral("&Close Errors"), paPLSQLError), "btCloseErrorScreen");
  row->addWidget(laError, 1);
  for (QWidget* w : std::initializer_list<QWidget*>{spbNazaj, btErrCodeNr, spbNaprej, laStErr, laAllErr, spDebug,
                                                    btCloseErrorScreen})
    row->addWidget(w);
  grid->addLayout(row);
  meError = named(new QLineEdit(paPLSQLError), "meError");
  meError->setReadOnly(true);
  grid->addWidget(meError);
  paPLSQLError->hide();
  connect(spbNazaj, &QToolButton::clicked, this, [this] { ShowCompileError(-1); });
  connect(spbNaprej, &QToolButton::clicked, this, [this] { ShowCompileError(1); });
  connect(btErrCodeNr, &QPushButton::clicked, this, [this] { ShowCompileError(0); });
  connect(btCloseErrorScreen, &QPushButton::clicked, paPLSQLError, &QWidget::hide);
  return paPLSQLError;
}

QWidget* TfmEditPL::buildToolsPanel() {
  auto* panel = named(new QWidget(this), "paPLUtil");
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* buttons = new QHBoxLayout;
  spUtilStructure = toolButton("spUtilStructure", QStringLiteral("Tables (structure)"), panel);
  spUtilTemplate = toolButton("spUtilTemplate", QStringLiteral("Template"), panel);
  spUtilFile = toolButton("spUtilFile", QStringLiteral("Open File"), panel);
  spUtilBack = toolButton("spUtilBack", QStringLiteral("Close tools"), panel);
  for (QToolButton* b : {spUtilStructure, spUtilTemplate, spUtilFile, spUtilBack}) buttons->addWidget(b);
  buttons->addStretch();
  layout->addLayout(buttons);
  pcUtil = named(new QStackedWidget(panel), "pcUtil");
  layout->addWidget(pcUtil, 1);

  // Structure page.
  tabUtilTable = named(new QWidget(pcUtil), "tabUtilTable");
  auto* table = new QGridLayout(tabUtilTable);
  laUser = named(new QLabel(QStringLiteral("User:"), tabUtilTable), "laUser");
  lcbUsers = named(new QComboBox(tabUtilTable), "lcbUsers");
  laTable = named(new QLabel(QStringLiteral("Table:"), tabUtilTable), "laTable");
  lcbTables = named(new QComboBox(tabUtilTable), "lcbTables");
  spInsert = named(new QPushButton(QStringLiteral("Import"), tabUtilTable), "spInsert");
  sgColumns = named(new QTableWidget(0, 3, tabUtilTable), "sgColumns");
  sgColumns->horizontalHeader()->hide();
  sgColumns->verticalHeader()->hide();
  sgColumns->setSelectionBehavior(QAbstractItemView::SelectRows);
  sgColumns->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgColumns->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgColumns->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  btConstraints = named(new QPushButton(QStringLiteral("Table construct."), tabUtilTable), "btConstraints");
  btRef = named(new QPushButton(QStringLiteral("Table Ref."), tabUtilTable), "btRef");
  table->addWidget(laUser, 0, 0);
  table->addWidget(lcbUsers, 0, 1, 1, 2);
  table->addWidget(laTable, 1, 0);
  table->addWidget(lcbTables, 1, 1);
  table->addWidget(spInsert, 1, 2);
  table->addWidget(sgColumns, 2, 0, 1, 3);
  auto* refs = new QHBoxLayout;
  refs->addWidget(btConstraints);
  refs->addWidget(btRef);
  refs->addStretch();
  table->addLayout(refs, 3, 0, 1, 3);
  table->setColumnStretch(1, 1);
  pcUtil->addWidget(tabUtilTable);

  // Template page.
  tabUtilTemplate = named(new QWidget(pcUtil), "tabUtilTemplate");
  auto* tpl = new QGridLayout(tabUtilTemplate);
  laTEmplate = named(new QLabel(QStringLiteral("Template:"), tabUtilTemplate), "laTEmplate");
  edTemplate = named(new QLineEdit(tabUtilTemplate), "edTemplate");
  btFindTpl = named(new QPushButton(QStringLiteral("."), tabUtilTemplate), "btFindTpl");
  btFindTpl->setToolTip(QStringLiteral("Find template"));
  btFindTpl->setMaximumWidth(30);
  laOpis = named(new QLabel(QStringLiteral("Description:"), tabUtilTemplate), "laOpis");
  edDesc = named(new QLineEdit(tabUtilTemplate), "edDesc");
  meTemplate = named(new QPlainTextEdit(tabUtilTemplate), "meTemplate");
  dbgTemplate = named(new TThemedDBGrid(tabUtilTemplate), "dbgTemplate");
  dbgTemplate->setModel(new nuvo::widgets::DatasetModel(&quTemplate, dbgTemplate));
  dbgTemplate->setSelectionBehavior(QAbstractItemView::SelectRows);
  dbgTemplate->setEditTriggers(QAbstractItemView::NoEditTriggers);
  dbgTemplate->hide();
  auto* tplButtons = new QHBoxLayout;
  btNew = named(new QPushButton(QStringLiteral("&New"), tabUtilTemplate), "btNew");
  btUpdate = named(new QPushButton(QStringLiteral("&Update"), tabUtilTemplate), "btUpdate");
  btCancel = named(new QPushButton(QStringLiteral("Cancel"), tabUtilTemplate), "btCancel");
  btSaveTemplate = named(new QPushButton(QStringLiteral("&Save"), tabUtilTemplate), "btSaveTemplate");
  btCopy = named(new QPushButton(QStringLiteral("&Copy"), tabUtilTemplate), "btCopy");
  for (QPushButton* b : {btNew, btUpdate, btCancel, btSaveTemplate, btCopy}) tplButtons->addWidget(b);
  tpl->addWidget(laTEmplate, 0, 0);
  tpl->addWidget(edTemplate, 0, 1);
  tpl->addWidget(btFindTpl, 0, 2);
  tpl->addWidget(laOpis, 1, 0);
  tpl->addWidget(edDesc, 1, 1, 1, 2);
  tpl->addWidget(meTemplate, 2, 0, 1, 3);
  tpl->addWidget(dbgTemplate, 3, 0, 1, 3);
  tpl->addLayout(tplButtons, 4, 0, 1, 3);
  tpl->setRowStretch(2, 1);
  tpl->setRowStretch(3, 2);
  pcUtil->addWidget(tabUtilTemplate);

  // File page.
  TabUtilFile = named(new QWidget(pcUtil), "TabUtilFile");
  auto* file = new QVBoxLayout(TabUtilFile);
  SpeedButton1 = toolButton("SpeedButton1", QStringLiteral("Open"), TabUtilFile);
  file->addWidget(SpeedButton1);
  meCompare = named(new TSqlEditor(TabUtilFile), "meCompare");
  file->addWidget(meCompare, 1);
  wpStatusBar = named(new QLabel(TabUtilFile), "wpStatusBar");
  file->addWidget(wpStatusBar);
  pcUtil->addWidget(TabUtilFile);

  connect(spUtilStructure, &QToolButton::clicked, this, [this] { pcUtil->setCurrentWidget(tabUtilTable); });
  connect(spUtilTemplate, &QToolButton::clicked, this, [this] { pcUtil->setCurrentWidget(tabUtilTemplate); });
  connect(spUtilFile, &QToolButton::clicked, this, [this] { pcUtil->setCurrentWidget(TabUtilFile); });
  connect(spUtilBack, &QToolButton::clicked, this, guarded(this, &TfmEditPL::spDataBaseClick));
  connect(lcbUsers, &QComboBox::activated, this, guarded(this, &TfmEditPL::lcbUsersExit));
  connect(lcbTables, &QComboBox::activated, this, guarded(this, &TfmEditPL::lcbTablesCloseUp));
  connect(spInsert, &QPushButton::clicked, this, &TfmEditPL::spInsertClick);
  connect(sgColumns, &QTableWidget::cellDoubleClicked, this, &TfmEditPL::sgColumnsDblClick);
  connect(btConstraints, &QPushButton::clicked, this, [this] {
    if (!lcbTables->currentText().isEmpty()) TfmTableContent::showFor(lcbUsers->currentText(), lcbTables->currentText(), this);
  });
  connect(btRef, &QPushButton::clicked, this, [this] {
    if (!lcbTables->currentText().isEmpty()) TfmRef::showFor(lcbUsers->currentText(), lcbTables->currentText(), this);
  });
  connect(btFindTpl, &QPushButton::clicked, this, guarded(this, &TfmEditPL::btFindTplClick));
  connect(btNew, &QPushButton::clicked, this, [this] {
    edTemplate->clear();
    edDesc->clear();
    setTemplateMode(TemplateMode::New);
  });
  connect(btUpdate, &QPushButton::clicked, this, [this] { setTemplateMode(TemplateMode::Update); });
  connect(btSaveTemplate, &QPushButton::clicked, this, &TfmEditPL::btSaveTemplateClick);
  connect(btCancel, &QPushButton::clicked, this, &TfmEditPL::btCancelClick);
  connect(btCopy, &QPushButton::clicked, this, &TfmEditPL::btCopyClick);
  nuvo::widgets::upperCaseEdit(edTemplate);
  // The template text is kept to its column's width as it is typed.
  connect(meTemplate, &QPlainTextEdit::textChanged, this, [this] {
    const QString text = meTemplate->toPlainText();
    if (text.size() <= kTemplateLength) return;
    const QSignalBlocker block(meTemplate);
    meTemplate->setPlainText(text.left(kTemplateLength));
    QTextCursor end = meTemplate->textCursor();
    end.movePosition(QTextCursor::End);
    meTemplate->setTextCursor(end);
  });
  meTemplate->installEventFilter(this);
  connect(dbgTemplate->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& i) {
    if (i.isValid()) quTemplate.setCurrentRow(i.row());
  });
  connect(&quTemplate, &nuvo::db::Dataset::currentRowChanged, this, [this] { showTemplateRow(); });
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { OpenFile(); });
  connect(meCompare, &QsciScintilla::cursorPositionChanged, this, [this](int line, int) {
    wpStatusBar->setText(nizFile + compareFile + QStringLiteral("   ") + nizLine + QString::number(line + 1));
  });
  return panel;
}

void TfmEditPL::FormCreate() {
  TfmMain& m = context();
  const QScreen* screen = QApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1366, 768);
  setMinimumSize(560, 360);
  if (m.currEditWidth > 0 && m.currEditHeight > 0) {
    resize(qMin(m.currEditWidth, available.width()), qMin(m.currEditHeight, available.height() - 40));
  } else {
    resize(qMin(1020, available.width()), qMin(available.height() >= 1024 ? 860 : 640, available.height() - 40));
  }
  SetLanguageTexts();
  m.preberiMacroTipke(mePLSQL, mePLSQL->macroMenu(), [this](QAction* item) {
    const int i = static_cast<int>(mePLSQL->macroMenu()->actions().indexOf(item));
    InsertMacroText(true, context().brezNL(context().stMacro.at(static_cast<std::size_t>(qMax(0, i)))));
  });
  QStringList keyMacros;
  for (int k = 0; k < m.mcKeys.size() && k < static_cast<int>(m.mcMacro.size()); ++k)
    keyMacros << m.mcMacro[static_cast<std::size_t>(k)];
  mePLSQL->setMacroKeys(nuvo::sqlwork::MacroKeys(m.mcKeys, keyMacros));
  mePLSQL->setEditorFont(m.currEditPLFont);
  mePLSQL->clear();
  currCont = mePLSQL->editorLines();
  trenutnaNapaka = 1;
  edStatus->clear();
  AutoCompile = false;
  pozicijaLeft = x();
  SirinaAll = width();
  pcUtil->setCurrentWidget(tabUtilTable);
  setTemplateMode(TemplateMode::Browse);
  cbTranslate->setVisible(m.currMoreInstall);
  cbTranslate->setChecked(m.currMoreInstall);
  updateCaption();
}

void TfmEditPL::SetLanguageTexts() {
  const bool slo = context().slovene();
  baseCaption_ = slo ? QStringLiteral("PL/SQL Urejevalnik") : QStringLiteral("PL/SQL Editor");
  const auto tr = [slo](const char* en, const char* sl) { return QString::fromUtf8(slo ? sl : en); };
  nizNoActive = tr("NO ACTIVE FILE!  USE \"SAVE AS\" OPTION", "Ni aktivne datoteke!  Izberi \"SHRANI KOT\" OPCIJO");
  nizLine = tr("Line:", "Vrsta:");
  neObstaja = tr("File does not exists", "Datoteka ne obstaja");
  nizFile = tr("File Name:", "Datoteka:");
  nizVTrans = tr("Open transaction. Compiling is not available!", "Odprta transakcija. Prevajanje ni možno!");
  nizSaveChanges = tr("Save Changes", "Shranim spremembe");
  nizTemplateMissing = tr("The template %1 does not exist any more; nothing was changed.",
                          "Predloge %1 ni več; nič ni spremenjeno.");
  laStErr->setText(tr("Errors:", "Napake"));
  btCloseErrorScreen->setText(tr("&Close Errors", "Zapri napake"));
  const std::pair<QToolButton*, std::pair<const char*, const char*>> buttons[] = {
      {spLoad, {"Load", "Naloži"}},          {spNew, {"New", "Nova datoteka"}},
      {spSave, {"Save", "Shrani"}},          {spSaveAs, {"Save As", "Shrani kot"}},
      {spCompile, {"Compile", "Prevedi"}},   {spErrors, {"Status of objects", "Napake"}},
      {spDataBase, {"Tools", "Orodja"}},     {spExit, {"Exit", "Izhod"}},
      {spUtilStructure, {"Tables (structure)", "Tabele(strukture)"}},
      {spUtilTemplate, {"Template", "Predefinirani teksti"}},
      {spUtilFile, {"Open File", "Odpri datoteko"}},
      {spUtilBack, {"Close tools", "Zapri orodja"}},
  };
  for (const auto& [button, texts] : buttons) {
    button->setText(tr(texts.first, texts.second));
    button->setToolTip(button->text());
  }
  spInsert->setText(tr("Import", "Preberi"));
  laUser->setText(tr("User:", "Upor.:"));
  laTable->setText(tr("Table:", "Tabela:"));
  btConstraints->setText(tr("Table construct.", "Konstrainti"));
  btRef->setText(tr("Table Ref.", "Reference"));
  miHistFileDelete->setText(tr("Delete", "Briši"));
  laOpis->setText(tr("Description:", "Opis:"));
  btNew->setText(tr("&New", "&Nov"));
  btUpdate->setText(tr("&Update", "&Popravi"));
  btCopy->setText(tr("&Copy", "&Kopiraj"));
  btCancel->setText(tr("Cancel", "p&Rekini"));
  btSaveTemplate->setText(tr("&Save", "&Shrani"));
  laTEmplate->setText(tr("Template:", "&Predloga"));
  btFindTpl->setToolTip(tr("Find template", "Poišči predlogo"));
  SpeedButton1->setText(tr("Open", "Odpri"));
  btFindNext->setText(tr("Find", "Išči"));
  btReplace->setText(tr("Replace", "Zamenjaj"));
  btReplaceAll->setText(tr("Replace all", "Zamenjaj vse"));
  spDebug->setText(tr("Debug", "Razhroščevanje"));
  spFindEQ->setText(tr("Twin", "Dvojček"));
  const std::pair<QAction*, std::pair<const char*, const char*>> actions[] = {
      {acUndo, {"Undo", "Razveljavi"}},    {acCut, {"Cut", "Izreži"}},         {acCopy, {"Copy", "Kopiraj"}},
      {acPaste, {"Paste", "Prilepi"}},     {acSelectAll, {"Select all", "Izberi vse"}},
      {acFind, {"Find", "Išči"}},
  };
  for (const auto& [action, texts] : actions) action->setText(tr(texts.first, texts.second));
}

void TfmEditPL::updateCaption() {
  TfmMain& m = context();
  setWindowTitle((currFName.isEmpty() ? baseCaption_ : currFName) + QStringLiteral("  (") + m.connUser +
                 u'@' + m.connServer + u')');
  updateStatus();
}

void TfmEditPL::updateStatus() {
  int line = 0, index = 0;
  mePLSQL->getCursorPosition(&line, &index);
  laLine->setText(nizLine + QString::number(line + 1));
  laFileName->setText(nizFile + CurrentFile);
}

// ---------------------------------------------------------------------------------------------
// Compile

void TfmEditPL::spCompileClick() {
  if (compiling_) return;
  TfmMain& m = context();
  if (m.SessionInTransaction()) {
    nuvo::showMessage(nizVTrans, nuvo::MessageKind::Warning, this);
    return;
  }
  compiling_ = true;
  spCompile->setEnabled(false);
  edStatus->setText(QStringLiteral("COMP"));
  ListaNapak.clear();
  paPLSQLError->hide();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  nuvo::sqlwork::PlCompileOptions options;
  options.connUser = m.connUser;
  const bool renamed = cbTranslate->isChecked();
  if (renamed) options.rename = [&m](const QString& text) { return m.zamenjave(text, QStringLiteral("SKRIPTA")); };
  options.stripSemicolon = [](const QString& text) { return nuvo::shell::f_venPodpicje(text); };
  if (spDebug->isChecked())
    options.beforeBlock = [this](const QString& block) { nuvo::showMessage(block, nuvo::MessageKind::Information, this); };
  options.executionFailed = [this](int line, const QString& message) {
    edStatus->setText(QStringLiteral("NOK"));
    nuvo::showMessage(nizLine + QString::number(line + 1) + u'\n' + message, nuvo::MessageKind::Error, this);
  };
  nuvo::sqlwork::PlCompileResult result;
  bool failed = false;
  try {
    result = nuvo::sqlwork::compilePlSource(m.osOracle, mePLSQL->editorLines(), options);
  } catch (const nuvo::db::Error& e) {
    failed = true;
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  spDebug->setChecked(false);
  ListaNapak = result.errors;
  compiling_ = false;
  spCompile->setEnabled(true);
  if (!failed && result.ok()) {
    edStatus->setText(QStringLiteral("OK"));
    if (AutoCompile) {
      AutoCompile = false;
      close();
    }
    return;
  }
  edStatus->setText(QStringLiteral("NOK"));
  if (ListaNapak.count() > 0) {
    laAllErr->setText(QString::number(ListaNapak.count()));
    paPLSQLError->show();
    trenutnaNapaka = 1;
    ShowCompileError(0);
  }
  // The text as compiled for the installation, to be looked at beside the generic source.
  if (renamed && !result.compiledText.isEmpty()) {
    try {
      nuvo::writeTextFile(QStringLiteral("PLDUMP"), result.compiledText, mePLSQL->fileEncoding());
    } catch (const nuvo::PlatformError& e) {
      nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    }
  }
}

void TfmEditPL::ShowCompileError(int step) {
  if (ListaNapak.count() == 0) return;
  trenutnaNapaka = qBound(1, trenutnaNapaka + step, ListaNapak.count());
  const nuvo::sqlwork::EditorError& error = ListaNapak.at(trenutnaNapaka - 1);
  meError->setText(nuvo::sqlwork::errorPaneText(error));
  meError->setCursorPosition(0);
  laError->setText(error.object);
  mePLSQL->placeCaret(error.line, error.column);
  btErrCodeNr->setText(QString::number(trenutnaNapaka));
  spbNazaj->setEnabled(trenutnaNapaka > 1);
  spbNaprej->setEnabled(trenutnaNapaka < ListaNapak.count());
}

// ---------------------------------------------------------------------------------------------
// Files

bool TfmEditPL::naloziFile(const QString& imeF) {
  const QString path = nuvo::resolvePath(imeF);
  if (imeF.isEmpty() || !QFileInfo(path).isFile()) {
    nuvo::showMessage(neObstaja + QStringLiteral(": ") + imeF, nuvo::MessageKind::Warning, this);
    return false;
  }
  try {
    mePLSQL->clear();
    mePLSQL->loadFile(path);
  } catch (const nuvo::PlatformError& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    return false;
  }
  CurrentFile = path;
  currCont = mePLSQL->editorLines();
  return true;
}

bool TfmEditPL::CheckSaveChanges() {
  if (mePLSQL->editorLines() == currCont) return true;
  if (!nuvo::askYesNo(nizSaveChanges, this)) return true;
  if (CurrentFile.isEmpty())
    spSaveAsClick();
  else
    spSaveClick();
  return mePLSQL->editorLines() == currCont;
}

QString TfmEditPL::historyFileName() const { return nuvo::homeDirectory() + QStringLiteral("/PL_SQL.INI"); }

void TfmEditPL::spLoadClick() {
  CheckSaveChanges();
  nuvo::IniFile ini(historyFileName());
  aDatoteke.load(ini);
  if (!aDatoteke.isEmpty() && !lbHistFile->isVisible()) {
    showHistoryList();
    return;
  }
  lbHistFile->hide();
  TfmMain& m = context();
  QFileDialog dialog(this, spLoad->text(), m.TmpCurrentEditInitDir.isEmpty() ? m.CurrentEditInitDir : m.TmpCurrentEditInitDir,
                     QStringLiteral("SQL FILES (*.sql);;All files (*)"));
  dialog.setObjectName("dlgLoad");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("sql"));
  if (nuvo::execModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString chosen = dialog.selectedFiles().first();
  if (!naloziFile(chosen)) return;
  QString name, dir;
  nuvo::FileDirName(CurrentFile, name, dir);
  currFName = name;
  m.TmpCurrentEditInitDir = dir;
  aDatoteke.load(ini);
  aDatoteke.touch(name, dir, nuvo::sqlwork::historyTime(QDateTime::currentDateTime()));
  try {
    aDatoteke.save(ini);
  } catch (const nuvo::PlatformError& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  updateCaption();
}

void TfmEditPL::showHistoryList() {
  lbHistFile->clear();
  lbHistFile->addItems(aDatoteke.listLines());
  const int rows = qMin(aDatoteke.entries().size(), 25);
  const int height = rows * lbHistFile->sizeHintForRow(0) + 2 * lbHistFile->frameWidth() + 4;
  lbHistFile->setGeometry(mePLSQL->marginWidth(0) + 4, 4, qMin(mePLSQL->width() - 40, 700),
                          qMin(height, mePLSQL->height() - 8));
  lbHistFile->setCurrentRow(0);
  lbHistFile->show();
  lbHistFile->raise();
  lbHistFile->setFocus();
}

void TfmEditPL::lbHistFileDblClick() {
  const int row = lbHistFile->currentRow();
  if (row < 0 || row >= aDatoteke.entries().size()) return;
  const nuvo::sqlwork::HistoryFile entry = aDatoteke.entries().at(row);
  lbHistFile->hide();
  if (!naloziFile(nuvo::sqlwork::FileHistory::path(entry))) return;
  currFName = entry.name;
  nuvo::IniFile ini(historyFileName());
  aDatoteke.load(ini);
  aDatoteke.touch(entry.name, entry.dir, nuvo::sqlwork::historyTime(QDateTime::currentDateTime()));
  try {
    aDatoteke.save(ini);
  } catch (const nuvo::PlatformError& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  updateCaption();
  mePLSQL->setFocus();
}

void TfmEditPL::miHistFileDeleteClick() {
  const int row = lbHistFile->currentRow();
  if (!aDatoteke.remove(row)) return;
  lbHistFile->hide();
  nuvo::IniFile ini(historyFileName());
  try {
    aDatoteke.save(ini);
  } catch (const nuvo::PlatformError& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    return;
  }
  spLoadClick();
}

void TfmEditPL::spSaveClick() {
  if (CurrentFile.isEmpty()) {
    nuvo::showMessage(nizNoActive, nuvo::MessageKind::Information, this);
    return;
  }
  try {
    mePLSQL->saveFile(CurrentFile);
    currCont = mePLSQL->editorLines();
  } catch (const nuvo::PlatformError& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

void TfmEditPL::spSaveAsClick() {
  TfmMain& m = context();
  QFileDialog dialog(this, spSaveAs->text(), m.TmpCurrentEditInitDir.isEmpty() ? m.CurrentEditInitDir : m.TmpCurrentEditInitDir,
                     QStringLiteral("SQL Files (*.sql);;All files (*)"));
  dialog.setObjectName("dlgSaveAs");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("sql"));
  if (nuvo::execModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().first();
  try {
    mePLSQL->saveFile(path);
  } catch (const nuvo::PlatformError& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    return;
  }
  QString name, dir;
  nuvo::FileDirName(path, name, dir);
  m.TmpCurrentEditInitDir = dir;
  CurrentFile = path;
  currFName = name;
  currCont = mePLSQL->editorLines();
  updateCaption();
}

void TfmEditPL::spNewClick() {
  CheckSaveChanges();
  CurrentFile.clear();
  mePLSQL->clear();
  mePLSQL->resetFile(nuvo::TextEncoding::Utf8);
  currCont = mePLSQL->editorLines();
  currFName.clear();
  updateCaption();
}

void TfmEditPL::spErrorsClick() { TfmErrors::openNew(); }

// ---------------------------------------------------------------------------------------------
// Keys, macros, the twin

void TfmEditPL::InsertMacroText(bool newline, const QString& text) {
  mePLSQL->insertAtCaret(context().prepareInsertTemplate(newline, text));
}

void TfmEditPL::spFindEQClick() {
  if (!mePLSQL->hasSelectedText()) return;
  int lineFrom = 0, indexFrom = 0, lineTo = 0, indexTo = 0;
  mePLSQL->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
  const std::optional<nuvo::sqlwork::TwinPlace> twin =
      nuvo::sqlwork::findTwin(mePLSQL->editorLines(), lineTo, indexTo, mePLSQL->selectedText());
  if (!twin) return;
  mePLSQL->setSelection(twin->line, twin->column, twin->line, twin->column + twin->length);
  mePLSQL->ensureLineVisible(twin->line);
  mePLSQL->setFocus();
}

bool TfmEditPL::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lbHistFile) {
    if (event->type() == QEvent::FocusOut && !pmHistFile->isVisible()) lbHistFile->hide();
    if (event->type() == QEvent::KeyPress) {
      // The list's keys stay with it: a Return would otherwise also reach the editor beneath.
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        lbHistFileDblClick();
        return true;
      }
      if (key == Qt::Key_Escape) {
        lbHistFile->hide();
        mePLSQL->setFocus();
        return true;
      }
    }
  }
  if (watched == meTemplate && event->type() == QEvent::MouseButtonDblClick) dbgTemplate->hide();
  if (event->type() == QEvent::KeyPress && (watched == mePLSQL || watched == edFind || watched == edReplace)) {
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    if (key->key() == Qt::Key_F9 || (ctrl && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter))) {
      if (!key->isAutoRepeat()) spCompileClick();
      return true;
    }
    if (ctrl && key->key() == Qt::Key_F) {
      paFind->show();
      if (mePLSQL->hasSelectedText() && !mePLSQL->selectedText().contains(u'\n')) edFind->setText(mePLSQL->selectedText());
      edFind->setFocus();
      edFind->selectAll();
      return true;
    }
    if (key->key() == Qt::Key_Escape && (watched == edFind || watched == edReplace)) {
      paFind->hide();
      mePLSQL->setFocus();
      return true;
    }
  }
  if (watched == mePLSQL && event->type() == QEvent::MouseButtonRelease) updateStatus();
  return QMainWindow::eventFilter(watched, event);
}

bool TfmEditPL::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  if (event->type() == QEvent::WindowActivate && !lbHistFile->isVisible()) mePLSQL->setFocus();
  return handled;
}

void TfmEditPL::closeEvent(QCloseEvent* event) {
  if (compiling_) {
    event->ignore();
    return;
  }
  TfmMain* m = fmMain();
  if (m) {
    const int toolsWidth = paPLUtil->isVisible() ? paPLUtil->width() : 0;
    m->currEditHeight = height();
    m->currEditWidth = width() - toolsWidth;
  }
  CheckSaveChanges();
  event->accept();
}

// ---------------------------------------------------------------------------------------------
// Tools panel

void TfmEditPL::spDataBaseClick() {
  const QScreen* screen = this->screen();
  const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1366, 768);
  if (!paPLUtil->isVisible()) {
    SirinaAll = width();
    pozicijaLeft = x();
    paPLUtil->setFixedWidth(SirinaLeft);
    paPLUtil->show();
    const int wanted = qMin(SirinaAll + SirinaLeft, available.width());
    move(qMax(available.left(), qMin(x(), available.right() - wanted)), y());
    resize(wanted, height());
    lcbUsers->clear();
    for (quUsers.execute(); !quUsers.eof(); quUsers.next()) lcbUsers->addItem(quUsers.field(0).asString());
    quUsers.close();
    const int own = lcbUsers->findText(context().connUser.toUpper());
    if (own >= 0) lcbUsers->setCurrentIndex(own);
    lcbUsersExit();
  } else {
    SirinaLeft = paPLUtil->width();
    paPLUtil->hide();
    move(pozicijaLeft, y());
    resize(SirinaAll, height());
    lcbTables->clear();
  }
}

void TfmEditPL::lcbUsersExit() {
  lcbTables->clear();
  sgColumns->setRowCount(0);
  if (lcbUsers->currentText().isEmpty()) return;
  quTables.setVariable("UPOR", lcbUsers->currentText());
  for (quTables.execute(); !quTables.eof(); quTables.next()) lcbTables->addItem(quTables.field(1).asString());
  quTables.close();
  lcbTables->setCurrentIndex(-1);
}

void TfmEditPL::lcbTablesCloseUp() {
  // The grid holds the chosen table's columns only, none when it has none.
  sgColumns->setRowCount(0);
  if (lcbTables->currentText().isEmpty()) return;
  quColumns.setVariable("upor", lcbUsers->currentText());
  quColumns.setVariable("tabela", lcbTables->currentText());
  int row = 0;
  for (quColumns.execute(); !quColumns.eof(); quColumns.next(), ++row) {
    sgColumns->insertRow(row);
    for (int c = 0; c < 3; ++c) sgColumns->setItem(row, c, new QTableWidgetItem(quColumns.field(c).asString()));
  }
  quColumns.close();
}

QStringList TfmEditPL::selectedColumnNames() const {
  QList<int> rows;
  for (const QModelIndex& index : sgColumns->selectionModel()->selectedRows()) rows << index.row();
  if (rows.isEmpty() && sgColumns->currentRow() >= 0) rows << sgColumns->currentRow();
  std::sort(rows.begin(), rows.end());
  QStringList names;
  for (int row : rows)
    if (const QTableWidgetItem* item = sgColumns->item(row, 0)) names << item->text();
  return names;
}

void TfmEditPL::spInsertClick() {
  const QStringList names = selectedColumnNames();
  if (names.isEmpty()) return;
  mePLSQL->insertAtCaret(nuvo::sqlwork::columnsInsertText(context().getClipboard(), names));
  mePLSQL->setFocus();
}

void TfmEditPL::sgColumnsDblClick() {
  const QTableWidgetItem* item = sgColumns->item(sgColumns->currentRow(), 0);
  if (!item) return;
  mePLSQL->insertAtCaret(nuvo::sqlwork::columnInsertText(context().getClipboard(), item->text()));
  mePLSQL->setFocus();
}

void TfmEditPL::btFindTplClick() {
  quTemplate.close();
  quTemplate.setVariable("template", edTemplate->text() + u'%');
  quTemplate.open();
  dbgTemplate->show();
  if (quTemplate.recordCount() > 0) {
    dbgTemplate->selectRow(0);
    quTemplate.setCurrentRow(0);
    showTemplateRow();
  }
}

void TfmEditPL::showTemplateRow() {
  const int row = quTemplate.currentRow();
  if (!quTemplate.isOpen() || row < 0 || row >= quTemplate.recordCount()) return;
  meTemplate->setPlainText(quTemplate.value(row, QStringLiteral("TPL_CONT")).toString());
  edTemplate->setText(quTemplate.value(row, QStringLiteral("TPL_SIFRA")).toString());
  edDesc->setText(quTemplate.value(row, QStringLiteral("TPL_DESC")).toString());
}

void TfmEditPL::setTemplateMode(TemplateMode mode) {
  templateMode_ = mode;
  const nuvo::sqlwork::TemplateControls c = nuvo::sqlwork::templateControls(mode);
  btFindTpl->setEnabled(c.find);
  btNew->setEnabled(c.newButton);
  btUpdate->setEnabled(c.update);
  btSaveTemplate->setEnabled(c.save);
  edTemplate->setReadOnly(!c.codeEditable);
  meTemplate->setReadOnly(false);
  if (mode != TemplateMode::Browse) dbgTemplate->hide();
}

void TfmEditPL::btSaveTemplateClick() {
  const bool inserting = templateMode_ == TemplateMode::New;
  quUpdate.setSql(inserting ? kInsertTemplate : kUpdateTemplate);
  quUpdate.setVariable("sifra", edTemplate->text());
  quUpdate.setVariable("desc", edDesc->text());
  quUpdate.setVariable("cont", meTemplate->toPlainText());
  try {
    quUpdate.execute();
    const qint64 rows = quUpdate.rowsProcessed();
    quUpdate.close();
    if (!inserting && rows == 0) {
      nuvo::showMessage(nizTemplateMissing.arg(edTemplate->text()), nuvo::MessageKind::Warning, this);
      return;
    }
  } catch (const nuvo::db::Error& e) {
    // The page stays as it is, so nothing typed is lost.
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    return;
  }
  dbgTemplate->hide();
  setTemplateMode(TemplateMode::Browse);
}

void TfmEditPL::btCancelClick() {
  dbgTemplate->hide();
  setTemplateMode(TemplateMode::Browse);
  edTemplate->clear();
  edDesc->clear();
}

void TfmEditPL::btCopyClick() { InsertMacroText(true, meTemplate->toPlainText().replace(u'\n', QStringLiteral("\r\n"))); }

bool TfmEditPL::OpenFile() {
  TfmMain& m = context();
  QFileDialog dialog(this, SpeedButton1->text(), m.TmpCurrentEditInitDir,
                     QStringLiteral("SQL FILES (*.sql);;All files (*)"));
  dialog.setObjectName("odCompare");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (nuvo::execModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    try {
      meCompare->loadFile(dialog.selectedFiles().first());
      compareFile = dialog.selectedFiles().first();
      wpStatusBar->setText(nizFile + compareFile);
      return true;
    } catch (const nuvo::PlatformError& e) {
      nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    }
  }
  meCompare->clear();
  compareFile.clear();
  wpStatusBar->setText(nizFile);
  return false;
}
