// The language table: which text lands in which entry, for either language.
#include "Globals.h"
#include "LanguageTest.h"

#include <gtest/gtest.h>

namespace {

using LanguageTable = LanguageTest;

TEST_F(LanguageTable, RussianTakesIdsAsTheyAre) {
    useLanguage(0);
    ASSERT_EQ(LangStrings.size(), 200);
    EXPECT_EQ(lang(0), "Rus");
    EXPECT_EQ(lang(137), "Сетевая настройка выполнена");
    EXPECT_EQ(lang(137), LangTableText(137));
    EXPECT_EQ(lang(1), "Русский текст один");
    EXPECT_EQ(lang(199), "Последний");
}

TEST_F(LanguageTable, EnglishTakesIdsTwoHundredHigher) {
    useLanguage(200);
    ASSERT_EQ(LangStrings.size(), 200);
    EXPECT_EQ(lang(0), "Eng");
    EXPECT_EQ(lang(137), "Network adaptation is done");
    EXPECT_EQ(lang(137), LangTableText(337));
    EXPECT_EQ(lang(199), "Last one");
}

TEST_F(LanguageTable, MissingOrEmptyTextReadsAsDashes) {
    for (quint16 offset : {quint16(0), quint16(200)}) {
        useLanguage(offset);
        ASSERT_EQ(LangStrings.size(), 200);
        EXPECT_EQ(lang(2), "-----") << "id with no line in the table";
        EXPECT_EQ(lang(150), "-----") << "id whose text is empty";
    }
    EXPECT_TRUE(LangTableText(150).isEmpty());
    EXPECT_TRUE(LangTableText(2).isEmpty());
}

TEST_F(LanguageTable, LongTextIsCutTo255Characters) {
    useLanguage(0);
    const QString full = LangTableText(160);
    ASSERT_GT(full.size(), 255);
    EXPECT_EQ(lang(160).size(), 255);
    EXPECT_EQ(lang(160), full.left(255));
    EXPECT_TRUE(lang(160).startsWith("Длинный текст"));
}

TEST_F(LanguageTable, EscapesAndBlanksAreKept) {
    EXPECT_EQ(LangTableText(161), "Первая строка\nвторая строка");
    EXPECT_EQ(LangTableText(362), "Path C:\\VXG\\Topic");
    // Leading and trailing blanks belong to the texts that the printouts glue together.
    EXPECT_EQ(LangTableText(296), " points --");
    EXPECT_EQ(LangTableText(311), "Time limit: ");
}

TEST_F(LanguageTable, ReloadReplacesEveryEntry) {
    useLanguage(0);
    useLanguage(200);
    ASSERT_EQ(LangStrings.size(), 200);
    EXPECT_EQ(lang(0), "Eng");
    EXPECT_EQ(lang(70), "Version 1.0.1");
    useLanguage(0);
    ASSERT_EQ(LangStrings.size(), 200);
    EXPECT_EQ(lang(70), "Версия 1.0.1");
}

TEST_F(LanguageTable, OffsetOutsideTheModelIsEnglish) {
    useLanguage(7);
    ASSERT_EQ(LangStrings.size(), 200);
    EXPECT_EQ(lang(0), "Eng");
    EXPECT_EQ(lang(137), "Network adaptation is done");
}

TEST_F(LanguageTable, LangOutOfRangeOrUnloadedReadsAsDashes) {
    LangStrings.clear();
    EXPECT_EQ(lang(1), "-----");
    useLanguage(200);
    EXPECT_EQ(lang(-1), "-----");
    EXPECT_EQ(lang(200), "-----");
}

} // namespace
