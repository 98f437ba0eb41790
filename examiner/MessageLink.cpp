#include "MessageLink.h"

#include "Cp1251.h"
#include "MessageFrame.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

using vxg::link::TFrameParse;

QString DottedIPv4(const QHostAddress& address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

// ---------------------------------------------------------------------------------------------
// The receiver's worker: lives on the receiver's thread with its server and its connections.

class TMessageReceiver::Worker : public QObject {
public:
    Worker(const TLinkConfig& config, TAdmission admit, TMessageReceiver* owner)
        : config_(config), admit_(std::move(admit)), owner_(owner) {}

    // Runs on the receiver's thread. A port that cannot be had gives 0 and the system's reason.
    quint16 Listen(QString& error) {
        clock_.start();
        // Deadlines are checked in steps of a tenth of the shorter limit (at least 10 ms).
        sweep_ = new QTimer(this);
        sweep_->setInterval(std::max(10, std::min(config_.frameDeadlineMs, config_.lingerMs) / 10));
        connect(sweep_, &QTimer::timeout, this, [this] { Sweep(); });
        server_ = new QTcpServer(this);
        server_->setProxy(QNetworkProxy::NoProxy);
        server_->setListenBacklogSize(config_.listenBacklog);
        if (!server_->listen(config_.listenAddress, config_.listenPort)) {
            error = server_->errorString();
            return 0;
        }
        connect(server_, &QTcpServer::newConnection, this, [this] {
            while (server_ && server_->hasPendingConnections())
                Serve(server_->nextPendingConnection());
        });
        return server_->serverPort();
    }

    void Shutdown() {
        stopped_ = true;
        if (server_)
            server_->close();
        const QList<QTcpSocket*> open = findChildren<QTcpSocket*>();
        for (QTcpSocket* s : open)
            s->abort();
        delete server_;
        server_ = nullptr;
        if (sweep_)
            sweep_->stop();
        conns_.clear();
        reading_.clear();
        qDeleteAll(findChildren<QTcpSocket*>());
    }

private:
    struct Connection {
        QByteArray buffer;
        bool acknowledged = false;
        bool released = false;
        qint64 due = 0;    // on clock_: the frame's deadline, then the end of the linger
        quint64 order = 0; // of acceptance, among the connections being read
        QString peer;
    };

    void Serve(QTcpSocket* socket) {
        if (!socket)
            return;
        socket->setParent(this);
        const QString peer = DottedIPv4(socket->peerAddress());
        const bool welcome = !stopped_ && perAddress_.value(peer) < config_.maxConnectionsPerAddress;
        if (welcome && open_ >= config_.maxConnections)
            MakeRoom();
        if (!welcome || open_ >= config_.maxConnections) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        ++open_;
        ++perAddress_[peer];
        socket->setReadBufferSize(vxg::link::kMaxFrameBytes);

        auto conn = std::make_shared<Connection>();
        conn->peer = peer;
        conn->due = Now() + config_.frameDeadlineMs;
        conn->order = nextOrder_++;
        conns_.insert(socket, conn);
        reading_.emplace(conn->order, socket);
        if (!sweep_->isActive())
            sweep_->start();

        connect(socket, &QTcpSocket::disconnected, socket, [this, socket] { Finish(socket); });
        connect(socket, &QTcpSocket::errorOccurred, socket,
                [this, socket](QAbstractSocket::SocketError) { Finish(socket); });
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Read(socket); });
        // Bytes that came with the connection itself.
        if (socket->bytesAvailable() > 0)
            Read(socket);
    }

    void Read(QTcpSocket* socket) {
        const std::shared_ptr<Connection> conn = conns_.value(socket);
        if (!conn)
            return;
        if (conn->acknowledged) {
            socket->readAll(); // nothing more is expected on this connection
            return;
        }
        conn->buffer.append(socket->read(vxg::link::kMaxFrameBytes - conn->buffer.size()));
        const TFrameParse frame = vxg::link::ParseFrame(conn->buffer);
        if (frame.status == TFrameParse::Bad) {
            Finish(socket);
            return;
        }
        if (frame.status == TFrameParse::Incomplete)
            return;
        const QString name = vxg::cp1251::decode(frame.name);
        const QString text = vxg::cp1251::decode(frame.text);
        // Taken before it is acknowledged: a message its station saw acknowledged already waits
        // for the window (the stop's grading counts on that), and one the caps refuse gets no "OK".
        if (stopped_ || (admit_ && !admit_(name, text, conn->peer))) {
            Finish(socket);
            return;
        }
        conn->acknowledged = true;
        Release(*conn);
        emit owner_->MessageReceived(name, text, conn->peer);
        conn->buffer.clear();
        socket->write(vxg::link::Acknowledgement());
        socket->flush();
        conn->due = Now() + config_.lingerMs;
    }

    // Connections that never finish a frame must not keep the others out: the one that has
    // waited longest goes. An honest station writes its frame at once, so it is the newest.
    void MakeRoom() {
        if (!reading_.empty())
            Finish(reading_.begin()->second);
    }

    // A connection counts against the caps while its frame is being read; once acknowledged it
    // only waits for the sender to close.
    void Release(Connection& conn) {
        if (conn.released)
            return;
        conn.released = true;
        reading_.erase(conn.order);
        --open_;
        if (--perAddress_[conn.peer] <= 0)
            perAddress_.remove(conn.peer);
    }

    void Finish(QTcpSocket* socket) {
        const std::shared_ptr<Connection> conn = conns_.take(socket);
        if (!conn)
            return;
        Release(*conn);
        if (socket->state() != QAbstractSocket::UnconnectedState)
            socket->abort();
        socket->deleteLater();
        if (conns_.isEmpty())
            sweep_->stop();
    }

    // A frame not complete by its deadline is dropped unacknowledged; a connection the sender
    // keeps open after the acknowledgement is closed at the end of the linger.
    void Sweep() {
        const qint64 now = Now();
        QList<QTcpSocket*> due;
        for (auto it = conns_.cbegin(); it != conns_.cend(); ++it)
            if (it.value()->due <= now)
                due.append(it.key());
        for (QTcpSocket* socket : due)
            Finish(socket);
    }

    qint64 Now() const { return clock_.elapsed(); }

    TLinkConfig config_;
    TAdmission admit_;
    TMessageReceiver* owner_;
    QTcpServer* server_ = nullptr;
    QHash<QTcpSocket*, std::shared_ptr<Connection>> conns_;
    std::map<quint64, QTcpSocket*> reading_; // not yet acknowledged, oldest first
    quint64 nextOrder_ = 0;
    QTimer* sweep_ = nullptr;
    QElapsedTimer clock_;
    bool stopped_ = false;
    int open_ = 0;
    QHash<QString, int> perAddress_;
};

TMessageReceiver::TMessageReceiver(const TLinkConfig& config, TAdmission admit, QObject* parent)
    : QObject(parent), config_(config), admit_(std::move(admit)) {}

TMessageReceiver::~TMessageReceiver() {
    Stop();
}

bool TMessageReceiver::Start() {
    if (thread_)
        return port_ != 0;
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("NMMSGServ1"));
    worker_ = new Worker(config_, admit_, this);
    worker_->moveToThread(thread_);
    thread_->start();
    quint16 port = 0;
    QString error;
    QMetaObject::invokeMethod(
        worker_, [this, &port, &error] { port = worker_->Listen(error); }, Qt::BlockingQueuedConnection);
    port_ = port;
    error_ = error;
    return port_ != 0;
}

void TMessageReceiver::Stop() {
    if (!thread_)
        return;
    QMetaObject::invokeMethod(
        worker_, [this] { worker_->Shutdown(); }, Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
    // The thread has ended: nothing of the worker runs any more.
    delete worker_;
    worker_ = nullptr;
    delete thread_;
    thread_ = nullptr;
    port_ = 0;
}

// ---------------------------------------------------------------------------------------------
// Sending.

namespace {

// Runs a nested event loop until done() holds or ms have passed; false on time-out, or when the
// application is ending (its event loops no longer run).
bool WaitUntil(QEventLoop& loop, int ms, const std::function<bool()>& done) {
    if (done())
        return true;
    bool expired = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        expired = true;
        loop.quit();
    });
    timer.start(ms);
    while (!done()) {
        if (expired || loop.exec() != 0)
            return done();
    }
    return true;
}

std::optional<QHostAddress> ResolveIPv4(const QString& host, int ms) {
    const QHostAddress literal(host);
    if (!literal.isNull())
        return literal;
    QEventLoop loop;
    std::optional<QHostAddress> found;
    bool answered = false;
    const int id = QHostInfo::lookupHost(host, &loop, [&](const QHostInfo& info) {
        answered = true;
        for (const QHostAddress& a : info.addresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                found = a;
                break;
            }
        loop.quit();
    });
    if (!WaitUntil(loop, ms, [&] { return answered; }))
        QHostInfo::abortHostLookup(id);
    return found;
}

} // namespace

bool SendFrameOnce(const QString& host, quint16 port, const QByteArray& frame, const TLinkConfig& config) {
    const std::optional<QHostAddress> address = ResolveIPv4(host, config.ioTimeoutMs);
    if (!address)
        return false;

    QEventLoop loop;
    QTcpSocket socket;
    // The stations sit on the same network: a proxy configured for the desktop never applies,
    // and asking for one costs a look-up per message.
    socket.setProxy(QNetworkProxy::NoProxy);
    bool failed = false;
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError) {
        failed = true;
        loop.quit();
    });
    QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] { loop.quit(); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] { loop.quit(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, [&] { loop.quit(); });
    QObject::connect(&socket, &QTcpSocket::bytesWritten, &loop, [&](qint64) { loop.quit(); });

    socket.connectToHost(*address, port);
    if (!WaitUntil(loop, config.ioTimeoutMs,
                   [&] { return failed || socket.state() == QAbstractSocket::ConnectedState; }) ||
        failed) {
        socket.abort();
        return false;
    }
    // The whole frame in one write, sent at once.
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (socket.write(frame) != frame.size()) {
        socket.abort();
        return false;
    }
    if (!WaitUntil(loop, config.ioTimeoutMs, [&] { return failed || socket.bytesToWrite() == 0; }) ||
        (failed && socket.bytesToWrite() > 0)) {
        socket.abort();
        return false;
    }
    // The acknowledgement: 16 bytes, or what came before the station closed.
    WaitUntil(loop, config.ackTimeoutMs, [&] {
        return failed || socket.bytesAvailable() >= vxg::link::kAckBytes ||
               socket.state() != QAbstractSocket::ConnectedState;
    });
    const bool complete = socket.bytesAvailable() >= vxg::link::kAckBytes;
    const QByteArray reply = complete ? socket.read(vxg::link::kAckBytes) : QByteArray();
    socket.abort();
    return vxg::link::IsAcknowledged(reply);
}

bool SendFrame(const QString& host, quint16 port, const QByteArray& frame, const TLinkConfig& config,
               const std::function<bool()>& abandon) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (abandon && abandon())
            return false;
        if (SendFrameOnce(host, port, frame, config))
            return true;
    }
    return false;
}
