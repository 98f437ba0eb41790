#include "BenchWire.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace bench {

qint64 NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const QByteArray Ack = QByteArray("OK") + QByteArray(14, ' ');

QByteArray Frame(const QByteArray& name, const QByteArray& text) {
    return QByteArray::number(name.size()).rightJustified(4, '0') + name +
           QByteArray::number(text.size()).rightJustified(4, '0') + text;
}

namespace {

// The four-digit field at pos: its value, -1 when incomplete, -2 when not four digits.
int LengthField(const QByteArray& buf, qsizetype pos) {
    if (buf.size() < pos + 4)
        return -1;
    int value = 0;
    for (qsizetype i = pos; i < pos + 4; ++i) {
        const char c = buf.at(i);
        if (c < '0' || c > '9')
            return -2;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

FrameParse ParseFrame(const QByteArray& buf) {
    FrameParse p;
    const int nameLength = LengthField(buf, 0);
    if (nameLength == -2)
        p.state = FrameParse::Bad;
    if (nameLength < 0)
        return p;
    const int textLength = LengthField(buf, 4 + nameLength);
    if (textLength == -2)
        p.state = FrameParse::Bad;
    if (textLength < 0 || buf.size() < 8 + nameLength + textLength)
        return p;
    p.state = FrameParse::Complete;
    p.name = buf.mid(4, nameLength);
    p.text = buf.mid(8 + nameLength, textLength);
    return p;
}

AckServer::AckServer(const QHostAddress& address, quint16 port, bool silent, QObject* parent)
    : QObject(parent), server_(new QTcpServer(this)), silent_(silent) {
    server_->setListenBacklogSize(128);
    connect(server_, &QTcpServer::newConnection, this, &AckServer::accept);
    server_->listen(address, port);
}

bool AckServer::listening() const {
    return server_->isListening();
}

QString AckServer::errorString() const {
    return server_->errorString();
}

quint16 AckServer::port() const {
    return server_->serverPort();
}

void AckServer::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection())
        serve(socket);
}

void AckServer::serve(QTcpSocket* socket) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    if (silent_) {
        // A dead station: the connection stays open, unread and unanswered, for a bounded time.
        QTimer::singleShot(30000, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        return;
    }
    auto* buffer = new QByteArray;
    connect(socket, &QObject::destroyed, socket, [buffer] { delete buffer; });
    QTimer::singleShot(5000, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
        *buffer += socket->readAll();
        const FrameParse p = ParseFrame(*buffer);
        if (p.state == FrameParse::Incomplete)
            return;
        if (p.state == FrameParse::Complete) {
            socket->write(Ack);
            socket->flush();
            emit received(p.name, p.text, socket->peerAddress());
        }
        // The sender closes first; a bad frame is dropped at once.
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        if (p.state == FrameParse::Bad)
            socket->abort();
    });
}

void SendFrame(QObject* context, const QHostAddress& from, const QHostAddress& to, quint16 port,
               const QByteArray& frame, int timeoutMs, std::function<void(bool)> done) {
    auto* socket = new QTcpSocket(context);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    auto finished = std::make_shared<bool>(false);
    auto reply = std::make_shared<QByteArray>();
    auto finish = [socket, finished, done](bool ok) {
        if (*finished)
            return;
        *finished = true;
        socket->abort();
        socket->deleteLater();
        done(ok);
    };
    QObject::connect(socket, &QTcpSocket::connected, socket, [socket, frame] {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        socket->write(frame);
    });
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, reply, finish] {
        *reply += socket->readAll();
        if (reply->size() >= 16)
            finish(reply->left(16).contains("OK"));
    });
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket,
                     [reply, finish] { finish(reply->contains("OK")); });
    QTimer::singleShot(timeoutMs, socket, [finish] { finish(false); });
    if (!socket->bind(from, 0)) {
        QTimer::singleShot(0, socket, [finish] { finish(false); });
        return;
    }
    socket->connectToHost(to, port);
}

StdinLines::StdinLines(QObject* parent)
    : QObject(parent), notifier_(new QSocketNotifier(0, QSocketNotifier::Read, this)) {
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char chunk[4096];
        const ssize_t got = ::read(0, chunk, sizeof chunk);
        if (got <= 0) {
            notifier_->setEnabled(false);
            emit closed();
            return;
        }
        buffer_.append(chunk, got);
        qsizetype end = 0;
        while ((end = buffer_.indexOf('\n')) >= 0) {
            const QString text = QString::fromUtf8(buffer_.left(end)).trimmed();
            buffer_.remove(0, end + 1);
            emit line(text);
        }
    });
}

void Reply(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

namespace {

qint64 StatusKb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

qint64 VmHwmKb() {
    return StatusKb("VmHWM");
}

qint64 VmRssKb() {
    return StatusKb("VmRSS");
}

} // namespace bench
