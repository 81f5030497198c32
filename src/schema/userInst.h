#pragma once
// The installation register: one row of NUVO_UTIL.NUVO_INST per customer installation with its
// instance, versions and notes on files, operating system, archiving, hints and the database's
// init file. Rows are edited only after Edit or Insert; each post commits. Freed when closed.

#include <QDialog>

#include "db/dataset.h"

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolBar;
class TThemedDBGrid;

class TfmInstUsers : public QDialog {
  Q_OBJECT
 public:
  explicit TfmInstUsers(QWidget* parent = nullptr);

  void SetLanguageTexts();
  void btRefreshClick();
  void pcInstalationsChange();
  void insertRow();
  void editRow();
  // Writes the edits into the row and commits; a bad date or a refused row keeps the edit open.
  bool postRow();
  void cancelRow();
  void deleteRow();

  QToolBar* DBNavigator1;
  QAction *navInsert, *navDelete, *navEdit, *navPost, *navCancel, *navRefresh;
  QLabel *laUpor, *laDesc, *laVersion, *laInstance, *laCurrent, *laLast, *laFiles;
  QLineEdit *edUpor, *edDesc, *edVersion, *edInstance, *edCurrent, *edLast;
  QPushButton* btRefresh;
  TThemedDBGrid* dbgInst;
  QTabWidget* pcInstalations;
  QWidget *tsParameters, *tsInit, *tsOS, *tsSave, *tsHints;
  QPlainTextEdit *meFiles, *meInit, *meOS, *meSave, *meHints;
  nuvo::db::Dataset quInstUsers;

  QString nizFinish, nizBadDate;

 private:
  void buildWidgets();
  void showRow();
  void setEditing(bool editing);
  bool editing_ = false;
  bool inserting_ = false;
};
