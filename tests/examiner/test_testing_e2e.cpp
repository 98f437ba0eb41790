// A whole testing over loopback sockets: the real main window, a real question file and test
// stations. They register, get their cards, answer, one asks for help, one leaves, one reports
// ready, the time limit passes on a short clock, and everyone left is graded and receives the
// grade. Pupils who leave once their results exist keep them; the results are saved through the
// save command and read back as the grid showed them.
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
    OptionSetStore().save("Form 5", s->ActiveOptions); // the set the archive names
    s->OptionsName = "Form 5";
    TTestStation& ivanov = station(21, "Иванов");
    TTestStation& petrov = station(22, "Petrov");
    TTestStation& sidorov = station(23, "Sidorov");
    TTestStation& kuznetsov = station(24, "Kuznetsov");

    // The language question is answered before any registration, to the asking address.
    ASSERT_TRUE(petrov.Send("WhatLang!!") && petrov.WaitForMessages(1));
    EXPECT_EQ(petrov.Received(), QStringList{"Lang!!200"});
    for (TTestStation* st : {&ivanov, &petrov, &sidorov, &kuznetsov})
        registerAt(*st);
    EXPECT_EQ(s->Students[0].HostAddr, "127.0.0.21");
    EXPECT_EQ(w->StatusPanel0->text(), englishText(60) + "4");

    // Cards: the first four questions of the file, in file order.
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(s->AttState, AttInProcess);
    const QString card = CardMsgText(s->ActiveOptions, s->TopicQuestions, {0, 1, 2, 3});
    for (TTestStation* st : {&ivanov, &petrov, &sidorov, &kuznetsov})
        EXPECT_EQ(st->Received().last(), card) << st->Name().toStdString();
    EXPECT_FALSE(w->GiveOut->isEnabled());

    // Right answers 1, 2, 3, 4. Kuznetsov leaves without results: he leaves the table.
    ASSERT_TRUE(ivanov.SendAnswers("1$2$3$4") && petrov.SendAnswers("1$1$ $4"));
    ASSERT_TRUE(sidorov.Send("Help!!") && kuznetsov.Leave());
    ASSERT_TRUE(settle([&] { return s->StudentCount == 3 && cell(5, 2) == "+"; }));
    EXPECT_EQ(grid(2), (QStringList{"Petrov", "", "+", "-", "", "+"}));
    EXPECT_EQ(w->StudentName->count(), 3);

    // Ready: graded at once; thresholds 0..10 give 4 right answers grade 5. He may leave then.
    ASSERT_TRUE(ivanov.Ready() && ivanov.WaitForMessages(2) && ivanov.Leave());
    EXPECT_EQ(cell(1, 1), "5");

    // Sidorov answers during the pause after the stop messages: it counts for his grade.
    QObject::connect(&sidorov, &TTestStation::MessageReceived, &sidorov, [&](const QString& text) {
        if (text == "Stop!!")
            sidorov.SendAnswers("1$2$ $ ");
    });
    ASSERT_TRUE(settle([&] { return s->AttState == AttIsFinished; }, 15000));
    EXPECT_EQ(ivanov.Received(), (QStringList{card, "5$Ocenka!!$", "Soon!!"}));
    EXPECT_EQ(petrov.Received().mid(1), (QStringList{card, "Soon!!", "Stop!!", "3$Ocenka!!$"}));
    EXPECT_EQ(sidorov.Received(), (QStringList{card, "Soon!!", "Stop!!", "3$Ocenka!!$"}));
    EXPECT_EQ(w->StatusPanel0->text(), englishText(67));
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(s->MinutesPassed, 2);

    // After the stop, Sidorov (with a card) leaves and keeps his results; a latecomer without one
    // leaves the table.
    TTestStation& late = registered(25, "Late");
    ASSERT_TRUE(sidorov.Leave() && late.Leave());
    ASSERT_TRUE(settle([&] { return warnings().size() == 6; }));
    EXPECT_EQ(warnings(), (QStringList{"Sidorov" + englishText(63), "Kuznetsov" + englishText(61),
                                       "Иванов" + englishText(61), englishText(65),
                                       "Sidorov" + englishText(61), "Late" + englishText(61)}));
    const QStringList shown = grid();
    EXPECT_EQ(shown, (QStringList{"Иванов", "5", "+", "+", "+", "+", "Petrov", "3", "+", "-", "", "+",
                                  "Sidorov", "3", "+", "+", "", ""}));

    // Saved through the command and the scripted save dialog.
    const QString archive = programDir.path() + "/Form 5.arh";
    dialogs->chooseFile(archive);
    w->QuickHelpAUpdate();
    ASSERT_TRUE(w->SaveResults->isEnabled());
    w->SaveResults->trigger();
    ASSERT_TRUE(QFile::exists(archive));

    // A new testing: every station must register again.
    w->NewAttClick();
    EXPECT_EQ(s->AttState, Ready);
    EXPECT_TRUE(s->Students.isEmpty() && s->FirstGiveOut);
    EXPECT_EQ(w->StringGrid->RowCount(), 2);

    // Opened again with nothing open: names, grades and marks as the grid showed them.
    w->CloseTopicClick();
    ASSERT_EQ(s->AttState, StatusQuo);
    dialogs->chooseFile(archive);
    w->QuickHelpAUpdate();
    ASSERT_TRUE(w->LoadArhiv->isEnabled());
    w->LoadArhiv->trigger();
    ASSERT_EQ(s->AttState, ArhIsOpen);
    EXPECT_EQ(grid(), shown);
    EXPECT_EQ(w->StatusPanel1->text(), englishText(46) + "Form 5");
}
