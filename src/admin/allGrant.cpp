#include "admin/allGrant.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "shell/Main.h"
#include "widgets/window_commands.h"
#include "shell/IGridUtils.h"

namespace {

TfmMain& context() { return *fmMain(); }

using nuvo::shell::named;

}  // namespace

TfmGrantAll::TfmGrantAll(QWidget* parent) : QDialog(parent) {
  static int opened = 0;
  setObjectName(QStringLiteral("fmGrantAll_%1").arg(++opened));
  setAttribute(Qt::WA_DeleteOnClose);
  buildWidgets();
  laAction->clear();
  SetLanguageTexts();
  if (edOwner->text().isEmpty()) edOwner->setText(context().currOwner.toUpper());
  pAuto = false;
  setHeight(kHeight);
}

void TfmGrantAll::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  auto* fields = new QGridLayout;
  laOwner = named(new QLabel(this), "laOwner");
  laFilter = named(new QLabel(this), "laFilter");
  laType = named(new QLabel(this), "laType");
  laRights = named(new QLabel(this), "laRights");
  laGrantee = named(new QLabel(this), "laGrantee");
  edOwner = named(new QLineEdit(this), "edOwner");
  edOwner->setReadOnly(true);  // the program's current owner, or the runner's
  edOwner->setFocusPolicy(Qt::ClickFocus);
  edFilter = named(new QLineEdit(QStringLiteral("%"), this), "edFilter");
  edTip = named(new QLineEdit(QString::fromLatin1(nuvo::admin::kDefaultGrantTypes), this), "edTip");
  edPravice = named(new QLineEdit(QStringLiteral("ALL"), this), "edPravice");
  edUporabnik = named(new QLineEdit(QStringLiteral("DUD"), this), "edUporabnik");
  edUporabnik->setMaxLength(nuvo::admin::kMaxGranteeLength);
  nuvo::widgets::upperCaseEdit(edUporabnik);
  const std::pair<QLabel*, QLineEdit*> rows[] = {
      {laOwner, edOwner}, {laFilter, edFilter}, {laType, edTip}, {laRights, edPravice}, {laGrantee, edUporabnik}};
  int row = 0;
  for (const auto& [label, edit] : rows) {
    label->setBuddy(edit);
    fields->addWidget(label, row, 0);
    fields->addWidget(edit, row++, 1);
  }
  fields->setColumnStretch(1, 1);
  layout->addLayout(fields);

  auto* commands = new QHBoxLayout;
  rbGrant = named(new QRadioButton(this), "rbGrant");
  rbRevoke = named(new QRadioButton(this), "rbRevoke");
  rbGrant->setChecked(true);
  btGrantee = named(new QPushButton(this), "btGrantee");
  btExit = named(new QPushButton(this), "btExit");
  laAction = named(new QLabel(this), "laAction");
  commands->addWidget(rbGrant);
  commands->addWidget(rbRevoke);
  commands->addSpacing(12);
  commands->addWidget(laAction, 1);
  commands->addWidget(btGrantee);
  commands->addWidget(btExit);
  layout->addLayout(commands);

  meError = named(new QPlainTextEdit(this), "meError");
  meError->setReadOnly(true);
  meError->hide();
  // The memo takes the room when it shows; otherwise the boxes stay together at the top.
  layout->addWidget(meError, 100);
  layout->addStretch(1);

  tiAuto = new QTimer(this);
  tiAuto->setObjectName(QStringLiteral("tiAuto"));
  tiAuto->setSingleShot(true);
  tiAuto->setInterval(1000);
  connect(tiAuto, &QTimer::timeout, this, &TfmGrantAll::tiAutoTimer);
  connect(btGrantee, &QPushButton::clicked, this, &TfmGrantAll::btGranteeClick);
  connect(btExit, &QPushButton::clicked, this, &QWidget::close);
}

void TfmGrantAll::SetLanguageTexts() {
  const TfmMain& m = context();
  const bool slo = m.slovene();
  const auto t = [slo](const char* english, const char* slovene) { return QString::fromUtf8(slo ? slovene : english); };
  setWindowTitle(t("Grant/Revoke Rights ", "Pravice"));
  laOwner->setText(t("Owner:", "Lastnik:"));
  laFilter->setText(QStringLiteral("Filter:"));
  laType->setText(t("Type:", "Tip:"));
  laRights->setText(t("Rights:", "Pravice:"));
  laGrantee->setText(t("Grantee:", "Uporabnik:"));
  rbGrant->setText(t("Grant", "Dodaj"));
  rbRevoke->setText(t("Revoke", "Odvzemi"));
  btGrantee->setText(m.nizStart);
  btExit->setText(m.nizExit);
}

nuvo::admin::GrantRequest TfmGrantAll::request() const {
  return {edOwner->text(), edFilter->text(), edTip->text(), edPravice->text(), edUporabnik->text(),
          rbRevoke->isChecked()};
}

void TfmGrantAll::setHeight(int height) {
  resize(std::max(width(), sizeHint().width()), std::max(height, minimumSizeHint().height()));
}

void TfmGrantAll::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (pAuto) tiAuto->start();
}

void TfmGrantAll::btGranteeClick() {
  meError->clear();
  meError->hide();
  setHeight(kHeight);
  laAction->setText(QStringLiteral("WORKING"));
  laAction->repaint();
  btGrantee->setEnabled(false);
  TfmMain& m = context();
  const nuvo::admin::GrantRequest wanted = request();
  const nuvo::admin::GrantOutcome outcome = nuvo::admin::runGrant(m.osOracle, wanted, m.connUser, m.slovene());
  btGrantee->setEnabled(true);
  if (outcome.ok) {
    laAction->setText(QStringLiteral("OK"));
    return;
  }
  laAction->setText(QStringLiteral("ERRORS"));
  meError->setPlainText(outcome.text);
  meError->show();
  setHeight(kHeightWithErrors);
  if (pAuto) {
    QString text = outcome.text.trimmed();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("; "));
    emit unattendedFailed(QStringLiteral("GRANT %1 %2: %3").arg(wanted.owner, wanted.grantee, text));
  }
}

void TfmGrantAll::tiAutoTimer() {
  tiAuto->stop();
  btGranteeClick();
  close();
}
