// Opening and closing a topic on the real main window: the dialog, the remembered folder, the
// repeated dialog after a missing file, read failures and what each leaves behind.
#include "test_grid_fixture.h"

#include "ErrorGuard.h"
#include "QuestionFile.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <unistd.h>

namespace {

using vxg::DlgKind;

class TopicTest : public ExaminerWindowTest {
protected:
    void SetUp() override {
        ExaminerWindowTest::SetUp();
        ASSERT_TRUE(topics.isValid());
        ASSERT_TRUE(other.isValid());
    }

    QString topicPath(const QString& name) const { return topics.path() + "/" + name; }

    // The open command as the menu item runs it: inside the error guard.
    bool openFromMenu() {
        bool result = false;
        vxg::RunGuarded([&] { result = w->OpenTopicClick(w->OpenTopic); });
        return result;
    }

    QString programFolder() const { return QDir(programDir.path()).absolutePath(); }

    QTemporaryDir topics;
    QTemporaryDir other;
};

TEST_F(TopicTest, OpeningAQuestionFileLoadsItAndEntersReady) {
    const TWorkQues written = testfiles::MakeTopic(7);
    WriteQuestionFile(topicPath("physics.vxg"), written);
    w->StatusPanel0->setText(lang(56));
    dialogs->chooseFile(topicPath("physics.vxg"));

    EXPECT_TRUE(openFromMenu());

    ASSERT_EQ(dialogs->fileRequests.size(), 1);
    const vxg::FileDialogRequest& req = dialogs->fileRequests[0].request;
    EXPECT_FALSE(dialogs->fileRequests[0].save);
    EXPECT_EQ(req.title, "Open topic");
    EXPECT_EQ(req.fileName, "Enter topic name");
    EXPECT_EQ(req.initialDir, programFolder());
    EXPECT_EQ(req.filter, "VXG Questions Files (*.vxg)|*.vxg|Text Files (*.txt)|*.txt|VXG Archive Files "
                          "(*.arh)|*.arh|All Files "
                          "(*.*)|*.*");
    EXPECT_EQ(req.filterIndex, 1);
    EXPECT_EQ(req.defaultSuffix, "vxg");
    EXPECT_FALSE(req.mustExist);

    EXPECT_EQ(s->TopicQuestions, written);
    EXPECT_EQ(s->QueIndex, 0);
    EXPECT_EQ(s->AttState, Ready);
    EXPECT_EQ(w->StatusPanel0->text(), "Waiting for connections...");
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList{lang(55)});
    EXPECT_EQ(w->windowTitle(), s->BaseCaption + " -- physics.vxg");
    EXPECT_EQ(w->OpenDialogFileName, topicPath("physics.vxg"));
    EXPECT_EQ(TWorkF::ReadLastDir(0), QDir(topics.path()).absolutePath());
    EXPECT_TRUE(dialogs->texts(DlgKind::Error).isEmpty());

    // The next dialog starts in the remembered folder; a second topic replaces the first.
    WriteQuestionFile(other.path() + "/chem.vxg", testfiles::MakeTopic(2));
    dialogs->chooseFile(other.path() + "/chem.vxg");
    EXPECT_TRUE(openFromMenu());
    EXPECT_EQ(dialogs->fileRequests[1].request.initialDir, QDir(topics.path()).absolutePath());
    EXPECT_EQ(s->TopicQuestions.size(), 2);
    EXPECT_EQ(w->windowTitle(), s->BaseCaption + " -- chem.vxg");
    EXPECT_EQ(TWorkF::ReadLastDir(0), QDir(other.path()).absolutePath());
}

// A remembered folder that cannot be read is no folder at all: the open commands start in the
// program's folder, and a topic read stores a readable one.
TEST_F(TopicTest, RememberedFoldersOfAnotherTypeCountAsMissing) {
    vxg::Registry reg;
    reg.writeInteger(kExaminerKey, "LastTopicDir", 7);
    reg.writeInteger(kExaminerKey, "LastArhivDir", 7);
    dialogs->cancelFile();
    vxg::RunGuarded([&] { w->LoadResultsBtnClick(); });
    WriteQuestionFile(topicPath("t.vxg"), testfiles::MakeTopic(2));
    dialogs->chooseFile(topicPath("t.vxg"));
    EXPECT_TRUE(openFromMenu());

    EXPECT_TRUE(dialogs->texts(DlgKind::Error).isEmpty());
    ASSERT_EQ(dialogs->fileRequests.size(), 2);
    for (const auto& shown : dialogs->fileRequests)
        EXPECT_EQ(shown.request.initialDir, programFolder());
    EXPECT_EQ(TWorkF::ReadLastDir(0), QDir(topics.path()).absolutePath());
}

TEST_F(TopicTest, TheToolButtonRunsTheCommandThroughTheGuard) {
    WriteQuestionFile(topicPath("t.vxg"), testfiles::MakeTopic(3));
    dialogs->chooseFile(topicPath("t.vxg"));
    w->OpenTopicBtn->click();
    EXPECT_EQ(s->TopicQuestions.size(), 3);
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList{lang(55)});

    // A partial record reaches the error box instead of escaping the slot.
    testfiles::WriteRawFile(topicPath("bad.vxg"), QByteArray(100, 'x'));
    dialogs->chooseFile(topicPath("bad.vxg"));
    w->OpenTopic->trigger();
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{"Read beyond end of file"});
    EXPECT_EQ(s->TopicQuestions.size(), 3);
}

TEST_F(TopicTest, APartialTrailingRecordKeepsTheLoadedTopicAndChangesNothingElse) {
    WriteQuestionFile(topicPath("good.vxg"), testfiles::MakeTopic(4));
    dialogs->chooseFile(topicPath("good.vxg"));
    ASSERT_TRUE(openFromMenu());
    const QString title = w->windowTitle();
    const QString folder = TWorkF::ReadLastDir(0);
    w->StatusPanel0->setText("status before");
    s->QueIndex = 9;

    // Two whole records and one byte, in another folder.
    QByteArray bytes = testfiles::RawQuestionRecord(testfiles::MakeQuestion(1)) +
                       testfiles::RawQuestionRecord(testfiles::MakeQuestion(2)) + QByteArray(1, 'z');
    ASSERT_EQ(bytes.size(), 2565);
    testfiles::WriteRawFile(other.path() + "/broken.vxg", bytes);
    dialogs->chooseFile(other.path() + "/broken.vxg");

    EXPECT_FALSE(openFromMenu());
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{"Read beyond end of file"});
    EXPECT_EQ(s->TopicQuestions, testfiles::MakeTopic(4));
    EXPECT_EQ(s->AttState, Ready);
    EXPECT_EQ(w->windowTitle(), title);
    EXPECT_EQ(TWorkF::ReadLastDir(0), folder);
    EXPECT_EQ(w->StatusPanel0->text(), "status before");
    EXPECT_EQ(s->QueIndex, 9);
    EXPECT_EQ(w->OpenDialogFileName, topicPath("good.vxg"));
    EXPECT_EQ(dialogs->texts(DlgKind::Information).size(), 1); // only the first opening's
}

TEST_F(TopicTest, AFileWithoutReadAccessLoadsNothing) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "access rights do not hold for the superuser";
    WriteQuestionFile(topicPath("locked.vxg"), testfiles::MakeTopic(2));
    QFile(topicPath("locked.vxg")).setPermissions(QFileDevice::WriteOwner);
    dialogs->chooseFile(topicPath("locked.vxg"));
    EXPECT_FALSE(openFromMenu());
    EXPECT_EQ(dialogs->texts(DlgKind::Error).size(), 1);
    EXPECT_TRUE(s->TopicQuestions.isEmpty());
    EXPECT_EQ(s->AttState, StatusQuo);
    EXPECT_TRUE(TWorkF::ReadLastDir(0).isEmpty());
}

TEST_F(TopicTest, AnEmptyFileGivesAReadyTopicWithoutQuestions) {
    testfiles::WriteRawFile(topicPath("empty.vxg"), QByteArray());
    dialogs->chooseFile(topicPath("empty.vxg"));
    EXPECT_TRUE(openFromMenu());
    EXPECT_TRUE(s->TopicQuestions.isEmpty());
    EXPECT_EQ(s->AttState, Ready);
    EXPECT_EQ(w->StatusPanel0->text(), lang(54));
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList{lang(55)});
    EXPECT_TRUE(dialogs->texts(DlgKind::Error).isEmpty());
}

TEST_F(TopicTest, AMissingFileAsksAgainAndTheFileChosenThenIsOpenedOnce) {
    WriteQuestionFile(other.path() + "/found.vxg", testfiles::MakeTopic(5));
    dialogs->chooseFile(topicPath("typo.vxg"));
    dialogs->chooseFile(other.path() + "/found.vxg");

    EXPECT_TRUE(openFromMenu());
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{lang(123)});
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList{lang(55)});
    ASSERT_EQ(dialogs->fileRequests.size(), 2);
    EXPECT_EQ(dialogs->fileRequests[1].request.title, lang(52));
    EXPECT_EQ(dialogs->fileRequests[1].request.fileName, lang(53));
    EXPECT_EQ(s->TopicQuestions.size(), 5);
    EXPECT_EQ(s->QueIndex, 0);
    EXPECT_EQ(s->AttState, Ready);
    EXPECT_EQ(TWorkF::ReadLastDir(0), QDir(other.path()).absolutePath());
    EXPECT_EQ(w->windowTitle(), s->BaseCaption + " -- found.vxg");
    // The error box comes before the second dialog.
    EXPECT_EQ(dialogs->boxes.first().kind, DlgKind::Error);
}

TEST_F(TopicTest, AMissingFileThenCancelChangesNothing) {
    const QString title = w->windowTitle();
    w->StatusPanel0->setText("status before");
    dialogs->chooseFile(topicPath("nowhere.vxg"));
    dialogs->cancelFile();

    EXPECT_FALSE(openFromMenu());
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{lang(123)});
    EXPECT_TRUE(dialogs->texts(DlgKind::Information).isEmpty());
    EXPECT_EQ(s->AttState, StatusQuo);
    EXPECT_EQ(w->windowTitle(), title);
    EXPECT_FALSE(w->windowTitle().contains(lang(53)));
    EXPECT_EQ(w->StatusPanel0->text(), "status before");
    EXPECT_TRUE(TWorkF::ReadLastDir(0).isEmpty());
    EXPECT_TRUE(w->OpenDialogFileName.isEmpty());
    EXPECT_TRUE(s->TopicQuestions.isEmpty());
}

// A cancelled dialog, also the one offered again after a missing file, leaves the loaded topic,
// its title, the folder and the state as they were.
TEST_F(TopicTest, CancellingInReadyKeepsTheLoadedTopic) {
    WriteQuestionFile(topicPath("a.vxg"), testfiles::MakeTopic(3));
    dialogs->chooseFile(topicPath("a.vxg"));
    ASSERT_TRUE(openFromMenu());
    const QString title = w->windowTitle();
    const QString folder = TWorkF::ReadLastDir(0);

    for (const bool afterMissingFile : {false, true}) {
        if (afterMissingFile)
            dialogs->chooseFile(other.path() + "/nowhere.vxg");
        dialogs->cancelFile();
        EXPECT_FALSE(openFromMenu());
        EXPECT_EQ(s->AttState, Ready);
        EXPECT_EQ(w->windowTitle(), title);
        EXPECT_EQ(s->TopicQuestions, testfiles::MakeTopic(3)) << afterMissingFile;
        EXPECT_EQ(TWorkF::ReadLastDir(0), folder);
        EXPECT_EQ(w->OpenDialogFileName, topicPath("a.vxg"));
    }
}

TEST_F(TopicTest, WithoutASenderNoInformationBoxIsShown) {
    WriteQuestionFile(topicPath("quiet.vxg"), testfiles::MakeTopic(1));
    dialogs->chooseFile(topicPath("quiet.vxg"));
    EXPECT_TRUE(w->OpenTopicClick(nullptr));
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(s->AttState, Ready);
}

TEST_F(TopicTest, ReadTopicLeavesTheIndexAtTheNumberRead) {
    WriteQuestionFile(topicPath("six.vxg"), testfiles::MakeTopic(6));
    s->TopicQuestions = testfiles::MakeTopic(1);
    EXPECT_TRUE(w->ReadTopic(topicPath("six.vxg")));
    EXPECT_EQ(s->TopicQuestions.size(), 6);
    EXPECT_EQ(s->QueIndex, 6);

    // A failed read by itself keeps the questions read before.
    testfiles::WriteRawFile(topicPath("short.vxg"), QByteArray(1281, 'a'));
    EXPECT_FALSE(vxg::RunGuarded([&] { w->ReadTopic(topicPath("short.vxg")); }));
    EXPECT_EQ(s->TopicQuestions.size(), 6);
}

TEST_F(TopicTest, ClosingRestoresTheBareTitle) {
    WriteQuestionFile(topicPath("c.vxg"), testfiles::MakeTopic(2));
    dialogs->chooseFile(topicPath("c.vxg"));
    ASSERT_TRUE(openFromMenu());
    s->Students.append(TClient{});
    s->StudentCount = 1;

    w->CloseTopicClick();
    EXPECT_TRUE(s->TopicQuestions.isEmpty());
    EXPECT_EQ(w->windowTitle(), s->BaseCaption);
    EXPECT_EQ(w->StatusPanel0->text(), "Open the topic ...");
    EXPECT_EQ(s->AttState, StatusQuo);
    EXPECT_EQ(s->StudentCount, 1);
}

// A language switch puts up the title of the new language and keeps the open topic's name in
// it, in each state with a topic; once the topic is closed, the bare title stays.
TEST_F(TopicTest, ALanguageSwitchKeepsTheTopicNameInTheTitle) {
    WriteQuestionFile(topicPath("physics.vxg"), testfiles::MakeTopic(3));
    dialogs->chooseFile(topicPath("physics.vxg"));
    ASSERT_TRUE(openFromMenu());
    ASSERT_EQ(w->windowTitle(), LangTableText(201) + " -- physics.vxg");

    for (const quint8 state : {Ready, AttInProcess, AttIsFinished}) {
        s->AttState = state;
        w->Rus1->trigger();
        EXPECT_EQ(w->windowTitle(), LangTableText(1) + " -- physics.vxg") << state;
        w->Eng1->trigger();
        EXPECT_EQ(w->windowTitle(), LangTableText(201) + " -- physics.vxg") << state;
    }
    s->AttState = Ready;
    w->CloseTopicClick();
    w->Rus1->trigger();
    EXPECT_EQ(w->windowTitle(), LangTableText(1));
}

} // namespace
