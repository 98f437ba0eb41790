#include "MessageQueue.h"

#include <QSet>

#include <algorithm>

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

QString TMessageQueue::SenderKey(const TReceived& m) {
    // Names are told apart without regard to letter case, as the student table does.
    return m.peer + QChar(u'\0') + m.name.toCaseFolded();
}

qint64 TMessageQueue::BytesOf(const TReceived& m) {
    // The name twice: once in the message, once in the sender's key.
    const qint64 characters = 2 * (m.name.size() + m.peer.size()) + m.text.size();
    return static_cast<qint64>(sizeof(TEntry)) + characters * static_cast<qint64>(sizeof(QChar));
}

TMessageQueue::TEntry* TMessageQueue::Entry(qint64 seq) {
    if (queue_.empty())
        return nullptr;
    const qint64 index = seq - queue_.front().seq;
    return index >= 0 && index < Size() ? &queue_[static_cast<size_t>(index)] : nullptr;
}

bool TMessageQueue::Enqueue(TReceived message) {
    message.kind = KindOf(message.text);
    if (message.kind == TMsgKind::Unknown)
        return false;

    // The last waiting message of the same sender: a repeat of it adds nothing, and an answers
    // message there takes the new set of answers.
    const QString key = SenderKey(message);
    if (TEntry* last = Entry(lastOfSender_.value(key, -1)); last && last->message.kind == message.kind) {
        if (message.kind == TMsgKind::Answers) {
            bytes_ += (message.text.size() - last->message.text.size()) * static_cast<qint64>(sizeof(QChar));
            last->message.text = std::move(message.text);
        }
        return false;
    }

    const TAddressLoad load = addresses_.value(message.peer);
    if ((message.kind == TMsgKind::Help && load.help) ||
        (message.kind == TMsgKind::LangQuery && load.langQuery))
        return false;
    if (message.kind == TMsgKind::LangQuery && current_ && current_->kind == TMsgKind::LangQuery &&
        current_->peer == message.peer)
        return false;
    if (load.count >= caps_.perAddress || Size() >= caps_.total || bytes_ + BytesOf(message) > caps_.bytes)
        return false;
    lastOfSender_.insert(key, nextSeq_);
    Admit(std::move(message));
    return true;
}

void TMessageQueue::Admit(TReceived message) {
    TAddressLoad& load = addresses_[message.peer];
    ++load.count;
    load.help = load.help || message.kind == TMsgKind::Help;
    load.langQuery = load.langQuery || message.kind == TMsgKind::LangQuery;
    bytes_ += BytesOf(message);
    queue_.push_back({std::move(message), nextSeq_++});
}

void TMessageQueue::Forget(const TEntry& entry) {
    const TReceived& m = entry.message;
    bytes_ -= BytesOf(m);
    const auto load = addresses_.find(m.peer);
    if (load != addresses_.end()) {
        if (--load->count <= 0)
            addresses_.erase(load);
        else if (m.kind == TMsgKind::Help)
            load->help = false;
        else if (m.kind == TMsgKind::LangQuery)
            load->langQuery = false;
    }
    const auto last = lastOfSender_.find(SenderKey(m));
    if (last != lastOfSender_.end() && *last == entry.seq)
        lastOfSender_.erase(last);
}

std::optional<TReceived> TMessageQueue::TakeNext() {
    if (queue_.empty())
        return std::nullopt;
    Forget(queue_.front());
    current_ = std::move(queue_.front().message);
    queue_.pop_front();
    return current_;
}

void TMessageQueue::Done() {
    current_.reset();
}

std::vector<TReceived> TMessageQueue::TakeAnswersBeforeReady() {
    std::vector<TReceived> taken;
    std::deque<TEntry> waiting;
    waiting.swap(queue_);
    Clear();
    QSet<QString> ready; // senders whose ready message comes first
    for (TEntry& e : waiting) {
        const QString key = SenderKey(e.message);
        if (e.message.kind == TMsgKind::Ready)
            ready.insert(key);
        if (e.message.kind == TMsgKind::Answers && !ready.contains(key)) {
            taken.push_back(std::move(e.message));
            continue;
        }
        lastOfSender_.insert(key, nextSeq_);
        Admit(std::move(e.message));
    }
    return taken;
}

void TMessageQueue::Clear() {
    queue_.clear();
    lastOfSender_.clear();
    addresses_.clear();
    bytes_ = 0;
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
