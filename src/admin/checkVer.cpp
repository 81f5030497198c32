#include "admin/checkVer.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "db/error.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "shell/Main.h"
#include "widgets/message_facade.h"
#include "widgets/window_commands.h"
#include "shell/IGridUtils.h"

namespace {

TfmMain& context() { return *fmMain(); }

using nuvo::shell::named;

}  // namespace

TfmCheckVersion::TfmCheckVersion(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmCheckVersion"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  buildWidgets();
  const TfmMain& m = context();
  pObjects = m.currVerType;
  pUser = m.currVerOwner.toUpper();
  pFile = m.currVerFile;
  SetLanguageTexts();
}

void TfmCheckVersion::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  auto* fields = new QGridLayout;
  laOwner = named(new QLabel(this), "laOwner");
  laVerFile = named(new QLabel(this), "laVerFile");
  laType = named(new QLabel(this), "laType");
  edOwner = named(new QLineEdit(this), "edOwner");
  edVerFile = named(new QLineEdit(this), "edVerFile");
  edType = named(new QLineEdit(QString::fromLatin1(nuvo::admin::kAllVersionTypes), this), "edType");
  nuvo::widgets::upperCaseEdit(edOwner);
  nuvo::widgets::upperCaseEdit(edType);
  fields->addWidget(laOwner, 0, 0);
  fields->addWidget(edOwner, 0, 1);
  fields->addWidget(laVerFile, 1, 0);
  fields->addWidget(edVerFile, 1, 1);
  fields->addWidget(laType, 2, 0);
  fields->addWidget(edType, 2, 1);
  fields->setColumnStretch(1, 1);
  layout->addLayout(fields);

  auto* commands = new QHBoxLayout;
  btStart = named(new QPushButton(this), "btStart");
  brShowVersion = named(new QPushButton(this), "brShowVersion");
  btCrVerFile = named(new QPushButton(this), "btCrVerFile");
  cbTimestamp = named(new QCheckBox(this), "cbTimestamp");
  btExit = named(new QPushButton(this), "btExit");
  for (QWidget* w : std::initializer_list<QWidget*>{btStart, brShowVersion, btCrVerFile, cbTimestamp})
    commands->addWidget(w);
  commands->addStretch(1);
  commands->addWidget(btExit);
  layout->addLayout(commands);
  laStat = named(new QLabel(this), "laStat");
  layout->addWidget(laStat);

  sgRes = named(new QTableWidget(0, 4, this), "sgRes");
  sgRes->setSelectionBehavior(QAbstractItemView::SelectRows);
  sgRes->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgRes->verticalHeader()->hide();
  sgRes->horizontalHeader()->setStretchLastSection(true);
  sgRes->hide();
  layout->addWidget(sgRes, 1);
  resize(760, 480);

  tiEnd = new QTimer(this);
  tiEnd->setSingleShot(true);
  tiEnd->setInterval(100);
  connect(tiEnd, &QTimer::timeout, this, &QWidget::close);

  connect(btStart, &QPushButton::clicked, this, [this] { runGuarded(&TfmCheckVersion::compare); });
  connect(brShowVersion, &QPushButton::clicked, this, [this] { runGuarded(&TfmCheckVersion::showVersions); });
  connect(btCrVerFile, &QPushButton::clicked, this, [this] { runGuarded(&TfmCheckVersion::createFile); });
  connect(btExit, &QPushButton::clicked, this, &QWidget::close);
  // The proposals of the next window.
  connect(edOwner, &QLineEdit::editingFinished, this, [this] { context().currVerOwner = edOwner->text(); });
  connect(edVerFile, &QLineEdit::editingFinished, this, [this] { context().currVerFile = edVerFile->text(); });
  connect(edType, &QLineEdit::editingFinished, this, [this] { context().currVerType = edType->text(); });
}

void TfmCheckVersion::SetLanguageTexts() {
  // Any language but Slovene gets the English texts.
  const bool slo = context().slovene();
  const auto t = [slo](const char* english, const char* slovene) {
    return QString::fromUtf8(slo ? slovene : english);
  };
  setWindowTitle(t("Check VERSION of PL/SQL BLOCKS and EXISTENCE of OBJECTS", "PREVERJANJE VERZIJ PL/SQL OBJEKTOV"));
  nizPreparing = t("PREPARING", "PRIPRAVLJAM");
  nizNeObstaja = t("not EXIST", "ne OBSTAJA");
  nizCreating = t("CREATING", "KREIRAM");
  MessCre = t("Creating New Version File. Are You Sure?", "Kreiranje nove verzije. Ali si prepričan?");
  nizPrep = t("File is Prepared", "Datoteka je pripravljena");
  nizEnaka = t("Object Versions are Equal", "Verzije objektov so enake!");
  laOwner->setText(t("Owner:", "Lastnik:"));
  laVerFile->setText(t("Version File:", "Datoteka:"));
  laType->setText(t("Type:", "Tip:"));
  btStart->setText(t("&Compare", "&Primerjaj"));
  brShowVersion->setText(t("&Show Version", "&Verzije"));
  btCrVerFile->setText(t("Create &Ver.File", "&Kreiraj dat."));
  btExit->setText(t("Exit", "&Izhod"));
  cbTimestamp->setText(t("Compare Timestamp", "Časovna primerjava"));
  sgRes->setHorizontalHeaderLabels({t("Object Type", "Tip objekta"), t("Object Name", "Ime Objekta"),
                                    t("Expected Version", "Pričakovana verzija"), t("", "Verzija")});
}

void TfmCheckVersion::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (firstTime_) {
    firstTime_ = false;
    firstActivation();
  }
}

void TfmCheckVersion::firstActivation() {
  laStat->clear();
  edOwner->setText(pUser);
  edVerFile->setText(pFile);
  if (!pObjects.isEmpty() && pObjects != u"ALL")
    edType->setText(pObjects);
  else
    pObjects = QString::fromLatin1(nuvo::admin::kAllVersionTypes);
  resetGrid();
  if (!pAuto) return;
  vseOK = false;
  runGuarded(&TfmCheckVersion::compare);
  if (vseOK) tiEnd->start();
}

void TfmCheckVersion::resetGrid() {
  sgRes->hide();
  sgRes->setRowCount(0);
}

void TfmCheckVersion::showRows(const std::vector<nuvo::admin::VersionRow>& rows) {
  sgRes->setRowCount(int(rows.size()));
  for (int row = 0; row < int(rows.size()); ++row) {
    const auto& r = rows[size_t(row)];
    int column = 0;
    for (const QString* text : {&r.type, &r.name, &r.expected, &r.found})
      sgRes->setItem(row, column++, new QTableWidgetItem(*text));
  }
  sgRes->resizeColumnsToContents();
  sgRes->setVisible(!rows.empty());
}

void TfmCheckVersion::runGuarded(void (TfmCheckVersion::*command)()) {
  QString error;
  try {
    (this->*command)();
    return;
  } catch (const nuvo::db::Error& e) {
    error = e.message();
  } catch (const nuvo::PlatformError& e) {
    error = e.message();
  }
  laStat->clear();
  if (pAuto)
    emit unattendedFailed(QStringLiteral("VERSION %1: %2").arg(edVerFile->text(), error));
  else
    nuvo::showMessage(error, nuvo::MessageKind::Error, this);
}

void TfmCheckVersion::compare() {
  resetGrid();
  laStat->setText(nizPreparing);
  auto records = nuvo::admin::readVersionRecords(context().osOracle, edOwner->text(), edType->text());
  const QStringList lines = nuvo::admin::readVersionFile(nuvo::resolvePath(edVerFile->text()));
  const auto rows =
      nuvo::admin::compareVersions(records, lines, edType->text(), cbTimestamp->isChecked(), nizNeObstaja);
  laStat->clear();
  showRows(rows);
  if (!rows.empty()) {
    if (pAuto)
      emit unattendedFailed(QStringLiteral("VERSION %1: %2 objects of %3 differ from the file")
                                .arg(edVerFile->text())
                                .arg(rows.size())
                                .arg(edOwner->text()));
    return;
  }
  if (pAuto) {
    context().VersionOK = true;
    vseOK = true;
  } else {
    nuvo::showMessage(nizEnaka, nuvo::MessageKind::Information, this);
  }
}

void TfmCheckVersion::createFile() {
  if (!nuvo::askYesNo(MessCre, this)) return;
  laStat->setText(nizCreating);
  const auto records = nuvo::admin::readVersionRecords(context().osOracle, edOwner->text(), edType->text());
  nuvo::admin::writeVersionFile(nuvo::resolvePath(edVerFile->text()), records);
  laStat->setText(nizPrep);
}

void TfmCheckVersion::showVersions() {
  resetGrid();
  laStat->setText(nizPreparing);
  const auto records = nuvo::admin::readVersionRecords(context().osOracle, edOwner->text(), edType->text());
  laStat->clear();
  showRows(nuvo::admin::versionListRows(records, edType->text()));
}

void TfmCheckVersion::btStartClick() { runGuarded(&TfmCheckVersion::compare); }
void TfmCheckVersion::btCrVerFileClick() { runGuarded(&TfmCheckVersion::createFile); }
void TfmCheckVersion::brShowVersionClick() { runGuarded(&TfmCheckVersion::showVersions); }
