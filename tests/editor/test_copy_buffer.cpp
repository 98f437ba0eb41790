// The whole-question buffer and the checks and steps of copy and cut on a question list; the
// commands themselves are tested through the topic windows (test_copy_commands.cpp).
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

TEST_F(QuesBufferTest, CopyTakesWholeQuestionsInTopicOrder) {
    const TWorkQues a = Topic("A", 5);
    CopyChoiceToBuffer(a, 0, {2, 4});
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A2", "A3", "A4"}));
    EXPECT_EQ(QuesBuffer.at(1), a.at(2)); // every field
    CopyChoiceToBuffer(a, 4, {});
    EXPECT_EQ(Texts(QuesBuffer), QStringList({"A5"}));
}

} // namespace
