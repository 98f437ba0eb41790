#include "Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vxg {

namespace {

bool isBareName(const QString& program) {
    return !program.contains(u'/') && !program.contains(u'\\');
}

// The executable a program name stands for. A bare name is the sibling of the running program
// (how each program starts the other) or, failing that, a program on the search path. The
// names the programs pass may still carry the ".exe" of another system.
QString resolveProgram(QString program) {
    program.replace(u'\\', u'/');
    QStringList candidates{program};
    if (program.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        candidates << program.chopped(4);
    for (const QString& name : candidates) {
        if (isBareName(name)) {
            const QString sibling = QDir(QCoreApplication::applicationDirPath()).filePath(name);
            if (QFileInfo(sibling).isFile())
                return sibling;
            const QString onPath = QStandardPaths::findExecutable(name);
            if (!onPath.isEmpty())
                return onPath;
        } else if (QFileInfo(name).isFile()) {
            return QFileInfo(name).absoluteFilePath();
        }
    }
    return {};
}

} // namespace

bool ShellStartProgram(const QString& program, const QString& parameters, const QString& workDir) {
    const QString executable = resolveProgram(program);
    if (executable.isEmpty())
        return false;
    const QString dir = workDir.isEmpty() ? QDir::currentPath() : QDir::fromNativeSeparators(workDir);
    QProcess process;
    process.setProgram(executable);
    process.setArguments(QProcess::splitCommand(parameters));
    process.setWorkingDirectory(dir);
    // The started program lives on its own: it must not hold this program's terminal or pipes
    // open, or whoever reads them (a console, a test runner) waits for it as well.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

bool ShellOpenUrl(const QString& url) {
    const QUrl target = QUrl::fromUserInput(url.trimmed());
    if (!target.isValid())
        return false;
    return QDesktopServices::openUrl(target);
}

} // namespace vxg
