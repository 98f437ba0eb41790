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
    TTestStation& anna = registered(31, QStringLiteral("Anna"));
    TTestStation& boris = registered(32, QStringLiteral("Boris"));
    ASSERT_TRUE(w->GiveOutClick());
    TTestStation& late = registered(33, QStringLiteral("Late")); // after the give-out: no card
    TTestStation& ghost = station(34, QStringLiteral("Ghost")); // never registers
    for (const QString text : {"CurrentChecked!!1$2$3$4", "Ready!!", "ВЫШЕЛ!!"}) {
        ASSERT_TRUE(boris.SendAs(QStringLiteral("Anna"), text)); // not his student
        ASSERT_TRUE(ghost.Send(text));
        if (!text.startsWith(QStringLiteral("В"))) {
            ASSERT_TRUE(late.Send(text)); // the factory threshold 0 would grade him 1
        }
    }
    ASSERT_TRUE(boris.SendAnswers(QStringLiteral("1$1")));
    ASSERT_TRUE(settle([&] { return cell(3, 2) == QStringLiteral("-"); }));
    EXPECT_EQ(cells(1, 1), (QStringList{"", "", "", "", ""}));
    EXPECT_EQ(cells(3, 1), (QStringList{"", "", "", "", ""}));
    EXPECT_EQ(cells(1, 0, 0) + cells(2, 0, 0) + cells(3, 0, 0), (QStringList{"Anna", "Boris", "Late"}));
    EXPECT_TRUE(late.Received().isEmpty());
    EXPECT_TRUE(warnings().isEmpty());

    // Once graded, later answers change nothing: grid, grade and archive agree.
    ASSERT_TRUE(anna.SendAnswers(QStringLiteral("1$2$3$4")));
    ASSERT_TRUE(anna.Ready());
    ASSERT_TRUE(anna.WaitForMessages(2));
    EXPECT_EQ(anna.Received().at(1), QStringLiteral("5$Ocenka!!$"));
    ASSERT_TRUE(anna.SendAnswers(QStringLiteral("2$1$1$1")));
    ASSERT_TRUE(boris.SendAnswers(QStringLiteral("1")));
    ASSERT_TRUE(settle([&] { return cell(3, 2).isEmpty(); }));
    EXPECT_EQ(cells(1, 1), (QStringList{"5", "+", "+", "+", "+"}));
    EXPECT_EQ(s->Students[0].Answers[0].Given, QStringLiteral("1"));
}

TEST_F(TestingWindowTest, RegistrationsAreRefusedInTheStatusBarAndExclusionsOfNobodyDoNothing) {
    startTesting();
    w->StringGridView->setCurrentIndex(w->StringGrid->index(1, 2)); // the empty row of an empty grid
    w->DelClientMClick();
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    TTestStation& st = station(41, QStringLiteral("Four"));
    for (int i = 1; i <= TStudentTable::kMaxNamesPerAddress; ++i)
        ASSERT_TRUE(st.SendAs(QStringLiteral("Name%1").arg(i), QStringLiteral("Name!!")));
    ASSERT_TRUE(settle([&] { return s->StudentCount == TStudentTable::kMaxNamesPerAddress; }));
    const std::pair<QString, int> cases[] = {
        {"", 140}, {"Tab\there", 141}, {"<b>" + QString(62, 'x') + "</b>", 142}, {"Fifth", 144}};
    for (const auto& [name, textId] : cases) {
        w->StatusPanel0->clear();
        ASSERT_TRUE(st.SendAs(name, QStringLiteral("Name!!")));
        ASSERT_TRUE(settle([&] { return !w->StatusPanel0->text().isEmpty(); })) << textId;
        EXPECT_TRUE(w->StatusPanel0->text().startsWith(englishText(textId).section('%', 0, 0))) << textId;
    }
    w->RemoveStudent(QStringLiteral("Nobody"));
    EXPECT_EQ(cells(1, 0, 0) + cells(4, 0, 0), (QStringList{"Name1", "Name4"}));
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(w->StatusPanel0->textFormat(), Qt::PlainText); // a name is never taken for markup
}

TEST_F(TestingWindowTest, ADeadStationCostsTwoBoundedAttemptsAndGetsItsCardNextTime) {
    startTesting();
    TTestStation& dead = registered(51, QStringLiteral("Dead"));
    TTestStation& alive = registered(52, QStringLiteral("Alive"));
    dead.SetMode(TTestStation::Mode::Silent);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_LT(clock.elapsed(), 2 * link.ackTimeoutMs + 1000);
    EXPECT_EQ(dead.Connections(), 2);
    EXPECT_EQ(s->Students[0].CardSent, 0);
    EXPECT_TRUE(s->Students[0].Answers.isEmpty());
    EXPECT_EQ(alive.Received().size(), 1);
    ASSERT_EQ(warnings().size(), 1); // one box names the students who got no card
    EXPECT_TRUE(warnings()[0].contains(QStringLiteral("Dead") + englishText(147)));
    EXPECT_FALSE(warnings()[0].contains(QStringLiteral("Alive")));
    EXPECT_TRUE(w->GiveOut->isEnabled());

    dead.SetMode(TTestStation::Mode::Acknowledge);
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(s->Students[0].CardSent, 1);
    EXPECT_EQ(dead.Received().size(), 3); // two undelivered, one delivered
    EXPECT_EQ(alive.Received().size(), 1);
    EXPECT_FALSE(w->GiveOut->isEnabled());
}

TEST_F(TestingWindowTest, AGiveOutIsRefusedWhenACardCouldNotBeRightAndTooLongCardsAreNeverSent) {
    startTesting(8, 4);
    TTestStation& st = registered(61, QStringLiteral("Pupil"));
    const TWorkQues topic = s->TopicQuestions;
    const TTestOptions options = s->ActiveOptions;
    const std::pair<std::function<void()>, int> cases[] = {
        {[&] { s->TopicQuestions[1].Answer3 = QStringLiteral("5$"); }, 150},
        {[&] { s->ActiveOptions.GivenVopr = 0; }, 151},
        {[&] { s->ActiveOptions.MaxTime = 0; }, 151},
        {[&] { s->ActiveOptions.GivenVopr = 9; }, 59},
    };
    for (const auto& [damage, textId] : cases) {
        s->TopicQuestions = topic;
        s->ActiveOptions = options;
        damage();
        dialogs->boxes.clear();
        EXPECT_FALSE(w->GiveOutClick()) << textId;
        ASSERT_EQ(dialogs->boxes.size(), 1) << textId;
        EXPECT_EQ(dialogs->boxes[0].kind, vxg::DlgKind::Error);
        EXPECT_TRUE(dialogs->boxes[0].text.startsWith(englishText(textId).section('%', 0, 0))) << textId;
        EXPECT_EQ(s->AttState, Ready);
    }

    // A card over 9999 bytes: that student gets none, and the teacher is told why.
    s->ActiveOptions = options;
    s->ActiveOptions.GivenVopr = 8;
    for (TQuestion& q : s->TopicQuestions)
        q = testfiles::MakeLongQuestion(); // about 1280 bytes each: eight do not fit
    ASSERT_TRUE(w->GiveOutClick());
    QTest::qWait(50);
    EXPECT_EQ(st.Connections(), 0);
    EXPECT_EQ(s->Students[0].CardSent, 0);
    const TCard card = MakeCard(s->ActiveOptions, s->TopicQuestions, *QRandomGenerator::global());
    EXPECT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings().value(0).contains(QStringLiteral("Pupil") + englishText(148).arg(card.Bytes)));
}

TEST_F(TestingWindowTest, CommandsAreRefusedAndRemovalsHeldWhileAGiveOutRuns) {
    startTesting();
    TTestStation& dead = registered(71, QStringLiteral("Dead"));
    TTestStation& leaver = registered(72, QStringLiteral("Leaver"));
    TTestStation& stays = registered(73, QStringLiteral("Stays"));
    dead.SetMode(TTestStation::Mode::Silent);
    TTestStation& newcomer = station(74, QStringLiteral("Newcomer"));
    TTestStation& leaverAgain = station(75, QStringLiteral("LEAVER")); // the same pupil, another seat

    // While the give-out waits for the dead station: the teacher's commands, a leave, a newcomer.
    bool giveOut = true, openTopic = true;
    qsizetype fileDialogs = -1;
    int students = 0;
    quint8 state = 0;
    QString status;
    QTimer::singleShot(100, w, [&] {
        giveOut = w->GiveOutClick();
        openTopic = w->OpenTopicClick(nullptr);
        w->CloseTopicClick();
        w->NewAttClick();
        w->OptionsClick();
        w->SaveResultsBtnClick();
        w->LoadResultsBtnClick();
        w->CloseArhivClick();
        fileDialogs = dialogs->fileRequests.size();
        status = w->StatusPanel0->text();
        leaver.Leave();
        leaverAgain.Register(); // waits behind the removal of the same name
        newcomer.Register();
        w->StringGridView->setCurrentIndex(w->StringGrid->index(3, 2)); // "Stays"
        dialogs->answerNext(vxg::DlgResult::Yes);
        w->DelClientMClick();
        QTest::qWait(100); // the leave and the registrations are acted on meanwhile
        students = s->StudentCount;
        state = s->AttState;
    });
    const qsizetype fileDialogsBefore = dialogs->fileRequests.size();
    ASSERT_TRUE(w->GiveOutClick());

    EXPECT_FALSE(giveOut);
    EXPECT_FALSE(openTopic);
    EXPECT_EQ(fileDialogs, fileDialogsBefore); // save, open and close of archives refused as well
    EXPECT_EQ(status, englishText(145));
    EXPECT_EQ(state, Ready); // neither closed nor reset
    EXPECT_EQ(students, 4);  // the newcomer appended, no one removed yet
    EXPECT_EQ(s->TopicQuestions.size(), 6);
    // Everyone in the table when the loop began was visited once; the newcomer was not.
    EXPECT_EQ(leaver.Received().size(), 1);
    EXPECT_EQ(stays.Received().size(), 1);
    EXPECT_TRUE(newcomer.Received().isEmpty());
    // The held work after the loop, in its order: the exclusion, the leave, the leaver's return.
    ASSERT_TRUE(settle([&] { return s->StudentCount == 3; }));
    EXPECT_EQ(grid(), (QStringList{"Dead", "", "", "", "", "", "Newcomer", "", "", "", "", "", "LEAVER", "", "", "", "", ""}));
    EXPECT_EQ(s->Students[2].HostAddr, QStringLiteral("127.0.0.75"));
    EXPECT_EQ(w->StudentName->itemText(2), QStringLiteral("LEAVER"));
}

TEST_F(TestingWindowTest, AStopThatFallsDueDuringAGiveOutRunsAfterItAndOnlyOnceGradingOnlyCards) {
    startTesting();
    TTestStation& first = registered(81, QStringLiteral("First"));
    ASSERT_TRUE(w->GiveOutClick());
    registered(82, QStringLiteral("Dead")).SetMode(TTestStation::Mode::Silent);
    bool stoppedDuring = true;
    QTimer::singleShot(100, w, [&] {
        w->RequestStop(); // the time limit
        stoppedDuring = w->StopDone;
    });
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_FALSE(stoppedDuring);
    ASSERT_TRUE(settle([&] { return s->AttState == AttIsFinished; }, 8000));
    w->StopClick();
    w->StopCommand();
    QTest::qWait(50);
    EXPECT_EQ(first.Received().count(QStringLiteral("Stop!!")), 1);
    EXPECT_EQ(first.Received().last(), QStringLiteral("1$Ocenka!!$"));
    EXPECT_EQ(s->Students[1].Mark, 0); // no card, no grade
    EXPECT_TRUE(cell(1, 2).isEmpty());
}

TEST_F(TestingWindowTest, AnExitDuringALoopEndsItAtTheNextStudentWithoutSending) {
    startTesting();
    TTestStation& dead = registered(91, QStringLiteral("Dead"));
    dead.SetMode(TTestStation::Mode::Silent);
    TTestStation& next = registered(92, QStringLiteral("Next"));
    QTimer::singleShot(100, w, [&] { w->RequestApplicationEnd(); });
    w->GiveOutClick();
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    EXPECT_EQ(dead.Connections(), 1); // the retry is not made either
    EXPECT_EQ(next.Connections(), 0);
}

TEST_F(TestingWindowTest, MessagesWaitUntilTheWindowIsShownAndStopAtExit) {
    w = start().WorkF();
    s = &examiner->State;
    TTestStation& st = station(95, QStringLiteral("Early"));
    ASSERT_TRUE(st.Register()); // acknowledged at once by the receiver's thread
    QTest::qWait(100);
    EXPECT_EQ(s->StudentCount, 0);
    w->show();
    EXPECT_TRUE(settle([&] { return s->StudentCount == 1; }));
    stop(); // the receiver goes first: nothing is acknowledged any more
    EXPECT_FALSE(st.Send(QStringLiteral("Ready!!"), 500));
}

TEST_F(TestingWindowTest, TheSkipFlagPassesOverOneStudentInEachLoop) {
    startTesting();
    TTestStation& first = registered(101, QStringLiteral("First"));
    TTestStation& second = registered(102, QStringLiteral("Second"));
    auto cards = [&] { return QList<qsizetype>{first.Received().size(), second.Received().size()}; };
    // Give-out: the first student is passed over, not reported, and served next time.
    w->StopCiklesAExecute();
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_FALSE(w->StopCiklesA->isChecked());
    EXPECT_EQ(cards(), (QList<qsizetype>{0, 1}));
    EXPECT_TRUE(warnings().isEmpty());
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(cards(), (QList<qsizetype>{1, 1}));
    // Stop: the first student gets no "Stop!!" but is graded and told his grade like the others.
    w->StopCiklesAExecute();
    w->StopCommand();
    EXPECT_FALSE(w->StopCiklesA->isChecked());
    ASSERT_TRUE(settle([&] { return cards() == QList<qsizetype>{2, 3}; }));
    EXPECT_EQ(first.Received().at(1), QStringLiteral("1$Ocenka!!$"));
    EXPECT_EQ(second.Received().mid(1), (QStringList{"Stop!!", "1$Ocenka!!$"}));
}

TEST_F(TestingWindowTest, TheClockIsMonotonicNotCountedInTicks) {
    link.minuteMs = 300;
    startTesting();
    s->ActiveOptions.TimeBool = true;
    s->ActiveOptions.MaxTime = 3;
    ASSERT_TRUE(w->GiveOutClick());
    QThread::msleep(1000); // a blocked window: the minute timer loses its ticks
    // The one tick after the block finds the limit reached; counting ticks would need three.
    EXPECT_TRUE(settle([&] { return w->StopDone; }, 400));
    EXPECT_EQ(s->MinutesPassed, 3);
}

namespace {
// The teacher takes his time over the box that starts the testing.
class SlowReader : public ScriptedDialogs {
public:
    vxg::DlgResult message(vxg::DlgKind kind, const QString& text, vxg::DlgButtons buttons, QWidget* parent) override {
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
    TTestStation& st = registered(103, QStringLiteral("Pupil"));
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
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_EQ(s->AttState, AttIsFinished);
}

// A pupil who closes his program once his results exist (a grade, or a card after the stop) is
// announced and keeps his row, grade and answers for the archive; before that he leaves the table.
TEST_F(TestingWindowTest, ResultsStayWhenTheirStationLeaves) {
    startTesting();
    TTestStation& graded = registered(101, QStringLiteral("Graded"));
    TTestStation& midway = registered(102, QStringLiteral("Midway"));
    ASSERT_TRUE(w->GiveOutClick());
    TTestStation& stopped = registered(103, QStringLiteral("Stopped"));
    ASSERT_TRUE(w->GiveOutClick()); // his card
    ASSERT_TRUE(graded.SendAnswers(QStringLiteral("1$2$3$4")));
    ASSERT_TRUE(graded.Ready());
    ASSERT_TRUE(graded.WaitForMessages(2)); // the card, the grade
    ASSERT_TRUE(stopped.SendAnswers(QStringLiteral("1$2$ $ ")));
    ASSERT_TRUE(graded.Leave());
    ASSERT_TRUE(midway.Leave()); // answered nothing, no grade: removed
    ASSERT_TRUE(settle([&] { return warnings().size() == 2; }));

    w->StopClick();
    ASSERT_EQ(s->AttState, AttIsFinished);
    TTestStation& late = registered(104, QStringLiteral("Late")); // after the stop: no card
    ASSERT_TRUE(stopped.Leave());
    ASSERT_TRUE(late.Leave());
    ASSERT_TRUE(settle([&] { return warnings().size() == 4; }));
    EXPECT_EQ(warnings(), (QStringList{"Graded" + englishText(61), "Midway" + englishText(61),
                                       "Stopped" + englishText(61), "Late" + englishText(61)}));
    EXPECT_EQ(w->StudentName->count(), 2);
    EXPECT_EQ(grid(), (QStringList{"Graded", "5", "+", "+", "+", "+", "Stopped", "3", "+", "+", "", ""}));
}
