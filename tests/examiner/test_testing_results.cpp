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
