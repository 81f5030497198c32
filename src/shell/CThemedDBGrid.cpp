#include "shell/CThemedDBGrid.h"

#include <QHeaderView>
#include <QPainter>
#include <QWheelEvent>

#include "shell/IGridUtils.h"
#include "widgets/dataset_model.h"

namespace nuvo::shell {

int wheelStep(WheelDirection direction, Qt::KeyboardModifiers modifiers, int visibleRows) {
  const bool ctrl = modifiers & Qt::ControlModifier;
  const bool shift = modifiers & Qt::ShiftModifier;
  const bool alt = modifiers & Qt::AltModifier;
  const bool page = direction == WheelDirection::Down ? ctrl : ctrl && !shift && !alt;
  if (page) return std::max(visibleRows - 1, 1);
  return shift ? 1 : 2;
}

}  // namespace nuvo::shell

void TNullCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  if (!index.data(nuvo::widgets::DatasetModel::NullRole).toBool()) return;
  const QVariant alignment = index.data(Qt::TextAlignmentRole);
  DrawNullCell(*painter, option.rect, option.font,
               alignment.isValid() ? Qt::Alignment(alignment.toInt()) : Qt::Alignment(Qt::AlignLeft));
}

TThemedDBGrid::TThemedDBGrid(QWidget* parent) : QTableView(parent) {
  setItemDelegate(new TNullCellDelegate(this));
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(true);
  horizontalHeader()->setSectionsMovable(true);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  setSelectionBehavior(QAbstractItemView::SelectRows);
}

nuvo::widgets::DatasetModel* TThemedDBGrid::datasetModel() const {
  return qobject_cast<nuvo::widgets::DatasetModel*>(model());
}

int TThemedDBGrid::visibleRowCount() const {
  const int rowHeight = std::max(verticalHeader()->defaultSectionSize(), 1);
  return std::max(viewport()->height() / rowHeight, 1);
}

void TThemedDBGrid::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches == 0 || !model() || model()->rowCount() == 0) {
    QTableView::wheelEvent(event);
    return;
  }
  // A record being edited or inserted is dropped without asking, as the wheel moves away from it.
  if (auto* dataset = datasetModel(); dataset && dataset->dataset()) {
    const auto state = dataset->dataset()->state();
    if (state == nuvo::db::Dataset::State::Edit || state == nuvo::db::Dataset::State::Insert) dataset->revert();
  }
  const auto direction = notches < 0 ? nuvo::shell::WheelDirection::Down : nuvo::shell::WheelDirection::Up;
  const int step = nuvo::shell::wheelStep(direction, event->modifiers(), visibleRowCount()) * std::abs(notches);
  const int from = std::max(currentRow(), 0);
  const int target = std::clamp(direction == nuvo::shell::WheelDirection::Down ? from + step : from - step, 0,
                                model()->rowCount() - 1);
  setCurrentIndex(model()->index(target, std::max(currentIndex().column(), 0)));
  event->accept();
}
