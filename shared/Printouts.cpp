#include "Printouts.h"

#include "Dialogs.h"
#include "Globals.h"
#include "MyPrintUtils.h"

namespace {

// Texts of the program's language table used by the printouts.
int QuestionLabelId = 84;
int RightAnswerLabelId = 86;
constexpr int kSettingsNameId = 91;
constexpr int kQuestionsInCardId = 93;
constexpr int kGradeEvaluationsId = 95;
constexpr int kPointsId = 96;
constexpr int kCorrectAnswersId = 97;
constexpr int kLimitTimeId = 105;
constexpr int kMixedOrderId = 108;
constexpr int kMayReturnId = 109;
constexpr int kShowRightsId = 110;
constexpr int kTimeLimitId = 111;
constexpr int kMinutesId = 112;

constexpr int kFontSize = 10;

// Yes and No stay English in both languages.
QString yesNo(bool flag) {
    return flag ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString flagLine(int labelId, bool flag) {
    return lang(labelId) + QStringLiteral(": ") + yesNo(flag);
}

QString gradeLine(const TTestOptions& options, int grade) {
    const QString points = lang(kPointsId);
    const QString correct = lang(kCorrectAnswersId);
    const int lower = grade - 6;
    // One pass over the pattern, so that a "%" inside a text is printed as it stands.
    return QStringLiteral("%1 %2 %3 %4          %5 %6 %7 %8")
        .arg(QString::number(grade), points, QString::number(options.Na[grade - 1]), correct,
             QString::number(lower), points, QString::number(options.Na[lower - 1]), correct);
}

} // namespace

void SetQuestionLabelIds(int questionLabelId, int rightAnswerLabelId) {
    QuestionLabelId = questionLabelId;
    RightAnswerLabelId = rightAnswerLabelId;
}

QStringList QuestionListLines(const TWorkQues& questions, bool withAnswers) {
    QStringList lines;
    lines.reserve(questions.size() * (withAnswers ? 8 : 7));
    int k = 0;
    for (const TQuestion& q : questions) {
        ++k;
        lines << QStringLiteral(" ") << lang(QuestionLabelId) + QString::number(k) << q.QuestionText
              << QStringLiteral("   1) ") + q.Answer1 << QStringLiteral("   2) ") + q.Answer2
              << QStringLiteral("   3) ") + q.Answer3 << QStringLiteral("   4) ") + q.Answer4;
        if (withAnswers)
            lines << QStringLiteral("  ") + lang(RightAnswerLabelId) + QStringLiteral(" ") + q.RightAnswer;
    }
    return lines;
}

QStringList TestOptionsLines(const TTestOptions& options) {
    QStringList lines;
    lines << QStringLiteral(" ")
          << lang(kQuestionsInCardId) + QStringLiteral(" ") + QString::number(options.GivenVopr)
          << QStringLiteral(" ") << lang(kGradeEvaluationsId) + QStringLiteral(":");
    for (int grade = 12; grade >= 7; --grade)
        lines << gradeLine(options, grade);
    lines << QStringLiteral(" ") << flagLine(kLimitTimeId, options.TimeBool);
    if (options.TimeBool)
        lines << QStringLiteral("   ") + lang(kTimeLimitId) + QString::number(options.MaxTime) +
                     lang(kMinutesId)
              << QStringLiteral(" ");
    lines << flagLine(kMixedOrderId, options.RandomGiveOut) << flagLine(kMayReturnId, options.MayBack)
          << flagLine(kShowRightsId, options.ShowRights);
    return lines;
}

void PrintQuestionList(const QString& title, const TWorkQues& questions, bool withAnswers) {
    PrintLines(QuestionListLines(questions, withAnswers), title, kFontSize);
}

void AskPrintQuestionList(const QString& title, const TWorkQues& questions) {
    const vxg::DlgResult answer =
        vxg::ShowMessage(vxg::DlgKind::Confirmation, QStringLiteral("Show correct answers to print?"),
                         vxg::DlgButtons::YesNoCancel);
    if (answer == vxg::DlgResult::Yes)
        PrintQuestionList(title, questions, true);
    else if (answer == vxg::DlgResult::No)
        PrintQuestionList(title, questions, false);
}

void PrintTestOptions(const QString& name, const TTestOptions& options) {
    PrintLines(TestOptionsLines(options), lang(kSettingsNameId) + QStringLiteral(" ") + name, kFontSize);
}
