#pragma once
// The references window: for an owner and table (filled in by the caller, editable), the tree of
// tables it references, followed through every level but never twice into one table, or the tables
// whose foreign keys reference its primary key. Read only; English texts only.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class TfmRef : public QDialog {
  Q_OBJECT
 public:
  explicit TfmRef(QWidget* parent = nullptr);
  ~TfmRef() override;

  // Shows the window modally for the table (owner and name as the dictionary writes them).
  static void showFor(const QString& owner, const QString& table, QWidget* parent = nullptr);

  void btPrikaziClick();
  void btDepClick();

  QString currUser;
  QString currTable;
  QLabel *laUser, *laTabela;
  QLineEdit *edUser, *edTabela;
  QPushButton *btPrikazi, *btDep, *btExit;
  QTreeWidget* tvRef;

 protected:
  void showEvent(QShowEvent* event) override;
};
