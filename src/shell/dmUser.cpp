#include "shell/dmUser.h"

#include "db/session.h"

TdmUsers::TdmUsers(nuvo::db::Session* session, QObject* parent)
    : QObject(parent),
      quUser(session),
      quUserLogin(session),
      quExistsISEC_USERS(session),
      quExistUserInISEC_USERS(session),
      session_(session) {
  setObjectName("dmUsers");
  quUser.setSql(QStringLiteral("select kade.pckLogParam.getUser from dual"));
  quUserLogin.setSql(QStringList{"BEGIN", "   kade.pckLogParam.initParam(:USERDEF1);", "END;"});
  quUserLogin.declareVariable("USERDEF1", nuvo::db::DataType::String);
  // The user table read next is KADE's; another schema's ISEC_USERS (a hosted installation) does
  // not count.
  quExistsISEC_USERS.setSql(
      QStringLiteral("SELECT * FROM all_tables where table_name = 'ISEC_USERS' and owner = 'KADE'"));
  quExistUserInISEC_USERS.setSql(QStringList{"select USER__ID, USERNAME, USERDEF1 ", "from KADE.ISEC_USERS ",
                                             "where UPPER(USERNAME)=UPPER(:USERNAME)"});
  quExistUserInISEC_USERS.declareVariable("USERNAME", nuvo::db::DataType::String);
}

bool TdmUsers::CanSaveParam() {
  quUser.execute();
  if (!quUser.eof() && !quUser.field("GETUSER").isNull()) return true;
  quExistsISEC_USERS.execute();
  if (quExistsISEC_USERS.eof()) return false;
  quExistUserInISEC_USERS.setVariable("USERNAME", session_->user());
  quExistUserInISEC_USERS.execute();
  if (quExistUserInISEC_USERS.eof() || quExistUserInISEC_USERS.field("USER__ID").isNull()) return false;
  quUserLogin.setVariable("USERDEF1", quExistUserInISEC_USERS.field("USERDEF1").asString());
  quUserLogin.execute();
  return true;
}
