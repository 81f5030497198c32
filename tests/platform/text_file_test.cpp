#include "platform/text_file.h"

#include <gtest/gtest.h>

#include "files.h"
#include "platform/error.h"

namespace nuvo {
namespace {

using test::entriesOf;
using test::newTempDir;
using test::readBytes;
using test::writeBytes;

struct DetectCase {
  const char* name;
  QByteArray bytes;
  QString text;
  TextEncoding encoding;
};

TEST(TextFileTest, DetectsTheEncodingAndRoundTrips) {
  const DetectCase cases[] = {
      {"empty", "", "", TextEncoding::Utf8},
      {"ASCII", "select 1\r\n", "select 1\r\n", TextEncoding::Utf8},
      {"UTF-8",
       "\xC4\x8C"
       "a\xC5\xA1",
       QString::fromUtf8("Čaš"), TextEncoding::Utf8},
      {"UTF-8 with BOM", "\xEF\xBB\xBF\xC5\xBE", QString::fromUtf8("ž"), TextEncoding::Utf8Bom},
      {"BOM only", "\xEF\xBB\xBF", "", TextEncoding::Utf8Bom},
      {"Windows-1250",
       "\xC8"
       "a\x9A \x80",
       QString::fromUtf8("Čaš €"), TextEncoding::Windows1250},
      {"BOM then invalid UTF-8", "\xEF\xBB\xBF\xE8", QString::fromUtf8("ď»żč"),
       TextEncoding::Windows1250},
      {"byte without a Windows-1250 character",
       "a\x81"
       "b\x98",
       QString::fromUtf8("a\u0081b\u0098"), TextEncoding::Windows1250},
  };
  for (const DetectCase& c : cases) {
    const DecodedText decoded = decodeText(c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.name;
    EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
    EXPECT_EQ(encodeText(decoded.text, decoded.encoding), c.bytes) << c.name;
  }
}

struct PlausibleCase {
  const char* name;
  QByteArray bytes;
  CodePage codePage;  // of text that is not UTF-8
  const char* text;   // UTF-8
  TextEncoding encoding;
};

// Single-byte text whose accented letters happen to form valid UTF-8 must not be read as UTF-8.
TEST(TextFileTest, Utf8OnlyWhenItDecodesToPlausibleText) {
  const PlausibleCase cases[] = {
      {"1250 \"čšž\" is UTF-8 of one CJK character", "\xE8\x9A\x9E", CodePage::Windows1250, "čšž",
       TextEncoding::Windows1250},
      {"1250 word around it", "mo\xE8\x9A\x9Enik", CodePage::Windows1250, "močšžnik", TextEncoding::Windows1250},
      {"1250 \"Â\" + \"€\" form a C1 control in UTF-8", "\xC2\x80", CodePage::Windows1250, "Â€",
       TextEncoding::Windows1250},
      {"UTF-8 Slovene", "\xC4\x8D\xC5\xA1\xC5\xBE \xC4\x8C\xC5\xA0\xC5\xBD", CodePage::Windows1250, "čšž ČŠŽ",
       TextEncoding::Utf8},
      {"UTF-8 punctuation and symbols", "\xE2\x80\x9Eq\xE2\x80\x9C \xE2\x80\x93 5 \xE2\x82\xAC \xC2\xB0",
       CodePage::Windows1250, "„q“ – 5 € °", TextEncoding::Utf8},
      {"UTF-8 CJK is not text of these applications", "\xE6\x97\xA5", CodePage::Windows1250, "ć—Ą",
       TextEncoding::Windows1250},
      {"852 text that is valid UTF-8", "\xD0\xA0", CodePage::Cp852, "đá", TextEncoding::Cp852},
      {"UTF-8 Cyrillic with the Russian code page", "\xD0\x96", CodePage::Windows1251, "Ж", TextEncoding::Utf8},
      {"the same bytes with the 1250 code page", "\xD0\x96", CodePage::Windows1250, "Đ–",
       TextEncoding::Windows1250},
      {"a BOM means UTF-8 whatever follows", "\xEF\xBB\xBF\xE6\x97\xA5", CodePage::Windows1250, "日",
       TextEncoding::Utf8Bom},
  };
  for (const PlausibleCase& c : cases) {
    const DecodedText decoded = decodeText(c.bytes, c.codePage);
    EXPECT_EQ(decoded.text, QString::fromUtf8(c.text)) << c.name;
    EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
    EXPECT_EQ(encodeText(decoded.text, decoded.encoding), c.bytes) << c.name;
  }
}

TEST(TextFileTest, TheSettingsCharsetChoosesTheCodePageOfFiles) {
  const std::pair<const char*, CodePage> cases[] = {{"EASTEUROPE_CHARSET", CodePage::Windows1250},
                                                    {"EASTEUROPE", CodePage::Windows1250},
                                                    {"OEM", CodePage::Cp852},
                                                    {"RUSSIAN", CodePage::Windows1251},
                                                    {"", CodePage::Windows1250}};
  for (const auto& [charset, codePage] : cases) EXPECT_EQ(codePageOfCharset(charset), codePage) << charset;
  setFileCodePage(CodePage::Cp852);
  EXPECT_EQ(decodeText("\xAC").text, QString::fromUtf8("Č"));
  setFileCodePage(CodePage::Windows1250);
  EXPECT_EQ(decodeText("\xC8").text, QString::fromUtf8("Č"));
}

struct CodePageCase {
  CodePage codePage;
  const char* text;  // UTF-8
  QByteArray bytes;
};

TEST(TextFileTest, ConvertsCodePagesBothWays) {
  const CodePageCase cases[] = {
      {CodePage::Windows1250, "ČčŠšŽžĆćĐđ €", "\xC8\xE8\x8A\x9A\x8E\x9E\xC6\xE6\xD0\xF0 \x80"},
      {CodePage::Cp852, "ČčŠšŽžĆćĐđ", "\xAC\x9F\xE6\xE7\xA6\xA7\x8F\x86\xD1\xD0"},
      {CodePage::Windows1251, "ЖжЉљ abc", "\xC6\xE6\x8A\x9A abc"},
  };
  for (const CodePageCase& c : cases) {
    const QString text = QString::fromUtf8(c.text);
    EXPECT_EQ(encodeCodePage(text, c.codePage), c.bytes) << c.text;
    EXPECT_EQ(decodeCodePage(c.bytes, c.codePage), text) << c.text;
  }
}

TEST(TextFileTest, UnconvertibleInputGivesAClearError) {
  struct Case {
    std::function<void()> convert;
    const char* expected;
  };
  const Case cases[] = {
      {[] { encodeCodePage(QString::fromUtf8("ab日c"), CodePage::Windows1250); },
       "The character \"日\" (U+65E5) at position 3 cannot be written in Windows-1250."},
      {[] { encodeCodePage(QString::fromUtf8("Ж"), CodePage::Cp852); },
       "The character \"Ж\" (U+0416) at position 1 cannot be written in code page 852."},
      {[] { encodeCodePage(QString::fromUtf8("ok č"), CodePage::Windows1251); },
       "The character \"č\" (U+010D) at position 4 cannot be written in Windows-1251."},
      {[] { encodeCodePage(QString::fromUtf8("\u0081"), CodePage::Windows1250); },
       "The character \"\u0081\" (U+0081) at position 1 cannot be written in Windows-1250."},
      {[] { encodeText(QString::fromUtf8("a😀"), TextEncoding::Windows1250); },
       "The character \"😀\" (U+1F600) at position 2 cannot be written in Windows-1250."},
      {[] { decodeCodePage("ab\x98", CodePage::Windows1251); },
       "The byte 0x98 at offset 2 is not valid Windows-1251 text."},
      {[] { decodeCodePage("\x81", CodePage::Windows1250); },
       "The byte 0x81 at offset 0 is not valid Windows-1250 text."},
  };
  for (const Case& c : cases) {
    try {
      c.convert();
      ADD_FAILURE() << "no error, expected: " << c.expected;
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.message(), QString::fromUtf8(c.expected));
    }
  }
}

TEST(TextFileTest, ConvertsLineEnds) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      // text, CR LF -> LF, LF -> CR LF
      {"a\r\nb\r\n", "a\nb\n", "a\r\nb\r\n"},  {"a\nb", "a\nb", "a\r\nb"},
      {"a\r\nb\nc", "a\nb\nc", "a\r\nb\r\nc"}, {"lone\rcr", "lone\rcr", "lone\rcr"},
      {"\n\r\n\n", "\n\n\n", "\r\n\r\n\r\n"},  {"", "", ""},
  };
  for (const auto& [text, lf, crlf] : cases) {
    EXPECT_EQ(crlfToLf(text), lf) << text;
    EXPECT_EQ(lfToCrlf(text), crlf) << text;
  }
}

TEST(TextFileTest, FilesAreWrittenBackInTheEncodingTheyWereReadIn) {
  const QString dir = newTempDir("text");
  const std::pair<const char*, QByteArray> cases[] = {
      {"utf8.sql", "select '\xC5\xA1' from dual;\r\n"},
      {"bom.sql", "\xEF\xBB\xBFselect 1 from dual;\n"},
      {"ansi.sql", "select '\x9A' from dual;\r\n"},
  };
  for (const auto& [name, bytes] : cases) {
    const QString path = dir + '/' + name;
    writeBytes(path, bytes);
    DecodedText file = readTextFile(path);
    EXPECT_TRUE(file.text.startsWith("select ")) << name;
    file.text = lfToCrlf(crlfToLf(file.text) + QString::fromUtf8("-- Čč\n"));
    writeTextFile(path, file.text, file.encoding);
    EXPECT_EQ(readTextFile(path).encoding, file.encoding) << name;
    EXPECT_EQ(readTextFile(path).text, file.text) << name;
  }
  EXPECT_EQ(readBytes(dir + "/ansi.sql"), "select '\x9A' from dual;\r\n-- \xC8\xE8\r\n");

  writeTextFile(dir + "/new.txt", QString::fromUtf8("ž"));
  EXPECT_EQ(readBytes(dir + "/new.txt"), "\xC5\xBE");
}

TEST(TextFileTest, FailuresThrowAndLeaveFilesAlone) {
  const QString dir = newTempDir("text_fail");
  EXPECT_THROW(readTextFile(dir + "/missing.txt"), PlatformError);
  EXPECT_THROW(writeTextFile(dir + "/no/such/dir.txt", "x"), PlatformError);
  writeBytes(dir + "/ansi.txt", "\x8A");
  EXPECT_THROW(writeTextFile(dir + "/ansi.txt", QString::fromUtf8("日"), TextEncoding::Windows1250),
               PlatformError);
  EXPECT_EQ(readBytes(dir + "/ansi.txt"), "\x8A");
  EXPECT_EQ(entriesOf(dir), QStringList{"ansi.txt"});
}

}  // namespace
}  // namespace nuvo
