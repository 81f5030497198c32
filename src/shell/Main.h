#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "db/dataset.h"
#include "db/query.h"
#include "db/session.h"
#include "shell/main_context.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTimer;
class QToolBar;
class QWidget;
namespace nuvo::shell {
class CommandRunner;
}

// The main window and program context. It lives for the whole run; every window reaches the shared
// settings, the main session and the interface texts through it.
class TfmMain : public QMainWindow, public TMainContext {
  Q_OBJECT
 public:
  // `parameters`: the command-line parameters after the program name.
  explicit TfmMain(const QStringList& parameters = {}, QWidget* parent = nullptr);
  ~TfmMain() override;

  // The main session and the statements of this window on it.
  nuvo::db::Session osOracle;
  nuvo::db::Query quDyn{&osOracle};
  nuvo::db::Query quDynSistem{&osOracle};
  nuvo::db::Query quDynSistem1{&osOracle};
  nuvo::db::Query quTemporary{&osOracle};
  nuvo::db::Dataset quDsDyn{&osOracle};
  nuvo::db::Dataset quDynDS{&osOracle};

  QWidget* paMainToolBar;
  QToolBar* tbMain;
  QWidget* paMain;
  QLabel* Slika;
  QPlainTextEdit* meVhod;
  QPlainTextEdit* meVhodParam;
  QPlainTextEdit* meMU;
  QPlainTextEdit* currMacros = nullptr;
  QMenu* popMain;
  QMenu* pmOkna;
  QTimer* tiCloseForm;
  QPointer<QWidget> FfmLockOra19, FfmAuditOra19;
  // The windows of disabled constraints and of disabled triggers, once opened.
  QPointer<QDialog> FfmDisRef, FfmDisTrigg;
  // The hosting window: made anew by its menu item (the hidden earlier one goes), hidden on close.
  QPointer<QDialog> FfmMoreUsers;

  // The restricted-session list (grupa: the role whose members may log on, preset "DUD").
  nuvo::db::Query quRestricted{&osOracle};

  // The window chooser: the windows listed in pmOkna in list order, and the command that opens a
  // new window of the kind last offered.
  QList<QPointer<QWidget>> aTrenOkna;
  int trenOkna = 0;
  std::function<void()> lastPMFunction;

  // A named menu item, group menu or toolbar button ("mmConnect", "mmCompare", "tbConnect").
  QAction* command(const QString& name) const;

  void FormCreate(const QStringList& parameters);
  void FormActivate();
  void SetLanguageTexts();
  void SetToolbarStrip(bool force);
  void SetConnectedCommands(bool connected);

  // The connect flow of the main session: logon dialog, rights probe, audit host, version, setup.
  void tbConnectClick();
  void mmConnectClick();
  void mmDisconnectClick();

  bool aliJeVecInstacijNaTrenutniInstanci(const QString& instance);
  void najdiglavnegaUserja();
  QString getOracleVersion(nuvo::db::Session& session, QString& dod);
  void NastaviUserIPL();
  bool TableExists(const QString& owner, const QString& table);
  void BeriParameter(const QString& name, QString& value, QString& description);
  // The audit-host mode ("Z", "L" or "N") with p_hostAuditUpor and p_hostAuditHost.
  void CheckAuditHost(QString& mode);
  // The main caption with user, database, server version and the hosting marker.
  void updateMainCaption();

  // Lists the open windows whose name begins with `prefix` in pmOkna, with "New" for
  // lastPMFunction, at x on the toolbar; true when there is none (the caller opens a new one).
  bool ChooseOpenWindow(const QString& prefix, int x);
  // Brings the window of the chooser's entry `index` (0-based) to the front.
  void FocusChosenWindow(int index);
  // Lists every open window except this one in pmOkna.
  void tbOknaClick();
  // The open top-level windows of the program other than this one and its menus.
  QList<QWidget*> openWindows() const;

  // Switches the large rollback segment ONLINE or OFFLINE when the server allows it.
  void mmActivateLargeRBClick();
  // Switches the large rollback segment offline when an unattended run left it online.
  void giveBackLargeRB();
  // "ALTER SYSTEM ENABLE|DISABLE RESTRICTED SESSION"; false (and a message) on failure or another mode.
  bool SetRestrictedSession(const QString& mode);
  // The sessions of users without the restricted-session right: mode "K" returns them in `list`,
  // any other mode shows them.
  void ListUnrestrictedSessions(const QString& mode, QString& list);

  // Parses currMacros once per run into the macro fields, then adds one item "Macro<i>" per pop-up
  // macro to `popup`, owned by `editor`, whose click runs `handler` with the item.
  void preberiMacroTipke(QWidget* editor, QMenu* popup, const std::function<void(QAction*)>& handler);

  // The unattended run (its logic lives in runner.cpp).
  bool mayClose = false;      // the list ran to its end: the program may close
  bool importFailed = false;  // the last IMPORT of the list failed
  bool stopList = false;      // the user chose to stop the list
  bool runFailed = false;     // an unattended refresh failed: the program ends with exit status 1
  nuvo::shell::CommandRunner& runner();
  void IzvediCeloSkripto();
  // One installation's list in a multi-installation run; always "S".
  QString IzvediCeloSkriptoVecUserjev();
  // `path` becomes the result-file name of `prefix` and `directory` its directory.
  void BuildResultFileName(QString& path, QString& directory, const QString& prefix);
  // A value of KADE.PR107PAR by its name; empty when it cannot be read.
  QString GetParam107(const QString& name);
  // The report header of the result files into meVhod.
  void userVhodniParametri();
  // Whether a script of the comma list (each name followed by ",") has been run.
  bool CheckLastVersion(const QString& list);
  // Records an installation's last script status with the server's date, and commits.
  void shraniMUStatus(int userIndex, const QString& status);
  void tiCloseFormTimer();
  // The main window was closed or the program is ending.
  bool programEnding() const { return ended_; }
  // Files, stored passwords and saved logon data for the start-up words and CONNECT lines.
  static StartupIo startupIo();

  void FileDirName(const QString& path, QString& fileName, QString& directory) const;
  QString zamenjave(const QString& text, const QString& mode) const;
  QString postaviLiveQuery(QObject* sender, const QString& statement);
  // Runs one statement on the main session; its error is shown and gives false.
  bool execDyn(const QString& statement);
  // Yes/No question; true for Yes.
  bool sporocilo(const QString& text);
  QString getClipboard() const;
  QString prepareInsertTemplate(bool newline, const QString& text) const;
  QString brezNL(const QString& text) const;
  QString pretvoriDescriptor() const;
  // Sets the session's NLS_DATE_FORMAT and the program's own date format to match.
  bool changeDateFormat(nuvo::db::Session& session, const QString& format);
  // True when an open worksheet reports an open transaction on the main session's database.
  bool SessionInTransaction() const;
  QString f_venPodpicje(const QString& text) const;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createMenus();
  void createToolbar();
  // Runs one logon dialog on the main session; false when the user chose to end the program.
  bool runConnectDialog();
  // Opens "select count(*) ..." style statements; the first column of the first row, 0 on error.
  int countOf(const QStringList& sql, const QList<std::pair<QString, QString>>& binds);

  std::unique_ptr<nuvo::shell::CommandRunner> runner_;
  bool activating_ = false;
  bool ended_ = false;  // the window was closed: the program ends
};

// The one main window of the run (nullptr before it is created and after it is destroyed).
TfmMain* fmMain();
