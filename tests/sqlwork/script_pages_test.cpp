#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "db/query.h"
#include "qstring_print.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell_test_support.h"
#include "sqlwork/execScr.h"
#include "widgets/message_facade.h"

namespace {

// Rows of the statement table: script, counter, status, text, error and owner.
struct Row {
  const char* name;
  int counter;
  const char* status;
  const char* text;
  const char* error;
  const char* owner;
};

class ScriptPages : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("KADE", "KADE", "DEMO");
    main_->connUser = QStringLiteral("KADE");
    main_->connServer = QStringLiteral("DEMO");
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    delete window_.data();
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }
  void store(const QList<Row>& rows) {
    QStringList inserts;
    for (const Row& r : rows)
      inserts << QStringLiteral("INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont,"
                                " script_err, script_owner, script_date) VALUES ('%1', %2, '%3', '%4', %5, '%6', sysdate)")
                     .arg(r.name)
                     .arg(r.counter)
                     .arg(r.status, r.text,
                          *r.error ? QStringLiteral("'%1'").arg(r.error) : QStringLiteral("NULL"), r.owner);
    sys(inserts);
  }
  TfmScript& open() {
    window_ = new TfmScript;
    return *window_;
  }
  // The window listing `script` with the status box on item `status` (0 N, 1 X, 2 D, 3 E, 4 all).
  TfmScript& listing(const QString& script, int status) {
    TfmScript& w = open();
    w.cbShowType->setCurrentIndex(status);
    w.cbAllScripts->setEditText(script);
    w.cbAllScriptsClick();
    w.cbShowType->setCurrentIndex(status);
    return w;
  }
  // The rows of a grid as it shows them: the visible columns' texts joined with "|".
  QStringList grid(const QTableView* view) {
    const QAbstractItemModel* model = view->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < model->columnCount(); ++c)
        if (!view->isColumnHidden(c)) cells << model->index(r, c).data().toString();
      rows << cells.join('|');
    }
    return rows;
  }
  // The counter and status of each row of the statement list.
  QStringList listed(const QTableView* view) {
    QStringList rows;
    for (const QString& row : grid(view)) rows << row.section('|', 0, 1);
    return rows;
  }
  // Moves the grid's cursor to a row, as a click would.
  void select(QTableView* view, int row) {
    int column = 0;
    while (view->isColumnHidden(column)) ++column;
    view->setCurrentIndex(view->model()->index(row, column));
  }
  QStringList table(const QString& where = "1=1") {
    nuvo::db::Query q(&main_->osOracle);
    q.setSql("select script_name || ':' || script_counter || ':' || script_stat || ':' || script_err"
             " from nuvo_util.nuvo_exs where " + where + " order by script_name, script_counter");
    QStringList result;
    for (q.execute(); !q.eof(); q.next()) result << q.field(0).asString();
    return result;
  }
  const QStringList& messages() const { return messages_->texts(); }

  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
  QPointer<TfmScript> window_;
};

const QList<Row> kRows = {
    {"UPG_A", 1, "X", "create table a (x number)", "", "KADE"},
    {"UPG_A", 2, "X", "create index a_i on a (x)", "", "KADE"},
    {"UPG_A", 3, "E", "insert into nothing values (1)", "ORA-00942: table or view does not exist", "KADE"},
    {"UPG_A", 4, "X", "drop table tmp_a", "", "KADE"},
    {"UPG_A", 5, "D", "grant select on a to public", "", "KADE"},
    {"UPG_B", 1, "N", "create view b_v as select 1 x from dual", "", "KADE"},
};

TEST_F(ScriptPages, TheStatusBoxAndFiltersNarrowTheList) {
  store(kRows);
  const struct {
    int status;
    const char* napaka;
    const char* filter;
    QStringList rows;
  } cases[] = {
      {4, "", "", {"1|X", "2|X", "3|E", "4|X", "5|D"}},
      {1, "", "", {"1|X", "2|X", "4|X"}},
      {3, "", "", {"3|E"}},
      {4, "ora-00942", "", {"3|E"}},
      {4, "", "TABLE", {"1|X", "4|X"}},
  };
  TfmScript& w = listing("UPG_A", 4);
  for (const auto& c : cases) {
    w.edNapaka->setText(c.napaka);
    w.edFilter->setText(c.filter);
    w.cbShowType->setCurrentIndex(c.status);
    w.btRefreshClick();
    EXPECT_EQ(listed(w.dbgSkripte), c.rows) << c.status << " " << c.napaka << " " << c.filter;
  }
}

// The list shows counter, status, the statement on one line and the error, under titles in the
// program's language, with room for all four in a window at 1366x768.
TEST_F(ScriptPages, TheStatementListShowsCounterStatusStatementAndError) {
  store({{"UPG_R", 1, "X", "create table r (\r\n  x number)", "", "KADE"},
         {"UPG_R", 2, "E", "insert into nothing values (1)", "ORA-00942: table or view does not exist", "KADE"}});
  for (const bool slovene : {false, true}) {
    main_->currLanguage = slovene ? "SLO" : "ANG";
    TfmScript& w = listing("UPG_R", 4);
    EXPECT_EQ(grid(w.dbgSkripte), (QStringList{"1|X|create table r (   x number)|",
                                               "2|E|insert into nothing values (1)|ORA-00942: table or view does not exist"}));
    QStringList titles;
    for (int c = 0; c < w.dbgSkripte->model()->columnCount(); ++c)
      if (!w.dbgSkripte->isColumnHidden(c)) titles << w.dbgSkripte->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, slovene ? QStringList({"COUNTER", "Stat", "Ukaz", "Napaka"})
                              : QStringList({"COUNTER", "Stat", "Statement", "Error"}));
    w.resize(1366, 700);
    w.show();
    QCoreApplication::processEvents();
    const int counterAndStatus = w.dbgSkripte->columnViewportPosition(2);
    EXPECT_GE(w.dbgSkripte->viewport()->width(), counterAndStatus + 200) << "no room for the statement";
    EXPECT_GE(w.cbAllScripts->width(), w.cbAllScripts->fontMetrics().horizontalAdvance(QString(30, 'W')) * 3 / 4);
    delete window_.data();
  }
}

// A stored statement longer than any PL/SQL variable (a large package body) is searched whole, and
// the filters over the rest of the table keep answering.
TEST_F(ScriptPages, TextFiltersAnswerForStatementsOfAnyLength) {
  store(kRows);
  sys({"DECLARE v VARCHAR2(32767); BEGIN v := rpad('-- body', 32000, 'x'); "
       "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner) "
       "VALUES ('UPG_A', 6, 'N', v || v || ' end pckhuge;', 'KADE'); COMMIT; END;"});
  TfmScript& w = listing("UPG_A", 4);
  const struct {
    const char* filter;
    QStringList rows;  // of UPG_A
    int found;         // by the search over every script
  } cases[] = {{"PCKHUGE", {"6|N"}, 1}, {"index", {"2|X"}, 1}, {"X", {"1|X", "2|X", "6|N"}, 4}};
  for (const auto& c : cases) {
    w.edFilter->setText(c.filter);
    w.btRefreshClick();
    EXPECT_EQ(listed(w.dbgSkripte), c.rows) << c.filter;
    w.edFindFlt->setText(c.filter);
    w.cbFIndStat->setCurrentIndex(4);
    w.btFindClick();
    EXPECT_EQ(grid(w.dbgSearch).size(), c.found) << c.filter;
  }
  EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_F(ScriptPages, TheScriptBoxTakesTypedNamesInUpperCase) {
  store(kRows);
  TfmScript& w = open();
  w.cbAllScripts->setEditText(QString());
  QTest::keyClicks(w.cbAllScripts->lineEdit(), "upg_a");
  EXPECT_EQ(w.cbAllScripts->currentText(), "UPG_A");
  QTest::keyClicks(w.edNapaka, "ora-");
  EXPECT_EQ(w.edNapaka->text(), "ORA-");
  w.edNapaka->clear();
  w.spFltScriptClick();  // the names that begin with the typed text
  EXPECT_EQ(w.cbAllScripts->currentText(), "UPG_A");
  EXPECT_EQ(listed(w.dbgSkripte), (QStringList{"1|X", "2|X", "3|E", "4|X", "5|D"}));
}

TEST_F(ScriptPages, DeletingListedRowsFollowsTheStatusBox) {
  store(kRows);
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  listing("UPG_A", 1).spDeleteAllClick();
  EXPECT_EQ(messages().last(), "DELETE (PERMANENT)?");
  EXPECT_EQ(table("script_name='UPG_A'"), (QStringList{"UPG_A:3:E:ORA-00942: table or view does not exist",
                                                      "UPG_A:5:D:"}));
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  window_->cbShowType->setCurrentIndex(4);
  window_->spDeleteAllClick();
  EXPECT_EQ(table(), QStringList{"UPG_B:1:N:"});
}

TEST_F(ScriptPages, OwnerModeDeletesOnlyTheLogonUsersRows) {
  store({{"UPG_O", 1, "N", "select 1 from dual", "", "KADE"}, {"UPG_O", 1, "N", "select 1 from dual", "", "ANA"}});
  main_->currMoreInstall = true;
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  listing("UPG_O", 4).spDeleteAllClick();
  EXPECT_EQ(table("script_owner='ANA'"), QStringList{"UPG_O:1:N:"});
  EXPECT_TRUE(table("script_owner='KADE'").isEmpty());
}

TEST_F(ScriptPages, OwnerModeListsSearchesResetsAndDeletesOnlyTheLogonUsersRows) {
  store({{"UPG_O", 1, "X", "select 1 from dual", "", "KADE"},
         {"UPG_O", 1, "X", "select 1 from dual", "", "ANA"},
         {"UPG_O", 2, "E", "select 2 from dual", "ORA-00942: x", "ANA"},
         {"UPG_ANA", 1, "X", "select 3 from dual", "", "ANA"}});
  main_->currMoreInstall = true;
  TfmScript& w = listing("UPG_O", 4);
  EXPECT_EQ(listed(w.dbgSkripte), QStringList{"1|X"});
  EXPECT_EQ(w.cbAllScripts->count(), 1);  // UPG_ANA is another installation's

  w.cbFIndStat->setCurrentIndex(4);
  w.tbSearchClick();
  EXPECT_EQ(grid(w.dbgSearch), QStringList{"UPG_O|1|X"});

  w.tbStatClick();
  EXPECT_TRUE(grid(w.sgStat).join("/").startsWith("UPG_O|KADE|")) << grid(w.sgStat).join("/").toStdString();
  EXPECT_EQ(grid(w.sgStat).size(), 1);

  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w.cbAllScripts->setEditText("UPG_O");
  w.sbNeizvedenoClick();
  w.btCommitClick();
  EXPECT_EQ(table("script_owner='KADE'"), QStringList{"UPG_O:1:N:"});
  EXPECT_EQ(table("script_owner='ANA'"),
            (QStringList{"UPG_ANA:1:X:", "UPG_O:1:X:", "UPG_O:2:E:ORA-00942: x"}));

  w.tbDeleteMoreClick();
  ASSERT_EQ(w.lbSkripte->count(), 1);
  w.lbSkripte->item(0)->setSelected(true);
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w.btDeleteClick();
  EXPECT_TRUE(table("script_owner='KADE'").isEmpty());
  EXPECT_EQ(table("script_owner='ANA'").size(), 3);
}

TEST_F(ScriptPages, DoubleClickTogglesDeletedAndResetTurnsEverythingBackToN) {
  store(kRows);
  TfmScript& w = listing("UPG_A", 4);
  for (const auto& [row, expected] : {std::pair{4, "UPG_A:5:N:"}, std::pair{0, "UPG_A:1:D:"}}) {
    select(w.dbgSkripte, row);
    w.spDeleteClick();
    EXPECT_TRUE(table("script_name='UPG_A'").contains(expected)) << expected;
  }
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w.sbNeizvedenoClick();
  w.btCommitClick();
  EXPECT_EQ(table("script_name='UPG_A' and script_stat='N' and script_err is null").size(), 5);
}

TEST_F(ScriptPages, TheDeleteKeyInTheScriptBoxDeletesWithoutAskingAndRestoresTheTypedText) {
  store(kRows);
  TfmScript& w = open();
  w.cbAllScripts->setCurrentIndex(w.cbAllScripts->findText("UPG_B"));
  w.cbAllScripts->setEditText("UPG");  // typed by the user
  QTest::keyClick(w.cbAllScripts, Qt::Key_Delete);
  EXPECT_TRUE(table("script_name='UPG_B'").isEmpty());
  EXPECT_EQ(w.cbAllScripts->currentText(), "UPG");
  EXPECT_EQ(table("script_name='UPG_A'").size(), 5);
  EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ScriptPages, AnEditedTextIsWrittenBackToItsRow) {
  store(kRows);
  TfmScript& w = listing("UPG_B", 4);
  ASSERT_EQ(listed(w.dbgSkripte).size(), 1);
  w.show();
  w.meLong->setFocus();
  QCoreApplication::processEvents();
  QFocusEvent in(QEvent::FocusIn);
  QCoreApplication::sendEvent(w.meLong, &in);
  w.meLong->setPlainText("create view b_v as\nselect 2 x from dual");
  QFocusEvent out(QEvent::FocusOut);
  QCoreApplication::sendEvent(w.meLong, &out);
  nuvo::db::Query q(&main_->osOracle);
  q.setSql("select script_cont from nuvo_util.nuvo_exs where script_name='UPG_B'");
  q.execute();
  EXPECT_EQ(q.field(0).asString(), "create view b_v as\r\nselect 2 x from dual");
}

// A script longer than one packet of the list (100 rows): "select <i> x from dual", all executed.
constexpr int kLongScript = 150;
const char* kStoreLongScript =
    "BEGIN FOR i IN 1..150 LOOP INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat,"
    " script_cont, script_owner, script_date) VALUES ('UPG_LONG', i, 'X', 'select ' || i || ' x from dual', 'KADE',"
    " sysdate); END LOOP; COMMIT; END;";

TEST_F(ScriptPages, TheListFetchesByPacketsAndTheSearchLeadsToARowBeyondTheFirst) {
  sys({kStoreLongScript});
  TfmScript& w = listing("UPG_LONG", 4);
  EXPECT_EQ(w.dbgSkripte->model()->rowCount(), 100);
  w.dbgSkripte->model()->fetchMore({});
  EXPECT_EQ(w.dbgSkripte->model()->rowCount(), kLongScript);

  w.cbShowType->setCurrentIndex(0);  // no N rows: a list of one packet again on the next choice
  w.tbSearchClick();
  w.edFindScript->setText("UPG_LONG");
  w.edFindFlt->setText("select 140 ");
  w.cbFIndStat->setCurrentIndex(4);
  w.btFindClick();
  ASSERT_EQ(grid(w.dbgSearch), QStringList{"UPG_LONG|140|X"});
  w.dbgSearchDblClick();
  EXPECT_EQ(w.pcExec->currentWidget(), w.tabExec);
  EXPECT_EQ(w.currentCounter(), 140);
  EXPECT_EQ(w.meLong->toPlainText(), "select 140 x from dual");
}

TEST_F(ScriptPages, DeletingTheListedRowsTakesThoseNotFetchedYet) {
  sys({kStoreLongScript, "UPDATE nuvo_util.nuvo_exs SET script_stat = 'D' WHERE script_counter = 7"});
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  listing("UPG_LONG", 1).spDeleteAllClick();
  EXPECT_EQ(table("script_name='UPG_LONG'"), QStringList{"UPG_LONG:7:D:"});
  EXPECT_TRUE(grid(window_->dbgSkripte).isEmpty());
}

TEST_F(ScriptPages, ExecutingTheCurrentRowShowsItsNewStatusWhereItWas) {
  store(kRows);
  const struct {
    int row;
    const char* message;
    const char* listed;
    const char* error;
  } cases[] = {
      {2, "SCRIPT EXECUTED NOK", "3|E", "ORA-00942"},
      {3, "SCRIPT EXECUTED OK", "4|E", "ORA-00942"},  // a failing drop of a TMP_ table is tolerated
  };
  TfmScript& w = listing("UPG_A", 4);
  for (const auto& c : cases) {
    select(w.dbgSkripte, c.row);
    w.spExecOneClick();
    EXPECT_EQ(messages().last(), c.message);
    EXPECT_EQ(w.dbgSkripte->currentRow(), c.row);
    EXPECT_EQ(listed(w.dbgSkripte)[c.row], c.listed);
    EXPECT_TRUE(w.dbmError->toPlainText().startsWith(c.error)) << w.dbmError->toPlainText().toStdString();
    EXPECT_FALSE(main_->osOracle.inTransaction());
  }
}

TEST_F(ScriptPages, ThePopupDeleteOfTheScriptBoxOnlyShowsTheChosenScript) {
  store(kRows);
  TfmScript& w = open();
  QAction* deleteItem = w.pmScripts->findChild<QAction*>("Delete1");
  ASSERT_NE(deleteItem, nullptr);
  EXPECT_EQ(deleteItem->text(), "Delete");
  w.cbAllScripts->setCurrentIndex(w.cbAllScripts->findText("UPG_B"));
  deleteItem->trigger();
  w.cbAllScripts->setCurrentIndex(-1);
  deleteItem->trigger();
  EXPECT_EQ(messages(), (QStringList{"UPG_B", "NI IZBRANEGA"}));
  EXPECT_EQ(table().size(), kRows.size());
}

TEST_F(ScriptPages, AnyStatusBoxBringsTheListBackAndRefreshesIt) {
  store(kRows);
  TfmScript& w = listing("UPG_A", 4);
  for (QComboBox* box : {w.cbStat, w.cbFIndStat}) {
    SCOPED_TRACE(box->objectName().toStdString());
    const int counter = static_cast<int>(listed(w.dbgSkripte).size()) + 1;
    store({{"UPG_A", counter, "N", "select 1 from dual", "", "KADE"}});
    w.dbgSkripte->hide();  // as during a run
    w.meLong->hide();
    box->setCurrentIndex(box->currentIndex() == 1 ? 2 : 1);
    EXPECT_TRUE(w.dbgSkripte->isVisibleTo(&w));
    EXPECT_TRUE(w.meLong->isVisibleTo(&w));
    EXPECT_EQ(listed(w.dbgSkripte).last(), QString::number(counter) + "|N");
  }
}

TEST_F(ScriptPages, StatisticsCountPerStatusAndFilterByStatus) {
  store(kRows);
  TfmScript& w = open();
  w.tbStatClick();
  EXPECT_EQ(grid(w.sgStat).size(), 2);
  const QStringList all = grid(w.sgStat);
  EXPECT_TRUE(all.contains(QRegularExpression("^UPG_A\\|\\|[^|]+\\|3\\|\\|1\\|1$"))) << all.join(" / ").toStdString();
  w.cbE->setChecked(true);
  w.btStatRefreshClick();
  ASSERT_EQ(grid(w.sgStat).size(), 1);
  EXPECT_TRUE(grid(w.sgStat)[0].startsWith("UPG_A|"));
  // Showing the script lists the statuses the header's status box names; the ticked box does not
  // change it.
  const struct {
    int headerStatus;  // 4: ALL
    QStringList rows;
  } cases[] = {{4, {"1|X", "2|X", "3|E", "4|X", "5|D"}}, {1, {"1|X", "2|X", "4|X"}}};
  for (const auto& c : cases) {
    w.cbStat->setCurrentIndex(c.headerStatus);
    w.tbStatClick();
    w.sgStat->setCurrentCell(0, 0);
    w.btShowScriptClick();
    EXPECT_EQ(w.pcExec->currentWidget(), w.tabExec);
    EXPECT_EQ(w.cbAllScripts->currentText(), "UPG_A");
    EXPECT_EQ(w.cbStat->currentIndex(), c.headerStatus);
    EXPECT_EQ(listed(w.dbgSkripte), c.rows) << c.headerStatus;
  }
}

TEST_F(ScriptPages, StatisticsListTheNewestScriptFirstAndUndatedOnesAsOfTheYear2000) {
  sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner,"
       " script_date) VALUES ('UPG_OLD', 1, 'X', 'x', 'KADE', TO_DATE('15.03.1999', 'DD.MM.YYYY'))",
       "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner,"
       " script_date) VALUES ('UPG_NEW', 1, 'X', 'x', 'KADE', TO_DATE('02.01.2026', 'DD.MM.YYYY'))",
       "INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner)"
       " VALUES ('UPG_NONE', 1, 'N', 'x', 'KADE')"});
  TfmScript& w = open();
  w.tbStatClick();
  QStringList names;
  for (const QString& line : grid(w.sgStat)) names << line.section('|', 0, 0);
  EXPECT_EQ(names, (QStringList{"UPG_NEW", "UPG_NONE", "UPG_OLD"}));
}

// The date of a script is shown in the session's date format, on one line and whole.
TEST_F(ScriptPages, StatisticsShowTheDateInTheSessionsFormatUnwrapped) {
  sys({"INSERT INTO nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner,"
       " script_date) VALUES ('UPG_D', 1, 'X', 'x', 'KADE', TO_DATE('02.01.2026 14:05:09', 'DD.MM.YYYY HH24:MI:SS'))"});
  const std::pair<const char*, const char*> cases[] = {{"DD.MM.YYYY", "02.01.2026"},
                                                       {"YYYY-MM-DD HH24:MI:SS", "2026-01-02 14:05:09"},
                                                       {"DD.MM.YYYY HH24:MI", "02.01.2026 14:05"}};
  TfmScript& w = open();
  for (const auto& [format, shown] : cases) {
    ASSERT_TRUE(main_->changeDateFormat(main_->osOracle, format)) << format;
    w.btStatRefreshClick();
    ASSERT_EQ(grid(w.sgStat).size(), 1);
    EXPECT_EQ(w.sgStat->item(0, 2)->text(), shown) << format;
    EXPECT_FALSE(w.sgStat->wordWrap());
    EXPECT_GE(w.sgStat->columnWidth(2), w.sgStat->fontMetrics().horizontalAdvance(shown)) << format;
  }
}

TEST_F(ScriptPages, SearchListsEveryScriptInOrderAndLeadsToTheRow) {
  store(kRows);
  TfmScript& w = open();
  w.tbSearchClick();  // the status box starts on N
  EXPECT_EQ(grid(w.dbgSearch), QStringList{"UPG_B|1|N"});
  w.cbFIndStat->setCurrentIndex(4);
  w.btFindClick();
  EXPECT_EQ(grid(w.dbgSearch), (QStringList{"UPG_A|1|X", "UPG_A|2|X", "UPG_A|3|E", "UPG_A|4|X", "UPG_A|5|D",
                                            "UPG_B|1|N"}));
  // Enter in a filter searches.
  w.edFindFlt->setText("index");
  QTest::keyClick(w.edFindFlt, Qt::Key_Return);
  ASSERT_EQ(grid(w.dbgSearch), QStringList{"UPG_A|2|X"});
  w.edFindFlt->setText("view");
  QTest::keyClick(w.edFindScript, Qt::Key_Enter);
  EXPECT_EQ(grid(w.dbgSearch), QStringList{"UPG_B|1|N"});
  w.edFindFlt->setText("index");
  QTest::keyClick(w.edFindErr, Qt::Key_Return);
  ASSERT_EQ(grid(w.dbgSearch), QStringList{"UPG_A|2|X"});
  EXPECT_EQ(w.dbmFindCont->toPlainText(), "create index a_i on a (x)");
  w.dbgSearchDblClick();
  EXPECT_EQ(w.pcExec->currentWidget(), w.tabExec);
  EXPECT_EQ(w.currentCounter(), 2);
  EXPECT_EQ(w.meLong->toPlainText(), "create index a_i on a (x)");
}

}  // namespace
