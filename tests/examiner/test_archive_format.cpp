// The archive format without a window: bytes written against bytes laid out by hand, read
// back, and every kind of malformed file refused with what is wrong and where.
#include "ErrorText.h"
#include "LanguageTest.h"
#include "ResultsArchive.h"

#include <gtest/gtest.h>

namespace {

TClient Student(const QString& name, int mark, const QList<TCardAnswer>& answers) {
    TClient c;
    c.Name = name;
    c.HostAddr = QStringLiteral("10.0.0.1"); // never stored
    c.Mark = mark;
    c.Answers = answers;
    return c;
}

void ExpectSameStudents(const TNet& got, const TNet& want) {
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype k = 0; k < want.size(); ++k) {
        EXPECT_EQ(got[k].Name, want[k].Name);
        EXPECT_EQ(got[k].Mark, want[k].Mark);
        EXPECT_EQ(got[k].Answers, want[k].Answers);
        EXPECT_TRUE(got[k].HostAddr.isEmpty());
    }
}

class ArchiveFormatTest : public LanguageTest {
protected:
    void SetUp() override { useLanguage(200); }
};

TEST_F(ArchiveFormatTest, WrittenBytesFollowTheLayoutAndReadBackWhole) {
    const QString anna = QString::fromUtf8("Иванова Анна");
    const QString petr = QString::fromUtf8("Пётр Сидоров");
    const TNet students{
        Student(anna, 4, {{4, "2", "+"}, {0, "1", "-"}, {9, "", ""}}),
        Student(petr, 0, {{7, " ", ""}, {1, "3", "+"}, {2, "4", "-"}}),
    };
    const QByteArray want =
        QByteArray("/home/teacher/Physics.vxg\r\n") + "Exam\r\n" + "2\r\n" +
        "\xC8\xE2\xE0\xED\xEE\xE2\xE0\x20\xC0\xED\xED\xE0\r\n" + "4\r\n" + "4#2#+#$0#1#-#$9###$\r\n" +
        "\xCF\xB8\xF2\xF0\x20\xD1\xE8\xE4\xEE\xF0\xEE\xE2\r\n" + "0\r\n" + "7# ##$1#3#+#$2#4#-#$\r\n";

    const QByteArray written = ResultsArchive::Write("/home/teacher/Physics.vxg", "Exam", students, 3);
    EXPECT_EQ(written, want);

    const ResultsArchive read = ResultsArchive::Parse(want);
    EXPECT_EQ(read.Header().TopicPath, "/home/teacher/Physics.vxg");
    EXPECT_EQ(read.Header().OptionsSetName, "Exam");
    EXPECT_EQ(read.Header().CountText, "2");
    ExpectSameStudents(read.Students(3), students);
}

TEST_F(ArchiveFormatTest, AHundredQuestionLineIsWrittenAndReadWhole) {
    QList<TCardAnswer> card;
    QByteArray line;
    for (int i = 0; i < 100; ++i) {
        const int no = 1000 + i;
        const QString given = QString::number(i % 4 + 1);
        const QString check = i % 3 ? "+" : "-";
        card.append({no, given, check});
        line += QByteArray::number(no) + "#" + given.toLatin1() + "#" + check.toLatin1() + "#$";
    }
    ASSERT_GT(line.size(), 255);
    const TNet students{Student("Long", 12, card)};
    const QByteArray want = "t.vxg\r\nBig\r\n1\r\nLong\r\n12\r\n" + line + "\r\n";
    EXPECT_EQ(ResultsArchive::Write("t.vxg", "Big", students, 100), want);
    ExpectSameStudents(ResultsArchive::Parse(want).Students(100), students);
}

// A card shorter than N (registered after the give-out, N raised afterwards) is never read
// past; texts the format cannot carry do not break its lines or pieces.
TEST_F(ArchiveFormatTest, PositionsBeyondTheCardAndUnsafeTextsStayReadable) {
    const TNet students{Student("A\r\nB", 3, {{0, "1", "+"}, {1, "#", "-"}}), Student("Late", 0, {})};
    const QByteArray bytes = ResultsArchive::Write("t\nx.vxg", "S", students, 4);
    EXPECT_EQ(bytes, "t x.vxg\r\nS\r\n2\r\nA  B\r\n3\r\n0#1#+#$1#?#-#$-1###$-1###$\r\nLate\r\n0\r\n"
                     "-1###$-1###$-1###$-1###$\r\n");
    const TNet read = ResultsArchive::Parse(bytes).Students(4);
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0].Answers[3], (TCardAnswer{-1, "", ""}));
    EXPECT_EQ(read[1].Answers.size(), 4);
}

// The set on line 2 may have changed since: pieces after its N are ignored, missing ones read
// as not answered.
TEST_F(ArchiveFormatTest, ReadWithFewerOrMoreQuestionsPerCard) {
    const QByteArray bytes = "t.vxg\r\nS\r\n1\r\nA\r\n5\r\n0#1#+#$1#2#-#$2#3#+#$3#4#+#$4# ##$\r\n";
    const ResultsArchive archive = ResultsArchive::Parse(bytes);
    const TNet fewer = archive.Students(3);
    EXPECT_EQ(fewer[0].Answers, (QList<TCardAnswer>{{0, "1", "+"}, {1, "2", "-"}, {2, "3", "+"}}));
    const TNet more = archive.Students(7);
    ASSERT_EQ(more[0].Answers.size(), 7);
    EXPECT_EQ(more[0].Answers[4], (TCardAnswer{4, " ", ""}));
    EXPECT_EQ(more[0].Answers[5], (TCardAnswer{-1, "", ""}));
    EXPECT_EQ(more[0].Answers[6], (TCardAnswer{-1, "", ""}));
}

TEST_F(ArchiveFormatTest, MalformedFilesAreRefusedWithWhatAndWhere) {
    const QByteArray head = "t.vxg\r\nS\r\n";
    struct Case {
        QByteArray bytes;
        QString error;
    };
    const QList<Case> cases{
        {"", "the file ends before line 1"},
        {"t.vxg\r\nS\r\n", "the file ends before line 3"},
        {head + "x\r\n", "line 3: the number of students <x> is not a whole number of 0 or more"},
        {head + "-1\r\n", "line 3: the number of students <-1> is not a whole number of 0 or more"},
        {head + "\r\n", "line 3: the number of students <> is not a whole number of 0 or more"},
        {head + "99999999999\r\n",
         "line 3: the number of students <99999999999> is not a whole number of 0 or more"},
        // A huge count is measured against the lines there before anything is made of it.
        {head + "2000000000\r\n", "line 3: the number of students 2000000000 is more than 10000"},
        {head + "10000\r\n",
         "the file ends before line 4: it holds 0 of the 10000 students that line 3 announces"},
        {head + "2\r\nA\r\n1\r\n0#1#+#$\r\nB\r\n2\r\n",
         "the file ends before line 9: it holds 1 of the 2 students that line 3 announces"},
        {head + "1\r\nA\r\nfive\r\n0#1#+#$\r\n", "line 5: the grade <five> is not a number from 0 to 12"},
        {head + "1\r\nA\r\n13\r\n0#1#+#$\r\n", "line 5: the grade <13> is not a number from 0 to 12"},
        {head + "1\r\nA\r\n\r\n0#1#+#$\r\n", "line 5: the grade <> is not a number from 0 to 12"},
        {head + "1\r\nA\r\n1\r\nx#1#+#$\r\n",
         "line 6: answer 1 <x#1#+#> is not of the form number#answer#mark#"},
        {head + "1\r\nA\r\n1\r\n0#1#+#$#1#+#$\r\n",
         "line 6: answer 2 <#1#+#> is not of the form number#answer#mark#"},
        {head + "1\r\nA\r\n1\r\n0#1#+$\r\n",
         "line 6: answer 1 <0#1#+> is not of the form number#answer#mark#"},
        {head + "1\r\nA\r\n1\r\n0#12#+#$\r\n",
         "line 6: answer 1 <0#12#+#> is not of the form number#answer#mark#"},
        {head + "1\r\nA\r\n1\r\n0#1#*#$\r\n",
         "line 6: answer 1 <0#1#*#> is not of the form number#answer#mark#"},
        {head + "1\r\nA\r\n1\r\n-2#1#+#$\r\n",
         "line 6: answer 1 <-2#1#+#> is not of the form number#answer#mark#"},
        {head + "1\r\nA\r\n1\r\n0#1#+#$rest\r\n",
         "line 6: answer 2 <rest> is not of the form number#answer#mark#"},
        // Lines of millions of separators are refused at their first piece.
        {head + "1\r\nA\r\n1\r\n" + QByteArray(3'000'000, '$'),
         "line 6: answer 1 <> is not of the form number#answer#mark#"},
        {head + "1\r\nA\r\n1\r\n" + QByteArray(3'000'000, '#') + "$",
         "line 6: answer 1 <" + QString(40, '#') + "...> is not of the form number#answer#mark#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        EXPECT_EQ(ErrorText([&] { ResultsArchive::Parse(c.bytes).Students(3); }), c.error);
    }
    EXPECT_EQ(ErrorText([] { ResultsArchive::Parse(QByteArray(ResultsArchive::kMaxFileSize + 1, 'x')); }),
              "the file is larger than 4 MB");
}

} // namespace
