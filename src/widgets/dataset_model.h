#pragma once
// The table model of every data grid: rows of a Dataset, fetched packet by packet as the view
// scrolls (canFetchMore/fetchMore; one request reads packets for up to kFetchSliceMs), NULL kept distinct from '' (NullRole), the edit state of each
// row (RowStateRole), and edits posted through the dataset. Errors of the dataset while editing do
// not escape into the view: setData returns false and errorOccurred tells the window.
//
// Editing: a cell of an existing row is posted at once (a failed post is cancelled and reported); the
// cells of a new row (insertRows) are kept until submit(), or until another row is edited.
//
// The model lives in the GUI thread. A window that opens the dataset on a worker thread detaches it
// from the model meanwhile (setDataset(nullptr)) and attaches it again in the finishing step.

#include <QAbstractTableModel>
#include <QPointer>

#include "db/dataset.h"

namespace nuvo::widgets {

class DatasetModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Role {
    NullRole = Qt::UserRole + 1,  // bool: the value is NULL
    RowStateRole,                 // RowState of the row
  };
  // A row's state as the grid marks it.
  enum class RowState { Unchanged, Modified, Inserted, Editing };
  Q_ENUM(RowState)

  // How long one fetchMore request reads packets (at least one).
  static constexpr int kFetchSliceMs = 20;

  explicit DatasetModel(nuvo::db::Dataset* dataset = nullptr, QObject* parent = nullptr);

  nuvo::db::Dataset* dataset() const { return dataset_; }
  void setDataset(nuvo::db::Dataset* dataset);
  // The text a NULL cell shows (DisplayRole); empty unless set.
  void setNullText(const QString& text);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
  bool removeRows(int row, int count, const QModelIndex& parent = {}) override;
  bool canFetchMore(const QModelIndex& parent = {}) const override;
  void fetchMore(const QModelIndex& parent = {}) override;
  // Posts the row being edited or inserted; revert() drops it.
  bool submit() override;
  void revert() override;

  RowState rowState(int row) const;

 signals:
  void errorOccurred(const nuvo::db::Error& error);

 private:
  void reload();
  void syncAppended();
  void onRowAboutToBeInserted(int row);
  void onRowInserted(int row);
  void onRowAboutToBeRemoved(int row);
  void onRowRemoved(int row);
  void onRowChanged(int row);
  // Runs a dataset call; a failure goes to errorOccurred and gives false.
  template <typename F>
  bool attempt(F&& call);

  // Counts the model's own change notifications in progress.
  struct Changing {
    explicit Changing(int& depth) : depth_(depth) { ++depth_; }
    ~Changing() { --depth_; }
    Changing(const Changing&) = delete;
    Changing& operator=(const Changing&) = delete;
    int& depth_;
  };

  QPointer<nuvo::db::Dataset> dataset_;
  int changing_ = 0;
  bool batching_ = false;  // fetchMore is reading packets: the view hears of them at the end
  bool pendingInsert_ = false;
  bool pendingRemove_ = false;
  QList<QMetaObject::Connection> links_;
  int rows_ = 0;     // rows the view knows
  int columns_ = 0;  // columns the view knows
  QString nullText_;
};

}  // namespace nuvo::widgets
