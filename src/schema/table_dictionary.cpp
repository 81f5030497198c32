#include "schema/table_dictionary.h"

#include <QHash>
#include <QSet>

#include <stdexcept>

#include "db/error.h"
#include "db/query.h"
#include "schema/structure_logic.h"
#include "shell/sql_catalog.h"

namespace nuvo::schema {

namespace {

const SqlText kTriggers{"tabConte.triggers",
                        {"select owner,trigger_name from all_triggers",
                         "where table_owner=:upor and table_name=:tabela", "order by owner,trigger_name"}};
const SqlText kConsColumns{"tabConte.consColumns",
                           {"select constraint_name,column_name from all_cons_columns",
                            "where table_name=:tabela and owner=:upor", "order by constraint_name,position"}};
const SqlText kConstraints{"tabConte.constraints",
                           {"select * from all_constraints", "where owner=:upor and table_name=:tabela",
                            "order by constraint_type,constraint_name"}};
// Index names are unique per index owner, so the columns are gathered by owner and name.
const SqlText kIndColumns{"tabConte.indColumns",
                          {"select index_owner,index_name,column_name from all_ind_columns",
                           "where table_name=:tabela and table_owner=:upor",
                           "order by index_owner,index_name,column_position"}};
const SqlText kIndexes{"tabConte.indexes",
                       {"select owner,index_name,uniqueness from all_indexes",
                        "where table_owner=:upor and table_name=:tabela", "order by owner,index_name"}};

const SqlText kRef{"tableRef.quRef",
                   {"select * from all_constraints", "where owner= :oper and table_name= :tabela and constraint_type='R'",
                    "order by constraint_name"}};
const SqlText kDeepRef{"tableRef.quDeepRef",
                       {"select owner,table_name from all_constraints", "where owner= :oper and constraint_name= :cons"}};
const SqlText kColRef{"tableRef.quColRef",
                      {"select column_name from all_cons_columns", "where owner= :oper and constraint_name= :cons",
                       "order by position"}};
const SqlText kPK{"tableRef.quPK",
                  {"select owner,constraint_name from all_constraints",
                   "where owner= :oper and table_name= :tabela and constraint_type='P'"}};
const SqlText kDepen{"tableRef.quDepen",
                     {"select owner,table_name from all_constraints", "where r_owner= :oper and r_constraint_name= :pk",
                      "order by table_name,owner"}};

using Binds = std::initializer_list<std::pair<const char*, QString>>;

// Runs the text with the string binds and calls `row` for each row.
void forEachRow(db::Session& session, const SqlText& text, Binds binds,
                const std::function<void(const db::Query&)>& row, const QString& link = QString()) {
  db::Query query(&session);
  if (link.isEmpty()) {
    query.setSql(text);
  } else {
    try {
      query.setSql(overLink(text.lines().join(u'\n'), link));
    } catch (const std::invalid_argument&) {
      throw db::Error::client(QStringLiteral("Not a database link name: ") + link);
    }
  }
  for (const auto& [name, value] : binds) {
    query.declareVariable(QString::fromLatin1(name), db::DataType::String);
    query.setVariable(QString::fromLatin1(name), value);
  }
  for (query.execute(); !query.eof(); query.next()) row(query);
}

QString text(const db::Query& query, const char* field) { return query.field(QString::fromLatin1(field)).asString(); }

QStringList keyColumns(db::Session& session, const QString& owner, const QString& constraint) {
  QStringList columns;
  forEachRow(session, kColRef, {{"oper", owner}, {"cons", constraint}},
             [&columns](const db::Query& q) { columns << q.field(0).asString(); });
  return columns;
}

QHash<QString, QStringList> byName(const QList<NamedColumns>& lists) {
  QHash<QString, QStringList> map;
  for (const NamedColumns& list : lists) map.insert(list.name, list.columns);
  return map;
}

QString tableKey(const QString& owner, const QString& table) { return owner + QChar(0) + table; }

void expand(QList<ReferenceNode>& nodes, const QString& owner, const QString& table, const ForeignKeyReader& read,
            QSet<QString>& shown) {
  for (const ForeignKeyRef& key : read(owner, table)) {
    ReferenceNode node;
    node.key = key;
    node.seen = shown.contains(tableKey(key.keyOwner, key.keyTable));
    if (!node.seen) shown.insert(tableKey(key.keyOwner, key.keyTable));
    nodes.append(node);
  }
  // Children are read after the whole level is listed, so a table shown on this level is marked
  // seen below it.
  for (ReferenceNode& node : nodes)
    if (!node.seen && !node.key.keyTable.isEmpty())
      expand(node.children, node.key.keyOwner, node.key.keyTable, read, shown);
}

}  // namespace

QList<NamedColumns> gatherColumns(const QList<std::pair<QString, QString>>& rows) {
  QList<NamedColumns> lists;
  for (const auto& [name, column] : rows) {
    if (lists.isEmpty() || lists.last().name != name) lists.append({name, {}});
    lists.last().columns << column;
  }
  return lists;
}

QList<Constraint> readConstraints(db::Session& session, const QString& owner, const QString& table) {
  QList<std::pair<QString, QString>> rows;
  forEachRow(session, kConsColumns, {{"upor", owner}, {"tabela", table}},
             [&rows](const db::Query& q) { rows.append({q.field(0).asString(), q.field(1).asString()}); });
  const QHash<QString, QStringList> columns = byName(gatherColumns(rows));
  QList<Constraint> constraints;
  forEachRow(session, kConstraints, {{"upor", owner}, {"tabela", table}}, [&](const db::Query& q) {
    Constraint c{text(q, "OWNER"),           text(q, "CONSTRAINT_NAME"), text(q, "CONSTRAINT_TYPE"),
                 text(q, "R_OWNER"),         text(q, "R_CONSTRAINT_NAME"), text(q, "DELETE_RULE"),
                 text(q, "SEARCH_CONDITION"), text(q, "STATUS"),         {}};
    c.columns = columns.value(c.name);
    constraints.append(c);
  });
  return constraints;
}

QList<Index> readIndexes(db::Session& session, const QString& owner, const QString& table, const QString& link) {
  QList<std::pair<QString, QString>> rows;
  forEachRow(
      session, kIndColumns, {{"upor", owner}, {"tabela", table}},
      [&rows](const db::Query& q) {
        rows.append({tableKey(q.field(0).asString(), q.field(1).asString()), q.field(2).asString()});
      },
      link);
  const QHash<QString, QStringList> columns = byName(gatherColumns(rows));
  QList<Index> indexes;
  forEachRow(
      session, kIndexes, {{"upor", owner}, {"tabela", table}},
      [&](const db::Query& q) {
        Index index{text(q, "OWNER"), text(q, "INDEX_NAME"), text(q, "UNIQUENESS"), {}};
        index.columns = columns.value(tableKey(index.owner, index.name));
        indexes.append(index);
      },
      link);
  return indexes;
}

QList<Trigger> readTriggers(db::Session& session, const QString& owner, const QString& table) {
  QList<Trigger> triggers;
  forEachRow(session, kTriggers, {{"upor", owner}, {"tabela", table}}, [&triggers](const db::Query& q) {
    triggers.append({q.field(0).asString(), q.field(1).asString()});
  });
  return triggers;
}

QList<ForeignKeyRef> readForeignKeys(db::Session& session, const QString& owner, const QString& table) {
  QList<ForeignKeyRef> keys;
  forEachRow(session, kRef, {{"oper", owner}, {"tabela", table}}, [&keys](const db::Query& q) {
    keys.append({text(q, "CONSTRAINT_NAME"), text(q, "R_OWNER"), text(q, "R_CONSTRAINT_NAME"), {}, {}});
  });
  // The referenced keys are read once the list is closed.
  for (ForeignKeyRef& key : keys) {
    bool found = false;
    forEachRow(session, kDeepRef, {{"oper", key.keyOwner}, {"cons", key.keyName}}, [&](const db::Query& q) {
      if (found) return;
      found = true;
      key.keyOwner = q.field(0).asString();
      key.keyTable = q.field(1).asString();
    });
    key.keyColumns = keyColumns(session, key.keyOwner, key.keyName);
  }
  return keys;
}

QList<ReferenceNode> referenceTree(const QString& owner, const QString& table, const ForeignKeyReader& read) {
  QSet<QString> shown{tableKey(owner, table)};
  QList<ReferenceNode> nodes;
  expand(nodes, owner, table, read, shown);
  return nodes;
}

QList<ReferenceNode> readReferenceTree(db::Session& session, const QString& owner, const QString& table) {
  return referenceTree(owner, table, [&session](const QString& o, const QString& t) {
    return readForeignKeys(session, o, t);
  });
}

QString referenceNodeText(const ReferenceNode& node) {
  return (node.seen ? QStringLiteral("*") : QStringLiteral(" ")) + u' ' + node.key.keyName + QStringLiteral("   ") +
         node.key.keyTable + QStringLiteral(" (") + node.key.keyOwner + QStringLiteral(")  ") +
         node.key.keyColumns.join(u',');
}

QList<Dependence> readDependences(db::Session& session, const QString& owner, const QString& table) {
  QList<Dependence> keys;
  forEachRow(session, kPK, {{"oper", owner}, {"tabela", table}}, [&keys](const db::Query& q) {
    keys.append({q.field(0).asString(), q.field(1).asString(), {}, {}});
  });
  for (Dependence& key : keys) {
    key.keyColumns = keyColumns(session, key.owner, key.keyName);
    forEachRow(session, kDepen, {{"oper", key.owner}, {"pk", key.keyName}},
               [&key](const db::Query& q) { key.tables << q.field(1).asString(); });
  }
  return keys;
}

QString dependenceNodeText(const Dependence& dependence) {
  return dependence.keyName + QStringLiteral(" (") + dependence.owner + QStringLiteral(")   ") +
         dependence.keyColumns.join(u',');
}

}  // namespace nuvo::schema
