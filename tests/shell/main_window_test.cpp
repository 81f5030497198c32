#include <QApplication>
#include <QAction>
#include <QPlainTextEdit>
#include <QTimer>
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

TEST_F(MainWindowLife, TheToolbarStripShrinksTheWindowToItsToolbar) {
  writeHomeFile("MONITOR.INI", "[PL/SQL]\r\nCURR_MINIMIZED=D\r\nCURR_MIN_TOP=40\r\n");
  TfmMain w;
  EXPECT_TRUE(w.paMain->isHidden());
  EXPECT_EQ(w.height(), w.visinaCela - w.visinaSlika + 1);
  EXPECT_EQ(w.currMinTop, 40);
  EXPECT_EQ(w.pos(), QPoint(w.currMinLeft, 40));
  w.command("tbMin")->trigger();
  EXPECT_FALSE(w.paMain->isHidden());
  EXPECT_EQ(w.height(), w.visinaCela);
  w.SetToolbarStrip(false);
  EXPECT_TRUE(w.paMain->isHidden());
}

}  // namespace
