// The window's guards against bad, hostile or dead stations and against commands that would pull
// the table from under a running loop, each through the real window and real sockets.
#include "test_testing_fixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QTableView>
#include <QThread>
#include <QTimer>

TEST_F(TestingWindowTest, AStationActsOnlyForItsOwnRegisteredStudentWithACard) {
    startTesting();
    TTestStation& anna = registered(31, "Anna");
    TTestStation& boris = registered(32, "Boris");
    ASSERT_TRUE(w->GiveOutClick());
    TTestStation& late = registered(33, "Late"); // after the give-out: no card
    TTestStation& ghost = station(34, "Ghost");  // never registers
    for (const QString text : {"CurrentChecked!!1$2$3$4", "Ready!!", "ВЫШЕЛ!!"}) {
        ASSERT_TRUE(boris.SendAs("Anna", text)); // not his student
        ASSERT_TRUE(ghost.Send(text));
        ASSERT_TRUE(text.startsWith("В") || late.Send(text)); // the factory threshold 0 would grade him 1
    }
    ASSERT_TRUE(boris.SendAnswers("1$1"));
    ASSERT_TRUE(settle([&] { return cell(3, 2) == "-"; }));
    EXPECT_EQ(grid(), (QStringList{"Anna", "", "", "", "", "", "Boris", "", "+", "-", "", "", "Late", "", "",
                                   "", "", ""}));
    EXPECT_TRUE(late.Received().isEmpty());
    EXPECT_TRUE(warnings().isEmpty());

    // Once graded, later answers change nothing: grid, grade and archive agree.
    ASSERT_TRUE(anna.SendAnswers("1$2$3$4") && anna.Ready() && anna.WaitForMessages(2));
    EXPECT_EQ(anna.Received().at(1), "5$Ocenka!!$");
    ASSERT_TRUE(anna.SendAnswers("2$1$1$1") && boris.SendAnswers("1"));
    ASSERT_TRUE(settle([&] { return cell(3, 2).isEmpty(); }));
    EXPECT_EQ(grid(1), (QStringList{"Anna", "5", "+", "+", "+", "+"}));
    EXPECT_EQ(s->Students[0].Answers[0].Given, "1");
}

TEST_F(TestingWindowTest, RegistrationsAreRefusedInTheStatusBarAndExclusionsOfNobodyDoNothing) {
    startTesting();
    w->StringGridView->setCurrentIndex(w->StringGrid->index(1, 2)); // the empty row of an empty grid
    w->DelClientMClick();
    TTestStation& st = station(41, "Four");
    for (int i = 1; i <= TStudentTable::kMaxNamesPerAddress; ++i)
        ASSERT_TRUE(st.SendAs(QStringLiteral("Name%1").arg(i), "Name!!"));
    ASSERT_TRUE(settle([&] { return s->StudentCount == TStudentTable::kMaxNamesPerAddress; }));
    w->StatusPanel0->clear();
    ASSERT_TRUE(st.SendAs("<b>Fifth</b>", "Name!!")); // one name too many for the address
    ASSERT_TRUE(settle([&] { return !w->StatusPanel0->text().isEmpty(); }));
    EXPECT_EQ(w->StatusPanel0->text(), englishText(144).arg("<b>Fifth</b>", "127.0.0.41"));
    EXPECT_EQ(w->StatusPanel0->textFormat(), Qt::PlainText); // shown as written, never as markup
    w->RemoveStudent("Nobody");
    EXPECT_EQ(QStringList({cell(0, 1), cell(0, 4)}), (QStringList{"Name1", "Name4"}));
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

TEST_F(TestingWindowTest, ADeadStationCostsTwoBoundedAttemptsAndGetsItsCardNextTime) {
    startTesting();
    TTestStation& dead = registered(51, "Dead");
    TTestStation& alive = registered(52, "Alive");
    dead.SetSilent(true);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(w->GiveOutClick());
    // Two attempts, each ended by the acknowledgement's limit: a wait without one would never end.
    EXPECT_EQ(dead.Connections(), 2);
    EXPECT_LT(clock.elapsed(), 2 * link.ackTimeoutMs + 10000);
    EXPECT_EQ(s->Students[0].CardSent, 0);
    EXPECT_TRUE(s->Students[0].Answers.isEmpty());
    EXPECT_EQ(warnings(),
              QStringList{englishText(146) + "\nDead" + englishText(147) + "\n\n" + englishText(149)});
    EXPECT_TRUE(w->GiveOut->isEnabled());

    dead.SetSilent(false);
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(s->Students[0].CardSent, 1);
    EXPECT_EQ(dead.Received().size(), 3); // two undelivered, one delivered
    EXPECT_EQ(alive.Received().size(), 1);
    EXPECT_FALSE(w->GiveOut->isEnabled());
}

TEST_F(TestingWindowTest, AnswersSentBeforeTheCardIsAcknowledgedCount) {
    startTesting();
    TTestStation& quick = registered(53, "Quick");
    bool answered = false;
    quick.BeforeAcknowledging([&](const QString&) { answered = quick.SendAnswers("1$1$1$1"); });
    ASSERT_TRUE(w->GiveOutClick());
    ASSERT_TRUE(answered);
    ASSERT_TRUE(settle([&] { return !cell(2, 1).isEmpty(); }));
    for (const TCardAnswer& a : s->Students[0].Answers)
        EXPECT_EQ(a.Given, "1");
    EXPECT_EQ(s->Students[0].CardSent, 1);
}

TEST_F(TestingWindowTest, AGiveOutIsRefusedWhenACardCouldNotBeRightAndTooLongCardsAreNeverSent) {
    startTesting(8, 4);
    TTestStation& st = registered(61, "Pupil");
    s->TopicQuestions[1].Answer3 = "5$"; // would shift every later field at the station
    s->ActiveOptions.MaxTime = 0;        // from a damaged settings file: refused first
    EXPECT_FALSE(w->GiveOutClick());
    s->ActiveOptions.MaxTime = 10;
    EXPECT_FALSE(w->GiveOutClick());
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error),
              (QStringList{englishText(151), englishText(150).arg("2", s->TopicQuestions[1].QuestionText)}));
    EXPECT_EQ(s->AttState, Ready);
    // A card over 9999 bytes: the student gets none, and the teacher is told why.
    s->ActiveOptions.GivenVopr = 8;
    for (TQuestion& q : s->TopicQuestions)
        q = testfiles::MakeLongQuestion(); // about 1280 bytes each: eight do not fit
    ASSERT_TRUE(w->GiveOutClick());        // a card is sent and acknowledged before the click returns
    EXPECT_EQ(st.Connections(), 0);
    EXPECT_EQ(s->Students[0].CardSent, 0);
    const TCard card = MakeCard(s->ActiveOptions, s->TopicQuestions, *QRandomGenerator::global());
    EXPECT_TRUE(warnings().value(0).contains("Pupil" + englishText(148).arg(card.Bytes)));
}

TEST_F(TestingWindowTest, CommandsAreRefusedAndRemovalsHeldWhileAGiveOutRuns) {
    startTesting();
    registered(71, "Dead").SetSilent(true);
    TTestStation& leaver = registered(72, "Leaver");
    TTestStation& stays = registered(73, "Stays");
    TTestStation& newcomer = station(74, "Newcomer");
    TTestStation& leaverAgain = station(75, "LEAVER"); // the same pupil, another seat
    // While the give-out waits for the dead station: the teacher's commands, a leave, a newcomer.
    QStringList during;
    QTimer::singleShot(100, w, [&] {
        const qsizetype fileDialogs = dialogs->fileRequests.size();
        during << QString::number(w->GiveOutClick() + w->OpenTopicClick(nullptr));
        w->CloseTopicClick();
        w->NewAttClick();
        w->OptionsClick();
        w->SaveResultsBtnClick();
        w->LoadResultsBtnClick();
        w->CloseArhivClick();
        during << QString::number(dialogs->fileRequests.size() - fileDialogs) << w->StatusPanel0->text();
        leaver.Leave();
        leaverAgain.Register(); // waits behind the removal of the same name
        newcomer.Register();
        w->StringGridView->setCurrentIndex(w->StringGrid->index(3, 2)); // "Stays"
        dialogs->answerNext(vxg::DlgResult::Yes);
        w->DelClientMClick();
        // The leave and the registrations are acted on meanwhile, in their order.
        EXPECT_TRUE(QTest::qWaitFor([&] { return w->Table.IndexOf("Newcomer") >= 0; }, 10000));
        during << QString::number(s->StudentCount) << QString::number(s->AttState);
    });
    ASSERT_TRUE(w->GiveOutClick());
    // Refused, the archive commands put off; the newcomer appended, no one removed yet, nothing
    // closed or reset.
    EXPECT_EQ(during, (QStringList{"0", "0", englishText(154), "4", QString::number(Ready)}));
    EXPECT_EQ(s->TopicQuestions.size(), 6);
    // Everyone in the table when the loop began was visited once; the newcomer was not.
    EXPECT_EQ(
        (QList<qsizetype>{leaver.Received().size(), stays.Received().size(), newcomer.Received().size()}),
        (QList<qsizetype>{1, 1, 0}));
    // The held work after the loop, in its order: the exclusion, the leave, the leaver's return.
    ASSERT_TRUE(settle([&] { return s->StudentCount == 3; }));
    EXPECT_EQ(grid(), (QStringList{"Dead", "", "", "", "", "", "Newcomer", "", "", "", "", "", "LEAVER", "",
                                   "", "", "", ""}));
    EXPECT_EQ(s->Students[2].HostAddr, "127.0.0.75");
    EXPECT_EQ(w->StudentName->itemText(2), "LEAVER");
    // The archive commands put off do not run once the testing has begun, and the teacher is told.
    EXPECT_TRUE(settle([&] { return w->StatusPanel0->text() == englishText(155); }));
    EXPECT_EQ(s->AttState, AttInProcess);
}

TEST_F(TestingWindowTest, AStopThatFallsDueDuringAGiveOutRunsAfterItAndOnceGradingOnlyCards) {
    startTesting();
    TTestStation& first = registered(81, "First");
    ASSERT_TRUE(w->GiveOutClick());
    TTestStation& dead = registered(82, "Dead");
    dead.SetSilent(true);
    bool stoppedDuring = true;
    QTimer::singleShot(100, w, [&] {
        w->RequestStop(); // the time limit
        stoppedDuring = w->StopDone;
    });
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_FALSE(stoppedDuring);
    ASSERT_TRUE(settle([&] { return s->AttState == AttIsFinished; }, 8000));
    w->StopClick();
    w->StopCommand(); // anything they sent would be acknowledged, so received, by now
    EXPECT_EQ(first.Received().mid(1), (QStringList{"Stop!!", "1$Ocenka!!$"}));
    EXPECT_EQ(dead.Connections(), 4); // the card and the stop, twice each; no card, no grade
    EXPECT_EQ(grid(2), (QStringList{"Dead", "", "", "", "", ""}));
}

TEST_F(TestingWindowTest, MessagesWaitUntilTheWindowIsShownAndEndWithIt) {
    w = start().WorkF();
    s = &examiner->State;
    TTestStation& early = station(91, "Early");
    // Handed to the window before its acknowledgement: two rounds of events take it in and
    // would act on it.
    ASSERT_TRUE(early.Register());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(s->StudentCount, 0);
    w->show();
    openTopic();
    ASSERT_TRUE(settle([&] { return s->StudentCount == 1; }));

    // An exit during a loop ends it at the next student without sending, the retry included.
    early.SetSilent(true);
    TTestStation& next = registered(92, "Next");
    QTimer::singleShot(100, w, [&] { w->RequestApplicationEnd(); });
    w->GiveOutClick();
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    EXPECT_EQ(early.Connections(), 1);
    EXPECT_EQ(next.Connections(), 0);
    stop(); // the receiver goes first: nothing is acknowledged any more
    EXPECT_FALSE(early.Send("Ready!!", 500));
}

TEST_F(TestingWindowTest, TheSkipFlagPassesOverOneStudentInEachLoop) {
    startTesting();
    TTestStation& first = registered(101, "First");
    TTestStation& second = registered(102, "Second");
    auto got = [&] { return QList<qsizetype>{first.Received().size(), second.Received().size()}; };
    // Give-out: the first student is passed over, not reported, and served next time.
    w->StopCiklesAExecute();
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(got(), (QList<qsizetype>{0, 1}));
    EXPECT_TRUE(warnings().isEmpty());
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(got(), (QList<qsizetype>{1, 1}));
    // Stop: the first student gets no "Stop!!" but is graded and told his grade like the others.
    w->StopCiklesAExecute();
    w->StopCommand();
    EXPECT_FALSE(w->StopCiklesA->isChecked());
    ASSERT_TRUE(settle([&] { return got() == QList<qsizetype>{2, 3}; }));
    EXPECT_EQ(first.Received().at(1), "1$Ocenka!!$");
    EXPECT_EQ(second.Received().mid(1), (QStringList{"Stop!!", "1$Ocenka!!$"}));
}

TEST_F(TestingWindowTest, TheClockIsMonotonicNotCountedInTicks) {
    link.minuteMs = 300;
    startTesting();
    s->ActiveOptions.TimeBool = true;
    s->ActiveOptions.MaxTime = 3;
    ASSERT_TRUE(w->GiveOutClick());
    // A blocked window: no timer runs until the whole time limit has passed on the clock.
    const qint64 limitMs = 3LL * MinuteMs;
    while (w->TestingElapsedMs() < limitMs)
        QThread::msleep(10);
    // The first tick after the block finds the limit reached; counting ticks would say one minute.
    int ticks = 0;
    qint32 minutesAtFirstTick = 0;
    QString statusAtFirstTick;
    QObject counting;
    QObject::connect(w->Timer1, &QTimer::timeout, &counting, [&] {
        if (++ticks > 1)
            return;
        minutesAtFirstTick = s->MinutesPassed;
        statusAtFirstTick = w->StatusPanel0->text();
    });
    ASSERT_TRUE(settle([&] { return ticks >= 1; }, 20000));
    EXPECT_GE(minutesAtFirstTick, 3);
    EXPECT_EQ(statusAtFirstTick, englishText(66));
    ASSERT_TRUE(settle([&] { return s->AttState == AttIsFinished; }, 20000));
}

namespace {
// The teacher takes his time over the box that starts the testing.
struct SlowReader : ScriptedDialogs {
    vxg::DlgResult message(vxg::DlgKind kind, const QString& text, vxg::DlgButtons buttons,
                           QWidget* parent) override {
        if (text == LangTableText(257))
            QTest::qWait(600);
        return ScriptedDialogs::message(kind, text, buttons, parent);
    }
};
} // namespace

TEST_F(TestingWindowTest, TheTimeLimitCountsWhileTheStartBoxIsOpen) {
    link.minuteMs = 200;
    startTesting();
    vxg::Dialogs::install(std::make_unique<SlowReader>());
    TTestStation& st = registered(103, "Pupil");
    s->ActiveOptions.TimeBool = true;
    s->ActiveOptions.MaxTime = 1;
    ASSERT_TRUE(w->GiveOutClick());
    // The stop ran on time inside the box's wait, and the box's end did not undo it.
    EXPECT_EQ(s->AttState, AttIsFinished);
    EXPECT_EQ(w->StatusPanel0->text(), englishText(67));
    EXPECT_EQ(st.Received().mid(1), (QStringList{"Stop!!", "1$Ocenka!!$"}));
}

// The pause after the stop messages, during which answers still count, lasts two whole seconds
// by the monotonic clock. A coarse timer may end up to 5 % early: started at 550 ms past a whole
// second of that clock, it would end at the half second, some 50 ms early.
TEST_F(TestingWindowTest, ThePauseAfterTheStopLastsTwoWholeSeconds) {
    startTesting();
    s->AttState = AttInProcess; // nobody registered: the stop is the pause alone
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(int((1550 - clock.msecsSinceReference() % 1000) % 1000));
    clock.restart();
    w->StopClick();
    EXPECT_GE(clock.elapsed(), 2000);
    EXPECT_LT(clock.elapsed(), 5000); // and ends soon after, with room for a loaded machine
    EXPECT_EQ(s->AttState, AttIsFinished);
}
