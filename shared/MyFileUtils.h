#pragma once
#include <QString>

// Starts the program fileName with its parameters and working folder, without waiting.
// A bare file name is looked up beside the running program (a Windows ".exe" ending is
// dropped). Texts of any length are passed whole; the window manager decides how the new
// window shows. Returns whether it started.
bool LaunchProgram(const QString& fileName, const QString& parameters, const QString& workDir);

// The folder part of a file's path, without a trailing "/" (except the root "/" itself).
QString FolderOf(const QString& path);
// The folder without trailing "/" (the root "/" stays as it is).
QString WithoutTrailingSlash(QString folder);
// The folder of the running program's file, without a trailing "/".
QString ProgramFolder();
