#include "ServerCore.h"

#include "Records.h"

namespace bench {

ServerCore::ServerCore(QObject* parent) : QObject(parent), input_(new StdinLines(this)) {
    connect(input_, &StdinLines::line, this, &ServerCore::command);
    connect(input_, &StdinLines::closed, this, [this] { quit(); });
}

void ServerCore::start() {
    Reply(QStringLiteral("ready"));
}

void ServerCore::count(const QString& kind) {
    times_[kind].append(NowNs());
    if (!waits_.isEmpty())
        checkWaits();
}

void ServerCore::checkWaits() {
    for (qsizetype i = 0; i < waits_.size();) {
        const Wait w = waits_.at(i);
        const QList<qint64>& times = times_[w.kind];
        if (times.size() >= w.n) {
            waits_.removeAt(i);
            Reply(QStringLiteral("reached %1 %2 %3")
                      .arg(w.kind)
                      .arg(w.n)
                      .arg(w.n > 0 ? times.at(w.n - 1) : NowNs()));
        } else {
            ++i;
        }
    }
}

void ServerCore::command(const QString& line) {
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    const QString verb = words.value(0);
    if (verb == QLatin1String("wait")) {
        waits_.append({words.value(1), words.value(2).toInt()});
        checkWaits();
    } else if (verb == QLatin1String("count")) {
        Reply(QStringLiteral("count %1 %2").arg(words.value(1)).arg(counted(words.value(1))));
    } else if (verb == QLatin1String("giveout")) {
        giveOut();
    } else if (verb == QLatin1String("stop")) {
        stop();
    } else if (verb == QLatin1String("mem")) {
        Reply(QStringLiteral("mem %1 %2").arg(VmHwmKb()).arg(VmRssKb()));
    } else if (verb == QLatin1String("quit")) {
        quit();
    } else if (!verb.isEmpty()) {
        Reply(QStringLiteral("error unknown command %1").arg(verb));
    }
}

TWorkQues BenchTopic(int count) {
    TWorkQues topic;
    for (int i = 0; i < count; ++i)
        topic.append({QStringLiteral("Q%1?").arg(i + 1), QStringLiteral("a"), QStringLiteral("b"),
                      QStringLiteral("c"), QStringLiteral("d"), QString::number(1 + i % 4)});
    return topic;
}

} // namespace bench
