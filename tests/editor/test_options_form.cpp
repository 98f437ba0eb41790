// The editor's parameters dialog driven offscreen: its own table over the common dialog.
#include "OptionsUnit.h"

#include "Globals.h"
#include "Help.h"
#include "LanguageTest.h"
#include "OptionsLayout.h"
#include "Registry.h"
#include "ScriptedDialogs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBrowser>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using vxg::DlgKind;
using vxg::DlgResult;

TTestOptions Custom(int seed) {
    TTestOptions o = FactoryTestOptions();
    o.GivenVopr = 20 + seed;
    for (int i = 0; i < 12; ++i)
        o.Na[i] = i + seed;
    o.MaxTime = 40 + seed;
    o.MayBack = false;
    return o;
}

class OptionsFormTest : public LanguageTest {
protected:
    void SetUp() override {
        QFile::remove(vxg::Registry::defaultFilePath());
        useLanguage(200);
        EditOptions = TTestOptions();
        DefaultSettingsName = kDefaultSetName;
        dialogs = ScriptedDialogs::install();
    }
    void TearDown() override {
        dlg.reset();
        ScriptedDialogs::uninstall();
        LanguageTest::TearDown();
    }

    TOptionsForm& create() {
        dlg = std::make_unique<TOptionsForm>();
        return *dlg;
    }
    void open() {
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }
    void choose(const QString& entry) {
        QComboBox* combo = dlg->NameEdit;
        const int row = combo->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
        ASSERT_GE(row, 0) << qPrintable(entry);
        combo->showPopup();
        combo->view()->setCurrentIndex(combo->model()->index(row, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
    }
    void type(const QString& text) {
        QLineEdit* edit = dlg->NameEdit->lineEdit();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, text);
    }
    QStringList listEntries() const {
        QStringList out;
        for (int i = 0; i < dlg->NameEdit->count(); ++i)
            out << dlg->NameEdit->itemText(i);
        return out;
    }
    TTestOptions shown() {
        const TTestOptions keep = EditOptions;
        dlg->ReadOptionsFromForm();
        const TTestOptions out = EditOptions;
        EditOptions = keep;
        return out;
    }
    bool buttonsEnabled() const {
        EXPECT_EQ(dlg->SaveOptionsBtn->isEnabled(), dlg->DeleteOptionsBtn->isEnabled());
        return dlg->SaveOptionsBtn->isEnabled();
    }
    QString loadedText(const QString& name) const { return lang(114) + name + lang(115); }

    std::unique_ptr<TOptionsForm> dlg;
    ScriptedDialogs* dialogs = nullptr;
    OptionSetStore store;
};

TEST_F(OptionsFormTest, EditorStartedFirstCreatesAndShowsTheFactorySet) {
    create();
    TTestOptions stored;
    ASSERT_TRUE(store.load("Default", stored));
    EXPECT_EQ(stored, FactoryTestOptions());
    EXPECT_EQ(EditOptions, FactoryTestOptions());
    EXPECT_EQ(DefaultSettingsName, "Default");

    open();
    EXPECT_EQ(listEntries(), QStringList({"Default"}));
    EXPECT_EQ(dlg->NameEdit->currentText(), "Default");
    EXPECT_FALSE(buttonsEnabled());
    EXPECT_EQ(DefaultSettingsName, "default"); // from the first showing on
    EXPECT_EQ(dlg->CancelBtn->text(), "&Close");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

TEST_F(OptionsFormTest, AfterTheExaminerCreatedItTheNameBoxStartsEmpty) {
    vxg::Registry reg;
    WriteTestOptions(reg, OptionSetKey("Default"), Custom(1));
    create();
    EXPECT_EQ(EditOptions, TTestOptions()); // nothing read, nothing shown
    open();
    EXPECT_TRUE(dlg->NameEdit->currentText().isEmpty());
    EXPECT_FALSE(buttonsEnabled());
    TTestOptions stored;
    ASSERT_TRUE(store.load("Default", stored));
    EXPECT_EQ(stored, Custom(1));
}

TEST_F(OptionsFormTest, ChoosingLoadsWithAConfirmationAndSavingUnderANewNameListsIt) {
    create();
    store.save("Exam", Custom(2));
    open();
    choose("Exam");
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList({loadedText("Exam")}));
    EXPECT_EQ(loadedText("Exam"), "Settings <Exam> loaded\n\nYou can edit and save them now.");
    EXPECT_EQ(shown(), Custom(2));
    EXPECT_TRUE(buttonsEnabled());

    // Typing alone changes no button; Save stores the shown values under the typed name.
    type("");
    EXPECT_TRUE(buttonsEnabled());
    type("Exam 2");
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Up);
    QTest::mouseClick(dlg->SaveOptionsBtn, Qt::LeftButton);
    TTestOptions stored;
    ASSERT_TRUE(store.load("Exam 2", stored));
    TTestOptions expected = Custom(2);
    expected.GivenVopr += 1;
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(listEntries(), QStringList({"Default", "Exam", "Exam 2"}));
    EXPECT_EQ(dialogs->texts(DlgKind::Information).last(), lang(118) + "Exam 2>");
}

TEST_F(OptionsFormTest, DeletingEndsWithTheFactorySetShownAndConfirmed) {
    create();
    store.save("Exam", Custom(2));
    open();
    choose("Exam");
    dialogs->answerNext(DlgResult::Yes);
    QTest::mouseClick(dlg->DeleteOptionsBtn, Qt::LeftButton);

    TTestOptions stored;
    EXPECT_FALSE(store.load("Exam", stored));
    EXPECT_EQ(listEntries(), QStringList({"Default"}));
    EXPECT_EQ(dlg->NameEdit->currentText(), "default");
    EXPECT_EQ(shown(), FactoryTestOptions());
    EXPECT_FALSE(buttonsEnabled());
    EXPECT_EQ(dialogs->texts(DlgKind::Confirmation), QStringList({lang(119) + "Exam>?"}));
    EXPECT_EQ(dialogs->texts(DlgKind::Information).last(), loadedText("default"));
}

// The buttons keep their state while the user types, so each command checks the name as it
// stands when pressed: nothing reserved, nothing empty, nothing that would reach every set.
TEST_F(OptionsFormTest, SaveAndDeleteCheckTheNameAsItStandsWhenPressed) {
    create();
    store.save("Exam", Custom(2));
    open();
    for (const QString& name : {QString(), QStringLiteral("default"), QStringLiteral("Default"),
                                QStringLiteral("NO NAME"), QStringLiteral("last"), QStringLiteral("a\\b")}) {
        choose("Exam"); // enables both buttons
        ASSERT_TRUE(buttonsEnabled());
        type(name);
        dialogs->boxes.clear();

        QTest::mouseClick(dlg->SaveOptionsBtn, Qt::LeftButton);
        EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(117)})) << qPrintable(name);
        dialogs->boxes.clear();

        dialogs->answerNext(DlgResult::Yes);
        QTest::mouseClick(dlg->DeleteOptionsBtn, Qt::LeftButton);
        EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(88)})) << qPrintable(name);
        EXPECT_TRUE(dialogs->texts(DlgKind::Confirmation).isEmpty()) << qPrintable(name);
        EXPECT_TRUE(dlg->NameEdit->hasFocus());
        dialogs->answers.clear();
    }
    EXPECT_EQ(store.names(), QStringList({"Default", "Exam"}));
    TTestOptions stored;
    ASSERT_TRUE(store.load("Default", stored));
    EXPECT_EQ(stored, FactoryTestOptions());
}

TEST_F(OptionsFormTest, ASetDeletedMeanwhileIsReportedAndChangesNothing) {
    create();
    store.save("Exam", Custom(2));
    open();
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Up);
    const TTestOptions before = shown();
    store.remove("Exam"); // by the other program, say
    choose("Exam");
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(116)}));
    EXPECT_TRUE(dialogs->texts(DlgKind::Information).isEmpty());
    EXPECT_EQ(shown(), before);
    EXPECT_TRUE(dlg->NameEdit->hasFocus());
}

TEST_F(OptionsFormTest, EscapeDoesNotCloseAndEditsStayForTheNextShowing) {
    create();
    open();
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Up);
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Escape);
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Return); // no button is pressed by Enter either
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    QTest::mouseClick(dlg->CancelBtn, Qt::LeftButton);
    EXPECT_FALSE(dlg->isVisible());
    open();
    EXPECT_EQ(dlg->GivenVoprEd->value(), 11);
    EXPECT_EQ(dlg->NameEdit->currentText(), "Default");
}

TEST_F(OptionsFormTest, F1OpensTheHelpPageOfTheControl) {
    create();
    open();
    dlg->NameEdit->setFocus();
    QTest::keyClick(dlg->NameEdit, Qt::Key_F1);
    QWidget* help = vxg::Help::instance().window();
    ASSERT_NE(help, nullptr);
    auto* browser = help->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->source().path().endsWith("/IDH_OptionsName.html"));
    help->close();
}

} // namespace
