#include "sqlwork/index_drop_logic.h"

#include "admin/errors_logic.h"
#include "db/error.h"

namespace nuvo::sqlwork {

QString dropIndexStatement(const ListedIndex& index) {
  return QStringLiteral("drop index ") + admin::quotedName(index.owner) + u'.' + admin::quotedName(index.name);
}

DropOutcome dropIndexes(const QList<ListedIndex>& indexes, const std::function<void(const QString&)>& run) {
  DropOutcome outcome;
  for (const ListedIndex& index : indexes) {
    try {
      run(dropIndexStatement(index));
    } catch (const db::Error& e) {
      outcome.failedIndex = index.name;
      outcome.error = e.message();
      return outcome;
    }
    ++outcome.dropped;
  }
  return outcome;
}

QString dropFailedMessage(const DropOutcome& outcome) {
  return QStringLiteral("ERROR ON DELETING INDEX :") + outcome.failedIndex + QStringLiteral("\n\n") + outcome.error;
}

}  // namespace nuvo::sqlwork
