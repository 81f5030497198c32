#pragma once
// The embedded driver: the engine in process. A database is a directory; the aliases are the
// databases under the data directory. One engine::Database object serves every session the process
// opens on the same directory.

#include <memory>

#include "db/driver.h"

namespace engine {
class Database;
}

namespace nuvo::db {

class EmbeddedDriver : public Driver {
 public:
  QStringList aliases() const override;
  // `database` is an alias (any case) or the path of a database directory.
  std::unique_ptr<DriverSession> logOn(const QString& user, const QString& password, const QString& database,
                                       bool sysdba) override;

  // The process's one database object of a directory, opened on first use; nullptr when the
  // directory holds no database.
  static std::shared_ptr<engine::Database> openShared(const QString& directory);
  // The directory of an alias or path; empty when there is no such database.
  static QString resolve(const QString& database);
};

EmbeddedDriver& embeddedDriver();

}  // namespace nuvo::db
