// Every top-level window of the program opens and works on a 1366x768 screen: its smallest size,
// and the size it opens at, fit that screen in both languages. Each window built joins the table.

#include <QAction>
#include <QApplication>
#include <QToolBar>
#include <QLayout>
#include <QLineEdit>
#include <QStackedWidget>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "admin/allGrant.h"
#include "admin/checkVer.h"
#include "admin/disabled.h"
#include "admin/errors.h"
#include "shell/IDialogs.h"
#include "shell/Main.h"
#include "shell/about.h"
#include "shell/connect.h"
#include "shell/dConfirm.h"
#include "shell/getPict.h"
#include "shell/setup.h"
#include "shell/userComm.h"
#include "schema/cmpstru.h"
#include "schema/moreInstall.h"
#include "schema/refresh.h"
#include "schema/tabConte.h"
#include "schema/tabStru.h"
#include "schema/tableRef.h"
#include "schema/userInst.h"
#include "shell_test_support.h"
#include "sqlwork/compTake.h"
#include "sqlwork/editpl.h"
#include "sqlwork/execScr.h"
#include "sqlwork/sqlUtl.h"
#include "sqlwork/workshet.h"

namespace {

const QSize kScreen(1366, 768);

struct WindowCase {
  const char* name;
  // Creates the window (owned by the caller); the main window is logged on.
  std::function<QWidget*(TfmMain&)> create;
};

const WindowCase kWindows[] = {
    {"main window", [](TfmMain& main) -> QWidget* { return &main; }},
    {"logon", [](TfmMain& main) -> QWidget* { return new TfmConnect(&main); }},
    {"settings", [](TfmMain& main) -> QWidget* { return new TFmSetup(&main); }},
    {"script executor", [](TfmMain&) -> QWidget* { return new TfmScript; }},
    {"worksheet", [](TfmMain&) -> QWidget* { return new TfmWorkSheet; }},
    {"PL/SQL editor", [](TfmMain&) -> QWidget* { return new TfmEditPL; }},
    {"PL/SQL editor with its tools", [](TfmMain&) -> QWidget* {
       auto* editor = new TfmEditPL;
       editor->spDataBaseClick();
       return editor;
     }},
    {"status window", [](TfmMain&) -> QWidget* { return new TfmErrors; }},
    {"version check", [](TfmMain&) -> QWidget* { return new TfmCheckVersion; }},
    {"structure compare", [](TfmMain&) -> QWidget* {
       auto* window = new TfmCmpStru;
       window->showPage(window->TabCompare);
       return window;
     }},
    {"grant and revoke", [](TfmMain&) -> QWidget* { return new TfmGrantAll; }},
    {"grant and revoke with its failures", [](TfmMain&) -> QWidget* {
       auto* grant = new TfmGrantAll;
       grant->edUporabnik->setText("NO_SUCH_GRANTEE");
       grant->btGranteeClick();
       return grant;
     }},
    {"refresh", [](TfmMain&) -> QWidget* { return new TfmRefresh; }},
    {"disabled constraints", [](TfmMain& main) -> QWidget* { return new TfmDisRef(&main); }},
    {"disabled triggers", [](TfmMain& main) -> QWidget* { return new TfmDisTrigg(&main); }},
    {"table content", [](TfmMain& main) -> QWidget* {
       auto* window = new TfmTableContent(&main);
       window->cUpor = "KADE";
       window->cTabela = "PR107PAR";
       return window;
     }},
    {"references", [](TfmMain& main) -> QWidget* { return new TfmRef(&main); }},
    {"table structures", [](TfmMain& main) -> QWidget* { return new TfmTableStru(&main); }},
    {"index drop", [](TfmMain& main) -> QWidget* { return new TfmSQLUtl(&main); }},
    {"scratch", [](TfmMain& main) -> QWidget* { return new TfmCompare(&main); }},
    {"hosting", [](TfmMain& main) -> QWidget* { return new TfmMoreUsers(&main); }},
    {"installation register", [](TfmMain& main) -> QWidget* { return new TfmInstUsers(&main); }},
    {"about", [](TfmMain&) -> QWidget* { return new TfmAbout; }},
    {"comments", [](TfmMain&) -> QWidget* { return new TfmComments; }},
    {"picture", [](TfmMain&) -> QWidget* { return new TfmGetPict; }},
    {"message", [](TfmMain&) -> QWidget* { return new TMessageForm; }},
    {"confirmation", [](TfmMain&) -> QWidget* { return new TdlgConfirm; }},
};

// The smallest size the window can be given: its own minimum, else what its layout needs.
QSize smallest(const QWidget& window) {
  return window.minimumSize().expandedTo(window.minimumSizeHint());
}

class WindowSizes : public nuvo::test::DatabaseFixture {};

TEST_F(WindowSizes, EveryWindowFitsA1366x768Screen) {
  nuvo::test::ScriptedMessages messages;
  for (const char* language : {"ANG", "SLO"}) {
    writeHomeFile("MONITOR.INI", QString("[PL/SQL]\r\nCURR_LANGUAGE=%1\r\n").arg(language));
    TfmMain main;
    main.osOracle.logOn("KADE", "KADE", "DEMO");
    main.connUser = "KADE";
    main.connServer = "DEMO";
    // The frame the window manager adds: the title bar and the borders.
    const int titleBar = main.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &main);
    const QSize usable = kScreen - QSize(0, titleBar);
    for (const WindowCase& c : kWindows) {
      SCOPED_TRACE(std::string(c.name) + " " + language);
      QWidget* window = c.create(main);
      window->setAttribute(Qt::WA_DeleteOnClose, false);
      window->show();
      QCoreApplication::processEvents();
      const QSize minimum = smallest(*window);
      EXPECT_LE(minimum.width(), usable.width()) << "smallest " << minimum.width() << "x" << minimum.height();
      EXPECT_LE(minimum.height(), usable.height()) << "smallest " << minimum.width() << "x" << minimum.height();
      EXPECT_LE(window->width(), usable.width()) << "opens at " << window->width() << "x" << window->height();
      EXPECT_LE(window->height(), usable.height()) << "opens at " << window->width() << "x" << window->height();
      // Every page of a window with pages fits as well.
      for (QStackedWidget* pages : window->findChildren<QStackedWidget*>()) {
        for (int i = 0; i < pages->count(); ++i) {
          const QSize page = smallest(*pages->widget(i));
          EXPECT_LE(page.width(), usable.width()) << pages->widget(i)->objectName().toStdString();
          EXPECT_LE(page.height(), usable.height()) << pages->widget(i)->objectName().toStdString();
        }
      }
      window->hide();
      if (window != &main) delete window;
    }
  }
}

// The toolbar's buttons carry pictures, so all of them show at the window's default width in both
// languages; each is named by its hint in the program's language.
TEST_F(WindowSizes, TheMainToolbarShowsEveryButtonAtTheDefaultWidth) {
  for (const char* language : {"ANG", "SLO"}) {
    SCOPED_TRACE(language);
    writeHomeFile("MONITOR.INI", QString("[PL/SQL]\r\nCURR_LANGUAGE=%1\r\n").arg(language));
    TfmMain main;
    main.osOracle.logOn("KADE", "KADE", "DEMO");
    main.show();
    QCoreApplication::processEvents();
    ASSERT_FALSE(main.tbMain->actions().isEmpty());
    for (QAction* action : main.tbMain->actions()) {
      const QWidget* button = main.tbMain->widgetForAction(action);
      ASSERT_NE(button, nullptr) << action->objectName().toStdString();
      EXPECT_TRUE(button->isVisible()) << action->objectName().toStdString() << " is off the toolbar";
      EXPECT_FALSE(action->icon().isNull()) << action->objectName().toStdString();
      EXPECT_EQ(action->text(), action->toolTip()) << action->objectName().toStdString();
    }
    EXPECT_EQ(main.command("tbExecScript")->toolTip(),
              QString::fromUtf8(QByteArray(language) == "SLO" ? "Izvajanje Skript" : "Execute Script"));
  }
}

}  // namespace
