#include "shell/userComm.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/error.h"
#include "platform/paths.h"
#include "shell/Main.h"
#include "widgets/message_facade.h"

TfmComments::TfmComments(QWidget* parent)
    : QDialog(parent),
      meComments(new QPlainTextEdit(this)),
      spSaveComments(new QToolButton(this)),
      spExit(new QToolButton(this)) {
  instance = this;
  setObjectName("fmComments");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("User Comments"));
  meComments->setObjectName("meComments");
  meComments->setLineWrapMode(QPlainTextEdit::NoWrap);
  meComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  spSaveComments->setObjectName("spSaveComments");
  spSaveComments->setText(QStringLiteral("Save"));
  spExit->setObjectName("spExit");
  spExit->setText(QStringLiteral("Exit"));
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(spSaveComments);
  bottom->addWidget(spExit);
  bottom->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(meComments, 1);
  layout->addLayout(bottom);
  resize(600, 400);
  connect(spSaveComments, &QToolButton::clicked, this, &TfmComments::spSaveCommentsClick);
  connect(spExit, &QToolButton::clicked, this, &QDialog::close);
  FormCreate();
}

QString TfmComments::commentsPath() {
  return nuvo::resolvePath(fmMain()->currCommentsFile + QStringLiteral("sqlComm.txt"));
}

void TfmComments::SetLanguageTexts() {
  const TfmMain* main = fmMain();
  if (!main->slovene()) return;
  setWindowTitle(QStringLiteral("Uporabniške pripombe"));
  spSaveComments->setText(main->nizSave);
  spExit->setText(main->nizExit);
}

void TfmComments::FormCreate() {
  SetLanguageTexts();
  try {
    const nuvo::DecodedText file = nuvo::readTextFile(commentsPath());
    encoding_ = file.encoding;
    meComments->setPlainText(nuvo::crlfToLf(file.text));
  } catch (const nuvo::PlatformError&) {
    meComments->clear();
  }
}

void TfmComments::spSaveCommentsClick() {
  try {
    nuvo::writeTextFile(commentsPath(), nuvo::lfToCrlf(meComments->toPlainText()), encoding_);
  } catch (const nuvo::PlatformError& error) {
    nuvo::showMessage(error.message(), nuvo::MessageKind::Error, this);
  }
}
