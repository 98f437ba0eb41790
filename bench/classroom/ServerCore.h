#pragma once
// What both receiving sides of the benchmark share (the bare acknowledger and the host of the
// real examiner window): counts of processed messages with the time of each, and the control
// channel on standard input/output through which the classroom process drives a run.
//
// Commands, one a line:           replies:
//   wait <kind> <n>                reached <kind> <n> <ns when the n-th was processed>
//   giveout                        gaveout <start ns> <end ns> <cards handed out>
//   stop                           stopped <start ns> <end ns>
//   count <kind>                   count <kind> <n processed so far>
//   mem                            mem <VmHWM kB> <VmRSS kB>
//   quit                           (the process ends)
// kinds: reg (registrations), stored (answers messages acted on one by one), final (stations
// whose last answers message of the run was acted on), ready (ready messages; floor only).
#include "BenchWire.h"
#include "Records.h"

#include <QHash>
#include <QList>
#include <QObject>

namespace bench {

class ServerCore : public QObject {
    Q_OBJECT
public:
    explicit ServerCore(QObject* parent = nullptr);

    // One message of this kind was processed now.
    void count(const QString& kind);
    int counted(const QString& kind) const { return int(times_.value(kind).size()); }
    // Starts reading commands; replies "ready" first.
    void start();

protected:
    // Run the command, then Reply(...) as the table says.
    virtual void giveOut() = 0;
    virtual void stop() = 0;
    virtual void quit() = 0;

private:
    void command(const QString& line);
    void checkWaits();

    struct Wait {
        QString kind;
        int n = 0;
    };
    QHash<QString, QList<qint64>> times_;
    QList<Wait> waits_;
    StdinLines* input_ = nullptr;
};

// The test classroom's topic: `count` short questions ("Q1?", answers a..d, right answer
// 1 + (i % 4)); a card of 100 of them stays far below a frame's 9999 bytes.
TWorkQues BenchTopic(int count);

} // namespace bench
