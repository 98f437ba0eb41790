// The testing itself: giving out cards, storing answers, the two timers with the one-minute
// warning, the stop with the grading, and a new testing. What is computed (cards, marks, grades,
// the clock) lies in CardsAndGrading; this file shows and sends.
#include "WorkU.h"

#include "BusyCursor.h"
#include "CardsAndGrading.h"
#include "Dialogs.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "PieGauge.h"
#include "StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

namespace {

constexpr int kNoCardId = 146;
constexpr int kNotDeliveredId = 147;
constexpr int kCardTooLongId = 148;
constexpr int kTryAgainId = 149;
constexpr int kDollarId = 150;
constexpr int kDamagedSettingsId = 151;
// The pause after the stop messages, during which answers still count.
constexpr int kStopPauseMs = 2000;

void HandlePendingEvents() {
    QCoreApplication::processEvents();
}

// The loops over the table (give-out, warning, stop, grading) walk the first count students (those
// registered when the loop began) by position: a newcomer waits for the next loop, and removals
// wait for the loop's end. With pumpFirst the window's pending events run before each student.
// The walk ends early, returning false, when the program is ending or stop() holds.
template <class Stop, class Each>
bool WalkStudents(const TWorkF& w, int count, bool pumpFirst, Stop stop, Each each) {
    for (int k = 0; k < count && k < w.S.Students.size(); ++k) {
        if (pumpFirst)
            HandlePendingEvents();
        if (w.ApplicationEndRequested() || stop())
            return false;
        if (k < w.S.Students.size())
            each(k);
    }
    return true;
}

bool NeverStop() {
    return false;
}

// The teacher's "skip this student" flag, taken (and cleared) by the loop that honours it.
bool TakeSkipRequest(QAction* skip) {
    if (!skip->isChecked())
        return false;
    skip->setChecked(false);
    return true;
}

// Runs the event loop, user input aside, for at least ms by the monotonic clock: a coarse timer
// may end up to 5 % early, so the end is checked against the clock. Ends early only when
// abandon() holds or the application's loops are ending.
void PauseAtLeast(int ms, const std::function<bool()>& abandon) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop pause;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &pause, &QEventLoop::quit);
    for (qint64 left = ms; left > 0 && !abandon(); left = ms - clock.elapsed()) {
        timer.start(static_cast<int>(left));
        if (pause.exec(QEventLoop::ExcludeUserInputEvents) != 0)
            break;
    }
}

// The end of the answers that count at a stop: the pause after the stop began, by the monotonic
// clock. The pause lets answers already on their way arrive; it is no extra time, so a stop loop
// held up by stations slow to take their "Stop!!" does not lengthen it. Then the answers received
// by now are acted on and the students the stop walks change no more.
class TAnswersCutOff {
public:
    TAnswersCutOff(TWorkF& w, int count) : w_(w), count_(count) {
        began_.start();
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, &timer_,
                         [this] { vxg::RunGuarded([this] { Check(); }); });
        timer_.start(kStopPauseMs);
    }
    TAnswersCutOff(const TAnswersCutOff&) = delete;
    TAnswersCutOff& operator=(const TAnswersCutOff&) = delete;

    qint64 RemainingMs() const { return std::max<qint64>(0, kStopPauseMs - began_.elapsed()); }

    void Close() {
        if (std::exchange(closed_, true))
            return;
        timer_.stop();
        w_.ActOnReceivedAnswers();
        for (int k = 0; k < std::min<qsizetype>(count_, w_.S.Students.size()); ++k)
            w_.S.Students[k].Stopped = w_.S.Students.at(k).CardSent != 0;
    }

private:
    // A timer may end a little early; the clock decides.
    void Check() {
        if (const qint64 left = RemainingMs(); left > 0)
            timer_.start(static_cast<int>(left));
        else
            Close();
    }

    TWorkF& w_;
    const int count_;
    QElapsedTimer began_;
    QTimer timer_;
    bool closed_ = false;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Give-out.

bool TWorkF::GiveOutClick() {
    if (RefuseWhileBusy())
        return false;
    const TGiveOutCheck check = CheckGiveOut(S.ActiveOptions, S.TopicQuestions);
    switch (check.Problem) {
    case TGiveOutProblem::None:
        break;
    case TGiveOutProblem::DamagedSettings:
        vxg::ShowMessage(vxg::DlgKind::Error, lang(kDamagedSettingsId), vxg::DlgButtons::Ok, this);
        return false;
    case TGiveOutProblem::TooFewQuestions:
        vxg::ShowMessage(vxg::DlgKind::Error, lang(59), vxg::DlgButtons::Ok, this);
        return false;
    case TGiveOutProblem::DollarInQuestion:
        vxg::ShowMessage(vxg::DlgKind::Error,
                         lang(kDollarId).arg(QString::number(check.QueNo + 1),
                                             S.TopicQuestions.at(check.QueNo).QuestionText),
                         vxg::DlgButtons::Ok, this);
        return false;
    }

    const QStringList noCard = GiveOutCards();
    if (ApplicationEndRequested())
        return true;
    if (!noCard.isEmpty())
        vxg::ShowMessage(vxg::DlgKind::Warning,
                         lang(kNoCardId) + QLatin1Char('\n') + noCard.join(QLatin1Char('\n')) +
                             QStringLiteral("\n\n") + lang(kTryAgainId),
                         vxg::DlgButtons::Ok, this);

    if (S.FirstGiveOut) {
        S.FirstGiveOut = false;
        StopDone = false;
        WarningSent = false;
        StopPending = false;
        S.MinutesPassed = 0;
        S.GaugeTicks = 0;
        Gauge1->SetProgress(0);
        const bool timed = S.ActiveOptions.TimeBool;
        Panel1->setVisible(timed);
        if (timed) {
            testingClock_.start();
            Timer1->start(S.Link.minuteMs);
            Timer2->start(S.Link.gaugeTickMs);
        }
        // The testing runs from here, also while the teacher reads the box: a time limit that
        // passes meanwhile stops it on time.
        S.AttState = AttInProcess;
        vxg::ShowMessage(vxg::DlgKind::Information, lang(57), vxg::DlgButtons::Ok, this);
        GiveOutPanel->hide();
        if (!StopDone)
            StatusPanel0->setText(lang(58));
        StudentName->setEnabled(true);
        StudentName->setPlaceholderText(lang(51));
        StudentName->setFocus();
    }
    return true;
}

QStringList TWorkF::GiveOutCards() {
    QStringList noCard;
    {
        vxg::BusyCursor hourglass;
        TBusy busy(*this);
        const int n = S.ActiveOptions.GivenVopr;
        if (S.FirstGiveOut) {
            HandlePendingEvents();
            const qint64 cards = static_cast<qint64>(n) * S.StudentCount;
            GiveOutProgress->setRange(
                0, static_cast<int>(std::clamp<qint64>(cards, 1, std::numeric_limits<int>::max())));
            GiveOutProgress->setValue(0);
            ProgressLabel->setText(QStringLiteral("0"));
            VsegoLabel->setText(QString::number(S.StudentCount));
            GiveOutPanel->show();
        }
        // Newcomers who register while the loop runs get their cards at the next give-out; a stop
        // that falls due ends the loop at the next student.
        WalkStudents(
            *this, S.StudentCount, false, [this] { return StopDue(); },
            [&](int k) {
                if (S.Students.at(k).CardSent != 0)
                    return;
                QString reason;
                if (!GiveOutCard(k, &reason) && !reason.isEmpty())
                    noCard << reason;
            });
    }
    // Enabled while a student still lacks a card (not delivered, too long, skipped).
    const bool someoneWithoutCard =
        std::any_of(S.Students.cbegin(), S.Students.cend(), [](const TClient& c) { return c.CardSent == 0; });
    SetCommandEnabled(GiveOut, GiveOutBtn, someoneWithoutCard);
    return noCard;
}

bool TWorkF::GiveOutCard(int k, QString* noCard) {
    HandlePendingEvents();
    if (ApplicationEndRequested() || k < 0 || k >= S.Students.size())
        return false;
    if (TakeSkipRequest(StopCiklesA))
        return false;
    S.QueIndex = 0;
    const QString name = S.Students.at(k).Name;
    const QString host = S.Students.at(k).HostAddr;
    TCard card = MakeCard(S.ActiveOptions, S.TopicQuestions, *QRandomGenerator::global());
    GiveOutProgress->setValue(std::min(GiveOutProgress->maximum(),
                                       GiveOutProgress->value() + static_cast<int>(card.Answers.size())));
    ProgressLabel->setText(QString::number(k + 1));
    if (!card.Fits()) {
        if (noCard)
            *noCard = name + lang(kCardTooLongId).arg(card.Bytes);
        return false;
    }

    // The card counts from before the send: answers that come back while it waits are stored.
    TClient& student = S.Students[k];
    student.Answers = card.Answers;
    student.CardSent = 1;
    cardAwaitingAck_ = k;
    cardAnswered_ = false;
    bool delivered = SendToStudent(host, card.Text);
    cardAwaitingAck_ = -1;
    // A station that answered its card holds it, whatever became of the acknowledgement; its
    // answers and grade stay.
    delivered = delivered || cardAnswered_;
    // Students are only appended while the send waits, so k is still this student.
    if (!delivered && k < S.Students.size() && S.Students.at(k).Name == name) {
        TClient& again = S.Students[k];
        again.CardSent = 0;
        again.Answers.clear();
        for (int c = 1; c < StringGrid->ColCount(); ++c)
            StringGrid->SetCell(c, k + 1, QString());
        if (noCard)
            *noCard = name + lang(kNotDeliveredId);
    }
    return delivered;
}

// ---------------------------------------------------------------------------------------------
// Answers and grades.

void TWorkF::StoreAnswers(const QString& name, const QString& text) {
    const int k = Table.IndexOf(name);
    if (k < 0 || S.Students.at(k).Stopped)
        return;
    TClient& student = S.Students[k];
    // Without a card there is nothing to answer; after the grade the answers stay as graded.
    if (student.CardSent == 0 || student.Mark != 0)
        return;
    if (k == cardAwaitingAck_)
        cardAnswered_ = true;
    const qsizetype limit = std::min<qsizetype>(S.ActiveOptions.GivenVopr, StringGrid->ColCount() - 2);
    const qsizetype written = StoreCardAnswers(student.Answers, S.TopicQuestions, text, limit);
    for (qsizetype i = 0; i < written; ++i)
        StringGrid->SetCell(static_cast<int>(i) + 2, k + 1, student.Answers.at(i).Check);
    RefreshQueView();
}

void TWorkF::GradeStudent(int k) {
    if (k < 0 || k >= S.Students.size() || S.Students.at(k).Stopped)
        return;
    if (k == cardAwaitingAck_)
        cardAnswered_ = true;
    Grade(k);
}

void TWorkF::Grade(int k) {
    if (k < 0 || k >= S.Students.size())
        return;
    if (S.Students.at(k).Mark != 0 || S.Students.at(k).CardSent == 0)
        return;
    const qint32 grade = GradeForRights(S.ActiveOptions.Na, CountRightAnswers(k + 1));
    if (grade == 0)
        return;
    StringGrid->SetCell(1, k + 1, QString::number(grade));
    S.Students[k].Mark = grade;
    if (sendsInFlight_ > 0) {
        heldGrades_.append({S.Students.at(k).HostAddr, MarkMsgText(grade)});
        return;
    }
    SendToStudent(S.Students.at(k).HostAddr, MarkMsgText(grade));
}

// ---------------------------------------------------------------------------------------------
// Timers.

qint64 TWorkF::TestingElapsedMs() const {
    if (!testingClock_.isValid())
        return 0;
    // On the programs' scale: a shortened minute (tests) counts as a whole one.
    return testingClock_.elapsed() * MinuteMs / std::max(1, S.Link.minuteMs);
}

void TWorkF::Timer1Timer() {
    if (S.AttState != AttInProcess || StopDone) {
        Timer1->stop();
        return;
    }
    const TMinuteStep step = MinuteStep(TestingElapsedMs(), S.ActiveOptions.MaxTime, WarningSent);
    S.MinutesPassed = step.MinutesPassed;
    if (step.WarnDue) {
        WarningSent = true;
        // Not inside the timer's own handler: the loop and its box run as an event of their own.
        QMetaObject::invokeMethod(
            this, [this] { vxg::RunGuarded([this] { WarnStudents(); }); }, Qt::QueuedConnection);
    }
    if (step.StopDue) {
        Timer1->stop();
        StatusPanel0->setText(lang(66));
        RequestStop();
    }
}

void TWorkF::WarnStudents() {
    {
        TBusy busy(*this);
        if (!WalkStudents(
                *this, S.StudentCount, false, [this] { return StopDone || StopDue(); },
                [this](int k) { SendToStudent(S.Students.at(k).HostAddr, QStringLiteral("Soon!!")); }))
            return;
    }
    if (!StopDone)
        vxg::ShowMessage(vxg::DlgKind::Warning, lang(65), vxg::DlgButtons::Ok, this);
}

void TWorkF::Timer2Timer() {
    S.GaugeTicks = GaugeTicksAt(TestingElapsedMs());
    const qint32 progress = GaugeProgress(S.GaugeTicks, S.ActiveOptions.MaxTime);
    Gauge1->SetProgress(progress);
    if (progress >= 100 || S.AttState != AttInProcess)
        Timer2->stop();
}

// ---------------------------------------------------------------------------------------------
// Stop and new testing.

void TWorkF::RequestStop() {
    StopPending = true;
    PostWaitingWork();
}

void TWorkF::StopCommand() {
    // Pressed while a loop or a send runs, it waits for their end as the time limit's stop does.
    StopClick();
    if (StopPending)
        NoteDeferred();
}

void TWorkF::StopClick() {
    if (StopDone || S.AttState != AttInProcess) {
        StopPending = false;
        return;
    }
    if (Busy()) {
        StopPending = true;
        return;
    }
    StopDone = true;
    StopPending = false;
    {
        vxg::BusyCursor hourglass;
        TBusy busy(*this);
        Timer1->stop();
        Panel1->hide();
        // The table as it stood at the stop: those who register during the pause get no grade.
        const int count = S.StudentCount;
        TAnswersCutOff cutOff(*this, count);
        WalkStudents(*this, count, true, NeverStop, [this](int k) {
            if (!TakeSkipRequest(StopCiklesA) && S.Students.at(k).Mark == 0)
                SendToStudent(S.Students.at(k).HostAddr, QStringLiteral("Stop!!"));
        });
        StatusPanel0->setText(lang(67));

        // Answers still arrive and count until the pause is over; the teacher's commands wait.
        PauseAtLeast(static_cast<int>(cutOff.RemainingMs()), [this] { return ApplicationEndRequested(); });
        cutOff.Close();
        WalkStudents(*this, count, false, NeverStop, [this](int k) { Grade(k); });
    }
    S.AttState = AttIsFinished;
}

void TWorkF::NewAttClick() {
    if (RefuseWhileBusy())
        return;
    // The stations that register while the teacher is asked are the new testing's, or this
    // one's if he says No: their registrations wait aside meanwhile.
    bool confirmed = false;
    {
        newTestingAsked_ = true;
        const auto asked = qScopeGuard([this] { newTestingAsked_ = false; });
        confirmed = ConfirmNewTesting();
    }
    const TNet newcomers = Table.TakeAside();
    if (!confirmed) {
        for (const TClient& c : newcomers)
            AddStudent(c.Name, c.HostAddr);
        return;
    }
    SavedResults.reset();
    for (int r = 1; r <= S.StudentCount && r < StringGrid->RowCount(); ++r)
        StringGrid->ClearRow(r);
    Table.Clear();
    StudentName->clear();
    PositionL->clear();
    RightsCountL->clear();
    ReshCountL->clear();
    Timer1->stop();
    Timer2->stop();
    testingClock_.invalidate();
    S.GaugeTicks = 0;
    S.MinutesPassed = 0;
    Gauge1->SetProgress(0);
    Gauge1->repaint();
    ClearResults();
    Table.Assign(newcomers);
    SetupGrid();
    ShowRegisteredStudents();
    StudentName->setPlaceholderText(QString());
    StatusPanel0->setText(lang(55));
    S.AttState = Ready;
    S.FirstGiveOut = true;
    StopDone = false;
    WarningSent = false;
    StopPending = false;
}
