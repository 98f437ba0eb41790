#pragma once
// The simulated classroom: one student station per loopback address 127.0.x.y, each listening on
// its own address (port 1024 by default), acknowledging what the examiner sends and recording it,
// and sending its own messages from that address.
#include "BenchWire.h"

#include <QList>
#include <QObject>

#include <functional>

namespace bench {

// The address of station k (from 0): 127.0.(10 + k / 200).(1 + k % 200).
QHostAddress StationAddress(int k);
// The name station k registers under.
QByteArray StationName(int k);

struct StationLog {
    int cards = 0;
    int marks = 0;
    int stops = 0;
    int soons = 0;
    int other = 0;
    QByteArray lastCard;
    QByteArray lastMark;
    qint64 lastCardNs = 0;
    qint64 lastMarkNs = 0;
};

struct SendResult {
    int ok = 0;
    int failed = 0;
    qint64 startNs = 0;
    qint64 endNs = 0; // the last acknowledgement
};

class Classroom : public QObject {
    Q_OBJECT
public:
    // dead: the positions of stations that accept connections and never answer.
    Classroom(int count, quint16 stationPort, QHostAddress examiner, quint16 examinerPort,
              QList<int> dead = {}, QObject* parent = nullptr);
    ~Classroom() override;

    int count() const { return int(logs_.size()); }
    bool listening(QString* error) const;
    const StationLog& log(int k) const { return logs_.at(k); }

    // Every station in `who` sends perStation messages one after another (each waits for the
    // acknowledgement of the one before); all stations at once. text(k, i) is message i of k and
    // is called from the sending threads. Each connection is given up after timeoutMs.
    SendResult sendAll(const QList<int>& who, int perStation, const std::function<QByteArray(int, int)>& text,
                       int timeoutMs);

    // Runs the event loop until done() holds or timeoutMs passed; true when it holds.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);

    // A count summed over all stations (total(&StationLog::cards)), and the latest of a time.
    int total(int StationLog::*count) const;
    qint64 latest(qint64 StationLog::*ns) const;

signals:
    void changed();

private:
    void record(int k, const QByteArray& text);

    QList<AckServer*> servers_;
    QList<StationLog> logs_;
    QList<int> dead_;
    QHostAddress examiner_;
    quint16 examinerPort_ = 0;
    int senderThreads_ = 2; // the sending threads: more would compete with the examiner for cores
};

// All positions 0..count-1.
QList<int> Everyone(int count);

} // namespace bench
