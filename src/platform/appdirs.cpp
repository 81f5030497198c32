#include "platform/appdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace nuvo {

QString homeDirectory() {
  const QString env = qEnvironmentVariable("NUVO_SQL_HOME");
  if (!env.isEmpty()) return QDir(env).absolutePath();
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  return QDir::currentPath();
}

QString dataDirectory() {
  const QString env = qEnvironmentVariable("NUVO_SQL_DATA");
  if (!env.isEmpty()) return QDir(env).absolutePath();
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/nuvo_sql";
}

}  // namespace nuvo
