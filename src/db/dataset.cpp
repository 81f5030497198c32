#include "db/dataset.h"

#include <algorithm>

#include "db/sql_text.h"

namespace nuvo::db {

namespace {

// Rows per block of fetched cells.
constexpr int kPacketRows = 256;
// Distinct texts remembered per column while fetching: a text equal to one of them shares its
// storage, so the owner, table and type names that repeat down a dictionary listing are kept once.
constexpr int kSharedTexts = 8;

const QString kRowidBind = QStringLiteral("NUVO_ROWID");

QString columnBind(int column) { return QStringLiteral("C%1").arg(column); }

bool sameValue(const QVariant& a, const QVariant& b) {
  if (a.isValid() != b.isValid()) return false;
  return !a.isValid() || a == b;
}

// Errors of statements the dataset writes itself have no place in the caller's SQL.
[[noreturn]] void rethrowUnplaced(const Error& e) { throw Error(e.code(), e.message()); }

}  // namespace

Dataset::Dataset(Session* session, QObject* parent) : QObject(parent), SqlCommand(session) {}

Dataset::~Dataset() {
  for (const auto& link : masterLinks_) disconnect(link);
}

void Dataset::setCachedUpdates(bool cached) {
  if (cachedUpdates_ && !cached) cancelUpdates();
  cachedUpdates_ = cached;
}

QString Dataset::updatingTable() const { return updatingTable_.isEmpty() ? firstFromTable(sqlText()) : updatingTable_; }

QString Dataset::checkedTable() const {
  const QString table = updatingTable();
  if (!isSafeObjectName(table)) throw Error::client(QStringLiteral("\"%1\" cannot be used as a table name").arg(table));
  return table;
}

// ---- opening and fetching ---------------------------------------------------------------------------

void Dataset::open() {
  close();
  locked([&](DriverSession& driver) {
    DriverStatement& statement = SqlCommand::execute(driver);
    if (!statement.isQuery()) throw Error::client(QStringLiteral("The dataset's SQL is not a query"));
    startRows(&statement);
    if (canModify()) {
      try {
        loadTableColumns(driver);
      } catch (const Error&) {
        tableColumns_.clear();  // no table to write to: the rows stay read-only
      }
    }
  });
  if (queryAllRecords_) fetchAll();
  else fetchMore();
  emit opened();
  moveTo(rows_.empty() ? -1 : 0);
}

void Dataset::openResultSet(std::shared_ptr<ResultSet> rows) {
  close();
  if (!rows) throw Error::client(QStringLiteral("The cursor is not open"));
  cursor_ = std::move(rows);
  underLock([&] { startRows(cursor_.get()); });
  rowidColumn_ = -1;  // a cursor's rows are not written back
  if (queryAllRecords_) fetchAll();
  else fetchMore();
  emit opened();
  moveTo(rows_.empty() ? -1 : 0);
}

void Dataset::startRows(ResultSet* rows) {
  source_ = rows;
  columns_ = rows->columns();
  rowidColumn_ = -1;
  for (int i = 0; i < columns_.size(); ++i)
    if (columns_[i].type == DataType::Rowid || columns_[i].name == QLatin1String("ROWID")) rowidColumn_ = i;
  allFetched_ = false;
  state_ = State::Browse;
  recentTexts_.assign(static_cast<std::size_t>(columns_.size()) * kSharedTexts, QVariant());
  recentNext_.assign(static_cast<std::size_t>(columns_.size()), 0);
}

QVariant Dataset::shared(int column, QVariant value) {
  if (value.typeId() != QMetaType::QString) return value;
  const QString& text = *static_cast<const QString*>(value.constData());
  if (text.isEmpty()) return value;
  QVariant* recent = recentTexts_.data() + static_cast<std::size_t>(column) * kSharedTexts;
  for (int i = 0; i < kSharedTexts; ++i)
    if (recent[i].typeId() == QMetaType::QString && *static_cast<const QString*>(recent[i].constData()) == text)
      return recent[i];
  unsigned char& next = recentNext_[static_cast<std::size_t>(column)];
  recent[next] = value;
  next = static_cast<unsigned char>((next + 1) % kSharedTexts);
  return value;
}

void Dataset::loadTableColumns(DriverSession& driver) {
  auto statement = driver.prepare(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(checkedTable()));
  statement->execute();
  for (const Column& c : statement->columns()) tableColumns_.insert(c.name.toUpper());
  statement->close();
}

void Dataset::close() {
  const bool wasOpen = isOpen();
  if (cursor_) underLock([&] { cursor_->close(); });
  cursor_.reset();
  SqlCommand::close();
  source_ = nullptr;
  rows_.clear();
  deleted_.clear();
  packets_.clear();
  recentTexts_.clear();
  recentNext_.clear();
  buffer_.clear();
  columns_.clear();
  tableColumns_.clear();
  rowidColumn_ = -1;
  allFetched_ = true;
  editRow_ = -1;
  currentRow_ = -1;
  state_ = State::Closed;
  if (wasOpen) emit closed();
}

void Dataset::requery() {
  if (master_) followMaster();
  else open();
}

int Dataset::readRows(int limit) {
  if (!source_ || allFetched_) return 0;
  const int first = static_cast<int>(rows_.size());
  const int width = static_cast<int>(columns_.size());
  locked([&](DriverSession&) {
    source_->setPacketRows(fetchSize_);
    for (int n = 0; n < limit; ++n) {
      if (!source_->next()) {
        allFetched_ = true;
        source_->close();
        break;
      }
      if (packets_.empty() || packets_.back().size() + width > packets_.back().capacity()) {
        packets_.emplace_back().reserve(static_cast<std::size_t>(qMin(limit, kPacketRows) * width));
      }
      std::vector<QVariant>& packet = packets_.back();
      Row row;
      row.order = static_cast<int>(rows_.size() + deleted_.size());
      row.fetched = packet.data() + packet.size();
      row.width = width;
      for (int c = 0; c < width; ++c) packet.push_back(shared(c, source_->value(c)));
      rows_.push_back(std::move(row));
    }
  });
  const int added = static_cast<int>(rows_.size()) - first;
  if (added > 0) emit rowsFetched(first, first + added - 1);
  return added;
}

int Dataset::fetchMore() { return readRows(fetchSize_); }

void Dataset::fetchAll() {
  while (!allFetched_ && source_) readRows(fetchSize_);
}

// ---- reading ---------------------------------------------------------------------------------------

void Dataset::requireRow(int row) const {
  if (row < 0 || row >= recordCount()) throw Error::client(QStringLiteral("Row %1 does not exist").arg(row));
}

QVariant Dataset::value(int row, int column) const {
  if (row < 0 || row >= recordCount() || column < 0 || column >= columns_.size()) return {};
  if (row == editRow_) return buffer_[column];
  return rows_[row].at(column);
}

Dataset::RowState Dataset::rowState(int row) const {
  requireRow(row);
  return rows_[row].state;
}

QString Dataset::rowid(int row) const {
  requireRow(row);
  return rowidColumn_ < 0 ? QString() : rows_[row].at(rowidColumn_).toString();
}

bool Dataset::canModify() const {
  return !readOnly_ && rowidColumn_ >= 0 && !cursor_ && isSafeObjectName(updatingTable());
}

bool Dataset::isFieldWritable(int column) const {
  return canModify() && column >= 0 && column < columns_.size() && column != rowidColumn_ &&
         tableColumns_.contains(columns_[column].name.toUpper());
}

void Dataset::setCurrentRow(int row) {
  if (row < -1 || row >= recordCount()) row = rows_.empty() ? -1 : static_cast<int>(rows_.size()) - 1;
  if (row != currentRow_) moveTo(row);
}

void Dataset::moveTo(int row) {
  currentRow_ = row;
  emit currentRowChanged(row);
}

// A row left the dataset: a current row below it keeps its place; the current row itself moves on
// to the row that took its index (or the last one).
void Dataset::dropRow(int row) {
  emit rowAboutToBeRemoved(row);
  rows_.erase(rows_.begin() + row);
  emit rowRemoved(row);
  if (currentRow_ > row) --currentRow_;
  else if (currentRow_ == row) moveTo(qMin(row, static_cast<int>(rows_.size()) - 1));
}

// ---- writing -------------------------------------------------------------------------------------

void Dataset::requireModifiable() const {
  if (!isOpen()) throw Error::client(QStringLiteral("The dataset is not open"));
  if (!canModify())
    throw Error::client(QStringLiteral("The dataset cannot be modified: it is read-only or its query selects no ROWID"));
}

void Dataset::setState(State state, int row) {
  state_ = state;
  editRow_ = row;
  if (state == State::Browse) buffer_.clear();
  emit stateChanged(state);
}

std::unique_ptr<DriverStatement> Dataset::run(DriverSession& driver, const QString& sql,
                                              const QVector<QPair<int, QVariant>>& binds, const QString& rowid) {
  try {
    auto statement = driver.prepare(sql);
    for (const auto& [column, value] : binds)
      statement->bind(columnBind(column), value, columns_[column].type, Direction::In);
    if (!rowid.isNull()) statement->bind(kRowidBind, rowid, DataType::Rowid, Direction::In);
    statement->execute();
    return statement;
  } catch (const Error& e) {
    rethrowUnplaced(e);
  }
}

bool Dataset::readByRowid(DriverSession& driver, const QString& rowid, bool lock, QVector<QVariant>& values) {
  QStringList names;
  QVector<int> columns;
  for (int c = 0; c < columns_.size(); ++c) {
    if (!isFieldWritable(c)) continue;
    names << quoteColumn(columns_[c].name);
    columns << c;
  }
  if (names.isEmpty()) names << QStringLiteral("1");
  QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE ROWID = :%3").arg(names.join(QLatin1String(", ")), checkedTable(), kRowidBind);
  if (lock) sql += QLatin1String(" FOR UPDATE NOWAIT");
  auto statement = run(driver, sql, {}, rowid);
  const bool found = statement->next();
  if (found)
    for (int i = 0; i < columns.size(); ++i) values[columns[i]] = statement->value(i);
  statement->close();
  return found;
}

QStringList Dataset::writableChanges(const QVector<QVariant>& before, const QVector<QVariant>& after,
                                     QVector<int>& columns) const {
  QStringList names;
  for (int c = 0; c < columns_.size(); ++c) {
    if (!isFieldWritable(c) || sameValue(before[c], after[c])) continue;
    names << quoteColumn(columns_[c].name);
    columns << c;
  }
  return names;
}

void Dataset::updateRow(DriverSession& driver, const Row& row, const QVector<QVariant>& values) {
  const QVector<QVariant> before = row.asFetched();
  QVector<int> columns;
  const QStringList names = writableChanges(before, values, columns);
  if (names.isEmpty()) return;
  QStringList sets;
  QVector<QPair<int, QVariant>> binds;
  for (int i = 0; i < names.size(); ++i) {
    sets << QStringLiteral("%1 = :%2").arg(names[i], columnBind(columns[i]));
    binds.append({columns[i], values[columns[i]]});
  }
  const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE ROWID = :%3").arg(checkedTable(), sets.join(QLatin1String(", ")), kRowidBind);
  auto statement = run(driver, sql, binds, row.at(rowidColumn_).toString());
  if (statement->rowsProcessed() == 0)
    throw Error::ora(1403, QStringLiteral("no data found: the row was deleted by another session"));
}

QString Dataset::insertRow(DriverSession& driver, const QVector<QVariant>& values) {
  QStringList names, places;
  QVector<QPair<int, QVariant>> binds;
  for (int c = 0; c < columns_.size(); ++c) {
    if (!isFieldWritable(c) || !values[c].isValid()) continue;
    names << quoteColumn(columns_[c].name);
    places << QLatin1Char(':') + columnBind(c);
    binds.append({c, values[c]});
  }
  if (names.isEmpty()) {  // an empty row: one column NULL, the others take their defaults
    for (int c = 0; c < columns_.size() && names.isEmpty(); ++c)
      if (isFieldWritable(c)) names << quoteColumn(columns_[c].name), places << QStringLiteral("NULL");
  }
  const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(checkedTable(), names.join(QLatin1String(", ")), places.join(QLatin1String(", ")));
  // The new row's ROWID comes back through RETURNING where the server has it; otherwise the row
  // stays without one until the dataset is queried again.
  if (returningRowid_ != 0) {
    std::unique_ptr<DriverStatement> statement;
    try {
      statement = driver.prepare(sql + QStringLiteral(" RETURNING ROWID INTO :%1").arg(kRowidBind));
    } catch (const Error& e) {
      if (e.code() != 933 && e.code() != 900 && e.code() != 905) rethrowUnplaced(e);
      returningRowid_ = 0;
    }
    if (statement) {
      returningRowid_ = 1;
      try {
        for (const auto& [column, value] : binds)
          statement->bind(columnBind(column), value, columns_[column].type, Direction::In);
        statement->bind(kRowidBind, {}, DataType::Rowid, Direction::Out);
        statement->execute();
        return statement->outValue(kRowidBind).toString();
      } catch (const Error& e) {
        rethrowUnplaced(e);
      }
    }
  }
  run(driver, sql, binds, QString());
  return {};
}

void Dataset::deleteRow(DriverSession& driver, const QString& rowid) {
  if (rowid.isEmpty()) return;  // a row the server never had
  run(driver, QStringLiteral("DELETE FROM %1 WHERE ROWID = :%2").arg(checkedTable(), kRowidBind), {}, rowid);
}

QVariant Dataset::coerce(int column, const QVariant& value) const {
  if (!value.isValid() || value.isNull()) return {};
  if (value.typeId() == QMetaType::QString && value.toString().isEmpty()) return {};
  bool ok = false;
  switch (columns_[column].type) {
    case DataType::Integer: {
      const qlonglong n = value.toLongLong(&ok);
      return ok ? QVariant(n) : value;
    }
    case DataType::Float: {
      const double d = value.toDouble(&ok);
      return ok ? QVariant(d) : value;
    }
    default: return value;
  }
}

void Dataset::edit(int row) {
  requireModifiable();
  requireRow(row);
  if (editRow_ == row) return;
  if (state_ != State::Browse) post();
  Row& r = rows_[row];
  QVector<QVariant> current = r.values();
  const QString id = rowid(row);
  if (id.isEmpty() && r.state != RowState::Inserted)
    throw Error::client(QStringLiteral("The new row has no ROWID yet: query the dataset again to edit it"));
  if (lockOnEdit_ && !id.isEmpty()) {
    const bool found = locked([&](DriverSession& driver) { return readByRowid(driver, id, true, current); });
    if (!found) {
      refreshRow(row);
      throw Error::ora(1403, QStringLiteral("no data found: the row was deleted by another session"));
    }
    if (r.state == RowState::Unchanged && current != r.values()) {
      r.setValues(current);  // the row changed since it was fetched: edit what the table holds now
      emit rowChanged(row);
    }
  }
  buffer_ = r.values();
  setCurrentRow(row);
  setState(State::Edit, row);
}

void Dataset::insert(int row) {
  requireModifiable();
  if (state_ != State::Browse) post();
  row = qBound(0, row, static_cast<int>(rows_.size()));
  Row r;
  r.width = static_cast<int>(columns_.size());
  r.setValues(QVector<QVariant>(columns_.size()));
  r.state = RowState::Inserted;
  buffer_ = r.values();
  emit rowAboutToBeInserted(row);
  rows_.insert(rows_.begin() + row, std::move(r));
  if (currentRow_ >= row) ++currentRow_;
  emit rowInserted(row);
  setState(State::Insert, row);
  moveTo(row);
}

void Dataset::setValue(int column, const QVariant& value) {
  if (column < 0 || column >= columns_.size())
    throw Error::client(QStringLiteral("Field %1 does not exist").arg(column));
  if (state_ == State::Browse) edit(currentRow_);
  if (state_ == State::Closed) throw Error::client(QStringLiteral("The dataset is not open"));
  if (!isFieldWritable(column))
    throw Error::client(QStringLiteral("Field %1 cannot be modified").arg(columns_[column].name));
  buffer_[column] = coerce(column, value);
  emit rowChanged(editRow_);
}

void Dataset::setValue(const QString& name, const QVariant& value) {
  const int column = fieldIndex(name);
  if (column < 0) throw Error::client(QStringLiteral("Field %1 does not exist").arg(name));
  setValue(column, value);
}

void Dataset::post() {
  if (state_ != State::Edit && state_ != State::Insert) return;
  const int row = editRow_;
  Row& r = rows_[row];
  if (cachedUpdates_) {
    if (r.state == RowState::Unchanged && r.values() != buffer_) {
      r.original = std::make_unique<QVector<QVariant>>(r.values());
      r.state = RowState::Modified;
    }
  } else if (state_ == State::Insert) {
    const QString id = locked([&](DriverSession& driver) { return insertRow(driver, buffer_); });
    if (rowidColumn_ >= 0) buffer_[rowidColumn_] = id;
    r.state = RowState::Unchanged;
  } else {
    locked([&](DriverSession& driver) { updateRow(driver, r, buffer_); });
  }
  r.setValues(buffer_);
  setState(State::Browse, -1);
  emit rowChanged(row);
  if (!cachedUpdates_) emit written();
}

void Dataset::cancel() {
  const int row = editRow_;
  if (state_ == State::Edit) {
    setState(State::Browse, -1);
    emit rowChanged(row);
  } else if (state_ == State::Insert) {
    setState(State::Browse, -1);
    dropRow(row);
  }
}

void Dataset::remove(int row) {
  requireModifiable();
  requireRow(row);
  if (row == editRow_) {
    const bool inserted = state_ == State::Insert;
    cancel();
    if (inserted) return;  // the new row is gone with the cancel
  } else {
    post();
  }
  Row& r = rows_[row];
  if (!cachedUpdates_) {
    locked([&](DriverSession& driver) { deleteRow(driver, rowid(row)); });
  } else if (r.state != RowState::Inserted) {
    r.setValues(r.asFetched());  // the delete is of the row as fetched
    r.original.reset();
    deleted_.push_back(std::move(r));
  }
  dropRow(row);
  if (!cachedUpdates_) emit written();
}

bool Dataset::refreshRow(int row) {
  requireRow(row);
  if (row == editRow_) cancel();
  if (row >= recordCount() || !canModify()) return row < recordCount();
  Row& r = rows_[row];
  const QString id = rowid(row);
  if (id.isEmpty()) return true;  // a row not yet in the table
  QVector<QVariant> values = r.values();
  const bool found = locked([&](DriverSession& driver) { return readByRowid(driver, id, false, values); });
  if (!found) {
    dropRow(row);
    return false;
  }
  r.setValues(values);
  r.original.reset();
  r.state = RowState::Unchanged;
  emit rowChanged(row);
  return true;
}

// ---- cached updates --------------------------------------------------------------------------------

bool Dataset::updatesPending() const {
  if (!deleted_.empty()) return true;
  return std::any_of(rows_.cbegin(), rows_.cend(), [](const Row& r) { return r.state != RowState::Unchanged; });
}

void Dataset::applyUpdates() { requireSession().applyUpdates({this}, false); }

void Dataset::postCachedUpdates() {
  post();
  if (!updatesPending()) return;
  locked([&](DriverSession& driver) {
    for (const Row& d : deleted_) deleteRow(driver, d.at(rowidColumn_).toString());
    for (Row& r : rows_) {
      if (r.state == RowState::Modified) updateRow(driver, r, r.values());
      else if (r.state == RowState::Inserted) postedRowids_[&r] = insertRow(driver, r.values());
    }
  });
}

void Dataset::discardPostedRowids() {
  postedRowids_.clear();
}

void Dataset::commitCachedUpdates() {
  deleted_.clear();
  const auto posted = std::exchange(postedRowids_, {});
  for (int i = 0; i < recordCount(); ++i) {
    Row& r = rows_[i];
    if (r.state == RowState::Unchanged) continue;
    if (r.state == RowState::Inserted && rowidColumn_ >= 0) {
      QVector<QVariant> values = r.values();
      values[rowidColumn_] = posted.at(&r);
      r.setValues(std::move(values));
    }
    r.original.reset();
    r.state = RowState::Unchanged;
    emit rowChanged(i);
  }
}

void Dataset::cancelUpdates() {
  if (state_ == State::Edit || state_ == State::Insert) cancel();
  std::deque<Row> kept;
  for (auto* rows : {&rows_, &deleted_}) {
    for (Row& r : *rows) {
      if (r.state == RowState::Inserted) continue;
      r.setValues(r.asFetched());
      r.original.reset();
      r.state = RowState::Unchanged;
      kept.push_back(std::move(r));
    }
  }
  std::sort(kept.begin(), kept.end(), [](const Row& a, const Row& b) { return a.order < b.order; });
  rows_ = std::move(kept);
  deleted_.clear();
  emit rowsReset();
  moveTo(rows_.empty() ? -1 : 0);
}

// ---- master and detail ------------------------------------------------------------------------------

void Dataset::setMaster(Dataset* master, const QStringList& masterFields, const QStringList& detailVariables) {
  for (const auto& link : masterLinks_) disconnect(link);
  masterLinks_.clear();
  master_ = master;
  masterFields_ = masterFields;
  detailVariables_ = detailVariables.isEmpty() ? masterFields : detailVariables;
  if (!master_) return;
  for (const QString& name : detailVariables_)
    if (!hasVariable(name)) declareVariable(name, DataType::Unknown);
  masterLinks_ << connect(master_, &Dataset::currentRowChanged, this, [this] { followMaster(); });
  masterLinks_ << connect(master_, &Dataset::closed, this, [this] { close(); });
  masterLinks_ << connect(master_, &QObject::destroyed, this, [this] { setMaster(nullptr, {}); });
}

void Dataset::followMaster() {
  const int row = master_->currentRow();
  for (int i = 0; i < masterFields_.size() && i < detailVariables_.size(); ++i)
    setVariable(detailVariables_[i], row < 0 ? QVariant() : master_->value(row, masterFields_[i]));
  open();
}

}  // namespace nuvo::db
