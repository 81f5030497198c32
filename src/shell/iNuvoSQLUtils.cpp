#include "shell/iNuvoSQLUtils.h"

namespace {

bool isSpace(QChar c) { return c.unicode() >= 1 && c.unicode() <= ' '; }

}  // namespace

QStringList TNuvoSqlHelper::splitDelimited(const QString& text, QChar delimiter) {
  QStringList items;
  qsizetype p = 0;
  const qsizetype n = text.size();
  auto skipSpaces = [&] {
    while (p < n && isSpace(text[p])) ++p;
  };
  skipSpaces();
  while (p < n) {
    QString item;
    if (text[p] == u'"') {
      // A quoted item: "" stands for one quote; it ends at the closing quote.
      for (++p; p < n; ++p) {
        if (text[p] == u'"') {
          if (p + 1 < n && text[p + 1] == u'"') {
            item += u'"';
            ++p;
            continue;
          }
          ++p;
          break;
        }
        item += text[p];
      }
    } else {
      const qsizetype start = p;
      while (p < n && !isSpace(text[p]) && text[p] != delimiter) ++p;
      item = text.mid(start, p - start);
    }
    items << item;
    skipSpaces();
    if (p < n && text[p] == delimiter) {
      if (p + 1 == n) items << QString();
      ++p;
      skipSpaces();
    }
  }
  return items;
}

QString TNuvoSqlHelper::String2SQlString(const QString& text, QChar delimiter) {
  QStringList literals;
  for (const QString& item : splitDelimited(text, delimiter))
    literals << u'\'' + QString(item).replace(u'\'', QStringLiteral("''")) + u'\'';
  return literals.join(delimiter);
}
