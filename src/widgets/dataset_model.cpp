#include "widgets/dataset_model.h"

#include <QElapsedTimer>
#include <QScopedValueRollback>

#include "db/query.h"

namespace nuvo::widgets {

using nuvo::db::Dataset;

DatasetModel::DatasetModel(Dataset* dataset, QObject* parent) : QAbstractTableModel(parent) { setDataset(dataset); }

void DatasetModel::setDataset(Dataset* dataset) {
  for (const auto& link : links_) disconnect(link);
  links_.clear();
  dataset_ = dataset;
  if (dataset_) {
    links_ << connect(dataset_, &Dataset::opened, this, &DatasetModel::reload)
           << connect(dataset_, &Dataset::closed, this, &DatasetModel::reload)
           << connect(dataset_, &Dataset::rowsReset, this, &DatasetModel::reload)
           << connect(dataset_, &Dataset::rowsFetched, this, &DatasetModel::syncAppended)
           << connect(dataset_, &Dataset::rowAboutToBeInserted, this, &DatasetModel::onRowAboutToBeInserted)
           << connect(dataset_, &Dataset::rowInserted, this, &DatasetModel::onRowInserted)
           << connect(dataset_, &Dataset::rowAboutToBeRemoved, this, &DatasetModel::onRowAboutToBeRemoved)
           << connect(dataset_, &Dataset::rowRemoved, this, &DatasetModel::onRowRemoved)
           << connect(dataset_, &Dataset::rowChanged, this, &DatasetModel::onRowChanged)
           << connect(dataset_, &Dataset::stateChanged, this, [this] { onRowChanged(dataset_->editRow()); })
           << connect(dataset_, &QObject::destroyed, this, [this] { setDataset(nullptr); });
  }
  reload();
}

void DatasetModel::setNullText(const QString& text) {
  nullText_ = text;
  if (rows_ > 0 && columns_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1), {Qt::DisplayRole});
}

void DatasetModel::reload() {
  const Changing changing(changing_);
  beginResetModel();
  rows_ = dataset_ ? dataset_->recordCount() : 0;
  columns_ = dataset_ ? dataset_->fieldCount() : 0;
  endResetModel();
}

void DatasetModel::syncAppended() {
  if (batching_) return;
  const int count = dataset_ ? dataset_->recordCount() : 0;
  if (count < rows_ || (dataset_ && dataset_->fieldCount() != columns_)) return reload();
  if (count == rows_) return;
  const Changing changing(changing_);
  beginInsertRows({}, rows_, count - 1);
  rows_ = count;
  endInsertRows();
}

// An edit inserts or removes one row between the about-to and the done signal; rows the view does
// not know yet (beyond rows_) are only counted.
void DatasetModel::onRowAboutToBeInserted(int row) {
  pendingInsert_ = row <= rows_;
  if (!pendingInsert_) return;
  ++changing_;
  beginInsertRows({}, row, row);
}

void DatasetModel::onRowInserted(int) {
  if (!pendingInsert_) return syncAppended();
  pendingInsert_ = false;
  ++rows_;
  endInsertRows();
  --changing_;
}

void DatasetModel::onRowAboutToBeRemoved(int row) {
  pendingRemove_ = row < rows_;
  if (!pendingRemove_) return;
  ++changing_;
  beginRemoveRows({}, row, row);
}

void DatasetModel::onRowRemoved(int) {
  if (!pendingRemove_) return;
  pendingRemove_ = false;
  --rows_;
  endRemoveRows();
  --changing_;
}

void DatasetModel::onRowChanged(int row) {
  if (row < 0 || row >= rows_ || columns_ == 0) return;
  emit dataChanged(index(row, 0), index(row, columns_ - 1));
  emit headerDataChanged(Qt::Vertical, row, row);
}

template <typename F>
bool DatasetModel::attempt(F&& call) {
  if (!dataset_) return false;
  try {
    call();
    return true;
  } catch (const nuvo::db::Error& e) {
    emit errorOccurred(e);
    return false;
  }
}

int DatasetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int DatasetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

DatasetModel::RowState DatasetModel::rowState(int row) const {
  if (!dataset_ || row < 0 || row >= dataset_->recordCount()) return RowState::Unchanged;
  if (dataset_->editRow() == row) return RowState::Editing;
  switch (dataset_->rowState(row)) {
    case Dataset::RowState::Modified: return RowState::Modified;
    case Dataset::RowState::Inserted: return RowState::Inserted;
    case Dataset::RowState::Unchanged: break;
  }
  return RowState::Unchanged;
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
  if (!dataset_ || !index.isValid() || index.row() >= rows_ || index.column() >= columns_) return {};
  const QVariant value = dataset_->value(index.row(), index.column());
  switch (role) {
    case Qt::DisplayRole: return value.isValid() ? nuvo::db::displayText(value) : nullText_;
    case Qt::EditRole: return value;
    case NullRole: return !value.isValid();
    case RowStateRole: return QVariant::fromValue(rowState(index.row()));
    case Qt::TextAlignmentRole: {
      const auto type = dataset_->columns()[index.column()].type;
      const bool number = type == nuvo::db::DataType::Integer || type == nuvo::db::DataType::Float;
      return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    default: return {};
  }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!dataset_) return {};
  if (orientation == Qt::Horizontal) {
    if (role != Qt::DisplayRole || section < 0 || section >= columns_) return {};
    return dataset_->columns()[section].name;
  }
  if (section < 0 || section >= rows_) return {};
  if (role == RowStateRole) return QVariant::fromValue(rowState(section));
  if (role == Qt::DisplayRole) return section + 1;
  return {};
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
  if (!dataset_ || !index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  if (dataset_->isFieldWritable(index.column())) f |= Qt::ItemIsEditable;
  return f;
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable)) return false;
  const int row = index.row();
  return attempt([&] {
    if (dataset_->editRow() != row) dataset_->edit(row);
    dataset_->setValue(index.column(), value);
    if (dataset_->state() != Dataset::State::Edit) return;  // a new row waits for submit()
    try {
      dataset_->post();
    } catch (const nuvo::db::Error&) {
      dataset_->cancel();  // the grid shows what the table holds
      throw;
    }
  });
}

bool DatasetModel::insertRows(int row, int count, const QModelIndex& parent) {
  if (parent.isValid() || count != 1) return false;
  return attempt([&] { dataset_->insert(row); });
}

bool DatasetModel::removeRows(int row, int count, const QModelIndex& parent) {
  if (parent.isValid() || count < 1) return false;
  return attempt([&] {
    for (int i = 0; i < count; ++i) dataset_->remove(row);
  });
}

bool DatasetModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && dataset_ && dataset_->isOpen() && !dataset_->allFetched();
}

void DatasetModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) return;
  // A view or tester asking from inside a change notification gets its rows once that change ends.
  if (changing_ > 0) {
    QMetaObject::invokeMethod(this, [this] { fetchMore(); }, Qt::QueuedConnection);
    return;
  }
  // Packets are read for up to kFetchSliceMs and told to the view at once: a view scrolling to the end
  // of a large result gets there in few steps, and the main thread is never held for long.
  QElapsedTimer slice;
  slice.start();
  {
    const QScopedValueRollback batch(batching_, true);
    attempt([&] {
      do dataset_->fetchMore();
      while (!dataset_->allFetched() && slice.elapsed() < kFetchSliceMs);
    });
  }
  syncAppended();
}

bool DatasetModel::submit() {
  return attempt([&] { dataset_->post(); });
}

void DatasetModel::revert() {
  attempt([&] { dataset_->cancel(); });
}

}  // namespace nuvo::widgets
