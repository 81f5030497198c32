#include "db/oci/tnsnames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace nuvo::db::oci {

namespace {

constexpr int kMaxIncludeDepth = 8;

void readFile(const QString& path, int depth, QSet<QString>& seenFiles, QStringList& names) {
  const QString canonical = QFileInfo(path).absoluteFilePath();
  if (depth > kMaxIncludeDepth || seenFiles.contains(canonical)) return;
  seenFiles.insert(canonical);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  for (const QString& name : parseTnsnames(QString::fromUtf8(file.readAll()))) {
    if (name.startsWith(QStringLiteral("IFILE="))) {
      QString included = name.mid(6);
      if (QFileInfo(included).isRelative()) included = QFileInfo(path).dir().filePath(included);
      readFile(included, depth + 1, seenFiles, names);
    } else {
      names << name;
    }
  }
}

}  // namespace

QStringList parseTnsnames(const QString& text) {
  QStringList names;
  int depth = 0;
  QString pending;  // text at the top level since the last definition
  bool inComment = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (inComment) {
      if (c == u'\n') inComment = false;
      continue;
    }
    if (c == u'#') {
      inComment = true;
    } else if (c == u'(') {
      ++depth;
    } else if (c == u')') {
      if (depth > 0) --depth;
      if (depth == 0) pending.clear();
    } else if (depth == 0 && c == u'=') {
      const QString head = pending.trimmed();
      pending.clear();
      if (head.compare(QStringLiteral("IFILE"), Qt::CaseInsensitive) == 0) {
        // The value runs to the end of the line.
        qsizetype end = text.indexOf(u'\n', i + 1);
        if (end < 0) end = text.size();
        QString value = text.mid(i + 1, end - i - 1);
        if (const qsizetype hash = value.indexOf(u'#'); hash >= 0) value.truncate(hash);
        value = value.trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
          value = value.mid(1, value.size() - 2);
        if (!value.isEmpty()) names << QStringLiteral("IFILE=") + value;
        i = end - 1;
        continue;
      }
      for (const QString& part : head.split(u',', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        if (!name.isEmpty() && !name.contains(QRegularExpression(QStringLiteral("\\s")))) names << name;
      }
    } else if (depth == 0) {
      pending += c;
    }
  }
  return names;
}

QString tnsnamesPath(const QString& tnsAdmin, const QString& oracleHome) {
  if (!tnsAdmin.isEmpty()) return QDir(tnsAdmin).filePath(QStringLiteral("tnsnames.ora"));
  if (!oracleHome.isEmpty()) return QDir(oracleHome).filePath(QStringLiteral("network/admin/tnsnames.ora"));
  return {};
}

QStringList tnsnamesAliases(const QString& tnsAdmin, const QString& oracleHome) {
  const QString path = tnsnamesPath(tnsAdmin, oracleHome);
  if (path.isEmpty()) return {};
  QStringList names;
  QSet<QString> seenFiles;
  readFile(path, 0, seenFiles, names);
  for (QString& name : names) name = name.toUpper();
  names.sort();
  names.removeDuplicates();
  return names;
}

}  // namespace nuvo::db::oci
