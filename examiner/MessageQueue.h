#pragma once
// The messages received from the student stations, waiting to be acted on by the window thread
// one at a time in arrival order, the kinds of message the dispatcher knows, and the boxes the
// dispatcher's messages ask for, which wait apart from the messages.
#include "LinkConfig.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QSet>
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

// Who a message may come from with room set aside: a student in the table, by name and the
// address he registered from.
struct TSender {
    QString name;
    QString peer;
};

// What became of an offered message. Absorbed: nothing new waits, but nothing is lost either (a
// text of no known kind, a repeat, or a newer set of answers given to the one that waits); the
// message may be acknowledged. Refused: a cap left no room; it must not be acknowledged.
enum class TOffer { Queued, Absorbed, Refused };

// Arrival order, with the bounds that keep the queue small while the window is held up (a send
// waiting). The receiver's thread offers each message before it acknowledges it, and the window
// thread takes them, so every operation holds the queue's lock:
// - a text of no known kind is not queued at all;
// - a message of the same kind as the last one waiting from the same sender (address and name)
//   adds nothing;
// - an answers message gives its newer text to the sender's waiting answers message, unless a
//   registration, ready or leave message of his waits after that one (each carries the whole
//   set of answers, so the older would be overwritten anyway);
// - at most one help request and one language query per address wait at a time (a language
//   query whose reply is being sent counts as waiting); a help request of another name there is
//   refused, unless it is a registered student's own;
// - a registered student's answers, ready, help and leave messages have room set aside: one of
//   each kind per student, within caps.students students;
// - everything else shares what is left of caps.total messages and caps.bytes of memory, at
//   most caps.perAddress messages of one address.
// The replacement of a waiting text keeps to the same bytes. Every arrival costs a few hash
// look-ups, however long the queue and the names in it.
class TMessageQueue {
public:
    explicit TMessageQueue(TQueueCaps caps = {}) : caps_(caps) {}

    // Offered on the receiver's thread before the acknowledgement.
    TOffer Enqueue(TReceived message);
    // True once for each run of queued messages, until Woken(): the caller then wakes the window.
    bool OweWakeUp();
    // The window is awake: it takes every waiting message from now on.
    void Woken();
    // The students in the table, whose messages have room set aside from now on.
    void SetRegistered(const QList<TSender>& students);
    // The oldest waiting message; the caller acts on it and then calls Done().
    std::optional<TReceived> TakeNext();
    void Done();
    // Takes out, in arrival order, every waiting answers message that no ready message of the
    // same sender precedes: what a grading must see before it begins. The rest keep their order.
    std::vector<TReceived> TakeAnswersBeforeReady();
    bool Empty() const;
    qsizetype Size() const;
    qint64 Bytes() const; // the memory the waiting messages take, by the queue's own count
    void Clear();

private:
    struct TEntry {
        TReceived message;
        qint64 seq = 0;        // consecutive along the queue
        bool reserved = false; // in the room set aside for its registered sender
    };
    struct TAddressLoad { // of the shared room only
        int count = 0;
        bool help = false;
        bool langQuery = false;
    };
    struct TSenderLoad {
        qint64 last = -1;           // seq of his last waiting message
        qint64 answers = -1;        // seq of his waiting answers message that a newer one may replace
        unsigned reservedKinds = 0; // kinds of his waiting messages in the room set aside
        bool Idle() const { return last < 0 && answers < 0 && reservedKinds == 0; }
    };
    struct TRoom {
        qsizetype count = 0;
        qint64 bytes = 0;
    };
    static QString SenderKey(const TReceived& m);
    static qint64 BytesOf(const TReceived& m);
    static qint64 BytesOf(qsizetype name, qsizetype peer, qsizetype text);
    TRoom SetAside() const; // the room kept for registered students
    bool Fits(bool reserved, qsizetype count, qint64 bytes) const;
    bool MayReserve(const QString& key, TMsgKind kind) const;
    TOffer Replace(TEntry& waiting, QString text);
    void Admit(TReceived message, bool reserved);
    void Forget(const TEntry& entry);
    TEntry* Entry(qint64 seq);
    void Reset();

    mutable QMutex mutex_;
    TQueueCaps caps_;
    std::deque<TEntry> queue_;
    qint64 nextSeq_ = 0;
    QHash<QString, TSenderLoad> senders_; // sender key -> his waiting messages
    QHash<QString, TAddressLoad> addresses_;
    QSet<QString> registered_; // sender keys
    TRoom shared_;
    TRoom reserved_;
    bool wakeOwed_ = false;
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
