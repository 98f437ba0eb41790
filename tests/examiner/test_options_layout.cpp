// The parameters dialog in both languages: every caption fits its control, nothing overlaps,
// F1 opens the help page of the language. With VXG_SHOTS_DIR set, each page is also saved as a
// picture for a look by eye.
#include "OptionsU.h"

#include "Globals.h"
#include "Help.h"
#include "Registry.h"
#include "ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

class OptionsLayoutTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        QFile::remove(vxg::Registry::defaultFilePath());
        ScriptedDialogs::install();
        LangOffset = static_cast<quint16>(GetParam());
        LoadLangStrings();
    }
    void TearDown() override {
        ScriptedDialogs::uninstall();
        LangOffset = 200;
        LoadLangStrings();
    }

    static QString where(const QWidget* w) { return w->objectName() + " \"" + textOf(w) + "\""; }

    static QString textOf(const QWidget* w) {
        if (const auto* label = qobject_cast<const QLabel*>(w))
            return label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            return button->text();
        if (const auto* group = qobject_cast<const QGroupBox*>(w))
            return group->title();
        return {};
    }

    // Every caption on the shown page gets at least the room it asks for.
    static void expectCaptionsFit(const QWidget* page) {
        for (const QWidget* w : page->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(page) || textOf(w).isEmpty())
                continue;
            const auto* label = qobject_cast<const QLabel*>(w);
            if (label && label->wordWrap()) {
                EXPECT_GE(w->height(), label->heightForWidth(w->width())) << qPrintable(where(w));
                continue;
            }
            if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
                const int titleWidth = group->fontMetrics().horizontalAdvance(group->title());
                EXPECT_GT(w->width(), titleWidth) << qPrintable(where(w));
                continue;
            }
            EXPECT_GE(w->width(), w->minimumSizeHint().width()) << qPrintable(where(w));
            EXPECT_GE(w->width(), w->sizeHint().width()) << qPrintable(where(w));
            EXPECT_GE(w->height(), w->minimumSizeHint().height()) << qPrintable(where(w));
        }
    }

    // Controls that sit side by side in one parent never cover each other.
    static void expectNoOverlap(const QWidget* parent) {
        QList<const QWidget*> shown;
        for (const QObject* o : parent->children()) {
            const auto* w = qobject_cast<const QWidget*>(o);
            if (w && !w->isWindow() && w->isVisibleTo(parent))
                shown << w;
        }
        for (qsizetype i = 0; i < shown.size(); ++i)
            for (qsizetype j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                    << qPrintable(where(shown[i])) << " / " << qPrintable(where(shown[j]));
        for (const QWidget* w : shown)
            expectNoOverlap(w);
    }

    static void saveShot(QWidget& dlg, const QString& name) {
        const QString dir = qEnvironmentVariable("VXG_SHOTS_DIR");
        if (dir.isEmpty())
            return;
        QDir().mkpath(dir);
        EXPECT_TRUE(dlg.grab().save(dir + "/" + name + ".png")) << qPrintable(name);
    }

    static void expectPagesFit(TOptionsF& dlg, const QString& language, bool shots) {
        for (int page = 0; page < dlg.PageControl->count(); ++page) {
            dlg.PageControl->setCurrentIndex(page);
            QCoreApplication::processEvents();
            SCOPED_TRACE(qPrintable(language + " page " + QString::number(page + 1)));
            expectCaptionsFit(&dlg);
            expectNoOverlap(&dlg);
            const QTabBar* tabs = dlg.PageControl->tabBar();
            for (int t = 0; t < tabs->count(); ++t)
                EXPECT_GE(tabs->tabRect(t).width(), tabs->fontMetrics().horizontalAdvance(tabs->tabText(t)));
            if (shots)
                saveShot(dlg, "options_" + language + "_tab" + QString::number(page + 1));
        }
    }
};

TEST_P(OptionsLayoutTest, EveryCaptionFitsOnBothPages) {
    TExaminerState state;
    TOptionsF dlg(state);
    state.EditOptions = state.ActiveOptions;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    expectPagesFit(dlg, GetParam() == 0 ? "ru" : "en", true);

    // The other language, switched while the dialog was hidden, takes effect at the next
    // showing and must fit the window sized for the first one.
    dlg.hide();
    LangOffset = GetParam() == 0 ? 200 : 0;
    LoadLangStrings();
    dlg.show();
    QCoreApplication::processEvents();
    expectPagesFit(dlg, GetParam() == 0 ? "en after ru" : "ru after en", false);
}

// F1 and the title bar's help button open the page of the control's help context (40 the
// dialog, 41 Save, 42 the name box, 43 Print, 44 Delete) in the language in force.
TEST_P(OptionsLayoutTest, F1AndTheHelpButtonOpenThePageOfTheControlsContext) {
    const QString language = GetParam() == 0 ? "ru" : "en";
    vxg::Help::instance().setLanguage(GetParam() == 0);
    auto shownPage = [] { // "<language>/<topic>" of the page shown; empty when none
        QWidget* window = vxg::Help::instance().window();
        auto* browser = window ? window->findChild<QTextBrowser*>() : nullptr;
        return browser && window->isVisible() ? browser->source().path().section(u'/', -2).chopped(5)
                                              : QString();
    };
    TExaminerState state;
    TOptionsF dlg(state);
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    dlg.NameEdit->setEditText("Exam"); // Save and Delete take the focus only when enabled
    dlg.UpdateSetButtons();
    const std::pair<QWidget*, const char*> cases[] = {
        {dlg.SaveOptionsBtn, "IDH_OptionsSave"}, {dlg.NameEdit->lineEdit(), "IDH_OptionsName"},
        {dlg.PrintBtn, "IDH_OptionsPrint"},      {dlg.DeleteOptionsBtn, "IDH_OptionsDelete"},
        {dlg.GivenVoprEd, "IDH_Options"},        {&dlg, "IDH_Options"}};
    for (const auto& [control, topic] : cases) {
        SCOPED_TRACE(topic);
        vxg::Help::instance().showContents();
        control->setFocus();
        QTest::keyClick(dlg.focusWidget() ? dlg.focusWidget() : &dlg, Qt::Key_F1);
        EXPECT_EQ(shownPage(), language + "/" + topic) << "F1";

        vxg::Help::instance().showContents(); // the help button's click on the control
        QHelpEvent click(QEvent::WhatsThis, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(control, &click);
        EXPECT_EQ(shownPage(), language + "/" + topic) << "help button";
    }
    vxg::Help::instance().window()->close();
    vxg::Help::instance().setLanguage(false);
}

INSTANTIATE_TEST_SUITE_P(Languages, OptionsLayoutTest, ::testing::Values(0, 200),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == 0 ? std::string("Russian") : std::string("English");
                         });

} // namespace
