#include "sqlwork/script_parse.h"

#include <QRegularExpression>

namespace nuvo::sqlwork {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isControlOrBlank(QChar c) { return c.unicode() <= 0x20; }

bool isSeparatorLine(const QString& line) {
  for (QChar c : line) {
    if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) continue;
    return c == QLatin1Char('/');
  }
  return false;
}

bool startsWithIgnoringCase(const QString& text, const QString& prefix) {
  return text.startsWith(prefix, Qt::CaseInsensitive);
}

struct Variable {
  QString name;  // upper case
  QString value;
};

// "#DECLARE name value" or "#DECLARE name "value"": the name up to the first blank, the value after it
// (between the first pair of double quotes when there is one). Without a blank the name is empty and
// the value is the whole rest.
Variable parseDeclaration(const QString& statement) {
  QString rest = statement.mid(9);
  qsizetype start = 0;
  while (start < rest.size() && rest[start] == QLatin1Char(' ')) ++start;
  rest = rest.mid(start);
  const qsizetype blank = rest.indexOf(QLatin1Char(' '));
  const QString name = blank < 0 ? QString() : rest.left(blank);
  QString value = blank < 0 ? rest : rest.mid(blank + 1);
  const qsizetype quote = value.indexOf(QLatin1Char('"'));
  if (quote >= 0) {
    const qsizetype close = value.indexOf(QLatin1Char('"'), quote + 1);
    value = close < 0 ? value.mid(quote + 1) : value.mid(quote + 1, close - quote - 1);
  }
  return {name.toUpper(), value};
}

// Replaces every ":NAME:" (any case) by the value in one pass from left to right, so a value that
// holds its own placeholder is not replaced again.
QString substitute(const QString& text, const QVector<Variable>& variables) {
  QString result = text;
  for (const Variable& v : variables) {
    const QString placeholder = QLatin1Char(':') + v.name + QLatin1Char(':');
    qsizetype from = 0;
    for (;;) {
      const qsizetype at = result.indexOf(placeholder, from, Qt::CaseInsensitive);
      if (at < 0) break;
      result.replace(at, placeholder.size(), v.value);
      from = at + v.value.size();
    }
  }
  return result;
}

struct Condition {
  bool negated = false;
  int count = 1;
  bool store = false;
  QString statement;  // the text after "#ENDIF"
};

// "#IF[NOT][n] query #ENDIF" + line break + statement. A condition without "#ENDIF" is false and
// its query is not run.
Condition evaluateCondition(const QString& text, const ParseEffects& effects) {
  Condition c;
  c.negated = startsWithIgnoringCase(text, QStringLiteral("#IFNOT"));
  QString rest = text.mid(c.negated ? 6 : 3);
  qsizetype countEnd = 0;
  while (countEnd < rest.size() && rest[countEnd] != QLatin1Char(' ') && rest[countEnd] != QLatin1Char('\r'))
    ++countEnd;
  bool isNumber = false;
  const int count = rest.left(countEnd).toInt(&isNumber);
  c.count = isNumber ? count : 1;
  rest = rest.mid(countEnd);

  const qsizetype endif = rest.indexOf(QStringLiteral("#ENDIF"), 0, Qt::CaseInsensitive);
  bool result = false;
  if (endif >= 0) {
    const QString query = rest.left(endif);
    c.statement = trimControls(rest.mid(endif + 8));
    if (effects.condition) {
      const ConditionAnswer answer = effects.condition(query);
      if (!answer.failed) {
        if (query.contains(QStringLiteral("REZULTAT"), Qt::CaseInsensitive))
          result = answer.firstValue.has_value() && *answer.firstValue != 0;
        else
          result = true;
      }
    }
  } else {
    c.statement = trimControls(rest);
  }
  c.store = c.negated ? !result : result;
  return c;
}

}  // namespace

QStringList scriptLines(const QString& text) {
  static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
  QStringList lines = text.split(lineEnd);
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

QString trimControls(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && isControlOrBlank(text[begin])) ++begin;
  while (end > begin && isControlOrBlank(text[end - 1])) --end;
  return text.mid(begin, end - begin);
}

QVector<ScriptRow> parseScript(const QStringList& lines, const ParseEffects& effects) {
  QVector<ScriptRow> rows;
  QVector<Variable> variables;
  QStringList statementLines;
  int governed = 0;
  bool store = false;

  for (const QString& line : lines) {
    if (!isSeparatorLine(line)) {
      if (!line.startsWith(QStringLiteral("--"))) statementLines << line;
      continue;
    }
    QString text;
    for (const QString& l : statementLines) text += l + kCrLf;
    if (effects.rename) text = effects.rename(text);
    text = trimControls(text);

    const bool declaration = startsWithIgnoringCase(text, QStringLiteral("#DECLARE"));
    if (declaration) variables << parseDeclaration(text);
    if (!variables.isEmpty() && text.contains(QStringLiteral(":VAR_"))) text = substitute(text, variables);

    if (startsWithIgnoringCase(text, QStringLiteral("#IF"))) {
      const Condition condition = evaluateCondition(text, effects);
      governed = condition.count;
      store = condition.store;
      text = condition.statement;
    }
    if (governed < 1) store = true;

    if (effects.auditPlsqlFile && text.startsWith(QStringLiteral("#PL/SQL#")))
      effects.auditPlsqlFile(text.mid(8, 100).trimmed());

    if (store && !declaration && text.size() > 5)
      rows.push_back({static_cast<int>(rows.size()) + 1, text, statementLines.join(kCrLf)});
    if (governed > 0) --governed;
    statementLines.clear();
  }
  return rows;
}

}  // namespace nuvo::sqlwork
