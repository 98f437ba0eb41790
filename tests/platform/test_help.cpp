#include "Help.h"

#include "HelpWindowProbe.h"

#include <QDialog>
#include <QFile>
#include <QTextBrowser>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

QTextBrowser* browser() {
    QWidget* w = vxg::Help::instance().window();
    return w ? w->findChild<QTextBrowser*>() : nullptr;
}

class HelpTest : public ::testing::Test {
protected:
    vxg::Help& help = vxg::Help::instance();
    void SetUp() override {
        help.setLanguage(false);
        help.setHelpFile("VXG_HELP.HLP");
    }
};

} // namespace

TEST_F(HelpTest, PagesLiveUnderTheLanguageInForce) {
    EXPECT_EQ(help.pagePath("IDH_Ready"), ":/help/en/IDH_Ready.html");
    help.setLanguage(true);
    EXPECT_EQ(help.pagePath("IDH_Ready"), ":/help/ru/IDH_Ready.html");
    EXPECT_EQ(help.helpFile(), "VXG_HELP.HLP");
}

TEST_F(HelpTest, ATopicIsShownInOneHelpWindow) {
    ASSERT_TRUE(QFile::exists(":/help/en/PlatformTestPage.html"));
    EXPECT_EQ(help.showTopic("PlatformTestPage"), ":/help/en/PlatformTestPage.html");
    QWidget* window = help.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    ASSERT_NE(browser(), nullptr);
    EXPECT_TRUE(browser()->toPlainText().contains("English test page body."));
    EXPECT_EQ(window->windowTitle(), "Test page title");

    help.setLanguage(true);
    EXPECT_EQ(help.showTopic("PlatformTestPage"), ":/help/ru/PlatformTestPage.html");
    EXPECT_EQ(help.window(), window);
    EXPECT_TRUE(browser()->toPlainText().contains(QString::fromUtf8("Русская тестовая страница.")));
}

TEST_F(HelpTest, LinksBetweenPagesFollowWithinTheHelp) {
    help.showTopic("PlatformTestPage");
    ASSERT_NE(browser(), nullptr);
    browser()->setSource(QUrl("PlatformTestOther.html")); // as a click on the link does
    EXPECT_TRUE(browser()->toPlainText().contains("Reached by a relative link."));
}

TEST_F(HelpTest, AMissingTopicShowsAPageThatSaysSoInTheLanguageInForce) {
    EXPECT_EQ(help.showTopic("IDH_NoSuchTopic"), QString());
    ASSERT_NE(browser(), nullptr);
    EXPECT_TRUE(help.window()->isVisible());
    EXPECT_TRUE(browser()->toPlainText().contains("IDH_NoSuchTopic"));
    EXPECT_TRUE(browser()->toPlainText().contains("not found"));

    help.setLanguage(true);
    help.showTopic("<b>IDH_Other</b>");
    EXPECT_TRUE(browser()->toPlainText().contains(QString::fromUtf8("не найден")));
    EXPECT_TRUE(browser()->toPlainText().contains("<b>IDH_Other</b>")); // shown as text, not markup

    // A page that exists is shown again after a missing one.
    help.setLanguage(false);
    help.showTopic("PlatformTestPage");
    EXPECT_TRUE(browser()->toPlainText().contains("English test page body."));
}

TEST_F(HelpTest, TheSamePageComesBackAfterAMissingOne) {
    help.showTopic("PlatformTestPage");
    help.showTopic("IDH_NoSuchTopic");
    ASSERT_NE(browser(), nullptr);
    EXPECT_TRUE(browser()->toPlainText().contains("not found"));
    EXPECT_EQ(help.showTopic("PlatformTestPage"), ":/help/en/PlatformTestPage.html");
    EXPECT_TRUE(browser()->toPlainText().contains("English test page body."));
    EXPECT_EQ(help.window()->windowTitle(), "Test page title");
}

TEST_F(HelpTest, ContentsIsTheContentsTopic) {
    // The programs' own help carries a contents page in each language.
    EXPECT_EQ(help.showContents(), ":/help/en/contents.html");
    ASSERT_NE(browser(), nullptr);
    EXPECT_EQ(browser()->source(), QUrl("qrc:/help/en/contents.html"));
    EXPECT_FALSE(browser()->toPlainText().trimmed().isEmpty());

    help.setLanguage(true);
    EXPECT_EQ(help.showContents(), ":/help/ru/contents.html");
    EXPECT_EQ(browser()->source(), QUrl("qrc:/help/ru/contents.html"));
}

// Help asked for while a dialog runs modally is that dialog's window: in front of it and taking
// input. Afterwards help is a window of its own again; a dialog that goes takes its help along.
TEST_F(HelpTest, HelpFromAModalDialogIsItsWindowWhileItRuns) {
    auto dialog = std::make_unique<QDialog>();
    bool inFront = false, scrolls = false;
    QTimer::singleShot(0, dialog.get(), [&] {
        help.showContents();
        inFront = HelpShownAsWindowOf(dialog.get());
        scrolls = HelpScrollsByClick();
        dialog->reject();
    });
    dialog->exec();
    EXPECT_TRUE(inFront);
    EXPECT_TRUE(scrolls);

    help.showContents();
    EXPECT_TRUE(HelpShownAsWindowOf(nullptr));
    EXPECT_TRUE(HelpScrollsByClick());

    QTimer::singleShot(0, dialog.get(), [&] {
        help.showTopic("PlatformTestPage");
        dialog->reject();
    });
    dialog->exec();
    dialog.reset();
    EXPECT_EQ(help.window(), nullptr);
    EXPECT_EQ(help.showContents(), ":/help/en/contents.html");
    EXPECT_TRUE(HelpShownAsWindowOf(nullptr));
}
