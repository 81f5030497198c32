#pragma once

#include <QByteArray>
#include <QString>

namespace nuvo {

// How a text file is stored. A byte order mark means UTF-8 (dropped and remembered); otherwise the
// bytes are UTF-8 only when they are valid UTF-8 and decode to plausible text of these applications,
// else they are in the settings' code page. Files are written back the way they were read.
enum class TextEncoding { Utf8, Utf8Bom, Windows1250, Cp852, Windows1251 };

// The single-byte code pages the program converts to and from.
enum class CodePage { Windows1250, Cp852, Windows1251 };

// The code page of text files that are not UTF-8: the settings' character set (CURR_CHARSET: "OEM"
// is code page 852, "RUSSIAN" Windows-1251, anything else Windows-1250).
CodePage codePageOfCharset(const QString& charset);
void setFileCodePage(CodePage codePage);
CodePage fileCodePage();
TextEncoding encodingOf(CodePage codePage);

// Whether decoded UTF-8 text is plausible text of these applications: letters of the Latin
// alphabets (and Cyrillic ones when the file code page is Windows-1251), punctuation and the usual
// symbols. Single-byte text that happens to be valid UTF-8 ("čšž" in Windows-1250 is E8 9A 9E,
// one CJK character in UTF-8) decodes to something else.
bool isPlausibleText(const QString& text, CodePage codePage);

struct DecodedText {
  QString text;
  TextEncoding encoding = TextEncoding::Utf8;
};

// Detects the encoding of `bytes` and decodes them; `codePage` is the one of text that is not
// UTF-8. Never fails: a byte that has no character in the code page (0x81, 0x83, ... in
// Windows-1250) becomes the control character of the same number, so it survives a round trip.
DecodedText decodeText(const QByteArray& bytes, CodePage codePage);
DecodedText decodeText(const QByteArray& bytes);  // in fileCodePage()

// Encodes `text`; throws PlatformError when a character has no place in the encoding.
QByteArray encodeText(const QString& text, TextEncoding encoding);

// Reads a whole file with its detected encoding; throws PlatformError when it cannot be read.
DecodedText readTextFile(const QString& path);

// Replaces a file's content all at once (temporary file, then rename): a failure leaves the old
// file as it was and throws PlatformError. New files are UTF-8 unless told otherwise.
void writeTextFile(const QString& path, const QString& text,
                   TextEncoding encoding = TextEncoding::Utf8);
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// Strict conversions between Unicode and a code page; unconvertible input throws PlatformError
// naming the character or byte and its position.
QString decodeCodePage(const QByteArray& bytes, CodePage codePage);
QByteArray encodeCodePage(const QString& text, CodePage codePage);
QString codePageName(CodePage codePage);

// Line ends at the boundary: files and database rows carry CR LF, editors hold LF.
QString crlfToLf(const QString& text);
QString lfToCrlf(const QString& text);

}  // namespace nuvo
