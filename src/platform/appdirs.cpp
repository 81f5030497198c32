#include "platform/appdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/paths.h"

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

QString monitorIniPath() {
  static const QString kFileName = QStringLiteral("/MONITOR.INI");
  const QString home = homeDirectory();
  const QFileInfo homeInfo(home);
  if (homeInfo.isDir() && homeInfo.isWritable()) return matchPathCase(home + kFileName);
  const QString config =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/nuvo_sql";
  QDir().mkpath(config);
  return matchPathCase(config + kFileName);
}

}  // namespace nuvo
