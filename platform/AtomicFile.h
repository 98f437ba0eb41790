#pragma once
// Writing a whole file so that a failure never leaves a cut-off one: the bytes go to a temporary
// file beside the target, which is renamed over the old file only once everything is written.
#include <QByteArray>
#include <QString>

namespace vxg {

struct FileWriteResult {
    enum class Failure { None, Open, Write };
    Failure failure = Failure::None;
    QString error; // the system's reason when something failed
    bool ok() const { return failure == Failure::None; }
};

// Writes bytes as the whole of path. Open: the file (or its temporary file) could not be made;
// Write: writing or the rename failed, and the old file is as it was. With allowDirectFallback a
// folder that refuses new files lets an existing, writable file be written in place instead; a
// write that fails there may leave that file cut off, as nothing else can be done.
FileWriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes,
                                    bool allowDirectFallback = false);

} // namespace vxg
