#include "ResultsArchive.h"

#include "Cp1251.h"
#include "Error.h"
#include "Globals.h"
#include "StudentTable.h"

#include <limits>

namespace {

// Texts of what is wrong in a file (the examiner's string table).
constexpr int kBadCountId = 161;
constexpr int kEndsBeforeLineId = 162;
constexpr int kFewerStudentsId = 163;
constexpr int kBadGradeId = 164;
constexpr int kBadPieceId = 165;
constexpr int kTooLargeId = 166;
constexpr int kTooManyId = 175;
constexpr int kNameTooLongId = 178;
constexpr int kLineTooLongId = 185;

constexpr int kHeaderLines = 3;
constexpr int kLinesPerStudent = 3;
constexpr qsizetype kMaxHeaderTextLength = 4096;
constexpr int kMaxGrade = 12;
constexpr qsizetype kShownPieceLength = 40;
// Ten digits and three "#" with two one-character fields between them.
constexpr qsizetype kLongestPiece = 15;

const QString kNotOnCard = QStringLiteral("-1");

QString OneLine(QString text) {
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// A Given the format can carry: nothing or one character that separates nothing.
QString WritableGiven(const QString& given) {
    if (given.isEmpty())
        return {};
    const QChar c = given.front();
    if (given.size() > 1 || c == QLatin1Char('#') || c == QLatin1Char('$') || c == QLatin1Char('\r') ||
        c == QLatin1Char('\n'))
        return QStringLiteral("?");
    return given;
}

QString WritableCheck(const QString& check) {
    return check == QLatin1String("+") || check == QLatin1String("-") ? check : QString();
}

// A whole decimal number of 0 or more, blanks around it allowed; -1 when it is not one or does
// not fit in 32 bits.
qint64 NonNegativeNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 10)
        return -1;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    const qint64 value = t.toLongLong();
    return value <= std::numeric_limits<qint32>::max() ? value : -1;
}

// QueNo#Given#Check# as the writer makes it. False when the piece is not of that form.
bool ParsePiece(const QString& piece, TCardAnswer& out) {
    if (piece.size() > kLongestPiece)
        return false;
    const QStringList fields = piece.split(QLatin1Char('#'));
    if (fields.size() != 4 || !fields.at(3).isEmpty())
        return false;
    const QString& no = fields.at(0);
    if (no == kNotOnCard) {
        out.QueNo = -1;
    } else {
        if (no.trimmed() != no)
            return false;
        const qint64 value = NonNegativeNumber(no);
        if (value < 0)
            return false;
        out.QueNo = static_cast<qint32>(value);
    }
    if (fields.at(1).size() > 1)
        return false;
    out.Given = fields.at(1);
    const QString& check = fields.at(2);
    if (!check.isEmpty() && check != QLatin1String("+") && check != QLatin1String("-"))
        return false;
    out.Check = check;
    return true;
}

QString Shown(const QString& text) {
    return text.size() <= kShownPieceLength ? text : text.left(kShownPieceLength) + QStringLiteral("...");
}

} // namespace

QString ResultsArchive::AnswerLine(const QList<TCardAnswer>& answers, int n) {
    QString line;
    for (int i = 0; i < n; ++i) {
        if (i >= answers.size()) {
            line += kNotOnCard + QStringLiteral("###$");
            continue;
        }
        const TCardAnswer& a = answers.at(i);
        line += (a.QueNo < 0 ? kNotOnCard : QString::number(a.QueNo)) + QLatin1Char('#') +
                WritableGiven(a.Given) + QLatin1Char('#') + WritableCheck(a.Check) + QStringLiteral("#$");
    }
    return line;
}

QString ResultsArchive::AsWritten(const QString& text) {
    return vxg::cp1251::kept(OneLine(text));
}

QByteArray ResultsArchive::Write(const QString& topicPath, const QString& setName, const TNet& students,
                                 int n) {
    QStringList lines;
    lines << OneLine(topicPath) << OneLine(setName) << QString::number(students.size());
    for (const TClient& student : students)
        lines << OneLine(student.Name) << QString::number(student.Mark) << AnswerLine(student.Answers, n);
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += vxg::cp1251::encode(line) + "\r\n";
    return bytes;
}

ResultsArchive ResultsArchive::Parse(const QByteArray& bytes) {
    if (bytes.size() > kMaxFileSize)
        throw vxg::Error(lang(kTooLargeId).arg(kMaxFileSize / (1024 * 1024)));

    // The file's lines: each ends at LF, a CR before the LF belongs to the line end, and the
    // line end of the last line starts no further line.
    const qsizetype lineCount = bytes.count('\n') + (bytes.isEmpty() || bytes.endsWith('\n') ? 0 : 1);
    ResultsArchive archive;
    qsizetype at = 0;
    auto takeLines = [&](qsizetype count) {
        for (qsizetype i = 0; i < count; ++i) {
            qsizetype end = bytes.indexOf('\n', at);
            if (end < 0)
                end = bytes.size();
            qsizetype length = end - at;
            if (length > 0 && bytes.at(end - 1) == '\r')
                --length;
            archive.lines_.append(vxg::cp1251::decode(bytes.constData() + at, length));
            at = end + 1;
        }
    };

    if (lineCount < kHeaderLines)
        throw vxg::Error(lang(kEndsBeforeLineId).arg(lineCount + 1));
    takeLines(kHeaderLines);
    // No file has a longer path, nor does a set have such a name; shown in a box, a text of
    // megabytes would take the window most of a minute.
    for (int line = 0; line < 2; ++line)
        if (archive.lines_.at(line).size() > kMaxHeaderTextLength)
            throw vxg::Error(lang(kLineTooLongId).arg(line + 1).arg(kMaxHeaderTextLength));
    TSavingData& h = archive.header_;
    h.TopicPath = archive.lines_.at(0);
    h.OptionsSetName = archive.lines_.at(1);
    h.CountText = archive.lines_.at(2);

    const qint64 count = NonNegativeNumber(h.CountText);
    if (count < 0)
        throw vxg::Error(lang(kBadCountId).arg(Shown(h.CountText)));
    if (count > kMaxStudents)
        throw vxg::Error(lang(kTooManyId).arg(count).arg(kMaxStudents));
    // The count is checked against the lines that are there before anything is made of it.
    const qint64 whole = (lineCount - kHeaderLines) / kLinesPerStudent;
    if (count > whole)
        throw vxg::Error(lang(kEndsBeforeLineId).arg(lineCount + 1) + QStringLiteral(": ") +
                         lang(kFewerStudentsId).arg(whole).arg(count));
    archive.count_ = static_cast<int>(count);
    takeLines(count * kLinesPerStudent); // lines after the last student are not looked at
    // No station can register a longer name; one of megabytes would take the grid seconds to draw.
    for (int k = 0; k < archive.count_; ++k) {
        const int nameLine = kHeaderLines + k * kLinesPerStudent; // 0-based
        if (archive.lines_.at(nameLine).size() > TStudentTable::kMaxNameLength)
            throw vxg::Error(lang(kNameTooLongId).arg(nameLine + 1));
    }
    return archive;
}

TNet ResultsArchive::Students(int n) const {
    if (n < 1 || n > kMaxQuestionsPerCard)
        throw vxg::Error(QStringLiteral("questions per card out of range: %1").arg(n));
    TNet students;
    students.reserve(count_); // at most kMaxStudents
    for (int k = 0; k < count_; ++k) {
        const int first = kHeaderLines + k * kLinesPerStudent; // 0-based index of his name line
        TClient student;
        student.Name = lines_.at(first);

        const QString& gradeText = lines_.at(first + 1);
        const qint64 grade = NonNegativeNumber(gradeText);
        if (grade < 0 || grade > kMaxGrade)
            throw vxg::Error(lang(kBadGradeId).arg(first + 2).arg(Shown(gradeText)));
        student.Mark = static_cast<qint32>(grade);

        // The first n pieces, each ending in "$", are read and checked; the rest of the line is
        // not looked at.
        const QString& line = lines_.at(first + 2);
        student.Answers.reserve(n);
        qsizetype start = 0;
        for (qsizetype piece = 1; piece <= n && start < line.size(); ++piece) {
            const qsizetype end = line.indexOf(QLatin1Char('$'), start);
            const QString text = line.mid(start, end < 0 ? -1 : end - start);
            TCardAnswer answer;
            if (end < 0 || !ParsePiece(text, answer))
                throw vxg::Error(lang(kBadPieceId).arg(first + 3).arg(piece).arg(Shown(text)));
            student.Answers.append(answer);
            start = end + 1;
        }
        while (student.Answers.size() < n)
            student.Answers.append(TCardAnswer{-1, QString(), QString()});
        students.append(student);
    }
    return students;
}
