#include "Error.h"
#include "ErrorGuard.h"
#include "ScriptedDialogs.h"

#include <QAction>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ErrorGuardTest : public ::testing::Test {
protected:
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    void TearDown() override { ScriptedDialogs::uninstall(); }
};

} // namespace

TEST_F(ErrorGuardTest, OurErrorIsShownWithItsTextInAnErrorBoxWithOk) {
    const bool ok = vxg::RunGuarded([] { throw vxg::Error("Failed to get data for 'GivenVopr'"); });
    EXPECT_FALSE(ok);
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].kind, vxg::DlgKind::Error);
    EXPECT_EQ(dialogs->boxes[0].buttons, vxg::DlgButtons::Ok);
    EXPECT_EQ(dialogs->boxes[0].text, "Failed to get data for 'GivenVopr'");
}

TEST_F(ErrorGuardTest, StandardAndUnknownExceptionsAreShownToo) {
    EXPECT_FALSE(vxg::RunGuarded([] { throw std::runtime_error("Read beyond end of file"); }));
    EXPECT_FALSE(vxg::RunGuarded([] { throw vxg::Error(QString::fromUtf8("Ошибка чтения")); }));
    EXPECT_FALSE(vxg::RunGuarded([] { throw 42; }));
    ASSERT_EQ(dialogs->texts(vxg::DlgKind::Error).size(), 3);
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error)[0], "Read beyond end of file");
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error)[1], QString::fromUtf8("Ошибка чтения"));
    EXPECT_FALSE(dialogs->texts(vxg::DlgKind::Error)[2].isEmpty());
}

TEST_F(ErrorGuardTest, AHandlerThatSucceedsShowsNothing) {
    int runs = 0;
    EXPECT_TRUE(vxg::RunGuarded([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

TEST_F(ErrorGuardTest, AGuardedSlotGetsTheSignalsArgumentsAndKeepsExceptionsInside) {
    QAction action;
    action.setCheckable(true);
    bool seen = false;
    QObject::connect(&action, &QAction::toggled, vxg::Guarded([&](bool checked) {
        seen = checked;
        throw vxg::Error("Failed to set data for 'LangN'");
    }));
    action.toggle(); // an exception leaving here would end the test program
    EXPECT_TRUE(seen);
    EXPECT_EQ(dialogs->allTexts(), QStringList{"Failed to set data for 'LangN'"});
}

TEST_F(ErrorGuardTest, TheDefaultErrorBoxIsAnErrorBoxWithOk) {
    vxg::ShowDefaultErrorBox("Printing in progress");
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].kind, vxg::DlgKind::Error);
    EXPECT_EQ(dialogs->boxes[0].buttons, vxg::DlgButtons::Ok);
    EXPECT_EQ(dialogs->boxes[0].text, "Printing in progress");
}
