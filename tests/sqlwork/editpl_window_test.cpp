#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

#include "admin/errors.h"
#include "db/query.h"
#include "platform/ini_file.h"
#include "platform/text_file.h"
#include "qstring_print.h"
#include "schema/tabConte.h"
#include "schema/tableRef.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell_test_support.h"
#include "sqlwork/editpl.h"
#include "sqlwork/sql_editor.h"
#include "sqlwork/workshet.h"
#include "widgets/message_facade.h"

namespace {

using nuvo::test::choosingFile;

QString crlf(const QStringList& lines) { return lines.join(QStringLiteral("\r\n")); }

class EditPlWindow : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE TABLE kade.ep_t (a NUMBER, b VARCHAR2(10))"});
    logOn("KADE");
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
    previousRunner_ = nuvo::setModalRunner([](QDialog& dialog) {
      dialog.reject();
      return static_cast<int>(QDialog::Rejected);
    });
  }
  void TearDown() override {
    delete window_.data();
    nuvo::setModalRunner(std::move(previousRunner_));
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }

  void logOn(const QString& user) {
    main_.reset();
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn(user, user, "DEMO");
    main_->connUser = user;
    main_->connServer = QStringLiteral("DEMO");
    main_->CurrentEditInitDir = QString::fromStdString(home());
  }

  TfmEditPL& open() {
    window_ = new TfmEditPL;
    return *window_;
  }
  const QStringList& messages() const { return messages_->texts(); }

  // The errors the dictionary holds for an object.
  int dictionaryErrors(const QString& owner, const QString& name, const QString& type) {
    nuvo::db::Query q(&main_->osOracle);
    q.setSql(QStringLiteral("select count(*) from all_errors where owner='%1' and name='%2' and type='%3'")
                 .arg(owner, name, type));
    q.execute();
    return int(q.field(0).asInteger());
  }
  QPoint caret(TfmEditPL& w) {
    int line = 0, index = 0;
    w.mePLSQL->getCursorPosition(&line, &index);
    return {line, index};
  }

  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
  nuvo::ModalRunner previousRunner_;
  QPointer<TfmEditPL> window_;
};

TEST_F(EditPlWindow, CompilesBlockByBlockWithEachErrorOnItsOwnLine) {
  TfmEditPL& w = open();
  w.mePLSQL->setEditorText(crlf({
      "CREATE OR REPLACE PACKAGE kade.pck_ep IS",        // 0
      "  PROCEDURE run;",                                // 1
      "",                                                // 2
      "  FUNCTION val RETURN NUMBER;",                   // 3
      "END;",                                            // 4
      "/",                                               // 5
      "",                                                // 6
      "CREATE OR REPLACE PACKAGE BODY kade.pck_ep IS",   // 7
      "  PROCEDURE run IS",                              // 8
      "  BEGIN",                                         // 9
      "",                                                // 10
      "    x_undefined := 1;",                           // 11
      "  END;",                                          // 12
      "  FUNCTION val RETURN NUMBER IS BEGIN RETURN 1; END;",  // 13
      "END;",                                            // 14
      "/",                                               // 15
      "CREATE OR REPLACE PROCEDURE kade.ep_proc IS",     // 16
      "BEGIN",                                           // 17
      "  pck_ep.run;",                                   // 18
      "  y_undefined := 2;",                             // 19
      "END;",                                            // 20
      "/",                                               // 21
      "CREATE TABLE kade.ep_t (a NUMBER);",              // 22: exists already
      "/"}));
  w.spCompileClick();
  EXPECT_EQ(w.edStatus->text(), "NOK");
  ASSERT_EQ(messages().size(), 1);
  EXPECT_TRUE(messages()[0].contains("ORA-00955")) << messages()[0].toStdString();
  EXPECT_TRUE(messages()[0].contains("23")) << "names the block's line: " << messages()[0].toStdString();
  // The body's and the procedure's errors, in block order, each with its caret on its line.
  ASSERT_EQ(w.ListaNapak.count(), 4);
  EXPECT_FALSE(w.paPLSQLError->isHidden());
  EXPECT_EQ(w.laAllErr->text(), "4");
  const QPoint expected[] = {{11, 4}, {11, 4}, {19, 2}, {19, 2}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    if (i > 0) w.spbNaprej->click();
    EXPECT_EQ(caret(w), expected[i]);
    EXPECT_EQ(w.btErrCodeNr->text(), QString::number(i + 1));
  }
  EXPECT_EQ(w.laError->text(), "EP_PROC");
  EXPECT_TRUE(w.meError->text().startsWith("20/3   PL/SQL: Statement ignored")) << w.meError->text().toStdString();
  EXPECT_FALSE(w.spbNaprej->isEnabled());
  w.spbNazaj->click();
  w.spbNazaj->click();
  EXPECT_EQ(w.laError->text(), "PCK_EP");
  // The blocks that compiled are in the database.
  EXPECT_EQ(dictionaryErrors("KADE", "PCK_EP", "PACKAGE"), 0);
  EXPECT_EQ(dictionaryErrors("KADE", "PCK_EP", "PACKAGE BODY"), 2);
}

TEST_F(EditPlWindow, AFailingBlockWithoutCompileErrorsIsNeverASuccess) {
  TfmEditPL& w = open();
  w.show();
  struct Case {
    const char* name;
    QStringList source;
  };
  const Case failing[] = {
      {"an existing table", {"CREATE OR REPLACE PROCEDURE kade.ep_ok IS BEGIN NULL; END;", "/",
                              "CREATE TABLE kade.ep_t (a NUMBER)"}},
      {"a syntax error outside PL/SQL", {"SELEC * FROM dual"}},
  };
  for (const Case& c : failing) {
    SCOPED_TRACE(c.name);
    w.AutoCompile = true;
    w.mePLSQL->setEditorText(crlf(c.source));
    w.spCompileClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(window_) << "closed as a success";
    EXPECT_EQ(w.edStatus->text(), "NOK");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.ListaNapak.count(), 0);
    EXPECT_TRUE(w.paPLSQLError->isHidden());
  }
  // A clean compile with AutoCompile set closes the window.
  w.AutoCompile = true;
  w.mePLSQL->setEditorText(crlf({"CREATE OR REPLACE PROCEDURE kade.ep_ok IS BEGIN NULL; END;", "/"}));
  w.spCompileClick();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(window_);
}

TEST_F(EditPlWindow, ASpecAndBodyCompiledInOneSecondKeepTheirOwnErrors) {
  TfmEditPL& w = open();
  w.mePLSQL->setEditorText(crlf({
      "CREATE OR REPLACE PACKAGE kade.pck_two IS",    // 0
      "  v no_such_type;",                            // 1
      "END;",                                         // 2
      "/",                                            // 3
      "CREATE OR REPLACE PACKAGE BODY kade.pck_two IS",  // 4
      "  PROCEDURE q IS BEGIN NULL; END;",            // 5
      "END;",                                         // 6
      "/",                                            // 7
      "CREATE OR REPLACE PROCEDURE kade.ep_clean IS BEGIN NULL; END;"}));
  w.spCompileClick();
  const int spec = dictionaryErrors("KADE", "PCK_TWO", "PACKAGE");
  const int body = dictionaryErrors("KADE", "PCK_TWO", "PACKAGE BODY");
  ASSERT_GT(spec, 0);
  // Every error once, on a line of its own block; the clean procedure adds none.
  ASSERT_EQ(w.ListaNapak.count(), spec + body);
  for (int i = 0; i < w.ListaNapak.count(); ++i) {
    const auto& e = w.ListaNapak.at(i);
    if (i < spec)
      EXPECT_EQ(e.line, 1) << e.text.toStdString();
    else
      EXPECT_TRUE(e.line >= 4 && e.line <= 6) << e.line << " " << e.text.toStdString();
  }
  EXPECT_EQ(w.edStatus->text(), "NOK");
}

TEST_F(EditPlWindow, AtMostAHundredErrorsAreListed) {
  TfmEditPL& w = open();
  QStringList source = {"CREATE OR REPLACE PROCEDURE kade.ep_many IS", "BEGIN"};
  for (int i = 0; i < 70; ++i) source << QStringLiteral("  undefined_%1 := 1;").arg(i);
  source << "END;";
  w.mePLSQL->setEditorText(crlf(source));
  w.spCompileClick();
  ASSERT_GT(dictionaryErrors("KADE", "EP_MANY", "PROCEDURE"), 100);
  EXPECT_EQ(w.ListaNapak.count(), 100);
  EXPECT_EQ(w.laAllErr->text(), "100");
  for (int i = 1; i < 100; ++i) w.spbNaprej->click();
  EXPECT_EQ(w.btErrCodeNr->text(), "100");
  EXPECT_FALSE(w.spbNaprej->isEnabled());
  w.spbNaprej->click();  // nothing beyond the last
  EXPECT_EQ(w.trenutnaNapaka, 100);
}

TEST_F(EditPlWindow, ATriggerErrorLandsOnItsBodyLine) {
  TfmEditPL& w = open();
  w.mePLSQL->setEditorText(crlf({
      "CREATE OR REPLACE TRIGGER kade.ep_trg",  // 0
      "  BEFORE INSERT ON kade.ep_t",          // 1
      "",                                       // 2
      "  FOR EACH ROW",                         // 3
      "DECLARE",                                // 4
      "  n NUMBER;",                            // 5
      "BEGIN",                                  // 6
      "  n := nosuch_fn(1);",                   // 7
      "END;"}));
  w.spCompileClick();
  ASSERT_GE(w.ListaNapak.count(), 1);
  EXPECT_EQ(caret(w), QPoint(7, 7));
}

TEST_F(EditPlWindow, AViewErrorOfLineZeroLandsOnTheViewsHeader) {
  TfmEditPL& w = open();
  w.mePLSQL->setEditorText(crlf({
      "CREATE OR REPLACE PROCEDURE kade.ep_first IS",  // 0
      "",                                               // 1
      "BEGIN NULL; END;",                               // 2
      "/",                                              // 3
      "",                                               // 4
      "CREATE OR REPLACE FORCE VIEW kade.ep_v AS",      // 5
      "  SELECT nosuch FROM dual"}));
  w.spCompileClick();
  ASSERT_EQ(w.ListaNapak.count(), 1);
  EXPECT_EQ(w.ListaNapak.at(0).serverLine, 0);
  EXPECT_EQ(caret(w), QPoint(5, 0));
  EXPECT_EQ(w.edStatus->text(), "NOK");
}

TEST_F(EditPlWindow, RenamedForAnInstallationTheSourceStaysGeneric) {
  logOn("SYSTEM");
  main_->currMoreInstall = true;
  main_->currUserAsKade = QStringLiteral("IZAS1");
  main_->currUserAsZozuro = QStringLiteral("FZAS1");
  TfmEditPL& w = open();
  ASSERT_FALSE(w.cbTranslate->isHidden());
  ASSERT_TRUE(w.cbTranslate->isChecked());
  const QString source = crlf({
      "CREATE OR REPLACE PROCEDURE KADE.ep_ren IS BEGIN NULL; END;",  // 0
      "/",                                                            // 1
      "CREATE OR REPLACE PROCEDURE KADE.ep_bad IS",                   // 2
      "BEGIN",                                                        // 3
      "  KADE.ep_ren; x := 1;",                                       // 4
      "END;"});
  w.mePLSQL->setEditorText(source);
  w.spCompileClick();
  // Compiled into the installation's schema, the errors read there.
  nuvo::db::Query q(&main_->osOracle);
  q.setSql(QStringLiteral("select owner from all_objects where object_name='EP_REN'"));
  q.execute();
  ASSERT_FALSE(q.eof());
  EXPECT_EQ(q.field(0).asString(), "IZAS1");
  ASSERT_GE(w.ListaNapak.count(), 1);
  EXPECT_EQ(w.ListaNapak.at(0).object, "EP_BAD");
  // The caret stands on "x" of the source line, whose owner is shorter than the renamed one.
  EXPECT_EQ(caret(w), QPoint(4, 15));
  // The editor keeps the generic text; the renamed one is in PLDUMP.
  EXPECT_EQ(w.mePLSQL->editorText(), source);
  QFile dump(homePath("PLDUMP"));
  ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
  const QByteArray dumped = dump.readAll();
  EXPECT_TRUE(dumped.contains("IZAS1.ep_bad")) << dumped.constData();
  // Saved, the file holds the generic source.
  nuvo::setModalRunner(choosingFile(homePath("generic.sql")));
  w.spSaveAsClick();
  QFile saved(homePath("generic.sql"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(saved.readAll()), source);
}

TEST_F(EditPlWindow, FilesKeepTheirCodePageAndLineEnds) {
  const QByteArray cp1250 = "-- \xe8\x9a\x9e \xc8\x8a\x8e\r\nBEGIN NULL; END;\r\n";
  {
    QFile f(homePath("src.sql"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cp1250);
  }
  TfmEditPL& w = open();
  ASSERT_TRUE(w.naloziFile(homePath("src.sql")));
  EXPECT_TRUE(w.mePLSQL->editorText().startsWith(QString::fromUtf8("-- čšž ČŠŽ\r\n")));
  w.mePLSQL->setEditorText(w.mePLSQL->editorText() + "-- ž");
  w.spSaveClick();
  QFile f(homePath("src.sql"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), cp1250 + "-- \x9e");
  EXPECT_TRUE(messages().isEmpty()) << messages().join("|").toStdString();

  // Missing file; save without a file.
  EXPECT_FALSE(w.naloziFile(homePath("missing.sql")));
  EXPECT_TRUE(messages().value(0).startsWith("File does not exists"));
  w.spNewClick();
  w.spSaveClick();
  EXPECT_EQ(messages().value(1), "NO ACTIVE FILE!  USE \"SAVE AS\" OPTION");
}

TEST_F(EditPlWindow, ChangesAreOfferedForSavingBeforeTheTextIsReplaced) {
  writeHomeFile("a.sql", "BEGIN NULL; END;\r\n");
  TfmEditPL& w = open();
  ASSERT_TRUE(w.naloziFile(homePath("a.sql")));
  w.spNewClick();  // unchanged: no question
  EXPECT_TRUE(messages().isEmpty());
  ASSERT_TRUE(w.naloziFile(homePath("a.sql")));
  w.mePLSQL->insertAtCaret("-- changed\r\n");
  messages_->queueAnswer(nuvo::MessageAnswer::Yes);
  w.spNewClick();
  EXPECT_EQ(messages().value(0), "Save Changes");
  QFile f(homePath("a.sql"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "-- changed\r\nBEGIN NULL; END;\r\n");
  EXPECT_TRUE(w.CurrentFile.isEmpty());
}

TEST_F(EditPlWindow, TheFileHistoryListsOpenedFilesAndOpensThem) {
  writeHomeFile("one.sql", "-- one\r\n");
  writeHomeFile("two.sql", "-- two\r\n");
  TfmEditPL& w = open();
  w.show();
  // Without a history Load asks for a file.
  nuvo::setModalRunner(choosingFile(homePath("one.sql")));
  w.spLoadClick();
  EXPECT_EQ(w.currFName, "one.sql");
  EXPECT_TRUE(w.windowTitle().startsWith("one.sql  (KADE@DEMO)"));
  nuvo::IniFile ini(w.historyFileName());
  EXPECT_TRUE(ini.readString("EDITPL", "HFILE1").startsWith("one.sql/"));
  // With one, Load shows it; a second Load asks for a file.
  w.spLoadClick();
  ASSERT_TRUE(w.lbHistFile->isVisible());
  EXPECT_TRUE(w.lbHistFile->item(0)->text().startsWith("ONE         "));
  nuvo::setModalRunner(choosingFile(homePath("two.sql")));
  w.spLoadClick();
  EXPECT_FALSE(w.lbHistFile->isVisible());
  EXPECT_EQ(w.mePLSQL->editorText(), "-- two\r\n");
  // Return on an entry of the list opens it, and types nothing into the editor.
  w.spLoadClick();
  ASSERT_EQ(w.lbHistFile->count(), 2);
  const int row = w.lbHistFile->item(0)->text().startsWith("ONE") ? 0 : 1;
  w.lbHistFile->setCurrentRow(row);
  QTest::keyClick(w.lbHistFile, Qt::Key_Return);
  EXPECT_FALSE(w.lbHistFile->isVisible());
  EXPECT_EQ(w.mePLSQL->editorText(), "-- one\r\n");
  EXPECT_EQ(w.CurrentFile, homePath("one.sql"));
  // Deleting entries until none is left: Load then asks for a file at once.
  for (int i = 0; i < 2; ++i) {
    if (!w.lbHistFile->isVisible()) w.spLoadClick();
    w.lbHistFile->setCurrentRow(0);
    nuvo::setModalRunner([](QDialog& d) {
      d.reject();
      return static_cast<int>(QDialog::Rejected);
    });
    w.miHistFileDeleteClick();
  }
  EXPECT_FALSE(w.lbHistFile->isVisible());
  EXPECT_FALSE(ini.valueExists("EDITPL", "HFILE1"));
}

TEST_F(EditPlWindow, AHeldMacroKeyInsertsItsMacroOnceAtTheCaret) {
  main_->mcKeys = QStringLiteral("§");
  main_->mcMacro[0] = QStringLiteral("select * from ");
  TfmEditPL& w = open();
  w.show();
  qint64 now = 0;
  w.mePLSQL->setClock([&now] { return now; });
  w.mePLSQL->setEditorText("ab\r\ncd");
  w.mePLSQL->setCursorPosition(0, 1);
  w.mePLSQL->setFocus();
  const auto press = [&w](bool repeat) {
    QKeyEvent e(QEvent::KeyPress, Qt::Key_section, Qt::NoModifier, QStringLiteral("§"), repeat);
    QApplication::sendEvent(w.mePLSQL, &e);
  };
  press(false);
  for (now = 100; now <= 2000; now += 100) press(true);  // held for two seconds
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_section, Qt::NoModifier, QStringLiteral("§"));
  QApplication::sendEvent(w.mePLSQL, &release);
  EXPECT_EQ(w.mePLSQL->editorText(), "aselect * from b\r\ncd");
  // A short press types the key.
  now = 5000;
  press(false);
  QApplication::sendEvent(w.mePLSQL, &release);
  EXPECT_EQ(w.mePLSQL->editorText(), QString::fromUtf8("aselect * from §b\r\ncd"));
}

TEST_F(EditPlWindow, TemplatesAreFoundAddedAndChanged) {
  TfmEditPL& w = open();
  w.show();
  w.spDataBase->click();
  w.spUtilTemplate->click();
  ASSERT_EQ(w.pcUtil->currentWidget(), w.tabUtilTemplate);
  // An empty code lists every template.
  w.btFindTpl->click();
  ASSERT_FALSE(w.dbgTemplate->isHidden());
  EXPECT_EQ(w.quTemplate.recordCount(), 2);
  EXPECT_EQ(w.edTemplate->text(), "CUR");
  EXPECT_TRUE(w.meTemplate->toPlainText().startsWith("FOR r IN"));

  w.btNew->click();
  EXPECT_EQ(w.templateMode(), nuvo::sqlwork::TemplateMode::New);
  EXPECT_FALSE(w.btUpdate->isEnabled());
  QTest::keyClicks(w.edTemplate, "tst");
  EXPECT_EQ(w.edTemplate->text(), "TST");
  w.edDesc->setText("test");
  w.meTemplate->setPlainText(QString(250, u'x'));
  EXPECT_EQ(w.meTemplate->toPlainText().size(), 200);
  w.btSaveTemplate->click();
  EXPECT_EQ(w.templateMode(), nuvo::sqlwork::TemplateMode::Browse);
  // A code that exists already is refused and the page stays as it is.
  w.btNew->click();
  w.edTemplate->setText("TST");
  w.btSaveTemplate->click();
  ASSERT_EQ(messages().size(), 1);
  EXPECT_EQ(w.templateMode(), nuvo::sqlwork::TemplateMode::New);
  w.btCancel->click();

  w.edTemplate->setText("TS");
  w.btFindTpl->click();
  ASSERT_EQ(w.quTemplate.recordCount(), 1);
  w.btUpdate->click();
  EXPECT_TRUE(w.edTemplate->isReadOnly());
  w.meTemplate->setPlainText("changed :?");
  w.btSaveTemplate->click();
  w.edTemplate->setText("TST");
  w.btFindTpl->click();
  EXPECT_EQ(w.meTemplate->toPlainText(), "changed :?");
  // Copy puts the template at the caret with its mark filled from the clipboard.
  QGuiApplication::clipboard()->setText("emp");
  w.mePLSQL->setEditorText("x");
  w.mePLSQL->setCursorPosition(0, 1);
  w.btCopy->click();
  EXPECT_EQ(w.mePLSQL->editorText(), "x\r\nchanged emp\r\n");
}

TEST_F(EditPlWindow, TheStructurePageTypesColumnNames) {
  TfmEditPL& w = open();
  w.show();
  const int narrow = w.width();
  w.spDataBase->click();
  EXPECT_FALSE(w.paPLUtil->isHidden());
  EXPECT_GE(w.width(), narrow);
  ASSERT_GE(w.lcbUsers->findText("KADE"), 0);
  w.lcbUsers->setCurrentIndex(w.lcbUsers->findText("KADE"));
  w.lcbUsersExit();
  const int table = w.lcbTables->findText("EP_T");
  ASSERT_GE(table, 0);
  w.lcbTables->setCurrentIndex(table);
  w.lcbTablesCloseUp();
  ASSERT_EQ(w.sgColumns->rowCount(), 2);
  EXPECT_EQ(w.sgColumns->item(0, 0)->text(), "A");
  EXPECT_EQ(w.sgColumns->item(1, 1)->text(), "VARCHAR2");
  QGuiApplication::clipboard()->setText("t.");
  w.sgColumns->selectRow(0);
  w.sgColumns->setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 2), true);
  w.mePLSQL->setEditorText("select  from ep_t t");
  w.mePLSQL->setCursorPosition(0, 7);
  w.spInsert->click();
  EXPECT_EQ(w.mePLSQL->editorText(), "select t.A, t.B from ep_t t");
  // The table's content and references windows open for the chosen table.
  QString seen;
  nuvo::setModalRunner([&seen](QDialog& d) {
    if (auto* c = qobject_cast<TfmTableContent*>(&d)) seen += "content " + c->cUpor + "." + c->cTabela;
    if (auto* r = qobject_cast<TfmRef*>(&d)) seen += "|ref " + r->currUser + "." + r->currTable;
    d.reject();
    return static_cast<int>(QDialog::Rejected);
  });
  w.btConstraints->click();
  w.btRef->click();
  EXPECT_EQ(seen, "content KADE.EP_T|ref KADE.EP_T");
  // A table without columns of its own clears the grid.
  w.lcbTables->setCurrentIndex(-1);
  w.lcbTablesCloseUp();
  EXPECT_EQ(w.sgColumns->rowCount(), 0);
  w.spUtilBack->click();
  EXPECT_TRUE(w.paPLUtil->isHidden());
}

TEST_F(EditPlWindow, TheTwinButtonSelectsTheMatchingEnd) {
  TfmEditPL& w = open();
  w.mePLSQL->setEditorText(crlf({"BEGIN", "  BEGIN NULL; END;", "  IF x THEN NULL; END IF;", "END;"}));
  w.mePLSQL->setSelection(0, 0, 0, 5);
  w.spFindEQ->click();
  int l1 = 0, i1 = 0, l2 = 0, i2 = 0;
  w.mePLSQL->getSelection(&l1, &i1, &l2, &i2);
  EXPECT_EQ(QList<int>({l1, i1, l2, i2}), QList<int>({3, 0, 3, 3}));
}

TEST_F(EditPlWindow, AnOpenWorksheetTransactionStopsTheCompile) {
  auto* sheet = new TfmWorkSheet;
  sheet->setObjectName("WorkSheet_1");
  sheet->btCommit->setEnabled(true);
  TfmEditPL& w = open();
  w.mePLSQL->setEditorText("CREATE OR REPLACE PROCEDURE kade.ep_never IS BEGIN NULL; END;");
  w.spCompileClick();
  delete sheet;
  EXPECT_EQ(messages().value(0), "Open transaction. Compiling is not available!");
  EXPECT_EQ(w.edStatus->text(), "");
  nuvo::db::Query q(&main_->osOracle);
  q.setSql(QStringLiteral("select count(*) from all_objects where object_name='EP_NEVER'"));
  q.execute();
  EXPECT_EQ(q.field(0).asInteger(), 0);
}

TEST_F(EditPlWindow, TheMainMenuAndTheStatusButtonOpenTheirWindows) {
  main_->command("mmEditPL")->setEnabled(true);
  main_->command("mmEditPL")->trigger();
  QList<TfmEditPL*> editors;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* e = qobject_cast<TfmEditPL*>(top)) editors << e;
  ASSERT_EQ(editors.size(), 1);
  EXPECT_TRUE(editors[0]->objectName().startsWith("fmEdit"));
  EXPECT_TRUE(editors[0]->isVisible());
  window_ = editors[0];
  TfmErrors* before = TfmErrors::current();
  window_->spErrors->click();
  ASSERT_NE(TfmErrors::current(), nullptr);
  EXPECT_NE(TfmErrors::current(), before);
  EXPECT_TRUE(TfmErrors::current()->isVisible());
  delete TfmErrors::current();
}

TEST_F(EditPlWindow, SloveneTexts) {
  writeHomeFile("MONITOR.INI", "[PL/SQL]\r\nCURR_LANGUAGE=SLO\r\n");
  logOn("KADE");
  TfmEditPL& w = open();
  EXPECT_EQ(w.windowTitle(), "PL/SQL Urejevalnik  (KADE@DEMO)");
  EXPECT_EQ(w.btCloseErrorScreen->text(), "Zapri napake");
  EXPECT_EQ(w.nizVTrans, QString::fromUtf8("Odprta transakcija. Prevajanje ni možno!"));
  EXPECT_EQ(w.spCompile->toolTip(), "Prevedi");
}

}  // namespace
