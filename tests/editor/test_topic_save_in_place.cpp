// A topic in a folder that refuses new files is written over its old file. A full disk or the
// file size limit must fail before any old byte changes; a write cut short after that says the
// file is damaged.
#include "editor_fixture.h"

#include "AtomicFile.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr rlim_t kLimit = 64 * 1024;

QByteArray Records(const TWorkQues& topic) {
    QByteArray bytes;
    for (const TQuestion& q : topic)
        bytes += EncodeQuestionRecord(q);
    return bytes;
}

TWorkQues Edited(int count) {
    TWorkQues topic = MakeTopic(count);
    for (TQuestion& q : topic)
        q.QuestionText += " (edited)";
    return topic;
}

// A file that takes budget bytes and then fails, as a failing device does.
class FailingFile : public QFile {
public:
    FailingFile(const QString& path, qint64 budget) : QFile(path), budget_(budget) {}

protected:
    qint64 writeData(const char* data, qint64 len) override {
        if (budget_ <= 0)
            return -1;
        const qint64 written = QFile::writeData(data, std::min(len, budget_));
        budget_ -= std::max<qint64>(written, 0);
        return written;
    }

private:
    qint64 budget_;
};

using Failure = vxg::FileWriteResult::Failure;

TEST(OverwriteInPlaceTest, TheOldFileChangesOnlyOnceTheNewContentHasRoom) {
    const struct {
        const char* name;
        int oldRecords, newRecords;
        rlim_t limit;
        qint64 budget; // what the device takes before it fails; -1: all
        Failure failure;
    } cases[] = {
        {"grows past the limit", 1, 100, kLimit, -1, Failure::Write},
        {"as long, past the limit", 100, 100, kLimit, -1, Failure::Write},
        {"shrinks below the limit", 100, 2, kLimit, -1, Failure::None},
        {"grows", 2, 100, RLIM_INFINITY, -1, Failure::None},
        {"shrinks", 100, 3, RLIM_INFINITY, -1, Failure::None},
        {"device fails at once", 2, 100, RLIM_INFINITY, 0, Failure::Write},
        {"device fails part way", 100, 100, RLIM_INFINITY, 5000, Failure::Damaged},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        const QByteArray before = Records(MakeTopic(c.oldRecords));
        const QByteArray after = Records(Edited(c.newRecords));
        WriteRawFile(path, before);
        FailingFile file(path, c.budget < 0 ? std::numeric_limits<qint64>::max() : c.budget);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered));
        vxg::FileWriteResult result;
        const auto overwrite = [&] { result = vxg::OverwriteInPlace(file, after); };
        ASSERT_TRUE(RunInProcessUnderFileSizeLimit(c.limit, overwrite)) << c.name;
        file.close();
        EXPECT_EQ(result.failure, c.failure) << c.name << ": " << result.error.toStdString();
        const QByteArray now = ReadRawFile(path);
        if (c.failure == Failure::None)
            EXPECT_TRUE(now == after) << c.name << ": " << now.size();
        else if (c.failure == Failure::Write)
            EXPECT_TRUE(now == before) << c.name << ": " << now.size();
        else
            EXPECT_FALSE(now == before) << c.name;
    }
}

// Runs body in a child process with folder made a disk of its own of diskBytes (a memory file
// system seen by that child alone). Its exit code; -2 when no such disk can be made (no root).
int RunOnASmallDisk(const QString& folder, qint64 diskBytes, const std::function<int()>& body) {
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const QByteArray options = "size=" + QByteArray::number(diskBytes);
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) != 0)
            _exit(254);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 254 ? -2 : WEXITSTATUS(status);
}

// A disk that fills up before the new content is whole: the old file is left as it was, its
// size too; a content that fits is written.
TEST(OverwriteInPlaceTest, AFullDiskFailsBeforeTheOldFileChanges) {
    QTemporaryDir dir;
    const QString disk = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    const int status = RunOnASmallDisk(disk, 256 * 1024, [&] {
        const QString path = disk + "/topic.vxg";
        const QByteArray before = Records(MakeTopic(40));
        WriteRawFile(path, before);
        WriteRawFile(disk + "/filler", QByteArray(160 * 1024, 'x'));
        const auto overwrite = [&](const QByteArray& bytes) {
            QFile file(path);
            if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
                return Failure::Open;
            return vxg::OverwriteInPlace(file, bytes).failure;
        };
        if (overwrite(Records(Edited(100))) != Failure::Write || ReadRawFile(path) != before)
            return 1;
        return overwrite(Records(Edited(60))) == Failure::None && ReadRawFile(path) == Records(Edited(60))
                   ? 0
                   : 2;
    });
    if (status == -2)
        GTEST_SKIP() << "no disk of its own can be made here (it needs root)";
    EXPECT_EQ(status, 0) << "1: the old file changed, 2: what fits was not written";
}

using SaveInPlaceTest = EditorTest;

// Through the window and the programs' own set-up (SIGXFSZ ignored), in a child process without
// root's rights, for whom the folder refuses new files: the teacher's topic, long or short, is
// either written whole or left as it was.
TEST_F(SaveInPlaceTest, ATopicInAFolderThatRefusesNewFilesIsWrittenWholeOrNotAtAll) {
    const struct {
        const char* name;
        int oldRecords, newRecords;
        rlim_t limit;
        bool saved;
    } cases[] = {
        {"grows past the limit", 1, 100, kLimit, false},
        {"as long, past the limit", 100, 100, kLimit, false},
        {"shrinks", 100, 2, RLIM_INFINITY, true},
    };
    start();
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const QString folder = path("locked");
    for (const auto& c : cases) {
        const QString file = folder + "/" + c.name + ".vxg";
        const QByteArray before = Records(MakeTopic(c.oldRecords));
        WriteRawFile(file, before);
        ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0666), 0);
        TTopicF* t = openTopic(file);
        ASSERT_NE(t, nullptr) << c.name;
        t->Topic.Questions = Edited(c.newRecords);
        t->ShowCurQue();
        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);

        const int status = RunWithoutRoot([&] {
            bool saved = false;
            dialogs->boxes.clear();
            if (!RunInProcessUnderFileSizeLimit(c.limit, [&] { saved = t->SaveTopic(); }))
                return 3;
            const QStringList expected = c.saved ? QStringList{} : QStringList{"Disk write error\n" + file};
            return (saved == c.saved ? 0 : 1) | (dialogs->allTexts() == expected ? 0 : 2);
        });
        chmod(QFile::encodeName(folder).constData(), 0755);
        EXPECT_EQ(status, 0) << c.name << " (1: saved or not, 2: the box)";
        const QByteArray now = ReadRawFile(file);
        EXPECT_TRUE(now == (c.saved ? Records(Edited(c.newRecords)) : before))
            << c.name << ": " << now.size();
        t->Topic.Modified = false;
        mdi().CloseTopicAction->trigger();
    }
    QStringList names;
    for (const auto& c : cases)
        names << QString::fromLatin1(c.name) + ".vxg";
    names.sort();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name), names) << "no other file made";
}

} // namespace
