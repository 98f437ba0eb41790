// The classroom benchmark. Without arguments: the whole run (see README). With --serve floor |
// examiner: the receiving side, started by the benchmark itself as a process of its own.
#include "Driver.h"
#include "ExaminerHost.h"
#include "FloorServer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

QString Arg(const QStringList& args, const QString& name, const QString& fallback = {}) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

QList<int> Sizes(const QString& text) {
    QList<int> sizes;
    for (const QString& s : text.split(u',', Qt::SkipEmptyParts))
        if (const int n = s.toInt(); n > 0 && n <= 1000)
            sizes.append(n);
    return sizes;
}

int Serve(int argc, char** argv, const QString& mode, const QStringList& args) {
    const auto port = quint16(Arg(args, QStringLiteral("--port")).toUInt());
    const auto stationPort =
        quint16(Arg(args, QStringLiteral("--station-port"), QStringLiteral("1024")).toUInt());
    if (mode == QLatin1String("floor")) {
        QCoreApplication app(argc, argv);
        bench::FloorServer floor(port, stationPort);
        if (QString error; !floor.listening(&error)) {
            std::fprintf(stderr, "floor: cannot listen on port %u: %s\n", port, qPrintable(error));
            return 2;
        }
        floor.start();
        return app.exec();
    }
    if (mode == QLatin1String("examiner")) {
        QApplication app(argc, argv);
        const int questions =
            std::clamp(Arg(args, QStringLiteral("--questions"), QStringLiteral("100")).toInt(), 1, 1000);
        const int backlog =
            std::clamp(Arg(args, QStringLiteral("--backlog"), QStringLiteral("0")).toInt(), 0, 4096);
        bench::ExaminerHost host(port, stationPort, questions, backlog);
        if (QString error; !host.listening(&error)) {
            std::fprintf(stderr, "examiner: %s (port %u)\n", qPrintable(error), port);
            return 2;
        }
        host.start();
        return app.exec();
    }
    std::fprintf(stderr, "unknown side %s\n", qPrintable(mode));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.contains(QStringLiteral("--serve")))
        return Serve(argc, argv, Arg(args, QStringLiteral("--serve")), args);

    QCoreApplication app(argc, argv);
    bench::DriverOptions options;
    if (const QList<int> sizes = Sizes(Arg(args, QStringLiteral("--sizes"))); !sizes.isEmpty())
        options.sizes = sizes;
    options.runs = std::clamp(Arg(args, QStringLiteral("--runs"), QStringLiteral("5")).toInt(), 1, 20);
    options.answers =
        std::clamp(Arg(args, QStringLiteral("--answers"), QStringLiteral("30000")).toInt(), 1, 1000000);
    options.stationPort = quint16(
        std::clamp(Arg(args, QStringLiteral("--station-port"), QStringLiteral("1024")).toInt(), 1, 65535));
    options.floorOnly = args.contains(QStringLiteral("--floor-only"));
    options.examinerBacklog =
        std::clamp(Arg(args, QStringLiteral("--examiner-backlog"), QStringLiteral("0")).toInt(), 0, 4096);
    options.deadRun = !args.contains(QStringLiteral("--no-dead-run"));
    return bench::RunBenchmark(QCoreApplication::applicationFilePath(), options);
}
