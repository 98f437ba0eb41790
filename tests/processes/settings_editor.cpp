// The editor as the two-program test runs it: switches to Russian, creates a topic in the
// folder given as its argument (LastDir), and on "quit" leaves as the teacher does: Exit, the
// topic not saved, the language stored.
#include "ExamwrightApp.h"
#include "Exwr_MDI.h"
#include "ScriptedDialogs.h"
#include "StdinCommands.h"

#include <QAction>
#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    int rc = 1;
    {
        TExamwright editor;
        TMDIForm& m = *editor.MDIForm();
        m.show();
        m.Rus1->trigger();
        dialogs->chooseFile(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("Тема.vxg")));
        m.FileNew1->trigger();
        QObject::connect(&m, &TMDIForm::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
        OnQuitCommand(&m, [&m, dialogs] {
            dialogs->answerNext(vxg::DlgResult::No);
            m.FileExit1->trigger();
        });
        SayReady();
        rc = QApplication::exec();
        m.FormDestroy();
    }
    ScriptedDialogs::uninstall();
    return rc;
}
