// The examiner beside a test of the question editor: the examiner's parameters dialog on the
// same settings file (the environment the test passes on), worked through one command per line
// on standard input. Each command answers with what the dialog shows and the boxes it showed,
// then "ok":
//   show | hide | choose <entry> | type <name> | set <questions per card> | save | delete | quit
//   -> "list a|b|c", "name <text>", "given <n>", "box <kind> <text, line breaks as \n>", "ok"
#include "ExaminerState.h"
#include "Globals.h"
#include "OptionsU.h"
#include "ScriptedDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <iostream>
#include <string>

namespace {

void Choose(TOptionsF& dlg, const QString& entry) {
    QComboBox* combo = dlg.NameEdit;
    const int row = combo->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (row < 0)
        return;
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(row, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
}

void Type(TOptionsF& dlg, const QString& text) {
    QLineEdit* edit = dlg.NameEdit->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void Report(const TOptionsF& dlg, const ScriptedDialogs& dialogs) {
    QStringList entries;
    for (int i = 0; i < dlg.NameEdit->count(); ++i)
        entries << dlg.NameEdit->itemText(i);
    std::cout << "list " << entries.join(u'|').toStdString() << '\n';
    std::cout << "name " << dlg.NameEdit->currentText().toStdString() << '\n';
    std::cout << "given " << dlg.GivenVoprEd->value() << '\n';
    for (const ScriptedDialogs::Box& box : dialogs.boxes) {
        QString text = box.text;
        text.replace(u'\n', QStringLiteral("\\n"));
        std::cout << "box " << static_cast<int>(box.kind) << ' ' << text.toStdString() << '\n';
    }
    std::cout << "ok" << std::endl;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LangOffset = 200;
    LoadLangStrings();
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    TExaminerState state;
    TOptionsF dlg(state);

    std::string line;
    while (std::getline(std::cin, line)) {
        const QString command = QString::fromStdString(line);
        const QString verb = command.section(u' ', 0, 0);
        const QString argument = command.section(u' ', 1);
        dialogs->boxes.clear();
        if (verb == QLatin1String("quit"))
            break;
        if (verb == QLatin1String("show")) {
            state.EditOptions = state.ActiveOptions; // as the Options command hands it in
            dlg.show();
            (void)QTest::qWaitForWindowExposed(&dlg);
        } else if (verb == QLatin1String("hide")) {
            dlg.reject();
        } else if (verb == QLatin1String("choose")) {
            Choose(dlg, argument);
        } else if (verb == QLatin1String("type")) {
            Type(dlg, argument);
        } else if (verb == QLatin1String("set")) {
            dlg.GivenVoprEd->setValue(argument.toInt());
        } else if (verb == QLatin1String("save")) {
            QTest::mouseClick(dlg.SaveOptionsBtn, Qt::LeftButton);
        } else if (verb == QLatin1String("delete")) {
            dialogs->answerNext(vxg::DlgResult::Yes);
            QTest::mouseClick(dlg.DeleteOptionsBtn, Qt::LeftButton);
            dialogs->answers.clear();
        }
        QCoreApplication::processEvents();
        Report(dlg, *dialogs);
    }
    dlg.hide();
    ScriptedDialogs::uninstall();
    return 0;
}
