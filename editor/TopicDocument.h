#pragma once
// The data of one topic (a question file open in the editor): its questions, its file and
// whether it has changes not yet written. No widgets: the topic window shows one of these.
#include "Records.h"

#include <QString>

// Why a topic was not written; no text when it was.
struct TTopicWriteError {
    QString text;             // the file error
    bool fileDamaged = false; // the old file on disk was changed part way and is whole no more
    bool failed() const { return !text.isEmpty(); }
};

class TTopicDocument {
public:
    TWorkQues Questions;
    QString FileName;
    bool Modified = false;

    // A new topic bound to fileName: one empty question, modified until its first save. The
    // file is neither read nor written.
    void New(const QString& fileName);
    // Reads the question file whole. On success the document holds its questions (a file of no
    // record at all gives one empty question, as a new topic has) and is not modified. On
    // failure the document is left as it was and the file error's text is returned.
    QString Load(const QString& fileName);
    // Writes every question to FileName, replacing the old file only once the new one is
    // whole. On success Modified is cleared; on failure Modified stays set, the file error is
    // returned, and the old file is as it was unless fileDamaged says otherwise.
    TTopicWriteError Write();

    // Index of the first question a save refuses, or -1 when all are valid.
    int FirstFaultyQuestion() const;
    // A question is saved only with a text and a right answer "1".."4", and without "$" in any
    // of its texts (the student station splits its cards at "$").
    static bool IsValidQuestion(const TQuestion& q);
    static bool HasSeparator(const TQuestion& q);
    // The right answer's number 1..4, or 0 when it is not set ("", "0" or a damaged value).
    static int RightAnswerNumber(const QString& right);

    // Editing whole questions; each marks the document modified.
    void AppendEmptyQuestion();
    // index 0..Questions.size(); the questions go in before the one at index.
    void InsertQuestions(int index, const TWorkQues& questions);
    // Removes count questions from index on, in one go; refused (false) when they are not all
    // there or would leave the topic without a question.
    bool RemoveQuestions(int index, int count);
    bool RemoveQuestion(int index) { return RemoveQuestions(index, 1); }
};
