#include "schema/table_data_logic.h"

#include "db/query.h"
#include "platform/ini_file.h"
#include "schema/structure_logic.h"
#include "shell/sql_catalog.h"

namespace nuvo::schema {

QString dataStatement(const QStringList& markedColumns, const QString& owner, const QString& table,
                      const QString& link) {
  QString list;
  if (link.isEmpty()) {
    for (int i = 0; i < markedColumns.size(); ++i) {
      if (i > 0) list += u',';
      list += QStringLiteral("XX.") + markedColumns[i] + u' ';
      if ((i + 1) % 7 == 0) list += QStringLiteral("\r\n");
    }
    list = list.isEmpty() ? QStringLiteral("XX.*,rowid") : list + QStringLiteral(",rowid");
  } else {
    list = markedColumns.isEmpty() ? QStringLiteral("*") : markedColumns.join(u',');
  }
  const QString from = owner + u'.' + table + (link.isEmpty() ? QString() : u'@' + link) + QStringLiteral(" XX");
  return (QStringLiteral("select ") + list + QStringLiteral(" from ") + from).toUpper();
}

QString upperOutsideLiterals(const QString& filter) {
  QString out;
  out.reserve(filter.size());
  bool inside = false;
  for (const QChar c : filter) {
    if (c == u'\'') inside = !inside;
    out += inside ? c : c.toUpper();
  }
  return out;
}

bool isLobType(const QString& dataType) {
  const QString type = dataType.trimmed().toUpper();
  return type == u"CLOB" || type == u"BLOB" || type == u"LOB";
}

QString dataErrorText(const QString& statement, const QString& error, int line, int position) {
  return QStringLiteral("SQL :\r\n") + statement + QStringLiteral("\r\n\r\n") + error + QStringLiteral("\r\nLine : ") +
         QString::number(line) + QStringLiteral("  Pos:") + QString::number(position);
}

std::optional<QString> filterWithColumn(const QString& filter, const QString& column) {
  if (filter.trimmed().isEmpty()) return std::nullopt;
  const QString upper = filter.toUpper();
  QString rest;
  QString op;
  const bool orderBy = upper.contains(QStringLiteral("ORDER BY"));
  if (orderBy) {
    rest = filter.mid(upper.indexOf(QStringLiteral("ORDER BY")) + 8);
  } else {
    const int where = upper.indexOf(QStringLiteral("WHERE"));
    rest = where >= 0 ? filter.mid(where + 5) : filter.mid(4);
    op = QStringLiteral("=");
  }
  // The column is named already when it stands as a whole name in the rest.
  const QString restUpper = rest.toUpper();
  for (int at = restUpper.indexOf(column.toUpper()); at >= 0; at = restUpper.indexOf(column.toUpper(), at + 1)) {
    const auto namePart = [](QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#'; };
    const int end = at + int(column.size());
    if ((at == 0 || !namePart(restUpper[at - 1])) && (end >= restUpper.size() || !namePart(restUpper[end])))
      return std::nullopt;
  }
  const QString trimmed = rest.trimmed();
  QString separator;
  if (!trimmed.isEmpty()) {
    const QString tail = trimmed.toUpper();
    if (orderBy)
      separator = tail.endsWith(u',') ? QString() : QStringLiteral(",");
    else if (!(tail.endsWith(QStringLiteral(" AND")) || tail.endsWith(QStringLiteral(" OR")) || tail == u"AND" ||
               tail == u"OR"))
      separator = QStringLiteral("AND ");
  }
  return filter + u' ' + separator + column + op;
}

Selection splitRoot(const QString& text) {
  const int dot = text.indexOf(u'.');
  if (dot < 0) return {text, {}, {}, {}};
  return {text.left(dot), text.mid(dot + 1).left(30), {}, {}};
}

bool isMarked(const QString& columns, const QString& column) {
  for (const QString& name : columns.split(u',')) {
    if (name.trimmed().compare(column, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

namespace {
const QString kSection = QStringLiteral("SELECTED");
}

QList<Selection> readSelections(const IniFile& ini) {
  QList<Selection> selections;
  const int count = ini.readInteger(kSection, QStringLiteral("S_STEVILO"), 0);
  for (int n = 1; n <= count; ++n) {
    Selection s = splitRoot(ini.readString(kSection, QStringLiteral("S_TAB%1").arg(n)));
    s.columns = ini.readString(kSection, QStringLiteral("S_COL%1").arg(n));
    s.filter = ini.readString(kSection, QStringLiteral("S_FILT%1").arg(n));
    selections << s;
  }
  return selections;
}

void writeSelections(IniFile& ini, const QList<Selection>& selections) {
  QList<Selection> kept;
  for (const Selection& s : selections)
    if (!s.rootText().isEmpty()) kept << s;
  ini.writeInteger(kSection, QStringLiteral("S_STEVILO"), int(kept.size()));
  for (int n = 1; n <= kept.size(); ++n) {
    ini.writeString(kSection, QStringLiteral("S_TAB%1").arg(n), kept[n - 1].rootText());
    ini.writeString(kSection, QStringLiteral("S_COL%1").arg(n), kept[n - 1].columns);
    ini.writeString(kSection, QStringLiteral("S_FILT%1").arg(n), kept[n - 1].filter);
  }
}

QList<ReferencingKey> gatherReferencingKeys(const QList<ReferencingKeyRow>& rows) {
  QList<ReferencingKey> keys;
  for (const ReferencingKeyRow& r : rows) {
    if (keys.isEmpty() || keys.last().owner != r.owner || keys.last().name != r.name)
      keys.append({r.owner, r.table, r.name, {}, r.deleteRule, r.deferrable, r.deferred, r.status});
    keys.last().columns << r.column;
  }
  return keys;
}

namespace {
QString quotedList(const QStringList& names) {
  QStringList out;
  for (const QString& name : names) out << quoted(name);
  return out.join(u',');
}
}  // namespace

KeyScripts keyScripts(const QList<ReferencingKey>& keys, const QString& owner, const QString& table,
                      const QStringList& keyColumns, bool drop) {
  KeyScripts scripts;
  const QString slash = QStringLiteral("/");
  for (const ReferencingKey& key : keys) {
    const QString alter = QStringLiteral("alter table ") + qualified(key.owner, key.table);
    if (drop) {
      scripts.takeDown << alter + QStringLiteral(" drop constraint ") + quoted(key.name) << slash;
      QString add = alter + QStringLiteral(" add constraint ") + quoted(key.name) + QStringLiteral(" foreign key (") +
                    quotedList(key.columns) + QStringLiteral(") references ") + qualified(owner, table);
      if (!keyColumns.isEmpty()) add += QStringLiteral(" (") + quotedList(keyColumns) + u')';
      if (key.deleteRule == u"CASCADE") add += QStringLiteral(" on delete cascade");
      else if (key.deleteRule == u"SET NULL") add += QStringLiteral(" on delete set null");
      if (key.deferrable == u"DEFERRABLE")
        add += key.deferred == u"DEFERRED" ? QStringLiteral(" deferrable initially deferred")
                                           : QStringLiteral(" deferrable initially immediate");
      if (key.status == u"DISABLED") add += QStringLiteral(" disable");
      scripts.restore << add << slash;
    } else {
      scripts.takeDown << alter + QStringLiteral(" disable constraint ") + quoted(key.name) << slash;
      // A key that was disabled before stays disabled.
      if (key.status != u"DISABLED") scripts.restore << alter + QStringLiteral(" enable constraint ") + quoted(key.name) << slash;
    }
  }
  return scripts;
}

namespace {
// The columns of a key are those of the key's own owner: a key kept in another schema than the
// table it references is listed with its own columns.
const SqlText kAllFK{"tabStru.quAllFK",
                     {"select fk.owner, fk.table_name, fk.constraint_name, fk.delete_rule, fk.deferrable, fk.deferred,",
                      "fk.status, col.column_name, col.position",
                      "from all_constraints fk, all_constraints pk, all_cons_columns col",
                      "where pk.owner = :upor and pk.table_name = :tabela and pk.constraint_type = 'P'",
                      "and fk.r_owner = pk.owner and fk.r_constraint_name = pk.constraint_name",
                      "and col.owner = fk.owner and col.constraint_name = fk.constraint_name",
                      "order by fk.owner, fk.constraint_name, col.position"}};
const SqlText kPKColumns{"tabStru.quPKColumns",
                         {"select col.column_name from all_constraints pk, all_cons_columns col",
                          "where pk.owner = :upor and pk.table_name = :tabela and pk.constraint_type = 'P'",
                          "and col.owner = pk.owner and col.constraint_name = pk.constraint_name",
                          "order by col.position"}};

void bindOwnerTable(db::Query& query, const QString& owner, const QString& table) {
  query.declareVariable(QStringLiteral("upor"), db::DataType::String);
  query.declareVariable(QStringLiteral("tabela"), db::DataType::String);
  query.setVariable(QStringLiteral("upor"), owner);
  query.setVariable(QStringLiteral("tabela"), table);
}
}  // namespace

QList<ReferencingKeyRow> readReferencingKeyRows(db::Session& session, const QString& owner, const QString& table) {
  db::Query query(&session);
  query.setSql(kAllFK);
  bindOwnerTable(query, owner, table);
  QList<ReferencingKeyRow> rows;
  for (query.execute(); !query.eof(); query.next()) {
    const auto f = [&query](int i) { return query.field(i).asString(); };
    rows.append({f(0), f(1), f(2), f(3), f(4), f(5), f(6), f(7)});
  }
  return rows;
}

QStringList readPrimaryKeyColumns(db::Session& session, const QString& owner, const QString& table) {
  db::Query query(&session);
  query.setSql(kPKColumns);
  bindOwnerTable(query, owner, table);
  QStringList columns;
  for (query.execute(); !query.eof(); query.next()) columns << query.field(0).asString();
  return columns;
}

QString restoreFileName(const QString& directory, const QString& owner, const QString& table) {
  QString name = owner + u'.' + table + QStringLiteral(".SQL");
  // Characters a file name cannot hold.
  for (QChar& c : name)
    if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>' ||
        c == u'|')
      c = u'_';
  return directory + name;
}

ScriptRun runScript(const QStringList& lines, const std::function<QString(const QString&)>& execute) {
  ScriptRun run;
  for (const QString& line : lines) {
    if (line.startsWith(u'/') || line.trimmed().isEmpty()) continue;
    const QString error = execute(line);
    if (error.isEmpty()) continue;
    run.failed = true;
    run.errors += line + QStringLiteral("\r\n") + error + QStringLiteral("\n\r\n\r");
  }
  return run;
}

}  // namespace nuvo::schema
