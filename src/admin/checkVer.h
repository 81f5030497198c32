#pragma once
// The version check: compares the stored PL/SQL objects of an owner with a version file, writes
// such a file from the database and shows the versions the database holds. The unattended VERSION
// action compares at the first showing and closes the window when nothing differs.

#include <QDialog>
#include <QStringList>

#include "admin/version_check_logic.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

class TfmCheckVersion : public QDialog {
  Q_OBJECT
 public:
  explicit TfmCheckVersion(QWidget* parent = nullptr);

  void SetLanguageTexts();
  void btStartClick();
  void btCrVerFileClick();
  void brShowVersionClick();

  // Set before the window is first shown: owner, version file, type list (or "ALL"), unattended.
  QString pUser, pFile, pObjects;
  bool pAuto = false;
  // The unattended comparison found no difference.
  bool vseOK = false;

  QLabel *laOwner, *laVerFile, *laType, *laStat;
  QLineEdit *edOwner, *edVerFile, *edType;
  QPushButton *btStart, *btCrVerFile, *brShowVersion, *btExit;
  QCheckBox* cbTimestamp;
  QTableWidget* sgRes;
  QTimer* tiEnd;

  QString nizPreparing, nizNeObstaja, nizCreating, nizPrep, nizEnaka, MessCre;

 signals:
  // An unattended comparison ended with differences or failed; the text says which.
  void unattendedFailed(const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildWidgets();
  void firstActivation();
  void showRows(const std::vector<nuvo::admin::VersionRow>& rows);
  void resetGrid();
  // Runs a command; a database or file error is shown, or in an unattended run reported.
  void runGuarded(void (TfmCheckVersion::*command)());
  void compare();
  void createFile();
  void showVersions();

  bool firstTime_ = true;
};
