#pragma once
// The table-content window: one table's primary key, indexes, foreign keys, unique keys, checks and
// triggers as a tree, read again at every activation. Read only; English texts only.

#include <QDialog>

class QPushButton;
class QTreeWidget;

class TfmTableContent : public QDialog {
  Q_OBJECT
 public:
  explicit TfmTableContent(QWidget* parent = nullptr);
  ~TfmTableContent() override;

  // Shows the window modally for the table (owner and name as the dictionary writes them).
  static void showFor(const QString& owner, const QString& table, QWidget* parent = nullptr);

  // Reads the table's content into the tree; a failing read is shown and the tree keeps what it had.
  // Returns false on failure.
  bool FormActivate();

  QString cUpor;
  QString cTabela;
  QTreeWidget* TvTable;
  QPushButton* btShowExit;

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The last read failed: the activation that follows its message reads nothing, so a read that
  // keeps failing does not show its message again and again.
  bool failed_ = false;
};
