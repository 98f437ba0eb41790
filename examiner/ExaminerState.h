#pragma once
// The examiner's unit-level state: what the main window, the parameters dialog and the question
// viewer share. One instance lives for the whole run (owned by TExaminer); each window holds a
// reference to it.
#include "LinkConfig.h"
#include "Records.h"

#include <QList>
#include <QString>

enum TAttState : quint8 { StatusQuo = 0, Ready = 1, AttInProcess = 2, AttIsFinished = 3, ArhIsOpen = 4 };

// One card question of one student.
struct TCardAnswer {
    qint32 QueNo = 0; // index into TopicQuestions
    QString Given;    // "1".."4"; empty or " " = not answered (at most one character)
    QString Check;    // "+", "-", empty = not answered (at most one character)

    friend bool operator==(const TCardAnswer&, const TCardAnswer&) = default;
};

// One registered student.
struct TClient {
    QString Name;
    QString HostAddr; // dotted IPv4
    quint8 CardSent = 0;
    qint32 Mark = 0; // 1..12, 0 = not graded
    // He held his card when the stop graded: his answers and grade stand as they are. A
    // newcomer carded after the stop answers and is graded as during the testing.
    bool Stopped = false;
    QList<TCardAnswer> Answers;
};

using TNet = QList<TClient>;

struct TExaminerState {
    // WorkU
    TNet Students;
    qint32 StudentCount = 0;
    TWorkQues TopicQuestions;
    qint32 QueIndex = 0;
    QString OptionsName;
    quint8 AttState = StatusQuo;
    bool FirstGiveOut = true;
    qint32 MinutesPassed = 0;
    qint32 GaugeTicks = 0;
    qint32 SelStudent = 0;
    TQuestion CurQuestion;
    TCardAnswer CurAnswer;
    QString QuickHelpTopic;
    QString BaseCaption;
    QString ProgramDir; // with a trailing "/"
    QString WorkDir;    // without a trailing "/"
    QString StudentDir; // ProgramDir + "VXG Student/"

    // The message link's ports, limits and the testing clock (the programs use the defaults).
    TLinkConfig Link;

    // OptionsU
    TTestOptions ActiveOptions; // the parameters in force
    TTestOptions EditOptions;   // the parameters dialog's working copy
};
