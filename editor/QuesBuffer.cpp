#include "QuesBuffer.h"

TWorkQues QuesBuffer;

TChoiceCheck CheckQueChoice(const TQueChoice& choice, int questionCount, bool cut) {
    if (choice.CurrentOnly())
        return cut && questionCount <= 1 ? TChoiceCheck::EmptiesTopic : TChoiceCheck::Ok;
    if (choice.First >= choice.Last)
        return TChoiceCheck::NotAscending;
    if (choice.First < 1 || choice.Last > questionCount)
        return TChoiceCheck::OutsideTopic;
    if (cut && choice.Last - choice.First + 1 >= questionCount)
        return TChoiceCheck::EmptiesTopic;
    return TChoiceCheck::Ok;
}

TQueSpan ChosenQuestions(int curQue, const TQueChoice& choice) {
    if (choice.CurrentOnly())
        return {curQue, 1};
    return {choice.First - 1, choice.Last - choice.First + 1};
}
