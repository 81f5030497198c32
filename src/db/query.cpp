#include "db/query.h"

#include <cmath>

namespace nuvo::db {

QString displayText(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::UnknownType: return {};
    case QMetaType::Double: return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDateTime: return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    default: return value.toString();
  }
}

QString Field::asString() const { return displayText(value_); }

qint64 Field::asInteger() const {
  if (value_.typeId() == QMetaType::Double) return static_cast<qint64>(std::trunc(value_.toDouble()));
  bool ok = false;
  const qint64 n = value_.toLongLong(&ok);
  return ok ? n : static_cast<qint64>(std::trunc(value_.toDouble()));
}

double Field::asFloat() const { return value_.toDouble(); }

QDateTime Field::asDate() const { return value_.typeId() == QMetaType::QDateTime ? value_.toDateTime() : QDateTime(); }

void Query::execute() {
  close();
  locked([&](DriverSession& driver) {
    DriverStatement& statement = SqlCommand::execute(driver);
    if (statement.isQuery()) startRows(&statement);
  });
}

void Query::openResultSet(std::shared_ptr<ResultSet> rows) {
  close();
  if (!rows) throw Error::client(QStringLiteral("The cursor is not open"));
  cursor_ = std::move(rows);
  locked([&](DriverSession&) { startRows(cursor_.get()); });
}

void Query::startRows(ResultSet* rows) {
  rows_ = rows;
  fields_.clear();
  for (const Column& c : rows_->columns()) fields_.push_back(Field(c));
  readRow();
}

void Query::readRow() {
  eof_ = !rows_->next();
  for (int i = 0; i < fields_.size(); ++i) fields_[i].setValue(eof_ ? QVariant() : rows_->value(i));
}

void Query::next() {
  if (eof_ || !rows_) return;
  locked([&](DriverSession&) { readRow(); });
}

int Query::fieldIndex(const QString& name) const {
  for (int i = 0; i < fields_.size(); ++i)
    if (fields_[i].name().compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

const Field& Query::field(int index) const {
  if (index < 0 || index >= fields_.size()) throw Error::client(QStringLiteral("Field %1 does not exist").arg(index));
  return fields_[index];
}

const Field& Query::field(const QString& name) const {
  const int index = fieldIndex(name);
  if (index < 0) throw Error::client(QStringLiteral("Field %1 does not exist").arg(name));
  return fields_[index];
}

void Query::close() {
  if (cursor_) underLock([&] { cursor_->close(); });
  cursor_.reset();
  rows_ = nullptr;
  eof_ = true;
  SqlCommand::close();
}

}  // namespace nuvo::db
