#pragma once
// The macro file as the settings window edits it: keyboard shortcuts ("#" + key character, then
// the value's lines) and pop-up macros ("/" + caption, then the text's lines). Unlike the main
// window's reader, which only takes what its tables can hold, the editor keeps every entry it reads
// (a shortcut header without its key too), so saving what it read loses nothing.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace nuvo::shell {

// One row of an editor grid: a shortcut (key: its key character) or a pop-up macro (key: its
// caption). The text's lines are joined with CR LF, without a closing line break.
struct MacroEntry {
  QString key;
  QString text;
  bool operator==(const MacroEntry&) const = default;
};

enum class MacroKind { Shortcut, Popup };

class MacroFile {
 public:
  static constexpr int kMaxCaption = 50;  // characters of a pop-up caption kept on reading

  // Each grid starts with one empty row and never has fewer.
  MacroFile();

  const QList<MacroEntry>& rows(MacroKind kind) const { return kind == MacroKind::Shortcut ? shortcuts_ : popups_; }
  QList<MacroEntry>& rows(MacroKind kind) { return kind == MacroKind::Shortcut ? shortcuts_ : popups_; }

  // Reads the lines of a file. Each kind the file holds replaces that grid's rows; a kind it does
  // not hold keeps its rows. Lines before the first header belong to no entry and are dropped.
  // Captions are cut to kMaxCaption characters; pop-up macros beyond kMaxPopupMacros are dropped
  // and their number is returned.
  int read(const QStringList& lines);

  // The file's lines: every shortcut row as "#" + key and its value's lines, then every pop-up row
  // as "/" + caption and its text's lines. An empty text is one empty line.
  QStringList lines() const;

  // The first row, shortcuts first, whose text has a line beginning with "#" or "/": the file
  // would read that line as the header of a new entry, so such a text cannot be saved.
  struct RowRef {
    MacroKind kind;
    int row;
    bool operator==(const RowRef&) const = default;
  };
  std::optional<RowRef> rowWithHeaderLine() const;

  // Adds an empty row at the end and returns its index; -1 when the pop-up macros are full.
  int addRow(MacroKind kind);
  // Removes a row, the following ones moving up; false (nothing changes) when it is the only row or
  // the index is out of range.
  bool deleteRow(MacroKind kind, int row);
  // Moves a row from one place to another; the rows between shift by one. Texts travel with their
  // rows. Out-of-range indexes change nothing.
  void moveRow(MacroKind kind, int from, int to);

 private:
  QList<MacroEntry> shortcuts_;
  QList<MacroEntry> popups_;
};

// A text file's lines as a line list holds them: CR LF or LF ends a line, a closing line end adds
// no empty line. The file text back from its lines ends every line with CR LF.
QStringList splitFileLines(const QString& text);
QString joinFileLines(const QStringList& lines);

}  // namespace nuvo::shell
