#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/Main.h"

TEST(MainWindow, IsTheProgramContextWhileItLives) {
  EXPECT_EQ(fmMain(), nullptr);
  {
    TfmMain window;
    EXPECT_EQ(fmMain(), &window);
    EXPECT_EQ(window.objectName(), "fmMain");
  }
  EXPECT_EQ(fmMain(), nullptr);
}

TEST(MainWindow, ClosingItEndsTheEventLoop) {
  auto* window = new TfmMain;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  QTimer::singleShot(0, window, &QWidget::close);
  QApplication::setQuitOnLastWindowClosed(true);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(fmMain(), nullptr);
}
