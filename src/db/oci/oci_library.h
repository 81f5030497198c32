#pragma once
// Finding and opening the Oracle client library at run time. The program never links against it:
// without it the embedded databases work as before and a logon to a real database fails with
// "Oracle client library not found: ...".

#include <QString>
#include <QStringList>

#include "db/oci/oci_api.h"

namespace nuvo::db::oci {

// Where to look for the library, in this order: the configured path (the library file itself or
// its directory), ORACLE_HOME/lib, then the system's library search path (LD_LIBRARY_PATH and the
// linker cache).
struct ClientLocation {
  QString configured;
  QString oracleHome;
  bool librarySearchPath = true;
};

// The configured path of the process (empty unless set) and ORACLE_HOME of the environment.
ClientLocation defaultClientLocation();
void setConfiguredClientLibrary(const QString& path);

// The files to try for a location, in order.
QStringList clientLibraryCandidates(const ClientLocation& location);

// The functions of the first candidate that opens and exports every function the driver uses, or
// nullptr with `why` set to the message for the user. An opened library stays loaded for the
// life of the process.
const Api* loadClientLibrary(const ClientLocation& location, QString* why);

}  // namespace nuvo::db::oci
