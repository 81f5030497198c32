#pragma once

#include <QMainWindow>
#include <QPointer>

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

  bool activating_ = false;
  bool ended_ = false;  // the window was closed: the program ends
};

// The one main window of the run (nullptr before it is created and after it is destroyed).
TfmMain* fmMain();
