#include "shell_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "engine/engine.h"
#include "engine/script.h"
#include "db/embedded/embedded_driver.h"
#include "shell/connect.h"

namespace fs = std::filesystem;

namespace nuvo::test {

void HomeDirFixture::SetUp() {
  previousHome_ = qgetenv("NUVO_SQL_HOME");
  previousDir_ = QDir::currentPath();
  home_ = makeTempDir("home");
  qputenv("NUVO_SQL_HOME", QByteArray::fromStdString(home_));
  QDir::setCurrent(QString::fromStdString(home_));
}

void HomeDirFixture::TearDown() {
  QDir::setCurrent(previousDir_);
  qputenv("NUVO_SQL_HOME", previousHome_);
}

QString HomeDirFixture::homePath(const QString& name) const {
  return QString::fromStdString(home_) + u'/' + name;
}

void HomeDirFixture::writeHomeFile(const QString& name, const QString& text) const {
  QFile file(homePath(name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text.toUtf8());
}

ScriptedMessages::ScriptedMessages() {
  previous_ = setMessageAnswerer([this](const MessageRequest& request) {
    texts_ << request.text;
    if (request.kind != MessageKind::Question) return MessageAnswer::Ok;
    return answers_.isEmpty() ? MessageAnswer::No : answers_.takeFirst();
  });
}

ScriptedMessages::~ScriptedMessages() { setMessageAnswerer(previous_); }

namespace {

// The seeded database, made once per run and copied for each test.
const fs::path& templateDatabase() {
  static const fs::path directory = [] {
    const fs::path dir = fs::path(makeTempDir("template")) / "DEMO";
    engine::CreateOptions options;
    options.durable = false;
    auto database = engine::Database::create(dir.string(), options);
    auto sys = database->logOn("SYS", options.sysPassword, true);
    for (const char* user : {"KADE", "ZOZURO", "NUVO_UTIL"}) {
      sys->execute(std::string("CREATE USER ") + user + " IDENTIFIED BY " + user);
      sys->execute(std::string("GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM TO ") + user);
    }
    std::vector<fs::path> scripts;
    for (const auto& entry : fs::directory_iterator(fs::path(NUVO_SOURCE_DIR) / "seed"))
      if (entry.path().extension() == ".sql") scripts.push_back(entry.path());
    std::sort(scripts.begin(), scripts.end());
    for (const fs::path& script : scripts) {
      QFile file(QString::fromStdString(script.string()));
      if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + script.string());
      for (const auto& statement : engine::splitScript(file.readAll().toStdString()))
        sys->execute(statement.text);
      sys->commit();
    }
    return dir;
  }();
  return directory;
}

}  // namespace

ModalRunner choosingFile(const QString& path) {
  return [path](QDialog& dialog) {
    auto* files = qobject_cast<QFileDialog*>(&dialog);
    if (!files) return static_cast<int>(QDialog::Rejected);
    files->selectFile(path);
    dialog.accept();  // the file dialog's own accept checks the chosen file
    return dialog.result();
  };
}

void DatabaseFixture::SetUp() {
  HomeDirFixture::SetUp();
  previousData_ = qgetenv("NUVO_SQL_DATA");
  const fs::path source = templateDatabase();
  data_ = makeTempDir("data");
  fs::copy(source, fs::path(data_) / "DEMO", fs::copy_options::recursive);
  qputenv("NUVO_SQL_DATA", QByteArray::fromStdString(data_));
}

void DatabaseFixture::TearDown() {
  qputenv("NUVO_SQL_DATA", previousData_);
  HomeDirFixture::TearDown();
}

std::shared_ptr<engine::Database> DatabaseFixture::database() const {
  return db::EmbeddedDriver::openShared(QString::fromStdString((fs::path(data_) / "DEMO").string()));
}

std::shared_ptr<engine::Database> DatabaseFixture::addDatabase(const std::string& name) const {
  fs::copy(templateDatabase(), fs::path(data_) / name, fs::copy_options::recursive);
  return db::EmbeddedDriver::openShared(QString::fromStdString((fs::path(data_) / name).string()));
}

void DatabaseFixture::sys(const QStringList& statements) const {
  auto session = database()->logOn("SYS", "SYS", true);
  for (const QString& statement : statements) session->execute(statement.toStdString());
  session->commit();
}

LogonDriver::LogonDriver(QList<LogonStep> steps) : steps_(std::move(steps)) {
  timer_.setInterval(5);
  QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
  timer_.start();
}

LogonDriver::~LogonDriver() { timer_.stop(); }

void LogonDriver::poll() {
  auto* dialog = qobject_cast<TfmConnect*>(QApplication::activeModalWidget());
  if (!dialog || !dialog->isVisible()) return;
  if (dialog == waiting_ && dialog->tiAuto->isActive()) return;
  if (dialog != current_) {
    current_ = dialog;
    seen_ << LogonDialogSeen{dialog->edUser->text(),          dialog->edPassword->text(),
                             dialog->cbDatabases->currentText(), {},
                             dialog->cbConnect->isEnabled(),     dialog->tiAuto->isActive(),
                             dialog->FSaveLoginData};
    for (int i = 0; i < dialog->cbDatabases->count(); ++i) seen_.last().databases << dialog->cbDatabases->itemText(i);
  }
  if (steps_.isEmpty()) {
    ++unexpected_;
    dialog->btExit->click();
    return;
  }
  const LogonStep step = steps_.takeFirst();
  switch (step.action) {
    case LogonStep::WaitForTimer:
      waiting_ = dialog;
      return;
    case LogonStep::Exit:
      dialog->btExit->click();
      return;
    case LogonStep::Close:
      dialog->reject();
      return;
    case LogonStep::Connect:
      dialog->edUser->setText(step.user);
      dialog->edPassword->setText(step.password);
      dialog->cbDatabases->setCurrentIndex(dialog->cbDatabases->findText(step.database));
      dialog->cbConnect->setChecked(step.save);
      dialog->btConnect->click();
      return;
  }
}

}  // namespace nuvo::test
