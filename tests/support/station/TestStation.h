#pragma once
// A student station for tests: the real protocol over real sockets. It listens on its own
// loopback address (Listen), and every message it sends leaves from that address on a connection
// of its own and waits, blocking and bounded, for the examiner's acknowledgement (the examiner
// receives on a thread of its own). What the examiner sends is received on the caller's event
// loop, answered as Mode says, and recorded in Received().
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>

class QTcpServer;

class TTestStation : public QObject {
    Q_OBJECT
public:
    enum class Mode {
        Acknowledge, // "OK" and 14 blanks
        Silent,      // accepts and reads, never answers (a hung station)
        LowerCaseOk, // "ok" and 14 blanks: not an acknowledgement
    };

    TTestStation(const QHostAddress& address, quint16 examinerPort, const QString& name);

    bool Listen(quint16 port = 0); // false when the port cannot be had
    quint16 Port() const;
    QString Name() const { return name_; }
    void SetMode(Mode mode) { mode_ = mode; }

    // True when the acknowledgement held "OK" within timeoutMs; SendAs names another sender.
    bool Send(const QString& text, int timeoutMs = 3000) { return SendAs(name_, text, timeoutMs); }
    bool SendAs(const QString& senderName, const QString& text, int timeoutMs = 3000);
    // Raw bytes as they are; returns what came back (at most 16 bytes) within timeoutMs.
    QByteArray SendRaw(const QByteArray& bytes, int timeoutMs = 3000);

    bool Register() { return Send(QStringLiteral("Name!!")); }
    bool SendAnswers(const QString& answers) { return Send(QStringLiteral("CurrentChecked!!") + answers); }
    bool Ready() { return Send(QStringLiteral("Ready!!")); }
    bool Help() { return Send(QStringLiteral("Help!!")); }
    bool Leave() { return Send(QStringLiteral("ВЫШЕЛ!!")); }
    bool AskLanguage() { return Send(QStringLiteral("WhatLang!!")); }

    // The texts received from the examiner in order, their frames, and the connections he opened.
    const QStringList& Received() const { return received_; }
    const QList<QByteArray>& ReceivedFrames() const { return frames_; }
    int Connections() const { return connections_; }
    bool WaitForMessages(int count, int timeoutMs = 5000);

signals:
    void MessageReceived(const QString& text);

private:
    void Serve();

    QHostAddress address_;
    quint16 examinerPort_;
    QString name_;
    Mode mode_ = Mode::Acknowledge;
    QTcpServer* server_ = nullptr;
    QStringList received_;
    QList<QByteArray> frames_;
    int connections_ = 0;
};
