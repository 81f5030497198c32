#pragma once
// The user's own notes, kept in sqlComm.txt of the comments directory.

#include <QDialog>
#include <QPointer>

#include "platform/text_file.h"

class QPlainTextEdit;
class QToolButton;

class TfmComments : public QDialog {
  Q_OBJECT
 public:
  explicit TfmComments(QWidget* parent = nullptr);
  static inline QPointer<TfmComments> instance;

  // The comments file: currCommentsFile (a directory with its closing separator) + "sqlComm.txt".
  static QString commentsPath();

  void FormCreate();
  void SetLanguageTexts();
  // Replaces the file with the memo's lines (through a temporary file, so a failed write keeps the
  // old file); a failure is shown and the memo keeps its text.
  void spSaveCommentsClick();

  QPlainTextEdit* meComments;
  QToolButton* spSaveComments;
  QToolButton* spExit;

 private:
  nuvo::TextEncoding encoding_ = nuvo::TextEncoding::Utf8;
};
