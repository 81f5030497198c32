#include "admin/errors.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "db/error.h"
#include "db/query.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell/sql_catalog.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"
#include "widgets/window_commands.h"
#include "shell/IGridUtils.h"

using nuvo::admin::ListOrder;
using nuvo::admin::StoredObject;

using nuvo::widgets::guarded;

namespace {

// The object list; its last line is the ordering and is replaced before each opening. OBJECT_NAME
// shows at most 40 characters; FULL_NAME and OWNER (hidden) are what statements on a row use.
const nuvo::SqlText kInvalid{
    "errors.quInvalid",
    {"select substr(object_name,1,40) object_name, object_type||'     ' object_type, status,",
     "  substr(timestamp,9,2)||'.'||substr(timestamp,6,2)||'.'||substr(timestamp,1,4)||'  '||",
     "  substr(timestamp,12,5)||'                ' last_modification,",
     "  timestamp,",
     "  decode(object_name,'GETSEQUENCE','@',decode(object_type,'PACKAGE','A','PACKAGE BODY','B','C')) poz,",
     "  object_name full_name, owner",
     "from all_objects",
     "where owner=:lastnik and (:stat like 'ALL' or status='INVALID' ) and (:ime is null  or object_name like :ime)",
     "  and object_type in ('FUNCTION','PACKAGE','PACKAGE BODY','PROCEDURE','TRIGGER','VIEW')",
     "order by Poz,object_type,object_name"}};
const nuvo::SqlText kErrors{"errors.quErrors",
                            {"select * from all_errors where owner=:lastnik", "order by name,type,sequence"}};

QPointer<TfmErrors> g_current;

using nuvo::shell::named;

TfmMain& context() { return *fmMain(); }

}  // namespace

TfmErrors::TfmErrors(QWidget* parent)
    : QDialog(parent), quInvalid(&context().osOracle), quErrors(&context().osOracle) {
  setObjectName(QStringLiteral("fmErrors"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  quInvalid.setSql(kInvalid);
  quInvalid.setReadOnly(true);
  for (const char* name : {"lastnik", "stat", "ime"}) quInvalid.declareVariable(name, nuvo::db::DataType::String);
  quErrors.setSql(kErrors);
  quErrors.setReadOnly(true);
  quErrors.declareVariable("lastnik", nuvo::db::DataType::String);
  buildWidgets();
  SetLanguageTexts();
  tbCompile->setEnabled(false);
  if (edOwner->text().isEmpty()) {
    const TfmMain& m = context();
    edOwner->setText((m.currOwner.isEmpty() ? m.connUser : m.currOwner).toUpper());
  }
  // Without a session (its commands are disabled then) the window opens empty.
  if (context().osOracle.connected()) guarded(this, &TfmErrors::tbInvalidClick)();
}

TfmErrors::~TfmErrors() = default;

TfmErrors* TfmErrors::openNew() {
  g_current = new TfmErrors;
  g_current->show();
  return g_current;
}

TfmErrors* TfmErrors::current() { return g_current; }

void TfmErrors::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  ToolBar1 = named(new QToolBar(this), "ToolBar1");
  const auto tool = [this](const char* name) { return named(ToolBar1->addAction(QString()), name); };
  tbInvalid = tool("tbInvalid");
  tbSP = tool("tbSP");
  tbErrors = tool("tbErrors");
  ToolBar1->addSeparator();
  tbCompile = tool("tbCompile");
  tbCompileAll = tool("tbCompileAll");
  ToolBar1->addSeparator();
  tbExit = tool("tbExit");
  layout->addWidget(ToolBar1);

  auto* top = new QHBoxLayout;
  laOwner = named(new QLabel(this), "laOwner");
  edOwner = named(new QLineEdit(this), "edOwner");
  edOwner->setMaximumWidth(160);
  btRefresh = named(new QPushButton(QStringLiteral("."), this), "btRefresh");
  btRefresh->setDefault(true);
  btRefresh->setFixedWidth(28);
  gbOrder = named(new QGroupBox(this), "gbOrder");
  auto* orderLayout = new QHBoxLayout(gbOrder);
  rbType = named(new QRadioButton(gbOrder), "rbType");
  rbObject = named(new QRadioButton(gbOrder), "rbObject");
  rbLast = named(new QRadioButton(gbOrder), "rbLast");
  rbLast->setChecked(true);
  for (QRadioButton* rb : {rbType, rbObject, rbLast}) orderLayout->addWidget(rb);
  cbInvalid = named(new QCheckBox(this), "cbInvalid");
  laSearch = named(new QLabel(this), "laSearch");
  edSearch = named(new QLineEdit(this), "edSearch");
  edSearch->setMaximumWidth(160);
  btDropObject = named(new QPushButton(this), "btDropObject");
  cbPrekini = named(new QCheckBox(this), "cbPrekini");
  cbPrekini->hide();
  top->addWidget(laOwner);
  top->addWidget(edOwner);
  top->addWidget(btRefresh);
  top->addWidget(gbOrder);
  top->addWidget(cbInvalid);
  top->addWidget(laSearch);
  top->addWidget(edSearch);
  top->addWidget(btDropObject);
  top->addWidget(cbPrekini);
  top->addStretch(1);
  layout->addLayout(top);
  // Upper-case edits: dictionary names are upper case.
  for (QLineEdit* edit : {edOwner, edSearch})
    connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
      const int cursor = edit->cursorPosition();
      edit->setText(text.toUpper());
      edit->setCursorPosition(cursor);
    });

  pcPages = named(new QStackedWidget(this), "pcPages");
  tsList = named(new QWidget(pcPages), "tsList");
  auto* listLayout = new QVBoxLayout(tsList);
  listLayout->setContentsMargins(0, 0, 0, 0);
  DBGrid1 = named(new TThemedDBGrid(tsList), "DBGrid1");
  DBGrid1->setModel(new nuvo::widgets::DatasetModel(&quInvalid, DBGrid1));
  DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listLayout->addWidget(DBGrid1);
  tsErrors = named(new QWidget(pcPages), "tsErrors");
  auto* errorsLayout = new QVBoxLayout(tsErrors);
  errorsLayout->setContentsMargins(0, 0, 0, 0);
  auto* splitter = new QSplitter(Qt::Vertical, tsErrors);
  DBGrid2 = named(new TThemedDBGrid(splitter), "DBGrid2");
  DBGrid2->setModel(new nuvo::widgets::DatasetModel(&quErrors, DBGrid2));
  DBGrid2->setSelectionBehavior(QAbstractItemView::SelectRows);
  DBGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBMemo1 = named(new QPlainTextEdit(splitter), "DBMemo1");
  DBMemo1->setReadOnly(true);
  splitter->addWidget(DBGrid2);
  splitter->addWidget(DBMemo1);
  errorsLayout->addWidget(splitter);
  pcPages->addWidget(tsList);
  pcPages->addWidget(tsErrors);
  layout->addWidget(pcPages, 1);
  resize(900, 520);

  // The list shows the short name and the type; the whole name and the owner serve the statements.
  connect(&quInvalid, &nuvo::db::Dataset::opened, this, [this] {
    for (int column = 0; column < quInvalid.fieldCount(); ++column) {
      const QString name = quInvalid.columns()[column].name.toUpper();
      DBGrid1->setColumnHidden(column, name == u"FULL_NAME" || name == u"OWNER");
    }
  });
  connect(&quErrors, &nuvo::db::Dataset::opened, this, [this] {
    const QStringList shown{"NAME", "TYPE", "LINE", "POSITION"};
    for (int column = 0; column < quErrors.fieldCount(); ++column)
      DBGrid2->setColumnHidden(column, !shown.contains(quErrors.columns()[column].name.toUpper()));
    showErrorText();
  });
  for (TThemedDBGrid* grid : {DBGrid1, DBGrid2}) {
    auto* dataset = grid == DBGrid1 ? &quInvalid : &quErrors;
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, dataset,
            [dataset](const QModelIndex& index) {
              if (index.isValid()) dataset->setCurrentRow(index.row());
            });
  }
  connect(&quErrors, &nuvo::db::Dataset::currentRowChanged, this, [this] { showErrorText(); });

  connect(tbInvalid, &QAction::triggered, this, guarded(this, &TfmErrors::tbInvalidClick));
  connect(tbSP, &QAction::triggered, this, guarded(this, &TfmErrors::tbSPClick));
  connect(tbErrors, &QAction::triggered, this, guarded(this, &TfmErrors::tbErrorsClick));
  connect(tbCompile, &QAction::triggered, this, guarded(this, &TfmErrors::tbCompileClick));
  connect(tbCompileAll, &QAction::triggered, this, guarded(this, &TfmErrors::tbCompileAllClick));
  connect(tbExit, &QAction::triggered, this, &QWidget::close);
  connect(btRefresh, &QPushButton::clicked, this, guarded(this, &TfmErrors::btRefreshClick));
  connect(btDropObject, &QPushButton::clicked, this, guarded(this, &TfmErrors::btDropObjectClick));
  for (QRadioButton* rb : {rbType, rbObject, rbLast})
    connect(rb, &QRadioButton::clicked, this, guarded(this, &TfmErrors::rbTypeClick));
  connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] {
    if (tbCompile->isEnabled()) guarded(this, &TfmErrors::tbCompileClick)();
  });
}

void TfmErrors::SetLanguageTexts() {
  const bool slo = context().slovene();
  const auto t = [slo](const char* english, const char* slovene) {
    return QString::fromUtf8(slo ? slovene : english);
  };
  nizInvalid = t("INVALID OBJECTS", "OBJEKTI Z NAPAKAMI");
  nizState = t("OBJECTS STATE", "OBJEKTI-STANJE,ZADNJI POPRAVKI");
  nizErrors = t("ERRORS", "NAPAKE");
  nizErrDrop = t("ERROR ON DROPPING", "NAPAKA PRI BRISANJE OBJEKTA");
  nizDroped = t("DROPED", "BRISAN");
  const std::pair<QAction*, std::pair<const char*, const char*>> hints[] = {
      {tbInvalid, {"Invalid objects", "Objekti z napakami"}},
      {tbSP, {"Status of Procedures,Functions,Triggers", "Status objektov"}},
      {tbErrors, {"User Errors", "Napake"}},
      {tbCompile, {"Compile", "Prevedi trenuten objekt"}},
      {tbCompileAll, {"Recompile All", "Prevedi vse objekte"}},
      {tbExit, {"Exit", "Izhod"}},
  };
  // The hints are the commands' only text; the toolbar shows them as the buttons' labels.
  for (const auto& [action, text] : hints) {
    action->setText(t(text.first, text.second));
    action->setToolTip(action->text());
  }
  laOwner->setText(t("Owner:", "Lastnik:"));
  gbOrder->setTitle(t("Order:", "Vrstni red"));
  rbType->setText(t("type", "Tip"));
  rbObject->setText(t("name", "Ime"));
  rbLast->setText(t("last modification", "Zadnji popravek"));
  cbInvalid->setText(t("Invalid", "z napakami"));
  laSearch->setText(t("Search:", "Išči:"));
  btDropObject->setText(t("&Drop object", "Briši objekt"));
  cbPrekini->setText(t("Cancel", "Prekini"));
  setView(view_);
}

StoredObject TfmErrors::currentObject() const {
  const int row = quInvalid.currentRow();
  if (!quInvalid.isOpen() || row < 0) return {listedOwner_, {}, {}};
  return {quInvalid.value(row, QStringLiteral("OWNER")).toString(),
          quInvalid.value(row, QStringLiteral("FULL_NAME")).toString(),
          quInvalid.value(row, QStringLiteral("OBJECT_TYPE")).toString().trimmed()};
}

void TfmErrors::openList(const QString& owner, const QString& status, const QVariant& name, ListOrder order) {
  quInvalid.close();
  quInvalid.setSqlLine(quInvalid.sqlLineCount() - 1, nuvo::admin::orderingLine(order));
  quInvalid.setVariable("lastnik", owner);
  quInvalid.setVariable("stat", status);
  quInvalid.setVariable("ime", name);
  listedOwner_ = owner;
  listedStatus_ = status;
  listedName_ = name;
  quInvalid.open();
}

ListOrder TfmErrors::chosenOrder() const {
  if (rbType->isChecked()) return ListOrder::Type;
  if (rbObject->isChecked()) return ListOrder::Name;
  return ListOrder::LastModification;
}

void TfmErrors::setView(View view) {
  view_ = view;
  const bool state = view == View::State;
  for (QWidget* w : std::initializer_list<QWidget*>{gbOrder, btDropObject, laSearch, edSearch, cbInvalid})
    w->setVisible(state);
  pcPages->setCurrentWidget(view == View::Errors ? tsErrors : tsList);
  setWindowTitle(view == View::Invalid ? nizInvalid : state ? nizState : nizErrors);
  tbCompile->setEnabled(view == View::Invalid && !recompiling_);
}

void TfmErrors::tbInvalidClick() {
  openList(edOwner->text(), QStringLiteral("INVALID"), QStringLiteral("%"), ListOrder::CompileOrder);
  setView(View::Invalid);
}

void TfmErrors::tbSPClick() {
  openList(edOwner->text(), QStringLiteral("ALL"), QStringLiteral("%"), chosenOrder());
  setView(View::State);
}

void TfmErrors::tbErrorsClick() {
  quErrors.close();
  quErrors.setVariable("lastnik", edOwner->text());
  quErrors.open();
  setView(View::Errors);
}

void TfmErrors::btRefreshClick() {
  switch (view_) {
    case View::Invalid:
      tbInvalidClick();
      break;
    case View::State:
      openList(edOwner->text(), cbInvalid->isChecked() ? QStringLiteral("INVALID") : QStringLiteral("ALL"),
               u'%' + edSearch->text() + u'%', chosenOrder());
      break;
    case View::Errors:
      tbErrorsClick();
      break;
  }
}

void TfmErrors::rbTypeClick() {
  if (view_ != View::State) return;
  openList(listedOwner_, listedStatus_, listedName_, chosenOrder());
}

void TfmErrors::showErrorText() {
  const int row = quErrors.currentRow();
  DBMemo1->setPlainText(row < 0 ? QString() : quErrors.value(row, QStringLiteral("TEXT")).toString());
}

void TfmErrors::tbCompileClick() {
  lNapaka = false;
  QString error;
  const auto outcome = nuvo::admin::compileObject(context().osOracle, currentObject(), &error);
  if (outcome == nuvo::admin::CompileOutcome::Failed)
    nuvo::showMessage(error, nuvo::MessageKind::Error, this);
  lNapaka = outcome == nuvo::admin::CompileOutcome::StillInvalid;
}

void TfmErrors::setCommandsEnabled(bool enabled) {
  for (QAction* a : {tbInvalid, tbSP, tbErrors, tbCompileAll, tbExit}) a->setEnabled(enabled);
  for (QWidget* w : std::initializer_list<QWidget*>{edOwner, edSearch, btRefresh, gbOrder, cbInvalid,
                                                    btDropObject, DBGrid1})
    w->setEnabled(enabled);
  tbCompile->setEnabled(enabled && view_ == View::Invalid);
}

void TfmErrors::tbCompileAllClick() {
  if (recompiling_) return;
  recompiling_ = true;
  setCommandsEnabled(false);
  cbPrekini->setChecked(false);
  quInvalid.fetchAll();
  QList<StoredObject> objects;
  for (int row = 0; row < quInvalid.recordCount(); ++row) {
    quInvalid.setCurrentRow(row);
    objects << currentObject();
  }
  int index = 0;
  nuvo::admin::RecompileSteps steps;
  steps.beforeEach = [this, &index] {
    QCoreApplication::processEvents();
    if (index < quInvalid.recordCount()) {
      quInvalid.setCurrentRow(index);
      DBGrid1->selectRow(index);
    }
    ++index;
  };
  steps.cancelled = [this] { return cbPrekini->isChecked(); };
  steps.compile = [this](const StoredObject& object) {
    lNapaka = false;
    QString error;
    const auto outcome = nuvo::admin::compileObject(context().osOracle, object, &error);
    if (outcome == nuvo::admin::CompileOutcome::Failed)
      nuvo::showMessage(error, nuvo::MessageKind::Error, this);
    lNapaka = outcome == nuvo::admin::CompileOutcome::StillInvalid;
    return outcome;
  };
  steps.firstStillInvalid = [this] {
    cbPrekini->setChecked(false);
    cbPrekini->show();
  };
  nuvo::admin::recompileAll(objects, steps);
  recompiling_ = false;
  setCommandsEnabled(true);
  try {
    tbInvalidClick();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  cbPrekini->hide();
  cbPrekini->setChecked(false);
  if (closeRequested_) close();
}

void TfmErrors::btDropObjectClick() {
  const StoredObject object = currentObject();
  try {
    nuvo::db::Query drop(&context().osOracle);
    drop.setSql(nuvo::admin::dropStatement(object));
    drop.execute();
  } catch (const nuvo::db::Error&) {
    nuvo::showMessage(nuvo::admin::dropFailedMessage(object, nizErrDrop), nuvo::MessageKind::Error, this);
    return;
  }
  nuvo::showMessage(nuvo::admin::droppedMessage(object, nizDroped), nuvo::MessageKind::Information, this);
}

void TfmErrors::closeEvent(QCloseEvent* event) {
  // Closing under the loop would free the window it runs in: the close waits for its end.
  if (recompiling_) {
    closeRequested_ = true;
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}
