#pragma once

#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace nuvo {

// Every message box, yes/no question and confirmation of the program goes through this one place,
// so a test (or an unattended run) can answer them. Without an answerer the platform's message box
// is shown and waits for the user.
enum class MessageKind { Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
  MessageKind kind = MessageKind::Information;
  QString title;
  QString text;
};

using MessageAnswerer = std::function<MessageAnswer(const MessageRequest&)>;

// Installs the answerer that replaces the message boxes; an empty function restores them. Returns
// the previous answerer.
MessageAnswerer setMessageAnswerer(MessageAnswerer answerer);

// The installed answerer answers `request`; nothing when none is installed (the caller shows its
// own window then).
std::optional<MessageAnswer> scriptedAnswer(const MessageRequest& request);

// Runs a modal dialog of the program (the message dialog, the confirmation dialog) and returns its
// result. A test installs a runner that fills and ends the dialog instead of a person.
using ModalRunner = std::function<int(QDialog&)>;
ModalRunner setModalRunner(ModalRunner runner);
int execModal(QDialog& dialog);

// A message with one OK button.
void showMessage(const QString& text, MessageKind kind = MessageKind::Information,
                 QWidget* parent = nullptr);
// A message that waits for nobody: the window shows it and the caller goes on at once (an
// unattended run reports a failure this way and carries on with its failure handling). An
// installed answerer receives it like any message.
void showNotice(const QString& text, MessageKind kind = MessageKind::Error, QWidget* parent = nullptr);
// A question with Yes and No; true for Yes.
bool askYesNo(const QString& text, QWidget* parent = nullptr);

// How long a window that starts work at its first activation waits, once shown, for the window
// manager to activate it before it starts by itself (without a window manager nothing activates it).
inline constexpr int kActivationFallbackMs = 300;

}  // namespace nuvo
