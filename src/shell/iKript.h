#pragma once

#include <QString>
#include <exception>

// Raised where the program gives up an operation without a message (a wrong cipher key).
struct EAbort : std::exception {
  const char* what() const noexcept override { return "Operation aborted"; }
};

// The user name, password and database saved for the next start (SAVELOGINDATA / USELOGINDATA).
struct LoginData {
  QString user;
  QString password;
  QString alias;
};

// The password store of MONITOR.INI (sections "BAZA_" + instance), its scrambling, the built-in
// passwords of the start-up password codes and the cipher of the saved logon data. Static members
// only; never instantiated.
class TKript {
 public:
  TKript() = delete;

  // The start-up password codes: a non-empty substring of this text is a code ("3", "45", "XY").
  static const QString kPasswordCodes;
  static bool isPasswordCode(const QString& password);
  // The built-in password of code "1" to "5"; empty for any other text.
  static QString builtInPassword(const QString& code);
  // The default password of the audit-database connection (the one of code "5").
  static QString auditPassword();

  // The stored password of `user` on `instance`, or empty.
  static QString vzemiGeslo(const QString& instance, const QString& user);
  // Stores `password` for `user` (for `currentUser` when `user` is empty, "*****" when both are);
  // "*" leaves the stored password as it is, an empty password stores an empty value.
  static void shraniGeslo(const QString& instance, const QString& user, const QString& password,
                          const QString& currentUser);

  static QString kriptiraj(const QString& instance, const QString& name, const QString& text);
  static QString deKriptiraj(const QString& instance, const QString& name, const QString& text);
  // Mode 'C' scrambles (the text upper-cased, padded or cut to 15 characters), mode 'D' unscrambles
  // (trailing blanks dropped). Any 16-bit character codes may result.
  static QString ScrambleText(const QString& instance, const QString& name, const QString& text,
                              QChar mode);

  // A scrambled text as it goes on an ini line and back: control characters, characters outside
  // printable ASCII, quotes, edge blanks and '%' become "%XXXX" (four hex digits).
  static QString escapeIniValue(const QString& value);
  static QString unescapeIniValue(const QString& line);

  // DES (ECB) of the text's Windows-1250 bytes, the last block holding the remaining bytes and their
  // count in its eighth byte, as Base64. Both throw EAbort when the key, blanks trimmed, is not 8
  // characters long; decryption of text that is not such a cipher gives an empty text.
  static QString ADEncryptString(const QString& text, const QString& key);
  static QString ADDecryptString(const QString& text, const QString& key);

  // The saved logon data (QSettings "DRXVelmora"/"Nuvo_Sql", group "LoginData").
  static const QString kLoginDataKey;
  static void SaveLoginData(const QString& user, const QString& password, const QString& alias);
  // Empty fields unless all three values are present and readable.
  static LoginData ReadLoginData();
  static void ClearLoginData();
};
