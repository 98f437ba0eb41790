#pragma once
// The records both programs share: one question, a growable array of them, one set of testing
// parameters.
#include <QList>
#include <QString>
#include <array>

// One multiple-choice question. Texts hold at most 255 characters (single-byte, code page
// 1251 on disk); RightAnswer is "1".."4", "0" or empty meaning not set.
struct TQuestion {
    QString QuestionText;
    QString Answer1;
    QString Answer2;
    QString Answer3;
    QString Answer4;
    QString RightAnswer;

    friend bool operator==(const TQuestion&, const TQuestion&) = default;
};

using TWorkQues = QList<TQuestion>;

// One testing-parameter set. Na[n - 1] is Na<n>: right answers needed for grade n.
struct TTestOptions {
    qint32 GivenVopr = 0;
    std::array<qint32, 12> Na{};
    bool TimeBool = false;
    qint32 MaxTime = 0;
    bool RandomGiveOut = false;
    bool MayBack = false;
    bool ShowRights = false;

    friend bool operator==(const TTestOptions&, const TTestOptions&) = default;
};

// The factory values of the set "Default".
TTestOptions FactoryTestOptions();
