#pragma once
// The messages received from the student stations, waiting to be acted on by the window thread
// one at a time in arrival order, and the kinds of message the dispatcher knows.
#include <QString>
#include <deque>
#include <optional>

namespace vxg::link {

// The kinds of message a student station sends, in the order the dispatcher tests them.
enum class TMsgKind { Register, Answers, Help, Ready, Left, LangQuery, Unknown };

// The kind of a received text: byte-exact, case-sensitive tests in the dispatcher's order.
TMsgKind KindOf(const QString& text);

struct TReceived {
    QString name; // sender name
    QString text;
    QString peer; // dotted IPv4 address of the connection that carried it
    TMsgKind kind = TMsgKind::Unknown;
};

// Arrival order, with the bounds that keep the queue small while the window is held up (a box
// open, a send waiting):
// - a text of no known kind is not queued at all;
// - a message of the same kind as the last one waiting from the same sender (address and name)
//   adds nothing: it is dropped, and an answers message gives that one its newer text (each
//   carries the whole set of answers, so the older would be overwritten anyway);
// - at most one help request and one language query per address wait at a time (a language
//   query whose reply is being sent counts as waiting);
// - at most kMaxPerAddress messages of one address and kMaxTotal in all wait.
class TMessageQueue {
public:
    static constexpr int kMaxPerAddress = 64;
    static constexpr int kMaxTotal = 20000;

    // False when the message was dropped or merged into one already waiting.
    bool Enqueue(TReceived message);
    // The oldest waiting message; the caller acts on it and then calls Done().
    std::optional<TReceived> TakeNext();
    void Done();
    bool Empty() const { return queue_.empty(); }
    qsizetype Size() const { return static_cast<qsizetype>(queue_.size()); }
    void Clear();

private:
    static bool SameSender(const TReceived& a, const TReceived& b);
    std::deque<TReceived> queue_;
    std::optional<TReceived> current_; // taken, not yet done
};

} // namespace vxg::link
