#pragma once
// What the index-drop utility does without its widgets: the drop statement of a listed index and
// the drop of a whole list, which stops at the first index the server refuses.

#include <QList>
#include <QString>
#include <functional>

namespace nuvo::sqlwork {

// An index as a row of the list names it: its own owner and whole name.
struct ListedIndex {
  QString owner;
  QString table;
  QString name;
};

// drop index "OWNER"."NAME"
QString dropIndexStatement(const ListedIndex& index);

struct DropOutcome {
  int dropped = 0;
  QString failedIndex;  // empty when every index was dropped
  QString error;
};
// Drops the indexes in list order with `run` (which throws db::Error when the server refuses);
// the first refusal ends the drop and the indexes after it stay.
DropOutcome dropIndexes(const QList<ListedIndex>& indexes, const std::function<void(const QString&)>& run);

// The message of a refused drop: "ERROR ON DELETING INDEX :" + name, then the server's text.
QString dropFailedMessage(const DropOutcome& outcome);

}  // namespace nuvo::sqlwork
