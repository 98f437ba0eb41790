#pragma once
// Printouts of a topic's question list and of one testing-parameter set.
#include "Records.h"

#include <QString>

// The two labels whose ids differ between the programs: the examiner uses 84 and 86, the
// editor 45 and 47. Each program sets its pair at start.
void SetQuestionLabelIds(int questionLabelId, int rightAnswerLabelId);

void PrintQuestionList(const QString& title, const TWorkQues& questions, bool withAnswers);
// Asks "Show correct answers to print?" [Yes, No, Cancel] and prints accordingly.
void AskPrintQuestionList(const QString& title, const TWorkQues& questions);
void PrintTestOptions(const QString& name, const TTestOptions& options);

// The lines the printouts print (without the title), for the printing and for tests.
QStringList QuestionListLines(const TWorkQues& questions, bool withAnswers);
QStringList TestOptionsLines(const TTestOptions& options);
