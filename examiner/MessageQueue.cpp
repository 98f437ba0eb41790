#include "MessageQueue.h"

#include "MessageFrame.h"
#include "StudentTable.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace vxg::link {

TMsgKind KindOf(const QString& text) {
    if (text == QLatin1String("Name!!"))
        return TMsgKind::Register;
    if (text.contains(QLatin1String("CurrentChecked!!")))
        return TMsgKind::Answers;
    if (text == QLatin1String("Help!!"))
        return TMsgKind::Help;
    if (text == QLatin1String("Ready!!"))
        return TMsgKind::Ready;
    if (text == QStringLiteral("ВЫШЕЛ!!"))
        return TMsgKind::Left;
    if (text == QLatin1String("WhatLang!!"))
        return TMsgKind::LangQuery;
    return TMsgKind::Unknown;
}

// ---------------------------------------------------------------------------------------------
// TMessageQueue

namespace {

// The kinds a registered student has room set aside for, one waiting message of each.
unsigned ReservedBit(TMsgKind kind) {
    switch (kind) {
    case TMsgKind::Answers:
        return 1U;
    case TMsgKind::Ready:
        return 2U;
    case TMsgKind::Help:
        return 4U;
    case TMsgKind::Left:
        return 8U;
    default:
        return 0U;
    }
}
constexpr int kReservedKinds = 4;

// The longest of each part a registered student's message can have: a name the student table
// admits, a dotted IPv4 address, a text as long as a frame carries; the other kinds with room set
// aside are the exact texts "Ready!!", "Help!!" and "ВЫШЕЛ!!".
constexpr qsizetype kLongestName = TStudentTable::kMaxNameLength;
constexpr qsizetype kLongestPeer = 15;
constexpr qsizetype kLongestText = kMaxFieldBytes; // one byte a character in cp1251
constexpr qsizetype kLongestFixedText = 7;

// A later message of the sender that the older answers message must not jump over.
bool EndsAnswersRun(TMsgKind kind) {
    return kind == TMsgKind::Register || kind == TMsgKind::Ready || kind == TMsgKind::Left;
}

} // namespace

QString TMessageQueue::SenderKey(const TReceived& m) {
    // Names are told apart without regard to letter case, as the student table does.
    return m.peer + QChar(u'\0') + m.name.toCaseFolded();
}

qint64 TMessageQueue::BytesOf(qsizetype name, qsizetype peer, qsizetype text) {
    // The name twice: once in the message, once in the sender's key.
    const qint64 characters = 2 * (name + peer) + text;
    return static_cast<qint64>(sizeof(TEntry)) + characters * static_cast<qint64>(sizeof(QChar));
}

qint64 TMessageQueue::BytesOf(const TReceived& m) {
    return BytesOf(m.name.size(), m.peer.size(), m.text.size());
}

TMessageQueue::TRoom TMessageQueue::SetAside() const {
    const qint64 students = std::max(0, caps_.students);
    const qint64 perStudent = BytesOf(kLongestName, kLongestPeer, kLongestText) +
                              (kReservedKinds - 1) * BytesOf(kLongestName, kLongestPeer, kLongestFixedText);
    return {static_cast<qsizetype>(students * kReservedKinds), students * perStudent};
}

bool TMessageQueue::Fits(bool reserved, qsizetype count, qint64 bytes) const {
    const TRoom aside = SetAside();
    if (reserved)
        return reserved_.count + count <= aside.count && reserved_.bytes + bytes <= aside.bytes;
    return shared_.count + count <= caps_.total - aside.count &&
           shared_.bytes + bytes <= caps_.bytes - aside.bytes;
}

bool TMessageQueue::MayReserve(const QString& key, TMsgKind kind) const {
    const unsigned bit = ReservedBit(kind);
    return bit != 0 && registered_.contains(key) && (senders_.value(key).reservedKinds & bit) == 0;
}

TMessageQueue::TEntry* TMessageQueue::Entry(qint64 seq) {
    if (queue_.empty() || seq < 0)
        return nullptr;
    const qint64 index = seq - queue_.front().seq;
    return index >= 0 && index < static_cast<qint64>(queue_.size()) ? &queue_[static_cast<size_t>(index)]
                                                                    : nullptr;
}

TOffer TMessageQueue::Enqueue(TReceived message) {
    message.kind = KindOf(message.text);
    if (message.kind == TMsgKind::Unknown)
        return TOffer::Absorbed;
    const QMutexLocker lock(&mutex_);

    const QString key = SenderKey(message);
    const TSenderLoad sender = senders_.value(key);
    if (message.kind == TMsgKind::Answers)
        if (TEntry* waiting = Entry(sender.answers))
            return Replace(*waiting, std::move(message.text));
    if (const TEntry* last = Entry(sender.last); last && last->message.kind == message.kind)
        return TOffer::Absorbed;

    if (MayReserve(key, message.kind) && Fits(true, 1, BytesOf(message))) {
        Admit(std::move(message), true);
        return TOffer::Queued;
    }
    const TAddressLoad load = addresses_.value(message.peer);
    if (message.kind == TMsgKind::Help && load.help)
        return TOffer::Refused;
    if (message.kind == TMsgKind::LangQuery &&
        (load.langQuery ||
         (current_ && current_->kind == TMsgKind::LangQuery && current_->peer == message.peer)))
        return TOffer::Absorbed; // the reply that waits, or is being sent, answers this one too
    if (load.count >= caps_.perAddress || !Fits(false, 1, BytesOf(message)))
        return TOffer::Refused;
    Admit(std::move(message), false);
    return TOffer::Queued;
}

TOffer TMessageQueue::Replace(TEntry& waiting, QString text) {
    const qint64 growth = (text.size() - waiting.message.text.size()) * static_cast<qint64>(sizeof(QChar));
    if (!Fits(waiting.reserved, 0, growth))
        return TOffer::Refused; // the older set waits on, as it was acknowledged
    (waiting.reserved ? reserved_ : shared_).bytes += growth;
    waiting.message.text = std::move(text);
    return TOffer::Absorbed;
}

void TMessageQueue::Admit(TReceived message, bool reserved) {
    TSenderLoad& sender = senders_[SenderKey(message)];
    sender.last = nextSeq_;
    if (message.kind == TMsgKind::Answers)
        sender.answers = nextSeq_;
    else if (EndsAnswersRun(message.kind))
        sender.answers = -1;
    if (reserved) {
        sender.reservedKinds |= ReservedBit(message.kind);
    } else {
        TAddressLoad& load = addresses_[message.peer];
        ++load.count;
        load.help = load.help || message.kind == TMsgKind::Help;
        load.langQuery = load.langQuery || message.kind == TMsgKind::LangQuery;
    }
    TRoom& room = reserved ? reserved_ : shared_;
    ++room.count;
    room.bytes += BytesOf(message);
    queue_.push_back({std::move(message), nextSeq_++, reserved});
}

void TMessageQueue::Forget(const TEntry& entry) {
    const TReceived& m = entry.message;
    TRoom& room = entry.reserved ? reserved_ : shared_;
    --room.count;
    room.bytes -= BytesOf(m);
    if (!entry.reserved) {
        const auto load = addresses_.find(m.peer);
        if (load != addresses_.end()) {
            if (--load->count <= 0)
                addresses_.erase(load);
            else if (m.kind == TMsgKind::Help)
                load->help = false;
            else if (m.kind == TMsgKind::LangQuery)
                load->langQuery = false;
        }
    }
    const auto sender = senders_.find(SenderKey(m));
    if (sender == senders_.end())
        return;
    if (sender->last == entry.seq)
        sender->last = -1;
    if (sender->answers == entry.seq)
        sender->answers = -1;
    if (entry.reserved)
        sender->reservedKinds &= ~ReservedBit(m.kind);
    if (sender->Idle())
        senders_.erase(sender);
}

bool TMessageQueue::OweWakeUp() {
    const QMutexLocker lock(&mutex_);
    return !std::exchange(wakeOwed_, true);
}

void TMessageQueue::Woken() {
    const QMutexLocker lock(&mutex_);
    wakeOwed_ = false;
}

void TMessageQueue::SetRegistered(const QList<TSender>& students) {
    QSet<QString> keys;
    for (const TSender& s : students) {
        if (keys.size() >= caps_.students)
            break;
        keys.insert(SenderKey({s.name, {}, s.peer}));
    }
    const QMutexLocker lock(&mutex_);
    registered_.swap(keys);
}

std::optional<TReceived> TMessageQueue::TakeNext() {
    const QMutexLocker lock(&mutex_);
    if (queue_.empty())
        return std::nullopt;
    Forget(queue_.front());
    current_ = std::move(queue_.front().message);
    queue_.pop_front();
    return current_;
}

void TMessageQueue::Done() {
    const QMutexLocker lock(&mutex_);
    current_.reset();
}

std::vector<TReceived> TMessageQueue::TakeAnswersBeforeReady() {
    const QMutexLocker lock(&mutex_);
    std::vector<TReceived> taken;
    std::deque<TEntry> waiting;
    waiting.swap(queue_);
    Reset();
    QSet<QString> ready; // senders whose ready message comes first
    for (TEntry& e : waiting) {
        const QString key = SenderKey(e.message);
        if (e.message.kind == TMsgKind::Ready)
            ready.insert(key);
        if (e.message.kind == TMsgKind::Answers && !ready.contains(key)) {
            taken.push_back(std::move(e.message));
            continue;
        }
        // Back in the room each had: what was acknowledged stays, whatever the caps say now.
        Admit(std::move(e.message), e.reserved);
    }
    return taken;
}

bool TMessageQueue::Empty() const {
    const QMutexLocker lock(&mutex_);
    return queue_.empty();
}

qsizetype TMessageQueue::Size() const {
    const QMutexLocker lock(&mutex_);
    return static_cast<qsizetype>(queue_.size());
}

qint64 TMessageQueue::Bytes() const {
    const QMutexLocker lock(&mutex_);
    return shared_.bytes + reserved_.bytes;
}

void TMessageQueue::Clear() {
    const QMutexLocker lock(&mutex_);
    queue_.clear();
    Reset();
    wakeOwed_ = false;
}

void TMessageQueue::Reset() {
    senders_.clear();
    addresses_.clear();
    shared_ = {};
    reserved_ = {};
}

// ---------------------------------------------------------------------------------------------
// TReplyThrottle

bool TReplyThrottle::Allowed(const QString& address, bool registered, qint64 nowMs) const {
    return !Recent(unacknowledged_, address, nowMs) && (registered || !Recent(replied_, address, nowMs));
}

void TReplyThrottle::Replied(const QString& address, qint64 nowMs) {
    Note(replied_, address, nowMs);
}

void TReplyThrottle::Unacknowledged(const QString& address, qint64 nowMs) {
    Note(unacknowledged_, address, nowMs);
}

bool TReplyThrottle::Recent(const QHash<QString, qint64>& last, const QString& address, qint64 nowMs) {
    const auto it = last.constFind(address);
    return it != last.cend() && nowMs - *it < kIntervalMs;
}

void TReplyThrottle::Note(QHash<QString, qint64>& last, const QString& address, qint64 nowMs) {
    // Addresses whose interval has passed are forgotten now and then, so the table stays small.
    if (last.size() >= 256)
        last.removeIf(
            [nowMs](QHash<QString, qint64>::iterator it) { return nowMs - it.value() >= kIntervalMs; });
    last.insert(address, nowMs);
}

// ---------------------------------------------------------------------------------------------
// TBoxQueue

bool TBoxQueue::Enqueue(const TBox& box) {
    int fromAddress = 0;
    for (const TBox& b : boxes_) {
        if (b.peer != box.peer)
            continue;
        if (b.kind == box.kind && b.name == box.name)
            return false;
        ++fromAddress;
    }
    if (fromAddress >= kPerAddress)
        return false;
    boxes_.push_back(box);
    return true;
}

std::optional<TBoxQueue::TBox> TBoxQueue::TakeNext() {
    if (boxes_.empty())
        return std::nullopt;
    TBox box = std::move(boxes_.front());
    boxes_.pop_front();
    return box;
}

} // namespace vxg::link
