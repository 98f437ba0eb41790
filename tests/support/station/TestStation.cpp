#include "TestStation.h"

#include "Cp1251.h"
#include "MessageFrame.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

TTestStation::TTestStation(const QHostAddress& address, quint16 examinerPort, const QString& name, QObject* parent)
    : QObject(parent), address_(address), examinerPort_(examinerPort), name_(name) {}

TTestStation::~TTestStation() = default;

bool TTestStation::Listen(quint16 port) {
    server_ = new QTcpServer(this);
    if (!server_->listen(address_, port))
        return false;
    connect(server_, &QTcpServer::newConnection, this, &TTestStation::Serve);
    return true;
}

quint16 TTestStation::Port() const {
    return server_ ? server_->serverPort() : 0;
}

void TTestStation::Serve() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        ++connections_;
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const vxg::link::TFrameParse frame = vxg::link::ParseFrame(*buffer);
            if (frame.status == vxg::link::TFrameParse::Bad) {
                socket->abort();
                return;
            }
            if (frame.status != vxg::link::TFrameParse::Complete)
                return;
            buffer->clear();
            const QString text = vxg::cp1251::decode(frame.text);
            frames_.append(vxg::link::EncodeFrame(frame.name, frame.text).value_or(QByteArray()));
            received_.append(text);
            switch (mode_) {
            case Mode::Acknowledge:
                socket->write(vxg::link::Acknowledgement());
                break;
            case Mode::LowerCaseOk:
                socket->write(QByteArray("ok") + QByteArray(14, ' '));
                break;
            case Mode::Silent:
                break;
            }
            emit MessageReceived(text);
        });
    }
}

bool TTestStation::Send(const QString& text, int timeoutMs) {
    return SendAs(name_, text, timeoutMs);
}

bool TTestStation::SendAs(const QString& senderName, const QString& text, int timeoutMs) {
    const std::optional<QByteArray> frame = vxg::link::EncodeMessage(senderName, text);
    return frame && vxg::link::IsAcknowledged(SendRaw(*frame, timeoutMs));
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
    QElapsedTimer clock;
    clock.start();
    while (reply.size() < vxg::link::kAckBytes && clock.elapsed() < timeoutMs) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, timeoutMs - clock.elapsed()))))
            break;
        reply.append(socket.read(vxg::link::kAckBytes - reply.size()));
    }
    socket.abort();
    return reply;
}

bool TTestStation::WaitForMessages(int count, int timeoutMs) {
    return QTest::qWaitFor([&] { return received_.size() >= count; }, timeoutMs);
}
