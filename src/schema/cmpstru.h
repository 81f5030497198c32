#pragma once
// The structure compare: takes a structure snapshot of a schema and saves it, shows snapshot files,
// and compares a reference snapshot with a current one into a list of differences that can be saved
// as a difference report. The unattended COMPARE snapshots KADE's tables into the current file,
// compares it with the reference, writes the report (or removes an older one when nothing differs)
// and closes the window; a failure leaves it open.

#include <QDialog>
#include <QStringList>
#include <vector>

#include "schema/compare_logic.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QToolButton;
class QAction;

class TfmCmpStru : public QDialog {
  Q_OBJECT
 public:
  explicit TfmCmpStru(QWidget* parent = nullptr);

  void SetLanguageTexts();

  // The commands, as their buttons run them.
  void btCreateScriptClick();
  void spSaveClick();
  void btSourceClick();
  void btDestClick();
  void btCompareClick();
  void btSaveDiffClick();
  // Shows a page (and names it in laKind).
  void showPage(QWidget* page);

  // Set by the runner before the window is first shown: an unattended run, with the reference and
  // current snapshot files in edfSource and edfDest and the report file here.
  bool pAuto = false;
  QString pShraniDir;
  // A compare found differences.
  bool pNapake = false;

  // The differences of the last compare.
  std::vector<nuvo::schema::SnapshotDifference> bError;
  bool tooMany = false;

  QMenuBar* menu;
  QAction *miShowOriginal, *miShowCurrent, *miCreate, *miCompare, *miExit;
  QToolButton *spCreate, *spCompare, *spOpen, *spDest;
  QLabel* laKind;
  QStackedWidget* pcCmp;
  QWidget *TabCreateSource, *tabSource, *tabDest, *TabCompare;
  // Create page.
  QLabel *laUser, *laName, *laType, *laStatus;
  QLineEdit *edUser, *edName;
  QComboBox* cbType;
  QPushButton *btCreateScript, *spSave;
  QPlainTextEdit* meTemp;
  // Reference and current pages.
  QLabel *laFIle, *laFile1;
  QLineEdit *edFileSource, *edFileDest;
  QPushButton *btSourceSearch, *btDestSearch;
  QPlainTextEdit *meSource, *meDest;
  // Compare page.
  QLabel *laSource, *laOriginal;
  QLineEdit *edfSource, *edfDest;
  QPushButton *btSource, *btDest, *btCompare, *btSaveDiff;
  QTableWidget* sgError;
  QPlainTextEdit* meError;

  QString nizCrSrc, nizSrc, nizDest, nizEmpSrc, nizEmpDest, nizCr, nizPrep, nizCmp, nizNeObstaja, nizNiEnako,
      nizNiNapak, nizToMuch;

 signals:
  // What an unattended run has to say to the runner; `failed`: it was interrupted and the window
  // stays open.
  void unattendedReport(const QString& text, bool failed);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildWidgets();
  QWidget* buildCreatePage();
  QWidget* buildFilePage(QLabel*& label, QLineEdit*& edit, QPushButton*& button, QPlainTextEdit*& memo,
                         const char* labelName, const char* editName, const char* buttonName, const char* memoName);
  QWidget* buildComparePage();
  // Runs a command; a database or file error is shown, or in an unattended run thrown on.
  bool runGuarded(void (TfmCmpStru::*command)());
  void createSnapshot();
  void saveSnapshot();
  void loadSource();
  void loadDest();
  // Reads a snapshot file (chosen, or named in `file` when unattended) into `text` and `memo`.
  void loadSnapshot(QLineEdit* file, QLineEdit* shownName, QPlainTextEdit* memo, QString& text);
  void compare();
  void saveDifferences();
  void showDifferences();
  void hidePages();
  // The file an open or save dialog chose, or empty; its directory becomes the snapshot directory.
  QString chooseFile(bool save, const QString& filter, const QString& suffix);
  void unattendedRun();
  void unattendedFailed(const QString& text);

  QString referenceText_, currentText_;
  QStringList snapshot_;
  bool firstTime_ = true;
};
