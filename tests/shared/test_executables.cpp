// Both programs, as built, start offscreen: each gets through its splash and start-up and keeps
// running until it is ended, also when a write of its start-up goes past the file-size limit.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

// Long enough for the one-second splash and the start-up after it, also under the sanitizers.
constexpr int kStartUpMs = 5000;

class Executables : public ::testing::TestWithParam<const char*> {
protected:
    // A copy in a folder of its own, so that nothing the program writes beside itself lands in
    // the build. The examiner finds its address file there already and does not adapt to the
    // network on this start. childSetUp runs in the program's process before it starts.
    void start(const std::function<void()>& childSetUp = {}) {
        const QString built = QDir(QStringLiteral(VXG_PROGRAM_DIR)).filePath(name);
        ASSERT_TRUE(QFileInfo(built).isExecutable()) << built.toStdString() << " was not built";
        ASSERT_TRUE(root.isValid());
        const QDir base(root.path());
        for (const char* sub : {"program/VXG Student", "config", "home", "runtime"})
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
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", base.filePath("config"));
        env.insert("HOME", base.filePath("home"));
        env.insert("XDG_RUNTIME_DIR", base.filePath("runtime"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(base.filePath("home"));
        if (childSetUp)
            process.setChildProcessModifier(childSetUp);
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(kStartUpMs)) << process.errorString().toStdString();
    }

    // The program got through its start-up and is still running; it is ended then. Its error
    // output, which must name no error.
    void expectRunningAfterStartUp() {
        const bool ended = process.state() == QProcess::NotRunning || process.waitForFinished(kStartUpMs);
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_FALSE(ended) << name.toStdString() << " ended during start-up: "
                            << (process.exitStatus() == QProcess::CrashExit ? "killed by signal "
                                                                            : "exit code ")
                            << process.exitCode() << ":\n"
                            << errors.toStdString();
        if (!ended) {
            process.kill();
            process.waitForFinished(kStartUpMs);
        }
        EXPECT_FALSE(errors.contains("error", Qt::CaseInsensitive)) << errors.toStdString();
        EXPECT_FALSE(errors.contains("Sanitizer")) << errors.toStdString();
    }

    QString settingsFolder() const { return QDir(root.path()).filePath("config/Brelkano"); }

    const QString name = QString::fromLatin1(GetParam());
    QTemporaryDir root;
    QProcess process;
};

TEST_P(Executables, StartOffscreenAndKeepRunning) {
    start();
    expectRunningAfterStartUp();
}

// Started from a shell with a file-size limit (ulimit -f) and the signal's default action, the
// program ignores the signal: the parameter set its start-up stores cannot be written, and the
// program reports it and lives on instead of being ended at the write.
TEST_P(Executables, AWritePastTheFileSizeLimitFailsAndTheProgramLivesOn) {
    start([] {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    expectRunningAfterStartUp();
    EXPECT_EQ(QDir(settingsFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{})
        << "a write past the limit left a file behind";
}

INSTANTIATE_TEST_SUITE_P(Programs, Executables, ::testing::Values("VXG-Verirozaz", "VXG-Examwright"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(4); // without "VXG-"
                         });

} // namespace
