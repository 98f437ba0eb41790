// The copy dialog alone, worked inside its modal loop: what every showing offers, the choices
// it refuses, its keys. What OK returns is used by the commands' tests.
#include "editor_fixture.h"

#include "LanguageTest.h"

namespace {

using vxg::DlgKind;

class CopyDlgTest : public LanguageTest {
protected:
    void SetUp() override {
        useLanguage(200);
        dialogs = ScriptedDialogs::install();
    }
    void TearDown() override {
        ScriptedDialogs::uninstall();
        LanguageTest::TearDown();
    }
    // Returns whether the drive left the dialog open.
    bool run(int mode, int count, const std::function<void()>& drive) {
        return DriveModal(dlg, [&] { dlg.ExecuteFor(mode, count); }, drive);
    }

    TCopyDlg dlg;
    ScriptedDialogs* dialogs = nullptr;
};

TEST_F(CopyDlgTest, EveryShowingStartsWithNoChoiceAndTheWholeTopicOffered) {
    struct Case {
        int mode, count, caption;
    };
    for (const Case c : {Case{TCopyDlg::CopyMode, 5, 84}, Case{TCopyDlg::CutMode, 7, 85}}) {
        run(c.mode, c.count, [&] {
            EXPECT_EQ(dlg.windowTitle(), lang(c.caption));
            EXPECT_FALSE(dlg.OneQueRB->isChecked() || dlg.RangeQuesRB->isChecked());
            EXPECT_FALSE(dlg.OkBtn->isEnabled() || dlg.BeginSpin->isEnabled() || dlg.EndSpin->isEnabled());
            EXPECT_EQ(dlg.BeginSpin->value(), 1);
            EXPECT_EQ(dlg.EndSpin->value(), c.count);
            EXPECT_EQ(dlg.BeginSpin->maximum(), c.count);
            // A choice and other numbers left behind for the next showing to reset.
            ClickRadio(dlg.RangeQuesRB);
            TypeNumber(dlg.BeginSpin, 3);
            EXPECT_TRUE(dlg.OkBtn->isEnabled());
        });
    }
}

// Every range that reaches copy or cut lies within the topic, and a cut leaves a question.
TEST_F(CopyDlgTest, RefusedChoicesKeepTheDialogOpenWithAReason) {
    const struct {
        const char* name;
        int mode, count, first, last;
        QString error;
    } cases[] = {
        {"3..3", TCopyDlg::CopyMode, 5, 3, 3, kCopyRangeOrderText},
        {"cut of all", TCopyDlg::CutMode, 5, 1, 5, lang(87)},
        {"cut of the only one", TCopyDlg::CutMode, 1, 0, 0, lang(87)},
        {"half-typed 0", TCopyDlg::CopyMode, 5, -1, 4, lang(86).arg(5)},
    };
    for (const auto& c : cases) {
        dialogs->boxes.clear();
        const bool leftOpen = run(c.mode, c.count, [&] {
            if (c.first >= 0)
                return ChooseAndOk(dlg, c.first, c.last);
            // A "0" still in the field when OK runs without the focus leaving it.
            ClickRadio(dlg.RangeQuesRB);
            TypeNumber(dlg.BeginSpin, 0);
            EXPECT_EQ(dlg.BeginSpin->cleanText(), "0");
            dlg.OkBtnClick();
        });
        EXPECT_TRUE(leftOpen) << c.name;
        EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{c.error}) << c.name;
        EXPECT_EQ(dlg.Choice(), (TQueChoice{0, 0})) << c.name;
    }
    // A one-question topic offers no range.
    run(TCopyDlg::CopyMode, 1, [&] { EXPECT_FALSE(dlg.RangeQuesRB->isEnabled()); });
}

TEST_F(CopyDlgTest, KeysOfTheRadioButtonsAndNumberFields) {
    EXPECT_FALSE(run(TCopyDlg::CopyMode, 5, [&] {
        // Enter on the range choice moves on to the first number, which refuses letters and Enter.
        ClickRadio(dlg.RangeQuesRB);
        QTest::keyClick(dlg.RangeQuesRB, Qt::Key_Return);
        dlg.BeginSpin->selectAll();
        QTest::keyClicks(dlg.BeginSpin, "x2y");
        EXPECT_EQ(dlg.BeginSpin->cleanText(), "2");
        QTest::keyClick(dlg.BeginSpin, Qt::Key_Return);
        EXPECT_TRUE(dlg.BeginSpin->hasFocus());
        // Enter on the shown-question choice moves to OK without pressing it.
        ClickRadio(dlg.OneQueRB);
        QTest::keyClick(dlg.OneQueRB, Qt::Key_Return);
        EXPECT_TRUE(dlg.OkBtn->hasFocus() && dlg.isVisible());
        QTest::keyClick(dlg.OkBtn, Qt::Key_Escape);
    }));
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

} // namespace
