#pragma once
// The examiner's windows in a temporary program folder, with scripted boxes and a fresh
// registry, for the tests of the main window.
#include "ExaminerApp.h"
#include "Globals.h"
#include "OptionsLayout.h"
#include "Registry.h"
#include "ScriptedDialogs.h"
#include "WorkU.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class ExaminerTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(vxg::Registry::defaultFilePath());
        ASSERT_TRUE(programDir.isValid());
        dialogs = ScriptedDialogs::install();
    }

    void TearDown() override {
        examiner.reset();
        // An adaptation run leaves its request to end queued; it must not end the loops of a
        // later test in this process.
        QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        ScriptedDialogs::uninstall();
    }

    QString studentDir() const { return programDir.path() + QStringLiteral("/VXG Student"); }
    QString addressFile() const { return studentDir() + QStringLiteral("/1.nna"); }

    void makeStudentFolder() { ASSERT_TRUE(QDir().mkpath(studentDir())); }

    // A computer adapted before: the folder holds an address file of an earlier start.
    void makeAdaptedFolder(const QByteArray& earlier = QByteArray("\x0a\0\0\0\0\0\0\0\0\0\0\0\x07\0\0\0",
                                                                  16)) {
        makeStudentFolder();
        QFile f(addressFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(earlier), earlier.size());
    }

    TExaminer& start() {
        examiner = std::make_unique<TExaminer>(programDir.path(), link);
        return *examiner;
    }

    // Start-up as far as the event loop: the main window shown.
    TWorkF& startAndShow() {
        TWorkF& w = *start().WorkF();
        w.show();
        return w;
    }

    void stop() { examiner.reset(); }

    TWorkF& work() { return *examiner->WorkF(); }

    // Lets the event loop run until it waits for events: the window's idle update runs there.
    static bool reachIdle(TWorkF& w) {
        QSignalSpy spy(&w, &TWorkF::IdleUpdated);
        return spy.wait(2000);
    }

    // The text of id in the language in force (lang[] ids are the Russian ones).
    static QString text(int id) { return LangTableText(id + (LangOffset == 0 ? 0 : 200)); }
    static QString englishText(int id) { return LangTableText(id + 200); }

    QTemporaryDir programDir;
    // The message link of the window under test: a free loopback port, never the programs' 1026.
    TLinkConfig link{.listenAddress = QHostAddress::LocalHost, .listenPort = 0, .studentPort = 0};
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<TExaminer> examiner;
};
