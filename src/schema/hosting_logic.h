#pragma once
// What the hosting window does without its widgets: the installation rows, the filters and
// orderings of its script lists, the statements it builds for installation users, deleting an
// installation and old statement rows, rebuilding and recompiling the invalid objects of one
// installation, and copying an installation's own statement table into the shared one.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

#include "shell/sql_catalog.h"

namespace nuvo::db {
class Session;
}

namespace nuvo::schema {

// One row of NUVO_UTIL.NUVO_INSTALATIONS.
struct Installation {
  qint64 index = 0;
  QString userName, fullName, instance, userKade, passKade, userZozuro, passZozuro;
};

// The installations whose USERNAME is like `filter` ("%" when empty), in USERINDEX order.
QList<Installation> readInstallations(db::Session& session, const QString& filter = QStringLiteral("%"));

// The status letters of the script lists: X (run), E (failed), N (not run), in this order.
QString statusLetters(bool run, bool failed, bool notRun);
// The ordering column for the choice of the order box (INDEX, UPORABNIK, ZADNJA SKRIPTA, INSTANCA).
QString orderingColumn(const QString& choice);

// The defaults of a new installation row from the table's largest USERINDEX and INSTANCE (NULL
// for an empty table): number n = largest + 1, owner and KADE user IZASn, ZOZURO user FZASn.
Installation newInstallationDefaults(const QVariant& maxIndex, const QVariant& maxInstance);

// An account name typed for the database: a plain identifier of at most 30 characters
// (letter first, then letters, digits, _, $ or #). Returned upper-cased; empty when refused.
QString accountName(const QString& typed);
// A password as a quoted identifier, so blanks and keywords reach the server as typed; empty when
// it cannot be one (empty, a double quote, longer than 30 characters).
QString quotedPassword(const QString& password);

// "ALTER USER u IDENTIFIED BY "p"" for each of the two users whose name is set and whose password
// differs from the one remembered when editing began. A name or password that cannot be used goes
// to `refused` instead.
QStringList passwordChangeStatements(const Installation& row, const QString& oldPassKade,
                                     const QString& oldPassZozuro, QStringList* refused);

// Inserts or updates an installation row and commits. An insert refuses an index already taken.
void insertInstallation(db::Session& session, const Installation& row);
void updateInstallation(db::Session& session, qint64 originalIndex, const Installation& row);

// Deletes an installation: drops the accounts of its application users (a failure is reported and
// the others go on), deletes the statement rows of the row's own USERNAME, its user rows and the
// row itself, and commits. The two schema users stay. Returns the number of statement rows deleted.
int deleteInstallation(db::Session& session, const Installation& row,
                       const std::function<void(const QString&)>& report);

// The filter of the page that deletes old statement rows. An edit that is empty or holds only
// "%" adds no condition; values travel as binds and the date through the session's date mask.
struct DeleteFilter {
  QString where;  // "" or " where ..."
  QList<QPair<QString, QString>> binds;
  bool empty() const { return where.isEmpty(); }
};
bool isWildcardOnly(const QString& value);
DeleteFilter buildDeleteFilter(const QString& lessThan, const QString& like, const QString& runUpTo);
// The "like" filter after leaving the "less than" edit: the first character of the value and "%",
// or `like` unchanged when the value adds no condition.
QString likeAfterLessThan(const QString& lessThan, const QString& like);
// The script names the filter selects, and deleting their rows (committed); both refuse an
// empty filter (no rows, nothing deleted).
QStringList scriptsToDelete(db::Session& session, const DeleteFilter& filter);
int deleteScripts(db::Session& session, const DeleteFilter& filter);

// The statement that recreates a stored object from the dictionary as `owner` holds it: the
// source lines of a unit, a trigger's description with its WHEN clause and body, a view with its
// column list. Empty when the object is not found.
QString buildObjectSource(db::Session& session, const QString& owner, const QString& name, const QString& type);

// Recreating the invalid objects of one installation user in that installation. The objects are
// read on the installation session, their text through `main`, renamed by `rename` and executed on
// the installation session; each object's error is caught and listed, and the installation session
// is always logged off at the end.
struct InstallationLogon {
  QString database, user, password;
};
struct RecompileReport {
  bool loggedOn = false;
  QString logonError;
  int recreated = 0;
  QStringList failures;  // "TYPE NAME: error"
};
RecompileReport recompileInstallation(db::Session& main, db::Session& installation, const InstallationLogon& logon,
                                      const std::function<QString(const QString&)>& rename,
                                      const std::function<void()>& beforeEach = {});

// Copies the rows of the logged-on installation user's own NUVO_EXS table into
// NUVO_UTIL.NUVO_EXS as rows of `owner`, then drops the table. False (nothing done) when the
// shared table already holds rows of `owner`.
bool copyOwnStatementTable(db::Session& installation, const QString& owner);

// The fixed texts of the scripts page; the installation lists end with their ordering line.
extern const SqlText kScriptsSince;       // quSCR_OD
extern const SqlText kScriptNames;        // quSkripte
extern const SqlText kInstallationsRun;   // quSCR_Pregled1
extern const SqlText kInstallationsMiss;  // quScr_Pregled2
extern const SqlText kScriptRowsOf;       // quNapake1
extern const SqlText kScriptsMissingOf;   // quNapake2
extern const SqlText kInvalidObjects;     // quInvalid
extern const SqlText kInvalidCounts;      // quErrorUpor
extern const SqlText kOwnerErrors;        // quErrors
extern const SqlText kErrorLines;         // quErrorsVrstice
extern const SqlText kInstallationRows;   // quInstal
extern const SqlText kInstallationList;   // ListInstallations
extern const SqlText kInstallationListInvalid;

}  // namespace nuvo::schema

namespace nuvo::schema {

// The installation register: the filter of its list (what is typed and "%"; "%" alone when
// empty) and the notes template of an installation's operating system (CR LF line ends).
QString registerFilter(const QString& typed);
QString operatingSystemTemplate();

}  // namespace nuvo::schema
