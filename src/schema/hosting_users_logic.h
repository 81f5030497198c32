#pragma once
// The accounts and rights of hosted installations and the repairs after an installation was
// imported: the schema users of a new installation, the application users of an installation
// (typed, or copied from its own ISEC_USERS), the rights block, the triggers an import failed to
// create (read from its log files) and the special blocks kept beside the program.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "shell/sql_catalog.h"

namespace nuvo::db {
class Session;
}

namespace nuvo::schema {

// The role of an installation: "G" and its KADE user from the second character on (IZAS7: GZAS7).
QString installationRole(const QString& kadeUser);
// The account of application user `user` copied into installation `index`: "I" + index + user,
// upper-cased; empty when that is no valid account name.
QString copiedAccountName(qint64 index, const QString& user);

// The statements that create a schema user of a new installation: the account, its roles and its
// system privileges. Empty when the name or password is empty; `refused` set when either cannot be
// used (the name is no identifier, the password cannot be quoted).
QStringList newInstallationAccountStatements(const QString& user, const QString& password, bool* refused = nullptr);
// The account of an application user, whose password is its name, and its CONNECT grant.
QStringList applicationAccountStatements(const QString& account);

// The rights block on the installation session: stage G creates the role and grants it (and
// IGRUPA) to the two schema users, X grants the user's objects to the role, U grants the role and
// IGRUPA to the installation's application users. Each statement that fails is passed over.
extern const SqlText kRightsBlock;
void runRightsBlock(db::Session& installation, const QString& schemaUser, const QString& stages);

// Adds an application user to installation `index` from what was typed: the name upper-cased, an
// identifier, not yet listed for any installation in any case; its account is made when the
// database has none. Returns the message of a refusal (nothing is stored then), else empty.
QString addInstallationUser(db::Session& main, qint64 index, const QString& typed);
// Drops the account of a listed application user and takes it off the list (committed). Throws
// the drop's error and keeps the row when the account cannot be dropped.
void removeInstallationUser(db::Session& main, qint64 index, const QString& user);

// Copies the application users of an installation's own ISEC_USERS (other than KADE, not yet
// listed for it) into the list as "I" + index + name: the account is made first on `main`; only
// when that worked is the user listed and renamed in ISEC_USERS on the installation session
// (committed). Failures name the user and why.
struct CopyReport {
  QStringList copied;
  QStringList failures;
};
CopyReport copyApplicationUsers(db::Session& main, db::Session& installation, qint64 index, const QString& owner);

// One trigger statement found in an import log, with its header (its first line); `complete` is
// false for a trigger still open at the end of the file.
struct LoggedTrigger {
  QString header;
  QString text;
  bool complete = false;
};
// Scans the lines of an import log for the CREATE TRIGGER statements it shows: double quotes are
// removed, BEGIN and END; count the depth, and a line of 77 or more characters is continued by the
// next (its characters from the second on, up to 100, leading blanks removed, joined directly).
QList<LoggedTrigger> scanImportLog(const QStringList& lines);
// The two import logs of an installation: `dir` + KADE user + ".log" and `dir` + "f" + the KADE
// user from its second character + ".log".
QStringList importLogPaths(const QString& dir, const QString& kadeUser);
// Executes each trigger (renamed by `rename`) on `session`; returns "NOK:  " + header for each one
// that failed or was left open.
QStringList recreateTriggers(db::Session& session, const QList<LoggedTrigger>& triggers,
                             const std::function<QString(const QString&)>& rename);

// The special blocks in the order they run; before the first the installation's trigger
// BTPR107PAR goes, before the second its package PCKAUDITSERVER.
const QStringList& specialBlockFiles();
// The text of a block file as one statement: its lines joined, a closing "/" line dropped.
QString blockStatement(const QStringList& lines);
struct SpecialBlocksReport {
  int failures = 0;
  QString missingFile;  // the block file that could not be read; the run stopped there
};
// Runs the blocks of `dir` for the installation whose KADE user is `kadeUser`: `dropOnMain` runs a
// drop whose failure does not matter, each block is renamed and executed on `installation`.
// `beforeEach` lets the window take its messages.
SpecialBlocksReport runSpecialBlocks(db::Session& installation, const QString& dir, const QString& kadeUser,
                                     const std::function<void(const QString&)>& dropOnMain,
                                     const std::function<QString(const QString&)>& rename,
                                     const std::function<void()>& beforeEach = {});
// "Prevedene procedure in triggerji za Audit  " and, when blocks failed, " z N napak".
QString specialBlocksMessage(int failures);

}  // namespace nuvo::schema
