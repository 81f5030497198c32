#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <utility>

#include "platform/appdirs.h"
#include "platform/ini_file.h"

namespace nuvo {

namespace {

constexpr qsizetype kMaxFileNameLength = 100;

// "X:" at the start of a path: the directory the drive letter maps to, and the rest of the path.
QString mapDrive(const QString& path, const IniFile& settings) {
  if (path.size() < 2 || path.at(1) != ':' || !path.at(0).isLetter() || path.at(0).unicode() > 0x7F)
    return path;
  const QString letter = path.left(1);
  QString root = settings.readString(QStringLiteral("DRIVES"), letter);
  if (root.isEmpty()) root = dataDirectory() + "/drives/" + letter.toLower();
  root.replace('\\', '/');
  QString rest = path.mid(2);
  while (rest.startsWith('/')) rest.remove(0, 1);
  return rest.isEmpty() ? root : joinPath(root, rest);
}

// The entry of `directory` whose name equals `name` ignoring case, or an empty string.
QString findEntryIgnoringCase(const QString& directory, const QString& name) {
  const QStringList entries =
      QDir(directory.isEmpty() ? QStringLiteral(".") : directory)
          .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                     QDir::Name);
  for (const QString& entry : entries)
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
  return {};
}

QString matchComponents(const QString& path) {
  const QStringList components = path.split('/', Qt::SkipEmptyParts);
  QString resolved = path.startsWith('/') ? QStringLiteral("/") : QString();
  bool matching = true;
  for (const QString& component : components) {
    QString name = component;
    if (matching && component != "." && component != ".." &&
        !QFileInfo::exists(joinPath(resolved, component))) {
      name = findEntryIgnoringCase(resolved, component);
      if (name.isEmpty()) {
        name = component;
        matching = false;
      }
    }
    resolved = joinPath(resolved, name);
  }
  if (path.endsWith('/') && !resolved.endsWith('/')) resolved += '/';
  return resolved;
}

}  // namespace

bool isPathSeparator(QChar c) { return c == '/' || c == '\\'; }

qsizetype lastSeparatorIndex(const QString& path) {
  for (qsizetype i = path.size() - 1; i >= 0; --i)
    if (isPathSeparator(path.at(i))) return i;
  return -1;
}

int desnaPozicija(const QString& path) {
  const qsizetype index = lastSeparatorIndex(path);
  return index < 0 ? -1 : static_cast<int>(index + 1);
}

FileAndDirectory splitFileDir(const QString& path) {
  const qsizetype index = lastSeparatorIndex(path);
  if (index < 0) return {path, {}};
  return {path.mid(index + 1, kMaxFileNameLength), path.left(index + 1)};
}

void FileDirName(const QString& path, QString& fileName, QString& directory) {
  FileAndDirectory parts = splitFileDir(path);
  fileName = std::move(parts.fileName);
  directory = std::move(parts.directory);
}

QString joinPath(const QString& directory, const QString& name) {
  if (directory.isEmpty()) return name;
  qsizetype skip = 0;
  while (skip < name.size() && isPathSeparator(name.at(skip))) ++skip;
  const QString tail = name.mid(skip);
  if (isPathSeparator(directory.back())) return directory + tail;
  return directory + '/' + tail;
}

QString resolvePath(const QString& path) { return resolvePath(path, IniFile(monitorIniPath())); }

QString resolvePath(const QString& path, const IniFile& settings) {
  QString native = path;
  native.replace('\\', '/');
  return matchPathCase(mapDrive(native, settings));
}

QString matchPathCase(const QString& path) {
  if (path.isEmpty() || QFileInfo::exists(path)) return path;
  return matchComponents(path);
}

}  // namespace nuvo
