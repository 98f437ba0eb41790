#include "TopicDocument.h"

#include "AtomicFile.h"
#include "Error.h"
#include "QuestionFile.h"

#include <algorithm>

namespace {

const QChar kCardSeparator = u'$';

} // namespace

void TTopicDocument::New(const QString& fileName) {
    FileName = fileName;
    Questions = TWorkQues{TQuestion{}};
    Modified = true;
}

QString TTopicDocument::Load(const QString& fileName) {
    TWorkQues read;
    try {
        read = ReadQuestionFile(fileName);
    } catch (const vxg::Error& e) {
        return e.text();
    }
    // A topic is never without a question to show.
    if (read.isEmpty())
        read.append(TQuestion{});
    FileName = fileName;
    Questions = std::move(read);
    Modified = false;
    return {};
}

TTopicWriteError TTopicDocument::Write() {
    try {
        WriteQuestionFile(FileName, Questions);
    } catch (const vxg::FileDamagedError& e) {
        return {e.text(), true};
    } catch (const vxg::Error& e) {
        return {e.text()};
    }
    Modified = false;
    return {};
}

int TTopicDocument::FirstFaultyQuestion() const {
    for (int i = 0; i < Questions.size(); ++i)
        if (!IsValidQuestion(Questions[i]))
            return i;
    return -1;
}

bool TTopicDocument::IsValidQuestion(const TQuestion& q) {
    return !q.QuestionText.isEmpty() && RightAnswerNumber(q.RightAnswer) != 0 && !HasSeparator(q);
}

int TTopicDocument::RightAnswerNumber(const QString& right) {
    return right.size() == 1 && right[0] >= u'1' && right[0] <= u'4' ? right[0].unicode() - u'0' : 0;
}

bool TTopicDocument::HasSeparator(const TQuestion& q) {
    for (const QString* text : {&q.QuestionText, &q.Answer1, &q.Answer2, &q.Answer3, &q.Answer4})
        if (text->contains(kCardSeparator))
            return true;
    return false;
}

void TTopicDocument::AppendEmptyQuestion() {
    Questions.append(TQuestion{});
    Modified = true;
}

void TTopicDocument::InsertQuestions(int index, const TWorkQues& questions) {
    if (questions.isEmpty())
        return;
    index = std::clamp(index, 0, static_cast<int>(Questions.size()));
    // Room for all of them first, so that the questions after index move once, not once for
    // every question inserted.
    Questions.insert(index, questions.size(), TQuestion{});
    std::copy(questions.cbegin(), questions.cend(), Questions.begin() + index);
    Modified = true;
}

bool TTopicDocument::RemoveQuestions(int index, int count) {
    if (index < 0 || count < 1 || count >= Questions.size() || index > Questions.size() - count)
        return false;
    Questions.remove(index, count);
    Modified = true;
    return true;
}
