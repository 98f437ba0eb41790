// A student's card, marks and grade always agree with what his station sent: through a language
// switch while cards still go out, after the stop, and when a card's acknowledgement fails after
// the station has already answered it. Through the real window and real sockets.
#include "test_testing_fixture.h"

#include <utility>

TEST_F(TestingWindowTest, ALanguageSwitchWhileCardsGoOutKeepsTheMarks) {
    startTesting();
    TTestStation& quick = registered(111, "Quick");
    TTestStation& slow = registered(112, "Slow");
    // The slow station holds its acknowledgement while Quick answers and the teacher switches.
    bool switched = false;
    QStringList afterSwitch;
    slow.BeforeAcknowledging([&](const QString&) {
        if (std::exchange(switched, true))
            return;
        ASSERT_TRUE(quick.SendAnswers("1$2$3$4"));
        ASSERT_TRUE(settle([&] { return cell(5, 1) == "+"; }, 10000));
        ASSERT_EQ(s->AttState, Ready); // the first give-out has not ended
        w->Rus1Click();
        afterSwitch = grid(1) << cell(1, 0);
    });
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(afterSwitch, (QStringList{"Quick", "", "+", "+", "+", "+", "Оценка"}));
    ASSERT_TRUE(quick.Ready() && quick.WaitForMessages(2));
    EXPECT_EQ(quick.Received().at(1), "5$Ocenka!!$");
    EXPECT_EQ(grid(1), (QStringList{"Quick", "5", "+", "+", "+", "+"}));
}

TEST_F(TestingWindowTest, AfterTheStopAnswersAndReadyChangeNothing) {
    startTesting();
    s->ActiveOptions.Na[0] = 2; // one right answer reaches no grade
    TTestStation& st = registered(113, "Pupil");
    ASSERT_TRUE(w->GiveOutClick());
    ASSERT_TRUE(st.SendAnswers("1$1$1$1"));
    ASSERT_TRUE(settle([&] { return cell(5, 1) == "-"; }, 10000));
    w->StopCommand();
    ASSERT_EQ(s->AttState, AttIsFinished);
    const QStringList atStop = grid(1);
    EXPECT_EQ(atStop, (QStringList{"Pupil", "", "+", "-", "-", "-"}));

    // Acted on in arrival order: once the language answer is back, the two before it were done.
    ASSERT_TRUE(st.SendAnswers("1$2$3$4") && st.Ready() && st.Send("WhatLang!!"));
    ASSERT_TRUE(st.WaitForMessages(3, 10000));
    EXPECT_EQ(st.Received().mid(1), (QStringList{"Stop!!", "Lang!!200"}));
    EXPECT_EQ(grid(1), atStop);
    EXPECT_EQ(s->Students[0].Mark, 0);
    EXPECT_EQ(s->Students[0].Answers[1].Given, "1");

    // A newcomer carded after the stop was never stopped: he answers and is graded.
    TTestStation& late = registered(115, "Late");
    ASSERT_TRUE(w->GiveOutClick());
    ASSERT_TRUE(late.SendAnswers("1$2$3$4") && late.Ready() && late.WaitForMessages(2, 10000));
    EXPECT_EQ(late.Received().at(1), "5$Ocenka!!$");
    EXPECT_EQ(grid(2), (QStringList{"Late", "5", "+", "+", "+", "+"}));
    EXPECT_EQ(grid(1), atStop);
}

TEST_F(TestingWindowTest, AStationThatAnsweredItsCardHoldsItThoughTheAcknowledgementFails) {
    startTesting();
    TTestStation& st = registered(114, "Holder");
    st.SetSilent(true); // no acknowledgement ever comes
    bool answered = false;
    st.BeforeAcknowledging([&](const QString&) {
        if (std::exchange(answered, true))
            return;
        ASSERT_TRUE(st.SendAnswers("1$2$3$4") && st.Ready());
        ASSERT_TRUE(settle([&] { return s->Students[0].Mark != 0; }, 10000)); // graded meanwhile
    });
    ASSERT_TRUE(w->GiveOutClick());
    ASSERT_TRUE(answered);
    EXPECT_EQ(s->Students[0].CardSent, 1);
    EXPECT_EQ(s->Students[0].Mark, 5);
    EXPECT_EQ(grid(1), (QStringList{"Holder", "5", "+", "+", "+", "+"}));
    QStringList given;
    for (const TCardAnswer& a : s->Students[0].Answers)
        given << a.Given;
    EXPECT_EQ(given, (QStringList{"1", "2", "3", "4"}));
    EXPECT_TRUE(warnings().isEmpty()); // not reported as undelivered
    EXPECT_FALSE(w->GiveOut->isEnabled());
}
