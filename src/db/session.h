#pragma once
// A database session of the tool. Thread-safe: one mutex serialises every call of the session and of
// the queries and datasets on it, so a worker thread may run a statement while the main thread
// waits; breakExecution() does not take the mutex and may be called from any thread.

#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>
#include <set>

#include "db/driver.h"

namespace nuvo::db {

class SqlCommand;
class Dataset;

class Session {
 public:
  // The default driver (embedded databases, and Oracle servers through the client library)
  // unless another is given.
  explicit Session(Driver* driver = nullptr);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Logs on, first logging off when connected. Throws Error (ORA-01017, ORA-12154, ...).
  void logOn(const QString& user, const QString& password, const QString& database, bool sysdba = false);
  // Closes every query and dataset of the session and ends it; the engine rolls back what is open.
  void logOff();
  bool connected() const;

  void commit();
  void rollback();
  void savepoint(const QString& name);
  void rollbackToSavepoint(const QString& name);
  bool inTransaction() const;
  // Applies the cached updates of the datasets in order and, when asked, commits. A failure leaves
  // every dataset's cache as it was and the session's work before the call untouched.
  void applyUpdates(const QList<Dataset*>& datasets, bool commit);

  // From any thread: the statement now running fails with ORA-01013. Nothing happens when none runs.
  void breakExecution();
  // A statement or fetch of this session is running.
  bool executing() const { return executing_.load(); }

  QString user() const;      // upper case
  QString database() const;  // as given to logOn
  bool sysdba() const { return sysdba_; }
  // The full version text of the server ("Oracle Database 19c ... Version 19.0.0.0.0"), empty when
  // not connected.
  QString serverVersion() const;
  // Lines written through DBMS_OUTPUT since the last call.
  QStringList takeOutput();

 private:
  friend class SqlCommand;

  std::unique_lock<std::recursive_mutex> lock() const { return std::unique_lock(mutex_); }
  DriverSession& driverSession() const;  // throws when not connected
  void attach(SqlCommand* command);
  void detach(SqlCommand* command);

  // Marks the session busy for breakExecution while a call runs.
  class Running {
   public:
    explicit Running(const Session& s) : s_(s) { s_.executing_ = true; }
    ~Running() { s_.executing_ = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

   private:
    const Session& s_;
  };

  Driver* driver_;
  mutable std::recursive_mutex mutex_;
  std::mutex breakMutex_;  // guards session_ against logOff while breakExecution uses it
  std::shared_ptr<DriverSession> session_;
  std::set<SqlCommand*> commands_;
  QString database_;
  QString serverVersion_;
  bool sysdba_ = false;
  mutable std::atomic<bool> executing_{false};
};

}  // namespace nuvo::db
