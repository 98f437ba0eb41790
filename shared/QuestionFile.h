#pragma once
// The question file ("topic", *.vxg): a bare run of 1282-byte records, no header.
//   offset    0: QuestionText  (length byte + 255 bytes)
//   offset  256: Answer1 .. offset 1024: Answer4 (same)
//   offset 1280: RightAnswer   (length byte 0 or 1, then the character)
// Text is code page 1251.
#include "Records.h"

#include <QByteArray>
#include <QString>

constexpr qsizetype kQuestionRecordSize = 1282;

// One record from exactly kQuestionRecordSize bytes. A length byte never makes it read outside
// its field: a text length above 255 cannot occur, a RightAnswer length above 1 reads as its
// first character.
TQuestion DecodeQuestionRecord(const char* record);
// One record; texts longer than 255 bytes are cut, bytes after a text are zero.
QByteArray EncodeQuestionRecord(const TQuestion& q);

// Reads the whole file. Raises vxg::Error: a missing or unreadable file ("File not found",
// "File access denied", "Disk read error"), a trailing partial record ("Read beyond end of
// file"). On failure nothing is returned: a topic is read whole or not at all.
TWorkQues ReadQuestionFile(const QString& path);

// The same read for a caller that keeps what was read until a failure: questions is emptied,
// then gets the records one after another. After a trailing partial record it holds every
// whole record before it; when the file cannot be opened it stays empty.
void ReadQuestionRecords(const QString& path, TWorkQues& questions);

// Writes the whole file through a temporary file renamed over the old one, so that a failed
// write leaves the old file as it was. Raises vxg::Error on failure: "Path not found" (no such
// folder), "File access denied" (cannot create or replace the file), "Disk write error"; the
// last as vxg::FileDamagedError when a write in place failed after it had changed the file.
void WriteQuestionFile(const QString& path, const TWorkQues& questions);
