#pragma once
// Asks who confirms an administrative action and why.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

struct TConfirmOutput {
  QString SurnameName;
  QString Reason;
  bool Confirm = false;
};

class TdlgConfirm : public QDialog {
  Q_OBJECT
 public:
  explicit TdlgConfirm(QWidget* parent = nullptr);

  // Shows the dialog modally; `neededReason`: the reason must be given too.
  static TConfirmOutput GetConfirmation(bool neededReason);

  // OK is enabled when the name is given and, if needed, the reason (blanks count as text).
  void CanConfirm();

  QLabel* laNameSurname;
  QLineEdit* edNameSurname;
  QLabel* laReason;
  QLineEdit* edReason;
  QPushButton* btOK;
  QPushButton* btCancel;
  bool FNeededReason = false;
};
