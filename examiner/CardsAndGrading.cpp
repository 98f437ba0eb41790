#include "CardsAndGrading.h"

#include "Cp1251.h"
#include "MyTextUtils.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>

namespace {

const QLatin1String AnswersMarker("CurrentChecked!!");
const QChar FieldSeparator(u'$');

bool HoldsDollar(const TQuestion& q) {
    for (const QString* field :
         {&q.QuestionText, &q.Answer1, &q.Answer2, &q.Answer3, &q.Answer4, &q.RightAnswer})
        if (field->contains(FieldSeparator))
            return true;
    return false;
}

void AppendField(QString& text, const QString& field) {
    text += field;
    text += FieldSeparator;
}

qint32 ClampToInt32(qint64 value) {
    return static_cast<qint32>(std::clamp<qint64>(value, 0, std::numeric_limits<qint32>::max()));
}

} // namespace

qint32 QuestionWithDollar(const TWorkQues& topic, qint32 limit) {
    const qsizetype end = std::min<qsizetype>(std::max(limit, 0), topic.size());
    for (qsizetype i = 0; i < end; ++i)
        if (HoldsDollar(topic.at(i)))
            return static_cast<qint32>(i);
    return -1;
}

TGiveOutCheck CheckGiveOut(const TTestOptions& options, const TWorkQues& topic) {
    if (options.GivenVopr < 1 || options.MaxTime < 1)
        return {TGiveOutProblem::DamagedSettings, -1};
    if (topic.size() < options.GivenVopr)
        return {TGiveOutProblem::TooFewQuestions, -1};
    const qint32 drawable = options.RandomGiveOut ? ClampToInt32(topic.size()) : options.GivenVopr;
    const qint32 dollar = QuestionWithDollar(topic, drawable);
    if (dollar >= 0)
        return {TGiveOutProblem::DollarInQuestion, dollar};
    return {};
}

quint32 UniformBelow(QRandomGenerator& generator, quint32 bound) {
    // QRandomGenerator::bounded scales without rejecting and so is very slightly uneven for
    // bounds that are not powers of two.
    Q_ASSERT(bound >= 1);
    return UniformBelowOf(generator, bound);
}

QList<qint32> DrawCardQuestions(qint32 n, qint32 count, bool random, QRandomGenerator& generator) {
    QList<qint32> queNos;
    if (n < 1 || n > count)
        return queNos;
    queNos.reserve(n);
    if (!random) {
        for (qint32 j = 0; j < n; ++j)
            queNos.append(j);
        return queNos;
    }
    QList<bool> used(count, false);
    for (qint32 j = 0; j < n; ++j) {
        qint32 q = 0;
        do
            q = static_cast<qint32>(UniformBelow(generator, static_cast<quint32>(count)));
        while (used.at(q));
        used[q] = true;
        queNos.append(q);
    }
    return queNos;
}

QList<TCardAnswer> FreshCardAnswers(const QList<qint32>& queNos) {
    QList<TCardAnswer> answers;
    answers.reserve(queNos.size());
    for (qint32 q : queNos) {
        TCardAnswer a;
        a.QueNo = q;
        answers.append(a);
    }
    return answers;
}

QString CardMsgText(const TTestOptions& options, const TWorkQues& topic, const QList<qint32>& queNos) {
    const QString yes = QStringLiteral("yes");
    const QString no = QStringLiteral("no");
    QString text;
    AppendField(text, QString::number(queNos.size()));
    AppendField(text, PickStr(options.MayBack, yes, no));
    AppendField(text, PickStr(options.ShowRights, yes, no));
    for (qint32 q : queNos) {
        if (q < 0 || q >= topic.size())
            continue;
        const TQuestion& question = topic.at(q);
        for (const QString* field : {&question.QuestionText, &question.Answer1, &question.Answer2,
                                     &question.Answer3, &question.Answer4, &question.RightAnswer})
            AppendField(text, *field);
    }
    return text;
}

qsizetype WireBytes(const QString& text) {
    return vxg::cp1251::encode(text).size();
}

TCard MakeCard(const TTestOptions& options, const TWorkQues& topic, QRandomGenerator& generator) {
    const QList<qint32> queNos =
        DrawCardQuestions(options.GivenVopr, ClampToInt32(topic.size()), options.RandomGiveOut, generator);
    TCard card;
    card.Answers = FreshCardAnswers(queNos);
    card.Text = CardMsgText(options, topic, queNos);
    card.Bytes = WireBytes(card.Text);
    return card;
}

namespace {

// The answer texts, shared rather than built anew for each of a card's answers.
QString GivenFromView(QStringView piece) {
    static const QString texts[] = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                    QStringLiteral("4"), QStringLiteral(" ")};
    if (piece.isEmpty())
        return QString();
    const QChar first = piece.front();
    if (first >= u'1' && first <= u'4')
        return texts[first.unicode() - u'1'];
    return first == u' ' ? texts[4] : QString();
}

} // namespace

QString GivenFromPiece(const QString& piece) {
    return GivenFromView(piece);
}

QString CheckOf(const QString& given, const QString& rightAnswer) {
    static const QString right = QStringLiteral("+");
    static const QString wrong = QStringLiteral("-");
    if (given.isEmpty() || given == QLatin1String(" "))
        return QString();
    return given == rightAnswer ? right : wrong;
}

qsizetype StoreCardAnswers(QList<TCardAnswer>& answers, const TWorkQues& topic, const QString& text,
                           qsizetype limit) {
    const qsizetype positions = std::min(answers.size(), std::max<qsizetype>(limit, 0));
    const qsizetype marker = text.indexOf(AnswersMarker);
    const QStringView pieces =
        marker < 0 ? QStringView() : QStringView(text).mid(marker + AnswersMarker.size());
    // The pieces are cut in one pass (piece i + 1 as NthField would give it): a message is
    // stored for every station many times a minute, and cutting each piece from the start
    // again would cost the square of the card's length.
    qsizetype start = 0;
    bool morePieces = true;
    for (qsizetype i = 0; i < positions; ++i) {
        QStringView piece;
        if (morePieces) {
            const qsizetype end = pieces.indexOf(FieldSeparator, start);
            piece = end < 0 ? pieces.mid(start) : pieces.mid(start, end - start);
            morePieces = end >= 0;
            start = end + 1;
        }
        TCardAnswer& entry = answers[i];
        entry.Given = GivenFromView(piece);
        const bool known = entry.QueNo >= 0 && entry.QueNo < topic.size();
        // Outside the topic there is no right answer; an answered Given is never empty, so it
        // cannot match the empty text and is marked wrong.
        entry.Check = CheckOf(entry.Given, known ? topic.at(entry.QueNo).RightAnswer : QString());
    }
    return positions;
}

qint32 GradeForRights(const std::array<qint32, 12>& thresholds, qint32 rights) {
    qint32 grade = 0;
    for (qint32 threshold : thresholds) {
        if (threshold > rights)
            break;
        ++grade;
    }
    return grade;
}

QString MarkMsgText(qint32 grade) {
    return QString::number(grade) + QLatin1String("$Ocenka!!$");
}

qint32 GaugeTicksAt(qint64 elapsedMs) {
    return ClampToInt32(elapsedMs / GaugeTickMs);
}

qint32 MinutesPassedAt(qint64 elapsedMs) {
    return ClampToInt32(elapsedMs / MinuteMs);
}

qint32 GaugeProgress(qint32 ticks, qint32 maxTime) {
    if (maxTime < 1)
        return 100;
    // ticks x 100 / (maxTime x 12), rounded half to even, in exact integers: in floating point
    // 69 / 120 x 100 comes out as 57.49999.. and rounds to 57 instead of 58.
    const qint64 numerator = qint64(std::max(ticks, 0)) * 100;
    const qint64 denominator = qint64(maxTime) * 12;
    qint64 quotient = numerator / denominator;
    const qint64 twiceRest = (numerator % denominator) * 2;
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0))
        ++quotient;
    return ClampToInt32(quotient);
}

TMinuteStep MinuteStep(qint64 elapsedMs, qint32 maxTime, bool warned) {
    TMinuteStep step;
    step.MinutesPassed = MinutesPassedAt(elapsedMs);
    step.StopDue = step.MinutesPassed >= maxTime;
    step.WarnDue = !warned && !step.StopDue && maxTime >= 2 && step.MinutesPassed >= maxTime - 1;
    return step;
}
