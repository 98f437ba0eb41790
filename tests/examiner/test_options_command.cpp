// The main window's Options command: the set in force goes into the dialog and comes back on
// OK only.
#include "test_work_support.h"

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

class OptionsCommandTest : public ExaminerTest {
protected:
    // Runs the Options command; drive works the modal dialog from inside its event loop.
    void runOptions(TWorkF& w, const std::function<void(TOptionsF&)>& drive) {
        TOptionsF& dlg = *examiner->OptionsF();
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

    static void typeName(TOptionsF& dlg, const QString& name) {
        dlg.NameEdit->lineEdit()->selectAll();
        QTest::keyClicks(dlg.NameEdit->lineEdit(), name);
    }
};

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

} // namespace
