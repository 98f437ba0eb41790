#include "Driver.h"

#include "Classroom.h"

#include <QEventLoop>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

// The receiving side's process and its reply lines.
class ServerProcess {
public:
    ServerProcess(const QString& program, const QStringList& args, const QString& home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        process_.setProcessEnvironment(env);
        process_.setWorkingDirectory(home);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            buffer_ += process_.readAllStandardOutput();
            qsizetype end = 0;
            while ((end = buffer_.indexOf('\n')) >= 0) {
                lines_.append(QString::fromUtf8(buffer_.left(end)).trimmed());
                buffer_.remove(0, end + 1);
            }
        });
        process_.start(program, args);
    }

    ~ServerProcess() {
        if (process_.state() != QProcess::NotRunning) {
            send(QStringLiteral("quit"));
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(2000);
            }
        }
    }

    void send(const QString& line) { process_.write((line + u'\n').toUtf8()); }

    // The next reply line starting with prefix, split into words; empty on time-out or exit.
    QStringList expect(const QString& prefix, int timeoutMs) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        QObject::connect(&process_, &QProcess::finished, &loop, &QEventLoop::quit);
        timer.start(timeoutMs);
        for (;;) {
            for (qsizetype i = 0; i < lines_.size(); ++i) {
                if (lines_.at(i).startsWith(prefix)) {
                    const QString line = lines_.takeAt(i);
                    return line.split(u' ', Qt::SkipEmptyParts);
                }
            }
            if (!timer.isActive() || process_.state() == QProcess::NotRunning)
                return {};
            loop.exec();
        }
    }

    QStringList request(const QString& line, const QString& prefix, int timeoutMs) {
        send(line);
        return expect(prefix, timeoutMs);
    }

private:
    QProcess process_;
    QByteArray buffer_;
    QStringList lines_;
};

// A free port below the ephemeral range (32768 and up), so that no station's outgoing
// connection can have taken it on some 127.0.x.y by the time the receiving side listens.
quint16 FreePort() {
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto port = quint16(20000 + QRandomGenerator::global()->bounded(12000));
        QTcpServer probe;
        if (probe.listen(QHostAddress::AnyIPv4, port))
            return port;
    }
    return 0;
}

double Ms(qint64 fromNs, qint64 toNs) {
    return double(toNs - fromNs) / 1e6;
}

// A few different answers texts of `questions` pieces each, as stations send them: the first
// question always answered "1" (the examiner's card view then redraws a checked variant for each
// stored message), the last one left open; the last text (a station's final message) answers the
// last question "4".
QList<QByteArray> AnswersTexts(int questions) {
    QRandomGenerator generator(99);
    QList<QByteArray> texts;
    for (int t = 0; t < 17; ++t) {
        QByteArray text("CurrentChecked!!1");
        for (int q = 1; q < questions; ++q) {
            const quint32 pick = generator.bounded(5u);
            text += '$';
            text += q == questions - 1 ? (t == 16 ? '4' : ' ') : pick == 4 ? ' ' : char('1' + pick);
        }
        texts.append(text);
    }
    return texts;
}

double Median(QList<double> v) {
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    const qsizetype n = v.size();
    return n % 2 ? v.at(n / 2) : (v.at(n / 2 - 1) + v.at(n / 2)) / 2;
}

QString Spread(const QList<double>& v, int decimals) {
    if (v.isEmpty())
        return QStringLiteral("-");
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    return QStringLiteral("%1 (%2..%3)")
        .arg(Median(v), 0, 'f', decimals)
        .arg(*lo, 0, 'f', decimals)
        .arg(*hi, 0, 'f', decimals);
}

void Print(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

RunFigures RunOnce(const QString& program, const QString& mode, int size, const DriverOptions& options,
                   const QList<int>& dead) {
    RunFigures f;
    const bool examiner = mode == QLatin1String("examiner");
    QTemporaryDir home;
    const quint16 port = FreePort();
    ServerProcess server(program,
                         {QStringLiteral("--serve"), mode, QStringLiteral("--port"), QString::number(port),
                          QStringLiteral("--station-port"), QString::number(options.stationPort),
                          QStringLiteral("--questions"), QString::number(options.questions),
                          QStringLiteral("--backlog"), QString::number(options.examinerBacklog)},
                         home.path());
    if (server.expect(QStringLiteral("ready"), 20000).isEmpty()) {
        f.error = mode + QStringLiteral(" did not start");
        return f;
    }
    Classroom room(size, options.stationPort, QHostAddress::LocalHost, port, dead);
    if (QString error; !room.listening(&error)) {
        f.error = QStringLiteral("station cannot listen: ") + error;
        return f;
    }
    const QList<int> alive = [&] {
        QList<int> a;
        for (int k = 0; k < size; ++k)
            if (!dead.contains(k))
                a.append(k);
        return a;
    }();
    f.idleHwmKb = server.request(QStringLiteral("mem"), QStringLiteral("mem"), 5000).value(1).toLongLong();

    // Registration: every station at once.
    const SendResult reg = room.sendAll(
        Everyone(size), 1, [](int, int) { return QByteArray("Name!!"); }, 30000);
    const QStringList regDone =
        server.request(QStringLiteral("wait reg %1").arg(size), QStringLiteral("reached"), 30000);
    if (regDone.isEmpty()) {
        f.error = QStringLiteral("registration incomplete (%1 acknowledged, %2 failed)")
                      .arg(reg.ok)
                      .arg(reg.failed);
        return f;
    }
    f.regMs = Ms(reg.startNs, regDone.value(3).toLongLong());
    f.failedSends += reg.failed;

    // Give-out.
    const QStringList gave = server.request(QStringLiteral("giveout"), QStringLiteral("gaveout"), 120000);
    if (gave.isEmpty()) {
        f.error = QStringLiteral("give-out did not end");
        return f;
    }
    f.giveOutMs = Ms(gave.value(1).toLongLong(), gave.value(2).toLongLong());
    room.waitUntil([&] { return room.total(&StationLog::cards) >= alive.size(); }, 10000);
    f.cards = room.total(&StationLog::cards);
    f.cardsMs = f.cards > 0 ? Ms(gave.value(1).toLongLong(), room.latest(&StationLog::lastCardNs)) : 0;
    if (!dead.isEmpty()) { // the dead-station run measures the give-out only
        f.ok = true;
        f.peakHwmKb =
            server.request(QStringLiteral("mem"), QStringLiteral("mem"), 5000).value(1).toLongLong();
        return f;
    }

    // Answers: every station sends its share one after another, all stations at once; the last
    // message of each is its final one. One message of the first station goes first, so that the
    // examiner's card view shows his answered first question from then on.
    const int perStation = std::max(2, (options.answers + size - 1) / size);
    const int total = perStation * size;
    const QList<QByteArray> texts = AnswersTexts(std::max(2, options.questions));
    const qsizetype finalText = texts.size() - 1;
    const SendResult first = room.sendAll(
        {0}, 1, [&](int, int) { return texts.at(0); }, 10000);
    if (first.ok != 1 ||
        server.request(QStringLiteral("wait stored 1"), QStringLiteral("reached"), 10000).isEmpty()) {
        f.error = QStringLiteral("the first answers message was not stored (%1 acknowledged)").arg(first.ok);
        return f;
    }
    const SendResult ans = room.sendAll(
        alive, perStation,
        [&](int k, int i) {
            return i == perStation - 1 ? texts.at(finalText) : texts.at((k + i) % finalText);
        },
        300000);
    const QStringList ansDone =
        server.request(QStringLiteral("wait final %1").arg(size), QStringLiteral("reached"), 60000);
    f.failedSends += ans.failed;
    if (ansDone.isEmpty()) {
        f.error = QStringLiteral("answers: %1 acknowledged, %2 failed, not all acted on")
                      .arg(ans.ok)
                      .arg(ans.failed);
        return f;
    }
    f.answers = total;
    f.answersMs = Ms(ans.startNs, ansDone.value(3).toLongLong());
    f.answersPerS = total / (f.answersMs / 1000.0);
    f.stored =
        server.request(QStringLiteral("count stored"), QStringLiteral("count"), 5000).value(2).toInt() - 1;

    // Ready from every second station, then the stop for the rest.
    QList<int> readyOnes;
    for (int k = 0; k < size; k += 2)
        readyOnes.append(k);
    const SendResult ready = room.sendAll(
        readyOnes, 1, [](int, int) { return QByteArray("Ready!!"); }, 30000);
    f.failedSends += ready.failed;
    if (!examiner)
        server.request(QStringLiteral("wait ready %1").arg(readyOnes.size()), QStringLiteral("reached"),
                       30000);
    if (examiner) {
        room.waitUntil([&] { return room.total(&StationLog::marks) >= readyOnes.size(); }, 30000);
        f.readyMs =
            room.total(&StationLog::marks) > 0 ? Ms(ready.startNs, room.latest(&StationLog::lastMarkNs)) : 0;
    }
    const QStringList stopped = server.request(QStringLiteral("stop"), QStringLiteral("stopped"), 120000);
    if (stopped.isEmpty()) {
        f.error = QStringLiteral("stop did not end");
        return f;
    }
    f.stopMs = Ms(stopped.value(1).toLongLong(), stopped.value(2).toLongLong());
    f.marks = room.total(&StationLog::marks);
    if (examiner && !room.waitUntil([&] { return room.total(&StationLog::marks) >= size; }, 10000)) {
        f.error =
            QStringLiteral("%1 of %2 stations got their grade").arg(room.total(&StationLog::marks)).arg(size);
        return f;
    }
    f.marks = room.total(&StationLog::marks);
    f.peakHwmKb = server.request(QStringLiteral("mem"), QStringLiteral("mem"), 5000).value(1).toLongLong();
    f.ok = true;
    return f;
}

int RunBenchmark(const QString& program, const DriverOptions& options) {
    int failures = 0;
    Print(QStringLiteral(
        "| stations | side | registration ms | give-out ms | last card received ms | answers msg/s | "
        "stored one by one | ready..grades ms | stop ms | peak - idle MB |"));
    Print(QStringLiteral("|---|---|---|---|---|---|---|---|---|---|"));
    for (int size : options.sizes) {
        QHash<QString, QList<RunFigures>> figures;
        for (int run = 0; run < options.runs; ++run) {
            for (const QString& mode : {QStringLiteral("floor"), QStringLiteral("examiner")}) {
                if (options.floorOnly && mode == QLatin1String("examiner"))
                    continue;
                const RunFigures f = RunOnce(program, mode, size, options);
                if (!f.ok) {
                    ++failures;
                    Print(QStringLiteral("run %1 of %2 stations against the %3 failed: %4")
                              .arg(run + 1)
                              .arg(size)
                              .arg(mode, f.error));
                    continue;
                }
                std::fprintf(
                    stderr,
                    "%d stations, %s, run %d: reg %.1f ms, give-out %.1f ms, %d cards, "
                    "%d answers at %.0f/s (%d stored one by one), ready..grades %.1f ms, stop %.0f ms, "
                    "%d grades, failed sends %d, HWM %lld -> %lld kB\n",
                    size, qPrintable(mode), run + 1, f.regMs, f.giveOutMs, f.cards, f.answers, f.answersPerS,
                    f.stored, f.readyMs, f.stopMs, f.marks, f.failedSends, f.idleHwmKb, f.peakHwmKb);
                figures[mode].append(f);
            }
        }
        for (const QString& mode : {QStringLiteral("floor"), QStringLiteral("examiner")}) {
            const QList<RunFigures>& runs = figures.value(mode);
            if (runs.isEmpty())
                continue;
            auto pick = [&](auto member) {
                QList<double> v;
                for (const RunFigures& f : runs)
                    v.append(double(f.*member));
                return v;
            };
            QList<double> mem;
            for (const RunFigures& f : runs)
                mem.append(double(f.peakHwmKb - f.idleHwmKb) / 1024.0);
            const bool examiner = mode == QLatin1String("examiner");
            Print(QStringLiteral("| %1 | %2 (%3 runs) | %4 | %5 | %6 | %7 | %8 | %9 | %10 | %11 |")
                      .arg(size)
                      .arg(mode)
                      .arg(runs.size())
                      .arg(Spread(pick(&RunFigures::regMs), 1), Spread(pick(&RunFigures::giveOutMs), 1),
                           Spread(pick(&RunFigures::cardsMs), 1), Spread(pick(&RunFigures::answersPerS), 0),
                           Spread(pick(&RunFigures::stored), 0),
                           examiner ? Spread(pick(&RunFigures::readyMs), 1) : QStringLiteral("-"),
                           examiner ? Spread(pick(&RunFigures::stopMs), 0) : QStringLiteral("-"),
                           Spread(mem, 1)));
        }
        if (!figures.value(QStringLiteral("floor")).isEmpty() &&
            !figures.value(QStringLiteral("examiner")).isEmpty()) {
            QList<double> floorRates, examinerRates;
            for (const RunFigures& f : figures.value(QStringLiteral("floor")))
                floorRates.append(f.answersPerS);
            for (const RunFigures& f : figures.value(QStringLiteral("examiner")))
                examinerRates.append(f.answersPerS);
            Print(QStringLiteral("| %1 | examiner / floor answers rate (medians): %2 | | | | | | | | |")
                      .arg(size)
                      .arg(Median(examinerRates) / Median(floorRates), 0, 'f', 2));
        }
    }
    if (options.deadRun) {
        for (const QString& mode : {QStringLiteral("floor"), QStringLiteral("examiner")}) {
            if (options.floorOnly && mode == QLatin1String("examiner"))
                continue;
            const RunFigures f = RunOnce(program, mode, 30, options, {15});
            if (!f.ok) {
                ++failures;
                Print(QStringLiteral("dead-station run against the %1 failed: %2").arg(mode, f.error));
                continue;
            }
            Print(QStringLiteral(
                      "30 stations, station 16 dead, %1: give-out %2 ms, %3 of 29 live stations got a card")
                      .arg(mode)
                      .arg(f.giveOutMs, 0, 'f', 0)
                      .arg(f.cards));
        }
    }
    return failures == 0 ? 0 : 1;
}

} // namespace bench
