#pragma once
// Makes sure the server's logging context knows the application user before server parameters
// are saved.

#include <QObject>

#include "db/query.h"

namespace nuvo::db {
class Session;
}

class TdmUsers : public QObject {
  Q_OBJECT
 public:
  // `session`: the main session (osOracle).
  explicit TdmUsers(nuvo::db::Session* session, QObject* parent = nullptr);

  // True when the logging context has an application user after the call: already set, or set now
  // from the session user's row of KADE.ISEC_USERS. Nothing is committed; database errors propagate.
  bool CanSaveParam();

  nuvo::db::Query quUser;
  nuvo::db::Query quUserLogin;
  nuvo::db::Query quExistsISEC_USERS;
  nuvo::db::Query quExistUserInISEC_USERS;

 private:
  nuvo::db::Session* session_;
};
