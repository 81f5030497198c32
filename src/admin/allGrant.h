#pragma once
// The grant window: grants or revokes rights on all objects of one owner that match a name pattern
// and a type list, to or from one grantee, in one server block. Tables get the rights typed; every
// other object gets EXECUTE. The unattended GRANT action runs it once from its timer and closes it.

#include <QDialog>

#include "admin/grant_logic.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

class TfmGrantAll : public QDialog {
  Q_OBJECT
 public:
  explicit TfmGrantAll(QWidget* parent = nullptr);

  void SetLanguageTexts();
  // Runs the boxes' request and shows the outcome.
  void btGranteeClick();
  // The request the boxes make.
  nuvo::admin::GrantRequest request() const;

  // Set before the window is shown: an unattended run.
  bool pAuto = false;

  QLabel *laOwner, *laFilter, *laType, *laRights, *laGrantee, *laAction;
  QLineEdit *edOwner, *edFilter, *edTip, *edPravice, *edUporabnik;
  QRadioButton *rbGrant, *rbRevoke;
  QPushButton *btGrantee, *btExit;
  QPlainTextEdit* meError;
  QTimer* tiAuto;

  // The window's height without and with the failure text.
  static constexpr int kHeight = 252;
  static constexpr int kHeightWithErrors = 520;

 signals:
  // An unattended run failed; the text says which objects, or why nothing ran.
  void unattendedFailed(const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildWidgets();
  void tiAutoTimer();
  void setHeight(int height);
};
