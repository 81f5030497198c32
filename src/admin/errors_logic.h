#pragma once
// What the status window of invalid objects does without its widgets: the statements it builds,
// its messages, the ordering of its list and the Recompile All loop.

#include <QList>
#include <QString>
#include <functional>

namespace nuvo::db {
class Session;
}

namespace nuvo::admin {

// A stored object as a row of the list names it: the owner it was listed for and its whole name
// (the list shows at most 40 characters of it), and its type without the list's trailing blanks.
struct StoredObject {
  QString owner;
  QString name;
  QString type;
};

// A dictionary name as a quoted identifier, so that names in any case or with any character
// reach the right object.
QString quotedName(const QString& name);
// "ALTER <type> "OWNER"."NAME" COMPILE <suffix>": a package compiles with the suffix PACKAGE
// (specification and body), a package body as the package with BODY, anything else with no suffix.
QString compileStatement(const StoredObject& object);
QString dropStatement(const StoredObject& object);
// "OWNER.NAME TYPE  <droppedText>" and "<failedText> OWNER.NAME TYPE".
QString droppedMessage(const StoredObject& object, const QString& droppedText);
QString dropFailedMessage(const StoredObject& object, const QString& failedText);

// The list's ordering line.
enum class ListOrder { CompileOrder, Type, Name, LastModification };
QString orderingLine(ListOrder order);

enum class CompileOutcome { Valid, StillInvalid, Failed };
// Compiles the object; a compile that leaves errors is no failure (the server only warns), it
// leaves the object invalid with its errors in ALL_ERRORS. Failed: the server refused the statement;
// its message goes to `error`.
CompileOutcome compileObject(db::Session& session, const StoredObject& object, QString* error);

// The Recompile All loop over a list. Before each object `cancelled` is asked (after `beforeEach`,
// which lets the window take a click on Cancel); the first object that stays invalid calls
// `firstStillInvalid` once (the window shows its Cancel box then), so a tick set after that always
// stops the loop. Returns how many objects were compiled.
struct RecompileSteps {
  std::function<CompileOutcome(const StoredObject&)> compile;
  std::function<void()> beforeEach;
  std::function<bool()> cancelled;
  std::function<void()> firstStillInvalid;
};
int recompileAll(const QList<StoredObject>& objects, const RecompileSteps& steps);

}  // namespace nuvo::admin
