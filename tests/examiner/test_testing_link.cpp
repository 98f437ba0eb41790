// The link while the teacher is held up: a box left open, a send that waits, a window thread that
// falls behind at the stop; and what the status bar tells him. Each through the real window and
// real sockets.
#include "test_testing_fixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QThread>
#include <QTimer>

namespace {

// Boxes that stay open while whileOpen runs (the teacher has not read them yet).
struct BoxesLeftOpen : ScriptedDialogs {
    vxg::DlgResult message(vxg::DlgKind kind, const QString& text, vxg::DlgButtons buttons,
                           QWidget* parent) override {
        const vxg::DlgResult result = ScriptedDialogs::message(kind, text, buttons, parent);
        mostOpenAtOnce = std::max(mostOpenAtOnce, ++open);
        if (whileOpen)
            whileOpen(text);
        --open;
        return result;
    }
    std::function<void(const QString&)> whileOpen;
    int open = 0;
    int mostOpenAtOnce = 0;
};

} // namespace

TEST_F(TestingWindowTest, AnOpenBoxHoldsUpNoMessageAndTheTimeLimitGradesWhatCameMeanwhile) {
    link.minuteMs = 1000;
    startTesting();
    auto owned = std::make_unique<BoxesLeftOpen>();
    BoxesLeftOpen& boxes = *owned;
    vxg::Dialogs::install(std::move(owned));
    s->ActiveOptions.TimeBool = true;
    s->ActiveOptions.MaxTime = 1;
    TTestStation& early = registered(111, "Early");
    TTestStation& asker = registered(112, "Asker");
    TTestStation& meanwhile = registered(113, "Meanwhile");
    TTestStation& leaver = registered(114, "Leaver");
    TTestStation& newcomer = station(115, "Newcomer");
    ASSERT_TRUE(w->GiveOutClick());
    ASSERT_TRUE(early.SendAnswers("1$2$3$4"));

    // While the help box is open: answers, a registration, a leave and another help request come
    // in, and the time limit falls; the box stays open until the pupil has his grade.
    QStringList whileOpen;
    boxes.whileOpen = [&](const QString& text) {
        if (text != "Asker" + englishText(63))
            return;
        ASSERT_TRUE(meanwhile.SendAnswers("1$2$3$4") && newcomer.Register() && leaver.Leave() &&
                    early.Send("Help!!"));
        ASSERT_TRUE(settle([&] { return cell(5, 3) == "+"; })); // the grid stays live
        ASSERT_TRUE(meanwhile.WaitForMessages(3, 15000));       // card, stop, grade
        whileOpen << QString::number(s->AttState);
        for (const TClient& c : s->Students)
            whileOpen << c.Name;
    };
    ASSERT_TRUE(asker.Send("Help!!"));
    ASSERT_TRUE(settle([&] { return boxes.texts(vxg::DlgKind::Warning).size() == 3; }, 20000));
    EXPECT_EQ(whileOpen,
              (QStringList{QString::number(AttIsFinished), "Early", "Asker", "Meanwhile", "Newcomer"}));
    EXPECT_EQ(meanwhile.Received().mid(1), (QStringList{"Stop!!", "5$Ocenka!!$"}));
    EXPECT_EQ(early.Received().mid(1), (QStringList{"Stop!!", "5$Ocenka!!$"}));
    // One box at a time, in the order asked for, none lost.
    EXPECT_EQ(
        boxes.texts(vxg::DlgKind::Warning),
        (QStringList{"Asker" + englishText(63), "Leaver" + englishText(61), "Early" + englishText(63)}));
    EXPECT_EQ(boxes.mostOpenAtOnce, 1);
}

// The window thread falls behind just as the pause after the stop messages ends: an answers
// message acknowledged within the pause still counts for the grade.
TEST_F(TestingWindowTest, AnswersAcknowledgedWithinTheStopPauseCountIfTheWindowFallsBehind) {
    startTesting();
    TTestStation& pupil = registered(131, "Pupil");
    ASSERT_TRUE(w->GiveOutClick());
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, w, [&] {
        if (w->StatusPanel0->text() != englishText(67))
            return;
        watch.stop();
        // In the pause: acknowledged by the receiver's thread, then the window thread is held
        // (no events run) until the pause is over, as on a machine under load.
        QElapsedTimer held;
        held.start();
        ASSERT_TRUE(pupil.SendAnswers("1$2$3$4"));
        while (held.elapsed() < 2500)
            QThread::msleep(5);
    });
    watch.start();
    w->StopCommand();
    EXPECT_EQ(pupil.Received().mid(1), (QStringList{"Stop!!", "5$Ocenka!!$"}));
}

TEST_F(TestingWindowTest, CommandsPressedDuringASendRunAfterItAndAStrangerIsAnsweredNowAndThen) {
    startTesting();
    TTestStation& pupil = registered(121, "Pupil");
    // Two stations that never register and never acknowledge; each press comes while the
    // language reply to one of them waits.
    auto pressWhileReplying = [&](TTestStation& st, QAction* command) {
        st.SetSilent(true);
        st.BeforeAcknowledging([this, command, pressed = false](const QString&) mutable {
            if (std::exchange(pressed, true))
                return;
            w->QuickHelpAUpdate(); // the state's commands, as at the last idle moment
            ASSERT_TRUE(w->Busy() && command->isEnabled());
            command->trigger();
            EXPECT_EQ(w->StatusPanel0->text(), englishText(154));
        });
    };
    TTestStation& stranger = station(122, "");
    pressWhileReplying(stranger, w->LoadArhiv);
    const qsizetype fileDialogs = dialogs->fileRequests.size();
    ASSERT_TRUE(stranger.Send("WhatLang!!"));
    ASSERT_TRUE(settle([&] { return dialogs->fileRequests.size() == fileDialogs + 1; })); // the open dialog

    // Asking again and again gets no reply within five seconds; the pupil's question, after them,
    // is answered.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(stranger.Send("WhatLang!!") && settle([&] { return !w->Busy(); }));
    ASSERT_TRUE(pupil.Send("WhatLang!!") && pupil.WaitForMessages(1));
    EXPECT_EQ(stranger.Connections(), 2); // one reply, tried twice

    ASSERT_TRUE(w->GiveOutClick());
    TTestStation& other = station(123, "");
    pressWhileReplying(other, w->Stop);
    ASSERT_TRUE(other.Send("WhatLang!!"));
    ASSERT_TRUE(settle([&] { return s->AttState == AttIsFinished; }, 8000));
    EXPECT_EQ(pupil.Received().mid(2), (QStringList{"Stop!!", "1$Ocenka!!$"}));
}

TEST_F(TestingWindowTest, ARegistrationUnderATakenNameIsToldAndLongStatusTextsAreReadWhole) {
    startTesting();
    registered(141, "Ivanov");
    ASSERT_TRUE(station(142, "IVANOV").Register());
    ASSERT_TRUE(settle([&] { return !w->StatusPanel0->text().startsWith(englishText(60)); }));
    EXPECT_EQ(w->StatusPanel0->text(), englishText(153).arg("IVANOV", "127.0.0.142", "127.0.0.141"));

    // Every refusal and note, with a long name and long addresses, fits the panel in both
    // languages, over as many lines as it needs.
    QLabel* panel = w->StatusPanel0;
    auto fits = [panel] {
        const QRect room = panel->contentsRect();
        const QRect needed = panel->fontMetrics().boundingRect(
            QRect(0, 0, room.width(), 10000), Qt::TextWordWrap | Qt::AlignCenter, panel->text());
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    for (const bool russian : {true, false}) {
        russian ? w->Rus1Click() : w->Eng1Click();
        for (const int id : {140, 141, 142, 143, 144, 145, 153, 154, 155}) {
            panel->setText(text(id)
                               .replace("%1", "Константинопольская Анастасия Владимировна")
                               .replace("%2", "192.168.100.123")
                               .replace("%3", "192.168.100.124"));
            EXPECT_TRUE(settle(fits, 2000)) << id << ' ' << panel->text().toStdString();
        }
    }
}
