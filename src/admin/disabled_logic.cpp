#include "admin/disabled_logic.h"

#include "admin/errors_logic.h"
#include "db/query.h"
#include "shell/sql_catalog.h"

namespace nuvo::admin {

namespace {

const SqlText kKeyColumns{"napRef.quCol",
                          {"select column_name,position  from ALL_CONS_COLUMNS",
                           "where owner=:upor  and constraint_name=:cons_name", "order by position"}};
const SqlText kParentTable{"napRef.parentTable",
                           {"select table_name from all_constraints", "where owner=:upor and constraint_name=:cons_name"}};

QStringList keyColumns(db::Session& session, const QString& owner, const QString& constraint) {
  db::Query query(&session);
  query.setSql(kKeyColumns);
  query.declareVariable("upor", db::DataType::String);
  query.declareVariable("cons_name", db::DataType::String);
  query.setVariable("upor", owner);
  query.setVariable("cons_name", constraint);
  QStringList columns;
  for (query.execute(); !query.eof(); query.next()) columns << query.field(0).asString();
  return columns;
}

QString qualified(const QString& owner, const QString& name) { return quotedName(owner) + u'.' + quotedName(name); }

}  // namespace

ForeignKey readForeignKey(db::Session& session, const QString& owner, const QString& table, const QString& name,
                          const QString& parentOwner, const QString& parentConstraint) {
  ForeignKey key{owner, table, name, keyColumns(session, owner, name), {}, {}, {}};
  if (parentConstraint.isEmpty()) return key;
  db::Query parent(&session);
  parent.setSql(kParentTable);
  parent.declareVariable("upor", db::DataType::String);
  parent.declareVariable("cons_name", db::DataType::String);
  parent.setVariable("upor", parentOwner);
  parent.setVariable("cons_name", parentConstraint);
  parent.execute();
  if (parent.eof()) return key;
  key.parentOwner = parentOwner;
  key.parentTable = parent.field(0).asString();
  key.parentColumns = keyColumns(session, parentOwner, parentConstraint);
  return key;
}

QString violatingRowsQuery(const ForeignKey& key) {
  if (key.parentTable.isEmpty() || key.columns.isEmpty() || key.columns.size() != key.parentColumns.size())
    return {};
  QString sql = QStringLiteral("select * from ") + qualified(key.owner, key.table) + QStringLiteral(" tbl  where ");
  for (const QString& column : key.columns) sql += quotedName(column) + QStringLiteral("  is not null and ");
  sql += QStringLiteral("not exists   (select * from ") + qualified(key.parentOwner, key.parentTable) +
         QStringLiteral(" where ");
  for (int i = 0; i < key.columns.size(); ++i)
    sql += (i == 0 ? QStringLiteral(" ") : QStringLiteral(" and ")) + quotedName(key.parentColumns[i]) +
           QStringLiteral("=tbl.") + quotedName(key.columns[i]);
  return sql + u')';
}

QString enableConstraintStatement(const ForeignKey& key) {
  return QStringLiteral("alter table ") + qualified(key.owner, key.table) + QStringLiteral(" ENABLE constraint ") +
         quotedName(key.name);
}

QString alterTriggerStatement(const QString& owner, const QString& trigger, bool enable) {
  return QStringLiteral("alter trigger ") + qualified(owner, trigger) +
         (enable ? QStringLiteral(" ENABLE") : QStringLiteral(" DISABLE"));
}

int alterTriggers(const QList<TriggerRef>& triggers, bool enable, const std::function<void(const QString&)>& run) {
  int altered = 0;
  for (const TriggerRef& trigger : triggers) {
    run(alterTriggerStatement(trigger.owner, trigger.name, enable));
    ++altered;
  }
  return altered;
}

}  // namespace nuvo::admin
