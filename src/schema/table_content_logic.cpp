#include "schema/table_content_logic.h"

namespace nuvo::schema {

QList<ContentCategory> tableContent(const QList<Constraint>& constraints, const QList<Index>& indexes,
                                    const QList<Trigger>& triggers) {
  ContentCategory primary{QStringLiteral("primary key "), {}};
  ContentCategory indices{QStringLiteral("indices"), {}};
  ContentCategory references{QStringLiteral("referential constraint"), {}};
  ContentCategory unique{QStringLiteral("unique constraints"), {}};
  ContentCategory checks{QStringLiteral("check constraint"), {}};
  ContentCategory trigs{QStringLiteral("triggers"), {}};
  for (const Constraint& c : constraints) {
    const QString name = c.owner + u'.' + c.name;
    const QString columns = c.columns.join(u',');
    if (c.type == u"P")
      primary.items << name + QStringLiteral("    (") + columns + u')';
    else if (c.type == u"R")
      references.items << name + QStringLiteral("      (") + columns + QStringLiteral(")   ") + c.rConstraintName +
                              QStringLiteral("  (") + c.deleteRule + u')';
    else if (c.type == u"U")
      unique.items << name + QStringLiteral("  (") + columns + u')';
    else if (c.type == u"C")
      checks.items << name + QStringLiteral("        ") + c.searchCondition;
  }
  for (const Index& index : indexes)
    indices.items << index.owner + u'.' + index.name + QStringLiteral("    (") + index.columns.join(u',') + u')' +
                         (index.uniqueness == u"UNIQUE" ? QStringLiteral("   UNIQUE") : QString());
  for (const Trigger& trigger : triggers) trigs.items << trigger.owner + u'.' + trigger.name;
  return {primary, indices, references, unique, checks, trigs};
}

QList<ContentCategory> readTableContent(db::Session& session, const QString& owner, const QString& table) {
  const QList<Trigger> triggers = readTriggers(session, owner, table);
  const QList<Constraint> constraints = readConstraints(session, owner, table);
  const QList<Index> indexes = readIndexes(session, owner, table);
  return tableContent(constraints, indexes, triggers);
}

}  // namespace nuvo::schema
