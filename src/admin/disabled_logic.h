#pragma once
// What the windows of disabled foreign keys and of disabled triggers do without their widgets.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace nuvo::db {
class Session;
}

namespace nuvo::admin {

// A foreign key with its columns and the parent key's columns, both in key position order, so the
// n-th column of one pairs with the n-th of the other.
struct ForeignKey {
  QString owner;
  QString table;
  QString name;
  QStringList columns;
  QString parentOwner;
  QString parentTable;
  QStringList parentColumns;
};

// Reads the key's own columns and its parent key (table and columns) from the dictionary; a key
// without a referenced constraint gets no parent.
ForeignKey readForeignKey(db::Session& session, const QString& owner, const QString& table, const QString& name,
                          const QString& parentOwner, const QString& parentConstraint);

// The rows of the child table that break the key: every key column set (Oracle checks no row with
// a NULL in the key) and no parent row with the same key. Empty when the key has no parent.
QString violatingRowsQuery(const ForeignKey& key);
QString enableConstraintStatement(const ForeignKey& key);

// "alter trigger "OWNER"."NAME" ENABLE" (or DISABLE).
QString alterTriggerStatement(const QString& owner, const QString& trigger, bool enable);
struct TriggerRef {
  QString owner;
  QString name;
};
// Alters the triggers in turn and stops at the first that fails (its error is thrown); returns how
// many were altered.
int alterTriggers(const QList<TriggerRef>& triggers, bool enable, const std::function<void(const QString&)>& run);

}  // namespace nuvo::admin
