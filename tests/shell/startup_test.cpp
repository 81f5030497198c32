#include <QFile>
#include <QMap>
#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "shell/command_line.h"
#include "shell/iKript.h"
#include "shell/main_context.h"
#include "shell_test_support.h"

namespace {

TEST(ParseCommandLine, SplitsActionAndParameters) {
  struct Case {
    const char* line;
    const char* action;
    const char* p1;
    const char* p2;
    const char* p3;
  };
  const Case cases[] = {
      {"connect kade geslo demo", "CONNECT", "KADE", "GESLO", "DEMO"},
      {"SCRIPT \"my file.sql\" c:\\dir", "SCRIPT", "MY FILE.SQL", "C:\\DIR", ""},
      {"SCRIPT \"  padded \" x", "SCRIPT", "PADDED", "X", ""},
      {"EXIT", "EXIT", "", "", ""},
      {"", "", "", "", ""},
      {" CONNECT kade", "", "CONNECT", "KADE", ""},
      // Each blank after the action ends a parameter: two blanks leave p1 empty.
      {"SCRIPT  x.sql dir", "SCRIPT", "", "X.SQL", "DIR"},
      {"a b c d e", "A", "B", "C", "D"},
      {"LANGUAGE slo", "LANGUAGE", "SLO", "", ""},
      {"IMPORT \"unclosed quote", "IMPORT", "UNCLOSED QUOTE", "", ""},
      {"CONNECT kade 3 DEMO ", "CONNECT", "KADE", "3", "DEMO"},
  };
  for (const auto& c : cases) {
    QString action, p1, p2, p3;
    ParseCommandLine(c.line, action, p1, p2, p3);
    EXPECT_EQ(action, c.action) << c.line;
    EXPECT_EQ(p1, c.p1) << c.line;
    EXPECT_EQ(p2, c.p2) << c.line;
    EXPECT_EQ(p3, c.p3) << c.line;
  }
}

// Long parameters stay whole: a 300-character absolute path, quoted or not, and what follows it.
TEST(ParseCommandLine, KeepsLongParametersWhole) {
  QString path = "/home/user";
  while (path.size() < 290) path += "/directory_of_the_installation";
  path += "/ref.sfg";
  ASSERT_GE(path.size(), 300);
  const ParsedLine plain = ParseCommandLine("COMPARE " + path + " kade " + path + ".dfr");
  EXPECT_EQ(plain.action, "COMPARE");
  EXPECT_EQ(plain.p1, path.toUpper());
  EXPECT_EQ(plain.p2, "KADE");
  EXPECT_EQ(plain.p3, (path + ".dfr").toUpper());
  const ParsedLine quoted = ParseCommandLine("COMPARE \"" + path + " copy\" kade");
  EXPECT_EQ(quoted.p1, (path + " copy").toUpper());
  EXPECT_EQ(quoted.p2, "KADE");

  QString rest = "one " + QString(400, u'x');
  QString parameter;
  EXPECT_TRUE(vzemiEnParameter(rest, parameter));
  EXPECT_EQ(parameter, "ONE");
  EXPECT_EQ(rest, QString(400, u'x'));
  rest = "last";
  EXPECT_FALSE(vzemiEnParameter(rest, parameter));
  EXPECT_EQ(parameter, "LAST");
}

// A start-up with fake files, password store and saved logon data.
struct StartCase {
  QStringList parameters;
  QStringList expectedLines;
  QString user, password, passwordUtil, server;
  bool autoLogon = false;
  bool scriptAudit = false;
};

class StartParameters : public testing::Test {
 protected:
  void SetUp() override {
    context = TMainContext{};
    context.connUser = "INI_USER";
    context.connServer = "INI_DB";
    context.connPasswordUtil = "UTIL_PW";
    context.currLanguage = "ANG";
  }
  void start(const QStringList& parameters) {
    const StartupIo io{[this](const QString& path, QStringList& lines) {
                         if (!files.contains(path)) return false;
                         lines = files[path];
                         return true;
                       },
                       [this](const QString& instance, const QString& user) {
                         return stored.value(instance + u'/' + user);
                       },
                       [this](TMainContext& c) {
                         ++loginDataReads;
                         c.connUser = "saved";
                         c.connPassword = "savedPw";
                         c.connServer = "SAVEDDB";
                       }};
    applyStartParameters(context, parameters, io, "/opt/nuvo/");
  }

  TMainContext context;
  QMap<QString, QStringList> files;
  QMap<QString, QString> stored;
  int loginDataReads = 0;
};

TEST_F(StartParameters, FirstConnectOfASingleLineRun) {
  const QString code3 = TKript::builtInPassword("3");
  const QString code5 = TKript::builtInPassword("5");
  const StartCase cases[] = {
      {{}, {}, "INI_USER", "", "UTIL_PW", "INI_DB", false, false},
      {{"SCRIPT", "x.sql", "c:\\dir"}, {"SCRIPT x.sql c:\\dir "}, "INI_USER", "", "UTIL_PW", "INI_DB"},
      {{"kade", "3", "demo"}, {"CONNECT kade 3 demo "}, "KADE", code3, code3, "DEMO", true},
      // Any substring of the codes is a code; "45" selects no built-in password.
      {{"kade", "45", "demo"}, {"CONNECT kade 45 demo "}, "KADE", "", "UTIL_PW", "DEMO", true},
      {{"kade", "X", "demo"}, {"CONNECT kade X demo "}, "KADE", "", "UTIL_PW", "DEMO", true},
      {{"kade", "Y", "demo"}, {"CONNECT kade Y demo "}, "KADE", "UTIL_PW", "UTIL_PW", "DEMO", true},
      {{"kade", "6", "demo"}, {"kade 6 demo "}, "INI_USER", "", "UTIL_PW", "INI_DB"},
      {{"CONNECT", "kade", "geslo", "demo"}, {"CONNECT kade geslo demo"}, "KADE", "GESLO", "GESLO", "DEMO", true},
      {{"CONNECT", "kade", "A", "demo"}, {"CONNECT kade A demo"}, "KADE", "", "UTIL_PW", "DEMO", true, true},
      {{"CONNECT", "kade", "A5", "demo"}, {"CONNECT kade A5 demo"}, "KADE", code5, code5, "DEMO", true, true},
      {{"CONNECT", "kade", "ABC", "demo"}, {"CONNECT kade ABC demo"}, "KADE", "ABC", "ABC", "DEMO", true},
      // Without a password the database stays as configured.
      {{"CONNECT", "zozuro"}, {"CONNECT zozuro  "}, "ZOZURO", "", "UTIL_PW", "INI_DB", true},
  };
  for (const auto& c : cases) {
    SetUp();
    start(c.parameters);
    const QString label = c.parameters.join(u' ');
    EXPECT_EQ(context.declRunParam, !c.parameters.isEmpty()) << label.toStdString();
    EXPECT_EQ(context.runLines, c.expectedLines) << label.toStdString();
    EXPECT_EQ(context.connUser, c.user) << label.toStdString();
    EXPECT_EQ(context.connPassword, c.password) << label.toStdString();
    EXPECT_EQ(context.connPasswordUtil, c.passwordUtil) << label.toStdString();
    EXPECT_EQ(context.connServer, c.server) << label.toStdString();
    EXPECT_EQ(context.pAutoG, c.autoLogon) << label.toStdString();
    EXPECT_EQ(context.p_ScriptAudit, c.scriptAudit) << label.toStdString();
  }
}

TEST_F(StartParameters, AStoredPasswordWinsOverTheBuiltInOne) {
  stored["DEMO/KADE"] = "TAJNO";
  start({"kade", "1", "demo"});
  EXPECT_EQ(context.connPassword, "TAJNO");
  EXPECT_EQ(context.connPasswordUtil, "UTIL_PW");
  stored["DEMO/KADE"] = "   ";
  SetUp();
  start({"kade", "1", "demo"});
  EXPECT_EQ(context.connPassword, TKript::builtInPassword("1"));
}

TEST_F(StartParameters, ACommandFileTakesUserPasswordAndDatabaseFromTheCommandLine) {
  files["cmd.txt"] = QStringList{"LANGUAGE slo", "CONNECT", "CONNECT zozuro 1 OTHER", "SCRIPT x"};
  start({"@cmd.txt", "kade", "pw", "demo"});
  EXPECT_TRUE(context.declRunParam);
  EXPECT_EQ(context.runLines.size(), 4);
  EXPECT_EQ(context.connUser, "KADE");
  EXPECT_EQ(context.connPassword, "pw");
  EXPECT_EQ(context.connServer, "demo");
  EXPECT_EQ(context.currLanguage, "SLO");
  EXPECT_TRUE(context.pAutoG);
}

TEST_F(StartParameters, AMissingCommandFileLeavesTheListEmpty) {
  start({"@nothere.txt"});
  EXPECT_TRUE(context.declRunParam);
  EXPECT_TRUE(context.runLines.isEmpty());
  EXPECT_FALSE(context.pAutoG);
}

TEST_F(StartParameters, LoginDataWordsActOnTheFirstConnectOnlyFromEarlierLines) {
  struct Case {
    QStringList lines;
    bool haveToSave;
    int reads;
    bool clear;
  };
  const Case cases[] = {
      {{"SAVELOGINDATA", "CONNECT"}, true, 0, false},
      {{"CONNECT", "SAVELOGINDATA"}, false, 0, false},
      {{"USELOGINDATA", "CONNECT"}, false, 1, false},
      {{"CONNECT", "USELOGINDATA"}, false, 0, false},
      {{"SAVELOGINDATA", "CONNECT kade geslo demo"}, false, 0, false},
      {{"CONNECT", "CLEARLOGINDATA"}, false, 0, true},
  };
  for (const auto& c : cases) {
    SetUp();
    loginDataReads = 0;
    files["cmd.txt"] = c.lines;
    start({"@cmd.txt"});
    EXPECT_EQ(context.bHaveToSaveLoginData, c.haveToSave) << c.lines.join(u'|').toStdString();
    EXPECT_EQ(loginDataReads, c.reads) << c.lines.join(u'|').toStdString();
    EXPECT_EQ(context.bClearLoginData, c.clear) << c.lines.join(u'|').toStdString();
  }
  EXPECT_EQ(context.currCommentsFile, "/opt/nuvo/");
}

TEST_F(StartParameters, UseLoginDataSetsTheSavedConnection) {
  files["cmd.txt"] = QStringList{"USELOGINDATA", "CONNECT"};
  start({"@cmd.txt"});
  EXPECT_EQ(context.connUser, "saved");
  EXPECT_EQ(context.connPassword, "savedPw");
  EXPECT_EQ(context.connServer, "SAVEDDB");
}

TEST_F(StartParameters, AnMuCommandFileReadsTheInstallationsFile) {
  start({"@mu_list.txt"});
  EXPECT_FALSE(context.currMoreInstall);
  files["vecInstalacij"] = QStringList{"DEMO TRUE"};
  SetUp();
  start({"@MU_list.txt"});
  EXPECT_TRUE(context.currMoreInstall);
  EXPECT_EQ(context.vecInstalacijLines, QStringList{"DEMO TRUE"});
  SetUp();
  start({"@list.txt"});
  EXPECT_FALSE(context.currMoreInstall);
}

TEST(HostingCheck, TheFirstLineOfTheInstanceDecides) {
  const QStringList lines = {"PROD TRUE", "DEMO false", "DEMO TRUE", "TEST true here"};
  struct Case {
    const char* instance;
    bool hosts;
  };
  const Case cases[] = {{"PROD", true}, {"prod", true}, {"DEMO", false}, {"TEST", true},
                        {"OTHER", false}, {"", true}, {"PRO", true}};
  for (const auto& c : cases) EXPECT_EQ(hostsSeveralInstallations(lines, c.instance), c.hosts) << c.instance;
  EXPECT_FALSE(hostsSeveralInstallations({}, "DEMO"));
}

class MonitorIni : public nuvo::test::HomeDirFixture {
 protected:
  TMainContext read(const QString& text, ScreenGeometry screen = {1920, 1080, 900}) {
    writeHomeFile("MONITOR.INI", text);
    TMainContext context;
    readMonitorIni(context, nuvo::IniFile(homePath("MONITOR.INI")), screen, "/opt/nuvo/");
    return context;
  }
};

TEST_F(MonitorIni, AMissingFileGivesTheDefaults) {
  TMainContext c;
  readMonitorIni(c, nuvo::IniFile(homePath("MONITOR.INI")), {1920, 1080, 900}, "/opt/nuvo/");
  EXPECT_EQ(c.currentDateFormat, "DD.MM.YYYY");
  EXPECT_EQ(c.CurrStructureSelected, "D");
  EXPECT_EQ(c.currVerType, "PROCEDURE,FUNCTION,PACKAGE,PACKAGE BODY,TRIGGER");
  EXPECT_EQ(c.currForceOCI, "No");
  EXPECT_EQ(c.currLargeRBName, "LARGERB");
  EXPECT_EQ(c.currShrani, "N");
  EXPECT_EQ(c.currDescriptor, ",");
  EXPECT_EQ(c.currMacroFile, "NUVO_SQL.MCR");
  EXPECT_EQ(c.currEditPLFont, "Ms Sans Serif");
  EXPECT_EQ(c.currMinimizedMain, "N");
  EXPECT_EQ(c.currMinTop, 1080 - 110);
  EXPECT_EQ(c.currMinLeft, 1920 - 900 - 35);
  EXPECT_EQ(c.currShowLogType, "LONG");
  EXPECT_EQ(c.currLoader, "IMP80");
  EXPECT_EQ(c.currLanguage, "ANG");
  EXPECT_EQ(c.currVELMORADir, "/opt/nuvo/");
  EXPECT_FALSE(c.currUnicode);
  EXPECT_EQ(c.currCharset, "EASTEUROPE_CHARSET");
  EXPECT_EQ(c.connUser, "");
  EXPECT_EQ(c.currCommentsFile, "");
  EXPECT_EQ(c.currCubeCompany, "");
  EXPECT_FALSE(QFile::exists(homePath("MONITOR.INI")));
}

TEST_F(MonitorIni, DerivedValues) {
  const TMainContext c = read(
      "[PL/SQL]\r\nCURR_USER=kade\r\nCURR_SERVER=demo\r\nCURR_DIR=/work\r\nCURR_LARGERB=bigrb\r\n"
      "CURR_MIN_TOP=2000\r\nCURR_MIN_LEFT=40\r\nCURR_EDIT_WIDTH=abc\r\nCURR_UNICODE=Y\r\n"
      "CURR_OWNER=ZOZURO\r\nCURR_LANGUAGE=slo\r\n[ALIAS]\r\nCURR_VELMORA_DIR=/etc/velmora\r\n");
  EXPECT_EQ(c.connUser, "KADE");
  EXPECT_EQ(c.connServer, "demo");
  EXPECT_EQ(c.currVerOwner, "KADE");  // VER_OWNER defaults to the user just read
  EXPECT_EQ(c.CurrentEditInitDir, "/work");
  EXPECT_EQ(c.TmpCurrentEditInitDir, "/work");
  EXPECT_EQ(c.currLargeRBName, "BIGRB");
  EXPECT_EQ(c.currMinTop, 970);
  EXPECT_EQ(c.currMinLeft, 40);
  EXPECT_EQ(c.currEditWidth, 0);
  EXPECT_TRUE(c.currUnicode);
  EXPECT_EQ(c.currOwner, "ZOZURO");
  EXPECT_EQ(c.currOwnerFile, "ZOZURO");
  // The setting is used unchanged: only "SLO" gives Slovene.
  EXPECT_EQ(c.currLanguage, "slo");
  EXPECT_FALSE(c.slovene());
  // Used as a prefix as it stands: no separator is added.
  EXPECT_EQ(c.currVELMORADir, "/etc/velmora");
}

TEST_F(MonitorIni, StoredPasswordsAreReadOnlyWithEcm1) {
  for (const char* shrani : {"N", "ECM1"}) {
    writeHomeFile("MONITOR.INI", QStringLiteral("[PL/SQL]\r\nCURR_USER=kade\r\nCURR_SERVER=DEMO\r\n"
                                                "[MONITOR]\r\nCURR_SHRANI=%1\r\n").arg(shrani));
    TKript::shraniGeslo("DEMO", "KADE", "kadepw", "");
    TKript::shraniGeslo("DEMO", "NUVO_UTIL", "utilpw", "");
    TMainContext c;
    readMonitorIni(c, nuvo::IniFile(homePath("MONITOR.INI")), {}, "/opt/nuvo/");
    const bool ecm1 = QString(shrani) == u"ECM1";
    EXPECT_EQ(c.connPassword, ecm1 ? "KADEPW" : "") << shrani;
    EXPECT_EQ(c.connPasswordUtil, ecm1 ? "UTILPW" : "") << shrani;
  }
}

TEST(SharedTexts, FollowTheLanguage) {
  TMainContext c;
  c.currLanguage = "ANG";
  setSharedTexts(c);
  EXPECT_EQ(c.nizMain, "PL/SQL Editor");
  EXPECT_EQ(c.nizExit, "E&xit");
  EXPECT_EQ(c.nizMissingRights,
            "CHECK  SELECT ANY DICTIONARY(FROM 10G)  or  SELECT ANY TABLE(TILL 10G)  rights !");
  c.currLanguage = "SLO";
  setSharedTexts(c);
  EXPECT_EQ(c.nizMain, "PL/SQL urejevalnik");
  EXPECT_EQ(c.nizStart, QString::fromUtf8("Začni"));
  EXPECT_EQ(c.nizDone, "Narejeno.");
  EXPECT_EQ(c.nizRestricted, QString::fromUtf8("Obstajajo nezaželjene prijave! Prekinitev izvajanja skripte?"));
}

}  // namespace
