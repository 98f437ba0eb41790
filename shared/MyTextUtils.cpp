#include "MyTextUtils.h"

QString PickStr(bool flag, const QString& whenTrue, const QString& whenFalse) {
    return flag ? whenTrue : whenFalse;
}

// An empty marker counts as not occurring, so it never splits a text at its very start.
QString TextBefore(const QString& marker, const QString& text) {
    const qsizetype at = marker.isEmpty() ? -1 : text.indexOf(marker);
    return at < 0 ? text : text.left(at);
}

QString TextAfter(const QString& marker, const QString& text) {
    const qsizetype at = marker.isEmpty() ? -1 : text.indexOf(marker);
    return at < 0 ? QString() : text.mid(at + marker.size());
}

QString NthField(const QString& text, QChar separator, qsizetype k) {
    if (k < 1)
        return QString();
    qsizetype start = 0;
    for (qsizetype piece = 1; piece < k; ++piece) {
        const qsizetype at = text.indexOf(separator, start);
        if (at < 0)
            return QString();
        start = at + 1;
    }
    const qsizetype end = text.indexOf(separator, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}
