// The topic window's whole-question commands: Copy and Cut fill QuesBuffer with the shown
// question or a range of questions, Paste inserts it before the shown question.
//
// Each command first stores the shown question's fields, so that what is copied is what the
// teacher sees and no edit is lost to a paste.
#include "TopicU.h"

#include "CopyDlgU.h"
#include "Exwr_MDI.h"

#include <QAction>

namespace {

// From the first copy or cut on, Paste stays enabled for the rest of the run: the buffer
// outlives the window it was filled from.
void EnablePaste(TMDIForm* main) {
    if (main)
        main->PasteQuesAction->setEnabled(true);
}

} // namespace

std::optional<TQueSpan> TTopicF::CopyChosenQuestions(int mode) {
    StoreQue(CurQue);
    if (!Main || !Main->CopyDlg)
        return std::nullopt;
    if (Main->CopyDlg->ExecuteFor(mode, static_cast<int>(Topic.Questions.size())) != QDialog::Accepted)
        return std::nullopt;
    const TQueSpan span = ChosenQuestions(CurQue, Main->CopyDlg->Choice());
    QuesBuffer = Topic.Questions.mid(span.Start, span.Count);
    EnablePaste(Main);
    return span;
}

void TTopicF::CopyQuesMClick() {
    CopyChosenQuestions(TCopyDlg::CopyMode);
}

void TTopicF::CutQuesMClick() {
    const std::optional<TQueSpan> span = CopyChosenQuestions(TCopyDlg::CutMode);
    if (!span)
        return;
    // Removed as Delete removes the shown question, without its confirmation: the questions
    // after the range move up, and the one that followed it is shown (the one before it, when
    // the range reached the end). The dialog lets no cut take every question.
    CurQue = span->Start;
    for (int i = 0; i < span->Count; ++i)
        DeleteCurQue();
}

// Inserts QuesBuffer before the shown question; the first inserted one is shown.
void TTopicF::PasteQuesMClick() {
    if (QuesBuffer.isEmpty())
        return;
    StoreQue(CurQue);
    Topic.InsertQuestions(CurQue, QuesBuffer);
    ShowCurQue();
}
