#pragma once
// The whole-question buffer and the copy, cut and paste steps on one topic's questions.
//
// QuesBuffer holds what the last Copy or Cut of whole questions took, in topic order. There is
// one for the whole program: every topic window copies into it and pastes from it, and it
// outlives the window it was filled from. It is not the system clipboard.
//
// The steps below work on a topic's question list and the index of its shown question
// (CurQue, 0-based) and know nothing of windows; the topic window runs them. Its removals and
// its paste are the topic document's own (RemoveQuestions, InsertQuestions).
#include "Records.h"

extern TWorkQues QuesBuffer;

// What the copy dialog chose, in question numbers (1-based, inclusive): both 0 for the shown
// question, otherwise a range with 1 <= First < Last <= number of questions.
struct TQueChoice {
    int First = 0;
    int Last = 0;

    bool CurrentOnly() const { return First == 0 && Last == 0; }
    friend bool operator==(const TQueChoice&, const TQueChoice&) = default;
};

// Why a choice cannot be copied or cut.
enum class TChoiceCheck {
    Ok,
    NotAscending, // a range whose first number is not smaller than the last
    OutsideTopic, // a range that reaches a number no question of the topic has
    EmptiesTopic, // a cut that would take every question of the topic
};

// The checks of the copy dialog's OK, in this order: not ascending, outside the topic, and,
// for a cut, taking every question. The shown question alone is always Ok for a copy.
TChoiceCheck CheckQueChoice(const TQueChoice& choice, int questionCount, bool cut);

// The questions a choice takes, 0-based: the shown question (curQue), or the chosen range. A
// cut removes them all at once, and the question that followed them is shown.
struct TQueSpan {
    int Start = 0;
    int Count = 0;
};
TQueSpan ChosenQuestions(int curQue, const TQueChoice& choice);
