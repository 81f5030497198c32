#pragma once
// The worksheet's logic without a window: what is run of the editor text, where an error is marked,
// the texts of the panes, the statement history ring and the texts the builders write.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace nuvo::sqlwork {

// ---------------------------------------------------------------------------------------------
// Running a statement

// The statement of an editor text (lines joined with CR LF): leading blanks, CR LF pairs and whole
// "--" lines are dropped; tabs and lone line feeds are kept. `skippedLines` counts the editor lines
// dropped before the statement, `skippedColumns` the blanks dropped from the start of its first
// line, so an error of the statement can be placed in the editor.
struct StrippedStatement {
  QString text;
  int skippedLines = 0;
  int skippedColumns = 0;
};
StrippedStatement stripLeadingComments(const QString& text);

// The editor line and position of an error the server reports for the stripped statement; 0 and 0
// stay 0 and 0.
struct ErrorPlace {
  int line = 0;
  int position = 0;
  bool operator==(const ErrorPlace&) const = default;
};
ErrorPlace editorErrorPlace(const StrippedStatement& statement, int line, int position);

// How a statement runs: a query fills the grid, DESC lists a table's columns in the grid, anything
// else runs as a statement and reports into the output pane.
struct StatementKind {
  bool desc = false;
  bool select = false;
  bool update = false;
  bool remove = false;
  bool insert = false;
  bool query() const { return desc || select; }
  bool dml() const { return update || remove || insert; }
};
StatementKind classifyStatement(const QString& statement);

// The columns query of "DESC [owner.]table": the owner and table upper-cased, bound as :owner and
// :tabela; without an owner the session user's table.
struct DescQuery {
  QStringList sql;
  QString owner;  // empty: the session user
  QString table;
};
DescQuery buildDescQuery(const QString& statement);

// The error pane: with a line or position, every editor line and, after line `line`, a marker of
// position - 1 blanks and one asterisk per character of the token there (at most 19); then the
// message, one line per piece up to a line feed, an empty line and the rest.
QStringList formatErrorPane(const QStringList& editorLines, int line, int position, const QString& message);

// The running time "h:mm:ss[:ms]": hours and minutes only when needed, each number at least two
// digits.
QString formatElapsed(qint64 milliseconds, bool withMilliseconds);

// The compile-error listing of the first object in the rows (ordered by object and line): a
// "line/position" line and the text per error of that object.
struct CompileError {
  QString object;
  int line = 0;
  int position = 0;
  QString text;
};
QStringList compileErrorLines(const QList<CompileError>& rows);

// Servers of version 7 and earlier name two columns of the compile-error query differently.
bool isVersion7Query(const QString& version);

// The output pane's character set: with `unicode`, EUROPEAN 238, RUSSIAN 204, OEM 255; otherwise and
// for any other name the design's East European 238.
int outputCharset(bool unicode, const QString& charset);

// ---------------------------------------------------------------------------------------------
// Query by example
// A value typed under a result column: "<5", ">=x", "<>a", "!=a", "=x" compare with that operator,
// a value with % or _ is matched with LIKE, "NULL" finds empty cells, any other value is compared
// for equality. Empty values set no condition.
struct QbeCondition {
  QString column;
  QString value;
};
// The query restricted by the typed values: the query as a subquery, each value bound as :qbe<n>.
struct QbeQuery {
  QString sql;
  QStringList values;  // the value of :qbe1, :qbe2, ...
};
QbeQuery qbeQuery(const QString& query, const QList<QbeCondition>& conditions);

// ---------------------------------------------------------------------------------------------
// History

// The in-memory ring of the last 100 statements run; slots 1 to 100, "" is an empty slot.
class HistoryRing {
 public:
  static constexpr int kSlots = 100;

  const QString& slot(int index) const { return slots_[static_cast<std::size_t>(index)]; }
  void setSlot(int index, const QString& text) { slots_[static_cast<std::size_t>(index)] = text; }
  int last() const { return last_; }
  int shown() const { return shown_; }
  void clear();

  // Records a statement unless it equals the last one recorded.
  void record(const QString& text);
  // The text of the slot before or after the one shown, which becomes the one shown; nothing (and
  // no move) when that slot is empty.
  std::optional<QString> previous();
  std::optional<QString> next();

 private:
  std::optional<QString> moveTo(int target);

  std::array<QString, kSlots + 1> slots_{};
  int last_ = 0;
  int shown_ = 0;
};

// A row of NUVO_UTIL.NUVO_HIST as read in hist_zpst order.
struct HistoryRow {
  int slot = 0;
  QString text;  // NULL reads as ""
};

// The pointer row's text: its first three characters as the last used slot; "" is 0. Nothing when it
// is not a number from 0 to 100 (the pointer needs repairing).
std::optional<int> historyPointer(const QString& text);

// The last slot a pointer row should hold, read from the ring rows: the slot before the first empty
// one. Nothing when no row is empty (the pointer cannot be repaired).
std::optional<int> repairedHistoryPointer(const QList<HistoryRow>& ringRows);

// Loads the ring rows of the table into the ring: the newest (the pointer's slot) into slot 100 and
// the older ones, oldest first, directly before it. Empty rows are skipped, so a ring with a deleted
// entry loads without a gap.
void loadHistoryRows(HistoryRing& ring, int pointer, const QList<HistoryRow>& ringRows);

// The history list's column: the first line and "  ..." when there are more.
QString historyListText(const QString& statement);

// ---------------------------------------------------------------------------------------------
// Builders

// One argument row of the call builder.
struct CallArgument {
  QString name;  // empty: a function's result
  QString dataType;
  QString inOut;
  QString value;
};
// The block that calls `object` with the arguments (`withGrid`: the argument grid is shown).
QString callBlock(const QString& object, const QList<CallArgument>& arguments, bool withGrid, const QString& newLine);

// One column row of the select builder.
struct SelectColumn {
  bool shown = false;
  QString name;
  QString dataType;
  QString filter;
};
// The SELECT of `owner.table` with the marked columns (lines of at most 90 characters) and the
// filters' conditions; `live` makes it editable (alias xxx and ROWID).
QString selectStatement(const QString& owner, const QString& table, const QList<SelectColumn>& columns, bool live);

// The SQL lines of a program string literal joined by #$D#$A or #$A; nothing when the text has no
// #$D#$A.
std::optional<QStringList> convertDelphiString(const QString& text);

// The result grid as text: ">>>", the labels each followed by three blanks, 80 dashes, one line per
// row with the cells joined by `separator`.
QStringList gridAsText(const QStringList& labels, const QList<QStringList>& rows, const QString& separator);

// ---------------------------------------------------------------------------------------------
// Explain

// The STATEMENT_ID of one explain: the session's SID (negative: unknown) and the number of the
// explain among the process's, so worksheets sharing a session and sessions sharing the plan table
// never read or remove each other's rows.
QString explainStatementId(int sid, int serial);
// EXPLAIN PLAN SET STATEMENT_ID = '<id>' INTO NUVO_UTIL.NUVO_PLAN_TABLE FOR, then a blank and each
// editor line: one line, so a leading "--" line comments out the rest and the statement fails.
QString explainStatement(const QString& statementId, const QStringList& editorLines);

// ---------------------------------------------------------------------------------------------
// Keyboard macros

// Holding a macro key until the keyboard repeats inserts its macro; a short press types the key.
// Times are milliseconds of a monotonic clock; `inserted` collects the text to insert.
class MacroKeys {
 public:
  static constexpr qint64 kHoldMs = 259;  // 3e-6 day

  explicit MacroKeys(QString keys = {}, QStringList macros = {})
      : keys_(std::move(keys)), macros_(std::move(macros)) {}
  bool isMacroKey(QChar key) const { return !key.isNull() && keys_.contains(key); }

  // A character typed (first press or a repeat); true when it is swallowed.
  bool keyPress(QChar key, qint64 now, QString& inserted);
  // A key released (auto-repeat releases are not passed in).
  void keyRelease(QString& inserted);
  bool pending() const { return lastKey_ != QChar(); }

 private:
  QString keys_;
  QStringList macros_;
  QChar lastKey_;
  qint64 since_ = 0;
  bool macroDone_ = false;
};

}  // namespace nuvo::sqlwork
