#include "TestStation.h"

#include "Cp1251.h"
#include "MessageFrame.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace vxg::link;

bool TTestStation::Listen(quint16 port) {
    server_ = new QTcpServer(this);
    connect(server_, &QTcpServer::newConnection, this, &TTestStation::Serve);
    return server_->listen(address_, port);
}

quint16 TTestStation::Port() const {
    return server_ ? server_->serverPort() : 0;
}

void TTestStation::Serve() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        ++connections_;
        auto buffer = std::make_shared<QByteArray>(); // lives with its connection
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const TFrameParse frame = ParseFrame(*buffer);
            if (frame.status == TFrameParse::Bad)
                return socket->abort();
            if (frame.status != TFrameParse::Complete)
                return;
            buffer->clear();
            received_.append(vxg::cp1251::decode(frame.text));
            if (beforeAck_)
                beforeAck_(received_.last());
            if (!silent_)
                socket->write(Acknowledgement());
            emit MessageReceived(received_.last());
        });
    }
}

bool TTestStation::SendAs(const QString& senderName, const QString& text, int timeoutMs) {
    const std::optional<QByteArray> frame = EncodeMessage(senderName, text);
    return frame && IsAcknowledged(SendRaw(*frame, timeoutMs));
}

QByteArray TTestStation::SendRaw(const QByteArray& bytes, int timeoutMs) {
    QTcpSocket socket;
    if (!socket.bind(address_))
        return {};
    socket.connectToHost(QHostAddress::LocalHost, examinerPort_);
    if (!socket.waitForConnected(timeoutMs))
        return {};
    socket.write(bytes);
    socket.waitForBytesWritten(timeoutMs);
    QByteArray reply;
    const QDeadlineTimer deadline(timeoutMs);
    while (reply.size() < kAckBytes &&
           (socket.bytesAvailable() > 0 || socket.waitForReadyRead(int(deadline.remainingTime()))))
        reply.append(socket.read(kAckBytes - reply.size()));
    socket.abort();
    return reply;
}

bool TTestStation::WaitForMessages(int count, int timeoutMs) {
    return QTest::qWaitFor([&] { return received_.size() >= count; }, timeoutMs);
}
