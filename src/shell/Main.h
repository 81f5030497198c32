#pragma once

#include <QMainWindow>

// The main window and program context. It lives for the whole run; every window reaches the shared
// settings, the main session and the interface texts through it.
class TfmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfmMain(QWidget* parent = nullptr);
  ~TfmMain() override;
};

// The one main window of the run (nullptr before it is created and after it is destroyed).
TfmMain* fmMain();
