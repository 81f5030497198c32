#include "platform/text_file.h"

#include <iconv.h>

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <functional>

#include "platform/error.h"

namespace nuvo {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

const char* iconvName(CodePage codePage) {
  switch (codePage) {
    case CodePage::Windows1250:
      return "CP1250";
    case CodePage::Cp852:
      return "CP852";
    case CodePage::Windows1251:
      return "CP1251";
  }
  return "CP1250";
}

// One iconv conversion descriptor, closed on scope exit.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw PlatformError(QStringLiteral("The conversion from %1 to %2 is not available.")
                              .arg(QLatin1StringView(from), QLatin1StringView(to)));
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // What to emit in place of an input sequence that has no counterpart, and how many input bytes
  // that sequence takes.
  struct Replacement {
    QByteArray bytes;
    qsizetype inputLength = 1;
  };

  // Converts `input`. At an input sequence that has no counterpart, `onInvalid(offset)` either
  // throws or says what to emit in its place.
  QByteArray convert(const QByteArray& input,
                     const std::function<Replacement(qsizetype offset)>& onInvalid) {
    QByteArray output(input.size() * 4 + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    qsizetype used = 0;
    while (inLeft > 0) {
      char* out = output.data() + used;
      size_t outLeft = static_cast<size_t>(output.size() - used);
      const size_t rc = iconv(cd_, &in, &inLeft, &out, &outLeft);
      used = out - output.data();
      if (rc != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        output.resize(output.size() * 2);
      } else {
        // EILSEQ or EINVAL (a sequence cut off at the end): both are input we cannot convert.
        const Replacement replacement = onInvalid(in - input.constData());
        output.resize(std::max(output.size(), used + replacement.bytes.size() + 16));
        std::copy(replacement.bytes.begin(), replacement.bytes.end(), output.data() + used);
        used += replacement.bytes.size();
        const auto skip = static_cast<size_t>(std::min<qsizetype>(replacement.inputLength, inLeft));
        in += skip;
        inLeft -= skip;
      }
    }
    output.resize(used);
    return output;
  }

 private:
  iconv_t cd_;
};

QString hexByte(char byte) {
  return QStringLiteral("0x") +
         QString::number(static_cast<uchar>(byte), 16).rightJustified(2, '0').toUpper();
}

QString decode(const QByteArray& bytes, CodePage codePage, bool keepUndefinedBytes) {
  Converter converter("UTF-8", iconvName(codePage));
  const QByteArray utf8 = converter.convert(bytes, [&](qsizetype offset) -> Converter::Replacement {
    const char byte = bytes.at(offset);
    if (!keepUndefinedBytes)
      throw PlatformError(QStringLiteral("The byte %1 at offset %2 is not valid %3 text.")
                              .arg(hexByte(byte))
                              .arg(offset)
                              .arg(codePageName(codePage)));
    return {QString(QChar(static_cast<uchar>(byte))).toUtf8(), 1};
  });
  return QString::fromUtf8(utf8);
}

QByteArray encode(const QString& text, CodePage codePage, bool keepUndefinedBytes) {
  const QByteArray utf8 = text.toUtf8();
  Converter converter(iconvName(codePage), "UTF-8");
  return converter.convert(utf8, [&](qsizetype offset) -> Converter::Replacement {
    // A UTF-8 sequence is at most 4 bytes long.
    const char32_t character = QString::fromUtf8(utf8.mid(offset, 4)).toUcs4().value(0);
    if (keepUndefinedBytes && character >= 0x80 && character <= 0x9F) {
      // A control character that stood for an undefined byte when the file was read: write that
      // byte.
      return {QByteArray(1, static_cast<char>(character)), 2};
    }
    throw PlatformError(
        QStringLiteral("The character \"%1\" (U+%2) at position %3 cannot be written "
                       "in %4.")
            .arg(QString::fromUcs4(&character, 1))
            .arg(QString::number(character, 16).rightJustified(4, '0').toUpper())
            .arg(QString::fromUtf8(utf8.left(offset)).size() + 1)
            .arg(codePageName(codePage)));
  });
}

bool isValidUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString ignored = decoder.decode(bytes);
  return !decoder.hasError();
}

}  // namespace

QString codePageName(CodePage codePage) {
  switch (codePage) {
    case CodePage::Windows1250:
      return QStringLiteral("Windows-1250");
    case CodePage::Cp852:
      return QStringLiteral("code page 852");
    case CodePage::Windows1251:
      return QStringLiteral("Windows-1251");
  }
  return {};
}

QString decodeCodePage(const QByteArray& bytes, CodePage codePage) {
  return decode(bytes, codePage, false);
}

QByteArray encodeCodePage(const QString& text, CodePage codePage) {
  return encode(text, codePage, false);
}

CodePage codePageOfCharset(const QString& charset) {
  const QString name = charset.trimmed().toUpper();
  if (name.startsWith(u"OEM")) return CodePage::Cp852;
  if (name.startsWith(u"RUSSIAN")) return CodePage::Windows1251;
  return CodePage::Windows1250;
}

namespace {
std::atomic<CodePage> gFileCodePage{CodePage::Windows1250};
}

void setFileCodePage(CodePage codePage) { gFileCodePage = codePage; }
CodePage fileCodePage() { return gFileCodePage; }

TextEncoding encodingOf(CodePage codePage) {
  switch (codePage) {
    case CodePage::Windows1250:
      return TextEncoding::Windows1250;
    case CodePage::Cp852:
      return TextEncoding::Cp852;
    case CodePage::Windows1251:
      return TextEncoding::Windows1251;
  }
  return TextEncoding::Windows1250;
}

bool isPlausibleText(const QString& text, CodePage codePage) {
  const auto plausible = [codePage](char32_t c) {
    if (c < 0x80) return true;                      // ASCII, tabs and line ends included
    if (c >= 0x80 && c < 0xA0) return false;         // C1 controls
    if (c <= 0x024F) return true;                    // Latin-1 symbols, Latin letters and extensions
    if (c >= 0x02B0 && c <= 0x036F) return true;     // modifier letters (ˇ ˘ ˛ ˝), combining accents
    if (c >= 0x1E00 && c <= 0x1EFF) return true;     // Latin extended additional
    if (c >= 0x2000 && c <= 0x206F) return true;     // punctuation: dashes, quotes, bullet, ellipsis
    if (c >= 0x20A0 && c <= 0x20CF) return true;     // currency signs (euro)
    if (c >= 0x2100 && c <= 0x214F) return true;     // letter-like symbols (trade mark, numero)
    if (c >= 0x0400 && c <= 0x04FF) return codePage == CodePage::Windows1251;  // Cyrillic
    return false;
  };
  const QList<uint> characters = text.toUcs4();
  return std::all_of(characters.begin(), characters.end(), plausible);
}

DecodedText decodeText(const QByteArray& bytes, CodePage codePage) {
  if (bytes.startsWith(kUtf8Bom) && isValidUtf8(bytes))
    return {QString::fromUtf8(bytes.mid(kUtf8Bom.size())), TextEncoding::Utf8Bom};
  if (isValidUtf8(bytes)) {
    QString text = QString::fromUtf8(bytes);
    if (isPlausibleText(text, codePage)) return {std::move(text), TextEncoding::Utf8};
  }
  return {decode(bytes, codePage, true), encodingOf(codePage)};
}

DecodedText decodeText(const QByteArray& bytes) { return decodeText(bytes, fileCodePage()); }

QByteArray encodeText(const QString& text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return text.toUtf8();
    case TextEncoding::Utf8Bom:
      return kUtf8Bom + text.toUtf8();
    case TextEncoding::Windows1250:
      return encode(text, CodePage::Windows1250, true);
    case TextEncoding::Cp852:
      return encode(text, CodePage::Cp852, true);
    case TextEncoding::Windows1251:
      return encode(text, CodePage::Windows1251, true);
  }
  return text.toUtf8();
}

DecodedText readTextFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw PlatformError(
        QStringLiteral("Cannot read the file %1: %2").arg(path, file.errorString()));
  return decodeText(file.readAll());
}

void writeTextFile(const QString& path, const QString& text, TextEncoding encoding) {
  writeFileAtomically(path, encodeText(text, encoding));
}

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
  // Unbuffered, so that a short write (disk full, size limit) shows in write()'s count: a buffered
  // QSaveFile can commit a cut-off file in that case.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
      file.write(bytes) != bytes.size() || !file.commit())
    throw PlatformError(
        QStringLiteral("Cannot write the file %1: %2").arg(path, file.errorString()));
}

QString crlfToLf(const QString& text) {
  QString result = text;
  result.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
  return result;
}

QString lfToCrlf(const QString& text) {
  QString result = crlfToLf(text);
  result.replace(QLatin1Char('\n'), QLatin1StringView("\r\n"));
  return result;
}

}  // namespace nuvo
