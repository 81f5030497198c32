#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "db/query.h"
#include "db/session.h"
#include "platform/ini_file.h"
#include "qstring_print.h"
#include "shell/Main.h"
#include "shell/iKript.h"
#include "shell/main_helpers.h"
#include "shell/settings_io.h"
#include "shell/setup.h"
#include "shell_test_support.h"

namespace {

using nuvo::test::LogonStep;
using namespace nuvo::shell;

// The settings of a context with a value of its own in every field the save writes.
TMainContext distinctSettings() {
  TMainContext c;
  int n = 0;
  const auto next = [&n](const char* name) { return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(++n); };
  c.TmpCurrentEditInitDir = next("pldir");
  c.CurrentPartInitDir = next("partdir");
  c.CurrentMDQInitDir = next("mdqdir");
  c.CurrentMDQLast = next("mdqlast");
  c.CurrentPartFile = next("partfile");
  c.CurrentCheckInitDir = next("checkdir");
  c.CurrentActiveProject = next("project");
  c.CurrentActiveType = next("type");
  c.currentScript = next("script");
  c.currentScriptDir = next("scriptdir");
  c.currentRefreshDir = next("refreshdir");
  c.currVerOwner = next("verowner");
  c.currLastVer = "#DEMO/KADE/UPG_1.SQL#";
  c.currVerFile = next("verfile");
  c.currVerType = "TABLE,VIEW,PACKAGE BODY";
  c.currMacroFile = next("macros.mcr");
  c.currEditPLFont = "Courier New";
  c.currForceOCI = "Yes";
  c.currentDateFormat = "YYYY-MM-DD HH24:MI";
  c.CurrentUserIpl = next("ipl");
  c.connUser = "KADE";
  c.connServer = next("server");
  c.currCommentsFile = "C:\\notes\\";
  c.currLargeRBName = "BIGRB";
  c.currShowLogType = next("log");
  c.currDescriptor = "#9";
  c.CurrStructureSelected = "N";
  c.currLoader = "imp -full";
  c.currOwner = c.currOwnerFile = next("owner");
  c.currVELMORADir = next("velmora");
  c.currCubeCompany = next("cube");
  c.currEditWidth = 640;
  c.currEditHeight = 480;
  c.currMinimizedMain = "D";
  c.currShrani = "N";
  c.currCharset = "RUSSIAN";
  c.currUnicode = true;
  c.currLanguage = "SLO";
  c.currMinTop = 120;
  c.currMinLeft = 340;
  return c;
}

SettingsEditTexts editsOf(const TMainContext& c) {
  return {QString::number(c.currMinTop), QString::number(c.currMinLeft), c.currLanguage};
}

TEST(SettingsEntries, EveryKeyInItsSectionAndOrder) {
  const QStringList expected = {
      "PL/SQL:CURR_DIR",         "PL/SQL:CURR_PART_DIR",       "PL/SQL:CURR_MDQ_DIR",      "PL/SQL:CURR_MDQ_LAST",
      "PL/SQL:CURR_PART_FILE",   "PL/SQL:CURR_CHECK_DIR",      "PL/SQL:CURR_PROJECT",      "PL/SQL:CURR_TYPE",
      "PL/SQL:CURR_SCRIPT",      "PL/SQL:CURR_SCRIPT_DIR",     "PL/SQL:CURR_REFRESH_DIR",  "PL/SQL:VER_OWNER",
      "PL/SQL:VER_LAST",         "PL/SQL:VER_FILE",            "PL/SQL:VER_TYPE",          "PL/SQL:CURR_MACRO_FILE",
      "PL/SQL:CURR_EDITPL_FONT", "PL/SQL:CURR_FORCE_OCI",      "PL/SQL:CURR_DATE_FORMAT",  "PL/SQL:CURR_USERIPL",
      "PL/SQL:CURR_USER",        "PL/SQL:CURR_SERVER",         "PL/SQL:CURR_MIN_TOP",      "PL/SQL:CURR_MIN_LEFT",
      "PL/SQL:CURR_LANGUAGE",    "PL/SQL:CURR_COMMENT_DIR",    "PL/SQL:CURR_LARGERB",      "PL/SQL:CURR_SHOWLOGTYPE",
      "PL/SQL:CURR_DESCRIPTOR",  "PL/SQL:CURR_STRU_SELECTED",  "PL/SQL:CURR_LOADER",       "PL/SQL:CURR_OWNER",
      "ALIAS:CURR_VELMORA_DIR",  "PL/SQL:CURR_CUBECOMPANY",    "PL/SQL:CURR_EDIT_WIDTH",   "PL/SQL:CURR_EDIT_HEIGHT",
      "PL/SQL:CURR_PASSWORD",    "PL/SQL:CURR_PASSWORDUTIL",   "PL/SQL:CURR_MINIMIZED",    "MONITOR:CURR_SHRANI",
      "PL/SQL:CURR_CHARSET",     "PL/SQL:CURR_UNICODE"};
  TMainContext c = distinctSettings();
  c.connPassword = "secret";
  c.connPasswordUtil = "utilsecret";
  const QList<IniEntry> entries = settingsEntries(c, {"17", "-5", "ANG"});
  QStringList keys;
  for (const IniEntry& entry : entries) keys << entry.section + u':' + entry.key;
  EXPECT_EQ(keys, expected);
  const auto valueOf = [&entries](const char* key) {
    for (const IniEntry& entry : entries)
      if (entry.key == QLatin1String(key)) return entry.value;
    return QStringLiteral("<missing>");
  };
  EXPECT_EQ(valueOf("CURR_PASSWORD"), "xxxxx");
  EXPECT_EQ(valueOf("CURR_PASSWORDUTIL"), "xxxxx");
  EXPECT_EQ(valueOf("CURR_MIN_TOP"), "17");  // from the edits, not the context
  EXPECT_EQ(valueOf("CURR_MIN_LEFT"), "-5");
  EXPECT_EQ(valueOf("CURR_LANGUAGE"), "ANG");
  EXPECT_EQ(valueOf("CURR_UNICODE"), "Y");
  EXPECT_EQ(valueOf("CURR_EDIT_WIDTH"), "640");
}

class SettingsFile : public nuvo::test::HomeDirFixture {
 protected:
  // Writes the settings of `c` to a new MONITOR.INI and reads them back as the start-up does.
  TMainContext roundTrip(const TMainContext& c) {
    nuvo::IniFile ini(homePath("MONITOR.INI"));
    writeEntries(ini, settingsEntries(c, editsOf(c)));
    TMainContext read;
    readMonitorIni(read, ini, ScreenGeometry{}, QStringLiteral("/program/"));
    return read;
  }
};

TEST_F(SettingsFile, WhatTheSaveWritesTheStartReadsBack) {
  const QString TMainContext::*texts[] = {
      &TMainContext::TmpCurrentEditInitDir, &TMainContext::CurrentEditInitDir, &TMainContext::currentDateFormat,
      &TMainContext::CurrentPartFile,       &TMainContext::CurrentPartInitDir, &TMainContext::CurrentMDQInitDir,
      &TMainContext::CurrentMDQLast,        &TMainContext::CurrentCheckInitDir, &TMainContext::CurrentActiveProject,
      &TMainContext::CurrentActiveType,     &TMainContext::currentScript,      &TMainContext::currentScriptDir,
      &TMainContext::currentRefreshDir,     &TMainContext::CurrStructureSelected, &TMainContext::CurrentUserIpl,
      &TMainContext::connUser,              &TMainContext::connServer,         &TMainContext::currVerOwner,
      &TMainContext::currLastVer,           &TMainContext::currVerFile,        &TMainContext::currVerType,
      &TMainContext::currForceOCI,          &TMainContext::currLargeRBName,    &TMainContext::currShrani,
      &TMainContext::currDescriptor,        &TMainContext::currMacroFile,      &TMainContext::currEditPLFont,
      &TMainContext::currMinimizedMain,     &TMainContext::currCommentsFile,   &TMainContext::currShowLogType,
      &TMainContext::currOwner,             &TMainContext::currOwnerFile,      &TMainContext::currLoader,
      &TMainContext::currLanguage,          &TMainContext::currVELMORADir,     &TMainContext::currCharset,
      &TMainContext::currCubeCompany};
  const int TMainContext::*numbers[] = {&TMainContext::currMinTop, &TMainContext::currMinLeft,
                                        &TMainContext::currEditWidth, &TMainContext::currEditHeight};
  struct Case {
    const char* label;
    QString loader;
    bool unicode;
  };
  const Case cases[] = {{"loader set, unicode", "imp -full", true}, {"loader empty, no unicode", "", false}};
  for (const Case& test : cases) {
    TMainContext written = distinctSettings();
    written.CurrentEditInitDir = written.TmpCurrentEditInitDir;
    written.currLoader = test.loader;
    written.currUnicode = test.unicode;
    QFile::remove(homePath("MONITOR.INI"));
    const TMainContext read = roundTrip(written);
    for (const auto field : texts) EXPECT_EQ(read.*field, written.*field) << test.label;
    for (const auto field : numbers) EXPECT_EQ(read.*field, written.*field) << test.label;
    EXPECT_EQ(read.currUnicode, test.unicode) << test.label;
  }
}

TEST_F(SettingsFile, ANewFileHoldsTheKeysInTheirSectionsInWriteOrder) {
  nuvo::IniFile ini(homePath("MONITOR.INI"));
  const TMainContext c = distinctSettings();
  writeEntries(ini, settingsEntries(c, editsOf(c)));
  QStringList expected = {"[PL/SQL]"};
  for (const IniEntry& entry : settingsEntries(c, editsOf(c)))
    if (entry.section == u"PL/SQL") expected << entry.key;
  expected << "[ALIAS]" << "CURR_VELMORA_DIR" << "[MONITOR]" << "CURR_SHRANI";
  QFile file(homePath("MONITOR.INI"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QStringList seen;
  for (const QString& line : QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts))
    seen << line.section(u'=', 0, 0);
  EXPECT_EQ(seen, expected);
}

TEST(SettingsChecks, CommentDirectoryGetsItsClosingSeparator) {
  const std::pair<QString, QString> cases[] = {
      {"C:\\notes", "C:\\notes\\"}, {"C:\\notes\\", "C:\\notes\\"}, {"/home/me/notes/", "/home/me/notes/"},
      {"/home/me/notes", "/home/me/notes\\"}, {"", "\\"}};
  for (const auto& [typed, stored] : cases) EXPECT_EQ(withClosingSeparator(typed), stored) << typed.toStdString();
}

TEST(SettingsChecks, WholeNumberSettings) {
  const std::pair<QString, std::optional<int>> cases[] = {
      {"120", 120}, {"-15", -15}, {" 7 ", 7}, {"12x", std::nullopt}, {"", std::nullopt}, {"1.5", std::nullopt}};
  for (const auto& [text, value] : cases) EXPECT_EQ(integerSetting(text), value) << text.toStdString();
}

// The settings window on a main window of its own.
class SetupWindow : public nuvo::test::DatabaseFixture {
 protected:
  void TearDown() override {
    main_.reset();
    DatabaseFixture::TearDown();
  }
  TfmMain& main(const char* user = "kade") {
    main_ = std::make_unique<TfmMain>();
    if (user) {
      nuvo::test::LogonDriver driver({LogonStep::connect(user, user)});
      main_->tbConnectClick();
      EXPECT_TRUE(main_->osOracle.connected());
    }
    return *main_;
  }
  TFmSetup& open() {
    setup_ = new TFmSetup(main_.get());
    return *setup_;
  }
  // The window closed itself (it frees itself when it closes).
  bool closed() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return setup_.isNull();
  }
  static void activate(QWidget* window) {
    QEvent activation(QEvent::WindowActivate);
    QCoreApplication::sendEvent(window, &activation);
  }
  QString iniValue(const char* key, const char* section = "PL/SQL") const {
    return nuvo::IniFile(homePath("MONITOR.INI")).readString(section, key, "<missing>");
  }
  QByteArray fileBytes(const QString& name) const {
    QFile file(homePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  void writeBytes(const QString& name, const QByteArray& bytes) const {
    QFile file(homePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  std::unique_ptr<TfmMain> main_;
  QPointer<TFmSetup> setup_;
};

TEST_F(SetupWindow, SaveAppliesTheEditsAndWritesTheSettingsFile) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main();
  TFmSetup& w = open();
  EXPECT_EQ(w.edUser->text(), "KADE");
  EXPECT_EQ(w.edLoader->text(), "IMP80");  // the shown default
  w.edComment->setText("C:\\notes");
  w.cbEditPLFont->setEditText("Ms Sans Serif");
  w.edPLFont->setText("Courier New");
  w.edLoader->clear();
  w.edVerType->setText("TABLE,VIEW");
  w.edTop->setText("150");
  w.cbUnicode->setChecked(true);
  w.btSaveToDisk->click();
  EXPECT_TRUE(closed());
  EXPECT_EQ(messages.texts(), QStringList());

  EXPECT_EQ(m.currCommentsFile, "C:\\notes\\");
  EXPECT_EQ(m.currEditPLFont, "Courier New");  // the Edit PL/SQL group wins
  const std::pair<const char*, QString> written[] = {
      {"CURR_COMMENT_DIR", "C:\\notes\\"}, {"CURR_EDITPL_FONT", "Courier New"}, {"CURR_LOADER", ""},
      {"VER_TYPE", "TABLE,VIEW"},         {"CURR_MIN_TOP", "150"},             {"CURR_UNICODE", "Y"},
      {"CURR_PASSWORD", "xxxxx"},         {"CURR_PASSWORDUTIL", "xxxxx"},      {"CURR_USER", "KADE"}};
  for (const auto& [key, value] : written) EXPECT_EQ(iniValue(key), value) << key;
  EXPECT_EQ(iniValue("CURR_SHRANI", "MONITOR"), "N");

  TMainContext next;
  readMonitorIni(next, nuvo::IniFile(homePath("MONITOR.INI")), ScreenGeometry{}, "/program/");
  EXPECT_EQ(next.currLoader, "");
  EXPECT_EQ(next.currVerType, "TABLE,VIEW");
  EXPECT_EQ(next.currMinTop, 150);
  EXPECT_TRUE(next.currUnicode);
}

TEST_F(SetupWindow, EachEditShowsItsSettingAndChangeCopiesItBack) {
  struct Case {
    const char* edit;
    QString TMainContext::*field;
  };
  const Case cases[] = {
      {"edUser", &TMainContext::connUser},
      {"edPassword", &TMainContext::connPassword},
      {"edPasswordUtil", &TMainContext::connPasswordUtil},
      {"edServer", &TMainContext::connServer},
      {"edVelmoraUser", &TMainContext::CurrentUserIpl},
      {"edLanguage", &TMainContext::currLanguage},
      {"edLastnik", &TMainContext::currOwnerFile},
      {"edMDQDir", &TMainContext::CurrentMDQInitDir},
      {"edMDQFile", &TMainContext::CurrentMDQLast},
      {"edPartDir", &TMainContext::CurrentPartInitDir},
      {"edPartFile", &TMainContext::CurrentPartFile},
      {"edPLDir", &TMainContext::TmpCurrentEditInitDir},
      {"edPLFont", &TMainContext::currEditPLFont},
      {"edVerUser", &TMainContext::currVerOwner},
      {"edVerType", &TMainContext::currVerType},
      {"edVerFile", &TMainContext::currVerFile},
      {"edPrProject", &TMainContext::CurrentActiveProject},
      {"edPrType", &TMainContext::CurrentActiveType},
      {"edScriptDir", &TMainContext::currentScriptDir},
      {"edScriptFile", &TMainContext::currentScript},
      {"edMacroFile", &TMainContext::currMacroFile},
      {"edRefreshDir", &TMainContext::currentRefreshDir},
      {"edCompareDir", &TMainContext::CurrentCheckInitDir},
      {"edShowLog", &TMainContext::currShowLogType},
      {"edLoader", &TMainContext::currLoader},
      {"edLargeRB", &TMainContext::currLargeRBName},
      {"edVelmoraDir", &TMainContext::currVELMORADir},
      {"edCubeCompany", &TMainContext::currCubeCompany},
      {"edComment", &TMainContext::currCommentsFile},
      {"edDesc", &TMainContext::currDescriptor},
      {"edDateFormat", &TMainContext::currentDateFormat},
  };
  // Values that every check accepts, each of its own.
  const auto shown = [](const Case& c) {
    const QString name = QString::fromLatin1(c.edit);
    if (name == u"edDesc") return QStringLiteral(";");
    if (name == u"edDateFormat") return QStringLiteral("DD.MM.YYYY");
    return "shown " + name + "\\";
  };
  const auto typed = [](const Case& c) {
    const QString name = QString::fromLatin1(c.edit);
    if (name == u"edDesc") return QStringLiteral("#9");
    if (name == u"edDateFormat") return QStringLiteral("YYYY-MM-DD");
    return "typed " + name + "\\";
  };
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main();
  for (const Case& c : cases) m.*c.field = shown(c);
  TFmSetup& w = open();
  for (const Case& c : cases) {
    auto* edit = w.findChild<QLineEdit*>(c.edit);
    ASSERT_TRUE(edit) << c.edit;
    EXPECT_EQ(edit->text(), shown(c)) << c.edit;
    edit->setText(typed(c));
  }
  w.cbForceOCI->setEditText("Yes");
  w.cbCharSet->setEditText("OEM");
  w.cbSavePassword->setChecked(true);
  w.cbUnicode->setChecked(true);
  w.btChangeParam->click();
  EXPECT_TRUE(closed());
  EXPECT_EQ(messages.texts(), QStringList());
  for (const Case& c : cases) EXPECT_EQ(m.*c.field, typed(c)) << c.edit;
  EXPECT_EQ(m.currOwner, typed({"edLastnik", &TMainContext::currOwner}));  // the owner goes to both fields
  EXPECT_EQ(m.currForceOCI, "Yes");
  EXPECT_EQ(m.currCharset, "OEM");
  EXPECT_EQ(m.currShrani, "ECM1");
  EXPECT_TRUE(m.currUnicode);
}

TEST_F(SetupWindow, SaveKeepsTheRestOfAnExistingSettingsFileInPlace) {
  nuvo::test::ScriptedMessages messages;
  writeHomeFile("MONITOR.INI",
                "; settings of this machine\r\n"
                "[MONITOR]\r\nCURR_SHRANI=N\r\n"
                "[PL/SQL]\r\nCURR_USER=kade\r\nCURR_LOADER=imp80\r\nMY_OWN_KEY=kept\r\n"
                "[BAZA_DEMO]\r\nKADE=stored\r\n"
                "[SELECTED]\r\nT1=A,B\r\n");
  main(nullptr);
  TFmSetup& w = open();
  w.edLoader->setText("imp -full");
  w.mmSave->trigger();  // File > Save saves as the button does
  EXPECT_TRUE(closed());

  QStringList expected = {"; settings of this machine", "[MONITOR]", "CURR_SHRANI", "[PL/SQL]", "CURR_USER",
                          "CURR_LOADER", "MY_OWN_KEY"};
  for (const IniEntry& entry : settingsEntries(TMainContext{}, {}))  // new keys follow in write order
    if (entry.section == u"PL/SQL" && entry.key != u"CURR_USER" && entry.key != u"CURR_LOADER")
      expected << entry.key;
  expected << "[BAZA_DEMO]" << "KADE" << "[SELECTED]" << "T1" << "[ALIAS]" << "CURR_VELMORA_DIR";
  QStringList seen;
  for (const QString& line : QString::fromUtf8(fileBytes("MONITOR.INI")).split("\r\n", Qt::SkipEmptyParts))
    seen << line.section(u'=', 0, 0);
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(iniValue("MY_OWN_KEY"), "kept");
  EXPECT_EQ(iniValue("CURR_LOADER"), "imp -full");
  EXPECT_EQ(iniValue("KADE", "BAZA_DEMO"), "stored");
  EXPECT_EQ(iniValue("T1", "SELECTED"), "A,B");
}

TEST_F(SetupWindow, TheWindowOpensCentredOnTheScreenNotOverTheMainWindow) {
  TfmMain& m = main();
  m.setGeometry(10, 400, 300, 100);  // the main window off the centre, as its toolbar strip may be
  TFmSetup& w = open();
  w.show();
  const QRect screen = w.screen()->availableGeometry();
  const QRect frame = w.frameGeometry();
  const int frameMargins = 10;  // the window's size was known before its frame
  if (frame.width() <= screen.width()) {
    EXPECT_NEAR(frame.center().x(), screen.center().x(), frameMargins);
  } else {
    EXPECT_EQ(frame.left(), screen.left());  // a window wider than the screen keeps its left edge on it
  }
  if (frame.height() <= screen.height()) {
    EXPECT_NEAR(frame.center().y(), screen.center().y(), frameMargins);
  } else {
    EXPECT_EQ(frame.top(), screen.top());  // a window taller than the screen keeps its top on it
  }
  w.close();
}

TEST_F(SetupWindow, ExitAppliesNothingButTheSmallScreenSwitchActsAtOnce) {
  const std::pair<const char*, std::function<void(TFmSetup&)>> exits[] = {
      {"btExit", [](TFmSetup& w) { w.btExit->click(); }},
      {"Button2", [](TFmSetup& w) { w.Button2->click(); }},
      {"mmExit", [](TFmSetup& w) { w.mmExit->trigger(); }},
  };
  for (const auto& [label, exit] : exits) {
    nuvo::test::ScriptedMessages messages;
    TfmMain& m = main();
    ASSERT_EQ(m.currMinimizedMain, "N");
    TFmSetup& w = open();
    w.edUser->setText("ZOZURO");
    w.cbSmall->click();
    EXPECT_EQ(m.currMinimizedMain, "D") << label;
    exit(w);
    EXPECT_TRUE(closed()) << label;
    EXPECT_EQ(m.connUser, "KADE") << label;
    EXPECT_EQ(m.currMinimizedMain, "D") << label;
    EXPECT_EQ(iniValue("CURR_USER"), "<missing>") << label;
  }
}

TEST_F(SetupWindow, TheLastVersionIsRecordedOnlyWhenTyped) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main();
  const QString stored = "#" + m.connServer.toUpper() + "/KADE/UPG_1.SQL#";
  m.currLastVer = stored;
  TFmSetup& w = open();
  EXPECT_EQ(w.edLastVer->text(), "UPG_1.SQL");
  w.edServer->setText("OTHER");  // the version shown belongs to the server the window opened with
  w.btChangeParam->click();
  EXPECT_TRUE(closed());
  EXPECT_EQ(m.currLastVer, stored);

  TFmSetup& again = open();
  EXPECT_EQ(again.edLastVer->text(), "");
  again.edLastVer->setText("UPG_2.SQL");
  again.btChangeParam->click();
  EXPECT_TRUE(m.currLastVer.endsWith("#OTHER/KADE/UPG_2.SQL#")) << m.currLastVer.toStdString();
  EXPECT_EQ(iniValue("VER_LAST"), m.currLastVer);
}

TEST_F(SetupWindow, ASettingsFileThatCannotBeWrittenIsReportedAndTheWindowStaysOpen) {
  struct Case {
    const char* button;
  };
  const Case cases[] = {{"btChangeParam"}, {"btSaveToDisk"}};
  for (const Case& c : cases) {
    nuvo::test::ScriptedMessages messages;
    main();
    QFile::remove(homePath("MONITOR.INI"));
    TFmSetup& w = open();
    ASSERT_TRUE(QDir().mkpath(homePath("MONITOR.INI")));  // the file cannot be replaced now
    w.edLastVer->setText("UPG_9.SQL");                    // recorded in MONITOR.INI at once
    EXPECT_NO_THROW(w.findChild<QPushButton*>(c.button)->click()) << c.button;
    EXPECT_FALSE(closed()) << c.button;
    ASSERT_EQ(messages.texts().size(), 1) << c.button;
    EXPECT_TRUE(messages.texts().first().contains("MONITOR.INI")) << messages.texts().first().toStdString();
    w.close();
    ASSERT_TRUE(QDir(homePath("MONITOR.INI")).removeRecursively());
  }
}

TEST_F(SetupWindow, StoredPasswordsAreNeverErased) {
  struct Case {
    const char* label;
    const char* user;
    bool store;
    const char* password;
    const char* utilityPassword;
    const char* stored;  // what the store holds for the user afterwards (it keeps upper case)
  };
  const Case cases[] = {
      {"stored when asked", "KADE", true, "secret", "", "SECRET"},
      {"not asked", "KADE", false, "secret", "", "OLD"},
      {"empty password", "KADE", true, "", "other", "OLD"},
      {"utility user stores the utility password", "NUVO_UTIL", true, "main", "utility", "UTILITY"},
      {"utility user without utility password", "NUVO_UTIL", true, "main", "", "OLD"},
  };
  nuvo::test::ScriptedMessages messages;
  main();
  for (const Case& c : cases) {
    TKript::shraniGeslo("DEMO", c.user, "old", c.user);
    TFmSetup& w = open();
    w.edUser->setText(c.user);
    w.edServer->setText("DEMO");
    w.edPassword->setText(c.password);
    w.edPasswordUtil->setText(c.utilityPassword);
    w.cbSavePassword->setChecked(c.store);
    w.btSaveToDisk->click();
    EXPECT_TRUE(closed()) << c.label;
    EXPECT_EQ(TKript::vzemiGeslo("DEMO", c.user), c.stored) << c.label;
    EXPECT_EQ(iniValue("CURR_SHRANI", "MONITOR"), c.store ? "ECM1" : "N") << c.label;
  }
}

TEST_F(SetupWindow, TheSeparatorMustBeANumberAfterTheHash) {
  struct Case {
    const char* typed;
    bool accepted;
  };
  const Case cases[] = {{"#9", true}, {"#x", false}, {"#", false}, {",", true}, {"#59", true}, {"#9a", false}};
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main(nullptr);
  m.currDescriptor = ";";
  TFmSetup& w = open();
  for (const Case& c : cases) {
    const qsizetype shown = messages.texts().size();
    w.edDesc->setText(c.typed);
    w.edDescExit();
    EXPECT_EQ(w.edDesc->text(), c.accepted ? c.typed : ";") << c.typed;
    EXPECT_EQ(messages.texts().size() - shown, c.accepted ? 0 : 1) << c.typed;
    if (!c.accepted) {
      EXPECT_EQ(messages.texts().last(), "After # there must be a valid number");
    }
  }
}

TEST_F(SetupWindow, TopAndLeftShowWhereTheToolbarStripStands) {
  struct Case {
    const char* label;
    bool reduced;
    const char* top;
    const char* left;
  };
  const Case cases[] = {{"full size: the stored place", false, "200", "300"},
                        {"reduced: where it stands now", true, "250", "40"}};
  for (const Case& c : cases) {
    TfmMain& m = main(nullptr);
    m.currMinTop = 200;
    m.currMinLeft = 300;
    if (c.reduced) {
      m.SetToolbarStrip(true);
      m.move(40, 250);
    }
    TFmSetup& w = open();
    EXPECT_EQ(w.edTop->text(), c.top) << c.label;
    EXPECT_EQ(w.edLeft->text(), c.left) << c.label;
    w.close();
  }
}

TEST_F(SetupWindow, APositionThatIsNoWholeNumberKeepsTheOldValue) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main();
  m.currMinTop = 200;
  TFmSetup& w = open();
  ASSERT_EQ(w.edTop->text(), "200");  // the main window shows its full size
  w.edTop->setText("2O0");
  w.edLeft->setText("45");
  w.btSaveToDisk->click();
  EXPECT_EQ(messages.texts(), QStringList({w.notWholeNumberText}));
  EXPECT_EQ(iniValue("CURR_MIN_TOP"), "200");
  EXPECT_EQ(iniValue("CURR_MIN_LEFT"), "45");
}

TEST_F(SetupWindow, ARejectedDateFormatKeepsTheWindowAndTheOldFormat) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main();
  const QString before = m.currentDateFormat;
  TFmSetup& w = open();
  w.edDateFormat->setText("NOT A FORMAT");
  w.btChangeParam->click();
  EXPECT_FALSE(closed());
  EXPECT_EQ(messages.texts(), QStringList({"Wrong DATE FORMAT"}));
  EXPECT_EQ(m.currentDateFormat, before);

  w.btSaveToDisk->click();  // the save writes the format still in force, and closes
  EXPECT_TRUE(closed());
  EXPECT_EQ(iniValue("CURR_DATE_FORMAT"), before);

  TFmSetup& again = open();
  again.edDateFormat->setText("YYYY-MM-DD");
  again.btChangeParam->click();
  EXPECT_TRUE(closed());
  EXPECT_EQ(m.currentDateFormat, "YYYY-MM-DD");
  nuvo::db::Query query(&m.osOracle);
  query.setSql("select to_char(to_date('2024-03-05'), 'DD.MM.YYYY') from dual");
  query.execute();
  EXPECT_EQ(query.field(0).asString(), "05.03.2024");  // the session reads dates in the new format
}

TEST_F(SetupWindow, TheToolbarVariantSavesAndClosesByItself) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main();
  m.currLoader = "imp80 -x";
  bool rescued = false;
  QTimer rescue;
  rescue.setSingleShot(true);
  QObject::connect(&rescue, &QTimer::timeout, [&rescued] {
    rescued = true;
    if (TFmSetup::instance) TFmSetup::instance->close();
  });
  rescue.start(10000);
  openSetupWindow(&m, true);
  EXPECT_FALSE(rescued);
  EXPECT_EQ(iniValue("CURR_LOADER"), "imp80 -x");
  EXPECT_EQ(iniValue("CURR_PASSWORD"), "xxxxx");
  EXPECT_EQ(messages.texts(), QStringList());
}

class SysParam : public SetupWindow {
 protected:
  // The parameter row as another session sees it: committed data only.
  QStringList committedRow(const QString& name) {
    nuvo::db::Session other;
    other.logOn("KADE", "KADE", "DEMO");
    nuvo::db::Query query(&other);
    query.setSql("select sysvred, sysopis from nuvo_util.velmorasys where syssprem = :n");
    query.declareVariable("n", nuvo::db::DataType::String);
    query.setVariable("n", name);
    query.execute();
    return query.eof() ? QStringList() : QStringList{query.field(0).asString(), query.field(1).asString()};
  }
};

TEST_F(SysParam, InsertsOrUpdatesAndCommits) {
  struct Case {
    const char* name;
    const char* value;
    const char* description;
  };
  const Case cases[] = {
      {"NewParam", "1", "a new row"},
      {"DemoDatabase", "N", "updated"},
      {"Quoted", "it's 'quoted'", "o'clock"},
      {"Quoted", "again", ""},
  };
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main("nuvo_util");
  TFmSetup& w = open();
  for (const Case& c : cases) {
    EXPECT_EQ(w.WriteSysParam(c.name, c.value, c.description), TFmSetup::SysParamWrite::Written) << c.name;
    EXPECT_FALSE(m.osOracle.inTransaction()) << c.name;
    const QStringList expected = {c.value, c.description};
    EXPECT_EQ(committedRow(c.name), expected) << c.name;
  }
  EXPECT_EQ(messages.texts(), QStringList());
}

TEST_F(SysParam, InsideAnOpenTransactionTheChangeWaitsForItsCommit) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main("nuvo_util");
  nuvo::db::Query pending(&m.osOracle);
  pending.setSql("delete from nuvo_util.velmorasys where syssprem = 'DemoDatabase'");
  pending.execute();
  ASSERT_TRUE(m.osOracle.inTransaction());
  TFmSetup& w = open();
  EXPECT_EQ(w.WriteSysParam("Pending", "1", ""), TFmSetup::SysParamWrite::Written);
  EXPECT_EQ(messages.texts(), QStringList({w.pendingText}));
  EXPECT_TRUE(m.osOracle.inTransaction());
  EXPECT_EQ(committedRow("Pending"), QStringList());
  m.osOracle.rollback();
  EXPECT_EQ(committedRow("Pending"), QStringList());
  EXPECT_EQ(committedRow("DemoDatabase").size(), 2);
}

TEST_F(SysParam, AMissingTableIsReportedAndTheWindowCloses) {
  nuvo::test::ScriptedMessages messages;
  sys({"DROP TABLE nuvo_util.velmorasys"});
  TfmMain& m = main("nuvo_util");
  TFmSetup& w = open();
  EXPECT_EQ(w.WriteSysParam("OracleVersion", "19", ""), TFmSetup::SysParamWrite::NoTable);
  EXPECT_EQ(messages.texts(), QStringList({"Parameter table NUVO_UTIL.VELMORASYS doesn't exists"}));
  EXPECT_FALSE(m.osOracle.inTransaction());

  w.mmSpecial->trigger();
  EXPECT_EQ(w.edSysVersion->text(), "");
  w.edSysVersion->setText("19");
  w.sysSysSave->click();  // nothing to retry without the table: the window closes after the message
  EXPECT_TRUE(closed());
  EXPECT_EQ(messages.texts().size(), 2);
  EXPECT_FALSE(m.osOracle.inTransaction());
}

TEST_F(SysParam, AFailedWriteLeavesTheWindowOpenAndNoTransaction) {
  nuvo::test::ScriptedMessages messages;
  TfmMain& m = main("nuvo_util");
  TFmSetup& w = open();
  w.mmSpecialClick();
  w.edSysVersion->setText(QString(101, u'9'));  // longer than the column
  w.sysSysSave->click();
  EXPECT_FALSE(closed());
  ASSERT_EQ(messages.texts().size(), 1);
  EXPECT_TRUE(messages.texts().first().startsWith("ORA-")) << messages.texts().first().toStdString();
  EXPECT_FALSE(m.osOracle.inTransaction());
}

// Every user of the tool keeps the parameters, not only their owner.
TEST_F(SysParam, TheSpecialPageShowsAndSavesTheOracleVersion) {
  for (const char* user : {"nuvo_util", "kade", "zozuro", "ana"}) {
    SCOPED_TRACE(user);
    nuvo::test::ScriptedMessages messages;
    sys({"DELETE FROM nuvo_util.velmorasys WHERE syssprem = 'OracleVersion'",
         "INSERT INTO nuvo_util.velmorasys VALUES ('OracleVersion', '12', 'set')", "COMMIT"});
    TfmMain& m = main(user);
    TFmSetup& w = open();
    w.mmSpecial->trigger();
    EXPECT_EQ(w.pcSetup->currentWidget(), w.tabNuvoSys);
    EXPECT_EQ(w.edSysVersion->text(), "12");
    w.edSysVersion->setText("19");
    w.sysSysSave->click();
    EXPECT_TRUE(closed());
    QString value, description;
    m.BeriParameter("OracleVersion", value, description);
    EXPECT_EQ(value, "19");
    EXPECT_EQ(description, "");
    EXPECT_EQ(committedRow("OracleVersion"), QStringList({"19", ""}));
    EXPECT_EQ(messages.texts(), QStringList());
  }
}

// The macro file editor.

QString sampleMacroFile() {
  return "#a\r\nselect * from dual\r\n#b\r\nbegin\r\n  null;\r\nend;\r\n"
         "/First\r\ntext one\r\n/Second\r\nline 1\r\nline 2\r\n/Third\r\n\r\n";
}

QStringList gridColumn(const QTableWidget* grid, int column) {
  QStringList texts;
  for (int row = 0; row < grid->rowCount(); ++row) texts << (grid->item(row, column) ? grid->item(row, column)->text() : "");
  return texts;
}

TEST_F(SetupWindow, MacroFileReadViewAndSaveLeavesTheFileUnchanged) {
  nuvo::test::ScriptedMessages messages;
  writeBytes("NUVO_SQL.MCR", sampleMacroFile().toUtf8());
  main(nullptr);
  TFmSetup& w = open();
  EXPECT_EQ(w.edShortFile->text(), "NUVO_SQL.MCR");
  activate(&w);
  EXPECT_EQ(gridColumn(w.sgMacro, 0), QStringList({"a", "b"}));
  EXPECT_EQ(gridColumn(w.sgMacro, 1), QStringList({"select * from dual", "begin\n  null;\nend;"}));
  EXPECT_EQ(gridColumn(w.sgMC, 0), QStringList({"First", "Second", "Third"}));
  w.mmMacrosPopUp->trigger();
  EXPECT_EQ(w.laStat->text(), "Macro");
  const QString texts[] = {"text one", "line 1\nline 2", ""};
  for (int row : {2, 1, 0, 1}) {
    w.sgMC->setCurrentCell(row, 0);
    EXPECT_EQ(w.meMacro->toPlainText(), texts[row]) << row;
  }
  w.spSave->click();
  EXPECT_EQ(messages.texts(), QStringList({"ShortCuts/Macros successfuly saved"}));
  EXPECT_EQ(fileBytes("NUVO_SQL.MCR"), sampleMacroFile().toUtf8());
}

TEST_F(SetupWindow, AWindows1250MacroFileIsWrittenBackInItsEncoding) {
  nuvo::test::ScriptedMessages messages;
  // "#s", "select 'ŠČŽ' from dual", "/Izračun", "vsota" in Windows-1250
  const QByteArray windows1250("#s\r\nselect '\x8a\xc8\x8e' from dual\r\n/Izra\xe8un\r\nvsota\r\n");
  writeBytes("NUVO_SQL.MCR", windows1250);
  main(nullptr);
  TFmSetup& w = open();
  activate(&w);
  EXPECT_EQ(gridColumn(w.sgMacro, 1), QStringList({QString::fromUtf8("select 'ŠČŽ' from dual")}));
  EXPECT_EQ(gridColumn(w.sgMC, 0), QStringList({QString::fromUtf8("Izračun")}));
  w.spSave->click();
  EXPECT_EQ(fileBytes("NUVO_SQL.MCR"), windows1250);

  w.mmMacrosPopUp->trigger();
  w.meMacro->setPlainText(QString::fromUtf8("vsota ž"));  // a character the code page has
  w.spSave->click();
  EXPECT_TRUE(fileBytes("NUVO_SQL.MCR").endsWith("/Izra\xe8un\r\nvsota \x9e\r\n"));
  w.meMacro->setPlainText(QString::fromUtf8("Ж"));  // one it has not: refused, the file stays
  w.spSave->click();
  EXPECT_EQ(messages.texts().last(), "Error on Writing to file NUVO_SQL.MCR !");
  EXPECT_TRUE(fileBytes("NUVO_SQL.MCR").endsWith("vsota \x9e\r\n"));
}

TEST_F(SetupWindow, EditsSurviveLaterActivationsAndRowsMoveWithTheirTexts) {
  nuvo::test::ScriptedMessages messages;
  writeBytes("NUVO_SQL.MCR", sampleMacroFile().toUtf8());
  main(nullptr);
  TFmSetup& w = open();
  activate(&w);
  w.mmMacrosPopUp->trigger();
  w.sgMC->setCurrentCell(0, 0);
  w.meMacro->setPlainText("edited\nfirst");
  activate(&w);  // as after any message box: the file is not read again
  EXPECT_EQ(w.macros().rows(nuvo::shell::MacroKind::Popup).first().text, "edited\r\nfirst");

  w.sgMC->verticalHeader()->moveSection(0, 2);  // drag the first row to the end
  EXPECT_EQ(gridColumn(w.sgMC, 0), QStringList({"Second", "Third", "First"}));
  EXPECT_EQ(w.sgMC->currentRow(), 2);
  EXPECT_EQ(w.meMacro->toPlainText(), "edited\nfirst");
  w.sgMC->setCurrentCell(0, 0);
  EXPECT_EQ(w.meMacro->toPlainText(), "line 1\nline 2");

  w.spNew->click();
  EXPECT_EQ(w.sgMC->rowCount(), 4);
  EXPECT_EQ(w.sgMC->currentRow(), 3);
  EXPECT_EQ(w.meMacro->toPlainText(), "");
  w.sgMC->item(3, 0)->setText("Fourth");
  w.meMacro->setPlainText("new text");
  w.sgMacro->item(1, 0)->setText("c");
  w.spSave->click();
  EXPECT_EQ(QString::fromUtf8(fileBytes("NUVO_SQL.MCR")),
            "#a\r\nselect * from dual\r\n#c\r\nbegin\r\n  null;\r\nend;\r\n/Second\r\nline 1\r\nline 2\r\n"
            "/Third\r\n\r\n/First\r\nedited\r\nfirst\r\n/Fourth\r\nnew text\r\n");

  w.btRead->click();  // Read does take the file again
  EXPECT_EQ(gridColumn(w.sgMC, 0), QStringList({"Second", "Third", "First", "Fourth"}));
}

TEST_F(SetupWindow, ThePopupListHoldsTwentyFiveMacros) {
  nuvo::test::ScriptedMessages messages;
  QString text = "#k\r\nvalue\r\n";
  for (int i = 1; i <= 27; ++i) text += QStringLiteral("/Macro %1\r\nbody %1\r\n").arg(i);
  writeBytes("NUVO_SQL.MCR", text.toUtf8());
  main(nullptr);
  TFmSetup& w = open();
  activate(&w);
  EXPECT_EQ(messages.texts(), QStringList({w.macrosCutText.arg(2)}));
  EXPECT_EQ(w.sgMC->rowCount(), 25);
  w.mmMacrosPopUp->trigger();
  w.spNew->click();
  EXPECT_EQ(w.sgMC->rowCount(), 25);
  EXPECT_EQ(messages.texts().last(), w.macrosFullText);
}

TEST_F(SetupWindow, DeletingTheOnlyRowDoesNothing) {
  nuvo::test::ScriptedMessages messages;
  writeBytes("NUVO_SQL.MCR", QByteArray("/One\r\nbody\r\n/Two\r\nbody 2\r\n"));
  main(nullptr);
  TFmSetup& w = open();
  activate(&w);
  w.mmShortCuts->trigger();
  EXPECT_EQ(w.laStat->text(), "Shortcuts");
  ASSERT_EQ(w.sgMacro->rowCount(), 1);
  w.sgMacro->setCurrentCell(0, 0);
  w.spDelete->click();
  EXPECT_EQ(w.sgMacro->rowCount(), 1);
  w.mmMacrosPopUp->trigger();
  w.sgMC->setCurrentCell(0, 0);
  w.spDelete->click();
  EXPECT_EQ(gridColumn(w.sgMC, 0), QStringList({"Two"}));
  EXPECT_EQ(w.meMacro->toPlainText(), "body 2");
  w.spDelete->click();
  EXPECT_EQ(gridColumn(w.sgMC, 0), QStringList({"Two"}));
  w.spSave->click();  // the empty shortcut grid saves as a header with an empty key
  EXPECT_EQ(fileBytes("NUVO_SQL.MCR"), QByteArray("#\r\n\r\n/Two\r\nbody 2\r\n"));
}

TEST_F(SetupWindow, AMacroTextTheFileWouldSplitIsNotSaved) {
  nuvo::test::ScriptedMessages messages;
  writeBytes("NUVO_SQL.MCR", sampleMacroFile().toUtf8());
  main(nullptr);
  TFmSetup& w = open();
  activate(&w);
  w.mmMacrosPopUp->trigger();
  w.sgMC->setCurrentCell(1, 0);
  w.meMacro->setPlainText("select 1\n/* the total */\nfrom dual");  // read back, the comment would start a macro
  w.mmShortCuts->trigger();
  w.spSave->click();
  EXPECT_EQ(messages.texts(), QStringList({w.headerLineText.arg("Second")}));
  EXPECT_EQ(fileBytes("NUVO_SQL.MCR"), sampleMacroFile().toUtf8());
  EXPECT_EQ(w.pcSM->currentWidget(), w.Tab1Macro);  // the macro is shown for mending
  EXPECT_EQ(w.sgMC->currentRow(), 1);

  w.meMacro->setPlainText("select 1\n  /* the total */\nfrom dual");
  w.spSave->click();
  EXPECT_EQ(messages.texts().last(), "ShortCuts/Macros successfuly saved");
  EXPECT_TRUE(QString::fromUtf8(fileBytes("NUVO_SQL.MCR")).contains("/Second\r\nselect 1\r\n  /* the total */\r\n"));
}

TEST_F(SetupWindow, AFailedMacroWriteIsReported) {
  nuvo::test::ScriptedMessages messages;
  main(nullptr);
  TFmSetup& w = open();
  w.edShortFile->setText(homePath("missing_dir/NUVO.MCR"));
  w.spSave->click();
  EXPECT_EQ(messages.texts(), QStringList({"Error on Writing to file " + homePath("missing_dir/NUVO.MCR") + " !"}));
}

TEST_F(SetupWindow, TextsInBothLanguages) {
  struct Case {
    const char* name;
    const char* english;
    const char* slovene;
  };
  const Case captions[] = {
      {"btChangeParam", "Change", "S&premeni"},
      {"btSaveToDisk", "&Save ", "&Shrani"},
      {"mmSpecial", "Special", "&Specialne nastavitve"},
      {"mmShortcutsMacros", "Shortcuts/Macros", "&Okrajšave/makroji"},
      {"laSysVersion", "Oracle Version:", "Verzija Oracla"},
      {"laCurrDir", "Current Dir:", "Tren.direktorij:"},
      {"laScrFile", "Current File:", "Tren.datoteka:"},
      {"GroupBox5", "Version Check", "Test verzije"},
      {"cbSmall", "Minimized Main Screen", "Minimiziran ekran"},
      {"laSysOpis", "All parameters are in table    NUVO_UTIL.Velmora.sys",
       "Vse nastavitve so v tabeli   NUVO_UTIL.VelmoraSys"},
      {"laChkUpor", "Oracle ", "Upor:"},
      {"laComment", "Comment FIle Dir:", "Dir.za komentarje:"},
      {"mmExit", "Exit", "&Izhod"},
  };
  struct MessageCase {
    const QString TFmSetup::*field;
    const char* name;
    const char* english;
    const char* slovene;
  };
  const MessageCase messageTexts[] = {
      {&TFmSetup::nizTrenDir, "nizTrenDir", "Current dir:", "Tren.direktorij:"},
      {&TFmSetup::nizTrenDat, "nizTrenDat", "Current file:", "Tren.datoteka:"},
      {&TFmSetup::nizShortcuts, "nizShortcuts", "Shortcuts", "Okrajšave"},
      {&TFmSetup::nizMacro, "nizMacro", "Macro", "Makroji"},
      {&TFmSetup::nizMcrOK, "nizMcrOK", "ShortCuts/Macros successfuly saved",
       "Okrajšave/Makroji uspešno shranjeni"},
      {&TFmSetup::nizMcrErr, "nizMcrErr", "Error on Writing to file ", "Napaka pri shranjevanje v datoteko:  "},
      {&TFmSetup::nizErrNiTabele, "nizErrNiTabele", "Parameter table NUVO_UTIL.VELMORASYS doesn't exists",
       "Tabela parametrov NUVO_UTIL.VELMORASYS ne obstaja!"},
      {&TFmSetup::nizTabNOK, "nizTabNOK", "After # there must be a valid number", "Po znaku # mora biti število"},
  };
  const auto captionOf = [](QObject* object) -> QString {
    if (auto* action = qobject_cast<QAction*>(object)) return action->text();
    if (auto* menu = qobject_cast<QMenu*>(object)) return menu->title();
    if (auto* box = qobject_cast<QGroupBox*>(object)) return box->title();
    if (auto* text = qobject_cast<QLabel*>(object)) return text->text();
    if (auto* button = qobject_cast<QAbstractButton*>(object)) return button->text();
    return "<no caption>";
  };
  for (const bool slovene : {false, true}) {
    if (slovene) writeHomeFile("MONITOR.INI", "[PL/SQL]\r\nCURR_LANGUAGE=SLO\r\n");
    main(nullptr);
    TFmSetup& w = open();
    for (const Case& c : captions)
      EXPECT_EQ(captionOf(w.findChild<QObject*>(c.name)), QString::fromUtf8(slovene ? c.slovene : c.english)) << c.name;
    for (const MessageCase& c : messageTexts)
      EXPECT_EQ(w.*c.field, QString::fromUtf8(slovene ? c.slovene : c.english)) << c.name;
    EXPECT_EQ(w.spNew->toolTip(), QString::fromUtf8(slovene ? "Nov makro" : "New Macro"));
    EXPECT_EQ(w.edDesc->toolTip(), slovene ? "Tabulator izberete z nizom #9 " : "You can type Tabulator as   #9");
  }
}

}  // namespace
