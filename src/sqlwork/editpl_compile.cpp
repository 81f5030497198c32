#include "sqlwork/editpl_compile.h"

#include "db/query.h"
#include "shell/sql_catalog.h"

namespace nuvo::sqlwork {

namespace {

// ORA-24344: success with compilation error.
constexpr int kCompiledWithErrors = 24344;

const nuvo::SqlText kGetTime{"editpl.quGetTime", {"select  sysdate cas from dual"}};
// The errors of the object a block's header names.
const nuvo::SqlText kObjectErrors{"editpl.quObjectErrors",
                                  {"select e.name object,e.line,e.position,e.text", "  from all_errors e",
                                   " where e.owner=:upor and e.name=:ime and e.type=:tip", " order by e.sequence"}};
// A block without a header that compiled with errors: the errors of the object of the owner that
// changed last since the block started.
const nuvo::SqlText kError{"editpl.quError",
                           {"select e.name object ,e.line,e.position,e.text ,o.last_ddl_time",
                            "from all_errors e,all_objects o", "where e.owner=:upor  and",
                            "           o.owner=e.owner and", "           o.object_name=e.name and",
                            "           o.object_type=e.type and", "           o.last_ddl_time>=:TrenCas",
                            "order by o.last_ddl_time desc "}};

struct ServerError {
  QString object;
  int line = 0;
  int position = 0;
  QString text;
};

QList<ServerError> objectErrors(nuvo::db::Session& session, const QString& owner, const BlockObject& object) {
  nuvo::db::Query q(&session);
  q.setSql(kObjectErrors);
  q.declareVariable("upor", nuvo::db::DataType::String);
  q.declareVariable("ime", nuvo::db::DataType::String);
  q.declareVariable("tip", nuvo::db::DataType::String);
  q.setVariable("upor", owner);
  q.setVariable("ime", object.name);
  q.setVariable("tip", object.type);
  QList<ServerError> rows;
  for (q.execute(); !q.eof(); q.next())
    rows << ServerError{q.field(0).asString(), int(q.field(1).asInteger()), int(q.field(2).asInteger()),
                        q.field(3).asString()};
  q.close();
  return rows;
}

// The errors of the owner's object compiled last since `since`: its rows of that one change only.
QList<ServerError> lastChangedErrors(nuvo::db::Session& session, const QString& owner, const QDateTime& since) {
  nuvo::db::Query q(&session);
  q.setSql(kError);
  q.declareVariable("upor", nuvo::db::DataType::String);
  q.declareVariable("TrenCas", nuvo::db::DataType::Date);
  q.setVariable("upor", owner.toUpper());
  q.setVariable("TrenCas", since);
  QList<ServerError> rows;
  q.execute();
  if (!q.eof()) {
    const QString name = q.field(0).asString();
    const QDateTime changed = q.field(4).asDate();
    for (; !q.eof() && q.field(0).asString() == name && q.field(4).asDate() == changed; q.next())
      rows << ServerError{name, int(q.field(1).asInteger()), int(q.field(2).asInteger()), q.field(3).asString()};
  }
  q.close();
  return rows;
}

QDateTime serverTime(nuvo::db::Session& session) {
  nuvo::db::Query q(&session);
  q.setSql(kGetTime);
  q.execute();
  const QDateTime now = q.field(0).asDate();
  q.close();
  return now;
}

}  // namespace

PlCompileResult compilePlSource(nuvo::db::Session& session, const QStringList& editorLines,
                                const PlCompileOptions& options) {
  PlCompileResult result;
  const QString source = editorLines.join(QStringLiteral("\r\n"));
  result.compiledText = options.rename ? options.rename(source) : source;
  QStringList lines = result.compiledText.split(QStringLiteral("\r\n"));
  // Renaming never adds or removes a line; should it, columns are taken as compiled.
  const bool mapColumns = options.rename && lines.size() == editorLines.size();
  for (const CompileBlock& block : splitBlocks(lines)) {
    if (block.empty()) continue;
    const QString text = options.stripSemicolon ? options.stripSemicolon(block.text) : block.text;
    const QDateTime started = block.object.valid() ? QDateTime() : serverTime(session);
    if (options.beforeBlock) options.beforeBlock(text);
    bool withErrors = false;
    ++result.blocksRun;
    try {
      nuvo::db::Query q(&session);
      q.setSql(text);
      q.execute();
      q.close();
    } catch (const nuvo::db::Error& e) {
      if (e.code() != kCompiledWithErrors) {
        ++result.failedBlocks;
        if (options.executionFailed) options.executionFailed(block.lines.first(), e.message());
        continue;
      }
      withErrors = true;
    }
    QList<ServerError> rows;
    bool withBodyOffset = false;
    if (block.object.valid()) {
      const QString owner = block.object.owner.isEmpty() ? options.connUser.toUpper() : block.object.owner;
      rows = objectErrors(session, owner, block.object);
      withBodyOffset = block.object.type == u"TRIGGER";
    } else if (withErrors) {
      QString owner = ownerFromHeader(lines.value(0), lines.value(1));
      if (owner.isEmpty()) owner = options.connUser;
      rows = lastChangedErrors(session, owner, started);
      withBodyOffset = !rows.isEmpty() && !rows.first().object.startsWith(QStringLiteral("PCK"));
    }
    for (const ServerError& row : rows) {
      EditorPlace place = errorPlace(block, row.line, row.position, withBodyOffset);
      if (mapColumns) place.column = originalColumn(editorLines[place.line], place.column, options.rename);
      if (!result.errors.add({row.object, place.line, place.column, row.line, row.position, row.text})) break;
    }
    if (withErrors && rows.isEmpty()) {
      // The server said the unit has errors but they could not be read: still a failure.
      ++result.failedBlocks;
      if (options.executionFailed)
        options.executionFailed(block.lines.first(), QStringLiteral("ORA-24344: success with compilation error"));
    }
  }
  return result;
}

}  // namespace nuvo::sqlwork
