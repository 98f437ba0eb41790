#include "AtomicFile.h"

#include <QSaveFile>

namespace vxg {

FileWriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes, bool allowDirectFallback) {
    QSaveFile file(path);
    file.setDirectWriteFallback(allowDirectFallback);
    // Unbuffered, so that a write that fails (a full disk) fails here: a buffered QSaveFile
    // flushes inside commit(), where a failed flush goes unnoticed and a cut-off file is renamed
    // over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {FileWriteResult::Failure::Open, file.errorString()};
    // A write cut short goes on with the rest, so that the failure comes with its reason.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString error = file.errorString();
            file.cancelWriting();
            return {FileWriteResult::Failure::Write, error};
        }
        done += written;
    }
    if (!file.commit())
        return {FileWriteResult::Failure::Write, file.errorString()};
    return {};
}

} // namespace vxg
