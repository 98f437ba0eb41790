#include "MyFileUtils.h"

#include "Error.h"
#include "Registry.h"
#include "Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// A bare name means a program of the suite, which lies beside the running one.
QString resolveProgram(const QString& fileName) {
    if (fileName.contains(u'/'))
        return fileName;
    return QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
}

} // namespace

bool LaunchProgram(const QString& fileName, const QString& parameters, const QString& workDir) {
    // The texts go to the shell whole, however long: a deep working folder must not be cut.
    return vxg::ShellStartProgram(resolveProgram(fileName), parameters, workDir);
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
