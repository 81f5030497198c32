#include "db/session.h"

#include "db/dataset.h"
#include "db/default_driver.h"
#include "db/error.h"
#include "db/sql_command.h"

namespace nuvo::db {

Session::Session(Driver* driver) : driver_(driver ? driver : &defaultDriver()) {}

Session::~Session() {
  logOff();
  auto guard = lock();
  for (SqlCommand* command : commands_) command->session_ = nullptr;
}

void Session::logOn(const QString& user, const QString& password, const QString& database, bool sysdba) {
  auto guard = lock();
  logOff();
  auto session = std::shared_ptr<DriverSession>(driver_->logOn(user, password, database, sysdba));
  QString version;
  try {
    auto banner = session->prepare(QStringLiteral("SELECT banner FROM v$version"));
    banner->execute();
    if (banner->next()) version = banner->value(0).toString();
    banner->close();
  } catch (const Error&) {
    // a server without V$VERSION access still serves the session
  }
  std::lock_guard breakGuard(breakMutex_);
  session_ = std::move(session);
  database_ = database;
  serverVersion_ = version;
  sysdba_ = sysdba;
}

void Session::logOff() {
  auto guard = lock();
  if (!session_) return;
  for (SqlCommand* command : commands_) {
    command->close();
    command->statement_.reset();
    command->prepared_ = false;
  }
  std::lock_guard breakGuard(breakMutex_);
  session_.reset();
  serverVersion_.clear();
}

bool Session::connected() const {
  auto guard = lock();
  return session_ != nullptr;
}

DriverSession& Session::driverSession() const {
  if (!session_) throw Error::ora(3114, QStringLiteral("not connected to ORACLE"));
  return *session_;
}

void Session::commit() {
  auto guard = lock();
  driverSession().commit();
}

void Session::rollback() {
  auto guard = lock();
  driverSession().rollback();
}

void Session::savepoint(const QString& name) {
  auto guard = lock();
  driverSession().savepoint(name);
}

void Session::rollbackToSavepoint(const QString& name) {
  auto guard = lock();
  driverSession().rollbackToSavepoint(name);
}

bool Session::inTransaction() const {
  auto guard = lock();
  return session_ && session_->inTransaction();
}

void Session::applyUpdates(const QList<Dataset*>& datasets, bool commitAfter) {
  auto guard = lock();
  DriverSession& driver = driverSession();
  static const QString kSavepoint = QStringLiteral("NUVO_APPLY_UPDATES");
  driver.savepoint(kSavepoint);
  try {
    for (Dataset* dataset : datasets) dataset->postCachedUpdates();
  } catch (...) {
    driver.rollbackToSavepoint(kSavepoint);
    for (Dataset* dataset : datasets) dataset->discardPostedRowids();
    throw;
  }
  for (Dataset* dataset : datasets) dataset->commitCachedUpdates();
  if (commitAfter) driver.commit();
}

void Session::breakExecution() {
  if (!executing_.load()) return;
  std::lock_guard breakGuard(breakMutex_);
  if (session_) session_->interrupt();
}

QString Session::user() const {
  auto guard = lock();
  return session_ ? session_->user() : QString();
}

QString Session::database() const {
  auto guard = lock();
  return session_ ? database_ : QString();
}

QString Session::serverVersion() const {
  auto guard = lock();
  return serverVersion_;
}

QStringList Session::takeOutput() {
  auto guard = lock();
  return driverSession().takeOutput();
}

void Session::attach(SqlCommand* command) {
  auto guard = lock();
  commands_.insert(command);
}

void Session::detach(SqlCommand* command) {
  auto guard = lock();
  commands_.erase(command);
}

}  // namespace nuvo::db
