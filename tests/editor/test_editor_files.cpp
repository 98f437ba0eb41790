// What the editor reads it writes back unchanged, what it writes the examiner's reader opens,
// and what the text fields let into a file.
#include "editor_fixture.h"

#include "QuestionFile.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace testfiles;

namespace {

using EditorFilesTest = EditorTest;

TEST_F(EditorFilesTest, LongCyrillicTopicIsLoadedNavigatedAndSavedByteForByte) {
    start();
    TWorkQues topic{MakeLongQuestion(), MakeQuestion(2), MakeLongQuestion(), MakeQuestion(4)};
    topic[2].RightAnswer = "1";
    WriteQuestionFile(path("long.vxg"), topic);
    const QByteArray before = ReadRawFile(path("long.vxg"));

    TTopicF* t = openTopic(path("long.vxg"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->SamVoprosEdit->text(), topic[0].QuestionText) << "shown whole";
    EXPECT_EQ(t->SamVoprosEdit->text().size(), 255);
    for (QLineEdit* e : t->TextFields())
        EXPECT_EQ(e->cursorPosition(), 0) << "shown from its start";
    for (int i = 0; i < 3; ++i) {
        t->NextAUpdate();
        t->NextA->trigger();
    }
    for (int i = 0; i < 3; ++i) {
        t->NextAUpdate();
        t->PrevA->trigger();
    }
    // A change made and taken back: the topic is modified, its content is not.
    type(t->Otv4Edit, "x");
    EXPECT_EQ(t->Otv4Edit->text(), topic[0].Answer4) << "no typing beyond 255";
    QTest::keyClick(t->Otv3Edit, Qt::Key_End);
    QTest::keyClick(t->Otv3Edit, Qt::Key_Backspace);
    type(t->Otv3Edit, topic[0].Answer3.right(1));
    ASSERT_TRUE(t->Topic.Modified);
    ASSERT_TRUE(t->SaveTopic());
    EXPECT_EQ(ReadRawFile(path("long.vxg")), before);
}

TEST_F(EditorFilesTest, TopicWrittenByTheEditorOpensInTheExaminer) {
    start();
    TTopicF* t = newTopic("new.vxg");
    const QStringList texts{"Столица Франции — «Париж»? №1 ёЁ", "Да", "Нет", "Не знаю", "Oui"};
    for (int n = 0; n < 3; ++n) {
        if (n > 0) {
            t->NextAUpdate();
            t->NewQueA->trigger();
        }
        QList<QLineEdit*> fields = t->TextFields();
        for (int f = 0; f < 5; ++f)
            type(fields[f], texts[f] + QString::number(n));
        t->PravOtvEd->setValue(n + 1);
    }
    ASSERT_TRUE(t->SaveTopic());
    // The examiner reads a topic with the shared reader: whole records, the texts as typed.
    const TWorkQues read = ReadQuestionFile(path("new.vxg"));
    ASSERT_EQ(read.size(), 3);
    EXPECT_EQ(ReadRawFile(path("new.vxg")).size(), 3 * kQuestionRecordSize);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(read[n].QuestionText, texts[0] + QString::number(n));
        EXPECT_EQ(read[n].Answer4, texts[4] + QString::number(n));
        EXPECT_EQ(read[n].RightAnswer, QString::number(n + 1));
    }
}

TEST_F(EditorFilesTest, RightAnswerIsTheFieldsNumberAndAnUnsetOneIsKeptAsItWas) {
    start();
    const struct {
        const char* name;
        quint8 length;
        char stored;
        int shown;
    } cases[] = {{"empty", 0, 0, 0}, {"zero", 1, '0', 0}, {"three", 1, '3', 3}, {"seven", 1, '7', 0}};
    QByteArray bytes;
    for (const auto& c : cases)
        bytes += RawQuestionRecord({"Q", "a", "b", "c", "d"}, c.length, c.stored);
    WriteRawFile(path("rights.vxg"), bytes);
    TTopicF* t = openTopic(path("rights.vxg"));
    for (int i = 0; i < 4; ++i) {
        t->CurQue = i;
        t->ShowCurQue();
        EXPECT_EQ(t->PravOtvEd->value(), cases[i].shown) << cases[i].name;
        t->StoreQue(i);
    }
    const TWorkQues stored = t->Topic.Questions;
    EXPECT_EQ(stored, ReadQuestionFile(path("rights.vxg"))) << "showing and storing changes nothing";

    // Only "1".."4" pass the check: the first question is reported.
    t->Topic.Modified = true;
    EXPECT_FALSE(t->SaveTopic());
    EXPECT_EQ(t->CurQue, 0);
    t->PravOtvEd->setValue(2);
    t->StoreQue(0);
    EXPECT_EQ(t->Topic.Questions[0].RightAnswer, "2");
    EXPECT_EQ(t->Topic.FirstFaultyQuestion(), 1);
}

TEST_F(EditorFilesTest, TextFieldsTakeOnlyWhatTheFileStores) {
    storeLanguage(200);
    start();
    TTopicF* t = newTopic("t.vxg");
    type(t->SamVoprosEdit, QString(251, u'ж'));
    EXPECT_EQ(t->SamVoprosEdit->text(), QString(250, u'ж')) << "250 typed characters at most";

    type(t->Otv1Edit, "10$ or 20");
    EXPECT_EQ(t->Otv1Edit->text(), "10 or 20") << "no $";

    t->Otv2Edit->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("snow \u2603 man"));
    t->Otv2Edit->paste();
    EXPECT_EQ(t->Otv2Edit->text(), "") << "a character no question file can store";
    QApplication::clipboard()->setText(QStringLiteral("Снег"));
    t->Otv2Edit->paste();
    EXPECT_EQ(t->Otv2Edit->text(), "Снег");

    // A "$" read from a file is reported at the save like any faulty question.
    TWorkQues topic = MakeTopic(2);
    topic[1].Answer2 = "a$b";
    WriteQuestionFile(path("dollar.vxg"), topic);
    TTopicF* d = openTopic(path("dollar.vxg"));
    d->Topic.Modified = true;
    EXPECT_FALSE(d->SaveTopic());
    EXPECT_EQ(d->CurQue, 1);
    EXPECT_TRUE(dialogs->texts(vxg::DlgKind::Error).last().endsWith(
        "Check up the question №2\nThe sign \"$\" is not allowed in the texts of a question."));
}

TEST_F(EditorFilesTest, SaveThatFailsHalfwayLeavesTheOldFileWholeAndTheTopicModified) {
    start();
    WriteQuestionFile(path("old.vxg"), MakeTopic(1));
    const QByteArray before = ReadRawFile(path("old.vxg"));
    TTopicF* t = openTopic(path("old.vxg"));
    t->Topic.InsertQuestions(1, MakeTopic(40));

    // The disk fills up after two records.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 3000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = t->SaveTopic();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{"Disk write error\n" + path("old.vxg")});
    EXPECT_EQ(ReadRawFile(path("old.vxg")), before);
    EXPECT_TRUE(t->Topic.Modified);
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(mdi().FileSave1->isEnabled());
}

} // namespace
