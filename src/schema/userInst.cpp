#include "schema/userInst.h"

#include <QAction>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "db/error.h"
#include "schema/hosting_logic.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"
#include "widgets/window_commands.h"
#include "shell/IGridUtils.h"

using nuvo::widgets::guarded;

namespace {

const nuvo::SqlText kInstUsers{"userInst.quInstUsers",
                               {"select xxx.*,xxx.rowid from nuvo_util.nuvo_inst xxx", "where inst_desc like :uporabnik"}};

using nuvo::shell::named;

TfmMain& context() { return *fmMain(); }

QString dateText(const QVariant& value) {
  const QDateTime when = value.toDateTime();
  if (!when.isValid()) return QString();
  return when.time() == QTime(0, 0) ? when.toString(QStringLiteral("dd.MM.yyyy"))
                                    : when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

// A typed date (day.month.year, optionally with the time); invalid when it is none.
QDateTime parseDate(const QString& text) {
  for (const char* format : {"d.M.yyyy H:mm:ss", "d.M.yyyy H:mm", "d.M.yyyy"}) {
    const QDateTime when = QDateTime::fromString(text.trimmed(), QString::fromLatin1(format));
    if (when.isValid()) return when;
  }
  return {};
}

}  // namespace

TfmInstUsers::TfmInstUsers(QWidget* parent) : QDialog(parent), quInstUsers(&context().osOracle) {
  setObjectName(QStringLiteral("fmInstUsers"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  quInstUsers.setSql(kInstUsers);
  quInstUsers.setFetchSize(1000);
  quInstUsers.setLockOnEdit(false);
  quInstUsers.declareVariable("uporabnik", nuvo::db::DataType::String);
  buildWidgets();
  SetLanguageTexts();
  setEditing(false);
  if (!context().osOracle.connected()) return;
  quInstUsers.setVariable("uporabnik", QStringLiteral("%"));
  guarded(this, &TfmInstUsers::btRefreshClick)();
}

void TfmInstUsers::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  DBNavigator1 = named(new QToolBar(this), "DBNavigator1");
  navInsert = named(DBNavigator1->addAction(QStringLiteral("+")), "navInsert");
  navDelete = named(DBNavigator1->addAction(QStringLiteral("-")), "navDelete");
  navEdit = named(DBNavigator1->addAction(QStringLiteral("^")), "navEdit");
  navPost = named(DBNavigator1->addAction(QStringLiteral("\u2713")), "navPost");
  navCancel = named(DBNavigator1->addAction(QStringLiteral("x")), "navCancel");
  navRefresh = named(DBNavigator1->addAction(QStringLiteral("R")), "navRefresh");
  laUpor = named(new QLabel(this), "laUpor");
  edUpor = named(new QLineEdit(QStringLiteral("%"), this), "edUpor");
  edUpor->setMaximumWidth(200);
  nuvo::widgets::upperCaseEdit(edUpor);
  btRefresh = named(new QPushButton(QStringLiteral("."), this), "btRefresh");
  btRefresh->setFixedWidth(28);
  top->addWidget(DBNavigator1);
  top->addWidget(laUpor);
  top->addWidget(edUpor);
  top->addWidget(btRefresh);
  top->addStretch(1);
  layout->addLayout(top);

  auto* split = new QSplitter(Qt::Vertical, this);
  dbgInst = named(new TThemedDBGrid(split), "dbgInst");
  dbgInst->setModel(new nuvo::widgets::DatasetModel(&quInstUsers, dbgInst));
  dbgInst->setSelectionBehavior(QAbstractItemView::SelectRows);
  dbgInst->setEditTriggers(QAbstractItemView::NoEditTriggers);
  pcInstalations = named(new QTabWidget(split), "pcInstalations");
  tsParameters = named(new QWidget, "tsParameters");
  auto* grid = new QGridLayout(tsParameters);
  const auto label = [this](const char* name) { return named(new QLabel(this), name); };
  const auto edit = [this](const char* name) { return named(new QLineEdit(this), name); };
  laDesc = label("laDesc");
  laVersion = label("laVersion");
  laInstance = label("laInstance");
  laCurrent = label("laCurrent");
  laLast = label("laLast");
  laFiles = label("laFiles");
  edDesc = edit("edDesc");
  edVersion = edit("edVersion");
  edInstance = edit("edInstance");
  edCurrent = edit("edCurrent");
  edLast = edit("edLast");
  edDesc->setMaxLength(50);
  edInstance->setMaxLength(4);
  edVersion->setMaxLength(50);
  edCurrent->setMaxLength(30);
  nuvo::widgets::upperCaseEdit(edDesc);
  nuvo::widgets::upperCaseEdit(edInstance);
  grid->addWidget(laDesc, 0, 0);
  grid->addWidget(edDesc, 0, 1);
  grid->addWidget(laVersion, 0, 2);
  grid->addWidget(edVersion, 0, 3);
  grid->addWidget(laInstance, 1, 0);
  grid->addWidget(edInstance, 1, 1);
  grid->addWidget(laCurrent, 1, 2);
  grid->addWidget(edCurrent, 1, 3);
  grid->addWidget(laLast, 2, 0);
  grid->addWidget(edLast, 2, 1);
  grid->addWidget(laFiles, 3, 0, 1, 4);
  meFiles = named(new QPlainTextEdit(tsParameters), "meFiles");
  grid->addWidget(meFiles, 4, 0, 1, 4);
  const auto memoPage = [this](const char* pageName, const char* memoName, QWidget*& page) {
    page = named(new QWidget, pageName);
    auto* pageLayout = new QVBoxLayout(page);
    auto* memo = named(new QPlainTextEdit(page), memoName);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    pageLayout->addWidget(memo);
    return memo;
  };
  meInit = memoPage("tsInit", "meInit", tsInit);
  meOS = memoPage("tsOS", "meOS", tsOS);
  meSave = memoPage("tsSave", "meSave", tsSave);
  meHints = memoPage("tsHints", "meHints", tsHints);
  for (QWidget* page : {tsParameters, tsInit, tsOS, tsSave, tsHints}) pcInstalations->addTab(page, QString());
  layout->addWidget(split, 1);
  resize(860, 600);

  connect(btRefresh, &QPushButton::clicked, this, guarded(this, &TfmInstUsers::btRefreshClick));
  connect(edUpor, &QLineEdit::returnPressed, this, guarded(this, &TfmInstUsers::btRefreshClick));
  connect(navRefresh, &QAction::triggered, this, guarded(this, &TfmInstUsers::btRefreshClick));
  connect(navInsert, &QAction::triggered, this, guarded(this, &TfmInstUsers::insertRow));
  connect(navEdit, &QAction::triggered, this, guarded(this, &TfmInstUsers::editRow));
  connect(navPost, &QAction::triggered, this, [this] { postRow(); });
  connect(navCancel, &QAction::triggered, this, guarded(this, &TfmInstUsers::cancelRow));
  connect(navDelete, &QAction::triggered, this, guarded(this, &TfmInstUsers::deleteRow));
  connect(pcInstalations, &QTabWidget::currentChanged, this, [this] { pcInstalationsChange(); });
  connect(dbgInst->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& index) {
    if (!index.isValid() || editing_) return;
    quInstUsers.setCurrentRow(index.row());
    showRow();
  });
  connect(&quInstUsers, &nuvo::db::Dataset::opened, this, [this] {
    for (int column = 0; column < quInstUsers.fieldCount(); ++column)
      dbgInst->setColumnHidden(column, quInstUsers.columns()[column].name.compare(u"ROWID", Qt::CaseInsensitive) == 0);
    if (quInstUsers.recordCount() > 0) quInstUsers.setCurrentRow(0);
    showRow();
  });
}

void TfmInstUsers::SetLanguageTexts() {
  const bool slo = context().slovene();
  setWindowTitle(QStringLiteral("Users Instalation Parameters"));
  laUpor->setText(slo ? QStringLiteral("Instalacija:") : QStringLiteral("Instalation:"));
  laDesc->setText(slo ? QStringLiteral("Instalacija:") : QStringLiteral("Instalation:"));
  laVersion->setText(slo ? QStringLiteral("Verzija:") : QStringLiteral("Version:"));
  laInstance->setText(slo ? QStringLiteral("Instanca:") : QStringLiteral("Oracle Instance:"));
  laCurrent->setText(slo ? QStringLiteral("Zadnja verzija:") : QStringLiteral("Last Version:"));
  laLast->setText(slo ? QStringLiteral("Zadnja instalacija:") : QStringLiteral("Last Instalation:"));
  laFiles->setText(slo ? QStringLiteral("Parametri in datoteke:") : QStringLiteral("Parameters and files:"));
  const QStringList pages = slo ? QStringList{"Parametri", "Init.ora datoteka", "Operacijski sistem", "Arhiviranje",
                                              "Instalacijski dodatki"}
                                : QStringList{"Parameters&&Files", "Oracle Init File", "Operating System", "Archiving",
                                              "Instalation Hints"};
  for (int i = 0; i < pages.size(); ++i) pcInstalations->setTabText(i, pages[i]);
  nizFinish = QStringLiteral("Finish Transaction!");
  nizBadDate = slo ? QStringLiteral("Datum zadnje instalacije ni veljaven (dd.mm.llll):")
                   : QStringLiteral("The last instalation date is not valid (dd.mm.yyyy):");
  navInsert->setToolTip(slo ? QStringLiteral("Nova vrstica") : QStringLiteral("Insert"));
  navDelete->setToolTip(slo ? QStringLiteral("Briši") : QStringLiteral("Delete"));
  navEdit->setToolTip(slo ? QStringLiteral("Uredi") : QStringLiteral("Edit"));
  navPost->setToolTip(slo ? QStringLiteral("Shrani") : QStringLiteral("Post"));
  navCancel->setToolTip(slo ? QStringLiteral("Prekliči") : QStringLiteral("Cancel"));
  navRefresh->setToolTip(slo ? QStringLiteral("Osveži") : QStringLiteral("Refresh"));
}

void TfmInstUsers::btRefreshClick() {
  pcInstalations->setCurrentWidget(tsParameters);
  if (context().osOracle.inTransaction()) {
    nuvo::showMessage(nizFinish, nuvo::MessageKind::Warning, this);
    return;
  }
  quInstUsers.close();
  quInstUsers.setVariable("uporabnik", nuvo::schema::registerFilter(edUpor->text()));
  quInstUsers.open();
}

void TfmInstUsers::pcInstalationsChange() {
  if (pcInstalations->currentWidget() != tsOS || !editing_) return;
  if (meOS->toPlainText().isEmpty()) meOS->setPlainText(nuvo::schema::operatingSystemTemplate());
}

void TfmInstUsers::showRow() {
  const int row = quInstUsers.currentRow();
  const bool has = quInstUsers.isOpen() && row >= 0 && row < quInstUsers.recordCount();
  const auto value = [&](const char* name) {
    return has ? quInstUsers.value(row, QString::fromLatin1(name)) : QVariant();
  };
  edDesc->setText(value("INST_DESC").toString());
  edVersion->setText(value("INST_VERSION").toString());
  edInstance->setText(value("INST_INSTANCE").toString());
  edCurrent->setText(value("INST_CURRENT").toString());
  edLast->setText(dateText(value("INST_LAST")));
  meFiles->setPlainText(value("INST_FILES").toString());
  meInit->setPlainText(value("INST_INIT").toString());
  meOS->setPlainText(value("INST_OS").toString());
  meSave->setPlainText(value("INST_SAVE").toString());
  meHints->setPlainText(value("INST_HINTS").toString());
}

void TfmInstUsers::setEditing(bool editing) {
  editing_ = editing;
  for (QLineEdit* e : {edDesc, edVersion, edInstance, edCurrent, edLast}) e->setReadOnly(!editing);
  for (QPlainTextEdit* m : {meFiles, meInit, meOS, meSave, meHints}) m->setReadOnly(!editing);
  navPost->setEnabled(editing);
  navCancel->setEnabled(editing);
  for (QAction* a : {navInsert, navEdit, navDelete, navRefresh}) a->setEnabled(!editing);
  dbgInst->setEnabled(!editing);
}

void TfmInstUsers::insertRow() {
  if (!quInstUsers.isOpen()) return;
  inserting_ = true;
  for (QLineEdit* e : {edDesc, edVersion, edInstance, edCurrent, edLast}) e->clear();
  for (QPlainTextEdit* m : {meFiles, meInit, meOS, meSave, meHints}) m->clear();
  setEditing(true);
  pcInstalationsChange();
}

void TfmInstUsers::editRow() {
  if (!quInstUsers.isOpen() || quInstUsers.recordCount() == 0) return;
  inserting_ = false;
  setEditing(true);
  pcInstalationsChange();
}

bool TfmInstUsers::postRow() {
  if (!editing_) return false;
  QVariant last;
  if (!edLast->text().trimmed().isEmpty()) {
    const QDateTime when = parseDate(edLast->text());
    if (!when.isValid()) {
      nuvo::showMessage(nizBadDate + u' ' + edLast->text(), nuvo::MessageKind::Error, this);
      return false;
    }
    last = when;
  }
  try {
    if (inserting_)
      quInstUsers.insert(quInstUsers.recordCount());
    else
      quInstUsers.edit(quInstUsers.currentRow());
    const QList<QPair<const char*, QVariant>> values{
        {"INST_DESC", edDesc->text()},       {"INST_VERSION", edVersion->text()},
        {"INST_INSTANCE", edInstance->text()}, {"INST_CURRENT", edCurrent->text()},
        {"INST_LAST", last},                 {"INST_FILES", meFiles->toPlainText()},
        {"INST_INIT", meInit->toPlainText()}, {"INST_OS", meOS->toPlainText()},
        {"INST_SAVE", meSave->toPlainText()}, {"INST_HINTS", meHints->toPlainText()}};
    for (const auto& [name, value] : values) quInstUsers.setValue(QString::fromLatin1(name), value);
    quInstUsers.post();
    context().osOracle.commit();
  } catch (const nuvo::db::Error& e) {
    if (quInstUsers.state() != nuvo::db::Dataset::State::Browse) quInstUsers.cancel();
    context().osOracle.rollback();
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    return false;
  }
  setEditing(false);
  inserting_ = false;
  showRow();
  return true;
}

void TfmInstUsers::cancelRow() {
  inserting_ = false;
  setEditing(false);
  showRow();
}

void TfmInstUsers::deleteRow() {
  const int row = quInstUsers.currentRow();
  if (!quInstUsers.isOpen() || row < 0 || row >= quInstUsers.recordCount()) return;
  if (!nuvo::askYesNo(context().slovene() ? QStringLiteral("Brišem izbrano instalacijo?")
                                          : QStringLiteral("Delete the chosen instalation?"),
                      this))
    return;
  try {
    quInstUsers.remove(row);
    context().osOracle.commit();
  } catch (const nuvo::db::Error&) {
    context().osOracle.rollback();
    throw;
  }
  showRow();
}
