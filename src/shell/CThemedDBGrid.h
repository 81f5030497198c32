#pragma once
// The grid every data grid of the program is: a table view over the dataset model with a grey
// "null" in NULL cells, a row indicator that shows the edit state, and wheel scrolling by two rows,
// one row (Shift) or a page (Ctrl); turning the wheel cancels a pending edit first.

#include <QStyledItemDelegate>
#include <QTableView>

namespace nuvo::widgets {
class DatasetModel;
}

namespace nuvo::shell {

enum class WheelDirection { Down, Up };
// Rows one wheel notch moves: 2; 1 with Shift; a page (visible rows - 1) with Ctrl. Upwards the
// page applies only to Ctrl alone, so Ctrl+Shift moves one row up but a page down.
int wheelStep(WheelDirection direction, Qt::KeyboardModifiers modifiers, int visibleRows);

}  // namespace nuvo::shell

// Paints "null" in silver into cells whose value is NULL, aligned as the column's values.
class TNullCellDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class TThemedDBGrid : public QTableView {
  Q_OBJECT
 public:
  explicit TThemedDBGrid(QWidget* parent = nullptr);

  nuvo::widgets::DatasetModel* datasetModel() const;
  int visibleRowCount() const;
  // The row the keyboard cursor is on (-1 when none).
  int currentRow() const { return currentIndex().row(); }

 protected:
  void wheelEvent(QWheelEvent* event) override;
};
