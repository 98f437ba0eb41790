// Stations that never acknowledge, ask again and again or ask for the teacher under names nobody
// registered: the stop still comes on time, boxes come only from registered students, and
// registrations are not lost while the teacher is asked.
#include "MessageQueue.h"
#include "test_testing_fixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include <functional>

using vxg::link::TReplyThrottle;

namespace {

// Boxes that stay open while whileShown runs (the teacher has not answered yet).
struct BoxesHeldOpen : ScriptedDialogs {
    vxg::DlgResult messageWithDefault(vxg::DlgKind kind, const QString& text, vxg::DlgButtons buttons,
                                      vxg::DlgResult defaultButton, QWidget* parent) override {
        return shown(text, ScriptedDialogs::messageWithDefault(kind, text, buttons, defaultButton, parent));
    }
    vxg::DlgResult message(vxg::DlgKind kind, const QString& text, vxg::DlgButtons buttons,
                           QWidget* parent) override {
        return shown(text, ScriptedDialogs::message(kind, text, buttons, parent));
    }
    vxg::DlgResult shown(const QString& text, vxg::DlgResult result) {
        if (whileShown)
            whileShown(text);
        return result;
    }
    std::function<void(const QString&)> whileShown;
};

// When the stop fell due and when its "Stop!!" reached the first station in the table.
struct StopClock {
    explicit StopClock(TTestStation& first) {
        clock.start();
        first.BeforeAcknowledging([this](const QString& text) {
            if (text == "Stop!!" && started < 0)
                started = clock.elapsed();
        });
    }
    // F3 as the teacher presses it: with the state's commands as at the last idle moment.
    void press(TWorkF* w) {
        if (due >= 0)
            return;
        w->QuickHelpAUpdate();
        due = clock.elapsed();
        w->Stop->trigger();
    }
    ::testing::AssertionResult startedWithin(qint64 ms) const {
        if (due >= 0 && started >= due && started - due <= ms)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "due " << due << ", started " << started << ", limit " << ms;
    }
    QElapsedTimer clock;
    qint64 due = -1;
    qint64 started = -1;
};

} // namespace

TEST(ReplyThrottle, AStationThatDidNotAcknowledgeWaitsRegisteredOrNot) {
    const QString a = "127.0.0.1";
    struct Case {
        bool registered;
        qint64 replied;        // -1: never
        qint64 unacknowledged; // -1: never
        qint64 now;
        bool allowed;
    };
    const Case cases[] = {
        {false, -1, -1, 0, true},     {true, -1, -1, 0, true},        {false, 0, -1, 4999, false},
        {false, 0, -1, 5000, true},   {true, 0, -1, 1, true},         {true, -1, 1000, 5999, false},
        {true, -1, 1000, 6000, true}, {false, -1, 1000, 5999, false}, {false, 9000, 1000, 13000, false},
    };
    for (const Case& c : cases) {
        TReplyThrottle throttle;
        if (c.replied >= 0)
            throttle.Replied(a, c.replied);
        if (c.unacknowledged >= 0)
            throttle.Unacknowledged(a, c.unacknowledged);
        EXPECT_EQ(throttle.Allowed(a, c.registered, c.now), c.allowed)
            << c.registered << ' ' << c.replied << ' ' << c.unacknowledged << ' ' << c.now;
        EXPECT_TRUE(throttle.Allowed("127.0.0.2", c.registered, c.now)); // others are not held
    }
}

class HostileLinkTest : public TestingWindowTest {
protected:
    // Two registered stations and ten strangers that never acknowledge keep a send in flight nearly
    // all the time; the stop, due by the time limit or by F3 during a send, starts within one send.
    void stopWhileStationsNeverAcknowledge(bool timeLimit) {
        link.minuteMs = 1500;
        startTesting();
        // Addresses of their own for each case: cases run side by side.
        const int at = timeLimit ? 200 : 215;
        TTestStation& pupil = registered(at, "Pupil"); // first in the table: the stop's first send
        std::vector<TTestStation*> hostile{&registered(at + 1, "Mute1"), &registered(at + 2, "Mute2")};
        for (int k = at + 3; k < at + 13; ++k)
            hostile.push_back(&station(k, ""));
        s->ActiveOptions.TimeBool = timeLimit;
        s->ActiveOptions.MaxTime = 1;

        StopClock stop(pupil);
        QObject watch;
        QObject::connect(w->Timer1, &QTimer::timeout, &watch, [&] {
            if (w->StatusPanel0->text() == englishText(66))
                stop.due = stop.clock.elapsed();
        });
        // F3 while a reply to a stranger waits, once they have asked for a while.
        QString noteAtPress;
        for (TTestStation* st : hostile) {
            st->SetSilent(true);
            st->BeforeAcknowledging([&](const QString& text) {
                if (timeLimit || stop.due >= 0 || stop.clock.elapsed() < 1000 || !text.startsWith("Lang!!"))
                    return;
                stop.press(w);
                noteAtPress = w->StatusPanel0->text();
            });
        }
        ASSERT_TRUE(w->GiveOutClick());
        ASSERT_TRUE(pupil.SendAnswers("1$2$3$4"));
        stop.clock.restart();
        // The strangers ask for the language one after another until the stop has begun.
        QTimer asking;
        size_t next = 0;
        QObject::connect(&asking, &QTimer::timeout, &asking, [&] {
            if (stop.started >= 0 || stop.clock.elapsed() > 12000)
                return asking.stop();
            hostile[next++ % hostile.size()]->Send("WhatLang!!", 1000);
        });
        asking.start(10);
        ASSERT_TRUE(settle([&] { return s->AttState == AttIsFinished; }, 30000));
        EXPECT_EQ(noteAtPress, timeLimit ? QString() : englishText(154));
        EXPECT_TRUE(stop.startedWithin(2 * (2 * s->Link.ioTimeoutMs + s->Link.ackTimeoutMs)));
        EXPECT_EQ(pupil.Received().mid(1), (QStringList{"Stop!!", "5$Ocenka!!$"}));
    }

    // F5 over unsaved results asks first; a pupil registering meanwhile is the new testing's
    // student on Yes, and joins this testing on No.
    void registerWhileNewTestingIsAsked(bool yes) {
        startTesting();
        auto owned = std::make_unique<BoxesHeldOpen>();
        BoxesHeldOpen& boxes = *owned;
        vxg::Dialogs::install(std::move(owned));
        TTestStation& old = registered(195, "Old");
        ASSERT_TRUE(w->GiveOutClick());
        w->StopCommand();
        ASSERT_EQ(s->AttState, AttIsFinished);
        TTestStation& late = station(196, "Late");
        boxes.whileShown = [&](const QString& text) {
            if (text != englishText(177))
                return;
            // Acted on in arrival order: his language reply comes once he is registered.
            ASSERT_TRUE(late.Register() && late.Send("WhatLang!!") && late.WaitForMessages(1));
        };
        boxes.answerNext(yes ? vxg::DlgResult::Yes : vxg::DlgResult::No);
        w->NewAttClick();
        ASSERT_EQ(boxes.texts(vxg::DlgKind::Confirmation), QStringList{englishText(177)});
        QStringList names;
        for (const TClient& c : s->Students)
            names << c.Name + "|" + c.HostAddr;
        EXPECT_EQ(names, yes ? QStringList{"Late|127.0.0.196"}
                             : (QStringList{"Old|127.0.0.195", "Late|127.0.0.196"}));
        EXPECT_EQ(cell(0, yes ? 1 : 2), "Late");
        if (!yes)
            return;
        ASSERT_EQ(s->AttState, Ready);
        ASSERT_TRUE(w->GiveOutClick());
        EXPECT_TRUE(late.WaitForMessages(2));
        EXPECT_EQ(old.Received().size(), 3); // card, stop, grade; nothing of the new testing
    }
};

TEST_F(HostileLinkTest, TheTimeLimitsStopStartsWithinOneSendWhileStationsNeverAcknowledge) {
    stopWhileStationsNeverAcknowledge(true);
}

TEST_F(HostileLinkTest, F3StartsTheStopWithinOneSendWhileStationsNeverAcknowledge) {
    stopWhileStationsNeverAcknowledge(false);
}

TEST_F(HostileLinkTest, ARegistrationWhileTheNewTestingPromptIsOpenIsTheNewTestingsStudent) {
    registerWhileNewTestingIsAsked(true);
}

TEST_F(HostileLinkTest, ARegistrationWhileTheNewTestingPromptIsOpenJoinsThisTestingOnNo) {
    registerWhileNewTestingIsAsked(false);
}

// Four mute stations ahead of the pupil make the stop's loop longer than its pause: what he sends
// within the pause counts, what he sends after it (before his "Stop!!") does not.
TEST_F(TestingWindowTest, AnswersAfterTheStopPauseChangeNoGradeHoweverLongTheStopLoopTakes) {
    link.ackTimeoutMs = 500; // each silent station holds the loop for a second
    startTesting();
    s->ActiveOptions.Na[0] = 1; // no answer right, no grade
    std::vector<TTestStation*> mutes;
    for (int k = 1; k <= 4; ++k)
        mutes.push_back(&registered(169 + k, QStringLiteral("Mute%1").arg(k)));
    TTestStation& pupil = registered(174, "Pupil");
    ASSERT_TRUE(w->GiveOutClick());
    for (TTestStation* m : mutes)
        m->SetSilent(true);
    ASSERT_TRUE(pupil.SendAnswers("1$2$3$1"));
    ASSERT_TRUE(settle([&] { return cell(5, 5) == "-"; }));

    QElapsedTimer sinceStop;
    qint64 lateAt = -1;
    bool inTime = false;
    bool late = false;
    mutes.front()->BeforeAcknowledging([&](const QString& text) {
        if (text == "Stop!!" && !inTime)
            inTime = pupil.SendAnswers("1$2$3$4") && pupil.Send("WhatLang!!");
    });
    mutes.back()->BeforeAcknowledging([&](const QString& text) {
        if (text != "Stop!!" || late)
            return;
        lateAt = sinceStop.elapsed();
        late = pupil.SendAnswers("2$1$1$1");
    });
    sinceStop.start();
    w->StopCommand();
    ASSERT_TRUE(inTime && late);
    ASSERT_GT(lateAt, 2000); // the pause had passed, his "Stop!!" not yet sent
    ASSERT_EQ(s->AttState, AttIsFinished);
    EXPECT_EQ(grid(5), (QStringList{"Pupil", "5", "+", "+", "+", "+"}));
    // His language question in the stop is answered once the stop is over, not ahead of it.
    ASSERT_TRUE(pupil.WaitForMessages(4));
    EXPECT_EQ(pupil.Received().mid(1), (QStringList{"Stop!!", "5$Ocenka!!$", "Lang!!200"}));
}

// A registered station that never acknowledges is answered once, then not for a while; a pupil
// asking after it each time is answered each time.
TEST_F(TestingWindowTest, ARegisteredStationThatNeverAcknowledgesIsNotAnsweredAgainAtOnce) {
    startTesting();
    TTestStation& mute = registered(180, "Mute");
    TTestStation& pupil = registered(181, "Pupil");
    mute.SetSilent(true);
    for (int i = 1; i <= 4; ++i) {
        // Acted on in arrival order: the pupil's reply comes once the mute's question was done.
        ASSERT_TRUE(mute.Send("WhatLang!!") && pupil.Send("WhatLang!!"));
        ASSERT_TRUE(pupil.WaitForMessages(i, 10000));
    }
    EXPECT_EQ(mute.Connections(), 2); // one reply, two attempts
    EXPECT_EQ(pupil.Received(), QStringList(4, "Lang!!200"));
}

// Help requests under names that nobody registered at their address show nothing; a student
// who asks again and again while his box is open has one more box waiting, not one per request.
TEST_F(TestingWindowTest, OnlyRegisteredStudentsAskForTheTeacherAndEachHasOneBoxWaiting) {
    startTesting();
    auto owned = std::make_unique<BoxesHeldOpen>();
    BoxesHeldOpen& boxes = *owned;
    vxg::Dialogs::install(std::move(owned));
    TTestStation& anna = registered(185, "Anna");
    TTestStation& pupil = registered(186, "Pupil");
    TTestStation& stranger = station(187, "Nobody");
    // All acted on once the pupil's language reply is back.
    auto askAndWait = [&](const std::function<void()>& ask) {
        const qsizetype replies = pupil.Received().size();
        ask();
        ASSERT_TRUE(pupil.Send("WhatLang!!") && pupil.WaitForMessages(replies + 1, 10000));
    };
    auto flood = [&] {
        for (const QString name : {"Nobody", "Anna", "Pupil", "X1", "X2", "X3", "X4", "X5"})
            for (const QString text : {"Help!!", "ВЫШЕЛ!!"})
                // Refused, unacknowledged, while a help request of the address still waits.
                (void)stranger.SendAs(name, text);
    };
    boxes.whileShown = [&](const QString&) {
        if (boxes.boxes.size() != 1)
            return;
        askAndWait([&] {
            flood();
            for (int i = 0; i < 3; ++i)
                ASSERT_TRUE(anna.SendAs("Anna", "Help!!") && anna.SendAs("ANNA", "Help!!"));
        });
    };
    askAndWait(flood);
    EXPECT_TRUE(boxes.boxes.isEmpty());
    askAndWait([&] { ASSERT_TRUE(anna.SendAs("ANNA", "Help!!")); });
    ASSERT_TRUE(settle([&] { return boxes.boxes.size() >= 2; }));
    askAndWait([] {}); // a third box would have been shown by now
    // The registered spelling, as the grid shows it.
    EXPECT_EQ(boxes.allTexts(), (QStringList{"Anna" + englishText(63), "Anna" + englishText(63)}));
    EXPECT_EQ(s->StudentCount, 2);
}

// A pupil registered while an archive is shown waits aside; his leave shows its box as any leave
// does, and a help request from him too.
TEST_F(TestingWindowTest, ALeaveOfAPupilWaitingAsideShowsItsBox) {
    startTesting();
    TTestStation& early = registered(190, "Early");
    ASSERT_NO_FATAL_FAILURE(openOneStudentArchive());
    TTestStation& pupil = station(191, "Pupil");
    ASSERT_TRUE(pupil.Register() && pupil.Send("Help!!") && pupil.Leave() && early.Leave());
    ASSERT_TRUE(settle([&] { return warnings().size() == 3; }));
    EXPECT_EQ(warnings(),
              (QStringList{"Pupil" + englishText(63), "Pupil" + englishText(61), "Early" + englishText(61)}));
    w->CloseArhivClick();
    EXPECT_EQ(s->StudentCount, 0);
}

// A stranger's language question, or a mute pupil's Ready, that comes while a give-out's card
// waits for a mute station is answered after the loop: a reply within the card's send would add
// its two attempts to the wait of a stop falling due meanwhile.
class ReplyDuringAGiveOut : public TestingWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ReplyDuringAGiveOut, AddsNoSendToTheWaitOfAStopFallingDue) {
    const bool ready = GetParam();
    link.ackTimeoutMs = 1000;
    startTesting();
    const int at = ready ? 230 : 235; // addresses of their own: the cases run side by side
    TTestStation& pupil = registered(at, "Pupil");
    TTestStation& early = registered(at + 1, "Early");
    ASSERT_TRUE(w->GiveOutClick());
    TTestStation& mute = registered(at + 2, "Mute"); // a newcomer whose station hangs
    TTestStation& asker = ready ? early : station(at + 3, "");
    mute.SetSilent(true);
    asker.SetSilent(true);

    StopClock stop(pupil);
    QObject guard;
    QStringList toAsker;
    asker.BeforeAcknowledging([&](const QString& text) {
        toAsker << text;
        stop.press(w);
    });
    bool asked = false;
    mute.BeforeAcknowledging([&](const QString&) {
        if (asked)
            return;
        asked = ready ? asker.Ready() : asker.Send("WhatLang!!");
        QTimer::singleShot(200, &guard, [&] { stop.press(w); });
    });
    w->GiveOutCommand();
    ASSERT_TRUE(settle([&] { return s->AttState == AttIsFinished; }, 15000));
    ASSERT_TRUE(asked);
    // What is left of the card's send: at most its two waits for the acknowledgement.
    EXPECT_TRUE(stop.startedWithin(2 * s->Link.ackTimeoutMs + 300));
    // The reply goes out once the stop is over; a grade made before the stop stays as it was.
    const QString reply = ready ? "1$Ocenka!!$" : "Lang!!200";
    EXPECT_TRUE(QTest::qWaitFor([&] { return toAsker.contains(reply); }, 10000))
        << toAsker.join('|').toStdString();
    if (ready) {
        EXPECT_EQ(grid(2).value(1), "1");
    }
}

INSTANTIATE_TEST_SUITE_P(LanguageQuestionOrReady, ReplyDuringAGiveOut, ::testing::Bool());
