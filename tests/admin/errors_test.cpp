// The status window of stored code against a seeded database whose objects were made invalid by
// dropping a column they read, and its statements, loop and unattended action on their own.

#include <QAction>
#include <QApplication>
#include <QRegularExpression>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include "admin/errors.h"
#include "admin/errors_logic.h"
#include "db/query.h"
#include "qstring_print.h"
#include "shell/Main.h"
#include "shell/runner.h"
#include "shell_test_support.h"

namespace {

using nuvo::admin::CompileOutcome;
using nuvo::admin::StoredObject;

TEST(ErrorsStatements, CompileAndDropStatementsNameTheWholeQuotedObject) {
  const QString longName = QStringLiteral("F_") + QString(45, u'X');
  const struct {
    StoredObject object;
    const char* compile;
    const char* drop;
  } cases[] = {
      {{"KADE", "PCK", "PACKAGE     "}, "ALTER PACKAGE \"KADE\".\"PCK\" COMPILE PACKAGE", "DROP PACKAGE \"KADE\".\"PCK\""},
      {{"KADE", "PCK", "PACKAGE BODY     "}, "ALTER PACKAGE \"KADE\".\"PCK\" COMPILE BODY",
       "DROP PACKAGE BODY \"KADE\".\"PCK\""},
      {{"KADE", "V1", "VIEW     "}, "ALTER VIEW \"KADE\".\"V1\" COMPILE ", "DROP VIEW \"KADE\".\"V1\""},
      {{"KADE", "TRG", "TRIGGER"}, "ALTER TRIGGER \"KADE\".\"TRG\" COMPILE ", "DROP TRIGGER \"KADE\".\"TRG\""},
      {{"Mixed", "a\"b", "FUNCTION"}, "ALTER FUNCTION \"Mixed\".\"a\"\"b\" COMPILE ",
       "DROP FUNCTION \"Mixed\".\"a\"\"b\""},
      {{"KADE", longName, "FUNCTION"}, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    if (!c.compile) {
      EXPECT_EQ(nuvo::admin::compileStatement(c.object), "ALTER FUNCTION \"KADE\".\"" + longName + "\" COMPILE ");
      continue;
    }
    EXPECT_EQ(nuvo::admin::compileStatement(c.object), QString::fromUtf8(c.compile));
    EXPECT_EQ(nuvo::admin::dropStatement(c.object), QString::fromUtf8(c.drop));
  }
}

TEST(ErrorsStatements, DropMessages) {
  const StoredObject object{"KADE", "PCK", "PACKAGE BODY     "};
  EXPECT_EQ(nuvo::admin::droppedMessage(object, "DROPED"), "KADE.PCK PACKAGE BODY  DROPED");
  EXPECT_EQ(nuvo::admin::dropFailedMessage(object, "ERROR ON DROPPING"), "ERROR ON DROPPING KADE.PCK PACKAGE BODY");
}

// Every object stays invalid (a broken dependency): a Cancel tick set during the second compile
// still ends the loop there, and the Cancel box is offered once.
TEST(RecompileAllLoop, CancelStopsTheLoopWhenEveryObjectStaysInvalid) {
  const QList<StoredObject> objects{{"O", "A", "FUNCTION"}, {"O", "B", "FUNCTION"}, {"O", "C", "FUNCTION"},
                                    {"O", "D", "FUNCTION"}};
  QStringList compiled;
  bool cancel = false;
  int offered = 0;
  nuvo::admin::RecompileSteps steps;
  steps.compile = [&](const StoredObject& object) {
    compiled << object.name;
    if (compiled.size() == 2) cancel = true;
    return CompileOutcome::StillInvalid;
  };
  steps.cancelled = [&] { return cancel; };
  steps.firstStillInvalid = [&] {
    ++offered;
    cancel = false;
  };
  EXPECT_EQ(nuvo::admin::recompileAll(objects, steps), 2);
  EXPECT_EQ(compiled, (QStringList{"A", "B"}));
  EXPECT_EQ(offered, 1);
}

TEST(RecompileAllLoop, AFailedCompileDoesNotEndTheLoop) {
  const QList<StoredObject> objects{{"O", "A", "VIEW"}, {"O", "B", "VIEW"}};
  QStringList compiled;
  nuvo::admin::RecompileSteps steps;
  steps.compile = [&](const StoredObject& object) {
    compiled << object.name;
    return CompileOutcome::Failed;
  };
  EXPECT_EQ(nuvo::admin::recompileAll(objects, steps), 2);
  EXPECT_EQ(compiled, (QStringList{"A", "B"}));
}

class ErrorsWindow : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE USER errt IDENTIFIED BY errt", "CREATE USER errt2 IDENTIFIED BY errt2",
         "CREATE TABLE errt.t1 (a NUMBER, b NUMBER)", "INSERT INTO errt.t1 VALUES (1, 2)",
         "CREATE OR REPLACE FUNCTION errt.getsequence RETURN NUMBER IS n NUMBER; BEGIN SELECT COUNT(*) INTO n FROM "
         "errt.t1; RETURN n; END;",
         "CREATE OR REPLACE FUNCTION errt.f_ok RETURN NUMBER IS n NUMBER; BEGIN SELECT a INTO n FROM errt.t1; "
         "RETURN n; END;",
         "CREATE OR REPLACE FUNCTION errt.f_bad RETURN NUMBER IS n NUMBER; BEGIN SELECT b INTO n FROM errt.t1; "
         "RETURN n; END;",
         "CREATE OR REPLACE PROCEDURE errt.p_calls_bad IS n NUMBER; BEGIN n := errt.f_bad; END;",
         "CREATE OR REPLACE PACKAGE errt.pck IS FUNCTION f RETURN NUMBER; END pck;",
         "CREATE OR REPLACE PACKAGE BODY errt.pck IS FUNCTION f RETURN NUMBER IS n NUMBER; BEGIN SELECT a INTO n "
         "FROM errt.t1; RETURN n; END; END pck;",
         "CREATE OR REPLACE VIEW errt.v1 AS SELECT a FROM errt.t1",
         "CREATE OR REPLACE VIEW errt.v_bad AS SELECT b FROM errt.t1",
         "CREATE OR REPLACE FUNCTION errt." + kLongName + " RETURN NUMBER IS n NUMBER; BEGIN SELECT a INTO n FROM "
         "errt.t1; RETURN n; END;",
         // An object of another owner with the name of one of the first.
         "CREATE TABLE errt2.t1 (a NUMBER)",
         "CREATE OR REPLACE FUNCTION errt2.f_ok RETURN NUMBER IS n NUMBER; BEGIN SELECT a INTO n FROM errt2.t1; "
         "RETURN n; END;",
         "ALTER TABLE errt.t1 DROP COLUMN b"});
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("SYSTEM", "SYSTEM", "DEMO");
    main_->connUser = QStringLiteral("SYSTEM");
    main_->currOwner = QStringLiteral("ERRT");
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("TfmErrors")) windows << w;
    qDeleteAll(windows);
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }

  static QStringList listed(const TfmErrors& w) {
    QStringList rows;
    auto& list = const_cast<nuvo::db::Dataset&>(w.quInvalid);
    list.fetchAll();
    for (int row = 0; row < list.recordCount(); ++row)
      rows << list.value(row, "OBJECT_TYPE").toString().trimmed() + u' ' + list.value(row, "FULL_NAME").toString();
    return rows;
  }
  QString status(const QString& owner, const QString& name, const QString& type) {
    nuvo::db::Query q(&main_->osOracle);
    q.setSql("select status from all_objects where owner = :o and object_name = :n and object_type = :t");
    for (const char* v : {"o", "n", "t"}) q.declareVariable(v, nuvo::db::DataType::String);
    q.setVariable("o", owner);
    q.setVariable("n", name);
    q.setVariable("t", type);
    q.execute();
    return q.eof() ? QStringLiteral("(none)") : q.field(0).asString();
  }
  bool selectRow(TfmErrors& w, const QString& fullName) {
    w.quInvalid.fetchAll();
    for (int row = 0; row < w.quInvalid.recordCount(); ++row)
      if (w.quInvalid.value(row, "FULL_NAME").toString() == fullName) {
        w.quInvalid.setCurrentRow(row);
        return true;
      }
    return false;
  }

  static inline const QString kLongName = QStringLiteral("F_LONG_NAME_OF_MORE_THAN_FORTY_CHARACTERS_XYZ");
  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

TEST_F(ErrorsWindow, ListsTheInvalidObjectsOfTheCurrentOwnerInCompileOrder) {
  auto* w = new TfmErrors;
  EXPECT_EQ(w->edOwner->text(), "ERRT");
  EXPECT_EQ(w->windowTitle(), "INVALID OBJECTS");
  // V1 still compiles but, made invalid by the dropped column, stays INVALID until it is used.
  EXPECT_EQ(listed(*w), (QStringList{"FUNCTION GETSEQUENCE", "PACKAGE BODY PCK", "FUNCTION F_BAD",
                                     "FUNCTION " + kLongName, "FUNCTION F_OK", "PROCEDURE P_CALLS_BAD", "VIEW V1",
                                     "VIEW V_BAD"}));
  // The list shows 40 characters of a long name; the whole one serves the statements.
  ASSERT_TRUE(selectRow(*w, kLongName));
  EXPECT_EQ(w->quInvalid.value(w->quInvalid.currentRow(), "OBJECT_NAME").toString(), kLongName.left(40));
  EXPECT_EQ(w->quInvalid.value(0, "POZ").toString(), "@");
}

TEST_F(ErrorsWindow, RecompileAllLeavesExactlyTheObjectsThatCannotCompileWithTheirErrors) {
  auto* w = new TfmErrors;
  w->tbCompileAllClick();
  EXPECT_EQ(listed(*w), (QStringList{"FUNCTION F_BAD", "PROCEDURE P_CALLS_BAD", "VIEW V_BAD"}));
  EXPECT_EQ(w->view(), TfmErrors::View::Invalid);
  EXPECT_TRUE(w->cbPrekini->isHidden());
  EXPECT_EQ(status("ERRT", "PCK", "PACKAGE BODY"), "VALID");
  EXPECT_EQ(status("ERRT", kLongName, "FUNCTION"), "VALID");

  w->tbErrorsClick();
  EXPECT_EQ(w->windowTitle(), "ERRORS");
  QStringList errors;
  for (int row = 0; row < w->quErrors.recordCount(); ++row)
    errors << w->quErrors.value(row, "NAME").toString() + u':' + w->quErrors.value(row, "TEXT").toString();
  EXPECT_TRUE(errors.filter(QRegularExpression("^F_BAD:.*\"B\": invalid identifier")).size() == 1) << errors.join('\n').toStdString();
  EXPECT_TRUE(errors.filter(QRegularExpression("^P_CALLS_BAD:PLS-00905")).size() == 1)
      << errors.join('\n').toStdString();
}

TEST_F(ErrorsWindow, CompileOneMarksAnObjectThatStaysInvalid) {
  auto* w = new TfmErrors;
  const struct {
    QString name;
    bool stillInvalid;
  } cases[] = {{"F_OK", false}, {"F_BAD", true}, {kLongName, false}};
  for (const auto& c : cases) {
    ASSERT_TRUE(selectRow(*w, c.name)) << c.name.toStdString();
    w->tbCompileClick();
    EXPECT_EQ(w->lNapaka, c.stillInvalid) << c.name.toStdString();
    EXPECT_EQ(status("ERRT", c.name, "FUNCTION"), c.stillInvalid ? "INVALID" : "VALID");
  }
  EXPECT_EQ(messages_->texts(), QStringList());
}

// An owner typed after listing does not redirect the statements on the listed rows.
TEST_F(ErrorsWindow, DropActsOnTheListedOwnerWhateverTheOwnerBoxHoldsNow) {
  auto* w = new TfmErrors;
  w->tbSPClick();
  EXPECT_EQ(w->windowTitle(), "OBJECTS STATE");
  ASSERT_TRUE(selectRow(*w, "F_OK"));
  w->edOwner->setText("ERRT2");
  w->btDropObjectClick();
  EXPECT_EQ(messages_->texts(), QStringList{"ERRT.F_OK FUNCTION  DROPED"});
  EXPECT_EQ(status("ERRT", "F_OK", "FUNCTION"), "(none)");
  EXPECT_EQ(status("ERRT2", "F_OK", "FUNCTION"), "VALID");
  // The dropped object stays listed until the next refresh.
  EXPECT_TRUE(listed(*w).contains("FUNCTION F_OK"));
}

TEST_F(ErrorsWindow, StateViewSearchesByNameAndInvalidOnlyAtRefresh) {
  auto* w = new TfmErrors;
  w->tbSPClick();
  w->rbObject->setChecked(true);
  w->rbTypeClick();
  w->edSearch->setText("_BAD");
  EXPECT_GT(listed(*w).size(), 3);  // the search waits for the refresh
  w->btRefreshClick();
  EXPECT_EQ(listed(*w), (QStringList{"FUNCTION F_BAD", "PROCEDURE P_CALLS_BAD", "VIEW V_BAD"}));
  w->rbType->setChecked(true);
  w->edSearch->setText("PCK");
  w->btRefreshClick();
  EXPECT_EQ(listed(*w), (QStringList{"PACKAGE PCK", "PACKAGE BODY PCK"}));
  w->cbInvalid->setChecked(true);
  w->btRefreshClick();
  EXPECT_EQ(listed(*w), (QStringList{"PACKAGE BODY PCK"}));
}

// Closing the window or pressing Recompile All again while the loop runs waits for the loop.
TEST_F(ErrorsWindow, RecompileAllIsNotReenteredAndClosingWaitsForIt) {
  QPointer<TfmErrors> w = new TfmErrors;
  w->show();
  int reentered = 0;
  QTimer::singleShot(0, w, [&] {
    w->tbCompileAllClick();
    ++reentered;
    w->close();
  });
  w->tbCompileAllClick();
  EXPECT_EQ(reentered, 1);
  ASSERT_TRUE(w);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(status("ERRT", "F_OK", "FUNCTION"), "VALID");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(w);
}

TEST_F(ErrorsWindow, UnattendedErrorsClosesTheWindowOnlyWhenNothingStaysInvalid) {
  auto& openers = main_->runner().openers;
  ASSERT_TRUE(openers.count("ERRORS"));
  nuvo::shell::WindowRequest request;
  request.line.action = "ERRORS";

  request.line.p1 = "ERRT";
  EXPECT_FALSE(openers["ERRORS"](*main_, request));
  QPointer<TfmErrors> open = TfmErrors::current();
  ASSERT_TRUE(open);
  EXPECT_TRUE(open->isVisible());
  EXPECT_EQ(listed(*open), (QStringList{"FUNCTION F_BAD", "PROCEDURE P_CALLS_BAD", "VIEW V_BAD"}));

  // An installation of a hosting database closes it all the same.
  request.multiInstallation = true;
  EXPECT_FALSE(openers["ERRORS"](*main_, request));
  ASSERT_TRUE(TfmErrors::current());
  EXPECT_FALSE(TfmErrors::current()->isVisible());

  sys({"DROP FUNCTION errt.f_bad", "DROP PROCEDURE errt.p_calls_bad", "DROP VIEW errt.v_bad"});
  request.multiInstallation = false;
  EXPECT_TRUE(openers["ERRORS"](*main_, request));
  EXPECT_FALSE(TfmErrors::current()->isVisible());
  EXPECT_EQ(status("ERRT", "GETSEQUENCE", "FUNCTION"), "VALID");
}

TEST_F(ErrorsWindow, SloveneTexts) {
  main_->currLanguage = "SLO";
  auto* w = new TfmErrors;
  EXPECT_EQ(w->windowTitle(), "OBJEKTI Z NAPAKAMI");
  EXPECT_EQ(w->tbCompileAll->toolTip(), "Prevedi vse objekte");
  EXPECT_EQ(w->cbPrekini->text(), "Prekini");
  w->tbSPClick();
  EXPECT_EQ(w->windowTitle(), "OBJEKTI-STANJE,ZADNJI POPRAVKI");
}

}  // namespace
