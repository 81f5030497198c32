#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/appdirs.h"
#include "platform/ini_file.h"
#include "shell/iKript.h"
#include "shell_test_support.h"

namespace {

const QString kKey = QStringLiteral("w7kTfOzu");

TEST(PasswordCodes, AreTheSubstringsOfTheCodeText) {
  struct Case {
    const char* password;
    bool isCode;
  };
  const Case cases[] = {{"1", true},   {"3", true},  {"5", true},   {"X", true},  {"Y", true},
                        {"45", true},  {"XY", true}, {"12345XY", true},           {"", false},
                        {"6", false},  {"0", false}, {"9", false},  {"ST", false}, {"13", false},
                        {"x", false},  {"5X1", false}};
  for (const auto& c : cases)
    EXPECT_EQ(TKript::isPasswordCode(c.password), c.isCode) << c.password;
}

TEST(PasswordCodes, BuiltInPasswordsHaveTheirShapes) {
  struct Case {
    const char* code;
    const char* shape;
  };
  const Case cases[] = {{"1", "^[A-Z]{5}[0-9]{2}$"},
                        {"2", "^[A-Z]{5}[0-9]{2}$"},
                        {"3", "^[A-Z]{4}[0-9]{4}$"},
                        {"4", "^[A-Z]{4}[0-9]{4}$"},
                        {"5", "^[A-Z]{9}[0-9]{2}$"}};
  QStringList seen;
  for (const auto& c : cases) {
    const QString password = TKript::builtInPassword(c.code);
    EXPECT_TRUE(QRegularExpression(c.shape).match(password).hasMatch()) << c.code;
    EXPECT_FALSE(seen.contains(password)) << c.code;
    seen << password;
  }
  for (const char* none : {"X", "Y", "45", "", "6"}) EXPECT_EQ(TKript::builtInPassword(none), "");
  EXPECT_EQ(TKript::auditPassword(), TKript::builtInPassword("5"));
}

TEST(ScrambleText, RoundTripsToTheStoredForm) {
  struct Case {
    const char* instance;
    const char* user;
    const char* password;
    const char* unscrambled;  // upper case, cut to 15 characters, no trailing blanks
  };
  const Case cases[] = {
      {"DEMO", "KADE", "geslo", "GESLO"},
      {"DEMO", "KADE", "abcdefghijklmnopq", "ABCDEFGHIJKLMNO"},
      {"DEMO", "KADE", "exactly15chars!", "EXACTLY15CHARS!"},
      {"ORCL", "NUVO_UTIL", "pass word  ", "PASS WORD"},
      {"ORCL", "SYS", "  lead", "  LEAD"},
      {"prod", "zozuro", "čžš-ČŽŠ", "ČŽŠ-ČŽŠ"},
      {"X", "AB", "7", "7"},
      // Shorter names than the key needs still scramble and unscramble.
      {"", "A", "secret", "SECRET"},
      {"DEMO", "", "secret", "SECRET"},
  };
  for (const auto& c : cases) {
    const QString scrambled = TKript::kriptiraj(c.instance, c.user, QString::fromUtf8(c.password));
    EXPECT_EQ(scrambled.size(), 15) << c.password;
    EXPECT_NE(scrambled.left(5), QString::fromUtf8(c.unscrambled).left(5)) << c.password;
    EXPECT_EQ(TKript::deKriptiraj(c.instance, c.user, scrambled), QString::fromUtf8(c.unscrambled))
        << c.password;
  }
}

TEST(ScrambleText, EmptyStaysEmptyAndTheKeyDependsOnUserAndInstance) {
  EXPECT_EQ(TKript::kriptiraj("DEMO", "KADE", ""), "");
  EXPECT_EQ(TKript::deKriptiraj("DEMO", "KADE", ""), "");
  const QString scrambled = TKript::kriptiraj("DEMO", "KADE", "geslo");
  EXPECT_NE(TKript::kriptiraj("DEMO", "ZOZURO", "geslo"), scrambled);
  EXPECT_NE(TKript::kriptiraj("ORCL", "KADE", "geslo"), scrambled);
  // Names compare without case: the key is upper-cased.
  EXPECT_EQ(TKript::kriptiraj("demo", "kade", "geslo"), scrambled);
  EXPECT_NE(TKript::deKriptiraj("DEMO", "ZOZURO", scrambled), "GESLO");
}

QString randomText(QRandomGenerator& random, int maxLength) {
  static const char16_t kInteresting[] = {u' ', u'%', u'"', u'\'', u'=', u';', u'[', u']', u'\r',
                                          u'\n', u'\t', 0, 0x7F, 0xA0, 0x10C, 0xD800, 0xFFFF};
  QString text;
  const int length = random.bounded(maxLength + 1);
  for (int i = 0; i < length; ++i) {
    switch (random.bounded(3)) {
      case 0: text += QChar(kInteresting[random.bounded(int(std::size(kInteresting)))]); break;
      case 1: text += QChar(static_cast<char16_t>(0x20 + random.bounded(0x5F))); break;
      default: text += QChar(static_cast<char16_t>(random.bounded(0x10000))); break;
    }
  }
  return text;
}

TEST(IniEscape, IsLosslessAndLeavesOnlyPlainPrintableCharacters) {
  QRandomGenerator random(20261210);
  for (int i = 0; i < 2000; ++i) {
    const QString value = randomText(random, 20);
    const QString line = TKript::escapeIniValue(value);
    EXPECT_EQ(TKript::unescapeIniValue(line), value);
    EXPECT_EQ(line, line.trimmed());
    for (QChar c : line) {
      EXPECT_TRUE(c.unicode() >= 0x20 && c.unicode() <= 0x7E) << int(c.unicode());
      EXPECT_NE(c, u'"');
      EXPECT_NE(c, u'\'');
    }
  }
  EXPECT_EQ(TKript::escapeIniValue(" a b "), "%0020a b%0020");
  // Text that is no escape stays as it is.
  EXPECT_EQ(TKript::unescapeIniValue("50%zz%12"), "50%zz%12");
}

class PasswordStore : public nuvo::test::HomeDirFixture {};

TEST_F(PasswordStore, StoresUnderTheUpperCasedInstanceAndReadsInAnyCase) {
  TKript::shraniGeslo("demo", "Kade", "tajno", "SYS");
  const nuvo::IniFile ini(nuvo::monitorIniPath());
  EXPECT_THAT(ini.readSections(), testing::Contains(QString("BAZA_DEMO")));
  EXPECT_EQ(ini.readSection("BAZA_DEMO"), QStringList{"Kade"});
  EXPECT_EQ(TKript::vzemiGeslo("DEMO", "KADE"), "TAJNO");
  EXPECT_EQ(TKript::vzemiGeslo("Demo", "kade"), "TAJNO");
  EXPECT_EQ(TKript::vzemiGeslo("DEMO", "ZOZURO"), "");
  EXPECT_EQ(TKript::vzemiGeslo("ORCL", "KADE"), "");
}

TEST_F(PasswordStore, StarKeepsAndEmptyClears) {
  TKript::shraniGeslo("DEMO", "KADE", "first", "");
  TKript::shraniGeslo("DEMO", "KADE", "*", "");
  EXPECT_EQ(TKript::vzemiGeslo("DEMO", "KADE"), "FIRST");
  TKript::shraniGeslo("DEMO", "KADE", "", "");
  EXPECT_EQ(TKript::vzemiGeslo("DEMO", "KADE"), "");
  EXPECT_TRUE(nuvo::IniFile(nuvo::monitorIniPath()).valueExists("BAZA_DEMO", "KADE"));
}

TEST_F(PasswordStore, AnEmptyUserStoresForTheCurrentUserOrUnderStars) {
  TKript::shraniGeslo("DEMO", "", "mine", "ZOZURO");
  EXPECT_EQ(TKript::vzemiGeslo("DEMO", "ZOZURO"), "MINE");
  TKript::shraniGeslo("DEMO", "", "nobody", "");
  EXPECT_EQ(TKript::vzemiGeslo("DEMO", "*****"), "NOBODY");
}

TEST_F(PasswordStore, RandomPasswordsSurviveTheIniFile) {
  QRandomGenerator random(4711);
  for (int i = 0; i < 300; ++i) {
    QString password = randomText(random, 18);
    if (password.isEmpty() || password == u"*") continue;
    TKript::shraniGeslo("DEMO", "KADE", password, "");
    QString expected = (password.left(15) + QString(15, u' ')).left(15).toUpper();
    while (expected.endsWith(u' ')) expected.chop(1);
    ASSERT_EQ(TKript::vzemiGeslo("DEMO", "KADE"), expected) << i;
  }
}

TEST(ADEncryptString, MatchesKnownAnswers) {
  // Computed with another DES implementation over the Windows-1250 bytes and the count block.
  struct Case {
    const char* text;
    const char* cipher;
  };
  const Case cases[] = {
      {"KADE", "1JfWMgExtrM="},
      {"ABCDEFGH", "UQPrdVUVgS0KOK54Bl0LMg=="},  // 8 bytes: a second block holding only the count 0
      {"ČŽŠ", "3UoxfU7kzzA="},
      {"nuvo_util12", "8Y2qFb9LHYSMCORyhTUCTw=="},
      {"Sys", "kiUYFmFiCXA="},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TKript::ADEncryptString(QString::fromUtf8(c.text), kKey), c.cipher) << c.text;
    EXPECT_EQ(TKript::ADDecryptString(c.cipher, kKey), QString::fromUtf8(c.text)) << c.text;
  }
  EXPECT_EQ(QByteArray::fromBase64(TKript::ADEncryptString("1234567", kKey).toLatin1()).size(), 8);
}

TEST(ADEncryptString, AKeyThatIsNotEightCharactersAborts) {
  EXPECT_EQ(TKript::ADEncryptString("KADE", "  w7kTfOzu "), "1JfWMgExtrM=");
  for (const char* key : {"", "short", "w7kTfOzu9", "w7k TfOzu"}) {
    EXPECT_THROW(TKript::ADEncryptString("KADE", key), EAbort) << key;
    EXPECT_THROW(TKript::ADDecryptString("1JfWMgExtrM=", key), EAbort) << key;
  }
}

TEST(ADDecryptString, TextThatIsNoCipherGivesEmpty) {
  const QString countByteTooLarge =
      TKript::ADEncryptString("ABCDEFGH", kKey).toLatin1().left(12) + "====";
  for (const QString& text : {QString("not base64!"), QString("AAAA"), QString("QUJD"), countByteTooLarge})
    EXPECT_EQ(TKript::ADDecryptString(text, kKey), "") << text.toStdString();
}

class LoginDataStore : public nuvo::test::HomeDirFixture {
 protected:
  void SetUp() override {
    HomeDirFixture::SetUp();
    TKript::ClearLoginData();
  }
};

TEST_F(LoginDataStore, SavesEncipheredAndReadsBack) {
  TKript::SaveLoginData("kade", "Geslo1", "DEMO");
  QSettings settings("DRXVelmora", "Nuvo_Sql");
  EXPECT_EQ(settings.value("LoginData/Username").toString(), TKript::ADEncryptString("kade", kKey));
  EXPECT_EQ(settings.value("LoginData/Alias").toString(), "DEMO");
  const LoginData data = TKript::ReadLoginData();
  EXPECT_EQ(data.user, "kade");
  EXPECT_EQ(data.password, "Geslo1");
  EXPECT_EQ(data.alias, "DEMO");
}

TEST_F(LoginDataStore, IsOnlyReadWhenAllThreeValuesArePresent) {
  TKript::SaveLoginData("kade", "", "DEMO");
  EXPECT_EQ(TKript::ReadLoginData().user, "");
  TKript::SaveLoginData("kade", "Geslo1", "DEMO");
  TKript::ClearLoginData();
  QSettings settings("DRXVelmora", "Nuvo_Sql");
  EXPECT_TRUE(settings.contains("LoginData/Username"));
  EXPECT_EQ(settings.value("LoginData/Username").toString(), "");
  const LoginData data = TKript::ReadLoginData();
  EXPECT_EQ(data.user, "");
  EXPECT_EQ(data.password, "");
  EXPECT_EQ(data.alias, "");
}

}  // namespace
