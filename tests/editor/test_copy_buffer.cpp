// The whole-question buffer and the copy, cut and paste steps on a topic's question list.
#include "QuesBuffer.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// A topic whose questions are named prefix + number: "A1", "A2", ...
TWorkQues Topic(const QString& prefix, int count) {
    TWorkQues questions;
    for (int k = 1; k <= count; ++k) {
        TQuestion q;
        q.QuestionText = prefix + QString::number(k);
        q.Answer1 = q.QuestionText + QStringLiteral(" answer");
        q.RightAnswer = QString::number(1 + k % 4);
        questions.append(q);
    }
    return questions;
}

QStringList Texts(const TWorkQues& questions) {
    QStringList out;
    for (const TQuestion& q : questions)
        out << q.QuestionText;
    return out;
}

// The cut as the topic window runs it: fill the buffer, then delete the shown question as
// often as the choice says, starting where it says.
void Cut(TWorkQues& questions, int& curQue, const TQueChoice& choice) {
    CopyChoiceToBuffer(questions, curQue, choice);
    const TCutSteps steps = CutStepsFor(curQue, choice);
    curQue = steps.Start;
    for (int i = 0; i < steps.Count; ++i)
        DeleteQueAt(questions, curQue);
}

class QuesBufferTest : public ::testing::Test {
protected:
    void SetUp() override { QuesBuffer.clear(); }
    void TearDown() override { QuesBuffer.clear(); }
};

TEST(CheckQueChoiceTest, RefusesWhatCannotBeCopiedOrCut) {
    struct Case {
        TQueChoice choice;
        int count;
        bool cut;
        TChoiceCheck expected;
    };
    const Case cases[] = {
        {{0, 0}, 1, false, TChoiceCheck::Ok},
        {{0, 0}, 1, true, TChoiceCheck::EmptiesTopic}, // the only question
        {{0, 0}, 2, true, TChoiceCheck::Ok},
        {{2, 4}, 5, false, TChoiceCheck::Ok},
        {{1, 5}, 5, false, TChoiceCheck::Ok},
        {{1, 5}, 5, true, TChoiceCheck::EmptiesTopic}, // every question
        {{1, 4}, 5, true, TChoiceCheck::Ok},
        {{3, 3}, 5, false, TChoiceCheck::NotAscending},
        {{4, 2}, 5, true, TChoiceCheck::NotAscending},
        {{1, 2}, 1, false, TChoiceCheck::OutsideTopic}, // question 2 does not exist
        {{0, 3}, 5, false, TChoiceCheck::OutsideTopic},
        {{-1, 2}, 5, false, TChoiceCheck::OutsideTopic},
        {{4, 6}, 5, true, TChoiceCheck::OutsideTopic},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckQueChoice(c.choice, c.count, c.cut), c.expected)
            << c.choice.First << ".." << c.choice.Last << " of " << c.count << (c.cut ? " cut" : " copy");
    }
}

TEST_F(QuesBufferTest, CopiedRangePastedBeforeTheShownQuestion) {
    const TWorkQues a = Topic("A", 5);
    TWorkQues b = Topic("B", 3);
    CopyChoiceToBuffer(a, 0, {2, 4});
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A2", "A3", "A4"}));

    int curQue = 0;
    PasteQuesFromBuffer(b, curQue);
    EXPECT_EQ(Texts(b), QStringList({"A2", "A3", "A4", "B1", "B2", "B3"}));
    EXPECT_EQ(curQue, 0);
    EXPECT_EQ(b.at(1), a.at(2)); // whole questions, every field

    // The buffer stays: a second paste, here before the shown B2, inserts the same again.
    curQue = 4;
    PasteQuesFromBuffer(b, curQue);
    EXPECT_EQ(Texts(b), QStringList({"A2", "A3", "A4", "B1", "A2", "A3", "A4", "B2", "B3"}));
    EXPECT_EQ(curQue, 4);
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A2", "A3", "A4"}));
}

TEST_F(QuesBufferTest, PasteIntoItsOwnTopicAndBeforeTheLastQuestion) {
    TWorkQues a = Topic("A", 3);
    CopyChoiceToBuffer(a, 2, {});
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A3"}));
    int curQue = 2;
    PasteQuesFromBuffer(a, curQue);
    EXPECT_EQ(Texts(a), QStringList({"A1", "A2", "A3", "A3"}));
    EXPECT_EQ(curQue, 2);
}

TEST_F(QuesBufferTest, EveryCopyReplacesTheBuffer) {
    const TWorkQues a = Topic("A", 5);
    CopyChoiceToBuffer(a, 0, {1, 5});
    CopyChoiceToBuffer(a, 3, {});
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A4"}));
}

TEST_F(QuesBufferTest, CutRemovesExactlyTheChosenQuestions) {
    struct Case {
        TQueChoice choice;
        int shownBefore; // 0-based
        QStringList left;
        int shownAfter;
        QStringList buffer;
    };
    const Case cases[] = {
        {{2, 3}, 0, {"A1", "A4", "A5"}, 1, {"A2", "A3"}}, // the former question 4 is shown as 2
        {{2, 3}, 4, {"A1", "A4", "A5"}, 1, {"A2", "A3"}}, // whichever question was shown
        {{4, 5}, 1, {"A1", "A2", "A3"}, 2, {"A4", "A5"}}, // reaching the end: question 3 shown
        {{1, 4}, 2, {"A5"}, 0, {"A1", "A2", "A3", "A4"}},
        {{0, 0}, 2, {"A1", "A2", "A4", "A5"}, 2, {"A3"}}, // the shown one, as Delete does it
        {{0, 0}, 4, {"A1", "A2", "A3", "A4"}, 3, {"A5"}}, // the last one: the one before is shown
    };
    for (const Case& c : cases) {
        TWorkQues a = Topic("A", 5);
        int curQue = c.shownBefore;
        Cut(a, curQue, c.choice);
        EXPECT_EQ(Texts(a), c.left) << c.choice.First << ".." << c.choice.Last;
        EXPECT_EQ(curQue, c.shownAfter) << c.choice.First << ".." << c.choice.Last;
        EXPECT_EQ(Texts(QuesBuffer), c.buffer);
    }
}

} // namespace
