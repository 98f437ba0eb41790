// One read of the settings file at the size and depth limits: a file of 4 MB (and one of 1 MB)
// whose every line opens a new chain of 32-level keys, the most keys a file within the limits
// can hold. Each read runs in a fresh process of its own, so that its peak memory is its own:
// the figures are the median time and the largest growth of the peak resident size over 5 runs.
// Reads: one parameter set as the programs load it, and the list of top-level keys (the longest
// answer this file gives); a write of one value, on a fresh copy of a file 4 KB smaller (the
// write needs room within the limit), for comparison. Ends with code
// 1 when a read's median reaches 250 ms or its peak memory 8 times the file's size.
#include "DeepSettingsFile.h"
#include "Registry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr double kReadLimitMs = 250.0;
constexpr qint64 kReadMemoryFactor = 8;
const QString kSets = QStringLiteral("SOFTWARE\\Brelkano\\VXG\\Verirozaz\\Options");

// The child: one operation on the file, then "<ms> <peak growth in KB>".
int runOnce(const QString& path, const QString& op) {
    vxg::Registry reg(path);
    ResetPeakResident();
    const qint64 before = ResidentKb();
    QElapsedTimer clock;
    clock.start();
    qsizetype answer = 0;
    if (op == QLatin1String("set"))
        answer = reg.readKey(kSets + QStringLiteral("\\Last")).has_value();
    else if (op == QLatin1String("list"))
        answer = reg.subKeyNames(QString()).size();
    else
        reg.writeInteger(QStringLiteral("SOFTWARE\\Brelkano\\VXG\\Examwright"), QStringLiteral("LangN"), 200);
    const double ms = clock.nsecsElapsed() / 1e6;
    std::printf("%.2f %lld %lld\n", ms, static_cast<long long>(PeakResidentKb() - before),
                static_cast<long long>(answer));
    return 0;
}

struct Figures {
    double medianMs = 0;
    qint64 peakKb = 0;
};

bool writeDeepFile(const QString& path, qint64 size) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(DeepestSettingsFile(size)) == size;
}

// A write changes the file: each one gets a fresh copy of the file with room for it.
Figures measure(const QString& path, const QString& op, const QString& scratch) {
    std::vector<double> times;
    Figures figures;
    for (int run = 0; run < kRuns; ++run) {
        QString target = path;
        if (op == QLatin1String("write")) {
            QFile::remove(scratch);
            QFile::copy(path, scratch);
            target = scratch;
        }
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--once"), target, op});
        child.waitForFinished(-1);
        const QList<QByteArray> said = child.readAllStandardOutput().simplified().split(' ');
        if (child.exitCode() != 0 || said.size() != 3) {
            std::printf("run failed: %s\n", child.readAllStandardError().constData());
            return {1e9, 0};
        }
        times.push_back(said[0].toDouble());
        figures.peakKb = std::max(figures.peakKb, said[1].toLongLong());
    }
    std::sort(times.begin(), times.end());
    figures.medianMs = times[times.size() / 2];
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--once"))
        return runOnce(args[2], args[3]);

    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;
    bool withinLimits = true;
    for (const qint64 size : {vxg::Registry::maxFileBytes, vxg::Registry::maxFileBytes / 4}) {
        const QString path = dir.filePath(QStringLiteral("deep.reg"));
        const QString withRoom = dir.filePath(QStringLiteral("room.reg"));
        if (!writeDeepFile(path, size) || !writeDeepFile(withRoom, size - 4096))
            return 2;
        std::printf("file of %lld bytes, keys 32 levels deep, each line a new chain:\n",
                    static_cast<long long>(size));
        for (const char* op : {"set", "list", "write"}) {
            const bool write = qstrcmp(op, "write") == 0;
            const Figures f = measure(write ? withRoom : path, QString::fromLatin1(op),
                                      dir.filePath(QStringLiteral("copy.reg")));
            std::printf("  %-5s median %9.2f ms, peak memory +%lld KB (%.1f x the file)\n", op, f.medianMs,
                        static_cast<long long>(f.peakKb), f.peakKb * 1024.0 / double(size));
            if (!write && (f.medianMs >= kReadLimitMs || f.peakKb * 1024 >= kReadMemoryFactor * size))
                withinLimits = false;
        }
    }
    return withinLimits ? 0 : 1;
}
