#pragma once
// What the programs ask of the desktop shell: start a program, open a web address.
#include <QString>

namespace vxg {

// Starts program (a path, or a bare file name looked up beside the running program) with the
// given parameters (split at blanks) in workDir, without waiting and without a share of this
// program's standard input and output. False when it could not start.
bool ShellStartProgram(const QString& program, const QString& parameters, const QString& workDir);

// Opens a web address in the default browser. False when nothing could open it.
bool ShellOpenUrl(const QString& url);

} // namespace vxg
