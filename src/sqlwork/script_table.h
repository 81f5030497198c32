#pragma once
// The statement table NUVO_UTIL.NUVO_EXS: counting, storing a parsed script whole, and running its
// rows one at a time with the status of each written and committed with the statement's own work.

#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

#include "db/error.h"
#include "sqlwork/script_parse.h"

namespace nuvo {
class SqlText;
}
namespace nuvo::db {
class Session;
class SqlCommand;
class Query;
}  // namespace nuvo::db

namespace nuvo::sqlwork {

// Which rows of the table are this session's: the owner columns exist (`ownerColumns`), and in
// multi-installation mode only the logon user's rows count (`owner` set).
struct ScriptScope {
  bool ownerColumns = false;
  std::optional<QString> owner;  // upper case
};

// The form of a fixed text for the scope: `owner`, which binds :upor, when only one owner's rows count.
const QStringList& scopedSql(const ScriptScope& scope, const SqlText& all, const SqlText& owner);
// Declares and sets :upor when the scope has an owner.
void bindOwner(db::SqlCommand& command, const ScriptScope& scope);

// True when NUVO_EXS has both SCRIPT_OWNER and SCRIPT_DATE.
bool hasOwnerColumns(db::Session& session);
// The number of rows stored under `name` (within the owner when the scope has one).
int countScriptRows(db::Session& session, const QString& name, const ScriptScope& scope);

// The number of rows of `name` that are not executed (N) or failed (E).
int countUnfinishedRows(db::Session& session, const QString& name, const ScriptScope& scope);

// A statement that could not be stored; nothing of the script was stored.
struct StoreError {
  int counter = 0;
  QString sourceLines;
  QString message;
};

// Stores every row in one transaction with status N; `user` is written as the owner when the table
// has the owner columns. On an error everything is rolled back and the error is returned.
std::optional<StoreError> storeScript(db::Session& session, const QString& name, const QVector<ScriptRow>& rows,
                                      const ScriptScope& scope, const QString& user);

// True when a failure of this statement is tolerated: drops of constraints and indexes, and drops of
// tables whose text mentions "TMP_".
bool DopustnaNapaka(const QString& statement);
// A PL/SQL file's text up to the ";" of its final "END ...;", so trailing "/" lines go.
QString f_pocistiNiz(const QString& text);

enum class RowKind { Plain, Enable, Disable, PlsqlFile };
struct RowAction {
  RowKind kind = RowKind::Plain;
  QString target;  // table name (with owner) or file name
};
RowAction classifyRow(const QString& text);

// Runs the SQL of `query` with the retry rules: a message that holds ORA-04068 once more, one that
// holds ORA-01555 up to four more times. Returns the last error message, empty on success.
QString executeWithRetries(db::Query& query);

// Switches every foreign key that references the primary key of `name` ("OWNER.TABLE" or "TABLE" of
// `user`) with "ENABLE" or "DISABLE". Returns the messages of the alters that failed.
QStringList enableDisable(db::Session& session, const QString& name, const QString& action, const QString& user);

inline constexpr int kMaxErrorLength = 2000;

// The outcome of one row: its new status, the error kept for it (empty for NULL) and whether the run
// may go on.
struct RowOutcome {
  QChar status;
  QString error;
  bool goOn = false;
};

// How a row's statement runs.
struct RowContext {
  QString user;                                        // the logon user, upper case
  std::function<QString(const QString&)> rename;       // installation renaming of PL/SQL files
  std::function<QString(const QString&)> readFile;     // a file's text; throws on failure
  // Runs a statement in the background and returns its error text (empty on success). Unset: the
  // statement runs directly on the session with the retry rules.
  std::function<QString(const QString& sql)> threaded;
  QString doesntExist = QStringLiteral(" DOESN'T  EXISTS !");
};

// Runs one stored statement on `query`'s session; writes nothing.
RowOutcome runRowStatement(db::Query& query, const QString& text, const RowContext& context);

// Writes the status and error (at most kMaxErrorLength characters and UTF-8 bytes; empty is NULL) of a script's rows
// and commits the session with each, through one prepared statement. Throws db::Error, also when
// the row is gone, after rolling the session back (the statement's own work with it).
class RowStatusWriter {
 public:
  RowStatusWriter(db::Session& session, const QString& name, const ScriptScope& scope);
  ~RowStatusWriter();
  RowStatusWriter(const RowStatusWriter&) = delete;
  RowStatusWriter& operator=(const RowStatusWriter&) = delete;

  void write(int counter, const RowOutcome& outcome);

 private:
  db::Session& session_;
  std::unique_ptr<db::Query> update_;
};

// One row's status, as RowStatusWriter writes it.
void writeRowStatus(db::Session& session, const QString& name, int counter, const ScriptScope& scope,
                    const RowOutcome& outcome);

struct StoredRow {
  int counter = 0;
  QString text;
};
// The rows with status N of a script, in counter order; `napaka` (upper case) and `filter` narrow
// them to rows whose error or text holds them, "A" for no narrowing.
QVector<StoredRow> pendingRows(db::Session& session, const QString& name, const ScriptScope& scope,
                               const QString& napaka = QStringLiteral("A"), const QString& filter = QStringLiteral("A"));

}  // namespace nuvo::sqlwork
