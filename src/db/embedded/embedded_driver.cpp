#include "db/embedded/embedded_driver.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimeZone>
#include <cmath>
#include <map>
#include <mutex>

#include "db/error.h"
#include "engine/engine.h"
#include "platform/appdirs.h"

namespace nuvo::db {

namespace {

std::string utf8(const QString& text) { return text.toStdString(); }

// Runs an engine call and hands its error on as the client layer's.
template <typename F>
auto guarded(F&& call) -> decltype(call()) {
  try {
    return call();
  } catch (const engine::Error& e) {
    throw Error(e.code(), QString::fromStdString(e.message()), e.offset());
  }
}

// The Julian day of 1970-01-01 in seconds: dates become seconds since the epoch without the slower
// date and time arithmetic of QDateTime's constructor.
constexpr qint64 kUnixEpochJulianSeconds = 2440588LL * 86400;

QVariant toVariant(const engine::Value& v) {
  switch (v.kind()) {
    case engine::Value::Kind::Integer: return QVariant(static_cast<qlonglong>(v.asInteger()));
    case engine::Value::Kind::Real: return QVariant(v.asDouble());
    case engine::Value::Kind::Text: return QVariant(QString::fromStdString(v.asText()));
    case engine::Value::Kind::Date: {
      const engine::DateTime& d = v.asDate();
      const qint64 seconds = QDate(d.year, d.month, d.day).toJulianDay() * 86400 - kUnixEpochJulianSeconds +
                             d.hour * 3600 + d.minute * 60 + d.second;
      if (d.nanos == 0) return QVariant(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
      // A TIMESTAMP's fraction, to the millisecond a QDateTime holds.
      return QVariant(QDateTime::fromMSecsSinceEpoch(seconds * 1000 + d.nanos / 1000000, Qt::UTC));
    }
    case engine::Value::Kind::Binary: {
      const engine::Bytes& b = v.asBytes();
      return QVariant(QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size())));
    }
    case engine::Value::Kind::Null:
    case engine::Value::Kind::Cursor: break;
  }
  return {};
}

[[noreturn]] void invalidNumber() { throw Error::ora(1722, QStringLiteral("invalid number")); }

engine::Value integerValue(const QVariant& v) {
  bool ok = false;
  const qlonglong n = v.toLongLong(&ok);
  if (ok) return engine::Value(static_cast<std::int64_t>(n));
  const double d = v.toDouble(&ok);
  if (!ok || !std::isfinite(d)) invalidNumber();
  return engine::Value(static_cast<std::int64_t>(std::llround(d)));
}

engine::Value floatValue(const QVariant& v) {
  if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) return integerValue(v);
  bool ok = false;
  const double d = v.toDouble(&ok);
  if (!ok || !std::isfinite(d)) invalidNumber();
  return engine::Value(d);
}

engine::Value dateValue(const QVariant& v) {
  const QDateTime dt = dateOfVariant(v);
  // The wall-clock time as the caller gave it, whatever its time spec.
  const QDate date = dt.date();
  const QTime time = dt.time();
  engine::DateTime d{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
  d.nanos = time.msec() * 1000000;
  return engine::Value(d);
}

engine::Value toValue(const QVariant& v, DataType type) {
  if (!v.isValid() || v.isNull()) return {};
  if (type == DataType::Unknown) type = typeOfVariant(v);
  switch (type) {
    case DataType::Integer: return integerValue(v);
    case DataType::Float: return floatValue(v);
    case DataType::Date: return dateValue(v);
    case DataType::Cursor: return {};
    case DataType::Binary: {
      const QByteArray b = bytesOfVariant(v);
      return engine::Value(engine::Bytes(b.begin(), b.end()));
    }
    case DataType::String:
    case DataType::Long:
    case DataType::Rowid:
    case DataType::Unknown: break;
  }
  const QString text = v.toString();
  if (text.isEmpty()) return {};  // '' is NULL
  return engine::Value(utf8(text));
}

DataType typeOfColumn(const engine::Column& c) {
  switch (c.type) {
    case engine::DataType::Number: return c.scale == 0 && c.precision > 0 ? DataType::Integer : DataType::Float;
    case engine::DataType::Boolean: return DataType::Integer;
    case engine::DataType::Varchar2:
    case engine::DataType::Char:
    case engine::DataType::IntervalDaySecond:  // shown as Oracle shows them: "+01 02:03:04.500000"
    case engine::DataType::IntervalYearMonth: return DataType::String;
    case engine::DataType::Raw:
    case engine::DataType::Blob: return DataType::Binary;
    case engine::DataType::Long:
    case engine::DataType::Clob: return DataType::Long;
    case engine::DataType::Date:
    case engine::DataType::Timestamp: return DataType::Date;
    case engine::DataType::Rowid: return DataType::Rowid;
    case engine::DataType::Cursor: return DataType::Cursor;
    case engine::DataType::Unknown: break;
  }
  return DataType::Unknown;
}

Columns toColumns(const std::vector<engine::Column>& in) {
  Columns out;
  out.reserve(static_cast<qsizetype>(in.size()));
  for (const engine::Column& c : in)
    out.push_back({QString::fromStdString(c.name), typeOfColumn(c), QString::fromLatin1(engine::dataTypeName(c.type)),
                   c.size, c.precision, c.scale, c.nullable});
  return out;
}

engine::DataType engineType(DataType type) {
  switch (type) {
    case DataType::Integer:
    case DataType::Float: return engine::DataType::Number;
    case DataType::Date: return engine::DataType::Date;
    case DataType::Long: return engine::DataType::Long;
    case DataType::Rowid: return engine::DataType::Rowid;
    case DataType::Cursor: return engine::DataType::Cursor;
    case DataType::Binary: return engine::DataType::Blob;
    case DataType::String:
    case DataType::Unknown: break;
  }
  return engine::DataType::Varchar2;
}

// The rows of an engine cursor: a REF CURSOR, or (through EmbeddedStatement) a query.
class CursorRows : public ResultSet {
 public:
  explicit CursorRows(std::shared_ptr<engine::Cursor> cursor) : cursor_(std::move(cursor)) {}
  const Columns& columns() const override {
    if (columns_.isEmpty()) columns_ = toColumns(cursor_->columns());
    return columns_;
  }
  bool next() override { return guarded([&] { return cursor_->next(); }); }
  QVariant value(int column) const override { return toVariant(cursor_->value(static_cast<std::size_t>(column))); }
  void close() override { cursor_->close(); }

 private:
  std::shared_ptr<engine::Cursor> cursor_;
  mutable Columns columns_;
};

class EmbeddedStatement : public DriverStatement {
 public:
  explicit EmbeddedStatement(std::unique_ptr<engine::Statement> statement) : statement_(std::move(statement)) {
    for (const std::string& name : statement_->bindNames()) bindNames_.push_back(QString::fromStdString(name));
  }

  const Columns& columns() const override {
    if (columns_.isEmpty()) columns_ = toColumns(statement_->columns());
    return columns_;
  }
  bool next() override { return guarded([&] { return statement_->next(); }); }
  QVariant value(int column) const override { return toVariant(statement_->value(static_cast<std::size_t>(column))); }
  void close() override { statement_->close(); }

  QStringList bindNames() const override { return bindNames_; }
  bool isQuery() const override { return statement_->isQuery(); }

  void bind(const QString& name, const QVariant& value, DataType type, Direction direction) override {
    guarded([&] {
      if (type == DataType::Cursor) return statement_->bindOut(utf8(name), engine::DataType::Cursor);
      if (direction == Direction::Out) return statement_->bindOut(utf8(name), engineType(type));
      const auto dir = direction == Direction::In ? engine::BindDirection::In : engine::BindDirection::InOut;
      statement_->bind(utf8(name), toValue(value, type), dir);
    });
  }

  void execute() override {
    columns_.clear();
    guarded([&] { statement_->execute(); });
  }

  qint64 rowsProcessed() const override { return statement_->rowCount(); }

  QVariant outValue(const QString& name) const override {
    return guarded([&] { return toVariant(statement_->bindValue(utf8(name))); });
  }

  std::shared_ptr<ResultSet> outCursor(const QString& name) const override {
    return guarded([&]() -> std::shared_ptr<ResultSet> {
      const engine::Value v = statement_->bindValue(utf8(name));
      if (v.kind() != engine::Value::Kind::Cursor || !v.asCursor()) return nullptr;
      return std::make_shared<CursorRows>(v.asCursor());
    });
  }

 private:
  std::unique_ptr<engine::Statement> statement_;
  QStringList bindNames_;
  mutable Columns columns_;
};

class EmbeddedSession : public DriverSession {
 public:
  EmbeddedSession(std::shared_ptr<engine::Database> database, std::unique_ptr<engine::Session> session, QString alias)
      : database_(std::move(database)), session_(std::move(session)), alias_(std::move(alias)) {}

  std::unique_ptr<DriverStatement> prepare(const QString& sql) override {
    return guarded([&] { return std::make_unique<EmbeddedStatement>(session_->prepare(utf8(sql))); });
  }
  void commit() override { guarded([&] { session_->commit(); }); }
  void rollback() override { guarded([&] { session_->rollback(); }); }
  void savepoint(const QString& name) override { guarded([&] { session_->savepoint(utf8(name)); }); }
  void rollbackToSavepoint(const QString& name) override {
    guarded([&] { session_->rollbackToSavepoint(utf8(name)); });
  }
  bool inTransaction() const override { return session_->inTransaction(); }
  void interrupt() override { session_->interrupt(); }
  QString user() const override { return QString::fromStdString(session_->user()); }
  QString database() const override { return alias_; }
  QStringList takeOutput() override {
    QStringList lines;
    for (const std::string& line : session_->takeOutput()) lines << QString::fromStdString(line);
    return lines;
  }

 private:
  std::shared_ptr<engine::Database> database_;  // kept alive for the session
  std::unique_ptr<engine::Session> session_;
  QString alias_;
};

QString canonical(const QString& directory) {
  const QString path = QFileInfo(directory).canonicalFilePath();
  return path.isEmpty() ? QDir::cleanPath(QFileInfo(directory).absoluteFilePath()) : path;
}

}  // namespace

QStringList EmbeddedDriver::aliases() const {
  QStringList names;
  for (const std::string& name : engine::Database::list(utf8(nuvo::dataDirectory()))) names << QString::fromStdString(name);
  names.sort(Qt::CaseInsensitive);
  return names;
}

QString EmbeddedDriver::resolve(const QString& database) {
  if (database.isEmpty()) return {};
  if (database.contains(QLatin1Char('/')) || database.contains(QLatin1Char('\\')))
    return engine::Database::exists(utf8(database)) ? canonical(database) : QString();
  const QString data = nuvo::dataDirectory();
  for (const std::string& name : engine::Database::list(utf8(data))) {
    const QString alias = QString::fromStdString(name);
    if (alias.compare(database, Qt::CaseInsensitive) == 0) return canonical(QDir(data).filePath(alias));
  }
  return {};
}

std::shared_ptr<engine::Database> EmbeddedDriver::openShared(const QString& directory) {
  static std::mutex mutex;
  static std::map<QString, std::weak_ptr<engine::Database>> opened;
  const QString key = canonical(directory);
  std::lock_guard lock(mutex);
  if (auto db = opened[key].lock()) return db;
  if (!engine::Database::exists(utf8(key))) return nullptr;
  auto db = guarded([&] { return engine::Database::open(utf8(key)); });
  // The database's jobs run while the tool has it open.
  db->startJobQueue();
  opened[key] = db;
  return db;
}

std::unique_ptr<DriverSession> EmbeddedDriver::logOn(const QString& user, const QString& password,
                                                     const QString& database, bool sysdba) {
  const QString directory = resolve(database);
  auto db = directory.isEmpty() ? nullptr : openShared(directory);
  if (!db) throw Error::ora(12154, QStringLiteral("TNS:could not resolve the connect identifier specified"));
  auto session = guarded([&] { return db->logOn(utf8(user), utf8(password), sysdba); });
  return std::make_unique<EmbeddedSession>(std::move(db), std::move(session), database);
}

EmbeddedDriver& embeddedDriver() {
  static EmbeddedDriver driver;
  return driver;
}

}  // namespace nuvo::db
