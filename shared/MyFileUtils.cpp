#include "MyFileUtils.h"

#include "Error.h"
#include "Registry.h"
#include "Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The programs name each other by their Windows file names; here they are built without the
// ending.
QString withoutExeEnding(const QString& fileName) {
    static const QString kExe = QStringLiteral(".exe");
    if (fileName.size() > kExe.size() && fileName.endsWith(kExe, Qt::CaseInsensitive))
        return fileName.chopped(kExe.size());
    return fileName;
}

// A bare name means a program of the suite, which lies beside the running one.
QString resolveProgram(const QString& fileName) {
    if (fileName.contains(u'/'))
        return fileName;
    return QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
}

} // namespace

bool LaunchProgram(const QString& fileName, const QString& parameters, const QString& workDir) {
    // The texts go to the shell whole, however long: a deep working folder must not be cut.
    return vxg::ShellStartProgram(resolveProgram(withoutExeEnding(fileName)), parameters, workDir);
}

QString FolderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

QString WithoutTrailingSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

QString ProgramFolder() {
    return WithoutTrailingSlash(QCoreApplication::applicationDirPath());
}

QString ReadLastFolder(const QString& key, const QString& valueName) {
    try {
        return vxg::Registry().readString(key, valueName);
    } catch (const vxg::Error&) {
        return {};
    }
}
