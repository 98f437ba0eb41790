#pragma once
#include <QString>

// Starts the program fileName with its parameters and working folder, without waiting.
// A bare file name is looked up beside the running program (the shell drops a Windows ".exe"
// ending). Texts of any length are passed whole; the window manager decides how the new
// window shows. Returns whether it started.
bool LaunchProgram(const QString& fileName, const QString& parameters, const QString& workDir);

// The folder part of a file's path, without a trailing "/" (except the root "/" itself).
QString FolderOf(const QString& path);
// The folder without trailing "/" (the root "/" stays as it is).
QString WithoutTrailingSlash(QString folder);
// The folder of the running program's file, without a trailing "/".
QString ProgramFolder();

// The folder a program remembers for its file dialogs, stored under valueName of its registry
// key; empty when there is none. One that cannot be read (a value of another type) counts as
// none: reporting it would stop the command before its dialog every time, and only the
// dialog's next confirmed choice stores a readable one.
QString ReadLastFolder(const QString& key, const QString& valueName);
