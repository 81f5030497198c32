#include "shell/settings_io.h"

#include "platform/ini_file.h"

namespace nuvo::shell {

namespace {

const QString kPlSql = QStringLiteral("PL/SQL");
const QString kHiddenPassword = QStringLiteral("xxxxx");

}  // namespace

QList<IniEntry> settingsEntries(const TMainContext& c, const SettingsEditTexts& edits) {
  const auto plsql = [](const char* key, const QString& value) {
    return IniEntry{kPlSql, QString::fromLatin1(key), value};
  };
  return {
      plsql("CURR_DIR", c.TmpCurrentEditInitDir),
      plsql("CURR_PART_DIR", c.CurrentPartInitDir),
      plsql("CURR_MDQ_DIR", c.CurrentMDQInitDir),
      plsql("CURR_MDQ_LAST", c.CurrentMDQLast),
      plsql("CURR_PART_FILE", c.CurrentPartFile),
      plsql("CURR_CHECK_DIR", c.CurrentCheckInitDir),
      plsql("CURR_PROJECT", c.CurrentActiveProject),
      plsql("CURR_TYPE", c.CurrentActiveType),
      plsql("CURR_SCRIPT", c.currentScript),
      plsql("CURR_SCRIPT_DIR", c.currentScriptDir),
      plsql("CURR_REFRESH_DIR", c.currentRefreshDir),
      plsql("VER_OWNER", c.currVerOwner),
      plsql("VER_LAST", c.currLastVer),
      plsql("VER_FILE", c.currVerFile),
      plsql("VER_TYPE", c.currVerType),
      plsql("CURR_MACRO_FILE", c.currMacroFile),
      plsql("CURR_EDITPL_FONT", c.currEditPLFont),
      plsql("CURR_FORCE_OCI", c.currForceOCI),
      plsql("CURR_DATE_FORMAT", c.currentDateFormat),
      plsql("CURR_USERIPL", c.CurrentUserIpl),
      plsql("CURR_USER", c.connUser),
      plsql("CURR_SERVER", c.connServer),
      plsql("CURR_MIN_TOP", edits.minTop),
      plsql("CURR_MIN_LEFT", edits.minLeft),
      plsql("CURR_LANGUAGE", edits.language),
      plsql("CURR_COMMENT_DIR", c.currCommentsFile),
      plsql("CURR_LARGERB", c.currLargeRBName),
      plsql("CURR_SHOWLOGTYPE", c.currShowLogType),
      plsql("CURR_DESCRIPTOR", c.currDescriptor),
      plsql("CURR_STRU_SELECTED", c.CurrStructureSelected),
      plsql("CURR_LOADER", c.currLoader),
      plsql("CURR_OWNER", c.currOwner),
      IniEntry{QStringLiteral("ALIAS"), QStringLiteral("CURR_VELMORA_DIR"), c.currVELMORADir},
      plsql("CURR_CUBECOMPANY", c.currCubeCompany),
      plsql("CURR_EDIT_WIDTH", QString::number(c.currEditWidth)),
      plsql("CURR_EDIT_HEIGHT", QString::number(c.currEditHeight)),
      plsql("CURR_PASSWORD", kHiddenPassword),
      plsql("CURR_PASSWORDUTIL", kHiddenPassword),
      plsql("CURR_MINIMIZED", c.currMinimizedMain),
      IniEntry{QStringLiteral("MONITOR"), QStringLiteral("CURR_SHRANI"), c.currShrani},
      plsql("CURR_CHARSET", c.currCharset),
      plsql("CURR_UNICODE", c.currUnicode ? QStringLiteral("Y") : QStringLiteral("N")),
  };
}

void writeEntries(IniFile& ini, const QList<IniEntry>& entries) {
  for (const IniEntry& entry : entries) ini.writeString(entry.section, entry.key, entry.value);
}

QString withClosingSeparator(const QString& directory) {
  if (directory.endsWith(u'\\') || directory.endsWith(u'/')) return directory;
  return directory + u'\\';
}

bool isValidDescriptor(const QString& text) {
  if (!text.startsWith(u'#')) return true;
  bool ok = false;
  text.mid(1, 10).toInt(&ok);
  return ok;
}

std::optional<int> integerSetting(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  return ok ? std::optional(value) : std::nullopt;
}

std::optional<StoredPassword> passwordToStore(const TMainContext& c) {
  if (c.currShrani != u"ECM1") return std::nullopt;
  const bool utility = c.connUser.compare(u"NUVO_UTIL", Qt::CaseInsensitive) == 0;
  const QString& password = utility ? c.connPasswordUtil : c.connPassword;
  if (password.isEmpty()) return std::nullopt;
  return StoredPassword{c.connUser, password};
}

}  // namespace nuvo::shell
