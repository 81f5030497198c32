#include "admin/disabled.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "db/error.h"
#include "db/query.h"
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

// OWNER and R_OWNER (hidden) are what the statements on a row use.
const nuvo::SqlText kConsNap{"napRef.quConsNap",
                             {"select table_name,constraint_name,r_constraint_name, owner, r_owner",
                              "from all_constraints",
                              "where (:upor is null or owner=:upor) and status='DISABLED' and constraint_type='R'",
                              "order by table_name"}};
const nuvo::SqlText kTrigg{"napTrigg.quTrigg",
                           {"select table_owner,table_name ,trigger_name,trigger_body, owner", " from all_triggers",
                            "where owner=:upor and  status=:status"}};

TfmMain& context() { return *fmMain(); }


}  // namespace

// ---------------------------------------------------------------------------------------------
// TfmDisRef

TfmDisRef::TfmDisRef(QWidget* parent)
    : QDialog(parent), quConsNap(&context().osOracle), quNapake(&context().osOracle) {
  setObjectName(QStringLiteral("fmDisRef"));
  quConsNap.setSql(kConsNap);
  quConsNap.setReadOnly(true);
  quConsNap.declareVariable("upor", nuvo::db::DataType::String);
  quNapake.setReadOnly(true);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  laUser = named(new QLabel(this), "laUser");
  edUser = named(new QLineEdit(this), "edUser");
  edUser->setMaximumWidth(160);
  upperCaseEdit(edUser);
  btRefrNap = named(new QPushButton(QStringLiteral("."), this), "btRefrNap");
  btRefrNap->setFixedWidth(28);
  btRefrNap->setDefault(true);
  laStat = named(new QLabel(this), "laStat");
  laStat->setStyleSheet(QStringLiteral("color: red; font-size: 16pt; font-weight: bold"));
  for (QWidget* w : std::initializer_list<QWidget*>{laUser, edUser, btRefrNap, laStat}) top->addWidget(w);
  top->addStretch(1);
  layout->addLayout(top);
  dbgDisabled = gridOver(&quConsNap, this, "dbgDisabled", {"OWNER", "R_OWNER"});
  layout->addWidget(dbgDisabled, 2);
  auto* info = new QGridLayout;
  laTabelaTitle = named(new QLabel(this), "laTabelaTitle");
  laKoloneTitle = named(new QLabel(this), "laKoloneTitle");
  laTabela = named(new QLabel(this), "laTabela");
  laKolone = named(new QLabel(this), "laKolone");
  info->addWidget(laTabelaTitle, 0, 0);
  info->addWidget(laTabela, 0, 1);
  info->addWidget(laKoloneTitle, 1, 0);
  info->addWidget(laKolone, 1, 1);
  info->setColumnStretch(1, 1);
  layout->addLayout(info);
  dbgNapake = gridOver(&quNapake, this, "dbgNapake", {});
  dbgNapake->hide();
  layout->addWidget(dbgNapake, 2);
  auto* buttons = new QHBoxLayout;
  btNapake = named(new QPushButton(this), "btNapake");
  spCapture = named(new QToolButton(this), "spCapture");
  spCapture->setText(QStringLiteral("⧉"));
  btEnable = named(new QPushButton(this), "btEnable");
  btExit = named(new QPushButton(this), "btExit");
  for (QPushButton* b : {btNapake, btEnable, btExit}) b->setAutoDefault(false);
  buttons->addWidget(btNapake);
  buttons->addWidget(spCapture);
  buttons->addStretch(1);
  buttons->addWidget(btEnable);
  buttons->addWidget(btExit);
  layout->addLayout(buttons);
  resize(760, 520);

  connect(btRefrNap, &QPushButton::clicked, this, guarded(this, &TfmDisRef::btRefrNapClick));
  connect(&quConsNap, &nuvo::db::Dataset::currentRowChanged, this, guarded(this, &TfmDisRef::buildQuery));
  connect(btNapake, &QPushButton::clicked, this, guarded(this, &TfmDisRef::btNapakeClick));
  connect(dbgDisabled, &QAbstractItemView::doubleClicked, this, guarded(this, &TfmDisRef::btNapakeClick));
  connect(spCapture, &QToolButton::clicked, this, &TfmDisRef::spCaptureClick);
  connect(btEnable, &QPushButton::clicked, this, guarded(this, &TfmDisRef::btEnableClick));
  connect(btExit, &QPushButton::clicked, this, &QWidget::close);

  laTabela->clear();
  laStat->clear();
  const TfmMain& m = context();
  edUser->setText((m.currOwner.isEmpty() ? m.connUser : m.currOwner).toUpper());
  SetLanguageTexts();
  if (m.osOracle.connected()) guarded(this, &TfmDisRef::btRefrNapClick)();
}

TfmDisRef::~TfmDisRef() = default;

void TfmDisRef::SetLanguageTexts() {
  const bool slo = context().slovene();
  const auto t = [slo](const char* english, const char* slovene) {
    return QString::fromUtf8(slo ? slovene : english);
  };
  nizWorking = t("Searching", "Iščem");
  nizEnabling = t("Enabling", "Vklop konstrainta");
  setWindowTitle(t("Disabled referencies", "Nevklopljeni konstrainti"));
  laTabelaTitle->setText(t("TABLE:", "Tabela:"));
  laKoloneTitle->setText(t("Column:", "Kolona:"));
  laUser->setText(t("User:", "Lastnik:"));
  btNapake->setText(t("&Errors", "&Napake"));
  btEnable->setText(t("Enable", "&Vklop"));
  btExit->setText(t("Exit", "&Izhod"));
  spCapture->setToolTip(t("Copy query", "Kopiraj poizvedbo v clipboard"));
}

void TfmDisRef::btRefrNapClick() {
  quConsNap.close();
  quConsNap.setVariable("upor", edUser->text().isEmpty() ? QVariant() : QVariant(edUser->text()));
  quConsNap.open();
  buildQuery();
}

void TfmDisRef::buildQuery() {
  dbgNapake->hide();
  quNapake.close();
  laKolone->setText(QStringLiteral(" "));
  key_ = {};
  query_.clear();
  if (quConsNap.currentRow() < 0) {
    laTabela->clear();
    return;
  }
  key_ = nuvo::admin::readForeignKey(context().osOracle, cell(quConsNap, "OWNER"), cell(quConsNap, "TABLE_NAME"),
                                     cell(quConsNap, "CONSTRAINT_NAME"), cell(quConsNap, "R_OWNER"),
                                     cell(quConsNap, "R_CONSTRAINT_NAME"));
  laTabela->setText(key_.owner + u'.' + key_.table);
  laKolone->setText(u' ' + key_.columns.join(u' ') + u' ');
  query_ = nuvo::admin::violatingRowsQuery(key_);
}

void TfmDisRef::btNapakeClick() {
  if (query_.isEmpty()) return;
  laStat->setText(nizWorking);
  laStat->repaint();
  quNapake.close();
  quNapake.setSql(query_);
  try {
    quNapake.open();
  } catch (...) {
    laStat->clear();
    throw;
  }
  dbgNapake->show();
  laStat->clear();
}

void TfmDisRef::spCaptureClick() {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(query_);
}

void TfmDisRef::btEnableClick() {
  if (key_.name.isEmpty()) return;
  laStat->setText(nizEnabling);
  laStat->repaint();
  context().execDyn(nuvo::admin::enableConstraintStatement(key_));
  laStat->clear();
  btRefrNapClick();
}

// ---------------------------------------------------------------------------------------------
// TfmDisTrigg

TfmDisTrigg::TfmDisTrigg(QWidget* parent) : QDialog(parent), quTrigg(&context().osOracle) {
  setObjectName(QStringLiteral("fmDisTrigg"));
  quTrigg.setSql(kTrigg);
  quTrigg.setReadOnly(true);
  quTrigg.declareVariable("upor", nuvo::db::DataType::String);
  quTrigg.declareVariable("status", nuvo::db::DataType::String);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  laOwner = named(new QLabel(this), "laOwner");
  edOwner = named(new QLineEdit(this), "edOwner");
  edOwner->setMaximumWidth(160);
  upperCaseEdit(edOwner);
  rbDisabled = named(new QRadioButton(this), "rbDisabled");
  rbEnabled = named(new QRadioButton(this), "rbEnabled");
  rbDisabled->setChecked(true);
  cbAll = named(new QCheckBox(this), "cbAll");
  cbShowMemo = named(new QCheckBox(this), "cbShowMemo");
  btRefresh = named(new QPushButton(this), "btRefresh");
  for (QWidget* w : std::initializer_list<QWidget*>{laOwner, edOwner, rbDisabled, rbEnabled, cbAll, cbShowMemo,
                                                    btRefresh})
    top->addWidget(w);
  top->addStretch(1);
  layout->addLayout(top);
  DBGrid = gridOver(&quTrigg, this, "DBGrid", {"TRIGGER_BODY", "OWNER"});
  layout->addWidget(DBGrid, 2);
  DBMemo = named(new QPlainTextEdit(this), "DBMemo");
  DBMemo->setReadOnly(true);
  layout->addWidget(DBMemo, 1);
  auto* buttons = new QHBoxLayout;
  btEnable = named(new QPushButton(this), "btEnable");
  btDisable = named(new QPushButton(this), "btDisable");
  btEnd = named(new QPushButton(this), "btEnd");
  buttons->addWidget(btEnable);
  buttons->addWidget(btDisable);
  buttons->addStretch(1);
  buttons->addWidget(btEnd);
  layout->addLayout(buttons);
  resize(760, 520);
  // Enter refreshes the list and Escape closes: neither switches a trigger by accident.
  for (QPushButton* b : {btEnable, btDisable, btEnd}) b->setAutoDefault(false);
  btRefresh->setDefault(true);

  connect(btRefresh, &QPushButton::clicked, this, guarded(this, &TfmDisTrigg::btRefreshClick));
  connect(btEnable, &QPushButton::clicked, this, guarded(this, &TfmDisTrigg::btEnableClick));
  connect(btDisable, &QPushButton::clicked, this, guarded(this, &TfmDisTrigg::btDisableClick));
  connect(btEnd, &QPushButton::clicked, this, &QWidget::close);
  connect(cbShowMemo, &QCheckBox::toggled, DBMemo, &QWidget::setVisible);
  connect(&quTrigg, &nuvo::db::Dataset::currentRowChanged, this, &TfmDisTrigg::showBody);
  connect(&quTrigg, &nuvo::db::Dataset::opened, this, &TfmDisTrigg::showBody);

  edOwner->setText(context().currOwner);
  cbShowMemo->setChecked(false);
  DBMemo->hide();
  SetLanguageTexts();
}

TfmDisTrigg::~TfmDisTrigg() = default;

void TfmDisTrigg::SetLanguageTexts() {
  const bool slo = context().slovene();
  const auto t = [slo](const char* english, const char* slovene) {
    return QString::fromUtf8(slo ? slovene : english);
  };
  setWindowTitle(t("Disabled Triggers", "Triggerji"));
  btEnable->setText(t("&Enable", "&Vklopi"));
  btDisable->setText(t("&Disable", "&Izklopi"));
  rbEnabled->setText(t("Enabled", "Vklopljeni"));
  rbDisabled->setText(t("Disabled", "Izklopljeni"));
  btRefresh->setText(t("&Refresh", "&Osveži"));
  cbShowMemo->setText(t("Show Memo", "Prikaži trigger"));
  cbAll->setText(t("All", "Vse"));
  btEnd->setText(t("Close", "&Zapri"));
  laOwner->setText(t("Owner: ", "Lastnik:"));
}

bool TfmDisTrigg::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && context().osOracle.connected())
    guarded(this, &TfmDisTrigg::btRefreshClick)();
  return QDialog::event(event);
}

void TfmDisTrigg::btRefreshClick() {
  quTrigg.close();
  quTrigg.setVariable("upor", edOwner->text());
  quTrigg.setVariable("status", rbDisabled->isChecked() ? QStringLiteral("DISABLED") : QStringLiteral("ENABLED"));
  quTrigg.open();
}

void TfmDisTrigg::showBody() { DBMemo->setPlainText(cell(quTrigg, "TRIGGER_BODY")); }

void TfmDisTrigg::alter(bool enable) {
  if (!quTrigg.isOpen()) return;
  QList<nuvo::admin::TriggerRef> triggers;
  if (cbAll->isChecked()) {
    quTrigg.fetchAll();
    for (int row = 0; row < quTrigg.recordCount(); ++row)
      triggers.append({quTrigg.value(row, QStringLiteral("OWNER")).toString(),
                       quTrigg.value(row, QStringLiteral("TRIGGER_NAME")).toString()});
  } else if (quTrigg.currentRow() >= 0) {
    triggers.append({cell(quTrigg, "OWNER"), cell(quTrigg, "TRIGGER_NAME")});
  }
  nuvo::admin::alterTriggers(triggers, enable, [](const QString& statement) {
    nuvo::db::Query alter(&context().osOracle);
    alter.setSql(statement);
    alter.execute();
  });
  // A failure above leaves the list as it was; with All the list shows the outcome.
  if (cbAll->isChecked()) btRefreshClick();
}
