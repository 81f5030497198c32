#include "schema/cmpstru.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "db/error.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "shell/Main.h"
#include "widgets/message_facade.h"
#include "widgets/window_commands.h"
#include "shell/IGridUtils.h"

namespace {

TfmMain& context() { return *fmMain(); }

using nuvo::shell::named;

// An interrupted unattended run: empty snapshots, a report that cannot be removed.
struct Interrupted {
  QString text;
};

const char* const kTypes[] = {"ALL",     "TABLE",        "TRIGGER ", "PROCEDURE", "FUNCTION",
                              "PACKAGE", "PACKAGE BODY", "SEQUENCE", "INDEX"};

}  // namespace

TfmCmpStru::TfmCmpStru(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmCmpStru"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  buildWidgets();
  SetLanguageTexts();
  const TfmMain& m = context();
  edUser->setText(m.connUser.toUpper());
  btSaveDiff->setEnabled(false);
  spSave->setEnabled(false);
  setWindowTitle(windowTitle() + QStringLiteral("  (") + m.connUser + u'@' + m.connServer + u')');
}

void TfmCmpStru::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  menu = named(new QMenuBar(this), "mmCmpStru");
  QMenu* file = menu->addMenu(QString());
  file->setObjectName(QStringLiteral("mmFile"));
  miShowOriginal = file->addAction(QString());
  miShowCurrent = file->addAction(QString());
  miCreate = file->addAction(QString());
  miCompare = menu->addAction(QString());
  miExit = menu->addAction(QString());
  layout->setMenuBar(menu);

  auto* strip = new QHBoxLayout;
  const auto tool = [this, strip](const char* name, QStyle::StandardPixmap icon) {
    auto* button = named(new QToolButton(this), name);
    button->setIcon(style()->standardIcon(icon));
    button->setAutoRaise(true);
    strip->addWidget(button);
    return button;
  };
  spCreate = tool("spCreate", QStyle::SP_FileDialogNewFolder);
  spCompare = tool("spCompare", QStyle::SP_FileDialogContentsView);
  spOpen = tool("spOpen", QStyle::SP_DialogOpenButton);
  spDest = tool("spDest", QStyle::SP_DirOpenIcon);
  laKind = named(new QLabel(this), "laKind");
  QFont bold = laKind->font();
  bold.setBold(true);
  laKind->setFont(bold);
  strip->addSpacing(12);
  strip->addWidget(laKind, 1);
  layout->addLayout(strip);

  pcCmp = named(new QStackedWidget(this), "pcCmp");
  TabCreateSource = buildCreatePage();
  tabSource = buildFilePage(laFIle, edFileSource, btSourceSearch, meSource, "laFIle", "edFileSource",
                            "btSourceSearch", "meSource");
  tabSource->setObjectName(QStringLiteral("tabSource"));
  tabDest = buildFilePage(laFile1, edFileDest, btDestSearch, meDest, "laFile1", "edFileDest", "btDestSearch",
                          "meDest");
  tabDest->setObjectName(QStringLiteral("tabDest"));
  TabCompare = buildComparePage();
  for (QWidget* page : {TabCreateSource, tabSource, tabDest, TabCompare}) pcCmp->addWidget(page);
  pcCmp->hide();
  layout->addWidget(pcCmp, 1);
  // While the pages are hidden the toolbar stays at the top rather than in the middle.
  layout->addStretch();
  resize(900, 600);

  connect(spCreate, &QToolButton::clicked, this, [this] { showPage(TabCreateSource); });
  connect(miCreate, &QAction::triggered, this, [this] { showPage(TabCreateSource); });
  connect(spOpen, &QToolButton::clicked, this, [this] { showPage(tabSource); });
  connect(miShowOriginal, &QAction::triggered, this, [this] { showPage(tabSource); });
  connect(spDest, &QToolButton::clicked, this, [this] { showPage(tabDest); });
  connect(miShowCurrent, &QAction::triggered, this, [this] { showPage(tabDest); });
  connect(spCompare, &QToolButton::clicked, this, [this] { showPage(TabCompare); });
  connect(miCompare, &QAction::triggered, this, [this] { showPage(TabCompare); });
  connect(miExit, &QAction::triggered, this, &QWidget::close);
  connect(btCreateScript, &QPushButton::clicked, this, &TfmCmpStru::btCreateScriptClick);
  connect(spSave, &QPushButton::clicked, this, &TfmCmpStru::spSaveClick);
  connect(btSourceSearch, &QPushButton::clicked, this, &TfmCmpStru::btSourceClick);
  connect(btSource, &QPushButton::clicked, this, &TfmCmpStru::btSourceClick);
  connect(btDestSearch, &QPushButton::clicked, this, &TfmCmpStru::btDestClick);
  connect(btDest, &QPushButton::clicked, this, &TfmCmpStru::btDestClick);
  connect(btCompare, &QPushButton::clicked, this, &TfmCmpStru::btCompareClick);
  connect(btSaveDiff, &QPushButton::clicked, this, &TfmCmpStru::btSaveDiffClick);
  connect(sgError, &QTableWidget::currentCellChanged, this, [this](int row) {
    meError->setPlainText(row >= 0 && row < int(bError.size()) ? bError[size_t(row)].text : QString());
  });
}

QWidget* TfmCmpStru::buildCreatePage() {
  auto* page = named(new QWidget(this), "TabCreateSource");
  auto* layout = new QVBoxLayout(page);
  auto* fields = new QHBoxLayout;
  laUser = named(new QLabel(page), "laUser");
  edUser = named(new QLineEdit(page), "edUser");
  nuvo::widgets::upperCaseEdit(edUser);
  laName = named(new QLabel(page), "laName");
  edName = named(new QLineEdit(QStringLiteral("%"), page), "edName");
  laType = named(new QLabel(page), "laType");
  cbType = named(new QComboBox(page), "cbType");
  for (const char* type : kTypes) cbType->addItem(QString::fromLatin1(type));
  cbType->setCurrentText(QStringLiteral("TABLE"));
  btCreateScript = named(new QPushButton(page), "btCreateScript");
  spSave = named(new QPushButton(page), "spSave");
  spSave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  fields->addWidget(laUser);
  fields->addWidget(edUser, 1);
  fields->addWidget(laName);
  fields->addWidget(edName, 1);
  fields->addWidget(laType);
  fields->addWidget(cbType);
  fields->addWidget(btCreateScript);
  fields->addWidget(spSave);
  layout->addLayout(fields);
  laStatus = named(new QLabel(page), "laStatus");
  layout->addWidget(laStatus);
  meTemp = named(new QPlainTextEdit(page), "meTemp");
  meTemp->setReadOnly(true);
  meTemp->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(meTemp, 1);
  return page;
}

QWidget* TfmCmpStru::buildFilePage(QLabel*& label, QLineEdit*& edit, QPushButton*& button, QPlainTextEdit*& memo,
                                   const char* labelName, const char* editName, const char* buttonName,
                                   const char* memoName) {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  label = named(new QLabel(page), labelName);
  edit = named(new QLineEdit(page), editName);
  edit->setReadOnly(true);
  button = named(new QPushButton(page), buttonName);
  button->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  row->addWidget(label);
  row->addWidget(edit, 1);
  row->addWidget(button);
  layout->addLayout(row);
  memo = named(new QPlainTextEdit(page), memoName);
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(memo, 1);
  return page;
}

QWidget* TfmCmpStru::buildComparePage() {
  auto* page = named(new QWidget(this), "TabCompare");
  auto* layout = new QVBoxLayout(page);
  auto* files = new QGridLayout;
  laSource = named(new QLabel(page), "laSource");
  edfSource = named(new QLineEdit(page), "edfSource");
  btSource = named(new QPushButton(page), "btSource");
  laOriginal = named(new QLabel(page), "laOriginal");
  edfDest = named(new QLineEdit(page), "edfDest");
  btDest = named(new QPushButton(page), "btDest");
  for (QPushButton* b : {btSource, btDest}) b->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  files->addWidget(laSource, 0, 0);
  files->addWidget(edfSource, 0, 1);
  files->addWidget(btSource, 0, 2);
  files->addWidget(laOriginal, 1, 0);
  files->addWidget(edfDest, 1, 1);
  files->addWidget(btDest, 1, 2);
  files->setColumnStretch(1, 1);
  layout->addLayout(files);
  auto* commands = new QHBoxLayout;
  btCompare = named(new QPushButton(page), "btCompare");
  btSaveDiff = named(new QPushButton(page), "btSaveDiff");
  commands->addWidget(btCompare);
  commands->addWidget(btSaveDiff);
  commands->addStretch(1);
  layout->addLayout(commands);
  auto* splitter = new QSplitter(Qt::Vertical, page);
  sgError = named(new QTableWidget(1, 3, splitter), "sgError");
  sgError->setSelectionBehavior(QAbstractItemView::SelectRows);
  sgError->setSelectionMode(QAbstractItemView::SingleSelection);
  sgError->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgError->verticalHeader()->hide();
  sgError->horizontalHeader()->setStretchLastSection(true);
  meError = named(new QPlainTextEdit(splitter), "meError");
  meError->setReadOnly(true);
  meError->setLineWrapMode(QPlainTextEdit::NoWrap);
  splitter->addWidget(sgError);
  splitter->addWidget(meError);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);
  layout->addWidget(splitter, 1);
  return page;
}

void TfmCmpStru::SetLanguageTexts() {
  // Any language but Slovene gets the English texts.
  const bool slo = context().slovene();
  const auto t = [slo](const char* english, const char* slovene) {
    return QString::fromUtf8(slo ? slovene : english);
  };
  setWindowTitle(t("Compare structure", "Primerjanje struktur"));
  // The reference is what the schema should be, the current snapshot what it is.
  sgError->setHorizontalHeaderLabels(
      {t("TYPE", "TIP"), t("NAME", "IME"), t("SOURCE   -->  ORIGINAL", "PRAVILNO   -->  TRENUTNO")});
  nizCrSrc = t("CREATE SOURCE", "KREIRAJ PRIMERJALNO SHEMO");
  nizSrc = t("SOURCE", "PRIMERJALNA SHEMA");
  nizDest = t("DESTINATION", "TRENUTNA SHEMA");
  nizEmpSrc = t("SOURCE IS EMPTY", "PRAZNA PRIMERJALNA SHEMA");
  nizEmpDest = t("DESTINATION IS EMPTY", "PRAZNA TRENUTNA SHEMA");
  nizCr = t("CREATING", "KREIRANJE");
  nizPrep = t("PREPARING SCRIPT", "PRIPRAVA SHEME");
  nizCmp = t("COMPARE STRUCTURE", "PRIMERJAVA SHEM");
  nizNeObstaja = t("DOES NOT EXISTS", "NE OBSTAJA");
  nizNiEnako = t("NOT EQUAL", "NI ENAKO");
  nizNiNapak = t("SHEMAS ARE EQUAL", "NI RAZLIK");
  nizToMuch = t("MORE THAN 500 ERRORS", "VEČ KOT 500 NAPAK");
  menu->actions().at(0)->setText(t("&File", "Datoteka"));
  miShowOriginal->setText(t("Show Original", "Prikaži primerjalno shemo"));
  miShowCurrent->setText(t("Show Current", "Prikaži trenutno shemo"));
  miCreate->setText(t("Create ", "Kreiraj shemo"));
  miCompare->setText(t("&Compare", "Primerjaj"));
  miExit->setText(t("&Exit", "&Izhod"));
  spOpen->setToolTip(t("Open original script", "Prikaži primerjalno shemo"));
  spDest->setToolTip(t("Open current script", "Prikaži trenutno shemo"));
  spCreate->setToolTip(t("Create script", "Kreiraj shemo"));
  btCreateScript->setToolTip(spCreate->toolTip());
  btCreateScript->setText(t("Create", "Kreiraj"));
  spSave->setToolTip(t("Save", "Shrani"));
  spCompare->setToolTip(t("Compare", "Primerjaj shemi"));
  laSource->setText(t("Source:", "Prava:"));
  laOriginal->setText(t("Original:", "Trenutna:"));
  laFIle->setText(t("File:", "Datoteka:"));
  laFile1->setText(laFIle->text());
  laUser->setText(t("User:", "Upor:"));
  laName->setText(t("Name:", "Ime:"));
  laType->setText(t("Type:", "Tip:"));
  btCompare->setText(t("Compare", "&Primerjaj"));
  btSaveDiff->setText(t("&Save differences", "Shrani razlike"));
  for (QPushButton* b : {btSource, btDest, btSourceSearch, btDestSearch}) b->setToolTip(t("Open", "Odpri"));
  if (pcCmp->isVisible()) showPage(pcCmp->currentWidget());
}

void TfmCmpStru::showPage(QWidget* page) {
  pcCmp->setCurrentWidget(page);
  pcCmp->show();
  if (page == TabCreateSource)
    laKind->setText(nizCrSrc);
  else if (page == tabSource)
    laKind->setText(nizSrc);
  else if (page == tabDest)
    laKind->setText(nizDest);
  else
    laKind->setText(nizCmp);
}

void TfmCmpStru::hidePages() {
  pcCmp->hide();
  laKind->clear();
}

void TfmCmpStru::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (firstTime_ && pAuto) {
    firstTime_ = false;
    unattendedRun();
  }
}

bool TfmCmpStru::runGuarded(void (TfmCmpStru::*command)()) {
  QString error;
  try {
    (this->*command)();
    return true;
  } catch (const nuvo::db::Error& e) {
    error = e.message();
  } catch (const nuvo::PlatformError& e) {
    error = e.message();
  }
  laStatus->clear();
  nuvo::showMessage(error, nuvo::MessageKind::Error, this);
  return false;
}

void TfmCmpStru::btCreateScriptClick() { runGuarded(&TfmCmpStru::createSnapshot); }
void TfmCmpStru::spSaveClick() { runGuarded(&TfmCmpStru::saveSnapshot); }
void TfmCmpStru::btSourceClick() { runGuarded(&TfmCmpStru::loadSource); }
void TfmCmpStru::btDestClick() { runGuarded(&TfmCmpStru::loadDest); }
void TfmCmpStru::btCompareClick() { runGuarded(&TfmCmpStru::compare); }
void TfmCmpStru::btSaveDiffClick() { runGuarded(&TfmCmpStru::saveDifferences); }

void TfmCmpStru::createSnapshot() {
  meTemp->clear();
  meTemp->hide();
  snapshot_.clear();
  spSave->setEnabled(false);
  laStatus->setText(nizCr);
  QApplication::processEvents();
  snapshot_ = nuvo::schema::takeSnapshot(context().osOracle, edUser->text(), edName->text(), cbType->currentText(),
                                         [this](int lines) {
                                           laStatus->setText(nizPrep + QStringLiteral(" (%1)").arg(lines));
                                           QApplication::processEvents();
                                         });
  meTemp->setPlainText(snapshot_.join(u'\n'));
  spSave->setEnabled(true);
  laStatus->clear();
  meTemp->show();
}

QString TfmCmpStru::chooseFile(bool save, const QString& filter, const QString& suffix) {
  TfmMain& m = context();
  QFileDialog dialog(this, windowTitle(), nuvo::resolvePath(m.CurrentCheckInitDir), filter);
  dialog.setObjectName(save ? QStringLiteral("dlgSave") : QStringLiteral("dlgOpen"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(suffix);
  if (nuvo::execModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString chosen = dialog.selectedFiles().first();
  QString name, directory;
  nuvo::FileDirName(chosen, name, directory);
  m.CurrentCheckInitDir = directory;
  return chosen;
}

void TfmCmpStru::saveSnapshot() {
  QString path = pAuto ? nuvo::resolvePath(edfDest->text())
                       : chooseFile(true, QStringLiteral("SFG (*.sfg)"), QStringLiteral("sfg"));
  if (path.isEmpty()) return;
  nuvo::schema::writeLinesFile(path, snapshot_);
  hidePages();
  spSave->setEnabled(false);
}

void TfmCmpStru::loadSource() { loadSnapshot(edfSource, edFileSource, meSource, referenceText_); }

void TfmCmpStru::loadDest() { loadSnapshot(edfDest, edFileDest, meDest, currentText_); }

void TfmCmpStru::loadSnapshot(QLineEdit* file, QLineEdit* shownName, QPlainTextEdit* memo, QString& text) {
  QString path = pAuto ? nuvo::resolvePath(file->text())
                       : chooseFile(false, QStringLiteral("SFG (*.sfg)"), QStringLiteral("sfg"));
  if (path.isEmpty()) return;
  text = nuvo::schema::readSnapshotFile(path);
  if (!pAuto) {
    QString name, directory;
    nuvo::FileDirName(path, name, directory);
    file->setText(name);
    shownName->setText(name);
  }
  memo->setPlainText(nuvo::crlfToLf(text));
}

void TfmCmpStru::compare() {
  bError.clear();
  tooMany = false;
  sgError->clearContents();
  sgError->setRowCount(1);
  meError->clear();
  QApplication::processEvents();
  // Nothing is compared against an empty snapshot; an unattended run is interrupted by it.
  const QString empty = currentText_.trimmed().size() <= 2   ? nizEmpDest
                        : referenceText_.trimmed().size() <= 2 ? nizEmpSrc
                                                               : QString();
  if (!empty.isEmpty()) {
    if (pAuto) throw Interrupted{empty};
    nuvo::showMessage(empty, nuvo::MessageKind::Warning, this);
    return;
  }
  const auto result =
      nuvo::schema::compareSnapshots(referenceText_, currentText_, {nizNeObstaja, nizNiEnako});
  bError = result.differences;
  tooMany = result.tooMany;
  showDifferences();
  if (tooMany && !pAuto) nuvo::showMessage(nizToMuch, nuvo::MessageKind::Warning, this);
  if (!bError.empty()) {
    btSaveDiff->setEnabled(true);
    pNapake = true;
  } else if (!pAuto) {
    nuvo::showMessage(nizNiNapak, nuvo::MessageKind::Information, this);
  }
}

void TfmCmpStru::showDifferences() {
  sgError->setRowCount(std::max(1, int(bError.size())));
  for (int row = 0; row < int(bError.size()); ++row) {
    const auto& d = bError[size_t(row)];
    sgError->setItem(row, 0, new QTableWidgetItem(d.type));
    sgError->setItem(row, 1, new QTableWidgetItem(d.name));
    sgError->setItem(row, 2, new QTableWidgetItem(nuvo::schema::differenceGridText(d)));
  }
  sgError->resizeColumnToContents(0);
  sgError->resizeColumnToContents(1);
  if (!bError.empty()) {
    sgError->setCurrentCell(0, 0);
    meError->setPlainText(bError.front().text);
  }
}

void TfmCmpStru::saveDifferences() {
  // Cancelling the dialog only ends this step.
  const QString path = pAuto ? nuvo::resolvePath(pShraniDir)
                             : chooseFile(true, QStringLiteral("DFR (*.dfr)"), QStringLiteral("dfr"));
  if (path.isEmpty()) return;
  const QStringList header = nuvo::schema::textLines(context().meVhod->toPlainText());
  nuvo::schema::writeLinesFile(path, nuvo::schema::differenceReportLines(header, bError));
  hidePages();
  spSave->setEnabled(false);
  btSaveDiff->setEnabled(false);
}

void TfmCmpStru::unattendedRun() {
  const QString what = QStringLiteral("COMPARE %1 %2: ").arg(edfSource->text(), edfDest->text());
  try {
    edUser->setText(QStringLiteral("KADE"));
    edName->setText(QStringLiteral("%"));
    cbType->setCurrentText(QStringLiteral("TABLE"));
    showPage(TabCreateSource);
    createSnapshot();
    saveSnapshot();
    showPage(TabCompare);
    loadSource();
    loadDest();
    compare();
    const QString report = nuvo::resolvePath(pShraniDir);
    if (!bError.empty()) {
      saveDifferences();
    } else if (QFile::exists(report) && !QFile::remove(report)) {
      // An older report would claim differences that are gone.
      throw Interrupted{QStringLiteral("the older report %1 cannot be removed").arg(report)};
    }
    if (tooMany)
      emit unattendedReport(what + nizToMuch + QStringLiteral("; the first %1 are in %2")
                                               .arg(nuvo::schema::kMaxDifferences)
                                               .arg(report),
                            false);
  } catch (const nuvo::db::Error& e) {
    unattendedFailed(what + e.message());
    return;
  } catch (const nuvo::PlatformError& e) {
    unattendedFailed(what + e.message());
    return;
  } catch (const Interrupted& e) {
    unattendedFailed(what + e.text);
    return;
  }
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TfmCmpStru::unattendedFailed(const QString& text) {
  // The window stays open with the failure in sight.
  laStatus->clear();
  laKind->setText(text);
  emit unattendedReport(text, true);
}
