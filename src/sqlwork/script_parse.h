#pragma once
// The parse of an upgrade script into the rows of the statement table, as a pure function over the
// script's lines. What touches the world (condition queries, schema renaming, the audit-host rewrite
// of PL/SQL files) comes in as callbacks, so the parse is tested with tables of scripts.

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace nuvo::sqlwork {

// What a condition query gave: it failed, or it ran and gave its first column of the first row
// (nullopt when there was no row; a NULL value reads as 0).
struct ConditionAnswer {
  bool failed = false;
  std::optional<qint64> firstValue;

  static ConditionAnswer failure() { return {true, std::nullopt}; }
  static ConditionAnswer noRow() { return {false, std::nullopt}; }
  static ConditionAnswer value(qint64 v) { return {false, v}; }
};

struct ParseEffects {
  // Runs a condition query (and commits the session when it ran). Unset: every condition fails.
  std::function<ConditionAnswer(const QString& query)> condition;
  // Renames the installation's schemas in a statement (multi-installation mode). Unset: no renaming.
  std::function<QString(const QString& text)> rename;
  // Called with the file name of each "#PL/SQL#" statement when the audit host is on.
  std::function<void(const QString& fileName)> auditPlsqlFile;
};

// One row to store: its number (1, 2, ...), its text, and the statement's lines as read (for the
// message when storing it fails).
struct ScriptRow {
  int counter = 0;
  QString text;
  QString sourceLines;
};

// The lines of a script text: split at CR LF, LF or CR.
QStringList scriptLines(const QString& text);

// Trims blanks and control characters (line breaks included) at both ends.
QString trimControls(const QString& text);

// The rows a script stores: statements end at separator lines ("/" as the first non-blank), lines
// with "--" in column 1 are dropped, #DECLARE / #IF / #IFNOT are evaluated, placeholders replaced,
// statements of 5 characters or fewer dropped.
QVector<ScriptRow> parseScript(const QStringList& lines, const ParseEffects& effects);

}  // namespace nuvo::sqlwork
