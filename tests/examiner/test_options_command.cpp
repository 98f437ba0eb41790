// The main window's Options command: the set in force goes into the dialog and comes back on
// OK only.
#include "test_grid_fixture.h"

#include "OptionsU.h"
#include "StringGrid.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Runs the Options command; drive works the modal dialog from inside its event loop.
void runOptions(TExaminer& examiner, TWorkF& w, const std::function<void(TOptionsF&)>& drive) {
    TOptionsF& dlg = *examiner.OptionsF();
    bool driven = false;
    QTimer::singleShot(0, &dlg, [&] {
        driven = true;
        drive(dlg);
        if (dlg.isVisible()) // a drive that forgot to close must not hang the test
            dlg.reject();
    });
    ASSERT_TRUE(w.Options->isEnabled());
    w.Options->trigger();
    EXPECT_TRUE(driven);
    EXPECT_FALSE(dlg.isVisible());
}

class OptionsCommandTest : public ExaminerTest {
protected:
    void runOptions(TWorkF& w, const std::function<void(TOptionsF&)>& drive) {
        ::runOptions(*examiner, w, drive);
    }

    static void typeName(TOptionsF& dlg, const QString& name) {
        dlg.NameEdit->lineEdit()->selectAll();
        QTest::keyClicks(dlg.NameEdit->lineEdit(), name);
    }
};

using OptionsAfterTestingTest = ExaminerWindowTest;

TEST_F(OptionsCommandTest, OkPutsTheEditedSetInForceUnderItsName) {
    makeAdaptedFolder();
    TWorkF& w = startAndShow();
    ASSERT_EQ(examiner->State.OptionsName, "Default");
    ASSERT_EQ(examiner->State.ActiveOptions, FactoryTestOptions());

    TTestOptions seenInDialog;
    runOptions(w, [&](TOptionsF& dlg) {
        seenInDialog = examiner->State.EditOptions;
        QTest::keyClick(dlg.GivenVoprEd, Qt::Key_Up);
        QTest::keyClick(dlg.GivenVoprEd, Qt::Key_Up);
        typeName(dlg, "Exam");
        QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
    });

    EXPECT_EQ(seenInDialog, FactoryTestOptions());
    EXPECT_EQ(examiner->State.OptionsName, "Exam");
    EXPECT_EQ(examiner->State.ActiveOptions.GivenVopr, 12);
    EXPECT_EQ(examiner->State.ActiveOptions, examiner->State.EditOptions);
    EXPECT_EQ(w.StatusPanel1->text(), text(46) + "Exam");
    EXPECT_EQ(w.StringGrid->ColCount(), 12 + 2);
}

TEST_F(OptionsCommandTest, CancelLeavesTheSetInForceAndItsName) {
    makeAdaptedFolder();
    TWorkF& w = startAndShow();
    const QString status = w.StatusPanel1->text();
    const int columns = w.StringGrid->ColCount();

    runOptions(w, [&](TOptionsF& dlg) {
        QTest::keyClick(dlg.GivenVoprEd, Qt::Key_Up);
        typeName(dlg, "Exam");
        dlg.CancelBtn->click();
    });

    EXPECT_EQ(examiner->State.OptionsName, "Default");
    EXPECT_EQ(examiner->State.ActiveOptions, FactoryTestOptions());
    EXPECT_EQ(examiner->State.EditOptions.GivenVopr, 10); // read from the controls only on OK
    EXPECT_EQ(w.StatusPanel1->text(), status);
    EXPECT_EQ(w.StringGrid->ColCount(), columns);

    // The next opening hands the set in force in again; the controls still hold the edit, so
    // showing it counts as a change and the same OK gives "No Name".
    runOptions(w, [&](TOptionsF& dlg) {
        EXPECT_EQ(dlg.GivenVoprEd->value(), 10);
        QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
    });
    EXPECT_EQ(examiner->State.OptionsName, "No Name");
    EXPECT_EQ(examiner->State.ActiveOptions, FactoryTestOptions());
    EXPECT_EQ(w.StatusPanel1->text(), text(46) + "No Name");
}

// After a testing the grid keeps showing its results whatever the new parameters: the grades
// and marks come back from the student table; a card longer than the new cards shows its first
// marks only, a shorter one leaves the further columns empty.
TEST_F(OptionsAfterTestingTest, TheResultsOfAFinishedTestingStayOnScreen) {
    s->TopicQuestions = testfiles::MakeTopic(12);
    setQuestionsPerCard(7);
    w->SetupGrid();
    registerStudents(2);
    giveCard(0, 7, "1234123");
    giveCard(1, 7, "2");
    s->Students[0].Mark = 9;
    w->StringGrid->SetCell(1, 1, "9");
    s->AttState = AttIsFinished;
    w->QuickHelpAUpdate();

    for (const int n : {7, 9, 5}) {
        SCOPED_TRACE(n);
        runOptions(*examiner, *w, [&](TOptionsF& dlg) {
            dlg.GivenVoprEd->setValue(n);
            QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
        });
        ASSERT_EQ(w->StringGrid->ColCount(), n + 2);
        EXPECT_EQ(QStringList({cell(0, 1), cell(1, 1), cell(1, 2), cell(3, 1), cell(2, 2)}),
                  QStringList({"Student 1", "9", "", "+", "-"}));
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(cell(i + 2, 1), i < 7 ? s->Students[0].Answers[i].Check : QString()) << i;
    }
    EXPECT_EQ(s->AttState, AttIsFinished);
}

} // namespace
