// The main of every test program: the process set up as the programs set theirs up, offscreen
// windows, and settings, home and working folder in a fresh temporary folder, so that no test
// touches a real user's files.
#include "ProgramProcess.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    vxg::SetUpProgramProcess();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir root(QDir::tempPath() + "/vxg-test-XXXXXX");
    if (!root.isValid())
        return 2;
    const QString base = root.path();
    for (const char* sub : {"config", "home", "data", "work", "runtime"})
        QDir(base).mkpath(sub);
    QFile::setPermissions(base + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", (base + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (base + "/data").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (base + "/runtime").toUtf8());
    qputenv("HOME", (base + "/home").toUtf8());
    QDir::setCurrent(base + "/work");

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
