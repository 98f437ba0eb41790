// Whole-question Copy, Cut and Paste through the real main window and topic windows, the copy
// dialog worked from inside its modal loop.
#include "editor_fixture.h"

#include "CopyDlgU.h"
#include "QuestionFile.h"
#include "QuesBuffer.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

using namespace testfiles;

namespace {

// A topic whose questions are named prefix + number: "A1", "A2", ...
TWorkQues Named(const QString& prefix, int count) {
    TWorkQues questions;
    for (int k = 1; k <= count; ++k) {
        TQuestion q = MakeQuestion(k);
        q.QuestionText = prefix + QString::number(k);
        questions.append(q);
    }
    return questions;
}

QStringList Texts(const TWorkQues& questions) {
    QStringList out;
    for (const TQuestion& q : questions)
        out << q.QuestionText;
    return out;
}

class CopyCommandsTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        QuesBuffer.clear();
        storeLanguage(200);
        start();
    }
    void TearDown() override {
        QuesBuffer.clear();
        EditorTest::TearDown();
    }

    // Opens a topic file holding questions named prefix + number.
    TTopicF* openNamed(const QString& prefix, int count) {
        const QString file = path(prefix + ".vxg");
        WriteQuestionFile(file, Named(prefix, count));
        return openTopic(file);
    }
    void activate(TTopicF* topic) {
        for (QMdiSubWindow* sub : mdi().MdiArea->subWindowList())
            if (sub->widget() == topic)
                mdi().MdiArea->setActiveSubWindow(sub);
        ASSERT_EQ(mdi().ActiveTopic(), topic);
    }
    void show(TTopicF* topic, int index) {
        topic->CurQue = index;
        topic->ShowCurQue();
    }

    // Runs a whole-question command; drive works the copy dialog from inside its modal loop.
    // A drive that leaves it open gets it cancelled.
    void runCommand(QAction* action, const std::function<void(TCopyDlg&)>& drive) {
        TCopyDlg& dlg = *editor->CopyDlg();
        ASSERT_TRUE(reachIdle());
        ASSERT_TRUE(action->isEnabled());
        bool driven = false;
        QTimer::singleShot(0, &dlg, [&] {
            driven = true;
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
            drive(dlg);
            if (dlg.isVisible())
                dlg.reject();
        });
        action->trigger();
        EXPECT_TRUE(driven);
    }
    static void click(QRadioButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    static void chooseRange(TCopyDlg& dlg, int first, int last) {
        click(dlg.RangeQuesRB);
        for (auto [spin, value] : {std::pair{dlg.BeginSpin, first}, std::pair{dlg.EndSpin, last}}) {
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(value));
        }
    }
    void copyRange(QAction* action, int first, int last) {
        runCommand(action, [&](TCopyDlg& dlg) {
            chooseRange(dlg, first, last);
            QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
        });
    }
    void copyCurrent(QAction* action) {
        runCommand(action, [&](TCopyDlg& dlg) {
            click(dlg.OneQueRB);
            QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
        });
    }
    // Types at the end of a field's text.
    static void append(QLineEdit* field, const QString& text) {
        field->end(false);
        type(field, text);
    }
    void paste() {
        ASSERT_TRUE(reachIdle());
        ASSERT_TRUE(mdi().PasteQuesAction->isEnabled());
        mdi().PasteQuesAction->trigger();
    }
};

TEST_F(CopyCommandsTest, ARangeOfOneTopicPastedBeforeTheShownQuestionOfAnother) {
    TTopicF* a = openNamed("A", 5);
    TTopicF* b = openNamed("B", 3);
    EXPECT_FALSE(mdi().PasteQuesAction->isEnabled());

    activate(a);
    show(a, 4);
    copyRange(mdi().CopyQuesAction, 2, 4);
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A2", "A3", "A4"}));
    EXPECT_TRUE(mdi().PasteQuesAction->isEnabled());

    activate(b);
    paste();
    EXPECT_EQ(Texts(b->Topic.Questions), QStringList({"A2", "A3", "A4", "B1", "B2", "B3"}));
    EXPECT_EQ(b->Topic.Questions.at(0), Named("A", 5).at(1)); // whole questions
    EXPECT_EQ(b->CurQue, 0);
    EXPECT_EQ(b->SamVoprosEdit->text(), "A2");
    EXPECT_EQ(b->PosLabel->text(), "Question 1-th from 6");
    EXPECT_TRUE(b->Topic.Modified);
    EXPECT_EQ(Texts(a->Topic.Questions), QStringList({"A1", "A2", "A3", "A4", "A5"}));
    EXPECT_FALSE(a->Topic.Modified);
    EXPECT_EQ(a->CurQue, 4);

    // The buffer stays: pasting again inserts the same questions once more.
    show(b, 3);
    paste();
    EXPECT_EQ(Texts(b->Topic.Questions),
              QStringList({"A2", "A3", "A4", "A2", "A3", "A4", "B1", "B2", "B3"}));
    EXPECT_EQ(b->PosLabel->text(), "Question 4-th from 9");
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(mdi().TopicModified);
}

TEST_F(CopyCommandsTest, CutRemovesTheRangeAndShowsTheQuestionAfterIt) {
    const struct {
        int first, last, shownBefore;
        QStringList left;
        QString label;
        QString shown;
    } cases[] = {
        {2, 3, 4, {"C1", "C4", "C5"}, "Question 2-th from 3", "C4"},
        {2, 3, 0, {"C1", "C4", "C5"}, "Question 2-th from 3", "C4"},
        {4, 5, 1, {"C1", "C2", "C3"}, "Question 3-th from 3", "C3"},
        {0, 0, 4, {"C1", "C2", "C3", "C4"}, "Question 4-th from 4", "C4"}, // the shown one
        {0, 0, 1, {"C1", "C3", "C4", "C5"}, "Question 2-th from 4", "C3"},
    };
    for (const auto& c : cases) {
        TTopicF* t = openNamed("C", 5);
        show(t, c.shownBefore);
        if (c.first == 0)
            copyCurrent(mdi().CutQuesAction);
        else
            copyRange(mdi().CutQuesAction, c.first, c.last);
        EXPECT_EQ(Texts(t->Topic.Questions), c.left) << c.first << ".." << c.last;
        EXPECT_EQ(t->PosLabel->text(), c.label) << c.first << ".." << c.last;
        EXPECT_EQ(t->SamVoprosEdit->text(), c.shown) << c.first << ".." << c.last;
        EXPECT_TRUE(t->Topic.Modified);
        EXPECT_EQ(QuesBuffer.size(), c.first == 0 ? 1 : c.last - c.first + 1);
        EXPECT_TRUE(mdi().PasteQuesAction->isEnabled());
        EXPECT_TRUE(dialogs->boxes.isEmpty()); // no confirmation as Delete asks
        t->Topic.Modified = false;
        mdi().CloseTopicAction->trigger();
    }
}

TEST_F(CopyCommandsTest, ARefusedRangeThenCancelChangesNothing) {
    TTopicF* t = openNamed("A", 5);
    runCommand(mdi().CopyQuesAction, [&](TCopyDlg& dlg) {
        chooseRange(dlg, 3, 3);
        QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
        EXPECT_TRUE(dlg.isVisible());
        QTest::mouseClick(dlg.BitBtn2, Qt::LeftButton);
    });
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList({kCopyRangeOrderText}));
    EXPECT_TRUE(QuesBuffer.isEmpty());
    EXPECT_FALSE(mdi().PasteQuesAction->isEnabled());

    // A cut of the whole topic is refused too, and Cancel leaves the topic whole.
    runCommand(mdi().CutQuesAction, [&](TCopyDlg& dlg) {
        chooseRange(dlg, 1, 5);
        QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
        EXPECT_TRUE(dlg.isVisible());
        dlg.BitBtn2->click();
    });
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error).size(), 2);
    EXPECT_EQ(Texts(t->Topic.Questions), Texts(Named("A", 5)));
    EXPECT_FALSE(t->Topic.Modified);
    EXPECT_TRUE(QuesBuffer.isEmpty());
}

TEST_F(CopyCommandsTest, ACopyIsPastedAfterItsWindowClosed) {
    TTopicF* a = openNamed("A", 3);
    show(a, 1);
    copyCurrent(mdi().CopyQuesAction);
    mdi().CloseTopicAction->trigger();
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(mdi().Topics().isEmpty());
    EXPECT_FALSE(mdi().PasteQuesAction->isVisible()); // hidden, so Ctrl+Alt+V does nothing

    TTopicF* b = newTopic("new.vxg");
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(mdi().PasteQuesAction->isVisible());
    EXPECT_TRUE(mdi().PasteQuesAction->isEnabled());
    EXPECT_FALSE(b->NewQueA->isEnabled()); // one blank question
    paste();
    EXPECT_EQ(Texts(b->Topic.Questions), QStringList({"A2", ""}));
    // New is enabled whenever the topic has more than one question.
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(b->NewQueA->isEnabled());
}

TEST_F(CopyCommandsTest, TheCommandsWorkOnWhatTheTeacherSees) {
    TTopicF* a = openNamed("A", 3);
    TTopicF* b = openNamed("B", 2);

    // An edit of the shown question not yet stored is what is copied.
    activate(a);
    show(a, 2);
    append(a->SamVoprosEdit, " edited");
    copyCurrent(mdi().CopyQuesAction);
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A3 edited"}));

    // An edit of the question shown where the paste goes is kept: it follows the pasted ones.
    activate(b);
    show(b, 1);
    append(b->Otv1Edit, "!");
    paste();
    EXPECT_EQ(Texts(b->Topic.Questions), QStringList({"B1", "A3 edited", "B2"}));
    EXPECT_EQ(b->Topic.Questions.at(2).Answer1, Named("B", 2).at(1).Answer1 + "!");

    // A cut of the current question takes it as it is shown.
    show(b, 0);
    append(b->SamVoprosEdit, "+");
    copyCurrent(mdi().CutQuesAction);
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"B1+"}));
    EXPECT_EQ(Texts(b->Topic.Questions), QStringList({"A3 edited", "B2"}));
}

} // namespace
