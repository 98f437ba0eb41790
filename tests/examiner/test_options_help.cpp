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
        SCOPED_TRACE(language.toStdString());
        dlg = std::make_unique<TOptionsF>(state);
        EXPECT_TRUE(dlg->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        dlg->NameEdit->setEditText("Exam"); // Save and Delete take the focus only when enabled
        dlg->UpdateSetButtons();

        const std::pair<QWidget*, const char*> cases[] = {
            {dlg->SaveOptionsBtn, "IDH_OptionsSave"}, {dlg->NameEdit->lineEdit(), "IDH_OptionsName"},
            {dlg->PrintBtn, "IDH_OptionsPrint"},      {dlg->DeleteOptionsBtn, "IDH_OptionsDelete"},
            {dlg->GivenVoprEd, "IDH_Options"},        {dlg.get(), "IDH_Options"}};
        for (const auto& [control, topic] : cases) {
            SCOPED_TRACE(topic);
            const QString want = language + "/" + topic;
            vxg::Help::instance().showContents();
            control->setFocus();
            QTest::keyClick(dlg->focusWidget() ? dlg->focusWidget() : dlg.get(), Qt::Key_F1);
            EXPECT_EQ(shownPage(), want) << "F1";

            vxg::Help::instance().showContents(); // the help button's click on the control
            QHelpEvent click(QEvent::WhatsThis, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(control, &click);
            EXPECT_EQ(shownPage(), want) << "help button";
        }
        dlg.reset();
    }
}

} // namespace
