#pragma once
// The editor's windows with scripted boxes and dialogs and a fresh registry, for the tests of
// the main window and the topic windows.
#include "AboutU.h"
#include "ExamwrightApp.h"
#include "Exwr_MDI.h"
#include "Globals.h"
#include "IdleHandler.h"
#include "OptionsLayout.h"
#include "QuestionFiles.h"
#include "Registry.h"
#include "ScriptedDialogs.h"
#include "TopicU.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QToolBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(vxg::Registry::defaultFilePath());
        ASSERT_TRUE(dir.isValid());
        dialogs = ScriptedDialogs::install();
    }

    void TearDown() override {
        editor.reset();
        ScriptedDialogs::uninstall();
        LangOffset = 0;
        LangStrings.clear();
    }

    // Creates the windows and shows the main window.
    TMDIForm& start() {
        editor = std::make_unique<TExamwright>();
        TMDIForm& m = *editor->MDIForm();
        m.show();
        return m;
    }
    TMDIForm& mdi() { return *editor->MDIForm(); }

    static void storeLanguage(int offset) {
        vxg::Registry().writeInteger(kEditorKey, QStringLiteral("LangN"), offset);
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // New through the command, the dialog answered with the file name given.
    TTopicF* newTopic(const QString& name) {
        dialogs->chooseFile(path(name));
        mdi().FileNew1->trigger();
        return mdi().ActiveTopic();
    }
    TTopicF* openTopic(const QString& file) {
        dialogs->chooseFile(file);
        mdi().FileOpen1->trigger();
        return mdi().ActiveTopic();
    }

    // Lets the event loop run until the main window's idle update has run.
    bool reachIdle() {
        QSignalSpy spy(&mdi(), &TMDIForm::IdleUpdated);
        return spy.wait(2000);
    }

public:
    // Typing into a field as the user does.
    static void type(QWidget* field, const QString& text);

protected:

    // The text of id in the language in force (ids as lang[] takes them).
    static QString text(int id) { return LangTableText(id + (LangOffset == 0 ? 0 : 200)); }

    QTemporaryDir dir;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<TExamwright> editor;
};

#include <QTest>

inline void EditorTest::type(QWidget* field, const QString& text) {
    field->setFocus();
    // Key events that carry the character, as a keyboard of any layout sends them.
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, field, Qt::Key_A, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, field, Qt::Key_A, QString(c), Qt::NoModifier);
    }
}
