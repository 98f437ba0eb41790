#include "ResultsGridView.h"

#include "StringGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {
// How close to a grid line (in pixels) the mouse must be to grab it for resizing.
constexpr int kGrabDistance = 3;
constexpr int kMinSectionSize = 8;
} // namespace

ResultsGridView::ResultsGridView(QWidget* parent) : QTableView(parent) {
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setShowGrid(true);
    setWordWrap(false);
    // A text wider than its cell is cut at the cell's edge, as a string grid does.
    setTextElideMode(Qt::ElideNone);
    setTabKeyNavigation(false);
    // Per-pixel scrolling keeps the arithmetic of the frozen areas simple and exact.
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(kMinSectionSize);
    verticalHeader()->setMinimumSectionSize(kMinSectionSize);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    viewport()->setMouseTracking(true);
}

void ResultsGridView::setGrid(TStringGrid* grid) {
    grid_ = grid;
    setModel(grid);
    if (!grid)
        return;
    verticalHeader()->setDefaultSectionSize(grid->DefaultRowHeight());
    // New columns come with Qt's default width; the grid model holds the real one.
    connect(grid, &QAbstractItemModel::modelReset, this, &ResultsGridView::applyColumnWidths);
    connect(grid, &QAbstractItemModel::columnsInserted, this, &ResultsGridView::applyColumnWidths);
    connect(grid, &QAbstractItemModel::layoutChanged, this, &ResultsGridView::applyColumnWidths);
    connect(grid, &TStringGrid::ColWidthChanged, this, [this](int col, int width) {
        if (width > 0 && columnWidth(col) != width)
            setColumnWidth(col, width);
    });
    applyColumnWidths();
}

void ResultsGridView::applyColumnWidths() {
    if (!grid_)
        return;
    for (int c = 0; c < grid_->ColCount(); ++c) {
        const int w = grid_->ColWidth(c);
        if (w > 0 && columnWidth(c) != w)
            setColumnWidth(c, w);
    }
}

int ResultsGridView::fixedRows() const {
    return grid_ ? std::min(grid_->FixedRows(), grid_->RowCount()) : 0;
}
int ResultsGridView::fixedCols() const {
    return grid_ ? std::min(grid_->FixedCols(), grid_->ColCount()) : 0;
}

int ResultsGridView::frozenColumnX(int col) const {
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += columnWidth(c);
    return x;
}

int ResultsGridView::frozenRowY(int row) const {
    int y = 0;
    for (int r = 0; r < row; ++r)
        y += rowHeight(r);
    return y;
}

int ResultsGridView::frozenWidth() const {
    return frozenColumnX(fixedCols());
}
int ResultsGridView::frozenHeight() const {
    return frozenRowY(fixedRows());
}

int ResultsGridView::cellX(int col) const {
    return col < fixedCols() ? frozenColumnX(col) : columnViewportPosition(col);
}

int ResultsGridView::cellY(int row) const {
    return row < fixedRows() ? frozenRowY(row) : rowViewportPosition(row);
}

bool ResultsGridView::isFixedCell(const QModelIndex& index) const {
    return index.isValid() && (index.row() < fixedRows() || index.column() < fixedCols());
}

QModelIndex ResultsGridView::cellAt(const QPoint& pos) const {
    if (!model())
        return {};
    int col = -1;
    if (pos.x() >= 0 && pos.x() < frozenWidth()) {
        for (int c = 0; c < fixedCols() && col < 0; ++c)
            if (pos.x() < frozenColumnX(c) + columnWidth(c))
                col = c;
    } else {
        col = columnAt(pos.x());
    }
    int row = -1;
    if (pos.y() >= 0 && pos.y() < frozenHeight()) {
        for (int r = 0; r < fixedRows() && row < 0; ++r)
            if (pos.y() < frozenRowY(r) + rowHeight(r))
                row = r;
    } else {
        row = rowAt(pos.y());
    }
    if (col < 0 || row < 0)
        return {};
    return model()->index(row, col);
}

ResultsGridView::Boundary ResultsGridView::boundaryAt(const QPoint& pos) const {
    if (!model())
        return {};
    const int fw = frozenWidth();
    const int fh = frozenHeight();
    Boundary best;
    int bestDistance = kGrabDistance + 1;
    if (pos.y() >= 0 && pos.y() < fh) {
        for (int c = 0; c < model()->columnCount(); ++c) {
            const int edge = cellX(c) + columnWidth(c);
            if (c >= fixedCols() && edge <= fw)
                continue; // scrolled under the fixed columns
            const int d = std::abs(pos.x() - edge);
            if (d < bestDistance) {
                bestDistance = d;
                best = {Drag::Column, c};
            }
        }
    } else if (pos.x() >= 0 && pos.x() < fw) {
        for (int r = 0; r < model()->rowCount(); ++r) {
            const int edge = cellY(r) + rowHeight(r);
            if (r >= fixedRows() && edge <= fh)
                continue;
            const int d = std::abs(pos.y() - edge);
            if (d < bestDistance) {
                bestDistance = d;
                best = {Drag::Row, r};
            }
        }
    }
    return best;
}

QModelIndex ResultsGridView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    const QModelIndex next = QTableView::moveCursor(cursorAction, modifiers);
    if (!next.isValid() || !model())
        return next;
    const QModelIndex clamped =
        model()->index(std::max(next.row(), fixedRows()), std::max(next.column(), fixedCols()));
    return clamped.isValid() ? clamped : current;
}

void ResultsGridView::keyPressEvent(QKeyEvent* event) {
    const QPersistentModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before && !isFixedCell(after))
        emit cellActivated();
}

void ResultsGridView::mousePressEvent(QMouseEvent* event) {
    pressedOnData_ = false;
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const Boundary b = boundaryAt(pos);
        if (b.kind != Drag::None) {
            drag_ = b.kind;
            dragSection_ = b.section;
            dragOrigin_ = b.kind == Drag::Column ? pos.x() : pos.y();
            dragStartSize_ = b.kind == Drag::Column ? columnWidth(b.section) : rowHeight(b.section);
            event->accept();
            return;
        }
    }
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = cellAt(pos);
    event->accept();
    if (!index.isValid() || isFixedCell(index))
        return;
    if (event->button() != Qt::LeftButton)
        return;
    pressedOnData_ = true;
    setCurrentIndex(index);
}

void ResultsGridView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (drag_ != Drag::None) {
        const int delta = (drag_ == Drag::Column ? pos.x() : pos.y()) - dragOrigin_;
        const int size = std::max(kMinSectionSize, dragStartSize_ + delta);
        if (drag_ == Drag::Column) {
            setColumnWidth(dragSection_, size);
            if (grid_)
                grid_->SetColWidth(dragSection_, size);
        } else {
            setRowHeight(dragSection_, size);
        }
        viewport()->update();
        return;
    }
    if (event->buttons() != Qt::NoButton)
        return; // no drag selection: the current cell moves only by click or keyboard
    switch (boundaryAt(pos).kind) {
    case Drag::Column:
        viewport()->setCursor(Qt::SplitHCursor);
        break;
    case Drag::Row:
        viewport()->setCursor(Qt::SplitVCursor);
        break;
    case Drag::None:
        viewport()->unsetCursor();
        break;
    }
    QTableView::mouseMoveEvent(event);
}

void ResultsGridView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (drag_ != Drag::None) {
        drag_ = Drag::None;
        dragSection_ = -1;
        return;
    }
    // Only a click that began on a data cell counts: a press on a header, a name or a grade
    // ends as nothing wherever the button is released.
    const bool pressedOnData = std::exchange(pressedOnData_, false);
    if (event->button() != Qt::LeftButton || !pressedOnData)
        return;
    const QModelIndex index = cellAt(event->position().toPoint());
    if (!index.isValid() || isFixedCell(index))
        return;
    setCurrentIndex(index);
    emit cellActivated();
}

void ResultsGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void ResultsGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableView::scrollTo(index, hint);
    if (!index.isValid() || isFixedCell(index))
        return;
    // A data cell scrolled to the edge would lie under the fixed rows or columns.
    const QRect r = visualRect(index);
    const int fw = frozenWidth();
    const int fh = frozenHeight();
    if (r.left() < fw)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (fw - r.left()));
    if (r.top() < fh)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (fh - r.top()));
}

void ResultsGridView::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    // The fixed areas do not move with the contents: repaint the whole viewport rather than
    // shift its pixels.
    viewport()->update();
}

void ResultsGridView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (!model())
        return;
    const int hs = horizontalScrollBar()->value();
    const int vs = verticalScrollBar()->value();
    if (hs == 0 && vs == 0)
        return; // everything already lies where it belongs
    QPainter painter(viewport());
    const int fr = fixedRows();
    const int fc = fixedCols();
    const int fw = frozenWidth();
    const int fh = frozenHeight();
    const int vw = viewport()->width();
    const int vh = viewport()->height();
    const int rows = model()->rowCount();
    const int cols = model()->columnCount();

    if (vs != 0) {
        for (int r = 0; r < fr; ++r)
            for (int c = fc; c < cols; ++c) {
                const int x = columnViewportPosition(c);
                const int w = columnWidth(c);
                if (x + w <= fw || x >= vw)
                    continue;
                paintCell(painter, model()->index(r, c), QRect(x, frozenRowY(r), w, rowHeight(r)));
            }
    }
    if (hs != 0) {
        for (int c = 0; c < fc; ++c)
            for (int r = fr; r < rows; ++r) {
                const int y = rowViewportPosition(r);
                const int h = rowHeight(r);
                if (y + h <= fh || y >= vh)
                    continue;
                paintCell(painter, model()->index(r, c), QRect(frozenColumnX(c), y, columnWidth(c), h));
            }
    }
    for (int r = 0; r < fr; ++r)
        for (int c = 0; c < fc; ++c)
            paintCell(painter, model()->index(r, c),
                      QRect(frozenColumnX(c), frozenRowY(r), columnWidth(c), rowHeight(r)));
}

void ResultsGridView::paintCell(QPainter& painter, const QModelIndex& index, const QRect& cellRect) {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int gridSize = showGrid() ? 1 : 0;
    option.rect = cellRect.adjusted(0, 0, -gridSize, -gridSize);
    option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    painter.fillRect(option.rect, palette().brush(QPalette::Base));
    itemDelegateForIndex(index)->paint(&painter, option, index);
    if (gridSize) {
        const auto gridHint =
            static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this));
        painter.save();
        painter.setPen(QColor::fromRgba(gridHint));
        const int right = cellRect.x() + cellRect.width() - 1;
        const int bottom = cellRect.y() + cellRect.height() - 1;
        painter.drawLine(right, cellRect.y(), right, bottom);
        painter.drawLine(cellRect.x(), bottom, right, bottom);
        painter.restore();
    }
}
