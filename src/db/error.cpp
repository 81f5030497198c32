#include "db/error.h"

namespace nuvo::db {

Error::Error(int code, QString message, int offset)
    : code_(code), message_(std::move(message)), offset_(offset), what_(message_.toUtf8()) {}

void Error::locate(const QStringList& lines) {
  if (offset_ < 0) return;
  qsizetype remaining = offset_;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QByteArray line = lines[i].toUtf8();
    if (remaining <= line.size()) {
      line_ = static_cast<int>(i + 1);
      position_ = static_cast<int>(QString::fromUtf8(line.left(remaining)).size() + 1);
      return;
    }
    remaining -= line.size() + 1;  // the "\n" between lines
  }
}

Error Error::ora(int code, const QString& text) {
  return Error(code, QStringLiteral("ORA-%1: %2").arg(code, 5, 10, QLatin1Char('0')).arg(text));
}

}  // namespace nuvo::db
