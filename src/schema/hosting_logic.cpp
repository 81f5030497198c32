#include "schema/hosting_logic.h"

#include <QRegularExpression>

#include <algorithm>

#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "db/sql_text.h"

namespace nuvo::schema {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

const nuvo::SqlText kReadInstallations{
    "moreInstall.readInstallations",
    {"select userindex, username, fullname, instance, user_kade, pass_kade, user_zozuro, pass_zozuro",
     "from nuvo_util.nuvo_instalations where username like :inst order by userindex"}};
const nuvo::SqlText kInsertInstallation{
    "moreInstall.insertInstallation",
    {"insert into nuvo_util.nuvo_instalations",
     " (userindex, username, fullname, instance, user_kade, pass_kade, user_zozuro, pass_zozuro)",
     "values (:idx, :username, :fullname, :instance, :user_kade, :pass_kade, :user_zozuro, :pass_zozuro)"}};
const nuvo::SqlText kUpdateInstallation{
    "moreInstall.updateInstallation",
    {"update nuvo_util.nuvo_instalations set userindex=:idx, username=:username, fullname=:fullname,",
     " instance=:instance, user_kade=:user_kade, pass_kade=:pass_kade, user_zozuro=:user_zozuro,",
     " pass_zozuro=:pass_zozuro", "where userindex=:oldidx"}};
const nuvo::SqlText kInstallationUsersOf{"moreInstall.quInstUporDelete",
                                         {"select * from nuvo_util.nuvo_inst_users where userIndex=:userIndex"}};
const nuvo::SqlText kDeleteStatementRows{"moreInstall.quBrisiNuvoEXS",
                                         {"delete nuvo_util.nuvo_exs", "where script_owner=:upor"}};
const nuvo::SqlText kDeleteInstallationUsers{"moreInstall.quBrisiInstUsers",
                                             {"delete nuvo_util.nuvo_inst_users ", "where userIndex= :userIndex"}};
const nuvo::SqlText kDeleteInstallation{"moreInstall.quInstallDelete",
                                        {"delete nuvo_util.nuvo_instalations where userIndex= :userIndex"}};
const nuvo::SqlText kSource{
    "moreInstall.quSource",
    {"select text from all_source", "  where owner=:upor and name=:objekt and type=:tip", "order by line"}};
const nuvo::SqlText kTrigger{"moreInstall.quTrigger",
                             {"select description, when_clause, trigger_body from all_triggers",
                              "where table_owner=:upor and trigger_name=:objekt"}};
const nuvo::SqlText kView{"moreInstall.quView",
                          {"select view_name, text from all_views", "where owner=:upor and view_name=:objekt"}};
const nuvo::SqlText kViewColumns{
    "moreInstall.viewColumns",
    {"select column_name from all_tab_columns where owner=:upor and table_name=:objekt order by column_id"}};
const nuvo::SqlText kOwnRowsExist{"moreInstall.quNuvoEXSExists",
                                  {"select * from nuvo_util.nuvo_exs where script_owner=:upor"}};
// The installation user's own statement table is read unqualified: the logged-on schema's.
const nuvo::SqlText kCopyOwnRows{
    "moreInstall.quNuvoEXS",
    {"begin",
     "  for r in (select * from nuvo_exs) loop",
     "    insert into nuvo_util.nuvo_exs",
     "      (script_name, script_counter, script_stat, script_cont, script_err, script_owner, script_date)",
     "    values (r.script_name, r.script_counter, r.script_stat, r.script_cont, r.script_err, :upor, sysdate);",
     "  end loop;",
     "  commit;",
     "  execute immediate 'DROP TABLE NUVO_EXS';",
     "  commit;",
     "end;"},
    "IZAS2"};


QString text(const db::Query& query, const char* name) { return query.field(QString::fromLatin1(name)).asString(); }

void bindAll(db::Query& query, const Installation& row) {
  const QList<QPair<const char*, QVariant>> values{
      {"idx", row.index},           {"username", row.userName},     {"fullname", row.fullName},
      {"instance", row.instance},   {"user_kade", row.userKade},    {"pass_kade", row.passKade},
      {"user_zozuro", row.userZozuro}, {"pass_zozuro", row.passZozuro}};
  for (const auto& [name, value] : values) {
    query.declareVariable(name, name == QLatin1String("idx") ? db::DataType::Integer : db::DataType::String);
    query.setVariable(name, value);
  }
}

// The statement's text as a list of source lines: a dictionary line keeps its own line end, which
// the rebuilt text replaces by CR LF.
QString withoutLineEnd(QString line) {
  while (line.endsWith(u'\n') || line.endsWith(u'\r')) line.chop(1);
  return line;
}

}  // namespace

const nuvo::SqlText kScriptsSince{
    "moreInstall.quSCR_OD",
    {"select to_char(trunc(max(script_date)))  datum from nuvo_util.nuvo_exs", "where script_owner is not null"}};
const nuvo::SqlText kScriptNames{
    "moreInstall.quSkripte",
    {"select script_name from nuvo_util.nuvo_exs",
     "where script_date >= to_date(:datum) and script_owner is not null and script_name like :skripte",
     "group by script_name", "order by script_name"}};
const nuvo::SqlText kInstallationsRun{
    "moreInstall.quSCR_Pregled1",
    {"select * from nuvo_util.nuvo_instalations i",
     "where exists (select 1 from nuvo_util.nuvo_exs e where e.script_owner = i.username",
     "  and e.script_date >= to_date(:datum) and instr(:status, e.script_stat) > 0",
     "  and e.script_name like :skripte)", "order by UserIndex"}};
const nuvo::SqlText kInstallationsMiss{
    "moreInstall.quScr_Pregled2",
    {"select i.userIndex, i.userName from nuvo_util.nuvo_instalations i",
     "where exists (select 1 from nuvo_util.nuvo_exs e",
     "  where e.script_date >= to_date(:datum) and e.script_owner is not null and e.script_name like :skripte",
     "    and not exists (select 1 from nuvo_util.nuvo_exs o where o.script_owner = i.username",
     "      and o.script_name = e.script_name and o.script_date >= to_date(:datum)))",
     "order by UserIndex"}};
const nuvo::SqlText kScriptRowsOf{
    "moreInstall.quNapake1",
    {"select * from nuvo_util.nuvo_exs",
     "where script_owner=:upor and script_date >= to_date(:datum) and instr(:status, script_stat) > 0",
     "  and script_name like :skripte", "order by script_name, script_counter"}};
const nuvo::SqlText kScriptsMissingOf{
    "moreInstall.quNapake2",
    {"select script_name from nuvo_util.nuvo_exs",
     "where script_date >= to_date(:datum) and script_owner is not null and script_name like :skripte", "minus",
     "select script_name from nuvo_util.nuvo_exs",
     "where script_owner=:upor and script_date >= to_date(:datum) and script_name like :skripte"}};
const nuvo::SqlText kInvalidObjects{
    "moreInstall.quInvalid",
    {"select object_name, object_type, status,",
     "  decode(object_name,'GETSEQUENCE','@',decode(object_type,'PACKAGE','A','PACKAGE BODY','B','C')) poz",
     "from all_objects where owner=:lastnik and status='INVALID'",
     "  and object_type in ('FUNCTION','PACKAGE','PACKAGE BODY','PROCEDURE','TRIGGER','VIEW')",
     "order by Poz,object_type,object_name"}};
const nuvo::SqlText kInvalidCounts{
    "moreInstall.quErrorUpor",
    {"select owner, count(*) stevilo from all_objects",
     "where status='INVALID' and object_type in ('FUNCTION','PACKAGE','PACKAGE BODY','PROCEDURE','TRIGGER','VIEW')",
     "  and owner in (select user_kade from nuvo_util.nuvo_instalations",
     "                union select user_zozuro from nuvo_util.nuvo_instalations",
     "                union select 'KADE' from dual union select 'NUVO_UTIL' from dual)",
     "group by owner", "order by owner"}};
const nuvo::SqlText kOwnerErrors{
    "moreInstall.quErrors",
    {"select substr(object_name,1,40) object_name, object_type||'     ' object_type,",
     "  to_char(last_ddl_time,'DD.MM.YYYY  HH24:MI')||'                ' last_modification,",
     "  decode(object_name,'GETSEQUENCE','@',decode(object_type,'PACKAGE','A','PACKAGE BODY','B','C')) poz,",
     "  object_name full_name",
     "from all_objects where owner=:lastnik and status='INVALID'",
     "  and object_type in ('FUNCTION','PACKAGE','PACKAGE BODY','PROCEDURE','TRIGGER','VIEW')",
     "order by Poz,object_type,object_name"}};
const nuvo::SqlText kErrorLines{"moreInstall.quErrorsVrstice",
                                {"select line,position,text,message_number  from all_errors ",
                                 " where owner=:lastnik and name=:imeProcedure", " order by sequence"}};
const nuvo::SqlText kInstallationRows{
    "moreInstall.quInstal", {"select rowid,xxx.* from nuvo_util.nuvo_instalations xxx", "order by userIndex"}};
const nuvo::SqlText kInstallationList{
    "moreInstall.quInst", {"select * from nuvo_util.nuvo_instalations where userName like :inst  order by userIndex"}};
const nuvo::SqlText kInstallationListInvalid{
    "moreInstall.quInstInvalid",
    {"select * from nuvo_util.nuvo_instalations where userName in ",
     "   ( select owner userName from all_objects ", "     where  status='INVALID'   and",
     "            object_type in ('FUNCTION','PACKAGE','PACKAGE BODY','PROCEDURE','TRIGGER','VIEW')",
     "     group by owner  )", "order by userIndex"}};

QList<Installation> readInstallations(db::Session& session, const QString& filter) {
  db::Query query(&session);
  query.setSql(kReadInstallations);
  query.declareVariable("inst", db::DataType::String);
  query.setVariable("inst", filter.isEmpty() ? QStringLiteral("%") : filter);
  query.execute();
  QList<Installation> rows;
  for (; !query.eof(); query.next())
    rows << Installation{query.field("USERINDEX").asInteger(), text(query, "USERNAME"), text(query, "FULLNAME"),
                         text(query, "INSTANCE"),  text(query, "USER_KADE"), text(query, "PASS_KADE"),
                         text(query, "USER_ZOZURO"), text(query, "PASS_ZOZURO")};
  return rows;
}

QString statusLetters(bool run, bool failed, bool notRun) {
  QString letters;
  if (run) letters += u'X';
  if (failed) letters += u'E';
  if (notRun) letters += u'N';
  return letters;
}

QString orderingColumn(const QString& choice) {
  if (choice == u"UPORABNIK") return QStringLiteral("userName");
  if (choice == u"ZADNJA SKRIPTA") return QStringLiteral("LastScriptDate");
  if (choice == u"INSTANCA") return QStringLiteral("Instance");
  return QStringLiteral("UserIndex");
}

Installation newInstallationDefaults(const QVariant& maxIndex, const QVariant& maxInstance) {
  Installation row;
  row.index = (maxIndex.isValid() && !maxIndex.isNull() ? maxIndex.toLongLong() : 0) + 1;
  row.instance = maxInstance.isValid() ? maxInstance.toString() : QString();
  const QString n = QString::number(row.index);
  row.userName = row.userKade = QStringLiteral("IZAS") + n;
  row.userZozuro = QStringLiteral("FZAS") + n;
  return row;
}

QString accountName(const QString& typed) {
  static const QRegularExpression kIdentifier(QStringLiteral("^[A-Z][A-Z0-9_$#]{0,29}$"));
  const QString name = typed.trimmed().toUpper();
  return kIdentifier.match(name).hasMatch() ? name : QString();
}

QString quotedPassword(const QString& password) {
  if (password.isEmpty() || password.size() > 30 || password.contains(u'"')) return QString();
  return u'"' + password + u'"';
}

QStringList passwordChangeStatements(const Installation& row, const QString& oldPassKade,
                                     const QString& oldPassZozuro, QStringList* refused) {
  QStringList statements;
  const QList<QPair<QString, QPair<QString, QString>>> users{{row.userKade, {row.passKade, oldPassKade}},
                                                              {row.userZozuro, {row.passZozuro, oldPassZozuro}}};
  for (const auto& [user, passwords] : users) {
    if (user.trimmed().isEmpty() || passwords.first == passwords.second) continue;
    const QString name = accountName(user);
    const QString password = quotedPassword(passwords.first);
    if (name.isEmpty() || password.isEmpty()) {
      if (refused) *refused << user;
      continue;
    }
    statements << QStringLiteral("ALTER USER ") + name + QStringLiteral(" IDENTIFIED BY ") + password;
  }
  return statements;
}

void insertInstallation(db::Session& session, const Installation& row) {
  db::Query query(&session);
  query.setSql(kInsertInstallation);
  bindAll(query, row);
  query.execute();
  session.commit();
}

void updateInstallation(db::Session& session, qint64 originalIndex, const Installation& row) {
  db::Query query(&session);
  query.setSql(kUpdateInstallation);
  bindAll(query, row);
  query.declareVariable("oldidx", db::DataType::Integer);
  query.setVariable("oldidx", originalIndex);
  query.execute();
  session.commit();
}

int deleteInstallation(db::Session& session, const Installation& row,
                       const std::function<void(const QString&)>& report) {
  db::Query users(&session);
  users.setSql(kInstallationUsersOf);
  users.declareVariable("userIndex", db::DataType::Integer);
  users.setVariable("userIndex", row.index);
  users.execute();
  QStringList names;
  for (; !users.eof(); users.next()) names << users.field("USERNAME").asString();
  users.close();
  for (const QString& user : names) {
    const QString name = accountName(user);
    if (name.isEmpty()) {
      if (report) report(QStringLiteral("NAPAKA: DROP USER ") + user);
      continue;
    }
    db::Query drop(&session);
    drop.setSql(QStringLiteral("DROP USER ") + name);
    try {
      drop.execute();
    } catch (const db::Error&) {
      if (report) report(QStringLiteral("NAPAKA: DROP USER ") + name);
    }
  }
  try {
    db::Query rows(&session);
    rows.setSql(kDeleteStatementRows);
    rows.declareVariable("upor", db::DataType::String);
    rows.setVariable("upor", row.userName);
    rows.execute();
    const int deleted = static_cast<int>(rows.rowsProcessed());
    for (const SqlText* text : {&kDeleteInstallationUsers, &kDeleteInstallation}) {
      db::Query del(&session);
      del.setSql(*text);
      del.declareVariable("userIndex", db::DataType::Integer);
      del.setVariable("userIndex", row.index);
      del.execute();
    }
    session.commit();
    return deleted;
  } catch (...) {
    session.rollback();
    throw;
  }
}

bool isWildcardOnly(const QString& value) {
  const QString trimmed = value.trimmed();
  return std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c == u'%'; });
}

DeleteFilter buildDeleteFilter(const QString& lessThan, const QString& like, const QString& runUpTo) {
  DeleteFilter filter;
  QStringList conditions;
  if (!isWildcardOnly(lessThan)) {
    conditions << QStringLiteral("script_name <= :manjse");
    filter.binds << qMakePair(QStringLiteral("manjse"), lessThan);
  }
  if (!isWildcardOnly(like)) {
    conditions << QStringLiteral("script_name like :enaka || '%'");
    filter.binds << qMakePair(QStringLiteral("enaka"), like);
  }
  if (!isWildcardOnly(runUpTo)) {
    conditions << QStringLiteral("script_date <= to_date(:od)");
    filter.binds << qMakePair(QStringLiteral("od"), runUpTo.trimmed());
  }
  if (!conditions.isEmpty()) filter.where = QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
  return filter;
}

QString likeAfterLessThan(const QString& lessThan, const QString& like) {
  if (isWildcardOnly(lessThan)) return like;
  return lessThan.trimmed().left(1) + u'%';
}

namespace {
void bindFilter(db::Query& query, const DeleteFilter& filter) {
  for (const auto& [name, value] : filter.binds) {
    query.declareVariable(name, db::DataType::String);
    query.setVariable(name, value);
  }
}
}  // namespace

QStringList scriptsToDelete(db::Session& session, const DeleteFilter& filter) {
  if (filter.empty()) return {};
  db::Query query(&session);
  query.setSql(QStringLiteral(" select script_name from nuvo_util.nuvo_exs ") + filter.where +
               QStringLiteral(" group by script_name order by script_name"));
  bindFilter(query, filter);
  query.execute();
  QStringList names;
  for (; !query.eof(); query.next()) names << query.field(0).asString();
  return names;
}

int deleteScripts(db::Session& session, const DeleteFilter& filter) {
  if (filter.empty()) return 0;
  db::Query query(&session);
  query.setSql(QStringLiteral(" delete nuvo_util.nuvo_exs ") + filter.where);
  bindFilter(query, filter);
  try {
    query.execute();
    const int deleted = static_cast<int>(query.rowsProcessed());
    session.commit();
    return deleted;
  } catch (...) {
    session.rollback();
    throw;
  }
}

QString buildObjectSource(db::Session& session, const QString& owner, const QString& name, const QString& type) {
  const QString kind = type.trimmed().toUpper();
  db::Query query(&session);
  const auto bind = [&](const SqlText& sql) {
    query.setSql(sql);
    query.declareVariable("upor", db::DataType::String);
    query.declareVariable("objekt", db::DataType::String);
    query.setVariable("upor", owner);
    query.setVariable("objekt", name);
  };
  if (kind == u"TRIGGER") {
    bind(kTrigger);
    query.execute();
    if (query.eof()) return QString();
    QString statement = QStringLiteral("CREATE OR REPLACE TRIGGER ") + withoutLineEnd(text(query, "DESCRIPTION")) + kCrLf;
    const QString when = text(query, "WHEN_CLAUSE").trimmed();
    if (!when.isEmpty()) statement += QStringLiteral("WHEN (") + when + u')' + kCrLf;
    return statement + text(query, "TRIGGER_BODY");
  }
  if (kind == u"VIEW") {
    bind(kView);
    query.execute();
    if (query.eof()) return QString();
    const QString viewName = text(query, "VIEW_NAME");
    const QString body = text(query, "TEXT");
    query.close();
    bind(kViewColumns);
    query.execute();
    QStringList columns;
    for (; !query.eof(); query.next()) columns << db::quoteColumn(query.field(0).asString());
    const QString list = columns.isEmpty() ? QString() : QStringLiteral(" (") + columns.join(u',') + u')';
    return QStringLiteral("CREATE OR REPLACE VIEW ") + viewName + list + QStringLiteral(" AS ") + body;
  }
  bind(kSource);
  query.declareVariable("tip", db::DataType::String);
  query.setVariable("tip", kind);
  query.execute();
  if (query.eof()) return QString();
  QString statement = QStringLiteral("CREATE OR REPLACE ");
  for (; !query.eof(); query.next()) statement += withoutLineEnd(query.field(0).asString()) + kCrLf;
  return statement;
}

RecompileReport recompileInstallation(db::Session& main, db::Session& installation, const InstallationLogon& logon,
                                      const std::function<QString(const QString&)>& rename,
                                      const std::function<void()>& beforeEach) {
  RecompileReport report;
  if (installation.connected()) installation.logOff();
  try {
    installation.logOn(logon.user, logon.password, logon.database);
  } catch (const db::Error& error) {
    report.logonError = error.message();
    return report;
  }
  report.loggedOn = true;
  struct LogOffAtEnd {
    db::Session& session;
    ~LogOffAtEnd() {
      try {
        if (session.connected()) session.logOff();
      } catch (...) {
      }
    }
  } logOffAtEnd{installation};

  QList<QPair<QString, QString>> objects;
  {
    db::Query list(&installation);
    list.setSql(kInvalidObjects);
    list.declareVariable("lastnik", db::DataType::String);
    list.setVariable("lastnik", logon.user.toUpper());
    list.execute();
    for (; !list.eof(); list.next()) objects << qMakePair(text(list, "OBJECT_NAME"), text(list, "OBJECT_TYPE"));
  }
  for (const auto& [name, type] : objects) {
    if (beforeEach) beforeEach();
    try {
      QString statement = buildObjectSource(main, logon.user.toUpper(), name, type);
      if (statement.isEmpty()) continue;
      if (rename) statement = rename(statement);
      db::Query run(&installation);
      run.setSql(statement);
      run.execute();
      ++report.recreated;
    } catch (const db::Error& error) {
      report.failures << type + u' ' + name + QStringLiteral(": ") + error.message();
    }
  }
  return report;
}

bool copyOwnStatementTable(db::Session& installation, const QString& owner) {
  db::Query exists(&installation);
  exists.setSql(kOwnRowsExist);
  exists.declareVariable("upor", db::DataType::String);
  exists.setVariable("upor", owner);
  exists.execute();
  if (!exists.eof()) return false;
  exists.close();
  db::Query copy(&installation);
  copy.setSql(kCopyOwnRows);
  copy.declareVariable("upor", db::DataType::String);
  copy.setVariable("upor", owner);
  copy.execute();
  return true;
}

}  // namespace nuvo::schema

namespace nuvo::schema {

QString registerFilter(const QString& typed) { return typed.isEmpty() ? QStringLiteral("%") : typed + u'%'; }

QString operatingSystemTemplate() {
  return QStringLiteral("OS") + QString(19, u' ') + u':' + QString(3, u' ') + kCrLf + QStringLiteral("HARD DISK") +
         QString(4, u' ') + u':' + QString(3, u' ') + kCrLf + QStringLiteral("MEMORY") + QString(8, u' ') + u':' +
         QString(2, u' ') + kCrLf;
}

}  // namespace nuvo::schema
