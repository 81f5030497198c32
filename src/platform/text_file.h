#pragma once

#include <QByteArray>
#include <QString>

namespace nuvo {

// How a text file is stored. Files are read as UTF-8 when their bytes are valid UTF-8 (a byte order
// mark is dropped and remembered), else as Windows-1250; they are written back the way they were
// read.
enum class TextEncoding { Utf8, Utf8Bom, Windows1250 };

// The single-byte code pages the program converts to and from.
enum class CodePage { Windows1250, Cp852, Windows1251 };

struct DecodedText {
  QString text;
  TextEncoding encoding = TextEncoding::Utf8;
};

// Detects the encoding of `bytes` and decodes them. Never fails: a Windows-1250 byte that has no
// character (0x81, 0x83, ...) becomes the control character of the same number, so it survives a
// round trip.
DecodedText decodeText(const QByteArray& bytes);

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
