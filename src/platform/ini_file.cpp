#include "platform/ini_file.h"

#include <QFile>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/text_file.h"

namespace nuvo {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Writes read, change and replace the file; threads of this program take turns so that no write
// undoes another.
std::mutex writeMutex;

struct Line {
  QString text;
  QString end;  // "\r\n", "\n" or "" for a last line without a line end
};

enum class LineKind { Other, Section, Entry };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  QString name;
  qsizetype valueStart = 0;  // entries: where the value begins in the line
  QString value;
};

ParsedLine parseLine(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.startsWith('[')) {
    const qsizetype close = trimmed.indexOf(']');
    return {LineKind::Section, trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed(), 0, {}};
  }
  if (trimmed.startsWith(';')) return {};
  const qsizetype equals = text.indexOf('=');
  if (equals < 0) return {};
  const QString name = text.left(equals).trimmed();
  if (name.isEmpty()) return {};
  qsizetype valueStart = equals + 1;
  while (valueStart < text.size() && text.at(valueStart).isSpace()) ++valueStart;
  return {LineKind::Entry, name, valueStart, text.mid(valueStart).trimmed()};
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The file as lines, with what is needed to write it back unchanged.
struct Document {
  std::vector<Line> lines;
  TextEncoding encoding = TextEncoding::Utf8;
  QString lineEnd = kCrLf;  // for lines we add

  // A file that does not exist reads as empty; one that exists but cannot be read does too, for
  // reading. For writing it is an error, since writing would replace what we could not read.
  static Document load(const QString& fileName, bool forWriting = false) {
    Document doc;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
      if (forWriting && file.exists())
        throw PlatformError(
            QStringLiteral("Cannot read the file %1: %2").arg(fileName, file.errorString()));
      return doc;
    }
    const DecodedText decoded = decodeText(file.readAll());
    doc.encoding = decoded.encoding;
    const QString& text = decoded.text;
    qsizetype start = 0;
    while (start < text.size()) {
      const qsizetype newline = text.indexOf('\n', start);
      if (newline < 0) {
        doc.lines.push_back({text.mid(start), {}});
        break;
      }
      const bool crlf = newline > start && text.at(newline - 1) == '\r';
      const qsizetype textEnd = crlf ? newline - 1 : newline;
      doc.lines.push_back({text.mid(start, textEnd - start), crlf ? kCrLf : QStringLiteral("\n")});
      start = newline + 1;
    }
    if (!doc.lines.empty() && !doc.lines.front().end.isEmpty()) doc.lineEnd = doc.lines.front().end;
    return doc;
  }

  void save(const QString& fileName) const {
    QString text;
    for (const Line& line : lines) text += line.text + line.end;
    writeFileAtomically(fileName, encodeText(text, encoding));
  }

  // Index of the first header of the section, if any.
  std::optional<size_t> findSection(const QString& section) const {
    for (size_t i = 0; i < lines.size(); ++i) {
      const ParsedLine parsed = parseLine(lines[i].text);
      if (parsed.kind == LineKind::Section && sameName(parsed.name, section)) return i;
    }
    return std::nullopt;
  }

  // One past the last line of the section whose header is at `header`.
  size_t sectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines.size() && parseLine(lines[i].text).kind != LineKind::Section) ++i;
    return i;
  }

  // The first entry of the key in the section, with its line index.
  std::optional<std::pair<size_t, ParsedLine>> findEntry(const QString& section,
                                                         const QString& key) const {
    const auto header = findSection(section);
    if (!header) return std::nullopt;
    for (size_t i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
      ParsedLine parsed = parseLine(lines[i].text);
      if (parsed.kind == LineKind::Entry && sameName(parsed.name, key))
        return std::pair{i, std::move(parsed)};
    }
    return std::nullopt;
  }

  // Inserts a line before `index`, giving it this file's line end; a line added after a last line
  // without a line end takes over that state.
  void insertLine(size_t index, const QString& text) {
    Line line{text, lineEnd};
    if (index == lines.size() && !lines.empty() && lines.back().end.isEmpty()) {
      lines.back().end = lineEnd;
      line.end.clear();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), line);
  }

  void eraseLines(size_t first, size_t last) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first),
                lines.begin() + static_cast<std::ptrdiff_t>(last));
  }
};

bool hasLineBreak(const QString& text) { return text.contains('\n') || text.contains('\r'); }

void checkWritable(const QString& section, const QString& key, const QString& value) {
  const QString trimmedSection = section.trimmed();
  if (trimmedSection.isEmpty() || trimmedSection.contains(']') || hasLineBreak(section))
    throw PlatformError(QStringLiteral("\"%1\" cannot be a section name.").arg(section));
  const QString trimmedKey = key.trimmed();
  if (trimmedKey.isEmpty() || trimmedKey.contains('=') || trimmedKey.startsWith('[') ||
      trimmedKey.startsWith(';') || hasLineBreak(key))
    throw PlatformError(QStringLiteral("\"%1\" cannot be a key name.").arg(key));
  if (hasLineBreak(value))
    throw PlatformError(
        QStringLiteral("The value of %1 in [%2] cannot hold a line break.").arg(key, section));
}

}  // namespace

IniFile::IniFile(QString fileName) : fileName_(std::move(fileName)) {}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
  const auto entry = Document::load(fileName_).findEntry(section, key);
  return entry ? entry->second.value : defaultValue;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
  bool ok = false;
  const int value = readString(section, key).toInt(&ok);
  return ok ? value : defaultValue;
}

bool IniFile::sectionExists(const QString& section) const {
  return Document::load(fileName_).findSection(section).has_value();
}

bool IniFile::valueExists(const QString& section, const QString& key) const {
  return Document::load(fileName_).findEntry(section, key).has_value();
}

QStringList IniFile::readSection(const QString& section) const {
  const Document doc = Document::load(fileName_);
  QStringList keys;
  const auto header = doc.findSection(section);
  if (!header) return keys;
  for (size_t i = *header + 1, end = doc.sectionEnd(*header); i < end; ++i) {
    const ParsedLine parsed = parseLine(doc.lines[i].text);
    if (parsed.kind == LineKind::Entry && !keys.contains(parsed.name, Qt::CaseInsensitive))
      keys.append(parsed.name);
  }
  return keys;
}

QStringList IniFile::readSections() const {
  QStringList sections;
  for (const Line& line : Document::load(fileName_).lines) {
    const ParsedLine parsed = parseLine(line.text);
    if (parsed.kind == LineKind::Section && !sections.contains(parsed.name, Qt::CaseInsensitive))
      sections.append(parsed.name);
  }
  return sections;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
  checkWritable(section, key, value);
  const std::lock_guard lock(writeMutex);
  Document doc = Document::load(fileName_, true);
  if (const auto entry = doc.findEntry(section, key)) {
    QString& text = doc.lines[entry->first].text;
    text = text.left(entry->second.valueStart) + value;
  } else if (const auto header = doc.findSection(section)) {
    size_t insertAt = doc.sectionEnd(*header);
    while (insertAt > *header + 1 && doc.lines[insertAt - 1].text.trimmed().isEmpty()) --insertAt;
    doc.insertLine(insertAt, key.trimmed() + '=' + value);
  } else {
    if (!doc.lines.empty() && !doc.lines.back().text.trimmed().isEmpty())
      doc.insertLine(doc.lines.size(), {});
    doc.insertLine(doc.lines.size(), '[' + section.trimmed() + ']');
    doc.insertLine(doc.lines.size(), key.trimmed() + '=' + value);
  }
  doc.save(fileName_);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
  writeString(section, key, QString::number(value));
}

void IniFile::eraseKey(const QString& section, const QString& key) {
  const std::lock_guard lock(writeMutex);
  Document doc = Document::load(fileName_, true);
  const auto entry = doc.findEntry(section, key);
  if (!entry) return;
  doc.eraseLines(entry->first, entry->first + 1);
  doc.save(fileName_);
}

void IniFile::eraseSection(const QString& section) {
  const std::lock_guard lock(writeMutex);
  Document doc = Document::load(fileName_, true);
  const auto header = doc.findSection(section);
  if (!header) return;
  doc.eraseLines(*header, doc.sectionEnd(*header));
  doc.save(fileName_);
}

}  // namespace nuvo
