#pragma once
// The narrow scratch window beside the PL/SQL editor: a text tool bar that stays disabled, a
// button without a command and Exit. Non-modal; freed on close.

#include <QDialog>

class QComboBox;
class QToolBar;
class QToolButton;

class TfmCompare : public QDialog {
  Q_OBJECT
 public:
  explicit TfmCompare(QWidget* parent = nullptr);
  ~TfmCompare() override;

  QWidget* paTop;
  QToolBar* tbText;
  QComboBox* cbFontSize;
  QToolButton *SpeedButton1, *spExit;
};
