#include "sqlwork/script_table.h"

#include <QRegularExpression>

#include "db/query.h"
#include "db/session.h"
#include "shell/sql_catalog.h"

namespace nuvo::sqlwork {

namespace {

const QString kNoErrors = QStringLiteral("NO ERRORS");

// The fixed texts; an "...Owner" text counts only one owner's rows (multi-installation mode).
const nuvo::SqlText kScriptDateOwner{"execScr.quScriptDateOwner",
                                     {"select count(*)  stevec from all_tab_columns",
                                      "where owner='NUVO_UTIL' and table_name='NUVO_EXS' and ",
                                      "column_name in ('SCRIPT_OWNER','SCRIPT_DATE')"}};
const nuvo::SqlText kCount{"execScr.quCount",
                           {"select count(*)  stevilo ", "  from nuvo_util.nuvo_exs", "  where script_name=:skripta"}};
const nuvo::SqlText kCountOwner{"execScr.quCountOwner",
                                {"select count(*)  stevilo ", "  from nuvo_util.nuvo_exs",
                                 "  where script_name=:skripta", " and  script_owner=:upor"}};
// The rows of a stored script that have not run to success: not executed (N) or failed (E).
const nuvo::SqlText kUnfinished{"execScr.unfinishedRows",
                                {"select count(*)  stevilo ", "  from nuvo_util.nuvo_exs",
                                 "  where script_name=:skripta and script_stat in ('N','E')"}};
const nuvo::SqlText kUnfinishedOwner{"execScr.unfinishedRowsOwner",
                                     {"select count(*)  stevilo ", "  from nuvo_util.nuvo_exs",
                                      "  where script_name=:skripta and script_stat in ('N','E')",
                                      " and  script_owner=:upor"}};
const nuvo::SqlText kInsert{"execScr.quInsEXS",
                            {" insert into nuvo_util.nuvo_exs (script_name,script_counter,script_stat,script_cont,"
                             "script_err) values (:script_name,:script_counter,'N',:script_cont,null)"}};
const nuvo::SqlText kInsertOwner{
    "execScr.quInsEXSOwner",
    {" insert into nuvo_util.nuvo_exs (script_name,script_counter,script_stat,script_cont,script_err,script_owner,"
     "script_date) values (:script_name,:script_counter,'N',:script_cont,null,:script_owner,sysdate)"}};
const nuvo::SqlText kAllFK{
    "execScr.quAllFK",
    {"select fk.owner,fk.table_name,fk.constraint_name", "   from all_constraints fk,all_constraints pk",
     "  where   pk.owner= :upor and pk.table_name= :tabela and pk.constraint_type='P' and",
     "               fk.r_owner= pk.owner  and fk.r_constraint_name=pk.constraint_name"}};
const nuvo::SqlText kStatus{"execScr.rowStatus",
                            {"update nuvo_util.nuvo_exs set script_stat=:stat, script_err=:napaka",
                             " where script_name=:skripta and script_counter=:stevec"}};
const nuvo::SqlText kStatusOwner{"execScr.rowStatusOwner",
                                 {"update nuvo_util.nuvo_exs set script_stat=:stat, script_err=:napaka",
                                  " where script_name=:skripta and script_counter=:stevec and script_owner=:upor"}};
const nuvo::SqlText kPending{"execScr.pendingRows",
                             {"select script_counter, script_cont from nuvo_util.nuvo_exs",
                              " where script_name=:skripta and script_stat='N'",
                              " and (:napaka='A' or instr(upper(script_err),:napaka)<>0)",
                              " and (:filter='A' or nuvo_util.getMemoFiltExs(rowid,:filter)='T')",
                              " order by script_counter"}};
const nuvo::SqlText kPendingOwner{"execScr.pendingRowsOwner",
                                  {"select script_counter, script_cont from nuvo_util.nuvo_exs",
                                   " where script_name=:skripta and script_stat='N'",
                                   " and (:napaka='A' or instr(upper(script_err),:napaka)<>0)",
                                   " and (:filter='A' or nuvo_util.getMemoFiltExs(rowid,:filter)='T')",
                                   " and script_owner=:upor order by script_counter"}};

// The start of an error text that fits SCRIPT_ERR: at most kMaxErrorLength characters, and no more
// bytes in UTF-8 than that, since the column counts bytes; a character is never cut in two.
QString fitErrorColumn(const QString& text) {
  const QString cut = text.left(kMaxErrorLength);
  const QByteArray utf8 = cut.toUtf8();
  if (utf8.size() <= kMaxErrorLength) return cut;
  qsizetype end = kMaxErrorLength;
  while (end > 0 && (static_cast<uchar>(utf8[end]) & 0xC0) == 0x80) --end;
  return QString::fromUtf8(utf8.left(end));
}

QString firstLine(const QString& text) {
  const qsizetype end = text.indexOf(QLatin1Char('\r')) >= 0 ? text.indexOf(QLatin1Char('\r'))
                                                            : text.indexOf(QLatin1Char('\n'));
  return end < 0 ? text : text.left(end);
}

}  // namespace

const QStringList& scopedSql(const ScriptScope& scope, const SqlText& all, const SqlText& owner) {
  return scope.owner ? owner.lines() : all.lines();
}

void bindOwner(db::SqlCommand& command, const ScriptScope& scope) {
  if (!scope.owner) return;
  command.declareVariable(QStringLiteral("upor"), db::DataType::String);
  command.setVariable(QStringLiteral("upor"), *scope.owner);
}

bool hasOwnerColumns(db::Session& session) {
  db::Query q(&session);
  q.setSql(kScriptDateOwner.lines());
  q.execute();
  return !q.eof() && q.field(0).asInteger() == 2;
}

int countScriptRows(db::Session& session, const QString& name, const ScriptScope& scope) {
  db::Query q(&session);
  q.setSql(scopedSql(scope, kCount, kCountOwner));
  q.declareVariable(QStringLiteral("skripta"), db::DataType::String);
  q.setVariable(QStringLiteral("skripta"), name);
  bindOwner(q, scope);
  q.execute();
  return q.eof() ? 0 : static_cast<int>(q.field(0).asInteger());
}

int countUnfinishedRows(db::Session& session, const QString& name, const ScriptScope& scope) {
  db::Query q(&session);
  q.setSql(scopedSql(scope, kUnfinished, kUnfinishedOwner));
  q.declareVariable(QStringLiteral("skripta"), db::DataType::String);
  q.setVariable(QStringLiteral("skripta"), name);
  bindOwner(q, scope);
  q.execute();
  return q.eof() ? 0 : static_cast<int>(q.field(0).asInteger());
}

std::optional<StoreError> storeScript(db::Session& session, const QString& name, const QVector<ScriptRow>& rows,
                                      const ScriptScope& scope, const QString& user) {
  db::Query insert(&session);
  const bool owner = scope.ownerColumns;
  insert.setSql(owner ? kInsertOwner.lines() : kInsert.lines());
  insert.declareVariable(QStringLiteral("script_name"), db::DataType::String);
  insert.declareVariable(QStringLiteral("script_counter"), db::DataType::Integer);
  insert.declareVariable(QStringLiteral("script_cont"), db::DataType::Long);
  if (owner) {
    insert.declareVariable(QStringLiteral("script_owner"), db::DataType::String);
    insert.setVariable(QStringLiteral("script_owner"), user.toUpper());
  }
  insert.setVariable(QStringLiteral("script_name"), name);
  for (const ScriptRow& row : rows) {
    try {
      insert.setVariable(QStringLiteral("script_counter"), row.counter);
      insert.setVariable(QStringLiteral("script_cont"), row.text);
      insert.execute();
    } catch (const db::Error& e) {
      session.rollback();
      return StoreError{row.counter, row.sourceLines, e.message()};
    }
  }
  session.commit();
  return std::nullopt;
}

bool DopustnaNapaka(const QString& statement) {
  const QString text = statement.toUpper();
  for (const char* pattern : {"DROP CONSTRAINT", "DROP TABLE ", "DROP INDEX"}) {
    if (!text.contains(QLatin1String(pattern))) continue;
    if (text.contains(QStringLiteral("DROP TABLE "))) return text.contains(QStringLiteral("TMP_"));
    return true;
  }
  return false;
}

QString f_pocistiNiz(const QString& text) {
  const qsizetype semicolon = text.lastIndexOf(QLatin1Char(';'));
  if (semicolon < 0) return text;
  const qsizetype from = std::max<qsizetype>(0, semicolon - 11);
  if (text.mid(from, semicolon - from).contains(QStringLiteral("END"), Qt::CaseInsensitive))
    return text.left(semicolon + 1);
  // "END a_long_unit_name;" followed only by "/" lines: the "/" would reach the server too.
  static const QRegularExpression endOfUnit(QStringLiteral(R"(\bEND(\s+[\w$#."]+)?\s*;(\s*/)*\s*$)"),
                                            QRegularExpression::CaseInsensitiveOption);
  return endOfUnit.match(text).hasMatch() ? text.left(semicolon + 1) : text;
}

RowAction classifyRow(const QString& text) {
  static const struct {
    const char* prefix;
    RowKind kind;
  } kinds[] = {{"#ENABLE#", RowKind::Enable}, {"#DISABLE#", RowKind::Disable}, {"#PL/SQL#", RowKind::PlsqlFile}};
  for (const auto& k : kinds) {
    const QLatin1String prefix(k.prefix);
    if (text.startsWith(prefix)) return {k.kind, firstLine(text.mid(prefix.size())).trimmed()};
  }
  return {RowKind::Plain, text};
}

QString executeWithRetries(db::Query& query) {
  bool retried4068 = false;
  int retries1555 = 0;
  for (;;) {
    try {
      query.execute();
      return {};
    } catch (const db::Error& e) {
      // The whole message counts: a handler that re-raises puts the code behind its own.
      if (e.message().contains(QLatin1String("ORA-04068")) && !retried4068) {
        retried4068 = true;
      } else if (e.message().contains(QLatin1String("ORA-01555")) && retries1555 != 4) {
        ++retries1555;
      } else {
        return e.message();
      }
    }
  }
}

QStringList enableDisable(db::Session& session, const QString& name, const QString& action, const QString& user) {
  const qsizetype point = name.indexOf(QLatin1Char('.'));
  const QString owner = (point < 0 ? user : name.left(point)).trimmed().toUpper();
  const QString table = (point < 0 ? name : name.mid(point + 1)).trimmed().toUpper();

  db::Query keys(&session);
  keys.setSql(kAllFK.lines());
  keys.declareVariable(QStringLiteral("upor"), db::DataType::String);
  keys.declareVariable(QStringLiteral("tabela"), db::DataType::String);
  keys.setVariable(QStringLiteral("upor"), owner);
  keys.setVariable(QStringLiteral("tabela"), table);
  QStringList alters;
  for (keys.execute(); !keys.eof(); keys.next())
    alters << QStringLiteral("alter table %1.%2 %3 constraint %4 ")
                  .arg(keys.field(0).asString(), keys.field(1).asString(), action, keys.field(2).asString());
  keys.close();

  QStringList errors;
  db::Query alter(&session);
  for (const QString& statement : alters) {
    alter.setSql(statement);
    try {
      alter.execute();
    } catch (const db::Error& e) {
      errors << e.message();
    }
  }
  return errors;
}

RowOutcome runRowStatement(db::Query& query, const QString& text, const RowContext& context) {
  const RowAction action = classifyRow(text);
  if (action.kind == RowKind::Enable || action.kind == RowKind::Disable) {
    const QStringList errors =
        enableDisable(*query.session(), action.target,
                      action.kind == RowKind::Enable ? QStringLiteral("ENABLE") : QStringLiteral("DISABLE"),
                      context.user);
    return {QLatin1Char('X'), errors.join(QStringLiteral("\r\n")), true};
  }

  QString sql = text;
  if (action.kind == RowKind::PlsqlFile) {
    try {
      sql = f_pocistiNiz(context.readFile(action.target));
    } catch (...) {
      return {QLatin1Char('E'), action.target + QLatin1Char(' ') + context.doesntExist, false};
    }
    if (context.rename) sql = context.rename(sql);
  }

  if (context.threaded) {
    const QString error = context.threaded(sql);
    if (error.isEmpty()) return {QLatin1Char('X'), kNoErrors, true};
    const bool tolerated = DopustnaNapaka(sql);
    return {tolerated ? QLatin1Char('X') : QLatin1Char('E'), error, tolerated};
  }
  query.close();
  query.deleteVariables();
  query.setSql(sql);
  const QString error = executeWithRetries(query);
  if (error.isEmpty()) return {QLatin1Char('X'), {}, true};
  return {QLatin1Char('E'), error, DopustnaNapaka(sql)};
}

RowStatusWriter::RowStatusWriter(db::Session& session, const QString& name, const ScriptScope& scope)
    : session_(session), update_(std::make_unique<db::Query>(&session)) {
  update_->setSql(scopedSql(scope, kStatus, kStatusOwner));
  update_->declareVariable(QStringLiteral("stat"), db::DataType::String);
  update_->declareVariable(QStringLiteral("napaka"), db::DataType::String);
  update_->declareVariable(QStringLiteral("skripta"), db::DataType::String);
  update_->declareVariable(QStringLiteral("stevec"), db::DataType::Integer);
  update_->setVariable(QStringLiteral("skripta"), name);
  bindOwner(*update_, scope);
}

RowStatusWriter::~RowStatusWriter() = default;

void RowStatusWriter::write(int counter, const RowOutcome& outcome) {
  try {
    update_->setVariable(QStringLiteral("stat"), QString(outcome.status));
    update_->setVariable(QStringLiteral("napaka"),
                         outcome.error.isEmpty() ? QVariant() : QVariant(fitErrorColumn(outcome.error)));
    update_->setVariable(QStringLiteral("stevec"), counter);
    update_->execute();
    // A row deleted meanwhile would take its status with it unnoticed.
    if (update_->rowsProcessed() == 0)
      throw db::Error::client(QStringLiteral("Statement %1 is no longer in the table; its status %2 is not kept")
                                  .arg(counter)
                                  .arg(outcome.status));
    session_.commit();
  } catch (const db::Error&) {
    // The statement's work goes with its status: kept without it, a later run would repeat it.
    try {
      session_.rollback();
    } catch (const db::Error&) {
      // A lost session has nothing left to roll back.
    }
    throw;
  }
}

void writeRowStatus(db::Session& session, const QString& name, int counter, const ScriptScope& scope,
                    const RowOutcome& outcome) {
  RowStatusWriter(session, name, scope).write(counter, outcome);
}

QVector<StoredRow> pendingRows(db::Session& session, const QString& name, const ScriptScope& scope,
                               const QString& napaka, const QString& filter) {
  db::Query q(&session);
  q.setSql(scopedSql(scope, kPending, kPendingOwner));
  const std::pair<const char*, QString> binds[] = {{"skripta", name}, {"napaka", napaka}, {"filter", filter}};
  for (const auto& [variable, value] : binds) {
    q.declareVariable(QLatin1String(variable), db::DataType::String);
    q.setVariable(QLatin1String(variable), value);
  }
  bindOwner(q, scope);
  QVector<StoredRow> rows;
  for (q.execute(); !q.eof(); q.next())
    rows.push_back({static_cast<int>(q.field(0).asInteger()), q.field(1).asString()});
  return rows;
}

}  // namespace nuvo::sqlwork
