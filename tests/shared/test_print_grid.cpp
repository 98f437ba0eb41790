// Grid and line printouts laid out on a recording printer of 1000 x 1000 dots at 100 dpi with
// characters 10 dots wide: a tenth of an inch is 10 dots, the top margin 30, a row 20 dots
// below the last, and a text at size s is s * 100 / 72 dots high.
#include "Error.h"
#include "MyPrintUtils.h"
#include "PrinterDevice.h"
#include "RecordingPrinter.h"
#include "StringGrid.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using vxg::RecordingPrinter;

namespace {

int screenDpi() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? int(std::lround(s->logicalDotsPerInch())) : 96;
}

// A screen width that prints exactly `dots` wide at 100 dpi (dots a multiple of 25).
int screenWidthFor(int dots) {
    return dots * screenDpi() / 100;
}

class GridPrintout : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(screenDpi() % 4, 0) << "column widths below assume a screen dpi divisible by 4";
        install(std::make_unique<RecordingPrinter>(1000, 1000, 100, 10));
    }
    void TearDown() override { vxg::SetCurrentPrinter(nullptr); }

    template <class P> P& install(std::unique_ptr<P> p) {
        P* raw = p.get();
        vxg::SetCurrentPrinter(std::move(p));
        prn = raw;
        return *raw;
    }

    // Columns of 100, 200 and 50 dots on paper; header "H0".."H2", cells "r<row>c<col>".
    static void fill(TStringGrid& grid, int rows, int cols = 3) {
        grid.SetColCount(cols);
        grid.SetRowCount(rows);
        const int dots[] = {100, 200, 50};
        for (int c = 0; c < cols; ++c) {
            grid.SetColWidth(c, screenWidthFor(dots[c % 3]));
            grid.SetCell(c, 0, QStringLiteral("H%1").arg(c));
            for (int r = 1; r < rows; ++r)
                grid.SetCell(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
        }
    }
    static QSet<int> range(int from, int to) {
        QSet<int> s;
        for (int i = from; i <= to; ++i)
            s.insert(i);
        return s;
    }
    const RecordingPrinter::Item* find(const QString& text) const {
        for (const auto& item : prn->items)
            if (item.text == text)
                return &item;
        return nullptr;
    }
    int count(const QString& text) const {
        int n = 0;
        for (const auto& item : prn->items)
            n += item.text == text;
        return n;
    }

    RecordingPrinter* prn = nullptr;
};

TEST_F(GridPrintout, TitleOnceCentredAndBoldHeaderRepeatedOnEveryPage) {
    TStringGrid grid;
    fill(grid, 60);
    PrintGrid(grid, QStringLiteral("Results"), 12, range(1, 59), {0, 1, 2});

    // Title: size 14, bold, centred by its width (70 dots), at the top margin; printed once.
    const auto* title = find("Results");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(count("Results"), 1);
    EXPECT_EQ(title->page, 0);
    EXPECT_EQ(title->x, 500 - 35);
    EXPECT_EQ(title->y, 30);
    EXPECT_EQ(title->fontSize, 14);
    EXPECT_TRUE(title->bold);
    EXPECT_FALSE(title->clipped);

    // Line height: "X" at the default size 10 (13 dots) + 10. The header starts 23 + 10 below
    // the title's top, bold, at the grid's size, each cell clipped to its column.
    const auto* h1 = find("H1");
    ASSERT_NE(h1, nullptr);
    EXPECT_EQ(h1->y, 63);
    EXPECT_EQ(h1->x, 100);
    EXPECT_TRUE(h1->bold);
    EXPECT_EQ(h1->fontSize, 12);
    EXPECT_TRUE(h1->clipped);
    EXPECT_EQ(h1->clip, QRect(100, 63, 200, 23));

    // Rows follow 20 dots apart, plain.
    const auto* r1 = find("r1c2");
    ASSERT_NE(r1, nullptr);
    EXPECT_EQ(r1->clip, QRect(300, 83, 50, 23));
    EXPECT_FALSE(r1->bold);
    EXPECT_EQ(r1->fontSize, 12);
    // Row 45 ends at 983: less than a line height is left, so row 46 starts page 2 under a
    // repeated header at the top margin.
    EXPECT_EQ(find("r45c0")->page, 0);
    EXPECT_EQ(find("r45c0")->y, 83 + 44 * 20);
    EXPECT_EQ(find("r46c0")->page, 1);
    EXPECT_EQ(find("r46c0")->y, 50);
    EXPECT_EQ(count("H0"), 2);
    const auto& lastItems = prn->items;
    int headersOnPage2 = 0;
    for (const auto& item : lastItems)
        if (item.page == 1 && item.text.startsWith('H')) {
            ++headersOnPage2;
            EXPECT_EQ(item.y, 30);
            EXPECT_TRUE(item.bold);
        }
    EXPECT_EQ(headersOnPage2, 3);
    EXPECT_EQ(prn->pages, 2);
    EXPECT_EQ(prn->jobsEnded, 1);
    EXPECT_EQ(prn->fontSize(), 12);
    EXPECT_FALSE(prn->bold());
}

TEST_F(GridPrintout, LastRowNearTheBottomIsFollowedByAPageWithOnlyTheHeader) {
    TStringGrid grid;
    fill(grid, 46); // rows 1..45: row 45 leaves too little room
    PrintGrid(grid, QStringLiteral("Results"), 12, range(1, 45), {0, 1, 2});
    EXPECT_EQ(prn->pages, 2);
    QStringList secondPage;
    for (const auto& item : prn->items)
        if (item.page == 1)
            secondPage << item.text;
    EXPECT_EQ(secondPage, (QStringList{"H0", "H1", "H2"}));
}

TEST_F(GridPrintout, TooWideRowGoesOnTwoTenthsOfAnInchLowerAtTheLeftEdge) {
    TStringGrid grid;
    grid.SetColCount(5);
    grid.SetRowCount(3);
    for (int c = 0; c < 5; ++c) {
        grid.SetColWidth(c, screenWidthFor(300));
        for (int r = 0; r < 3; ++r)
            grid.SetCell(c, r, QStringLiteral("%1-%2").arg(r).arg(c));
    }
    PrintGrid(grid, {}, 10, {1, 2}, range(0, 4));

    // No title: the header row is at the top margin; cells 0-2 fit (900 dots), cell 3 would
    // end at 1200 and goes on 20 dots lower with cell 4 after it.
    EXPECT_EQ(find("0-0")->clip, QRect(0, 30, 300, 23));
    EXPECT_EQ(find("0-2")->clip, QRect(600, 30, 300, 23));
    EXPECT_EQ(find("0-3")->clip, QRect(0, 50, 300, 23));
    EXPECT_EQ(find("0-4")->clip, QRect(300, 50, 300, 23));
    EXPECT_TRUE(find("0-4")->bold);
    // The next row starts 20 dots below the continuation line.
    EXPECT_EQ(find("1-0")->y, 70);
    EXPECT_EQ(find("1-3")->y, 90);
    EXPECT_EQ(find("2-0")->y, 110);
    for (const auto& item : prn->items)
        EXPECT_TRUE(item.clipped) << item.text.toStdString();
}

TEST_F(GridPrintout, RowEndingExactlyAtThePageWidthStillFits) {
    TStringGrid grid;
    grid.SetColCount(2);
    grid.SetRowCount(2);
    grid.SetColWidth(0, screenWidthFor(500));
    grid.SetColWidth(1, screenWidthFor(500));
    grid.SetCell(1, 1, QStringLiteral("right"));
    PrintGrid(grid, {}, 10, {1}, {0, 1});
    EXPECT_EQ(find("right")->clip, QRect(500, 50, 500, 23));
}

TEST_F(GridPrintout, RowsAndColumnsAbove255AreNeverPrintedAndRowZeroAlwaysIs) {
    TStringGrid grid;
    grid.SetColCount(300);
    grid.SetRowCount(300);
    for (int c : {0, 255, 256, 299})
        for (int r : {0, 1, 2, 255, 256, 299})
            grid.SetCell(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
    for (int c = 0; c < 300; ++c)
        grid.SetColWidth(c, screenWidthFor(25));
    PrintGrid(grid, QStringLiteral("T"), 10, {2, 255, 256, 299, 300}, {0, 255, 256, 299});

    QStringList printed = prn->texts();
    printed.removeAll(QString());
    EXPECT_EQ(printed, (QStringList{"T", "0/0", "255/0", "0/2", "255/2", "0/255", "255/255"}));
}

// Header and rows are made of the same columns: a chosen column that the grid does not have adds
// no empty cell to the rows, which could push them onto a continuation line.
TEST_F(GridPrintout, ChosenColumnsBeyondTheGridAddNothingToAnyRow) {
    TStringGrid grid;
    fill(grid, 3, 2); // columns of 100 and 200 dots
    PrintGrid(grid, {}, 10, {1, 2}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(prn->texts(), (QStringList{"H0", "H1", "r1c0", "r1c1", "r2c0", "r2c1"}));
    EXPECT_EQ(find("r1c0")->y, 50);
    EXPECT_EQ(find("r2c0")->y, 70) << "no continuation line between the rows";
}

TEST_F(GridPrintout, CellWiderThanItsColumnIsClippedAndAWhiteRectangleGoesFirst) {
    TStringGrid grid;
    grid.SetColCount(1);
    grid.SetRowCount(2);
    grid.SetColWidth(0, screenWidthFor(50)); // 5 characters
    grid.SetCell(0, 1, QStringLiteral("A much longer name"));
    PrintGrid(grid, {}, 10, {1}, {0});
    const auto* cell = find("A much longer name");
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->clipped);
    EXPECT_EQ(cell->clip, QRect(0, 50, 50, 23));
    EXPECT_EQ(cell->x, 0);
}

TEST_F(GridPrintout, EmptyGridPrintsTheHeaderOnly) {
    TStringGrid grid;
    grid.SetColCount(0);
    grid.SetRowCount(0);
    PrintGrid(grid, QStringLiteral("Nothing"), 12, range(0, 255), range(0, 255));
    EXPECT_EQ(prn->texts(), QStringList{"Nothing"});
    EXPECT_EQ(prn->jobsEnded, 1);

    TStringGrid headerOnly;
    fill(headerOnly, 1);
    PrintGrid(headerOnly, {}, 12, range(0, 255), range(0, 255));
    EXPECT_EQ(prn->texts(), (QStringList{"H0", "H1", "H2"}));
}

TEST_F(GridPrintout, LineHeightIsMeasuredWithTheFontThePreviousJobLeft) {
    TStringGrid grid;
    fill(grid, 2);
    PrintGrid(grid, QStringLiteral("First"), 12, {1}, {0});
    EXPECT_EQ(find("H0")->y, 30 + 23 + 10);
    // The first job left size 12: "X" is now 16 dots high, the line 26.
    PrintGrid(grid, QStringLiteral("Second"), 12, {1}, {0});
    EXPECT_EQ(find("H0")->y, 30 + 26 + 10);
    EXPECT_EQ(find("r1c0")->clip.height(), 26);
}

TEST_F(GridPrintout, WindowMessagesAreHandledDuringTheJobAndASecondPrintoutIsRefused) {
    TStringGrid grid;
    fill(grid, 60);
    // Twice, so that the reference starts from the font that the printout under test meets.
    PrintGrid(grid, QStringLiteral("Results"), 12, range(1, 59), {0, 1, 2});
    PrintGrid(grid, QStringLiteral("Results"), 12, range(1, 59), {0, 1, 2});
    const auto reference = prn->items;

    // Another print command comes in once the printout has gone some way down the page.
    bool ranWhilePrinting = false;
    QString refusal;
    std::function<void()> otherCommand = [&] {
        if (prn->items.size() < 30) {
            QTimer::singleShot(0, otherCommand);
            return;
        }
        ranWhilePrinting = prn->printing();
        try {
            PrintGrid(grid, QStringLiteral("Other"), 8, {1}, {0});
        } catch (const vxg::Error& e) {
            refusal = e.text();
        }
    };
    QTimer::singleShot(0, otherCommand);
    PrintGrid(grid, QStringLiteral("Results"), 12, range(1, 59), {0, 1, 2});

    EXPECT_TRUE(ranWhilePrinting);
    EXPECT_EQ(refusal, "Printing in progress");
    // The refused printout changed nothing of the one in progress.
    ASSERT_EQ(prn->items.size(), reference.size());
    for (qsizetype i = 0; i < reference.size(); ++i) {
        EXPECT_EQ(prn->items[i].text, reference[i].text);
        EXPECT_EQ(prn->items[i].clip, reference[i].clip) << reference[i].text.toStdString();
        EXPECT_EQ(prn->items[i].page, reference[i].page);
    }
    EXPECT_EQ(prn->jobsEnded, 3);
}

// A printer on which the platform aborts the job, or drawing fails, after some cells.
class FailingPrinter : public RecordingPrinter {
public:
    enum class Mode { Abort, Throw };
    FailingPrinter(Mode m, int after) : RecordingPrinter(1000, 1000, 100, 10), mode(m), after(after) {}
    void textRect(const QRect& clip, int x, int y, const QString& text) override {
        RecordingPrinter::textRect(clip, x, y, text);
        if (++drawn != after)
            return;
        if (mode == Mode::Abort)
            setAborted(true);
        else
            throw vxg::Error(QStringLiteral("Printer out of paper"));
    }
    Mode mode;
    int after;
    int drawn = 0;
};

TEST_F(GridPrintout, AbortedJobDrawsNothingMoreStartsNoPageAndIsNotEnded) {
    auto& failing = install(std::make_unique<FailingPrinter>(FailingPrinter::Mode::Abort, 5));
    TStringGrid grid;
    fill(grid, 60);
    PrintGrid(grid, QStringLiteral("Results"), 12, range(1, 59), {0, 1, 2});
    EXPECT_EQ(failing.items.size(), 1 + 5); // the title and five cells
    EXPECT_EQ(failing.pages, 1);
    EXPECT_EQ(failing.jobsEnded, 0);
    EXPECT_FALSE(failing.printing());

    failing.after = -1;
    PrintGrid(grid, QStringLiteral("Again"), 12, {1}, {0});
    EXPECT_EQ(failing.texts(), (QStringList{"Again", "H0", "r1c0"}));
    EXPECT_EQ(failing.jobsEnded, 1);
}

TEST_F(GridPrintout, FailureInTheMiddleDropsTheJobSoTheNextPrintoutCanBegin) {
    auto& failing = install(std::make_unique<FailingPrinter>(FailingPrinter::Mode::Throw, 2));
    TStringGrid grid;
    fill(grid, 10);
    try {
        PrintGrid(grid, QStringLiteral("Results"), 12, range(1, 9), {0, 1, 2});
        FAIL() << "the printer's error did not reach the caller";
    } catch (const vxg::Error& e) {
        EXPECT_EQ(e.text(), "Printer out of paper");
    }
    EXPECT_FALSE(failing.printing());
    EXPECT_EQ(failing.jobsAborted, 1);
    EXPECT_FALSE(failing.bold()); // failed in the bold header: the bold does not stick

    failing.after = -1;
    PrintGrid(grid, QStringLiteral("Again"), 12, {1}, {0});
    EXPECT_EQ(failing.jobsEnded, 1);
    EXPECT_FALSE(failing.items.isEmpty());
}

TEST_F(GridPrintout, PrinterThatCannotBeginReportsItsError) {
    prn->failNextBegin(QStringLiteral("No printer"));
    TStringGrid grid;
    fill(grid, 3);
    try {
        PrintGrid(grid, QStringLiteral("Results"), 12, {1, 2}, {0});
        FAIL() << "no error";
    } catch (const vxg::Error& e) {
        EXPECT_EQ(e.text(), "No printer");
    }
    EXPECT_EQ(prn->jobsAborted, 0);
    PrintGrid(grid, QStringLiteral("Results"), 12, {1, 2}, {0});
    EXPECT_EQ(prn->jobsEnded, 1);
}

// --- PrintLines ---

TEST_F(GridPrintout, PrintLinesPrintsTheTitleTwoPointsLargerThenTheLines) {
    PrintLines({QStringLiteral("one"), QStringLiteral(" "), QStringLiteral("two")}, QStringLiteral("Title"),
               10);
    ASSERT_EQ(prn->items.size(), 4);
    const auto& items = prn->items;
    EXPECT_EQ(items[0].text, "Title");
    EXPECT_EQ(items[0].fontSize, 12);
    EXPECT_FALSE(items[0].bold);
    EXPECT_EQ(items[0].x, 0);
    EXPECT_EQ(items[0].y, 0);
    // The title line is 12 * 100 / 72 = 16 + 2 high, a size-10 line 13 + 2.
    EXPECT_EQ(items[1].text, "one");
    EXPECT_EQ(items[1].fontSize, 10);
    EXPECT_EQ(items[1].y, 18);
    EXPECT_EQ(items[2].text, " ");
    EXPECT_EQ(items[2].y, 33);
    EXPECT_EQ(items[3].y, 48);
    EXPECT_EQ(prn->fontSize(), 10);
    EXPECT_EQ(prn->jobs, 1);
    EXPECT_EQ(prn->jobsEnded, 1);
}

TEST_F(GridPrintout, PrintLinesWithoutTitleStartsWithTheFirstLine) {
    PrintLines({QStringLiteral("only")}, {}, 8);
    ASSERT_EQ(prn->items.size(), 1);
    EXPECT_EQ(prn->items[0].text, "only");
    EXPECT_EQ(prn->items[0].fontSize, 8);
    EXPECT_EQ(prn->items[0].y, 0);

    PrintLines({}, {}, 10);
    EXPECT_TRUE(prn->items.isEmpty());
    EXPECT_EQ(prn->jobsEnded, 2);
}

TEST_F(GridPrintout, PrintLinesClosesTheDeviceWhenWritingFails) {
    class ThrowingOut : public RecordingPrinter {
    public:
        ThrowingOut() : RecordingPrinter(1000, 1000, 100, 10) {}
        void textOut(int x, int y, const QString& text) override {
            if (text == "bad")
                throw vxg::Error(QStringLiteral("Write error"));
            RecordingPrinter::textOut(x, y, text);
        }
    };
    auto& dev = install(std::make_unique<ThrowingOut>());
    EXPECT_THROW(PrintLines({QStringLiteral("good"), QStringLiteral("bad")}, {}, 10), vxg::Error);
    EXPECT_FALSE(dev.printing());
    PrintLines({QStringLiteral("good")}, {}, 10);
    EXPECT_EQ(dev.texts(), QStringList{"good"});
    EXPECT_EQ(dev.jobs, 2);
}

} // namespace
