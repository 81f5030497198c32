#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <string>

#include "support/temp_env.h"
#include "widgets/message_facade.h"

namespace engine {
class Database;
}
class TfmConnect;

namespace nuvo::test {

// Points NUVO_SQL_HOME (MONITOR.INI) and the current directory (vecInstalacij, command files) at a
// directory of the test's own and restores both afterwards.
class HomeDirFixture : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::string& home() const { return home_; }
  QString homePath(const QString& name) const;
  void writeHomeFile(const QString& name, const QString& text) const;

 private:
  QByteArray previousHome_;
  QString previousDir_;
  std::string home_;
};

// Answers every message and question of the program while it lives and records their texts.
// Questions take the queued answers in order, then No.
class ScriptedMessages {
 public:
  ScriptedMessages();
  ~ScriptedMessages();
  ScriptedMessages(const ScriptedMessages&) = delete;
  ScriptedMessages& operator=(const ScriptedMessages&) = delete;

  void queueAnswer(MessageAnswer answer) { answers_ << answer; }
  const QStringList& texts() const { return texts_; }

 private:
  MessageAnswerer previous_;
  QList<MessageAnswer> answers_;
  QStringList texts_;
};

// A modal runner that chooses `path` in file dialogs instead of a person (other dialogs are
// rejected).
ModalRunner choosingFile(const QString& path);

// A fresh copy of the seeded demo database named DEMO in a data directory of the test's own.
class DatabaseFixture : public HomeDirFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::shared_ptr<engine::Database> database() const;
  // Runs statements as SYS.
  void sys(const QStringList& statements) const;
  // A second database beside DEMO in the data directory, made from the same template.
  std::shared_ptr<engine::Database> addDatabase(const std::string& name) const;

 private:
  QByteArray previousData_;
  std::string data_;
};

// What a logon dialog showed when it appeared.
struct LogonDialogSeen {
  QString user;
  QString password;
  QString database;
  QStringList databases;
  bool saveEnabled = true;
  bool autoConnect = false;
  bool saveLoginData = false;
};

// One answer to a logon dialog: type user, password and database and press Connect; press Exit;
// close the dialog; or wait for its timer to press Connect.
struct LogonStep {
  enum Action { Connect, Exit, Close, WaitForTimer };
  Action action = Connect;
  QString user;
  QString password;
  QString database = QStringLiteral("DEMO");
  bool save = false;

  static LogonStep connect(const QString& user, const QString& password, bool save = false) {
    return {Connect, user, password, QStringLiteral("DEMO"), save};
  }
  static LogonStep exit() { return {Exit, {}, {}, {}, false}; }
  static LogonStep close() { return {Close, {}, {}, {}, false}; }
  static LogonStep waitForTimer() { return {WaitForTimer, {}, {}, {}, false}; }
};

// Answers the logon dialogs of the program with the given steps, one step per poll while a dialog
// is open (a dialog that stays open after an error takes the next step). Without steps left, an open
// dialog is closed with Exit and counted as unexpected.
class LogonDriver {
 public:
  explicit LogonDriver(QList<LogonStep> steps);
  ~LogonDriver();

  const QList<LogonDialogSeen>& seen() const { return seen_; }
  int unexpected() const { return unexpected_; }
  bool done() const { return steps_.isEmpty(); }

 private:
  void poll();

  QList<LogonStep> steps_;
  QList<LogonDialogSeen> seen_;
  QPointer<TfmConnect> current_;
  QPointer<TfmConnect> waiting_;
  int unexpected_ = 0;
  QTimer timer_;
};

// Keeps activation events from the windows it is installed on, as an X server without a window
// manager never activates them.
class NoActivation : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::WindowActivate; }
};

}  // namespace nuvo::test
