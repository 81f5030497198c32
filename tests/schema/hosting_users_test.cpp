// The accounts and rights of hosted installations and the repairs after an import: names and
// statements, the import-log scanner, and against the seeded database (installations 1 and 2 with
// their own ISEC_USERS) the application users, the rights block, the triggers of an import log and
// the special blocks.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <gtest/gtest.h>

#include <memory>

#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "platform/text_file.h"
#include "qstring_print.h"
#include "schema/hosting_users_logic.h"
#include "schema/moreInstall.h"
#include "shell/Main.h"
#include "shell_test_support.h"

namespace {

using nuvo::schema::LoggedTrigger;

TEST(HostingNames, RoleAndCopiedAccounts) {
  EXPECT_EQ(nuvo::schema::installationRole("IZAS7"), "GZAS7");
  EXPECT_EQ(nuvo::schema::installationRole("FZAS7"), "GZAS7");
  EXPECT_EQ(nuvo::schema::copiedAccountName(3, "ANA"), "I3ANA");
  EXPECT_EQ(nuvo::schema::copiedAccountName(12, "nina"), "I12NINA");
  EXPECT_EQ(nuvo::schema::copiedAccountName(1, QString(29, u'X')), "");  // 31 characters
  EXPECT_EQ(nuvo::schema::copiedAccountName(1, "ANA MARIJA"), "");
  EXPECT_EQ(nuvo::schema::importLogPaths("/logs/", "IZAS1"), (QStringList{"/logs/IZAS1.log", "/logs/fZAS1.log"}));
}

TEST(HostingNames, AccountsOfANewInstallation) {
  bool refused = true;
  EXPECT_EQ(nuvo::schema::newInstallationAccountStatements("izas4", "pass word", &refused),
            (QStringList{"CREATE USER IZAS4 IDENTIFIED BY \"pass word\" default tablespace kade_pr  temporary "
                         "tablespace temp",
                         "GRANT CONNECT,DUD,DBA TO IZAS4",
                         "GRANT EXECUTE ANY PROCEDURE, SELECT ANY DICTIONARY, SELECT ANY TABLE, UNLIMITED TABLESPACE, "
                         "UPDATE ANY TABLE, DELETE ANY TABLE, INSERT ANY TABLE, CREATE SEQUENCE, DROP ANY SEQUENCE "
                         "TO IZAS4"}));
  EXPECT_FALSE(refused);
  // Without a password nothing is made, and that is no refusal.
  EXPECT_TRUE(nuvo::schema::newInstallationAccountStatements("IZAS4", "", &refused).isEmpty());
  EXPECT_FALSE(refused);
  for (const auto& [user, password] : {qMakePair(QString("IZAS 4"), QString("p")), qMakePair(QString("IZAS4"), QString("p\"q"))}) {
    EXPECT_TRUE(nuvo::schema::newInstallationAccountStatements(user, password, &refused).isEmpty());
    EXPECT_TRUE(refused) << user.toStdString();
  }
  EXPECT_EQ(nuvo::schema::applicationAccountStatements("I3ANA"),
            (QStringList{"create user I3ANA identified by \"I3ANA\" default tablespace kade_pr  temporary tablespace temp",
                         "grant connect to I3ANA"}));
}

TEST(ImportLog, TriggersAreCutOutOfTheLog) {
  const QString line76 = "  x := '" + QString(66, u'a') + "';";  // 76 characters
  const QString line77 = "  x := '" + QString(67, u'a') + "';";  // 77 characters
  ASSERT_EQ(line76.size(), 76);
  ASSERT_EQ(line77.size(), 77);
  const struct {
    const char* name;
    QStringList lines;
    QList<LoggedTrigger> expected;
  } cases[] = {
      {"quotes go, the header is the first line",
       {"IMP-00017: following statement failed", " \"CREATE TRIGGER \"KADE\".T1 BEFORE INSERT ON \"KADE\".\"T\"\"",
        " \"BEGIN\"", " \"  NULL;\"", " \"END;\"", "IMP-00003: ORACLE error 4098"},
       {{" CREATE TRIGGER KADE.T1 BEFORE INSERT ON KADE.T", " CREATE TRIGGER KADE.T1 BEFORE INSERT ON KADE.T\r\n BEGIN\r\n   NULL;\r\n END;", true}}},
      {"a line of 77 characters goes on in the next",
       {"CREATE TRIGGER T2 BEFORE INSERT ON T FOR EACH ROW", "BEGIN", line77, "   'b';", "END;"},
       {{"CREATE TRIGGER T2 BEFORE INSERT ON T FOR EACH ROW",
         "CREATE TRIGGER T2 BEFORE INSERT ON T FOR EACH ROW\r\nBEGIN\r\n" + line77 + "'b';\r\nEND;", true}}},
      {"a line of 76 characters does not",
       {"CREATE TRIGGER T3 BEFORE INSERT ON T FOR EACH ROW", "BEGIN", line76, "   'b';", "END;"},
       {{"CREATE TRIGGER T3 BEFORE INSERT ON T FOR EACH ROW",
         "CREATE TRIGGER T3 BEFORE INSERT ON T FOR EACH ROW\r\nBEGIN\r\n" + line76 + "\r\n   'b';\r\nEND;", true}}},
      {"two BEGINs end at the END; that closes the first",
       {"CREATE TRIGGER T4 AFTER DELETE ON T", "BEGIN", "  BEGIN NULL; END;", "  NULL;", "END;", "after"},
       {{"CREATE TRIGGER T4 AFTER DELETE ON T",
         "CREATE TRIGGER T4 AFTER DELETE ON T\r\nBEGIN\r\n  BEGIN NULL; END;\r\n  NULL;\r\nEND;", true}}},
      {"BEGIN and END; on one line",
       {"CREATE TRIGGER T5 AFTER DELETE ON T", "BEGIN NULL; END;", "CREATE TRIGGER T6 AFTER DELETE ON T",
        "BEGIN NULL; END;"},
       {{"CREATE TRIGGER T5 AFTER DELETE ON T", "CREATE TRIGGER T5 AFTER DELETE ON T\r\nBEGIN NULL; END;", true},
        {"CREATE TRIGGER T6 AFTER DELETE ON T", "CREATE TRIGGER T6 AFTER DELETE ON T\r\nBEGIN NULL; END;", true}}},
      {"a trigger open at the end of the file is kept, marked open",
       {"CREATE TRIGGER T7 AFTER DELETE ON T", "BEGIN", "  NULL;"},
       {{"CREATE TRIGGER T7 AFTER DELETE ON T", "CREATE TRIGGER T7 AFTER DELETE ON T\r\nBEGIN\r\n  NULL;", false}}},
      {"only the upper-case words start a trigger", {"create trigger t8 after delete on t", "BEGIN NULL; END;"}, {}},
  };
  for (const auto& c : cases) {
    const auto found = nuvo::schema::scanImportLog(c.lines);
    ASSERT_EQ(found.size(), c.expected.size()) << c.name;
    for (int i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].header, c.expected[i].header) << c.name;
      EXPECT_EQ(found[i].text, c.expected[i].text) << c.name;
      EXPECT_EQ(found[i].complete, c.expected[i].complete) << c.name;
    }
  }
}

TEST(SpecialBlocks, FileTextAndMessage) {
  EXPECT_EQ(nuvo::schema::blockStatement({"BEGIN", "  NULL;", "END;", "/", "", "  "}), "BEGIN\n  NULL;\nEND;");
  EXPECT_EQ(nuvo::schema::blockStatement({"BEGIN", "  x := a / b;", "END;"}), "BEGIN\n  x := a / b;\nEND;");
  EXPECT_EQ(nuvo::schema::specialBlocksMessage(0), "Prevedene procedure in triggerji za Audit  ");
  EXPECT_EQ(nuvo::schema::specialBlocksMessage(2), "Prevedene procedure in triggerji za Audit   z 2 napak");
  EXPECT_EQ(nuvo::schema::specialBlockFiles().first(), "bt107par.sql");
  EXPECT_EQ(nuvo::schema::specialBlockFiles().size(), 14);
}

class HostingUsersDb : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    main_.logOn("SYSTEM", "SYSTEM", "DEMO");
  }
  void TearDown() override {
    for (nuvo::db::Session* s : {&main_, &installation_})
      if (s->connected()) s->logOff();
    DatabaseFixture::TearDown();
  }
  QStringList column(const QString& sql) {
    nuvo::db::Query query(&main_);
    query.setSql(sql);
    query.execute();
    QStringList values;
    for (; !query.eof(); query.next()) values << query.field(0).asString();
    return values;
  }
  void exec(nuvo::db::Session& session, const QString& sql) {
    nuvo::db::Query query(&session);
    query.setSql(sql);
    query.execute();
  }
  static bool canLogOn(const QString& user, const QString& password) {
    nuvo::db::Session session;
    try {
      session.logOn(user, password, "DEMO");
      return true;
    } catch (const nuvo::db::Error&) {
      return false;
    }
  }

  nuvo::db::Session main_, installation_;
};

TEST_F(HostingUsersDb, TypedUsersAreCheckedBeforeAnythingIsStored) {
  // ANA is listed for installation 1; any case of it is the same user and nothing is stored.
  for (const char* typed : {"ANA", "ana", " Ana "}) {
    const QString refused = nuvo::schema::addInstallationUser(main_, 2, typed);
    EXPECT_EQ(refused, "Izbrani uporabnik že obstaja ! Index: 1  ANA") << typed;
  }
  EXPECT_FALSE(nuvo::schema::addInstallationUser(main_, 2, "ema;drop user ana").isEmpty());
  EXPECT_EQ(column("select userindex || username from nuvo_util.nuvo_inst_users order by 1"),
            (QStringList{"1ANA", "2BOR"}));
  // A new name is stored upper-cased with an account whose password is its name.
  EXPECT_EQ(nuvo::schema::addInstallationUser(main_, 2, "ema"), "");
  EXPECT_EQ(column("select userindex || username from nuvo_util.nuvo_inst_users order by 1"),
            (QStringList{"1ANA", "2BOR", "2EMA"}));
  EXPECT_TRUE(canLogOn("EMA", "EMA"));
  // Taking a user off drops its account; an account that cannot be dropped keeps the row.
  nuvo::schema::removeInstallationUser(main_, 2, "EMA");
  EXPECT_FALSE(canLogOn("EMA", "EMA"));
  EXPECT_EQ(column("select count(*) from nuvo_util.nuvo_inst_users where username = 'EMA'"), QStringList{"0"});
  exec(main_, "INSERT INTO nuvo_util.nuvo_inst_users (userindex, username) VALUES (2, 'SYS')");
  exec(main_, "COMMIT");
  EXPECT_THROW(nuvo::schema::removeInstallationUser(main_, 2, "SYS"), nuvo::db::Error);
  main_.rollback();
  EXPECT_EQ(column("select count(*) from nuvo_util.nuvo_inst_users where username = 'SYS'"), QStringList{"1"});
}

TEST_F(HostingUsersDb, CopiedUsersGetTheirAccountFirst) {
  // One name too long for an account, one whose account name is taken by a role.
  exec(main_, "INSERT INTO izas1.isec_users (user__id, username) VALUES (4, '" + QString(29, u'L') + "')");
  exec(main_, "INSERT INTO izas1.isec_users (user__id, username) VALUES (5, 'ROLLY')");
  exec(main_, "CREATE ROLE i1rolly");
  exec(main_, "COMMIT");
  installation_.logOn("IZAS1", "IZAS1", "DEMO");
  const auto report = nuvo::schema::copyApplicationUsers(main_, installation_, 1, "IZAS1");
  EXPECT_EQ(report.copied, (QStringList{"I1MARKO", "I1NINA"}));
  QStringList failures = report.failures;
  failures.sort();
  ASSERT_EQ(failures.size(), 2);
  EXPECT_TRUE(failures[0].startsWith("I1ROLLY: ")) << failures[0].toStdString();
  EXPECT_TRUE(failures[1].startsWith(QString(29, u'L') + ": ")) << failures[1].toStdString();
  // The lower-case name was renamed too; the refused ones stay as they were.
  EXPECT_EQ(column("select username from izas1.isec_users order by user__id"),
            (QStringList{"KADE", "I1MARKO", "I1NINA", QString(29, u'L'), "ROLLY"}));
  EXPECT_EQ(column("select username from nuvo_util.nuvo_inst_users where userindex = 1 order by 1"),
            (QStringList{"ANA", "I1MARKO", "I1NINA"}));
  EXPECT_TRUE(canLogOn("I1NINA", "I1NINA"));
  // Installation 2's list and users are untouched.
  EXPECT_EQ(column("select username from izas2.isec_users order by user__id"), (QStringList{"KADE", "PETRA"}));
  EXPECT_EQ(column("select username from nuvo_util.nuvo_inst_users where userindex = 2"), QStringList{"BOR"});
  // A second copy finds nothing new to copy.
  const auto again = nuvo::schema::copyApplicationUsers(main_, installation_, 1, "IZAS1");
  EXPECT_TRUE(again.copied.isEmpty());
}

TEST_F(HostingUsersDb, RightsBlockMakesTheRoleAndGrantsItPastFailures) {
  // A listed user without an account: its grants fail and are passed over.
  exec(main_, "INSERT INTO nuvo_util.nuvo_inst_users (userindex, username) VALUES (1, 'GHOST')");
  exec(main_, "COMMIT");
  installation_.logOn("IZAS1", "IZAS1", "DEMO");
  nuvo::schema::runRightsBlock(installation_, "IZAS1", "GX");
  nuvo::schema::runRightsBlock(installation_, "IZAS1", "U");
  EXPECT_EQ(column("select grantee || ' ' || granted_role from dba_role_privs where granted_role in ('GZAS1', "
                   "'IGRUPA', 'DUD') and grantee in ('IZAS1', 'FZAS1', 'ANA', 'BOR') order by 1"),
            (QStringList{"ANA DUD", "ANA GZAS1", "ANA IGRUPA", "FZAS1 GZAS1", "FZAS1 IGRUPA", "IZAS1 GZAS1",
                         "IZAS1 IGRUPA"}));
  EXPECT_EQ(column("select privilege from dba_tab_privs where grantee = 'GZAS1' and owner = 'IZAS1' and "
                   "table_name = 'ISEC_USERS' and privilege = 'SELECT'"),
            QStringList{"SELECT"});
  // Installation 2 has no role of its own yet.
  EXPECT_TRUE(column("select role from dba_roles where role = 'GZAS2'").isEmpty());
}

TEST_F(HostingUsersDb, SpecialBlocksRunInOrderAndCountFailures) {
  const QString dir = homePath("MU_proc/");
  QDir().mkpath(dir);
  const QStringList& files = nuvo::schema::specialBlockFiles();
  for (int i = 0; i < files.size(); ++i) {
    QString text = QStringLiteral("CREATE OR REPLACE PROCEDURE KADE.sb%1 IS\r\nBEGIN\r\n  NULL;\r\nEND;\r\n/\r\n").arg(i);
    if (files[i] == u"au231con.sql") text = QStringLiteral("CREATE OR REPLACE PROCEDURE KADE.sb_bad IS BEGIN nothing; END;");
    // A name in another case still finds its file.
    const QString name = files[i] == u"AU262ST0.SQL" ? QStringLiteral("au262st0.sql") : files[i];
    QFile file(dir + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
  }
  installation_.logOn("IZAS1", "IZAS1", "DEMO");
  QStringList drops;
  const auto rename = [](const QString& text) { return QString(text).replace("KADE.", "IZAS1."); };
  auto report = nuvo::schema::runSpecialBlocks(
      installation_, dir, "IZAS1", [&](const QString& drop) { drops << drop; }, rename);
  EXPECT_EQ(report.failures, 1);
  EXPECT_TRUE(report.missingFile.isEmpty());
  EXPECT_EQ(drops, (QStringList{"DROP TRIGGER IZAS1.BTPR107PAR", "drop package IZAS1.PCKAUDITSERVER"}));
  EXPECT_EQ(column("select count(*) from all_objects where owner = 'IZAS1' and object_name like 'SB%' and status = "
                   "'VALID'"),
            QStringList{"13"});
  EXPECT_TRUE(column("select object_name from all_objects where owner = 'KADE' and object_name like 'SB%'").isEmpty());

  // A missing file stops the run there.
  QFile::remove(dir + "au500DG0.sql");
  exec(main_, "DROP PROCEDURE izas1.sb12");
  report = nuvo::schema::runSpecialBlocks(installation_, dir, "IZAS1", {}, rename);
  EXPECT_EQ(report.missingFile, dir + "au500DG0.sql");
  EXPECT_TRUE(column("select object_name from all_objects where owner = 'IZAS1' and object_name = 'SB12'").isEmpty());
}

class HostingUsersWindow : public HostingUsersDb {
 protected:
  void SetUp() override {
    HostingUsersDb::SetUp();
    fm_ = std::make_unique<TfmMain>();
    fm_->osOracle.logOn("SYSTEM", "SYSTEM", "DEMO");
    fm_->connUser = QStringLiteral("SYSTEM");
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("TfmMoreUsers")) windows << w;
    qDeleteAll(windows);
    messages_.reset();
    fm_.reset();
    HostingUsersDb::TearDown();
  }
  std::unique_ptr<TfmMain> fm_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

// Installation 1's import logs: the KADE log has a trigger whose table is missing and one left
// open; the ZOZURO log a trigger with a WHEN clause. The failures of the first stay listed.
TEST_F(HostingUsersWindow, TriggersOfBothImportLogsAreRecreated) {
  exec(main_, "CREATE TABLE fzas1.t (a NUMBER, b NUMBER)");
  writeHomeFile("IZAS1.LOG",
                "IMP-00017: following statement failed with ORACLE error 942:\r\n"
                " \"CREATE TRIGGER \"KADE\".BTR_MISSING BEFORE INSERT ON \"KADE\".\"NO_TABLE\" FOR EACH ROW\"\r\n"
                " \"BEGIN\"\r\n \"  NULL;\"\r\n \"END;\"\r\n"
                " \"CREATE TRIGGER \"KADE\".BTR_OPEN BEFORE INSERT ON \"KADE\".\"T\" FOR EACH ROW\"\r\n"
                " \"BEGIN\"\r\n");
  writeHomeFile("fZAS1.log",
                "IMP-00017: following statement failed with ORACLE error 4098:\r\n"
                " \"CREATE TRIGGER \"ZOZURO\".BTR_T BEFORE INSERT ON \"ZOZURO\".\"T\" FOR EACH ROW WHEN (new.a > 5)\"\r\n"
                " \"BEGIN\"\r\n \"  :new.b := 1;\"\r\n \"END;\"\r\n"
                "IMP-00041: Warning: object created with compilation warnings\r\n");
  auto* w = new TfmMoreUsers(fm_.get());
  w->edLogFile->setText(QString::fromStdString(home()) + "/");
  ASSERT_EQ(fm_->currUserAsKade, "IZAS1");
  w->btIzvediClick();
  EXPECT_EQ(w->meTrigg->toPlainText().split('\n'),
            (QStringList{"NOK:   CREATE TRIGGER KADE.BTR_MISSING BEFORE INSERT ON KADE.NO_TABLE FOR EACH ROW",
                         "NOK:   CREATE TRIGGER KADE.BTR_OPEN BEFORE INSERT ON KADE.T FOR EACH ROW"}));
  EXPECT_EQ(messages_->texts().value(0), "KONEC PREVAJANJA NAPAK IZ LOG DATOTEKE!");
  exec(main_, "INSERT INTO fzas1.t (a) VALUES (3)");
  exec(main_, "INSERT INTO fzas1.t (a) VALUES (9)");
  EXPECT_EQ(column("select a || ':' || nvl(to_char(b), '-') from fzas1.t order by a"), (QStringList{"3:-", "9:1"}));
  EXPECT_FALSE(w->osOracleTMP.connected());
}

TEST_F(HostingUsersWindow, ARefusedUserLeavesNoRowAndRightsAreSet) {
  auto* w = new TfmMoreUsers(fm_.get());
  w->pcMU->setCurrentWidget(w->tsUporabniki);
  ASSERT_EQ(w->quInstUpor.recordCount(), 1);  // ANA of installation 1
  w->edNovUpor->setText("bor");
  w->btDodajUporClick();
  EXPECT_EQ(messages_->texts(), QStringList{"Izbrani uporabnik že obstaja ! Index: 2  BOR"});
  EXPECT_EQ(w->quInstUpor.recordCount(), 1);
  EXPECT_EQ(column("select count(*) from nuvo_util.nuvo_inst_users"), QStringList{"2"});
  w->BtPraviceClick();
  EXPECT_EQ(messages_->texts().last(), "PRAVICE nastavljene");
  EXPECT_EQ(column("select grantee from dba_role_privs where granted_role = 'GZAS1' and grantee in ('ANA', 'FZAS1') "
                   "order by 1"),
            (QStringList{"ANA", "FZAS1"}));
  EXPECT_FALSE(w->osOracleTMP.connected());
}

}  // namespace
