#pragma once
// The message link as a student station sees it, for the classroom benchmark: one TCP connection
// per message, the frame "%.4d" name "%.4d" text (cp1251 bytes), the 16-byte acknowledgement
// "OK" + 14 blanks. Written here from the protocol itself, so the benchmark's stations and its
// bare acknowledger share no code with the examiner they measure.
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>

class QTcpServer;
class QTcpSocket;
class QSocketNotifier;

namespace bench {

// Monotonic nanoseconds (CLOCK_MONOTONIC): comparable between the benchmark's processes.
qint64 NowNs();

QByteArray Frame(const QByteArray& name, const QByteArray& text);
extern const QByteArray Ack;

struct FrameParse {
    enum State { Incomplete, Complete, Bad } state = Incomplete;
    QByteArray name;
    QByteArray text;
};
// Parses a frame at the start of buf (a length field that is not four digits is Bad).
FrameParse ParseFrame(const QByteArray& buf);

// Listens on address:port and acknowledges every frame as soon as it is complete, then hands it on.
// A silent server accepts connections and never reads or answers (a dead station); it lets each
// go after holdMs.
class AckServer : public QObject {
    Q_OBJECT
public:
    AckServer(const QHostAddress& address, quint16 port, bool silent, QObject* parent = nullptr);
    bool listening() const;
    QString errorString() const;
    quint16 port() const;

signals:
    void received(const QByteArray& name, const QByteArray& text, const QHostAddress& peer);

private:
    void accept();
    void serve(QTcpSocket* socket);

    QTcpServer* server_ = nullptr;
    bool silent_ = false;
};

// Sends one frame from a local address to host:port and calls done(ok) once: ok when the reply
// holds "OK". Gives up after timeoutMs.
void SendFrame(QObject* context, const QHostAddress& from, const QHostAddress& to, quint16 port,
               const QByteArray& frame, int timeoutMs, std::function<void(bool)> done);

// Lines on standard input, one signal per line (the benchmark's control channel).
class StdinLines : public QObject {
    Q_OBJECT
public:
    explicit StdinLines(QObject* parent = nullptr);
signals:
    void line(const QString& text);
    void closed();

private:
    QSocketNotifier* notifier_ = nullptr;
    QByteArray buffer_;
};

// One line to standard output, flushed at once.
void Reply(const QString& line);

// Peak and current resident memory of this process, in kB (/proc/self/status).
qint64 VmHwmKb();
qint64 VmRssKb();

} // namespace bench
