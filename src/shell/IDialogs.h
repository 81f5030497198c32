#pragma once
// The program's own message dialog: a modal window whose button captions follow the program
// language (Slovene when currLanguage is "SLO"). It goes through the message facade, so tests and
// unattended runs can answer it.

#include <QDialog>
#include <QList>
#include <QString>

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Button kinds: bit n of a button set stands for kind n.
enum TMsgDlgBtn : unsigned {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
  mbAll = 1u << 7,
  mbHelp = 1u << 8,
  mbPopravi = 1u << 9,
};
using TMsgDlgButtons = unsigned;

// Modal results.
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7, mrAll = 12 };

namespace nuvo::shell {

// One button of a dialog as it is laid out.
struct DialogButton {
  QString name;
  QString caption;
  int result = mrNone;
  bool isDefault = false;
  bool isCancel = false;
};
// The buttons of a set in bit order, with the captions of the language, the default button (OK, else
// Yes, else Retry) and the button Esc presses (Cancel, else No, else Ignore, else OK).
QList<DialogButton> dialogButtons(TMsgDlgButtons buttons, bool slovene);

// The dialog's geometry from the average character size and the wrapped text's size.
struct DialogLayout {
  int clientWidth = 0, clientHeight = 0;
  int margin = 0, vMargin = 0, vSpacing = 0;
  int buttonWidth = 0, buttonHeight = 0, buttonSpacing = 0;
  int textLeft = 0, buttonsTop = 0, firstButtonLeft = 0;
};
DialogLayout dialogLayout(int cx, int cy, int textWidth, int textHeight, bool hasIcon, int buttonCount);

}  // namespace nuvo::shell

class TMessageForm : public QDialog {
  Q_OBJECT
 public:
  explicit TMessageForm(QWidget* parent = nullptr);
  int cancelResult = -1;  // the result Esc gives; -1: Esc presses no button

  void reject() override;  // the close box: cancel (2)
 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// Builds the dialog unshown; the caller owns it.
TMessageForm* BuildMessageDialog(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons);
// Shows the dialog modally and returns its result; X and Y place it when each is 0 or more.
int MessageDialogPos(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x, int y);
int MessageDialog(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
