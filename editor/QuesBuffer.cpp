#include "QuesBuffer.h"

#include <QtGlobal>

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

void CopyQueToBuffer(const TWorkQues& questions, int index) {
    QuesBuffer.clear();
    QuesBuffer.append(questions.at(index));
}

void CopyQuesToBuffer(const TWorkQues& questions, int first, int last) {
    Q_ASSERT(0 <= first && first <= last && last < questions.size());
    QuesBuffer = questions.mid(first, last - first + 1);
}

void CopyChoiceToBuffer(const TWorkQues& questions, int curQue, const TQueChoice& choice) {
    if (choice.CurrentOnly())
        CopyQueToBuffer(questions, curQue);
    else
        CopyQuesToBuffer(questions, choice.First - 1, choice.Last - 1);
}

TCutSteps CutStepsFor(int curQue, const TQueChoice& choice) {
    if (choice.CurrentOnly())
        return {curQue, 1};
    return {choice.First - 1, choice.Last - choice.First + 1};
}
