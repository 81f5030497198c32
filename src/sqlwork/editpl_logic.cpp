#include "sqlwork/editpl_logic.h"

#include <QRegularExpression>
#include <algorithm>

#include "platform/ini_file.h"

namespace nuvo::sqlwork {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isIdentifierChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#'; }

// The words of a header, with the text offset each starts at; comments and blanks skipped. A quoted
// name is one word with its quotes.
struct Word {
  QString text;
  qsizetype at = 0;
};

class HeaderReader {
 public:
  explicit HeaderReader(const QString& text) : text_(text) {}

  std::optional<Word> next() {
    skip();
    if (p_ >= text_.size()) return std::nullopt;
    const qsizetype start = p_;
    if (text_[p_] == u'"') {
      const qsizetype close = text_.indexOf(u'"', p_ + 1);
      p_ = close < 0 ? text_.size() : close + 1;
    } else if (isIdentifierChar(text_[p_])) {
      while (p_ < text_.size() && isIdentifierChar(text_[p_])) ++p_;
    } else {
      ++p_;
    }
    return Word{text_.mid(start, p_ - start), start};
  }

 private:
  void skip() {
    for (;;) {
      while (p_ < text_.size() && text_[p_].isSpace()) ++p_;
      if (text_.mid(p_, 2) == u"--") {
        const qsizetype end = text_.indexOf(u'\n', p_);
        p_ = end < 0 ? text_.size() : end + 1;
      } else if (text_.mid(p_, 2) == u"/*") {
        const qsizetype end = text_.indexOf(QStringLiteral("*/"), p_ + 2);
        p_ = end < 0 ? text_.size() : end + 2;
      } else {
        return;
      }
    }
  }

  const QString& text_;
  qsizetype p_ = 0;
};

// A name as the dictionary keeps it: quoted as written, otherwise upper-cased.
QString dictionaryName(const QString& word) {
  if (!word.startsWith(u'"')) return word.toUpper();
  return word.size() > 1 && word.endsWith(u'"') ? word.mid(1, word.size() - 2) : word.mid(1);
}

bool containsWord(const QString& line, const QString& word) {
  const QString upper = line.toUpper();
  for (qsizetype at = upper.indexOf(word); at >= 0; at = upper.indexOf(word, at + 1)) {
    const bool before = at == 0 || !isIdentifierChar(upper[at - 1]);
    const qsizetype end = at + word.size();
    const bool after = end >= upper.size() || !isIdentifierChar(upper[end]);
    if (before && after) return true;
  }
  return false;
}

}  // namespace

BlockObject blockObject(const QStringList& blockLines) {
  const QString text = blockLines.join(u'\n');
  HeaderReader reader(text);
  auto upperWord = [&reader]() -> std::optional<Word> {
    std::optional<Word> w = reader.next();
    if (w && !w->text.startsWith(u'"')) w->text = w->text.toUpper();
    return w;
  };
  std::optional<Word> w = upperWord();
  if (!w || w->text != u"CREATE") return {};
  w = upperWord();
  if (w && w->text == u"OR") {
    w = upperWord();
    if (!w || w->text != u"REPLACE") return {};
    w = upperWord();
  }
  // The options that may stand before the type.
  static const QStringList kOptions = {QStringLiteral("EDITIONABLE"), QStringLiteral("NONEDITIONABLE"),
                                       QStringLiteral("EDITIONING"), QStringLiteral("FORCE"), QStringLiteral("NO")};
  while (w && kOptions.contains(w->text)) w = upperWord();
  if (!w) return {};
  static const QStringList kTypes = {QStringLiteral("PACKAGE"),  QStringLiteral("PROCEDURE"), QStringLiteral("FUNCTION"),
                                     QStringLiteral("TRIGGER"), QStringLiteral("VIEW"),      QStringLiteral("TYPE")};
  if (!kTypes.contains(w->text)) return {};
  BlockObject object;
  object.type = w->text;
  object.line = static_cast<int>(text.left(w->at).count(u'\n'));
  std::optional<Word> name = reader.next();
  if (name && (object.type == u"PACKAGE" || object.type == u"TYPE") && name->text.toUpper() == u"BODY") {
    object.type += QStringLiteral(" BODY");
    name = reader.next();
  }
  if (!name || !(name->text.startsWith(u'"') || isIdentifierChar(name->text[0]))) return {};
  object.name = dictionaryName(name->text);
  std::optional<Word> point = reader.next();
  if (point && point->text == u".") {
    std::optional<Word> second = reader.next();
    if (second && (second->text.startsWith(u'"') || isIdentifierChar(second->text[0]))) {
      object.owner = object.name;
      object.name = dictionaryName(second->text);
    }
  }
  return object;
}

QList<CompileBlock> splitBlocks(const QStringList& editorLines) {
  QList<CompileBlock> blocks;
  QStringList blockLines;
  CompileBlock block;
  auto finish = [&] {
    block.object = blockObject(blockLines);
    // A trigger's PL/SQL block begins at the first DECLARE or BEGIN from the TRIGGER line on.
    block.bodyOffset = -1;
    for (int i = 0; i < blockLines.size(); ++i) {
      if (!containsWord(blockLines[i], QStringLiteral("TRIGGER"))) continue;
      for (int j = i; j < blockLines.size(); ++j) {
        if (containsWord(blockLines[j], QStringLiteral("DECLARE")) || containsWord(blockLines[j], QStringLiteral("BEGIN"))) {
          block.bodyOffset = j;
          break;
        }
      }
      break;
    }
    blocks << block;
    block = CompileBlock();
    blockLines.clear();
  };
  for (int i = 0; i < editorLines.size(); ++i) {
    const QString& line = editorLines[i];
    if (line.startsWith(u'/') && !line.startsWith(QStringLiteral("/*"))) {
      finish();
      continue;
    }
    if (line.trimmed().isEmpty()) continue;
    block.text += line + kCrLf;
    block.lines << i;
    blockLines << line;
  }
  if (!block.empty()) finish();
  return blocks;
}

QString ownerFromHeader(const QString& line0, const QString& line1) {
  const QString line = line0.contains(u'.') ? line0 : line1.contains(u'.') ? line1 : QString();
  if (line.isEmpty()) return {};
  const QString before = line.left(line.indexOf(u'.'));
  return before.mid(before.lastIndexOf(u' ') + 1).left(100);
}

EditorPlace errorPlace(const CompileBlock& block, int serverLine, int position, bool withBodyOffset) {
  if (block.lines.isEmpty()) return {};
  const int base = withBodyOffset && block.bodyOffset >= 0 ? block.bodyOffset : block.object.line;
  const int index = std::clamp(base + std::max(serverLine, 1) - 1, 0, static_cast<int>(block.lines.size()) - 1);
  // The line's length in the block text: lines are kept whole, so columns are the editor's.
  const QStringList lines = block.text.split(kCrLf);
  const int length = index < lines.size() ? static_cast<int>(lines[index].size()) : 0;
  return {block.lines[index], std::clamp(position - 1, 0, length)};
}

int originalColumn(const QString& originalLine, int renamedColumn, const std::function<QString(const QString&)>& rename) {
  if (!rename) return renamedColumn;
  // A line break before the text, as in the whole source, so a name at the line's start is renamed.
  for (int p = 0; p <= originalLine.size(); ++p) {
    const int renamed = static_cast<int>(rename(u'\n' + originalLine.left(p)).size()) - 1;
    if (renamed >= renamedColumn) return p;
  }
  return static_cast<int>(originalLine.size());
}

// ---------------------------------------------------------------------------------------------

bool EditorErrorList::add(const EditorError& error) {
  if (full()) return false;
  errors_ << error;
  return true;
}

QString errorPaneText(const EditorError& error) {
  return QStringLiteral("%1/%2   %3").arg(error.line + 1).arg(error.column + 1).arg(error.text);
}

// ---------------------------------------------------------------------------------------------

namespace {

struct TwinRule {
  QString open;   // searched opening text
  QString twin;   // its closing twin
  bool words;     // the word rules apply
};

std::optional<TwinRule> twinRule(const QString& word) {
  if (word == u"IF") return TwinRule{QStringLiteral("IF "), QStringLiteral("END IF"), true};
  if (word == u"OPEN") return TwinRule{QStringLiteral("OPEN"), QStringLiteral("CLOSE"), true};
  if (word == u"LOOP") return TwinRule{QStringLiteral("LOOP"), QStringLiteral("END LOOP"), true};
  if (word == u"FOR") return TwinRule{QStringLiteral("FOR"), QStringLiteral("END LOOP"), true};
  if (word == u"BEGIN") return TwinRule{QStringLiteral("BEGIN"), QStringLiteral("END"), true};
  if (word == u"(") return TwinRule{QStringLiteral("("), QStringLiteral(")"), false};
  return std::nullopt;
}

// The first opening word in `line` from `from` on that counts: only blanks between `from` and it
// (for IF also "ELSE").
qsizetype findOpening(const QString& line, qsizetype from, const TwinRule& rule, const QString& word) {
  for (qsizetype at = line.indexOf(rule.open, from); at >= 0; at = line.indexOf(rule.open, at + 1)) {
    if (!rule.words) return at;
    const QString before = line.mid(from, at - from).trimmed();
    const qsizetype end = at + rule.open.size();
    const bool whole = end >= line.size() || !isIdentifierChar(line[end]) || rule.open.endsWith(u' ');
    if (whole && (before.isEmpty() || (word == u"IF" && before == u"ELSE"))) return at;
  }
  return -1;
}

// The first twin from `from` on that counts: the first character after it, blanks skipped, is ";".
qsizetype findClosing(const QString& line, qsizetype from, const TwinRule& rule) {
  for (qsizetype at = line.indexOf(rule.twin, from); at >= 0; at = line.indexOf(rule.twin, at + 1)) {
    if (!rule.words) return at;
    if (at > 0 && isIdentifierChar(line[at - 1])) continue;
    qsizetype after = at + rule.twin.size();
    while (after < line.size() && line[after] == u' ') ++after;
    if (after < line.size() && line[after] == u';') return at;
  }
  return -1;
}

}  // namespace

std::optional<TwinPlace> findTwin(const QStringList& lines, int line, int column, const QString& word) {
  const std::optional<TwinRule> rule = twinRule(word.trimmed());
  if (!rule || line < 0) return std::nullopt;
  int depth = 1;
  for (int l = line; l < lines.size(); ++l) {
    const QString text = lines[l].toUpper();
    qsizetype from = l == line ? std::clamp<qsizetype>(column, 0, text.size()) : 0;
    for (;;) {
      const qsizetype open = findOpening(text, from, *rule, word.trimmed());
      const qsizetype close = findClosing(text, from, *rule);
      if (open < 0 && close < 0) break;
      if (open >= 0 && (close < 0 || open < close)) {
        ++depth;
        from = open + rule->open.size();
      } else {
        if (--depth == 0) return TwinPlace{l, static_cast<int>(close), static_cast<int>(rule->twin.size())};
        from = close + rule->twin.size();
      }
    }
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------------

QString historyTime(const QDateTime& time) { return time.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss")); }

namespace {
const QString kSection = QStringLiteral("EDITPL");
QString historyKey(int n) { return QStringLiteral("HFILE%1").arg(n); }
}  // namespace

void FileHistory::load(const nuvo::IniFile& ini) {
  entries_.clear();
  for (int n = 1; n <= kMax; ++n) {
    const QString value = ini.readString(kSection, historyKey(n), QStringLiteral("X"));
    if (value == u"X") break;
    const qsizetype first = value.indexOf(u'/');
    const qsizetype last = value.lastIndexOf(u'/');
    if (first < 0 || last == first) continue;  // not an entry this program wrote
    entries_ << HistoryFile{value.left(first), value.mid(first + 1, last - first - 1), value.mid(last + 1)};
  }
  sort();
}

void FileHistory::save(nuvo::IniFile& ini) {
  ini.eraseSection(kSection);
  sort();
  for (int n = 1; n <= entries_.size(); ++n) {
    const HistoryFile& e = entries_[n - 1];
    ini.writeString(kSection, historyKey(n), e.name + u'/' + e.dir + u'/' + e.time);
  }
}

void FileHistory::sort() {
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const HistoryFile& a, const HistoryFile& b) { return a.time > b.time; });
}

void FileHistory::touch(const QString& name, const QString& dir, const QString& time) {
  for (HistoryFile& e : entries_) {
    if (e.name == name && e.dir == dir) {
      e.time = time;
      sort();
      return;
    }
  }
  if (entries_.size() < kMax) {
    entries_ << HistoryFile{name, dir, time};
  } else {
    auto oldest = std::min_element(entries_.begin(), entries_.end(),
                                   [](const HistoryFile& a, const HistoryFile& b) { return a.time < b.time; });
    *oldest = HistoryFile{name, dir, time};
  }
  sort();
}

bool FileHistory::remove(int index) {
  if (index < 0 || index >= entries_.size()) return false;
  entries_.removeAt(index);
  return true;
}

QStringList FileHistory::listLines() const {
  QStringList lines;
  for (const HistoryFile& e : entries_) {
    const qsizetype dot = e.name.lastIndexOf(u'.');
    lines << (dot > 0 ? e.name.left(dot) : e.name).toUpper() + QString(9, u' ') + e.dir;
  }
  return lines;
}

QString FileHistory::path(const HistoryFile& entry) {
  if (entry.dir.isEmpty() || entry.dir.endsWith(u'/') || entry.dir.endsWith(u'\\')) return entry.dir + entry.name;
  return entry.dir + u'/' + entry.name;
}

// ---------------------------------------------------------------------------------------------

QString columnsInsertText(const QString& prefix, const QStringList& names) {
  QStringList parts;
  for (const QString& name : names) parts << prefix + name;
  return parts.join(QStringLiteral(", "));
}

QString columnInsertText(const QString& prefix, const QString& name) { return prefix + name + u','; }

TemplateControls templateControls(TemplateMode mode) {
  switch (mode) {
    case TemplateMode::New:
      return {false, true, false, true, true};
    case TemplateMode::Update:
      return {false, false, true, true, false};
    case TemplateMode::Browse:
      break;
  }
  return {true, true, true, false, true};
}

}  // namespace nuvo::sqlwork
