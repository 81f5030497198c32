#pragma once
// The last-script store: for each database and user the name of the last upgrade script stored
// into the statement table, kept in the program context's `currLastVer` and in MONITOR.INI
// ([PL/SQL] VER_LAST) as entries "#SERVER/USER/script#" one after the other.

#include <QString>
#include <optional>

namespace nuvo::shell {

// The store's text after recording `ver` for server and user; nothing when it does not change
// (the entry is there already, or server or user is empty because nobody is logged on).
std::optional<QString> storeLastVersion(const QString& text, const QString& server, const QString& user,
                                        const QString& ver);
// The script recorded for server and user, upper-cased; empty when there is none.
QString lastVersion(const QString& text, const QString& server, const QString& user);

}  // namespace nuvo::shell

// The table-utilities window's store operations; they need no window, only the program context.
class TfmtableUtil {
 public:
  // Records `ver` for the current server and user and writes MONITOR.INI when that changed it.
  static void ShraniLastVer(const QString& ver);
  static QString GetLastVer();
};
