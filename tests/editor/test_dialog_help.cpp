// F1 over the editor's dialogs, the real boxes and file dialogs among them: the contents show in
// front of the dialog and can be read while it stays open.
#include "editor_fixture.h"

#include "Help.h"
#include "HelpWindowProbe.h"

#include <QFileDialog>
#include <QKeySequence>
#include <QMessageBox>

namespace {

using DialogHelpTest = EditorTest;

TEST_F(DialogHelpTest, F1OverEveryDialogOfTheEditorShowsTheContentsInFrontOfIt) {
    TMDIForm& m = start();
    TTopicF* t = openWritten("a.vxg", MakeTopic(3));
    ASSERT_NE(t, nullptr);
    ScriptedDialogs::uninstall(); // the Qt boxes and file dialogs from here on

    // Each dialog as the teacher brings it up: back in the main window, the key of its command in
    // the question field.
    const auto press = [t](const QKeySequence& keys) {
        return [t, keys] { QTest::keySequence(t->SamVoprosEdit, keys); };
    };
    const auto backInTheMainWindow = [&m] {
        m.activateWindow();
        return QTest::qWaitForWindowActive(&m);
    };
    const QString contents = QStringLiteral("qrc:/help/en/contents.html");
    {
        SCOPED_TRACE("delete confirmation");
        ASSERT_TRUE(backInTheMainWindow());
        ExpectF1HelpOver<QMessageBox>(press(QKeySequence(Qt::Key_F5)), contents);
        EXPECT_EQ(t->Topic.Questions.size(), 3u) << "cancelled, the question stays";
    }
    for (const auto& [name, keys] : {std::pair{"open", QKeySequence(Qt::CTRL | Qt::Key_O)},
                                     std::pair{"new", QKeySequence(Qt::CTRL | Qt::Key_N)}}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(backInTheMainWindow());
        ExpectF1HelpOver<QFileDialog>(press(keys), contents);
        EXPECT_EQ(m.ActiveTopic(), t) << "cancelled, no topic window came";
    }
    {
        SCOPED_TRACE("copy dialog");
        ASSERT_TRUE(backInTheMainWindow());
        ASSERT_TRUE(reachIdle()); // the idle update enables the whole-question commands
        ExpectF1HelpOver<TCopyDlg>(press(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C)), contents);
    }
    dialogs = ScriptedDialogs::install(); // whatever the closing asks is answered
}

} // namespace
