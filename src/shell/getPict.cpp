#include "shell/getPict.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "db/dataset.h"
#include "db/error.h"
#include "platform/error.h"
#include "platform/text_file.h"
#include "widgets/message_facade.h"

namespace {

// The chosen file of an open dialog with `filter`; empty when cancelled.
QString chooseFile(QWidget* parent, const QString& name, const QString& filter, const QString& suffix) {
  QFileDialog dialog(parent, QStringLiteral("Open"), QString(), filter);
  dialog.setObjectName(name);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
  if (nuvo::execModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

TfmGetPict::TfmGetPict(QWidget* parent)
    : QDialog(parent),
      PicPanel(new QWidget(this)),
      DBImage(new QLabel(PicPanel)),
      DBMemo(new QPlainTextEdit(PicPanel)),
      NavigatorPanel(new QWidget(this)),
      LoadButton(new QToolButton(NavigatorPanel)),
      btExit(new QPushButton(QStringLiteral("&Exit"), NavigatorPanel)) {
  instance = this;
  setObjectName("fmGetPict");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Show/Load Blob"));
  const std::pair<QObject*, const char*> names[] = {{PicPanel, "PicPanel"},         {DBImage, "DBImage"},
                                                    {DBMemo, "DBMemo"},             {NavigatorPanel, "NavigatorPanel"},
                                                    {LoadButton, "LoadButton"},     {btExit, "btExit"}};
  for (const auto& [object, name] : names) object->setObjectName(name);
  LoadButton->setText(QStringLiteral("Load picture..."));
  DBImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  DBMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  DBMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  DBMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* picture = new QVBoxLayout(PicPanel);
  picture->addWidget(DBImage, 1);
  picture->addWidget(DBMemo, 1);
  auto* navigator = new QHBoxLayout(NavigatorPanel);
  navigator->addWidget(LoadButton);
  navigator->addStretch();
  navigator->addWidget(btExit);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PicPanel, 1);
  layout->addWidget(NavigatorPanel);
  resize(600, 450);
  connect(LoadButton, &QToolButton::clicked, this, &TfmGetPict::LoadButtonClick);
  connect(btExit, &QPushButton::clicked, this, &QDialog::close);
  connect(DBMemo, &QPlainTextEdit::textChanged, this, [this] {
    if (showing_ || pImage || !dataset_ || dataset_->state() != nuvo::db::Dataset::State::Edit) return;
    dataset_->setValue(field_, nuvo::lfToCrlf(DBMemo->toPlainText()));
  });
}

void TfmGetPict::bindField(nuvo::db::Dataset* dataset, int row, const QString& field) {
  dataset_ = dataset;
  row_ = row;
  field_ = field;
  LoadButton->setText(pImage ? QStringLiteral("Load Image") : QStringLiteral("Load text"));
  DBImage->setVisible(pImage);
  DBMemo->setVisible(!pImage);
  showValue();
}

void TfmGetPict::showValue() {
  if (!dataset_ || row_ < 0) return;
  const QVariant value = dataset_->value(row_, field_);
  if (pImage) {
    QPixmap picture;
    picture.loadFromData(value.toByteArray());
    DBImage->setPixmap(picture);
    return;
  }
  showing_ = true;
  DBMemo->setPlainText(nuvo::crlfToLf(value.toString()));
  showing_ = false;
}

bool TfmGetPict::editRow() {
  if (!dataset_) return false;
  try {
    if (dataset_->state() == nuvo::db::Dataset::State::Browse) dataset_->edit(row_);
    return true;
  } catch (const nuvo::db::Error& error) {  // the row is locked or gone: the window stays open
    nuvo::showMessage(error.message(), nuvo::MessageKind::Error, this);
    return false;
  }
}

bool TfmGetPict::event(QEvent* event) {
  const bool handled = QDialog::event(event);
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return handled;
}

void TfmGetPict::FormActivate() {
  if (!pImage) editRow();
}

void TfmGetPict::LoadButtonClick() {
  if (!popravljanje) {
    nuvo::showMessage(nizErr, nuvo::MessageKind::Information, this);
    return;
  }
  if (pImage) {
    if (!editRow()) return;
    const QString path = chooseFile(this, "OpenPictureDialog", QStringLiteral("Bitmaps (*.bmp *.jpg)"), {});
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
      nuvo::showMessage(file.errorString(), nuvo::MessageKind::Error, this);
      return;
    }
    const QByteArray bytes = file.readAll();
    dataset_->setValue(field_, bytes);
    QPixmap picture;
    picture.loadFromData(bytes);
    DBImage->setPixmap(picture);
    return;
  }
  const QString path = chooseFile(this, "OpenMemoDialog", QStringLiteral("teksti (*.txt)"), QStringLiteral("txt"));
  if (path.isEmpty()) return;
  try {
    const QString text = nuvo::readTextFile(path).text;
    if (editRow()) DBMemo->setPlainText(nuvo::crlfToLf(text));
  } catch (const nuvo::PlatformError& error) {
    nuvo::showMessage(error.message(), nuvo::MessageKind::Error, this);
  }
}
