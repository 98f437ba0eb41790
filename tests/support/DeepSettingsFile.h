#pragma once
// The settings file that holds the most keys within the reader's limits: every line opens a new
// chain of keys as deep as allowed, padded with line ends to the size asked for. The worst case of
// a read, for the settings tests and the settings benchmark, and how much memory a read took.
#include "Registry.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <unistd.h>

inline QByteArray DeepestSettingsFile(qint64 size) {
    const QByteArray chain = QByteArray("\\a").repeated(vxg::Registry::maxKeyDepth - 1) + "]\n";
    QByteArray bytes;
    bytes.reserve(size);
    for (int n = 0;; ++n) {
        const QByteArray line = '[' + QByteArray::number(n, 36) + chain;
        if (bytes.size() + line.size() > size)
            break;
        bytes += line;
    }
    return bytes + QByteArray(size - bytes.size(), '\n');
}

// The resident size now, in KB.
inline qint64 ResidentKb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE) / 1024;
}

// The start-up's own peak (the libraries loaded, the memory it freed again) is forgotten, so that
// the high-water mark afterwards (PeakResidentKb) is what came since.
inline void ResetPeakResident() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

inline qint64 PeakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}
