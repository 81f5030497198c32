#include "schema/compare_logic.h"

#include <QHash>

#include <algorithm>
#include <utility>

#include "db/query.h"
#include "platform/error.h"
#include "platform/text_file.h"
#include "shell/sql_catalog.h"

namespace nuvo::schema {

namespace {

const SqlText kGetAllStructure{"cmpstru.GETALLSTRUCTURE",
                               {"BEGIN", "  NUVO_UTIL.PCKSTRUKTURE.GETALLSTRUCTURE(:owner, :pattern, :type);", "END;"}};
const SqlText kGetFromTable{"cmpstru.GETFROMTABLE", {"BEGIN", "  :line := NUVO_UTIL.PCKSTRUKTURE.GETFROMTABLE;", "END;"}};

const QString kHeaderMark = QStringLiteral("###");
const QString kEndMark = QStringLiteral("###END##");
const QString kArrow = QStringLiteral("  -->  ");
const QString kCrLf = QStringLiteral("\r\n");

QString trimLeft(const QString& text) {
  qsizetype start = 0;
  while (start < text.size() && text.at(start).isSpace()) ++start;
  return text.mid(start);
}

// A body as one text: leading blanks and blank lines and trailing blank lines dropped, CR LF between
// lines, so the line ends a file was written with do not count.
QString bodyText(const QStringList& body) {
  qsizetype last = body.size();
  while (last > 0 && body.at(last - 1).trimmed().isEmpty()) --last;
  return trimLeft(body.mid(0, last).join(kCrLf));
}

// Whether two bodies are the same as bodyText would make them, without building the texts.
bool sameBody(const QStringList& a, const QStringList& b) {
  const auto range = [](const QStringList& body) {
    qsizetype first = 0, last = body.size();
    while (first < last && body.at(first).trimmed().isEmpty()) ++first;
    while (last > first && body.at(last - 1).trimmed().isEmpty()) --last;
    return std::pair{first, last};
  };
  const auto [aFirst, aLast] = range(a);
  const auto [bFirst, bLast] = range(b);
  if (aLast - aFirst != bLast - bFirst) return false;
  if (aFirst == aLast) return true;
  if (trimLeft(a.at(aFirst)) != trimLeft(b.at(bFirst))) return false;
  for (qsizetype i = 1; i < aLast - aFirst; ++i)
    if (a.at(aFirst + i) != b.at(bFirst + i)) return false;
  return true;
}

// A primary key's line is the same with or without its trailing UNIQUE.
QString withoutPrimaryKeyUnique(const QString& line) {
  static const QString unique = QStringLiteral(" UNIQUE");
  if (line.startsWith(u"PK_") && line.endsWith(unique)) return line.left(line.size() - unique.size());
  return line;
}

// The first word with its blank; a line without a blank is its own word.
QString firstWord(const QString& line) {
  const qsizetype blank = line.indexOf(u' ');
  return blank < 0 ? line : line.left(blank + 1);
}

bool beginsWithWord(const QString& line, const QString& word) {
  if (word.endsWith(u' ')) return line.startsWith(word);
  return line == word || line.startsWith(word + u' ');
}

enum Section { Columns, Constraints, Indexes };

// The section a marker line opens, or -1.
int sectionOf(const QString& line) {
  if (line.startsWith(u"#CON")) return Constraints;
  if (line.startsWith(u"#IND")) return Indexes;
  return -1;
}

struct CurrentLine {
  QString text;
  bool used = false;
};

}  // namespace

QStringList textLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype size = text.size();
  for (qsizetype i = 0; i < size; ++i) {
    const QChar c = text.at(i);
    if (c != u'\r' && c != u'\n') continue;
    lines << text.mid(start, i - start);
    if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n') ++i;
    start = i + 1;
  }
  if (start < size) lines << text.mid(start);
  return lines;
}

QString headerType(const QString& header) {
  const qsizetype begin = header.indexOf(kHeaderMark);
  if (begin < 0) return {};
  const qsizetype from = begin + kHeaderMark.size();
  const qsizetype end = header.indexOf(u'#', from);
  return end < 0 ? header.mid(from) : header.mid(from, end - from);
}

QString headerName(const QString& header) {
  const qsizetype begin = header.indexOf(kHeaderMark);
  if (begin < 0) return {};
  const qsizetype typeEnd = header.indexOf(u'#', begin + kHeaderMark.size());
  if (typeEnd < 0) return {};
  const QString rest = header.mid(typeEnd + 1, 100);
  const qsizetype end = rest.indexOf(u'#');
  return end < 0 ? rest : rest.left(end);
}

std::vector<SnapshotObject> parseSnapshot(const QString& text) {
  std::vector<SnapshotObject> objects;
  for (const QString& line : textLines(text)) {
    const qsizetype mark = line.indexOf(kHeaderMark);
    if (mark >= 0) {
      const QString header = line.mid(mark);
      if (header.startsWith(kEndMark)) break;
      objects.push_back({header, headerType(header), headerName(header), {}});
    } else if (!objects.empty()) {
      objects.back().body << line;
    }
  }
  return objects;
}

QStringList tableDifferences(const QStringList& reference, const QStringList& current, const QString& notExists) {
  // The current table's lines by section, each to be matched once.
  std::vector<CurrentLine> sections[3];
  int section = Columns;
  for (const QString& raw : current) {
    const QString line = trimLeft(raw);
    if (line.isEmpty()) continue;
    if (const int opened = sectionOf(line); opened >= 0) {
      section = opened;
      continue;
    }
    sections[section].push_back({withoutPrimaryKeyUnique(line)});
  }

  QStringList differences;
  QString prefix;
  section = Columns;
  for (const QString& raw : reference) {
    const QString line = withoutPrimaryKeyUnique(trimLeft(raw));
    if (line.isEmpty()) continue;
    if (const int opened = sectionOf(line); opened >= 0) {
      section = opened;
      prefix = opened == Constraints ? QStringLiteral("CNS:") : QStringLiteral("IDX:");
      continue;
    }
    if (line.startsWith(u"SYS_")) continue;
    auto& candidates = sections[section];
    auto same = std::find_if(candidates.begin(), candidates.end(),
                             [&line](const CurrentLine& c) { return !c.used && c.text == line; });
    if (same != candidates.end()) {
      same->used = true;
      continue;
    }
    const QString word = firstWord(line);
    auto changed = std::find_if(candidates.begin(), candidates.end(),
                                [&word](const CurrentLine& c) { return !c.used && beginsWithWord(c.text, word); });
    if (changed != candidates.end()) {
      changed->used = true;
      differences << prefix + line + kArrow + changed->text;
    } else {
      differences << prefix + word + u' ' + notExists;
    }
  }
  return differences;
}

CompareResult compareSnapshots(const QString& reference, const QString& current, const CompareTexts& texts,
                               int maxDifferences) {
  const std::vector<SnapshotObject> currentObjects = parseSnapshot(current);
  QHash<QString, const SnapshotObject*> byHeader;
  for (const SnapshotObject& object : currentObjects)
    if (!byHeader.contains(object.header)) byHeader.insert(object.header, &object);

  CompareResult result;
  const auto record = [&](const SnapshotObject& object, const QString& text) {
    if (int(result.differences.size()) >= maxDifferences) {
      result.tooMany = true;
      return false;
    }
    result.differences.push_back({object.type, object.name, text});
    return true;
  };
  for (const SnapshotObject& object : parseSnapshot(reference)) {
    const auto found = byHeader.constFind(object.header);
    if (found == byHeader.constEnd()) {
      if (!record(object, texts.notExists)) break;
      continue;
    }
    if (sameBody(object.body, (*found)->body)) continue;
    const QString referenceBody = bodyText(object.body);
    const QString currentBody = bodyText((*found)->body);
    QString text;
    if (object.type == u"TABLE") {
      const QStringList lines = tableDifferences(object.body, (*found)->body, texts.notExists);
      if (lines.isEmpty()) continue;
      text = lines.join(kCrLf);
    } else if (object.type.startsWith(u"INDEX")) {
      text = referenceBody + kArrow + currentBody;
    } else {
      text = texts.notEqual + u' ' + QString::number(referenceBody.size()) + QStringLiteral("  ") +
             QString::number(currentBody.size());
    }
    if (!record(object, text)) break;
  }
  return result;
}

QString differenceGridText(const SnapshotDifference& difference) {
  const QStringList lines = textLines(difference.text);
  if (lines.size() > 1) return lines.first() + QStringLiteral(" .....");
  return difference.text;
}

QStringList differenceReportLines(const QStringList& header, const std::vector<SnapshotDifference>& differences) {
  QStringList lines = header;
  const QString indent(6, u' ');
  for (const SnapshotDifference& difference : differences) {
    lines << difference.type + u' ' + difference.name + QStringLiteral("  ");
    for (const QString& line : textLines(difference.text)) lines << indent + line;
  }
  return lines;
}

QStringList takeSnapshot(db::Session& session, const QString& owner, const QString& pattern, const QString& type,
                         const std::function<void(int)>& progress) {
  db::Query start(&session);
  start.setSql(kGetAllStructure);
  for (const char* name : {"owner", "pattern", "type"}) start.declareVariable(name, db::DataType::String);
  start.setVariable("owner", owner);
  start.setVariable("pattern", pattern);
  const QString wanted = type.trimmed();
  start.setVariable("type", wanted == u"ALL" ? QString() : wanted);
  start.execute();

  QStringList lines;
  db::Query next(&session);
  next.setSql(kGetFromTable);
  next.declareVariable("line", db::DataType::String);
  for (;;) {
    next.execute();
    const QVariant value = next.getVariable("line");
    const QString line = value.isValid() ? value.toString() : QString();
    if (line == u"NULL") break;
    lines << line;
    if (progress && lines.size() % 1000 == 0) progress(int(lines.size()));
  }
  return lines;
}

void writeLinesFile(const QString& path, const QStringList& lines) {
  QString text;
  for (const QString& line : lines) text += line + kCrLf;
  const TextEncoding codePage = encodingOf(fileCodePage());
  try {
    encodeText(text, codePage);
  } catch (const PlatformError&) {
    // A character the code page lacks: the file is UTF-8, marked as such.
    writeTextFile(path, text, TextEncoding::Utf8Bom);
    return;
  }
  writeTextFile(path, text, codePage);
}

QString readSnapshotFile(const QString& path) { return readTextFile(path).text; }

}  // namespace nuvo::schema
