// Cards, answers, grades and the testing clock, without any window.
#include "CardsAndGrading.h"

#include "Cp1251.h"
#include "QuestionFiles.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <set>
#include <tuple>

namespace {

TQuestion Q(const QString& text, const QStringList& answers, const QString& right) {
    return {text, answers.value(0), answers.value(1), answers.value(2), answers.value(3), right};
}

TTestOptions Options(qint32 n, bool random = false) {
    TTestOptions o = FactoryTestOptions();
    o.GivenVopr = n;
    o.RandomGiveOut = random;
    return o;
}

constexpr qint32 kBig = std::numeric_limits<qint32>::max();

TEST(CardText, IsByteForByteTheStationsLayout) {
    const TWorkQues topic{Q("2+2?", {"3", "4", "5", "22"}, "2"), Q("Capital?", {"A", "B", "C", "D"}, "3")};
    TTestOptions o = Options(2);
    o.MayBack = true;
    o.ShowRights = false;
    EXPECT_EQ(vxg::cp1251::encode(CardMsgText(o, topic, {0, 1})),
              "2$yes$no$2+2?$3$4$5$22$2$Capital?$A$B$C$D$3$");
    std::swap(o.MayBack, o.ShowRights);
    EXPECT_TRUE(CardMsgText(o, topic, {1}).startsWith("1$no$yes$Capital?$"));
}

// Words played back in order, to see which words the bounded draw rejects.
struct ScriptedWords {
    QList<quint32> words;
    qsizetype used = 0;
    quint32 generate() { return words.at(used++); }
};

TEST(CardDraw, QuestionsAreDistinctInRangeAndDrawnWithoutBias) {
    // For bound 3 exactly one word of 2^32 is rejected: 0 (a scaling draw would give 0 for it).
    ScriptedWords words{{0u, 0xFFFFFFFFu, 1u, 0x80000000u}};
    EXPECT_EQ(UniformBelowOf(words, 3), 2u);
    EXPECT_EQ(words.used, 2);
    EXPECT_EQ(UniformBelowOf(words, 3), 0u);
    EXPECT_EQ(UniformBelowOf(words, 3), 1u);
    QRandomGenerator generator(7);
    EXPECT_EQ(DrawCardQuestions(3, 10, false, generator), QList<qint32>({0, 1, 2}));
    for (int round = 0; round < 40; ++round) {
        const auto [n, count] = round % 2 ? std::pair(10, 50) : std::pair(100, 100);
        const QList<qint32> card = DrawCardQuestions(n, count, true, generator);
        EXPECT_EQ(std::set<qint32>(card.begin(), card.end()).size(), size_t(n)) << "a question twice";
        EXPECT_TRUE(std::ranges::all_of(card, [&](qint32 q) { return q >= 0 && q < count; }));
    }
    for (const auto& [n, count] : {std::pair(0, 5), std::pair(-1, 5), std::pair(6, 5)})
        EXPECT_TRUE(DrawCardQuestions(n, count, true, generator).isEmpty()) << n << " of " << count;
}

TEST(CardMake, AnswersFollowTheTextAndOnlyCardsOfAtMost9999Cp1251BytesFit) {
    const TWorkQues topic = testfiles::MakeTopic(30);
    QRandomGenerator generator(11);
    const TCard card = MakeCard(Options(10, true), topic, generator);
    ASSERT_EQ(card.Answers.size(), 10);
    for (int j = 0; j < 10; ++j)
        EXPECT_EQ(card.Text.section('$', 3 + 6 * j, 3 + 6 * j),
                  topic.at(card.Answers.at(j).QueNo).QuestionText);
    EXPECT_EQ(card.Bytes, vxg::cp1251::encode(card.Text).size());
    // 9999 bytes fit, 10000 do not; a character outside the BMP is one byte ("?").
    TTestOptions one = Options(1);
    one.MayBack = one.ShowRights = false;
    const qsizetype room = CardMaxBytes - QStringLiteral("1$no$no$$a$b$c$d$1$").size();
    const std::pair<QString, bool> sized[] = {
        {QString(room, u'Ж'), true},
        {QString(room + 1, u'Ж'), false},
        {QString(room - 1, u'Ж') + QString::fromUtf8("\xF0\x9F\x98\x80"), true}};
    for (const auto& [text, fits] : sized)
        EXPECT_EQ(MakeCard(one, {Q(text, {"a", "b", "c", "d"}, "1")}, generator).Fits(), fits) << text.size();
}

TEST(GiveOutChecks, RefusalsComeInTheirOrderAndNameTheQuestion) {
    const TWorkQues topic = testfiles::MakeTopic(9);
    TWorkQues dollar = testfiles::MakeTopic(12);
    dollar[5].Answer3 = "5$";
    TWorkQues dollarRight = testfiles::MakeTopic(3);
    dollarRight[1].RightAnswer = "$";
    TTestOptions noTime = Options(3);
    noTime.MaxTime = 0;
    using P = TGiveOutProblem;
    const std::tuple<TTestOptions, TWorkQues, P, qint32> cases[] = {
        {Options(10), topic, P::TooFewQuestions, -1},
        {Options(kBig), topic, P::TooFewQuestions, -1},
        {Options(0), topic, P::DamagedSettings, -1},
        {noTime, topic, P::DamagedSettings, -1},
        {Options(9), topic, P::None, -1},
        {Options(5), dollar, P::None, -1}, // an ordered card never holds question 6
        {Options(6), dollar, P::DollarInQuestion, 5},
        {Options(3, true), dollar, P::DollarInQuestion, 5},
        {Options(3), dollarRight, P::DollarInQuestion, 1}};
    for (const auto& [options, questions, problem, queNo] : cases) {
        const TGiveOutCheck check = CheckGiveOut(options, questions);
        EXPECT_EQ(std::pair(check.Problem, check.QueNo), std::pair(problem, queNo)) << options.GivenVopr;
    }
}

TEST(StoreAnswers, PiecesAfterTheMarkerAreStoredAndMarkedWithinTheCard) {
    // Right answers 2, 3, 1, 4. Each case: text, card, limit, Given and Check per position.
    const TWorkQues topic{Q("a", {}, "2"), Q("b", {}, "3"), Q("c", {}, "1"), Q("d", {}, "4")};
    const QList<qint32> four{0, 1, 2, 3};
    const std::tuple<QString, QList<qint32>, qsizetype, QStringList, QStringList> cases[] = {
        {"CurrentChecked!!2$1$ $4", four, 4, {"2", "1", " ", "4"}, {"+", "-", "", "+"}},
        {"x CurrentChecked!!2", four, 4, {"2", "", "", ""}, {"+", "", "", ""}},
        {"no marker 2$3$1$4", four, 4, {"", "", "", ""}, {"", "", "", ""}},
        // Only "1".."4" and a blank are answers, never "#", CR or LF; a piece's first character counts.
        {"CurrentChecked!!#$\r$\n$5", four, 4, {"", "", "", ""}, {"", "", "", ""}},
        {"CurrentChecked!!0$x$3\r\n$4#", four, 4, {"", "", "3", "4"}, {"", "", "-", "+"}},
        {"CurrentChecked!!2$CurrentChecked!!3$1", four, 4, {"2", "", "1", ""}, {"+", "", "+", ""}},
        // Never past the card or the limit (N lowered after the stop); outside the topic: "-".
        {"CurrentChecked!!2$3$4$4$4", {0, 1}, 25, {"2", "3"}, {"+", "+"}},
        {"CurrentChecked!!1$1", {0, 1}, 1, {"1", "3"}, {"-", "+"}},
        {"CurrentChecked!!1$1", {0, 1}, -3, {"", "3"}, {"", "+"}},
        {"CurrentChecked!!2$ $3", {-1, 7, 1}, 3, {"2", " ", "3"}, {"-", "", "+"}},
        {"CurrentChecked!!2$3", {}, 10, {}, {}}};
    for (const auto& [text, queNos, limit, given, check] : cases) {
        QList<TCardAnswer> card = FreshCardAnswers(queNos);
        if (card.size() > 1) // an earlier message's answer: replaced wherever the limit reaches
            card[1] = {card[1].QueNo, "3", "+"};
        EXPECT_EQ(StoreCardAnswers(card, topic, text, limit), std::clamp<qsizetype>(limit, 0, queNos.size()));
        QStringList gotGiven, gotCheck;
        for (const TCardAnswer& a : card) {
            gotGiven << a.Given;
            gotCheck << a.Check;
        }
        EXPECT_EQ(gotGiven, given) << text.toStdString();
        EXPECT_EQ(gotCheck, check) << text.toStdString();
    }
}

TEST(Grading, GradeIsTheUnbrokenRunOfReachedThresholdsAndTravelsAsTheMarkMessage) {
    using T = std::array<qint32, 12>;
    const T steps{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15}, broken{0, 1, 5, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const T fromOne{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, odd{-3, 0, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9};
    const std::tuple<T, qint32, qint32> cases[] = {
        {steps, 12, 11}, {steps, 15, 12}, {steps, 0, 1},   {steps, 100, 12}, {broken, 4, 2},
        {broken, 5, 6},  {fromOne, 0, 0}, {fromOne, 1, 1}, {odd, -1, 1},     {odd, 8, 4}};
    for (const auto& [thresholds, rights, grade] : cases)
        EXPECT_EQ(GradeForRights(thresholds, rights), grade) << "rights " << rights;
    EXPECT_EQ(vxg::cp1251::encode(MarkMsgText(7)), "7$Ocenka!!$");
    EXPECT_EQ(MarkMsgText(12), "12$Ocenka!!$");
}

TEST(TestingClock, GaugeRoundsHalvesToEvenExactlyAndNeverDividesByZero) {
    // 69 / 120 x 100 = 57.5 exactly; in floating point 57.4999.. would give 57.
    const std::tuple<qint32, qint32, qint32> gauge[] = {
        {1, 20, 0},    {6, 20, 2},  {18, 20, 8},  {240, 20, 100},  {300, 20, 125}, {69, 10, 58},
        {327, 50, 54}, {1, 0, 100}, {1, -4, 100}, {kBig, kBig, 8}, {kBig, 1, kBig}};
    for (const auto& [ticks, maxTime, percent] : gauge)
        EXPECT_EQ(GaugeProgress(ticks, maxTime), percent) << ticks << " of " << maxTime;
    EXPECT_EQ(GaugeTicksAt(std::numeric_limits<qint64>::max()), kBig);
    EXPECT_EQ(MinutesPassedAt(-1), 0);
}

TEST(TestingClock, WarningOnceAMinuteBeforeTheLimitThenTheStop) {
    const qint64 min = MinuteMs;
    // elapsed ms, limit, warned before, warning due, stop due
    const std::tuple<qint64, qint32, bool, bool, bool> cases[] = {
        {19 * min - 1, 20, false, false, false},
        {19 * min, 20, false, true, false},
        {19 * min + 30000, 20, true, false, false},
        {20 * min, 20, false, false, true},
        // A blocked timer that wakes only past the limit stops without warning first.
        {20 * min + 40000, 20, false, false, true},
        {min, 1, false, false, true},
        {min, 2, false, true, false},
    };
    for (const auto& [ms, maxTime, warned, warn, stop] : cases) {
        const TMinuteStep step = MinuteStep(ms, maxTime, warned);
        EXPECT_EQ(std::tuple(step.WarnDue, step.StopDue, step.MinutesPassed),
                  std::tuple(warn, stop, qint32(ms / min)))
            << ms << " ms of " << maxTime;
    }
}

} // namespace
