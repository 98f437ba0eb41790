// The parameters dialog driven offscreen: controls, flags, the name box and the OK rule that
// decides the name of the set in force.
#include "OptionsU.h"

#include "CustomOptions.h"
#include "Dialogs.h"
#include "Globals.h"
#include "MyPrintUtils.h"
#include "OptionsDriver.h"
#include "OptionsLayout.h"
#include "PrinterDevice.h"
#include "Printouts.h"
#include "RecordingPrinter.h"
#include "Registry.h"
#include "ScriptedDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable failure messages for texts.
static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

using vxg::DlgKind;
using vxg::DlgResult;

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(vxg::Registry::defaultFilePath());
        LangOffset = 200;
        LoadLangStrings();
        dialogs = ScriptedDialogs::install();
    }

    void TearDown() override {
        dlg.reset();
        ScriptedDialogs::uninstall();
    }

    TOptionsF& create() {
        dlg = std::make_unique<TOptionsF>(state);
        return *dlg;
    }

    // What the Options command does before the dialog shows: the set in force goes into the
    // working copy.
    void open() {
        state.EditOptions = state.ActiveOptions;
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    }

    void pressOk() {
        QTest::mouseClick(dlg->OkBtn, Qt::LeftButton);
        ASSERT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
    }

    // The user picks an entry in the name box's drop-down list.
    void choose(const QString& entry) {
        ASSERT_TRUE(ChooseSet(*dlg, entry)) << qPrintable(entry);
        EXPECT_FALSE(dlg->NameEdit->view()->isVisible());
    }

    // The user replaces the name box's text by typing.
    void type(const QString& text) { TypeSetName(*dlg, text); }

    // The user changes one threshold by one step.
    void bumpThreshold(int k) { QTest::keyClick(dlg->SpinEdit(k), Qt::Key_Up); }

    QStringList listEntries() const {
        QStringList out;
        for (int i = 0; i < dlg->NameEdit->count(); ++i)
            out << dlg->NameEdit->itemText(i);
        return out;
    }

    TTestOptions shown() {
        const TTestOptions keep = state.EditOptions;
        dlg->ReadOptionsFromForm();
        const TTestOptions out = state.EditOptions;
        state.EditOptions = keep;
        return out;
    }

    QString loadedText(const QString& name) const { return lang(114) + name + lang(115); }

    TExaminerState state;
    std::unique_ptr<TOptionsF> dlg;
    ScriptedDialogs* dialogs = nullptr;
    vxg::Registry reg;
    OptionSetStore store;
};

// ------------------------------------------------------------------ creation and showing

TEST_F(OptionsDialogTest, FirstCreationMakesFactorySetAndPutsItInForce) {
    create();
    EXPECT_TRUE(store.hasDefault());
    TTestOptions stored;
    ASSERT_TRUE(store.load("Default", stored));
    EXPECT_EQ(stored, FactoryTestOptions());
    EXPECT_EQ(state.ActiveOptions, FactoryTestOptions());
    EXPECT_EQ(state.EditOptions, FactoryTestOptions());
    EXPECT_EQ(state.OptionsName, "Default");
    EXPECT_EQ(listEntries(), QStringList({"Default"}));
    EXPECT_FALSE(dlg->SettingsModified);
    EXPECT_FALSE(dlg->SettingsNamed);
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    // The controls start at the factory values, with their ranges.
    EXPECT_EQ(shown(), FactoryTestOptions());
    EXPECT_EQ(dlg->GivenVoprEd->minimum(), 5);
    EXPECT_EQ(dlg->GivenVoprEd->maximum(), 100);
    EXPECT_EQ(dlg->SpinEdit(1)->maximum(), 100);
    EXPECT_EQ(dlg->SpinEdit(12)->maximum(), 110);
    EXPECT_EQ(dlg->TimeSetTrackBar->minimum(), 5);
    EXPECT_EQ(dlg->TimeSetTrackBar->maximum(), 90);
    EXPECT_EQ(dlg->TimeSetTrackBar->tickInterval(), 5);
    EXPECT_FALSE(dlg->SaveOptionsBtn->isEnabled());
    EXPECT_FALSE(dlg->DeleteOptionsBtn->isEnabled());
    EXPECT_EQ(dlg->findChild<QSpinBox*>("SpinEdit7"), dlg->SpinEdit(7));
    EXPECT_EQ(dlg->Label30->text(), "Time limit: 20 minutes");
    EXPECT_EQ(dlg->windowTitle(), "Parameters of testing");
}

TEST_F(OptionsDialogTest, ExistingFactorySetIsLeftAlone) {
    WriteTestOptions(reg, OptionSetKey("DEFAULT"), Custom(1));
    create();
    TTestOptions stored;
    ASSERT_TRUE(store.load("Default", stored));
    EXPECT_EQ(stored, Custom(1));
    EXPECT_EQ(state.ActiveOptions, TTestOptions());
    EXPECT_TRUE(state.OptionsName.isEmpty());
    EXPECT_EQ(state.EditOptions, FactoryTestOptions()); // the controls' initial values
}

TEST_F(OptionsDialogTest, ShowingListsStoredSetsAndKeepsTheName) {
    create();
    store.save("Exam", Custom(1));
    WriteTestOptions(reg, OptionSetKey("Last"), Custom(2));
    state.OptionsName = "Something typed";
    open();
    EXPECT_EQ(listEntries(), QStringList({"Default", "Exam"}));
    EXPECT_EQ(dlg->NameEdit->currentText(), "Something typed");
    EXPECT_TRUE(dlg->SaveOptionsBtn->isEnabled());

    // A set written meanwhile (by the question editor) shows at the next showing.
    dlg->reject();
    store.save("From editor", Custom(3));
    store.remove("Exam");
    open();
    EXPECT_EQ(listEntries(), QStringList({"Default", "From editor"}));
    EXPECT_EQ(dlg->NameEdit->currentText(), "Something typed");
}

TEST_F(OptionsDialogTest, ShowingTakesTheLanguageInForce) {
    create();
    open();
    EXPECT_EQ(dlg->OkBtn->text(), "Apply");
    dlg->reject();
    LangOffset = 0;
    LoadLangStrings();
    open();
    EXPECT_EQ(dlg->OkBtn->text(), "Применить");
    EXPECT_EQ(dlg->windowTitle(), "Параметры тестирования");
    EXPECT_EQ(dlg->GradeLabels[0]->text(), "12 баллов --");
    EXPECT_EQ(dlg->GradeLabels[11]->text(), "1 баллов --");
    EXPECT_EQ(dlg->Label28->text(), "5 мин");
    EXPECT_EQ(dlg->Label30->text(), "Установлено ограничение: 20 минут");
}

TEST_F(OptionsDialogTest, ShowingDoesNotResetTheFlags) {
    create();
    open();
    bumpThreshold(3);
    EXPECT_TRUE(dlg->SettingsModified);
    dlg->reject();
    // The same working copy as the controls hold: nothing changes, the flags stay.
    dlg->ReadOptionsFromForm();
    dlg->show();
    EXPECT_TRUE(dlg->SettingsModified);
    EXPECT_FALSE(dlg->SettingsNamed);

    type("Mine");
    dlg->reject();
    dlg->show();
    EXPECT_TRUE(dlg->SettingsNamed);
}

// ------------------------------------------------------------------ the OK rule, row by row

TEST_F(OptionsDialogTest, OkAfterChangeWithoutNameGivesNoName) {
    create();
    state.OptionsName = "Exam";
    open();
    bumpThreshold(5);
    pressOk();
    EXPECT_EQ(state.OptionsName, "No Name");
    EXPECT_EQ(state.EditOptions.Na[4], 5);
    EXPECT_FALSE(dlg->SettingsModified);
    EXPECT_FALSE(dlg->SettingsNamed);

    // The factory set's name in the box does not name changed values.
    state.OptionsName = "Default";
    open();
    bumpThreshold(5);
    pressOk();
    EXPECT_EQ(state.OptionsName, "No Name");
}

TEST_F(OptionsDialogTest, OkAfterChangeThenTypingTakesTheTypedName) {
    create();
    open();
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Up);
    type("Unsaved");
    pressOk();
    EXPECT_EQ(state.OptionsName, "Unsaved");
    EXPECT_EQ(state.EditOptions.GivenVopr, 11);
    TTestOptions o;
    EXPECT_FALSE(store.load("Unsaved", o)); // nothing was saved

    // Whatever the box holds, also nothing at all.
    open();
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Up);
    type("");
    pressOk();
    EXPECT_EQ(state.OptionsName, "");
}

TEST_F(OptionsDialogTest, TypingFirstThenChangingGivesNoName) {
    create();
    open();
    type("Unsaved");
    EXPECT_TRUE(dlg->SettingsNamed);
    bumpThreshold(2);
    EXPECT_FALSE(dlg->SettingsNamed);
    pressOk();
    EXPECT_EQ(state.OptionsName, "No Name");
}

TEST_F(OptionsDialogTest, OkWithDefaultInTheBoxAndNothingChangedGivesDefault) {
    create();
    state.OptionsName = "Exam";
    open();
    type("Default");
    pressOk();
    EXPECT_EQ(state.OptionsName, "Default");

    // Named or not: the flag plays no part in this row.
    state.OptionsName = "Exam";
    open();
    dlg->NameEdit->setEditText("Default"); // from code: not typed
    EXPECT_FALSE(dlg->SettingsNamed);
    pressOk();
    EXPECT_EQ(state.OptionsName, "Default");
}

TEST_F(OptionsDialogTest, OkWithNothingChangedKeepsTheName) {
    create();
    state.OptionsName = "Exam";
    open();
    pressOk();
    EXPECT_EQ(state.OptionsName, "Exam");

    open();
    type("Something else");
    pressOk();
    EXPECT_EQ(state.OptionsName, "Exam");

    open();
    type("default"); // the comparison is exact
    pressOk();
    EXPECT_EQ(state.OptionsName, "Exam");
}

TEST_F(OptionsDialogTest, CancelChangesNothing) {
    create();
    state.OptionsName = "Exam";
    open();
    bumpThreshold(1);
    type("Typed");
    dlg->CancelBtn->click();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(state.OptionsName, "Exam");
    EXPECT_TRUE(dlg->SettingsModified);
    EXPECT_TRUE(dlg->SettingsNamed);

    open();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(state.OptionsName, "Exam");
}

// ------------------------------------------------------------------ values shown from code

TEST_F(OptionsDialogTest, FirstOpeningWithAStoredNonFactorySetGivesNoName) {
    create();
    state.ActiveOptions = Custom(4); // what "Last" put in force at start
    state.OptionsName = "Exam";
    open();
    EXPECT_TRUE(dlg->SettingsModified);
    EXPECT_FALSE(dlg->SettingsNamed);
    EXPECT_EQ(shown(), Custom(4));
    pressOk();
    EXPECT_EQ(state.OptionsName, "No Name");
    EXPECT_EQ(state.EditOptions, Custom(4));

    // The next opening shows what the controls hold already: the name stays.
    state.ActiveOptions = state.EditOptions;
    state.OptionsName = "Exam";
    open();
    EXPECT_FALSE(dlg->SettingsModified);
    pressOk();
    EXPECT_EQ(state.OptionsName, "Exam");
}

TEST_F(OptionsDialogTest, ShowingADifferentTimeFlagAloneKeepsTheNameMeant) {
    create();
    open();
    type("Mine");
    dlg->reject();
    TTestOptions o = FactoryTestOptions();
    o.TimeBool = false;
    state.EditOptions = o;
    dlg->show();
    EXPECT_TRUE(dlg->SettingsModified);
    EXPECT_TRUE(dlg->SettingsNamed);
    EXPECT_FALSE(dlg->TimeSetTrackBar->isEnabled());
    EXPECT_TRUE(dlg->Label30->isHidden());

    // Any other field clears it.
    o.MaxTime = 33;
    state.EditOptions = o;
    dlg->ShowOptionsInForm(o);
    EXPECT_FALSE(dlg->SettingsNamed);
    EXPECT_EQ(dlg->Label30->text(), "Time limit: 33 minutes");
}

TEST_F(OptionsDialogTest, ValuesAreBroughtIntoRange) {
    create();
    TTestOptions o = FactoryTestOptions();
    o.GivenVopr = 0;
    o.Na[11] = 200;
    o.MaxTime = 1000;
    dlg->ShowOptionsInForm(o);
    const TTestOptions s = shown();
    EXPECT_EQ(s.GivenVopr, 5);
    EXPECT_EQ(s.Na[11], 110);
    EXPECT_EQ(s.MaxTime, 90);
}

TEST_F(OptionsDialogTest, AFieldWithoutANumberReadsAsItsMinimum) {
    create();
    open();
    const auto clear = [](QSpinBox* spin) {
        QLineEdit* edit = spin->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
    };
    // Read while the field is still being edited.
    clear(dlg->SpinEdit(3));
    dlg->ReadOptionsFromForm();
    EXPECT_EQ(state.EditOptions.Na[2], 0);

    // Left for another control: the field itself settles on its minimum.
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    dlg->GivenVoprEd->setFocus();
    clear(dlg->GivenVoprEd);
    EXPECT_FALSE(dlg->SettingsModified);
    dlg->NameEdit->setFocus();
    EXPECT_EQ(dlg->GivenVoprEd->value(), 5);
    EXPECT_TRUE(dlg->SettingsModified); // the settling is a change like any other
    pressOk();
    EXPECT_EQ(state.EditOptions.GivenVopr, 5);
    EXPECT_EQ(state.EditOptions.Na[2], 0);
}

TEST_F(OptionsDialogTest, TimeLimitOffDisablesTheTrackBarButStillReadsIt) {
    create();
    open();
    type("Mine");
    QTest::keyClick(dlg->TimeSetTrackBar, Qt::Key_Right);
    EXPECT_EQ(dlg->Label30->text(), "Time limit: 21 minutes");
    EXPECT_FALSE(dlg->SettingsNamed);
    type("Mine");

    dlg->TimeLimitedCB->click();
    EXPECT_FALSE(dlg->TimeSetTrackBar->isEnabled());
    EXPECT_TRUE(dlg->Label30->isHidden());
    EXPECT_TRUE(dlg->SettingsModified);
    EXPECT_TRUE(dlg->SettingsNamed); // the time switch alone does not unname
    pressOk();
    EXPECT_FALSE(state.EditOptions.TimeBool);
    EXPECT_EQ(state.EditOptions.MaxTime, 21);
    EXPECT_EQ(state.OptionsName, "Mine");

    // Showing the set in force (time limited) switches them back through the same handler.
    open();
    EXPECT_TRUE(dlg->TimeLimitedCB->isChecked());
    EXPECT_TRUE(dlg->TimeSetTrackBar->isEnabled());
    EXPECT_FALSE(dlg->Label30->isHidden());
}

TEST_F(OptionsDialogTest, EachParameterControlUnnames) {
    create();
    open();
    const auto check = [&](const char* what, const std::function<void()>& change) {
        type("Mine");
        dlg->SettingsModified = false;
        change();
        EXPECT_TRUE(dlg->SettingsModified) << what;
        EXPECT_FALSE(dlg->SettingsNamed) << what;
    };
    check("GivenVoprEd", [&] { QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Down); });
    for (int k = 1; k <= 12; ++k)
        check("SpinEdit", [&] { QTest::keyClick(dlg->SpinEdit(k), Qt::Key_Up); });
    check("TimeSetTrackBar", [&] { QTest::keyClick(dlg->TimeSetTrackBar, Qt::Key_Left); });
    check("RandomGiveOutCB", [&] { dlg->RandomGiveOutCB->click(); });
    check("MayBackCB", [&] { dlg->MayBackCB->click(); });
    check("ShowRightsCB", [&] { dlg->ShowRightsCB->click(); });

    // Setting a value a control already holds notifies nothing.
    type("Mine");
    dlg->SettingsModified = false;
    dlg->ShowOptionsInForm(shown());
    EXPECT_FALSE(dlg->SettingsModified);
    EXPECT_TRUE(dlg->SettingsNamed);
}

// Enter in a number field applies the dialog; the field reports its value on Enter even when
// it did not change, which must not count as a change.
TEST_F(OptionsDialogTest, EnterInANumberFieldChangesOnlyWhatWasTyped) {
    create();
    state.OptionsName = "Exam";
    for (QSpinBox* field : {dlg->GivenVoprEd, dlg->SpinEdit(12)}) {
        open();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_FALSE(dlg->isVisible()) << qPrintable(field->objectName());
        EXPECT_EQ(state.OptionsName, "Exam") << qPrintable(field->objectName());
        EXPECT_EQ(state.EditOptions, FactoryTestOptions());
    }

    // A value typed before Enter is a change like any other.
    open();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    type("Mine");
    dlg->GivenVoprEd->setFocus();
    dlg->GivenVoprEd->selectAll();
    QTest::keyClicks(dlg->GivenVoprEd, "12");
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(state.OptionsName, "No Name");
    EXPECT_EQ(state.EditOptions.GivenVopr, 12);
}

// ------------------------------------------------------------------ name box

TEST_F(OptionsDialogTest, ChoosingASetWithOtherValuesMakesItTheSetInForce) {
    create();
    store.save("Exam", Custom(2));
    state.OptionsName = "Default";
    open();
    choose("Exam");
    EXPECT_EQ(dlg->NameEdit->currentText(), "Exam");
    EXPECT_EQ(shown(), Custom(2));
    EXPECT_EQ(state.EditOptions, Custom(2));
    EXPECT_TRUE(dlg->SettingsModified);
    EXPECT_TRUE(dlg->SettingsNamed);
    EXPECT_TRUE(dlg->SaveOptionsBtn->isEnabled());
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList({loadedText("Exam")}));
    pressOk();
    EXPECT_EQ(state.OptionsName, "Exam");
    EXPECT_EQ(state.EditOptions, Custom(2));
}

TEST_F(OptionsDialogTest, ChoosingASetWithTheShownValuesKeepsTheName) {
    create();
    store.save("Same", FactoryTestOptions());
    state.OptionsName = "Exam";
    open();
    choose("Same");
    EXPECT_FALSE(dlg->SettingsModified);
    EXPECT_TRUE(dlg->SettingsNamed);
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList({loadedText("Same")}));
    pressOk();
    EXPECT_EQ(state.OptionsName, "Exam");

    open();
    choose("Default");
    EXPECT_FALSE(dlg->SaveOptionsBtn->isEnabled());
    pressOk();
    EXPECT_EQ(state.OptionsName, "Default");
}

TEST_F(OptionsDialogTest, ChoosingTheListedEntryAgainAfterTypingPutsItBack) {
    create();
    store.save("Exam", Custom(1));
    open();
    choose("Exam");
    type("Exam typed over");
    choose("Exam");
    EXPECT_EQ(dlg->NameEdit->currentText(), "Exam");
    EXPECT_EQ(dialogs->texts(DlgKind::Information).size(), 2);
}

TEST_F(OptionsDialogTest, ArrowKeysChooseFromTheListToo) {
    create();
    store.save("Exam", Custom(3));
    open();
    dlg->NameEdit->setCurrentIndex(0); // "Default"
    QTest::keyClick(dlg->NameEdit, Qt::Key_Down);
    EXPECT_EQ(dlg->NameEdit->currentText(), "Exam");
    EXPECT_EQ(shown(), Custom(3));
    EXPECT_TRUE(dlg->SettingsNamed);
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList({loadedText("Exam")}));
}

TEST_F(OptionsDialogTest, TypingNeverLoadsASet) {
    create();
    store.save("Exam", Custom(1));
    open();
    type("Exam");
    QTest::keyClick(dlg->NameEdit->lineEdit(), Qt::Key_Return); // applies: OK is the default
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(state.EditOptions, FactoryTestOptions());
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(listEntries(), QStringList({"Default", "Exam"}));
}

// The reserved names are refused in any letter case: the registry would take "default" for
// the factory set's own key.
TEST_F(OptionsDialogTest, SetButtonsAreOffForReservedNamesInAnyCase) {
    create();
    open();
    const auto enabledFor = [&](const QString& name) {
        type(name);
        EXPECT_EQ(dlg->SaveOptionsBtn->isEnabled(), dlg->DeleteOptionsBtn->isEnabled());
        return dlg->SaveOptionsBtn->isEnabled();
    };
    EXPECT_FALSE(enabledFor("default"));
    EXPECT_FALSE(enabledFor("DEFAULT"));
    EXPECT_FALSE(enabledFor("no name"));
    EXPECT_FALSE(enabledFor("Last"));
    EXPECT_FALSE(enabledFor("lAST"));
    EXPECT_TRUE(enabledFor("Exam"));
    EXPECT_TRUE(enabledFor("Default set"));
    EXPECT_FALSE(enabledFor("Default"));
    EXPECT_FALSE(enabledFor("No Name"));
    EXPECT_FALSE(enabledFor(""));
}

TEST_F(OptionsDialogTest, ChoosingASetDeletedMeanwhileReportsIt) {
    create();
    store.save("Gone", Custom(1));
    open();
    store.remove("Gone"); // by the question editor, while the list shows it
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    dlg->OkBtn->setFocus();
    choose("Gone");
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(116)}));
    EXPECT_TRUE(dialogs->texts(DlgKind::Information).isEmpty());
    EXPECT_EQ(state.EditOptions, FactoryTestOptions());
    EXPECT_EQ(shown(), FactoryTestOptions());
    EXPECT_TRUE(dlg->NameEdit->hasFocus());
    EXPECT_TRUE(dlg->SettingsNamed);
    EXPECT_FALSE(dlg->SettingsModified);
}

TEST_F(OptionsDialogTest, ChoosingABrokenSetStopsWithTheRegistryError) {
    create();
    store.save("Broken", Custom(1));
    reg.deleteValue(OptionSetKey("Broken"), "Na4");
    open();
    bumpThreshold(1);
    choose("Broken");
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({"Failed to get data for 'Na4'"}));
    EXPECT_EQ(state.EditOptions.GivenVopr, Custom(1).GivenVopr); // read before the failure
    EXPECT_EQ(state.EditOptions.Na[3], FactoryTestOptions().Na[3]);
    EXPECT_EQ(shown(), [] {
        TTestOptions o = FactoryTestOptions();
        o.Na[0] = 1;
        return o;
    }());
    EXPECT_TRUE(dlg->SettingsNamed);
    EXPECT_TRUE(dlg->SettingsModified);
    EXPECT_TRUE(dialogs->texts(DlgKind::Information).isEmpty());
}

TEST_F(OptionsDialogTest, LoadOfAMissingOrEmptyNameWhileHidden) {
    create();
    TTestOptions before = Custom(5);
    state.EditOptions = before;
    const QWidget* focusBefore = dlg->focusWidget();
    EXPECT_FALSE(dlg->LoadOptionSet("Nowhere"));
    EXPECT_FALSE(dlg->LoadOptionSet(""));
    EXPECT_EQ(state.EditOptions, before);
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(116), lang(116)}));
    EXPECT_EQ(dlg->focusWidget(), focusBefore); // no focus moves while hidden

    EXPECT_TRUE(dlg->LoadOptionSet("default"));
    EXPECT_EQ(state.EditOptions, FactoryTestOptions());
    EXPECT_EQ(dialogs->boxes.size(), 2);
}

// ------------------------------------------------------------------ save, delete, print

TEST_F(OptionsDialogTest, SaveThenOkGivesTheSavedName) {
    create();
    open();
    bumpThreshold(12);
    type("Exam");
    dlg->SaveOptionsBtn->click();
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList({lang(118) + "Exam>"}));
    TTestOptions stored;
    ASSERT_TRUE(store.load("Exam", stored));
    EXPECT_EQ(stored.Na[11], 16);
    EXPECT_EQ(listEntries(), QStringList({"Default", "Exam"}));
    EXPECT_TRUE(dlg->SettingsModified);
    EXPECT_TRUE(dlg->SettingsNamed);
    pressOk();
    EXPECT_EQ(state.OptionsName, "Exam");

    // Saving unchanged values still names them.
    open();
    type("Copy");
    dlg->SaveOptionsBtn->click();
    pressOk();
    EXPECT_EQ(state.OptionsName, "Copy");
}

TEST_F(OptionsDialogTest, SaveAddsANameToTheListOnlyOnceWhateverItsCase) {
    create();
    store.save("Test2", Custom(1));
    open();
    type("Test");
    dlg->SaveOptionsBtn->click();
    EXPECT_EQ(listEntries(), QStringList({"Default", "Test2", "Test"}));
    type("TEST");
    dlg->SaveOptionsBtn->click();
    EXPECT_EQ(listEntries(), QStringList({"Default", "Test2", "Test"}));
    EXPECT_EQ(dlg->NameEdit->currentText(), "TEST");
    EXPECT_EQ(store.names(), QStringList({"Default", "Test2", "Test"}));
}

TEST_F(OptionsDialogTest, SaveIntoAnEmptyListKeepsTheTypedName) {
    create();
    reg.deleteKey(OptionSetKey("Default"));
    open();
    ASSERT_TRUE(listEntries().isEmpty());
    type("First");
    dlg->SaveOptionsBtn->click();
    EXPECT_EQ(listEntries(), QStringList({"First"}));
    EXPECT_EQ(dlg->NameEdit->currentText(), "First");
}

TEST_F(OptionsDialogTest, SaveRefusesReservedEmptyAndSeparatedNames) {
    create();
    open();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    WriteTestOptions(reg, OptionSetKey("Last"), Custom(3));
    const QStringList before = store.names();
    for (const QString& name : {QStringLiteral("Default"), QStringLiteral("default"),
                                QStringLiteral("No Name"), QStringLiteral("NO NAME"), QStringLiteral("last"),
                                QString(), QStringLiteral("A\\B"), QStringLiteral("\\")}) {
        dialogs->boxes.clear();
        dlg->NameEdit->setEditText(name);
        dlg->OkBtn->setFocus();
        dlg->SaveOptionsBtnClick();
        EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(117)})) << qPrintable(name);
        EXPECT_TRUE(dlg->NameEdit->hasFocus()) << qPrintable(name);
    }
    EXPECT_EQ(store.names(), before);
    TTestOptions stored;
    ASSERT_TRUE(store.load("Default", stored));
    EXPECT_EQ(stored, FactoryTestOptions());
    ReadTestOptions(reg, OptionSetKey("Last"), stored);
    EXPECT_EQ(stored, Custom(3));
    EXPECT_FALSE(reg.keyExists(OptionSetKey("A")));
    EXPECT_EQ(listEntries(), before);
    EXPECT_FALSE(dlg->SettingsNamed);
}

TEST_F(OptionsDialogTest, DeleteThenOkLoadsDefault) {
    create();
    store.save("Exam", Custom(1));
    reg.createKey(OptionSetKey("Exam") + "\\Inner");
    store.save("Other", Custom(2));
    state.ActiveOptions = Custom(1);
    state.OptionsName = "Exam";
    open();
    EXPECT_TRUE(dlg->DeleteOptionsBtn->isEnabled());
    dialogs->answerNext(DlgResult::Yes);
    dlg->DeleteOptionsBtn->click();

    ASSERT_EQ(dialogs->boxes.size(), 2);
    EXPECT_EQ(dialogs->boxes[0].kind, DlgKind::Confirmation);
    EXPECT_EQ(dialogs->boxes[0].text, lang(119) + "Exam>?");
    EXPECT_EQ(dialogs->boxes[0].buttons, vxg::DlgButtons::YesNo);
    EXPECT_EQ(dialogs->boxes[1].text, loadedText("Default"));
    EXPECT_EQ(store.names(), QStringList({"Default", "Other"}));
    EXPECT_FALSE(reg.keyExists(OptionSetKey("Exam") + "\\Inner"));
    EXPECT_EQ(listEntries(), QStringList({"Default", "Other"}));
    EXPECT_EQ(dlg->NameEdit->currentText(), "Default");
    EXPECT_EQ(shown(), FactoryTestOptions());
    EXPECT_FALSE(dlg->SaveOptionsBtn->isEnabled());
    EXPECT_FALSE(dlg->DeleteOptionsBtn->isEnabled());
    // The deleted set stays in force until OK.
    EXPECT_EQ(state.OptionsName, "Exam");
    EXPECT_EQ(state.ActiveOptions, Custom(1));
    pressOk();
    EXPECT_EQ(state.OptionsName, "No Name");
    EXPECT_EQ(state.EditOptions, FactoryTestOptions());
}

TEST_F(OptionsDialogTest, DeleteAnsweredNoChangesNothing) {
    create();
    store.save("Exam", Custom(1));
    open();
    type("Exam");
    dialogs->answerNext(DlgResult::No);
    dlg->DeleteOptionsBtn->click();
    EXPECT_EQ(store.names(), QStringList({"Default", "Exam"}));
    EXPECT_EQ(listEntries(), QStringList({"Default", "Exam"}));
    EXPECT_EQ(dlg->NameEdit->currentText(), "Exam");
    EXPECT_EQ(dialogs->boxes.size(), 1);
}

// Whatever enables the button, an empty name must never reach the sets key itself, and no
// spelling of "Default" removes the factory set (which the dialog then reloads).
TEST_F(OptionsDialogTest, DeleteOfEmptySeparatedOrReservedNameKeepsEverySet) {
    create();
    store.save("Exam", Custom(1));
    store.save("Other", Custom(2));
    open();
    for (const QString& name : {QString(), QStringLiteral("\\"), QStringLiteral("Exam\\"),
                                QStringLiteral("default"), QStringLiteral("DEFAULT")}) {
        dlg->DeleteOptionSet(name);
        EXPECT_EQ(store.names(), QStringList({"Default", "Exam", "Other"})) << qPrintable(name);
        EXPECT_EQ(listEntries(), QStringList({"Default", "Exam", "Other"})) << qPrintable(name);
        EXPECT_EQ(dlg->NameEdit->currentText(), "Default");
    }
}

TEST_F(OptionsDialogTest, PrintPrintsTheShownValuesUnderTheBoxName) {
    auto printer = std::make_unique<vxg::RecordingPrinter>();
    vxg::RecordingPrinter* rec = printer.get();
    vxg::SetCurrentPrinter(std::move(printer));
    create();
    open();
    type("Exam");
    bumpThreshold(1);
    const bool modified = dlg->SettingsModified;
    const bool named = dlg->SettingsNamed;
    dlg->PrintBtn->click();
    EXPECT_EQ(rec->jobsEnded, 1);
    EXPECT_EQ(state.EditOptions.Na[0], 1);
    const QStringList printed = rec->texts();
    const QString all = printed.join('\n');
    EXPECT_TRUE(printed.contains("Settings name: Exam")) << qPrintable(all);
    // The threshold being edited is printed as shown, not as it was before.
    EXPECT_TRUE(printed.contains("7  points -- 6 correct answers          1  points -- 1 correct answers"))
        << qPrintable(all);
    for (const QString& line : TestOptionsLines(state.EditOptions))
        EXPECT_TRUE(line.trimmed().isEmpty() || all.contains(line.trimmed())) << qPrintable(line);
    EXPECT_EQ(dlg->SettingsModified, modified);
    EXPECT_EQ(dlg->SettingsNamed, named);
    vxg::SetCurrentPrinter(nullptr);
}

} // namespace
