#pragma once
// Building question files for tests: well-formed topics, and raw bytes for files that no
// writer of the suite would produce (odd sizes, odd length bytes).
#include "Records.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace testfiles {

// Question n (from 1): Cyrillic and Latin texts that name n, right answer ((n - 1) % 4) + 1.
TQuestion MakeQuestion(int n);
// Questions 1 to count.
TWorkQues MakeTopic(int count);
// A question whose five texts are each 255 Cyrillic characters, right answer "4".
TQuestion MakeLongQuestion();

// One 1282-byte record laid out by hand: each text as its length byte and cp1251 bytes,
// zeros after it; the right-answer field as the two bytes given.
QByteArray RawQuestionRecord(const TQuestion& q);
QByteArray RawQuestionRecord(const QList<QByteArray>& texts, quint8 rightLength, char rightChar);

// Writes the bytes as the whole file (a failure fails the test that called it).
void WriteRawFile(const QString& path, const QByteArray& bytes);
QByteArray ReadRawFile(const QString& path);

// Writes questions 1 to count through the hand-made layout and returns them.
TWorkQues WriteTopic(const QString& path, int count);

} // namespace testfiles
