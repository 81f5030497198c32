#pragma once
// Types shared by the client layer and its drivers.

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>

namespace nuvo::db {

// The type of a declared variable or of a result column. Values travel as QVariant: an invalid
// QVariant is NULL (distinct from ""), Integer is qlonglong, Float double, String/Long/Rowid QString,
// Date a QDateTime in UTC that carries the database's wall-clock time unchanged, Binary (BLOB, RAW)
// a QByteArray.
enum class DataType { Unknown, String, Integer, Float, Date, Long, Rowid, Cursor, Binary };

// "string", "integer", ... as variable types are named in the tool.
QString dataTypeName(DataType type);

// The type a value of undeclared type is bound as: by its QVariant type, String for any other.
DataType typeOfVariant(const QVariant& value);
// The date and wall-clock time of a date value (QDate, QDateTime or ISO text); throws ORA-01861
// when it is none.
QDateTime dateOfVariant(const QVariant& value);
// The bytes of a binary value (RAW, BLOB): a QByteArray as it is, text as hex digits (throws
// ORA-01465 when it is not).
QByteArray bytesOfVariant(const QVariant& value);

struct Column {
  QString name;      // as the server names it (unquoted names upper case)
  DataType type = DataType::Unknown;
  QString typeName;  // the server's type name: "NUMBER", "VARCHAR2", ...
  int size = 0;
  int precision = 0;
  int scale = 0;
  bool nullable = true;
};

using Columns = QVector<Column>;

}  // namespace nuvo::db
