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

class ArchiveFormatTest : public LanguageTest {
protected:
    void SetUp() override { useLanguage(200); }
};

// Cyrillic names in code page 1251, and a card of 100 (a line far past 255 characters) that
// begins with the pieces of the example line. A card shorter than N (a student registered
// after the give-out, or N raised afterwards) is never read past: the rest read as not answered.
TEST_F(ArchiveFormatTest, WrittenBytesFollowTheLayoutAndReadBackWhole) {
    QList<TCardAnswer> card{{4, "2", "+"}, {0, "1", "-"}, {9, "", ""}};
    QByteArray line = "4#2#+#$0#1#-#$9###$";
    for (int i = 3; i < 100; ++i) {
        card.append({100 + i, QString::number(i % 4 + 1), i % 3 ? "+" : "-"});
        line += QByteArray::number(100 + i) + "#" + QByteArray::number(i % 4 + 1) + (i % 3 ? "#+#$" : "#-#$");
    }
    const TNet students{Student(QString::fromUtf8("Иванова Анна"), 4, card),
                        Student(QString::fromUtf8("Пётр Сидоров"), 0, {{7, " ", ""}, {1, "3", "+"}})};
    const QByteArray want = "/home/teacher/Physics.vxg\r\nExam\r\n2\r\n"
                            "\xC8\xE2\xE0\xED\xEE\xE2\xE0\x20\xC0\xED\xED\xE0\r\n4\r\n" +
                            line +
                            "\r\n\xCF\xB8\xF2\xF0\x20\xD1\xE8\xE4\xEE\xF0\xEE\xE2\r\n0\r\n7# ##$1#3#+#$" +
                            QByteArray("-1###$").repeated(98) + "\r\n";

    EXPECT_EQ(ResultsArchive::Write("/home/teacher/Physics.vxg", "Exam", students, 100), want);

    const ResultsArchive read = ResultsArchive::Parse(want);
    EXPECT_EQ(read.Header().TopicPath, "/home/teacher/Physics.vxg");
    EXPECT_EQ(read.Header().OptionsSetName, "Exam");
    const TNet got = read.Students(100);
    ASSERT_EQ(got.size(), 2);
    for (int k : {0, 1}) {
        EXPECT_EQ(got[k].Name, students[k].Name);
        EXPECT_EQ(got[k].Mark, students[k].Mark);
        EXPECT_TRUE(got[k].HostAddr.isEmpty());
    }
    EXPECT_EQ(got[0].Answers, card);
    EXPECT_EQ(got[1].Answers.mid(0, 2), students[1].Answers);
    EXPECT_EQ(got[1].Answers.size(), 100);
    EXPECT_EQ(got[1].Answers[99], (TCardAnswer{-1, "", ""}));
}

// Texts the format cannot carry break neither its lines nor its pieces.
TEST_F(ArchiveFormatTest, UnsafeTextsStayReadable) {
    const TNet students{Student("A\r\nB", 3, {{0, "1", "+"}, {1, "#", "-"}})};
    const QByteArray bytes = ResultsArchive::Write("t\nx.vxg", "S", students, 2);
    EXPECT_EQ(bytes, "t x.vxg\r\nS\r\n1\r\nA  B\r\n3\r\n0#1#+#$1#?#-#$\r\n");
    EXPECT_EQ(ResultsArchive::Parse(bytes).Students(2).size(), 1);
}

TEST_F(ArchiveFormatTest, MalformedFilesAreRefusedWithWhatAndWhere) {
    const QByteArray head = "t.vxg\r\nS\r\n";
    const QByteArray one = head + "1\r\nA\r\n";
    const QString count = "line 3: the number of students <%1> is not a whole number of 0 or more";
    const QString grade = "line 5: the grade <%1> is not a number from 0 to 12";
    const QString piece = "line 6: answer %1 <%2> is not of the form number#answer#mark#";
    const QList<std::pair<QByteArray, QString>> cases{
        {"", "the file ends before line 1"},
        {head, "the file ends before line 3"},
        {head + "x\r\n", count.arg("x")},
        {QByteArray(4097, 'p') + "\r\nS\r\n0\r\n", "line 1 is longer than 4096 characters"},
        {"t.vxg\r\n" + QByteArray(4097, 's') + "\r\n0\r\n", "line 2 is longer than 4096 characters"},
        {head + "-1\r\n", count.arg("-1")},
        {head + "99999999999\r\n", count.arg("99999999999")},
        // A huge count is measured against the lines there before anything is made of it.
        {head + "2000000000\r\n", "line 3: the number of students 2000000000 is more than 10000"},
        {head + "10000\r\n",
         "the file ends before line 4: it holds 0 of the 10000 students that line 3 announces"},
        {head + "2\r\nA\r\n1\r\n0#1#+#$\r\nB\r\n2\r\n",
         "the file ends before line 9: it holds 1 of the 2 students that line 3 announces"},
        {one + "five\r\n0#1#+#$\r\n", grade.arg("five")},
        {one + "13\r\n0#1#+#$\r\n", grade.arg("13")},
        {one + "1\r\nx#1#+#$\r\n", piece.arg(1).arg("x#1#+#")},
        {one + "1\r\n0#1#+#$#1#+#$\r\n", piece.arg(2).arg("#1#+#")},
        {one + "1\r\n0#12#+#$\r\n", piece.arg(1).arg("0#12#+#")},
        {one + "1\r\n-2#1#+#$\r\n", piece.arg(1).arg("-2#1#+#")},
        {one + "1\r\n0#1#+#$rest\r\n", piece.arg(2).arg("rest")},
        // Lines of millions of separators are refused at their first piece.
        {one + "1\r\n" + QByteArray(3'000'000, '$'), piece.arg(1).arg("")},
        {one + "1\r\n" + QByteArray(3'000'000, '#') + "$", piece.arg(1).arg(QString(40, '#') + "...")},
    };
    for (const auto& [bytes, error] : cases) {
        SCOPED_TRACE(bytes.left(80).toStdString());
        EXPECT_EQ(ErrorText([&] { ResultsArchive::Parse(bytes).Students(3); }), error);
    }
    EXPECT_EQ(ErrorText([] { ResultsArchive::Parse(QByteArray(ResultsArchive::kMaxFileSize + 1, 'x')); }),
              "the file is larger than 4 MB");
}

// Only the first N pieces of an answer line are read; a name no station could register refuses
// the file at its line, whatever N.
TEST_F(ArchiveFormatTest, PiecesAfterTheNthAreIgnoredAndOverlongNamesRefused) {
    const QByteArray head = "t.vxg\r\nS\r\n2\r\nA\r\n1\r\n0#1#+#$\r\n";
    for (const QByteArray& line : {QByteArray("3#2#-#$4#1#+#$"), QByteArray("3#2#-#$4#1#+#$5#x#?#$junk")}) {
        const TNet got = ResultsArchive::Parse(head + QByteArray(64, 'B') + "\r\n2\r\n" + line).Students(2);
        EXPECT_EQ(got.at(1).Answers, (QList<TCardAnswer>{{3, "2", "-"}, {4, "1", "+"}})) << line.constData();
    }
    EXPECT_EQ(ErrorText([&] { ResultsArchive::Parse(head + QByteArray(65, 'B') + "\r\n2\r\n\r\n"); }),
              "line 7: the student's name is longer than 64 characters");
}

} // namespace
