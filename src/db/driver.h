#pragma once
// The interface between the client layer and a database driver. The embedded driver runs the
// engine in process; the Oracle driver (db/oci) reaches servers through their client library.
// Drivers throw nuvo::db::Error with the offset of the fault in the statement text.

#include <QStringList>
#include <QVariant>
#include <memory>

#include "db/types.h"

namespace nuvo::db {

enum class Direction { In, Out, InOut };

// Rows of a query or of a cursor returned through an out variable.
class ResultSet {
 public:
  virtual ~ResultSet() = default;
  virtual const Columns& columns() const = 0;
  // Moves to the next row; false at the end.
  virtual bool next() = 0;
  // A value of the current row.
  virtual QVariant value(int column) const = 0;
  virtual void close() = 0;
  // Rows to fetch from the server per round trip from now on; a driver that reads rows in
  // process ignores it.
  virtual void setPacketRows(int rows) { (void)rows; }
};

// One prepared statement. A query's rows are read through the statement itself after execute().
class DriverStatement : public ResultSet {
 public:
  // Distinct variable names in order of first use, upper case, without the colon.
  virtual QStringList bindNames() const = 0;
  virtual bool isQuery() const = 0;
  virtual void bind(const QString& name, const QVariant& value, DataType type, Direction direction) = 0;
  virtual void execute() = 0;
  // Rows inserted, updated or deleted by the last execute, or fetched so far by a query.
  virtual qint64 rowsProcessed() const = 0;
  // The value of a variable after execute; a cursor variable gives its rows through outCursor.
  virtual QVariant outValue(const QString& name) const = 0;
  virtual std::shared_ptr<ResultSet> outCursor(const QString& name) const = 0;
};

class DriverSession {
 public:
  virtual ~DriverSession() = default;
  virtual std::unique_ptr<DriverStatement> prepare(const QString& sql) = 0;
  virtual void commit() = 0;
  virtual void rollback() = 0;
  virtual void savepoint(const QString& name) = 0;
  virtual void rollbackToSavepoint(const QString& name) = 0;
  virtual bool inTransaction() const = 0;
  // Any thread: the statement now running fails with ORA-01013.
  virtual void interrupt() = 0;
  virtual QString user() const = 0;
  virtual QString database() const = 0;
  // Lines written through DBMS_OUTPUT since the last call.
  virtual QStringList takeOutput() = 0;
};

class Driver {
 public:
  virtual ~Driver() = default;
  // The databases this driver offers by name (the logon dialog lists them).
  virtual QStringList aliases() const = 0;
  // Throws ORA-01017 for a wrong user or password, ORA-12154 for an unknown database.
  virtual std::unique_ptr<DriverSession> logOn(const QString& user, const QString& password,
                                               const QString& database, bool sysdba) = 0;
};

}  // namespace nuvo::db
