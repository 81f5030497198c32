#include <QApplication>

#include "shell/Main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("DRXVelmora");
  QApplication::setApplicationName("Nuvo_Sql");
  TfmMain window(QApplication::arguments().mid(1));
  window.show();
  return app.exec();
}
