#include "shell/runner.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QtGlobal>

#include "admin/allGrant.h"
#include "admin/checkVer.h"
#include "admin/errors.h"
#include "db/error.h"
#include "platform/appdirs.h"
#include "schema/cmpstru.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "schema/refresh.h"
#include "shell/Main.h"
#include "shell/connect.h"
#include "shell/iKript.h"
#include "shell/sql_catalog.h"
#include "sqlwork/execScr.h"
#include "widgets/message_facade.h"

namespace nuvo::shell {

namespace {

const SqlText kParam107{"runner.GetParam107", {"select val1_107 value from kade.pr107par where attr_007=:name"}};
const SqlText kAuditLinks{
    "runner.auditLinks",
    {"SELECT SUM(NUM) NUM FROM (SELECT COUNT(*) AS NUM FROM DBA_DB_LINKS WHERE owner = 'KADE' AND DB_LINK = "
     "'NUVOAUDT' UNION ALL SELECT COUNT(*) AS NUM FROM kade.audit_params WHERE dblink_n IS NOT NULL)"}};
const SqlText kInstallationRows{"runner.installations",
                                {"select * from NUVO_UTIL.NUVO_INSTALATIONS order by userIndex"}};
// The date is the server's: a client date text would depend on the session's date format.
const SqlText kInstallationStatus{"runner.shraniMUStatus",
                                  {"update nuvo_util.nuvo_instalations",
                                   "set  lastScriptStatus=:status, lastScriptDate=SYSDATE", "where userIndex=:upor"}};
const SqlText kScriptStored{"runner.scriptStored",
                            {"select count(*)  stevilo", "from nuvo_util.nuvo_exs",
                             "where script_name=:skripta and script_owner=:upor"}};
// Whole names of the comma list: "XS12," does not accept the script S12.
const SqlText kLastVersion{"runner.CheckLastVersion",
                           {"select count(*) nasel from",
                            " (select script_name  from nuvo_util.nuvo_exs where script_stat='X' group by script_name) aa",
                            "where instr(','||:dovoljeno,','||script_name||',')>0"}};

const QString kDefaultDirectory = QStringLiteral("a:\\");

// The action words whose whole work is their window (SCRIPT checks its installation first).
const char* const kWindowActions[] = {"GRANT",   "COMPARE", "CHECK_TABLES", "SISTEM", "IZVEDISQL",
                                      "REFRESH", "VERSION", "ERRORS",       "SHOWLOG"};
// Not available for an installation of a hosting database.
const QStringList kSingleInstallationOnly{"COMPARE", "CHECK_TABLES", "SHOWLOG"};

struct Installation {
  int index = 0;
  QString instance, userKade, passKade, userZozuro, passZozuro;
};

bool openScriptWindow(TfmMain& main, const WindowRequest& request) {
  QPointer<TfmScript> window = new TfmScript;
  window->pcExec->setCurrentWidget(window->tabOpenFile);
  window->edSkripta->setText(request.line.p1);
  window->cbAllScripts->setEditText(request.line.p1);
  main.currentScript = request.line.p1;
  window->edDir->setText(request.line.p2);
  window->p_auto = true;
  // Both are reported when they happen: the window may then wait for the user, who must learn why.
  // A script stopped on an error does not fail the run: the user has seen it in its window.
  bool failed = false;
  const QMetaObject::Connection onFailure =
      QObject::connect(window, &TfmScript::unattendedFailed, [&main, &failed](const QString& text) {
        failed = true;
        main.runner().report(text);
      });
  const QMetaObject::Connection onWait = QObject::connect(
      window, &TfmScript::unattendedWaits, [&main](const QString& text) { main.runner().report(text); });
  window->exec();  // the unattended path starts at the window's first activation
  QObject::disconnect(onFailure);
  QObject::disconnect(onWait);
  return !failed;
}

// The status window on the invalid objects of the owner, compiled in up to three passes while any
// remain. A clean owner closes the window; otherwise it stays open (for an installation of a hosting
// database it is closed all the same) and the program does not close itself.
bool openErrorsWindow(TfmMain& main, const WindowRequest& request) {
  QPointer<TfmErrors> window = TfmErrors::openNew();
  bool clean = false;
  try {
    window->edOwner->setText(request.line.p1);
    window->tbInvalidClick();
    for (int pass = 0; pass < 3 && window; ++pass) {
      if (window->quInvalid.recordCount() > 0) window->quInvalid.setCurrentRow(0);
      QCoreApplication::processEvents();
      if (!window || window->quInvalid.recordCount() == 0) break;
      window->tbCompileAllClick();
    }
    clean = window && window->quInvalid.recordCount() == 0;
  } catch (const db::Error& e) {
    main.runner().report(QStringLiteral("ERRORS ") + request.line.p1 + QStringLiteral(": ") + e.message());
  }
  if (window && (clean || request.multiInstallation)) window->close();
  return clean;
}

// The version check of the owner against <p1>.VER: a file that matches closes the window and sets
// VersionOK; differences leave it open with them and are reported, so the run goes on at once.
bool openVersionWindow(TfmMain& main, const WindowRequest& request) {
  QPointer<TfmCheckVersion> window = new TfmCheckVersion;
  window->pFile = request.line.p1 + QStringLiteral(".VER");
  window->pUser = request.line.p2.toUpper();
  window->pObjects = request.line.p3.isEmpty() ? QStringLiteral("ALL") : request.line.p3;
  window->pAuto = true;
  QStringList failures;
  const QMetaObject::Connection failed = QObject::connect(
      window, &TfmCheckVersion::unattendedFailed, [&failures](const QString& text) { failures << text; });
  window->show();  // the comparison runs at the window's first showing
  if (window) QObject::disconnect(failed);
  for (const QString& text : failures) main.runner().report(text);
  return main.VersionOK;
}

// The structure compare of KADE's tables: snapshot into <p2>, compare with the reference <p1> and
// write the DF report, or remove an older one when nothing differs. A failure leaves the window
// open with it, is reported, and keeps the program open; the run goes on at once.
bool openCompareWindow(TfmMain& main, const WindowRequest& request) {
  QPointer<TfmCmpStru> window = new TfmCmpStru;
  window->pAuto = true;
  window->edfSource->setText(request.line.p1);
  window->edfDest->setText(request.line.p2);
  window->pShraniDir = request.resultFile;
  bool failed = false;
  QStringList reports;
  const QMetaObject::Connection reported =
      QObject::connect(window, &TfmCmpStru::unattendedReport, [&](const QString& text, bool failure) {
        reports << text;
        failed = failed || failure;
      });
  window->show();  // the compare runs at the window's first showing
  if (window) QObject::disconnect(reported);
  for (const QString& text : reports) main.runner().report(text);
  return !failed;
}

// Rights on the objects of the owner (p1) for the grantee (p2), granted from the window's timer;
// the window always closes itself. A failed run is reported and the list goes on.
bool openGrantWindow(TfmMain& main, const WindowRequest& request) {
  QPointer<TfmGrantAll> window = new TfmGrantAll;
  window->edFilter->setText(QStringLiteral("%"));
  window->rbGrant->setChecked(true);
  window->edOwner->setText(request.line.p1);
  window->edUporabnik->setText(request.line.p2);
  window->pAuto = true;
  QStringList failures;
  const QMetaObject::Connection failed = QObject::connect(
      window, &TfmGrantAll::unattendedFailed, [&failures](const QString& text) { failures << text; });
  window->exec();
  QObject::disconnect(failed);
  for (const QString& text : failures) main.runner().report(text);
  return true;
}

// The refresh window processes the refresh file while it is shown; the run goes on when every
// table of the file has been refreshed. Failed tables and what is rolled back at the end are
// reported; the window stays open with them. A failed table makes the program's end a failure.
bool openRefreshWindow(TfmMain& main, const WindowRequest& request) {
  QPointer<TfmRefresh> window = new TfmRefresh;
  window->runSkripta = request.line.p1;
  QEventLoop loop;
  QObject::connect(window, &TfmRefresh::unattendedReport, &main, [&main](const QString& text, bool failed) {
    main.runner().report(text);
    if (failed) main.runFailed = true;
  });
  QObject::connect(window, &TfmRefresh::fileRunFinished, &loop, &QEventLoop::quit);
  QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
  window->show();  // the file is processed once the window shows
  loop.exec();
  return true;
}

}  // namespace

void writeInstallationStatus(db::Session& session, int userIndex, const QString& status) {
  db::Query query(&session);
  query.setSql(kInstallationStatus);
  query.declareVariable("status", db::DataType::String);
  query.declareVariable("upor", db::DataType::Integer);
  query.setVariable("status", status);
  query.setVariable("upor", userIndex);
  query.execute();
  session.commit();
}

ResultFileName resultFileName(const QString& path, const QString& prefix, const QString& organisation) {
  const int separator = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
  ResultFileName result;
  result.directory = separator < 0 ? kDefaultDirectory : path.left(separator + 1);
  result.name = result.directory + prefix + organisation;
  if (prefix == u"DF") result.name += QStringLiteral("!.txt");
  return result;
}

QString backupHistoryFileName(const QString& siName, const QString& directory) {
  return directory + QStringLiteral("SH") + siName.mid(directory.size() + 2, 20);
}

QStringList reportHeader(const QString& organisation, const QString& address, const QString& city,
                         const QString& phone) {
  const QString stars(48, u'*');
  return {stars, organisation.toUpper(), address + u',' + city, phone, stars, QString(), QString(), QString()};
}

std::map<QString, WindowOpener> defaultWindowOpeners() {
  return {{QStringLiteral("SCRIPT"), &openScriptWindow},
          {QStringLiteral("ERRORS"), &openErrorsWindow},
          {QStringLiteral("VERSION"), &openVersionWindow},
          {QStringLiteral("COMPARE"), &openCompareWindow},
          {QStringLiteral("GRANT"), &openGrantWindow},
          {QStringLiteral("REFRESH"), &openRefreshWindow}};
}

CommandRunner::CommandRunner(TfmMain& main)
    : openers(defaultWindowOpeners()),
      terminate([&main] {
        main.close();
        QCoreApplication::exit(main.runFailed ? 1 : 0);
      }),
      m_(main) {
  actions_ = {{QStringLiteral("CONNECT"), &CommandRunner::connectAction},
              {QStringLiteral("OWNER"), &CommandRunner::ownerAction},
              {QStringLiteral("SCRIPT"), &CommandRunner::scriptAction},
              {QStringLiteral("LASTVERSIONCHECK"), &CommandRunner::lastVersionCheckAction},
              {QStringLiteral("IMPORT"), &CommandRunner::importAction},
              {QStringLiteral("LARGERB"), &CommandRunner::largeRBAction},
              {QStringLiteral("RESTRICTEDLOGIN"), &CommandRunner::restrictedLoginAction}};
  for (const char* word : kWindowActions) actions_.emplace(QString::fromLatin1(word), &CommandRunner::windowAction);
}

QStringList CommandRunner::actionWords() const {
  QStringList words;
  for (const auto& [word, action] : actions_) words << word;
  return words;
}

void CommandRunner::report(const QString& text) {
  qWarning("%s", qUtf8Printable(text));
  log << text;
}

QStringList CommandRunner::actionList() {
  if (m_.runParamType.startsWith(u'@')) {
    // A command file that cannot be read gives no list, so the program stays open.
    QStringList lines;
    const QString file = m_.runParamType.mid(1, 50);
    if (!loadTextLines(file, lines)) report(QStringLiteral("Command file %1 cannot be read").arg(file));
    return lines;
  }
  return {QStringList{m_.runParamType, m_.runParamValue1, m_.runParamValue2, m_.runParamValue3}.join(u' ')};
}

void CommandRunner::runNormal() {
  multi_ = false;
  QStringList instances;
  bool instancesLeftOut = false;
  if (!m_.runParamType.isEmpty()) {
    loadTextLines(nuvo::homeDirectory() + QStringLiteral("/instance.txt"), instances);
    // Databases beyond the limit are not run: the program says so and stays open.
    instancesLeftOut = instances.size() > kMaxInstances;
    if (instancesLeftOut)
      report(QStringLiteral("instance.txt: only the first %1 of %2 databases are used")
                 .arg(kMaxInstances)
                 .arg(instances.size()));
    instances = instances.mid(0, kMaxInstances);
  }
  const int passes = instances.isEmpty() ? 1 : int(instances.size());
  for (int pass = 0; pass < passes; ++pass) {
    if (!instances.isEmpty()) {
      m_.connServer = instances[pass].trimmed();
      m_.osOracle.logOff();
    }
    if (m_.currMinimizedMain == u"D") m_.SetToolbarStrip(true);
    if (!m_.osOracle.connected()) m_.tbConnectClick();
    if (m_.programEnding()) return;
    m_.mayClose = false;
    m_.importFailed = false;
    skipped_ = false;
    if (!m_.osOracle.connected() || !m_.declRunParam) continue;
    if (m_.runParamType.isEmpty()) return;
    const QStringList lines = actionList();
    m_.mayClose = !lines.isEmpty();
    runList(lines);
    if (m_.programEnding()) return;
    m_.giveBackLargeRB();
    if (m_.mayClose && !m_.importFailed && !skipped_ && !instancesLeftOut && pass == passes - 1)
      m_.tiCloseForm->start();
  }
}

void CommandRunner::runInstallationList() {
  multi_ = true;
  runList(actionList());
  multi_ = false;
  if (!m_.programEnding()) m_.giveBackLargeRB();
}

void CommandRunner::runList(const QStringList& lines) {
  m_.stopList = false;
  int lineNumber = 0;
  for (const QString& text : lines) {
    ++lineNumber;
    // The blank lets a line that ends in a schema name be renamed too.
    const ParsedLine line = ParseCommandLine(multi_ ? m_.zamenjave(text + u' ', QStringLiteral("UKAZ")) : text);
    if (!carryOut(line, lineNumber) || m_.stopList) break;
  }
}

bool CommandRunner::carryOut(const ParsedLine& line, int lineNumber) {
  const auto action = actions_.find(line.action);
  if (action == actions_.end()) return true;
  return (this->*action->second)(line, lineNumber);
}

bool CommandRunner::auditLinkComplete() {
  try {
    db::Query query(&m_.osOracle);
    query.setSql(kAuditLinks);
    query.execute();
    return !query.eof() && query.field("NUM").asString() == u"2";
  } catch (const db::Error&) {
    return false;
  }
}

bool CommandRunner::connectAction(const ParsedLine& line, int lineNumber) {
  // The first CONNECT of a list is the start-up logon; the runner's begin on the third line.
  if (lineNumber < 3) return true;
  if (multi_) {
    if (!line.p1.isEmpty()) m_.connUser = line.p1;
    logOnInstallationUser();
  } else {
    if (line.p3 == u"NUVOAUDT" && m_.osOracle.connected()) {
      if (!auditLinkComplete()) {
        terminate();
        return false;
      }
      m_.connServer = line.p3;
    }
    if (!line.p1.isEmpty()) m_.connUser = line.p1;
    // Only password codes and the stored passwords count here; a plain password is not used, and
    // the user learns that rather than meeting a logon with another password.
    const QString password = line.p2.startsWith(u'A') && line.p2.size() < 3 ? line.p2.mid(1) : line.p2;
    if (!password.isEmpty() && !TKript::isPasswordCode(password))
      report(QStringLiteral("CONNECT on line %1: the password given is not used; %2 logs on with the "
                            "password held for it")
                 .arg(lineNumber)
                 .arg(m_.connUser));
    applyConnectPassword(m_, line.p2, TfmMain::startupIo(), false);
  }
  m_.pAutoG = true;
  m_.tbConnectClick();
  return !m_.programEnding();
}

void CommandRunner::logOnInstallationUser() {
  // A CONNECT line has been renamed already: the installation's own schema names count as well.
  if (m_.connUser == u"KADE" || m_.connUser == m_.currUserAsKade) {
    m_.connUser = m_.currUserAsKade;
    m_.connPassword = m_.currPassAsKade;
  } else if (m_.connUser == u"ZOZURO" || m_.connUser == m_.currUserAsZozuro) {
    m_.connUser = m_.currUserAsZozuro;
    m_.connPassword = m_.currPassAsZozuro;
  }
}

bool CommandRunner::ownerAction(const ParsedLine& line, int) {
  m_.currOwner = line.p1;
  return true;
}

bool CommandRunner::scriptStoredForUser(const QString& script) {
  try {
    db::Query query(&m_.osOracle);
    query.setSql(kScriptStored);
    query.declareVariable("skripta", db::DataType::String);
    query.declareVariable("upor", db::DataType::String);
    query.setVariable("skripta", script);
    query.setVariable("upor", m_.connUser);
    query.execute();
    return !query.eof() && query.field("STEVILO").asInteger() > 0;
  } catch (const db::Error& error) {
    // Not run, and the installation's status says so.
    report(QStringLiteral("SCRIPT ") + script + QStringLiteral(": ") + error.message());
    m_.pExecuteScriptNapaka = true;
    return true;
  }
}

bool CommandRunner::scriptAction(const ParsedLine& line, int lineNumber) {
  // An installation runs a script only once.
  if (multi_ && scriptStoredForUser(line.p1)) return true;
  return windowAction(line, lineNumber);
}

bool CommandRunner::windowAction(const ParsedLine& line, int) {
  WindowRequest request{line, {}, {}, multi_};
  ParsedLine& p = request.line;
  if (multi_ && kSingleInstallationOnly.contains(p.action)) return true;
  if (p.action == u"COMPARE") {
    m_.userVhodniParametri();
    QString directory;
    request.resultFile = p.p3.isEmpty() ? QStringLiteral("a:\\razlike.txt") : p.p3;
    m_.BuildResultFileName(request.resultFile, directory, QStringLiteral("DF"));
  } else if (p.action == u"SISTEM") {
    QString directory;
    request.resultFile = p.p1.isEmpty() ? QStringLiteral("a:\\sistem.txt") : p.p1;
    m_.BuildResultFileName(request.resultFile, directory, QStringLiteral("SI"));
    request.historyFile = backupHistoryFileName(request.resultFile, directory);
  } else if (p.action == u"IZVEDISQL") {
    QString directory;
    request.resultFile = p.p1;
    m_.BuildResultFileName(request.resultFile, directory, QStringLiteral("QU"));
    request.resultFile += QStringLiteral(".txt");
  } else if (p.action == u"GRANT" && multi_ && p.p2 == u"DUD") {
    p.p2 = u'G' + p.p1.mid(1, 9);
  } else if (p.action == u"ERRORS") {
    if (p.p1.isEmpty() || p.p1 == u"AUDIT") p.p1 = m_.connUser;
    if (multi_ && (p.p1 == u"KADE" || p.p1 == u"ZOZURO"))
      p.p1 = p.p1 == u"KADE" ? m_.currUserAsKade : m_.currUserAsZozuro;
  }

  if (p.action == u"VERSION") {
    m_.VersionOK = false;
    if (!openWindow(request)) return true;  // skipped
    // A differing version, or a checked file that cannot become the copy, keeps the program open.
    const bool replaced = m_.VersionOK && replaceVersionCopy(p.p1);
    if (!replaced && !multi_) m_.mayClose = false;
    return true;
  }
  if (!openWindow(request).value_or(true) && !multi_) m_.mayClose = false;
  return true;
}

std::optional<bool> CommandRunner::openWindow(const WindowRequest& request) {
  const auto opener = openers.find(request.line.action);
  if (opener == openers.end() || !opener->second) {
    report(QStringLiteral("Action %1 skipped: its window is not part of this program yet").arg(request.line.action));
    skipped_ = true;
    return std::nullopt;
  }
  return opener->second(m_, request);
}

bool CommandRunner::replaceVersionCopy(const QString& versionFile) {
  // Each name on its own: the files may be named in any case.
  const QString version = resolvePath(versionFile + QStringLiteral(".VER"));
  const QString copy = resolvePath(versionFile + QStringLiteral(".COP"));
  // The old copy goes only when there is a version file to take its place.
  if (QFile::exists(version)) {
    QFile::remove(copy);
    if (QFile::rename(version, copy)) return true;
  }
  report(QStringLiteral("VERSION: cannot rename %1 to %2").arg(version, copy));
  return false;
}

bool CommandRunner::writeErrorFile(const QString& line) {
  const QString path = resolvePath(QString::fromLatin1(kErrorFile));
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
      file.write((line + QStringLiteral("\r\n")).toUtf8()) >= 0 && file.flush())
    return true;
  const QString text = QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + file.errorString();
  report(text);
  showMessage(text, MessageKind::Error, &m_);
  return false;
}

bool CommandRunner::lastVersionCheckAction(const ParsedLine& line, int) {
  if (m_.CheckLastVersion(line.p1 + u',')) return true;
  const bool written = writeErrorFile(line.p1);
  if (!multi_) {
    m_.importFailed = false;
    // Without its error file the failure leaves no trace, so the program stays open.
    m_.mayClose = written;
  }
  return false;
}

bool CommandRunner::importAction(const ParsedLine& line, int) {
  const QString command = m_.currLoader + u' ' + line.p1;
  int exitCode = -1;
  try {
    exitCode = RunProcessAndWait(command);
  } catch (const PlatformError& error) {
    report(QString::fromUtf8(error.what()));
  }
  if (!multi_) m_.importFailed = exitCode != 0;
  if (exitCode != 0) showMessage(QStringLiteral("NAPAČEN LOAD UKAZ: ") + command, MessageKind::Error, &m_);
  return true;
}

bool CommandRunner::largeRBAction(const ParsedLine& line, int) {
  if (!line.p2.isEmpty()) m_.currLargeRBName = line.p2;
  const bool off = line.p1 == u"OFF";
  m_.command(QStringLiteral("mmActivateLargeRB"))->setChecked(off);
  m_.currLargeRB = off ? QStringLiteral("N") : QStringLiteral("D");
  m_.mmActivateLargeRBClick();
  return true;
}

bool CommandRunner::restrictedLoginAction(const ParsedLine& line, int) {
  // SetRestrictedSession sends only ENABLE and DISABLE; anything else, and a failure, is shown there.
  // A failed ENABLE still asks: the user decides whether the list may go on among other sessions.
  m_.SetRestrictedSession(line.p1);
  if (line.p1 != u"ENABLE" || line.p2 != u"STOP") return true;
  for (;;) {
    QString sessions;
    m_.ListUnrestrictedSessions(QStringLiteral("K"), sessions);
    if (sessions.isEmpty()) return true;
    if (askYesNo(m_.nizRestricted + QStringLiteral("\r\n\r\n") + sessions, &m_)) {
      m_.SetRestrictedSession(QStringLiteral("DISABLE"));
      m_.stopList = true;
      return true;
    }
  }
}

void CommandRunner::runMultiInstallation() {
  QList<Installation> installations;
  try {
    db::Query query(&m_.osOracle);
    query.setSql(kInstallationRows);
    int rows = 0;
    for (query.execute(); !query.eof(); query.next()) {
      if (++rows > maxInstallations) continue;
      installations << Installation{int(query.field("USERINDEX").asInteger()), query.field("INSTANCE").asString(),
                                    query.field("USER_KADE").asString(),       query.field("PASS_KADE").asString(),
                                    query.field("USER_ZOZURO").asString(),     query.field("PASS_ZOZURO").asString()};
    }
    if (rows > maxInstallations)
      report(QStringLiteral("Installations: only the first %1 of %2 are run").arg(maxInstallations).arg(rows));
  } catch (const db::Error& error) {
    report(QStringLiteral("Installations: ") + error.message());
    return;
  }

  const QString user = m_.connUser, password = m_.connPassword, server = m_.connServer;
  const bool autoLogon = m_.pAutoG;
  const auto restore = [&] {
    m_.connUser = user;
    m_.connPassword = password;
    m_.connServer = server;
    m_.pAutoG = autoLogon;
  };
  for (const Installation& row : installations) {
    m_.currUserIndex = row.index;
    m_.currInstanceAs = row.instance;
    m_.currUserAsKade = row.userKade;
    m_.currPassAsKade = row.passKade;
    m_.currUserAsZozuro = row.userZozuro;
    m_.currPassAsZozuro = row.passZozuro;
    m_.connServer = row.instance;
    logOnInstallationUser();
    // An installation that refuses the logon would leave the logon dialog waiting for a person, and
    // closing it would end the whole run: it is tried first, and a refusal fails this installation.
    QString refusal;
    try {
      db::Session trial;
      trial.logOn(m_.connUser, m_.connPassword, connectAlias(m_.currVELMORADir, m_.connServer));
    } catch (const db::Error& error) {
      refusal = error.message();
    }
    if (refusal.isEmpty()) {
      m_.pAutoG = true;
      m_.tbConnectClick();
      if (m_.programEnding()) return;
    }
    if (refusal.isEmpty() && m_.osOracle.connected()) {
      m_.pExecuteScriptNapaka = false;
      m_.IzvediCeloSkriptoVecUserjev();
      if (m_.programEnding()) return;
      m_.shraniMUStatus(row.index, m_.pExecuteScriptNapaka ? QStringLiteral("E") : QStringLiteral("X"));
    } else {
      // Its older status would otherwise stand as this run's; the status is written through a
      // session of the original logon, which read the installations.
      report(QStringLiteral("Installation %1 (%2 on %3): the logon failed, nothing was run: %4")
                 .arg(row.index)
                 .arg(m_.connUser, row.instance, refusal));
      try {
        db::Session status;
        status.logOn(user, password, connectAlias(m_.currVELMORADir, server));
        writeInstallationStatus(status, row.index, QStringLiteral("E"));
      } catch (const db::Error& error) {
        report(QStringLiteral("Status of installation %1: ").arg(row.index) + error.message());
      }
    }
    restore();
  }

  // The main session goes back to the logon the captions name.
  if (installations.isEmpty()) return;
  m_.pAutoG = true;
  m_.tbConnectClick();
  if (!m_.programEnding()) m_.pAutoG = autoLogon;
}

}  // namespace nuvo::shell

// ---------------------------------------------------------------------------------------------
// The runner's members of the main window

nuvo::shell::CommandRunner& TfmMain::runner() {
  if (!runner_) runner_ = std::make_unique<nuvo::shell::CommandRunner>(*this);
  return *runner_;
}

void TfmMain::IzvediCeloSkripto() { runner().runNormal(); }

QString TfmMain::IzvediCeloSkriptoVecUserjev() {
  runner().runInstallationList();
  return QStringLiteral("S");
}

void TfmMain::BuildResultFileName(QString& path, QString& directory, const QString& prefix) {
  const nuvo::shell::ResultFileName result =
      nuvo::shell::resultFileName(path, prefix, GetParam107(QStringLiteral("aiOrganizationBPI")));
  path = result.name;
  directory = result.directory;
}

QString TfmMain::GetParam107(const QString& name) {
  try {
    nuvo::db::Query query(&osOracle);
    query.setSql(nuvo::shell::kParam107);
    query.declareVariable("name", nuvo::db::DataType::String);
    query.setVariable("name", name);
    query.execute();
    return query.eof() ? QString() : query.field("VALUE").asString();
  } catch (const nuvo::db::Error&) {
    return {};
  }
}

void TfmMain::userVhodniParametri() {
  meVhod->setPlainText(nuvo::shell::reportHeader(GetParam107(QStringLiteral("aiOrganization")),
                                                 GetParam107(QStringLiteral("aiAddress")),
                                                 GetParam107(QStringLiteral("aiCity")),
                                                 GetParam107(QStringLiteral("aiPhone")))
                           .join(u'\n'));
}

bool TfmMain::CheckLastVersion(const QString& list) {
  try {
    nuvo::db::Query query(&osOracle);
    query.setSql(nuvo::shell::kLastVersion);
    query.declareVariable("dovoljeno", nuvo::db::DataType::String);
    query.setVariable("dovoljeno", list);
    query.execute();
    return !query.eof() && query.field("NASEL").asInteger() > 0;
  } catch (const nuvo::db::Error& error) {
    runner().report(QStringLiteral("LASTVERSIONCHECK: ") + error.message());
    return false;
  }
}

void TfmMain::shraniMUStatus(int userIndex, const QString& status) {
  try {
    nuvo::shell::writeInstallationStatus(osOracle, userIndex, status);
  } catch (const nuvo::db::Error& error) {
    runner().report(QStringLiteral("Status of installation %1: ").arg(userIndex) + error.message());
  }
}

void TfmMain::tiCloseFormTimer() {
  tiCloseForm->stop();
  close();
}
