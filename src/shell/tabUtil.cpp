#include "shell/tabUtil.h"

#include "platform/appdirs.h"
#include "platform/ini_file.h"
#include "shell/Main.h"

namespace nuvo::shell {

namespace {

// Only a to z change: the stored text is compared as it was written, accented letters as they are.
QString asciiUpper(QString text) {
  for (QChar& c : text)
    if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 'a' + 'A');
  return text;
}

QString keyOf(const QString& server, const QString& user) {
  return asciiUpper(u'#' + server + u'/' + user + u'/');
}

// The tail kept after a replaced entry: at most 200 characters, and an entry that the bound cuts is
// dropped whole, so every entry left stays readable.
QString keptTail(const QString& tail) {
  constexpr qsizetype kBound = 200;
  if (tail.size() <= kBound) return tail;
  const QString cut = tail.left(kBound);
  qsizetype lastClosing = -1;
  int marks = 0;
  for (qsizetype i = 0; i < cut.size(); ++i)
    if (cut[i] == u'#' && ++marks % 2 == 0) lastClosing = i;
  return cut.left(lastClosing + 1);
}

}  // namespace

std::optional<QString> storeLastVersion(const QString& text, const QString& server, const QString& user,
                                        const QString& ver) {
  if (server.isEmpty() || user.isEmpty()) return std::nullopt;
  const QString upper = asciiUpper(text);
  const QString key = keyOf(server, user);
  const QString entry = key + ver + u'#';
  if (upper.contains(entry)) return std::nullopt;
  const qsizetype p = upper.indexOf(key);
  if (p < 0) return text + entry;
  const qsizetype closing = upper.indexOf(u'#', p + key.size());
  const QString tail = closing < 0 ? QString() : upper.mid(closing + 1);
  return upper.left(p) + keptTail(tail) + entry;
}

QString lastVersion(const QString& text, const QString& server, const QString& user) {
  const QString upper = asciiUpper(text);
  const QString key = keyOf(server, user);
  const qsizetype p = upper.indexOf(key);
  if (p < 0) return {};
  const qsizetype start = p + key.size();
  const qsizetype closing = upper.indexOf(u'#', start);
  return upper.mid(start, closing < 0 ? -1 : closing - start);
}

}  // namespace nuvo::shell

void TfmtableUtil::ShraniLastVer(const QString& ver) {
  TfmMain* main = fmMain();
  const auto stored = nuvo::shell::storeLastVersion(main->currLastVer, main->connServer, main->connUser, ver);
  if (!stored) return;
  main->currLastVer = *stored;
  nuvo::IniFile(nuvo::monitorIniPath()).writeString(QStringLiteral("PL/SQL"), QStringLiteral("VER_LAST"),
                                                    main->currLastVer);
}

QString TfmtableUtil::GetLastVer() {
  const TfmMain* main = fmMain();
  return nuvo::shell::lastVersion(main->currLastVer, main->connServer, main->connUser);
}
