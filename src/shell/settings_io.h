#pragma once
// What the settings window writes, as pure functions of the program context: the MONITOR.INI
// entries in their order, the password to store and the checks of single settings.

#include <QList>
#include <QString>
#include <optional>

#include "shell/main_context.h"

namespace nuvo {
class IniFile;
}

namespace nuvo::shell {

struct IniEntry {
  QString section;
  QString key;
  QString value;
  bool operator==(const IniEntry&) const = default;
};

// The texts of the settings saved from the window's edits rather than from the context.
struct SettingsEditTexts {
  QString minTop;
  QString minLeft;
  QString language;
};

// Every entry the settings save writes, in the order it writes them. The passwords are written as
// "xxxxx", never themselves.
QList<IniEntry> settingsEntries(const TMainContext& context, const SettingsEditTexts& edits);
// Writes the entries one by one: keys already in the file keep their place, new keys go to the
// end of their section. Throws PlatformError when the file cannot be written.
void writeEntries(IniFile& ini, const QList<IniEntry>& entries);

// A directory setting with its closing separator: "\" is added unless the text already ends with
// "\" or "/" (both separate); an empty text becomes "\".
QString withClosingSeparator(const QString& directory);

// The column separator setting: "#" and up to 10 characters that form an integer (a character
// code, "#9" for a tabulator); any text not starting with "#" is taken as it is.
bool isValidDescriptor(const QString& text);

// A whole number setting (an optional sign and decimal digits, blanks around allowed).
std::optional<int> integerSetting(const QString& text);

// The password the save keeps in the password store for the configured user: the utility
// password for NUVO_UTIL, the main one for anybody else. Nothing when the store is not asked for
// (currShrani is not "ECM1") or the password is empty, so a save never erases a stored password.
struct StoredPassword {
  QString user;
  QString password;
};
std::optional<StoredPassword> passwordToStore(const TMainContext& context);

}  // namespace nuvo::shell
