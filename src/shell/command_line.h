#pragma once

#include <QString>

// One action line of a run ("CONNECT kade 3 DEMO", "SCRIPT \"my file.sql\" c:\dir"): the action
// word and up to three parameters, upper-cased.
struct ParsedLine {
  QString action;
  QString p1, p2, p3;
};

// The action is the text before the first blank; the parameters follow it, each whole however long
// (a long absolute path). A parameter in double quotes may hold blanks.
ParsedLine ParseCommandLine(const QString& line);
void ParseCommandLine(const QString& line, QString& action, QString& p1, QString& p2, QString& p3);

// Takes one parameter off the front of `rest` (trimmed, upper-cased) and leaves in `rest` the text
// after it, without leading blanks. Returns whether anything remains.
bool vzemiEnParameter(QString& rest, QString& parameter);
