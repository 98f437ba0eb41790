// A whole testing over loopback sockets: the real main window, a real question file and four test
// stations. They register, get their cards, answer, one asks for help, one leaves, one reports
// ready, the time limit passes on a short clock, and everyone left is graded and receives the
// grade. The results are saved through the save command and read back as the grid showed them.
#include "test_testing_fixture.h"

#include "OptionSetStore.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTimer>

TEST_F(TestingWindowTest, AWholeTestingOverTheNetwork) {
    link.minuteMs = 2000; // a two-minute limit passes in four seconds
    startTesting(6, 4);
    s->ActiveOptions.TimeBool = true;
    s->ActiveOptions.MaxTime = 2;
    OptionSetStore().save(QStringLiteral("Form 5"), s->ActiveOptions); // the set the archive names
    s->OptionsName = QStringLiteral("Form 5");

    TTestStation& ivanov = station(21, QStringLiteral("Иванов"));
    TTestStation& petrov = station(22, QStringLiteral("Petrov"));
    TTestStation& sidorov = station(23, QStringLiteral("Sidorov"));
    TTestStation& kuznetsov = station(24, QStringLiteral("Kuznetsov"));

    // The language question is answered before any registration, to the asking address.
    ASSERT_TRUE(petrov.Send(QStringLiteral("WhatLang!!")));
    ASSERT_TRUE(petrov.WaitForMessages(1));
    EXPECT_EQ(petrov.Received(), QStringList{"Lang!!200"});

    for (TTestStation* st : {&ivanov, &petrov, &sidorov, &kuznetsov})
        registerAt(*st);
    ASSERT_TRUE(ivanov.SendAs(QStringLiteral("ИВАНОВ"), QStringLiteral("Name!!"))); // known: nothing
    settle([] { return false; }, 100);
    EXPECT_EQ(s->StudentCount, 4);
    EXPECT_EQ(w->StudentName->count(), 4);
    EXPECT_EQ(cells(1, 0, 0), QStringList{"Иванов"});
    EXPECT_EQ(s->Students[0].HostAddr, QStringLiteral("127.0.0.21"));
    EXPECT_EQ(w->StatusPanel0->text(), englishText(60) + QStringLiteral("4"));

    // Cards: the first four questions of the file, in file order.
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(s->AttState, AttInProcess);
    const QString card = CardMsgText(s->ActiveOptions, s->TopicQuestions, {0, 1, 2, 3});
    EXPECT_TRUE(card.startsWith(QStringLiteral("4$no$no$")));
    for (TTestStation* st : {&ivanov, &petrov, &sidorov, &kuznetsov})
        EXPECT_EQ(st->Received().last(), card) << st->Name().toStdString();
    EXPECT_TRUE(dialogs->texts(vxg::DlgKind::Information).contains(englishText(57)));
    EXPECT_FALSE(w->GiveOut->isEnabled());

    // Right answers 1, 2, 3, 4.
    ASSERT_TRUE(ivanov.SendAnswers(QStringLiteral("1$2$3$4")));
    ASSERT_TRUE(petrov.SendAnswers(QStringLiteral("1$1$ $4")));
    ASSERT_TRUE(sidorov.Send(QStringLiteral("Help!!")));
    ASSERT_TRUE(kuznetsov.Leave());
    ASSERT_TRUE(settle([&] { return s->StudentCount == 3 && cell(5, 2) == QStringLiteral("+"); }));
    EXPECT_EQ(cells(1), (QStringList{"+", "+", "+", "+"}));
    EXPECT_EQ(cells(2), (QStringList{"+", "-", "", "+"}));
    EXPECT_EQ(warnings(), (QStringList{"Sidorov" + englishText(63), "Kuznetsov" + englishText(61)}));
    EXPECT_EQ(w->StudentName->count(), 3);

    // Ready: graded at once; thresholds 0..10 give 4 right answers grade 5.
    ASSERT_TRUE(ivanov.Ready());
    ASSERT_TRUE(ivanov.WaitForMessages(2));
    EXPECT_EQ(cell(1, 1), QStringLiteral("5"));

    // Sidorov answers during the pause after the stop messages: it counts for his grade.
    QObject::connect(&sidorov, &TTestStation::MessageReceived, &sidorov, [&](const QString& text) {
        if (text == QStringLiteral("Stop!!"))
            sidorov.SendAnswers(QStringLiteral("1$2$ $ "));
    });
    ASSERT_TRUE(settle([&] { return s->AttState == AttIsFinished; }, 15000));

    EXPECT_EQ(ivanov.Received(), (QStringList{card, "5$Ocenka!!$", "Soon!!"}));
    EXPECT_EQ(petrov.Received().mid(1), (QStringList{card, "Soon!!", "Stop!!", "3$Ocenka!!$"}));
    EXPECT_EQ(sidorov.Received(), (QStringList{card, "Soon!!", "Stop!!", "3$Ocenka!!$"}));
    EXPECT_EQ((QStringList{cell(1, 1), cell(1, 2), cell(1, 3)}), (QStringList{"5", "3", "3"}));
    EXPECT_TRUE(warnings().contains(englishText(65)));
    EXPECT_EQ(w->StatusPanel0->text(), englishText(67));
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(s->MinutesPassed, 2);

    // Saved through the command and the scripted save dialog.
    const QStringList shown = grid();
    ASSERT_EQ(shown.size(), 3 * 6);
    const QString archive = programDir.path() + QStringLiteral("/Form 5.arh");
    dialogs->chooseFile(archive);
    w->QuickHelpAUpdate();
    ASSERT_TRUE(w->SaveResults->isEnabled());
    w->SaveResults->trigger();
    ASSERT_TRUE(QFile::exists(archive));

    // A new testing: every station must register again.
    w->NewAttClick();
    EXPECT_EQ(s->AttState, Ready);
    EXPECT_TRUE(s->Students.isEmpty());
    EXPECT_EQ(w->StringGrid->RowCount(), 2);
    EXPECT_TRUE(s->FirstGiveOut);

    // Opened again with nothing open: names, grades and marks as the grid showed them.
    w->CloseTopicClick();
    ASSERT_EQ(s->AttState, StatusQuo);
    dialogs->chooseFile(archive);
    w->QuickHelpAUpdate();
    ASSERT_TRUE(w->LoadArhiv->isEnabled());
    w->LoadArhiv->trigger();
    ASSERT_EQ(s->AttState, ArhIsOpen);
    EXPECT_EQ(grid(), shown);
    EXPECT_EQ(w->StatusPanel1->text(), englishText(46) + QStringLiteral("Form 5"));
}
