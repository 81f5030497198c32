#pragma once
// What the table-content window shows without its widgets: the six categories of a table's tree
// (primary key, indexes, foreign keys, unique keys, checks, triggers) with one text per node.

#include <QList>
#include <QString>
#include <QStringList>

#include "schema/table_dictionary.h"

namespace nuvo::db {
class Session;
}

namespace nuvo::schema {

struct ContentCategory {
  QString title;
  QStringList items;
};

// The six categories in their order, each with its nodes; constraints of other types are left out.
QList<ContentCategory> tableContent(const QList<Constraint>& constraints, const QList<Index>& indexes,
                                    const QList<Trigger>& triggers);
QList<ContentCategory> readTableContent(db::Session& session, const QString& owner, const QString& table);

}  // namespace nuvo::schema
