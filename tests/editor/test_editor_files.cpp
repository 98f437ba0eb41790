// What the editor reads it writes back unchanged, what it writes the examiner's reader opens,
// what the text fields let into a file, and a save that fails halfway.
#include "editor_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <csignal>
#include <sys/resource.h>

namespace {

using EditorFilesTest = EditorTest;

TEST_F(EditorFilesTest, LongCyrillicTopicIsLoadedNavigatedAndSavedByteForByte) {
    start();
    TWorkQues topic{MakeLongQuestion(), MakeQuestion(2), MakeLongQuestion(), MakeQuestion(4)};
    topic[2].RightAnswer = "1";
    WriteQuestionFile(path("long.vxg"), topic);
    const QByteArray before = ReadRawFile(path("long.vxg"));

    TTopicF* t = openTopic(path("long.vxg"));
    ASSERT_EQ(t->SamVoprosEdit->text().size(), 255);
    EXPECT_EQ(t->SamVoprosEdit->text(), topic[0].QuestionText) << "shown whole";
    for (QLineEdit* e : t->TextFields())
        EXPECT_EQ(e->cursorPosition(), 0) << "shown from its start";
    for (QAction* move : {t->NextA, t->NextA, t->NextA, t->PrevA, t->PrevA, t->PrevA})
        run(t, move);
    // A change made and taken back: the topic is modified, its content is not.
    Type(t->Otv4Edit, "x");
    EXPECT_EQ(t->Otv4Edit->text(), topic[0].Answer4) << "no typing beyond 255";
    QTest::keyClick(t->Otv3Edit, Qt::Key_End);
    QTest::keyClick(t->Otv3Edit, Qt::Key_Backspace);
    Type(t->Otv3Edit, topic[0].Answer3.right(1));
    ASSERT_TRUE(t->Topic.Modified);
    ASSERT_TRUE(t->SaveTopic());
    EXPECT_EQ(ReadRawFile(path("long.vxg")), before);

    // A question typed in the editor: the examiner's reader (the shared one) reads whole records,
    // the texts as typed.
    run(t, t->NewQueA);
    const QStringList texts{"Столица Франции — «Париж»? №1 ёЁ", "Да", "Нет", "Не знаю", "Oui"};
    for (int f = 0; f < 5; ++f)
        Type(t->TextFields()[f], texts[f]);
    t->PravOtvEd->setValue(4);
    ASSERT_TRUE(t->SaveTopic());
    EXPECT_EQ(ReadRawFile(path("long.vxg")).size(), 5 * kQuestionRecordSize);
    const TQuestion typed = ReadQuestionFile(path("long.vxg")).value(4);
    EXPECT_EQ(QStringList({typed.QuestionText, typed.Answer1, typed.Answer2, typed.Answer3, typed.Answer4}), texts);
    EXPECT_EQ(typed.RightAnswer, "4");
}

// A right answer read as anything but "1".."4" shows as 0 and is stored back as it was.
TEST_F(EditorFilesTest, AnUnsetRightAnswerIsKeptAsItWas) {
    start();
    QByteArray bytes;
    for (const auto& [length, stored] : {std::pair<quint8, char>{0, 0}, {1, '0'}, {1, '7'}})
        bytes += RawQuestionRecord({"Q", "a", "b", "c", "d"}, length, stored);
    WriteRawFile(path("rights.vxg"), bytes);
    TTopicF* t = openTopic(path("rights.vxg"));
    for (int i = 0; i < 3; ++i) {
        t->CurQue = i;
        t->ShowCurQue();
        EXPECT_EQ(t->PravOtvEd->value(), 0) << i;
        t->StoreQue(i);
    }
    EXPECT_EQ(t->Topic.Questions, ReadQuestionFile(path("rights.vxg")));
}

// Typed or pasted, a field takes only what a question file stores, and no "$" (one read from a
// file is reported at the save: TopicWindowTest).
TEST_F(EditorFilesTest, TextFieldsTakeOnlyWhatTheFileStores) {
    start();
    TTopicF* t = newTopic("t.vxg");
    Type(t->SamVoprosEdit, QString(251, u'ж'));
    EXPECT_EQ(t->SamVoprosEdit->text(), QString(250, u'ж')) << "250 typed characters at most";
    Type(t->Otv1Edit, "10$ or 20");
    EXPECT_EQ(t->Otv1Edit->text(), "10 or 20");
    t->Otv2Edit->setFocus();
    for (const QString& pasted : {QStringLiteral("snow \u2603 man"), QStringLiteral("Снег")}) {
        QApplication::clipboard()->setText(pasted);
        t->Otv2Edit->paste();
    }
    EXPECT_EQ(t->Otv2Edit->text(), "Снег");
}

TEST_F(EditorFilesTest, SaveThatFailsHalfwayLeavesTheOldFileWholeAndTheTopicModified) {
    start();
    TTopicF* t = openWritten("old.vxg", MakeTopic(1));
    const QByteArray before = ReadRawFile(path("old.vxg"));
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
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(mdi().FileSave1->isEnabled()) << "still modified";
}

} // namespace
