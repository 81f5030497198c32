#include "sqlwork/sql_editor.h"

#include <Qsci/qscilexersql.h>

#include <QDateTime>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Every CR LF, LF and lone CR becomes CR LF, so the text holds the lines the user sees.
QString uniformLineEnds(const QString& text) {
  QString lf = text;
  lf.replace(kCrLf, QStringLiteral("\n")).replace(u'\r', u'\n');
  return nuvo::lfToCrlf(lf);
}

}  // namespace

TSqlEditor::TSqlEditor(QWidget* parent) : QsciScintilla(parent) {
  auto* lexer = new QsciLexerSQL(this);
  lexer->setDefaultFont(QFont(QStringLiteral("Courier New"), 10));
  setLexer(lexer);
  setUtf8(true);
  setEolMode(QsciScintilla::EolWindows);
  setIndentationsUseTabs(false);
  setMarginType(0, QsciScintilla::NumberMargin);
  setMarginWidth(0, QStringLiteral("00000"));
  setMarginLineNumbers(0, true);
  setContextMenuPolicy(Qt::CustomContextMenu);
  macroMenu_ = new QMenu(this);
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (!macroMenu_->isEmpty()) macroMenu_->popup(mapToGlobal(at));
  });
}

QString TSqlEditor::editorText() const { return uniformLineEnds(text()); }

void TSqlEditor::setEditorText(const QString& text) {
  QString lf = text;
  lf.replace(kCrLf, QStringLiteral("\n"));
  setText(nuvo::lfToCrlf(lf));
}

QStringList TSqlEditor::editorLines() const {
  QString lf = text();
  lf.replace(kCrLf, QStringLiteral("\n")).replace(u'\r', u'\n');
  return lf.split(u'\n');
}

void TSqlEditor::insertAtCaret(const QString& text) {
  const QString inserted = uniformLineEnds(text);
  insert(inserted);
  int line = 0, index = 0;
  getCursorPosition(&line, &index);
  const int lines = static_cast<int>(inserted.count(u'\n'));
  if (lines == 0)
    setCursorPosition(line, index + static_cast<int>(inserted.size()));
  else
    setCursorPosition(line + lines, static_cast<int>(inserted.size() - inserted.lastIndexOf(u'\n') - 1));
}

void TSqlEditor::placeCaret(int line, int column) {
  const int last = qMax(0, this->lines() - 1);
  const int l = qBound(0, line, last);
  // The line's length without its line end.
  QString text = this->text(l);
  while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
  setFocus();
  setCursorPosition(l, qBound(0, column, static_cast<int>(text.size())));
  ensureLineVisible(l);
}

void TSqlEditor::setEditorFont(const QString& family) {
  // A family this machine lacks keeps the fixed-pitch font, rather than a fallback of another kind.
  if (family.isEmpty() || !lexer() || !QFontDatabase::hasFamily(family)) return;
  QFont font = lexer()->defaultFont();
  font.setFamily(family);
  font.setStyleHint(QFont::TypeWriter);
  lexer()->setDefaultFont(font);
  lexer()->setFont(font);
}

bool TSqlEditor::findNextText(const QString& text) {
  if (text.isEmpty()) return false;
  // From the caret on (after a found text), around the end, regardless of case.
  return findFirst(text, false, false, false, true, true);
}

void TSqlEditor::replaceFoundText(const QString& text, const QString& replacement) {
  if (!hasSelectedText() || selectedText().compare(text, Qt::CaseInsensitive) != 0) {
    findNextText(text);
    return;
  }
  replaceSelectedText(replacement);
  findNextText(text);
}

int TSqlEditor::replaceAllText(const QString& text, const QString& replacement) {
  if (text.isEmpty()) return 0;
  int count = 0;
  beginUndoAction();
  // Forward from the start without wrapping, so replaced text is never found again.
  bool found = findFirst(text, false, false, false, false, true, 0, 0);
  while (found) {
    replace(replacement);
    ++count;
    found = findNext();
  }
  endUndoAction();
  return count;
}

void TSqlEditor::loadFile(const QString& path) {
  const nuvo::DecodedText file = nuvo::readTextFile(path);
  fileEncoding_ = file.encoding;
  setEditorText(file.text);
}

void TSqlEditor::saveFile(const QString& path) const { nuvo::writeTextFile(path, editorText(), fileEncoding_); }

void TSqlEditor::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (mods == Qt::NoModifier && event->text().size() == 1) {
    QString inserted;
    const bool swallowed = macros_.keyPress(event->text().at(0), clock_ ? clock_() : QDateTime::currentMSecsSinceEpoch(), inserted);
    if (!inserted.isEmpty()) emit macroText(inserted);
    if (swallowed) return;
  }
  QsciScintilla::keyPressEvent(event);
}

void TSqlEditor::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    QString inserted;
    macros_.keyRelease(inserted);
    // A held-back key is typed on its release, unless Ctrl or Alt alone is held.
    if (!inserted.isEmpty() && mods != Qt::AltModifier && mods != Qt::ControlModifier) emit macroText(inserted);
  }
  QsciScintilla::keyReleaseEvent(event);
}
