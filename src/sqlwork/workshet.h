#pragma once
// The SQL worksheet: one statement or PL/SQL block typed into an editor and run on a worker thread,
// a query into the result grid, anything else with a report, server output and compile errors into
// the text panes. It starts on the main session and may log on to a session of its own.

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QThread>
#include <memory>

#include "db/dataset.h"
#include "db/query.h"
#include "db/session.h"
#include "platform/text_file.h"
#include "sqlwork/sql_editor.h"
#include "sqlwork/worksheet_logic.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TThemedDBGrid;
class TfmWorkSheet;

namespace nuvo::widgets {
class DatasetModel;
}

// Opens the worksheet's result dataset off the main thread.
class TSelectThread : public QThread {
  Q_OBJECT
 public:
  explicit TSelectThread(TfmWorkSheet* AForm);

 protected:
  void run() override;

 private:
  QPointer<TfmWorkSheet> formaT;
  nuvo::db::Dataset* dataset_;
};

// Executes the worksheet's statement off the main thread.
class TSQLThread : public QThread {
  Q_OBJECT
 public:
  explicit TSQLThread(TfmWorkSheet* AForm);

 protected:
  void run() override;

 private:
  QPointer<TfmWorkSheet> formaT;
  nuvo::db::Query* query_;
};

class TfmWorkSheet : public QMainWindow {
  Q_OBJECT
  Q_PROPERTY(QString sCaption MEMBER sCaption)
 public:
  explicit TfmWorkSheet(QWidget* parent = nullptr);
  ~TfmWorkSheet() override;

  // The number of the window (name "WorkSheet_" + n), set by the main window.
  int WorkStevec = 0;
  // The caption without the connection; the logon dialog adds its own connection to it.
  QString sCaption;

  // The session the window works on: the main session until a private logon succeeds.
  nuvo::db::Session* currDataBase = nullptr;
  std::unique_ptr<nuvo::db::Session> tmpDataBase;
  QString tmpDataBaseName;

  // Upper area.
  QStackedWidget* pcResp;
  QWidget *TabRespGrid, *TabRespSQL, *TabRespError, *tabExplain, *tabHist, *TabHelp, *tabProcFunc, *tabTabela,
      *tabSesStat;
  TThemedDBGrid* dbgSelect;
  nuvo::widgets::DatasetModel* dsDynWork;
  QPlainTextEdit *dbmMemo, *meRespSQL, *meRespError, *meExplain;
  QToolButton *spConvertToAscii, *spClear;
  // Query by example: one row of values typed under the result's columns.
  QTableWidget* sgQbe;
  QLabel *laStat, *laBlock, *laCGts, *laPhRd, *laCChg, *laBlChg;

  // Lower area.
  QToolButton *spExe, *spBack, *spNext, *spClearMemo, *spExplain, *btLive, *spSaveHist;
  QWidget* paSQLLeft;
  TSqlEditor* meWork;
  QLabel* laTime;
  QLabel* laCaret;  // line:column of the editor's caret
  QWidget* paFind;
  QLineEdit *edFind, *edReplace;
  QPushButton *btFindNext, *btReplace, *btReplaceAll;
  QPushButton *btCommit, *btRollback;
  QToolBar* oNavigator;
  QAction *navInsert, *navDelete, *navEdit, *navRefresh, *navQbeEnter, *navQbeRun;
  QMenu* pmWorkMacros;

  // History page.
  TThemedDBGrid* dbgHist;
  QLineEdit* edOwner;
  QPushButton *spRefreshHist, *spUpdateHist, *spDeleteHist;
  // Help page.
  QStackedWidget* pcHelp;
  QPlainTextEdit *meHelpHints, *meHelpSelect;
  QPushButton *shHelpHint, *spSelExp;
  // Call builder.
  QLabel *laUser, *laName;
  QLineEdit *edUser, *edFilter;
  QPushButton *btRefresh, *btInsert;
  QTreeWidget* tvSQL;
  QTableWidget* sgParams;
  QTreeWidgetItem *tnProc, *tnFunc, *tnPck;
  bool firstTimeFunc = true;
  // Select builder.
  QLabel *laUserTabela, *laTabela;
  QLineEdit *edUserTabela, *edFilterTabela;
  QComboBox* cbTabela;
  QCheckBox* cbLive;
  QPushButton* btStavek;
  QTableWidget* sgColumns;

  // Data.
  nuvo::db::Dataset quDynWork;
  nuvo::db::Query quDynQuery, quTmp, quGetTime, quError, quSesStat, quSid;
  nuvo::db::Dataset quHistory;
  nuvo::db::Query quPutInHistory, quUpdateHist, quDeleteHistory, quExplain, quObjekti, quPackages, quInOut,
      quTables, quTabCol;
  QTimer* tiCas;

  // Menus.
  QAction *mmConnect, *mmDisconnect, *Open2, *Save2, *SaveAs1, *SelectGrid1, *mmStatisticsView, *Response1,
      *mmStatistics, *mmQueryAllRecords, *mmQueryByExample, *mmDBMS_Output, *mmClearOutputON, *mmEchoON,
      *PrepareSelectStatement1, *ExecuteFunction1, *CovertDelphiString1, *LargeRBONLINE, *MakeQueryLive1, *mmHistory,
      *Help1, *Exit1, *miAdjustColumns;
  QMenu *mnFile, *mnView, *mnSetup, *mnUtilities, *mnHistory, *mnHelp;

  // Run state.
  int iBlock = 0, iCGts = 0, iPhRd = 0, iBlChg = 0, iCChg = 0;
  int sBlock = 0, sCGts = 0, sPhRd = 0, sBlChg = 0, sCChg = 0;
  bool lError = false;
  QDateTime dtOra;
  bool lSelect = false, lUpdate = false, lDelete = false, lInsert = false;
  bool pTipkaF9 = false;
  QString sUserCaption;
  QString zadnjiEkran;
  nuvo::sqlwork::HistoryRing ring;
  QString currentFile;
  QString ORACLEVersion;
  int ORACLESid = -1;
  int outputCharset = 238;

  QString nizErrStat, nizErrHist, nizErrExp, nizErrOn, nizCloseForm, nizComCur, nizErrStr, nizSpExeHint,
      nizSpExeHintBreak;

  // An open transaction on the database `ime`: Commit is enabled and the window works on it.
  Q_INVOKABLE bool jeVTransakciji(const QString& ime) const;

  // Commands.
  void spExeClick();
  // Starts the editor's statement; false when nothing ran.
  bool startStatement();
  void breakStatement();
  // Query by example: the value row under the result's columns, and the query restricted by it.
  void qbeEnter();
  void qbeRun();
  bool running() const { return worker_ != nullptr; }
  void mmConnectClick();
  void Disconnect();
  void SetCurrentFile(const QString& name);
  void SetTransactionButtons(bool on);
  void btCommitClick();
  void btRollbackClick();
  void mmStatisticsClick();
  void mmDBMS_OutputClick();
  void ShowElapsedTime(bool withMilliseconds);
  void ShowExecError(int line, int position, const QString& message);
  bool ShowCompileErrors(const QDateTime& start);
  void SetErrorQuery(const QString& version);
  void ReadSessionIO(int& block, int& cgets, int& phrd, int& blchg, int& cchg);
  void readSessionId();
  void SetLanguageTexts();
  void showPage(QWidget* page);
  // The grid's title click: shows the clicked column's text under the grid, or hides it.
  void gridTitleClick(int column);

  // History, explain, builders and files.
  void spBackClick();
  void spNextClick();
  void LoadHistory();
  void spSaveHistClick();
  void mmHistoryClick();
  void spUpdateHistClick();
  void spDeleteHistClick();
  void spExplainClick();
  void MakeQueryLiveClick();
  void ExecuteFunctionClick();
  void btRefreshClick();
  void tvSQLClick(QTreeWidgetItem* node);
  void btInsertClick();
  void cbTabelaEnter();
  void cbTabelaChoose();
  void btStavekClick();
  void CovertDelphiStringClick();
  void spConvertToAsciiClick();
  void Open2Click();
  void Save2Click();
  void SaveAs1Click();
  void dbgSelectDblClick();
  void InsertMacroText(bool newline, const QString& text);
  // Find and replace in the editor, ignoring case: the next occurrence after the caret (around the
  // end); the found text replaced and the next one found; every occurrence replaced (their number).
  bool findNext();
  void replaceFound();
  int replaceAll();

  // The editor's text with CR LF line ends.
  QString editorText() const;
  void setEditorText(const QString& text);

  // The finishing steps, on the main thread.
  Q_INVOKABLE void selectFinished(bool failed, int line, int position, const QString& message);
  Q_INVOKABLE void sqlFinished(bool failed, int line, int position, const QString& message, qint64 rows);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWidgets();
  QWidget* buildGridPage();
  QWidget* buildHistoryPage();
  QWidget* buildHelpPage();
  QWidget* buildCallBuilderPage();
  QWidget* buildSelectBuilderPage();
  void buildMenus();
  void FormCreate();
  void launchSelect();
  void EndRun();
  void showFailure(int line, int position, const QString& message);
  void enableServerOutput(int size);
  void bindAll(nuvo::db::Session* session);
  QDateTime GetServerTime();
  // Runs a statement on quTmp; false after the message nizErrOn + statement.
  bool runTmp(const QString& statement);
  void writeHistoryList();
  bool historyIsOwn() const;
  void saveText(bool output);
  void updateNavigator();

  QPointer<QThread> worker_;
  nuvo::sqlwork::StrippedStatement statement_;
  bool placeErrors_ = true;  // the error's line and position belong to the editor's text
  QString lastQuery_;        // the query that query by example restricts
  QElapsedTimer currdt;
  QString largeRBName_;
};
