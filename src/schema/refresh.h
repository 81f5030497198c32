#pragma once
// The refresh window: brings a destination table in line with a source table (here or over a
// database link) by one generated PL/SQL block, run on a worker thread with a session of the
// window's own, while the window shows the progress the block sends through the pipe REFRESH.
// Refresh files (.RFS) list several tables; the runner's REFRESH processes one unattended.

#include <QDialog>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <memory>

#include "db/query.h"
#include "db/session.h"
#include "schema/refresh_logic.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTimer;
class TfmRefresh;

namespace refresh {

// Runs the window's block statement once; on failure stores the error text and then raises the
// error flag. Calls nothing on the main thread.
class TExecSqlThread : public QThread {
  Q_OBJECT
 public:
  explicit TExecSqlThread(TfmRefresh* AForm);

 protected:
  void run() override;

 private:
  TfmRefresh* AFormT;
  nuvo::db::Query* quDynT;
};

}  // namespace refresh

class TfmRefresh : public QDialog {
  Q_OBJECT
 public:
  explicit TfmRefresh(QWidget* parent = nullptr);
  ~TfmRefresh() override;

  void SetLanguageTexts();

  // Commands.
  void btRefreshClick();
  void btSkriptClick();
  void btRunSkriptClick();
  void btCommitClick();
  void btRollbackClick();
  void btCancelClick();

  // Loads the source table's columns and key.
  void LoadColumns();
  // Processes a refresh file, one table after the other; returns at once (see fileRunFinished).
  void RunRefreshFile(const QString& fileName);

  // The window's fields as one refresh, and back.
  nuvo::schema::RefreshDefinition definition() const;
  void showDefinition(const nuvo::schema::RefreshDefinition& d);

  // A refresh or a refresh file is being run.
  bool running() const { return worker_ != nullptr; }
  bool fileRunning() const { return fileReader_ != nullptr; }
  // The window whose refresh is running in the program, if any: one refresh at a time.
  static TfmRefresh* activeRefresh();

  // Set by the runner before the window is shown: the refresh file to process unattended.
  QString runSkripta;

  // The worker's result: the text is written before the flag is raised.
  std::atomic<bool> SQLNapaka{false};
  QString SQLErr;
  bool commitStat = false;
  bool runScript = false;

  nuvo::db::Session osOracleThread;
  nuvo::db::Query quDyn{&osOracleThread};

  QComboBox *cbUserSource, *cbTableSource, *cbDBLDest, *cbUserDest, *cbTableDest;
  QListWidget* lbUnique;
  QTableWidget* sgSelCol;
  QCheckBox *cbUpdate, *cbDelete, *cbPipe, *cbSequence, *cbProc, *cbErrorON;
  QWidget* paSequence;
  QLineEdit *edSeqField, *edProcedure;
  QComboBox* cbSeqName;
  QLabel *laStatus, *laCounter, *laUpdated, *laInserted, *laDeleted;
  QTabWidget* pcRefresh;
  QWidget *tsRefresh, *tsOptions, *tsErrors, *tsBlock, *tsScriptErr, *tsHelp;
  QPlainTextEdit *meErr, *meBlock, *meScriptErr, *meHelp;
  QPushButton *btRefresh, *btSkript, *btRunSkript, *btCommit, *btRollback, *btCancel, *Button1;
  QTimer *tmColumns, *tmPoll;

 signals:
  // A run (one table) has ended: ok when the block ran through.
  void runFinished(bool ok);
  // The refresh file given to RunRefreshFile has been processed.
  void fileRunFinished();
  // What an unattended file run has to report: failed: a table failed or was refused (or the file
  // could not be read); otherwise a notice, such as the rollback at its end.
  void unattendedReport(const QString& text, bool failed);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class refresh::TExecSqlThread;
  void buildWidgets();
  void connectSignals();
  void guard(const std::function<void()>& call);
  void tell(const QString& text);

  bool PrepareBlock(bool createOnly, bool pipe);
  void WriteAndRunBlock(const QString& block);
  void StartThread();
  void PollPipe();
  void finishRun();
  void ShowPipeMessage(const QString& text);
  void ShowBlockError(const QString& text);
  void UpdateTransactionButtons();
  void ClearCounters();
  void setRunning(bool running);
  void nextFileTable();
  void endFileRun();

  void sourceUserChanged();
  void linkChanged();
  void destUserChanged();
  void sequenceToggled(bool on);
  void gridPressed(int row, int column);
  void dropColumn(QWidget* target, int row);

  QString nizKeyMissing, nizSame, nizMissing, nizNothingToUpdate, nizBusy, nizRolledBack, nizClosed, nizNoSession;

  QPointer<refresh::TExecSqlThread> worker_;
  std::atomic<bool> workerDone_{true};
  bool endSeen_ = false;
  bool pipeBroken_ = false;
  bool closeWhenDone_ = false;
  bool hadTransaction_ = false;
  bool cancelled_ = false;
  bool unattended_ = false;
  QString runFile_;
  std::unique_ptr<nuvo::schema::RefreshFileReader> fileReader_;
  nuvo::schema::RefreshProgress progress_;
};
