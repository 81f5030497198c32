#include "db/types.h"

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

}  // namespace nuvo::db
