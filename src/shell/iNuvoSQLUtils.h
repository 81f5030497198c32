#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// Text helpers for SQL built from lists.
class TNuvoSqlHelper {
 public:
  TNuvoSqlHelper() = delete;
  // Each item of a delimited list as an SQL string literal (embedded quotes doubled), joined again
  // with the delimiter: "A,B" gives "'A','B'". Blanks separate items too; an item in double quotes
  // stays whole.
  static QString String2SQlString(const QString& text, QChar delimiter);
  // The items of a delimited list by the same rules.
  static QStringList splitDelimited(const QString& text, QChar delimiter);
};
