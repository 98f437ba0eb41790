// Starting a program of the suite: a real process, in the working folder it is given.
#include "MyFileUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A stand-in program: writes its physical working folder and its arguments, one a line, into
// launched.txt of that folder (renamed into place so the test never sees half of it).
const char* const kProbeScript =
    "#!/bin/sh\n"
    "{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > launched.tmp\n"
    "mv launched.tmp launched.txt\n";

class LaunchProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // A working folder well past 79 characters.
        workDir = dir.filePath("a-working-folder-with-a-long-name/"
                               "deeper-still-so-that-the-path-runs-past-any-short-buffer/Тема");
        ASSERT_TRUE(QDir().mkpath(workDir));
        ASSERT_GT(workDir.size(), 79);
    }
    void TearDown() override {
        for (const QString& probe : probes)
            QFile::remove(probe);
    }

    QString writeProbe(const QString& folder, const QString& name) {
        const QString path = QDir(folder).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kProbeScript);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        probes << path;
        return path;
    }

    // The lines the probe wrote, once it has run.
    QStringList probeOutput() const {
        const QString out = QDir(workDir).filePath("launched.txt");
        if (!QTest::qWaitFor([&] { return QFile::exists(out); }, 10000))
            return {};
        QFile file(out);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString workDir;
    QStringList probes;
};

TEST_F(LaunchProgramTest, BareNameStartsTheProgramBesideThisOne) {
    const QString name = QString("vxg-launch-probe-%1").arg(getpid());
    writeProbe(QCoreApplication::applicationDirPath(), name);

    ASSERT_TRUE(LaunchProgram(name, "", workDir));
    const QStringList lines = probeOutput();
    ASSERT_FALSE(lines.isEmpty()) << "the probe did not run";
    EXPECT_EQ(lines, QStringList{QDir(workDir).canonicalPath()}) << "no arguments, the given folder";
}

TEST_F(LaunchProgramTest, PathParametersAndLongTextsArriveWhole) {
    const QString probe = writeProbe(dir.path(), "probe");
    const QString longParameter = QString(120, 'p');

    ASSERT_TRUE(LaunchProgram(probe, "first " + longParameter, workDir));
    const QStringList lines = probeOutput();
    ASSERT_EQ(lines.size(), 3) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], QDir(workDir).canonicalPath());
    EXPECT_EQ(lines[1], "first");
    EXPECT_EQ(lines[2], longParameter);
}

TEST_F(LaunchProgramTest, ExeEndingIsDroppedWhateverItsCase) {
    const QString probe = writeProbe(dir.path(), "Sibling");
    ASSERT_TRUE(LaunchProgram(probe + ".EXE", "", workDir));
    EXPECT_EQ(probeOutput(), QStringList{QDir(workDir).canonicalPath()});
}

TEST_F(LaunchProgramTest, MissingProgramStartsNothing) {
    EXPECT_FALSE(LaunchProgram("VXG-no-such-program.exe", "", workDir));
    EXPECT_FALSE(LaunchProgram(dir.filePath("absent"), "", workDir));
    EXPECT_FALSE(QFile::exists(QDir(workDir).filePath("launched.txt")));
}

} // namespace
