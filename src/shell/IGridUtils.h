#pragma once
// Helpers of the data grids: fitting the column widths to the data, and the "null" of NULL cells.

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;
class QWidget;
class TThemedDBGrid;

namespace nuvo::db {
class Dataset;
}

namespace nuvo::shell {

// One column as the width fitting sees it.
struct ColumnTexts {
  QString title;
  bool visible = true;
  QStringList cells;  // display texts of the measured rows, "null" for NULL
};
// The width of each visible column: the wider of its title (when startWidth > 0, else startWidth)
// and its cells, each plus 6, capped at gridWidth * maxPercent / 100 when maxPercent > 0.
QList<int> fittedColumnWidths(const QList<ColumnTexts>& columns, const std::function<int(const QString&)>& titleWidth,
                              const std::function<int(const QString&)>& cellWidth, int startWidth, int maxPercent,
                              int gridWidth);

// The widget with its object name (the component name tests and the runner look it up by).
template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}
// A read-only grid of whole rows over the dataset: the dataset follows the grid's current row, and
// the columns named in `hidden` (upper case) are hidden whenever the dataset opens.
TThemedDBGrid* gridOver(nuvo::db::Dataset* dataset, QWidget* parent, const char* name, const QStringList& hidden);
// The field of the dataset's current row as text; empty without a current row.
QString cell(const nuvo::db::Dataset& dataset, const char* field);

// Where "null" goes in a cell: 2 pixels in from the left, 3 from the right, or centred.
QPoint nullTextPosition(const QRect& cell, Qt::Alignment alignment, int textWidth, int textHeight);

}  // namespace nuvo::shell

// Rows that AdjustGridColumns measures.
inline constexpr int kAdjustRows = 100;

// Fits the grid's columns to their titles and the first 100 rows. Nothing without a model.
void AdjustGridColumns(TThemedDBGrid* grid, int startWidth, int maxPercent);
// Draws a silver "null" into the cell.
void DrawNullCell(QPainter& painter, const QRect& rect, const QFont& font, Qt::Alignment alignment);
int TextWidthInFont(const QFont& font, const QString& text);
