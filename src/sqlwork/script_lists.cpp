#include "sqlwork/script_lists.h"

#include <QHash>

#include "db/dataset.h"
#include "db/query.h"
#include "shell/sql_catalog.h"

namespace nuvo::sqlwork {

namespace {

// The fixed texts; an "...Owner" text lists only one owner's rows (multi-installation mode).
const SqlText kList{"execScr.quSkripte",
                    {"SELECT exs.*,exs.rowid FROM NUVO_UTIL.NUVO_EXS exs WHERE   SCRIPT_NAME=:SKRIPTA AND "
                     "  (:stat ='A' or SCRIPT_STAT=:stat) AND   (:napaka='A' or  instr( upper(script_err),:napaka)<>0 )"
                     "   AND   (:filter='A' or nuvo_util.getMemoFiltExs(rowid,:filter) ='T')ORDER BY SCRIPT_COUNTER"}};
const SqlText kListOwner{"execScr.quSkripteOwner",
                         {"SELECT exs.*,exs.rowid FROM NUVO_UTIL.NUVO_EXS exs WHERE   SCRIPT_OWNER=:upor and "
                          "  SCRIPT_NAME=:SKRIPTA AND   (:stat ='A' or SCRIPT_STAT=:stat) AND "
                          "  (:napaka='A' or  instr( upper(script_err),:napaka)<>0 )   AND "
                          "  (:filter='A' or nuvo_util.getMemoFiltExs(rowid,:filter) ='T')ORDER BY SCRIPT_COUNTER"}};
const SqlText kFind{"execScr.quFind",
                    {"SELECT exs.*,exs.rowid FROM NUVO_UTIL.NUVO_EXS exs",
                     "    WHERE (:skripte='A' or script_name like :skripte) and",
                     "           (:stat ='A' or SCRIPT_STAT=:stat) AND",
                     "           (:napaka='A' or  instr(script_err,:napaka)<>0 )   AND ",
                     "           (:filter='A' or nuvo_util.getMemoFiltExs(rowid,:filter) ='T')",
                     "ORDER BY SCRIPT_NAME,SCRIPT_COUNTER"}};
const SqlText kFindOwner{"execScr.quFindOwner",
                         {"SELECT exs.*,exs.rowid FROM NUVO_UTIL.NUVO_EXS exs",
                          "    WHERE SCRIPT_OWNER=:upor and (:skripte='A' or script_name like :skripte) and",
                          "           (:stat ='A' or SCRIPT_STAT=:stat) AND",
                          "           (:napaka='A' or  instr(script_err,:napaka)<>0 )   AND ",
                          "           (:filter='A' or nuvo_util.getMemoFiltExs(rowid,:filter) ='T')",
                          "ORDER BY SCRIPT_NAME,SCRIPT_COUNTER"}};
const SqlText kAllScripts{"execScr.quAllScripts",
                          {" select  /*+ INDEX(nuvo_exs, NUVO_EX1)*/ script_name,count(*) from nuvo_util.nuvo_exs "
                           "group by script_name order by script_name desc"}};
const SqlText kAllScriptsOwner{"execScr.quAllScriptsOwner",
                               {" select script_name,count(*) from nuvo_util.nuvo_exs   where script_owner=:upor "
                                "group by script_name order by script_name desc"}};
const SqlText kFltScripts{"execScr.quFltScripts",
                          {"SELECT  script_name FROM NUVO_UTIL.NUVO_EXS exs", "    WHERE ",
                           "           SCRIPT_NAME  like :SKRIPTA and",
                           "           (:stat='A' or SCRIPT_STAT=:stat) and",
                           "           ( :napaka ='A' or  instr( upper(script_err),:napaka)<>0)  and ",
                           "           ( :filter ='A' or  nuvo_util.getMemoFiltExs(rowid,:filter) ='T' )", "",
                           "GROUP  BY SCRIPT_NAME"}};
const SqlText kFltScriptsOwner{"execScr.quFltScriptsOwner",
                               {"SELECT  script_name FROM NUVO_UTIL.NUVO_EXS exs", "    WHERE ",
                                "           SCRIPT_OWNER=:upor and",
                                "           SCRIPT_NAME  like :SKRIPTA and",
                                "           (:stat='A' or SCRIPT_STAT=:stat) and",
                                "           ( :napaka ='A' or  instr( upper(script_err),:napaka)<>0)  and ",
                                "           ( :filter ='A' or  nuvo_util.getMemoFiltExs(rowid,:filter) ='T' )", "",
                                "GROUP  BY SCRIPT_NAME"}};
// Statistics: a script stored over several seconds has several dates; its groups are per status
// with the newest date, so no count is split. Undated rows sort as stored on 1 January 2000. The
// date is shown in the session's date format.
const SqlText kStat{"execScr.quStat",
                    {" select /*+ INDEX(nuvo_exs, NUVO_EX1)*/ null script_owner,script_name,to_char(max(script_date)) script_date,"
                     "script_stat,count(*) stevec from nuvo_util.nuvo_exs   where (:skripta='A' or script_name like :skripta)"
                     "    group by script_name,script_stat  order by nvl(max(script_date),to_date('01.01.2000','DD.MM.YYYY')) desc,"
                     "script_name desc,script_stat desc"}};
const SqlText kStatOwner{"execScr.quStatOwner",
                         {" select /*+ INDEX(nuvo_exs, NUVO_EX1)*/ script_owner,script_name,to_char(max(script_date)) script_date,"
                          "script_stat,count(*) stevec from nuvo_util.nuvo_exs  where (:skripta='A' or script_name like "
                          ":skripta)    and script_owner=:upor    group by script_owner,script_name,script_stat   order by "
                          "nvl(max(script_date),to_date('01.01.2000','DD.MM.YYYY')) desc,script_name desc,script_stat desc"}};
// A table without the owner and date columns.
const SqlText kStatNoDate{"execScr.quStatNoDate",
                          {" select /*+ INDEX(nuvo_exs, NUVO_EX1)*/ null script_owner,script_name,null script_date,"
                           "script_stat,count(*) stevec from nuvo_util.nuvo_exs   where (:skripta='A' or script_name like "
                           ":skripta)    group by script_name,script_stat  order by script_name desc,script_stat desc"}};
const SqlText kReset{"execScr.sbNeizvedeno",
                     {"update  NUVO_UTIL.NUVO_EXS set script_stat='N',script_err=''  where  SCRIPT_NAME=:skripta"}};
const SqlText kResetOwner{"execScr.sbNeizvedenoOwner",
                          {"update  NUVO_UTIL.NUVO_EXS set script_stat='N',script_err=''  where  SCRIPT_NAME=:skripta",
                           " and SCRIPT_OWNER=:upor"}};
const SqlText kDelete{"execScr.deleteScript", {"DELETE NUVO_UTIL.NUVO_EXS WHERE SCRIPT_NAME=:skripta"}};
const SqlText kDeleteOwner{"execScr.deleteScriptOwner",
                           {"DELETE NUVO_UTIL.NUVO_EXS WHERE SCRIPT_NAME=:skripta", " and SCRIPT_OWNER=:upor"}};

void bindStrings(db::SqlCommand& command, std::initializer_list<std::pair<const char*, QString>> binds) {
  for (const auto& [name, value] : binds) {
    command.declareVariable(QLatin1String(name), db::DataType::String);
    command.setVariable(QLatin1String(name), value);
  }
}

void bindFilter(db::SqlCommand& command, const ListFilter& filter) {
  bindStrings(command, {{"stat", filter.stat}, {"napaka", filter.napaka}, {"filter", filter.filter}});
}

QStringList firstColumn(db::Query& query) {
  QStringList values;
  for (query.execute(); !query.eof(); query.next()) values << query.field(0).asString();
  return values;
}

// Runs a statement about one whole script.
void runForScript(db::Session& session, const QStringList& sql, const QString& name, const ScriptScope& scope) {
  db::Query q(&session);
  q.setSql(sql);
  bindStrings(q, {{"skripta", name}});
  bindOwner(q, scope);
  q.execute();
}


// The column of a status among the counts: X, N, E, D; -1 for any other.
int statusColumn(QChar status) {
  static const QString order = QStringLiteral("XNED");
  return static_cast<int>(order.indexOf(status));
}

bool kept(const StatLine& line, const StatFilter& filter) {
  if (!filter.notExecuted && !filter.errors && !filter.deleted) return true;
  return (filter.notExecuted && !line.counts[1].isEmpty()) || (filter.errors && !line.counts[2].isEmpty()) ||
         (filter.deleted && !line.counts[3].isEmpty());
}

}  // namespace

QVector<StatLine> statisticsLines(const QVector<StatGroup>& groups, const StatFilter& filter) {
  QVector<StatLine> lines;
  QHash<QString, qsizetype> lineOf;  // script name and owner -> index in lines
  for (const StatGroup& g : groups) {
    const QString key = g.name + QChar(0) + g.owner;
    auto it = lineOf.find(key);
    if (it == lineOf.end()) {
      it = lineOf.insert(key, lines.size());
      lines.push_back({g.name, g.owner, g.date, {}});
    }
    const int column = statusColumn(g.status);
    if (column < 0) continue;
    QString& cell = lines[*it].counts[column];
    cell = QString::number(cell.toLongLong() + g.count);
  }
  QVector<StatLine> result;
  for (const StatLine& line : lines)
    if (kept(line, filter)) result.push_back(line);
  return result;
}

QVector<StatGroup> statisticsGroups(db::Session& session, const QString& pattern, const ScriptScope& scope) {
  db::Query q(&session);
  q.setSql(scope.owner ? kStatOwner.lines() : scope.ownerColumns ? kStat.lines() : kStatNoDate.lines());
  bindStrings(q, {{"skripta", pattern}});
  bindOwner(q, scope);
  QVector<StatGroup> groups;
  for (q.execute(); !q.eof(); q.next()) {
    const QString status = q.field(3).asString();
    groups.push_back({q.field(1).asString(), q.field(0).asString(), q.field(2).asString(),
                      status.isEmpty() ? QChar() : status[0], q.field(4).asInteger()});
  }
  return groups;
}

void setScriptList(db::Dataset& list, const QString& name, const ScriptScope& scope, const ListFilter& filter) {
  list.close();
  list.deleteVariables();
  list.setSql(scopedSql(scope, kList, kListOwner));
  bindStrings(list, {{"SKRIPTA", name}});
  bindFilter(list, filter);
  bindOwner(list, scope);
}

void setSearch(db::Dataset& found, const QString& pattern, const ScriptScope& scope, const ListFilter& filter) {
  found.close();
  found.deleteVariables();
  found.setSql(scopedSql(scope, kFind, kFindOwner));
  bindStrings(found, {{"skripte", pattern}});
  bindFilter(found, filter);
  bindOwner(found, scope);
}

QStringList scriptNames(db::Session& session, const ScriptScope& scope) {
  db::Query q(&session);
  q.setSql(scopedSql(scope, kAllScripts, kAllScriptsOwner));
  bindOwner(q, scope);
  return firstColumn(q);
}

QStringList filteredScriptNames(db::Session& session, const QString& pattern, const ScriptScope& scope,
                                const ListFilter& filter) {
  db::Query q(&session);
  q.setSql(scopedSql(scope, kFltScripts, kFltScriptsOwner));
  bindStrings(q, {{"SKRIPTA", pattern}});
  bindFilter(q, filter);
  bindOwner(q, scope);
  return firstColumn(q);
}

void resetScript(db::Session& session, const QString& name, const ScriptScope& scope) {
  runForScript(session, scopedSql(scope, kReset, kResetOwner), name, scope);
}

void deleteScript(db::Session& session, const QString& name, const ScriptScope& scope) {
  runForScript(session, scopedSql(scope, kDelete, kDeleteOwner), name, scope);
}

}  // namespace nuvo::sqlwork
