#pragma once
// The connect aliases of the Oracle client's configuration: the names defined in tnsnames.ora.

#include <QString>
#include <QStringList>

namespace nuvo::db::oci {

// The names a tnsnames.ora text defines, as written, in order: every name before "=" at the top
// level of the parentheses ("A, B = (...)" defines two). Comments start with "#". IFILE entries are
// returned with the prefix "IFILE=" so that the caller can read the file they name.
QStringList parseTnsnames(const QString& text);

// The file the client reads: TNS_ADMIN/tnsnames.ora, else ORACLE_HOME/network/admin/tnsnames.ora;
// empty when neither is set.
QString tnsnamesPath(const QString& tnsAdmin, const QString& oracleHome);

// The aliases of that file and of the files it includes, upper case, sorted, each once. A missing
// or unreadable file gives none.
QStringList tnsnamesAliases(const QString& tnsAdmin, const QString& oracleHome);

}  // namespace nuvo::db::oci
