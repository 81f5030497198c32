#include "db/default_driver.h"

#include "db/embedded/embedded_driver.h"
#include "db/error.h"
#include "db/oci/oci_driver.h"
#include "db/oci/tnsnames.h"

namespace nuvo::db {

QStringList DefaultDriver::aliases() const {
  QStringList names;
  for (const QString& name : embeddedDriver().aliases()) names << name.toUpper();
  names << ociDriver().aliases();
  names.sort();
  names.removeDuplicates();
  return names;
}

bool isClientConnectString(const QString& database) {
  const QString text = database.trimmed();
  if (text.isEmpty()) return false;
  if (text.startsWith(QStringLiteral("//")) || text.contains(u':')) return true;
  if (text.contains(u'/') && !text.startsWith(u'/') && !text.startsWith(u'.') && !text.startsWith(u'~')) return true;
  const oci::ClientLocation where = oci::defaultClientLocation();
  return oci::tnsnamesAliases(qEnvironmentVariable("TNS_ADMIN"), where.oracleHome).contains(text.toUpper());
}

std::unique_ptr<DriverSession> DefaultDriver::logOn(const QString& user, const QString& password,
                                                    const QString& database, bool sysdba) {
  // An embedded database wins over a client alias of the same name.
  if (!EmbeddedDriver::resolve(database).isEmpty()) return embeddedDriver().logOn(user, password, database, sysdba);
  QString why;
  if (ociDriver().available(&why)) return ociDriver().logOn(user, password, database, sysdba);
  if (isClientConnectString(database)) throw Error::client(why);
  return embeddedDriver().logOn(user, password, database, sysdba);  // ORA-12154
}

DefaultDriver& defaultDriver() {
  static DefaultDriver driver;
  return driver;
}

}  // namespace nuvo::db
