#pragma once
// The editor's windows with scripted boxes and dialogs and a fresh registry, and the drivers of
// its modal dialogs and fields.
#include "CopyDlgU.h"
#include "ExamwrightApp.h"
#include "Exwr_MDI.h"
#include "Globals.h"
#include "LanguageTest.h"
#include "OptionsLayout.h"
#include "QuestionFile.h"
#include "QuestionFiles.h"
#include "Registry.h"
#include "ScriptedDialogs.h"
#include "TopicU.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace testfiles;

// Opens a modal dialog through open and works it from inside its modal loop with drive; a
// dialog the drive leaves open is cancelled. Returns whether it was left open.
inline bool DriveModal(QDialog& dlg, const std::function<void()>& open, const std::function<void()>& drive) {
    bool driven = false, leftOpen = false;
    QTimer::singleShot(0, &dlg, [&] {
        driven = QTest::qWaitForWindowActive(&dlg);
        drive();
        if ((leftOpen = dlg.isVisible()))
            dlg.reject();
    });
    open();
    EXPECT_TRUE(driven);
    return leftOpen;
}

// A radio button takes clicks on its circle and its text only.
inline void ClickRadio(QRadioButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}
inline void TypeNumber(QSpinBox* spin, int value) {
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(value));
}
// The copy dialog's range typed as the user does, then OK (first 0: the shown question).
inline void ChooseAndOk(TCopyDlg& dlg, int first, int last) {
    ClickRadio(first == 0 ? dlg.OneQueRB : dlg.RangeQuesRB);
    if (first != 0)
        TypeNumber(dlg.BeginSpin, first), TypeNumber(dlg.EndSpin, last);
    QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
}

inline QStringList Texts(const TWorkQues& questions) {
    QStringList out;
    for (const TQuestion& q : questions)
        out << q.QuestionText;
    return out;
}

// Typing as a keyboard of any layout does: key events that carry the character.
inline void Type(QWidget* field, const QString& text) {
    field->setFocus();
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, field, Qt::Key_A, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, field, Qt::Key_A, QString(c), Qt::NoModifier);
    }
}

// A command of the topic window as the user gives it: the idle update has set its enabling.
inline void run(TTopicF* t, QAction* command) {
    t->NextAUpdate();
    command->trigger();
}

class EditorTest : public LanguageTest {
protected:
    void SetUp() override {
        QFile::remove(vxg::Registry::defaultFilePath());
        ASSERT_TRUE(dir.isValid());
        dialogs = ScriptedDialogs::install();
    }
    void TearDown() override {
        editor.reset();
        ScriptedDialogs::uninstall();
        LanguageTest::TearDown();
    }
    // Creates the windows in the language given (-1: none stored) and shows the main window.
    TMDIForm& start(int language = 200) {
        if (language >= 0)
            vxg::Registry().writeInteger(kEditorKey, QStringLiteral("LangN"), language);
        editor = std::make_unique<TExamwright>();
        editor->MDIForm()->show();
        return mdi();
    }
    TMDIForm& mdi() { return *editor->MDIForm(); }
    QString path(const QString& name) const { return dir.filePath(name); }

    // New or Open, the file dialog answered with the file given (a null one: cancelled).
    TTopicF* fileCommand(QAction* command, const QString& file) {
        file.isNull() ? dialogs->cancelFile() : dialogs->chooseFile(file);
        command->trigger();
        return mdi().ActiveTopic();
    }
    TTopicF* newTopic(const QString& name) { return fileCommand(mdi().FileNew1, path(name)); }
    TTopicF* openTopic(const QString& file) { return fileCommand(mdi().FileOpen1, file); }
    TTopicF* openWritten(const QString& name, const TWorkQues& questions) {
        WriteQuestionFile(path(name), questions);
        return openTopic(path(name));
    }
    // Lets the event loop run until the main window's idle update has run.
    bool reachIdle() {
        QSignalSpy spy(&mdi(), &TMDIForm::IdleUpdated);
        return spy.wait(2000);
    }
    // The text of id in the language in force (ids as lang[] takes them).
    static QString text(int id) { return LangTableText(id + LangOffset); }

    QTemporaryDir dir;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<TExamwright> editor;
};
