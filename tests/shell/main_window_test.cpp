#include <QApplication>
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
