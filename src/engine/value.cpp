#include <cstdio>

#include "engine/engine.h"

namespace engine {

std::string DateTime::toIso() const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
  return buf;
}

bool DateTime::fromIso(const std::string& text, DateTime& out) {
  DateTime d;
  int n = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &d.year, &d.month, &d.day, &d.hour, &d.minute,
                  &d.second, &n) != 6 ||
      static_cast<std::size_t>(n) != text.size())
    return false;
  out = d;
  return true;
}

std::int64_t Value::asInteger() const {
  if (kind() == Kind::Integer) return std::get<std::int64_t>(v_);
  if (kind() == Kind::Real) return static_cast<std::int64_t>(std::get<double>(v_));
  throw std::logic_error("value is not a number");
}

double Value::asDouble() const {
  if (kind() == Kind::Real) return std::get<double>(v_);
  if (kind() == Kind::Integer) return static_cast<double>(std::get<std::int64_t>(v_));
  throw std::logic_error("value is not a number");
}

const std::string& Value::asText() const { return std::get<std::string>(v_); }
const DateTime& Value::asDate() const { return std::get<DateTime>(v_); }
std::shared_ptr<Cursor> Value::asCursor() const { return std::get<std::shared_ptr<Cursor>>(v_); }
const Bytes& Value::asBytes() const { return std::get<Bytes>(v_); }

const char* dataTypeName(DataType t) {
  switch (t) {
    case DataType::Number: return "NUMBER";
    case DataType::Varchar2: return "VARCHAR2";
    case DataType::Char: return "CHAR";
    case DataType::Date: return "DATE";
    case DataType::Long: return "LONG";
    case DataType::Clob: return "CLOB";
    case DataType::Blob: return "BLOB";
    case DataType::Raw: return "RAW";
    case DataType::Rowid: return "ROWID";
    case DataType::Cursor: return "REF CURSOR";
    case DataType::Boolean: return "BOOLEAN";
    case DataType::Unknown: break;
  }
  return "UNDEFINED";
}

}  // namespace engine
