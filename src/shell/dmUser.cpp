#include "shell/dmUser.h"

#include "db/session.h"
#include "shell/sql_catalog.h"

namespace {

const nuvo::SqlText kQuUser{"dmUser.quUser", {"select kade.pckLogParam.getUser from dual"}};
const nuvo::SqlText kQuUserLogin{"dmUser.quUserLogin", {"BEGIN", "   kade.pckLogParam.initParam(:USERDEF1);", "END;"}};
// The user table read next is KADE's; another schema's ISEC_USERS (a hosted installation) does
// not count.
const nuvo::SqlText kQuExistsIsecUsers{
    "dmUser.quExistsISEC_USERS", {"SELECT * FROM all_tables where table_name = 'ISEC_USERS' and owner = 'KADE'"}};
const nuvo::SqlText kQuExistUserInIsecUsers{
    "dmUser.quExistUserInISEC_USERS",
    {"select USER__ID, USERNAME, USERDEF1 ", "from KADE.ISEC_USERS ", "where UPPER(USERNAME)=UPPER(:USERNAME)"}};

}  // namespace

TdmUsers::TdmUsers(nuvo::db::Session* session, QObject* parent)
    : QObject(parent),
      quUser(session),
      quUserLogin(session),
      quExistsISEC_USERS(session),
      quExistUserInISEC_USERS(session),
      session_(session) {
  setObjectName("dmUsers");
  quUser.setSql(kQuUser);
  quUserLogin.setSql(kQuUserLogin);
  quUserLogin.declareVariable("USERDEF1", nuvo::db::DataType::String);
  quExistsISEC_USERS.setSql(kQuExistsIsecUsers);
  quExistUserInISEC_USERS.setSql(kQuExistUserInIsecUsers);
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
