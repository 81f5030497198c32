#include <QApplication>
#include <QAction>
#include <QPlainTextEdit>
#include <QTimer>
#include <QScreen>
#include <QStyle>
#include <gtest/gtest.h>

#include "shell/Main.h"
#include "shell_test_support.h"

namespace {

class MainWindowLife : public nuvo::test::HomeDirFixture {};

TEST_F(MainWindowLife, IsTheProgramContextWhileItLives) {
  EXPECT_EQ(fmMain(), nullptr);
  {
    TfmMain window;
    EXPECT_EQ(fmMain(), &window);
    EXPECT_EQ(window.objectName(), "fmMain");
  }
  EXPECT_EQ(fmMain(), nullptr);
}

TEST_F(MainWindowLife, ExitInTheLogonDialogEndsTheProgram) {
  nuvo::test::ScriptedMessages messages;
  nuvo::test::LogonDriver driver({nuvo::test::LogonStep::exit()});
  auto* window = new TfmMain;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  QApplication::setQuitOnLastWindowClosed(true);
  QTimer::singleShot(0, window, [window] { window->FormActivate(); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(fmMain(), nullptr);
  EXPECT_EQ(driver.seen().size(), 1);
  EXPECT_EQ(driver.unexpected(), 0);
  EXPECT_TRUE(messages.texts().isEmpty());
}

}  // namespace

namespace {

TEST_F(MainWindowLife, TheToolbarStripShrinksTheWindowToItsToolbarOnTheScreen) {
  // The default place (110 pixels above the screen's bottom) and one far below the screen both
  // leave the whole strip, title bar included, on the screen.
  for (const char* top : {"", "5000"}) {
    writeHomeFile("MONITOR.INI", QString("[PL/SQL]\r\nCURR_MINIMIZED=D\r\nCURR_MIN_TOP=%1\r\n").arg(top));
    TfmMain w;
    const QRect screen = w.screen()->availableGeometry();
    const int titleBar = w.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &w);
    EXPECT_TRUE(w.paMain->isHidden()) << top;
    EXPECT_GE(w.x(), screen.left()) << top;
    EXPECT_LE(w.y() + titleBar + w.height(), screen.bottom() + 1) << top;
    EXPECT_GT(w.y(), screen.top() + screen.height() / 2) << top;
  }
  writeHomeFile("MONITOR.INI", "[PL/SQL]\r\nCURR_MINIMIZED=D\r\nCURR_MIN_TOP=40\r\n");
  TfmMain w;
  EXPECT_TRUE(w.paMain->isHidden());
  EXPECT_EQ(w.height(), w.visinaCela - w.visinaSlika + 1);
  EXPECT_EQ(w.currMinTop, 40);
  EXPECT_EQ(w.y(), 40);
  w.command("tbMin")->trigger();
  EXPECT_FALSE(w.paMain->isHidden());
  EXPECT_EQ(w.height(), w.visinaCela);
  w.SetToolbarStrip(false);
  EXPECT_TRUE(w.paMain->isHidden());
}

}  // namespace
