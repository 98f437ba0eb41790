// Both programs, as built, start without a display: each gets through its splash and start-up to
// its main window and keeps running, also when a write of its start-up goes past the file-size
// limit. What a program shows is seen in the pictures that Qt's "minimal" window system saves of
// every window it draws (QT_DEBUG_BACKINGSTORE): the window system's own record, no hook in the
// programs.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <ostream>
#include <sys/resource.h>

namespace {

// Long enough for the one-second splash and the start-up after it, also under the sanitizers.
constexpr int kStartUpMs = 60000;
// Beyond every picture of a window the test waits for, short of the settings file it writes.
constexpr rlim_t kFileSizeLimit = 256 * 1024;

struct Program {
    const char* name;
    QSize mainWindow; // restored size: the minimal window system shows it unmaximised
};

void PrintTo(const Program& program, std::ostream* out) {
    *out << program.name;
}

// The red of the error icon, which neither the splash nor a main window has in such amount.
bool ShowsTheErrorIcon(const QImage& picture) {
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            red += c.red() >= 200 && c.green() <= 60 && c.blue() <= 60;
        }
    return red >= 200;
}

class Executables : public ::testing::TestWithParam<Program> {
protected:
    // A copy in a folder of its own, so that nothing the program writes beside itself lands in
    // the build. The examiner finds its address file there already and does not adapt to the
    // network on this start. childSetUp runs in the program's process before it starts.
    void start(const std::function<void()>& childSetUp = {}) {
        const QString built = QDir(QStringLiteral(VXG_PROGRAM_DIR)).filePath(name);
        ASSERT_TRUE(QFileInfo(built).isExecutable()) << built.toStdString() << " was not built";
        ASSERT_TRUE(root.isValid());
        const QDir base(root.path());
        for (const char* sub : {"program/VXG Student", "config", "home", "runtime", "pictures"})
            ASSERT_TRUE(base.mkpath(sub));
        QFile::setPermissions(base.filePath("runtime"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString program = base.filePath("program/" + name);
        ASSERT_TRUE(QFile::copy(built, program));
        QFile address(base.filePath("program/VXG Student/1.nna"));
        ASSERT_TRUE(address.open(QIODevice::WriteOnly));
        address.write(QByteArray(16, '\0'));
        address.close();

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "minimal");
        env.insert("QT_DEBUG_BACKINGSTORE", "1"); // a picture of each window drawn, in the working folder
        env.insert("XDG_CONFIG_HOME", base.filePath("config"));
        env.insert("HOME", base.filePath("home"));
        env.insert("XDG_RUNTIME_DIR", base.filePath("runtime"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(base.filePath("pictures"));
        if (childSetUp)
            process.setChildProcessModifier(childSetUp);
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(kStartUpMs)) << process.errorString().toStdString();
    }

    // Whether the program has drawn a window whose picture is like that, waiting for it while
    // the program runs.
    bool drew(const std::function<bool(const QImage&)>& like) {
        const QDir pictures(QDir(root.path()).filePath("pictures"));
        // The pictures are numbered without leading zeros: each is looked at once by its name,
        // not by its place in a sorted list.
        QSet<QString> seen;
        const auto newPictureIsLike = [&] {
            for (const QString& file : pictures.entryList({"output*.png"}, QDir::Files)) {
                if (seen.contains(file))
                    continue;
                const QImage picture(pictures.filePath(file));
                if (picture.isNull())
                    continue; // still being written: read again at the next look
                seen.insert(file);
                if (like(picture))
                    return true;
            }
            return process.state() == QProcess::NotRunning;
        };
        return QTest::qWaitFor(newPictureIsLike, kStartUpMs) && process.state() == QProcess::Running;
    }
    bool drewTheMainWindow() {
        return drew([this](const QImage& picture) { return picture.size() == GetParam().mainWindow; });
    }

    // The program is still running; it is ended then. Its error output names no error.
    void expectRunningThenEnd() {
        EXPECT_EQ(process.state(), QProcess::Running)
            << name.toStdString() << " ended: "
            << (process.exitStatus() == QProcess::CrashExit ? "killed by signal " : "exit code ")
            << process.exitCode();
        process.kill();
        process.waitForFinished(kStartUpMs);
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_FALSE(errors.contains("error", Qt::CaseInsensitive)) << errors.toStdString();
        EXPECT_FALSE(errors.contains("Sanitizer")) << errors.toStdString();
    }

    QString settingsFolder() const { return QDir(root.path()).filePath("config/Brelkano"); }

    const QString name = QString::fromLatin1(GetParam().name);
    QTemporaryDir root;
    QProcess process;
};

// A program stuck at its splash, or ended, never draws its main window.
TEST_P(Executables, StartOffscreenAndKeepRunning) {
    start();
    EXPECT_TRUE(drewTheMainWindow()) << name.toStdString() << " drew no main window of its size";
    expectRunningThenEnd();
}

// Started from a shell with a file-size limit (ulimit -f) and the signal's default action, the
// program ignores the signal: the parameter set its start-up stores cannot be written over a
// settings file larger than the limit, the error box says so, the file stays as it was, and the
// program lives on instead of being ended at the write.
TEST_P(Executables, AWritePastTheFileSizeLimitFailsAndTheProgramLivesOn) {
    ASSERT_TRUE(QDir().mkpath(settingsFolder()));
    QFile settings(QDir(settingsFolder()).filePath("VXG.reg"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    const QByteArray before = "; VXG user settings\n\n[SOFTWARE\\Brelkano\\VXG\\Padding]\n\"Note\"=\"" +
                              QByteArray(2 * kFileSizeLimit, 'x') + "\"\n";
    ASSERT_EQ(settings.write(before), before.size());
    settings.close();

    start([] {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = kFileSizeLimit;
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_TRUE(drew([this](const QImage& picture) {
        return picture.size() != GetParam().mainWindow && ShowsTheErrorIcon(picture);
    })) << name.toStdString()
        << " showed no error box";
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll() == before) << "the settings file changed";
    EXPECT_EQ(QDir(settingsFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"VXG.reg"})
        << "a write past the limit left a file behind";
    expectRunningThenEnd();
}

INSTANTIATE_TEST_SUITE_P(Programs, Executables,
                         ::testing::Values(Program{"VXG-Verirozaz", {780, 567}},
                                           Program{"VXG-Examwright", {591, 418}}),
                         [](const ::testing::TestParamInfo<Program>& info) {
                             return std::string(info.param.name).substr(4); // without "VXG-"
                         });

} // namespace
