// The copy dialog driven offscreen inside its own modal loop, with scripted boxes.
#include "CopyDlgU.h"

#include "Globals.h"
#include "LanguageTest.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

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

    // Runs ExecuteFor; drive works the dialog from inside its modal loop. A drive that leaves
    // the dialog open is noted in stillOpen and the dialog is cancelled.
    int run(int mode, int count, const std::function<void()>& drive) {
        bool driven = false;
        stillOpen = false;
        QTimer::singleShot(0, &dlg, [&] {
            driven = true;
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
            drive();
            if (dlg.isVisible()) {
                stillOpen = true;
                dlg.reject();
            }
        });
        const int result = dlg.ExecuteFor(mode, count);
        EXPECT_TRUE(driven);
        return result;
    }

    // A radio button takes clicks on its circle and its text only.
    static void click(QRadioButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    void chooseRange(int first, int last) {
        click(dlg.RangeQuesRB);
        typeNumber(dlg.BeginSpin, first);
        typeNumber(dlg.EndSpin, last);
    }
    static void typeNumber(QSpinBox* spin, int value) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, QString::number(value));
    }
    void pressOk() { QTest::mouseClick(dlg.OkBtn, Qt::LeftButton); }

    TCopyDlg dlg;
    ScriptedDialogs* dialogs = nullptr;
    bool stillOpen = false;
};

TEST_F(CopyDlgTest, EveryShowingStartsWithNoChoiceAndTheWholeTopicOffered) {
    struct Case {
        int mode;
        int count;
        int caption;
    };
    for (const Case c : {Case{TCopyDlg::CopyMode, 5, 84}, Case{TCopyDlg::CutMode, 7, 85}}) {
        run(c.mode, c.count, [&] {
            EXPECT_EQ(dlg.windowTitle(), lang(c.caption));
            EXPECT_FALSE(dlg.OneQueRB->isChecked());
            EXPECT_FALSE(dlg.RangeQuesRB->isChecked());
            EXPECT_TRUE(dlg.OneQueRB->hasFocus());
            EXPECT_FALSE(dlg.OkBtn->isEnabled());
            EXPECT_FALSE(dlg.BeginSpin->isEnabled());
            EXPECT_FALSE(dlg.EndSpin->isEnabled());
            EXPECT_EQ(dlg.BeginSpin->value(), 1);
            EXPECT_EQ(dlg.EndSpin->value(), c.count);
            EXPECT_EQ(dlg.BeginSpin->maximum(), c.count);
            EXPECT_EQ(dlg.EndSpin->minimum(), 2);
            // Leave a choice and other numbers behind for the next showing to reset.
            chooseRange(3, 4);
            EXPECT_TRUE(dlg.OkBtn->isEnabled());
        });
        EXPECT_TRUE(stillOpen);
    }
    // Any other mode leaves the last caption.
    run(7, 3, [&] { EXPECT_EQ(dlg.windowTitle(), lang(85)); });
}

TEST_F(CopyDlgTest, OkReturnsTheChoice) {
    EXPECT_EQ(run(TCopyDlg::CopyMode, 6, [&] {
                  chooseRange(2, 4);
                  pressOk();
              }),
              QDialog::Accepted);
    EXPECT_EQ(dlg.Choice(), (TQueChoice{2, 4}));
    EXPECT_FALSE(dlg.OneQueRB->isChecked());

    EXPECT_EQ(run(TCopyDlg::CutMode, 6, [&] {
                  chooseRange(2, 4);
                  click(dlg.OneQueRB);
                  EXPECT_FALSE(dlg.BeginSpin->isEnabled());
                  pressOk();
              }),
              QDialog::Accepted);
    EXPECT_EQ(dlg.Choice(), (TQueChoice{0, 0}));
    EXPECT_TRUE(dlg.OneQueRB->isChecked());
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

TEST_F(CopyDlgTest, EqualNumbersAreRefusedAndCancelChangesNothing) {
    const int result = run(TCopyDlg::CopyMode, 5, [&] {
        chooseRange(3, 3);
        pressOk();
        ASSERT_TRUE(dlg.isVisible());
        ASSERT_EQ(dialogs->boxes.size(), 1);
        EXPECT_EQ(dialogs->boxes.at(0).kind, DlgKind::Error);
        EXPECT_EQ(dialogs->boxes.at(0).text, kCopyRangeOrderText);
        QTest::mouseClick(dlg.BitBtn2, Qt::LeftButton);
    });
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(dlg.Choice(), (TQueChoice{0, 0}));
}

TEST_F(CopyDlgTest, AOneQuestionTopicOffersNoRangeAndCannotBeCut) {
    EXPECT_EQ(run(TCopyDlg::CopyMode, 1, [&] {
                  EXPECT_FALSE(dlg.RangeQuesRB->isEnabled());
                  click(dlg.OneQueRB);
                  pressOk();
              }),
              QDialog::Accepted);

    run(TCopyDlg::CutMode, 1, [&] {
        click(dlg.OneQueRB);
        pressOk();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(87)}));

    // Two questions offer the range again.
    run(TCopyDlg::CopyMode, 2, [&] { EXPECT_TRUE(dlg.RangeQuesRB->isEnabled()); });
}

TEST_F(CopyDlgTest, ACutOfEveryQuestionIsRefused) {
    const int result = run(TCopyDlg::CutMode, 5, [&] {
        chooseRange(1, 5);
        pressOk();
        ASSERT_TRUE(dlg.isVisible());
        typeNumber(dlg.EndSpin, 4);
        pressOk();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(87)}));
    EXPECT_EQ(dlg.Choice(), (TQueChoice{1, 4}));
}

TEST_F(CopyDlgTest, ANumberOutsideTheTopicNeverReachesTheChoice) {
    run(TCopyDlg::CopyMode, 5, [&] {
        chooseRange(2, 4);
        // A half-typed "0" is still in the field when OK runs without the focus leaving it.
        dlg.BeginSpin->setFocus();
        dlg.BeginSpin->selectAll();
        QTest::keyClick(dlg.BeginSpin, Qt::Key_0);
        ASSERT_EQ(dlg.BeginSpin->cleanText(), "0");
        dlg.OkBtnClick();
        EXPECT_TRUE(dlg.isVisible());
    });
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(86).arg(5)}));
    EXPECT_EQ(dlg.Choice(), (TQueChoice{0, 0}));
}

TEST_F(CopyDlgTest, KeysOfTheRadioButtonsAndNumberFields) {
    run(TCopyDlg::CopyMode, 5, [&] {
        // Enter on the range choice moves on to the first number; the dialog stays open.
        click(dlg.RangeQuesRB);
        QTest::keyClick(dlg.RangeQuesRB, Qt::Key_Return);
        EXPECT_TRUE(dlg.BeginSpin->hasFocus());

        // The number fields refuse letters and Enter; digits go in.
        dlg.BeginSpin->selectAll();
        QTest::keyClicks(dlg.BeginSpin, "x2y");
        EXPECT_EQ(dlg.BeginSpin->cleanText(), "2");
        QTest::keyClick(dlg.BeginSpin, Qt::Key_Return);
        QTest::keyClick(dlg.BeginSpin, Qt::Key_Enter);
        EXPECT_TRUE(dlg.BeginSpin->hasFocus());
        EXPECT_TRUE(dlg.isVisible());

        // Enter on the current-question choice moves to OK without pressing it.
        click(dlg.OneQueRB);
        QTest::keyClick(dlg.OneQueRB, Qt::Key_Return);
        EXPECT_TRUE(dlg.OkBtn->hasFocus());
        EXPECT_TRUE(dlg.isVisible());

        QTest::keyClick(dlg.OkBtn, Qt::Key_Escape);
        EXPECT_FALSE(dlg.isVisible());
    });
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

} // namespace
