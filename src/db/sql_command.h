#pragma once
// What Query and Dataset share: the SQL text held as lines, the declared variables, and the prepared
// statement of a session.

#include <QMap>
#include <QStringList>
#include <QVariant>
#include <memory>

#include "db/driver.h"
#include "db/error.h"
#include "db/session.h"

namespace nuvo::db {

class SqlCommand {
 public:
  explicit SqlCommand(Session* session = nullptr);
  virtual ~SqlCommand();
  SqlCommand(const SqlCommand&) = delete;
  SqlCommand& operator=(const SqlCommand&) = delete;

  Session* session() const { return session_; }
  // Closes the command and binds it to another session.
  void setSession(Session* session);

  // The SQL as lines; the text sent is the lines joined with "\n".
  const QStringList& sql() const { return lines_; }
  void setSql(const QStringList& lines);
  // Splits the text at its line ends (CR LF, LF or CR).
  void setSql(const QString& text);
  QString sqlText() const { return lines_.join(QLatin1Char('\n')); }
  int sqlLineCount() const { return static_cast<int>(lines_.size()); }
  // Line `index` (0-based); "" beyond the end.
  QString sqlLine(int index) const;
  // Replaces line `index`, adding empty lines first when the text is shorter.
  void setSqlLine(int index, const QString& text);
  void addSql(const QString& line);
  void clearSql();

  // Variables: names are case-insensitive and may be written with or without the colon.
  void declareVariable(const QString& name, DataType type);
  void deleteVariable(const QString& name);
  void deleteVariables();
  bool hasVariable(const QString& name) const;
  QStringList variableNames() const;  // as declared, in name order
  DataType variableType(const QString& name) const;
  // An invalid QVariant is NULL. Throws Error when the variable is not declared.
  void setVariable(const QString& name, const QVariant& value);
  // The value set, or after execute the value the statement left (out variables of a block).
  QVariant getVariable(const QString& name) const;
  // The rows of a cursor variable after execute; nullptr when the statement left none.
  std::shared_ptr<ResultSet> cursorVariable(const QString& name) const;

  // Rows inserted, updated or deleted by the last execute, or fetched so far by a query.
  qint64 rowsProcessed() const;

  // Ends the statement and its result; the SQL and variables stay.
  virtual void close();

 protected:
  struct Variable {
    QString name;
    DataType type = DataType::Unknown;
    QVariant value;
    std::shared_ptr<ResultSet> cursor;
  };

  Session& requireSession() const;
  // Runs `call` with the session locked and marked as executing; returns its result.
  template <typename F>
  auto locked(F&& call) const {
    Session& s = requireSession();
    auto guard = s.lock();
    Session::Running running(s);
    return call(s.driverSession());
  }
  // Runs `call` with the session locked when there is one (connected or not).
  template <typename F>
  void underLock(F&& call) const {
    if (!session_) return call();
    auto guard = session_->lock();
    call();
  }
  // Prepares the SQL (again when it changed), binds the variables it uses and executes it; the
  // caller holds the session lock. Errors carry the line and position in the SQL's lines.
  DriverStatement& execute(DriverSession& driver);
  DriverStatement* statement() const { return statement_.get(); }

 private:
  friend class Session;
  const Variable& variable(const QString& name) const;
  Variable& variable(const QString& name);
  void sqlChanged();
  void bindVariables();
  void readBack();

  Session* session_ = nullptr;
  QStringList lines_;
  QMap<QString, Variable> variables_;  // key: the upper-case name without colon
  std::unique_ptr<DriverStatement> statement_;
  bool prepared_ = false;
  bool block_ = false;
  qint64 rowsProcessed_ = 0;
};

// Index of a column by name, case-insensitive; -1 when there is none.
int columnIndex(const Columns& columns, const QString& name);

}  // namespace nuvo::db
