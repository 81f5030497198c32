#include "db/sql_command.h"

#include <QRegularExpression>

#include "db/sql_text.h"

namespace nuvo::db {

namespace {

QString variableKey(const QString& name) {
  QString key = name.trimmed().toUpper();
  if (key.startsWith(QLatin1Char(':'))) key.remove(0, 1);
  return key;
}

}  // namespace

int columnIndex(const Columns& columns, const QString& name) {
  for (qsizetype i = 0; i < columns.size(); ++i)
    if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
  return -1;
}

SqlCommand::SqlCommand(Session* session) { setSession(session); }

SqlCommand::~SqlCommand() {
  if (session_) session_->detach(this);
}

void SqlCommand::setSession(Session* session) {
  if (session == session_) return;
  if (session_) {
    close();
    // The statement was prepared on the old session's connection.
    underLock([&] { statement_.reset(); });
    prepared_ = false;
    session_->detach(this);
  }
  session_ = session;
  if (session_) session_->attach(this);
}

Session& SqlCommand::requireSession() const {
  if (!session_) throw Error::client(QStringLiteral("The query has no session"));
  return *session_;
}

void SqlCommand::sqlChanged() {
  close();
  statement_.reset();
  prepared_ = false;
}

void SqlCommand::setSql(const QStringList& lines) {
  sqlChanged();
  lines_ = lines;
}

void SqlCommand::setSql(const QString& text) {
  static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
  setSql(text.split(lineEnd));
}

QString SqlCommand::sqlLine(int index) const { return index >= 0 && index < lines_.size() ? lines_[index] : QString(); }

void SqlCommand::setSqlLine(int index, const QString& text) {
  if (index < 0) throw Error::client(QStringLiteral("Line %1 of the SQL does not exist").arg(index));
  sqlChanged();
  while (lines_.size() <= index) lines_.append(QString());
  lines_[index] = text;
}

void SqlCommand::addSql(const QString& line) {
  sqlChanged();
  lines_.append(line);
}

void SqlCommand::clearSql() { setSql(QStringList()); }

void SqlCommand::declareVariable(const QString& name, DataType type) {
  Variable& v = variables_[variableKey(name)];
  v.name = name.startsWith(QLatin1Char(':')) ? name.mid(1) : name;
  v.type = type;
  v.value = QVariant();
  v.cursor.reset();
}

void SqlCommand::deleteVariable(const QString& name) { variables_.remove(variableKey(name)); }
void SqlCommand::deleteVariables() { variables_.clear(); }
bool SqlCommand::hasVariable(const QString& name) const { return variables_.contains(variableKey(name)); }

QStringList SqlCommand::variableNames() const {
  QStringList names;
  for (const Variable& v : variables_) names << v.name;
  return names;
}

const SqlCommand::Variable& SqlCommand::variable(const QString& name) const {
  auto it = variables_.constFind(variableKey(name));
  if (it == variables_.cend()) throw Error::client(QStringLiteral("Variable %1 does not exist").arg(name));
  return *it;
}

SqlCommand::Variable& SqlCommand::variable(const QString& name) {
  return const_cast<Variable&>(static_cast<const SqlCommand*>(this)->variable(name));
}

DataType SqlCommand::variableType(const QString& name) const { return variable(name).type; }
void SqlCommand::setVariable(const QString& name, const QVariant& value) { variable(name).value = value; }
QVariant SqlCommand::getVariable(const QString& name) const { return variable(name).value; }
std::shared_ptr<ResultSet> SqlCommand::cursorVariable(const QString& name) const { return variable(name).cursor; }

qint64 SqlCommand::rowsProcessed() const { return statement_ ? statement_->rowsProcessed() : rowsProcessed_; }

void SqlCommand::close() {
  if (statement_ && statement_->isQuery()) underLock([&] { statement_->close(); });
}

void SqlCommand::bindVariables() {
  const Direction direction = block_ ? Direction::InOut : Direction::In;
  for (const QString& name : statement_->bindNames()) {
    auto it = variables_.find(name);
    if (it == variables_.end()) throw Error::ora(1008, QStringLiteral("not all variables bound"));
    statement_->bind(name, it->value, it->type, it->type == DataType::Cursor ? Direction::Out : direction);
  }
}

// A block may change its variables; other statements leave them as set.
void SqlCommand::readBack() {
  if (!block_) return;
  for (const QString& name : statement_->bindNames()) {
    auto it = variables_.find(name);
    if (it == variables_.end()) continue;
    if (it->type == DataType::Cursor) it->cursor = statement_->outCursor(name);
    else it->value = statement_->outValue(name);
  }
}

DriverStatement& SqlCommand::execute(DriverSession& driver) {
  try {
    if (!prepared_) {
      const QString text = sqlText();
      statement_ = driver.prepare(text);
      block_ = isPlsqlBlock(text);
      prepared_ = true;
    }
    bindVariables();
    statement_->execute();
    readBack();
    return *statement_;
  } catch (Error& e) {
    e.locate(lines_);
    throw;
  }
}

}  // namespace nuvo::db
