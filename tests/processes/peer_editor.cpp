// The editor beside a test of the examiner's settings: switches to Russian, creates a topic in
// the folder given (LastDir), and at "quit" leaves as the teacher does: Exit, the topic not
// saved, the language stored.
#include "ExamwrightApp.h"
#include "Exwr_MDI.h"
#include "PeerLink.h"
#include "ScriptedDialogs.h"

#include <QAction>
#include <QApplication>

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
        ServeCommands(&m, [&m, dialogs](const QString& line) {
            if (line == QLatin1String("quit")) {
                dialogs->answerNext(vxg::DlgResult::No);
                m.FileExit1->trigger();
            }
            return QString();
        });
        rc = QApplication::exec();
        m.FormDestroy();
    }
    ScriptedDialogs::uninstall();
    return rc;
}
