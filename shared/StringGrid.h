#pragma once
// A grid of strings as a table model: cells addressed by (column, row) exactly as the programs'
// logic reads and writes them, fixed rows and columns, column widths and a default row height
// in screen pixels. A QTableView shows it; PrintGrid prints it.
#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

class TStringGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TStringGrid(QObject* parent = nullptr);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    void SetColCount(int n); // new cells are empty; cells of removed columns are lost
    void SetRowCount(int n);

    QString Cell(int col, int row) const;                // empty outside the grid
    void SetCell(int col, int row, const QString& text); // ignored outside the grid
    void ClearRow(int row);
    void CopyRow(int toRow, int fromRow); // every column

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int h) { defaultRowHeight_ = h; }

    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }
    void SetFixed(int rows, int cols);
    void SetFixedColor(const QColor& c) { fixedColor_ = c; }

    // QAbstractTableModel: row r / column c of the model are the grid's row r / column c.
    // Cells are not editable; fixed cells carry the fixed colour as background.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static constexpr int DefaultColWidth = 64;

Q_SIGNALS:
    // A view keeps its column widths in step with the grid's through this.
    void ColWidthChanged(int col, int width);

private:
    void cellsChanged(int firstRow, int lastRow, int firstCol, int lastCol);

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int defaultRowHeight_ = 24;
    QColor fixedColor_ = QColor(0, 255, 255);
    QList<QStringList> rows_; // rows_[row][col]
    QList<int> widths_;
};
