#pragma once
// A statement with its SQL as lines, declared variables and, for a query, its rows read one at a
// time: execute() positions on the first row; next() moves on; eof() is true past the last.

#include <QDateTime>

#include "db/sql_command.h"

namespace nuvo::db {

// One column of the current row.
class Field {
 public:
  Field() = default;
  explicit Field(Column column) : column_(std::move(column)) {}

  const QString& name() const { return column_.name; }
  DataType type() const { return column_.type; }
  const Column& column() const { return column_; }
  const QVariant& value() const { return value_; }
  bool isNull() const { return !value_.isValid(); }
  // NULL reads as "", 0, 0.0 and an invalid date.
  QString asString() const;
  qint64 asInteger() const;
  double asFloat() const;
  QDateTime asDate() const;

  void setValue(QVariant value) { value_ = std::move(value); }

 private:
  Column column_;
  QVariant value_;
};

// The text of a value as the client shows it: NULL as "", numbers in their shortest exact form,
// dates as "yyyy-MM-dd hh:mm:ss".
QString displayText(const QVariant& value);

class Query : public SqlCommand {
 public:
  using SqlCommand::SqlCommand;

  // Runs the SQL with the variables. A query is then on its first row. Throws Error with the line
  // and position of the fault in the SQL's lines.
  void execute();
  // Reads the rows of a cursor (a cursor variable of another query) as this query's result.
  void openResultSet(std::shared_ptr<ResultSet> rows);
  bool isQuery() const { return rows_ != nullptr; }
  bool eof() const { return eof_; }
  void next();

  int fieldCount() const { return static_cast<int>(fields_.size()); }
  // Throws Error when there is no such field.
  const Field& field(int index) const;
  const Field& field(const QString& name) const;
  int fieldIndex(const QString& name) const;  // -1 when there is none
  bool fieldExists(const QString& name) const { return fieldIndex(name) >= 0; }

  void close() override;

 private:
  void startRows(ResultSet* rows);
  void readRow();

  ResultSet* rows_ = nullptr;
  std::shared_ptr<ResultSet> cursor_;  // rows of a cursor variable, when opened from one
  QVector<Field> fields_;
  bool eof_ = true;
};

}  // namespace nuvo::db
