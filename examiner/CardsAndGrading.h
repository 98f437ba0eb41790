#pragma once
// Cards, answers, grades and the testing clock, apart from any window or socket: what the
// give-out, the answers message, the grading and the two timers compute. TWorkF's handlers
// (GiveOutClick, GiveOutCard, StoreAnswers, GradeStudent, Timer1Timer, Timer2Timer) call these
// and do the showing and sending themselves.
#include "ExaminerState.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>

class QRandomGenerator;

// ---- limits

// The largest text a frame can carry: its length travels as four decimal digits.
inline constexpr qsizetype CardMaxBytes = 9999;
// Five-second gauge ticks and one-minute ticks, in milliseconds.
inline constexpr qint64 GaugeTickMs = 5000;
inline constexpr qint64 MinuteMs = 60000;

// ---- the give-out's checks before any card is drawn

enum class TGiveOutProblem : quint8 {
    None,
    // N (GivenVopr) < 1 or MaxTime < 1: the parameters in force come from a damaged settings
    // file (the parameters dialog never gives such values). Nothing could be drawn or timed.
    DamagedSettings,
    // The topic has fewer questions than a card needs (the box of lang[59]).
    TooFewQuestions,
    // Question QueNo holds "$" in one of its texts: at the student station every later field of
    // the card would shift by one. The box names the question (QueNo + 1, its text).
    DollarInQuestion,
};

struct TGiveOutCheck {
    TGiveOutProblem Problem = TGiveOutProblem::None;
    qint32 QueNo = -1; // DollarInQuestion: 0-based index of the first such question in the topic
    bool Ok() const { return Problem == TGiveOutProblem::None; }
};

// Whether a give-out may start with these parameters and this topic, checked in this order:
// damaged settings, too few questions, a "$" in a question that a card can hold (the first N
// questions for an ordered draw, every question for a random one). Never indexes past the topic.
TGiveOutCheck CheckGiveOut(const TTestOptions& options, const TWorkQues& topic);

// The first question among topic[0 .. limit-1] whose question text, answers or right answer
// hold "$", or -1 when none does. A negative limit means 0; a limit past the topic means all.
qint32 QuestionWithDollar(const TWorkQues& topic, qint32 limit);

// ---- drawing a card

// A uniformly distributed integer in 0 .. bound-1, exactly (no modulo or scaling bias: draws that
// would favour some values are rejected and drawn again). bound must be at least 1.
quint32 UniformBelow(QRandomGenerator& generator, quint32 bound);

// The same over any source of uniformly distributed 32-bit words with generate() (Lemire's
// multiply-and-shift: of the 2^32 words, the 2^32 mod bound whose low product half falls below
// that remainder are drawn again, so every result has the same number of words).
template <class Generator> quint32 UniformBelowOf(Generator& generator, quint32 bound) {
    if (bound <= 1)
        return 0;
    quint64 product = quint64(quint32(generator.generate())) * bound;
    auto low = static_cast<quint32>(product);
    if (low < bound) {
        const quint32 threshold = (0u - bound) % bound; // 2^32 mod bound
        while (low < threshold) {
            product = quint64(quint32(generator.generate())) * bound;
            low = static_cast<quint32>(product);
        }
    }
    return static_cast<quint32>(product >> 32);
}

// The 0-based topic indices of one card of n questions from a topic of count questions, in card
// order. Ordered draw: 0, 1, .., n-1 (the first n questions in file order). Random draw: for each
// card position in turn, a uniform draw over the whole topic repeated until it gives a question
// not yet on this card, so no question occurs twice and every order is equally likely.
// Returns an empty list when n < 1 or n > count (CheckGiveOut refuses these first).
QList<qint32> DrawCardQuestions(qint32 n, qint32 count, bool random, QRandomGenerator& generator);

// One fresh TCardAnswer per card position: QueNo from queNos, Given and Check empty.
QList<TCardAnswer> FreshCardAnswers(const QList<qint32>& queNos);

// The card message text: the head N, "yes"/"no" for MayBack, "yes"/"no" for ShowRights, each
// followed by "$"; then per card question in card order QuestionText, Answer1..Answer4 and
// RightAnswer, each followed by "$". N is the number of questions on the card (queNos.size(),
// which equals GivenVopr). Nothing is escaped. Indices outside the topic are skipped (never the
// case for a card from DrawCardQuestions over the same topic).
QString CardMsgText(const TTestOptions& options, const TWorkQues& topic, const QList<qint32>& queNos);

// The length of a text on the wire: its cp1251 byte count.
qsizetype WireBytes(const QString& text);

// One student's card, drawn and laid out; the caller stores Answers (and CardSent) in the student
// before sending Text, and sends nothing when the card does not fit.
struct TCard {
    QList<TCardAnswer> Answers; // fresh entries, QueNo set
    QString Text;               // the card message text
    qsizetype Bytes = 0;        // WireBytes(Text)
    // A card over CardMaxBytes cp1251 bytes cannot be framed: that student gets no card now
    // (never a truncated one) and the teacher is told the student's name and Bytes.
    bool Fits() const { return Bytes <= CardMaxBytes; }
};

// Draws one card with the parameters in force (GivenVopr, RandomGiveOut, MayBack, ShowRights).
// Call only after CheckGiveOut passed; otherwise the card is empty (no Answers, Text of the head).
TCard MakeCard(const TTestOptions& options, const TWorkQues& topic, QRandomGenerator& generator);

// ---- the answers message

// The answer a station's piece gives: its first character when that is "1".."4" or " ", else
// empty (an empty piece, or anything else such as "#", CR or LF, counts as not answered and is
// never stored).
QString GivenFromPiece(const QString& piece);

// The mark of one answer: empty when given is empty or " " (not answered), "+" when it equals
// rightAnswer (whole strings), "-" otherwise.
QString CheckOf(const QString& given, const QString& rightAnswer);

// Stores an answers message text into a student's card (the pure part of StoreAnswers). Only the
// text after the first "CurrentChecked!!" counts; its "$"-separated piece i + 1 answers card
// position i. Positions 0 .. min(answers.size(), limit) - 1 are written (limit: N of the
// parameters in force, or the grid's question columns; a negative limit writes none): Given from
// GivenFromPiece, Check from CheckOf against the RightAnswer of the question QueNo. Missing pieces
// leave the position not answered; pieces past the card are ignored; an entry whose QueNo lies
// outside the topic is marked "-" when answered (it cannot be right). Every message replaces the
// whole set. Returns the number of positions written; the caller copies each Check into the grid
// (column i + 2 of the student's row).
qsizetype StoreCardAnswers(QList<TCardAnswer>& answers, const TWorkQues& topic, const QString& text,
                           qsizetype limit);

// ---- grading

// The grade for `rights` right answers: the length of the unbroken run of thresholds, from Na1 on,
// that rights reaches (threshold <= rights), 1..12; 0 when rights is below Na1 (no grade: the
// grade cell stays as it was, Mark stays 0 and no mark message is sent). A later threshold that is
// reached after a higher one ends the run does not count: thresholds 0, 1, 5, 3, .. with 4 right
// give grade 2.
qint32 GradeForRights(const std::array<qint32, 12>& thresholds, qint32 rights);

// The mark message text for a grade: the grade in decimal followed by "$Ocenka!!$" ("7$Ocenka!!$").
QString MarkMsgText(qint32 grade);

// ---- the testing clock, from a monotonic elapsed time (ms since the first give-out started the
// timers), never from counted timer ticks (a blocked timer drops ticks)

// Whole five-second ticks in elapsedMs (GaugeTicks); 0 for a negative time.
qint32 GaugeTicksAt(qint64 elapsedMs);

// Whole minutes in elapsedMs (MinutesPassed); 0 for a negative time.
qint32 MinutesPassedAt(qint64 elapsedMs);

// The gauge's percent after `ticks` five-second ticks of a limit of maxTime minutes:
// ticks / (maxTime x 12) x 100 rounded to the nearest integer, a half to the even neighbour,
// computed exactly in integers (1 tick of 20 minutes: 0; 6: 2; 18: 8; 240: 100). Not capped at
// 100 (Timer2Timer stops at 100 or more); 100 for maxTime < 1 (nothing to wait for).
qint32 GaugeProgress(qint32 ticks, qint32 maxTime);

// What the minute timer must do at elapsedMs of a testing limited to maxTime minutes.
struct TMinuteStep {
    qint32 MinutesPassed = 0;
    // The one-minute warning ("Soon!!" to every student, then the box of lang[65]) is due: at least
    // maxTime - 1 minutes passed, the stop is not due yet, it was not sent in this testing
    // (warned), and maxTime >= 2 (a one-minute limit has no warning).
    bool WarnDue = false;
    // The time limit is reached (MinutesPassed >= maxTime): the stop is due.
    bool StopDue = false;
};
TMinuteStep MinuteStep(qint64 elapsedMs, qint32 maxTime, bool warned);
