// The structure compare: snapshot parsing and the comparison rules, snapshots the server package
// takes of real schemas, the window, and the unattended COMPARE action.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

#include "platform/text_file.h"
#include "qstring_print.h"
#include "schema/cmpstru.h"
#include "schema/compare_logic.h"
#include "shell/Main.h"
#include "shell/runner.h"
#include "shell_test_support.h"

namespace nuvo::schema {
// Readable differences in test failures.
void PrintTo(const SnapshotDifference& d, std::ostream* out) {
  *out << '[' << d.type.toStdString() << '|' << d.name.toStdString() << '|' << d.text.toStdString() << ']';
}
}  // namespace nuvo::schema

namespace {

using nuvo::schema::SnapshotDifference;

const nuvo::schema::CompareTexts kTexts{"DOES NOT EXISTS", "NOT EQUAL"};

// A snapshot text of the given lines, with `end` after each.
QString snapshot(const QStringList& lines, const QString& end = "\r\n") { return lines.join(end) + end; }

TEST(SnapshotCompare, TableLinesMatchWholeLinesAndWholeFirstWords) {
  const struct {
    const char* what;
    QStringList reference;
    QStringList current;
    QStringList differences;
  } cases[] = {
      {"a changed column", {"ID NUMBER(10) NOT NULL"}, {"ID NUMBER(12) NOT NULL"},
       {"ID NUMBER(10) NOT NULL  -->  ID NUMBER(12) NOT NULL"}},
      // Dropping ID must neither cut into CLIENT_ID nor take its line as ID's.
      {"a dropped column beside a longer name", {"ID NUMBER(10)", "CLIENT_ID NUMBER(10)"}, {"CLIENT_ID NUMBER(10)"},
       {"ID  DOES NOT EXISTS"}},
      {"a changed column beside a longer name", {"ID NUMBER(10)", "CLIENT_ID NUMBER(10)"},
       {"CLIENT_ID NUMBER(10)", "ID NUMBER(12)"}, {"ID NUMBER(10)  -->  ID NUMBER(12)"}},
      {"a longer name dropped", {"ID NUMBER(10)", "CLIENT_ID NUMBER(10)"}, {"ID NUMBER(10)"},
       {"CLIENT_ID  DOES NOT EXISTS"}},
      {"an added column", {"ID NUMBER(10)"}, {"ID NUMBER(10)", "NEW DATE"}, {}},
      {"indentation", {"  ID NUMBER(10)"}, {"ID NUMBER(10)"}, {}},
      {"a primary key with and without UNIQUE", {"#CON", "#IND", "PK_T (ID) UNIQUE"}, {"#CON", "#IND", "PK_T (ID)"},
       {}},
      {"system names", {"#CON", "SYS_C0001 CHECK (\"ID\" IS NOT NULL)", "#IND", "SYS_C0002 (ID) UNIQUE"},
       {"#CON", "SYS_C0107 CHECK (\"ID\" IS NOT NULL)", "#IND"}, {}},
      {"constraints and indexes",
       {"ID NUMBER", "#CON", "T_FK FOREIGN KEY (ID) REFERENCES U_PK", "T_UK UNIQUE (ID)", "#IND", "T_I (ID)"},
       {"ID NUMBER", "#CON", "T_UK UNIQUE (ID,X)", "#IND", "T_I (ID,X)"},
       {"CNS:T_FK  DOES NOT EXISTS", "CNS:T_UK UNIQUE (ID)  -->  T_UK UNIQUE (ID,X)", "IDX:T_I (ID)  -->  T_I (ID,X)"}},
      // A column and an index of one name are different things.
      {"one name in two sections", {"X NUMBER", "#CON", "#IND", "X (A)"}, {"#CON", "#IND", "X (A)"},
       {"X  DOES NOT EXISTS"}},
      // Each current line answers one reference line only.
      {"a repeated line", {"#CON", "T_CK CHECK (A > 0)", "T_CK CHECK (A > 0)"}, {"#CON", "T_CK CHECK (A > 0)"},
       {"CNS:T_CK  DOES NOT EXISTS"}},
      {"a line of one word", {"LONGNAME"}, {"LONGNAME_2 NUMBER"}, {"LONGNAME DOES NOT EXISTS"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nuvo::schema::tableDifferences(c.reference, c.current, "DOES NOT EXISTS"), c.differences) << c.what;
}

TEST(SnapshotCompare, ObjectsAreComparedByKind) {
  const QString bigBody = QString(250000, u'x');
  const QString reference = snapshot({"###TABLE#T#",
                                      "ID NUMBER(10)",
                                      "CLIENT_ID NUMBER(10)",
                                      "#CON",
                                      "#IND",
                                      "###TABLE#ONLY_ADDED#",
                                      "A NUMBER",
                                      "###TABLE#GONE#",
                                      "A NUMBER",
                                      "###TABLE#MORE#TEXT#",
                                      "A NUMBER",
                                      "###INDEX#T_I#",
                                      "T (A) NONUNIQUE",
                                      "###PACKAGE BODY#P#",
                                      "PACKAGE BODY p IS",
                                      "END;",
                                      "###PACKAGE BODY#BIG#",
                                      bigBody,
                                      "###VIEW#V#",
                                      "SELECT 1 FROM dual",
                                      "###END##",
                                      "###TABLE#AFTER_END#"});
  const QString current = snapshot({"###TABLE#T#",
                                    "CLIENT_ID NUMBER(10)",
                                    "#CON",
                                    "#IND",
                                    "###TABLE#ONLY_ADDED#",
                                    "A NUMBER",
                                    "B DATE",
                                    "###TABLE#MORE#OTHER#",
                                    "A NUMBER",
                                    "###INDEX#T_I#",
                                    "T (A,B) NONUNIQUE",
                                    "###PACKAGE BODY#P#",
                                    "PACKAGE BODY p IS",
                                    "  x NUMBER;",
                                    "END;",
                                    "###PACKAGE BODY#BIG#",
                                    bigBody,
                                    "###VIEW#V#",
                                    "",
                                    "  SELECT 1 FROM dual",
                                    "###TABLE#CURRENT_ONLY#",
                                    "A NUMBER",
                                    "###END##"});
  const std::vector<SnapshotDifference> expected{
      {"TABLE", "T", "ID  DOES NOT EXISTS"},
      {"TABLE", "GONE", "DOES NOT EXISTS"},
      {"TABLE", "MORE", "DOES NOT EXISTS"},  // the whole header line identifies the object
      {"INDEX", "T_I", "T (A) NONUNIQUE  -->  T (A,B) NONUNIQUE"},
      {"PACKAGE BODY", "P", "NOT EQUAL 23  36"},
  };
  const auto result = nuvo::schema::compareSnapshots(reference, current, kTexts);
  EXPECT_EQ(result.differences, expected);
  EXPECT_FALSE(result.tooMany);
}

TEST(SnapshotCompare, LineEndsDoNotMatter) {
  const QStringList lines{"###TABLE#T#", "ID NUMBER(10)", "NAME VARCHAR2(30)", "#CON", "#IND", "###END##"};
  QStringList dropped = lines;
  dropped.removeAt(1);
  for (const QString& reference : {snapshot(lines, "\r\n"), snapshot(lines, "\r"), snapshot(lines, "\n")}) {
    for (const char* end : {"\r\n", "\r", "\n"}) {
      EXPECT_TRUE(nuvo::schema::compareSnapshots(reference, snapshot(lines, end), kTexts).differences.empty());
      // A CR-only text loses no character of the next line when a line is matched.
      const auto result = nuvo::schema::compareSnapshots(reference, snapshot(dropped, end), kTexts);
      EXPECT_EQ(result.differences, (std::vector<SnapshotDifference>{{"TABLE", "T", "ID  DOES NOT EXISTS"}}));
    }
  }
  // A last header without a line break ends the walk like any other line.
  EXPECT_EQ(nuvo::schema::parseSnapshot("###TABLE#T#\r\nA NUMBER\r\n###TABLE#U#").size(), 2u);
}

TEST(SnapshotCompare, AtMostFiveHundredDifferencesAreKept) {
  QStringList reference;
  for (int i = 0; i < 501; ++i) reference << QStringLiteral("###TABLE#T%1#").arg(i) << "A NUMBER";
  reference << "###END##";
  const auto result = nuvo::schema::compareSnapshots(snapshot(reference), snapshot({"###END##"}), kTexts);
  EXPECT_TRUE(result.tooMany);
  ASSERT_EQ(result.differences.size(), size_t(nuvo::schema::kMaxDifferences));
  EXPECT_EQ(result.differences.back().name, "T499");
  EXPECT_FALSE(nuvo::schema::compareSnapshots(snapshot(reference.mid(0, 1000) << "###END##"),
                                              snapshot({"###END##"}), kTexts)
                   .tooMany);
}

TEST(SnapshotCompare, HeadersReportAndGridTexts) {
  EXPECT_EQ(nuvo::schema::headerType("###PACKAGE BODY#PCK#more"), "PACKAGE BODY");
  EXPECT_EQ(nuvo::schema::headerName("###PACKAGE BODY#PCK#more"), "PCK");
  EXPECT_EQ(nuvo::schema::headerName("###TABLE#" + QString(120, u'N')), QString(100, u'N'));

  const std::vector<SnapshotDifference> differences{{"TABLE", "T", "ID  DOES NOT EXISTS\r\nCNS:T_FK  DOES NOT EXISTS"},
                                                    {"VIEW", "V", "NOT EQUAL 10  12"}};
  EXPECT_EQ(nuvo::schema::differenceReportLines({"****", "DEMO"}, differences),
            (QStringList{"****", "DEMO", "TABLE T  ", "      ID  DOES NOT EXISTS", "      CNS:T_FK  DOES NOT EXISTS",
                         "VIEW V  ", "      NOT EQUAL 10  12"}));
  EXPECT_EQ(nuvo::schema::differenceGridText(differences[0]), "ID  DOES NOT EXISTS .....");
  EXPECT_EQ(nuvo::schema::differenceGridText(differences[1]), "NOT EQUAL 10  12");
}

// Schemas of the seeded database, snapshots taken by the server package.
class CompareDatabase : public nuvo::test::DatabaseFixture {
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
    nuvo::setModalRunner({});
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("TfmCmpStru")) windows << w;
    qDeleteAll(windows);
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }
  // The same tables in `owner`, with the changes of the current schema when `changed`.
  void makeSchema(const QString& owner, bool changed) {
    sys({"CREATE USER " + owner + " IDENTIFIED BY x",
         "CREATE TABLE " + owner + ".clients (id NUMBER(10) CONSTRAINT pk_clients PRIMARY KEY, " +
             (changed ? "" : "client_id NUMBER(10), ") + "name VARCHAR2(" + (changed ? "60" : "30") +
             ") NOT NULL, born DATE" + (changed ? ", extra CHAR(1)" : "") + ")",
         "CREATE TABLE " + owner + ".orders (id NUMBER(10), client_id NUMBER(10), CONSTRAINT orders_pk PRIMARY KEY (id))",
         "ALTER TABLE " + owner + ".orders ADD CONSTRAINT orders_client_fk FOREIGN KEY (client_id) REFERENCES " +
             owner + ".clients (id)",
         "CREATE INDEX " + owner + ".orders_client_i ON " + owner + ".orders (client_id" +
             (changed ? ", id)" : ")")});
    if (!changed) sys({"ALTER TABLE " + owner + ".orders ADD CONSTRAINT orders_id_ck CHECK (id > 0)"});
  }
  QString snapshotOf(const QString& owner, const QString& type = "TABLE") {
    return nuvo::schema::takeSnapshot(main_->osOracle, owner, "%", type).join("\r\n") + "\r\n";
  }

  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

TEST_F(CompareDatabase, SchemasThatDifferShowEachDifference) {
  makeSchema("cmp_ref", false);
  makeSchema("cmp_cur", true);
  makeSchema("cmp_same", false);
  const QString reference = snapshotOf("CMP_REF");
  EXPECT_TRUE(reference.startsWith("###TABLE#CLIENTS#\r\nID NUMBER(10) NOT NULL\r\nCLIENT_ID NUMBER(10)\r\n"))
      << reference.toStdString();
  EXPECT_TRUE(reference.endsWith("###END##\r\n"));

  EXPECT_TRUE(nuvo::schema::compareSnapshots(reference, snapshotOf("CMP_SAME"), kTexts).differences.empty());
  const std::vector<SnapshotDifference> expected{
      {"TABLE", "CLIENTS",
       "CLIENT_ID  DOES NOT EXISTS\r\nNAME VARCHAR2(30) NOT NULL  -->  NAME VARCHAR2(60) NOT NULL"},
      {"TABLE", "ORDERS",
       "CNS:ORDERS_ID_CK  DOES NOT EXISTS\r\nIDX:ORDERS_CLIENT_I (CLIENT_ID)  -->  ORDERS_CLIENT_I (CLIENT_ID,ID)"},
  };
  EXPECT_EQ(nuvo::schema::compareSnapshots(reference, snapshotOf("CMP_CUR"), kTexts).differences, expected);
}

TEST_F(CompareDatabase, EveryKindOfObjectIsInTheSnapshot) {
  sys({"CREATE USER cmp_all IDENTIFIED BY x", "CREATE TABLE cmp_all.t (a NUMBER)",
       "CREATE INDEX cmp_all.t_i ON cmp_all.t (a)", "CREATE SEQUENCE cmp_all.s INCREMENT BY 5",
       "CREATE VIEW cmp_all.v AS SELECT a FROM cmp_all.t",
       // Neither "###" nor a bare NULL line may pass for a header or the end of the snapshot.
       "CREATE OR REPLACE PROCEDURE cmp_all.p IS\n  x NUMBER;\n  -- ### not a header\nBEGIN\n  x := 1 +\nNULL\n;\nEND;",
       "CREATE OR REPLACE TRIGGER cmp_all.trg BEFORE INSERT ON cmp_all.t FOR EACH ROW\nBEGIN\n  :new.a := 1;\nEND;"});
  const QStringList lines = nuvo::schema::takeSnapshot(main_->osOracle, "cmp_all", "%", "ALL");
  QStringList headers;
  for (const QString& line : lines)
    if (line.contains("###")) headers << line;
  EXPECT_EQ(headers, (QStringList{"###TABLE#T#", "###VIEW#V#", "###INDEX#T_I#", "###SEQUENCE#S#", "###TRIGGER#TRG#",
                                  "###PROCEDURE#P#", "###END##"}));
  EXPECT_TRUE(lines.contains("  -- # # not a header"));
  EXPECT_TRUE(lines.contains("NULL "));
  // One type alone, the type box's trailing blank and a name pattern.
  EXPECT_EQ(nuvo::schema::takeSnapshot(main_->osOracle, "CMP_ALL", "%", "TRIGGER ").first(), "###TRIGGER#TRG#");
  EXPECT_EQ(nuvo::schema::takeSnapshot(main_->osOracle, "CMP_ALL", "X%", "ALL"), QStringList{"###END##"});
}

TEST_F(CompareDatabase, ASchemaOfTwoThousandColumns) {
  sys({"CREATE USER cmp_wide IDENTIFIED BY x"});
  for (const char* table : {"wide_a", "wide_b"}) {
    QStringList columns;
    for (int i = 1; i <= 1000; ++i) columns << QStringLiteral("c%1 VARCHAR2(%2)").arg(i).arg(i % 50 + 1);
    sys({QStringLiteral("CREATE TABLE cmp_wide.%1 (%2)").arg(table, columns.join(", "))});
  }
  const QStringList lines = nuvo::schema::takeSnapshot(main_->osOracle, "CMP_WIDE", "%", "TABLE");
  ASSERT_EQ(lines.size(), 2 * (1 + 1000 + 2) + 1);
  EXPECT_EQ(lines[1000], "C1000 VARCHAR2(1)");
  EXPECT_EQ(lines[1003], "###TABLE#WIDE_B#");
  EXPECT_EQ(lines.last(), "###END##");
  QStringList changed = lines;
  changed[2003] = "C1000 VARCHAR2(2)";
  const auto result = nuvo::schema::compareSnapshots(lines.join("\r\n"), changed.join("\r\n"), kTexts);
  EXPECT_EQ(result.differences,
            (std::vector<SnapshotDifference>{{"TABLE", "WIDE_B", "C1000 VARCHAR2(1)  -->  C1000 VARCHAR2(2)"}}));
}

TEST_F(CompareDatabase, TheWindowSnapshotsComparesAndSavesTheReport) {
  makeSchema("cmp_ref", false);
  makeSchema("cmp_cur", true);
  main_->meVhod->setPlainText("****\nDEMO D.O.O.\n****");
  main_->command("mmCompare2")->trigger();
  QPointer<TfmCmpStru> w;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* found = qobject_cast<TfmCmpStru*>(top); found && found->isVisible()) w = found;
  ASSERT_TRUE(w);
  EXPECT_EQ(w->windowTitle(), "Compare structure  (KADE@DEMO)");
  EXPECT_FALSE(w->pcCmp->isVisible());
  w->spCreate->click();
  EXPECT_EQ(w->laKind->text(), "CREATE SOURCE");
  for (const char* owner : {"CMP_REF", "CMP_CUR"}) {
    w->edUser->setText(owner);
    w->btCreateScriptClick();
    EXPECT_TRUE(w->spSave->isEnabled());
    nuvo::setModalRunner(nuvo::test::choosingFile(homePath(QString(owner) + ".sfg")));
    w->spSaveClick();
    EXPECT_FALSE(w->pcCmp->isVisible());
    EXPECT_FALSE(w->spSave->isEnabled());
    w->spCreate->click();
  }
  EXPECT_EQ(main_->CurrentCheckInitDir + "CMP_CUR.sfg", homePath("CMP_CUR.sfg"));

  w->spCompare->click();
  nuvo::setModalRunner(nuvo::test::choosingFile(homePath("CMP_REF.sfg")));
  w->btSourceClick();
  nuvo::setModalRunner(nuvo::test::choosingFile(homePath("CMP_CUR.sfg")));
  w->btDestClick();
  EXPECT_EQ(w->edfSource->text(), "CMP_REF.sfg");
  EXPECT_EQ(w->edFileDest->text(), "CMP_CUR.sfg");
  w->btCompareClick();
  ASSERT_EQ(w->sgError->rowCount(), 2);
  EXPECT_EQ(w->sgError->item(0, 1)->text(), "CLIENTS");
  EXPECT_EQ(w->sgError->item(0, 2)->text(), "CLIENT_ID  DOES NOT EXISTS .....");
  w->sgError->setCurrentCell(1, 2);
  EXPECT_TRUE(w->meError->toPlainText().startsWith("CNS:ORDERS_ID_CK  DOES NOT EXISTS"));
  EXPECT_TRUE(w->btSaveDiff->isEnabled());

  // Cancelling the dialog writes nothing and keeps the window.
  nuvo::setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
  w->btSaveDiffClick();
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(w->btSaveDiff->isEnabled());
  nuvo::setModalRunner(nuvo::test::choosingFile(homePath("R.dfr")));
  w->btSaveDiffClick();
  EXPECT_FALSE(w->btSaveDiff->isEnabled());
  const QStringList report = nuvo::schema::textLines(nuvo::readTextFile(homePath("R.dfr")).text);
  EXPECT_EQ(report, (QStringList{"****", "DEMO D.O.O.", "****", "TABLE CLIENTS  ", "      CLIENT_ID  DOES NOT EXISTS",
                                 "      NAME VARCHAR2(30) NOT NULL  -->  NAME VARCHAR2(60) NOT NULL", "TABLE ORDERS  ",
                                 "      CNS:ORDERS_ID_CK  DOES NOT EXISTS",
                                 "      IDX:ORDERS_CLIENT_I (CLIENT_ID)  -->  ORDERS_CLIENT_I (CLIENT_ID,ID)"}));

  // The same file on both sides, and an empty one.
  EXPECT_TRUE(messages_->texts().isEmpty());
  nuvo::setModalRunner(nuvo::test::choosingFile(homePath("CMP_REF.sfg")));
  w->btSourceClick();
  w->btDestClick();
  w->btCompareClick();
  ASSERT_FALSE(messages_->texts().isEmpty());
  EXPECT_EQ(messages_->texts().last(), "SHEMAS ARE EQUAL");
  writeHomeFile("EMPTY.sfg", "\r\n");
  nuvo::setModalRunner(nuvo::test::choosingFile(homePath("EMPTY.sfg")));
  w->btDestClick();
  w->btCompareClick();
  EXPECT_EQ(messages_->texts().last(), "DESTINATION IS EMPTY");
}

TEST_F(CompareDatabase, UnattendedCompareWritesOrRemovesTheReport) {
  auto& openers = main_->runner().openers;
  ASSERT_TRUE(openers.count("COMPARE"));
  const QString report = homePath("DF12345!.txt");
  nuvo::shell::WindowRequest request;
  request.line.action = "COMPARE";
  request.line.p1 = homePath("REF.sfg");
  request.line.p2 = homePath("CUR.sfg");
  request.resultFile = report;
  const auto openWindows = [] {
    QList<QPointer<TfmCmpStru>> windows;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* w = qobject_cast<TfmCmpStru*>(top); w && w->isVisible()) windows << w;
    return windows;
  };

  // The reference is missing: reported, the window stays open, no report is written.
  EXPECT_FALSE(openers["COMPARE"](*main_, request));
  ASSERT_EQ(main_->runner().log.size(), 1);
  EXPECT_TRUE(main_->runner().log[0].startsWith("COMPARE " + request.line.p1)) << main_->runner().log[0].toStdString();
  ASSERT_EQ(openWindows().size(), 1);
  EXPECT_FALSE(openWindows()[0]->laKind->text().isEmpty());
  EXPECT_FALSE(QFile::exists(report));
  qDeleteAll(openWindows());
  main_->runner().log.clear();

  // A reference that wants a column KADE lacks: the report names it and the window closes.
  writeHomeFile("REF.sfg", "###TABLE#PR107PAR#\r\nSIFRA107 NUMBER(10) NOT NULL\r\nGONE_COL DATE\r\n###END##\r\n");
  main_->meVhod->setPlainText("HEADER");
  EXPECT_TRUE(openers["COMPARE"](*main_, request));
  EXPECT_TRUE(main_->runner().log.isEmpty()) << main_->runner().log.join('\n').toStdString();
  EXPECT_EQ(nuvo::schema::textLines(nuvo::readTextFile(report).text),
            (QStringList{"HEADER", "TABLE PR107PAR  ", "      GONE_COL  DOES NOT EXISTS"}));
  EXPECT_TRUE(nuvo::readTextFile(request.line.p2).text.startsWith("###TABLE#AUDIT_PARAMS#\r\n"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return openWindows().isEmpty(); }, 5000));

  // The current snapshot as the reference: nothing differs, and the older report is gone.
  ASSERT_TRUE(QFile::copy(request.line.p2, homePath("SAME.sfg")));
  request.line.p1 = homePath("SAME.sfg");
  EXPECT_TRUE(openers["COMPARE"](*main_, request));
  EXPECT_TRUE(main_->runner().log.isEmpty()) << main_->runner().log.join('\n').toStdString();
  EXPECT_FALSE(QFile::exists(report));
  EXPECT_TRUE(QTest::qWaitFor([&] { return openWindows().isEmpty(); }, 5000));
  EXPECT_TRUE(messages_->texts().isEmpty()) << messages_->texts().join('|').toStdString();
}

TEST_F(CompareDatabase, TextsInEachLanguage) {
  const struct {
    const char* language;
    const char* title;
    const char* missing;
    const char* equal;
    const char* gridTitle;
  } cases[] = {
      {"SLO", "Primerjanje struktur", "NE OBSTAJA", "NI RAZLIK", "PRAVILNO   -->  TRENUTNO"},
      {"ANG", "Compare structure", "DOES NOT EXISTS", "SHEMAS ARE EQUAL", "SOURCE   -->  ORIGINAL"},
      {"", "Compare structure", "DOES NOT EXISTS", "SHEMAS ARE EQUAL", "SOURCE   -->  ORIGINAL"},
  };
  for (const auto& c : cases) {
    main_->currLanguage = c.language;
    TfmCmpStru w;
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8(c.title) + "  (KADE@DEMO)") << c.language;
    EXPECT_EQ(w.nizNeObstaja, c.missing) << c.language;
    EXPECT_EQ(w.nizNiNapak, c.equal) << c.language;
    EXPECT_EQ(w.sgError->horizontalHeaderItem(2)->text(), c.gridTitle) << c.language;
  }
}

}  // namespace
