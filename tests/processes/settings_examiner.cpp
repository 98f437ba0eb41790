// The examiner as the two-program test runs it, from the program folder given as its argument
// (adapted before): English, a parameter set of its own in force, and on "quit" it leaves,
// storing its language and "Last".
#include "ExaminerApp.h"
#include "ScriptedDialogs.h"
#include "StdinCommands.h"
#include "WorkU.h"

#include <QAction>
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    ScriptedDialogs::install();
    int rc = 1;
    {
        TExaminer examiner(QString::fromLocal8Bit(argv[1]));
        TWorkF& w = *examiner.WorkF();
        w.show();
        w.Eng1->trigger();
        examiner.State.OptionsName = QString::fromLocal8Bit(argv[2]);
        examiner.State.ActiveOptions.GivenVopr = 17;
        OnQuitCommand(&w, [] { QCoreApplication::quit(); });
        SayReady();
        rc = QApplication::exec();
    }
    ScriptedDialogs::uninstall();
    return rc;
}
