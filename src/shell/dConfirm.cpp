#include "shell/dConfirm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/message_facade.h"

TdlgConfirm::TdlgConfirm(QWidget* parent)
    : QDialog(parent),
      laNameSurname(new QLabel(QStringLiteral("Priimek in ime:"), this)),
      edNameSurname(new QLineEdit(this)),
      laReason(new QLabel(QStringLiteral("Razlog:"), this)),
      edReason(new QLineEdit(this)),
      btOK(new QPushButton(QStringLiteral("V redu"), this)),
      btCancel(new QPushButton(QStringLiteral("Prekliči"), this)) {
  setObjectName("dlgConfirm");
  setWindowTitle(QStringLiteral("Confirmation"));
  const std::pair<QObject*, const char*> names[] = {{laNameSurname, "laNameSurname"}, {edNameSurname, "edNameSurname"},
                                                    {laReason, "laReason"},           {edReason, "edReason"},
                                                    {btOK, "btOK"},                   {btCancel, "btCancel"}};
  for (const auto& [object, name] : names) object->setObjectName(name);
  edNameSurname->setMaxLength(200);
  edReason->setMaxLength(200);
  btOK->setEnabled(false);

  auto* form = new QFormLayout;
  form->addRow(laNameSurname, edNameSurname);
  form->addRow(laReason, edReason);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btOK);
  buttons->addWidget(btCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(edNameSurname, &QLineEdit::textChanged, this, &TdlgConfirm::CanConfirm);
  connect(edReason, &QLineEdit::textChanged, this, &TdlgConfirm::CanConfirm);
  connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TdlgConfirm::CanConfirm() {
  btOK->setEnabled(!edNameSurname->text().isEmpty() && (!FNeededReason || !edReason->text().isEmpty()));
}

TConfirmOutput TdlgConfirm::GetConfirmation(bool neededReason) {
  TdlgConfirm dialog;
  dialog.FNeededReason = neededReason;
  const int result = nuvo::execModal(dialog);
  return {dialog.edNameSurname->text(), dialog.edReason->text(), result == QDialog::Accepted};
}
