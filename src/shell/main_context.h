#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace nuvo {
class IniFile;
}

// The program context: every public field of the main window that the other windows read and
// write. TfmMain derives from it; the start-up logic works on it alone, so it is tested without a
// window.
struct TMainContext {
  // Connection
  QString connUser, connPassword, connPasswordUtil, connServer;
  bool pAutoG = false;
  bool p_ScriptAudit = false;
  QString ORACLEVersion, ORACLEVersionDod, ORACLEVersionAll;
  QString p_hostAudit, p_hostAuditUpor, p_hostAuditHost;
  bool bSaveLoginData = false, bUseLoginData = false, bClearLoginData = false,
       bHaveToSaveLoginData = false;

  // Multi-installation
  bool currMoreInstall = false;
  int currUserIndex = 0;
  QString currInstanceAs, currUserAsKade, currPassAsKade, currUserAsZozuro, currPassAsZozuro;

  // Run state
  bool declRunParam = false;
  QString runParamType, runParamValue1, runParamValue2, runParamValue3;
  bool prvicNaFormi = true;
  QString currLargeRB = QStringLiteral("0");
  bool VersionOK = false, pExecuteScriptNapaka = false;
  int workSheetStevec = 0, datasetStevec = 0;

  // Shared texts
  QString nizMain, nizError, nizErrorRB, nizDone, nizStop, nizCommit, nizRollback, nizExit, nizStart,
      nizSave, nizRefresh, nizMissingRights, napakaRestricted, nizRestricted;
  QString p_verzijaPLSQL;
  QString mainString;

  // Macros (parsed by the macro reader): mcMacro[k] belongs to the character k + 1 of mcKeys.
  QString mcKeys;
  std::array<QString, 50> mcMacro;
  int mcUkaz = 0;
  std::array<QString, 50> mcMacroHeader;
  std::array<QString, 25> stMacro;
  int nrMacros = 0;
  QString p_newLine = QStringLiteral("\r");

  // The program's own date format (client notation) for the dates it formats, and its separator.
  QString ShortDateFormat = QStringLiteral("dd.MM.yyyy");
  QChar DateSeparator = u'.';

  // Geometry
  int visinaCela = 0, visinaSlika = 0;

  // MONITOR.INI
  QString CurrentEditInitDir, TmpCurrentEditInitDir, currentDateFormat, CurrentPartFile,
      CurrentPartInitDir, CurrentMDQInitDir, CurrentMDQLast, CurrentCheckInitDir,
      CurrentActiveProject, CurrentActiveType, currentScript, currentScriptDir, currentRefreshDir,
      CurrStructureSelected, CurrentUserIpl, currVerOwner, currLastVer, currVerFile, currVerType,
      currForceOCI, currLargeRBName, currShrani, currDescriptor, currMacroFile, currEditPLFont,
      currMinimizedMain, currCommentsFile, currShowLogType, currOwner, currOwnerFile, currLoader,
      currLanguage, currVELMORADir, currCharset, currCubeCompany;
  int currMinTop = 0, currMinLeft = 0, currEditWidth = 0, currEditHeight = 0;
  bool currUnicode = false;

  // The lines of this run (meVhodParam) and the lines of vecInstalacij (meVhod) when it was read.
  QStringList runLines;
  QStringList vecInstalacijLines;

  bool slovene() const { return currLanguage == u"SLO"; }
};

// What the toolbar-strip limits of MONITOR.INI depend on.
struct ScreenGeometry {
  int width = 1920;
  int height = 1080;
  int formWidth = 900;
};

// Reads the sections "PL/SQL", "MONITOR" and "ALIAS" in their order with their defaults. With
// CURR_SHRANI = "ECM1" the stored passwords of the configured user and of NUVO_UTIL are read.
// `programDir` ends with a separator and stands in for empty directory settings.
void readMonitorIni(TMainContext& context, const nuvo::IniFile& ini, const ScreenGeometry& screen,
                    const QString& programDir);

// The start-up parameters (steps 3 to 8 of the creation): stores the run's parameters and lines,
// evaluates the start-up words and the first CONNECT. `loadFile` reads a text file's lines and
// returns false when it cannot; `readStoredPassword(instance, user)` reads the password store.
struct StartupIo {
  std::function<bool(const QString& path, QStringList& lines)> loadFile;
  std::function<QString(const QString& instance, const QString& user)> readStoredPassword;
  // The saved logon data; applied only when all of it is present.
  std::function<void(TMainContext&)> readLoginData;
};
void applyStartParameters(TMainContext& context, const QStringList& parameters, const StartupIo& io,
                          const QString& programDir);

// The password of a CONNECT line: "A" or "A" and one character asks for an audit logon; a password
// code takes the stored password of (connServer, connUser), else its built-in one; an empty one
// applies the login-data words. A plain password is taken only when `usePlainPassword`.
void applyConnectPassword(TMainContext& context, QString password, const StartupIo& io, bool usePlainPassword);

// The hosting check over the lines of vecInstalacij: the first line that begins with the instance
// (compared upper-cased) decides; it says yes when it contains "TRUE".
bool hostsSeveralInstallations(const QStringList& lines, const QString& instance);

// Sets the shared texts of the context in the program language.
void setSharedTexts(TMainContext& context);

// A text file's lines, read through the path resolver; false when it cannot be read.
bool loadTextLines(const QString& path, QStringList& lines);
