#pragma once
// The classroom process: starts the receiving side (the bare acknowledger or the examiner
// window) as a process of its own, runs the phases of a testing against it with the simulated
// stations, and collects the figures.
#include <QList>
#include <QString>
#include <QStringList>

namespace bench {

struct DriverOptions {
    QList<int> sizes{30, 100, 300};
    int runs = 5;
    int answers = 30000; // answers messages per run, at least
    int questions = 100; // questions per card
    quint16 stationPort = 1024;
    bool deadRun = true; // the run of 30 stations with one that never answers
    bool floorOnly = false;
    int examinerBacklog = 0; // the examiner's listen queue for an experiment; 0: the program's own
};

struct RunFigures {
    bool ok = false;
    QString error;
    double regMs = 0;     // first registration sent .. last one processed
    double giveOutMs = 0; // the give-out command's own duration (server side)
    double cardsMs = 0;   // give-out start .. last card received by a station
    int cards = 0;        // cards received by stations
    int answers = 0;      // answers messages sent (each acted on: stored, or replaced while waiting)
    int stored = 0;       // of them stored one by one
    double answersMs = 0; // first answers message sent .. last one processed
    double answersPerS = 0;
    int failedSends = 0;
    double readyMs = 0; // first ready sent .. last grade received (examiner only)
    double stopMs = 0;  // the stop command's duration, its 2000 ms pause included (examiner only)
    int marks = 0;      // grades received by stations
    qint64 idleHwmKb = 0;
    qint64 peakHwmKb = 0;
};

// mode: "floor" or "examiner". dead: positions of stations that never answer.
RunFigures RunOnce(const QString& program, const QString& mode, int size, const DriverOptions& options,
                   const QList<int>& dead = {});

// Runs the whole benchmark and prints its report; returns the process exit code.
int RunBenchmark(const QString& program, const DriverOptions& options);

} // namespace bench
