// The examiner beside a test of the editor, on the same settings file (the environment the test
// passes on). With a program folder and a set name: the examiner's windows in English with that
// set in force, which store the language and "Last" at "quit". Always: its parameters dialog,
//   show | choose <entry> | type <name> | set <questions per card> | save | delete | quit
// each answered with "list a|b|c", "name <text>", "given <n>" and "box <kind> <text>" lines.
#include "ExaminerApp.h"
#include "Globals.h"
#include "OptionsDriver.h"
#include "OptionsU.h"
#include "PeerLink.h"
#include "ScriptedDialogs.h"
#include "WorkU.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSpinBox>

namespace {

// Works the dialog as one command says and answers with what it shows and the boxes it showed.
QString Answer(TOptionsF& dlg, ScriptedDialogs& dialogs, const QString& verb, const QString& argument) {
    if (verb == QLatin1String("show"))
        dlg.show(), (void)QTest::qWaitForWindowExposed(&dlg);
    else if (verb == QLatin1String("choose"))
        ChooseSet(dlg, argument);
    else if (verb == QLatin1String("type"))
        TypeSetName(dlg, argument);
    else if (verb == QLatin1String("set"))
        dlg.GivenVoprEd->setValue(argument.toInt());
    else if (verb == QLatin1String("save"))
        QTest::mouseClick(dlg.SaveOptionsBtn, Qt::LeftButton);
    else if (verb == QLatin1String("delete"))
        dialogs.answerNext(vxg::DlgResult::Yes), QTest::mouseClick(dlg.DeleteOptionsBtn, Qt::LeftButton);
    QString out = QStringLiteral("list %1\nname %2\ngiven %3\n")
                      .arg(ListedSets(dlg).join(u'|'), dlg.NameEdit->currentText())
                      .arg(dlg.GivenVoprEd->value());
    for (const ScriptedDialogs::Box& box : dialogs.boxes)
        out += QStringLiteral("box ") + BoxLine(static_cast<int>(box.kind), box.text) + u'\n';
    dialogs.boxes.clear();
    dialogs.answers.clear();
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    int rc = 1;
    {
        std::unique_ptr<TExaminer> examiner;
        if (argc >= 3) {
            examiner = std::make_unique<TExaminer>(QString::fromLocal8Bit(argv[1]));
            examiner->WorkF()->show();
            examiner->WorkF()->Eng1->trigger();
            examiner->State.OptionsName = QString::fromLocal8Bit(argv[2]);
            examiner->State.ActiveOptions.GivenVopr = 17;
        } else {
            LangOffset = 200;
            LoadLangStrings();
        }
        TExaminerState state;
        std::unique_ptr<TOptionsF> dlg;
        ServeCommands(&app, [&](const QString& line) {
            const QString verb = line.section(u' ', 0, 0);
            if (verb == QLatin1String("quit")) {
                QCoreApplication::quit();
                return QString();
            }
            if (!dlg)
                dlg = std::make_unique<TOptionsF>(state);
            if (verb == QLatin1String("show"))
                state.EditOptions = state.ActiveOptions; // as the Options command hands it in
            return Answer(*dlg, *dialogs, verb, line.section(u' ', 1));
        });
        rc = QApplication::exec();
    }
    ScriptedDialogs::uninstall();
    return rc;
}
