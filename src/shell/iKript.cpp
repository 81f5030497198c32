#include "shell/iKript.h"

#include <nettle/des.h>

#include <QByteArray>
#include <QSettings>
#include <array>

#include "platform/appdirs.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "platform/text_file.h"

namespace {

constexpr int kScrambleLength = 15;
const QString kMask = QStringLiteral("]K;W,P.T-B=Z+Q)");
// Added to each character before the XOR (position i uses entry (i mod 15) + 1, 1-based).
constexpr std::array<int, kScrambleLength> kOffsets = {7,  -3, 11, -5, 2,  13, -8, 4,
                                                       -11, 6, -2, 9,  -6, 3,  -9};

struct BuiltInPassword {
  QChar code;
  const char* password;
};
// Codes 1 and 2: five capitals and two digits; 3 and 4: four capitals and four digits; 5 (also
// the audit connection's default): nine capitals and two digits.
constexpr std::array<BuiltInPassword, 5> kBuiltInPasswords = {{{u'1', "VELMO24"},
                                                               {u'2', "ZOZUR31"},
                                                               {u'3', "NUVO2019"},
                                                               {u'4', "SERV2020"},
                                                               {u'5', "AUDITNUVO19"}}};

// The key of the saved logon data's cipher.
const QString kCipherKey = QStringLiteral("w7kTfOzu");
const QString kSectionPrefix = QStringLiteral("BAZA_");
constexpr QChar kEscape = u'%';

// The 15-character key: from the last character of the name back to the first, each followed by a
// character of the instance; repeated to 15 characters and upper-cased. An empty name gives a key
// of zero characters (only the mask then scrambles).
QString scrambleKey(const QString& instance, const QString& name) {
  QString source;
  for (qsizetype j = name.size(); j >= 1; --j) {
    source += name[j - 1];
    if (!instance.isEmpty()) source += instance[j % instance.size()];
  }
  if (source.isEmpty()) return QString(kScrambleLength, QChar(0));
  QString key;
  while (key.size() < kScrambleLength) key += source;
  return key.left(kScrambleLength).toUpper();
}

bool needsEscape(QChar c, qsizetype index, qsizetype size) {
  const char16_t u = c.unicode();
  if (u == u' ') return index == 0 || index == size - 1;
  return u < 0x21 || u > 0x7E || c == kEscape || u == u'"' || u == u'\'';
}

int hexValue(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  return -1;
}

QByteArray desKey(const QString& key) {
  const QString trimmed = key.trimmed();
  if (trimmed.size() != DES_KEY_SIZE) throw EAbort();
  QByteArray bytes;
  for (QChar c : trimmed) bytes += static_cast<char>(c.unicode() & 0xFF);
  return bytes;
}

QByteArray desRun(const QByteArray& keyBytes, const QByteArray& input, bool encrypt) {
  des_ctx ctx;
  des_set_key(&ctx, reinterpret_cast<const uint8_t*>(keyBytes.constData()));
  QByteArray output(input.size(), '\0');
  auto* out = reinterpret_cast<uint8_t*>(output.data());
  const auto* in = reinterpret_cast<const uint8_t*>(input.constData());
  if (encrypt)
    des_encrypt(&ctx, input.size(), out, in);
  else
    des_decrypt(&ctx, input.size(), out, in);
  return output;
}

QSettings loginSettings() { return QSettings(QStringLiteral("DRXVelmora"), QStringLiteral("Nuvo_Sql")); }

}  // namespace

const QString TKript::kPasswordCodes = QStringLiteral("12345XY");
const QString TKript::kLoginDataKey = QStringLiteral("LoginData");

bool TKript::isPasswordCode(const QString& password) {
  return !password.isEmpty() && kPasswordCodes.contains(password);
}

QString TKript::builtInPassword(const QString& code) {
  for (const auto& entry : kBuiltInPasswords)
    if (code.size() == 1 && code[0] == entry.code) return QString::fromLatin1(entry.password);
  return {};
}

QString TKript::auditPassword() { return builtInPassword(QStringLiteral("5")); }

QString TKript::ScrambleText(const QString& instance, const QString& name, const QString& text,
                             QChar mode) {
  const bool scramble = mode == u'C';
  QString t = text;
  if (scramble && !t.isEmpty())
    t = (t.left(kScrambleLength) + QString(kScrambleLength, u' ')).left(kScrambleLength).toUpper();
  const QString key = scrambleKey(instance, name);
  QString result;
  result.reserve(t.size());
  for (qsizetype i = 1; i <= t.size(); ++i) {
    const qsizetype k = (i - 1) % kScrambleLength;
    const char16_t x = key[k].unicode() ^ kMask[k].unicode();
    const int d = kOffsets[i % kScrambleLength];
    const char16_t c = t[i - 1].unicode();
    const char16_t out = scramble ? static_cast<char16_t>(static_cast<char16_t>(c + d) ^ x)
                                  : static_cast<char16_t>((c ^ x) - d);
    result += QChar(out);
  }
  if (!scramble) {
    while (result.endsWith(u' ')) result.chop(1);
  }
  return result;
}

QString TKript::kriptiraj(const QString& instance, const QString& name, const QString& text) {
  return ScrambleText(instance, name, text, u'C');
}

QString TKript::deKriptiraj(const QString& instance, const QString& name, const QString& text) {
  return ScrambleText(instance, name, text, u'D');
}

QString TKript::escapeIniValue(const QString& value) {
  QString out;
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (needsEscape(c, i, value.size()))
      out += kEscape + QStringLiteral("%1").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
    else
      out += c;
  }
  return out;
}

QString TKript::unescapeIniValue(const QString& line) {
  QString out;
  for (qsizetype i = 0; i < line.size(); ++i) {
    if (line[i] == kEscape && i + 4 < line.size()) {
      int code = 0;
      bool ok = true;
      for (qsizetype k = 1; k <= 4 && ok; ++k) {
        const int h = hexValue(line[i + k]);
        ok = h >= 0;
        code = code * 16 + h;
      }
      if (ok) {
        out += QChar(static_cast<char16_t>(code));
        i += 4;
        continue;
      }
    }
    out += line[i];
  }
  return out;
}

QString TKript::vzemiGeslo(const QString& instance, const QString& user) {
  const nuvo::IniFile ini(nuvo::monitorIniPath());
  const QString stored = ini.readString(kSectionPrefix + instance, user);
  if (stored.isEmpty()) return {};
  return deKriptiraj(instance, user, unescapeIniValue(stored));
}

void TKript::shraniGeslo(const QString& instance, const QString& user, const QString& password,
                         const QString& currentUser) {
  if (password == u"*") return;
  QString keyName = user;
  if (keyName.isEmpty()) keyName = currentUser;
  if (keyName.isEmpty()) keyName = QStringLiteral("*****");
  // Scrambled under the name it is stored under, so vzemiGeslo reads it back.
  const QString scrambled =
      password.isEmpty() ? QString() : escapeIniValue(kriptiraj(instance, keyName.toUpper(), password));
  nuvo::IniFile ini(nuvo::monitorIniPath());
  ini.writeString(kSectionPrefix + instance.toUpper(), keyName, scrambled);
}

QString TKript::ADEncryptString(const QString& text, const QString& key) {
  const QByteArray keyBytes = desKey(key);
  if (text.isEmpty()) return {};
  QByteArray plain = nuvo::encodeCodePage(text, nuvo::CodePage::Windows1250);
  const int rest = static_cast<int>(plain.size() % DES_BLOCK_SIZE);
  plain += QByteArray(DES_BLOCK_SIZE - rest - 1, '\0');
  plain += static_cast<char>(rest);
  return QString::fromLatin1(desRun(keyBytes, plain, true).toBase64());
}

QString TKript::ADDecryptString(const QString& text, const QString& key) {
  const QByteArray keyBytes = desKey(key);
  if (text.isEmpty()) return {};
  const auto decoded =
      QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
  if (!decoded || decoded.decoded.isEmpty() || decoded.decoded.size() % DES_BLOCK_SIZE != 0) return {};
  const QByteArray plain = desRun(keyBytes, decoded.decoded, false);
  const int rest = static_cast<unsigned char>(plain.back());
  if (rest >= DES_BLOCK_SIZE) return {};
  try {
    return nuvo::decodeCodePage(plain.left(plain.size() - DES_BLOCK_SIZE + rest),
                                nuvo::CodePage::Windows1250);
  } catch (const nuvo::PlatformError&) {
    return {};
  }
}

void TKript::SaveLoginData(const QString& user, const QString& password, const QString& alias) {
  QSettings settings = loginSettings();
  settings.beginGroup(kLoginDataKey);
  settings.setValue("Username", ADEncryptString(user, kCipherKey));
  settings.setValue("Password", ADEncryptString(password, kCipherKey));
  settings.setValue("Alias", alias);
  settings.endGroup();
  settings.sync();
}

LoginData TKript::ReadLoginData() {
  QSettings settings = loginSettings();
  settings.beginGroup(kLoginDataKey);
  LoginData data{ADDecryptString(settings.value("Username").toString(), kCipherKey),
                 ADDecryptString(settings.value("Password").toString(), kCipherKey),
                 settings.value("Alias").toString()};
  settings.endGroup();
  if (data.user.isEmpty() || data.password.isEmpty() || data.alias.isEmpty()) return {};
  return data;
}

void TKript::ClearLoginData() {
  QSettings settings = loginSettings();
  settings.beginGroup(kLoginDataKey);
  for (const char* name : {"Username", "Password", "Alias"}) settings.setValue(name, QString());
  settings.endGroup();
  settings.sync();
}
