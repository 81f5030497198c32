#include "shell/main_helpers.h"

#include <algorithm>

#include <QRegularExpression>
#include <QWidget>

namespace nuvo::shell {

namespace {

bool isRenameBoundary(QChar c) {
  static const QString kBoundaries = QStringLiteral("\n\r\t+*. (=,<>/'");
  return kBoundaries.contains(c);
}

bool isBlank(QChar c) { return c == u' ' || c == u'\r' || c == u'\n' || c == u'\t'; }
bool isDelimiter(QChar c) { return isBlank(c) || c == u','; }
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#'; }

qsizetype skipWhile(const QString& text, qsizetype p, bool (*test)(QChar)) {
  while (p < text.size() && test(text[p])) ++p;
  return p;
}
qsizetype skipUntil(const QString& text, qsizetype p, bool (*test)(QChar)) {
  while (p < text.size() && !test(text[p])) ++p;
  return p;
}

bool startsWithFrom(const QString& text, qsizetype p) {
  return text.mid(p, 4).compare(u"FROM", Qt::CaseInsensitive) == 0;
}

// The words that end a FROM clause's single table, so they are never taken for its alias.
bool endsTableReference(const QString& word) {
  static const QStringList kWords = {"WHERE", "ORDER", "UNION", "MINUS", "CONNECT", "START",
                                     "FOR",   "JOIN",  "GROUP", "HAVING", "INTERSECT"};
  return kWords.contains(word.toUpper());
}

// Replaces the references "table." outside string literals, where no name character comes before.
QString qualifyReferences(const QString& text, qsizetype from, const QString& table, const QString& alias) {
  QString result = text.left(from);
  const QString reference = table + u'.';
  bool inLiteral = false;
  for (qsizetype p = from; p < text.size();) {
    if (text[p] == u'\'') inLiteral = !inLiteral;
    const bool boundary = p == 0 || !(isNameChar(text[p - 1]) || text[p - 1] == u'.' || text[p - 1] == u'"');
    if (!inLiteral && boundary && text.mid(p, reference.size()).compare(reference, Qt::CaseInsensitive) == 0) {
      result += alias + u'.';
      p += reference.size();
      continue;
    }
    result += text[p++];
  }
  return result;
}

// Prefixes every select-list item with "xxx."; false when no item was prefixed.
bool prefixSelectItems(QString& text) {
  bool prefixed = false;
  qsizetype p = 6;
  while (p < text.size()) {
    p = skipWhile(text, p, isBlank);
    const qsizetype start = p;
    while (p < text.size() && !isDelimiter(text[p]) && !startsWithFrom(text, p)) ++p;
    if (p >= text.size()) break;
    text.insert(start, QStringLiteral("xxx."));
    prefixed = true;
    p += 4 + 1;
    p = skipWhile(text, p, isDelimiter);
    if (startsWithFrom(text, p)) break;
  }
  return prefixed;
}

}  // namespace

QString zamenjaj(const QString& text, const QString& oldText, const QString& newText) {
  const QString upperText = text.toUpper();
  const QString upperOld = oldText.toUpper();
  QString result;
  qsizetype rest = 0;
  while (true) {
    const qsizetype match = upperOld.isEmpty() ? -1 : upperText.indexOf(upperOld, rest);
    if (match < 0) break;
    result += text.mid(rest, match - rest);
    const bool counts = match > 0 && isRenameBoundary(text[match - 1]);
    result += counts ? newText : text.mid(match, upperOld.size());
    rest = match + upperOld.size();
  }
  return result + text.mid(rest);
}

QString zamenjave(const QString& text, const QString& mode, const QString& userAsKade,
                  const QString& userAsZozuro) {
  if (mode != u"SKRIPTA")
    return zamenjaj(zamenjaj(text, "KADE ", userAsKade + u' '), "ZOZURO ", userAsZozuro + u' ');
  const std::pair<QString, QString> renames[] = {
      {"KADE.", userAsKade + u'.'},
      {"'KADE'", u'\'' + userAsKade + u'\''},
      {"ZOZURO.", userAsZozuro + u'.'},
      {"'ZOZURO'", u'\'' + userAsZozuro + u'\''},
      {"TO DUD", QStringLiteral("TO G") + userAsKade.mid(1)},
  };
  QString result = text;
  for (const auto& [from, to] : renames) result = zamenjaj(result, from, to);
  return result;
}

LiveQuery postaviLiveQuery(const QString& statement) {
  const QString upper = statement.toUpper();
  if (!upper.startsWith(u"SELECT")) return {statement};
  if (upper.contains(u"GROUP BY")) return {statement, true};
  if (upper.contains(u"ROWID")) return {statement};
  const qsizetype from = upper.indexOf(u"FROM");
  if (from < 0) return {statement};

  qsizetype p = skipWhile(statement, from + 5, isBlank);
  p = skipUntil(statement, p, isDelimiter);
  p = skipWhile(statement, p, isBlank);
  if (p < statement.size() && statement[p] != u',') {
    const QString word = statement.mid(p, skipUntil(statement, p, isDelimiter) - p);
    if (!endsTableReference(word)) {
      QString text = statement;
      const qsizetype listStart = skipWhile(text, 6, isBlank);
      // "*" cannot follow another select item; the alias qualifies it instead.
      if (text.mid(listStart, 1) == u"*" && (listStart + 1 >= text.size() || isDelimiter(text[listStart + 1])))
        text.insert(listStart, word + u'.');
      text.insert(listStart, word + QStringLiteral(".rowid,"));
      return {text};
    }
  }
  if (statement.contains(u"xxx.")) return {statement};

  QString text = statement;
  if (!prefixSelectItems(text)) return {statement};
  qsizetype listEnd = text.toUpper().indexOf(u"FROM");
  while (listEnd > 0 && isDelimiter(text[listEnd - 1])) --listEnd;
  text.insert(listEnd, QStringLiteral(",rowid"));

  const qsizetype tableStart = skipWhile(text, text.toUpper().indexOf(u"FROM") + 4, isBlank);
  const qsizetype tableEnd = skipUntil(text, tableStart, isDelimiter);
  const QString table = text.mid(tableStart, tableEnd - tableStart);
  text.insert(tableEnd, QStringLiteral(" xxx"));
  if (!table.isEmpty()) text = qualifyReferences(text, tableEnd + 4, table, QStringLiteral("xxx"));
  return {text};
}

namespace {

// True when the text, after leading comments, begins a PL/SQL block or a stored unit.
bool isPlsql(const QString& text) {
  static const QRegularExpression kComments(QStringLiteral(R"(\A(\s|--[^\n]*(\n|\z)|/\*.*?\*/)*)"),
                                            QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression kPlsql(
      QStringLiteral(R"(\A(DECLARE|BEGIN|<<|CREATE\s+(OR\s+REPLACE\s+)?((NON)?EDITIONABLE\s+)?)"
                     R"((PROCEDURE|FUNCTION|PACKAGE|TRIGGER|TYPE|LIBRARY)\b))"),
      QRegularExpression::CaseInsensitiveOption);
  const auto comments = kComments.match(text);
  return kPlsql.match(text.mid(comments.capturedLength())).hasMatch();
}

}  // namespace

QString f_venPodpicje(const QString& text) {
  qsizetype last = text.size() - 1;
  while (last >= 0 && isBlank(text[last])) --last;
  if (last < 0 || text[last] != u';' || isPlsql(text)) return text;
  return text.left(last) + text.mid(last + 1);
}

QString prepareInsertTemplate(const QString& frame, const QString& text, const QString& clipboard) {
  const QString value = clipboard.isEmpty() || clipboard.size() > 10 ? QStringLiteral("?") : clipboard;
  const QString capitalised = value.left(1).toUpper() + value.mid(1);
  QString result;
  qsizetype rest = 0;
  for (qsizetype mark = text.indexOf(u":?"); mark >= 0; mark = text.indexOf(u":?", rest)) {
    result += text.mid(rest, mark - rest);
    result += mark > 0 && text[mark - 1] == u' ' ? value : capitalised;
    rest = mark + 2;
  }
  return frame + result + text.mid(rest) + frame;
}

QString brezNL(const QString& text) { return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\r")); }

QString pretvoriDescriptor(const QString& setting) {
  if (!setting.startsWith(u'#')) return setting;
  bool ok = false;
  const int code = setting.mid(1, 10).toInt(&ok);
  return ok && code >= 0 && code <= 0xFFFF ? QString(QChar(code)) : setting;
}

QString clientDateFormat(const QString& oracleFormat) {
  // Longest elements first, so "HH24" is not read as "HH" and "MONTH" not as "MON".
  static const std::pair<const char*, const char*> kElements[] = {
      {"YYYY", "yyyy"}, {"RRRR", "yyyy"}, {"SYYYY", "yyyy"}, {"MONTH", "MMMM"}, {"HH24", "HH"},
      {"HH12", "hh"},   {"YY", "yy"},     {"RR", "yy"},      {"MON", "MMM"},    {"DAY", "dddd"},
      {"DY", "ddd"},    {"MM", "MM"},     {"DD", "dd"},      {"HH", "hh"},      {"MI", "mm"},
      {"SS", "ss"},     {"AM", "AP"},     {"PM", "AP"},      {"FM", ""},
  };
  QString result;
  for (qsizetype p = 0; p < oracleFormat.size();) {
    if (oracleFormat[p] == u'"') {  // quoted text stands as it is
      const qsizetype end = oracleFormat.indexOf(u'"', p + 1);
      const QString literal = oracleFormat.mid(p + 1, (end < 0 ? oracleFormat.size() : end) - p - 1);
      result += u'\'' + QString(literal).replace(u'\'', QStringLiteral("''")) + u'\'';
      p = end < 0 ? oracleFormat.size() : end + 1;
      continue;
    }
    bool matched = false;
    for (const auto& [element, client] : kElements) {
      const QString name = QString::fromLatin1(element);
      if (oracleFormat.mid(p, name.size()).compare(name, Qt::CaseInsensitive) == 0) {
        result += QString::fromLatin1(client);
        p += name.size();
        matched = true;
        break;
      }
    }
    if (matched) continue;
    const QChar c = oracleFormat[p++];
    // Letters the client would read as format elements are quoted.
    result += c.isLetter() ? u'\'' + QString(c) + u'\'' : (c == u'\'' ? QStringLiteral("''") : QString(c));
  }
  return result;
}

Macros parseMacros(const QStringList& lines) {
  Macros macros;
  QString* body = nullptr;  // the macro that body lines go to; none before the first header
  bool firstBodyLine = true;
  QString dropped;
  for (const QString& line : lines) {
    if (line.startsWith(u'#')) {
      const bool keep = line.size() >= 2 && macros.keys.size() < kMaxKeyboardMacros;
      if (keep) {
        macros.keys += line[1];
        macros.keyboard << QString();
      }
      body = keep ? &macros.keyboard.last() : &dropped;
    } else if (line.startsWith(u'/')) {
      const bool keep = macros.popup.size() < kMaxPopupMacros;
      if (keep) {
        macros.popupHeaders << line.mid(1, 50);
        macros.popup << QString();
      }
      body = keep ? &macros.popup.last() : &dropped;
    } else {
      if (body) {
        if (!firstBodyLine) *body += QStringLiteral("\r\n");
        *body += line;
        firstBodyLine = false;
      }
      continue;
    }
    firstBodyLine = true;
    dropped.clear();
  }
  return macros;
}

QList<QWidget*> windowsWithPrefix(const QList<QWidget*>& windows, const QString& prefix) {
  QList<QWidget*> chosen;
  for (QWidget* window : windows) {
    if (chosen.size() == kMaxChooserWindows) break;
    if (window->objectName().startsWith(prefix, Qt::CaseSensitive)) chosen << window;
  }
  return chosen;
}

QPoint keptOnScreen(QPoint wanted, QSize frameSize, const QRect& available) {
  const int x = std::min(wanted.x(), available.right() + 1 - frameSize.width());
  const int y = std::min(wanted.y(), available.bottom() + 1 - frameSize.height());
  return {std::max(x, available.left()), std::max(y, available.top())};
}

}  // namespace nuvo::shell
