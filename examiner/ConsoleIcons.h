#pragma once
// The images of the examiner's commands and its program icon, drawn by the program itself so
// that they look the same under every desktop theme.
#include <QIcon>
#include <QPixmap>

enum class TConsoleIcon {
    OpenTopic,
    CloseTopic,
    Options,
    LoadArhiv,
    CloseArhiv,
    QuickHelp,
    Exit,
    GiveOut,
    Stop,
    SaveResults,
    Print,
    NewAtt,
};

QIcon ConsoleIcon(TConsoleIcon kind);

// The examiner's program icon (window icon and the About box), side x side pixels.
QPixmap ExaminerProgramPixmap(int side = 32);
