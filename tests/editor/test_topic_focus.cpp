// Where the keyboard goes in the editor: a topic window that opens or becomes the active one
// has the focus in a field, its question field at first and afterwards the one that last had
// it there, also once a dialog over it has closed. Keys are given to the main window as the
// window system gives them, so that they reach whatever has the focus.
#include "editor_fixture.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>

namespace {

class TopicFocusTest : public EditorTest {
protected:
    QWindow* keyboard() { return mdi().windowHandle(); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(keyboard(), key, modifiers);
    }
    void type(const char* text) {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(keyboard(), *c);
    }
    static bool focused(QWidget* field) {
        return QTest::qWaitFor([field] { return QApplication::focusWidget() == field; }, 5000);
    }
    static QString focusName() {
        const QWidget* f = QApplication::focusWidget();
        return f ? f->objectName() : QStringLiteral("nothing");
    }
    void activate(TTopicF* topic) {
        mdi().MdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(topic->parentWidget()));
        ASSERT_EQ(mdi().ActiveTopic(), topic);
    }
    // What the window manager does once a dialog has gone; the offscreen platform does not.
    void giveBackActivation() {
        mdi().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&mdi()));
    }
    // The main window shown and active, as the teacher finds it, and a.vxg opened by Ctrl+O.
    TTopicF* startAndOpen() {
        TMDIForm& m = start();
        m.activateWindow();
        if (!QTest::qWaitForWindowActive(&m))
            return nullptr;
        WriteQuestionFile(path("a.vxg"), MakeTopic(2));
        dialogs->chooseFile(path("a.vxg"));
        press(Qt::Key_O, Qt::ControlModifier);
        return mdi().ActiveTopic();
    }
};

// A topic opens with the focus in its question field; Tab goes round the six fields and
// nowhere else. Each window keeps its own field: a new one starts in its question field, and
// the one activated again, by the Window commands or Ctrl+Tab, gets back the field last left.
TEST_F(TopicFocusTest, EachTopicWindowKeepsItsFieldAndTabGoesRoundTheFieldsOnly) {
    TTopicF* a = startAndOpen();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(focused(a->SamVoprosEdit)) << focusName().toStdString();
    press(Qt::Key_End);
    type(" xyz");
    EXPECT_EQ(a->SamVoprosEdit->text(), MakeTopic(2)[0].QuestionText + " xyz");
    EXPECT_EQ(a->FieldsArea->verticalScrollBar()->value(), 0);
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(mdi().TopicModified);

    const QList<QWidget*> order{a->SamVoprosEdit, a->Otv1Edit, a->Otv2Edit,
                                a->Otv3Edit,      a->Otv4Edit, a->PravOtvEd};
    for (int i = 1; i <= 2 * order.size(); ++i) {
        press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i % order.size()])
            << i << " " << focusName().toStdString();
    }
    for (int i = 2 * order.size() - 1; i >= 0; --i) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget(), order[i % order.size()])
            << i << " " << focusName().toStdString();
    }
    for (int i = 0; i < 3; ++i)
        press(Qt::Key_Tab);
    ASSERT_TRUE(focused(a->Otv3Edit));

    dialogs->chooseFile(path("b.vxg"));
    press(Qt::Key_N, Qt::ControlModifier);
    TTopicF* b = mdi().ActiveTopic();
    ASSERT_NE(b, a);
    EXPECT_TRUE(focused(b->SamVoprosEdit)) << focusName().toStdString();
    type("new");
    EXPECT_EQ(b->SamVoprosEdit->text(), "new");
    press(Qt::Key_Tab);

    activate(a);
    EXPECT_TRUE(focused(a->Otv3Edit)) << focusName().toStdString();
    type("3");
    EXPECT_EQ(a->Otv3Edit->text(), MakeTopic(2)[0].Answer3 + "3");

    QTest::keyPress(keyboard(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyRelease(keyboard(), Qt::Key_Control, Qt::NoModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return mdi().ActiveTopic() == b; }, 5000));
    EXPECT_TRUE(focused(b->Otv1Edit)) << focusName().toStdString();
}

// A dialog over a topic window gives the focus back to a field of it when it closes: the copy
// dialog right after Open, the delete confirmation (a real box here) from an answer field.
TEST_F(TopicFocusTest, TheFocusComesBackToAFieldWhenADialogCloses) {
    TTopicF* a = startAndOpen();
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(reachIdle());
    ASSERT_TRUE(mdi().CopyQuesAction->isEnabled());
    DriveModal(
        *editor->CopyDlg(), [&] { mdi().CopyQuesAction->trigger(); }, [] {});
    giveBackActivation();
    EXPECT_TRUE(focused(a->SamVoprosEdit)) << focusName().toStdString();

    press(Qt::Key_Tab);
    ASSERT_TRUE(focused(a->Otv1Edit));
    ScriptedDialogs::uninstall();
    bool boxShown = false;
    QTimer::singleShot(0, [&] {
        boxShown = QTest::qWaitFor(
            [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }, 5000);
        if (boxShown)
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
    });
    press(Qt::Key_F5);
    EXPECT_TRUE(boxShown);
    EXPECT_EQ(a->Topic.Questions.size(), 2) << "No";
    giveBackActivation();
    EXPECT_TRUE(focused(a->Otv1Edit)) << focusName().toStdString();
    press(Qt::Key_End);
    type("!");
    EXPECT_EQ(a->Otv1Edit->text(), MakeTopic(2)[0].Answer1 + "!");
}

} // namespace
