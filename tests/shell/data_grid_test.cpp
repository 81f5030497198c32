#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>

#include "db/dataset.h"
#include "db/error.h"
#include "db/session.h"
#include "qstring_print.h"
#include "shell/CThemedDBGrid.h"
#include "shell/IGridUtils.h"
#include "shell_test_support.h"
#include "widgets/dataset_model.h"

namespace {

using nuvo::shell::WheelDirection;

TEST(WheelStep, TwoRowsOneWithShiftAPageWithCtrl) {
  struct Case {
    WheelDirection direction;
    Qt::KeyboardModifiers modifiers;
    int step;
  };
  const Case cases[] = {
      {WheelDirection::Down, Qt::NoModifier, 2},
      {WheelDirection::Down, Qt::ShiftModifier, 1},
      {WheelDirection::Down, Qt::ControlModifier, 9},
      {WheelDirection::Down, Qt::ControlModifier | Qt::ShiftModifier, 9},
      {WheelDirection::Up, Qt::NoModifier, 2},
      {WheelDirection::Up, Qt::ShiftModifier, 1},
      {WheelDirection::Up, Qt::ControlModifier, 9},
      {WheelDirection::Up, Qt::ControlModifier | Qt::ShiftModifier, 1},
      {WheelDirection::Up, Qt::ControlModifier | Qt::AltModifier, 2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nuvo::shell::wheelStep(c.direction, c.modifiers, 10), c.step)
        << int(c.direction) << " " << int(c.modifiers.toInt());
}

TEST(ColumnWidths, TheWiderOfTitleAndCellsCappedByThePercentage) {
  auto width = [](const QString& text) { return int(text.size()) * 10; };
  const QList<nuvo::shell::ColumnTexts> columns = {
      {"ID", true, {"1", "22"}},
      {"HIDDEN", false, {"xxxxxxxxxxxxxxxxxxxx"}},
      {"NAME", true, {"ab", "null", "a much longer value than the grid allows"}},
      {"LONG_TITLE", true, {}},
  };
  EXPECT_EQ(nuvo::shell::fittedColumnWidths(columns, width, width, 100, 0, 600), QList<int>({26, 406, 106}));
  EXPECT_EQ(nuvo::shell::fittedColumnWidths(columns, width, width, 100, 33, 600), QList<int>({26, 198, 106}));
  // Without a start width the titles do not count.
  EXPECT_EQ(nuvo::shell::fittedColumnWidths(columns, width, width, 0, 0, 600), QList<int>({26, 406, 0}));
}

TEST(NullText, SitsAsTheColumnIsAligned) {
  const QRect cell(10, 20, 100, 30);  // right edge 110, bottom 50
  EXPECT_EQ(nuvo::shell::nullTextPosition(cell, Qt::AlignLeft, 24, 10), QPoint(12, 30));
  EXPECT_EQ(nuvo::shell::nullTextPosition(cell, Qt::AlignRight | Qt::AlignVCenter, 24, 10), QPoint(83, 30));
  EXPECT_EQ(nuvo::shell::nullTextPosition(cell, Qt::AlignHCenter, 24, 10), QPoint(48, 30));
}

class DataGrid : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE TABLE kade.grid_t (id NUMBER, name VARCHAR2(200), note VARCHAR2(20))",
         "BEGIN FOR i IN 1..160 LOOP INSERT INTO kade.grid_t VALUES (i, CASE WHEN i = 150 THEN RPAD('w', 120, 'w') "
         "ELSE 'ab' END, CASE WHEN i = 2 THEN '' WHEN i = 3 THEN 'x' END); END LOOP; COMMIT; END;"});
    session_.logOn("KADE", "KADE", "DEMO");
    dataset_ = std::make_unique<nuvo::db::Dataset>(&session_);
    dataset_->setSql(QStringLiteral("select id, name, note, rowid from kade.grid_t order by id"));
    dataset_->setFetchSize(20);
    dataset_->open();
    model_ = std::make_unique<nuvo::widgets::DatasetModel>(dataset_.get());
    grid_ = std::make_unique<TThemedDBGrid>();
    grid_->setModel(model_.get());
    grid_->resize(900, 300);
  }
  void TearDown() override {
    grid_.reset();
    model_.reset();
    dataset_.reset();
    session_.logOff();
    DatabaseFixture::TearDown();
  }
  int textWidth(const QString& text) const { return TextWidthInFont(grid_->font(), text) + 6; }

  nuvo::db::Session session_;
  std::unique_ptr<nuvo::db::Dataset> dataset_;
  std::unique_ptr<nuvo::widgets::DatasetModel> model_;
  std::unique_ptr<TThemedDBGrid> grid_;
};

TEST_F(DataGrid, AdjustGridColumnsMeasuresTheFirstHundredRows) {
  grid_->setCurrentIndex(model_->index(5, 0));
  AdjustGridColumns(grid_.get(), 100, 0);
  EXPECT_GE(model_->rowCount(), 100);
  const QFont title = grid_->horizontalHeader()->font();
  EXPECT_EQ(grid_->columnWidth(0), std::max(TextWidthInFont(title, "ID") + 6, textWidth("100")));
  // Row 150 holds the longest name: it is not measured.
  EXPECT_EQ(grid_->columnWidth(1), std::max(TextWidthInFont(title, "NAME") + 6, textWidth("ab")));
  EXPECT_EQ(grid_->columnWidth(2), std::max(TextWidthInFont(title, "NOTE") + 6, textWidth("null")));
  EXPECT_EQ(grid_->currentIndex().row(), 5);

  dataset_->setSql(QStringLiteral("select name from kade.grid_t where id = 150"));
  dataset_->open();
  AdjustGridColumns(grid_.get(), 100, 33);
  EXPECT_EQ(grid_->columnWidth(0), 900 * 33 / 100);

  // A closed dataset has no columns to fit; the widths stay as they are.
  grid_->setColumnWidth(0, 77);
  dataset_->close();
  AdjustGridColumns(grid_.get(), 100, 33);
  AdjustGridColumns(nullptr, 100, 33);
  EXPECT_EQ(model_->columnCount(), 0);
}

// Counts the silver pixels of "null" in a cell of the rendered grid.
int silverPixels(TThemedDBGrid& grid, int row, int column) {
  grid.show();
  QApplication::processEvents();
  const QImage image = grid.viewport()->grab().toImage();
  const QRect cell = grid.visualRect(grid.model()->index(row, column));
  int count = 0;
  for (int y = cell.top(); y <= cell.bottom(); ++y)
    for (int x = cell.left(); x <= cell.right(); ++x)
      if (image.pixelColor(x, y) == QColor(192, 192, 192)) ++count;
  return count;
}

TEST_F(DataGrid, NullCellsShowAGreyNull) {
  grid_->setColumnWidth(2, 80);
  grid_->clearSelection();
  grid_->setCurrentIndex({});
  // Without antialiasing the text has only the colours it is drawn in.
  QFont font = grid_->font();
  font.setStyleStrategy(QFont::NoAntialias);
  grid_->setFont(font);
  EXPECT_GT(silverPixels(*grid_, 0, 2), 0);  // NULL
  EXPECT_GT(silverPixels(*grid_, 1, 2), 0);  // '' is NULL too
  EXPECT_EQ(silverPixels(*grid_, 2, 2), 0);  // 'x'
  EXPECT_EQ(silverPixels(*grid_, 0, 1), 0);  // 'ab'
}

TEST_F(DataGrid, TheWheelMovesTheCurrentRowAndDropsAPendingEdit) {
  grid_->show();
  QApplication::processEvents();
  const int page = grid_->visibleRowCount() - 1;
  ASSERT_GT(page, 2);
  while (model_->canFetchMore()) model_->fetchMore();
  grid_->setCurrentIndex(model_->index(10, 1));
  auto turn = [this](int delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(QPointF(10, 10), grid_->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid_->viewport(), &event);
  };
  turn(-120, Qt::NoModifier);
  EXPECT_EQ(grid_->currentRow(), 12);
  turn(120, Qt::ShiftModifier);
  EXPECT_EQ(grid_->currentRow(), 11);
  turn(-120, Qt::ControlModifier);
  EXPECT_EQ(grid_->currentRow(), 11 + page);
  turn(120, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(grid_->currentRow(), 11 + page - 1);

  grid_->setCurrentIndex(model_->index(5, 1));
  ASSERT_TRUE(model_->insertRows(1, 1));
  ASSERT_TRUE(model_->setData(model_->index(1, 1), "new"));
  ASSERT_EQ(dataset_->state(), nuvo::db::Dataset::State::Insert);
  turn(-120, Qt::NoModifier);
  EXPECT_EQ(model_->index(1, 1).data().toString(), "ab");  // the new row is gone
  EXPECT_FALSE(session_.inTransaction());
}

}  // namespace
