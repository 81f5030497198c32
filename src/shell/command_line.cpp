#include "shell/command_line.h"

namespace {

QString withoutLeadingBlanks(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  return text.mid(i);
}

}  // namespace

bool vzemiEnParameter(QString& rest, QString& parameter) {
  QString text = rest;
  QChar end = u' ';
  if (text.startsWith(u'"')) {
    text = withoutLeadingBlanks(text.mid(1));
    end = u'"';
  }
  // Without the closing quote or blank the parameter runs to the end of the text.
  const qsizetype stop = text.indexOf(end);
  parameter = (stop < 0 ? text : text.left(stop)).trimmed().toUpper();
  rest = stop < 0 ? QString() : withoutLeadingBlanks(text.mid(stop + 1));
  return !rest.isEmpty();
}

ParsedLine ParseCommandLine(const QString& line) {
  ParsedLine parsed;
  const QString text = line + u' ';
  const qsizetype blank = text.indexOf(u' ');
  parsed.action = text.left(blank).trimmed().toUpper();
  QString rest = text.mid(blank + 1);
  if (vzemiEnParameter(rest, parsed.p1) && vzemiEnParameter(rest, parsed.p2))
    vzemiEnParameter(rest, parsed.p3);
  return parsed;
}

void ParseCommandLine(const QString& line, QString& action, QString& p1, QString& p2, QString& p3) {
  const ParsedLine parsed = ParseCommandLine(line);
  action = parsed.action;
  p1 = parsed.p1;
  p2 = parsed.p2;
  p3 = parsed.p3;
}
