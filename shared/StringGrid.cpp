#include "StringGrid.h"

#include <algorithm>

TStringGrid::TStringGrid(QObject* parent) : QAbstractTableModel(parent) {
    rows_.resize(rowCount_);
    widths_.fill(DefaultColWidth, colCount_);
}

void TStringGrid::SetColCount(int n) {
    n = std::max(0, n);
    if (n == colCount_)
        return;
    if (n > colCount_) {
        beginInsertColumns(QModelIndex(), colCount_, n - 1);
        widths_.reserve(n);
        while (widths_.size() < n)
            widths_.append(DefaultColWidth);
        colCount_ = n;
        endInsertColumns();
        return;
    }
    beginRemoveColumns(QModelIndex(), n, colCount_ - 1);
    // Rows hold only the cells up to their last written one, so only longer rows lose cells.
    for (QStringList& row : rows_)
        if (row.size() > n)
            row.resize(n);
    widths_.resize(n);
    colCount_ = n;
    endRemoveColumns();
}

void TStringGrid::SetRowCount(int n) {
    n = std::max(0, n);
    if (n == rowCount_)
        return;
    if (n > rowCount_) {
        beginInsertRows(QModelIndex(), rowCount_, n - 1);
        rows_.resize(n);
        rowCount_ = n;
        endInsertRows();
        return;
    }
    beginRemoveRows(QModelIndex(), n, rowCount_ - 1);
    rows_.resize(n);
    rowCount_ = n;
    endRemoveRows();
}

QString TStringGrid::Cell(int col, int row) const {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return {};
    const QStringList& cells = rows_.at(row);
    return col < cells.size() ? cells.at(col) : QString();
}

void TStringGrid::SetCell(int col, int row, const QString& text) {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return;
    QStringList& cells = rows_[row];
    if (col >= cells.size()) {
        if (text.isEmpty())
            return;
        cells.resize(col + 1);
    } else if (cells.at(col) == text) {
        return;
    }
    cells[col] = text;
    cellsChanged(row, row, col, col);
}

void TStringGrid::ClearRow(int row) {
    if (row < 0 || row >= rowCount_)
        return;
    QStringList& cells = rows_[row];
    const bool hadText =
        std::any_of(cells.cbegin(), cells.cend(), [](const QString& s) { return !s.isEmpty(); });
    cells.clear();
    if (hadText)
        cellsChanged(row, row, 0, colCount_ - 1);
}

void TStringGrid::CopyRow(int toRow, int fromRow) {
    if (toRow == fromRow || toRow < 0 || toRow >= rowCount_ || fromRow < 0 || fromRow >= rowCount_)
        return;
    rows_[toRow] = rows_.at(fromRow);
    if (colCount_ > 0)
        cellsChanged(toRow, toRow, 0, colCount_ - 1);
}

int TStringGrid::ColWidth(int col) const {
    return col >= 0 && col < widths_.size() ? widths_.at(col) : DefaultColWidth;
}

void TStringGrid::SetColWidth(int col, int width) {
    if (col < 0 || col >= widths_.size() || widths_.at(col) == width)
        return;
    widths_[col] = width;
    Q_EMIT ColWidthChanged(col, width);
}

void TStringGrid::SetFixed(int rows, int cols) {
    rows = std::max(0, rows);
    cols = std::max(0, cols);
    if (rows == fixedRows_ && cols == fixedCols_)
        return;
    fixedRows_ = rows;
    fixedCols_ = cols;
    if (rowCount_ > 0 && colCount_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount_ - 1, colCount_ - 1), {Qt::BackgroundRole});
}

int TStringGrid::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowCount_;
}

int TStringGrid::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : colCount_;
}

QVariant TStringGrid::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount_ || index.column() >= colCount_)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return Cell(index.column(), index.row());
    case Qt::BackgroundRole:
        if (index.row() < fixedRows_ || index.column() < fixedCols_)
            return fixedColor_;
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags TStringGrid::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void TStringGrid::cellsChanged(int firstRow, int lastRow, int firstCol, int lastCol) {
    Q_EMIT dataChanged(index(firstRow, firstCol), index(lastRow, lastCol), {Qt::DisplayRole, Qt::EditRole});
}
