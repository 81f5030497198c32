#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace nuvo::db {
class Query;
class Session;
}  // namespace nuvo::db

// The server version as the logon finds it: the major version, the character after it that the
// callers call the second part, and the whole version text.
struct OracleVersion {
  QString major;
  QString dod;
  QString all;
};
// From a version text such as "8.1" or "19.3.0.0.0": the digits before the first "." (the text's
// first character when there are none), the third character as the second part.
OracleVersion versionFromText(const QString& text);
// From a V$VERSION banner: the release number after "RELEASE "; false when the banner has none.
bool versionFromBanner(const QString& banner, OracleVersion& version);
// The version when nothing could be read.
OracleVersion defaultOracleVersion();

// The audit-host mode from the counts of remote and local AUD_% tables: "Z", "L" or "N".
QString auditModeFromCounts(int remoteCount, int localCount);

// Users of these schemas log on without the administrator check (any case).
bool isPrivilegedSchema(const QString& user);
// The default owner after a logon with the user name as typed.
QString ownerAfterLogon(const QString& currentOwner, const QString& typedUser);
// The connect alias of a database name: TNSNAMES.INI (section ALIAS) in `aliasDirectory`, the
// file name appended to the directory text as it stands; the name itself when not listed.
QString connectAlias(const QString& aliasDirectory, const QString& database);
// The databases the logon dialog offers: upper case, sorted, each once.
QStringList connectAliases();

// The logon dialog of the main session and of a worksheet's own session.
class TfmConnect : public QDialog {
  Q_OBJECT
 public:
  // The dialog's result when Exit was pressed on the main session: the program ends.
  static constexpr int kExitProgram = 2;

  explicit TfmConnect(QWidget* parent = nullptr);

  nuvo::db::Session* doaOracle = nullptr;
  QWidget* connForm = nullptr;
  bool FSaveLoginData = false;
  QString napakaConn;
  QString nizLogonWaits;  // an unattended run's failed logon, on standard error

  QLabel* laUser;
  QLabel* laPassword;
  QLabel* laDatabase;
  QLineEdit* edUser;
  QLineEdit* edPassword;
  QComboBox* cbDatabases;
  QCheckBox* cbConnect;
  QCheckBox* cbSysdba;
  QPushButton* btConnect;
  QPushButton* btExit;
  QTimer* tiAuto;

  void FormActivate();
  void btConnectClick();
  void btExitClick();
  void tiAutoTimer();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool isMainSession() const;
  // In a run from the command line, says on standard error why the logon window now waits.
  void reportUnattended(const QString& why);
  // The administrator check of KADE.ISEC_USERS; false refuses the logon.
  bool userMayLogOn(const QString& user);
  void setLanguageTexts(bool slovene);
};
