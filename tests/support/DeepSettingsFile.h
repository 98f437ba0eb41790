#pragma once
// The settings file that holds the most keys within the reader's limits: every line opens a new
// chain of keys as deep as allowed, padded with line ends to the size asked for. The worst case of
// a read, for the settings tests and the settings benchmark.
#include "Registry.h"

#include <QByteArray>

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
