#include "schema/hosting_users_logic.h"

#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "schema/hosting_logic.h"
#include "shell/main_context.h"

namespace nuvo::schema {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

const nuvo::SqlText kUserListed{
    "moreInstall.quInstUporCheck",
    {"select userIndex, userName from nuvo_util.nuvo_inst_users ", "where upper(userName)=:upor"}};
const nuvo::SqlText kUserExists{"moreInstall.quUserExists", {"select * from all_users where userName=:upor"}};
const nuvo::SqlText kInsertUser{"moreInstall.quInsertUporMain",
                                {"insert into nuvo_util.nuvo_inst_users", " (userIndex,userName)", "values",
                                 "(:IDX,:UPOR)"}};
const nuvo::SqlText kDeleteUser{"moreInstall.quDeleteUpor",
                                {"delete nuvo_util.nuvo_inst_users where userIndex=:IDX and userName=:UPOR"}};
// The application users of the installation's own ISEC_USERS (read unqualified: the logged-on
// KADE user's) that its list does not hold yet.
const nuvo::SqlText kIsecUsers{
    "moreInstall.quIsecUsers",
    {"select upper(username) uporabnik", "from isec_users", "where upper(username) not in ('KADE') ", "minus",
     "select upper(username) uporabnik ", " from nuvo_util.nuvo_inst_users ", " where userindex in",
     "  ( select userIndex from nuvo_util.nuvo_instalations where userName=:upor)"},
    "IZAS1"};
const nuvo::SqlText kInsertUserInstallation{"moreInstall.quInsertUpor",
                                            {"insert into nuvo_util.nuvo_inst_users", " (userIndex,userName)",
                                             "values", "(:IDX,:UPOR)"},
                                            "IZAS1"};
const nuvo::SqlText kRenameIsecUser{
    "moreInstall.quUpdateIsec", {"update isec_users", "set userName=:uporNew", "where upper(username)=:uporOld"},
    "IZAS1"};

QString accountFailure(const QString& user, const QString& why) { return user + QStringLiteral(": ") + why; }

// Runs `statements` in order on `session`; the error of the first that fails, else empty.
QString runAll(db::Session& session, const QStringList& statements) {
  for (const QString& statement : statements) {
    try {
      db::Query query(&session);
      query.setSql(statement);
      query.execute();
    } catch (const db::Error& e) {
      return e.message();
    }
  }
  return QString();
}

bool exists(db::Session& session, const SqlText& text, const QString& value) {
  db::Query query(&session);
  query.setSql(text);
  query.declareVariable("upor", db::DataType::String);
  query.setVariable("upor", value);
  query.execute();
  return !query.eof();
}

}  // namespace

const nuvo::SqlText kRightsBlock{
    "moreInstall.quPravice",
    {"declare",
     "  uporabnik varchar2(30) := upper(:vUporabnik);",
     "  faze varchar2(10) := :narediGrupe;",
     "  grupa varchar2(31);",
     "  ostanek varchar2(30);",
     "  procedure izvedi(p_stavek varchar2) is",
     "  begin",
     "    execute immediate p_stavek;",
     "  exception",
     "    when others then null;",
     "  end;",
     "begin",
     "  ostanek := substr(uporabnik, 2);",
     "  grupa := 'G' || ostanek;",
     "  if instr(faze, 'G') > 0 then",
     "    izvedi('CREATE ROLE ' || grupa);",
     "    izvedi('GRANT ' || grupa || ' TO I' || ostanek);",
     "    izvedi('GRANT ' || grupa || ' TO F' || ostanek);",
     "    izvedi('GRANT iGrupa TO I' || ostanek);",
     "    izvedi('GRANT iGrupa TO F' || ostanek);",
     "    izvedi('REVOKE DUD FROM I' || ostanek);",
     "    izvedi('REVOKE DUD FROM F' || ostanek);",
     "  end if;",
     "  if instr(faze, 'X') > 0 then",
     "    for o in (select object_name, object_type from all_objects",
     "              where owner = uporabnik and object_name <> 'PCKSEMAPHORSERVER'",
     "                and object_type in ('TABLE','PROCEDURE','FUNCTION','PACKAGE','PACKAGE BODY','VIEW')) loop",
     "      if o.object_type in ('TABLE', 'VIEW') then",
     "        izvedi('GRANT ALL ON \"' || uporabnik || '\".\"' || o.object_name || '\" TO ' || grupa);",
     "      else",
     "        izvedi('GRANT EXECUTE ON \"' || uporabnik || '\".\"' || o.object_name || '\" TO ' || grupa);",
     "      end if;",
     "    end loop;",
     "  end if;",
     "  if instr(faze, 'U') > 0 then",
     "    for u in (select username from nuvo_util.nuvo_inst_users where userindex in",
     "               (select userindex from nuvo_util.nuvo_instalations",
     "                 where username = uporabnik or user_kade = uporabnik)) loop",
     "      izvedi('GRANT ' || grupa || ' TO \"' || u.username || '\"');",
     "      izvedi('GRANT iGrupa TO \"' || u.username || '\"');",
     "    end loop;",
     "  end if;",
     "end;"}};

QString installationRole(const QString& kadeUser) { return QStringLiteral("G") + kadeUser.mid(1); }

QString copiedAccountName(qint64 index, const QString& user) {
  return accountName(QStringLiteral("I") + QString::number(index) + user);
}

QStringList newInstallationAccountStatements(const QString& user, const QString& password, bool* refused) {
  if (refused) *refused = false;
  if (user.trimmed().isEmpty() || password.isEmpty()) return {};
  const QString name = accountName(user);
  const QString quoted = quotedPassword(password);
  if (name.isEmpty() || quoted.isEmpty()) {
    if (refused) *refused = true;
    return {};
  }
  return {QStringLiteral("CREATE USER ") + name + QStringLiteral(" IDENTIFIED BY ") + quoted +
              QStringLiteral(" default tablespace kade_pr  temporary tablespace temp"),
          QStringLiteral("GRANT CONNECT,DUD,DBA TO ") + name,
          QStringLiteral("GRANT EXECUTE ANY PROCEDURE, SELECT ANY DICTIONARY, SELECT ANY TABLE, UNLIMITED "
                         "TABLESPACE, UPDATE ANY TABLE, DELETE ANY TABLE, INSERT ANY TABLE, CREATE SEQUENCE, DROP "
                         "ANY SEQUENCE TO ") +
              name};
}

QStringList applicationAccountStatements(const QString& account) {
  return {QStringLiteral("create user ") + account + QStringLiteral(" identified by \"") + account +
              QStringLiteral("\" default tablespace kade_pr  temporary tablespace temp"),
          QStringLiteral("grant connect to ") + account};
}

void runRightsBlock(db::Session& installation, const QString& schemaUser, const QString& stages) {
  db::Query block(&installation);
  block.setSql(kRightsBlock);
  block.declareVariable("vUporabnik", db::DataType::String);
  block.declareVariable("narediGrupe", db::DataType::String);
  block.setVariable("vUporabnik", schemaUser.left(20));
  block.setVariable("narediGrupe", stages.left(10));
  block.execute();
}

QString addInstallationUser(db::Session& main, qint64 index, const QString& typed) {
  const QString name = accountName(typed);
  if (name.isEmpty())
    return QStringLiteral("Ime uporabnika ni veljavno (črka, nato črke, številke, _, $ ali #; največ 30): ") + typed;
  {
    db::Query listed(&main);
    listed.setSql(kUserListed);
    listed.declareVariable("upor", db::DataType::String);
    listed.setVariable("upor", name);
    listed.execute();
    if (!listed.eof())
      return QStringLiteral("Izbrani uporabnik že obstaja ! Index: ") + listed.field(0).asString() +
             QStringLiteral("  ") + listed.field(1).asString();
  }
  if (!exists(main, kUserExists, name)) {
    const QString error = runAll(main, applicationAccountStatements(name));
    if (!error.isEmpty()) return accountFailure(name, error);
  }
  try {
    db::Query insert(&main);
    insert.setSql(kInsertUser);
    insert.declareVariable("IDX", db::DataType::Integer);
    insert.declareVariable("UPOR", db::DataType::String);
    insert.setVariable("IDX", index);
    insert.setVariable("UPOR", name);
    insert.execute();
    main.commit();
  } catch (const db::Error& e) {
    main.rollback();
    return accountFailure(name, e.message());
  }
  return QString();
}

void removeInstallationUser(db::Session& main, qint64 index, const QString& user) {
  const QString name = accountName(user);
  if (!name.isEmpty() && exists(main, kUserExists, name)) {
    db::Query drop(&main);
    drop.setSql(QStringLiteral("drop user ") + name);
    drop.execute();
  }
  db::Query del(&main);
  del.setSql(kDeleteUser);
  del.declareVariable("IDX", db::DataType::Integer);
  del.declareVariable("UPOR", db::DataType::String);
  del.setVariable("IDX", index);
  del.setVariable("UPOR", user);
  del.execute();
  main.commit();
}

CopyReport copyApplicationUsers(db::Session& main, db::Session& installation, qint64 index, const QString& owner) {
  CopyReport report;
  QStringList names;
  {
    db::Query list(&installation);
    list.setSql(kIsecUsers);
    list.declareVariable("upor", db::DataType::String);
    list.setVariable("upor", owner);
    list.execute();
    for (; !list.eof(); list.next()) names << list.field(0).asString();
  }
  for (const QString& user : names) {
    const QString account = copiedAccountName(index, user);
    if (account.isEmpty()) {
      report.failures << accountFailure(user, QStringLiteral("ime računa ni veljavno"));
      continue;
    }
    // The account comes first: an application user is renamed only to an account that exists.
    if (!exists(main, kUserExists, account)) {
      const QString error = runAll(main, applicationAccountStatements(account));
      if (!error.isEmpty()) {
        report.failures << accountFailure(account, error);
        continue;
      }
    }
    try {
      db::Query insert(&installation);
      insert.setSql(kInsertUserInstallation);
      insert.declareVariable("IDX", db::DataType::Integer);
      insert.declareVariable("UPOR", db::DataType::String);
      insert.setVariable("IDX", index);
      insert.setVariable("UPOR", account);
      insert.execute();
      db::Query rename(&installation);
      rename.setSql(kRenameIsecUser);
      rename.declareVariable("uporNew", db::DataType::String);
      rename.declareVariable("uporOld", db::DataType::String);
      rename.setVariable("uporNew", account);
      rename.setVariable("uporOld", user);
      rename.execute();
      installation.commit();
      report.copied << account;
    } catch (const db::Error& e) {
      installation.rollback();
      report.failures << accountFailure(account, e.message());
    }
  }
  return report;
}

QList<LoggedTrigger> scanImportLog(const QStringList& lines) {
  QList<LoggedTrigger> triggers;
  bool inside = false;
  int depth = 0;
  bool continues = false;
  LoggedTrigger current;
  for (const QString& raw : lines) {
    if (!inside) {
      if (!raw.contains(QLatin1String("CREATE TRIGGER"))) continue;
      current = LoggedTrigger{};
      current.header = current.text = QString(raw).remove(u'"');
      inside = true;
      depth = 0;
      continues = false;
      continue;
    }
    if (raw.toUpper().contains(QLatin1String("BEGIN"))) ++depth;
    const QString line = QString(raw).remove(u'"');
    const bool endsBlock = line.toUpper().contains(QLatin1String("END;"));
    bool ends = false;
    if (endsBlock) {
      ends = depth == 1;
      --depth;
    }
    if (continues && !endsBlock) {
      QString rest = line.mid(1, 100);
      qsizetype blanks = 0;
      while (blanks < rest.size() && rest[blanks].isSpace()) ++blanks;
      current.text += rest.mid(blanks);
    } else {
      current.text += kCrLf + line;
    }
    continues = line.size() >= 77;
    if (ends) {
      current.complete = true;
      triggers << current;
      inside = false;
    }
  }
  if (inside) triggers << current;
  return triggers;
}

QStringList importLogPaths(const QString& dir, const QString& kadeUser) {
  return {dir + kadeUser + QStringLiteral(".log"), dir + u'f' + kadeUser.mid(1) + QStringLiteral(".log")};
}

QStringList recreateTriggers(db::Session& session, const QList<LoggedTrigger>& triggers,
                             const std::function<QString(const QString&)>& rename) {
  QStringList failed;
  for (const LoggedTrigger& trigger : triggers) {
    if (!trigger.complete) {
      failed << QStringLiteral("NOK:  ") + trigger.header;
      continue;
    }
    try {
      db::Query query(&session);
      query.setSql(rename ? rename(trigger.text) : trigger.text);
      query.execute();
    } catch (const db::Error&) {
      failed << QStringLiteral("NOK:  ") + trigger.header;
    }
  }
  return failed;
}

const QStringList& specialBlockFiles() {
  static const QStringList files{"bt107par.sql", "PckaudclMU.sql", "PcbaudclMU.sql", "au101up0.sql",
                                 "AU210REQ.sql", "au231con.sql",   "au232po0.sql",   "au260ak0.sql",
                                 "AU262ST0.SQL", "AU267PS0.SQL",   "au500DG0.sql",   "au500HC0.SQL",
                                 "au500lab.sql", "au513pb0.sql"};
  return files;
}

QString blockStatement(const QStringList& lines) {
  QStringList kept = lines;
  while (!kept.isEmpty() && (kept.last().trimmed().isEmpty() || kept.last().trimmed() == u"/")) kept.removeLast();
  return kept.join(u'\n');
}

SpecialBlocksReport runSpecialBlocks(db::Session& installation, const QString& dir, const QString& kadeUser,
                                     const std::function<void(const QString&)>& dropOnMain,
                                     const std::function<QString(const QString&)>& rename,
                                     const std::function<void()>& beforeEach) {
  SpecialBlocksReport report;
  const QStringList& files = specialBlockFiles();
  for (int i = 0; i < files.size(); ++i) {
    if (i == 0 && dropOnMain) dropOnMain(QStringLiteral("DROP TRIGGER ") + kadeUser + QStringLiteral(".BTPR107PAR"));
    if (i == 1 && dropOnMain) dropOnMain(QStringLiteral("drop package ") + kadeUser + QStringLiteral(".PCKAUDITSERVER"));
    QStringList lines;
    if (!loadTextLines(dir + files[i], lines)) {
      report.missingFile = dir + files[i];
      return report;
    }
    const QString text = rename ? rename(blockStatement(lines)) : blockStatement(lines);
    if (beforeEach) beforeEach();
    try {
      db::Query block(&installation);
      block.setSql(text);
      block.execute();
    } catch (const db::Error&) {
      ++report.failures;
    }
  }
  return report;
}

QString specialBlocksMessage(int failures) {
  QString text = QStringLiteral("Prevedene procedure in triggerji za Audit  ");
  if (failures > 0) text += QStringLiteral(" z %1 napak").arg(failures);
  return text;
}

}  // namespace nuvo::schema
