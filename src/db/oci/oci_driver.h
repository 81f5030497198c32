#pragma once
// The driver for Oracle servers through the Oracle client library, opened at run time. Aliases
// are the names of the client's tnsnames.ora; a logon takes a TNS alias or an easy-connect string
// ("host:port/service").

#include <optional>

#include "db/driver.h"
#include "db/oci/oci_library.h"

namespace nuvo::db {

class OciDriver : public Driver {
 public:
  // Looks for the client library where defaultClientLocation() says, at each use.
  OciDriver() = default;
  // Looks only where `location` says.
  explicit OciDriver(oci::ClientLocation location) : location_(std::move(location)) {}

  // The client library can be opened; `why` gets the reason when it cannot.
  bool available(QString* why = nullptr) const;
  // The tnsnames.ora aliases (TNS_ADMIN, else ORACLE_HOME/network/admin), upper case, sorted;
  // none without the client library.
  QStringList aliases() const override;
  // Throws Error: "Oracle client library not found: ..." without the library, else the server's
  // ORA- error (ORA-01017, ORA-12154, ...).
  std::unique_ptr<DriverSession> logOn(const QString& user, const QString& password, const QString& database,
                                       bool sysdba) override;

 private:
  oci::ClientLocation location() const;
  std::optional<oci::ClientLocation> location_;
};

OciDriver& ociDriver();

}  // namespace nuvo::db
