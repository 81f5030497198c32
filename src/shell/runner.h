#pragma once
// The unattended command runner: the action list of a run (one line from the command line, or a
// command file), repeated per database of instance.txt or per installation of a hosting database.

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>

#include "shell/command_line.h"

class TfmMain;
namespace nuvo::db {
class Session;
}

namespace nuvo::shell {

// A result file of an action: `directory` is the given path up to and including its last "/" or
// "\" ("a:\" when it has none); `name` is the directory, the prefix and the organisation code, and
// for the prefix "DF" also "!.txt".
struct ResultFileName {
  QString name;
  QString directory;
};
ResultFileName resultFileName(const QString& path, const QString& prefix, const QString& organisation);

// The backup-history copy of the system report: the SI name with its prefix (the two characters
// after the directory) replaced by "SH", keeping at most 20 characters after the prefix.
QString backupHistoryFileName(const QString& siName, const QString& directory);

// The report header of the result files: a line of stars, the organisation upper-cased, address
// and city, phone, a line of stars and three empty lines.
QStringList reportHeader(const QString& organisation, const QString& address, const QString& city,
                         const QString& phone);

// Records an installation's last script status with the server's date, and commits the session.
// Throws db::Error.
void writeInstallationStatus(db::Session& session, int userIndex, const QString& status);

// What the window of an action gets from the runner.
struct WindowRequest {
  ParsedLine line;
  QString resultFile;   // COMPARE: the DF name; SISTEM: the SI name; IZVEDISQL: the QU name + ".txt"
  QString historyFile;  // SISTEM: the SH name
  bool multiInstallation = false;
};

// Opens the window of an action with the request's fields and returns when the run may go on.
// False: the run must not close itself afterwards (invalid objects remain after ERRORS).
using WindowOpener = std::function<bool(TfmMain&, const WindowRequest&)>;

// The window actions that exist in this build, by action word.
std::map<QString, WindowOpener> defaultWindowOpeners();

// The error file of a failed last-version check.
inline constexpr const char* kErrorFile = "c:\\prenos\\nuvo_sql.err";
// At most this many databases of instance.txt and installations are used.
inline constexpr int kMaxInstances = 20;
inline constexpr int kMaxInstallations = 500;

class CommandRunner {
 public:
  explicit CommandRunner(TfmMain& main);

  // The window of each action word; a window action without an opener is skipped, reported on
  // standard error and in `log`, and keeps the run from closing the program.
  std::map<QString, WindowOpener> openers;
  // Ends the program at once (a CONNECT to the audit database whose link setup is incomplete).
  std::function<void()> terminate;
  // The run's reports (skipped actions, failed look-ups and writes), in order.
  QStringList log;
  // Installations beyond this many are not run (and reported).
  int maxInstallations = kMaxInstallations;

  // The normal run: the list once, or once per database of instance.txt; starts tiCloseForm when
  // the last list ended well.
  void runNormal();
  // Every installation of NUVO_UTIL.NUVO_INSTALATIONS in turn, then back to the original logon.
  void runMultiInstallation();
  // One installation's list (the session is logged on to it).
  void runInstallationList();
  // A line on standard error and in `log`.
  void report(const QString& text);
  // The action words the runner carries out, in alphabetical order.
  QStringList actionWords() const;

 private:
  using Action = bool (CommandRunner::*)(const ParsedLine& line, int lineNumber);

  // The lines of the command file, or the one line of the parameters.
  QStringList actionList();
  // Carries out the list; in an installation's list each line is renamed for it first.
  void runList(const QStringList& lines);
  // Each returns false when the list must end here.
  bool carryOut(const ParsedLine& line, int lineNumber);
  bool connectAction(const ParsedLine& line, int lineNumber);
  bool ownerAction(const ParsedLine& line, int lineNumber);
  bool scriptAction(const ParsedLine& line, int lineNumber);
  bool lastVersionCheckAction(const ParsedLine& line, int lineNumber);
  bool importAction(const ParsedLine& line, int lineNumber);
  bool largeRBAction(const ParsedLine& line, int lineNumber);
  bool restrictedLoginAction(const ParsedLine& line, int lineNumber);
  bool windowAction(const ParsedLine& line, int lineNumber);

  // Opens the window of the request's action and gives the opener's answer; nothing when the
  // action has no window (the skip is reported).
  std::optional<bool> openWindow(const WindowRequest& request);
  // The audit link of KADE and the link name of the audit parameters are both set up.
  bool auditLinkComplete();
  // The connected user has stored the script already; a failed look-up counts as stored and marks
  // the installation failed.
  bool scriptStoredForUser(const QString& script);
  // Rewrites the error file with one line (its directory is created when missing); a failure is
  // reported and shown, and gives false.
  bool writeErrorFile(const QString& line);
  // The checked version file <name>.VER becomes <name>.COP; false (reported) when it cannot.
  bool replaceVersionCopy(const QString& versionFile);
  // KADE or ZOZURO (or the installation's own names of them) become the installation's schema
  // user with its password.
  void logOnInstallationUser();

  TfmMain& m_;
  std::map<QString, Action> actions_;
  bool multi_ = false;
  bool skipped_ = false;
};

}  // namespace nuvo::shell
