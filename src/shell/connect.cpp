#include "shell/connect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "db/default_driver.h"
#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "platform/appdirs.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "shell/Main.h"
#include "shell/iKript.h"
#include "shell/runner.h"
#include "shell/sql_catalog.h"
#include "widgets/message_facade.h"

namespace {

const QStringList kPrivilegedSchemas = {
    "SYS",  "SYSTEM", "KADE",    "ZOZURO",  "NUVO_SERVIS", "NUVO_UTIL", "NUVO_AUDIT", "BLOB",
    "NUVO_ARHIV", "NUVO_DW", "NUVO_REP", "NUVO_WEB", "NUVO_MOBI", "NUVO_INT", "NUVO_TEST"};

const QString kCrLf2 = QStringLiteral("\r\n\r\n");

// The logon's administrator check: the application user row of the logged-on user.
const nuvo::SqlText kQryUsers{
    "connect.qryUsers",
    {"select ROWID,USER__ID, USERNAME, USERPSWD, USERDEF1, USERDEF2, USERLACC, USERACCC, "
     "USERENAB,USERADMI, KADE.PCKNUVOLOG.USERISVALID(USERDEF1) as UserIsValid ",
     "from KADE.ISEC_USERS ", "where UPPER(USERNAME)=UPPER(:USERNAME)"}};

}  // namespace

OracleVersion versionFromText(const QString& text) {
  qsizetype digits = 0;
  while (digits < text.size() && text[digits] != u'.' && text[digits].isDigit()) ++digits;
  return {digits > 0 ? text.left(digits) : text.left(1), text.mid(2, 1), text};
}

bool versionFromBanner(const QString& banner, OracleVersion& version) {
  const QString upper = banner.toUpper();
  const qsizetype p = upper.indexOf(u"RELEASE ");
  if (p < 0) return false;
  QString release = upper.mid(p + 8, 100);
  while (release.startsWith(u' ')) release.remove(0, 1);
  version.all = release.section(u' ', 0, 0);
  qsizetype c = version.all.indexOf(u'.') + 1;  // 1-based position of the first "."
  if (c == 0 || c > 3) c = 2;
  version.major = version.all.left(c - 1);
  version.dod = version.all.mid(2, 1);
  return true;
}

OracleVersion defaultOracleVersion() { return {"8", "0", "8.xxx"}; }

QString auditModeFromCounts(int remoteCount, int localCount) {
  if (remoteCount > 5) return QStringLiteral("Z");
  return localCount > 5 ? QStringLiteral("L") : QStringLiteral("N");
}

bool isPrivilegedSchema(const QString& user) {
  return kPrivilegedSchemas.contains(user, Qt::CaseInsensitive);
}

QString ownerAfterLogon(const QString& currentOwner, const QString& typedUser) {
  if (currentOwner.isEmpty()) return typedUser;
  if (QStringLiteral("KADE,ZOZURO,NUVO_UTIL,").contains(typedUser + u',', Qt::CaseSensitive))
    return typedUser;
  return currentOwner;
}

QString connectAlias(const QString& aliasDirectory, const QString& database) {
  const nuvo::IniFile tnsnames(nuvo::resolvePath(aliasDirectory + QStringLiteral("TNSNAMES.INI")));
  return tnsnames.readString(QStringLiteral("ALIAS"), database, database);
}

QStringList connectAliases() {
  return nuvo::db::defaultDriver().aliases();
}

TfmConnect::TfmConnect(QWidget* parent)
    : QDialog(parent),
      laUser(new QLabel(this)),
      laPassword(new QLabel(this)),
      laDatabase(new QLabel(this)),
      edUser(new QLineEdit(this)),
      edPassword(new QLineEdit(this)),
      cbDatabases(new QComboBox(this)),
      cbConnect(new QCheckBox(this)),
      cbSysdba(new QCheckBox(QStringLiteral("Sysdba"), this)),
      btConnect(new QPushButton(this)),
      btExit(new QPushButton(this)),
      tiAuto(new QTimer(this)) {
  setObjectName("fmConnect");
  setWindowTitle(QStringLiteral("Connect"));
  setAttribute(Qt::WA_DeleteOnClose);
  const std::pair<QObject*, const char*> names[] = {
      {laUser, "laUser"},         {laPassword, "laPassword"}, {laDatabase, "laDatabase"},
      {edUser, "edUser"},         {edPassword, "edPassword"}, {cbDatabases, "cbDatabases"},
      {cbConnect, "cbConnect"},   {cbSysdba, "cbSysdba"},     {btConnect, "btConnect"},
      {btExit, "btExit"},         {tiAuto, "tiAuto"}};
  for (const auto& [object, name] : names) object->setObjectName(name);

  edPassword->setEchoMode(QLineEdit::Password);
  cbDatabases->setEditable(false);
  btConnect->setDefault(true);
  tiAuto->setInterval(1000);
  tiAuto->setSingleShot(false);

  auto* form = new QFormLayout;
  form->addRow(laUser, edUser);
  form->addRow(laPassword, edPassword);
  form->addRow(laDatabase, cbDatabases);
  auto* checks = new QHBoxLayout;
  checks->addWidget(cbConnect);
  checks->addWidget(cbSysdba);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btConnect);
  buttons->addWidget(btExit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(checks);
  layout->addLayout(buttons);

  connect(btConnect, &QPushButton::clicked, this, &TfmConnect::btConnectClick);
  connect(btExit, &QPushButton::clicked, this, &TfmConnect::btExitClick);
  connect(tiAuto, &QTimer::timeout, this, &TfmConnect::tiAutoTimer);

  setLanguageTexts(fmMain() && fmMain()->slovene());
  FSaveLoginData = false;
}

void TfmConnect::setLanguageTexts(bool slovene) {
  napakaConn = slovene ? QStringLiteral("NEDOVOLJEN DOSTOP ") : QStringLiteral("ACCESS DENIED ");
  nizLogonWaits = slovene ? QStringLiteral("PRIJAVA %1 V BAZO %2 NI USPELA: %3; OKNO ZA PRIJAVO ČAKA NA UPORABNIKA")
                          : QStringLiteral("LOGON OF %1 TO %2 FAILED: %3; THE LOGON WINDOW WAITS FOR THE USER");
  cbConnect->setText(slovene ? QStringLiteral("Shrani:") : QStringLiteral("Save "));
  laUser->setText(slovene ? QStringLiteral("Uporabnik:") : QStringLiteral("User:"));
  laPassword->setText(slovene ? QStringLiteral("Geslo:") : QStringLiteral("Password:"));
  laDatabase->setText(slovene ? QStringLiteral("Baza:") : QStringLiteral("Database:"));
  btConnect->setText(slovene ? QStringLiteral("Prijava") : QStringLiteral("&Connect"));
  btExit->setText(slovene ? QStringLiteral("Izhod") : QStringLiteral("&Exit"));
}

void TfmConnect::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TfmConnect::FormActivate() {
  TfmMain* main = fmMain();
  if (!main) return;
  edUser->setText(main->connUser);
  edPassword->setText(main->connUser.toUpper() == u"NUVO_UTIL" ? main->connPasswordUtil
                                                                : main->connPassword);
  cbDatabases->clear();
  cbDatabases->addItems(connectAliases());
  cbDatabases->setCurrentIndex(cbDatabases->count() > 0 ? 0 : -1);
  if (!main->connServer.isEmpty())
    cbDatabases->setCurrentIndex(cbDatabases->findText(main->connServer, Qt::MatchFixedString));
  if (!edUser->text().isEmpty()) edPassword->setFocus();
}

bool TfmConnect::isMainSession() const { return fmMain() && doaOracle == &fmMain()->osOracle; }

bool TfmConnect::userMayLogOn(const QString& user) {
  nuvo::db::Query qryUsers(doaOracle);
  qryUsers.setSql(kQryUsers);
  qryUsers.declareVariable("USERNAME", nuvo::db::DataType::String);
  qryUsers.setVariable("USERNAME", user);
  try {
    qryUsers.execute();
  } catch (const nuvo::db::Error& error) {
    // Without the table the logon stands; the error is only shown.
    nuvo::showMessage(napakaConn + kCrLf2 + error.message(), nuvo::MessageKind::Error, this);
    return true;
  }
  return !qryUsers.eof() && qryUsers.field("USERADMI").asInteger() != 0;
}

void TfmConnect::reportUnattended(const QString& why) {
  TfmMain* main = fmMain();
  if (main && main->declRunParam && isMainSession())
    main->runner().report(nizLogonWaits.arg(edUser->text(), cbDatabases->currentText(), why.trimmed()));
}

void TfmConnect::btConnectClick() {
  const QString database = cbDatabases->currentText();
  if (edPassword->text().isEmpty() || database.isEmpty()) {
    reportUnattended(QStringLiteral("Prazno geslo ali baza!"));
    nuvo::showMessage(QStringLiteral("Prazno geslo ali baza!"), nuvo::MessageKind::Error, this);
    return;
  }
  TfmMain* main = fmMain();
  const QString alias = connectAlias(main ? main->currVELMORADir : QString(), database);
  try {
    doaOracle->logOn(edUser->text(), edPassword->text(), alias, cbSysdba->isChecked());
  } catch (const nuvo::db::Error& error) {
    // A run from the command line says why it waits before the message box holds it.
    reportUnattended(error.message());
    nuvo::showMessage(napakaConn + kCrLf2 + error.message(), nuvo::MessageKind::Error, this);
    return;
  }
  const QString user = doaOracle->user();
  if (!isPrivilegedSchema(user) && !userMayLogOn(user)) {
    // A refused user does not keep the session.
    doaOracle->logOff();
    reportUnattended(QStringLiteral("Uporabnik ") + user + QStringLiteral(" nima pravice za dostop."));
    nuvo::showMessage(napakaConn + kCrLf2 + QStringLiteral("Uporabnik ") + user +
                          QStringLiteral(" nima pravice za dostop."),
                      nuvo::MessageKind::Error, this);
    return;
  }
  if (main) {
    main->currOwner = ownerAfterLogon(main->currOwner, edUser->text());
    if (cbConnect->isChecked()) {
      nuvo::IniFile ini(nuvo::monitorIniPath());
      ini.writeString("PL/SQL", "CURR_USER", edUser->text());
      ini.writeString("PL/SQL", "CURR_SERVER", database);
      TKript::shraniGeslo(database, edUser->text(), edPassword->text(), main->connUser);
    }
  }
  const QString connection = QStringLiteral("  (") + edUser->text() + u'@' + database + u')';
  if (!isMainSession()) {
    if (connForm) {
      const QVariant caption = connForm->property("sCaption");
      connForm->setWindowTitle((caption.isValid() ? caption.toString() : connForm->windowTitle()) +
                               connection);
    }
  } else {
    main->setWindowTitle(main->mainString + connection);
    main->connUser = edUser->text().toUpper();
    (main->connUser == u"NUVO_UTIL" ? main->connPasswordUtil : main->connPassword) = edPassword->text();
    main->connServer = database;
    if (FSaveLoginData) TKript::SaveLoginData(edUser->text(), edPassword->text(), database);
  }
  accept();
}

void TfmConnect::btExitClick() {
  if (isMainSession())
    done(kExitProgram);
  else
    reject();
}

void TfmConnect::tiAutoTimer() {
  tiAuto->stop();
  btConnectClick();
}
