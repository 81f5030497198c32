#pragma once
// Shows a picture or a text field of a worksheet result and loads a new one from a file. The
// window only changes the record's edit buffer; posting and committing stay with the worksheet.

#include <QDialog>
#include <QPointer>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWidget;

namespace nuvo::db {
class Dataset;
}

class TfmGetPict : public QDialog {
  Q_OBJECT
 public:
  explicit TfmGetPict(QWidget* parent = nullptr);
  static inline QPointer<TfmGetPict> instance;

  // Shows the field of the dataset's row: as a picture (pImage) or as text, with the matching
  // Load caption.
  void bindField(nuvo::db::Dataset* dataset, int row, const QString& field);

  void LoadButtonClick();
  void FormActivate();

  QWidget* PicPanel;
  QLabel* DBImage;
  QPlainTextEdit* DBMemo;
  QWidget* NavigatorPanel;
  QToolButton* LoadButton;
  QPushButton* btExit;
  bool pImage = false;
  bool popravljanje = false;
  // The message of Load on a result that may not be edited.
  QString nizErr = QStringLiteral("The result cannot be edited: load nothing.");

 protected:
  bool event(QEvent* event) override;

 private:
  // Puts the row into edit state; false (and a message) when the dataset refuses.
  bool editRow();
  void showValue();

  QPointer<nuvo::db::Dataset> dataset_;
  int row_ = -1;
  QString field_;
  bool showing_ = false;  // the memo is being filled from the field, not edited
};
