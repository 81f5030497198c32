#pragma once
// The About window: release history, installation hints and the command-line help.

#include <QDialog>
#include <QPointer>

class QPushButton;
class QTabWidget;
class QTreeWidget;

class TfmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfmAbout(QWidget* parent = nullptr);
  static inline QPointer<TfmAbout> instance;

  QTabWidget* pcAbout;
  QTreeWidget* TreeView1;
  QTreeWidget* twDesc;
  QTreeWidget* twStart;
  QPushButton* btExit;
};
