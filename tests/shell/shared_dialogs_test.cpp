#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "qstring_print.h"
#include "shell/IDialogs.h"
#include "shell/Main.h"
#include "shell/about.h"
#include "shell/dConfirm.h"
#include "shell/dmUser.h"
#include "shell/userComm.h"
#include "shell_test_support.h"

namespace {

using nuvo::shell::dialogButtons;

// Installs a runner for the program's modal dialogs while it lives.
class ModalScript {
 public:
  explicit ModalScript(nuvo::ModalRunner runner) : previous_(nuvo::setModalRunner(std::move(runner))) {}
  ~ModalScript() { nuvo::setModalRunner(std::move(previous_)); }

 private:
  nuvo::ModalRunner previous_;
};

struct ButtonsCase {
  const char* label;
  TMsgDlgButtons buttons;
  bool slovene;
  QStringList captions;
  QString defaultButton;  // empty: none
  QString cancelButton;
};

TEST(MessageDialogButtons, CaptionsDefaultAndEscapeFollowTheSet) {
  const ButtonsCase cases[] = {
      {"yes no", mbYes | mbNo, false, {"&Yes", "&No"}, "Yes", "No"},
      {"yes no SLO", mbYes | mbNo, true, {"&Da", "&Ne"}, "Yes", "No"},
      {"yes only", mbYes, false, {"&Yes"}, "Yes", ""},
      {"abort ignore", mbAbort | mbIgnore, false, {"&Abort", "&Ignore"}, "", "Ignore"},
      {"abort retry ignore SLO", mbAbort | mbRetry | mbIgnore, true, {"Pre&kini", "Po&novi", "Prez&ri"}, "Retry", "Ignore"},
      {"ok cancel", mbOK | mbCancel, false, {"&OK", "&Cancel"}, "OK", "Cancel"},
      {"yes no cancel SLO", mbYes | mbNo | mbCancel, true, {"&Da", "&Ne", "&Prekliči"}, "Yes", "Cancel"},
      {"all help edit", mbAll | mbHelp | mbPopravi, false, {"A&ll", "&Help", "&Edit"}, "", ""},
      {"bits above 9 ignored", mbOK | (1u << 12), false, {"&OK"}, "OK", "OK"},
  };
  for (const auto& c : cases) {
    const auto plan = dialogButtons(c.buttons, c.slovene);
    QStringList captions;
    QString defaultButton, cancelButton;
    for (const auto& button : plan) {
      captions << button.caption;
      if (button.isDefault) defaultButton = button.name;
      if (button.isCancel) cancelButton = button.name;
    }
    EXPECT_EQ(captions, c.captions) << c.label;
    EXPECT_EQ(defaultButton, c.defaultButton) << c.label;
    EXPECT_EQ(cancelButton, c.cancelButton) << c.label;
  }
  const auto results = dialogButtons(0x3FF, false);
  const int expected[] = {mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNone, mrRetry};
  ASSERT_EQ(results.size(), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(results[i].result, expected[i]) << results[i].name.toStdString();
}

TEST(MessageDialogLayout, ButtonsAndIconSetTheMinimumSize) {
  const auto fourButtons = nuvo::shell::dialogLayout(7, 16, 10, 16, false, 4);
  EXPECT_GE(fourButtons.clientWidth, 4 * fourButtons.buttonWidth + 3 * fourButtons.buttonSpacing + 2 * fourButtons.margin);
  EXPECT_EQ(fourButtons.buttonWidth, 88);  // 50 * 7 / 4 rounded
  const auto withIcon = nuvo::shell::dialogLayout(7, 16, 40, 16, true, 1);
  const auto withoutIcon = nuvo::shell::dialogLayout(7, 16, 40, 16, false, 1);
  EXPECT_EQ(withIcon.buttonsTop - withoutIcon.buttonsTop, 32 - 16);
  EXPECT_GT(withIcon.textLeft, withoutIcon.textLeft);
  EXPECT_EQ(withIcon.firstButtonLeft, (withIcon.clientWidth - withIcon.buttonWidth) / 2);
}

class MessageDialogWindow : public nuvo::test::HomeDirFixture {
 protected:
  static void press(QWidget* w, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }
};

TEST_F(MessageDialogWindow, EscapeAndTheCloseBoxAnswerAsTheSetAllows) {
  std::unique_ptr<TMessageForm> yesNo(BuildMessageDialog("Go on?", TMsgDlgType::mtConfirmation, mbYes | mbNo));
  EXPECT_EQ(yesNo->findChild<QPushButton*>("Yes")->text(), "&Yes");
  EXPECT_TRUE(yesNo->findChild<QPushButton*>("Yes")->isDefault());
  EXPECT_NE(yesNo->findChild<QLabel*>("Image"), nullptr);
  EXPECT_EQ(yesNo->windowTitle(), QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
  press(yesNo.get(), Qt::Key_Escape);
  EXPECT_EQ(yesNo->result(), mrNo);

  std::unique_ptr<TMessageForm> yesOnly(BuildMessageDialog("Done", TMsgDlgType::mtInformation, mbYes));
  yesOnly->setResult(-1);
  press(yesOnly.get(), Qt::Key_Escape);
  EXPECT_EQ(yesOnly->result(), -1);  // Esc presses no button
  yesOnly->reject();                  // the close box
  EXPECT_EQ(yesOnly->result(), mrCancel);

  std::unique_ptr<TMessageForm> withHelp(BuildMessageDialog("x", TMsgDlgType::mtCustom, mbOK | mbHelp));
  EXPECT_EQ(withHelp->findChild<QLabel*>("Image"), nullptr);
  withHelp->setResult(-1);
  withHelp->findChild<QPushButton*>("Help")->click();
  EXPECT_EQ(withHelp->result(), -1);
  withHelp->findChild<QPushButton*>("OK")->click();
  EXPECT_EQ(withHelp->result(), mrOk);
}

TEST_F(MessageDialogWindow, CaptionsFollowTheProgramLanguage) {
  writeHomeFile("MONITOR.INI", "[PL/SQL]\r\nCURR_LANGUAGE=SLO\r\n");
  TfmMain w;
  std::unique_ptr<TMessageForm> form(BuildMessageDialog("?", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel));
  EXPECT_EQ(form->findChild<QPushButton*>("Yes")->text(), "&Da");
  EXPECT_EQ(form->findChild<QPushButton*>("Cancel")->text(), "&Prekliči");
}

TEST_F(MessageDialogWindow, ShownDialogsReturnTheButtonsResult) {
  QString seen;
  ModalScript script([&](QDialog& dialog) {
    seen = dialog.findChild<QLabel*>("Message")->text();
    dialog.findChild<QPushButton*>("No")->click();
    return dialog.result();
  });
  EXPECT_EQ(MessageDialog("Delete the rows?", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
  EXPECT_EQ(seen, "Delete the rows?");
}

TEST_F(MessageDialogWindow, ScriptedAnswersGoThroughTheMessageFacade) {
  nuvo::test::ScriptedMessages messages;
  messages.queueAnswer(nuvo::MessageAnswer::Yes);
  EXPECT_EQ(MessageDialog("Store the script?", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel), mrYes);
  EXPECT_EQ(MessageDialog("Store again?", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
  EXPECT_EQ(MessageDialog("Stored", TMsgDlgType::mtInformation, mbYes), mrYes);
  EXPECT_EQ(messages.texts(), QStringList({"Store the script?", "Store again?", "Stored"}));
}

struct ConfirmCase {
  bool neededReason;
  QString name, reason;
  bool enabled;
};

TEST(ConfirmationDialog, OkNeedsTheNameAndTheReasonWhenAsked) {
  const ConfirmCase cases[] = {
      {false, "", "", false}, {false, " ", "", true},   {false, "Ana", "", true},  {true, "Ana", "", false},
      {true, "", "why", false}, {true, "Ana", " ", true}, {true, "Ana", "why", true},
  };
  for (const auto& c : cases) {
    TdlgConfirm dialog;
    dialog.FNeededReason = c.neededReason;
    EXPECT_FALSE(dialog.btOK->isEnabled());
    dialog.edReason->setText(c.reason);
    dialog.edNameSurname->setText(c.name);
    EXPECT_EQ(dialog.btOK->isEnabled(), c.enabled) << c.name.toStdString() << "/" << c.reason.toStdString();
  }
  TdlgConfirm dialog;
  dialog.edNameSurname->setText(QString(250, u'x'));
  EXPECT_EQ(dialog.edNameSurname->text().size(), 200);
}

TEST(ConfirmationDialog, GetConfirmationReportsTheTextsAndTheAnswer) {
  struct Case {
    bool neededReason;
    bool pressOk;
    TConfirmOutput expected;
  };
  const Case cases[] = {
      {false, true, {"Novak Ana", "", true}},
      {true, true, {"Novak Ana", "", false}},  // OK stays disabled without a reason
      {false, false, {"Novak Ana", "", false}},
  };
  for (const auto& c : cases) {
    ModalScript script([&](QDialog& dialog) {
      dialog.findChild<QLineEdit*>("edNameSurname")->setText("Novak Ana");
      if (c.pressOk) dialog.findChild<QPushButton*>("btOK")->click();
      else dialog.reject();
      return dialog.result();
    });
    const TConfirmOutput out = TdlgConfirm::GetConfirmation(c.neededReason);
    EXPECT_EQ(out.SurnameName, c.expected.SurnameName);
    EXPECT_EQ(out.Reason, c.expected.Reason);
    EXPECT_EQ(out.Confirm, c.expected.Confirm) << c.neededReason << c.pressOk;
  }
}

class CommentsWindow : public nuvo::test::HomeDirFixture {};

TEST_F(CommentsWindow, StartsEmptyAndKeepsWhatWasSaved) {
  writeHomeFile("MONITOR.INI", "[PL/SQL]\r\nCURR_COMMENT_DIR=" + QString::fromStdString(home()) + "/notes/\r\n");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(home()) + "/notes"));
  TfmMain w;
  const QString file = QString::fromStdString(home()) + "/notes/sqlComm.txt";
  QString shown;
  ModalScript script([&](QDialog& dialog) {
    auto* memo = dialog.findChild<QPlainTextEdit*>("meComments");
    shown = memo->toPlainText();
    memo->setPlainText("first line\nčetrtek");
    dialog.findChild<QToolButton*>("spSaveComments")->click();
    dialog.close();
    return 0;
  });
  w.command("mmUserComments")->trigger();
  EXPECT_EQ(shown, "");
  QFile saved(file);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(saved.readAll()), "first line\r\nčetrtek");
  saved.close();
  w.command("mmUserComments")->trigger();
  EXPECT_EQ(shown, "first line\nčetrtek");
}

TEST_F(CommentsWindow, AboutOpensBesideTheMainWindow) {
  TfmMain w;
  w.command("mmAbout")->trigger();
  ASSERT_TRUE(TfmAbout::instance);
  EXPECT_TRUE(TfmAbout::instance->isVisible());
  EXPECT_EQ(TfmAbout::instance->pcAbout->count(), 3);
  EXPECT_EQ(TfmAbout::instance->windowTitle(), "About ZI-VEZ Azazar");
  TfmAbout::instance->btExit->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(TfmAbout::instance);
}

class UsersModule : public nuvo::test::DatabaseFixture {
 protected:
  QString getUser(nuvo::db::Session& session) {
    nuvo::db::Query query(&session);
    query.setSql("select kade.pckLogParam.getUser from dual");
    query.execute();
    return query.field(0).asString();
  }
};

TEST_F(UsersModule, CanSaveParamSetsTheApplicationUserOfTheSession) {
  sys({"CREATE USER cene IDENTIFIED BY cene", "GRANT CREATE SESSION TO cene",
       "CREATE USER dora IDENTIFIED BY dora", "GRANT CREATE SESSION TO dora"});
  // Another schema's ISEC_USERS is not the application's user table.
  sys({"CREATE TABLE dora.isec_users (user__id NUMBER, username VARCHAR2(30), userdef1 VARCHAR2(30))",
       "INSERT INTO dora.isec_users VALUES (9, 'DORA', 'DORA')", "COMMIT",
       "REVOKE READ ON kade.isec_users FROM PUBLIC"});
  struct Case {
    const char* user;
    bool expected;
    const char* applicationUser;
  };
  const Case cases[] = {{"KADE", true, "KADE"}, {"CENE", false, ""}, {"DORA", false, ""}};
  for (const auto& c : cases) {
    nuvo::db::Session session;
    session.logOn(c.user, c.user, "DEMO");
    TdmUsers users(&session);
    EXPECT_EQ(users.CanSaveParam(), c.expected) << c.user;
    EXPECT_EQ(getUser(session), c.applicationUser) << c.user;
    EXPECT_FALSE(session.inTransaction()) << c.user;
  }
}

TEST_F(UsersModule, CanSaveParamKeepsAUserThatIsAlreadySet) {
  nuvo::db::Session session;
  session.logOn("KADE", "KADE", "DEMO");
  nuvo::db::Query init(&session);
  init.setSql(QStringList{"begin", "kade.pckLogParam.initParam('ZUNANJI');", "end;"});
  init.execute();
  sys({"DROP TABLE kade.isec_users"});  // not looked at when a user is set
  TdmUsers users(&session);
  EXPECT_TRUE(users.CanSaveParam());
  EXPECT_EQ(getUser(session), "ZUNANJI");
}

TEST_F(UsersModule, CanSaveParamMatchesTheUserNameWithoutCase) {
  sys({"UPDATE kade.isec_users SET username = 'Ana', userdef1 = 'ANA_APP' WHERE username = 'ANA'", "COMMIT"});
  nuvo::db::Session session;
  session.logOn("ANA", "ANA", "DEMO");
  TdmUsers users(&session);
  EXPECT_TRUE(users.CanSaveParam());
  EXPECT_EQ(getUser(session), "ANA_APP");
}

}  // namespace
