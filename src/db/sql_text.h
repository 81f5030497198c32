#pragma once
// Small readings of SQL text that the client layer needs without a parser: the kind of statement,
// the table a query reads first, and identifiers that may be pasted into generated SQL.

#include <QString>

namespace nuvo::db {

// The text with leading blanks and comments ("--" to the line end, "/* */") removed.
QString skipLeadingComments(const QString& sql);
// An anonymous PL/SQL block: the first word is BEGIN or DECLARE.
bool isPlsqlBlock(const QString& sql);
// The first table of the outermost FROM clause ("OWNER.TABLE" as written, quotes kept); empty when
// the query has none or reads a subquery first.
QString firstFromTable(const QString& sql);
// A name that may be pasted into SQL: plain identifiers (letters, digits, _, $, #; starting with a
// letter) or double-quoted ones, optionally qualified with an owner. Anything else is refused.
bool isSafeObjectName(const QString& name);
// A column name as SQL text: as it stands when it is a plain upper-case identifier, else quoted.
QString quoteColumn(const QString& name);

}  // namespace nuvo::db
