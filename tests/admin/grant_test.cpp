// Grant and revoke: the checks of the boxes, the server blocks against a seeded database (rights
// really given and taken, as the dictionary shows them), the window and the unattended GRANT.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "admin/allGrant.h"
#include "admin/grant_logic.h"
#include "db/query.h"
#include "engine/engine.h"
#include "qstring_print.h"
#include "shell/Main.h"
#include "shell/runner.h"
#include "shell_test_support.h"

// Readable texts in the messages of failed checks.
inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << text.toStdString(); }

namespace {

using nuvo::admin::GrantBlock;
using nuvo::admin::GrantRequest;

TEST(GrantLogic, TheOwnersProcedureRunsOnlyForAnotherOwner) {
  const struct {
    const char* owner;
    const char* connUser;
    GrantBlock block;
  } cases[] = {
      {"KADE", "KADE", GrantBlock::ConnectedUser},
      {"kade", "KADE", GrantBlock::ConnectedUser},
      {"KADE", "kade", GrantBlock::ConnectedUser},
      {"ZOZURO", "KADE", GrantBlock::OwnerProcedure},
      {"KADE2", "KADE", GrantBlock::OwnerProcedure},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nuvo::admin::grantBlockFor(c.owner, c.connUser), c.block) << c.owner << " " << c.connUser;
}

TEST(GrantLogic, BoxesThatCannotMakeASafeStatementAreRefused) {
  const QString longest = "R" + QString(29, u'X');
  const struct {
    const char* what;
    QString owner, rights, grantee;
    const char* fault;  // a word of the message, or nullptr when the request may be sent
  } cases[] = {
      {"defaults", "KADE", "ALL", "DUD", nullptr},
      {"a list of rights", "kade", "SELECT, INSERT,UPDATE", "ana", nullptr},
      {"a column list", "KADE", "UPDATE (NAZIV, OPIS)", "G$1#", nullptr},
      {"a grantee of 30 characters", "KADE", "ALL", longest, nullptr},
      {"a grantee of 31 characters", "KADE", "ALL", longest + "Y", "grantee"},
      {"an empty grantee", "KADE", "ALL", "", "grantee"},
      {"a grantee with a quote", "KADE", "ALL", "DUD\" TO PUBLIC --", "grantee"},
      {"a grantee with a blank", "KADE", "ALL", "DUD X", "grantee"},
      {"a grantee starting with a digit", "KADE", "ALL", "1DUD", "grantee"},
      {"an empty owner", "", "ALL", "DUD", "owner"},
      {"an owner with a dot", "KADE.X", "ALL", "DUD", "owner"},
      {"no rights", "KADE", "", "DUD", "rights"},
      {"rights of blanks and commas only", "KADE", " , ", "DUD", "rights"},
      {"a second statement in the rights", "KADE", "ALL; DROP TABLE X", "DUD", "rights"},
      {"a quote in the rights", "KADE", "SELECT'", "DUD", "rights"},
  };
  for (const auto& c : cases) {
    const GrantRequest request{c.owner, "%", nuvo::admin::kDefaultGrantTypes, c.rights, c.grantee, false};
    const QString fault = nuvo::admin::grantRequestFault(request, false);
    if (!c.fault) {
      EXPECT_EQ(fault, "") << c.what;
    } else {
      EXPECT_TRUE(fault.contains(c.fault)) << c.what << ": " << fault.toStdString();
      EXPECT_FALSE(nuvo::admin::grantRequestFault(request, true).isEmpty()) << c.what;
    }
  }
}

// The schema GRT: two tables, a procedure, a function, a package with its body, the package that
// is never granted, its own DODELIPRAVICE, and a view (which the type lists below never select).
class GrantDatabase : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE USER grt IDENTIFIED BY grt", "GRANT CREATE SESSION, SELECT ANY DICTIONARY TO grt",
         "CREATE TABLE grt.t_one (a NUMBER)", "CREATE TABLE grt.t_two (a NUMBER)",
         "CREATE OR REPLACE PROCEDURE grt.p_run IS BEGIN NULL; END;",
         "CREATE OR REPLACE FUNCTION grt.f_get RETURN NUMBER IS BEGIN RETURN 1; END;",
         "CREATE OR REPLACE PACKAGE grt.pck IS PROCEDURE x; END pck;",
         "CREATE OR REPLACE PACKAGE BODY grt.pck IS PROCEDURE x IS BEGIN NULL; END; END pck;",
         "CREATE OR REPLACE PACKAGE grt.pcksemaphorserver IS PROCEDURE x; END;",
         "CREATE OR REPLACE PACKAGE BODY grt.pcksemaphorserver IS PROCEDURE x IS BEGIN NULL; END; END;",
         "CREATE OR REPLACE PROCEDURE grt.dodelipravice(s VARCHAR2) IS BEGIN EXECUTE IMMEDIATE s; END;",
         "CREATE VIEW grt.v_one AS SELECT a FROM grt.t_one", "CREATE ROLE gr_role", "CREATE USER gru IDENTIFIED BY gru",
         "GRANT CREATE SESSION TO gru"});
    main_ = std::make_unique<TfmMain>();
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("TfmGrantAll")) windows << w;
    qDeleteAll(windows);
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }

  void logOn(const QString& user) {
    main_->osOracle.logOn(user, user, "DEMO");
    main_->connUser = user;
  }
  static GrantRequest defaults(const QString& owner, const QString& grantee, bool revoke = false) {
    return {owner, "%", nuvo::admin::kDefaultGrantTypes, "ALL", grantee, revoke};
  }
  nuvo::admin::GrantOutcome run(const GrantRequest& request) {
    return nuvo::admin::runGrant(main_->osOracle, request, main_->connUser);
  }
  // "TABLE PRIVILEGE GRANTOR" of each right the grantee holds on the owner's objects, read as SYS.
  QStringList rights(const QString& grantee, const QString& owner = "GRT") const {
    auto session = database()->logOn("SYS", "SYS", true);
    auto query = session->prepare(
        "SELECT table_name || ' ' || privilege || ' ' || grantor FROM dba_tab_privs WHERE grantee = :1 AND owner = :2 "
        "ORDER BY 1");
    query->bind("1", engine::Value(grantee.toStdString()));
    query->bind("2", engine::Value(owner.toStdString()));
    query->execute();
    QStringList result;
    while (query->next()) result << QString::fromStdString(query->value(0).asText());
    return result;
  }
  // The objects the grantee holds any right on.
  QStringList objects(const QString& grantee, const QString& owner = "GRT") const {
    QStringList names;
    for (const QString& right : rights(grantee, owner)) {
      const QString name = right.section(' ', 0, 0);
      if (!names.contains(name)) names << name;
    }
    return names;
  }

  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

// The defaults give every table the rights typed and every procedure, function and package
// EXECUTE, never PCKSEMAPHORSERVER or DODELIPRAVICE; the revoke with the same boxes takes all of
// them back and is a success, although the package's body is selected as well as the package.
TEST_F(GrantDatabase, GrantAndRevokeAsTheOwner) {
  logOn("GRT");
  const auto granted = run(defaults("grt", "gr_role"));
  EXPECT_TRUE(granted.ok) << granted.text;
  EXPECT_EQ(granted.text, "OK");
  EXPECT_EQ(objects("GR_ROLE"), QStringList({"F_GET", "PCK", "P_RUN", "T_ONE", "T_TWO"}));
  const QStringList all = rights("GR_ROLE");
  for (const char* right : {"T_ONE SELECT GRT", "T_ONE INSERT GRT", "T_TWO DELETE GRT", "P_RUN EXECUTE GRT",
                            "F_GET EXECUTE GRT", "PCK EXECUTE GRT"})
    EXPECT_TRUE(all.contains(right)) << right << " in " << all.join(", ");
  EXPECT_FALSE(all.contains("T_ONE EXECUTE GRT"));

  const auto revoked = run(defaults("GRT", "GR_ROLE", true));
  EXPECT_TRUE(revoked.ok) << revoked.text;
  EXPECT_EQ(rights("GR_ROLE"), QStringList());

  // A second revoke finds nothing granted: every object is listed with the server's error.
  const auto again = run(defaults("GRT", "GR_ROLE", true));
  EXPECT_FALSE(again.ok);
  const QStringList lines = again.text.split("\r\n", Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 5) << again.text;
  for (const QString& line : lines) EXPECT_TRUE(line.contains("ORA-01927")) << line;
  EXPECT_TRUE(lines[0].startsWith("F_GET: ")) << lines[0];
  EXPECT_TRUE(again.text.endsWith("\r\n"));
}

TEST_F(GrantDatabase, TheFilterAndTheTypeListChooseTheObjects) {
  logOn("GRT");
  const struct {
    const char* filter;
    const char* types;
    QStringList objects;
  } cases[] = {
      {"t%", "TABLE", {"T_ONE", "T_TWO"}},
      {"%", "FUNCTION", {"F_GET"}},
      {"%_ONE", "TABLE", {"T_ONE"}},  // not the view
      // "PACKAGE BODY" holds "PACKAGE": the package is selected with its body, and granted once.
      {"P%", "PACKAGE BODY", {"PCK"}},
      {"NONE%", "TABLE", {}},
  };
  for (const auto& c : cases) {
    GrantRequest request = defaults("GRT", "GRU");
    request.filter = c.filter;
    request.types = c.types;
    request.rights = "SELECT";
    const auto outcome = run(request);
    EXPECT_TRUE(outcome.ok) << c.filter << " " << c.types << ": " << outcome.text;
    EXPECT_EQ(objects("GRU"), c.objects) << c.filter << " " << c.types;
    request.revoke = true;
    EXPECT_TRUE(run(request).ok) << c.filter << " " << c.types;
    EXPECT_EQ(objects("GRU"), QStringList()) << c.filter << " " << c.types;
  }
}

// A grantee that does not exist: each object is listed with the server's error, nothing is given.
TEST_F(GrantDatabase, AMissingGranteeIsListedWithTheServersError) {
  logOn("GRT");
  GrantRequest request = defaults("GRT", "NO_SUCH_GRANTEE");
  request.types = "TABLE";
  const auto outcome = run(request);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.text.split("\r\n", Qt::SkipEmptyParts),
            QStringList({"T_ONE: ORA-01917: user or role 'NO_SUCH_GRANTEE' does not exist",
                         "T_TWO: ORA-01917: user or role 'NO_SUCH_GRANTEE' does not exist"}));
}

// Sixty failures: fifty names, then the line that says there were more, and the run stops there;
// the list never grows past what it is collected in, so the block itself does not fail.
TEST_F(GrantDatabase, FailuresPastTheLimitEndTheListWithoutFailingTheBlock) {
  QStringList tables;
  for (int i = 0; i < 60; ++i)
    tables << QStringLiteral("CREATE TABLE grt.a_long_table_name_number_%1 (a NUMBER)").arg(i, 2, 10, QChar('0'));
  sys(tables);
  logOn("GRT");
  GrantRequest request = defaults("GRT", "NO_SUCH_GRANTEE");
  request.filter = "A_LONG%";
  const auto outcome = run(request);
  EXPECT_FALSE(outcome.ok);
  const QStringList lines = outcome.text.split("\r\n", Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), nuvo::admin::kMaxGrantFailures + 1) << outcome.text;
  EXPECT_TRUE(lines[0].startsWith("A_LONG_TABLE_NAME_NUMBER_00: ORA-01917")) << lines[0];
  EXPECT_TRUE(lines[49].startsWith("A_LONG_TABLE_NAME_NUMBER_49: ")) << lines[49];
  EXPECT_EQ(lines[50], nuvo::admin::tooManyFailuresLine());
  EXPECT_EQ(lines[50], QString::fromUtf8(" VEČ KOT 50 NAPAK"));
}

// A grantee of 30 characters, a table name of 30 and a list of rights.
TEST_F(GrantDatabase, LongNamesAndAGranteeOfThirtyCharacters) {
  const QString grantee = "GRANTEE_WITH_A_NAME_OF_30_CHAR";
  ASSERT_EQ(grantee.size(), 30);
  sys({"CREATE ROLE " + grantee, "CREATE TABLE grt.table_with_a_name_of_30_chars_ (a NUMBER, b NUMBER)"});
  logOn("GRT");
  GrantRequest request = defaults("GRT", grantee);
  request.filter = "TABLE_WITH%";
  request.rights = "SELECT, INSERT, UPDATE, DELETE, ALTER, INDEX, REFERENCES";
  const auto outcome = run(request);
  EXPECT_TRUE(outcome.ok) << outcome.text;
  EXPECT_TRUE(rights(grantee).contains("TABLE_WITH_A_NAME_OF_30_CHARS_ REFERENCES GRT")) << rights(grantee).join(", ");
}

// Another owner: the statements run through the owner's seeded DODELIPRAVICE with the owner's
// rights, and the grantee sees them in ALL_TAB_PRIVS.
TEST_F(GrantDatabase, AnotherOwnersObjectsThroughItsProcedure) {
  logOn("ANA");
  GrantRequest request = defaults("kade", "BOR");
  request.filter = "PR107%";
  request.rights = "SELECT";
  const auto granted = run(request);
  EXPECT_TRUE(granted.ok) << granted.text;
  auto bor = database()->logOn("BOR", "BOR");
  const auto seenBy = [&bor] {
    auto query = bor->prepare(
        "SELECT table_name || ' ' || privilege || ' ' || grantor FROM all_tab_privs WHERE grantee = 'BOR' ORDER BY 1");
    query->execute();
    QStringList rows;
    while (query->next()) rows << QString::fromStdString(query->value(0).asText());
    return rows;
  };
  EXPECT_EQ(seenBy(), QStringList({"PR107PAR SELECT KADE"}));
  request.revoke = true;
  EXPECT_TRUE(run(request).ok);
  EXPECT_EQ(seenBy(), QStringList());
}

// An owner without the procedure (or one the user may not call): nothing runs; the fixed text names
// the procedure and the server's error follows it.
TEST_F(GrantDatabase, AnOwnerWithoutItsProcedureGivesTheFixedTextAndTheServersError) {
  logOn("ANA");
  const auto outcome = run(defaults("nuvo_util", "BOR"));
  EXPECT_FALSE(outcome.ok);
  const QStringList lines = outcome.text.split("\r\n");
  ASSERT_EQ(lines.size(), 2) << outcome.text;
  EXPECT_EQ(lines[0], "PROCEDURE nuvo_util.DODELIPRAVICE NE OBSTAJA !");
  EXPECT_TRUE(lines[1].startsWith("ORA-")) << lines[1];
  EXPECT_TRUE(lines[1].contains("DODELIPRAVICE")) << lines[1];
  EXPECT_EQ(objects("BOR", "NUVO_UTIL"), QStringList());
}

// The seeded procedure runs grants and revokes only.
TEST_F(GrantDatabase, TheSeededProcedureRefusesOtherStatements) {
  logOn("ANA");
  nuvo::db::Query call(&main_->osOracle);
  call.setSql("BEGIN kade.dodelipravice(:s); END;");
  call.declareVariable("s", nuvo::db::DataType::String);
  for (const char* statement : {"DROP TABLE kade.pr107par", "  grant_x", ""}) {
    call.setVariable("s", statement);
    try {
      call.execute();
      ADD_FAILURE() << statement << " ran";
    } catch (const nuvo::db::Error& e) {
      EXPECT_TRUE(e.message().contains("ORA-20001")) << statement << ": " << e.message();
    }
  }
  call.setVariable("s", "  grant select on kade.pr107par to bor");
  call.execute();
  EXPECT_EQ(objects("BOR", "KADE"), QStringList({"PR107PAR"}));
}

TEST_F(GrantDatabase, TheWindowShowsTheOutcome) {
  logOn("GRT");
  main_->currOwner = "grt";
  auto* w = new TfmGrantAll;
  w->show();
  EXPECT_EQ(w->edOwner->text(), "GRT");
  EXPECT_EQ(w->edFilter->text(), "%");
  EXPECT_EQ(w->edTip->text(), nuvo::admin::kDefaultGrantTypes);
  EXPECT_EQ(w->edPravice->text(), "ALL");
  EXPECT_EQ(w->edUporabnik->text(), "DUD");
  EXPECT_TRUE(w->rbGrant->isChecked());
  EXPECT_EQ(w->laAction->text(), "");
  EXPECT_TRUE(w->objectName().startsWith("fmGrantAll"));

  w->edUporabnik->setText("NO_SUCH_GRANTEE");
  w->edTip->setText("TABLE");
  w->btGranteeClick();
  EXPECT_EQ(w->laAction->text(), "ERRORS");
  EXPECT_TRUE(w->meError->isVisible());
  EXPECT_TRUE(w->meError->toPlainText().contains("T_TWO: ORA-01917")) << w->meError->toPlainText();
  EXPECT_TRUE(QTest::qWaitFor([w] { return w->height() >= TfmGrantAll::kHeightWithErrors; }, 5000)) << w->height();

  w->edUporabnik->setText("GRU");
  w->btGranteeClick();
  EXPECT_EQ(w->laAction->text(), "OK");
  EXPECT_FALSE(w->meError->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([w] { return w->height() < TfmGrantAll::kHeightWithErrors; }, 5000)) << w->height();
  EXPECT_EQ(objects("GRU"), QStringList({"T_ONE", "T_TWO"}));

  // Boxes that make no safe statement are refused before anything is sent.
  w->rbRevoke->setChecked(true);
  w->edPravice->setText("ALL TO PUBLIC; --");
  w->btGranteeClick();
  EXPECT_EQ(w->laAction->text(), "ERRORS");
  EXPECT_TRUE(w->meError->toPlainText().contains("rights")) << w->meError->toPlainText();
  EXPECT_EQ(objects("GRU"), QStringList({"T_ONE", "T_TWO"}));
  EXPECT_TRUE(messages_->texts().isEmpty());
}

// The main menu opens a new window each time.
TEST_F(GrantDatabase, TheMainMenuOpensANewWindowEachTime) {
  logOn("GRT");
  const auto shown = [] {
    QList<TfmGrantAll*> windows;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* grant = qobject_cast<TfmGrantAll*>(top); grant && grant->isVisible()) windows << grant;
    return windows;
  };
  main_->command("mmGrantRevokerights")->trigger();
  main_->command("mmGrantRevokerights")->trigger();
  const auto windows = shown();
  ASSERT_EQ(windows.size(), 2);
  EXPECT_NE(windows[0]->objectName(), windows[1]->objectName());
  EXPECT_TRUE(windows[0]->testAttribute(Qt::WA_DeleteOnClose));
}

TEST_F(GrantDatabase, TextsInEachLanguage) {
  const struct {
    const char* language;
    const char* title;
    const char* grant;
    const char* grantee;
  } cases[] = {
      {"SLO", "Pravice", "Dodaj", "Uporabnik:"},
      {"ANG", "Grant/Revoke Rights ", "Grant", "Grantee:"},
      {"", "Grant/Revoke Rights ", "Grant", "Grantee:"},
  };
  for (const auto& c : cases) {
    main_->currLanguage = c.language;
    TfmGrantAll w;
    EXPECT_EQ(w.windowTitle(), c.title) << c.language;
    EXPECT_EQ(w.rbGrant->text(), c.grant) << c.language;
    EXPECT_EQ(w.laGrantee->text(), QString::fromUtf8(c.grantee)) << c.language;
    EXPECT_EQ(w.btGrantee->text(), main_->nizStart) << c.language;
  }
}

// The runner's GRANT: the window runs from its timer and closes itself whatever the outcome; a
// failed run is reported and the run goes on.
TEST_F(GrantDatabase, UnattendedGrantClosesAndReportsFailures) {
  logOn("GRT");
  auto& openers = main_->runner().openers;
  ASSERT_TRUE(openers.count("GRANT"));
  nuvo::shell::WindowRequest request;
  request.line.action = "GRANT";
  request.line.p1 = "GRT";
  request.line.p2 = "GRU";
  EXPECT_TRUE(openers["GRANT"](*main_, request));
  EXPECT_TRUE(main_->runner().log.isEmpty()) << main_->runner().log.join('\n');
  EXPECT_EQ(objects("GRU"), QStringList({"F_GET", "PCK", "P_RUN", "T_ONE", "T_TWO"}));

  request.line.p2 = "NO_SUCH_GRANTEE";
  EXPECT_TRUE(openers["GRANT"](*main_, request));
  ASSERT_EQ(main_->runner().log.size(), 1);
  EXPECT_TRUE(main_->runner().log[0].startsWith("GRANT GRT NO_SUCH_GRANTEE: ")) << main_->runner().log[0];
  EXPECT_TRUE(main_->runner().log[0].contains("ORA-01917")) << main_->runner().log[0];
  for (QWidget* top : QApplication::topLevelWidgets())
    EXPECT_FALSE(top->inherits("TfmGrantAll") && top->isVisible());
  EXPECT_TRUE(messages_->texts().isEmpty());
}

}  // namespace
