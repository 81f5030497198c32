#pragma once
// A query whose rows are kept as they are fetched, in packets of a set size, and may be edited.
//
// Editing needs the query to select ROWID: rows are written back by ROWID to the updating table
// (the first table of the FROM clause unless set). Only the columns of that table are written. A row
// is locked (SELECT ... FOR UPDATE NOWAIT) when its edit starts, so a row another session holds
// fails at once with ORA-00054. Without cached updates every post, insert and delete goes to the
// server at once (uncommitted); with cached updates they are kept until applyUpdates().
//
// A dataset is used by one thread at a time; the signals tell a model (or a detail dataset) what
// changed.

#include <QObject>
#include <QSet>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "db/sql_command.h"

namespace nuvo::db {

class Dataset : public QObject, public SqlCommand {
  Q_OBJECT

 public:
  enum class RowState { Unchanged, Modified, Inserted };
  enum class State { Closed, Browse, Edit, Insert };

  explicit Dataset(Session* session = nullptr, QObject* parent = nullptr);
  ~Dataset() override;

  // Rows read per packet (at least 1); 100 unless set.
  int fetchSize() const { return fetchSize_; }
  void setFetchSize(int rows) { fetchSize_ = qMax(1, rows); }
  // Read every row when opening.
  bool queryAllRecords() const { return queryAllRecords_; }
  void setQueryAllRecords(bool all) { queryAllRecords_ = all; }
  bool cachedUpdates() const { return cachedUpdates_; }
  // Switching cached updates off cancels the updates still cached.
  void setCachedUpdates(bool cached);
  bool lockOnEdit() const { return lockOnEdit_; }
  void setLockOnEdit(bool lock) { lockOnEdit_ = lock; }
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // The table rows are written to: the one set, else the first table of the FROM clause.
  QString updatingTable() const;
  void setUpdatingTable(const QString& table) { updatingTable_ = table; }

  // Executes the query and fetches the first packet (every row with queryAllRecords).
  void open();
  // Reads a cursor (a cursor variable of a query) as this dataset's rows; such a dataset is read-only.
  void openResultSet(std::shared_ptr<ResultSet> rows);
  // Closes the dataset; an edit in progress and cached updates are dropped.
  void close() override;
  bool isOpen() const { return state_ != State::Closed; }
  // Closes and opens again with the variables as they are now (a detail: as its master's row gives).
  void requery();

  // Fetches the next packet; returns the rows added.
  int fetchMore();
  void fetchAll();
  bool allFetched() const { return allFetched_; }
  // The rows fetched so far (inserted rows included, deleted rows not).
  int recordCount() const { return static_cast<int>(rows_.size()); }

  const Columns& columns() const { return columns_; }
  int fieldCount() const { return static_cast<int>(columns_.size()); }
  int fieldIndex(const QString& name) const { return columnIndex(columns_, name); }
  // The row being edited shows its edit buffer.
  QVariant value(int row, int column) const;
  QVariant value(int row, const QString& name) const { return value(row, fieldIndex(name)); }
  bool isNull(int row, int column) const { return !value(row, column).isValid(); }
  RowState rowState(int row) const;
  QString rowid(int row) const;

  // Rows can be edited: the query selects ROWID from a table and the dataset is not read-only.
  bool canModify() const;
  bool isFieldWritable(int column) const;

  // The current row (-1 when there are no rows); a detail dataset follows its master's.
  int currentRow() const { return currentRow_; }
  void setCurrentRow(int row);

  State state() const { return state_; }
  // The row being edited or inserted; -1 in browse state.
  int editRow() const { return editRow_; }
  // Starts editing a row (posting an edit in progress first); locks it when lockOnEdit is set and
  // reads its current values. Throws ORA-00054 when another session holds the row.
  void edit(int row);
  // Inserts an empty row before `row` (recordCount() appends) and starts editing it.
  void insert(int row);
  // Sets a field of the row being edited (editing the current row first when in browse state).
  // "" is NULL, as the server stores it.
  void setValue(int column, const QVariant& value);
  void setValue(const QString& name, const QVariant& value);
  // Ends the edit: writes the row (or caches it). On failure the edit stays in progress.
  void post();
  // Drops the edit in progress; an inserted row goes away.
  void cancel();
  // Deletes a row (or caches the deletion).
  void remove(int row);

  bool updatesPending() const;
  // Writes the cached updates (deletes, updates, inserts) without committing. A failure undoes the
  // writes of this call and keeps the cache as it was.
  void applyUpdates();
  // Drops the cached updates: rows as fetched again.
  void cancelUpdates();
  // Reads a row again from its table by ROWID; false when the row no longer exists (it is removed).
  bool refreshRow(int row);

  // Links this dataset as a detail: whenever the master opens or moves to another row, the detail's
  // variables `detailVariables` (default: the master field names) take the master row's values of
  // `masterFields` and the detail is queried again; a closed master closes the detail.
  void setMaster(Dataset* master, const QStringList& masterFields, const QStringList& detailVariables = {});
  Dataset* master() const { return master_; }

 signals:
  void opened();
  void closed();
  void rowsFetched(int first, int last);
  void rowChanged(int row);
  // Around a row that comes or goes by an edit (fetched rows come with rowsFetched).
  void rowAboutToBeInserted(int row);
  void rowInserted(int row);
  void rowAboutToBeRemoved(int row);
  void rowRemoved(int row);
  // Rows changed in a way not told row by row (cached updates cancelled).
  void rowsReset();
  void currentRowChanged(int row);
  void stateChanged(nuvo::db::Dataset::State state);
  // A posted row or a delete went to the table (not with cached updates; a cancel writes nothing).
  void written();

 private:
  friend class Session;

  struct Row {
    // A fetched row reads its cells from the packet it came in until it gets values of its own
    // (edited, refreshed or inserted): one allocation per packet instead of one per row.
    const QVariant* fetched = nullptr;
    int width = 0;
    QVector<QVariant> own;
    // The values before the row's cached changes, while it has some.
    std::unique_ptr<QVector<QVariant>> original;
    RowState state = RowState::Unchanged;
    int order = -1;  // place in the fetch order; -1 for an inserted row

    const QVariant& at(int column) const { return own.isEmpty() ? fetched[column] : own[column]; }
    QVector<QVariant> values() const { return own.isEmpty() ? QVector<QVariant>(fetched, fetched + width) : own; }
    void setValues(QVector<QVariant> values) { own = std::move(values); }
    QVector<QVariant> asFetched() const { return original ? *original : values(); }
  };

  void startRows(ResultSet* rows);
  int readRows(int limit);
  // The value, or an equal text fetched just before in the column (sharing its storage).
  QVariant shared(int column, QVariant value);
  void requireRow(int row) const;
  void requireModifiable() const;
  void setState(State state, int row);
  void moveTo(int row);
  void dropRow(int row);
  void loadTableColumns(DriverSession& driver);
  QString checkedTable() const;
  QVariant coerce(int column, const QVariant& value) const;
  QStringList writableChanges(const QVector<QVariant>& before, const QVector<QVariant>& after,
                              QVector<int>& columns) const;
  std::unique_ptr<DriverStatement> run(DriverSession& driver, const QString& sql,
                                       const QVector<QPair<int, QVariant>>& binds, const QString& rowid);
  bool readByRowid(DriverSession& driver, const QString& rowid, bool lock, QVector<QVariant>& values);
  void updateRow(DriverSession& driver, const Row& row, const QVector<QVariant>& values);
  QString insertRow(DriverSession& driver, const QVector<QVariant>& values);
  void deleteRow(DriverSession& driver, const QString& rowid);
  void postCachedUpdates();
  void discardPostedRowids();
  void commitCachedUpdates();
  void followMaster();

  int fetchSize_ = 100;
  bool queryAllRecords_ = false;
  bool cachedUpdates_ = false;
  bool lockOnEdit_ = true;
  bool readOnly_ = false;
  QString updatingTable_;

  ResultSet* source_ = nullptr;
  std::shared_ptr<ResultSet> cursor_;
  Columns columns_;
  int rowidColumn_ = -1;
  QSet<QString> tableColumns_;  // upper case
  std::vector<std::vector<QVariant>> packets_;  // the cells of the fetched rows, never moved
  std::vector<QVariant> recentTexts_;      // per column, the last distinct texts fetched
  std::vector<unsigned char> recentNext_;  // per column, the slot of recentTexts_ written next
  std::deque<Row> rows_;  // a deque: a million rows grow without moving the ones fetched
  std::deque<Row> deleted_;  // cached deletes
  std::map<const Row*, QString> postedRowids_;  // ROWIDs of cached inserts while applyUpdates runs
  bool allFetched_ = true;
  State state_ = State::Closed;
  int editRow_ = -1;
  int currentRow_ = -1;
  QVector<QVariant> buffer_;
  int returningRowid_ = -1;  // INSERT ... RETURNING ROWID: -1 untried, 0 refused by the server, 1 works

  Dataset* master_ = nullptr;
  QStringList masterFields_;
  QStringList detailVariables_;
  QList<QMetaObject::Connection> masterLinks_;
};

}  // namespace nuvo::db
