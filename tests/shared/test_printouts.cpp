// The question-list and parameter-set printouts: their exact lines in both languages, and what
// reaches the printer.
#include "Globals.h"
#include "LanguageTest.h"
#include "PrinterDevice.h"
#include "Printouts.h"
#include "RecordingPrinter.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

using vxg::RecordingPrinter;

namespace {

class Printouts : public LanguageTest {
protected:
    void SetUp() override {
        useLanguage(200);
        auto p = std::make_unique<RecordingPrinter>();
        prn = p.get();
        vxg::SetCurrentPrinter(std::move(p));
    }
    void TearDown() override {
        vxg::SetCurrentPrinter(nullptr);
        ScriptedDialogs::uninstall();
        SetQuestionLabelIds(84, 86);
        LanguageTest::TearDown();
    }
    static TTestOptions exampleSet() {
        TTestOptions o;
        o.GivenVopr = 10;
        o.Na = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15};
        o.TimeBool = true;
        o.MaxTime = 20;
        o.RandomGiveOut = true;
        o.MayBack = true;
        o.ShowRights = true;
        return o;
    }
    static TWorkQues threeQuestions() {
        return {
            {"What is 2 + 2?", "3", "4", "5", "22", "2"},
            {"Capital of France?", "Paris", "Lyon", "", "Nice", "0"},
            {"Largest planet?", "Mars", "Venus", "Jupiter", "Earth", "3"},
        };
    }
    QList<int> fontSizes() const {
        QList<int> out;
        for (const auto& item : prn->items)
            out << item.fontSize;
        return out;
    }

    RecordingPrinter* prn = nullptr;
};

TEST_F(Printouts, ParameterSetLinesInEnglish) {
    const QStringList expected{
        " ",
        "Questions amount in the cards: 10",
        " ",
        "Grade evaluations:",
        "12  points -- 15 correct answers          6  points -- 5 correct answers",
        "11  points -- 10 correct answers          5  points -- 4 correct answers",
        "10  points -- 9 correct answers          4  points -- 3 correct answers",
        "9  points -- 8 correct answers          3  points -- 2 correct answers",
        "8  points -- 7 correct answers          2  points -- 1 correct answers",
        "7  points -- 6 correct answers          1  points -- 0 correct answers",
        " ",
        "Limit testing time: Yes",
        "   Time limit: 20 minutes",
        " ",
        "Distribute questions in mixed order: Yes",
        "Allow return to studied questions: Yes",
        "Show correct variants of answers after evaluation: Yes",
    };
    EXPECT_EQ(TestOptionsLines(exampleSet()), expected);
}

TEST_F(Printouts, ParameterSetWithoutTimeLimitHasNeitherTimeLineNorSpacer) {
    TTestOptions o = exampleSet();
    o.TimeBool = false;
    o.MaxTime = 45; // not printed
    o.RandomGiveOut = false;
    o.ShowRights = false;
    const QStringList lines = TestOptionsLines(o);
    ASSERT_EQ(lines.size(), 15);
    EXPECT_EQ(lines.mid(11), (QStringList{"Limit testing time: No", "Distribute questions in mixed order: No",
                                          "Allow return to studied questions: Yes",
                                          "Show correct variants of answers after evaluation: No"}));
}

TEST_F(Printouts, ParameterSetInRussianKeepsYesAndNoEnglish) {
    useLanguage(0);
    const QStringList lines = TestOptionsLines(exampleSet());
    EXPECT_EQ(lines[1], "Кол-во вопросов в билете: 10");
    EXPECT_EQ(lines[3], "Критерии оценивания:");
    EXPECT_EQ(lines[4], "12  баллов -- 15 правильных ответов          6  баллов -- 5 правильных ответов");
    EXPECT_EQ(lines[11], "Ограничить время тестирования: Yes");
    EXPECT_EQ(lines[12], "   Установлено ограничение: 20 минут");
    EXPECT_EQ(lines[16], "По окончании  показывать правильные варианты ответов: Yes");
}

TEST_F(Printouts, PrintTestOptionsPrintsTheTitleAtTwelveAndTheLinesAtTen) {
    PrintTestOptions(QStringLiteral("Default"), exampleSet());
    const QStringList expected = QStringList{"Settings name: Default"} + TestOptionsLines(exampleSet());
    EXPECT_EQ(prn->texts(), expected);
    ASSERT_FALSE(prn->items.isEmpty());
    EXPECT_EQ(fontSizes().first(), 12);
    EXPECT_EQ(fontSizes().count(10), expected.size() - 1);
    EXPECT_EQ(prn->jobsEnded, 1);
}

TEST_F(Printouts, QuestionListWithAndWithoutAnswers) {
    const TWorkQues qs = threeQuestions();
    const QStringList without = QuestionListLines(qs, false);
    const QStringList with = QuestionListLines(qs, true);
    ASSERT_EQ(without.size(), 21);
    ASSERT_EQ(with.size(), 24);
    EXPECT_EQ(without.mid(7, 7), (QStringList{" ", "Question:2", "Capital of France?", "   1) Paris",
                                              "   2) Lyon", "   3) ", "   4) Nice"}));
    EXPECT_EQ(with.mid(16, 8), (QStringList{" ", "Question:3", "Largest planet?", "   1) Mars", "   2) Venus",
                                            "   3) Jupiter", "   4) Earth", "  Correct answer № 3"}));
    EXPECT_EQ(with[15], "  Correct answer № 0"); // a right answer of "0" is printed as it stands
    QStringList stripped = with;
    stripped.removeAt(23);
    stripped.removeAt(15);
    stripped.removeAt(7);
    EXPECT_EQ(stripped, without);
}

TEST_F(Printouts, QuestionListLabelsFollowTheLanguageAndTheProgramsIds) {
    useLanguage(0);
    const QStringList ru = QuestionListLines(threeQuestions(), true);
    EXPECT_EQ(ru[1], "Текст вопроса:1");
    EXPECT_EQ(ru[7], "  Правильный ответ № 2");

    // A program whose labels sit under other ids takes them from there.
    useLanguage(200);
    SetQuestionLabelIds(91, 93);
    const QStringList other = QuestionListLines(threeQuestions(), true);
    EXPECT_EQ(other[1], "Settings name:1");
    EXPECT_EQ(other[7], "  Questions amount in the cards: 2");
}

TEST_F(Printouts, EmptyQuestionListPrintsOnlyTheTitle) {
    PrintQuestionList(QStringLiteral("topic.vxg"), {}, true);
    EXPECT_EQ(prn->texts(), QStringList{"topic.vxg"});
    EXPECT_EQ(prn->jobsEnded, 1);
}

TEST_F(Printouts, AskPrintQuestionListPrintsWhatTheAnswerSays) {
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    const TWorkQues qs = threeQuestions();

    dialogs->answerNext(vxg::DlgResult::Cancel);
    AskPrintQuestionList(QStringLiteral("topic.vxg"), qs);
    EXPECT_EQ(prn->jobs, 0);
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].kind, vxg::DlgKind::Confirmation);
    EXPECT_EQ(dialogs->boxes[0].text, "Show correct answers to print?");
    EXPECT_EQ(dialogs->boxes[0].buttons, vxg::DlgButtons::YesNoCancel);

    dialogs->answerNext(vxg::DlgResult::Yes);
    AskPrintQuestionList(QStringLiteral("topic.vxg"), qs);
    EXPECT_EQ(prn->texts(), QStringList{"topic.vxg"} + QuestionListLines(qs, true));
    EXPECT_EQ(prn->items.first().fontSize, 12);
    EXPECT_EQ(prn->items.last().fontSize, 10);

    dialogs->answerNext(vxg::DlgResult::No);
    AskPrintQuestionList(QStringLiteral("topic.vxg"), qs);
    EXPECT_EQ(prn->texts(), QStringList{"topic.vxg"} + QuestionListLines(qs, false));
    EXPECT_EQ(prn->jobs, 2);
    EXPECT_EQ(dialogs->boxes.size(), 3);
}

} // namespace
