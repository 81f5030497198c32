#include "shell/IGridUtils.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>

#include "db/dataset.h"
#include "shell/CThemedDBGrid.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"

namespace {
const QString kNull = QStringLiteral("null");
}

namespace nuvo::shell {

TThemedDBGrid* gridOver(nuvo::db::Dataset* dataset, QWidget* parent, const char* name, const QStringList& hidden) {
  auto* grid = named(new TThemedDBGrid(parent), name);
  grid->setModel(new nuvo::widgets::DatasetModel(dataset, grid));
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QObject::connect(dataset, &nuvo::db::Dataset::opened, grid, [grid, dataset, hidden] {
    for (int column = 0; column < dataset->fieldCount(); ++column)
      grid->setColumnHidden(column, hidden.contains(dataset->columns()[column].name.toUpper()));
  });
  QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, dataset,
                   [dataset](const QModelIndex& index) {
                     if (index.isValid()) dataset->setCurrentRow(index.row());
                   });
  return grid;
}

QString cell(const nuvo::db::Dataset& dataset, const char* field) {
  const int row = dataset.currentRow();
  return row < 0 ? QString() : dataset.value(row, QLatin1String(field)).toString();
}

QList<int> fittedColumnWidths(const QList<ColumnTexts>& columns, const std::function<int(const QString&)>& titleWidth,
                              const std::function<int(const QString&)>& cellWidth, int startWidth, int maxPercent,
                              int gridWidth) {
  QList<int> widths;
  for (const ColumnTexts& column : columns) {
    if (!column.visible) continue;
    int width = startWidth > 0 ? titleWidth(column.title) + 6 : startWidth;
    for (const QString& cell : column.cells) width = std::max(width, cellWidth(cell) + 6);
    if (maxPercent > 0) width = std::min(width, gridWidth * maxPercent / 100);
    widths << width;
  }
  return widths;
}

QPoint nullTextPosition(const QRect& cell, Qt::Alignment alignment, int textWidth, int textHeight) {
  const int right = cell.left() + cell.width();
  const int bottom = cell.top() + cell.height();
  int x = cell.left() + 2;
  if (alignment & Qt::AlignRight) x = right - textWidth - 3;
  else if (alignment & Qt::AlignHCenter) x = (cell.left() + right - textWidth) / 2;
  return {x, (cell.top() + bottom - textHeight) / 2};
}

}  // namespace nuvo::shell

int TextWidthInFont(const QFont& font, const QString& text) { return QFontMetrics(font).horizontalAdvance(text); }

void DrawNullCell(QPainter& painter, const QRect& rect, const QFont& font, Qt::Alignment alignment) {
  const QFontMetrics metrics(font);
  const QPoint at = nuvo::shell::nullTextPosition(rect, alignment, metrics.horizontalAdvance(kNull), metrics.height());
  painter.save();
  painter.setClipRect(rect);
  painter.setFont(font);
  painter.setPen(QColor(192, 192, 192));
  painter.drawText(QRect(at, QSize(metrics.horizontalAdvance(kNull), metrics.height())), Qt::AlignLeft, kNull);
  painter.restore();
}

void AdjustGridColumns(TThemedDBGrid* grid, int startWidth, int maxPercent) {
  auto* model = grid ? grid->model() : nullptr;
  if (!model || model->columnCount() == 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    while (model->rowCount() < kAdjustRows && model->canFetchMore({})) model->fetchMore({});
    const int rows = std::min(model->rowCount(), kAdjustRows);
    QList<nuvo::shell::ColumnTexts> columns;
    for (int column = 0; column < model->columnCount(); ++column) {
      nuvo::shell::ColumnTexts texts{model->headerData(column, Qt::Horizontal).toString(), !grid->isColumnHidden(column), {}};
      for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, column);
        texts.cells << (index.data(nuvo::widgets::DatasetModel::NullRole).toBool() ? kNull : index.data().toString());
      }
      columns << texts;
    }
    const QFont titleFont = grid->horizontalHeader()->font();
    const QFont cellFont = grid->font();
    const QList<int> widths = nuvo::shell::fittedColumnWidths(
        columns, [&](const QString& t) { return TextWidthInFont(titleFont, t); },
        [&](const QString& t) { return TextWidthInFont(cellFont, t); }, startWidth, maxPercent, grid->width());
    int next = 0;
    for (int column = 0; column < model->columnCount(); ++column)
      if (!grid->isColumnHidden(column)) grid->setColumnWidth(column, widths[next++]);
  } catch (const std::exception& error) {
    nuvo::showMessage(QStringLiteral("NAPAKA AdjustGridColumns: ") + QString::fromUtf8(typeid(error).name()) +
                          QStringLiteral(": ") + QString::fromUtf8(error.what()),
                      nuvo::MessageKind::Error, grid);
  }
  QApplication::restoreOverrideCursor();
}
