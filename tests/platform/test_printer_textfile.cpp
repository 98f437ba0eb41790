// The printer's text-file device: where each piece of text lands, line by line and page by page.
// The recording printer used here: 200 x 300 dots, 72 dpi, characters 10 dots wide, so a text
// at size 10 is 10 dots high and a line with text on it 12 dots.
#include "Error.h"
#include "PrinterDevice.h"
#include "RecordingPrinter.h"

#include <gtest/gtest.h>

using vxg::PrinterTextFile;
using vxg::RecordingPrinter;

namespace {

class TextFileDevice : public ::testing::Test {
protected:
    RecordingPrinter prn{200, 300, 72, 10};

    struct Spot {
        int page, x, y;
        QString text;
        friend bool operator==(const Spot&, const Spot&) = default;
        friend std::ostream& operator<<(std::ostream& os, const Spot& s) {
            return os << "(page " << s.page << ", " << s.x << ", " << s.y << ", \"" << s.text.toStdString()
                      << "\")";
        }
    };
    std::vector<Spot> spots() const {
        std::vector<Spot> out;
        for (const auto& item : prn.items)
            out.push_back({item.page, item.x, item.y, item.text});
        return out;
    }
};

TEST_F(TextFileDevice, LinesGoDownByTallestTextPlusTwoOrByCharHeightWhenEmpty) {
    PrinterTextFile f(prn);
    f.open();
    f.writeLine("ab");
    f.writeLine("");  // nothing drawn: the font's character height, 10
    f.writeLine(" "); // a blank is drawn: a full line, 12
    f.write("a");
    prn.setFontSize(20); // 20 dots high
    f.write("b");
    f.writeLine("");
    prn.setFontSize(10);
    f.writeLine("c");
    f.close();

    const std::vector<Spot> expected{
        {0, 0, 0, "ab"}, {0, 0, 22, " "}, {0, 0, 34, "a"}, {0, 10, 34, "b"}, {0, 0, 56, "c"},
    };
    EXPECT_EQ(spots(), expected);
    EXPECT_EQ(prn.jobs, 1);
    EXPECT_EQ(prn.jobsEnded, 1);
}

TEST_F(TextFileDevice, WideTextIsCutAfterTheLastCharacterThatFitsAndGoesOnAtTheLeftEdge) {
    PrinterTextFile f(prn);
    f.open();
    // 20 characters fit on a line.
    const QString alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRS"; // 45 characters
    f.writeLine(alphabet);
    f.write("xyz");
    f.writeLine("0123456789012345678901"); // 17 more fit after "xyz"
    f.writeLine("01234567890123456789");   // exactly the line width: one line
    f.close();

    const std::vector<Spot> expected{
        {0, 0, 0, alphabet.mid(0, 20)},     {0, 0, 12, alphabet.mid(20, 20)},
        {0, 0, 24, alphabet.mid(40)},       {0, 0, 36, "xyz"},
        {0, 30, 36, "01234567890123456"},   {0, 0, 48, "78901"},
        {0, 0, 60, "01234567890123456789"},
    };
    EXPECT_EQ(spots(), expected);
}

TEST_F(TextFileDevice, NewPageWhenThePositionPassesPageHeightLessTwoLines) {
    PrinterTextFile f(prn);
    f.open();
    // Lines of 12 dots: after line 24 the position is 288 > 300 - 24, so line 25 opens page 2.
    for (int i = 1; i <= 30; ++i)
        f.writeLine(QString::number(i));
    f.close();

    ASSERT_EQ(prn.items.size(), 30);
    EXPECT_EQ(spots()[23], (Spot{0, 0, 276, "24"}));
    EXPECT_EQ(spots()[24], (Spot{1, 0, 0, "25"}));
    EXPECT_EQ(spots()[29], (Spot{1, 0, 60, "30"}));
    EXPECT_EQ(prn.pages, 2);
}

TEST_F(TextFileDevice, PageFilledToTheBottomDoesNotAddABlankSheet) {
    PrinterTextFile f(prn);
    f.open();
    for (int i = 1; i <= 24; ++i)
        f.writeLine("x");
    f.writeLine(""); // empty lines after the break print nothing
    f.close();
    EXPECT_EQ(prn.pages, 1);
    EXPECT_EQ(prn.jobsEnded, 1);
}

TEST_F(TextFileDevice, EmptyLinesThatFillAPageStillMoveTheTextOn) {
    PrinterTextFile f(prn);
    f.open();
    f.writeLine("first");
    // Empty lines are 10 dots: they run over page 1 and page 2 before the text comes.
    for (int i = 0; i < 60; ++i)
        f.writeLine("");
    f.writeLine("last");
    f.close();
    ASSERT_EQ(prn.items.size(), 2);
    EXPECT_EQ(prn.items[0].page, 0);
    EXPECT_EQ(prn.items[1].page, 2);
    EXPECT_EQ(prn.pages, 3);
}

TEST_F(TextFileDevice, TabFormFeedAndCarriageReturn) {
    PrinterTextFile f(prn);
    f.open();
    f.writeLine("ab\tc\td");    // stops every 8 average widths: 80 dots
    f.writeLine("\tx");         // from the left edge to the first stop
    f.writeLine("abcdefgh\ty"); // standing on a stop: on to the next one
    f.writeLine("ab\rcd");      // the text so far is drawn, the line goes on
    f.writeLine("p\fq");        // q begins page 2 at its top-left corner
    f.close();

    const std::vector<Spot> expected{
        {0, 0, 0, "ab"},   {0, 80, 0, "c"},  {0, 160, 0, "d"},  {0, 80, 12, "x"}, {0, 0, 24, "abcdefgh"},
        {0, 160, 24, "y"}, {0, 0, 36, "ab"}, {0, 20, 36, "cd"}, {0, 0, 48, "p"},  {1, 0, 0, "q"},
    };
    EXPECT_EQ(spots(), expected);
    EXPECT_EQ(prn.pages, 2);
}

TEST_F(TextFileDevice, TextAfterATabBeyondTheRightEdgeGoesToTheNextLine) {
    PrinterTextFile f(prn);
    f.open();
    f.writeLine("abcdefghijklmnopq\tz"); // the tab lands at 240, beyond the 200-dot line
    f.close();
    const std::vector<Spot> expected{{0, 0, 0, "abcdefghijklmnopq"}, {0, 0, 12, "z"}};
    EXPECT_EQ(spots(), expected);
}

TEST_F(TextFileDevice, CharacterWiderThanThePageIsPrintedAloneInsteadOfLoopingForever) {
    RecordingPrinter narrow(5, 300, 72, 10);
    PrinterTextFile f(narrow);
    f.open();
    f.writeLine("abc");
    f.close();
    ASSERT_EQ(narrow.items.size(), 3);
    EXPECT_EQ(narrow.items[0].text, "a");
    EXPECT_EQ(narrow.items[1].y, 12);
    EXPECT_EQ(narrow.items[2].text, "c");
    EXPECT_EQ(narrow.items[2].y, 24);
}

TEST_F(TextFileDevice, ClosingEndsTheJobAndTheDestructorClosesAnOpenDevice) {
    {
        PrinterTextFile f(prn);
        f.open();
        EXPECT_TRUE(f.isOpen());
        EXPECT_TRUE(prn.printing());
        f.writeLine("x");
    }
    EXPECT_FALSE(prn.printing());
    EXPECT_EQ(prn.jobsEnded, 1);

    PrinterTextFile again(prn);
    again.open();
    again.close();
    again.close(); // a second close does nothing
    EXPECT_EQ(prn.jobs, 2);
    EXPECT_EQ(prn.jobsEnded, 2);
}

TEST_F(TextFileDevice, FailureToBeginLeavesTheDeviceClosedAndUsable) {
    prn.failNextBegin("No printer");
    PrinterTextFile f(prn);
    try {
        f.open();
        FAIL() << "open did not raise the printer's error";
    } catch (const vxg::Error& e) {
        EXPECT_EQ(e.text(), "No printer");
    }
    EXPECT_FALSE(f.isOpen());
    f.writeLine("ignored");
    f.close();
    EXPECT_EQ(prn.jobsEnded, 0);

    f.open();
    f.writeLine("printed");
    f.close();
    EXPECT_EQ(prn.texts(), QStringList{"printed"});
    EXPECT_EQ(prn.jobsEnded, 1);
}

TEST_F(TextFileDevice, AbortedJobDrawsNothingMoreAndIsNotEndedAgain) {
    PrinterTextFile f(prn);
    f.open();
    f.writeLine("before");
    prn.setAborted(true);
    for (int i = 0; i < 40; ++i) // would need a second page
        f.writeLine("after");
    f.write("\f");
    f.close();
    EXPECT_EQ(prn.texts(), QStringList{"before"});
    EXPECT_EQ(prn.pages, 1);
    EXPECT_EQ(prn.jobsEnded, 0);

    PrinterTextFile next(prn);
    next.open();
    next.writeLine("next job");
    next.close();
    EXPECT_EQ(prn.texts(), QStringList{"next job"});
    EXPECT_EQ(prn.jobsEnded, 1);
}

TEST_F(TextFileDevice, SecondJobWhileOneIsInProgressIsRefused) {
    PrinterTextFile first(prn);
    first.open();
    PrinterTextFile second(prn);
    try {
        second.open();
        FAIL() << "a second job began";
    } catch (const vxg::Error& e) {
        EXPECT_EQ(e.text(), "Printing in progress");
    }
    EXPECT_FALSE(second.isOpen());
    second.close(); // must not end the first job
    EXPECT_TRUE(prn.printing());
    first.close();
    EXPECT_EQ(prn.jobsEnded, 1);
}

} // namespace
