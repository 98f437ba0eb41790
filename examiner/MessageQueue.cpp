#include "MessageQueue.h"

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

bool TMessageQueue::SameSender(const TReceived& a, const TReceived& b) {
    return a.peer == b.peer && a.name.compare(b.name, Qt::CaseInsensitive) == 0;
}

bool TMessageQueue::Enqueue(TReceived message) {
    message.kind = KindOf(message.text);
    if (message.kind == TMsgKind::Unknown)
        return false;

    // The last waiting message of the same sender: a repeat of it adds nothing, and an answers
    // message there takes the new set of answers.
    const auto last = std::find_if(queue_.rbegin(), queue_.rend(),
                                   [&](const TReceived& m) { return SameSender(m, message); });
    if (last != queue_.rend() && last->kind == message.kind) {
        if (message.kind == TMsgKind::Answers)
            last->text = message.text;
        return false;
    }

    const bool onePerAddress = message.kind == TMsgKind::Help || message.kind == TMsgKind::LangQuery;
    int fromAddress = 0;
    for (const TReceived& m : queue_) {
        if (m.peer != message.peer)
            continue;
        ++fromAddress;
        if (onePerAddress && m.kind == message.kind)
            return false;
    }
    if (message.kind == TMsgKind::LangQuery && current_ && current_->kind == TMsgKind::LangQuery &&
        current_->peer == message.peer)
        return false;
    if (fromAddress >= kMaxPerAddress || Size() >= kMaxTotal)
        return false;
    queue_.push_back(std::move(message));
    return true;
}

std::optional<TReceived> TMessageQueue::TakeNext() {
    if (queue_.empty())
        return std::nullopt;
    current_ = std::move(queue_.front());
    queue_.pop_front();
    return current_;
}

void TMessageQueue::Done() {
    current_.reset();
}

void TMessageQueue::Clear() {
    queue_.clear();
}

} // namespace vxg::link
