#pragma once
// The PL/SQL editor: the source of stored units and other SQL in an editor, compiled on the main
// session block by block with the compile errors listed and walked, loaded from and saved to files
// with a history of the files opened last, keyboard and pop-up macros, the twin of a block keyword,
// renaming of the application schemas for an installation, and a tools panel (table structures,
// text templates, a second file). Several may be open; each frees itself when it closes.

#include <QMainWindow>
#include <functional>

#include "db/dataset.h"
#include "db/query.h"
#include "sqlwork/editpl_logic.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QToolBar;
class QToolButton;
class TSqlEditor;
class TThemedDBGrid;

class TfmEditPL : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfmEditPL(QWidget* parent = nullptr);
  ~TfmEditPL() override;

  // Close the window after a compile that ends "OK"; cleared when used.
  bool AutoCompile = false;
  QString CurrentFile;
  QString currFName;
  // The text as last loaded or saved, for the change check.
  QStringList currCont;

  // The errors of the last compile and the one shown (1-based).
  nuvo::sqlwork::EditorErrorList ListaNapak;
  int trenutnaNapaka = 1;
  // Tools panel width while closed, the window's width and left edge without it.
  int SirinaLeft = 480, SirinaAll = 620, pozicijaLeft = 0;
  nuvo::sqlwork::FileHistory aDatoteke;

  QString nizNoActive, nizLine, nizFile, neObstaja, nizVTrans, nizSaveChanges, nizTemplateMissing;

  // Top panel.
  QToolButton *spCompile, *spExit, *spDataBase, *spErrors, *spLoad, *spSave, *spSaveAs, *spNew, *spFindEQ;
  QLineEdit* edStatus;
  QCheckBox* cbTranslate;
  QToolBar* WPToolBar1;
  QAction *acUndo, *acCut, *acCopy, *acPaste, *acSelectAll, *acFind;
  TSqlEditor* mePLSQL;
  QWidget* paFind;
  QLineEdit *edFind, *edReplace;
  QPushButton *btFindNext, *btReplace, *btReplaceAll;
  QLabel *laLine, *laFileName;
  // Error panel.
  QWidget* paPLSQLError;
  QLabel *laError, *laStErr, *laAllErr;
  QToolButton *spbNazaj, *spbNaprej, *spDebug;
  QPushButton *btCloseErrorScreen, *btErrCodeNr;
  QLineEdit* meError;
  // File history list.
  QListWidget* lbHistFile;
  QMenu* pmHistFile;
  QAction* miHistFileDelete;

  // Tools panel.
  QWidget* paPLUtil;
  QToolButton *spUtilStructure, *spUtilFile, *spUtilTemplate, *spUtilBack;
  QStackedWidget* pcUtil;
  QWidget *tabUtilTable, *tabUtilTemplate, *TabUtilFile;
  QLabel *laUser, *laTable, *laTEmplate, *laOpis;
  QComboBox *lcbUsers, *lcbTables;
  QPushButton* spInsert;
  QTableWidget* sgColumns;
  QPushButton *btConstraints, *btRef;
  QLineEdit *edTemplate, *edDesc;
  QPushButton* btFindTpl;
  QPlainTextEdit* meTemplate;
  TThemedDBGrid* dbgTemplate;
  QPushButton *btNew, *btUpdate, *btCancel, *btSaveTemplate, *btCopy;
  QToolButton* SpeedButton1;
  TSqlEditor* meCompare;
  QLabel* wpStatusBar;
  QString compareFile;

  nuvo::db::Query quUsers, quTables, quColumns, quUpdate;
  nuvo::db::Dataset quTemplate;

  // Loads a file into the editor; false (and a message) when it is missing or unreadable.
  bool naloziFile(const QString& imeF);
  void spCompileClick();
  void ShowCompileError(int step);
  bool CheckSaveChanges();
  void spLoadClick();
  void spSaveClick();
  void spSaveAsClick();
  void spNewClick();
  void spErrorsClick();
  void spFindEQClick();
  void InsertMacroText(bool newline, const QString& text);
  void SetLanguageTexts();
  // The caption and the status bars after the file changed.
  void updateCaption();

  // File history.
  QString historyFileName() const;
  void showHistoryList();
  void lbHistFileDblClick();
  void miHistFileDeleteClick();

  // Tools panel.
  void spDataBaseClick();
  void lcbUsersExit();
  void lcbTablesCloseUp();
  void spInsertClick();
  void sgColumnsDblClick();
  void btFindTplClick();
  void setTemplateMode(nuvo::sqlwork::TemplateMode mode);
  nuvo::sqlwork::TemplateMode templateMode() const { return templateMode_; }
  void btSaveTemplateClick();
  void btCancelClick();
  void btCopyClick();
  bool OpenFile();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void buildWidgets();
  QWidget* buildErrorPanel();
  QWidget* buildToolsPanel();
  void FormCreate();
  void updateStatus();
  void showTemplateRow();
  QStringList selectedColumnNames() const;

  QString baseCaption_;
  nuvo::sqlwork::TemplateMode templateMode_ = nuvo::sqlwork::TemplateMode::Browse;
  bool compiling_ = false;
};
