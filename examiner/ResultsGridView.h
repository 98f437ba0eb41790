#pragma once
// The view of the results grid: a table without Qt's own headers (the grid's row 0 is its header
// row), whose fixed rows and columns behave like those of a classic string grid:
//   - they are painted in place while the data cells scroll under them;
//   - they never become the current cell, by mouse or by keyboard;
//   - dragging a line between two header cells (or between two name cells) resizes the column
//     (or the row).
// cellActivated is raised when the mouse button, pressed on a data cell, is released over a data
// cell, and when the keyboard moves the current cell; the reached cell is then the current one.
#include <QTableView>

class TStringGrid;

class ResultsGridView : public QTableView {
    Q_OBJECT
public:
    explicit ResultsGridView(QWidget* parent = nullptr);

    void setGrid(TStringGrid* grid);
    TStringGrid* grid() const { return grid_; }

    // Gives every column the width the grid model holds for it.
    void applyColumnWidths();

    // The cell under a viewport position, the fixed areas taken where they are painted.
    QModelIndex cellAt(const QPoint& viewportPos) const;
    bool isFixedCell(const QModelIndex& index) const;

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // Typing never jumps to a matching cell: the match could be a header or a name.
    void keyboardSearch(const QString&) override {}

signals:
    void cellActivated();

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class Drag { None, Column, Row };
    struct Boundary {
        Drag kind = Drag::None;
        int section = -1;
    };

    int fixedRows() const;
    int fixedCols() const;
    int frozenWidth() const;  // width of the fixed columns
    int frozenHeight() const; // height of the fixed rows
    int frozenColumnX(int col) const;
    int frozenRowY(int row) const;
    int cellX(int col) const; // viewport x where the column is painted
    int cellY(int row) const;
    Boundary boundaryAt(const QPoint& pos) const;
    void paintCell(QPainter& painter, const QModelIndex& index, const QRect& cellRect);

    TStringGrid* grid_ = nullptr;
    Drag drag_ = Drag::None;
    int dragSection_ = -1;
    int dragOrigin_ = 0;
    int dragStartSize_ = 0;
    bool pressedOnData_ = false;
};
