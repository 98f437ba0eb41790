// F1 over the examiner's own boxes and file dialogs, the real ones: the help of the state in
// force shows in front of the dialog and can be read while it stays open.
#include "test_work_support.h"

#include "Help.h"
#include "HelpWindowProbe.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QTcpServer>

namespace {

using DialogHelpTest = ExaminerTest;

TEST_F(DialogHelpTest, F1OverTheExaminersBoxesAndFileDialogsShowsTheStatesHelpInFrontOfThem) {
    makeAdaptedFolder();
    // The port the window would listen on is taken: the box that says so comes up once the
    // window shows.
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
    link.listenPort = taken.serverPort();
    ScriptedDialogs::uninstall();
    const QString stateHelp = QStringLiteral("qrc:/help/en/IDH_StatusQuo.html");
    {
        SCOPED_TRACE("the box of the deaf link");
        ExpectF1HelpOver<QMessageBox>([this] { startAndShow(); }, stateHelp);
    }
    {
        SCOPED_TRACE("the dialog of Open topic");
        ExpectF1HelpOver<QFileDialog>([this] { work().OpenTopic->trigger(); }, stateHelp);
        EXPECT_EQ(examiner->State.AttState, StatusQuo) << "cancelled, no topic opened";
    }
    dialogs = ScriptedDialogs::install(); // whatever the closing asks is answered
}

} // namespace
