// The question file: records laid out byte for byte, reading up to a partial record, safe writing.
#include "ErrorText.h"
#include "QuestionFile.h"

#include "Cp1251.h"
#include "Error.h"
#include "FileSizeLimit.h"
#include "QuestionFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/stat.h>

namespace {

using namespace testfiles;

class QuestionFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST(QuestionRecord, LayoutOfAnEncodedRecord) {
    TQuestion q;
    q.QuestionText = "Столица?";
    q.Answer1 = "Киев";
    q.Answer2 = "";
    q.Answer3 = "Minsk";
    q.Answer4 = "Москва";
    q.RightAnswer = "4";
    const QByteArray record = EncodeQuestionRecord(q);
    ASSERT_EQ(record.size(), 1282);
    EXPECT_EQ(record, RawQuestionRecord(q));

    EXPECT_EQ(quint8(record[0]), 8);
    EXPECT_EQ(record.mid(1, 8), vxg::cp1251::encode("Столица?"));
    EXPECT_EQ(quint8(record[1]), 0xD1) << "single-byte code page 1251, not UTF-8";
    EXPECT_EQ(quint8(record[512]), 0) << "empty Answer2";
    EXPECT_EQ(record.mid(769, 5), "Minsk");
    EXPECT_EQ(quint8(record[1280]), 1);
    EXPECT_EQ(record[1281], '4');
    EXPECT_EQ(record.mid(9, 247), QByteArray(247, '\0')) << "bytes after a text are zero";
}

TEST(QuestionRecord, TextsLongerThan255AreCut) {
    TQuestion q;
    q.QuestionText = QString(300, u'ж');
    q.RightAnswer = "12";
    const QByteArray record = EncodeQuestionRecord(q);
    ASSERT_EQ(record.size(), 1282);
    EXPECT_EQ(quint8(record[0]), 255);
    EXPECT_EQ(quint8(record[256]), 0) << "the cut text does not spill into Answer1";
    const TQuestion back = DecodeQuestionRecord(record.constData());
    EXPECT_EQ(back.QuestionText, QString(255, u'ж'));
    EXPECT_EQ(back.RightAnswer, "1");
}

TEST(QuestionRecord, RightAnswerLengthAboveOneReadsOneCharacter) {
    const QByteArray record = RawQuestionRecord({"Q", "a", "b", "c", "d"}, 7, '3');
    EXPECT_EQ(DecodeQuestionRecord(record.constData()).RightAnswer, "3");

    const QByteArray maxLength = RawQuestionRecord({"Q", "a", "b", "c", "d"}, 255, '2');
    EXPECT_EQ(DecodeQuestionRecord(maxLength.constData()).RightAnswer, "2");
}

TEST(QuestionRecord, UnsetRightAnswers) {
    const TQuestion empty = DecodeQuestionRecord(RawQuestionRecord({"Q"}, 0, '4').constData());
    EXPECT_EQ(empty.RightAnswer, "") << "the character is meaningless when the length is 0";
    const TQuestion zero = DecodeQuestionRecord(RawQuestionRecord({"Q"}, 1, '0').constData());
    EXPECT_EQ(zero.RightAnswer, "0");
}

TEST(QuestionRecord, TailBytesAfterATextAreIgnored) {
    QByteArray record = RawQuestionRecord({"abc", "x"}, 1, '1');
    // An earlier, longer text that was shortened leaves its tail behind.
    record.replace(4, 6, "LEFTOV");
    const TQuestion q = DecodeQuestionRecord(record.constData());
    EXPECT_EQ(q.QuestionText, "abc");
    EXPECT_EQ(q.Answer1, "x");
}

TEST(QuestionRecord, FullLengthTextsStayInsideTheirFields) {
    // Every field claims 255 bytes and the right answer claims 255 too: the reader takes each
    // field's own bytes and nothing beyond the record. Run under ASan this also proves that.
    QList<QByteArray> texts;
    for (char c : {'A', 'B', 'C', 'D', 'E'})
        texts << QByteArray(255, c);
    const QByteArray record = RawQuestionRecord(texts, 255, '4');
    auto heapCopy = std::make_unique<char[]>(1282);
    std::copy(record.cbegin(), record.cend(), heapCopy.get());
    const TQuestion q = DecodeQuestionRecord(heapCopy.get());
    EXPECT_EQ(q.QuestionText, QString(255, 'A'));
    EXPECT_EQ(q.Answer4, QString(255, 'E'));
    EXPECT_EQ(q.RightAnswer, "4");
}

TEST_F(QuestionFileTest, SizesOfWholeFiles) {
    WriteRawFile(path("empty.vxg"), QByteArray());
    EXPECT_TRUE(ReadQuestionFile(path("empty.vxg")).isEmpty());

    const TWorkQues three = WriteTopic(path("three.vxg"), 3);
    EXPECT_EQ(ReadQuestionFile(path("three.vxg")), three);
}

TEST_F(QuestionFileTest, TrailingPartialRecordFailsWholeFile) {
    for (int n : {0, 1, 3}) {
        QByteArray bytes;
        for (const TQuestion& q : MakeTopic(n))
            bytes += RawQuestionRecord(q);
        for (const QByteArray& extra : {QByteArray(1, 'x'), QByteArray(100, 'y'), QByteArray(1281, 'z')}) {
            const QString file = path(QString("partial-%1-%2.vxg").arg(n).arg(extra.size()));
            WriteRawFile(file, bytes + extra);
            bool returned = false;
            const QString error = ErrorText([&] {
                (void)ReadQuestionFile(file);
                returned = true;
            });
            EXPECT_EQ(error, "Read beyond end of file") << n << " records + " << extra.size();
            EXPECT_FALSE(returned);

            // The failure comes after every whole record before the partial one was read.
            TWorkQues readSoFar = MakeTopic(7);
            EXPECT_EQ(ErrorText([&] { ReadQuestionRecords(file, readSoFar); }), "Read beyond end of file");
            EXPECT_EQ(readSoFar, MakeTopic(n)) << n << " records + " << extra.size();
        }
    }
}

TEST_F(QuestionFileTest, RecordsAreReadIntoAnArrayThatIsEmptiedFirst) {
    const TWorkQues two = WriteTopic(path("two.vxg"), 2);
    TWorkQues questions = MakeTopic(5);
    ReadQuestionRecords(path("two.vxg"), questions);
    EXPECT_EQ(questions, two);

    EXPECT_EQ(ErrorText([&] { ReadQuestionRecords(path("missing.vxg"), questions); }), "File not found");
    EXPECT_TRUE(questions.isEmpty());
}

// A pipe or a device is no topic: reading one would wait for ever or never reach its end.
TEST_F(QuestionFileTest, OnlyPlainFilesAreRead) {
    const QString fifo = path("pipe.vxg");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(ErrorText([&] { ReadQuestionFile(fifo); }), "File access denied");
    EXPECT_EQ(ErrorText([&] { ReadQuestionFile(QStringLiteral("/dev/zero")); }), "File access denied");
}

TEST_F(QuestionFileTest, MissingOrUnreadableFiles) {
    EXPECT_EQ(ErrorText([&] { ReadQuestionFile(path("nothing.vxg")); }), "File not found");
    EXPECT_EQ(ErrorText([&] { ReadQuestionFile(path("no/such/folder/t.vxg")); }), "File not found");
    EXPECT_EQ(ErrorText([&] { ReadQuestionFile(dir.path()); }), "File access denied");
}

TEST_F(QuestionFileTest, LongCyrillicTopicRoundTripsByteForByte) {
    TWorkQues topic = MakeTopic(3);
    topic.insert(1, MakeLongQuestion());
    topic.append(TQuestion{"", "", "", "", "", ""});
    const QString first = path("first.vxg");
    const QString second = path("second.vxg");

    WriteQuestionFile(first, topic);
    const QByteArray firstBytes = ReadRawFile(first);
    ASSERT_EQ(firstBytes.size(), 5 * 1282);
    for (int i = 0; i < topic.size(); ++i)
        EXPECT_EQ(firstBytes.mid(i * 1282, 1282), RawQuestionRecord(topic[i])) << "record " << i;

    const TWorkQues read = ReadQuestionFile(first);
    EXPECT_EQ(read, topic);
    EXPECT_EQ(read[1].QuestionText.size(), 255);

    WriteQuestionFile(second, read);
    EXPECT_EQ(ReadRawFile(second), firstBytes);
}

// Every byte a text can hold, 0x98 (undefined in the code page) among them, is written back as
// it was read.
TEST_F(QuestionFileTest, EveryByteOfTheTextsSurvivesALoadAndASave) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QList<QByteArray> texts{all.mid(0, 64), all.mid(64, 64), all.mid(128, 64), all.mid(192, 64),
                                  all.mid(144, 64)};
    const QByteArray bytes = RawQuestionRecord(texts, 1, '\x98') + RawQuestionRecord(MakeQuestion(2));
    WriteRawFile(path("bytes.vxg"), bytes);
    WriteQuestionFile(path("again.vxg"), ReadQuestionFile(path("bytes.vxg")));
    EXPECT_EQ(ReadRawFile(path("again.vxg")), bytes);
}

TEST_F(QuestionFileTest, WritingReplacesTheWholeFile) {
    const QString file = path("topic.vxg");
    WriteTopic(file, 5);
    WriteQuestionFile(file, MakeTopic(2));
    EXPECT_EQ(ReadRawFile(file).size(), 2 * 1282);
    EXPECT_EQ(ReadQuestionFile(file), MakeTopic(2));

    WriteQuestionFile(file, {});
    EXPECT_EQ(ReadRawFile(file).size(), 0);
}

TEST_F(QuestionFileTest, WriteIntoMissingFolderOrOverAFolderFails) {
    EXPECT_EQ(ErrorText([&] { WriteQuestionFile(path("none/t.vxg"), MakeTopic(1)); }), "Path not found");
    QDir(dir.path()).mkdir("taken.vxg");
    EXPECT_EQ(ErrorText([&] { WriteQuestionFile(path("taken.vxg"), MakeTopic(1)); }), "File access denied");
    EXPECT_TRUE(QFileInfo(path("taken.vxg")).isDir());
}

// A folder that refuses new files (no temporary file can be made beside the topic) still lets
// a writable topic in it be saved, in place; the test drops root's rights in a child process,
// since root may create files anywhere.
TEST_F(QuestionFileTest, AWritableFileInAFolderThatRefusesNewFilesIsSaved) {
    const QString file = path("locked/topic.vxg");
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    WriteTopic(file, 3);
    ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0666), 0);
    ASSERT_EQ(chmod(QFile::encodeName(path("locked")).constData(), 0555), 0);

    const int status = RunWithoutRoot([&] {
        const bool saved = ErrorText([&] { WriteQuestionFile(file, MakeTopic(2)); }).isEmpty();
        return saved && QDir(path("locked")).entryList(QDir::Files | QDir::Hidden) == QStringList{"topic.vxg"}
                   ? 0
                   : 1;
    });
    chmod(QFile::encodeName(path("locked")).constData(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadQuestionFile(file), MakeTopic(2));
}

// A write that fails half-way (here: the file size limit is reached) leaves the old topic
// exactly as it was, and no temporary file behind; so does a topic small enough to be written in
// one piece, whose failure comes only when its last bytes reach the disk.
TEST_F(QuestionFileTest, FailedWriteLeavesTheOldFileWhole) {
    const QString file = path("topic.vxg");
    WriteTopic(file, 1);
    const QByteArray before = ReadRawFile(file);

    for (const TWorkQues& topic : {MakeTopic(40), TWorkQues{MakeQuestion(2)}}) {
        QString error;
        ASSERT_TRUE(RunInProcessUnderFileSizeLimit(topic.size() == 1 ? 1000 : 3000, [&] {
            error = ErrorText([&] { WriteQuestionFile(file, topic); });
        }));
        EXPECT_EQ(error, "Disk write error") << topic.size();
        EXPECT_EQ(ReadRawFile(file), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"topic.vxg"});
    }
    WriteQuestionFile(file, TWorkQues{MakeQuestion(2)});
    EXPECT_EQ(ReadQuestionFile(file), TWorkQues{MakeQuestion(2)})
        << "without the limit the same write succeeds";
}

} // namespace
