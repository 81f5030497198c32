#include "schema/structure_logic.h"

#include <QRegularExpression>

#include <algorithm>
#include <stdexcept>

#include "schema/table_dictionary.h"

namespace nuvo::schema {

const QStringList& installationOwners() {
  static const QStringList owners{"KADE", "ZOZURO", "VELMORA_PRENOS", "NUVO_SERVIS", "NUVO_UTIL", "NUVO_AUDIT", "HVK"};
  return owners;
}

QStringList ownerList(const QStringList& users) {
  QStringList list = installationOwners();
  for (const QString& user : users)
    if (!installationOwners().contains(user, Qt::CaseInsensitive)) list << user;
  return list;
}

bool isLinkName(const QString& link) {
  static const QRegularExpression name(QStringLiteral("^[A-Za-z][A-Za-z0-9_$#]*(\\.[A-Za-z0-9_$#]+)*$"));
  return name.match(link).hasMatch();
}

QString overLink(const QString& statement, const QString& link) {
  if (link.isEmpty()) return statement;
  if (!isLinkName(link)) throw std::invalid_argument("not a database link name: " + link.toStdString());
  // A view named where a table stands: after FROM, JOIN or the comma of a FROM list.
  static const QRegularExpression view(
      QStringLiteral("(\\bFROM|\\bJOIN|,)(\\s+)((?:ALL|USER|DBA)_[A-Z0-9_$#]+)\\b(?!\\s*[@.(])"),
      QRegularExpression::CaseInsensitiveOption);
  QString out = statement;
  out.replace(view, QStringLiteral("\\1\\2\\3@") + link);
  return out;
}

QString quoted(const QString& identifier) {
  QString inner = identifier;
  inner.replace(u'"', QStringLiteral("\"\""));
  return u'"' + inner + u'"';
}

QString qualified(const QString& owner, const QString& name) { return quoted(owner) + u'.' + quoted(name); }

const QList<ColumnOrder>& columnOrders() {
  static const QList<ColumnOrder> orders{{"Column_name", "COLUMN_NAME"},
                                         {"Column_id", "COLUMN_ID"},
                                         {"Data_length", "DATA_LENGTH"},
                                         {"Data_type", "DATA_TYPE"},
                                         {"Nullable", "NULLABLE"}};
  return orders;
}

namespace {
QString shown(const QVariant& value) { return value.isValid() && !value.isNull() ? value.toString() : QString(); }
}  // namespace

QStringList columnCells(const ColumnInfo& c, bool marked) {
  const bool number = c.dataType == u"NUMBER";
  return {marked ? QStringLiteral("+") : QStringLiteral(" "),
          c.name,
          c.dataType,
          shown(number ? c.dataPrecision : c.dataLength),
          shown(number ? c.dataScale : c.dataPrecision),
          c.nullable,
          c.comments,
          QString::number(c.columnId),
          c.dataDefault};
}

QList<ColumnInfo> sortedColumns(QList<ColumnInfo> columns, const QString& orderColumn) {
  const auto key = [&orderColumn](const ColumnInfo& c) -> QVariant {
    if (orderColumn == u"COLUMN_NAME") return c.name;
    if (orderColumn == u"DATA_LENGTH") return c.dataLength.isNull() ? QVariant(-1.0) : QVariant(c.dataLength.toDouble());
    if (orderColumn == u"DATA_TYPE") return c.dataType;
    if (orderColumn == u"NULLABLE") return c.nullable;
    return c.columnId;
  };
  std::stable_sort(columns.begin(), columns.end(), [&](const ColumnInfo& a, const ColumnInfo& b) {
    const QVariant ka = key(a), kb = key(b);
    const int order = QVariant::compare(ka, kb) == QPartialOrdering::Less      ? -1
                      : QVariant::compare(ka, kb) == QPartialOrdering::Greater ? 1
                                                                               : 0;
    return order != 0 ? order < 0 : a.columnId < b.columnId;
  });
  return columns;
}

}  // namespace nuvo::schema

namespace nuvo::schema {

QList<QStringList> constraintRows(const QList<Constraint>& constraints) {
  QList<QStringList> rows;
  for (const Constraint& c : constraints) {
    if (c.type == u"P") {
      rows << QStringList{c.name, c.columns.join(u','), QStringLiteral("PK"), c.status};
    } else if (c.type == u"C") {
      rows << QStringList{c.name, c.searchCondition, QStringLiteral("Cons."), c.status};
    } else {
      const QString type = c.type == u"R" ? QStringLiteral("Ref.") : c.type;
      const QStringList columns = c.columns.isEmpty() ? QStringList{QString()} : c.columns;
      for (const QString& column : columns)
        rows << QStringList{c.name, c.rConstraintName + QStringLiteral("  -  ") + column, type, c.status};
    }
  }
  return rows;
}

QList<QStringList> indexRows(const QList<Index>& indexes) {
  QList<QStringList> rows;
  for (const Index& index : indexes) rows << QStringList{index.name, index.columns.join(QStringLiteral(", "))};
  return rows;
}

QString dropIndexStatement(const QString& indexOwner, const QString& index) {
  return QStringLiteral("drop index ") + qualified(indexOwner, index);
}

QString dropConstraintStatement(const QString& owner, const QString& table, const QString& constraint) {
  return QStringLiteral("alter table ") + qualified(owner, table) + QStringLiteral(" drop constraint ") +
         quoted(constraint);
}

QString switchConstraintStatement(const QString& owner, const QString& table, const QString& constraint, bool enable) {
  return QStringLiteral("alter table ") + qualified(owner, table) +
         (enable ? QStringLiteral(" enable constraint ") : QStringLiteral(" disable constraint ")) + quoted(constraint);
}

QString switchTriggerStatement(const QString& owner, const QString& trigger, bool enable) {
  return QStringLiteral("alter trigger ") + qualified(owner, trigger) +
         (enable ? QStringLiteral(" enable") : QStringLiteral(" disable"));
}

}  // namespace nuvo::schema
