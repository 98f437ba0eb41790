#include "Classroom.h"

#include "RawNet.h"

#include <QEventLoop>
#include <QTimer>

#include <memory>
#include <thread>

namespace bench {

QHostAddress StationAddress(int k) {
    return QHostAddress(QStringLiteral("127.0.%1.%2").arg(10 + k / 200).arg(1 + k % 200));
}

QByteArray StationName(int k) {
    return QByteArray("Pupil") + QByteArray::number(k + 1).rightJustified(3, '0');
}

QList<int> Everyone(int count) {
    QList<int> all;
    for (int k = 0; k < count; ++k)
        all.append(k);
    return all;
}

Classroom::Classroom(int count, quint16 stationPort, QHostAddress examiner, quint16 examinerPort,
                     QList<int> dead, QObject* parent)
    : QObject(parent), dead_(std::move(dead)), examiner_(std::move(examiner)), examinerPort_(examinerPort) {
    logs_.resize(count);
    for (int k = 0; k < count; ++k) {
        auto* server = new AckServer(StationAddress(k), stationPort, dead_.contains(k), this);
        connect(
            server, &AckServer::received, this,
            [this, k](const QByteArray&, const QByteArray& text, const QHostAddress&) { record(k, text); });
        servers_.append(server);
    }
}

Classroom::~Classroom() = default;

bool Classroom::listening(QString* error) const {
    for (int k = 0; k < servers_.size(); ++k) {
        if (!servers_.at(k)->listening()) {
            *error = StationAddress(k).toString() + QStringLiteral(": ") + servers_.at(k)->errorString();
            return false;
        }
    }
    return true;
}

void Classroom::record(int k, const QByteArray& text) {
    StationLog& log = logs_[k];
    if (text.endsWith("$Ocenka!!$")) {
        ++log.marks;
        log.lastMark = text;
        log.lastMarkNs = NowNs();
    } else if (text == "Stop!!") {
        ++log.stops;
    } else if (text == "Soon!!") {
        ++log.soons;
    } else if (text.count('$') >= 3) {
        ++log.cards;
        log.lastCard = text;
        log.lastCardNs = NowNs();
    } else {
        ++log.other;
    }
    emit changed();
}

SendResult Classroom::sendAll(const QList<int>& who, int perStation,
                              const std::function<QByteArray(int, int)>& text, int timeoutMs) {
    // The sends run on threads of their own while this thread keeps serving the stations'
    // listeners (the examiner's grades arrive during the ready phase).
    QEventLoop loop;
    RawSendResult raw;
    std::thread sender([&] {
        raw = RawSendAll(
            who, perStation, StationAddress, [&](int k, int i) { return Frame(StationName(k), text(k, i)); },
            examiner_, examinerPort_, senderThreads_, timeoutMs);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    sender.join();
    SendResult result;
    result.ok = raw.ok;
    result.failed = raw.failed;
    result.startNs = raw.startNs;
    result.endNs = raw.endNs;
    return result;
}

bool Classroom::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done())
        return true;
    QEventLoop loop;
    connect(this, &Classroom::changed, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

int Classroom::total(int StationLog::*count) const {
    int n = 0;
    for (const StationLog& l : logs_)
        n += l.*count;
    return n;
}

qint64 Classroom::latest(qint64 StationLog::*ns) const {
    qint64 t = 0;
    for (const StationLog& l : logs_)
        t = std::max(t, l.*ns);
    return t;
}

} // namespace bench
