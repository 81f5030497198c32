// The version check: tags of stored code, the version file, the comparison rules, and the window
// and the unattended VERSION action against a seeded schema.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include "admin/checkVer.h"
#include "admin/version_check_logic.h"
#include "platform/text_file.h"
#include "qstring_print.h"
#include "shell/Main.h"
#include "shell/runner.h"
#include "shell_test_support.h"

namespace {

using nuvo::admin::VersionRecord;
using nuvo::admin::VersionRow;

const QString kBlank(6, u' ');

}  // namespace

namespace nuvo::admin {
// Readable rows in test failures.
void PrintTo(const VersionRow& row, std::ostream* out) {
  *out << '[' << row.type.toStdString() << '|' << row.name.toStdString() << '|' << row.expected.toStdString() << '|'
       << row.found.toStdString() << ']';
}
}  // namespace nuvo::admin

namespace {

TEST(VersionTags, VersionOfASourceLineAndOfATriggerBody) {
  const struct {
    const char* line;
    const char* version;
  } lines[] = {
      {"  NUVO_VERSION CONSTANT VARCHAR2(6):='V01.02';", "V01.02"},
      {"-- NUVO_VERSION 'x' then 'V02.00' and 'V03.00'", "V02.00"},  // the first "'V" only
      {"NUVO_VERSION V05.00", "NUVO_V"},                               // no "'V": the first six characters
      {"x := 'V1'; -- NUVO_VERSION", "V1'; -"},
  };
  for (const auto& c : lines) EXPECT_EQ(nuvo::admin::versionOfLine(c.line), c.version) << c.line;

  EXPECT_EQ(nuvo::admin::versionOfTriggerBody("DECLARE\n  NUVO_VERSION CONSTANT VARCHAR2(6) := 'V03.01';\nBEGIN"),
            "V03.01");
  // Only the 50 characters from the tag count; a body without the tag has no version.
  EXPECT_EQ(nuvo::admin::versionOfTriggerBody("NUVO_VERSION" + QString(40, u' ') + "'V09.09'"), "NUVO_V");
  EXPECT_EQ(nuvo::admin::versionOfTriggerBody("BEGIN x := 'V01.00'; END;"), "");
}

TEST(VersionTypes, TypesAreWholeEntriesOfTheList) {
  EXPECT_FALSE(nuvo::admin::typeInList("PACKAGE", "PACKAGE BODY,TRIGGER"));
  EXPECT_TRUE(nuvo::admin::typeInList("PACKAGE BODY", nuvo::admin::kAllVersionTypes));
  EXPECT_TRUE(nuvo::admin::typeInList("TRIGGER", nuvo::admin::kAllVersionTypes));
  EXPECT_FALSE(nuvo::admin::typeInList("BODY", "PACKAGE BODY"));
}

TEST(VersionFile, LinesAreWrittenAndReadBack) {
  const VersionRecord record{"PACKAGE BODY", "PCK", "", "2021-03-15:08:30:00"};
  EXPECT_EQ(nuvo::admin::versionFileLine(record), "PACKAGE BODY#PCK#      #2021-03-15:08:30:00#");
  const auto line = nuvo::admin::parseVersionFileLine("PACKAGE BODY#PCK#      #2021-03-15:08:30:00#");
  EXPECT_EQ(line.type, "PACKAGE BODY");
  EXPECT_EQ(line.name, "PCK");
  EXPECT_EQ(line.version, kBlank);
  EXPECT_EQ(line.timestamp, "2021-03-15:08:30:00");
  // No "#": no fields at all.
  const auto bare = nuvo::admin::parseVersionFileLine("PROCEDURE P1 V01.00");
  EXPECT_TRUE(bare.type.isEmpty() && bare.name.isEmpty() && bare.version.isEmpty());
  // Each remainder is cut to 100 characters.
  const auto longLine = nuvo::admin::parseVersionFileLine("PROCEDURE#" + QString(120, u'N') + "#V01.00#");
  EXPECT_TRUE(longLine.name.isEmpty());
  EXPECT_EQ(nuvo::admin::splitVersionFile("A#\r\nB#\r\n\r\nC#"), (QStringList{"A#", "B#", "", "C#"}));
  EXPECT_EQ(nuvo::admin::splitVersionFile("A#\nB#\rC#\r\n"), (QStringList{"A#", "B#", "C#"}));
}

TEST(VersionCompare, RowsForEachKindOfDifference) {
  const QString ts = "2021-03-15:08:30:00";
  const QString older = "2020-01-01:00:00:00";
  const auto records = [&] {
    return std::vector<VersionRecord>{
        {"FUNCTION", "F_DIFF", "V01.00", ts},     {"FUNCTION", "F_SAME", "V01.00", older},
        {"PACKAGE", "PCK", "V02.00", ts},         {"PACKAGE BODY", "PCK", "V02.01", ts},
        {"PROCEDURE", "P_DBONLY", "V01.00", ts},  {"PROCEDURE", "P_DBONLY2", "V07.00", ts},
        {"PROCEDURE", "P_NOTAG", kBlank, older},  {"PROCEDURE", "P_NOTAG_UNLISTED", kBlank, ts},
        {"TRIGGER", "TRG_UNLISTED", "V01.00", ts},
    };
  };
  const QStringList file{
      "FUNCTION#F_DIFF#V01.01#" + ts + "#",
      "FUNCTION#F_SAME#V01.00#" + ts + "#",
      "",  // a blank line of a hand-edited file
      "FUNCTION#F_GONE#V01.00#" + ts + "#",
      "FUNCTION#F_GONE_ZERO#V00.00#" + ts + "#",
      "FUNCTION#F_GONE_BLANK#      #" + ts + "#",
      "PACKAGE#PCK#V02.00#" + ts + "#",
      "PACKAGE BODY#PCK#V02.00#" + ts + "#",
      "PROCEDURE#P_NOTAG#V09.00#" + ts + "#",  // a database object without a tag is never reported
      "TRIGGER#TRG_FILE_ONLY#V01.00#" + ts + "#",
  };
  const QString types = "PROCEDURE,FUNCTION,PACKAGE,PACKAGE BODY";
  const struct {
    bool timestamps;
    std::vector<VersionRow> rows;
  } cases[] = {
      {false,
       {{"FUNCTION", "F_DIFF", "V01.01", "V01.00"},
        {"FUNCTION", "F_GONE", "V01.00", "not EXIST"},
        {"PACKAGE BODY", "PCK", "V02.00", "V02.01"},
        {"PROCEDURE", "P_DBONLY", "missing", "V01.00"},
        {"PROCEDURE", "P_DBONLY2", "missing", "V07.00"}}},
      {true,
       {{"FUNCTION", "F_DIFF", "V01.01", "V01.00"},
        {"FUNCTION", "F_SAME", ts, older},
        {"FUNCTION", "F_GONE", "V01.00", "not EXIST"},
        {"PACKAGE BODY", "PCK", "V02.00", "V02.01"},
        {"PROCEDURE", "P_DBONLY", "missing", "V01.00"},
        {"PROCEDURE", "P_DBONLY2", "missing", "V07.00"}}},
  };
  for (const auto& c : cases) {
    auto recs = records();
    EXPECT_EQ(nuvo::admin::compareVersions(recs, file, types, c.timestamps, "missing"), c.rows) << c.timestamps;
    EXPECT_FALSE(recs.back().matched);  // outside the type list
  }
  // A newer database object than the file's is no difference.
  std::vector<VersionRecord> newer{{"FUNCTION", "F", "V01.00", "2030-01-01:00:00:00"}};
  EXPECT_TRUE(nuvo::admin::compareVersions(newer, {"FUNCTION#F#V01.00#" + ts + "#"}, types, true, "m").empty());
}

TEST(VersionCompare, ShowVersionNamesEachTypeOnce) {
  const std::vector<VersionRecord> records{{"FUNCTION", "F1", "V01.00", ""},
                                           {"FUNCTION", "F2", kBlank, ""},
                                           {"PROCEDURE", "P1", "V02.00", ""},
                                           {"TRIGGER", "T1", "V03.00", ""}};
  const std::vector<VersionRow> rows{
      {"FUNCTION", "F1", "", "V01.00"}, {"", "F2", "", kBlank}, {"PROCEDURE", "P1", "", "V02.00"}};
  EXPECT_EQ(nuvo::admin::versionListRows(records, "FUNCTION,PROCEDURE"), rows);
}

class VersionWindow : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE USER vert IDENTIFIED BY vert", "CREATE TABLE vert.t (a NUMBER)",
         "CREATE OR REPLACE PROCEDURE vert.p_same IS\n  NUVO_VERSION CONSTANT VARCHAR2(6) := 'V01.02';\nBEGIN\n  "
         "NULL;\nEND;",
         "CREATE OR REPLACE FUNCTION vert.f_old RETURN NUMBER IS\n  -- NUVO_VERSION 'V01.00'\nBEGIN\n  RETURN "
         "1;\nEND;",
         "CREATE OR REPLACE PROCEDURE vert.p_notag IS\nBEGIN\n  NULL;\nEND;",
         "CREATE OR REPLACE PACKAGE vert.pck IS\n  NUVO_VERSION CONSTANT VARCHAR2(6) := 'V02.00';\n  FUNCTION f "
         "RETURN NUMBER;\nEND pck;",
         // Two tag lines: the later one counts.
         "CREATE OR REPLACE PACKAGE BODY vert.pck IS\n  -- NUVO_VERSION 'V02.00' before the fix\n  -- "
         "NUVO_VERSION 'V02.01'\n  FUNCTION f RETURN NUMBER IS\n  BEGIN\n    RETURN 1;\n  END;\nEND pck;",
         "CREATE OR REPLACE TRIGGER vert.trg BEFORE INSERT ON vert.t FOR EACH ROW\nDECLARE\n  NUVO_VERSION "
         "CONSTANT VARCHAR2(6) := 'V03.00';\nBEGIN\n  NULL;\nEND;",
         // Another owner's object of the same name.
         "CREATE USER vert2 IDENTIFIED BY vert2",
         "CREATE OR REPLACE PROCEDURE vert2.p_same IS\n  NUVO_VERSION CONSTANT VARCHAR2(6) := 'V09.09';\nBEGIN\n  "
         "NULL;\nEND;"});
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("SYSTEM", "SYSTEM", "DEMO");
    main_->connUser = QStringLiteral("SYSTEM");
    main_->currVerOwner = QStringLiteral("vert");
    main_->currVerType = QString::fromLatin1(nuvo::admin::kAllVersionTypes);
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("TfmCheckVersion")) windows << w;
    qDeleteAll(windows);
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }

  // A window shown for `file` (a name in the test's home).
  TfmCheckVersion* open(const QString& file) {
    main_->currVerFile = homePath(file);
    auto* w = new TfmCheckVersion;
    w->show();
    return w;
  }
  static std::vector<VersionRow> shown(const TfmCheckVersion& w) {
    std::vector<VersionRow> rows;
    if (!w.sgRes->isVisibleTo(&w)) return rows;
    for (int row = 0; row < w.sgRes->rowCount(); ++row) {
      const auto text = [&](int column) { return w.sgRes->item(row, column)->text(); };
      rows.push_back({text(0), text(1), text(2), text(3)});
    }
    return rows;
  }
  QString timestampOf(const QString& type, const QString& name) {
    for (const auto& r : nuvo::admin::readVersionRecords(main_->osOracle, "VERT", nuvo::admin::kAllVersionTypes))
      if (r.type == type && r.name == name) return r.timestamp;
    return {};
  }

  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

TEST_F(VersionWindow, ReadsTheTagsOfSourceAndTriggersOfTheOwner) {
  const auto records = nuvo::admin::readVersionRecords(main_->osOracle, "VERT", nuvo::admin::kAllVersionTypes);
  QStringList got;
  for (const auto& r : records) got << r.type + u' ' + r.name + u' ' + r.version;
  EXPECT_EQ(got, (QStringList{"FUNCTION F_OLD V01.00", "PACKAGE PCK V02.00", "PACKAGE BODY PCK V02.01",
                              "PROCEDURE P_NOTAG " + kBlank, "PROCEDURE P_SAME V01.02", "TRIGGER TRG V03.00"}));
  for (const auto& r : records)
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d:\\d\\d:\\d\\d:\\d\\d$").match(r.timestamp).hasMatch())
        << r.timestamp.toStdString();
}

TEST_F(VersionWindow, AFileWrittenFromTheSchemaComparesEqual) {
  TfmCheckVersion* w = open("OSN.VER");
  EXPECT_EQ(w->edOwner->text(), "VERT");
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w->btCrVerFileClick();
  EXPECT_EQ(w->laStat->text(), "File is Prepared");
  QFile file(homePath("OSN.VER"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("FUNCTION#F_OLD#V01.00#")) << bytes.constData();
  EXPECT_TRUE(bytes.contains("PROCEDURE#P_NOTAG#      #"));
  EXPECT_EQ(bytes.count("\r\n"), 6);
  EXPECT_FALSE(bytes.contains("V09.09"));  // the other owner's object

  w->btStartClick();
  EXPECT_TRUE(shown(*w).empty());
  ASSERT_FALSE(messages_->texts().isEmpty());
  EXPECT_EQ(messages_->texts().last(), "Object Versions are Equal");

  // No leaves the file as it was.
  sys({"CREATE OR REPLACE PROCEDURE vert.p_extra IS\n  -- NUVO_VERSION 'V01.00'\nBEGIN\n  NULL;\nEND;"});
  w->btCrVerFileClick();
  QFile again(homePath("OSN.VER"));
  ASSERT_TRUE(again.open(QIODevice::ReadOnly));
  EXPECT_EQ(again.readAll(), bytes);
}

// A hand-edited file from another machine: Windows-1250, CR LF, a blank line, objects the schema
// lacks and an object older than recorded.
TEST_F(VersionWindow, AHandEditedFileShowsEveryDifference) {
  const QString same = timestampOf("PROCEDURE", "P_SAME");
  const QString text = "FUNCTION#F_OLD#V01.01#2020-01-01:00:00:00#\r\n"
                       "FUNCTION#F_ČRKA#V01.00#2020-01-01:00:00:00#\r\n"
                       "\r\n"
                       "FUNCTION#F_ZERO#V00.00#2020-01-01:00:00:00#\r\n"
                       "PACKAGE#PCK#V02.00#2020-01-01:00:00:00#\r\n"
                       "PACKAGE BODY#PCK#V02.01#2020-01-01:00:00:00#\r\n"
                       "PROCEDURE#P_SAME#V01.02#2999-01-01:00:00:00#\r\n"
                       "TRIGGER#TRG#V03.00#2020-01-01:00:00:00#\r\n";
  QFile file(homePath("HAND.VER"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(nuvo::encodeCodePage(text, nuvo::CodePage::Windows1250));
  file.close();

  TfmCheckVersion* w = open("hand.ver");  // found whatever the case of its name
  w->btStartClick();
  const std::vector<VersionRow> differences{{"FUNCTION", "F_OLD", "V01.01", "V01.00"},
                                            {"FUNCTION", "F_ČRKA", "V01.00", "not EXIST"}};
  EXPECT_EQ(shown(*w), differences);

  w->cbTimestamp->setChecked(true);
  w->btStartClick();
  auto withTime = differences;
  withTime.push_back({"PROCEDURE", "P_SAME", "2999-01-01:00:00:00", same});
  EXPECT_EQ(shown(*w), withTime);

  // A database object the file does not name; only the listed types count.
  sys({"CREATE OR REPLACE PROCEDURE vert.p_new IS\n  -- NUVO_VERSION 'V01.00'\nBEGIN\n  NULL;\nEND;"});
  w->cbTimestamp->setChecked(false);
  w->btStartClick();
  auto withNew = differences;
  withNew.push_back({"PROCEDURE", "P_NEW", "not EXIST", "V01.00"});
  EXPECT_EQ(shown(*w), withNew);
  w->edType->setText("FUNCTION");
  w->btStartClick();
  EXPECT_EQ(shown(*w), differences);
}

TEST_F(VersionWindow, AMissingFileIsShownAndNothingIsListed) {
  TfmCheckVersion* w = open("NONE.VER");
  w->btStartClick();
  ASSERT_EQ(messages_->texts().size(), 1);
  EXPECT_TRUE(messages_->texts()[0].contains("NONE.VER")) << messages_->texts()[0].toStdString();
  EXPECT_TRUE(shown(*w).empty());
  EXPECT_TRUE(w->laStat->text().isEmpty());
}

TEST_F(VersionWindow, UnattendedVersionClosesOnlyWhenTheFileMatches) {
  auto& openers = main_->runner().openers;
  ASSERT_TRUE(openers.count("VERSION"));
  {
    TfmCheckVersion* w = open("MATCH.VER");
    messages_->queueAnswer(nuvo::MessageAnswer::Yes);
    w->btCrVerFileClick();
    w->close();
  }
  nuvo::shell::WindowRequest request;
  request.line.action = "VERSION";
  request.line.p2 = "VERT";
  request.line.p1 = homePath("MATCH");
  main_->VersionOK = false;
  EXPECT_TRUE(openers["VERSION"](*main_, request));
  EXPECT_TRUE(main_->VersionOK);
  EXPECT_TRUE(main_->runner().log.isEmpty()) << main_->runner().log.join('\n').toStdString();
  QPointer<TfmCheckVersion> done;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->inherits("TfmCheckVersion") && top->isVisible()) done = static_cast<TfmCheckVersion*>(top);
  ASSERT_TRUE(done);
  // It closes itself shortly after.
  EXPECT_TRUE(done->tiEnd->isActive());
  EXPECT_TRUE(QTest::qWaitFor([&done] { return !done || !done->isVisible(); }, 5000));

  // Differences, and a file that is not there: the action ends at once, reports, and leaves the
  // window open with what it found.
  sys({"CREATE OR REPLACE FUNCTION vert.f_old RETURN NUMBER IS\n  -- NUVO_VERSION 'V01.05'\nBEGIN\n  RETURN "
       "1;\nEND;"});
  for (const char* name : {"MATCH", "ABSENT"}) {
    main_->runner().log.clear();
    main_->VersionOK = false;
    request.line.p1 = homePath(name);
    EXPECT_FALSE(openers["VERSION"](*main_, request)) << name;
    EXPECT_FALSE(main_->VersionOK) << name;
    ASSERT_EQ(main_->runner().log.size(), 1) << name;
    EXPECT_TRUE(main_->runner().log[0].startsWith("VERSION " + homePath(name) + ".VER")) << main_->runner().log[0].toStdString();
  }
  int stillOpen = 0;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->inherits("TfmCheckVersion") && top->isVisible()) ++stillOpen;
  EXPECT_EQ(stillOpen, 2);
  EXPECT_EQ(messages_->texts().size(), 1);  // only the question of the file; no message waits
}

TEST_F(VersionWindow, TextsInEachLanguage) {
  const struct {
    const char* language;
    const char* title;
    const char* compare;
    const char* missing;
  } cases[] = {
      {"SLO", "PREVERJANJE VERZIJ PL/SQL OBJEKTOV", "&Primerjaj", "ne OBSTAJA"},
      {"ANG", "Check VERSION of PL/SQL BLOCKS and EXISTENCE of OBJECTS", "&Compare", "not EXIST"},
      {"ENG", "Check VERSION of PL/SQL BLOCKS and EXISTENCE of OBJECTS", "&Compare", "not EXIST"},
      {"", "Check VERSION of PL/SQL BLOCKS and EXISTENCE of OBJECTS", "&Compare", "not EXIST"},
  };
  for (const auto& c : cases) {
    main_->currLanguage = c.language;
    TfmCheckVersion w;
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8(c.title)) << c.language;
    EXPECT_EQ(w.btStart->text(), c.compare) << c.language;
    EXPECT_EQ(w.nizNeObstaja, c.missing) << c.language;
  }
}

}  // namespace
