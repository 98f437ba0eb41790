// The editor's parameters dialog: its own table over the common dialog, and beside it the
// examiner's dialog in a process of its own on the same settings file (tests/processes).
#include "OptionsUnit.h"

#include "CustomOptions.h"
#include "Globals.h"
#include "LanguageTest.h"
#include "OptionsDriver.h"
#include "OptionsLayout.h"
#include "PeerLink.h"
#include "Registry.h"
#include "ScriptedDialogs.h"

#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <memory>

namespace {

using vxg::DlgKind;
using vxg::DlgResult;

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
        reopen();
    }
    // The dialog shown anew: it reads its list at each showing.
    void reopen() {
        dlg->hide();
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
    reopen();
    EXPECT_EQ(dlg->GivenVoprEd->value(), FactoryTestOptions().GivenVopr + 1);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

// The value of a line "key value" of the examiner's answer.
QString Field(const std::optional<QStringList>& answer, const QString& key) {
    for (const QString& line : answer.value_or(QStringList()))
        if (line.startsWith(key + u' '))
            return line.mid(key.size() + 1);
    return {};
}
QString Box(DlgKind kind, const QString& text) {
    return BoxLine(static_cast<int>(kind), text);
}

// A set saved in one program is listed by the other at its next showing; one deleted there
// meanwhile gives lang[116] and changes nothing.
class SharedOptionsTest : public OptionsFormTest {
protected:
    void SetUp() override {
        OptionsFormTest::SetUp();
        open();
        ASSERT_TRUE(examiner.ready());
    }
    void saveAs(const QString& name, int questionsPerCard) {
        dlg->GivenVoprEd->setValue(questionsPerCard);
        TypeSetName(*dlg, name);
        reopen(); // typing alone leaves the buttons as they were
        QTest::mouseClick(dlg->SaveOptionsBtn, Qt::LeftButton);
        ASSERT_EQ(dialogs->texts(DlgKind::Information).value(0), lang(118) + name + ">");
    }
    void examinerSaves(const QString& name, int questionsPerCard) {
        examiner.send("set " + QString::number(questionsPerCard));
        examiner.send("type " + name);
        ASSERT_EQ(Field(examiner.send("save"), "box"), Box(DlgKind::Information, lang(118) + name + ">"));
    }

    Peer examiner{"vxg_peer_examiner", {}};
};

TEST_F(SharedOptionsTest, ASetSavedInOneProgramIsListedAndLoadedByTheOther) {
    saveAs("From editor", 33);
    EXPECT_EQ(Field(examiner.send("show"), "list"), "Default|From editor");
    const auto chosen = examiner.send("choose From editor");
    EXPECT_EQ(Field(chosen, "given"), "33");
    EXPECT_EQ(Field(chosen, "box"),
              Box(DlgKind::Information, "Settings <From editor> loaded!\n\nYou can edit and save them now."));

    examinerSaves("From examiner", 44);
    reopen();
    EXPECT_EQ(ListedSets(*dlg), QStringList({"Default", "From editor", "From examiner"}));
    ASSERT_TRUE(ChooseSet(*dlg, "From examiner"));
    EXPECT_EQ(dlg->GivenVoprEd->value(), 44);
    EXPECT_EQ(dialogs->texts(DlgKind::Information).last(),
              "Settings <From examiner> loaded\n\nYou can edit and save them now.");
    EXPECT_TRUE(dlg->SaveOptionsBtn->isEnabled() && dlg->DeleteOptionsBtn->isEnabled());
}

TEST_F(SharedOptionsTest, ASetDeletedByOneProgramWhileTheOthersDialogIsOpenIsReportedThere) {
    // The editor deletes a set the examiner's open dialog lists.
    saveAs("Doomed", 33);
    const QString shownThere = Field(examiner.send("show"), "given");
    dialogs->answerNext(vxg::DlgResult::Yes);
    QTest::mouseClick(dlg->DeleteOptionsBtn, Qt::LeftButton);
    const auto there = examiner.send("choose Doomed");
    EXPECT_EQ(Field(there, "box"), Box(DlgKind::Error, lang(116)));
    EXPECT_EQ(Field(there, "given"), shownThere);

    // And the other way round.
    examinerSaves("Doomed too", 55);
    reopen();
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Up);
    const int shownHere = dlg->GivenVoprEd->value();
    examiner.send("choose Doomed too");
    EXPECT_EQ(Field(examiner.send("delete"), "box"), Box(DlgKind::Confirmation, lang(119) + "Doomed too>?"));
    dialogs->boxes.clear();
    ASSERT_TRUE(ChooseSet(*dlg, "Doomed too"));
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(116)}));
    EXPECT_TRUE(dialogs->texts(DlgKind::Information).isEmpty());
    EXPECT_EQ(dlg->GivenVoprEd->value(), shownHere);
    EXPECT_EQ(OptionSetStore().names(), QStringList({"Default"}));
}

} // namespace
