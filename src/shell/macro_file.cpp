#include "shell/macro_file.h"

#include "platform/text_file.h"
#include "shell/main_helpers.h"

namespace nuvo::shell {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool validRow(const QList<MacroEntry>& rows, int row) { return row >= 0 && row < rows.size(); }

}  // namespace

MacroFile::MacroFile() : shortcuts_{MacroEntry{}}, popups_{MacroEntry{}} {}

int MacroFile::read(const QStringList& lines) {
  QList<MacroEntry> shortcuts, popups;
  MacroEntry dropped;
  MacroEntry* entry = nullptr;  // the entry that body lines go to; none before the first header
  bool firstBodyLine = true;
  int droppedPopups = 0;
  for (const QString& line : lines) {
    if (line.startsWith(u'#')) {
      shortcuts << MacroEntry{line.mid(1, 1), {}};
      entry = &shortcuts.last();
    } else if (line.startsWith(u'/')) {
      if (popups.size() < kMaxPopupMacros) {
        popups << MacroEntry{line.mid(1, kMaxCaption), {}};
        entry = &popups.last();
      } else {
        ++droppedPopups;
        entry = &dropped;
      }
    } else {
      if (entry) {
        if (!firstBodyLine) entry->text += kCrLf;
        entry->text += line;
        firstBodyLine = false;
      }
      continue;
    }
    firstBodyLine = true;
  }
  if (!shortcuts.isEmpty()) shortcuts_ = std::move(shortcuts);
  if (!popups.isEmpty()) popups_ = std::move(popups);
  return droppedPopups;
}

QStringList MacroFile::lines() const {
  QStringList result;
  const auto add = [&result](QChar header, const QList<MacroEntry>& rows) {
    for (const MacroEntry& row : rows) {
      result << header + row.key;
      result << row.text.split(kCrLf);
    }
  };
  add(u'#', shortcuts_);
  add(u'/', popups_);
  return result;
}

std::optional<MacroFile::RowRef> MacroFile::rowWithHeaderLine() const {
  for (const MacroKind kind : {MacroKind::Shortcut, MacroKind::Popup}) {
    const QList<MacroEntry>& list = rows(kind);
    for (int row = 0; row < list.size(); ++row)
      for (const QString& line : list[row].text.split(kCrLf))
        if (line.startsWith(u'#') || line.startsWith(u'/')) return RowRef{kind, row};
  }
  return std::nullopt;
}

int MacroFile::addRow(MacroKind kind) {
  QList<MacroEntry>& list = rows(kind);
  if (kind == MacroKind::Popup && list.size() >= kMaxPopupMacros) return -1;
  list << MacroEntry{};
  return static_cast<int>(list.size()) - 1;
}

bool MacroFile::deleteRow(MacroKind kind, int row) {
  QList<MacroEntry>& list = rows(kind);
  if (list.size() <= 1 || !validRow(list, row)) return false;
  list.removeAt(row);
  return true;
}

void MacroFile::moveRow(MacroKind kind, int from, int to) {
  QList<MacroEntry>& list = rows(kind);
  if (validRow(list, from) && validRow(list, to)) list.move(from, to);
}

QStringList splitFileLines(const QString& text) {
  if (text.isEmpty()) return {};
  QString lf = crlfToLf(text);
  if (lf.endsWith(u'\n')) lf.chop(1);
  return lf.split(u'\n');
}

QString joinFileLines(const QStringList& lines) {
  QString text;
  for (const QString& line : lines) text += line + kCrLf;
  return text;
}

}  // namespace nuvo::shell
