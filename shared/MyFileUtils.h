#pragma once
#include <QString>

class QWidget;

// Starts the program fileName with its parameters and working folder, without waiting.
// A bare file name is looked up beside the running program (a Windows ".exe" ending is
// dropped). Texts of any length are passed whole. showCommand is kept for the callers'
// sake; the window manager decides how the new window shows. Returns whether it started.
bool LaunchProgram(QWidget* owner, const QString& fileName, const QString& parameters,
                   const QString& workDir, int showCommand);
