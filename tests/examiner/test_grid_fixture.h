#pragma once
// The examiner's real main window for the grid, topic and viewer tests: a program folder that
// is already adapted (so no network adaptation runs), scripted dialogs, English texts, and
// helpers that put students and cards in place the way registration and give-out leave them.
#include "test_work_support.h"

#include "ExaminerApp.h"
#include "Globals.h"
#include "QuestionFiles.h"
#include "Registry.h"
#include "ScriptedDialogs.h"
#include "StringGrid.h"
#include "WorkU.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class ExaminerWindowTest : public ExaminerTest {
protected:
    void SetUp() override {
        ExaminerTest::SetUp();
        makeAdaptedFolder(QByteArray(16, '\0'));
        w = start().WorkF();
        s = &examiner->State;
        ASSERT_EQ(LangOffset, 200);
    }

    void setQuestionsPerCard(int n) { s->ActiveOptions.GivenVopr = n; }

    // What registration leaves: the table entry, the selector item and the grid row.
    void registerStudents(int count) {
        for (int k = 0; k < count; ++k) {
            TClient c;
            c.Name = QStringLiteral("Student %1").arg(s->Students.size() + 1);
            c.HostAddr = QStringLiteral("10.0.0.%1").arg(s->Students.size() + 1);
            s->Students.append(c);
            w->StudentName->addItem(c.Name);
            s->StudentCount = static_cast<qint32>(s->Students.size());
            w->StringGrid->SetRowCount(s->StudentCount + 1);
            w->StringGrid->SetCell(0, s->StudentCount, c.Name);
        }
        w->ApplyGridHeight();
    }

    // A card of `length` questions (question i of the topic at position i) with the given
    // answers ('1'..'4' or ' ' for unanswered), marked and written into the grid as the answer
    // handling does.
    void giveCard(int student, int length, const QString& answers = {}) {
        TClient& c = s->Students[student];
        c.CardSent = 1;
        c.Answers.clear();
        for (int i = 0; i < length; ++i) {
            TCardAnswer a;
            a.QueNo = i;
            a.Given = i < answers.size() && answers[i] != QLatin1Char(' ') ? QString(answers[i]) : QString();
            if (!a.Given.isEmpty() && i < s->TopicQuestions.size())
                a.Check =
                    a.Given == s->TopicQuestions[i].RightAnswer ? QStringLiteral("+") : QStringLiteral("-");
            c.Answers.append(a);
            w->StringGrid->SetCell(i + 2, student + 1, a.Check);
        }
    }

    QString cell(int col, int row) const { return w->StringGrid->Cell(col, row); }

    TWorkF* w = nullptr;
    TExaminerState* s = nullptr;
};
