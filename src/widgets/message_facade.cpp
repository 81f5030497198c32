#include "widgets/message_facade.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace nuvo {

namespace {

MessageAnswerer& answerer() {
  static MessageAnswerer current;
  return current;
}

MessageAnswer ask(const MessageRequest& request, QWidget* parent) {
  if (answerer()) return answerer()(request);
  const QString title = request.title.isEmpty() ? QApplication::applicationName() : request.title;
  switch (request.kind) {
    case MessageKind::Question:
      return QMessageBox::question(parent, title, request.text) == QMessageBox::Yes
                 ? MessageAnswer::Yes
                 : MessageAnswer::No;
    case MessageKind::Warning:
      QMessageBox::warning(parent, title, request.text);
      break;
    case MessageKind::Error:
      QMessageBox::critical(parent, title, request.text);
      break;
    case MessageKind::Information:
      QMessageBox::information(parent, title, request.text);
      break;
  }
  return MessageAnswer::Ok;
}

ModalRunner& modalRunner() {
  static ModalRunner current;
  return current;
}

}  // namespace

std::optional<MessageAnswer> scriptedAnswer(const MessageRequest& request) {
  if (!answerer()) return std::nullopt;
  return answerer()(request);
}

ModalRunner setModalRunner(ModalRunner next) {
  ModalRunner previous = std::move(modalRunner());
  modalRunner() = std::move(next);
  return previous;
}

int execModal(QDialog& dialog) { return modalRunner() ? modalRunner()(dialog) : dialog.exec(); }

MessageAnswerer setMessageAnswerer(MessageAnswerer next) {
  MessageAnswerer previous = std::move(answerer());
  answerer() = std::move(next);
  return previous;
}

void showMessage(const QString& text, MessageKind kind, QWidget* parent) {
  ask({kind, {}, text}, parent);
}

void showNotice(const QString& text, MessageKind kind, QWidget* parent) {
  if (answerer()) {
    answerer()({kind, {}, text});
    return;
  }
  const QMessageBox::Icon icon = kind == MessageKind::Error     ? QMessageBox::Critical
                                 : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                : QMessageBox::Information;
  auto* box = new QMessageBox(icon, QApplication::applicationName(), text, QMessageBox::Ok, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

bool askYesNo(const QString& text, QWidget* parent) {
  return ask({MessageKind::Question, {}, text}, parent) == MessageAnswer::Yes;
}

}  // namespace nuvo
