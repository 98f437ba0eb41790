#include "Cp1251.h"

#include <QSet>
#include <gtest/gtest.h>

namespace cp = vxg::cp1251;

TEST(Cp1251, EveryByteRoundTripsThroughItsOwnCharacter) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = cp::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(QSet<QChar>(text.begin(), text.end()).size(), 256); // no two bytes share a character
    EXPECT_EQ(cp::encode(text), all);
}

TEST(Cp1251, KnownCharactersSitWhereTheCodePageHasThem) {
    EXPECT_EQ(cp::decode(QByteArray("\xC0\xDF\xE0\xFF")), QString::fromUtf8("АЯая"));
    EXPECT_EQ(cp::decode(QByteArray("\xA8\xB8\xB9\x88\x96")), QString::fromUtf8("Ёё№€–"));
    EXPECT_EQ(cp::decode(QByteArray("Plain ASCII ~")), "Plain ASCII ~");
    EXPECT_EQ(cp::encode(QString::fromUtf8("Привет, мир! №5")),
              QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xB9"
                         "5"));
}

TEST(Cp1251, TheUndefinedByteKeepsItsOwnCharacter) {
    EXPECT_EQ(cp::decode(QByteArray("a\x98z")), QString("a") + QChar(0x0098) + "z");
    EXPECT_EQ(cp::encode(QString(QChar(0x0098))), "\x98");
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    EXPECT_EQ(cp::encode(QString::fromUtf8("a中b")), "a?b");
    EXPECT_EQ(cp::encode(QString::fromUtf8("x😀y")), "x?y"); // a surrogate pair is one character
    EXPECT_EQ(cp::encode(QString::fromUtf8("äßĀ")), "???");
    EXPECT_EQ(cp::encode(QString(QChar(0xD800)) + "k"), "?k"); // a lone surrogate
    EXPECT_EQ(cp::encode(QString(QChar(0xFFFD))), "?");
}

TEST(Cp1251, ZeroBytesAndLengthsAreKept) {
    const char raw[] = {'a', '\0', '\xE9', 'b'};
    const QString text = cp::decode(raw, 4);
    ASSERT_EQ(text.size(), 4);
    EXPECT_EQ(text[1], QChar(0));
    EXPECT_EQ(cp::encode(text), QByteArray(raw, 4));
    EXPECT_TRUE(cp::decode(nullptr, 0).isEmpty());
    EXPECT_TRUE(cp::encode(QString()).isEmpty());
}
