#pragma once
// The messages received from the student stations, waiting to be acted on by the window thread
// one at a time in arrival order, the kinds of message the dispatcher knows, and the boxes the
// dispatcher's messages ask for, which wait apart from the messages.
#include <QHash>
#include <QString>
#include <deque>
#include <optional>
#include <vector>

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

// How much may wait at once.
struct TQueueCaps {
    int perAddress = 64;
    int total = 20000;
    qint64 bytes = 64LL * 1024 * 1024;
};

// Arrival order, with the bounds that keep the queue small while the window is held up (a send
// waiting):
// - a text of no known kind is not queued at all;
// - a message of the same kind as the last one waiting from the same sender (address and name)
//   adds nothing: it is dropped, and an answers message gives that one its newer text (each
//   carries the whole set of answers, so the older would be overwritten anyway);
// - at most one help request and one language query per address wait at a time (a language
//   query whose reply is being sent counts as waiting);
// - at most caps.perAddress messages of one address, caps.total in all and caps.bytes of
//   memory wait.
// Every arrival costs a few hash look-ups, however long the queue and the names in it.
class TMessageQueue {
public:
    explicit TMessageQueue(TQueueCaps caps = {}) : caps_(caps) {}

    // False when the message was dropped or merged into one already waiting.
    bool Enqueue(TReceived message);
    // The oldest waiting message; the caller acts on it and then calls Done().
    std::optional<TReceived> TakeNext();
    void Done();
    // Takes out, in arrival order, every waiting answers message that no ready message of the
    // same sender precedes: what a grading must see before it begins. The rest keep their order.
    std::vector<TReceived> TakeAnswersBeforeReady();
    bool Empty() const { return queue_.empty(); }
    qsizetype Size() const { return static_cast<qsizetype>(queue_.size()); }
    qint64 Bytes() const { return bytes_; }
    void Clear();

private:
    struct TEntry {
        TReceived message;
        qint64 seq = 0; // consecutive along the queue
    };
    struct TAddressLoad {
        int count = 0;
        bool help = false;
        bool langQuery = false;
    };
    static QString SenderKey(const TReceived& m);
    static qint64 BytesOf(const TReceived& m);
    void Admit(TReceived message);
    void Forget(const TEntry& entry);
    TEntry* Entry(qint64 seq);

    TQueueCaps caps_;
    std::deque<TEntry> queue_;
    qint64 nextSeq_ = 0;
    QHash<QString, qint64> lastOfSender_; // sender key -> seq of his last waiting message
    QHash<QString, TAddressLoad> addresses_;
    qint64 bytes_ = 0;
    std::optional<TReceived> current_; // taken, not yet done
};

// Which language queries get a reply, the time counted from the end of the last send: a station
// that asks again and again, and never acknowledges, holds the window's sending only now and
// then. One that did not acknowledge a send gets no reply within the interval, registered or
// not; one that has not registered gets at most one reply per interval anyway.
class TReplyThrottle {
public:
    static constexpr qint64 kIntervalMs = 5000;

    bool Allowed(const QString& address, bool registered, qint64 nowMs) const;
    void Replied(const QString& address, qint64 nowMs);
    void Unacknowledged(const QString& address, qint64 nowMs);

private:
    static bool Recent(const QHash<QString, qint64>& last, const QString& address, qint64 nowMs);
    static void Note(QHash<QString, qint64>& last, const QString& address, qint64 nowMs);

    QHash<QString, qint64> replied_;
    QHash<QString, qint64> unacknowledged_;
};

// The boxes the dispatcher's messages ask for (help, a pupil has left), shown one at a time
// apart from the messages: an open box holds nothing up. A box that already waits is not queued
// again, and one address has at most kPerAddress boxes waiting.
class TBoxQueue {
public:
    static constexpr int kPerAddress = 8;
    struct TBox {
        TMsgKind kind = TMsgKind::Help;
        QString name;
        QString peer;
    };

    bool Enqueue(const TBox& box);
    std::optional<TBox> TakeNext();
    bool Empty() const { return boxes_.empty(); }
    void Clear() { boxes_.clear(); }

private:
    std::deque<TBox> boxes_;
};

} // namespace vxg::link
