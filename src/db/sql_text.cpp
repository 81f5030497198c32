#include "db/sql_text.h"

#include <QRegularExpression>

namespace nuvo::db {

namespace {

bool isIdentifierStart(QChar c) { return c.isLetter(); }
bool isIdentifierPart(QChar c) {
  return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#');
}

// Reads the SQL a token at a time at nesting depth 0, skipping blanks, comments and literals.
class Scanner {
 public:
  explicit Scanner(const QString& sql) : s_(sql) {}

  bool atEnd() {
    skipBlanks();
    return i_ >= s_.size();
  }
  int depth() const { return depth_; }
  qsizetype position() const { return i_; }

  // The next token: an identifier (quoted ones with their quotes), or one character.
  QString next() {
    skipBlanks();
    if (i_ >= s_.size()) return {};
    const qsizetype start = i_;
    const QChar c = s_[i_];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      for (++i_; i_ < s_.size(); ++i_) {
        if (s_[i_] != c) continue;
        if (i_ + 1 < s_.size() && s_[i_ + 1] == c) {
          ++i_;
          continue;
        }
        break;
      }
      ++i_;
      return s_.mid(start, i_ - start);
    }
    if (isIdentifierStart(c)) {
      while (i_ < s_.size() && isIdentifierPart(s_[i_])) ++i_;
      return s_.mid(start, i_ - start);
    }
    ++i_;
    if (c == QLatin1Char('(')) ++depth_;
    if (c == QLatin1Char(')')) --depth_;
    return QString(c);
  }

 private:
  void skipBlanks() {
    while (i_ < s_.size()) {
      if (s_[i_].isSpace()) {
        ++i_;
      } else if (s_.mid(i_, 2) == QLatin1String("--")) {
        const qsizetype end = s_.indexOf(QLatin1Char('\n'), i_);
        i_ = end < 0 ? s_.size() : end + 1;
      } else if (s_.mid(i_, 2) == QLatin1String("/*")) {
        const qsizetype end = s_.indexOf(QLatin1String("*/"), i_ + 2);
        i_ = end < 0 ? s_.size() : end + 2;
      } else {
        break;
      }
    }
  }

  const QString& s_;
  qsizetype i_ = 0;
  int depth_ = 0;
};

}  // namespace

QString skipLeadingComments(const QString& sql) {
  Scanner scanner(sql);
  if (scanner.atEnd()) return {};
  return sql.mid(scanner.position());
}

bool isPlsqlBlock(const QString& sql) {
  Scanner scanner(sql);
  const QString first = scanner.next().toUpper();
  return first == QLatin1String("BEGIN") || first == QLatin1String("DECLARE");
}

QString firstFromTable(const QString& sql) {
  Scanner scanner(sql);
  while (!scanner.atEnd()) {
    const QString token = scanner.next();
    if (scanner.depth() != 0 || token.compare(QLatin1String("FROM"), Qt::CaseInsensitive) != 0) continue;
    QString name = scanner.next();
    if (name.isEmpty() || !(isIdentifierStart(name[0]) || name[0] == QLatin1Char('"'))) return {};
    Scanner ahead = scanner;
    if (ahead.next() == QLatin1String(".")) name += QLatin1Char('.') + ahead.next();
    return name;
  }
  return {};
}

bool isSafeObjectName(const QString& name) {
  static const QRegularExpression pattern(
      QStringLiteral(R"(^(?:[A-Za-z][A-Za-z0-9_$#]*|"[^"]+")(?:\.(?:[A-Za-z][A-Za-z0-9_$#]*|"[^"]+"))?$)"));
  return pattern.match(name).hasMatch();
}

QString quoteColumn(const QString& name) {
  static const QRegularExpression plain(QStringLiteral(R"(^[A-Z][A-Z0-9_$#]*$)"));
  if (plain.match(name).hasMatch()) return name;
  return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

}  // namespace nuvo::db
