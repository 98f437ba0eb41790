#include "QuestionFile.h"

#include "AtomicFile.h"
#include "Cp1251.h"
#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr qsizetype kTextFieldSize = 256;
constexpr qsizetype kMaxTextBytes = kTextFieldSize - 1;
constexpr qsizetype kRightAnswerOffset = 5 * kTextFieldSize;

// Why a question file could not be read or written: each is raised as the error's text and reaches
// the teacher as it stands, in the error box of the command that read or wrote the file.
const QString kFileNotFound = QStringLiteral("File not found");
const QString kPathNotFound = QStringLiteral("Path not found");
const QString kAccessDenied = QStringLiteral("File access denied");
const QString kReadError = QStringLiteral("Disk read error");
const QString kWriteError = QStringLiteral("Disk write error");
const QString kReadBeyondEnd = QStringLiteral("Read beyond end of file");

QString decodeText(const char* field) {
    // One length byte can say at most 255, so the text always lies inside its 256-byte field.
    const auto length = static_cast<unsigned char>(field[0]);
    return vxg::cp1251::decode(field + 1, length);
}

void encodeText(const QString& text, char* field) {
    const QByteArray bytes = vxg::cp1251::encode(text).left(kMaxTextBytes);
    field[0] = static_cast<char>(bytes.size());
    std::copy(bytes.cbegin(), bytes.cend(), field + 1);
}

QString openForReadingError(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return kFileNotFound;
    return kAccessDenied;
}

QString openForWritingError(const QString& path) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return kPathNotFound;
    return kAccessDenied;
}

} // namespace

TQuestion DecodeQuestionRecord(const char* record) {
    TQuestion q;
    q.QuestionText = decodeText(record);
    q.Answer1 = decodeText(record + kTextFieldSize);
    q.Answer2 = decodeText(record + 2 * kTextFieldSize);
    q.Answer3 = decodeText(record + 3 * kTextFieldSize);
    q.Answer4 = decodeText(record + 4 * kTextFieldSize);
    // The field has room for one character only: any non-zero length reads that character.
    if (record[kRightAnswerOffset] != 0)
        q.RightAnswer = vxg::cp1251::decode(record + kRightAnswerOffset + 1, 1);
    return q;
}

QByteArray EncodeQuestionRecord(const TQuestion& q) {
    QByteArray record(kQuestionRecordSize, '\0');
    char* data = record.data();
    encodeText(q.QuestionText, data);
    encodeText(q.Answer1, data + kTextFieldSize);
    encodeText(q.Answer2, data + 2 * kTextFieldSize);
    encodeText(q.Answer3, data + 3 * kTextFieldSize);
    encodeText(q.Answer4, data + 4 * kTextFieldSize);
    const QByteArray right = vxg::cp1251::encode(q.RightAnswer).left(1);
    if (!right.isEmpty()) {
        data[kRightAnswerOffset] = 1;
        data[kRightAnswerOffset + 1] = right[0];
    }
    return record;
}

TWorkQues ReadQuestionFile(const QString& path) {
    TWorkQues questions;
    ReadQuestionRecords(path, questions);
    return questions;
}

void ReadQuestionRecords(const QString& path, TWorkQues& questions) {
    questions.clear();
    // Only a plain file can be a topic: a device or a pipe chosen by mistake would never end
    // or never answer.
    const QFileInfo info(path);
    QFile file(path);
    if ((info.exists() && !info.isFile()) || !file.open(QIODevice::ReadOnly))
        throw vxg::Error(openForReadingError(path));

    char record[kQuestionRecordSize];
    for (;;) {
        const qint64 got = file.read(record, kQuestionRecordSize);
        if (got < 0)
            throw vxg::Error(kReadError);
        if (got == 0)
            return;
        if (got < kQuestionRecordSize)
            throw vxg::Error(kReadBeyondEnd);
        questions.append(DecodeQuestionRecord(record));
    }
}

void WriteQuestionFile(const QString& path, const TWorkQues& questions) {
    // Written beside and renamed over the old file only once everything is written: a failure
    // leaves the old topic whole. Only where the folder refuses new files (no temporary file
    // can be made there) is an existing, writable topic written in place instead, which only
    // a device error part way can leave damaged.
    if (QFileInfo(path).isDir())
        throw vxg::Error(openForWritingError(path));
    QByteArray bytes;
    bytes.reserve(questions.size() * kQuestionRecordSize);
    for (const TQuestion& q : questions)
        bytes += EncodeQuestionRecord(q);

    const vxg::FileWriteResult result = vxg::WriteFileAtomically(path, bytes, true);
    if (result.failure == vxg::FileWriteResult::Failure::Open)
        throw vxg::Error(openForWritingError(path));
    if (result.failure == vxg::FileWriteResult::Failure::Damaged)
        throw vxg::FileDamagedError(kWriteError);
    if (!result.ok())
        throw vxg::Error(kWriteError);
}
