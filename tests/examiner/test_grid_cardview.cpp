// The card view under the results grid: what a card question looks like, the selection by
// selector, mouse and keyboard, previous/next, and the cases where there is nothing to show.
#include "test_grid_fixture.h"

#include "QueListU.h"
#include "QuestionFile.h"
#include "ResultsGridView.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextDocumentFragment>
#include <QWindow>

namespace {

const QColor kGreen(0, 128, 0);

bool Highlighted(const QRadioButton* b) {
    return b->font().bold() && b->font().underline() && b->palette().color(QPalette::WindowText) == kGreen;
}

// What a button shows: its accessible name is its caption without the shortcut marks.
QString Shown(QRadioButton* b) {
    return QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name);
}

// What a tool tip shows: Qt takes a text that looks like markup for markup.
QString ShownTip(const QString& tip) {
    return Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
}

bool Plain(const QRadioButton* b) {
    return !b->font().bold() && !b->font().underline() && b->palette().color(QPalette::WindowText) != kGreen;
}

class CardViewTest : public ExaminerWindowTest {
protected:
    // A finished testing of `students` students with cards of n questions out of a topic of
    // `topic` questions; the selector enabled as the state would have it.
    void finishedTesting(int n, int students, int topic = 12) {
        s->TopicQuestions = testfiles::MakeTopic(topic);
        setQuestionsPerCard(n);
        s->AttState = AttIsFinished;
        w->SetupGrid();
        registerStudents(students);
        w->StudentName->setCurrentIndex(-1);
        w->StudentName->setEnabled(true);
    }

    void choose(int item) {
        w->StudentName->setCurrentIndex(item);
        w->StudentNameChange(w->StudentName);
    }

    bool viewBlank() const {
        return w->SamVoprLabel->text().isEmpty() && w->PositionL->text().isEmpty() &&
               w->RadioButton1->text().isEmpty() && w->RadioButton4->text().isEmpty() &&
               !w->RadioButton1->isChecked() && !w->RadioButton2->isChecked() &&
               !w->RadioButton3->isChecked() && !w->RadioButton4->isChecked() &&
               w->ReshCountL->text().isEmpty();
    }

    void showWindow() {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }

    ResultsGridView* view() const { return qobject_cast<ResultsGridView*>(w->StringGridView); }

    void clickCell(int row, int col) {
        const QRect r = w->StringGridView->visualRect(w->StringGrid->index(row, col));
        ASSERT_TRUE(w->StringGridView->viewport()->rect().contains(r.center())) << row << "," << col;
        QTest::mouseClick(w->StringGridView->viewport(), Qt::LeftButton, {}, r.center());
    }
};

TEST_F(CardViewTest, WrongAnswerIsCheckedAndTheRightOneHighlighted) {
    finishedTesting(10, 1);
    TQuestion q = testfiles::MakeQuestion(3);
    ASSERT_EQ(q.RightAnswer, "3");
    TCardAnswer a{2, "2", "-"};
    w->StringGrid->SetCell(2, 1, "+");
    w->StringGrid->SetCell(4, 1, "-");
    w->ViewQueIndex = 2;

    w->ShowStudentQue(q, a, 1);
    EXPECT_EQ(w->SamVoprLabel->text(), q.QuestionText);
    EXPECT_EQ(w->RadioButton1->text(), q.Answer1);
    EXPECT_EQ(w->RadioButton4->text(), q.Answer4);
    EXPECT_TRUE(w->RadioButton2->isChecked());
    EXPECT_FALSE(w->RadioButton3->isChecked());
    EXPECT_TRUE(Plain(w->RadioButton2));
    EXPECT_TRUE(Highlighted(w->RadioButton3));
    EXPECT_TRUE(Plain(w->RadioButton1));
    EXPECT_EQ(w->PositionL->text(), "Question 3-th from 10");
    EXPECT_EQ(w->ReshCountL->text(), "Decided questions: 2");
    EXPECT_EQ(w->RightsCountL->text(), "Correct answers: 1");

    // The next question puts the fonts back before it highlights its own right variant.
    TQuestion q1 = testfiles::MakeQuestion(1);
    w->ShowStudentQue(q1, TCardAnswer{0, "1", "+"}, 1);
    EXPECT_TRUE(w->RadioButton1->isChecked());
    EXPECT_TRUE(Highlighted(w->RadioButton1));
    EXPECT_TRUE(Plain(w->RadioButton3));
    EXPECT_FALSE(w->RadioButton2->isChecked());
    EXPECT_EQ(w->RadioButton3->font(), w->Panel4->font());
}

// Texts of 255 characters keep to the restored 780-pixel window: each variant shows from its
// start, cut at the right, with the whole text as its tool tip.
TEST_F(CardViewTest, LongTextsShowFromTheirStartWithoutWideningTheWindow) {
    finishedTesting(10, 1);
    const TQuestion q = testfiles::MakeLongQuestion();
    w->ViewQueIndex = 0;
    w->ShowStudentQue(q, TCardAnswer{0, "1", "+"}, 1);
    w->showNormal();
    w->resize(780, 567);
    EXPECT_TRUE(QTest::qWaitFor([this] { return w->width() == 780; }, 1000)) << w->width();
    EXPECT_EQ(w->SamVoprLabel->text(), q.QuestionText);
    EXPECT_EQ(w->SamVoprLabel->alignment() & Qt::AlignLeft, Qt::AlignLeft);
    for (const QRadioButton* b : {w->RadioButton1, w->RadioButton2, w->RadioButton3, w->RadioButton4}) {
        EXPECT_EQ(ShownTip(b->toolTip()), b->text());
        EXPECT_LE(b->geometry().right(), w->width()) << "a variant that widens the window";
    }
    w->BlankCardView();
    EXPECT_TRUE(w->RadioButton1->toolTip().isEmpty());
}

// Texts of a question, a name or a file show as they stand wherever they are captions: the
// variants and their tool tips, the question, the titles of the window and the viewer, the set.
TEST_F(CardViewTest, TextsOfQuestionsNamesAndFilesShowAsTheyStand) {
    finishedTesting(5, 1);
    TQuestion q = testfiles::MakeQuestion(1);
    q.QuestionText = "Tom & Jerry: <b>A && B</b>?";
    const QStringList variants{"Tom & Jerry", "A && B", "<i>x</i>", "&"};
    q.Answer1 = variants[0], q.Answer2 = variants[1], q.Answer3 = variants[2], q.Answer4 = variants[3];
    w->ShowStudentQue(q, TCardAnswer{0, "1", "+"}, 1);
    const QList<QRadioButton*> buttons{w->RadioButton1, w->RadioButton2, w->RadioButton3, w->RadioButton4};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Shown(buttons[k]), variants[k]);
        EXPECT_EQ(ShownTip(buttons[k]->toolTip()), variants[k]);
    }
    EXPECT_EQ(w->SamVoprLabel->text(), q.QuestionText);
    EXPECT_EQ(w->SamVoprLabel->textFormat(), Qt::PlainText);

    showWindow();
    QTemporaryDir topics;
    const QString file = topics.path() + "/Tom & Jerry [*].vxg";
    WriteQuestionFile(file, testfiles::MakeTopic(2));
    dialogs->chooseFile(file);
    ASSERT_TRUE(w->OpenTopicClick(nullptr));
    EXPECT_EQ(w->windowHandle()->title(), s->BaseCaption + " -- Tom & Jerry [*].vxg");
    TQueListF& viewer = *examiner->QueListF();
    viewer.show();
    EXPECT_EQ(viewer.windowHandle()->title(), "Tom & Jerry [*].vxg");
    viewer.close();
    s->OptionsName = "<b>Evening</b>";
    w->ApplyMainLanguage();
    EXPECT_EQ(w->StatusPanel1->textFormat(), Qt::PlainText);
}

TEST_F(CardViewTest, UnansweredAndUnsetRightAnswerShowNothingMarked) {
    finishedTesting(5, 1);
    TQuestion q = testfiles::MakeQuestion(2);
    for (const QString& given : {QString(), QStringLiteral(" "), QStringLiteral("5"), QStringLiteral("22")}) {
        w->ShowStudentQue(q, TCardAnswer{1, given, QString()}, 1);
        for (QRadioButton* b : {w->RadioButton1, w->RadioButton2, w->RadioButton3, w->RadioButton4})
            EXPECT_FALSE(b->isChecked()) << qPrintable(given);
    }
    q.RightAnswer = "0";
    w->ShowStudentQue(q, TCardAnswer{1, "4", "-"}, 1);
    EXPECT_TRUE(w->RadioButton4->isChecked());
    for (QRadioButton* b : {w->RadioButton1, w->RadioButton2, w->RadioButton3, w->RadioButton4})
        EXPECT_TRUE(Plain(b));
}

TEST_F(CardViewTest, ChoosingANameShowsTheFirstQuestionAndStepsThroughTheCard) {
    finishedTesting(5, 2);
    giveCard(0, 5, "1");
    giveCard(1, 5, "4321 ");

    choose(1);
    EXPECT_EQ(s->SelStudent, 1);
    EXPECT_EQ(w->ViewQueIndex, 0);
    EXPECT_EQ(w->SamVoprLabel->text(), s->TopicQuestions[0].QuestionText);
    EXPECT_TRUE(w->RadioButton4->isChecked());
    EXPECT_EQ(w->PositionL->text(), "Question 1-th from 5");
    EXPECT_EQ(w->ReshCountL->text(), "Decided questions: 4");
    EXPECT_EQ(w->RightsCountL->text(), "Correct answers: 0");
    EXPECT_FALSE(w->PrevQueA->isEnabled());
    EXPECT_TRUE(w->NextQueA->isEnabled());
    EXPECT_EQ(s->CurAnswer.Given, "4");
    EXPECT_EQ(s->CurQuestion, s->TopicQuestions[0]);

    w->NextQueA->trigger();
    EXPECT_EQ(w->ViewQueIndex, 1);
    EXPECT_TRUE(w->PrevQueA->isEnabled());
    EXPECT_TRUE(w->RadioButton3->isChecked());
    w->NextQueA->trigger();
    w->NextQueA->trigger();
    EXPECT_EQ(w->ViewQueIndex, 3);
    EXPECT_TRUE(w->NextQueA->isEnabled());
    w->NextQueA->trigger();
    EXPECT_EQ(w->ViewQueIndex, 4);
    EXPECT_EQ(w->PositionL->text(), "Question 5-th from 5");
    EXPECT_FALSE(w->NextQueA->isEnabled());
    EXPECT_TRUE(w->PrevQueA->isEnabled());

    w->NextArhQueBtnClick(); // past the end even when called directly: nothing happens
    EXPECT_EQ(w->ViewQueIndex, 4);

    for (int i = 0; i < 3; ++i)
        w->PrevQueA->trigger();
    EXPECT_EQ(w->ViewQueIndex, 1);
    EXPECT_TRUE(w->PrevQueA->isEnabled());
    w->PrevQueA->trigger();
    EXPECT_EQ(w->ViewQueIndex, 0);
    EXPECT_FALSE(w->PrevQueA->isEnabled());
    EXPECT_TRUE(w->NextQueA->isEnabled());

    // Choosing again starts at the first question.
    w->NextQueA->trigger();
    choose(0);
    EXPECT_EQ(w->ViewQueIndex, 0);
    EXPECT_FALSE(w->PrevQueA->isEnabled());
    EXPECT_TRUE(w->RadioButton1->isChecked());
}

TEST_F(CardViewTest, SelectorActivationByTheUserRunsTheChange) {
    finishedTesting(5, 3);
    for (int k = 0; k < 3; ++k)
        giveCard(k, 5, "2");
    w->ViewQueIndex = 3;
    emit w->StudentName->activated(2); // what a pick from the list raises
    EXPECT_EQ(s->SelStudent, -1);      // the index was not moved by the signal alone
    w->StudentName->setCurrentIndex(2);
    emit w->StudentName->activated(2);
    EXPECT_EQ(s->SelStudent, 2);
    EXPECT_EQ(w->ViewQueIndex, 0);
}

TEST_F(CardViewTest, AClickOnADataCellShowsThatStudentsQuestion) {
    showWindow();
    finishedTesting(10, 3);
    for (int k = 0; k < 3; ++k)
        giveCard(k, 10, "1234123412");
    QTest::qWait(0);
    ASSERT_TRUE(w->StudentName->isEnabled());

    clickCell(3, 5);
    EXPECT_EQ(w->StudentName->currentIndex(), 2);
    EXPECT_EQ(s->SelStudent, 2);
    EXPECT_EQ(w->ViewQueIndex, 3);
    EXPECT_EQ(w->PositionL->text(), "Question 4-th from 10");
    EXPECT_EQ(w->SamVoprLabel->text(), s->TopicQuestions[3].QuestionText);
    EXPECT_TRUE(w->RadioButton4->isChecked());
    EXPECT_TRUE(w->PrevQueA->isEnabled());
    EXPECT_TRUE(w->NextQueA->isEnabled());
    EXPECT_EQ(w->StringGridView->currentIndex(), w->StringGrid->index(3, 5));

    // A click on the current cell shows it again.
    w->BlankCardView();
    clickCell(3, 5);
    EXPECT_EQ(w->PositionL->text(), "Question 4-th from 10");
}

TEST_F(CardViewTest, ClicksOnFixedCellsDoNothing) {
    showWindow();
    finishedTesting(10, 3);
    for (int k = 0; k < 3; ++k)
        giveCard(k, 10, "1111111111");
    QTest::qWait(0);
    clickCell(2, 3);
    ASSERT_EQ(s->SelStudent, 1);
    const QModelIndex current = w->StringGridView->currentIndex();
    const QString position = w->PositionL->text();

    clickCell(0, 4); // a header
    clickCell(3, 0); // a name
    clickCell(1, 1); // a grade
    clickCell(0, 0);
    EXPECT_EQ(w->StringGridView->currentIndex(), current);
    EXPECT_EQ(s->SelStudent, 1);
    EXPECT_EQ(w->StudentName->currentIndex(), 1);
    EXPECT_EQ(w->PositionL->text(), position);

    // A press on a name that is released over a data cell is no click on that cell.
    QWidget* vp = w->StringGridView->viewport();
    const QPoint name = w->StringGridView->visualRect(w->StringGrid->index(3, 0)).center();
    const QPoint data = w->StringGridView->visualRect(w->StringGrid->index(3, 6)).center();
    QTest::mousePress(vp, Qt::LeftButton, {}, name);
    QTest::mouseMove(vp, data);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, data);
    EXPECT_EQ(w->StringGridView->currentIndex(), current);
    EXPECT_EQ(s->SelStudent, 1);
    EXPECT_EQ(w->PositionL->text(), position);
}

TEST_F(CardViewTest, ArrowKeysShowTheReachedCellAndNeverEnterTheFixedCells) {
    showWindow();
    finishedTesting(6, 2);
    giveCard(0, 6, "123412");
    giveCard(1, 6, "432143");
    QTest::qWait(0);
    clickCell(1, 2);
    ASSERT_EQ(w->ViewQueIndex, 0);

    QTest::keyClick(w->StringGridView, Qt::Key_Right);
    EXPECT_EQ(w->ViewQueIndex, 1);
    EXPECT_EQ(w->PositionL->text(), "Question 2-th from 6");
    QTest::keyClick(w->StringGridView, Qt::Key_Down);
    EXPECT_EQ(s->SelStudent, 1);
    EXPECT_EQ(w->StudentName->currentIndex(), 1);
    EXPECT_TRUE(w->RadioButton3->isChecked());

    QTest::keyClick(w->StringGridView, Qt::Key_Left);
    QTest::keyClick(w->StringGridView, Qt::Key_Left);
    EXPECT_EQ(w->StringGridView->currentIndex(), w->StringGrid->index(2, 2));
    QTest::keyClick(w->StringGridView, Qt::Key_Up);
    QTest::keyClick(w->StringGridView, Qt::Key_Up);
    EXPECT_EQ(w->StringGridView->currentIndex(), w->StringGrid->index(1, 2));
    QTest::keyClick(w->StringGridView, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(w->StringGridView->currentIndex(), w->StringGrid->index(2, 7));
    EXPECT_EQ(w->ViewQueIndex, 5);
    EXPECT_FALSE(w->NextQueA->isEnabled());
    QTest::keyClick(w->StringGridView, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(w->StringGridView->currentIndex(), w->StringGrid->index(1, 2));
    EXPECT_EQ(s->SelStudent, 0);
    // Typing never jumps to a matching header or name.
    QTest::keyClicks(w->StringGridView, "1S");
    EXPECT_EQ(w->StringGridView->currentIndex(), w->StringGrid->index(1, 2));
}

TEST_F(CardViewTest, WithTheSelectorDisabledAClickDoesNothing) {
    showWindow();
    setQuestionsPerCard(5);
    s->TopicQuestions = testfiles::MakeTopic(5);
    s->AttState = Ready;
    w->SetupGrid();
    registerStudents(2);
    giveCard(0, 5, "11111");
    w->StudentName->setEnabled(false); // as the state Ready has it
    QTest::qWait(0);
    const int before = w->StudentName->currentIndex();

    clickCell(1, 3);
    EXPECT_EQ(w->StudentName->currentIndex(), before);
    EXPECT_TRUE(w->PositionL->text().isEmpty());
    EXPECT_TRUE(w->SamVoprLabel->text().isEmpty());
    EXPECT_FALSE(w->NextQueA->isEnabled());
}

TEST_F(CardViewTest, TheFixedColumnsStayInPlaceWhenScrolledSideways) {
    showWindow();
    finishedTesting(30, 2, 30);
    giveCard(0, 30, QString(30, QLatin1Char('1')));
    giveCard(1, 30, QString(30, QLatin1Char('2')));
    QTest::qWait(0);
    QScrollBar* bar = w->StringGridView->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());

    const int rowY = w->StringGridView->rowViewportPosition(1) + 12;
    // Where the names are painted a click is a click on a name, whatever lies under it.
    QTest::mouseClick(w->StringGridView->viewport(), Qt::LeftButton, {}, QPoint(100, rowY));
    EXPECT_TRUE(w->PositionL->text().isEmpty());
    EXPECT_EQ(view()->cellAt(QPoint(100, rowY)), w->StringGrid->index(1, 0));
    EXPECT_EQ(view()->cellAt(QPoint(230, 5)), w->StringGrid->index(0, 1));

    const int x = 270 + 30;
    const int col = w->StringGridView->columnAt(x);
    ASSERT_GT(col, 2);
    QTest::mouseClick(w->StringGridView->viewport(), Qt::LeftButton, {}, QPoint(x, rowY));
    EXPECT_EQ(w->ViewQueIndex, col - 2);

    // The name column is painted over the scrolled data: its aqua, not a data cell's white.
    const QImage shot = w->StringGridView->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(190, rowY)), QColor(0, 255, 255));

    // Moving left with the keyboard brings the cell out from under the fixed columns.
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(w->StringGridView, Qt::Key_Left);
    const QRect r = w->StringGridView->visualRect(w->StringGridView->currentIndex());
    EXPECT_GE(r.left(), 270);
}

TEST_F(CardViewTest, TheHeaderRowStaysInPlaceWhenScrolledDown) {
    showWindow();
    finishedTesting(5, 20);
    QTest::qWait(0);
    ASSERT_EQ(w->StringGridView->height(), 345);
    QScrollBar* bar = w->StringGridView->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    const QImage shot = w->StringGridView->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(300, 1)), QColor(0, 255, 255));
    EXPECT_EQ(view()->cellAt(QPoint(300, 5)), w->StringGrid->index(0, 2));
    // The last row is reachable and lies below the header row.
    const QModelIndex last = w->StringGrid->index(20, 2);
    EXPECT_GE(w->StringGridView->visualRect(last).top(), 24);
}

TEST_F(CardViewTest, DraggingAHeaderLineResizesTheColumn) {
    showWindow();
    finishedTesting(5, 1);
    QWidget* vp = w->StringGridView->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(200, 10));
    QTest::mouseMove(vp, QPoint(240, 10));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(240, 10));
    EXPECT_EQ(w->StringGridView->columnWidth(0), 240);
    EXPECT_EQ(w->StringGrid->ColWidth(0), 240);
    EXPECT_TRUE(w->PositionL->text().isEmpty());
}

// ---- nothing to show: the view stays empty and reads nothing outside the tables

TEST_F(CardViewTest, TheEmptyRowOfAGridWithoutStudentsShowsNothing) {
    showWindow();
    finishedTesting(5, 0);
    QTest::qWait(0);
    clickCell(1, 3);
    EXPECT_EQ(s->SelStudent, -1);
    EXPECT_TRUE(viewBlank());
    EXPECT_FALSE(w->PrevQueA->isEnabled());
    EXPECT_FALSE(w->NextQueA->isEnabled());
}

TEST_F(CardViewTest, AStudentWithoutACardShowsNothing) {
    finishedTesting(5, 2);
    giveCard(0, 5, "12");
    choose(0);
    w->NextQueA->trigger();
    ASSERT_FALSE(w->SamVoprLabel->text().isEmpty());

    choose(1); // registered after the give-out
    EXPECT_TRUE(viewBlank());
    EXPECT_FALSE(w->PrevQueA->isEnabled());
    EXPECT_FALSE(w->NextQueA->isEnabled());
    w->NextArhQueBtnClick();
    w->PrevArhQueBtnClick();
    EXPECT_TRUE(viewBlank());
}

TEST_F(CardViewTest, AQuestionTheLoadedTopicLacksShowsNothingButTheCardCanBeStepped) {
    finishedTesting(5, 1, 3);
    giveCard(0, 5, "1");
    s->Students[0].Answers[0].QueNo = 99;
    s->Students[0].Answers[1].QueNo = -1;
    choose(0);
    EXPECT_TRUE(viewBlank());
    EXPECT_TRUE(w->NextQueA->isEnabled());
    w->NextQueA->trigger();
    EXPECT_TRUE(viewBlank());
    w->NextQueA->trigger();
    EXPECT_EQ(w->SamVoprLabel->text(), s->TopicQuestions[2].QuestionText);
    w->NextQueA->trigger(); // QueNo 3 of a topic of three questions
    EXPECT_TRUE(viewBlank());

    s->TopicQuestions.clear(); // an archive opened without its question file
    choose(0);
    EXPECT_TRUE(viewBlank());
}

TEST_F(CardViewTest, APositionBeyondTheCardShowsNothing) {
    finishedTesting(10, 1);
    giveCard(0, 5, "11111"); // the card of an earlier, shorter parameter set
    w->StringGridView->setCurrentIndex(w->StringGrid->index(1, 8));
    w->StringGridClick();
    EXPECT_EQ(w->ViewQueIndex, 6);
    EXPECT_TRUE(viewBlank());
    EXPECT_FALSE(w->PrevQueA->isEnabled());
    EXPECT_FALSE(w->NextQueA->isEnabled());

    w->StringGridView->setCurrentIndex(w->StringGrid->index(1, 5));
    w->StringGridClick();
    EXPECT_EQ(w->PositionL->text(), "Question 4-th from 10");
    w->NextQueA->trigger();
    EXPECT_EQ(w->ViewQueIndex, 4);
    EXPECT_FALSE(w->NextQueA->isEnabled()); // the last position the card has
}

TEST_F(CardViewTest, TheLiveRefreshUsesTheViewsOwnPositionAndStaysInRange) {
    finishedTesting(5, 2);
    giveCard(0, 5, "12");
    giveCard(1, 5, "3");
    choose(0);
    w->NextQueA->trigger();
    ASSERT_EQ(w->ViewQueIndex, 1);

    // The question viewer and the topic reader move the shared index far past any card.
    s->QueIndex = 40;
    s->Students[0].Answers[1].Given = "4";
    w->StringGrid->SetCell(3, 1, "-");
    w->RefreshQueView();
    EXPECT_EQ(w->PositionL->text(), "Question 2-th from 5");
    EXPECT_TRUE(w->RadioButton4->isChecked());
    EXPECT_EQ(w->RightsCountL->text(), "Correct answers: 1");
    EXPECT_EQ(s->QueIndex, 40);

    // The chosen student's row is gone from the table: nothing is read.
    s->Students.removeFirst();
    s->StudentCount = 1;
    w->StudentName->setCurrentIndex(1);
    w->RefreshQueView();
    EXPECT_TRUE(viewBlank());

    // No student chosen: the refresh leaves the view alone.
    w->StudentName->setCurrentIndex(0);
    w->StudentNameChange(w->StudentName);
    const QString shown = w->SamVoprLabel->text();
    w->StudentName->setCurrentIndex(-1);
    w->RefreshQueView();
    EXPECT_EQ(w->SamVoprLabel->text(), shown);
}

TEST_F(CardViewTest, TheQuestionViewerDoesNotMoveTheCardView) {
    finishedTesting(5, 1);
    giveCard(0, 5, "12341");
    choose(0);
    w->NextQueA->trigger();
    w->NextQueA->trigger();
    TQueListF* viewer = examiner->QueListF();
    viewer->show();
    viewer->NextClick();
    viewer->NextClick();
    viewer->NextClick();
    viewer->close();
    EXPECT_EQ(s->QueIndex, 3);
    EXPECT_EQ(w->ViewQueIndex, 2);
    w->NextQueA->trigger();
    EXPECT_EQ(w->PositionL->text(), "Question 4-th from 5");
    EXPECT_EQ(s->QueIndex, 3);
}

TEST_F(CardViewTest, RegistrationsNeverChooseAStudentForTheTeacher) {
    finishedTesting(5, 0);
    w->ClearResults();
    registerStudents(2);
    EXPECT_EQ(w->StudentName->currentIndex(), -1);
    giveCard(0, 5, "1");
    w->RefreshQueView(); // an answers message with no student chosen
    EXPECT_TRUE(viewBlank());

    choose(1);
    registerStudents(1);
    EXPECT_EQ(w->StudentName->currentIndex(), 1);
    EXPECT_EQ(w->StudentName->count(), 3);
}

TEST_F(CardViewTest, ClearQueViewEmptiesTheViewAndKeepsTheChoice) {
    finishedTesting(5, 2);
    giveCard(1, 5, "2");
    choose(1);
    w->NextQueA->trigger();
    w->StatusPanel0->setText("x");
    w->ClearQueView();
    EXPECT_TRUE(viewBlank());
    EXPECT_EQ(w->StudentName->currentIndex(), -1);
    EXPECT_TRUE(w->StudentName->currentText().isEmpty());
    EXPECT_EQ(w->StudentName->count(), 2);
    EXPECT_TRUE(w->StatusPanel0->text().isEmpty());
    EXPECT_FALSE(w->PrevQueA->isEnabled());
    EXPECT_FALSE(w->NextQueA->isEnabled());
    EXPECT_EQ(s->SelStudent, 1);
}

TEST_F(CardViewTest, TheCardViewIsReadOnlyAndReadable) {
    EXPECT_FALSE(w->Panel4->isEnabled());
    EXPECT_EQ(w->Panel4->height(), 160);
    EXPECT_EQ(w->Panel4->font().pixelSize(), 11);
    EXPECT_FALSE(w->Panel4->font().bold());
    EXPECT_TRUE(w->SamVoprLabel->wordWrap());
    EXPECT_FALSE(w->StudentName->isEditable());
    EXPECT_FALSE(w->StudentName->isEnabled());
    EXPECT_EQ(w->PositionL->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(w->PositionL->font().pixelSize(), 16);
    EXPECT_TRUE(w->PositionL->font().bold());
    EXPECT_EQ(w->StringGridView->font().pixelSize(), 16);
    EXPECT_TRUE(w->StringGridView->font().bold());
    EXPECT_EQ(w->StringGridView->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(w->StringGridView->showGrid());
    // Disabled only against input: the texts keep their colours.
    EXPECT_EQ(w->RadioButton1->palette().color(QPalette::Disabled, QPalette::WindowText),
              w->RadioButton1->palette().color(QPalette::Active, QPalette::WindowText));
}

// ---- the whole window with a topic open and a card question shown, in both languages

class CardViewLayoutTest : public CardViewTest, public ::testing::WithParamInterface<int> {
protected:
    static bool fits(const QLabel* l) {
        return l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width();
    }
    static bool fits(const QRadioButton* b) { return b->sizeHint().width() <= b->width(); }
    void saveShot(const QString& name) {
        const QString dir = qEnvironmentVariable("VXG_SHOTS_DIR");
        if (dir.isEmpty())
            return;
        QDir().mkpath(dir);
        EXPECT_TRUE(w->grab().save(dir + "/" + name + ".png"));
    }
};

TEST_P(CardViewLayoutTest, ATopicWithACardQuestionShowsEverythingInFull) {
    if (GetParam() == 0)
        w->Rus1Click();
    showWindow();
    QTemporaryDir topics;
    TWorkQues topic = testfiles::MakeTopic(12);
    topic[2].QuestionText = QStringLiteral(
        "Which of the following statements about the boiling point of water at normal atmospheric "
        "pressure is true, and why does it change in the mountains where the air is thinner?");
    const QString file = topics.path() + "/physics.vxg";
    WriteQuestionFile(file, topic);
    dialogs->chooseFile(file);
    ASSERT_TRUE(w->OpenTopicClick(nullptr));
    setQuestionsPerCard(10);
    s->AttState = AttIsFinished;
    w->SetupGrid();
    registerStudents(3);
    giveCard(0, 10, "1234123412");
    giveCard(1, 10, "2222222222");
    giveCard(2, 10, "12 4");
    w->StringGrid->SetCell(1, 1, "12");
    w->StudentName->setEnabled(true);
    // Student 2 answered variant 2 of the third question, whose right answer is 3.
    w->StringGridView->setCurrentIndex(w->StringGrid->index(2, 4));
    w->StringGridClick();
    QCoreApplication::processEvents();

    ASSERT_EQ(w->ViewQueIndex, 2);
    EXPECT_TRUE(w->RadioButton2->isChecked());
    EXPECT_TRUE(Highlighted(w->RadioButton3));
    // The panel under the grid never widens the window beyond its designed 780 pixels.
    EXPECT_LE(w->Panel2->minimumSizeHint().width(), 780);
    EXPECT_EQ(w->StringGridView->width(), w->centralWidget()->width());
    EXPECT_EQ(w->StringGridView->height(), 4 * 24 + 22);
    for (const QLabel* l : {w->PositionL, w->ReshCountL, w->RightsCountL})
        EXPECT_TRUE(fits(l)) << qPrintable(l->text());
    for (const QRadioButton* b : {w->RadioButton1, w->RadioButton2, w->RadioButton3, w->RadioButton4})
        EXPECT_TRUE(fits(b)) << qPrintable(b->text());
    EXPECT_GE(w->SamVoprLabel->heightForWidth(w->SamVoprLabel->width()), 0);
    EXPECT_LE(w->SamVoprLabel->heightForWidth(w->SamVoprLabel->width()), w->SamVoprLabel->height());
    saveShot(GetParam() == 0 ? "review_grid_ru" : "review_grid_en");
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, CardViewLayoutTest, ::testing::Values(0, 200));

} // namespace
