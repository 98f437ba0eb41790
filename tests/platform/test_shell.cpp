#include "Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

namespace {

// A program that tells where it ran and with what, then stays running until it is killed.
const QByteArray kReporter = "#!/bin/sh\n"
                             "echo $$ > started.pid\n"
                             "{ pwd; echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > report.tmp\n"
                             "mv report.tmp report.txt\n"
                             "exec sleep 60\n";

QString writeScript(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(kReporter);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

class ShellTest : public ::testing::Test {
protected:
    QTemporaryDir scripts;
    QTemporaryDir work;
    QStringList siblings; // files put beside the test program, removed afterwards

    void TearDown() override {
        QFile pidFile(work.filePath("started.pid"));
        if (pidFile.open(QIODevice::ReadOnly)) {
            const pid_t pid = pid_t(pidFile.readAll().trimmed().toLongLong());
            if (pid > 0)
                ::kill(pid, SIGTERM); // the reporter this test started
        }
        for (const QString& s : siblings)
            QFile::remove(s);
    }

    // The lines of the report, once the started program has written it.
    QStringList report() {
        const QString path = work.filePath("report.txt");
        if (!QTest::qWaitFor([&] { return QFile::exists(path); }, 20000))
            return {};
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
};

} // namespace

TEST_F(ShellTest, StartsAProgramInTheWorkingFolderWithItsParametersWithoutWaiting) {
    const QString program = writeScript(scripts.filePath("reporter"));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(vxg::ShellStartProgram(program, "first \"second part\" third", work.path()));
    EXPECT_LT(clock.elapsed(), 10000); // the program keeps running for a minute
    const QStringList lines = report();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(QDir(lines[0]).canonicalPath(), QDir(work.path()).canonicalPath());
    EXPECT_EQ(lines.mid(1), (QStringList{"3", "first", "second part", "third"}));
}

TEST_F(ShellTest, NoParametersAndNoFolderMeanNoneAndTheCurrentFolder) {
    const QString program = writeScript(scripts.filePath("reporter"));
    const QString before = QDir::currentPath();
    QDir::setCurrent(work.path());
    const bool started = vxg::ShellStartProgram(program, "", "");
    QDir::setCurrent(before);
    ASSERT_TRUE(started);
    const QStringList lines = report();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(QDir(lines[0]).canonicalPath(), QDir(work.path()).canonicalPath());
    EXPECT_EQ(lines[1], "0");
}

TEST_F(ShellTest, ABareNameIsTheProgramBesideTheRunningOneAndMayCarryExe) {
    const QString name = QStringLiteral("vxg-shell-sibling-%1").arg(QCoreApplication::applicationPid());
    const QString sibling = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    siblings << sibling;
    ASSERT_FALSE(writeScript(sibling).isEmpty());
    ASSERT_TRUE(vxg::ShellStartProgram(name + ".exe", "x", work.path()));
    const QStringList lines = report();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[2], "x");
}

TEST_F(ShellTest, WhatCannotStartReportsFalse) {
    EXPECT_FALSE(vxg::ShellStartProgram("no-such-program-anywhere-vxg", "", work.path()));
    EXPECT_FALSE(vxg::ShellStartProgram(scripts.filePath("missing"), "", work.path()));
    const QString program = writeScript(scripts.filePath("reporter"));
    EXPECT_FALSE(vxg::ShellStartProgram(program, "", work.filePath("no/such/folder")));
    EXPECT_FALSE(QFile::exists(work.filePath("started.pid")));
}

// Whoever reads this program's output (a console, a test runner) must not wait for the programs
// it started as well: they get none of its standard channels.
TEST_F(ShellTest, TheStartedProgramHoldsNoneOfOurStandardChannels) {
    const QString path = scripts.filePath("channels");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n"
            "in=$(readlink /proc/$$/fd/0); out=$(readlink /proc/$$/fd/1); err=$(readlink /proc/$$/fd/2)\n"
            "printf '%s\\n%s\\n%s\\n' \"$in\" \"$out\" \"$err\" > channels.tmp\n"
            "mv channels.tmp report.txt\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_TRUE(vxg::ShellStartProgram(path, "", work.path()));
    EXPECT_EQ(report(), (QStringList{"/dev/null", "/dev/null", "/dev/null"}));
}

TEST(ShellUrl, AnEmptyAddressOpensNothing) {
    EXPECT_FALSE(vxg::ShellOpenUrl("  "));
}
