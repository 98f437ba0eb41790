#include "QuestionFiles.h"

#include "Cp1251.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

namespace testfiles {

namespace {
constexpr int kFieldSize = 256;
constexpr int kRecordSize = 5 * kFieldSize + 2;
} // namespace

TQuestion MakeQuestion(int n) {
    const QString num = QString::number(n);
    TQuestion q;
    q.QuestionText = QStringLiteral("Вопрос %1: what is %1 + %1?").arg(num);
    q.Answer1 = QStringLiteral("Ответ %1.1").arg(num);
    q.Answer2 = QStringLiteral("Answer %1.2").arg(num);
    q.Answer3 = QStringLiteral("Ответ %1.3 ёЁ").arg(num);
    q.Answer4 = QStringLiteral("Answer %1.4").arg(num);
    q.RightAnswer = QString::number((n - 1) % 4 + 1);
    return q;
}

TWorkQues MakeTopic(int count) {
    TWorkQues topic;
    for (int n = 1; n <= count; ++n)
        topic.append(MakeQuestion(n));
    return topic;
}

TQuestion MakeLongQuestion() {
    const QString alphabet =
        QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
    auto text = [&](int shift) {
        QString s;
        for (int i = 0; i < 255; ++i)
            s += alphabet[(i + shift) % alphabet.size()];
        return s;
    };
    return TQuestion{text(0), text(1), text(2), text(3), text(4), QStringLiteral("4")};
}

QByteArray RawQuestionRecord(const QList<QByteArray>& texts, quint8 rightLength, char rightChar) {
    QByteArray record(kRecordSize, '\0');
    for (int field = 0; field < 5 && field < texts.size(); ++field) {
        const QByteArray& text = texts[field];
        EXPECT_LE(text.size(), 255) << "a text field holds at most 255 bytes";
        const int length = static_cast<int>(std::min<qsizetype>(text.size(), 255));
        record[field * kFieldSize] = static_cast<char>(length);
        for (int i = 0; i < length; ++i)
            record[field * kFieldSize + 1 + i] = text[i];
    }
    record[5 * kFieldSize] = static_cast<char>(rightLength);
    record[5 * kFieldSize + 1] = rightChar;
    return record;
}

QByteArray RawQuestionRecord(const TQuestion& q) {
    const QByteArray right = vxg::cp1251::encode(q.RightAnswer);
    return RawQuestionRecord({vxg::cp1251::encode(q.QuestionText), vxg::cp1251::encode(q.Answer1),
                              vxg::cp1251::encode(q.Answer2), vxg::cp1251::encode(q.Answer3),
                              vxg::cp1251::encode(q.Answer4)},
                             right.isEmpty() ? 0 : 1, right.isEmpty() ? '\0' : right[0]);
}

void WriteRawFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadRawFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TWorkQues WriteTopic(const QString& path, int count) {
    const TWorkQues topic = MakeTopic(count);
    QByteArray bytes;
    for (const TQuestion& q : topic)
        bytes += RawQuestionRecord(q);
    WriteRawFile(path, bytes);
    return topic;
}

} // namespace testfiles
