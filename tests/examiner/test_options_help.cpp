// Help in the parameters dialog: F1 and the title bar's help button open the page of the
// control's help context (40 the dialog, 41 Save, 42 the name box, 43 Print, 44 Delete), in the
// language in force.
#include "OptionsU.h"

#include "Globals.h"
#include "Help.h"
#include "Registry.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The page the help window shows, as "<language>/<topic>"; empty when none.
QString shownPage() {
    QWidget* window = vxg::Help::instance().window();
    auto* browser = window ? window->findChild<QTextBrowser*>() : nullptr;
    if (!browser || !window->isVisible())
        return {};
    return browser->source().path().section(u'/', -2).chopped(5); // without ".html"
}

class OptionsHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(vxg::Registry::defaultFilePath());
        dialogs = ScriptedDialogs::install();
    }
    void TearDown() override {
        dlg.reset();
        if (QWidget* help = vxg::Help::instance().window())
            help->close();
        vxg::Help::instance().setLanguage(false);
        ScriptedDialogs::uninstall();
    }

    void useLanguage(quint16 offset) {
        LangOffset = offset;
        LoadLangStrings();
        vxg::Help::instance().setLanguage(offset == 0);
    }

    TExaminerState state;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<TOptionsF> dlg;
};

TEST_F(OptionsHelpTest, F1AndTheHelpButtonOpenThePageOfTheControlsContext) {
    for (const quint16 offset : {200, 0}) {
        useLanguage(offset);
        const QString language = offset == 0 ? "ru" : "en";
        dlg = std::make_unique<TOptionsF>(state);
        EXPECT_TRUE(dlg->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        dlg->NameEdit->setEditText("Exam"); // Save and Delete take the focus only when enabled
        dlg->UpdateSetButtons();

        struct Case {
            QWidget* control;
            int context;
            const char* topic;
        };
        const Case cases[] = {
            {dlg->SaveOptionsBtn, 41, "IDH_OptionsSave"},    {dlg->NameEdit->lineEdit(), 42, "IDH_OptionsName"},
            {dlg->PrintBtn, 43, "IDH_OptionsPrint"},         {dlg->DeleteOptionsBtn, 44, "IDH_OptionsDelete"},
            {dlg->GivenVoprEd, 40, "IDH_Options"},           {dlg.get(), 40, "IDH_Options"},
        };
        for (const Case& c : cases) {
            const std::string what = language.toStdString() + " " + c.topic;
            EXPECT_EQ(dlg->HelpContextOf(c.control), c.context) << what;
            ASSERT_TRUE(QFile::exists(QStringLiteral(":/help/%1/%2.html").arg(language, c.topic))) << what;

            vxg::Help::instance().showContents();
            c.control->setFocus();
            QTest::keyClick(dlg->focusWidget() ? dlg->focusWidget() : dlg.get(), Qt::Key_F1);
            EXPECT_EQ(shownPage(), language + "/" + c.topic) << "F1 " << what;

            // The help button's click on the control.
            vxg::Help::instance().showContents();
            const QPoint inside(2, 2);
            QHelpEvent click(QEvent::WhatsThis, inside, c.control->mapToGlobal(inside));
            QApplication::sendEvent(c.control, &click);
            EXPECT_EQ(shownPage(), language + "/" + c.topic) << "help button " << what;
        }
        dlg.reset();
    }
}

} // namespace
