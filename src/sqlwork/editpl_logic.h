#pragma once
// The PL/SQL editor's logic without a window: how the source is cut into the blocks that are
// compiled one by one, which object each block creates, where a compile error lands in the editor,
// the list of errors, the twin of a block keyword, and the file history and template page of the
// tools panel.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace nuvo {
class IniFile;
}

namespace nuvo::sqlwork {

// ---------------------------------------------------------------------------------------------
// Blocks

// The stored object a block's CREATE header names: owner (empty when not written), name and the
// type as the dictionary writes it ("PACKAGE BODY", "PROCEDURE", "TRIGGER", "VIEW", ...). `line`
// is the block line (0-based, among its non-empty lines) holding the type keyword, from which the
// server counts the lines of the unit's errors.
struct BlockObject {
  QString owner;
  QString name;
  QString type;
  int line = 0;
  bool valid() const { return !name.isEmpty(); }
  bool operator==(const BlockObject&) const = default;
};
BlockObject blockObject(const QStringList& blockLines);

// One block of the source: the lines up to a line that begins with "/" (but not "/*"), blank lines
// left out. `lines` holds the editor line (0-based) of each line of `text`; `bodyOffset` is, for a
// trigger, the number of block lines before its PL/SQL block (DECLARE or BEGIN), since the server
// counts a trigger's error lines from there.
struct CompileBlock {
  QString text;  // the non-empty lines, each followed by CR LF
  QList<int> lines;
  int bodyOffset = 0;
  BlockObject object;
  bool empty() const { return lines.isEmpty(); }
};
QList<CompileBlock> splitBlocks(const QStringList& editorLines);

// The schema named before the first point of the first of the two lines that has one: the word
// after the last blank before the point (at most 100 characters); empty when neither has a point.
QString ownerFromHeader(const QString& line0, const QString& line1);

// Where an error the server reports for a block's object (line counted from 1, 0 for the object as
// a whole; position from 1) lands in the editor: the editor line and the column (both 0-based),
// clamped to the block's lines. `withBodyOffset` adds the trigger offset.
struct EditorPlace {
  int line = 0;
  int column = 0;
  bool operator==(const EditorPlace&) const = default;
};
EditorPlace errorPlace(const CompileBlock& block, int serverLine, int position, bool withBodyOffset);

// The column of `originalLine` (0-based) that column `renamedColumn` of the same line after
// `rename` stands for, when the text compiled was renamed for an installation.
int originalColumn(const QString& originalLine, int renamedColumn, const std::function<QString(const QString&)>& rename);

// ---------------------------------------------------------------------------------------------
// Compile errors

struct EditorError {
  QString object;
  int line = 0;    // editor line, 0-based
  int column = 0;  // 0-based
  int serverLine = 0;
  int serverPosition = 0;
  QString text;
};

// The errors of one compile: at most kMax are kept and counted; later ones are dropped.
class EditorErrorList {
 public:
  static constexpr int kMax = 100;
  // False (nothing kept) when the list is full.
  bool add(const EditorError& error);
  bool full() const { return errors_.size() >= kMax; }
  int count() const { return static_cast<int>(errors_.size()); }
  const EditorError& at(int index) const { return errors_.at(index); }
  void clear() { errors_.clear(); }

 private:
  QList<EditorError> errors_;
};

// The error pane's line: "line/column   text", both counted from 1 as the editor shows them.
QString errorPaneText(const EditorError& error);

// ---------------------------------------------------------------------------------------------
// Find the twin

// The closing twin of the keyword `word` (IF, OPEN, LOOP, FOR, BEGIN or "(") selected on line
// `line` and ending before column `column`: its line, column and length. Lines are compared
// upper-cased, the word as written; nothing when the word has no twin or the text ends first.
struct TwinPlace {
  int line = 0;
  int column = 0;
  int length = 0;
  bool operator==(const TwinPlace&) const = default;
};
std::optional<TwinPlace> findTwin(const QStringList& lines, int line, int column, const QString& word);

// ---------------------------------------------------------------------------------------------
// File history

struct HistoryFile {
  QString name;  // file name with its extension
  QString dir;   // directory with its final separator
  QString time;  // "yyyy.MM.dd hh:mm:ss"
  bool operator==(const HistoryFile&) const = default;
};

// The time text of the history: a fixed pattern, so texts sort in time order whatever the locale.
QString historyTime(const QDateTime& time);

// The 25 files opened last, newest first, kept in the section EDITPL of an ini file as HFILE1..n,
// each "name/dir/time". The directory may itself hold "/": the name ends at the first "/", the time
// begins after the last one.
class FileHistory {
 public:
  static constexpr int kMax = 25;

  void load(const nuvo::IniFile& ini);
  // Rewrites the section, sorted, without gaps.
  void save(nuvo::IniFile& ini);
  // Stable sort by time, newest first.
  void sort();
  // The file was opened at `time`: its entry's time is renewed, or it is added, replacing the oldest
  // entry (the first of equally old ones) when the history is full.
  void touch(const QString& name, const QString& dir, const QString& time);
  // Removes an entry, the later ones moving up; false when there is none at `index`.
  bool remove(int index);

  const QList<HistoryFile>& entries() const { return entries_; }
  bool isEmpty() const { return entries_.isEmpty(); }
  // The history list's lines: the name upper-cased without its extension, nine blanks, the directory.
  QStringList listLines() const;
  // The full path of an entry.
  static QString path(const HistoryFile& entry);

 private:
  QList<HistoryFile> entries_;
};

// ---------------------------------------------------------------------------------------------
// Tools panel

// The text the structure page types: every column name with the prefix, joined with ", "; a double
// click types one name with the prefix and a comma.
QString columnsInsertText(const QString& prefix, const QStringList& names);
QString columnInsertText(const QString& prefix, const QString& name);

// The template page: browsing, typing a new template, or changing the shown one (its code, the key,
// is then fixed, so the change cannot miss its row).
enum class TemplateMode { Browse, New, Update };
struct TemplateControls {
  bool find = true;
  bool newButton = true;
  bool update = true;
  bool save = false;
  bool codeEditable = true;
  bool operator==(const TemplateControls&) const = default;
};
TemplateControls templateControls(TemplateMode mode);

}  // namespace nuvo::sqlwork
