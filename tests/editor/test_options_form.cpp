// The editor's parameters dialog: its own table over the common dialog. Choosing, loading and
// saving a set, with the examiner's dialog beside it: test_two_programs.cpp.
#include "OptionsUnit.h"

#include "Globals.h"
#include "LanguageTest.h"
#include "OptionsDriver.h"
#include "OptionsLayout.h"
#include "Registry.h"
#include "ScriptedDialogs.h"

#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <memory>

namespace {

using vxg::DlgKind;
using vxg::DlgResult;

TTestOptions Custom(int seed) {
    TTestOptions o = FactoryTestOptions();
    o.GivenVopr = 20 + seed;
    for (int i = 0; i < 12; ++i)
        o.Na[i] = i + seed;
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
    // The dialog created and shown, with the sets given stored before.
    void open(const QStringList& sets = {}) {
        dlg = std::make_unique<TOptionsForm>();
        for (int i = 0; i < sets.size(); ++i)
            store.save(sets[i], Custom(i));
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }
    TTestOptions shown() {
        TTestOptions keep = EditOptions;
        dlg->ReadOptionsFromForm();
        std::swap(keep, EditOptions);
        return keep;
    }
    bool buttonsEnabled() const {
        EXPECT_EQ(dlg->SaveOptionsBtn->isEnabled(), dlg->DeleteOptionsBtn->isEnabled());
        return dlg->SaveOptionsBtn->isEnabled();
    }
    TTestOptions stored(const QString& name) {
        TTestOptions o;
        EXPECT_TRUE(store.load(name, o)) << qPrintable(name);
        return o;
    }

    std::unique_ptr<TOptionsForm> dlg;
    ScriptedDialogs* dialogs = nullptr;
    OptionSetStore store;
};

// Started first, the editor creates the factory set and shows it; after the examiner created
// it, the name box starts empty and the stored set stays.
TEST_F(OptionsFormTest, FirstShowingDependsOnWhoCreatedTheDefaultSet) {
    for (bool examinerFirst : {false, true}) {
        dlg.reset();
        QFile::remove(vxg::Registry::defaultFilePath());
        EditOptions = TTestOptions();
        DefaultSettingsName = kDefaultSetName;
        if (examinerFirst) {
            vxg::Registry reg;
            WriteTestOptions(reg, OptionSetKey("Default"), Custom(1));
        }
        open();
        EXPECT_EQ(stored("Default"), examinerFirst ? Custom(1) : FactoryTestOptions());
        EXPECT_EQ(EditOptions, examinerFirst ? TTestOptions() : FactoryTestOptions());
        EXPECT_EQ(dlg->NameEdit->currentText(), examinerFirst ? "" : "Default");
        EXPECT_FALSE(buttonsEnabled());
        EXPECT_TRUE(dialogs->boxes.isEmpty());
    }
}

TEST_F(OptionsFormTest, DeletingEndsWithTheFactorySetShownAndConfirmed) {
    open({"Exam"});
    ASSERT_TRUE(ChooseSet(*dlg, "Exam"));
    dialogs->answerNext(DlgResult::Yes);
    QTest::mouseClick(dlg->DeleteOptionsBtn, Qt::LeftButton);
    EXPECT_EQ(store.names(), QStringList({"Default"}));
    EXPECT_EQ(dlg->NameEdit->currentText(), "default");
    EXPECT_EQ(shown(), FactoryTestOptions());
    EXPECT_FALSE(buttonsEnabled());
    EXPECT_EQ(dialogs->texts(DlgKind::Confirmation), QStringList({lang(119) + "Exam>?"}));
    EXPECT_EQ(dialogs->texts(DlgKind::Information).last(), lang(114) + "default" + lang(115));
}

// The buttons keep their state while the user types, so each command checks the name as it
// stands when pressed: nothing reserved, nothing empty, nothing that would reach every set.
TEST_F(OptionsFormTest, SaveAndDeleteCheckTheNameAsItStandsWhenPressed) {
    open({"Exam"});
    for (const QString& name : {QString(), QStringLiteral("default"), QStringLiteral("NO NAME"),
                                QStringLiteral("last"), QStringLiteral("a\\b")}) {
        ASSERT_TRUE(ChooseSet(*dlg, "Exam")); // enables both buttons
        TypeSetName(*dlg, name);
        dialogs->boxes.clear();
        QTest::mouseClick(dlg->SaveOptionsBtn, Qt::LeftButton);
        dialogs->answerNext(DlgResult::Yes);
        QTest::mouseClick(dlg->DeleteOptionsBtn, Qt::LeftButton);
        dialogs->answers.clear();
        EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(117), lang(88)})) << qPrintable(name);
        EXPECT_TRUE(dialogs->texts(DlgKind::Confirmation).isEmpty()) << qPrintable(name);
    }
    EXPECT_EQ(store.names(), QStringList({"Default", "Exam"}));
    EXPECT_EQ(stored("Default"), FactoryTestOptions());
}

TEST_F(OptionsFormTest, EscapeAndEnterDoNotCloseAndEditsStayForTheNextShowing) {
    open();
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Up);
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Escape);
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Return);
    EXPECT_TRUE(dlg->isVisible());
    QTest::mouseClick(dlg->CancelBtn, Qt::LeftButton);
    EXPECT_FALSE(dlg->isVisible());
    dlg->show();
    EXPECT_EQ(dlg->GivenVoprEd->value(), FactoryTestOptions().GivenVopr + 1);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

} // namespace
