// The results grid of the real main window: its shape for the parameters and the students,
// the state rules of its set-up, clearing, filling from an archive and the row moves of a
// removal.
#include "test_grid_fixture.h"

#include "OptionsU.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

namespace {

class GridTest : public ExaminerWindowTest {};

TEST_F(GridTest, TenQuestionsAndNoStudentsGiveTwelveColumnsAndTwoRows) {
    setQuestionsPerCard(10);
    w->PrevQueA->setEnabled(true);
    w->NextQueA->setEnabled(true);
    w->SetupGrid();

    TStringGrid* g = w->StringGrid;
    ASSERT_EQ(g->ColCount(), 12);
    EXPECT_EQ(g->RowCount(), 2);
    EXPECT_EQ(g->FixedRows(), 1);
    EXPECT_EQ(g->FixedCols(), 2);
    EXPECT_EQ(g->ColWidth(0), 200);
    EXPECT_EQ(g->ColWidth(1), 70);
    for (int c = 2; c < 12; ++c) {
        EXPECT_EQ(g->ColWidth(c), 60) << c;
        EXPECT_EQ(w->StringGridView->columnWidth(c), 60) << c;
    }
    EXPECT_EQ(w->StringGridView->columnWidth(0), 200);
    EXPECT_EQ(cell(0, 0), "Name");
    EXPECT_EQ(cell(1, 0), "Points");
    EXPECT_EQ(cell(2, 0), "1 question");
    EXPECT_EQ(cell(11, 0), "10 question");
    EXPECT_EQ(w->StringGridView->height(), 70);
    EXPECT_FALSE(w->PrevQueA->isEnabled());
    EXPECT_FALSE(w->NextQueA->isEnabled());
}

TEST_F(GridTest, HeightFollowsTheRowsUpTo345Pixels) {
    setQuestionsPerCard(5);
    registerStudents(12);
    w->SetupGrid();
    EXPECT_EQ(w->StringGrid->RowCount(), 13);
    EXPECT_EQ(w->StringGridView->height(), 334);

    registerStudents(1);
    w->SetupGrid();
    EXPECT_EQ(w->StringGrid->RowCount(), 14);
    EXPECT_EQ(w->StringGridView->height(), 345);
}

TEST_F(GridTest, ShapingEmptiesGradesAndMarksButKeepsNames) {
    s->TopicQuestions = testfiles::MakeTopic(10);
    setQuestionsPerCard(6);
    w->SetupGrid();
    registerStudents(2);
    giveCard(0, 6, "1211");
    w->StringGrid->SetCell(1, 1, "7");

    setQuestionsPerCard(8);
    w->SetupGrid();
    EXPECT_EQ(w->StringGrid->ColCount(), 10);
    EXPECT_EQ(cell(0, 1), "Student 1");
    EXPECT_EQ(cell(0, 2), "Student 2");
    for (int c = 1; c < 10; ++c)
        EXPECT_TRUE(cell(c, 1).isEmpty()) << c;
    EXPECT_EQ(cell(9, 0), "8 question");
}

TEST_F(GridTest, DuringATestingTheSetUpOnlyNamesTheState) {
    s->TopicQuestions = testfiles::MakeTopic(10);
    setQuestionsPerCard(5);
    w->SetupGrid();
    registerStudents(1);
    giveCard(0, 5, "11");
    s->AttState = AttInProcess;
    w->PrevQueA->setEnabled(true);

    setQuestionsPerCard(9);
    w->StatusPanel0->setText("before");
    w->SetupGrid();
    EXPECT_EQ(w->StringGrid->ColCount(), 7);
    EXPECT_EQ(cell(2, 1), "+");
    EXPECT_EQ(cell(3, 1), "-");
    EXPECT_EQ(w->StatusPanel0->text(), lang(58));
    EXPECT_TRUE(w->PrevQueA->isEnabled());
}

TEST_F(GridTest, WhileAnArchiveIsShownTheSetUpDoesNothing) {
    s->TopicQuestions = testfiles::MakeTopic(10);
    setQuestionsPerCard(5);
    w->SetupGrid();
    registerStudents(1);
    giveCard(0, 5, "1");
    s->AttState = ArhIsOpen;
    w->StatusPanel0->setText("archive");

    LangOffset = 0;
    LoadLangStrings();
    w->SetupGrid();
    EXPECT_EQ(cell(0, 0), "Name");
    EXPECT_EQ(cell(2, 0), "1 question");
    EXPECT_EQ(cell(2, 1), "+");
    EXPECT_EQ(w->StatusPanel0->text(), "archive");

    // Loading another archive shapes the grid whatever the state.
    w->ShapeGrid();
    EXPECT_EQ(cell(0, 0), "Фамилия");
    EXPECT_EQ(cell(2, 0), "1 вопр.");
    EXPECT_TRUE(cell(2, 1).isEmpty());
}

// The grades and marks on screen are those of the student table whatever sets the grid up
// again: a language switch (in a finished testing and in an archive), or new parameters after a
// testing, where a card longer than the new cards shows its first marks and a shorter one leaves
// the further columns empty. Only the headers change.
TEST_F(GridTest, TheResultsStayOnScreenWhenTheGridIsSetUpAgain) {
    s->TopicQuestions = testfiles::MakeTopic(10);
    setQuestionsPerCard(6);
    w->SetupGrid();
    registerStudents(2);
    giveCard(0, 6, "123412");
    giveCard(1, 6, "2");
    w->StringGrid->SetCell(1, 1, "9");
    s->Students[0].Mark = 9;

    struct Case {
        quint8 state;
        int n;            // questions per card set through the Options command; 0: the language is switched
        QString ungraded; // the grade cell of the student without a grade
    };
    for (const Case& c : {Case{AttIsFinished, 0, ""}, Case{ArhIsOpen, 0, "0"}, Case{AttIsFinished, 8, ""},
                          Case{AttIsFinished, 5, ""}}) {
        SCOPED_TRACE(c.n);
        s->AttState = c.state;
        if (c.n) {
            TOptionsF& dlg = *examiner->OptionsF();
            QTimer::singleShot(0, &dlg, [&] {
                dlg.GivenVoprEd->setValue(c.n);
                dlg.OkBtn->click();
                if (dlg.isVisible()) // must not hang the test
                    dlg.reject();
            });
            w->QuickHelpAUpdate();
            ASSERT_TRUE(w->Options->isEnabled());
            w->Options->trigger();
        } else {
            w->Rus1Click();
            EXPECT_EQ(QStringList({cell(0, 0), cell(1, 0), cell(2, 0), cell(7, 0), cell(1, 1), cell(3, 1)}),
                      QStringList({"Фамилия", "Оценка", "1 вопр.", "6 вопр.", "9", "+"}));
            w->Eng1Click();
            EXPECT_EQ(QStringList({cell(0, 0), cell(7, 0)}), QStringList({"Name", "6 question"}));
        }
        const int n = c.n ? c.n : 6;
        ASSERT_EQ(w->StringGrid->ColCount(), n + 2);
        EXPECT_EQ(QStringList({cell(0, 1), cell(0, 2), cell(1, 1), cell(1, 2), cell(3, 1), cell(2, 2)}),
                  QStringList({"Student 1", "Student 2", "9", c.ungraded, "+", "-"}));
        for (int i = 0; i < n; ++i)
            for (int k : {0, 1})
                EXPECT_EQ(cell(i + 2, k + 1), i < 6 ? s->Students[k].Answers[i].Check : QString())
                    << i << " " << k;
    }
}

TEST_F(GridTest, RemovingTheFirstOfThreeMovesTheRowsUp) {
    s->TopicQuestions = testfiles::MakeTopic(10);
    setQuestionsPerCard(5);
    w->SetupGrid();
    registerStudents(3);
    giveCard(0, 5, "1");
    giveCard(1, 5, "22");
    giveCard(2, 5, "333");
    EXPECT_EQ(w->StringGridView->height(), 118);

    // The row moves of a removal at position 0.
    const int k = 0;
    const int last = w->StringGrid->RowCount() - 1;
    for (int r = k + 1; r < last; ++r)
        w->StringGrid->CopyRow(r, r + 1);
    w->StringGrid->ClearRow(last);
    w->StringGrid->SetRowCount(2 + 1);
    w->ApplyGridHeight();

    EXPECT_EQ(w->StringGrid->RowCount(), 3);
    EXPECT_EQ(cell(0, 1), "Student 2");
    EXPECT_EQ(cell(2, 1), "-");
    EXPECT_EQ(cell(3, 1), "+");
    EXPECT_EQ(cell(0, 2), "Student 3");
    EXPECT_EQ(cell(4, 2), "+");
    EXPECT_EQ(cell(0, 0), "Name");
    EXPECT_EQ(w->StringGridView->height(), 94);
    EXPECT_EQ(w->StringGridView->model()->rowCount(), 3);
}

TEST_F(GridTest, CountersReadTheCellsOfTheRowWithinTheCard) {
    setQuestionsPerCard(5);
    w->SetupGrid();
    registerStudents(1);
    // The grid, not the answers, is what counts.
    w->StringGrid->SetCell(2, 1, "+");
    w->StringGrid->SetCell(3, 1, "-");
    w->StringGrid->SetCell(4, 1, "+");
    w->StringGrid->SetCell(6, 1, "x");
    w->StringGrid->SetCell(1, 1, "+"); // the grade column is not a mark
    EXPECT_EQ(w->CountAnsweredQues(1), 4);
    EXPECT_EQ(w->CountRightAnswers(1), 2);
    EXPECT_EQ(w->CountAnsweredQues(2), 0);
    EXPECT_EQ(w->CountRightAnswers(7), 0);
}

TEST_F(GridTest, ClearResultsWithTwentyStudentsLeavesOneEmptyRow) {
    s->TopicQuestions = testfiles::MakeTopic(10);
    setQuestionsPerCard(5);
    w->SetupGrid();
    registerStudents(20);
    for (int k = 0; k < 20; ++k)
        giveCard(k, 5, "1234");
    w->StudentName->setEnabled(true);
    w->StudentName->setCurrentIndex(3);
    w->StudentNameChange(w->StudentName);
    ASSERT_FALSE(w->SamVoprLabel->text().isEmpty());
    w->StatusPanel0->setText("busy");

    w->ClearResults();
    EXPECT_EQ(w->StringGrid->RowCount(), 2);
    EXPECT_EQ(w->StringGridView->height(), 70);
    for (int c = 0; c < w->StringGrid->ColCount(); ++c)
        EXPECT_TRUE(cell(c, 1).isEmpty()) << c;
    EXPECT_EQ(cell(0, 0), "Name");
    EXPECT_EQ(cell(6, 0), "5 question");
    EXPECT_EQ(w->StudentName->count(), 0);
    EXPECT_TRUE(w->StudentName->currentText().isEmpty());
    EXPECT_TRUE(w->SamVoprLabel->text().isEmpty());
    EXPECT_TRUE(w->PositionL->text().isEmpty());
    EXPECT_TRUE(w->RadioButton1->text().isEmpty());
    EXPECT_TRUE(w->StatusPanel0->text().isEmpty());
    EXPECT_EQ(s->StudentCount, 20); // the callers empty the table
}

TEST_F(GridTest, FillFromArchiveWritesNamesGradesAndMarks) {
    setQuestionsPerCard(5);
    for (int k = 0; k < 3; ++k) {
        TClient c;
        c.Name = QStringLiteral("Pupil %1").arg(k);
        c.Mark = k == 1 ? 0 : 10 + k;
        for (int i = 0; i < 5; ++i)
            c.Answers.append(
                {i, QString(), i % 2 ? QStringLiteral("-") : (i == 4 ? QString() : QStringLiteral("+"))});
        s->Students.append(c);
    }
    s->Students[2].Answers.resize(2); // a shorter card than the parameters say
    s->StudentCount = 3;
    w->SetupGrid();
    ASSERT_EQ(w->StringGrid->RowCount(), 4);

    w->FillGridFromArchive();
    EXPECT_EQ(cell(0, 1), "Pupil 0");
    EXPECT_EQ(cell(1, 1), "10");
    EXPECT_EQ(cell(1, 2), "0");
    EXPECT_EQ(cell(1, 3), "12");
    EXPECT_EQ(cell(2, 1), "+");
    EXPECT_EQ(cell(3, 1), "-");
    EXPECT_EQ(cell(6, 1), "");
    EXPECT_EQ(cell(3, 3), "-");
    EXPECT_EQ(cell(4, 3), "");
    EXPECT_EQ(cell(0, 0), "Name"); // no header is written
    EXPECT_EQ(w->StudentName->count(), 3);
    EXPECT_EQ(w->StudentName->itemText(2), "Pupil 2");
    EXPECT_EQ(w->StudentName->maxVisibleItems(), 3);
}

TEST_F(GridTest, FillFromArchiveWithoutStudentsKeepsTheEmptyRow) {
    setQuestionsPerCard(5);
    w->SetupGrid();
    w->FillGridFromArchive();
    EXPECT_EQ(w->StringGrid->RowCount(), 2);
    EXPECT_TRUE(cell(0, 1).isEmpty());
    EXPECT_TRUE(cell(1, 1).isEmpty());
    EXPECT_EQ(w->StudentName->count(), 0);
}

} // namespace
