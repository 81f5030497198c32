#include "db/types.h"

#include "db/error.h"

namespace nuvo::db {

QString dataTypeName(DataType type) {
  switch (type) {
    case DataType::String: return QStringLiteral("string");
    case DataType::Integer: return QStringLiteral("integer");
    case DataType::Float: return QStringLiteral("float");
    case DataType::Date: return QStringLiteral("date");
    case DataType::Long: return QStringLiteral("LONG");
    case DataType::Rowid: return QStringLiteral("rowid");
    case DataType::Cursor: return QStringLiteral("cursor");
    case DataType::Binary: return QStringLiteral("binary");
    case DataType::Unknown: break;
  }
  return QStringLiteral("unknown");
}

DataType typeOfVariant(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return DataType::Integer;
    case QMetaType::Double:
    case QMetaType::Float: return DataType::Float;
    case QMetaType::QDate:
    case QMetaType::QDateTime: return DataType::Date;
    case QMetaType::QByteArray: return DataType::Binary;
    default: return DataType::String;
  }
}

QDateTime dateOfVariant(const QVariant& v) {
  QDateTime dt = v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
  if (v.typeId() == QMetaType::QString) dt = QDateTime::fromString(v.toString(), Qt::ISODate);
  if (!dt.isValid()) throw Error::ora(1861, QStringLiteral("literal does not match format string"));
  return dt;
}

QByteArray bytesOfVariant(const QVariant& v) {
  if (v.typeId() != QMetaType::QString) return v.toByteArray();
  // Text for a RAW or BLOB is hex digits, as the server reads it: an odd count has a leading 0.
  const QString text = v.toString();
  QByteArray digits = text.toLatin1();
  for (const QChar c : text)
    if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
      throw Error::ora(1465, QStringLiteral("invalid hex number"));
  if (digits.size() % 2) digits.prepend('0');
  return QByteArray::fromHex(digits);
}

}  // namespace nuvo::db
