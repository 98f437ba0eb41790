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

namespace {
const QString kAnswers = QStringLiteral("CurrentChecked!!");
}

TEST_F(TestingWindowTest, AStationActsOnlyForItsOwnRegisteredStudentWithACard) {
    startTesting(6, 4);
    TTestStation& anna = station(31, QStringLiteral("Anna"));
    TTestStation& boris = station(32, QStringLiteral("Boris"));
    registerAt(anna);
    registerAt(boris);
    ASSERT_TRUE(w->GiveOutClick());
    TTestStation& late = station(33, QStringLiteral("Late")); // registers after the give-out: no card
    registerAt(late);
    TTestStation& ghost = station(34, QStringLiteral("Ghost")); // never registers

    ASSERT_TRUE(boris.SendAs(QStringLiteral("Anna"), kAnswers + QStringLiteral("1$2$3$4"))); // not his
    ASSERT_TRUE(boris.SendAs(QStringLiteral("Anna"), QStringLiteral("Ready!!")));
    ASSERT_TRUE(boris.SendAs(QStringLiteral("Anna"), QStringLiteral("ВЫШЕЛ!!")));
    ASSERT_TRUE(ghost.SendAnswers(QStringLiteral("1$2$3$4")));
    ASSERT_TRUE(ghost.Ready());
    ASSERT_TRUE(ghost.Leave());
    ASSERT_TRUE(late.SendAnswers(QStringLiteral("1$2$3$4")));
    ASSERT_TRUE(late.Ready()); // the factory threshold 0 would grade him 1
    // A "#", CR or LF from a station is no answer; it never reaches the grid or the archive.
    ASSERT_TRUE(boris.SendAnswers(QStringLiteral("#$\r$\n$2")));
    ASSERT_TRUE(settle([&] { return cell(5, 2) == QStringLiteral("-"); }));

    EXPECT_EQ((QStringList{cell(2, 1), cell(3, 1), cell(4, 1), cell(5, 1), cell(1, 1)}),
              (QStringList{"", "", "", "", ""}));
    EXPECT_EQ(s->Students[0].Mark, 0);
    EXPECT_EQ(indexOf(QStringLiteral("Anna")), 0);
    EXPECT_EQ((QStringList{cell(2, 2), cell(3, 2), cell(4, 2)}), (QStringList{"", "", ""}));
    EXPECT_EQ(s->Students[1].Answers[0].Given, QString());
    EXPECT_EQ(s->Students[1].Answers[1].Given, QString());
    EXPECT_EQ(s->Students[2].Mark, 0);
    EXPECT_TRUE(cell(2, 3).isEmpty());
    EXPECT_TRUE(late.Received().isEmpty());
    EXPECT_TRUE(dialogs->boxes.isEmpty() || dialogs->texts(vxg::DlgKind::Warning).isEmpty());

    // Once graded, later answers change nothing: grid, grade and archive agree.
    ASSERT_TRUE(anna.SendAnswers(QStringLiteral("1$2$3$4")));
    ASSERT_TRUE(anna.Ready());
    ASSERT_TRUE(anna.WaitForMessages(2));
    EXPECT_EQ(anna.Received().at(1), QStringLiteral("5$Ocenka!!$"));
    ASSERT_TRUE(anna.SendAnswers(QStringLiteral("2$1$1$1")));
    ASSERT_TRUE(boris.SendAnswers(QStringLiteral("1")));
    ASSERT_TRUE(settle([&] { return cell(5, 2).isEmpty(); }));
    EXPECT_EQ((QStringList{cell(2, 1), cell(3, 1), cell(4, 1), cell(5, 1)}), (QStringList{"+", "+", "+", "+"}));
    EXPECT_EQ(s->Students[0].Answers[0].Given, QStringLiteral("1"));
}

TEST_F(TestingWindowTest, RegistrationsAreRefusedInTheStatusBarNeverInABox) {
    startTesting();
    TTestStation& st = station(41, QStringLiteral("Four"));
    for (int i = 1; i <= TStudentTable::kMaxNamesPerAddress; ++i)
        ASSERT_TRUE(st.SendAs(QStringLiteral("Name%1").arg(i), QStringLiteral("Name!!")));
    ASSERT_TRUE(settle([&] { return s->StudentCount == TStudentTable::kMaxNamesPerAddress; }));
    struct Case {
        QString name;
        int textId;
    };
    const QList<Case> cases{
        {QString(), 140},
        {QStringLiteral("Tab\there"), 141},
        {QStringLiteral("<b>") + QString(62, QLatin1Char('x')) + QStringLiteral("</b>"), 142},
        {QStringLiteral("Fifth"), 144},
    };
    for (const Case& c : cases) {
        w->StatusPanel0->clear();
        ASSERT_TRUE(st.SendAs(c.name, QStringLiteral("Name!!")));
        ASSERT_TRUE(settle([&] { return !w->StatusPanel0->text().isEmpty(); })) << c.textId;
        EXPECT_TRUE(w->StatusPanel0->text().startsWith(englishText(c.textId).section(QLatin1Char('%'), 0, 0)))
            << w->StatusPanel0->text().toStdString();
        EXPECT_EQ(s->StudentCount, TStudentTable::kMaxNamesPerAddress);
    }
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(w->StatusPanel0->textFormat(), Qt::PlainText); // a name is never taken for markup
}

TEST_F(TestingWindowTest, ADeadStationCostsTwoBoundedAttemptsAndGetsItsCardNextTime) {
    startTesting();
    TTestStation& dead = station(51, QStringLiteral("Dead"));
    TTestStation& alive = station(52, QStringLiteral("Alive"));
    registerAt(dead);
    registerAt(alive);
    dead.SetMode(TTestStation::Mode::Silent);

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_LT(clock.elapsed(), 2 * link.ackTimeoutMs + 1000);
    EXPECT_EQ(dead.Connections(), 2);
    EXPECT_EQ(s->Students[0].CardSent, 0);
    EXPECT_TRUE(s->Students[0].Answers.isEmpty());
    EXPECT_EQ(s->Students[1].CardSent, 1);
    EXPECT_EQ(alive.Received().size(), 1);
    const QStringList warnings = dialogs->texts(vxg::DlgKind::Warning);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("Dead") + englishText(147)));
    EXPECT_FALSE(warnings[0].contains(QStringLiteral("Alive")));
    EXPECT_TRUE(w->GiveOut->isEnabled());

    dead.SetMode(TTestStation::Mode::Acknowledge);
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(s->Students[0].CardSent, 1);
    EXPECT_EQ(dead.Received().size(), 3); // two undelivered, one delivered
    EXPECT_EQ(alive.Received().size(), 1);
    EXPECT_FALSE(w->GiveOut->isEnabled());
}

TEST_F(TestingWindowTest, AGiveOutIsRefusedUpFrontWhenACardCouldNotBeRight) {
    startTesting(6, 4);
    TTestStation& st = station(61, QStringLiteral("Pupil"));
    registerAt(st);
    const TWorkQues topic = s->TopicQuestions;
    const TTestOptions options = s->ActiveOptions;
    struct Case {
        std::function<void()> damage;
        int textId;
    };
    const QList<Case> cases{
        {[&] { s->TopicQuestions[1].Answer3 = QStringLiteral("5$"); }, 150},
        {[&] { s->ActiveOptions.GivenVopr = 0; }, 151},
        {[&] { s->ActiveOptions.MaxTime = 0; }, 151},
        {[&] { s->ActiveOptions.GivenVopr = 7; }, 59},
    };
    for (const Case& c : cases) {
        s->TopicQuestions = topic;
        s->ActiveOptions = options;
        c.damage();
        dialogs->boxes.clear();
        EXPECT_FALSE(w->GiveOutClick()) << c.textId;
        ASSERT_EQ(dialogs->boxes.size(), 1) << c.textId;
        EXPECT_EQ(dialogs->boxes[0].kind, vxg::DlgKind::Error);
        EXPECT_TRUE(dialogs->boxes[0].text.startsWith(englishText(c.textId).section(QLatin1Char('%'), 0, 0)));
        EXPECT_EQ(s->AttState, Ready);
    }
    EXPECT_TRUE(dialogs->boxes[0].text.isEmpty() == false);
    EXPECT_TRUE(st.Received().isEmpty());
}

TEST_F(TestingWindowTest, ACardOverNineThousandNineHundredNinetyNineBytesIsNeverSent) {
    startTesting(8, 8);
    for (TQuestion& q : s->TopicQuestions)
        q = testfiles::MakeLongQuestion(); // about 1280 bytes each: eight do not fit
    TTestStation& st = station(62, QStringLiteral("Pupil"));
    registerAt(st);
    ASSERT_TRUE(w->GiveOutClick());
    QTest::qWait(50);
    EXPECT_TRUE(st.Received().isEmpty());
    EXPECT_EQ(st.Connections(), 0);
    EXPECT_EQ(s->Students[0].CardSent, 0);
    const QStringList warnings = dialogs->texts(vxg::DlgKind::Warning);
    ASSERT_EQ(warnings.size(), 1);
    const TCard card = MakeCard(s->ActiveOptions, s->TopicQuestions, *QRandomGenerator::global());
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("Pupil") + englishText(148).arg(card.Bytes)));
}

TEST_F(TestingWindowTest, CommandsAreRefusedAndRemovalsHeldWhileAGiveOutRuns) {
    startTesting();
    TTestStation& dead = station(71, QStringLiteral("Dead"));
    TTestStation& leaver = station(72, QStringLiteral("Leaver"));
    TTestStation& stays = station(73, QStringLiteral("Stays"));
    for (TTestStation* st : {&dead, &leaver, &stays})
        registerAt(*st);
    dead.SetMode(TTestStation::Mode::Silent);

    // While the give-out waits for the dead station: the teacher's commands, a leave, a newcomer.
    struct During {
        bool giveOut = true, openTopic = true;
        int students = 0;
        qsizetype archiveDialogs = -1;
        quint8 state = 0;
        QString status;
    } during;
    TTestStation& newcomer = station(74, QStringLiteral("Newcomer"));
    TTestStation& leaverAgain = station(75, QStringLiteral("LEAVER")); // the same pupil, another seat
    QTimer::singleShot(100, w, [&] {
        during.giveOut = w->GiveOutClick();
        during.openTopic = w->OpenTopicClick(nullptr);
        w->CloseTopicClick();
        w->NewAttClick();
        w->OptionsClick();
        const qsizetype fileDialogs = dialogs->fileRequests.size();
        w->SaveResultsBtnClick();
        w->LoadResultsBtnClick();
        w->CloseArhivClick();
        during.archiveDialogs = dialogs->fileRequests.size() - fileDialogs;
        during.status = w->StatusPanel0->text();
        leaver.Leave();
        leaverAgain.Register(); // waits behind the removal of the same name
        newcomer.Register();
        w->StringGridView->setCurrentIndex(w->StringGrid->index(3, 2)); // "Stays"
        dialogs->answerNext(vxg::DlgResult::Yes);
        w->DelClientMClick();
        QTest::qWait(100); // the leave and the registration are acted on meanwhile
        during.students = s->StudentCount;
        during.state = s->AttState;
    });
    ASSERT_TRUE(w->GiveOutClick());

    EXPECT_FALSE(during.giveOut);
    EXPECT_FALSE(during.openTopic);
    EXPECT_EQ(during.archiveDialogs, 0); // save, open and close of archives refused as well
    EXPECT_EQ(during.status, englishText(145));
    EXPECT_EQ(during.state, Ready);     // neither closed nor reset
    EXPECT_EQ(during.students, 4);      // the newcomer appended, no one removed yet
    EXPECT_EQ(s->TopicQuestions.size(), 6);
    // Every student in the table when the loop began was visited once; the newcomer was not.
    EXPECT_EQ(leaver.Received().size(), 1);
    EXPECT_EQ(stays.Received().size(), 1);
    EXPECT_TRUE(newcomer.Received().isEmpty());
    // The held work came after the loop in the order it came: the exclusion, the leave, and the
    // new registration of the leaver's name behind his removal.
    ASSERT_TRUE(settle([&] { return s->StudentCount == 3; }));
    EXPECT_EQ((QStringList{cell(0, 1), cell(0, 2), cell(0, 3)}), (QStringList{"Dead", "Newcomer", "LEAVER"}));
    EXPECT_EQ(s->Students[2].HostAddr, QStringLiteral("127.0.0.75"));
    EXPECT_EQ(s->Students[2].CardSent, 0);
    EXPECT_EQ(w->StudentName->itemText(2), QStringLiteral("LEAVER"));
    EXPECT_EQ(w->StringGrid->RowCount(), 4);
}

TEST_F(TestingWindowTest, AStopThatFallsDueDuringAGiveOutRunsAfterItAndOnlyOnce) {
    startTesting();
    TTestStation& first = station(81, QStringLiteral("First"));
    registerAt(first);
    ASSERT_TRUE(w->GiveOutClick());
    TTestStation& dead = station(82, QStringLiteral("Dead"));
    registerAt(dead);
    dead.SetMode(TTestStation::Mode::Silent);

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
    // No card, no grade: the dead station's student is never graded.
    EXPECT_EQ(s->Students[1].Mark, 0);
    EXPECT_TRUE(cell(1, 2).isEmpty());
}

TEST_F(TestingWindowTest, AnExitDuringALoopEndsItAtTheNextStudentWithoutSending) {
    startTesting();
    TTestStation& dead = station(91, QStringLiteral("Dead"));
    TTestStation& next = station(92, QStringLiteral("Next"));
    registerAt(dead);
    registerAt(next);
    dead.SetMode(TTestStation::Mode::Silent);
    QTimer::singleShot(100, w, [&] { w->RequestApplicationEnd(); });
    w->GiveOutClick();
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    EXPECT_EQ(next.Connections(), 0);
    EXPECT_EQ(dead.Connections(), 1);
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

TEST_F(TestingWindowTest, MessagesWaitUntilTheWindowIsShownAndStopAtExit) {
    link.ackTimeoutMs = 300;
    w = start().WorkF();
    s = &examiner->State;
    TTestStation& st = station(95, QStringLiteral("Early"));
    ASSERT_TRUE(st.Register()); // acknowledged at once by the receiver's thread
    QTest::qWait(100);
    EXPECT_EQ(s->StudentCount, 0);
    w->show();
    EXPECT_TRUE(settle([&] { return s->StudentCount == 1; }));
    // At exit the receiver goes first: nothing is acknowledged any more.
    stop();
    EXPECT_FALSE(st.Send(QStringLiteral("Ready!!"), 500));
}

TEST_F(TestingWindowTest, ExclusionMovesTheRowsUpAndAnEmptyRowExcludesNobody) {
    startTesting();
    w->StringGridView->setCurrentIndex(w->StringGrid->index(1, 2));
    w->DelClientMClick();
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    for (int k = 0; k < 3; ++k)
        registerAt(station(96 + k, QStringLiteral("S%1").arg(k + 1)));
    w->StringGridView->setCurrentIndex(w->StringGrid->index(1, 2));
    dialogs->answerNext(vxg::DlgResult::No);
    w->DelClientMClick();
    EXPECT_EQ(s->StudentCount, 3);
    dialogs->answerNext(vxg::DlgResult::Yes);
    w->DelClientMClick();
    EXPECT_EQ(dialogs->boxes.last().text, QStringLiteral("Exclude S1 from this testing?"));
    EXPECT_EQ(s->StudentCount, 2);
    EXPECT_EQ((QStringList{cell(0, 1), cell(0, 2), cell(0, 3)}), (QStringList{"S2", "S3", ""}));
    EXPECT_EQ(w->StringGrid->RowCount(), 3);
    EXPECT_EQ(w->StudentName->itemText(0), QStringLiteral("S2"));
    EXPECT_EQ(s->Students[0].Name, QStringLiteral("S2"));
    EXPECT_EQ(w->StatusPanel0->text(), englishText(60) + QStringLiteral("2"));
    w->RemoveStudent(QStringLiteral("Nobody"));
    EXPECT_EQ(s->StudentCount, 2);
}

TEST_F(TestingWindowTest, TheSkipFlagPassesOverOneStudentInEachLoop) {
    startTesting();
    TTestStation& first = station(101, QStringLiteral("First"));
    TTestStation& second = station(102, QStringLiteral("Second"));
    registerAt(first);
    registerAt(second);

    // Give-out: the first student without a card is passed over, not reported, served next time.
    w->StopCiklesAExecute();
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_FALSE(w->StopCiklesA->isChecked());
    EXPECT_TRUE(first.Received().isEmpty());
    EXPECT_EQ(second.Received().size(), 1);
    EXPECT_TRUE(dialogs->texts(vxg::DlgKind::Warning).isEmpty());
    EXPECT_TRUE(w->GiveOut->isEnabled());
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_EQ(first.Received().size(), 1);
    EXPECT_EQ(second.Received().size(), 1);

    // Stop: the first student gets no "Stop!!" but is graded and told his grade like the others.
    w->StopCiklesAExecute();
    w->StopCommand();
    EXPECT_EQ(s->AttState, AttIsFinished);
    EXPECT_FALSE(w->StopCiklesA->isChecked());
    ASSERT_TRUE(settle([&] { return first.Received().size() == 2 && second.Received().size() == 3; }));
    EXPECT_EQ(first.Received().at(1), QStringLiteral("1$Ocenka!!$"));
    EXPECT_EQ(second.Received().mid(1), (QStringList{"Stop!!", "1$Ocenka!!$"}));
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
    auto reader = std::make_unique<SlowReader>();
    SlowReader* boxes = reader.get();
    vxg::Dialogs::install(std::move(reader));
    TTestStation& st = station(103, QStringLiteral("Pupil"));
    registerAt(st);
    s->ActiveOptions.TimeBool = true;
    s->ActiveOptions.MaxTime = 1;
    ASSERT_TRUE(w->GiveOutClick());
    // The stop ran on time inside the box's wait, and the box's end did not undo it.
    EXPECT_TRUE(w->StopDone);
    EXPECT_EQ(s->AttState, AttIsFinished);
    EXPECT_EQ(w->StatusPanel0->text(), englishText(67));
    EXPECT_EQ(st.Received().mid(1), (QStringList{"Stop!!", "1$Ocenka!!$"}));
    EXPECT_EQ(boxes->texts(vxg::DlgKind::Information), (QStringList{englishText(57)}));
}

// The pause after the stop messages, during which answers still count, lasts its whole two
// seconds by the monotonic clock. A coarse timer may end it up to 5 % early: started at 550 ms
// past a whole second of that clock, it would end at the half second, some 50 ms early.
TEST_F(TestingWindowTest, ThePauseAfterTheStopLastsTwoWholeSeconds) {
    startTesting();
    s->AttState = AttInProcess; // nobody registered: the stop is the pause alone
    QTimer align;
    align.setSingleShot(true);
    align.setTimerType(Qt::PreciseTimer);
    QSignalSpy aligned(&align, &QTimer::timeout);
    QElapsedTimer clock;
    clock.start();
    align.start(static_cast<int>((1550 - clock.msecsSinceReference() % 1000) % 1000));
    ASSERT_TRUE(aligned.wait(1500));

    clock.restart();
    w->StopClick();
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, 2000);
    EXPECT_LT(took, 2500);
    EXPECT_EQ(s->AttState, AttIsFinished);
}

// A pupil who closes his program once his results exist (a grade, or a card after the stop) is
// announced and keeps his row, grade and answers, so the archive holds them. Before that, and
// without a card after the stop, he leaves the table as before.
TEST_F(TestingWindowTest, ResultsStayWhenTheirStationLeaves) {
    startTesting(6, 4);
    TTestStation& graded = station(101, QStringLiteral("Graded"));
    TTestStation& midway = station(102, QStringLiteral("Midway"));
    registerAt(graded);
    registerAt(midway);
    ASSERT_TRUE(w->GiveOutClick());
    TTestStation& stopped = station(103, QStringLiteral("Stopped"));
    registerAt(stopped);
    ASSERT_TRUE(w->GiveOutClick()); // his card
    ASSERT_TRUE(graded.SendAnswers(QStringLiteral("1$2$3$4")));
    ASSERT_TRUE(graded.Ready());
    ASSERT_TRUE(graded.WaitForMessages(2)); // the card, the grade
    ASSERT_TRUE(stopped.SendAnswers(QStringLiteral("1$2$ $ ")));

    auto left = [&](int count) {
        return settle([&] { return dialogs->texts(vxg::DlgKind::Warning).size() == count; });
    };
    ASSERT_TRUE(graded.Leave());
    ASSERT_TRUE(midway.Leave()); // answered nothing, no grade: removed
    ASSERT_TRUE(left(2));
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Warning),
              (QStringList{QStringLiteral("Graded") + englishText(61), QStringLiteral("Midway") + englishText(61)}));
    EXPECT_EQ(indexOf(QStringLiteral("Midway")), -1);

    w->StopClick();
    ASSERT_EQ(s->AttState, AttIsFinished);
    TTestStation& late = station(104, QStringLiteral("Late")); // after the stop: no card
    registerAt(late);
    ASSERT_TRUE(stopped.Leave());
    ASSERT_TRUE(late.Leave());
    ASSERT_TRUE(left(4));
    EXPECT_EQ(indexOf(QStringLiteral("Late")), -1);
    EXPECT_EQ(s->StudentCount, 2);
    EXPECT_EQ(w->StudentName->count(), 2);
    QStringList rows;
    for (int r = 1; r <= 2; ++r)
        for (int c = 0; c < 6; ++c)
            rows << cell(c, r);
    EXPECT_EQ(rows, (QStringList{"Graded", "5", "+", "+", "+", "+", "Stopped", "3", "+", "+", "", ""}));
}
