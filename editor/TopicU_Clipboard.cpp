// The topic window's whole-question commands: Copy and Cut fill QuesBuffer with the shown
// question or a range of questions, Paste inserts it before the shown question.
//
// Each command first stores the shown question's fields, so that what is copied is what the
// teacher sees and no edit is lost to a paste.
#include "TopicU.h"

#include "CopyDlgU.h"
#include "Exwr_MDI.h"

#include <QAction>
#include <algorithm>

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
    // Removed as Delete removes the shown question, without its confirmation, but all in one
    // go and shown once: the one that followed the range is shown (the one before it, when the
    // range reached the end). The dialog lets no cut take every question.
    if (!Topic.RemoveQuestions(span->Start, span->Count))
        return;
    CurQue = std::min(span->Start, static_cast<int>(Topic.Questions.size()) - 1);
    ShowCurQue();
}

// Inserts QuesBuffer before the shown question; the first inserted one is shown.
void TTopicF::PasteQuesMClick() {
    if (QuesBuffer.isEmpty())
        return;
    StoreQue(CurQue);
    Topic.InsertQuestions(CurQue, QuesBuffer);
    ShowCurQue();
}
