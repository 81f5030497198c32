#include "schema/refresh.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

#include "db/error.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "shell/Main.h"
#include "widgets/message_facade.h"
#include "shell/IGridUtils.h"

namespace {

using nuvo::schema::RefreshDefinition;

TfmMain& context() { return *fmMain(); }

using nuvo::shell::named;

const char* const kColumnMime = "application/x-nuvo-refresh-column";
const QString kMarked = QStringLiteral(" + ");
const QString kUnmarked = QStringLiteral(" ");
// The pipe is read this often while a refresh runs.
constexpr int kPollMs = 20;

QPointer<TfmRefresh> gActive;

QComboBox* editableCombo(QWidget* parent, const char* name) {
  auto* combo = named(new QComboBox(parent), name);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMinimumContentsLength(16);
  return combo;
}

}  // namespace

namespace refresh {

TExecSqlThread::TExecSqlThread(TfmRefresh* AForm) : AFormT(AForm), quDynT(&AForm->quDyn) {}

void TExecSqlThread::run() {
  try {
    quDynT->execute();
    AFormT->SQLNapaka = false;
  } catch (const nuvo::db::Error& e) {
    AFormT->SQLErr = e.message();
    AFormT->SQLNapaka = true;
  } catch (const std::exception& e) {
    AFormT->SQLErr = QString::fromUtf8(e.what());
    AFormT->SQLNapaka = true;
  }
  AFormT->workerDone_ = true;
  // The window reads what is left in the pipe and ends the run now, not at its next poll.
  QMetaObject::invokeMethod(AFormT, &TfmRefresh::PollPipe, Qt::QueuedConnection);
}

}  // namespace refresh

TfmRefresh::TfmRefresh(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmRefresh"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  buildWidgets();
  SetLanguageTexts();
  connectSignals();
  ClearCounters();
  pcRefresh->setCurrentWidget(tsRefresh);
  pcRefresh->setTabVisible(pcRefresh->indexOf(tsScriptErr), false);

  TfmMain& m = context();
  if (!m.osOracle.connected()) return;
  try {
    osOracleThread.logOn(m.osOracle.user(), m.connPassword, m.osOracle.database(), m.osOracle.sysdba());
  } catch (const nuvo::db::Error& e) {
    meErr->appendPlainText(nizNoSession + e.message());
  }
  guard([this, &m] {
    const QStringList users = nuvo::schema::readRefreshUsers(m.osOracle, QString());
    cbUserSource->addItems(users);
    cbUserDest->addItems(users);
    cbDBLDest->addItem(QString());
    cbDBLDest->addItems(nuvo::schema::readRefreshLinks(m.osOracle));
  });
  cbUserSource->setEditText(QString());
  cbUserDest->setEditText(QString());
  cbDBLDest->setEditText(QString());
}

TfmRefresh::~TfmRefresh() {
  // The worker uses quDyn and the worker session: both live until it has returned.
  if (worker_) {
    osOracleThread.breakExecution();
    worker_->wait();
    delete worker_;
  }
  if (gActive == this) gActive = nullptr;
}

TfmRefresh* TfmRefresh::activeRefresh() { return gActive; }

void TfmRefresh::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  auto* names = new QHBoxLayout;
  auto* source = named(new QGroupBox(this), "gbSource");
  auto* sourceForm = new QFormLayout(source);
  cbUserSource = editableCombo(source, "cbUserSource");
  cbTableSource = editableCombo(source, "cbTableSource");
  sourceForm->addRow(QStringLiteral("User"), cbUserSource);
  sourceForm->addRow(QStringLiteral("Table"), cbTableSource);
  auto* dest = named(new QGroupBox(this), "gbDest");
  auto* destForm = new QFormLayout(dest);
  cbDBLDest = editableCombo(dest, "cbDBLDest");
  cbUserDest = editableCombo(dest, "cbUserDest");
  cbTableDest = editableCombo(dest, "cbTableDest");
  destForm->addRow(QStringLiteral("DB Link"), cbDBLDest);
  destForm->addRow(QStringLiteral("User"), cbUserDest);
  destForm->addRow(QStringLiteral("Table"), cbTableDest);
  names->addWidget(source, 1);
  names->addWidget(dest, 1);
  layout->addLayout(names);

  pcRefresh = named(new QTabWidget(this), "pcRefresh");
  tsRefresh = named(new QWidget, "tsRefresh");
  auto* refreshPage = new QHBoxLayout(tsRefresh);
  sgSelCol = named(new QTableWidget(0, 2, tsRefresh), "sgSelCol");
  sgSelCol->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgSelCol->setSelectionMode(QAbstractItemView::NoSelection);
  sgSelCol->verticalHeader()->hide();
  sgSelCol->horizontalHeader()->setStretchLastSection(true);
  sgSelCol->setColumnWidth(0, 40);
  sgSelCol->hide();
  refreshPage->addWidget(sgSelCol, 2);
  auto* keyColumn = new QVBoxLayout;
  auto* keyLabel = named(new QLabel(tsRefresh), "laUnique");
  lbUnique = named(new QListWidget(tsRefresh), "lbUnique");
  lbUnique->setAcceptDrops(true);
  lbUnique->installEventFilter(this);
  lbUnique->setStyleSheet(QStringLiteral("QListWidget { background: silver; }"));
  keyColumn->addWidget(keyLabel);
  keyColumn->addWidget(lbUnique, 1);
  refreshPage->addLayout(keyColumn, 1);
  auto* counters = new QFormLayout;
  laStatus = named(new QLabel(tsRefresh), "laStatus");
  laCounter = named(new QLabel(tsRefresh), "laCounter");
  laUpdated = named(new QLabel(tsRefresh), "laUpdated");
  laInserted = named(new QLabel(tsRefresh), "laInserted");
  laDeleted = named(new QLabel(tsRefresh), "laDeleted");
  const char* const captions[] = {"laStatusCaption", "laCounterCaption", "laUpdatedCaption", "laInsertedCaption",
                                  "laDeletedCaption"};
  int caption = 0;
  for (QLabel* label : {laStatus, laCounter, laUpdated, laInserted, laDeleted}) {
    label->setMinimumWidth(80);
    counters->addRow(named(new QLabel(tsRefresh), captions[caption++]), label);
  }
  refreshPage->addLayout(counters);
  pcRefresh->addTab(tsRefresh, QString());

  tsOptions = named(new QWidget, "tsOptions");
  auto* options = new QVBoxLayout(tsOptions);
  cbUpdate = named(new QCheckBox(tsOptions), "cbUpdate");
  cbUpdate->setChecked(true);
  cbDelete = named(new QCheckBox(tsOptions), "cbDelete");
  cbPipe = named(new QCheckBox(tsOptions), "cbPipe");
  cbErrorON = named(new QCheckBox(tsOptions), "cbErrorON");
  cbErrorON->setChecked(true);
  cbSequence = named(new QCheckBox(tsOptions), "cbSequence");
  paSequence = named(new QWidget(tsOptions), "paSequence");
  auto* sequence = new QFormLayout(paSequence);
  edSeqField = named(new QLineEdit(paSequence), "edSeqField");
  edSeqField->setAcceptDrops(true);
  edSeqField->installEventFilter(this);
  cbSeqName = editableCombo(paSequence, "cbSeqName");
  sequence->addRow(new QLabel(paSequence), edSeqField);
  sequence->addRow(new QLabel(paSequence), cbSeqName);
  paSequence->hide();
  cbProc = named(new QCheckBox(tsOptions), "cbProc");
  edProcedure = named(new QLineEdit(tsOptions), "edProcedure");
  edProcedure->hide();
  for (QWidget* w : std::initializer_list<QWidget*>{cbUpdate, cbDelete, cbPipe, cbErrorON, cbSequence, paSequence,
                                                     cbProc, edProcedure})
    options->addWidget(w);
  options->addStretch(1);
  pcRefresh->addTab(tsOptions, QString());

  const auto memoPage = [this](const char* pageName, const char* memoName, QPlainTextEdit*& memo) {
    auto* page = named(new QWidget, pageName);
    auto* pageLayout = new QVBoxLayout(page);
    memo = named(new QPlainTextEdit(page), memoName);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    pageLayout->addWidget(memo);
    pcRefresh->addTab(page, QString());
    return page;
  };
  tsErrors = memoPage("tsErrors", "meErr", meErr);
  tsBlock = memoPage("tsBlock", "meBlock", meBlock);
  tsScriptErr = memoPage("tsScriptErr", "meScriptErr", meScriptErr);
  tsHelp = memoPage("tsHelp", "meHelp", meHelp);
  meHelp->setReadOnly(true);
  meHelp->setPlainText(nuvo::schema::refreshFileHelp());
  layout->addWidget(pcRefresh, 1);

  auto* commands = new QHBoxLayout;
  btRefresh = named(new QPushButton(this), "btRefresh");
  btSkript = named(new QPushButton(this), "btSkript");
  btRunSkript = named(new QPushButton(this), "btRunSkript");
  btCommit = named(new QPushButton(this), "btCommit");
  btRollback = named(new QPushButton(this), "btRollback");
  btCancel = named(new QPushButton(this), "btCancel");
  Button1 = named(new QPushButton(this), "Button1");
  btCommit->setEnabled(false);
  btRollback->setEnabled(false);
  btCancel->setEnabled(false);
  for (QPushButton* b : {btRefresh, btSkript, btRunSkript, btCommit, btRollback, btCancel}) {
    b->setAutoDefault(false);
    commands->addWidget(b);
  }
  commands->addStretch(1);
  Button1->setAutoDefault(false);
  commands->addWidget(Button1);
  layout->addLayout(commands);
  resize(900, 600);

  tmColumns = new QTimer(this);
  tmColumns->setSingleShot(true);
  tmColumns->setInterval(1000);
  tmPoll = new QTimer(this);
  tmPoll->setInterval(kPollMs);
}

void TfmRefresh::SetLanguageTexts() {
  const bool slo = context().slovene();
  const auto t = [slo](const char* english, const char* slovene) {
    return QString::fromUtf8(slo ? slovene : english);
  };
  setWindowTitle(t("Refresh Tables", "Osveževanje tabel"));
  findChild<QGroupBox*>(QStringLiteral("gbSource"))->setTitle(t("Source", "Izvor"));
  findChild<QGroupBox*>(QStringLiteral("gbDest"))->setTitle(t("Destination", "Cilj"));
  const auto relabel = [](QWidget* field, const QString& text) {
    auto* form = qobject_cast<QFormLayout*>(field->parentWidget()->layout());
    if (!form) return;
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(field))) label->setText(text);
  };
  relabel(cbUserSource, t("User", "Uporabnik"));
  relabel(cbTableSource, t("Table", "Tabela"));
  relabel(cbDBLDest, t("DB Link", "Povezava"));
  relabel(cbUserDest, t("User", "Uporabnik"));
  relabel(cbTableDest, t("Table", "Tabela"));
  relabel(edSeqField, t("Field", "Polje"));
  relabel(cbSeqName, t("Sequence", "Sekvenca"));
  findChild<QLabel*>(QStringLiteral("laUnique"))->setText(t("Unique key", "Unikatni ključ"));
  const char* const counters[][3] = {{"laStatusCaption", "Status", "Stanje"},
                                     {"laCounterCaption", "Read", "Prebrano"},
                                     {"laUpdatedCaption", "Updated", "Popravljeno"},
                                     {"laInsertedCaption", "Inserted", "Dodano"},
                                     {"laDeletedCaption", "Deleted", "Brisano"}};
  for (const auto& c : counters) findChild<QLabel*>(QString::fromLatin1(c[0]))->setText(t(c[1], c[2]));
  sgSelCol->setHorizontalHeaderLabels({QString(), t("Column", "Stolpec")});
  cbUpdate->setText(t("Update records", "Popravljaj zapise"));
  cbDelete->setText(t("Delete records", "Briši zapise"));
  cbPipe->setText(t("Pipe ON ", "Pipe vklopljen"));
  cbErrorON->setText(t("Save Errors ON", "Shranjuj napake"));
  cbErrorON->setToolTip(t("Save Errors in NUVO_UTIL.NUVO_ERR table", "Napake v tabelo NUVO_UTIL.NUVO_ERR"));
  cbSequence->setText(t("Sequence", "Sekvenca"));
  cbProc->setText(t("Procedure", "Procedura"));
  pcRefresh->setTabText(pcRefresh->indexOf(tsRefresh), t("Refresh", "Osveževanje"));
  pcRefresh->setTabText(pcRefresh->indexOf(tsOptions), t("Options", "Možnosti"));
  pcRefresh->setTabText(pcRefresh->indexOf(tsErrors), t("Errors", "Napake"));
  pcRefresh->setTabText(pcRefresh->indexOf(tsBlock), t("SQLBlock", "SQL blok"));
  pcRefresh->setTabText(pcRefresh->indexOf(tsScriptErr), t("Script Errors", "Napake skripte"));
  pcRefresh->setTabText(pcRefresh->indexOf(tsHelp), t("RFS structure", "Zgradba RFS"));
  btRefresh->setText(t("&Start refreshing", "&Začni osveževanje"));
  btSkript->setText(t("Create PL/SQL", "Kreiraj PL/SQL"));
  btSkript->setToolTip(t("Create PL/SQL Script fo Refreshing", "Kreiraj PL/SQL skripto za osveževanje"));
  btRunSkript->setText(t("&Run skript", "&Izvedi skripto"));
  btRunSkript->setToolTip(
      t("Load Parameters from Script and Start Refreshing", "Preberi parametre iz skripte in začni osveževanje"));
  btCommit->setText(t("&Commit", "&Potrdi"));
  btRollback->setText(t("&Rollback", "&Prekliči"));
  btCancel->setText(t("Cance&l", "Pre&kini"));
  Button1->setText(t("&Exit", "I&zhod"));
  nizKeyMissing = t("Primary key on destination table is missing", "Ciljna tabela nima primarnega ključa");
  nizSame = t("Same tables!", "Enaki tabeli!");
  nizMissing = t("Data is Missing !", "Manjkajo podatki !");
  nizNothingToUpdate = t("No column is left to update: only audit or sequence columns are marked",
                         "Ni stolpca za popravljanje: označeni so le revizijski stolpci ali sekvenca");
  nizBusy = t("Another refresh is running; one refresh at a time", "Teče drugo osveževanje; hkrati le eno");
  nizRolledBack = t("ROLLED BACK: the refresh file does not commit (COMMIT=TRUE)",
                    "PREKLICANO: datoteka ne potrjuje sprememb (COMMIT=TRUE)");
  nizClosed = t("The refresh that was not committed is rolled back", "Nepotrjeno osveževanje je preklicano");
  nizNoSession = t("The refresh session cannot log on: ", "Seja za osveževanje se ne more prijaviti: ");
}

void TfmRefresh::connectSignals() {
  connect(btRefresh, &QPushButton::clicked, this, [this] { guard([this] { btRefreshClick(); }); });
  connect(btSkript, &QPushButton::clicked, this, [this] { guard([this] { btSkriptClick(); }); });
  connect(btRunSkript, &QPushButton::clicked, this, [this] { guard([this] { btRunSkriptClick(); }); });
  connect(btCommit, &QPushButton::clicked, this, [this] { guard([this] { btCommitClick(); }); });
  connect(btRollback, &QPushButton::clicked, this, [this] { guard([this] { btRollbackClick(); }); });
  connect(btCancel, &QPushButton::clicked, this, &TfmRefresh::btCancelClick);
  connect(Button1, &QPushButton::clicked, this, &QWidget::close);
  connect(tmPoll, &QTimer::timeout, this, &TfmRefresh::PollPipe);
  connect(tmColumns, &QTimer::timeout, this, [this] { guard([this] { LoadColumns(); }); });
  connect(cbTableSource, &QComboBox::editTextChanged, this, [this] { tmColumns->start(); });
  connect(cbUserSource, &QComboBox::editTextChanged, this, [this] { guard([this] { sourceUserChanged(); }); });
  connect(cbUserDest, &QComboBox::editTextChanged, this, [this] { guard([this] { destUserChanged(); }); });
  connect(cbDBLDest, &QComboBox::editTextChanged, this, [this] { guard([this] { linkChanged(); }); });
  // Leaving the destination table field upper-cases it.
  connect(cbTableDest->lineEdit(), &QLineEdit::editingFinished, this,
          [this] { cbTableDest->setEditText(cbTableDest->currentText().toUpper()); });
  connect(cbSequence, &QCheckBox::toggled, this, [this](bool on) { guard([this, on] { sequenceToggled(on); }); });
  connect(cbProc, &QCheckBox::toggled, edProcedure, &QWidget::setVisible);
  connect(sgSelCol, &QTableWidget::cellPressed, this, &TfmRefresh::gridPressed);
  connect(lbUnique, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { delete item; });
}

void TfmRefresh::guard(const std::function<void()>& call) {
  try {
    call();
  } catch (const nuvo::db::Error& e) {
    tell(e.message());
  } catch (const nuvo::PlatformError& e) {
    tell(e.message());
  } catch (const std::invalid_argument& e) {
    tell(QString::fromUtf8(e.what()));
  }
}

void TfmRefresh::tell(const QString& text) {
  if (unattended_) {
    emit unattendedReport(text, true);
    meErr->appendPlainText(text);
  } else {
    nuvo::showMessage(text, nuvo::MessageKind::Error, this);
  }
}

RefreshDefinition TfmRefresh::definition() const {
  RefreshDefinition d;
  d.sourceUser = cbUserSource->currentText();
  d.sourceTable = cbTableSource->currentText();
  d.link = cbDBLDest->currentText();
  d.destUser = cbUserDest->currentText();
  d.destTable = cbTableDest->currentText();
  for (int i = 0; i < lbUnique->count(); ++i) d.keys << lbUnique->item(i)->text();
  for (int row = 0; row < sgSelCol->rowCount(); ++row) {
    const QTableWidgetItem* mark = sgSelCol->item(row, 0);
    const QTableWidgetItem* name = sgSelCol->item(row, 1);
    d.columns.push_back({name ? name->text() : QString(), name ? name->data(Qt::UserRole).toString() : QString(),
                         mark && mark->text() == kMarked});
  }
  d.update = cbUpdate->isChecked();
  d.deleteRows = cbDelete->isChecked();
  d.sequence = cbSequence->isChecked();
  d.sequenceField = edSeqField->text();
  d.sequenceName = cbSeqName->currentText();
  d.procedure = cbProc->isChecked();
  d.procedureName = edProcedure->text();
  d.saveErrors = cbErrorON->isChecked();
  return d;
}

void TfmRefresh::showDefinition(const RefreshDefinition& d) {
  // No handler reacts: the column timer would reload the grid and lose the marks.
  const QSignalBlocker b1(cbUserSource), b2(cbTableSource), b3(cbDBLDest), b4(cbUserDest), b5(cbTableDest);
  cbUserSource->setEditText(d.sourceUser);
  cbTableSource->setEditText(d.sourceTable);
  cbDBLDest->setEditText(d.link);
  cbUserDest->setEditText(d.destUser);
  cbTableDest->setEditText(d.destTable);
  lbUnique->clear();
  lbUnique->addItems(d.keys);
  sgSelCol->setRowCount(int(d.columns.size()));
  for (int row = 0; row < int(d.columns.size()); ++row) {
    const auto& c = d.columns[size_t(row)];
    sgSelCol->setItem(row, 0, new QTableWidgetItem(c.marked ? kMarked : kUnmarked));
    auto* name = new QTableWidgetItem(c.name);
    name->setData(Qt::UserRole, c.type);
    sgSelCol->setItem(row, 1, name);
  }
  sgSelCol->setVisible(!d.columns.empty());
  cbUpdate->setChecked(d.update);
  cbDelete->setChecked(d.deleteRows);
  if (cbSequence->isChecked() != d.sequence) cbSequence->setChecked(d.sequence);
  edSeqField->setText(d.sequenceField);
  cbSeqName->setEditText(d.sequenceName);
}

void TfmRefresh::LoadColumns() {
  tmColumns->stop();
  cbSeqName->clear();
  RefreshDefinition d = definition();
  d.sourceUser = d.sourceUser.toUpper();
  d.sourceTable = d.sourceTable.toUpper();
  const QStringList keys = d.keys;
  sgSelCol->hide();
  sgSelCol->setRowCount(0);
  nuvo::schema::loadRefreshColumns(context().osOracle, d);
  if (d.columns.empty()) d.keys = keys;
  d.sourceUser = cbUserSource->currentText();
  d.sourceTable = cbTableSource->currentText();
  showDefinition(d);
}

void TfmRefresh::sourceUserChanged() {
  const QSignalBlocker blocker(cbTableSource);
  const QString text = cbTableSource->currentText();
  cbTableSource->clear();
  if (context().osOracle.connected())
    cbTableSource->addItems(nuvo::schema::readRefreshTables(context().osOracle, cbUserSource->currentText(), QString()));
  cbTableSource->setEditText(text);
}

void TfmRefresh::destUserChanged() {
  const QSignalBlocker blocker(cbTableDest);
  const QString text = cbTableDest->currentText();
  cbTableDest->clear();
  if (context().osOracle.connected())
    cbTableDest->addItems(
        nuvo::schema::readRefreshTables(context().osOracle, cbUserDest->currentText(), cbDBLDest->currentText()));
  cbTableDest->setEditText(text);
}

void TfmRefresh::linkChanged() {
  if (!context().osOracle.connected()) return;
  const QSignalBlocker b1(cbUserSource), b2(cbUserDest);
  const QString source = cbUserSource->currentText(), dest = cbUserDest->currentText();
  cbUserSource->clear();
  const QStringList users = nuvo::schema::readRefreshUsers(context().osOracle, cbDBLDest->currentText());
  cbUserSource->addItems(users);
  cbUserDest->addItems(users);
  cbUserSource->setEditText(source);
  cbUserDest->setEditText(dest);
}

void TfmRefresh::sequenceToggled(bool on) {
  paSequence->setVisible(on);
  if (!context().osOracle.connected()) return;
  const QString owner = cbUserDest->currentText();
  if (on) {
    const QStringList first = nuvo::schema::readRefreshSequences(context().osOracle, owner,
                                                                 u'%' + cbTableDest->currentText() + u'%');
    if (!first.isEmpty()) cbSeqName->setEditText(first.first());
  }
  if (cbSeqName->count() == 0) {
    const QString text = cbSeqName->currentText();
    cbSeqName->addItems(nuvo::schema::readRefreshSequences(context().osOracle, owner, QStringLiteral("ALL")));
    cbSeqName->setEditText(text);
  }
}

void TfmRefresh::gridPressed(int row, int column) {
  QTableWidgetItem* mark = sgSelCol->item(row, 0);
  if (!mark) return;
  if (column == 0) {
    mark->setText(mark->text() == kMarked ? kUnmarked : kMarked);
    return;
  }
  auto* mime = new QMimeData;
  mime->setData(QString::fromLatin1(kColumnMime), QByteArray::number(row));
  auto* drag = new QDrag(sgSelCol);
  drag->setMimeData(mime);
  drag->exec(Qt::CopyAction);
}

void TfmRefresh::dropColumn(QWidget* target, int row) {
  const QTableWidgetItem* name = sgSelCol->item(row, 1);
  if (!name) return;
  if (target == lbUnique)
    lbUnique->addItem(name->text() + u' ' + name->data(Qt::UserRole).toString());
  else if (target == edSeqField)
    edSeqField->setText(name->text());
}

bool TfmRefresh::eventFilter(QObject* watched, QEvent* event) {
  auto* target = qobject_cast<QWidget*>(watched);
  if (target != lbUnique && target != edSeqField) return QDialog::eventFilter(watched, event);
  const auto colour = [this, target](const char* background) {
    if (target == lbUnique)
      lbUnique->setStyleSheet(QStringLiteral("QListWidget { background: %1; }").arg(QLatin1String(background)));
  };
  switch (event->type()) {
    case QEvent::DragEnter: {
      auto* drag = static_cast<QDragEnterEvent*>(event);
      if (!drag->mimeData()->hasFormat(QString::fromLatin1(kColumnMime))) return false;
      drag->acceptProposedAction();
      colour("white");
      return true;
    }
    case QEvent::DragMove:
      static_cast<QDragMoveEvent*>(event)->acceptProposedAction();
      return true;
    case QEvent::DragLeave:
      colour("silver");
      return true;
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      colour("silver");
      dropColumn(target, drop->mimeData()->data(QString::fromLatin1(kColumnMime)).toInt());
      drop->acceptProposedAction();
      return true;
    }
    default:
      return QDialog::eventFilter(watched, event);
  }
}

void TfmRefresh::ClearCounters() {
  progress_ = {};
  for (QLabel* label : {laStatus, laCounter, laUpdated, laInserted, laDeleted}) label->clear();
}

void TfmRefresh::UpdateTransactionButtons() {
  const bool open = osOracleThread.connected() && osOracleThread.inTransaction();
  btCommit->setEnabled(open && !running());
  btRollback->setEnabled(open && !running());
  if (!open) ClearCounters();
}

void TfmRefresh::setRunning(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{btRefresh, btSkript, btRunSkript})
    w->setEnabled(!on && !fileRunning());
  btCancel->setEnabled(on || fileRunning());
  if (on) {
    btCommit->setEnabled(false);
    btRollback->setEnabled(false);
  }
}

bool TfmRefresh::PrepareBlock(bool createOnly, bool pipe) {
  pcRefresh->setCurrentWidget(tsRefresh);
  UpdateTransactionButtons();
  const RefreshDefinition d = definition();
  const auto refusals = nuvo::schema::refreshCheck(d);
  if (!refusals.empty()) {
    for (const auto refusal : refusals) {
      switch (refusal) {
        case nuvo::schema::RefreshRefusal::KeyMissing: tell(nizKeyMissing); break;
        case nuvo::schema::RefreshRefusal::SameTables: tell(nizSame); break;
        case nuvo::schema::RefreshRefusal::DataMissing: tell(nizMissing); break;
        case nuvo::schema::RefreshRefusal::NothingToUpdate: tell(nizNothingToUpdate); break;
      }
    }
    return false;
  }
  const QString block = nuvo::schema::refreshBlock(d, pipe);
  quDyn.setSql(block);
  if (!createOnly) WriteAndRunBlock(block);
  return true;
}

void TfmRefresh::WriteAndRunBlock(const QString& block) {
  if (gActive && gActive != this) {
    tell(nizBusy);
    SQLErr = nizBusy;
    finishRun();
    return;
  }
  if (!osOracleThread.connected()) {
    tell(nizNoSession.trimmed());
    return;
  }
  meBlock->setPlainText(block);
  laStatus->setText(QStringLiteral("RUNNING"));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  SQLNapaka = false;
  SQLErr.clear();
  cancelled_ = false;
  // A failed run is undone back to here, earlier work of the session staying as it was.
  hadTransaction_ = osOracleThread.inTransaction();
  if (hadTransaction_) osOracleThread.savepoint(QStringLiteral("NUVO_REFRESH_RUN"));
  if (!runScript) meErr->clear();
  StartThread();
}

void TfmRefresh::StartThread() {
  gActive = this;
  endSeen_ = false;
  pipeBroken_ = false;
  progress_ = {};
  workerDone_ = false;
  worker_ = new refresh::TExecSqlThread(this);
  setRunning(true);
  worker_->start();
  tmPoll->start();
}

void TfmRefresh::PollPipe() {
  if (!worker_) return;  // the worker's last call after the run has ended
  // Whether the worker had returned before this reading: then everything it sent is in the pipe.
  const bool done = workerDone_.load();
  if (!pipeBroken_) {
    try {
      for (int i = 0; i < 200 && !endSeen_; ++i) {
        const QString message = nuvo::schema::readRefreshPipe(context().osOracle);
        if (message.isEmpty()) break;
        if (nuvo::schema::isEndMessage(message)) endSeen_ = true;
        ShowPipeMessage(message);
      }
    } catch (const nuvo::db::Error& e) {
      // Without the pipe the run still ends when the worker returns.
      pipeBroken_ = true;
      meErr->appendPlainText(e.message());
    }
  }
  if (done || (workerDone_ && (endSeen_ || SQLNapaka))) {
    finishRun();
    return;
  }
  // The block's own handlers catch a cancel that meets an insert or delete: it is repeated until
  // a statement outside them ends the block.
  if (cancelled_) osOracleThread.breakExecution();
}

void TfmRefresh::ShowPipeMessage(const QString& text) {
  QStringList errors;
  nuvo::schema::applyPipeMessage(text, progress_, errors);
  laCounter->setText(progress_.read);
  laUpdated->setText(progress_.updated);
  laInserted->setText(progress_.inserted);
  laDeleted->setText(progress_.deleted);
  for (const QString& line : errors) meErr->appendPlainText(line);
}

void TfmRefresh::ShowBlockError(const QString& text) {
  for (const QString& line : nuvo::schema::blockErrorLines(cbTableDest->currentText(), text))
    meErr->appendPlainText(line);
  pcRefresh->setCurrentWidget(tsErrors);
}

void TfmRefresh::finishRun() {
  tmPoll->stop();
  // The worker session is touched only after the worker has returned from its call.
  if (worker_) {
    worker_->wait();
    delete worker_;
  }
  if (gActive == this) gActive = nullptr;
  setRunning(false);
  if (cancelled_ && !SQLNapaka && SQLErr.isEmpty())
    SQLErr = QStringLiteral("ORA-01013: user requested cancel of current operation");
  const bool failed = SQLNapaka || !SQLErr.isEmpty();
  UpdateTransactionButtons();
  if (failed) {
    laStatus->setText(QStringLiteral("ERROR"));
    ShowBlockError(SQLErr);
    // Nothing of a failed run stays: a session that had nothing open is rolled back (which also
    // lets the lock go), otherwise back to where the run began.
    if (commitStat || !hadTransaction_)
      guard([this] { btRollbackClick(); });
    else if (osOracleThread.connected())
      guard([this] {
        osOracleThread.rollbackToSavepoint(QStringLiteral("NUVO_REFRESH_RUN"));
        UpdateTransactionButtons();
      });
    if (runScript) meScriptErr->appendPlainText(QStringLiteral("ERROR ON REFRESHING TABLE : ") + cbTableDest->currentText());
    if (unattended_)
      emit unattendedReport(QStringLiteral("REFRESH %1: ERROR ON REFRESHING TABLE %2: %3")
                                .arg(runFile_, cbTableDest->currentText(), SQLErr.simplified().left(300)),
                            true);
  } else {
    laStatus->setText(QStringLiteral("ENDED"));
    if (commitStat) guard([this] { btCommitClick(); });
  }
  pcRefresh->setCurrentWidget(meErr->toPlainText().isEmpty() ? tsRefresh : tsErrors);
  emit runFinished(!failed);
  if (fileRunning()) QTimer::singleShot(0, this, &TfmRefresh::nextFileTable);
  if (closeWhenDone_ && !fileRunning()) QTimer::singleShot(0, this, &QWidget::close);
}

void TfmRefresh::btRefreshClick() {
  if (running() || fileRunning()) return;
  commitStat = false;
  pcRefresh->setTabVisible(pcRefresh->indexOf(tsScriptErr), false);
  runScript = false;
  meScriptErr->clear();
  PrepareBlock(false, true);
}

void TfmRefresh::btSkriptClick() {
  commitStat = false;
  pcRefresh->setTabVisible(pcRefresh->indexOf(tsScriptErr), false);
  runScript = false;
  meScriptErr->clear();
  PrepareBlock(true, cbPipe->isChecked());
  meBlock->setPlainText(quDyn.sqlText());
  pcRefresh->setCurrentWidget(tsBlock);
}

void TfmRefresh::btRunSkriptClick() {
  if (running() || fileRunning()) return;
  meErr->clear();
  meScriptErr->clear();
  runScript = true;
  TfmMain& m = context();
  QFileDialog dialog(this, QString(), nuvo::resolvePath(m.currentRefreshDir), QStringLiteral("REFRESH SCRIPTS (*.RFS)"));
  dialog.setDefaultSuffix(QStringLiteral("RFS"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (nuvo::execModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString chosen = dialog.selectedFiles().first();
  QString fileName;
  m.FileDirName(chosen, fileName, m.currentRefreshDir);
  RunRefreshFile(chosen);
}

void TfmRefresh::btCommitClick() {
  osOracleThread.commit();
  UpdateTransactionButtons();
}

void TfmRefresh::btRollbackClick() {
  osOracleThread.rollback();
  UpdateTransactionButtons();
}

void TfmRefresh::btCancelClick() {
  if (fileReader_) fileReader_.reset(new nuvo::schema::RefreshFileReader({}));  // no further table
  if (running()) {
    cancelled_ = true;
    osOracleThread.breakExecution();
  }
}

void TfmRefresh::RunRefreshFile(const QString& fileName) {
  runFile_ = fileName;
  QStringList lines;
  try {
    lines = nuvo::schema::readRefreshFile(nuvo::resolvePath(fileName));
  } catch (const nuvo::PlatformError& e) {
    tell(e.message());
    emit fileRunFinished();
    return;
  }
  fileReader_ = std::make_unique<nuvo::schema::RefreshFileReader>(lines);
  setRunning(false);
  nextFileTable();
}

void TfmRefresh::nextFileTable() {
  if (!fileReader_ || running()) return;
  RefreshDefinition d = definition();
  bool more = false;
  guard([&] {
    more = fileReader_->nextTable(d, commitStat, [](RefreshDefinition& def) {
      nuvo::schema::loadRefreshColumns(context().osOracle, def);
    });
  });
  showDefinition(d);
  if (!more) {
    endFileRun();
    return;
  }
  bool started = false;
  guard([&] { started = PrepareBlock(false, true) && running(); });
  // A table refused before it ran: the next one follows.
  if (!started && !running()) {
    if (runScript) meScriptErr->appendPlainText(QStringLiteral("ERROR ON REFRESHING TABLE : ") + d.destTable);
    QTimer::singleShot(0, this, &TfmRefresh::nextFileTable);
  }
}

void TfmRefresh::endFileRun() {
  fileReader_.reset();
  setRunning(false);
  if (!meScriptErr->toPlainText().isEmpty()) {
    pcRefresh->setTabVisible(pcRefresh->indexOf(tsScriptErr), true);
    pcRefresh->setCurrentWidget(tsScriptErr);
  }
  // Unattended, nobody is left to commit: what the file did not commit is undone, and said.
  if (unattended_ && osOracleThread.connected() && osOracleThread.inTransaction()) {
    guard([this] { btRollbackClick(); });
    meErr->appendPlainText(nizRolledBack);
    emit unattendedReport(QStringLiteral("REFRESH %1: ").arg(runFile_) + nizRolledBack, false);
  }
  unattended_ = false;
  emit fileRunFinished();
  if (closeWhenDone_) QTimer::singleShot(0, this, &QWidget::close);
}

void TfmRefresh::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (runSkripta.isEmpty()) return;
  const QString file = runSkripta;
  runSkripta.clear();
  unattended_ = true;
  runScript = false;
  QTimer::singleShot(0, this, [this, file] { RunRefreshFile(file); });
}

void TfmRefresh::closeEvent(QCloseEvent* event) {
  // The window, its statement and its session stay until the worker has returned: closing cancels.
  if (running() || fileRunning()) {
    closeWhenDone_ = true;
    btCancelClick();
    event->ignore();
    return;
  }
  if (osOracleThread.connected() && osOracleThread.inTransaction()) {
    osOracleThread.rollback();
    nuvo::showNotice(nizClosed, nuvo::MessageKind::Information, this);
  }
  QDialog::closeEvent(event);
}
