#include "sqlwork/script_table.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cstring>

#include "db/query.h"
#include "db/session.h"
#include "engine/engine.h"
#include "qstring_print.h"
#include "shell_test_support.h"

namespace {

using namespace nuvo::sqlwork;

RowContext kadeContext() {
  RowContext context;
  context.user = QStringLiteral("KADE");
  return context;
}

TEST(ScriptRules, TolerationFollowsTheFirstDropPatternFound) {
  const struct {
    const char* text;
    bool tolerated;
  } cases[] = {
      {"alter table t drop constraint t_fk", true},
      {"drop index t_i1", true},
      {"Drop Index t_i1", true},
      {"drop table tmp_work", true},
      {"drop table work", false},
      {"drop table work; drop index x", false},  // a table drop decides, "DROP INDEX" or not
      {"drop tablespace x", false},
      {"create table x (y number)", false},
  };
  for (const auto& c : cases) EXPECT_EQ(DopustnaNapaka(QString::fromUtf8(c.text)), c.tolerated) << c.text;
}

TEST(ScriptRules, CleaningAPlsqlFileDropsWhatFollowsTheFinalEnd) {
  const struct {
    const char* text;
    const char* cleaned;
  } cases[] = {
      {"begin null;\r\nend;\r\n/\r\n", "begin null;\r\nend;"},
      {"create package p is\r\nend p;\r\n/\r\n/\r\n\r\n", "create package p is\r\nend p;"},
      {"create package p is\r\nend  a_long_package_name;\r\n/\r\n \r\n/\r\n", "create package p is\r\nend  a_long_package_name;"},
      {"create package p is\r\nend \"Quoted_Name\" ;\r\n/", "create package p is\r\nend \"Quoted_Name\" ;"},
      {"insert into t values (1, 'no unit here');\r\n/\r\n", "insert into t values (1, 'no unit here');\r\n/\r\n"},
      {"select 1 from dual", "select 1 from dual"},
      {"x := 1;\r\n/", "x := 1;\r\n/"},
  };
  for (const auto& c : cases) EXPECT_EQ(f_pocistiNiz(QString::fromUtf8(c.text)), QString::fromUtf8(c.cleaned));
}

TEST(ScriptRules, RowKindsAreTakenAtCharacterOneInExactCase) {
  const struct {
    const char* text;
    RowKind kind;
    const char* target;
  } cases[] = {
      {"#ENABLE#KADE.A_TABLE_NAME_LONGER_THAN_TWENTY\r\nrest", RowKind::Enable, "KADE.A_TABLE_NAME_LONGER_THAN_TWENTY"},
      {"#DISABLE# isec_users ", RowKind::Disable, "isec_users"},
      {"#PL/SQL#/sql/pck.sql", RowKind::PlsqlFile, "/sql/pck.sql"},
      {"#enable#kade.t", RowKind::Plain, "#enable#kade.t"},
      {" #ENABLE#kade.t", RowKind::Plain, " #ENABLE#kade.t"},
  };
  for (const auto& c : cases) {
    const RowAction action = classifyRow(QString::fromUtf8(c.text));
    EXPECT_EQ(action.kind, c.kind) << c.text;
    EXPECT_EQ(action.target, QString::fromUtf8(c.target));
  }
}

class ScriptTable : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    session_.logOn("KADE", "KADE", "DEMO");
    scope_.ownerColumns = hasOwnerColumns(session_);
  }
  void TearDown() override {
    session_.logOff();
    DatabaseFixture::TearDown();
  }
  QVector<ScriptRow> rows(const QStringList& texts) {
    QVector<ScriptRow> result;
    for (const QString& t : texts) result.push_back({static_cast<int>(result.size()) + 1, t, t});
    return result;
  }
  QStringList column(const QString& sql) {
    nuvo::db::Query q(&session_);
    q.setSql(sql);
    QStringList values;
    for (q.execute(); !q.eof(); q.next()) {
      QStringList fields;
      for (int i = 0; i < q.fieldCount(); ++i) fields << q.field(i).asString();
      values << fields.join(QLatin1Char('|'));
    }
    return values;
  }
  RowOutcome run(const QString& text, const RowContext& context = kadeContext()) {
    nuvo::db::Query q(&session_);
    return runRowStatement(q, text, context);
  }

  nuvo::db::Session session_;
  ScriptScope scope_;
};

TEST_F(ScriptTable, StoresAWholeScriptWithOwnerAndDate) {
  EXPECT_TRUE(scope_.ownerColumns);
  ASSERT_FALSE(storeScript(session_, "UPG1", rows({"create table a (x number)", "drop table a"}), scope_, "kade"));
  EXPECT_EQ(countScriptRows(session_, "UPG1", scope_), 2);
  EXPECT_EQ(column("select script_counter, script_stat, script_owner, nvl(script_err,'-'),"
                   " decode(script_date,null,'no date','dated') from nuvo_util.nuvo_exs order by 1"),
            (QStringList{"1|N|KADE|-|dated", "2|N|KADE|-|dated"}));
  EXPECT_FALSE(session_.inTransaction());
}

TEST_F(ScriptTable, AFailingInsertStoresNothingAndNamesTheStatement) {
  sys({"CREATE TRIGGER nuvo_util.exs_no3 BEFORE INSERT ON nuvo_util.nuvo_exs FOR EACH ROW "
       "WHEN (new.script_counter = 3) BEGIN raise_application_error(-20001, 'refused'); END;"});
  const auto error = storeScript(session_, "UPG2", rows({"select 1 from dual", "select 2 from dual",
                                                         "select 3 from dual", "select 4 from dual"}),
                                 scope_, "KADE");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->counter, 3);
  EXPECT_EQ(error->sourceLines, QStringLiteral("select 3 from dual"));
  EXPECT_TRUE(error->message.startsWith(QStringLiteral("ORA-20001"))) << error->message.toStdString();
  EXPECT_EQ(countScriptRows(session_, "UPG2", scope_), 0);
}

TEST_F(ScriptTable, WithoutOwnerColumnsRowsAreStoredAndCountedWithoutThem) {
  sys({"DROP TABLE nuvo_util.nuvo_exs",
       "CREATE TABLE nuvo_util.nuvo_exs (script_name VARCHAR2(30) NOT NULL, script_counter NUMBER(10) NOT NULL,"
       " script_stat VARCHAR2(1), script_cont LONG, script_err VARCHAR2(2000))",
       "GRANT SELECT, INSERT, UPDATE, DELETE ON nuvo_util.nuvo_exs TO nuvo_exs_writer"});
  EXPECT_FALSE(hasOwnerColumns(session_));
  const ScriptScope plain;
  ASSERT_FALSE(storeScript(session_, "UPG3", rows({"select 1 from dual"}), plain, "KADE"));
  writeRowStatus(session_, "UPG3", 1, plain, {QLatin1Char('X'), {}, true});
  EXPECT_EQ(column("select script_stat from nuvo_util.nuvo_exs"), QStringList{"X"});
}

TEST_F(ScriptTable, OwnerScopeCountsOnlyTheOwnersRows) {
  ASSERT_FALSE(storeScript(session_, "UPG4", rows({"select 1 from dual"}), scope_, "ANA"));
  ScriptScope kade = scope_;
  kade.owner = QStringLiteral("KADE");
  EXPECT_EQ(countScriptRows(session_, "UPG4", kade), 0);
  ScriptScope ana = scope_;
  ana.owner = QStringLiteral("ANA");
  EXPECT_EQ(countScriptRows(session_, "UPG4", ana), 1);
  EXPECT_EQ(countScriptRows(session_, "upg4", scope_), 0);  // names are stored as given: upper case
}

TEST_F(ScriptTable, StatementOutcomes) {
  sys({"CREATE TABLE kade.keep_t (x NUMBER)"});
  const struct {
    const char* text;
    QChar status;
    const char* errorStart;  // "" for no error
    bool goOn;
  } cases[] = {
      {"create table kade.new_t (x number)", 'X', "", true},
      {"drop index kade.no_such_index", 'E', "ORA-", true},
      {"drop table kade.tmp_none", 'E', "ORA-00942", true},
      {"drop table kade.keep_none", 'E', "ORA-00942", false},
      {"create or replace procedure kade.broken is begin x := ; end;", 'E', "ORA-24344", false},
      {"insert into kade.keep_t values (1)", 'X', "", true},
  };
  for (const auto& c : cases) {
    const RowOutcome outcome = run(QString::fromUtf8(c.text));
    EXPECT_EQ(outcome.status, c.status) << c.text << " " << outcome.error.toStdString();
    EXPECT_EQ(outcome.error.left(static_cast<int>(strlen(c.errorStart))), QString::fromUtf8(c.errorStart)) << c.text;
    EXPECT_EQ(outcome.error.isEmpty(), *c.errorStart == 0) << c.text;
    EXPECT_EQ(outcome.goOn, c.goOn) << c.text;
  }
}

TEST_F(ScriptTable, RetriesFollowTheErrorCode) {
  const struct {
    int code;
    int failures;
    QChar status;
  } cases[] = {{4068, 1, 'X'}, {4068, 2, 'E'}, {1555, 4, 'X'}, {1555, 5, 'E'}, {942, 1, 'E'}};
  for (const auto& c : cases) {
    database()->clearFaults();
    database()->injectFault("from kade.isec_users", c.code, c.failures);
    const RowOutcome outcome = run(QStringLiteral("select count(*) from kade.isec_users"));
    EXPECT_EQ(outcome.status, c.status) << c.code << " x" << c.failures << " " << outcome.error.toStdString();
    if (c.status == QLatin1Char('E')) {
      EXPECT_TRUE(outcome.error.contains(QStringLiteral("ORA-%1").arg(c.code, 5, 10, QLatin1Char('0'))));
    }
  }
  database()->clearFaults();
}

TEST_F(ScriptTable, RetriesLookForTheCodeAnywhereInTheMessage) {
  // A handler that re-raises puts its own code first; the statement fails `failures` times.
  sys({"CREATE PACKAGE kade.rerun IS calls NUMBER := 0; END;"});
  const struct {
    const char* code;
    int failures;
    QChar status;
  } cases[] = {{"ORA-04068", 1, 'X'}, {"ORA-04068", 2, 'E'}, {"ORA-01555", 4, 'X'}, {"ORA-01555", 5, 'E'}};
  for (const auto& c : cases) {
    EXPECT_EQ(run("begin kade.rerun.calls := 0; end;").status, QLatin1Char('X'));
    const RowOutcome outcome =
        run(QStringLiteral("begin kade.rerun.calls := kade.rerun.calls + 1; if kade.rerun.calls <= %1 then "
                           "raise_application_error(-20001, 'step failed: %2: wrapped'); end if; end;")
                .arg(c.failures)
                .arg(QLatin1String(c.code)));
    EXPECT_EQ(outcome.status, c.status) << c.code << " x" << c.failures << " " << outcome.error.toStdString();
  }
}

TEST_F(ScriptTable, PlsqlFileRowsReadCleanAndRenameTheFile) {
  const QString file = QString::fromStdString(home()) + "/pck.sql";
  writeHomeFile("pck.sql", "create or replace package pck_e8 is\r\n  function f return number;\r\nend pck_e8;\r\n/\r\n");
  RowContext context = kadeContext();
  context.readFile = [](const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("unreadable");
    return QString::fromUtf8(f.readAll());
  };
  QString renamed;
  context.rename = [&renamed](const QString& text) { return renamed = text; };
  const RowOutcome created = run("#PL/SQL#" + file, context);
  EXPECT_EQ(created.status, QLatin1Char('X')) << created.error.toStdString();
  EXPECT_FALSE(renamed.contains(QLatin1Char('/')));
  EXPECT_EQ(column("select status from all_objects where object_name='PCK_E8'"), QStringList{"VALID"});

  const RowOutcome missing = run(QStringLiteral("#PL/SQL#/no/such/file.sql"), context);
  EXPECT_EQ(missing.status, QLatin1Char('E'));
  EXPECT_EQ(missing.error, QStringLiteral("/no/such/file.sql  DOESN'T  EXISTS !"));
  EXPECT_FALSE(missing.goOn);
}

TEST_F(ScriptTable, ThreadedOutcomesKeepTheErrorText) {
  RowContext context = kadeContext();
  QString answer;
  context.threaded = [&answer](const QString&) { return answer; };
  EXPECT_EQ(run("select 1 from dual", context).error, QStringLiteral("NO ERRORS"));
  answer = QStringLiteral("ORA-01418: specified index does not exist");
  const RowOutcome tolerated = run("drop index kade.x", context);
  EXPECT_EQ(tolerated.status, QLatin1Char('X'));
  EXPECT_EQ(tolerated.error, answer);
  EXPECT_EQ(run("drop table kade.x", context).status, QLatin1Char('E'));

  // A PL/SQL file goes to the thread cleaned and renamed; a missing one never reaches it.
  QStringList sent;
  context.threaded = [&sent](const QString& sql) {
    sent << sql;
    return QString();
  };
  context.readFile = [](const QString& path) {
    if (path != u"/sql/pck.sql") throw std::runtime_error("missing");
    return QStringLiteral("create package KADE.p is\r\nend p;\r\n/\r\n");
  };
  context.rename = [](const QString& text) { return QString(text).replace("KADE.", "IZAS1."); };
  EXPECT_EQ(run("#PL/SQL#/sql/pck.sql", context).status, QLatin1Char('X'));
  EXPECT_EQ(run("#PL/SQL#/sql/none.sql", context).error, QStringLiteral("/sql/none.sql  DOESN'T  EXISTS !"));
  EXPECT_EQ(sent, QStringList{"create package IZAS1.p is\r\nend p;"});
}

TEST_F(ScriptTable, EnableAndDisableSwitchTheForeignKeysOfATable) {
  sys({"CREATE TABLE kade.par_t (id NUMBER CONSTRAINT par_pk PRIMARY KEY)",
       "CREATE TABLE kade.chi_t (pid NUMBER CONSTRAINT chi_fk REFERENCES kade.par_t (id))",
       "CREATE TABLE kade.oth_t (pid NUMBER CONSTRAINT oth_fk REFERENCES kade.par_t (id))",
       "CREATE TABLE kade.unrelated_t (id NUMBER CONSTRAINT unr_pk PRIMARY KEY)",
       "CREATE TABLE kade.unr_chi_t (pid NUMBER CONSTRAINT unr_fk REFERENCES kade.unrelated_t (id))"});
  EXPECT_EQ(run("#DISABLE#par_t").status, QLatin1Char('X'));
  EXPECT_EQ(column("select constraint_name, status from all_constraints where constraint_name in"
                   " ('CHI_FK','OTH_FK') order by 1"),
            (QStringList{"CHI_FK|DISABLED", "OTH_FK|DISABLED"}));
  EXPECT_EQ(column("select status from all_constraints where constraint_name='UNR_FK'"), QStringList{"ENABLED"});
  sys({"INSERT INTO kade.chi_t VALUES (7)"});
  const RowOutcome enable = run("#ENABLE#kade.par_t");
  EXPECT_EQ(enable.status, QLatin1Char('X'));
  EXPECT_TRUE(enable.error.contains(QStringLiteral("ORA-02298"))) << enable.error.toStdString();
  EXPECT_EQ(column("select constraint_name, status from all_constraints where constraint_name in"
                   " ('CHI_FK','OTH_FK') order by 1"),
            (QStringList{"CHI_FK|DISABLED", "OTH_FK|ENABLED"}));
}

TEST_F(ScriptTable, StatusWriteKeepsTheStartOfALongErrorThatFitsTheColumn) {
  ASSERT_FALSE(storeScript(session_, "UPG5", rows({"select 1 from dual"}), scope_, "KADE"));
  // The column holds 2000 bytes: "č" takes two in UTF-8 and is never cut in two.
  const QString c = QStringLiteral("č");
  const struct {
    QString error;
    QString kept;
  } cases[] = {
      {QString(2500, QLatin1Char('e')), QString(2000, QLatin1Char('e'))},
      {c.repeated(2500), c.repeated(1000)},
      {QStringLiteral("e") + c.repeated(1500), QStringLiteral("e") + c.repeated(999)},
      {QStringLiteral("ORA-00942: short"), QStringLiteral("ORA-00942: short")},
  };
  for (const auto& k : cases) {
    writeRowStatus(session_, "UPG5", 1, scope_, {QLatin1Char('E'), k.error, false});
    EXPECT_EQ(column("select script_stat || ':' || script_err from nuvo_util.nuvo_exs"), QStringList{"E:" + k.kept})
        << k.error.size();
  }
  EXPECT_TRUE(pendingRows(session_, "UPG5", scope_).isEmpty());
}

TEST_F(ScriptTable, AStatusForARowThatIsGoneIsAnErrorAndTakesTheStatementsWorkBack) {
  sys({"CREATE TABLE kade.work_t (x NUMBER)"});
  ASSERT_FALSE(storeScript(session_, "UPG6", rows({"insert into kade.work_t values (1)"}), scope_, "KADE"));
  ScriptScope ana = scope_;
  ana.owner = QStringLiteral("ANA");
  const struct {
    int counter;
    ScriptScope scope;
  } gone[] = {{2, scope_}, {1, ana}};
  for (const auto& g : gone) {
    EXPECT_EQ(run("insert into kade.work_t values (1)").status, QLatin1Char('X'));
    EXPECT_THROW(writeRowStatus(session_, "UPG6", g.counter, g.scope, {QLatin1Char('X'), {}, true}),
                 nuvo::db::Error);
    EXPECT_FALSE(session_.inTransaction());
    EXPECT_EQ(column("select count(*) from kade.work_t"), QStringList{"0"});
  }
  EXPECT_EQ(column("select script_stat from nuvo_util.nuvo_exs"), QStringList{"N"});
}

}  // namespace
