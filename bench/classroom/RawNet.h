#pragma once
// The benchmark's bulk traffic on plain non-blocking sockets and epoll, so that neither the
// station generator nor the bare acknowledger costs more than the kernel's own work per message:
// a generator built on one QTcpSocket per message saturates a core at a few thousand messages a
// second and would measure itself instead of the examiner.
#include <QByteArray>
#include <QHostAddress>
#include <QList>

#include <atomic>
#include <functional>
#include <thread>

namespace bench {

struct RawSendResult {
    int ok = 0;
    int failed = 0;
    qint64 startNs = 0;
    qint64 endNs = 0; // the last acknowledgement
};

// Every station k in `who` sends perStation frames, one after another (each after the
// acknowledgement of the one before), from its own address from(k) to to:port; all stations at
// once, spread over `threads` threads. frame(k, i) is frame i of station k. Each connection is
// given up after timeoutMs. Blocks until all chains end; call it off the thread that serves the
// stations' own listeners.
RawSendResult RawSendAll(const QList<int>& who, int perStation, const std::function<QHostAddress(int)>& from,
                         const std::function<QByteArray(int, int)>& frame, const QHostAddress& to,
                         quint16 port, int threads, int timeoutMs);

// A bare acknowledger on address:port (listen queue 1024: a burst of connections never waits
// for a dropped SYN to be sent again) served by a thread of its own: each
// complete frame is acknowledged at once and handed to onFrame (called on that thread); a bad
// length field drops the connection; a connection is let go when the sender closes it or after
// 5 s.
class RawAckServer {
public:
    using Handler = std::function<void(const QByteArray& name, const QByteArray& text, quint32 peerIPv4)>;
    RawAckServer(const QHostAddress& address, quint16 port, Handler onFrame);
    ~RawAckServer();
    RawAckServer(const RawAckServer&) = delete;
    RawAckServer& operator=(const RawAckServer&) = delete;
    bool listening() const { return listenFd_ >= 0; }
    QString errorString() const { return error_; }

private:
    void run();

    int listenFd_ = -1;
    QString error_;
    Handler onFrame_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace bench
