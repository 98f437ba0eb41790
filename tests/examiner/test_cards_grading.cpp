// Cards, answers, grades and the testing clock, without any window.
#include "CardsAndGrading.h"

#include "Cp1251.h"
#include "QuestionFiles.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
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
    EXPECT_EQ(vxg::cp1251::encode(CardMsgText(o, topic, {0, 1})), QByteArray("2$yes$no$2+2?$3$4$5$22$2$Capital?$A$B$C$D$3$"));
    std::swap(o.MayBack, o.ShowRights);
    EXPECT_TRUE(CardMsgText(o, topic, {1}).startsWith(QStringLiteral("1$no$yes$Capital?$")));
}

TEST(CardDraw, QuestionsAreDistinctInRangeAndEveryOrderEquallyLikely) {
    QRandomGenerator generator(7);
    EXPECT_EQ(DrawCardQuestions(3, 10, false, generator), QList<qint32>({0, 1, 2}));
    const std::pair<qint32, qint32> sizes[] = {{1, 1}, {5, 5}, {10, 50}, {100, 100}}, refused[] = {{0, 5}, {-1, 5}, {6, 5}};
    for (const auto& [n, count] : sizes) {
        for (int round = 0; round < 20; ++round) {
            const QList<qint32> card = DrawCardQuestions(n, count, true, generator);
            const std::set<qint32> distinct(card.begin(), card.end());
            ASSERT_EQ(qsizetype(distinct.size()), n) << "a question twice, or a wrong count";
            EXPECT_TRUE(*distinct.begin() >= 0 && *distinct.rbegin() < count);
        }
    }
    for (const auto& [n, count] : refused)
        EXPECT_TRUE(DrawCardQuestions(n, count, true, generator).isEmpty()) << n << " of " << count;

    // The six orders of three questions over 60000 cards: chi-square under 25 on 5 degrees of
    // freedom (p < 0.0002), on a fixed seed.
    std::map<QList<qint32>, int> seen;
    for (int i = 0; i < 60000; ++i)
        ++seen[DrawCardQuestions(3, 3, true, generator)];
    ASSERT_EQ(seen.size(), 6u);
    double chi = 0;
    for (const auto& [order, times] : seen)
        chi += (times - 10000.0) * (times - 10000.0) / 10000.0;
    EXPECT_LT(chi, 25.0);
}

// Words played back in order, to see which words the bounded draw rejects.
struct ScriptedWords {
    QList<quint32> words;
    qsizetype used = 0;
    quint32 generate() { return words.at(used++); }
};

TEST(CardDraw, UniformDrawRejectsTheWordsThatWouldFavourSomeResults) {
    // For bound 3 exactly one word of 2^32 is rejected: 0 (a scaling draw would give 0 for it).
    ScriptedWords words{{0u, 0xFFFFFFFFu, 1u, 0x80000000u}};
    EXPECT_EQ(UniformBelowOf(words, 3), 2u);
    EXPECT_EQ(words.used, 2);
    EXPECT_EQ(UniformBelowOf(words, 3), 0u);
    EXPECT_EQ(UniformBelowOf(words, 3), 1u);
    QRandomGenerator generator(3);
    for (quint32 bound : {1u, 2u, 7u, 0x80000001u, 0xFFFFFFFFu})
        for (int i = 0; i < 1000; ++i)
            ASSERT_LT(UniformBelow(generator, bound), bound);
}

TEST(CardMake, AnswersFollowTheTextAndOnlyCardsOfAtMost9999Cp1251BytesFit) {
    const TWorkQues topic = testfiles::MakeTopic(30);
    QRandomGenerator generator(11);
    const TCard card = MakeCard(Options(10, true), topic, generator);
    ASSERT_EQ(card.Answers.size(), 10);
    const QStringList fields = card.Text.split(u'$');
    for (int j = 0; j < 10; ++j)
        EXPECT_EQ(fields.value(3 + 6 * j), topic.at(card.Answers.at(j).QueNo).QuestionText) << j;
    EXPECT_EQ(card.Bytes, vxg::cp1251::encode(card.Text).size());

    // 9999 bytes fit, 10000 do not; a character outside the BMP is one byte ("?").
    TTestOptions one = Options(1);
    one.MayBack = one.ShowRights = false;
    const qsizetype room = CardMaxBytes - QStringLiteral("1$no$no$$a$b$c$d$1$").size();
    const std::pair<QString, bool> sized[] = {{QString(room, u'Ж'), true},
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
    const std::tuple<TTestOptions, TWorkQues, TGiveOutProblem, qint32> cases[] = {
        {Options(10), topic, TGiveOutProblem::TooFewQuestions, -1},
        {Options(9), topic, TGiveOutProblem::None, -1},
        {Options(0), topic, TGiveOutProblem::DamagedSettings, -1},
        {Options(-5), {}, TGiveOutProblem::DamagedSettings, -1},
        {noTime, topic, TGiveOutProblem::DamagedSettings, -1},
        {Options(kBig), topic, TGiveOutProblem::TooFewQuestions, -1},
        {Options(5), dollar, TGiveOutProblem::None, -1}, // an ordered card never holds question 6
        {Options(6), dollar, TGiveOutProblem::DollarInQuestion, 5},
        {Options(3, true), dollar, TGiveOutProblem::DollarInQuestion, 5},
        {Options(3), dollarRight, TGiveOutProblem::DollarInQuestion, 1},
    };
    for (const auto& [options, questions, problem, queNo] : cases) {
        const TGiveOutCheck check = CheckGiveOut(options, questions);
        EXPECT_EQ(check.Problem, problem) << "N " << options.GivenVopr;
        EXPECT_EQ(check.QueNo, queNo) << "N " << options.GivenVopr;
    }
}

TEST(StoreAnswers, PiecesAfterTheMarkerAreStoredAndMarkedWithinTheCard) {
    // Right answers 2, 3, 1, 4.
    const TWorkQues topic{Q("a", {}, "2"), Q("b", {}, "3"), Q("c", {}, "1"), Q("d", {}, "4")};
    const std::tuple<QString, QList<qint32>, qsizetype, QStringList, QStringList> cases[] = {
        {"CurrentChecked!!2$1$ $4", {0, 1, 2, 3}, 4, {"2", "1", " ", "4"}, {"+", "-", "", "+"}},
        {"CurrentChecked!!2", {0, 1, 2, 3}, 4, {"2", "", "", ""}, {"+", "", "", ""}},
        {"station 3 CurrentChecked!!2$3$1$4$1$1$1", {0, 1, 2, 3}, 4, {"2", "3", "1", "4"}, {"+", "+", "+", "+"}},
        {"no marker 2$3$1$4", {0, 1, 2, 3}, 4, {"", "", "", ""}, {"", "", "", ""}},
        // Only "1".."4" and a blank are answers, never "#", CR or LF; a piece's first character counts.
        {"CurrentChecked!!#$\r$\n$5", {0, 1, 2, 3}, 4, {"", "", "", ""}, {"", "", "", ""}},
        {"CurrentChecked!!0$x$3\r\n$4#", {0, 1, 2, 3}, 4, {"", "", "3", "4"}, {"", "", "-", "+"}},
        {"CurrentChecked!!2$CurrentChecked!!3$1", {0, 1, 2, 3}, 4, {"2", "", "1", ""}, {"+", "", "+", ""}},
        // Never past the card or the limit (N lowered after the stop); outside the topic: "-".
        {"CurrentChecked!!2$3$4$4$4", {0, 1}, 25, {"2", "3"}, {"+", "+"}},
        {"CurrentChecked!!1$1", {0, 1}, 1, {"1", "3"}, {"-", "+"}},
        {"CurrentChecked!!1$1", {0, 1}, -3, {"", "3"}, {"", "+"}},
        {"CurrentChecked!!2$ $3", {-1, 7, 1}, 3, {"2", " ", "3"}, {"-", "", "+"}},
        {"CurrentChecked!!2$3", {}, 10, {}, {}},
    };
    for (const auto& [text, queNos, limit, given, check] : cases) {
        QList<TCardAnswer> card = FreshCardAnswers(queNos);
        if (card.size() > 1) {
            card[1].Given = "3"; // an earlier message's answer: replaced whenever the limit reaches it
            card[1].Check = "+";
        }
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

TEST(Grading, GradeIsTheUnbrokenRunOfReachedThresholds) {
    using T = std::array<qint32, 12>;
    const T steps{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15};
    const T broken{0, 1, 5, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const T fromOne{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const T odd{-3, 0, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9};
    const std::tuple<T, qint32, qint32> cases[] = {
        {steps, 12, 11}, {steps, 15, 12}, {steps, 0, 1},   {steps, 100, 12}, {broken, 4, 2},
        {broken, 5, 6},  {fromOne, 0, 0}, {fromOne, 1, 1}, {odd, -1, 1},     {odd, 8, 4}};
    for (const auto& [thresholds, rights, grade] : cases)
        EXPECT_EQ(GradeForRights(thresholds, rights), grade) << "rights " << rights;
    EXPECT_EQ(vxg::cp1251::encode(MarkMsgText(7)), QByteArray("7$Ocenka!!$"));
    EXPECT_EQ(MarkMsgText(12), "12$Ocenka!!$");
}

TEST(TestingClock, GaugeTicksAndMinutesComeFromTheElapsedTime) {
    // ticks of 5 s, limit in minutes, percent rounded half to even exactly: 69 / 120 x 100 = 57.5
    // exactly (57.4999.. in floating point would give 57).
    const std::tuple<qint32, qint32, qint32> gauge[] = {
        {1, 20, 0},   {6, 20, 2},    {18, 20, 8},   {240, 20, 100}, {0, 20, 0},        {300, 20, 125}, {69, 10, 58},
        {138, 20, 58}, {327, 50, 54}, {1, 0, 100}, {1, -4, 100},   {kBig, kBig, 8}, {kBig, 1, kBig}};
    for (const auto& [ticks, maxTime, percent] : gauge)
        EXPECT_EQ(GaugeProgress(ticks, maxTime), percent) << ticks << " of " << maxTime;
    const std::tuple<qint64, qint32, qint32> clock[] = {
        {0, 0, 0}, {4999, 0, 0}, {5000, 1, 0}, {59999, 11, 0}, {60000, 12, 1}, {-1, 0, 0},
        {std::numeric_limits<qint64>::max(), kBig, kBig}};
    for (const auto& [ms, ticks, minutes] : clock) {
        EXPECT_EQ(GaugeTicksAt(ms), ticks) << ms;
        EXPECT_EQ(MinutesPassedAt(ms), minutes) << ms;
    }
}

TEST(TestingClock, WarningOnceAMinuteBeforeTheLimitThenTheStop) {
    const qint64 min = MinuteMs;
    // elapsed ms, limit, warned before, warning due, stop due
    const std::tuple<qint64, qint32, bool, bool, bool> cases[] = {
        {19 * min - 1, 20, false, false, false}, {19 * min, 20, false, true, false},
        {19 * min + 30000, 20, true, false, false}, {20 * min, 20, false, false, true},
        // A blocked timer that wakes only past the limit stops without warning first.
        {20 * min + 40000, 20, false, false, true}, {min / 2, 1, false, false, false},
        {min, 1, false, false, true}, {min, 2, false, true, false}, {0, 0, false, false, true}};
    for (const auto& [ms, maxTime, warned, warn, stop] : cases) {
        const TMinuteStep step = MinuteStep(ms, maxTime, warned);
        EXPECT_EQ(std::tuple(step.WarnDue, step.StopDue, step.MinutesPassed), std::tuple(warn, stop, qint32(ms / min)))
            << ms << " ms of " << maxTime;
    }
}

} // namespace
