#pragma once
// The script executor window: loads an upgrade script, stores it whole into NUVO_UTIL.NUVO_EXS and
// runs its rows, interactively or unattended for the runner.

#include <QDialog>
#include <QPointer>
#include <QThread>
#include <atomic>

#include "db/query.h"
#include "sqlwork/script_lists.h"
#include "sqlwork/script_table.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QMenu;
class QTableWidget;
class QTimer;
class QToolButton;
class QWidget;

class TThemedDBGrid;
class TfmScript;

namespace nuvo::db {
class Dataset;
}
namespace nuvo::widgets {
class DatasetModel;
}

// Runs one statement on the main session in the background; the finishing step reaches the window
// on the main thread through a queued call.
class TExecSqlThread : public QThread {
  Q_OBJECT
 public:
  TExecSqlThread(TfmScript* AForm, const QString& sql);

 protected:
  void run() override;

 private:
  QPointer<TfmScript> AFormT;
  nuvo::db::Session* osOracleThreadT;
  QString sql_;
};

class TfmScript : public QDialog {
  Q_OBJECT
 public:
  explicit TfmScript(QWidget* parent = nullptr);
  ~TfmScript() override;

  // Public fields of the window.
  bool p_auto = false;
  bool p_napaka = false;
  std::atomic<bool> threadNadaljuj{true};
  bool threadsqlNapaka = false;
  QString threadSQLErr;

  // Tool bar and frame.
  QToolButton *tbOpenF, *tbRun, *tbSearch, *tbStat, *tbLargeRB, *ToolButton2, *tbDeleteMore, *tbExit;
  QLabel *laLastVersion, *laVerzija;
  QWidget* paGlava;
  QLabel *laSkripta, *LabelType, *Label7, *laFltErr;
  QComboBox *cbAllScripts, *cbStat;
  QMenu* pmScripts;
  QLineEdit *edFilter, *edNapaka;
  QPushButton *spFltScript, *btRefresh;
  QStackedWidget* pcExec;
  QWidget *tabOpenFile, *tabExec, *tabEmpty, *TabDeleteMore, *TabSearch, *tabStat;

  // Open-file page.
  QLabel* laSkriptName;
  QLineEdit *edSkripta, *edDir;
  QPushButton *btOpenFile, *btScriptPut, *btSaveScript;
  QLabel *Label9, *laLargeRBStat;
  QPlainTextEdit* meVse;

  // Execute page: the statement list of the chosen script.
  nuvo::db::Dataset* quSkripte;
  TThemedDBGrid* dbgSkripte;
  QPushButton *spExecOne, *spExecAllScript, *sbNeizvedeno, *spDelete, *spDeleteAll;
  QCheckBox *cbStopOnError, *cbThread, *cbMess;
  QPushButton *btStop, *btCommit, *btRollback;
  QLabel* Label5;
  QComboBox* cbShowType;
  QWidget* paStat;
  QLabel *laCurrent, *laStevec, *laSkriptNumber, *laErrors, *laError, *Label1;
  QPlainTextEdit *meTekocaSkripta, *meLong, *dbmError;

  // Delete page.
  QListWidget* lbSkripte;
  QPushButton* btDelete;

  // Search page.
  QLineEdit *edFindScript, *edFindFlt, *edFindErr;
  QComboBox* cbFIndStat;
  QPushButton* btFind;
  nuvo::db::Dataset* quFind;
  TThemedDBGrid* dbgSearch;
  QPlainTextEdit *dbmFindCont, *dbmFindErr;

  // Statistics page.
  QTableWidget* sgStat;
  QLineEdit* edStatScript;
  QCheckBox *cbN, *cbE, *cbD;
  QPushButton *btStatRefresh, *btShowScript;

  QTimer* tiClose;

  nuvo::db::Query quDyn;

  // Texts set by SetLanguageTexts.
  QString nizErrorAdd, nizActScript, nizSkrPrazna, nizRec, nizNoFile, nizUspesno, nizNeuspesno, nizEnaUspesno,
      nizEnaNeUspesno, nizDoesntExist, nizdelPerm, nizChange, nizNi, nizDelete, nizAll;
  // Failures of an unattended run.
  QString nizFileMissing, nizStoredUnfinished, nizNotStored, nizStoppedWaits, nizFailedWaits;

  void SetLanguageTexts();
  void FormActivate();
  void LoadScriptFile();
  void btOpenFileClick();
  void btScriptPutClick();
  // Parses meVse and stores it whole; false (after the message) when nothing could be stored.
  bool shraniVTabelo();
  void btSaveScriptClick();
  void tbOpenFClick();
  void tbRunClick();
  void btRefreshClick();
  // A status box changed: the list is shown again and refreshed.
  void cbShowTypeChange();
  void FillScriptList();
  void cbAllScriptsClick();
  void tbDeleteMoreClick();
  void btDeleteClick();
  void spFltScriptClick();
  // Marks the current row deleted (D), or back to not executed when it is D.
  void spDeleteClick();
  // Sets every row of the script back to N (committed with the next commit).
  void sbNeizvedenoClick();
  // Deletes the listed rows, or every row of the script when all statuses are listed.
  void spDeleteAllClick();
  // The Delete key in the script box: deletes the chosen script without asking.
  void deleteChosenScript();
  // The popup "Delete" of the script box: shows the chosen script's name; nothing is deleted.
  void Delete1Click();
  // Writes an edited statement text back to its row.
  void meLongExit();
  void tbSearchClick();
  void btFindClick();
  void dbgSearchDblClick();
  void tbStatClick();
  void btStatRefreshClick();
  void btShowScriptClick();

  void spExecAllScriptClick();
  void spExecOneClick();
  // Runs the current row, writes its status and commits; whether the run may go on. Throws
  // db::Error when the status cannot be written.
  bool ExecScript();
  void btStopClick() { konec = true; }
  void btCommitClick();
  void btRollbackClick();
  void enDisButtons(bool enabled);
  void showMessagePoSQL(const QString& text);
  // The finishing step of a statement thread, on the main thread.
  Q_INVOKABLE void DeloKoncano(bool failed, const QString& error);

  // The counter of the list's current row (0 when none).
  int currentCounter() const;

  static QPointer<TfmScript> fmScript;

 signals:
  // An unattended run failed before or instead of running its rows (the script file cannot be
  // read, the stored script still has rows not executed or failed, it cannot be stored); the
  // window says so without waiting and closes.
  void unattendedFailed(const QString& text);
  // An unattended run stopped on a failing statement, or ran with failures, and the window now waits
  // for the user: why, said before it waits.
  void unattendedWaits(const QString& text);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWidgets();
  QWidget* buildOpenFilePage();
  QWidget* buildExecPage();
  QWidget* buildDeletePage();
  QWidget* buildSearchPage();
  QWidget* buildStatPage();
  void showPage(QWidget* page, bool header);
  void restoreListDisplay();
  void napolniSkriptoIzTabele();
  void showFoundRow();
  // The row of the list with that counter, fetching further packets as needed; -1 when none.
  int listRowOf(int counter);
  // Writes one field of a list row, commits and reads the row back; false after the message.
  bool writeListField(int row, const QString& field, const QVariant& value);
  nuvo::sqlwork::ScriptScope scope() const;
  nuvo::sqlwork::RowContext rowContext();
  // Runs a statement in a TExecSqlThread and waits for it while the window stays responsive.
  QString runExecSQL(const QString& sql);
  bool execRow(int counter, const QString& text, nuvo::sqlwork::RowStatusWriter& status);
  enum class StoreResult { Stored, AlreadyStored, Failed };
  // Stores the loaded script under the upper-cased script name when it has no rows yet.
  StoreResult storeLoadedScript();
  void runUnattended();
  // Ends an unattended run as failed: the failure is shown without waiting, signalled, and the
  // window closes a second later.
  void failUnattended(const QString& text);

  bool konec = false;
  bool running_ = false;  // a run of the rows is in progress
  bool p_owner = false;
  bool p_scriptDateOwner = false;
  bool autoStarted_ = false;
  QString currFile;
  QString zadnjaSkripta;
  int shownCounter_ = 0;  // the counter of the row whose text meLong shows
  QString listedScript_;
  QString lastRowError_;  // the error of the row execRow ran last, empty after success
  QString tekocaScr;
  nuvo::sqlwork::ListFilter listFilter_;  // the filters of the last list refresh, for the run
  QString p_zadVnosFilterSkripta;
  bool brezVprasanja = false;
};
