#pragma once
// A student station for tests: the real protocol over real sockets. It listens on its own
// loopback address, and each message it sends leaves from there on a connection of its own and
// waits, blocking and bounded, for the acknowledgement (the examiner receives on a thread of its
// own). What the examiner sends is received on the caller's event loop and recorded.
#include <QHostAddress>
#include <QObject>
#include <QStringList>

#include <functional>

class QTcpServer;

class TTestStation : public QObject {
    Q_OBJECT
public:
    TTestStation(const QHostAddress& address, quint16 examinerPort, const QString& name)
        : address_(address), examinerPort_(examinerPort), name_(name) {}

    bool Listen(quint16 port = 0); // false when the port cannot be had
    quint16 Port() const;
    QString Name() const { return name_; }
    void SetSilent(bool silent) { silent_ = silent; } // a hung station: reads, never acknowledges
    // Runs on each message received, before it is acknowledged: the examiner's send still waits.
    void BeforeAcknowledging(std::function<void(const QString&)> step) { beforeAck_ = std::move(step); }

    // True when the acknowledgement held "OK" within timeoutMs; SendAs names another sender.
    bool Send(const QString& text, int timeoutMs = 3000) { return SendAs(name_, text, timeoutMs); }
    bool SendAs(const QString& senderName, const QString& text, int timeoutMs = 3000);
    // Raw bytes as they are; returns what came back (at most 16 bytes) within timeoutMs.
    QByteArray SendRaw(const QByteArray& bytes, int timeoutMs = 3000);
    bool Register() { return Send(QStringLiteral("Name!!")); }
    bool SendAnswers(const QString& answers) { return Send(QStringLiteral("CurrentChecked!!") + answers); }
    bool Ready() { return Send(QStringLiteral("Ready!!")); }
    bool Leave() { return Send(QStringLiteral("ВЫШЕЛ!!")); }

    // The texts received from the examiner in order, and the connections he opened.
    const QStringList& Received() const { return received_; }
    int Connections() const { return connections_; }
    bool WaitForMessages(int count, int timeoutMs = 5000);

signals:
    void MessageReceived(const QString& text);

private:
    void Serve();

    QHostAddress address_;
    quint16 examinerPort_;
    QString name_;
    bool silent_ = false;
    std::function<void(const QString&)> beforeAck_;
    QTcpServer* server_ = nullptr;
    QStringList received_;
    int connections_ = 0;
};
