// The string grid as the logic uses it (cells by column and row) and as a view sees it (a table
// model whose signals keep the view in step).
#include "StringGrid.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

TEST(StringGrid, CellsAreAddressedByColumnThenRowAndOutsideReadsEmpty) {
    TStringGrid grid;
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 5);
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.SetCell(2, 1, "col 2 row 1");
    grid.SetCell(0, 3, "col 0 row 3");
    EXPECT_EQ(grid.Cell(2, 1), "col 2 row 1");
    EXPECT_EQ(grid.Cell(1, 2), "");
    EXPECT_EQ(grid.data(grid.index(1, 2), Qt::DisplayRole).toString(), "col 2 row 1");
    EXPECT_EQ(grid.data(grid.index(3, 0), Qt::DisplayRole).toString(), "col 0 row 3");

    grid.SetCell(3, 0, "beyond the columns");
    grid.SetCell(0, 4, "beyond the rows");
    grid.SetCell(-1, 0, "negative");
    EXPECT_EQ(grid.Cell(3, 0), "");
    EXPECT_EQ(grid.Cell(0, 4), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.columnCount(), 3);
}

TEST(StringGrid, ShrinkingLosesCellsAndGrowingBringsEmptyOnes) {
    TStringGrid grid;
    grid.SetCell(4, 4, "corner");
    grid.SetCell(1, 1, "kept");
    grid.SetColCount(2);
    grid.SetRowCount(2);
    grid.SetColCount(5);
    grid.SetRowCount(5);
    EXPECT_EQ(grid.Cell(4, 4), "");
    EXPECT_EQ(grid.Cell(1, 1), "kept");
    grid.SetColCount(-3);
    EXPECT_EQ(grid.ColCount(), 0);
}

TEST(StringGrid, RowOperations) {
    TStringGrid grid;
    for (int c = 0; c < 5; ++c)
        grid.SetCell(c, 2, QString::number(c));
    grid.CopyRow(3, 2);
    grid.ClearRow(2);
    EXPECT_EQ(grid.Cell(4, 3), "4");
    EXPECT_EQ(grid.Cell(0, 3), "0");
    EXPECT_EQ(grid.Cell(4, 2), "");
    grid.CopyRow(3, 9); // no such row: nothing happens
    EXPECT_EQ(grid.Cell(4, 3), "4");
}

TEST(StringGrid, ColumnWidthsFixedCellsAndFlags) {
    TStringGrid grid;
    EXPECT_EQ(grid.ColWidth(0), TStringGrid::DefaultColWidth);
    QSignalSpy widths(&grid, &TStringGrid::ColWidthChanged);
    grid.SetColWidth(1, 150);
    grid.SetColWidth(1, 150);
    grid.SetColWidth(7, 10); // no such column
    EXPECT_EQ(grid.ColWidth(1), 150);
    ASSERT_EQ(widths.size(), 1);
    EXPECT_EQ(widths[0][0].toInt(), 1);
    EXPECT_EQ(widths[0][1].toInt(), 150);
    grid.SetColCount(7);
    EXPECT_EQ(grid.ColWidth(6), TStringGrid::DefaultColWidth);

    grid.SetFixedColor(QColor(0, 255, 255));
    EXPECT_EQ(grid.data(grid.index(0, 3), Qt::BackgroundRole).value<QColor>(), QColor(0, 255, 255));
    EXPECT_EQ(grid.data(grid.index(3, 0), Qt::BackgroundRole).value<QColor>(), QColor(0, 255, 255));
    EXPECT_FALSE(grid.data(grid.index(1, 1), Qt::BackgroundRole).isValid());
    grid.SetFixed(0, 0);
    EXPECT_FALSE(grid.data(grid.index(0, 3), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(grid.flags(grid.index(1, 1)) & Qt::ItemIsEditable);
}

TEST(StringGrid, ModelSignalsFollowEveryChange) {
    TStringGrid grid;
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    QSignalSpy rowsIn(&grid, &QAbstractItemModel::rowsInserted);
    QSignalSpy rowsOut(&grid, &QAbstractItemModel::rowsRemoved);
    QSignalSpy colsIn(&grid, &QAbstractItemModel::columnsInserted);
    QSignalSpy colsOut(&grid, &QAbstractItemModel::columnsRemoved);

    grid.SetCell(2, 3, "x");
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), grid.index(3, 2));
    EXPECT_EQ(changed[0][1].toModelIndex(), grid.index(3, 2));
    grid.SetCell(2, 3, "x"); // same text: no signal
    grid.SetCell(4, 4, "");  // empty stays empty: no signal
    EXPECT_EQ(changed.size(), 1);

    grid.SetRowCount(9);
    ASSERT_EQ(rowsIn.size(), 1);
    EXPECT_EQ(rowsIn[0][1].toInt(), 5);
    EXPECT_EQ(rowsIn[0][2].toInt(), 8);
    grid.SetRowCount(2);
    ASSERT_EQ(rowsOut.size(), 1);
    EXPECT_EQ(rowsOut[0][1].toInt(), 2);
    EXPECT_EQ(rowsOut[0][2].toInt(), 8);
    grid.SetColCount(8);
    grid.SetColCount(1);
    ASSERT_EQ(colsIn.size(), 1);
    ASSERT_EQ(colsOut.size(), 1);
    EXPECT_EQ(colsOut[0][1].toInt(), 1);
    EXPECT_EQ(colsOut[0][2].toInt(), 7);

    grid.SetCell(0, 1, "a");
    changed.clear();
    grid.ClearRow(1);
    grid.ClearRow(1); // already empty
    EXPECT_EQ(changed.size(), 1);
    grid.SetRowCount(0);
    grid.SetColCount(0);
    grid.SetRowCount(3);
    grid.SetColCount(3);
    grid.SetFixed(2, 2);
}

TEST(StringGrid, TableViewShowsTheGridAsItChanges) {
    TStringGrid grid;
    QTableView view;
    view.setModel(&grid);
    grid.SetRowCount(12);
    grid.SetColCount(2);
    grid.SetCell(1, 11, "last");
    EXPECT_EQ(view.model()->rowCount(), 12);
    EXPECT_EQ(view.horizontalHeader()->count(), 2);
    EXPECT_EQ(view.verticalHeader()->count(), 12);
    EXPECT_EQ(view.model()->index(11, 1).data().toString(), "last");
}

TEST(StringGrid, LargeGridDropsExactlyTheCellsOfRemovedColumns) {
    TStringGrid grid;
    grid.SetColCount(60);
    grid.SetRowCount(5000);
    for (int r = 0; r < 5000; ++r)
        grid.SetCell(r % 60, r, "x");
    grid.SetColCount(30); // drops the cells of columns 30..59
    int kept = 0;
    for (int r = 0; r < 5000; ++r)
        kept += !grid.Cell(r % 60, r).isEmpty();
    EXPECT_EQ(kept, 5000 / 60 * 30 + 20);
}

} // namespace
