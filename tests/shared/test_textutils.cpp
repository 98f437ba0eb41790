// Cutting message texts, archive lines and addresses into pieces.
#include "MyTextUtils.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(NthField, DottedAddressWithTrailingDot) {
    const QString text = "192.168.10.7.";
    EXPECT_EQ(NthField(text, '.', 1), "192");
    EXPECT_EQ(NthField(text, '.', 2), "168");
    EXPECT_EQ(NthField(text, '.', 3), "10");
    EXPECT_EQ(NthField(text, '.', 4), "7");
    EXPECT_EQ(NthField(text, '.', 5), "");
    EXPECT_EQ(NthField(text, '.', 6), "");
    EXPECT_EQ(NthField(text, '.', 100), "");
}

TEST(NthField, EmptyPiecesAndMissingPieces) {
    EXPECT_EQ(NthField("a$$c", '$', 1), "a");
    EXPECT_EQ(NthField("a$$c", '$', 2), "");
    EXPECT_EQ(NthField("a$$c", '$', 3), "c");
    EXPECT_EQ(NthField("a$$c", '$', 4), "");
    EXPECT_EQ(NthField("$lead", '$', 1), "");
    EXPECT_EQ(NthField("$lead", '$', 2), "lead");

    EXPECT_EQ(NthField("alone", '$', 1), "alone");
    EXPECT_EQ(NthField("alone", '$', 2), "");
    EXPECT_EQ(NthField("a$b", '$', 0), "");
    EXPECT_EQ(NthField("a$b", '$', -3), "");

    EXPECT_EQ(NthField("", '$', 1), "");
    EXPECT_EQ(NthField("", '$', 2), "");
}

TEST(NthField, LongTextsAreCutLikeShortOnes) {
    // 512 characters: pieces of 99 characters and one of 12 after them.
    QString text;
    QStringList expected;
    for (int i = 0; i < 5; ++i) {
        const QString piece = QString(99, QChar(u'а' + i));
        expected << piece;
        text += piece + '$';
    }
    expected << QString(12, u'я');
    text += expected.last();
    ASSERT_EQ(text.size(), 512);
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(NthField(text, '$', k), expected[k - 1]) << "piece " << k;
    EXPECT_EQ(NthField(text, '$', 7), "");

    const QString exact256 = QString(255, 'x') + '$';
    EXPECT_EQ(NthField(exact256, '$', 1), QString(255, 'x'));
    EXPECT_EQ(NthField(exact256, '$', 2), "");
    EXPECT_EQ(NthField(exact256, '$', 3), "");

    // The first separator lies beyond position 255.
    const QString late = QString(300, 'q') + '$' + "tail$" + QString(211, 'z');
    ASSERT_EQ(late.size(), 517);
    EXPECT_EQ(NthField(late, '$', 1), QString(300, 'q'));
    EXPECT_EQ(NthField(late, '$', 2), "tail");
    EXPECT_EQ(NthField(late, '$', 3), QString(211, 'z'));
    EXPECT_EQ(NthField(late, '$', 4), "");
}

TEST(TextAfter, TakesEverythingAfterTheFirstMarker) {
    EXPECT_EQ(TextAfter("CurrentChecked!!", "CurrentChecked!!1$2$$4$"), "1$2$$4$");
    EXPECT_EQ(TextAfter("CurrentChecked!!", "xyzCurrentChecked!!3$CurrentChecked!!"), "3$CurrentChecked!!");
    EXPECT_EQ(TextAfter("CurrentChecked!!", "Ready!!"), "");
    EXPECT_EQ(TextAfter("CurrentChecked!!", "abcCurrentChecked!!"), "");
    EXPECT_EQ(TextAfter("", "abc"), "");
}

TEST(TextBefore, TakesEverythingBeforeTheFirstMarker) {
    EXPECT_EQ(TextBefore("!!", "Name!!rest!!more"), "Name");
    EXPECT_EQ(TextBefore("!!", "!!rest"), "");
    EXPECT_EQ(TextBefore("!!", "no marker here"), "no marker here");
    EXPECT_EQ(TextBefore("", "abc"), "abc");
}

TEST(PickStr, ChoosesByTheFlag) {
    EXPECT_EQ(PickStr(true, "Yes", "No"), "Yes");
    EXPECT_EQ(PickStr(false, "Yes", "No"), "No");
}

} // namespace
