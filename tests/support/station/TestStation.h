#pragma once
// A student station for tests and benchmarks: it speaks the real protocol over real sockets.
//
//   TTestStation st(QHostAddress("127.0.0.5"), examinerPort, QStringLiteral("Ivanov"));
//   st.Listen(stationPort);            // where the examiner sends (0: a free port)
//   st.Register();                     // "Name!!" from 127.0.0.5 to the examiner
//   st.WaitForMessages(1);             // the card
//   st.SendAnswers("2$1$ $4");         // "CurrentChecked!!2$1$ $4"
//   st.Ready();                        // "Ready!!"; the grade comes back as "7$Ocenka!!$"
//
// Every message the station sends leaves from its own address (127.0.0.k), on a connection of
// its own, and waits (blocking, bounded) for the examiner's 16-byte acknowledgement; the
// examiner's receiver runs on a thread of its own, so this may block the calling thread. What the
// examiner sends is received on the calling thread's event loop, acknowledged as the station's
// Mode says, and recorded in Received().
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>

class QTcpServer;

class TTestStation : public QObject {
    Q_OBJECT
public:
    // How the station answers what the examiner sends.
    enum class Mode {
        Acknowledge, // "OK" and 14 blanks, then waits for the examiner to close
        Silent,      // accepts and reads, never answers (a hung station)
        LowerCaseOk, // "ok" and 14 blanks: not an acknowledgement
    };

    TTestStation(const QHostAddress& address, quint16 examinerPort, const QString& name,
                 QObject* parent = nullptr);
    ~TTestStation() override;

    // Listens on the station's address; false when the port cannot be had.
    bool Listen(quint16 port = 0);
    quint16 Port() const;
    QHostAddress Address() const { return address_; }
    QString Name() const { return name_; }
    void SetMode(Mode mode) { mode_ = mode; }

    // Sends one message (text, and the sender name; the station's name unless given) and waits
    // at most timeoutMs for the acknowledgement. True when it held "OK".
    bool Send(const QString& text, int timeoutMs = 3000);
    bool SendAs(const QString& senderName, const QString& text, int timeoutMs = 3000);
    // Sends raw bytes as they are (for broken frames); returns what came back (at most 16 bytes)
    // within timeoutMs.
    QByteArray SendRaw(const QByteArray& bytes, int timeoutMs = 3000);

    bool Register() { return Send(QStringLiteral("Name!!")); }
    bool SendAnswers(const QString& answers) { return Send(QStringLiteral("CurrentChecked!!") + answers); }
    bool Ready() { return Send(QStringLiteral("Ready!!")); }
    bool Help() { return Send(QStringLiteral("Help!!")); }
    bool Leave() { return Send(QStringLiteral("ВЫШЕЛ!!")); }
    bool AskLanguage() { return Send(QStringLiteral("WhatLang!!")); }

    // The texts received from the examiner, in order, and their raw frames.
    const QStringList& Received() const { return received_; }
    const QList<QByteArray>& ReceivedFrames() const { return frames_; }
    int Connections() const { return connections_; } // connections the examiner opened
    // Runs the event loop until count messages were received, at most timeoutMs.
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
