#include "shell/Main.h"

namespace {
TfmMain* g_fmMain = nullptr;
}

TfmMain* fmMain() { return g_fmMain; }

TfmMain::TfmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName("fmMain");
  setWindowTitle("nuvo_sql");
  resize(900, 120);
  g_fmMain = this;
}

TfmMain::~TfmMain() {
  if (g_fmMain == this) g_fmMain = nullptr;
}
