// The question viewer created with the examiner's windows: stepping through the topic, the
// position, the caption, the empty topic, the language and the printout.
#include "test_grid_fixture.h"

#include "PrinterDevice.h"
#include "QueListU.h"
#include "RecordingPrinter.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

using vxg::DlgKind;
using vxg::DlgResult;

class QueListTest : public ExaminerWindowTest {
protected:
    void SetUp() override {
        ExaminerWindowTest::SetUp();
        viewer = examiner->QueListF();
        ASSERT_NE(viewer, nullptr);
    }

    void TearDown() override {
        viewer->close();
        ExaminerWindowTest::TearDown();
    }

    void load(int count, const QString& file = "/home/teacher/topics/algebra.vxg") {
        s->TopicQuestions = testfiles::MakeTopic(count);
        w->OpenDialogFileName = file;
    }

    void expectShows(int index) {
        const TQuestion& q = s->TopicQuestions.at(index);
        EXPECT_EQ(viewer->SamVoprosEdit->text(), q.QuestionText);
        EXPECT_EQ(viewer->Otv1Edit->text(), q.Answer1);
        EXPECT_EQ(viewer->Otv2Edit->text(), q.Answer2);
        EXPECT_EQ(viewer->Otv3Edit->text(), q.Answer3);
        EXPECT_EQ(viewer->Otv4Edit->text(), q.Answer4);
        EXPECT_EQ(viewer->PravOtvEd->value(), q.RightAnswer.toInt());
        EXPECT_EQ(s->QueIndex, index);
    }

    TQueListF* viewer = nullptr;
};

TEST_F(QueListTest, OneQuestionDisablesBothStepButtons) {
    load(1);
    viewer->show();
    EXPECT_FALSE(viewer->PrevBtn->isEnabled());
    EXPECT_FALSE(viewer->NextBtn->isEnabled());
    EXPECT_EQ(viewer->StatusText->text(), "Question 1-th from 1");
    expectShows(0);
    EXPECT_EQ(viewer->windowTitle(), "algebra.vxg");
    EXPECT_EQ(viewer->size(), QSize(841, 431));
}

TEST_F(QueListTest, TwoQuestionsStepForwardAndBack) {
    load(2);
    viewer->show();
    EXPECT_FALSE(viewer->PrevBtn->isEnabled());
    ASSERT_TRUE(viewer->NextBtn->isEnabled());

    QTest::mouseClick(viewer->NextBtn, Qt::LeftButton);
    expectShows(1);
    EXPECT_EQ(viewer->StatusText->text(), "Question 2-th from 2");
    EXPECT_FALSE(viewer->NextBtn->isEnabled());
    EXPECT_TRUE(viewer->PrevBtn->isEnabled());

    QTest::mouseClick(viewer->PrevBtn, Qt::LeftButton);
    expectShows(0);
    EXPECT_FALSE(viewer->PrevBtn->isEnabled());
    EXPECT_TRUE(viewer->NextBtn->isEnabled());

    // Direct calls past either end change nothing.
    viewer->PrevClick();
    expectShows(0);
    viewer->NextClick();
    viewer->NextClick();
    expectShows(1);
}

TEST_F(QueListTest, EachShowingStartsAtTheFirstQuestionAndClosingKeepsTheLastShown) {
    load(5);
    viewer->show();
    viewer->NextClick();
    viewer->NextClick();
    viewer->NextClick();
    QTest::mouseClick(viewer->ExitBtn, Qt::LeftButton);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_EQ(s->QueIndex, 3);

    viewer->show();
    expectShows(0);
    EXPECT_EQ(viewer->StatusText->text(), "Question 1-th from 5");
    EXPECT_FALSE(viewer->PrevBtn->isEnabled());
    EXPECT_TRUE(viewer->NextBtn->isEnabled());
}

TEST_F(QueListTest, ATopicWithoutQuestionsShowsClearedFields) {
    load(3);
    viewer->show();
    viewer->NextClick();
    viewer->close();

    load(0);
    viewer->show();
    EXPECT_TRUE(viewer->SamVoprosEdit->text().isEmpty());
    EXPECT_TRUE(viewer->Otv1Edit->text().isEmpty());
    EXPECT_TRUE(viewer->Otv4Edit->text().isEmpty());
    EXPECT_EQ(viewer->PravOtvEd->value(), 0);
    EXPECT_FALSE(viewer->PrevBtn->isEnabled());
    EXPECT_FALSE(viewer->NextBtn->isEnabled());
    EXPECT_TRUE(viewer->StatusText->text().isEmpty());
    viewer->NextClick();
    viewer->PrevClick();
    EXPECT_EQ(s->QueIndex, 0);
    EXPECT_TRUE(viewer->SamVoprosEdit->text().isEmpty());
}

TEST_F(QueListTest, UnsetRightAnswerAndEmptyVariantsShowEmpty) {
    load(1);
    s->TopicQuestions[0].RightAnswer.clear();
    s->TopicQuestions[0].Answer3.clear();
    viewer->show();
    EXPECT_EQ(viewer->PravOtvEd->value(), 0);
    EXPECT_TRUE(viewer->Otv3Edit->text().isEmpty());
    EXPECT_TRUE(viewer->SamVoprosEdit->isReadOnly());
    EXPECT_TRUE(viewer->PravOtvEd->isReadOnly());
}

TEST_F(QueListTest, LongTextsShowWholeAndAnOddRightAnswerShowsAsUnset) {
    load(3);
    s->TopicQuestions[0] = testfiles::MakeLongQuestion();
    s->TopicQuestions[1].RightAnswer = "7";
    s->TopicQuestions[2].RightAnswer = "x";
    viewer->show();
    ASSERT_EQ(s->TopicQuestions[0].QuestionText.size(), 255);
    EXPECT_EQ(viewer->SamVoprosEdit->text(), s->TopicQuestions[0].QuestionText);
    EXPECT_EQ(viewer->Otv4Edit->text(), s->TopicQuestions[0].Answer4);
    EXPECT_EQ(viewer->PravOtvEd->value(), 4);
    // Longer than its field, each text shows from its start, also when stepped back to.
    auto expectStartsShown = [this](const char* when) {
        for (QLineEdit* field :
             {viewer->SamVoprosEdit, viewer->Otv1Edit, viewer->Otv2Edit, viewer->Otv3Edit, viewer->Otv4Edit})
            EXPECT_EQ(field->cursorPosition(), 0) << when << " " << field->objectName().toStdString();
    };
    expectStartsShown("shown");
    viewer->NextClick();
    viewer->PrevClick();
    expectStartsShown("stepped back");
    viewer->NextClick();
    EXPECT_EQ(viewer->PravOtvEd->value(), 0); // not the nearest variant, 4
    viewer->NextClick();
    EXPECT_EQ(viewer->PravOtvEd->value(), 0);
    EXPECT_EQ(viewer->StatusText->text(), "Question 3-th from 3");
}

TEST_F(QueListTest, TextsFollowTheLanguageAtTheNextShowing) {
    load(2);
    viewer->show();
    EXPECT_EQ(viewer->PrevBtn->text(), "Previous question ( F10 )");
    EXPECT_EQ(viewer->NextBtn->text(), "Next question ( F11 )");
    EXPECT_EQ(viewer->PrintQuesListBtn->text(), "Print ...");
    EXPECT_EQ(viewer->ExitBtn->text(), "Close");
    EXPECT_EQ(viewer->Label2->text(), "Question:");
    EXPECT_EQ(viewer->Label3->text(), "Variants of answers:");
    EXPECT_EQ(viewer->Label7->text(), "Correct answer №");
    EXPECT_EQ(viewer->Label7->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_TRUE(viewer->Label7->font().bold());
    viewer->close();

    w->Rus1Click();
    viewer->show();
    EXPECT_EQ(viewer->PrevBtn->text(), "Предыдущий вопрос");
    EXPECT_EQ(viewer->Label2->text(), "Текст вопроса:");
    EXPECT_EQ(viewer->StatusText->text(), "Вопрос 1-й из 2");
}

TEST_F(QueListTest, PrintingAsksAndPrintsTheListUnderTheCaption) {
    auto printer = std::make_unique<vxg::RecordingPrinter>();
    vxg::RecordingPrinter* rec = printer.get();
    vxg::SetCurrentPrinter(std::move(printer));
    load(2, "/somewhere/history.vxg");
    viewer->show();

    dialogs->answerNext(DlgResult::Yes);
    QTest::mouseClick(viewer->PrintQuesListBtn, Qt::LeftButton);
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].buttons, vxg::DlgButtons::YesNoCancel);
    EXPECT_EQ(rec->jobs, 1);
    QStringList printed;
    for (const auto& item : rec->items)
        printed << item.text;
    EXPECT_TRUE(printed.contains("history.vxg"));
    EXPECT_TRUE(printed.join('\n').contains(s->TopicQuestions[1].QuestionText));

    dialogs->answerNext(DlgResult::Cancel);
    QTest::mouseClick(viewer->PrintQuesListBtn, Qt::LeftButton);
    EXPECT_EQ(rec->jobs, 1);
    vxg::SetCurrentPrinter(nullptr);
}

TEST_F(QueListTest, TheMainWindowsCommandShowsTheViewerModally) {
    load(3);
    s->AttState = Ready;
    bool seen = false;
    QTimer::singleShot(0, viewer, [&] {
        seen = viewer->isVisible() && viewer->isModal();
        viewer->NextClick();
        viewer->ExitBtnClick();
    });
    w->QueListClick();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_EQ(s->QueIndex, 1);
}

} // namespace
