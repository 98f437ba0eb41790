// Cards, answers, grades and the testing clock, driven without any window.
#include "CardsAndGrading.h"

#include "Cp1251.h"
#include "MyTextUtils.h"
#include "QuestionFiles.h"
#include "Records.h"

#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <tuple>
#include <utility>

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

// Words played back in order, to see what the draw does with the words a generator gives.
struct ScriptedWords {
    QList<quint32> words;
    qsizetype used = 0;
    quint32 generate() { return words.at(used++); }
};

TEST(CardText, TwoQuestionCardIsByteForByteTheStationsLayout) {
    const TWorkQues topic{Q("2+2?", {"3", "4", "5", "22"}, "2"), Q("Capital?", {"A", "B", "C", "D"}, "3")};
    TTestOptions o = Options(2);
    o.MayBack = true;
    o.ShowRights = false;
    EXPECT_EQ(vxg::cp1251::encode(CardMsgText(o, topic, {0, 1})),
              QByteArray("2$yes$no$2+2?$3$4$5$22$2$Capital?$A$B$C$D$3$"));

    // The head follows the flags; Cyrillic goes out as single cp1251 bytes.
    o.MayBack = false;
    o.ShowRights = true;
    const TWorkQues cyr{Q("Столица?", {"Киев", "Минск", "", "Рига"}, "4")};
    const QByteArray expected = QByteArray("1$no$yes$") + "\xD1\xF2\xEE\xEB\xE8\xF6\xE0?$" +
                                "\xCA\xE8\xE5\xE2$" + "\xCC\xE8\xED\xF1\xEA$" + "$" + "\xD0\xE8\xE3\xE0$" +
                                "4$";
    EXPECT_EQ(vxg::cp1251::encode(CardMsgText(o, cyr, {0})), expected);
}

TEST(CardDraw, OrderedAndRandomDrawsGiveDistinctQuestionsInRange) {
    QRandomGenerator generator(7);
    EXPECT_EQ(DrawCardQuestions(3, 10, false, generator), QList<qint32>({0, 1, 2}));
    for (const auto& [n, count] :
         std::initializer_list<std::pair<qint32, qint32>>{{1, 1}, {5, 5}, {10, 50}, {100, 100}}) {
        for (int round = 0; round < 20; ++round) {
            const QList<qint32> card = DrawCardQuestions(n, count, true, generator);
            ASSERT_EQ(card.size(), n);
            const std::set<qint32> distinct(card.begin(), card.end());
            EXPECT_EQ(qsizetype(distinct.size()), n) << "a question occurs twice";
            EXPECT_GE(*distinct.begin(), 0);
            EXPECT_LT(*distinct.rbegin(), count);
        }
    }
    for (const auto& [n, count] : std::initializer_list<std::pair<qint32, qint32>>{{0, 5}, {-1, 5}, {6, 5}})
        EXPECT_TRUE(DrawCardQuestions(n, count, true, generator).isEmpty()) << n << " of " << count;
}

TEST(CardDraw, RandomOrdersAreEquallyLikely) {
    // All six orders of a three-question topic, 60000 cards: each near 10000. The bound is a
    // chi-square of 25 on 5 degrees of freedom (p < 0.0002), on a fixed seed.
    QRandomGenerator generator(2024);
    std::map<QList<qint32>, int> seen;
    const int cards = 60000;
    for (int i = 0; i < cards; ++i)
        ++seen[DrawCardQuestions(3, 3, true, generator)];
    ASSERT_EQ(seen.size(), 6u);
    double chi = 0;
    for (const auto& [order, times] : seen)
        chi += (times - cards / 6.0) * (times - cards / 6.0) / (cards / 6.0);
    EXPECT_LT(chi, 25.0);
}

TEST(CardDraw, UniformDrawRejectsTheWordsThatWouldFavourSomeResults) {
    // For bound 3 exactly one word of 2^32 is rejected: 0 (a scaling draw would give 0 for it).
    ScriptedWords words{{0u, 0xFFFFFFFFu}};
    EXPECT_EQ(UniformBelowOf(words, 3), 2u);
    EXPECT_EQ(words.used, 2);
    // Words whose low product half reaches the remainder are taken at once.
    ScriptedWords once{{1u, 0x80000000u, 0xFFFFFFFFu}};
    EXPECT_EQ(UniformBelowOf(once, 3), 0u);
    EXPECT_EQ(UniformBelowOf(once, 3), 1u);
    EXPECT_EQ(UniformBelowOf(once, 3), 2u);
    ScriptedWords none{{}};
    EXPECT_EQ(UniformBelowOf(none, 1), 0u);
    QRandomGenerator generator(3);
    for (quint32 bound : {2u, 7u, 1000u, 0x80000001u, 0xFFFFFFFFu})
        for (int i = 0; i < 1000; ++i)
            ASSERT_LT(UniformBelow(generator, bound), bound);
}

TEST(CardMake, AnswersFollowTheTextAndSizeIsCountedInCp1251Bytes) {
    const TWorkQues topic = testfiles::MakeTopic(30);
    QRandomGenerator generator(11);
    const TCard card = MakeCard(Options(10, true), topic, generator);
    ASSERT_EQ(card.Answers.size(), 10);
    const QStringList fields = card.Text.split(u'$');
    ASSERT_EQ(fields.size(), 3 + 10 * 6 + 1);
    for (int j = 0; j < 10; ++j) {
        const TCardAnswer& a = card.Answers.at(j);
        EXPECT_EQ(fields.at(3 + 6 * j), topic.at(a.QueNo).QuestionText) << "position " << j;
        EXPECT_TRUE(a.Given.isEmpty() && a.Check.isEmpty());
    }
    EXPECT_EQ(card.Bytes, vxg::cp1251::encode(card.Text).size());
    EXPECT_TRUE(card.Fits());

    // Ten questions of five 255-letter texts do not fit a frame: no card, never a cut one.
    const TWorkQues longTopic(10, testfiles::MakeLongQuestion());
    const TCard tooLong = MakeCard(Options(10), longTopic, generator);
    EXPECT_GT(tooLong.Bytes, CardMaxBytes);
    EXPECT_FALSE(tooLong.Fits());

    // The limit is on bytes: 9999 fit, 10000 do not; a character outside the BMP is one byte.
    TTestOptions one = Options(1);
    one.MayBack = false;
    one.ShowRights = false;
    const QString head = QStringLiteral("1$no$no$");
    const QString tail = QStringLiteral("$a$b$c$d$1$");
    const qsizetype room = CardMaxBytes - head.size() - tail.size();
    const std::pair<QString, bool> sized[] = {
        {QString(room, u'Ж'), true},
        {QString(room + 1, u'Ж'), false},
        {QString(room - 1, u'Ж') + QString::fromUtf8("\xF0\x9F\x98\x80"), true}};
    for (const auto& [text, fits] : sized) {
        const TCard c = MakeCard(one, {Q(text, {"a", "b", "c", "d"}, "1")}, generator);
        EXPECT_EQ(c.Fits(), fits) << c.Bytes;
    }
}

TEST(GiveOutChecks, RefusalsComeInTheirOrderAndNameTheQuestion) {
    TWorkQues topic = testfiles::MakeTopic(9);
    TWorkQues dollar = testfiles::MakeTopic(12);
    dollar[5].Answer3 = "5$";
    TWorkQues dollarRight = testfiles::MakeTopic(3);
    dollarRight[1].RightAnswer = "$";
    TTestOptions noTime = Options(3);
    noTime.MaxTime = 0;
    struct Case {
        TTestOptions options;
        TWorkQues topic;
        TGiveOutProblem problem;
        qint32 queNo;
    } cases[] = {
        {Options(10), topic, TGiveOutProblem::TooFewQuestions, -1},
        {Options(9), topic, TGiveOutProblem::None, -1},
        {Options(0), topic, TGiveOutProblem::DamagedSettings, -1},
        {Options(-5), {}, TGiveOutProblem::DamagedSettings, -1},
        {noTime, topic, TGiveOutProblem::DamagedSettings, -1},
        {Options(std::numeric_limits<qint32>::max()), topic, TGiveOutProblem::TooFewQuestions, -1},
        {Options(5), dollar, TGiveOutProblem::None, -1}, // an ordered card never holds question 6
        {Options(6), dollar, TGiveOutProblem::DollarInQuestion, 5},
        {Options(3, true), dollar, TGiveOutProblem::DollarInQuestion, 5},
        {Options(3), dollarRight, TGiveOutProblem::DollarInQuestion, 1},
    };
    for (const Case& c : cases) {
        const TGiveOutCheck check = CheckGiveOut(c.options, c.topic);
        EXPECT_EQ(check.Problem, c.problem) << "N " << c.options.GivenVopr;
        EXPECT_EQ(check.QueNo, c.queNo) << "N " << c.options.GivenVopr;
    }
}

TEST(StoreAnswers, PiecesAfterTheMarkerAreStoredAndMarked) {
    // Right answers 2, 3, 1, 4.
    const TWorkQues topic{Q("a", {}, "2"), Q("b", {}, "3"), Q("c", {}, "1"), Q("d", {}, "4")};
    const QList<TCardAnswer> fresh = FreshCardAnswers({0, 1, 2, 3});
    struct Case {
        QString text;
        QStringList given;
        QStringList check;
    } cases[] = {
        {"CurrentChecked!!2$1$ $4", {"2", "1", " ", "4"}, {"+", "-", "", "+"}},
        {"CurrentChecked!!2", {"2", "", "", ""}, {"+", "", "", ""}},
        {"station 3 CurrentChecked!!2$3$1$4$1$1$1", {"2", "3", "1", "4"}, {"+", "+", "+", "+"}},
        {"no marker 2$3$1$4", {"", "", "", ""}, {"", "", "", ""}},
        // Only "1".."4" and a blank count; the first character of a piece is the answer.
        {"CurrentChecked!!#$\r$\n$5", {"", "", "", ""}, {"", "", "", ""}},
        {"CurrentChecked!!0$x$3\r\n$4#", {"", "", "3", "4"}, {"", "", "-", "+"}},
        {"CurrentChecked!!2$CurrentChecked!!3$1", {"2", "", "1", ""}, {"+", "", "+", ""}},
    };
    for (const Case& c : cases) {
        QList<TCardAnswer> card = fresh;
        card[1].Given = "3"; // an earlier message's answer is replaced, whatever the new one says
        card[1].Check = "+";
        EXPECT_EQ(StoreCardAnswers(card, topic, c.text, 4), 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(card.at(i).Given, c.given.at(i)) << c.text.toStdString() << " position " << i;
            EXPECT_EQ(card.at(i).Check, c.check.at(i)) << c.text.toStdString() << " position " << i;
        }
    }
}

TEST(StoreAnswers, NeverWritesPastTheCardTheLimitOrTheTopic) {
    const TWorkQues topic{Q("a", {}, "2"), Q("b", {}, "3")};
    QList<TCardAnswer> none;
    EXPECT_EQ(StoreCardAnswers(none, topic, "CurrentChecked!!2$3", 10), 0);
    EXPECT_TRUE(none.isEmpty());

    QList<TCardAnswer> card = FreshCardAnswers({0, 1});
    EXPECT_EQ(StoreCardAnswers(card, topic, "CurrentChecked!!2$3$4$4$4", 25), 2);
    EXPECT_EQ(card.size(), 2);
    EXPECT_EQ(StoreCardAnswers(card, topic, "CurrentChecked!!1$1", 1), 1); // N lowered after the stop
    EXPECT_EQ(card.at(0).Check, "-");
    EXPECT_EQ(card.at(1).Check, "+");
    EXPECT_EQ(StoreCardAnswers(card, topic, "CurrentChecked!!1$1", -3), 0);

    // Entries outside the topic are answered wrong or not at all, never looked up.
    QList<TCardAnswer> odd = FreshCardAnswers({-1, 2, 1});
    EXPECT_EQ(StoreCardAnswers(odd, topic, "CurrentChecked!!2$ $3", 3), 3);
    EXPECT_EQ(odd.at(0).Check, "-");
    EXPECT_EQ(odd.at(1).Check, "");
    EXPECT_EQ(odd.at(2).Check, "+");
}

TEST(StoreAnswers, OnePassCutGivesThePiecesTextHelpersGive) {
    // Random texts over the characters that matter, with and without the marker (also twice).
    const TWorkQues topic = testfiles::MakeTopic(12);
    const QString alphabet = QStringLiteral("$$$1234 x#\r");
    QRandomGenerator generator(5);
    for (int round = 0; round < 2000; ++round) {
        QString tail;
        const int length = int(generator.bounded(40u));
        for (int c = 0; c < length; ++c)
            tail += alphabet.at(int(generator.bounded(quint32(alphabet.size()))));
        const QString marker = QStringLiteral("CurrentChecked!!");
        const QString text = round % 5 == 0   ? tail
                             : round % 7 == 0 ? marker + tail + marker + tail
                                              : marker + tail;
        QList<TCardAnswer> card = FreshCardAnswers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
        StoreCardAnswers(card, topic, text, 12);
        for (int i = 0; i < 12; ++i)
            ASSERT_EQ(card.at(i).Given, GivenFromPiece(NthField(TextAfter(marker, text), u'$', i + 1)))
                << text.toStdString() << " position " << i;
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
    for (const auto& [thresholds, rights, grade] : cases) {
        EXPECT_EQ(GradeForRights(thresholds, rights), grade) << "rights " << rights;
    }
    EXPECT_EQ(vxg::cp1251::encode(MarkMsgText(7)), QByteArray("7$Ocenka!!$"));
    EXPECT_EQ(MarkMsgText(12), "12$Ocenka!!$");
}

TEST(TestingClock, GaugeRoundsHalvesToEvenExactly) {
    const qint32 big = std::numeric_limits<qint32>::max();
    const std::tuple<qint32, qint32, qint32> gauge[] = {
        {1, 20, 0},
        {6, 20, 2},
        {18, 20, 8},
        {240, 20, 100},
        {0, 20, 0},
        {300, 20, 125},
        // 69 / 120 x 100 = 57.5 exactly; in floating point 57.4999.. would give 57.
        {69, 10, 58},
        {138, 20, 58},
        {327, 50, 54},
        {1, 0, 100},
        {1, -4, 100},
        {big, big, 8},
        {big, 1, big}};
    for (const auto& [ticks, maxTime, percent] : gauge) {
        EXPECT_EQ(GaugeProgress(ticks, maxTime), percent) << ticks << " of " << maxTime;
    }
    const std::tuple<qint64, qint32, qint32> clock[] = {{0, 0, 0},
                                                        {4999, 0, 0},
                                                        {5000, 1, 0},
                                                        {59999, 11, 0},
                                                        {60000, 12, 1},
                                                        {-1, 0, 0},
                                                        {std::numeric_limits<qint64>::max(), big, big}};
    for (const auto& [ms, ticks, minutes] : clock) {
        EXPECT_EQ(GaugeTicksAt(ms), ticks) << ms;
        EXPECT_EQ(MinutesPassedAt(ms), minutes) << ms;
    }
}

TEST(TestingClock, WarningOnceAMinuteBeforeTheLimitThenTheStop) {
    const qint64 min = MinuteMs;
    struct Case {
        qint64 ms;
        qint32 maxTime;
        bool warned;
        bool warn;
        bool stop;
    } cases[] = {
        {19 * min - 1, 20, false, false, false},
        {19 * min, 20, false, true, false},
        {19 * min + 30000, 20, true, false, false},
        {20 * min, 20, false, false, true},
        // A blocked timer that wakes only past the limit stops without warning first.
        {20 * min + 40000, 20, false, false, true},
        {min / 2, 1, false, false, false},
        {min, 1, false, false, true},
        {min, 2, false, true, false},
        {0, 0, false, false, true},
    };
    for (const Case& c : cases) {
        const TMinuteStep step = MinuteStep(c.ms, c.maxTime, c.warned);
        EXPECT_EQ(step.WarnDue, c.warn) << c.ms << " ms of " << c.maxTime;
        EXPECT_EQ(step.StopDue, c.stop) << c.ms << " ms of " << c.maxTime;
        EXPECT_EQ(step.MinutesPassed, c.ms / min);
    }
}

} // namespace
