#include "admin/errors_logic.h"

#include "db/error.h"
#include "db/query.h"
#include "shell/sql_catalog.h"

namespace nuvo::admin {

namespace {

// ORA-24344: success with compilation error.
constexpr int kCompiledWithErrors = 24344;

const SqlText kCheckInvalid{"errors.quCheckInvalid",
                            {"select object_name from all_objects",
                             "where owner=:lastnik and object_name=:ime and object_type=:tip and status='INVALID'"}};

}  // namespace

QString quotedName(const QString& name) {
  QString quoted = name;
  quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

namespace {
QString qualified(const StoredObject& object) { return quotedName(object.owner) + u'.' + quotedName(object.name); }
}  // namespace

QString compileStatement(const StoredObject& object) {
  QString type = object.type.trimmed();
  QString suffix;
  if (type.startsWith(QStringLiteral("PACKAGE"))) {
    suffix = type.size() == 7 ? QStringLiteral("PACKAGE") : QStringLiteral("BODY");
    type = QStringLiteral("PACKAGE");
  }
  return QStringLiteral("ALTER ") + type + u' ' + qualified(object) + QStringLiteral(" COMPILE ") + suffix;
}

QString dropStatement(const StoredObject& object) {
  return QStringLiteral("DROP ") + object.type.trimmed() + u' ' + qualified(object);
}

QString droppedMessage(const StoredObject& object, const QString& droppedText) {
  return object.owner + u'.' + object.name + u' ' + object.type.trimmed() + QStringLiteral("  ") + droppedText;
}

QString dropFailedMessage(const StoredObject& object, const QString& failedText) {
  return failedText + u' ' + object.owner + u'.' + object.name + u' ' + object.type.trimmed();
}

QString orderingLine(ListOrder order) {
  switch (order) {
    case ListOrder::CompileOrder:
      return QStringLiteral("order by Poz,object_type,object_name");
    case ListOrder::Type:
      return QStringLiteral("order by object_type,object_name");
    case ListOrder::Name:
      return QStringLiteral("order by object_name");
    case ListOrder::LastModification:
      break;
  }
  return QStringLiteral("order by timestamp desc");
}

CompileOutcome compileObject(db::Session& session, const StoredObject& object, QString* error) {
  try {
    db::Query compile(&session);
    compile.setSql(compileStatement(object));
    compile.execute();
  } catch (const db::Error& e) {
    if (e.code() != kCompiledWithErrors) {
      if (error) *error = e.message();
      return CompileOutcome::Failed;
    }
  }
  try {
    db::Query check(&session);
    check.setSql(kCheckInvalid);
    for (const char* name : {"lastnik", "ime", "tip"}) check.declareVariable(name, db::DataType::String);
    check.setVariable("lastnik", object.owner);
    check.setVariable("ime", object.name);
    check.setVariable("tip", object.type.trimmed());
    check.execute();
    return check.eof() ? CompileOutcome::Valid : CompileOutcome::StillInvalid;
  } catch (const db::Error& e) {
    if (error) *error = e.message();
    return CompileOutcome::Failed;
  }
}

int recompileAll(const QList<StoredObject>& objects, const RecompileSteps& steps) {
  int compiled = 0;
  bool shown = false;
  for (const StoredObject& object : objects) {
    if (steps.beforeEach) steps.beforeEach();
    if (steps.cancelled && steps.cancelled()) break;
    const CompileOutcome outcome = steps.compile(object);
    ++compiled;
    if (outcome == CompileOutcome::StillInvalid && !shown) {
      shown = true;
      if (steps.firstStillInvalid) steps.firstStillInvalid();
    }
  }
  return compiled;
}

}  // namespace nuvo::admin
