#pragma once
// What the dictionary says about one table: its constraints, indexes and triggers with their
// columns, the tree of tables it references and the tables that reference its primary key. The
// windows that show a table's structure, content and references read it through these functions.
// Owner and table are always binds; every list grows as far as the dictionary goes.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace nuvo::db {
class Session;
}

namespace nuvo::schema {

// A constraint or index name with its columns in position order.
struct NamedColumns {
  QString name;
  QStringList columns;
};
// Gathers (name, column) rows that come in name order: consecutive rows of one name form one entry.
QList<NamedColumns> gatherColumns(const QList<std::pair<QString, QString>>& rows);

struct Constraint {
  QString owner;
  QString name;
  QString type;  // P, R, U, C, ...
  QString rOwner;
  QString rConstraintName;
  QString deleteRule;
  QString searchCondition;
  QString status;
  QStringList columns;
};
// The table's constraints ordered by type, each with its columns.
QList<Constraint> readConstraints(db::Session& session, const QString& owner, const QString& table);

struct Index {
  QString owner;
  QString name;
  QString uniqueness;
  QStringList columns;
};
// The indexes on the table (of any index owner), each with its columns; over the database link
// when one is given.
QList<Index> readIndexes(db::Session& session, const QString& owner, const QString& table,
                         const QString& link = QString());

struct Trigger {
  QString owner;
  QString name;
};
QList<Trigger> readTriggers(db::Session& session, const QString& owner, const QString& table);

// A foreign key of a table with the key it references: that key's owner, table and columns.
struct ForeignKeyRef {
  QString name;
  QString keyOwner;
  QString keyName;  // the referenced constraint
  QString keyTable;
  QStringList keyColumns;
};
// The foreign keys of the table, in the dictionary's order.
QList<ForeignKeyRef> readForeignKeys(db::Session& session, const QString& owner, const QString& table);

// One node of the references tree: a foreign key and the table it leads to. A table already in
// the tree (the starting one, or one shown earlier) is marked seen and not expanded again, so a
// cycle of references ends.
struct ReferenceNode {
  ForeignKeyRef key;
  bool seen = false;
  QList<ReferenceNode> children;
};
using ForeignKeyReader = std::function<QList<ForeignKeyRef>(const QString& owner, const QString& table)>;
QList<ReferenceNode> referenceTree(const QString& owner, const QString& table, const ForeignKeyReader& read);
QList<ReferenceNode> readReferenceTree(db::Session& session, const QString& owner, const QString& table);
// mark + " " + key name + "   " + table + " (" + owner + ")  " + key columns, the mark "*" for a
// table already shown and " " otherwise.
QString referenceNodeText(const ReferenceNode& node);

// The table's primary key with the tables whose foreign keys reference it.
struct Dependence {
  QString owner;
  QString keyName;
  QStringList keyColumns;
  QStringList tables;
};
QList<Dependence> readDependences(db::Session& session, const QString& owner, const QString& table);
// key name + " (" + owner + ")   " + key columns.
QString dependenceNodeText(const Dependence& dependence);

}  // namespace nuvo::schema
