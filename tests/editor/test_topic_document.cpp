// The plain classes beneath the topic window: the check of a question, load and write, the
// checks of a copy or cut, what a text field lets the user type.
#include "QuesBuffer.h"
#include "QuestionFile.h"
#include "QuestionFiles.h"
#include "TopicDocument.h"
#include "TopicU.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testfiles;

namespace {

TEST(TopicDocumentTest, QuestionIsValidOnlyWithTextAndRightAnswerOneToFourAndNoSeparator) {
    const std::pair<const char*, void (*)(TQuestion&)> faults[] = {
        {"no text", [](TQuestion& q) { q.QuestionText = ""; }},
        {"right empty", [](TQuestion& q) { q.RightAnswer = ""; }},
        {"right 0", [](TQuestion& q) { q.RightAnswer = "0"; }},
        {"right letter", [](TQuestion& q) { q.RightAnswer = "a"; }},
        {"$ in text", [](TQuestion& q) { q.QuestionText += "$"; }},
        {"$ in answer 4", [](TQuestion& q) { q.Answer4 = "4$"; }},
    };
    TQuestion noAnswers = MakeQuestion(4);
    noAnswers.Answer1 = noAnswers.Answer2 = noAnswers.Answer3 = noAnswers.Answer4 = "";
    TTopicDocument doc;
    doc.Questions = {MakeQuestion(1), noAnswers};
    EXPECT_EQ(doc.FirstFaultyQuestion(), -1);
    for (const auto& [name, fault] : faults) {
        TQuestion q = MakeQuestion(1);
        fault(q);
        doc.Questions.append(q);
        EXPECT_FALSE(TTopicDocument::IsValidQuestion(q)) << name;
        EXPECT_EQ(doc.FirstFaultyQuestion(), 2) << name;
    }
}

class TopicFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

// A failed load reports the file error and leaves the document as it was; a file of no record
// loads as one empty question.
TEST_F(TopicFileTest, LoadFailsWholeOrGivesAtLeastOneQuestion) {
    WriteTopic(path("partial.vxg"), 3);
    WriteRawFile(path("partial.vxg"), ReadRawFile(path("partial.vxg")) + QByteArray(100, 'x'));
    WriteRawFile(path("empty.vxg"), {});
    const struct {
        const char* file;
        QString error;
        bool modified;
    } cases[] = {{"missing.vxg", "File not found", true},
                 {"partial.vxg", "Read beyond end of file", true},
                 {"empty.vxg", "", false}};
    for (const auto& c : cases) {
        TTopicDocument doc;
        doc.New(path("before.vxg"));
        EXPECT_EQ(doc.Load(path(c.file)), c.error) << c.file;
        EXPECT_EQ(doc.FileName, path(c.error.isEmpty() ? c.file : "before.vxg")) << c.file;
        EXPECT_EQ(doc.Questions, TWorkQues{TQuestion{}}) << c.file;
        EXPECT_EQ(doc.Modified, c.modified) << c.file;
    }
}

TEST_F(TopicFileTest, WriteClearsModifiedOnlyWhenTheFileWasWritten) {
    TTopicDocument doc;
    doc.New(path("no such folder/topic.vxg"));
    doc.Questions = MakeTopic(2);
    EXPECT_EQ(doc.Write().text, "Path not found");
    EXPECT_TRUE(doc.Modified);

    doc.FileName = path("topic.vxg");
    EXPECT_EQ(doc.Write().text, "");
    EXPECT_FALSE(doc.Modified);
    EXPECT_EQ(ReadQuestionFile(path("topic.vxg")), MakeTopic(2));
}

TEST(CheckQueChoiceTest, RefusesWhatCannotBeCopiedOrCut) {
    const struct {
        TQueChoice choice;
        int count;
        bool cut;
        TChoiceCheck expected;
    } cases[] = {
        {{0, 0}, 1, false, TChoiceCheck::Ok},
        {{0, 0}, 1, true, TChoiceCheck::EmptiesTopic}, // the only question
        {{0, 0}, 2, true, TChoiceCheck::Ok},
        {{1, 5}, 5, false, TChoiceCheck::Ok},
        {{1, 5}, 5, true, TChoiceCheck::EmptiesTopic}, // every question
        {{1, 4}, 5, true, TChoiceCheck::Ok},
        {{3, 3}, 5, false, TChoiceCheck::NotAscending},
        {{4, 2}, 5, true, TChoiceCheck::NotAscending},
        {{1, 2}, 1, false, TChoiceCheck::OutsideTopic},
        {{0, 3}, 5, false, TChoiceCheck::OutsideTopic},
        {{4, 6}, 5, true, TChoiceCheck::OutsideTopic},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckQueChoice(c.choice, c.count, c.cut), c.expected)
            << c.choice.First << ".." << c.choice.Last << " of " << c.count << (c.cut ? " cut" : " copy");
}

TEST(QuestionTextValidatorTest, AcceptsOnlyWhatAQuestionFileStoresWithinTheTypingLimit) {
    TQuestionTextValidator v;
    const QString long250(250, u'я');
    const struct {
        QString shown; // what the program put into the field
        QString input; // what the field would hold after the user's change
        bool accepted;
    } cases[] = {
        {"", "Привет, world! №1 «ёЁ»", true},
        {"", long250, true},
        {"", long250 + "я", false},
        {QString(255, u'я'), QString(254, u'я'), true}, // a text from a file may be shortened
        {QString(255, u'я'), QString(256, u'я'), false},
        {"", "a$b", false},
        {"a$b", "a$bc", true}, // a "$" read from a file stays until it is removed
        {"a$b", "a$b$", false},
        {"", "snow \u2603", false}, // not in code page 1251
        // typed after a deletion from 255
        {QString(254, u'я'), QString(255, u'я'), false},
        {"a", "a\nb", false},
    };
    for (const auto& c : cases) {
        v.SetShownText(c.shown);
        QString input = c.input;
        int pos = 0;
        EXPECT_EQ(v.validate(input, pos) == QValidator::Acceptable, c.accepted)
            << c.input.left(20).toStdString();
    }
}

} // namespace
