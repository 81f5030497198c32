// The hosting of several installations in one database: the filters, names and statements the
// hosting window builds, and its work against a seeded database with three installations (the
// third one's owner renamed), through the logic and through the windows.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "qstring_print.h"
#include "schema/hosting_logic.h"
#include "schema/moreInstall.h"
#include "schema/userInst.h"
#include "shell/Main.h"
#include "shell_test_support.h"

namespace {

using nuvo::schema::Installation;

TEST(HostingDeleteFilter, WildcardsAddNoConditionAndValuesAreBinds) {
  const struct {
    const char* lessThan;
    const char* like;
    const char* upTo;
    const char* where;
    QList<QPair<QString, QString>> binds;
  } cases[] = {
      {"%", "%", "%", "", {}},
      {"", "  ", "", "", {}},
      // What leaving an edit that holds "%" used to leave behind: still no condition.
      {"%", "%%", "%%%", "", {}},
      {"AU105", "%", "%", " where script_name <= :manjse", {{"manjse", "AU105"}}},
      {"%", "A%", "%", " where script_name like :enaka || '%'", {{"enaka", "A%"}}},
      {"%", "%", "15.01.2026", " where script_date <= to_date(:od)", {{"od", "15.01.2026"}}},
      {"B' or '1'='1", "B%", "01.02.2026",
       " where script_name <= :manjse and script_name like :enaka || '%' and script_date <= to_date(:od)",
       {{"manjse", "B' or '1'='1"}, {"enaka", "B%"}, {"od", "01.02.2026"}}},
  };
  for (const auto& c : cases) {
    const auto filter = nuvo::schema::buildDeleteFilter(c.lessThan, c.like, c.upTo);
    EXPECT_EQ(filter.where, QString::fromUtf8(c.where)) << c.lessThan << '|' << c.like << '|' << c.upTo;
    EXPECT_EQ(filter.binds, c.binds) << c.lessThan;
    EXPECT_EQ(filter.empty(), QString::fromUtf8(c.where).isEmpty());
  }
}

TEST(HostingDeleteFilter, LeavingTheLessThanEditSetsTheLikeFilterOnlyForARealValue) {
  const struct {
    const char* lessThan;
    const char* like;
    const char* expected;
  } cases[] = {
      {"AU105", "%", "A%"},
      {" BX", "%", "B%"},
      {"%", "%", "%"},   // a wildcard never turns into "%%"
      {"", "C%", "C%"},  // nothing typed keeps what the like edit holds
      {"%%", "%", "%"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nuvo::schema::likeAfterLessThan(c.lessThan, c.like), QString::fromUtf8(c.expected)) << c.lessThan;
}

TEST(HostingScriptsPage, StatusLettersAndOrdering) {
  EXPECT_EQ(nuvo::schema::statusLetters(false, true, true), "EN");
  EXPECT_EQ(nuvo::schema::statusLetters(true, true, true), "XEN");
  EXPECT_EQ(nuvo::schema::statusLetters(true, false, false), "X");
  EXPECT_EQ(nuvo::schema::statusLetters(false, false, false), "");
  const struct {
    const char* choice;
    const char* column;
  } orders[] = {{"INDEX", "UserIndex"},
                {"UPORABNIK", "userName"},
                {"ZADNJA SKRIPTA", "LastScriptDate"},
                {"INSTANCA", "Instance"},
                {"", "UserIndex"}};
  for (const auto& o : orders) EXPECT_EQ(nuvo::schema::orderingColumn(o.choice), o.column) << o.choice;
}

TEST(HostingInstallationRows, DefaultsOfANewRow) {
  const Installation first = nuvo::schema::newInstallationDefaults(QVariant(), QVariant());
  EXPECT_EQ(first.index, 1);
  EXPECT_EQ(first.userName, "IZAS1");
  EXPECT_EQ(first.userKade, "IZAS1");
  EXPECT_EQ(first.userZozuro, "FZAS1");
  EXPECT_TRUE(first.instance.isEmpty());
  const Installation next = nuvo::schema::newInstallationDefaults(QVariant(qint64(11)), QVariant("HOST"));
  EXPECT_EQ(next.index, 12);
  EXPECT_EQ(next.userName, "IZAS12");
  EXPECT_EQ(next.userZozuro, "FZAS12");
  EXPECT_EQ(next.instance, "HOST");
}

TEST(HostingAccounts, NamesAreIdentifiersAndPasswordsQuoted) {
  const struct {
    const char* typed;
    const char* name;
  } names[] = {{"izas7", "IZAS7"},   {" Ana ", "ANA"},        {"I3_A$#", "I3_A$#"}, {"7ZAS", ""},
               {"ana bor", ""},      {"ana;drop", ""},        {"\"ANA\"", ""},      {"", ""},
               {"A23456789012345678901234567890", "A23456789012345678901234567890"},
               {"A234567890123456789012345678901", ""}};
  for (const auto& n : names) EXPECT_EQ(nuvo::schema::accountName(n.typed), QString::fromUtf8(n.name)) << n.typed;
  EXPECT_EQ(nuvo::schema::quotedPassword("tiger cat"), "\"tiger cat\"");
  EXPECT_EQ(nuvo::schema::quotedPassword("a\"b"), "");
  EXPECT_EQ(nuvo::schema::quotedPassword(""), "");
}

TEST(HostingAccounts, OnlyChangedPasswordsAlterTheirUser) {
  Installation row;
  row.userKade = "IZAS4";
  row.passKade = "old";
  row.userZozuro = "FZAS4";
  row.passZozuro = "new pass";
  QStringList refused;
  EXPECT_EQ(nuvo::schema::passwordChangeStatements(row, "old", "old", &refused),
            QStringList{"ALTER USER FZAS4 IDENTIFIED BY \"new pass\""});
  EXPECT_TRUE(nuvo::schema::passwordChangeStatements(row, "old", "new pass", &refused).isEmpty());
  row.userKade = "izas 4";
  row.passKade = "changed";
  EXPECT_EQ(nuvo::schema::passwordChangeStatements(row, "old", "new pass", &refused), QStringList());
  EXPECT_EQ(refused, QStringList{"izas 4"});
  // A user without a name is left alone.
  row.userKade.clear();
  refused.clear();
  EXPECT_TRUE(nuvo::schema::passwordChangeStatements(row, "old", "new pass", &refused).isEmpty());
  EXPECT_TRUE(refused.isEmpty());
}

TEST(HostingRegister, FilterAndOperatingSystemTemplate) {
  EXPECT_EQ(nuvo::schema::registerFilter(""), "%");
  EXPECT_EQ(nuvo::schema::registerFilter("DEM"), "DEM%");
  EXPECT_EQ(nuvo::schema::operatingSystemTemplate(),
            "OS                   :   \r\nHARD DISK    :   \r\nMEMORY        :  \r\n");
}

// Three installations: 1 and 2 as seeded, 3 whose owner was renamed HOTEL3 while its schema users
// keep the names IZAS3 and FZAS3. Statement rows of each, one of an owner IZAS3 that is no
// installation's, and one of the tool itself.
class HostingDb : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE USER izas3 IDENTIFIED BY izas3", "CREATE USER fzas3 IDENTIFIED BY fzas3",
         "GRANT CREATE SESSION, CREATE TABLE, SELECT ANY DICTIONARY TO izas3, fzas3",
         "GRANT CREATE PROCEDURE, CREATE VIEW, CREATE TRIGGER TO izas3",
         "GRANT nuvo_exs_writer TO izas3, fzas3",
         "INSERT INTO nuvo_util.nuvo_instalations (userindex, username, fullname, instance, user_kade, pass_kade, "
         "user_zozuro, pass_zozuro) VALUES (3, 'HOTEL3', 'Third', 'DEMO', 'IZAS3', 'izas3', 'FZAS3', 'fzas3')",
         "CREATE USER carl IDENTIFIED BY carl", "CREATE USER dora IDENTIFIED BY dora",
         "INSERT INTO nuvo_util.nuvo_inst_users (userindex, username) VALUES (3, 'CARL')",
         "INSERT INTO nuvo_util.nuvo_inst_users (userindex, username) VALUES (3, 'DORA')",
         row("AU100", "X", "IZAS1", "2026-03-01"), row("AU100", "X", "IZAS2", "2026-03-01"),
         row("AU100", "X", "HOTEL3", "2026-03-01"), row("AU200", "E", "IZAS2", "2026-03-02"),
         row("AU050", "N", "HOTEL3", "2026-03-01"), row("AU300", "X", "IZAS3", "2026-03-01"),
         row("BX001", "X", "", "2026-01-01"), "COMMIT"});
    session_.logOn("SYSTEM", "SYSTEM", "DEMO");
    exec("ALTER SESSION SET NLS_DATE_FORMAT = 'DD.MM.YYYY'");
  }
  void TearDown() override {
    if (session_.connected()) session_.logOff();
    DatabaseFixture::TearDown();
  }

  static QString row(const char* name, const char* stat, const char* owner, const char* day) {
    return QStringLiteral("INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, "
                          "script_owner, script_date) VALUES ('%1', 1, '%2', 'select 1 from dual', '%3', DATE '%4')")
        .arg(name, stat, owner, day);
  }
  void exec(const QString& sql) {
    nuvo::db::Query query(&session_);
    query.setSql(sql);
    query.execute();
  }
  QStringList column(const QString& sql, const QList<QPair<QString, QString>>& binds = {}) {
    nuvo::db::Query query(&session_);
    query.setSql(sql);
    for (const auto& [name, value] : binds) {
      query.declareVariable(name, nuvo::db::DataType::String);
      query.setVariable(name, value);
    }
    query.execute();
    QStringList values;
    for (; !query.eof(); query.next()) values << query.field(0).asString();
    return values;
  }
  QStringList owners() {
    return column("select distinct nvl(script_owner,'-') from nuvo_util.nuvo_exs order by 1");
  }

  nuvo::db::Session session_;
};

TEST_F(HostingDb, ExecutedAndMissingScriptsPerInstallation) {
  const QList<QPair<QString, QString>> since{{"datum", "01.03.2026"}, {"skripte", "%"}};
  auto withStatus = since;
  withStatus << qMakePair(QStringLiteral("status"), QStringLiteral("EN"));
  EXPECT_EQ(column(nuvo::schema::kScriptNames.lines().join('\n'), since), (QStringList{"AU050", "AU100", "AU200", "AU300"}));
  // Failed or not run since the day: installation 2 (AU200) and 3 (AU050).
  EXPECT_EQ(column(nuvo::schema::kInstallationsRun.lines().join('\n'), withStatus),
            (QStringList{"2", "3"}));
  // No status ticked: no installation at all.
  auto none = since;
  none << qMakePair(QStringLiteral("status"), QString());
  EXPECT_TRUE(column(nuvo::schema::kInstallationsRun.lines().join('\n'), none).isEmpty());
  // AU100 ran everywhere and is missing nowhere; AU200 ran only in 2, AU050 only in 3, AU300 in none.
  EXPECT_EQ(column(nuvo::schema::kInstallationsMiss.lines().join('\n'), since), (QStringList{"1", "2", "3"}));
  const auto missing = [&](const char* owner) {
    auto binds = since;
    binds << qMakePair(QStringLiteral("upor"), QString::fromLatin1(owner));
    return column(nuvo::schema::kScriptsMissingOf.lines().join('\n'), binds);
  };
  EXPECT_EQ(missing("IZAS1"), (QStringList{"AU050", "AU200", "AU300"}));
  EXPECT_EQ(missing("IZAS2"), (QStringList{"AU050", "AU300"}));
  EXPECT_EQ(missing("HOTEL3"), (QStringList{"AU200", "AU300"}));
  auto rowsOf = withStatus;
  rowsOf << qMakePair(QStringLiteral("upor"), QStringLiteral("HOTEL3"));
  EXPECT_EQ(column("select script_name from (" + nuvo::schema::kScriptRowsOf.lines().join('\n') + ")", rowsOf),
            QStringList{"AU050"});
}

TEST_F(HostingDb, DeletingAnInstallationTouchesOnlyItsOwnRows) {
  const auto installations = nuvo::schema::readInstallations(session_);
  ASSERT_EQ(installations.size(), 3);
  const Installation third = installations[2];
  ASSERT_EQ(third.userName, "HOTEL3");
  QStringList reported;
  const int deleted =
      nuvo::schema::deleteInstallation(session_, third, [&](const QString& text) { reported << text; });
  EXPECT_EQ(deleted, 2);
  EXPECT_TRUE(reported.isEmpty()) << reported.join('\n').toStdString();
  // The rows of HOTEL3 went; those of the owner IZAS3, which the number alone would name, stay.
  EXPECT_EQ(owners(), (QStringList{"-", "IZAS1", "IZAS2", "IZAS3"}));
  EXPECT_EQ(column("select userindex from nuvo_util.nuvo_instalations order by 1"), (QStringList{"1", "2"}));
  EXPECT_EQ(column("select username from nuvo_util.nuvo_inst_users order by 1"), (QStringList{"ANA", "BOR"}));
  // Its application users' accounts are dropped; the schema users stay.
  EXPECT_EQ(column("select username from all_users where username in ('CARL','DORA','IZAS3','FZAS3') order by 1"),
            (QStringList{"FZAS3", "IZAS3"}));
}

TEST_F(HostingDb, AnAccountThatCannotBeDroppedIsReportedAndTheRestGoesOn) {
  exec("DROP USER dora");
  const Installation third = nuvo::schema::readInstallations(session_, "HOTEL%").value(0);
  QStringList reported;
  nuvo::schema::deleteInstallation(session_, third, [&](const QString& text) { reported << text; });
  EXPECT_EQ(reported, QStringList{"NAPAKA: DROP USER DORA"});
  EXPECT_TRUE(column("select username from all_users where username = 'CARL'").isEmpty());
  EXPECT_EQ(column("select count(*) from nuvo_util.nuvo_instalations where userindex = 3"), QStringList{"0"});
}

TEST_F(HostingDb, DeletingOldScriptsFollowsTheFilterOnly) {
  using nuvo::schema::buildDeleteFilter;
  // Wildcards only: nothing listed, nothing deleted.
  for (const auto& filter : {buildDeleteFilter("%", "%", "%"), buildDeleteFilter("%", "%%", "%")}) {
    EXPECT_TRUE(nuvo::schema::scriptsToDelete(session_, filter).isEmpty());
    EXPECT_EQ(nuvo::schema::deleteScripts(session_, filter), 0);
  }
  // A quote in a value is part of the value, never of the statement.
  EXPECT_EQ(nuvo::schema::deleteScripts(session_, buildDeleteFilter("%", "x' or 'a'='a", "%")), 0);
  EXPECT_EQ(column("select count(*) from nuvo_util.nuvo_exs"), QStringList{"7"});
  // Dates go through the session's date mask.
  EXPECT_EQ(nuvo::schema::scriptsToDelete(session_, buildDeleteFilter("%", "%", "15.02.2026")), QStringList{"BX001"});
  EXPECT_THROW(nuvo::schema::deleteScripts(session_, buildDeleteFilter("%", "%", "2026-02-15")), nuvo::db::Error);
  EXPECT_EQ(column("select count(*) from nuvo_util.nuvo_exs"), QStringList{"7"});
  EXPECT_EQ(nuvo::schema::scriptsToDelete(session_, buildDeleteFilter("AU100", "A%", "%")),
            (QStringList{"AU050", "AU100"}));
  EXPECT_EQ(nuvo::schema::deleteScripts(session_, buildDeleteFilter("AU100", "A%", "%")), 4);
  EXPECT_EQ(column("select script_name from nuvo_util.nuvo_exs order by 1"),
            (QStringList{"AU200", "AU300", "BX001"}));
}

TEST_F(HostingDb, RebuiltTriggerKeepsItsWhenClauseAndViewItsColumns) {
  exec("CREATE TABLE izas1.t (a NUMBER, b NUMBER)");
  exec("CREATE OR REPLACE TRIGGER izas1.trg_t BEFORE INSERT ON izas1.t FOR EACH ROW WHEN (new.a > 5)\n"
       "BEGIN\n  :new.b := 1;\nEND;");
  exec("CREATE VIEW izas1.v_t (first_col, second_col) AS SELECT a, b FROM izas1.t");
  exec("CREATE OR REPLACE PROCEDURE izas1.p_t IS\nBEGIN\n  NULL;\nEND;");

  const QString trigger = nuvo::schema::buildObjectSource(session_, "IZAS1", "TRG_T", "TRIGGER");
  EXPECT_TRUE(trigger.startsWith("CREATE OR REPLACE TRIGGER ")) << trigger.toStdString();
  EXPECT_TRUE(trigger.contains("\r\nWHEN (new.a > 5)\r\n")) << trigger.toStdString();
  const QString view = nuvo::schema::buildObjectSource(session_, "IZAS1", "V_T", "VIEW");
  EXPECT_TRUE(view.startsWith("CREATE OR REPLACE VIEW V_T (FIRST_COL,SECOND_COL) AS ")) << view.toStdString();
  EXPECT_EQ(nuvo::schema::buildObjectSource(session_, "IZAS1", "P_T", "PROCEDURE"),
            "CREATE OR REPLACE PROCEDURE izas1.p_t IS\r\nBEGIN\r\n  NULL;\r\nEND;\r\n");
  for (const char* type : {"TRIGGER", "VIEW", "PROCEDURE"})
    EXPECT_EQ(nuvo::schema::buildObjectSource(session_, "IZAS2", "P_T", type), "") << type;

  // Recreated from those texts (views in the installation's own schema), both behave as before.
  exec(trigger);
  nuvo::db::Session installation;
  installation.logOn("IZAS1", "IZAS1", "DEMO");
  nuvo::db::Query recreate(&installation);
  recreate.setSql(view);
  recreate.execute();
  installation.logOff();
  exec("INSERT INTO izas1.t (a) VALUES (3)");
  exec("INSERT INTO izas1.t (a) VALUES (9)");
  EXPECT_EQ(column("select a || ':' || nvl(to_char(b), '-') from izas1.t order by a"), (QStringList{"3:-", "9:1"}));
  EXPECT_EQ(column("select column_name from all_tab_columns where owner='IZAS1' and table_name='V_T' order by "
                   "column_id"),
            (QStringList{"FIRST_COL", "SECOND_COL"}));
}

TEST_F(HostingDb, RecompileForAnInstallationGoesOnAfterAFailureAndAlwaysLogsOff) {
  exec("CREATE TABLE izas1.t (a NUMBER, b NUMBER)");
  exec("CREATE OR REPLACE FUNCTION izas1.f RETURN NUMBER IS\nBEGIN\n  RETURN 1;\nEND;");
  exec("CREATE OR REPLACE PROCEDURE izas1.p_bad IS\n  v NUMBER;\nBEGIN\n  SELECT b INTO v FROM izas1.t;\nEND;");
  exec("CREATE OR REPLACE PROCEDURE izas1.p_ok IS\n  v VARCHAR2(30);\nBEGIN\n  v := izas1.f || 'KADE.';\nEND;");
  exec("DROP FUNCTION izas1.f");
  exec("ALTER TABLE izas1.t DROP COLUMN b");
  exec("CREATE OR REPLACE FUNCTION izas1.f RETURN NUMBER IS\nBEGIN\n  RETURN 2;\nEND;");
  ASSERT_EQ(column("select object_name from all_objects where owner='IZAS1' and status='INVALID' order by 1"),
            (QStringList{"P_BAD", "P_OK"}));

  nuvo::db::Session installation;
  int before = 0;
  // The text names the application schema; the installation's user takes its place.
  const auto report = nuvo::schema::recompileInstallation(
      session_, installation, {"DEMO", "IZAS1", "IZAS1"},
      [](const QString& text) { return QString(text).replace("KADE.", "IZAS1."); }, [&] { ++before; });
  EXPECT_TRUE(report.loggedOn);
  EXPECT_EQ(report.recreated, 1);
  ASSERT_EQ(report.failures.size(), 1);
  EXPECT_TRUE(report.failures[0].startsWith("PROCEDURE P_BAD: ")) << report.failures[0].toStdString();
  EXPECT_EQ(before, 2);
  EXPECT_FALSE(installation.connected());
  EXPECT_EQ(column("select object_name from all_objects where owner='IZAS1' and status='INVALID'"),
            QStringList{"P_BAD"});
  EXPECT_EQ(column("select count(*) from all_source where owner='IZAS1' and name='P_OK' and text like '%''IZAS1.''%'"),
            QStringList{"1"});

  const auto refused = nuvo::schema::recompileInstallation(session_, installation, {"DEMO", "IZAS1", "wrong"}, {});
  EXPECT_FALSE(refused.loggedOn);
  EXPECT_FALSE(refused.logonError.isEmpty());
  EXPECT_FALSE(installation.connected());
}

TEST_F(HostingDb, AnInstallationsOwnStatementTableIsCopiedOnce) {
  exec("CREATE TABLE izas1.nuvo_exs (script_name VARCHAR2(30), script_counter NUMBER, script_stat VARCHAR2(1), "
       "script_cont LONG, script_err VARCHAR2(2000))");
  exec("INSERT INTO izas1.nuvo_exs VALUES ('OLD1', 1, 'X', 'select 1 from dual', NULL)");
  exec("INSERT INTO izas1.nuvo_exs VALUES ('OLD1', 2, 'E', 'select x from dual', 'ORA-00904')");
  exec("COMMIT");
  exec("DELETE nuvo_util.nuvo_exs WHERE script_owner = 'IZAS1'");
  exec("COMMIT");
  nuvo::db::Session installation;
  installation.logOn("IZAS1", "IZAS1", "DEMO");
  EXPECT_TRUE(nuvo::schema::copyOwnStatementTable(installation, "IZAS1"));
  EXPECT_EQ(column("select script_counter || script_stat || nvl(script_err, '-') from nuvo_util.nuvo_exs "
                   "where script_owner = 'IZAS1' and script_name = 'OLD1' and script_date is not null order by 1"),
            (QStringList{"1X-", "2EORA-00904"}));
  EXPECT_TRUE(column("select table_name from all_tables where owner='IZAS1' and table_name='NUVO_EXS'").isEmpty());
  // Rows of the owner are there now: a second copy refuses.
  EXPECT_FALSE(nuvo::schema::copyOwnStatementTable(installation, "IZAS1"));
}

// The windows against the same database, logged on as SYSTEM.
class HostingWindows : public HostingDb {
 protected:
  void SetUp() override {
    HostingDb::SetUp();
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("SYSTEM", "SYSTEM", "DEMO");
    main_->connUser = QStringLiteral("SYSTEM");
    {
      nuvo::db::Query mask(&main_->osOracle);
      mask.setSql(QStringLiteral("ALTER SESSION SET NLS_DATE_FORMAT = 'DD.MM.YYYY'"));
      mask.execute();
    }
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("TfmMoreUsers") || w->inherits("TfmInstUsers") || w->inherits("TfmScript")) windows << w;
    qDeleteAll(windows);
    messages_.reset();
    main_.reset();
    HostingDb::TearDown();
  }
  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

TEST_F(HostingWindows, SelectingAnInstallationSetsAllFourCurrentFields) {
  auto* w = new TfmMoreUsers(main_.get());
  ASSERT_EQ(w->quInst.recordCount(), 3);
  // Opening selects the first installation.
  EXPECT_EQ(main_->currUserAsKade, "IZAS1");
  EXPECT_EQ(w->laLastnik->text(), "IZAS1");
  // With ZOZURO down the KADE user and its password still come from the same row.
  w->spInvalidKade->setChecked(false);
  w->spInvalidZozuro->setChecked(true);
  w->quInst.setCurrentRow(2);
  w->SelectInstallation();
  EXPECT_EQ(main_->currUserAsKade, "IZAS3");
  EXPECT_EQ(main_->currPassAsKade, "izas3");
  EXPECT_EQ(main_->currUserAsZozuro, "FZAS3");
  EXPECT_EQ(main_->currPassAsZozuro, "fzas3");
  EXPECT_EQ(w->trenutniLastnik, "FZAS3");
  EXPECT_EQ(w->laLastnik->text(), "FZAS3");
  // Listing again shows the first installation and names it everywhere.
  w->ListInstallations();
  EXPECT_EQ(w->laLastnik->text(), "FZAS1");
  EXPECT_EQ(main_->currPassAsKade, "IZAS1");
  EXPECT_TRUE(w->quInvalid.isOpen());
}

TEST_F(HostingWindows, ScriptsPageListsMissingScriptsOfTheChosenInstallation) {
  auto* w = new TfmMoreUsers(main_.get());
  EXPECT_EQ(w->eddatumOD->text(), "02.03.2026");  // the newest day with an owner
  w->eddatumOD->setText("01.03.2026");
  w->rbManjkajoce->setChecked(true);
  w->btOsveziClick();
  ASSERT_EQ(w->quScr_Pregled2.recordCount(), 3);
  w->quScr_Pregled2.setCurrentRow(1);
  w->ShowInstallationScripts();
  QStringList names;
  for (int r = 0; r < w->quNapake2.recordCount(); ++r) names << w->quNapake2.value(r, 0).toString();
  EXPECT_EQ(names, (QStringList{"AU050", "AU300"}));
  EXPECT_FALSE(w->dbmNapaka->isVisibleTo(w));
}

TEST_F(HostingWindows, DeleteButtonsAskAndDeleteOnlyWhatTheyShow) {
  auto* w = new TfmMoreUsers(main_.get());
  // The delete-scripts page with every filter at "%", even after leaving the first edit: no question.
  w->edBrisiSkripteManjseExit();
  EXPECT_EQ(w->edBrisiSkripteLike->text(), "%");
  w->btBrisanjeSkriptClick();
  EXPECT_TRUE(messages_->texts().isEmpty());
  EXPECT_EQ(column("select count(*) from nuvo_util.nuvo_exs"), QStringList{"7"});

  // Deleting installation 3 asks; No keeps everything, Yes deletes its rows.
  w->quInstal.setCurrentRow(2);
  w->brBrisanjeClick();
  EXPECT_EQ(column("select count(*) from nuvo_util.nuvo_instalations"), QStringList{"3"});
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w->quInstal.setCurrentRow(2);
  w->brBrisanjeClick();
  EXPECT_EQ(owners(), (QStringList{"-", "IZAS1", "IZAS2", "IZAS3"}));
  EXPECT_EQ(w->quInst.recordCount(), 2);
}

TEST_F(HostingWindows, NewInstallationRowTakesTheNextNumber) {
  auto* w = new TfmMoreUsers(main_.get());
  w->btNovaClick();
  EXPECT_EQ(w->dbeIndex->text(), "4");
  EXPECT_EQ(w->dbeKade->text(), "IZAS4");
  EXPECT_EQ(w->dbeZozuro->text(), "FZAS4");
  EXPECT_EQ(w->dbeInstance->text(), "DEMO");
  w->dbeFullName->setText("Fourth");
  w->btShraniClick();
  EXPECT_EQ(column("select username || ' ' || fullname from nuvo_util.nuvo_instalations where userindex = 4"),
            QStringList{"IZAS4 Fourth"});
  EXPECT_EQ(w->trenStateUser, "NONE");
  // Editing without changing a password alters no user; changing one alters that user only.
  w->quInstal.setCurrentRow(0);
  w->btUrediClick();
  w->dbeFullName->setText("First again");
  w->btShraniClick();
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('\n').toStdString();
  w->btUrediClick();
  w->DBEGesloKade->setText("izas1 new");
  w->btShraniClick();
  nuvo::db::Session check;
  EXPECT_NO_THROW(check.logOn("IZAS1", "izas1 new", "DEMO"));
}

TEST_F(HostingWindows, RegisterWindowEditsRowsAndRefusesABadDate) {
  auto* w = new TfmInstUsers(main_.get());
  ASSERT_EQ(w->quInstUsers.recordCount(), 1);
  w->insertRow();
  w->edDesc->setText("HOTEL");
  w->edInstance->setText("HT1");
  w->edLast->setText("31.02.2026");
  EXPECT_FALSE(w->postRow());
  EXPECT_EQ(messages_->texts().size(), 1);
  w->edLast->setText("28.02.2026 10:30");
  // The operating-system page offers its template while the row is edited.
  w->pcInstalations->setCurrentWidget(w->tsOS);
  EXPECT_TRUE(w->meOS->toPlainText().startsWith("OS "));
  EXPECT_TRUE(w->postRow());
  EXPECT_EQ(column("select inst_desc || ' ' || to_char(inst_last, 'DD.MM.YYYY HH24:MI') || ' ' || substr(inst_os,1,2) "
                   "from nuvo_util.nuvo_inst where inst_instance = 'HT1'"),
            QStringList{"HOTEL 28.02.2026 10:30 OS"});
  // The filter lists what begins with the typed text.
  w->edUpor->setText("HOT");
  w->btRefreshClick();
  EXPECT_EQ(w->quInstUsers.recordCount(), 1);
  // A required column left empty is refused and the edit stays open.
  w->insertRow();
  w->edDesc->setText("NOINSTANCE");
  EXPECT_FALSE(w->postRow());
  EXPECT_EQ(column("select count(*) from nuvo_util.nuvo_inst"), QStringList{"2"});
}

}  // namespace
