#pragma once
// The results archive ("*.arh"): a text file in code page 1251 whose lines end in CR LF.
//
//   line 1   full path of the question file
//   line 2   name of the parameter set
//   line 3   S, the number of students
//   then per student three lines: his name, his grade (0 = none), his answer line.
//
// The answer line holds one piece "QueNo#Given#Check#$" per card position, in card order, N
// pieces in all (N = questions per card; it is not stored, the set on line 2 gives it). QueNo
// -1 stands for a position the student's card did not have. Lines have no length limit.
//
// A plain class: the bytes are written and parsed here, the main window does the dialogs.
#include "ExaminerState.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The header of the archive in hand (the main window's ArhData).
struct TSavingData {
    QString TopicPath;
    QString OptionsSetName;
    QString CountText;
    TNet Clients; // stays empty: the students live in the main student table
};

class ResultsArchive {
public:
    // Questions per card an archive can be read with.
    static constexpr int kMaxQuestionsPerCard = 100;
    // Larger files are refused unread: a class of a thousand students needs about 1 MB.
    static constexpr qsizetype kMaxFileSize = 4 * 1024 * 1024;
    // More students than any classroom holds: such a count is refused before anything is made
    // for it.
    static constexpr int kMaxStudents = 10000;

    // ---- writing
    // The pieces of card positions 0..n-1. A position beyond the card is written as "-1###$",
    // which reads back as not answered; a Given or Check the format cannot carry (a separator,
    // a line break, more than one character) is written as "?" or as nothing.
    static QString AnswerLine(const QList<TCardAnswer>& answers, int n);
    // A text as the file keeps it and gives it back: characters that code page 1251 lacks
    // become "?", line breaks blanks.
    static QString AsWritten(const QString& text);
    // The whole file. Line breaks inside a text become blanks, so every student keeps his
    // three lines.
    static QByteArray Write(const QString& topicPath, const QString& setName, const TNet& students, int n);

    // ---- reading, in two steps: the header names the set, and the set gives N
    // Checks the header (three lines, a path and a set name of at most 4096 characters, a count
    // from 0 to kMaxStudents), that the lines of every student are there and that no name is
    // longer than a station can register, and keeps those lines only. Throws vxg::Error with
    // what is wrong and on which line.
    static ResultsArchive Parse(const QByteArray& bytes);

    const TSavingData& Header() const { return header_; }
    int StudentCount() const { return count_; }

    // The students with n card positions each (1 <= n <= kMaxQuestionsPerCard). Pieces after
    // the n-th are ignored; missing ones read as not answered (QueNo -1). Throws vxg::Error
    // for a grade or a piece that is not well formed.
    TNet Students(int n) const;

private:
    ResultsArchive() = default;

    TSavingData header_;
    int count_ = 0;
    QStringList lines_;
};
