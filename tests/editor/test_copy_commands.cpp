// Whole-question Copy, Cut and Paste through the real main window and topic windows; the copy
// dialog's own rules on the dialog alone, worked inside its modal loop.
#include "editor_fixture.h"

#include "QuesBuffer.h"

#include <QElapsedTimer>
#include <QMdiSubWindow>

namespace {

// A topic whose questions are named prefix + number: "A1", "A2", ...
TWorkQues Named(const QString& prefix, int count) {
    TWorkQues questions = MakeTopic(count);
    for (int k = 0; k < count; ++k)
        questions[k].QuestionText = prefix + QString::number(k + 1);
    return questions;
}

class CopyCommandsTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        QuesBuffer.clear();
        start();
    }
    void TearDown() override {
        QuesBuffer.clear();
        EditorTest::TearDown();
    }
    TTopicF* openNamed(const QString& prefix, int count, int shown = 0) {
        TTopicF* t = openWritten(prefix + ".vxg", Named(prefix, count));
        show(t, shown);
        return t;
    }
    void activate(TTopicF* topic) {
        for (QMdiSubWindow* sub : mdi().MdiArea->subWindowList())
            if (sub->widget() == topic)
                mdi().MdiArea->setActiveSubWindow(sub);
        ASSERT_EQ(mdi().ActiveTopic(), topic);
    }
    static void show(TTopicF* topic, int index) {
        topic->CurQue = index;
        topic->ShowCurQue();
    }
    // Copy or Cut as the user gives it, the dialog answered with a range (0: the shown question)
    // or worked by drive. Every showing starts with no choice and the whole topic offered.
    void command(QAction* action, int first, int last, std::function<void(TCopyDlg&)> drive = {}) {
        TCopyDlg& d = dlg();
        ASSERT_TRUE(reachIdle());
        ASSERT_TRUE(action->isEnabled());
        const int count = static_cast<int>(mdi().ActiveTopic()->Topic.Questions.size());
        DriveModal(
            d, [action] { action->trigger(); },
            [&] {
                EXPECT_EQ(d.windowTitle(), text(action == mdi().CutQuesAction ? 85 : 84));
                EXPECT_FALSE(d.OneQueRB->isChecked() || d.RangeQuesRB->isChecked() || d.OkBtn->isEnabled());
                // A range has two numbers at least: 1..2 in a one-question topic, where it is disabled.
                EXPECT_EQ(std::pair(d.BeginSpin->value(), d.EndSpin->value()),
                          std::pair(1, std::max(count, 2)));
                EXPECT_EQ(d.BeginSpin->maximum(), count);
                drive ? drive(d) : ChooseAndOk(d, first, last);
            });
    }
    void paste() {
        ASSERT_TRUE(reachIdle());
        ASSERT_TRUE(mdi().PasteQuesAction->isEnabled());
        mdi().PasteQuesAction->trigger();
    }
    TCopyDlg& dlg() { return *editor->CopyDlg(); }
    // The dialog alone; returns whether the drive left it open.
    bool run(int mode, int count, const std::function<void()>& drive) {
        return DriveModal(
            dlg(), [&] { dlg().ExecuteFor(mode, count); }, drive);
    }
    static void append(QLineEdit* field, const QString& text) {
        field->end(false);
        Type(field, text);
    }
};

TEST_F(CopyCommandsTest, ARangeOfOneTopicPastedTwiceBeforeTheShownQuestionOfAnother) {
    TTopicF* a = openNamed("A", 5, 4);
    TTopicF* b = openNamed("B", 3);
    activate(a);
    command(mdi().CopyQuesAction, 2, 4);
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A2", "A3", "A4"}));

    activate(b);
    paste();
    EXPECT_EQ(Texts(b->Topic.Questions), QStringList({"A2", "A3", "A4", "B1", "B2", "B3"}));
    EXPECT_EQ(b->Topic.Questions.at(0), Named("A", 5).at(1)); // whole questions
    EXPECT_EQ(b->SamVoprosEdit->text(), "A2");
    EXPECT_EQ(b->PosLabel->text(), "Question 1-th from 6");
    EXPECT_TRUE(b->Topic.Modified);
    EXPECT_EQ(a->Topic.Questions, Named("A", 5));
    EXPECT_FALSE(a->Topic.Modified);

    show(b, 3);
    paste();
    EXPECT_EQ(Texts(b->Topic.Questions), QStringList({"A2", "A3", "A4", "A2", "A3", "A4", "B1", "B2", "B3"}));
    EXPECT_EQ(b->PosLabel->text(), "Question 4-th from 9");
}

TEST_F(CopyCommandsTest, CutRemovesTheChoiceAndShowsTheQuestionAfterIt) {
    const struct {
        int first, last, shownBefore;
        QStringList left;
        QString shown;
    } cases[] = {
        {2, 3, 4, {"C1", "C4", "C5"}, "C4"},
        {4, 5, 1, {"C1", "C2", "C3"}, "C3"},
        {0, 0, 4, {"C1", "C2", "C3", "C4"}, "C4"}, // the shown one, the last
    };
    for (const auto& c : cases) {
        TTopicF* t = openNamed("C", 5, c.shownBefore);
        command(mdi().CutQuesAction, c.first, c.last);
        EXPECT_EQ(Texts(t->Topic.Questions), c.left) << c.first << ".." << c.last;
        EXPECT_EQ(t->SamVoprosEdit->text(), c.shown) << c.first << ".." << c.last;
        EXPECT_EQ(QuesBuffer.size(), 5 - c.left.size());
        EXPECT_TRUE(t->Topic.Modified);
        EXPECT_TRUE(dialogs->boxes.isEmpty()); // no confirmation as Delete asks
        t->Topic.Modified = false;
        mdi().CloseTopicAction->trigger();
    }
}

TEST_F(CopyCommandsTest, ACopyIsPastedAfterItsWindowClosedAndNewFollows) {
    openNamed("A", 3, 1);
    command(mdi().CopyQuesAction, 0, 0);
    mdi().CloseTopicAction->trigger();
    ASSERT_TRUE(reachIdle());
    EXPECT_FALSE(mdi().PasteQuesAction->isVisible()); // no window: Ctrl+Alt+V does nothing

    TTopicF* b = newTopic("new.vxg");
    ASSERT_TRUE(reachIdle());
    EXPECT_FALSE(b->NewQueA->isEnabled()); // one blank question
    paste();
    EXPECT_EQ(Texts(b->Topic.Questions), QStringList({"A2", ""}));
    // New is enabled whenever the topic has more than one question.
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(b->NewQueA->isEnabled());
}

TEST_F(CopyCommandsTest, TheCommandsWorkOnWhatTheTeacherSees) {
    TTopicF* a = openNamed("A", 3, 2);
    TTopicF* b = openNamed("B", 2, 1);
    // An edit of the shown question not yet stored is what is copied.
    activate(a);
    append(a->SamVoprosEdit, " edited");
    command(mdi().CopyQuesAction, 0, 0);
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A3 edited"}));

    // An edit of the question shown where the paste goes follows the pasted ones.
    activate(b);
    append(b->Otv1Edit, "!");
    paste();
    EXPECT_EQ(Texts(b->Topic.Questions), QStringList({"B1", "A3 edited", "B2"}));
    EXPECT_EQ(b->Topic.Questions.at(2).Answer1, Named("B", 2).at(1).Answer1 + "!");

    // A cut of the shown question takes it as it is shown.
    show(b, 0);
    append(b->SamVoprosEdit, "+");
    command(mdi().CutQuesAction, 0, 0);
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"B1+"}));
    EXPECT_EQ(Texts(b->Topic.Questions), QStringList({"A3 edited", "B2"}));
}

// Every range that reaches copy or cut lies within the topic and a cut leaves a question: the
// dialog refuses any other and stays open, and Cancel afterwards changes nothing.
TEST_F(CopyCommandsTest, RefusedChoicesKeepTheDialogOpenAndCancelChangesNothing) {
    const struct {
        const char* name;
        bool cut;
        int count, first, last;
        QString error;
    } cases[] = {
        {"3..3", false, 5, 3, 3, kCopyRangeOrderText},
        {"cut of all", true, 5, 1, 5, text(87)},
        {"cut of the only one", true, 1, 0, 0, text(87)},
        {"half-typed 0", false, 5, -1, 4, text(86).arg(5)},
    };
    for (const auto& c : cases) {
        dialogs->boxes.clear();
        TTopicF* t = openNamed("A", c.count);
        command(c.cut ? mdi().CutQuesAction : mdi().CopyQuesAction, 0, 0, [&](TCopyDlg& d) {
            if (c.first >= 0) {
                ChooseAndOk(d, c.first, c.last);
            } else { // a "0" still in the field when OK runs without the focus leaving it
                ClickRadio(d.RangeQuesRB);
                TypeNumber(d.BeginSpin, 0);
                EXPECT_EQ(d.BeginSpin->cleanText(), "0");
                d.OkBtnClick();
            }
            EXPECT_TRUE(d.isVisible()) << c.name;
            QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
        });
        EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{c.error}) << c.name;
        EXPECT_TRUE(QuesBuffer.isEmpty()) << c.name;
        EXPECT_EQ(t->Topic.Questions, Named("A", c.count)) << c.name;
        EXPECT_FALSE(t->Topic.Modified) << c.name;
        EXPECT_FALSE(mdi().PasteQuesAction->isEnabled()) << c.name;
    }
    // A one-question topic offers no range.
    run(TCopyDlg::CopyMode, 1, [&] { EXPECT_FALSE(dlg().RangeQuesRB->isEnabled()); });
}

// Minimised, the active topic still drives Save and the status panel.
TEST_F(CopyCommandsTest, APasteIntoTheMinimisedActiveTopicShowsItModified) {
    openNamed("A", 2);
    openNamed("B", 2);
    command(mdi().CopyQuesAction, 0, 0);
    mdi().WindowMinimizeAll1->trigger();
    TTopicF* active = mdi().ActiveTopic();
    ASSERT_TRUE(active && mdi().MdiArea->activeSubWindow()->isMinimized());
    paste();
    ASSERT_TRUE(active->Topic.Modified);
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(mdi().FileSave1->isEnabled());
    EXPECT_EQ(mdi().StatusPanel1->text(), text(39));
}

// Many questions are cut or pasted in one pass, with the question shown once: question by
// question, tens of thousands took many seconds.
TEST_F(CopyCommandsTest, ManyQuestionsAreCutAndPastedInOnePass) {
    constexpr int kMany = 30000;
    const QString last = QStringLiteral("M%1").arg(kMany + 2);
    TTopicF* t = newTopic("many.vxg");
    t->Topic.Questions = Named("M", kMany + 2);
    show(t, 0);
    QSignalSpy shown(t->SamVoprosEdit, &QLineEdit::textChanged);
    command(mdi().CutQuesAction, 2, kMany + 1);
    EXPECT_EQ(Texts(t->Topic.Questions), QStringList({"M1", last}));
    EXPECT_EQ(shown.count(), 1);

    paste(); // before the last question: the topic as it was
    show(t, 0);
    ASSERT_TRUE(reachIdle());
    QElapsedTimer timer;
    timer.start();
    mdi().PasteQuesAction->trigger(); // before the first: every question moves
    EXPECT_LT(timer.elapsed(), 3000);
    ASSERT_EQ(t->Topic.Questions.size(), 2 * kMany + 2);
    EXPECT_EQ(t->Topic.Questions.at(kMany - 1).QuestionText, QStringLiteral("M%1").arg(kMany + 1));
    EXPECT_EQ(Texts(t->Topic.Questions.sliced(kMany)).mid(0, 2), QStringList({"M1", "M2"}));
    EXPECT_EQ(t->Topic.Questions.last().QuestionText, last);
}

TEST_F(CopyCommandsTest, KeysOfTheRadioButtonsAndNumberFields) {
    EXPECT_FALSE(run(TCopyDlg::CopyMode, 5, [&] {
        // Enter on the range choice moves on to the first number, which refuses letters and Enter.
        ClickRadio(dlg().RangeQuesRB);
        QTest::keyClick(dlg().RangeQuesRB, Qt::Key_Return);
        dlg().BeginSpin->selectAll();
        QTest::keyClicks(dlg().BeginSpin, "x2y");
        EXPECT_EQ(dlg().BeginSpin->cleanText(), "2");
        QTest::keyClick(dlg().BeginSpin, Qt::Key_Return);
        EXPECT_TRUE(dlg().BeginSpin->hasFocus());
        // Enter on the shown-question choice moves to OK without pressing it.
        ClickRadio(dlg().OneQueRB);
        QTest::keyClick(dlg().OneQueRB, Qt::Key_Return);
        EXPECT_TRUE(dlg().OkBtn->hasFocus() && dlg().isVisible());
        QTest::keyClick(dlg().OkBtn, Qt::Key_Escape);
    }));
    EXPECT_EQ(dlg().result(), QDialog::Rejected);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

} // namespace
