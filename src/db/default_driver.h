#pragma once
// The driver a Session uses unless given another: a database that names an embedded one (alias or
// directory) is the embedded database; any other goes to an Oracle server through the client
// library.

#include "db/driver.h"

namespace nuvo::db {

class DefaultDriver : public Driver {
 public:
  // The embedded databases and, when the client library is present, the client's aliases: upper
  // case, sorted, each once.
  QStringList aliases() const override;
  std::unique_ptr<DriverSession> logOn(const QString& user, const QString& password, const QString& database,
                                       bool sysdba) override;
};

DefaultDriver& defaultDriver();

// A database text that only an Oracle client can reach: an alias of the client's tnsnames.ora or
// an easy-connect string ("host:port/service", "//host/service", "host/service").
bool isClientConnectString(const QString& database);

}  // namespace nuvo::db
