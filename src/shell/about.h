#pragma once
// The About window: release history, installation hints and the command-line help.

#include <QDialog>
#include <QPointer>
#include <QStringList>

class QPushButton;
class QTabWidget;
class QTreeWidget;

class TfmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfmAbout(QWidget* parent = nullptr);
  static inline QPointer<TfmAbout> instance;

  // The examples of the "Start Parameters" help: its action lines, its calls of the program, and
  // its example script line by line.
  static QStringList startActionExamples();
  static QStringList startCallExamples();
  static QStringList exampleScript();

  QTabWidget* pcAbout;
  QTreeWidget* TreeView1;
  QTreeWidget* twDesc;
  QTreeWidget* twStart;
  QPushButton* btExit;
};
