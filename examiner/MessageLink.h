#pragma once
// The examiner's ends of the message link to the student stations: the receiver (it listens for
// the stations' messages on a thread of its own and acknowledges them) and the sender (one
// connection per message to a station's port). The frame itself is in MessageFrame.h.
#include "LinkConfig.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QThread;

// Listens on its own thread. Every complete frame is offered to the admission, on the
// receiver's thread; one it takes is handed on through MessageReceived (emitted on the
// receiver's thread; connect it queued) and then acknowledged, one it refuses is closed without
// an acknowledgement, so its station tries again as after any failure. When the connections
// being read fill the cap in all, the one that has waited longest for its frame makes room.
class TMessageReceiver : public QObject {
    Q_OBJECT
public:
    // Whether a received message is taken; without one, every message is.
    using TAdmission = std::function<bool(const QString& name, const QString& text, const QString& peer)>;
    explicit TMessageReceiver(const TLinkConfig& config, TAdmission admit = {}, QObject* parent = nullptr);
    ~TMessageReceiver() override; // stops listening and ends the thread

    // Starts the thread and listens; false when the port cannot be had (nothing is then received).
    bool Start();
    // Stops listening, drops every open connection and ends the thread; MessageReceived is not
    // emitted afterwards.
    void Stop();
    // The port listened on (the free port chosen when the configuration says 0); 0 when not listening.
    quint16 Port() const { return port_; }
    // Why the port could not be had, in the system's words (empty while listening).
    QString ErrorString() const { return error_; }

signals:
    void MessageReceived(const QString& name, const QString& text, const QString& peer);

private:
    class Worker;
    TLinkConfig config_;
    TAdmission admit_;
    QThread* thread_ = nullptr;
    Worker* worker_ = nullptr;
    quint16 port_ = 0;
    QString error_;
};

// One send: one connection to host:port, the frame written in one write with Nagle off, the
// acknowledgement awaited for at most ackTimeoutMs. The waits run a nested event loop, so the
// window stays responsive. Returns true when the reply holds "OK".
bool SendFrameOnce(const QString& host, quint16 port, const QByteArray& frame, const TLinkConfig& config);
// SendFrameOnce and, after a failure, one more attempt. abandon (when given) is asked before each
// attempt: a send the program no longer wants (it is ending) makes no attempt.
bool SendFrame(const QString& host, quint16 port, const QByteArray& frame, const TLinkConfig& config,
               const std::function<bool()>& abandon = {});

// The dotted IPv4 form of an address, also of an IPv4-mapped IPv6 one.
QString DottedIPv4(const QHostAddress& address);
