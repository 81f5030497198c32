#pragma once
// What the table-structure window decides without its widgets: the owner list, dictionary texts
// read over a database link, the rows of the columns page, and which actions may change a schema.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace nuvo::schema {

// The installation schemas offered first in the owner box, in this order.
const QStringList& installationOwners();
// The installation schemas first, then every other user in the given order; a user equal to one of
// them (ignoring case) is not listed twice.
QStringList ownerList(const QStringList& users);

// Whether `link` is a database link name that may be written after "@" in a statement: letters,
// digits, "_", "$", "#" and dots, starting with a letter.
bool isLinkName(const QString& link);
// The statement with every dictionary view (ALL_..., USER_..., DBA_...) that stands as a table
// (after FROM, JOIN or a comma) read over the link; without
// a link the statement as it is. A name that is no link name is refused (std::invalid_argument).
QString overLink(const QString& statement, const QString& link);

// Changing the schema (drop, enable, disable) runs on the local session, so it is offered only
// while no link is chosen: over a link it would hit a local object of the same name.
inline bool schemaChangesAllowed(const QString& link) { return link.trimmed().isEmpty(); }

// Identifier as a quoted name for generated statements.
QString quoted(const QString& identifier);
// owner.name, both quoted.
QString qualified(const QString& owner, const QString& name);

// The sort orders of the columns page, as shown and as the dictionary column they sort by.
struct ColumnOrder {
  const char* title;
  const char* column;
};
const QList<ColumnOrder>& columnOrders();

// One dictionary row of the columns page.
struct ColumnInfo {
  QString name;
  QString dataType;
  QVariant dataLength, dataPrecision, dataScale;
  QString nullable;
  QString comments;
  int columnId = 0;
  QString dataDefault;
};
// The nine cells of a row: mark, name, type, length and precision (precision and scale for
// NUMBER), nullable, comment, column id, default.
QStringList columnCells(const ColumnInfo& column, bool marked);
// The columns sorted by the order's column (stable; by column id among equals).
QList<ColumnInfo> sortedColumns(QList<ColumnInfo> columns, const QString& orderColumn);

}  // namespace nuvo::schema

namespace nuvo::schema {

struct Constraint;
struct Index;

// The rows of the constraints page: name, value, type text and status. A primary key is one row
// with its columns joined by ","; a check shows its condition; every other constraint shows one row
// per column with the referenced key before it.
QList<QStringList> constraintRows(const QList<Constraint>& constraints);
// The rows of the indexes page: name and its columns joined by ", ".
QList<QStringList> indexRows(const QList<Index>& indexes);

// The statements of the pages' pop-ups, every name quoted.
QString dropIndexStatement(const QString& indexOwner, const QString& index);
QString dropConstraintStatement(const QString& owner, const QString& table, const QString& constraint);
QString switchConstraintStatement(const QString& owner, const QString& table, const QString& constraint, bool enable);
QString switchTriggerStatement(const QString& owner, const QString& trigger, bool enable);

}  // namespace nuvo::schema
