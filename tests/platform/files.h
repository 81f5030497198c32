#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <ostream>
#include <stdexcept>
#include <string>

#include "support/temp_env.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace nuvo::test {

inline QString newTempDir(const char* prefix) {
  return QString::fromStdString(makeTempDir(prefix));
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    throw std::runtime_error("cannot write " + path.toStdString());
}

inline QByteArray readBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error("cannot read " + path.toStdString());
  return file.readAll();
}

// The names in a directory, so a test can check that a failed write left nothing behind.
inline QStringList entriesOf(const QString& directory) {
  return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace nuvo::test
