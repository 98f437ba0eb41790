// The message link of the main window: the receiver's messages acted on one at a time, the
// dispatcher with the boxes it shows, sending, the commands put off while the window is busy, and
// the student table with its selector items and grid rows.
#include "WorkU.h"

#include "Dialogs.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "MessageFrame.h"
#include "MessageLink.h"
#include "MessageQueue.h"
#include "StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

using vxg::link::TMsgKind;

namespace {

constexpr int kRefusedEmptyId = 140;
constexpr int kRefusedControlId = 141;
constexpr int kRefusedLongId = 142;
constexpr int kRefusedTableFullId = 143;
constexpr int kRefusedAddressFullId = 144;
constexpr int kBusyId = 145;
constexpr int kDeafId = 152;
constexpr int kNameTakenId = 153;
constexpr int kDeferredId = 154;
constexpr int kDeferredNotRunId = 155;
// Messages acted on in one go before the window's other events get their turn.
constexpr int kMessagesPerTurn = 64;
// Language questions of stations with no student, held while a loop or the stop sends.
constexpr qsizetype kMaxHeldStrangerQueries = 1024;

// A name fit for the status bar: control characters shown as blanks, at most 64 characters.
QString ShownName(const QString& name) {
    QString shown = name.left(TStudentTable::kMaxNameLength);
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return name.size() > shown.size() ? shown + QStringLiteral("...") : shown;
}

QList<vxg::link::TSender> RegisteredSenders(const TNet& students) {
    QList<vxg::link::TSender> senders;
    senders.reserve(students.size());
    for (const TClient& c : students)
        senders.append({c.Name, c.HostAddr});
    return senders;
}

// On the receiver's thread, before the acknowledgement: what the queue refuses is not
// acknowledged. The window is woken once for a run of queued messages, through an event to
// inbox, and touched in no other way from that thread.
TMessageReceiver::TAdmission LinkAdmission(std::shared_ptr<vxg::link::TMessageQueue> queue, QObject* inbox,
                                           std::function<void()> wake) {
    return [queue = std::move(queue), inbox, wake = std::move(wake)](const QString& name, const QString& text,
                                                                     const QString& peer) {
        const vxg::link::TOffer offer = queue->Enqueue({name, text, peer, TMsgKind::Unknown});
        if (offer == vxg::link::TOffer::Queued && queue->OweWakeUp())
            QMetaObject::invokeMethod(inbox, wake, Qt::QueuedConnection);
        return offer != vxg::link::TOffer::Refused;
    };
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The link's life.

void TWorkF::CreateLink() {
    messages_ = std::make_shared<vxg::link::TMessageQueue>(S.Link.queue);
    boxes_ = std::make_unique<vxg::link::TBoxQueue>();
    langReplies_ = std::make_unique<vxg::link::TReplyThrottle>();
    linkClock_.start();
    // The wake-ups come as events to an object of their own, apart from the window's other events.
    inbox_ = new QObject(this);
    receiver_ = std::make_unique<TMessageReceiver>(
        S.Link, LinkAdmission(messages_, inbox_, [this] { MessageArrived(); }));
    // Registered students keep room in the queue that no flood from other addresses can take.
    Table.OnChange([this] {
        if (messages_)
            messages_->SetRegistered(RegisteredSenders(S.Students));
    });
    // A modal window that closed lets the waiting boxes and commands have their turn.
    connect(this, &TWorkF::IdleUpdated, this, [this] {
        if (WorkWaiting())
            PostWaitingWork();
    });
    // A port that cannot be had (another examiner listens there) leaves the station deaf; the
    // teacher is told once the window is shown (ReportDeafLink).
    receiver_->Start();

    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(S.Link.minuteMs);
    Timer2->setTimerType(Qt::PreciseTimer);
    Timer2->setInterval(S.Link.gaugeTickMs);
    connect(Timer1, &QTimer::timeout, this, [this] { vxg::RunGuarded([this] { Timer1Timer(); }); });
    connect(Timer2, &QTimer::timeout, this, [this] { vxg::RunGuarded([this] { Timer2Timer(); }); });

    auto bind = [this](QAction* item, QToolButton* button, void (TWorkF::*handler)()) {
        if (item)
            connect(item, &QAction::triggered, this,
                    vxg::Guarded([this, handler](bool) { (this->*handler)(); }));
        if (button)
            connect(button, &QToolButton::clicked, this,
                    vxg::Guarded([this, handler](bool) { (this->*handler)(); }));
    };
    bind(GiveOut, GiveOutBtn, &TWorkF::GiveOutCommand);
    bind(Stop, StopBtn, &TWorkF::StopCommand);
    bind(NewAtt, NewAttBtn, &TWorkF::NewAttClick);
    bind(DelStudA, nullptr, &TWorkF::DelClientMClick);

    // Names from the stations and texts from question files are shown as written, never taken
    // for markup.
    StatusPanel0->setTextFormat(Qt::PlainText);
    SamVoprLabel->setTextFormat(Qt::PlainText);
}

void TWorkF::OpenMessageQueue() {
    messagesOpen_ = true;
    if (messages_ && !messages_->Empty())
        PostMessageProcessing();
}

void TWorkF::ReportDeafLink() {
    // Not on the start that adapts the station to the network: that one ends at once anyway.
    if (ApplicationEndRequested() || !receiver_ || receiver_->Port() != 0)
        return;
    vxg::ShowMessage(vxg::DlgKind::Error, lang(kDeafId).arg(S.Link.listenPort).arg(receiver_->ErrorString()),
                     vxg::DlgButtons::Ok, this);
}

void TWorkF::ShutdownLink() {
    messagesOpen_ = false;
    if (receiver_)
        receiver_->Stop();
    receiver_.reset();
    if (messages_)
        messages_->Clear();
    if (boxes_)
        boxes_->Clear();
    deferred_.clear();
    heldGrades_.clear();
    heldLangQueries_.clear();
    heldLangPeers_.clear();
}

quint16 TWorkF::LinkPort() const {
    return receiver_ ? receiver_->Port() : 0;
}

// ---------------------------------------------------------------------------------------------
// Received messages: queued in arrival order, acted on one at a time.

void TWorkF::MessageArrived() {
    if (!receiver_ || !messages_)
        return;
    messages_->Woken();
    PostMessageProcessing();
}

void TWorkF::PostMessageProcessing() {
    if (messagesOpen_)
        PostOnce(pumpPosted_, &TWorkF::ProcessMessages);
}

void TWorkF::PostOnce(bool& posted, void (TWorkF::*work)()) {
    if (posted)
        return;
    posted = true;
    QMetaObject::invokeMethod(
        this,
        [this, &posted, work] {
            posted = false;
            (this->*work)();
        },
        Qt::QueuedConnection);
}

void TWorkF::ProcessMessages() {
    // One message at a time: a message whose processing waits (a send) is finished before the
    // next one begins, though the window handles its other events meanwhile. Boxes never wait
    // here: they have a queue of their own. The stop and the put-off commands go before the next
    // message, which might send again and keep them waiting as long as stations keep asking.
    if (processing_ || !messagesOpen_ || !messages_)
        return;
    processing_ = true;
    int done = 0;
    while (messagesOpen_ && !ApplicationEndRequested() && done < kMessagesPerTurn && !WorkDueFirst()) {
        const std::optional<vxg::link::TReceived> m = messages_->TakeNext();
        if (!m)
            break;
        vxg::RunGuarded([&] { NMMSGServ1MSG(m->name, m->text, m->peer); });
        messages_->Done();
        ++done;
    }
    processing_ = false;
    const bool due = WorkDueFirst();
    // A stop that waits for an enclosing send holds the messages too; the end of that send
    // posts them again (EndBusy).
    if (!messages_->Empty() && !(due && Busy()))
        PostMessageProcessing();
    if (due && !Busy())
        DoWaitingWork();
    else if (WorkWaiting())
        PostWaitingWork();
}

void TWorkF::NMMSGServ1MSG(const QString& sFrom, const QString& sMsg, const QString& peer) {
    switch (vxg::link::KindOf(sMsg)) {
    case TMsgKind::Register:
        AddStudent(sFrom, peer);
        break;
    case TMsgKind::Answers:
        // A station answers only for the student it registered.
        if (Table.IndexFrom(sFrom, peer) >= 0)
            StoreAnswers(sFrom, sMsg);
        break;
    case TMsgKind::Help:
        // A real station registers first and keeps its name: anything else asking for the
        // teacher would only pile up boxes in front of his commands.
        if (const QString student = Table.RegisteredName(sFrom, peer); !student.isEmpty())
            QueueBox(TMsgKind::Help, student, peer);
        break;
    case TMsgKind::Ready: {
        const int k = Table.IndexFrom(sFrom, peer);
        if (k >= 0)
            GradeStudent(k);
        break;
    }
    case TMsgKind::Left:
        StudentLeft(sFrom, peer);
        break;
    case TMsgKind::LangQuery:
        ReplyLanguage(peer);
        break;
    case TMsgKind::Unknown:
        break;
    }
}

void TWorkF::ActOnReceivedAnswers() {
    if (!messages_)
        return;
    // The receiver queues a message before it acknowledges it: every message acknowledged by
    // now waits in the queue.
    for (const vxg::link::TReceived& m : messages_->TakeAnswersBeforeReady())
        vxg::RunGuarded([&] { NMMSGServ1MSG(m.name, m.text, m.peer); });
}

void TWorkF::StudentLeft(const QString& name, const QString& peer) {
    if (const QString aside = Table.DropAside(name, peer); !aside.isEmpty()) {
        QueueBox(TMsgKind::Left, aside, peer);
        return;
    }
    const int k = Table.IndexFrom(name, peer);
    if (k < 0)
        return;
    const QString student = S.Students.at(k).Name;
    // Removed at once, so that his station may register again while the box waits. Results
    // once made stay for the archive: a pupil who closes his program after his grade (or after
    // the stop, with a card) keeps his row, his grade and his answers.
    if (!HasResults(k))
        RemoveStudent(student);
    QueueBox(TMsgKind::Left, student, peer);
}

void TWorkF::ReplyLanguage(const QString& peer) {
    // While the stop goes out, replies would hold the "Stop!!" of every student behind them; a
    // reply inside a loop's send (a give-out, the warning) would be a send within a send, which a
    // stop falling due meanwhile would have to wait out on top of the enclosing one. They are
    // answered once the loop ends. Registered students' stations are always held; of the others
    // no more than the queue itself would keep waiting.
    if (Busy()) {
        const bool room = heldLangQueries_.size() < kMaxHeldStrangerQueries || Table.HasAddress(peer);
        if (room && !heldLangPeers_.contains(peer)) {
            heldLangPeers_.insert(peer);
            heldLangQueries_.append(peer);
        }
        return;
    }
    // A station asking again and again and never acknowledging would keep the window sending:
    // one that has not registered is answered only now and then, and none is answered for a
    // while after a send to it went unacknowledged.
    const bool registered = Table.HasAddress(peer);
    if (!langReplies_->Allowed(peer, registered, linkClock_.elapsed()))
        return;
    SendToStudent(peer, QStringLiteral("Lang!!") + QString::number(LangOffset));
    if (!registered)
        langReplies_->Replied(peer, linkClock_.elapsed());
}

void TWorkF::SendHeldReplies() {
    // One reply per event: a command put off meanwhile runs before the next one. Whatever holds
    // them up now posts them again when it ends (EndBusy, the waiting work).
    if (Busy() || WorkDueFirst())
        return;
    if (!heldGrades_.isEmpty()) {
        const THeldGrade grade = heldGrades_.takeFirst();
        vxg::RunGuarded([&] { SendToStudent(grade.host, grade.text); });
    } else if (!heldLangQueries_.isEmpty()) {
        const QString peer = heldLangQueries_.takeFirst();
        heldLangPeers_.remove(peer);
        vxg::RunGuarded([&] { ReplyLanguage(peer); });
    }
    if (HeldRepliesWaiting())
        PostHeldReplies();
}

void TWorkF::PostHeldReplies() {
    PostOnce(heldRepliesPosted_, &TWorkF::SendHeldReplies);
}

// ---------------------------------------------------------------------------------------------
// Boxes and put-off commands: one at a time, each when the window is free.

void TWorkF::QueueBox(TMsgKind kind, const QString& name, const QString& peer) {
    if (boxes_->Enqueue({kind, name, peer}))
        PostWaitingWork();
}

bool TWorkF::WorkWaiting() const {
    return StopDue() || !deferred_.isEmpty() || (boxes_ && !boxes_->Empty());
}

bool TWorkF::StopDue() const {
    return StopPending && !StopDone && S.AttState == AttInProcess;
}

bool TWorkF::FreeForCommands() const {
    // Never inside a loop or a send (a box there would hold it up), nor over another modal
    // window, nor inside a box or command of this kind already running.
    return messagesOpen_ && !ApplicationEndRequested() && !Busy() && !workRunning_ &&
           !QApplication::activeModalWidget();
}

bool TWorkF::FreeForWaitingWork() const {
    return FreeForCommands() && !processing_;
}

bool TWorkF::WorkDueFirst() const {
    // A put-off command waits for the loop that encloses the send, the stop only for the send:
    // the loops end early for it.
    return StopDue() || (!deferred_.isEmpty() && FreeForCommands());
}

void TWorkF::PostWaitingWork() {
    PostOnce(workPosted_, &TWorkF::DoWaitingWork);
}

void TWorkF::DoWaitingWork() {
    // Whatever holds it up now posts it again when it ends: EndBusy, the end of a turn of
    // messages, the idle moment after a modal window. The stop does not wait for a modal
    // window: the time limit holds while the teacher reads a box.
    if (StopDue() && !Busy() && !processing_)
        vxg::RunGuarded([this] { StopClick(); });
    while (FreeForWaitingWork() && (!deferred_.isEmpty() || !boxes_->Empty())) {
        workRunning_ = true;
        if (!deferred_.isEmpty()) {
            RunDeferred(deferred_.takeFirst());
        } else if (const std::optional<vxg::link::TBoxQueue::TBox> box = boxes_->TakeNext()) {
            vxg::RunGuarded([&] {
                vxg::ShowMessage(vxg::DlgKind::Warning,
                                 box->name + lang(box->kind == TMsgKind::Help ? 63 : 61), vxg::DlgButtons::Ok,
                                 this);
            });
        }
        workRunning_ = false;
    }
    if (HeldRepliesWaiting())
        PostHeldReplies();
}

void TWorkF::RunDeferred(const TDeferredCommand& deferred) {
    // The state may have moved on meanwhile (a give-out starts the testing): the command runs
    // only if the state now in force enables it.
    QuickHelpAUpdate();
    if (StatusPanel0->text() == lang(kDeferredId))
        StatusPanel0->setText(statusBeforeNote_);
    if (deferred.command->isEnabled())
        vxg::RunGuarded([&] { (this->*deferred.run)(); });
    else
        StatusPanel0->setText(lang(kDeferredNotRunId));
}

// ---------------------------------------------------------------------------------------------
// Sending.

bool TWorkF::SendToStudent(const QString& host, const QString& text) {
    if (ApplicationEndRequested() || !receiver_)
        return false;
    // The caller's text may live in the student table, which can grow while the send waits.
    const QString target = host;
    const std::optional<QByteArray> frame = vxg::link::EncodeMessage(QString(), text);
    if (!frame)
        return false;
    TBusy busy(*this);
    ++sendsInFlight_;
    const auto sent = qScopeGuard([this] { --sendsInFlight_; });
    const bool acknowledged = SendFrame(target, S.Link.studentPort, *frame, S.Link,
                                        [this] { return ApplicationEndRequested() || !receiver_; });
    if (!acknowledged)
        langReplies_->Unacknowledged(target, linkClock_.elapsed());
    return acknowledged;
}

// ---------------------------------------------------------------------------------------------
// Busy: loops and sends.

TWorkF::TBusy::TBusy(TWorkF& w) : w_(w), idle_(w) {
    ++w_.busy_;
    w_.Table.Hold();
}

TWorkF::TBusy::~TBusy() {
    --w_.busy_;
    w_.EndBusy();
}

void TWorkF::EndBusy() {
    // The table's held work, in the order it came, once no loop walks the table any more.
    const QList<TStudentTable::TPending> work = Table.Release();
    for (const TStudentTable::TPending& p : work)
        vxg::RunGuarded([&] {
            if (p.remove)
                RemoveStudent(p.name);
            else
                AddStudent(p.name, p.address);
        });
    if (busy_ > 0)
        return;
    // The stop and the put-off commands are posted ahead of the messages, and the message
    // processing lets them go first whichever runs first.
    if (WorkWaiting())
        PostWaitingWork();
    if (messages_ && !messages_->Empty())
        PostMessageProcessing();
    if (HeldRepliesWaiting())
        PostHeldReplies();
}

bool TWorkF::RefuseWhileBusy() {
    if (!Busy())
        return false;
    if (StatusPanel0)
        StatusPanel0->setText(lang(kBusyId));
    return true;
}

bool TWorkF::DeferWhileBusy(QAction* command, void (TWorkF::*run)()) {
    if (!Busy())
        return false;
    const bool known = std::any_of(deferred_.cbegin(), deferred_.cend(),
                                   [command](const TDeferredCommand& d) { return d.command == command; });
    if (!known)
        deferred_.append({command, run});
    NoteDeferred();
    return true;
}

void TWorkF::NoteDeferred() {
    if (!StatusPanel0)
        return;
    if (StatusPanel0->text() != lang(kDeferredId))
        statusBeforeNote_ = StatusPanel0->text();
    StatusPanel0->setText(lang(kDeferredId));
}

// ---------------------------------------------------------------------------------------------
// The student table.

void TWorkF::SetStudentStatus() {
    StatusPanel0->setText(lang(60) + QString::number(S.StudentCount));
}

int TWorkF::AddStudent(const QString& name, const QString& address) {
    // A registration of a name whose removal waits comes after that removal.
    if (Table.Holding() && Table.RemovalPending(name)) {
        Table.Defer({false, name, address});
        return -1;
    }
    // The rows on screen are an archive's, or the teacher is asked whether a new testing may
    // empty the table: a registration then waits aside, and is kept whatever the answer.
    const bool aside = RegistersAside();
    switch (aside ? Table.AdmitAside(name, address) : Table.Admit(name, address)) {
    case TAdmission::Admitted:
        break;
    case TAdmission::Known:
        return -1;
    case TAdmission::NameTaken:
        StatusPanel0->setText(lang(kNameTakenId).arg(ShownName(name), address, Table.AddressOf(name, aside)));
        return -1;
    case TAdmission::EmptyName:
        StatusPanel0->setText(lang(kRefusedEmptyId).arg(address));
        return -1;
    case TAdmission::ControlCharacter:
        StatusPanel0->setText(lang(kRefusedControlId).arg(address));
        return -1;
    case TAdmission::NameTooLong:
        StatusPanel0->setText(lang(kRefusedLongId).arg(ShownName(name), address));
        return -1;
    case TAdmission::TableFull:
        StatusPanel0->setText(lang(kRefusedTableFullId).arg(ShownName(name), address));
        return -1;
    case TAdmission::AddressFull:
        StatusPanel0->setText(lang(kRefusedAddressFullId).arg(ShownName(name), address));
        return -1;
    }
    if (aside) {
        Table.KeepAside(name, address);
        return -1;
    }

    const int k = Table.Append(name, address);
    StudentName->addItem(name);
    StudentName->setMaxVisibleItems(std::max(1, static_cast<int>(S.StudentCount)));
    StringGrid->SetRowCount(S.StudentCount + 1);
    StringGrid->ClearRow(S.StudentCount);
    StringGrid->SetCell(0, S.StudentCount, name);
    ApplyGridHeight();
    SetCommandEnabled(GiveOut, GiveOutBtn, true);
    SetStudentStatus();
    return k;
}

void TWorkF::RemoveStudent(const QString& name) {
    const int k = Table.IndexOf(name);
    if (k < 0)
        return;
    if (Table.Holding()) {
        if (!Table.RemovalPending(name))
            Table.Defer({true, name, {}});
        return;
    }
    const int rows = StringGrid->RowCount();
    for (int r = k + 1; r < rows - 1; ++r)
        StringGrid->CopyRow(r, r + 1);
    StringGrid->ClearRow(rows - 1);
    Table.RemoveAt(k);
    StringGrid->SetRowCount(S.StudentCount > 0 ? S.StudentCount + 1 : 2);
    ApplyGridHeight();
    ClearQueView();
    if (k < StudentName->count())
        StudentName->removeItem(k);
    StudentName->setCurrentIndex(-1);
    StudentName->setMaxVisibleItems(std::max(1, static_cast<int>(S.StudentCount)));
    SetStudentStatus();
}

bool TWorkF::HasResults(int k) const {
    const TClient& student = S.Students.at(k);
    return student.Mark != 0 || (student.CardSent != 0 && (StopDone || S.AttState == AttIsFinished));
}

void TWorkF::DelClientMClick() {
    const QModelIndex current = StringGridView->currentIndex();
    if (!current.isValid() || current.row() < 1)
        return;
    const QString name = StringGrid->Cell(0, current.row());
    // A row without a student (the empty row of an empty grid) excludes nobody.
    if (name.isEmpty() || Table.IndexOf(name) < 0)
        return;
    const vxg::DlgResult answer = vxg::ShowMessage(vxg::DlgKind::Confirmation,
                                                   QStringLiteral("Exclude %1 from this testing?").arg(name),
                                                   vxg::DlgButtons::YesNo, this);
    if (answer == vxg::DlgResult::Yes)
        RemoveStudent(name);
}
