#include "MyPrintUtils.h"

#include "PrinterDevice.h"
#include "StringGrid.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QList>
#include <QRect>
#include <QScreen>
#include <cmath>

namespace {

// One cell of a printed row: its text and the width of its column on the screen, in pixels.
struct PrintCell {
    QString text;
    int screenWidth = 0;
};
using PrintCells = QList<PrintCell>;

// Row and column numbers a grid printout can ever include.
constexpr int kMaxPrintedIndex = 255;

// Print metrics, in printer dots unless said otherwise. Kept between jobs; PrintGrid sets
// them afresh.
int PrnDpiX = 0;
int ScreenDpi = 96; // screen pixels per inch
int TenthInch = 0;
int PrnCurY = 0;
int PrnLineHeight = 0;

int screenPixelsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96;
    const int dpi = int(std::lround(screen->logicalDotsPerInch()));
    return dpi > 0 ? dpi : 96;
}

void letWindowsBreathe() {
    QCoreApplication::processEvents();
}

void InitPrintMetrics(const vxg::PrinterDevice& prn) {
    ScreenDpi = screenPixelsPerInch();
    PrnDpiX = prn.dpiX();
    TenthInch = prn.dpiY() / 10;
    PrnCurY = 3 * TenthInch;
}

void PrintCellRow(vxg::PrinterDevice& prn, const PrintCells& cells) {
    int top = PrnCurY;
    int x = 0;
    for (const PrintCell& cell : cells) {
        const int width = cell.screenWidth * PrnDpiX / ScreenDpi;
        int right = x + width;
        if (right > prn.pageWidth()) {
            PrnCurY += 2 * TenthInch;
            top = PrnCurY;
            x = 0;
            right = width;
        }
        if (!prn.aborted())
            prn.textRect(QRect(x, top, right - x, PrnLineHeight), x, top, cell.text);
        x = right;
    }
    PrnCurY += 2 * TenthInch;
}

void PrintHeaderRow(vxg::PrinterDevice& prn, const PrintCells& cells) {
    prn.setBold(true);
    PrintCellRow(prn, cells);
    prn.setBold(false);
}

void PrintTitle(vxg::PrinterDevice& prn, const QString& text, int size) {
    const int oldSize = prn.fontSize();
    const bool oldBold = prn.bold();
    prn.setFontSize(size);
    prn.setBold(true);
    if (!prn.aborted())
        prn.textOut(prn.pageWidth() / 2 - prn.textWidth(text) / 2, PrnCurY, text);
    PrnCurY += PrnLineHeight + TenthInch;
    prn.setFontSize(oldSize);
    prn.setBold(oldBold);
}

bool printable(int index, const QSet<int>& chosen) {
    return index <= kMaxPrintedIndex && chosen.contains(index);
}

// The columns a row consists of, in increasing order: chosen ones that the grid has.
QList<int> printedColumns(const TStringGrid& grid, const QSet<int>& columns) {
    QList<int> out;
    for (int c = 0; c < grid.ColCount(); ++c)
        if (printable(c, columns))
            out.append(c);
    return out;
}

void printGridJob(vxg::PrinterDevice& prn, const TStringGrid& grid, const QString& title, int size,
                  const QSet<int>& rows, const QSet<int>& columns, bool& begun) {
    PrintCells header;
    PrintCells row;
    // The job begins before the metrics are set: a printout started while another one waits
    // for window messages is refused here and must not move the other one's position.
    prn.beginJob();
    begun = true;
    InitPrintMetrics(prn);
    letWindowsBreathe();
    // Measured with the font as the previous job left it: the first line height follows it.
    PrnLineHeight = prn.textHeight(QStringLiteral("X")) + TenthInch;
    if (!title.isEmpty())
        PrintTitle(prn, title, size + 2);

    const QList<int> cols = printedColumns(grid, columns);
    for (const int c : cols) {
        letWindowsBreathe();
        header.append({grid.Cell(c, 0), grid.ColWidth(c)});
    }
    prn.setFontSize(size);
    PrintHeaderRow(prn, header);

    for (int r = 1; r < grid.RowCount(); ++r) {
        if (!printable(r, rows))
            continue;
        for (const int c : cols) {
            letWindowsBreathe();
            row.append({grid.Cell(c, r), grid.ColWidth(c)});
        }
        PrintCellRow(prn, row);
        if (prn.pageHeight() < PrnCurY + PrnLineHeight) {
            PrnCurY = 3 * TenthInch;
            if (!prn.aborted())
                prn.newPage();
            PrintHeaderRow(prn, header);
        }
        row.clear();
    }
    if (!prn.aborted())
        prn.endJob();
}

} // namespace

void PrintLines(const QStringList& lines, const QString& title, int size) {
    vxg::PrinterDevice& prn = vxg::CurrentPrinter();
    vxg::PrinterTextFile out(prn);
    out.open();
    if (!title.isEmpty()) {
        prn.setFontSize(size + 2);
        out.writeLine(title);
    }
    prn.setFontSize(size);
    for (const QString& line : lines)
        out.writeLine(line);
    out.close();
}

void PrintGrid(const TStringGrid& grid, const QString& title, int size, const QSet<int>& rows,
               const QSet<int>& columns) {
    vxg::PrinterDevice& prn = vxg::CurrentPrinter();
    bool begun = false;
    try {
        printGridJob(prn, grid, title, size, rows, columns, begun);
    } catch (...) {
        // A job of ours that failed half way is dropped, not left open: the next printout must
        // be able to begin. An aborted job is already over; a job that never began is another
        // printout's, which goes on.
        if (begun) {
            if (!prn.aborted())
                prn.abortJob();
            prn.setBold(false);
        }
        throw;
    }
}
