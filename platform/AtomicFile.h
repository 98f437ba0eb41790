#pragma once
// Writing a whole file so that a failure never leaves a cut-off one: the bytes go to a temporary
// file beside the target, which is renamed over the old file only once everything is written.
#include "Error.h"

#include <QByteArray>
#include <QString>

class QFileDevice;

namespace vxg {

struct FileWriteResult {
    // Damaged: the file was written in place and the write failed after it had begun to
    // change the old bytes; the file on disk is whole neither in the old nor in the new form.
    enum class Failure { None, Open, Write, Damaged };
    Failure failure = Failure::None;
    QString error; // the system's reason when something failed
    bool ok() const { return failure == Failure::None; }
};

// Raised by a writer whose file was left damaged (FileWriteResult::Failure::Damaged), so that
// its caller can tell the user the file is no longer what it was.
class FileDamagedError : public Error {
public:
    using Error::Error;
};

// Writes bytes as the whole of path. Open: the file (or its temporary file) could not be made;
// Write: writing or the rename failed, and the old file is as it was. With allowInPlace a
// folder that refuses new files lets an existing, writable file be written in place instead
// (OverwriteInPlace).
FileWriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes, bool allowInPlace = false);

// Replaces the whole content of file, an existing plain file open unbuffered for reading and
// writing, by bytes. Before the first old byte changes, the new size is reserved on the disk and
// checked against the process's file size limit, so that a full disk or the limit fails with
// Write and leaves the old file as it was, size included. Only a failure after that (a device
// error) gives Damaged. A shorter new content cuts the file only once all of it is written.
FileWriteResult OverwriteInPlace(QFileDevice& file, const QByteArray& bytes);

} // namespace vxg
