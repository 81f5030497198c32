#include "shell/main_context.h"

#include <QFile>

#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "shell/command_line.h"
#include "shell/iKript.h"

namespace {

const QString kPlSql = QStringLiteral("PL/SQL");

// A toolbar-strip coordinate: 0, or one beyond the limit, becomes the limit.
int clampToLimit(int value, int limit) { return value == 0 || value > limit ? limit : value; }

}  // namespace

void readMonitorIni(TMainContext& c, const nuvo::IniFile& ini, const ScreenGeometry& screen,
                    const QString& programDir) {
  const auto plsql = [&](const char* key, const QString& def = {}) {
    return ini.readString(kPlSql, QString::fromLatin1(key), def);
  };
  const auto number = [&](const char* key) { return ini.readInteger(kPlSql, QString::fromLatin1(key), 0); };

  c.CurrentEditInitDir = c.TmpCurrentEditInitDir = plsql("CURR_DIR");
  c.currentDateFormat = plsql("CURR_DATE_FORMAT", "DD.MM.YYYY");
  c.CurrentPartFile = plsql("CURR_PART_FILE");
  c.CurrentPartInitDir = plsql("CURR_PART_DIR");
  c.CurrentMDQInitDir = plsql("CURR_MDQ_DIR");
  c.CurrentMDQLast = plsql("CURR_MDQ_LAST");
  c.CurrentCheckInitDir = plsql("CURR_CHECK_DIR");
  c.CurrentActiveProject = plsql("CURR_PROJECT");
  c.CurrentActiveType = plsql("CURR_TYPE");
  c.currentScript = plsql("CURR_SCRIPT");
  c.currentScriptDir = plsql("CURR_SCRIPT_DIR");
  c.currentRefreshDir = plsql("CURR_REFRESH_DIR");
  c.CurrStructureSelected = plsql("CURR_STRU_SELECTED", "D");
  c.CurrentUserIpl = plsql("CURR_USERIPL");
  c.connUser = plsql("CURR_USER").toUpper();
  c.connServer = plsql("CURR_SERVER");
  c.currVerOwner = plsql("VER_OWNER", c.connUser);
  c.currLastVer = plsql("VER_LAST");
  c.currVerFile = plsql("VER_FILE");
  c.currVerType = plsql("VER_TYPE", "PROCEDURE,FUNCTION,PACKAGE,PACKAGE BODY,TRIGGER");
  c.currForceOCI = plsql("CURR_FORCE_OCI", "No");
  c.currLargeRBName = plsql("CURR_LARGERB", "LARGERB").toUpper();
  c.currShrani = ini.readString("MONITOR", "CURR_SHRANI", "N");
  c.currDescriptor = plsql("CURR_DESCRIPTOR", ",");
  c.currMacroFile = plsql("CURR_MACRO_FILE", "NUVO_SQL.MCR");
  c.currEditPLFont = plsql("CURR_EDITPL_FONT", "Ms Sans Serif");
  c.currMinimizedMain = plsql("CURR_MINIMIZED", "N");
  c.currMinTop = clampToLimit(number("CURR_MIN_TOP"), screen.height - 110);
  c.currCommentsFile = plsql("CURR_COMMENT_DIR");
  c.currShowLogType = plsql("CURR_SHOWLOGTYPE", "LONG");
  c.currOwner = c.currOwnerFile = plsql("CURR_OWNER");
  c.currLoader = plsql("CURR_LOADER", "IMP80");
  c.currLanguage = plsql("CURR_LANGUAGE", "ANG");
  c.currMinLeft = clampToLimit(number("CURR_MIN_LEFT"), screen.width - screen.formWidth - 35);
  c.currEditWidth = number("CURR_EDIT_WIDTH");
  c.currEditHeight = number("CURR_EDIT_HEIGHT");
  c.currVELMORADir = ini.readString("ALIAS", "CURR_VELMORA_DIR");
  if (c.currVELMORADir.isEmpty()) c.currVELMORADir = programDir;
  c.currUnicode = plsql("CURR_UNICODE", "N") != u"N";
  c.currCharset = plsql("CURR_CHARSET", "EASTEUROPE_CHARSET");
  if (c.currShrani == u"ECM1") {
    c.connPassword = TKript::vzemiGeslo(c.connServer, c.connUser);
    c.connPasswordUtil = TKript::vzemiGeslo(c.connServer, QStringLiteral("NUVO_UTIL"));
  }
  c.currCubeCompany = plsql("CURR_CUBECOMPANY");
}

bool loadTextLines(const QString& path, QStringList& lines) {
  try {
    const QString resolved = nuvo::resolvePath(path);
    if (!QFile::exists(resolved)) return false;
    QString text = nuvo::crlfToLf(nuvo::readTextFile(resolved).text);
    if (text.endsWith(u'\n')) text.chop(1);
    lines = text.isEmpty() ? QStringList() : text.split(u'\n');
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

namespace {

// Step 6 of the creation: the first CONNECT line sets the start-up connection.
void applyFirstConnect(TMainContext& c, ParsedLine line, bool fileRun, const StartupIo& io) {
  if (fileRun) {
    if (line.p1.isEmpty()) line.p1 = c.runParamValue1;
    if (line.p2.isEmpty()) line.p2 = c.runParamValue2;
    if (line.p3.isEmpty()) line.p3 = c.runParamValue3;
  }
  if (!line.p1.isEmpty()) c.connUser = line.p1.toUpper();
  if (!line.p2.isEmpty()) c.connServer = line.p3;
  c.pAutoG = true;
  applyConnectPassword(c, line.p2, io, true);
}

}  // namespace

void applyConnectPassword(TMainContext& c, QString password, const StartupIo& io, bool usePlainPassword) {
  c.p_ScriptAudit = false;
  if (password.startsWith(u'A') && password.size() < 3) {
    c.p_ScriptAudit = true;
    password = password.mid(1);
  }
  if (TKript::isPasswordCode(password)) {
    c.connPassword = io.readStoredPassword(c.connServer, c.connUser);
    if (!c.connPassword.trimmed().isEmpty()) return;
    const QString builtIn = TKript::builtInPassword(password);
    if (!builtIn.isEmpty())
      c.connPassword = c.connPasswordUtil = builtIn;
    else if (password == u"Y")
      c.connPassword = c.connPasswordUtil;
  } else if (!password.isEmpty()) {
    if (usePlainPassword) c.connPassword = c.connPasswordUtil = password;
  } else {
    if (c.bSaveLoginData) c.bHaveToSaveLoginData = true;
    if (c.bUseLoginData) io.readLoginData(c);
  }
}

void applyStartParameters(TMainContext& c, const QStringList& parameters, const StartupIo& io,
                          const QString& programDir) {
  const auto parameter = [&](int i) { return i < parameters.size() ? parameters[i] : QString(); };
  c.declRunParam = !parameters.isEmpty();
  c.runParamType = parameter(0);
  c.runParamValue1 = parameter(1);
  c.runParamValue2 = parameter(2);
  c.runParamValue3 = parameter(3);

  c.runLines.clear();
  const bool fileRun = c.runParamType.startsWith(u'@');
  if (fileRun) {
    QStringList lines;
    if (io.loadFile(c.runParamType.mid(1, 50), lines)) c.runLines = lines;
  } else if (c.declRunParam) {
    const QString line = QStringList{parameter(0), parameter(1), parameter(2), parameter(3)}.join(u' ');
    c.runLines << (TKript::isPasswordCode(c.runParamValue1) ? QStringLiteral("CONNECT ") + line : line);
  }

  c.pAutoG = false;
  bool connectSeen = false;
  for (const QString& text : std::as_const(c.runLines)) {
    const ParsedLine line = ParseCommandLine(text);
    if (line.action == u"SAVELOGINDATA")
      c.bSaveLoginData = true;
    else if (line.action == u"USELOGINDATA")
      c.bUseLoginData = true;
    else if (line.action == u"CLEARLOGINDATA")
      c.bClearLoginData = true;
    else if (line.action == u"LANGUAGE")
      c.currLanguage = line.p1;
    else if (line.action == u"CONNECT" && !connectSeen) {
      connectSeen = true;
      applyFirstConnect(c, line, fileRun, io);
    }
  }

  c.datasetStevec = 0;
  if (c.currCommentsFile.isEmpty()) c.currCommentsFile = programDir;
  if (c.runParamType.toUpper().startsWith(u"@MU_")) {
    c.vecInstalacijLines.clear();
    c.currMoreInstall = io.loadFile(QStringLiteral("vecInstalacij"), c.vecInstalacijLines);
  }
}

bool hostsSeveralInstallations(const QStringList& lines, const QString& instance) {
  const QString wanted = instance.toUpper();
  for (const QString& line : lines) {
    const QString upper = line.toUpper();
    if (upper.startsWith(wanted)) return upper.contains(u"TRUE");
  }
  return false;
}

namespace {

struct SharedText {
  QString TMainContext::*field;
  const char* english;
  const char* slovene;
};

const SharedText kSharedTexts[] = {
    {&TMainContext::nizMain, "PL/SQL Editor", "PL/SQL urejevalnik"},
    {&TMainContext::nizError, "ERROR", "NAPAKA"},
    {&TMainContext::nizStart, "Start", "Začni"},
    {&TMainContext::nizStop, "STOP", "STOP"},
    {&TMainContext::nizCommit, "COMMIT", "POTRDI"},
    {&TMainContext::nizRollback, "ROLLBACK", "NAZAJ"},
    {&TMainContext::nizExit, "E&xit", "&Izhod"},
    {&TMainContext::nizSave, "&Save", "&Shrani"},
    {&TMainContext::nizRefresh, "&Refresh", "&Osveži"},
    {&TMainContext::nizDone, "Done.", "Narejeno."},
    {&TMainContext::nizErrorRB, "ERROR ON PUTING", "NAPAKA PRI POSTAVLJANJU"},
    {&TMainContext::nizMissingRights,
     "CHECK  SELECT ANY DICTIONARY(FROM 10G)  or  SELECT ANY TABLE(TILL 10G)  rights !",
     "Preveri  SELECT ANY DICTIONARY(OD 10G)  ali  SELECT ANY TABLE(DO 10G)  pravico !"},
    {&TMainContext::napakaRestricted, "ERROR ON RESTRICTED SESSION",
     "NAPAKA PRI DOVOLJENJU ZA PRIJAVO!"},
    {&TMainContext::nizRestricted, "There are non restricted sessions!  Terminate script execution?",
     "Obstajajo nezaželjene prijave! Prekinitev izvajanja skripte?"},
};

}  // namespace

void setSharedTexts(TMainContext& c) {
  const bool slo = c.slovene();
  for (const auto& text : kSharedTexts) c.*text.field = QString::fromUtf8(slo ? text.slovene : text.english);
}
