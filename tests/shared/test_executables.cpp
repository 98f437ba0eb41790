// Both programs, as built, start offscreen: each gets through its splash and start-up and keeps
// running until it is ended.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Long enough for the one-second splash and the start-up after it, also under the sanitizers.
constexpr int kStartUpMs = 5000;

class Executables : public ::testing::TestWithParam<const char*> {};

TEST_P(Executables, StartOffscreenAndKeepRunning) {
    const QString name = QString::fromLatin1(GetParam());
    const QString built = QDir(QStringLiteral(VXG_PROGRAM_DIR)).filePath(name);
    ASSERT_TRUE(QFileInfo(built).isExecutable()) << built.toStdString() << " was not built";

    // A copy in a folder of its own, so that nothing the program writes beside itself lands in
    // the build. The examiner finds its address file there already and does not adapt to the
    // network on this start.
    QTemporaryDir root;
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
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(base.filePath("home"));
    process.start(program, {});
    ASSERT_TRUE(process.waitForStarted(kStartUpMs)) << process.errorString().toStdString();

    const bool ended = process.waitForFinished(kStartUpMs);
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    EXPECT_FALSE(ended) << name.toStdString() << " ended during start-up with code " << process.exitCode()
                        << ":\n"
                        << errors.toStdString();
    if (!ended) {
        process.kill();
        process.waitForFinished(kStartUpMs);
    }
    EXPECT_FALSE(errors.contains("error", Qt::CaseInsensitive)) << errors.toStdString();
    EXPECT_FALSE(errors.contains("Sanitizer")) << errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Programs, Executables, ::testing::Values("VXG-Verirozaz", "VXG-Examwright"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(4); // without "VXG-"
                         });

} // namespace
