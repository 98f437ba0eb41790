// The examiner and the editor as processes of their own on one settings file: each keeps what
// it wrote when both leave together, and a parameter set saved or deleted by one program is seen
// by the other (the editor's dialog here, the examiner's in a helper process).
#include "OptionsUnit.h"

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
#include <QTemporaryDir>
#include <memory>

namespace {

using vxg::DlgKind;

TEST(TwoProgramsTest, EachKeepsWhatItWroteWhenBothLeaveTogether) {
    QTemporaryDir root;
    const QDir base(root.path());
    ASSERT_TRUE(base.mkpath("examiner/VXG Student") && base.mkpath("topics"));
    QFile address(base.filePath("examiner/VXG Student/1.nna"));
    ASSERT_TRUE(address.open(QIODevice::WriteOnly));
    address.write(QByteArray(16, '\0'));
    address.close();
    QFile::remove(vxg::Registry::defaultFilePath());

    for (int round = 1; round <= 3; ++round) {
        const QString setName = QStringLiteral("Set %1").arg(round);
        Peer examiner("vxg_peer_examiner", {base.filePath("examiner"), setName});
        Peer editor("vxg_peer_editor", {base.filePath("topics")});
        ASSERT_TRUE(examiner.ready() && editor.ready()) << round;
        examiner.order("quit"); // both at the same moment
        editor.order("quit");
        ASSERT_TRUE(examiner.ended() && editor.ended()) << round;

        const vxg::Registry reg;
        EXPECT_EQ(reg.readInteger(kEditorKey, "LangN"), 0) << round;
        EXPECT_EQ(reg.readString(kEditorKey, "LastDir"), base.filePath("topics")) << round;
        EXPECT_EQ(reg.readInteger(kExaminerKey, "LangN"), 200) << round;
        EXPECT_EQ(reg.readString(OptionSetKey(kLastSetName), "LastName"), setName) << round;
        EXPECT_EQ(reg.readInteger(OptionSetKey(kLastSetName), "GivenVopr"), 17) << round;
        EXPECT_FALSE(QFile::exists(base.filePath("topics/Тема.vxg"))) << "the topic was left unsaved";
    }
}

// The value of a line "key value" of the examiner's answer.
QString Field(const std::optional<QStringList>& answer, const QString& key) {
    for (const QString& line : answer.value_or(QStringList()))
        if (line.startsWith(key + u' '))
            return line.mid(key.size() + 1);
    return {};
}
QString Box(DlgKind kind, QString text) {
    return QString::number(static_cast<int>(kind)) + u' ' + text.replace(u'\n', QStringLiteral("\\n"));
}

class SharedOptionsTest : public LanguageTest {
protected:
    void SetUp() override {
        QFile::remove(vxg::Registry::defaultFilePath());
        useLanguage(200);
        EditOptions = TTestOptions();
        DefaultSettingsName = kDefaultSetName;
        dialogs = ScriptedDialogs::install();
        dlg = std::make_unique<TOptionsForm>();
        ASSERT_TRUE(examiner.ready());
    }
    void TearDown() override {
        dlg.reset();
        ScriptedDialogs::uninstall();
        LanguageTest::TearDown();
    }
    // The editor's dialog shown anew: it reads its list at each showing.
    void reopen() {
        dlg->hide();
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }
    void saveAs(const QString& name, int questionsPerCard) {
        reopen();
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

    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<TOptionsForm> dlg;
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
    EXPECT_EQ(dialogs->texts(DlgKind::Information).last(), "Settings <From examiner> loaded\n\nYou can edit and save them now.");
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
