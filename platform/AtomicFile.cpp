#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vxg {

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes bytes from the device's position on; a write cut short goes on with the rest, so
// that a failure comes with its reason. Returns how many bytes went out.
qint64 writeAll(QFileDevice& file, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            break;
        done += written;
    }
    return done;
}

// From the file system itself: the device's own idea of the size may be one it read before.
qint64 sizeOnDisk(const QFileDevice& file) {
    struct stat info {};
    return ::fstat(file.handle(), &info) == 0 ? info.st_size : -1;
}

// A write past the process's file size limit fails at that position, even inside a file that
// is already longer: the whole new content must lie below the limit.
bool withinFileSizeLimit(qint64 size) {
    rlimit limit{};
    return getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
           static_cast<rlim_t>(size) <= limit.rlim_cur;
}

// Makes the disk hold size bytes for the file, holes of a sparse file included, or gives the
// reason why it cannot (0 when it can). Where the file system has no such call, the C library
// writes a zero byte into every block that holds none, which leaves every old byte as it was;
// what it added past the old end is cut off again when it fails part way.
int reserve(QFileDevice& file, qint64 size, qint64 oldSize) {
    if (size == 0)
        return 0;
    if (!withinFileSizeLimit(size))
        return EFBIG;
    const int error = posix_fallocate(file.handle(), 0, size);
    if (error != 0 && sizeOnDisk(file) != oldSize && ::ftruncate(file.handle(), oldSize) != 0)
        return errno;
    return error;
}

} // namespace

FileWriteResult OverwriteInPlace(QFileDevice& file, const QByteArray& bytes) {
    const qint64 oldSize = sizeOnDisk(file);
    if (oldSize < 0)
        return {FileWriteResult::Failure::Open, systemReason(errno)};
    if (const int error = reserve(file, bytes.size(), oldSize); error != 0) {
        const bool restored = sizeOnDisk(file) == oldSize;
        return {restored ? FileWriteResult::Failure::Write : FileWriteResult::Failure::Damaged,
                systemReason(error)};
    }
    if (!file.seek(0))
        return {FileWriteResult::Failure::Write, file.errorString()};
    const qint64 written = writeAll(file, bytes);
    if (written < bytes.size()) {
        const QString reason = file.errorString();
        // Nothing of the old content changed when the first write failed: only what the
        // reservation added past the old end has to go again.
        if (written == 0 && ::ftruncate(file.handle(), oldSize) == 0)
            return {FileWriteResult::Failure::Write, reason};
        return {FileWriteResult::Failure::Damaged, reason};
    }
    // The old content's tail goes only now that the new content is whole.
    if ((oldSize > bytes.size() && ::ftruncate(file.handle(), bytes.size()) != 0) ||
        ::fsync(file.handle()) != 0)
        return {FileWriteResult::Failure::Damaged, systemReason(errno)};
    return {};
}

FileWriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes, bool allowInPlace) {
    QSaveFile file(path);
    // Unbuffered, so that a write that fails (a full disk) fails here: a buffered QSaveFile
    // flushes inside commit(), where a failed flush goes unnoticed and a cut-off file is renamed
    // over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // No temporary file beside it: an existing plain file is written in place, and is never
        // cut to be rewritten (QSaveFile's own fallback would truncate it first).
        QFile existing(path);
        if (!allowInPlace || !QFileInfo(path).isFile())
            return {FileWriteResult::Failure::Open, file.errorString()};
        if (!existing.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
            return {FileWriteResult::Failure::Open, existing.errorString()};
        return OverwriteInPlace(existing, bytes);
    }
    if (writeAll(file, bytes) < bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return {FileWriteResult::Failure::Write, error};
    }
    if (!file.commit())
        return {FileWriteResult::Failure::Write, file.errorString()};
    return {};
}

} // namespace vxg
