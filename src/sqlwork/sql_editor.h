#pragma once
// The SQL text editor of the worksheet and the PL/SQL editor: SQL colouring, line numbers, CR LF
// line ends, no tab characters; keyboard macros (a held macro key inserts its macro once, a short
// press types the key) and the pop-up macro menu; find and replace; the text file it was loaded
// from, written back in the encoding it was read in.

#include <Qsci/qsciscintilla.h>

#include <QStringList>
#include <functional>

#include "platform/text_file.h"
#include "sqlwork/worksheet_logic.h"

class QMenu;

class TSqlEditor : public QsciScintilla {
  Q_OBJECT
 public:
  explicit TSqlEditor(QWidget* parent = nullptr);

  // The text with CR LF line ends (a lone CR or LF of pasted or generated text counts as one too).
  QString editorText() const;
  void setEditorText(const QString& text);
  // The lines as the user sees them, without line ends.
  QStringList editorLines() const;

  // Inserts the text at the caret and puts the caret after it.
  void insertAtCaret(const QString& text);
  // Puts the caret on a line and column (clamped to the text), shows it and focuses the editor.
  void placeCaret(int line, int column);

  void setEditorFont(const QString& family);

  // The keyboard macros; their text goes out through macroText.
  void setMacroKeys(nuvo::sqlwork::MacroKeys keys) { macros_ = std::move(keys); }
  // The clock of the macro keys (milliseconds); tests set their own.
  void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }
  // The pop-up menu of the editor's context menu (shown when it has items).
  QMenu* macroMenu() const { return macroMenu_; }

  // Find and replace, ignoring case: the next occurrence after the caret (around the end); the
  // found text replaced and the next one found; every occurrence replaced (their number).
  bool findNextText(const QString& text);
  void replaceFoundText(const QString& text, const QString& replacement);
  int replaceAllText(const QString& text, const QString& replacement);

  // Loads a text file (throws nuvo::PlatformError); saving writes it back in the encoding it was
  // read in, a new text in `newFileEncoding`.
  void loadFile(const QString& path);
  void saveFile(const QString& path) const;
  nuvo::TextEncoding fileEncoding() const { return fileEncoding_; }
  void resetFile(nuvo::TextEncoding encoding) { fileEncoding_ = encoding; }

 signals:
  // Text a keyboard macro produced (its macro, or the held-back key), to be inserted at the caret.
  void macroText(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  nuvo::sqlwork::MacroKeys macros_;
  std::function<qint64()> clock_;
  QMenu* macroMenu_;
  nuvo::TextEncoding fileEncoding_ = nuvo::TextEncoding::Utf8;
};
